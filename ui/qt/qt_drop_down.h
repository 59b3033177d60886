#pragma once

#include <QWidget>
#include <vector>

namespace norvane::ui {
class CComboUI;
}

namespace norvane::ui::qt {

// The pop-up list of a combo: its visible rows, painted in the combo's list colours.
// Choosing a row selects it in the combo (with notification); closing without a choice
// leaves the selection alone. The rows are read from the combo whenever they are painted or
// hit, so rows added or removed while the list is open show at once. Deletes itself when
// closed.
class QtDropDown : public QWidget {
public:
    QtDropDown(CComboUI& combo, QWidget* host);
    void Open(const QRect& anchorGlobal);
    CComboUI* Combo() const { return combo_; }
    // The combo's rows may have changed: fit and repaint.
    void Refresh();
    // The combo is going away: close without touching it.
    void Abandon();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Row {
        int index;   // in the combo
        int height;  // in pixels
    };
    std::vector<Row> Rows() const;
    int FittingHeight(const std::vector<Row>& rows) const;
    int RowAt(const std::vector<Row>& rows, int y) const;
    void Choose(int index);
    CComboUI* combo_;
    QRect anchor_;
    int hot_ = -1;  // row under the mouse or the arrow keys
    // The opening click's release arrives here too; only a press inside makes a release count.
    bool pressedInside_ = false;
};

}  // namespace norvane::ui::qt
