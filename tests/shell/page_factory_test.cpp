// Which control the device list's layout callback makes for a tag.
#include "shell/device_list/page_factory.h"

#include "devices/usb_device.h"
#include "shell/device_list/device_option.h"
#include "ui/control_factory.h"
#include "ui/label.h"

#include <gtest/gtest.h>

namespace norvane::test {
namespace {

class RegisteredDevice : public devices::CTarnexUSBDevice {};

// Makes a label for "Outer" and a device for "TarnexOuterDevice", nothing else.
class OuterCallback : public ui::IDialogBuilderCallback {
public:
    std::unique_ptr<ui::CControlUI> CreateControl(std::string_view tag) override {
        if (tag == "Outer") {
            return std::make_unique<ui::CLabelUI>();
        }
        if (tag == "TarnexOuterDevice") {
            return std::make_unique<RegisteredDevice>();
        }
        return nullptr;
    }
};

TEST(PageFactoryTest, DeviceTagsFallBackToAPlainDeviceUnlessSomeoneElseMakesThem) {
    ui::CControlFactory::Instance().Register<RegisteredDevice>("CTarnexRegisteredDevice");
    OuterCallback outer;
    shell::PageBuilderCallback callback(&outer);
    enum class Made { Nothing, Tile, PlainDevice, OuterDevice, OuterLabel };
    struct Case {
        const char* tag;
        Made made;
    };
    const Case cases[] = {
        {"DeviceOption", Made::Tile},
        {"TarnexKeyboardDevice", Made::PlainDevice},
        {"TarnexUSBDevice", Made::PlainDevice},
        {"TarnexOuterDevice", Made::OuterDevice},
        {"Outer", Made::OuterLabel},
        {"TarnexRegisteredDevice", Made::Nothing},  // the control factory makes it
        {"TarnexDevice", Made::Nothing},
        {"KeyboardDevice", Made::Nothing},
        {"Label", Made::Nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        const auto control = callback.CreateControl(c.tag);
        switch (c.made) {
            case Made::Nothing:
                EXPECT_EQ(control, nullptr);
                break;
            case Made::Tile:
                EXPECT_NE(dynamic_cast<shell::CDeviceOptionUI*>(control.get()), nullptr);
                break;
            case Made::PlainDevice:
                ASSERT_NE(control, nullptr);
                EXPECT_EQ(typeid(*control), typeid(devices::CTarnexUSBDevice));
                break;
            case Made::OuterDevice:
                EXPECT_NE(dynamic_cast<RegisteredDevice*>(control.get()), nullptr);
                break;
            case Made::OuterLabel:
                EXPECT_NE(dynamic_cast<ui::CLabelUI*>(control.get()), nullptr);
                break;
        }
    }
}

}  // namespace
}  // namespace norvane::test
