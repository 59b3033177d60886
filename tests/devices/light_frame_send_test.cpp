#include "device/commands.h"
#include "devices/device_workers.h"
#include "devices/light/tables.h"
#include "sim/sim_device.h"
#include "tests/device/sim_fixture.h"
#include "tests/devices/device_page_fixture.h"
#include "tests/devices/sim_link.h"

#include <gtest/gtest.h>

namespace norvane::test {
namespace {

using device::DeviceKind;
using devices::light::LedColor;
using Bytes = std::vector<std::uint8_t>;

constexpr int kLeds = 20;

// A page linked to a simulated device, with a recognisable frame.
class LightFrameSendTest : public DevicePageTest {
protected:
    void Link(std::string_view product, device::LinkMode mode, DeviceKind kind = DeviceKind::Keyboard) {
        window.reset();  // the old page's channels go before the backend they use
        sim = std::make_unique<SimLink>(product);
        BuildPage(kLeds, 0);
        page->SetCatalogEntry(RowOf(kind));
        ASSERT_TRUE(sim->OpenCommand(page->CommandChannel(), mode));
        for (int i = 0; i < kLeds; ++i) {
            page->SetLedColor(i, Entry(i));
        }
    }
    static LedColor Entry(int i) {
        return {static_cast<std::uint8_t>(i * 12), static_cast<std::uint8_t>(250 - i * 3),
                static_cast<std::uint8_t>(i * 7 + 1), static_cast<std::uint8_t>(i == 0 ? 255 : i * 13)};
    }
    // The device form of the frame, computed here from the entries.
    static Bytes DeviceBytes() {
        Bytes bytes;
        for (int i = 0; i < kLeds; ++i) {
            const LedColor e = Entry(i);
            bytes.push_back(static_cast<std::uint8_t>(e.red * e.level / 256));
            bytes.push_back(static_cast<std::uint8_t>(e.green * e.level / 256));
            bytes.push_back(static_cast<std::uint8_t>(e.blue * e.level / 256));
        }
        return bytes;
    }
    static std::vector<std::pair<std::uint32_t, std::uint32_t>> ExpectedOverlays() {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
        for (int i = 0; i < kLeds; ++i) {
            const LedColor e = Entry(i);
            out.emplace_back(e.red | e.blue << 8 | e.green << 16, e.level);
        }
        return out;
    }
    Bytes FirmwareFrame() {
        return sim->Device().WithFirmware([](sim::FirmwareModel& fw) {
            return Bytes(fw.LightFrame().begin(), fw.LightFrame().begin() + 3 * kLeds);
        });
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> UntouchedOverlays() const {
        return std::vector<std::pair<std::uint32_t, std::uint32_t>>(kLeds, {255, 200});
    }

    void TearDown() override { window.reset(); }

    std::unique_ptr<SimLink> sim;
};

TEST_F(LightFrameSendTest, ByCableTheFrameGoesOutScaledInChunksAndLightsTheButtons) {
    Link("keyboard", device::LinkMode::Cable);
    page->SendLightFrame();
    const Bytes bytes = DeviceBytes();
    EXPECT_EQ(sim->Sent(), (std::vector<Bytes>{ExpectedRequest(0x12, 56, 0, std::span(bytes).first(56)),
                                               ExpectedRequest(0x12, 4, 56, std::span(bytes).subspan(56))}));
    EXPECT_EQ(FirmwareFrame(), bytes);
    EXPECT_EQ(Overlays(), ExpectedOverlays());
}

TEST_F(LightFrameSendTest, HiddenLightButtonsKeepTheirColour) {
    Link("keyboard", device::LinkMode::Cable);
    page->LightButtons()[3]->SetVisible(false);
    page->SendLightFrame();
    auto expected = ExpectedOverlays();
    expected[3] = {255, 200};
    EXPECT_EQ(Overlays(), expected);
}

TEST_F(LightFrameSendTest, ThroughTheReceiverThePageChangesButNothingIsSent) {
    Link("receiver", device::LinkMode::Receiver, DeviceKind::MouseCable);
    page->SendLightFrame();
    EXPECT_EQ(Overlays(), ExpectedOverlays());
    EXPECT_TRUE(sim->Sent().empty());
}

TEST_F(LightFrameSendTest, HostLightingOffChangesNeitherButtonsNorDevice) {
    Link("keyboard", device::LinkMode::Cable);
    EXPECT_EQ(page->SetHostLighting(0), device::result::kSuccess);
    page->SendLightFrame();
    EXPECT_EQ(Overlays(), UntouchedOverlays());
    EXPECT_TRUE(sim->Sent().empty());
    EXPECT_EQ(FirmwareFrame(), Bytes(3 * kLeds, 0));
    page->SetHostLighting(1);
    page->SendLightFrame();
    EXPECT_EQ(FirmwareFrame(), DeviceBytes());
}

TEST_F(LightFrameSendTest, OnlyAKeyboardTurnsHostLightingOnInTheDevice) {
    struct Case {
        DeviceKind kind;
        int flag;
        bool sent;
    };
    const Case cases[] = {{DeviceKind::Keyboard, 1, true},           {DeviceKind::Keyboard, 0, false},
                          {DeviceKind::KeyboardAlternate, 1, false}, {DeviceKind::MousePad, 1, false},
                          {DeviceKind::MouseCable, 1, false},        {DeviceKind::Headset, 1, false}};
    for (const Case& c : cases) {
        Link("keyboard", device::LinkMode::Cable, c.kind);
        EXPECT_EQ(page->SetHostLighting(c.flag), device::result::kSuccess);
        EXPECT_EQ(page->HostLighting(), c.flag);
        const auto sent = sim->Sent();
        EXPECT_EQ(sent, c.sent ? std::vector<Bytes>{ExpectedRequest(0x1C, 0, 0)} : std::vector<Bytes>{})
            << "kind " << static_cast<int>(c.kind) << " flag " << c.flag;
        EXPECT_EQ(sim->Device().WithFirmware([](sim::FirmwareModel& fw) { return fw.HostLighting(); }),
                  c.sent);
    }
}

TEST_F(LightFrameSendTest, HostLightingOnAClosedKeyboardReportsTheFailure) {
    Link("keyboard", device::LinkMode::Cable);
    page->CommandChannel().SetOpen(false);
    EXPECT_EQ(page->SetHostLighting(1), device::result::kNoAnswer);
    EXPECT_EQ(page->HostLighting(), 1);
}

// After a failed send the device gets nothing for 200 ms on the window's clock, while the
// page keeps showing the frames; the UI thread is never held up.
TEST_F(LightFrameSendTest, FailedSendPausesDeviceSendsFor200Milliseconds) {
    Link("keyboard", device::LinkMode::Cable);
    sim->Device().InjectFault(sim::Fault(sim::FaultKind::NoAnswer, 0x12));
    page->SendLightFrame();
    ASSERT_EQ(sim->Sent().size(), 1u);  // the first chunk went unanswered

    page->SetLedColor(0, {1, 1, 1, 255});
    platform.Advance(199);
    page->SendLightFrame();
    EXPECT_EQ(sim->Sent().size(), 1u);
    EXPECT_EQ(page->LightButtons()[0]->LightColor(), 0x010101u);

    platform.Advance(1);
    page->SendLightFrame();
    EXPECT_EQ(sim->Sent().size(), 3u);
    EXPECT_EQ(FirmwareFrame()[0], 0);  // 1 x 255 / 256
    EXPECT_EQ(FirmwareFrame()[3], DeviceBytes()[3]);
}

// The light thread renders into the frame while the UI thread changes the light state and
// sends frames: every LED the device receives is one whole entry of some step.
TEST_F(LightFrameSendTest, LightThreadRendersWhileTheUiThreadSendsFrames) {
    Link("keyboard", device::LinkMode::Cable);
    using Clock = devices::StopSignal::Clock;
    devices::DeviceThread light(devices::DeviceThread::kLightThreadBound);
    std::atomic<int> passes{0};
    ASSERT_TRUE(devices::StartLightThread(light, [this, &passes] {
        page->EffectSpectrum();
        ++passes;
        return std::optional<Clock::time_point>(Clock::now() + std::chrono::milliseconds(1));
    }));
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    for (int i = 0; passes < 100 && Clock::now() < deadline; ++i) {
        config::LightInfo state;
        state.brightness = static_cast<std::uint8_t>(i % 5);
        state.direction = static_cast<std::uint8_t>(i % 2);
        const auto words = devices::LightInfoToWords(state);
        page->SetLightState(words[0], words[1], words[2], words[3]);
        page->SendLightFrame();
    }
    EXPECT_EQ(light.Stop(), devices::StopResult::Ended);
    EXPECT_GE(passes, 100);
    const Bytes frame = FirmwareFrame();
    for (int led = 0; led < kLeds; ++led) {
        const auto at = static_cast<std::size_t>(3 * led);
        bool whole = false;
        for (const auto& colour : devices::light::kColourWheel) {
            for (const std::uint8_t level : devices::light::kBrightnessLevels) {
                whole = whole || (frame[at] == colour.red * level / 256 &&
                                  frame[at + 1] == colour.green * level / 256 &&
                                  frame[at + 2] == colour.blue * level / 256);
            }
        }
        EXPECT_TRUE(whole) << "led " << led;
    }
}

}  // namespace
}  // namespace norvane::test
