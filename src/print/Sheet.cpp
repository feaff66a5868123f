#include "print/Sheet.h"

#include "storage/LabelLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// trunc(0.2 x inches x ppi), the product in extended precision.
int fifth(long double inches, int ppi)
{
    return int(std::trunc(0.2L * inches * ppi));
}

}  // namespace

TSheetMetrics TSheetMetrics::FromLayout(const TLabelLayout &layout)
{
    TSheetMetrics s;
    s.LabelHeight = float(layout.LabelHeight);
    s.LabelWidth = float(layout.LabelWidth);
    s.TopMargin = float(layout.TopMargin);
    s.LeftMargin = float(layout.LeftMargin);
    s.HorizontalPitch = float(layout.HorizontalPitch);
    s.VerticalPitch = float(layout.VerticalPitch);
    s.PageWidth = float(layout.PageWidth);
    s.PageHeight = float(layout.PageHeight);
    s.Across = layout.Across;
    s.Down = layout.Down;
    s.ColumnGap = layout.ColumnGap;
    s.RowGap = layout.RowGap;
    s.PaperSize = layout.PaperSize;
    s.LabelShape = layout.LabelShape;
    return s;
}

int TSheetMetrics::CellCount() const
{
    if (Across <= 0 || Down <= 0)
        return 0;
    return int(qint64(Across) * Down > 1'000'000 ? 1'000'000 : Across * Down);
}

int PaperCodeOf(const QString &paperSize)
{
    if (paperSize == u"LTR" || paperSize == u"LTRL")
        return 1;
    if (paperSize == u"A4" || paperSize == u"A4L")
        return 9;
    if (paperSize == u"A5")
        return 11;
    return 0;
}

bool IsLandscapePaper(const QString &paperSize)
{
    return paperSize == u"LTRL" || paperSize == u"A4L";
}

TCellRect SheetPageRect(const TSheetMetrics &sheet, int ppi)
{
    return {10, 10, fifth(sheet.PageWidth, ppi) + 10, fifth(sheet.PageHeight, ppi) + 10};
}

QList<TCellRect> DetermineRectangles(const TSheetMetrics &sheet, int ppi)
{
    QList<TCellRect> cells;
    const int count = sheet.CellCount();
    cells.reserve(count);
    const int halfAcross = sheet.Across / 2;
    const int halfDown = sheet.Down / 2;
    for (int r = 0; r < sheet.Down && cells.size() < count; ++r) {
        for (int c = 0; c < sheet.Across && cells.size() < count; ++c) {
            TCellRect cell;
            cell.Left = fifth(sheet.LeftMargin, ppi) + 10 + c * fifth(sheet.HorizontalPitch, ppi);
            if (c + 1 > halfAcross && sheet.ColumnGap > 0)
                cell.Left += fifth(sheet.ColumnGap, ppi);
            cell.Top = fifth(sheet.TopMargin, ppi) + 10 + r * fifth(sheet.VerticalPitch, ppi);
            if (r + 1 > halfDown && sheet.RowGap > 0)
                cell.Top += fifth(sheet.RowGap, ppi);
            cell.Right = cell.Left + fifth(sheet.LabelWidth, ppi);
            cell.Bottom = cell.Top + fifth(sheet.LabelHeight, ppi);
            cells.append(cell);
        }
    }
    return cells;
}

int CellAt(const QList<TCellRect> &cells, QPoint p)
{
    for (int i = 0; i < cells.size(); ++i) {
        if (cells.at(i).Contains(p))
            return i;
    }
    return -1;
}

TPrinterNudges TPrinterNudges::Clamped() const
{
    TPrinterNudges n;
    n.TopMargin = std::clamp(TopMargin, Min, Max);
    n.LeftMargin = std::clamp(LeftMargin, Min, Max);
    n.VerticalSpacing = std::clamp(VerticalSpacing, Min, Max);
    n.HorizontalSpacing = std::clamp(HorizontalSpacing, Min, Max);
    return n;
}

TRunGeometry FineTuned(const TSheetMetrics &sheet, const TPrinterNudges &n)
{
    const TPrinterNudges nudges = n.Clamped();
    TRunGeometry g;
    g.TopMargin = double(sheet.TopMargin) + nudges.TopMargin / 32.0;
    g.LeftMargin = double(sheet.LeftMargin) + nudges.LeftMargin / 32.0;
    g.HorizontalPitch = double(sheet.HorizontalPitch) + nudges.HorizontalSpacing / 32.0;
    g.VerticalPitch = double(sheet.VerticalPitch) + nudges.VerticalSpacing / 32.0;
    return g;
}
