// SPDX-License-Identifier: GPL-3.0-or-later
// The window when its port stops working, and ports known by their names
// while the numbering moves.
#include "MainFormHarness.h"

#include "dialogs/ConfigDialog.h"
#include "dialogs/InformationWindow.h"

#include <QApplication>
#include <QComboBox>

namespace lumidot::testing {
namespace {

const QString kPortUnusable = QStringLiteral("指定されたMIDIデバイスは使用できません");

class PortLossTest : public MainFormTest {
protected:
    // The settings dialog, closed with the entry that shows name.
    void portChangeTo(const QString& name, const std::function<void()>& meanwhile = {})
    {
        duringModal = [this, name, meanwhile](QDialog&) {
            form->FConfig->MIDI_Out->setCurrentIndex(form->FConfig->entryNamed(name));
            if (meanwhile)
                meanwhile();
        };
        form->MIDIPortM1->trigger();
        duringModal = {};
    }
};

TEST_F(PortLossTest, ALostPortIsToldOnceAfterTheHandlerAndRecordingGoesOn)
{
    startQuietly();
    midi.losing = true;
    midi.reason = "JACKサーバーが停止しました。";
    form->XSc->setValue(5);
    form->XSc->setValue(6);
    EXPECT_TRUE(prompts.shown.isEmpty()) << "the box waits until the handler is done";
    EXPECT_FALSE(form->MIDI_real->isChecked()) << "but sending is off at once";
    EXPECT_EQ(std::count(midi.calls.begin(), midi.calls.end(), "send"), 1) << "nothing more is tried";

    QApplication::processEvents();
    EXPECT_EQ(prompts.shown, QStringList{kPortUnusable});
    EXPECT_EQ(prompts.details, QStringList{QStringLiteral("JACKサーバーが停止しました。")});
    EXPECT_TRUE(form->MIDI_real->isEnabled());
    form->MIDI_real->trigger();
    EXPECT_FALSE(form->MIDI_real->isChecked()) << "as after a failed port change";

    form->SpeedButton1->click();
    form->LcdText->setText("x");
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 1);
    QApplication::processEvents();
    EXPECT_EQ(prompts.shown.size(), 1);

    // The port works again: a port change brings sending back.
    midi.losing = false;
    midi.sent.clear();
    form->MIDIPortM1->trigger();
    EXPECT_TRUE(form->MIDI_real->isChecked());
    EXPECT_EQ(midi.sent.size(), 2u) << "colour and banner";
}

TEST_F(PortLossTest, AStoredNameWinsOverAStaleEntry)
{
    store.put("MIDI_OUT", {1});
    store.put("MIDI_OUT_NAME", {'S', 'y', 'n', 't', 'h', ' ', 'B'});
    start();
    EXPECT_EQ(midi.openedIds, std::vector<int>{1});
    EXPECT_EQ(form->settings().midiOutIndex, 2);
    EXPECT_EQ(form->windowTitle(), "Lumidot [Synth B]");
    EXPECT_EQ(form->FConfig->MIDI_Out->currentText(), "Synth B");
    EXPECT_EQ(form->Information->DEVNAME->text(), "Synth B");
}

TEST_F(PortLossTest, AStoredNameThatNoPortHasFailsTheOpenAndSaysSo)
{
    store.put("MIDI_OUT", {1});
    store.put("MIDI_OUT_NAME", {'G', 'o', 'n', 'e'});
    start();
    EXPECT_TRUE(midi.openedIds.empty()) << "Synth A at entry 1 is not the port chosen";
    EXPECT_EQ(prompts.shown, QStringList{kPortUnusable});
    EXPECT_TRUE(prompts.details[0].contains("Gone"));
    EXPECT_FALSE(form->MIDI_real->isChecked());
    EXPECT_EQ(form->windowTitle(), "Lumidot [Gone]");
    EXPECT_EQ(form->FConfig->MIDI_Out->currentIndex(), -1) << "no other port is offered in its place";
}

TEST_F(PortLossTest, APortChangeFollowsTheNameWhenTheNumberingMoves)
{
    startQuietly();
    midi.deviceNames = {"Synth A", "Synth B", "Late C"};
    portChangeTo("Synth B", [this] { midi.deviceNames = {"Synth B", "Late C"}; });
    EXPECT_EQ(midi.openedIds.back(), 0);
    EXPECT_EQ(form->settings().midiOutIndex, 1);
    EXPECT_EQ(form->settings().midiOutName, "Synth B");
    EXPECT_EQ(form->windowTitle(), "Lumidot [Synth B]");
    EXPECT_TRUE(form->MIDI_real->isChecked());
    EXPECT_TRUE(prompts.shown.isEmpty());

    // The list is read again at each showing: gone ports leave it, new ones
    // join it, "MIDI Mapper" stays first.
    midi.deviceNames = {"New D", "Synth B"};
    portChangeTo("New D");
    EXPECT_EQ(form->FConfig->portName(0), "MIDI Mapper");
    EXPECT_EQ(form->FConfig->entryNamed("Late C"), -1);
    EXPECT_EQ(midi.openedIds.back(), 0);

    // The chosen port goes while the dialog is open: the open fails.
    const std::size_t opens = midi.openedIds.size();
    portChangeTo("Synth B", [this] { midi.deviceNames = {"New D"}; });
    EXPECT_EQ(midi.openedIds.size(), opens);
    EXPECT_EQ(prompts.shown, QStringList{kPortUnusable});
    EXPECT_FALSE(form->MIDI_real->isChecked());
    EXPECT_TRUE(form->MIDI_real->isEnabled());
}

} // namespace
} // namespace lumidot::testing
