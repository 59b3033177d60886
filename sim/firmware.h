#pragma once

#include "device/command_packet.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// The memory and command handling of a simulated peripheral: answers every command of the
// vendor protocol from its memory areas, so a test can check what a write left behind.
namespace norvane::sim {

struct FirmwareLayout {
    device::DeviceInfoBlock info;
    std::size_t settingsSize = 4096;
    std::size_t keyTableSize = 512;
    std::size_t ledMapSize = 256;
    std::size_t keyColorSize = 8 * 512;
    std::size_t shootSize = 4096;
    std::size_t lightFrameSize = 512;
    std::size_t statusSize = 56;
};

class FirmwareModel {
public:
    explicit FirmwareModel(const FirmwareLayout& layout);

    // The answer to one request report: the request's header with status 0 and, for reads,
    // the data; status 0xFE for a bad checksum or an unknown command, 0xFF for an access
    // outside the addressed memory.
    device::Report Answer(const device::Report& request);

    // Through a receiver whose mouse sleeps, every command is answered with command 0xAA.
    void SetLinked(bool linked) { linked_ = linked; }
    bool Linked() const { return linked_; }
    bool ActsAsReceiver() const { return receiver_; }
    void SetActsAsReceiver(bool receiver) { receiver_ = receiver; }

    device::DeviceInfoBlock& Info() { return info_; }
    std::vector<std::uint8_t>& Settings() { return settings_; }
    std::vector<std::uint8_t>& KeyTable() { return keyTable_; }
    std::vector<std::uint8_t>& LedMap() { return ledMap_; }
    std::vector<std::uint8_t>& KeyColors() { return keyColors_; }
    std::vector<std::uint8_t>& MacroMemory() { return macro_; }
    std::vector<std::uint8_t>& ShootMemory() { return shoot_; }
    std::vector<std::uint8_t>& LightFrame() { return lightFrame_; }
    std::vector<std::uint8_t>& Status() { return status_; }
    // The newest of the headset's LED output reports (bank 0x22 or 0x44, colour code 0xAA-0xAF).
    const std::vector<std::vector<std::uint8_t>>& OutputReports() const { return outputReports_; }
    void RecordOutputReport(std::span<const std::uint8_t> report);

    bool InConfig() const { return inConfig_; }
    bool HostLighting() const { return hostLighting_; }
    int BracketCount() const { return brackets_; }

private:
    std::vector<std::uint8_t>* Area(device::Command command);

    device::DeviceInfoBlock info_;
    std::vector<std::uint8_t> settings_;
    std::vector<std::uint8_t> keyTable_;
    std::vector<std::uint8_t> ledMap_;
    std::vector<std::uint8_t> keyColors_;
    std::vector<std::uint8_t> macro_;
    std::vector<std::uint8_t> shoot_;
    std::vector<std::uint8_t> lightFrame_;
    std::vector<std::uint8_t> status_;
    std::vector<std::uint8_t> infoBytes_;
    std::vector<std::vector<std::uint8_t>> outputReports_;
    bool linked_ = true;
    bool receiver_ = false;
    bool inConfig_ = false;
    bool hostLighting_ = false;
    int brackets_ = 0;
};

}  // namespace norvane::sim
