// The settings window on the Qt backend (offscreen) after a check against the reference
// server, saved as build/shots/settings_window_<lang>.png.
#include "device/catalogue.h"
#include "tests/support/temp_dir.h"
#include "tests/update/reference_server.h"
#include "ui/notify.h"
#include "ui/qt/qt_platform.h"
#include "update/set_wnd.h"
#include "update/update_row.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>

#include <chrono>
#include <filesystem>
#include <string>

namespace norvane::update {
namespace {

void EnsureApplication() {
    if (QApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "norvane_update_qt_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);  // lives for the whole process
    }
}

TEST(SetWndScreenshot, RowsAfterACheck) {
    EnsureApplication();
    test::ReferenceServer server;
    ASSERT_TRUE(server.Running());
    const std::filesystem::path skin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin";
    for (const std::string lang : {"en", "cn"}) {
        SCOPED_TRACE(lang);
        ui::qt::QtPlatform platform;
        ui::SetCurrentPlatform(&platform);
        platform.Resources().SetSkinFolder(skin);
        ASSERT_TRUE(platform.Resources().LoadLanguage(skin / ("lan_" + lang + ".xml")));
        test::TempDir dir;
        CSetWnd::Options options;
        const std::vector<device::OpenDeviceVersion> open = {{4, 0x0105}, {0, 0x0102}};
        options.firmware = device::BuildFirmwareList(open, 1001);
        options.languageTexts = {"language_english", "language_simplified_chinese"};
        options.serviceUrl = server.ServiceUrl();
        options.dataFolder = dir.Path();
        options.updateFolder = dir / "UpdateData";
        {
            CSetWnd window(std::move(options));
            window.SetLanguageIndex(lang == "en" ? 0 : 1);
            ASSERT_TRUE(window.Create(nullptr, "SetWnd"));
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (window.StatusState() == UpdateStatusState::kChecking &&
                   std::chrono::steady_clock::now() < deadline) {
                QApplication::processEvents(QEventLoop::AllEvents, 10);
            }
            ASSERT_EQ(window.StatusState(), UpdateStatusState::kUpdatesAvailable);
            window.PaintManager().UpdateLayout();
            const QImage image = ui::qt::RenderWindow(window);
            EXPECT_EQ(image.width(), CSetWnd::kWidth);
            EXPECT_EQ(image.height(), CSetWnd::kHeight);
            std::filesystem::create_directories(NORVANE_SHOTS_DIR);
            const std::string file = std::string(NORVANE_SHOTS_DIR) + "/settings_window_" + lang + ".png";
            EXPECT_TRUE(image.save(QString::fromStdString(file)));
            // The confirmation page the update button leads to.
            window.PaintManager().SendNotify(window.FindControl("update_fw_and_ap"), ui::notify::kClick);
            window.PaintManager().UpdateLayout();
            const std::string confirm =
                std::string(NORVANE_SHOTS_DIR) + "/settings_window_confirm_" + lang + ".png";
            EXPECT_TRUE(ui::qt::RenderWindow(window).save(QString::fromStdString(confirm)));
        }
        ui::SetCurrentPlatform(nullptr);
    }
}

}  // namespace
}  // namespace norvane::update
