#include "print/engine/PagePlayer.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A band up to this many target pixels wide gets its edges drawn.
constexpr double ThinBand = 1.0;
// Rings (an outline's outer and inner edge) are measured only at their
// extremes, so they are given some room.
constexpr double ThinRing = 1.25;

// Hands every call of the page on to `target`, whose world transform
// maps the page's recorded pixels to the target's own.
class TForwardingEngine : public QPaintEngine
{
public:
    TForwardingEngine(QPainter &target, const QTransform &base)
        : QPaintEngine(AllFeatures), mTarget(target), mBase(base) {}

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState &state) override;

    void drawRects(const QRect *rects, int count) override;
    void drawRects(const QRectF *rects, int count) override;
    void drawLines(const QLine *lines, int count) override { mTarget.drawLines(lines, count); }
    void drawLines(const QLineF *lines, int count) override { mTarget.drawLines(lines, count); }
    void drawEllipse(const QRectF &r) override;
    void drawEllipse(const QRect &r) override { drawEllipse(QRectF(r)); }
    void drawPath(const QPainterPath &path) override;
    void drawPoints(const QPointF *points, int count) override { mTarget.drawPoints(points, count); }
    void drawPoints(const QPoint *points, int count) override { mTarget.drawPoints(points, count); }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override;
    void drawPolygon(const QPoint *points, int count, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr) override
    {
        mTarget.drawPixmap(r, pm, sr);
    }
    void drawTiledPixmap(const QRectF &r, const QPixmap &pm, const QPointF &s) override
    {
        mTarget.drawTiledPixmap(r, pm, s);
    }
    void drawImage(const QRectF &r, const QImage &image, const QRectF &sr,
                   Qt::ImageConversionFlags flags) override
    {
        mTarget.drawImage(r, image, sr, flags);
    }
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        mTarget.drawTextItem(p, item);
    }

private:
    bool canMend() const;
    void mendIfThin(const QPainterPath &fill);
    void mendRect(const QRectF &r);
    void strokeEdges(const QPainterPath &fill);

    QPainter &mTarget;
    QTransform mBase;
};

void TForwardingEngine::updateState(const QPaintEngineState &state)
{
    const DirtyFlags flags = state.state();
    // The clip is given in the coordinates that hold while it is set, so
    // the transform goes first.
    if (flags & (DirtyTransform | DirtyClipRegion | DirtyClipPath))
        mTarget.setWorldTransform(state.transform() * mBase);
    if (flags & DirtyPen)
        mTarget.setPen(state.pen());
    if (flags & DirtyBrush)
        mTarget.setBrush(state.brush());
    if (flags & DirtyBrushOrigin)
        mTarget.setBrushOrigin(state.brushOrigin());
    if (flags & DirtyFont)
        mTarget.setFont(state.font());
    if (flags & DirtyBackground)
        mTarget.setBackground(state.backgroundBrush());
    if (flags & DirtyBackgroundMode)
        mTarget.setBackgroundMode(state.backgroundMode());
    if (flags & DirtyHints) {
        mTarget.setRenderHints(mTarget.renderHints(), false);
        mTarget.setRenderHints(state.renderHints(), true);
    }
    if (flags & DirtyCompositionMode)
        mTarget.setCompositionMode(state.compositionMode());
    if (flags & DirtyOpacity)
        mTarget.setOpacity(state.opacity());
    if (flags & DirtyClipRegion) {
        if (state.clipOperation() == Qt::NoClip)
            mTarget.setClipping(false);
        else
            mTarget.setClipRegion(state.clipRegion(), state.clipOperation());
    }
    if (flags & DirtyClipPath) {
        if (state.clipOperation() == Qt::NoClip)
            mTarget.setClipping(false);
        else
            mTarget.setClipPath(state.clipPath(), state.clipOperation());
    }
    if (flags & DirtyClipEnabled)
        mTarget.setClipping(state.isClipEnabled());
}

// Only plain colour fills painted over what lies below are mended: a
// pattern has no one colour, and a raster operation painted twice would
// undo itself.
bool TForwardingEngine::canMend() const
{
    const QPainter::CompositionMode mode = mTarget.compositionMode();
    return mTarget.brush().style() == Qt::SolidPattern
           && (mode == QPainter::CompositionMode_SourceOver
               || mode == QPainter::CompositionMode_Source);
}

void TForwardingEngine::strokeEdges(const QPainterPath &fill)
{
    QPen edge(mTarget.brush().color(), 0);
    edge.setCosmetic(true);
    mTarget.strokePath(fill, edge);
}

void TForwardingEngine::mendRect(const QRectF &r)
{
    const QRectF onTarget = mTarget.worldTransform().mapRect(r.normalized());
    if (onTarget.width() >= ThinBand && onTarget.height() >= ThinBand)
        return;
    QPainterPath path;
    path.addRect(r);
    strokeEdges(path);
}

void TForwardingEngine::mendIfThin(const QPainterPath &fill)
{
    const QList<QPolygonF> parts = fill.toSubpathPolygons(mTarget.worldTransform());
    if (parts.isEmpty())
        return;
    QRectF bounds;
    for (const QPolygonF &part : parts)
        bounds |= part.boundingRect();
    bool thin = bounds.width() < ThinBand || bounds.height() < ThinBand;
    if (!thin && parts.size() == 2 && fill.fillRule() == Qt::OddEvenFill) {
        // An outline: the band between an outer and an inner edge.
        QRectF outer = parts[0].boundingRect(), inner = parts[1].boundingRect();
        if (!outer.contains(inner))
            std::swap(outer, inner);
        if (outer.contains(inner)) {
            const double band = std::min({inner.left() - outer.left(), outer.right() - inner.right(),
                                          inner.top() - outer.top(), outer.bottom() - inner.bottom()});
            thin = band < ThinRing;
        }
    }
    if (thin)
        strokeEdges(fill);
}

void TForwardingEngine::drawRects(const QRect *rects, int count)
{
    mTarget.drawRects(rects, count);
    if (!canMend())
        return;
    for (int i = 0; i < count; ++i)
        mendRect(QRectF(rects[i]));
}

void TForwardingEngine::drawRects(const QRectF *rects, int count)
{
    mTarget.drawRects(rects, count);
    if (!canMend())
        return;
    for (int i = 0; i < count; ++i)
        mendRect(rects[i]);
}

void TForwardingEngine::drawEllipse(const QRectF &r)
{
    mTarget.drawEllipse(r);
    if (canMend()) {
        QPainterPath path;
        path.addEllipse(r);
        mendIfThin(path);
    }
}

void TForwardingEngine::drawPath(const QPainterPath &path)
{
    mTarget.drawPath(path);
    if (canMend())
        mendIfThin(path);
}

void TForwardingEngine::drawPolygon(const QPointF *points, int count, PolygonDrawMode mode)
{
    const QPolygonF polygon(QList<QPointF>(points, points + count));
    switch (mode) {
    case PolylineMode: mTarget.drawPolyline(polygon); return;
    case ConvexMode: mTarget.drawConvexPolygon(polygon); break;
    case OddEvenMode: mTarget.drawPolygon(polygon, Qt::OddEvenFill); break;
    case WindingMode: mTarget.drawPolygon(polygon, Qt::WindingFill); break;
    }
    if (canMend()) {
        QPainterPath path;
        path.addPolygon(polygon);
        path.setFillRule(mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
        mendIfThin(path);
    }
}

void TForwardingEngine::drawPolygon(const QPoint *points, int count, PolygonDrawMode mode)
{
    QList<QPointF> floats;
    floats.reserve(count);
    for (int i = 0; i < count; ++i)
        floats.append(QPointF(points[i]));
    drawPolygon(floats.constData(), count, mode);
}

// The device the page is played on: the page's recorded pixels at the
// resolution a QPicture takes as its own, so that playing does not scale.
class TForwardingDevice : public QPaintDevice
{
public:
    TForwardingDevice(TForwardingEngine &engine, QSize size) : mEngine(engine), mSize(size) {}
    QPaintEngine *paintEngine() const override { return &mEngine; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        static const int dpiX = QPicture().logicalDpiX(), dpiY = QPicture().logicalDpiY();
        switch (metric) {
        case PdmWidth: return mSize.width();
        case PdmHeight: return mSize.height();
        case PdmWidthMM: return int(std::lround(mSize.width() * 25.4 / dpiX));
        case PdmHeightMM: return int(std::lround(mSize.height() * 25.4 / dpiY));
        case PdmDpiX:
        case PdmPhysicalDpiX: return dpiX;
        case PdmDpiY:
        case PdmPhysicalDpiY: return dpiY;
        case PdmNumColors: return std::numeric_limits<int>::max();
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return QPaintDevice::metric(metric);
        }
    }

private:
    TForwardingEngine &mEngine;
    QSize mSize;
};

}  // namespace

void PlayRecordedPageKeepingOutlines(QPainter &painter, const TRecordedPage &page, int resolution,
                                     const QRectF &target)
{
    const QSizeF recorded = page.SizeInches * resolution;
    if (recorded.isEmpty() || target.isEmpty() || !painter.isActive())
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / recorded.width(), target.height() / recorded.height());
    TForwardingEngine engine(painter, painter.worldTransform());
    TForwardingDevice device(engine, recorded.toSize());
    {
        QPainter player(&device);
        player.drawPicture(0, 0, page.Picture);
    }
    painter.restore();
}
