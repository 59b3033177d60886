#pragma once

#include "device/command_packet.h"
#include "device/hid_channel.h"
#include "device/path_keys.h"
#include "sim/sim_backend.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace norvane::test {

// A request as it must appear on the wire, built independently of CommandPacket.
inline std::vector<std::uint8_t> ExpectedRequest(std::uint8_t command, std::uint8_t length,
                                                 std::uint16_t offset,
                                                 std::span<const std::uint8_t> data = {}) {
    std::vector<std::uint8_t> r(64, 0);
    r[0] = 0x04;
    r[3] = command;
    r[4] = length;
    r[5] = static_cast<std::uint8_t>(offset);
    r[6] = static_cast<std::uint8_t>(offset >> 8);
    for (std::size_t i = 0; i < data.size() && i < 56; ++i) {
        r[8 + i] = data[i];
    }
    unsigned sum = 0;
    for (std::size_t i = 3; i < 64; ++i) {
        sum += r[i];
    }
    r[1] = static_cast<std::uint8_t>(sum);
    r[2] = static_cast<std::uint8_t>(sum >> 8);
    return r;
}

inline std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
    }
    return bytes;
}

// A simulated product with its command collection open on a channel.
class SimChannelTest : public ::testing::Test {
protected:
    // Starts over with a fresh backend holding one product.
    void Connect(std::string_view product, device::LinkMode mode = device::LinkMode::Cable) {
        channel_.SetOpen(false);
        channel_.Cable().Close();
        channel_.Receiver().Close();
        backend_ = std::make_unique<sim::SimBackend>();
        device_ = &backend_->Add(*sim::FindSimProduct(product));
        channel_.Cable().SetBackend(backend_.get());
        channel_.Receiver().SetBackend(backend_.get());
        channel_.SetTimeouts(60, 60);
        const std::string path = CommandPath();
        ASSERT_FALSE(path.empty());
        auto& slot = mode == device::LinkMode::Receiver ? channel_.Receiver() : channel_.Cable();
        ASSERT_TRUE(slot.Open(path, true, true, true, false));
        channel_.SetLinkMode(mode);
        channel_.SetOpen(true);
    }

    std::string CommandPath() {
        std::vector<std::string> paths;
        backend_->Enumerate(paths);
        for (const std::string& path : paths) {
            const bool headset = device_->Spec().vendorId == 0x0C76;
            if (path.find(device_->Name() + ":") != std::string::npos &&
                (headset ? device::InterfaceNumberFromPath(path) == 3
                         : device::CollectionNumberFromPath(path) == 4)) {
                return path;
            }
        }
        return {};
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

    std::unique_ptr<sim::SimBackend> backend_;
    sim::SimDevice* device_ = nullptr;
    device::HidChannel channel_;
};

}  // namespace norvane::test
