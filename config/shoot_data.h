#pragma once

#include "config/macro_event.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

// The four recoil patterns of a mouse, "ShootData_<gun>.Shoot" in the device's data folder
// with factory copies in the program's "DefaultData" folder. A pattern is a macro event
// list of 30 bullets, six events each.
namespace norvane::config {

inline constexpr int kGunCount = 4;
inline constexpr int kBulletCount = 30;
inline constexpr int kEventsPerBullet = 6;
inline constexpr int kMaxBulletDistance = 255;

struct Bullet {
    int x = 0;          // horizontal distance, 0–255
    bool left = false;  // horizontal direction
    int y = 0;          // vertical distance, 0–255
    bool up = false;    // vertical direction
    int delay = 0;      // milliseconds after the vertical move, 0–65535

    friend bool operator==(const Bullet&, const Bullet&) = default;
};

// The six events of one bullet.
std::array<MacroEvent, kEventsPerBullet> BulletEvents(const Bullet& bullet);
// Distances limited to 0–255 and the delay to 0–65535, as they are stored.
Bullet ClampBullet(const Bullet& bullet);
// Event types and counts a mouse accepts for a pattern.
bool IsValidShootPattern(const std::vector<MacroEvent>& events);
// The text of a pattern file whose "Events" are all such events (none dropped as unreadable).
bool IsValidShootFile(std::string_view text);

class ShootData {
public:
    ShootData(std::filesystem::path userFolder, std::filesystem::path factoryFolder);

    std::filesystem::path UserFile(int gun) const;
    std::filesystem::path FactoryFile(int gun) const;

    // Replaces every user file that cannot be read or parsed by its factory copy; one that
    // exists is kept aside first.
    void EnsureFiles() const;
    // The bullet as the mouse receives it (distances are sent as one byte each).
    std::optional<Bullet> ReadBullet(int gun, int bullet) const;
    // The gun's bullets from the first, up to the first one the file lacks; one file read.
    std::vector<Bullet> ReadPattern(int gun) const;
    // Writes the bullet's six events, leaving the file's other events and members as they
    // were; returns the bullet as stored (clamped), or nullopt when nothing was written.
    std::optional<Bullet> WriteBullet(int gun, int bullet, const Bullet& value) const;
    // Byte-for-byte copies.
    bool Reset(int gun) const;
    // Only a regular file holding a pattern the mouse accepts (every element of "Events" an
    // event of IsValidShootPattern) is copied; anything else leaves the user's file as it was.
    bool Import(int gun, const std::filesystem::path& source) const;
    bool Export(int gun, const std::filesystem::path& target) const;

    // The pattern of a gun as the device receives it.
    std::vector<MacroEvent> Events(int gun) const;
    std::vector<PackedMacroEvent> PackedEvents(int gun) const;

private:
    std::filesystem::path userFolder_;
    std::filesystem::path factoryFolder_;
};

}  // namespace norvane::config
