// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/Icons.h"
#include "app/MainForm.h"
#include "app/QtDesktop.h"
#include "app/QtPrompts.h"
#include "app/QtTranslation.h"
#include "app/Recovery.h"
#include "document/RecoveryJournal.h"
#include "document/TerminationSignals.h"
#include "document/Workspace.h"
#include "midi/backends/SystemMidiOutput.h"
#include "platform/LanguageSetting.h"
#include "platform/QSettingsStore.h"

#include <QApplication>
#include <QLocale>
#include <QScreen>

#include <atomic>
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

// The journal the termination signals put on the disk before the program ends.
std::atomic<lumidot::RecoveryJournal*> journalToSync{nullptr};

} // namespace

int main(int argc, char** argv)
{
    const lumidot::CommandLineRequest request =
        lumidot::readCommandLine(argumentsOf(argc, argv), std::cout, std::cerr);
    if (request.exitCode)
        return *request.exitCode;
    // Before Qt starts any thread, so that the signals reach only the watcher.
    lumidot::blockTerminationSignals();
    lumidot::watchTerminationSignals([] {
        if (lumidot::RecoveryJournal* journal = journalToSync.load())
            journal->sync();
    });

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

    const std::string folder = lumidot::journalFolder();
    std::optional<lumidot::OrphanJournal> restored = lumidot::Recovery::offer(form, prompts, folder);
    std::string error;
    std::unique_ptr<lumidot::RecoveryJournal> journal =
        lumidot::RecoveryJournal::start(folder, workspace, error);
    if (!journal)
        std::cerr << "lumidot: no recovery journal: " << error << "\n";
    else if (restored)
        restored->remove();
    journalToSync = journal.get();
    if (!request.file.isEmpty()) {
        // Once the window is up and the work of a killed session is back
        // or declined, so that a refusal is shown over the window.
        QMetaObject::invokeMethod(
            &form, [&form, &request] { form.openFile(request.file); }, Qt::QueuedConnection);
    }

    const int code = app.exec();
    journalToSync = nullptr;
    if (journal)
        journal->discard();
    return code;
}
