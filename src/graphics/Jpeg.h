#pragma once
// Jpeg: JPEG files decoded by libjpeg into an 8-bit palette picture: colour
// quantisation to 256 colours in two passes with Floyd-Steinberg dithering,
// the accurate integer DCT, fancy upsampling, colour output. Any warning
// from the decoder fails the load. Pure: bytes in, picture or error out.

#include <QByteArrayView>
#include <QImage>
#include <QString>

namespace graphics {

struct JpegResult
{
    QImage image;   // Indexed8, at most 256 colours
    QString error;  // the decoder's reason, or "There are warnings"
    bool ok() const { return error.isEmpty() && !image.isNull(); }
};

JpegResult DecodeJpeg(QByteArrayView file);

}  // namespace graphics
