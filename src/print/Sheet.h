#pragma once
// The sheet of a print run: the layout values the print preparation keeps,
// the cells of its one-fifth sheet picture, the printer nudges and the
// fine-tuned geometry the placement loop works with.

#include <QList>
#include <QPoint>
#include <QString>

struct TLabelLayout;

// Printer fine tuning in 1/32 inch, each -8 ... 8; program-wide, not per printer.
struct TPrinterNudges
{
    static constexpr int Min = -8, Max = 8;

    int TopMargin = 0;
    int LeftMargin = 0;
    int VerticalSpacing = 0;
    int HorizontalSpacing = 0;

    bool operator==(const TPrinterNudges &) const = default;
    // Every value held to Min ... Max.
    TPrinterNudges Clamped() const;
};

// The layout values of the print preparation window: the lengths as
// singles (as the main window keeps them), the counts as 32-bit integers,
// the gaps as doubles.
struct TSheetMetrics
{
    float LabelHeight = 0;
    float LabelWidth = 0;
    float TopMargin = 0;
    float LeftMargin = 0;
    float HorizontalPitch = 0;
    float VerticalPitch = 0;
    float PageWidth = 0;
    float PageHeight = 0;
    qint32 Across = 0;
    qint32 Down = 0;
    double ColumnGap = 0;
    double RowGap = 0;
    QString PaperSize;
    QString LabelShape;

    static TSheetMetrics FromLayout(const TLabelLayout &layout);
    // Across x Down, 0 for a sheet without cells.
    int CellCount() const;
};

// Paper code of a layout's paper size ("LTR"/"LTRL" 1, "A4"/"A4L" 9, "A5"
// 11); 0 for any other value (the paper is then left as it is).
int PaperCodeOf(const QString &paperSize);
bool IsLandscapePaper(const QString &paperSize);

// A rectangle of the sheet picture; right and bottom are exclusive.
struct TCellRect
{
    int Left = 0, Top = 0, Right = 0, Bottom = 0;

    bool Contains(QPoint p) const
    {
        return p.x() >= Left && p.x() < Right && p.y() >= Top && p.y() < Bottom;
    }
    bool operator==(const TCellRect &) const = default;
};

// The sheet drawn at one fifth of its size, 10 pixels in from the picture's
// corner, at `ppi` screen pixels per inch: the page, and every cell (cell k
// = row x Across + column). Each length is computed in extended precision
// and truncated toward zero on its own, so the cells of a row keep exactly
// the same spacing.
TCellRect SheetPageRect(const TSheetMetrics &sheet, int ppi);
QList<TCellRect> DetermineRectangles(const TSheetMetrics &sheet, int ppi);
// The first cell containing p (rows outer, columns inner), -1 for none.
int CellAt(const QList<TCellRect> &cells, QPoint p);

// Margins and pitches of a run in inches: the sheet's values with the
// nudges added (nudge / 32 inch each); the sheet itself is not changed.
struct TRunGeometry
{
    double TopMargin = 0;
    double LeftMargin = 0;
    double HorizontalPitch = 0;
    double VerticalPitch = 0;
};
TRunGeometry FineTuned(const TSheetMetrics &sheet, const TPrinterNudges &nudges);
