#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"
#include "export/ExportTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace lumidot {
namespace {

using namespace lumidot::testing;

struct ToolRun {
    int exitCode = -1;
    std::string out;   // stdout and stderr together
};

std::string shellQuoted(const std::string& arg)
{
    std::string out = "'";
    for (const char c : arg)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

ToolRun convert(const std::vector<std::string>& args)
{
    std::string command = LUMIDOT_CONVERT;
    for (const auto& arg : args)
        command += " " + shellQuoted(arg);
    ToolRun result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer;
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
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
    const ToolRun run = convert({"--list", path("five.syx")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "1 green\n2 frame\n3 message \"ABC\" \"\"\n4 effect 1 20 3\n5 off\n"
                       "6 message \"  say \\\"hi\\\"\" \" two \"\n");
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
        const ToolRun run = convert({input(), path(c.name)});
        EXPECT_EQ(run.exitCode, 0) << run.out;
        EXPECT_EQ(readFile(path(c.name)), c.expected) << c.name;
    }
    ASSERT_EQ(convert({"--tick", "127", input(), path("e.mid")}).exitCode, 0);
    EXPECT_EQ(readFile(path("e.mid")), EXPORT_SMF(recording, 127));
    ASSERT_EQ(convert({input(), path("f.prt"), "--tick", "1"}).exitCode, 0);
    EXPECT_EQ(readFile(path("f.prt")), Export_PRT(recording, 1).bytes);
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
        const ToolRun run = convert(args);
        EXPECT_EQ(run.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.out.find("usage: lumidot-convert"), std::string::npos);
    }
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"in.syx"});
}

TEST_F(ConvertTool, BadInputExitsWithOneAndNamesTheOffset)
{
    writeFile(path("bad.syx"), concat({FileSaveData(recording), {0xF0, 0x41, 0x10, 0xF7}}));
    const ToolRun bad = convert({path("bad.syx"), path("out.mid")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.out.find("byte offset " + std::to_string(FileSaveData(recording).size())),
              std::string::npos) << bad.out;
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
    const ToolRun refused = convert({path("long.syx"), path("keep.prt")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.out.find("too long"), std::string::npos);
    EXPECT_EQ(readFile(path("keep.prt")), ascii("previous"));
}

TEST_F(ConvertTool, ReadsEveryFormatAndWritesItsOwnFormatUnchanged)
{
    const std::vector<std::pair<std::string, Bytes>> inputs{
        {"x.mid", EXPORT_SMF(recording, 33)},
        {"x.prt", Export_PRT(recording, 44).bytes},
        {"x.exc", EXPORT_SSW(recording).bytes}};
    const ToolRun expectedList = convert({"--list", input()});
    for (const auto& [name, bytes] : inputs) {
        writeFile(path(name), bytes);
        const ToolRun list = convert({"--list", path(name)});
        EXPECT_EQ(list.exitCode, 0) << list.out;
        EXPECT_EQ(list.out, expectedList.out) << name;

        ASSERT_EQ(convert({path(name), path("copy-" + name)}).exitCode, 0);
        EXPECT_EQ(readFile(path("copy-" + name)), bytes) << name;   // the tick found is kept
        ASSERT_EQ(convert({path(name), path(name + ".syx")}).exitCode, 0);
        EXPECT_EQ(readFile(path(name + ".syx")), FileSaveData(recording)) << name;
    }
}

} // namespace
} // namespace lumidot
