#pragma once

#include "sim/products.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace norvane::sim {

// A product as a USB device of the kernel's gadget stack: a configfs gadget with one HID
// function per interface, in interface order, bound to a device controller (dummy_udc.N
// under dummy_hcd). Interface numbers the product leaves out are taken by small vendor
// interfaces, so every interface keeps its own number. Removed from configfs on
// destruction.
class UsbGadget {
public:
    struct Function {
        std::uint16_t interfaceNumber = 0;
        bool used = false;  // an interface of the product, not a stand-in
        std::string instance;
        std::filesystem::path node;  // /dev/hidgN while bound
    };

    UsbGadget() = default;
    UsbGadget(const UsbGadget&) = delete;
    UsbGadget& operator=(const UsbGadget&) = delete;
    ~UsbGadget();

    // Builds the gadget under configfsRoot (…/usb_gadget); false with a message otherwise.
    bool Create(const SimProductSpec& product, const std::string& name, const std::string& udc,
                const std::filesystem::path& configfsRoot, std::string& error);
    // Attaches to the controller and waits up to timeoutMs for the /dev/hidgN nodes.
    bool Bind(int timeoutMs, std::string& error);
    // Detaches: the host sees the device go away.
    void Unbind();
    bool Bound() const { return bound_; }

    const std::vector<Function>& Functions() const { return functions_; }

private:
    void Remove();

    std::filesystem::path dir_;
    std::string udc_;
    std::vector<Function> functions_;
    bool bound_ = false;
};

// The device controllers the kernel offers (/sys/class/udc), in name order.
std::vector<std::string> DeviceControllers(const std::filesystem::path& sysfsRoot = "/sys");

}  // namespace norvane::sim
