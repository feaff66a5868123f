#pragma once
// Small picture files made by the tests themselves: bitmaps of every header
// form and depth, icons with several entries.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QtEndian>

namespace picturefiles {

inline QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

inline QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// Rows in file order, each padded to a multiple of 4 bytes.
inline QByteArray rows(const QList<QByteArray> &hexRows)
{
    QByteArray out;
    for (const QByteArray &hex : hexRows) {
        QByteArray row = QByteArray::fromHex(hex);
        while (row.size() % 4)
            row.append('\0');
        out += row;
    }
    return out;
}

struct Dib
{
    int headerSize = 40;
    qint32 width = 0, height = 0;
    int bits = 24;
    quint32 compression = 0;
    QList<QRgb> palette;
    quint32 colorsUsed = 0;
    QList<quint32> masks;  // R, G, B[, A]
    QByteArray pixels;
};

// The information header, masks, palette and pixels.
inline QByteArray dibBytes(const Dib &d)
{
    QByteArray b;
    if (d.headerSize == 12) {
        b += le32(12) + le16(quint16(d.width)) + le16(quint16(d.height)) + le16(1) + le16(quint16(d.bits));
    } else {
        b += le32(quint32(d.headerSize)) + le32(quint32(d.width)) + le32(quint32(d.height)) + le16(1)
            + le16(quint16(d.bits)) + le32(d.compression) + le32(quint32(d.pixels.size()))
            + le32(2835) + le32(2835) + le32(d.colorsUsed) + le32(0);
        if (d.headerSize > 40) {
            QByteArray rest;
            for (quint32 m : d.masks)
                rest += le32(m);
            rest.resize(d.headerSize - 40, '\0');
            b += rest;
        } else {
            for (quint32 m : d.masks)
                b += le32(m);
        }
    }
    for (QRgb c : d.palette) {
        b += char(qBlue(c));
        b += char(qGreen(c));
        b += char(qRed(c));
        if (d.headerSize != 12)
            b += '\0';
    }
    return b + d.pixels;
}

inline QByteArray bmpFile(const Dib &d)
{
    const QByteArray dib = dibBytes(d);
    const quint32 offset = 14 + quint32(dib.size() - d.pixels.size());
    return "BM" + le32(14 + quint32(dib.size())) + le32(0) + le32(offset) + dib;
}

struct IconEntry
{
    QByteArray data;   // a DIB (height doubled, mask after) or a PNG file
    int width = 0, height = 0, bits = 0;
};

inline QByteArray icoFile(const QList<IconEntry> &entries)
{
    QByteArray dir = le16(0) + le16(1) + le16(quint16(entries.size()));
    QByteArray data;
    quint32 offset = 6 + 16 * quint32(entries.size());
    for (const IconEntry &e : entries) {
        dir += char(e.width & 0xFF);
        dir += char(e.height & 0xFF);
        dir += char(0);
        dir += char(0);
        dir += le16(1) + le16(quint16(e.bits)) + le32(quint32(e.data.size())) + le32(offset);
        offset += quint32(e.data.size());
        data += e.data;
    }
    return dir + data;
}

// An icon entry of w x h pixels, 32 bits (alpha from `image`) or 24 bits,
// with the given AND mask rows (bottom-up, one bit a pixel).
inline IconEntry iconDib(const QImage &image, int bits, const QByteArray &maskRows = {})
{
    const int w = image.width(), h = image.height();
    Dib d;
    d.width = w;
    d.height = 2 * h;
    d.bits = bits;
    const int rowBytes = (w * bits + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row;
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y);
            row += char(qBlue(c));
            row += char(qGreen(c));
            row += char(qRed(c));
            if (bits == 32)
                row += char(qAlpha(c));
        }
        row.resize(rowBytes, '\0');
        d.pixels += row;
    }
    const int maskRow = (w + 31) / 32 * 4;
    QByteArray mask = maskRows;
    mask.resize(maskRow * h, '\0');
    d.pixels += mask;
    return {dibBytes(d), w, h, bits};
}

inline IconEntry iconPng(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {png, image.width(), image.height(), 32};
}

}  // namespace picturefiles
