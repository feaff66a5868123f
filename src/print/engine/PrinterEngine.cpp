#include "print/engine/PrinterEngine.h"

#include "storage/FileModes.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <cups/cups.h>

#include <vector>

namespace {

// Printer options chosen in the set-up dialog's option pages; the key the
// CUPS printer support of Qt keeps them under (a list of name, value pairs).
const auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

QPageLayout::Orientation qtOrientation(TOrientation o)
{
    return o == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

}  // namespace

TPrinterList TPrinterList::System()
{
    TPrinterList list;
    list.Names = QPrinterInfo::availablePrinterNames();
    list.DefaultIndex = int(list.Names.indexOf(QPrinterInfo::defaultPrinterName()));
    list.Names.append(TPrinterEngine::PdfPrinterName());
    if (list.DefaultIndex < 0)
        list.DefaultIndex = int(list.Names.size()) - 1;
    return list;
}

bool TPrinterEngine::PrinterAvailable(const TPrinterList &printers)
{
    return !printers.Names.isEmpty() && printers.DefaultIndex >= 0
           && printers.DefaultIndex < printers.Names.size();
}

TPrinterEngine::TPrinterEngine(const TPrinterList &printers)
    : mPrinters(printers.Names)
{
    if (printers.DefaultIndex >= 0 && printers.DefaultIndex < mPrinters.size())
        mPrinterIndex = printers.DefaultIndex;
    selectInSettings();
    PaperChanged();
}

TPrinterEngine::~TPrinterEngine()
{
    if (mPainter.isActive())
        mPainter.end();
}

bool TPrinterEngine::SetPrinterIndex(int index)
{
    if (index < 0 || index >= mPrinters.size())
        return false;
    mPrinterIndex = index;
    selectInSettings();
    return true;
}

void TPrinterEngine::selectInSettings()
{
    if (mPrinterIndex < 0)
        return;
    if (PdfPrinterSelected()) {
        mSettings.setOutputFormat(QPrinter::PdfFormat);
        if (!mOutputFileName.isEmpty())
            mSettings.setOutputFileName(mOutputFileName);
    } else {
        mSettings.setOutputFormat(QPrinter::NativeFormat);
        mSettings.setPrinterName(PrinterName());
    }
    PaperChanged();
}

void TPrinterEngine::PaperChanged()
{
    mSettings.setFullPage(true);
    mSettings.setPageLayout(
        QPageLayout(PaperSize(), qtOrientation(Orientation()), QMarginsF()));
}

bool TPrinterEngine::PrinterSetupDialog(QWidget *parent)
{
    QPrintDialog dialog(&mSettings, parent);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (mSettings.outputFormat() == QPrinter::PdfFormat) {
        mPrinterIndex = int(mPrinters.indexOf(PdfPrinterName()));
        if (!mSettings.outputFileName().isEmpty())
            mOutputFileName = mSettings.outputFileName();
    } else {
        const int index = int(mPrinters.indexOf(mSettings.printerName()));
        if (index >= 0)
            mPrinterIndex = index;
    }
    const QPageLayout layout = mSettings.pageLayout();
    SetPaperSize(layout.pageSize());
    SetOrientation(layout.orientation() == QPageLayout::Landscape ? poLandscape : poPortrait);
    return true;
}

void TPrinterEngine::AssignSettings(const TPrinterEngine &other)
{
    mPrinters = other.mPrinters;
    mPrinterIndex = other.mPrinterIndex;
    mOutputFileName = other.mOutputFileName;
    selectInSettings();
    SetPaperSize(other.PaperSize());
    SetOrientation(other.Orientation());
    mSettings.setCopyCount(other.mSettings.copyCount());
    mSettings.setCollateCopies(other.mSettings.collateCopies());
    mSettings.setDuplex(other.mSettings.duplex());
    mSettings.setColorMode(other.mSettings.colorMode());
    if (other.mSettings.outputFormat() == QPrinter::NativeFormat
        && mSettings.outputFormat() == QPrinter::NativeFormat) {
        mSettings.printEngine()->setProperty(
            CupsOptionsKey, other.mSettings.printEngine()->property(CupsOptionsKey));
    }
}

bool TPrinterEngine::StartDocument()
{
    if (mPrinterIndex < 0)
        throw EReportError(QStringLiteral("No printer is chosen."));
    mJobTarget.clear();
    if (PdfPrinterSelected()) {
        mJobTarget = mOutputFileName;
        if (mJobTarget.isEmpty()) {
            mJobTarget = QFileDialog::getSaveFileName(
                nullptr, QStringLiteral("Print to PDF File"),
                QDir::home().filePath(QStringLiteral("labels.pdf")),
                QStringLiteral("PDF files (*.pdf)"));
            if (mJobTarget.isEmpty())
                return false;
        }
    }

    mJobFile = std::make_unique<QTemporaryFile>(
        QDir::temp().filePath(QStringLiteral("quillmark-XXXXXX.pdf")));
    if (!mJobFile->open())
        throw EReportError(QStringLiteral("The print file could not be created in %1.")
                               .arg(QDir::toNativeSeparators(QDir::tempPath())));
    mJobFile->close();

    mJob = std::make_unique<QPrinter>(QPrinter::HighResolution);
    mJob->setOutputFormat(QPrinter::PdfFormat);
    mJob->setOutputFileName(mJobFile->fileName());
    mJob->setFullPage(true);
    mJob->setPageLayout(QPageLayout(PaperSize(), qtOrientation(Orientation()), QMarginsF()));
    mJob->setDocName(Title);
    mJob->setCreator(QStringLiteral("Quillmark"));
    mJob->setColorMode(mSettings.colorMode());
    if (!mPainter.begin(mJob.get())) {
        mJob.reset();
        mJobFile.reset();
        throw EReportError(QStringLiteral("The print file could not be written."));
    }
    // Without this the PDF writer stores every picture as JPEG.
    mPainter.setRenderHint(QPainter::LosslessImageRendering, true);
    SetDevice(&mPainter, mJob->resolution(), mJob->resolution());
    return true;
}

void TPrinterEngine::StartNextPage()
{
    if (!mJob->newPage())
        throw EReportError(QStringLiteral("The printer could not start a new page."));
}

void TPrinterEngine::FinishDocument(bool keep)
{
    if (mPainter.isActive())
        mPainter.end();
    mJob.reset();
    const std::unique_ptr<QTemporaryFile> file = std::move(mJobFile);
    if (!keep || !file)
        return;

    if (!mJobTarget.isEmpty()) {
        // Through a save file: an earlier file of that name stays whole
        // until the new one is complete, and keeps its permissions.
        if (!CopyForUser(file->fileName(), mJobTarget))
            throw EReportError(QStringLiteral("The file %1 could not be written.")
                                   .arg(QDir::toNativeSeparators(mJobTarget)));
        return;
    }
    sendToPrinter(file->fileName());
}

// The job options are the ones Qt's own CUPS printing sends, so a document
// comes out as it would from any other Qt program.
void TPrinterEngine::sendToPrinter(const QString &fileName)
{
    std::vector<std::pair<QByteArray, QByteArray>> options;
    options.emplace_back("media", PaperSize().key().toUtf8());
    const int copies = mSettings.copyCount();
    if (copies > 1) {
        options.emplace_back("copies", QByteArray::number(copies));
        if (mSettings.collateCopies())
            options.emplace_back("Collate", "True");
    }
    switch (mSettings.duplex()) {
    case QPrinter::DuplexNone:
        options.emplace_back("sides", "one-sided");
        break;
    case QPrinter::DuplexAuto:
        options.emplace_back("sides", Orientation() == poPortrait ? "two-sided-long-edge"
                                                             : "two-sided-short-edge");
        break;
    case QPrinter::DuplexLongSide:
        options.emplace_back("sides", "two-sided-long-edge");
        break;
    case QPrinter::DuplexShortSide:
        options.emplace_back("sides", "two-sided-short-edge");
        break;
    }
    if (Orientation() == poLandscape)
        options.emplace_back("landscape", "");
    if (mSettings.outputFormat() == QPrinter::NativeFormat) {
        const QStringList extra = mSettings.printEngine()->property(CupsOptionsKey).toStringList();
        for (qsizetype i = 0; i + 1 < extra.size(); i += 2)
            options.emplace_back(extra.at(i).toUtf8(), extra.at(i + 1).toUtf8());
    }

    std::vector<cups_option_t> cupsOptions;
    for (auto &option : options)
        cupsOptions.push_back({option.first.data(), option.second.data()});

    // A printer instance ("name/instance") prints on its printer.
    const QByteArray printer = PrinterName().section(u'/', 0, 0).toUtf8();
    const QByteArray title = Title.toUtf8();
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.constData(),
                                   QFile::encodeName(fileName).constData(), title.constData(),
                                   int(cupsOptions.size()), cupsOptions.data());
    if (job == 0)
        throw EReportError(QStringLiteral("The printer %1 did not accept the print job: %2")
                               .arg(PrinterName(), QString::fromUtf8(cupsLastErrorString())));
    mLastJobId = job;
}
