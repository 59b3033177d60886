// The mousepad's device object on the shipped pad page (headless) and the simulated pad: the
// first read, its lighting, the settings write, the read-back after an event, the status.
#include "devices/mousepad/mousepad_device.h"
#include "tests/devices/peripheral_page_fixture.h"

#include <fstream>
#include <sstream>

namespace norvane::test {
namespace {

using devices::CTarnexMousePadDevice;
using Cmd = device::Command;
namespace light = devices::light;

constexpr std::uint8_t C(Cmd c) {
    return static_cast<std::uint8_t>(c);
}

constexpr PeripheralPageSpec kPadPage{"mousepad", "XML/DeviceXml/mousepaddevice.xml", "mousepad_device", "MousePad",
                                      2};

class MousePadPage : public PeripheralPageTest<CTarnexMousePadDevice> {
protected:
    MousePadPage() : PeripheralPageTest(kPadPage) {}

    // The data bytes of the settings writes in order.
    std::vector<std::uint8_t> SettingsWritten() const {
        std::vector<std::uint8_t> bytes;
        for (const auto& request : Sent()) {
            if (request[3] == C(Cmd::WriteSettings)) {
                bytes.insert(bytes.end(), request.begin() + 8, request.begin() + 8 + request[4]);
            }
        }
        return bytes;
    }
};

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST_F(MousePadPage, SyncReadsTheInfoAndLightsThePadFromItsProfile) {
    page->SyncFromDevice();
    EXPECT_EQ(Transfers(),
              (std::vector<std::uint8_t>{C(Cmd::BeginConfig), C(Cmd::ReadDeviceInfo), C(Cmd::EndConfig)}));
    // The factory profile: the wave in many colours at full brightness, speed 2.
    const light::PeripheralLightRecord record = page->Record();
    EXPECT_EQ(record.Mode(), 0);
    EXPECT_EQ(record.Brightness(), 4);
    EXPECT_EQ(record.Speed(), 2);
    EXPECT_EQ(record.MultiColor(), 1);
    EXPECT_TRUE(page->LightThreadRunning());
    ASSERT_TRUE(Eventually([&] { return page->GetLedColor(1).level == 255; }));
    link.Device().ClearWireLog();
    page->SendLightFrame();
    EXPECT_GT(BytesOf(Cmd::WriteLightFrame), 0u);
    const auto* spot = Find<pages::CDeviceKeyButtonUI>("light_1");
    ASSERT_NE(spot, nullptr);
    EXPECT_EQ(spot->LightLevel(), 255u);
}

TEST_F(MousePadPage, SettingsWriteSendsTheRecordWithCodeAndInvertedSpeedAndReportsFailure) {
    page->SyncFromDevice();
    link.Device().ClearWireLog();
    EXPECT_EQ(page->WriteDeviceSettings({}), 1);
    const auto written = SettingsWritten();
    ASSERT_EQ(written.size(), 21u);
    EXPECT_EQ(Sent()[1][5], 0);  // offset block x 64 = 0
    EXPECT_EQ(written[1], 0);    // the wave's code
    EXPECT_EQ(written[3], 2);    // 4 - speed 2
    EXPECT_EQ(written[5], 1);
    link.Device().WithFirmware([](sim::FirmwareModel& f) { EXPECT_EQ(f.Settings()[3], 2); });

    // A failed transfer is reported, not taken for success.
    link.Device().InjectFault({sim::FaultKind::StatusFF, C(Cmd::WriteSettings)});
    EXPECT_NE(page->WriteDeviceSettings({}), 1);
    link.Device().ClearFaults();
    page->CommandChannel().SetOpen(false);
    EXPECT_EQ(page->WriteDeviceSettings({}), 0);
}

TEST_F(MousePadPage, EventReadsTheActiveBlockBackWithoutTouchingTheProfile) {
    page->SyncFromDevice();
    ASSERT_TRUE(OpenEvents());
    const std::string profile = FileBytes(ProfileFile());
    link.Device().WithFirmware([](sim::FirmwareModel& f) {
        f.Settings()[0] = 2;
        f.Settings()[2 * 25 + 1] = 6;  // the marquee's code
        f.Settings()[2 * 25 + 3] = 0;  // speed 4
    });
    link.Device().ClearWireLog();
    link.Device().SendEvent(0x0401);
    ASSERT_TRUE(PumpPosted());
    platform.Advance(499);
    EXPECT_TRUE(Sent().empty());
    platform.Advance(1);
    EXPECT_EQ(BytesOf(Cmd::ReadSettings), 1u + 28u);
    ASSERT_GE(Sent().size(), 2u);
    EXPECT_EQ(Sent()[1][5], 50);  // block 2 at 2 x 25
    EXPECT_EQ(page->Record().ActiveBlock(), 2);
    EXPECT_EQ(page->Record().Mode(), 6);
    EXPECT_EQ(page->Record().Speed(), 4);
    EXPECT_EQ(page->Lighting().EngineMode(), 6);
    EXPECT_EQ(FileBytes(ProfileFile()), profile);

    // The next write goes to block 0 with the active block in byte 0.
    link.Device().ClearWireLog();
    EXPECT_EQ(page->WriteDeviceSettings({}), 1);
    EXPECT_EQ(Sent()[1][5], 0);
    EXPECT_EQ(SettingsWritten()[0], 2);

    // A failed read-back changes nothing.
    link.Device().InjectFault({sim::FaultKind::NoAnswer, C(Cmd::ReadSettings), 1});
    const light::PeripheralLightRecord before = page->Record();
    page->ResyncFromDevice();
    EXPECT_NE(page->LastReadBack(), 1);
    EXPECT_EQ(page->Record(), before);
}

TEST_F(MousePadPage, StatusPollKeepsTheChargerRecord) {
    link.Device().WithFirmware([](sim::FirmwareModel& f) {
        f.Status()[0] = 85;
        f.Status()[1] = 1;
        f.Status()[5] = 2;
    });
    page->PollStatus();
    ASSERT_TRUE(page->LastStatus());
    EXPECT_EQ((*page->LastStatus())[0], 85);
    EXPECT_EQ((*page->LastStatus())[1], 1);
    EXPECT_EQ((*page->LastStatus())[3], 0);  // by cable
    EXPECT_EQ((*page->LastStatus())[5], 2);
}

}  // namespace
}  // namespace norvane::test
