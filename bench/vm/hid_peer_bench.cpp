// Request/answer latency of HidChannel against hidapi on the same hidraw node: both send
// the same status request to the keyboard's command collection and wait for its answer.
// Run where a real kernel hidraw device answers (the uhid simulator in a VM, or hardware).

#include "device/catalogue.h"
#include "device/command_packet.h"
#include "device/hid_channel.h"
#include "device/hidraw_backend.h"
#include "device/path_keys.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace norvane::device;
using Clock = std::chrono::steady_clock;

struct Stats {
    double median = 0;
    double p99 = 0;
};

Stats Summarise(std::vector<double> samples) {
    if (samples.empty()) {
        return {};
    }
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[std::min(samples.size() - 1, samples.size() * 99 / 100)]};
}

std::string FindCommandPath(HidBackend& backend) {
    std::vector<std::string> paths;
    backend.Enumerate(paths);
    for (const std::string& path : paths) {
        if (VendorIdFromPath(path) == 0x320F && ProductIdFromPath(path) == 0x50B7 &&
            CollectionNumberFromPath(path) == 4) {
            return path;
        }
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    int count = 10000;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--count" && i + 1 < argc) {
            count = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: norvane-hid-peer-bench [--count N]\n");
            return 2;
        }
    }
    HidrawBackend backend;
    const std::string path = FindCommandPath(backend);
    if (path.empty()) {
        std::fprintf(stderr, "norvane-hid-peer-bench: no keyboard 320f:50b7 command collection found\n");
        return 1;
    }
    const std::string node(PathNode(path));

    HidChannel channel(&backend);
    if (!channel.Cable().Open(path, true, true, true, false)) {
        std::fprintf(stderr, "norvane-hid-peer-bench: cannot open %s\n", path.c_str());
        return 1;
    }
    channel.SetLinkMode(LinkMode::Cable);
    channel.SetOpen(true);

    if (hid_init() != 0) {
        return 1;
    }
    hid_device* peer = hid_open_path(node.c_str());
    if (peer == nullptr) {
        std::fprintf(stderr, "norvane-hid-peer-bench: hidapi cannot open %s\n", node.c_str());
        return 1;
    }

    const CommandPacket request = CommandPacket::Request(Command::ReadStatus, 6, 0);
    std::vector<double> ours;
    std::vector<double> theirs;
    ours.reserve(static_cast<std::size_t>(count));
    theirs.reserve(static_cast<std::size_t>(count));
    int failures = 0;
    // Alternate in blocks, each side first in every other pair of blocks, so both see the same
    // machine conditions. The kernel copies every answer into both open files, so each side
    // first empties its queue of the other's answers (untimed): each exchange then waits for
    // its own answer, as a single client's does.
    const auto runOurs = [&](int n) {
        Report stale{};
        std::size_t staleCount = 0;
        while (channel.Cable().ReadReport(stale, staleCount, 0)) {
        }
        for (int i = 0; i < n; ++i) {
            Report answer{};
            const auto start = Clock::now();
            const int result = channel.ExchangeSilent(request.bytes, answer);
            const auto end = Clock::now();
            if (result != result::kSuccess) {
                ++failures;
                continue;
            }
            ours.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
    };
    const auto runTheirs = [&](int n) {
        unsigned char drained[64];
        while (hid_read_timeout(peer, drained, sizeof drained, 0) > 0) {
        }
        for (int i = 0; i < n; ++i) {
            unsigned char answer[64];
            const auto start = Clock::now();
            if (hid_write(peer, request.bytes.data(), request.bytes.size()) < 0) {
                ++failures;
                continue;
            }
            int read = 0;
            do {
                read = hid_read_timeout(peer, answer, sizeof answer, 1000);
            } while (read > 0 && (answer[0] != CommandPacket::kReportId || answer[3] != request.bytes[3]));
            const auto end = Clock::now();
            if (read <= 0) {
                ++failures;
                continue;
            }
            theirs.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
    };
    constexpr int kBlock = 500;
    for (int done = 0, pair = 0; done < count; done += kBlock, ++pair) {
        const int n = std::min(kBlock, count - done);
        if (pair % 2 == 0) {
            runOurs(n);
            runTheirs(n);
        } else {
            runTheirs(n);
            runOurs(n);
        }
    }
    hid_close(peer);
    hid_exit();

    const Stats a = Summarise(ours);
    const Stats b = Summarise(theirs);
    std::printf("device:   %s\n", path.c_str());
    std::printf("HidChannel: %zu exchanges, median %.1f us, p99 %.1f us\n", ours.size(), a.median, a.p99);
    std::printf("hidapi:     %zu exchanges, median %.1f us, p99 %.1f us\n", theirs.size(), b.median, b.p99);
    if (b.median > 0 && b.p99 > 0) {
        std::printf("ratio HidChannel/hidapi: median %.3f, p99 %.3f\n", a.median / b.median, a.p99 / b.p99);
    }
    std::printf("failed exchanges: %d\n", failures);
    return failures == 0 ? 0 : 1;
}
