#include "devices/audio/pipewire_equaliser.h"

#include "devices/audio/equaliser_filters.h"
#include "devices/audio/headset_sink.h"
#include "platform/diag.h"

#include <pipewire/impl-module.h>
#include <pipewire/pipewire.h>
#include <spa/param/props.h>
#include <spa/pod/builder.h>
#include <spa/utils/result.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <map>
#include <mutex>
#include <string_view>
#include <utility>

namespace norvane::devices::audio {
namespace {

enum class EqState {
    Ready,
    NoLoop,
    NoServer,
    NoAnswer,
    ServerGone,
    NoSink,
    SinkGone,
    NoFilterModule,
    NoChain,
    ChainRefused
};

struct StateText {
    EqState state;
    std::string_view text;
};

constexpr std::array<StateText, 10> kStateTexts{{
    {EqState::Ready, ""},
    {EqState::NoLoop, "The equaliser could not start its PipeWire connection in this program."},
    {EqState::NoServer,
     "No PipeWire sound server runs in this session, so the equaliser cannot reach the "
     "headset's sound."},
    {EqState::NoAnswer,
     "The PipeWire sound server did not answer in time, so the equaliser cannot reach the "
     "headset's sound."},
    {EqState::ServerGone,
     "The PipeWire sound server stopped, so the equaliser no longer reaches the headset's "
     "sound."},
    {EqState::NoSink, "The PipeWire sound server shows no output of the headset to equalise."},
    {EqState::SinkGone, "The headset's output has gone from the PipeWire sound server."},
    {EqState::NoFilterModule,
     "PipeWire's filter-chain module is not installed, so the equaliser cannot act on "
     "the headset's sound."},
    {EqState::NoChain, "The equaliser's filters did not appear on the PipeWire sound server in time."},
    {EqState::ChainRefused,
     "PipeWire's session manager keeps removing the equaliser instead of connecting it to "
     "the headset's output."},
}};

std::string_view StateReason(EqState state) {
    for (const StateText& entry : kStateTexts) {
        if (entry.state == state) {
            return entry.text;
        }
    }
    return {};
}

void Trace(std::string_view line) {
    if (platform::diag::Enabled()) {
        platform::diag::Trace("pipewire equaliser: " + std::string(line));
    }
}

ObjectProperties ToProperties(const spa_dict* dict) {
    ObjectProperties properties;
    if (dict == nullptr) {
        return properties;
    }
    for (std::uint32_t i = 0; i < dict->n_items; ++i) {
        const spa_dict_item& item = dict->items[i];
        if (item.key != nullptr && item.value != nullptr) {
            properties.emplace(item.key, item.value);
        }
    }
    return properties;
}

std::string Property(const ObjectProperties& properties, std::string_view key) {
    const auto it = properties.find(key);
    return it == properties.end() ? std::string() : it->second;
}

std::atomic<unsigned> chainCounter{0};

// PipeWire's method macros cast inside; these keep the casts in one place.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
int CoreSync(pw_core* core, int seq) {
    return pw_core_sync(core, PW_ID_CORE, seq);
}
void CoreListen(pw_core* core, spa_hook* hook, const pw_core_events* events, void* data) {
    pw_core_add_listener(core, hook, events, data);
}
pw_registry* CoreRegistry(pw_core* core) {
    return pw_core_get_registry(core, PW_VERSION_REGISTRY, 0);
}
void RegistryListen(pw_registry* registry, spa_hook* hook, const pw_registry_events* events, void* data) {
    pw_registry_add_listener(registry, hook, events, data);
}
pw_proxy* Bind(pw_registry* registry, std::uint32_t id, bool device) {
    return static_cast<pw_proxy*>(
        device ? pw_registry_bind(registry, id, PW_TYPE_INTERFACE_Device, PW_VERSION_DEVICE, 0)
               : pw_registry_bind(registry, id, PW_TYPE_INTERFACE_Node, PW_VERSION_NODE, 0));
}
void NodeListen(pw_proxy* node, spa_hook* hook, const pw_node_events* events, void* data) {
    pw_node_add_listener(reinterpret_cast<pw_node*>(node), hook, events, data);
}
void DeviceListen(pw_proxy* device, spa_hook* hook, const pw_device_events* events, void* data) {
    pw_device_add_listener(reinterpret_cast<pw_device*>(device), hook, events, data);
}
int SetNodeParam(pw_proxy* node, const spa_pod* param) {
    return pw_node_set_param(reinterpret_cast<pw_node*>(node), SPA_PARAM_Props, 0, param);
}
#pragma GCC diagnostic pop

}  // namespace

// Every member is used under the thread loop's lock; the loop thread holds it while it runs the
// listeners below.
struct PipeWireEqualiser::Impl {
    AudioDeviceIdentity identity;
    pw_thread_loop* loop = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    pw_registry* registry = nullptr;
    spa_source* reconcile = nullptr;
    spa_hook coreListener{};
    spa_hook registryListener{};
    spa_hook moduleListener{};

    // Sinks and devices show their USB ids only in their full properties, so each is bound
    // and its info kept.
    struct Watched {
        Impl* owner = nullptr;
        std::uint32_t id = 0;
        bool device = false;
        pw_proxy* proxy = nullptr;
        spa_hook hook{};
    };
    std::map<std::uint32_t, std::unique_ptr<Watched>> watched;
    ObjectMap devices;
    ObjectMap sinks;
    std::uint32_t sinkId = SPA_ID_INVALID;
    bool sinkSeen = false;
    pw_impl_module* module = nullptr;
    bool moduleMissing = false;
    // Chains lost without being dropped here, for the present sink; past the limit the chain
    // is not made again, so a session manager that refuses it does not make it churn.
    static constexpr int kMaxChainLosses = 3;
    int chainLosses = 0;
    pw_proxy* chainNode = nullptr;
    std::uint32_t chainNodeId = SPA_ID_INVALID;
    std::string inputName;
    std::string outputName;

    std::array<int, kEqualiserBands> units{};
    bool enabled = true;
    bool connected = false;
    int syncSeq = -1;
    bool synced = false;
    EqState state = EqState::NoLoop;

    explicit Impl(AudioDeviceIdentity id) : identity(std::move(id)) {
        const unsigned n = chainCounter.fetch_add(1);
        inputName = "norvane_equaliser_" + std::to_string(::getpid()) + "_" + std::to_string(n);
        outputName = inputName + "_output";
    }

    void Start();
    void Stop();
    bool WaitFor(bool (*done)(const Impl&), timespec* deadline) const;
    bool Sync(timespec* deadline);

    void OnGlobal(std::uint32_t id, const char* type, const spa_dict* props);
    void OnGlobalRemove(std::uint32_t id);
    void Watch(std::uint32_t id, bool device);
    void Unwatch(std::uint32_t id);
    void OnInfo(const Watched& object, const spa_dict* props);
    void OnCoreDone(std::uint32_t id, int seq);
    void OnCoreError(std::uint32_t id, int res, const char* message);
    void Reconcile();
    void LoadChain();
    void DropChain();
    void Disconnect();
    bool ApplyGains(int first, int count);
    void Schedule() const {
        if (reconcile != nullptr) {
            pw_loop_signal_event(pw_thread_loop_get_loop(loop), reconcile);
        }
    }

    static const pw_core_events kCoreEvents;
    static const pw_registry_events kRegistryEvents;
    static const pw_impl_module_events kModuleEvents;
    static const pw_node_events kNodeEvents;
    static const pw_device_events kDeviceEvents;
};

const pw_core_events PipeWireEqualiser::Impl::kCoreEvents = {
    .version = PW_VERSION_CORE_EVENTS,
    .info = nullptr,
    .done = [](void* data, std::uint32_t id, int seq) { static_cast<Impl*>(data)->OnCoreDone(id, seq); },
    .ping = nullptr,
    .error = [](void* data, std::uint32_t id, int /*seq*/, int res,
                const char* message) { static_cast<Impl*>(data)->OnCoreError(id, res, message); },
    .remove_id = nullptr,
    .bound_id = nullptr,
    .add_mem = nullptr,
    .remove_mem = nullptr,
};

const pw_registry_events PipeWireEqualiser::Impl::kRegistryEvents = {
    .version = PW_VERSION_REGISTRY_EVENTS,
    .global = [](void* data, std::uint32_t id, std::uint32_t /*permissions*/, const char* type,
                 std::uint32_t /*version*/,
                 const spa_dict* props) { static_cast<Impl*>(data)->OnGlobal(id, type, props); },
    .global_remove = [](void* data, std::uint32_t id) { static_cast<Impl*>(data)->OnGlobalRemove(id); },
};

const pw_impl_module_events PipeWireEqualiser::Impl::kModuleEvents = {
    .version = PW_VERSION_IMPL_MODULE_EVENTS,
    .destroy =
        [](void* data) {
            // The chain went by itself: its output stream was refused or the server went.
            auto* impl = static_cast<Impl*>(data);
            spa_hook_remove(&impl->moduleListener);
            impl->module = nullptr;
            if (impl->chainNode != nullptr) {
                pw_proxy_destroy(impl->chainNode);
                impl->chainNode = nullptr;
                impl->chainNodeId = SPA_ID_INVALID;
            }
            ++impl->chainLosses;
            impl->Schedule();
        },
    .free = nullptr,
    .initialized = nullptr,
    .registered = nullptr,
};

const pw_node_events PipeWireEqualiser::Impl::kNodeEvents = {
    .version = PW_VERSION_NODE_EVENTS,
    .info =
        [](void* data, const pw_node_info* info) {
            const auto* object = static_cast<const Watched*>(data);
            object->owner->OnInfo(*object, info != nullptr ? info->props : nullptr);
        },
    .param = nullptr,
};

const pw_device_events PipeWireEqualiser::Impl::kDeviceEvents = {
    .version = PW_VERSION_DEVICE_EVENTS,
    .info =
        [](void* data, const pw_device_info* info) {
            const auto* object = static_cast<const Watched*>(data);
            object->owner->OnInfo(*object, info != nullptr ? info->props : nullptr);
        },
    .param = nullptr,
};

namespace {

void InitPipeWire() {
    static std::once_flag once;
    std::call_once(once, [] { pw_init(nullptr, nullptr); });
}

}  // namespace

bool PipeWireEqualiser::Impl::WaitFor(bool (*done)(const Impl&), timespec* deadline) const {
    while (!done(*this)) {
        if (pw_thread_loop_timed_wait_full(loop, deadline) != 0) {
            return done(*this);
        }
    }
    return true;
}

bool PipeWireEqualiser::Impl::Sync(timespec* deadline) {
    if (core == nullptr) {
        return false;
    }
    synced = false;
    syncSeq = CoreSync(core, syncSeq);
    return WaitFor([](const Impl& impl) { return impl.synced || !impl.connected; }, deadline) && connected;
}

void PipeWireEqualiser::Impl::Start() {
    InitPipeWire();
    loop = pw_thread_loop_new("norvane-eq", nullptr);
    if (loop == nullptr) {
        return;
    }
    context = pw_context_new(pw_thread_loop_get_loop(loop), nullptr, 0);
    if (context == nullptr) {
        Trace("no context");
        return;
    }
    reconcile = pw_loop_add_event(
        pw_thread_loop_get_loop(loop),
        [](void* data, std::uint64_t) { static_cast<Impl*>(data)->Reconcile(); }, this);
    if (reconcile == nullptr || pw_thread_loop_start(loop) != 0) {
        return;
    }
    pw_thread_loop_lock(loop);
    core = pw_context_connect(context, nullptr, 0);
    if (core == nullptr) {
        state = EqState::NoServer;
        Trace(std::string("no server: ") + spa_strerror(-errno));
        pw_thread_loop_unlock(loop);
        return;
    }
    connected = true;
    CoreListen(core, &coreListener, &kCoreEvents, this);
    registry = CoreRegistry(core);
    if (registry != nullptr) {
        RegistryListen(registry, &registryListener, &kRegistryEvents, this);
    }
    // The first answer brings the objects, the second their full properties.
    timespec deadline{};
    pw_thread_loop_get_time(loop, &deadline, std::chrono::nanoseconds(kServerWait).count());
    if (registry == nullptr || !Sync(&deadline) || !Sync(&deadline)) {
        state = connected ? EqState::NoAnswer : EqState::ServerGone;
        connected = false;
        Disconnect();
        pw_thread_loop_unlock(loop);
        return;
    }
    Reconcile();
    if (module != nullptr) {
        // The chain's sink shows up in the registry once the server has taken the module's nodes.
        WaitFor(
            [](const Impl& impl) {
                return impl.chainNode != nullptr || impl.module == nullptr || !impl.connected;
            },
            &deadline);
        Reconcile();
    }
    pw_thread_loop_unlock(loop);
}

void PipeWireEqualiser::Impl::Stop() {
    if (loop == nullptr) {
        return;
    }
    pw_thread_loop_lock(loop);
    connected = false;
    DropChain();
    Disconnect();
    pw_thread_loop_unlock(loop);
    pw_thread_loop_stop(loop);
    if (reconcile != nullptr) {
        pw_loop_destroy_source(pw_thread_loop_get_loop(loop), reconcile);
    }
    if (context != nullptr) {
        pw_context_destroy(context);
    }
    pw_thread_loop_destroy(loop);
    loop = nullptr;
}

void PipeWireEqualiser::Impl::OnGlobal(std::uint32_t id, const char* type, const spa_dict* props) {
    const std::string_view kind = type != nullptr ? type : "";
    if (kind == PW_TYPE_INTERFACE_Device) {
        Watch(id, true);
        return;
    }
    if (kind != PW_TYPE_INTERFACE_Node) {
        return;
    }
    ObjectProperties properties = ToProperties(props);
    if (Property(properties, PW_KEY_NODE_NAME) == inputName && chainNode == nullptr && registry != nullptr) {
        chainNode = Bind(registry, id, false);
        chainNodeId = id;
        ApplyGains(0, kEqualiserBands);
        Schedule();
        pw_thread_loop_signal(loop, false);
        return;
    }
    if (IsAudioSink(properties)) {
        Watch(id, false);
    }
}

void PipeWireEqualiser::Impl::Watch(std::uint32_t id, bool device) {
    if (registry == nullptr || watched.count(id) != 0) {
        return;
    }
    auto object = std::make_unique<Watched>();
    object->owner = this;
    object->id = id;
    object->device = device;
    object->proxy = Bind(registry, id, device);
    if (object->proxy == nullptr) {
        return;
    }
    if (device) {
        DeviceListen(object->proxy, &object->hook, &kDeviceEvents, object.get());
    } else {
        NodeListen(object->proxy, &object->hook, &kNodeEvents, object.get());
    }
    watched[id] = std::move(object);
}

void PipeWireEqualiser::Impl::Unwatch(std::uint32_t id) {
    const auto it = watched.find(id);
    if (it == watched.end()) {
        return;
    }
    spa_hook_remove(&it->second->hook);
    pw_proxy_destroy(it->second->proxy);
    watched.erase(it);
}

void PipeWireEqualiser::Impl::OnInfo(const Watched& object, const spa_dict* props) {
    if (props == nullptr) {
        return;
    }
    ObjectProperties properties = ToProperties(props);
    if (object.device) {
        devices[object.id] = std::move(properties);
    } else if (IsAudioSink(properties)) {
        sinks[object.id] = std::move(properties);
    }
    Schedule();
}

void PipeWireEqualiser::Impl::OnGlobalRemove(std::uint32_t id) {
    Unwatch(id);
    devices.erase(id);
    sinks.erase(id);
    if (id == chainNodeId) {
        if (chainNode != nullptr) {
            pw_proxy_destroy(chainNode);
        }
        chainNode = nullptr;
        chainNodeId = SPA_ID_INVALID;
    }
    Schedule();
}

void PipeWireEqualiser::Impl::OnCoreDone(std::uint32_t id, int seq) {
    if (id == PW_ID_CORE && seq == syncSeq) {
        synced = true;
        pw_thread_loop_signal(loop, false);
    }
}

void PipeWireEqualiser::Impl::OnCoreError(std::uint32_t id, int res, const char* message) {
    Trace("server error on " + std::to_string(id) + ": " + spa_strerror(res) + " " +
          (message ? message : ""));
    if (id == PW_ID_CORE && res == -EPIPE) {
        connected = false;
        state = EqState::ServerGone;
        Schedule();
        pw_thread_loop_signal(loop, false);
    }
}

void PipeWireEqualiser::Impl::Reconcile() {
    if (!connected) {
        DropChain();
        Disconnect();
        pw_thread_loop_signal(loop, false);
        return;
    }
    const std::uint32_t sink = FindHeadsetSink(sinks, devices, identity, inputName).value_or(SPA_ID_INVALID);
    if (sink != sinkId) {
        DropChain();
        sinkId = sink;
        chainLosses = 0;
    }
    if (sinkId == SPA_ID_INVALID) {
        state = sinkSeen ? EqState::SinkGone : EqState::NoSink;
    } else {
        sinkSeen = true;
        const bool refused = chainLosses >= kMaxChainLosses;
        if (module == nullptr && !moduleMissing && !refused) {
            LoadChain();
        }
        if (moduleMissing) {
            state = EqState::NoFilterModule;
        } else if (refused) {
            state = EqState::ChainRefused;
        } else {
            state = chainNode != nullptr ? EqState::Ready : EqState::NoChain;
        }
    }
    pw_thread_loop_signal(loop, false);
}

void PipeWireEqualiser::Impl::LoadChain() {
    eq::FilterChainSetup setup;
    setup.inputName = inputName;
    setup.outputName = outputName;
    setup.description = "Headset equaliser";
    const ObjectProperties& sink = sinks[sinkId];
    setup.targetSink = Property(sink, PW_KEY_NODE_NAME);
    const std::string description = Property(sink, PW_KEY_NODE_DESCRIPTION);
    if (!description.empty()) {
        setup.description += " (" + description + ")";
    }
    const std::string priority = Property(sink, PW_KEY_PRIORITY_SESSION);
    int value = 0;
    if (const auto [end, ec] = std::from_chars(priority.data(), priority.data() + priority.size(), value);
        !priority.empty() && ec == std::errc() && end == priority.data() + priority.size() &&
        value < INT_MAX) {
        setup.sessionPriority = value + 1;
    }
    std::array<int, kEqualiserBands> applied{};
    if (enabled) {
        applied = units;
    }
    const std::string arguments = eq::FilterChainArguments(setup, applied);
    module = pw_context_load_module(context, "libpipewire-module-filter-chain", arguments.c_str(), nullptr);
    if (module == nullptr) {
        const int error = errno;
        Trace(std::string("filter chain not loaded: ") + spa_strerror(-error));
        // A module that exists but refuses its arguments is not missing; try again on the next change.
        moduleMissing = error == ENOENT;
        return;
    }
    pw_impl_module_add_listener(module, &moduleListener, &kModuleEvents, this);
    Trace("filter chain in front of " + setup.targetSink);
}

void PipeWireEqualiser::Impl::DropChain() {
    if (chainNode != nullptr) {
        pw_proxy_destroy(chainNode);
        chainNode = nullptr;
        chainNodeId = SPA_ID_INVALID;
    }
    if (module != nullptr) {
        spa_hook_remove(&moduleListener);
        pw_impl_module_destroy(module);
        module = nullptr;
    }
}

void PipeWireEqualiser::Impl::Disconnect() {
    while (!watched.empty()) {
        Unwatch(watched.begin()->first);
    }
    if (registry != nullptr) {
        spa_hook_remove(&registryListener);
        pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry));
        registry = nullptr;
    }
    if (core != nullptr) {
        spa_hook_remove(&coreListener);
        pw_core_disconnect(core);
        core = nullptr;
    }
    devices.clear();
    sinks.clear();
    sinkId = SPA_ID_INVALID;
}

bool PipeWireEqualiser::Impl::ApplyGains(int first, int count) {
    if (chainNode == nullptr || !connected) {
        return false;
    }
    std::array<std::uint8_t, 1024> buffer{};
    spa_pod_builder builder{};
    spa_pod_builder_init(&builder, buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    spa_pod_frame object{};
    spa_pod_frame fields{};
    spa_pod_builder_push_object(&builder, &object, SPA_TYPE_OBJECT_Props, SPA_PARAM_Props);
    spa_pod_builder_prop(&builder, SPA_PROP_params, 0);
    spa_pod_builder_push_struct(&builder, &fields);
    for (int band = first; band < first + count; ++band) {
        const std::string control = eq::BandGainControl(band);
        const double gain = enabled ? eq::BandGainDb(units[static_cast<std::size_t>(band)]) : 0.0;
        spa_pod_builder_string(&builder, control.c_str());
        spa_pod_builder_float(&builder, static_cast<float>(gain));
    }
    spa_pod_builder_pop(&builder, &fields);
    auto* pod = static_cast<spa_pod*>(spa_pod_builder_pop(&builder, &object));
    if (pod == nullptr) {
        return false;
    }
    return SetNodeParam(chainNode, pod) >= 0;
}

PipeWireEqualiser::PipeWireEqualiser(const AudioDeviceIdentity& identity)
    : impl_(std::make_unique<Impl>(identity)) {
    impl_->Start();
}

PipeWireEqualiser::~PipeWireEqualiser() {
    impl_->Stop();
}

bool PipeWireEqualiser::Available() const {
    if (impl_->loop == nullptr) {
        return false;
    }
    pw_thread_loop_lock(impl_->loop);
    const bool ready = impl_->state == EqState::Ready && impl_->chainNode != nullptr;
    pw_thread_loop_unlock(impl_->loop);
    return ready;
}

std::string PipeWireEqualiser::Reason() const {
    if (impl_->loop == nullptr) {
        return std::string(StateReason(EqState::NoLoop));
    }
    pw_thread_loop_lock(impl_->loop);
    std::string reason(StateReason(impl_->state));
    pw_thread_loop_unlock(impl_->loop);
    return reason;
}

bool PipeWireEqualiser::SetEnabled(bool on) {
    if (impl_->loop == nullptr) {
        return false;
    }
    pw_thread_loop_lock(impl_->loop);
    impl_->enabled = on;
    const bool done = impl_->ApplyGains(0, kEqualiserBands);
    pw_thread_loop_unlock(impl_->loop);
    return done;
}

bool PipeWireEqualiser::SetBand(int band, int gain) {
    if (!eq::ValidBand(band) || impl_->loop == nullptr) {
        return false;
    }
    pw_thread_loop_lock(impl_->loop);
    impl_->units[static_cast<std::size_t>(band)] = gain;
    const bool done =
        impl_->enabled ? impl_->ApplyGains(band, 1) : impl_->chainNode != nullptr && impl_->connected;
    pw_thread_loop_unlock(impl_->loop);
    return done;
}

std::string PipeWireEqualiser::SinkName() const {
    return impl_->inputName;
}

std::unique_ptr<IEqualiser> MakePipeWireEqualiser(const AudioDeviceIdentity& identity) {
    return std::make_unique<PipeWireEqualiser>(identity);
}

}  // namespace norvane::devices::audio
