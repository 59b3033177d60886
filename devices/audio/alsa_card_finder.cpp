#include "devices/audio/alsa_card_finder.h"

#include "platform/diag.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace norvane::devices::audio {
namespace {

namespace fs = std::filesystem;

std::optional<unsigned> ReadHex(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    if (!(in >> text)) {
        return std::nullopt;
    }
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc{} || end != text.data() + text.size() || value > 0xFFFF) {
        return std::nullopt;
    }
    return value;
}

// The USB device (the folder with idVendor) that the sysfs node at link hangs under.
std::optional<fs::path> UsbDeviceOf(const fs::path& link, const fs::path& root) {
    std::error_code ec;
    fs::path p = fs::canonical(link, ec);
    if (ec) {
        return std::nullopt;
    }
    while (p.has_relative_path() && p != root) {
        if (fs::exists(p / "idVendor", ec) && fs::exists(p / "idProduct", ec)) {
            return p;
        }
        p = p.parent_path();
    }
    return std::nullopt;
}

// The card numbers under class/sound, in order.
std::vector<int> Cards(const fs::path& root) {
    std::vector<int> cards;
    std::error_code ec;
    for (fs::directory_iterator it(root / "class" / "sound", ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with("card")) {
            continue;
        }
        int number = 0;
        const char* first = name.data() + 4;
        const char* last = name.data() + name.size();
        const auto [ptr, error] = std::from_chars(first, last, number);
        if (error == std::errc{} && ptr == last && first != last) {
            cards.push_back(number);
        }
    }
    std::sort(cards.begin(), cards.end());
    return cards;
}

fs::path CardDevice(const fs::path& root, int card) {
    return root / "class" / "sound" / ("card" + std::to_string(card)) / "device";
}

}  // namespace

std::optional<int> FindHeadsetCard(const AudioDeviceIdentity& identity, std::string_view sysfsRoot) {
    std::error_code ec;
    const fs::path root = fs::canonical(fs::path(sysfsRoot), ec);
    if (ec) {
        return std::nullopt;
    }
    const std::vector<int> cards = Cards(root);
    if (!identity.hidPath.empty()) {
        const fs::path node = fs::path(identity.hidPath).filename();
        if (const auto usb = UsbDeviceOf(root / "class" / "hidraw" / node / "device", root)) {
            for (const int card : cards) {
                if (UsbDeviceOf(CardDevice(root, card), root) == usb) {
                    return card;
                }
            }
        }
    }
    for (const int card : cards) {
        const auto usb = UsbDeviceOf(CardDevice(root, card), root);
        if (usb && ReadHex(*usb / "idVendor") == identity.vendorId &&
            ReadHex(*usb / "idProduct") == identity.productId) {
            return card;
        }
    }
    if (platform::diag::Enabled()) {
        platform::diag::Trace("audio: no sound card for " + identity.hidPath);
    }
    return std::nullopt;
}

}  // namespace norvane::devices::audio
