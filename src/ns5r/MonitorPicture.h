// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ns5r/Commands.h"
#include "ns5r/DisplayModel.h"

#include <array>
#include <cstdint>
#include <span>

namespace lumidot {

// The monitor's picture of the display, as palette indices one byte a pixel:
// a bezel around the backlit glass, the 32 x 16 dots of the frame on the
// left, the two 16-character message lines on the right. The window and the
// GIF export draw the same picture.
enum PictureColour : std::uint8_t {
    kPictureBezel,
    kPictureDot,
    kPictureGreen,
    kPictureOrange,
    kPictureRed,
    kPictureUnlit,   // backlight off, or no colour command yet
    kPictureColourCount,
};

const std::array<Rgb, kPictureColourCount>& picturePalette();

// The picture in dots; each dot is dotSize x dotSize pixels.
inline constexpr int kPictureDotsWide = 136;
inline constexpr int kPictureDotsHigh = 20;
inline constexpr int kMinDotSize = 1;
inline constexpr int kMaxDotSize = 8;

constexpr int pictureWidth(int dotSize) { return kPictureDotsWide * dotSize; }
constexpr int pictureHeight(int dotSize) { return kPictureDotsHigh * dotSize; }

// Draws the state into pixels, pictureWidth(dotSize) x pictureHeight(dotSize)
// bytes row by row. From dot size 3 on a one-pixel gap parts the dots, as on
// the glass.
void renderMonitorPicture(const DisplayState& state, int dotSize, std::span<std::uint8_t> pixels);

} // namespace lumidot
