#pragma once

#include "device/hid_backend.h"
#include "sim/sim_device.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::sim {

// Virtual devices behind the HID backend interface. Paths look like
// "sim:keyboard:1#vid_320f&pid_50b7&mi_01&col04": one per top-level collection.
class SimBackend : public device::HidBackend {
public:
    // Adds a device of a product; a second device of the same product gets "-2", ….
    SimDevice& Add(const SimProductSpec& product);
    SimDevice* Find(std::string_view name);
    std::vector<std::shared_ptr<SimDevice>> Devices() const;

    bool Enumerate(std::vector<std::string>& paths) override;
    std::unique_ptr<device::HidConnection> Open(std::string_view path,
                                                const device::HidOpenMode& mode) override;
    bool Probe(std::string_view path) override;
    std::optional<device::HidPathDescription> Describe(std::string_view path) override;

private:
    std::shared_ptr<SimDevice> DeviceOfPath(std::string_view path, std::uint16_t& interfaceNumber) const;

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<SimDevice>> devices_;
};

// A backend holding the products of a comma-separated list ("keyboard,mouse"); null with
// a message naming the unknown product otherwise.
std::unique_ptr<SimBackend> MakeSimBackend(std::string_view products, std::string& error);

}  // namespace norvane::sim
