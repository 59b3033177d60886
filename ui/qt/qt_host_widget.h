#pragma once

#include <QEventLoop>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "ui/platform.h"

namespace norvane::ui::qt {

class QtPlatform;
class QtDropDown;

// One top-level widget per window: paints the control tree, turns Qt input into the paint
// manager's input, runs the window's timers, its nested modal loop, and the native entry
// over a focused edit. It reports activation, the mouse entering and leaving, and screen
// changes to the window as messages (kWmActivate, kWmMouseHover, kWmMouseLeave,
// kWmDpiChanged, kWmDisplayChange), and shows tool-tips and cursors of the controls.
// Its window owns it alone: an owner window is only its transient parent in Qt.
class QtHostWidget : public QWidget, public IWindowHost {
public:
    QtHostWidget(QtPlatform& platform, WindowImplBase& window, QWidget* owner);
    ~QtHostWidget() override;

    // IPaintHost
    void Invalidate(const Rect& rc) override;
    void StartTimer(std::uint64_t key, int periodMs) override;
    void StopTimer(std::uint64_t key) override;
    std::uint64_t Now() const override;
    void ShowEditOverlay(CEditUI& edit) override;
    void HideEditOverlay() override;
    void ShowDropDown(CComboUI& combo) override;
    Size ImageSize(std::string_view path) override;
    void ControlGone(CControlUI& control) override;
    // IWindowHost
    void SetTitle(std::string_view title) override;
    void Show(bool show) override;
    void ShowInactive() override;
    bool IsShown() const override { return isVisible(); }
    void SetClientSize(Size size) override;
    void Center() override;
    void Move(Point topLeft) override;
    Rect ScreenRect() const override;
    void SetState(WindowState state) override;
    WindowState State() const override;
    void RunModal() override;
    void EndModal() override;
    void Wake() override;
    void RunLater(std::function<void()> task) override;

    WindowImplBase& Window() { return window_; }
    // The screen scale of a screen as the toolkit counts it (96 = 100 %).
    static int DpiOf(const QScreen* screen);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ShowWindow(bool activate);
    bool InCaption(const QPoint& pt) const;
    void SyncOverlay();
    void SyncOverlayText();
    void UpdateCursor();
    void WatchScreen(QScreen* screen);
    void ScreenDpiChanged(int dpi);

    QtPlatform& platform_;
    WindowImplBase& window_;
    QPointer<QWidget> owner_;
    QHash<int, std::uint64_t> timers_;  // Qt timer id -> paint manager key
    QHash<std::uint64_t, int> timerIds_;
    QPointer<QEventLoop> modalLoop_;
    QLineEdit* overlay_ = nullptr;      // child of this widget
    QValidator* digitsOnly_ = nullptr;  // child of the overlay
    CEditUI* overlayEdit_ = nullptr;
    QPointer<QtDropDown> dropDown_;  // child of this widget, deletes itself on closing
    int cursorId_ = 0;
    QMetaObject::Connection screenDpi_;
    QMetaObject::Connection screenGeometry_;
    int dpi_ = 96;
    bool closingFromModel_ = false;
};

}  // namespace norvane::ui::qt
