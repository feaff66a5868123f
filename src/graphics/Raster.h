#pragma once
// Raster: the picture formats read through Qt's image readers (PNG, GIF,
// TIFF, WebP), with the same size limits as the program's own readers.

#include <QByteArrayView>
#include <QImage>
#include <QString>

namespace graphics {

struct RasterResult
{
    QImage image;   // ARGB32 when the file has alpha, else RGB32
    QString error;
    bool ok() const { return error.isEmpty() && !image.isNull(); }
};

// `format` as Qt names it: "png", "gif", "tiff", "webp".
RasterResult DecodeRaster(QByteArrayView bytes, const QByteArray &format);

}  // namespace graphics
