#include "devices/audio/audio_library.h"

#include <mutex>
#include <utility>

namespace norvane::devices::audio {
namespace {

struct FactorySlot {
    std::mutex mutex;
    AudioLibraryFactory factory;
};

FactorySlot& Slot() {
    static FactorySlot slot;
    return slot;
}

}  // namespace

void SetAudioLibraryFactory(AudioLibraryFactory factory) {
    FactorySlot& slot = Slot();
    const std::lock_guard lock(slot.mutex);
    slot.factory = std::move(factory);
}

std::unique_ptr<IAudioConfigLibrary> MakeAudioLibrary(const AudioDeviceIdentity& identity) {
    AudioLibraryFactory factory;
    {
        FactorySlot& slot = Slot();
        const std::lock_guard lock(slot.mutex);
        factory = slot.factory;
    }
    return factory ? factory(identity) : nullptr;
}

}  // namespace norvane::devices::audio
