// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/Geometry.h"
#include "platform/LanguageSetting.h"

#include <cstdint>
#include <string>

namespace lumidot {

class SettingsStore;

// The settings the program keeps between runs.
struct Settings {
    std::uint8_t midiOutIndex = 0; // 0 = "MIDI Mapper", k = output device k - 1
    std::uint8_t stepTick = 8;     // ticks between steps in .mid and .prt, 1..127
    ScrollLimits limits;           // ranges of the two scroll bars
    std::uint16_t xStep = 1;       // arrow step of the horizontal bar: 1, or 32 in frame mode
    std::uint16_t yStep = 1;       // arrow step of the vertical bar: 1, or 16 in frame mode
    std::string midiOutName;       // the chosen port's name as the list showed it (UTF-8); empty: not known
    bool paceLive = true;          // live frames paced to a MIDI cable's rate; off: every move at once
    // The language of the interface from the next start on; NS5R_Reg leaves
    // it alone: loadUiLanguage and saveUiLanguage keep it.
    UiLanguage uiLanguage = UiLanguage::Japanese;

    bool operator==(const Settings&) const = default;
};

inline constexpr int kRegLoad = 0;
inline constexpr int kRegSave = 1;

// Outcome of a load or save; message is the Japanese text to show (UTF-8),
// for instance "'XH' のデータ型が不正です".
struct RegResult {
    bool ok = true;
    std::string message;
};

// Loads (direction 0) or saves (direction 1) all settings. A load stops at the
// first wrong-typed value: the values before it keep what was read, the rest
// keep what settings held.
RegResult NS5R_Reg(int direction, Settings& settings, SettingsStore& store);

} // namespace lumidot
