#pragma once

struct _XDisplay;

namespace norvane::input {

// Marks a display whose connection is gone: every later Xlib call on it returns at once, so
// it can be closed and freed without entering Xlib's error path.
void MarkDisplayDead(_XDisplay* display);

}  // namespace norvane::input
