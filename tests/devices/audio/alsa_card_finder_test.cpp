#include "devices/audio/alsa_card_finder.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace norvane::devices::audio {
namespace {

namespace fs = std::filesystem;

// A sysfs tree as the kernel lays it out: USB devices with their interfaces, sound cards and
// hidraw nodes under the interfaces, and the class folders linking to them.
class FakeSysfs {
public:
    FakeSysfs() {
        fs::create_directories(dir_ / "class" / "sound");
        fs::create_directories(dir_ / "class" / "hidraw");
    }

    std::string Root() const { return dir_.Path().string(); }

    // A USB device (bus-port name like "1-2") with its ids; returns its folder.
    fs::path UsbDevice(const std::string& name, const std::string& vid, const std::string& pid) {
        const fs::path device = dir_ / "devices" / "pci0000:00" / "0000:00:14.0" / "usb1" / name;
        fs::create_directories(device);
        test::WriteText(device / "idVendor", vid + "\n");
        test::WriteText(device / "idProduct", pid + "\n");
        return device;
    }

    // Card N on interface number iface of a USB device, or on a platform device.
    void Card(int number, const fs::path& parent, int iface = 0) {
        const fs::path owner = parent / (parent.filename().string() + ":1." + std::to_string(iface));
        Node(owner, "sound", "card" + std::to_string(number));
    }
    void PlatformCard(int number) {
        Node(dir_ / "devices" / "platform" / "snd_dummy.0", "sound", "card" + std::to_string(number));
    }
    void Hidraw(const std::string& name, const fs::path& parent, int iface) {
        const fs::path owner = parent / (parent.filename().string() + ":1." + std::to_string(iface));
        // hidraw sits under the HID device under the interface.
        Node(owner / "0003:0C76:1630.0001", "hidraw", name);
    }

private:
    void Node(const fs::path& owner, const std::string& kind, const std::string& name) {
        const fs::path node = owner / kind / name;
        fs::create_directories(node);
        fs::create_directory_symlink(owner, node / "device");
        fs::create_directory_symlink(node, dir_ / "class" / kind / name);
    }

    test::TempDir dir_;
};

TEST(AlsaCardFinder, FindsTheCardOfTheHeadsetsUsbDevice) {
    FakeSysfs sysfs;
    sysfs.PlatformCard(0);
    const fs::path first = sysfs.UsbDevice("1-1", "0c76", "1630");
    const fs::path second = sysfs.UsbDevice("1-2", "0c76", "1630");
    const fs::path other = sysfs.UsbDevice("1-3", "046d", "0a44");
    const fs::path cardless = sysfs.UsbDevice("1-4", "0c76", "1630");
    sysfs.Card(1, other);
    sysfs.Card(2, first);
    sysfs.Card(10, second);
    sysfs.Hidraw("hidraw3", first, 3);
    sysfs.Hidraw("hidraw7", second, 3);
    sysfs.Hidraw("hidraw9", cardless, 3);

    struct Case {
        const char* what;
        AudioDeviceIdentity identity;
        std::optional<int> card;
    };
    const std::vector<Case> cases = {
        {"the same USB device as the hidraw node", {0x0c76, 0x1630, "/dev/hidraw7"}, 10},
        {"hidraw node of the first headset", {0x0c76, 0x1630, "/dev/hidraw3"}, 2},
        {"no node: the first card with the ids", {0x0c76, 0x1630, ""}, 2},
        {"node without a card: by the ids", {0x0c76, 0x1630, "/dev/hidraw9"}, 2},
        {"unknown node: by the ids", {0x046d, 0x0a44, "/dev/hidraw42"}, 1},
        {"ids nobody has", {0x1234, 0x5678, ""}, std::nullopt},
        {"the node's card wins over other ids", {0x1234, 0x5678, "/dev/hidraw3"}, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindHeadsetCard(c.identity, sysfs.Root()), c.card) << c.what;
    }
}

TEST(AlsaCardFinder, OddTreesFindNothing) {
    const test::TempDir empty;
    EXPECT_EQ(FindHeadsetCard({0x0c76, 0x1630, "/dev/hidraw0"}, (empty / "missing").string()), std::nullopt);
    EXPECT_EQ(FindHeadsetCard({0x0c76, 0x1630, "/dev/hidraw0"}, empty.Path().string()), std::nullopt);

    // Ids that are not hexadecimal, a card folder with a broken link, a stray entry.
    FakeSysfs sysfs;
    const fs::path bad = sysfs.UsbDevice("1-1", "zz0c76", "1630");
    sysfs.Card(0, bad);
    fs::create_directories(fs::path(sysfs.Root()) / "class" / "sound" / "card1");
    fs::create_directory_symlink(fs::path(sysfs.Root()) / "nowhere",
                                 fs::path(sysfs.Root()) / "class" / "sound" / "card1" / "device");
    fs::create_directories(fs::path(sysfs.Root()) / "class" / "sound" / "controlC0");
    EXPECT_EQ(FindHeadsetCard({0x0c76, 0x1630, ""}, sysfs.Root()), std::nullopt);
}

}  // namespace
}  // namespace norvane::devices::audio
