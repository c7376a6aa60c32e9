// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "widgets/DotCanvas.h"
#include "widgets/PaintBox.h"
#include "ns5r/Commands.h"
#include "recording/Recording.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

namespace lumidot::testing {
namespace {

const QString kFull = QStringLiteral("これ以上記録できません");

class PagesTest : public MainFormTest {
protected:
    void SetUp() override { startQuietly(); }

    QRgb previewPixelAwayFromDots() const { return form->NSDISP2->canvas().pixel(140, 60); }

    void fillRecordingTo(int steps)
    {
        while (form->Workspace.document().recording.StepCount() < steps)
            form->Workspace.document().recording.appendColour(LcdColour::Green);
    }
};

TEST_F(PagesTest, PageChangesSendTheModeAndSizeTheWindow)
{
    form->PC->setCurrentIndex(TMainForm::EffectPage);
    EXPECT_EQ(midi.sent.back(), sysex({0x00, 0x05}));
    EXPECT_EQ(form->PC->size(), QSize(249, 169));
    EXPECT_EQ(form->size(), QSize(257, 215));

    form->PC->setCurrentIndex(TMainForm::DotPage);
    EXPECT_EQ(midi.sent.back(), sysex({0x00, 0x01}));
    EXPECT_EQ(form->size(), QSize(305, 295));

    form->PC->setCurrentIndex(TMainForm::MessagePage);
    EXPECT_EQ(form->size(), QSize(209, 178));
    form->PC->setCurrentIndex(TMainForm::LcdPage);
    EXPECT_EQ(form->size(), QSize(409, 183));
    EXPECT_EQ(midi.sent.size(), 4u);
}

TEST_F(PagesTest, PageChangeGivesTheEditorAndMessageLinesTheBacklightColour)
{
    form->LcdRed->setChecked(true);
    form->PC->setCurrentIndex(TMainForm::MessagePage);
    EXPECT_EQ(form->LcdText->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(form->LcdText2->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(form->PaintBox1->palette().color(QPalette::Window), QColor(255, 0, 0));
}

TEST_F(PagesTest, ColourChoicesSendRepaintAndRecordWhenContinuous)
{
    form->LcdOrange->setChecked(true);
    EXPECT_EQ(midi.sent, std::vector<Bytes>{sysex({0x7D, 0x01})});
    EXPECT_EQ(previewPixelAwayFromDots(), qRgb(255, 128, 64));
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);

    form->LCD_ck->setChecked(true);
    form->LcdRed->setChecked(true);
    EXPECT_EQ(events(), bytes({0xF2}));
    EXPECT_EQ(midi.sent.back(), sysex({0x7D, 0x02}));

    form->LcdHide->setChecked(true);
    EXPECT_EQ(midi.sent.back(), sysex({0x7D, 0x7F}));
    EXPECT_EQ(previewPixelAwayFromDots(), qRgb(128, 128, 128));
    EXPECT_EQ(events(), bytes({0xF2, 0xF7}));
}

TEST_F(PagesTest, ChoosingTheSelectedColourAgainDoesNothing)
{
    form->LCD_ck->setChecked(true);
    QTest::mouseClick(form->LcdGreen, Qt::LeftButton);
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
}

TEST_F(PagesTest, ColourRecordButtonRecordsWithoutSending)
{
    form->LcdHide->setChecked(true);
    midi.sent.clear();
    form->SpeedButton2->click();
    EXPECT_EQ(events(), bytes({0xF7}));
    EXPECT_TRUE(midi.sent.empty());
}

TEST_F(PagesTest, TypingSendsEveryKeystrokeAndRecordsWhenContinuous)
{
    QTest::keyClicks(form->LcdText, "abc");
    EXPECT_EQ(midi.sent, (std::vector<Bytes>{messageSysex("a", ""), messageSysex("ab", ""),
                                             messageSysex("abc", "")}));
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);

    form->RecMoji->setChecked(true);
    QTest::keyClicks(form->LcdText2, "XY");
    EXPECT_EQ(midi.sent.back(), messageSysex("abc", "XY"));
    EXPECT_EQ(events(), bytes({0xF3, 0xF3}));
    const auto record = form->Workspace.document().recording.messageRecord(1);
    EXPECT_EQ(record[0], 18);
}

TEST_F(PagesTest, EmptyLinesSendNothing)
{
    QTest::keyClicks(form->LcdText, "a");
    midi.sent.clear();
    QTest::keyClick(form->LcdText, Qt::Key_Backspace);
    EXPECT_TRUE(form->LcdText->text().isEmpty());
    EXPECT_TRUE(midi.sent.empty());
}

// Entering line 1 (a click, Tab, Shift+Tab, a shortcut) sends and records
// the message again; the focus that a closing menu or popup or the window's
// return gives back is no entry.
TEST_F(PagesTest, OnlyTheUsersOwnEntryIntoLineOneSendsTheMessageAgain)
{
    form->LcdText2->setText("low");
    form->RecMoji->setChecked(true);
    const struct {
        Qt::FocusReason reason;
        bool sends;
    } cases[] = {
        {Qt::MouseFocusReason, true},          {Qt::TabFocusReason, true},
        {Qt::BacktabFocusReason, true},        {Qt::ShortcutFocusReason, true},
        {Qt::ActiveWindowFocusReason, false},  {Qt::PopupFocusReason, false},
        {Qt::MenuBarFocusReason, false},       {Qt::OtherFocusReason, false},
    };
    for (const auto& c : cases) {
        midi.sent.clear();
        const int steps = form->Workspace.document().recording.StepCount();
        QFocusEvent focusIn(QEvent::FocusIn, c.reason);
        QApplication::sendEvent(form->LcdText, &focusIn);
        EXPECT_EQ(midi.sent, c.sends ? std::vector<Bytes>{messageSysex("", "low")} : std::vector<Bytes>{})
            << "focus reason " << c.reason;
        EXPECT_EQ(form->Workspace.document().recording.StepCount(), steps + (c.sends ? 1 : 0)) << "focus reason " << c.reason;
    }
}

TEST_F(PagesTest, AtTheStepLimitEveryChangeStillSendsAndSaysSo)
{
    fillRecordingTo(kStepLimit);
    QTest::keyClicks(form->LcdText, "ab");
    EXPECT_EQ(midi.sent.size(), 2u);
    EXPECT_EQ(prompts.shown, (QStringList{kFull, kFull}));
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), kStepLimit);

    form->SpeedButton3->click();
    EXPECT_EQ(prompts.shown.size(), 3);
    EXPECT_EQ(midi.sent.size(), 2u) << "the record button sends nothing once full";
}

TEST_F(PagesTest, OneStepBeforeTheLimitTheLastMessageIsRecorded)
{
    fillRecordingTo(kStepLimit - 1);
    form->RecMoji->setChecked(true);
    QTest::keyClicks(form->LcdText, "ab");
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), kStepLimit);
    EXPECT_EQ(form->Workspace.document().recording.MessageCount(), 1);
    EXPECT_EQ(prompts.shown, QStringList{kFull});
}

TEST_F(PagesTest, MessageLinesTakeSixteenPrintableAsciiCharactersOnly)
{
    QTest::keyClicks(form->LcdText, "0123456789ABCDEFGH");
    EXPECT_EQ(form->LcdText->text(), "0123456789ABCDEF");
    form->LcdText2->insert(QStringLiteral("caf\u00e9"));
    EXPECT_TRUE(form->LcdText2->text().isEmpty()) << "pasted text with a non-ASCII character is refused";
    form->LcdText2->insert(QStringLiteral("日本"));
    EXPECT_TRUE(form->LcdText2->text().isEmpty());
    form->LcdText2->insert(QStringLiteral("a\tb"));
    EXPECT_TRUE(form->LcdText2->text().isEmpty());
    form->LcdText2->insert(QStringLiteral("~ok!"));
    EXPECT_EQ(form->LcdText2->text(), "~ok!");
}

TEST_F(PagesTest, MessageRecordButtonSendsAndRecordsNonEmptyLines)
{
    form->SpeedButton3->click();
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_TRUE(prompts.shown.isEmpty());
    form->LcdText->setText("hi");
    midi.sent.clear();
    form->SpeedButton3->click();
    EXPECT_EQ(midi.sent, std::vector<Bytes>{messageSysex("hi", "")});
    EXPECT_EQ(events(), bytes({0xF3}));
}

TEST_F(PagesTest, EffectControlsShowTheNameAndSendTheirParameter)
{
    form->FX2Sel->setValue(21);
    EXPECT_EQ(form->FX2Name->text(), "21:Quadrature Chorus");
    EXPECT_EQ(midi.sent.back(), sysex({0x08, 0x09, 0x00, 0x15, 0x00}));
    form->FXModeSel->setValue(0);
    EXPECT_EQ(form->FXMode->text(), "Serial");
    EXPECT_EQ(midi.sent.back(), sysex({0x08, 0x12, 0x00, 0x00, 0x00}));
    form->FX1Sel->setValue(47);
    EXPECT_EQ(midi.sent.back(), sysex({0x08, 0x08, 0x00, 0x2F, 0x00}));
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
}

TEST_F(PagesTest, EffectBarsTakeTheFocusAndMoveWithTheKeys)
{
    for (QScrollBar* bar : {form->FX1Sel, form->FX2Sel})
        EXPECT_EQ(bar->focusPolicy(), Qt::StrongFocus);
    const struct {
        Qt::Key key;
        int position;
    } keys[] = {{Qt::Key_Right, 21}, {Qt::Key_Left, 20}, {Qt::Key_PageUp, 21}, {Qt::Key_PageDown, 20},
                {Qt::Key_End, 47},   {Qt::Key_Home, 0}};
    for (const auto& k : keys) {
        QTest::keyClick(form->FX2Sel, k.key);
        EXPECT_EQ(form->FX2Sel->value(), k.position) << "key " << k.key;
        EXPECT_EQ(midi.sent.back(), sysex({0x08, 0x09, 0x00, k.position, 0x00})) << "key " << k.key;
    }
    EXPECT_EQ(form->FX2Name->text(), QString::fromLatin1(kEffectNames[0]));
}

TEST_F(PagesTest, EffectRecordButtonRecordsThePositionsWithoutSending)
{
    form->FX1Sel->setValue(5);
    midi.sent.clear();
    form->FXRec->click();
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_EQ(events(), bytes({0xF8}));
    const auto effects = form->Workspace.document().recording.effectStream();
    EXPECT_EQ(Bytes(effects.begin(), effects.end()), bytes({5, 20, 3}));
}

} // namespace
} // namespace lumidot::testing
