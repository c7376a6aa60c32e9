// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace lumidot {

inline constexpr const char* kManualFileName = "lumidot.html";

// The folder of the running program, found without a QCoreApplication so
// that the command-line options can use it before any window exists.
QString programFolder();

// The folders where the manual is looked for, in order: the current folder,
// the program's folder (a build tree), and the installed data folder taken
// relative to the program's folder, so that a relocated install finds its own.
QStringList manualFolders();

// The first existing manual in the folders, or an empty string.
QString findManual(const QStringList& folders);

} // namespace lumidot
