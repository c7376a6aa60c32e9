// SPDX-License-Identifier: GPL-3.0-or-later
// Clips through libavformat and libavcodec: the first video stream that is
// not a cover picture, decoded with frame threads; every other stream is
// discarded by the demuxer, so sound is never even read into packets.

#include "platform/video/decoders/FfmpegLog.h"
#include "platform/video/decoders/GreyScaler.h"
#include "platform/video/VideoSource.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/cpu.h>
#include <libavutil/imgutils.h>
#include <libavutil/parseutils.h>
}

#include <algorithm>
#include <cerrno>
#include <cmath>

#include <sys/stat.h>
#include <unistd.h>

namespace lumidot {

namespace {

struct CloseFormat {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct FreeCodec {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FreeFrame {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct FreePacket {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using FramePtr = std::unique_ptr<AVFrame, FreeFrame>;

// The clip's file, read through the descriptor that was opened and checked
// for it rather than opened again by name: FFmpeg reads the very file that
// was found to be a regular one.
class FileInput {
public:
    explicit FileInput(int fd)
        : fd_(fd)
    {
        auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
        if (buffer)
            io_ = avio_alloc_context(buffer, kBufferSize, 0, &fd_, &FileInput::read, nullptr, &FileInput::seek);
        if (!io_)
            av_free(buffer);
    }
    ~FileInput()
    {
        if (io_)
            av_freep(&io_->buffer);
        avio_context_free(&io_);
        ::close(fd_);
    }
    FileInput(const FileInput&) = delete;
    FileInput& operator=(const FileInput&) = delete;

    AVIOContext* context() const { return io_; }

private:
    static constexpr int kBufferSize = 64 * 1024;

    static int read(void* opaque, std::uint8_t* buffer, int size)
    {
        const int fd = *static_cast<int*>(opaque);
        for (;;) {
            const ssize_t got = ::read(fd, buffer, static_cast<std::size_t>(size));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return AVERROR(errno);
            return got == 0 ? AVERROR_EOF : static_cast<int>(got);
        }
    }

    static std::int64_t seek(void* opaque, std::int64_t offset, int whence)
    {
        const int fd = *static_cast<int*>(opaque);
        if (whence & AVSEEK_SIZE) {
            struct stat info {};
            return ::fstat(fd, &info) == 0 ? static_cast<std::int64_t>(info.st_size) : AVERROR(errno);
        }
        const off_t at = ::lseek(fd, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
        return at < 0 ? AVERROR(errno) : static_cast<std::int64_t>(at);
    }

    int fd_;
    AVIOContext* io_ = nullptr;
};

// Frame threads each hold a frame being decoded; large frames get fewer of
// them so that the decoder's memory stays bounded on many-core machines.
int decoderThreads(int width, int height)
{
    const int most = static_cast<std::int64_t>(width) * height > 1920 * 1088 ? 4 : 8;
    return std::clamp(av_cpu_count(), 1, most);
}

bool fullRange(const AVFrame& frame)
{
    switch (frame.format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P: return true;
    default: return frame.color_range == AVCOL_RANGE_JPEG;
    }
}

std::int64_t frameDuration(const AVFrame& frame)
{
#if LIBAVUTIL_VERSION_INT >= AV_VERSION_INT(57, 30, 100)
    return frame.duration;
#else
    return frame.pkt_duration;
#endif
}

class FfmpegFrame : public SourceFrame {
public:
    FfmpegFrame(FramePtr frame, GreyScaler& scaler)
        : frame_(std::move(frame))
        , scaler_(scaler)
    {
    }

    GreyImage grey(const FrameCut& size) const override
    {
        const PixelPlanes planes{frame_->data, frame_->linesize, frame_->width, frame_->height,
                                 static_cast<AVPixelFormat>(frame_->format), fullRange(*frame_)};
        return scaler_.scale(planes, size);
    }

private:
    FramePtr frame_;
    GreyScaler& scaler_;
};

class FfmpegSource : public VideoSource {
public:
    bool open(int fd, const std::string& fileName, VideoProblem& problem);
    const VideoInfo& info() const override { return info_; }
    bool seek(std::int64_t timeUs) override;
    std::unique_ptr<SourceFrame> next(VideoProblem& problem) override;

private:
    bool openStream(VideoProblem& problem);
    bool openDecoder(const AVCodec* decoder, VideoProblem& problem);
    void describe();
    void describeLength();
    void stopReading(int code, const FfmpegLogCapture& log);
    std::unique_ptr<SourceFrame> frameFrom(FramePtr frame, VideoProblem& problem);

    std::unique_ptr<FileInput> input_;   // outlives the format context that reads it
    std::unique_ptr<AVFormatContext, CloseFormat> format_;
    std::unique_ptr<AVCodecContext, FreeCodec> codec_;
    std::unique_ptr<AVPacket, FreePacket> packet_{av_packet_alloc()};
    AVStream* stream_ = nullptr;
    std::int64_t firstPts_ = 0;        // the stream's start, in its time base
    std::int64_t frameTicks_ = 1;      // one frame at the stream's rate, in its time base
    std::int64_t lastPts_ = AV_NOPTS_VALUE;
    VideoInfo info_;
    GreyScaler scaler_;
    bool draining_ = false;
    VideoProblem damage_;              // why the reading stopped before the end, if it did
};

bool FfmpegSource::open(int fd, const std::string& fileName, VideoProblem& problem)
{
    const FfmpegLogCapture log;
    input_ = std::make_unique<FileInput>(fd);
    AVFormatContext* format = avformat_alloc_context();
    if (!format || !input_->context()) {
        avformat_free_context(format);
        problem.fault = VideoFault::CannotOpen;
        problem.reason = log.explain(AVERROR(ENOMEM));
        return false;
    }
    format->pb = input_->context();
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    // The name only hints at the format; the probe decides by the content.
    if (const int code = avformat_open_input(&format, fileName.c_str(), nullptr, nullptr); code < 0) {
        problem.fault = VideoFault::NotAVideo;
        problem.reason = log.explain(code);
        return false;
    }
    format_.reset(format);
    if (const int code = avformat_find_stream_info(format, nullptr); code < 0) {
        problem.fault = VideoFault::NotAVideo;
        problem.reason = log.explain(code);
        return false;
    }
    return openStream(problem);
}

bool FfmpegSource::openStream(VideoProblem& problem)
{
    AVFormatContext* format = format_.get();
    const AVCodec* decoder = nullptr;
    int best = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    // The best stream may be a song's cover picture; moving pictures win.
    if (best >= 0 && (format->streams[best]->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
        best = AVERROR_STREAM_NOT_FOUND;
        for (unsigned k = 0; k < format->nb_streams; ++k) {
            const AVStream* stream = format->streams[k];
            if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
                !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
                best = static_cast<int>(k);
                decoder = avcodec_find_decoder(stream->codecpar->codec_id);
                break;
            }
        }
    }
    if (best == AVERROR_DECODER_NOT_FOUND || (best >= 0 && !decoder)) {
        problem.fault = VideoFault::NoDecoder;
        for (unsigned k = 0; k < format->nb_streams; ++k)
            if (format->streams[k]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
                problem.reason = avcodec_get_name(format->streams[k]->codecpar->codec_id);
        return false;
    }
    if (best < 0) {
        problem.fault = VideoFault::NoVideoStream;
        return false;
    }
    stream_ = format->streams[best];
    for (unsigned k = 0; k < format->nb_streams; ++k)
        if (static_cast<int>(k) != best)
            format->streams[k]->discard = AVDISCARD_ALL;
    const AVCodecParameters& parameters = *stream_->codecpar;
    if (videoFrameTooLarge(parameters.width, parameters.height)) {
        problem.fault = VideoFault::FrameTooLarge;
        problem.width = parameters.width;
        problem.height = parameters.height;
        return false;
    }
    if (parameters.width <= 0 || parameters.height <= 0) {
        problem.fault = VideoFault::NotAVideo;
        problem.reason = "the size of its pictures is unknown";
        return false;
    }
    if (!openDecoder(decoder, problem))
        return false;
    describe();
    return true;
}

bool FfmpegSource::openDecoder(const AVCodec* decoder, VideoProblem& problem)
{
    const FfmpegLogCapture log;
    codec_.reset(avcodec_alloc_context3(decoder));
    int code = codec_ ? avcodec_parameters_to_context(codec_.get(), stream_->codecpar) : AVERROR(ENOMEM);
    if (code >= 0) {
        codec_->pkt_timebase = stream_->time_base;
        codec_->thread_count = decoderThreads(stream_->codecpar->width, stream_->codecpar->height);
        codec_->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
        // The decoder itself refuses frames past the limit, before allocating them.
        codec_->max_pixels = kLargestPicturePixels;
        code = avcodec_open2(codec_.get(), decoder, nullptr);
    }
    if (code < 0) {
        problem.fault = VideoFault::NoDecoder;
        problem.reason = std::string(decoder->name) + ": " + log.explain(code);
        return false;
    }
    return true;
}

void FfmpegSource::describe()
{
    AVFormatContext* format = format_.get();
    const AVCodecParameters& parameters = *stream_->codecpar;
    const AVRational timeBase = stream_->time_base;
    info_.width = parameters.width;
    info_.height = parameters.height;
    const AVRational aspect = av_guess_sample_aspect_ratio(format, stream_, nullptr);
    info_.displayWidth = aspect.num > 0 && aspect.den > 0
                             ? std::max(1, static_cast<int>(std::lround(
                                               static_cast<double>(parameters.width) * aspect.num / aspect.den)))
                             : parameters.width;
    info_.displayHeight = parameters.height;
    const AVRational rate = av_guess_frame_rate(format, stream_, nullptr);
    if (rate.num > 0 && rate.den > 0) {
        info_.frameRate = av_q2d(rate);
        frameTicks_ = std::max<std::int64_t>(1, av_rescale_q(1, av_inv_q(rate), timeBase));
    } else {
        frameTicks_ = std::max<std::int64_t>(1, av_rescale_q(1, AVRational{1, 25}, timeBase));
    }
    firstPts_ = stream_->start_time != AV_NOPTS_VALUE ? stream_->start_time : 0;
    describeLength();
    info_.frameBytes = std::max(0, av_image_get_buffer_size(static_cast<AVPixelFormat>(parameters.format),
                                                            parameters.width, parameters.height, 1));
    info_.format = format->iformat->name;
    info_.codec = avcodec_get_name(parameters.codec_id);
}

// The pictures' own length where the file gives one: the stream's, or the
// DURATION tag that Matroska files carry for each track. Otherwise the
// whole file's, which is the pictures' only when nothing else is in it.
void FfmpegSource::describeLength()
{
    const AVFormatContext* format = format_.get();
    std::int64_t tagged = 0;
    const AVDictionaryEntry* tag = av_dict_get(stream_->metadata, "DURATION", nullptr, 0);
    if (stream_->duration != AV_NOPTS_VALUE && stream_->duration > 0) {
        info_.durationUs = av_rescale_q(stream_->duration, stream_->time_base, AV_TIME_BASE_Q);
        info_.picturesOwnLength = true;
    } else if (tag && av_parse_time(&tagged, tag->value, 1) == 0 && tagged > 0) {
        info_.durationUs = tagged;
        info_.picturesOwnLength = true;
    } else if (format->duration != AV_NOPTS_VALUE && format->duration > 0) {
        info_.durationUs = format->duration;
        info_.picturesOwnLength = format->nb_streams == 1;
    }
}

bool FfmpegSource::seek(std::int64_t timeUs)
{
    const std::int64_t target =
        firstPts_ + av_rescale_q(std::max<std::int64_t>(0, timeUs), AV_TIME_BASE_Q, stream_->time_base);
    if (av_seek_frame(format_.get(), stream_->index, target, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(codec_.get());
    draining_ = false;
    damage_ = {};
    lastPts_ = AV_NOPTS_VALUE;
    return true;
}

// A read or decode error ends the clip there; the frames still inside the
// decoder came before it and are kept.
void FfmpegSource::stopReading(int code, const FfmpegLogCapture& log)
{
    if (code != AVERROR_EOF) {
        damage_.fault = VideoFault::Damaged;
        damage_.reason = log.explain(code);
    }
    avcodec_send_packet(codec_.get(), nullptr);
    draining_ = true;
}

std::unique_ptr<SourceFrame> FfmpegSource::next(VideoProblem& problem)
{
    const FfmpegLogCapture log;
    FramePtr frame(av_frame_alloc());
    for (;;) {
        const int received = avcodec_receive_frame(codec_.get(), frame.get());
        if (received == 0)
            return frameFrom(std::move(frame), problem);
        if (received != AVERROR(EAGAIN) || draining_) {
            if (received != AVERROR_EOF && received != AVERROR(EAGAIN) && damage_.ok()) {
                damage_.fault = VideoFault::Damaged;
                damage_.reason = log.explain(received);
            }
            problem = damage_;
            return nullptr;
        }
        const int read = av_read_frame(format_.get(), packet_.get());
        if (read < 0) {
            stopReading(read, log);
            continue;
        }
        if (packet_->stream_index != stream_->index) {
            av_packet_unref(packet_.get());
            continue;
        }
        const bool corrupt = packet_->flags & AV_PKT_FLAG_CORRUPT;
        const int sent = corrupt ? AVERROR_INVALIDDATA : avcodec_send_packet(codec_.get(), packet_.get());
        av_packet_unref(packet_.get());
        if (sent < 0)
            stopReading(sent, log);
    }
}

std::unique_ptr<SourceFrame> FfmpegSource::frameFrom(FramePtr frame, VideoProblem& problem)
{
    if (videoFrameTooLarge(frame->width, frame->height)) {
        problem.fault = VideoFault::FrameTooLarge;
        problem.width = frame->width;
        problem.height = frame->height;
        return nullptr;
    }
    std::int64_t pts = frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE)
        pts = lastPts_ == AV_NOPTS_VALUE ? firstPts_ : lastPts_ + frameTicks_;
    lastPts_ = pts;
    const std::int64_t duration = frameDuration(*frame) > 0 ? frameDuration(*frame) : frameTicks_;
    const AVRational timeBase = stream_->time_base;
    const int bytes = av_image_get_buffer_size(static_cast<AVPixelFormat>(frame->format),
                                               frame->width, frame->height, 1);
    auto out = std::make_unique<FfmpegFrame>(std::move(frame), scaler_);
    out->start = {pts - firstPts_, timeBase.num, timeBase.den};
    out->end = {pts - firstPts_ + duration, timeBase.num, timeBase.den};
    out->bytes = std::max(0, bytes);
    return out;
}

} // namespace

std::unique_ptr<VideoSource> openFfmpegSource(int fd, const std::string& fileName, VideoProblem& problem)
{
    auto source = std::make_unique<FfmpegSource>();
    if (!source->open(fd, fileName, problem))
        return nullptr;
    return source;
}

} // namespace lumidot
