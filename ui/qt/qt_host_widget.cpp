#include "ui/qt/qt_host_widget.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QToolTip>
#include <QWindow>
#include <cmath>

#include "ui/combo.h"
#include "ui/control.h"
#include "ui/edit.h"
#include "ui/messages.h"
#include "ui/qt/qt_drop_down.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/qt_raw_input.h"
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

// System cursor ids (as the "cursor" attribute gives them) to Qt's shapes.
Qt::CursorShape ToCursorShape(int id) {
    switch (id) {
        case 32513:
            return Qt::IBeamCursor;
        case 32514:
            return Qt::WaitCursor;
        case 32515:
            return Qt::CrossCursor;
        case 32516:
            return Qt::UpArrowCursor;
        case 32640:
        case 32646:
            return Qt::SizeAllCursor;
        case 32642:
            return Qt::SizeFDiagCursor;
        case 32643:
            return Qt::SizeBDiagCursor;
        case 32644:
            return Qt::SizeHorCursor;
        case 32645:
            return Qt::SizeVerCursor;
        case 32648:
            return Qt::ForbiddenCursor;
        case 32649:
            return Qt::PointingHandCursor;
        default:
            return Qt::ArrowCursor;
    }
}

// The colour an edit without a background of its own is seen on: its nearest ancestor's.
Color SurroundingBkColor(const CControlUI& control) {
    for (const CControlUI* c = &control; c != nullptr; c = c->GetParent()) {
        if ((c->GetBkColor() >> 24U) == 0xFFU) {
            return c->GetBkColor();
        }
    }
    return 0xFF262A32U;  // the raised control colour
}

}  // namespace

QtHostWidget::QtHostWidget(QtPlatform& platform, WindowImplBase& window, QWidget* owner)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      platform_(platform),
      window_(window),
      owner_(owner) {
    InstallRawInputFilter();
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // No Qt parent: the window owns this widget alone. The owner's window is only the
    // transient parent, which keeps this window above it.
    create();
    if (owner_ != nullptr && owner_->windowHandle() != nullptr) {
        windowHandle()->setTransientParent(owner_->windowHandle());
    }
    dpi_ = DpiOf(windowHandle()->screen());
    WatchScreen(windowHandle()->screen());
    QObject::connect(windowHandle(), &QWindow::screenChanged, this, [this](QScreen* screen) {
        WatchScreen(screen);
        ScreenDpiChanged(DpiOf(screen));
    });
    overlay_ = new QLineEdit(this);  // owned by this widget
    overlay_->hide();
    overlay_->setFrame(false);
    digitsOnly_ = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), overlay_);
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

int QtHostWidget::DpiOf(const QScreen* screen) {
    if (screen == nullptr) {
        return 96;
    }
    return static_cast<int>(std::lround(screen->logicalDotsPerInch() * screen->devicePixelRatio()));
}

void QtHostWidget::WatchScreen(QScreen* screen) {
    QObject::disconnect(screenDpi_);
    QObject::disconnect(screenGeometry_);
    if (screen == nullptr) {
        return;
    }
    screenDpi_ =
        QObject::connect(screen, &QScreen::logicalDotsPerInchChanged, this, [this, screen](qreal dpi) {
            ScreenDpiChanged(static_cast<int>(std::lround(dpi * screen->devicePixelRatio())));
        });
    screenGeometry_ =
        QObject::connect(screen, &QScreen::geometryChanged, this, [this](const QRect& geometry) {
            window_.SendMessage(kWmDisplayChange, 32,
                                static_cast<std::intptr_t>((geometry.width() & 0xFFFF) |
                                                           ((geometry.height() & 0xFFFF) << 16)));
        });
}

void QtHostWidget::ScreenDpiChanged(int dpi) {
    if (dpi == dpi_ || dpi <= 0) {
        return;
    }
    // The suggested place keeps the top-left corner and scales the size.
    Rect now = ScreenRect();
    auto scaled = [&](int v) { return static_cast<int>(std::lround(static_cast<double>(v) * dpi / dpi_)); };
    const Rect suggested{now.left, now.top, now.left + scaled(now.Width()), now.top + scaled(now.Height())};
    dpi_ = dpi;
    window_.SendMessage(kWmDpiChanged, static_cast<std::intptr_t>(dpi | (dpi << 16)),
                        reinterpret_cast<std::intptr_t>(&suggested));
}

void QtHostWidget::Invalidate(const Rect& rc) {
    update(ToQRect(rc));
    SyncOverlayText();
    if (QtDropDown* open = dropDown_.data(); open != nullptr) {
        open->Refresh();
    }
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
    Color bk = SurroundingBkColor(*overlayEdit_);
    Color text = overlayEdit_->GetTextColor() != 0 ? overlayEdit_->GetTextColor() : pm.GetDefaultTextColor();
    overlay_->setStyleSheet(QStringLiteral("QLineEdit{background:%1;color:%2;border:none;padding:0;"
                                           "selection-background-color:#FF00B8A9;}")
                                .arg(ColorName(bk), ColorName(text)));
}

void QtHostWidget::SyncOverlayText() {
    // Text set by code while the entry is up replaces what the entry shows.
    if (overlayEdit_ == nullptr) {
        return;
    }
    QString text = QString::fromStdString(overlayEdit_->GetText());
    if (overlay_->text() != text) {
        overlay_->setText(text);
    }
}

void QtHostWidget::ShowEditOverlay(CEditUI& edit) {
    overlayEdit_ = &edit;
    overlay_->setMaxLength(std::max(0, edit.GetMaxChar()));
    overlay_->setValidator(edit.IsDigitsOnly() ? digitsOnly_ : nullptr);
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
    if (QtDropDown* open = dropDown_.data(); open != nullptr) {
        if (open->Combo() == &combo) {
            open->Abandon();
        } else {
            open->close();
        }
    }
    // The pop-up takes the mouse: the press that opened it never sees its release here.
    window_.PaintManager().ReleaseCapture();
    auto* dropDown = new QtDropDown(combo, this);  // child of this widget, deletes itself on closing
    dropDown_ = dropDown;
    Rect rc = combo.GetPos();
    QRect anchor(mapToGlobal(QPoint(rc.left, rc.top)), QSize(rc.Width(), rc.Height()));
    dropDown->Open(anchor);
}

void QtHostWidget::ControlGone(CControlUI& control) {
    // Upcasts only: the control may be half destroyed already.
    QtDropDown* open = dropDown_.data();
    if (open != nullptr && open->Combo() != nullptr && static_cast<CControlUI*>(open->Combo()) == &control) {
        open->Abandon();
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
        ShowWindow(true);
    } else {
        closingFromModel_ = true;
        QWidget::hide();
        closingFromModel_ = false;
    }
}

void QtHostWidget::ShowInactive() {
    ShowWindow(false);
}

void QtHostWidget::ShowWindow(bool activate) {
    // Qt takes a modality change only while the window is hidden, so a modal run sets it
    // before the window shows.
    Qt::WindowModality modality = window_.IsModalRunning() ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != modality) {
        if (isVisible()) {
            Show(false);
        }
        setWindowModality(modality);
    }
    setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    QWidget::show();
    if (activate) {
        raise();
        activateWindow();
    }
}

void QtHostWidget::SetClientSize(Size size) {
    resize(size.cx, size.cy);
}

void QtHostWidget::Center() {
    QRect area;
    if (const QWidget* owner = owner_.data(); owner != nullptr && owner->isVisible()) {
        area = owner->frameGeometry();
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
    } else if (event->type() == QEvent::ActivationChange) {
        bool active = isActiveWindow();
        if (!active) {
            window_.PaintManager().OnCaptureLost();
        }
        window_.SendMessage(kWmActivate, active ? 1 : 0);
    }
}

void QtHostWidget::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    window_.PaintManager().OnCaptureLost();
}

void QtHostWidget::RunModal() {
    QEventLoop loop;
    modalLoop_ = &loop;
    if (!window_.IsClosed()) {
        loop.exec(QEventLoop::DialogExec);
    }
    modalLoop_ = nullptr;
    if (!isVisible()) {
        setWindowModality(Qt::NonModal);
    }
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

void QtHostWidget::RunLater(std::function<void()> task) {
    // Queued on the application, not on this widget: the task may destroy the widget.
    QPointer<QtHostWidget> alive(this);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [alive, task = std::move(task)] {
            if (alive) {
                task();
            }
        },
        Qt::QueuedConnection);
}

bool QtHostWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        CControlUI* control = window_.PaintManager().FindControlAt({help->pos().x(), help->pos().y()});
        std::string tip = control != nullptr ? control->GetToolTip() : std::string();
        if (tip.empty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), QString::fromStdString(tip), this,
                               ToQRect(control->GetPos()));
        }
        return true;
    }
    return QWidget::event(event);
}

void QtHostWidget::UpdateCursor() {
    auto& pm = window_.PaintManager();
    CControlUI* control = pm.GetCapture() != nullptr ? pm.GetCapture() : pm.GetHover();
    int id = control != nullptr ? control->GetCursor() : 0;
    if (id == cursorId_) {
        return;
    }
    cursorId_ = id;
    if (id == 0) {
        unsetCursor();
    } else {
        setCursor(ToCursorShape(id));
    }
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
        UpdateCursor();
    }
}

void QtHostWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        window_.PaintManager().DoubleClick(ToPoint(event->position()));
    }
}

void QtHostWidget::mouseMoveEvent(QMouseEvent* event) {
    window_.PaintManager().MouseMove(ToPoint(event->position()));
    UpdateCursor();
}

void QtHostWidget::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    window_.SendMessage(kWmMouseHover, 0, 0);
}

void QtHostWidget::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    window_.PaintManager().MouseLeaveWindow();
    window_.SendMessage(kWmMouseLeave, 0, 0);
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

void QtHostWidget::closeEvent(QCloseEvent* event) {
    // The system close button: the window decides (a handler of kWmClose may refuse).
    event->ignore();
    if (!closingFromModel_) {
        window_.RequestClose();
    }
}

}  // namespace norvane::ui::qt
