// The mouse's button map and the key table assembled from it.
#include "devices/mouse/button_table.h"
#include "devices/mouse/mouse_wire.h"

#include <gtest/gtest.h>

#include <vector>

namespace norvane::devices::mouse {
namespace {

using config::KeyAssignment;
using config::KeyListEntry;
using Bytes = std::vector<std::uint8_t>;

Bytes TableOf(const std::vector<KeyAssignment>& keys) {
    Bytes table;
    for (const KeyAssignment& a : keys) {
        table.insert(table.end(), {a.type, a.param1, a.param2});
    }
    return table;
}

std::vector<KeyAssignment> FactoryRows() {
    return {kButtonFunctionTable.begin(), kButtonFunctionTable.end()};
}

// One key list entry per logical button, each at its factory assignment.
std::vector<KeyListEntry> FactoryKeyList() {
    std::vector<KeyListEntry> keys;
    for (std::size_t i = 0; i < kButtonCount; ++i) {
        const auto index = static_cast<std::uint16_t>(i);
        keys.push_back({index, kButtonFunctionTable[i], index, kButtonFunctionTable[i]});
    }
    return keys;
}

TEST(MouseButtonMap, FirstMatchingPhysicalKeyPerButton) {
    struct Case {
        const char* name;
        std::vector<KeyAssignment> table;
        int keyCount;
        std::vector<int> map;
    };
    const KeyAssignment other{0x20, 0x00, 0x04};
    std::vector<KeyAssignment> reversed = FactoryRows();
    std::reverse(reversed.begin(), reversed.end());
    std::vector<KeyAssignment> withDuplicates = FactoryRows();
    withDuplicates[0] = other;                          // no left button at all
    withDuplicates.push_back(kButtonFunctionTable[0]);  // ... except on key 11
    withDuplicates.push_back(kButtonFunctionTable[1]);  // a second right button
    constexpr int kNo = kNoPhysicalKey;
    const std::vector<Case> cases = {
        {"factory order", FactoryRows(), 11, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"reversed", reversed, 11, {10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
        {"duplicates and a missing button",
         withDuplicates,
         13,
         {11, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, kNo, kNo}},
        {"keys past the key count are not looked at",
         FactoryRows(),
         3,
         {0, 1, 2, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo}},
        {"key count past the table",
         {kButtonFunctionTable[2]},
         4,
         {kNo, kNo, 0, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo}},
        {"no keys", {}, 0, std::vector<int>(kButtonCount, kNo)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildButtonMap(TableOf(c.table), c.keyCount), c.map) << c.name;
    }
}

// The mouse's factory table with the logical buttons on shuffled physical keys.
struct KeyTableFixture {
    std::vector<KeyAssignment> rows = FactoryRows();
    Bytes factory;
    std::vector<int> map;
    std::vector<KeyListEntry> keys = FactoryKeyList();

    KeyTableFixture() {
        std::swap(rows[0], rows[5]);  // left button on key 5, DPI up on key 0
        rows.push_back({0x20, 0x00, 0x04});
        factory = TableOf(rows);
        map = BuildButtonMap(factory, 12);
    }
    [[nodiscard]] Bytes Expected(const std::vector<std::pair<int, KeyAssignment>>& changes) const {
        std::vector<KeyAssignment> expected = rows;
        for (const auto& [key, a] : changes) {
            expected[static_cast<std::size_t>(key)] = a;
        }
        return TableOf(expected);
    }
};

TEST(MouseKeyTable, MacrosRenumberedInOrderOfFirstUse) {
    KeyTableFixture f;
    f.keys[0].current = {0x70, 4, 0};  // left button: macro 4
    f.keys[1].current = {0x71, 2, 3};  // right button: macro 2, repeated
    f.keys[2].current = {0x70, 4, 1};  // middle button: macro 4 again
    f.keys[3].current = {0x70, 7, 0};  // past a library of 5: the default
    f.keys[3].defaultAssignment = {0x20, 0x00, 0x3A};
    f.keys[4].current = {0x72, 2, 0};  // gun key 2, as it is
    f.keys[6].current = {0x20, 0x00, 0x05};
    ASSERT_EQ(f.map[0], 5);

    EXPECT_EQ(ListUsedMacros(f.keys, f.map, 5), (std::vector<int>{4, 2}));
    EXPECT_EQ(AssembleMouseKeyTable(f.factory, f.map, f.keys, 5, MacroBindings::Slots),
              f.Expected({{5, {0x70, 0, 0}},
                          {1, {0x71, 1, 3}},
                          {2, {0x70, 0, 1}},
                          {3, {0x20, 0x00, 0x3A}},
                          {4, {0x72, 2, 0}},
                          {6, {0x20, 0x00, 0x05}}}));

    // The macros did not reach the device: every macro button gets its default this time.
    EXPECT_EQ(AssembleMouseKeyTable(f.factory, f.map, f.keys, 5, MacroBindings::Defaults),
              f.Expected({{3, {0x20, 0x00, 0x3A}}, {4, {0x72, 2, 0}}, {6, {0x20, 0x00, 0x05}}}));
    // An empty library: no macro is used, every macro button gets its default.
    EXPECT_TRUE(ListUsedMacros(f.keys, f.map, 0).empty());
}

TEST(MouseKeyTable, ButtonsWithoutAPhysicalKeyAreLeftOut) {
    KeyTableFixture f;
    f.map[1] = kNoPhysicalKey;  // no right button on this mouse
    f.map[2] = 40;              // a key past the table
    f.keys[1].current = {0x70, 3, 0};
    f.keys[2].current = {0x70, 1, 0};
    f.keys[7].current = {0x70, 0, 0};
    EXPECT_EQ(ListUsedMacros(f.keys, f.map, 5), (std::vector<int>{1, 0}));
    EXPECT_EQ(AssembleMouseKeyTable(f.factory, f.map, f.keys, 5, MacroBindings::Slots),
              f.Expected({{7, {0x70, 1, 0}}}));

    // A short key list binds only the buttons it has.
    const std::vector<KeyListEntry> shortList(f.keys.begin(), f.keys.begin() + 2);
    EXPECT_TRUE(ListUsedMacros(shortList, f.map, 5).empty());
    EXPECT_EQ(AssembleMouseKeyTable(f.factory, f.map, shortList, 5, MacroBindings::Slots), f.factory);
}

}  // namespace
}  // namespace norvane::devices::mouse
