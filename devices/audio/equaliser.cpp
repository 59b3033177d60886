#include "devices/audio/equaliser.h"

#include "devices/audio/factory_slot.h"

#include <utility>

namespace norvane::devices::audio {
namespace {

FactorySlot<EqualiserFactory>& Slot() {
    static FactorySlot<EqualiserFactory> slot;
    return slot;
}

}  // namespace

void SetEqualiserFactory(EqualiserFactory factory) {
    Slot().Set(std::move(factory));
}

std::unique_ptr<IEqualiser> MakeEqualiser(const AudioDeviceIdentity& identity) {
    const EqualiserFactory factory = Slot().Get();
    return factory ? factory(identity) : nullptr;
}

}  // namespace norvane::devices::audio
