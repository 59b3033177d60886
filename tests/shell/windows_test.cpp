// The message, about and skin windows on the headless toolkit with the real skin.
#include "main_wnd_fixture.h"

#include "platform/atomic_file.h"
#include "platform/diag.h"
#include "shell/windows/about_wnd.h"
#include "shell/windows/cloud_share_list_item.h"
#include "shell/windows/msg_wnd.h"
#include "shell/windows/skin_choice.h"
#include "shell/windows/skin_frame.h"
#include "ui/container.h"
#include "ui/control_factory.h"
#include "ui/headless/headless_input.h"
#include "ui/headless/recording_renderer.h"
#include "ui/list.h"

#include <algorithm>

namespace norvane::test {
namespace {

using shell::CMsgWnd;
using shell::ShowMessageBox;

bool Visible(const ui::WindowImplBase& window, std::string_view name) {
    const ui::CControlUI* control = window.FindControl(name);
    return control != nullptr && control->IsVisible();
}

class WindowsTest : public MainWndTest {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }

    std::string SkinSettings() const {
        return platform::ReadFileLimited(dir / "data" / "main.ini").value_or("<none>");
    }
    ui::CControlUI& Root() { return *Window().FindControl("root"); }
};

// --- message window ---

struct MessageCase {
    const char* what;
    int mode;
    const char* press;  // a control clicked, or "" for a system close
    bool cancelShown;
    int result;
};

TEST_F(WindowsTest, MessageWindowButtonsAndResults) {
    const MessageCase cases[] = {
        {"confirm only", 0, "confirm_btn", false, 1},
        {"question confirmed", 1, "confirm_btn", true, 1},
        {"question cancelled", 1, "cancel_btn", true, 0},
        {"closed by its close button", 1, "closebtn", true, 0},
        {"closed by the system", 0, "", false, 0},
        {"other mode keeps the layout's buttons", 7, "confirm_btn", true, 1},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.what);
        bool confirmShown = false;
        bool cancelShown = !c.cancelShown;
        bool clicked = false;
        platform.SetModalDriver([&](ui::WindowImplBase& modal) {
            EXPECT_EQ(modal.GetWindowClassName(), "MsgWnd");
            modal.PaintManager().NeedUpdate();
            confirmShown = Visible(modal, "confirm_btn");
            cancelShown = Visible(modal, "cancel_btn");
            if (*c.press == '\0') {
                modal.RequestClose();
                clicked = true;
            } else {
                clicked = ui::headless::ClickControl(modal.PaintManager(), c.press);
            }
        });
        EXPECT_EQ(ShowMessageBox(&Window(), {}, "message_text_6", 96, true, c.mode), c.result);
        EXPECT_TRUE(clicked);
        EXPECT_TRUE(confirmShown);
        EXPECT_EQ(cancelShown, c.cancelShown);
    }
    // Only the message window closed.
    EXPECT_FALSE(Window().IsClosed());
    EXPECT_FALSE(platform.QuitRequested());
}

TEST_F(WindowsTest, MessageWindowTitleAndText) {
    ui::CResourceManager& texts = platform.Resources();
    std::string title;
    std::string text;
    platform.SetModalDriver([&](ui::WindowImplBase& modal) {
        title = modal.FindControl("MessageTitle")->GetText();
        text = modal.FindControl("MessageText")->GetText();
        modal.Close(1);
    });
    // An empty title keeps the layout's; a text id is resolved in the current language.
    ShowMessageBox(&Window(), {}, "message_text_6", 96, true, 0);
    EXPECT_EQ(title, texts.Text("msg_title_text"));
    EXPECT_FALSE(title.empty());
    EXPECT_EQ(text, texts.Text("message_text_6"));
    EXPECT_NE(text, "message_text_6");
    // A title replaces it; a ready text is shown as it is.
    ShowMessageBox(nullptr, "Firmware", "message_text_6 as typed", 96, false, 0);
    EXPECT_EQ(title, "Firmware");
    EXPECT_EQ(text, "message_text_6 as typed");
}

TEST_F(WindowsTest, MessageWindowScale) {
    int scale = 0;
    int windowDpi = 0;
    platform.SetModalDriver([&](ui::WindowImplBase& modal) {
        scale = dynamic_cast<CMsgWnd&>(modal).Scale();
        windowDpi = modal.PaintManager().GetDPI();
        modal.Close(1);
    });
    {
        const platform::diag::ScopedCapture trace;
        ShowMessageBox(nullptr, {}, "x", 100, false, 0);
        EXPECT_EQ(scale, 96);
        EXPECT_EQ(windowDpi, 96);
        const auto lines = trace.Lines();
        EXPECT_NE(std::find(lines.begin(), lines.end(), "MSG_WND DPI SET ERROR"), lines.end());
    }
    for (int accepted : {48, 144, 192}) {
        ShowMessageBox(nullptr, {}, "x", accepted, false, 0);
        EXPECT_EQ(scale, accepted);
        EXPECT_EQ(windowDpi, accepted);
        EXPECT_EQ(ui::WindowImplBase::GetAllDPI(), accepted);  // every window takes it
    }
    ui::WindowImplBase::SetAllDPI(96);
}

TEST_F(WindowsTest, MainWindowMessagesAskOverTheWindowAtItsScale) {
    const ui::WindowImplBase* owner = nullptr;
    int dpi = 0;
    int answer = 1;
    platform.SetModalDriver([&](ui::WindowImplBase& modal) {
        owner = modal.Owner();
        dpi = modal.PaintManager().GetDPI();
        modal.PaintManager().SendNotify(modal.FindControl(answer == 1 ? "confirm_btn" : "cancel_btn"),
                                        ui::notify::kClick);
    });
    EXPECT_EQ(Window().ShowMessage("message_text_6", true, shell::MessageButtons::kConfirmCancel), 1);
    EXPECT_EQ(owner, &Window());
    EXPECT_EQ(dpi, Window().PaintManager().GetDPI());
    EXPECT_EQ(Window().LastMessage(), platform.Resources().Text("message_text_6"));
    answer = 0;
    EXPECT_EQ(Window().ShowMessage("Delete it?", false, shell::MessageButtons::kConfirmCancel), 0);
    EXPECT_EQ(Window().LastMessage(), "Delete it?");
}

// --- about window ---

TEST_F(WindowsTest, AboutWindowVersionButtonsAndSystemClose) {
    int opened = 0;
    std::string label;
    std::string relabelled;
    std::vector<std::pair<bool, bool>> maxRestore;  // shown states after each button
    int result = -2;
    otherModal = [&](ui::WindowImplBase& modal) {
        ++opened;
        ASSERT_EQ(modal.GetWindowClassName(), "AboutWnd");
        EXPECT_EQ(Window().AboutWindow(), &modal);
        EXPECT_EQ(modal.PaintManager().GetClientSize(), (ui::Size{800, 572}));
        label = modal.FindControl("software_ver_label")->GetText();
        // A language change while it is open reaches its label.
        const int other = Window().LanguageIndex() == 0 ? 1 : 0;
        ASSERT_GT(Window().Languages().size(), 1U);
        Window().ApplyLanguage(other);
        relabelled = modal.FindControl("software_ver_label")->GetText();
        EXPECT_EQ(relabelled, platform.Resources().Text("software_rev_text") +
                                  std::string(shell::ApplicationVersionText()));
        // A second request while it is open does nothing.
        Window().HandleMenuCommand("about_menu");
        for (const char* button : {"maxbtn", "restorebtn"}) {
            modal.PaintManager().SendNotify(modal.FindControl(button), ui::notify::kClick);
            maxRestore.emplace_back(Visible(modal, "maxbtn"), Visible(modal, "restorebtn"));
        }
        modal.RequestClose();  // the system close
        result = modal.IsClosed() ? 0 : -1;
    };
    const std::string firstText = platform.Resources().Text("software_rev_text");
    Window().HandleMenuCommand("about_menu");
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(label, firstText + std::string(shell::ApplicationVersionText()));
    EXPECT_NE(relabelled, label);
    EXPECT_FALSE(shell::ApplicationVersionText().empty());
    ASSERT_EQ(maxRestore.size(), 2U);
    EXPECT_EQ(maxRestore[0], std::make_pair(false, true));  // maximised
    EXPECT_EQ(maxRestore[1], std::make_pair(true, false));  // restored
    EXPECT_EQ(result, 0);
    // Only the about window closed: the program goes on and may open it again.
    EXPECT_EQ(Window().AboutWindow(), nullptr);
    EXPECT_FALSE(platform.QuitRequested());
    EXPECT_FALSE(Window().IsClosed());
    Window().HandleMenuCommand("about_menu");
    EXPECT_EQ(opened, 2);
}

// --- skin frame ---

TEST_F(WindowsTest, SkinFrameOpensUnderTheSkinButtonAndClosesWhenItLosesTheFocus) {
    Window().PaintManager().NeedUpdate();
    NotifyFrom("skinbtn", ui::notify::kClick);
    shell::CSkinFrame* frame = Window().SkinFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->IsWindowVisible());
    const ui::Rect button = Window().FindControl("skinbtn")->GetPos();
    const ui::Point corner = Window().ClientToScreen({button.right, button.bottom});
    const ui::Rect placed = frame->Host()->ScreenRect();
    EXPECT_EQ(placed.right, corner.x);
    EXPECT_EQ(placed.top, corner.y);
    EXPECT_GT(placed.Width(), 0);

    frame->SendMessage(ui::kWmActivate, 1);
    platform.Pump();
    EXPECT_EQ(Window().SkinFrame(), frame);
    frame->SendMessage(ui::kWmActivate, 0);
    platform.Pump();
    EXPECT_EQ(Window().SkinFrame(), nullptr);
    EXPECT_FALSE(Window().IsClosed());
}

TEST_F(WindowsTest, SkinFrameChoicesReachTheMainWindowAndMainIni) {
    NotifyFrom("skinbtn", ui::notify::kClick);
    shell::CSkinFrame* frame = Window().SkinFrame();
    ASSERT_NE(frame, nullptr);
    auto& pm = frame->PaintManager();
    auto buttonsNamed = [&](std::string_view name) {
        std::vector<ui::CControlUI*> found;
        pm.GetRoot()->ForEach([&](ui::CControlUI& c) {
            if (c.GetName() == name) {
                found.push_back(&c);
            }
        });
        return found;
    };
    const auto images = buttonsNamed("skin_image_btn");
    const auto colours = buttonsNamed("skin_color_btn");
    ASSERT_GE(images.size(), 2U);
    ASSERT_GE(colours.size(), 2U);

    // A picture: the window's background and "main.ini".
    pm.SendNotify(images[1], ui::notify::kClick);
    EXPECT_EQ(Root().GetBkImage(), images[1]->GetBkImage());
    EXPECT_EQ(Root().GetBkColor(), 0U);
    EXPECT_EQ(SkinSettings(), "[SKINIMAGE]\nFLAGS=1\nIMAGE=" + images[1]->GetBkImage() + "\n");

    // A colour: the window only.
    pm.SendNotify(colours[1], ui::notify::kClick);
    EXPECT_EQ(Root().GetBkColor(), colours[1]->GetBkColor());
    EXPECT_NE(Root().GetBkColor(), 0U);
    EXPECT_TRUE(Root().GetBkImage().empty());
    EXPECT_EQ(SkinSettings(), "[SKINIMAGE]\nFLAGS=1\nIMAGE=" + images[1]->GetBkImage() + "\n");

    // The tabs.
    auto* tab = dynamic_cast<ui::CTabLayoutUI*>(frame->FindControl("skin_tab"));
    ASSERT_NE(tab, nullptr);
    pm.SendNotify(frame->FindControl("skin_color"), ui::notify::kClick);
    EXPECT_EQ(tab->GetCurSel(), 1);
    pm.SendNotify(frame->FindControl("skin_image"), ui::notify::kClick);
    EXPECT_EQ(tab->GetCurSel(), 0);

    // Reset: the default picture, recorded with FLAGS 0.
    pm.SendNotify(frame->FindControl("skin_reset"), ui::notify::kClick);
    EXPECT_EQ(Root().GetBkImage(), "common/background.png");
    EXPECT_EQ(SkinSettings(), "[SKINIMAGE]\nFLAGS=0\nIMAGE=common/background.png\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "skin" / "common" / "background.png"));

    // A cancelled custom picture changes nothing; a chosen one becomes the background.
    platform.SetFileDialogAnswer({});
    pm.SendNotify(frame->FindControl("skin_Custom"), ui::notify::kClick);
    EXPECT_EQ(platform.LastFileDialog().filter, "(*.png) | *.png |(*.*)|*.*||");
    EXPECT_FALSE(platform.LastFileDialog().save);
    EXPECT_EQ(Root().GetBkImage(), "common/background.png");
    EXPECT_EQ(SkinSettings(), "[SKINIMAGE]\nFLAGS=0\nIMAGE=common/background.png\n");
    const std::filesystem::path own = dir / "own.png";
    platform.SetFileDialogAnswer(own);
    pm.SendNotify(frame->FindControl("skin_Custom"), ui::notify::kClick);
    EXPECT_EQ(Root().GetBkImage(), own.string());
}

TEST_F(WindowsTest, SkinChoiceRefusesNamesThatBreakTheFile) {
    EXPECT_FALSE(shell::WriteSkinChoice(dir / "data", true, "a\nFLAGS=0"));
    EXPECT_FALSE(std::filesystem::exists(dir / "data" / "main.ini"));
    EXPECT_FALSE(shell::WriteSkinChoice(dir / "missing" / "folder", true, "a.png"));
    EXPECT_TRUE(shell::WriteSkinChoice(dir / "data", true, "a.png"));
}

TEST_F(WindowsTest, SecondSkinButtonClickClosesTheFrame) {
    NotifyFrom("skinbtn", ui::notify::kClick);
    ASSERT_NE(Window().SkinFrame(), nullptr);
    NotifyFrom("skinbtn", ui::notify::kClick);
    platform.Pump();
    EXPECT_EQ(Window().SkinFrame(), nullptr);
    NotifyFrom("skinbtn", ui::notify::kClick);
    EXPECT_NE(Window().SkinFrame(), nullptr);
    // Exit closes it with the other child windows.
    Window().CloseChildWindows();
    platform.Pump();
    EXPECT_EQ(Window().SkinFrame(), nullptr);
}

// --- list row ---

TEST_F(WindowsTest, CloudShareRowIsMadeByTheFactoryAndFramedWhileHovered) {
    auto made = ui::CControlFactory::Instance().Create("CloudShareListItemUI");
    ASSERT_NE(dynamic_cast<shell::CCloudShareListItemUI*>(made.get()), nullptr);

    auto list = std::make_unique<ui::CListUI>();
    list->ListInfo().hotBkColor = 0xFF30353F;
    auto* row = static_cast<shell::CCloudShareListItemUI*>(list->Add(std::move(made)));
    row->SetFixedHeight(30);
    ui::CVerticalLayoutUI* host = dynamic_cast<ui::CVerticalLayoutUI*>(Window().FindControl("main_reserved"));
    ASSERT_NE(host, nullptr);
    host->SetVisible(true);
    auto* placed = static_cast<ui::CListUI*>(host->Add(std::move(list)));
    placed->SetPos({0, 0, 200, 30});
    row->SetPos({0, 0, 200, 30});

    auto framed = [&] {
        ui::headless::RecordingRenderer r;
        row->PaintBorder(r);
        const auto rects = r.CallsOf(ui::headless::RecordingRenderer::Op::DrawRect);
        return std::any_of(rects.begin(), rects.end(), [](const auto& c) { return c.color == 0xFF30353FU; });
    };
    EXPECT_FALSE(framed());
    ui::TEventUI enter = ui::MakeEvent(ui::EventType::MouseEnter, {10, 10});
    row->DoEvent(enter);
    EXPECT_TRUE(row->IsHot());
    EXPECT_TRUE(framed());
}

}  // namespace
}  // namespace norvane::test
