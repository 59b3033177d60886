#include "shell/startup.h"

#include "devices/device_controls.h"
#include "pages/picture_controls.h"
#include "platform/diag.h"
#include "shell/device_list/page_factory.h"
#include "shell/windows/cloud_share_list_item.h"
#include "ui/control_factory.h"
#include "ui/platform.h"
#include "ui/resource_manager.h"

#include <system_error>

namespace norvane::shell {

int LoadPrivateFonts(ui::IUiPlatform& platform, const std::filesystem::path& programFolder) {
    int loaded = 0;
    for (const std::string_view relative : kPrivateFontFiles) {
        const std::filesystem::path file = programFolder / relative;
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec)) {
            continue;
        }
        if (platform.AddPrivateFont(file)) {
            ++loaded;
        }
    }
    return loaded;
}

void RegisterControlClasses(ui::CControlFactory& factory) {
    pages::RegisterPictureControls(factory);
    RegisterDeviceListControls();
    devices::RegisterDeviceControls(factory);
    RegisterCloudShareListItem(factory);
}

Program::Program(ui::IUiPlatform& platform, Options options)
    : platform_(platform), options_(std::move(options)) {
    if (options_.window.defaultData.empty()) {
        options_.window.defaultData = options_.programFolder / "DefaultData";
    }
    if (options_.window.trayIcon.empty()) {
        options_.window.trayIcon = options_.programFolder / "skin" / "common" / "logo.png";
    }
}

Program::~Program() {
    Shutdown();
}

bool Program::Start() {
    fontsLoaded_ = LoadPrivateFonts(platform_, options_.programFolder);
    ui::SetCurrentPlatform(&platform_);
    ui::CResourceManager& resources = platform_.Resources();
    resources.SetSkinFolder(options_.programFolder / "skin");
    if (!resources.LoadResourceIndex("res.xml")) {
        platform::diag::Trace("start-up: the skin's res.xml could not be read");
    }
    RegisterControlClasses(ui::CControlFactory::Instance());
    RegisterProgramMessages();
    window_ = std::make_unique<CMainWnd>(options_.window);
    if (!window_->Create(nullptr, CMainWnd::kTitle, {800, 572})) {
        window_.reset();
        return false;
    }
    window_->CenterWindow();
    return true;
}

int Program::Run() {
    if (!window_) {
        return 1;
    }
    return platform_.RunMessageLoop();
}

void Program::Shutdown() {
    if (window_) {
        window_->Shutdown();
        window_.reset();
    }
}

}  // namespace norvane::shell
