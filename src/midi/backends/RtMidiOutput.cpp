// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/backends/RtMidiOutput.h"

#include "ns5r/UserText.h"

#include <RtMidi.h>
#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>

namespace lumidot {
namespace {

// A full output pool drains within a few milliseconds; retries stop well
// before the window's bound of 50 ms for one send.
constexpr auto kSendBound = std::chrono::milliseconds(40);
constexpr auto kSendRetryWait = std::chrono::milliseconds(1);

std::string poolFull()
{
    return LUMIDOT_TEXT("RtMidiOutput", "ALSAシーケンサーが送信を受け付けません（送信バッファーがあふれたままです）。");
}
std::string noSequencer() { return LUMIDOT_TEXT("RtMidiOutput", "ALSAシーケンサーに接続できません。"); }

bool alsaCompiledIn()
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), RtMidi::LINUX_ALSA) != apis.end();
}

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// The ALSA library prints every failed attempt to reach the sequencer on the
// console; a missing sequencer is an ordinary case here (the program then
// tries JACK, or runs without a port), so its messages are kept quiet.
// Failures still reach the program as results.
void silenceAlsaConsole()
{
    snd_lib_error_set_handler(ignoreAlsaMessage);
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

} // namespace

RtMidiOutput::RtMidiOutput()
{
    silenceAlsaConsole();
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

// RtMidi throws from its constructor when the sequencer cannot be reached,
// and does not fall back to another system by itself.
void RtMidiOutput::connect()
{
    out_.reset();
    if (!alsaCompiledIn())
        return;
    try {
        auto out = [&] {
            const QuietStandardError quiet;
            return std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, kPortName);
        }();
        if (out->getCurrentApi() != RtMidi::LINUX_ALSA)
            return;
        out->setErrorCallback(
            [](RtMidiError::Type type, const std::string& text, void* self) {
                onError(static_cast<int>(type), text, self);
            },
            this);
        out_ = std::move(out);
    } catch (const RtMidiError&) {
    }
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
    return cutDeviceName(withoutSequencerAddress(out_->getPortName(static_cast<unsigned>(deviceId))));
}

int RtMidiOutput::open(int deviceId)
{
    close();
    failure_.clear();
    if (!hasMidiSystem()) {
        failure_ = noSequencer();
        return kNoMidiSystem;
    }
    const int result = deviceId == kMapperId ? openVirtual() : openDevice(deviceId);
    open_ = result == 0;
    return result;
}

// A virtual port needs no partner: nobody connected yet is still an open port.
int RtMidiOutput::openVirtual()
{
    const int errorsBefore = errors_;
    out_->openVirtualPort(kPortName);
    if (errors_ != errorsBefore) {
        failure_ = LUMIDOT_TEXT("RtMidiOutput", "ALSAシーケンサーに仮想ポート「Lumidot」を作れません。");
        return kOpenRefused;
    }
    virtualOpen_ = true;
    return 0;
}

// RtMidi only warns about some refusals (an index past the list, a connection
// it could not make), so any report during the open counts as a failure.
int RtMidiOutput::openDevice(int deviceId)
{
    if (deviceId < 0 || deviceId >= deviceCount()) {
        failure_ = LUMIDOT_TEXT("RtMidiOutput", "そのポートはもうありません。");
        return kNoSuchDevice;
    }
    const int errorsBefore = errors_;
    out_->openPort(static_cast<unsigned>(deviceId), kPortName);
    if (errors_ != errorsBefore || !out_->isPortOpen()) {
        out_->closePort();
        failure_ = LUMIDOT_TEXT("RtMidiOutput", "ALSAシーケンサーがポートへの接続を拒みました。");
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
// message is sent again once the pool has drained, within the bound. One
// still refused then is lost, and the port with it.
bool RtMidiOutput::sendLong(std::span<const std::uint8_t> message)
{
    if (!open_ || !out_ || message.empty())
        return true;
    const auto deadline = std::chrono::steady_clock::now() + kSendBound;
    const bool sent = sendWithRetry([&] { return attemptSend(message); },
                                    [&] {
                                        std::this_thread::sleep_for(kSendRetryWait);
                                        return std::chrono::steady_clock::now() < deadline;
                                    });
    if (!sent) {
        ++dropped_;
        failure_ = poolFull();
    }
    return sent;
}

// Closing a virtual port leaves it registered with the sequencer until the
// client goes, so the client goes with it and the next use makes a new one:
// a port change away from the mapper must not keep feeding the programs
// connected to it.
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

bool sendWithRetry(const std::function<bool()>& attempt, const std::function<bool()>& wait)
{
    while (!attempt()) {
        if (!wait())
            return attempt();
    }
    return true;
}

} // namespace lumidot
