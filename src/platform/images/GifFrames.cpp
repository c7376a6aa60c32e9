// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/GifFrames.h"

#include <QFile>

#include <gif_lib.h>

#include <array>
#include <memory>
#include <vector>

namespace lumidot {

namespace {

// Larger canvases are refused rather than allocated (256 MiB of grey and
// opacity); no display animation needs them.
constexpr long long kLargestCanvas = 128LL * 1024 * 1024;

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

GifFile openGif(const QString& fileName, QString& reason)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(fileName).constData(), &error);
    if (!gif)
        reason = QString::fromLatin1(GifErrorString(error));
    return GifFile(gif);
}

QString lastError(const GifFile& gif)
{
    const char* text = GifErrorString(gif->Error);
    return text ? QString::fromLatin1(text) : QStringLiteral("damaged GIF data");
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

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

void clearRect(GreyImage& canvas, const Rect& r)
{
    for (int y = std::max(0, r.top); y < std::min(canvas.height, r.top + r.height); ++y)
        for (int x = std::max(0, r.left); x < std::min(canvas.width, r.left + r.width); ++x)
            canvas.set(x, y, 255, 0);
}

// Decodes one frame onto the canvas.
bool drawFrame(const GifFile& gif, GreyImage& canvas, const GraphicsControlBlock& control)
{
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    std::array<std::uint8_t, 256> grey{};
    std::array<bool, 256> drawn{};
    for (int k = 0; map && k < map->ColorCount && k < 256; ++k) {
        const GifColorType c = map->Colors[k];
        grey[static_cast<std::size_t>(k)] =
            static_cast<std::uint8_t>((299 * c.Red + 587 * c.Green + 114 * c.Blue + 500) / 1000);
        drawn[static_cast<std::size_t>(k)] = k != control.TransparentColor;
    }
    std::vector<GifPixelType> line(static_cast<std::size_t>(std::max(1, desc.Width)));
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

} // namespace

bool isGifFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(6);
    return head == "GIF87a" || head == "GIF89a";
}

namespace {

// Skips a frame's compressed pixels without decoding them.
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

} // namespace

int countGifFrames(const QString& fileName, QString& reason, std::vector<int>* delays)
{
    const GifFile gif = openGif(fileName, reason);
    if (!gif)
        return -1;
    int frames = 0;
    GraphicsControlBlock control = noControl();
    const bool whole = walkFrames(gif, control, [&] {
        if (!skipPixels(gif))
            return FrameStep::Failed;
        if (delays)
            delays->push_back(control.DelayTime);
        ++frames;
        return FrameStep::Next;
    });
    // A file cut after its last whole frame still shows those frames, as
    // viewers do; one with no frame at all is damaged.
    if (frames > 0)
        return frames;
    reason = whole ? QStringLiteral("the file holds no frame") : lastError(gif);
    return -1;
}

bool readGifFrames(const QString& fileName, const std::function<bool(const GreyImage&)>& each,
                   QString& reason)
{
    const GifFile gif = openGif(fileName, reason);
    if (!gif)
        return false;
    if (gif->SWidth <= 0 || gif->SHeight <= 0 ||
        static_cast<long long>(gif->SWidth) * gif->SHeight > kLargestCanvas) {
        reason = QStringLiteral("unusable picture size %1 x %2").arg(gif->SWidth).arg(gif->SHeight);
        return false;
    }
    GreyImage canvas(gif->SWidth, gif->SHeight, 255, 0);
    GreyImage beforeFrame;
    GraphicsControlBlock control = noControl();
    int lastDisposal = DISPOSAL_UNSPECIFIED;
    Rect lastRect;
    int frames = 0;
    const bool whole = walkFrames(gif, control, [&] {
        // The frame before leaves the canvas as its disposal says.
        if (lastDisposal == DISPOSE_BACKGROUND)
            clearRect(canvas, lastRect);
        else if (lastDisposal == DISPOSE_PREVIOUS && !beforeFrame.grey.empty())
            canvas = beforeFrame;
        if (control.DisposalMode == DISPOSE_PREVIOUS)
            beforeFrame = canvas;
        if (!drawFrame(gif, canvas, control))
            return FrameStep::Failed;
        ++frames;
        lastDisposal = control.DisposalMode;
        lastRect = {gif->Image.Left, gif->Image.Top, gif->Image.Width, gif->Image.Height};
        return each(canvas) ? FrameStep::Next : FrameStep::Stop;
    });
    // Frames after a cut are not there; the count said as much.
    if (whole || (frames > 0 && countGifFrames(fileName, reason) == frames))
        return true;
    reason = lastError(gif);
    return false;
}

} // namespace lumidot
