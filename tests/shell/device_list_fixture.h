#pragma once

#include "devices/usb_device.h"
#include "shell/device_list/device_list.h"
#include "shell/device_list/device_option.h"
#include "shell/device_list/device_scan.h"
#include "sim/products.h"
#include "sim/sim_backend.h"
#include "tests/ui/ui_fixture.h"
#include "ui/container.h"
#include "ui/label.h"
#include "ui/messages.h"
#include "ui/option.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace norvane::test {

// A device object whose link answer the test sets, counting the calls the tile timers make.
class ProbeMouse : public devices::CTarnexUSBDevice {
public:
    std::atomic<bool> linked{true};
    int checks = 0;
    int syncs = 0;
    int resyncs = 0;
    int polls = 0;
    int frames = 0;
    bool streams = true;

    bool StreamsLightFrames() const override { return streams; }
    bool CheckLink() override {
        ++checks;
        return linked.load();
    }
    void SyncFromDevice() override { ++syncs; }
    void ResyncFromDevice() override { ++resyncs; }
    void PollStatus() override { ++polls; }
    void SendLightFrame() override { ++frames; }
};

// The main window as the device list sees it: it routes the list's messages and
// notifications and records what the list asks of it.
class ListWindow : public ui::WindowImplBase, public shell::DeviceListHost {
public:
    std::string GetSkinFile() const override { return "main.xml"; }
    std::string_view GetWindowClassName() const override { return "MainWnd"; }

    std::unique_ptr<ui::CControlUI> CreateControl(std::string_view tag) override {
        if (tag == "TarnexMouseDevice") {
            return std::make_unique<ProbeMouse>();
        }
        return nullptr;
    }
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override {
        messages.push_back(msg);
        if (list != nullptr && list->HandleMessage(msg, wparam, lparam)) {
            handled = true;
        }
        return 0;
    }
    void Notify(ui::TNotifyUI& msg) override {
        if (list != nullptr) {
            list->HandleNotify(msg);
        }
    }

    void BringToFront() override { ++broughtToFront; }
    void CloseChildWindows() override { ++childrenClosed; }
    void StopRecording() override { ++recordingsStopped; }
    void CurrentDeviceChanged(int tile, int type, int subtype) override {
        current.push_back({tile, type, subtype});
    }

    int Count(unsigned msg) const { return static_cast<int>(std::ranges::count(messages, msg)); }

    shell::DeviceList* list = nullptr;
    std::vector<unsigned> messages;
    int broughtToFront = 0;
    int childrenClosed = 0;
    int recordingsStopped = 0;
    std::vector<std::array<int, 3>> current;
};

// A main layout with the list's containers, a tile layout holding the tile's named controls,
// a keyboard page of a class that does not exist and a mouse page of a probe class; the
// mousepad and headset pages have no layout at all.
class DeviceListTest : public ui::test::UiFixture {
protected:
    static constexpr const char* kMainLayout = R"(<Window size="800,572"><VerticalLayout name="root">
          <HorizontalLayout name="device_select_layout"/>
          <Button name="device_select_prev"/><Button name="device_select_next"/>
          <Control name="No_device_Link"/>
          <TabLayout name="device_switch"/>
          <TabLayout name="device_power_switch"/>
        </VerticalLayout></Window>)";

    void SetUp() override {
        WriteSkin("main.xml", kMainLayout);
        WriteSkin(
            "XML/CustomControlXML/DeviceOption.xml",
            R"(<Window><DeviceOption><Option name="device_select"/><Option name="synchro_device_select"/>)"
            R"(<Label name="device_select_name"/></DeviceOption></Window>)");
        WriteSkin("XML/DeviceXml/keyboarddevice.xml",
                  R"(<Window><TarnexKeyboardDevice name="keyboard_device"><Label name="kb_title"/>)"
                  R"(</TarnexKeyboardDevice></Window>)");
        WriteSkin("XML/DeviceXml/mousedevice.xml",
                  R"(<Window><TarnexMouseDevice name="mouse_device"/></Window>)");
        window = std::make_unique<ListWindow>();
        ASSERT_TRUE(window->Create(nullptr, "main"));
    }

    void TearDown() override {
        if (window) {
            window->list = nullptr;
        }
        list.reset();
        window.reset();
    }

    // The list of the window, initialised as at window-init; threads are not started.
    void MakeList() {
        shell::DeviceList::Options options;
        options.scanPeriod = std::chrono::milliseconds(5);
        options.sleep = [this](std::chrono::milliseconds pause) { sleeps.push_back(pause); };
        list = std::make_unique<shell::DeviceList>(*window, backend, window.get(), options);
        window->list = list.get();
        ASSERT_TRUE(list->Init());
        scanner = std::make_unique<shell::DeviceScanner>(backend, list->ScanSlots());
    }

    // One scan pass; its posted messages are handled as the UI thread would.
    void Scan() {
        scanner->RunPass(list->Reporter());
        platform.Pump();
    }

    sim::SimDevice& Plug(std::string_view product) {
        sim::SimDevice& device = backend.Add(*sim::FindSimProduct(product));
        return device;
    }

    ui::CControlUI& Ctl(std::string_view name) { return *window->FindControl(name); }
    bool NoDeviceShown() { return Ctl(shell::kNoDevicePanel).IsVisible(); }
    shell::CDeviceOptionUI& Tile(int index) { return *list->TileAt(index); }
    // Indices of the connected tiles.
    std::vector<int> Connected() const {
        std::vector<int> out;
        for (std::size_t i = 0; i < list->Tiles().size(); ++i) {
            if (list->Tiles()[i]->IsConnected()) {
                out.push_back(static_cast<int>(i));
            }
        }
        return out;
    }
    int Selected() const {
        for (std::size_t i = 0; i < list->Tiles().size(); ++i) {
            if (list->Tiles()[i]->IsSelected()) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    ProbeMouse& Mouse() { return dynamic_cast<ProbeMouse&>(*list->Mice().at(0)); }
    devices::CTarnexUSBDevice& Keyboard() { return *list->Keyboards().at(0); }

    sim::SimBackend backend;
    std::unique_ptr<ListWindow> window;
    std::unique_ptr<shell::DeviceList> list;
    std::unique_ptr<shell::DeviceScanner> scanner;
    std::vector<std::chrono::milliseconds> sleeps;
};

// Tile indices of the pages made at window-init.
inline constexpr int kMouseTile = 0;
inline constexpr int kKeyboardTile = 1;

}  // namespace norvane::test
