// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "dialogs/ConfigDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

namespace lumidot::testing {
namespace {

using ConfigDialogTest = MainFormTest;

TEST_F(ConfigDialogTest, FirstStartShowsTheDefaults)
{
    startQuietly();
    TFConfig& dialog = *form->FConfig;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("各種設定"));
    ASSERT_EQ(dialog.MIDI_Out->count(), 3);
    EXPECT_EQ(dialog.MIDI_Out->itemText(0), "MIDI Mapper");
    EXPECT_EQ(dialog.MIDI_Out->itemText(2), "Synth B");
    EXPECT_EQ(dialog.MIDI_Out->currentIndex(), 0);
    EXPECT_EQ(dialog.X_Min->value(), -128);
    EXPECT_EQ(dialog.X_Max->value(), 128);
    EXPECT_EQ(dialog.Y_Min->value(), -64);
    EXPECT_EQ(dialog.Y_Max->value(), 64);
    EXPECT_EQ(dialog.tick->value(), 8);
    EXPECT_TRUE(dialog.R_Normal->isChecked());
    EXPECT_EQ(dialog.X_Min->singleStep(), 1);
    EXPECT_EQ(dialog.deviceCount(), 2);
}

TEST_F(ConfigDialogTest, WithoutDevicesTheListHoldsTheMapperAlone)
{
    midi.deviceNames.clear();
    startQuietly();
    EXPECT_EQ(form->FConfig->MIDI_Out->count(), 1);
}

TEST_F(ConfigDialogTest, StoredFrameModeSelectsItWithWindowIncrements)
{
    store.put("XSc", {32, 0});
    store.put("YSc", {16, 0});
    startQuietly();
    TFConfig& dialog = *form->FConfig;
    EXPECT_TRUE(dialog.R_Koma->isChecked());
    EXPECT_EQ(dialog.X_Min->singleStep(), 32);
    EXPECT_EQ(dialog.Y_Max->singleStep(), 16);
}

TEST_F(ConfigDialogTest, ABoundThatForcesThePositionMovesTheWindow)
{
    startQuietly();
    form->XSc->setValue(100);
    form->AutoRec->setChecked(true);
    midi.sent.clear();
    form->FConfig->X_Max->setValue(40);
    EXPECT_EQ(form->XSc->maximum(), 40);
    EXPECT_EQ(form->ScrollX(), 40);
    EXPECT_EQ(form->XReal->text(), "40");
    EXPECT_EQ(events(), bytes({0xF5}));
    EXPECT_EQ(midi.sent.size(), 2u) << "the recorded frame and the window move's frame";

    form->FConfig->Y_Min->setValue(-10);
    EXPECT_EQ(form->YSc->minimum(), -10);
    EXPECT_EQ(form->ScrollY(), 0) << "a bound that leaves the position alone moves nothing";
    EXPECT_EQ(midi.sent.size(), 2u);
}

TEST_F(ConfigDialogTest, CaptionLabelsPutTheirBoundBackAndFrameModeStepsFromThere)
{
    startQuietly();
    TFConfig& dialog = *form->FConfig;
    dialog.X_Min->setValue(-500);
    dialog.R_Koma->setChecked(true);
    EXPECT_EQ(form->XSc->singleStep(), 32);
    EXPECT_EQ(form->YSc->singleStep(), 16);
    QTest::mouseClick(dialog.Label1, Qt::LeftButton);
    EXPECT_EQ(dialog.X_Min->value(), -128);
    EXPECT_EQ(form->XSc->minimum(), -128);
    dialog.X_Min->stepDown();
    EXPECT_EQ(form->XSc->minimum(), -160);
    for (int i = 0; i < 20; ++i)
        dialog.X_Min->stepDown();
    EXPECT_EQ(form->XSc->minimum(), -512);
    for (int i = 0; i < 30; ++i)
        dialog.X_Min->stepUp();
    EXPECT_EQ(form->XSc->minimum(), 0);

    QTest::mouseClick(dialog.Label4, Qt::LeftButton);
    EXPECT_EQ(form->YSc->maximum(), 64);
    dialog.R_Normal->setChecked(true);
    EXPECT_EQ(form->XSc->singleStep(), 1);
    EXPECT_EQ(dialog.Y_Max->singleStep(), 1);
}

TEST_F(ConfigDialogTest, ChangesAreStoredWhenTheDialogCloses)
{
    startQuietly();
    duringModal = [this](QDialog&) {
        TFConfig& dialog = *form->FConfig;
        dialog.tick->setValue(96);
        dialog.X_Max->setValue(300);
        dialog.Y_Min->setValue(-200);
        dialog.R_Koma->setChecked(true);
    };
    EXPECT_TRUE(store.writes.empty()) << "nothing is stored before the dialog closes";
    form->MIDIPortM1->trigger();
    EXPECT_EQ(form->settings().stepTick, 96);
    EXPECT_EQ(store.bytes("DT"), bytes({96, 0}));
    EXPECT_EQ(store.bytes("XH"), bytes({0x2C, 0x01}));
    EXPECT_EQ(store.bytes("XL"), bytes({0x80, 0xFF}));
    EXPECT_EQ(store.bytes("YL"), bytes({0x38, 0xFF}));
    EXPECT_EQ(store.bytes("XSc"), bytes({32, 0}));
    EXPECT_EQ(store.bytes("YSc"), bytes({16, 0}));
}

TEST(ConfigDialogRanges, StoredLimitsAreBroughtIntoTheDialogRanges)
{
    EXPECT_EQ(limitsInDialogRanges({-9000, 9000, 5, 2}), (ScrollLimits{-512, 512, 0, 16}));
    EXPECT_EQ(limitsInDialogRanges({}), ScrollLimits{});
}

} // namespace
} // namespace lumidot::testing
