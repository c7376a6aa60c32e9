// SPDX-License-Identifier: GPL-3.0-or-later
#include "ns5r/MonitorPicture.h"

#include "ns5r/DotFont.h"

#include <algorithm>

namespace lumidot {

namespace {

constexpr int kFrameLeft = 2;
constexpr int kFrameTop = 2;
constexpr int kTextLeft = kFrameLeft + 32 + 4;
constexpr int kTextTop = kFrameTop;
constexpr int kCharPitch = kGlyphWidth + 1;
constexpr int kLinePitch = kGlyphHeight + 1;

std::uint8_t backlightIndex(const DisplayState& state)
{
    if (!state.backlight)
        return kPictureUnlit;
    switch (*state.backlight) {
    case LcdColour::Green: return kPictureGreen;
    case LcdColour::Orange: return kPictureOrange;
    case LcdColour::Red: return kPictureRed;
    case LcdColour::Off: break;
    }
    return kPictureUnlit;
}

class Canvas {
public:
    Canvas(std::span<std::uint8_t> pixels, int dotSize)
        : pixels_(pixels), dotSize_(dotSize), width_(pictureWidth(dotSize)),
          dotPixels_(dotSize >= 3 ? dotSize - 1 : dotSize)
    {
    }

    void fillDots(int x, int y, int w, int h, std::uint8_t colour)
    {
        for (int row = y * dotSize_; row < (y + h) * dotSize_; ++row) {
            auto start = pixels_.begin() + row * width_ + x * dotSize_;
            std::fill(start, start + w * dotSize_, colour);
        }
    }

    void dot(int x, int y)
    {
        for (int row = 0; row < dotPixels_; ++row) {
            auto start = pixels_.begin() + (y * dotSize_ + row) * width_ + x * dotSize_;
            std::fill(start, start + dotPixels_, kPictureDot);
        }
    }

private:
    std::span<std::uint8_t> pixels_;
    int dotSize_;
    int width_;
    int dotPixels_;
};

void drawLine(Canvas& canvas, std::string_view line, int top)
{
    for (std::size_t i = 0; i < line.size(); ++i) {
        const Glyph& glyph = glyphOf(static_cast<std::uint8_t>(line[i]));
        const int left = kTextLeft + static_cast<int>(i) * kCharPitch;
        for (int column = 0; column < kGlyphWidth; ++column)
            for (int row = 0; row < kGlyphHeight; ++row)
                if (glyphDot(glyph, column, row))
                    canvas.dot(left + column, top + row);
    }
}

} // namespace

const std::array<Rgb, kPictureColourCount>& picturePalette()
{
    static const std::array<Rgb, kPictureColourCount> palette{
        Rgb{48, 48, 48},           Rgb{16, 16, 16},
        colourRgb(LcdColour::Green), colourRgb(LcdColour::Orange),
        colourRgb(LcdColour::Red),   colourRgb(LcdColour::Off)};
    return palette;
}

void renderMonitorPicture(const DisplayState& state, int dotSize, std::span<std::uint8_t> pixels)
{
    dotSize = std::clamp(dotSize, kMinDotSize, kMaxDotSize);
    if (pixels.size() < static_cast<std::size_t>(pictureWidth(dotSize) * pictureHeight(dotSize)))
        return;
    Canvas canvas(pixels, dotSize);
    canvas.fillDots(0, 0, kPictureDotsWide, kPictureDotsHigh, kPictureBezel);
    canvas.fillDots(1, 1, kPictureDotsWide - 2, kPictureDotsHigh - 2, backlightIndex(state));
    if (state.frame)
        for (int row = 0; row < 16; ++row)
            for (int column = 0; column < 32; ++column)
                if (packedDot(*state.frame, column, row))
                    canvas.dot(kFrameLeft + column, kFrameTop + row);
    drawLine(canvas, state.line1(), kTextTop);
    drawLine(canvas, state.line2(), kTextTop + kLinePitch);
}

} // namespace lumidot
