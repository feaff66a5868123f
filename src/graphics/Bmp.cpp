#include "graphics/Bmp.h"

#include "graphics/ByteReader.h"
#include "graphics/Limits.h"

#include <QBuffer>
#include <QtEndian>

#include <bit>
#include <cstdlib>
#include <cstring>

namespace graphics {

namespace {

enum Compression : quint32 { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3,
                             BI_ALPHABITFIELDS = 6 };

const QString NotValid = QStringLiteral("Bitmap image is not valid");

// A colour channel held under a bit mask, scaled to 0..255.
struct Channel
{
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0;
    explicit Channel(quint32 m = 0) : mask(m)
    {
        if (m) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    int value(quint32 px, int fallback = 0) const
    {
        if (!max)
            return fallback;
        return int((quint64((px & mask) >> shift) * 255 + max / 2) / max);
    }
};

BitmapResult failure(const QString &message = NotValid)
{
    BitmapResult r;
    r.error = message;
    return r;
}

// Run-length pixels (RLE8, or RLE4 when `nibbles`): runs and literal groups
// are clipped at the row's end; the data ends at an end-of-bitmap mark or
// when it runs out. Rows are numbered in file order.
void decodeRle(ByteReader &in, QImage &image, bool bottomUp, bool nibbles)
{
    const int w = image.width(), h = image.height();
    int x = 0, y = 0;
    auto put = [&](int index) {
        if (x < w && y < h)
            image.scanLine(bottomUp ? h - 1 - y : y)[x] = uchar(index);
        ++x;
    };
    while (in.has(2) && y < h) {
        const int count = in.u8(), value = in.u8();
        if (count > 0) {
            for (int i = 0; i < count && x < w; ++i)
                put(nibbles ? (i % 2 == 0 ? value >> 4 : value & 15) : value);
            continue;
        }
        if (value == 0) {          // end of line
            x = 0;
            ++y;
        } else if (value == 1) {   // end of bitmap
            return;
        } else if (value == 2) {   // delta
            if (!in.has(2))
                return;
            x += in.u8();
            y += in.u8();
        } else {                   // literal group, padded to a whole word
            const int bytes = nibbles ? (value + 1) / 2 : value;
            const QByteArrayView group = in.bytes(bytes + (bytes & 1));
            if (group.isEmpty())
                return;
            for (int i = 0; i < value; ++i) {
                const int b = quint8(group[nibbles ? i / 2 : i]);
                put(nibbles ? (i % 2 == 0 ? b >> 4 : b & 15) : b);
            }
        }
    }
}

}  // namespace

BitmapResult DecodeDib(QByteArrayView dib, int rowsDivisor, qint64 pixelOffset)
{
    ByteReader in(dib);
    const quint32 headerSize = in.u32();
    if (!in.ok() || !in.has(qint64(headerSize) - 4))
        return failure();
    qint64 width, height;
    int bitCount;
    quint32 compression = BI_RGB, colorsUsed = 0;
    quint32 masks[4] = {0, 0, 0, 0};
    const bool core = headerSize == 12;
    if (core) {
        width = in.u16();
        height = in.s16();
        in.u16();
        bitCount = in.u16();
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64
               || headerSize == 108 || headerSize == 124) {
        width = in.s32();
        height = in.s32();
        in.u16();  // planes
        bitCount = in.u16();
        compression = in.u32();
        in.skip(12);  // image size, resolution
        colorsUsed = in.u32();
        in.u32();     // important colours
        if (headerSize >= 52 && headerSize != 64)
            for (int i = 0; i < (headerSize >= 56 ? 4 : 3); ++i)
                masks[i] = in.u32();
        in.seek(headerSize);
        if (headerSize == 40 && (compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS))
            for (int i = 0; i < (compression == BI_ALPHABITFIELDS ? 4 : 3); ++i)
                masks[i] = in.u32();
    } else {
        return failure();
    }
    if (!in.ok())
        return failure();

    const bool bottomUp = height > 0;
    const qint64 rows = std::llabs(height) / rowsDivisor;
    if (!PictureSizeAllowed(width, rows))
        return failure();
    const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24
        && bitCount != 32)
        return failure();
    if ((compression == BI_RLE8 && bitCount != 8) || (compression == BI_RLE4 && bitCount != 4)
        || ((compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS)
            && bitCount != 16 && bitCount != 32)
        || compression > BI_ALPHABITFIELDS || compression == 4 || compression == 5)
        return failure();

    // The palette: as many entries as the header says, no more than the
    // depth can address; a shorter one leaves the other indices black.
    BitmapResult r;
    r.bitsPerPixel = bitCount;
    QList<QRgb> palette;
    if (bitCount <= 8) {
        const qint64 maxColors = qint64(1) << bitCount;
        qint64 count = core || colorsUsed == 0 ? maxColors : std::min<qint64>(colorsUsed, maxColors);
        const int entry = core ? 3 : 4;
        // A palette ends where the pixels begin, whatever the header says.
        if (pixelOffset >= in.pos())
            count = std::min<qint64>(count, (pixelOffset - in.pos()) / entry);
        if (!in.has(count * entry))
            return failure();
        for (qint64 i = 0; i < count; ++i) {
            const int b = in.u8(), g = in.u8(), rr = in.u8();
            if (!core)
                in.u8();
            palette.append(qRgb(rr, g, b));
        }
        r.colors = int(count);
        while (palette.size() < maxColors)
            palette.append(qRgb(0, 0, 0));
    } else if (colorsUsed && !core) {
        in.skip(std::min<qint64>(colorsUsed, 256) * 4);  // a palette that only advises
    }
    if (pixelOffset >= 0 && !in.seek(pixelOffset))
        return failure();

    const int w = int(width), h = int(rows);
    const qint64 rowBytes = (width * bitCount + 31) / 32 * 4;
    if (!rle && !in.has(rowBytes * rows))
        return failure();
    QImage image;
    if (bitCount <= 8) {
        image = QImage(w, h, QImage::Format_Indexed8);
        if (image.isNull())
            return failure();
        image.setColorTable(palette);
        image.fill(0);
    }

    if (rle) {
        decodeRle(in, image, bottomUp, compression == BI_RLE4);
        r.image = image;
        r.pixelEnd = in.pos();
        return r;
    }

    if (bitCount > 8) {
        if (compression == BI_RGB)
            masks[0] = bitCount == 16 ? 0x7C00 : 0xFF0000, masks[1] = bitCount == 16 ? 0x03E0 : 0xFF00,
            masks[2] = bitCount == 16 ? 0x001F : 0xFF, masks[3] = 0;
        const bool alpha = bitCount != 24 && masks[3] != 0;
        image = QImage(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (image.isNull())
            return failure();
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
    for (int y = 0; y < h; ++y) {
        const QByteArrayView row = in.bytes(rowBytes);
        const auto *src = reinterpret_cast<const uchar *>(row.data());
        uchar *line = image.scanLine(bottomUp ? h - 1 - y : y);
        auto *out = reinterpret_cast<QRgb *>(line);
        if (bitCount == 24) {
            // Most photographs: blue, green, red read as one little-endian
            // word is already 0x??RRGGBB. The last pixel of a row is read
            // byte by byte, its fourth byte may lie past the pixels.
            for (int x = 0; x < w - 1; ++x, src += 3) {
                quint32 word;
                std::memcpy(&word, src, 4);
                out[x] = qFromLittleEndian(word) | 0xFF000000u;
            }
            out[w - 1] = qRgb(src[2], src[1], src[0]);
            continue;
        }
        for (int x = 0; x < w; ++x) {
            switch (bitCount) {
            case 1: line[x] = (src[x / 8] >> (7 - x % 8)) & 1; break;
            case 4: line[x] = x % 2 ? src[x / 2] & 15 : src[x / 2] >> 4; break;
            case 8: line[x] = src[x]; break;
            default: {
                const quint32 px = bitCount == 16 ? quint32(src[2 * x] | src[2 * x + 1] << 8)
                                                  : quint32(src[4 * x] | src[4 * x + 1] << 8
                                                            | src[4 * x + 2] << 16 | quint32(src[4 * x + 3]) << 24);
                out[x] = qRgba(red.value(px), green.value(px), blue.value(px), alpha.value(px, 255));
            }
            }
        }
    }
    r.image = image;
    r.pixelEnd = in.pos();
    return r;
}

BitmapResult DecodeBmp(QByteArrayView fileImage)
{
    // File header (14 bytes): "BM", file size, reserved, offset of the pixels.
    ByteReader in(fileImage);
    if (!in.has(18) || in.u8() != 'B' || in.u8() != 'M')
        return failure();
    in.skip(8);
    const qint64 offBits = in.u32();
    const QByteArrayView dib = fileImage.sliced(14);
    const quint32 headerSize = quint32(quint8(dib[0]) | quint8(dib[1]) << 8 | quint8(dib[2]) << 16
                                       | quint32(quint8(dib[3])) << 24);
    // Pixels start at the recorded offset when it points past the headers;
    // writers that leave it 0 put them right after the palette.
    const qint64 pixels = offBits >= 14 + qint64(headerSize) ? offBits - 14 : -1;
    return DecodeDib(dib, 1, pixels);
}

QByteArray EncodeBmp(const QImage &source)
{
    if (source.isNull())
        return {};
    const bool indexed = source.format() == QImage::Format_Indexed8 && source.colorCount() <= 256
        && !source.hasAlphaChannel();
    const bool alpha = !indexed && source.hasAlphaChannel();
    const QImage image = indexed ? source
                                 : source.convertToFormat(alpha ? QImage::Format_ARGB32
                                                                : QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    const int bits = indexed ? 8 : alpha ? 32 : 24;
    const quint32 headerSize = alpha ? 108 : 40;
    const quint32 colors = indexed ? quint32(image.colorCount()) : 0;
    const quint32 rowBytes = (quint32(w) * bits + 31) / 32 * 4;
    const quint32 offset = 14 + headerSize + colors * 4;
    QByteArray out;
    out.reserve(qsizetype(offset + rowBytes * h));
    auto put = [&out](quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            out.append(char((v >> (8 * i)) & 0xFF));
    };
    out.append("BM");
    put(offset + rowBytes * h, 4);
    put(0, 4);
    put(offset, 4);
    put(headerSize, 4);
    put(quint32(w), 4);
    put(quint32(h), 4);
    put(1, 2);
    put(bits, 2);
    put(alpha ? BI_BITFIELDS : BI_RGB, 4);
    put(rowBytes * h, 4);
    put(3780, 4);  // 96 pixels per inch
    put(3780, 4);
    put(colors, 4);
    put(0, 4);
    if (alpha) {
        put(0x00FF0000, 4); put(0x0000FF00, 4); put(0x000000FF, 4); put(0xFF000000, 4);
        put(0x73524742, 4);  // 'sRGB'
        out.append(QByteArray(48, '\0'));  // end points, gamma
    }
    for (quint32 i = 0; i < colors; ++i) {
        const QRgb c = image.color(int(i));
        put(quint32(qBlue(c)) | quint32(qGreen(c)) << 8 | quint32(qRed(c)) << 16, 4);
    }
    for (int y = h - 1; y >= 0; --y) {
        const uchar *line = image.constScanLine(y);
        const auto *px = reinterpret_cast<const QRgb *>(line);
        const qsizetype start = out.size();
        for (int x = 0; x < w; ++x) {
            if (indexed) {
                out.append(char(line[x]));
            } else {
                out.append(char(qBlue(px[x])));
                out.append(char(qGreen(px[x])));
                out.append(char(qRed(px[x])));
                if (alpha)
                    out.append(char(qAlpha(px[x])));
            }
        }
        out.append(QByteArray(rowBytes - (out.size() - start), '\0'));
    }
    return out;
}

}  // namespace graphics
