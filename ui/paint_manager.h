#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/event.h"
#include "ui/font.h"
#include "ui/notify.h"
#include "ui/paint_host.h"
#include "ui/render.h"
#include "ui/types.h"

namespace norvane::ui {

class CControlUI;
class COptionUI;
class CResourceManager;

// One window's control tree services: the root, lookup by name, input routing (hover, capture,
// focus), notifications to the notifiers, timers, fonts, option groups and DPI scaling.
// Lives on the UI thread.
class CPaintManagerUI {
public:
    explicit CPaintManagerUI(IPaintHost* host = nullptr, CResourceManager* resources = nullptr);
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    void SetHost(IPaintHost* host) { host_ = host; }
    IPaintHost* Host() const { return host_; }
    CResourceManager& Resources() const { return *resources_; }
    void SetResources(CResourceManager* resources);

    // The tree.
    void AttachRoot(std::unique_ptr<CControlUI> root);
    std::unique_ptr<CControlUI> DetachRoot();
    CControlUI* GetRoot() const { return root_.get(); }
    CControlUI* FindControl(std::string_view name) const;
    static CControlUI* FindSubControlByName(CControlUI* parent, std::string_view name);
    CControlUI* FindControlAt(Point pt) const;
    // Name index upkeep, called by controls joining or leaving.
    void OnControlJoined(CControlUI& control);
    void OnControlLeaving(CControlUI& control);
    void OnControlRenamed(CControlUI& control, const std::string& oldName);
    // A control taken out of the tree while an event is being handled is kept until the
    // handling ends, so no handler is left running on a destroyed control.
    void ReleaseControl(std::unique_ptr<CControlUI> control);

    // Layout and painting.
    void SetClientSize(Size size);
    Size GetClientSize() const { return clientSize_; }
    // A relayout may move anything: the whole window repaints after it.
    void NeedUpdate();
    bool IsUpdateNeeded() const { return needUpdate_; }
    void UpdateLayout();
    void Invalidate(const Rect& rc);
    void Paint(IRenderer& r, const Rect& dirty);
    void SetDPI(int dpi);
    int GetDPI() const { return dpi_; }
    int Scale(int value) const;

    // Fonts by id; id -1 (or unknown) is the default font.
    void AddFont(int id, FontSpec font);
    // Drops every font by id (the default font stays).
    void RemoveAllFonts() { fonts_.clear(); }
    const std::map<int, FontSpec>& Fonts() const { return fonts_; }
    const FontSpec& DefaultFont() const { return defaultFont_; }
    void SetDefaultFont(FontSpec font);
    const FontSpec& GetFont(int id) const;
    FontSpec ScaledFont(int id) const;
    Color GetDefaultTextColor() const { return defaultTextColor_; }
    void SetDefaultTextColor(Color color) { defaultTextColor_ = color; }
    Color GetDefaultDisabledColor() const { return defaultDisabledColor_; }
    void SetDefaultDisabledColor(Color color) { defaultDisabledColor_ = color; }
    // Attribute lists applied to every new control of a class (<Default name=... value=...>).
    void SetDefaultAttributeList(std::string_view className, std::string list);
    const std::string* GetDefaultAttributeList(std::string_view className) const;
    // Named attribute lists (<Style name=... value=...>), applied by the "style" attribute.
    void AddStyle(std::string_view name, std::string list);
    const std::string* GetStyle(std::string_view name) const;

    // Notifications.
    void AddNotifier(INotifyUI* notifier);
    void RemoveNotifier(INotifyUI* notifier);
    void SendNotify(CControlUI* sender, std::string_view type, std::intptr_t wparam = 0,
                    std::intptr_t lparam = 0);

    // Timers.
    bool SetTimer(CControlUI* control, int id, int periodMs);
    void KillTimer(CControlUI* control, int id);
    void KillTimers(CControlUI* control);
    bool HasTimer(const CControlUI* control, int id) const;
    void OnTimer(std::uint64_t key);

    // Option groups (exclusive selection), per window.
    void AddOptionGroup(std::string_view group, COptionUI* option);
    void RemoveOptionGroup(std::string_view group, COptionUI* option);
    const std::vector<COptionUI*>* GetOptionGroup(std::string_view group) const;

    // Input from the backend, window client coordinates in scaled pixels.
    void MouseMove(Point pt);
    void MouseLeaveWindow();
    // modifiers: Modifier bits held during the press (Ctrl-click toggles list rows).
    void ButtonDown(Point pt, unsigned modifiers = 0);
    void ButtonUp(Point pt);
    void DoubleClick(Point pt);
    void RightClick(Point pt);
    void Wheel(Point pt, int delta);
    void KeyDown(Key key, unsigned modifiers = 0);
    void Char(char32_t ch);
    // The window lost the mouse (deactivated, hidden, or another window took the capture):
    // the captured control and its ancestors end their presses and drags.
    void OnCaptureLost();
    Point LastMousePos() const { return lastMouse_; }

    // Focus and capture.
    CControlUI* GetFocus() const { return focus_; }
    void SetFocus(CControlUI* control);
    CControlUI* GetHover() const { return hover_; }
    CControlUI* GetCapture() const { return capture_; }
    void SetCapture(CControlUI* control) { capture_ = control; }
    void ReleaseCapture() { capture_ = nullptr; }

    // Image size through the backend (skin-relative names), cached.
    Size GetImageSize(std::string_view name);

private:
    void Dispatch(CControlUI* target, TEventUI event);
    void FlushReleased();
    std::uint64_t Now() const;

    IPaintHost* host_ = nullptr;
    std::unique_ptr<CResourceManager> ownResources_;
    CResourceManager* resources_ = nullptr;
    int languageListener_ = 0;
    std::unique_ptr<CControlUI> root_;
    std::multimap<std::string, CControlUI*, std::less<>> names_;
    std::vector<INotifyUI*> notifiers_;
    struct TimerEntry {
        CControlUI* control;
        int id;
        std::uint64_t key;
    };
    std::vector<TimerEntry> timers_;
    std::uint64_t nextTimerKey_ = 1;
    std::map<std::string, std::vector<COptionUI*>, std::less<>> optionGroups_;
    std::map<int, FontSpec> fonts_;
    FontSpec defaultFont_;
    std::map<std::string, std::string, std::less<>> defaultAttributes_;
    std::map<std::string, std::string, std::less<>> styles_;
    std::map<std::string, Size, std::less<>> imageSizes_;
    Color defaultTextColor_ = 0xFFE6E8EB;
    Color defaultDisabledColor_ = 0xFF8A909A;
    Size clientSize_;
    int dpi_ = 96;
    bool needUpdate_ = true;
    CControlUI* focus_ = nullptr;
    CControlUI* hover_ = nullptr;
    CControlUI* capture_ = nullptr;
    Point lastMouse_;
    int dispatchDepth_ = 0;
    std::vector<std::unique_ptr<CControlUI>> released_;
};

}  // namespace norvane::ui
