// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SmfWriter.h"
#include "ns5r/StepMessages.h"
#include "export/ExportTestSupport.h"
#include "support/RunCommand.h"

#include <gtest/gtest.h>

#include <sstream>
#include <unistd.h>

// Real programs read our Standard MIDI Files: Debian's midicsv and Python's
// mido (which also rejects a wrong track length).

namespace lumidot {
namespace {

using namespace lumidot::testing;

constexpr const char* kMidicsv = "/usr/bin/midicsv";
constexpr const char* kPython = "/usr/bin/python3";

CommandRun run(const std::string& command)
{
    return runCommand(command);
}

bool requireMidicsv()
{
    if (::access(kMidicsv, X_OK) == 0)
        return true;
    ADD_FAILURE() << kMidicsv << " is missing: install the Debian package midicsv";
    return false;
}

bool requireMido()
{
    if (run(std::string(kPython) + " -c 'import mido'").exitCode == 0)
        return true;
    ADD_FAILURE() << "Python's mido is missing: install the Debian package python3-mido";
    return false;
}

constexpr const char* kMidoScript = R"(
import sys, mido
f = mido.MidiFile(sys.argv[1])
print(f.type, f.ticks_per_beat, len(f.tracks))
for m in f.tracks[0]:
    if m.type == 'sysex':
        print('sysex', m.time, ' '.join('%02X' % b for b in m.data))
    elif m.type == 'text':
        print('text', m.time, m.text)
    else:
        print(m.type, m.time)
)";

std::string hex(std::span<const std::uint8_t> bytes)
{
    std::string out;
    char text[4];
    for (const std::uint8_t b : bytes) {
        std::snprintf(text, sizeof text, "%02X", b);
        out += (out.empty() ? "" : " ") + std::string(text);
    }
    return out;
}

// What mido must report for the recording: one text event per step, then
// the step's messages without F0 and F7, with their deltas.
std::string expectedMidoReport(const Recording& r, int tick)
{
    std::ostringstream out;
    out << "0 480 1\nchannel_prefix 0\n";
    forEachStep(r, [&](const Step& step) {
        out << "text " << tick << ' ' << StepLabel(step.kind) << '\n';
        int delta = tick;
        for (const SysExMessage& m : stepMessages(step)) {
            out << "sysex " << delta << ' ' << hex(m.bytes().subspan(1, m.size() - 2)) << '\n';
            delta = 1;
        }
    });
    out << "end_of_track 48\n";
    return out.str();
}

class SmfPeer : public ::testing::Test {
protected:
    std::string write(const Recording& r, int tick)
    {
        const auto path = folder / "peer.mid";
        writeFile(path, EXPORT_SMF(r, static_cast<std::uint8_t>(tick)));
        return path.string();
    }
    TempFolder folder;
};

TEST_F(SmfPeer, MidoReportsEveryStepMessageAndDelta)
{
    if (!requireMido())
        return;
    for (const int tick : {8, 127}) {
        const Recording r = mixedRecording();
        std::string script = folder.path() / "report.py";
        writeFile(script, ascii(kMidoScript));
        const CommandRun report = run(std::string(kPython) + " " + script + " " + write(r, tick));
        ASSERT_EQ(report.exitCode, 0) << report.output;
        EXPECT_EQ(report.output, expectedMidoReport(r, tick));
    }
}

TEST_F(SmfPeer, MidoAcceptsATrackLongerThan65536Bytes)
{
    if (!requireMido())
        return;
    Recording r;
    for (int k = 0; k < 700; ++k)
        r.appendFrame(patternFrame(k));
    std::string script = folder.path() / "report.py";
    writeFile(script, ascii(kMidoScript));
    const CommandRun report = run(std::string(kPython) + " " + script + " " + write(r, 8));
    ASSERT_EQ(report.exitCode, 0) << report.output;
    EXPECT_EQ(report.output, expectedMidoReport(r, 8));
}

TEST_F(SmfPeer, MidicsvSeesOneTextEventPerStepAndTheAbsoluteTimes)
{
    if (!requireMidicsv())
        return;
    Recording r;
    r.appendColour(LcdColour::Green);
    r.appendEffect({1, 20, 3});
    r.appendMessage("Hi", "");
    const CommandRun csv = run(std::string(kMidicsv) + " " + write(r, 10));
    ASSERT_EQ(csv.exitCode, 0) << csv.output;
    const std::string expected =
        "0, 0, Header, 0, 1, 480\n"
        "1, 0, Start_track\n"
        "1, 0, Channel_prefix, 0\n"
        "1, 10, Text_t, \"==KORG NS5R LCD (Green)==\"\n"
        "1, 20, System_exclusive, 6, 66, 48, 66, 125, 0, 247\n"
        "1, 30, Text_t, \"==KORG NS5R FX==\"\n"
        "1, 40, System_exclusive, 6, 66, 48, 66, 0, 5, 247\n"
        "1, 41, System_exclusive, 9, 66, 48, 66, 8, 8, 0, 1, 0, 247\n"
        "1, 42, System_exclusive, 9, 66, 48, 66, 8, 9, 0, 20, 0, 247\n"
        "1, 43, System_exclusive, 9, 66, 48, 66, 8, 18, 0, 3, 0, 247\n"
        "1, 44, System_exclusive, 6, 66, 48, 66, 0, 1, 247\n"
        "1, 54, Text_t, \"==KORG NS5R ShowMesasge ==\"\n"
        "1, 64, System_exclusive, 24, 66, 48, 66, 18, 8, 0, 0, 72, 105, "
        "32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 247\n"
        "1, 112, End_track\n"
        "0, 0, End_of_file\n";
    EXPECT_EQ(csv.output, expected);
}

} // namespace
} // namespace lumidot
