// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ExportTestSupport.h"
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"
#include "picture/RegionOps.h"
#include "recording/EditEntry.h"
#include "recording/StepEdits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace lumidot {
namespace {

using namespace lumidot::testing;

// One step as the user would record it: the model the edits are checked
// against. Recording a list of these in order is the "direct recording".
struct StepPlan {
    StepKind kind;
    int seed = 0;
};

void record(Recording& r, const StepPlan& s)
{
    switch (s.kind) {
    case StepKind::Frame: r.appendFrame(patternFrame(s.seed)); break;
    case StepKind::Message: r.appendMessage("m" + std::to_string(s.seed), s.seed % 2 ? "odd" : ""); break;
    case StepKind::Effect:
        r.appendEffect({static_cast<std::uint8_t>(s.seed % 48), static_cast<std::uint8_t>(s.seed * 7 % 48),
                        static_cast<std::uint8_t>(s.seed % 4)});
        break;
    case StepKind::Green:
    case StepKind::Orange:
    case StepKind::Red:
    case StepKind::Off: r.appendColour(stepColour(s.kind)); break;
    }
}

Recording recorded(const std::vector<StepPlan>& plans)
{
    Recording r;
    for (const StepPlan& s : plans)
        record(r, s);
    return r;
}

// The same bytes in all four formats.
void expectSameExports(const Recording& edited, const Recording& direct)
{
    expectSameSteps(edited, direct);
    EXPECT_EQ(FileSaveData(edited), FileSaveData(direct));
    EXPECT_EQ(EXPORT_SMF(edited, 8), EXPORT_SMF(direct, 8));
    EXPECT_EQ(Export_PRT(edited, 5).bytes, Export_PRT(direct, 5).bytes);
    EXPECT_EQ(EXPORT_SSW(edited).bytes, EXPORT_SSW(direct).bytes);
}

std::vector<StepPlan> mixedPlans()
{
    return {{StepKind::Green}, {StepKind::Frame, 1}, {StepKind::Message, 2}, {StepKind::Effect, 3}, {StepKind::Frame, 4},
            {StepKind::Orange}, {StepKind::Message, 5}, {StepKind::Effect, 6}, {StepKind::Frame, 7}, {StepKind::Off}, {StepKind::Message, 8}};
}

// Each edit done on the recording and on the model list.
struct EditCase {
    const char* name;
    StepEdit (*edit)(Recording&);
    void (*model)(std::vector<StepPlan>&);
};

const EditCase kEdits[] = {
    {"delete one", [](Recording& r) { return deleteSteps(r, 4, 1); },
     [](std::vector<StepPlan>& m) { m.erase(m.begin() + 4); }},
    {"delete a range across kinds", [](Recording& r) { return deleteSteps(r, 1, 6); },
     [](std::vector<StepPlan>& m) { m.erase(m.begin() + 1, m.begin() + 7); }},
    {"delete all", [](Recording& r) { return deleteSteps(r, 0, 11); },
     [](std::vector<StepPlan>& m) { m.clear(); }},
    {"move a frame up", [](Recording& r) { return moveSteps(r, 4, 1, 1); },
     [](std::vector<StepPlan>& m) { std::rotate(m.begin() + 1, m.begin() + 4, m.begin() + 5); }},
    {"move a block down to the end", [](Recording& r) { return moveSteps(r, 1, 3, 8); },
     [](std::vector<StepPlan>& m) { std::rotate(m.begin() + 1, m.begin() + 4, m.end()); }},
    {"duplicate a range", [](Recording& r) { return duplicateSteps(r, 2, 3, 8); },
     [](std::vector<StepPlan>& m) { m.insert(m.begin() + 5, m.begin() + 2, m.begin() + 5); }},
    {"paste at the start", [](Recording& r) { return insertSteps(r, 0, r.copySteps(6, 4)); },
     [](std::vector<StepPlan>& m) {
         const std::vector<StepPlan> copied(m.begin() + 6, m.begin() + 10);
         m.insert(m.begin(), copied.begin(), copied.end());
     }},
    {"paste at the end", [](Recording& r) { return insertSteps(r, 11, r.copySteps(0, 5)); },
     [](std::vector<StepPlan>& m) {
         const std::vector<StepPlan> copied(m.begin(), m.begin() + 5);
         m.insert(m.end(), copied.begin(), copied.end());
     }},
};

TEST(StepEdits, EditedRecordingsExportAsTheSameStepsRecordedInThatOrder)
{
    for (const EditCase& c : kEdits) {
        SCOPED_TRACE(c.name);
        Recording edited = recorded(mixedPlans());
        std::vector<StepPlan> model = mixedPlans();
        EXPECT_EQ(c.edit(edited).result, EditResult::Done);
        c.model(model);
        expectSameExports(edited, recorded(model));
        // New steps recorded after the edit land at the end, with their payloads.
        record(edited, {StepKind::Message, 40});
        record(edited, {StepKind::Frame, 41});
        model.insert(model.end(), {{StepKind::Message, 40}, {StepKind::Frame, 41}});
        expectSameExports(edited, recorded(model));
    }
}

TEST(StepEdits, UndoAndRedoOfEachEditRestoreTheBytes)
{
    for (const EditCase& c : kEdits) {
        SCOPED_TRACE(c.name);
        Recording r = recorded(mixedPlans());
        const StepEdit edit = c.edit(r);
        const Bytes after = FileSaveData(r);
        edit.change.undo(r);
        expectSameExports(r, recorded(mixedPlans()));
        edit.change.redo(r);
        EXPECT_EQ(FileSaveData(r), after);
    }
}

TEST(StepEdits, EmptyAndOutOfRangeEditsChangeNothing)
{
    Recording r = recorded(mixedPlans());
    EXPECT_EQ(deleteSteps(r, 11, 3).result, EditResult::Nothing);
    EXPECT_EQ(deleteSteps(r, 2, 0).result, EditResult::Nothing);
    EXPECT_EQ(moveSteps(r, 3, 2, 3).result, EditResult::Nothing);
    EXPECT_EQ(insertSteps(r, 5, StepClip{}).result, EditResult::Nothing);
    // A range reaching past the end is held to the steps there are.
    EXPECT_EQ(deleteSteps(r, 9, 100).result, EditResult::Done);
    EXPECT_EQ(r.StepCount(), 9);
    std::vector<StepPlan> model = mixedPlans();
    model.resize(9);
    expectSameExports(r, recorded(model));
}

// A recording of 9,998 steps whose last is a frame.
Recording nearlyFull()
{
    Recording r;
    for (int k = 0; k < kStepLimit - 2; ++k)
        r.appendColour(LcdColour::Green);
    r.appendFrame(patternFrame(9));
    return r;
}

TEST(StepEdits, LimitsHoldAsForRecordingAndARefusalChangesNothing)
{
    Recording r = nearlyFull();
    const StepClip frame = r.copySteps(kStepLimit - 2, 1);
    const StepClip colour = r.copySteps(0, 1);

    // The 9,999th step may be a frame, as recording it would be accepted...
    EXPECT_EQ(insertSteps(r, r.StepCount(), frame).result, EditResult::Done);
    EXPECT_EQ(r.StepCount(), kStepLimit);
    // ...but no frame or message step after it.
    EXPECT_EQ(insertSteps(r, r.StepCount(), frame).result, EditResult::Full);
    EXPECT_EQ(duplicateSteps(r, kStepLimit - 1, 1, 8).result, EditResult::Full);
    // Colour steps pass the limit at the end, as recording them does...
    EXPECT_EQ(insertSteps(r, r.StepCount(), colour).result, EditResult::Done);
    // ...but not before a frame that they would push past it.
    const Bytes full = FileSaveData(r);
    EXPECT_EQ(insertSteps(r, 0, colour).result, EditResult::Full);
    EXPECT_EQ(moveSteps(r, kStepLimit - 1, 1, kStepLimit).result, EditResult::Full);
    EXPECT_EQ(FileSaveData(r), full);
    // A frame moved towards the start is fine.
    EXPECT_EQ(moveSteps(r, kStepLimit - 1, 1, 0).result, EditResult::Done);
}

// The whole document state, to compare byte for byte.
struct Snapshot {
    Bytes plane;
    Bytes syx;
    Bytes smf;

    static Snapshot of(const VirtualArea& area, const Recording& r)
    {
        Snapshot s;
        for (int x = VirtualArea::kMinX; x <= VirtualArea::kMaxX; ++x)
            s.plane.insert(s.plane.end(), area.column(x), area.column(x) + VirtualArea::kHeight);
        s.syx = FileSaveData(r);
        s.smf = EXPORT_SMF(r, 8);
        return s;
    }
    bool operator==(const Snapshot&) const = default;
};

// One random user action on the plane or the recording.
void randomAction(std::mt19937& rng, VirtualArea& area, Recording& r, std::optional<StepClip>& clip)
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const View view{pick(-100, 100), pick(-60, 60), 32 << pick(0, 1), 16 << pick(0, 1)};
    const int n = r.StepCount();
    switch (pick(0, 11)) {
    case 0: for (int k = pick(1, 30); k > 0; --k) area.setDot(pick(-600, 600), pick(-300, 300), pick(0, 1)); break;
    case 1: fillRegion(area, orderedRegion(pick(-520, 550), pick(-260, 280), pick(-520, 550), pick(-260, 280)), pick(0, 1)); break;
    case 2: invertView(area, view); break;
    case 3: mirrorView(area, view); break;
    case 4: flipView(area, view); break;
    case 5: for (int k = pick(1, 4); k > 0; --k) record(r, {std::array{StepKind::Green, StepKind::Message, StepKind::Frame, StepKind::Off, StepKind::Effect}[pick(0, 4)], pick(0, 99)}); break;
    case 6: deleteSteps(r, pick(0, n), pick(1, 4)); break;
    case 7: moveSteps(r, pick(0, n), pick(1, 3), pick(0, n)); break;
    case 8: clip = r.copySteps(pick(0, n), pick(1, 5)); break;
    case 9: if (clip) insertSteps(r, pick(0, n), *clip); break;
    case 10: duplicateSteps(r, pick(0, n), pick(1, 3), 8); break;
    case 11: r.clear(); area.setDot(0, 0, 1); break;
    }
}

TEST(EditTracker, UndoAllRestoresTheStartAndRedoAllTheEnd)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        VirtualArea area;
        Recording r;
        EditTracker tracker;
        std::optional<StepClip> clip;
        for (int k = 0; k < 5; ++k)   // a start that is not empty
            randomAction(rng, area, r, clip);
        tracker.takeChanges(area, r);
        const Snapshot start = Snapshot::of(area, r);

        std::vector<EditEntry> entries;
        for (int k = 0; k < 150; ++k) {
            randomAction(rng, area, r, clip);
            if (EditEntry entry = tracker.takeChanges(area, r); !entry.empty())
                entries.push_back(std::move(entry));
        }
        const Snapshot end = Snapshot::of(area, r);
        for (auto it = entries.rbegin(); it != entries.rend(); ++it)
            tracker.undo(*it, area, r);
        EXPECT_TRUE(Snapshot::of(area, r) == start);
        for (const EditEntry& entry : entries)
            tracker.redo(entry, area, r);
        EXPECT_TRUE(Snapshot::of(area, r) == end);
        // The copies followed: nothing is left to take.
        EXPECT_TRUE(tracker.takeChanges(area, r).empty());
    }
}

TEST(EditTracker, AppendsBecomeInsertionsThatARunOfTypingJoins)
{
    Recording r = recorded(mixedPlans());
    EditTracker tracker;
    VirtualArea area;
    tracker.takeChanges(area, r);
    record(r, {StepKind::Message, 50});
    EditEntry first = tracker.takeChanges(area, r);
    ASSERT_TRUE(first.recording.insertsOnly());
    EXPECT_EQ(first.recording.at(), 11);
    record(r, {StepKind::Message, 51});
    const EditEntry second = tracker.takeChanges(area, r);
    EXPECT_TRUE(first.recording.absorb(second.recording));
    EXPECT_EQ(first.recording.inserted().size(), 2);
    // A move is taken as what it is, not as a replaced run.
    const StepEdit moved = moveSteps(r, 0, 1, 12);
    const EditEntry adopted = tracker.adopt(moved.change);
    EXPECT_FALSE(first.recording.absorb(adopted.recording));
    EXPECT_TRUE(tracker.takeChanges(area, r).empty());
}

TEST(PlaneChange, WholeRegionChangesAreBitsAndStrokesAreDots)
{
    VirtualArea before;
    VirtualArea after;
    const Region clear = clearRegionFor(ScrollLimits{-512, 512, -256, 256});
    fillRegion(after, clear, 1);
    const PlaneChange whole = PlaneChange::between(before, after);
    const auto dots = static_cast<std::size_t>(whole.dotCount());
    EXPECT_LT(whole.bytes(), dots / 8 + 256);   // one bit per dot, not a plane copy

    VirtualArea stroke;
    for (int k = 0; k < 20; ++k)
        stroke.setDot(-500 + 50 * k, -250 + 25 * k, 1);
    const PlaneChange pen = PlaneChange::between(before, stroke);
    EXPECT_EQ(pen.dotCount(), 20);
    EXPECT_LT(pen.bytes(), 200u);   // a diagonal across the plane is twenty dots
    pen.apply(stroke);
    EXPECT_TRUE(PlaneChange::between(before, stroke).empty());
}

// Overwriting frame 2 of F M F E F is recording F M F' E F directly, and
// its undo gives the recording back.
TEST(OverwriteFrame, IsTheDirectRecordingWithTheNewFrameAndUndoes)
{
    const std::vector<StepPlan> plan{{StepKind::Frame, 1}, {StepKind::Message, 2}, {StepKind::Frame, 3},
                                     {StepKind::Effect, 4}, {StepKind::Frame, 5}};
    Recording r = recorded(plan);
    const Recording before = recorded(plan);
    const StepEdit edit = overwriteFrame(r, 2, patternFrame(9));
    ASSERT_EQ(edit.result, EditResult::Done);
    std::vector<StepPlan> direct = plan;
    direct[2].seed = 9;
    expectSameExports(r, recorded(direct));
    edit.change.undo(r);
    expectSameSteps(r, before);

    EXPECT_EQ(overwriteFrame(r, 1, patternFrame(9)).result, EditResult::Nothing) << "a message step";
    EXPECT_EQ(overwriteFrame(r, 2, patternFrame(3)).result, EditResult::Nothing) << "the same dots";
    EXPECT_EQ(overwriteFrame(r, 5, patternFrame(9)).result, EditResult::Nothing) << "past the end";
    expectSameSteps(r, before);
}

TEST(OnionFrames, AreTheNearestFrameStepsBeforeAndAfterAStep)
{
    const Recording r = recorded({{StepKind::Frame, 1}, {StepKind::Message, 2}, {StepKind::Frame, 3},
                                  {StepKind::Green, 0}, {StepKind::Frame, 5}});
    EXPECT_EQ(frameBefore(r, 0), std::nullopt);
    EXPECT_EQ(frameBefore(r, 2), patternFrame(1));
    EXPECT_EQ(frameBefore(r, 3), patternFrame(3));
    EXPECT_EQ(frameBefore(r, r.StepCount()), patternFrame(5)) << "the last recorded";
    EXPECT_EQ(frameAfter(r, 0), patternFrame(3));
    EXPECT_EQ(frameAfter(r, 2), patternFrame(5));
    EXPECT_EQ(frameAfter(r, 4), std::nullopt);
    EXPECT_EQ(frameAfter(r, r.StepCount()), std::nullopt);
    EXPECT_EQ(frameBefore(Recording{}, 0), std::nullopt);
}

} // namespace
} // namespace lumidot
