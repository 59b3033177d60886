#include "ui/headless/headless_input.h"

#include "ui/control.h"

namespace norvane::ui::headless {

namespace {
void EnsureLayout(CPaintManagerUI& pm) {
    if (pm.IsUpdateNeeded()) {
        pm.UpdateLayout();
    }
}
}  // namespace

void Click(CPaintManagerUI& pm, Point pt, unsigned modifiers) {
    EnsureLayout(pm);
    pm.ButtonDown(pt, modifiers);
    pm.ButtonUp(pt);
}

void DoubleClick(CPaintManagerUI& pm, Point pt) {
    Click(pm, pt);
    pm.DoubleClick(pt);
    pm.ButtonUp(pt);
}

void Drag(CPaintManagerUI& pm, Point from, Point to, int steps) {
    EnsureLayout(pm);
    steps = std::max(1, steps);
    pm.ButtonDown(from);
    for (int i = 1; i <= steps; ++i) {
        pm.MouseMove({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    }
    pm.ButtonUp(to);
}

void RightClick(CPaintManagerUI& pm, Point pt) {
    EnsureLayout(pm);
    pm.RightClick(pt);
}

void Hover(CPaintManagerUI& pm, Point pt) {
    EnsureLayout(pm);
    pm.MouseMove(pt);
}

void WheelAt(CPaintManagerUI& pm, Point pt, int delta) {
    EnsureLayout(pm);
    pm.Wheel(pt, delta);
}

void LoseCapture(CPaintManagerUI& pm) {
    pm.OnCaptureLost();
}

void PressKey(CPaintManagerUI& pm, Key key, unsigned modifiers) {
    pm.KeyDown(key, modifiers);
}

void TypeText(CPaintManagerUI& pm, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        int len = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t ch = lead < 0x80   ? lead
                      : lead < 0xE0 ? (lead & 0x1FU)
                      : lead < 0xF0 ? (lead & 0x0FU)
                                    : (lead & 0x07U);
        for (int k = 1; k < len && i + static_cast<std::size_t>(k) < text.size(); ++k) {
            ch = (ch << 6U) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3FU);
        }
        pm.Char(ch);
        i += static_cast<std::size_t>(len);
    }
}

bool ClickControl(CPaintManagerUI& pm, std::string_view name) {
    EnsureLayout(pm);
    CControlUI* control = pm.FindControl(name);
    if (control == nullptr || control->GetPos().IsEmpty()) {
        return false;
    }
    Click(pm, control->GetPos().Center());
    return true;
}

}  // namespace norvane::ui::headless
