// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace lumidot {

// The manual in Japanese; the English edition is lumidot_en.html.
inline constexpr const char* kManualFileName = "lumidot.html";

// The file name of the manual in the language the interface speaks: a text
// of the translation, so that the edition follows the interface.
QString manualFileName();

// The folder of the running program, found without a QCoreApplication so
// that the command-line options can use it before any window exists.
QString programFolder();

// The folders where the manual is looked for, in order: the current folder,
// the program's folder (a build tree), and the installed data folder taken
// relative to the program's folder, so that a relocated install finds its own.
QStringList manualFolders();

// The first existing manual of that name in the folders; when there is none,
// the first Japanese one (an edition is better than none); else an empty string.
QString findManual(const QStringList& folders, const QString& fileName = QString::fromLatin1(kManualFileName));

} // namespace lumidot
