#pragma once
// Bmp: the Windows bitmap reader and writer. DecodeBmp takes a whole file
// image ("BM" header first); DecodeDib the same without the file header, as
// icons and metafiles embed it. Both are pure: bytes in, picture or error out.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

namespace graphics {

struct BitmapResult
{
    QImage image;            // Indexed8 up to 8 bits a pixel, else RGB32 / ARGB32
    QString error;           // empty on success
    int bitsPerPixel = 0;
    int colors = 0;          // palette entries held by the file; 0 for none
    qsizetype pixelEnd = 0;  // DecodeDib: offset just past the pixel rows
    bool ok() const { return error.isEmpty() && !image.isNull(); }
};

BitmapResult DecodeBmp(QByteArrayView fileImage);

// `rowsDivisor` 2 reads an icon's image, whose header counts the AND mask
// rows as well. A negative `pixelOffset` means the pixels follow the palette.
BitmapResult DecodeDib(QByteArrayView dib, int rowsDivisor = 1, qint64 pixelOffset = -1);

// A complete file image: 8 bits with palette for Indexed8, 32 bits with an
// alpha mask (V4 header) for pictures with alpha, 24 bits otherwise.
QByteArray EncodeBmp(const QImage &image);

}  // namespace graphics
