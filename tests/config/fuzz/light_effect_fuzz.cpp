// ".light" custom effect files.
#include "config/light_data.h"
#include "tests/config/fuzz/fuzz_support.h"

using namespace norvane::config;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = norvane::fuzz::WriteInput("effect.light", data, size);
    ReadLightEffectFile(file);
    return 0;
}
