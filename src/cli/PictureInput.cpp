// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PictureInput.h"

#include "ns5r/Commands.h"
#include "picture/VirtualArea.h"
#include "platform/images/ImageFrames.h"

namespace lumidot {

namespace {

std::string describe(const ImageReadError& failure)
{
    return failure.nativeName + ": " + failure.reason.toStdString();
}

} // namespace

bool isPictureInput(std::span<const std::uint8_t> bytes)
{
    return ImageFrames::isPictureData(bytes);
}

bool picturesToRecording(const std::vector<std::string>& fileNames, const DotConversion& conversion,
                         Recording& recording, std::string& error)
{
    const ImageFrames frames = ImageFrames::fromNativeNames(fileNames);
    int count = 0;
    ImageReadError failure;
    if (!frames.count(count, failure)) {
        error = describe(failure);
        return false;
    }
    if (count > kStepLimit) {
        error = std::to_string(count) + " frames; a recording holds at most " +
                std::to_string(kStepLimit) + " frame steps";
        return false;
    }
    VirtualArea area;
    bool full = false;
    const bool read = frames.convert(
        conversion,
        [&](DotImage&& dots) {
            placeDots(area, dots, 0, 0, Placement::Replace);
            full = recording.appendFrame(packWindow(area, 0, 0)) != RecordResult::Recorded;
            return !full;
        },
        failure);
    if (full) {
        error = "more frames than a recording holds (" + std::to_string(kStepLimit) + ")";
        return false;
    }
    if (!read) {
        error = describe(failure);
        return false;
    }
    return true;
}

bool pictureDurations(const std::vector<std::string>& fileNames, std::vector<std::int64_t>& micros,
                      std::string& error)
{
    ImageReadError failure;
    if (ImageFrames::fromNativeNames(fileNames).durations(micros, failure))
        return true;
    error = describe(failure);
    return false;
}

} // namespace lumidot
