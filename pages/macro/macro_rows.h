#pragma once

#include "config/macro_event.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::ui {
class CControlUI;
class CEditUI;
class CListContainerElementUI;
class CPaintManagerUI;
}  // namespace norvane::ui

// The rows of the macro panel's step list: one "macro_action" element per event, holding the
// event's name, press or release (or a move's distance) and the "macro_delay" field; the
// row's user data is the event as JSON text.
namespace norvane::pages {

inline constexpr std::string_view kMacroRowName = "macro_action";
inline constexpr std::string_view kMacroDelayName = "macro_delay";
inline constexpr int kMacroRowHeight = 30;
inline constexpr int kMaxMoveDistance = 255;

// The language text id naming an event: a key of the key code table or a mouse table row;
// empty when the event names nothing known.
std::string_view EventNameId(const config::MacroEvent& event);
bool IsMoveEvent(const config::MacroEvent& event);

// A row for the event, styled with the manager's row styles when it has them.
std::unique_ptr<ui::CListContainerElementUI> MakeMacroRow(const config::MacroEvent& event,
                                                          ui::CPaintManagerUI* manager);
// The event a row holds (its user data, with the delay its field shows); nullopt for a
// control that is no macro row.
std::optional<config::MacroEvent> EventOfRow(const ui::CControlUI* row);
// Sets the row's event and shows it, with the row styles of manager (else the row's own).
void ShowEventOnRow(ui::CControlUI& row, const config::MacroEvent& event, ui::CPaintManagerUI* manager = nullptr);
ui::CEditUI* DelayFieldOf(ui::CControlUI& row);

// Where a row moves to: one place up or down, to the top or the bottom; nullopt when it
// stays (no row, or already at that end).
enum class RowMove { Up, Down, Top, Bottom };
std::optional<int> MoveTarget(RowMove move, int index, int count);

}  // namespace norvane::pages
