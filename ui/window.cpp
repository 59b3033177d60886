#include "ui/window.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/diag.h"
#include "ui/messages.h"
#include "ui/resource_manager.h"

namespace norvane::ui {

namespace {
std::atomic<IUiPlatform*> gPlatform{nullptr};
// The process-wide scale and the windows it applies to (UI thread only).
int gAllDpi = 96;
std::vector<WindowImplBase*>& AllWindows() {
    static std::vector<WindowImplBase*> windows;
    return windows;
}
}  // namespace

IUiPlatform* CurrentPlatform() {
    return gPlatform.load();
}
void SetCurrentPlatform(IUiPlatform* platform) {
    gPlatform.store(platform);
}

WindowImplBase::WindowImplBase() : uiThread_(std::this_thread::get_id()) {
}

WindowImplBase::~WindowImplBase() {
    std::erase(AllWindows(), this);
    CloseMessageQueue();
    pm_.RemoveNotifier(this);
    // Controls go before the host that paints them.
    pm_.AttachRoot(nullptr);
    pm_.SetHost(nullptr);
    host_.reset();
}

bool WindowImplBase::Create(WindowImplBase* owner, std::string_view title, Size size) {
    IUiPlatform* platform = CurrentPlatform();
    if (platform == nullptr) {
        platform::diag::Trace("window created without a UI platform");
        return false;
    }
    uiThread_ = std::this_thread::get_id();
    owner_ = owner;
    pm_.SetResources(&platform->Resources());
    pm_.SetDPI(gAllDpi);
    host_ = platform->CreateWindowHost(*this, owner);
    if (!host_) {
        return false;
    }
    pm_.SetHost(host_.get());
    pm_.AddNotifier(this);
    CDialogBuilder builder;
    auto root = builder.Create(GetSkinFile(), &pm_, this);
    if (!root) {
        platform::diag::Trace("window layout could not be built: " + GetSkinFile());
        pm_.SetHost(nullptr);
        host_.reset();
        return false;
    }
    info_ = builder.GetWindowInfo();
    unscaledSize_ = (size.cx > 0 && size.cy > 0) ? size : info_.size;
    if (unscaledSize_.cx <= 0 || unscaledSize_.cy <= 0) {
        unscaledSize_ = {400, 300};
    }
    pm_.AttachRoot(std::move(root));
    host_->SetTitle(title.empty() ? std::string_view(info_.title) : title);
    ApplyClientSize();
    closed_ = false;
    OnHostStateChanged();
    InitWindow();
    initialised_ = true;
    if (std::find(AllWindows().begin(), AllWindows().end(), this) == AllWindows().end()) {
        AllWindows().push_back(this);
    }
    pm_.SendNotify(pm_.GetRoot(), notify::kWindowInit);
    return true;
}

std::unique_ptr<CControlUI> WindowImplBase::CreateControl(std::string_view tag) {
    (void)tag;
    return nullptr;
}

void WindowImplBase::Notify(TNotifyUI& msg) {
    (void)msg;
}

std::intptr_t WindowImplBase::HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                                  bool& handled) {
    (void)msg;
    (void)wparam;
    (void)lparam;
    handled = false;
    return 0;
}

std::intptr_t WindowImplBase::HandleMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam) {
    bool handled = false;
    std::intptr_t result = HandleCustomMessage(msg, wparam, lparam, handled);
    if (handled) {
        return result;
    }
    if (msg == kWmClose) {
        Close(0);
    }
    return 0;
}

std::intptr_t WindowImplBase::SendMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam) {
    if (IsUiThread()) {
        return HandleMessage(msg, wparam, lparam);
    }
    auto completion = std::make_shared<MessageQueue::Completion>();
    {
        std::lock_guard lock(wakeMutex_);
        if (!queue_.Push({msg, wparam, lparam, completion})) {
            return 0;
        }
        WakeHost();
    }
    return completion->Wait();
}

bool WindowImplBase::PostMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam) {
    std::lock_guard lock(wakeMutex_);
    if (!queue_.Push({msg, wparam, lparam, nullptr})) {
        return false;
    }
    WakeHost();
    return true;
}

void WindowImplBase::WakeHost() {
    if (host_ && !wakePending_.exchange(true)) {
        host_->Wake();
    }
}

void WindowImplBase::CloseMessageQueue() {
    std::lock_guard lock(wakeMutex_);
    queue_.Close();
}

void WindowImplBase::DispatchMessages() {
    // Cleared before the count is taken: a message queued after it wakes the host again.
    wakePending_.store(false);
    // Nested calls (from a modal run inside a handler) take messages one by one from the
    // same queue, so nothing waits for the outer handler to return.
    for (std::size_t budget = queue_.Size(); budget > 0; --budget) {
        auto m = queue_.Pop();
        if (!m) {
            break;
        }
        std::intptr_t result = HandleMessage(m->msg, m->wparam, m->lparam);
        if (m->completion) {
            m->completion->Finish(result);
        }
    }
}

void WindowImplBase::ShowWindow(bool show, bool activate) {
    if (host_) {
        if (show) {
            closed_ = false;
        } else {
            pm_.OnCaptureLost();
        }
        if (show && !activate) {
            host_->ShowInactive();
        } else {
            host_->Show(show);
        }
        OnShowWindow(show);
    }
}

bool WindowImplBase::IsWindowVisible() const {
    return host_ && host_->IsShown();
}

void WindowImplBase::CenterWindow() {
    if (host_) {
        host_->Center();
    }
}

void WindowImplBase::ResizeClient(int cx, int cy) {
    unscaledSize_ = {std::max(1, cx), std::max(1, cy)};
    ApplyClientSize();
}

void WindowImplBase::ApplyClientSize() {
    Size scaled{pm_.Scale(unscaledSize_.cx), pm_.Scale(unscaledSize_.cy)};
    if (host_) {
        host_->SetClientSize(scaled);
    }
    OnHostResized(scaled);
}

void WindowImplBase::OnHostResized(Size scaled) {
    if (scaled == pm_.GetClientSize()) {
        return;
    }
    pm_.SetClientSize(scaled);
    pm_.Invalidate({0, 0, scaled.cx, scaled.cy});
    if (initialised_) {
        pm_.SendNotify(pm_.GetRoot(), notify::kWindowSize, scaled.cx, scaled.cy);
    }
}

void WindowImplBase::SetDPI(int dpi) {
    pm_.SetDPI(dpi);
    ApplyClientSize();
}

void WindowImplBase::SetAllDPI(int dpi) {
    gAllDpi = std::clamp(dpi, 48, 480);
    // By index: a "windowsize" handler may destroy windows.
    for (std::size_t i = 0; i < AllWindows().size(); ++i) {  // NOLINT(modernize-loop-convert)
        AllWindows()[i]->SetDPI(gAllDpi);
    }
}

int WindowImplBase::GetAllDPI() {
    return gAllDpi;
}

void WindowImplBase::MoveWindow(Point topLeft) {
    if (host_) {
        host_->Move(topLeft);
    }
}

void WindowImplBase::Minimize() {
    if (host_) {
        host_->SetState(WindowState::Minimized);
    }
}

void WindowImplBase::Maximize() {
    if (host_) {
        host_->SetState(WindowState::Maximized);
    }
}

void WindowImplBase::Restore() {
    if (host_) {
        host_->SetState(WindowState::Normal);
    }
}

WindowState WindowImplBase::GetWindowState() const {
    return host_ ? host_->State() : WindowState::Normal;
}

void WindowImplBase::OnHostStateChanged() {
    WindowState state = GetWindowState();
    if (state == WindowState::Minimized) {
        return;
    }
    bool maximized = state == WindowState::Maximized;
    if (CControlUI* maxButton = pm_.FindControl("maxbtn")) {
        maxButton->SetVisible(!maximized);
    }
    if (CControlUI* restoreButton = pm_.FindControl("restorebtn")) {
        restoreButton->SetVisible(maximized);
    }
}

int WindowImplBase::ShowModal() {
    if (!host_ || modal_) {
        return -1;
    }
    modal_ = true;
    closed_ = false;
    modalResult_ = 0;
    host_->Show(true);
    host_->RunModal();
    modal_ = false;
    return modalResult_;
}

void WindowImplBase::Close(int result) {
    modalResult_ = result;
    closed_ = true;
    pm_.OnCaptureLost();
    if (host_) {
        host_->Show(false);
        if (modal_) {
            host_->EndModal();
        }
    }
}

void WindowImplBase::RequestClose() {
    SendMessage(kWmClose, 0, 0);
}

void WindowImplBase::DestroyWindow() {
    Close(0);
    FinalLater();
}

void WindowImplBase::FinalLater() {
    if (!host_) {
        return;
    }
    host_->RunLater([this] {
        if (modal_) {
            FinalLater();  // the modal run is still unwinding
        } else {
            OnFinalMessage();
        }
    });
}

std::string WindowImplBase::ShowMenu(std::string_view layoutFile, Point screen) {
    IUiPlatform* platform = CurrentPlatform();
    if (platform == nullptr) {
        return {};
    }
    auto items = LoadMenu(layoutFile, pm_.Resources());
    if (items.empty()) {
        return {};
    }
    return platform->TrackMenu(items, screen, this);
}

Point WindowImplBase::ClientToScreen(Point pt) const {
    if (!host_) {
        return pt;
    }
    Rect rc = host_->ScreenRect();
    return {rc.left + pt.x, rc.top + pt.y};
}

}  // namespace norvane::ui
