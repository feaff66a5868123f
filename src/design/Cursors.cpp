#include "design/Cursors.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
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
    // Drawn at the screen's device pixels; the hot spot stays in cursor units.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    QPixmap pixmap((QSizeF(32, 32) * ratio).toSize());
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter, QRectF(0, 0, 32, 32));
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
