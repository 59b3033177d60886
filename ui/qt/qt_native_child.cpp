#include "ui/qt/qt_native_child.h"

namespace norvane::ui::qt {

QtNativeChild::QtNativeChild(std::unique_ptr<QWidget> widget, QWidget* host) {
    if (widget == nullptr) {
        return;
    }
    widget->hide();
    widget->setParent(host);
    widget_ = widget.release();  // the carrier's, kept in the host until the carrier goes
}

QtNativeChild::~QtNativeChild() {
    // Taken back from the host (unless the host already deleted it) and deleted.
    std::unique_ptr<QWidget> widget(widget_.data());
}

void QtNativeChild::Place(const Rect& rc, bool visible) {
    QWidget* widget = widget_.data();
    if (widget == nullptr) {
        return;
    }
    widget->setGeometry(rc.left, rc.top, rc.Width(), rc.Height());
    widget->setVisible(visible && !rc.IsEmpty());
}

}  // namespace norvane::ui::qt
