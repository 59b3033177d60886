// Real Qt input (through the window system layer, as a user's) into host widgets on the
// offscreen platform: modal runs, the combo drop-down, tool-tips, cursors and the edit entry.
#include <QLineEdit>
#include <QTimer>
#include <QToolTip>
#include <QValidator>

#include "tests/ui/qt_fixture.h"
#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/messages.h"

namespace norvane::ui::qt::test {
namespace {

constexpr const char* kForm =
    R"(<Window size="320,240"><VerticalLayout name="root" bkcolor="#FF1B1E24" inset="8,8,8,8" childpadding="8">
  <Button name="btn" text="Go" height="28" tooltip="Start now"/>
  <Edit name="edit" height="28" numberonly="true" maxchar="4"/>
  <Edit name="name" height="28" textcolor="#FFE6E8EB"/>
  <Combo name="combo" height="28"><ListLabelElement text="a"/><ListLabelElement text="b"/><ListLabelElement text="c"/></Combo>
  <HandImgSelectButton name="hand" height="28" cursor="hand"/>
  <Control name="space"/>
</VerticalLayout></Window>)";

class QtInputTest : public QtTest {
protected:
    QtInputTest() { Layout("form.xml", kForm); }

    // Opens the combo's drop-down with a real click; the pop-up, or nullptr.
    static QWidget* OpenDropDown(QtWindow& w, QWidget* host) {
        Click(host, CenterOf(w, "combo"));
        QApplication::processEvents();
        return QApplication::activePopupWidget();
    }
    // A real click on a drop-down row (rows are 30 px below a 1 px border).
    static void ClickRow(QWidget* popup, int row) { Click(popup, QPoint(20, 1 + 30 * row + 15)); }
};

TEST_F(QtInputTest, ModalRunBlocksInputToItsOwner) {
    QtWindow owner("form.xml");
    ASSERT_TRUE(owner.Create(nullptr, "owner"));
    QtHostWidget* ownerHost = ShowAndWait(owner);
    Click(ownerHost, CenterOf(owner, "btn"));
    ASSERT_TRUE(owner.Saw("click:btn"));  // the click reaches a window that is not blocked
    owner.log.clear();

    QtWindow dialog("form.xml");
    ASSERT_TRUE(dialog.Create(&owner, "dialog"));
    QWidget* modalWidget = nullptr;
    QTimer::singleShot(50, [&] {
        modalWidget = QApplication::activeModalWidget();
        Click(ownerHost, CenterOf(owner, "btn"));
        QApplication::processEvents();
        dialog.Close(7);
    });
    EXPECT_EQ(dialog.ShowModal(), 7);
    EXPECT_EQ(modalWidget, dialog.Widget());
    EXPECT_FALSE(owner.Saw("click:btn"));

    // Once the run is over the owner takes input again.
    QApplication::processEvents();
    Click(ownerHost, CenterOf(owner, "btn"));
    EXPECT_TRUE(owner.Saw("click:btn"));
}

TEST_F(QtInputTest, DropDownStaysOpenAfterTheOpeningClickAndChoosesOnARowClick) {
    QtWindow w("form.xml");
    ASSERT_TRUE(w.Create(nullptr, "w"));
    QtHostWidget* host = ShowAndWait(w);
    auto* combo = dynamic_cast<CComboUI*>(w.FindControl("combo"));

    QWidget* popup = OpenDropDown(w, host);
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_TRUE(combo->IsDropDownOpen());
    // The window stays the active one under its own pop-up.
    QApplication::processEvents();
    auto activations = w.Params(kWmActivate);
    EXPECT_EQ(std::count(activations.begin(), activations.end(), 0), 0);

    ClickRow(popup, 1);
    EXPECT_EQ(w.lastIndex, 1);
    EXPECT_EQ(combo->GetText(), "b");
    EXPECT_TRUE(SpinUntil([] { return QApplication::activePopupWidget() == nullptr; }));
    EXPECT_FALSE(combo->IsDropDownOpen());

    // A press outside the open list closes it and chooses nothing.
    popup = OpenDropDown(w, host);
    ASSERT_NE(popup, nullptr);
    Click(popup, QPoint(-40, -40));
    EXPECT_TRUE(SpinUntil([] { return QApplication::activePopupWidget() == nullptr; }));
    EXPECT_EQ(combo->GetText(), "b");

    // A click on the combo while its list is open closes the list.
    popup = OpenDropDown(w, host);
    ASSERT_NE(popup, nullptr);
    Click(popup, popup->mapFromGlobal(host->mapToGlobal(CenterOf(w, "combo"))));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_FALSE(combo->IsDropDownOpen());

    // After the list is gone the host hovers and clicks normally again.
    w.log.clear();
    Click(host, CenterOf(w, "btn"));
    EXPECT_TRUE(w.Saw("click:btn"));
}

TEST_F(QtInputTest, OpenDropDownFollowsRowsChangingUnderIt) {
    QtWindow w("form.xml");
    ASSERT_TRUE(w.Create(nullptr, "w"));
    QtHostWidget* host = ShowAndWait(w);
    auto* combo = dynamic_cast<CComboUI*>(w.FindControl("combo"));

    QWidget* popup = OpenDropDown(w, host);
    ASSERT_NE(popup, nullptr);
    combo->RemoveAt(0);  // "b", "c" left
    combo->AddString("d");
    popup->repaint();
    ClickRow(popup, 2);
    EXPECT_EQ(combo->GetText(), "d");
    EXPECT_EQ(w.lastIndex, 2);

    popup = OpenDropDown(w, host);
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup, Qt::Key_Down);  // row 0 hot
    combo->RemoveAll();
    popup->repaint();
    w.lastIndex = -1;
    QTest::keyClick(popup, Qt::Key_Return);  // nothing there any more
    EXPECT_EQ(w.lastIndex, -1);
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(w.lastIndex, -1);
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_TRUE(SpinUntil([] { return QApplication::activePopupWidget() == nullptr; }));
}

TEST_F(QtInputTest, ToolTipsAndCursorsFollowTheControlUnderTheMouse) {
    QtWindow w("form.xml");
    ASSERT_TRUE(w.Create(nullptr, "w"));
    QtHostWidget* host = ShowAndWait(w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(host));

    QTest::mouseMove(host->windowHandle(), CenterOf(w, "space"));
    QTest::mouseMove(host->windowHandle(), CenterOf(w, "btn"));
    EXPECT_TRUE(SpinUntil([] { return QToolTip::isVisible() && QToolTip::text() == "Start now"; }));
    QTest::mouseMove(host->windowHandle(), CenterOf(w, "space"));
    EXPECT_TRUE(SpinUntil([] { return !QToolTip::isVisible(); }));

    QTest::mouseMove(host->windowHandle(), CenterOf(w, "hand"));
    EXPECT_EQ(host->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(host->windowHandle(), CenterOf(w, "space"));
    EXPECT_EQ(host->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(QtInputTest, EditEntryFollowsTextSetByCodeAndKeepsOneValidator) {
    QtWindow w("form.xml");
    ASSERT_TRUE(w.Create(nullptr, "w"));
    QtHostWidget* host = ShowAndWait(w);
    auto* edit = dynamic_cast<CEditUI*>(w.FindControl("edit"));
    Click(host, CenterOf(w, "edit"));
    auto* line = host->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    ASSERT_TRUE(line->isVisible());

    // Code sets the focused edit's text: the entry shows it and typing continues from it.
    edit->SetText("12");
    EXPECT_EQ(line->text(), "12");
    QTest::keyClick(line, Qt::Key_3);
    EXPECT_EQ(edit->GetText(), "123");

    // Focusing a digits-only edit again and again does not pile up validators.
    for (int i = 0; i < 3; ++i) {
        Click(host, CenterOf(w, "btn"));
        Click(host, CenterOf(w, "edit"));
    }
    EXPECT_EQ(line->findChildren<QValidator*>().size(), 1);
    QTest::keyClick(line, Qt::Key_End);
    QTest::keyClicks(line, "x4");
    EXPECT_EQ(edit->GetText(), "1234");
}

TEST_F(QtInputTest, EditEntryIsReadableInTheDarkStyle) {
    QtWindow w("form.xml");
    ASSERT_TRUE(w.Create(nullptr, "w"));
    QtHostWidget* host = ShowAndWait(w);
    // "name" has no background colour of its own: the entry takes its surroundings'.
    Click(host, CenterOf(w, "name"));
    auto* line = host->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    QTest::keyClicks(line, "WWWW");
    QImage shot = line->grab().toImage();
    std::filesystem::create_directories(NORVANE_SHOTS_DIR);
    shot.save(QString::fromStdString(NORVANE_SHOTS_DIR "/edit_entry_dark.png"));
    EXPECT_EQ(shot.pixelColor(shot.width() - 2, 1).rgb(), QColor(0x1B, 0x1E, 0x24).rgb());
    int light = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            light += shot.pixelColor(x, y).lightness() > 150 ? 1 : 0;
        }
    }
    EXPECT_GT(light, 10);  // the typed text, drawn light on dark
}

}  // namespace
}  // namespace norvane::ui::qt::test
