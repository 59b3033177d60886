#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace norvane::shell {

// What a control notification of the main window asks for. The window carries out the
// actions whose panels exist; the others do nothing until their panels are built.
enum class MainAction : std::uint8_t {
    kNone,
    // Title bar, tray and window.
    kCloseToTray,
    kHideWindow,
    kToggleLightStatus,
    kMinimize,
    kMaximize,
    kRestore,
    kOpenSkinFrame,
    kOpenSettings,
    kOpenMusicWindow,
    kOpenHomePage,
    // The device list (handled by the list before routing).
    kDeviceListScroll,
    kDeviceSelect,
    // Device picture.
    kKeyButton,
    kKeySelectionEndKeyboard,
    kKeySelectionEndMouse,
    // Profile panel and page tabs.
    kRestoreDefaults,
    kProfilePanel,
    kProfileCombo,
    kPageTab,
    // Key assignment panel.
    kKeySave,
    kKeyDefault,
    kKeyCancel,
    kProfileSave,
    kKeyComboOption,
    kKeySetFunction,
    kKeyboardHookOn,
    kKeyboardHookOff,
    // Macro panel.
    kMacroStartRecording,
    kMacroStopRecording,
    kMacroNames,
    kMacroMoveOrDelete,
    kMacroInsertMove,
    kMacroList,
    kMacroDelay,
    kMacroActionMenu,
    // Shoot panel.
    kShootPanel,
    kShootReset,
    kShootBullet,
    kShootOption,
    kShootAxis,
    kShootValue,
    // Lighting panel.
    kLightColourPreset,
    kLightCustomColour,
    kLightOption,
    kLightSlider,
    kLightColourEdit,
    kLightMode,
    kLightColourPicked,
    kSameMode,
    // Music lighting.
    kMusicColourPreset,
    kMusicBackgroundBlack,
    kMusicOption,
    kMusicColourEdit,
    kMusicMode,
    kMusicColourPicked,
    kMusicColourSlider,
    // Mouse.
    kMouseDpiStage,
    kMouseReportRate,
    kMouseSettingsOption,
    kMouseDpiSlider,
    kMouseDpiPreview,
    kMouseDpiEdit,
    kDpiColourPalette,
    // Sensitivity edit and slider pair of the window itself.
    kDpiEditClamp,
    kDpiSliderMove,
    // Keyboard.
    kKeyboardRepeatDelay,
    kKeyboardRepeatRate,
    kKeyboardResetRepeat,
    kKeyboardFlag,
    // Headset.
    kHeadsetVoice,
    kHeadsetEqPreset,
    kHeadsetEqBand,
    kHeadsetSwitch,
    kHeadsetMicLevel,
    kHeadsetCustomEq,
    // System mouse options (no device effect).
    kSystemMouseSettings,
    kSystemMouseOption,
};

enum class RouteMatch : std::uint8_t {
    kPrefix,        // the part up to and including the last '_', ignoring case
    kName,          // the whole name, ignoring case
    kNameWithCase,  // the whole name, case counts
};

struct RouteRow {
    RouteMatch match;
    std::string_view name;
    MainAction action;
};

namespace routes {

using enum MainAction;
using enum RouteMatch;

// "click": the window's own controls, then the prefix rows, then the name rows.
inline constexpr auto kClick = std::to_array<RouteRow>({
    {kName, "closebtn", kCloseToTray},
    {kName, "nodevice_ok_btn", kHideWindow},
    {kName, "control_light_status", kToggleLightStatus},
    {kName, "minbtn", kMinimize},
    {kName, "maxbtn", kMaximize},
    {kName, "restorebtn", kRestore},
    {kName, "skinbtn", kOpenSkinFrame},
    {kName, "setbtn", kOpenSettings},
    {kPrefix, "key_", kKeyButton},
    {kPrefix, "color_option_", kLightColourPreset},
    {kPrefix, "audiocolor_option_", kMusicColourPreset},
    {kPrefix, "windowdeviceset_", kSystemMouseSettings},
    {kPrefix, "DPI_color_option_", kDpiColourPalette},
    {kName, "default_btn", kRestoreDefaults},
    {kName, "reset_repeat_btn", kKeyboardResetRepeat},
    {kName, "device_add_btn", kProfilePanel},
    {kName, "device_sub_btn", kProfilePanel},
    {kName, "device_copy_btn", kProfilePanel},
    {kName, "device_import_btn", kProfilePanel},
    {kName, "device_export_btn", kProfilePanel},
    {kName, "device_reset_btn", kProfilePanel},
    {kName, "device_profile_edit_save_btn", kProfilePanel},
    {kNameWithCase, "profile_fun_spread_btn", kProfilePanel},
    {kName, "key_butt_keysave", kKeySave},
    {kName, "key_butt_keydefalut", kKeyDefault},
    {kName, "key_butt_keycancel", kKeyCancel},
    {kName, "key_butt_prosave", kProfileSave},
    {kName, "macro_btn_starredio", kMacroStartRecording},
    {kName, "macro_btn_stopredio", kMacroStopRecording},
    {kName, "macro_btn_name_add", kMacroNames},
    {kName, "macro_btn_name_sub", kMacroNames},
    {kName, "macro_btn_name_edit", kMacroNames},
    {kName, "macro_btn_save", kMacroNames},
    {kName, "macro_btn_cancel", kMacroNames},
    {kName, "macro_btn_export", kMacroNames},
    {kName, "macro_btn_import", kMacroNames},
    {kName, "macro_btn_up", kMacroMoveOrDelete},
    {kName, "macro_btn_down", kMacroMoveOrDelete},
    {kName, "macro_btn_uptop", kMacroMoveOrDelete},
    {kName, "macro_btn_downbottom", kMacroMoveOrDelete},
    {kName, "macro_btn_delete", kMacroMoveOrDelete},
    {kName, "macro_btn_deleteall", kMacroMoveOrDelete},
    {kNameWithCase, "macro_inset_moveleftkey_btn", kMacroInsertMove},
    {kNameWithCase, "macro_inset_moverightkey_btn", kMacroInsertMove},
    {kNameWithCase, "macro_inset_moveupkey_btn", kMacroInsertMove},
    {kNameWithCase, "macro_inset_movedownkey_btn", kMacroInsertMove},
    {kName, "shootdate_save_btn", kShootPanel},
    {kName, "shootdate_import_btn", kShootPanel},
    {kName, "shootdate_export_btn", kShootPanel},
    {kName, "shootdate_reset_btn", kShootReset},
    {kName, "bullet_selected_prev", kShootBullet},
    {kName, "bullet_selected_next", kShootBullet},
    {kName, "custom_bright_color_btn", kLightCustomColour},
    {kName, "custom_off_color_btn", kLightCustomColour},
    {kName, "deng_same_mode", kSameMode},
    {kName, "hs_EQ_btn_save", kHeadsetEqPreset},
    {kName, "hs_EQ_btn_delete", kHeadsetEqPreset},
    {kName, "device_select_prev", kDeviceListScroll},
    {kName, "device_select_next", kDeviceListScroll},
    {kName, "Close_bkColor_btn", kMusicBackgroundBlack},
    {kName, "music_setting_btn", kOpenMusicWindow},
    {kName, "logo_btn", kOpenHomePage},
});

// "selectchanged" of options and check boxes.
inline constexpr auto kSelect = std::to_array<RouteRow>({
    {kPrefix, "DPI_enable_check_", kMouseDpiStage},
    {kPrefix, "DPI_select_check_", kMouseDpiStage},
    {kPrefix, "polling_rate_option_", kMouseReportRate},
    {kPrefix, "repeat_delay_check_", kKeyboardRepeatDelay},
    {kPrefix, "mouse_device_seting_option_", kMouseSettingsOption},
    {kPrefix, "shoot_gun_op_", kShootOption},
    {kPrefix, "bullet_op_", kShootOption},
    {kPrefix, "magic_option_", kHeadsetVoice},
    {kPrefix, "6533_eq_option_", kHeadsetEqPreset},
    {kPrefix, "key_ComBox_check_", kKeyComboOption},
    {kName, "winlockflag_option", kKeyboardFlag},
    {kName, "wflag_option", kKeyboardFlag},
    {kName, "6flag_option", kKeyboardFlag},
    {kName, "pointer_precision_check", kSystemMouseOption},
    {kName, "scrolls_page_check", kSystemMouseOption},
    {kName, "device_select", kDeviceSelect},
    {kName, "synchro_device_select", kNone},
    {kName, "deng_Op_tab", kPageTab},
    {kName, "key_Op_tab", kPageTab},
    {kName, "macro_Op_tab", kPageTab},
    {kName, "system_Op_tab", kPageTab},
    {kName, "cursor_Op_tab", kPageTab},
    {kName, "6533_voice_Op_tab", kPageTab},
    {kName, "magic_Op_tab", kPageTab},
    {kName, "Virtual7.1_Op_tab", kPageTab},
    {kName, "deng_FXL_check", kLightOption},
    {kName, "deng_FXR_check", kLightOption},
    {kName, "deng_7color_check", kLightOption},
    {kName, "deng_7audiocolor_check", kMusicOption},
    {kName, "audio_BkColor_check", kMusicOption},
    {kName, "audio_FgColor_check", kMusicOption},
    {kName, "bullet_x_check", kShootAxis},
    {kName, "bullet_y_check", kShootAxis},
    {kName, "magic_enable_option", kHeadsetSwitch},
    {kName, "6533_MicIn_option", kHeadsetSwitch},
    {kName, "6533_MicMoniter_option", kHeadsetSwitch},
});

// "valuechanged" of sliders.
inline constexpr auto kValue = std::to_array<RouteRow>({
    {kPrefix, "DPI_slider_", kMouseDpiSlider},
    {kPrefix, "6533_eq_hz_slider_", kHeadsetEqBand},
    {kName, "pointer_speed_slider", kSystemMouseOption},
    {kName, "scroll_speed_slider", kSystemMouseOption},
    {kName, "double_click_slider", kSystemMouseOption},
    {kName, "repeat_rate_slider", kKeyboardRepeatRate},
    {kName, "deng_light_slider", kLightSlider},
    {kName, "deng_speed_slider", kLightSlider},
    {kName, "6533_MicIn_slider", kHeadsetMicLevel},
    {kName, "6533_MicMoniter_slider", kHeadsetMicLevel},
    {kName, "R_light_slider", kMusicColourSlider},
    {kName, "G_light_slider", kMusicColourSlider},
    {kName, "B_light_slider", kMusicColourSlider},
});

// "movevaluechanged" while a slider moves.
inline constexpr auto kMoveValue = std::to_array<RouteRow>({
    {kPrefix, "velto_DPI_slider_", kDpiSliderMove},
    {kPrefix, "DPI_slider_", kMouseDpiPreview},
});

// "killfocus" of edits.
inline constexpr auto kKillFocus = std::to_array<RouteRow>({
    {kPrefix, "velto_DPI_edit_", kDpiEditClamp},
    {kPrefix, "DPI_edit_", kMouseDpiEdit},
    {kName, "deng_edit_R", kLightColourEdit},
    {kName, "deng_edit_G", kLightColourEdit},
    {kName, "deng_edit_B", kLightColourEdit},
    {kName, "deng_audioedit_R", kMusicColourEdit},
    {kName, "deng_audioedit_G", kMusicColourEdit},
    {kName, "deng_audioedit_B", kMusicColourEdit},
    {kName, "keyset_keyboard_text_edit", kKeyboardHookOff},
    {kName, "bullet_x_eidt", kShootValue},
    {kName, "bullet_y_eidt", kShootValue},
    {kName, "bullet_delay_eidt", kShootValue},
    {kName, "macro_delay", kMacroDelay},
    {kName, "keyset_mouseswing_num_edit", kKeySave},
    {kName, "keyset_mouseswing_delay_edit", kKeySave},
    {kName, "keyset_mouseswing_speed_edit", kKeySave},
    {kName, "keyset_mousewheel_num_edit", kKeySave},
    {kName, "keyset_mousewheel_delay_edit", kKeySave},
    {kName, "keyset_mousewheel_speed_edit", kKeySave},
    {kName, "keyset_mousefire_interval_edit", kKeySave},
    {kName, "keyset_mousefire_num_edit", kKeySave},
    {kName, "keyset_macro_cycle_edit", kKeySave},
});

// "setfocus" of edits.
inline constexpr auto kSetFocus = std::to_array<RouteRow>({
    {kName, "keyset_keyboard_text_edit", kKeyboardHookOn},
});

// "itemselect" of combo boxes and lists.
inline constexpr auto kItemSelect = std::to_array<RouteRow>({
    {kName, "device_profile_combo", kProfileCombo},
    {kName, "light_combo_modeSelect", kLightMode},
    {kName, "light_combo_custommodeSelect", kLightMode},
    {kName, "light_combo_ZZCCmodeSelect", kLightMode},
    {kName, "light_combo_audiomodeSelect", kMusicMode},
    {kName, "keyset_function_combo", kKeySetFunction},
    {kName, "keyset_macro_over_combo", kKeySetFunction},
    {kName, "macro_name_list", kMacroList},
    {kName, "custom_eq_name_combo", kHeadsetCustomEq},
    {kName, "keyset_mousekey_combo", kKeySave},
    {kName, "keyset_mouseswing_combo", kKeySave},
    {kName, "keyset_mousewheel_combo", kKeySave},
    {kName, "keyset_mousedpi_combo", kKeySave},
    {kName, "keyset_media_combo", kKeySave},
    {kName, "keyset_system_combo", kKeySave},
    {kName, "keyset_macro_combo", kKeySave},
    {kName, "keyset_gunkey_combo", kKeySave},
    {kName, "keyset_combokey_combo", kKeySave},
});

// "itemactivate".
inline constexpr auto kItemActivate = std::to_array<RouteRow>({
    {kName, "macro_action", kMacroActionMenu},
});

// "colorchanged" of the palettes.
inline constexpr auto kColourChanged = std::to_array<RouteRow>({
    {kName, "deng_Color_Pallet", kLightColourPicked},
    {kName, "deng_audioColor_Pallet", kMusicColourPicked},
});

// "click_select_end" of the key pictures.
inline constexpr auto kClickSelectEnd = std::to_array<RouteRow>({
    {kName, "device_key_light", kKeySelectionEndKeyboard},
    {kName, "mouse_device_key_light", kKeySelectionEndMouse},
});

}  // namespace routes

// The macro action menu ("XML/Menus/macro_action_menu.xml"): what each item asks of the
// current device's macro panel.
enum class MacroMenuAction : std::uint8_t {
    kRecord,       // start recording with the delay mode and hook option
    kInsertEvent,  // insert one mouse button event, then save the macro
    kInsertClick,  // insert a button's down and up events, then save the macro
};

enum class MouseButtonEvent : std::uint8_t {
    kNoButton,
    kLeftDown,
    kLeftUp,
    kMiddleDown,
    kMiddleUp,
    kRightDown,
    kRightUp,
    kForwardDown,
    kForwardUp,
    kBackDown,
    kBackUp,
};

struct MacroMenuRow {
    std::string_view item;
    MacroMenuAction action;
    int delayMode;   // recording: 1 recorded, 2 constant, 3 ignored
    int hookOption;  // recording: 4 plain, 8 insert before, 16 insert after, 32 action edit
    MouseButtonEvent down;
    MouseButtonEvent up;  // a click's release; kNoButton for a single event
};

// The mouse event table row of each button event (kNoButton has none).
inline constexpr auto kMouseEventRowOf = std::to_array<std::size_t>({0, 0, 1, 4, 5, 2, 3, 6, 7, 8, 9});

namespace routes {

using enum MacroMenuAction;
using enum MouseButtonEvent;

inline constexpr auto kMacroMenu = std::to_array<MacroMenuRow>({
    {"redio_previous_record_time", kRecord, 1, 8, kNoButton, kNoButton},
    {"redio_previous_constant_time", kRecord, 2, 8, kNoButton, kNoButton},
    {"redio_previous_ignore_time", kRecord, 3, 8, kNoButton, kNoButton},
    {"redio_later_record_time", kRecord, 1, 16, kNoButton, kNoButton},
    {"redio_later_constant_time", kRecord, 2, 16, kNoButton, kNoButton},
    {"redio_later_ignore_time", kRecord, 3, 16, kNoButton, kNoButton},
    {"macro_action_edit", kRecord, 3, 32, kNoButton, kNoButton},
    {"left_down", kInsertEvent, 0, 0, kLeftDown, kNoButton},
    {"left_up", kInsertEvent, 0, 0, kLeftUp, kNoButton},
    {"middle_down", kInsertEvent, 0, 0, kMiddleDown, kNoButton},
    {"middle_up", kInsertEvent, 0, 0, kMiddleUp, kNoButton},
    {"right_down", kInsertEvent, 0, 0, kRightDown, kNoButton},
    {"right_up", kInsertEvent, 0, 0, kRightUp, kNoButton},
    {"forward_down", kInsertEvent, 0, 0, kForwardDown, kNoButton},
    {"forward_up", kInsertEvent, 0, 0, kForwardUp, kNoButton},
    {"back_down", kInsertEvent, 0, 0, kBackDown, kNoButton},
    {"back_up", kInsertEvent, 0, 0, kBackUp, kNoButton},
    {"left_click", kInsertClick, 0, 0, kLeftDown, kLeftUp},
    {"middle_click", kInsertClick, 0, 0, kMiddleDown, kMiddleUp},
    {"right_click", kInsertClick, 0, 0, kRightDown, kRightUp},
    {"forward_click", kInsertClick, 0, 0, kForwardDown, kForwardUp},
    {"back_click", kInsertClick, 0, 0, kBackDown, kBackUp},
});

}  // namespace routes

}  // namespace norvane::shell
