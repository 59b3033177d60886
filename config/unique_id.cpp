#include "config/unique_id.h"

#include "config/strings.h"

#include <chrono>
#include <system_error>
#include <thread>

namespace norvane::config {

std::optional<std::string> UniqueTimestampId(const std::filesystem::path& folder, std::string_view extension,
                                             const std::function<bool(std::string_view)>& taken) {
    for (int attempt = 0; attempt < kUniqueIdTries; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::string id = MakeTimestampId();
        if (id.empty() || taken(id)) {
            continue;
        }
        std::error_code ec;
        const bool exists = std::filesystem::exists(folder / (id + std::string(extension)), ec);
        if (ec) {
            return std::nullopt;
        }
        if (!exists) {
            return id;
        }
    }
    return std::nullopt;
}

}  // namespace norvane::config
