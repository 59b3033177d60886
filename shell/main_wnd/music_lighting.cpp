#include "shell/main_wnd/music_lighting.h"

#include "pages/music/music_wnd.h"
#include "platform/diag.h"
#include "platform/ipc/messages.h"

#include <utility>

namespace norvane::shell {

MusicLighting::MusicLighting(std::filesystem::path userFile, std::filesystem::path factoryFile,
                             platform::ipc::IBus* bus)
    : userFile_(std::move(userFile)), factoryFile_(std::move(factoryFile)), bus_(bus) {
}

void MusicLighting::Load() {
    device_ = config::LoadAudioFile(userFile_, factoryFile_);
    GetMusicStyle();
    SendColour();
}

const config::MusicStyleInfo& MusicLighting::GetMusicStyle() {
    info_ = config::ReadMusicStyle(device_);
    return info_;
}

void MusicLighting::SetMusicStyle(const config::MusicStyleInfo& info) {
    info_ = info;
    if (!device_.isObject()) {
        device_ = Json::Value(Json::objectValue);
    }
    config::WriteMusicStyle(device_, info_);
}

bool MusicLighting::SaveAudioFile() {
    return config::SaveAudioFile(userFile_, device_);
}

void MusicLighting::ResetAudioFile() {
    device_ = config::ResetAudioFile(userFile_, factoryFile_);
    GetMusicStyle();
}

bool MusicLighting::SendColour() {
    if (bus_ == nullptr || !bus_->AudioRecordPresent()) {
        return false;
    }
    const auto& levels = info_.levels[std::min<std::size_t>(info_.style, config::kMusicStyleCount - 1)];
    const auto block = platform::ipc::MakeAudioColourBlock(levels[0], levels[1], levels[2]);
    const bool sent = bus_->SendAudioColour(block);
    platform::diag::Trace(sent ? "music colour sent" : "music colour not taken");
    return sent;
}

void MusicLighting::CloseWindow() {
    if (window_ != nullptr) {
        window_->Close(0);
    }
}

int MusicLighting::OpenWindow(ui::WindowImplBase& owner) {
    if (window_ != nullptr) {
        return -1;
    }
    pages::MusicWnd window;
    window.SetMusicStyle(GetMusicStyle());
    if (!window.Create(&owner, "  ", {kWidth, kHeight})) {
        platform::diag::Trace("music window: the layout cannot be built");
        return -1;
    }
    window_ = &window;
    window.SetScale(owner.PaintManager().GetDPI());
    window.CenterWindow();
    const int result = window.ShowModal();
    window_ = nullptr;
    if (result == pages::MusicWnd::kConfirmed) {
        SetMusicStyle(window.GetMusicStyle());
        SendColour();
        SaveAudioFile();
    }
    return result;
}

}  // namespace norvane::shell
