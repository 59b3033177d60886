// The settings window on the headless toolkit with the shipped skin, checking against the
// reference update server.
#include "update/set_wnd.h"
#include "device/catalogue.h"
#include "tests/support/temp_dir.h"
#include "tests/update/reference_server.h"
#include "ui/combo.h"
#include "ui/container.h"
#include "ui/headless/headless_platform.h"
#include "ui/label.h"
#include "ui/messages.h"
#include "ui/notify.h"
#include "ui/option.h"
#include "update/last_check_date.h"
#include "update/settings_messages.h"
#include "update/update_row.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace norvane::update {
namespace {

using test::ReferenceServer;
using test::TempDir;

constexpr int kMouseCableRow = 4;
constexpr int kKeyboardRow = 0;

// The window that opens the settings window: it keeps the messages it hears.
class OwnerWindow : public ui::WindowImplBase {
public:
    std::string GetSkinFile() const override { return {}; }
    std::string_view GetWindowClassName() const override { return "Owner"; }
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t,
                                      bool& handled) override {
        heard.push_back({msg, wparam});
        handled = true;
        return 0;
    }
    int Count(unsigned msg) const {
        return static_cast<int>(std::ranges::count(heard, msg, &std::pair<unsigned, std::intptr_t>::first));
    }
    std::vector<std::pair<unsigned, std::intptr_t>> heard;
};

class SetWndTest : public ::testing::Test {
protected:
    SetWndTest() {
        ui::SetCurrentPlatform(&platform);
        platform.Resources().SetSkinFolder(std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin");
        platform.Resources().LoadLanguage(platform.Resources().ResolveSkinPath("lan_en.xml"));
        std::filesystem::create_directories(dir / "data");
    }
    ~SetWndTest() override {
        window.reset();
        ui::SetCurrentPlatform(nullptr);
    }

    // Mouse firmware, keyboard firmware and the application at the given versions.
    static std::vector<device::FirmwareIdentityEntry> Firmware(std::uint32_t mouse, std::uint32_t keyboard,
                                                               std::uint32_t app) {
        const std::vector<device::OpenDeviceVersion> open = {{kMouseCableRow, mouse},
                                                             {kKeyboardRow, keyboard}};
        return device::BuildFirmwareList(open, app);
    }

    CSetWnd& Open(std::string url, std::vector<device::FirmwareIdentityEntry> firmware) {
        CSetWnd::Options options;
        options.firmware = std::move(firmware);
        options.languageTexts = {"language_english", "language_simplified_chinese"};
        options.serviceUrl = std::move(url);
        options.http.connectTimeout = std::chrono::milliseconds(5000);
        options.dataFolder = dir / "data";
        options.updateFolder = dir / "UpdateData";
        window = std::make_unique<CSetWnd>(std::move(options));
        window->SetOwnerWindow(&owner);
        window->SetLanguageIndex(0);
        EXPECT_TRUE(window->Create(nullptr, "SetWnd"));
        return *window;
    }

    // Handles the window's messages until the check has ended.
    bool WaitForCheck() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (window->StatusState() == UpdateStatusState::kChecking &&
               std::chrono::steady_clock::now() < deadline) {
            platform.WaitForMessages(20);
            platform.Pump();
        }
        return window->StatusState() != UpdateStatusState::kChecking;
    }

    CUpdateInfoListItemUI& Row(int index) {
        CUpdateInfoListItemUI* row = window->Row(index);
        EXPECT_NE(row, nullptr) << index;
        return *row;
    }
    std::string Text(std::string_view name) { return window->FindControl(name)->GetText(); }
    std::string RowText(int index, std::string_view name) {
        ui::CControlUI* control = Row(index).FindSubControl(name);
        return control != nullptr && control->IsVisible() ? control->GetText() : std::string("(hidden)");
    }
    void Click(std::string_view name) {
        window->PaintManager().SendNotify(window->FindControl(name), ui::notify::kClick);
    }
    bool UpdateButtonOn() {
        ui::CControlUI* button = window->FindControl("update_fw_and_ap");
        return button->IsVisible() && button->IsEnabled();
    }

    TempDir dir;
    ui::headless::HeadlessPlatform platform;
    OwnerWindow owner;
    std::unique_ptr<CSetWnd> window;
};

TEST_F(SetWndTest, NewFirmwareIsTickedAndConfirmedRowsWaitForDownload) {
    ReferenceServer server;
    ASSERT_TRUE(server.Running());
    // The server has mouse 0106, keyboard 0102 and application 1002.
    CSetWnd& w = Open(server.ServiceUrl(), Firmware(0x0105, 0x0102, 1001));
    ASSERT_EQ(w.RowCount(), 3);
    // While checking: every row up to date with its default name, the ring turning.
    EXPECT_EQ(Row(2).CheckBox()->GetText(), "AP");
    EXPECT_EQ(RowText(0, "OldRev"), "V0105");
    EXPECT_EQ(RowText(2, "OldRev"), "V1.0.0.1");
    EXPECT_TRUE(w.FindControl("update_status_ring")->IsVisible());
    EXPECT_EQ(Text("Update_Status_text"), "Checking for updates…");

    ASSERT_TRUE(WaitForCheck());
    EXPECT_EQ(w.StatusState(), UpdateStatusState::kUpdatesAvailable);
    EXPECT_EQ(Text("Update_Status_text"), "Updates are available");
    EXPECT_FALSE(w.FindControl("update_status_ring")->IsVisible());
    EXPECT_TRUE(w.FindControl("update_status_image")->IsVisible());
    struct Expected {
        const char* name;
        const char* current;
        const char* available;
        UpdateRowStatus status;
        const char* statusText;
    };
    const Expected expected[] = {
        {"MS", "V0105", "V0106", UpdateRowStatus::kNeedUpdate, "Update available"},
        {"KB", "V0102", "(hidden)", UpdateRowStatus::kUpdated, "Updated"},
        {"ZB640", "V1001", "V1.0.0.2", UpdateRowStatus::kNeedUpdate, "Update available"},
    };
    for (int i = 0; i < 3; ++i) {
        const Expected& e = expected[i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(Row(i).CheckBox()->GetText(), e.name);
        EXPECT_EQ(RowText(i, "OldRev"), e.current);
        EXPECT_EQ(RowText(i, "updateRev"), e.available);
        EXPECT_EQ(Row(i).RowStatus(), e.status);
        EXPECT_EQ(RowText(i, "update_status_text"), e.statusText);
        const bool update = e.status == UpdateRowStatus::kNeedUpdate;
        EXPECT_EQ(Row(i).IsTicked(), update);
        EXPECT_EQ(Row(i).CheckBox()->IsEnabled(), update);
        EXPECT_EQ(w.Infos()[static_cast<std::size_t>(i)].name, e.name);
    }
    // The application row's local file follows its name after the answer.
    EXPECT_EQ(w.Infos()[2].localFile, (dir / "UpdateData" / "ZB640.exe").string());
    EXPECT_EQ(Row(0).GetUserData(), "http://127.0.0.1:8780/packages/TX20M1A_MS_0106.bin");
    EXPECT_TRUE(UpdateButtonOn());
    EXPECT_EQ(owner.Count(kSettingsIdleMessage), 0);

    // Unticking every row hides the update button; ticking one shows it again.
    Row(0).CheckBox()->SetCheck(false);
    Row(2).CheckBox()->SetCheck(false);
    EXPECT_FALSE(UpdateButtonOn());
    Row(0).CheckBox()->SetCheck(true);
    EXPECT_TRUE(UpdateButtonOn());

    Click("update_fw_and_ap");
    auto& tabs = dynamic_cast<ui::CTabLayoutUI&>(*w.FindControl("get_update_tab_layout"));
    EXPECT_EQ(tabs.GetCurSel(), 1);
    Click("update_OK_btn");
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_EQ(Row(0).RowStatus(), UpdateRowStatus::kDownloadWait);
    EXPECT_EQ(RowText(0, "update_status_text"), "Waiting to download");
    EXPECT_FALSE(Row(0).CheckBox()->IsEnabled());
    EXPECT_EQ(Row(2).RowStatus(), UpdateRowStatus::kNeedUpdate);
    EXPECT_FALSE(Row(2).CheckBox()->IsEnabled());
    EXPECT_FALSE(w.FindControl("update_fw_and_ap")->IsEnabled());

    // Waiting rows do not keep the window open: closing gives them up.
    Click("laterbtn");
    EXPECT_TRUE(w.IsClosed());
    EXPECT_TRUE(w.CheckJoined());
    EXPECT_EQ(Row(0).RowStatus(), UpdateRowStatus::kNeedUpdate);
}

TEST_F(SetWndTest, NothingNewShowsTheLastCheckDateAndIdlesTheOwner) {
    ReferenceServer server;
    ASSERT_TRUE(server.Running());
    // A stored date is shown as it is; the refreshed rows store today's.
    ASSERT_TRUE(WriteLastCheckDate(dir / "data" / kLastCheckFile, "2025-3-4"));
    CSetWnd& w = Open(server.ServiceUrl(), Firmware(0x0106, 0x0102, 1002));
    ASSERT_TRUE(WaitForCheck());
    EXPECT_EQ(w.StatusState(), UpdateStatusState::kUpToDate);
    EXPECT_EQ(Text("Update_Status_text"), "Up to date. Last checked: 2025-3-4");
    EXPECT_EQ(owner.Count(kSettingsIdleMessage), 1);
    EXPECT_EQ(ReadLastCheckDate(dir / "data" / kLastCheckFile), TodayText());
    for (int i = 0; i < w.RowCount(); ++i) {
        EXPECT_EQ(Row(i).RowStatus(), UpdateRowStatus::kUpdated) << i;
        EXPECT_FALSE(Row(i).CheckBox()->IsEnabled()) << i;
        EXPECT_EQ(RowText(i, "updateRev"), "(hidden)") << i;
    }
    EXPECT_FALSE(UpdateButtonOn());
}

TEST_F(SetWndTest, FirstOpeningWithoutADateStoresAndShowsToday) {
    // No rows at all: no worker, and the status line goes straight to "no server" (0 of 0).
    CSetWnd& w = Open("http://127.0.0.1:9/api/", {});
    EXPECT_EQ(w.RowCount(), 0);
    EXPECT_EQ(w.StatusState(), UpdateStatusState::kNoServer);
    EXPECT_TRUE(w.CheckJoined());
    EXPECT_EQ(w.LastCheckDate(), TodayText());
    EXPECT_EQ(ReadLastCheckDate(dir / "data" / kLastCheckFile), TodayText());
}

TEST_F(SetWndTest, ChecksWithoutAUsableAnswerAreFailuresAndShowNoServer) {
    const test::LoopbackSocket refusing(/*listen=*/false);
    ASSERT_TRUE(refusing.Valid());
    struct Case {
        const char* what;
        std::vector<std::string> switches;  // empty with refusing: no server at all
    };
    const Case cases[] = {
        {"no server", {}},
        {"server error", {"--error-page", "500"}},
        {"not JSON", {"--not-json"}},
        {"cut at the buffer's end", {"--oversize", "200000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<ReferenceServer> server;
        std::string url = refusing.Url("/api/");
        if (!c.switches.empty()) {
            server = std::make_unique<ReferenceServer>(c.switches);
            ASSERT_TRUE(server->Running());
            url = server->ServiceUrl();
        }
        owner.heard.clear();
        CSetWnd& w = Open(url, Firmware(0x0105, 0x0102, 1001));
        ASSERT_TRUE(WaitForCheck());
        EXPECT_EQ(w.StatusState(), UpdateStatusState::kNoServer);
        EXPECT_EQ(Text("Update_Status_text"),
                  "Cannot reach the update server. Check the network connection.");
        ASSERT_EQ(w.RowCount(), 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Row(i).RowStatus(), UpdateRowStatus::kUpdated) << i;
            EXPECT_EQ(RowText(i, "updateRev"), "(hidden)") << i;
            EXPECT_FALSE(Row(i).IsTicked()) << i;
        }
        EXPECT_EQ(Row(2).CheckBox()->GetText(), "ZB640");
        EXPECT_EQ(RowText(0, "OldRev"), "V0105");
        EXPECT_EQ(owner.Count(kSettingsIdleMessage), 0);
        EXPECT_FALSE(UpdateButtonOn());
    }
}

TEST_F(SetWndTest, ClosingDuringASlowAnswerCancelsTheQueryAndJoinsTheWorker) {
    ReferenceServer server({"--never-answer"});
    ASSERT_TRUE(server.Running());
    // Each way of closing: the close button, "laterbtn", and the system close (a close request).
    for (const std::string_view how : {"closebtn", "laterbtn", "system"}) {
        SCOPED_TRACE(how);
        owner.heard.clear();
        CSetWnd& w = Open(server.ServiceUrl(), Firmware(0x0105, 0x0102, 1001));
        EXPECT_FALSE(w.CheckJoined());
        std::chrono::steady_clock::time_point closing;
        platform.SetModalDriver([&](ui::WindowImplBase& modal) {
            // Let the query reach the server, then close while it waits for the answer.
            platform.WaitForMessages(200);
            platform.Pump();
            closing = std::chrono::steady_clock::now();
            if (how == "system") {
                modal.RequestClose();
            } else {
                Click(how);
            }
        });
        EXPECT_EQ(w.ShowModal(), 0);
        EXPECT_TRUE(w.IsClosed());
        EXPECT_TRUE(w.CheckJoined());
        // Far below the 30 s the query would wait for its answer if it were not cancelled.
        EXPECT_LT(std::chrono::steady_clock::now() - closing, std::chrono::seconds(10));
        // Nothing was reported after the close: no failure, no "no server", no idle message.
        platform.Pump();
        EXPECT_EQ(w.StatusState(), UpdateStatusState::kChecking);
        EXPECT_EQ(Row(0).RowStatus(), UpdateRowStatus::kUpdated);
        EXPECT_TRUE(owner.heard.empty());
    }
}

TEST_F(SetWndTest, LanguageChoiceGoesToTheOwnerAndTheDateFollowsTheNewLanguage) {
    ReferenceServer server;
    ASSERT_TRUE(server.Running());
    CSetWnd& w = Open(server.ServiceUrl(), Firmware(0x0106, 0x0102, 1002));
    auto& combo = dynamic_cast<ui::CComboUI&>(*w.FindControl("Language_combox_info"));
    ASSERT_EQ(combo.GetCount(), 2);
    EXPECT_EQ(combo.GetCurSel(), 0);
    EXPECT_EQ(combo.GetItemAt(1)->GetText(), "简体中文");
    ASSERT_TRUE(WaitForCheck());
    ASSERT_EQ(w.StatusState(), UpdateStatusState::kUpToDate);
    owner.heard.clear();

    combo.ChooseItem(1);
    EXPECT_EQ(w.LanguageIndex(), 1);
    ASSERT_EQ(owner.heard.size(), 1U);
    EXPECT_EQ(owner.heard[0], std::make_pair(kLanguageChangedMessage, std::intptr_t{1}));

    // The owner applies the language and says so: the date line is rebuilt in it.
    ASSERT_TRUE(platform.Resources().LoadLanguage(platform.Resources().ResolveSkinPath("lan_cn.xml")));
    w.SendMessage(kLanguageChangedMessage);
    EXPECT_EQ(Text("Update_Status_text"), platform.Resources().Text("UpdateIsLastText") + w.LastCheckDate());
    EXPECT_NE(Text("Update_Status_text").find("2"), std::string::npos);
    EXPECT_EQ(owner.Count(kSettingsIdleMessage), 1);

    // Without an owner the choice stays in the combo.
    owner.heard.clear();
    w.SetOwnerWindow(nullptr);
    combo.ChooseItem(0);
    EXPECT_TRUE(owner.heard.empty());
    EXPECT_EQ(w.LanguageIndex(), 1);
}

TEST_F(SetWndTest, DpiValuesOutsideTheListFallBackTo96) {
    CSetWnd& w = Open("http://127.0.0.1:9/api/", {});
    struct Case {
        int asked;
        int taken;
    };
    for (const Case c : {Case{144, 144}, Case{100, 96}, Case{192, 192}, Case{0, 96}, Case{72, 72}}) {
        w.SetScale(c.asked);
        EXPECT_EQ(w.Scale(), c.taken) << c.asked;
        EXPECT_EQ(w.PaintManager().GetDPI(), c.taken) << c.asked;
    }
}

TEST_F(SetWndTest, RowStatusesSetTextsMarksAndCheckBoxColours) {
    CSetWnd& w = Open("http://127.0.0.1:9/api/", {});
    CUpdateInfoListItemUI row;
    ASSERT_TRUE(row.Build(w.PaintManager()));
    EXPECT_EQ(row.GetFixedHeight(), CUpdateInfoListItemUI::kRowHeight);
    struct Case {
        UpdateRowStatus status;
        const char* textId;
        bool progress;
        bool done;
        bool enabled;
        ui::Color text;
    };
    const Case cases[] = {
        {UpdateRowStatus::kNoUpdate, "LessUpdateText", false, false, false, 0xFFFFFFFF},
        {UpdateRowStatus::kNeedUpdate, "NeedUpdateText", false, false, true, 0xFF0099FF},
        {UpdateRowStatus::kDownloadWait, "DownloadWaitText", false, false, false, 0xFF0099FF},
        {UpdateRowStatus::kDownloading, "DownloadIngText", true, false, false, 0xFF0099FF},
        {UpdateRowStatus::kDownloaded, "DownloadOkText", false, true, false, 0xFF0099FF},
        {UpdateRowStatus::kUpdating, "UpdateIngText", true, false, false, 0xFF0099FF},
        {UpdateRowStatus::kUpdated, "UpdateOkText", false, false, false, 0xFFFFFFFF},
        {UpdateRowStatus::kUpdateFailed, "UpdateFailText", false, false, true, 0xFF0099FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.textId);
        row.SetRowStatus(c.status);
        EXPECT_EQ(row.FindSubControl("update_status_text")->GetTextId(), c.textId);
        EXPECT_EQ(row.FindSubControl("update_status_ing")->IsOwnVisible(), c.progress);
        EXPECT_EQ(row.FindSubControl("update_progress_value")->IsOwnVisible(), c.progress);
        EXPECT_EQ(row.FindSubControl("update_status_ok")->IsOwnVisible(), c.done);
        EXPECT_EQ(row.CheckBox()->IsOwnEnabled(), c.enabled);
        EXPECT_EQ(row.CheckBox()->GetTextColor(), c.text);
        if (c.progress) {
            EXPECT_EQ(row.FindSubControl("update_progress_value")->GetText(), "0%");
        }
    }
    // Setting the status it has does nothing: a changed mark stays.
    row.SetPercent(40);
    row.SetRowStatus(UpdateRowStatus::kUpdateFailed);
    row.CheckBox()->SetEnabled(false);
    row.SetRowStatus(UpdateRowStatus::kUpdateFailed);
    EXPECT_FALSE(row.CheckBox()->IsOwnEnabled());
}

}  // namespace
}  // namespace norvane::update
