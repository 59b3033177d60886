// Profile file ("<identifier>.Json"): every getter of the four profile classes.
#include "config/de6533_profiledata.h"
#include "config/json_file_store.h"
#include "config/keyboard_profiledata.h"
#include "config/mouse_profiledata.h"
#include "tests/config/fuzz/fuzz_support.h"

using namespace norvane::config;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path path = norvane::fuzz::WriteInput("p.Json", data, size);

    CKeyboardProfiledata keyboard;
    keyboard.SetProfilePath(path);
    keyboard.SetLightConfigPath(path.parent_path() / "velto_light.config");
    keyboard.LoadDeviceDocument(path);
    keyboard.GetKeyList();
    keyboard.GetLightInfo();
    keyboard.GetAudioLight();
    keyboard.GetLightList();
    keyboard.GetKeyboardSettings();
    const int group = keyboard.GetCustomGroupIndex();
    keyboard.GetCustomColors(group, 170);
    keyboard.SetCustomColors(keyboard.GetCustomColors(0, 20), 1);
    keyboard.SetKeyList(keyboard.GetKeyList());
    keyboard.SetLightInfo(keyboard.GetLightInfo());

    CMouseProfiledata mouse;
    mouse.LoadDeviceDocument(path);
    mouse.GetKeyList();
    mouse.SetDpiStages(mouse.GetDpiStages());
    mouse.SetMouseSettings(mouse.GetMouseSettings());
    mouse.GetCorrectionList();
    mouse.SetCurrentDpiStage(mouse.GetCurrentDpiStage());

    CDe6533Profiledata headset;
    headset.LoadDeviceDocument(path);
    const HeadsetSettings settings = headset.GetHeadsetSettings();
    headset.GetEqBands(settings.eqType);
    headset.GetCustomEqBands(settings.customEqSelectIndex);
    headset.SetCustomEqNames(headset.GetCustomEqNames());
    headset.RemoveCustomEq(settings.customEqSelectIndex);
    headset.SetHeadsetSettings(settings);

    // The documents as they would be saved.
    JsonFileStore::StyledText(keyboard.DeviceDocument());
    JsonFileStore::StyledText(mouse.DeviceDocument());
    JsonFileStore::StyledText(headset.DeviceDocument());
    return 0;
}
