#include "print/engine/PrinterEngine.h"

#include "print/engine/CupsLibrary.h"
#include "print/engine/PdfImages.h"
#include "storage/FileModes.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <vector>

namespace {

// Printer options chosen in the set-up dialog's option pages; the key the
// CUPS printer support of Qt keeps them under (a list of name, value pairs).
const auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

QPageLayout::Orientation qtOrientation(TOrientation o)
{
    return o == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// The resolution of QPrinter::HighResolution on a PDF file.
constexpr int JobResolution = 1200;

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

QPrinter &TPrinterEngine::settings()
{
    if (!mSettings) {
        mSettings = std::make_unique<QPrinter>(QPrinter::HighResolution);
        selectInSettings();
        PaperChanged();
    }
    return *mSettings;
}

void TPrinterEngine::selectInSettings()
{
    if (mPrinterIndex < 0 || !mSettings)
        return;
    if (PdfPrinterSelected()) {
        mSettings->setOutputFormat(QPrinter::PdfFormat);
        if (!mOutputFileName.isEmpty())
            mSettings->setOutputFileName(mOutputFileName);
    } else {
        mSettings->setOutputFormat(QPrinter::NativeFormat);
        mSettings->setPrinterName(PrinterName());
    }
    PaperChanged();
}

void TPrinterEngine::PaperChanged()
{
    if (!mSettings)
        return;
    mSettings->setFullPage(true);
    mSettings->setPageLayout(
        QPageLayout(PaperSize(), qtOrientation(Orientation()), QMarginsF()));
}

bool TPrinterEngine::PrinterSetupDialog(QWidget *parent)
{
    QPrinter &printer = settings();
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        mPrinterIndex = int(mPrinters.indexOf(PdfPrinterName()));
        if (!printer.outputFileName().isEmpty())
            mOutputFileName = printer.outputFileName();
    } else {
        const int index = int(mPrinters.indexOf(printer.printerName()));
        if (index >= 0)
            mPrinterIndex = index;
    }
    const QPageLayout layout = printer.pageLayout();
    SetPaperSize(layout.pageSize());
    SetOrientation(layout.orientation() == QPageLayout::Landscape ? poLandscape : poPortrait);
    return true;
}

void TPrinterEngine::AssignSettings(const TPrinterEngine &other)
{
    mPrinters = other.mPrinters;
    mPrinterIndex = other.mPrinterIndex;
    mOutputFileName = other.mOutputFileName;
    // The other engine's settings were never made: they are a new
    // printer's, and so become ours.
    if (!other.mSettings)
        mSettings.reset();
    selectInSettings();
    SetPaperSize(other.PaperSize());
    SetOrientation(other.Orientation());
    if (!other.mSettings)
        return;
    const QPrinter &from = *other.mSettings;
    QPrinter &to = settings();
    to.setCopyCount(from.copyCount());
    to.setCollateCopies(from.collateCopies());
    to.setDuplex(from.duplex());
    to.setColorMode(from.colorMode());
    if (from.outputFormat() == QPrinter::NativeFormat && to.outputFormat() == QPrinter::NativeFormat)
        to.printEngine()->setProperty(CupsOptionsKey, from.printEngine()->property(CupsOptionsKey));
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

    // The PDF writer makes the same file as a printer writing PDF, without
    // the print support; only a grey job needs the printer's PDF engine.
    const QPageLayout page(PaperSize(), qtOrientation(Orientation()), QMarginsF());
    const bool colour = !mSettings || mSettings->colorMode() == QPrinter::Color;
    if (PdfPrinterSelected() && colour) {
        auto writer = std::make_unique<QPdfWriter>(mJobFile->fileName());
        writer->setResolution(JobResolution);
        writer->setPageLayout(page);
        writer->setTitle(Title);
        writer->setCreator(QStringLiteral("Quillmark"));
        mJob = std::move(writer);
    } else {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(mJobFile->fileName());
        printer->setFullPage(true);
        printer->setPageLayout(page);
        printer->setDocName(Title);
        printer->setCreator(QStringLiteral("Quillmark"));
        printer->setColorMode(settings().colorMode());
        mJob = std::move(printer);
    }
    if (!mPainter.begin(mJob.get())) {
        mJob.reset();
        mJobFile.reset();
        throw EReportError(QStringLiteral("The print file could not be written."));
    }
    // Without this the PDF writer stores every picture as JPEG.
    mPainter.setRenderHint(QPainter::LosslessImageRendering, true);
    const int dpi = mJob->logicalDpiX();
    SetDevice(&mPainter, dpi, dpi);
    // A grey job leaves its pictures to the writer, which makes them grey.
    mPdfImages = colour ? std::make_unique<TPdfImages>() : nullptr;
    SetPdfImages(mPdfImages.get());
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
    SetPdfImages(nullptr);
    const std::unique_ptr<TPdfImages> images = std::move(mPdfImages);
    const std::unique_ptr<QTemporaryFile> file = std::move(mJobFile);
    if (!keep || !file)
        return;
    QString why;
    if (images && !images->Finish(file->fileName(), &why))
        throw EReportError(QStringLiteral("The print file could not be written: %1.").arg(why));

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
    QPrinter &settings = this->settings();
    const int copies = settings.copyCount();
    if (copies > 1) {
        options.emplace_back("copies", QByteArray::number(copies));
        if (settings.collateCopies())
            options.emplace_back("Collate", "True");
    }
    switch (settings.duplex()) {
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
    if (settings.outputFormat() == QPrinter::NativeFormat) {
        const QStringList extra = settings.printEngine()->property(CupsOptionsKey).toStringList();
        for (qsizetype i = 0; i + 1 < extra.size(); i += 2)
            options.emplace_back(extra.at(i).toUtf8(), extra.at(i + 1).toUtf8());
    }

    std::vector<cups_option_t> cupsOptions;
    for (auto &option : options)
        cupsOptions.push_back({option.first.data(), option.second.data()});

    // A printer instance ("name/instance") prints on its printer.
    const QByteArray printer = PrinterName().section(u'/', 0, 0).toUtf8();
    const QByteArray title = Title.toUtf8();
    QString missing;
    const cups::TLibrary *library = cups::Library(&missing);
    if (!library)
        throw EReportError(QStringLiteral("The printer %1 did not accept the print job: %2")
                               .arg(PrinterName(), missing));
    const int job = library->PrintFile2(CUPS_HTTP_DEFAULT, printer.constData(),
                                        QFile::encodeName(fileName).constData(), title.constData(),
                                        int(cupsOptions.size()), cupsOptions.data());
    if (job == 0)
        throw EReportError(QStringLiteral("The printer %1 did not accept the print job: %2")
                               .arg(PrinterName(), QString::fromUtf8(library->LastErrorString())));
    mLastJobId = job;
}
