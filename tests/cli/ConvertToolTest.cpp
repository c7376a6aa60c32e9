// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"
#include "recording/StepWait.h"
#include "export/ExportTestSupport.h"
#include "support/RunCommand.h"

#include <gtest/gtest.h>


namespace lumidot {
namespace {

using namespace lumidot::testing;

std::string shellQuoted(const std::string& arg)
{
    std::string out = "'";
    for (const char c : arg)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

CommandRun convert(const std::vector<std::string>& args)
{
    std::string command = LUMIDOT_CONVERT;
    for (const auto& arg : args)
        command += " " + shellQuoted(arg);
    return runCommand(command);
}

class ConvertTool : public ::testing::Test {
protected:
    void SetUp() override { writeFile(input(), FileSaveData(recording)); }
    std::string input() const { return (folder / "in.syx").string(); }
    std::string path(const std::string& name) const { return (folder / name).string(); }

    TempFolder folder;
    Recording recording = mixedRecording();
};

TEST_F(ConvertTool, ListsTheStepsNumberedFromOne)
{
    Recording r;
    r.appendColour(LcdColour::Green);
    r.appendFrame({});
    r.appendMessage("ABC", "");
    r.appendEffect({1, 20, 3});
    r.appendColour(LcdColour::Off);
    r.appendMessage("  say \"hi\"", " two ");
    writeFile(path("five.syx"), FileSaveData(r));
    const CommandRun run = convert({"--list", path("five.syx")});
    EXPECT_EQ(run.exitCode, 0);
    // Each line: the number, the start in bars, beats and ticks, the wait, the step.
    EXPECT_EQ(run.output, "1 1:1:016 8 green\n2 1:1:032 8 frame\n3 1:1:048 8 message \"ABC\" \"\"\n"
                          "4 1:1:064 8 effect 1 20 3\n5 1:1:084 8 off\n"
                          "6 1:1:100 8 message \"  say \\\"hi\\\"\" \" two \"\n");
}

TEST_F(ConvertTool, WritesTheFormatOfTheExtensionInAnyCase)
{
    struct Case {
        std::string name;
        Bytes expected;
    };
    const std::vector<Case> cases{
        {"a.syx", FileSaveData(recording)},       {"b.MID", EXPORT_SMF(recording, 8)},
        {"c.Prt", Export_PRT(recording, 8).bytes}, {"d.exc", EXPORT_SSW(recording).bytes}};
    for (const Case& c : cases) {
        const CommandRun run = convert({input(), path(c.name)});
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(readFile(path(c.name)), c.expected) << c.name;
    }
    ASSERT_EQ(convert({"--tick", "127", input(), path("e.mid")}).exitCode, 0);
    EXPECT_EQ(readFile(path("e.mid")), EXPORT_SMF(recording, 127));
    ASSERT_EQ(convert({input(), path("f.prt"), "--tick", "1"}).exitCode, 0);
    EXPECT_EQ(readFile(path("f.prt")), Export_PRT(recording, 1).bytes);
}

TEST_F(ConvertTool, TellsItsVersionFromTheBuild)
{
    const CommandRun run = convert({"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "lumidot-convert " LUMIDOT_PROJECT_VERSION "\n");
}

TEST_F(ConvertTool, WrongUsageExitsWithTwoAndTheUsage)
{
    const std::vector<std::vector<std::string>> misuses{
        {},
        {input()},
        {input(), path("out.syx"), path("extra.syx")},
        {input(), path("out.txt")},
        {input(), path("noextension")},
        {"--tick", "0", input(), path("out.mid")},
        {"--tick", "128", input(), path("out.mid")},
        {"--tick", "8x", input(), path("out.mid")},
        {input(), path("out.mid"), "--tick"},
        {"--list"},
        {"--list", input(), path("other.syx")},
        {"--frobnicate", input(), path("out.mid")},
    };
    for (const auto& args : misuses) {
        const CommandRun run = convert(args);
        EXPECT_EQ(run.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.output.find("usage: lumidot-convert"), std::string::npos);
    }
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"in.syx"});
}

TEST_F(ConvertTool, BadInputExitsWithOneAndNamesTheOffset)
{
    writeFile(path("bad.syx"), concat({FileSaveData(recording), {0xF0, 0x41, 0x10, 0xF7}}));
    const CommandRun bad = convert({path("bad.syx"), path("out.mid")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.output.find("byte offset " + std::to_string(FileSaveData(recording).size())),
              std::string::npos) << bad.output;
    EXPECT_EQ(convert({"--list", path("bad.syx")}).exitCode, 1);
    EXPECT_EQ(convert({path("missing.syx"), path("out.mid")}).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(path("out.mid")));
}

TEST_F(ConvertTool, AFailedWriteExitsWithOneAndKeepsWhatWasThere)
{
    std::filesystem::create_directory(path("taken.mid"));
    EXPECT_EQ(convert({input(), path("taken.mid")}).exitCode, 1);
    EXPECT_TRUE(std::filesystem::is_directory(path("taken.mid")));
    EXPECT_EQ(convert({input(), path("no/such/folder.syx")}).exitCode, 1);
    EXPECT_EQ(convert({input(), "/sys/lumidot-convert-test.mid"}).exitCode, 1);

    Recording longOne;
    for (int k = 0; k < 5000; ++k)
        longOne.appendColour(LcdColour::Green);
    writeFile(path("long.syx"), FileSaveData(longOne));
    writeFile(path("keep.prt"), ascii("previous"));
    const CommandRun refused = convert({path("long.syx"), path("keep.prt")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find("too long"), std::string::npos);
    EXPECT_EQ(readFile(path("keep.prt")), ascii("previous"));
}

TEST_F(ConvertTool, ReadsEveryFormatAndWritesItsOwnFormatUnchanged)
{
    const std::vector<std::pair<std::string, Bytes>> inputs{
        {"x.mid", EXPORT_SMF(recording, 33)},
        {"x.prt", Export_PRT(recording, 44).bytes},
        {"x.exc", EXPORT_SSW(recording).bytes}};
    const CommandRun expectedList = convert({"--list", input()});
    for (const auto& [name, bytes] : inputs) {
        writeFile(path(name), bytes);
        // At the spacing of the .syx, every format lists the same steps at the same times.
        const CommandRun list = convert({"--list", path(name), "--tick", "8"});
        EXPECT_EQ(list.exitCode, 0) << list.output;
        EXPECT_EQ(list.output, expectedList.output) << name;

        ASSERT_EQ(convert({path(name), path("copy-" + name)}).exitCode, 0);
        EXPECT_EQ(readFile(path("copy-" + name)), bytes) << name;   // the tick found is kept
        ASSERT_EQ(convert({path(name), path(name + ".syx")}).exitCode, 0);
        EXPECT_EQ(readFile(path(name + ".syx")), FileSaveData(recording)) << name;
    }
}

TEST_F(ConvertTool, KeepsTheWaitsAndSaysWhatTheOutputLosesOrOutruns)
{
    Recording r;
    r.appendFrame(patternFrame(1));
    r.appendFrame(patternFrame(2));
    r.appendFrame(patternFrame(3));
    r.setWait(1, StepWait::ticks(1000));
    r.setStartOffset(kTicksPerBar);
    writeFile(path("timed.mid"), EXPORT_SMF(r, 8));

    const CommandRun list = convert({"--list", path("timed.mid")});
    EXPECT_EQ(list.output, "1 2:1:000 1912 frame\n2 2:3:048 1000 frame\n3 2:3:064 8 frame\n");
    // The tempo goes into the .mid on request; the steps stay where they were.
    ASSERT_EQ(convert({path("timed.mid"), path("tempo.mid"), "--tempo", "90"}).exitCode, 0);
    EXPECT_EQ(readFile(path("tempo.mid")), EXPORT_SMF(r, 8, {90}));
    ASSERT_EQ(convert({path("timed.mid"), path("same.mid")}).exitCode, 0);
    EXPECT_EQ(readFile(path("same.mid")), EXPORT_SMF(r, 8));

    // Frames 16 ticks apart outrun the cable at 120 BPM: the file is
    // written, and the smallest spacing that fits named.
    const CommandRun tight = convert({path("timed.mid"), path("tight.mid")});
    EXPECT_EQ(tight.exitCode, 0);
    EXPECT_NE(tight.output.find("warning: at 120 BPM and 8 ticks, step 3"), std::string::npos) << tight.output;
    EXPECT_NE(tight.output.find("--tick 14"), std::string::npos) << tight.output;
    const CommandRun slow = convert({path("timed.mid"), path("slow.mid"), "--tempo", "20"});
    EXPECT_EQ(slow.output.find("warning"), std::string::npos) << slow.output;

    // .syx and .exc keep the steps and say that the timing is gone; .prt
    // refuses a wait it cannot hold and writes nothing.
    for (const char* name : {"t.syx", "t.exc"}) {
        const CommandRun dropped = convert({path("timed.mid"), path(name)});
        EXPECT_EQ(dropped.exitCode, 0);
        EXPECT_NE(dropped.output.find("own waits, start and end were dropped"), std::string::npos) << name;
    }
    EXPECT_EQ(convert({input(), path("plain.syx")}).output, "") << "nothing to say without timing";
    const CommandRun prt = convert({path("timed.mid"), path("t.prt")});
    EXPECT_EQ(prt.exitCode, 1);
    EXPECT_NE(prt.output.find("step 1 waits 1912 ticks"), std::string::npos) << prt.output;
    EXPECT_NE(prt.output.find(".mid"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path("t.prt")));
}

} // namespace
} // namespace lumidot
