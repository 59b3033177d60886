// "velto_light.config": custom light names and the effect lookup of the selected mode.
#include "config/profile_data.h"
#include "tests/config/fuzz/fuzz_support.h"

using namespace norvane::config;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = norvane::fuzz::WriteInput("velto_light.config", data, size);
    CBasicProfiledata profile;
    profile.SetLightConfigPath(file);
    const Json::Value config = profile.LoadLightConfig(file);
    for (int lightClass = -1; lightClass <= 4; ++lightClass) {
        CustomLightNames(config, lightClass);
    }
    LightInfo info;
    for (int mode : {0, 1, 3, 12, 255}) {
        info.selectedMode = static_cast<std::uint8_t>(mode);
        profile.SetLightInfo(info);
        profile.GetCustomEffect();
    }
    return 0;
}
