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

}  // namespace
}  // namespace norvane::app
