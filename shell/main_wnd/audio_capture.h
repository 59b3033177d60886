#pragma once

#include "platform/ipc/bus.h"
#include "shell/main_wnd/rhythm_step.h"

#include <sys/types.h>

#include <chrono>
#include <filesystem>

namespace norvane::devices {
class CTarnexUSBDevice;
}  // namespace norvane::devices

namespace norvane::shell {

// The companion's executable: "norvane-audio-capture" beside the running program, else in the
// installation's libexec folder (../libexec from the program's folder); empty when neither exists.
std::filesystem::path FindAudioCaptureProgram();
std::filesystem::path FindAudioCaptureProgram(const std::filesystem::path& programFolder);

// The main window's side of the audio-capture companion: starting and stopping it, and its
// sound data for the keyboard's music lighting. Runs on the UI thread.
class AudioCaptureLink {
public:
    struct Options {
        platform::ipc::IBus* bus = nullptr;
        std::filesystem::path program;               // launched when no companion is on the bus; empty: never
        std::chrono::milliseconds appearWait{3000};  // for a launched companion to take its name
        std::chrono::milliseconds exitWait{1000};    // for it to end after detach
    };

    explicit AudioCaptureLink(Options options);
    // Stops the companion (bounded) when it was started.
    ~AudioCaptureLink();
    AudioCaptureLink(const AudioCaptureLink&) = delete;
    AudioCaptureLink& operator=(const AudioCaptureLink&) = delete;

    // Sends attach, open, start capture to the companion on the bus; without one, launches it
    // and returns at once: Check then sends them once it has taken its name. Nothing when it
    // cannot be found; once only.
    void Start();
    // A launched companion that has not taken its name yet (for at most appearWait).
    bool Waiting() const { return waiting_; }
    // While waiting: the commands go out once the companion is on the bus; a companion that ended
    // or did not appear in time is given up (a stray one is reaped by Stop).
    void Check();
    // Sends stop capture, close, detach and reaps a launched companion: it gets exitWait to end,
    // then SIGTERM and 500 ms, then SIGKILL. Idempotent.
    void Stop();
    // A data block: kind 1 through the rhythm step to keyboard->FeedAudioSpectrum, kind 2 to
    // keyboard->FeedAudioLevels (six values). Nothing without a keyboard or with an empty block.
    void OnAudioData(std::uint32_t kind, std::span<const std::uint8_t> block,
                     devices::CTarnexUSBDevice* keyboard);

    // The process launched by Start, or -1.
    pid_t Launched() const { return child_; }
    bool Started() const { return started_; }

private:
    bool Launch();
    void SendStartCommands();
    void Reap();

    Options options_;
    RhythmStep rhythm_;
    pid_t child_ = -1;
    bool waiting_ = false;
    std::chrono::steady_clock::time_point appearBy_{};
    bool started_ = false;
    bool stopped_ = false;
};

}  // namespace norvane::shell
