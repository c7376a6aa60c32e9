// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "midi/MidiOutput.h"
#include "midi/SysExOut.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace lumidot {

// The link to the module: the open port, the live-send switch ("MIDI送信(&O)")
// and EXC_Out, through which every live message goes.
//
// Port states: open and live; open and muted; open failed at start-up (switch
// off and disabled); open failed after a port change, or the open port lost
// (switch off, enabled, switching on refused); closed.
//
// A port is known by the name the port list showed for it as well as by its
// entry: the numbering moves when other programs' ports come and go, so an
// open looks the name up again and the entry follows it.
class MidiLink : public SysExOut {
public:
    static constexpr std::size_t kMaxBody = 256;
    // Open results of the link itself, besides the port's own.
    static constexpr int kPortNotFound = 100;
    static constexpr int kPortLost = 101;

    using SendResult = lumidot::SendResult;

    // Told once, with the reason, when the open port stops working while
    // sending; live sending is already off then. The window shows the box.
    using LossListener = std::function<void(const std::string& reason)>;

    explicit MidiLink(MidiOutput& output);

    // Wraps a body into F0 42 30 42 .. F7 and hands it to the port while live
    // sending is on. Bodies of 0 or more than 256 bytes are refused. Without an
    // open port (a start-up that stopped before opening it) nothing is sent.
    // A message the port lost closes the port and switches live sending off.
    SendResult EXC_Out(std::span<const std::uint8_t> body) override;

    void setLossListener(LossListener listener) { lossListener_ = std::move(listener); }

    // Start-up: counts the devices; with none, live sending goes off until
    // an open succeeds. Returns the count.
    int countDevicesAtStartup();
    // Start-up: opens the port of list entry midiOutIndex, or the port named
    // portName wherever it is now (an empty name trusts the entry). Failure
    // leaves live sending off and its switch disabled. True when it opened.
    bool openAtStartup(std::uint8_t midiOutIndex, const std::string& portName = {});
    // Port change: closes the port and opens as above. Live sending follows
    // the outcome; its switch is enabled either way.
    bool reopen(std::uint8_t midiOutIndex, const std::string& portName = {});
    // "MIDI送信(&O)": toggles live sending, which stays off without an open port.
    void MIDI_RealClick();
    // Closes the port as the main window closes.
    void closePort();

    bool liveSending() const { return live_; }
    bool liveSwitchEnabled() const { return liveEnabled_; }
    int lastOpenResult() const { return lastOpenResult_; }
    bool portOpen() const { return portOpen_; }
    // The list entry of the port last opened: the one asked for, or where
    // its name was found when the numbering had moved.
    std::uint8_t openedEntry() const { return openedEntry_; }
    // Why the last open failed or the port was lost (UTF-8), or empty.
    const std::string& failureReason() const { return failureReason_; }

    // "Lumidot [MIDI Mapper]" or "Lumidot [<device name>]"; the name the
    // port was chosen by, when it is known.
    std::string caption(std::uint8_t midiOutIndex);

    MidiOutput& output() { return output_; }

    // Hears every complete message EXC_Out builds, sent or not: the display
    // monitor follows what the module is told, or would be told. The
    // observer must not send.
    using Observer = std::function<void(std::span<const std::uint8_t> message)>;
    void setObserver(Observer observer) { observer_ = std::move(observer); }

private:
    int openEntry(std::uint8_t midiOutIndex, const std::string& portName);
    void portLost();

    MidiOutput& output_;
    LossListener lossListener_;
    bool live_ = true;
    bool liveEnabled_ = true;
    bool portOpen_ = false;
    int lastOpenResult_ = -1;
    std::uint8_t openedEntry_ = 0;
    std::string portName_;
    std::string failureReason_;
    std::array<std::uint8_t, kMaxBody + 5> message_{};
    Observer observer_;
};

// The device id that list entry midiOutIndex opens (entry 0 is the mapper).
constexpr int deviceIdForEntry(std::uint8_t midiOutIndex) { return int(midiOutIndex) - 1; }

// No port of the list has the name looked for.
inline constexpr int kNoSuchPort = -2;

// The device id of the port that the list showed as portName at entry
// midiOutIndex: the entry's own while it still has that name, else the first
// port that has it now, else kNoSuchPort. An empty name trusts the entry;
// "MIDI Mapper" is always the mapper.
int findPort(MidiOutput& output, std::uint8_t midiOutIndex, const std::string& portName);

// The port change's choice of the new entry: the selected list entry as an
// unsigned byte (no selection, -1, gives 255); an entry past the device count
// keeps the previous one.
std::uint8_t chooseMidiOutIndex(int selectedEntry, std::uint8_t previous, int deviceCount);

} // namespace lumidot
