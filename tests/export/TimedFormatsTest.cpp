// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ExportTestSupport.h"
#include "export/OpenCommand.h"
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/StepClipboard.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"
#include "recording/StepTiming.h"
#include "recording/TimingEdits.h"

#include <gtest/gtest.h>

namespace lumidot {
namespace {

using namespace lumidot::testing;

const Bytes kGreenLabel = ascii("==KORG NS5R LCD (Green)==");
const Bytes kRedLabel = ascii("==KORG NS5R LCD (Red)==");
const Bytes kOrangeLabel = ascii("==KORG NS5R LCD (Orange)==");

// Green at the spacing, red 100 ticks and orange 200 ticks after the step before.
Recording unevenColours()
{
    Recording r;
    r.appendColour(LcdColour::Green);
    r.appendColour(LcdColour::Red);
    r.appendColour(LcdColour::Orange);
    r.setWait(1, StepWait::ticks(100));
    r.setWait(2, StepWait::ticks(200));
    return r;
}

Bytes smfHeader(std::uint8_t trackLength)
{
    return concat({ascii("MThd"), {0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0}, ascii("MTrk"), {0, 0, 0, trackLength}});
}

TEST(TimedGoldenBytes, SmfWritesEachWaitAsItsTextEventsDelta)
{
    const Bytes expected = concat({
        smfHeader(123),
        {0x00, 0xFF, 0x20, 0x01, 0x00},
        {0x08, 0xFF, 0x01, 25}, kGreenLabel, {0x08, 0xF0, 0x06, 0x42, 0x30, 0x42, 0x7D, 0x00, 0xF7},
        {0x64, 0xFF, 0x01, 23}, kRedLabel, {0x08, 0xF0, 0x06, 0x42, 0x30, 0x42, 0x7D, 0x02, 0xF7},
        // 200 = 1 x 128 + 72: two bytes.
        {0x81, 0x48, 0xFF, 0x01, 26}, kOrangeLabel, {0x08, 0xF0, 0x06, 0x42, 0x30, 0x42, 0x7D, 0x01, 0xF7},
        {0x30, 0xFF, 0x2F, 0x00},
    });
    EXPECT_EQ(EXPORT_SMF(unevenColours(), 8), expected);
}

TEST(TimedGoldenBytes, SmfStartEndAndTheTempoOnRequest)
{
    Recording r;
    r.appendColour(LcdColour::Green);
    r.setStartOffset(kTicksPerBar);   // the message on bar 2, its text 8 ticks before
    r.setEndWait(kTicksPerBar);
    const Bytes expected = concat({
        smfHeader(64),
        // 500,000 microseconds a quarter, then 4/4.
        {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08},
        {0x00, 0xFF, 0x20, 0x01, 0x00},
        {0x8E, 0x78, 0xFF, 0x01, 25}, kGreenLabel, {0x08, 0xF0, 0x06, 0x42, 0x30, 0x42, 0x7D, 0x00, 0xF7},
        {0x8F, 0x00, 0xFF, 0x2F, 0x00},
    });
    EXPECT_EQ(EXPORT_SMF(r, 8, {120}), expected);

    // A start before the spacing: the text at tick 0 and the message at the start.
    r.setStartOffset(3);
    const Bytes file = EXPORT_SMF(r, 8);
    const Bytes step = concat({{0x00, 0xFF, 0x01, 25}, kGreenLabel, {0x03, 0xF0}});
    EXPECT_TRUE(std::equal(step.begin(), step.end(), file.begin() + 27));
}

TEST(TimedGoldenBytes, PrtCarriesEachStepsWaitInEveryStartEvent)
{
    Recording r = unevenColours();
    r.setWait(2, StepWait::ticks(1));
    const Bytes expected = concat({
        ascii("RCPPR"), {0x01, 48, 0x00},
        {0x98, 0x00, 0x08, 0x00, 0xF7, 0x00, 0x42, 0x30, 0xF7, 0x00, 0x42, 0x7D, 0xF7, 0x00, 0x00, 0xF7},
        {0x98, 0x00, 0x64, 0x00, 0xF7, 0x00, 0x42, 0x30, 0xF7, 0x00, 0x42, 0x7D, 0xF7, 0x00, 0x02, 0xF7},
        {0x98, 0x00, 0x01, 0x00, 0xF7, 0x00, 0x42, 0x30, 0xF7, 0x00, 0x42, 0x7D, 0xF7, 0x00, 0x01, 0xF7},
    });
    const ExportResult prt = Export_PRT(r, 8);
    ASSERT_TRUE(prt.ok()) << prt.refusal;
    EXPECT_EQ(prt.bytes, expected);

    // All five messages of an effect group carry its wait.
    r.appendEffect({1, 2, 3});
    r.setWait(3, StepWait::ticks(50));
    const Bytes withEffect = Export_PRT(r, 8).bytes;
    for (const std::size_t start : {56u, 72u, 96u, 120u, 144u}) {
        EXPECT_EQ(withEffect.at(start), 0x98) << start;
        EXPECT_EQ(withEffect.at(start + 2), 50) << start;
    }
}

TEST(TimedFormats, PrtRefusesAWaitItCannotHoldNamingTheFirstSuchStep)
{
    for (const int wait : {0, 128, kMaxWait}) {
        Recording r = unevenColours();
        r.setWait(2, StepWait::ticks(wait));
        r.appendColour(LcdColour::Off);
        r.setWait(3, StepWait::ticks(5000));
        const ExportResult prt = Export_PRT(r, 8);
        EXPECT_FALSE(prt.ok()) << wait;
        EXPECT_TRUE(prt.bytes.empty());
        EXPECT_NE(prt.refusal.find("ステップ 3 "), std::string::npos) << prt.refusal;
        EXPECT_NE(prt.refusal.find(".mid"), std::string::npos) << prt.refusal;
        const PrtWaitRefusal refusal = prtWaitRefusal(r, 8);
        EXPECT_EQ(refusal.step, 2);
        EXPECT_EQ(refusal.ticks, wait);
    }
    // A start offset is the first step's wait in a .prt: at least one tick after the spacing.
    Recording early;
    early.appendColour(LcdColour::Green);
    early.setStartOffset(8);
    EXPECT_EQ(prtWaitRefusal(early, 8).step, 0);
    early.setStartOffset(9);
    EXPECT_TRUE(Export_PRT(early, 8).ok());
    Recording fits = unevenColours();
    fits.setWait(2, StepWait::ticks(127));
    EXPECT_FALSE(prtWaitRefusal(fits, 8).refused());
}

TEST(TimedFormats, TheRecordedFilesStayAsTheyWere)
{
    // A recording whose timing was set and then reset to the spacing writes
    // what a recording never timed writes, in every format.
    const Recording plain = mixedRecording();
    Recording reset = mixedRecording();
    ASSERT_EQ(setStepLengths(reset, 0, reset.StepCount(), 999, 8).result, EditResult::Done);
    ASSERT_EQ(resetStepLengths(reset, 0, reset.StepCount()).result, EditResult::Done);
    EXPECT_FALSE(reset.hasOwnTiming());
    EXPECT_EQ(EXPORT_SMF(reset, 8), EXPORT_SMF(plain, 8));
    EXPECT_EQ(Export_PRT(reset, 8).bytes, Export_PRT(plain, 8).bytes);
    // The formats without time write the steps alone, whatever their timing.
    Recording timed = mixedRecording();
    ASSERT_EQ(setStepLengths(timed, 0, 4, 1920, 8).result, EditResult::Done);
    EXPECT_EQ(FileSaveData(timed), FileSaveData(plain));
    EXPECT_EQ(EXPORT_SSW(timed).bytes, EXPORT_SSW(plain).bytes);
}

// A recording with waits of every size the formats treat differently, a
// start and an end of its own.
Recording timedRecording()
{
    Recording r = mixedRecording();
    const std::vector<int> waits{0, 1, 127, 128, 16383, 16384, 300000, kMaxWait};
    for (std::size_t k = 0; k < waits.size(); ++k)
        r.setWait(static_cast<int>(k) + 2, StepWait::ticks(waits[k]));
    r.setStartOffset(kTicksPerBar);
    r.setEndWait(960);
    return r;
}

void expectSameTiming(const Recording& a, const Recording& b, int stepTick)
{
    expectSameSteps(a, b);
    EXPECT_EQ(stepLayout(a, stepTick).starts, stepLayout(b, stepTick).starts);
    EXPECT_EQ(stepLayout(a, stepTick).end, stepLayout(b, stepTick).end);
}

TEST(TimedRoundTrips, MidKeepsEveryWaitTheStartAndTheEnd)
{
    const Recording r = timedRecording();
    for (const int tick : {1, 8, 127}) {
        const Bytes mid = EXPORT_SMF(r, static_cast<std::uint8_t>(tick));
        const LoadResult loaded = loadRecordingBytes(mid);
        ASSERT_TRUE(loaded.ok) << loaded.error;
        EXPECT_EQ(loaded.stepTick, tick);
        expectSameTiming(loaded.recording, r, tick);
        EXPECT_EQ(EXPORT_SMF(loaded.recording, static_cast<std::uint8_t>(tick)), mid);
        // The tempo and time signature change nothing that is read back.
        const LoadResult withTempo = loadRecordingBytes(EXPORT_SMF(r, static_cast<std::uint8_t>(tick), {90}));
        ASSERT_TRUE(withTempo.ok) << withTempo.error;
        EXPECT_EQ(EXPORT_SMF(withTempo.recording, static_cast<std::uint8_t>(tick)), mid);
    }
    // Steps at the spacing come back following it, so that a new spacing respaces them.
    const LoadResult loaded = loadRecordingBytes(EXPORT_SMF(r, 8));
    EXPECT_TRUE(loaded.recording.wait(1).followsSpacing());
    EXPECT_EQ(loaded.recording.wait(2), StepWait::ticks(0));
    const LoadResult plain = loadRecordingBytes(EXPORT_SMF(mixedRecording(), 8));
    EXPECT_FALSE(plain.recording.hasOwnTiming());
}

TEST(TimedRoundTrips, MidThroughPrtAndBackWhereTheWaitsFit)
{
    Recording r = mixedRecording();
    r.setWait(3, StepWait::ticks(1));
    r.setWait(5, StepWait::ticks(100));
    r.setWait(6, StepWait::ticks(127));
    const Bytes mid = EXPORT_SMF(r, 8);
    const LoadResult fromMid = loadRecordingBytes(mid);
    ASSERT_TRUE(fromMid.ok) << fromMid.error;
    const ExportResult prt = Export_PRT(fromMid.recording, 8);
    ASSERT_TRUE(prt.ok()) << prt.refusal;
    const LoadResult fromPrt = loadRecordingBytes(prt.bytes);
    ASSERT_TRUE(fromPrt.ok) << fromPrt.error;
    EXPECT_EQ(fromPrt.stepTick, 8);
    EXPECT_EQ(EXPORT_SMF(fromPrt.recording, 8), mid) << "every message back on its tick";
    EXPECT_EQ(Export_PRT(fromPrt.recording, 8).bytes, prt.bytes);

    // Past what a .prt holds, the conversion is refused rather than retimed.
    const LoadResult long_ = loadRecordingBytes(EXPORT_SMF(timedRecording(), 8));
    EXPECT_FALSE(Export_PRT(long_.recording, 8).ok());
}

Bytes be32(std::uint32_t v)
{
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

Bytes foreignSmf(std::uint16_t division, const Bytes& events)
{
    return concat({ascii("MThd"), be32(6),
                   {0x00, 0x00, 0x00, 0x01, static_cast<std::uint8_t>(division >> 8),
                    static_cast<std::uint8_t>(division)},
                   ascii("MTrk"), be32(static_cast<std::uint32_t>(events.size())), events});
}

const Bytes kRed = {0xF0, 0x06, 0x42, 0x30, 0x42, 0x7D, 0x02, 0xF7};
const Bytes kGreen = {0xF0, 0x06, 0x42, 0x30, 0x42, 0x7D, 0x00, 0xF7};

TEST(TimedRoundTrips, AForeignMidKeepsItsStepsTicksScaledTo480)
{
    // 96 ticks a quarter, no labels: red on the first beat, green on beat 3,
    // red two bars and a sixteenth later; the song ends at bar 5.
    const Bytes song = foreignSmf(96, concat({
        {0x00}, kRed,
        {0x81, 0x40}, kGreen,        // 192
        {0x86, 0x18}, kRed,          // 792 = 2 x 384 + 24
        {0x84, 0x28, 0xFF, 0x2F, 0x00},   // 552 more: tick 1536
    }));
    const LoadResult loaded = loadRecordingBytes(song);
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.stepTick, 8);
    const StepLayout layout = stepLayout(loaded.recording, loaded.stepTick);
    EXPECT_EQ(layout.starts, (std::vector<std::int64_t>{0, 960, 4920}));
    EXPECT_EQ(layout.end, 4 * kTicksPerBar);
    EXPECT_EQ(loaded.recording.startOffset(), 0);

    // Written out and read again, nothing moves.
    const LoadResult again = loadRecordingBytes(EXPORT_SMF(loaded.recording, 8));
    ASSERT_TRUE(again.ok) << again.error;
    expectSameTiming(again.recording, loaded.recording, 8);

    // Evenly spaced steps are the spacing, as a file Lumidot wrote would be.
    const Bytes even = foreignSmf(960, concat({{0x40}, kRed, {0x40}, kGreen, {0x40}, kRed,
                                               {0x00, 0xFF, 0x2F, 0x00}}));
    const LoadResult uniform = loadRecordingBytes(even);
    ASSERT_TRUE(uniform.ok) << uniform.error;
    EXPECT_EQ(uniform.stepTick, 16);
    EXPECT_FALSE(uniform.recording.startOffset());
    EXPECT_TRUE(std::ranges::all_of(uniform.recording.waits(), [](StepWait w) { return w.followsSpacing(); }));

    // A step later than the longest wait is refused where it stands.
    const Bytes far = foreignSmf(480, concat({{0x00}, kRed, {0x81, 0x80, 0x80, 0x00}, kGreen,
                                              {0x00, 0xFF, 0x2F, 0x00}}));
    const LoadResult refused = loadRecordingBytes(far);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.fault, ReadFault::BadValue);
    EXPECT_NE(refused.error.find("byte offset 35"), std::string::npos) << refused.error;
}

TEST(TimedRoundTrips, PrtReadsEachStepsTickAndRefusesATickThatSplitsAGroup)
{
    Recording r = unevenColours();
    r.setWait(1, StepWait::ticks(9));
    r.setWait(2, StepWait::ticks(127));
    r.appendEffect({4, 5, 2});
    r.setWait(3, StepWait::ticks(3));
    r.appendColour(LcdColour::Off);
    const Bytes prt = Export_PRT(r, 8).bytes;
    const LoadResult loaded = loadRecordingBytes(prt);
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.stepTick, 8) << "the first step's tick";
    expectSameTiming(loaded.recording, r, 8);
    EXPECT_EQ(Export_PRT(loaded.recording, 8).bytes, prt);

    // Every step of an animation at a wait of its own: the spacing is still found.
    Recording frames;
    for (int k = 0; k < 4; ++k)
        frames.appendFrame(patternFrame(k));
    ASSERT_EQ(setStepLengths(frames, 0, 4, 96, 20).result, EditResult::Done);
    const LoadResult animation = loadRecordingBytes(Export_PRT(frames, 20).bytes);
    ASSERT_TRUE(animation.ok) << animation.error;
    EXPECT_EQ(animation.stepTick, 20);
    EXPECT_EQ(stepLayout(animation.recording, 20).starts, stepLayout(frames, 20).starts);

    Bytes split = prt;
    split.at(8 + 3 * 16 + 16 + 2) = 4;   // the group's second message
    const LoadResult refused = loadRecordingBytes(split);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.fault, ReadFault::BadValue);
    EXPECT_NE(refused.error.find("byte offset 74"), std::string::npos) << refused.error;
}

TEST(StepClipboard, CarriesWaitsAndStillTakesTheFormWithoutThem)
{
    Recording r = mixedRecording();
    r.setWait(2, StepWait::ticks(0));
    r.setWait(4, StepWait::ticks(7680));
    const StepClip steps = r.copySteps(1, 6);
    const Bytes ours = encodeSteps(steps);
    EXPECT_EQ(ours[7], 2) << "a clip with waits of its own is the second version";
    const auto back = decodeSteps(ours);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->waits, steps.waits);
    expectSameSteps(recordingOf(*back), recordingOf(steps));

    // Steps that follow the spacing are written as before, for an older
    // Lumidot to paste; and such a clipboard pastes here as spacing steps.
    const StepClip plain = mixedRecording().copySteps(0, 3);
    const Bytes old = encodeSteps(plain);
    EXPECT_EQ(old[7], 1);
    EXPECT_EQ(old.size(), 12u + 3 + 80 + 1 + 16);
    const auto fromOld = decodeSteps(old);
    ASSERT_TRUE(fromOld);
    EXPECT_EQ(fromOld->waits, std::vector<StepWait>(3));

    // The waits' part is checked like the rest.
    const std::size_t waitsAt = ours.size() - 20;   // count, then two pairs
    for (const auto& [offset, value] : std::vector<std::pair<std::size_t, std::uint8_t>>{
             {waitsAt, 7}, {waitsAt + 4, 6}, {waitsAt + 12, 0}, {waitsAt + 16 + 3, 0x7F}}) {
        Bytes damaged = ours;
        damaged[offset] = value;
        EXPECT_FALSE(decodeSteps(damaged)) << offset;
    }
    Bytes future = ours;
    future[7] = 3;
    EXPECT_FALSE(decodeSteps(future)) << "a later version is not guessed at";
}

} // namespace
} // namespace lumidot
