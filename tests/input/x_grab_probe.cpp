#include "tests/input/x_grab_probe.h"

#include <X11/Xlib.h>

namespace norvane::input::test {

bool OtherClientCanGrab(const std::string& display) {
    Display* other = XOpenDisplay(display.c_str());
    if (other == nullptr) {
        return false;
    }
    const int status =
        XGrabKeyboard(other, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    XUngrabKeyboard(other, CurrentTime);
    XCloseDisplay(other);
    return status == GrabSuccess;
}

HeldGrab::HeldGrab(const std::string& display) {
    Display* d = XOpenDisplay(display.c_str());
    display_ = d;
    if (d != nullptr) {
        held_ = XGrabKeyboard(d, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
                GrabSuccess;
        XSync(d, False);
    }
}

HeldGrab::~HeldGrab() {
    if (display_ != nullptr) {
        XCloseDisplay(static_cast<Display*>(display_));
    }
}

}  // namespace norvane::input::test
