#include "device/hid_path_list.h"

namespace norvane::device {

bool HidPathList::Enumerate(HidBackend& backend) {
    Clear();
    std::vector<std::string> paths;
    if (!backend.Enumerate(paths)) {
        return false;
    }
    paths_ = std::move(paths);
    return true;
}

std::optional<std::string> HidPathList::Next() {
    if (cursor_ >= paths_.size()) {
        return std::nullopt;
    }
    return paths_[cursor_++];
}

void HidPathList::Clear() {
    paths_.clear();
    cursor_ = 0;
}

}  // namespace norvane::device
