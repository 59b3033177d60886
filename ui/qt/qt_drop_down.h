#pragma once

#include <QWidget>
#include <vector>

namespace norvane::ui {
class CComboUI;
}

namespace norvane::ui::qt {

// The pop-up list of a combo: its visible rows, painted in the combo's list colours.
// Choosing a row selects it in the combo (with notification); closing without a choice
// leaves the selection alone.
class QtDropDown : public QWidget {
public:
    QtDropDown(CComboUI& combo, QWidget* host);
    void Open(const QRect& anchorGlobal);
    CComboUI* Combo() const { return combo_; }
    // The combo is going away: close without touching it.
    void Abandon();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int RowAt(int y) const;
    void Choose(int row);
    CComboUI* combo_;
    std::vector<int> rows_;     // combo indices shown
    std::vector<int> heights_;  // pixel height of each row
    int hot_ = -1;
};

}  // namespace norvane::ui::qt
