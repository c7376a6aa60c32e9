#pragma once

#include "midi/MidiOutput.h"

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
// off and disabled); open failed after a port change (switch off, enabled,
// switching on refused); closed.
class MidiLink {
public:
    static constexpr std::size_t kMaxBody = 256;

    enum class SendResult { Sent, Muted, NoPort, Refused };

    explicit MidiLink(MidiOutput& output);

    // Wraps a body into F0 42 30 42 .. F7 and hands it to the port while live
    // sending is on. Bodies of 0 or more than 256 bytes are refused. Without an
    // open port (a start-up that stopped before opening it) nothing is sent.
    SendResult EXC_Out(std::span<const std::uint8_t> body);

    // Start-up: counts the devices; with none, live sending goes off and the
    // settings command is disabled. Returns the count.
    int countDevicesAtStartup();
    // Start-up: opens the port of list entry midiOutIndex. Failure leaves live
    // sending off and its switch disabled. Returns true when the port opened.
    bool openAtStartup(std::uint8_t midiOutIndex);
    // Port change: closes the port and opens list entry midiOutIndex. Live
    // sending follows the outcome; its switch is enabled either way.
    bool reopen(std::uint8_t midiOutIndex);
    // "MIDI送信(&O)": toggles live sending, which stays off without an open port.
    void MIDI_RealClick();
    // Closes the port as the main window closes.
    void closePort();

    bool liveSending() const { return live_; }
    bool liveSwitchEnabled() const { return liveEnabled_; }
    bool settingsEnabled() const { return settingsEnabled_; }
    int lastOpenResult() const { return lastOpenResult_; }
    bool portOpen() const { return portOpen_; }

    // "Lumidot [MIDI Mapper]" or "Lumidot [<device name>]".
    std::string caption(std::uint8_t midiOutIndex);

    MidiOutput& output() { return output_; }

    // Hears every complete message EXC_Out builds, sent or not: the display
    // monitor follows what the module is told, or would be told. The
    // observer must not send.
    using Observer = std::function<void(std::span<const std::uint8_t> message)>;
    void setObserver(Observer observer) { observer_ = std::move(observer); }

private:
    int openEntry(std::uint8_t midiOutIndex);

    MidiOutput& output_;
    bool live_ = true;
    bool liveEnabled_ = true;
    bool settingsEnabled_ = true;
    bool portOpen_ = false;
    int lastOpenResult_ = -1;
    std::array<std::uint8_t, kMaxBody + 5> message_{};
    Observer observer_;
};

// The device id that list entry midiOutIndex opens (entry 0 is the mapper).
constexpr int deviceIdForEntry(std::uint8_t midiOutIndex) { return int(midiOutIndex) - 1; }

// The port change's choice of the new entry: the selected list entry as an
// unsigned byte (no selection, -1, gives 255); an entry past the device count
// keeps the previous one.
std::uint8_t chooseMidiOutIndex(int selectedEntry, std::uint8_t previous, int deviceCount);

} // namespace lumidot
