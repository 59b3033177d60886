// norvane-device-preview --out PNG [--device NAME] [--mode N] [--tab T] [--key K] [--macro M] [--run-ms N]
//                        [--profile-menu 0|1] [--lang FILE] [--skin DIR] [--data DIR]
// Builds a device page from its device object attached to a simulated device ("keyboard",
// "mouse" by cable, "receiver" for the mouse through its receiver, "mousepad", "headset" with
// the simulated audio library), runs the
// object's first full read and its light thread for a while with the page's frame timer, and
// saves a screenshot (offscreen). The device starts in light mode N (multi-colour, full
// brightness); the page shows function tab T, with key K selected and macro M of the data
// folder open in the macro panel when given, and the profile panel's action menu open with
// --profile-menu 1. Profiles go to DIR (a fresh temporary folder by
// default).
#include <QApplication>
#include <QImage>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "app/preview_stand_ins.h"
#include "config/profile_data.h"
#include "device/catalogue.h"
#include "device/path_keys.h"
#include "devices/audio/simulated_library.h"
#include "devices/device_controls.h"
#include "devices/keyboard/keyboard_device.h"
#include "devices/usb_device.h"
#include "pages/macro/macro_control.h"
#include "pages/picture_controls.h"
#include "platform/paths.h"
#include "shell/profile_page/device_profile.h"
#include "sim/products.h"
#include "sim/sim_backend.h"
#include "ui/control_factory.h"
#include "ui/list.h"
#include "ui/qt/qt_platform.h"
#include "ui/window.h"

namespace {

using norvane::devices::CTarnexKeyboardDevice;
using norvane::devices::CTarnexUSBDevice;

// The devices the preview can show: simulated product, page layout, the object's name in it,
// its data folder and light class.
struct PreviewDevice {
    std::string_view name;
    std::string_view product;
    std::string_view skin;
    std::string_view root;
    std::string_view typeName;
    int lightClass;
};

constexpr std::array<PreviewDevice, 5> kDevices = {{
    {"keyboard", "keyboard", "XML/DeviceXml/keyboarddevice.xml", "keyboard_device", "keyboard", 0},
    {"mouse", "mouse", "XML/DeviceXml/mousedevice.xml", "mouse_device", "mouse", 1},
    {"receiver", "receiver", "XML/DeviceXml/mousedevice.xml", "mouse_device", "mouse", 1},
    {"mousepad", "mousepad", "XML/DeviceXml/mousepaddevice.xml", "mousepad_device", "MousePad", 2},
    {"headset", "headset", "XML/DeviceXml/de6533device.xml", "de6533_device", "HD", 3},
}};

class PreviewWindow : public norvane::ui::WindowImplBase {
public:
    explicit PreviewWindow(std::string_view skin) : skin_(skin) {}
    std::string GetSkinFile() const override { return skin_; }
    std::string_view GetWindowClassName() const override { return "DevicePreview"; }
    // Panels without their classes yet show as captioned boxes.
    std::unique_ptr<norvane::ui::CControlUI> CreateControl(std::string_view tag) override {
        return norvane::app::MakePreviewStandIn(tag);
    }
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override {
        (void)lparam;
        handled = norvane::devices::DeviceEventPost::Dispatch(msg, wparam);
        return 0;
    }

private:
    std::string skin_;
};

struct Options {
    std::filesystem::path out;
    std::filesystem::path lang;
    std::filesystem::path skin;
    std::filesystem::path data;
    const PreviewDevice* device = &kDevices[0];
    int mode = 1;
    int tab = 0;
    int key = -1;
    int macro = -1;
    int runMs = 500;
    bool profileMenu = false;
};

int Usage() {
    static_cast<void>(std::fputs(
        "usage: norvane-device-preview --out PNG [--device keyboard|mouse|receiver|mousepad|headset]\n"
        "       [--mode N] [--tab T] [--key K] [--macro M] [--run-ms N] [--profile-menu 0|1]\n"
        "       [--lang FILE] [--skin DIR] [--data DIR]\n",
        stderr));
    return 2;
}

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const char* value = argv[i + 1];
        if (arg == "--out") {
            o.out = value;
        } else if (arg == "--lang") {
            o.lang = value;
        } else if (arg == "--skin") {
            o.skin = value;
        } else if (arg == "--data") {
            o.data = value;
        } else if (arg == "--device") {
            const auto* found = std::ranges::find(kDevices, std::string_view(value), &PreviewDevice::name);
            if (found == kDevices.end()) {
                return false;
            }
            o.device = found;
        } else if (arg == "--tab") {
            o.tab = std::atoi(value);
        } else if (arg == "--key") {
            o.key = std::atoi(value);
        } else if (arg == "--macro") {
            o.macro = std::atoi(value);
        } else if (arg == "--mode") {
            o.mode = std::atoi(value);
        } else if (arg == "--run-ms") {
            o.runMs = std::atoi(value);
        } else if (arg == "--profile-menu") {
            o.profileMenu = std::atoi(value) != 0;
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && !o.out.empty() && o.mode >= 0 && o.mode <= 30 && o.tab >= 0 && o.runMs >= 0;
}

const norvane::device::DeviceCatalogEntry* CommandRow(std::uint16_t vendorId, std::uint16_t productId) {
    for (const auto& row : norvane::device::DeviceCatalog()) {
        if (row.vendorId == vendorId && row.productId == productId &&
            row.role == norvane::device::DeviceRole::Command) {
            return &row;
        }
    }
    return nullptr;
}

// The simulated device's collection: 4 commands, 3 events; a device with a single collection
// (the headset) carries both there.
std::string CollectionPath(norvane::sim::SimBackend& backend, const norvane::sim::SimDevice& device,
                           std::uint16_t collection) {
    std::vector<std::string> paths;
    backend.Enumerate(paths);
    std::vector<std::string> own;
    for (const std::string& path : paths) {
        if (path.find(device.Name() + ":") == std::string::npos) {
            continue;
        }
        if (norvane::device::CollectionNumberFromPath(path) == collection) {
            return path;
        }
        own.push_back(path);
    }
    return own.size() == 1 ? own.front() : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) {
        return Usage();
    }
    std::filesystem::path data = o.data;
    if (data.empty()) {
        char pattern[] = "/tmp/norvane-device-preview-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            static_cast<void>(std::fputs("cannot make a data folder\n", stderr));
            return 1;
        }
        data = pattern;
    }
    ::setenv("NORVANE_DATA_HOME", data.c_str(), 1);  // NOLINT(concurrency-mt-unsafe): no other thread yet
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    norvane::ui::qt::QtPlatform platform;
    norvane::ui::SetCurrentPlatform(&platform);
    norvane::pages::RegisterPictureControls(norvane::ui::CControlFactory::Instance());
    norvane::devices::RegisterDeviceControls(norvane::ui::CControlFactory::Instance());
    norvane::shell::RegisterProfileControls(norvane::ui::CControlFactory::Instance());
    platform.Resources().SetSkinFolder(o.skin.empty() ? norvane::platform::ProgramSubfolder("skin") : o.skin);
    platform.AddPrivateFonts(norvane::platform::ProgramSubfolder("Font"));
    if (!o.lang.empty() && !platform.Resources().LoadLanguage(o.lang)) {
        static_cast<void>(std::fprintf(stderr, "cannot read language file %s\n", o.lang.string().c_str()));
        return 1;
    }

    const PreviewDevice& shown = *o.device;
    norvane::sim::SimBackend backend;
    norvane::sim::SimDevice& device = backend.Add(*norvane::sim::FindSimProduct(shown.product));
    norvane::devices::audio::SetAudioLibraryFactory(
        norvane::devices::audio::SimulatedAudioFactory(norvane::devices::audio::MakeSimulatedHeadsetAudio()));
    device.WithFirmware([&o](norvane::sim::FirmwareModel& f) {
        f.Settings()[1] =
            static_cast<std::uint8_t>(o.mode);  // slot 0: mode, full brightness, fast, multi-colour
        f.Settings()[2] = 4;
        f.Settings()[3] = 0;
        f.Settings()[5] = 1;
        f.Settings()[6] = 0;
        f.Settings()[7] = 180;
        f.Settings()[8] = 255;
    });
    const auto* row = CommandRow(device.Spec().vendorId, device.Spec().productId);

    PreviewWindow window(shown.skin);
    if (row == nullptr || !window.Create(nullptr, "")) {
        static_cast<void>(
            std::fprintf(stderr, "cannot build the %s page\n", std::string(shown.name).c_str()));
        return 1;
    }
    auto* page = dynamic_cast<CTarnexUSBDevice*>(
        window.PaintManager().GetRoot() != nullptr ? window.FindControl(shown.root) : nullptr);
    if (page == nullptr) {
        static_cast<void>(std::fputs("the page root is not a device object\n", stderr));
        return 1;
    }
    page->SetPageLayoutPath(window.GetSkinFile());
    page->SetMainWindow(&window);
    page->SetTileIndex(0);
    page->SetProfileName("Profile1");
    page->SetTypeName(std::string(shown.typeName));
    page->SetCatalogEntry(*row);
    page->SetLightClass(shown.lightClass);
    page->SetLightConfigName("velto_light");
    if (auto* profiles = dynamic_cast<norvane::shell::CDeviceProfileUI*>(
            page->FindSubControl(norvane::shell::CDeviceProfileUI::kPanelName))) {
        const norvane::device::DeviceKind kind = page->Kind() == norvane::device::DeviceKind::MouseReceiver
                                                     ? norvane::device::DeviceKind::MouseCable
                                                     : page->Kind();
        profiles->Initialise(static_cast<int>(kind), page->DataFolder(), page->DefaultProfileFile(),
                             kind == norvane::device::DeviceKind::Headset);
        page->SetProfileName(profiles->SelectedId());
        profiles->ShowMenu(o.profileMenu);
    }
    page->InitPage();
    auto* keyboardPage = dynamic_cast<CTarnexKeyboardDevice*>(page);
    if (keyboardPage == nullptr) {
        // The other devices take their lighting from the profile: the mode goes there first.
        norvane::config::CBasicProfiledata profile;
        profile.SetProfilePath(page->CurrentProfileFile());
        profile.SetDefaultPath(page->DefaultProfileFile());
        profile.LoadDeviceDocument(page->CurrentProfileFile());
        norvane::config::LightInfo light = profile.GetLightInfo();
        light.selectedMode = static_cast<std::uint8_t>(o.mode);
        light.brightness = 4;
        light.speed = 4;
        light.multiColor = 1;
        profile.SetLightInfo(light);
        profile.SaveProfile();
    }

    const bool receiver = device.Spec().receiver;
    auto& channel = page->CommandChannel();
    norvane::device::HidInterface& slot = receiver ? channel.Receiver() : channel.Cable();
    slot.SetBackend(&backend);
    channel.SetTimeouts(60, 60);
    const std::string commandPath = CollectionPath(backend, device, 4);
    if (!slot.Open(commandPath, true, true, true, false)) {
        static_cast<void>(std::fputs("cannot open the simulated device\n", stderr));
        return 1;
    }
    channel.SetLinkMode(receiver ? norvane::device::LinkMode::Receiver : norvane::device::LinkMode::Cable);
    channel.SetOpen(true);
    // A device whose events share the command collection has no event interface of its own.
    if (const std::string eventPath = CollectionPath(backend, device, 3); eventPath != commandPath) {
        const int eventSlot = receiver ? 1 : 0;
        (eventSlot == 0 ? page->EventChannel().Cable() : page->EventChannel().Receiver())
            .SetBackend(&backend);
        page->OpenEventInterface(eventSlot, eventPath);
    }

    page->SyncFromDevice();
    if (o.tab != 0) {
        page->SwitchFunctionTab(o.tab);
    }
    if (o.key >= 0) {
        page->SelectKey(o.key);
    }
    if (auto* macros =
            dynamic_cast<norvane::pages::CMacroControlUI*>(page->FindSubControl("MacroControlItem"));
        macros != nullptr && o.macro >= 0) {
        if (auto* names = dynamic_cast<norvane::ui::CListUI*>(page->FindSubControl("macro_name_list"))) {
            names->SelectItem(o.macro, false);
        }
        macros->OpenMacro(o.macro);
        macros->SelectRow(0);
    }
    // The tile's frame timer, 5 ms by cable.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(o.runMs);
    do {
        page->SendLightFrame();
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
    page->SendLightFrame();
    window.PaintManager().UpdateLayout();
    const QImage image = norvane::ui::qt::RenderWindow(window);
    page->StopDeviceThreads();
    window.CloseMessageQueue();
    std::error_code ec;
    if (o.out.has_parent_path()) {
        std::filesystem::create_directories(o.out.parent_path(), ec);
    }
    if (!image.save(QString::fromStdString(o.out.string()))) {
        static_cast<void>(std::fprintf(stderr, "cannot write %s\n", o.out.string().c_str()));
        return 1;
    }
    if (keyboardPage != nullptr) {
        std::printf("%s: %dx%d, mode %d, variant %d, key count %d\n", o.out.string().c_str(), image.width(),
                    image.height(), keyboardPage->EngineMode(), keyboardPage->LayoutVariantShown(),
                    keyboardPage->Tables().keyCount);
    } else {
        int lit = 0;
        for (int i = 0; i < page->LedCount(); ++i) {
            lit += page->GetLedColor(i).level > 0 ? 1 : 0;
        }
        std::printf("%s: %dx%d, %s, mode %d, %d of %d LEDs lit\n", o.out.string().c_str(), image.width(),
                    image.height(), std::string(shown.name).c_str(), page->LightState().selectedMode, lit,
                    page->LedCount());
    }
    if (o.data.empty()) {
        std::filesystem::remove_all(data, ec);
    }
    return 0;
}
