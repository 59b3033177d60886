#pragma once

#include "config/macro_library.h"
#include "tests/device/sim_fixture.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <span>
#include <vector>

namespace norvane::test {

using Bytes = std::vector<std::uint8_t>;

// A simulated product on a channel, its data folder with a macro library, and the requests a
// sequence must put on the wire.
class WireTest : public SimChannelTest {
protected:
    // Chunked requests of one transfer, cut as the channel cuts them.
    std::vector<Bytes> Chunks(std::uint8_t command, std::size_t length, std::uint16_t base,
                              const Bytes& data = {}, std::size_t chunk = 56) const {
        std::vector<Bytes> requests;
        for (std::size_t at = 0; at < length; at += chunk) {
            const std::size_t n = std::min(chunk, length - at);
            const auto part = data.empty() ? std::span<const std::uint8_t>{} : std::span(data).subspan(at, n);
            requests.push_back(ExpectedRequest(command, static_cast<std::uint8_t>(n),
                                               static_cast<std::uint16_t>(base + at), part));
        }
        return requests;
    }
    static void Append(std::vector<Bytes>& to, const std::vector<Bytes>& more) {
        to.insert(to.end(), more.begin(), more.end());
    }
    static Bytes Single(std::uint8_t command) { return ExpectedRequest(command, 0, 0); }

    std::vector<std::uint8_t> CommandBytes() const {
        std::vector<std::uint8_t> commands;
        for (const Bytes& request : Sent()) {
            commands.push_back(request[3]);
        }
        return commands;
    }

    // A library of the given macros, each with its events.
    void MakeMacros(const std::vector<std::vector<config::MacroEvent>>& macros) {
        config::MacroLibrary library(folder_.Path());
        library.Load();
        for (const auto& events : macros) {
            ASSERT_FALSE(library.NewMacro().empty());
            ASSERT_TRUE(library.Save(library.Count() - 1, events));
        }
    }

    static std::vector<config::MacroEvent> KeyPresses(int count, int key) {
        std::vector<config::MacroEvent> events;
        for (int i = 0; i < count; ++i) {
            events.push_back({10, key, i % 2 == 0 ? "down" : "up", 20 + i});
        }
        return events;
    }

    TempDir folder_;  // the device's data folder
};

}  // namespace norvane::test
