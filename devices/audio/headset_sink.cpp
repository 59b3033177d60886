#include "devices/audio/headset_sink.h"

#include <charconv>

namespace norvane::devices::audio {
namespace {

std::string_view Value(const ObjectProperties& properties, std::string_view key) {
    const auto it = properties.find(key);
    return it == properties.end() ? std::string_view() : std::string_view(it->second);
}

}  // namespace

std::optional<std::uint16_t> ParseUsbId(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 4) {
        return std::nullopt;
    }
    std::uint16_t id = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id, 16);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return id;
}

bool NamesHeadset(const ObjectProperties& properties, const AudioDeviceIdentity& identity) {
    const auto vendor = ParseUsbId(Value(properties, "device.vendor.id"));
    const auto product = ParseUsbId(Value(properties, "device.product.id"));
    return vendor && product && *vendor == identity.vendorId && *product == identity.productId;
}

bool IsAudioSink(const ObjectProperties& properties) {
    return Value(properties, "media.class") == "Audio/Sink";
}

std::optional<std::uint32_t> FindHeadsetSink(const ObjectMap& sinks, const ObjectMap& devices,
                                             const AudioDeviceIdentity& identity, std::string_view skip) {
    for (const auto& [id, properties] : sinks) {
        if (!IsAudioSink(properties) || Value(properties, "node.name") == skip) {
            continue;
        }
        if (NamesHeadset(properties, identity)) {
            return id;
        }
        const std::string_view device = Value(properties, "device.id");
        std::uint32_t deviceId = 0;
        const auto [end, ec] = std::from_chars(device.data(), device.data() + device.size(), deviceId);
        if (device.empty() || ec != std::errc() || end != device.data() + device.size()) {
            continue;
        }
        const auto it = devices.find(deviceId);
        if (it != devices.end() && NamesHeadset(it->second, identity)) {
            return id;
        }
    }
    return std::nullopt;
}

}  // namespace norvane::devices::audio
