#include "sim/uhid_device.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

namespace norvane::sim {
namespace {

bool WriteEvent(int fd, const uhid_event& event) {
    for (;;) {
        const ssize_t n = ::write(fd, &event, sizeof event);
        if (n == static_cast<ssize_t>(sizeof event)) {
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return false;
    }
}

// Copies text into a fixed, NUL-terminated field of a packed kernel struct.
void CopyText(std::uint8_t* target, std::size_t capacity, std::string_view text) {
    const std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(target, text.data(), n);
    target[n] = 0;
}

}  // namespace

UhidDevice::~UhidDevice() {
    Destroy();
}

bool UhidDevice::Create(const Identity& identity, std::span<const std::uint8_t> reportDescriptor,
                        const char* uhidPath) {
    Destroy();
    if (reportDescriptor.empty() || reportDescriptor.size() > HID_MAX_DESCRIPTOR_SIZE) {
        errno = EINVAL;
        return false;
    }
    platform::UniqueFd fd(::open(uhidPath, O_RDWR | O_CLOEXEC));
    if (!fd.Valid()) {
        return false;
    }
    uhid_event event{};
    event.type = UHID_CREATE2;
    CopyText(event.u.create2.name, sizeof event.u.create2.name, identity.name);
    CopyText(event.u.create2.phys, sizeof event.u.create2.phys, identity.phys);
    event.u.create2.rd_size = static_cast<std::uint16_t>(reportDescriptor.size());
    event.u.create2.bus = BUS_USB;
    event.u.create2.vendor = identity.vendorId;
    event.u.create2.product = identity.productId;
    event.u.create2.version = identity.version;
    std::copy(reportDescriptor.begin(), reportDescriptor.end(), event.u.create2.rd_data);
    if (!WriteEvent(fd.Get(), event)) {
        return false;
    }
    fd_ = std::move(fd);
    return true;
}

void UhidDevice::Destroy() {
    if (fd_.Valid()) {
        uhid_event event{};
        event.type = UHID_DESTROY;
        WriteEvent(fd_.Get(), event);
        fd_.Close();
    }
}

bool UhidDevice::ReadEvent(Event& out, int timeoutMs) {
    pollfd pfd{fd_.Get(), POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&pfd, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        return false;
    }
    uhid_event event{};
    const ssize_t n = ::read(fd_.Get(), &event, sizeof event);
    if (n <= 0) {
        return false;
    }
    out.data.clear();
    switch (event.type) {
        case UHID_OUTPUT: {
            out.type = Event::Type::Output;
            const std::size_t size = std::min<std::size_t>(event.u.output.size, UHID_DATA_MAX);
            out.data.assign(event.u.output.data, event.u.output.data + size);
            break;
        }
        case UHID_OPEN:
            out.type = Event::Type::Open;
            break;
        case UHID_CLOSE:
            out.type = Event::Type::Close;
            break;
        case UHID_START:
            out.type = Event::Type::Start;
            break;
        case UHID_STOP:
            out.type = Event::Type::Stop;
            break;
        default:
            out.type = Event::Type::Other;
            break;
    }
    return true;
}

bool UhidDevice::SendInput(std::span<const std::uint8_t> report) {
    if (!fd_.Valid() || report.size() > UHID_DATA_MAX) {
        return false;
    }
    uhid_event event{};
    event.type = UHID_INPUT2;
    event.u.input2.size = static_cast<std::uint16_t>(report.size());
    std::copy(report.begin(), report.end(), event.u.input2.data);
    return WriteEvent(fd_.Get(), event);
}

}  // namespace norvane::sim
