#include "sim/usb_gadget.h"

#include "device/hid_descriptor.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <string_view>
#include <system_error>
#include <thread>

namespace norvane::sim {
namespace {

namespace fs = std::filesystem;

// configfs takes each attribute in one write.
bool WriteAttribute(const fs::path& path, std::string_view value) {
    std::ofstream out(path, std::ios::binary);
    out.write(value.data(), static_cast<std::streamsize>(value.size()));
    out.flush();
    return static_cast<bool>(out);
}

std::string Hex16(std::uint16_t value) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string text = "0x";
    for (int shift = 12; shift >= 0; shift -= 4) {
        text += kDigits[(value >> shift) & 0xF];
    }
    return text;
}

// Longest report of any type, with its report-ID byte: the endpoints' packet size.
std::size_t ReportLength(const std::vector<std::uint8_t>& descriptor) {
    const auto parsed = device::ParseReportDescriptor(descriptor);
    std::size_t length = 8;
    if (parsed.descriptor) {
        for (const auto& report : parsed.descriptor->reports) {
            length = std::max(length, report.ByteLength());
        }
    }
    return length;
}

// The device node whose number the function's "dev" attribute names ("240:0").
std::optional<fs::path> FunctionNode(const fs::path& function) {
    std::ifstream in(function / "dev");
    unsigned major = 0;
    unsigned minor = 0;
    char colon = 0;
    if (!(in >> major >> colon >> minor) || colon != ':') {
        return std::nullopt;
    }
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/dev", ec)) {
        struct stat st {};
        if (entry.path().filename().string().starts_with("hidg") && ::stat(entry.path().c_str(), &st) == 0 &&
            S_ISCHR(st.st_mode) && st.st_rdev == makedev(major, minor)) {
            return entry.path();
        }
    }
    return std::nullopt;
}

}  // namespace

UsbGadget::~UsbGadget() {
    Remove();
}

bool UsbGadget::Create(const SimProductSpec& product, const std::string& name, const std::string& udc,
                       const fs::path& configfsRoot, std::string& error) {
    Remove();
    dir_ = configfsRoot / ("norvane-" + name);
    udc_ = udc;
    std::error_code ec;
    const fs::path strings = dir_ / "strings" / "0x409";
    const fs::path config = dir_ / "configs" / "c.1";
    if (!fs::create_directory(dir_, ec) || !fs::create_directories(strings, ec) ||
        !fs::create_directories(config / "strings" / "0x409", ec)) {
        error = "cannot create " + dir_.string() + ": " + (ec ? ec.message() : "it exists");
        return false;
    }
    const bool identity =
        WriteAttribute(dir_ / "idVendor", Hex16(product.vendorId)) &&
        WriteAttribute(dir_ / "idProduct", Hex16(product.productId)) &&
        WriteAttribute(dir_ / "bcdDevice", Hex16(product.version)) &&
        WriteAttribute(dir_ / "bcdUSB", "0x0200") && WriteAttribute(strings / "manufacturer", "NORVANE") &&
        WriteAttribute(strings / "product", "NORVANE simulated " + name) &&
        WriteAttribute(strings / "serialnumber", name) && WriteAttribute(config / "MaxPower", "100");
    if (!identity) {
        error = "cannot set the identity of " + dir_.string();
        return false;
    }
    std::uint16_t last = 0;
    for (const auto& interface : product.interfaces) {
        last = std::max(last, interface.number);
    }
    for (std::uint16_t number = 0; number <= last; ++number) {
        const auto it = std::ranges::find(product.interfaces, number, &SimInterfaceSpec::number);
        const bool used = it != product.interfaces.end();
        // A stand-in is a loopback function: it takes no /dev/hidgN (the kernel has four).
        Function function{number, used, (used ? "hid.if" : "Loopback.if") + std::to_string(number), {}};
        const fs::path dir = dir_ / "functions" / function.instance;
        if (!fs::create_directory(dir, ec)) {
            error = "cannot create " + dir.string() + ": " + (ec ? ec.message() : "it exists");
            return false;
        }
        bool set = true;
        if (used) {
            // Boot interfaces keep their subclass and protocol.
            const auto& descriptor = it->descriptor;
            const int protocol =
                descriptor == BootKeyboardDescriptor() ? 1 : (descriptor == BootMouseDescriptor() ? 2 : 0);
            const std::string_view bytes(reinterpret_cast<const char*>(descriptor.data()), descriptor.size());
            set = WriteAttribute(dir / "subclass", protocol != 0 ? "1" : "0") &&
                  WriteAttribute(dir / "protocol", std::to_string(protocol)) &&
                  WriteAttribute(dir / "report_length", std::to_string(ReportLength(descriptor))) &&
                  WriteAttribute(dir / "report_desc", bytes);
        }
        if (!set || ::symlink(dir.c_str(), (config / function.instance).c_str()) != 0) {
            error = "cannot set up " + dir.string() + ": " + std::generic_category().message(errno);
            return false;
        }
        functions_.push_back(std::move(function));
    }
    return true;
}

bool UsbGadget::Bind(int timeoutMs, std::string& error) {
    if (bound_) {
        return true;
    }
    if (!WriteAttribute(dir_ / "UDC", udc_)) {
        error = "cannot bind " + dir_.string() + " to " + udc_;
        return false;
    }
    bound_ = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (Function& function : functions_) {
        while (function.used) {
            if (const auto node = FunctionNode(dir_ / "functions" / function.instance)) {
                function.node = *node;
                break;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                error = "no device node for " + function.instance + " of " + dir_.string();
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    return true;
}

void UsbGadget::Unbind() {
    if (bound_) {
        WriteAttribute(dir_ / "UDC", "\n");
        bound_ = false;
        for (Function& function : functions_) {
            function.node.clear();
        }
    }
}

void UsbGadget::Remove() {
    if (dir_.empty()) {
        return;
    }
    Unbind();
    const fs::path config = dir_ / "configs" / "c.1";
    for (const Function& function : functions_) {
        ::unlink((config / function.instance).c_str());
        ::rmdir((dir_ / "functions" / function.instance).c_str());
    }
    functions_.clear();
    for (const fs::path& dir : {config / "strings" / "0x409", config, dir_ / "strings" / "0x409", dir_}) {
        ::rmdir(dir.c_str());
    }
    dir_.clear();
}

std::vector<std::string> DeviceControllers(const fs::path& sysfsRoot) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(sysfsRoot / "class" / "udc", ec)) {
        names.push_back(entry.path().filename().string());
    }
    // dummy_udc.2 before dummy_udc.10.
    std::ranges::sort(names, [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}

}  // namespace norvane::sim
