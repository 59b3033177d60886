#include "platform/paths.h"
#include "platform/registry.h"

#include <cstdio>
#include <string_view>

namespace {

void PrintUsage() {
    std::puts("usage: norvane [--simulate] [--version] [--help]");
}

}  // namespace

int main(int argc, char** argv) {
    using namespace norvane::platform;
    bool simulate = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            std::printf("norvane %s\n", InstalledVersionText().c_str());
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            PrintUsage();
            return 0;
        }
        if (arg == "--simulate" || arg.starts_with("--simulate=")) {
            simulate = true;
            continue;
        }
        std::fprintf(stderr, "norvane: unknown option '%s'\n", argv[i]);
        PrintUsage();
        return 2;
    }
    std::printf("norvane %s%s\n", InstalledVersionText().c_str(), simulate ? " (simulated devices)" : "");
    std::printf("program folder: %s\n", ProgramFolder().c_str());
    const auto data = UserDataFolder();
    if (data.empty()) {
        std::fputs("norvane: the per-user data folder cannot be created\n", stderr);
        return 1;
    }
    std::printf("data folder:    %s\n", data.c_str());
    return 0;
}
