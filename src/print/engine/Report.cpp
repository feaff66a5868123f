#include "print/engine/Report.h"

#include "print/engine/PdfImages.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPicture>

#include <cmath>

namespace {
int nearest(double v)
{
    return drawlimits::ClampCoordinate(std::nearbyint(v));
}
}

TReport::TReport(QPainter *painter, double xDpi, double yDpi, QPointF unprintable)
{
    SetDevice(painter, xDpi, yDpi, unprintable);
}

void TReport::SetDevice(QPainter *painter, double xDpi, double yDpi, QPointF unprintable)
{
    mPainter = painter;
    mXDpi = xDpi;
    mYDpi = yDpi;
    mUnprintable = unprintable;
    mCanvas = painter ? std::make_unique<TCanvas>(*painter) : nullptr;
}

int TReport::XToDevice(double x) const
{
    return nearest((x + mOrigin.x() - mUnprintable.x()) * mXDpi);
}

int TReport::YToDevice(double y) const
{
    return nearest((y + mOrigin.y() - mUnprintable.y()) * mYDpi);
}

QRect TReport::RectToDevice(double x1, double y1, double x2, double y2) const
{
    return QRect(QPoint(XToDevice(x1), YToDevice(y1)), QPoint(XToDevice(x2) - 1, YToDevice(y2) - 1));
}

int TReport::PenWidthToDevice() const
{
    if (Pen.Width >= 0)
        return Pen.Width;
    // Hundredths of an inch, never thinner than one device pixel.
    return drawlimits::ClampPenWidth(qMax(1, nearest(-double(Pen.Width) / 100.0 * mXDpi)));
}

int TReport::FontPixelHeight() const
{
    return drawlimits::ClampFontPixels(nearest(double(Font.Size) * mYDpi / 72.0));
}

TCanvas &TReport::canvas()
{
    applyState();
    return *mCanvas;
}

void TReport::applyState()
{
    mCanvas->Pen.Color = Pen.Color;
    mCanvas->Pen.Style = Pen.Style;
    mCanvas->Pen.Mode = Pen.Mode;
    mCanvas->Pen.Width = PenWidthToDevice();
    mCanvas->Brush.Color = Brush.Color;
    mCanvas->Brush.Style = Brush.Style;
    mCanvas->Font.Name = Font.Name;
    mCanvas->Font.Height = -FontPixelHeight();
    mCanvas->Font.Style = Font.Style;
    mCanvas->Font.Color = Font.Color;
    mCanvas->Font.Escapement = Font.Rotation;
    mCanvas->TransparentText = Brush.Style == bsClear;
}

void TReport::MoveTo(double x, double y)
{
    mPenPos = QPointF(x, y);
}

void TReport::LineTo(double x, double y)
{
    if (!mPainter)
        return;
    TCanvas &c = canvas();
    c.MoveTo(XToDevice(mPenPos.x()), YToDevice(mPenPos.y()));
    c.LineTo(XToDevice(x), YToDevice(y));
    mPenPos = QPointF(x, y);
}

void TReport::Rectangle(double x1, double y1, double x2, double y2)
{
    if (mPainter)
        canvas().Rectangle(XToDevice(x1), YToDevice(y1), XToDevice(x2), YToDevice(y2));
}

void TReport::RoundRect(double x1, double y1, double x2, double y2, double cornerWidth,
                        double cornerHeight)
{
    if (mPainter)
        canvas().RoundRect(XToDevice(x1), YToDevice(y1), XToDevice(x2), YToDevice(y2),
                           nearest(cornerWidth * mXDpi), nearest(cornerHeight * mYDpi));
}

void TReport::Ellipse(double x1, double y1, double x2, double y2)
{
    if (mPainter)
        canvas().Ellipse(XToDevice(x1), YToDevice(y1), XToDevice(x2), YToDevice(y2));
}

void TReport::TextOut(double x, double y, const QString &text)
{
    if (mPainter)
        canvas().TextOut(XToDevice(x), YToDevice(y), text);
}

double TReport::LineHeight() const
{
    TCanvasFont f;
    f.Name = Font.Name;
    f.Height = -FontPixelHeight();
    f.Style = Font.Style;
    const QFontMetricsF fm(f.ToQFont());
    return fm.lineSpacing() / mYDpi;
}

void TReport::StretchDraw(double x1, double y1, double x2, double y2, const QPicture &picture,
                          QSizeF sourceSize)
{
    if (!mPainter || sourceSize.width() <= 0 || sourceSize.height() <= 0)
        return;
    const QRect target = RectToDevice(x1, y1, x2, y2);
    if (target.isEmpty())
        return;
    // Playing a picture scales it by the device's resolution over the
    // picture's own, so the transform is computed in the picture's units.
    // The picture is only copied (and its data with it) when its bounds
    // must change.
    QPicture source(picture);
    const QRect bounds(QPoint(0, 0), sourceSize.toSize());
    if (source.boundingRect() != bounds)
        source.setBoundingRect(bounds);
    const QPaintDevice *device = mPainter->device();
    const double kx = double(device->logicalDpiX()) / source.logicalDpiX();
    const double ky = double(device->logicalDpiY()) / source.logicalDpiY();
    mPainter->save();
    mPainter->translate(target.topLeft());
    mPainter->scale(target.width() / (sourceSize.width() * kx),
                    target.height() / (sourceSize.height() * ky));
    mPainter->drawPicture(0, 0, source);
    mPainter->restore();
}

void TReport::StretchPaint(double x1, double y1, double x2, double y2, QSizeF sourceSize,
                           const std::function<void(QPainter &)> &paint)
{
    if (!mPainter || sourceSize.width() <= 0 || sourceSize.height() <= 0)
        return;
    const QRect target = RectToDevice(x1, y1, x2, y2);
    if (target.isEmpty())
        return;
    // The state the drawing may change is put back by hand: a painter save
    // makes Qt's PDF writer flush the whole graphics state, and restoring
    // it then costs a second transform and pen on the page for every object.
    QPainter &p = *mPainter;
    const QTransform transform = p.worldTransform();
    const QPen pen = p.pen();
    const QBrush brush = p.brush();
    const QFont font = p.font();
    const QPainter::RenderHints hints = p.renderHints();
    const QPainter::CompositionMode mode = p.compositionMode();
    const qreal opacity = p.opacity();
    const Qt::BGMode background = p.backgroundMode();
    const bool clipped = p.hasClipping();
    p.translate(target.topLeft());
    p.scale(target.width() / sourceSize.width(), target.height() / sourceSize.height());
    paint(p);
    p.setWorldTransform(transform);
    p.setPen(pen);
    p.setBrush(brush);
    p.setFont(font);
    p.setRenderHints(~hints, false);
    p.setRenderHints(hints, true);
    p.setCompositionMode(mode);
    p.setOpacity(opacity);
    p.setBackgroundMode(background);
    // A drawing clips inside a save of its own; one that left a clip
    // behind has it switched off again.
    if (p.hasClipping() != clipped)
        p.setClipping(clipped);
}

void TReport::StretchDraw(double x1, double y1, double x2, double y2, const QImage &image)
{
    if (!mPainter || image.isNull())
        return;
    const QRect target = RectToDevice(x1, y1, x2, y2);
    if (target.isEmpty())
        return;
    const QImage drawn = mPdfImages ? mPdfImages->StandIn(image) : image;
    mPainter->save();
    mPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    mPainter->drawImage(target, drawn, drawn.rect());
    mPainter->restore();
}
