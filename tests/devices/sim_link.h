#pragma once

#include "device/hid_channel.h"
#include "device/path_keys.h"
#include "sim/products.h"
#include "sim/sim_backend.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::test {

// One simulated product whose collections tests open on a device object's channels.
class SimLink {
public:
    explicit SimLink(std::string_view product) : backend_(std::make_unique<sim::SimBackend>()) {
        device_ = &backend_->Add(*sim::FindSimProduct(product));
    }

    sim::SimDevice& Device() { return *device_; }
    sim::SimBackend& Backend() { return *backend_; }

    // The path of collection `collection` (command 4, consumer events 3).
    std::string PathOf(std::uint16_t collection) const {
        std::vector<std::string> paths;
        backend_->Enumerate(paths);
        for (const std::string& path : paths) {
            if (path.find(device_->Name() + ":") != std::string::npos &&
                device::CollectionNumberFromPath(path) == collection) {
                return path;
            }
        }
        return {};
    }

    // The collection that carries commands (4), or events (3); a device with one collection per
    // interface (the headset) carries both in that one.
    std::string CommandPath() const { return PathOrOnly(4); }
    std::string EventPath() const { return PathOrOnly(3); }

    // Opens the command collection in the slot of the mode and marks the channel open.
    bool OpenCommand(device::HidChannel& channel, device::LinkMode mode) {
        channel.Cable().SetBackend(backend_.get());
        channel.Receiver().SetBackend(backend_.get());
        channel.SetTimeouts(60, 60);
        auto& slot = mode == device::LinkMode::Receiver ? channel.Receiver() : channel.Cable();
        if (!slot.Open(CommandPath(), true, true, true, false)) {
            return false;
        }
        channel.SetLinkMode(mode);
        channel.SetOpen(true);
        return true;
    }

    // Opens the event collection in the channel's cable slot.
    bool OpenEvents(device::HidChannel& channel) {
        channel.Cable().SetBackend(backend_.get());
        return channel.Cable().Open(EventPath(), true, true, true, false);
    }

    std::vector<std::vector<std::uint8_t>> Sent() const {
        std::vector<std::vector<std::uint8_t>> sent;
        for (const auto& record : device_->WireLog()) {
            if (record.direction == sim::WireDirection::HostToDevice) {
                sent.push_back(record.bytes);
            }
        }
        return sent;
    }

private:
    std::string PathOrOnly(std::uint16_t collection) const {
        if (std::string path = PathOf(collection); !path.empty()) {
            return path;
        }
        std::vector<std::string> paths;
        backend_->Enumerate(paths);
        std::vector<std::string> own;
        for (const std::string& path : paths) {
            if (path.find(device_->Name() + ":") != std::string::npos) {
                own.push_back(path);
            }
        }
        return own.size() == 1 ? own.front() : std::string();
    }

    std::unique_ptr<sim::SimBackend> backend_;
    sim::SimDevice* device_ = nullptr;
};

}  // namespace norvane::test
