// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtDesktop.h"

#include <QDesktopServices>
#include <QUrl>

namespace lumidot {

void QtDesktop::open(const QString& url)
{
    QDesktopServices::openUrl(QUrl(url));
}

} // namespace lumidot
