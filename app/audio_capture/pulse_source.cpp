#include "app/audio_capture/pulse_source.h"

#include "platform/diag.h"

#include <pulse/error.h>
#include <pulse/simple.h>

namespace norvane::audio_capture {

namespace {
constexpr unsigned kRate = 48000;
constexpr unsigned kChannels = 2;
constexpr const char* kMonitorOfDefault = "@DEFAULT_MONITOR@";
}  // namespace

struct PulseSource::Stream {
    struct Free {
        void operator()(pa_simple* s) const { pa_simple_free(s); }
    };
    std::unique_ptr<pa_simple, Free> handle;
};

std::unique_ptr<PulseSource> PulseSource::Open(unsigned fragmentFrames, std::string& error) {
    const pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, kRate, kChannels};
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.fragsize = fragmentFrames * kChannels * 2;
    int code = 0;
    pa_simple* handle = pa_simple_new(nullptr, "NORVANE", PA_STREAM_RECORD, kMonitorOfDefault,
                                      "music lighting", &sampleFormat, nullptr, &attr, &code);
    if (handle == nullptr) {
        error = std::string("cannot capture the sound output: ") + pa_strerror(code);
        return nullptr;
    }
    auto stream = std::make_unique<Stream>();
    stream->handle.reset(handle);
    return std::make_unique<PulseSource>(std::move(stream));
}

PulseSource::PulseSource(std::unique_ptr<Stream> stream) : stream_(std::move(stream)) {
}
PulseSource::~PulseSource() = default;

SoundFormat PulseSource::Format() const {
    return {kRate, kChannels};
}

bool PulseSource::Read(std::span<std::int16_t> samples) {
    int code = 0;
    if (pa_simple_read(stream_->handle.get(), samples.data(), samples.size_bytes(), &code) < 0) {
        platform::diag::Trace(std::string("audio capture: read failed: ") + pa_strerror(code));
        return false;
    }
    return true;
}

}  // namespace norvane::audio_capture
