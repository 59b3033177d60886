// Captions on the keyboard picture of the shipped skin, measured as the Qt renderer draws them:
// every function name a key can show, in English and Chinese, on the smallest key.
#include <QImage>
#include <QPainter>

#include "config/key_code_tables.h"
#include "pages/device_key_button.h"
#include "tests/ui/qt_fixture.h"
#include "ui/container.h"
#include "ui/paint_manager.h"
#include "ui/qt/qt_renderer.h"
#include "ui/resource_manager.h"

namespace norvane::ui::qt::test {
namespace {

const std::filesystem::path kSkin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin";

// The keyboard page with plain layouts for the classes the test does not need.
class KeyboardPageWindow : public QtWindow {
public:
    KeyboardPageWindow() : QtWindow("XML/DeviceXml/keyboarddevice.xml") {}
    std::unique_ptr<CControlUI> CreateControl(std::string_view tag) override {
        if (tag == "TarnexKeyboardDevice") {
            return std::make_unique<CVerticalLayoutUI>();
        }
        return nullptr;
    }
};

class QtKeyCaptionTest : public QtTest {};

TEST_F(QtKeyCaptionTest, EveryFunctionNameFitsTheSmallestKeyInBothLanguages) {
    platform_.Resources().SetSkinFolder(kSkin);
    KeyboardPageWindow window;
    ASSERT_TRUE(window.Create(nullptr, "keys"));
    window.PaintManager().UpdateLayout();
    pages::CDeviceKeyButtonUI* key = nullptr;
    window.FindControl("keyboard_device_key_light_0")->ForEach([&key](CControlUI& c) {
        auto* button = dynamic_cast<pages::CDeviceKeyButtonUI*>(&c);
        if (button != nullptr && c.GetName().starts_with("key_") && !c.GetPos().IsEmpty() &&
            (key == nullptr || c.GetPos().Width() < key->GetPos().Width())) {
            key = button;
        }
    });
    ASSERT_NE(key, nullptr);
    ASSERT_LE(key->GetPos().Width(), 34);
    const Rect box = key->CaptionBox();

    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QtRenderer renderer(painter, platform_.Resources());
    FontSpec font = window.PaintManager().ScaledFont(key->GetFont());
    for (const char* lang : {"lan_en.xml", "lan_cn.xml"}) {
        ASSERT_TRUE(platform_.Resources().LoadLanguage(kSkin / lang));
        for (std::string_view id : config::kFunctionNameTable) {
            key->SetTextId(std::string(id));
            const pages::KeyCaptionLayout caption = key->CaptionLayout(renderer);
            const std::string trace =
                std::string(lang) + " " + std::string(id) + " \"" + key->GetText() + "\"";
            EXPECT_FALSE(caption.elided) << trace;
            ASSERT_FALSE(caption.lines.empty()) << trace;
            EXPECT_LE(static_cast<int>(caption.lines.size()) * caption.lineHeight, box.Height()) << trace;
            font.size = caption.fontSize;
            for (const std::string& line : caption.lines) {
                EXPECT_LE(renderer.MeasureText(line, font).cx, box.Width()) << trace << ": " << line;
            }
        }
    }
}

}  // namespace
}  // namespace norvane::ui::qt::test
