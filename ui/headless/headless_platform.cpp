#include "ui/headless/headless_platform.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <fstream>

#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/window.h"

namespace norvane::ui::headless {

HeadlessWindowHost::HeadlessWindowHost(HeadlessPlatform& platform, WindowImplBase& window)
    : platform_(platform), window_(window) {
    platform_.hosts_.push_back(this);
}

HeadlessWindowHost::~HeadlessWindowHost() {
    std::erase(platform_.hosts_, this);
    std::erase_if(platform_.timers_, [this](const auto& entry) { return entry.second.host == this; });
}

void HeadlessWindowHost::ControlGone(CControlUI& control) {
    // Upcasts only: the control may be half destroyed already.
    if (dropDown_ != nullptr && static_cast<CControlUI*>(dropDown_) == &control) {
        dropDown_ = nullptr;
    }
    if (overlayEdit_ != nullptr && static_cast<CControlUI*>(overlayEdit_) == &control) {
        overlayEdit_ = nullptr;
    }
}

void HeadlessWindowHost::Invalidate(const Rect& rc) {
    dirty_ = dirty_.Union(rc);
}

void HeadlessWindowHost::StartTimer(std::uint64_t key, int periodMs) {
    platform_.StartTimer(this, key, periodMs);
}

void HeadlessWindowHost::StopTimer(std::uint64_t key) {
    platform_.StopTimer(key);
}

std::uint64_t HeadlessWindowHost::Now() const {
    return platform_.Now();
}

Size HeadlessWindowHost::ImageSize(std::string_view path) {
    return ReadPngSize(std::filesystem::path(path));
}

void HeadlessWindowHost::Center() {
    Size screen = platform_.ScreenSize();
    topLeft_ = {(screen.cx - size_.cx) / 2, (screen.cy - size_.cy) / 2};
}

Rect HeadlessWindowHost::ScreenRect() const {
    return {topLeft_.x, topLeft_.y, topLeft_.x + size_.cx, topLeft_.y + size_.cy};
}

void HeadlessWindowHost::SetState(WindowState state) {
    if (state != state_) {
        state_ = state;
        window_.OnHostStateChanged();
    }
}

void HeadlessWindowHost::RunModal() {
    modalEnded_ = false;
    platform_.RunModal(*this, modalEnded_);
}

void HeadlessWindowHost::EndModal() {
    modalEnded_ = true;
}

void HeadlessWindowHost::Wake() {
    platform_.Wake();
}

class HeadlessTray : public ITrayIconHost {
public:
    HeadlessTray(HeadlessPlatform& platform, HeadlessPlatform::TrayRecord* record)
        : platform_(platform), record_(record) {}
    ~HeadlessTray() override {
        std::erase_if(platform_.trays_, [this](const auto& r) { return r.get() == record_; });
    }
    HeadlessTray(const HeadlessTray&) = delete;
    HeadlessTray& operator=(const HeadlessTray&) = delete;
    void SetToolTip(std::string_view text) override { record_->toolTip = std::string(text); }
    void SetIcon(const std::filesystem::path& image) override { record_->icon = image; }
    void Show(bool show) override { record_->shown = show; }
    bool IsShown() const override { return record_->shown; }

private:
    HeadlessPlatform& platform_;
    HeadlessPlatform::TrayRecord* record_;
};

HeadlessPlatform::HeadlessPlatform() = default;
HeadlessPlatform::~HeadlessPlatform() = default;

std::unique_ptr<IWindowHost> HeadlessPlatform::CreateWindowHost(WindowImplBase& window,
                                                                WindowImplBase* owner) {
    (void)owner;
    return std::make_unique<HeadlessWindowHost>(*this, window);
}

int HeadlessPlatform::RunMessageLoop() {
    quit_ = false;
    while (!quit_) {
        Pump();
        if (!quit_ && !AnyPending()) {
            WaitForMessages(50);
        }
    }
    return quitCode_;
}

void HeadlessPlatform::Quit(int code) {
    quit_ = true;
    quitCode_ = code;
    Wake();
}

std::string HeadlessPlatform::TrackMenu(const std::vector<MenuItem>& items, Point screen,
                                        WindowImplBase* owner) {
    (void)screen;
    (void)owner;
    return menuChooser_ ? menuChooser_(items) : std::string();
}

std::filesystem::path HeadlessPlatform::FileDialog(const FileDialogOptions& options, WindowImplBase* owner) {
    (void)owner;
    lastFileDialog_ = options;
    return fileAnswer_;
}

std::unique_ptr<ITrayIconHost> HeadlessPlatform::CreateTrayIcon(WindowImplBase& window,
                                                                unsigned callbackMessage) {
    auto record = std::make_unique<TrayRecord>();
    record->window = &window;
    record->message = callbackMessage;
    TrayRecord* raw = record.get();
    trays_.push_back(std::move(record));
    return std::make_unique<HeadlessTray>(*this, raw);
}

bool HeadlessPlatform::AddPrivateFont(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return false;
    }
    fonts_.push_back(file);
    return true;
}

void HeadlessPlatform::StartTimer(HeadlessWindowHost* host, std::uint64_t key, int periodMs) {
    timers_[key] = Timer{host, now_ + static_cast<std::uint64_t>(std::max(1, periodMs)),
                         std::max(1, periodMs), timerOrder_++};
}

void HeadlessPlatform::StopTimer(std::uint64_t key) {
    timers_.erase(key);
}

void HeadlessPlatform::Advance(std::uint64_t ms) {
    const std::uint64_t target = now_ + ms;
    while (true) {
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->second.due <= target &&
                (next == timers_.end() || it->second.due < next->second.due ||
                 (it->second.due == next->second.due && it->second.order < next->second.order))) {
                next = it;
            }
        }
        if (next == timers_.end()) {
            break;
        }
        std::uint64_t key = next->first;
        now_ = next->second.due;
        next->second.due += static_cast<std::uint64_t>(next->second.period);
        next->second.order = timerOrder_++;
        HeadlessWindowHost* host = next->second.host;
        host->Window().PaintManager().OnTimer(key);
    }
    now_ = target;
    Pump();
}

void HeadlessPlatform::Pump() {
    // A handler may create or destroy windows: walk a snapshot and skip the gone ones.
    auto snapshot = hosts_;
    for (HeadlessWindowHost* host : snapshot) {
        if (std::find(hosts_.begin(), hosts_.end(), host) != hosts_.end()) {
            host->Window().DispatchMessages();
        }
    }
    for (HeadlessWindowHost* host : snapshot) {
        if (std::find(hosts_.begin(), hosts_.end(), host) == hosts_.end()) {
            continue;
        }
        for (auto& task : host->TakeLaterTasks()) {
            task();
            if (std::find(hosts_.begin(), hosts_.end(), host) == hosts_.end()) {
                break;  // the task destroyed its window
            }
        }
    }
}

void HeadlessPlatform::Wake() {
    {
        std::lock_guard lock(wakeMutex_);
        ++wakeCount_;
    }
    wakeCv_.notify_all();
}

std::uint64_t HeadlessPlatform::WakeCount() const {
    std::lock_guard lock(wakeMutex_);
    return wakeCount_;
}

bool HeadlessPlatform::AnyPending() const {
    return std::any_of(hosts_.begin(), hosts_.end(),
                       [](HeadlessWindowHost* host) { return host->Window().HasPendingMessages(); });
}

bool HeadlessPlatform::WaitForMessages(std::uint64_t limitMs) {
    std::unique_lock lock(wakeMutex_);
    std::uint64_t seen = wakeCount_;
    return wakeCv_.wait_for(lock, std::chrono::milliseconds(limitMs), [&] { return wakeCount_ != seen; });
}

void HeadlessPlatform::RunModal(HeadlessWindowHost& host, const bool& ended) {
    if (modalDriver_) {
        auto driver = modalDriver_;
        driver(host.Window());
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(modalLimitMs_);
    while (!ended) {
        Pump();
        if (ended) {
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            host.Window().Close(-1);
            break;
        }
        if (!AnyPending()) {
            WaitForMessages(20);
        }
    }
}

std::vector<const HeadlessPlatform::TrayRecord*> HeadlessPlatform::TrayIcons() const {
    std::vector<const TrayRecord*> out;
    for (const auto& t : trays_) {
        out.push_back(t.get());
    }
    return out;
}

bool HeadlessPlatform::ClickTray(std::size_t index, unsigned mouseCode) {
    if (index >= trays_.size() || trays_[index]->window == nullptr) {
        return false;
    }
    return trays_[index]->window->PostMessage(trays_[index]->message, 0,
                                              static_cast<std::intptr_t>(mouseCode));
}

HeadlessWindowHost* HeadlessPlatform::HostOf(const WindowImplBase& window) const {
    for (HeadlessWindowHost* host : hosts_) {
        if (&host->Window() == &window) {
            return host;
        }
    }
    return nullptr;
}

Size ReadPngSize(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::array<unsigned char, 24> header{};
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) {
        return {};
    }
    constexpr std::array<unsigned char, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!std::equal(kSignature.begin(), kSignature.end(), header.begin())) {
        return {};
    }
    auto be32 = [&](std::size_t at) {
        return (static_cast<std::uint32_t>(header[at]) << 24U) |
               (static_cast<std::uint32_t>(header[at + 1]) << 16U) |
               (static_cast<std::uint32_t>(header[at + 2]) << 8U) | header[at + 3];
    };
    std::uint32_t w = be32(16);
    std::uint32_t h = be32(20);
    if (w > 65535 || h > 65535) {
        return {};
    }
    return {static_cast<int>(w), static_cast<int>(h)};
}

}  // namespace norvane::ui::headless
