#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/native_child.h"

namespace norvane::ui::qt {

// Puts any QWidget into a window's host widget and keeps it over a control (see CWndUI).
// The widget is not owned; it becomes a child of the host on first placement.
class QtNativeChild : public INativeChild {
public:
    QtNativeChild(QWidget* widget, QWidget* host) : widget_(widget), host_(host) {}
    void Place(const Rect& rc, bool visible) override;

private:
    QPointer<QWidget> widget_;
    QPointer<QWidget> host_;
};

}  // namespace norvane::ui::qt
