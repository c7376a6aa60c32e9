// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

namespace lumidot {

class VirtualArea;

// The scratch image the text is rendered into. Only its top-left 323 x 27
// pixels are the paint area that can hold text: the last column and row never
// count.
inline constexpr int kScratchWidth = 324;
inline constexpr int kScratchHeight = 28;
inline constexpr int kStampAreaWidth = 323;
inline constexpr int kStampAreaHeight = 27;

// Where the text's top-left corner lies in the scratch image, and the offset
// from a scratch pixel to the window dot it stamps (two left, three up).
inline constexpr int kTextTop = 2;
inline constexpr int kStampOffsetX = 2;
inline constexpr int kStampOffsetY = 3;

// The background of the scratch image, a light grey like a button face: never
// exactly black, so it can never become a dot.
inline const QColor kButtonFace{0xF0, 0xF0, 0xF0};

// The longest stamping text, counted in Shift-JIS bytes.
inline constexpr int kStampTextBytes = 20;

// The stamping font as the program starts with it: "ＭＳ Ｐ明朝", 17 pixels,
// bold italic.
QFont defaultStampFont();

// The text rendered black without antialiasing at (0, 2) of a 324 x 28
// button-face image, cut at the paint area's right and bottom edges.
QImage renderStampScratch(const QString& text, const QFont& font);

// Sets dot (scrollX + x - 2, scrollY + y - 3) for every exactly black pixel
// (x, y) of the scratch image's paint area. Never clears a dot. Returns the
// number of black pixels found.
int stampScratch(VirtualArea& area, int scrollX, int scrollY, const QImage& scratch);

// Renders the text and stamps it into the plane at the window position.
int stampText(VirtualArea& area, int scrollX, int scrollY, const QString& text, const QFont& font);

// The length of the text in Shift-JIS bytes; a character Shift-JIS cannot
// hold counts as the one byte of its replacement.
int shiftJisByteLength(const QString& text);

} // namespace lumidot
