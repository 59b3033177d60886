// ".mac" macro files: opening a macro and packing its events for the device.
#include "config/json_file_store.h"
#include "config/macro_library.h"
#include "tests/config/fuzz/fuzz_support.h"

using namespace norvane::config;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = norvane::fuzz::WriteInput("m1.mac", data, size);
    Json::Value index;
    index["MacroInfo"][0]["MacroName"] = "m";
    index["MacroInfo"][0]["Guid"] = "m1";
    JsonFileStore::WriteJsonFile(file.parent_path() / "macro.config", index);
    MacroLibrary library(file.parent_path());
    library.Load();
    const std::vector<MacroEvent> events = library.Open(0);
    PackMacroEvents(events);
    library.Save(0, events);
    return 0;
}
