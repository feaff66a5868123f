#include "graphics/Raster.h"

#include "graphics/Limits.h"

#include <QBuffer>
#include <QImageReader>

namespace graphics {

RasterResult DecodeRaster(QByteArrayView bytes, const QByteArray &format)
{
    RasterResult r;
    QByteArray data = bytes.toByteArray();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAllocationLimit(int(MaxPixelBytes / (1024 * 1024)));
    const QSize size = reader.size();
    if (size.isValid() && !PictureSizeAllowed(size.width(), size.height())) {
        r.error = QStringLiteral("Picture too large");
        return r;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        r.error = reader.errorString();
        return r;
    }
    if (!PictureSizeAllowed(image.width(), image.height())) {
        r.error = QStringLiteral("Picture too large");
        return r;
    }
    r.image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                            : QImage::Format_RGB32);
    return r;
}

}  // namespace graphics
