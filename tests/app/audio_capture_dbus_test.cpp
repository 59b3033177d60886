// The real norvane-audio-capture on a private session bus (each case under dbus-run-session),
// with this test as the program: it owns the program's name and takes the companion's data.
#include "app/audio_capture/level_analyser.h"
#include "platform/ipc/dbus/dbus_bus.h"
#include "tests/app/audio_capture_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace norvane::audio_capture {
namespace {

namespace ipc = platform::ipc;
using namespace std::chrono_literals;
using test::Word;

bool AllZero(std::span<const std::uint8_t> block) {
    return std::all_of(block.begin(), block.end(), [](std::uint8_t b) { return b == 0; });
}

class CompanionProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr) << "run under dbus-run-session";
        ConnectProgram();
    }
    void TearDown() override {
        if (program) {
            program->SetEventHandler({});
        }
    }

    void ConnectProgram() {
        ipc::dbus::Options options;
        options.watchPower = false;
        options.lockFolder = lockDir.Path();
        program = ipc::dbus::Connect(options);
        ASSERT_EQ(program->ClaimInstance(), ipc::InstanceClaim::kPrimary);
        program->SetEventHandler([this](ipc::Event event) {
            if (auto* data = std::get_if<ipc::AudioDataEvent>(&event)) {
                const std::lock_guard lock(mutex);
                blocks.push_back(std::move(*data));
                arrived.notify_all();
            }
        });
    }

    // `seconds` of a 1 kHz full-scale tone, then `silence` seconds of nothing, 48 kHz mono.
    std::filesystem::path ToneFile(double seconds, double silence) {
        auto samples = test::Tone(48000, 1, 1000, 1.0, seconds);
        samples.resize(samples.size() + static_cast<std::size_t>(silence * 48000), 0);
        const auto path = dir.Path() / "tone.wav";
        test::WriteFile(path, MakeWav({48000, 1}, samples));
        return path;
    }

    static std::unique_ptr<test::ChildProcess> Launch(const std::vector<std::string>& args) {
        std::vector<std::string> all{std::string(NORVANE_AUDIO_CAPTURE)};
        all.insert(all.end(), args.begin(), args.end());
        return std::make_unique<test::ChildProcess>(std::move(all));
    }

    bool WaitForCompanion() {
        for (int i = 0; i < 500 && !program->AudioRecordPresent(); ++i) {
            std::this_thread::sleep_for(10ms);
        }
        return program->AudioRecordPresent();
    }

    void StartCapture() {
        EXPECT_TRUE(
            program->SendAudioCommand(ipc::AudioCommand::kAttach, static_cast<std::uint32_t>(::getpid())));
        EXPECT_TRUE(program->SendAudioCommand(ipc::AudioCommand::kOpen, 0));
        EXPECT_TRUE(program->SendAudioCommand(ipc::AudioCommand::kStartCapture, 0));
    }

    // Waits for a block of `kind` that satisfies `check`, looking only at blocks after `from`.
    template <typename Check>
    std::optional<std::size_t> WaitFor(std::uint32_t kind, Check check, std::size_t from = 0,
                                       std::chrono::milliseconds limit = 5s) {
        std::unique_lock lock(mutex);
        std::optional<std::size_t> found;
        arrived.wait_for(lock, limit, [&] {
            for (std::size_t i = from; i < blocks.size(); ++i) {
                if (blocks[i].kind == kind && check(std::span<const std::uint8_t>(blocks[i].block))) {
                    found = i;
                    return true;
                }
            }
            return false;
        });
        return found;
    }
    std::size_t Count() {
        const std::lock_guard lock(mutex);
        return blocks.size();
    }

    test::TempDir dir;
    test::TempDir lockDir;
    std::unique_ptr<ipc::IBus> program;
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<ipc::AudioDataEvent> blocks;
};

TEST_F(CompanionProcessTest, StartCommandsBringTheTonesLevelsThenSilenceGivesZerosAndStopEndsIt) {
    auto companion = Launch({"--wav", ToneFile(0.5, 1.0).string()});
    ASSERT_TRUE(WaitForCompanion());
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Count(), 0U);  // nothing before start
    StartCapture();

    const auto tone = WaitFor(ipc::kAudioLevelsKind, [](auto b) {
        return Word(b, kBandWord + 16) >= 250 && Word(b, kThreeBandWord + 1) == 255 && Word(b, 0) == 255;
    });
    ASSERT_TRUE(tone);
    {
        const std::lock_guard lock(mutex);
        const auto& levels = blocks[*tone].block;
        EXPECT_EQ(levels.size(), ipc::kAudioLevelsMaxBytes);
        EXPECT_LT(Word(levels, kThreeBandWord), 100);      // low
        EXPECT_LT(Word(levels, kThreeBandWord + 2), 100);  // high
        const auto samples = std::find_if(blocks.begin(), blocks.end(),
                                          [](const auto& b) { return b.kind == ipc::kAudioSamplesKind; });
        ASSERT_NE(samples, blocks.end());
        EXPECT_EQ(samples->block.size(), kSampleWords * 4);
    }
    // The silence after the tone.
    ASSERT_TRUE(WaitFor(ipc::kAudioLevelsKind, AllZero, *tone));

    EXPECT_TRUE(program->SendAudioCommand(ipc::AudioCommand::kStopCapture, 0));
    EXPECT_TRUE(program->SendAudioCommand(ipc::AudioCommand::kClose, 0));
    EXPECT_TRUE(program->SendAudioCommand(ipc::AudioCommand::kDetach, 0));
    EXPECT_EQ(companion->Wait(3s), 0);
    EXPECT_FALSE(program->AudioRecordPresent());
}

TEST_F(CompanionProcessTest, EndsWhenTheProgramLeavesTheBus) {
    auto companion = Launch({"--wav", ToneFile(0.2, 0.0).string(), "--loop"});
    ASSERT_TRUE(WaitForCompanion());
    StartCapture();
    ASSERT_TRUE(WaitFor(ipc::kAudioLevelsKind, [](auto) { return true; }));
    program->SetEventHandler({});
    program.reset();
    EXPECT_EQ(companion->Wait(3s), 0);
}

TEST_F(CompanionProcessTest, EndsOnTermAndIntWhileCapturing) {
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        auto companion = Launch({"--wav", ToneFile(0.2, 0.0).string(), "--loop"});
        ASSERT_TRUE(WaitForCompanion());
        StartCapture();
        ASSERT_TRUE(WaitFor(
            ipc::kAudioLevelsKind, [](auto) { return true; }, Count()));
        ::kill(companion->Pid(), signal);
        EXPECT_EQ(companion->Wait(3s), 0);
        for (int i = 0; i < 100 && program->AudioRecordPresent(); ++i) {
            std::this_thread::sleep_for(10ms);
        }
        EXPECT_FALSE(program->AudioRecordPresent());
    }
}

TEST_F(CompanionProcessTest, BadFilesAndArgumentsAndASecondCompanionAreRefused) {
    const auto eightBit = dir.Path() / "eight.wav";
    auto bytes = MakeWav({8000, 1}, test::Tone(8000, 1, 440, 0.5, 0.1));
    bytes[34] = 8;
    test::WriteFile(eightBit, bytes);
    EXPECT_EQ(Launch({"--wav", eightBit.string()})->Wait(3s), 2);
    EXPECT_EQ(Launch({"--wav", (dir.Path() / "missing.wav").string()})->Wait(3s), 2);
    EXPECT_EQ(Launch({"--loop"})->Wait(3s), 2);
    EXPECT_EQ(Launch({"--unknown"})->Wait(3s), 2);

    auto first = Launch({"--wav", ToneFile(0.2, 0.0).string()});
    ASSERT_TRUE(WaitForCompanion());
    EXPECT_EQ(Launch({"--wav", ToneFile(0.2, 0.0).string()})->Wait(3s), 1);
    EXPECT_TRUE(program->SendAudioCommand(ipc::AudioCommand::kDetach, 0));
    EXPECT_EQ(first->Wait(3s), 0);
}

}  // namespace
}  // namespace norvane::audio_capture

int main(int argc, char** argv) {
    // The D-Bus backend needs a QCoreApplication; its loop is not run.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
