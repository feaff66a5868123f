#pragma once
// TLabelPrinter: the status window of one print or preview run. Shown
// modally, it runs the job once: every chosen cell of every sheet gets the
// whole label drawn at its place, the counters advance, progress is shown;
// then it reports the outcome and waits for OK.

#include "print/LabelRun.h"

#include <QDialog>

#include <memory>

class QIODevice;
class QLabel;
class QPushButton;
class TPageRecorder;
class TPrinterEngine;

class TLabelPrinter : public QDialog, public TLabelRun
{
    Q_OBJECT
public:
    explicit TLabelPrinter(QWidget *parent = nullptr);
    ~TLabelPrinter() override;

    // The run's fields (TLabelRun) are set by the print preparation before
    // the window is shown.

    // The window's own engines, made on first use: one prints, the other
    // records the pages of a preview.
    TPrinterEngine *ReportPrinter();
    TPageRecorder *ReportRecorder();

    // Print: the printer engine, caption "Print Status", button "Cancel".
    // Preview: the recorder writing into `previewStream`, caption "Preview
    // Status", button "Stop". Also sets the paper and orientation of the
    // layout's paper size and hooks the engine's events to this window.
    void SetUpRun(bool isPrinting, const QString &paperSize, QIODevice *previewStream = nullptr);
    // The job; runs once, on the first showing of the window.
    void RunJob();
    void BeforePrintLabels() override;
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
    // "Printed label 4 on page 2", then pending events (the button).
    void LabelPrinted(int label, int page) override;
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
