// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/OpenCommand.h"
#include "picture/PixelDots.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace lumidot {

// The grey levels and opacities of a picture: luminance by the Rec. 601
// weights of its red, green and blue.
GreyImage greyImage(const QImage& image);
GreyImage greyImage(QImage&& image);

// Why pictures could not be read: the file, what kind of failure, and the
// decoder's own words.
struct ImageReadError {
    enum class Kind {
        None,
        File,           // the file itself: missing, a pipe or a device, too large a file
        Damaged,        // not a picture this program reads, or a damaged one
        TooLarge,       // a picture larger than kLargestPicturePixels
        TooMuchWork,    // frames and sizes that together pass kLargestPictureWork
    };
    QString fileName;
    QString reason;   // English, as the image decoder gives it
    Kind kind = Kind::None;
    ReadFault fileFault = ReadFault::None;   // for Kind::File
    std::string nativeName;                  // the name's bytes, as the system has them

    bool failed() const { return kind != Kind::None; }
    // Japanese, for the window.
    QString message() const;
};

// The picture files of an import: several files are taken in the order of
// their names, a file with several frames (an animated GIF) frame by frame.
// Every file is opened as every user's file is (export/UserFile.h) and read
// from its bytes, so that a pipe never blocks and a name that is not UTF-8
// is read as the system spells it. Pictures larger than
// kLargestPicturePixels are refused by their stated size before they are
// decoded, and so is an import whose frames would cost more than
// kLargestPictureWork.
class ImageFrames {
public:
    // Names as Qt holds them (the window's file dialog).
    explicit ImageFrames(QStringList fileNames);
    // Names as the system spells them (the command line).
    static ImageFrames fromNativeNames(const std::vector<std::string>& fileNames);

    // The files sorted by name, compared as the desktop's file lists do
    // ("frame2" before "frame10").
    static QStringList inNameOrder(QStringList fileNames);

    // Counts the frames of every file without decoding them, and checks
    // their sizes and the work of decoding them. False, with the error, when
    // a file cannot be read as a picture or would cost too much.
    bool count(int& frames, ImageReadError& error) const;

    // How long each frame is shown, in microseconds, without decoding the
    // pictures: a GIF frame's delay (below two hundredths, a tenth of a
    // second, as players show it), another animation's own delay, and 0 for
    // a still picture, which has no time of its own.
    bool durations(std::vector<std::int64_t>& micros, ImageReadError& error) const;

    // The first frame, for the preview.
    bool firstFrame(GreyImage& frame, ImageReadError& error) const;

    // Decodes every frame in order, each composed as a viewer shows it (GIF
    // disposal included), and hands it on; stops early when each() returns false. False on a read
    // failure, with the error.
    bool read(const std::function<bool(const GreyImage&)>& each, ImageReadError& error) const;

    // Decodes and converts every frame, handing on its dots; the window's
    // import and lumidot-convert both make their frame steps from these. A
    // frame of an animation that changed only a part of the picture is
    // resampled only there. Refused before anything is decoded when the
    // frames at their converted size would cost too much.
    bool convert(const DotConversion& conversion, const std::function<bool(DotImage&&)>& each,
                 ImageReadError& error) const;

    // True when the bytes are a picture this program reads.
    static bool isPictureData(std::span<const std::uint8_t> bytes);

    const QStringList& fileNames() const { return fileNames_; }

    // A composed frame, the rectangle that changed since the frame before,
    // and the work its decoding took where the scan could not count it.
    using FrameHandler = std::function<bool(const GreyImage&, const PixelRect&, std::int64_t)>;

private:
    ImageFrames(QStringList fileNames, std::vector<std::string> nativeNames);
    bool walk(const FrameHandler& each, ImageReadError& error) const;
    bool checkWork(const DotConversion* conversion, int& frames, ImageReadError& error) const;

    QStringList fileNames_;
    std::vector<std::string> nativeNames_;
};

// The name filter of the import dialog: every format this Qt reads.
QString imageOpenFilter();

} // namespace lumidot
