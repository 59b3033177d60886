#include "input/hook_messages.h"

#include "ui/messages.h"

namespace norvane::input {

namespace {

HookMessageIds Register() {
    HookMessageIds ids;
    unsigned* const slots[] = {
        &ids.keySingleKey,
        &ids.keyHitKey,
        &ids.keyKbMacro,
        &ids.keyMsMacro,
        &ids.keyKbMacroSingle,
        &ids.keyKbMacroPrevious,
        &ids.keyKbMacroLater,
        &ids.mouSingleKey,
        &ids.mouHitKey,
        &ids.mouKbMacro,
        &ids.mouMsMacro,
        &ids.keyMsMacroSingle,
        &ids.keyMsMacroPrevious,
        &ids.keyMsMacroLater,
        &ids.mouseRButtonDown,
        &ids.mouseLButtonUp,
        &ids.mouseLButtonDown,
        &ids.mouseRButtonUp,
        &ids.mouseRButtonDownAgain,
        &ids.mouseMove,
        &ids.gameStart,
        &ids.gameEnd,
        &ids.gameKill,
        &ids.gameDeath,
    };
    static_assert(std::size(slots) == kHookMessageNames.size());
    for (std::size_t i = 0; i < kHookMessageNames.size(); ++i) {
        *slots[i] = ui::RegisterWindowMessage(kHookMessageNames[i]);
    }
    ids.hookStopped = ui::RegisterWindowMessage(kHookStoppedMessageName);
    return ids;
}

}  // namespace

const HookMessageIds& HookMessages() {
    static const HookMessageIds ids = Register();
    return ids;
}

std::optional<unsigned> KeyboardMessageFor(HookMode mode) {
    const HookMessageIds& ids = HookMessages();
    switch (mode) {
        case HookMode::SingleKey:
            return ids.keySingleKey;
        case HookMode::HitKey:
            return ids.keyHitKey;
        case HookMode::MacroAppend:
            return ids.keyKbMacro;
        case HookMode::MacroInsertBefore:
            return ids.keyKbMacroPrevious;
        case HookMode::MacroInsertAfter:
            return ids.keyKbMacroLater;
        case HookMode::MacroReplace:
            return ids.keyKbMacroSingle;
        case HookMode::MouseSingleKey:
            return ids.mouSingleKey;
        case HookMode::MouseHitKey:
            return ids.mouHitKey;
        case HookMode::MouseKbMacro:
            return ids.mouKbMacro;
        case HookMode::Idle:
            break;
    }
    return std::nullopt;
}

std::optional<unsigned> MouseMessageFor(HookMode mode) {
    const HookMessageIds& ids = HookMessages();
    switch (mode) {
        case HookMode::MacroAppend:
            return ids.keyMsMacro;
        case HookMode::MacroInsertBefore:
            return ids.keyMsMacroPrevious;
        case HookMode::MacroInsertAfter:
            return ids.keyMsMacroLater;
        case HookMode::MacroReplace:
            return ids.keyMsMacroSingle;
        default:
            break;
    }
    return std::nullopt;
}

std::optional<RecordMessage> RecordMessageOf(unsigned msg) {
    if (msg == 0) {
        return std::nullopt;
    }
    const HookMessageIds& ids = HookMessages();
    const struct {
        unsigned id;
        RecordMessage meaning;
    } table[] = {
        {ids.keyKbMacro, {RecordKind::Append, true}},
        {ids.keyKbMacroPrevious, {RecordKind::InsertBefore, true}},
        {ids.keyKbMacroLater, {RecordKind::InsertAfter, true}},
        {ids.keyKbMacroSingle, {RecordKind::Replace, true}},
        {ids.keyMsMacro, {RecordKind::Append, false}},
        {ids.keyMsMacroPrevious, {RecordKind::InsertBefore, false}},
        {ids.keyMsMacroLater, {RecordKind::InsertAfter, false}},
        {ids.keyMsMacroSingle, {RecordKind::Replace, false}},
    };
    for (const auto& row : table) {
        if (row.id == msg) {
            return row.meaning;
        }
    }
    return std::nullopt;
}

}  // namespace norvane::input
