#pragma once
// TReport: the drawing side of the print engine. Label objects draw on it in
// inches from the top-left corner of the sheet; it converts to the pixels of
// whatever device its QPainter paints on (printer, PDF writer, image).

#include "print/engine/Canvas.h"

#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <memory>

class QImage;
class QPicture;
class TPdfImages;

struct TReportPen
{
    TColor Color = cl::Black;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
    int Width = 1;   // > 0 device pixels; < 0 hundredths of an inch (at least one pixel)
};

struct TReportBrush
{
    TColor Color = cl::White;
    TBrushStyle Style = bsSolid;
};

struct TReportFont
{
    QString Name = QStringLiteral("Arial");
    double Size = 10;      // points
    TFontStyles Style = 0;
    TColor Color = cl::Black;
    int Rotation = 0;      // tenths of a degree, counter-clockwise
};

class TReport
{
public:
    TReport() = default;
    // `unprintable` is the device's unprintable top-left margin in inches
    // (0 for images and PDF files).
    TReport(QPainter *painter, double xDpi, double yDpi, QPointF unprintable = {});
    void SetDevice(QPainter *painter, double xDpi, double yDpi, QPointF unprintable = {});

    QPainter *Painter() const { return mPainter; }
    double XDpi() const { return mXDpi; }
    double YDpi() const { return mYDpi; }
    // Added to every position (inches); 0 unless a caller moves the page.
    QPointF Origin() const { return mOrigin; }
    void SetOrigin(QPointF inches) { mOrigin = inches; }

    TReportPen Pen;
    TReportBrush Brush;
    TReportFont Font;

    // Inches to device pixels: nearest((v + origin - unprintable) * dpi), halves to even.
    int XToDevice(double x) const;
    int YToDevice(double y) const;
    QRect RectToDevice(double x1, double y1, double x2, double y2) const;
    int PenWidthToDevice() const;
    int FontPixelHeight() const;   // character height of Font on the device

    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void Rectangle(double x1, double y1, double x2, double y2);
    // Corner ellipse width and height in inches.
    void RoundRect(double x1, double y1, double x2, double y2, double cornerWidth, double cornerHeight);
    void Ellipse(double x1, double y1, double x2, double y2);
    // (x, y) is the top-left corner of the text cell.
    void TextOut(double x, double y, const QString &text);
    double LineHeight() const;     // inches, of the current Font

    // Plays `picture`, recorded on a source of `sourceSize` screen pixels
    // (origin at 0, 0), scaled into the rectangle.
    void StretchDraw(double x1, double y1, double x2, double y2, const QPicture &picture,
                     QSizeF sourceSize);
    // Draws the whole image scaled into the rectangle, pixel for pixel.
    void StretchDraw(double x1, double y1, double x2, double y2, const QImage &image);
    // Lets `paint` draw straight onto the page in the units of a source of
    // `sourceSize` screen pixels (origin at 0, 0), scaled into the
    // rectangle: what StretchDraw of a picture recorded by `paint` shows,
    // without recording and replaying it.
    void StretchPaint(double x1, double y1, double x2, double y2, QSizeF sourceSize,
                      const std::function<void(QPainter &)> &paint);

    // Pictures drawn by StretchDraw go through `images` (not owned; null:
    // drawn as they are).
    void SetPdfImages(TPdfImages *images) { mPdfImages = images; }

private:
    TCanvas &canvas();
    void applyState();

    QPainter *mPainter = nullptr;
    TPdfImages *mPdfImages = nullptr;
    std::unique_ptr<TCanvas> mCanvas;
    double mXDpi = 96, mYDpi = 96;
    QPointF mUnprintable, mOrigin;
    QPointF mPenPos;
};
