// The EMF record player. Offsets inside a record (strings, bitmaps) are from
// the start of the record and are checked against its size.

#include "graphics/Bmp.h"
#include "graphics/ByteReader.h"
#include "graphics/MetafilePlayer.h"

namespace graphics::detail {

namespace {

QRectF rectl(ByteReader &in)
{
    const qint32 l = in.s32(), t = in.s32(), r = in.s32(), b = in.s32();
    return QRectF(QPointF(l, t), QPointF(r, b));
}

QPointF pointl(ByteReader &in)
{
    const qint32 x = in.s32(), y = in.s32();
    return QPointF(x, y);
}

QPolygonF points(ByteReader &in, quint32 count, bool small)
{
    QPolygonF poly;
    if (!in.has(qint64(count) * (small ? 4 : 8)))
        return poly;
    poly.reserve(qsizetype(count));
    for (quint32 i = 0; i < count; ++i) {
        if (small) {
            const int x = in.s16(), y = in.s16();
            poly.append(QPointF(x, y));
        } else {
            poly.append(pointl(in));
        }
    }
    return poly;
}

QTransform xform(ByteReader &in)
{
    const float m11 = in.f32(), m12 = in.f32(), m21 = in.f32(), m22 = in.f32(), dx = in.f32(),
                dy = in.f32();
    auto finite = [](float v) { return std::isfinite(v) ? double(v) : 0.0; };
    return QTransform(finite(m11), finite(m12), finite(m21), finite(m22), finite(dx), finite(dy));
}

// A bitmap given as header and bits at two offsets of the record.
QImage dib(QByteArrayView record, qsizetype recordAt, quint32 offBmi, quint32 cbBmi, quint32 offBits,
           quint32 cbBits, ImageCache *cache)
{
    if (cache) {
        auto it = cache->find(recordAt);
        if (it != cache->end())
            return it->second;
    }
    ByteReader r(record);
    const QByteArrayView bmi = r.from(offBmi, cbBmi), bits = r.from(offBits, cbBits);
    QImage image;
    if (!bmi.isEmpty() && !bits.isEmpty()) {
        const QByteArray joined = bmi.toByteArray() + bits.toByteArray();
        const BitmapResult b = DecodeDib(joined, 1, cbBmi);
        if (b.ok())
            image = b.image;
    }
    if (cache)
        (*cache)[recordAt] = image;
    return image;
}

}  // namespace

bool PlayEmf(QByteArrayView bytes, QPainter &painter, const QRectF &target, ImageCache *cache)
{
    ByteReader h(bytes);
    h.skip(8);
    const QRectF bounds = rectl(h), frame = rectl(h);
    h.seek(56);
    const int handles = h.u16();
    h.seek(72);
    const qint32 devW = h.s32(), devH = h.s32(), mmW = h.s32(), mmH = h.s32();
    if (!h.ok())
        return false;
    // The frame (0.01 mm) in the reference device's pixels is what fills the target.
    const double pxPerMmX = mmW > 0 && devW > 0 ? double(devW) / mmW : 96 / 25.4;
    const double pxPerMmY = mmH > 0 && devH > 0 ? double(devH) / mmH : 96 / 25.4;
    QRectF page(frame.left() * pxPerMmX / 100, frame.top() * pxPerMmY / 100,
                frame.width() * pxPerMmX / 100, frame.height() * pxPerMmY / 100);
    if (page.width() <= 0 || page.height() <= 0)
        page = bounds;
    if (page.width() <= 0 || page.height() <= 0)
        return false;
    const QTransform pageToTarget = QTransform::fromTranslate(-page.left(), -page.top())
        * QTransform::fromScale(target.width() / page.width(), target.height() / page.height())
        * QTransform::fromTranslate(target.left(), target.top());
    Player p(painter, pageToTarget, pxPerMmX, pxPerMmY, cache);
    p.objects.reserve(size_t(std::min(handles, 1024)));

    ByteReader in(bytes);
    qsizetype played = 0;
    while (in.remaining() >= 8 && ++played <= MaxRecords) {
        const qsizetype at = in.pos();
        const quint32 type = in.u32(), size = in.u32();
        if (size < 8 || size % 4 || size > quint64(in.remaining()) + 8)
            return false;
        const QByteArrayView record = in.from(at, size);
        ByteReader r(record);
        r.skip(8);
        in.seek(at + size);
        switch (type) {
        case 14: return true;  // EOF
        case 2: case 3: case 4: case 5: case 6:
        case 85: case 86: case 87: case 88: case 89: {
            const bool small = type >= 85;
            const int kind = small ? int(type) - 83 : int(type);
            rectl(r);
            const quint32 n = r.u32();
            const QPolygonF poly = points(r, n, small);
            if (poly.size() != qsizetype(n))
                break;
            switch (kind) {
            case 2: p.polyBezier(poly, false); break;
            case 3: p.polygon(poly); break;
            case 4: p.polyline(poly); break;
            case 5: p.polyBezier(poly, true); break;
            case 6:
                for (const QPointF &pt : poly)
                    p.lineTo(pt);
                break;
            }
            break;
        }
        case 7: case 8: case 90: case 91: {  // POLYPOLYLINE, POLYPOLYGON (16)
            const bool small = type >= 90;
            rectl(r);
            const quint32 n = r.u32(), total = r.u32();
            if (!r.has(qint64(n) * 4) || !r.has(qint64(n) * 4 + qint64(total) * (small ? 4 : 8)))
                break;
            std::vector<quint32> counts;
            for (quint32 i = 0; i < n; ++i)
                counts.push_back(r.u32());
            std::vector<QPolygonF> polys;
            for (quint32 c : counts) {
                const QPolygonF poly = points(r, c, small);
                if (poly.size() != qsizetype(c))
                    break;
                polys.push_back(poly);
            }
            (type == 8 || type == 91) ? p.polyPolygon(polys) : p.polyPolyline(polys);
            break;
        }
        case 9: { const QPointF s = pointl(r); p.setWindowExt({s.x(), s.y()}); break; }
        case 10: p.setWindowOrg(pointl(r)); break;
        case 11: { const QPointF s = pointl(r); p.setViewportExt({s.x(), s.y()}); break; }
        case 12: p.setViewportOrg(pointl(r)); break;
        case 15: { const QPointF pt = pointl(r); p.setPixel(pt, ColorRef(r.u32())); break; }
        case 17: p.setMapMode(int(r.u32())); break;
        case 18: p.dc.bkMode = int(r.u32()); break;
        case 19: p.dc.polyFill = int(r.u32()); break;
        case 20: p.dc.rop2 = int(r.u32()); break;
        case 22: p.dc.textAlign = int(r.u32()); break;
        case 24: p.dc.textColor = ColorRef(r.u32()); break;
        case 25: p.dc.bkColor = ColorRef(r.u32()); break;
        case 26: p.offsetClip(pointl(r)); break;
        case 27: p.moveTo(pointl(r)); if (p.inPath) p.path.moveTo(p.dc.pos); break;
        case 29: p.excludeClip(rectl(r)); break;
        case 30: p.intersectClip(rectl(r)); break;
        case 31: case 32: {  // SCALEVIEWPORTEXTEX, SCALEWINDOWEXTEX
            const qint32 xn = r.s32(), xd = r.s32(), yn = r.s32(), yd = r.s32();
            if (!xd || !yd)
                break;
            const QSizeF e = type == 32 ? p.dc.winExt : p.dc.vpExt;
            const QSizeF s(e.width() * xn / xd, e.height() * yn / yd);
            type == 32 ? p.setWindowExt(s) : p.setViewportExt(s);
            break;
        }
        case 33: p.save(); break;
        case 34: p.restore(r.s32()); break;
        case 35: p.dc.world = xform(r); break;
        case 36: {
            const QTransform t = xform(r);
            const quint32 mode = r.u32();
            if (mode == 1) p.dc.world = QTransform();
            else if (mode == 2) p.dc.world = t * p.dc.world;
            else if (mode == 3) p.dc.world = p.dc.world * t;
            else if (mode == 4) p.dc.world = t;
            break;
        }
        case 37: {
            const quint32 ih = r.u32();
            if (ih & 0x80000000u)
                p.selectStock(int(ih & 0x7FFFFFFF));
            else
                p.selectObject(ih);
            break;
        }
        case 38: {  // CREATEPEN
            const quint32 ih = r.u32();
            GdiObject o;
            o.kind = GdiObject::Pen;
            o.pen.style = int(r.u32());
            o.pen.width = r.s32();
            r.s32();
            o.pen.color = ColorRef(r.u32());
            if (r.ok())
                p.setObject(ih, o);
            break;
        }
        case 95: {  // EXTCREATEPEN
            const quint32 ih = r.u32();
            r.skip(16);
            GdiObject o;
            o.kind = GdiObject::Pen;
            o.pen.style = int(r.u32() & 0xFFFF);
            o.pen.width = r.u32();
            const quint32 brushStyle = r.u32();
            o.pen.color = ColorRef(r.u32());
            if (brushStyle == 1)
                o.pen.style = 5;
            if (r.ok())
                p.setObject(ih, o);
            break;
        }
        case 39: {  // CREATEBRUSHINDIRECT
            const quint32 ih = r.u32();
            GdiObject o;
            o.kind = GdiObject::Brush;
            o.brush.style = int(r.u32());
            o.brush.color = ColorRef(r.u32());
            o.brush.hatch = int(r.u32());
            if (r.ok())
                p.setObject(ih, o);
            break;
        }
        case 93: case 94: {  // CREATEMONOBRUSH, CREATEDIBPATTERNBRUSHPT
            const quint32 ih = r.u32();
            r.u32();
            const quint32 offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
            GdiObject o;
            o.kind = GdiObject::Brush;
            o.brush.style = 5;
            o.brush.pattern = dib(record, at, offBmi, cbBmi, offBits, cbBits, cache);
            if (r.ok())
                p.setObject(ih, o);
            break;
        }
        case 82: {  // EXTCREATEFONTINDIRECTW
            const quint32 ih = r.u32();
            GdiObject o;
            o.kind = GdiObject::Font;
            o.font.height = r.s32();
            r.s32();
            o.font.escapement = r.s32();
            r.s32();
            o.font.weight = r.s32();
            o.font.italic = r.u8();
            o.font.underline = r.u8();
            o.font.strikeOut = r.u8();
            r.skip(5);
            const QByteArrayView face = r.bytes(64);
            if (!face.isEmpty()) {
                QString name = QString::fromUtf16(reinterpret_cast<const char16_t *>(face.data()), 32);
                name.truncate(name.indexOf(QChar(0)) < 0 ? 32 : name.indexOf(QChar(0)));
                if (!name.isEmpty())
                    o.font.face = name;
            }
            if (r.ok())
                p.setObject(ih, o);
            break;
        }
        case 40: p.deleteObject(r.u32()); break;
        case 42: p.ellipse(rectl(r)); break;
        case 43: p.rectangle(rectl(r)); break;
        case 44: { const QRectF rc = rectl(r); const QPointF c = pointl(r); p.roundRect(rc, {c.x(), c.y()}); break; }
        case 45: case 46: case 47: case 55: {
            const QRectF box = rectl(r);
            const QPointF s = pointl(r), e = pointl(r);
            p.arc(box, s, e, type == 46 ? Player::Chord : type == 47 ? Player::Pie : Player::Arc);
            break;
        }
        case 54: p.lineTo(pointl(r)); break;
        case 59: p.beginPath(); break;
        case 60: p.endPath(); break;
        case 61: if (p.inPath) p.path.closeSubpath(); break;
        case 62: case 63: case 64: {
            QPainterPath path = p.path;
            path.setFillRule(p.dc.polyFill == 2 ? Qt::WindingFill : Qt::OddEvenFill);
            p.fillPath(path, type != 64, type != 62);
            p.path = QPainterPath();
            break;
        }
        case 67: {  // SELECTCLIPPATH
            const QPainterPath page = p.logicalToPage().map(p.path);
            p.setClipPage(&page, int(r.u32()));
            p.path = QPainterPath();
            break;
        }
        case 68: p.inPath = false; p.path = QPainterPath(); break;
        case 75: {  // EXTSELECTCLIPRGN: rectangles in page units
            const quint32 cb = r.u32(), mode = r.u32();
            if (cb < 32) {
                if (mode == 5)
                    p.setClipPage(nullptr, 5);
                break;
            }
            r.skip(8);
            const quint32 count = r.u32();
            r.skip(20);
            if (!r.has(qint64(count) * 16))
                break;
            QPainterPath region;
            for (quint32 i = 0; i < count; ++i)
                region.addRect(rectl(r).normalized());
            p.setClipPage(&region, int(mode));
            break;
        }
        case 76: case 77: {  // BITBLT, STRETCHBLT
            rectl(r);
            const qint32 dx = r.s32(), dy = r.s32(), dw = r.s32(), dh = r.s32();
            const quint32 rop = r.u32();
            const qint32 sx = r.s32(), sy = r.s32();
            r.skip(24 + 4 + 4);  // source transform, background colour, usage
            const quint32 offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
            qint32 sw = dw, sh = dh;
            if (type == 77)
                sw = r.s32(), sh = r.s32();
            if (!r.ok())
                break;
            if (cbBmi == 0) {
                p.patBlt(QRectF(dx, dy, dw, dh), rop);
                break;
            }
            const QImage image = dib(record, at, offBmi, cbBmi, offBits, cbBits, cache);
            p.image(QRectF(dx, dy, dw, dh), image, QRectF(sx, sy, sw, sh), rop);
            break;
        }
        case 80: case 81: {  // SETDIBITSTODEVICE, STRETCHDIBITS
            rectl(r);
            const qint32 dx = r.s32(), dy = r.s32(), sx = r.s32(), sy = r.s32(), sw = r.s32(),
                         sh = r.s32();
            const quint32 offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
            r.u32();  // usage
            quint32 rop = 0x00CC0020;
            qint32 dw = sw, dh = sh;
            if (type == 81) {
                rop = r.u32();
                dw = r.s32();
                dh = r.s32();
            }
            if (!r.ok())
                break;
            const QImage image = dib(record, at, offBmi, cbBmi, offBits, cbBits, cache);
            // Source rows count from the bottom of a bottom-up bitmap.
            p.image(QRectF(dx, dy, dw, dh), image, QRectF(sx, image.height() - sy - sh, sw, sh), rop);
            break;
        }
        case 83: case 84: {  // EXTTEXTOUTA, EXTTEXTOUTW
            rectl(r);
            r.skip(12);  // graphics mode, scales
            const QPointF ref = pointl(r);
            const quint32 n = r.u32(), offString = r.u32(), options = r.u32();
            const QRectF rect = rectl(r);
            const quint32 offDx = r.u32();
            if (!r.ok() || n > 65536)
                break;
            const bool wide = type == 84;
            const QByteArrayView s = r.from(offString, qint64(n) * (wide ? 2 : 1));
            if (s.isEmpty() && n)
                break;
            const QString text = wide ? QString::fromUtf16(reinterpret_cast<const char16_t *>(s.data()), n)
                                      : FromCp1252(s);
            std::vector<double> dx;
            ByteReader d(r.from(offDx, qint64(n) * 4));
            if (offDx && d.size() == qint64(n) * 4)
                for (quint32 i = 0; i < n; ++i)
                    dx.push_back(d.s32());
            const bool opaque = options & 0x0002;
            if (options & 0x0004)
                p.save(), p.intersectClip(rect);
            p.text(ref, text, dx, opaque ? &rect : nullptr);
            if (options & 0x0004)
                p.restore(-1);
            break;
        }
        default:
            break;
        }
    }
    return true;
}

}  // namespace graphics::detail
