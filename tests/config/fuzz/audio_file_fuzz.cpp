// "AudioFile.json": the music-light styles.
#include "config/music_style.h"
#include "tests/config/fuzz/fuzz_support.h"

using namespace norvane::config;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = norvane::fuzz::WriteInput("AudioFile.json", data, size);
    Json::Value device = LoadAudioFile(file, file.parent_path() / "missing.json");
    const MusicStyleInfo info = ReadMusicStyle(device);
    WriteMusicStyle(device, info);
    SaveAudioFile(file, device);
    return 0;
}
