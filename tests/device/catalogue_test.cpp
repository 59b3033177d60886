#include "device/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace norvane::device {
namespace {

TEST(CatalogueTest, TablesHaveTheirSizes) {
    EXPECT_EQ(DeviceCatalog().size(), 13u);
    EXPECT_EQ(DeviceTiles().size(), 5u);
    EXPECT_EQ(DevicePages().size(), 5u);
    EXPECT_EQ(FirmwareIdentities().size(), 4u);
    EXPECT_EQ(FirmwareIdentities().back().chipCode, "ALL");
    EXPECT_EQ(FirmwareIdentities().back().versionText, "V1.0.0.1");
}

TEST(CatalogueTest, CandidateTest) {
    struct Case {
        std::uint16_t vid, pid, mi, col;
        bool candidate;
    };
    const Case cases[] = {
        {0x320F, 0x50B7, 1, 4, true},   {0x320F, 0x50B7, 1, 3, true},
        {0x320F, 0x50B7, 1, 1, false},  // the plain keyboard collection
        {0x320F, 0x50B7, 1, 0, false},  // no collection suffix: only the headset has none
        {0x0C76, 0x1630, 3, 0, true},   {0x0C76, 0x1630, 3, 1, false},
        {0x320F, 0x50B7, 0, 4, false},  {0x320F, 0x9999, 1, 4, false},
        {0x05AC, 0x024F, 1, 4, true},   {0x320F, 0x511D, 1, 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.vid << ":" << c.pid << " mi " << c.mi << " col " << c.col);
        EXPECT_EQ(IsCatalogCandidate(c.vid, c.pid, c.mi, c.col), c.candidate);
    }
}

TEST(CatalogueTest, IdentificationNeedsAllSixValues) {
    const auto command = IdentifyInterface({0x320F, 0x221D, 1, 4, 0xFF1C, 0x92});
    ASSERT_TRUE(command);
    EXPECT_EQ(command->row, 6);
    EXPECT_EQ(command->kind, DeviceKind::MouseReceiver);
    EXPECT_EQ(command->role, DeviceRole::Command);

    const auto event = IdentifyInterface({0x320F, 0x1004, 1, 3, 0x000C, 0x01});
    ASSERT_TRUE(event);
    EXPECT_EQ(event->row, 9);
    EXPECT_EQ(event->role, DeviceRole::Event);

    const auto headset = IdentifyInterface({0x0C76, 0x1630, 3, 0, 0x000C, 0x01});
    ASSERT_TRUE(headset);
    EXPECT_EQ(headset->kind, DeviceKind::Headset);
    EXPECT_EQ(headset->role, DeviceRole::Command);

    EXPECT_FALSE(IdentifyInterface({0x320F, 0x50B7, 1, 4, 0x000C, 0x01}));  // wrong usage for collection 4
    EXPECT_FALSE(IdentifyInterface({0x320F, 0x50B7, 1, 4, 0xFF1C, 0x93}));
}

TEST(CatalogueTest, RowAndTileLookup) {
    EXPECT_EQ(FindCatalogRow(0x320F, 0x511D, DeviceKind::Keyboard, DeviceRole::Event), 12);
    EXPECT_EQ(FindCatalogRow(0x320F, 0x50B7, DeviceKind::MouseCable, DeviceRole::Command), -1);
    EXPECT_EQ(FindTileRow(0x320F, 0x511D, DeviceKind::Keyboard, DeviceRole::Command), 4);
    EXPECT_EQ(FindTileRow(0x320F, 0x221D, DeviceKind::MouseReceiver, DeviceRole::Command), -1);
    EXPECT_EQ(FindTileRow(0x1234, 0x5678, DeviceKind::Keyboard, DeviceRole::Command), -1);
}

TEST(CatalogueTest, ReceiverGetsTheMouseTileAndPage) {
    const int tile = FindTileRowForCatalogRow(6);
    ASSERT_EQ(tile, 0);
    EXPECT_EQ(DeviceTiles()[0].typeName, "mouse");
    EXPECT_TRUE(DevicePages()[0].wirelessCapable);
    EXPECT_EQ(DevicePages()[0].ledCount, 15);
    EXPECT_EQ(FindTileRowForCatalogRow(4), 0);
    EXPECT_EQ(FindTileRowForCatalogRow(10), 3);
    EXPECT_EQ(FindTileRowForCatalogRow(13), -1);
    EXPECT_EQ(FindTileRowForCatalogRow(-1), -1);
}

TEST(CatalogueTest, PartnershipCountsOnlyBothWays) {
    EXPECT_EQ(MutualPartner(0), 2);
    EXPECT_EQ(MutualPartner(2), 0);
    EXPECT_EQ(MutualPartner(4), 6);
    EXPECT_EQ(MutualPartner(7), 5);
    EXPECT_FALSE(MutualPartner(11));  // names row 2, which names row 0 back
    EXPECT_FALSE(MutualPartner(12));
    EXPECT_FALSE(MutualPartner(8));
    EXPECT_FALSE(MutualPartner(99));
}

TEST(CatalogueTest, FirmwareRowsPairWithDevicesByIdentityNotPosition) {
    // Keyboard 0x511D (tile 4) arrived first, then the mouse on its cable; no mousepad.
    const OpenDeviceVersion open[] = {{11, 0x0105}, {4, 0x0203}};
    const auto list = BuildFirmwareList(open, 1001);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].chipCode, "TX20M1A");
    EXPECT_EQ(list[0].currentVersion, 0x0203u);
    EXPECT_EQ(list[1].chipCode, "TX20K1A");
    EXPECT_EQ(list[1].currentVersion, 0x0105u);
    EXPECT_EQ(list[2].chipCode, "ALL");
    EXPECT_EQ(list[2].currentVersion, 1001u);
}

// Catalogue rows: 0 keyboard, 2 keyboard under its alternate identity, 4 mouse on its
// cable, 5 its event interface, 6 the mouse's receiver, 8 mousepad, 11 second keyboard.
TEST(CatalogueTest, FirmwareVersionComesFromTheCableSideOfTheCommandChannel) {
    struct Case {
        const char* name;
        std::vector<OpenDeviceVersion> open;
        std::uint32_t mouse, keyboard, pad;  // 0: row left out
    };
    const Case cases[] = {
        {"receiver only", {{6, 0x0203}}, 0, 0, 0},
        {"receiver before cable", {{6, 0x0203}, {4, 0x0110}}, 0x0110, 0, 0},
        {"cable before receiver", {{4, 0x0110}, {6, 0x0203}}, 0x0110, 0, 0},
        {"alternate identity only", {{2, 0x0102}}, 0, 0x0102, 0},
        {"alternate identity before the main one", {{2, 0x0102}, {0, 0x0101}}, 0, 0x0101, 0},
        {"main identity before the alternate one", {{0, 0x0101}, {2, 0x0102}}, 0, 0x0101, 0},
        {"two keyboards", {{11, 0x0105}, {0, 0x0101}}, 0, 0x0101, 0},
        {"two keyboards, other order", {{0, 0x0101}, {11, 0x0105}}, 0, 0x0101, 0},
        {"event interfaces carry no version", {{5, 0x0999}, {7, 0x0999}, {8, 0x0300}}, 0, 0, 0x0300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto list = BuildFirmwareList(c.open, 1001);
        const auto versionOf = [&list](std::string_view chip) {
            const auto it = std::ranges::find(list, chip, &FirmwareIdentityEntry::chipCode);
            return it == list.end() ? 0u : it->currentVersion;
        };
        EXPECT_EQ(versionOf("TX20M1A"), c.mouse);
        EXPECT_EQ(versionOf("TX20K1A"), c.keyboard);
        EXPECT_EQ(versionOf("TX20K3A"), c.pad);
        EXPECT_EQ(versionOf("ALL"), 1001u);
    }
}

TEST(CatalogueTest, FirmwareListDropsZeroVersions) {
    const OpenDeviceVersion open[] = {{8, 0}};
    EXPECT_TRUE(BuildFirmwareList(open, 0).empty());
    EXPECT_EQ(BuildFirmwareList({}, 1001).size(), 1u);
}

}  // namespace
}  // namespace norvane::device
