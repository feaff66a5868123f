#include "print/engine/Canvas.h"

#include <algorithm>
#include <cmath>

QColor CanvasColor(TColor c)
{
    if (c < 0)
        return ColorToQColor(c);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

Qt::PenStyle QtPenStyle(TPenStyle style)
{
    switch (style) {
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    case psSolid:
    case psInsideFrame: break;
    }
    return Qt::SolidLine;
}

Qt::BrushStyle QtBrushStyle(TBrushStyle style)
{
    switch (style) {
    case bsClear: return Qt::NoBrush;
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::FDiagPattern;
    case bsBDiagonal: return Qt::BDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    case bsSolid: break;
    }
    return Qt::SolidPattern;
}

QPainter::CompositionMode QtCompositionMode(TPenMode mode)
{
    switch (mode) {
    case pmBlack: return QPainter::RasterOp_ClearDestination;
    case pmWhite: return QPainter::RasterOp_SetDestination;
    case pmNop: return QPainter::CompositionMode_Destination;
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmNotCopy: return QPainter::RasterOp_NotSource;
    case pmMergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    case pmCopy: break;
    }
    return QPainter::CompositionMode_SourceOver;
}

int drawlimits::ClampPenWidth(long long width)
{
    return int(std::clamp<long long>(width, 0, MaxPenWidth));
}

int drawlimits::ClampFontPixels(long long pixels)
{
    return int(std::clamp<long long>(pixels, 1, MaxFontPixels));
}

int drawlimits::ClampCoordinate(double v)
{
    if (std::isnan(v))
        return 0;
    return int(std::clamp(v, -double(MaxDeviceCoordinate), double(MaxDeviceCoordinate)));
}

QFont TCanvasFont::ToQFont() const
{
    QFont font(Name);
    font.setStyleStrategy(QFont::PreferDefault);
    font.setBold(Style & (1u << fsBold));
    font.setItalic(Style & (1u << fsItalic));
    font.setUnderline(Style & (1u << fsUnderline));
    font.setStrikeOut(Style & (1u << fsStrikeOut));
    if (Height < 0) {
        font.setPixelSize(drawlimits::ClampFontPixels(-static_cast<long long>(Height)));
    } else if (Height > 0) {
        // A positive height is the whole cell; scale the em size to fit it.
        const int height = drawlimits::ClampFontPixels(Height);
        font.setPixelSize(height);
        const int cell = QFontMetrics(font).height();
        if (cell > 0)
            font.setPixelSize(drawlimits::ClampFontPixels(qRound(double(height) * height / cell)));
    }
    return font;
}

TCanvas::TCanvas(QPainter &painter)
    : mPainter(&painter)
{
}

bool TCanvas::applyMode()
{
    mPainter->setRenderHint(QPainter::Antialiasing, false);
    if (Pen.Mode == pmNop)
        return false;
    mPainter->setCompositionMode(QtCompositionMode(Pen.Mode));
    return true;
}

namespace {

// pmBlack and pmWhite paint a fixed colour whatever pen or brush is set.
QColor modeColor(TPenMode mode, TColor c)
{
    if (mode == pmBlack)
        return Qt::black;
    if (mode == pmWhite)
        return Qt::white;
    return CanvasColor(c);
}

QPainter::CompositionMode modeFor(TPenMode mode)
{
    return mode == pmBlack || mode == pmWhite ? QPainter::CompositionMode_SourceOver
                                              : QtCompositionMode(mode);
}

// Restores the painter's composition mode, pen and brush.
struct PainterState
{
    explicit PainterState(QPainter &p) : painter(p), mode(p.compositionMode()), pen(p.pen()),
        brush(p.brush()), aa(p.testRenderHint(QPainter::Antialiasing)) {}
    ~PainterState()
    {
        painter.setCompositionMode(mode);
        painter.setPen(pen);
        painter.setBrush(brush);
        painter.setRenderHint(QPainter::Antialiasing, aa);
    }
    QPainter &painter;
    QPainter::CompositionMode mode;
    QPen pen;
    QBrush brush;
    bool aa;
};

// The pixels of a one-pixel line from a to b, b itself excluded.
QPolygon linePixels(QPoint a, QPoint b)
{
    QPolygon points;
    int x = a.x(), y = a.y();
    const int dx = std::abs(b.x() - x), dy = -std::abs(b.y() - y);
    const int sx = b.x() > x ? 1 : -1, sy = b.y() > y ? 1 : -1;
    int err = dx + dy;
    while (x != b.x() || y != b.y()) {
        points << QPoint(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return points;
}

}  // namespace

QPen TCanvas::strokePen() const
{
    QPen pen(modeColor(Pen.Mode, Pen.Color));
    if (Pen.Width <= 1) {
        pen.setWidth(0);
        pen.setStyle(QtPenStyle(Pen.Style));
    } else {
        // Wide pens draw solid whatever their style.
        pen.setWidth(drawlimits::ClampPenWidth(Pen.Width));
        pen.setStyle(Pen.Style == psClear ? Qt::NoPen : Qt::SolidLine);
    }
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void TCanvas::MoveTo(int x, int y)
{
    mPenPos = QPoint(x, y);
}

void TCanvas::LineTo(int x, int y)
{
    const QPoint from = mPenPos, to(x, y);
    mPenPos = to;
    if (from == to || Pen.Style == psClear)
        return;
    PainterState state(*mPainter);
    if (!applyMode())
        return;
    mPainter->setCompositionMode(modeFor(Pen.Mode));
    const int p = Pen.Width;
    if (p <= 1) {
        mPainter->setPen(strokePen());
        const QPolygon pixels = linePixels(from, to);
        if (Pen.Style == psSolid || Pen.Style == psInsideFrame || pixels.size() < 2)
            mPainter->drawPoints(pixels);
        else
            mPainter->drawLine(pixels.first(), pixels.last());
        return;
    }
    const QColor color = modeColor(Pen.Mode, Pen.Color);
    const int h = p / 2;
    if (from.y() == to.y()) {
        const int x1 = to.x() > from.x() ? from.x() : to.x() + 1;
        const int x2 = to.x() > from.x() ? to.x() : from.x() + 1;
        mPainter->fillRect(QRect(x1, from.y() - h, x2 - x1, p), color);
    } else if (from.x() == to.x()) {
        const int y1 = to.y() > from.y() ? from.y() : to.y() + 1;
        const int y2 = to.y() > from.y() ? to.y() : from.y() + 1;
        mPainter->fillRect(QRect(from.x() - h, y1, p, y2 - y1), color);
    } else {
        mPainter->setPen(strokePen());
        mPainter->drawLine(QPointF(from) + QPointF(0.5, 0.5), QPointF(to) + QPointF(0.5, 0.5));
    }
}

namespace {

enum class Figure { Rect, Round, Ellipse };

QPainterPath figurePath(Figure f, const QRectF &r, double cw, double ch)
{
    QPainterPath path;
    if (r.width() <= 0 || r.height() <= 0)
        return path;
    switch (f) {
    case Figure::Rect: path.addRect(r); break;
    case Figure::Round:
        path.addRoundedRect(r, qMin(cw, r.width()) / 2, qMin(ch, r.height()) / 2);
        break;
    case Figure::Ellipse: path.addEllipse(r); break;
    }
    return path;
}

}  // namespace

// Rectangle, RoundRect and Ellipse share one routine: the interior is filled
// with the brush, then the stroke is painted as the ring between the outer
// and inner edge of the pen, so every pixel is painted once (exclusive-or
// modes stay reversible).
static void drawFigure(TCanvas &c, QPainter &painter, Figure f, int x1, int y1, int x2, int y2,
                       int cw, int ch, bool modeOk)
{
    if (!modeOk)
        return;
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const bool stroke = c.Pen.Style != psClear;
    const int p = stroke ? qMax(1, c.Pen.Width) : 0;
    QRectF outer = stroke ? (c.Pen.Style == psInsideFrame
                                 ? QRectF(QPointF(x1, y1), QPointF(x2, y2))
                                 : QRectF(QPointF(x1 - p / 2, y1 - p / 2),
                                          QPointF(x2 + p - 1 - p / 2, y2 + p - 1 - p / 2)))
                          : QRectF(QPointF(x1, y1), QPointF(x2, y2));
    const QRectF inner = outer.adjusted(p, p, -p, -p);
    const bool plainStroke = !stroke || c.Pen.Width > 1 || c.Pen.Style == psSolid ||
                             c.Pen.Style == psInsideFrame;
    if (f == Figure::Rect && plainStroke) {
        // Whole pixels only: fill rectangles instead of paths.
        painter.setCompositionMode(modeFor(c.Pen.Mode));
        const QRect o = outer.toRect(), i = inner.toRect();
        if (c.Brush.Style != bsClear && (stroke ? i : o).isValid()) {
            painter.setBackgroundMode(Qt::TransparentMode);
            painter.fillRect(stroke ? i : o, QBrush(modeColor(c.Pen.Mode, c.Brush.Color),
                                                   QtBrushStyle(c.Brush.Style)));
        }
        if (!stroke || !o.isValid())
            return;
        const QColor pen = modeColor(c.Pen.Mode, c.Pen.Color);
        if (!i.isValid()) {
            painter.fillRect(o, pen);
            return;
        }
        // The four sides filled one by one (a PDF viewer snaps a lone
        // rectangle to whole pixels, not a path of four) with the colour set
        // once.
        const QRect sides[] = {QRect(o.left(), o.top(), o.width(), p),
                               QRect(o.left(), i.bottom() + 1, o.width(), p),
                               QRect(o.left(), i.top(), p, i.height()),
                               QRect(i.right() + 1, i.top(), p, i.height())};
        painter.setPen(Qt::NoPen);
        painter.setBrush(pen);
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (const QRect &side : sides)
            painter.drawRect(side);
        return;
    }
    const QPainterPath outerPath = figurePath(f, outer, cw + p - 1, ch + p - 1);
    const QPainterPath innerPath = figurePath(f, inner, qMax(0, cw - p - 1), qMax(0, ch - p - 1));
    painter.setCompositionMode(modeFor(c.Pen.Mode));
    if (c.Brush.Style != bsClear) {
        const QPainterPath &fillPath = stroke ? innerPath : outerPath;
        QBrush brush(modeColor(c.Pen.Mode, c.Brush.Color), QtBrushStyle(c.Brush.Style));
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.fillPath(fillPath, brush);
    }
    if (!stroke)
        return;
    if (c.Pen.Width <= 1 && c.Pen.Style != psSolid && c.Pen.Style != psInsideFrame) {
        // A thin styled pen: dashes along the one-pixel outline.
        QPen pen(modeColor(c.Pen.Mode, c.Pen.Color), 0, QtPenStyle(c.Pen.Style));
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(figurePath(f, QRectF(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 - 0.5, y2 - 0.5)),
                                    cw, ch));
        return;
    }
    QPainterPath ring = outerPath;
    ring.addPath(innerPath);
    ring.setFillRule(Qt::OddEvenFill);
    painter.fillPath(ring, modeColor(c.Pen.Mode, c.Pen.Color));
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    PainterState state(*mPainter);
    drawFigure(*this, *mPainter, Figure::Rect, x1, y1, x2, y2, 0, 0, applyMode());
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight)
{
    PainterState state(*mPainter);
    drawFigure(*this, *mPainter, Figure::Round, x1, y1, x2, y2, cornerWidth, cornerHeight, applyMode());
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    PainterState state(*mPainter);
    drawFigure(*this, *mPainter, Figure::Ellipse, x1, y1, x2, y2, 0, 0, applyMode());
}

void TCanvas::FillRect(const QRect &r)
{
    if (Brush.Style == bsClear)
        return;
    PainterState state(*mPainter);
    mPainter->setBackgroundMode(Qt::TransparentMode);
    mPainter->fillRect(r, QBrush(CanvasColor(Brush.Color), QtBrushStyle(Brush.Style)));
}

void TCanvas::TextOut(int x, int y, const QString &text)
{
    PainterState state(*mPainter);
    const QFont font = Font.ToQFont();
    mPainter->setFont(font);
    const QFontMetrics fm(font, mPainter->device());
    mPainter->save();
    mPainter->translate(x, y);
    if (Font.Escapement != 0)
        mPainter->rotate(-Font.Escapement / 10.0);
    if (!TransparentText)
        mPainter->fillRect(QRect(0, 0, fm.horizontalAdvance(text), fm.height()), CanvasColor(Brush.Color));
    mPainter->setPen(CanvasColor(Font.Color));
    mPainter->drawText(QPoint(0, fm.ascent()), text);
    mPainter->restore();
}

QSize TCanvas::TextExtent(const QString &text) const
{
    const QFontMetrics fm(Font.ToQFont(), mPainter->device());
    return QSize(fm.horizontalAdvance(text), fm.height());
}
