#include "graphics/Svg.h"

#include <QPainter>
#include <QSvgRenderer>

namespace graphics {

SvgInfo ReadSvg(QByteArrayView bytes)
{
    SvgInfo info;
    if (bytes.isEmpty() || bytes.size() > MaxSvgBytes) {
        info.error = QStringLiteral("SVG image is not valid");
        return info;
    }
    QSvgRenderer renderer(bytes.toByteArray());
    if (!renderer.isValid()) {
        info.error = QStringLiteral("SVG image is not valid");
        return info;
    }
    info.size = renderer.defaultSize();
    if (info.size.isEmpty())
        info.size = QSize(100, 100);
    return info;
}

void DrawSvg(QByteArrayView bytes, QPainter &painter, const QRectF &target)
{
    if (bytes.isEmpty() || bytes.size() > MaxSvgBytes)
        return;
    QSvgRenderer renderer(bytes.toByteArray());
    if (renderer.isValid())
        renderer.render(&painter, target);
}

}  // namespace graphics
