#pragma once

#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// A scratch folder for the fuzz targets, on tmpfs when there is one so the atomic writes
// stay cheap; emptied before every input.
namespace norvane::fuzz {

inline const std::filesystem::path& WorkFolder() {
    static const std::filesystem::path folder = [] {
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::filesystem::path path = base / ("norvane-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path, ec);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(WorkFolder(), ignored);
        });
        return path;
    }();
    return folder;
}

inline const std::filesystem::path& FreshFolder() {
    const std::filesystem::path& folder = WorkFolder();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::filesystem::remove_all(entry.path(), ec);
    }
    return folder;
}

// Writes the input as a file in the fresh folder.
inline std::filesystem::path WriteInput(std::string_view name, const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path path = FreshFolder() / name;
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path;
}

}  // namespace norvane::fuzz
