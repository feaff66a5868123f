#include "graphics/Ico.h"

#include "graphics/Bmp.h"
#include "graphics/ByteReader.h"
#include "graphics/Limits.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

namespace graphics {

namespace {

// Directory entries a file may hold; the count is a 16-bit field anyway.
constexpr int MaxIconEntries = 1024;
// Side an icon entry may have (PNG entries can be larger than 256).
constexpr int MaxIconSide = 1024;

const QByteArrayView PngSignature("\x89PNG\r\n\x1a\n", 8);

struct Entry
{
    QByteArrayView data;
    int width = 0, height = 0, depth = 0;
    bool png = false;
};

IconResult failure(const QString &message)
{
    IconResult r;
    r.error = message;
    return r;
}

// Reads the size and depth an entry really holds (its directory fields are
// often 0 or wrong).
bool probe(Entry &e)
{
    if (e.data.size() >= 24 && e.data.first(8) == PngSignature) {
        ByteReader in(e.data);
        in.skip(16);  // signature, IHDR length and type
        const quint32 w = quint32(in.u8()) << 24 | in.u8() << 16 | in.u8() << 8 | in.u8();
        const quint32 h = quint32(in.u8()) << 24 | in.u8() << 16 | in.u8() << 8 | in.u8();
        e.png = true;
        e.width = int(std::min<quint32>(w, MaxIconSide + 1));
        e.height = int(std::min<quint32>(h, MaxIconSide + 1));
        e.depth = 32;
        return in.ok();
    }
    ByteReader in(e.data);
    const quint32 headerSize = in.u32();
    if (headerSize == 12) {
        e.width = in.u16();
        e.height = in.u16() / 2;
        in.u16();
        e.depth = in.u16();
    } else {
        e.width = int(std::min<qint64>(std::llabs(in.s32()), MaxIconSide + 1));
        e.height = int(std::min<qint64>(std::llabs(in.s32()), 2 * MaxIconSide + 2)) / 2;
        in.u16();
        e.depth = in.u16();
    }
    return in.ok();
}

QImage decodeEntry(const Entry &e, QString *error)
{
    if (e.png) {
        QByteArray bytes = e.data.toByteArray();
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "png");
        reader.setAllocationLimit(int(MaxPixelBytes / (1024 * 1024)));
        QImage image = reader.read();
        if (image.isNull()) {
            *error = QStringLiteral("Icon image is not valid");
            return {};
        }
        QImage out(image.size(), QImage::Format_RGB32);
        out.fill(Qt::white);
        QPainter(&out).drawImage(0, 0, image);
        return out;
    }
    const BitmapResult colour = DecodeDib(e.data, 2);
    if (!colour.ok()) {
        *error = QStringLiteral("Icon image is not valid");
        return {};
    }
    const QImage xorImage = colour.image.convertToFormat(QImage::Format_RGB32);
    const int w = xorImage.width(), h = xorImage.height();
    // A 32-bit entry's fourth byte is its alpha whatever the header says;
    // an all-zero one means the entry relies on its mask. Rows are w * 4
    // bytes, ending where the mask begins.
    QByteArrayView alphaRows;
    if (colour.bitsPerPixel == 32) {
        const qint64 rowsBytes = qint64(w) * 4 * h;
        alphaRows = ByteReader(e.data).from(colour.pixelEnd - rowsBytes, rowsBytes);
        bool any = false;
        for (qsizetype i = 3; i < alphaRows.size() && !any; i += 4)
            any = alphaRows[i] != 0;
        if (!any)
            alphaRows = {};
    }
    const bool bottomUp = quint8(e.data[0]) == 12 || qint32(quint8(e.data[8]) | quint8(e.data[9]) << 8
                                                      | quint8(e.data[10]) << 16 | quint8(e.data[11]) << 24) > 0;
    QImage out(w, h, QImage::Format_RGB32);
    // The AND mask: 1 bit a pixel, rows padded to 4 bytes, in the colour rows' order.
    const qint64 maskRow = (qint64(w) + 31) / 32 * 4;
    const QByteArrayView mask = ByteReader(e.data).from(colour.pixelEnd, maskRow * h);
    for (int y = 0; y < h; ++y) {
        auto *dst = reinterpret_cast<QRgb *>(out.scanLine(y));
        const auto *src = reinterpret_cast<const QRgb *>(xorImage.constScanLine(y));
        const int row = bottomUp ? h - 1 - y : y;
        for (int x = 0; x < w; ++x) {
            const QRgb c = src[x] & 0xFFFFFF;
            if (!alphaRows.isEmpty()) {
                const int a = quint8(alphaRows[(qsizetype(row) * w + x) * 4 + 3]);
                auto blend = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
                dst[x] = qRgb(blend(qRed(c)), blend(qGreen(c)), blend(qBlue(c)));
                continue;
            }
            // Screen = (screen AND mask) XOR image, on the white fill.
            const bool masked = !mask.isEmpty()
                && ((quint8(mask[row * maskRow + x / 8]) >> (7 - x % 8)) & 1);
            dst[x] = 0xFF000000 | (masked ? (0xFFFFFF ^ c) : c);
        }
    }
    return out;
}

}  // namespace

IconResult DecodeIco(QByteArrayView file)
{
    ByteReader in(file);
    const int reserved = in.u16(), type = in.u16(), count = in.u16();
    if (!in.ok() || reserved != 0 || (type != 1 && type != 2) || count == 0
        || count > MaxIconEntries)
        return failure(QStringLiteral("Icon image is not valid"));
    QList<Entry> entries;
    for (int i = 0; i < count; ++i) {
        in.skip(8);  // width, height, colours, reserved, planes / hot spot, bit count
        const quint32 size = in.u32(), offset = in.u32();
        if (!in.ok())
            return failure(QStringLiteral("Icon image is not valid"));
        Entry e;
        e.data = in.from(offset, size);
        if (e.data.isEmpty() || !probe(e) || e.width <= 0 || e.height <= 0
            || e.width > MaxIconSide || e.height > MaxIconSide)
            continue;
        entries.append(e);
    }
    if (entries.isEmpty())
        return failure(QStringLiteral("Icon image is not valid"));
    auto better = [](const Entry &a, const Entry &b) {  // is a preferred over b?
        const bool a32 = a.width == 32 && a.height == 32, b32 = b.width == 32 && b.height == 32;
        if (a32 != b32)
            return a32;
        const qint64 areaA = qint64(a.width) * a.height, areaB = qint64(b.width) * b.height;
        if (!a32 && areaA != areaB)
            return areaA > areaB;
        return a.depth > b.depth;
    };
    const Entry *best = &entries[0];
    for (const Entry &e : entries)
        if (better(e, *best))
            best = &e;
    IconResult r;
    r.entries = int(entries.size());
    r.image = decodeEntry(*best, &r.error);
    if (!r.error.isEmpty())
        r.image = QImage();
    return r;
}

}  // namespace graphics
