// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "app/CableTexts.h"
#include "app/Manual.h"
#include "app/QtPrompts.h"
#include "dialogs/AboutBox.h"
#include "dialogs/InformationWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

namespace lumidot::testing {
namespace {

class InformationTest : public MainFormTest {
protected:
    void SetUp() override { startQuietly(); }
    TInformation& info() { return *form->Information; }
};

TEST_F(InformationTest, ShowsRemainingStepsAndTheDevice)
{
    EXPECT_EQ(info().windowTitle(), QStringLiteral("情報表示"));
    EXPECT_EQ(info().STEP->text(), "9999");
    EXPECT_EQ(info().REST_CNT->maximum(), 9999);
    EXPECT_EQ(info().REST_CNT->value(), 9999);
    EXPECT_EQ(info().DEVNAME->text(), "MIDI Mapper");

    form->FXRec->click();
    EXPECT_EQ(info().STEP->text(), "9998");
    EXPECT_EQ(info().REST_CNT->value(), 9998);
}

// Both warnings fit the room the window keeps for them, whole.
TEST_F(InformationTest, TheCableWarningIsNeverCutOff)
{
    for (const int smallest : {0, 127}) {
        CableCheck check;
        check.outruns = true;
        check.smallestStepTick = smallest;
        info().showTiming(QStringLiteral("0:00.000"), cableWarningText(check));
        info().show();
        QApplication::processEvents();
        QLabel& cable = *info().CABLE;
        EXPECT_LE(cable.heightForWidth(cable.width()), cable.height()) << smallest;
    }
}

TEST_F(InformationTest, BeyondTheLimitTheCountGoesNegativeAndTheBarEmpty)
{
    while (form->Workspace.document().recording.StepCount() < 10000)
        form->Workspace.document().recording.appendEffect({});
    EXPECT_EQ(info().STEP->text(), "-1");
    EXPECT_EQ(info().REST_CNT->value(), 0);
}

TEST_F(InformationTest, ADeviceThatIsGoneIsNamedAsMissing)
{
    form->settings().midiOutIndex = 7;
    form->InfoMake();
    EXPECT_EQ(info().DEVNAME->text(), QStringLiteral("デバイス 7 は見つかりません"));
}

TEST_F(InformationTest, AboutBoxLinksTurnRedWhileHeldAndOpenOnRelease)
{
    Tverinfo& about = *form->verinfo;
    about.show();
    QTest::mousePress(about.Label5, Qt::LeftButton);
    EXPECT_TRUE(about.Label5->styleSheet().contains("red"));
    QTest::mouseRelease(about.Label5, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_TRUE(about.Label5->styleSheet().contains("blue"));
    EXPECT_TRUE(desktop.opened.isEmpty()) << "released outside the link";

    QTest::mouseClick(about.Label5, Qt::LeftButton);
    QTest::mouseClick(about.Label2, Qt::LeftButton);
    EXPECT_EQ(desktop.opened,
              (QStringList{QStringLiteral("Mailto:lumidot@example.org?subject=Lumidotについて&cc=&bcc="),
                           QStringLiteral("https://lumidot.example.org/")}));
    EXPECT_EQ(about.Label2->toolTip(), QStringLiteral("ホームページへジャンプ！"));
    EXPECT_EQ(about.Label5->toolTip(), QStringLiteral("感想よろしくね！"));
}

TEST(Manual, IsFoundInTheFirstFolderThatHasIt)
{
    QTemporaryDir first;
    QTemporaryDir second;
    EXPECT_TRUE(findManual({first.path(), second.path()}).isEmpty());
    QFile file(QDir(second.path()).filePath(kManualFileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(findManual({first.path(), second.path()}), file.fileName());
}

TEST(Manual, LiesBesideTheBuiltProgram)
{
    EXPECT_TRUE(QFile::exists(QStringLiteral(LUMIDOT_BUILT_MANUAL)));
}

TEST(SaveDialogFilter, BecomesQtNameFiltersInOrder)
{
    EXPECT_EQ(qtNameFilters("System Exclusive(*.SYX)|*.syx|Standard MIDI(*.MID)|*.mid"),
              (QStringList{"System Exclusive(*.SYX) (*.syx)", "Standard MIDI(*.MID) (*.mid)"}));
}

} // namespace
} // namespace lumidot::testing
