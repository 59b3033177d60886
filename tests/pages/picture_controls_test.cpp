#include <array>
#include <fstream>

#include "pages/audio_record.h"
#include "pages/chart_view.h"
#include "pages/circle_progress.h"
#include "pages/device_key_button.h"
#include "pages/hand_img_button.h"
#include "pages/hand_img_select_button.h"
#include "pages/magic_control.h"
#include "pages/picture_controls.h"
#include "pages/select_panel.h"
#include "pages/wnd_ui.h"
#include "tests/ui/ui_fixture.h"
#include "ui/headless/recording_renderer.h"
#include "ui/option.h"

namespace norvane::pages {
namespace {

using ui::Point;
using ui::Rect;
using ui::headless::RecordingRenderer;
using ui::test::Ctl;
using Op = RecordingRenderer::Op;

class PictureTest : public ui::test::UiFixture {
protected:
    PictureTest() { RegisterPictureControls(ui::CControlFactory::Instance()); }
    ui::CPaintManagerUI& pm() { return w->PaintManager(); }
    std::vector<Op> OpsOf(ui::CControlUI& c) {
        RecordingRenderer r;
        c.DoPaint(r, c.GetPos());
        last = r.Calls();
        std::vector<Op> ops;
        for (const auto& call : last) {
            ops.push_back(call.op);
        }
        return ops;
    }
    // A minimal PNG header of the given size (enough for the size reader).
    void WritePngHeader(const std::string& name, std::uint32_t width, std::uint32_t height) {
        std::array<unsigned char, 24> h{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                        0,    0,   0,   13,  'I',  'H',  'D',  'R'};
        for (int i = 0; i < 4; ++i) {
            h[16 + i] = static_cast<unsigned char>(width >> (24 - 8 * i));
            h[20 + i] = static_cast<unsigned char>(height >> (24 - 8 * i));
        }
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(h.data()), h.size());
    }
    std::unique_ptr<ui::test::RecordingWindow> w;
    std::vector<RecordingRenderer::Call> last;
};

// A picture panel: five keys in a row (40 px apart), one more key inside a nested container.
constexpr const char* kPanel = R"(
<SelectPanel name="device_key_light">
  <DeviceKeyButton name="key_0" float="true" pos="10,10,40,40"/>
  <DeviceKeyButton name="key_1" float="true" pos="50,10,80,40"/>
  <DeviceKeyButton name="key_2" float="true" pos="90,10,120,40"/>
  <DeviceKeyButton name="key_3" float="true" pos="130,10,160,40"/>
  <DeviceKeyButton name="key_4" float="true" pos="170,10,200,40" enabled="false"/>
  <Label name="caption" float="true" pos="220,100,280,130" text="F-row"/>
  <Container name="group" float="true" pos="10,100,200,150">
    <DeviceKeyButton name="nested" float="true" pos="0,0,30,30"/>
  </Container>
</SelectPanel>)";

class SelectPanelTest : public PictureTest {
protected:
    void SetUp() override {
        w = Open(kPanel, {300, 200});
        ASSERT_TRUE(w);
    }
    std::string Selected() {
        std::string out;
        for (const char* name : {"key_0", "key_1", "key_2", "key_3", "key_4", "nested"}) {
            out += Ctl<CDeviceKeyButtonUI>(*w, name).GetSelect() != 0 ? '1' : '0';
        }
        return out;
    }
};

TEST_F(SelectPanelTest, DragSelectsExactlyTheKeysItsRectangleIntersects) {
    struct Case {
        Point from;
        Point to;
        const char* selected;  // key_0..key_4, nested
    };
    const Case cases[] = {
        {{45, 5}, {95, 60}, "011000"},    // overlaps key_1 fully and key_2 by 5 px
        {{165, 45}, {45, 20}, "011100"},  // dragged up-left: normalised rectangle
        {{41, 45}, {49, 90}, "000000"},   // between keys: clears everything
        {{5, 5}, {290, 190}, "111110"},   // disabled keys are selectable, nested ones never
        {{120, 5}, {125, 45}, "000000"},  // touching key_2's right edge (x = 120) is not overlap
    };
    for (const auto& c : cases) {
        w->seen.clear();
        ui::headless::Drag(pm(), c.from, c.to, 3);
        EXPECT_EQ(Selected(), c.selected) << c.from.x << "," << c.from.y;
        EXPECT_EQ(w->Log(), std::vector<std::string>{"click_select_end:device_key_light"});
    }
}

TEST_F(SelectPanelTest, DragMayStartOnThePicturesDecoration) {
    ui::headless::Drag(pm(), {250, 115}, {45, 5}, 3);  // starts on the caption label
    EXPECT_EQ(Selected(), "011110");
    EXPECT_EQ(w->Log(), std::vector<std::string>{"click_select_end:device_key_light"});
}

TEST_F(SelectPanelTest, LostCaptureDropsADragThatStartedOnTheDecoration) {
    auto& panel = Ctl<CSelectPanelUI>(*w, "device_key_light");
    pm().ButtonDown({250, 115});  // on the caption label: the panel drags
    pm().MouseMove({150, 60});
    ASSERT_TRUE(panel.IsDragging());
    pm().OnCaptureLost();
    EXPECT_FALSE(panel.IsDragging());
    ui::headless::Hover(pm(), {45, 5});
    pm().ButtonUp({45, 5});
    EXPECT_EQ(Selected(), "000000");
    EXPECT_TRUE(w->Events().empty());
}

TEST_F(SelectPanelTest, ClickWithoutMovementSelectsNothingAndSendsNothing) {
    ui::headless::Drag(pm(), {5, 5}, {290, 190}, 2);
    ASSERT_EQ(Selected(), "111110");
    w->seen.clear();
    ui::headless::Click(pm(), {45, 60});
    EXPECT_EQ(Selected(), "111110");  // previous selection kept
    EXPECT_TRUE(w->Events().empty());
}

TEST_F(SelectPanelTest, DragStartingOnAKeyIsTheKeysAndDisabledPanelIgnoresDrags) {
    ui::headless::Drag(pm(), {20, 20}, {150, 60}, 3);  // starts on key_0: the key gets the press
    EXPECT_EQ(Selected(), "000000");
    EXPECT_TRUE(w->Events().empty());  // released away from the key: not even a click
    w->seen.clear();
    w->FindControl("device_key_light")->SetEnabled(false);
    ui::headless::Drag(pm(), {5, 5}, {290, 190}, 3);
    EXPECT_EQ(Selected(), "000000");
    EXPECT_TRUE(w->Events().empty());
}

TEST_F(SelectPanelTest, KeyButtonDoubleClickAndPainting) {
    auto& key = Ctl<CDeviceKeyButtonUI>(*w, "key_1");
    ui::headless::DoubleClick(pm(), key.GetPos().Center());
    ui::headless::DoubleClick(pm(), Ctl<CDeviceKeyButtonUI>(*w, "key_4").GetPos().Center());
    EXPECT_EQ(w->Log(), (std::vector<std::string>{"click:key_1", "dbclick:key_1", "click:key_1"}));

    // Nothing but the button itself until the overlay is shown.
    EXPECT_EQ(OpsOf(key), std::vector<Op>{});
    // Device order red | blue << 8 | green << 16: 0x00FF20 is red 0x20, blue 0xFF, green 0.
    key.SetLightOverlay(0x00FF20, 128, true);
    ASSERT_EQ(OpsOf(key), std::vector<Op>{Op::FillRect});
    EXPECT_EQ(last[0].color, 0x802000FFU);
    key.SetKeySetHidden(0);
    EXPECT_EQ(OpsOf(key), (std::vector<Op>{Op::FillRect, Op::FillEllipse}));
    // With a light image the image is drawn with the tint instead.
    key.SetAttribute("lightimage", "led.png");
    key.SetKeySetHidden(1);
    ASSERT_EQ(OpsOf(key), std::vector<Op>{Op::Image});
    EXPECT_TRUE(last[0].hasTint);
    EXPECT_EQ(last[0].tint.color, 0xFF2000FFU);
    EXPECT_EQ(last[0].tint.level, 128);
    key.SetAttribute("gmnametextcolor", "#FF0000");  // accepted, no effect
    EXPECT_EQ(key.GetTextColor(), 0U);
}

TEST_F(SelectPanelTest, KeyCaptionIsDrawnLineByLineInsideTheKey) {
    auto& key = Ctl<CDeviceKeyButtonUI>(*w, "key_1");
    key.SetText("Fn lock");  // too wide for one line of the 30 px key
    RecordingRenderer r;
    const KeyCaptionLayout caption = key.CaptionLayout(r);
    EXPECT_EQ(caption.lines, (std::vector<std::string>{"Fn", "lock"}));
    EXPECT_FALSE(caption.elided);
    key.DoPaint(r, key.GetPos());
    const auto texts = r.CallsOf(Op::Text);
    ASSERT_EQ(texts.size(), 2U);
    const Rect box = key.CaptionBox();
    const auto inside = [](const Rect& outer, const Rect& inner) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    };
    EXPECT_TRUE(inside(key.GetPos(), box));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i].text, caption.lines[i]);
        EXPECT_TRUE(inside(box, texts[i].rect)) << texts[i].text;
    }
    EXPECT_EQ(texts[0].rect.bottom, texts[1].rect.top);
    // A new text is laid out again.
    key.SetText("Esc");
    EXPECT_EQ(key.CaptionLayout(r).lines, std::vector<std::string>{"Esc"});
}

TEST_F(PictureTest, PreviewDataLightsTheLightButtonsOfAPictureThatHasThem) {
    struct Case {
        const char* body;
        std::vector<std::string> lit;     // buttons given a shown light
        std::vector<std::string> marked;  // buttons showing the key-set mark
    };
    // Every fifth key button counted from 0 (the fourth, index 3) is marked.
    const std::vector<Case> cases = {
        {R"(<DeviceKeyButton name="light_0" float="true" pos="0,0,10,10"/>
            <DeviceKeyButton name="light_1" float="true" pos="20,0,30,10"/>
            <DeviceKeyButton name="key_0" float="true" pos="0,0,10,10"/>
            <DeviceKeyButton name="key_1" float="true" pos="20,0,30,10"/>
            <DeviceKeyButton name="key_2" float="true" pos="40,0,50,10"/>
            <DeviceKeyButton name="key_3" float="true" pos="60,0,70,10"/>)",
         {"light_0", "light_1"},
         {"key_3"}},
        {R"(<DeviceKeyButton name="key_0" float="true" pos="0,0,10,10"/>
            <DeviceKeyButton name="key_1" float="true" pos="20,0,30,10"/>
            <DeviceKeyButton name="key_2" float="true" pos="40,0,50,10"/>
            <DeviceKeyButton name="key_3" float="true" pos="60,0,70,10"/>)",
         {"key_0", "key_1", "key_2", "key_3"},
         {"key_3"}},
    };
    for (const Case& c : cases) {
        w = Open(std::string("<SelectPanel name=\"picture\">") + c.body + "</SelectPanel>");
        FillPreviewData(*pm().GetRoot());
        std::vector<std::string> lit;
        std::vector<std::string> marked;
        pm().GetRoot()->ForEach([&](ui::CControlUI& ctl) {
            if (auto* key = dynamic_cast<CDeviceKeyButtonUI*>(&ctl)) {
                if (key->IsLightShown()) {
                    lit.push_back(key->GetName());
                }
                if (!key->IsKeySetHidden()) {
                    marked.push_back(key->GetName());
                }
            }
        });
        EXPECT_EQ(lit, c.lit);
        EXPECT_EQ(marked, c.marked);
    }
}

TEST_F(PictureTest, RingSweepsFromTheBottomClockwise) {
    w = Open(R"(<VerticalLayout><CircleProgress name="ring" width="100" height="100" min="0" max="100"
        value="50" bkcolor="#FF262A32" forecolor="#FF00B8A9"/></VerticalLayout>)");
    ASSERT_TRUE(w);
    auto& ring = Ctl<CCircleProgressUI>(*w, "ring");
    ASSERT_EQ(OpsOf(ring), (std::vector<Op>{Op::FillEllipse, Op::FillPie, Op::FillEllipse}));
    EXPECT_EQ(last[1].start, 90);
    EXPECT_EQ(last[1].sweep, 180);
    EXPECT_EQ(last[1].color, 0xFF00B8A9U);
    EXPECT_EQ(last[2].rect, ring.GetPos().Deflate({10, 10, 10, 10}));
    EXPECT_EQ(last[2].color, 0xFFFFFFFFU);
    ring.SetValue(33);
    OpsOf(ring);
    EXPECT_EQ(last[1].sweep, 118);  // 118.8 cut to a whole number
    ring.SetMaxValue(0);            // empty range: nothing to divide by, nothing drawn
    EXPECT_EQ(OpsOf(ring), std::vector<Op>{});
}

TEST_F(PictureTest, BarGraphDrawsALineEverySecondPixel) {
    w = Open(R"(<VerticalLayout><AudioRecord name="bars" width="300" height="100"/>
        <AudioRecord name="wide" width="1200" height="64"/></VerticalLayout>)",
             {1300, 300});
    ASSERT_TRUE(w);
    auto& bars = Ctl<CAudioRecordUI>(*w, "bars");
    OpsOf(bars);
    auto lines = std::count_if(last.begin(), last.end(), [](const auto& c) { return c.op == Op::Line; });
    EXPECT_EQ(lines, 150);
    std::vector<std::int32_t> samples{8192, 4096, 0, -50, 100000};
    bars.SetSamples(samples);
    OpsOf(bars);
    const Rect& rc = bars.GetPos();
    EXPECT_EQ(last[0].from, (Point{rc.left, rc.top}));  // full scale fills the height
    EXPECT_EQ(last[1].from, (Point{rc.left + 2, rc.top + 50}));
    EXPECT_EQ(last[2].from, (Point{rc.left + 4, rc.bottom - 1}));  // zero: a dot at the bottom
    EXPECT_EQ(last[3].from.y, rc.bottom - 1);                      // out of range stays inside
    EXPECT_EQ(last[4].from.y, rc.top);
    EXPECT_EQ(last[5].from.y, rc.bottom - 1);  // start value 5: below one pixel
    ASSERT_EQ(last.size(), 150U);
    EXPECT_EQ(last[149].from.x, rc.left + 298);  // the last line fits the width
    auto& wide = Ctl<CAudioRecordUI>(*w, "wide");
    OpsOf(wide);
    EXPECT_EQ(std::count_if(last.begin(), last.end(), [](const auto& c) { return c.op == Op::Line; }), 500);
}

TEST_F(PictureTest, PannablePictureStaysInsideItsImage) {
    WritePngHeader("map.png", 300, 200);
    w = Open(R"(<VerticalLayout><HandImgSelectButton name="pan" width="100" height="80" handimage="map.png"
        cursor="hand"/><Control/></VerticalLayout>)");
    ASSERT_TRUE(w);
    auto& pan = Ctl<CHandImgSelectButtonUI>(*w, "pan");
    EXPECT_EQ(pan.ImagePixels(), (ui::Size{300, 200}));
    EXPECT_EQ(pan.SourceRect(), (Rect{0, 0, 100, 80}));
    EXPECT_EQ(pan.DrawnImage(), "file='map.png' source='0,0,100,80'");
    EXPECT_EQ(pan.GetCursor(), 32649);
    Point c = pan.GetPos().Center();
    ui::headless::Drag(pm(), c, {c.x - 30, c.y - 20}, 1);  // pull left and up: view moves right and down
    EXPECT_EQ(pan.SourceRect(), (Rect{30, 20, 130, 100}));
    ui::headless::Drag(pm(), c, {c.x + 50, c.y + 50}, 1);  // past the left/top edges: stops at 0
    EXPECT_EQ(pan.SourceRect(), (Rect{0, 0, 100, 80}));
    ui::headless::Drag(pm(), c, {c.x - 900, c.y - 900}, 1);  // past the right/bottom edges
    EXPECT_EQ(pan.SourceRect(), (Rect{200, 120, 300, 200}));
    EXPECT_EQ(pan.DrawnImage(), "file='map.png' source='200,120,300,200'");
    // A picture no larger than the button is drawn whole.
    WritePngHeader("small.png", 50, 40);
    pan.SetHandImage("small.png");
    EXPECT_EQ(pan.DrawnImage(), "small.png");
}

TEST_F(PictureTest, HandButtonDeleteCornerAndHover) {
    w = Open(R"(<VerticalLayout><HandImgButton name="hand" width="120" height="100" handimage="h.png"
        deletenormalimage="del.png" deletehotimage="del_hot.png"/><Control name="rest"/></VerticalLayout>)");
    ASSERT_TRUE(w);
    auto& hand = Ctl<CHandImgButtonUI>(*w, "hand");
    Rect corner = hand.DeleteCorner();
    EXPECT_EQ(corner, (Rect{90, 71, 110, 91}));
    ui::headless::Click(pm(), corner.Center());  // deleting disabled: an ordinary click
    hand.SetDeleteDisabled(false);
    ui::headless::Hover(pm(), corner.Center());
    EXPECT_EQ(hand.CurrentDeleteImage(), "del_hot.png");
    ui::headless::Click(pm(), corner.Center());
    ui::headless::Click(pm(), {10, 10});
    ui::headless::Hover(pm(), w->FindControl("rest")->GetPos().Center());
    EXPECT_EQ(w->Log(), (std::vector<std::string>{"msenter:hand", "click:hand", "click_handdelete:hand",
                                                  "click:hand", "msleave:hand"}));
}

TEST_F(PictureTest, ChartSlicesAndBars) {
    w = Open(R"(<VerticalLayout><ChartView name="pie" width="300" height="200"/>
        <ChartView name="bar" width="300" height="200" view="histpgram" pillarimagewidth="20" showtext="false"/>
        </VerticalLayout>)");
    ASSERT_TRUE(w);
    auto& pie = Ctl<CChartViewUI>(*w, "pie");
    EXPECT_EQ(OpsOf(pie), std::vector<Op>{});  // no items
    pie.AddItem("a", 1);
    pie.AddItem("b", 2);
    pie.AddItem("c", 1);
    OpsOf(pie);
    std::vector<RecordingRenderer::Call> slices;
    for (const auto& c : last) {
        if (c.op == Op::FillPie) {
            slices.push_back(c);
        }
    }
    ASSERT_EQ(slices.size(), 3U);
    EXPECT_EQ(slices[0].start, 0);
    EXPECT_EQ(slices[0].sweep, 90);
    EXPECT_EQ(slices[1].start, 90);
    EXPECT_EQ(slices[1].sweep, 180);
    EXPECT_EQ(slices[2].start + slices[2].sweep, 360);
    EXPECT_EQ(slices[0].color, 0xFF3F96F5U);  // palette entry 0x00BBGGRR 0xF5963F
    // d = min(300 - 100 - 10, 200 - 10) = 190.
    EXPECT_EQ(slices[0].rect, (Rect{5, 5, 195, 195}));
    auto& bar = Ctl<CChartViewUI>(*w, "bar");
    bar.AddItem("x", 10);
    bar.AddItem("y", 5);
    OpsOf(bar);
    std::vector<Rect> bars;
    for (const auto& c : last) {
        if (c.op == Op::FillRect) {
            bars.push_back(c.rect);
        }
    }
    const Rect& rc = bar.GetPos();
    int g = 2 * (300 / 20);
    ASSERT_EQ(bars.size(), 2U);
    EXPECT_EQ(bars[0], (Rect{rc.left + g, rc.top, rc.left + g + 20, rc.bottom}));
    EXPECT_EQ(bars[1], (Rect{rc.left + 2 * g + 20, rc.top + 100, rc.left + 2 * g + 40, rc.bottom}));
    pie.RemoveAll();
    pie.AddItem("zero", 0);
    EXPECT_EQ(OpsOf(pie), std::vector<Op>{});  // sum 0: nothing to divide by
    bar.SetAttribute("pillarimagewidth", "0");
    EXPECT_EQ(OpsOf(bar), std::vector<Op>{});
}

TEST_F(PictureTest, CarriedWindowFollowsPositionAndVisibility) {
    struct Child : ui::INativeChild {
        void Place(const Rect& rc, bool visible) override {
            at = rc;
            shown = visible;
            ++calls;
        }
        Rect at;
        bool shown = false;
        int calls = 0;
    } child;
    w = Open(R"(<VerticalLayout name="outer"><Container name="holder" height="50"><Wnd name="wnd" width="40"/>
        </Container></VerticalLayout>)");
    ASSERT_TRUE(w);
    auto& wnd = Ctl<CWndUI>(*w, "wnd");
    wnd.Attach(&child);
    EXPECT_EQ(child.at, (Rect{0, 0, 40, 50}));
    EXPECT_TRUE(child.shown);
    w->FindControl("holder")->SetVisible(false);  // hidden through the parent
    EXPECT_FALSE(child.shown);
    w->FindControl("holder")->SetVisible(true);
    EXPECT_TRUE(child.shown);
    Ctl<ui::CContainerUI>(*w, "holder").SetFixedHeight(60);
    w->PaintManager().UpdateLayout();
    EXPECT_EQ(child.at, (Rect{0, 0, 40, 60}));
    wnd.Detach();
}

TEST_F(PictureTest, MagicPanelOperations) {
    w = Open(R"(<VerticalLayout><MagicControl name="magic">
        <Option name="magic_enable_option" width="40"/>
        <HorizontalLayout name="magic_option_layout">
          <Option name="magic_option_1" group="voice"/><Option name="magic_option_2" group="voice"/>
          <Option name="magic_option_3" group="voice"/><Option name="magic_option_4" group="voice"/>
        </HorizontalLayout></MagicControl></VerticalLayout>)");
    ASSERT_TRUE(w);
    auto& magic = Ctl<CMagicControlUI>(*w, "magic");
    EXPECT_FALSE(magic.IsMagicEnable());
    magic.SetMagicEnable(true);
    EXPECT_TRUE(magic.IsMagicEnable());
    EXPECT_TRUE(w->FindControl("magic_option_2")->IsEnabled());
    magic.SetMagicEnable(false);
    EXPECT_FALSE(w->FindControl("magic_option_layout")->IsEnabled());
    EXPECT_FALSE(w->FindControl("magic_option_2")->IsEnabled());
    // An option switched off on its own stays off across a disable and enable of the panel.
    w->FindControl("magic_option_4")->SetEnabled(false);
    magic.SetMagicEnable(true);
    EXPECT_TRUE(w->FindControl("magic_option_2")->IsEnabled());
    EXPECT_FALSE(w->FindControl("magic_option_4")->IsEnabled());
    magic.SetMagicEnable(false);
    magic.SetMagicType(3);
    EXPECT_TRUE(Ctl<ui::COptionUI>(*w, "magic_option_3").IsSelected());
    EXPECT_EQ(magic.MagicType(), 3);
    magic.SetMagicType(9);
    EXPECT_EQ(magic.MagicType(), 0);
    for (const char* name : {"magic_option_1", "magic_option_2", "magic_option_3", "magic_option_4"}) {
        EXPECT_FALSE(Ctl<ui::COptionUI>(*w, name).IsSelected()) << name;
    }
    EXPECT_TRUE(w->Events().empty());  // all of it without notifications
    // The option layout rebuilt: the panel works on the new one.
    auto& holder = dynamic_cast<ui::CContainerUI&>(*w->FindControl("magic_option_layout")->GetParent());
    holder.Remove(w->FindControl("magic_option_layout"));
    auto rebuilt = std::make_unique<ui::CHorizontalLayoutUI>();
    rebuilt->SetName("magic_option_layout");
    holder.Add(std::move(rebuilt));
    magic.SetMagicEnable(false);
    EXPECT_FALSE(w->FindControl("magic_option_layout")->IsEnabled());
}

}  // namespace
}  // namespace norvane::pages
