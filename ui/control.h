#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/event.h"
#include "ui/notify.h"
#include "ui/render.h"
#include "ui/types.h"

namespace norvane::ui {

class CPaintManagerUI;

// Base of every control: identity, texts, look, size rules, input and painting.
// Sizes given by attributes are unscaled; GetPos() is in scaled window client pixels.
class CControlUI {
public:
    CControlUI() = default;
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual std::string_view GetClass() const { return "Control"; }

    // Tree.
    CPaintManagerUI* GetManager() const { return manager_; }
    CControlUI* GetParent() const { return parent_; }
    // Joins (or, with nullptr, leaves) a window; DoInit runs once per control on joining.
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent);
    virtual void DoInit() {}
    // Visits this control and every descendant, parents first.
    virtual void ForEach(const std::function<void(CControlUI&)>& visit);

    // Identity and texts. A text id, when set, is resolved in the current language.
    const std::string& GetName() const { return name_; }
    void SetName(std::string name);
    virtual std::string GetText() const;
    virtual void SetText(std::string text);
    void SetTextId(std::string id);
    const std::string& GetTextId() const { return textId_; }
    std::string GetToolTip() const;
    void SetToolTip(std::string text);
    void SetToolTipId(std::string id);
    const std::string& GetUserData() const { return userData_; }
    void SetUserData(std::string data) { userData_ = std::move(data); }
    std::intptr_t GetTag() const { return tag_; }
    void SetTag(std::intptr_t tag) { tag_ = tag; }

    // State. IsVisible and IsEnabled include the ancestors (a hidden or disabled container
    // hides or disables what it holds); IsOwnVisible and IsOwnEnabled are this control's flags.
    bool IsVisible() const;
    bool IsOwnVisible() const { return visible_; }
    virtual void SetVisible(bool visible);
    bool IsEnabled() const;
    bool IsOwnEnabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    bool IsMouseEnabled() const { return mouseEnabled_; }
    void SetMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
    bool IsKeyboardEnabled() const { return keyboardEnabled_; }
    void SetKeyboardEnabled(bool enabled) { keyboardEnabled_ = enabled; }
    bool IsFocused() const;
    void SetFocus();
    // Cursor shape while over this control, as a system cursor id (0: the window's default).
    virtual int GetCursor() const { return 0; }
    bool IsContextMenuUsed() const { return contextMenu_; }
    void SetContextMenuUsed(bool used) { contextMenu_ = used; }

    // Look.
    Color GetBkColor() const { return bkColor_; }
    void SetBkColor(Color color);
    const std::string& GetBkImage() const { return bkImage_; }
    void SetBkImage(std::string image);
    Color GetBorderColor() const { return borderColor_; }
    void SetBorderColor(Color color);
    void SetFocusBorderColor(Color color);
    int GetBorderSize() const { return borderSize_; }
    void SetBorderSize(int size);
    int GetBorderRound() const { return borderRound_; }
    void SetBorderRound(int radius);
    Color GetTextColor() const { return textColor_; }
    void SetTextColor(Color color);
    Color GetDisabledTextColor() const { return disabledTextColor_; }
    void SetDisabledTextColor(Color color);
    int GetFont() const { return font_; }
    void SetFont(int id);

    // Size rules (unscaled). Width or height 0 means "share the free space".
    const Rect& GetPadding() const { return padding_; }
    void SetPadding(const Rect& padding);
    int GetFixedWidth() const { return fixedWidth_; }
    void SetFixedWidth(int cx);
    int GetFixedHeight() const { return fixedHeight_; }
    void SetFixedHeight(int cy);
    int GetMinWidth() const { return minWidth_; }
    void SetMinWidth(int cx);
    int GetMaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int cx);
    int GetMinHeight() const { return minHeight_; }
    void SetMinHeight(int cy);
    int GetMaxHeight() const { return maxHeight_; }
    void SetMaxHeight(int cy);
    // Float controls sit at their float position inside the parent instead of the flow.
    bool IsFloat() const { return float_; }
    void SetFloat(bool isFloat);
    // Offsets from the parent's left/top (or right/bottom edges when anchored there).
    const Rect& GetFloatPos() const { return floatPos_; }
    void SetFloatPos(const Rect& pos);
    enum FloatAnchor : unsigned {
        kAnchorRight = 1,
        kAnchorBottom = 2,
        kAnchorCenterX = 4,
        kAnchorCenterY = 8
    };
    void SetFloatAnchor(unsigned anchor);
    unsigned GetFloatAnchor() const { return floatAnchor_; }

    // Layout results.
    const Rect& GetPos() const { return rect_; }
    virtual void SetPos(const Rect& rc);
    // Preferred size in scaled pixels; 0 in a dimension means "stretch".
    virtual Size EstimateSize(Size available);
    // Scaled size rules.
    int ScaledMin(bool horizontal) const;
    int ScaledMax(bool horizontal) const;
    int Scale(int value) const;

    // Hit testing: the topmost visible, mouse-enabled control at pt (disabled ones included).
    virtual CControlUI* FindControlAt(Point pt);

    // Input and activation.
    void Event(TEventUI& event);
    virtual void DoEvent(TEventUI& event);
    virtual bool Activate();

    // Painting.
    virtual void DoPaint(IRenderer& r, const Rect& dirty);
    virtual void PaintBkColor(IRenderer& r);
    virtual void PaintBkImage(IRenderer& r);
    virtual void PaintStatusImage(IRenderer& r) { (void)r; }
    virtual void PaintText(IRenderer& r) { (void)r; }
    virtual void PaintBorder(IRenderer& r);
    void Invalidate();
    void NeedUpdate();
    void NeedParentUpdate();

    // Attributes from the skin (unknown names are ignored).
    virtual void SetAttribute(std::string_view name, std::string_view value);
    // A list of name="value" pairs, as held by <Default> and style entries.
    void ApplyAttributeList(std::string_view list);

    // Timers of this control; each expiry arrives as a "timer" notification (wparam = id).
    bool SetTimer(int id, int periodMs);
    void KillTimer(int id);

protected:
    // Sends a notification from this control to the window.
    void Notify(std::string_view type, std::intptr_t wparam = 0, std::intptr_t lparam = 0);
    // Called on this control and its descendants when the effective visibility may have changed.
    virtual void VisibilityChanged() {}
    void PropagateVisibilityChanged();
    // Takes the focus and the mouse capture from this control and its descendants.
    void DropFocusAndCapture();
    bool DrawImageString(IRenderer& r, std::string_view image, const ImageTint* tint = nullptr);
    Color CurrentBorderColor() const;

    CPaintManagerUI* manager_ = nullptr;
    CControlUI* parent_ = nullptr;
    Rect rect_;

private:
    std::string name_;
    std::string text_;
    std::string textId_;
    std::string toolTip_;
    std::string toolTipId_;
    std::string userData_;
    std::intptr_t tag_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    bool mouseEnabled_ = true;
    bool keyboardEnabled_ = true;
    bool contextMenu_ = false;
    bool float_ = false;
    bool initialised_ = false;
    unsigned floatAnchor_ = 0;
    Color bkColor_ = 0;
    std::string bkImage_;
    Color borderColor_ = 0;
    Color focusBorderColor_ = 0;
    int borderSize_ = 0;
    int borderRound_ = 0;
    Color textColor_ = 0;
    Color disabledTextColor_ = 0;
    int font_ = -1;
    Rect padding_;
    Rect floatPos_;
    int fixedWidth_ = 0;
    int fixedHeight_ = 0;
    int minWidth_ = 0;
    int maxWidth_ = 9999;
    int minHeight_ = 0;
    int maxHeight_ = 9999;
};

}  // namespace norvane::ui
