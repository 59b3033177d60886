#pragma once

#include "device/hid_backend.h"

#include <optional>
#include <string>
#include <vector>

namespace norvane::device {

// The interface paths of one enumeration, walked with a cursor.
class HidPathList {
public:
    // Replaces the list with every present interface path and rewinds the cursor; false
    // (and an empty list) when the listing failed. No devices is an empty list and success.
    bool Enumerate(HidBackend& backend);
    // The path under the cursor, then advances; nullopt at the end.
    std::optional<std::string> Next();
    void Clear();
    std::size_t Size() const { return paths_.size(); }

private:
    std::vector<std::string> paths_;
    std::size_t cursor_ = 0;
};

}  // namespace norvane::device
