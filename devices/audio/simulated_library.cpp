#include "devices/audio/simulated_library.h"

#include "devices/audio/audio_properties.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace norvane::devices::audio {
namespace {

constexpr std::size_t kWord = sizeof(std::int32_t);

// The text a read answers: integers without a fraction, scalars in their shortest form.
std::string FormatValue(double value, ValueKind kind) {
    std::array<char, 64> text{};
    const auto result = kind == ValueKind::Scalar
                            ? std::to_chars(text.begin(), text.end(), static_cast<float>(value))
                            : std::to_chars(text.begin(), text.end(), static_cast<std::int64_t>(value));
    return {text.begin(), result.ptr};
}

std::vector<std::int32_t> Words(std::span<const std::uint8_t> bytes) {
    std::vector<std::int32_t> words(bytes.size() / kWord);
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::memcpy(&words[i], bytes.data() + i * kWord, kWord);
    }
    return words;
}

AudioCall MakeCall(AudioCallKind kind) {
    AudioCall call;
    call.kind = kind;
    return call;
}

ValueKind KindOf(std::string_view name) {
    const PropertyInfo* info = FindProperty(name);
    return info ? info->kind : ValueKind::Integer;
}

// A known property is used with its own parameter buffer only.
bool ParameterFits(std::string_view name, std::span<const std::uint8_t> parameter) {
    const PropertyInfo* info = FindProperty(name);
    if (!info) {
        return true;
    }
    const PropertyParameter expected = PropertyParameter::For(info->parameter);
    return std::ranges::equal(expected.Bytes(), parameter);
}

// The level a scalar write moves, and the range it is taken from.
struct LinkedLevel {
    std::string_view scalar;
    std::string_view level;
    std::string_view min;
    std::string_view max;
};
constexpr std::array kLinkedLevels = {
    LinkedLevel{property::kVolumeScalarControl, property::kVolumeControl, property::kGetMinVol,
                property::kGetMaxVol},
    LinkedLevel{property::kAAVolumeScalarControl, property::kAAVolumeControl, property::kGetAAMinVol,
                property::kGetAAMaxVol},
};

}  // namespace

void SimulatedAudio::AddDevice(int list, AudioDeviceRecord record) {
    const std::lock_guard lock(mutex_);
    (list == kPlaybackList ? playback_ : recording_).push_back(record);
}

void SimulatedAudio::ClearDevices() {
    const std::lock_guard lock(mutex_);
    playback_.clear();
    recording_.clear();
}

void SimulatedAudio::SetProperty(std::uint32_t device, std::string_view name, double value) {
    const std::lock_guard lock(mutex_);
    stores_[device].insert_or_assign(std::string(name), value);
}

void SimulatedAudio::RemoveProperty(std::uint32_t device, std::string_view name) {
    const std::lock_guard lock(mutex_);
    const auto store = stores_.find(device);
    if (store != stores_.end()) {
        if (const auto found = store->second.find(name); found != store->second.end()) {
            store->second.erase(found);
        }
    }
}

std::optional<double> SimulatedAudio::Property(std::uint32_t device, std::string_view name) const {
    const std::lock_guard lock(mutex_);
    const auto store = stores_.find(device);
    if (store == stores_.end()) {
        return std::nullopt;
    }
    const auto found = store->second.find(name);
    return found == store->second.end() ? std::nullopt : std::optional(found->second);
}

bool SimulatedAudio::HasProperty(std::uint32_t device, std::string_view name) const {
    return Property(device, name).has_value();
}

void SimulatedAudio::SetSupportFeature(std::uint32_t device, std::string text) {
    const std::lock_guard lock(mutex_);
    features_.insert_or_assign(device, std::move(text));
}

void SimulatedAudio::FailInit(bool fail) {
    const std::lock_guard lock(mutex_);
    failInit_ = fail;
}

void SimulatedAudio::FailCreateDeviceList(bool fail) {
    const std::lock_guard lock(mutex_);
    failCreateList_ = fail;
}

void SimulatedAudio::FailRead(std::string_view name, bool fail) {
    const std::lock_guard lock(mutex_);
    if (fail) {
        failReads_.emplace(name);
    } else if (const auto found = failReads_.find(name); found != failReads_.end()) {
        failReads_.erase(found);
    }
}

void SimulatedAudio::FailWrite(std::string_view name, bool fail) {
    const std::lock_guard lock(mutex_);
    if (fail) {
        failWrites_.emplace(name);
    } else if (const auto found = failWrites_.find(name); found != failWrites_.end()) {
        failWrites_.erase(found);
    }
}

void SimulatedAudio::SetPlugged(bool plugged) {
    const std::lock_guard lock(mutex_);
    plugged_ = plugged;
}

void SimulatedAudio::SetCapabilities(AudioCapabilities capabilities) {
    const std::lock_guard lock(mutex_);
    capabilities_ = std::move(capabilities);
}

AudioCapabilities SimulatedAudio::Capabilities() const {
    const std::lock_guard lock(mutex_);
    return capabilities_;
}

std::vector<AudioCall> SimulatedAudio::Calls() const {
    const std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<AudioCall> SimulatedAudio::PropertyCalls() const {
    const std::lock_guard lock(mutex_);
    std::vector<AudioCall> calls;
    std::ranges::copy_if(calls_, std::back_inserter(calls), [](const AudioCall& call) {
        return call.kind == AudioCallKind::Read || call.kind == AudioCallKind::Write;
    });
    return calls;
}

void SimulatedAudio::ClearCalls() {
    const std::lock_guard lock(mutex_);
    calls_.clear();
}

int SimulatedAudio::Log(AudioCall call) {
    const int result = call.result;
    calls_.push_back(std::move(call));
    return result;
}

const std::vector<AudioDeviceRecord>* SimulatedAudio::List(int list) const {
    if (list == kPlaybackList) {
        return &playback_;
    }
    if (list == kRecordingList) {
        return &recording_;
    }
    return nullptr;
}

bool SimulatedAudio::Known(std::uint32_t device) const {
    const auto has = [device](const std::vector<AudioDeviceRecord>& list) {
        return std::ranges::find(list, device, &AudioDeviceRecord::id) != list.end();
    };
    return has(playback_) || has(recording_);
}

int SimulatedAudio::ConfLibInit() {
    const std::lock_guard lock(mutex_);
    AudioCall call = MakeCall(AudioCallKind::ConfLibInit);
    if (failInit_) {
        call.result = sim_result::kFailed;
    } else {
        initialised_ = true;
    }
    return Log(std::move(call));
}

int SimulatedAudio::CreateDeviceList() {
    const std::lock_guard lock(mutex_);
    AudioCall call = MakeCall(AudioCallKind::CreateDeviceList);
    if (!initialised_) {
        call.result = sim_result::kNotInitialised;
    } else if (failCreateList_) {
        call.result = sim_result::kFailed;
    } else {
        listCreated_ = true;
    }
    return Log(std::move(call));
}

int SimulatedAudio::GetDeviceCount(int list, int& count) {
    const std::lock_guard lock(mutex_);
    AudioCall call = MakeCall(AudioCallKind::GetDeviceCount);
    call.list = list;
    const auto* devices = List(list);
    if (!listCreated_) {
        call.result = sim_result::kNotInitialised;
    } else if (!plugged_ || devices == nullptr) {
        call.result = sim_result::kNoDevice;
    } else {
        count = static_cast<int>(devices->size());
        call.value = count;
    }
    return Log(std::move(call));
}

int SimulatedAudio::GetDeviceById(int list, int index, AudioDeviceRecord& record) {
    const std::lock_guard lock(mutex_);
    AudioCall call = MakeCall(AudioCallKind::GetDeviceById);
    call.list = list;
    call.index = index;
    const auto* devices = List(list);
    if (!listCreated_) {
        call.result = sim_result::kNotInitialised;
    } else if (!plugged_ || devices == nullptr || index < 0 ||
               static_cast<std::size_t>(index) >= devices->size()) {
        call.result = sim_result::kNoDevice;
    } else {
        record = (*devices)[static_cast<std::size_t>(index)];
        call.device = record.id;
    }
    return Log(std::move(call));
}

int SimulatedAudio::PropertyControl(const AudioDeviceRecord& record, std::string_view property,
                                    std::span<std::uint8_t> value, std::span<const std::uint8_t> parameter,
                                    bool write) {
    const std::lock_guard lock(mutex_);
    AudioCall call = MakeCall(write ? AudioCallKind::Write : AudioCallKind::Read);
    call.device = record.id;
    call.property = std::string(property);
    call.parameter = Words(parameter);
    const ValueKind kind = KindOf(property);
    if (write && value.size() >= kWord) {
        if (kind == ValueKind::Scalar) {
            float number = 0;
            std::memcpy(&number, value.data(), kWord);
            call.value = number;
        } else {
            std::int32_t number = 0;
            std::memcpy(&number, value.data(), kWord);
            call.value = number;
        }
    }
    if (!listCreated_) {
        call.result = sim_result::kNotInitialised;
    } else if (!plugged_ || !Known(record.id)) {
        call.result = sim_result::kNoDevice;
    } else if (value.size() < kWord || !ParameterFits(property, parameter)) {
        call.result = sim_result::kBadBuffer;
    } else if (write) {
        const PropertyInfo* info = FindProperty(property);
        if (failWrites_.contains(property)) {
            call.result = sim_result::kFailed;
        } else if (info != nullptr && !info->settable) {
            call.result = sim_result::kReadOnly;
        } else if (!std::isfinite(*call.value)) {
            call.result = sim_result::kBadBuffer;
        } else {
            Store& store = stores_[record.id];
            double stored = *call.value;
            const auto* linked = std::ranges::find(kLinkedLevels, property, &LinkedLevel::scalar);
            if (linked != kLinkedLevels.end()) {
                stored = std::clamp(stored, 0.0, 1.0);
                const auto min = store.find(linked->min);
                const auto max = store.find(linked->max);
                if (min != store.end() && max != store.end()) {
                    store.insert_or_assign(std::string(linked->level),
                                           std::round(min->second + stored * (max->second - min->second)));
                }
            }
            store.insert_or_assign(std::string(property), stored);
        }
    } else {
        std::optional<std::string> text;
        if (failReads_.contains(property)) {
            call.result = sim_result::kFailed;
        } else if (property == property::kGetSupportFeature) {
            if (const auto found = features_.find(record.id); found != features_.end()) {
                text = found->second;
            }
        } else if (const auto store = stores_.find(record.id); store != stores_.end()) {
            if (const auto found = store->second.find(property); found != store->second.end()) {
                text = FormatValue(found->second, kind);
                call.value = found->second;
            }
        }
        if (call.result == 0 && !text) {
            call.result = sim_result::kNoProperty;
        } else if (text && text->size() >= value.size()) {
            call.result = sim_result::kBadBuffer;
        } else if (text) {
            std::ranges::fill(value, 0);
            std::ranges::copy(*text, value.begin());
        }
    }
    return Log(std::move(call));
}

int SimulatedAudioLibrary::ConfLibInit() {
    return state_->ConfLibInit();
}

int SimulatedAudioLibrary::CreateDeviceList() {
    return state_->CreateDeviceList();
}

int SimulatedAudioLibrary::GetDeviceCount(int list, int& count) {
    return state_->GetDeviceCount(list, count);
}

int SimulatedAudioLibrary::GetDeviceById(int list, int index, AudioDeviceRecord& record) {
    return state_->GetDeviceById(list, index, record);
}

int SimulatedAudioLibrary::PropertyControl(const AudioDeviceRecord& record, std::string_view property,
                                           std::span<std::uint8_t> value,
                                           std::span<const std::uint8_t> parameter, bool write) {
    return state_->PropertyControl(record, property, value, parameter, write);
}

AudioCapabilities SimulatedAudioLibrary::Capabilities() const {
    return state_->Capabilities();
}

std::shared_ptr<SimulatedAudio> MakeSimulatedHeadsetAudio() {
    auto audio = std::make_shared<SimulatedAudio>();
    audio->AddDevice(kPlaybackList, {kSimulatedPlaybackId, 1, 0, 1});
    audio->AddDevice(kRecordingList, {kSimulatedRecordingId, 2, 0, 1});
    audio->SetSupportFeature(kSimulatedPlaybackId, "1,0,0,0,2,0,10");
    audio->SetSupportFeature(kSimulatedRecordingId, "196608,0,0,0,2,0,10");
    constexpr std::uint32_t kMic = kSimulatedRecordingId;
    audio->SetProperty(kMic, property::kGetMaxVol, 100);
    audio->SetProperty(kMic, property::kGetMinVol, 0);
    audio->SetProperty(kMic, property::kGetVolStep, 1);
    audio->SetProperty(kMic, property::kVolumeControl, 75);
    audio->SetProperty(kMic, property::kVolumeScalarControl, 0.75);
    audio->SetProperty(kMic, property::kMuteControl, 0);
    audio->SetProperty(kMic, property::kGetAAMaxVol, 100);
    audio->SetProperty(kMic, property::kGetAAMinVol, 0);
    audio->SetProperty(kMic, property::kGetAAVolStep, 1);
    audio->SetProperty(kMic, property::kAAVolumeControl, 50);
    audio->SetProperty(kMic, property::kAAVolumeScalarControl, 0.5);
    audio->SetProperty(kMic, property::kAAMuteControl, 1);
    return audio;
}

AudioLibraryFactory SimulatedAudioFactory(std::shared_ptr<SimulatedAudio> state) {
    return [state = std::move(state)](const AudioDeviceIdentity&) -> std::unique_ptr<IAudioConfigLibrary> {
        return std::make_unique<SimulatedAudioLibrary>(state);
    };
}

}  // namespace norvane::devices::audio
