// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/backends/JackMidiOutput.h"

#include "midi/backends/PortName.h"
#include "ns5r/UserText.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace lumidot {

// One client of one server, with its own buffer and its own word from the
// server's threads: a client that is given up may still be called back by
// its server, and must then touch nothing of the next one.
struct JackMidiOutput::Connection {
    jack_client_t* client = nullptr;
    jack_ringbuffer_t* buffer = jack_ringbuffer_create(kBufferBytes);
    std::atomic<jack_port_t*> port{nullptr};
    std::atomic<jack_port_t*> destination{nullptr};
    std::atomic<bool> inProcess{false};
    std::atomic<unsigned> cycles{0};
    std::atomic<bool> serverGone{false};
    std::atomic<bool> destinationGone{false};
    std::atomic<bool> reasonSet{false};
    char reason[256] = {};
    bool hung = false; // the server stopped answering or draining

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { jack_ringbuffer_free(buffer); }
};

namespace {

using Clock = std::chrono::steady_clock;
using Length = std::uint16_t;
using Connection = JackMidiOutput::Connection;

constexpr auto kRoomWait = std::chrono::milliseconds(1);
// The longest the window waits for a running process cycle to leave the
// port before the port is given back: one cycle takes far less.
constexpr auto kCycleWait = std::chrono::milliseconds(40);
// Several cycles of the longest periods in use, on a busy machine.
constexpr auto kConnectionWait = std::chrono::milliseconds(1000);

std::string noServer() { return LUMIDOT_TEXT("JackMidiOutput", "JACKサーバーに接続できません。"); }
std::string serverStuck()
{
    return LUMIDOT_TEXT("JackMidiOutput", "JACKサーバーが応答しません（送信バッファーが空かないままです）。");
}
std::string serverSilent() { return LUMIDOT_TEXT("JackMidiOutput", "JACKサーバーが応答しません。"); }
std::string portGone() { return LUMIDOT_TEXT("JackMidiOutput", "そのポートはもうありません。"); }

void quietJackConsole()
{
    jack_set_error_function([](const char*) {});
    jack_set_info_function([](const char*) {});
}

// Clients whose server never answered a request: the request may still be
// under way on its own thread, so they are kept, never freed.
void keepForever(Connection* connection)
{
    static auto* abandoned = new std::vector<Connection*>;
    abandoned->push_back(connection);
}

// Runs one request to the server on a thread of its own and waits for its
// answer at most kRequestBound; nothing when the server did not answer.
template <typename Result, typename Call>
std::optional<Result> askServer(Call call)
{
    struct Answer {
        std::mutex mutex;
        std::condition_variable arrived;
        std::optional<Result> result;
    };
    auto answer = std::make_shared<Answer>();
    std::thread([answer, call] {
        Result result = call();
        const std::lock_guard lock(answer->mutex);
        answer->result = result;
        answer->arrived.notify_all();
    }).detach();
    std::unique_lock lock(answer->mutex);
    answer->arrived.wait_for(lock, JackMidiOutput::kRequestBound, [&] { return answer->result.has_value(); });
    return answer->result;
}

// Messages leave whole and in order; what does not fit into this cycle's port
// buffer stays for the next cycle.
void drainInto(jack_ringbuffer_t* buffer, void* portBuffer)
{
    jack_midi_clear_buffer(portBuffer);
    for (;;) {
        const std::size_t available = jack_ringbuffer_read_space(buffer);
        Length length = 0;
        if (available < sizeof length)
            return;
        jack_ringbuffer_peek(buffer, reinterpret_cast<char*>(&length), sizeof length);
        if (available < sizeof length + length)
            return;
        jack_midi_data_t* event = jack_midi_event_reserve(portBuffer, 0, length);
        if (event == nullptr)
            return;
        jack_ringbuffer_read_advance(buffer, sizeof length);
        jack_ringbuffer_read(buffer, reinterpret_cast<char*>(event), length);
    }
}

// Runs on the server's process thread: nothing here waits or allocates.
int process(jack_nframes_t frames, void* arg)
{
    auto& connection = *static_cast<Connection*>(arg);
    connection.inProcess = true;
    if (jack_port_t* port = connection.port.load())
        drainInto(connection.buffer, jack_port_get_buffer(port, frames));
    connection.inProcess = false;
    ++connection.cycles;
    return 0;
}

// The shutdown callbacks run on one of the client's threads, like a signal
// handler: they only leave word for the window's thread.
void serverShutdown(void* arg)
{
    static_cast<Connection*>(arg)->serverGone = true;
}

void serverInfoShutdown(jack_status_t, const char* reason, void* arg)
{
    auto& connection = *static_cast<Connection*>(arg);
    if (reason != nullptr && !connection.reasonSet) {
        std::strncpy(connection.reason, reason, sizeof connection.reason - 1);
        connection.reasonSet = true;
    }
    connection.serverGone = true;
}

void portRegistration(jack_port_id_t port, int registered, void* arg)
{
    auto& connection = *static_cast<Connection*>(arg);
    jack_port_t* destination = connection.destination.load();
    if (!registered && destination != nullptr && jack_port_by_id(connection.client, port) == destination)
        connection.destinationGone = true;
}

jack_client_t* openClient(Connection* connection)
{
    jack_status_t status{};
    jack_client_t* client = jack_client_open(JackMidiOutput::kClientName, JackNoStartServer, &status);
    if (client == nullptr)
        return nullptr;
    connection->client = client;
    jack_set_process_callback(client, process, connection);
    jack_on_shutdown(client, serverShutdown, connection);
    jack_on_info_shutdown(client, serverInfoShutdown, connection);
    jack_set_port_registration_callback(client, portRegistration, connection);
    if (jack_activate(client) != 0) {
        jack_client_close(client);
        return nullptr;
    }
    return client;
}

// The process cycle is let out of the port before the port goes; a cycle
// that never ends belongs to a server that is gone, whose port needs nothing.
void leaveCycle(Connection& connection)
{
    const auto deadline = Clock::now() + kCycleWait;
    while (connection.inProcess && Clock::now() < deadline)
        std::this_thread::yield();
}

// A new connection carries messages only from the cycle after the server
// has put it into its graph; the greeting that follows an open must not go
// out before. Waits a little, bounded, and goes on in any case.
void awaitConnection(Connection& connection, const std::string& destination)
{
    const auto deadline = Clock::now() + kConnectionWait;
    jack_port_t* port = connection.port.load();
    while (!jack_port_connected_to(port, destination.c_str()) && Clock::now() < deadline)
        std::this_thread::sleep_for(kRoomWait);
    const unsigned seen = connection.cycles;
    while (connection.cycles - seen < 2 && Clock::now() < deadline)
        std::this_thread::sleep_for(kRoomWait);
}

} // namespace

JackMidiOutput::JackMidiOutput()
{
    quietJackConsole();
}

JackMidiOutput::~JackMidiOutput()
{
    close();
    dropConnection();
}

bool JackMidiOutput::connectServer()
{
    auto* connection = new Connection;
    const std::optional<jack_client_t*> client = askServer<jack_client_t*>([connection] { return openClient(connection); });
    if (!client) {
        keepForever(connection);
        failure_ = serverSilent();
        return false;
    }
    if (*client == nullptr) {
        delete connection;
        return false;
    }
    connection_ = connection;
    return true;
}

bool JackMidiOutput::unusable() const
{
    return connection_ != nullptr && (connection_->serverGone || connection_->hung);
}

// A port that was open when its client went is lost; the next send says why.
// A hung server's client is closed on a thread of its own, which may wait
// for as long as the server does.
void JackMidiOutput::dropConnection()
{
    if (connection_ == nullptr)
        return;
    if (open_)
        pendingLoss_ = connection_->hung ? serverStuck() : serverGoneReason();
    Connection* connection = connection_;
    connection_ = nullptr;
    connection->port = nullptr;
    connection->destination = nullptr;
    leaveCycle(*connection);
    if (connection->hung) {
        std::thread([connection] {
            jack_client_close(connection->client);
            delete connection;
        }).detach();
        return;
    }
    if (askServer<int>([connection] { return jack_client_close(connection->client); }))
        delete connection;
    else
        keepForever(connection);
}

bool JackMidiOutput::hasMidiSystem()
{
    if (unusable())
        dropConnection();
    if (connection_ == nullptr)
        connectServer();
    return connection_ != nullptr;
}

// Every other client's MIDI input, in the server's order.
std::vector<std::string> JackMidiOutput::destinations()
{
    std::vector<std::string> names;
    if (!hasMidiSystem())
        return names;
    jack_client_t* client = connection_->client;
    const std::string own = std::string(jack_get_client_name(client)) + ":";
    const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
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
    Connection* connection = connection_;
    jack_ringbuffer_reset(connection->buffer);
    const std::optional<jack_port_t*> port = askServer<jack_port_t*>([connection] {
        return jack_port_register(connection->client, kPortName, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    });
    if (!port) {
        connection->hung = true;
        failure_ = serverSilent();
        return kOpenRefused;
    }
    if (*port == nullptr) {
        failure_ = LUMIDOT_TEXT("JackMidiOutput", "JACKにポート「Lumidot」を作れません。");
        return kOpenRefused;
    }
    connection->port = *port;
    return 0;
}

void JackMidiOutput::unregisterPort()
{
    if (connection_ == nullptr)
        return;
    Connection* connection = connection_;
    jack_port_t* port = connection->port.exchange(nullptr);
    connection->destination = nullptr;
    leaveCycle(*connection);
    if (port == nullptr || unusable())
        return;
    if (!askServer<int>([connection, port] { return jack_port_unregister(connection->client, port); }))
        connection->hung = true;
}

int JackMidiOutput::open(int deviceId)
{
    close();
    failure_.clear();
    if (!hasMidiSystem()) {
        if (failure_.empty())
            failure_ = noServer();
        return kNoMidiSystem;
    }
    if (deviceId == kMapperId) {
        const int result = registerPort();
        open_ = result == 0;
        return result;
    }
    const std::vector<std::string> names = destinations();
    if (deviceId < 0 || deviceId >= static_cast<int>(names.size())) {
        failure_ = portGone();
        return kNoSuchDevice;
    }
    const std::string name = names[static_cast<std::size_t>(deviceId)];
    Connection* connection = connection_;
    connection->destinationGone = false;
    jack_port_t* destination = jack_port_by_name(connection->client, name.c_str());
    if (destination == nullptr) {
        failure_ = portGone();
        return kNoSuchDevice;
    }
    if (registerPort() != 0)
        return kOpenRefused;
    connection->destination = destination;
    const std::string own = jack_port_name(connection->port.load());
    const std::optional<int> connected = askServer<int>(
        [connection, own, name] { return jack_connect(connection->client, own.c_str(), name.c_str()); });
    if (!connected || *connected != 0) {
        if (!connected)
            connection->hung = true;
        unregisterPort();
        failure_ = connected ? std::string(LUMIDOT_TEXT("JackMidiOutput", "JACKがポート「%1」への接続を拒みました。").arg(name))
                             : serverSilent();
        return kOpenRefused;
    }
    awaitConnection(*connection, name);
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
    if (connection_ != nullptr && connection_->reasonSet)
        return LUMIDOT_TEXT("JackMidiOutput", "JACKサーバーが停止しました（%1）。").arg(connection_->reason);
    return LUMIDOT_TEXT("JackMidiOutput", "JACKサーバーが停止しました。");
}

// Waits for room at most kSendBound, and never while the server is gone.
bool JackMidiOutput::sendLong(std::span<const std::uint8_t> message)
{
    if (!open_ || message.empty())
        return true;
    Connection* connection = connection_;
    if (connection == nullptr || connection->port.load() == nullptr)
        return lost(pendingLoss_.empty() ? serverGoneReason() : pendingLoss_);
    if (connection->serverGone)
        return lost(serverGoneReason());
    if (connection->destinationGone)
        return lost(LUMIDOT_TEXT("JackMidiOutput", "接続先のポート「%1」がなくなりました。").arg(destinationName_));
    const std::size_t needed = sizeof(Length) + message.size();
    if (message.size() > 0xFFFF || needed > kBufferBytes)
        return lost(LUMIDOT_TEXT("JackMidiOutput", "メッセージが長すぎます。"));
    const auto deadline = Clock::now() + kSendBound;
    while (jack_ringbuffer_write_space(connection->buffer) < needed) {
        if (connection->serverGone)
            return lost(serverGoneReason());
        if (Clock::now() >= deadline) {
            connection->hung = true;
            return lost(serverStuck());
        }
        std::this_thread::sleep_for(kRoomWait);
    }
    const auto length = static_cast<Length>(message.size());
    jack_ringbuffer_write(connection->buffer, reinterpret_cast<const char*>(&length), sizeof length);
    jack_ringbuffer_write(connection->buffer, reinterpret_cast<const char*>(message.data()), message.size());
    return true;
}

// A client whose server is gone or hung is dropped here, so that a port
// change makes a new one.
void JackMidiOutput::close()
{
    unregisterPort();
    destinationName_.clear();
    pendingLoss_.clear();
    open_ = false;
    if (unusable())
        dropConnection();
}

} // namespace lumidot
