// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/Icons.h"
#include "app/MainForm.h"
#include "app/QtDesktop.h"
#include "app/QtPrompts.h"
#include "app/QtTranslation.h"
#include "document/Workspace.h"
#include "midi/backends/SystemMidiOutput.h"
#include "platform/QSettingsStore.h"

#include <QApplication>
#include <QScreen>

#include <iostream>

namespace {

void centreOnScreen(QWidget& window)
{
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
}

} // namespace

int main(int argc, char** argv)
{
    if (const auto code = lumidot::answerInfoOption({argv + 1, argv + argc}, std::cout))
        return *code;

    // Qt is given the program's name only: no argument changes what it does.
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
    return app.exec();
}
