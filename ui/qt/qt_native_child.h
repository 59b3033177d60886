#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "ui/native_child.h"

namespace norvane::ui::qt {

// Puts a QWidget into a window's host widget and keeps it over a control (see CWndUI).
// The carrier owns the widget: it lives in the host as the host's Qt child (hidden until
// placed) and is deleted with the carrier; if the host goes first, Qt deletes it with the
// host and the carrier is left empty.
class QtNativeChild : public INativeChild {
public:
    QtNativeChild(std::unique_ptr<QWidget> widget, QWidget* host);
    ~QtNativeChild() override;
    QtNativeChild(const QtNativeChild&) = delete;
    QtNativeChild& operator=(const QtNativeChild&) = delete;

    void Place(const Rect& rc, bool visible) override;
    // The carried widget; nullptr once its host has gone.
    QWidget* Widget() const { return widget_.data(); }

private:
    QPointer<QWidget> widget_;
};

}  // namespace norvane::ui::qt
