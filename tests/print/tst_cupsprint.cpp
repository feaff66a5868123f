// Real printing: two sheets of labels through the print run and the printer
// engine (in the status window, or in qmtool print --printer) into a queue of
// a private CUPS server (tests/print/cups-server.sh), then the spooled
// PostScript rasterized and probed where the layout puts the labels.

#include "design/Gbasepnl.h"
#include "objects/Register.h"
#include "objects/graphic/Glshapes.h"
#include "print/Printlbl.h"
#include "print/Sheet.h"
#include "print/engine/PrinterEngine.h"
#include "shell/ConfigInfo.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const int Dpi = 72;

// (x, y): inches from the top-left corner of the sheet as the labels were
// laid out. A landscape sheet comes out of the printer on portrait paper,
// turned a quarter counter-clockwise: its left edge is the paper's bottom.
bool isDark(const QImage &image, double xInches, double yInches, bool turned)
{
    if (turned) {
        const double sheetWidth = double(image.height()) / Dpi;
        return isDark(image, yInches, sheetWidth - xInches, false);
    }
    return qGray(image.pixel(qRound(xInches * Dpi), qRound(yInches * Dpi))) < 100;
}

TGLabelShapes *blackRectangle(TGBasePanel &panel, int left, int top, int width, int height)
{
    auto *shape = new TGLabelShapes;
    TBrush brush;
    brush.SetColor(cl::Black);
    brush.SetStyle(bsSolid);
    shape->SetBrush(brush);
    shape->SetBounds(left, top, width, height);
    shape->SetParentComponent(&panel);
    return shape;
}

}  // namespace

class TestCupsPrint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void printsTwoSheets_data();
    void printsTwoSheets();
    void queueListedAndJobRefused();

private:
    QProcessEnvironment cupsEnvironment() const;
    bool waitForJob(int job);

    QTemporaryDir mDir;
    QString mServerDir;
    bool mStarted = false;
};

void TestCupsPrint::initTestCase()
{
    QVERIFY(mDir.isValid());
    // cupsd runs its filters as an unprivileged user, who must reach the
    // server's folder inside this one.
    QFile::setPermissions(mDir.path(), QFile::permissions(mDir.path()) | QFile::ReadOther
                                           | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    mServerDir = mDir.filePath(QStringLiteral("cups"));
    QProcess script;
    script.start(QStringLiteral(QM_CUPS_SERVER_SCRIPT), {QStringLiteral("start"), mServerDir});
    QVERIFY(script.waitForFinished(60000));
    if (script.exitStatus() != QProcess::NormalExit || script.exitCode() != 0) {
        const QString why = QString::fromLocal8Bit(script.readAllStandardError()).trimmed();
        QSKIP(qPrintable(QStringLiteral("a private CUPS server cannot be started here: ") + why));
    }
    mStarted = true;
    // Before anything asks for printers: libcups reads the server once.
    qputenv("CUPS_SERVER", QFile::encodeName(mServerDir + QStringLiteral("/cups.sock")));
}

void TestCupsPrint::cleanupTestCase()
{
    if (mStarted)
        QProcess::execute(QStringLiteral(QM_CUPS_SERVER_SCRIPT), {QStringLiteral("stop"), mServerDir});
}

QProcessEnvironment TestCupsPrint::cupsEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), mServerDir + QStringLiteral("/cups.sock"));
    return env;
}

bool TestCupsPrint::waitForJob(int job)
{
    const QString name = QStringLiteral("qmtest-%1 ").arg(job);
    for (int i = 0; i < 300; ++i) {
        QProcess lpstat;
        lpstat.setProcessEnvironment(cupsEnvironment());
        lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("completed"),
                                                QStringLiteral("-o"), QStringLiteral("qmtest")});
        lpstat.waitForFinished(10000);
        if (QString::fromLocal8Bit(lpstat.readAllStandardOutput()).contains(name))
            return true;
        QTest::qWait(100);
    }
    QFile log(mServerDir + QStringLiteral("/log/error_log"));
    if (log.open(QIODevice::ReadOnly))
        qWarning("CUPS error log:\n%s", log.readAll().constData());
    QProcess lpstat;
    lpstat.setProcessEnvironment(cupsEnvironment());
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-l"), QStringLiteral("-o"),
                                            QStringLiteral("-p")});
    lpstat.waitForFinished(10000);
    qWarning("lpstat:\n%s", lpstat.readAllStandardOutput().constData());
    return false;
}

void TestCupsPrint::printsTwoSheets_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QSize>("pageSize");  // points, as the paper leaves the printer
    QTest::addColumn<bool>("turned");
    QTest::addColumn<bool>("viaTool");  // qmtool print --printer instead of the status window
    QTest::newRow("Letter") << "LTR" << QSize(612, 792) << false << false;
    QTest::newRow("A4") << "A4" << QSize(595, 842) << false << false;
    QTest::newRow("Letter landscape") << "LTRL" << QSize(612, 792) << true << false;
    QTest::newRow("qmtool, Letter") << "LTR" << QSize(612, 792) << false << true;
    QTest::newRow("qmtool, Letter landscape") << "LTRL" << QSize(612, 792) << true << true;
}

void TestCupsPrint::printsTwoSheets()
{
    QFETCH(QString, paper);
    QFETCH(QSize, pageSize);
    QFETCH(bool, turned);
    QFETCH(bool, viaTool);
    const QString gs = QStandardPaths::findExecutable(QStringLiteral("gs"));
    QVERIFY2(!gs.isEmpty(), "Ghostscript (gs) is needed to read the printed pages");
    const QString spooled = mServerDir + QStringLiteral("/out/qmtest.ps");
    QFile::remove(spooled);

    // The default layout (3 x 10 address labels) on the chosen paper.
    TLabelLayout layout = TLabelLayout::Default();
    layout.PaperSize = paper;
    const TSheetMetrics sheet = TSheetMetrics::FromLayout(layout);

    // A label with two black rectangles, in panel pixels (96 per inch).
    TGBasePanel panel;
    blackRectangle(panel, 10, 10, 48, 24);
    blackRectangle(panel, 60, 40, 30, 30);

    if (viaTool) {
        RegisterLabelClasses();
        const QString file = mDir.filePath(QStringLiteral("cups.qm"));
        TGLabelObjectFiler().WriteLabelFile(&panel, file, layout);
        QProcess tool;
        QProcessEnvironment env = cupsEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(QMTOOL_PATH),
                   {QStringLiteral("print"), file, QStringLiteral("--printer"), QStringLiteral("qmtest"),
                    QStringLiteral("--sheets"), QStringLiteral("2"), QStringLiteral("--cells"),
                    QStringLiteral("0,4")});
        QVERIFY(tool.waitForFinished(60000));
        QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
        const QString out = QString::fromLocal8Bit(tool.readAllStandardOutput());
        const auto id = QRegularExpression(QStringLiteral(R"(^request id is qmtest-(\d+)\n$)")).match(out);
        QVERIFY2(id.hasMatch(), qPrintable(out));
        QVERIFY2(waitForJob(id.captured(1).toInt()), "the print job did not complete");
    } else {
        TLabelPrinter printer;
        printer.LabelPanel = &panel;
        printer.SetSheet(sheet, TPrinterNudges{});
        printer.PageCount = 2;
        printer.CellSelected = QList<bool>(sheet.CellCount(), false);
        printer.CellSelected[0] = true;   // row 0, column 0
        printer.CellSelected[4] = true;   // row 1, column 1
        TPrinterEngine *engine = printer.ReportPrinter();
        QCOMPARE(engine->PrinterName(), QStringLiteral("qmtest"));
        QCOMPARE(engine->Printers().last(), TPrinterEngine::PdfPrinterName());
        printer.SetUpRun(true, paper);
        printer.show();
        QTRY_VERIFY_WITH_TIMEOUT(printer.JobFinished(), 60000);
        QCOMPARE(printer.JobError(), QString());
        QCOMPARE(printer.StatusText()->text(), QStringLiteral("Label Print Completed!"));
        QVERIFY(engine->LastJobId() > 0);
        QVERIFY2(waitForJob(engine->LastJobId()), "the print job did not complete");
    }
    QVERIFY(QFile::exists(spooled));

    const QString pages = mDir.filePath(paper + QStringLiteral("-%d.png"));
    QCOMPARE(QProcess::execute(gs, {QStringLiteral("-q"), QStringLiteral("-dSAFER"),
                                    QStringLiteral("-dBATCH"), QStringLiteral("-dNOPAUSE"),
                                    QStringLiteral("-sDEVICE=png16m"), QStringLiteral("-r72"),
                                    QStringLiteral("-o"), pages, spooled}),
             0);
    QString third = pages;
    QVERIFY(!QFile::exists(third.replace(QStringLiteral("%d"), QStringLiteral("3"))));
    for (int p = 1; p <= 2; ++p) {
        QString pageFile = pages;
        pageFile.replace(QStringLiteral("%d"), QString::number(p));
        const QImage image(pageFile);
        QVERIFY2(!image.isNull(), qPrintable(pageFile));
        QCOMPARE(image.size(), pageSize);

        // Cell (row, column) starts at margin + index x pitch, in inches.
        auto cell = [&](int row, int column) {
            return QPointF(sheet.LeftMargin + column * double(sheet.HorizontalPitch),
                           sheet.TopMargin + row * double(sheet.VerticalPitch));
        };
        for (const QPointF at : {cell(0, 0), cell(1, 1)}) {
            // The first rectangle: 10 .. 58 x 10 .. 34 pixels of 1/96 inch.
            QVERIFY(isDark(image, at.x() + 34 / 96.0, at.y() + 22 / 96.0, turned));
            QVERIFY(isDark(image, at.x() + 13 / 96.0, at.y() + 13 / 96.0, turned));
            QVERIFY(!isDark(image, at.x() + 5 / 96.0, at.y() + 22 / 96.0, turned));
            QVERIFY(!isDark(image, at.x() + 34 / 96.0, at.y() + 5 / 96.0, turned));
            // The second one: 60 .. 90 x 40 .. 70.
            QVERIFY(isDark(image, at.x() + 75 / 96.0, at.y() + 55 / 96.0, turned));
            QVERIFY(!isDark(image, at.x() + 75 / 96.0, at.y() + 36 / 96.0, turned));
        }
        // Cells that were not chosen stay blank.
        for (const QPointF at : {cell(0, 1), cell(1, 0), cell(2, 2)})
            QVERIFY(!isDark(image, at.x() + 34 / 96.0, at.y() + 22 / 96.0, turned));
    }
}

// The configuration report lists the server's queues, and a queue the
// server does not know refuses the job with the server's reason.
void TestCupsPrint::queueListedAndJobRefused()
{
    const QStringList sections = TSystemProbe().PrinterSections();
    QVERIFY2(sections.indexOf(QRegularExpression(QStringLiteral("qmtest=.+,file:.+"))) > 0,
             qPrintable(sections.join(u'\n')));

    TPrinterEngine engine(TPrinterList{{QStringLiteral("nosuchqueue"), TPrinterEngine::PdfPrinterName()}, 0});
    engine.OnPrint = [&] { engine.Rectangle(1, 1, 2, 2); };
    try {
        engine.Execute();
        QFAIL("the job reported success");
    } catch (const EReportError &e) {
        const QString prefix = QStringLiteral("The printer nosuchqueue did not accept the print job: ");
        QVERIFY2(e.message().startsWith(prefix) && e.message().size() > prefix.size(), qPrintable(e.message()));
    }
    QCOMPARE(engine.LastJobId(), 0);
}

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
