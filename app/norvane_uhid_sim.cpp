// norvane-uhid-sim: the simulated products as real kernel HID devices, through /dev/uhid or
// (--usb) as USB devices of the kernel's gadget stack answering on /dev/hidgN, from the same
// firmware models the in-process simulator uses.

#include "sim/products.h"
#include "sim/sim_device.h"
#include "sim/uhid_device.h"
#include "sim/usb_gadget.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

using norvane::sim::SimDevice;
using norvane::sim::UhidDevice;
using Clock = std::chrono::steady_clock;

constexpr std::string_view kUsage =
    "usage: norvane-uhid-sim [--uhid PATH | --usb] PRODUCT...\n"
    "  PRODUCT: keyboard, keyboard2, keyboard-alt, mouse, receiver, mousepad, headset\n"
    "  --usb: each product a USB gadget on its own device controller (/sys/class/udc),\n"
    "         built in configfs (/sys/kernel/config/usb_gadget)\n"
    "Commands on standard input, one per line:\n"
    "  unplug NAME | plug NAME | event NAME CODE | link NAME on|off\n"
    "  dump NAME settings|keytable|ledmap|keycolors|macro|shoot|status|lightframe|output\n"
    "  quit\n";

// One interface as the kernel sees it: a uhid device, or a gadget's /dev/hidgN.
struct VirtualInterface {
    std::uint16_t number = 0;
    UhidDevice uhid;
    norvane::platform::UniqueFd hidg;
    std::deque<std::vector<std::uint8_t>> outgoing;  // input reports the host has not taken yet
    std::shared_ptr<norvane::sim::InputQueue> queue;

    [[nodiscard]] int Fd() const { return hidg.Valid() ? hidg.Get() : uhid.Fd(); }
    [[nodiscard]] bool Valid() const { return hidg.Valid() || uhid.Valid(); }

    // Hands queued input reports to the gadget until one has to wait for the host.
    void Flush() {
        while (hidg.Valid() && !outgoing.empty()) {
            const auto& report = outgoing.front();
            const ssize_t n = ::write(hidg.Get(), report.data(), report.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 && errno == EAGAIN) {
                return;
            }
            outgoing.pop_front();  // sent, or the host is gone
        }
    }
};

struct VirtualProduct {
    std::unique_ptr<SimDevice> device;
    std::vector<VirtualInterface> interfaces;
    std::unique_ptr<norvane::sim::UsbGadget> gadget;
    int index = 0;
};

class UhidSimulator {
public:
    explicit UhidSimulator(std::string uhidPath, bool usb) : uhidPath_(std::move(uhidPath)), usb_(usb) {
        if (usb_) {
            controllers_ = norvane::sim::DeviceControllers();
        }
    }

    bool Add(std::string_view name) {
        auto productSpec = norvane::sim::FindSimProduct(name);
        if (!productSpec) {
            std::fprintf(stderr, "norvane-uhid-sim: unknown product '%.*s'\n", static_cast<int>(name.size()),
                         name.data());
            return false;
        }
        VirtualProduct product;
        product.index = static_cast<int>(products_.size());
        product.device = std::make_unique<SimDevice>(*productSpec, std::string(name));
        products_.push_back(std::move(product));
        return Create(products_.back());
    }

    int Run() {
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        sigprocmask(SIG_BLOCK, &signals, nullptr);
        const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
        std::printf("ready");
        for (const VirtualProduct& p : products_) {
            std::printf(" %s", p.device->Name().c_str());
        }
        std::printf("\n");
        std::fflush(stdout);

        bool stdinOpen = true;
        std::string pending;
        for (;;) {
            std::vector<pollfd> fds;
            std::vector<std::pair<VirtualProduct*, VirtualInterface*>> owners;
            fds.push_back({signalFd, POLLIN, 0});
            fds.push_back({stdinOpen ? STDIN_FILENO : -1, POLLIN, 0});
            for (VirtualProduct& p : products_) {
                for (VirtualInterface& vi : p.interfaces) {
                    if (vi.Valid()) {
                        const short events = vi.outgoing.empty() ? POLLIN : POLLIN | POLLOUT;
                        fds.push_back({vi.Fd(), events, 0});
                        owners.emplace_back(&p, &vi);
                    }
                }
            }
            const int ready = ::poll(fds.data(), fds.size(), NextDueMs());
            if (ready < 0 && errno != EINTR) {
                std::perror("norvane-uhid-sim: poll");
                return 1;
            }
            if ((fds[0].revents & POLLIN) != 0) {
                return 0;
            }
            // The kernel's events first: a command may destroy the interfaces they name.
            for (std::size_t i = 2; i < fds.size(); ++i) {
                if ((fds[i].revents & POLLIN) != 0) {
                    Serve(*owners[i - 2].first, *owners[i - 2].second);
                }
                if ((fds[i].revents & POLLOUT) != 0) {
                    owners[i - 2].second->Flush();
                }
            }
            if ((fds[1].revents & (POLLIN | POLLHUP)) != 0) {
                char buffer[512];
                const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
                if (n <= 0) {
                    stdinOpen = false;
                } else {
                    pending.append(buffer, static_cast<std::size_t>(n));
                    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
                        const std::string line = pending.substr(0, end);
                        pending.erase(0, end + 1);
                        if (!Command(line)) {
                            return 0;
                        }
                    }
                }
            }
            Deliver();
        }
    }

private:
    bool Create(VirtualProduct& p) { return usb_ ? CreateGadget(p) : CreateUhid(p); }

    bool CreateGadget(VirtualProduct& p) {
        std::string error;
        if (!p.gadget) {
            if (static_cast<std::size_t>(p.index) >= controllers_.size()) {
                std::fprintf(stderr, "norvane-uhid-sim: no device controller left for %s (%zu found)\n",
                             p.device->Name().c_str(), controllers_.size());
                return false;
            }
            p.gadget = std::make_unique<norvane::sim::UsbGadget>();
            if (!p.gadget->Create(p.device->Spec(), p.device->Name(),
                                  controllers_[static_cast<std::size_t>(p.index)],
                                  "/sys/kernel/config/usb_gadget", error)) {
                std::fprintf(stderr, "norvane-uhid-sim: %s\n", error.c_str());
                return false;
            }
        }
        if (!p.gadget->Bind(10000, error)) {
            std::fprintf(stderr, "norvane-uhid-sim: %s\n", error.c_str());
            return false;
        }
        for (const auto& function : p.gadget->Functions()) {
            if (!function.used) {
                continue;
            }
            VirtualInterface vi;
            vi.number = function.interfaceNumber;
            vi.hidg =
                norvane::platform::UniqueFd(::open(function.node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
            if (!vi.hidg.Valid()) {
                std::fprintf(stderr, "norvane-uhid-sim: cannot open %s: %s\n", function.node.c_str(),
                             std::strerror(errno));
                return false;
            }
            vi.queue = p.device->Attach(vi.number);
            p.interfaces.push_back(std::move(vi));
        }
        return true;
    }

    bool CreateUhid(VirtualProduct& p) {
        const auto& productSpec = p.device->Spec();
        for (const auto& interface : productSpec.interfaces) {
            VirtualInterface vi;
            vi.number = interface.number;
            const UhidDevice::Identity identity{"NORVANE simulated " + p.device->Name(),
                                                "usb-norvane-sim-" + std::to_string(p.index + 1) + "/input" +
                                                    std::to_string(interface.number),
                                                productSpec.vendorId, productSpec.productId,
                                                productSpec.version};
            if (!vi.uhid.Create(identity, interface.descriptor, uhidPath_.c_str())) {
                std::fprintf(stderr, "norvane-uhid-sim: cannot create %s interface %u through %s: %s\n",
                             p.device->Name().c_str(), interface.number, uhidPath_.c_str(),
                             std::strerror(errno));
                return false;
            }
            vi.queue = p.device->Attach(interface.number);
            p.interfaces.push_back(std::move(vi));
        }
        return true;
    }

    void Serve(VirtualProduct& p, VirtualInterface& vi) {
        if (vi.hidg.Valid()) {
            // One output report per read, as the host sent it (report ID first when numbered).
            std::array<std::uint8_t, 1024> buffer{};
            const ssize_t n = ::read(vi.hidg.Get(), buffer.data(), buffer.size());
            if (n > 0) {
                p.device->Receive(vi.number, std::span(buffer.data(), static_cast<std::size_t>(n)), false);
                p.device->ClearWireLog();
            }
            return;
        }
        UhidDevice::Event event;
        if (vi.uhid.ReadEvent(event, 0) && event.type == UhidDevice::Event::Type::Output) {
            p.device->Receive(vi.number, event.data, false);
            p.device->ClearWireLog();  // a long run keeps no history
        }
    }

    // Hands every answer and event whose time has come to the kernel.
    void Deliver() {
        const auto now = Clock::now();
        for (VirtualProduct& p : products_) {
            for (VirtualInterface& vi : p.interfaces) {
                if (!vi.queue) {
                    continue;
                }
                std::vector<std::vector<std::uint8_t>> due;
                {
                    const std::lock_guard lock(vi.queue->mutex);
                    auto& reports = vi.queue->reports;
                    while (!reports.empty() && reports.front().due <= now) {
                        due.push_back(std::move(reports.front().bytes));
                        reports.pop_front();
                    }
                }
                if (vi.hidg.Valid()) {
                    std::move(due.begin(), due.end(), std::back_inserter(vi.outgoing));
                    vi.Flush();
                    continue;
                }
                for (const auto& report : due) {
                    vi.uhid.SendInput(report);
                }
            }
        }
    }

    int NextDueMs() {
        std::optional<Clock::time_point> next;
        for (VirtualProduct& p : products_) {
            for (VirtualInterface& vi : p.interfaces) {
                if (vi.queue) {
                    const std::lock_guard lock(vi.queue->mutex);
                    if (!vi.queue->reports.empty()) {
                        const auto due = vi.queue->reports.front().due;
                        next = next ? std::min(*next, due) : due;
                    }
                }
            }
        }
        if (!next) {
            return -1;
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now()).count();
        return static_cast<int>(std::clamp<long long>(wait, 0, 1000));
    }

    // "0x401" or "1025"; nullopt unless the whole word is a number of at most 16 bits.
    static std::optional<std::uint16_t> ParseEventCode(std::string_view word) {
        int base = 10;
        if (word.starts_with("0x") || word.starts_with("0X")) {
            word.remove_prefix(2);
            base = 16;
        }
        std::uint16_t code = 0;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), code, base);
        if (word.empty() || ec != std::errc{} || end != word.data() + word.size()) {
            return std::nullopt;
        }
        return code;
    }

    VirtualProduct* Find(std::string_view name) {
        const auto it = std::ranges::find_if(
            products_, [&](const VirtualProduct& p) { return p.device->Name() == name; });
        return it == products_.end() ? nullptr : &*it;
    }

    // Runs one command line; false on "quit".
    bool Command(std::string_view line) {
        std::vector<std::string> words;
        for (std::size_t i = 0; i < line.size();) {
            const std::size_t start = line.find_first_not_of(" \t\r", i);
            if (start == std::string_view::npos) {
                break;
            }
            const std::size_t end = std::min(line.find_first_of(" \t\r", start), line.size());
            words.emplace_back(line.substr(start, end - start));
            i = end;
        }
        if (words.empty()) {
            return true;
        }
        if (words[0] == "quit") {
            return false;
        }
        VirtualProduct* p = words.size() >= 2 ? Find(words[1]) : nullptr;
        if (p == nullptr) {
            Reply("error unknown device or command");
            return true;
        }
        if (words[0] == "unplug") {
            p->device->Unplug();
            p->interfaces.clear();  // destroys the kernel devices
            if (p->gadget) {
                p->gadget->Unbind();
            }
            Reply("ok");
        } else if (words[0] == "plug") {
            if (p->interfaces.empty()) {
                p->device->Plug();
                Reply(Create(*p) ? "ok" : "error plug failed");
            } else {
                Reply("ok");
            }
        } else if (words[0] == "event" && words.size() == 3) {
            if (const auto code = ParseEventCode(words[2])) {
                p->device->SendEvent(*code);
                Reply("ok");
            } else {
                Reply("error bad event code '" + words[2] + "'");
            }
        } else if (words[0] == "link" && words.size() == 3 && (words[2] == "on" || words[2] == "off")) {
            p->device->SetLinked(words[2] == "on");
            Reply("ok");
        } else if (words[0] == "dump" && words.size() == 3) {
            Dump(*p, words[2]);
        } else {
            Reply("error unknown command");
        }
        return true;
    }

    void Dump(VirtualProduct& p, std::string_view area) {
        const std::vector<std::uint8_t> bytes = p.device->WithFirmware([&](norvane::sim::FirmwareModel& fw) {
            if (area == "settings")
                return fw.Settings();
            if (area == "keytable")
                return fw.KeyTable();
            if (area == "ledmap")
                return fw.LedMap();
            if (area == "keycolors")
                return fw.KeyColors();
            if (area == "macro")
                return fw.MacroMemory();
            if (area == "shoot")
                return fw.ShootMemory();
            if (area == "status")
                return fw.Status();
            if (area == "lightframe")
                return fw.LightFrame();
            if (area == "output") {
                std::vector<std::uint8_t> all;
                for (const auto& report : fw.OutputReports()) {
                    all.insert(all.end(), report.begin(), report.end());
                }
                return all;
            }
            return std::vector<std::uint8_t>{};
        });
        std::string text = "dump";
        char hex[4];
        for (const std::uint8_t b : bytes) {
            std::snprintf(hex, sizeof hex, " %02x", b);
            text += hex;
        }
        Reply(text);
    }

    static void Reply(const std::string& text) {
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }

    std::string uhidPath_;
    bool usb_;
    std::vector<std::string> controllers_;
    std::vector<VirtualProduct> products_;
};

}  // namespace

int main(int argc, char** argv) {
    std::string uhidPath = "/dev/uhid";
    std::vector<std::string_view> names;
    bool usb = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--uhid" && i + 1 < argc) {
            uhidPath = argv[++i];
        } else if (arg == "--usb") {
            usb = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage.data(), stdout);
            return 0;
        } else if (arg.starts_with("-")) {
            std::fputs(kUsage.data(), stderr);
            return 2;
        } else {
            names.push_back(arg);
        }
    }
    if (names.empty()) {
        std::fputs(kUsage.data(), stderr);
        return 2;
    }
    UhidSimulator simulator(uhidPath, usb);
    for (const std::string_view name : names) {
        if (!simulator.Add(name)) {
            return 1;
        }
    }
    return simulator.Run();
}
