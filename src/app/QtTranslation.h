// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

namespace lumidot {

// Installs Qt's own Japanese texts (qtbase_ja: the standard buttons, the file
// dialogs, the line-edit menu) from Qt's translations folder. False when the
// translation is not installed (Debian qt6-translations-l10n); Qt then speaks
// English and the program runs on.
bool loadQtTranslation(QCoreApplication& app);

} // namespace lumidot
