#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The registered hook message names, the hook modes that pick one, and the window messages
// the hook events carry in their first parameter.
namespace norvane::input {

// In registration order; "UWM_MOUSERBUTTONDOWN_USER_MSG" appears twice and so gets one id.
inline constexpr std::array<std::string_view, 24> kHookMessageNames{
    "WM_HOOK_KEY_SINGLEKEY_MSG",
    "WM_HOOK_KEY_HITKEY_MSG",
    "WM_HOOK_KEY_KBMACRO_MSG",
    "WM_HOOK_KEY_MSMACRO_MSG",
    "WM_HOOK_KEY_KBMACROSINGLE_MSG",
    "WM_HOOK_KEY_KBMACROPREVIOUS_MSG",
    "WM_HOOK_KEY_KBMACROLATER_MSG",
    "WM_HOOK_MOU_SINGLEKEY_MSG",
    "WM_HOOK_MOU_HITKEY_MSG",
    "WM_HOOK_MOU_KBMACRO_MSG",
    "WM_HOOK_MOU_MSMACRO_MSG",
    "WM_HOOK_KEY_MSMACROSINGLE_MSG",
    "WM_HOOK_KEY_MSMACROPREVIOUS_MSG",
    "WM_HOOK_KEY_MSMACROLATER_MSG",
    "UWM_MOUSERBUTTONDOWN_USER_MSG",
    "UWM_MOUSELBUTTONUP_USER_MSG",
    "UWM_MOUSELBUTTONDOWN_USER_MSG",
    "UWM_MOUSERBUTTONUP_USER_MSG",
    "UWM_MOUSERBUTTONDOWN_USER_MSG",
    "UWM_MOUSEMOVE_USER_MSG",
    "Game_Start",
    "Game_End",
    "Game_Kill",
    "Game_Death",
};

// Posted when a running capture ends by itself (grab refused, display gone); the first
// parameter is a HookStopReason.
inline constexpr std::string_view kHookStoppedMessageName = "NORVANE_HOOK_STOPPED_MSG";

// The ids every module sees, registered by name with the toolkit.
struct HookMessageIds {
    unsigned keySingleKey = 0;        // "WM_HOOK_KEY_SINGLEKEY_MSG"
    unsigned keyHitKey = 0;           // "WM_HOOK_KEY_HITKEY_MSG"
    unsigned keyKbMacro = 0;          // "WM_HOOK_KEY_KBMACRO_MSG"
    unsigned keyMsMacro = 0;          // "WM_HOOK_KEY_MSMACRO_MSG"
    unsigned keyKbMacroSingle = 0;    // "WM_HOOK_KEY_KBMACROSINGLE_MSG"
    unsigned keyKbMacroPrevious = 0;  // "WM_HOOK_KEY_KBMACROPREVIOUS_MSG"
    unsigned keyKbMacroLater = 0;     // "WM_HOOK_KEY_KBMACROLATER_MSG"
    unsigned mouSingleKey = 0;        // "WM_HOOK_MOU_SINGLEKEY_MSG"
    unsigned mouHitKey = 0;           // "WM_HOOK_MOU_HITKEY_MSG"
    unsigned mouKbMacro = 0;          // "WM_HOOK_MOU_KBMACRO_MSG"
    unsigned mouMsMacro = 0;          // "WM_HOOK_MOU_MSMACRO_MSG"
    unsigned keyMsMacroSingle = 0;    // "WM_HOOK_KEY_MSMACROSINGLE_MSG"
    unsigned keyMsMacroPrevious = 0;  // "WM_HOOK_KEY_MSMACROPREVIOUS_MSG"
    unsigned keyMsMacroLater = 0;     // "WM_HOOK_KEY_MSMACROLATER_MSG"
    unsigned mouseRButtonDown = 0;    // "UWM_MOUSERBUTTONDOWN_USER_MSG"
    unsigned mouseLButtonUp = 0;
    unsigned mouseLButtonDown = 0;
    unsigned mouseRButtonUp = 0;
    unsigned mouseRButtonDownAgain = 0;  // same name as mouseRButtonDown, same id
    unsigned mouseMove = 0;
    unsigned gameStart = 0;
    unsigned gameEnd = 0;
    unsigned gameKill = 0;
    unsigned gameDeath = 0;
    unsigned hookStopped = 0;  // kHookStoppedMessageName
};

// Registers every name once (thread-safe) and returns the ids.
const HookMessageIds& HookMessages();

// Modes a capture starts in; each picks the message the keyboard and the mouse events use.
enum class HookMode : std::uint32_t {
    Idle = 0,
    SingleKey = 1,  // key assignment capture
    HitKey = 2,
    MacroAppend = 4,
    MacroInsertBefore = 8,
    MacroInsertAfter = 16,
    MacroReplace = 32,
    MouseSingleKey = 256,
    MouseHitKey = 512,
    MouseKbMacro = 1024,
};

// The message keyboard events are posted as in a mode; nullopt for an unknown mode.
std::optional<unsigned> KeyboardMessageFor(HookMode mode);
// The message mouse events are posted as (modes 4, 8, 16, 32); nullopt otherwise.
std::optional<unsigned> MouseMessageFor(HookMode mode);

// The recording operation a hook message asks for, and whether it carries a key or a mouse event.
enum class RecordKind { Append, InsertBefore, InsertAfter, Replace };
struct RecordMessage {
    RecordKind kind = RecordKind::Append;
    bool keyboard = true;
};
// nullopt for messages the recorder does not handle.
std::optional<RecordMessage> RecordMessageOf(unsigned msg);

// Keyboard window messages carried in the first parameter of a key message.
inline constexpr unsigned kWmKeyDown = 0x0100;
inline constexpr unsigned kWmKeyUp = 0x0101;
inline constexpr unsigned kWmSysKeyDown = 0x0104;
inline constexpr unsigned kWmSysKeyUp = 0x0105;
constexpr bool IsKeyPress(unsigned keyMessage) {
    return keyMessage == kWmKeyDown || keyMessage == kWmSysKeyDown;
}

// Key codes of the lock keys, which keep working while other keys are captured.
inline constexpr std::uint16_t kKeyCodeCapsLock = 0x14;
inline constexpr std::uint16_t kKeyCodeNumLock = 0x90;
inline constexpr std::uint16_t kKeyCodeScrollLock = 0x91;
constexpr bool IsLockKey(std::uint16_t keyCode) {
    return keyCode == kKeyCodeCapsLock || keyCode == kKeyCodeNumLock || keyCode == kKeyCodeScrollLock;
}

// Mouse window messages carried in the first parameter of a mouse message.
inline constexpr unsigned kWmMouseMove = 0x0200;
inline constexpr unsigned kWmLButtonDown = 0x0201;
inline constexpr unsigned kWmLButtonUp = 0x0202;
inline constexpr unsigned kWmRButtonDown = 0x0204;
inline constexpr unsigned kWmRButtonUp = 0x0205;
inline constexpr unsigned kWmMButtonDown = 0x0207;
inline constexpr unsigned kWmMButtonUp = 0x0208;
inline constexpr unsigned kWmMouseWheel = 0x020A;
inline constexpr unsigned kWmXButtonDown = 0x020B;
inline constexpr unsigned kWmXButtonUp = 0x020C;
inline constexpr unsigned kWmMouseHWheel = 0x020E;

}  // namespace norvane::input
