#pragma once

#include "midi/MidiOutput.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class RtMidiOut;

namespace lumidot {

// The sound systems the real port can run on, tried in the order given.
enum class MidiSystem { Alsa, Jack };

// The MIDI output port on RtMidi. The "MIDI Mapper" entry is a virtual output
// port named "Lumidot" that synthesizers and sequencers connect to; device k is
// RtMidi output port k. Nothing RtMidi reports is printed or thrown past this
// class: failures become open results, and a machine without a usable sound
// system simply has no devices.
class RtMidiOutput : public MidiOutput {
public:
    static constexpr const char* kPortName = "Lumidot";
    static constexpr std::size_t kNameChars = 32;
    // Open results besides 0.
    static constexpr int kNoMidiSystem = 1;
    static constexpr int kNoSuchDevice = 2;
    static constexpr int kOpenRefused = 3;

    explicit RtMidiOutput(std::vector<MidiSystem> systems = {MidiSystem::Alsa, MidiSystem::Jack});
    ~RtMidiOutput() override;
    RtMidiOutput(const RtMidiOutput&) = delete;
    RtMidiOutput& operator=(const RtMidiOutput&) = delete;

    int deviceCount() override;
    std::string deviceName(int deviceId) override;
    int open(int deviceId) override;
    void sendLong(std::span<const std::uint8_t> message) override;
    void close() override;

    // True when one of the sound systems can be reached.
    bool hasMidiSystem();
    bool isOpen() const { return open_; }
    // Long messages that the backend kept refusing after every retry.
    int droppedMessages() const { return dropped_; }

private:
    static void onError(int type, const std::string& text, void* self);
    void connect();
    bool answers(RtMidiOut& out);
    bool attemptSend(std::span<const std::uint8_t> message);
    int openDevice(int deviceId);
    int openVirtual();

    std::vector<MidiSystem> systems_;
    std::unique_ptr<RtMidiOut> out_;
    MidiSystem connected_ = MidiSystem::Alsa;
    bool open_ = false;
    bool virtualOpen_ = false;
    int errors_ = 0;
    int dropped_ = 0;
};

// A device name as the port list shows it: at most maxChars characters of
// UTF-8, never cut inside a character.
std::string cutDeviceName(std::string_view name, std::size_t maxChars = RtMidiOutput::kNameChars);

// Sends with attempt until it is accepted, calling wait between attempts;
// false when all maxAttempts were refused.
bool sendWithRetry(const std::function<bool()>& attempt, const std::function<void()>& wait, int maxAttempts);

} // namespace lumidot
