#include "ui/qt/qt_platform.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFontDatabase>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSystemTrayIcon>

#include "ui/messages.h"
#include "ui/qt/qt_host_widget.h"
#include "ui/qt/qt_renderer.h"
#include "ui/window.h"

namespace norvane::ui::qt {

namespace {

QWidget* WidgetOf(WindowImplBase* window) {
    return window != nullptr ? dynamic_cast<QtHostWidget*>(window->Host()) : nullptr;
}

void AddItems(QMenu& menu, const std::vector<MenuItem>& items) {
    for (const auto& item : items) {
        if (item.separator) {
            menu.addSeparator();
        } else if (!item.children.empty()) {
            QMenu* sub = menu.addMenu(QString::fromStdString(item.text));
            AddItems(*sub, item.children);
        } else {
            QAction* action = menu.addAction(QString::fromStdString(item.text));
            action->setData(QString::fromStdString(item.name));
            action->setEnabled(item.enabled);
        }
    }
}

class QtTray : public ITrayIconHost {
public:
    QtTray(WindowImplBase& window, unsigned message) {
        QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_,
                         [&window, message](QSystemTrayIcon::ActivationReason reason) {
                             unsigned code = kWmLButtonUp;
                             if (reason == QSystemTrayIcon::Context) {
                                 code = kWmRButtonUp;
                             } else if (reason == QSystemTrayIcon::DoubleClick) {
                                 code = kWmLButtonDblClk;
                             }
                             window.PostMessage(message, 0, static_cast<std::intptr_t>(code));
                         });
    }
    void SetToolTip(std::string_view text) override {
        icon_.setToolTip(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    void SetIcon(const std::filesystem::path& image) override {
        icon_.setIcon(QIcon(QString::fromStdString(image.string())));
    }
    void Show(bool show) override { icon_.setVisible(show && QSystemTrayIcon::isSystemTrayAvailable()); }
    bool IsShown() const override { return icon_.isVisible(); }

private:
    QSystemTrayIcon icon_;
};

constexpr const char* kMenuStyle =
    "QMenu{background:#FF1B1E24;color:#FFE6E8EB;border:1px solid #FF2E333C;padding:4px;}"
    "QMenu::item{padding:6px 24px 6px 16px;border-radius:4px;}"
    "QMenu::item:selected{background:#FF30353F;}"
    "QMenu::item:disabled{color:#FF8A909A;}"
    "QMenu::separator{height:1px;background:#FF2E333C;margin:4px 8px;}";

}  // namespace

QtPlatform::QtPlatform() {
    clock_.start();
}

bool QtPlatform::MakeProcessDpiAware() {
    if (QCoreApplication::instance() != nullptr) {
        return false;
    }
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    return true;
}

QtPlatform::~QtPlatform() {
    SharedPaintCache().Clear();
}

std::unique_ptr<IWindowHost> QtPlatform::CreateWindowHost(WindowImplBase& window, WindowImplBase* owner) {
    return std::make_unique<QtHostWidget>(*this, window, WidgetOf(owner));
}

int QtPlatform::RunMessageLoop() {
    return QApplication::exec();
}

void QtPlatform::Quit(int code) {
    QApplication::exit(code);
}

std::string QtPlatform::TrackMenu(const std::vector<MenuItem>& items, Point screen, WindowImplBase* owner) {
    QMenu menu(WidgetOf(owner));
    menu.setStyleSheet(QString::fromLatin1(kMenuStyle));
    AddItems(menu, items);
    QAction* chosen = menu.exec(QPoint(screen.x, screen.y));
    return chosen != nullptr ? chosen->data().toString().toStdString() : std::string();
}

QString ToQtFilter(std::string_view filter) {
    QStringList parts = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size()))
                            .split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i].trimmed();
        QString pattern = parts[i + 1].trimmed();
        int paren = static_cast<int>(label.indexOf(QLatin1Char('(')));
        if (paren >= 0) {
            label = label.left(paren).trimmed();
        }
        if (label.isEmpty()) {
            label = pattern;
        }
        out << (label + QStringLiteral(" (") + pattern.replace(QLatin1Char(';'), QLatin1Char(' ')) +
                QLatin1Char(')'));
    }
    return out.join(QStringLiteral(";;"));
}

std::filesystem::path QtPlatform::FileDialog(const FileDialogOptions& options, WindowImplBase* owner) {
    QString folder = QString::fromStdString((options.folder / options.defaultName).string());
    QString title = QString::fromStdString(options.title);
    QString filter = ToQtFilter(options.filter);
    QString chosen = options.save ? QFileDialog::getSaveFileName(WidgetOf(owner), title, folder, filter)
                                  : QFileDialog::getOpenFileName(WidgetOf(owner), title, folder, filter);
    return chosen.isEmpty() ? std::filesystem::path() : std::filesystem::path(chosen.toStdString());
}

std::unique_ptr<ITrayIconHost> QtPlatform::CreateTrayIcon(WindowImplBase& window, unsigned callbackMessage) {
    return std::make_unique<QtTray>(window, callbackMessage);
}

bool QtPlatform::AddPrivateFont(const std::filesystem::path& file) {
    return QFontDatabase::addApplicationFont(QString::fromStdString(file.string())) != -1;
}

int QtPlatform::AddPrivateFonts(const std::filesystem::path& folder) {
    std::error_code ec;
    int loaded = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        auto ext = entry.path().extension().string();
        if ((ext == ".ttf" || ext == ".otf" || ext == ".ttc") && AddPrivateFont(entry.path())) {
            ++loaded;
        }
    }
    return loaded;
}

Size QtPlatform::ScreenSize() const {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {1920, 1080};
    }
    QSize s = screen->availableGeometry().size();
    return {s.width(), s.height()};
}

Point QtPlatform::CursorPos() const {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

QImage RenderWindow(WindowImplBase& window) {
    auto& pm = window.PaintManager();
    if (pm.IsUpdateNeeded()) {
        pm.UpdateLayout();
    }
    Size size = pm.GetClientSize();
    QImage image(std::max(1, size.cx), std::max(1, size.cy), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor::fromRgba(0xFF121418U));
    QPainter painter(&image);
    QtRenderer renderer(painter, pm.Resources());
    pm.Paint(renderer, {0, 0, size.cx, size.cy});
    return image;
}

QImage RenderMenu(const std::vector<MenuItem>& items) {
    constexpr int kGap = 8;
    std::vector<QImage> parts;
    auto grab = [&parts](const std::vector<MenuItem>& level) {
        QMenu menu;
        menu.setStyleSheet(QString::fromLatin1(kMenuStyle));
        AddItems(menu, level);
        menu.ensurePolished();
        menu.adjustSize();
        parts.push_back(menu.grab().toImage());
    };
    grab(items);
    std::vector<const MenuItem*> open;
    for (const MenuItem& item : items) {
        if (!item.children.empty()) {
            open.push_back(&item);
        }
    }
    int width = parts.front().width();
    int height = parts.front().height();
    int subWidth = 0;
    int subHeight = 0;
    for (const MenuItem* item : open) {
        grab(item->children);
        subWidth = std::max(subWidth, parts.back().width());
        subHeight += parts.back().height() + kGap;
    }
    QImage image(width + (open.empty() ? 0 : kGap + subWidth), std::max(height, subHeight),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor::fromRgba(0xFF121418U));
    QPainter painter(&image);
    painter.drawImage(0, 0, parts.front());
    int y = 0;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        painter.drawImage(width + kGap, y, parts[i]);
        y += parts[i].height() + kGap;
    }
    return image;
}

}  // namespace norvane::ui::qt
