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

}  // namespace norvane::input::test
