#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "audio/CaptureSource.h"
#include "platform/SoundServer.h"

// Helpers for the tests that run against a real sound server (the private one of the test
// suite, reached through PULSE_SERVER, or a throwaway one of a test's own).
namespace orvel::test {

// A test that talks to the sound server of PULSE_SERVER.
class ConnectedTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        m_server = platform::connectSoundServer(&error);
        ASSERT_NE(m_server, nullptr) << error;
        ASSERT_TRUE(m_server->isConnected());
    }

    std::unique_ptr<platform::SoundServer> m_server;
};

// Runs pactl against the server of PULSE_SERVER; nullopt when it fails.
std::optional<std::string> pactl(const QStringList& arguments);

// A module loaded for one test and unloaded after it, whatever the test's outcome.
class LoadedModule {
public:
    explicit LoadedModule(const QStringList& arguments);
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    bool loaded() const { return !m_index.empty(); }
    bool unload();

private:
    std::string m_index;
};

// Puts a source's or sink's volume back to normal after a test that changes it.
class VolumeRestorer {
public:
    enum class Kind { Source, Sink };
    VolumeRestorer(Kind kind, std::string name) : m_kind(kind), m_name(std::move(name)) {}
    ~VolumeRestorer();
    VolumeRestorer(const VolumeRestorer&) = delete;
    VolumeRestorer& operator=(const VolumeRestorer&) = delete;

private:
    Kind m_kind;
    std::string m_name;
};

// Waits, handling queued signals meanwhile, until the condition holds or the time is up.
template <class Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Keeps everything a capture source delivers, with the arrival time of each piece.
class RecordingConsumer : public CaptureConsumer {
public:
    using Clock = std::chrono::steady_clock;
    struct Piece {
        Clock::time_point arrival;
        std::size_t bytes;
        bool hole;
    };

    explicit RecordingConsumer(std::uint8_t silence = 0) : m_silence(silence) {}

    void onCapturedData(const std::uint8_t* data, std::size_t bytes) override;
    void onCaptureEnded(CaptureEnd reason, const std::string& detail) override;
    std::size_t waitForRoom(std::size_t wanted, std::chrono::milliseconds) override {
        return wanted;
    }

    std::vector<std::uint8_t> pcm() const;
    std::vector<Piece> pieces() const;
    std::size_t bytes() const;
    std::optional<CaptureEnd> endReason() const;
    int endCount() const;
    bool deliveredAfterEnd() const;
    // Bytes received so far; the data stops growing when the capture ended or was stopped.
    bool waitForBytes(std::size_t bytes, std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex m_mutex;
    std::uint8_t m_silence;
    std::vector<std::uint8_t> m_pcm;
    std::vector<Piece> m_pieces;
    std::optional<CaptureEnd> m_end;
    int m_endCount = 0;
    bool m_afterEnd = false;
};

// Records `seconds` of sound from a line after its first data arrived (a monitor may take up
// to two seconds to deliver its first piece); empty when the capture fails.
std::vector<std::uint8_t> recordLine(platform::SoundServer& server, const std::string& source,
                                     const AudioFormat& format, double seconds);

// A sound server of the test's own, started with the project's script in a temporary folder,
// so that a test may stop, freeze or kill it. Its clients find it through the PULSE_SERVER
// this object sets while it lives.
class ThrowawayServer {
public:
    ThrowawayServer();
    ~ThrowawayServer();
    ThrowawayServer(const ThrowawayServer&) = delete;
    ThrowawayServer& operator=(const ThrowawayServer&) = delete;

    bool running() const { return m_running; }
    bool stop();
    bool freeze(bool frozen);  // stops or continues the daemon's process

private:
    std::string script() const;
    QTemporaryDir m_dir;
    bool m_running = false;
    QByteArray m_oldServer;
    bool m_hadServer = false;
};

}  // namespace orvel::test
