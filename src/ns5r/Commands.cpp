// SPDX-License-Identifier: GPL-3.0-or-later
#include "ns5r/Commands.h"

#include "picture/Geometry.h"
#include "picture/VirtualArea.h"

#include <algorithm>

namespace lumidot {

const std::array<std::string_view, kEffectCount> kEffectNames{
    "00:No Effect",          "01:Hall",
    "02:Ensemble Hall",      "03:Concert Hall",
    "04:Room",               "05:Large Room",
    "06:Live Stage",         "07:Wet Plate",
    "08:Dry Plate",          "09:Spring Reverb",
    "10:Early Reflection 1", "11:Early Reflection 2",
    "12:Early Reflection 3", "13:Stereo Delay",
    "14:Cross Delay",        "15:Dual Mono Delay",
    "16:Multi Tap Delay 1",  "17:Multi Tap Delay 2",
    "18:Multi Tap Delay 3",  "19:Stereo Chorus 1",
    "20:Stereo Chorus 2",    "21:Quadrature Chorus",
    "22:Cross Over Chorus",  "23:Harmonic Chorus",
    "24:Symphonic Ensemble", "25:Flanger 1",
    "26:Flanger 2",          "27:Cross Over Flanger",
    "28:Exciter",            "29:Enhancer",
    "30:Distortion",         "31:Over Drive",
    "32:Stereo Phaser 1",    "33:Stereo Phaser 2",
    "34:Rotary Speaker",     "35:Auto Pan",
    "36:Tremoro",            "37:Parametric EQ",
    "38:Chorus-Delay",       "39:Flanger-Delay",
    "40:Delay/Hall",         "41:Delay/Room",
    "42:Delay/Chorus",       "43:Delay/Flanger",
    "44:Delay/Distortion",   "45:Delay/Over Drive",
    "46:Delay/Phaser",       "47:Delay/Rotary Speaker",
};

const std::array<std::string_view, kEffectModeCount> kEffectModeNames{
    "Serial", "Parallel-1", "Parallel-2", "Parallel-3"};

std::uint8_t colourCode(LcdColour colour)
{
    switch (colour) {
    case LcdColour::Green: return 0x00;
    case LcdColour::Orange: return 0x01;
    case LcdColour::Red: return 0x02;
    case LcdColour::Off: break;
    }
    return 0x7F;
}

Rgb colourRgb(LcdColour colour)
{
    switch (colour) {
    case LcdColour::Green: return {0, 255, 0};
    case LcdColour::Orange: return {255, 128, 64};
    case LcdColour::Red: return {255, 0, 0};
    case LcdColour::Off: break;
    }
    return {128, 128, 128};
}

std::array<std::uint8_t, 2> lcdColourBody(LcdColour colour)
{
    return {0x7D, colourCode(colour)};
}

std::array<std::uint8_t, 2> modeSelectBody(std::uint8_t mode)
{
    return {0x00, mode};
}

std::array<std::uint8_t, 5> fxParameterBody(FxParam param, std::uint8_t value)
{
    return {0x08, static_cast<std::uint8_t>(param), 0x00, value, 0x00};
}

PackedFrame packWindow(const VirtualArea& area, int scrollX, int scrollY)
{
    PackedFrame frame{};
    for (int column = 0; column < kLcdCols; ++column) {
        const int group = column / 7;
        const int shift = 6 - column % 7;
        std::uint8_t* rows = frame.data() + 16 * group;
        const int x = scrollX + column;
        if (const std::uint8_t* run = area.columnRun(x, scrollY, kLcdRows)) {
            for (int row = 0; row < kLcdRows; ++row)
                rows[row] |= static_cast<std::uint8_t>(run[row] << shift);
        } else {
            for (int row = 0; row < kLcdRows; ++row)
                rows[row] |= static_cast<std::uint8_t>(area.dot(x, scrollY + row) << shift);
        }
    }
    return frame;
}

void unpackWindow(VirtualArea& area, int scrollX, int scrollY, const PackedFrame& frame)
{
    for (int column = 0; column < kLcdCols; ++column)
        for (int row = 0; row < kLcdRows; ++row)
            area.setDot(scrollX + column, scrollY + row, frameDot(frame, column, row));
}

std::array<std::uint8_t, 84> frameDrawBody(const PackedFrame& frame)
{
    std::array<std::uint8_t, 84> body{};
    std::copy(kFrameDrawPrefix.begin(), kFrameDrawPrefix.end(), body.begin());
    std::copy(frame.begin(), frame.end(), body.begin() + 4);
    return body;
}

std::vector<std::uint8_t> messageText(std::string_view line1, std::string_view line2)
{
    line1 = line1.substr(0, kMessageLineBytes);
    line2 = line2.substr(0, kMessageLineBytes);
    std::vector<std::uint8_t> text(kMessageLineBytes + line2.size(), ' ');
    std::copy(line1.begin(), line1.end(), text.begin());
    std::copy(line2.begin(), line2.end(), text.begin() + kMessageLineBytes);
    return text;
}

std::vector<std::uint8_t> showMessageBody(std::string_view line1, std::string_view line2)
{
    if (line1.empty() && line2.empty())
        return {};
    const auto text = messageText(line1, line2);
    std::vector<std::uint8_t> body(kShowMessagePrefix.size() + text.size());
    std::copy(kShowMessagePrefix.begin(), kShowMessagePrefix.end(), body.begin());
    std::copy(text.begin(), text.end(), body.begin() + 4);
    return body;
}

std::vector<std::uint8_t> sysExMessage(std::span<const std::uint8_t> body)
{
    std::vector<std::uint8_t> message(body.size() + 5);
    std::copy(kSysExHeader.begin(), kSysExHeader.end(), message.begin());
    std::copy(body.begin(), body.end(), message.begin() + 4);
    message.back() = kEndOfExclusive;
    return message;
}

std::array<std::vector<std::uint8_t>, 5> effectGroupMessages(const EffectSetting& effect)
{
    return {sysExMessage(modeSelectBody(kModeEffect)),
            sysExMessage(fxParameterBody(FxParam::Effect1, effect.effect1)),
            sysExMessage(fxParameterBody(FxParam::Effect2, effect.effect2)),
            sysExMessage(fxParameterBody(FxParam::Mode, effect.mode)),
            sysExMessage(modeSelectBody(kModeDisplay))};
}

} // namespace lumidot
