#include "platform/ipc/in_process_bus.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/ipc/event_relay.h"

namespace norvane::platform::ipc {

namespace {
class ProgramNode;
class PeerNode;
}  // namespace

struct InProcessBus::State {
    std::mutex mutex;
    std::vector<std::weak_ptr<ProgramNode>> programs;
    std::weak_ptr<ProgramNode> owner;  // of kBusName
    std::vector<std::weak_ptr<PeerNode>> peers;

    // The endpoints of `list` still alive; forgets the others.
    template <typename T>
    static std::vector<std::shared_ptr<T>> Alive(std::vector<std::weak_ptr<T>>& list) {
        std::erase_if(list, [](const std::weak_ptr<T>& weak) { return weak.expired(); });
        std::vector<std::shared_ptr<T>> alive;
        for (const auto& weak : list) {
            if (auto strong = weak.lock()) {
                alive.push_back(std::move(strong));
            }
        }
        return alive;
    }
};

namespace {

class ProgramNode {
public:
    EventRelay<Event> relay;

    void SetSimControl(SimControlHandler handler) {
        const std::scoped_lock lock(simMutex_);
        sim_ = std::move(handler);
    }
    // Nothing while no handler is installed (the method is not offered). Runs the handler
    // under the lock, so that once SetSimControl({}) returns it never runs.
    std::optional<CallResult> SimControl(const WireArgs& args) {
        const std::scoped_lock lock(simMutex_);
        if (!sim_) {
            return std::nullopt;
        }
        auto request = DecodeSimControlCall(kInterface, args);
        std::optional<Refusal> refusal;
        if (auto* bad = std::get_if<Refusal>(&request)) {
            refusal = std::move(*bad);
        } else {
            refusal = sim_(std::get<SimControlRequest>(request));
        }
        if (refusal) {
            return CallResult{false, refusal->error, refusal->message};
        }
        return CallResult{true, {}, {}};
    }

private:
    std::mutex simMutex_;
    SimControlHandler sim_;
};

class PeerNode {
public:
    explicit PeerNode(PeerRole r) : role(r) {}
    const PeerRole role;
    EventRelay<PeerEvent> relay;
};

std::shared_ptr<PeerNode> FindPeer(const std::shared_ptr<InProcessBus::State>& state, PeerRole role) {
    const std::scoped_lock lock(state->mutex);
    for (auto& peer : InProcessBus::State::Alive(state->peers)) {
        if (peer->role == role) {
            return peer;
        }
    }
    return nullptr;
}

// Hands a peer-side call to the peer with `role` after the peer-side checks.
bool CallPeer(const std::shared_ptr<InProcessBus::State>& state, PeerRole role, std::string_view method,
              const WireArgs& args) {
    auto peer = FindPeer(state, role);
    if (!peer) {
        return false;
    }
    auto decoded = role == PeerRole::kAudioRecord ? DecodeAudioRecordCall(kAudioRecordInterface, method, args)
                                                  : DecodeTestToolCall(kTestToolInterface, method, args);
    if (auto* event = std::get_if<PeerEvent>(&decoded)) {
        peer->relay.Deliver(std::move(*event));
        return true;
    }
    return std::holds_alternative<Ignored>(decoded);
}

class ProgramEndpoint final : public IBus {
public:
    explicit ProgramEndpoint(std::shared_ptr<InProcessBus::State> state)
        : state_(std::move(state)), node_(std::make_shared<ProgramNode>()) {
        const std::scoped_lock lock(state_->mutex);
        state_->programs.push_back(node_);
    }

    void SetEventHandler(EventHandler handler) override { node_->relay.SetHandler(std::move(handler)); }

    InstanceClaim ClaimInstance() override {
        std::shared_ptr<ProgramNode> owner;
        {
            const std::scoped_lock lock(state_->mutex);
            owner = state_->owner.lock();
            if (!owner) {
                state_->owner = node_;
                return InstanceClaim::kPrimary;
            }
        }
        if (owner == node_) {
            return InstanceClaim::kPrimary;
        }
        owner->relay.Deliver(ActivateEvent{});
        return InstanceClaim::kWokeRunning;
    }

    void SetSimControl(SimControlHandler handler) override { node_->SetSimControl(std::move(handler)); }

    bool BroadcastLightStatus(bool controlling) override {
        std::vector<std::shared_ptr<PeerNode>> peers;
        {
            const std::scoped_lock lock(state_->mutex);
            peers = InProcessBus::State::Alive(state_->peers);
        }
        for (auto& peer : peers) {
            auto decoded = DecodeLightStatusSignal(LightStatusArgs(controlling));
            if (auto* event = std::get_if<PeerEvent>(&decoded)) {
                peer->relay.Deliver(std::move(*event));
            }
        }
        return true;
    }

    bool AudioRecordPresent() override { return FindPeer(state_, PeerRole::kAudioRecord) != nullptr; }

    bool SendAudioCommand(AudioCommand code, std::uint32_t value) override {
        const auto raw = static_cast<std::uint32_t>(code);
        if (!IsValidAudioCommand(raw, value)) {
            return false;
        }
        return CallPeer(state_, PeerRole::kAudioRecord, kCommandMethod, {raw, value});
    }

    bool SendAudioColour(std::span<const std::uint8_t> block) override {
        if (block.size() != kAudioColourBytes) {
            return false;
        }
        return CallPeer(state_, PeerRole::kAudioRecord, kCopyDataMethod,
                        {kAudioColourKind, std::vector<std::uint8_t>(block.begin(), block.end())});
    }

    bool SendDeviceReport(std::span<const std::uint8_t> block) override {
        if (block.size() != kDeviceReportBytes) {
            return false;
        }
        return CallPeer(state_, PeerRole::kTestTool, kCopyDataMethod,
                        {kDeviceReportKind, std::vector<std::uint8_t>(block.begin(), block.end())});
    }

    [[nodiscard]] std::string Describe() const override { return "in-process bus"; }

private:
    std::shared_ptr<InProcessBus::State> state_;
    std::shared_ptr<ProgramNode> node_;
};

class PeerEndpoint final : public IPeer {
public:
    PeerEndpoint(std::shared_ptr<InProcessBus::State> state, std::shared_ptr<PeerNode> node)
        : state_(std::move(state)), node_(std::move(node)) {}

    void SetEventHandler(PeerEventHandler handler) override { node_->relay.SetHandler(std::move(handler)); }

    CallResult CallProgram(std::string_view method, const WireArgs& args) override {
        std::shared_ptr<ProgramNode> owner;
        {
            const std::scoped_lock lock(state_->mutex);
            owner = state_->owner.lock();
        }
        if (!owner) {
            return {false, "org.freedesktop.DBus.Error.ServiceUnknown",
                    "The name " + std::string(kBusName) + " is not owned"};
        }
        if (method == kSimControlMethod) {
            if (auto result = owner->SimControl(args)) {
                return *result;
            }
        }
        auto decoded = DecodeProgramCall(kInterface, method, args);
        if (auto* refusal = std::get_if<Refusal>(&decoded)) {
            return {false, refusal->error, refusal->message};
        }
        if (auto* event = std::get_if<Event>(&decoded)) {
            owner->relay.Deliver(std::move(*event));
        }
        return {true, {}, {}};
    }

    bool PostToProgram(std::string_view method, const WireArgs& args) override {
        return CallProgram(method, args).ok;
    }

    bool ProgramPresent() override {
        const std::scoped_lock lock(state_->mutex);
        return !state_->owner.expired();
    }

private:
    std::shared_ptr<InProcessBus::State> state_;
    std::shared_ptr<PeerNode> node_;
};

}  // namespace

InProcessBus::InProcessBus() : state_(std::make_shared<State>()) {
}
InProcessBus::~InProcessBus() = default;

std::unique_ptr<IBus> InProcessBus::ConnectProgram() {
    return std::make_unique<ProgramEndpoint>(state_);
}

std::unique_ptr<IPeer> InProcessBus::ConnectPeer(PeerRole role) {
    auto node = std::make_shared<PeerNode>(role);
    {
        const std::scoped_lock lock(state_->mutex);
        if (role != PeerRole::kObserver) {
            for (auto& peer : State::Alive(state_->peers)) {
                if (peer->role == role) {
                    return nullptr;
                }
            }
        }
        state_->peers.push_back(node);
    }
    return std::make_unique<PeerEndpoint>(state_, std::move(node));
}

void InProcessBus::EmitPower(PowerChange change) {
    std::vector<std::shared_ptr<ProgramNode>> programs;
    {
        const std::scoped_lock lock(state_->mutex);
        programs = State::Alive(state_->programs);
    }
    for (auto& program : programs) {
        program->relay.Deliver(PowerEvent{change});
    }
}

}  // namespace norvane::platform::ipc
