// ".Shoot" recoil patterns: bullets, packed events and writing a bullet back.
#include "config/shoot_data.h"
#include "tests/config/fuzz/fuzz_support.h"

using namespace norvane::config;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = norvane::fuzz::WriteInput("ShootData_1.Shoot", data, size);
    ShootData shoot(file.parent_path(), file.parent_path() / "factory");
    for (int bullet = 0; bullet < kBulletCount; ++bullet) {
        shoot.ReadBullet(1, bullet);
    }
    IsValidShootPattern(shoot.Events(1));
    shoot.PackedEvents(1);
    if (size > 0) {
        shoot.WriteBullet(1, data[0] % kBulletCount, {data[0], true, 3, false, 40});
    }
    shoot.EnsureFiles();
    return 0;
}
