// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/DecodeLimits.h"
#include "picture/PixelDots.h"
#include "recording/VideoTiming.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace lumidot {

// The largest frame a clip may have, and the most picture data its decoding
// may produce (the frames decoded for one read, at their decoded size): a
// small damaged or hostile file must not make the program allocate or
// decode without bound.
inline constexpr int kLargestVideoSide = 8192;
inline constexpr std::int64_t kLargestDecodedBytes = std::int64_t{2} << 30;

// A frame is held to the pictures' own limit as well: no side beyond
// kLargestVideoSide and no more pixels than kLargestPicturePixels, as the
// picture import reads no larger picture. A size not known yet (0) is not
// refused here.
constexpr bool videoFrameTooLarge(std::int64_t width, std::int64_t height)
{
    return width > kLargestVideoSide || height > kLargestVideoSide ||
           (width > 0 && height > 0 && width * height > kLargestPicturePixels);
}

enum class VideoFault {
    None,
    // Refusals: nothing is kept.
    CannotOpen,      // no such file, no permission, a folder
    NotAVideo,       // no container or picture format FFmpeg knows
    NoVideoStream,   // a container without pictures (sound only, a cover picture)
    NoDecoder,       // pictures FFmpeg has no decoder for
    NoDecoders,      // the program's video module cannot be loaded (reason: the loader's words)
    FrameTooLarge,   // frames beyond kLargestVideoSide or kLargestPicturePixels
    TooMuchData,     // the range decodes to more than kLargestDecodedBytes
    TooManySteps,    // the range gives more frame steps than are left
    EmptyRange,      // no frame lies between start and end
    Cancelled,
    // The clip ends early: the frames before the fault are kept.
    Damaged,         // FFmpeg could not read or decode on from atUs
    Truncated,       // the file ends at atUs, before the length its header gives
};

// What went wrong with a clip, with the facts that the texts need. The
// texts themselves are the caller's: English on the command line, Japanese
// in the window.
struct VideoProblem {
    VideoProblem() = default;
    explicit VideoProblem(VideoFault f)
        : fault(f)
    {
    }

    VideoFault fault = VideoFault::None;
    std::string reason;               // FFmpeg's own words, where it gave some
    std::int64_t atUs = -1;           // Damaged, Truncated: where the frames kept end;
                                      // TooMuchData, TooManySteps: where the decoding stopped
    int width = 0;                    // FrameTooLarge: the frame's size
    int height = 0;
    std::int64_t count = 0;           // TooManySteps: the frame steps the range gives (at least)
    int fittingFps = 0;               // TooManySteps: the highest rate that fits the range; 0: none
    std::int64_t fittingEndUs = -1;   // TooManySteps, TooMuchData: the end that fits from the start

    bool ok() const { return fault == VideoFault::None; }
    // The clip ended early but what came before is good.
    bool keepsFrames() const { return fault == VideoFault::Damaged || fault == VideoFault::Truncated; }
};

struct VideoInfo {
    int width = 0;                   // pixels as decoded
    int height = 0;
    int displayWidth = 0;            // as a player shows them: the pixel aspect applied
    int displayHeight = 0;
    double frameRate = 0;            // frames a second; 0 when the file does not say
    std::int64_t durationUs = -1;    // from the first frame; -1 when unknown
    bool picturesOwnLength = false;  // durationUs is the pictures' own, not the whole
                                     // file's (where sound may run on)
    std::int64_t frameBytes = 0;     // one frame as decoded
    std::string format;              // the container as FFmpeg names it ("mov,mp4,...", "webp")
    std::string codec;               // the picture coding ("h264", "vp9", ...)
};

// The grey picture a conversion takes from a frame: the frame scaled to
// `whole`, of which only the top-left `kept` part is made. A frame that is
// not scaled is cut so to the plane's size as it is converted, so that a
// large frame costs no more than the plane can show.
struct FrameCut {
    FrameCut() = default;
    // All of the frame at this size.
    FrameCut(PictureSize size) // NOLINT(google-explicit-constructor): a size is the uncut frame
        : whole(size)
        , kept(size)
    {
    }
    FrameCut(PictureSize wholeSize, PictureSize keptSize)
        : whole(wholeSize)
        , kept(keptSize)
    {
    }

    PictureSize whole;
    PictureSize kept;
    bool operator==(const FrameCut&) const = default;
};

class VideoSource;

// A video file read with FFmpeg's libraries (animated WebP with libwebp's,
// which FFmpeg 5.1 cannot decode), recognised by its content. Sound is
// never decoded. Frames are decoded with frame threads and scaled by
// libswscale straight to the grey size asked for; only the frame being
// shown and the one after it are held.
//
// Not thread-safe: use one object per thread.
class VideoFile {
public:
    ~VideoFile();
    VideoFile(const VideoFile&) = delete;
    VideoFile& operator=(const VideoFile&) = delete;

    // Null, with the problem, when the file is no video this program reads.
    static std::unique_ptr<VideoFile> open(const std::string& fileName, VideoProblem& problem);

    const VideoInfo& info() const { return info_; }

    // One sampled frame: the picture scaled (and cut) as asked for, and how
    // many consecutive samples of the grid show it. Returning false stops
    // the reading (the result is then Cancelled).
    using SampleSink = std::function<bool(const GreyImage& frame, std::int64_t samples)>;

    // Takes the grid's samples in order, each the frame shown at its time.
    // Frames are decoded from the key frame before the grid's start. On an
    // open grid the last frame fills the samples up to its own end.
    // The frames of the range may decode to at most decodedLimit bytes.
    VideoProblem sample(const SampleGrid& grid, FrameCut size, const SampleSink& each,
                        std::int64_t decodedLimit = kLargestDecodedBytes);

    // The frame shown at timeUs, scaled to size: the preview's picture. The
    // decoded frame is kept, so asking again for a time it covers, or at
    // another size, decodes nothing.
    bool frameAt(std::int64_t timeUs, FrameCut size, GreyImage& frame, VideoProblem& problem);

private:
    VideoFile(std::string fileName, std::unique_ptr<VideoSource> source);
    bool restart(std::int64_t timeUs, VideoProblem& problem);

    std::string fileName_;
    std::unique_ptr<VideoSource> source_;
    VideoInfo info_;
    struct Shown;
    std::unique_ptr<Shown> shown_;   // the frame frameAt() decoded last
};

// True when FFmpeg (or libwebp) finds pictures in the file.
bool isVideoFile(const std::string& fileName);

// True when the file starts as a WebP picture does (RIFF ... WEBP); such a
// file is read as a clip, still or animated.
bool isWebpFile(const std::string& fileName);

} // namespace lumidot
