#include "design/Cursors.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The resources of a static library are registered by hand.
static void initDesignResources()
{
    Q_INIT_RESOURCE(design);
}

namespace {

QCursor svgCursor(const QString &resource, int hotX, int hotY)
{
    initDesignResources();
    QSvgRenderer renderer(resource);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    return QCursor(pixmap, hotX, hotY);
}

}  // namespace

QCursor HandPointCursor()
{
    static const QCursor cursor = svgCursor(QStringLiteral(":/design/handpoint.svg"), 10, 2);
    return cursor;
}

QCursor HandGrabCursor()
{
    static const QCursor cursor = svgCursor(QStringLiteral(":/design/handgrab.svg"), 16, 16);
    return cursor;
}

QCursor DrawingToolCursor()
{
    return QCursor(Qt::DragMoveCursor);
}
