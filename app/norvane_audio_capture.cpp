// norvane-audio-capture: the companion that captures what the computer plays and feeds the
// program's music lighting over the session bus (docs/ipc.md).
#include "app/audio_capture/companion.h"
#include "app/audio_capture/pulse_source.h"
#include "app/audio_capture/wav_source.h"
#include "platform/diag.h"
#include "platform/ipc/dbus/dbus_bus.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace {

namespace ac = norvane::audio_capture;
namespace ipc = norvane::platform::ipc;

constexpr std::chrono::milliseconds kPoll{100};
// How often the program's bus name is looked at (a call on the bus each time).
constexpr std::chrono::milliseconds kPresenceCheck{500};
// A program that never shows up (it ended before the companion started) ends the companion.
constexpr std::chrono::seconds kProgramWait{10};

constexpr std::string_view kUsage =
    "usage: norvane-audio-capture [--wav FILE [--loop] [--fast]]\n"
    "Captures the sound output (or plays FILE, 16-bit PCM WAV) and sends its levels to NORVANE.\n";

struct Arguments {
    std::optional<std::string> wav;
    bool loop = false;
    bool fast = false;
};

std::optional<Arguments> Parse(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--wav" && i + 1 < argc) {
            args.wav = argv[++i];
        } else if (a == "--loop") {
            args.loop = true;
        } else if (a == "--fast") {
            args.fast = true;
        } else {
            return std::nullopt;
        }
    }
    if ((args.loop || args.fast) && !args.wav) {
        return std::nullopt;
    }
    return args;
}

// True when SIGINT or SIGTERM came within `wait`.
bool SignalCame(const sigset_t& stopSignals, std::chrono::milliseconds wait) {
    const timespec timeout{0, static_cast<long>(std::chrono::nanoseconds(wait).count())};
    return sigtimedwait(&stopSignals, nullptr, &timeout) > 0;
}

}  // namespace

int main(int argc, char** argv) {
    const auto args = Parse(argc, argv);
    if (!args) {
        std::cerr << kUsage;
        return 2;
    }
    ac::Companion::SourceFactory factory;
    if (args->wav) {
        ac::WavResult wav = ac::ReadWav(*args->wav);
        if (!wav.error.empty()) {
            std::cerr << "norvane-audio-capture: " << wav.error << '\n';
            return 2;
        }
        const auto pace = args->fast ? ac::WavSource::Pace::kFast : ac::WavSource::Pace::kRealTime;
        factory = [sound = std::move(wav.sound), loop = args->loop,
                   pace]() -> std::unique_ptr<ac::ISoundSource> {
            return std::make_unique<ac::WavSource>(sound, loop, pace);
        };
    } else {
        factory = []() -> std::unique_ptr<ac::ISoundSource> {
            std::string error;
            auto source = ac::PulseSource::Open(48000 / ac::kHopsPerSecond, error);
            if (!source) {
                std::cerr << "norvane-audio-capture: " << error << '\n';
            }
            return source;
        };
    }

    // The stopSignals are taken here, before any thread starts, and waited for below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    auto peer = ipc::dbus::ConnectPeer(ipc::PeerRole::kAudioRecord);
    if (!peer) {
        std::cerr << "norvane-audio-capture: no session bus, or another companion runs\n";
        return 1;
    }
    int status = 0;
    {
        ac::Companion companion(*peer, std::move(factory));
        peer->SetEventHandler([&companion](ipc::PeerEvent event) { companion.OnPeerEvent(event); });
        const auto started = std::chrono::steady_clock::now();
        bool programSeen = false;
        auto nextCheck = started;
        while (!companion.WaitForQuit(std::chrono::milliseconds(0))) {
            if (const auto now = std::chrono::steady_clock::now(); now >= nextCheck) {
                nextCheck = now + kPresenceCheck;
                // Attached: the program was there, even if it left before the first look.
                const bool present = peer->ProgramPresent();
                if (present || companion.Attached()) {
                    programSeen = true;
                }
                if (!present && (programSeen || now - started > kProgramWait)) {
                    norvane::platform::diag::Trace("audio capture: the program is gone, ending");
                    status = programSeen ? 0 : 1;
                    break;
                }
            }
            if (SignalCame(stopSignals, kPoll)) {
                norvane::platform::diag::Trace("audio capture: signal, ending");
                break;
            }
        }
        peer->SetEventHandler({});
    }
    peer.reset();
    return status;
}
