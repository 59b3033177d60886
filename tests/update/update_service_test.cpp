#include "update/update_service.h"

#include "device/catalogue.h"
#include "tests/update/reference_server.h"
#include "tests/update/test_helpers.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <sstream>

namespace norvane::update {
namespace {

using namespace std::chrono_literals;
using test::ReferenceServer;

// Answers keyed by app_key, as the reference server reads them.
constexpr std::string_view kCatalogue = R"({
  "VELTO_1_TX20M1A_MS_1": {"version": "0106"},
  "fw_0106": {"version": "0106", "name": "MS", "version_name": "MS 1.06", "path": "http://x/ms.bin", "device_id": 7},
  "fw_0105": {"version": "0105"},
  "fw_1a": {"version": "1a"},
  "fw_ffffffff": {"version": "ffffffff"},
  "fw_no_version": {"name": "MS"},
  "fw_number_version": {"version": 262, "device_id": "3", "name": 5},
  "fw_0200": {"version": "0200", "version_name": "2.00"},
  "app_1002": {"version": "1002", "version_name": "V1.0.0.2", "name": "ZB640"},
  "app_1001": {"version": "1001", "version_name": "V1.0.0.1"},
  "app_1000abc": {"version": "1000abc", "version_name": "odd"},
  "not_an_object": [1, 2, 3],
  "utf8": {"version": "0106", "name": "Maus \u00fc\u4e2d"}
})";

class UpdateServiceTest : public ::testing::Test {
protected:
    void SetUp() override { test::WriteText(dir_ / "catalogue.json", kCatalogue); }

    [[nodiscard]] std::vector<std::string> Switches(const std::vector<std::string>& extra = {}) const {
        std::vector<std::string> all = {"--catalogue", (dir_ / "catalogue.json").string(), "--request-log",
                                        (dir_ / "requests.log").string()};
        all.insert(all.end(), extra.begin(), extra.end());
        return all;
    }

    [[nodiscard]] std::vector<Json::Value> Requests() const {
        std::vector<Json::Value> requests;
        std::istringstream lines(test::ReadText(dir_ / "requests.log"));
        for (std::string line; std::getline(lines, line);) {
            requests.push_back(test::ParseJson(line));
        }
        return requests;
    }

    test::NoProxyEnvironment noProxy_;
    test::TempDir dir_;
};

TEST_F(UpdateServiceTest, ComparesHexadecimalFirmwareAndDecimalApplicationVersions) {
    ReferenceServer server(Switches());
    ASSERT_TRUE(server.Running());
    UpdateService service(server.ServiceUrl());
    struct Case {
        std::string_view key;
        std::uint32_t current;
        bool hexadecimal;
        std::int32_t status;
        std::string_view currentText;
        std::string_view newText;
    };
    constexpr std::array kCases = {
        Case{"fw_0106", 0x0105, true, kStatusUpdateAvailable, "V0105", "V0106"},
        Case{"fw_0105", 0x0105, true, kStatusUpToDate, "V0105", "V0105"},
        Case{"fw_0106", 0x0107, true, kStatusUpToDate, "V0107", "V0106"},
        Case{"fw_1a", 0x19, true, kStatusUpdateAvailable, "V0019", "V1a"},
        Case{"fw_1a", 0x1a, true, kStatusUpToDate, "V001a", "V1a"},
        Case{"fw_1a", 0x12345, true, kStatusUpToDate, "V12345", "V1a"},
        Case{"fw_ffffffff", 0x0105, true, kStatusUpToDate, "V0105", "Vffffffff"},  // -1 as a signed number
        Case{"fw_no_version", 0x0105, true, kStatusUpToDate, "V0105", "V"},
        Case{"fw_no_version", 0, true, kStatusUpToDate, "V0000", "V"},
        Case{"fw_number_version", 0x0105, true, kStatusUpToDate, "V0105", "V"},
        Case{"app_1002", 1001, false, kStatusUpdateAvailable, "V1001", "V1.0.0.2"},
        Case{"app_1001", 1001, false, kStatusUpToDate, "V1001", "V1.0.0.1"},
        Case{"app_1000abc", 999, false, kStatusUpdateAvailable, "V999", "odd"},
        Case{"app_1000abc", 1000, false, kStatusUpToDate, "V1000", "odd"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.key) + " at " + std::to_string(c.current));
        const UpdateInfo info = service.UpdateQuery(c.key, c.current, c.hexadecimal);
        EXPECT_EQ(info.check, UpdateCheckResult::Answered);
        EXPECT_EQ(info.status, c.status);
        EXPECT_EQ(info.currentVersionText, c.currentText);
        EXPECT_EQ(info.newVersionText, c.newText);
    }
}

TEST_F(UpdateServiceTest, ReadsEveryMemberAndTreatsWrongTypesAsMissing) {
    ReferenceServer server(Switches());
    ASSERT_TRUE(server.Running());
    UpdateService service(server.ServiceUrl());

    const UpdateInfo full = service.UpdateQuery("fw_0106", 0x0105, true);
    EXPECT_EQ(full.deviceId, 7);
    EXPECT_EQ(full.name, "MS");
    EXPECT_EQ(full.versionName, "MS 1.06");
    EXPECT_EQ(full.downloadPath, "http://x/ms.bin");
    EXPECT_TRUE(full.localFile.empty());

    const UpdateInfo wrongTypes = service.UpdateQuery("fw_number_version", 0x0105, true);
    EXPECT_EQ(wrongTypes.check, UpdateCheckResult::Answered);
    EXPECT_EQ(wrongTypes.deviceId, 0);
    EXPECT_EQ(wrongTypes.name, "");

    EXPECT_EQ(service.UpdateQuery("utf8", 0x0105, true).name, "Maus \xC3\xBC\xE4\xB8\xAD");
}

TEST_F(UpdateServiceTest, SendsTheFormWithItsZeroByteAndTheAgreedHeaders) {
    ReferenceServer server(Switches());
    ASSERT_TRUE(server.Running());
    UpdateService service(server.ServiceUrl());
    const device::FirmwareIdentityEntry& mouse = device::FirmwareIdentities()[0];
    device::FirmwareIdentityEntry row = mouse;
    row.currentVersion = 0x0105;
    ASSERT_EQ(service.UpdateQuery(MakeAppKey(row), row.currentVersion, true).check,
              UpdateCheckResult::Answered);
    ASSERT_EQ(service.UpdateQuery("app_1001", 1001, false).check, UpdateCheckResult::Answered);

    const std::vector<Json::Value> requests = Requests();
    ASSERT_EQ(requests.size(), 2U);
    const std::array<std::string_view, 2> forms = {"app_key=VELTO_1_TX20M1A_MS_1&version=105",
                                                   "app_key=app_1001&version=1001"};
    for (std::size_t i = 0; i < forms.size(); ++i) {
        SCOPED_TRACE(forms[i]);
        const Json::Value& request = requests[i];
        EXPECT_EQ(request["method"].asString(), "POST");
        EXPECT_EQ(request["target"].asString(),
                  server.ServiceUrl().substr(server.Origin().size()) + "updates");
        EXPECT_EQ(request["body_hex"].asString(), test::HexOf(forms[i]) + "00");
        bool lengthSeen = false;
        for (const Json::Value& header : request["headers"]) {
            if (header.asString().starts_with("Content-Length:")) {
                EXPECT_EQ(header.asString(), "Content-Length: " + std::to_string(forms[i].size() + 1));
                lengthSeen = true;
            }
        }
        EXPECT_TRUE(lengthSeen);
    }
}

TEST_F(UpdateServiceTest, BrokenAnswersAreFailedChecksNotUpToDate) {
    struct Case {
        const char* name;
        std::vector<std::string> switches;
        std::string_view key;
    };
    const std::array kCases = {
        Case{"not JSON", {"--not-json"}, "fw_0200"},
        Case{"error page", {"--error-page", "503"}, "fw_0200"},
        Case{"JSON that is not an object", {}, "not_an_object"},
        // Blanks pad the answer past the buffer; its first 102400 bytes would parse and
        // offer version 0200, so only a client that notices the cut refuses it.
        Case{"longer than the buffer", {"--oversize", "200000"}, "fw_0200"},
        Case{"never answers", {"--never-answer"}, "fw_0200"},
        // JSON that comes with an error status is no answer.
        Case{"error object of an unknown key (404)", {}, "unknown_key"},
        Case{"answer object with status 503", {"--status", "503"}, "fw_0200"},
        Case{"answer object with status 301", {"--status", "301"}, "fw_0200"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ReferenceServer server(Switches(c.switches));
        ASSERT_TRUE(server.Running());
        HttpSettings settings;
        settings.receiveTimeout = 300ms;
        UpdateService service(server.ServiceUrl(), settings);
        const UpdateInfo info = service.UpdateQuery(c.key, 0x0105, true);
        EXPECT_EQ(info.check, UpdateCheckResult::Failed);
        EXPECT_EQ(info.status, 0);
        EXPECT_EQ(info.name, "");
        EXPECT_EQ(info.newVersionText, "");
    }
    // Padding that still fits the buffer, or another success status, is a normal answer.
    for (const std::vector<std::string>& switches :
         {std::vector<std::string>{"--oversize", "100000"}, {"--status", "203"}}) {
        SCOPED_TRACE(switches.front());
        ReferenceServer server(Switches(switches));
        ASSERT_TRUE(server.Running());
        UpdateService service(server.ServiceUrl());
        const UpdateInfo info = service.UpdateQuery("fw_0200", 0x0105, true);
        EXPECT_EQ(info.check, UpdateCheckResult::Answered);
        EXPECT_EQ(info.status, kStatusUpdateAvailable);
    }
}

TEST_F(UpdateServiceTest, NoServerGivesNoLinkServerAsNameAndNothingElse) {
    const test::LoopbackSocket closed(/*listen=*/false);
    ASSERT_TRUE(closed.Valid());
    UpdateService service(closed.Url("/api/"));
    const UpdateInfo info = service.UpdateQuery("fw_0106", 0x0105, true);
    EXPECT_EQ(info.check, UpdateCheckResult::NoServer);
    EXPECT_EQ(info.name, "NO_LINK_SERVER");
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.deviceId, 0);
    EXPECT_TRUE(info.currentVersionText.empty() && info.newVersionText.empty() && info.downloadPath.empty());
    EXPECT_EQ(service.LastHttpError(), kHttpErrorCouldNotConnect);
}

TEST(UpdateServiceFormTest, ComposesTheBodyWithItsTrailingZeroByte) {
    struct Case {
        std::string_view key;
        std::uint32_t version;
        bool hexadecimal;
        std::string_view text;
    };
    constexpr std::array kCases = {
        Case{"VELTO_1_TX20M1A_MS_1", 0x0105, true, "app_key=VELTO_1_TX20M1A_MS_1&version=105"},
        Case{"K", 0xABCDEF, true, "app_key=K&version=abcdef"},
        Case{"K", 0, true, "app_key=K&version=0"},
        Case{"VELTO_0_ALL_ZB640_1", 1001, false, "app_key=VELTO_0_ALL_ZB640_1&version=1001"},
    };
    for (const Case& c : kCases) {
        const std::string body = ComposeUpdateQueryBody(c.key, c.version, c.hexadecimal);
        EXPECT_EQ(body, std::string(c.text) + '\0');
        EXPECT_EQ(body.size(), c.text.size() + 1);
    }
}

TEST(UpdateServiceFormTest, AppKeysOfTheFirmwareRows) {
    constexpr std::array<std::string_view, 4> kKeys = {"VELTO_1_TX20M1A_MS_1", "VELTO_1_TX20K1A_KB_1",
                                                       "VELTO_2_TX20K3A_ZB640_1", "VELTO_0_ALL_ZB640_1"};
    const auto rows = device::FirmwareIdentities();
    ASSERT_EQ(rows.size(), kKeys.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        device::FirmwareIdentityEntry row = rows[i];
        EXPECT_EQ(MakeAppKey(row), "NULL");  // current version 0
        EXPECT_EQ(AppKeyOfColumns(row), kKeys[i]);
        row.currentVersion = 0x0102;
        EXPECT_EQ(MakeAppKey(row), kKeys[i]);
    }
}

TEST(UpdateServiceFormTest, VersionDigitsAndInstalledVersion) {
    struct Digits {
        std::string_view text;
        bool hexadecimal;
        std::uint32_t value;
    };
    constexpr std::array kDigits = {
        Digits{"0106", true, 0x106}, Digits{"1a", true, 26},
        Digits{"1A", true, 26},      Digits{"1g", true, 1},
        Digits{"", true, 0},         Digits{"x1", true, 0},
        Digits{"0x1a", true, 0},     Digits{"123456789", true, 0xFFFFFFFF},
        Digits{"1002", false, 1002}, Digits{"1000abc", false, 1000},
        Digits{"1a", false, 1},      Digits{"99999999999", false, 0xFFFFFFFF},
    };
    for (const Digits& d : kDigits) {
        EXPECT_EQ(ParseVersionDigits(d.text, d.hexadecimal), d.value) << d.text;
    }

    struct Installed {
        std::string_view text;
        std::uint32_t value;
    };
    constexpr std::array kInstalled = {
        Installed{"1.0.0.1", 1001},
        Installed{"2.3.10", 2310},
        Installed{"10", 10},
        Installed{"V1.0.0.1", 0},
        Installed{"", 0},
        Installed{"1.2-beta", 12},
        Installed{"9.9.9.9.9.9.9.9.9.9.9", 0},
    };
    for (const Installed& i : kInstalled) {
        EXPECT_EQ(VersionNumberOfText(i.text), i.value) << i.text;
    }

    const test::TempDir dir;
    const platform::Registry registry(dir / "settings.ini");
    EXPECT_EQ(InstalledVersion(registry), 1001U);  // the compiled-in 1.0.0.1
    ASSERT_TRUE(registry.WriteString(platform::kDisplayVersionValue, "2.3.10"));
    EXPECT_EQ(InstalledVersion(registry), 2310U);
}

}  // namespace
}  // namespace norvane::update
