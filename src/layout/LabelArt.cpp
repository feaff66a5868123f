#include "LabelArt.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

// Resources of a static library must be pulled in by hand.
static void initLabelArtResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(labelart);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

const QString ResourceFolder = QStringLiteral(":/labelart/");

// Pixels at least this dark become the art's colour.
constexpr int Threshold = 128;
const QRgb Silver = qRgb(192, 192, 192);
const QRgb White = qRgb(255, 255, 255);

// Corner size of rounded labels, in pixels of the design at zoom 1.
constexpr qreal CornerSize = 24;

}  // namespace

QStringList LabelArtNames()
{
    initLabelArtResources();
    return QDir(ResourceFolder).entryList(QDir::Files, QDir::Name);
}

QString LabelArtPicture(const QString &artName)
{
    initLabelArtResources();
    const QString name = artName.section(QLatin1Char('.'), 0, 0).toUpper();
    if (name.isEmpty() || !QFileInfo::exists(ResourceFolder + name))
        return QString();
    return name;
}

QImage RenderLabelArt(const QString &artName, QSize size, const QString &labelShape)
{
    const QString name = LabelArtPicture(artName);
    if (name.isEmpty() || size.isEmpty())
        return QImage();
    QSvgRenderer renderer(ResourceFolder + name);
    if (!renderer.isValid())
        return QImage();

    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter p(&picture);
        renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    for (int y = 0; y < picture.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = qGray(line[x]) < Threshold ? Silver : White;
    }

    QImage art(size, QImage::Format_ARGB32_Premultiplied);
    art.fill(Qt::transparent);
    QPainter p(&art);
    const QRectF bounds(QPointF(0, 0), QSizeF(size));
    QPainterPath outline;
    if (labelShape == QLatin1String("RR"))
        outline.addRoundedRect(bounds, CornerSize / 2, CornerSize / 2);
    else if (labelShape == QLatin1String("EL"))
        outline.addEllipse(bounds);
    else
        outline.addRect(bounds);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipPath(outline);
    p.drawImage(0, 0, picture);
    return art;
}
