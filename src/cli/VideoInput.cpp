// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/VideoInput.h"

#include "recording/StepTiming.h"

#include <algorithm>
#include <cctype>

namespace lumidot {

namespace {

constexpr std::int64_t kMicrosecondsPerSecond = 1000000;

// "12", "12.5": whole seconds and up to six decimals, in microseconds.
std::optional<std::int64_t> parseSeconds(std::string_view text)
{
    const auto dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    const auto digits = [](std::string_view part) {
        for (const char c : part)
            if (!std::isdigit(static_cast<unsigned char>(c)))
                return false;
        return true;
    };
    if (whole.empty() || whole.size() > 9 || fraction.size() > 6 || !digits(whole) || !digits(fraction) ||
        (dot != std::string_view::npos && fraction.empty()))
        return std::nullopt;
    std::int64_t us = std::stoll(std::string(whole)) * kMicrosecondsPerSecond;
    std::int64_t scale = kMicrosecondsPerSecond / 10;
    for (const char c : fraction) {
        us += (c - '0') * scale;
        scale /= 10;
    }
    return us;
}

std::string at(std::int64_t us)
{
    return formatPlaybackTime(us);
}

} // namespace

std::optional<std::int64_t> parseClipTime(std::string_view text)
{
    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        return parseSeconds(text);
    const auto minutes = parseSeconds(text.substr(0, colon));
    const std::string_view rest = text.substr(colon + 1);
    const auto seconds = parseSeconds(rest);
    // Minutes are whole; the seconds after them two digits below 60.
    if (!minutes || *minutes % kMicrosecondsPerSecond != 0 || !seconds || rest.find('.') == 1 ||
        rest.size() < 2 || *seconds >= 60 * kMicrosecondsPerSecond)
        return std::nullopt;
    return *minutes * 60 + *seconds;
}

std::string videoProblemText(const VideoProblem& problem)
{
    const std::string reason = problem.reason.empty() ? "" : " (" + problem.reason + ")";
    switch (problem.fault) {
    case VideoFault::None: return "";
    case VideoFault::CannotOpen: return "cannot open the file" + reason;
    case VideoFault::NotAVideo:
        return "not a video that FFmpeg reads" + reason;
    case VideoFault::NoVideoStream: return "the file holds no video stream (only sound?)";
    case VideoFault::NoDecoder: return "FFmpeg has no decoder for its video" + reason;
    case VideoFault::NoDecoders: return "the video decoders cannot be loaded" + reason;
    case VideoFault::FrameTooLarge:
        return "its frames are " + std::to_string(problem.width) + " x " + std::to_string(problem.height) +
               " pixels; at most " + std::to_string(kLargestVideoSide) + " a side and " +
               std::to_string(kLargestPicturePixels / 1'000'000) + " million in all are read";
    case VideoFault::TooMuchData:
        return "the range from " + at(std::max<std::int64_t>(0, problem.atUs)) +
               " decodes to more than " + std::to_string(kLargestDecodedBytes >> 30) +
               " GiB of pictures" +
               (problem.fittingEndUs > 0 ? "; a range ending at --end " + at(problem.fittingEndUs) + " fits"
                                         : "");
    case VideoFault::TooManySteps: {
        std::string text = std::to_string(problem.count) + " frames";
        text += " from " + at(std::max<std::int64_t>(0, problem.atUs));
        text += "; a recording holds at most " + std::to_string(kStepLimit) + " frame steps";
        std::string fits;
        if (problem.fittingFps > 0)
            fits = "--fps " + std::to_string(problem.fittingFps);
        if (problem.fittingEndUs > problem.atUs)
            fits += (fits.empty() ? "" : " or ") + std::string("--end ") + at(problem.fittingEndUs);
        return fits.empty() ? text : text + "; " + fits + " would fit";
    }
    case VideoFault::EmptyRange: return "no frame lies between --start and --end";
    case VideoFault::Cancelled: return "cancelled";
    case VideoFault::Damaged:
        return "the video is damaged at " + at(problem.atUs) + reason + "; the frames before it are kept";
    case VideoFault::Truncated:
        return "the file ends early, at " + at(problem.atUs) + "; the frames before it are kept";
    }
    return "unknown problem";
}

bool videoToRecording(VideoFile& file, const VideoImportChoices& choices, int stepTick, Recording& recording,
                      std::string& error, std::string& warning)
{
    const VirtualArea clear;
    const VideoImport imported = importVideo(file, choices, clear);
    if (!imported.imported()) {
        error = videoProblemText(imported.problem);
        return false;
    }
    if (imported.problem.keepsFrames())
        warning = videoProblemText(imported.problem);
    if (!appendTimedFrames(recording, imported.frames, imported.endTick, stepTick)) {
        error = "more frames than a recording holds (" + std::to_string(kStepLimit) + ")";
        return false;
    }
    return true;
}

} // namespace lumidot
