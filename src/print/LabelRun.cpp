#include "print/LabelRun.h"

#include "design/GGraphc.h"
#include "design/Gbasepnl.h"
#include "print/engine/ReportEngine.h"

#include <QDir>
#include <QUuid>

#include <algorithm>

TLabelRun::~TLabelRun() = default;

void TLabelRun::SetSheet(const TSheetMetrics &sheet, const TPrinterNudges &nudges)
{
    const TRunGeometry g = FineTuned(sheet, nudges);
    LabelHeight = sheet.LabelHeight;
    LabelWidth = sheet.LabelWidth;
    Across = sheet.Across;
    Down = sheet.Down;
    ColumnGap = sheet.ColumnGap;
    RowGap = sheet.RowGap;
    TopMargin = g.TopMargin;
    LeftMargin = g.LeftMargin;
    HorizontalPitch = g.HorizontalPitch;
    VerticalPitch = g.VerticalPitch;
    LabelShape = sheet.LabelShape;
    PageWidth = sheet.PageWidth;
    PageHeight = sheet.PageHeight;
}

void TLabelRun::SetEngine(TReportEngine *engine, bool isPrinting, const QString &paperSize)
{
    IsPrinting = isPrinting;
    ActiveReport = engine;
    if (!engine)
        return;
    if (const int code = PaperCodeOf(paperSize))
        engine->SelectPaper(code);
    engine->SetOrientation(IsLandscapePaper(paperSize) ? poLandscape : poPortrait);
    HookEngine();
}

void TLabelRun::HookEngine()
{
    if (!ActiveReport)
        return;
    ActiveReport->OnBeforePrint = [this] { BeforePrintLabels(); };
    ActiveReport->OnPrint = [this] { PrintLabels(); };
}

QPointF TLabelRun::LabelPosition(int row, int column) const
{
    double x = column * HorizontalPitch + LeftMargin;
    double y = row * VerticalPitch + TopMargin;
    if (column + 1 > HalfAcross && ColumnGap > 0)
        x += ColumnGap;
    if (row + 1 > HalfDown && RowGap > 0)
        y += RowGap;
    return {x, y};
}

void TLabelRun::Execute()
{
    if (!ActiveReport)
        throw EReportError(QStringLiteral("There is no print engine for this run."));
    HalfAcross = Across / 2;
    HalfDown = Down / 2;
    ActiveReport->Execute();
}

void TLabelRun::SetMerge(TMergeSource *source, qint64 firstRecord, qint64 lastRecord, int copies)
{
    Merge = source;
    FirstRecord = std::max<qint64>(firstRecord, 1);
    LastRecord = lastRecord;
    Copies = std::max(copies, 1);
}

qint64 TLabelRun::MergeRecordCount() const
{
    if (!Merge)
        return 0;
    const qint64 last = LastRecord < 1 ? Merge->RecordCount() : std::min(LastRecord, Merge->RecordCount());
    return std::max<qint64>(last - FirstRecord + 1, 0);
}

bool TLabelRun::nextRecord(TMergeRecord &record)
{
    while (Merge->Next(record)) {
        if (LastRecord >= 1 && record.Number > LastRecord)
            return false;
        if (record.Number >= FirstRecord)
            return true;
    }
    return false;
}

void TLabelRun::PrintLabels()
{
    if (!IsPrinting && !Merge)
        PageCount = 1;
    if (Across <= 0 || Down <= 0)
        return;
    const qint64 cellCount = qint64(Across) * Down;
    const auto selected = [&](qint64 cell) { return cell < CellSelected.size() && CellSelected.at(cell); };

    TMergeRecord record;
    int copiesLeft = Copies;
    const TMergeRecord shown = LabelPanel ? LabelPanel->MergeRecord() : TMergeRecord();
    if (Merge) {
        // A merge fills sheets until the records run out: a sheet with no
        // chosen cell would never take one.
        bool any = false;
        for (qint64 cell = 0; cell < cellCount && !any; ++cell)
            any = selected(cell);
        Merge->Rewind();
        if (!any || !nextRecord(record))
            return;
        if (LabelPanel)
            LabelPanel->SetMergeRecord(record);
    }
    // The panel shows what it showed before the run again afterwards.
    struct Restore
    {
        TGBasePanel *panel;
        const TMergeRecord &record;
        bool active;
        ~Restore()
        {
            if (active && panel)
                panel->SetMergeRecord(record);
        }
    } restore{LabelPanel, shown, Merge != nullptr};

    int page = 0, row = 0, column = -1;
    if (PrintCropMarks)
        DrawCropMarks();
    // A cancelled print job ends the loop as well; its pages go nowhere.
    while (!Stopped && !ActiveReport->Aborted()) {
        ++column;
        if (column + 1 > Across) {
            column = 0;
            ++row;
        }
        if (row + 1 > Down) {
            ++page;
            if (page >= PageCount && !Merge)
                break;
            row = 0;
            column = 0;
            ActiveReport->NewPage();
            if (PrintCropMarks)
                DrawCropMarks();
        }
        const qint64 cell = qint64(row) * Across + column;
        if (!selected(cell) || (page == 0 && cell < StartCell))
            continue;

        const QPointF at = LabelPosition(row, column);

        ActiveReport->Brush.Color = cl::Black;
        ActiveReport->Brush.Style = bsClear;
        ActiveReport->Pen.Color = cl::Black;
        ActiveReport->Pen.Style = psSolid;
        ActiveReport->Pen.Width = -1;
        ActiveReport->Pen.Mode = pmCopy;
        ActiveReport->Font.Name = QStringLiteral("Arial");
        ActiveReport->Font.Size = 8;

        if (LabelPanel) {
            LabelPanel->PrintObjects(*ActiveReport, at.x(), at.y());
            LabelPanel->AdvanceLabels();
        }
        if (PrintOutlines)
            DrawOutline(at);
        LabelPrinted(int(cell + 1), page + 1);
        if (Merge && --copiesLeft == 0) {
            if (!nextRecord(record))
                break;
            copiesLeft = Copies;
            if (LabelPanel)
                LabelPanel->SetMergeRecord(record);
        }
    }
}

void TLabelRun::LabelPrinted(int, int)
{
}

namespace {

// Marks stop this far short of the label area and are at most this long.
constexpr double CropMarkGap = 1.0 / 16;
constexpr double CropMarkLength = 0.25;
// Shorter room than this in a margin gets no mark.
constexpr double CropMarkMinimum = 1.0 / 32;

void thinPen(TReportEngine &report)
{
    report.Pen.Color = cl::Black;
    report.Pen.Style = psSolid;
    report.Pen.Width = -1;
    report.Pen.Mode = pmCopy;
    report.Brush.Style = bsClear;
}

}  // namespace

void TLabelRun::DrawOutline(QPointF at)
{
    if (!ActiveReport || LabelWidth <= 0 || LabelHeight <= 0)
        return;
    thinPen(*ActiveReport);
    const double x2 = at.x() + LabelWidth, y2 = at.y() + LabelHeight;
    if (LabelShape == QLatin1String("EL")) {
        ActiveReport->Ellipse(at.x(), at.y(), x2, y2);
    } else if (LabelShape == QLatin1String("RR")) {
        // The corners the design panel shows: 24 pixels at zoom 1.0.
        const double corner = 24.0 / TGGraphicControl::ScreenPixelsPerInch();
        ActiveReport->RoundRect(at.x(), at.y(), x2, y2, corner, corner);
    } else {
        ActiveReport->Rectangle(at.x(), at.y(), x2, y2);
    }
}

void TLabelRun::DrawCropMarks()
{
    if (!ActiveReport || Across <= 0 || Down <= 0 || LabelWidth <= 0 || LabelHeight <= 0)
        return;
    HalfAcross = Across / 2;
    HalfDown = Down / 2;
    thinPen(*ActiveReport);
    const double top = LabelPosition(0, 0).y();
    const double bottom = LabelPosition(Down - 1, 0).y() + LabelHeight;
    const double left = LabelPosition(0, 0).x();
    const double right = LabelPosition(0, Across - 1).x() + LabelWidth;
    // A mark from the margin's label side towards the sheet's edge.
    auto mark = [this](double edge, double room, double from, bool vertical, int direction) {
        const double length = std::min(CropMarkLength, room - CropMarkGap);
        if (length < CropMarkMinimum)
            return;
        const double a = edge + direction * CropMarkGap, b = a + direction * length;
        if (vertical) {
            ActiveReport->MoveTo(from, a);
            ActiveReport->LineTo(from, b);
        } else {
            ActiveReport->MoveTo(a, from);
            ActiveReport->LineTo(b, from);
        }
    };
    for (int c = 0; c < Across; ++c) {
        const double x = LabelPosition(0, c).x();
        for (double edge : {x, x + LabelWidth}) {
            mark(top, top, edge, true, -1);
            mark(bottom, PageHeight - bottom, edge, true, 1);
        }
    }
    for (int r = 0; r < Down; ++r) {
        const double y = LabelPosition(r, 0).y();
        for (double edge : {y, y + LabelHeight}) {
            mark(left, left, edge, false, -1);
            mark(right, PageWidth - right, edge, false, 1);
        }
    }
}

void PrepareLabelRun(TLabelRun &run, TGBasePanel *panel, const TSheetMetrics &sheet,
                     const TPrinterNudges &nudges, const QList<bool> &cells, int pageCount,
                     bool isPrinting)
{
    if (panel) {
        panel->SetPrinting(true);
        if (!isPrinting)
            panel->SetPreviewing(true);
        panel->RestartSequences();
    }
    run.LabelPanel = panel;
    run.IsPrinting = isPrinting;
    run.CellSelected = cells;
    run.PageCount = std::max(pageCount, 1);
    run.SetSheet(sheet, nudges);
}

bool AnyChecked(const QList<bool> &cells, const TSheetMetrics &sheet)
{
    const qsizetype count = std::min<qsizetype>(sheet.CellCount(), cells.size());
    return std::any_of(cells.begin(), cells.begin() + count, [](bool b) { return b; });
}

void DetachScratchFiles(TGBasePanel *panel)
{
    if (!panel)
        return;
    panel->SetProgramDirectory(QDir(QDir::tempPath()).filePath(
        QStringLiteral("quillmark-none-") + QUuid::createUuid().toString(QUuid::WithoutBraces)));
}
