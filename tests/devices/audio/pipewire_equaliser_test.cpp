#include "devices/audio/pipewire_equaliser.h"

#include "devices/audio/equaliser_filters.h"
#include "tests/devices/audio/pipewire_server.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace norvane::devices::audio {
namespace {

using test::Eventually;

const AudioDeviceIdentity kHeadset{0x0d8c, 0x0012, {}};
// Quotes and spaces in the name must survive the chain's arguments.
constexpr const char* kHeadsetSink = "headset \"stand in\"";

// Whether the chain's gains reach the given values (dB) once the server has passed the change on.
bool GainsBecome(test::PipeWireWatcher& watcher, std::uint32_t node, const std::map<int, double>& expected) {
    std::map<std::string, double> last;
    const bool reached = Eventually([&] {
        last = watcher.State(node).controls;
        for (const auto& [band, decibels] : expected) {
            const auto it = last.find(eq::BandGainControl(band));
            if (it == last.end() || std::abs(it->second - decibels) > 1e-4) {
                return false;
            }
        }
        return true;
    });
    if (!reached) {
        for (const auto& [band, decibels] : expected) {
            const auto it = last.find(eq::BandGainControl(band));
            ADD_FAILURE() << "band " << band << ": want " << decibels << " dB, have "
                          << (it == last.end() ? std::string("none") : std::to_string(it->second));
        }
    }
    return reached;
}

// Each case runs against a server of its own, reached through the runtime folder.
class PipeWireEqualiserTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(std::filesystem::path(NORVANE_PIPEWIRE_MODULE_DIR) /
                                     "libpipewire-module-filter-chain.so")) {
            GTEST_SKIP() << "PipeWire's filter-chain module is not installed in " NORVANE_PIPEWIRE_MODULE_DIR;
        }
        server_ = std::make_unique<test::PipeWireServer>(ServerMakesLinks());
        if (!server_->Problem().empty()) {
            GTEST_SKIP() << "no PipeWire server for the test: " << server_->Problem();
        }
        runtime_.emplace("XDG_RUNTIME_DIR", server_->RuntimeDir().string());
        pipewireRuntime_.emplace("PIPEWIRE_RUNTIME_DIR", server_->RuntimeDir().string());
        remote_.emplace("PIPEWIRE_REMOTE", std::nullopt);
        watcher_ = std::make_unique<test::PipeWireWatcher>();
        ASSERT_TRUE(watcher_->Connected());
    }
    void TearDown() override {
        watcher_.reset();
        server_.reset();
    }
    [[nodiscard]] virtual bool ServerMakesLinks() const { return true; }

    std::unique_ptr<test::PipeWireServer> server_;
    std::optional<test::ScopedEnv> runtime_;
    std::optional<test::ScopedEnv> pipewireRuntime_;
    std::optional<test::ScopedEnv> remote_;
    std::unique_ptr<test::PipeWireWatcher> watcher_;
};

TEST(PipeWireEqualiserAlone, WithoutAServerItSaysSoAndTakesNoChange) {
    test::TempDir empty;
    test::ScopedEnv runtime("XDG_RUNTIME_DIR", empty.Path().string());
    test::ScopedEnv pipewireRuntime("PIPEWIRE_RUNTIME_DIR", empty.Path().string());
    test::ScopedEnv remote("PIPEWIRE_REMOTE", std::nullopt);
    PipeWireEqualiser equaliser(kHeadset);
    EXPECT_FALSE(equaliser.Available());
    EXPECT_NE(equaliser.Reason().find("No PipeWire sound server"), std::string::npos) << equaliser.Reason();
    EXPECT_FALSE(equaliser.SetBand(0, 5));
    EXPECT_FALSE(equaliser.SetEnabled(true));
}

TEST_F(PipeWireEqualiserTest, WithoutTheHeadsetsSinkNoChainIsMade) {
    ASSERT_TRUE(watcher_->AddSink("other_card", "0x1234", "0x0012"));
    PipeWireEqualiser equaliser(kHeadset);
    EXPECT_FALSE(equaliser.Available());
    EXPECT_NE(equaliser.Reason().find("no output of the headset"), std::string::npos) << equaliser.Reason();
    EXPECT_TRUE(watcher_->Gone(equaliser.SinkName()));
    EXPECT_FALSE(equaliser.SetBand(3, 4));
}

TEST_F(PipeWireEqualiserTest, WithoutTheFilterModuleItSaysSo) {
    ASSERT_TRUE(watcher_->AddSink(kHeadsetSink, "0x0d8c", "0x0012"));
    // Every module of the system but the filter chain.
    test::TempDir modules;
    for (const auto& entry : std::filesystem::directory_iterator(NORVANE_PIPEWIRE_MODULE_DIR)) {
        if (entry.path().filename() != "libpipewire-module-filter-chain.so") {
            std::filesystem::create_symlink(entry.path(), modules / entry.path().filename().string());
        }
    }
    test::ScopedEnv moduleDir("PIPEWIRE_MODULE_DIR", modules.Path().string());
    PipeWireEqualiser equaliser(kHeadset);
    EXPECT_FALSE(equaliser.Available());
    EXPECT_NE(equaliser.Reason().find("filter-chain module is not installed"), std::string::npos)
        << equaliser.Reason();
    EXPECT_FALSE(equaliser.SetBand(0, 3));
}

TEST_F(PipeWireEqualiserTest, ChainSitsInFrontOfTheHeadsetAndTakesGainsInPlace) {
    ASSERT_TRUE(watcher_->AddSink("other_card", "0x1234", "0x0012"));
    ASSERT_TRUE(watcher_->AddSink(kHeadsetSink, "0x0d8c", "0x0012"));
    PipeWireEqualiser equaliser(kHeadset);
    ASSERT_TRUE(equaliser.Available()) << equaliser.Reason();
    EXPECT_EQ(equaliser.Reason(), "");

    const auto input = watcher_->Node(equaliser.SinkName());
    const auto output = watcher_->Node(equaliser.SinkName() + "_output");
    ASSERT_TRUE(input);
    ASSERT_TRUE(output);
    auto inputProperties = watcher_->State(*input).properties;
    EXPECT_EQ(inputProperties["media.class"], "Audio/Sink");
    // Preferred over the headset itself as the default output, and named after it.
    EXPECT_EQ(inputProperties["priority.session"], "1001");
    EXPECT_EQ(inputProperties["node.description"], "Headset equaliser (Stand-in headset)");
    EXPECT_EQ(watcher_->State(*output).properties["target.object"], kHeadsetSink);

    std::map<int, double> flat;
    for (int band = 0; band < kEqualiserBands; ++band) {
        flat[band] = 0.0;
    }
    EXPECT_TRUE(GainsBecome(*watcher_, *input, flat));

    // Preset 12, band by band, as the headset writes "EQ_Slider1" … "EQ_Slider10".
    const std::array<int, kEqualiserBands> preset{2, 1, -2, -4, -8, 4, 12, 16, 18, 15};
    for (int band = 0; band < kEqualiserBands; ++band) {
        EXPECT_TRUE(equaliser.SetBand(band, preset[static_cast<std::size_t>(band)])) << band;
    }
    std::map<int, double> presetGains;
    for (int band = 0; band < kEqualiserBands; ++band) {
        presetGains[band] = eq::BandGainDb(preset[static_cast<std::size_t>(band)]);
    }
    EXPECT_TRUE(GainsBecome(*watcher_, *input, presetGains));
    // The same nodes carry on: changes never rebuild the chain.
    EXPECT_EQ(watcher_->Node(equaliser.SinkName()), input);

    // Off is flat; a band moved while off takes effect when the equaliser is on again.
    EXPECT_TRUE(equaliser.SetEnabled(false));
    EXPECT_TRUE(GainsBecome(*watcher_, *input, flat));
    EXPECT_TRUE(equaliser.SetBand(8, -6));
    EXPECT_TRUE(equaliser.SetEnabled(true));
    presetGains[8] = -3.0;
    EXPECT_TRUE(GainsBecome(*watcher_, *input, presetGains));

    EXPECT_FALSE(equaliser.SetBand(-1, 3));
    EXPECT_FALSE(equaliser.SetBand(kEqualiserBands, 3));
}

TEST_F(PipeWireEqualiserTest, SessionManagerLinksTheChainIntoTheHeadset) {
    if (const std::string problem = server_->StartSessionManager(); !problem.empty()) {
        GTEST_SKIP() << "no session manager for the test: " << problem;
    }
    const auto sink = watcher_->AddSink(kHeadsetSink, "0x0d8c", "0x0012");
    ASSERT_TRUE(sink);
    PipeWireEqualiser equaliser(kHeadset);
    ASSERT_TRUE(equaliser.Available()) << equaliser.Reason();
    const auto output = watcher_->Node(equaliser.SinkName() + "_output");
    ASSERT_TRUE(output);
    // Both channels of the chain's output play into the headset.
    EXPECT_EQ(watcher_->Links(*output, *sink), 2);
}

TEST_F(PipeWireEqualiserTest, BandsShapeTheSoundThatReachesTheHeadset) {
    if (const std::string problem = server_->StartSessionManager(); !problem.empty()) {
        GTEST_SKIP() << "no session manager for the test: " << problem;
    }
    const auto sink = watcher_->AddSink(kHeadsetSink, "0x0d8c", "0x0012");
    ASSERT_TRUE(sink);
    PipeWireEqualiser equaliser(kHeadset);
    ASSERT_TRUE(equaliser.Available()) << equaliser.Reason();
    const auto input = watcher_->Node(equaliser.SinkName());
    const auto output = watcher_->Node(equaliser.SinkName() + "_output");
    ASSERT_TRUE(input);
    ASSERT_TRUE(output);
    // The session manager has taken up the chain once it has linked it into the headset.
    ASSERT_EQ(watcher_->Links(*output, *sink), 2);

    // A 1 kHz tone through the chain into the headset; band 5 is centred on it.
    test::ToneProbe probe(equaliser.SinkName(), kHeadsetSink, 1000.0);
    const auto tone = watcher_->Node(test::ToneProbe::kPlayerName);
    ASSERT_TRUE(tone);
    ASSERT_GE(watcher_->Links(*tone, *input, 1), 1) << "the tone does not go through the chain";
    const auto listener = watcher_->Node(test::ToneProbe::kListenerName);
    ASSERT_TRUE(listener);
    ASSERT_GE(watcher_->Links(*sink, *listener, 1), 1) << "the headset is not listened to";
    const auto flat = probe.Level();
    ASSERT_TRUE(flat) << "no sound reached the headset";
    ASSERT_GT(*flat, 0.01);

    const struct {
        const char* what;
        int band;
        int units;
        double lowest;  // level against flat
        double highest;
    } cases[] = {
        {"+12 dB on 1 kHz", 5, 24, 3.5, 4.5},    // 10^(12/20) = 3.98
        {"-6 dB on 1 kHz", 5, -12, 0.45, 0.56},  // 10^(-6/20) = 0.50
        {"+12 dB on 31 Hz", 0, 24, 0.95, 1.06},  // far from the tone
        {"+12 dB on 16 kHz", 9, 24, 0.95, 1.06},
    };
    for (const auto& c : cases) {
        for (int band = 0; band < kEqualiserBands; ++band) {
            ASSERT_TRUE(equaliser.SetBand(band, band == c.band ? c.units : 0));
        }
        ASSERT_TRUE(GainsBecome(*watcher_, *input, {{c.band, eq::BandGainDb(c.units)}})) << c.what;
        const auto level = probe.Level();
        ASSERT_TRUE(level) << c.what;
        EXPECT_GE(*level / *flat, c.lowest) << c.what;
        EXPECT_LE(*level / *flat, c.highest) << c.what;
    }
}

// A server that cannot link nodes: the session manager removes the chain's output each time.
class PipeWireEqualiserNoLinksTest : public PipeWireEqualiserTest {
protected:
    [[nodiscard]] bool ServerMakesLinks() const override { return false; }
};

TEST_F(PipeWireEqualiserNoLinksTest, ChainTheSessionManagerKeepsRemovingIsGivenUp) {
    if (const std::string problem = server_->StartSessionManager(); !problem.empty()) {
        GTEST_SKIP() << "no session manager for the test: " << problem;
    }
    ASSERT_TRUE(watcher_->AddSink(kHeadsetSink, "0x0d8c", "0x0012"));
    PipeWireEqualiser equaliser(kHeadset);
    EXPECT_TRUE(Eventually([&] { return equaliser.Reason().find("keeps removing") != std::string::npos; }))
        << equaliser.Reason();
    EXPECT_FALSE(equaliser.Available());
    EXPECT_TRUE(watcher_->Gone(equaliser.SinkName()));
    EXPECT_FALSE(equaliser.SetBand(0, 4));
}

TEST_F(PipeWireEqualiserTest, ChainFollowsTheHeadsetAwayAndBack) {
    auto sink = watcher_->AddSink(kHeadsetSink, "0x0d8c", "0x0012");
    ASSERT_TRUE(sink);
    PipeWireEqualiser equaliser(kHeadset);
    ASSERT_TRUE(equaliser.Available()) << equaliser.Reason();
    EXPECT_TRUE(equaliser.SetBand(0, 10));

    watcher_->RemoveSink(*sink);
    EXPECT_TRUE(watcher_->Gone(equaliser.SinkName()));
    EXPECT_TRUE(watcher_->Gone(equaliser.SinkName() + "_output"));
    EXPECT_TRUE(Eventually([&] { return !equaliser.Available(); }));
    EXPECT_NE(equaliser.Reason().find("has gone"), std::string::npos) << equaliser.Reason();
    EXPECT_FALSE(equaliser.SetBand(1, -4));

    sink = watcher_->AddSink(kHeadsetSink, "0x0d8c", "0x0012");
    ASSERT_TRUE(sink);
    ASSERT_TRUE(Eventually([&] { return equaliser.Available(); })) << equaliser.Reason();
    const auto input = watcher_->Node(equaliser.SinkName());
    ASSERT_TRUE(input);
    // Gains set while the headset was away are there when it comes back.
    EXPECT_TRUE(GainsBecome(*watcher_, *input, {{0, 5.0}, {1, -2.0}, {2, 0.0}}));
}

TEST_F(PipeWireEqualiserTest, DestroyingTheEqualiserRemovesTheChain) {
    ASSERT_TRUE(watcher_->AddSink(kHeadsetSink, "0x0d8c", "0x0012"));
    std::string name;
    {
        PipeWireEqualiser equaliser(kHeadset);
        ASSERT_TRUE(equaliser.Available()) << equaliser.Reason();
        name = equaliser.SinkName();
        ASSERT_TRUE(watcher_->Node(name));
    }
    EXPECT_TRUE(watcher_->Gone(name));
    EXPECT_TRUE(watcher_->Gone(name + "_output"));
}

TEST_F(PipeWireEqualiserTest, ServerGoingAwayLeavesAClearReason) {
    ASSERT_TRUE(watcher_->AddSink(kHeadsetSink, "0x0d8c", "0x0012"));
    PipeWireEqualiser equaliser(kHeadset);
    ASSERT_TRUE(equaliser.Available()) << equaliser.Reason();
    watcher_.reset();
    server_->Kill();
    EXPECT_TRUE(Eventually([&] { return equaliser.Reason().find("stopped") != std::string::npos; }))
        << equaliser.Reason();
    EXPECT_FALSE(equaliser.Available());
    EXPECT_FALSE(equaliser.SetBand(2, 3));
    EXPECT_FALSE(equaliser.SetEnabled(false));
}

}  // namespace
}  // namespace norvane::devices::audio
