#include "devices/usb_device.h"
#include "platform/ipc/in_process_bus.h"
#include "shell/main_wnd/audio_capture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <fstream>
#include <mutex>
#include <vector>

namespace norvane::shell {
namespace {

namespace ipc = platform::ipc;
using namespace std::chrono_literals;

// A device page that keeps what the music lighting hands it.
class AudioProbe : public devices::CTarnexUSBDevice {
public:
    std::vector<std::vector<std::int32_t>> spectra;
    std::vector<std::vector<std::int32_t>> levels;
    void FeedAudioSpectrum(std::span<const std::int32_t> values) override {
        spectra.emplace_back(values.begin(), values.end());
    }
    void FeedAudioLevels(std::span<const std::int32_t> values) override {
        levels.emplace_back(values.begin(), values.end());
    }
};

struct Heard {
    std::mutex mutex;
    std::vector<ipc::PeerEvent> events;
    void Add(ipc::PeerEvent e) {
        const std::lock_guard lock(mutex);
        events.push_back(std::move(e));
    }
    std::vector<ipc::PeerEvent> Take() {
        const std::lock_guard lock(mutex);
        return std::exchange(events, {});
    }
};

std::vector<ipc::PeerEvent> Commands(
    std::initializer_list<std::pair<ipc::AudioCommand, std::uint32_t>> list) {
    std::vector<ipc::PeerEvent> out;
    for (const auto& [code, value] : list) {
        out.emplace_back(ipc::AudioCommandCall{code, value});
    }
    return out;
}

class AudioCaptureLinkTest : public ::testing::Test {
protected:
    ipc::InProcessBus bus;
    std::unique_ptr<ipc::IBus> program = bus.ConnectProgram();
    Heard heard;
};

TEST_F(AudioCaptureLinkTest, StartSendsAttachOpenStartAndStopSendsStopCloseDetachOnce) {
    auto companion = bus.ConnectPeer(ipc::PeerRole::kAudioRecord);
    companion->SetEventHandler([&](ipc::PeerEvent e) { heard.Add(std::move(e)); });
    {
        AudioCaptureLink link({.bus = program.get(), .program = {}});
        link.Start();
        link.Start();
        EXPECT_EQ(heard.Take(),
                  Commands({{ipc::AudioCommand::kAttach, static_cast<std::uint32_t>(::getpid())},
                            {ipc::AudioCommand::kOpen, 0},
                            {ipc::AudioCommand::kStartCapture, 0}}));
        EXPECT_EQ(link.Launched(), -1);  // it was on the bus already
        link.Stop();
        EXPECT_EQ(heard.Take(), Commands({{ipc::AudioCommand::kStopCapture, 0},
                                          {ipc::AudioCommand::kClose, 0},
                                          {ipc::AudioCommand::kDetach, 0}}));
    }
    EXPECT_TRUE(heard.Take().empty());  // not again when the link goes
}

TEST_F(AudioCaptureLinkTest, WithoutCompanionOrProgramNothingIsSentOrStarted) {
    AudioCaptureLink link({.bus = program.get(), .program = "/nonexistent/norvane-audio-capture"});
    link.Start();
    EXPECT_EQ(link.Launched(), -1);
    link.Stop();
    EXPECT_TRUE(FindAudioCaptureProgram("/nonexistent/bin").empty());
}

// Start does not wait for a launched companion: the commands go out on the first check after it
// took its name.
TEST_F(AudioCaptureLinkTest, ALaunchedCompanionGetsTheStartCommandsOnceItIsOnTheBus) {
    test::TempDir dir;
    const auto script = dir.Path() / "norvane-audio-capture";
    std::ofstream(script) << "#!/bin/sh\nexec sleep 30\n";
    ::chmod(script.c_str(), 0700);
    AudioCaptureLink link({.bus = program.get(), .program = script, .appearWait = 10s, .exitWait = 50ms});
    link.Start();
    ASSERT_GT(link.Launched(), 0);
    EXPECT_TRUE(link.Waiting());
    link.Check();
    EXPECT_TRUE(link.Waiting());

    auto companion = bus.ConnectPeer(ipc::PeerRole::kAudioRecord);
    companion->SetEventHandler([&](ipc::PeerEvent e) { heard.Add(std::move(e)); });
    link.Check();
    EXPECT_FALSE(link.Waiting());
    EXPECT_EQ(heard.Take(), Commands({{ipc::AudioCommand::kAttach, static_cast<std::uint32_t>(::getpid())},
                                      {ipc::AudioCommand::kOpen, 0},
                                      {ipc::AudioCommand::kStartCapture, 0}}));
    companion.reset();  // gone before the stop: the launched process is reaped all the same
    link.Stop();
    EXPECT_EQ(link.Launched(), -1);
}

TEST_F(AudioCaptureLinkTest, ALaunchedCompanionThatNeverAnswersIsKilledWithinBounds) {
    test::TempDir dir;
    // Ignores SIGTERM and never takes the bus name.
    const auto script = dir.Path() / "norvane-audio-capture";
    std::ofstream(script) << "#!/bin/sh\ntrap '' TERM\nexec sleep 30\n";
    ::chmod(script.c_str(), 0700);
    EXPECT_EQ(FindAudioCaptureProgram(dir.Path()), script);

    AudioCaptureLink link({.bus = program.get(), .program = script, .appearWait = 100ms, .exitWait = 50ms});
    const auto begun = std::chrono::steady_clock::now();
    link.Start();
    const pid_t pid = link.Launched();
    ASSERT_GT(pid, 0);
    EXPECT_EQ(::kill(pid, 0), 0);
    link.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - begun, 2s);
    EXPECT_EQ(link.Launched(), -1);
    // Reaped: the process id no longer exists as our child.
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), -1);
}

TEST_F(AudioCaptureLinkTest, InstalledLayoutFindsTheCompanionInLibexec) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "bin");
    std::filesystem::create_directories(dir.Path() / "libexec");
    const auto installed = dir.Path() / "libexec" / "norvane-audio-capture";
    std::ofstream(installed) << "#!/bin/sh\n";
    ::chmod(installed.c_str(), 0700);
    EXPECT_EQ(FindAudioCaptureProgram(dir.Path() / "bin"), installed);
}

// A kind 1 block whose value 0 is `value`.
std::vector<std::uint8_t> Samples(std::int32_t value) {
    std::vector<std::uint8_t> block(2000, 0);
    const auto word = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) {
        block[i] = static_cast<std::uint8_t>(word >> (8 * i));
    }
    return block;
}

TEST_F(AudioCaptureLinkTest, SamplesGoThroughTheRhythmAndLevelsGoAsSixValues) {
    AudioCaptureLink link({.bus = program.get(), .program = {}});
    AudioProbe keyboard;
    link.OnAudioData(ipc::kAudioSamplesKind, Samples(400), &keyboard);
    link.OnAudioData(ipc::kAudioSamplesKind, Samples(0), &keyboard);
    EXPECT_TRUE(keyboard.spectra.empty());
    link.OnAudioData(ipc::kAudioSamplesKind, Samples(400), &keyboard);
    ASSERT_EQ(keyboard.spectra.size(), 1U);
    // means: 400/4 = 100, (100 + 400)/4 = 125, (125 + 400)/4 = 131
    EXPECT_EQ(keyboard.spectra[0].size(), 500U);
    EXPECT_EQ(keyboard.spectra[0][0], 131);
    EXPECT_EQ(keyboard.spectra[0][1], 0);

    std::vector<std::uint8_t> levels(156, 0);
    for (std::size_t w = 0; w < 39; ++w) {
        levels[w * 4] = static_cast<std::uint8_t>(w + 1);
    }
    link.OnAudioData(ipc::kAudioLevelsKind, levels, &keyboard);
    ASSERT_EQ(keyboard.levels.size(), 1U);
    EXPECT_EQ(keyboard.levels[0], (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
    // A short block: the missing values are 0.
    link.OnAudioData(ipc::kAudioLevelsKind, std::vector<std::uint8_t>{9, 0, 0, 0, 8}, &keyboard);
    EXPECT_EQ(keyboard.levels.back(), (std::vector<std::int32_t>{9, 0, 0, 0, 0, 0}));
    // Empty blocks and unknown kinds are dropped; no keyboard is no failure.
    link.OnAudioData(ipc::kAudioLevelsKind, {}, &keyboard);
    link.OnAudioData(7, levels, &keyboard);
    link.OnAudioData(ipc::kAudioLevelsKind, levels, nullptr);
    EXPECT_EQ(keyboard.levels.size(), 2U);
}

}  // namespace
}  // namespace norvane::shell
