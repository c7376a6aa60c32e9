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
#include "platform/QSettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QScreen>

#include <atomic>
#include <iostream>

namespace {

void centreOnScreen(QWidget& window)
{
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
}

// The journal the termination signals put on the disk before the program ends.
std::atomic<lumidot::RecoveryJournal*> journalToSync{nullptr};

} // namespace

int main(int argc, char** argv)
{
    if (const auto code = lumidot::answerInfoOption({argv + 1, argv + argc}, std::cout))
        return *code;
    // Before Qt starts any thread, so that the signals reach only the watcher.
    lumidot::blockTerminationSignals();
    lumidot::watchTerminationSignals([] {
        if (lumidot::RecoveryJournal* journal = journalToSync.load())
            journal->sync();
    });

    // Qt is given the program's name only: the file to open is read here.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumidot"));
    QApplication::setDesktopFileName(QStringLiteral("lumidot"));
    QApplication::setWindowIcon(lumidot::programIcon());
    lumidot::loadQtTranslation(app);

    lumidot::SystemMidiOutput output;
    lumidot::Workspace workspace(output);
    lumidot::QSettingsStore store;
    lumidot::QtPrompts prompts;
    lumidot::QtDesktop desktop;

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
    if (const auto file = lumidot::fileArgument({argv + 1, argv + argc}))
        form.openFile(QFile::decodeName(file->c_str()));

    const int code = app.exec();
    journalToSync = nullptr;
    if (journal)
        journal->discard();
    return code;
}
