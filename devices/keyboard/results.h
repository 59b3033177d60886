#pragma once

#include "devices/common/results.h"

// The keyboard's sequences return the shared result codes.
namespace norvane::devices::keyboard::result {

using devices::result::kBadKeyCount;
using devices::result::kNoKeyTable;
using devices::result::kNoModeCode;

}  // namespace norvane::devices::keyboard::result
