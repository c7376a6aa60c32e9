// SPDX-License-Identifier: GPL-3.0-or-later
// The window against a JACK server that dies and comes back, and against
// partners that come and go. The server is this program's own child, under
// one fixed name (scripts/jack-live-test.sh --own-server takes the machine's
// lock for that name): a server killed outright keeps its slot among the
// machine's eight until a server of the same name starts again.
#include "app/MainForm.h"
#include "dialogs/ConfigDialog.h"
#include "midi/backends/JackMidiOutput.h"
#include "ns5r/Commands.h"
#include "support/FakePrompts.h"
#include "support/JackCapture.h"
#include "support/MemorySettingsStore.h"
#include "support/RunCommand.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace lumidot {
namespace {

using namespace std::chrono_literals;
using testing::FakeDesktop;
using testing::FakePrompts;
using testing::JackCapture;
using testing::MemorySettingsStore;
using testing::Message;
using Clock = std::chrono::steady_clock;

const QString kPortUnusable = QStringLiteral("指定されたMIDIデバイスは使用できません");
constexpr int kBurstFrames = 1000;
constexpr int kKillAtFrame = 300;
// A send is bounded by 50 ms; a freeze is the fault, so the check leaves room
// for a machine busy with other work.
constexpr auto kFreeze = 250ms;

std::string temporaryFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

// Holds a machine-wide lock file for as long as it lives.
class FileLock {
public:
    explicit FileLock(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666))
    {
        if (fd_ >= 0)
            ::flock(fd_, LOCK_EX);
    }
    ~FileLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_;
};

// jackd under the name in JACK_DEFAULT_SERVER, on the dummy driver.
class JackServer {
public:
    ~JackServer() { stop(); }

    bool start()
    {
        const FileLock turn(temporaryFolder() + "/lumidot-jack-start.lock");
        const char* argv[] = {"jackd", "--no-realtime", "-d", "dummy", "-r", "48000", "-p", "1024", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int spawned =
            posix_spawnp(&pid_, "jackd", &actions, nullptr, const_cast<char* const*>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            pid_ = -1;
            return false;
        }
        notePid(pid_);
        return testing::runCommand("timeout 15 jack_wait -w -t 10").exitCode == 0;
    }

    // As a crash would: no goodbye to the clients, leftovers in place.
    void kill()
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
        notePid(pid_);
        removeLeftovers();
    }

    // A server that hangs: alive, but its cycles no longer run.
    void pause(bool paused) { ::kill(pid_, paused ? SIGSTOP : SIGCONT); }

    void stop()
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGINT);
        for (int i = 0; i < 50 && ::waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
            ::usleep(100'000);
        if (::waitpid(pid_, nullptr, WNOHANG) == 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
        notePid(pid_);
    }

private:
    // The script stops a server this program leaves running, by this pid.
    static void notePid(pid_t pid)
    {
        if (const char* pidFile = std::getenv("LUMIDOT_JACK_PIDFILE")) {
            std::ofstream file(pidFile, std::ios::trunc);
            if (pid > 0)
                file << pid << "\n";
        }
    }

    // What jackd2 leaves of a killed server: its request socket
    // "jack_<name>_<uid>_0" and semaphores "jack_sem.<uid>_<name>_*", in
    // /dev/shm (or the temporary folder where there is none).
    static void removeLeftovers()
    {
        const std::string name = std::getenv("JACK_DEFAULT_SERVER");
        for (const std::string& folder : {std::string("/dev/shm"), temporaryFolder()}) {
            std::error_code error;
            for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
                const std::string file = entry.path().filename().string();
                const bool socket = file.rfind("jack_" + name + "_", 0) == 0;
                const bool semaphore =
                    file.rfind("jack_sem.", 0) == 0 && file.find("_" + name + "_") != std::string::npos;
                if (socket || semaphore)
                    std::filesystem::remove(entry.path(), error);
            }
        }
    }

    pid_t pid_ = -1;
};

class JackServerLoss : public ::testing::Test {
protected:
    JackServer server;
    JackMidiOutput midi;
    MemorySettingsStore store;
    FakePrompts prompts;
    FakeDesktop desktop;
    std::unique_ptr<TMainForm> form;
    std::function<void(QDialog&)> duringModal;

    void SetUp() override
    {
        if (std::getenv("LUMIDOT_JACK_PIDFILE") == nullptr)
            GTEST_FAIL() << "run through scripts/jack-live-test.sh --own-server, which holds the server's lock";
        ASSERT_TRUE(server.start()) << "jackd did not start";
    }

    void TearDown() override
    {
        form.reset();
        server.stop();
    }

    // The bursts below drive the port as fast as it takes, each frame sent:
    // unpaced, as for a virtual port whose reader wants every frame.
    void startForm()
    {
        store.put("PACE_LIVE", {0});
        form = std::make_unique<TMainForm>(midi, store, prompts, desktop);
        form->runModal = [this](QDialog& dialog) {
            if (duringModal)
                duringModal(dialog);
            return int(QDialog::Rejected);
        };
        form->createSecondaryWindows();
    }

    // The settings dialog, closed with the port of that name chosen;
    // whatever else happens while it is open comes first.
    void portChangeTo(const std::string& name, const std::function<void()>& meanwhile = {})
    {
        duringModal = [this, name, meanwhile](QDialog&) {
            const int entry = form->FConfig->entryNamed(QString::fromStdString(name));
            ASSERT_GT(entry, 0) << name << " is not in the port list";
            form->FConfig->MIDI_Out->setCurrentIndex(entry);
            if (meanwhile)
                meanwhile();
        };
        form->MIDIPortM1->trigger();
        duringModal = {};
    }

    static std::vector<Message> greeting()
    {
        return {sysExMessage(lcdColourBody(LcdColour::Green)),
                sysExMessage(showMessageBody(kPortChangeBannerLine1, kBannerLine2))};
    }
};

TEST_F(JackServerLoss, AServerKilledDuringABurstIsToldOnceAndARestartedOneIsFoundAgain)
{
    auto capture = std::make_unique<JackCapture>();
    capture->openOwnPort();
    startForm();
    portChangeTo("LumidotCapture:capture");
    ASSERT_TRUE(form->MIDI_real->isChecked());
    ASSERT_EQ(capture->receive(2), greeting());

    Clock::duration worstAlive{};
    Clock::duration firstAfterDeath{};
    Clock::duration worstAfterDeath{};
    for (int frame = 0; frame < kBurstFrames; ++frame) {
        if (frame == kKillAtFrame)
            server.kill();
        form->Workspace.document().plane.setDot(frame % 32, (frame / 32) % 16, 1);
        const auto before = Clock::now();
        form->FD_OUT();
        const auto took = Clock::now() - before;
        if (frame < kKillAtFrame)
            worstAlive = std::max(worstAlive, took);
        else
            worstAfterDeath = std::max(worstAfterDeath, took);
        if (frame == kKillAtFrame)
            firstAfterDeath = took;
    }
    // The server's death reaches the client in its own time; drawing goes on
    // until a send meets it.
    for (int more = 0; more < 300 && form->MIDI_real->isChecked(); ++more) {
        std::this_thread::sleep_for(10ms);
        const auto before = Clock::now();
        form->FD_OUT();
        worstAfterDeath = std::max(worstAfterDeath, Clock::now() - before);
    }
    const auto us = [](Clock::duration d) { return std::chrono::duration_cast<std::chrono::microseconds>(d).count(); };
    std::printf("[ report ] worst send with the server alive: %lld us; first send after SIGKILL: %lld us; "
                "worst send after SIGKILL: %lld us\n",
                static_cast<long long>(us(worstAlive)), static_cast<long long>(us(firstAfterDeath)),
                static_cast<long long>(us(worstAfterDeath)));
    EXPECT_LT(worstAlive, kFreeze);
    EXPECT_LT(worstAfterDeath, kFreeze);

    // Told once, after the drawing handler; sending off as after a failed port change.
    EXPECT_TRUE(prompts.shown.isEmpty()) << "no box in the middle of a handler";
    QApplication::processEvents();
    ASSERT_EQ(prompts.shown, QStringList{kPortUnusable});
    EXPECT_TRUE(prompts.details[0].contains(QStringLiteral("JACKサーバーが停止しました"))) << prompts.details[0].toStdString();
    EXPECT_FALSE(form->MIDI_real->isChecked());
    EXPECT_TRUE(form->MIDI_real->isEnabled());
    form->MIDI_real->trigger();
    EXPECT_FALSE(form->MIDI_real->isChecked()) << "switching on is refused until a port change";

    // The window goes on: drawing and recording work as before.
    form->FD_OUT();
    form->SpeedButton1->click();
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 1);
    QApplication::processEvents();
    EXPECT_EQ(prompts.shown.size(), 1);

    // A new server of the same name: the next port change finds it.
    capture.reset();
    ASSERT_TRUE(server.start());
    capture = std::make_unique<JackCapture>();
    capture->openOwnPort();
    portChangeTo("LumidotCapture:capture");
    EXPECT_TRUE(form->MIDI_real->isChecked());
    EXPECT_EQ(capture->receive(2), greeting());
    EXPECT_EQ(prompts.shown.size(), 1);
}

// Nothing drains the port any more, as when a server hangs: a send waits for
// room only up to its bound, and the full buffer is a loss.
TEST_F(JackServerLoss, AServerThatHangsFillsTheBufferAndThatIsALoss)
{
    JackCapture capture;
    capture.openOwnPort();
    startForm();
    portChangeTo("LumidotCapture:capture");
    ASSERT_TRUE(form->MIDI_real->isChecked());

    server.pause(true);
    Clock::duration worst{};
    int frames = 0;
    for (; frames < 10'000 && form->MIDI_real->isChecked(); ++frames) {
        form->Workspace.document().plane.setDot(frames % 32, (frames / 32) % 16, frames % 2);
        const auto before = Clock::now();
        form->FD_OUT();
        worst = std::max(worst, Clock::now() - before);
    }
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(worst).count();
    std::printf("[ report ] server stopped: %d frames went into the buffer; the send that found it full took %lld us\n",
                frames, static_cast<long long>(us));
    EXPECT_LT(worst, kFreeze);
    EXPECT_FALSE(form->MIDI_real->isChecked()) << "the full buffer was never reported";
    QApplication::processEvents();
    ASSERT_EQ(prompts.shown, QStringList{kPortUnusable});
    EXPECT_TRUE(prompts.details[0].contains(QStringLiteral("応答しません"))) << prompts.details[0].toStdString();

    // A port change while it still hangs gives up within its bounds.
    const auto before = Clock::now();
    form->MIDIPortM1->trigger();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - before).count();
    std::printf("[ report ] port change against the stopped server: %lld ms\n", static_cast<long long>(took));
    EXPECT_LT(took, 15'000);
    EXPECT_FALSE(form->MIDI_real->isChecked());
    EXPECT_EQ(prompts.shown.size(), 2);

    // Once it runs again, the next port change reaches the capture again.
    server.pause(false);
    std::this_thread::sleep_for(300ms);
    capture.leftovers(); // what the given-up client still had, sent as the server woke
    portChangeTo("LumidotCapture:capture");
    EXPECT_TRUE(form->MIDI_real->isChecked());
    EXPECT_EQ(capture.receive(2), greeting());
}

TEST_F(JackServerLoss, APortIsFoundByItsNameWhenTheNumberingMoves)
{
    auto first = std::make_unique<JackCapture>("LumidotCaptureA");
    first->openOwnPort();
    JackCapture second("LumidotCaptureB");
    second.openOwnPort();
    startForm();

    // The first client leaves while the dialog is open: the second one moves
    // up in the list, and the entry the user chose now names nobody.
    portChangeTo("LumidotCaptureB:capture", [&] { first.reset(); });
    EXPECT_EQ(second.receive(2), greeting());
    EXPECT_TRUE(form->MIDI_real->isChecked());
    EXPECT_EQ(form->windowTitle(), "Lumidot [LumidotCaptureB:capture]");
    EXPECT_EQ(form->settings().midiOutIndex, 1) << "its entry now that the first one is gone";
    EXPECT_EQ(form->settings().midiOutName, "LumidotCaptureB:capture");

    // A client started later is offered by the next showing of the list.
    JackCapture later("LumidotCaptureC");
    later.openOwnPort();
    portChangeTo("LumidotCaptureC:capture");
    EXPECT_EQ(later.receive(2), greeting());
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join("|").toStdString();
}

} // namespace
} // namespace lumidot
