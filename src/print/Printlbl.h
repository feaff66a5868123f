#pragma once
// TLabelPrinter: the status window of one print or preview run. Shown
// modally, it runs the job once: every chosen cell of every sheet gets the
// whole label drawn at its place, the counters advance, progress is shown;
// then it reports the outcome and waits for OK.

#include "print/Sheet.h"

#include <QDialog>
#include <QList>
#include <QPointF>

#include <memory>

class QIODevice;
class QLabel;
class QPushButton;
class TGBasePanel;
class TPageRecorder;
class TPrinterEngine;
class TReportEngine;

class TLabelPrinter : public QDialog
{
    Q_OBJECT
public:
    explicit TLabelPrinter(QWidget *parent = nullptr);
    ~TLabelPrinter() override;

    // Set by the print preparation before the window is shown.
    TGBasePanel *LabelPanel = nullptr;
    TReportEngine *ActiveReport = nullptr;
    bool IsPrinting = true;
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

    // The window's own engines, made on first use: one prints, the other
    // records the pages of a preview.
    TPrinterEngine *ReportPrinter();
    TPageRecorder *ReportRecorder();

    // Sheet geometry of the run: counts, gaps and label size from the
    // sheet, margins and pitches fine-tuned with the nudges.
    void SetSheet(const TSheetMetrics &sheet, const TPrinterNudges &nudges);
    // Print: the printer engine, caption "Print Status", button "Cancel".
    // Preview: the recorder writing into `previewStream`, caption "Preview
    // Status", button "Stop". Also sets the paper and orientation of the
    // layout's paper size and hooks the engine's events to this window.
    void SetUpRun(bool isPrinting, const QString &paperSize, QIODevice *previewStream = nullptr);
    // The engine's before-print event calls BeforePrintLabels, its print
    // event PrintLabels.
    void HookEngine();

    // Top-left corner of a cell's label on the sheet, in inches.
    QPointF LabelPosition(int row, int column) const;

    // The job; runs once, on the first showing of the window.
    void RunJob();
    void BeforePrintLabels();
    void PrintLabels();
    void CancelButtonClick();

    bool JobStarted() const { return mJobStarted; }
    bool JobFinished() const { return mJobFinished; }
    // The job's error message; empty when it ended without one.
    QString JobError() const { return mJobError; }
    // True when the job was cancelled, stopped or failed.
    bool JobAborted() const;

    QLabel *StatusText() const { return mStatusText; }
    QPushButton *CancelButton() const { return mCancelButton; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void setStatus(const QString &text);

    QLabel *mStatusText = nullptr;
    QPushButton *mCancelButton = nullptr;
    std::unique_ptr<TPrinterEngine> mReportPrinter;
    std::unique_ptr<TPageRecorder> mReportRecorder;
    bool mJobStarted = false;
    bool mJobFinished = false;
    QString mJobError;
};

// The application's standard error box.
void ShowErrorBox(QWidget *parent, const QString &message);
