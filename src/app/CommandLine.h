// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

namespace lumidot {

// What the command line asks for: `lumidot [options] [FILE]`.
struct CommandLineRequest {
    // Set when the program is to end at once with this code: --version and
    // --help have printed their answer, a wrong command line its error.
    std::optional<int> exitCode;
    // The recording to open once the window is up; empty for none.
    QString file;
};

// Reads the arguments (the program's name first) without a QCoreApplication,
// so that --version and --help answer before any window or display exists.
// Qt's own options (-platform, -style, ...) are known, listed by --help and
// left for QApplication, which reads them from the same arguments.
CommandLineRequest readCommandLine(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace lumidot
