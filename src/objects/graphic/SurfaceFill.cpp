#include "objects/graphic/SurfaceFill.h"

#include "controls/Fonts.h"  // MulDiv
#include "print/engine/Canvas.h"
#include "storage/Pictures.h"

#include <QFileInfo>

#include <QDataStream>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <mutex>

const TIdentList FillDirectionIdents = {"gdUp", "gdDown", "gdLeft", "gdRight"};

namespace surfacefill {

Ends GradientEnds(TFillDirection d, TColor from, TColor to)
{
    const QRgb f = CanvasColor(from).rgb(), t = CanvasColor(to).rgb();
    if (d == gdDown || d == gdRight)
        return {f, t};
    return {t, f};
}

int BandEdge(int i, int extent)
{
    return MulDiv(i, extent, Bands);
}

QRgb BandColor(int i, QRgb start, QRgb end)
{
    auto channel = [i](int s, int e) { return (s + MulDiv(i, e - s, Bands - 1)) & 0xFF; };
    return qRgb(channel(qRed(start), qRed(end)), channel(qGreen(start), qGreen(end)),
                channel(qBlue(start), qBlue(end)));
}

namespace {

// One line of band colours, `length` pixels long.
void fillLine(QRgb *line, int length, Ends ends)
{
    for (int i = 0; i < Bands; ++i) {
        const int a = std::clamp(BandEdge(i, length), 0, length);
        const int b = std::clamp(BandEdge(i + 1, length), 0, length);
        std::fill(line + a, line + b, BandColor(i, ends.start, ends.end));
    }
}

}  // namespace

QImage GradientStrip(QSize size, TFillDirection d, TColor from, TColor to)
{
    if (size.width() <= 0 || size.height() <= 0)
        return {};
    const bool columns = BandsAreColumns(d);
    const int length = std::min(columns ? size.width() : size.height(), MaxStripLength);
    QImage strip(columns ? QSize(length, 1) : QSize(1, length), QImage::Format_RGB32);
    if (strip.isNull())
        return {};
    const Ends ends = GradientEnds(d, from, to);
    if (columns) {
        fillLine(reinterpret_cast<QRgb *>(strip.scanLine(0)), length, ends);
    } else {
        std::vector<QRgb> line(size_t(length), 0);
        fillLine(line.data(), length, ends);
        for (int y = 0; y < length; ++y)
            *reinterpret_cast<QRgb *>(strip.scanLine(y)) = line[size_t(y)];
    }
    return strip;
}

QImage GradientBitmap(QSize size, TFillDirection d, TColor from, TColor to)
{
    const QImage strip = GradientStrip(size, d, from, to);
    if (strip.isNull())
        return {};
    const QSize bounded(std::min(size.width(), MaxStripLength), std::min(size.height(), MaxStripLength));
    QImage bitmap(bounded, QImage::Format_RGB32);
    if (bitmap.isNull())
        return {};
    QPainter p(&bitmap);
    p.fillRect(bitmap.rect(), QBrush(strip));
    return bitmap;
}

void FillGradientBands(QPainter &p, const QRect &area, TFillDirection d, TColor from, TColor to,
                       const QRectF &visible)
{
    if (area.isEmpty())
        return;
    const Ends ends = GradientEnds(d, from, to);
    const bool columns = BandsAreColumns(d);
    const int extent = columns ? area.width() : area.height();
    // Along the gradient, the part that can show: bands wholly outside it
    // are skipped, which leaves every visible pixel as it was.
    double first = -1e300, last = 1e300;
    if (!visible.isNull()) {
        first = (columns ? visible.left() : visible.top()) - (columns ? area.left() : area.top());
        last = first + (columns ? visible.width() : visible.height());
    }
    // Neighbouring bands of one colour are filled as one rectangle.
    int runStart = 0, runEnd = 0;
    QRgb runColor = 0;
    auto flush = [&] {
        if (runEnd <= runStart)
            return;
        const QRect band = columns ? QRect(area.left() + runStart, area.top(), runEnd - runStart, area.height())
                                   : QRect(area.left(), area.top() + runStart, area.width(), runEnd - runStart);
        p.fillRect(band, QColor::fromRgb(runColor));
        runStart = runEnd = 0;
    };
    for (int i = 0; i < Bands; ++i) {
        const int a = BandEdge(i, extent), b = BandEdge(i + 1, extent);
        if (b <= a || b < first || a > last)
            continue;
        const QRgb color = BandColor(i, ends.start, ends.end);
        if (runEnd > runStart && (a != runEnd || color != runColor))
            flush();
        if (runEnd <= runStart) {
            runStart = a;
            runColor = color;
        }
        runEnd = b;
    }
    flush();
}

void TileFill(QPainter &p, const QPainterPath &path, const QImage &image, QSizeF tile, QPointF origin)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0 || tile.width() <= 0
        || tile.height() <= 0)
        return;
    QBrush brush(image);
    QTransform t;
    t.translate(origin.x(), origin.y());
    if (tile != QSizeF(image.size()))
        t.scale(tile.width() / image.width(), tile.height() / image.height());
    brush.setTransform(t);
    p.fillPath(path, brush);
}

namespace {

// Larger tiles made of a texture repeated, kept so that every label of a
// print run draws the same image. A few entries cover the textures of one
// design.
struct RepeatCache
{
    struct Entry
    {
        qint64 key;
        QSize repeat;
        QImage image;
    };
    std::mutex lock;
    std::vector<Entry> entries;

    QImage get(const QImage &source, QSize repeat)
    {
        std::lock_guard<std::mutex> guard(lock);
        for (const Entry &e : entries)
            if (e.key == source.cacheKey() && e.repeat == repeat)
                return e.image;
        QImage big(source.width() * repeat.width(), source.height() * repeat.height(), source.format());
        if (big.isNull())
            return source;
        QPainter p(&big);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        for (int y = 0; y < repeat.height(); ++y)
            for (int x = 0; x < repeat.width(); ++x)
                p.drawImage(x * source.width(), y * source.height(), source);
        p.end();
        if (entries.size() >= 8)
            entries.erase(entries.begin());
        entries.push_back({source.cacheKey(), repeat, big});
        return big;
    }
};

RepeatCache &repeatCache()
{
    static RepeatCache cache;
    return cache;
}

struct ScaledCache
{
    std::mutex lock;
    qint64 key = 0;
    QImage image;
};

}  // namespace

QImage DrawableTexture(const QImage &texture)
{
    if (texture.isNull() || texture.width() <= 0 || texture.height() <= 0)
        return {};
    if (texture.width() <= MaxTextureSide && texture.height() <= MaxTextureSide)
        return texture;
    static ScaledCache cache;
    std::lock_guard<std::mutex> guard(cache.lock);
    if (cache.key != texture.cacheKey() || cache.image.isNull()) {
        cache.image = texture.scaled(std::min(texture.width(), MaxTextureSide),
                                     std::min(texture.height(), MaxTextureSide));
        cache.key = texture.cacheKey();
    }
    return cache.image;
}

void PrintTiles(QPainter &p, const QRect &area, const QImage &image, QSize tile, int overlap)
{
    if (image.isNull() || area.isEmpty() || tile.width() <= 0 || tile.height() <= 0)
        return;
    QImage source = image;
    const qint64 across = (qint64(area.width()) + tile.width() - 1) / tile.width();
    const qint64 down = (qint64(area.height()) + tile.height() - 1) / tile.height();
    if (across * down > MaxPrintTiles) {
        // Repeat the texture into a larger tile: the same pixels, fewer images drawn.
        const int rx = int(std::clamp<qint64>(across / 32 + 1, 1, std::max(1, 2048 / image.width())));
        const int ry = int(std::clamp<qint64>(down / 32 + 1, 1, std::max(1, 2048 / image.height())));
        source = repeatCache().get(image, QSize(rx, ry));
        tile = QSize(tile.width() * (source.width() / image.width()),
                     tile.height() * (source.height() / image.height()));
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    int drawn = 0;
    for (qint64 y = area.top(); y < area.top() + qint64(area.height()); y += tile.height())
        for (qint64 x = area.left(); x < area.left() + qint64(area.width()); x += tile.width()) {
            if (++drawn > 4 * MaxPrintTiles)
                break;
            p.drawImage(QRect(int(x), int(y), tile.width() + overlap, tile.height() + overlap), source,
                        source.rect());
        }
    p.restore();
}

QString TextureFileMask()
{
    return QStringLiteral("*.BMP;*.JPG;*.JIF;*.ICO");
}

std::unique_ptr<TBitmap> LoadTextureFile(const QString &path, QString *error)
{
    const QString ext = QFileInfo(path).suffix().toUpper();
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return nullptr;
    };
    if (ext != QLatin1String("BMP") && ext != QLatin1String("JPG") && ext != QLatin1String("JIF")
        && ext != QLatin1String("ICO"))
        return fail(QStringLiteral("Not a texture file (BMP, JPG, JIF or ICO)"));
    LoadedPicture loaded = LoadPictureFile(path);
    const QString bmpError = QStringLiteral("Error loading file!");
    if (!loaded.graphic)
        return fail(ext == QLatin1String("BMP") ? bmpError
                    : loaded.error.isEmpty()    ? QStringLiteral("Not a picture file")
                                                : loaded.error);
    auto bitmap = std::make_unique<TBitmap>();
    try {
        if (const auto *b = dynamic_cast<const TBitmap *>(loaded.graphic.get()))
            bitmap->LoadData(b->SaveData());
        else
            bitmap->SetImage(loaded.graphic->ToImage());
    } catch (const EStreamError &e) {
        return fail(ext == QLatin1String("BMP") ? bmpError : e.message());
    }
    if (bitmap->IsEmpty() || bitmap->Image().isNull())
        return fail(ext == QLatin1String("BMP") ? bmpError : QStringLiteral("Not a picture file"));
    return bitmap;
}

QPen OutlinePen(TColor color, TPenStyle style, double width)
{
    QPen pen(CanvasColor(color));
    pen.setWidthF(std::clamp(width, 0.0, double(drawlimits::MaxPenWidth)));
    pen.setStyle(QtPenStyle(style));
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

namespace {

void paintShadow(QPainter &p, const TSurfaceLayers &l)
{
    if (!l.shadow || l.shadowPath.isEmpty())
        return;
    p.setPen(l.shadowPen);
    p.setBrush(CanvasColor(l.shadowColor));
    p.drawPath(l.shadowPath);
}

void paintOutline(QPainter &p, const TSurfaceLayers &l)
{
    if (!l.outline || l.path.isEmpty() || l.outlinePen.style() == Qt::NoPen)
        return;
    p.setPen(l.outlinePen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(l.path);
}

}  // namespace

void PaintScreen(QPainter &p, const TSurfaceLayers &l)
{
    p.save();
    paintShadow(p, l);
    if (!l.path.isEmpty()) {
        switch (l.fill) {
        case TFillKind::None: break;
        case TFillKind::Solid: p.fillPath(l.path, CanvasColor(l.solidColor)); break;
        case TFillKind::Texture: {
            const QImage texture = DrawableTexture(l.texture);
            // A scaled-down copy stands for the whole texture: the tile keeps its size.
            if (!texture.isNull())
                TileFill(p, l.path, texture, l.tileSize.isEmpty() ? QSizeF(l.texture.size()) : l.tileSize,
                         l.area.topLeft());
            break;
        }
        case TFillKind::Gradient: {
            const QImage strip = GradientStrip(l.area.size(), l.direction, l.fromColor, l.toColor);
            if (!strip.isNull())
                TileFill(p, l.path, strip, QSizeF(strip.size()), l.area.topLeft());
            break;
        }
        }
    }
    paintOutline(p, l);
    p.restore();
}

QLinearGradient PrintGradient(const QRect &area, TFillDirection d, TColor from, TColor to)
{
    const Ends ends = GradientEnds(d, from, to);
    const bool columns = BandsAreColumns(d);
    const int extent = std::max(columns ? area.width() : area.height(), 1);
    // From the middle of band 0 to the middle of band 255: each band's
    // middle gets the band's own colour, and the ends stay as bands 0 and
    // 255 are beyond them.
    const double first = (BandEdge(0, extent) + BandEdge(1, extent)) / 2.0;
    const double last = (BandEdge(Bands - 1, extent) + extent) / 2.0;
    const QPointF origin = area.topLeft();
    QLinearGradient g = columns ? QLinearGradient(origin + QPointF(first, 0), origin + QPointF(last, 0))
                                : QLinearGradient(origin + QPointF(0, first), origin + QPointF(0, last));
    g.setColorAt(0, QColor::fromRgb(ends.start));
    g.setColorAt(1, QColor::fromRgb(ends.end));
    g.setSpread(QGradient::PadSpread);
    return g;
}

QPainterPath WholePixelPath(const QPainterPath &path)
{
    QPainterPath rounded = path;
    for (int i = 0; i < rounded.elementCount(); ++i) {
        const QPainterPath::Element e = rounded.elementAt(i);
        rounded.setElementPositionAt(i, std::round(e.x), std::round(e.y));
    }
    return rounded;
}

void PaintPrint(QPainter &p, const TSurfaceLayers &l, int tileOverlap)
{
    p.save();
    if (!l.origin.isNull())
        p.translate(l.origin);
    paintShadow(p, l);
    const bool brushFill = l.fill == TFillKind::Solid || l.fill == TFillKind::Gradient;
    if (!l.path.isEmpty() && brushFill) {
        const QBrush brush = l.fill == TFillKind::Solid
                                 ? QBrush(CanvasColor(l.solidColor))
                                 : QBrush(PrintGradient(l.area, l.direction, l.fromColor, l.toColor));
        if (QRectF(l.area).contains(l.path.boundingRect())) {
            // The path filled with the brush and stroked in one go: the PDF
            // page holds it once, with no clip to set and undo.
            const bool outline = l.outline && l.outlinePen.style() != Qt::NoPen;
            p.setPen(outline ? l.outlinePen : QPen(Qt::NoPen));
            p.setBrush(brush);
            p.drawPath(l.path);
            p.restore();
            return;
        }
        // Parts of the path beyond the area stay unfilled.
        p.save();
        p.setClipRect(l.area, Qt::IntersectClip);
        p.fillPath(l.path, brush);
        p.restore();
    } else if (!l.path.isEmpty() && l.fill == TFillKind::Texture) {
        p.save();
        p.setClipPath(l.path, Qt::IntersectClip);
        const QImage texture = DrawableTexture(l.texture);
        const QSize tile(qRound(l.tileSize.width()), qRound(l.tileSize.height()));
        PrintTiles(p, l.area, texture, tile, tileOverlap);
        p.restore();
    }
    paintOutline(p, l);
    p.restore();
}

QByteArray LayersKey(const TSurfaceLayers &l)
{
    QByteArray key;
    QDataStream out(&key, QIODevice::WriteOnly);
    out << l.shadow << l.shadowPath << quint32(l.shadowColor) << l.shadowPen << l.path << int(l.fill)
        << quint32(l.solidColor) << (l.fill == TFillKind::Texture ? l.texture.cacheKey() : 0) << l.tileSize
        << int(l.direction) << quint32(l.fromColor) << quint32(l.toColor) << l.area << l.outline << l.outlinePen;
    return key;
}

void PaintKept(QPainter &painter, TKeptPicture &kept, const QByteArray &key, const QRect &area,
               const std::function<void(QPainter &)> &paint)
{
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1;
    if (area.isEmpty())
        return;
    if (painter.transform().type() > QTransform::TxTranslate
        || qreal(area.width()) * area.height() * ratio * ratio > 4'000'000) {
        kept = {};
        painter.save();
        painter.setClipRect(area, Qt::IntersectClip);
        paint(painter);
        painter.restore();
        return;
    }
    if (kept.key != key || kept.image.isNull() || kept.image.devicePixelRatio() != ratio
        || kept.image.deviceIndependentSize() != QSizeF(area.size())) {
        QImage image((QSizeF(area.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.translate(-area.topLeft());
        paint(p);
        p.end();
        kept = {key, image};
    }
    painter.drawImage(area.topLeft(), kept.image);
}

}  // namespace surfacefill
