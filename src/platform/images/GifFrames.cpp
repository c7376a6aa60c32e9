// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/GifFrames.h"

#include "picture/DecodeLimits.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace lumidot {

namespace {

// The file's bytes, read by giflib through readInput.
struct MemoryInput {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

int readInput(GifFileType* gif, GifByteType* out, int length)
{
    auto* input = static_cast<MemoryInput*>(gif->UserData);
    const std::size_t left = input->bytes.size() - input->position;
    const std::size_t count = std::min(left, static_cast<std::size_t>(std::max(0, length)));
    std::memcpy(out, input->bytes.data() + input->position, count);
    input->position += count;
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

// giflib's words for an error. Some failures to open leave the error at 0,
// which has no words; a short read means the file was cut.
QString errorText(int error)
{
    if (error == 0 || error == D_GIF_ERR_READ_FAILED || error == D_GIF_ERR_NO_SCRN_DSCR)
        return QStringLiteral("the GIF is cut short or damaged before its first frame");
    const char* text = GifErrorString(error);
    return text ? QString::fromLatin1(text) : QStringLiteral("damaged GIF data (error %1)").arg(error);
}

GifFile openGif(MemoryInput& input, QString& reason)
{
    int error = 0;
    GifFileType* gif = DGifOpen(&input, readInput, &error);
    if (!gif)
        reason = errorText(error);
    return GifFile(gif);
}

QString lastError(const GifFile& gif)
{
    if (gif->Error == D_GIF_ERR_READ_FAILED)
        return QStringLiteral("the GIF is cut short inside its data");
    return errorText(gif->Error);
}

QString tooLargeText(int width, int height)
{
    return QString::fromStdString(tooLargePictureReason(width, height));
}

// Reads the extension's sub-blocks to their end; the graphic control block,
// when this is one, goes to control.
bool readExtension(const GifFile& gif, GraphicsControlBlock* control)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR)
        return false;
    if (control && code == GRAPHICS_EXT_FUNC_CODE && block && block[0] == 4)
        DGifExtensionToGCB(block[0], block + 1, control);
    while (block) {
        if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR)
            return false;
    }
    return true;
}

// Passes over a frame's compressed pixels without decoding them.
bool skipPixels(const GifFile& gif)
{
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif.get(), &codeSize, &block) == GIF_ERROR)
        return false;
    while (block) {
        if (DGifGetCodeNext(gif.get(), &block) == GIF_ERROR)
            return false;
    }
    return true;
}

GraphicsControlBlock noControl()
{
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    return control;
}

// The rows of an interlaced frame come in four passes.
std::vector<int> rowOrder(int height, bool interlaced)
{
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    constexpr int kStart[4] = {0, 4, 2, 1};
    constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            rows.push_back(y);
    return rows;
}

PixelRect frameRect(const GifFile& gif)
{
    const GifImageDesc& desc = gif->Image;
    return {desc.Left, desc.Top, desc.Width, desc.Height};
}

PixelRect canvasRect(const GifFile& gif)
{
    return {0, 0, gif->SWidth, gif->SHeight};
}

bool frameSizeAllowed(const GifFile& gif)
{
    const GifImageDesc& desc = gif->Image;
    return desc.Width == 0 || desc.Height == 0 || pictureSizeAllowed(desc.Width, desc.Height);
}

void fillRect(GreyImage& canvas, const PixelRect& r, std::uint8_t grey, std::uint8_t alpha)
{
    for (int y = r.top; y < r.top + r.height; ++y)
        for (int x = r.left; x < r.left + r.width; ++x)
            canvas.set(x, y, grey, alpha);
}

// The pixels of r, to be put back by restoreRect.
GreyImage copyRect(const GreyImage& canvas, const PixelRect& r)
{
    GreyImage copy(r.width, r.height);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            copy.set(x, y, canvas.greyAt(r.left + x, r.top + y), canvas.alphaAt(r.left + x, r.top + y));
    return copy;
}

void restoreRect(GreyImage& canvas, const GreyImage& copy, const PixelRect& r)
{
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            canvas.set(r.left + x, r.top + y, copy.greyAt(x, y), copy.alphaAt(x, y));
}

// Decodes one frame onto the canvas.
bool drawFrame(const GifFile& gif, GreyImage& canvas, const GraphicsControlBlock& control)
{
    const GifImageDesc& desc = gif->Image;
    if (desc.Width == 0 || desc.Height == 0)
        return skipPixels(gif);
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    std::array<std::uint8_t, 256> grey{};
    std::array<bool, 256> drawn{};
    for (int k = 0; map && k < map->ColorCount && k < 256; ++k) {
        const GifColorType c = map->Colors[k];
        grey[static_cast<std::size_t>(k)] =
            static_cast<std::uint8_t>((299 * c.Red + 587 * c.Green + 114 * c.Blue + 500) / 1000);
        drawn[static_cast<std::size_t>(k)] = k != control.TransparentColor;
    }
    std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
    for (const int row : rowOrder(desc.Height, desc.Interlace)) {
        if (DGifGetLine(gif.get(), line.data(), desc.Width) == GIF_ERROR)
            return false;
        const int y = desc.Top + row;
        if (y < 0 || y >= canvas.height)
            continue;
        for (int col = 0; col < desc.Width; ++col) {
            const int x = desc.Left + col;
            const GifPixelType index = line[static_cast<std::size_t>(col)];
            if (x >= 0 && x < canvas.width && drawn[index])
                canvas.set(x, y, grey[index], 255);
        }
    }
    return true;
}

enum class FrameStep { Next, Stop, Failed };

// Walks the records of the file: extensions are read (each frame's graphic
// control block into control), and onFrame runs at each frame's descriptor
// and reads its pixels; control is reset after each frame. True when the
// walk reached the file's end or onFrame stopped it.
bool walkFrames(const GifFile& gif, GraphicsControlBlock& control,
                const std::function<FrameStep()>& onFrame)
{
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            return false;
        if (type == TERMINATE_RECORD_TYPE)
            return true;
        if (type == EXTENSION_RECORD_TYPE) {
            if (!readExtension(gif, &control))
                return false;
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif.get()) == GIF_ERROR)
            return false;
        const FrameStep step = onFrame();
        control = noControl();
        if (step != FrameStep::Next)
            return step == FrameStep::Stop;
    }
}

// Where the canvas changes from one frame to the next: the area the frame
// before gives back by its disposal, and the frame's own.
class ChangeTracker {
public:
    explicit ChangeTracker(PixelRect canvas) : canvas_(canvas) {}

    // The area that the frame before gives back as the next one starts.
    PixelRect disposed() const
    {
        return lastDisposal_ == DISPOSE_BACKGROUND || lastDisposal_ == DISPOSE_PREVIOUS ? lastRect_
                                                                                       : PixelRect{};
    }
    // The frame's own area, on the canvas.
    PixelRect drawn(const PixelRect& frame) const { return frame.intersected(canvas_); }
    void frameDone(int disposal, const PixelRect& frame)
    {
        lastDisposal_ = disposal;
        lastRect_ = drawn(frame);
    }
    int lastDisposal() const { return lastDisposal_; }

private:
    PixelRect canvas_;
    int lastDisposal_ = DISPOSAL_UNSPECIFIED;
    PixelRect lastRect_;
};

} // namespace

bool isGifData(std::span<const std::uint8_t> bytes)
{
    static constexpr std::array<char, 6> k87{'G', 'I', 'F', '8', '7', 'a'};
    static constexpr std::array<char, 6> k89{'G', 'I', 'F', '8', '9', 'a'};
    return bytes.size() >= 6 && (std::equal(k87.begin(), k87.end(), bytes.begin()) ||
                                 std::equal(k89.begin(), k89.end(), bytes.begin()));
}

bool scanGif(std::span<const std::uint8_t> bytes, GifSummary& summary, QString& reason,
             std::vector<int>* delays)
{
    summary = {};
    MemoryInput input{bytes};
    const GifFile gif = openGif(input, reason);
    if (!gif)
        return false;
    summary.width = gif->SWidth;
    summary.height = gif->SHeight;
    if (!pictureSizeAllowed(gif->SWidth, gif->SHeight)) {
        summary.tooLarge = gif->SWidth > 0 && gif->SHeight > 0;
        reason = summary.tooLarge ? tooLargeText(gif->SWidth, gif->SHeight)
                                  : QStringLiteral("unusable picture size %1 x %2").arg(gif->SWidth).arg(gif->SHeight);
        return false;
    }
    ChangeTracker changes(canvasRect(gif));
    GraphicsControlBlock control = noControl();
    const bool whole = walkFrames(gif, control, [&] {
        if (!frameSizeAllowed(gif)) {
            summary.tooLarge = true;
            return FrameStep::Failed;
        }
        const PixelRect frame = frameRect(gif);
        summary.work += frame.area() + changes.disposed().united(changes.drawn(frame)).area();
        changes.frameDone(control.DisposalMode, frame);
        if (!skipPixels(gif))
            return FrameStep::Failed;
        if (delays)
            delays->push_back(control.DelayTime);
        ++summary.frames;
        return FrameStep::Next;
    });
    if (summary.tooLarge) {
        reason = QStringLiteral("frame %1: %2").arg(summary.frames + 1).arg(tooLargeText(gif->Image.Width, gif->Image.Height));
        return false;
    }
    // A file cut after its last whole frame still shows those frames, as
    // viewers do; one with no frame at all is damaged.
    if (summary.frames > 0)
        return true;
    reason = whole ? QStringLiteral("the file holds no frame") : lastError(gif);
    return false;
}

bool readGifFrames(std::span<const std::uint8_t> bytes,
                   const std::function<bool(const GreyImage&, const PixelRect&)>& each, QString& reason,
                   GifSummary* scanned)
{
    GifSummary own;
    GifSummary& summary = scanned ? *scanned : own;
    if (!scanGif(bytes, summary, reason))
        return false;
    MemoryInput input{bytes};
    const GifFile gif = openGif(input, reason);
    if (!gif)
        return false;
    const PixelRect whole = canvasRect(gif);
    GreyImage canvas(gif->SWidth, gif->SHeight, 255, 0);
    GreyImage saved;          // what "restore to previous" brings back
    ChangeTracker changes(whole);
    GraphicsControlBlock control = noControl();
    int frames = 0;
    const bool complete = walkFrames(gif, control, [&] {
        // The frame before leaves the canvas as its disposal says.
        const PixelRect disposed = changes.disposed();
        if (changes.lastDisposal() == DISPOSE_BACKGROUND)
            fillRect(canvas, disposed, 255, 0);
        else if (changes.lastDisposal() == DISPOSE_PREVIOUS)
            restoreRect(canvas, saved, disposed);
        const PixelRect frame = frameRect(gif);
        const PixelRect drawn = changes.drawn(frame);
        if (control.DisposalMode == DISPOSE_PREVIOUS)
            saved = copyRect(canvas, drawn);
        if (!drawFrame(gif, canvas, control))
            return FrameStep::Failed;
        changes.frameDone(control.DisposalMode, frame);
        const PixelRect changed = frames++ == 0 ? whole : disposed.united(drawn);
        return each(canvas, changed) ? FrameStep::Next : FrameStep::Stop;
    });
    // Frames after a cut are not there; the scan said as much.
    if (complete || frames == summary.frames)
        return true;
    reason = lastError(gif);
    return false;
}

} // namespace lumidot
