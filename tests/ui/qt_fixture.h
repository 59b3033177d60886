#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QScreen>
#include <QWindow>
#include <QtTest/QTest>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pages/picture_controls.h"
#include "tests/support/temp_dir.h"
#include "ui/control_factory.h"
#include "ui/qt/qt_host_widget.h"
#include "ui/qt/qt_platform.h"
#include "ui/window.h"

namespace norvane::ui::qt::test {

// A window that keeps the notifications and the messages it hears.
class QtWindow : public WindowImplBase {
public:
    explicit QtWindow(std::string skin) : skin_(std::move(skin)) {}
    std::string GetSkinFile() const override { return skin_; }
    std::string_view GetWindowClassName() const override { return "QtWindow"; }
    void Notify(TNotifyUI& msg) override {
        log.push_back(msg.type + ":" + (msg.sender != nullptr ? msg.sender->GetName() : std::string()));
        if (msg.type == "itemselect") {
            lastIndex = msg.wparam;
        }
    }
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override {
        messages.push_back({msg, wparam, lparam});
        if (onMessage) {
            onMessage(msg, wparam, lparam);
        }
        handled = false;
        return 0;
    }
    bool Saw(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
    // wparams of every message msg heard, in order.
    std::vector<std::intptr_t> Params(unsigned msg) const {
        std::vector<std::intptr_t> out;
        for (const auto& m : messages) {
            if (m.msg == msg) {
                out.push_back(m.wparam);
            }
        }
        return out;
    }
    QtHostWidget* Widget() const { return dynamic_cast<QtHostWidget*>(Host()); }

    struct Message {
        unsigned msg;
        std::intptr_t wparam;
        std::intptr_t lparam;
    };
    std::vector<std::string> log;
    std::vector<Message> messages;
    std::function<void(unsigned, std::intptr_t, std::intptr_t)> onMessage;
    std::intptr_t lastIndex = -1;

private:
    std::string skin_;
};

// One QApplication for the whole process, made on first use: Qt's offscreen platform with two
// screens, 1920 x 1080 at 96 DPI and right of it 2880 x 1800 at 144 DPI (unless
// QT_QPA_PLATFORM says otherwise).
inline void EnsureApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM",
                "offscreen:configfile=" NORVANE_SOURCE_DIR "/tests/ui/data/offscreen_two_screens.json");
    }
    QtPlatform::MakeProcessDpiAware();
    static int argc = 1;
    static char name[] = "norvane_ui_qt_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives for the whole process
}

// The wide 144 DPI screen, or nullptr.
inline QScreen* WideScreen() {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (QtHostWidget::DpiOf(screen) == 144) {
            return screen;
        }
    }
    return nullptr;
}

// A QtPlatform per test and a temporary skin folder.
class QtTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }
    QtTest() {
        SetCurrentPlatform(&platform_);
        pages::RegisterPictureControls(CControlFactory::Instance());
        platform_.Resources().SetSkinFolder(dir_.Path());
    }
    ~QtTest() override { SetCurrentPlatform(nullptr); }

    // Writes a layout into the skin folder.
    void Layout(const std::string& file, const std::string& xml) { std::ofstream(dir_ / file) << xml; }

    // Processes Qt events until pred holds or two seconds pass.
    template <typename Pred>
    static bool SpinUntil(Pred pred) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!pred() && std::chrono::steady_clock::now() < deadline) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return pred();
    }
    // Shows a window and waits until Qt has exposed it.
    static QtHostWidget* ShowAndWait(QtWindow& w) {
        w.ShowWindow(true);
        QtHostWidget* host = w.Widget();
        EXPECT_TRUE(host != nullptr && QTest::qWaitForWindowExposed(host));
        w.PaintManager().UpdateLayout();
        return host;
    }
    static QPoint CenterOf(WindowImplBase& w, std::string_view name) {
        Point c = w.FindControl(name)->GetPos().Center();
        return {c.x, c.y};
    }
    // A real click through the window system: Qt routes it as it would a user's.
    static void Click(QWidget* w, QPoint pt) {
        QTest::mouseClick(w->windowHandle(), Qt::LeftButton, Qt::NoModifier, pt);
    }

    QtPlatform platform_;
    norvane::test::TempDir dir_;
};

}  // namespace norvane::ui::qt::test
