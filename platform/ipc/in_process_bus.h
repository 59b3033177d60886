#pragma once

#include <memory>

#include "platform/ipc/bus.h"

namespace norvane::platform::ipc {

// A bus inside one process, with the rules of the session bus that matter here: one owner of
// the program's name (the first program endpoint that claims it), one companion and one test
// tool, LightStatus heard by every peer, and every call checked by the same decoders as on
// D-Bus. Events are delivered synchronously on the sending thread. Thread-safe; endpoints may
// outlive the InProcessBus object (they then talk to nobody).
//
// The main window's tests connect the window to ConnectProgram() and play the outside
// programs with ConnectPeer(); EmitPower plays logind.
class InProcessBus {
public:
    InProcessBus();
    ~InProcessBus();
    InProcessBus(const InProcessBus&) = delete;
    InProcessBus& operator=(const InProcessBus&) = delete;

    // A program's endpoint: a copy of NORVANE.
    std::unique_ptr<IBus> ConnectProgram();

    // Another program. Nothing when the role's name is already owned (a second companion).
    std::unique_ptr<IPeer> ConnectPeer(PeerRole role);

    // The power broadcast, as logind's PrepareForSleep would bring it, to every program endpoint.
    void EmitPower(PowerChange change);

    struct State;

private:
    std::shared_ptr<State> state_;
};

}  // namespace norvane::platform::ipc
