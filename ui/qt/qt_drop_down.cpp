#include "ui/qt/qt_drop_down.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "ui/combo.h"
#include "ui/paint_manager.h"
#include "ui/qt/qt_renderer.h"

namespace norvane::ui::qt {

namespace {
constexpr int kRowHeight = 30;
}

QtDropDown::QtDropDown(CComboUI& combo, QWidget* host)
    : QWidget(host, Qt::Popup | Qt::FramelessWindowHint), combo_(&combo) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_DeleteOnClose);
}

std::vector<QtDropDown::Row> QtDropDown::Rows() const {
    std::vector<Row> rows;
    if (combo_ == nullptr) {
        return rows;
    }
    CPaintManagerUI* pm = combo_->GetManager();
    for (int index : combo_->VisibleItems()) {
        CControlUI* item = combo_->GetItemAt(index);
        int h = item->GetFixedHeight() > 0 ? item->GetFixedHeight() : kRowHeight;
        rows.push_back({index, pm != nullptr ? pm->Scale(h) : h});
    }
    return rows;
}

int QtDropDown::FittingHeight(const std::vector<Row>& rows) const {
    int total = 2;
    for (const Row& row : rows) {
        total += row.height;
    }
    CPaintManagerUI* pm = combo_ != nullptr ? combo_->GetManager() : nullptr;
    int limit = combo_ != nullptr && combo_->GetDropBoxSize().cy > 0 ? combo_->GetDropBoxSize().cy : 150;
    limit = pm != nullptr ? pm->Scale(limit) : limit;
    return std::min(total, std::max(limit, kRowHeight));
}

void QtDropDown::Open(const QRect& anchorGlobal) {
    anchor_ = anchorGlobal;
    CPaintManagerUI* pm = combo_->GetManager();
    int width = combo_->GetDropBoxSize().cx > 0 && pm != nullptr ? pm->Scale(combo_->GetDropBoxSize().cx)
                                                                 : anchorGlobal.width();
    int height = FittingHeight(Rows());
    QPoint at = anchorGlobal.bottomLeft() + QPoint(0, 3);
    if (QScreen* screen = QGuiApplication::screenAt(anchorGlobal.center())) {
        if (at.y() + height > screen->availableGeometry().bottom()) {
            at.setY(anchorGlobal.top() - height - 3);
        }
    }
    setGeometry(QRect(at, QSize(width, height)));
    show();
    setFocus(Qt::PopupFocusReason);
}

void QtDropDown::Refresh() {
    if (!isVisible()) {
        return;
    }
    int height = FittingHeight(Rows());
    if (height != this->height()) {
        // A list opened upwards keeps its bottom edge at the combo.
        QRect g = geometry();
        if (g.bottom() < anchor_.top()) {
            g.setTop(g.bottom() + 1 - height);
        } else {
            g.setHeight(height);
        }
        setGeometry(g);
    }
    update();
}

int QtDropDown::RowAt(const std::vector<Row>& rows, int y) const {
    int top = 1;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (y >= top && y < top + rows[i].height) {
            return static_cast<int>(i);
        }
        top += rows[i].height;
    }
    return -1;
}

void QtDropDown::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter p(this);
    CPaintManagerUI* pm = combo_ != nullptr ? combo_->GetManager() : nullptr;
    if (pm == nullptr) {
        return;
    }
    const TListInfoUI& info = combo_->GetListInfo();
    Color bk = info.bkColor != 0 ? info.bkColor : 0xFF1B1E24U;
    p.fillRect(rect(), ToQColor(bk));
    QtRenderer r(p, pm->Resources());
    const std::vector<Row> rows = Rows();
    int top = 1;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        Rect row{1, top, width() - 1, top + rows[i].height};
        bool selected = rows[i].index == combo_->GetCurSel();
        bool hot = static_cast<int>(i) == hot_;
        if (hot && info.hotBkColor != 0) {
            r.FillRect(row, info.hotBkColor);
        } else if (selected && info.selectedBkColor != 0) {
            r.FillRect(row, info.selectedBkColor);
        }
        Color text = selected && info.selectedTextColor != 0 ? info.selectedTextColor
                     : hot && info.hotTextColor != 0         ? info.hotTextColor
                     : info.textColor != 0                   ? info.textColor
                                                             : pm->GetDefaultTextColor();
        Rect pad{pm->Scale(info.textPadding.left), pm->Scale(info.textPadding.top),
                 pm->Scale(info.textPadding.right), pm->Scale(info.textPadding.bottom)};
        r.DrawText(row.Deflate(pad), combo_->GetItemAt(rows[i].index)->GetText(), pm->ScaledFont(info.font),
                   text, info.textStyle | kTextEndEllipsis);
        top += rows[i].height;
    }
    Color border = combo_->GetBorderColor() != 0 ? combo_->GetBorderColor() : 0xFF2E333CU;
    r.DrawRect({0, 0, width(), height()}, 0, 1, border);
}

void QtDropDown::mouseMoveEvent(QMouseEvent* event) {
    int row = RowAt(Rows(), static_cast<int>(event->position().y()));
    if (row != hot_) {
        hot_ = row;
        update();
    }
}

void QtDropDown::mousePressEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint())) {
        pressedInside_ = true;
        return;
    }
    QWidget::mousePressEvent(event);  // a press outside closes the pop-up
}

void QtDropDown::mouseReleaseEvent(QMouseEvent* event) {
    if (!rect().contains(event->position().toPoint())) {
        // The release of the click that opened the list lands outside it: keep the list.
        if (pressedInside_) {
            close();
        }
        return;
    }
    const std::vector<Row> rows = Rows();
    int row = RowAt(rows, static_cast<int>(event->position().y()));
    if (row >= 0) {
        Choose(rows[static_cast<std::size_t>(row)].index);
    }
}

void QtDropDown::keyPressEvent(QKeyEvent* event) {
    const std::vector<Row> rows = Rows();
    int n = static_cast<int>(rows.size());
    if (event->key() == Qt::Key_Escape) {
        close();
    } else if (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) {
        if (n > 0) {
            hot_ = std::clamp(hot_ + (event->key() == Qt::Key_Down ? 1 : -1), 0, n - 1);
            update();
        }
    } else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && hot_ >= 0 && hot_ < n) {
        Choose(rows[static_cast<std::size_t>(hot_)].index);
    }
}

void QtDropDown::Choose(int index) {
    CComboUI* combo = combo_;
    close();
    if (combo != nullptr) {
        combo->ChooseItem(index);
    }
}

void QtDropDown::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (combo_ != nullptr) {
        combo_->CloseDropDown();
    }
}

void QtDropDown::Abandon() {
    combo_ = nullptr;
    close();
}

}  // namespace norvane::ui::qt
