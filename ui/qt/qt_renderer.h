#pragma once

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QStaticText>
#include <vector>

#include "ui/render.h"

namespace norvane::ui {
class CResourceManager;
}

namespace norvane::ui::qt {

// Caches shared by every renderer of the process: decoded images and fonts.
class QtPaintCache {
public:
    // The image for a skin-relative (or absolute) name; a null pixmap when missing.
    const QPixmap& Pixmap(const CResourceManager& resources, std::string_view name);
    const QFont& Font(const FontSpec& fontSpec);
    // The image filled with a colour at a level wherever it is opaque.
    const QPixmap& Tinted(const CResourceManager& resources, std::string_view name, QColor color);
    // A rounded rectangle of the given size at the origin, flattened once.
    const QPolygonF& RoundedOutline(double width, double height, double radius);
    // Laid-out single-line text in a font, kept for the next frames.
    const QStaticText& StaticText(const QString& text, const QFont& font, const FontSpec& fontSpec);
    // A small rounded shape (filled, or outlined with a pen width) drawn once into a pixmap.
    const QPixmap& Shape(int width, int height, int radius, int penWidth, QColor color, double ratio);
    void Clear();
    bool IsEmpty() const;

private:
    QHash<QString, QPolygonF> outlines_;
    QHash<QString, QPixmap> shapes_;
    QHash<QString, QStaticText> texts_;
    QHash<QString, QPixmap> pixmaps_;
    QHash<QString, QFont> fonts_;
    // The font asked for last: consecutive texts mostly share one.
    FontSpec lastSpec_;
    const QFont* lastFont_ = nullptr;
    QHash<QString, QPixmap> tinted_;
};

// Emptied when the QtPlatform goes, so no pixmap or font outlives the application.
QtPaintCache& SharedPaintCache();

inline QColor ToQColor(Color c) {
    return QColor::fromRgba(c);
}

inline QRect ToQRect(const Rect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Paints with a QPainter; image strings resolve in the skin folder.
class QtRenderer : public IRenderer {
public:
    QtRenderer(QPainter& painter, const CResourceManager& resources);
    void PushClip(const Rect& rc) override;
    void PopClip() override;
    void FillRect(const Rect& rc, Color color) override;
    void FillRoundRect(const Rect& rc, int radius, Color color) override;
    void DrawRect(const Rect& rc, int radius, int width, Color color) override;
    void FillGradient(const Rect& rc, Color from, Color to, bool vertical) override;
    void DrawLine(Point from, Point to, int width, Color color) override;
    void FillEllipse(const Rect& rc, Color color) override;
    void FillPie(const Rect& rc, int startAngle, int sweepAngle, Color color) override;
    void DrawText(const Rect& rc, std::string_view text, const FontSpec& font, Color color,
                  unsigned align) override;
    Size MeasureText(std::string_view text, const FontSpec& font) override;
    bool DrawImage(const Rect& rc, std::string_view image, const ImageTint* tint) override;

private:
    // Small shapes go through the shape cache; true when drawn that way.
    bool DrawCachedShape(const Rect& rc, int radius, int penWidth, Color color);
    void DrawNinePatch(const QPixmap& pixmap, const QRect& source, const QRect& dest, const Rect& corner,
                       bool hole);
    QPainter& painter_;
    const CResourceManager& resources_;
    std::vector<QRect> clips_;
};

}  // namespace norvane::ui::qt
