#include "app/Manual.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace lumidot {

QStringList manualFolders()
{
    return {QDir::currentPath(), QCoreApplication::applicationDirPath(),
            QStringLiteral(LUMIDOT_DATA_DIR)};
}

QString findManual(const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder), kManualFileName);
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}

} // namespace lumidot
