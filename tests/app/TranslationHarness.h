// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/QtTranslation.h"

#include <QCoreApplication>
#include <QList>
#include <QTranslator>

namespace lumidot::testing {

// The translators of one language for the length of a test: all widget tests
// share one application, and the next test must find it speaking Japanese
// again. Installs from the built program's folder.
class ScopedTranslations {
public:
    explicit ScopedTranslations(Language language,
                                const QStringList& folders = {QStringLiteral(LUMIDOT_BUILT_TRANSLATIONS)})
        : before_(QCoreApplication::instance()->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly))
    {
        installed = installTranslations(*QCoreApplication::instance(), language, folders);
    }

    ~ScopedTranslations()
    {
        for (QTranslator* translator :
             QCoreApplication::instance()->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly)) {
            if (!before_.contains(translator)) {
                QCoreApplication::removeTranslator(translator);
                delete translator;
            }
        }
    }

    ScopedTranslations(const ScopedTranslations&) = delete;
    ScopedTranslations& operator=(const ScopedTranslations&) = delete;

    bool installed = false;

private:
    QList<QTranslator*> before_;
};

} // namespace lumidot::testing
