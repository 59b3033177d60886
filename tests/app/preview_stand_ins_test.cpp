#include "app/preview_stand_ins.h"

#include <gtest/gtest.h>

#include "tests/ui/ui_fixture.h"
#include "ui/container.h"
#include "ui/control_factory.h"
#include "ui/label.h"

namespace norvane::app {
namespace {

class StandInWindow : public ui::test::RecordingWindow {
public:
    using RecordingWindow::RecordingWindow;
    std::unique_ptr<ui::CControlUI> CreateControl(std::string_view tag) override {
        return MakePreviewStandIn(tag);
    }
};

class PreviewStandInTest : public ui::test::UiFixture {};

TEST_F(PreviewStandInTest, PagesAndPanelsOfTheProgramBuildWithTheirChildrenAndAttributes) {
    WriteSkin("page.xml", R"(<Window size="300,200">
      <TarnexKeyboardDevice name="page" inset="4,4,4,4">
        <LightControl name="LightControlItem" height="40"/>
        <Button name="after"/>
        <NoSuchPanel name="unknown"/>
      </TarnexKeyboardDevice></Window>)");
    StandInWindow w("page.xml");
    ASSERT_TRUE(w.Create(nullptr, "t"));
    w.PaintManager().UpdateLayout();
    auto& page = ui::test::Ctl<ui::CVerticalLayoutUI>(w, "page");
    EXPECT_EQ(page.GetCount(), 2);  // the unknown tag is still left out
    auto& panel = ui::test::Ctl<ui::CLabelUI>(w, "LightControlItem");
    EXPECT_EQ(panel.GetText(), "LightControl");
    EXPECT_EQ(panel.GetPos().Height(), 40);
    EXPECT_NE(w.FindControl("after"), nullptr);
}

TEST_F(PreviewStandInTest, TheAudioPanelBuildsWithTheControlsOfItsLayout) {
    WriteSkin("panel.xml", R"(<Window size="300,200">
      <Voice6533Control name="Voice6533ControlItem" childpadding="4">
        <Option name="6533_eq_option_1" height="20"/>
        <Slider name="6533_MicIn_slider" height="20"/>
      </Voice6533Control></Window>)");
    StandInWindow w("panel.xml");
    ASSERT_TRUE(w.Create(nullptr, "t"));
    w.PaintManager().UpdateLayout();
    auto& panel = ui::test::Ctl<ui::CVerticalLayoutUI>(w, "Voice6533ControlItem");
    EXPECT_EQ(panel.GetCount(), 2);
    EXPECT_EQ(PosOf(w, "6533_MicIn_slider").top, PosOf(w, "6533_eq_option_1").bottom + 4);
}

TEST_F(PreviewStandInTest, ARegisteredClassIsNotShadowed) {
    EXPECT_NE(MakePreviewStandIn("ShootControl"), nullptr);
    ui::CControlFactory::Instance().Register<ui::CHorizontalLayoutUI>("CShootControlUI");
    EXPECT_EQ(MakePreviewStandIn("ShootControl"), nullptr);
    EXPECT_EQ(MakePreviewStandIn("Button"), nullptr);
}

TEST_F(PreviewStandInTest, SelectTabTakesNameEqualsAPageIndex) {
    auto w = Open(R"(<VerticalLayout><TabLayout name="tabs"><Control/><Control/><Control/></TabLayout>
                     <Label name="label"/></VerticalLayout>)");
    ASSERT_TRUE(w);
    auto& tabs = ui::test::Ctl<ui::CTabLayoutUI>(*w, "tabs");
    struct Case {
        const char* text;
        bool ok;
        int selected;  // the tab's page afterwards
    };
    for (const Case& c : {Case{"tabs=2", true, 2}, Case{"tabs=0", true, 0}, Case{"tabs=3", false, 0},
                          Case{"tabs=-1", false, 0}, Case{"tabs=1x", false, 0}, Case{"tabs=", false, 0},
                          Case{"tabs", false, 0}, Case{"=1", false, 0}, Case{"label=0", false, 0},
                          Case{"missing=0", false, 0}}) {
        EXPECT_EQ(SelectTab(w->PaintManager(), c.text), c.ok) << c.text;
        EXPECT_EQ(tabs.GetCurSel(), c.selected) << c.text;
    }
}

TEST_F(PreviewStandInTest, TilesAndPowerPanelsBuildAsRowsWithTheirChildren) {
    WriteSkin("tile.xml", R"(<DeviceOption width="120" height="30" childpadding="4">
        <Option name="device_select" width="30"/><Label name="device_select_name"/></DeviceOption>)");
    StandInWindow w("tile.xml");
    ASSERT_TRUE(w.Create(nullptr, "t"));
    w.PaintManager().UpdateLayout();
    auto* row = dynamic_cast<ui::CHorizontalLayoutUI*>(w.PaintManager().GetRoot());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetCount(), 2);
    EXPECT_EQ(PosOf(w, "device_select_name").left, PosOf(w, "device_select").right + 4);
}

TEST_F(PreviewStandInTest, AddLayoutAppendsABuiltLayoutAndSetReachesTheLastAddedFirst) {
    WriteSkin("tile.xml",
              R"(<HorizontalLayout width="50"><Label name="name" text="tile"/></HorizontalLayout>)");
    WriteSkin("broken.xml", "<HorizontalLayout");
    auto w = Open(R"(<VerticalLayout><HorizontalLayout name="strip"/><Label name="name" text="window"/>
                     <Label name="plain"/></VerticalLayout>)");
    ASSERT_TRUE(w);
    auto& strip = ui::test::Ctl<ui::CHorizontalLayoutUI>(*w, "strip");
    ui::CControlUI* first = AddLayout(w->PaintManager(), "strip=tile.xml", w.get());
    ui::CControlUI* second = AddLayout(w->PaintManager(), "strip=tile.xml", w.get());
    ASSERT_TRUE(first != nullptr && second != nullptr);
    EXPECT_EQ(strip.GetCount(), 2);
    EXPECT_EQ(strip.GetItemAt(1), second);
    for (const char* bad : {"strip", "=tile.xml", "strip=", "plain=tile.xml", "missing=tile.xml",
                            "strip=broken.xml", "strip=none.xml"}) {
        EXPECT_EQ(AddLayout(w->PaintManager(), bad, w.get()), nullptr) << bad;
    }
    EXPECT_EQ(strip.GetCount(), 2);

    // Same name in two tiles and the window: the scope's own control is changed.
    ASSERT_TRUE(SetNamedAttribute(w->PaintManager(), second, "name.text=second"));
    auto* secondName = dynamic_cast<ui::CContainerUI*>(second)->FindSubControl("name");
    auto* firstName = dynamic_cast<ui::CContainerUI*>(first)->FindSubControl("name");
    EXPECT_EQ(secondName->GetText(), "second");
    EXPECT_EQ(firstName->GetText(), "tile");
    // Outside the scope, the window-wide lookup.
    ASSERT_TRUE(SetNamedAttribute(w->PaintManager(), second, "plain.text=found"));
    EXPECT_EQ(w->FindControl("plain")->GetText(), "found");
    ASSERT_TRUE(SetNamedAttribute(w->PaintManager(), nullptr, "plain.visible=false"));
    EXPECT_FALSE(w->FindControl("plain")->IsVisible());
    for (const char* bad : {"plain", "plain.text", ".text=x", "plain.=x", "plaintext=x", "missing.text=x"}) {
        EXPECT_FALSE(SetNamedAttribute(w->PaintManager(), nullptr, bad)) << bad;
    }
}

}  // namespace
}  // namespace norvane::app
