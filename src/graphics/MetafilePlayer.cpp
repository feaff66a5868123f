#include "graphics/MetafilePlayer.h"

#include <QFontMetricsF>
#include <QPaintEngine>

#include <algorithm>
#include <cmath>

namespace graphics::detail {

namespace {

// Windows-1252 at 0x80..0x9F; the rest is Latin-1.
const char16_t Cp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

Qt::BrushStyle hatchStyle(int hatch)
{
    switch (hatch) {
    case 0: return Qt::HorPattern;
    case 1: return Qt::VerPattern;
    case 2: return Qt::FDiagPattern;
    case 3: return Qt::BDiagPattern;
    case 4: return Qt::CrossPattern;
    default: return Qt::DiagCrossPattern;
    }
}

// The parts of the open polyline `poly` inside `r`, added to `out`
// (Liang-Barsky per segment; a segment that stays inside continues the line).
void ClipPolyline(const QPolygonF &poly, const QRectF &r, QPainterPath *out)
{
    bool open = false;
    for (qsizetype i = 1; i < poly.size(); ++i) {
        const QPointF a = poly[i - 1], b = poly[i];
        const double dx = b.x() - a.x(), dy = b.y() - a.y();
        if (!std::isfinite(dx) || !std::isfinite(dy)) {
            open = false;
            continue;
        }
        double t0 = 0, t1 = 1;
        auto edge = [&](double p, double q) {
            if (p == 0)
                return q >= 0;
            const double t = q / p;
            if (p < 0) {
                if (t > t1) return false;
                t0 = std::max(t0, t);
            } else {
                if (t < t0) return false;
                t1 = std::min(t1, t);
            }
            return true;
        };
        if (!(edge(-dx, a.x() - r.left()) && edge(dx, r.right() - a.x())
              && edge(-dy, a.y() - r.top()) && edge(dy, r.bottom() - a.y()))) {
            open = false;
            continue;
        }
        if (!open || t0 > 0)
            out->moveTo(a + t0 * (b - a));
        out->lineTo(a + t1 * (b - a));
        open = t1 >= 1;
    }
}

// The closed polygon `poly` cut to the rectangle `r` (Sutherland-Hodgman).
// Cutting each subpath against a convex window keeps every winding number
// inside it, so either fill rule fills the same area.
QPolygonF ClipPolygon(const QPolygonF &poly, const QRectF &r)
{
    QPolygonF in = poly, out;
    for (int side = 0; side < 4 && !in.isEmpty(); ++side) {
        auto inside = [&](QPointF p) {
            switch (side) {
            case 0: return p.x() >= r.left();
            case 1: return p.x() <= r.right();
            case 2: return p.y() >= r.top();
            default: return p.y() <= r.bottom();
            }
        };
        auto cross = [&](QPointF a, QPointF b) {
            const double t = side == 0   ? (r.left() - a.x()) / (b.x() - a.x())
                             : side == 1 ? (r.right() - a.x()) / (b.x() - a.x())
                             : side == 2 ? (r.top() - a.y()) / (b.y() - a.y())
                                         : (r.bottom() - a.y()) / (b.y() - a.y());
            return a + t * (b - a);
        };
        out.clear();
        for (qsizetype i = 0; i < in.size(); ++i) {
            const QPointF cur = in[i], prev = in[(i + in.size() - 1) % in.size()];
            if (inside(cur)) {
                if (!inside(prev))
                    out << cross(prev, cur);
                out << cur;
            } else if (inside(prev)) {
                out << cross(prev, cur);
            }
        }
        std::swap(in, out);
    }
    return in;
}

}  // namespace

QString FromCp1252(QByteArrayView bytes)
{
    QString s;
    s.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = quint8(ch);
        if (c == 0)
            break;
        s.append(c >= 0x80 && c < 0xA0 ? QChar(Cp1252High[c - 0x80]) : QChar(c));
    }
    return s;
}

QColor ColorRef(quint32 v)
{
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

Player::Player(QPainter &painter, const QTransform &pageToTarget, double pagePerMmX,
               double pagePerMmY, ImageCache *imageCache)
    : cache(imageCache), mPainter(painter), mBase(painter.transform()), mPageToTarget(pageToTarget),
      mPxPerMmX(pagePerMmX), mPxPerMmY(pagePerMmY)
{
    mPainter.save();
    const QPaintEngine *engine = painter.paintEngine();
    mRasterOps = engine && engine->hasFeature(QPaintEngine::RasterOpModes);
}

Player::~Player()
{
    mPainter.restore();
}

void Player::addObject(const GdiObject &o)
{
    for (GdiObject &slot : objects)
        if (slot.kind == GdiObject::None) {
            slot = o;
            return;
        }
    if (objects.size() < size_t(MaxObjects))
        objects.push_back(o);
}

void Player::setObject(quint32 index, const GdiObject &o)
{
    if (index >= quint32(MaxObjects))
        return;
    if (index >= objects.size())
        objects.resize(index + 1);
    objects[index] = o;
}

void Player::selectObject(quint32 index)
{
    if (index >= objects.size())
        return;
    const GdiObject &o = objects[index];
    switch (o.kind) {
    case GdiObject::Pen: dc.pen = o.pen; break;
    case GdiObject::Brush: dc.brush = o.brush; break;
    case GdiObject::Font: dc.font = o.font; break;
    case GdiObject::Region: setClipPage(&o.region, 5); break;
    default: break;
    }
}

void Player::selectStock(int n)
{
    static const int greys[5] = {255, 192, 128, 64, 0};
    if (n >= 0 && n <= 4) {
        dc.brush = GdiBrush();
        dc.brush.color = QColor(greys[n], greys[n], greys[n]);
    } else if (n == 5) {
        dc.brush = GdiBrush();
        dc.brush.style = 1;
    } else if (n == 6 || n == 7) {
        dc.pen = GdiPen();
        dc.pen.color = n == 6 ? Qt::white : Qt::black;
    } else if (n == 8) {
        dc.pen = GdiPen();
        dc.pen.style = 5;
    } else if (n >= 10 && n <= 17) {
        dc.font = GdiFont();
    }
}

void Player::deleteObject(quint32 index)
{
    if (index < objects.size())
        objects[index] = GdiObject();
}

void Player::setMapMode(int mode)
{
    if (mode >= 1 && mode <= 8)
        dc.mapMode = mode;
}

void Player::setWindowExt(QSizeF s)
{
    if (s.width() != 0 && s.height() != 0)
        dc.winExt = s;
}

void Player::setViewportExt(QSizeF s)
{
    if (s.width() != 0 && s.height() != 0)
        dc.vpExt = s;
}

QTransform Player::logicalToPage() const
{
    double sx = 1, sy = 1;
    switch (dc.mapMode) {
    case 2: sx = mPxPerMmX / 10, sy = -mPxPerMmY / 10; break;       // MM_LOMETRIC
    case 3: sx = mPxPerMmX / 100, sy = -mPxPerMmY / 100; break;     // MM_HIMETRIC
    case 4: sx = mPxPerMmX * 0.254, sy = -mPxPerMmY * 0.254; break; // MM_LOENGLISH
    case 5: sx = mPxPerMmX * 0.0254, sy = -mPxPerMmY * 0.0254; break;
    case 6: sx = mPxPerMmX * 25.4 / 1440, sy = -mPxPerMmY * 25.4 / 1440; break;  // MM_TWIPS
    case 7:
    case 8:
        sx = dc.vpExt.width() / dc.winExt.width();
        sy = dc.vpExt.height() / dc.winExt.height();
        if (dc.mapMode == 7) {  // isotropic: the smaller scale both ways
            const double k = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(k, sx);
            sy = std::copysign(k, sy);
        }
        break;
    default: break;
    }
    QTransform t;
    t.translate(dc.vpOrg.x(), dc.vpOrg.y());
    t.scale(sx, sy);
    t.translate(-dc.winOrg.x(), -dc.winOrg.y());
    return t;
}

QTransform Player::logicalToTarget() const
{
    return dc.world * logicalToPage() * mPageToTarget * mBase;
}

void Player::save()
{
    if (mSaved.size() < size_t(MaxSavedStates))
        mSaved.push_back(dc);
    else
        mSaved.back() = dc;  // deeper saves overwrite the deepest
}

void Player::restore(int which)
{
    // Negative: relative to the newest; positive: the instance number.
    const qsizetype n = qsizetype(mSaved.size());
    const qsizetype keep = which < 0 ? n + which : which - 1;
    if (keep < 0 || keep >= n)
        return;
    dc = mSaved[size_t(keep)];
    mSaved.resize(size_t(keep));
    applyClip();
}

bool Player::preparePen(QPen *pen) const
{
    const int style = dc.pen.style & 0xF;
    if (style == 5)  // PS_NULL
        return false;
    QColor c = dc.pen.color;
    if (dc.rop2 == 1) c = Qt::black;
    if (dc.rop2 == 16) c = Qt::white;
    *pen = QPen(c);
    // Logical width, kept to what a picture can show; 0 is one device pixel.
    const QTransform t = logicalToTarget();
    const double scale = std::sqrt(std::abs(t.determinant()));
    double w = dc.pen.width;
    if (scale > 0 && w * scale > 2000)
        w = 2000 / scale;
    if (w <= 0) {
        pen->setCosmetic(true);
        pen->setWidthF(1);
    } else {
        pen->setWidthF(w);
    }
    switch (style) {
    case 1: pen->setStyle(Qt::DashLine); break;
    case 2: pen->setStyle(Qt::DotLine); break;
    case 3: pen->setStyle(Qt::DashDotLine); break;
    case 4: pen->setStyle(Qt::DashDotDotLine); break;
    default: break;
    }
    const int cap = dc.pen.style & 0xF00, join = dc.pen.style & 0xF000;
    pen->setCapStyle(cap == 0x200 ? Qt::FlatCap : cap == 0x100 ? Qt::SquareCap : Qt::RoundCap);
    pen->setJoinStyle(join == 0x2000 ? Qt::MiterJoin : join == 0x1000 ? Qt::BevelJoin : Qt::RoundJoin);
    return true;
}

bool Player::prepareBrush(QBrush *brush) const
{
    QColor c = dc.brush.color;
    if (dc.rop2 == 1) c = Qt::black;
    if (dc.rop2 == 16) c = Qt::white;
    switch (dc.brush.style) {
    case 1: return false;  // BS_NULL
    case 0: *brush = QBrush(c); return true;
    case 2: *brush = QBrush(c, hatchStyle(dc.brush.hatch)); return true;
    default:
        if (dc.brush.pattern.isNull())
            *brush = QBrush(c);
        else
            *brush = QBrush(dc.brush.pattern);
        return true;
    }
}

bool Player::begin()
{
    if (dc.rop2 == 11)  // R2_NOP
        return false;
    mPainter.setTransform(logicalToTarget());
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    if (mRasterOps) {
        switch (dc.rop2) {
        case 6: mode = QPainter::RasterOp_NotDestination; break;
        case 7: mode = QPainter::RasterOp_SourceXorDestination; break;
        case 9: mode = QPainter::RasterOp_SourceAndDestination; break;
        case 15: mode = QPainter::RasterOp_SourceOrDestination; break;
        case 4: mode = QPainter::RasterOp_NotSource; break;
        default: break;
        }
    }
    mPainter.setCompositionMode(mode);
    return true;
}

void Player::draw(const QPainterPath &p, bool fill, bool stroke)
{
    if (inPath) {
        path.addPath(p);
        return;
    }
    if (!begin())
        return;
    QBrush brush;
    QPen pen;
    const bool hasBrush = fill && prepareBrush(&brush);
    const bool hasPen = stroke && preparePen(&pen);
    if (!hasBrush && !hasPen)
        return;
    if (farBeyondTarget(p, hasPen ? &pen : nullptr)) {
        drawCut(p, hasBrush ? &brush : nullptr, hasPen ? &pen : nullptr);
        return;
    }
    if (hasBrush) {
        if (dc.brush.style == 2 && dc.bkMode == 2)
            mPainter.fillPath(p, dc.bkColor);
        mPainter.fillPath(p, brush);
    }
    if (hasPen)
        mPainter.strokePath(p, pen);
}

// Where the painter can draw, in its coordinates with no world transform:
// the device with a margin, or for a recording (whose size is not known
// yet) a square far larger than any page.
QRectF Player::reach() const
{
    const QPaintDevice *d = mPainter.device();
    QRectF box(-ReachPixels, -ReachPixels, 2.0 * ReachPixels, 2.0 * ReachPixels);
    if (d && d->devType() != QInternal::Picture && d->width() > 0 && d->height() > 0)
        box = QRectF(0, 0, d->width(), d->height()).adjusted(-4096, -4096, 4096, 4096);
    bool ok = true;
    const QTransform view = mPainter.worldTransform().inverted(&ok) * mPainter.combinedTransform();
    return ok ? view.inverted().mapRect(box) : box;
}

bool Player::farBeyondTarget(const QPainterPath &p, const QPen *pen) const
{
    const QTransform &t = mPainter.worldTransform();
    QRectF bounds = t.mapRect(p.controlPointRect());
    if (pen && !pen->isCosmetic()) {
        const double w = pen->widthF() * std::sqrt(std::abs(t.determinant()));
        bounds.adjust(-w, -w, w, w);
    }
    return !reach().contains(bounds);
}

// Draws a path that reaches far beyond the target: flattened and cut to
// what can be seen in device terms, then filled and stroked without the
// world transform. Stroking and rasterising millions of pixels outside the
// target is what this avoids; what shows inside is the same, except that
// a dash pattern starts afresh where a line enters.
void Player::drawCut(const QPainterPath &p, const QBrush *brush, const QPen *pen)
{
    const QTransform t = mPainter.worldTransform();
    const double scale = std::sqrt(std::abs(t.determinant()));
    const double penWidth = !pen ? 0 : pen->isCosmetic() ? pen->widthF() : pen->widthF() * scale;
    const QRectF window = reach().adjusted(-penWidth, -penWidth, penWidth, penWidth);
    const QList<QPolygonF> polygons = p.toSubpathPolygons(t);
    mPainter.setWorldTransform(QTransform());
    if (brush) {
        QPainterPath area;
        area.setFillRule(p.fillRule());
        for (const QPolygonF &poly : polygons) {
            const QPolygonF cut = ClipPolygon(poly, window);
            if (cut.size() > 2)
                area.addPolygon(cut);
        }
        if (dc.brush.style == 2 && dc.bkMode == 2)
            mPainter.fillPath(area, dc.bkColor);
        mPainter.fillPath(area, *brush);
    }
    if (pen) {
        QPainterPath lines;
        for (const QPolygonF &poly : polygons)
            ClipPolyline(poly, window, &lines);
        QPen devicePen = *pen;
        if (!pen->isCosmetic())
            devicePen.setWidthF(penWidth);
        mPainter.strokePath(lines, devicePen);
    }
    mPainter.setWorldTransform(t);
}

void Player::fillPath(const QPainterPath &logical, bool fill, bool stroke)
{
    const bool was = inPath;
    inPath = false;
    draw(logical, fill, stroke);
    inPath = was;
}

void Player::lineTo(QPointF p)
{
    if (inPath) {
        path.lineTo(p);
    } else {
        QPainterPath line(dc.pos);
        line.lineTo(p);
        draw(line, false, true);
    }
    dc.pos = p;
}

void Player::polyline(const QPolygonF &points)
{
    if (points.size() < 2)
        return;
    QPainterPath p;
    p.addPolygon(points);
    draw(p, false, true);
}

void Player::polygon(const QPolygonF &points)
{
    if (points.size() < 2)
        return;
    QPainterPath p;
    p.setFillRule(dc.polyFill == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    p.addPolygon(points);
    p.closeSubpath();
    draw(p, true, true);
}

void Player::polyPolygon(const std::vector<QPolygonF> &polygons)
{
    QPainterPath p;
    p.setFillRule(dc.polyFill == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    for (const QPolygonF &poly : polygons) {
        p.addPolygon(poly);
        p.closeSubpath();
    }
    draw(p, true, true);
}

void Player::polyPolyline(const std::vector<QPolygonF> &lines)
{
    QPainterPath p;
    for (const QPolygonF &line : lines)
        p.addPolygon(line);
    draw(p, false, true);
}

void Player::polyBezier(const QPolygonF &points, bool fromCurrent)
{
    QPainterPath p;
    qsizetype i = 0;
    if (fromCurrent) {
        p.moveTo(dc.pos);
    } else {
        if (points.isEmpty())
            return;
        p.moveTo(points[0]);
        i = 1;
    }
    for (; i + 2 < points.size(); i += 3)
        p.cubicTo(points[i], points[i + 1], points[i + 2]);
    if (fromCurrent)
        dc.pos = p.currentPosition();
    if (inPath && fromCurrent) {
        path.connectPath(p);
        return;
    }
    draw(p, false, true);
}

void Player::rectangle(const QRectF &r)
{
    QPainterPath p;
    p.addRect(r.normalized());
    draw(p, true, true);
}

void Player::roundRect(const QRectF &r, QSizeF corner)
{
    QPainterPath p;
    p.addRoundedRect(r.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    draw(p, true, true);
}

void Player::ellipse(const QRectF &r)
{
    QPainterPath p;
    p.addEllipse(r.normalized());
    draw(p, true, true);
}

void Player::arc(const QRectF &box, QPointF start, QPointF end, ArcKind kind)
{
    const QRectF r = box.normalized();
    if (r.isEmpty())
        return;
    const QPointF c = r.center();
    // Angles of the radials, counter-clockwise in a y-down space; arcs run
    // counter-clockwise from start to end.
    const double a1 = std::atan2(-(start.y() - c.y()) * r.width(), (start.x() - c.x()) * r.height());
    const double a2 = std::atan2(-(end.y() - c.y()) * r.width(), (end.x() - c.x()) * r.height());
    double sweep = (a2 - a1) * 180 / M_PI;
    if (sweep <= 0)
        sweep += 360;
    QPainterPath p;
    // A pie starts at the centre: arcTo() joins it to the start of the arc.
    if (kind == Pie)
        p.moveTo(c);
    else
        p.arcMoveTo(r, a1 * 180 / M_PI);
    p.arcTo(r, a1 * 180 / M_PI, sweep);
    if (kind != Arc)
        p.closeSubpath();
    draw(p, kind != Arc, true);
}

void Player::setPixel(QPointF p, const QColor &c)
{
    if (!begin())
        return;
    mPainter.fillRect(QRectF(p, QSizeF(1, 1)), c);
}

void Player::patBlt(const QRectF &r, quint32 rop)
{
    if (!begin())
        return;
    QBrush brush;
    if (rop == 0x00000042) brush = Qt::black;                 // BLACKNESS
    else if (rop == 0x00FF0062) brush = Qt::white;            // WHITENESS
    else if (rop == 0x00AA0029) return;                       // destination unchanged
    else if (!prepareBrush(&brush)) return;
    mPainter.fillRect(r.normalized(), brush);
}

void Player::text(QPointF p, const QString &s, const std::vector<double> &dx, const QRectF *opaque)
{
    if (s.isEmpty() && !opaque)
        return;
    const QTransform t = logicalToTarget();
    const bool updateCp = dc.textAlign & 1;
    const QPointF origin = updateCp ? dc.pos : p;
    if (!begin())
        return;
    if (opaque)
        mPainter.fillRect(*opaque, dc.bkColor);
    if (s.isEmpty())
        return;
    // Text is drawn in the painter's own units, upright whatever the
    // mapping mode's axes do, at the font's height scaled by the mapping.
    const double sy = std::hypot(t.m12(), t.m22()), sx = std::hypot(t.m11(), t.m21());
    double px = dc.font.height == 0 ? 12 * sy : std::abs(dc.font.height) * sy;
    px = std::clamp(px, 1.0, MaxFontPixels);
    QFont font(dc.font.face);
    font.setPixelSize(std::max(1, int(std::lround(px))));
    if (dc.font.height > 0) {  // cell height: scale to the character height
        const QFontMetricsF m(font);
        const double cell = m.ascent() + m.descent();
        if (cell > 0)
            font.setPixelSize(std::max(1, int(std::lround(px * px / cell))));
    }
    font.setWeight(QFont::Weight(dc.font.weight <= 0 ? 400 : std::clamp(dc.font.weight, 100, 900)));
    font.setItalic(dc.font.italic);
    font.setUnderline(dc.font.underline);
    font.setStrikeOut(dc.font.strikeOut);
    const QFontMetricsF m(font);
    double width = 0;
    if (!dx.empty())
        for (size_t i = 0; i < dx.size() && i < size_t(s.size()); ++i)
            width += dx[i] * sx;
    else
        width = m.horizontalAdvance(s);
    double x = 0, y = 0;
    switch (dc.textAlign & 6) {
    case 2: x = -width; break;     // TA_RIGHT
    case 6: x = -width / 2; break; // TA_CENTER
    default: break;
    }
    switch (dc.textAlign & 24) {
    case 8: y = -m.descent(); break;  // TA_BOTTOM
    case 24: y = 0; break;            // TA_BASELINE
    default: y = m.ascent(); break;   // TA_TOP
    }
    mPainter.setTransform(mBase);
    mPainter.translate((origin * dc.world * logicalToPage() * mPageToTarget));
    mPainter.rotate(-dc.font.escapement / 10.0);
    mPainter.setFont(font);
    if (dc.bkMode == 2 && !opaque)
        mPainter.fillRect(QRectF(x, y - m.ascent(), width, m.height()), dc.bkColor);
    mPainter.setPen(dc.textColor);
    if (dx.empty()) {
        mPainter.drawText(QPointF(x, y), s);
    } else {
        double at = x;
        for (qsizetype i = 0; i < s.size(); ++i) {
            mPainter.drawText(QPointF(at, y), QString(s[i]));
            at += i < qsizetype(dx.size()) ? dx[size_t(i)] * sx : m.horizontalAdvance(s[i]);
        }
    }
    if (updateCp) {
        const double logicalWidth = sx > 0 ? width / sx : 0;
        dc.pos = origin + QPointF((dc.textAlign & 6) == 2 ? -logicalWidth : logicalWidth, 0);
    }
}

void Player::image(const QRectF &dst, const QImage &img, QRectF src, quint32 rop)
{
    if (img.isNull() || src.width() == 0 || src.height() == 0 || !begin())
        return;
    if (rop == 0x008800C6)       // SRCAND
        mPainter.setCompositionMode(QPainter::CompositionMode_Multiply);
    else if (rop == 0x00EE0086)  // SRCPAINT
        mPainter.setCompositionMode(QPainter::CompositionMode_Lighten);
    QTransform t = logicalToTarget();
    t = QTransform::fromTranslate(-src.x(), -src.y())
        * QTransform::fromScale(dst.width() / src.width(), dst.height() / src.height())
        * QTransform::fromTranslate(dst.x(), dst.y()) * t;
    mPainter.setTransform(t);
    mPainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (src == QRectF(img.rect())) {
        mPainter.drawImage(QPointF(0, 0), img);
        return;
    }
    // Part of the bitmap: the whole image drawn through a clip, because a
    // PDF writer handed a part copies it into a new image every time, and
    // the page would then carry one copy a label.
    mPainter.save();
    mPainter.setClipRect(src, Qt::IntersectClip);
    mPainter.drawImage(QPointF(0, 0), img);
    mPainter.restore();
}

void Player::applyClip()
{
    mPainter.restore();
    mPainter.save();
    if (dc.clipping) {
        mPainter.setTransform(mBase);
        mPainter.setClipPath(mPageToTarget.map(dc.clip), Qt::IntersectClip);
    }
}

void Player::intersectClip(const QRectF &r)
{
    QPainterPath p;
    p.addPolygon(logicalToPage().map(QPolygonF(r.normalized())));
    p.closeSubpath();
    dc.clip = dc.clipping ? dc.clip.intersected(p) : p;
    dc.clipping = true;
    applyClip();
}

void Player::excludeClip(const QRectF &r)
{
    QPainterPath p;
    p.addPolygon(logicalToPage().map(QPolygonF(r.normalized())));
    p.closeSubpath();
    if (!dc.clipping) {
        QPainterPath all;
        all.addRect(mPageToTarget.inverted().mapRect(QRectF(-1e6, -1e6, 2e6, 2e6)));
        dc.clip = all;
    }
    dc.clip = dc.clip.subtracted(p);
    dc.clipping = true;
    applyClip();
}

void Player::setClipPage(const QPainterPath *pagePath, int mode)
{
    if (!pagePath) {
        dc.clipping = false;
        dc.clip = QPainterPath();
    } else if (mode == 5 || !dc.clipping) {  // RGN_COPY, or nothing to combine with
        dc.clip = *pagePath;
        dc.clipping = true;
    } else {
        switch (mode) {
        case 1: dc.clip = dc.clip.intersected(*pagePath); break;
        case 2: dc.clip = dc.clip.united(*pagePath); break;
        case 4: dc.clip = dc.clip.subtracted(*pagePath); break;
        default: dc.clip = dc.clip.united(*pagePath).subtracted(dc.clip.intersected(*pagePath)); break;
        }
    }
    applyClip();
}

void Player::offsetClip(QPointF d)
{
    if (!dc.clipping)
        return;
    const QTransform t = logicalToPage();
    dc.clip.translate(t.map(d) - t.map(QPointF(0, 0)));
    applyClip();
}

}  // namespace graphics::detail
