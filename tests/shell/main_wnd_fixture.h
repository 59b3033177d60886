#pragma once

#include "devices/usb_device.h"
#include "input/synthetic_backend.h"
#include "platform/ipc/in_process_bus.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "shell/device_list/device_option.h"
#include "shell/device_list/device_scan.h"
#include "shell/main_wnd/main_wnd.h"
#include "shell/startup.h"
#include "sim/products.h"
#include "sim/sim_backend.h"
#include "tests/support/temp_dir.h"
#include "ui/headless/headless_platform.h"
#include "ui/messages.h"
#include "ui/notify.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace norvane::test {

// A program folder holding the real skin and default data, a private settings file and data
// folder, the simulator and an in-process bus; the main window is made by Program on the
// headless toolkit. Without threads the test runs the scan passes itself.
class MainWndTest : public ::testing::Test {
protected:
    MainWndTest() {
        const std::filesystem::path source(NORVANE_SOURCE_DIR);
        std::filesystem::create_directory_symlink(source / "resources" / "skin", dir / "skin");
        std::filesystem::create_directory_symlink(source / "resources" / "DefaultData", dir / "DefaultData");
        std::filesystem::create_directories(dir / "data");
        platform.SetModalDriver([this](ui::WindowImplBase& modal) { AnswerModal(modal); });
        platform::shell::SetLauncher(&launcher);
    }

    ~MainWndTest() override {
        program.reset();
        ui::SetCurrentPlatform(nullptr);
        platform::shell::SetLauncher(nullptr);
    }

    // What the window asks the desktop to start, recorded instead of started; programs named in
    // installed count as installed.
    struct RecordingLauncher final : platform::shell::ILauncher {
        bool Launch(std::span<const std::string> argv) override {
            launched.emplace_back(argv.begin(), argv.end());
            return true;
        }
        bool Exists(std::string_view program) override { return installed.contains(std::string(program)); }
        std::set<std::string> installed;
        std::vector<std::vector<std::string>> launched;
    } launcher;

    // Starts the program; false when the window was not built.
    bool Start(bool threads = false) {
        if (!claimed_) {
            claimed_ = true;
            if (programBus->ClaimInstance() != platform::ipc::InstanceClaim::kPrimary) {
                return false;
            }
        }
        shell::Program::Options options;
        options.programFolder = dir.Path();
        options.window.backend = &backend;
        options.window.bus = programBus.get();
        options.window.registry = settings;
        options.window.startThreads = threads;
        options.window.list.scanPeriod = std::chrono::milliseconds(5);
        options.window.list.sleep = [](std::chrono::milliseconds) {};
        options.window.hookBackend = [this] {
            auto made = std::make_unique<input::SyntheticHookBackend>();
            hookBackend = made.get();
            keyHook = hookBackend;
            return made;
        };
        program = std::make_unique<shell::Program>(platform, options);
        if (!program->Start()) {
            return false;
        }
        scanner = std::make_unique<shell::DeviceScanner>(backend, List().ScanSlots());
        return true;
    }

    // Message windows are answered at once with messageAnswer (1 confirm, 0 cancel) and their
    // texts kept in messagesShown; any other modal window goes to otherModal (closed with 0
    // when unset).
    void AnswerModal(ui::WindowImplBase& modal) {
        if (modal.GetWindowClassName() != "MsgWnd") {
            if (otherModal) {
                otherModal(modal);
            } else if (modal.GetWindowClassName() == "SetWnd") {
                // The settings window, when a test opens it, closes at once unless the test drives it.
                modal.RequestClose();
            } else {
                modal.Close(0);
            }
            return;
        }
        const ui::CControlUI* text = modal.FindControl("MessageText");
        messagesShown.push_back(text != nullptr ? text->GetText() : std::string());
        ui::CControlUI* button = modal.FindControl(messageAnswer == 1 ? "confirm_btn" : "cancel_btn");
        ASSERT_NE(button, nullptr);
        modal.PaintManager().SendNotify(button, ui::notify::kClick);
    }
    int messageAnswer = 1;
    std::vector<std::string> messagesShown;
    std::function<void(ui::WindowImplBase&)> otherModal;

    shell::CMainWnd& Window() { return *program->Window(); }
    // The window's input capture backend, once the window made it.
    input::SyntheticHookBackend* hookBackend = nullptr;
    shell::DeviceList& List() { return *Window().List(); }

    // A control of a page, the current one by default; a missing one ends the test with its name.
    template <typename T = ui::CControlUI>
    T& In(devices::CTarnexUSBDevice* page, std::string_view name) {
        auto* control = dynamic_cast<T*>(ui::CPaintManagerUI::FindSubControlByName(page, name));
        if (control == nullptr) {
            throw std::runtime_error("no control " + std::string(name) + " in the page");
        }
        return *control;
    }
    template <typename T = ui::CControlUI>
    T& InPage(std::string_view name) {
        return In<T>(Window().CurrentDevice(), name);
    }
    // The notification a page's control raises.
    void Notify(devices::CTarnexUSBDevice* page, std::string_view name, std::string_view type) {
        Window().PaintManager().SendNotify(&In(page, name), type);
    }
    void Notify(std::string_view name, std::string_view type) {
        Notify(Window().CurrentDevice(), name, type);
    }

    // One scan pass whose posted messages the UI thread then handles.
    void Scan() {
        scanner->RunPass(List().Reporter());
        platform.Pump();
    }

    sim::SimDevice& Plug(std::string_view product) { return backend.Add(*sim::FindSimProduct(product)); }

    // Sends a notification as the named control would.
    void NotifyFrom(std::string_view name, std::string_view type) {
        ui::CControlUI* control = Window().FindControl(name);
        ASSERT_NE(control, nullptr) << name;
        Window().PaintManager().SendNotify(control, type);
    }

    template <typename Condition>
    bool PumpUntil(Condition done) {
        for (int i = 0; i < 300 && !done(); ++i) {
            platform.WaitForMessages(10);
            platform.Pump();
        }
        return done();
    }

    // What the outside programs heard.
    struct Heard {
        std::mutex mutex;
        std::vector<platform::ipc::PeerEvent> events;
        void Add(platform::ipc::PeerEvent e) {
            const std::lock_guard lock(mutex);
            events.push_back(std::move(e));
        }
        std::vector<platform::ipc::PeerEvent> Take() {
            const std::lock_guard lock(mutex);
            return std::exchange(events, {});
        }
    };

    TempDir dir;
    ScopedEnv dataHome{"NORVANE_DATA_HOME", (dir / "data").string()};
    // Nothing listens there: an update check fails at once.
    ScopedEnv updateUrl{"NORVANE_UPDATE_URL", "http://127.0.0.1:9/api/"};
    platform::Registry settings{dir / "settings.ini"};
    ui::headless::HeadlessPlatform platform;
    sim::SimBackend backend;
    platform::ipc::InProcessBus bus;
    std::unique_ptr<platform::ipc::IBus> programBus = bus.ConnectProgram();
    std::unique_ptr<shell::Program> program;
    input::SyntheticHookBackend* keyHook = nullptr;  // the key capture's backend, once made
    std::unique_ptr<shell::DeviceScanner> scanner;

private:
    bool claimed_ = false;
};

}  // namespace norvane::test
