// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include "app/Manual.h"
#include "Version.h"

namespace lumidot {

namespace {

void printHelp(std::ostream& out)
{
    out << "usage: lumidot [--version | --help]\n"
           "Lumidot " << kVersion << ": editor for the display and the effects of the KORG NS5R,\n"
           "driven by MIDI System Exclusive. Without an option it opens its window;\n"
           "other arguments are ignored.\n"
           "  --version   print the version and exit\n"
           "  --help, -h  print this help and exit\n";
    const QStringList folders = manualFolders();
    const QString manual = findManual(folders);
    if (!manual.isEmpty())
        out << "manual: " << manual.toStdString() << "\n";
    else
        out << "manual: " << kManualFileName << " not found in "
            << folders.join(QStringLiteral(", ")).toStdString() << "\n";
}

} // namespace

std::optional<int> answerInfoOption(const std::vector<std::string>& args, std::ostream& out)
{
    for (const std::string& arg : args) {
        if (arg == "--version") {
            out << "lumidot " << kVersion << "\n";
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            printHelp(out);
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace lumidot
