#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "ui/dialog_builder.h"
#include "ui/message_queue.h"
#include "ui/notify.h"
#include "ui/paint_manager.h"
#include "ui/platform.h"

namespace norvane::ui {

// Base of every window: built from a layout file, hears its controls' notifications, handles
// its own messages, and can be shown modelessly or run modally.
//
// Threads: the window lives on the thread that created it (the UI thread). SendMessage and
// PostMessage may be called from any thread; both run on the UI thread in arrival order.
// A send from the UI thread runs at once; from another thread it waits until the UI thread
// has handled it (or the queue is closed or the window destroyed, which answers 0).
class WindowImplBase : public INotifyUI, public IDialogBuilderCallback {
public:
    WindowImplBase();
    virtual ~WindowImplBase();
    WindowImplBase(const WindowImplBase&) = delete;
    WindowImplBase& operator=(const WindowImplBase&) = delete;

    // Builds GetSkinFile() and creates the native window (hidden); sends "windowinit".
    // size overrides the layout's <Window size>. False when the layout cannot be built.
    bool Create(WindowImplBase* owner, std::string_view title, Size size = {});
    virtual std::string GetSkinFile() const = 0;
    virtual std::string_view GetWindowClassName() const = 0;
    // Called after the tree is built and attached, before "windowinit".
    virtual void InitWindow() {}
    std::unique_ptr<CControlUI> CreateControl(std::string_view tag) override;
    void Notify(TNotifyUI& msg) override;
    // Program messages; set handled to stop the default handling.
    virtual std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                              bool& handled);

    std::intptr_t SendMessage(unsigned msg, std::intptr_t wparam = 0, std::intptr_t lparam = 0);
    bool PostMessage(unsigned msg, std::intptr_t wparam = 0, std::intptr_t lparam = 0);
    // UI thread: handles the messages queued when it starts (the backend calls this after
    // Wake); later ones wait for the next call. A handler running a nested loop (a modal
    // run) keeps this window's messages flowing.
    void DispatchMessages();
    // Stops taking messages: waiting sends from other threads return 0 at once, and so do
    // later ones; posts are dropped. A teardown that joins threads which may send to this
    // window calls it first.
    void CloseMessageQueue();
    bool IsUiThread() const { return std::this_thread::get_id() == uiThread_; }
    bool HasPendingMessages() const { return !queue_.Empty(); }

    // activate false shows the window without making it the active window.
    void ShowWindow(bool show = true, bool activate = true);
    bool IsWindowVisible() const;
    void CenterWindow();
    // Client size in unscaled pixels; the window's DPI scale applies.
    void ResizeClient(int cx, int cy);
    void MoveWindow(Point topLeft);
    // System commands of the title-bar buttons.
    void Minimize();
    void Maximize();
    void Restore();
    WindowState GetWindowState() const;
    // The backend reports a new window state: "maxbtn" shows for a normal window and
    // "restorebtn" for a maximised one (when the layout has them).
    void OnHostStateChanged();
    // Runs the window modally; the value given to Close.
    int ShowModal();
    bool IsModalRunning() const { return modal_; }
    // Closes the window (hides it and ends a modal run with the result).
    void Close(int result = 1);
    bool IsClosed() const { return closed_; }
    // Asks the window to close as the system close button does: a handler of kWmClose may
    // refuse; otherwise Close(0).
    void RequestClose();
    // Closes the window and calls OnFinalMessage once the event being handled is over, where
    // whoever holds the window may destroy it. Safe from the window's own handlers.
    void DestroyWindow();

    // Pop-up menu from a layout file at a screen point; the chosen item's name or "".
    std::string ShowMenu(std::string_view layoutFile, Point screen);

    CPaintManagerUI& PaintManager() { return pm_; }
    IWindowHost* Host() const { return host_.get(); }
    WindowImplBase* Owner() const { return owner_; }
    const WindowInfo& LayoutInfo() const { return info_; }
    void SetDPI(int dpi);
    // The scale of every window: windows created later open at it, the windows alive take it.
    static void SetAllDPI(int dpi);
    static int GetAllDPI();
    CControlUI* FindControl(std::string_view name) const { return pm_.FindControl(name); }
    // Client point to screen point.
    Point ClientToScreen(Point pt) const;
    // The backend reports a new client size (scaled pixels), e.g. after the user resized.
    void OnHostResized(Size scaled);

protected:
    // Default message handling (kWmClose closes with 0).
    virtual std::intptr_t HandleMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam);
    // After DestroyWindow, from the event loop; the window object may be destroyed here.
    virtual void OnFinalMessage() {}
    // After ShowWindow showed or hid the window.
    virtual void OnShowWindow(bool shown) { static_cast<void>(shown); }
    CPaintManagerUI pm_;

private:
    void ApplyClientSize();
    // Asks the host for one dispatch unless one is already pending (wakeMutex_ held).
    void WakeHost();
    void FinalLater();
    std::unique_ptr<IWindowHost> host_;
    WindowImplBase* owner_ = nullptr;
    WindowInfo info_;
    Size unscaledSize_;
    MessageQueue queue_;
    // Held while another thread queues a message and wakes the host, so the window cannot
    // be torn down between the two.
    std::mutex wakeMutex_;
    // Set by the first message after a dispatch started; one host wake-up serves them all.
    std::atomic<bool> wakePending_{false};
    std::thread::id uiThread_;
    int modalResult_ = 0;
    bool modal_ = false;
    bool closed_ = false;
    bool initialised_ = false;
};

}  // namespace norvane::ui
