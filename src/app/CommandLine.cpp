// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include "app/Manual.h"
#include "Version.h"

namespace lumidot {

namespace {

void printHelp(std::ostream& out)
{
    out << "usage: lumidot [--version | --help | FILE]\n"
           "Lumidot " << kVersion << ": editor for the display and the effects of the KORG NS5R,\n"
           "driven by MIDI System Exclusive. Without an option it opens its window, and\n"
           "in it FILE (.lumidot, .syx, .mid, .prt or .exc) when one is given.\n"
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

std::optional<std::string> fileArgument(const std::vector<std::string>& args)
{
    for (const std::string& arg : args)
        if (!arg.empty() && arg[0] != '-')
            return arg;
    return std::nullopt;
}

} // namespace lumidot
