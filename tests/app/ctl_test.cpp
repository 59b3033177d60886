#include "app/ctl.h"

#include "device/hidraw_backend.h"
#include "platform/diag.h"
#include "sim/products.h"
#include "tests/device/fake_sysfs.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <cerrno>
#include <memory>

namespace norvane::ctl {
namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

Result RunCtl(std::vector<std::string_view> args, std::unique_ptr<device::HidBackend> backend = nullptr) {
    Result result;
    result.code = Run(args, result.out, result.err, std::move(backend));
    return result;
}

TEST(CtlTest, ListShowsEveryMatchedInterfaceOfTheSimulatedDevices) {
    const Result r = RunCtl({"--simulate=keyboard,mouse", "list"});
    EXPECT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out,
              "ROW  PRODUCT       KIND            ROLE     VERSION  ACCESS  PATH\n"
              "1    keyboard      keyboard        event    0102     ok      "
              "sim:keyboard:1#vid_320f&pid_50b7&mi_01&col03\n"
              "0    keyboard      keyboard        command  0102     ok      "
              "sim:keyboard:1#vid_320f&pid_50b7&mi_01&col04\n"
              "5    mouse         mouse-cable     event    0203     ok      "
              "sim:mouse:1#vid_320f&pid_221c&mi_01&col03\n"
              "4    mouse         mouse-cable     command  0203     ok      "
              "sim:mouse:1#vid_320f&pid_221c&mi_01&col04\n");
}

TEST(CtlTest, InfoSettingsAndStatusDecodeTheDevice) {
    Result r = RunCtl({"--simulate=keyboard,mouse", "info", "keyboard"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_NE(r.out.find("key count:     126 (key table 378 bytes)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("macro memory:  4096 bytes (32 x 128)\n"), std::string::npos);

    r = RunCtl({"--simulate=mouse", "info", "320f:221c"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_NE(r.out.find("sensor:        0x3325\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("dpi:           200 to 6500 in steps of 100 (slider 0 to 63)\n"), std::string::npos);

    r = RunCtl({"--simulate=receiver", "settings", "receiver"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_NE(r.out.find("settings block (71 bytes at offset 0):\n  0000: 00 01 04 02"), std::string::npos)
        << r.out;

    r = RunCtl({"--simulate=mousepad", "status", "sim:mousepad:1#vid_320f&pid_1004&mi_01&col04"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_NE(r.out.find("power:         charging\nphone:         iPhone\n"), std::string::npos) << r.out;
}

TEST(CtlTest, TraceShowsTheExchangesOfThisRunOnly) {
    const Result r = RunCtl({"--simulate=mousepad", "--trace", "status", "mousepad"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_TRUE(r.err.starts_with("命令\n04 ")) << r.err;
    EXPECT_NE(r.err.find("返回\n"), std::string::npos) << r.err;
    EXPECT_FALSE(platform::diag::Enabled());
    EXPECT_EQ(RunCtl({"--simulate=mousepad", "status", "mousepad"}).err, "");
}

TEST(CtlTest, UsageAndMissingDevices) {
    struct Case {
        std::vector<std::string_view> args;
        int code;
        const char* message;
    };
    const Case cases[] = {
        {{}, kExitUsage, "usage:"},
        {{"--simulate", "frobnicate"}, kExitUsage, "unknown command 'frobnicate'"},
        {{"--colour", "list"}, kExitUsage, "unknown option '--colour'"},
        {{"--simulate=toaster", "list"}, kExitUsage, "unknown simulated device 'toaster'"},
        {{"--simulate=keyboard", "info"}, kExitUsage, "usage: norvane-ctl info DEVICE"},
        {{"--simulate=keyboard", "info", "kettle"}, kExitUsage, "names no product"},
        {{"--simulate=keyboard", "info", "mouse"}, kExitNotFound, "no mouse is connected"},
        {{"--simulate=keyboard", "descriptor", "/nonexistent"}, kExitUsage, "names no product"},
        {{"sim"}, kExitUsage, "sim takes ACTION PRODUCT"},
        {{"sim", "plug"}, kExitUsage, "sim takes ACTION PRODUCT"},
        {{"sim", "plug", "keyboard", "mouse"}, kExitUsage, "sim takes ACTION PRODUCT"},
    };
    for (const Case& c : cases) {
        const Result r = RunCtl(c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_EQ(RunCtl({"--help"}).code, kExitOk);
}

TEST(CtlTest, DescriptorFileAsJson) {
    const std::string path = std::string(NORVANE_DEVICE_TEST_DATA) + "/mt43.hex";
    const Result r = RunCtl({"descriptor", path});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    Json::Value actual;
    Json::Value expected;
    Json::Reader reader;
    ASSERT_TRUE(reader.parse(r.out, actual));
    ASSERT_TRUE(reader.parse(test::ReadText(std::string(NORVANE_DEVICE_TEST_DATA) + "/mt43.expected.json"),
                             expected));
    EXPECT_EQ(actual, expected);

    test::TempDir dir;
    test::WriteText(dir / "bad.hex", "05 0c 0");
    EXPECT_EQ(RunCtl({"descriptor", (dir / "bad.hex").string()}).code, kExitFailed);
    test::WriteText(dir / "unbalanced.hex", "05 0c 09 01 a1 01");
    const Result unbalanced = RunCtl({"descriptor", (dir / "unbalanced.hex").string()});
    EXPECT_EQ(unbalanced.code, kExitFailed);
    EXPECT_NE(unbalanced.err.find("unbalanced"), std::string::npos);
}

class CtlHidrawTest : public ::testing::Test {
protected:
    void SetUp() override { sysfs_.Add(4, {0x320F, 0x50B7, 0x0102, 1, sim::PeripheralDescriptor()}); }
    std::unique_ptr<device::HidBackend> Backend() {
        return std::make_unique<device::HidrawBackend>(sysfs_.Config());
    }

    test::FakeSysfs sysfs_;
};

TEST_F(CtlHidrawTest, NoAccessNamesTheUdevRule) {
    sysfs_.DenyOpens(EACCES);
    Result r = RunCtl({"list"}, Backend());
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_NE(r.out.find("denied  /dev/hidraw4#vid_320f&pid_50b7&mi_01&col04"), std::string::npos) << r.out;
    r = RunCtl({"info", "keyboard"}, Backend());
    EXPECT_EQ(r.code, kExitNoAccess);
    EXPECT_NE(r.err.find("no access to /dev/hidraw4"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("70-norvane.rules"), std::string::npos);
}

TEST_F(CtlHidrawTest, BusyAndSilentDevices) {
    sysfs_.DenyOpens(EBUSY);
    Result r = RunCtl({"status", "keyboard"}, Backend());
    EXPECT_EQ(r.code, kExitBusy);
    EXPECT_NE(r.err.find("busy"), std::string::npos);
    // Nothing answers on the fake node: the command fails with a clear reason.
    sysfs_.DenyOpens(0);
    r = RunCtl({"status", "keyboard"}, Backend());
    EXPECT_EQ(r.code, kExitFailed);
    EXPECT_NE(r.err.find("ReadStatus failed: no answer from the device"), std::string::npos) << r.err;
    // The descriptor needs no access to the device node.
    sysfs_.DenyOpens(EACCES);
    r = RunCtl({"descriptor", "keyboard"}, Backend());
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_NE(r.out.find("\"usage_page\": 65308"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace norvane::ctl
