#pragma once
// TCanvas: draws lines, rectangles, rounded rectangles, ellipses and text on
// any QPainter in device pixels, with the pixel conventions label objects
// were designed for: a line does not paint its end point, a figure's right
// and bottom coordinates are exclusive, a pen wider than one pixel is solid
// and lies centred on the figure's one-pixel outline.

#include "storage/Gdiobj.h"

#include <QPainter>
#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <QString>

// Pen of a canvas: Width in device pixels (0 draws the thinnest line).
struct TCanvasPen
{
    TColor Color = cl::Black;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
    int Width = 1;
    void Assign(const TPen &pen)
    {
        Color = pen.Color(); Style = pen.Style(); Mode = pen.Mode(); Width = pen.Width();
    }
};

struct TCanvasBrush
{
    TColor Color = cl::White;
    TBrushStyle Style = bsSolid;
    void Assign(const TBrush &brush) { Color = brush.Color(); Style = brush.Style(); }
};

// Font of a canvas. Height in device pixels (negative = character height,
// as TFont keeps it); Escapement in tenths of a degree, counter-clockwise.
struct TCanvasFont
{
    QString Name = QStringLiteral("Arial");
    int Height = -13;
    TFontStyles Style = 0;
    TColor Color = cl::Black;
    int Escapement = 0;
    QFont ToQFont() const;
};

// What the canvas draws at most, whatever a label file holds: a pen or a
// character this many device pixels wide or high fills any page at any
// printer resolution, and anything larger only costs time and memory.
namespace drawlimits {
constexpr int MaxPenWidth = 16384;
constexpr int MaxFontPixels = 16384;
// Device coordinates are kept inside this range so that sums of two stay
// inside an int.
constexpr int MaxDeviceCoordinate = 1 << 28;
int ClampPenWidth(long long width);
// A stored pen width (negative: hundredths of an inch) brought into range.
inline int BoundedPenWidth(int width) { return width < -MaxPenWidth ? -MaxPenWidth : width > MaxPenWidth ? MaxPenWidth : width; }
int ClampFontPixels(long long pixels);
int ClampCoordinate(double v);
}

QColor CanvasColor(TColor c);
Qt::PenStyle QtPenStyle(TPenStyle style);
Qt::BrushStyle QtBrushStyle(TBrushStyle style);
QPainter::CompositionMode QtCompositionMode(TPenMode mode);

class TCanvas
{
public:
    explicit TCanvas(QPainter &painter);
    QPainter &Painter() const { return *mPainter; }

    TCanvasPen Pen;
    TCanvasBrush Brush;
    TCanvasFont Font;
    // Text drawn with an opaque background in the brush colour when false.
    bool TransparentText = true;

    QPoint PenPos() const { return mPenPos; }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);                 // the point (x, y) itself is not painted
    void Rectangle(int x1, int y1, int x2, int y2);
    void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
    void Ellipse(int x1, int y1, int x2, int y2);
    void FillRect(const QRect &r);             // brush only, right and bottom exclusive
    void TextOut(int x, int y, const QString &text);  // (x, y) = top-left of the text cell
    QSize TextExtent(const QString &text) const;

private:
    bool applyMode();                          // false for pmNop
    QPen strokePen() const;

    QPainter *mPainter;
    QPoint mPenPos;
};
