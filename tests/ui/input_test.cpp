#include <functional>
#include <utility>

#include "tests/ui/ui_fixture.h"
#include "ui/color_palette.h"
#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/headless/recording_renderer.h"
#include "ui/label.h"
#include "ui/list.h"
#include "ui/option.h"
#include "ui/slider.h"

namespace norvane::ui::test {
namespace {

using headless::Click;
using headless::ClickControl;

// Every standard control kind in one window (400 x 400).
constexpr const char* kControls = R"(
<VerticalLayout name="root">
  <HorizontalLayout height="30">
    <Button name="btn" width="80"/>
    <Button name="off" width="80" enabled="false"/>
    <Button name="ctx" width="80" menu="true"/>
    <Label name="lbl" width="80" text="label"/>
  </HorizontalLayout>
  <HorizontalLayout height="30">
    <Option name="o1" group="g" width="60" selected="true"/>
    <Option name="o2" group="g" width="60"/>
    <Option name="o3" group="g" width="60"/>
    <Option name="solo" width="60"/>
    <CheckBox name="chk" width="60"/>
  </HorizontalLayout>
  <Combo name="combo" height="30">
    <ListLabelElement text="one" userdata="1"/>
    <ListLabelElement text="two" userdata="2" visible="false"/>
    <ListLabelElement text="three" userdata="3" height="40"/>
  </Combo>
  <List name="list" height="90">
    <ListLabelElement name="row0" text="a"/>
    <ListLabelElement name="row1" text="b"/>
    <ListLabelElement name="row2" text="c"/>
  </List>
  <Slider name="slider" height="20" min="0" max="100" value="0"/>
  <HorizontalLayout height="30">
    <Edit name="edit" width="100" numberonly="true" maxchar="4" minnum="100" maxnum="5000"/>
    <Edit name="free" width="100"/>
  </HorizontalLayout>
  <ColorPalette name="palette" height="100"/>
  <Control name="rest"/>
</VerticalLayout>)";

class InputTest : public UiFixture {
protected:
    void SetUp() override {
        w = Open(kControls, {400, 400});
        ASSERT_TRUE(w);
    }
    CPaintManagerUI& pm() { return w->PaintManager(); }
    Point Center(std::string_view name) { return w->FindControl(name)->GetPos().Center(); }
    std::unique_ptr<RecordingWindow> w;
};

TEST_F(InputTest, ClicksRaiseClickOnlyWhenPressAndReleaseAreInsideAnEnabledButton) {
    ClickControl(pm(), "btn");
    ClickControl(pm(), "off");
    ClickControl(pm(), "lbl");
    Click(pm(), Center("rest"));
    Click(pm(), {399, 399});
    // Press inside, release outside: nothing.
    pm().ButtonDown(Center("btn"));
    pm().MouseMove(Center("lbl"));
    pm().ButtonUp(Center("lbl"));
    // Press outside, release inside: nothing either.
    pm().ButtonDown(Center("lbl"));
    pm().ButtonUp(Center("btn"));
    EXPECT_EQ(w->Log(), std::vector<std::string>{"click:btn"});
}

TEST_F(InputTest, DisabledContainerDisablesWhatItHoldsAndKeepsTheirOwnFlags) {
    CControlUI* row = w->FindControl("btn")->GetParent();
    auto& lbl = Ctl<CLabelUI>(*w, "lbl");
    lbl.SetText("label");
    ClickControl(pm(), "btn");  // focused before the container goes off
    w->seen.clear();
    row->SetEnabled(false);
    ClickControl(pm(), "btn");
    headless::PressKey(pm(), Key::Return);
    headless::RightClick(pm(), Center("ctx"));
    EXPECT_TRUE(w->Events().empty());
    EXPECT_FALSE(w->FindControl("btn")->IsEnabled());
    EXPECT_TRUE(w->FindControl("btn")->IsOwnEnabled());
    // Painted as disabled too.
    headless::RecordingRenderer r;
    pm().Paint(r, lbl.GetPos());
    auto texts = r.CallsOf(headless::RecordingRenderer::Op::Text);
    ASSERT_EQ(texts.size(), 1U);
    EXPECT_EQ(texts[0].color, pm().GetDefaultDisabledColor());
    // Enabled again, each child is back to its own state.
    row->SetEnabled(true);
    ClickControl(pm(), "btn");
    ClickControl(pm(), "off");
    headless::RightClick(pm(), Center("ctx"));
    EXPECT_EQ(w->Log(), (std::vector<std::string>{"click:btn", "menu:ctx"}));
    EXPECT_FALSE(w->FindControl("off")->IsEnabled());
}

TEST_F(InputTest, KeyboardActivatesTheFocusedButton) {
    ClickControl(pm(), "btn");
    w->seen.clear();
    headless::PressKey(pm(), Key::Return);
    headless::PressKey(pm(), Key::Space);
    headless::PressKey(pm(), Key::Left);
    EXPECT_EQ(w->Log(), (std::vector<std::string>{"click:btn", "click:btn"}));
}

TEST_F(InputTest, OptionGroupsAreExclusive) {
    auto* o1 = &Ctl<COptionUI>(*w, "o1");
    auto* o2 = &Ctl<COptionUI>(*w, "o2");
    auto* o3 = &Ctl<COptionUI>(*w, "o3");
    ClickControl(pm(), "o2");
    EXPECT_FALSE(o1->IsSelected());
    EXPECT_TRUE(o2->IsSelected());
    EXPECT_EQ(w->Log(), (std::vector<std::string>{"selectchanged:o1", "selectchanged:o2"}));
    w->seen.clear();
    ClickControl(pm(), "o2");  // a selected grouped option stays selected, quietly
    EXPECT_TRUE(o2->IsSelected());
    EXPECT_TRUE(w->seen.empty());
    o3->Selected(true, false);  // by code without notification
    EXPECT_FALSE(o2->IsSelected());
    EXPECT_TRUE(w->seen.empty());
    int selected = 0;
    for (auto* o : {o1, o2, o3}) {
        selected += o->IsSelected() ? 1 : 0;
    }
    EXPECT_EQ(selected, 1);
}

TEST_F(InputTest, UngroupedOptionAndCheckBoxToggle) {
    ClickControl(pm(), "solo");
    ClickControl(pm(), "solo");
    ClickControl(pm(), "chk");
    EXPECT_EQ(w->Log(), (std::vector<std::string>{"selectchanged:solo", "selectchanged:solo",
                                                  "selectchanged:chk", "checkclick:chk"}));
    EXPECT_TRUE(Ctl<CCheckBoxUI>(*w, "chk").GetCheck());
    EXPECT_EQ(w->Events()[3].wparam, 1);
}

TEST_F(InputTest, ComboOpensItsDropDownAndSelectsWithOrWithoutNotification) {
    auto* combo = &Ctl<CComboUI>(*w, "combo");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetCurSel(), -1);
    ClickControl(pm(), "combo");
    auto* host = platform.HostOf(*w);
    EXPECT_EQ(host->OpenDropDown(), combo);
    EXPECT_TRUE(combo->IsDropDownOpen());
    EXPECT_EQ(combo->VisibleItems(), (std::vector<int>{0, 2}));  // the hidden row is left out
    EXPECT_EQ(combo->GetItemAt(2)->GetUserData(), "3");
    EXPECT_EQ(combo->GetItemAt(2)->GetFixedHeight(), 40);
    // Choosing a row in the drop-down is a press on the row.
    auto* row = combo->GetItemAt(2);
    TEventUI press = MakeEvent(EventType::ButtonDown, {0, 0});
    row->Event(press);
    EXPECT_FALSE(combo->IsDropDownOpen());
    EXPECT_EQ(combo->GetCurSel(), 2);
    EXPECT_EQ(combo->GetText(), "three");
    ASSERT_EQ(w->Log(), (std::vector<std::string>{"dropdown:combo", "itemselect:combo", "itemclick:"}));
    EXPECT_EQ(w->Events()[1].wparam, 2);
    EXPECT_EQ(w->Events()[1].lparam, -1);
    w->seen.clear();
    EXPECT_TRUE(combo->SelectItem(0, false));
    EXPECT_FALSE(combo->SelectItem(7, true));
    EXPECT_TRUE(w->seen.empty());
    EXPECT_EQ(combo->GetText(), "one");
}

TEST_F(InputTest, ComboSelectionFollowsItsRowAsRowsChange) {
    auto& combo = Ctl<CComboUI>(*w, "combo");  // rows "one", "two", "three"
    combo.SelectItem(2, false);
    combo.RemoveAt(0);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(combo.GetText(), "three");
    auto zero = std::make_unique<CListLabelElementUI>();
    zero->SetText("zero");
    combo.AddAt(std::move(zero), 0);
    EXPECT_EQ(combo.GetCurSel(), 2);
    EXPECT_EQ(combo.GetText(), "three");
    combo.SetItemIndex(combo.GetItemAt(2), 0);
    EXPECT_EQ(combo.GetCurSel(), 0);
    EXPECT_EQ(combo.GetText(), "three");
    combo.RemoveAt(0);  // the selected row itself: nothing is selected
    EXPECT_EQ(combo.GetCurSel(), -1);
    EXPECT_EQ(combo.GetText(), "");
    EXPECT_TRUE(w->seen.empty());
    // Emptied and filled again, the row at the old index is a new selection.
    combo.SelectItem(1, false);
    combo.RemoveAll();
    combo.AddString("a");
    combo.AddString("b");
    EXPECT_TRUE(combo.SelectItem(1, true));
    EXPECT_TRUE(As<IListItemUI>(combo.GetItemAt(1)).IsSelected());
    EXPECT_EQ(combo.GetText(), "b");
    // Asked by code with notification, the window hears it even for the same row; the user
    // choosing the row already shown changes nothing and tells nothing.
    combo.SelectItem(1, true);
    combo.ChooseItem(1);
    combo.ChooseItem(0);
    ASSERT_EQ(w->Log(),
              (std::vector<std::string>{"itemselect:combo", "itemselect:combo", "itemselect:combo"}));
    EXPECT_EQ(w->Events()[0].wparam, 1);
    EXPECT_EQ(w->Events()[0].lparam, -1);
    EXPECT_EQ(w->Events()[1].lparam, 1);
    EXPECT_EQ(w->Events()[2].wparam, 0);
}

TEST_F(InputTest, RemovingAComboWithItsDropDownOpenLeavesNoDanglingPopup) {
    ClickControl(pm(), "combo");
    ASSERT_NE(platform.HostOf(*w)->OpenDropDown(), nullptr);
    auto* combo = w->FindControl("combo");
    ASSERT_TRUE(Ctl<CContainerUI>(*w, "root").Remove(combo));
    EXPECT_EQ(platform.HostOf(*w)->OpenDropDown(), nullptr);
    EXPECT_EQ(pm().GetFocus(), nullptr);
}

TEST_F(InputTest, ListRowsSelectClickAndActivate) {
    auto* list = &Ctl<CListUI>(*w, "list");
    ClickControl(pm(), "row1");
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(w->Log(), (std::vector<std::string>{"itemselect:list", "itemclick:row1"}));
    w->seen.clear();
    headless::DoubleClick(pm(), Center("row2"));
    EXPECT_EQ(w->Log(), (std::vector<std::string>{"itemselect:list", "itemclick:row2", "itemactivate:row2"}));
    w->seen.clear();
    list->SelectItem(0, false);
    EXPECT_TRUE(w->seen.empty());
    EXPECT_TRUE(As<IListItemUI>(list->GetItemAt(0)).IsSelected());
    EXPECT_FALSE(As<IListItemUI>(list->GetItemAt(2)).IsSelected());
}

TEST_F(InputTest, CtrlClickTogglesRowsOfAMultiSelectList) {
    auto& list = Ctl<CListUI>(*w, "list");
    Click(pm(), Center("row0"));
    Click(pm(), Center("row2"), kModControl);  // a single-selection list ignores Ctrl
    EXPECT_EQ(list.GetSelectedItems(), std::vector<int>{2});
    list.SetAttribute("multiselect", "true");
    w->seen.clear();
    Click(pm(), Center("row0"), kModControl);
    EXPECT_EQ(list.GetSelectedItems(), (std::vector<int>{0, 2}));
    Click(pm(), Center("row2"), kModControl);  // toggled off again
    Click(pm(), Center("row1"), kModControl);
    EXPECT_EQ(list.GetSelectedItems(), (std::vector<int>{0, 1}));
    EXPECT_EQ(list.GetCurSel(), 0);
    Click(pm(), Center("row1"));  // a plain press keeps this row alone
    EXPECT_EQ(list.GetSelectedItems(), std::vector<int>{1});
    Click(pm(), Center("row1"));  // nothing changes: only the click is told
    // "itemselect" carries the first selected row and the one before the change.
    std::vector<std::pair<std::intptr_t, std::intptr_t>> selects;
    for (const auto& e : w->Events()) {
        if (e.type == "itemselect") {
            selects.emplace_back(e.wparam, e.lparam);
        }
    }
    EXPECT_EQ(selects,
              (std::vector<std::pair<std::intptr_t, std::intptr_t>>{{0, 2}, {0, 0}, {0, 0}, {1, 0}}));
    EXPECT_EQ(w->Events().size(), selects.size() + 5);  // one "itemclick" per press
    list.SelectItem(2, false);
    Click(pm(), Center("row0"), kModControl);
    list.SetMultiSelect(false);
    EXPECT_EQ(list.GetSelectedItems(), std::vector<int>{0});
}

TEST_F(InputTest, ItemSelectHandlerMayRebuildOrShiftTheRows) {
    auto& list = Ctl<CListUI>(*w, "list");
    // Rebuilds the rows on the first "itemselect", removes row 0 on the second.
    struct Rebuilder final : INotifyUI {
        virtual ~Rebuilder() = default;
        void Notify(TNotifyUI& msg) override {
            if (msg.type != "itemselect") {
                return;
            }
            if (++round == 1) {
                list->RemoveAll();
                for (const char* text : {"x", "y"}) {
                    auto row = std::make_unique<CListLabelElementUI>();
                    row->SetText(text);
                    list->Add(std::move(row));
                }
            } else {
                list->RemoveAt(0);
            }
        }
        CListUI* list = nullptr;
        int round = 0;
    } rebuilder;
    rebuilder.list = &list;
    pm().AddNotifier(&rebuilder);
    Point row1 = Center("row1");
    Click(pm(), row1);  // the clicked row is gone once "itemselect" returns
    EXPECT_EQ(w->Log(), std::vector<std::string>{"itemselect:list"});
    EXPECT_EQ(list.GetCount(), 2);
    w->seen.clear();
    pm().UpdateLayout();
    Click(pm(), list.GetItemAt(1)->GetPos().Center());  // "y" moves up to index 0
    pm().RemoveNotifier(&rebuilder);
    ASSERT_EQ(w->Events().size(), 2U);
    EXPECT_EQ(w->Events()[1].type, "itemclick");
    EXPECT_EQ(w->Events()[1].wparam, 0);
    EXPECT_EQ(list.GetItemAt(0)->GetText(), "y");
}

TEST_F(InputTest, PressOnARowsDecorationSelectsTheRow) {
    auto* list = &Ctl<CListUI>(*w, "list");
    auto row = std::make_unique<CListContainerElementUI>();
    row->SetName("rich");
    auto label = std::make_unique<CLabelUI>();
    label->SetName("rich_label");
    label->SetText("rich row");
    row->Add(std::move(label));
    list->AddAt(std::move(row), 0);
    pm().UpdateLayout();
    ClickControl(pm(), "rich_label");
    EXPECT_EQ(list->GetCurSel(), 0);
    EXPECT_EQ(w->Log(), (std::vector<std::string>{"itemselect:list", "itemclick:rich"}));
}

TEST_F(InputTest, SliderDragSendsMovingValuesThenTheFinalValue) {
    auto* slider = &Ctl<CSliderUI>(*w, "slider");
    Rect rc = slider->GetPos();
    int y = rc.Center().y;
    // The thumb's centre travels between rc.left + 6 and rc.right - 6.
    headless::Drag(pm(), {rc.left + 6, y}, {rc.right - 6, y}, 4);
    auto events = w->Events();
    ASSERT_EQ(events.size(), 5U);  // four moves of a quarter each, then the release
    EXPECT_EQ(events.back().type, "valuechanged");
    EXPECT_EQ(events.back().wparam, 100);
    for (std::size_t i = 0; i + 1 < events.size(); ++i) {
        EXPECT_EQ(events[i].type, "movevaluechanged");
        EXPECT_EQ(events[i].wparam, static_cast<std::intptr_t>(25 * (i + 1)));
    }
    EXPECT_EQ(slider->GetValue(), 100);
    w->seen.clear();
    slider->SetEnabled(false);
    headless::Drag(pm(), {rc.right - 6, y}, {rc.left + 6, y}, 4);
    EXPECT_TRUE(w->Events().empty());
    EXPECT_EQ(slider->GetValue(), 100);
}

TEST_F(InputTest, LostCaptureEndsPressesAndDrags) {
    auto& slider = Ctl<CSliderUI>(*w, "slider");
    Rect rc = slider.GetPos();
    int y = rc.Center().y;
    Rect field = Ctl<CColorPaletteUI>(*w, "palette").FieldRect();
    struct Way {
        const char* how;
        std::function<void()> lose;
        std::vector<std::string> sliderLog;
    };
    const std::vector<std::string> reported{"movevaluechanged:slider", "valuechanged:slider"};
    const Way ways[] = {
        {"window deactivated", [&] { headless::LoseCapture(pm()); }, reported},
        {"window hidden", [&] { w->ShowWindow(false); }, reported},
        {"control hidden a moment",
         [&] {
             w->FindControl("root")->SetVisible(false);
             w->FindControl("root")->SetVisible(true);
             pm().UpdateLayout();
         },
         reported},
        // A disabled slider tells nothing, not even where the drag left it.
        {"control disabled a moment",
         [&] {
             w->FindControl("root")->SetEnabled(false);
             w->FindControl("root")->SetEnabled(true);
         },
         {"movevaluechanged:slider"}},
    };
    for (const auto& [how, lose, sliderLog] : ways) {
        SCOPED_TRACE(how);
        slider.SetValue(0);
        Ctl<CColorPaletteUI>(*w, "palette").SetSelectColor(0xFF0000FF);
        w->seen.clear();
        pm().ButtonDown({rc.left + 6, y});
        pm().MouseMove(rc.Center());
        lose();
        // Hovering after the loss moves nothing.
        headless::Hover(pm(), {rc.right - 6, y});
        pm().ButtonUp({rc.right - 6, y});
        EXPECT_EQ(w->Log(), sliderLog);
        EXPECT_EQ(slider.GetValue(), 50);
        // A button pressed before the loss is not clicked by a later release on it.
        w->seen.clear();
        pm().ButtonDown(Center("btn"));
        lose();
        pm().ButtonUp(Center("btn"));
        // The palette stops following the mouse.
        pm().ButtonDown({field.left, field.top});
        lose();
        headless::Hover(pm(), {field.left + field.Width() / 2, field.top});
        EXPECT_EQ(w->Log(), std::vector<std::string>{"colorchanged:palette"});
    }
}

TEST_F(InputTest, EditHonoursItsLimitsAndReportsFocusTextAndReturn) {
    auto* edit = &Ctl<CEditUI>(*w, "edit");
    ClickControl(pm(), "edit");
    EXPECT_EQ(platform.HostOf(*w)->OverlayEdit(), edit);
    headless::TypeText(pm(), "1a2-3");
    EXPECT_EQ(edit->GetText(), "123");
    headless::TypeText(pm(), "45");  // only one more fits in 4 characters
    EXPECT_EQ(edit->GetText(), "1234");
    headless::PressKey(pm(), Key::Back);
    EXPECT_EQ(edit->GetText(), "123");
    headless::PressKey(pm(), Key::Return);
    ClickControl(pm(), "rest");  // focus leaves: 123 is inside 100..5000 and stays
    EXPECT_EQ(platform.HostOf(*w)->OverlayEdit(), nullptr);
    EXPECT_EQ(w->Log(true),
              (std::vector<std::string>{"setfocus:edit", "textchanged:edit", "textchanged:edit",
                                        "textchanged:edit", "textchanged:edit", "textchanged:edit",
                                        "return:edit", "killfocus:edit", "setfocus:rest"}));
    // Values outside the number limits are clamped when the focus leaves, before "killfocus".
    ClickControl(pm(), "edit");
    headless::PressKey(pm(), Key::Back);
    headless::PressKey(pm(), Key::Back);
    w->seen.clear();
    ClickControl(pm(), "free");
    EXPECT_EQ(edit->GetText(), "100");
    EXPECT_EQ(w->Log(true),
              (std::vector<std::string>{"textchanged:edit", "killfocus:edit", "setfocus:free"}));
    edit->SetText("99999");  // code is held to the same limits
    EXPECT_EQ(edit->GetText(), "9999");
}

TEST_F(InputTest, HidingAContainerTakesTheFocusFromTheEditInside) {
    ClickControl(pm(), "free");
    ASSERT_EQ(platform.HostOf(*w)->OverlayEdit(), &Ctl<CEditUI>(*w, "free"));
    w->FindControl("free")->GetParent()->SetVisible(false);
    EXPECT_EQ(pm().GetFocus(), nullptr);
    EXPECT_EQ(platform.HostOf(*w)->OverlayEdit(), nullptr);
    headless::TypeText(pm(), "x");
    EXPECT_EQ(w->FindControl("free")->GetText(), "");
}

TEST_F(InputTest, DisabledEditTakesNoInput) {
    auto* edit = &Ctl<CEditUI>(*w, "free");
    edit->SetEnabled(false);
    ClickControl(pm(), "free");
    headless::TypeText(pm(), "abc");
    EXPECT_EQ(edit->GetText(), "");
    EXPECT_TRUE(w->Events().empty());
}

TEST_F(InputTest, PaletteReportsThePickedColour) {
    auto* palette = &Ctl<CColorPaletteUI>(*w, "palette");
    palette->SetSelectColor(0x00FF0000);
    EXPECT_EQ(palette->GetSelectColor(), 0xFFFF0000);
    EXPECT_TRUE(w->seen.empty());
    Rect field = palette->FieldRect();
    // Top of the field at a third of the width: fully saturated green (hue 120).
    Click(pm(), {field.left + (field.Width() - 1) / 3, field.top});
    ASSERT_EQ(w->Log(), std::vector<std::string>{"colorchanged:palette"});
    Color picked = static_cast<Color>(w->Events()[0].wparam);
    EXPECT_EQ(picked, palette->GetSelectColor());
    EXPECT_EQ(picked & 0xFF00FF00U, 0xFF00FF00U);
    EXPECT_LT((picked >> 16U) & 0xFFU, 8U);
    EXPECT_LT(picked & 0xFFU, 8U);
}

TEST_F(InputTest, ContextMenuOnlyFromControlsThatUseIt) {
    headless::RightClick(pm(), Center("ctx"));
    headless::RightClick(pm(), Center("btn"));
    ASSERT_EQ(w->Log(), std::vector<std::string>{"menu:ctx"});
    EXPECT_EQ(w->Events()[0].wparam, Center("ctx").x);
}

TEST_F(InputTest, HandlerRemovingTheClickedControlIsSafe) {
    // A notify handler that deletes the sender while the button is still in its handler.
    struct Remover final : INotifyUI {
        virtual ~Remover() = default;
        void Notify(TNotifyUI& msg) override {
            if (msg.type == "click") {
                auto* parent = dynamic_cast<CContainerUI*>(msg.sender->GetParent());
                removed = parent != nullptr && parent->Remove(msg.sender);
            }
        }
        bool removed = false;
    } remover;
    pm().AddNotifier(&remover);
    ClickControl(pm(), "btn");
    pm().RemoveNotifier(&remover);
    EXPECT_TRUE(remover.removed);
    EXPECT_EQ(w->FindControl("btn"), nullptr);
    Click(pm(), {10, 10});  // the space is now empty; no stale pointer is used
    EXPECT_EQ(w->Log(), std::vector<std::string>{"click:btn"});
}

TEST_F(InputTest, CreationSendsWindowInitFromTheRootAfterTheTreeIsBuilt) {
    struct FreshWindow : RecordingWindow {
        using RecordingWindow::RecordingWindow;
        void InitWindow() override { builtBeforeInit = FindControl("btn") != nullptr && seen.empty(); }
        bool builtBeforeInit = false;
    } fresh("window.xml");
    ASSERT_TRUE(fresh.Create(nullptr, "again"));
    EXPECT_TRUE(fresh.builtBeforeInit);
    ASSERT_FALSE(fresh.seen.empty());
    EXPECT_EQ(fresh.seen.front().type, "windowinit");
    EXPECT_EQ(fresh.seen.front().sender, "root");
    EXPECT_EQ(fresh.Log(), std::vector<std::string>{"windowinit:root"});
}

TEST_F(InputTest, MaximiseAndRestoreSwapTheTitleBarButtons) {
    auto win = Open(R"(<HorizontalLayout name="root"><Button name="maxbtn" width="30"/>
        <Button name="restorebtn" width="30"/><Button name="minbtn" width="30"/></HorizontalLayout>)");
    ASSERT_TRUE(win);
    EXPECT_TRUE(win->FindControl("maxbtn")->IsVisible());
    EXPECT_FALSE(win->FindControl("restorebtn")->IsVisible());
    win->Maximize();
    EXPECT_EQ(win->GetWindowState(), WindowState::Maximized);
    EXPECT_FALSE(win->FindControl("maxbtn")->IsVisible());
    EXPECT_TRUE(win->FindControl("restorebtn")->IsVisible());
    win->Minimize();  // buttons keep their last look while minimised
    EXPECT_EQ(win->GetWindowState(), WindowState::Minimized);
    EXPECT_TRUE(win->FindControl("restorebtn")->IsVisible());
    win->Restore();
    EXPECT_TRUE(win->FindControl("maxbtn")->IsVisible());
    EXPECT_FALSE(win->FindControl("restorebtn")->IsVisible());
}

TEST_F(InputTest, WindowSizeIsReportedFromTheRoot) {
    w->ResizeClient(500, 450);
    ASSERT_EQ(w->Log(), std::vector<std::string>{"windowsize:root"});
    EXPECT_EQ(w->seen[0].wparam, 500);
    pm().UpdateLayout();
    EXPECT_EQ(PosOf(*w, "root"), (Rect{0, 0, 500, 450}));
}

}  // namespace
}  // namespace norvane::ui::test
