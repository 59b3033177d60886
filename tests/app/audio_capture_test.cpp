#include "app/audio_capture/companion.h"
#include "app/audio_capture/level_analyser.h"
#include "app/audio_capture/wav_file.h"
#include "app/audio_capture/wav_source.h"
#include "platform/ipc/in_process_bus.h"
#include "tests/app/audio_capture_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>

namespace norvane::audio_capture {
namespace {

namespace ipc = platform::ipc;
using namespace std::chrono_literals;
using test::Tone;
using test::Word;

// ---- WAV files ----

TEST(WavFileTest, MonoAndStereoSixteenBitFilesAreReadBack) {
    for (const SoundFormat format : {SoundFormat{44100, 1}, SoundFormat{48000, 2}, SoundFormat{8000, 1}}) {
        SCOPED_TRACE(std::to_string(format.rate) + "/" + std::to_string(format.channels));
        const auto samples = Tone(format.rate, format.channels, 440, 0.5, 0.01);
        const WavResult read = ParseWav(MakeWav(format, samples));
        ASSERT_EQ(read.error, "");
        EXPECT_EQ(read.sound.format.rate, format.rate);
        EXPECT_EQ(read.sound.format.channels, format.channels);
        EXPECT_EQ(read.sound.samples, samples);
    }
}

TEST(WavFileTest, AnythingElseIsRefusedWithItsReason) {
    const auto good = MakeWav({48000, 1}, Tone(48000, 1, 440, 0.5, 0.01));
    auto patched = [&](std::size_t at, std::vector<std::uint8_t> bytes) {
        auto copy = good;
        std::copy(bytes.begin(), bytes.end(), copy.begin() + static_cast<std::ptrdiff_t>(at));
        return copy;
    };
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"empty", {}, "not a RIFF/WAVE file"},
        {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'}, "not a RIFF/WAVE file"},
        {"float samples", patched(20, {3, 0}), "not PCM"},
        {"8-bit", patched(34, {8, 0}), "8-bit samples"},
        {"24-bit", patched(34, {24, 0}), "24-bit samples"},
        {"three channels", patched(22, {3, 0}), "3 channels"},
        {"rate 4000", patched(24, {0xA0, 0x0F, 0, 0}), "rate 4000 Hz"},
        {"no data", std::vector<std::uint8_t>(good.begin(), good.begin() + 36), "no data chunk"},
        {"format chunk past the end", std::vector<std::uint8_t>(good.begin(), good.begin() + 24),
         "damaged format chunk"},
        {"data without samples", patched(40, {0, 0, 0, 0}), "no samples"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WavResult read = ParseWav(c.bytes);
        EXPECT_NE(read.error.find(c.reason), std::string::npos) << read.error;
        EXPECT_TRUE(read.sound.samples.empty());
    }
    EXPECT_NE(ReadWav("/nonexistent.wav").error.find("cannot read"), std::string::npos);
}

TEST(WavFileTest, SourcePlaysOnceOrLoopsAndPadsTheLastBlock) {
    WavSound sound{{8000, 1}, {1, 2, 3, 4, 5}};
    WavSource once(sound, false, WavSource::Pace::kFast);
    std::vector<std::int16_t> block(3);
    ASSERT_TRUE(once.Read(block));
    EXPECT_EQ(block, (std::vector<std::int16_t>{1, 2, 3}));
    ASSERT_TRUE(once.Read(block));
    EXPECT_EQ(block, (std::vector<std::int16_t>{4, 5, 0}));
    EXPECT_FALSE(once.Read(block));

    WavSource looping(sound, true, WavSource::Pace::kFast);
    std::vector<std::int16_t> seven(7);
    ASSERT_TRUE(looping.Read(seven));
    EXPECT_EQ(seven, (std::vector<std::int16_t>{1, 2, 3, 4, 5, 1, 2}));
}

TEST(WavFileTest, RealTimePacingDeliversNoFasterThanTheSoundPlays) {
    WavSource source({{8000, 1}, std::vector<std::int16_t>(8000)}, false, WavSource::Pace::kRealTime);
    std::vector<std::int16_t> block(800);  // 100 ms
    const auto begun = std::chrono::steady_clock::now();
    ASSERT_TRUE(source.Read(block));
    ASSERT_TRUE(source.Read(block));
    EXPECT_GE(std::chrono::steady_clock::now() - begun, 200ms);
}

// ---- Levels ----

std::array<std::int32_t, kLevelWords> LevelsOf(unsigned rate, unsigned channels, double hz, double amplitude,
                                               Rgb colour = {}) {
    LevelAnalyser analyser(rate);
    const auto sound = Tone(rate, channels, hz, amplitude, 0.2);
    analyser.Push(sound, channels);
    return analyser.Levels(colour);
}

int Loudest(const std::array<std::int32_t, kLevelWords>& words) {
    return static_cast<int>(std::max_element(words.begin() + kBandWord, words.end()) - words.begin() -
                            static_cast<std::ptrdiff_t>(kBandWord));
}

TEST(LevelAnalyserTest, SilenceGivesZeroEverywhere) {
    for (unsigned rate : {8000U, 44100U, 48000U, 96000U}) {
        const auto words = LevelsOf(rate, 2, 0, 0);
        EXPECT_EQ(words, (std::array<std::int32_t, kLevelWords>{})) << rate;
    }
}

TEST(LevelAnalyserTest, AToneLandsInItsBandsAndAFullScaleToneGivesTheTopLevel) {
    struct Case {
        double hz;
        std::size_t threeBand;  // 0 low, 1 middle, 2 high
        int bandLevel;          // at least; a tone near a band edge shares it with the neighbour
    };
    // Below about 250 Hz the bands are narrower than two analysis bins (23.4 Hz at 48 kHz), so
    // only a tone near a bin lands in its own band there: 150 Hz is such a tone.
    for (const unsigned rate : {44100U, 48000U}) {
        for (const Case c : {Case{150, 0, 225}, Case{1000, 1, 254}, Case{2500, 1, 240}, Case{6000, 2, 240}}) {
            SCOPED_TRACE(std::to_string(rate) + " Hz rate, tone " + std::to_string(c.hz));
            const auto words = LevelsOf(rate, 1, c.hz, 1.0);
            const int band = BandOf(c.hz);
            EXPECT_EQ(Loudest(words), band);
            EXPECT_GE(words[kBandWord + static_cast<std::size_t>(band)], c.bandLevel);
            EXPECT_EQ(words[kThreeBandWord + c.threeBand], 255);
            for (std::size_t other = 0; other < 3; ++other) {
                if (other != c.threeBand) {
                    EXPECT_LT(words[kThreeBandWord + other], 100) << other;
                }
            }
            // Bands an octave and more away stay low.
            for (int b = 0; b < static_cast<int>(kBandCount); ++b) {
                if (std::abs(b - band) > 6) {
                    EXPECT_LT(words[kBandWord + static_cast<std::size_t>(b)], 60) << "band " << b;
                }
            }
            // Loudness in white.
            EXPECT_EQ(words[0], 255);
            EXPECT_EQ(words[1], 255);
            EXPECT_EQ(words[2], 255);
        }
    }
    EXPECT_EQ(BandOf(1000), 16);
    EXPECT_EQ(BandOf(59.9), -1);
    EXPECT_EQ(BandOf(16000), -1);
}

TEST(LevelAnalyserTest, LevelFollowsDecibelsAndColourScalesWithLoudness) {
    EXPECT_EQ(LevelOfMeanSquare(0.5), 255);
    EXPECT_EQ(LevelOfMeanSquare(0.5 / 100), 170);  // -20 dBFS
    EXPECT_EQ(LevelOfMeanSquare(0.5 / 1e6), 0);    // -60 dBFS
    EXPECT_EQ(LevelOfMeanSquare(0), 0);
    // A tone at -20 dBFS, stereo, in orange.
    const auto words = LevelsOf(48000, 2, 1000, 0.1, {255, 128, 0});
    EXPECT_NEAR(words[kBandWord + 16], 170, 2);
    EXPECT_NEAR(words[0], 170, 2);
    EXPECT_NEAR(words[1], 170 * 128 / 255, 2);
    EXPECT_EQ(words[2], 0);
}

TEST(LevelAnalyserTest, SampleBlockHoldsTheNewestMonoSamplesScaledToTwelveBits) {
    LevelAnalyser analyser(48000);
    std::vector<std::int16_t> stereo;
    for (int i = 0; i < 600; ++i) {
        stereo.push_back(static_cast<std::int16_t>(i * 16));
        stereo.push_back(static_cast<std::int16_t>(i * 16 + 32));  // mean: i * 16 + 16
    }
    stereo.insert(stereo.end(), {32767, 32767, -32768, -32768});
    analyser.Push(stereo, 2);
    const auto block = analyser.SamplesBlock();
    EXPECT_EQ(Word(block, 499), -2048);
    EXPECT_EQ(Word(block, 498), 2047);
    EXPECT_EQ(Word(block, 497), 599 + 1);  // frame 599: (599*16 + 16) / 16
    EXPECT_EQ(Word(block, 0), 102 + 1);    // frame 102
}

// ---- The companion on an in-process bus ----

bool AllZero(std::span<const std::uint8_t> block) {
    return std::all_of(block.begin(), block.end(), [](std::uint8_t b) { return b == 0; });
}

class CompanionTest : public ::testing::Test {
protected:
    CompanionTest() {
        program->ClaimInstance();
        program->SetEventHandler([this](ipc::Event event) {
            if (auto* data = std::get_if<ipc::AudioDataEvent>(&event)) {
                const std::lock_guard lock(mutex);
                blocks.push_back(std::move(*data));
                arrived.notify_all();
            }
        });
    }
    ~CompanionTest() override { program->SetEventHandler({}); }

    // Waits until a kind 2 block from the `from`-th on satisfies `check`; false after 5 s.
    template <typename Check>
    bool WaitForLevels(Check check, std::size_t from = 0) {
        std::unique_lock lock(mutex);
        std::size_t seen = from;
        return arrived.wait_for(lock, 5s, [&] {
            for (; seen < blocks.size(); ++seen) {
                if (blocks[seen].kind == ipc::kAudioLevelsKind &&
                    check(std::span<const std::uint8_t>(blocks[seen].block))) {
                    return true;
                }
            }
            return false;
        });
    }
    std::size_t Count() {
        const std::lock_guard lock(mutex);
        return blocks.size();
    }

    ipc::InProcessBus bus;
    std::unique_ptr<ipc::IBus> program = bus.ConnectProgram();
    std::unique_ptr<ipc::IPeer> peer = bus.ConnectPeer(ipc::PeerRole::kAudioRecord);
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<ipc::AudioDataEvent> blocks;
};

Companion::SourceFactory Looping(std::vector<std::int16_t> samples) {
    return [samples = std::move(samples)]() -> std::unique_ptr<ISoundSource> {
        return std::make_unique<WavSource>(WavSound{{48000, 1}, samples}, true, WavSource::Pace::kRealTime);
    };
}

TEST_F(CompanionTest, CommandsStartLevelsInTheMusicColourAndStopWithZeros) {
    Companion companion(*peer, Looping(Tone(48000, 1, 1000, 1.0, 0.5)));
    peer->SetEventHandler([&](ipc::PeerEvent e) { companion.OnPeerEvent(e); });
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(Count(), 0U);  // nothing before start

    program->SendAudioCommand(ipc::AudioCommand::kAttach, 1234);
    program->SendAudioCommand(ipc::AudioCommand::kOpen, 0);
    program->SendAudioCommand(ipc::AudioCommand::kStartCapture, 0);
    EXPECT_TRUE(companion.Attached());
    ASSERT_TRUE(WaitForLevels(
        [](auto block) { return Word(block, kBandWord + 16) >= 250 && Word(block, 0) == 255; }));
    {
        const std::lock_guard lock(mutex);
        EXPECT_EQ(blocks.front().kind, ipc::kAudioSamplesKind);
        EXPECT_EQ(blocks.front().block.size(), kSampleWords * 4);
        EXPECT_EQ(blocks[1].block.size(), ipc::kAudioLevelsMaxBytes);
    }

    program->SendAudioCommand(ipc::AudioCommand::kRed, 10);
    program->SendAudioCommand(ipc::AudioCommand::kGreen, 0);
    program->SendAudioCommand(ipc::AudioCommand::kBlue, 200);
    ASSERT_TRUE(
        WaitForLevels([](auto b) { return Word(b, 0) == 10 && Word(b, 1) == 0 && Word(b, 2) == 200; }));
    const auto colour = ipc::MakeAudioColourBlock(7, 0, 9);  // green 0 goes as 1
    program->SendAudioColour(colour);
    ASSERT_TRUE(WaitForLevels([](auto b) { return Word(b, 0) == 7 && Word(b, 1) == 1 && Word(b, 2) == 9; }));

    program->SendAudioCommand(ipc::AudioCommand::kStopCapture, 0);
    ASSERT_TRUE(
        WaitForLevels([](auto b) { return std::all_of(b.begin(), b.end(), [](auto x) { return x == 0; }); }));
    std::this_thread::sleep_for(50ms);
    const std::size_t afterStop = Count();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Count(), afterStop);
    EXPECT_FALSE(companion.Capturing());

    program->SendAudioCommand(ipc::AudioCommand::kClose, 0);
    EXPECT_FALSE(companion.WaitForQuit(0ms));
    program->SendAudioCommand(ipc::AudioCommand::kDetach, 0);
    EXPECT_TRUE(companion.WaitForQuit(0ms));
    peer->SetEventHandler({});
}

TEST_F(CompanionTest, ASourceThatCannotOpenSendsNothingAndTheEndOfAFileSendsZeros) {
    {
        Companion companion(*peer, [] { return std::unique_ptr<ISoundSource>(); });
        peer->SetEventHandler([&](ipc::PeerEvent e) { companion.OnPeerEvent(e); });
        program->SendAudioCommand(ipc::AudioCommand::kStartCapture, 0);
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(Count(), 0U);
        EXPECT_FALSE(companion.Capturing());
        peer->SetEventHandler({});
    }
    auto once = []() -> std::unique_ptr<ISoundSource> {
        return std::make_unique<WavSource>(WavSound{{48000, 1}, Tone(48000, 1, 1000, 1.0, 0.05)}, false,
                                           WavSource::Pace::kFast);
    };
    Companion companion(*peer, once);
    peer->SetEventHandler([&](ipc::PeerEvent e) { companion.OnPeerEvent(e); });
    program->SendAudioCommand(ipc::AudioCommand::kStartCapture, 0);
    ASSERT_TRUE(WaitForLevels([](auto b) { return Word(b, 0) == 255; }));
    ASSERT_TRUE(
        WaitForLevels([](auto b) { return std::all_of(b.begin(), b.end(), [](auto x) { return x == 0; }); }));
    EXPECT_FALSE(companion.Capturing());
    // A new start opens the sound again from its beginning.
    const std::size_t before = Count();
    program->SendAudioCommand(ipc::AudioCommand::kStartCapture, 0);
    ASSERT_TRUE(WaitForLevels([](auto b) { return Word(b, 0) == 255; }, before));
    peer->SetEventHandler({});
}

TEST_F(CompanionTest, SilenceGoesQuietAfterAFewRepeatsAndSoundWakesIt) {
    // 0.5 s of silence, then a tone, played once as fast as it is read.
    auto samples = std::vector<std::int16_t>(24000, 0);
    const auto tone = Tone(48000, 1, 1000, 1.0, 0.1);
    samples.insert(samples.end(), tone.begin(), tone.end());
    Companion companion(*peer, [samples]() -> std::unique_ptr<ISoundSource> {
        return std::make_unique<WavSource>(WavSound{{48000, 1}, samples}, false, WavSource::Pace::kFast);
    });
    peer->SetEventHandler([&](ipc::PeerEvent e) { companion.OnPeerEvent(e); });
    program->SendAudioCommand(ipc::AudioCommand::kStartCapture, 0);
    ASSERT_TRUE(WaitForLevels([](auto b) { return Word(b, 0) == 255; }));
    {
        const std::lock_guard lock(mutex);
        // 20 hops of silence: each kind sent 8 times, then nothing until the tone.
        std::size_t silent = 0;
        while (silent < blocks.size() && AllZero(blocks[silent].block)) {
            ++silent;
        }
        EXPECT_EQ(silent, 2U * Companion::kRepeatsBeforeQuiet);
    }
    peer->SetEventHandler({});
}

TEST_F(CompanionTest, EndsWithinBoundsWhileCapturing) {
    auto companion = std::make_unique<Companion>(*peer, Looping(Tone(48000, 1, 1000, 1.0, 0.1)));
    peer->SetEventHandler([&](ipc::PeerEvent e) { companion->OnPeerEvent(e); });
    program->SendAudioCommand(ipc::AudioCommand::kStartCapture, 0);
    ASSERT_TRUE(WaitForLevels([](auto) { return true; }));
    peer->SetEventHandler({});
    const auto begun = std::chrono::steady_clock::now();
    companion.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - begun, 200ms);
}

}  // namespace
}  // namespace norvane::audio_capture
