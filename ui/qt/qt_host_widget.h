#pragma once

#include <QEventLoop>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "ui/platform.h"

namespace norvane::ui::qt {

class QtPlatform;
class QtDropDown;

// One top-level widget per window: paints the control tree, turns Qt input into the paint
// manager's input, runs the window's timers, its nested modal loop, and the native entry
// over a focused edit.
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

    WindowImplBase& Window() { return window_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool InCaption(const QPoint& pt) const;
    void SyncOverlay();

    QtPlatform& platform_;
    WindowImplBase& window_;
    QHash<int, std::uint64_t> timers_;  // Qt timer id -> paint manager key
    QHash<std::uint64_t, int> timerIds_;
    QPointer<QEventLoop> modalLoop_;
    QLineEdit* overlay_ = nullptr;
    CEditUI* overlayEdit_ = nullptr;
    std::unique_ptr<QtDropDown> dropDown_;
    bool closingFromModel_ = false;
};

}  // namespace norvane::ui::qt
