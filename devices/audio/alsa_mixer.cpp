#include "devices/audio/alsa_mixer.h"

#include "platform/diag.h"

#include <alsa/asoundlib.h>

#include <array>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

namespace norvane::devices::audio {
namespace {

struct MixerCloser {
    void operator()(snd_mixer_t* mixer) const { snd_mixer_close(mixer); }
};
struct SelemIdFree {
    void operator()(snd_mixer_selem_id_t* id) const { snd_mixer_selem_id_free(id); }
};
struct PcmInfoFree {
    void operator()(snd_pcm_info_t* info) const { snd_pcm_info_free(info); }
};

// alsa-lib's own complaints go to the diagnostics instead of standard error.
// NOLINTNEXTLINE(cert-dcl50-cpp): the handler's signature is alsa-lib's.
void AlsaError(const char* file, int line, const char* function, int err, const char* format, ...) {
    if (!platform::diag::Enabled()) {
        return;
    }
    std::array<char, 512> text{};
    va_list args;
    va_start(args, format);
    static_cast<void>(std::vsnprintf(text.data(), text.size(), format, args));
    va_end(args);
    platform::diag::Trace(std::string("audio: alsa-lib ") + (file != nullptr ? file : "") + ":" +
                          std::to_string(line) + " " + (function != nullptr ? function : "") + ": " +
                          text.data() +
                          (err != 0 ? std::string(" (") + snd_strerror(err) + ")" : std::string()));
}

snd_mixer_selem_channel_id_t ChannelId(int channel) {
    return static_cast<snd_mixer_selem_channel_id_t>(channel);
}

class AlsaMixer final : public IAlsaMixer {
public:
    AlsaMixer(snd_mixer_t* mixer, snd_hctl_t* hctl, int card) : mixer_(mixer), hctl_(hctl), card_(card) {}

    std::vector<MixerElementInfo> Elements() override {
        std::vector<MixerElementInfo> elements;
        if (!Refresh()) {
            return elements;
        }
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer_.get()); e != nullptr;
             e = snd_mixer_elem_next(e)) {
            if (snd_mixer_selem_is_active(e) == 0 || snd_mixer_selem_get_index(e) != 0) {
                continue;
            }
            MixerElementInfo info{snd_mixer_selem_get_name(e), snd_mixer_selem_has_playback_volume(e) != 0,
                                  snd_mixer_selem_has_playback_switch(e) != 0,
                                  snd_mixer_selem_has_capture_volume(e) != 0,
                                  snd_mixer_selem_has_capture_switch(e) != 0};
            // A volume without a direction belongs to the side whose switch the element has.
            if (snd_mixer_selem_has_common_volume(e) != 0) {
                const bool capture = info.captureSwitch && !info.playbackSwitch;
                info.playbackVolume = info.playbackVolume && !capture;
                info.captureVolume = info.captureVolume && capture;
            }
            elements.push_back(std::move(info));
        }
        return elements;
    }

    bool HasCaptureStream() override {
        if (!Refresh()) {
            return false;
        }
        snd_pcm_info_t* raw = nullptr;
        if (snd_pcm_info_malloc(&raw) < 0) {
            return false;
        }
        const std::unique_ptr<snd_pcm_info_t, PcmInfoFree> info(raw);
        snd_ctl_t* ctl = snd_hctl_ctl(hctl_);
        int device = -1;
        while (snd_ctl_pcm_next_device(ctl, &device) == 0 && device >= 0) {
            snd_pcm_info_set_device(info.get(), static_cast<unsigned>(device));
            snd_pcm_info_set_subdevice(info.get(), 0);
            snd_pcm_info_set_stream(info.get(), SND_PCM_STREAM_CAPTURE);
            if (snd_ctl_pcm_info(ctl, info.get()) == 0) {
                return true;
            }
        }
        return false;
    }

    MixerResult VolumeRange(std::string_view element, MixerSide side, MixerRange& range) override {
        snd_mixer_elem_t* e = FindWith(element, side, true);
        if (e == nullptr) {
            return Missing();
        }
        const int rc = side == MixerSide::Playback
                           ? snd_mixer_selem_get_playback_volume_range(e, &range.min, &range.max)
                           : snd_mixer_selem_get_capture_volume_range(e, &range.min, &range.max);
        return Result(rc);
    }

    MixerResult DbRange(std::string_view element, MixerSide side, MixerRange& range) override {
        snd_mixer_elem_t* e = FindWith(element, side, true);
        if (e == nullptr) {
            return Missing();
        }
        const int rc = side == MixerSide::Playback
                           ? snd_mixer_selem_get_playback_dB_range(e, &range.min, &range.max)
                           : snd_mixer_selem_get_capture_dB_range(e, &range.min, &range.max);
        // A control without a dB scale answers with an error of its own.
        if (rc < 0 && rc != -ENODEV) {
            return MixerResult::NoControl;
        }
        return Result(rc);
    }

    MixerResult Volume(std::string_view element, MixerSide side, int channel, long& value) override {
        snd_mixer_elem_t* e = FindWith(element, side, true);
        const int ch = e != nullptr ? ReadChannel(e, side, channel) : -1;
        if (ch < 0) {
            return Missing();
        }
        const int rc = side == MixerSide::Playback
                           ? snd_mixer_selem_get_playback_volume(e, ChannelId(ch), &value)
                           : snd_mixer_selem_get_capture_volume(e, ChannelId(ch), &value);
        return Result(rc);
    }

    MixerResult SetVolume(std::string_view element, MixerSide side, int channel, long value) override {
        snd_mixer_elem_t* e = FindWith(element, side, true);
        if (e == nullptr || (channel != kEveryChannel && !HasChannel(e, side, channel))) {
            return Missing();
        }
        int rc = 0;
        if (side == MixerSide::Playback) {
            rc = channel == kEveryChannel ? snd_mixer_selem_set_playback_volume_all(e, value)
                                          : snd_mixer_selem_set_playback_volume(e, ChannelId(channel), value);
        } else {
            rc = channel == kEveryChannel ? snd_mixer_selem_set_capture_volume_all(e, value)
                                          : snd_mixer_selem_set_capture_volume(e, ChannelId(channel), value);
        }
        return Result(rc);
    }

    MixerResult Db(std::string_view element, MixerSide side, int channel, long& value) override {
        snd_mixer_elem_t* e = FindWith(element, side, true);
        const int ch = e != nullptr ? ReadChannel(e, side, channel) : -1;
        if (ch < 0) {
            return Missing();
        }
        const int rc = side == MixerSide::Playback ? snd_mixer_selem_get_playback_dB(e, ChannelId(ch), &value)
                                                   : snd_mixer_selem_get_capture_dB(e, ChannelId(ch), &value);
        return rc < 0 && rc != -ENODEV ? MixerResult::NoControl : Result(rc);
    }

    MixerResult SetDb(std::string_view element, MixerSide side, int channel, long value) override {
        snd_mixer_elem_t* e = FindWith(element, side, true);
        if (e == nullptr || (channel != kEveryChannel && !HasChannel(e, side, channel))) {
            return Missing();
        }
        int rc = 0;
        if (side == MixerSide::Playback) {
            rc = channel == kEveryChannel ? snd_mixer_selem_set_playback_dB_all(e, value, 0)
                                          : snd_mixer_selem_set_playback_dB(e, ChannelId(channel), value, 0);
        } else {
            rc = channel == kEveryChannel ? snd_mixer_selem_set_capture_dB_all(e, value, 0)
                                          : snd_mixer_selem_set_capture_dB(e, ChannelId(channel), value, 0);
        }
        return Result(rc);
    }

    MixerResult Switch(std::string_view element, MixerSide side, int channel, bool& on) override {
        snd_mixer_elem_t* e = FindWith(element, side, false);
        const int ch = e != nullptr ? ReadChannel(e, side, channel) : -1;
        if (ch < 0) {
            return Missing();
        }
        int value = 0;
        const int rc = side == MixerSide::Playback
                           ? snd_mixer_selem_get_playback_switch(e, ChannelId(ch), &value)
                           : snd_mixer_selem_get_capture_switch(e, ChannelId(ch), &value);
        on = value != 0;
        return Result(rc);
    }

    MixerResult SetSwitch(std::string_view element, MixerSide side, int channel, bool on) override {
        snd_mixer_elem_t* e = FindWith(element, side, false);
        if (e == nullptr || (channel != kEveryChannel && !HasChannel(e, side, channel))) {
            return Missing();
        }
        const int value = on ? 1 : 0;
        int rc = 0;
        if (side == MixerSide::Playback) {
            rc = channel == kEveryChannel ? snd_mixer_selem_set_playback_switch_all(e, value)
                                          : snd_mixer_selem_set_playback_switch(e, ChannelId(channel), value);
        } else {
            rc = channel == kEveryChannel ? snd_mixer_selem_set_capture_switch_all(e, value)
                                          : snd_mixer_selem_set_capture_switch(e, ChannelId(channel), value);
        }
        return Result(rc);
    }

private:
    // Takes in the card's pending events (elements added or removed); false once it is gone.
    bool Refresh() {
        if (gone_) {
            return false;
        }
        const int rc = snd_mixer_handle_events(mixer_.get());
        if (rc < 0 && rc != -EAGAIN) {
            MarkGone(rc);
        }
        return !gone_;
    }

    void MarkGone(int rc) {
        if (!gone_ && platform::diag::Enabled()) {
            platform::diag::Trace("audio: card " + std::to_string(card_) + " went away (" + snd_strerror(rc) +
                                  ")");
        }
        gone_ = true;
    }

    [[nodiscard]] MixerResult Missing() const { return gone_ ? MixerResult::Gone : MixerResult::NoControl; }

    MixerResult Result(int rc) {
        if (rc >= 0) {
            return MixerResult::Ok;
        }
        if (rc == -ENODEV) {
            MarkGone(rc);
            return MixerResult::Gone;
        }
        if (platform::diag::Enabled()) {
            platform::diag::Trace("audio: card " + std::to_string(card_) + ": " + snd_strerror(rc));
        }
        return MixerResult::Failed;
    }

    // The element by name when it has a volume (or a switch) on that side; looked up on every
    // call, since a refresh frees the elements the card removed.
    snd_mixer_elem_t* FindWith(std::string_view name, MixerSide side, bool volume) {
        if (!Refresh()) {
            return nullptr;
        }
        snd_mixer_selem_id_t* raw = nullptr;
        if (snd_mixer_selem_id_malloc(&raw) < 0) {
            return nullptr;
        }
        const std::unique_ptr<snd_mixer_selem_id_t, SelemIdFree> id(raw);
        const std::string text(name);
        snd_mixer_selem_id_set_name(id.get(), text.c_str());
        snd_mixer_selem_id_set_index(id.get(), 0);
        snd_mixer_elem_t* e = snd_mixer_find_selem(mixer_.get(), id.get());
        if (e == nullptr || snd_mixer_selem_is_active(e) == 0) {
            return nullptr;
        }
        int has = 0;
        if (side == MixerSide::Playback) {
            has = volume ? snd_mixer_selem_has_playback_volume(e) : snd_mixer_selem_has_playback_switch(e);
        } else {
            has = volume ? snd_mixer_selem_has_capture_volume(e) : snd_mixer_selem_has_capture_switch(e);
        }
        return has != 0 ? e : nullptr;
    }

    static bool HasChannel(snd_mixer_elem_t* e, MixerSide side, int channel) {
        if (channel < 0 || channel > SND_MIXER_SCHN_LAST) {
            return false;
        }
        return (side == MixerSide::Playback
                    ? snd_mixer_selem_has_playback_channel(e, ChannelId(channel))
                    : snd_mixer_selem_has_capture_channel(e, ChannelId(channel))) != 0;
    }

    // The channel a read looks at: the one asked for, or the first the element has.
    static int ReadChannel(snd_mixer_elem_t* e, MixerSide side, int channel) {
        if (channel != kEveryChannel) {
            return HasChannel(e, side, channel) ? channel : -1;
        }
        for (int ch = 0; ch <= SND_MIXER_SCHN_LAST; ++ch) {
            if (HasChannel(e, side, ch)) {
                return ch;
            }
        }
        return -1;
    }

    std::unique_ptr<snd_mixer_t, MixerCloser> mixer_;
    snd_hctl_t* hctl_;  // owned by the mixer
    int card_;
    bool gone_ = false;
};

}  // namespace

std::unique_ptr<IAlsaMixer> OpenAlsaMixer(int card, std::string& error) {
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(&AlsaError); });
    const std::string name = "hw:" + std::to_string(card);
    snd_hctl_t* hctl = nullptr;
    // Non-blocking, so taking in events never waits.
    int rc = snd_hctl_open(&hctl, name.c_str(), SND_CTL_NONBLOCK);
    if (rc < 0) {
        error = "cannot open the controls of " + name + ": " + snd_strerror(rc);
        return nullptr;
    }
    snd_mixer_t* raw = nullptr;
    rc = snd_mixer_open(&raw, 0);
    if (rc < 0) {
        snd_hctl_close(hctl);
        error = std::string("cannot make a mixer: ") + snd_strerror(rc);
        return nullptr;
    }
    std::unique_ptr<snd_mixer_t, MixerCloser> mixer(raw);
    rc = snd_mixer_attach_hctl(mixer.get(), hctl);
    if (rc < 0) {
        snd_hctl_close(hctl);
        error = "cannot attach the mixer to " + name + ": " + snd_strerror(rc);
        return nullptr;
    }
    rc = snd_mixer_selem_register(mixer.get(), nullptr, nullptr);
    if (rc >= 0) {
        rc = snd_mixer_load(mixer.get());
    }
    if (rc < 0) {
        error = "cannot load the mixer of " + name + ": " + snd_strerror(rc);
        return nullptr;
    }
    return std::make_unique<AlsaMixer>(mixer.release(), hctl, card);
}

}  // namespace norvane::devices::audio
