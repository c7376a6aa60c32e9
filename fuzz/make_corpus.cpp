// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed corpus: our own exports of a few recordings, one folder
// per format.
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"

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

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path root = argc > 1 ? argv[1] : "corpus";
    for (const char* format : {"syx", "mid", "prt", "exc"})
        std::filesystem::create_directories(root / format);
    int n = 0;
    for (const Recording& r : recordings()) {
        const std::string name = "seed" + std::to_string(++n);
        write(root / "syx" / name, FileSaveData(r));
        write(root / "mid" / name, EXPORT_SMF(r, static_cast<std::uint8_t>(n * 8)));
        write(root / "prt" / name, Export_PRT(r, static_cast<std::uint8_t>(n)).bytes);
        write(root / "exc" / name, EXPORT_SSW(r).bytes);
    }
    return 0;
}
