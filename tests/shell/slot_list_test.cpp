// The slot list: claims, releases and the partner rule over the real catalogue.
#include "shell/device_list/device_slot.h"

#include <gtest/gtest.h>

namespace norvane::test {
namespace {

using device::DeviceKind;
using device::DeviceRole;

int Row(std::uint16_t vendor, std::uint16_t product, DeviceKind kind, DeviceRole role) {
    return device::FindCatalogRow(vendor, product, kind, role);
}

device::InterfaceIdentity IdentityOf(int row) {
    const auto& e = device::DeviceCatalog()[static_cast<std::size_t>(row)];
    return {e.vendorId, e.productId, e.interfaceNumber, e.collectionNumber, e.usagePage, e.usage};
}

TEST(SlotListTest, ClaimTakesTheFirstFreeSlotEqualOnAllSixValues) {
    shell::SlotList slots;
    const int keyboard = Row(0x320F, 0x50B7, DeviceKind::Keyboard, DeviceRole::Command);
    EXPECT_TRUE(slots.IsCandidate(0x320F, 0x50B7, 1, 4));
    EXPECT_FALSE(slots.IsCandidate(0x320F, 0x50B7, 1, 1));
    EXPECT_EQ(slots.Claim(IdentityOf(keyboard), "a"), keyboard);
    // Taken: the same interface again has no free slot, and is no longer a candidate.
    EXPECT_EQ(slots.Claim(IdentityOf(keyboard), "b"), -1);
    EXPECT_FALSE(slots.IsCandidate(0x320F, 0x50B7, 1, 4));
    // Same path keys, other usage: not the row.
    auto wrongUsage = IdentityOf(Row(0x320F, 0x1004, DeviceKind::MousePad, DeviceRole::Command));
    wrongUsage.usage = 0x01;
    EXPECT_EQ(slots.Claim(wrongUsage, "c"), -1);
    EXPECT_EQ(slots.PresentSlots(), (std::vector<std::pair<int, std::string>>{{keyboard, "a"}}));
    EXPECT_TRUE(slots.AnyFree());
}

TEST(SlotListTest, ReleaseOnlyClearsTheSlotItSawChange) {
    shell::SlotList slots;
    const int pad = Row(0x320F, 0x1004, DeviceKind::MousePad, DeviceRole::Command);
    ASSERT_EQ(slots.Claim(IdentityOf(pad), "p1"), pad);
    EXPECT_FALSE(slots.Release(pad, "other"));
    EXPECT_TRUE(slots.At(pad)->present);
    EXPECT_TRUE(slots.Release(pad, "p1"));
    EXPECT_TRUE(slots.At(pad)->IsFree());
    EXPECT_FALSE(slots.Release(pad, "p1"));
    EXPECT_FALSE(slots.Release(99, "p1"));
    EXPECT_FALSE(slots.At(-1));
}

TEST(SlotListTest, PartnerIsUsableOnlyWhenItNamesTheSlotBackAndIsPresent) {
    shell::SlotList slots;
    const int cable = Row(0x320F, 0x221C, DeviceKind::MouseCable, DeviceRole::Command);
    const int receiver = Row(0x320F, 0x221D, DeviceKind::MouseReceiver, DeviceRole::Command);
    const int keyboard = Row(0x320F, 0x50B7, DeviceKind::Keyboard, DeviceRole::Command);
    const int alternate = Row(0x05AC, 0x024F, DeviceKind::KeyboardAlternate, DeviceRole::Command);
    const int keyboard2 = Row(0x320F, 0x511D, DeviceKind::Keyboard, DeviceRole::Command);
    const int pad = Row(0x320F, 0x1004, DeviceKind::MousePad, DeviceRole::Command);

    EXPECT_EQ(slots.MutualPartner(cable), receiver);
    EXPECT_EQ(slots.MutualPartner(receiver), cable);
    EXPECT_EQ(slots.MutualPartner(keyboard), alternate);
    EXPECT_EQ(slots.MutualPartner(alternate), keyboard);
    // The second keyboard names the alternate identity, which names the first keyboard.
    EXPECT_FALSE(slots.MutualPartner(keyboard2));
    EXPECT_FALSE(slots.MutualPartner(pad));

    EXPECT_FALSE(slots.UsablePartner(cable));
    ASSERT_EQ(slots.Claim(IdentityOf(receiver), "r"), receiver);
    EXPECT_EQ(slots.UsablePartner(cable), receiver);
    EXPECT_FALSE(slots.UsablePartner(receiver));
    ASSERT_EQ(slots.Claim(IdentityOf(alternate), "alt"), alternate);
    EXPECT_FALSE(slots.UsablePartner(keyboard2));
    EXPECT_EQ(slots.UsablePartner(keyboard), alternate);
}

}  // namespace
}  // namespace norvane::test
