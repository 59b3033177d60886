#pragma once

#include "device/hid_descriptor.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The platform side of HID access. A backend lists interface paths (one per top-level
// collection) and opens one collection; the hidraw backend talks to /dev/hidraw*, the
// simulator to virtual devices.
namespace norvane::device {

struct HidAttributes {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;  // device release number (bcdDevice)
};

struct HidCapabilities {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    // Longest report of each type of the collection, with one report-ID byte.
    std::uint16_t inputReportByteLength = 0;
    std::uint16_t outputReportByteLength = 0;
    std::uint16_t featureReportByteLength = 0;
};

enum class HidIoStatus { Ok, Timeout, Aborted, Failed };

struct HidOpenMode {
    bool read = true;
    bool write = false;
    bool overlapped = true;
    bool exclusive = false;
};

// Longest a Linux hidraw write can block. usbhid sends the report inside write() (interrupt
// OUT or SET_REPORT) with the USB control timeout of 5 s, whatever O_NONBLOCK says, and
// neither poll() nor an abort can end it. Whatever waits behind a write (the I/O lock of a
// channel, a thread that makes exchanges) waits up to this long plus its own time limits.
inline constexpr int kKernelWriteLimitMs = 5000;

// One opened collection. Read and Write may run on different threads; Abort may be
// called from any thread and ends a pending and every later Read at once, and every later
// Write. A Write the kernel has taken cannot be ended: see kKernelWriteLimitMs.
class HidConnection {
public:
    virtual ~HidConnection() = default;

    // One input report of this collection ([report ID][payload]; byte 0 is 0 for an
    // unnumbered report). A timeout of -1 waits without limit.
    virtual HidIoStatus Read(std::span<std::uint8_t> buffer, std::size_t& count, int timeoutMs) = 0;
    // One output report, [report ID][payload]. The time limit bounds what the backend waits
    // for itself; the kernel's own send may take up to kKernelWriteLimitMs.
    virtual HidIoStatus Write(std::span<const std::uint8_t> report, std::size_t& count, int timeoutMs) = 0;
    // An output report sent outside the interrupt stream (the same wire path on Linux).
    virtual bool SetOutputReport(std::span<const std::uint8_t> report) = 0;
    virtual void Abort() = 0;

    virtual const HidAttributes& Attributes() const = 0;
    virtual const ReportDescriptor& Descriptor() const = 0;
    virtual int Collection() const = 0;  // 1-based top-level collection
};

// What a path names, known without opening it: the device's attributes, the report
// descriptor of its USB interface, and which top-level collection the path selects.
struct HidPathDescription {
    HidAttributes attributes;
    ReportDescriptor descriptor;
    int collection = 0;
    HidCapabilities capabilities;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Every present interface path; false when the listing itself failed.
    virtual bool Enumerate(std::vector<std::string>& paths) = 0;
    virtual std::unique_ptr<HidConnection> Open(std::string_view path, const HidOpenMode& mode) = 0;
    // True while the device behind the path is still present.
    virtual bool Probe(std::string_view path) = 0;
    virtual std::optional<HidPathDescription> Describe(std::string_view path) = 0;
    // errno of the last failed Open (EACCES, EBUSY…), 0 when unknown or none.
    virtual int LastOpenError() const { return 0; }
};

// Capabilities of one collection from its descriptor.
HidCapabilities CapabilitiesOf(const ReportDescriptor& descriptor, int collection);

}  // namespace norvane::device
