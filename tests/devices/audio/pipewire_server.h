// A private PipeWire server for a test, in a runtime folder of its own, and a second client
// that watches its nodes, reads their control values and stands in sink nodes for a headset.
#pragma once

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/raw-utils.h>
#include <spa/param/props.h>
#include <spa/pod/parser.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace norvane::test {

// Polls a condition until it holds or the limit passes; the result is the condition's last value.
inline bool Eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

inline std::optional<std::filesystem::path> FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::filesystem::path candidate =
            std::filesystem::path(folders.substr(start, end - start)) / name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

// The server: the protocol, access for local clients, client nodes, adapters (for the stand-in
// sinks), links between nodes (unless left out) and a driver.
class PipeWireServer {
public:
    explicit PipeWireServer(bool links = true) {
        const auto program = FindProgram("pipewire");
        if (!program) {
            problem_ = "the pipewire program is not installed";
            return;
        }
        runtime_ = dir_ / "runtime";
        std::filesystem::create_directory(runtime_);
        std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
        const auto config = dir_ / "server.conf";
        WriteText(config, std::string(R"(
context.properties = { support.dbus = false core.daemon = true core.name = pipewire-0 }
context.spa-libs = { audio.convert.* = audioconvert/libspa-audioconvert support.* = support/libspa-support }
context.modules = [
  { name = libpipewire-module-protocol-native }
  { name = libpipewire-module-access }
  { name = libpipewire-module-client-node }
  { name = libpipewire-module-adapter }
  { name = libpipewire-module-metadata }
  { name = libpipewire-module-spa-node-factory }
)") + (links ? "  { name = libpipewire-module-link-factory }\n" : "") +
                              R"(]
context.objects = [
  { factory = spa-node-factory args = { factory.name = support.node.driver node.name = Dummy-Driver
                                        priority.driver = 20000 } }
]
)");
        process_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{program->string(), "-c", config.string()},
            std::vector<std::string>{"XDG_RUNTIME_DIR=" + runtime_.string(),
                                     "PIPEWIRE_RUNTIME_DIR=" + runtime_.string(), "PIPEWIRE_DEBUG=1"});
        if (!process_->Started() || !Eventually([&] { return Listening(runtime_ / "pipewire-0"); })) {
            problem_ = "a private pipewire server did not start";
        }
    }

    // Empty when the server runs, else why not.
    const std::string& Problem() const { return problem_; }
    const std::filesystem::path& RuntimeDir() const { return runtime_; }

    // Ends the server as a crash would.
    void Kill() {
        sessionManager_.reset();
        process_.reset();
    }

    // Starts WirePlumber on the server, with its state in the test's folder; empty when it
    // runs, else why not.
    std::string StartSessionManager() {
        const auto program = FindProgram("wireplumber");
        if (!program) {
            return "the wireplumber program is not installed";
        }
        std::filesystem::create_directory(dir_ / "state");
        sessionManager_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{program->string()},
            std::vector<std::string>{"XDG_RUNTIME_DIR=" + runtime_.string(),
                                     "PIPEWIRE_RUNTIME_DIR=" + runtime_.string(),
                                     "XDG_STATE_HOME=" + (dir_ / "state").string(), "WIREPLUMBER_DEBUG=1"});
        return sessionManager_->Started() ? std::string() : "wireplumber did not start";
    }

private:
    // The socket file exists a moment before the server listens on it.
    static bool Listening(const std::filesystem::path& socketPath) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = socketPath.string();
        if (fd < 0 || path.size() >= sizeof address.sun_path) {
            if (fd >= 0) {
                ::close(fd);
            }
            return false;
        }
        path.copy(address.sun_path, path.size());
        const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return ok;
    }

    TempDir dir_;
    std::filesystem::path runtime_;
    std::unique_ptr<ChildProcess> process_;
    std::unique_ptr<ChildProcess> sessionManager_;
    std::string problem_;
};

// PipeWire's macros cast inside, and its event tables are long.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

// A client of the server: the nodes it shows, their properties and control values.
class PipeWireWatcher {
public:
    PipeWireWatcher() {
        pw_init(nullptr, nullptr);
        loop_ = pw_thread_loop_new("watcher", nullptr);
        context_ = pw_context_new(pw_thread_loop_get_loop(loop_), nullptr, 0);
        pw_thread_loop_start(loop_);
        Locked([&] {
            core_ = pw_context_connect(context_, nullptr, 0);
            if (core_ == nullptr) {
                return;
            }
            pw_core_add_listener(core_, &coreHook_, &kCoreEvents, this);
            registry_ = pw_core_get_registry(core_, PW_VERSION_REGISTRY, 0);
            if (registry_ != nullptr) {
                pw_registry_add_listener(registry_, &registryHook_, &kRegistryEvents, this);
            }
        });
        Sync();
    }
    ~PipeWireWatcher() {
        Locked([&] {
            for (auto& [id, sink] : sinks_) {
                pw_proxy_destroy(sink);
            }
            if (registry_ != nullptr) {
                spa_hook_remove(&registryHook_);
                pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry_));
            }
            if (core_ != nullptr) {
                pw_core_disconnect(core_);
            }
        });
        pw_thread_loop_stop(loop_);
        pw_context_destroy(context_);
        pw_thread_loop_destroy(loop_);
    }
    PipeWireWatcher(const PipeWireWatcher&) = delete;
    PipeWireWatcher& operator=(const PipeWireWatcher&) = delete;

    bool Connected() const { return core_ != nullptr && registry_ != nullptr; }

    // The node of that name, once the server shows it.
    std::optional<std::uint32_t> Node(const std::string& name) {
        std::optional<std::uint32_t> found;
        Eventually([&] {
            Sync();
            found = Find(name);
            return found.has_value();
        });
        return found;
    }
    // Whether the node of that name has gone (or never came).
    bool Gone(const std::string& name) {
        return Eventually([&] {
            Sync();
            return !Find(name).has_value();
        });
    }
    // The number of links from one node's ports to another's, once there are at least the
    // wanted number (two: one per channel) or the limit passes.
    int Links(std::uint32_t output, std::uint32_t input, int wanted = 2) {
        int count = 0;
        Eventually([&] {
            Sync();
            count = 0;
            Locked([&] {
                for (const auto& [id, props] : links_) {
                    const auto out = props.find("link.output.node");
                    const auto in = props.find("link.input.node");
                    count += out != props.end() && in != props.end() &&
                             out->second == std::to_string(output) && in->second == std::to_string(input);
                }
            });
            return count >= wanted;
        });
        return count;
    }

    // A node's full properties and the "params" of its Props (control name to value).
    struct NodeState {
        std::map<std::string, std::string> properties;
        std::map<std::string, double> controls;
    };
    NodeState State(std::uint32_t id) {
        pw_proxy* node = nullptr;
        spa_hook hook{};
        Locked([&] {
            state_ = {};
            node = static_cast<pw_proxy*>(
                pw_registry_bind(registry_, id, PW_TYPE_INTERFACE_Node, PW_VERSION_NODE, 0));
            if (node != nullptr) {
                pw_node_add_listener(reinterpret_cast<pw_node*>(node), &hook, &kNodeEvents, this);
                pw_node_enum_params(reinterpret_cast<pw_node*>(node), 0, SPA_PARAM_Props, 0, 0, nullptr);
            }
        });
        Sync();
        NodeState state;
        Locked([&] {
            state = state_;
            if (node != nullptr) {
                spa_hook_remove(&hook);
                pw_proxy_destroy(node);
            }
        });
        return state;
    }

    // A null sink standing in for the headset, with the given USB ids on its node, described as
    // "Stand-in headset" with session priority 1000.
    std::optional<std::uint32_t> AddSink(const std::string& name, const std::string& vendor,
                                         const std::string& product) {
        Locked([&] {
            pw_properties* props = pw_properties_new(
                "factory.name", "support.null-audio-sink", "node.name", name.c_str(), "media.class",
                "Audio/Sink", "audio.position", "[ FL FR ]", "device.vendor.id", vendor.c_str(),
                "device.product.id", product.c_str(), "priority.session", "1000", "node.description",
                "Stand-in headset", nullptr);
            auto* proxy = static_cast<pw_proxy*>(pw_core_create_object(
                core_, "adapter", PW_TYPE_INTERFACE_Node, PW_VERSION_NODE, &props->dict, 0));
            pending_[name] = proxy;
            pw_properties_free(props);
        });
        const auto id = Node(name);
        Locked([&] {
            if (id) {
                sinks_[*id] = pending_[name];
            }
            pending_.erase(name);
        });
        return id;
    }
    // Removes a stand-in sink, as unplugging the headset does.
    void RemoveSink(std::uint32_t id) {
        Locked([&] {
            if (const auto it = sinks_.find(id); it != sinks_.end()) {
                pw_proxy_destroy(it->second);
                sinks_.erase(it);
            }
        });
    }

private:
    template <typename F>
    void Locked(F&& f) {
        pw_thread_loop_lock(loop_);
        f();
        pw_thread_loop_unlock(loop_);
    }
    std::optional<std::uint32_t> Find(const std::string& name) {
        std::optional<std::uint32_t> found;
        Locked([&] {
            for (const auto& [id, props] : nodes_) {
                const auto it = props.find("node.name");
                if (it != props.end() && it->second == name) {
                    found = id;
                }
            }
        });
        return found;
    }
    void Sync() {
        pw_thread_loop_lock(loop_);
        if (core_ != nullptr) {
            done_ = false;
            seq_ = pw_core_sync(core_, PW_ID_CORE, seq_);
            while (!done_ && !broken_) {
                if (pw_thread_loop_timed_wait(loop_, 5) != 0) {
                    break;
                }
            }
        }
        pw_thread_loop_unlock(loop_);
    }

    static void OnGlobal(void* data, std::uint32_t id, std::uint32_t, const char* type, std::uint32_t,
                         const spa_dict* props) {
        auto* self = static_cast<PipeWireWatcher*>(data);
        const std::string_view kind = type;
        if ((kind != PW_TYPE_INTERFACE_Node && kind != PW_TYPE_INTERFACE_Link) || props == nullptr) {
            return;
        }
        auto& copy = kind == PW_TYPE_INTERFACE_Node ? self->nodes_[id] : self->links_[id];
        for (std::uint32_t i = 0; i < props->n_items; ++i) {
            copy[props->items[i].key] = props->items[i].value != nullptr ? props->items[i].value : "";
        }
    }
    static void OnGlobalRemove(void* data, std::uint32_t id) {
        static_cast<PipeWireWatcher*>(data)->nodes_.erase(id);
        static_cast<PipeWireWatcher*>(data)->links_.erase(id);
    }
    static void OnDone(void* data, std::uint32_t id, int seq) {
        auto* self = static_cast<PipeWireWatcher*>(data);
        if (id == PW_ID_CORE && seq == self->seq_) {
            self->done_ = true;
            pw_thread_loop_signal(self->loop_, false);
        }
    }
    static void OnError(void* data, std::uint32_t id, int, int res, const char*) {
        auto* self = static_cast<PipeWireWatcher*>(data);
        if (id == PW_ID_CORE && res == -EPIPE) {
            self->broken_ = true;
            pw_thread_loop_signal(self->loop_, false);
        }
    }
    static void OnParam(void* data, int, std::uint32_t id, std::uint32_t, std::uint32_t,
                        const spa_pod* param) {
        auto* self = static_cast<PipeWireWatcher*>(data);
        const spa_pod_prop* prop = param != nullptr && id == SPA_PARAM_Props
                                       ? spa_pod_find_prop(param, nullptr, SPA_PROP_params)
                                       : nullptr;
        if (prop == nullptr) {
            return;
        }
        spa_pod_parser parser;
        spa_pod_frame frame;
        spa_pod_parser_pod(&parser, &prop->value);
        if (spa_pod_parser_push_struct(&parser, &frame) < 0) {
            return;
        }
        for (;;) {
            const char* name = nullptr;
            if (spa_pod_parser_get_string(&parser, &name) < 0) {
                break;
            }
            float f = 0;
            double d = 0;
            if (spa_pod_parser_get_float(&parser, &f) >= 0) {
                self->state_.controls[name] = f;
            } else if (spa_pod_parser_get_double(&parser, &d) >= 0) {
                self->state_.controls[name] = d;
            } else {
                spa_pod* skip = nullptr;
                spa_pod_parser_get_pod(&parser, &skip);
            }
        }
    }

    static constexpr pw_core_events kCoreEvents = {.version = PW_VERSION_CORE_EVENTS,
                                                   .info = nullptr,
                                                   .done = OnDone,
                                                   .ping = nullptr,
                                                   .error = OnError,
                                                   .remove_id = nullptr,
                                                   .bound_id = nullptr,
                                                   .add_mem = nullptr,
                                                   .remove_mem = nullptr};
    static constexpr pw_registry_events kRegistryEvents = {
        .version = PW_VERSION_REGISTRY_EVENTS, .global = OnGlobal, .global_remove = OnGlobalRemove};
    static void OnInfo(void* data, const pw_node_info* info) {
        auto* self = static_cast<PipeWireWatcher*>(data);
        if (info == nullptr || info->props == nullptr) {
            return;
        }
        for (std::uint32_t i = 0; i < info->props->n_items; ++i) {
            const spa_dict_item& item = info->props->items[i];
            self->state_.properties[item.key] = item.value != nullptr ? item.value : "";
        }
    }

    static constexpr pw_node_events kNodeEvents = {
        .version = PW_VERSION_NODE_EVENTS, .info = OnInfo, .param = OnParam};

    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_registry* registry_ = nullptr;
    spa_hook coreHook_{};
    spa_hook registryHook_{};
    int seq_ = 0;
    bool done_ = false;
    bool broken_ = false;
    std::map<std::uint32_t, std::map<std::string, std::string>> nodes_;
    std::map<std::uint32_t, std::map<std::string, std::string>> links_;
    NodeState state_;
    std::map<std::string, pw_proxy*> pending_;
    std::map<std::uint32_t, pw_proxy*> sinks_;
};

// Plays a sine tone into one sink and measures what reaches another sink's monitor: the level
// a filter chain between them gives the tone.
class ToneProbe {
public:
    static constexpr int kRate = 48000;
    static constexpr const char* kPlayerName = "norvane_test_tone";
    static constexpr const char* kListenerName = "norvane_test_listener";

    ToneProbe(const std::string& playInto, const std::string& listenTo, double hz)
        : step_(2 * M_PI * hz / kRate) {
        loop_ = pw_thread_loop_new("tone", nullptr);
        pw_thread_loop_start(loop_);
        pw_thread_loop_lock(loop_);
        player_ = pw_stream_new_simple(
            pw_thread_loop_get_loop(loop_), "tone",
            pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback", PW_KEY_NODE_NAME,
                              kPlayerName, PW_KEY_TARGET_OBJECT, playInto.c_str(), nullptr),
            &kPlayerEvents, this);
        listener_ = pw_stream_new_simple(
            pw_thread_loop_get_loop(loop_), "tone-listener",
            pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture", PW_KEY_NODE_NAME,
                              kListenerName, PW_KEY_TARGET_OBJECT, listenTo.c_str(),
                              PW_KEY_STREAM_CAPTURE_SINK, "true", nullptr),
            &kListenerEvents, this);
        for (pw_stream* stream : {player_, listener_}) {
            if (stream == nullptr) {
                continue;
            }
            std::array<std::uint8_t, 512> buffer{};
            spa_pod_builder builder{};
            spa_pod_builder_init(&builder, buffer.data(), buffer.size());
            spa_audio_info_raw info{};
            info.format = SPA_AUDIO_FORMAT_F32;
            info.rate = kRate;
            info.channels = 1;
            info.position[0] = SPA_AUDIO_CHANNEL_MONO;
            const spa_pod* params[] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
            pw_stream_connect(
                stream, stream == player_ ? PW_DIRECTION_OUTPUT : PW_DIRECTION_INPUT, PW_ID_ANY,
                static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                             PW_STREAM_FLAG_RT_PROCESS),
                params, 1);
        }
        pw_thread_loop_unlock(loop_);
    }
    ~ToneProbe() {
        pw_thread_loop_lock(loop_);
        for (pw_stream* stream : {player_, listener_}) {
            if (stream != nullptr) {
                pw_stream_destroy(stream);
            }
        }
        pw_thread_loop_unlock(loop_);
        pw_thread_loop_stop(loop_);
        pw_thread_loop_destroy(loop_);
    }
    ToneProbe(const ToneProbe&) = delete;
    ToneProbe& operator=(const ToneProbe&) = delete;

    // The level of the tone over a fifth of a second heard from now on, after a tenth of a second
    // that lets sound already under way pass: the median of the buffers' RMS levels, so a buffer
    // the graph drops does not count. Nothing when no sound came.
    std::optional<double> Level() {
        if (!Hear(kRate / 10)) {
            return std::nullopt;
        }
        std::vector<double> levels;
        if (!Hear(kRate / 5, &levels) || levels.empty()) {
            return std::nullopt;
        }
        std::nth_element(levels.begin(), levels.begin() + static_cast<std::ptrdiff_t>(levels.size() / 2),
                         levels.end());
        return levels[levels.size() / 2];
    }

private:
    template <typename F>
    void Locked(F&& f) {
        pw_thread_loop_lock(loop_);
        f();
        pw_thread_loop_unlock(loop_);
    }
    bool Hear(std::size_t wanted, std::vector<double>* levels = nullptr) {
        {
            const std::lock_guard lock(heardLock_);
            levels_.clear();
            frames_ = 0;
        }
        std::size_t heard = 0;
        Eventually(
            [&] {
                const std::lock_guard lock(heardLock_);
                heard = frames_;
                if (levels != nullptr) {
                    *levels = levels_;
                }
                return heard >= wanted;
            },
            std::chrono::seconds(20));
        return heard >= wanted;
    }
    static void Play(void* data) {
        auto* self = static_cast<ToneProbe*>(data);
        pw_buffer* buffer = pw_stream_dequeue_buffer(self->player_);
        if (buffer == nullptr) {
            return;
        }
        spa_data& d = buffer->buffer->datas[0];
        if (d.data != nullptr) {
            const std::uint32_t frames = d.maxsize / sizeof(float);
            const std::uint32_t wanted =
                buffer->requested > 0 ? static_cast<std::uint32_t>(buffer->requested) : frames;
            const std::uint32_t n = std::min(frames, wanted);
            auto* samples = static_cast<float*>(d.data);
            for (std::uint32_t i = 0; i < n; ++i) {
                samples[i] = static_cast<float>(0.1 * std::sin(self->phase_));
                self->phase_ = std::fmod(self->phase_ + self->step_, 2 * M_PI);
            }
            d.chunk->offset = 0;
            d.chunk->stride = sizeof(float);
            d.chunk->size = n * sizeof(float);
        }
        pw_stream_queue_buffer(self->player_, buffer);
    }
    static void Listen(void* data) {
        auto* self = static_cast<ToneProbe*>(data);
        pw_buffer* buffer = pw_stream_dequeue_buffer(self->listener_);
        if (buffer == nullptr) {
            return;
        }
        const spa_data& d = buffer->buffer->datas[0];
        if (d.data != nullptr && d.chunk != nullptr) {
            const auto* samples = static_cast<const float*>(SPA_PTROFF(d.data, d.chunk->offset, void));
            const std::uint32_t n = std::min(d.chunk->size, d.maxsize) / sizeof(float);
            double squares = 0;
            for (std::uint32_t i = 0; i < n; ++i) {
                squares += static_cast<double>(samples[i]) * samples[i];
            }
            const std::lock_guard lock(self->heardLock_);
            if (n > 0) {
                self->levels_.push_back(std::sqrt(squares / n));
            }
            self->frames_ += n;
        }
        pw_stream_queue_buffer(self->listener_, buffer);
    }

    static constexpr pw_stream_events kPlayerEvents = {.version = PW_VERSION_STREAM_EVENTS, .process = Play};
    static constexpr pw_stream_events kListenerEvents = {.version = PW_VERSION_STREAM_EVENTS,
                                                         .process = Listen};

    pw_thread_loop* loop_ = nullptr;
    pw_stream* player_ = nullptr;
    pw_stream* listener_ = nullptr;
    double step_;
    double phase_ = 0;
    std::mutex heardLock_;  // the listener runs on the data thread
    std::vector<double> levels_;
    std::size_t frames_ = 0;
};

#pragma GCC diagnostic pop

}  // namespace norvane::test
