#include "tests/input/x_grab_probe.h"

#include <X11/XKBlib.h>
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

FocusedWindow::FocusedWindow(const std::string& display) {
    Display* d = XOpenDisplay(display.c_str());
    display_ = d;
    if (d == nullptr) {
        return;
    }
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 200, 100, 0, 0, 0);
    XSelectInput(d, w, KeyPressMask | StructureNotifyMask);
    XMapWindow(d, w);
    XEvent event;
    do {
        XNextEvent(d, &event);
    } while (event.type != MapNotify);
    XSetInputFocus(d, w, RevertToParent, CurrentTime);
    XSync(d, False);
    window_ = w;
}

FocusedWindow::~FocusedWindow() {
    if (display_ != nullptr) {
        XCloseDisplay(static_cast<Display*>(display_));
    }
}

int FocusedWindow::KeyPresses() {
    auto* d = static_cast<Display*>(display_);
    if (d == nullptr) {
        return 0;
    }
    XSync(d, False);
    while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        if (event.type == KeyPress) {
            ++presses_;
        }
    }
    return presses_;
}

bool CapsLockOn(const std::string& display) {
    Display* d = XOpenDisplay(display.c_str());
    if (d == nullptr) {
        return false;
    }
    XkbStateRec state{};
    XkbGetState(d, XkbUseCoreKbd, &state);
    XCloseDisplay(d);
    return (state.locked_mods & LockMask) != 0;
}

}  // namespace norvane::input::test
