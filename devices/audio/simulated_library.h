#pragma once

#include "devices/audio/audio_library.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A library without hardware: device lists and a property store per device, with failures
// that can be switched on, and a log of every call.
namespace norvane::devices::audio {

// Result codes of the simulated library (0 is success).
namespace sim_result {
inline constexpr int kFailed = 1;          // injected failure
inline constexpr int kNotInitialised = 2;  // called before ConfLibInit or CreateDeviceList
inline constexpr int kNoDevice = 3;        // no such list, index or device (or unplugged)
inline constexpr int kNoProperty = 4;      // a read of a property the store does not hold
inline constexpr int kReadOnly = 5;        // a write of a read-only property
inline constexpr int kBadBuffer = 6;       // a value buffer too short, or a parameter not the property's
}  // namespace sim_result

enum class AudioCallKind { ConfLibInit, CreateDeviceList, GetDeviceCount, GetDeviceById, Read, Write };

// One call as the library saw it.
struct AudioCall {
    AudioCallKind kind = AudioCallKind::Read;
    int list = -1;             // device list calls
    int index = -1;            // GetDeviceById
    std::uint32_t device = 0;  // property calls: the record's identifier
    std::string property;
    std::optional<double> value;          // a write's value (integer or float as the property is)
    std::vector<std::int32_t> parameter;  // the parameter buffer as 32-bit words
    int result = 0;

    friend bool operator==(const AudioCall&, const AudioCall&) = default;
};

// The library's state, shared by every library made from it so a test keeps a view of what the
// device object's library did.
class SimulatedAudio {
public:
    // Lists and records.
    void AddDevice(int list, AudioDeviceRecord record);
    void ClearDevices();
    // Property store of one device (by record identifier). Values are kept as numbers; reads
    // answer decimal text.
    void SetProperty(std::uint32_t device, std::string_view name, double value);
    void RemoveProperty(std::uint32_t device, std::string_view name);
    std::optional<double> Property(std::uint32_t device, std::string_view name) const;
    bool HasProperty(std::uint32_t device, std::string_view name) const;
    void SetSupportFeature(std::uint32_t device, std::string text);

    // Failures.
    void FailInit(bool fail);
    void FailCreateDeviceList(bool fail);
    void FailRead(std::string_view name, bool fail = true);
    void FailWrite(std::string_view name, bool fail = true);
    // Unplugged: every device call and property call fails with kNoDevice.
    void SetPlugged(bool plugged);

    void SetCapabilities(AudioCapabilities capabilities);
    AudioCapabilities Capabilities() const;

    // The log.
    std::vector<AudioCall> Calls() const;
    // The property calls only, in order.
    std::vector<AudioCall> PropertyCalls() const;
    void ClearCalls();

    // The library side (what SimulatedAudioLibrary forwards).
    int ConfLibInit();
    int CreateDeviceList();
    int GetDeviceCount(int list, int& count);
    int GetDeviceById(int list, int index, AudioDeviceRecord& record);
    int PropertyControl(const AudioDeviceRecord& record, std::string_view property,
                        std::span<std::uint8_t> value, std::span<const std::uint8_t> parameter, bool write);

private:
    using Store = std::map<std::string, double, std::less<>>;

    int Log(AudioCall call);
    const std::vector<AudioDeviceRecord>* List(int list) const;
    bool Known(std::uint32_t device) const;

    mutable std::mutex mutex_;
    std::vector<AudioDeviceRecord> playback_;
    std::vector<AudioDeviceRecord> recording_;
    std::map<std::uint32_t, Store> stores_;
    std::map<std::uint32_t, std::string> features_;
    std::set<std::string, std::less<>> failReads_;
    std::set<std::string, std::less<>> failWrites_;
    bool failInit_ = false;
    bool failCreateList_ = false;
    bool initialised_ = false;
    bool listCreated_ = false;
    bool plugged_ = true;
    AudioCapabilities capabilities_{true, true, true, true, {}, {}};
    std::vector<AudioCall> calls_;
};

class SimulatedAudioLibrary final : public IAudioConfigLibrary {
public:
    explicit SimulatedAudioLibrary(std::shared_ptr<SimulatedAudio> state) : state_(std::move(state)) {}

    int ConfLibInit() override;
    int CreateDeviceList() override;
    int GetDeviceCount(int list, int& count) override;
    int GetDeviceById(int list, int index, AudioDeviceRecord& record) override;
    int PropertyControl(const AudioDeviceRecord& record, std::string_view property,
                        std::span<std::uint8_t> value, std::span<const std::uint8_t> parameter,
                        bool write) override;
    AudioCapabilities Capabilities() const override;

    SimulatedAudio& State() { return *state_; }

private:
    std::shared_ptr<SimulatedAudio> state_;
};

// The simulated headset's record identifiers.
inline constexpr std::uint32_t kSimulatedPlaybackId = 0x6533'0001;
inline constexpr std::uint32_t kSimulatedRecordingId = 0x6533'0002;

// A headset as the library sees it after plugging in: one playback and one recording device
// with the voice changer, the volume ranges and levels held, and the effect settings not yet
// held (the start-up writes them).
std::shared_ptr<SimulatedAudio> MakeSimulatedHeadsetAudio();
// A factory whose libraries all share state.
AudioLibraryFactory SimulatedAudioFactory(std::shared_ptr<SimulatedAudio> state);

}  // namespace norvane::devices::audio
