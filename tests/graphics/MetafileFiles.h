#pragma once
// Small metafiles made by the tests themselves: WMF and EMF records written
// one by one, with the headers around them.

#include "PictureFiles.h"

#include "graphics/Bmp.h"
#include "graphics/Metafile.h"

#include <QString>

namespace picturefiles {

// WMF records: a word count, a function number and 16-bit parameters.
class WmfWriter
{
public:
    WmfWriter &rec(int function, const QList<int> &params, const QByteArray &extra = {})
    {
        QByteArray e = extra;
        if (e.size() % 2)
            e += '\0';
        const int words = 3 + int(params.size()) + int(e.size()) / 2;
        mRecords += le32(quint32(words)) + le16(quint16(function));
        for (int p : params)
            mRecords += le16(quint16(p));
        mRecords += e;
        return *this;
    }
    // Window 0,0 .. ext,ext in logical units; a solid brush and pen of `color`
    // (0x00BBGGRR) made and selected.
    WmfWriter &window(int ext)
    {
        rec(0x020B, {0, 0});
        return rec(0x020C, {ext, ext});
    }
    WmfWriter &solidBrush(quint32 color)
    {
        rec(0x02FC, {0, int(color & 0xFFFF), int(color >> 16), 0});
        return select();
    }
    WmfWriter &pen(quint32 color, int width = 0, int style = 0)
    {
        rec(0x02FA, {style, width, 0, int(color & 0xFFFF), int(color >> 16)});
        return select();
    }
    WmfWriter &nullPen() { return pen(0, 0, 5); }
    // Objects take the lowest free slot; the tests never delete, so the
    // slots count up.
    WmfWriter &select()
    {
        rec(0x012D, {mObjects});
        ++mObjects;
        return *this;
    }
    // A 24-bit DIB (information header and pixels) of `image` after the
    // record's parameters.
    static QByteArray dib(const QImage &image)
    {
        const QByteArray bmp = graphics::EncodeBmp(image.convertToFormat(QImage::Format_RGB32));
        return bmp.mid(14);
    }
    QByteArray file(bool placeable = true, int ext = 1000, int unitsPerInch = 1000) const
    {
        QByteArray records = mRecords + le32(3) + le16(0);
        const QByteArray header = le16(1) + le16(9) + le16(0x300) + le32(quint32(9 + records.size() / 2))
            + le16(quint16(std::max(mObjects, 1))) + le32(20) + le16(0);
        const QByteArray wmf = header + records;
        if (!placeable)
            return wmf;
        QByteArray ph = le32(graphics::PlaceableKey) + le16(0) + le16(0) + le16(0) + le16(quint16(ext))
            + le16(quint16(ext)) + le16(quint16(unitsPerInch)) + le32(0);
        quint16 sum = 0;
        for (int i = 0; i < 20; i += 2)
            sum ^= quint16(quint8(ph[i]) | quint8(ph[i + 1]) << 8);
        return ph + le16(sum) + wmf;
    }

private:
    QByteArray mRecords;
    int mObjects = 0;
};

// EMF records: type, size and 32-bit fields; the header frames 0,0 ..
// 1000,1000 device pixels of a 100 x 100 mm device of 1000 x 1000 pixels,
// so one logical unit is one pixel and the picture is 10 cm square.
class EmfWriter
{
public:
    EmfWriter &rec(quint32 type, const QList<qint32> &fields, const QByteArray &extra = {})
    {
        QByteArray body;
        for (qint32 f : fields)
            body += le32(quint32(f));
        body += extra;
        while (body.size() % 4)
            body += '\0';
        mRecords += le32(type) + le32(quint32(8 + body.size())) + body;
        ++mCount;
        return *this;
    }
    EmfWriter &solidBrush(quint32 color)
    {
        rec(39, {mObjects, 0, qint32(color), 0});
        return select();
    }
    EmfWriter &pen(quint32 color, int width = 0, int style = 0)
    {
        rec(38, {mObjects, style, width, 0, qint32(color)});
        return select();
    }
    EmfWriter &nullPen() { return pen(0, 0, 5); }
    EmfWriter &select()
    {
        rec(37, {mObjects});
        ++mObjects;
        return *this;
    }
    // EXTCREATEFONTINDIRECTW, selected.
    EmfWriter &font(int height, const QString &face)
    {
        QByteArray lf;
        for (qint32 v : {height, 0, 0, 0, 400})
            lf += le32(quint32(v));
        lf += QByteArray(8, '\0');
        QByteArray name(64, '\0');
        for (qsizetype i = 0; i < face.size() && i < 31; ++i)
            qToLittleEndian(quint16(face[i].unicode()), name.data() + 2 * i);
        rec(82, {mObjects}, lf + name);
        return select();
    }
    // EXTTEXTOUTW at x, y, without spacing.
    EmfWriter &text(int x, int y, const QString &s)
    {
        QByteArray utf16(s.size() * 2, '\0');
        for (qsizetype i = 0; i < s.size(); ++i)
            qToLittleEndian(quint16(s[i].unicode()), utf16.data() + 2 * i);
        // bounds, graphics mode, x and y scale, then EMRTEXT from offset 36.
        const QList<qint32> fields{0, 0, 0, 0, 1, 0, 0, x, y, qint32(s.size()), 76, 0, 0, 0, 0, 0, 0};
        return rec(84, fields, utf16);
    }
    // STRETCHDIBITS of `image` into dx, dy, dw, dh.
    EmfWriter &stretchDib(const QImage &image, int dx, int dy, int dw, int dh)
    {
        const QByteArray d = WmfWriter::dib(image);
        const qint32 bmiSize = 40;
        const qint32 fixed = 8 + 72;  // type and size, then 18 fields
        const QList<qint32> fields{0,  0,        0, 0, dx, dy, 0, 0, image.width(), image.height(),
                                   fixed, bmiSize, fixed + bmiSize, qint32(d.size() - bmiSize), 0,
                                   0x00CC0020, dw, dh};
        return rec(81, fields, d);
    }
    QByteArray file() const
    {
        const QByteArray eof = le32(14) + le32(20) + le32(0) + le32(16) + le32(20);
        const quint32 total = quint32(88 + mRecords.size() + eof.size());
        QByteArray h = le32(1) + le32(88);
        for (qint32 v : {0, 0, 999, 999, 0, 0, 10000, 10000})  // bounds, frame (0.01 mm)
            h += le32(quint32(v));
        h += le32(0x464D4520) + le32(0x10000) + le32(total) + le32(quint32(mCount + 2));
        h += le16(quint16(mObjects + 1)) + le16(0) + le32(0) + le32(0) + le32(0);
        h += le32(1000) + le32(1000) + le32(100) + le32(100);  // device pixels and millimetres
        return h + mRecords + eof;
    }

private:
    QByteArray mRecords;
    int mCount = 0;
    int mObjects = 1;  // slot 0 is the header's
};

}  // namespace picturefiles
