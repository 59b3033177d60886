#include "sim/sim_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace norvane::sim {
namespace {

std::unique_ptr<SimBackend> Backend(std::string_view products) {
    std::string error;
    auto backend = MakeSimBackend(products, error);
    EXPECT_NE(backend, nullptr) << error;
    return backend;
}

// Whether enumeration lists any collection of the named device.
bool Listed(SimBackend& backend, std::string_view name) {
    std::vector<std::string> paths;
    EXPECT_TRUE(backend.Enumerate(paths));
    const std::string prefix = "sim:" + std::string(name) + ":";
    return std::ranges::any_of(paths, [&](const std::string& path) { return path.starts_with(prefix); });
}

TEST(SimControl, UnplugHidesTheDeviceAndPlugBringsItBack) {
    auto backend = Backend("keyboard,mouse");
    ASSERT_TRUE(Listed(*backend, "keyboard"));

    EXPECT_EQ(ApplySimControl(*backend, "unplug", "keyboard"), std::nullopt);
    EXPECT_FALSE(Listed(*backend, "keyboard"));
    EXPECT_TRUE(Listed(*backend, "mouse")) << "only the named device goes away";

    EXPECT_EQ(ApplySimControl(*backend, "plug", "keyboard"), std::nullopt);
    EXPECT_TRUE(Listed(*backend, "keyboard"));
}

TEST(SimControl, SecondDeviceOfAProductIsAddressedByItsName) {
    auto backend = Backend("keyboard,keyboard");
    EXPECT_EQ(ApplySimControl(*backend, "unplug", "keyboard-2"), std::nullopt);
    EXPECT_TRUE(Listed(*backend, "keyboard"));
    EXPECT_FALSE(Listed(*backend, "keyboard-2"));
}

TEST(SimControl, LinkSwitchesTheMouseBehindTheReceiver) {
    auto backend = Backend("receiver");
    SimDevice* receiver = backend->Find("receiver");
    ASSERT_NE(receiver, nullptr);
    const auto linked = [&] { return receiver->WithFirmware([](FirmwareModel& f) { return f.Linked(); }); };

    EXPECT_EQ(ApplySimControl(*backend, "unlink", "receiver"), std::nullopt);
    EXPECT_FALSE(linked());
    EXPECT_EQ(ApplySimControl(*backend, "link", "receiver"), std::nullopt);
    EXPECT_TRUE(linked());
}

TEST(SimControl, RefusalsLeaveEveryDeviceAsItWas) {
    struct Case {
        std::string_view action;
        std::string_view product;
        std::string_view reason;  // part of the refusal text
    };
    const Case cases[] = {
        {"dance", "keyboard", "unknown action"},   {"", "keyboard", "unknown action"},
        {"Plug", "keyboard", "unknown action"},    {"unplug", "toaster", "unknown product"},
        {"unplug", "", "unknown product"},         {"unplug", "mousepad", "not simulated"},
        {"unplug", "keyboard-3", "not simulated"}, {"link", "keyboard", "no receiver link"},
        {"unlink", "mouse", "no receiver link"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.action) + " " + std::string(c.product));
        auto backend = Backend("keyboard,mouse");
        const auto refusal = ApplySimControl(*backend, c.action, c.product);
        ASSERT_TRUE(refusal.has_value());
        EXPECT_NE(refusal->find(c.reason), std::string::npos) << *refusal;
        EXPECT_TRUE(Listed(*backend, "keyboard"));
        EXPECT_TRUE(Listed(*backend, "mouse"));
    }
}

}  // namespace
}  // namespace norvane::sim
