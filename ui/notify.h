#pragma once

#include <cstdint>
#include <string>

#include "ui/types.h"

namespace norvane::ui {

class CControlUI;

// One control notification, delivered synchronously on the UI thread while the sender lives.
struct TNotifyUI {
    std::string type;
    CControlUI* sender = nullptr;
    std::intptr_t wparam = 0;
    std::intptr_t lparam = 0;
    Point mouse;
    std::uint64_t timestamp = 0;
};

// Receives the notifications of one window's controls.
class INotifyUI {
public:
    virtual void Notify(TNotifyUI& msg) = 0;

protected:
    virtual ~INotifyUI() = default;
};

// Notification type texts.
namespace notify {
inline constexpr const char* kWindowInit = "windowinit";
inline constexpr const char* kWindowSize = "windowsize";
inline constexpr const char* kTimer = "timer";
inline constexpr const char* kClick = "click";
inline constexpr const char* kDbClick = "dbclick";
inline constexpr const char* kSelectChanged = "selectchanged";
inline constexpr const char* kCheckClick = "checkclick";
inline constexpr const char* kItemSelect = "itemselect";
inline constexpr const char* kItemClick = "itemclick";
inline constexpr const char* kItemActivate = "itemactivate";
inline constexpr const char* kValueChanged = "valuechanged";
inline constexpr const char* kMoveValueChanged = "movevaluechanged";
inline constexpr const char* kTextChanged = "textchanged";
inline constexpr const char* kKillFocus = "killfocus";
inline constexpr const char* kSetFocus = "setfocus";
inline constexpr const char* kColorChanged = "colorchanged";
inline constexpr const char* kMouseEnter = "msenter";
inline constexpr const char* kMouseLeave = "msleave";
inline constexpr const char* kMenu = "menu";
inline constexpr const char* kReturn = "return";
inline constexpr const char* kDropDown = "dropdown";
}  // namespace notify

}  // namespace norvane::ui
