// "macro.config": loading the macro library and the operations on its entries.
#include "config/macro_library.h"
#include "tests/config/fuzz/fuzz_support.h"

using namespace norvane::config;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path index = norvane::fuzz::WriteInput("macro.config", data, size);
    MacroLibrary library(index.parent_path());
    library.Load();
    library.Names();
    for (int i = 0; i < library.Count() && i < 64; ++i) {
        library.MacroPath(i);
        library.Open(i);
    }
    library.Rename(0, "renamed");
    library.NewMacro();
    library.Delete(0);
    return 0;
}
