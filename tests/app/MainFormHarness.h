// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/MainForm.h"
#include "support/FakeMidiOutput.h"
#include "support/FakePrompts.h"
#include "support/MemorySettingsStore.h"
#include "support/TestClocks.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace lumidot::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytes(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

// F0 42 30 42, the body, F7.
inline Bytes sysex(std::initializer_list<int> body)
{
    Bytes out = bytes({0xF0, 0x42, 0x30, 0x42});
    for (int v : body)
        out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(0xF7);
    return out;
}

// The Show Message command of two lines, as sent.
inline Bytes messageSysex(const std::string& line1, const std::string& line2)
{
    Bytes out = bytes({0xF0, 0x42, 0x30, 0x42, 0x12, 0x08, 0x00, 0x00});
    std::string padded = line1;
    padded.resize(16, ' ');
    out.insert(out.end(), padded.begin(), padded.end());
    out.insert(out.end(), line2.begin(), line2.end());
    out.push_back(0xF7);
    return out;
}

// The main window on fakes: a MIDI output with two devices, an empty store,
// scripted prompts. Modal windows are never run; duringModal stands for
// what the user does while one is open.
class MainFormTest : public ::testing::Test {
protected:
    FakeMidiOutput midi;
    MemorySettingsStore store;
    FakePrompts prompts;
    FakeDesktop desktop;
    // The cable is always free again by the next message: every live
    // message goes out as it is sent, for the tests of what is sent.
    LeapingClock clock;
    std::unique_ptr<Workspace> workspace;
    std::unique_ptr<TMainForm> form;
    std::vector<QDialog*> modalShown;
    std::function<void(QDialog&)> duringModal;

    MainFormTest() { midi.deviceNames = {"Synth A", "Synth B"}; }

    void start()
    {
        form.reset();
        workspace = std::make_unique<Workspace>(midi, clock);
        form = std::make_unique<TMainForm>(*workspace, store, prompts, desktop);
        form->runModal = [this](QDialog& dialog) {
            modalShown.push_back(&dialog);
            if (duringModal)
                duringModal(dialog);
            return int(QDialog::Rejected);
        };
        form->createSecondaryWindows();
    }

    // Starts and forgets the start-up traffic and prompts.
    void startQuietly()
    {
        start();
        midi.sent.clear();
        midi.calls.clear();
        prompts.shown.clear();
    }

    std::vector<std::uint8_t> events() const
    {
        const auto stream = form->Workspace.document().recording.eventStream();
        return {stream.begin(), stream.end()};
    }
};

} // namespace lumidot::testing
