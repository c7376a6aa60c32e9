// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/VirtualArea.h"
#include "platform/video/VideoImport.h"

#include <functional>
#include <memory>

class QWidget;

namespace lumidot {

// A clip's import run off the window's thread. The window waits in an event
// loop, showing a progress dialog whose Cancel stops the decoding; nothing
// of the document is touched until the result is handed back.
class VideoImportRun {
public:
    // Called on the worker thread as the samples are taken; false cancels.
    using Progress = std::function<bool(std::int64_t done, std::int64_t total)>;

    // The file is the run's from now on: a VideoFile is read on one thread only.
    VideoImportRun(std::unique_ptr<VideoFile> file, const VideoImportChoices& choices, const VirtualArea& plane);

    // Runs the import and returns its result. Without progress, a progress
    // dialog over parent reports it and takes a Cancel; with it (tests), no
    // dialog is shown.
    VideoImport run(QWidget* parent, const Progress& progress = {});

private:
    std::unique_ptr<VideoFile> file_;
    VideoImportChoices choices_;
    VirtualArea plane_;
};

} // namespace lumidot
