// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GifWriter.h"
#include "export/SyxWriter.h"
#include "export/ExportTestSupport.h"
#include "support/RunCommand.h"

#include <gtest/gtest.h>

namespace lumidot {
namespace {

using namespace lumidot::testing;

CommandRun convert(const std::string& args)
{
    return runCommand(std::string(LUMIDOT_CONVERT) + " " + args);
}

TEST(ConvertToGif, AnOutputEndingInGifRendersWithTheGivenTiming)
{
    TempFolder folder;
    const Recording recording = mixedRecording();
    const auto in = (folder / "in.syx").string();
    writeFile(in, FileSaveData(recording));
    const auto out = (folder / "OUT.GIF").string();

    ASSERT_EQ(convert(in + " " + out).exitCode, 0);
    EXPECT_EQ(readFile(out), EXPORT_GIF(recording, {8, 120, 4}).bytes);
    const CommandRun run = convert(in + " " + out + " --tempo 60 --scale 2 --tick 20");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const Bytes written = readFile(out);
    EXPECT_EQ(written, EXPORT_GIF(recording, {20, 60, 2}).bytes);
    EXPECT_EQ(std::string(written.begin(), written.begin() + 6), "GIF89a");

    const std::vector<std::string> misuses{in + " " + (folder / "x.mid").string() + " --scale 2",
                                           in + " " + out + " --tempo 301", in + " " + out + " --scale 0",
                                           in + " " + out + " --scale", "--list " + in + " --tempo 90"};
    for (const std::string& misuse : misuses) {
        const CommandRun refused = convert(misuse);
        EXPECT_EQ(refused.exitCode, 2) << misuse;
        EXPECT_NE(refused.output.find("OUT.gif [--tick N] [--tempo BPM] [--scale S]"), std::string::npos)
            << "the usage names the GIF output";
    }
}

} // namespace
} // namespace lumidot
