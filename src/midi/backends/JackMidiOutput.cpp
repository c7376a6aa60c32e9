#include "midi/backends/JackMidiOutput.h"

#include "midi/backends/PortName.h"

#include <jack/midiport.h>

#include <cstring>
#include <thread>

namespace lumidot {
namespace {

using Clock = std::chrono::steady_clock;
using Length = std::uint16_t;

constexpr auto kRoomWait = std::chrono::milliseconds(1);
// The longest the window waits for a running process cycle to leave the
// port before the port is given back: one cycle takes far less.
constexpr auto kCycleWait = std::chrono::milliseconds(40);

const char* const kNoServer = "JACKサーバーに接続できません。";
const char* const kServerGone = "JACKサーバーが停止しました";
const char* const kServerStuck = "JACKサーバーが応答しません（送信バッファーが空かないままです）。";

void quietJackConsole()
{
    jack_set_error_function([](const char*) {});
    jack_set_info_function([](const char*) {});
}

} // namespace

JackMidiOutput::JackMidiOutput()
    : buffer_(jack_ringbuffer_create(kBufferBytes))
{
    quietJackConsole();
}

JackMidiOutput::~JackMidiOutput()
{
    close();
    dropClient();
    jack_ringbuffer_free(buffer_);
}

// Runs on the server's process thread: nothing here waits or allocates.
int JackMidiOutput::process(jack_nframes_t frames, void* self)
{
    auto& out = *static_cast<JackMidiOutput*>(self);
    out.inProcess_ = true;
    if (jack_port_t* port = out.port_.load())
        out.drainInto(jack_port_get_buffer(port, frames));
    out.inProcess_ = false;
    return 0;
}

// Messages leave whole and in order; what does not fit into this cycle's port
// buffer stays for the next cycle.
void JackMidiOutput::drainInto(void* portBuffer)
{
    jack_midi_clear_buffer(portBuffer);
    for (;;) {
        const std::size_t available = jack_ringbuffer_read_space(buffer_);
        Length length = 0;
        if (available < sizeof length)
            return;
        jack_ringbuffer_peek(buffer_, reinterpret_cast<char*>(&length), sizeof length);
        if (available < sizeof length + length)
            return;
        jack_midi_data_t* event = jack_midi_event_reserve(portBuffer, 0, length);
        if (event == nullptr)
            return;
        jack_ringbuffer_read_advance(buffer_, sizeof length);
        jack_ringbuffer_read(buffer_, reinterpret_cast<char*>(event), length);
    }
}

// The shutdown callbacks run on one of the client's threads, like a signal
// handler: they only leave word for the window's thread.
void JackMidiOutput::serverShutdown(void* self)
{
    static_cast<JackMidiOutput*>(self)->serverGone_ = true;
}

void JackMidiOutput::serverInfoShutdown(jack_status_t, const char* reason, void* self)
{
    auto& out = *static_cast<JackMidiOutput*>(self);
    if (reason != nullptr && !out.shutdownReasonSet_) {
        std::strncpy(out.shutdownReason_, reason, sizeof out.shutdownReason_ - 1);
        out.shutdownReasonSet_ = true;
    }
    out.serverGone_ = true;
}

void JackMidiOutput::portRegistration(jack_port_id_t port, int registered, void* self)
{
    auto& out = *static_cast<JackMidiOutput*>(self);
    jack_port_t* destination = out.destination_.load();
    if (!registered && destination != nullptr && jack_port_by_id(out.client_, port) == destination)
        out.destinationGone_ = true;
}

bool JackMidiOutput::connectClient()
{
    serverGone_ = false;
    shutdownReasonSet_ = false;
    jack_status_t status{};
    client_ = jack_client_open(kClientName, JackNoStartServer, &status);
    if (client_ == nullptr)
        return false;
    jack_set_process_callback(client_, process, this);
    jack_on_shutdown(client_, serverShutdown, this);
    jack_on_info_shutdown(client_, serverInfoShutdown, this);
    jack_set_port_registration_callback(client_, portRegistration, this);
    if (jack_activate(client_) != 0) {
        jack_client_close(client_);
        client_ = nullptr;
        return false;
    }
    return true;
}

// A port that was open when its client went is lost; the next send says why.
void JackMidiOutput::dropClient()
{
    if (client_ == nullptr)
        return;
    if (open_)
        pendingLoss_ = serverGoneReason();
    unregisterPort();
    jack_client_close(client_);
    client_ = nullptr;
}

bool JackMidiOutput::hasMidiSystem()
{
    if (client_ != nullptr && serverGone_)
        dropClient();
    if (client_ == nullptr)
        connectClient();
    return client_ != nullptr;
}

// Every other client's MIDI input, in the server's order.
std::vector<std::string> JackMidiOutput::destinations()
{
    std::vector<std::string> names;
    if (!hasMidiSystem())
        return names;
    const std::string own = std::string(jack_get_client_name(client_)) + ":";
    const char** ports = jack_get_ports(client_, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
    for (const char** port = ports; port != nullptr && *port != nullptr; ++port) {
        if (std::strncmp(*port, own.c_str(), own.size()) != 0)
            names.emplace_back(*port);
    }
    jack_free(ports);
    return names;
}

int JackMidiOutput::deviceCount()
{
    return static_cast<int>(destinations().size());
}

std::string JackMidiOutput::deviceName(int deviceId)
{
    if (deviceId == kMapperId)
        return kMapperName;
    const std::vector<std::string> names = destinations();
    if (deviceId < 0 || deviceId >= static_cast<int>(names.size()))
        return {};
    return cutDeviceName(names[static_cast<std::size_t>(deviceId)]);
}

int JackMidiOutput::registerPort()
{
    jack_ringbuffer_reset(buffer_);
    jack_port_t* port = jack_port_register(client_, kPortName, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    if (port == nullptr) {
        failure_ = "JACKにポート「Lumidot」を作れません。";
        return kOpenRefused;
    }
    port_ = port;
    return 0;
}

// The process cycle is let out of the port before the port goes; a cycle
// that never ends belongs to a server that is gone, whose port needs nothing.
void JackMidiOutput::unregisterPort()
{
    jack_port_t* port = port_.exchange(nullptr);
    const auto deadline = Clock::now() + kCycleWait;
    while (inProcess_ && Clock::now() < deadline)
        std::this_thread::yield();
    if (port != nullptr && !serverGone_)
        jack_port_unregister(client_, port);
    destination_ = nullptr;
}

int JackMidiOutput::open(int deviceId)
{
    close();
    failure_.clear();
    if (!hasMidiSystem()) {
        failure_ = kNoServer;
        return kNoMidiSystem;
    }
    if (deviceId == kMapperId) {
        const int result = registerPort();
        open_ = result == 0;
        return result;
    }
    const std::vector<std::string> names = destinations();
    if (deviceId < 0 || deviceId >= static_cast<int>(names.size())) {
        failure_ = "そのポートはもうありません。";
        return kNoSuchDevice;
    }
    const std::string& name = names[static_cast<std::size_t>(deviceId)];
    destinationGone_ = false;
    destination_ = jack_port_by_name(client_, name.c_str());
    if (registerPort() != 0)
        return kOpenRefused;
    if (destination_.load() == nullptr || jack_connect(client_, jack_port_name(port_.load()), name.c_str()) != 0) {
        unregisterPort();
        failure_ = "JACKがポート「" + name + "」への接続を拒みました。";
        return kOpenRefused;
    }
    destinationName_ = name;
    open_ = true;
    return 0;
}

bool JackMidiOutput::lost(const std::string& reason)
{
    failure_ = reason;
    return false;
}

std::string JackMidiOutput::serverGoneReason() const
{
    if (shutdownReasonSet_)
        return std::string(kServerGone) + "（" + shutdownReason_ + "）。";
    return std::string(kServerGone) + "。";
}

// Waits for room at most kSendBound, and never while the server is gone.
bool JackMidiOutput::sendLong(std::span<const std::uint8_t> message)
{
    if (!open_ || message.empty())
        return true;
    if (port_.load() == nullptr)
        return lost(pendingLoss_.empty() ? serverGoneReason() : pendingLoss_);
    if (serverGone_)
        return lost(serverGoneReason());
    if (destinationGone_)
        return lost("接続先のポート「" + destinationName_ + "」がなくなりました。");
    const std::size_t needed = sizeof(Length) + message.size();
    if (message.size() > 0xFFFF || needed > kBufferBytes)
        return lost("メッセージが長すぎます。");
    const auto deadline = Clock::now() + kSendBound;
    while (jack_ringbuffer_write_space(buffer_) < needed) {
        if (serverGone_)
            return lost(serverGoneReason());
        if (Clock::now() >= deadline)
            return lost(kServerStuck);
        std::this_thread::sleep_for(kRoomWait);
    }
    const auto length = static_cast<Length>(message.size());
    jack_ringbuffer_write(buffer_, reinterpret_cast<const char*>(&length), sizeof length);
    jack_ringbuffer_write(buffer_, reinterpret_cast<const char*>(message.data()), message.size());
    return true;
}

// A client whose server is gone is dropped here, so that a port change
// makes a new one.
void JackMidiOutput::close()
{
    unregisterPort();
    destinationName_.clear();
    pendingLoss_.clear();
    open_ = false;
    if (serverGone_)
        dropClient();
}

} // namespace lumidot
