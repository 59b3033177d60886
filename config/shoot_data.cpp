#include "config/shoot_data.h"

#include "config/json_access.h"
#include "config/json_file_store.h"
#include "platform/atomic_file.h"
#include "platform/diag.h"

#include <algorithm>
#include <string>

namespace norvane::config {
namespace {

bool ValidGun(int gun) {
    return gun >= 0 && gun < kGunCount;
}
bool ValidBullet(int bullet) {
    return bullet >= 0 && bullet < kBulletCount;
}

std::string FileName(int gun) {
    return "ShootData_" + std::to_string(gun) + ".Shoot";
}

bool CopyFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (from.empty() || to.empty()) {
        return false;
    }
    const std::optional<std::string> bytes = platform::ReadFileLimited(from);
    return bytes && platform::WriteFileAtomically(to, *bytes);
}

void WriteEvent(Json::Value& element, const MacroEvent& event) {
    json::EnsureMember(element, "Type") = event.type;
    json::EnsureMember(element, "Button") = event.button;
    json::EnsureMember(element, "Action") = event.action;
    json::EnsureMember(element, "Delay") = event.delay;
}

// Bullet n of a pattern's "Events", as the mouse receives it.
std::optional<Bullet> BulletAt(const Json::Value& events, int bullet) {
    const auto first = static_cast<std::size_t>(bullet) * kEventsPerBullet;
    const Json::Value* horizontal = json::Element(events, first + 2);
    const Json::Value* vertical = json::Element(events, first + 3);
    if (horizontal == nullptr || vertical == nullptr) {
        return std::nullopt;
    }
    // Read and packed as the mouse receives them: the distance is the low byte of "Button",
    // the delay may be a number or a text.
    const MacroEvent h = ReadMacroEvent(*horizontal).value_or(MacroEvent{});
    const MacroEvent v = ReadMacroEvent(*vertical).value_or(MacroEvent{});
    const PackedMacroEvent packedH = PackMacroEvent(h);
    const PackedMacroEvent packedV = PackMacroEvent(v);
    Bullet b;
    b.x = packedH.bytes[3];
    b.left = h.IsDown();
    b.y = packedV.bytes[3];
    b.up = v.IsDown();
    b.delay = packedV.bytes[0] | (packedV.bytes[1] << 8);
    return b;
}

}  // namespace

std::array<MacroEvent, kEventsPerBullet> BulletEvents(const Bullet& b) {
    const std::string horizontal(b.left ? kActionDown : kActionUp);
    const std::string vertical(b.up ? kActionDown : kActionUp);
    return {{
        {1, 1, std::string(kActionDown), 10},
        {1, 1, std::string(kActionUp), 0},
        {4, b.x, horizontal, 5},
        {5, b.y, vertical, b.delay},
        {4, 0, horizontal, 0},
        {5, 0, vertical, 0},
    }};
}

Bullet ClampBullet(const Bullet& b) {
    return {std::clamp(b.x, 0, kMaxBulletDistance), b.left, std::clamp(b.y, 0, kMaxBulletDistance), b.up,
            std::clamp(b.delay, 0, kMaxMacroDelay)};
}

bool IsValidShootPattern(const std::vector<MacroEvent>& events) {
    if (events.empty() || events.size() > static_cast<std::size_t>(kBulletCount) * kEventsPerBullet) {
        return false;
    }
    return std::all_of(events.begin(), events.end(), [](const MacroEvent& e) {
        const bool knownType = e.type == 1 || e.type == 4 || e.type == 5;
        const bool knownAction = e.action == kActionDown || e.action == kActionUp;
        return knownType && knownAction && e.button >= 0 && e.button <= kMaxBulletDistance;
    });
}

bool IsValidShootFile(std::string_view text) {
    const std::optional<Json::Value> root = JsonFileStore::TryParseJson(text);
    if (!root || !root->isObject()) {
        return false;
    }
    const Json::Value* list = json::Member(*root, "Events");
    if (list == nullptr || !list->isArray()) {
        return false;
    }
    const std::vector<MacroEvent> events = ReadMacroEvents(*root);
    return events.size() == list->size() && IsValidShootPattern(events);
}

ShootData::ShootData(std::filesystem::path userFolder, std::filesystem::path factoryFolder)
    : userFolder_(std::move(userFolder)), factoryFolder_(std::move(factoryFolder)) {
}

std::filesystem::path ShootData::UserFile(int gun) const {
    return ValidGun(gun) ? userFolder_ / FileName(gun) : std::filesystem::path();
}

std::filesystem::path ShootData::FactoryFile(int gun) const {
    return ValidGun(gun) ? factoryFolder_ / FileName(gun) : std::filesystem::path();
}

void ShootData::EnsureFiles() const {
    for (int gun = 0; gun < kGunCount; ++gun) {
        if (JsonFileStore::ReadJsonFile(UserFile(gun)).isObject()) {
            continue;
        }
        if (const std::optional<std::string> bytes = platform::ReadFileLimited(FactoryFile(gun))) {
            JsonFileStore::KeepUnreadableFile(UserFile(gun));
            platform::WriteFileAtomically(UserFile(gun), *bytes);
        }
    }
}

std::optional<Bullet> ShootData::ReadBullet(int gun, int bullet) const {
    if (!ValidGun(gun) || !ValidBullet(bullet)) {
        return std::nullopt;
    }
    const Json::Value root = JsonFileStore::ReadJsonFile(UserFile(gun));
    const Json::Value* events = json::Member(root, "Events");
    return events != nullptr ? BulletAt(*events, bullet) : std::nullopt;
}

std::vector<Bullet> ShootData::ReadPattern(int gun) const {
    std::vector<Bullet> pattern;
    if (!ValidGun(gun)) {
        return pattern;
    }
    const Json::Value root = JsonFileStore::ReadJsonFile(UserFile(gun));
    const Json::Value* events = json::Member(root, "Events");
    for (int b = 0; events != nullptr && b < kBulletCount; ++b) {
        const std::optional<Bullet> bullet = BulletAt(*events, b);
        if (!bullet) {
            break;
        }
        pattern.push_back(*bullet);
    }
    return pattern;
}

std::optional<Bullet> ShootData::WriteBullet(int gun, int bullet, const Bullet& value) const {
    if (!ValidGun(gun) || !ValidBullet(bullet)) {
        return std::nullopt;
    }
    const Bullet stored = ClampBullet(value);
    Json::Value root = JsonFileStore::ReadObjectForUpdate(UserFile(gun));
    Json::Value& events = json::EnsureMember(root, "Events");
    if (!events.isArray()) {
        events = Json::Value(Json::arrayValue);
    }
    // Bullets before this one that the file lacks become still shots.
    const auto first = static_cast<Json::ArrayIndex>(bullet) * kEventsPerBullet;
    while (events.size() < first) {
        const auto missing = BulletEvents({});
        const Json::ArrayIndex at = events.size();
        Json::Value placeholder(Json::objectValue);
        WriteEvent(placeholder, missing[at % kEventsPerBullet]);
        events.append(placeholder);
    }
    const auto replacement = BulletEvents(stored);
    for (int i = 0; i < kEventsPerBullet; ++i) {
        WriteEvent(json::EnsureElement(events, first + static_cast<Json::ArrayIndex>(i)),
                   replacement[static_cast<std::size_t>(i)]);
    }
    if (!JsonFileStore::WriteJsonFile(UserFile(gun), root)) {
        return std::nullopt;
    }
    return stored;
}

bool ShootData::Reset(int gun) const {
    return CopyFile(FactoryFile(gun), UserFile(gun));
}

bool ShootData::Import(int gun, const std::filesystem::path& source) const {
    std::error_code ec;
    if (source.empty() || UserFile(gun).empty() || !std::filesystem::is_regular_file(source, ec)) {
        return false;
    }
    const std::optional<std::string> bytes = platform::ReadFileLimited(source);
    if (!bytes || !IsValidShootFile(*bytes)) {
        platform::diag::Trace("recoil pattern not imported: " + source.string());
        return false;
    }
    return platform::WriteFileAtomically(UserFile(gun), *bytes);
}

bool ShootData::Export(int gun, const std::filesystem::path& target) const {
    return CopyFile(UserFile(gun), target);
}

std::vector<MacroEvent> ShootData::Events(int gun) const {
    return ValidGun(gun) ? ReadMacroEvents(JsonFileStore::ReadJsonFile(UserFile(gun)))
                         : std::vector<MacroEvent>{};
}

std::vector<PackedMacroEvent> ShootData::PackedEvents(int gun) const {
    return PackMacroEvents(Events(gun));
}

}  // namespace norvane::config
