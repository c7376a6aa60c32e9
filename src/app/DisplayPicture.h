// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace lumidot {

// The LCD page's picture of the module's display in its playing state:
// 288 x 80 pixels, black dots where the display shows characters, symbols
// and level bars, transparent elsewhere, so that it can be drawn over any
// backlight colour.
QImage displayPicture();

} // namespace lumidot
