// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace lumidot {

// The program's own small pictures: menu items and the dot editor's tool bar.
enum class IconKind {
    New,
    Open,
    Save,
    Settings,
    Exit,
    Help,
    About,
    Pen,
    Pen2,
    Box,
    Box2,
    Box3,
    Line,
    Moji,
    ClearAll,
    Home,
    Invert,
    Mirror,
    Flip,
};

// A 16 x 16 icon drawn in code.
QIcon makeIcon(IconKind kind);

// The program's own icon, the one of the launcher, in every size it ships.
QIcon programIcon();

} // namespace lumidot
