// SPDX-License-Identifier: GPL-3.0-or-later
#include "ns5r/Commands.h"
#include "ns5r/DisplayModel.h"
#include "ns5r/DotFont.h"
#include "ns5r/MonitorPicture.h"
#include "picture/VirtualArea.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumidot {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes sysex(std::initializer_list<std::uint8_t> body)
{
    Bytes m{0xF0, 0x42, 0x30, 0x42};
    m.insert(m.end(), body);
    m.push_back(0xF7);
    return m;
}

template <class Range>
Bytes wrap(const Range& body)
{
    return sysExMessage(std::span<const std::uint8_t>(body.data(), body.size()));
}

TEST(DecodeMessage, ReadsEveryCommandTheProgramSends)
{
    const auto colour = decodeMessage(wrap(lcdColourBody(LcdColour::Orange)));
    EXPECT_EQ(colour.kind, MessageKind::LcdColour);
    EXPECT_EQ(colour.colour, LcdColour::Orange);
    EXPECT_EQ(decodeMessage(sysex({0x7D, 0x7F})).colour, LcdColour::Off);

    const auto mode = decodeMessage(wrap(modeSelectBody(kModeEffect)));
    EXPECT_EQ(mode.kind, MessageKind::ModeSelect);
    EXPECT_EQ(mode.mode, 0x05);

    const auto fx = decodeMessage(sysex({0x08, 0x09, 0x00, 0x14, 0x00}));
    EXPECT_EQ(fx.kind, MessageKind::FxParameter);
    EXPECT_EQ(fx.param, FxParam::Effect2);
    EXPECT_EQ(fx.value, 20);
    const auto fxMode = decodeMessage(wrap(fxParameterBody(FxParam::Mode, 3)));
    EXPECT_EQ(fxMode.param, FxParam::Mode);
    EXPECT_EQ(fxMode.value, 3);

    const Bytes text = wrap(showMessageBody("Hi", "XY"));
    const auto shown = decodeMessage(text);
    ASSERT_EQ(shown.kind, MessageKind::ShowMessage);
    EXPECT_EQ(std::string(shown.text.begin(), shown.text.end()), "Hi              XY");

    VirtualArea area;
    area.setDot(31, 15, 1);
    const PackedFrame packed = packWindow(area, 0, 0);
    const Bytes frame = wrap(frameDrawBody(packed));
    const auto drawn = decodeMessage(frame);
    ASSERT_EQ(drawn.kind, MessageKind::FrameDraw);
    EXPECT_TRUE(std::equal(packed.begin(), packed.end(), drawn.frame));
}

TEST(DecodeMessage, RefusesWhatItCannotReadAndNamesWhy)
{
    const std::vector<std::pair<std::string, Bytes>> malformed{
        {"empty", {}},
        {"no F0", {0x42, 0x30, 0x42, 0x7D, 0x00, 0xF7}},
        {"no F7", {0xF0, 0x42, 0x30, 0x42, 0x7D, 0x00}},
        {"status byte inside", {0xF0, 0x42, 0x30, 0x42, 0x7D, 0x90, 0xF7}},
        {"no command", sysex({})},
        {"unknown command", sysex({0x33, 0x01})},
        {"colour too long", sysex({0x7D, 0x00, 0x00})},
        {"unknown colour", sysex({0x7D, 0x03})},
        {"mode 02", sysex({0x00, 0x02})},
        {"fx parameter 0A", sysex({0x08, 0x0A, 0x00, 0x01, 0x00})},
        {"fx value 48", sysex({0x08, 0x08, 0x00, 0x30, 0x00})},
        {"fx mode 4", sysex({0x08, 0x12, 0x00, 0x04, 0x00})},
        {"fx padding", sysex({0x08, 0x08, 0x01, 0x01, 0x00})},
        {"display write 12 09", sysex({0x12, 0x09, 0x00, 0x20})},
        {"frame of 79 bytes", [] {
             Bytes m = sysex({0x12, 0x08, 0x00, 0x20});
             m.insert(m.end() - 1, 79, 0x00);
             return m;
         }()},
        {"message of 15 bytes", [] {
             Bytes m = sysex({0x12, 0x08, 0x00, 0x00});
             m.insert(m.end() - 1, 15, 'A');
             return m;
         }()},
        {"message of 33 bytes", [] {
             Bytes m = sysex({0x12, 0x08, 0x00, 0x00});
             m.insert(m.end() - 1, 33, 'A');
             return m;
         }()},
    };
    for (const auto& [name, message] : malformed) {
        const auto decoded = decodeMessage(message);
        EXPECT_EQ(decoded.kind, MessageKind::Malformed) << name;
        EXPECT_FALSE(decoded.problem.empty()) << name;
    }
    const std::vector<Bytes> otherDevices{
        {0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7},   // another maker
        {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7},                     // universal
        {0xF0, 0x42, 0x30, 0x35, 0x7D, 0x00, 0xF7},               // another KORG model
    };
    for (const Bytes& message : otherDevices)
        EXPECT_EQ(decodeMessage(message).kind, MessageKind::OtherDevice);
}

TEST(DisplayModel, KeepsTheLastOfEachKindAndAssumesNothingBeforeIt)
{
    DisplayModel model;
    EXPECT_FALSE(model.state().backlight);
    EXPECT_FALSE(model.state().frame);
    EXPECT_EQ(model.state().line1(), "");

    model.apply(wrap(lcdColourBody(LcdColour::Red)));
    model.apply(wrap(showMessageBody("   Welcome to   ", "Lumidot Gallery!")));
    model.apply(wrap(showMessageBody("AB", "")));
    model.apply(wrap(fxParameterBody(FxParam::Effect1, 7)));
    model.apply(wrap(modeSelectBody(kModeDisplay)));
    VirtualArea area;
    area.setDot(5, 9, 1);
    model.apply(wrap(frameDrawBody(packWindow(area, 0, 0))));

    const DisplayState& state = model.state();
    EXPECT_EQ(state.backlight, LcdColour::Red);
    EXPECT_EQ(state.line1(), "AB              ");
    EXPECT_EQ(state.line2(), "") << "a shorter message leaves no trace of the one before";
    EXPECT_EQ(state.effect1, 7);
    EXPECT_FALSE(state.effect2);
    EXPECT_EQ(state.modeSelect, kModeDisplay);
    EXPECT_TRUE(state.dot(5, 9));
    EXPECT_FALSE(state.dot(6, 9));
    EXPECT_EQ(state.undecodedCount, 0);
}

TEST(DisplayModel, AnUndecodableMessageIsReportedAndChangesNothingShown)
{
    DisplayModel model;
    model.apply(wrap(lcdColourBody(LcdColour::Green)));
    const DisplayState before = model.state();
    EXPECT_EQ(model.apply(sysex({0x7D, 0x05})), MessageKind::Malformed);
    EXPECT_EQ(model.apply(Bytes{0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}),
              MessageKind::OtherDevice);
    EXPECT_EQ(model.state().undecodedCount, 2);
    EXPECT_EQ(model.state().backlight, before.backlight);
    EXPECT_NE(model.state().lastUndecoded.find("9 バイト: F0 43 10 4C 00 00 7E 00 ..."),
              std::string::npos)
        << model.state().lastUndecoded;
}

// The pixel at a dot of the picture (its top-left pixel).
std::uint8_t pixelAt(const std::vector<std::uint8_t>& pixels, int dotSize, int x, int y)
{
    return pixels[static_cast<std::size_t>(y * dotSize * pictureWidth(dotSize) + x * dotSize)];
}

TEST(MonitorPicture, DrawsBacklightFrameDotsAndTextAtEveryDotSize)
{
    DisplayModel model;
    model.apply(wrap(lcdColourBody(LcdColour::Orange)));
    VirtualArea area;
    area.setDot(0, 0, 1);
    area.setDot(31, 15, 1);
    model.apply(wrap(frameDrawBody(packWindow(area, 0, 0))));
    model.apply(wrap(showMessageBody("I", "")));
    for (int size = kMinDotSize; size <= kMaxDotSize; ++size) {
        std::vector<std::uint8_t> pixels(
            static_cast<std::size_t>(pictureWidth(size) * pictureHeight(size)), 0xEE);
        renderMonitorPicture(model.state(), size, pixels);
        EXPECT_EQ(pixelAt(pixels, size, 0, 0), kPictureBezel) << size;
        EXPECT_EQ(pixelAt(pixels, size, 1, 1), kPictureOrange) << size;
        EXPECT_EQ(pixelAt(pixels, size, 2, 2), kPictureDot) << "top-left frame dot, size " << size;
        EXPECT_EQ(pixelAt(pixels, size, 33, 17), kPictureDot) << "bottom-right frame dot";
        EXPECT_EQ(pixelAt(pixels, size, 3, 2), kPictureOrange);
        // "I": the top row of its glyph is three dots wide, from the second column.
        EXPECT_EQ(pixelAt(pixels, size, 38, 2), kPictureOrange);
        EXPECT_EQ(pixelAt(pixels, size, 39, 2), kPictureDot);
        EXPECT_EQ(pixelAt(pixels, size, 41, 2), kPictureDot);
        EXPECT_EQ(pixelAt(pixels, size, 42, 2), kPictureOrange);
        EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0xEE), 0) << "every pixel painted";
        if (size >= 3) {
            const auto gap = pixels[static_cast<std::size_t>((2 * size) * pictureWidth(size) +
                                                             2 * size + size - 1)];
            EXPECT_EQ(gap, kPictureOrange) << "a gap parts the dots from size 3 on";
        }
    }
    model.apply(wrap(lcdColourBody(LcdColour::Off)));
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(pictureWidth(1) * pictureHeight(1)));
    renderMonitorPicture(model.state(), 1, pixels);
    EXPECT_EQ(pixelAt(pixels, 1, 1, 1), kPictureUnlit);
}

TEST(DotFont, PrintableAsciiHasGlyphsAndEverythingElseTheBox)
{
    const Glyph& box = glyphOf(0x01);
    EXPECT_EQ(&glyphOf(0x7F), &box);
    EXPECT_EQ(&glyphOf(0x80), &box);
    EXPECT_EQ(glyphOf(' '), (Glyph{0, 0, 0, 0, 0}));
    for (int c = 0x21; c <= 0x7E; ++c) {
        EXPECT_NE(&glyphOf(static_cast<std::uint8_t>(c)), &box) << c;
        EXPECT_NE(glyphOf(static_cast<std::uint8_t>(c)), (Glyph{0, 0, 0, 0, 0})) << char(c);
        for (const std::uint8_t column : glyphOf(static_cast<std::uint8_t>(c)))
            EXPECT_EQ(column & 0x80, 0) << "seven rows only: " << char(c);
    }
    // Letters that look alike stay apart.
    EXPECT_NE(glyphOf('O'), glyphOf('0'));
    EXPECT_NE(glyphOf('l'), glyphOf('1'));
    EXPECT_NE(glyphOf('I'), glyphOf('l'));
}

} // namespace
} // namespace lumidot
