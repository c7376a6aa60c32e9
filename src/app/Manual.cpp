// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Manual.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace lumidot {

QString programFolder()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2);
}

QStringList manualFolders()
{
    const QString program = programFolder();
    return {QDir::currentPath(), program,
            QDir::cleanPath(program + QLatin1Char('/') + QStringLiteral(LUMIDOT_DATA_FROM_BIN))};
}

QString manualFileName()
{
    //: The file name of the manual's edition in this language.
    return QCoreApplication::translate("Manual", "lumidot.html");
}

QString findManual(const QStringList& folders, const QString& fileName)
{
    for (const QString& name : {fileName, QString::fromLatin1(kManualFileName)}) {
        for (const QString& folder : folders) {
            const QFileInfo file(QDir(folder), name);
            if (file.isFile())
                return file.absoluteFilePath();
        }
    }
    return {};
}

} // namespace lumidot
