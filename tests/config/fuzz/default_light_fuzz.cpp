// "default_light.json": built-in light mode names, visibility and codes, and zone names.
#include "config/light_data.h"
#include "tests/config/fuzz/fuzz_support.h"

using namespace norvane::config;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = norvane::fuzz::WriteInput("default_light.json", data, size);
    for (int lightClass = -1; lightClass <= 4; ++lightClass) {
        ReadLightModeNames(file, lightClass);
    }
    return 0;
}
