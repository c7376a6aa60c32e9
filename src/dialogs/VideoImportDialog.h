// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/ImportPreviewDialog.h"
#include "platform/video/VideoImport.h"

class QDoubleSpinBox;

namespace lumidot {

class VideoFile;

// The preview of a clip's import: the picture import's choices, and the
// frame rate, the range and a slider that shows the frame at any time of
// the clip. Under the picture it tells what the choices come to: the frame
// steps, the steps the recording has left after them, and the bytes a
// second the frames put on the MIDI cable. The dialog reads the clip for
// its preview, on the thread it lives on.
class TVideoImport : public TImportPreview {
    Q_OBJECT

public:
    // usedSteps: the steps the recording holds already; tempo: the tempo the
    // frames are timed at.
    TVideoImport(VideoFile& file, int usedSteps, int tempo, const VirtualArea& area, int windowX,
                 int windowY, const QColor& lcdColour, QWidget* parent = nullptr);

    VideoImportChoices choices() const;
    // The frame steps the choices give at most (equal frames may merge);
    // -1 while the clip's length is unknown.
    std::int64_t frameCount() const;

    QSlider* Time = nullptr;          // the preview's time, in milliseconds
    QLabel* TimeValue = nullptr;
    QSpinBox* Fps = nullptr;          // "フレームレート"
    QDoubleSpinBox* Start = nullptr;  // seconds
    QDoubleSpinBox* End = nullptr;    // seconds; 0 stands for the clip's end
    QLabel* VideoFacts = nullptr;

protected:
    GreyImage frameAt(const DotConversion& chosen) override;
    QString describe(const DotImage& dots) const override;

private:
    void buildVideoControls();
    void connectVideoControls();
    void updateFacts();

    VideoFile& file_;
    int usedSteps_;
    int tempo_;
    int windowX_;
    int windowY_;
};

} // namespace lumidot
