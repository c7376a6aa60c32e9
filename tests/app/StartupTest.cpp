// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "dialogs/InformationWindow.h"

#include <QAction>
#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>

namespace lumidot::testing {
namespace {

const QString kPortUnusable = QStringLiteral("指定されたMIDIデバイスは使用できません");

using StartupTest = MainFormTest;

TEST_F(StartupTest, FirstStartGreetsTheModuleThroughTheMapper)
{
    start();
    EXPECT_EQ(midi.calls, (std::vector<std::string>{"count", "open", "send", "send", "send",
                                                    "count", "name", "name"}))
        << "the main window greets; the settings dialog then lists the two devices";
    EXPECT_EQ(midi.openedIds, std::vector<int>{-1});
    ASSERT_EQ(midi.sent.size(), 3u);
    EXPECT_EQ(midi.sent[0], sysex({0x7D, 0x00}));
    EXPECT_EQ(midi.sent[1], sysex({0x00, 0x01}));
    EXPECT_EQ(midi.sent[2], messageSysex("   Welcome to   ", "Lumidot Gallery!"));
    EXPECT_EQ(form->windowTitle(), "Lumidot [MIDI Mapper]");
    EXPECT_TRUE(form->MIDI_real->isChecked());
    EXPECT_TRUE(form->MIDI_real->isEnabled());
    EXPECT_TRUE(form->MIDIPortM1->isEnabled());
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
}

TEST_F(StartupTest, StartsOnTheLcdPageWithDesignStateAndDefaults)
{
    start();
    EXPECT_EQ(form->PC->currentIndex(), TMainForm::LcdPage);
    EXPECT_EQ(form->PC->size(), QSize(401, 137));
    EXPECT_EQ(form->size(), QSize(409, 183));
    EXPECT_EQ(form->editor().cellSize(), 8);
    EXPECT_EQ(form->FX1Name->text(), "01:Hall");
    EXPECT_EQ(form->FX2Name->text(), "20:Stereo Chorus 2");
    EXPECT_EQ(form->FXMode->text(), "Parallel-3");
    EXPECT_EQ(form->XSc->minimum(), -128);
    EXPECT_EQ(form->XSc->maximum(), 128);
    EXPECT_EQ(form->YSc->minimum(), -64);
    EXPECT_EQ(form->YSc->maximum(), 64);
    EXPECT_EQ(form->XSc->singleStep(), 1);
    EXPECT_EQ(form->settings().stepTick, 8);
    EXPECT_EQ(form->minimumSize(), form->size()) << "it opens at its smallest";
    EXPECT_GT(form->maximumWidth(), 2000) << "and may grow";
}

TEST_F(StartupTest, StoredSettingsChooseTheDeviceRangesAndFrameMode)
{
    store.put("MIDI_OUT", {2});
    store.put("XH", {0x00, 0x02});   // 512
    store.put("XL", {0x00, 0x00});   // 0: sign-extended, not merged into -128
    store.put("YH", {0x10, 0x00});   // 16
    store.put("YL", {0x00, 0xFF});   // -256
    store.put("XSc", {32, 0});
    store.put("YSc", {16, 0});
    start();
    EXPECT_EQ(midi.openedIds, std::vector<int>{1});
    EXPECT_EQ(form->windowTitle(), "Lumidot [Synth B]");
    EXPECT_EQ(form->XSc->maximum(), 512);
    EXPECT_EQ(form->XSc->minimum(), 0);
    EXPECT_EQ(form->YSc->maximum(), 16);
    EXPECT_EQ(form->YSc->minimum(), -256);
    EXPECT_EQ(form->XSc->singleStep(), 32);
    EXPECT_EQ(form->YSc->singleStep(), 16);
}

// The settings command stays: it is the way to reach a sound system that
// comes up later.
TEST_F(StartupTest, NoDeviceAndAFailedOpenSendNothingAndSayWhy)
{
    midi.deviceNames.clear();
    midi.failOpenResult = 1;
    midi.reason = "no MIDI system";
    start();
    EXPECT_EQ(prompts.shown, QStringList{kPortUnusable});
    EXPECT_EQ(prompts.details, QStringList{"no MIDI system"});
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_FALSE(form->MIDI_real->isChecked());
    EXPECT_FALSE(form->MIDI_real->isEnabled());
    EXPECT_TRUE(form->MIDIPortM1->isEnabled());
    EXPECT_EQ(form->windowTitle(), "Lumidot [MIDI Mapper]");
}

TEST_F(StartupTest, FailedOpenWithDevicesLeavesTheSettingsCommandAvailable)
{
    midi.failOpenResult = 4;
    start();
    EXPECT_EQ(prompts.shown, QStringList{kPortUnusable});
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_FALSE(form->MIDI_real->isEnabled());
    EXPECT_TRUE(form->MIDIPortM1->isEnabled());
    form->MIDI_real->trigger();
    EXPECT_FALSE(form->MIDI_real->isChecked());
}

// The steps read before a refused value take effect; a damaged store is
// named once, and the start-up goes on with the defaults.
TEST_F(StartupTest, StepsReadBeforeARefusedValueAndADamagedStoreAreKept)
{
    store.put("XSc", {5, 0});
    store.putWrongType("YSc");
    start();
    EXPECT_EQ(prompts.shown, QStringList{QStringLiteral("'YSc' のデータ型が不正です")});
    EXPECT_EQ(form->XSc->singleStep(), 32);
    EXPECT_EQ(form->YSc->singleStep(), 1);

    MemorySettingsStore damaged;
    damaged.damaged = "/home/u/.config/HARUNOKI/NS5R.conf";
    prompts.shown.clear();
    TMainForm again(midi, damaged, prompts, desktop);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].contains("/home/u/.config/HARUNOKI/NS5R.conf"));
    EXPECT_EQ(again.windowTitle(), "Lumidot [MIDI Mapper]");
}

TEST_F(StartupTest, WrongTypedStoredValueEndsTheCreationBeforeThePort)
{
    store.put("MIDI_OUT", {1});
    store.put("XH", {0x00, 0x01});
    store.putWrongType("XL");
    start();
    EXPECT_EQ(prompts.shown, QStringList{QStringLiteral("'XL' のデータ型が不正です")});
    EXPECT_TRUE(midi.openedIds.empty());
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_EQ(form->windowTitle(), "Lumidot");
    EXPECT_EQ(form->XSc->minimum(), -128);
    EXPECT_EQ(form->XSc->maximum(), 128);
    EXPECT_EQ(form->YSc->minimum(), -64);
    EXPECT_EQ(form->YSc->maximum(), 64);
    // The window still works: a later send without a port reaches nothing.
    form->LcdOrange->setChecked(true);
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_EQ(form->LcdColour(), QColor(255, 128, 64));
}

TEST_F(StartupTest, SideWindowsAreCreatedAfterTheMainWindowAndHidden)
{
    start();
    ASSERT_NE(form->verinfo, nullptr);
    ASSERT_NE(form->FConfig, nullptr);
    ASSERT_NE(form->Information, nullptr);
    EXPECT_FALSE(form->Information->isVisible());
    form->show();
    form->N4->trigger();
    EXPECT_TRUE(form->Information->isVisible());
    EXPECT_FALSE(form->Information->isModal());
}

} // namespace
} // namespace lumidot::testing
