#include "midi/backends/RtMidiOutput.h"

#include <RtMidi.h>
#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>

namespace lumidot {
namespace {

// A full output buffer drains within a period of the sound system; 200 waits
// of 1 ms cover the longest JACK period in common use several times over.
constexpr int kSendAttempts = 200;
constexpr auto kSendRetryWait = std::chrono::milliseconds(1);

RtMidi::Api apiOf(MidiSystem system)
{
    return system == MidiSystem::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
}

bool compiledIn(RtMidi::Api api)
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), api) != apis.end();
}

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// The ALSA and JACK client libraries print every failed attempt to reach
// their system on the console; a missing system is an ordinary case here (the
// program then tries the other one, or runs without a port), so their
// messages are kept quiet. Failures still reach the program as results.
void silenceSoundSystemConsole()
{
    snd_lib_error_set_handler(ignoreAlsaMessage);
    jack_set_error_function([](const char*) {});
    jack_set_info_function([](const char*) {});
}

// RtMidi prints an error on the standard error stream before it throws from
// a constructor, where no error callback can be installed yet; the error is
// handled as an exception, so the print is dropped.
class QuietStandardError {
public:
    QuietStandardError()
        : saved_(std::cerr.rdbuf(nullptr))
    {
    }
    ~QuietStandardError()
    {
        std::cerr.rdbuf(saved_);
        std::cerr.clear();
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    std::streambuf* saved_;
};

bool continuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

RtMidiOutput::RtMidiOutput(std::vector<MidiSystem> systems)
    : systems_(std::move(systems))
{
    silenceSoundSystemConsole();
    connect();
}

RtMidiOutput::~RtMidiOutput()
{
    close();
}

void RtMidiOutput::onError(int /*type*/, const std::string& /*text*/, void* self)
{
    ++static_cast<RtMidiOutput*>(self)->errors_;
}

// RtMidi throws from its constructor when a system cannot be reached (ALSA
// without a sequencer device) and never falls back by itself, so each system
// is tried in turn.
void RtMidiOutput::connect()
{
    out_.reset();
    for (const MidiSystem system : systems_) {
        const RtMidi::Api api = apiOf(system);
        if (!compiledIn(api))
            continue;
        try {
            auto out = [&] {
                const QuietStandardError quiet;
                return std::make_unique<RtMidiOut>(api, kPortName);
            }();
            if (out->getCurrentApi() != api)
                continue;
            out->setErrorCallback(
                [](RtMidiError::Type type, const std::string& text, void* self) {
                    onError(static_cast<int>(type), text, self);
                },
                this);
            if (!answers(*out))
                continue;
            out_ = std::move(out);
            connected_ = system;
            return;
        } catch (const RtMidiError&) {
        }
    }
}

// JACK builds its client without a server and only reports the missing server
// on the first call; each further call on such a client tries again (and
// leaks a buffer inside RtMidi), so an unreachable system is dropped at once.
bool RtMidiOutput::answers(RtMidiOut& out)
{
    const int errorsBefore = errors_;
    out.getPortCount();
    return errors_ == errorsBefore;
}

bool RtMidiOutput::hasMidiSystem()
{
    if (!out_)
        connect();
    return out_ != nullptr;
}

int RtMidiOutput::deviceCount()
{
    if (!hasMidiSystem())
        return 0;
    return static_cast<int>(out_->getPortCount());
}

std::string RtMidiOutput::deviceName(int deviceId)
{
    if (deviceId == kMapperId)
        return kMapperName;
    if (deviceId < 0 || deviceId >= deviceCount())
        return {};
    return cutDeviceName(out_->getPortName(static_cast<unsigned>(deviceId)));
}

int RtMidiOutput::open(int deviceId)
{
    close();
    if (!hasMidiSystem())
        return kNoMidiSystem;
    const int result = deviceId == kMapperId ? openVirtual() : openDevice(deviceId);
    open_ = result == 0;
    return result;
}

// A virtual port needs no partner: nobody connected yet is still an open port.
int RtMidiOutput::openVirtual()
{
    const int errorsBefore = errors_;
    out_->openVirtualPort(kPortName);
    if (errors_ != errorsBefore)
        return kOpenRefused;
    virtualOpen_ = true;
    return 0;
}

// RtMidi only warns about some refusals (an index past the list, a connection
// it could not make), so any report during the open counts as a failure.
int RtMidiOutput::openDevice(int deviceId)
{
    if (deviceId < 0 || deviceId >= deviceCount())
        return kNoSuchDevice;
    const int errorsBefore = errors_;
    out_->openPort(static_cast<unsigned>(deviceId), kPortName);
    if (errors_ != errorsBefore || !out_->isPortOpen()) {
        out_->closePort();
        return kOpenRefused;
    }
    return 0;
}

bool RtMidiOutput::attemptSend(std::span<const std::uint8_t> message)
{
    const int errorsBefore = errors_;
    out_->sendMessage(message.data(), message.size());
    return errors_ == errorsBefore;
}

// The ALSA sequencer refuses an event while its output pool is full; such a
// message is sent again once the pool has drained instead of being lost.
void RtMidiOutput::sendLong(std::span<const std::uint8_t> message)
{
    if (!open_ || !out_ || message.empty())
        return;
    const bool sent = sendWithRetry([&] { return attemptSend(message); },
                                    [] { std::this_thread::sleep_for(kSendRetryWait); },
                                    kSendAttempts);
    if (!sent)
        ++dropped_;
}

// Closing a virtual port leaves it registered with some systems (ALSA keeps
// it until the client goes), so the client goes with it and the next use
// makes a new one: a port change away from the mapper must not keep feeding
// the programs connected to it.
void RtMidiOutput::close()
{
    if (!open_ || !out_)
        return;
    out_->closePort();
    open_ = false;
    if (virtualOpen_) {
        virtualOpen_ = false;
        out_.reset();
    }
}

std::string cutDeviceName(std::string_view name, std::size_t maxChars)
{
    std::size_t chars = 0;
    std::size_t end = 0;
    while (end < name.size()) {
        if (!continuationByte(name[end])) {
            if (chars == maxChars)
                break;
            ++chars;
        }
        ++end;
    }
    return std::string(name.substr(0, end));
}

bool sendWithRetry(const std::function<bool()>& attempt, const std::function<void()>& wait, int maxAttempts)
{
    for (int i = 0; i < maxAttempts; ++i) {
        if (i > 0)
            wait();
        if (attempt())
            return true;
    }
    return false;
}

} // namespace lumidot
