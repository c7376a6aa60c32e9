// SPDX-License-Identifier: GPL-3.0-or-later
// Animated WebP through libwebp's animation decoder: FFmpeg 5.1 reads only
// still WebP pictures. The decoder composes every frame onto the canvas as
// a browser shows it, with its time in milliseconds.

#include "platform/video/decoders/GreyScaler.h"
#include "platform/video/VideoSource.h"

#include <webp/demux.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace lumidot {

namespace {

// The whole file is read to decode it; a WebP animation larger than this is
// no picture a display of 32 x 16 dots could use.
constexpr off_t kLargestWebpFile = 256 << 20;
// A frame that gives no time of its own is shown this long.
constexpr int kStillMilliseconds = 100;

std::uint32_t littleEndian32(const std::uint8_t* bytes)
{
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

bool hasWebpSignature(const std::vector<std::uint8_t>& bytes)
{
    return bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
           std::memcmp(bytes.data() + 8, "WEBP", 4) == 0;
}

// A file cut short keeps its whole chunks: the bytes after the last
// complete one are dropped and the RIFF size made to match, so that the
// frames before the cut decode. True when the file had to be cut.
bool keepWholeChunks(std::vector<std::uint8_t>& bytes)
{
    std::size_t end = 12;
    while (end + 8 <= bytes.size()) {
        const std::size_t size = littleEndian32(bytes.data() + end + 4);
        const std::size_t next = end + 8 + size + (size & 1);
        if (next > bytes.size()) {
            // The last chunk may lack only its padding byte.
            if (next - 1 == bytes.size() && (size & 1))
                end = next - 1;
            break;
        }
        end = next;
    }
    const bool cut = end < bytes.size() || littleEndian32(bytes.data() + 4) + 8 > end;
    bytes.resize(end);
    const std::uint32_t riff = static_cast<std::uint32_t>(end - 8);
    for (int k = 0; k < 4; ++k)
        bytes[4 + k] = static_cast<std::uint8_t>(riff >> (8 * k));
    return cut;
}

// Reads the file whole from its descriptor, which it closes.
bool readFile(int fd, std::vector<std::uint8_t>& bytes)
{
    struct stat info {};
    bool read = ::fstat(fd, &info) == 0 && info.st_size <= kLargestWebpFile;
    if (read)
        bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (read && done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        read = got >= 0;
        if (got <= 0)
            break;   // an error, or a file that shrank while it was read
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(done);
    return read;
}

class WebpFrame : public SourceFrame {
public:
    WebpFrame(const std::uint8_t* canvas, int width, int height, GreyScaler& scaler)
        : pixels_(canvas, canvas + static_cast<std::size_t>(width) * height * 4)
        , width_(width)
        , height_(height)
        , scaler_(scaler)
    {
    }

    GreyImage grey(const FrameCut& size) const override
    {
        const std::uint8_t* data[4] = {pixels_.data(), nullptr, nullptr, nullptr};
        const int linesize[4] = {width_ * 4, 0, 0, 0};
        return scaler_.scale({data, linesize, width_, height_, AV_PIX_FMT_RGBA, true}, size);
    }

private:
    std::vector<std::uint8_t> pixels_;
    int width_;
    int height_;
    GreyScaler& scaler_;
};

class WebpSource : public VideoSource {
public:
    ~WebpSource() override { WebPAnimDecoderDelete(decoder_); }
    bool open(int fd, VideoProblem& problem);
    const VideoInfo& info() const override { return info_; }
    bool seek(std::int64_t) override;
    std::unique_ptr<SourceFrame> next(VideoProblem& problem) override;

private:
    void describe(const WebPAnimInfo& animation);

    std::vector<std::uint8_t> bytes_;
    WebPAnimDecoder* decoder_ = nullptr;
    VideoInfo info_;
    GreyScaler scaler_;
    int shownMs_ = 0;      // where the next frame starts
    int frameNumber_ = 0;
    bool cut_ = false;
};

bool WebpSource::open(int fd, VideoProblem& problem)
{
    if (!readFile(fd, bytes_)) {
        problem.fault = VideoFault::CannotOpen;
        problem.reason = "the file cannot be read (or is larger than 256 MiB)";
        return false;
    }
    cut_ = hasWebpSignature(bytes_) && keepWholeChunks(bytes_);
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    options.use_threads = 1;
    const WebPData data{bytes_.data(), bytes_.size()};
    decoder_ = WebPAnimDecoderNew(&data, &options);
    WebPAnimInfo animation{};
    if (!decoder_ || !WebPAnimDecoderGetInfo(decoder_, &animation) || animation.frame_count == 0) {
        problem.fault = VideoFault::NotAVideo;
        problem.reason = "libwebp cannot read its WebP structure";
        return false;
    }
    if (videoFrameTooLarge(animation.canvas_width, animation.canvas_height)) {
        problem.fault = VideoFault::FrameTooLarge;
        problem.width = static_cast<int>(animation.canvas_width);
        problem.height = static_cast<int>(animation.canvas_height);
        return false;
    }
    describe(animation);
    return true;
}

void WebpSource::describe(const WebPAnimInfo& animation)
{
    info_.width = info_.displayWidth = static_cast<int>(animation.canvas_width);
    info_.height = info_.displayHeight = static_cast<int>(animation.canvas_height);
    info_.format = "webp";
    info_.frameBytes = static_cast<std::int64_t>(info_.width) * info_.height * 4;
    info_.codec = "webp";
    const WebPDemuxer* demuxer = WebPAnimDecoderGetDemuxer(decoder_);
    std::int64_t totalMs = 0;
    WebPIterator frame;
    if (WebPDemuxGetFrame(demuxer, 1, &frame)) {
        do
            totalMs += frame.duration > 0 ? frame.duration : kStillMilliseconds;
        while (WebPDemuxNextFrame(&frame));
        WebPDemuxReleaseIterator(&frame);
    }
    info_.durationUs = totalMs * 1000;
    info_.picturesOwnLength = true;
    if (totalMs > 0)
        info_.frameRate = animation.frame_count * 1000.0 / static_cast<double>(totalMs);
}

bool WebpSource::seek(std::int64_t)
{
    // Each frame builds on the canvas the ones before it left, so every
    // reading starts at the first frame.
    WebPAnimDecoderReset(decoder_);
    shownMs_ = 0;
    frameNumber_ = 0;
    return true;
}

std::unique_ptr<SourceFrame> WebpSource::next(VideoProblem& problem)
{
    if (!WebPAnimDecoderHasMoreFrames(decoder_)) {
        if (cut_)
            problem.fault = VideoFault::Truncated;
        return nullptr;
    }
    std::uint8_t* canvas = nullptr;
    int endMs = 0;
    if (!WebPAnimDecoderGetNext(decoder_, &canvas, &endMs)) {
        problem.fault = VideoFault::Damaged;
        problem.reason = "libwebp cannot decode frame " + std::to_string(frameNumber_ + 1);
        return nullptr;
    }
    ++frameNumber_;
    auto frame = std::make_unique<WebpFrame>(canvas, info_.width, info_.height, scaler_);
    if (endMs <= shownMs_)
        endMs = shownMs_ + kStillMilliseconds;
    frame->start = {shownMs_, 1, 1000};
    frame->end = {endMs, 1, 1000};
    frame->bytes = static_cast<std::int64_t>(info_.width) * info_.height * 4;
    shownMs_ = endMs;
    return frame;
}

} // namespace

std::unique_ptr<VideoSource> openWebpSource(int fd, const std::string&, VideoProblem& problem)
{
    auto source = std::make_unique<WebpSource>();
    if (!source->open(fd, problem))
        return nullptr;
    return source;
}

} // namespace lumidot
