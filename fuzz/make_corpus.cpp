// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed corpus: our own exports of a few recordings, one folder
// per format.
#include "export/DocumentFile.h"
#include "export/JournalFormat.h"
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"

#include "recording/StepClip.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace lumidot;

namespace {

std::vector<Recording> recordings()
{
    std::vector<Recording> all;
    all.emplace_back().appendColour(LcdColour::Green);

    Recording& mixed = all.emplace_back();
    PackedFrame frame{};
    frame[0] = 0x40;
    frame[79] = 0x78;
    mixed.appendColour(LcdColour::Orange);
    mixed.appendFrame(frame);
    mixed.appendMessage("ABC", "");
    mixed.appendMessage("Line one here!!!", "And line two 16!");
    mixed.appendEffect({1, 20, 3});
    mixed.appendColour(LcdColour::Red);
    mixed.appendColour(LcdColour::Off);

    Recording& effects = all.emplace_back();
    for (std::uint8_t k = 0; k < 4; ++k)
        effects.appendEffect({static_cast<std::uint8_t>(k * 11), static_cast<std::uint8_t>(47 - k), k});
    return all;
}

void write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Document documentOf(const Recording& steps, int n)
{
    Document document;
    document.recording.insertSteps(0, allSteps(steps));
    for (int k = 0; k < n * 10; ++k)
        document.plane.setDot(k * 3, k, 1);
    document.window = {n * 8, -n};
    document.lines = {"Seed", std::to_string(n)};
    return document;
}

// A journal of a few actions: the steps, then dots, then the steps undone.
std::vector<std::uint8_t> journalOf(const Recording& steps, int n)
{
    Document document;
    std::vector<std::uint8_t> bytes = journalHeader();
    appendSnapshotRecord(bytes, document);
    EditTracker tracker;
    ActionRecord record;
    document.recording.insertSteps(0, allSteps(steps));
    const EditEntry added = tracker.takeChanges(document.plane, document.recording);
    record.edit(added, false);
    record.finish(document, bytes);
    for (int k = 0; k < n * 5; ++k)
        document.plane.setDot(k, -k, 1);
    record.edit(tracker.takeChanges(document.plane, document.recording), false);
    document.lines = {"Journal", "seed"};
    record.finish(document, bytes);
    tracker.undo(added, document.plane, document.recording);
    record.edit(added, true);
    record.finish(document, bytes);
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path root = argc > 1 ? argv[1] : "corpus";
    for (const char* format : {"syx", "mid", "prt", "exc", "lumidot", "journal"})
        std::filesystem::create_directories(root / format);
    int n = 0;
    for (const Recording& r : recordings()) {
        const std::string name = "seed" + std::to_string(++n);
        write(root / "syx" / name, FileSaveData(r));
        write(root / "mid" / name, EXPORT_SMF(r, static_cast<std::uint8_t>(n * 8)));
        write(root / "prt" / name, Export_PRT(r, static_cast<std::uint8_t>(n)).bytes);
        write(root / "exc" / name, EXPORT_SSW(r).bytes);
        write(root / "lumidot" / name, writeDocument(documentOf(r, n)).bytes);
        write(root / "journal" / name, journalOf(r, n));
    }
    return 0;
}
