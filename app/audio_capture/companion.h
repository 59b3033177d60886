#pragma once

#include "app/audio_capture/level_analyser.h"
#include "app/audio_capture/sound_source.h"
#include "platform/ipc/bus.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// The companion's work: obeys the program's commands and, while capturing, sends a kind 1 and a
// kind 2 block to the program every 25 ms of sound. Once the same block has gone
// kRepeatsBeforeQuiet times in a row (silence), it is not sent again until the sound changes.
//
// Commands (AudioCommand): 0 attach (the program's process id), 3 open (the sound source),
// 1 start capture, 2 stop capture (one block of zero levels follows, so that no colour is left
// standing), 4 close (the source is released), 5 detach (the companion ends). Codes 6, 7, 8 set
// the red, green and blue of the music colour; the kind 10 block sets all three. The colour
// starts white. Start without open opens the source first. When the sound ends (the end of a file
// played once, a lost sound server) the companion stops and closes as on 2 and 4.
namespace norvane::audio_capture {

class Companion {
public:
    // Makes the sound source on open; nothing when there is none (the reason goes to the trace).
    using SourceFactory = std::function<std::unique_ptr<ISoundSource>()>;

    // `peer` must outlive the companion. The capture thread starts at once and idles until
    // the program asks for sound.
    Companion(platform::ipc::IPeer& peer, SourceFactory openSource);
    // Stops the capture thread: at most one read of 25 ms.
    ~Companion();
    Companion(const Companion&) = delete;
    Companion& operator=(const Companion&) = delete;

    // A call of the program (from the bus thread).
    void OnPeerEvent(const platform::ipc::PeerEvent& event);
    void RequestQuit();
    // Waits at most `timeout` for detach or RequestQuit; true once asked to end.
    bool WaitForQuit(std::chrono::milliseconds timeout);
    bool Attached() const;
    bool Capturing() const;
    Rgb Colour() const;
    // Blocks sent to the program so far.
    std::uint64_t BlocksSent() const;

    static constexpr int kRepeatsBeforeQuiet = 8;

private:
    void Run();
    void OnCommand(platform::ipc::AudioCommand code, std::uint32_t value);
    void Send(std::uint32_t kind, std::span<const std::uint8_t> block);
    // Send, unless the block has been sent kRepeatsBeforeQuiet times in a row already.
    struct Repeats {
        std::vector<std::uint8_t> last;
        int count = 0;
    };
    void SendChanged(std::uint32_t kind, std::span<const std::uint8_t> block, Repeats& repeats);

    platform::ipc::IPeer& peer_;
    SourceFactory openSource_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool quit_ = false;
    bool attached_ = false;
    bool wantOpen_ = false;
    bool capturing_ = false;
    bool sendSilence_ = false;
    Rgb colour_;
    std::uint64_t sent_ = 0;
    std::thread thread_;  // last: starts after everything above exists
};

}  // namespace norvane::audio_capture
