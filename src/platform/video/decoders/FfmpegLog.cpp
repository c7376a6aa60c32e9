// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/video/decoders/FfmpegLog.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include <cstdarg>
#include <mutex>

namespace lumidot {

namespace {

struct LastError {
    std::mutex mutex;
    std::uint64_t count = 0;
    std::string text;
};

LastError& lastError()
{
    static LastError last;
    return last;
}

// Decoder threads log too, so the callback only ever takes the lock.
void keepErrors(void* context, int level, const char* format, va_list arguments)
{
    if (level > AV_LOG_ERROR)
        return;
    char line[512];
    int printPrefix = 0;
    if (av_log_format_line2(context, level, format, arguments, line, sizeof line, &printPrefix) < 0)
        return;
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty())
        return;
    LastError& last = lastError();
    const std::lock_guard lock(last.mutex);
    ++last.count;
    last.text = std::move(text);
}

void takeOverLog()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(keepErrors); });
}

} // namespace

FfmpegLogCapture::FfmpegLogCapture()
{
    takeOverLog();
    LastError& last = lastError();
    const std::lock_guard lock(last.mutex);
    since_ = last.count;
}

std::string FfmpegLogCapture::explain(int code) const
{
    std::string text = ffmpegErrorText(code);
    LastError& last = lastError();
    const std::lock_guard lock(last.mutex);
    if (last.count > since_ && last.text.find(text) == std::string::npos)
        text += ": " + last.text;
    return text;
}

std::string ffmpegErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    if (av_strerror(code, text, sizeof text) < 0)
        return "error " + std::to_string(code);
    return text;
}

} // namespace lumidot
