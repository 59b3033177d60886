#include "device/catalogue.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace norvane::device {
namespace {

// The installed rule must cover every product of the catalogue, in udev's lower-case hex.
TEST(UdevRuleTest, EveryCatalogueProductGetsUserAccess) {
    const std::string rules = test::ReadText(NORVANE_UDEV_RULE);
    ASSERT_FALSE(rules.empty());
    for (const DeviceCatalogEntry& entry : DeviceCatalog()) {
        char line[160];
        std::snprintf(line, sizeof line,
                      "KERNEL==\"hidraw*\", SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"%04x\", "
                      "ATTRS{idProduct}==\"%04x\", TAG+=\"uaccess\"\n",
                      entry.vendorId, entry.productId);
        EXPECT_NE(rules.find(line), std::string::npos) << line;
    }
    // Nothing but comments and hidraw rules.
    std::istringstream lines(rules);
    std::string text;
    while (std::getline(lines, text)) {
        EXPECT_TRUE(text.empty() || text[0] == '#' || text.starts_with("KERNEL==\"hidraw*\"")) << text;
    }
}

}  // namespace
}  // namespace norvane::device
