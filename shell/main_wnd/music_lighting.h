#pragma once

#include "config/music_style.h"
#include "platform/ipc/bus.h"
#include "ui/window.h"

#include <filesystem>

namespace norvane::shell {

// The main window's music-light state: the "Device" object of "AudioFile.json", the current
// style record, the music window while it runs, and the colour sent to the companion.
class MusicLighting {
public:
    MusicLighting(std::filesystem::path userFile, std::filesystem::path factoryFile,
                  platform::ipc::IBus* bus);

    // Reads the user's file (copied from the factory file when missing or empty) and sends
    // the current style's colour.
    void Load();
    const config::MusicStyleInfo& GetMusicStyle();
    void SetMusicStyle(const config::MusicStyleInfo& info);
    bool SaveAudioFile();
    // The factory file over the user's; the record follows.
    void ResetAudioFile();
    // The current style's levels as the kind 10 block, when the companion runs.
    bool SendColour();
    // Runs the music window owned by owner; on confirm takes its record, sends the colour
    // and saves the file. Nothing while the window is already open. The modal result, or -1.
    int OpenWindow(ui::WindowImplBase& owner);
    bool WindowOpen() const { return window_ != nullptr; }
    // Ends an open window's run as cancelled.
    void CloseWindow();
    const Json::Value& Document() const { return device_; }

    static constexpr int kWidth = 369;
    static constexpr int kHeight = 276;

private:
    std::filesystem::path userFile_;
    std::filesystem::path factoryFile_;
    platform::ipc::IBus* bus_ = nullptr;
    Json::Value device_;
    config::MusicStyleInfo info_;
    ui::WindowImplBase* window_ = nullptr;  // while the window runs
};

}  // namespace norvane::shell
