#pragma once

#include "update/settings_messages.h"

#include <string_view>

namespace norvane::shell {

// Private messages of the main window.
inline constexpr unsigned kTrayCallbackMessage = 1025;
inline constexpr unsigned kHookSwitchMessage = 1054;
// The key field's focus: 1 starts the capture of keyboard keys, 0 stops it.
inline constexpr unsigned kKeyCaptureMessage = kHookSwitchMessage;
inline constexpr unsigned kScaleNoteMessage = 1224;
inline constexpr unsigned kShowProgressMessage = 3072;
inline constexpr unsigned kLanguageChangedMessage = update::kLanguageChangedMessage;
inline constexpr unsigned kOpenSettingsMessage = 3093;
inline constexpr unsigned kSettingsIdleMessage = update::kSettingsIdleMessage;
// Posted when events from other programs wait in the window's bus queue.
inline constexpr unsigned kBusEventMessage = 3400;

// Timers of the main window (on its root control).
inline constexpr int kFitTimerId = 1011;
inline constexpr int kFitTimerMs = 100;
// While a launched audio-capture companion has not taken its bus name yet.
inline constexpr int kCompanionWaitTimerId = 1012;
inline constexpr int kCompanionWaitTimerMs = 50;
inline constexpr int kTrayMenuTimerId = 1032;
inline constexpr int kTrayMenuTimerMs = 10;
inline constexpr int kProfileTimerId = 1055;
inline constexpr int kProfileTimerMs = 400;
inline constexpr int kGameTimerId = 1066;
inline constexpr int kGameTimerMs = 5000;

// Names of the registered messages; the same name gives the same id everywhere in the process.
inline constexpr std::string_view kExternalForwardName = "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}";
inline constexpr std::string_view kLightStatusName = "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}";
inline constexpr std::string_view kLightControlName = "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}";
inline constexpr std::string_view kDeviceReportName = "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}";
inline constexpr std::string_view kAudioCaptureName = "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}";

struct RegisteredMessages {
    unsigned instance = 0;
    unsigned externalForward = 0;
    unsigned lightStatus = 0;
    unsigned lightControl = 0;
    unsigned deviceReport = 0;
    unsigned audioCapture = 0;
};

// Registers the six messages (idempotent).
RegisteredMessages RegisterProgramMessages();

// The tray menu layout and its items.
inline constexpr std::string_view kTrayMenuLayout = "menu.xml";
inline constexpr std::string_view kExitItem = "exit";
inline constexpr std::string_view kAboutItem = "about_menu";
inline constexpr std::string_view kSettingsItem = "setwnd_menu";
inline constexpr std::string_view kMacroMenuLayout = "XML/Menus/macro_action_menu.xml";
// The macro panel of the keyboard and mouse pages.
inline constexpr std::string_view kMacroPanelName = "MacroControlItem";

}  // namespace norvane::shell
