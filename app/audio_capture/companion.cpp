#include "app/audio_capture/companion.h"

#include "platform/diag.h"

#include <algorithm>
#include <variant>
#include <vector>

namespace norvane::audio_capture {

namespace ipc = platform::ipc;

Companion::Companion(ipc::IPeer& peer, SourceFactory openSource)
    : peer_(peer), openSource_(std::move(openSource)), thread_([this] { Run(); }) {
}

Companion::~Companion() {
    RequestQuit();
    thread_.join();
}

void Companion::OnPeerEvent(const ipc::PeerEvent& event) {
    if (const auto* command = std::get_if<ipc::AudioCommandCall>(&event)) {
        OnCommand(command->code, command->value);
    } else if (const auto* copy = std::get_if<ipc::CopyDataCall>(&event);
               copy != nullptr && copy->kind == ipc::kAudioColourKind) {
        const auto word = [&](std::size_t at) {
            return static_cast<std::uint8_t>(
                std::min<std::uint32_t>(ipc::ReadBlockWord(copy->block, at), 255));
        };
        const std::scoped_lock lock(mutex_);
        colour_ = {word(0), word(4), word(8)};
    }
}

void Companion::OnCommand(ipc::AudioCommand code, std::uint32_t value) {
    if (platform::diag::Enabled()) {
        platform::diag::Trace("audio capture: command " + std::to_string(static_cast<unsigned>(code)) + " " +
                              std::to_string(value));
    }
    const auto component = static_cast<std::uint8_t>(std::min<std::uint32_t>(value, 255));
    {
        const std::scoped_lock lock(mutex_);
        switch (code) {
            case ipc::AudioCommand::kAttach:
                attached_ = true;
                break;
            case ipc::AudioCommand::kOpen:
                wantOpen_ = true;
                break;
            case ipc::AudioCommand::kStartCapture:
                wantOpen_ = true;
                capturing_ = true;
                break;
            case ipc::AudioCommand::kStopCapture:
                sendSilence_ = capturing_;
                capturing_ = false;
                break;
            case ipc::AudioCommand::kClose:
                sendSilence_ = sendSilence_ || capturing_;
                capturing_ = false;
                wantOpen_ = false;
                break;
            case ipc::AudioCommand::kDetach:
                attached_ = false;
                quit_ = true;
                break;
            case ipc::AudioCommand::kRed:
                colour_.red = component;
                break;
            case ipc::AudioCommand::kGreen:
                colour_.green = component;
                break;
            case ipc::AudioCommand::kBlue:
                colour_.blue = component;
                break;
        }
    }
    changed_.notify_all();
}

void Companion::RequestQuit() {
    {
        const std::scoped_lock lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
}

bool Companion::WaitForQuit(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return quit_; });
}

bool Companion::Attached() const {
    const std::scoped_lock lock(mutex_);
    return attached_;
}

bool Companion::Capturing() const {
    const std::scoped_lock lock(mutex_);
    return capturing_;
}

Rgb Companion::Colour() const {
    const std::scoped_lock lock(mutex_);
    return colour_;
}

std::uint64_t Companion::BlocksSent() const {
    const std::scoped_lock lock(mutex_);
    return sent_;
}

void Companion::Send(std::uint32_t kind, std::span<const std::uint8_t> block) {
    // Not waiting for the answer: a program that is slow to answer never holds up the sound.
    if (peer_.PostToProgram(ipc::kAudioDataMethod,
                            {kind, std::vector<std::uint8_t>(block.begin(), block.end())})) {
        const std::scoped_lock lock(mutex_);
        ++sent_;
    } else {
        platform::diag::Trace("audio capture: AudioData could not be sent");
    }
}

void Companion::SendChanged(std::uint32_t kind, std::span<const std::uint8_t> block, Repeats& repeats) {
    if (std::equal(block.begin(), block.end(), repeats.last.begin(), repeats.last.end())) {
        if (repeats.count >= kRepeatsBeforeQuiet) {
            return;
        }
        ++repeats.count;
    } else {
        repeats.last.assign(block.begin(), block.end());
        repeats.count = 1;
    }
    Send(kind, block);
}

void Companion::Run() {
    Repeats sampleRepeats;
    Repeats levelRepeats;
    std::unique_ptr<ISoundSource> source;
    std::unique_ptr<LevelAnalyser> analyser;
    std::vector<std::int16_t> buffer;
    std::unique_lock lock(mutex_);
    while (!quit_) {
        if (sendSilence_) {
            sendSilence_ = false;
            lock.unlock();
            Send(ipc::kAudioLevelsKind, LevelAnalyser::LevelBlock{});
            sampleRepeats = {};
            levelRepeats = {};
            lock.lock();
            continue;
        }
        if (!wantOpen_ && source) {
            source.reset();
            analyser.reset();
            continue;
        }
        if (wantOpen_ && !source) {
            lock.unlock();
            source = openSource_ ? openSource_() : nullptr;
            lock.lock();
            if (!source) {
                platform::diag::Trace("audio capture: no sound source");
                wantOpen_ = false;
                capturing_ = false;
                continue;
            }
            const SoundFormat format = source->Format();
            analyser = std::make_unique<LevelAnalyser>(format.rate);
            buffer.assign(analyser->Hop() * format.channels, 0);
            continue;
        }
        if (!capturing_ || !source) {
            changed_.wait(lock);
            continue;
        }
        const Rgb colour = colour_;
        lock.unlock();
        const bool more = source->Read(buffer);
        if (more) {
            analyser->Push(buffer, source->Format().channels);
            SendChanged(ipc::kAudioSamplesKind, analyser->SamplesBlock(), sampleRepeats);
            SendChanged(ipc::kAudioLevelsKind, analyser->LevelsBlock(colour), levelRepeats);
        } else {
            source.reset();
            analyser.reset();
        }
        lock.lock();
        if (!more) {
            // The end of the file or a lost sound server: like a stop and a close; the next
            // start opens the source again.
            capturing_ = false;
            wantOpen_ = false;
            sendSilence_ = true;
        }
    }
}

}  // namespace norvane::audio_capture
