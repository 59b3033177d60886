#pragma once

#include "device/hidraw_backend.h"
#include "tests/support/temp_dir.h"

#include <sys/socket.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace norvane::test {

// A sysfs tree with hidraw nodes as the kernel lays them out (USB device, interface, HID
// device, hidraw class entry), and an opener that hands out one socketpair end per open,
// standing in for /dev/hidrawN.
class FakeSysfs {
public:
    struct NodeSpec {
        std::uint16_t vendorId;
        std::uint16_t productId;
        std::uint16_t version;
        std::optional<std::uint16_t> interfaceNumber;  // nullopt: not a USB device
        std::vector<std::uint8_t> descriptor;
        std::uint16_t bus = 3;  // 3 USB, 5 Bluetooth (then interfaceNumber names the dongle's)
    };

    // Adds hidraw<n>; returns its name.
    std::string Add(int n, const NodeSpec& device) {
        namespace fs = std::filesystem;
        char hidName[32];
        // The kernel numbers every HID device anew.
        std::snprintf(hidName, sizeof hidName, "%04X:%04X:%04X.%04X", device.bus, device.vendorId,
                      device.productId, ++instances_);
        const fs::path usb =
            dir_ / "devices" / "pci0000:00" / "0000:00:14.0" / "usb1" / ("1-" + std::to_string(n));
        fs::path parent = usb;
        if (device.interfaceNumber) {
            fs::create_directories(usb);
            WriteText(usb / "bcdDevice", Hex4(device.version) + "\n");
            parent = usb / ("1-" + std::to_string(n) + ":1." + std::to_string(*device.interfaceNumber));
            fs::create_directories(parent);
            char number[8];
            std::snprintf(number, sizeof number, "%02x\n", *device.interfaceNumber);
            WriteText(parent / "bInterfaceNumber", number);
        }
        const fs::path hid = parent / hidName;
        const std::string name = "hidraw" + std::to_string(n);
        const fs::path node = hid / "hidraw" / name;
        fs::create_directories(node);
        char uevent[128];
        std::snprintf(uevent, sizeof uevent, "DRIVER=hid-generic\nHID_ID=%04X:%08X:%08X\nHID_NAME=Test\n",
                      device.bus, device.vendorId, device.productId);
        WriteText(hid / "uevent", uevent);
        WriteText(
            hid / "report_descriptor",
            std::string(reinterpret_cast<const char*>(device.descriptor.data()), device.descriptor.size()));
        fs::create_directory_symlink(fs::path("../../..") / hidName, node / "device");
        fs::create_directories(dir_ / "class" / "hidraw");
        fs::create_directory_symlink(fs::relative(node, dir_ / "class" / "hidraw"),
                                     dir_ / "class" / "hidraw" / name);
        return name;
    }

    // The class entry goes away. It is moved aside rather than deleted, so its inode number
    // is not handed to the next entry: the kernel does not reuse those of sysfs entries soon.
    void Remove(const std::string& name) {
        std::filesystem::create_directories(dir_ / "removed");
        std::filesystem::rename(dir_ / "class" / "hidraw" / name,
                                dir_ / "removed" / (name + "." + std::to_string(++instances_)));
    }

    device::HidrawConfig Config() {
        device::HidrawConfig config;
        config.sysfsRoot = dir_.Path();
        config.devRoot = "/dev";
        config.useUdev = false;
        config.openNode = [this](const std::filesystem::path& node, int /*flags*/) {
            const std::lock_guard lock(mutex_);
            const std::string name = node.filename().string();
            if (denied_ != 0) {
                errno = denied_;
                return platform::UniqueFd();
            }
            int fds[2];
            if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0) {
                return platform::UniqueFd();
            }
            peers_[name].emplace_back(fds[1]);
            return platform::UniqueFd(fds[0]);
        };
        return config;
    }

    // Makes every open fail with this errno (0: open normally).
    void DenyOpens(int error) { denied_ = error; }

    // The device sends an input report to every open file of the node.
    void SendInput(const std::string& name, const std::vector<std::uint8_t>& report) {
        const std::lock_guard lock(mutex_);
        for (const auto& peer : peers_[name]) {
            [[maybe_unused]] const auto n = ::send(peer.Get(), report.data(), report.size(), MSG_NOSIGNAL);
        }
    }

    // The device end of the i-th open of a node.
    int Peer(const std::string& name, std::size_t i) {
        const std::lock_guard lock(mutex_);
        return i < peers_[name].size() ? peers_[name][i].Get() : -1;
    }

    // Unplug: every open file sees the device go away.
    void Hangup(const std::string& name) {
        const std::lock_guard lock(mutex_);
        peers_[name].clear();
    }

    const std::filesystem::path& Root() const { return dir_.Path(); }

private:
    static std::string Hex4(std::uint16_t value) {
        char text[8];
        std::snprintf(text, sizeof text, "%04x", value);
        return text;
    }

    TempDir dir_;
    std::mutex mutex_;
    std::map<std::string, std::vector<platform::UniqueFd>> peers_;
    int denied_ = 0;
    int instances_ = 0;
};

}  // namespace norvane::test
