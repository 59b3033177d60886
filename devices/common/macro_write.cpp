#include "devices/common/macro_write.h"

#include "config/macro_library.h"
#include "device/commands.h"
#include "devices/common/macro_image.h"
#include "platform/diag.h"

#include <string>
#include <vector>

namespace norvane::devices {
namespace {

namespace code = device::result;

void Trace(std::string_view what, int result) {
    if (platform::diag::Enabled()) {
        platform::diag::Trace("macro write: " + std::string(what) + " " + std::to_string(result));
    }
}

}  // namespace

int MacroCount(const std::filesystem::path& dataFolder) {
    config::MacroLibrary library(dataFolder);
    library.Load();
    return library.Count();
}

MacroWriteResult WriteMacros(device::HidChannel& channel, const std::filesystem::path& dataFolder,
                             std::span<const int> macroIndices, LinkTest link) {
    if (!LinkUp(channel, link)) {
        return {-1, code::kNoAnswer};
    }
    device::DeviceInfoBlock info;
    const int infoResult = device::ReadDeviceInfo(channel, info);
    config::MacroLibrary library(dataFolder);
    library.Load();
    if (library.Count() == 0 || macroIndices.empty()) {
        return {};
    }
    if (infoResult != code::kSuccess) {
        return {-1, infoResult};
    }
    std::vector<std::vector<config::PackedMacroEvent>> macros;
    macros.reserve(macroIndices.size());
    for (int index : macroIndices) {
        if (index < 0 || index >= library.Count()) {
            Trace("macro index outside the library", index);
            return {-1, code::kSuccess};
        }
        macros.push_back(config::PackMacroEvents(library.Open(index)));
    }
    const MacroImage image = BuildMacroMemoryImage(macros, info.MacroMemoryBytes());
    if (image.result != 0) {
        return {image.result, code::kSuccess};
    }
    const int wire = Bracketed(channel, link, [&] { return device::WriteMacroMemory(channel, image.bytes); });
    return {wire == code::kSuccess ? 0 : -1, wire};
}

}  // namespace norvane::devices
