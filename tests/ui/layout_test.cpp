#include "tests/ui/ui_fixture.h"
#include "ui/button.h"
#include "ui/container.h"
#include "ui/headless/recording_renderer.h"
#include "ui/image_string.h"

namespace norvane::ui::test {
namespace {

using LayoutTest = UiFixture;

// Fixed, stretching and float children, nested two levels, with insets, paddings and gaps.
constexpr const char* kNested = R"(
<VerticalLayout name="root" inset="8,8,8,8" childpadding="8">
  <HorizontalLayout name="header" height="40" childpadding="4">
    <Button name="a" width="100"/>
    <Button name="b"/>
    <Button name="c" width="60" padding="0,4,0,4"/>
  </HorizontalLayout>
  <HorizontalLayout name="body">
    <VerticalLayout name="left" width="120">
      <Label name="l1" height="30"/>
      <Label name="l2"/>
      <Label name="l3" height="50"/>
    </VerticalLayout>
    <Container name="right" inset="10,10,10,10">
      <Button name="fill"/>
      <Button name="floater" float="true" pos="20,30,70,60"/>
      <Button name="corner" float="true" floatalign="right,bottom" pos="4,4,24,24"/>
    </Container>
  </HorizontalLayout>
  <Label name="footer" height="20"/>
</VerticalLayout>)";

TEST_F(LayoutTest, NestedFixedStretchAndFloatRectangles) {
    auto w = Open(kNested, {400, 300});
    ASSERT_TRUE(w);
    struct Case {
        const char* name;
        Rect rect;
    };
    // Client 400x300, inset 8: content 8..392 x 8..292; header 40, footer 20, two gaps of 8.
    const Case cases[] = {
        {"root", {0, 0, 400, 300}},       {"header", {8, 8, 392, 48}},
        {"a", {8, 8, 108, 48}},           {"b", {112, 8, 328, 48}},  // 384 - 100 - 60 - 2*4 = 216 wide
        {"c", {332, 12, 392, 44}},                                   // vertical padding 4 on each side
        {"body", {8, 56, 392, 264}},                                 // 284 - 40 - 20 - 16 = 208 high
        {"left", {8, 56, 128, 264}},      {"l1", {8, 56, 128, 86}},
        {"l2", {8, 86, 128, 214}},        {"l3", {8, 214, 128, 264}},
        {"right", {128, 56, 392, 264}},   {"fill", {138, 66, 382, 254}},  // inset 10
        {"floater", {148, 86, 198, 116}},  // relative to the parent's top-left, inset ignored
        {"corner", {368, 240, 388, 260}},  // anchored 4 px from the right and bottom edges
        {"footer", {8, 272, 392, 292}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PosOf(*w, c.name), c.rect) << c.name;
    }
}

TEST_F(LayoutTest, DpiScaleMultipliesEverySize) {
    auto w = Open(kNested, {400, 300});
    ASSERT_TRUE(w);
    w->SetDPI(144);
    w->PaintManager().UpdateLayout();
    EXPECT_EQ(PosOf(*w, "root"), (Rect{0, 0, 600, 450}));
    EXPECT_EQ(PosOf(*w, "header"), (Rect{12, 12, 588, 72}));
    EXPECT_EQ(PosOf(*w, "a"), (Rect{12, 12, 162, 72}));
    EXPECT_EQ(PosOf(*w, "floater"), (Rect{192 + 30, 84 + 45, 192 + 105, 84 + 90}));
}

TEST_F(LayoutTest, ImageDestRectanglesScaleWithTheDpi) {
    auto w = Open(R"(<VerticalLayout>
      <Button name="icon" height="28" normalimage="file='i.png' dest='8,6,24,22' fade='200'"/>
      <Button name="whole" height="28" normalimage="i.png"/></VerticalLayout>)");
    ASSERT_TRUE(w);
    struct Case {
        int dpi;
        const char* icon;
    };
    for (const Case& c : {Case{144, "file='i.png' dest='12,9,36,33' fade='200'"},
                          Case{96, "file='i.png' dest='8,6,24,22' fade='200'"}}) {
        w->SetDPI(c.dpi);
        w->PaintManager().UpdateLayout();
        headless::RecordingRenderer r;
        w->PaintManager().Paint(r, {0, 0, 600, 450});
        std::vector<std::string> images;
        for (const auto& call : r.CallsOf(headless::RecordingRenderer::Op::Image)) {
            images.push_back(call.text);
        }
        EXPECT_EQ(images, (std::vector<std::string>{c.icon, "i.png"})) << c.dpi;
    }
    EXPECT_EQ(ScaleImageDest("file='a.png' dest='1,2,3'", [](int v) { return v * 2; }),
              "file='a.png' dest='2,4,6,0'");
    for (const char* unchanged : {"a.png", "file='a.png' dest=", "file='a.png' dest='1,2", "dest=x1,2,3,4"}) {
        EXPECT_EQ(ScaleImageDest(unchanged, [](int v) { return v * 2; }), unchanged);
    }
}

TEST_F(LayoutTest, StretchRespectsMinAndMaxAndSharesTheRest) {
    auto w = Open(R"(
<VerticalLayout name="root">
  <Control name="capped" maxheight="50"/>
  <Control name="floor" minheight="200"/>
  <Control name="free"/>
  <Control name="hidden" height="40" visible="false"/>
</VerticalLayout>)",
                  {100, 300});
    ASSERT_TRUE(w);
    EXPECT_EQ(PosOf(*w, "capped"), (Rect{0, 0, 100, 50}));
    EXPECT_EQ(PosOf(*w, "floor"), (Rect{0, 50, 100, 250}));
    EXPECT_EQ(PosOf(*w, "free"), (Rect{0, 250, 100, 300}));
}

TEST_F(LayoutTest, TabLayoutShowsOnlyTheSelectedPage) {
    auto w = Open(R"(
<TabLayout name="tabs" selectedid="1">
  <Button name="p0"/><Button name="p1"/><Button name="p2"/>
</TabLayout>)");
    ASSERT_TRUE(w);
    auto* tabs = &Ctl<CTabLayoutUI>(*w, "tabs");
    ASSERT_NE(tabs, nullptr);
    auto& pm = w->PaintManager();
    EXPECT_EQ(pm.FindControlAt({10, 10})->GetName(), "p1");
    ASSERT_TRUE(tabs->SelectItem(2));
    pm.UpdateLayout();
    EXPECT_EQ(pm.FindControlAt({10, 10})->GetName(), "p2");
    EXPECT_FALSE(w->FindControl("p1")->IsVisible());
    EXPECT_FALSE(tabs->SelectItem(3));
    EXPECT_EQ(tabs->GetCurSel(), 2);
}

TEST_F(LayoutTest, TabLayoutKeepsItsSelectionAsPagesComeAndGo) {
    auto w = Open(R"(
<TabLayout name="tabs" selectedid="1">
  <Button name="p0"/><Button name="p1"/><Button name="p2"/>
</TabLayout>)");
    ASSERT_TRUE(w);
    auto& tabs = Ctl<CTabLayoutUI>(*w, "tabs");
    auto& pm = w->PaintManager();
    auto page = [](const char* name) {
        auto b = std::make_unique<CButtonUI>();
        b->SetName(name);
        return b;
    };
    // The pages shown, and the page hit at a point.
    auto shown = [&] {
        std::string out;
        for (int i = 0; i < tabs.GetCount(); ++i) {
            if (tabs.GetItemAt(i)->IsOwnVisible()) {
                out += tabs.GetItemAt(i)->GetName() + " ";
            }
        }
        pm.UpdateLayout();
        CControlUI* hit = pm.FindControlAt({10, 10});
        return out + "hit " + (hit != nullptr ? hit->GetName() : "none");
    };
    tabs.Add(page("p3"));
    EXPECT_EQ(shown(), "p1 hit p1");
    tabs.AddAt(page("pa"), 0);
    EXPECT_EQ(shown(), "p1 hit p1");
    EXPECT_EQ(tabs.GetCurSel(), 2);
    tabs.Remove(w->FindControl("p0"));
    EXPECT_EQ(tabs.GetCurSel(), 1);
    EXPECT_EQ(shown(), "p1 hit p1");
    tabs.SetItemIndex(w->FindControl("p1"), 3);
    EXPECT_EQ(tabs.GetCurSel(), 3);
    tabs.Remove(w->FindControl("p1"));  // the selected page goes: the first one shows
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_EQ(shown(), "pa hit pa");
    tabs.RemoveAll();
    EXPECT_EQ(tabs.GetCurSel(), -1);
    tabs.Add(page("q0"));
    tabs.Add(page("q1"));
    EXPECT_EQ(shown(), "q0 hit q0");
    EXPECT_EQ(tabs.GetCurSel(), 0);
}

TEST_F(LayoutTest, SubControlLookupFindsTheNameBelowTheGivenContainer) {
    // Pages of the same kind repeat their names in one window.
    auto w = Open(R"(<VerticalLayout name="root">
  <HorizontalLayout name="page1"><Button name="dpi"/></HorizontalLayout>
  <HorizontalLayout name="page2"><Container name="inner"><Button name="dpi"/></Container><Button name="dpi"/>
  </HorizontalLayout></VerticalLayout>)");
    ASSERT_TRUE(w);
    auto& page1 = Ctl<CContainerUI>(*w, "page1");
    auto& page2 = Ctl<CContainerUI>(*w, "page2");
    EXPECT_EQ(page1.FindSubControl("dpi")->GetParent(), &page1);
    EXPECT_EQ(page2.FindSubControl("dpi")->GetParent(), w->FindControl("inner"));  // first in tree order
    EXPECT_EQ(page1.FindSubControl("page2"), nullptr);
    EXPECT_EQ(page1.FindSubControl("page1"), nullptr);
    auto detached = Ctl<CContainerUI>(*w, "root").Detach(&page1);
    EXPECT_EQ(dynamic_cast<CContainerUI&>(*detached).FindSubControl("dpi")->GetParent(), detached.get());
}

TEST_F(LayoutTest, HitTestingFindsTopmostVisibleMouseControl) {
    auto w = Open(kNested, {400, 300});
    ASSERT_TRUE(w);
    auto& pm = w->PaintManager();
    struct Case {
        Point pt;
        const char* expected;
    };
    const Case cases[] = {
        {{150, 90}, "floater"},                        // the float lies over "fill"
        {{140, 70}, "fill"},    {{132, 60}, "right"},  // inside the inset: the container itself
        {{4, 4}, "root"},       {{20, 100}, "l2"},
    };
    for (const auto& c : cases) {
        CControlUI* hit = pm.FindControlAt(c.pt);
        ASSERT_NE(hit, nullptr) << c.expected;
        EXPECT_EQ(hit->GetName(), c.expected);
    }
    EXPECT_EQ(pm.FindControlAt({500, 10}), nullptr);
    w->FindControl("floater")->SetMouseEnabled(false);
    EXPECT_EQ(pm.FindControlAt({150, 90})->GetName(), "fill");
    w->FindControl("right")->SetVisible(false);
    pm.UpdateLayout();
    EXPECT_EQ(pm.FindControlAt({150, 90})->GetName(), "body");
}

TEST_F(LayoutTest, ContainerOperationsKeepOrderAndNames) {
    auto w = Open(R"(<HorizontalLayout name="row"><Button name="x" width="10"/></HorizontalLayout>)");
    ASSERT_TRUE(w);
    auto* row = &Ctl<CContainerUI>(*w, "row");
    ASSERT_NE(row, nullptr);
    auto make = [](const char* name) {
        auto b = std::make_unique<CButtonUI>();
        b->SetName(name);
        b->SetFixedWidth(10);
        return b;
    };
    row->Add(make("z"));
    row->AddAt(make("y"), 1);
    row->AddAt(make("first"), -5);  // clamped to the front
    ASSERT_EQ(row->GetCount(), 4);
    EXPECT_EQ(row->GetItemAt(0)->GetName(), "first");
    EXPECT_EQ(row->GetItemAt(2)->GetName(), "y");
    EXPECT_EQ(w->FindControl("y"), row->GetItemAt(2));
    EXPECT_TRUE(row->Remove(w->FindControl("y")));
    EXPECT_EQ(w->FindControl("y"), nullptr);
    EXPECT_FALSE(row->RemoveAt(10));
    w->PaintManager().UpdateLayout();
    EXPECT_EQ(PosOf(*w, "z"), (Rect{20, 0, 30, 300}));
    row->RemoveAll();
    EXPECT_EQ(row->GetCount(), 0);
    EXPECT_EQ(w->FindControl("x"), nullptr);
}

TEST_F(LayoutTest, ListScrollsWithTheWheelWithinItsContent) {
    std::string rows;
    for (int i = 0; i < 10; ++i) {
        rows += "<ListLabelElement name=\"r" + std::to_string(i) + "\" text=\"row\"/>";
    }
    auto w = Open("<List name=\"list\">" + rows + "</List>", {200, 100});
    ASSERT_TRUE(w);
    EXPECT_EQ(PosOf(*w, "r1"), (Rect{0, 30, 200, 60}));
    headless::WheelAt(w->PaintManager(), {50, 50}, -120);
    w->PaintManager().UpdateLayout();
    EXPECT_EQ(PosOf(*w, "r1"), (Rect{0, 0, 200, 30}));
    for (int i = 0; i < 20; ++i) {
        headless::WheelAt(w->PaintManager(), {50, 50}, -120);
    }
    w->PaintManager().UpdateLayout();
    EXPECT_EQ(PosOf(*w, "r9").bottom, 100);  // 300 px of rows in 100: scrolled to the end, not past
}

}  // namespace
}  // namespace norvane::ui::test
