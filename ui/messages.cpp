#include "ui/messages.h"

#include <map>
#include <mutex>
#include <string>

namespace norvane::ui {

unsigned RegisterWindowMessage(std::string_view name) {
    if (name.empty()) {
        return 0;
    }
    static std::mutex mutex;
    static std::map<std::string, unsigned, std::less<>> ids;
    std::lock_guard lock(mutex);
    auto it = ids.find(name);
    if (it != ids.end()) {
        return it->second;
    }
    constexpr unsigned kFirstRegistered = 0xC000;
    unsigned id = kFirstRegistered + static_cast<unsigned>(ids.size());
    ids.emplace(std::string(name), id);
    return id;
}

}  // namespace norvane::ui
