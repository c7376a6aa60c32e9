#include "app/MainForm.h"
#include "app/QtDesktop.h"
#include "app/QtPrompts.h"
#include "midi/backends/SystemMidiOutput.h"
#include "platform/QSettingsStore.h"

#include <QApplication>
#include <QScreen>

namespace {

void centreOnScreen(QWidget& window)
{
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumidot"));

    lumidot::SystemMidiOutput output;
    lumidot::QSettingsStore store;
    lumidot::QtPrompts prompts;
    lumidot::QtDesktop desktop;

    lumidot::TMainForm form(output, store, prompts, desktop);
    prompts.setOwner(&form);
    form.createSecondaryWindows();
    centreOnScreen(form);
    form.show();
    return app.exec();
}
