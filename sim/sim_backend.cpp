#include "sim/sim_backend.h"

#include "device/path_keys.h"

#include <algorithm>
#include <charconv>

namespace norvane::sim {
namespace {

using device::HidIoStatus;

class SimConnection : public device::HidConnection {
public:
    SimConnection(std::shared_ptr<SimDevice> device, std::shared_ptr<InputQueue> queue,
                  std::uint16_t interfaceNumber, int collection, const device::ReportDescriptor& descriptor)
        : device_(std::move(device)),
          queue_(std::move(queue)),
          interfaceNumber_(interfaceNumber),
          collection_(collection),
          descriptor_(descriptor),
          attributes_(device_->Attributes()) {}

    ~SimConnection() override { device_->Detach(queue_); }
    SimConnection(const SimConnection&) = delete;
    SimConnection& operator=(const SimConnection&) = delete;

    HidIoStatus Read(std::span<std::uint8_t> buffer, std::size_t& count, int timeoutMs) override {
        count = 0;
        using Clock = InputQueue::Clock;
        const bool forever = timeoutMs < 0;
        const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
        std::unique_lock lock(queue_->mutex);
        for (;;) {
            if (queue_->aborted) {
                return HidIoStatus::Aborted;
            }
            if (queue_->unplugged) {
                return HidIoStatus::Failed;
            }
            const auto now = Clock::now();
            if (!queue_->reports.empty() && queue_->reports.front().due <= now) {
                std::vector<std::uint8_t> report = std::move(queue_->reports.front().bytes);
                queue_->reports.pop_front();
                if (report.empty() ||
                    descriptor_.CollectionOfReport(device::HidReportType::Input, report[0]) != collection_) {
                    continue;  // another collection's report
                }
                count = std::min(report.size(), buffer.size());
                std::copy_n(report.begin(), count, buffer.begin());
                return HidIoStatus::Ok;
            }
            if (!forever && now >= deadline) {
                return HidIoStatus::Timeout;
            }
            auto wakeAt = forever ? Clock::time_point::max() : deadline;
            if (!queue_->reports.empty()) {
                wakeAt = std::min(wakeAt, queue_->reports.front().due);
            }
            if (wakeAt == Clock::time_point::max()) {
                queue_->ready.wait(lock);
            } else {
                queue_->ready.wait_until(lock, wakeAt);
            }
        }
    }

    HidIoStatus Write(std::span<const std::uint8_t> report, std::size_t& count, int /*timeoutMs*/) override {
        count = 0;
        if (Aborted()) {
            return HidIoStatus::Aborted;
        }
        if (report.empty() ||
            descriptor_.CollectionOfReport(device::HidReportType::Output, report[0]) != collection_) {
            return HidIoStatus::Failed;
        }
        if (!device_->Receive(interfaceNumber_, report, false)) {
            return HidIoStatus::Failed;
        }
        count = report.size();
        return HidIoStatus::Ok;
    }

    bool SetOutputReport(std::span<const std::uint8_t> report) override {
        return !Aborted() && !report.empty() &&
               descriptor_.CollectionOfReport(device::HidReportType::Output, report[0]) == collection_ &&
               device_->Receive(interfaceNumber_, report, true);
    }

    void Abort() override {
        const std::lock_guard lock(queue_->mutex);
        queue_->aborted = true;
        queue_->ready.notify_all();
    }

    const device::HidAttributes& Attributes() const override { return attributes_; }
    const device::ReportDescriptor& Descriptor() const override { return descriptor_; }
    int Collection() const override { return collection_; }

private:
    bool Aborted() {
        const std::lock_guard lock(queue_->mutex);
        return queue_->aborted;
    }

    std::shared_ptr<SimDevice> device_;
    std::shared_ptr<InputQueue> queue_;
    std::uint16_t interfaceNumber_;
    int collection_;
    const device::ReportDescriptor& descriptor_;
    device::HidAttributes attributes_;
};

constexpr std::string_view kPrefix = "sim:";

}  // namespace

SimDevice& SimBackend::Add(const SimProductSpec& product) {
    const std::lock_guard lock(mutex_);
    std::string name(product.name);
    for (int n = 2;
         std::any_of(devices_.begin(), devices_.end(), [&](const auto& d) { return d->Name() == name; });
         ++n) {
        name = std::string(product.name) + "-" + std::to_string(n);
    }
    devices_.push_back(std::make_shared<SimDevice>(product, name));
    return *devices_.back();
}

SimDevice* SimBackend::Find(std::string_view name) {
    const std::lock_guard lock(mutex_);
    for (const auto& device : devices_) {
        if (device->Name() == name) {
            return device.get();
        }
    }
    return nullptr;
}

std::vector<std::shared_ptr<SimDevice>> SimBackend::Devices() const {
    const std::lock_guard lock(mutex_);
    return devices_;
}

bool SimBackend::Enumerate(std::vector<std::string>& paths) {
    paths.clear();
    for (const auto& device : Devices()) {
        if (!device->Plugged()) {
            continue;
        }
        for (const SimInterfaceSpec& interface : device->Spec().interfaces) {
            const device::ReportDescriptor* descriptor = device->Descriptor(interface.number);
            if (descriptor == nullptr) {
                continue;
            }
            const std::string node =
                std::string(kPrefix) + device->Name() + ":" + std::to_string(interface.number);
            const int count = static_cast<int>(descriptor->collections.size());
            for (int collection = 1; collection <= count; ++collection) {
                paths.push_back(device::FormatInterfacePath(node, device->Spec().vendorId,
                                                            device->Spec().productId, interface.number,
                                                            collection, count));
            }
        }
    }
    return true;
}

std::shared_ptr<SimDevice> SimBackend::DeviceOfPath(std::string_view path,
                                                    std::uint16_t& interfaceNumber) const {
    std::string_view node = device::PathNode(path);
    if (!node.starts_with(kPrefix)) {
        return nullptr;
    }
    node.remove_prefix(kPrefix.size());
    const auto colon = node.rfind(':');
    if (colon == std::string_view::npos) {
        return nullptr;
    }
    const std::string_view number = node.substr(colon + 1);
    if (std::from_chars(number.data(), number.data() + number.size(), interfaceNumber).ec != std::errc{}) {
        return nullptr;
    }
    const std::string_view name = node.substr(0, colon);
    const std::lock_guard lock(mutex_);
    for (const auto& device : devices_) {
        if (device->Name() == name && device->Spec().vendorId == device::VendorIdFromPath(path) &&
            device->Spec().productId == device::ProductIdFromPath(path)) {
            return device;
        }
    }
    return nullptr;
}

std::unique_ptr<device::HidConnection> SimBackend::Open(std::string_view path,
                                                        const device::HidOpenMode& /*mode*/) {
    std::uint16_t interfaceNumber = 0;
    auto device = DeviceOfPath(path, interfaceNumber);
    if (!device) {
        return nullptr;
    }
    const device::ReportDescriptor* descriptor = device->Descriptor(interfaceNumber);
    if (descriptor == nullptr) {
        return nullptr;
    }
    const int count = static_cast<int>(descriptor->collections.size());
    const int collection = count > 1 ? device::CollectionNumberFromPath(path) : 1;
    if (collection < 1 || collection > count) {
        return nullptr;
    }
    auto queue = device->Attach(interfaceNumber);
    if (!queue) {
        return nullptr;
    }
    return std::make_unique<SimConnection>(device, std::move(queue), interfaceNumber, collection,
                                           *descriptor);
}

bool SimBackend::Probe(std::string_view path) {
    std::uint16_t interfaceNumber = 0;
    const auto device = DeviceOfPath(path, interfaceNumber);
    return device && device->Plugged();
}

std::optional<device::HidPathDescription> SimBackend::Describe(std::string_view path) {
    std::uint16_t interfaceNumber = 0;
    const auto device = DeviceOfPath(path, interfaceNumber);
    const device::ReportDescriptor* descriptor = device ? device->Descriptor(interfaceNumber) : nullptr;
    if (descriptor == nullptr || !device->Plugged()) {
        return std::nullopt;
    }
    const int count = static_cast<int>(descriptor->collections.size());
    const int collection = count > 1 ? device::CollectionNumberFromPath(path) : 1;
    if (collection < 1 || collection > count) {
        return std::nullopt;
    }
    device::HidPathDescription description;
    description.attributes = device->Attributes();
    description.descriptor = *descriptor;
    description.collection = collection;
    description.capabilities = device::CapabilitiesOf(*descriptor, collection);
    return description;
}

std::unique_ptr<SimBackend> MakeSimBackend(std::string_view products, std::string& error) {
    auto backend = std::make_unique<SimBackend>();
    while (!products.empty()) {
        const auto comma = products.find(',');
        const std::string_view name = products.substr(0, comma);
        products = comma == std::string_view::npos ? std::string_view{} : products.substr(comma + 1);
        if (name.empty()) {
            continue;
        }
        const auto productSpec = FindSimProduct(name);
        if (!productSpec) {
            error = "unknown simulated device '" + std::string(name) + "'";
            return nullptr;
        }
        backend->Add(*productSpec);
    }
    return backend;
}

}  // namespace norvane::sim
