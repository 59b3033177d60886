#pragma once

#include "device/hid_backend.h"
#include "platform/unique_fd.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

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
    std::optional<HidrawNode> ReadNode(std::string_view name) const;
    // errno of the last failed open of a device node (EACCES, EBUSY, ENOENT…), 0 otherwise.
    int LastOpenError() const override { return lastOpenError_.load(); }

private:
    std::vector<std::string> NodeNames() const;
    // The node a path names when its keys still match it, with the collection it selects.
    std::optional<std::pair<HidrawNode, int>> NodeOfPath(std::string_view path) const;

    HidrawConfig config_;
    std::atomic<int> lastOpenError_{0};
};

}  // namespace norvane::device
