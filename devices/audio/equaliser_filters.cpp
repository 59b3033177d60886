#include "devices/audio/equaliser_filters.h"

#include <array>
#include <charconv>

namespace norvane::devices::audio::eq {
namespace {

std::string Number(double value) {
    std::array<char, 32> text{};
    const auto result =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 3);
    return {text.data(), result.ptr};
}

}  // namespace

std::string BandNodeName(int band) {
    return "eq" + std::to_string(band + 1);
}

std::string BandGainControl(int band) {
    return BandNodeName(band) + ":Gain";
}

std::string QuoteJson(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            constexpr std::string_view kHex = "0123456789abcdef";
            const auto code = static_cast<unsigned char>(c);
            out += "\\u00";
            out += kHex[code >> 4U];
            out += kHex[code & 0xFU];
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string FilterChainArguments(const FilterChainSetup& setup, std::span<const int, kEqualiserBands> units) {
    std::string nodes;
    std::string links;
    for (int band = 0; band < kEqualiserBands; ++band) {
        const auto i = static_cast<std::size_t>(band);
        nodes += "{ type = builtin name = " + BandNodeName(band) +
                 " label = bq_peaking control = { \"Freq\" = " + Number(kBandFrequenciesHz[i]) +
                 " \"Q\" = " + Number(kBandQ) + " \"Gain\" = " + Number(BandGainDb(units[i])) + " } } ";
        if (band > 0) {
            links += "{ output = \"" + BandNodeName(band - 1) + ":Out\" input = \"" + BandNodeName(band) +
                     ":In\" } ";
        }
    }
    return "{ node.description = " + QuoteJson(setup.description) +
           " media.name = " + QuoteJson(setup.description) +
           " audio.channels = 2 audio.position = [ FL FR ]"
           " filter.graph = { nodes = [ " +
           nodes + "] links = [ " + links +
           "] }"
           " capture.props = { node.name = " +
           QuoteJson(setup.inputName) + " media.class = \"Audio/Sink\"" +
           (setup.sessionPriority ? " priority.session = " + std::to_string(*setup.sessionPriority)
                                  : std::string()) +
           " }"
           " playback.props = { node.name = " +
           QuoteJson(setup.outputName) + " target.object = " + QuoteJson(setup.targetSink) +
           " node.target = " + QuoteJson(setup.targetSink) +
           " node.passive = true node.dont-reconnect = true stream.dont-remix = true } }";
}

}  // namespace norvane::devices::audio::eq
