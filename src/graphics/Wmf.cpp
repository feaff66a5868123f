// The WMF record player. Parameters of a record come in reverse order of
// the call they record (y before x, bottom before top).

#include "graphics/Bmp.h"
#include "graphics/ByteReader.h"
#include "graphics/MetafilePlayer.h"

namespace graphics::detail {

namespace {

QRectF rectLTRB(ByteReader &in)  // bottom, right, top, left
{
    const int b = in.s16(), r = in.s16(), t = in.s16(), l = in.s16();
    return QRectF(QPointF(l, t), QPointF(r, b));
}

QPointF pointYX(ByteReader &in)
{
    const int y = in.s16(), x = in.s16();
    return QPointF(x, y);
}

QPolygonF points(ByteReader &in, int count)
{
    QPolygonF poly;
    if (!in.has(qint64(count) * 4))
        return poly;
    poly.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int x = in.s16(), y = in.s16();
        poly.append(QPointF(x, y));
    }
    return poly;
}

QImage dibAt(ByteReader &in, qsizetype recordAt, ImageCache *cache)
{
    if (cache) {
        auto it = cache->find(recordAt);
        if (it != cache->end())
            return it->second;
    }
    const BitmapResult r = DecodeDib(in.bytes(in.remaining()));
    const QImage image = r.ok() ? r.image : QImage();
    if (cache)
        (*cache)[recordAt] = image;
    return image;
}

// The source rectangle in the image's top-down rows.
QRectF sourceRect(const QImage &image, int x, int y, int w, int h)
{
    Q_UNUSED(image);
    return QRectF(x, y, w, h);
}

}  // namespace

bool PlayWmf(QByteArrayView bytes, QPainter &painter, const QRectF &target, ImageCache *cache)
{
    ByteReader in(bytes);
    QRectF box(0, 0, 1000, 1000);
    int inch = 2540;
    if (in.u32() == PlaceableKey) {
        in.u16();
        const int l = in.s16(), t = in.s16(), r = in.s16(), b = in.s16();
        inch = in.u16();
        if (inch <= 0)
            inch = 2540;
        box = QRectF(QPointF(l, t), QPointF(r, b));
        in.seek(22);
    } else {
        const MetafileInfo info = ReadMetafile(bytes);
        box = QRectF(info.bounds.left(), info.bounds.top(), info.bounds.width(), info.bounds.height());
        in.seek(0);
    }
    if (box.width() == 0 || box.height() == 0)
        return false;
    const qsizetype header = in.pos();
    in.skip(10);
    const int numObjects = in.u16();
    in.seek(header + 18);
    if (!in.ok())
        return false;

    const QTransform pageToTarget = QTransform::fromTranslate(-box.left(), -box.top())
        * QTransform::fromScale(target.width() / box.width(), target.height() / box.height())
        * QTransform::fromTranslate(target.left(), target.top());
    Player p(painter, pageToTarget, inch / 25.4, inch / 25.4, cache);
    p.objects.reserve(size_t(std::min(numObjects, 1024)));
    p.dc.mapMode = 8;
    p.dc.winOrg = p.dc.vpOrg = box.topLeft();
    p.dc.winExt = p.dc.vpExt = box.size();

    qsizetype played = 0;
    while (in.remaining() >= 6 && ++played <= MaxRecords) {
        const qsizetype at = in.pos();
        const quint32 words = in.u32();
        const int function = in.u16();
        if (words < 3 || qint64(words) * 2 > in.remaining() + 6)
            return false;
        if (function == 0)
            break;
        ByteReader r(in.from(at + 6, qint64(words) * 2 - 6));
        in.seek(at + qint64(words) * 2);
        switch (function) {
        case 0x0201: p.dc.bkColor = ColorRef(r.u32()); break;          // SETBKCOLOR
        case 0x0102: p.dc.bkMode = r.u16(); break;                     // SETBKMODE
        case 0x0103: p.setMapMode(r.u16()); break;                     // SETMAPMODE
        case 0x0104: p.dc.rop2 = r.u16(); break;                       // SETROP2
        case 0x0106: p.dc.polyFill = r.u16(); break;                   // SETPOLYFILLMODE
        case 0x0209: p.dc.textColor = ColorRef(r.u32()); break;        // SETTEXTCOLOR
        case 0x012E: p.dc.textAlign = r.u16(); break;                  // SETTEXTALIGN
        case 0x020B: p.setWindowOrg(pointYX(r)); break;                // SETWINDOWORG
        case 0x020C: { const QPointF s = pointYX(r); p.setWindowExt({s.x(), s.y()}); break; }
        case 0x020D: p.setViewportOrg(pointYX(r)); break;
        case 0x020E: { const QPointF s = pointYX(r); p.setViewportExt({s.x(), s.y()}); break; }
        case 0x020F: p.setWindowOrg(p.dc.winOrg + pointYX(r)); break;  // OFFSETWINDOWORG
        case 0x0211: p.setViewportOrg(p.dc.vpOrg + pointYX(r)); break;
        case 0x0410:                                                   // SCALEWINDOWEXT
        case 0x0412: {                                                 // SCALEVIEWPORTEXT
            const int yd = r.s16(), yn = r.s16(), xd = r.s16(), xn = r.s16();
            if (!xd || !yd)
                break;
            QSizeF &e = function == 0x0410 ? p.dc.winExt : p.dc.vpExt;
            const QSizeF s(e.width() * xn / xd, e.height() * yn / yd);
            function == 0x0410 ? p.setWindowExt(s) : p.setViewportExt(s);
            break;
        }
        case 0x0214: p.moveTo(pointYX(r)); break;                      // MOVETO
        case 0x0213: p.lineTo(pointYX(r)); break;                      // LINETO
        case 0x041B: p.rectangle(rectLTRB(r)); break;                  // RECTANGLE
        case 0x0418: p.ellipse(rectLTRB(r)); break;                    // ELLIPSE
        case 0x061C: {                                                 // ROUNDRECT
            const int h = r.s16(), w = r.s16();
            p.roundRect(rectLTRB(r), QSizeF(w, h));
            break;
        }
        case 0x0817:                                                   // ARC
        case 0x0830:                                                   // CHORD
        case 0x081A: {                                                 // PIE
            const QPointF end = pointYX(r), start = pointYX(r);
            const QRectF box2 = rectLTRB(r);
            p.arc(box2, start, end, function == 0x0817 ? Player::Arc
                                  : function == 0x0830 ? Player::Chord : Player::Pie);
            break;
        }
        case 0x0324:                                                   // POLYGON
        case 0x0325: {                                                 // POLYLINE
            const int n = r.s16();
            const QPolygonF poly = points(r, std::max(0, n));
            function == 0x0324 ? p.polygon(poly) : p.polyline(poly);
            break;
        }
        case 0x0538: {                                                 // POLYPOLYGON
            const int n = r.u16();
            if (!r.has(qint64(n) * 2))
                break;
            std::vector<int> counts;
            for (int i = 0; i < n; ++i)
                counts.push_back(r.u16());
            std::vector<QPolygonF> polys;
            for (int c : counts) {
                const QPolygonF poly = points(r, c);
                if (poly.size() != c)
                    break;
                polys.push_back(poly);
            }
            p.polyPolygon(polys);
            break;
        }
        case 0x041F: {                                                 // SETPIXEL
            const QColor c = ColorRef(r.u32());
            p.setPixel(pointYX(r), c);
            break;
        }
        case 0x061D: {                                                 // PATBLT
            const quint32 rop = r.u32();
            const int h = r.s16(), w = r.s16(), y = r.s16(), x = r.s16();
            p.patBlt(QRectF(x, y, w, h), rop);
            break;
        }
        case 0x0521: {                                                 // TEXTOUT
            const int n = r.s16();
            const QByteArrayView s = r.bytes(std::max(0, n));
            r.skip(n & 1);
            const QPointF pt = pointYX(r);
            if (r.ok())
                p.text(pt, FromCp1252(s), {}, nullptr);
            break;
        }
        case 0x0A32: {                                                 // EXTTEXTOUT
            const QPointF pt = pointYX(r);
            const int n = r.s16(), options = r.u16();
            QRectF rect;
            const bool hasRect = options & 0x0006;
            if (hasRect) {
                const int l = r.s16(), t = r.s16(), rr = r.s16(), b = r.s16();
                rect = QRectF(QPointF(l, t), QPointF(rr, b));
            }
            const QByteArrayView s = r.bytes(std::max(0, n));
            r.skip(n & 1);
            if (!r.ok())
                break;
            std::vector<double> dx;
            if (r.has(qint64(n) * 2))
                for (int i = 0; i < n; ++i)
                    dx.push_back(r.s16());
            const bool opaque = options & 0x0002;
            if (options & 0x0004)
                p.save(), p.intersectClip(rect);
            p.text(pt, FromCp1252(s), dx, opaque ? &rect : nullptr);
            if (options & 0x0004)
                p.restore(-1);
            break;
        }
        case 0x02FA: {                                                 // CREATEPENINDIRECT
            GdiObject o;
            o.kind = GdiObject::Pen;
            o.pen.style = r.u16();
            o.pen.width = r.s16();
            r.s16();
            o.pen.color = ColorRef(r.u32());
            p.addObject(o);
            break;
        }
        case 0x02FC: {                                                 // CREATEBRUSHINDIRECT
            GdiObject o;
            o.kind = GdiObject::Brush;
            o.brush.style = r.u16();
            o.brush.color = ColorRef(r.u32());
            o.brush.hatch = r.u16();
            p.addObject(o);
            break;
        }
        case 0x0142: {                                                 // DIBCREATEPATTERNBRUSH
            GdiObject o;
            o.kind = GdiObject::Brush;
            r.u16();
            r.u16();
            o.brush.style = 5;
            o.brush.pattern = dibAt(r, at, cache);
            p.addObject(o);
            break;
        }
        case 0x02FB: {                                                 // CREATEFONTINDIRECT
            GdiObject o;
            o.kind = GdiObject::Font;
            o.font.height = r.s16();
            r.s16();
            o.font.escapement = r.s16();
            r.s16();
            o.font.weight = r.s16();
            o.font.italic = r.u8();
            o.font.underline = r.u8();
            o.font.strikeOut = r.u8();
            r.skip(5);
            const QString face = FromCp1252(r.bytes(std::min<qint64>(32, r.remaining())));
            if (!face.isEmpty())
                o.font.face = face;
            p.addObject(o);
            break;
        }
        case 0x06FF: {                                                 // CREATEREGION: its box
            GdiObject o;
            o.kind = GdiObject::Region;
            r.skip(10);
            const int l = r.s16(), t = r.s16(), rr = r.s16(), b = r.s16();
            if (r.ok())
                o.region.addPolygon(p.logicalToPage().map(QPolygonF(QRectF(QPointF(l, t), QPointF(rr, b)))));
            p.addObject(o);
            break;
        }
        case 0x00F7:                                                   // CREATEPALETTE
        case 0x01F9: {                                                 // CREATEPATTERNBRUSH
            GdiObject o;
            o.kind = function == 0x01F9 ? GdiObject::Brush : GdiObject::Other;
            p.addObject(o);
            break;
        }
        case 0x012D: p.selectObject(r.u16()); break;                   // SELECTOBJECT
        case 0x01F0: p.deleteObject(r.u16()); break;                   // DELETEOBJECT
        case 0x012C: {                                                 // SELECTCLIPREGION
            const quint32 index = r.u16();
            if (index < p.objects.size() && p.objects[index].kind == GdiObject::Region)
                p.setClipPage(&p.objects[index].region, 5);
            else
                p.setClipPage(nullptr, 5);
            break;
        }
        case 0x001E: p.save(); break;                                  // SAVEDC
        case 0x0127: p.restore(r.s16()); break;                        // RESTOREDC
        case 0x0416: p.intersectClip(rectLTRB(r)); break;              // INTERSECTCLIPRECT
        case 0x0415: p.excludeClip(rectLTRB(r)); break;                // EXCLUDECLIPRECT
        case 0x0220: p.offsetClip(pointYX(r)); break;                  // OFFSETCLIPRGN
        case 0x0F43: {                                                 // STRETCHDIB
            const quint32 rop = r.u32();
            r.u16();  // colour usage
            const int sh = r.s16(), sw = r.s16(), sy = r.s16(), sx = r.s16();
            const int dh = r.s16(), dw = r.s16(), dy = r.s16(), dx = r.s16();
            if (!r.ok())
                break;
            const QImage image = dibAt(r, at, cache);
            p.image(QRectF(dx, dy, dw, dh), image, sourceRect(image, sx, image.height() - sy - sh, sw, sh), rop);
            break;
        }
        case 0x0B41:                                                   // DIBSTRETCHBLT
        case 0x0940: {                                                 // DIBBITBLT
            const bool stretch = function == 0x0B41;
            const bool withBitmap = qint64(words) > (stretch ? 12 : 11);
            const quint32 rop = r.u32();
            int sh = 0, sw = 0;
            if (stretch)
                sh = r.s16(), sw = r.s16();
            const int sy = r.s16(), sx = r.s16();
            if (!withBitmap)
                r.s16();  // reserved
            const int dh = r.s16(), dw = r.s16(), dy = r.s16(), dx = r.s16();
            if (!r.ok())
                break;
            if (!withBitmap) {
                p.patBlt(QRectF(dx, dy, dw, dh), rop);
                break;
            }
            if (!stretch)
                sw = dw, sh = dh;
            const QImage image = dibAt(r, at, cache);
            p.image(QRectF(dx, dy, dw, dh), image, sourceRect(image, sx, sy, sw, sh), rop);
            break;
        }
        default:
            break;  // records without a drawing here are skipped
        }
    }
    return true;
}

}  // namespace graphics::detail
