// qmtool print and qmtool render run as programs on label files written
// here; the PDF files they make are read back with the poppler tools.

#include "LabelFiles.h"

#include "layout/TemplateLibrary.h"
#include "objects/Register.h"
#include "print/Prelpr.h"
#include "print/Sheet.h"
#include "print/engine/PrinterEngine.h"
#include "storage/DesignProperties.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <tuple>

namespace {

struct Result
{
    int exitCode = -1;
    QString err;
};

Result runTool(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    QProcessEnvironment e = env;
    // The tool must find its own way to draw without a display.
    e.remove(QStringLiteral("QT_QPA_PLATFORM"));
    e.remove(QStringLiteral("DISPLAY"));
    e.remove(QStringLiteral("WAYLAND_DISPLAY"));
    // No real printers: a CUPS server that is not there.
    e.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("/nonexistent/cups.sock"));
    e.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    p.setProcessEnvironment(e);
    p.start(QStringLiteral(QMTOOL_PATH), args);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardError())};
}

// The label of every test: a black block and a counter from 1000, in
// pixels of 1/96 inch.
const QRect Block(10, 10, 48, 24);
const QRect CounterBounds(60, 40, 90, 24);

}  // namespace

class TestQmtoolPrint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void placement_data();
    void placement();
    void previewShowsOneSheet();
    void librarySheets_data();
    void librarySheets();
    void errors_data();
    void errors();
    void merge_data();
    void merge();
    void render_data();
    void render();
    void outlinesAndCropMarks_data();
    void outlinesAndCropMarks();

private:
    QString writeDesign(const QString &name, const TLabelLayout &layout);

    QTemporaryDir mDir;
};

void TestQmtoolPrint::initTestCase()
{
    QVERIFY(mDir.isValid());
    RegisterLabelClasses();
    for (const char *tool : {"pdftotext", "pdfinfo", "pdftoppm"})
        QVERIFY2(!Tool(tool).isEmpty(), tool);
}

QString TestQmtoolPrint::writeDesign(const QString &name, const TLabelLayout &layout)
{
    TGBasePanel panel;
    panel.resize(254, 96);
    AddRectangle(panel, Block);
    AddCounter(panel, CounterBounds, 1000);
    const QString file = mDir.filePath(name);
    TGLabelObjectFiler().WriteLabelFile(&panel, file, layout);
    return file;
}

void TestQmtoolPrint::placement_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<double>("columnGap");
    QTest::addColumn<int>("down");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QList<int>>("nudges");  // top, left, vertical, horizontal
    QTest::addColumn<int>("sheets");
    QTest::addColumn<QList<int>>("cells");  // empty: all
    QTest::addColumn<QSizeF>("pageSize");   // points

    QTest::newRow("two sheets, every cell") << "LTR" << 0.0 << 10 << QStringList{"--sheets", "2"}
                                            << QList<int>{0, 0, 0, 0} << 2 << QList<int>{}
                                            << QSizeF(612, 792);
    QTest::newRow("chosen cells, fine-tuned")
        << "LTR" << 0.0 << 10
        << QStringList{"--sheets", "2", "--cells", "0,4,29", "--nudge", "2,-1,1,3"}
        << QList<int>{2, -1, 1, 3} << 2 << QList<int>{0, 4, 29} << QSizeF(612, 792);
    // Seven rows fit the turned sheet.
    QTest::newRow("A4 landscape") << "A4L" << 0.0 << 7 << QStringList{"--cells", "all"}
                                  << QList<int>{0, 0, 0, 0} << 1 << QList<int>{}
                                  << QSizeF(842, 595);
    QTest::newRow("column gap") << "A4" << 0.25 << 10 << QStringList{"--cells", "0,1,2"}
                                << QList<int>{0, 0, 0, 0} << 1 << QList<int>{0, 1, 2}
                                << QSizeF(595, 842);
}

void TestQmtoolPrint::placement()
{
    QFETCH(QString, paper);
    QFETCH(double, columnGap);
    QFETCH(int, down);
    QFETCH(QStringList, args);
    QFETCH(QList<int>, nudges);
    QFETCH(int, sheets);
    QFETCH(QList<int>, cells);
    QFETCH(QSizeF, pageSize);

    TLabelLayout layout = TLabelLayout::Default();
    layout.PaperSize = paper;
    layout.ColumnGap = columnGap;
    layout.Down = down;
    const QString file = writeDesign(QStringLiteral("placement.qm"), layout);
    const QString pdf = mDir.filePath(QStringLiteral("placement.pdf"));
    QFile::remove(pdf);
    const Result r = runTool(QStringList{QStringLiteral("print"), file, QStringLiteral("-o"), pdf} + args);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));

    QSizeF size;
    QCOMPARE(PdfPageCount(pdf, &size), sheets);
    QCOMPARE(size, pageSize);

    // Where each printed label's top-left corner must be, in inches.
    const TSheetMetrics sheet = TSheetMetrics::FromLayout(layout);
    const double top = sheet.TopMargin + nudges[0] / 32.0;
    const double left = sheet.LeftMargin + nudges[1] / 32.0;
    const double vpitch = sheet.VerticalPitch + nudges[2] / 32.0;
    const double hpitch = sheet.HorizontalPitch + nudges[3] / 32.0;
    if (cells.isEmpty())
        for (int c = 0; c < sheet.CellCount(); ++c)
            cells.append(c);

    const QList<TPdfWord> words = PdfWords(pdf);
    QCOMPARE(words.size(), cells.size() * sheets);
    // The counter's text sits at the same spot of every label: measured on
    // the first one, compared on the others, in points.
    const QPointF textOffset = words.first().box.topLeft() - QPointF(left * 72, top * 72);
    QVERIFY(textOffset.x() >= CounterBounds.left() * 0.75 - 1);
    QVERIFY(textOffset.x() < CounterBounds.left() * 0.75 + 12);
    QVERIFY(textOffset.y() >= CounterBounds.top() * 0.75 - 2);
    QVERIFY(textOffset.y() < CounterBounds.bottom() * 0.75);

    const int dpi = 96;
    int n = 0;
    for (int s = 1; s <= sheets; ++s) {
        const QImage page = PdfPage(pdf, s, dpi, mDir.filePath(QStringLiteral("page")));
        QVERIFY(!page.isNull());
        for (int cell : cells) {
            const int row = cell / 3, column = cell % 3;
            double x = left + column * hpitch;
            const double y = top + row * vpitch;
            if (column + 1 > 1 && columnGap > 0)
                x += columnGap;
            const TPdfWord &w = words.at(n);
            QCOMPARE(w.page, s);
            QCOMPARE(w.text, QString::number(1000 + n));
            const QPointF at = w.box.topLeft() - textOffset;
            QVERIFY2(qAbs(at.x() - x * 72) < 0.3 && qAbs(at.y() - y * 72) < 0.3,
                     qPrintable(QStringLiteral("label %1 at (%2, %3), expected (%4, %5)")
                                    .arg(n).arg(at.x()).arg(at.y()).arg(x * 72).arg(y * 72)));
            // The block: dark inside, light just left of it and below it.
            QVERIFY(DarkAt(page, dpi, x + 34 / 96.0, y + 22 / 96.0));
            QVERIFY(DarkAt(page, dpi, x + 12 / 96.0, y + 12 / 96.0));
            QVERIFY(!DarkAt(page, dpi, x + 6 / 96.0, y + 22 / 96.0));
            QVERIFY(!DarkAt(page, dpi, x + 34 / 96.0, y + 38 / 96.0));
            ++n;
        }
    }
}

void TestQmtoolPrint::previewShowsOneSheet()
{
    const QString file = writeDesign(QStringLiteral("preview.qm"), TLabelLayout::Default());
    const QString printed = mDir.filePath(QStringLiteral("printed.pdf"));
    const QString preview = mDir.filePath(QStringLiteral("preview.pdf"));
    QCOMPARE(runTool({QStringLiteral("print"), file, QStringLiteral("-o"), printed}).exitCode, 0);
    const Result r = runTool({QStringLiteral("print"), file, QStringLiteral("-o"), preview,
                              QStringLiteral("--sheets"), QStringLiteral("5"),
                              QStringLiteral("--preview")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QSizeF size;
    QCOMPARE(PdfPageCount(preview, &size), 1);
    QCOMPARE(size, QSizeF(612, 792));

    // The recorded sheet shows the same labels at the same places.
    const QList<TPdfWord> printedWords = PdfWords(printed);
    const QList<TPdfWord> previewWords = PdfWords(preview);
    QCOMPARE(previewWords.size(), 30);
    for (int i = 0; i < 30; ++i) {
        QCOMPARE(previewWords.at(i).text, QString::number(1000 + i));
        QVERIFY(qAbs(previewWords.at(i).box.left() - printedWords.at(i).box.left()) < 0.5);
        QVERIFY(qAbs(previewWords.at(i).box.top() - printedWords.at(i).box.top()) < 0.5);
    }
    const QImage a = PdfPage(printed, 1, 48, mDir.filePath(QStringLiteral("a")));
    const QImage b = PdfPage(preview, 1, 48, mDir.filePath(QStringLiteral("b")));
    QCOMPARE(a.size(), b.size());
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((qGray(a.pixel(x, y)) < 128) != (qGray(b.pixel(x, y)) < 128))
                ++differing;
    // Anti-aliased edges may fall either way; whole shapes may not.
    QVERIFY2(differing < a.width() * a.height() / 500, qPrintable(QString::number(differing)));
}

// Sheets of the shipped library, checked against the geometry their makers
// state: the label size and the count across and down. The print
// preparation window must show every cell at that size inside the page,
// and the printed labels must land where the margins and pitches put them.
void TestQmtoolPrint::librarySheets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSizeF>("pagePoints");
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<QSizeF>("labelMm");  // width x height

    QTest::newRow("A4 3x7 address") << "DECAdry OLW-4731 Address 64x38.1mm" << QSizeF(595, 842)
                                    << 3 << 7 << QSizeF(64, 38.1);
    QTest::newRow("A4 2x5 cards") << "Daiso No.136 Business Card 91x55mm" << QSizeF(595, 842)
                                  << 2 << 5 << QSizeF(91, 55);
    QTest::newRow("A5 1x2") << "Endisch B104147A5 Label 148x105mm" << QSizeF(420, 595) << 1 << 2
                            << QSizeF(148, 105);
    QTest::newRow("A4 landscape 2x2") << "Avery C9169 Card 139x99.1mm" << QSizeF(842, 595) << 2
                                      << 2 << QSizeF(139, 99.1);
    QTest::newRow("Letter landscape 3x1") << "Avery C2420 Label 1.496x7.008in" << QSizeF(792, 612)
                                          << 3 << 1 << QSizeF(1.496 * 25.4, 7.008 * 25.4);
}

void TestQmtoolPrint::librarySheets()
{
    QFETCH(QString, name);
    QFETCH(QSizeF, pagePoints);
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(QSizeF, labelMm);

    const QList<TLabelLayout> library = TemplateLibrary::read(QStringLiteral(QM_TEMPLATE_LIBRARY));
    const auto it = std::find_if(library.begin(), library.end(),
                                 [&](const TLabelLayout &t) { return t.Name == name; });
    QVERIFY2(it != library.end(), qPrintable(name));
    const TLabelLayout layout = *it;
    QCOMPARE(layout.Across, across);
    QCOMPARE(layout.Down, down);
    QVERIFY(qAbs(layout.LabelWidth * 25.4 - labelMm.width()) < 0.1);
    QVERIFY(qAbs(layout.LabelHeight * 25.4 - labelMm.height()) < 0.1);

    // The sheet picture of the print preparation window, at one fifth.
    const TSheetMetrics sheet = TSheetMetrics::FromLayout(layout);
    TLabelPrintPrep prep(nullptr, {{TPrinterEngine::PdfPrinterName()}, 0});
    prep.SetSheet(sheet);
    prep.DetermineRectangles();
    QCOMPARE(prep.CellRects.size(), across * down);
    const TCellRect page = SheetPageRect(sheet, prep.ScreenPPI);
    const double fifth = prep.ScreenPPI / 5.0 / 25.4;  // picture pixels per mm
    QVERIFY(qAbs((page.Right - page.Left) - pagePoints.width() / 72 * 25.4 * fifth) <= 1.5);
    for (int k = 0; k < prep.CellRects.size(); ++k) {
        const TCellRect &c = prep.CellRects.at(k);
        QVERIFY2(qAbs((c.Right - c.Left) - labelMm.width() * fifth) <= 1.5, qPrintable(QString::number(k)));
        QVERIFY(qAbs((c.Bottom - c.Top) - labelMm.height() * fifth) <= 1.5);
        QVERIFY(c.Left >= page.Left && c.Top >= page.Top);
        QVERIFY(c.Right <= page.Right + 1 && c.Bottom <= page.Bottom + 1);
        // No cell overlaps the one to its right or below.
        if (k % across + 1 < across)
            QVERIFY(c.Right <= prep.CellRects.at(k + 1).Left + 1);
        if (k + across < prep.CellRects.size())
            QVERIFY(c.Bottom <= prep.CellRects.at(k + across).Top + 1);
    }

    // The printed sheet: one counter per label at the label's top-left.
    TGBasePanel panel;
    panel.resize(qRound(layout.LabelWidth * 96), qRound(layout.LabelHeight * 96));
    AddCounter(panel, QRect(4, 4, 60, 20), 1);
    const QString file = mDir.filePath(QStringLiteral("library.qm"));
    TGLabelObjectFiler().WriteLabelFile(&panel, file, layout);
    const QString pdf = mDir.filePath(QStringLiteral("library.pdf"));
    QFile::remove(pdf);
    const Result r = runTool({QStringLiteral("print"), file, QStringLiteral("-o"), pdf});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QSizeF size;
    QCOMPARE(PdfPageCount(pdf, &size), 1);
    QVERIFY(qAbs(size.width() - pagePoints.width()) < 1 && qAbs(size.height() - pagePoints.height()) < 1);
    const QList<TPdfWord> words = PdfWords(pdf);
    QCOMPARE(words.size(), across * down);
    const QPointF offset = words.first().box.topLeft()
        - QPointF(sheet.LeftMargin * 72, sheet.TopMargin * 72);
    for (int k = 0; k < words.size(); ++k) {
        const int row = k / across, column = k % across;
        const QPointF at = words.at(k).box.topLeft() - offset;
        const QPointF expected((sheet.LeftMargin + column * sheet.HorizontalPitch) * 72,
                               (sheet.TopMargin + row * sheet.VerticalPitch) * 72);
        QCOMPARE(words.at(k).text, QString::number(1 + k));
        QVERIFY2(qAbs(at.x() - expected.x()) < 0.3 && qAbs(at.y() - expected.y()) < 0.3,
                 qPrintable(QStringLiteral("label %1 at (%2, %3), expected (%4, %5)")
                                .arg(k).arg(at.x()).arg(at.y()).arg(expected.x()).arg(expected.y())));
        // Every label lies wholly on the page.
        QVERIFY(expected.x() + layout.LabelWidth * 72 <= size.width() + 0.5);
        QVERIFY(expected.y() + layout.LabelHeight * 72 <= size.height() + 0.5);
    }
}

// A name field beside a counter on the default 30-up sheet, merged from a
// file or from standard input; the words of the PDF in sheet order.
void TestQmtoolPrint::merge_data()
{
    QTest::addColumn<QStringList>("args");  // DATA stands for the data file
    QTest::addColumn<QByteArray>("input");  // standard input
    QTest::addColumn<QStringList>("names");  // page:name in sheet order
    QTest::addColumn<QString>("message");    // stderr of a failure

    const QStringList all{"1:Alpha", "1:Bravo", "1:Charlie", "1:Delta"};
    QTest::newRow("from a file") << QStringList{"--merge", "DATA"} << QByteArray() << all << "";
    QTest::newRow("the design's own data source") << QStringList{} << QByteArray() << all << "";
    QTest::newRow("from standard input: range, copies, start cell")
        << QStringList{"--merge", "-", "--records", "2-3", "--copies", "2", "--start-cell", "29"}
        << QByteArray("Name;Town\r\nAlpha;A\r\nBravo;B\r\nCharlie;C\r\n")
        << QStringList{"1:Bravo", "2:Bravo", "2:Charlie", "2:Charlie"} << "";
    QTest::newRow("ragged standard input")
        << QStringList{"--merge", "-"} << QByteArray("Name,Town\nAlpha\n") << QStringList{}
        << "qmtool: standard input: the record on line 2 has 1 fields where the header has 2.\n";
    QTest::newRow("range past the records")
        << QStringList{"--merge", "DATA", "--records", "7-9"} << QByteArray() << QStringList{}
        << "qmtool: no records in the range 7-9 (the data source holds 4)\n";
    QTest::newRow("missing data file")
        << QStringList{"--merge", "NOWHERE"} << QByteArray() << QStringList{}
        << "qmtool: The data file NOWHERE does not exist.\n";
}

void TestQmtoolPrint::merge()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QStringList, names);
    QFETCH(QString, message);

    const QString data = mDir.filePath(QStringLiteral("names.csv"));
    QFile csv(data);
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write("Name\r\nAlpha\r\nBravo\r\n\"Charlie\"\r\nDelta\r\n");
    csv.close();
    TGBasePanel panel;
    panel.resize(254, 96);
    AddText(panel, QRect(10, 10, 120, 24), QStringLiteral("${Name}"));
    AddCounter(panel, QRect(10, 50, 90, 24), 1000);
    if (args.isEmpty())
        panel.Design().SetMergeSource(data);
    const QString file = mDir.filePath(QStringLiteral("merge.qm"));
    TGLabelObjectFiler().WriteLabelFile(&panel, file, TLabelLayout::Default());
    const QString pdf = mDir.filePath(QStringLiteral("merge.pdf"));
    QFile::remove(pdf);
    const QString missing = mDir.filePath(QStringLiteral("none.csv"));
    for (QString &a : args)
        a = a == u"DATA" ? data : a == u"NOWHERE" ? missing : a;

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("/nonexistent/cups.sock"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QMTOOL_PATH), QStringList{"print", file, "-o", pdf} + args);
    p.write(input);
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(120000));
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    if (!message.isEmpty()) {
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(err, message.replace(QStringLiteral("NOWHERE"), missing));
        QVERIFY(!QFile::exists(pdf));
        return;
    }
    QVERIFY2(p.exitCode() == 0, qPrintable(err));

    // Names and counter values in sheet order: page, row, column.
    QList<TPdfWord> words = PdfWords(pdf);
    // Rows of the default sheet: 0.5 inch margin, 1.01 inch pitch.
    const auto row = [](const TPdfWord &w) { return int(std::floor((w.box.top() / 72.0 - 0.5) / 1.01)); };
    std::sort(words.begin(), words.end(), [&](const TPdfWord &a, const TPdfWord &b) {
        return std::tuple(a.page, row(a), a.box.left()) < std::tuple(b.page, row(b), b.box.left());
    });
    QStringList seen, counted;
    for (const TPdfWord &w : words) {
        bool number = false;
        w.text.toInt(&number);
        (number ? counted : seen) << QStringLiteral("%1:%2").arg(w.page).arg(w.text);
    }
    QCOMPARE(seen, names);
    // The counter counts every label, copies included.
    QStringList expectedCounts;
    for (qsizetype i = 0; i < names.size(); ++i)
        expectedCounts << names.at(i).section(u':', 0, 0) + QStringLiteral(":%1").arg(1000 + i);
    QCOMPARE(counted, expectedCounts);
}

void TestQmtoolPrint::errors_data()
{
    QTest::addColumn<QStringList>("args");  // FILE, DAMAGED, MISSING, EMPTY, HUGE, OUT, IMAGE stand for paths
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");  // the whole of stderr; "(...)" any reason

    QTest::newRow("no cell") << QStringList{"print", "FILE", "-o", "OUT", "--cells", ""} << 1
                             << "qmtool: Need at least one label selected\n";
    // A sheet of no cells is refused when the file opens, as the program does.
    QTest::newRow("sheet without cells")
        << QStringList{"print", "EMPTY", "-o", "OUT"} << 1
        << "qmtool: Unable to open EMPTY. Possibly corrupted, posibly not a Quillmark file\n"
           "(the label layout is not usable)\n";
    // A hand-made sheet of 100000 x 100000 cells would keep the run busy for
    // hours; it is refused the same way.
    QTest::newRow("runaway sheet")
        << QStringList{"print", "HUGE", "-o", "OUT"} << 1
        << "qmtool: Unable to open HUGE. Possibly corrupted, posibly not a Quillmark file\n"
           "(the label layout is not usable)\n";
    QTest::newRow("missing file")
        << QStringList{"print", "MISSING", "-o", "OUT"} << 1
        << "qmtool: Unable to open MISSING. Possibly corrupted, posibly not a Quillmark file\n"
           "(the file does not exist)\n";
    QTest::newRow("damaged file")
        << QStringList{"print", "DAMAGED", "-o", "OUT"} << 1
        << "qmtool: Unable to open DAMAGED. Possibly corrupted, posibly not a Quillmark file\n"
           "(...)\n";
    QTest::newRow("unknown printer") << QStringList{"print", "FILE", "--printer", "nosuch"} << 1
                                     << "qmtool: unknown printer \"nosuch\" (there are no printers)\n";
    QTest::newRow("cell off the sheet")
        << QStringList{"print", "FILE", "-o", "OUT", "--cells", "3,30"} << 1
        << "qmtool: cell 30 is not on the sheet (cells 0 to 29)\n";
    QTest::newRow("render of a damaged file")
        << QStringList{"render", "DAMAGED", "-o", "IMAGE"} << 1
        << "qmtool: Unable to open DAMAGED. Possibly corrupted, posibly not a Quillmark file\n"
           "(...)\n";
    QTest::newRow("no output") << QStringList{"print", "FILE"} << 2 << "";
    QTest::newRow("no sheets") << QStringList{"print", "FILE", "-o", "OUT", "--sheets", "0"} << 2
                               << "";
    QTest::newRow("nudge too far") << QStringList{"print", "FILE", "-o", "OUT", "--nudge", "9,0,0,0"}
                                   << 2 << "";
    QTest::newRow("zoom out of range") << QStringList{"render", "FILE", "-o", "OUT", "--zoom", "0"}
                                       << 2 << "";
}

void TestQmtoolPrint::errors()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    const QString good = writeDesign(QStringLiteral("good.qm"), TLabelLayout::Default());
    TLabelLayout noCells = TLabelLayout::Default();
    noCells.Across = 0;
    const QString empty = writeDesign(QStringLiteral("empty.qm"), noCells);
    TLabelLayout runaway = TLabelLayout::Default();
    runaway.Across = runaway.Down = 100000;
    const QString huge = writeDesign(QStringLiteral("huge.qm"), runaway);
    const QString damaged = mDir.filePath(QStringLiteral("damaged.qm"));
    {
        QFile f(damaged);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("this is no label file");
    }
    const QString missing = mDir.filePath(QStringLiteral("missing.qm"));
    // A file at the output path stays as it was when the command fails.
    const QString out = mDir.filePath(QStringLiteral("kept.out"));
    {
        QFile f(out);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("earlier output");
    }
    const QHash<QString, QString> paths{{QStringLiteral("FILE"), good},
                                        {QStringLiteral("EMPTY"), empty},
                                        {QStringLiteral("HUGE"), huge},
                                        {QStringLiteral("DAMAGED"), damaged},
                                        {QStringLiteral("MISSING"), missing},
                                        {QStringLiteral("OUT"), out},
                                        {QStringLiteral("IMAGE"), mDir.filePath(QStringLiteral("kept.png"))}};
    for (QString &a : args)
        a = paths.value(a, a);
    for (auto it = paths.begin(); it != paths.end(); ++it)
        message.replace(it.key(), it.value());

    const Result r = runTool(args);
    QCOMPARE(r.exitCode, exitCode);
    if (exitCode == 2)
        QVERIFY2(r.err.contains(QLatin1String("usage: qmtool")), qPrintable(r.err));
    else
        QVERIFY2(QRegularExpression(QLatin1Char('^')
                                    + QRegularExpression::escape(message).replace(
                                        QStringLiteral("\\(\\.\\.\\.\\)"), QStringLiteral("\\(.+\\)"))
                                    + QLatin1Char('$'))
                     .match(r.err)
                     .hasMatch(),
                 qPrintable(r.err));
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("earlier output"));
}

void TestQmtoolPrint::render_data()
{
    QTest::addColumn<QString>("zoom");
    QTest::addColumn<double>("factor");
    QTest::addColumn<QSize>("size");
    QTest::newRow("100%") << "1" << 1.0 << QSize(254, 96);
    QTest::newRow("150%") << "1.5" << 1.5 << QSize(381, 144);
    QTest::newRow("50%") << "0.5" << 0.5 << QSize(127, 48);
}

void TestQmtoolPrint::render()
{
    QFETCH(QString, zoom);
    QFETCH(double, factor);
    QFETCH(QSize, size);
    const QString file = writeDesign(QStringLiteral("render.qm"), TLabelLayout::Default());
    const QString png = mDir.filePath(QStringLiteral("render.png"));
    const Result r = runTool({QStringLiteral("render"), file, QStringLiteral("-o"), png,
                              QStringLiteral("--zoom"), zoom});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QImage image(png);
    QCOMPARE(image.size(), size);
    auto dark = [&](double x, double y) {
        return qGray(image.pixel(int(x * factor), int(y * factor))) < 100;
    };
    // The block, the label's rounded outline, the counter's digits.
    QVERIFY(dark(34, 22));
    QVERIFY(!dark(5, 22));
    QVERIFY(dark(127, 0));
    QVERIFY(!dark(0, 0));
    int ink = 0;
    for (int y = int(CounterBounds.top() * factor); y < int(CounterBounds.bottom() * factor); ++y)
        for (int x = int(CounterBounds.left() * factor); x < int(CounterBounds.right() * factor); ++x)
            ink += qGray(image.pixel(x, y)) < 100;
    QVERIFY(ink > 10 * factor * factor);
}


namespace {

// A thin line drawn through (x, y) inches: a dark or grey pixel within one
// pixel of it (hairlines come out anti-aliased).
bool LineNear(const QImage &page, int dpi, double x, double y)
{
    const QPoint c(qRound(x * dpi), qRound(y * dpi));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (page.rect().contains(c + QPoint(dx, dy)) && qGray(page.pixel(c + QPoint(dx, dy))) < 200)
                return true;
    return false;
}

}  // namespace

void TestQmtoolPrint::outlinesAndCropMarks_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("outline");
    QTest::addColumn<bool>("marks");

    QTest::newRow("neither") << "SR" << QStringList() << false << false;
    QTest::newRow("outlines only") << "SR" << QStringList{"--outlines"} << true << false;
    QTest::newRow("crop marks only") << "RR" << QStringList{"--crop-marks"} << false << true;
    for (const char *shape : {"SR", "RR", "EL"})
        QTest::newRow(shape) << QString::fromLatin1(shape) << QStringList{"--outlines", "--crop-marks"} << true
                             << true;
}

void TestQmtoolPrint::outlinesAndCropMarks()
{
    QFETCH(QString, shape);
    QFETCH(QStringList, args);
    QFETCH(bool, outline);
    QFETCH(bool, marks);

    TLabelLayout layout = TLabelLayout::Default();
    layout.LabelShape = shape;
    const QString file = writeDesign(QStringLiteral("outlines.qm"), layout);
    const QString pdf = mDir.filePath(QStringLiteral("outlines.pdf"));
    QFile::remove(pdf);
    const Result r = runTool(QStringList{QStringLiteral("print"), file, QStringLiteral("-o"), pdf,
                                         QStringLiteral("--cells"), QStringLiteral("0,4")}
                             + args);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const int dpi = 100;
    const QImage page = PdfPage(pdf, 1, dpi, mDir.filePath(QStringLiteral("outlines")));
    QVERIFY(!page.isNull());

    const double w = layout.LabelWidth, h = layout.LabelHeight;
    // Cell 0 and cell 4 (row 1, column 1) are printed; cell 1 is not.
    for (const QPointF at : {QPointF(0.188, 0.5), QPointF(0.188 + 2.765, 0.5 + 1.01)}) {
        const double x = at.x(), y = at.y();
        QCOMPARE(LineNear(page, dpi, x, y + h / 2), outline);
        QCOMPARE(LineNear(page, dpi, x + w / 2, y + h), outline);
        QCOMPARE(LineNear(page, dpi, x + w, y + h / 2), outline);
        // Rectangles run into their corners; rounded corners leave the
        // corner itself; an ellipse touches the box at the middles only.
        QCOMPARE(LineNear(page, dpi, x, y), outline && shape == u"SR");
        QCOMPARE(LineNear(page, dpi, x + w * 0.15, y), outline && shape != u"EL");
        QVERIFY(!LineNear(page, dpi, x + w * 0.8, y + h * 0.8));
    }
    QVERIFY(!LineNear(page, dpi, 0.188 + 2.765 + w / 2, 0.5));
    // Marks in the top, left and bottom margins, in line with label edges
    // that are not printed as well; nothing in the margin between them.
    QCOMPARE(LineNear(page, dpi, 0.188, 0.3), marks);
    QCOMPARE(LineNear(page, dpi, 0.188 + 2 * 2.765 + w, 0.3), marks);
    QCOMPARE(LineNear(page, dpi, 0.1, 0.5 + 3 * 1.01), marks);
    QCOMPARE(LineNear(page, dpi, 0.188 + w, 0.5 + 9 * 1.01 + h + 0.2), marks);
    QVERIFY(!LineNear(page, dpi, 0.188 + w / 2, 0.3));
}

QTEST_MAIN(TestQmtoolPrint)
#include "tst_qmtoolprint.moc"
