#include "ui/qt/qt_raw_input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "ui/raw_input.h"

namespace norvane::ui::qt {

namespace {

constexpr unsigned kLButtonDown = 0x0201;
constexpr unsigned kRButtonDown = 0x0204;
constexpr unsigned kMButtonDown = 0x0207;
constexpr unsigned kXButtonDown = 0x020B;
constexpr unsigned kWheel = 0x020A;
// Each up message follows its down message.
constexpr unsigned kUpOffset = 1;

class RawInputFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        const bool key = type == QEvent::KeyPress || type == QEvent::KeyRelease;
        const bool button = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease;
        if (!key && !button && type != QEvent::Wheel) {
            return QObject::eventFilter(watched, event);
        }
        // A propagated event reaches the filter once per widget; one report is enough.
        const auto stamp = static_cast<const QInputEvent*>(event)->timestamp();
        if (event == lastEvent_ && type == lastType_ && stamp == lastStamp_) {
            return false;
        }
        lastEvent_ = event;
        lastType_ = type;
        lastStamp_ = stamp;
        if (key) {
            const auto* k = static_cast<QKeyEvent*>(event);
            return DispatchRawKey(type == QEvent::KeyPress, k->nativeScanCode(),
                                  static_cast<std::uint32_t>(stamp));
        }
        if (type == QEvent::Wheel) {
            const auto* w = static_cast<QWheelEvent*>(event);
            const QPoint p = w->globalPosition().toPoint();
            return DispatchRawMouse(kWheel, p.x(), p.y(), w->angleDelta().y());
        }
        const auto* m = static_cast<QMouseEvent*>(event);
        unsigned message = 0;
        int data = 0;
        switch (m->button()) {
            case Qt::LeftButton:
                message = kLButtonDown;
                break;
            case Qt::RightButton:
                message = kRButtonDown;
                break;
            case Qt::MiddleButton:
                message = kMButtonDown;
                break;
            case Qt::BackButton:
                message = kXButtonDown;
                data = 1;
                break;
            case Qt::ForwardButton:
                message = kXButtonDown;
                data = 2;
                break;
            default:
                return false;
        }
        if (type == QEvent::MouseButtonRelease) {
            message += kUpOffset;
        }
        const QPoint p = m->globalPosition().toPoint();
        return DispatchRawMouse(message, p.x(), p.y(), data);
    }

private:
    const QEvent* lastEvent_ = nullptr;
    QEvent::Type lastType_ = QEvent::None;
    quint64 lastStamp_ = 0;
};

}  // namespace

void InstallRawInputFilter() {
    static bool installed = false;
    if (installed || QCoreApplication::instance() == nullptr) {
        return;
    }
    installed = true;
    auto* filter = new RawInputFilter(QCoreApplication::instance());  // owned by the application
    QCoreApplication::instance()->installEventFilter(filter);
}

}  // namespace norvane::ui::qt
