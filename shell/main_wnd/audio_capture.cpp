#include "shell/main_wnd/audio_capture.h"

#include "devices/usb_device.h"
#include "platform/diag.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

extern char** environ;

namespace norvane::shell {

namespace ipc = platform::ipc;

namespace {

constexpr std::string_view kProgramName = "norvane-audio-capture";
constexpr std::chrono::milliseconds kPollStep{10};
constexpr std::chrono::milliseconds kTermWait{500};
constexpr std::size_t kLevelCount = 6;

void Trace(const std::string& line) {
    platform::diag::Trace("main window: " + line);
}

// True when `pid` ended within `wait` (and was reaped).
bool WaitForExit(pid_t pid, std::chrono::milliseconds wait) {
    const auto until = std::chrono::steady_clock::now() + wait;
    while (true) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno == ECHILD)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(kPollStep);
    }
}

}  // namespace

std::filesystem::path FindAudioCaptureProgram(const std::filesystem::path& programFolder) {
    const std::array candidates{programFolder / kProgramName,
                                programFolder.parent_path() / "libexec" / kProgramName};
    for (const auto& candidate : candidates) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

std::filesystem::path FindAudioCaptureProgram() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path{} : FindAudioCaptureProgram(self.parent_path());
}

AudioCaptureLink::AudioCaptureLink(Options options) : options_(std::move(options)) {
}

AudioCaptureLink::~AudioCaptureLink() {
    if (started_) {
        Stop();
    }
    Reap();
}

bool AudioCaptureLink::Launch() {
    if (options_.program.empty()) {
        return false;
    }
    const std::string path = options_.program.string();
    std::array<char*, 2> argv{const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = -1;
    if (const int error = ::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ);
        error != 0) {
        Trace("cannot start " + path + ": " + std::strerror(error));
        return false;
    }
    child_ = pid;
    waiting_ = true;
    appearBy_ = std::chrono::steady_clock::now() + options_.appearWait;
    return true;
}

void AudioCaptureLink::Check() {
    if (!waiting_) {
        return;
    }
    if (options_.bus->AudioRecordPresent()) {
        waiting_ = false;
        SendStartCommands();
        return;
    }
    int status = 0;
    if (::waitpid(child_, &status, WNOHANG) == child_) {
        Trace(options_.program.string() + " ended at start");
        child_ = -1;
        waiting_ = false;
    } else if (std::chrono::steady_clock::now() >= appearBy_) {
        Trace(options_.program.string() + " did not appear on the bus");
        waiting_ = false;
    }
}

void AudioCaptureLink::Start() {
    if (started_ || options_.bus == nullptr) {
        return;
    }
    started_ = true;
    if (options_.bus->AudioRecordPresent()) {
        SendStartCommands();
        return;
    }
    // Music lighting simply gets no data when the companion cannot be started.
    Launch();
}

void AudioCaptureLink::SendStartCommands() {
    options_.bus->SendAudioCommand(ipc::AudioCommand::kAttach, static_cast<std::uint32_t>(::getpid()));
    options_.bus->SendAudioCommand(ipc::AudioCommand::kOpen, 0);
    options_.bus->SendAudioCommand(ipc::AudioCommand::kStartCapture, 0);
}

void AudioCaptureLink::Stop() {
    if (stopped_) {
        return;
    }
    stopped_ = true;
    waiting_ = false;
    if (options_.bus != nullptr && options_.bus->AudioRecordPresent()) {
        options_.bus->SendAudioCommand(ipc::AudioCommand::kStopCapture, 0);
        options_.bus->SendAudioCommand(ipc::AudioCommand::kClose, 0);
        options_.bus->SendAudioCommand(ipc::AudioCommand::kDetach, 0);
    }
    Reap();
}

void AudioCaptureLink::Reap() {
    if (child_ <= 0) {
        return;
    }
    const pid_t pid = std::exchange(child_, -1);
    if (WaitForExit(pid, options_.exitWait)) {
        return;
    }
    Trace("the audio-capture companion did not end; terminating it");
    ::kill(pid, SIGTERM);
    if (WaitForExit(pid, kTermWait)) {
        return;
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

void AudioCaptureLink::OnAudioData(std::uint32_t kind, std::span<const std::uint8_t> block,
                                   devices::CTarnexUSBDevice* keyboard) {
    if (block.empty()) {
        return;
    }
    if (kind == ipc::kAudioSamplesKind) {
        // The rhythm keeps its pace whether a keyboard listens or not.
        if (const auto spectrum = rhythm_.Take(block); spectrum && keyboard != nullptr) {
            keyboard->FeedAudioSpectrum(*spectrum);
        }
    } else if (kind == ipc::kAudioLevelsKind && keyboard != nullptr) {
        std::array<std::int32_t, kLevelCount> levels{};
        for (std::size_t i = 0; i < levels.size(); ++i) {
            levels[i] = static_cast<std::int32_t>(ipc::ReadBlockWord(block, 4 * i));
        }
        keyboard->FeedAudioLevels(levels);
    }
}

}  // namespace norvane::shell
