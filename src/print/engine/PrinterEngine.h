#pragma once
// TPrinterEngine: the print engine kind that prints: on one of the system's
// printers through CUPS, or into a PDF file.

#include "print/engine/ReportEngine.h"

#include <QPainter>
#include <QPrinter>
#include <QStringList>

#include <memory>

class QTemporaryFile;
class QWidget;
class TPdfImages;

// The printers an engine offers and which of them is the default.
struct TPrinterList
{
    QStringList Names;
    int DefaultIndex = -1;

    // The system's printers, then always the PDF file entry; the default is
    // the system's default printer, or the PDF entry when it has none.
    static TPrinterList System();
};

class TPrinterEngine : public TReportEngine
{
public:
    // The last entry of the system printer list: prints into a PDF file.
    static QString PdfPrinterName() { return QStringLiteral("PDF file"); }
    // True when there is a printer and a default one to start with.
    static bool PrinterAvailable(const TPrinterList &printers);

    explicit TPrinterEngine(const TPrinterList &printers = TPrinterList::System());
    ~TPrinterEngine() override;

    const QStringList &Printers() const { return mPrinters; }
    // -1 when there is no printer.
    int PrinterIndex() const { return mPrinterIndex; }
    bool SetPrinterIndex(int index);
    QString PrinterName() const { return mPrinters.value(mPrinterIndex); }
    bool PdfPrinterSelected() const { return PrinterName() == PdfPrinterName(); }

    // The PDF file the PDF entry writes. Empty: a file dialog asks when the
    // job starts (declining cancels the job).
    QString OutputFileName() const { return mOutputFileName; }
    void SetOutputFileName(const QString &fileName) { mOutputFileName = fileName; }

    // The system's printer set-up dialog; afterwards the engine prints on the
    // printer, paper and orientation chosen there. False when cancelled.
    bool PrinterSetupDialog(QWidget *parent = nullptr);
    // Takes printer choice, paper, orientation and printer options from
    // another engine (the one the user set up).
    void AssignSettings(const TPrinterEngine &other);

    // CUPS job id of the last document sent to a printer (0: none).
    int LastJobId() const { return mLastJobId; }
    // The chosen printer's settings as the set-up dialog edits them.
    QPrinter &Settings() { return settings(); }

protected:
    bool StartDocument() override;
    void StartNextPage() override;
    void FinishDocument(bool keep) override;
    void PaperChanged() override;

private:
    QPrinter &settings();
    void selectInSettings();
    void sendToPrinter(const QString &fileName);

    QStringList mPrinters;
    int mPrinterIndex = -1;
    QString mOutputFileName;
    // Made when first needed: making a QPrinter loads the system's print
    // support and asks CUPS for its printers, which a job into a PDF file
    // with the usual settings never needs. Until then the settings are a new
    // printer's on the chosen entry.
    std::unique_ptr<QPrinter> mSettings;
    // One job: the document is written as PDF into a temporary file and only
    // goes to the printer (or the chosen PDF file) once it is complete, so an
    // aborted job leaves nothing behind.
    std::unique_ptr<QPagedPaintDevice> mJob;
    std::unique_ptr<QTemporaryFile> mJobFile;
    QString mJobTarget;
    // The job's pictures, written into its file by the program (colour jobs).
    std::unique_ptr<TPdfImages> mPdfImages;
    QPainter mPainter;
    int mLastJobId = 0;
};
