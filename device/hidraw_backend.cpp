#include "device/hidraw_backend.h"

#include "device/path_keys.h"
#include "platform/diag.h"

#include <dirent.h>
#include <fcntl.h>
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <sstream>

namespace norvane::device {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> ReadSmallFile(const fs::path& path, std::size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string data(limit + 1, '\0');
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got > limit) {
        return std::nullopt;
    }
    data.resize(got);
    return data;
}

std::optional<std::uint32_t> ParseHex(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.remove_suffix(1);
    }
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc{} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// "HID_ID=0003:0000320F:000050B7" → vendor, product.
std::optional<std::pair<std::uint16_t, std::uint16_t>> ParseHidId(const std::string& uevent) {
    std::istringstream lines(uevent);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.starts_with("HID_ID=")) {
            continue;
        }
        const std::string_view id = std::string_view(line).substr(7);
        const auto first = id.find(':');
        const auto second = id.find(':', first + 1);
        if (first == std::string_view::npos || second == std::string_view::npos) {
            return std::nullopt;
        }
        const auto vendor = ParseHex(id.substr(first + 1, second - first - 1));
        const auto product = ParseHex(id.substr(second + 1));
        if (!vendor || !product || *vendor > 0xFFFF || *product > 0xFFFF) {
            return std::nullopt;
        }
        return std::pair{static_cast<std::uint16_t>(*vendor), static_cast<std::uint16_t>(*product)};
    }
    return std::nullopt;
}

// The value of one "KEY=value" line of a uevent file.
std::optional<std::string_view> UeventValue(std::string_view uevent, std::string_view key) {
    while (!uevent.empty()) {
        const std::size_t end = uevent.find('\n');
        const std::string_view line = uevent.substr(0, end);
        if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '=') {
            return line.substr(key.size() + 1);
        }
        uevent = end == std::string_view::npos ? std::string_view{} : uevent.substr(end + 1);
    }
    return std::nullopt;
}

// A USB device without a usb_interface parent (a virtual one) names its interface in
// HID_PHYS: "usb-0000:00:14.0-1/input1" → 1.
std::optional<std::uint16_t> InterfaceFromPhys(std::string_view uevent) {
    const auto id = UeventValue(uevent, "HID_ID");
    const auto phys = UeventValue(uevent, "HID_PHYS");
    if (!id || !phys || !id->starts_with("0003:")) {
        return std::nullopt;
    }
    constexpr std::string_view kInput = "/input";
    const std::size_t at = phys->rfind(kInput);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view digits = phys->substr(at + kInput.size());
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc{} || end != digits.data() + digits.size() || digits.empty() || value > 0xFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// hidraw2 before hidraw10.
bool NodeNameLess(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

bool IsNodeName(std::string_view name) {
    constexpr std::string_view kPrefix = "hidraw";
    return name.size() > kPrefix.size() && name.starts_with(kPrefix) &&
           std::all_of(name.begin() + kPrefix.size(), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// The nearest ancestor (below the sysfs root) holding a file of this name.
std::optional<std::string> AncestorAttribute(fs::path dir, const fs::path& root, const char* name) {
    std::error_code ec;
    while (!dir.empty() && dir != root && dir != dir.parent_path()) {
        if (fs::is_regular_file(dir / name, ec)) {
            return ReadSmallFile(dir / name, 64);
        }
        dir = dir.parent_path();
    }
    return std::nullopt;
}

class HidrawConnection : public HidConnection {
public:
    HidrawConnection(platform::UniqueFd fd, platform::UniqueFd abort, std::shared_ptr<const HidrawNode> node,
                     int collection)
        : fd_(std::move(fd)), abort_(std::move(abort)), node_(std::move(node)), collection_(collection) {
        // Reads and writes are tried without waiting; poll() does the waiting.
        const int flags = ::fcntl(fd_.Get(), F_GETFL);
        if (flags >= 0 && (flags & O_NONBLOCK) == 0) {
            ::fcntl(fd_.Get(), F_SETFL, flags | O_NONBLOCK);
        }
    }

    HidIoStatus Read(std::span<std::uint8_t> buffer, std::size_t& count, int timeoutMs) override {
        count = 0;
        if (aborted_.load(std::memory_order_acquire)) {
            return HidIoStatus::Aborted;
        }
        if (buffer.empty()) {
            return HidIoStatus::Failed;
        }
        const std::int64_t start = timeoutMs > 0 ? CoarseNowMs() : 0;
        bool waited = false;
        const bool numbered = node_->descriptor.usesReportIds;
        // Straight into the caller's buffer (after the 0 put before an unnumbered report): a
        // longer report is cut to it, as it would be anyway.
        const std::size_t room = numbered ? buffer.size() : buffer.size() - 1;
        std::uint8_t spare = 0;
        std::uint8_t* into = room == 0 ? &spare : buffer.data() + (numbered ? 0 : 1);
        // A zero timeout only takes what is already queued: the read itself tells.
        bool ready = timeoutMs == 0;
        for (;;) {
            if (!ready) {
                // The first wait takes the whole limit; a later one what is left of it.
                const int wait = timeoutMs < 0 || !waited ? timeoutMs : Remaining(start, timeoutMs);
                waited = true;
                const HidIoStatus status = Wait(POLLIN, wait);
                if (status != HidIoStatus::Ok) {
                    return status;
                }
            }
            ready = false;
            const ssize_t n = ::read(fd_.Get(), into, std::max<std::size_t>(room, 1));
            if (n < 0 && errno == EAGAIN && timeoutMs == 0) {
                return HidIoStatus::Timeout;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
            if (n <= 0) {
                return HidIoStatus::Failed;  // the device went away
            }
            auto size = static_cast<std::size_t>(n);
            if (!numbered) {
                buffer[0] = 0;
                ++size;
            }
            if (node_->descriptor.CollectionOfReport(HidReportType::Input, buffer[0]) != collection_) {
                ready = timeoutMs == 0;
                continue;  // another collection's report
            }
            count = std::min(size, buffer.size());
            return HidIoStatus::Ok;
        }
    }

    HidIoStatus Write(std::span<const std::uint8_t> report, std::size_t& count, int /*timeoutMs*/) override {
        count = 0;
        if (report.empty() ||
            node_->descriptor.CollectionOfReport(HidReportType::Output, report[0]) != collection_) {
            return HidIoStatus::Failed;
        }
        if (aborted_.load(std::memory_order_acquire)) {
            return HidIoStatus::Aborted;
        }
        // hidraw takes [report ID][payload], with 0 for unnumbered reports. There is no queue
        // to wait on: hidraw_poll always says writable, and the driver sends the report
        // before write() returns (up to kKernelWriteLimitMs), so the time limit has nothing to
        // bound here and a write is never retried on EAGAIN.
        ssize_t n = 0;
        do {
            n = ::write(fd_.Get(), report.data(), report.size());
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            return HidIoStatus::Failed;
        }
        count = static_cast<std::size_t>(n);
        return count == report.size() ? HidIoStatus::Ok : HidIoStatus::Failed;
    }

    bool SetOutputReport(std::span<const std::uint8_t> report) override {
        std::size_t count = 0;
        return Write(report, count, 1000) == HidIoStatus::Ok;
    }

    void Abort() override {
        aborted_.store(true, std::memory_order_release);
        const std::uint64_t one = 1;
        // The eventfd stays readable: every later wait ends at once too.
        [[maybe_unused]] const ssize_t n = ::write(abort_.Get(), &one, sizeof one);
    }

    const HidAttributes& Attributes() const override { return node_->attributes; }
    const ReportDescriptor& Descriptor() const override { return node_->descriptor; }
    int Collection() const override { return collection_; }

private:
    // A time limit needs no more than the scheduler tick's precision, and the coarse clock is
    // read without the hardware counter.
    static std::int64_t CoarseNowMs() {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
        return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    }

    static int Remaining(std::int64_t start, int timeoutMs) {
        return static_cast<int>(std::max<std::int64_t>(timeoutMs - (CoarseNowMs() - start), 0));
    }

    HidIoStatus Wait(short events, int timeoutMs) {
        pollfd fds[2] = {{fd_.Get(), events, 0}, {abort_.Get(), POLLIN, 0}};
        for (;;) {
            const int n = ::poll(fds, 2, timeoutMs);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return HidIoStatus::Failed;
            }
            if (n == 0) {
                return HidIoStatus::Timeout;
            }
            if ((fds[1].revents & POLLIN) != 0) {
                return HidIoStatus::Aborted;
            }
            if ((fds[0].revents & events) != 0) {
                return HidIoStatus::Ok;
            }
            return HidIoStatus::Failed;  // POLLERR, POLLHUP, POLLNVAL: unplugged
        }
    }

    platform::UniqueFd fd_;
    platform::UniqueFd abort_;
    std::shared_ptr<const HidrawNode> node_;
    int collection_;
    std::atomic<bool> aborted_{false};
};

platform::UniqueFd OpenWithSyscall(const fs::path& node, int flags) {
    return platform::UniqueFd(::open(node.c_str(), flags));
}

}  // namespace

HidrawBackend::HidrawBackend(HidrawConfig config)
    : config_(std::move(config)),
      classDir_((config_.sysfsRoot / "class" / "hidraw").string()),
      devDir_(config_.devRoot.string()) {
    if (!config_.openNode) {
        config_.openNode = OpenWithSyscall;
    }
}

std::vector<HidrawBackend::ListedNode> HidrawBackend::NodeNames() const {
    std::vector<ListedNode> names;
    if (config_.useUdev && config_.sysfsRoot == "/sys") {
        udev* context = udev_new();
        udev_enumerate* enumerate = context != nullptr ? udev_enumerate_new(context) : nullptr;
        bool listed = false;
        if (enumerate != nullptr && udev_enumerate_add_match_subsystem(enumerate, "hidraw") >= 0 &&
            udev_enumerate_scan_devices(enumerate) >= 0) {
            listed = true;
            udev_list_entry* entry = nullptr;
            udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
                const std::string name = fs::path(udev_list_entry_get_name(entry)).filename().string();
                if (IsNodeName(name)) {
                    names.push_back({name, std::nullopt});
                }
            }
        }
        if (enumerate != nullptr) {
            udev_enumerate_unref(enumerate);
        }
        if (context != nullptr) {
            udev_unref(context);
        }
        if (listed) {
            std::sort(names.begin(), names.end(),
                      [](const ListedNode& a, const ListedNode& b) { return a.name < b.name; });
            return names;
        }
        platform::diag::Trace("hidraw: udev unavailable, walking sysfs");
    }
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(classDir_.c_str()));
    struct stat folder {};
    const bool known = dir && ::fstat(::dirfd(dir.get()), &folder) == 0;
    while (dir) {
        const dirent* entry = ::readdir(dir.get());  // NOLINT(concurrency-mt-unsafe): a stream of its own
        if (entry == nullptr) {
            break;
        }
        if (IsNodeName(entry->d_name)) {
            std::optional<NodeId> id;
            if (known && entry->d_ino != 0) {
                id = NodeId{folder.st_dev, entry->d_ino};
            }
            names.push_back({entry->d_name, id});
        }
    }
    std::sort(names.begin(), names.end(),
              [](const ListedNode& a, const ListedNode& b) { return NodeNameLess(a.name, b.name); });
    return names;
}

std::optional<HidrawNode> HidrawBackend::ReadNode(std::string_view name) const {
    if (!IsNodeName(name)) {
        return std::nullopt;
    }
    std::error_code ec;
    const fs::path hid = fs::canonical(config_.sysfsRoot / "class" / "hidraw" / name / "device", ec);
    if (ec) {
        return std::nullopt;
    }
    const auto uevent = ReadSmallFile(hid / "uevent", 4096);
    const auto descriptorBytes = ReadSmallFile(hid / "report_descriptor", kMaxReportDescriptorSize);
    if (!uevent || !descriptorBytes) {
        return std::nullopt;
    }
    const auto ids = ParseHidId(*uevent);
    if (!ids) {
        return std::nullopt;
    }
    const auto* begin = reinterpret_cast<const std::uint8_t*>(descriptorBytes->data());
    auto parsed = ParseReportDescriptor(std::span(begin, descriptorBytes->size()));
    if (!parsed.descriptor) {
        platform::diag::Trace("hidraw: " + std::string(name) + ": " + parsed.error);
        return std::nullopt;
    }
    HidrawNode node;
    node.name = std::string(name);
    node.attributes.vendorId = ids->first;
    node.attributes.productId = ids->second;
    // Only a USB HID device's USB ancestors describe it: a Bluetooth or I2C device may sit
    // below a USB dongle or bridge whose interface and version are not its own.
    const auto bus = UeventValue(*uevent, "HID_ID");
    if (bus && bus->starts_with("0003:")) {
        const fs::path root = fs::canonical(config_.sysfsRoot, ec);
        if (const auto number = AncestorAttribute(hid.parent_path(), root, "bInterfaceNumber")) {
            if (const auto value = ParseHex(*number); value && *value <= 0xFF) {
                node.interfaceNumber = static_cast<std::uint16_t>(*value);
            }
        } else {
            node.interfaceNumber = InterfaceFromPhys(*uevent);
        }
        if (const auto bcd = AncestorAttribute(hid.parent_path(), root, "bcdDevice")) {
            if (const auto value = ParseHex(*bcd); value && *value <= 0xFFFF) {
                node.attributes.versionNumber = static_cast<std::uint16_t>(*value);
            }
        }
    }
    node.descriptor = std::move(*parsed.descriptor);
    return node;
}

std::optional<HidrawBackend::NodeId> HidrawBackend::NodeIdentity(std::string_view name) const {
    std::string link = classDir_;
    link += '/';
    link += name;
    struct stat entry {};
    if (::lstat(link.c_str(), &entry) != 0) {
        return std::nullopt;
    }
    return NodeId{entry.st_dev, entry.st_ino};
}

std::shared_ptr<const HidrawNode> HidrawBackend::Node(std::string_view name, std::optional<NodeId> id) const {
    if (!IsNodeName(name)) {
        return nullptr;
    }
    if (!id) {
        id = NodeIdentity(name);
    }
    {
        const std::lock_guard lock(cacheMutex_);
        const auto it = cache_.find(name);
        if (it != cache_.end() && id && it->second.id == *id) {
            return it->second.node;
        }
        if (it != cache_.end()) {
            cache_.erase(it);
        }
    }
    if (!id) {
        return nullptr;
    }
    // Read after the identity: should the node change in between, the next look finds an
    // identity that differs from the one stored and reads again.
    auto read = ReadNode(name);
    if (!read) {
        return nullptr;
    }
    auto node = std::make_shared<const HidrawNode>(std::move(*read));
    const std::lock_guard lock(cacheMutex_);
    cache_.insert_or_assign(std::string(name), CachedNode{*id, node});
    return node;
}

std::vector<HidrawNode> HidrawBackend::Nodes() {
    std::vector<HidrawNode> nodes;
    for (const ListedNode& listed : NodeNames()) {
        if (const auto node = Node(listed.name, listed.id)) {
            nodes.push_back(*node);
        }
    }
    return nodes;
}

bool HidrawBackend::Enumerate(std::vector<std::string>& paths) {
    paths.clear();
    const std::vector<ListedNode> names = NodeNames();
    for (const ListedNode& listed : names) {
        const auto node = Node(listed.name, listed.id);
        if (!node) {
            continue;
        }
        const int count = static_cast<int>(node->descriptor.collections.size());
        std::string devNode = devDir_;
        if (!devNode.empty() && devNode.back() != '/') {
            devNode += '/';
        }
        devNode += node->name;
        for (int collection = 1; collection <= count; ++collection) {
            paths.push_back(FormatInterfacePath(devNode, node->attributes.vendorId,
                                                node->attributes.productId, node->interfaceNumber, collection,
                                                count));
        }
    }
    // Nodes that are gone leave the cache.
    const std::lock_guard lock(cacheMutex_);
    std::erase_if(cache_, [&](const auto& entry) {
        return std::ranges::find(names, entry.first, &ListedNode::name) == names.end();
    });
    return true;
}

std::optional<std::pair<std::shared_ptr<const HidrawNode>, int>> HidrawBackend::NodeOfPath(
    std::string_view path) const {
    const std::string_view devNode = PathNode(path);
    auto node = Node(devNode.substr(devNode.rfind('/') + 1));
    if (!node || node->attributes.vendorId != VendorIdFromPath(path) ||
        node->attributes.productId != ProductIdFromPath(path)) {
        return std::nullopt;
    }
    // The keys must be the ones Enumerate gives this node: a reused node number that now
    // stands for another interface (or a path with a collection the node lacks) is not it.
    if (FindPathKey(path, "&mi_") != node->interfaceNumber) {
        return std::nullopt;
    }
    const int count = static_cast<int>(node->descriptor.collections.size());
    const auto col = FindPathKey(path, "&col");
    if (count > 1 ? !col : col.has_value()) {
        return std::nullopt;
    }
    const int collection = count > 1 ? *col : 1;
    if (collection < 1 || collection > count) {
        return std::nullopt;
    }
    return std::pair{std::move(node), collection};
}

std::unique_ptr<HidConnection> HidrawBackend::Open(std::string_view path, const HidOpenMode& mode) {
    auto found = NodeOfPath(path);
    if (!found) {
        lastOpenError_.store(ENOENT);
        return nullptr;
    }
    auto& [node, collection] = *found;
    int flags = O_CLOEXEC | O_NONBLOCK;
    flags |= mode.read && mode.write ? O_RDWR : (mode.write ? O_WRONLY : O_RDONLY);
    errno = 0;
    platform::UniqueFd fd = config_.openNode(config_.devRoot / node->name, flags);
    if (!fd.Valid()) {
        lastOpenError_.store(errno != 0 ? errno : EIO);
        return nullptr;
    }
    platform::UniqueFd abort(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!abort.Valid()) {
        lastOpenError_.store(errno);
        return nullptr;
    }
    lastOpenError_.store(0);
    return std::make_unique<HidrawConnection>(std::move(fd), std::move(abort), std::move(node), collection);
}

bool HidrawBackend::Probe(std::string_view path) {
    return NodeOfPath(path).has_value();
}

std::optional<HidPathDescription> HidrawBackend::Describe(std::string_view path) {
    auto found = NodeOfPath(path);
    if (!found) {
        return std::nullopt;
    }
    HidPathDescription description;
    description.attributes = found->first->attributes;
    description.collection = found->second;
    description.capabilities = CapabilitiesOf(found->first->descriptor, found->second);
    description.descriptor = found->first->descriptor;
    return description;
}

}  // namespace norvane::device
