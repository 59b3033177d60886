// The power panel built from the shipped layout on the headless toolkit: what a status record
// shows for each device kind, and the panel's notification.
#include "devices/mousepad/power_panel.h"
#include "devices/usb_device.h"
#include "pages/picture_controls.h"
#include "tests/ui/ui_fixture.h"
#include "ui/control_factory.h"
#include "ui/headless/headless_input.h"
#include "ui/label.h"
#include "ui/progress.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace norvane::test {
namespace {

using devices::CMpDevicePowerUI;
using Bytes = std::vector<std::uint8_t>;

constexpr int kKeyboard = 1;
constexpr int kMouse = 2;
constexpr int kPad = 3;

std::string ShippedLayout() {
    const auto path = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin" /
                      std::string(CMpDevicePowerUI::kLayout);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// What the panel's children show.
struct Shown {
    std::string value;
    int progress = 0;
    bool progressVisible = false;
    std::string statusImage;
    bool logoVisible = false;
    std::string phoneTextId;
    std::string phoneImage;
    bool phoneVisible = false;

    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* os) {
    *os << "{" << s.value << ", " << s.progress << ", " << s.progressVisible << ", " << s.statusImage << ", "
        << s.logoVisible << ", " << s.phoneTextId << ", " << s.phoneImage << ", " << s.phoneVisible << "}";
}

class PowerPanelTest : public ui::test::UiFixture {
protected:
    PowerPanelTest() {
        pages::RegisterPictureControls(ui::CControlFactory::Instance());
        devices::RegisterPowerPanel(ui::CControlFactory::Instance());
    }

    // A window holding the panel of a layout (the shipped one unless given).
    CMpDevicePowerUI& Build(int kind, const std::optional<std::string>& layout = std::nullopt) {
        WriteSkin(std::string(CMpDevicePowerUI::kLayout), layout.value_or(ShippedLayout()));
        window = Open(R"(<HorizontalLayout name="root"><Include source=")" +
                      std::string(CMpDevicePowerUI::kLayout) + R"("/></HorizontalLayout>)");
        auto& root = ui::test::Ctl<ui::CContainerUI>(*window, "root");
        panel = dynamic_cast<CMpDevicePowerUI*>(root.GetItemAt(0));
        if (panel == nullptr) {
            throw std::runtime_error("the layout's root is not a power panel");
        }
        panel->SetDeviceKind(kind, 0);
        return *panel;
    }

    Shown Now() {
        Shown s;
        s.value = ui::test::Ctl<ui::CLabelUI>(*window, "device_power_value").GetText();
        auto& progress = ui::test::Ctl<ui::CProgressUI>(*window, "device_Power_progress");
        s.progress = progress.GetValue();
        s.progressVisible = progress.IsOwnVisible();
        s.statusImage = window->FindControl("device_power_status")->GetBkImage();
        s.logoVisible = window->FindControl("device_wuxian_logo")->IsOwnVisible();
        ui::CControlUI* phone = window->FindControl("device_phone_type");
        s.phoneTextId = phone->GetTextId();
        s.phoneImage = phone->GetBkImage();
        s.phoneVisible = phone->IsOwnVisible();
        return s;
    }

    // Text, text id, picture, visibility and progress value of every control of the window.
    std::vector<std::string> Snapshot() {
        std::vector<std::string> out;
        window->PaintManager().GetRoot()->ForEach([&](ui::CControlUI& c) {
            const auto* progress = dynamic_cast<const ui::CProgressUI*>(&c);
            out.push_back(c.GetText() + "|" + c.GetTextId() + "|" + c.GetBkImage() + "|" +
                          (c.IsOwnVisible() ? "shown" : "hidden") + "|" +
                          (progress != nullptr ? std::to_string(progress->GetValue()) : ""));
        });
        return out;
    }

    std::unique_ptr<ui::test::RecordingWindow> window;
    CMpDevicePowerUI* panel = nullptr;
};

TEST_F(PowerPanelTest, StatusRecordsByDeviceKind) {
    const Shown untouched = {"",
                             0,
                             true,
                             "file='power/power.png'",
                             false,
                             "Phone_type_no_device",
                             "file='power/Phone_type_no_device.png'",
                             false};
    struct Case {
        const char* name;
        int kind;
        Bytes record;
        Shown shown;
    };
    const std::vector<Case> cases = {
        {"pad charging at 85%",
         kPad,
         {85, 1, 0, 0, 0, 0},
         {"85%", 15, true, "file='power/powering.png'", false, "Phone_type_no_device",
          "file='power/Phone_type_no_device.png'", true}},
        {"pad with an iPhone",
         kPad,
         {100, 0, 0, 0, 0, 1},
         {"100%", 0, true, "file='power/powered.png'", false, "Phone_type_iphone",
          "file='power/Phone_type_iphone.png'", true}},
        {"pad with a Samsung",
         kPad,
         {60, 2, 0, 1, 0, 2},
         {"60%", 40, true, "file='power/power.png'", false, "Phone_type_samsung",
          "file='power/Phone_type_samsung.png'", true}},
        {"pad with another phone",
         kPad,
         {5, 1, 0, 0, 0, 3},
         {"5%", 95, true, "file='power/powering.png'", false, "Phone_type_other",
          "file='power/Phone_type_other.png'", true}},
        {"pad with phone type 4 shows none",
         kPad,
         {50, 1, 0, 0, 0, 4},
         {"50%", 50, true, "file='power/powering.png'", false, "Phone_type_no_device",
          "file='power/Phone_type_no_device.png'", true}},
        {"pad with phone type 255 shows none",
         kPad,
         {50, 1, 0, 0, 0, 255},
         {"50%", 50, true, "file='power/powering.png'", false, "Phone_type_no_device",
          "file='power/Phone_type_no_device.png'", true}},
        {"mouse through the receiver, byte 5 = 2 shows no phone",
         kMouse,
         {42, 2, 0, 1, 0, 2},
         {"42%", 58, true, "file='power/power.png'", true, "Phone_type_no_device",
          "file='power/Phone_type_no_device.png'", false}},
        {"mouse by cable",
         kMouse,
         {42, 0, 0, 0, 0, 0},
         {"42%", 58, true, "file='power/powered.png'", false, "Phone_type_no_device",
          "file='power/Phone_type_no_device.png'", false}},
        {"receiver flag on a keyboard tile shows no logo",
         kKeyboard,
         {70, 2, 0, 1, 0, 1},
         {"70%", 30, true, "file='power/power.png'", false, "Phone_type_no_device",
          "file='power/Phone_type_no_device.png'", false}},
        {"unknown power state changes no picture",
         kPad,
         {30, 3, 0, 0, 0, 1},
         {"30%", 70, true, "file='power/power.png'", false, "Phone_type_iphone",
          "file='power/Phone_type_iphone.png'", true}},
        {"level above 100 keeps the progress at its minimum",
         kMouse,
         {200, 2, 0, 0, 0, 0},
         {"200%", 0, true, "file='power/power.png'", false, "Phone_type_no_device",
          "file='power/Phone_type_no_device.png'", false}},
        {"short record padded with zeros",
         kPad,
         {40},
         {"40%", 60, true, "file='power/powered.png'", false, "Phone_type_no_device",
          "file='power/Phone_type_no_device.png'", true}},
        {"empty record",
         kMouse,
         {},
         {"0%", 100, true, "file='power/powered.png'", false, "Phone_type_no_device",
          "file='power/Phone_type_no_device.png'", false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Build(c.kind);
        ASSERT_EQ(Now(), untouched);
        panel->ShowStatus(c.record);
        EXPECT_EQ(Now(), c.shown);
    }
}

TEST_F(PowerPanelTest, LaterRecordsReplaceEarlierOnes) {
    Build(kMouse);
    panel->ShowStatus(Bytes{90, 2, 0, 1, 0, 0});
    ASSERT_TRUE(Now().logoVisible);
    // A record of 2 bytes reads byte 3 as 0: back on the cable.
    panel->ShowStatus(Bytes{91, 0});
    EXPECT_FALSE(Now().logoVisible);
    EXPECT_EQ(Now().statusImage, "file='power/powered.png'");

    // A state outside 0-2 leaves a hidden progress hidden and the picture as it was.
    window->FindControl("device_Power_progress")->SetVisible(false);
    panel->ShowStatus(Bytes{10, 9});
    EXPECT_FALSE(Now().progressVisible);
    EXPECT_EQ(Now().statusImage, "file='power/powered.png'");
    EXPECT_EQ(Now().value, "10%");
    panel->ShowStatus(Bytes{10, 1});
    EXPECT_TRUE(Now().progressVisible);

    // A record longer than 64 bytes is read as its first 64.
    Bytes longRecord(300, 0xEE);
    longRecord[0] = 12;
    longRecord[1] = 2;
    longRecord[3] = 0;
    panel->ShowStatus(longRecord);
    EXPECT_EQ(Now().value, "12%");
    EXPECT_FALSE(Now().logoVisible);
}

TEST_F(PowerPanelTest, MissingChildShowsNothing) {
    const std::string full = ShippedLayout();
    for (const char* child : {"device_power_value", "device_wuxian_logo", "device_Power_progress",
                              "device_power_status", "device_phone_type"}) {
        SCOPED_TRACE(child);
        // The child renamed, so the panel cannot find it.
        std::string layout = full;
        const std::string attribute = std::string("name=\"") + child + "\"";
        const auto at = layout.find(attribute);
        ASSERT_NE(at, std::string::npos);
        layout.replace(at, attribute.size(), "name=\"renamed\"");
        Build(kPad, layout);

        const std::vector<std::string> before = Snapshot();
        panel->ShowStatus(Bytes{85, 1, 0, 1, 0, 1});
        EXPECT_EQ(Snapshot(), before);
    }
}

TEST_F(PowerPanelTest, PowerLayoutShownOrHidden) {
    Build(kPad);
    auto* group = window->FindControl(CMpDevicePowerUI::kPowerLayoutName);
    ASSERT_NE(group, nullptr);
    panel->ShowPowerLayout(false);
    EXPECT_FALSE(group->IsOwnVisible());
    EXPECT_TRUE(panel->IsOwnVisible());
    panel->ShowPowerLayout(true);
    EXPECT_TRUE(group->IsOwnVisible());

    // Without the group nothing happens.
    Build(kPad, R"(<MpDevicePower><Label name="device_power_value"/></MpDevicePower>)");
    panel->ShowPowerLayout(false);
    EXPECT_TRUE(panel->IsOwnVisible());
}

TEST_F(PowerPanelTest, ClickSendsSelectChangedForThePanel) {
    Build(kMouse);
    panel->SetName("power_panel");
    window->PaintManager().UpdateLayout();
    const ui::Rect pos = panel->GetPos();
    ASSERT_GT(pos.right - pos.left, 4);
    // The panel's left inset holds no child.
    ui::headless::Click(window->PaintManager(), {pos.left + 1, (pos.top + pos.bottom) / 2});
    EXPECT_EQ(window->Log(), std::vector<std::string>{"selectchanged:power_panel"});

    window->seen.clear();
    panel->SetVisible(false);
    EXPECT_FALSE(panel->Activate());
    EXPECT_TRUE(window->Log().empty());
}

// A base device object shows a status record through its power panel.
TEST_F(PowerPanelTest, DeviceShowsStatusOnItsPowerPanel) {
    Build(kPad);
    devices::CTarnexUSBDevice device;
    device.ShowStatusOnPowerPanel(Bytes{85, 1, 0, 0, 0, 2});  // no panel yet: nothing
    EXPECT_EQ(Now().value, "");

    device.SetPowerPanel(panel);
    device.SetWirelessCapable(true);
    EXPECT_TRUE(panel->IsWirelessCapable());
    device.ShowStatusOnPowerPanel(Bytes{85, 1, 0, 0, 0, 2});
    EXPECT_EQ(Now().value, "85%");
    EXPECT_EQ(Now().phoneTextId, "Phone_type_samsung");

    ui::CLabelUI notAPanel;
    device.SetPowerPanel(&notAPanel);
    device.ShowStatusOnPowerPanel(Bytes{10, 1});
    EXPECT_EQ(Now().value, "85%");
}

}  // namespace
}  // namespace norvane::test
