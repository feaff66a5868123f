// qmtool print FILE.qm (-o OUT.pdf | --printer NAME) [--sheets N]
//     [--cells all|LIST] [--nudge TOP,LEFT,VERT,HORZ] [--preview]
//     [--outlines] [--crop-marks]
//     [--merge DATA.csv|-] [--records A-B] [--copies N] [--start-cell N]
// The print run of the program's print preparation window without the
// window: the same set-up, placement loop, objects and counters, into a PDF
// file or a printer queue ("request id is NAME-JOB" on stdout, as lp says).
// --preview records one sheet as the preview does and writes the recorded
// page into the PDF file. --merge prints one label per record of the data
// file (standard input for "-"; the design's own data source without it).

#include "Commands.h"
#include "Drawing.h"

#include "print/LabelRun.h"
#include "print/RunCheck.h"
#include "print/Sheet.h"
#include "print/engine/PageRecorder.h"
#include "print/engine/PageStream.h"
#include "print/engine/PrinterEngine.h"
#include "design/Gbasepnl.h"
#include "storage/DesignProperties.h"
#include "storage/FileModes.h"
#include "storage/MergeSource.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cstdio>
#include <optional>

namespace {

int printUsage(const QString &why = QString())
{
    if (!why.isEmpty())
        PrintError(why);
    std::fputs("usage: qmtool print FILE.qm (-o OUT.pdf | --printer NAME) [--sheets N]\n"
               "                    [--cells all|LIST] [--nudge TOP,LEFT,VERT,HORZ] [--preview]\n"
               "                    [--outlines] [--crop-marks]\n"
               "                    [--merge DATA.csv|-] [--records A-B] [--copies N]\n"
               "                    [--start-cell N]\n"
               "  LIST   cell numbers from 0, comma-separated (row x across + column)\n"
               "  --nudge  fine tuning in 1/32 inch, each -8 to 8\n"
               "  --outlines    a thin line along every printed label's shape\n"
               "  --crop-marks  marks in the sheet's margins at every label edge\n"
               "  --merge  one label per record of a CSV, TSV or semicolon-separated file\n"
               "           (\"-\": standard input); without it, the design's own data source\n"
               "  --records  record numbers from 1: A-B, A- or A\n"
               "  --copies   labels per record, 1 to 9999\n"
               "  --start-cell  the first sheet begins at this cell (numbered as in LIST)\n",
               stderr);
    return 2;
}

std::optional<int> parseInt(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

struct Options
{
    QString file;
    QString output;
    QString printer;
    int sheets = 1;
    bool allCells = true;
    QList<int> cells;
    TPrinterNudges nudges;
    bool preview = false;
    bool outlines = false;
    bool cropMarks = false;
    QString merge;
    qint64 firstRecord = 1, lastRecord = 0;
    bool recordsGiven = false;
    int copies = 1;
    int startCell = 0;
};

// A, A-B or A- with record numbers from 1.
bool parseRecords(const QString &text, Options &o)
{
    const qsizetype dash = text.indexOf(u'-');
    bool ok = false;
    const qint64 first = (dash < 0 ? text : text.left(dash)).trimmed().toLongLong(&ok);
    if (!ok || first < 1)
        return false;
    qint64 last = first;
    if (dash >= 0) {
        const QString tail = text.mid(dash + 1).trimmed();
        last = 0;
        if (!tail.isEmpty()) {
            last = tail.toLongLong(&ok);
            if (!ok || last < first)
                return false;
        }
    }
    o.firstRecord = first;
    o.lastRecord = last;
    o.recordsGiven = true;
    return true;
}

// Returns an error text for the usage message; empty when all is well.
QString parse(const QStringList &args, Options &o)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args.at(++i);
        };
        if (a == u"-o" || a == u"--printer" || a == u"--sheets" || a == u"--cells"
            || a == u"--nudge" || a == u"--merge" || a == u"--records" || a == u"--copies"
            || a == u"--start-cell") {
            const std::optional<QString> v = value();
            if (!v)
                return a + QStringLiteral(" needs a value");
            if (a == u"--merge") {
                if (v->isEmpty())
                    return QStringLiteral("--merge needs a data file or \"-\"");
                o.merge = *v;
            } else if (a == u"--records") {
                if (!parseRecords(*v, o))
                    return QStringLiteral("--records takes record numbers from 1: A-B, A- or A");
            } else if (a == u"--copies") {
                const std::optional<int> n = parseInt(*v);
                if (!n || *n < 1 || *n > 9999)
                    return QStringLiteral("--copies takes a number from 1 to 9999");
                o.copies = *n;
            } else if (a == u"--start-cell") {
                const std::optional<int> n = parseInt(*v);
                if (!n || *n < 0)
                    return QStringLiteral("--start-cell takes a cell number from 0");
                o.startCell = *n;
            } else if (a == u"-o") {
                o.output = *v;
            } else if (a == u"--printer") {
                o.printer = *v;
            } else if (a == u"--sheets") {
                const std::optional<int> n = parseInt(*v);
                if (!n || *n < 1 || *n > 9999)
                    return QStringLiteral("--sheets takes a number from 1 to 9999");
                o.sheets = *n;
            } else if (a == u"--cells") {
                if (*v == u"all") {
                    o.allCells = true;
                    continue;
                }
                o.allCells = false;
                o.cells.clear();
                for (const QString &item : v->split(u',', Qt::SkipEmptyParts)) {
                    const std::optional<int> n = parseInt(item);
                    if (!n || *n < 0)
                        return QStringLiteral("--cells takes \"all\" or cell numbers from 0: ")
                               + item;
                    o.cells.append(*n);
                }
            } else {
                const QStringList parts = v->split(u',');
                int values[4] = {};
                if (parts.size() != 4)
                    return QStringLiteral("--nudge takes four numbers: TOP,LEFT,VERT,HORZ");
                for (int k = 0; k < 4; ++k) {
                    const std::optional<int> n = parseInt(parts.at(k));
                    if (!n || *n < TPrinterNudges::Min || *n > TPrinterNudges::Max)
                        return QStringLiteral("--nudge values run from -8 to 8 (1/32 inch)");
                    values[k] = *n;
                }
                o.nudges = {values[0], values[1], values[2], values[3]};
            }
        } else if (a == u"--preview") {
            o.preview = true;
        } else if (a == u"--outlines") {
            o.outlines = true;
        } else if (a == u"--crop-marks") {
            o.cropMarks = true;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return QStringLiteral("unknown option ") + a;
        } else if (o.file.isEmpty()) {
            o.file = a;
        } else {
            return QStringLiteral("one label file only");
        }
    }
    if (o.file.isEmpty())
        return QStringLiteral("no label file given");
    if (o.output.isEmpty() == o.printer.isEmpty())
        return QStringLiteral("give either -o OUT.pdf or --printer NAME");
    if (o.preview && o.output.isEmpty())
        return QStringLiteral("--preview writes a PDF file: give -o OUT.pdf");
    return QString();
}

// Standard input copied to a temporary file, a chunk at a time: the data is
// read twice (checked, then printed) and never held whole.
std::unique_ptr<QTemporaryFile> copyStandardInput()
{
    auto file = std::make_unique<QTemporaryFile>();
    if (!file->open())
        throw EToolError(QStringLiteral("cannot make a temporary file for standard input"));
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        throw EToolError(QStringLiteral("cannot read standard input"));
    for (;;) {
        const QByteArray chunk = in.read(64 * 1024);
        if (chunk.isEmpty())
            break;
        if (file->write(chunk) != chunk.size())
            throw EToolError(QStringLiteral("cannot keep standard input: %1").arg(file->errorString()));
    }
    file->flush();
    return file;
}

// The printer engine of the run, on the named queue or into the PDF file.
std::unique_ptr<TPrinterEngine> printerEngine(const Options &o)
{
    if (!o.output.isEmpty()) {
        auto engine = std::make_unique<TPrinterEngine>(
            TPrinterList{{TPrinterEngine::PdfPrinterName()}, 0});
        engine->SetOutputFileName(o.output);
        return engine;
    }
    const TPrinterList system = TPrinterList::System();
    QStringList queues = system.Names;
    queues.removeAll(TPrinterEngine::PdfPrinterName());
    qsizetype index = queues.indexOf(o.printer);
    if (index < 0) {
        for (qsizetype k = 0; k < queues.size() && index < 0; ++k)
            if (queues.at(k).compare(o.printer, Qt::CaseInsensitive) == 0)
                index = k;
    }
    if (index < 0) {
        const QString known = queues.isEmpty() ? QStringLiteral("there are no printers")
                                               : QStringLiteral("printers: ") + queues.join(u", ");
        throw EToolError(QStringLiteral("unknown printer \"%1\" (%2)").arg(o.printer, known));
    }
    auto engine = std::make_unique<TPrinterEngine>(system);
    engine->SetPrinterIndex(int(system.Names.indexOf(queues.at(index))));
    return engine;
}

// The recorded pages drawn into a PDF file, one PDF page per sheet.
void writePreviewPdf(QIODevice &recorded, const QString &fileName)
{
    recorded.seek(0);
    const TPageStream pages = TPageStream::Read(recorded);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EToolError(QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString()));
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(QStringLiteral("Quillmark"));
        pdf.setCreator(QStringLiteral("Quillmark"));
        pdf.setResolution(pages.Resolution);
        QPainter painter;
        for (qsizetype p = 0; p < pages.Pages.size(); ++p) {
            const TRecordedPage &page = pages.Pages.at(p);
            const QPageLayout layout(QPageSize(page.SizeInches, QPageSize::Inch),
                                     QPageLayout::Portrait, QMarginsF());
            pdf.setPageLayout(layout);
            if (p == 0) {
                if (!painter.begin(&pdf))
                    throw EToolError(QStringLiteral("cannot write %1").arg(fileName));
                painter.setRenderHint(QPainter::LosslessImageRendering, true);
            } else {
                pdf.newPage();
            }
            const QRectF target(QPointF(0, 0), page.SizeInches * pages.Resolution);
            DrawRecordedPage(painter, page, pages.Resolution, target);
        }
        if (painter.isActive())
            painter.end();
    }
    KeepUsualPermissions(file, fileName);
    if (!file.commit())
        throw EToolError(QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString()));
}

}  // namespace

int runPrint(const QStringList &args)
{
    Options o;
    if (const QString why = parse(args, o); !why.isEmpty())
        return printUsage(why);

    PrepareLabelObjects();
    try {
        TLabelDocument document;
        document.Open(o.file);
        const TSheetMetrics sheet = TSheetMetrics::FromLayout(document.Layout());
        const int cellCount = sheet.CellCount();

        QList<bool> cells(std::max(cellCount, 501), o.allCells);
        for (int c : o.cells) {
            if (c >= cellCount) {
                throw EToolError(QStringLiteral("cell %1 is not on the sheet (%2)")
                                     .arg(c)
                                     .arg(cellCount > 0 ? QStringLiteral("cells 0 to %1").arg(cellCount - 1)
                                                        : QStringLiteral("it has no cells")));
            }
            cells[c] = true;
        }
        if (!AnyChecked(cells, sheet))
            throw EToolError(QStringLiteral("Need at least one label selected"));

        if (o.startCell >= std::max(cellCount, 1))
            throw EToolError(QStringLiteral("start cell %1 is not on the sheet (cells 0 to %2)")
                                 .arg(o.startCell).arg(cellCount - 1));

        // The data source: --merge, else the one the design names.
        TDesignProperties &design = document.Panel()->Design();
        std::unique_ptr<QTemporaryFile> input;
        QString dataFile = o.merge;
        if (o.merge == u"-") {
            input = copyStandardInput();
            dataFile = input->fileName();
        } else if (dataFile.isEmpty()) {
            dataFile = design.MergeSource();
        }
        if (dataFile.isEmpty() && (o.recordsGiven || o.copies != 1))
            throw EToolError(QStringLiteral("--records and --copies need a data source (--merge)"));
        std::unique_ptr<TMergeSource> source;
        if (!dataFile.isEmpty()) {
            TMergeOptions options = design.MergeOptions();
            // Standard input has no name to tell a delimiter by.
            if (input)
                options.Delimiter = design.MergeDelimiter();
            source = std::make_unique<TMergeSource>(dataFile, options);
            try {
                source->Open();
            } catch (const EMergeError &e) {
                throw EToolError(input ? QString(e.message()).replace(QFileInfo(dataFile).fileName(),
                                                                     QStringLiteral("standard input"))
                                       : e.message());
            }
        }

        const bool printing = !o.preview;
        // A merged run is checked record by record below.
        const QString problem = source ? QString() : RunProblem(document.Panel(), sheet, cells, printing ? o.sheets : 1);
        if (!problem.isEmpty())
            throw EToolError(problem);
        TLabelRun run;
        PrepareLabelRun(run, document.Panel(), sheet, o.nudges, cells, o.sheets, printing);
        run.PrintOutlines = o.outlines;
        run.PrintCropMarks = o.cropMarks;
        run.StartCell = o.startCell;
        if (source) {
            run.SetMerge(source.get(), o.firstRecord, o.lastRecord, o.copies);
            if (run.MergeRecordCount() == 0)
                throw EToolError(source->RecordCount() == 0
                                     ? QStringLiteral("the data source holds no records")
                                     : QStringLiteral("no records in the range %1-%2 (the data source "
                                                      "holds %3)")
                                           .arg(o.firstRecord)
                                           .arg(o.lastRecord > 0 ? QString::number(o.lastRecord) : QString())
                                           .arg(source->RecordCount()));
            const QString recordProblem = MergeRunProblem(document.Panel(), *source, run.FirstRecord,
                                                          run.LastRecord, run.Copies);
            if (!recordProblem.isEmpty())
                throw EToolError(recordProblem);
        }

        QBuffer recorded;
        std::unique_ptr<TReportEngine> engine;
        if (printing) {
            engine = printerEngine(o);
        } else {
            recorded.open(QIODevice::ReadWrite);
            auto recorder = std::make_unique<TPageRecorder>();
            recorder->SetStream(&recorded);
            engine = std::move(recorder);
        }
        run.SetEngine(engine.get(), printing, sheet.PaperSize);
        run.Execute();
        document.Panel()->SetPrinting(false);
        if (engine->Aborted())
            throw EToolError(printing ? QStringLiteral("Label Print Canceled!")
                                      : QStringLiteral("Label Preview Canceled!"));
        if (!printing)
            writePreviewPdf(recorded, o.output);
        else if (!o.printer.isEmpty())
            std::printf("request id is %s-%d\n",
                        static_cast<TPrinterEngine *>(engine.get())->PrinterName().toLocal8Bit().constData(),
                        static_cast<TPrinterEngine *>(engine.get())->LastJobId());
    } catch (const EToolError &e) {
        PrintError(e.message());
        return 1;
    } catch (const std::exception &e) {
        PrintError(QString::fromUtf8(e.what()));
        return 1;
    }
    return 0;
}
