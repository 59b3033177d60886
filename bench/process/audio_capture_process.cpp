// The audio-capture companion as a process: CPU while it plays a WAV file in real time, and the
// time from a tone's onset in the sound to the first keyboard frame (mode 30) that shows it.
//
//   dbus-run-session -- norvane_audio_capture_process PATH/norvane-audio-capture [SECONDS]
//
// This program plays NORVANE's part on the bus: it owns the program's name, starts the capture
// and feeds each levels block to a keyboard light engine, as the main window does.
#include "app/audio_capture/level_analyser.h"
#include "app/audio_capture/wav_file.h"
#include "devices/light/keyboard_engine.h"
#include "platform/ipc/dbus/dbus_bus.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

#include <QCoreApplication>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <numbers>
#include <sstream>
#include <thread>
#include <vector>

namespace {

namespace ipc = norvane::platform::ipc;
namespace ac = norvane::audio_capture;
using Clock = std::chrono::steady_clock;

constexpr unsigned kRate = 48000;
constexpr double kPeriodSeconds = 0.5;  // 250 ms silence, then 250 ms of tone, over and over
constexpr double kOnsetSeconds = 0.25;

long CpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(in, text);
    if (text.find(')') == std::string::npos) {
        return 0;
    }
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    for (int i = 0; i < 13 && fields >> field; ++i) {
        if (i == 11) {
            utime = std::stol(field);
        } else if (i == 12) {
            stime = std::stol(field);
        }
    }
    return utime + stime;
}

struct Arrival {
    Clock::time_point at;
    std::array<std::int32_t, 6> six{};
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH/norvane-audio-capture [SECONDS]\n", argv[0]);
        return 2;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    QCoreApplication app(argc, argv);
    norvane::test::TempDir dir;

    // A chord in the tone half of every period.
    std::vector<std::int16_t> samples(static_cast<std::size_t>(kPeriodSeconds * kRate));
    for (std::size_t i = static_cast<std::size_t>(kOnsetSeconds * kRate); i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double v = 0.3 * std::sin(2 * std::numbers::pi * 220 * t) +
                         0.3 * std::sin(2 * std::numbers::pi * 1000 * t) +
                         0.2 * std::sin(2 * std::numbers::pi * 5000 * t);
        samples[i] = static_cast<std::int16_t>(std::lround(v * 32767));
    }
    const auto wav = dir.Path() / "bench.wav";
    const auto bytes = ac::MakeWav({kRate, 1}, samples);
    std::ofstream(wav, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    ipc::dbus::Options options;
    options.watchPower = false;
    options.lockFolder = dir.Path();
    auto program = ipc::dbus::Connect(options);
    if (program->ClaimInstance() != ipc::InstanceClaim::kPrimary) {
        std::fprintf(stderr, "the program's name is taken; run under dbus-run-session\n");
        return 1;
    }
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<Arrival> levels;
    std::size_t sampleBlocks = 0;
    program->SetEventHandler([&](ipc::Event event) {
        const auto* data = std::get_if<ipc::AudioDataEvent>(&event);
        if (data == nullptr) {
            return;
        }
        Arrival arrival{Clock::now(), {}};
        const std::lock_guard lock(mutex);
        if (data->kind == ipc::kAudioLevelsKind) {
            for (std::size_t i = 0; i < 6; ++i) {
                arrival.six[i] = static_cast<std::int32_t>(ipc::ReadBlockWord(data->block, 4 * i));
            }
            levels.push_back(arrival);
            arrived.notify_all();
        } else {
            ++sampleBlocks;
        }
    });

    norvane::test::ChildProcess companion({argv[1], "--wav", wav.string(), "--loop"});
    for (int i = 0; i < 500 && !program->AudioRecordPresent(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!program->AudioRecordPresent()) {
        std::fprintf(stderr, "the companion did not appear on the bus\n");
        return 1;
    }
    program->SendAudioCommand(ipc::AudioCommand::kAttach, static_cast<std::uint32_t>(::getpid()));
    program->SendAudioCommand(ipc::AudioCommand::kOpen, 0);
    const Clock::time_point soundStart = Clock::now();  // the file starts playing at open
    program->SendAudioCommand(ipc::AudioCommand::kStartCapture, 0);

    const long ticksBefore = CpuTicks(companion.Pid());
    const Clock::time_point measureStart = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const long ticksAfter = CpuTicks(companion.Pid());
    const double elapsed = std::chrono::duration<double>(Clock::now() - measureStart).count();
    program->SendAudioCommand(ipc::AudioCommand::kStopCapture, 0);
    program->SendAudioCommand(ipc::AudioCommand::kClose, 0);
    program->SendAudioCommand(ipc::AudioCommand::kDetach, 0);
    const int status = companion.Wait(std::chrono::seconds(3));
    program->SetEventHandler({});

    // The keyboard side: each levels block into the engine at its arrival, one step, and the
    // first frame after an onset whose colour is lit.
    norvane::devices::light::KeyboardLightEngine engine;
    norvane::config::LightInfo light;
    light.selectedMode = 30;
    light.brightness = 4;
    engine.SetLightState(light);
    engine.SetMode(30, 4);
    norvane::devices::light::LightFrame frame(170);
    std::vector<double> latencies;
    std::size_t period = 1;
    std::vector<Arrival> copy;
    std::size_t samplesCount = 0;
    {
        const std::lock_guard lock(mutex);
        copy = levels;
        samplesCount = sampleBlocks;
    }
    for (const Arrival& a : copy) {
        const double at = std::chrono::duration<double>(a.at - soundStart).count();
        const double onset = (static_cast<double>(period) - 1) * kPeriodSeconds + kOnsetSeconds;
        engine.FeedAudioLevels(a.six);
        const auto before = Clock::now();
        engine.Step(static_cast<std::uint32_t>(at * 1000), frame);
        const double frameAt = at + std::chrono::duration<double>(Clock::now() - before).count();
        if (at < onset) {
            continue;
        }
        if (frame.Get(51).red > 0) {
            latencies.push_back((frameAt - onset) * 1000.0);
            ++period;
        } else if (at > onset + kPeriodSeconds / 2) {
            ++period;  // missed: the tone half ended unseen
        }
    }
    std::sort(latencies.begin(), latencies.end());
    const double cpu = 100.0 * static_cast<double>(ticksAfter - ticksBefore) /
                       static_cast<double>(::sysconf(_SC_CLK_TCK)) / elapsed;
    std::printf("companion CPU while capturing in real time: %.2f %% of one core over %.1f s\n", cpu,
                elapsed);
    std::printf("blocks received: %zu levels, %zu samples (%.1f per second each)\n", copy.size(),
                samplesCount, static_cast<double>(copy.size()) / elapsed);
    if (!latencies.empty()) {
        std::printf(
            "tone onset to lit keyboard frame: median %.1f ms, max %.1f ms over %zu onsets (%zu missed)\n",
            latencies[latencies.size() / 2], latencies.back(), latencies.size(),
            period - 1 - latencies.size());
    }
    std::printf("companion exit status: %d\n", status);
    return status == 0 && !latencies.empty() ? 0 : 1;
}
