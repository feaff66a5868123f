#pragma once
// Ico: the icon file reader. Picks the entry a desktop icon loader would
// (32 x 32 when there is one, else the largest, at the highest colour depth)
// and returns it as a picture of the icon's size on a white initial fill,
// with the AND mask applied (or the alpha channel, for 32-bit entries).

#include <QByteArrayView>
#include <QImage>
#include <QString>

namespace graphics {

struct IconResult
{
    QImage image;   // RGB32
    QString error;
    int entries = 0;
    bool ok() const { return error.isEmpty() && !image.isNull(); }
};

IconResult DecodeIco(QByteArrayView file);

}  // namespace graphics
