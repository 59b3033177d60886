#include "platform/diag.h"
#include "tests/ui/ui_fixture.h"
#include "ui/attributes.h"
#include "ui/container.h"
#include "ui/control_factory.h"
#include "ui/dialog_builder.h"
#include "ui/headless/recording_renderer.h"
#include "ui/menu.h"
#include "ui/messages.h"
#include "ui/resource_manager.h"
#include "ui/tray_icon.h"

namespace norvane::ui::test {
namespace {

class GaugeUI : public CControlUI {
public:
    std::string_view GetClass() const override { return "Gauge"; }
    void SetAttribute(std::string_view name, std::string_view value) override {
        if (name == "needle") {
            needle = std::string(value);
        } else {
            CControlUI::SetAttribute(name, value);
        }
    }
    std::string needle;
};

class KnobUI : public CControlUI {
public:
    std::string_view GetClass() const override { return "Knob"; }
};

// A window whose layout-building callback makes "Knob" and builds "Panel" from a file.
class CallbackWindow : public RecordingWindow {
public:
    using RecordingWindow::RecordingWindow;
    std::unique_ptr<CControlUI> CreateControl(std::string_view tag) override {
        asked.emplace_back(tag);
        if (EqualsNoCase(tag, "knob")) {
            return std::make_unique<KnobUI>();
        }
        if (tag == "Panel") {
            CDialogBuilder builder;
            return builder.Create("panel.xml", &PaintManager());
        }
        return nullptr;
    }
    std::vector<std::string> asked;
};

using BuilderTest = UiFixture;

TEST_F(BuilderTest, TagsResolveThroughBuiltinsCallbackAndFactory) {
    CControlFactory::Instance().Register<GaugeUI>("CGaugeUI");
    WriteSkin("panel.xml",
              R"(<HorizontalLayout name="panel"><Gauge name="inner" needle="n2"/></HorizontalLayout>)");
    WriteSkin("main.xml", R"(<Window size="300,200"><VerticalLayout name="root">
        <Gauge name="g" needle="n1"/>
        <knob name="k"/>
        <Panel/>
        <Mystery name="m"><Button name="lost"/></Mystery>
        <Button name="after"/>
      </VerticalLayout></Window>)");
    CallbackWindow w("main.xml");
    platform::diag::ScopedCapture capture;
    ASSERT_TRUE(w.Create(nullptr, "t"));
    auto* g = dynamic_cast<GaugeUI*>(w.FindControl("g"));
    ASSERT_NE(g, nullptr);  // "Gauge" reached the factory as "CGaugeUI"
    EXPECT_EQ(g->needle, "n1");
    EXPECT_EQ(w.FindControl("k")->GetClass(), "Knob");
    ASSERT_NE(w.FindControl("inner"), nullptr);  // sub-layout built in place
    EXPECT_EQ(w.FindControl("panel")->GetParent(), w.FindControl("root"));
    EXPECT_EQ(w.FindControl("m"), nullptr);  // unknown tag: left out with its subtree
    EXPECT_EQ(w.FindControl("lost"), nullptr);
    EXPECT_NE(w.FindControl("after"), nullptr);
    // Built-in tags never reach the callback.
    EXPECT_EQ(w.asked, (std::vector<std::string>{"Gauge", "knob", "Panel", "Mystery"}));
    bool traced = false;
    for (const auto& line : capture.Lines()) {
        traced = traced || line.find("Mystery") != std::string::npos;
    }
    EXPECT_TRUE(traced);
}

TEST_F(BuilderTest, WindowFontsDefaultsAndStylesApply) {
    auto w = Open(R"(
<Font id="1" name="Korvalis" size="14" bold="true"/>
<Font id="0" name="Body" size="12" default="true"/>
<Default name="Button" value="bkcolor=&quot;#FF262A32&quot; height=&quot;28&quot;"/>
<Style name="warn" value="textcolor=&quot;#FFE5484D&quot; font=&quot;1&quot;"/>
<VerticalLayout name="root">
  <Button name="plain"/>
  <Button name="styled" style="warn" height="40"/>
</VerticalLayout>)");
    ASSERT_TRUE(w);
    auto& pm = w->PaintManager();
    EXPECT_EQ(pm.GetFont(1).face, "Korvalis");
    EXPECT_TRUE(pm.GetFont(1).bold);
    EXPECT_EQ(pm.GetFont(-1).face, "Body");
    EXPECT_EQ(w->FindControl("plain")->GetBkColor(), 0xFF262A32U);
    EXPECT_EQ(w->FindControl("plain")->GetFixedHeight(), 28);
    EXPECT_EQ(w->FindControl("styled")->GetFixedHeight(), 40);  // own attribute beats the default
    EXPECT_EQ(w->FindControl("styled")->GetTextColor(), 0xFFE5484DU);
    EXPECT_EQ(w->FindControl("styled")->GetFont(), 1);
}

TEST_F(BuilderTest, BrokenOrSelfIncludingLayoutsFailCleanly) {
    CDialogBuilder builder;
    CPaintManagerUI pm(nullptr, &platform.Resources());
    EXPECT_EQ(builder.CreateFromString("<Window><VerticalLayout>", &pm), nullptr);
    EXPECT_EQ(builder.Create("missing.xml", &pm), nullptr);
    EXPECT_EQ(builder.Create("../outside.xml", &pm), nullptr);
    WriteSkin("loop.xml", R"(<VerticalLayout name="v"><Include source="loop.xml"/></VerticalLayout>)");
    auto root = builder.Create("loop.xml", &pm);
    ASSERT_NE(root, nullptr);  // stops at the nesting limit instead of recursing forever
    int depth = 0;
    for (CControlUI* c = root.get(); c != nullptr; ++depth) {
        auto* container = dynamic_cast<CContainerUI*>(c);
        c = container != nullptr ? container->GetItemAt(0) : nullptr;
    }
    EXPECT_GT(depth, 1);
    EXPECT_LE(depth, 18);
    // Three self-includes per level would make 3^16 subtrees; the build stops counting early.
    WriteSkin("fan.xml", R"(<VerticalLayout><Include source="fan.xml"/><Include source="fan.xml"/>
        <Include source="fan.xml"/></VerticalLayout>)");
    auto fan = builder.Create("fan.xml", &pm);
    ASSERT_NE(fan, nullptr);
    int controls = 0;
    fan->ForEach([&](CControlUI&) { ++controls; });
    EXPECT_LE(controls, 513);
    // The count starts again with every build.
    EXPECT_NE(builder.Create("fan.xml", &pm), nullptr);
}

TEST_F(BuilderTest, LanguageSwitchUpdatesEveryText) {
    WriteSkin("en.xml", R"(<Language name="English"><Text id="t_ok" value="OK"/>
        <Text id="t_tip" value="Confirm"/><Text id="menu_exit" value="Exit"/></Language>)");
    WriteSkin("cn.xml", R"(<Language name="中文"><Text id="t_ok" value="确定"/>
        <Text id="t_tip" value="确认"/></Language>)");
    ASSERT_TRUE(platform.Resources().LoadLanguage(dir / "en.xml"));
    auto w = Open(R"(<VerticalLayout name="root"><Button name="ok" textid="t_ok" tooltipid="t_tip"/>
        <Label name="fixed" text="NORVANE"/><Label name="unknown" textid="t_missing"/></VerticalLayout>)");
    ASSERT_TRUE(w);
    CControlUI* ok = w->FindControl("ok");
    EXPECT_EQ(ok->GetText(), "OK");
    EXPECT_EQ(ok->GetToolTip(), "Confirm");
    EXPECT_EQ(w->FindControl("unknown")->GetText(), "t_missing");
    platform.HostOf(*w)->ClearDirty();
    ASSERT_TRUE(platform.Resources().LoadLanguage(dir / "cn.xml"));
    EXPECT_EQ(ok->GetText(), "确定");
    EXPECT_EQ(ok->GetToolTip(), "确认");
    EXPECT_EQ(w->FindControl("fixed")->GetText(), "NORVANE");
    EXPECT_EQ(platform.Resources().LanguageName(), "中文");
    EXPECT_EQ(platform.HostOf(*w)->Dirty(), (Rect{0, 0, 400, 300}));  // the whole window repaints
    // The painted text is the new one.
    headless::RecordingRenderer r;
    w->PaintManager().Paint(r, {0, 0, 400, 300});
    bool painted = false;
    for (const auto& call : r.CallsOf(headless::RecordingRenderer::Op::Text)) {
        painted = painted || call.text == "确定";
    }
    EXPECT_TRUE(painted);
    // An unreadable file leaves the current language in place.
    EXPECT_FALSE(platform.Resources().LoadLanguage(dir / "none.xml"));
    WriteSkin("bad.xml", "<Language><Text id=");
    EXPECT_FALSE(platform.Resources().LoadLanguage(dir / "bad.xml"));
    EXPECT_EQ(ok->GetText(), "确定");
}

TEST_F(BuilderTest, ResourceIndexMapsLayoutIdsToFiles) {
    WriteSkin("layouts/main.xml", R"(<Window size="300,200"><VerticalLayout name="root"/></Window>)");
    WriteSkin("res.xml", R"(<Res><Layout id="XML_MAIN" file="layouts/main.xml"/><Layout id="no_file"/>
        <Layout id="XML_OUT" file="../outside.xml"/></Res>)");
    RecordingWindow byId("XML_MAIN");
    EXPECT_FALSE(byId.Create(nullptr, "before")) << "an id means nothing without the index";
    ASSERT_TRUE(platform.Resources().LoadResourceIndex("res.xml"));
    RecordingWindow main("XML_MAIN");
    ASSERT_TRUE(main.Create(nullptr, "main"));
    EXPECT_NE(main.FindControl("root"), nullptr);
    EXPECT_EQ(platform.Resources().ResolveSkinPath("XML_MAIN"), dir.Path() / "layouts/main.xml");
    // Names that are no id resolve as before; an entry may not lead out of the skin.
    EXPECT_EQ(platform.Resources().ResolveSkinPath("layouts/main.xml"), dir.Path() / "layouts/main.xml");
    EXPECT_EQ(platform.Resources().ResolveSkinPath("no_file"), dir.Path() / "no_file");
    EXPECT_TRUE(platform.Resources().ResolveSkinPath("XML_OUT").empty());
    // An unreadable index keeps the one loaded before.
    WriteSkin("bad.xml", "<Res><Layout id=");
    EXPECT_FALSE(platform.Resources().LoadResourceIndex("bad.xml"));
    EXPECT_FALSE(platform.Resources().LoadResourceIndex("missing.xml"));
    EXPECT_EQ(platform.Resources().ResolveSkinPath("XML_MAIN"), dir.Path() / "layouts/main.xml");
}

TEST_F(BuilderTest, MenusReturnTheChosenItemName) {
    WriteSkin("menu.xml", R"(<Menu><MenuElement name="about_menu" text="About"/><MenuSeparator/>
        <MenuElement name="exit" textid="menu_exit"/></Menu>)");
    auto w = Open(R"(<VerticalLayout name="root"/>)");
    ASSERT_TRUE(w);
    std::vector<MenuItem> shown;
    platform.SetMenuChooser([&](const std::vector<MenuItem>& items) {
        shown = items;
        return items.back().name;
    });
    EXPECT_EQ(w->ShowMenu("menu.xml", {10, 10}), "exit");
    ASSERT_EQ(shown.size(), 3U);
    EXPECT_TRUE(shown[1].separator);
    EXPECT_EQ(shown[0].text, "About");
    platform.SetMenuChooser(nullptr);
    EXPECT_EQ(w->ShowMenu("menu.xml", {10, 10}), "");  // dismissed
    EXPECT_EQ(w->ShowMenu("nomenu.xml", {10, 10}), "");
}

// A window that counts the tray messages it gets.
class TrayWindow : public RecordingWindow {
public:
    using RecordingWindow::RecordingWindow;
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override {
        (void)wparam;
        if (msg == kTrayMessage) {
            codes.push_back(static_cast<unsigned>(lparam));
            handled = true;
        }
        return 0;
    }
    static constexpr unsigned kTrayMessage = kWmUser + 1;
    std::vector<unsigned> codes;
};

TEST_F(BuilderTest, TrayIconPostsItsCallbackMessage) {
    WriteSkin("tray.xml", R"(<Window size="100,100"><VerticalLayout/></Window>)");
    TrayWindow w("tray.xml");
    ASSERT_TRUE(w.Create(nullptr, "tray"));
    CTrayIcon tray;
    ASSERT_TRUE(tray.Create(w, dir / "icon.png", "NORVANE", TrayWindow::kTrayMessage));
    ASSERT_EQ(platform.TrayIcons().size(), 1U);
    EXPECT_EQ(platform.TrayIcons()[0]->toolTip, "NORVANE");
    EXPECT_TRUE(tray.IsVisible());
    platform.ClickTray(0, kWmRButtonUp);
    platform.ClickTray(0, kWmLButtonDblClk);
    EXPECT_TRUE(w.codes.empty());  // posted: nothing runs before the loop dispatches
    platform.Pump();
    EXPECT_EQ(w.codes, (std::vector<unsigned>{kWmRButtonUp, kWmLButtonDblClk}));
    tray.Delete();
    EXPECT_TRUE(platform.TrayIcons().empty());
}

}  // namespace
}  // namespace norvane::ui::test
