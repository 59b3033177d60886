#pragma once

#include <memory>
#include <string>

// Another X client taking the keyboard, kept apart so the tests need no Xlib macros.
namespace norvane::input::test {

// Whether another client could grab the keyboard now (the grab is given back at once).
bool OtherClientCanGrab(const std::string& display);

// Holds the keyboard from another connection while alive; Held() false when the grab failed.
class HeldGrab {
public:
    explicit HeldGrab(const std::string& display);
    ~HeldGrab();
    HeldGrab(const HeldGrab&) = delete;
    HeldGrab& operator=(const HeldGrab&) = delete;
    bool Held() const { return held_; }

private:
    void* display_ = nullptr;
    bool held_ = false;
};

// A window of another client that has the input focus and counts the key presses it gets.
class FocusedWindow {
public:
    explicit FocusedWindow(const std::string& display);
    ~FocusedWindow();
    FocusedWindow(const FocusedWindow&) = delete;
    FocusedWindow& operator=(const FocusedWindow&) = delete;
    bool Ready() const { return window_ != 0; }
    // Key presses received so far (a round trip first, so sent keys have arrived).
    int KeyPresses();

private:
    void* display_ = nullptr;
    unsigned long window_ = 0;
    int presses_ = 0;
};

// Whether Caps Lock is locked on the server.
bool CapsLockOn(const std::string& display);

}  // namespace norvane::input::test
