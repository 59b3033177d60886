#pragma once

#include "devices/common/results.h"

// The mouse's sequences return the shared result codes.
namespace norvane::devices::mouse::result {

using devices::result::kBadKeyCount;
using devices::result::kBadShootPattern;
using devices::result::kNoKeyTable;
using devices::result::kNoModeCode;

}  // namespace norvane::devices::mouse::result
