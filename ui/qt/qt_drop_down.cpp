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
    CPaintManagerUI* pm = combo_->GetManager();
    for (int index : combo_->VisibleItems()) {
        CControlUI* row = combo_->GetItemAt(index);
        int h = row->GetFixedHeight() > 0 ? row->GetFixedHeight() : kRowHeight;
        rows_.push_back(index);
        heights_.push_back(pm != nullptr ? pm->Scale(h) : h);
    }
}

void QtDropDown::Open(const QRect& anchorGlobal) {
    int total = 2;
    for (int h : heights_) {
        total += h;
    }
    CPaintManagerUI* pm = combo_->GetManager();
    int limit = combo_->GetDropBoxSize().cy > 0 ? combo_->GetDropBoxSize().cy : 150;
    limit = pm != nullptr ? pm->Scale(limit) : limit;
    int width = combo_->GetDropBoxSize().cx > 0 && pm != nullptr ? pm->Scale(combo_->GetDropBoxSize().cx)
                                                                 : anchorGlobal.width();
    int height = std::min(total, std::max(limit, kRowHeight));
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

int QtDropDown::RowAt(int y) const {
    int top = 1;
    for (std::size_t i = 0; i < heights_.size(); ++i) {
        if (y >= top && y < top + heights_[i]) {
            return static_cast<int>(i);
        }
        top += heights_[i];
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
    int top = 1;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Rect row{1, top, width() - 1, top + heights_[i]};
        bool selected = rows_[i] == combo_->GetCurSel();
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
        r.DrawText(row.Deflate(pad), combo_->GetItemAt(rows_[i])->GetText(), pm->ScaledFont(info.font), text,
                   info.textStyle | kTextEndEllipsis);
        top += heights_[i];
    }
    Color border = combo_->GetBorderColor() != 0 ? combo_->GetBorderColor() : 0xFF2E333CU;
    r.DrawRect({0, 0, width(), height()}, 0, 1, border);
}

void QtDropDown::mouseMoveEvent(QMouseEvent* event) {
    int row = RowAt(static_cast<int>(event->position().y()));
    if (row != hot_) {
        hot_ = row;
        update();
    }
}

void QtDropDown::mouseReleaseEvent(QMouseEvent* event) {
    if (!rect().contains(event->position().toPoint())) {
        close();
        return;
    }
    int row = RowAt(static_cast<int>(event->position().y()));
    if (row >= 0) {
        Choose(row);
    }
}

void QtDropDown::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
    } else if (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) {
        int n = static_cast<int>(rows_.size());
        if (n > 0) {
            hot_ = std::clamp(hot_ + (event->key() == Qt::Key_Down ? 1 : -1), 0, n - 1);
            update();
        }
    } else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && hot_ >= 0) {
        Choose(hot_);
    }
}

void QtDropDown::Choose(int row) {
    int index = rows_[static_cast<std::size_t>(row)];
    CComboUI* combo = combo_;
    hide();
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
    hide();
}

}  // namespace norvane::ui::qt
