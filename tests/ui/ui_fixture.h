#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "ui/headless/headless_input.h"
#include "ui/headless/headless_platform.h"
#include "ui/window.h"

namespace norvane::ui::test {

// A window built from a given layout file that keeps every notification it hears.
class RecordingWindow : public WindowImplBase {
public:
    explicit RecordingWindow(std::string skin) : skin_(std::move(skin)) {}
    std::string GetSkinFile() const override { return skin_; }
    std::string_view GetWindowClassName() const override { return "RecordingWindow"; }
    void Notify(TNotifyUI& msg) override {
        seen.push_back({msg.type, msg.sender != nullptr ? msg.sender->GetName() : std::string(), msg.wparam,
                        msg.lparam});
    }
    struct Seen {
        std::string type;
        std::string sender;
        std::intptr_t wparam;
        std::intptr_t lparam;
        bool operator==(const Seen&) const = default;
    };
    std::vector<std::string> Types() const {
        std::vector<std::string> out;
        for (const auto& s : seen) {
            out.push_back(s.type);
        }
        return out;
    }
    // "type:sender" for each notification, skipping focus changes unless asked.
    std::vector<std::string> Log(bool withFocus = false) const {
        std::vector<std::string> out;
        for (const auto& s : seen) {
            if (!withFocus && (s.type == "setfocus" || s.type == "killfocus")) {
                continue;
            }
            out.push_back(s.type + ":" + s.sender);
        }
        return out;
    }
    // The notifications other than focus changes.
    std::vector<Seen> Events() const {
        std::vector<Seen> out;
        for (const auto& s : seen) {
            if (s.type != "setfocus" && s.type != "killfocus") {
                out.push_back(s);
            }
        }
        return out;
    }
    std::vector<Seen> seen;

private:
    std::string skin_;
};

// The named control as T; throws (failing the test) when it is missing or of another class.
template <typename T>
T& Ctl(WindowImplBase& w, std::string_view name) {
    auto* p = dynamic_cast<T*>(w.FindControl(name));
    if (p == nullptr) {
        throw std::runtime_error("no control " + std::string(name));
    }
    return *p;
}

template <typename T>
T& As(CControlUI* c) {
    auto* p = dynamic_cast<T*>(c);
    if (p == nullptr) {
        throw std::runtime_error("control of another class");
    }
    return *p;
}

class UiFixture : public ::testing::Test {
protected:
    UiFixture() {
        SetCurrentPlatform(&platform);
        platform.Resources().SetSkinFolder(dir.Path());
    }
    ~UiFixture() override { SetCurrentPlatform(nullptr); }

    void WriteSkin(const std::string& name, const std::string& content) {
        std::filesystem::create_directories((dir / name).parent_path());
        std::ofstream(dir / name) << content;
    }
    // Creates a window from a layout body wrapped in <Window size=...>.
    std::unique_ptr<RecordingWindow> Open(const std::string& body, Size size = {400, 300}) {
        WriteSkin("window.xml", "<Window size=\"" + std::to_string(size.cx) + "," + std::to_string(size.cy) +
                                    "\">" + body + "</Window>");
        auto window = std::make_unique<RecordingWindow>("window.xml");
        if (!window->Create(nullptr, "test")) {
            ADD_FAILURE() << "window not created";
            return nullptr;
        }
        window->PaintManager().UpdateLayout();
        window->seen.clear();
        return window;
    }
    static Rect PosOf(WindowImplBase& w, std::string_view name) {
        CControlUI* c = w.FindControl(name);
        return c != nullptr ? c->GetPos() : Rect{-1, -1, -1, -1};
    }

    norvane::test::TempDir dir;
    headless::HeadlessPlatform platform;
};

}  // namespace norvane::ui::test
