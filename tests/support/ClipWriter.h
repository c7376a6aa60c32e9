// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Writes test clips with FFmpeg's libraries: grey pictures the test draws,
// each at its own presentation time, in a container and coding chosen by
// FFmpeg's names.

#include "picture/PixelDots.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace lumidot::testing {

struct ClipFrame {
    GreyImage picture;
    std::int64_t pts = 0;   // in the clip's time base
};

struct ClipKind {
    const char* container;      // "mp4", "matroska", "webm", "avi", "webp"
    const char* encoder;        // "libx264", "libvpx-vp9", "mjpeg", "ffv1", "libwebp_anim"
    AVPixelFormat pixels;       // what the encoder takes
    AVRational timeBase{1, 1000};
    bool indexAtEnd = false;    // mp4: the index after the pictures, as a recorder leaves it
};

inline const ClipKind kH264Mp4{"mp4", "libx264", AV_PIX_FMT_YUV420P};
inline const ClipKind kVp9Webm{"webm", "libvpx-vp9", AV_PIX_FMT_YUV420P};
inline const ClipKind kFfv1Mkv{"matroska", "ffv1", AV_PIX_FMT_GRAY8};
inline const ClipKind kMjpegMkv{"matroska", "mjpeg", AV_PIX_FMT_YUVJ420P};
inline const ClipKind kAnimatedWebp{"webp", "libwebp_anim", AV_PIX_FMT_YUV420P};
// AVI counts frames rather than times: its time base is the frame rate.
inline ClipKind mjpegAvi(int fps)
{
    return {"avi", "mjpeg", AV_PIX_FMT_YUVJ420P, {1, fps}};
}

class ClipWriter {
public:
    // Empty when the clip was written, else what failed.
    static std::string write(const std::string& path, const ClipKind& kind,
                             const std::vector<ClipFrame>& frames)
    {
        av_log_set_level(AV_LOG_ERROR);   // the encoders' reports are not the test's
        ClipWriter writer;
        return writer.run(path, kind, frames);
    }

    ~ClipWriter()
    {
        if (output_ && output_->pb)
            avio_closep(&output_->pb);
        avformat_free_context(output_);
        avcodec_free_context(&codec_);
        av_frame_free(&frame_);
        av_packet_free(&packet_);
        sws_freeContext(scaler_);
    }

private:
    std::string run(const std::string& path, const ClipKind& kind, const std::vector<ClipFrame>& frames)
    {
        if (frames.empty())
            return "no frames";
        if (const std::string failed = open(path, kind, frames.front().picture); !failed.empty())
            return failed;
        // Each frame lasts until the next one starts, the last one as long as
        // the one before it: the durations real encoders give the muxer.
        for (std::size_t k = 0; k < frames.size(); ++k) {
            const std::int64_t next = k + 1 < frames.size() ? frames[k + 1].pts
                                      : k > 0 ? 2 * frames[k].pts - frames[k - 1].pts
                                              : frames[k].pts + 1;
            durations_[frames[k].pts] = next - frames[k].pts;
        }
        for (const ClipFrame& frame : frames)
            if (!encode(&frame))
                return "encoding failed";
        if (!encode(nullptr) || av_write_trailer(output_) < 0)
            return "finishing failed";
        return {};
    }

    std::string open(const std::string& path, const ClipKind& kind, const GreyImage& first)
    {
        if (avformat_alloc_output_context2(&output_, nullptr, kind.container, path.c_str()) < 0)
            return std::string("no muxer ") + kind.container;
        const AVCodec* encoder = avcodec_find_encoder_by_name(kind.encoder);
        if (!encoder)
            return std::string("no encoder ") + kind.encoder;
        stream_ = avformat_new_stream(output_, nullptr);
        codec_ = avcodec_alloc_context3(encoder);
        codec_->width = first.width;
        codec_->height = first.height;
        codec_->pix_fmt = kind.pixels;
        codec_->time_base = kind.timeBase;
        codec_->framerate = av_inv_q(kind.timeBase);
        codec_->thread_count = 1;
        codec_->gop_size = 12;
        if (kind.pixels == AV_PIX_FMT_YUVJ420P)
            codec_->color_range = AVCOL_RANGE_JPEG;
        if (std::strcmp(kind.encoder, "libx264") == 0) {
            av_opt_set(codec_->priv_data, "preset", "veryfast", 0);   // with B-frames
            av_opt_set(codec_->priv_data, "crf", "12", 0);
        } else if (std::strcmp(kind.encoder, "libvpx-vp9") == 0) {
            av_opt_set(codec_->priv_data, "deadline", "realtime", 0);
            av_opt_set(codec_->priv_data, "cpu-used", "8", 0);
            av_opt_set(codec_->priv_data, "lossless", "1", 0);
        }
        if (output_->oformat->flags & AVFMT_GLOBALHEADER)
            codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(codec_, encoder, nullptr) < 0)
            return std::string("cannot open ") + kind.encoder;
        avcodec_parameters_from_context(stream_->codecpar, codec_);
        stream_->time_base = kind.timeBase;
        if (avio_open(&output_->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
            return "cannot create " + path;
        AVDictionary* options = nullptr;
        if (!kind.indexAtEnd)
            av_dict_set(&options, "movflags", "faststart", 0);   // mp4: the index first, as streamed clips have it
        const int header = avformat_write_header(output_, &options);
        av_dict_free(&options);
        if (header < 0)
            return "cannot write the header";
        frame_ = av_frame_alloc();
        packet_ = av_packet_alloc();
        frame_->format = kind.pixels;
        frame_->width = first.width;
        frame_->height = first.height;
        if (av_frame_get_buffer(frame_, 0) < 0)
            return "no frame buffer";
        scaler_ = sws_getContext(first.width, first.height, AV_PIX_FMT_GRAY8, first.width, first.height,
                                 kind.pixels, SWS_POINT, nullptr, nullptr, nullptr);
        return scaler_ ? "" : "no scaler";
    }

    bool encode(const ClipFrame* frame)
    {
        if (frame) {
            if (av_frame_make_writable(frame_) < 0)
                return false;
            const std::uint8_t* source[4] = {frame->picture.grey.data(), nullptr, nullptr, nullptr};
            const int stride[4] = {frame->picture.width, 0, 0, 0};
            sws_scale(scaler_, source, stride, 0, frame->picture.height, frame_->data, frame_->linesize);
            frame_->pts = frame->pts;
        }
        if (avcodec_send_frame(codec_, frame ? frame_ : nullptr) < 0)
            return false;
        for (;;) {
            const int got = avcodec_receive_packet(codec_, packet_);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
                return true;
            if (got < 0)
                return false;
            if (packet_->duration <= 0 && durations_.count(packet_->pts))
                packet_->duration = durations_[packet_->pts];
            av_packet_rescale_ts(packet_, codec_->time_base, stream_->time_base);
            packet_->stream_index = stream_->index;
            if (av_interleaved_write_frame(output_, packet_) < 0)
                return false;
        }
    }

    AVFormatContext* output_ = nullptr;
    AVStream* stream_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* scaler_ = nullptr;
    std::map<std::int64_t, std::int64_t> durations_;   // by pts
};

} // namespace lumidot::testing
