#pragma once

#include <QString>
#include <QStringList>

namespace lumidot {

inline constexpr const char* kManualFileName = "lumidot.html";

// The folders where the manual is looked for, in order: the current folder,
// the program's folder, the installed data folder.
QStringList manualFolders();

// The first existing manual in the folders, or an empty string.
QString findManual(const QStringList& folders);

} // namespace lumidot
