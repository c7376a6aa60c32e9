// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LanguageSetting.h"

#include <QStringList>

class QCoreApplication;
class QLocale;

namespace lumidot {

// Installs Qt's own Japanese texts (qtbase_ja: the standard buttons, the file
// dialogs, the line-edit menu) from Qt's translations folder. False when the
// translation is not installed (Debian qt6-translations-l10n); Qt then speaks
// English and the program runs on.
bool loadQtTranslation(QCoreApplication& app);

// The two languages the interface speaks.
enum class Language { Japanese, English };

// The language for the stored choice: the system's is Japanese for a
// Japanese locale and English for any other.
Language interfaceLanguage(UiLanguage choice, const QLocale& system);

// Where lumidot_en.qm is looked for, in order: beside the program (a build
// tree), then the installed data folder taken relative to the program, so
// that a relocated install finds its own.
QStringList translationFolders();

// Makes the interface, the core's texts included, speak the language:
// Japanese needs only Qt's own texts (the program's source texts are
// Japanese); English needs the program's translation, found in the first of
// the folders that has it (Qt's source texts are English). False when a
// translation is missing: those texts then stay in their source language and
// the program runs on.
bool installTranslations(QCoreApplication& app, Language language, const QStringList& folders);

} // namespace lumidot
