#pragma once

#include "device/hid_backend.h"
#include "platform/unique_fd.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <sys/types.h>

// Linux hidraw: one /dev/hidrawN per USB interface, offered as one interface path per
// top-level collection ("/dev/hidraw5#vid_320f&pid_50b7&mi_01&col04").
namespace norvane::device {

struct HidrawConfig {
    std::filesystem::path sysfsRoot = "/sys";
    std::filesystem::path devRoot = "/dev";
    // Opens a device node with open(2) flags; an invalid fd with errno set on failure.
    std::function<platform::UniqueFd(const std::filesystem::path& node, int flags)> openNode;
    // List nodes through libudev when the sysfs root is the real one.
    bool useUdev = true;
};

// What sysfs tells about one hidraw node.
struct HidrawNode {
    std::string name;  // "hidraw5"
    HidAttributes attributes;
    std::optional<std::uint16_t> interfaceNumber;  // USB devices only
    ReportDescriptor descriptor;
};

class HidrawBackend : public HidBackend {
public:
    explicit HidrawBackend(HidrawConfig config = {});

    bool Enumerate(std::vector<std::string>& paths) override;
    std::unique_ptr<HidConnection> Open(std::string_view path, const HidOpenMode& mode) override;
    bool Probe(std::string_view path) override;
    std::optional<HidPathDescription> Describe(std::string_view path) override;

    // Every hidraw node whose sysfs entry and report descriptor could be read.
    std::vector<HidrawNode> Nodes();
    // Reads a node's sysfs entry afresh (no cache).
    std::optional<HidrawNode> ReadNode(std::string_view name) const;
    // errno of the last failed open of a device node (EACCES, EBUSY, ENOENT…), 0 otherwise.
    int LastOpenError() const override { return lastOpenError_.load(); }

private:
    // A sysfs entry's identity as a file: device and inode number. The kernel gives a new
    // HID device new sysfs entries with new inode numbers, so a node name that comes back
    // for another device gets another identity.
    struct NodeId {
        dev_t device = 0;
        ino_t inode = 0;
        bool operator==(const NodeId&) const = default;
    };
    struct ListedNode {
        std::string name;
        std::optional<NodeId> id;  // when the listing gave it
    };
    // What a node's identity gave, kept while the identity is unchanged.
    struct CachedNode {
        NodeId id;
        std::shared_ptr<const HidrawNode> node;
    };

    std::vector<ListedNode> NodeNames() const;
    std::optional<NodeId> NodeIdentity(std::string_view name) const;
    // The node from the cache while its identity is unchanged, else read afresh.
    std::shared_ptr<const HidrawNode> Node(std::string_view name,
                                           std::optional<NodeId> id = std::nullopt) const;
    // The node a path names when its keys still match it, with the collection it selects.
    std::optional<std::pair<std::shared_ptr<const HidrawNode>, int>> NodeOfPath(std::string_view path) const;

    HidrawConfig config_;
    std::string classDir_;  // <sysfs>/class/hidraw
    std::string devDir_;
    std::atomic<int> lastOpenError_{0};
    mutable std::mutex cacheMutex_;
    mutable std::map<std::string, CachedNode, std::less<>> cache_;
};

}  // namespace norvane::device
