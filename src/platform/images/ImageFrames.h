// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/PixelDots.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace lumidot {

// The grey levels and opacities of a picture: luminance by the Rec. 601
// weights of its red, green and blue.
GreyImage greyImage(const QImage& image);

// Why pictures could not be read: the file and the decoder's own words.
struct ImageReadError {
    QString fileName;
    QString reason;   // English, as the image decoder gives it

    bool failed() const { return !fileName.isEmpty(); }
    // Japanese, for the window.
    QString message() const;
};

// The picture files of an import: several files are taken in the order of
// their names, a file with several frames (an animated GIF) frame by frame.
class ImageFrames {
public:
    explicit ImageFrames(QStringList fileNames);

    // The files sorted by name, compared as the desktop's file lists do
    // ("frame2" before "frame10").
    static QStringList inNameOrder(QStringList fileNames);

    // Counts the frames of every file without decoding them. False, with the
    // error, when a file cannot be read as a picture.
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
    // import and lumidot-convert both make their frame steps from these.
    bool convert(const DotConversion& conversion, const std::function<bool(DotImage&&)>& each,
                 ImageReadError& error) const;

    // True when the file's content is a picture this program reads.
    static bool isPicture(const QString& fileName);

    const QStringList& fileNames() const { return fileNames_; }

private:
    QStringList fileNames_;
};

// The name filter of the import dialog: every format this Qt reads.
QString imageOpenFilter();

} // namespace lumidot
