#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/ipc/messages.h"

// The program's link to other programs: single instance, the
// registered messages between programs, the companion's data and the power broadcast.
//
// Backends: the session D-Bus (platform/ipc/dbus/, QtDBus) and an in-process bus for tests
// (platform/ipc/in_process_bus.h). Every message from outside is checked by the decoders of
// messages.h before it becomes an Event; a refused one never reaches the handler.
namespace norvane::platform::ipc {

// Receives every accepted event. Calls are serialised (never two at once for one bus) and
// come on a thread of the backend: the D-Bus backend's own thread, the wake-up thread of the
// lock file, or for the in-process bus the thread of the sender. A handler must return
// quickly and must not call SetEventHandler; the usual handler is EventQueue::Handler()
// (event_queue.h), which hands the events to the thread the caller chooses, for example by
// posting a window message to the main window that then drains the queue.
using EventHandler = std::function<void(Event)>;

// Carries out a SimControl call; nothing when done, else why it was refused (an unknown action
// or product: kErrorInvalidArgs). Called on a thread of the backend, like EventHandler.
using SimControlHandler = std::function<std::optional<Refusal>(const SimControlRequest&)>;

// What a start makes of the single-instance check.
enum class InstanceClaim {
    kPrimary,          // this copy is the one that runs
    kWokeRunning,      // another copy runs and was asked to come to the front: exit 0
    kRunningNotWoken,  // another copy runs but did not answer: exit 0 all the same
};
std::string_view Describe(InstanceClaim claim);

// The program's side of the bus.
class IBus {
public:
    virtual ~IBus() = default;

    // Installs the handler. Events accepted while there is none are kept (the most recent
    // 256) and handed to it here, in order. Whatever the handler uses must outlive the bus, or
    // be detached first with SetEventHandler({}): once that returns, the old handler never runs.
    virtual void SetEventHandler(EventHandler handler) = 0;

    // Offers SimControl on the program's object while a handler is installed; without one the
    // method does not exist (kErrorUnknownMethod). The same lifetime rules as SetEventHandler.
    virtual void SetSimControl(SimControlHandler handler) = 0;

    // Takes the single-instance name (on Windows the named mutex "NORVANE"); when another copy
    // holds it, wakes that copy (it receives ActivateEvent) and reports so. Messages from
    // outside are accepted only after this returned kPrimary. Call once.
    virtual InstanceClaim ClaimInstance() = 0;

    // LightStatusMessage: broadcast (1, controlling) to every program listening. False when
    // there is no bus to broadcast on.
    virtual bool BroadcastLightStatus(bool controlling) = 0;

    // Whether the audio-capture companion runs ("find the companion window").
    virtual bool AudioRecordPresent() = 0;

    // AudioCaptureMessage to the companion. Refuses (false, nothing sent) a code or value
    // outside the table of AudioCommand; false also when the companion is absent or did not
    // accept it within the call time-out (1500 ms).
    virtual bool SendAudioCommand(AudioCommand code, std::uint32_t value) = 0;

    // The kind 10 block to the companion (exactly 40 bytes, MakeAudioColourBlock); waits at
    // most 1500 ms for its answer. False when refused, absent or not answered.
    virtual bool SendAudioColour(std::span<const std::uint8_t> block) = 0;

    // The kind 5 block to the test tool (exactly 1024 bytes, MakeDeviceReportBlock). False
    // when refused or when no test tool runs (then nothing happens).
    virtual bool SendDeviceReport(std::span<const std::uint8_t> block) = 0;

    // How the bus is reached, for diagnostics: "session bus", "lock file only", ...
    [[nodiscard]] virtual std::string Describe() const = 0;
};

// The answer to a call made by a peer.
struct CallResult {
    bool ok = false;
    std::string error;    // the error name when refused (kErrorInvalidArgs, ...)
    std::string message;  // its text
};

// The roles an outside program can take: the companion and the test tool own their names
// and receive the program's calls; kObserver only calls the program and hears LightStatus.
enum class PeerRole { kObserver, kAudioRecord, kTestTool };

// Receives what the program sends a peer, after the peer-side checks of messages.h.
using PeerEventHandler = std::function<void(PeerEvent)>;

// Another program on the bus, as the companion, the test tool or any program would be: a test
// double for the tests and the base of those programs. Calls go to the program's object with
// raw arguments, so that tests can send what a careless or hostile program would.
class IPeer {
public:
    virtual ~IPeer() = default;
    virtual void SetEventHandler(PeerEventHandler handler) = 0;
    // Calls a method of kInterface on the program (blocking, 1500 ms at most).
    virtual CallResult CallProgram(std::string_view method, const WireArgs& args) = 0;
    // The same call without waiting for its answer (a stream of data that must not stall the
    // sender); false when it could not even be sent.
    virtual bool PostToProgram(std::string_view method, const WireArgs& args) = 0;
    // Whether the program owns its bus name now.
    virtual bool ProgramPresent() = 0;
};

}  // namespace norvane::platform::ipc
