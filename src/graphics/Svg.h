#pragma once
// Svg: SVG pictures through QtSvg, drawn as vectors.

#include <QByteArrayView>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

namespace graphics {

struct SvgInfo
{
    QString error;
    QSize size;   // the default size, in pixels
    bool ok() const { return error.isEmpty(); }
};

// Largest SVG document accepted (bytes).
constexpr qsizetype MaxSvgBytes = 64 * 1024 * 1024;

SvgInfo ReadSvg(QByteArrayView bytes);
void DrawSvg(QByteArrayView bytes, QPainter &painter, const QRectF &target);

}  // namespace graphics
