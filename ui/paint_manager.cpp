#include "ui/paint_manager.h"

#include <algorithm>

#include "ui/container.h"
#include "ui/control.h"
#include "ui/resource_manager.h"

namespace norvane::ui {

CPaintManagerUI::CPaintManagerUI(IPaintHost* host, CResourceManager* resources) : host_(host) {
    if (resources == nullptr) {
        ownResources_ = std::make_unique<CResourceManager>();
        resources = ownResources_.get();
    }
    SetResources(resources);
}

CPaintManagerUI::~CPaintManagerUI() {
    resources_->RemoveLanguageListener(languageListener_);
    for (const auto& t : timers_) {
        if (host_ != nullptr) {
            host_->StopTimer(t.key);
        }
    }
    timers_.clear();
    root_.reset();
    released_.clear();
}

void CPaintManagerUI::SetResources(CResourceManager* resources) {
    if (resources_ != nullptr) {
        resources_->RemoveLanguageListener(languageListener_);
    }
    resources_ = resources;
    // Texts with ids resolve when read; a switch only needs a relayout and a repaint.
    languageListener_ = resources_->AddLanguageListener([this] {
        NeedUpdate();
        Invalidate({0, 0, clientSize_.cx, clientSize_.cy});
    });
}

void CPaintManagerUI::AttachRoot(std::unique_ptr<CControlUI> root) {
    if (root_) {
        ReleaseControl(DetachRoot());
    }
    root_ = std::move(root);
    if (root_) {
        root_->SetManager(this, nullptr);
    }
    NeedUpdate();
}

std::unique_ptr<CControlUI> CPaintManagerUI::DetachRoot() {
    if (root_) {
        root_->SetManager(nullptr, nullptr);
    }
    return std::move(root_);
}

CControlUI* CPaintManagerUI::FindControl(std::string_view name) const {
    auto it = names_.find(name);
    return it == names_.end() ? nullptr : it->second;
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, std::string_view name) {
    if (parent == nullptr) {
        return nullptr;
    }
    CControlUI* found = nullptr;
    parent->ForEach([&](CControlUI& c) {
        if (found == nullptr && &c != parent && c.GetName() == name) {
            found = &c;
        }
    });
    return found;
}

CControlUI* CPaintManagerUI::FindControlAt(Point pt) const {
    return root_ ? root_->FindControlAt(pt) : nullptr;
}

void CPaintManagerUI::OnControlJoined(CControlUI& control) {
    if (!control.GetName().empty()) {
        names_.emplace(control.GetName(), &control);
    }
}

void CPaintManagerUI::OnControlLeaving(CControlUI& control) {
    if (!control.GetName().empty()) {
        auto range = names_.equal_range(control.GetName());
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second == &control) {
                names_.erase(it);
                break;
            }
        }
    }
    if (focus_ == &control) {
        focus_ = nullptr;
        if (host_ != nullptr) {
            host_->HideEditOverlay();
        }
    }
    if (hover_ == &control) {
        hover_ = nullptr;
    }
    if (capture_ == &control) {
        capture_ = nullptr;
    }
    if (host_ != nullptr) {
        host_->ControlGone(control);
    }
    KillTimers(&control);
}

void CPaintManagerUI::OnControlRenamed(CControlUI& control, const std::string& oldName) {
    auto range = names_.equal_range(oldName);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == &control) {
            names_.erase(it);
            break;
        }
    }
    if (!control.GetName().empty()) {
        names_.emplace(control.GetName(), &control);
    }
}

void CPaintManagerUI::ReleaseControl(std::unique_ptr<CControlUI> control) {
    if (!control) {
        return;
    }
    if (dispatchDepth_ > 0) {
        released_.push_back(std::move(control));
    }
}

void CPaintManagerUI::FlushReleased() {
    if (dispatchDepth_ == 0) {
        released_.clear();
    }
}

void CPaintManagerUI::SetClientSize(Size size) {
    if (size == clientSize_) {
        return;
    }
    clientSize_ = size;
    NeedUpdate();
}

void CPaintManagerUI::NeedUpdate() {
    needUpdate_ = true;
    Invalidate({0, 0, clientSize_.cx, clientSize_.cy});
}

void CPaintManagerUI::UpdateLayout() {
    needUpdate_ = false;
    if (root_) {
        root_->SetPos({0, 0, clientSize_.cx, clientSize_.cy});
    }
}

void CPaintManagerUI::Invalidate(const Rect& rc) {
    if (host_ != nullptr && !rc.IsEmpty()) {
        host_->Invalidate(rc);
    }
}

void CPaintManagerUI::Paint(IRenderer& r, const Rect& dirty) {
    if (needUpdate_) {
        UpdateLayout();
    }
    if (root_ && root_->IsOwnVisible()) {
        root_->DoPaint(r, dirty);
    }
}

void CPaintManagerUI::SetDPI(int dpi) {
    dpi_ = std::clamp(dpi, 48, 480);
    NeedUpdate();
    Invalidate({0, 0, clientSize_.cx, clientSize_.cy});
}

int CPaintManagerUI::Scale(int value) const {
    if (dpi_ == 96) {
        return value;
    }
    long long scaled = static_cast<long long>(value) * dpi_;
    return static_cast<int>(scaled >= 0 ? (scaled + 48) / 96 : (scaled - 48) / 96);
}

void CPaintManagerUI::AddFont(int id, FontSpec font) {
    fonts_[id] = std::move(font);
}

void CPaintManagerUI::SetDefaultFont(FontSpec font) {
    defaultFont_ = std::move(font);
}

const FontSpec& CPaintManagerUI::GetFont(int id) const {
    auto it = fonts_.find(id);
    return it == fonts_.end() ? defaultFont_ : it->second;
}

FontSpec CPaintManagerUI::ScaledFont(int id) const {
    FontSpec font = GetFont(id);
    font.size = Scale(font.size);
    return font;
}

void CPaintManagerUI::SetDefaultAttributeList(std::string_view className, std::string list) {
    defaultAttributes_[std::string(className)] = std::move(list);
}

const std::string* CPaintManagerUI::GetDefaultAttributeList(std::string_view className) const {
    auto it = defaultAttributes_.find(className);
    return it == defaultAttributes_.end() ? nullptr : &it->second;
}

void CPaintManagerUI::AddStyle(std::string_view name, std::string list) {
    styles_[std::string(name)] = std::move(list);
}

const std::string* CPaintManagerUI::GetStyle(std::string_view name) const {
    auto it = styles_.find(name);
    return it == styles_.end() ? nullptr : &it->second;
}

void CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
    if (notifier != nullptr &&
        std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end()) {
        notifiers_.push_back(notifier);
    }
}

void CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
    std::erase(notifiers_, notifier);
}

void CPaintManagerUI::SendNotify(CControlUI* sender, std::string_view type, std::intptr_t wparam,
                                 std::intptr_t lparam) {
    TNotifyUI msg{std::string(type), sender, wparam, lparam, lastMouse_, Now()};
    ++dispatchDepth_;
    // A notifier removed by an earlier one in this round is skipped.
    auto round = notifiers_;
    for (INotifyUI* n : round) {
        if (std::find(notifiers_.begin(), notifiers_.end(), n) != notifiers_.end()) {
            n->Notify(msg);
        }
    }
    --dispatchDepth_;
    FlushReleased();
}

bool CPaintManagerUI::SetTimer(CControlUI* control, int id, int periodMs) {
    if (control == nullptr || periodMs <= 0) {
        return false;
    }
    KillTimer(control, id);
    std::uint64_t key = nextTimerKey_++;
    timers_.push_back({control, id, key});
    if (host_ != nullptr) {
        host_->StartTimer(key, periodMs);
    }
    return true;
}

void CPaintManagerUI::KillTimer(CControlUI* control, int id) {
    auto it = std::find_if(timers_.begin(), timers_.end(),
                           [&](const TimerEntry& t) { return t.control == control && t.id == id; });
    if (it == timers_.end()) {
        return;
    }
    if (host_ != nullptr) {
        host_->StopTimer(it->key);
    }
    timers_.erase(it);
}

void CPaintManagerUI::KillTimers(CControlUI* control) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->control == control) {
            if (host_ != nullptr) {
                host_->StopTimer(it->key);
            }
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

bool CPaintManagerUI::HasTimer(const CControlUI* control, int id) const {
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](const TimerEntry& t) { return t.control == control && t.id == id; });
}

void CPaintManagerUI::OnTimer(std::uint64_t key) {
    auto it = std::find_if(timers_.begin(), timers_.end(), [&](const TimerEntry& t) { return t.key == key; });
    if (it == timers_.end()) {
        return;  // killed meanwhile
    }
    SendNotify(it->control, notify::kTimer, it->id, 0);
}

void CPaintManagerUI::AddOptionGroup(std::string_view group, COptionUI* option) {
    auto& list = optionGroups_[std::string(group)];
    if (std::find(list.begin(), list.end(), option) == list.end()) {
        list.push_back(option);
    }
}

void CPaintManagerUI::RemoveOptionGroup(std::string_view group, COptionUI* option) {
    auto it = optionGroups_.find(group);
    if (it == optionGroups_.end()) {
        return;
    }
    std::erase(it->second, option);
    if (it->second.empty()) {
        optionGroups_.erase(it);
    }
}

const std::vector<COptionUI*>* CPaintManagerUI::GetOptionGroup(std::string_view group) const {
    auto it = optionGroups_.find(group);
    return it == optionGroups_.end() ? nullptr : &it->second;
}

std::uint64_t CPaintManagerUI::Now() const {
    return host_ != nullptr ? host_->Now() : 0;
}

void CPaintManagerUI::Dispatch(CControlUI* target, TEventUI event) {
    if (target == nullptr) {
        return;
    }
    event.sender = target;
    event.timestamp = Now();
    ++dispatchDepth_;
    target->Event(event);
    --dispatchDepth_;
    FlushReleased();
}

void CPaintManagerUI::MouseMove(Point pt) {
    if (needUpdate_) {
        UpdateLayout();
    }
    lastMouse_ = pt;
    CControlUI* hit = FindControlAt(pt);
    if (hit != hover_ && capture_ == nullptr) {
        CControlUI* old = hover_;
        hover_ = hit;
        if (old != nullptr) {
            Dispatch(old, MakeEvent(EventType::MouseLeave, pt));
        }
        if (hover_ != nullptr && hover_ == hit) {
            Dispatch(hover_, MakeEvent(EventType::MouseEnter, pt));
        }
    }
    Dispatch(capture_ != nullptr ? capture_ : hover_, MakeEvent(EventType::MouseMove, pt));
}

void CPaintManagerUI::MouseLeaveWindow() {
    if (capture_ != nullptr) {
        return;
    }
    CControlUI* old = hover_;
    hover_ = nullptr;
    Dispatch(old, MakeEvent(EventType::MouseLeave, lastMouse_));
}

void CPaintManagerUI::ButtonDown(Point pt) {
    MouseMove(pt);
    CControlUI* hit = FindControlAt(pt);
    SetFocus(hit);
    // The focus change may have removed or hidden the control.
    hit = FindControlAt(pt);
    if (hit == nullptr) {
        return;
    }
    capture_ = hit;
    Dispatch(hit, MakeEvent(EventType::ButtonDown, pt));
}

void CPaintManagerUI::ButtonUp(Point pt) {
    lastMouse_ = pt;
    CControlUI* target = capture_ != nullptr ? capture_ : FindControlAt(pt);
    capture_ = nullptr;
    Dispatch(target, MakeEvent(EventType::ButtonUp, pt));
    MouseMove(pt);
}

void CPaintManagerUI::DoubleClick(Point pt) {
    lastMouse_ = pt;
    CControlUI* hit = FindControlAt(pt);
    if (hit == nullptr) {
        return;
    }
    capture_ = hit;
    Dispatch(hit, MakeEvent(EventType::DblClick, pt));
}

void CPaintManagerUI::RightClick(Point pt) {
    MouseMove(pt);
    Dispatch(FindControlAt(pt), MakeEvent(EventType::ContextMenu, pt));
}

void CPaintManagerUI::Wheel(Point pt, int delta) {
    TEventUI e = MakeEvent(EventType::ScrollWheel, pt);
    e.wheel = delta;
    Dispatch(FindControlAt(pt), e);
}

void CPaintManagerUI::KeyDown(Key key, unsigned modifiers) {
    TEventUI e = MakeEvent(EventType::KeyDown, lastMouse_);
    e.key = key;
    e.modifiers = modifiers;
    Dispatch(focus_, e);
}

void CPaintManagerUI::Char(char32_t ch) {
    TEventUI e = MakeEvent(EventType::Char, lastMouse_);
    e.ch = ch;
    Dispatch(focus_, e);
}

void CPaintManagerUI::CancelCapture() {
    capture_ = nullptr;
}

void CPaintManagerUI::OnCaptureLost() {
    CControlUI* captured = capture_;
    capture_ = nullptr;
    constexpr int kFarAway = -0x4000;
    Dispatch(captured, MakeEvent(EventType::ButtonUp, {kFarAway, kFarAway}));
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
    if (control != nullptr && (!control->IsKeyboardEnabled() || !control->IsEnabled())) {
        control = nullptr;
    }
    if (control == focus_) {
        return;
    }
    CControlUI* old = focus_;
    focus_ = nullptr;
    ++dispatchDepth_;
    if (old != nullptr) {
        Dispatch(old, MakeEvent(EventType::KillFocus, lastMouse_));
        SendNotify(old, notify::kKillFocus);
    }
    // A handler of the old control's notification may already have moved the focus.
    if (focus_ == nullptr && control != nullptr && control->GetManager() == this) {
        focus_ = control;
        Dispatch(control, MakeEvent(EventType::SetFocus, lastMouse_));
        if (focus_ == control) {
            SendNotify(control, notify::kSetFocus);
        }
    }
    --dispatchDepth_;
    FlushReleased();
}

Size CPaintManagerUI::GetImageSize(std::string_view name) {
    auto it = imageSizes_.find(name);
    if (it != imageSizes_.end()) {
        return it->second;
    }
    Size size;
    auto path = resources_->ResolveSkinPath(name);
    if (host_ != nullptr && !path.empty()) {
        size = host_->ImageSize(path.string());
    }
    imageSizes_.emplace(std::string(name), size);
    return size;
}

}  // namespace norvane::ui
