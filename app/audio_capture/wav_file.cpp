#include "app/audio_capture/wav_file.h"

#include <fstream>
#include <iterator>
#include <string_view>

namespace norvane::audio_capture {

namespace {

constexpr unsigned kMinRate = 8000;
constexpr unsigned kMaxRate = 192000;
constexpr std::uint16_t kPcmFormat = 1;
constexpr std::uint16_t kExtensibleFormat = 0xFFFE;
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;

std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8U |
           static_cast<std::uint32_t>(b[at + 2]) << 16U | static_cast<std::uint32_t>(b[at + 3]) << 24U;
}
std::uint16_t Le16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8U);
}
bool Tag(std::span<const std::uint8_t> b, std::size_t at, std::string_view tag) {
    return std::equal(tag.begin(), tag.end(), b.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char c, std::uint8_t u) { return static_cast<std::uint8_t>(c) == u; });
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (unsigned i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}
void PutTag(std::vector<std::uint8_t>& out, std::string_view tag) {
    for (char c : tag) {
        out.push_back(static_cast<std::uint8_t>(c));
    }
}
void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8U));
}
WavResult Fail(std::string text) {
    return {{}, std::move(text)};
}

}  // namespace

WavResult ParseWav(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12 || !Tag(bytes, 0, "RIFF") || !Tag(bytes, 8, "WAVE")) {
        return Fail("not a RIFF/WAVE file");
    }
    bool haveFormat = false;
    SoundFormat format;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::uint32_t size = Le32(bytes, at + 4);
        const std::size_t body = at + 8;
        const std::size_t available = bytes.size() - body;
        if (Tag(bytes, at, "fmt ")) {
            if (size < 16 || size > available) {
                return Fail("damaged format chunk");
            }
            const std::uint16_t code = Le16(bytes, body);
            const std::uint16_t channels = Le16(bytes, body + 2);
            const std::uint32_t rate = Le32(bytes, body + 4);
            const std::uint16_t bits = Le16(bytes, body + 14);
            if (code != kPcmFormat && code != kExtensibleFormat) {
                return Fail("not PCM (format code " + std::to_string(code) + "); only 16-bit PCM is read");
            }
            if (bits != 16) {
                return Fail(std::to_string(bits) + "-bit samples; only 16-bit PCM is read");
            }
            if (channels != 1 && channels != 2) {
                return Fail(std::to_string(channels) + " channels; only mono or stereo is read");
            }
            if (rate < kMinRate || rate > kMaxRate) {
                return Fail("rate " + std::to_string(rate) + " Hz; 8000 to 192000 Hz is read");
            }
            format = {rate, channels};
            haveFormat = true;
        } else if (Tag(bytes, at, "data")) {
            if (!haveFormat) {
                return Fail("data before the format chunk");
            }
            // A streamed file may give a data size past its end: take what is there.
            const std::size_t length = std::min<std::size_t>(size, available);
            const std::size_t frameBytes = 2U * format.channels;
            const std::size_t count = length / frameBytes * format.channels;
            WavResult result{{format, std::vector<std::int16_t>(count)}, {}};
            for (std::size_t i = 0; i < count; ++i) {
                result.sound.samples[i] = static_cast<std::int16_t>(Le16(bytes, body + 2 * i));
            }
            if (count == 0) {
                return Fail("no samples");
            }
            return result;
        }
        if (size > available) {
            break;
        }
        at = body + size + (size & 1U);
    }
    return Fail(haveFormat ? "no data chunk" : "no format chunk");
}

WavResult ReadWav(const std::filesystem::path& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        return Fail("cannot read " + path.string() + ": " + ec.message());
    }
    if (size > kMaxFileBytes) {
        return Fail(path.string() + " is larger than 1 GiB");
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        return Fail("cannot read " + path.string());
    }
    WavResult result = ParseWav(bytes);
    if (!result.error.empty()) {
        result.error = path.string() + ": " + result.error;
    }
    return result;
}

std::vector<std::uint8_t> MakeWav(SoundFormat format, std::span<const std::int16_t> samples) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVEfmt ");
    Put32(out, 16);
    Put16(out, kPcmFormat);
    Put16(out, static_cast<std::uint16_t>(format.channels));
    Put32(out, format.rate);
    Put32(out, format.rate * format.channels * 2);
    Put16(out, static_cast<std::uint16_t>(format.channels * 2));
    Put16(out, 16);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (std::int16_t s : samples) {
        Put16(out, static_cast<std::uint16_t>(s));
    }
    return out;
}

}  // namespace norvane::audio_capture
