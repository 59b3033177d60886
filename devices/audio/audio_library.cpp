#include "devices/audio/audio_library.h"

#include "devices/audio/factory_slot.h"

#include <utility>

namespace norvane::devices::audio {
namespace {

FactorySlot<AudioLibraryFactory>& Slot() {
    static FactorySlot<AudioLibraryFactory> slot;
    return slot;
}

}  // namespace

void SetAudioLibraryFactory(AudioLibraryFactory factory) {
    Slot().Set(std::move(factory));
}

std::unique_ptr<IAudioConfigLibrary> MakeAudioLibrary(const AudioDeviceIdentity& identity) {
    const AudioLibraryFactory factory = Slot().Get();
    return factory ? factory(identity) : nullptr;
}

}  // namespace norvane::devices::audio
