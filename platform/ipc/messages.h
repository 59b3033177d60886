#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The registered messages that NORVANE exchanges with other programs, as they travel on
// the session bus: names, the argument values each may carry, the
// data blocks and their limits, and the checks every message from outside passes before
// anything in the program sees it. docs/ipc.md describes the same interface for the
// authors of the other programs. Nothing here depends on Qt or on a bus.
namespace norvane::platform::ipc {

// ---- Names -------------------------------------------------------------------------------

// The program: the well-known name it owns while it runs (the named mutex "NORVANE"), the
// one object it serves and the one interface of that object.
inline constexpr std::string_view kBusName = "io.norvane.Norvane";
inline constexpr std::string_view kObjectPath = "/io/norvane/Norvane";
inline constexpr std::string_view kInterface = "io.norvane.Norvane";

// The audio-capture companion (on Windows the window "NORVANEAUDIORECORD" of class
// "NORVANEAudioRecord"): it owns this name while it runs and serves this object.
inline constexpr std::string_view kAudioRecordBusName = "io.norvane.Norvane.AudioRecord";
inline constexpr std::string_view kAudioRecordPath = "/io/norvane/Norvane/AudioRecord";
inline constexpr std::string_view kAudioRecordInterface = "io.norvane.Norvane.AudioRecord";

// The factory test tool (on Windows the window titled "DidaDero").
inline constexpr std::string_view kTestToolBusName = "io.norvane.Norvane.TestTool";
inline constexpr std::string_view kTestToolPath = "/io/norvane/Norvane/TestTool";
inline constexpr std::string_view kTestToolInterface = "io.norvane.Norvane.TestTool";

// Methods of kInterface (called by other programs) and its one signal (emitted by the program).
inline constexpr std::string_view kActivateMethod = "Activate";                // InstanceMessage
inline constexpr std::string_view kExternalForwardMethod = "ExternalForward";  // ExternalForwardMessage
inline constexpr std::string_view kLightControlMethod = "LightControl";        // LightControlMessage
inline constexpr std::string_view kDeviceReportMethod = "DeviceReport";        // DeviceReportMessage
inline constexpr std::string_view kGameStartMethod = "Game_Start";
inline constexpr std::string_view kGameEndMethod = "Game_End";
inline constexpr std::string_view kGameKillMethod = "Game_Kill";
inline constexpr std::string_view kGameDeathMethod = "Game_Death";
inline constexpr std::string_view kAudioDataMethod = "AudioData";      // the companion's copy-data blocks
inline constexpr std::string_view kLightStatusSignal = "LightStatus";  // LightStatusMessage
// Offered only while the program runs on simulated devices (norvane --simulate).
inline constexpr std::string_view kSimControlMethod = "SimControl";

// Methods of kAudioRecordInterface (AudioCaptureMessage and the kind 10 block) and of
// kTestToolInterface (the kind 5 block).
inline constexpr std::string_view kCommandMethod = "Command";
inline constexpr std::string_view kCopyDataMethod = "CopyData";

// Error names of refused calls. kErrorInvalidArgs: wrong argument types or a value outside its
// range; kErrorUnknownMethod: a member the interface does not have (the program's private
// messages 3332, 3093, ... are such members: they are not offered at all).
inline constexpr std::string_view kErrorInvalidArgs = "org.freedesktop.DBus.Error.InvalidArgs";
inline constexpr std::string_view kErrorUnknownMethod = "org.freedesktop.DBus.Error.UnknownMethod";
inline constexpr std::string_view kErrorUnknownInterface = "org.freedesktop.DBus.Error.UnknownInterface";

// ---- Values and limits ---------------------------------------------------------------------

// Copy-data kinds and their block sizes. Kinds 1 and 2 come from the companion
// (at most the size of the receive buffer, never empty: an empty block is ignored); the
// program sends kind 10 to the companion and kind 5 to the test tool, exactly these sizes.
inline constexpr std::uint32_t kAudioSamplesKind = 1;
inline constexpr std::uint32_t kAudioLevelsKind = 2;
inline constexpr std::uint32_t kAudioColourKind = 10;
inline constexpr std::uint32_t kDeviceReportKind = 5;
inline constexpr std::size_t kAudioSamplesMaxBytes = 4200;
inline constexpr std::size_t kAudioLevelsMaxBytes = 156;
inline constexpr std::size_t kAudioColourBytes = 40;
inline constexpr std::size_t kDeviceReportBytes = 1024;

// The largest light effect number a game event may carry: the light state keeps the selected
// mode as one byte. The device page checks the number against its own list.
inline constexpr std::uint32_t kMaxGameLightMode = 255;

enum class GameEventKind : std::uint8_t { kStart, kEnd, kKill, kDeath };
std::string_view GameEventName(GameEventKind kind);  // "Game_Start", ...

// A game event's first parameter: 0 remembers the current mode as the previous one
// before switching, 1 and 2 switch only.
inline constexpr std::uint32_t kMaxGamePhase = 2;

// Power broadcast events.
enum class PowerChange : std::uint32_t { kSuspend = 4, kResume = 0x12 };

// AudioCaptureMessage command codes. Their names are ours; the main window uses them so: start sends kAttach,
// kOpen, kStartCapture; stop sends kStopCapture, kClose, kDetach; the colour sliders send kRed, kGreen, kBlue
// with 0 to 255.
enum class AudioCommand : std::uint32_t {
    kAttach = 0,        // value: the program's process id (the window handle's place)
    kStartCapture = 1,  // value 0
    kStopCapture = 2,   // value 0
    kOpen = 3,          // value 0
    kClose = 4,         // value 0
    kDetach = 5,        // value 0
    kRed = 6,           // value 0..255
    kGreen = 7,         // value 0..255
    kBlue = 8,          // value 0..255
};
inline constexpr std::uint32_t kMaxAudioCommand = 8;

// ---- What a program receives ----------------------------------------------------------------

// The program's side: one of these per accepted message from outside.
struct ActivateEvent {  // a second start asks the running copy to come to the front
    friend bool operator==(const ActivateEvent&, const ActivateEvent&) = default;
};
struct ExternalForwardEvent {  // passed on unchanged to the settings window while it is open
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    friend bool operator==(const ExternalForwardEvent&, const ExternalForwardEvent&) = default;
};
struct LightControlEvent {  // take (true) or give up (false) lighting control
    bool controlling = true;
    friend bool operator==(const LightControlEvent&, const LightControlEvent&) = default;
};
struct DeviceReportEvent {  // the test tool asks for the supported-device report
    friend bool operator==(const DeviceReportEvent&, const DeviceReportEvent&) = default;
};
struct GameEvent {
    GameEventKind kind = GameEventKind::kStart;
    std::uint32_t phase = 0;      // 0 to kMaxGamePhase
    std::uint32_t lightMode = 0;  // 0 to kMaxGameLightMode
    friend bool operator==(const GameEvent&, const GameEvent&) = default;
};
struct AudioDataEvent {  // kind 1 (1 to 4200 bytes) or kind 2 (1 to 156 bytes)
    std::uint32_t kind = kAudioSamplesKind;
    std::vector<std::uint8_t> block;
    friend bool operator==(const AudioDataEvent&, const AudioDataEvent&) = default;
};
struct PowerEvent {  // from the system's power management, not from a program
    PowerChange change = PowerChange::kSuspend;
    friend bool operator==(const PowerEvent&, const PowerEvent&) = default;
};
using Event = std::variant<ActivateEvent, ExternalForwardEvent, LightControlEvent, DeviceReportEvent,
                           GameEvent, AudioDataEvent, PowerEvent>;

// The other programs' side: what the program sends them.
struct LightStatusSignal {  // LightStatusMessage (1, controlling)
    bool controlling = true;
    friend bool operator==(const LightStatusSignal&, const LightStatusSignal&) = default;
};
struct AudioCommandCall {  // to the companion
    AudioCommand code = AudioCommand::kAttach;
    std::uint32_t value = 0;
    friend bool operator==(const AudioCommandCall&, const AudioCommandCall&) = default;
};
struct CopyDataCall {  // kind 10 to the companion, kind 5 to the test tool
    std::uint32_t kind = 0;
    std::vector<std::uint8_t> block;
    friend bool operator==(const CopyDataCall&, const CopyDataCall&) = default;
};
using PeerEvent = std::variant<LightStatusSignal, AudioCommandCall, CopyDataCall>;

// ---- Arguments as they travel ----------------------------------------------------------------

// One argument of a message as the bus carries it. OtherArg stands for any type this
// interface never uses (its D-Bus signature is kept for the error text).
struct OtherArg {
    std::string signature;
    friend bool operator==(const OtherArg&, const OtherArg&) = default;
};
using WireArg = std::variant<std::uint32_t, std::int32_t, std::int64_t, std::uint64_t, bool, std::string,
                             std::vector<std::uint8_t>, OtherArg>;
using WireArgs = std::vector<WireArg>;

// The D-Bus signature of one argument ("u", "i", "x", "t", "b", "s", "ay", ...) and of a list.
std::string SignatureOf(const WireArg& arg);
std::string SignatureOf(const WireArgs& args);

// A call or signal refused: the error name (kErrorInvalidArgs, ...) and a one-line reason.
struct Refusal {
    std::string error;
    std::string message;
    friend bool operator==(const Refusal&, const Refusal&) = default;
};
// Accepted and answered, but nothing to hand on (an empty audio block).
struct Ignored {
    friend bool operator==(const Ignored&, const Ignored&) = default;
};

template <typename T>
using Decoded = std::variant<T, Ignored, Refusal>;

// The checks of every message from outside. `interface` may be empty (D-Bus allows a call
// without one); any other interface than the expected one is refused.
//
// A call to the program (kInterface):
//   Activate()                       -> ActivateEvent
//   ExternalForward(u first, u second) -> ExternalForwardEvent, any values
//   LightControl(u first, u second)  -> first must be 1, second 0 or 1
//   DeviceReport()                   -> DeviceReportEvent
//   Game_Start/_End/_Kill/_Death(u phase, u lightMode) -> phase 0..2, lightMode 0..255
//   AudioData(u kind, ay block)      -> kind 1 with 1..4200 bytes or kind 2 with 1..156 bytes;
//                                       an empty block is Ignored; anything else is refused
Decoded<Event> DecodeProgramCall(std::string_view interface, std::string_view method, const WireArgs& args);

// A call to the companion (kAudioRecordInterface):
//   Command(u code, u value) -> the codes and values of AudioCommand
//   CopyData(u kind, ay block) -> kind 10 with exactly 40 bytes
Decoded<PeerEvent> DecodeAudioRecordCall(std::string_view interface, std::string_view method,
                                         const WireArgs& args);

// A call to the test tool (kTestToolInterface): CopyData(u kind, ay block), kind 5 with
// exactly 1024 bytes.
Decoded<PeerEvent> DecodeTestToolCall(std::string_view interface, std::string_view method,
                                      const WireArgs& args);

// The program's LightStatus signal: (u first, u second), first 1, second 0 or 1.
Decoded<PeerEvent> DecodeLightStatusSignal(const WireArgs& args);

// SimControl(s action, s product) of kInterface: the two strings as sent. Whether the action
// and the product are known is for the simulator to say.
struct SimControlRequest {
    std::string action;
    std::string product;
    friend bool operator==(const SimControlRequest&, const SimControlRequest&) = default;
};
std::variant<SimControlRequest, Refusal> DecodeSimControlCall(std::string_view interface,
                                                              const WireArgs& args);

// ---- What the program sends --------------------------------------------------------------------

// The arguments of the LightStatus signal.
WireArgs LightStatusArgs(bool controlling);

// Whether a command may be sent: a known code with a value in its range (see AudioCommand).
bool IsValidAudioCommand(std::uint32_t code, std::uint32_t value);

// The kind 10 block: red, green and blue as little-endian 32-bit values, a green
// of 0 sent as 1, the remaining 28 bytes zero.
std::array<std::uint8_t, kAudioColourBytes> MakeAudioColourBlock(std::uint8_t red, std::uint8_t green,
                                                                 std::uint8_t blue);

// One tile row of the test tool report.
struct DeviceReportRow {
    std::uint32_t vendorId = 0;
    std::uint32_t productId = 0;
    std::uint32_t kind = 0;
};
// The most rows that fit the report: (256 - 5) / 3.
inline constexpr std::size_t kMaxDeviceReportRows = 83;

// The kind 5 block: 256 little-endian 32-bit integers: the four version bytes one
// per integer, the number of rows, then vendor, product and kind per row, the rest zero.
// Nothing when there are more than kMaxDeviceReportRows rows.
std::optional<std::array<std::uint8_t, kDeviceReportBytes>> MakeDeviceReportBlock(
    std::span<const std::uint8_t, 4> version, std::span<const DeviceReportRow> rows);

// A 32-bit little-endian value of a block at a byte offset (0 past the end), for readers of
// the blocks above and of the companion's kind 1 and 2 blocks.
std::uint32_t ReadBlockWord(std::span<const std::uint8_t> block, std::size_t offset);

// A short text for traces and test messages: "LightControl(false)", "AudioData(1, 2000 bytes)".
std::string Describe(const Event& event);
std::string Describe(const PeerEvent& event);

}  // namespace norvane::platform::ipc
