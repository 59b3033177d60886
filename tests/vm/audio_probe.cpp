// norvane-audio-probe: drives the ALSA audio library from commands on standard input, one a
// line, so a test keeps one library open while the headset comes and goes. Each command prints
// one line.
//   open VID PID [HIDRAW]            → "devices P R card N" (P, R: playback and recording devices)
//   open-card N                      → the same for card N, whatever it belongs to
//   get play|rec NAME [CHANNEL]      → "ok TEXT" or "fail RC"
//   set play|rec NAME int|float VALUE [CHANNEL] → "ok" or "fail RC"
//   mixer CARD ELEMENT playback|capture → "volume V range MIN MAX switch S" straight from the card
//                                      ("-" for what it lacks)
//   elements CARD                    → "elements NAME:FLAGS ..." (p/P playback volume/switch, c/C capture)
//   quit
#include "devices/audio/alsa_audio_library.h"
#include "devices/audio/alsa_mixer.h"
#include "devices/audio/audio_properties.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

namespace {

using namespace norvane::devices::audio;

struct Probe {
    std::unique_ptr<IAudioConfigLibrary> library;
    AudioDeviceRecord playback;
    AudioDeviceRecord recording;

    std::string Open(std::istringstream& args) {
        std::string vid;
        std::string pid;
        std::string hidraw;
        args >> vid >> pid >> hidraw;
        const AudioDeviceIdentity identity{static_cast<std::uint16_t>(std::strtoul(vid.c_str(), nullptr, 16)),
                                           static_cast<std::uint16_t>(std::strtoul(pid.c_str(), nullptr, 16)),
                                           hidraw};
        library = MakeAlsaAudioLibrary(identity);
        return List();
    }

    std::string OpenCard(std::istringstream& args) {
        int card = -1;
        args >> card;
        std::string error;
        auto mixer = OpenAlsaMixer(card, error);
        if (!mixer) {
            return "fail " + error;
        }
        library =
            std::make_unique<AlsaAudioLibrary>(std::move(mixer), card, static_cast<IEqualiser*>(nullptr));
        return List();
    }

    std::string List() {
        if (library->ConfLibInit() != 0 || library->CreateDeviceList() != 0) {
            return "fail init";
        }
        int playbacks = 0;
        int recordings = 0;
        library->GetDeviceCount(kPlaybackList, playbacks);
        library->GetDeviceCount(kRecordingList, recordings);
        if (playbacks > 0) {
            library->GetDeviceById(kPlaybackList, 0, playback);
        }
        if (recordings > 0) {
            library->GetDeviceById(kRecordingList, 0, recording);
        }
        return "devices " + std::to_string(playbacks) + " " + std::to_string(recordings) + " card " +
               (playbacks > 0 ? std::to_string(playback.third) : std::string("-"));
    }

    [[nodiscard]] std::optional<AudioDeviceRecord> Device(const std::string& which) const {
        if (!library) {
            return std::nullopt;
        }
        if (which == "play") {
            return playback;
        }
        if (which == "rec") {
            return recording;
        }
        return std::nullopt;
    }

    std::string Get(std::istringstream& args) const {
        std::string which;
        std::string name;
        args >> which >> name;
        const auto record = Device(which);
        if (!record) {
            return "fail usage";
        }
        std::int32_t channel = 0;
        const bool withChannel = static_cast<bool>(args >> channel);
        const PropertyParameter parameter =
            withChannel ? PropertyParameter::Channel(channel) : PropertyParameter::For(ParameterKind::None);
        PropertyBuffer value{};
        const int rc = library->PropertyControl(*record, name, value, parameter.Bytes(), false);
        return rc == 0 ? "ok " + std::string(BufferText(value)) : "fail " + std::to_string(rc);
    }

    std::string Set(std::istringstream& args) const {
        std::string which;
        std::string name;
        std::string kind;
        std::string number;
        args >> which >> name >> kind >> number;
        const auto record = Device(which);
        if (!record || (kind != "int" && kind != "float") || number.empty()) {
            return "fail usage";
        }
        std::int32_t channel = 0;
        const bool withChannel = static_cast<bool>(args >> channel);
        const PropertyParameter parameter =
            withChannel ? PropertyParameter::Channel(channel) : PropertyParameter::For(ParameterKind::None);
        const int rc =
            kind == "int"
                ? WriteInt(*library, *record, name,
                           static_cast<std::int32_t>(std::strtol(number.c_str(), nullptr, 10)), parameter)
                : WriteFloat(*library, *record, name, std::strtof(number.c_str(), nullptr), parameter);
        return rc == 0 ? "ok" : "fail " + std::to_string(rc);
    }

    static std::string Mixer(std::istringstream& args) {
        int card = -1;
        std::string element;
        std::string sideName;
        args >> card >> element >> sideName;
        std::string error;
        const auto mixer = OpenAlsaMixer(card, error);
        if (!mixer) {
            return "fail " + error;
        }
        const MixerSide side = sideName == "capture" ? MixerSide::Capture : MixerSide::Playback;
        long volume = 0;
        MixerRange range;
        bool on = false;
        const bool hasVolume = mixer->Volume(element, side, kEveryChannel, volume) == MixerResult::Ok &&
                               mixer->VolumeRange(element, side, range) == MixerResult::Ok;
        const bool hasSwitch = mixer->Switch(element, side, kEveryChannel, on) == MixerResult::Ok;
        return "volume " +
               (hasVolume ? std::to_string(volume) + " range " + std::to_string(range.min) + " " +
                                std::to_string(range.max)
                          : std::string("- range - -")) +
               " switch " + (hasSwitch ? std::string(on ? "1" : "0") : std::string("-"));
    }

    static std::string Elements(std::istringstream& args) {
        int card = -1;
        args >> card;
        std::string error;
        const auto mixer = OpenAlsaMixer(card, error);
        if (!mixer) {
            return "fail " + error;
        }
        std::string answer = "elements";
        for (const MixerElementInfo& e : mixer->Elements()) {
            answer += " " + e.name + ":" + (e.playbackVolume ? "p" : "") + (e.playbackSwitch ? "P" : "") +
                      (e.captureVolume ? "c" : "") + (e.captureSwitch ? "C" : "");
        }
        return answer;
    }
};

}  // namespace

int main() {
    Probe probe;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream args(line);
        std::string command;
        args >> command;
        std::string answer;
        if (command == "quit") {
            break;
        }
        if (command == "open") {
            answer = probe.Open(args);
        } else if (command == "open-card") {
            answer = probe.OpenCard(args);
        } else if (command == "get") {
            answer = probe.Get(args);
        } else if (command == "set") {
            answer = probe.Set(args);
        } else if (command == "mixer") {
            answer = Probe::Mixer(args);
        } else if (command == "elements") {
            answer = Probe::Elements(args);
        } else {
            answer = "fail unknown command";
        }
        std::cout << answer << std::endl;
    }
    return 0;
}
