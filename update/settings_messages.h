#pragma once

// Messages the settings window sends to its owner and hears back from it.
namespace norvane::update {

// wparam: the language index chosen (to the owner); the owner sends it back without a
// parameter once the language is applied.
inline constexpr unsigned kLanguageChangedMessage = 3089;
// The update check found nothing new: the owner clears its settings button's mark.
inline constexpr unsigned kSettingsIdleMessage = 3094;

}  // namespace norvane::update
