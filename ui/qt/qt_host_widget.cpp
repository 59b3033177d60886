#include "ui/qt/qt_host_widget.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QWindow>

#include "ui/combo.h"
#include "ui/control.h"
#include "ui/edit.h"
#include "ui/messages.h"
#include "ui/qt/qt_drop_down.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/qt_renderer.h"
#include "ui/window.h"

namespace norvane::ui::qt {

namespace {

Key ToKey(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return Key::Return;
        case Qt::Key_Escape:
            return Key::Escape;
        case Qt::Key_Space:
            return Key::Space;
        case Qt::Key_Backspace:
            return Key::Back;
        case Qt::Key_Delete:
            return Key::Delete;
        case Qt::Key_Left:
            return Key::Left;
        case Qt::Key_Right:
            return Key::Right;
        case Qt::Key_Up:
            return Key::Up;
        case Qt::Key_Down:
            return Key::Down;
        case Qt::Key_Home:
            return Key::Home;
        case Qt::Key_End:
            return Key::End;
        case Qt::Key_Tab:
            return Key::Tab;
        default:
            return Key::Other;
    }
}

unsigned ToModifiers(Qt::KeyboardModifiers m) {
    unsigned out = 0;
    if (m.testFlag(Qt::ShiftModifier)) {
        out |= kModShift;
    }
    if (m.testFlag(Qt::ControlModifier)) {
        out |= kModControl;
    }
    if (m.testFlag(Qt::AltModifier)) {
        out |= kModAlt;
    }
    return out;
}

Point ToPoint(const QPointF& p) {
    return {static_cast<int>(p.x()), static_cast<int>(p.y())};
}

QString ColorName(Color c) {
    return QColor::fromRgba(c).name(QColor::HexArgb);
}

}  // namespace

QtHostWidget::QtHostWidget(QtPlatform& platform, WindowImplBase& window, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint), platform_(platform), window_(window) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    overlay_ = new QLineEdit(this);  // owned by this widget
    overlay_->hide();
    overlay_->setFrame(false);
    QObject::connect(overlay_, &QLineEdit::textEdited, overlay_, [this](const QString& text) {
        if (overlayEdit_ == nullptr) {
            return;
        }
        std::string proposed = text.toStdString();
        std::string accepted = overlayEdit_->FilterText(proposed);
        if (accepted != proposed) {
            overlay_->setText(QString::fromStdString(accepted));
        }
        overlayEdit_->SetTextNotify(accepted, true);
    });
    QObject::connect(overlay_, &QLineEdit::returnPressed, overlay_, [this] {
        if (overlayEdit_ != nullptr) {
            TEventUI e = MakeEvent(EventType::KeyDown, {});
            e.key = Key::Return;
            e.sender = overlayEdit_;
            overlayEdit_->Event(e);
        }
    });
}

QtHostWidget::~QtHostWidget() {
    if (modalLoop_) {
        modalLoop_->quit();
    }
}

void QtHostWidget::Invalidate(const Rect& rc) {
    update(ToQRect(rc));
}

void QtHostWidget::StartTimer(std::uint64_t key, int periodMs) {
    int id = startTimer(std::max(1, periodMs), Qt::PreciseTimer);
    if (id != 0) {
        timers_.insert(id, key);
        timerIds_.insert(key, id);
    }
}

void QtHostWidget::StopTimer(std::uint64_t key) {
    auto it = timerIds_.find(key);
    if (it == timerIds_.end()) {
        return;
    }
    killTimer(*it);
    timers_.remove(*it);
    timerIds_.erase(it);
}

std::uint64_t QtHostWidget::Now() const {
    return platform_.Now();
}

void QtHostWidget::timerEvent(QTimerEvent* event) {
    auto it = timers_.find(event->timerId());
    if (it != timers_.end()) {
        window_.PaintManager().OnTimer(*it);
    }
}

void QtHostWidget::SyncOverlay() {
    if (overlayEdit_ == nullptr) {
        return;
    }
    int b = std::max(1, overlayEdit_->Scale(overlayEdit_->GetBorderSize()));
    const Rect& pad = overlayEdit_->GetTextPadding();
    Rect rc = overlayEdit_->GetPos().Deflate({b + overlayEdit_->Scale(pad.left) - 2, b, b + 2, b});
    overlay_->setGeometry(ToQRect(rc));
    auto& pm = window_.PaintManager();
    overlay_->setFont(SharedPaintCache().Font(pm.ScaledFont(overlayEdit_->GetFont())));
    Color bk = overlayEdit_->GetBkColor() != 0 ? overlayEdit_->GetBkColor() : 0xFFFFFFFFU;
    Color text = overlayEdit_->GetTextColor() != 0 ? overlayEdit_->GetTextColor() : pm.GetDefaultTextColor();
    overlay_->setStyleSheet(QStringLiteral("QLineEdit{background:%1;color:%2;border:none;padding:0;"
                                           "selection-background-color:#FF00B8A9;}")
                                .arg(ColorName(bk), ColorName(text)));
}

void QtHostWidget::ShowEditOverlay(CEditUI& edit) {
    overlayEdit_ = &edit;
    overlay_->setMaxLength(std::max(0, edit.GetMaxChar()));
    if (edit.IsDigitsOnly()) {
        overlay_->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), overlay_));
    } else {
        overlay_->setValidator(nullptr);
    }
    overlay_->setEchoMode(edit.IsPassword() ? QLineEdit::Password : QLineEdit::Normal);
    overlay_->setText(QString::fromStdString(edit.GetText()));
    overlay_->setPlaceholderText(QString::fromStdString(edit.GetHintText()));
    SyncOverlay();
    overlay_->show();
    overlay_->setFocus(Qt::MouseFocusReason);
    overlay_->selectAll();
}

void QtHostWidget::HideEditOverlay() {
    if (overlayEdit_ == nullptr) {
        return;
    }
    overlayEdit_ = nullptr;
    overlay_->hide();
    setFocus(Qt::OtherFocusReason);
}

void QtHostWidget::ShowDropDown(CComboUI& combo) {
    dropDown_ = std::make_unique<QtDropDown>(combo, this);
    Rect rc = combo.GetPos();
    QRect anchor(mapToGlobal(QPoint(rc.left, rc.top)), QSize(rc.Width(), rc.Height()));
    dropDown_->Open(anchor);
}

void QtHostWidget::ControlGone(CControlUI& control) {
    // Upcasts only: the control may be half destroyed already.
    if (dropDown_ && dropDown_->Combo() != nullptr &&
        static_cast<CControlUI*>(dropDown_->Combo()) == &control) {
        dropDown_->Abandon();
    }
    if (overlayEdit_ != nullptr && static_cast<CControlUI*>(overlayEdit_) == &control) {
        overlayEdit_ = nullptr;
        overlay_->hide();
    }
}

Size QtHostWidget::ImageSize(std::string_view path) {
    QImageReader reader(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
    QSize size = reader.size();
    return size.isValid() ? Size{size.width(), size.height()} : Size{};
}

void QtHostWidget::SetTitle(std::string_view title) {
    setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
}

void QtHostWidget::Show(bool show) {
    if (show) {
        QWidget::show();
        raise();
        activateWindow();
    } else {
        closingFromModel_ = true;
        QWidget::hide();
        closingFromModel_ = false;
    }
}

void QtHostWidget::SetClientSize(Size size) {
    resize(size.cx, size.cy);
}

void QtHostWidget::Center() {
    QRect area;
    if (parentWidget() != nullptr && parentWidget()->isVisible()) {
        area = parentWidget()->frameGeometry();
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void QtHostWidget::Move(Point topLeft) {
    move(topLeft.x, topLeft.y);
}

Rect QtHostWidget::ScreenRect() const {
    QPoint p = mapToGlobal(QPoint(0, 0));
    return {p.x(), p.y(), p.x() + width(), p.y() + height()};
}

void QtHostWidget::SetState(WindowState state) {
    switch (state) {
        case WindowState::Minimized:
            showMinimized();
            break;
        case WindowState::Maximized:
            showMaximized();
            break;
        case WindowState::Normal:
            showNormal();
            break;
    }
}

WindowState QtHostWidget::State() const {
    if (isMinimized()) {
        return WindowState::Minimized;
    }
    return isMaximized() ? WindowState::Maximized : WindowState::Normal;
}

void QtHostWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        window_.OnHostStateChanged();
    }
}

void QtHostWidget::RunModal() {
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    modalLoop_ = &loop;
    if (!window_.IsClosed()) {
        loop.exec(QEventLoop::DialogExec);
    }
    modalLoop_ = nullptr;
    setWindowModality(Qt::NonModal);
}

void QtHostWidget::EndModal() {
    if (modalLoop_) {
        modalLoop_->quit();
    }
}

void QtHostWidget::Wake() {
    QMetaObject::invokeMethod(
        this, [this] { window_.DispatchMessages(); }, Qt::QueuedConnection);
}

void QtHostWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.fillRect(dirty, QColor::fromRgba(0xFF121418U));
    QtRenderer renderer(painter, window_.PaintManager().Resources());
    window_.PaintManager().Paint(renderer,
                                 {dirty.left(), dirty.top(), dirty.right() + 1, dirty.bottom() + 1});
    if (overlayEdit_ != nullptr) {
        SyncOverlay();
    }
}

void QtHostWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    window_.OnHostResized({width(), height()});
}

bool QtHostWidget::InCaption(const QPoint& pt) const {
    const Rect& caption = window_.LayoutInfo().caption;
    if (caption.bottom <= 0) {
        return false;
    }
    auto& pm = window_.PaintManager();
    Rect rc{pm.Scale(caption.left), pm.Scale(caption.top), width() - pm.Scale(caption.right),
            pm.Scale(caption.bottom)};
    if (!rc.Contains({pt.x(), pt.y()})) {
        return false;
    }
    // Only empty caption space drags: controls that take input keep their clicks.
    CControlUI* hit = pm.FindControlAt({pt.x(), pt.y()});
    return hit == nullptr || hit->GetClass() == "Label" || hit->GetClass() == "Control" ||
           hit->GetClass() == "VerticalLayout" || hit->GetClass() == "HorizontalLayout" ||
           hit->GetClass() == "Container";
}

void QtHostWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        window_.PaintManager().RightClick(ToPoint(event->position()));
        return;
    }
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (InCaption(event->position().toPoint()) && windowHandle() != nullptr &&
        windowHandle()->startSystemMove()) {
        return;
    }
    window_.PaintManager().ButtonDown(ToPoint(event->position()), ToModifiers(event->modifiers()));
}

void QtHostWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        window_.PaintManager().ButtonUp(ToPoint(event->position()));
    }
}

void QtHostWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        window_.PaintManager().DoubleClick(ToPoint(event->position()));
    }
}

void QtHostWidget::mouseMoveEvent(QMouseEvent* event) {
    window_.PaintManager().MouseMove(ToPoint(event->position()));
}

void QtHostWidget::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    window_.PaintManager().MouseLeaveWindow();
}

void QtHostWidget::wheelEvent(QWheelEvent* event) {
    int delta = event->angleDelta().y();
    if (delta != 0) {
        window_.PaintManager().Wheel(ToPoint(event->position()), delta);
    }
}

void QtHostWidget::keyPressEvent(QKeyEvent* event) {
    auto& pm = window_.PaintManager();
    Key key = ToKey(event->key());
    if (key != Key::Other) {
        pm.KeyDown(key, ToModifiers(event->modifiers()));
        return;
    }
    const QString text = event->text();
    for (char32_t ch : text.toUcs4()) {
        if (ch >= 0x20) {
            pm.Char(ch);
        }
    }
}

void QtHostWidget::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason) {
        window_.PaintManager().OnCaptureLost();
    }
}

void QtHostWidget::closeEvent(QCloseEvent* event) {
    // The system close button: the window decides (a handler of kWmClose may refuse).
    event->ignore();
    if (!closingFromModel_) {
        window_.RequestClose();
    }
}

}  // namespace norvane::ui::qt
