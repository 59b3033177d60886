// What the audio library answers: device lists, records and the text of property reads,
// through the device choice and the property helpers.
#include "devices/audio/audio_properties.h"
#include "devices/audio/device_choice.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string_view>

namespace {

using namespace norvane::devices::audio;

// Every answer is taken from the input: counts and records from its start, read text from all of it.
class InputLibrary final : public IAudioConfigLibrary {
public:
    explicit InputLibrary(std::span<const std::uint8_t> input) : input_(input) {}

    int ConfLibInit() override { return Byte(0) & 1; }
    int CreateDeviceList() override { return Byte(1) & 1; }
    int GetDeviceCount(int list, int& count) override {
        count = static_cast<std::int8_t>(Byte(2 + static_cast<std::size_t>(list & 1)));
        return 0;
    }
    int GetDeviceById(int list, int index, AudioDeviceRecord& record) override {
        const std::size_t at =
            4 + (static_cast<std::size_t>(index) * 2 + static_cast<std::size_t>(list & 1)) * 16;
        if (at + sizeof record > input_.size()) {
            return 1;
        }
        std::memcpy(&record, input_.data() + at, sizeof record);
        return 0;
    }
    int PropertyControl(const AudioDeviceRecord&, std::string_view, std::span<std::uint8_t> value,
                        std::span<const std::uint8_t>, bool write) override {
        if (!write) {
            std::copy_n(input_.begin(), std::min(input_.size(), value.size()), value.begin());
        }
        return 0;
    }
    [[nodiscard]] AudioCapabilities Capabilities() const override { return {}; }

private:
    std::uint8_t Byte(std::size_t at) const { return at < input_.size() ? input_[at] : 0; }

    std::span<const std::uint8_t> input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span input(data, size);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ParseSupportFeature(text);
    ParseNumber(text);

    InputLibrary library(input);
    const AudioDevices devices = OpenAudioDevices(library);
    if (devices.Ready()) {
        for (const PropertyInfo& info : kProperties) {
            const AudioDeviceRecord& record = info.device == PropertyDevice::Recording && devices.recording
                                                  ? *devices.recording
                                                  : devices.playback;
            if (const auto number = ReadProperty(library, record, info)) {
                WriteProperty(library, record, info, *number);
            }
            ReadInt(library, record, info.name);
        }
    }
    return 0;
}
