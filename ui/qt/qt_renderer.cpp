#include "ui/qt/qt_renderer.h"

#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>

#include "ui/resource_manager.h"

namespace norvane::ui::qt {

QtPaintCache& SharedPaintCache() {
    static QtPaintCache cache;
    return cache;
}

const QPixmap& QtPaintCache::Pixmap(const CResourceManager& resources, std::string_view name) {
    QString key = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    auto it = pixmaps_.find(key);
    if (it != pixmaps_.end()) {
        return *it;
    }
    QPixmap pixmap;
    auto path = resources.ResolveSkinPath(name);
    if (!path.empty()) {
        pixmap.load(QString::fromStdString(path.string()));
    }
    return *pixmaps_.insert(key, pixmap);
}

const QPixmap& QtPaintCache::Tinted(const CResourceManager& resources, std::string_view name, QColor color) {
    QString key = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) + QLatin1Char('#') +
                  QString::number(color.rgba(), 16);
    auto it = tinted_.find(key);
    if (it != tinted_.end()) {
        return *it;
    }
    if (tinted_.size() > 4096) {
        tinted_.clear();
    }
    const QPixmap& base = Pixmap(resources, name);
    QImage image = base.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&image);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(image.rect(), color);
    }
    return *tinted_.insert(key, QPixmap::fromImage(image));
}

const QFont& QtPaintCache::Font(const FontSpec& fontSpec) {
    if (lastFont_ != nullptr && fontSpec.size == lastSpec_.size && fontSpec.bold == lastSpec_.bold &&
        fontSpec.italic == lastSpec_.italic && fontSpec.underline == lastSpec_.underline &&
        fontSpec.face == lastSpec_.face) {
        return *lastFont_;
    }
    QString key = QString::fromStdString(fontSpec.face) + QLatin1Char('/') + QString::number(fontSpec.size) +
                  QLatin1Char(fontSpec.bold ? 'b' : '-') + QLatin1Char(fontSpec.italic ? 'i' : '-') +
                  QLatin1Char(fontSpec.underline ? 'u' : '-');
    auto it = fonts_.find(key);
    if (it != fonts_.end()) {
        lastSpec_ = fontSpec;
        lastFont_ = &*it;
        return *it;
    }
    QFont font;
    if (!fontSpec.face.empty()) {
        font.setFamilies({QString::fromStdString(fontSpec.face), QStringLiteral("Noto Sans CJK SC"),
                          QStringLiteral("DejaVu Sans")});
    }
    font.setPixelSize(std::max(1, fontSpec.size));
    font.setBold(fontSpec.bold);
    font.setItalic(fontSpec.italic);
    font.setUnderline(fontSpec.underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    lastSpec_ = fontSpec;
    lastFont_ = &*fonts_.insert(key, font);
    return *lastFont_;
}

const QPolygonF& QtPaintCache::RoundedOutline(double width, double height, double radius) {
    QString key = QString::number(width) + QLatin1Char('x') + QString::number(height) + QLatin1Char('r') +
                  QString::number(radius);
    auto it = outlines_.find(key);
    if (it != outlines_.end()) {
        return *it;
    }
    if (outlines_.size() > 2048) {
        outlines_.clear();
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, width, height), radius, radius);
    return *outlines_.insert(key, path.toFillPolygon());
}

const QStaticText& QtPaintCache::StaticText(const QString& text, const QFont& font,
                                            const FontSpec& fontSpec) {
    QString key = text + QChar(0x1F) + QString::fromStdString(fontSpec.face) + QLatin1Char('/') +
                  QString::number(fontSpec.size) + QLatin1Char(fontSpec.bold ? 'b' : '-') +
                  QLatin1Char(fontSpec.italic ? 'i' : '-') + QLatin1Char(fontSpec.underline ? 'u' : '-');
    auto it = texts_.find(key);
    if (it != texts_.end()) {
        return *it;
    }
    if (texts_.size() > 4096) {
        texts_.clear();
    }
    QStaticText st(text);
    st.setTextFormat(Qt::PlainText);
    st.setPerformanceHint(QStaticText::AggressiveCaching);
    st.prepare(QTransform(), font);
    return *texts_.insert(key, st);
}

const QPixmap& QtPaintCache::Shape(int width, int height, int radius, int penWidth, QColor color,
                                   double ratio) {
    QString key = QString::number(width) + QLatin1Char('x') + QString::number(height) + QLatin1Char('r') +
                  QString::number(radius) + QLatin1Char('p') + QString::number(penWidth) + QLatin1Char('c') +
                  QString::number(color.rgba(), 16) + QLatin1Char('@') + QString::number(ratio);
    auto it = shapes_.find(key);
    if (it != shapes_.end()) {
        return *it;
    }
    if (shapes_.size() > 1024) {
        shapes_.clear();
    }
    QPixmap pixmap(
        QSize(static_cast<int>(std::ceil(width * ratio)), static_cast<int>(std::ceil(height * ratio))));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing, true);
        if (penWidth <= 0) {
            p.setPen(Qt::NoPen);
            p.setBrush(color);
            p.drawRoundedRect(QRectF(0, 0, width, height), radius, radius);
        } else {
            QPen pen(color);
            pen.setWidth(penWidth);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            double half = penWidth / 2.0;
            p.drawRoundedRect(QRectF(half, half, width - penWidth, height - penWidth), radius, radius);
        }
    }
    return *shapes_.insert(key, pixmap);
}

void QtPaintCache::Clear() {
    shapes_.clear();
    outlines_.clear();
    texts_.clear();
    lastFont_ = nullptr;
    pixmaps_.clear();
    fonts_.clear();
    tinted_.clear();
}

bool QtPaintCache::IsEmpty() const {
    return shapes_.isEmpty() && outlines_.isEmpty() && texts_.isEmpty() && pixmaps_.isEmpty() &&
           fonts_.isEmpty() && tinted_.isEmpty();
}

QtRenderer::QtRenderer(QPainter& painter, const CResourceManager& resources)
    : painter_(painter), resources_(resources) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void QtRenderer::PushClip(const Rect& rc) {
    QRect clip = ToQRect(rc);
    if (!clips_.empty()) {
        clip = clip.intersected(clips_.back());
    }
    clips_.push_back(clip);
    painter_.setClipRect(clip);
}

void QtRenderer::PopClip() {
    if (!clips_.empty()) {
        clips_.pop_back();
    }
    if (clips_.empty()) {
        painter_.setClipping(false);
    } else {
        painter_.setClipRect(clips_.back());
    }
}

void QtRenderer::FillRect(const Rect& rc, Color color) {
    painter_.fillRect(ToQRect(rc), ToQColor(color));
}

namespace {
constexpr int kShapeCacheLimit = 96;
}

bool QtRenderer::DrawCachedShape(const Rect& rc, int radius, int penWidth, Color color) {
    // Translucent colours are mostly light overlays that change every frame: drawn directly.
    if (rc.Width() > kShapeCacheLimit || rc.Height() > kShapeCacheLimit || rc.IsEmpty() ||
        (color >> 24U) != 0xFFU) {
        return false;
    }
    double ratio = painter_.device() != nullptr ? painter_.device()->devicePixelRatioF() : 1.0;
    const QPixmap& shape =
        SharedPaintCache().Shape(rc.Width(), rc.Height(), radius, penWidth, ToQColor(color), ratio);
    painter_.drawPixmap(rc.left, rc.top, shape);
    return true;
}

void QtRenderer::FillRoundRect(const Rect& rc, int radius, Color color) {
    if (radius <= 0) {
        FillRect(rc, color);
        return;
    }
    if (DrawCachedShape(rc, radius, 0, color)) {
        return;
    }
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(ToQColor(color));
    const QPolygonF& outline = SharedPaintCache().RoundedOutline(rc.Width(), rc.Height(), radius);
    painter_.translate(rc.left, rc.top);
    painter_.drawPolygon(outline);
    painter_.translate(-rc.left, -rc.top);
}

void QtRenderer::DrawRect(const Rect& rc, int radius, int width, Color color) {
    if (radius > 0 && DrawCachedShape(rc, radius, width, color)) {
        return;
    }
    QPen pen(ToQColor(color));
    pen.setWidth(width);
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
    double half = width / 2.0;
    QRectF r(rc.left + half, rc.top + half, rc.Width() - width, rc.Height() - width);
    if (radius > 0) {
        const QPolygonF& outline = SharedPaintCache().RoundedOutline(r.width(), r.height(), radius);
        painter_.translate(r.topLeft());
        painter_.drawPolygon(outline);
        painter_.translate(-r.topLeft());
    } else {
        painter_.drawRect(r);
    }
}

void QtRenderer::FillGradient(const Rect& rc, Color from, Color to, bool vertical) {
    QLinearGradient g(rc.left, rc.top, vertical ? rc.left : rc.right, vertical ? rc.bottom : rc.top);
    g.setColorAt(0, ToQColor(from));
    g.setColorAt(1, ToQColor(to));
    painter_.fillRect(ToQRect(rc), g);
}

void QtRenderer::DrawLine(Point from, Point to, int width, Color color) {
    QPen pen(ToQColor(color));
    pen.setWidth(width);
    pen.setCapStyle(Qt::RoundCap);
    painter_.setPen(pen);
    painter_.drawLine(QPointF(from.x + 0.5, from.y + 0.5), QPointF(to.x + 0.5, to.y + 0.5));
}

void QtRenderer::FillEllipse(const Rect& rc, Color color) {
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(ToQColor(color));
    painter_.drawEllipse(QRectF(ToQRect(rc)));
}

void QtRenderer::FillPie(const Rect& rc, int startAngle, int sweepAngle, Color color) {
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(ToQColor(color));
    // Qt counts counter-clockwise in 1/16 degree; ours run clockwise.
    painter_.drawPie(QRectF(ToQRect(rc)), -startAngle * 16, -sweepAngle * 16);
}

void QtRenderer::DrawText(const Rect& rc, std::string_view text, const FontSpec& font, Color color,
                          unsigned align) {
    const QFont& f = SharedPaintCache().Font(font);
    painter_.setFont(f);
    painter_.setPen(ToQColor(color));
    int flags = 0;
    flags |= (align & kAlignCenter) != 0  ? Qt::AlignHCenter
             : (align & kAlignRight) != 0 ? Qt::AlignRight
                                          : Qt::AlignLeft;
    flags |= (align & kAlignVCenter) != 0  ? Qt::AlignVCenter
             : (align & kAlignBottom) != 0 ? Qt::AlignBottom
                                           : Qt::AlignTop;
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if ((align & kTextWordBreak) != 0) {
        painter_.drawText(ToQRect(rc), flags | Qt::TextWordWrap, s);
        return;
    }
    if ((align & kTextEndEllipsis) != 0) {
        s = QFontMetrics(f).elidedText(s, Qt::ElideRight, rc.Width());
    }
    // Single lines are laid out once and kept: captions repeat frame after frame.
    const QStaticText& st = SharedPaintCache().StaticText(s, f, font);
    QSizeF size = st.size();
    double x = rc.left;
    if ((align & kAlignCenter) != 0) {
        x = rc.left + (rc.Width() - size.width()) / 2.0;
    } else if ((align & kAlignRight) != 0) {
        x = rc.right - size.width();
    }
    double y = rc.top;
    if ((align & kAlignVCenter) != 0) {
        y = rc.top + (rc.Height() - size.height()) / 2.0;
    } else if ((align & kAlignBottom) != 0) {
        y = rc.bottom - size.height();
    }
    painter_.drawStaticText(QPointF(std::round(x), std::round(y)), st);
}

Size QtRenderer::MeasureText(std::string_view text, const FontSpec& font) {
    const QFontMetricsF metrics(SharedPaintCache().Font(font));
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return {static_cast<int>(std::ceil(metrics.horizontalAdvance(s))),
            static_cast<int>(std::ceil(metrics.height()))};
}

void QtRenderer::DrawNinePatch(const QPixmap& pixmap, const QRect& source, const QRect& dest,
                               const Rect& corner, bool hole) {
    const int l = corner.left;
    const int t = corner.top;
    const int r = corner.right;
    const int b = corner.bottom;
    const int sx[4] = {source.left(), source.left() + l, source.right() + 1 - r, source.right() + 1};
    const int sy[4] = {source.top(), source.top() + t, source.bottom() + 1 - b, source.bottom() + 1};
    const int dx[4] = {dest.left(), dest.left() + l, dest.right() + 1 - r, dest.right() + 1};
    const int dy[4] = {dest.top(), dest.top() + t, dest.bottom() + 1 - b, dest.bottom() + 1};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            if (hole && row == 1 && col == 1) {
                continue;
            }
            QRect s(QPoint(sx[col], sy[row]), QPoint(sx[col + 1] - 1, sy[row + 1] - 1));
            QRect d(QPoint(dx[col], dy[row]), QPoint(dx[col + 1] - 1, dy[row + 1] - 1));
            if (s.isValid() && d.isValid()) {
                painter_.drawPixmap(d, pixmap, s);
            }
        }
    }
}

bool QtRenderer::DrawImage(const Rect& rc, std::string_view image, const ImageTint* tint) {
    if (image.empty()) {
        return false;
    }
    ImageSpec imageSpec = ParseImageString(image);
    if (imageSpec.file.empty()) {
        return false;
    }
    bool tinted = tint != nullptr && tint->shown;
    QColor tintColor = tinted ? ToQColor(tint->color | 0xFF000000U) : QColor();
    if (tinted) {
        tintColor.setAlpha(std::clamp(tint->level, 0, 255));
    }
    const QPixmap& pixmap = tinted ? SharedPaintCache().Tinted(resources_, imageSpec.file, tintColor)
                                   : SharedPaintCache().Pixmap(resources_, imageSpec.file);
    if (pixmap.isNull()) {
        return false;
    }
    QRect source =
        imageSpec.source.IsEmpty() ? pixmap.rect() : ToQRect(imageSpec.source).intersected(pixmap.rect());
    if (source.isEmpty()) {
        return false;  // a source outside the image: nothing to draw, and no tile would advance
    }
    QRect dest = imageSpec.dest.IsEmpty() ? ToQRect(rc) : ToQRect(imageSpec.dest.Offset(rc.left, rc.top));
    double opacity = painter_.opacity();
    painter_.setOpacity(opacity * imageSpec.fade / 255.0);
    if (imageSpec.xtiled || imageSpec.ytiled) {
        for (int y = dest.top(); y <= dest.bottom();
             y += imageSpec.ytiled ? source.height() : dest.height()) {
            for (int x = dest.left(); x <= dest.right();
                 x += imageSpec.xtiled ? source.width() : dest.width()) {
                QRect d(x, y, imageSpec.xtiled ? source.width() : dest.width(),
                        imageSpec.ytiled ? source.height() : dest.height());
                painter_.drawPixmap(d.intersected(dest), pixmap,
                                    QRect(source.topLeft(), d.intersected(dest).size()));
            }
        }
    } else if ((imageSpec.corner.left | imageSpec.corner.top | imageSpec.corner.right |
                imageSpec.corner.bottom) != 0) {
        DrawNinePatch(pixmap, source, dest, imageSpec.corner, imageSpec.hole);
    } else {
        painter_.drawPixmap(dest, pixmap, source);
    }
    painter_.setOpacity(opacity);
    return true;
}

}  // namespace norvane::ui::qt
