// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/Icons.h"
#include "app/MainForm.h"
#include "app/QtDesktop.h"
#include "app/QtPrompts.h"
#include "app/QtTranslation.h"
#include "document/Workspace.h"
#include "midi/backends/SystemMidiOutput.h"
#include "platform/LanguageSetting.h"
#include "platform/QSettingsStore.h"

#include <QApplication>
#include <QLocale>
#include <QScreen>

#include <iostream>

namespace {

void centreOnScreen(QWidget& window)
{
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
}

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char** argv)
{
    const lumidot::CommandLineRequest request =
        lumidot::readCommandLine(argumentsOf(argc, argv), std::cout, std::cerr);
    if (request.exitCode)
        return *request.exitCode;

    // Qt reads its own options (-platform, -style, ...) from the same arguments.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumidot"));
    QApplication::setDesktopFileName(QStringLiteral("lumidot"));
    QApplication::setWindowIcon(lumidot::programIcon());

    lumidot::SystemMidiOutput output;
    lumidot::Workspace workspace(output);
    lumidot::QSettingsStore store;
    lumidot::QtPrompts prompts;
    lumidot::QtDesktop desktop;
    // Before the first window: each window takes its texts when it is made.
    lumidot::installTranslations(
        app, lumidot::interfaceLanguage(lumidot::loadUiLanguage(store), QLocale::system()),
        lumidot::translationFolders());

    lumidot::TMainForm form(workspace, store, prompts, desktop);
    prompts.setOwner(&form);
    form.createSecondaryWindows();
    centreOnScreen(form);
    form.show();
    if (!request.file.isEmpty()) {
        // Once the window is up, so that a refusal is shown over it.
        QMetaObject::invokeMethod(
            &form, [&form, &request] { form.openRecordingFile(request.file); }, Qt::QueuedConnection);
    }
    return app.exec();
}
