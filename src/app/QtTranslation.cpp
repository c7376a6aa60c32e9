// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtTranslation.h"

#include "app/Manual.h"
#include "ns5r/UserText.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace lumidot {

namespace {

bool installFrom(QCoreApplication& app, const QString& name, const QStringList& folders)
{
    auto* translator = new QTranslator(&app);
    for (const QString& folder : folders) {
        if (translator->load(name, folder))
            return QCoreApplication::installTranslator(translator);
    }
    delete translator;
    return false;
}

} // namespace

bool loadQtTranslation(QCoreApplication& app)
{
    return installFrom(app, QStringLiteral("qtbase_ja"),
                       {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
}

Language interfaceLanguage(UiLanguage choice, const QLocale& system)
{
    switch (choice) {
    case UiLanguage::Japanese: return Language::Japanese;
    case UiLanguage::English: return Language::English;
    case UiLanguage::System: break;
    }
    return system.language() == QLocale::Japanese ? Language::Japanese : Language::English;
}

QStringList translationFolders()
{
    const QString program = programFolder();
    return {program, QDir::cleanPath(program + QLatin1Char('/') + QStringLiteral(LUMIDOT_DATA_FROM_BIN)
                                     + QStringLiteral("/translations"))};
}

bool installTranslations(QCoreApplication& app, Language language, const QStringList& folders)
{
    // The core's texts (file refusals, port failures) through the same translators.
    setTextTranslator([](const char* context, const char* source) {
        return QCoreApplication::translate(context, source).toStdString();
    });
    if (language == Language::Japanese)
        return loadQtTranslation(app);
    return installFrom(app, QStringLiteral("lumidot_en"), folders);
}

} // namespace lumidot
