#pragma once
// TReportEngine: a TReport that runs print jobs: paper, status display, the
// job's events, pages and abort. The printer engine and the page recorder
// are its two kinds; they differ only in the device the pages go to.

#include "print/engine/Report.h"

#include <QLabel>
#include <QPageSize>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>


// A failure of the print engine (device, printer, recorded pages); the
// message is written for the user.
class EReportError : public std::runtime_error
{
public:
    explicit EReportError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

enum TOrientation { poPortrait, poLandscape };

// Paper codes the label layouts use.
enum : int { PaperLetter = 1, PaperA4 = 9, PaperA5 = 11 };

class TReportEngine : public TReport
{
public:
    TReportEngine();
    virtual ~TReportEngine();
    TReportEngine(const TReportEngine &) = delete;
    TReportEngine &operator=(const TReportEngine &) = delete;

    // Document title given to the spooler and to PDF files.
    QString Title = QStringLiteral("Quillmark");

    // Paper by code (1 Letter, 9 A4, 11 A5). Width and height in inches give
    // a size of their own; 0 and 0 keep the code's standard size. Returns
    // false (and leaves the paper alone) for any other code.
    bool SelectPaper(int paperCode, double width = 0, double height = 0);
    const QPageSize &PaperSize() const { return mPaperSize; }
    void SetPaperSize(const QPageSize &size);
    TOrientation Orientation() const { return mOrientation; }
    void SetOrientation(TOrientation orientation);
    // The sheet as the pages are drawn, in inches (turned for landscape).
    QSizeF PageSizeInches() const;

    // Status display: "%p" is replaced by the current page number, "%0" ..
    // "%9" by the status lines (empty when a line does not exist).
    QString StatusFormat;
    QStringList StatusText;
    QLabel *StatusLabel() const { return mStatusLabel; }
    void SetStatusLabel(QLabel *label);
    QString StatusString() const;
    // Writes StatusString() into the label and repaints it now.
    void UpdateStatus();

    // The job: start document, before-print event, print event, finish
    // document. The document is finished also when an event throws; then
    // (as after Abort) nothing of it reaches the device, and the error is
    // passed on to the caller.
    std::function<void()> OnBeforePrint;
    std::function<void()> OnPrint;
    void Execute();
    void NewPage();
    // Ends the job at once: what was drawn is dropped and further drawing
    // goes nowhere. The mark stays readable until the next Execute.
    void Abort();
    bool Aborted() const { return mAborted; }
    bool Printing() const { return mPrinting; }
    int CurrentPage() const { return mCurrentPage; }

protected:
    // Device side of a job. StartDocument binds the TReport to the device
    // (SetDevice) or throws EReportError; returning false means the user
    // declined (no document, the job counts as aborted).
    virtual bool StartDocument() = 0;
    virtual void StartNextPage() = 0;
    // keep: the document is complete and goes to its destination; otherwise
    // it is thrown away. Called exactly once for every started document.
    virtual void FinishDocument(bool keep) = 0;
    // Paper or orientation changed.
    virtual void PaperChanged() {}

private:
    // Outside a document (and after an abort) drawing goes nowhere.
    void bindSink();
    void finish(bool keep);

    QPageSize mPaperSize{QPageSize::Letter};
    TOrientation mOrientation = poPortrait;
    QPointer<QLabel> mStatusLabel;
    bool mAborted = false;
    bool mPrinting = false;
    bool mDocumentOpen = false;
    int mCurrentPage = 0;
};
