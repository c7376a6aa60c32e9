// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "dialogs/AboutBox.h"
#include "dialogs/ConfigDialog.h"
#include "dialogs/InformationWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>

namespace lumidot::testing {
namespace {

// Writes a picture of every page and side window to <build>/tests/app/screenshots
// for a look by eye; the test checks only that each picture was written.
class ScreenshotTest : public MainFormTest {
protected:
    QDir folder{QCoreApplication::applicationDirPath() + "/screenshots"};

    void SetUp() override
    {
        folder.mkpath(".");
        startQuietly();
        form->show();
    }

    void save(QWidget& widget, const QString& name)
    {
        widget.show();
        const QPixmap picture = widget.grab();
        EXPECT_FALSE(picture.isNull());
        EXPECT_TRUE(picture.save(folder.filePath(name + ".png")));
    }
};

TEST_F(ScreenshotTest, EveryPage)
{
    form->LcdText->setText("Hello NS5R!");
    form->LcdText2->setText("Lumidot 1.13");
    form->Workspace.document().plane.setDot(1, 1, 1);
    form->Workspace.document().plane.setDot(2, 2, 1);
    form->Workspace.document().plane.setDot(30, 14, 1);
    const char* names[] = {"page-lcd", "page-message", "page-dot", "page-effect"};
    for (int page = 0; page < 4; ++page) {
        form->PC->setCurrentIndex(page);
        save(*form, names[page]);
    }
}

TEST_F(ScreenshotTest, SideWindows)
{
    save(*form->verinfo, "about");
    save(*form->FConfig, "settings");
    save(*form->Information, "information");
}

} // namespace
} // namespace lumidot::testing
