#include "graphics/Metafile.h"

#include "graphics/ByteReader.h"
#include "graphics/MetafilePlayer.h"

#include <QPainter>

#include <cmath>

namespace graphics {

namespace {

constexpr quint32 EmfSignature = 0x464D4520;  // " EMF"
constexpr int PlaceableSize = 22;
constexpr int WmfHeaderSize = 18;

MetafileInfo invalid()
{
    MetafileInfo info;
    info.error = QStringLiteral("Metafile is not valid");
    return info;
}

bool isEmf(QByteArrayView b)
{
    ByteReader in(b);
    const quint32 type = in.u32();
    in.skip(36);
    return in.u32() == EmfSignature && type == 1 && in.ok();
}

// Walks the WMF records from `start` (the 18-byte header), checking every
// size; the window the records set first is the picture's box when there is
// no placeable header.
bool walkWmf(QByteArrayView b, qsizetype start, MetafileInfo &info, QRect *window)
{
    ByteReader in(b);
    if (!in.seek(start))
        return false;
    const int type = in.u16(), headerWords = in.u16();
    in.skip(14);
    if (!in.ok() || (type != 1 && type != 2) || headerWords != 9)
        return false;
    QPoint org;
    QSize ext;
    while (in.remaining() >= 6) {
        const qsizetype at = in.pos();
        const quint32 words = in.u32();
        const int function = in.u16();
        if (words < 3 || qint64(words) * 2 > in.remaining() + 6)
            return false;
        if (++info.records > detail::MaxRecords)
            return false;
        if (function == 0)
            break;
        if (window && words >= 5 && (function == 0x020B || function == 0x020C)) {
            const int y = in.s16(), x = in.s16();
            if (function == 0x020B && ext.isEmpty())
                org = QPoint(x, y);
            else if (function == 0x020C && ext.isEmpty())
                ext = QSize(x, y);
        }
        in.seek(at + qint64(words) * 2);
    }
    if (window)
        *window = ext.isEmpty() ? QRect(0, 0, 1000, 1000) : QRect(org, ext);
    return true;
}

bool walkEmf(QByteArrayView b, MetafileInfo &info)
{
    ByteReader in(b);
    while (in.remaining() >= 8) {
        const qsizetype at = in.pos();
        const quint32 type = in.u32(), size = in.u32();
        if (size < 8 || size % 4 || size > quint64(in.remaining()) + 8)
            return false;
        if (++info.records > detail::MaxRecords)
            return false;
        if (type == 14)
            break;
        in.seek(at + size);
    }
    return true;
}

}  // namespace

QSize MetafileInfo::pixelSize(int ppi) const
{
    if (!ok() || bounds.isEmpty())
        return {};
    if (enhanced)
        return {int(std::lround(double(bounds.width()) * ppi / 2540)),
                int(std::lround(double(bounds.height()) * ppi / 2540))};
    const int inch = unitsPerInch > 0 ? unitsPerInch : DefaultUnitsPerInch;
    return {int(std::lround(double(bounds.width()) * ppi / inch)),
            int(std::lround(double(bounds.height()) * ppi / inch))};
}

MetafileInfo ReadMetafile(QByteArrayView b)
{
    MetafileInfo info;
    ByteReader in(b);
    const quint32 key = in.u32();
    if (!in.ok())
        return invalid();
    if (key == PlaceableKey) {
        in.u16();  // handle
        const int l = in.s16(), t = in.s16(), r = in.s16(), bt = in.s16();
        const int inch = in.u16();
        if (!in.ok() || r <= l || bt <= t)
            return invalid();
        info.placeable = true;
        info.bounds = QRect(QPoint(l, t), QPoint(r - 1, bt - 1));
        info.unitsPerInch = inch > 0 ? inch : DefaultUnitsPerInch;
        if (!walkWmf(b, PlaceableSize, info, nullptr))
            return invalid();
        return info;
    }
    if (isEmf(b)) {
        ByteReader h(b);
        h.skip(24);
        const qint32 l = h.s32(), t = h.s32(), r = h.s32(), bt = h.s32();
        if (!h.ok() || r <= l || bt <= t || qint64(r) - l > 1000000 || qint64(bt) - t > 1000000)
            return invalid();
        info.enhanced = true;
        info.bounds = QRect(QPoint(l, t), QPoint(r - 1, bt - 1));
        if (!walkEmf(b, info))
            return invalid();
        return info;
    }
    QRect window;
    if (!walkWmf(b, 0, info, &window))
        return invalid();
    info.bounds = window.normalized();
    info.unitsPerInch = DefaultUnitsPerInch;
    return info;
}

QByteArray MakePlaceable(QByteArrayView wmf)
{
    MetafileInfo info = ReadMetafile(wmf);
    if (!info.ok() || info.enhanced)
        return {};
    if (info.placeable)
        return wmf.toByteArray();
    QByteArray header;
    auto put16 = [&header](int v) {
        header.append(char(v & 0xFF));
        header.append(char((v >> 8) & 0xFF));
    };
    put16(int(PlaceableKey & 0xFFFF));
    put16(int(PlaceableKey >> 16));
    put16(0);
    const QRect r = info.bounds;
    put16(r.left());
    put16(r.top());
    put16(r.left() + r.width());
    put16(r.top() + r.height());
    put16(DefaultUnitsPerInch);
    put16(0);
    put16(0);
    // The checksum: XOR of the ten 16-bit words before it.
    int sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= quint8(header[i]) | quint8(header[i + 1]) << 8;
    put16(sum);
    return header + wmf.toByteArray();
}

bool PlayMetafile(QByteArrayView bytes, QPainter &painter, const QRectF &target,
                  MetafileImageCache *cache)
{
    if (target.isEmpty())
        return true;
    if (isEmf(bytes))
        return detail::PlayEmf(bytes, painter, target, cache);
    return detail::PlayWmf(bytes, painter, target, cache);
}

}  // namespace graphics
