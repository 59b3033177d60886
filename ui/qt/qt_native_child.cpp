#include "ui/qt/qt_native_child.h"

namespace norvane::ui::qt {

void QtNativeChild::Place(const Rect& rc, bool visible) {
    QWidget* widget = widget_.data();
    QWidget* host = host_.data();
    if (widget == nullptr || host == nullptr) {
        return;
    }
    if (widget->parentWidget() != host) {
        widget->setParent(host);
    }
    widget->setGeometry(rc.left, rc.top, rc.Width(), rc.Height());
    widget->setVisible(visible && !rc.IsEmpty());
}

}  // namespace norvane::ui::qt
