#pragma once
// TLabelRun: one print or preview run without a window: the sheet geometry
// of the run, the chosen cells, and the placement loop that draws the whole
// label at every chosen cell of every sheet through a print engine and
// counts each printed label. The status window and qmtool both print
// through it, so a sheet comes out the same either way.

#include "print/Sheet.h"
#include "storage/MergeSource.h"

#include <QList>
#include <QPointF>
#include <QString>

class TGBasePanel;
class TReportEngine;

class TLabelRun
{
public:
    TLabelRun() = default;
    virtual ~TLabelRun();
    TLabelRun(const TLabelRun &) = delete;
    TLabelRun &operator=(const TLabelRun &) = delete;

    // The panel holding the run's copy of the label objects.
    TGBasePanel *LabelPanel = nullptr;
    // The printer engine for print, the page recorder for preview.
    TReportEngine *ActiveReport = nullptr;
    bool IsPrinting = true;
    // Set to end the loop after the current label (Stop of a preview).
    bool Stopped = false;
    int PageCount = 1;
    double LabelHeight = 0, LabelWidth = 0;  // carried, not used in placement
    qint32 Across = 0, Down = 0;
    double TopMargin = 0, LeftMargin = 0, HorizontalPitch = 0, VerticalPitch = 0;
    double ColumnGap = 0, RowGap = 0;
    // Cell k = row x Across + column; cells beyond the list are not printed.
    QList<bool> CellSelected;
    // Across div 2 and Down div 2, set when the job starts.
    int HalfAcross = 0, HalfDown = 0;
    // For checking the stock: a thin line along every printed label's shape
    // ("RR" rounded, "EL" elliptical, else rectangular), and marks in the
    // sheet's margins in line with every column's and row's edges.
    bool PrintOutlines = false;
    bool PrintCropMarks = false;
    QString LabelShape;
    double PageWidth = 0, PageHeight = 0;
    // The first sheet begins at this cell (row x Across + column); the
    // cells before it stay empty, later sheets begin at cell 0.
    int StartCell = 0;

    // Mail merge: the records fill the chosen cells in order, each Copies
    // times, sheet after sheet, until the last record of the range is
    // placed; PageCount does not limit the run then, and a preview shows
    // every sheet. The source must be open (TMergeSource::Open).
    TMergeSource *Merge = nullptr;
    int Copies = 1;
    // Record numbers from 1; LastRecord < 1: to the end of the source.
    qint64 FirstRecord = 1, LastRecord = 0;
    void SetMerge(TMergeSource *source, qint64 firstRecord, qint64 lastRecord, int copies);
    // The records of the range the source holds.
    qint64 MergeRecordCount() const;

    // Sheet geometry of the run: counts, gaps and label size from the
    // sheet, margins and pitches fine-tuned with the nudges.
    void SetSheet(const TSheetMetrics &sheet, const TPrinterNudges &nudges);
    // The engine of the run: paper and orientation of the layout's paper
    // size ("LTR" Letter, "A4L" A4 turned, ...; other sizes keep the
    // engine's paper), and its events hooked to this run.
    void SetEngine(TReportEngine *engine, bool isPrinting, const QString &paperSize);
    // The engine's before-print event calls BeforePrintLabels, its print
    // event PrintLabels.
    void HookEngine();

    // Top-left corner of a cell's label on the sheet, in inches.
    QPointF LabelPosition(int row, int column) const;

    // Sets the halves and runs the engine's job. Engine and drawing errors
    // are passed on; an aborted job returns normally (see the engine).
    void Execute();
    virtual void BeforePrintLabels() {}
    // The placement loop: sheet after sheet, row by row, left to right.
    void PrintLabels();

    // The two drawings above, on the engine's current page.
    void DrawOutline(QPointF at);
    void DrawCropMarks();

protected:
    // The next record of the range into `record`; false after the last.
    bool nextRecord(TMergeRecord &record);
    // After every printed label: its number on the sheet and the sheet,
    // both counted from 1. The status window reports progress here.
    virtual void LabelPrinted(int label, int page);
};

// The print preparation's set-up of a run: marks the panel as printing (and
// previewing for a preview), restarts every counter, and gives the run the
// panel, a copy of the cell choice, the number of sheets (1 when less) and
// the sheet fine-tuned with the nudges.
void PrepareLabelRun(TLabelRun &run, TGBasePanel *panel, const TSheetMetrics &sheet,
                     const TPrinterNudges &nudges, const QList<bool> &cells, int pageCount,
                     bool isPrinting);

// True when a cell of the sheet (0 .. Across x Down - 1) is selected.
bool AnyChecked(const QList<bool> &cells, const TSheetMetrics &sheet);

// A design panel deletes the program's scratch file when it goes. A panel
// holding a print copy of the design must leave the main window's files
// alone: this points its file names into a folder that does not exist.
void DetachScratchFiles(TGBasePanel *panel);
