#include "input/x11_dead_display.h"

#include <X11/Xlibint.h>

namespace norvane::input {

void MarkDisplayDead(_XDisplay* display) {
    display->flags = display->flags | XlibDisplayIOError;
}

}  // namespace norvane::input
