#include "platform/ipc/messages.h"

#include <algorithm>

#include <string>

namespace norvane::platform::ipc {
namespace {

template <typename>
inline constexpr bool kAlwaysFalse = false;

Refusal InvalidArgs(std::string message) {
    return Refusal{std::string(kErrorInvalidArgs), std::move(message)};
}

// Checks the signature of a call before any value is read.
std::optional<Refusal> ExpectSignature(std::string_view member, const WireArgs& args,
                                       std::string_view expected) {
    const std::string actual = SignatureOf(args);
    if (actual == expected) {
        return std::nullopt;
    }
    return InvalidArgs(std::string(member) + " takes (" + std::string(expected) + "), got (" + actual + ")");
}

std::optional<Refusal> CheckInterface(std::string_view interface, std::string_view expected) {
    if (interface.empty() || interface == expected) {
        return std::nullopt;
    }
    return Refusal{std::string(kErrorUnknownInterface), "no interface " + std::string(interface)};
}

Refusal UnknownMethod(std::string_view interface, std::string_view method) {
    return Refusal{std::string(kErrorUnknownMethod),
                   "no method " + std::string(method) + " in interface " + std::string(interface)};
}

std::uint32_t U32(const WireArg& arg) {
    return std::get<std::uint32_t>(arg);
}
const std::vector<std::uint8_t>& Bytes(const WireArg& arg) {
    return std::get<std::vector<std::uint8_t>>(arg);
}

std::optional<GameEventKind> GameKindOf(std::string_view method) {
    for (const GameEventKind kind :
         {GameEventKind::kStart, GameEventKind::kEnd, GameEventKind::kKill, GameEventKind::kDeath}) {
        if (method == GameEventName(kind)) {
            return kind;
        }
    }
    return std::nullopt;
}

// Reads (u kind, ay block) and checks the kind and size against the allowed ones.
struct BlockRule {
    std::uint32_t kind;
    std::size_t minBytes;  // 0: an empty block is ignored rather than refused
    std::size_t maxBytes;
};

template <typename T, typename Make>
Decoded<T> DecodeBlock(std::string_view member, const WireArgs& args, std::span<const BlockRule> rules,
                       Make make) {
    if (auto refusal = ExpectSignature(member, args, "uay")) {
        return *refusal;
    }
    const std::uint32_t kind = U32(args[0]);
    const auto& block = Bytes(args[1]);
    for (const BlockRule& rule : rules) {
        if (rule.kind != kind) {
            continue;
        }
        if (block.empty() && rule.minBytes == 0) {
            return Ignored{};
        }
        if (block.size() < std::max<std::size_t>(rule.minBytes, 1) || block.size() > rule.maxBytes) {
            const std::string range = rule.minBytes == rule.maxBytes
                                          ? std::to_string(rule.maxBytes)
                                          : "1 to " + std::to_string(rule.maxBytes);
            return InvalidArgs(std::string(member) + " kind " + std::to_string(kind) + " takes " + range +
                               " bytes, got " + std::to_string(block.size()));
        }
        return make(kind, block);
    }
    return InvalidArgs(std::string(member) + ": unknown data kind " + std::to_string(kind));
}

void PutWord(std::span<std::uint8_t> block, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        block[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

std::string_view GameEventName(GameEventKind kind) {
    switch (kind) {
        case GameEventKind::kStart:
            return kGameStartMethod;
        case GameEventKind::kEnd:
            return kGameEndMethod;
        case GameEventKind::kKill:
            return kGameKillMethod;
        case GameEventKind::kDeath:
            return kGameDeathMethod;
    }
    return {};
}

std::string SignatureOf(const WireArg& arg) {
    return std::visit(
        [](const auto& value) -> std::string {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::uint32_t>) {
                return "u";
            } else if constexpr (std::is_same_v<T, std::int32_t>) {
                return "i";
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return "x";
            } else if constexpr (std::is_same_v<T, std::uint64_t>) {
                return "t";
            } else if constexpr (std::is_same_v<T, bool>) {
                return "b";
            } else if constexpr (std::is_same_v<T, std::string>) {
                return "s";
            } else if constexpr (std::is_same_v<T, std::vector<std::uint8_t>>) {
                return "ay";
            } else if constexpr (std::is_same_v<T, OtherArg>) {
                return value.signature;
            } else {
                static_assert(kAlwaysFalse<T>);
            }
        },
        arg);
}

std::string SignatureOf(const WireArgs& args) {
    std::string signature;
    for (const WireArg& arg : args) {
        signature += SignatureOf(arg);
    }
    return signature;
}

Decoded<Event> DecodeProgramCall(std::string_view interface, std::string_view method, const WireArgs& args) {
    if (auto refusal = CheckInterface(interface, kInterface)) {
        return *refusal;
    }
    if (method == kActivateMethod || method == kDeviceReportMethod) {
        if (auto refusal = ExpectSignature(method, args, "")) {
            return *refusal;
        }
        return method == kActivateMethod ? Event{ActivateEvent{}} : Event{DeviceReportEvent{}};
    }
    if (method == kExternalForwardMethod) {
        if (auto refusal = ExpectSignature(method, args, "uu")) {
            return *refusal;
        }
        return Event{ExternalForwardEvent{U32(args[0]), U32(args[1])}};
    }
    if (method == kLightControlMethod) {
        if (auto refusal = ExpectSignature(method, args, "uu")) {
            return *refusal;
        }
        if (U32(args[0]) != 1) {
            return InvalidArgs("LightControl: first parameter must be 1, got " +
                               std::to_string(U32(args[0])));
        }
        if (U32(args[1]) > 1) {
            return InvalidArgs("LightControl: second parameter must be 0 or 1, got " +
                               std::to_string(U32(args[1])));
        }
        return Event{LightControlEvent{U32(args[1]) == 1}};
    }
    if (const auto kind = GameKindOf(method)) {
        if (auto refusal = ExpectSignature(method, args, "uu")) {
            return *refusal;
        }
        if (U32(args[0]) > kMaxGamePhase) {
            return InvalidArgs(std::string(method) + ": first parameter must be 0, 1 or 2, got " +
                               std::to_string(U32(args[0])));
        }
        if (U32(args[1]) > kMaxGameLightMode) {
            return InvalidArgs(std::string(method) + ": light mode must be 0 to 255, got " +
                               std::to_string(U32(args[1])));
        }
        return Event{GameEvent{*kind, U32(args[0]), U32(args[1])}};
    }
    if (method == kAudioDataMethod) {
        static constexpr BlockRule kRules[] = {{kAudioSamplesKind, 0, kAudioSamplesMaxBytes},
                                               {kAudioLevelsKind, 0, kAudioLevelsMaxBytes}};
        return DecodeBlock<Event>(method, args, kRules,
                                  [](std::uint32_t kind, const std::vector<std::uint8_t>& block) {
                                      return Event{AudioDataEvent{kind, block}};
                                  });
    }
    return UnknownMethod(kInterface, method);
}

std::variant<SimControlRequest, Refusal> DecodeSimControlCall(std::string_view interface,
                                                              const WireArgs& args) {
    if (auto refusal = CheckInterface(interface, kInterface)) {
        return *refusal;
    }
    if (auto refusal = ExpectSignature(kSimControlMethod, args, "ss")) {
        return *refusal;
    }
    return SimControlRequest{std::get<std::string>(args[0]), std::get<std::string>(args[1])};
}

Decoded<PeerEvent> DecodeAudioRecordCall(std::string_view interface, std::string_view method,
                                         const WireArgs& args) {
    if (auto refusal = CheckInterface(interface, kAudioRecordInterface)) {
        return *refusal;
    }
    if (method == kCommandMethod) {
        if (auto refusal = ExpectSignature(method, args, "uu")) {
            return *refusal;
        }
        if (!IsValidAudioCommand(U32(args[0]), U32(args[1]))) {
            return InvalidArgs("Command: code " + std::to_string(U32(args[0])) + " does not take the value " +
                               std::to_string(U32(args[1])));
        }
        return PeerEvent{AudioCommandCall{static_cast<AudioCommand>(U32(args[0])), U32(args[1])}};
    }
    if (method == kCopyDataMethod) {
        static constexpr BlockRule kRules[] = {{kAudioColourKind, kAudioColourBytes, kAudioColourBytes}};
        return DecodeBlock<PeerEvent>(method, args, kRules,
                                      [](std::uint32_t kind, const std::vector<std::uint8_t>& block) {
                                          return PeerEvent{CopyDataCall{kind, block}};
                                      });
    }
    return UnknownMethod(kAudioRecordInterface, method);
}

Decoded<PeerEvent> DecodeTestToolCall(std::string_view interface, std::string_view method,
                                      const WireArgs& args) {
    if (auto refusal = CheckInterface(interface, kTestToolInterface)) {
        return *refusal;
    }
    if (method == kCopyDataMethod) {
        static constexpr BlockRule kRules[] = {{kDeviceReportKind, kDeviceReportBytes, kDeviceReportBytes}};
        return DecodeBlock<PeerEvent>(method, args, kRules,
                                      [](std::uint32_t kind, const std::vector<std::uint8_t>& block) {
                                          return PeerEvent{CopyDataCall{kind, block}};
                                      });
    }
    return UnknownMethod(kTestToolInterface, method);
}

Decoded<PeerEvent> DecodeLightStatusSignal(const WireArgs& args) {
    if (auto refusal = ExpectSignature(kLightStatusSignal, args, "uu")) {
        return *refusal;
    }
    if (U32(args[0]) != 1 || U32(args[1]) > 1) {
        return InvalidArgs("LightStatus: (1, 0) or (1, 1) expected");
    }
    return PeerEvent{LightStatusSignal{U32(args[1]) == 1}};
}

WireArgs LightStatusArgs(bool controlling) {
    return {std::uint32_t{1}, std::uint32_t{controlling ? 1u : 0u}};
}

bool IsValidAudioCommand(std::uint32_t code, std::uint32_t value) {
    switch (code) {
        case static_cast<std::uint32_t>(AudioCommand::kAttach):
            return true;
        case static_cast<std::uint32_t>(AudioCommand::kStartCapture):
        case static_cast<std::uint32_t>(AudioCommand::kStopCapture):
        case static_cast<std::uint32_t>(AudioCommand::kOpen):
        case static_cast<std::uint32_t>(AudioCommand::kClose):
        case static_cast<std::uint32_t>(AudioCommand::kDetach):
            return value == 0;
        case static_cast<std::uint32_t>(AudioCommand::kRed):
        case static_cast<std::uint32_t>(AudioCommand::kGreen):
        case static_cast<std::uint32_t>(AudioCommand::kBlue):
            return value <= 255;
        default:
            return false;
    }
}

std::array<std::uint8_t, kAudioColourBytes> MakeAudioColourBlock(std::uint8_t red, std::uint8_t green,
                                                                 std::uint8_t blue) {
    std::array<std::uint8_t, kAudioColourBytes> block{};
    PutWord(block, 0, red);
    PutWord(block, 4, green == 0 ? 1u : green);
    PutWord(block, 8, blue);
    return block;
}

std::optional<std::array<std::uint8_t, kDeviceReportBytes>> MakeDeviceReportBlock(
    std::span<const std::uint8_t, 4> version, std::span<const DeviceReportRow> rows) {
    if (rows.size() > kMaxDeviceReportRows) {
        return std::nullopt;
    }
    std::array<std::uint8_t, kDeviceReportBytes> block{};
    for (std::size_t i = 0; i < 4; ++i) {
        PutWord(block, 4 * i, version[i]);
    }
    PutWord(block, 16, static_cast<std::uint32_t>(rows.size()));
    std::size_t offset = 20;
    for (const DeviceReportRow& row : rows) {
        PutWord(block, offset, row.vendorId);
        PutWord(block, offset + 4, row.productId);
        PutWord(block, offset + 8, row.kind);
        offset += 12;
    }
    return block;
}

std::uint32_t ReadBlockWord(std::span<const std::uint8_t> block, std::size_t offset) {
    if (offset > block.size() || block.size() - offset < 4) {
        return 0;
    }
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(block[offset + i]) << (8 * i);
    }
    return value;
}

std::string Describe(const Event& event) {
    return std::visit(
        [](const auto& e) -> std::string {
            using T = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<T, ActivateEvent>) {
                return "Activate()";
            } else if constexpr (std::is_same_v<T, ExternalForwardEvent>) {
                return "ExternalForward(" + std::to_string(e.first) + ", " + std::to_string(e.second) + ")";
            } else if constexpr (std::is_same_v<T, LightControlEvent>) {
                return std::string("LightControl(") + (e.controlling ? "true" : "false") + ")";
            } else if constexpr (std::is_same_v<T, DeviceReportEvent>) {
                return "DeviceReport()";
            } else if constexpr (std::is_same_v<T, GameEvent>) {
                return std::string(GameEventName(e.kind)) + "(" + std::to_string(e.phase) + ", " +
                       std::to_string(e.lightMode) + ")";
            } else if constexpr (std::is_same_v<T, AudioDataEvent>) {
                return "AudioData(" + std::to_string(e.kind) + ", " + std::to_string(e.block.size()) +
                       " bytes)";
            } else if constexpr (std::is_same_v<T, PowerEvent>) {
                return e.change == PowerChange::kSuspend ? "Power(suspend)" : "Power(resume)";
            } else {
                static_assert(kAlwaysFalse<T>);
            }
        },
        event);
}

std::string Describe(const PeerEvent& event) {
    return std::visit(
        [](const auto& e) -> std::string {
            using T = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<T, LightStatusSignal>) {
                return std::string("LightStatus(") + (e.controlling ? "true" : "false") + ")";
            } else if constexpr (std::is_same_v<T, AudioCommandCall>) {
                return "Command(" + std::to_string(static_cast<std::uint32_t>(e.code)) + ", " +
                       std::to_string(e.value) + ")";
            } else if constexpr (std::is_same_v<T, CopyDataCall>) {
                return "CopyData(" + std::to_string(e.kind) + ", " + std::to_string(e.block.size()) +
                       " bytes)";
            } else {
                static_assert(kAlwaysFalse<T>);
            }
        },
        event);
}

}  // namespace norvane::platform::ipc
