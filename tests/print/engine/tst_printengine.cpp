// Print engine: job control, status text, the page recorder's stream, the
// previewer, and printing into a PDF file.

#include "print/engine/PageRecorder.h"
#include "print/engine/PageStream.h"
#include "print/engine/PdfImages.h"
#include "print/engine/Previewer.h"
#include "print/engine/PrinterEngine.h"

#include <QApplication>
#include <QBuffer>
#include <QDataStream>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Plays one recorded page into an image at `dpi`.
QImage renderPage(const TRecordedPage &page, int resolution, int dpi)
{
    const QSize size(qRound(page.SizeInches.width() * dpi), qRound(page.SizeInches.height() * dpi));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    const double k = double(image.logicalDpiX()) / QPicture().logicalDpiX();
    p.scale(double(dpi) / resolution / k, double(dpi) / resolution / k);
    p.drawPicture(0, 0, page.Picture);
    return image;
}

bool isDark(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 100;
}

// A black square of `inches` at (x, y) inches.
void square(TReport &report, double x, double y, double inches)
{
    report.Brush.Color = cl::Black;
    report.Brush.Style = bsSolid;
    report.Pen.Color = cl::Black;
    report.Rectangle(x, y, x + inches, y + inches);
}

QByteArray recordPages(int pages)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TPageRecorder recorder;
    recorder.SelectPaper(PaperA4);
    recorder.SetStream(&buffer);
    recorder.OnPrint = [&] {
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                recorder.NewPage();
            square(recorder, 1.0 + i, 1.0 + i, 0.5);
        }
    };
    recorder.Execute();
    return bytes;
}


// One sheet with the outlines label objects print with a one-pixel pen
// (a hundredth of an inch): vertical lines at a few sub-pixel offsets in
// the right-hand column, an ellipse and a rounded rectangle.
struct OutlinePage
{
    // A quarter of an inch apart, each an eighth of a pixel further on at 100 %.
    static constexpr double LineX[] = {4.5, 4.7513, 5.0026, 5.2539, 5.5052, 5.7565, 6.0078, 6.2591};
    static constexpr double LineTop = 1.0, LineBottom = 3.0;
    static inline const QRectF Ellipse{QPointF(1.0, 4.0), QPointF(3.0, 5.2)};
    static inline const QRectF Round{QPointF(4.0, 4.0), QPointF(6.5, 5.5)};
    static constexpr double Corner = 0.5;
};

QByteArray recordOutlines()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TPageRecorder recorder;
    recorder.SelectPaper(PaperLetter);
    recorder.SetStream(&buffer);
    recorder.OnPrint = [&] {
        recorder.Pen.Color = cl::Black;
        recorder.Pen.Style = psSolid;
        recorder.Pen.Width = -1;
        for (double x : OutlinePage::LineX) {
            recorder.MoveTo(x, OutlinePage::LineTop);
            recorder.LineTo(x, OutlinePage::LineBottom);
        }
        recorder.Brush.Style = bsClear;
        const QRectF e = OutlinePage::Ellipse, r = OutlinePage::Round;
        recorder.Ellipse(e.left(), e.top(), e.right(), e.bottom());
        recorder.RoundRect(r.left(), r.top(), r.right(), r.bottom(), OutlinePage::Corner,
                           OutlinePage::Corner);
    };
    recorder.Execute();
    return bytes;
}

// Whether a dark pixel lies within `reach` pixels of (x, y).
bool darkNear(const QImage &image, QPointF at, int reach)
{
    const int cx = qRound(at.x()), cy = qRound(at.y());
    for (int y = cy - reach; y <= cy + reach; ++y)
        for (int x = cx - reach; x <= cx + reach; ++x)
            if (image.rect().contains(x, y) && isDark(image, x, y))
                return true;
    return false;
}

// Points of `path` that have no dark pixel next to them.
int gapsAlong(const QImage &image, const QPainterPath &path, int samples)
{
    int gaps = 0;
    for (int i = 0; i < samples; ++i)
        if (!darkNear(image, path.pointAtPercent(double(i) / samples), 1))
            ++gaps;
    return gaps;
}
}  // namespace

class TestPrintEngine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void statusString_data();
    void statusString();
    void jobEventsAndPages();
    void abortDropsTheDocument();
    void errorInJobAborts();
    void recorderRoundTrip();
    void damagedStream_data();
    void damagedStream();
    void previewerZoom_data();
    void previewerZoom();
    void previewerPages();
    void previewerFitsPage();
    void previewKeepsOutlines_data();
    void previewKeepsOutlines();
    void printerAvailable_data();
    void printerAvailable();
    void systemListEndsWithPdf();
    void setupDialogCancelled();
    void printToPdfFile();
    void pdfKeepsPicturesLossless_data();
    void pdfKeepsPicturesLossless();
    void pdfKeepsEachPictureApart();
    void pdfImagesRefuseForeignFiles_data();
    void pdfImagesRefuseForeignFiles();
    void pdfIntoMissingFolderFails();
    void pdfFollowsSettings_data();
    void pdfFollowsSettings();
};

void TestPrintEngine::statusString_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("expected");
    QTest::newRow("page and lines") << "Printing Page %p\n%0\n%1" << QStringList{"a", "b"}
                                    << "Printing Page 3\na\nb";
    QTest::newRow("missing line is empty") << "%0|%1|%5" << QStringList{"x"} << "x||";
    QTest::newRow("other percent signs stay") << "100% %q %" << QStringList{} << "100% %q %";
    QTest::newRow("no double substitution") << "%0" << QStringList{"%p"} << "%p";
}

void TestPrintEngine::statusString()
{
    QFETCH(QString, format);
    QFETCH(QStringList, lines);
    QFETCH(QString, expected);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TPageRecorder recorder;
    recorder.SetStream(&buffer);
    QLabel label;
    recorder.SetStatusLabel(&label);
    recorder.OnPrint = [&] {
        recorder.NewPage();
        recorder.NewPage();
        recorder.StatusFormat = format;
        recorder.StatusText = lines;
        recorder.UpdateStatus();
    };
    recorder.Execute();
    QCOMPARE(label.text(), expected);
}

void TestPrintEngine::jobEventsAndPages()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TPageRecorder recorder;
    recorder.SetStream(&buffer);
    QStringList calls;
    recorder.OnBeforePrint = [&] {
        calls << QStringLiteral("before %1").arg(recorder.CurrentPage());
    };
    recorder.OnPrint = [&] {
        QVERIFY(recorder.Printing());
        recorder.NewPage();
        calls << QStringLiteral("print %1").arg(recorder.CurrentPage());
    };
    recorder.Execute();
    QCOMPARE(calls, (QStringList{"before 1", "print 2"}));
    QVERIFY(!recorder.Printing());
    QVERIFY(!recorder.Aborted());
    QCOMPARE(recorder.PagesRecorded(), 2);
}

void TestPrintEngine::abortDropsTheDocument()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadWrite);
    TPageRecorder recorder;
    recorder.SetStream(&buffer);
    recorder.OnPrint = [&] {
        square(recorder, 1, 1, 1);
        recorder.Abort();
        // The rest of the job's calls go nowhere.
        recorder.NewPage();
        square(recorder, 2, 2, 1);
        QCOMPARE(recorder.CurrentPage(), 1);
    };
    recorder.Execute();
    QVERIFY(recorder.Aborted());
    buffer.seek(0);
    QCOMPARE(TPageStream::Read(buffer).Pages.size(), 0);

    // The next job clears the mark.
    bytes.clear();
    buffer.seek(0);
    recorder.OnPrint = [&] { square(recorder, 1, 1, 1); };
    recorder.Execute();
    QVERIFY(!recorder.Aborted());
    buffer.seek(0);
    QCOMPARE(TPageStream::Read(buffer).Pages.size(), 1);
}

void TestPrintEngine::errorInJobAborts()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadWrite);
    TPageRecorder recorder;
    recorder.SetStream(&buffer);
    recorder.OnPrint = [&] {
        recorder.NewPage();
        throw EReportError(QStringLiteral("driver failed"));
    };
    QVERIFY_THROWS_EXCEPTION(EReportError, recorder.Execute());
    QVERIFY(recorder.Aborted());
    QVERIFY(!recorder.Printing());
    buffer.seek(0);
    QCOMPARE(TPageStream::Read(buffer).Pages.size(), 0);

    // Without a stream the job cannot start.
    TPageRecorder lost;
    QVERIFY_THROWS_EXCEPTION(EReportError, lost.Execute());
    QVERIFY(lost.Aborted());
}

void TestPrintEngine::recorderRoundTrip()
{
    QByteArray bytes = recordPages(3);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const TPageStream stream = TPageStream::Read(buffer);
    QCOMPARE(stream.Resolution, TPageRecorder::RecordResolution);
    QCOMPARE(stream.Pages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const TRecordedPage &page = stream.Pages.at(i);
        QVERIFY(qAbs(page.SizeInches.width() - 8.27) < 0.01);
        const QImage image = renderPage(page, stream.Resolution, 50);
        // Page i holds only its own square at (1 + i) inches.
        for (int j = 0; j < 3; ++j) {
            const int c = qRound((1.25 + j) * 50);
            QCOMPARE(isDark(image, c, c), i == j);
        }
        // The square's edges are where they were drawn.
        QVERIFY(isDark(image, qRound((1.0 + i) * 50) + 1, qRound((1.25 + i) * 50)));
        QVERIFY(!isDark(image, qRound((1.0 + i) * 50) - 2, qRound((1.25 + i) * 50)));
    }
}

void TestPrintEngine::damagedStream_data()
{
    const QByteArray good = recordPages(2);
    auto patched = [&](int offset, QByteArray bytes) {
        QByteArray b = good;
        b.replace(offset, bytes.size(), bytes);
        return b;
    };
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not pages") << QByteArray("%PDF-1.4 something else");
    QTest::newRow("header cut") << good.left(8);
    QTest::newRow("unknown version") << patched(4, QByteArray("\x00\x07", 2));
    QTest::newRow("absurd resolution") << patched(6, QByteArray("\x7f\x00\x00\x00", 4));
    QTest::newRow("absurd page count") << patched(10, QByteArray("\x7f\xff\xff\xff", 4));
    QTest::newRow("page count beyond data") << patched(10, QByteArray("\x00\x00\x00\x03", 4));
    QTest::newRow("page data cut") << good.left(good.size() - 10);
    QTest::newRow("zero page width") << patched(14, QByteArray(8, '\0'));
    QTest::newRow("byte count beyond data") << patched(30, QByteArray("\x7f\x00\x00\x00", 4));
    QTest::newRow("page is no picture") << patched(34, QByteArray("XXXX"));
}

void TestPrintEngine::damagedStream()
{
    QFETCH(QByteArray, data);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    try {
        TPageStream::Read(buffer);
        QFAIL("damaged data was accepted");
    } catch (const EReportError &e) {
        QVERIFY(!e.message().isEmpty());
    }
}

void TestPrintEngine::previewerZoom_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<int>("zoomIns");   // negative: zoom outs
    QTest::addColumn<double>("expected");
    QTest::newRow("ten zoom-ins from 100 stop at 200") << 100.0 << 10 << 200.0;
    QTest::newRow("zoom out from 20 gives 10") << 20.0 << -1 << 10.0;
    QTest::newRow("and stays at 10") << 20.0 << -3 << 10.0;
    QTest::newRow("195 plus a step is held at 200") << 195.0 << 1 << 200.0;
    QTest::newRow("below 10 becomes 10") << 4.0 << 0 << 10.0;
    QTest::newRow("above 200 becomes 200") << 250.0 << 0 << 200.0;
    QTest::newRow("inside the range") << 55.0 << 0 << 55.0;
}

void TestPrintEngine::previewerZoom()
{
    QFETCH(double, start);
    QFETCH(int, zoomIns);
    QFETCH(double, expected);
    QByteArray bytes = recordPages(1);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QScrollArea area;
    area.resize(600, 400);
    TPagePreviewer previewer(&area);
    previewer.Start(buffer);
    previewer.SetZoomFactor(start);
    for (int i = 0; i < qAbs(zoomIns); ++i)
        zoomIns > 0 ? previewer.ZoomIn() : previewer.ZoomOut();
    QCOMPARE(previewer.ZoomFactor(), expected);
    // The page picture follows the zoom: A4 width at 96 ppi, plus 2.5 % margins.
    const int pageWidth = qRound(8.27 * 96 * expected / 100);
    QVERIFY(qAbs(previewer.PageView()->PageRect().width() - pageWidth) <= 1);
    QCOMPARE(previewer.PageView()->width(),
             previewer.PageView()->PageRect().width() + 2 * qRound(pageWidth * 0.025));
}

void TestPrintEngine::previewerPages()
{
    QByteArray bytes = recordPages(3);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QScrollArea area;
    TPagePreviewer previewer(&area);
    QSignalSpy pageChanges(&previewer, &TPagePreviewer::PageChanged);
    previewer.Start(buffer);
    QCOMPARE(previewer.PageCount(), 3);
    QCOMPARE(previewer.CurrentPage(), 1);
    previewer.PrevPage();
    QCOMPARE(previewer.CurrentPage(), 1);
    previewer.NextPage();
    previewer.NextPage();
    previewer.NextPage();
    QCOMPARE(previewer.CurrentPage(), 3);
    previewer.GotoFirstPage();
    QCOMPARE(previewer.CurrentPage(), 1);
    previewer.GotoPage(99);
    QCOMPARE(previewer.CurrentPage(), 3);
    QVERIFY(pageChanges.count() >= 6);

    // The view shows the current page: page 3's square, not page 1's.
    previewer.SetZoomFactor(100);
    QImage shown(previewer.PageView()->size(), QImage::Format_RGB32);
    shown.fill(Qt::gray);
    previewer.PageView()->render(&shown);
    const QPoint origin = previewer.PageView()->PageRect().topLeft();
    QVERIFY(isDark(shown, origin.x() + qRound(3.25 * 96), origin.y() + qRound(3.25 * 96)));
    QVERIFY(!isDark(shown, origin.x() + qRound(1.25 * 96), origin.y() + qRound(1.25 * 96)));

    previewer.Finish();
    QVERIFY(!previewer.Active());
}

void TestPrintEngine::previewerFitsPage()
{
    QByteArray bytes = recordPages(1);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QScrollArea area;
    area.resize(500, 400);
    area.show();
    TPagePreviewer previewer(&area);
    previewer.Start(buffer);
    previewer.ZoomPage();
    const QSize viewport = area.maximumViewportSize();
    QVERIFY(previewer.PageView()->width() <= viewport.width());
    QVERIFY(previewer.PageView()->height() <= viewport.height());
    QVERIFY(previewer.PageView()->height() >= viewport.height() - 8);
    previewer.ZoomPageWidth();
    QVERIFY(previewer.PageView()->width() <= viewport.width());
    QVERIFY(previewer.PageView()->width() >= viewport.width() - 30);
}

void TestPrintEngine::previewKeepsOutlines_data()
{
    QTest::addColumn<double>("zoom");
    // 38 is about the whole page in the preview window.
    for (double zoom : {38.0, 50.0, 75.0, 90.0, 100.0, 110.0, 125.0, 150.0, 200.0})
        QTest::addRow("%g%%", zoom) << zoom;
}

void TestPrintEngine::previewKeepsOutlines()
{
    QFETCH(double, zoom);
    QByteArray bytes = recordOutlines();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QScrollArea area;
    TPagePreviewer previewer(&area);
    previewer.Start(buffer);
    previewer.SetZoomFactor(zoom);
    TPageView *view = previewer.PageView();
    QImage shown(view->size(), QImage::Format_RGB32);
    shown.fill(Qt::gray);
    view->render(&shown);
    const QRect page = view->PageRect();
    const double scale = page.width() / 8.5;
    const auto onScreen = [&](QPointF inches) { return QPointF(page.topLeft()) + inches * scale; };

    // Every line shows on every row it covers, one or two pixels wide.
    for (double x : OutlinePage::LineX) {
        int missing = 0, widest = 0;
        const int top = qCeil(onScreen({x, OutlinePage::LineTop}).y()) + 1;
        const int bottom = qFloor(onScreen({x, OutlinePage::LineBottom}).y()) - 1;
        const int column = qRound(onScreen({x, 0}).x());
        for (int y = top; y <= bottom; ++y) {
            int run = 0;
            for (int dx = -4; dx <= 4; ++dx)
                run += isDark(shown, column + dx, y);
            missing += run == 0;
            widest = qMax(widest, run);
        }
        QVERIFY2(missing == 0, qPrintable(QStringLiteral("line at %1 in: %2 rows missing").arg(x).arg(missing)));
        QVERIFY2(widest <= 3, qPrintable(QStringLiteral("line at %1 in: %2 pixels wide").arg(x).arg(widest)));
    }

    // The curves keep their outline all round, without dashes.
    QPainterPath ellipse;
    ellipse.addEllipse(QRectF(onScreen(OutlinePage::Ellipse.topLeft()),
                              onScreen(OutlinePage::Ellipse.bottomRight())));
    QCOMPARE(gapsAlong(shown, ellipse, 720), 0);
    QPainterPath round;
    round.addRoundedRect(QRectF(onScreen(OutlinePage::Round.topLeft()),
                                onScreen(OutlinePage::Round.bottomRight())),
                         OutlinePage::Corner / 2 * scale, OutlinePage::Corner / 2 * scale);
    QCOMPARE(gapsAlong(shown, round, 720), 0);
    // And nothing is drawn where the page is empty.
    QVERIFY(!darkNear(shown, onScreen({2.0, 4.6}), 2));
}

void TestPrintEngine::printerAvailable_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("defaultIndex");
    QTest::addColumn<bool>("available");
    QTest::addColumn<int>("engineIndex");
    QTest::newRow("no printers") << QStringList{} << -1 << false << -1;
    QTest::newRow("printers but no default") << QStringList{"laser"} << -1 << false << -1;
    QTest::newRow("default out of range") << QStringList{"laser"} << 3 << false << -1;
    QTest::newRow("default printer") << QStringList{"laser", "PDF file"} << 1 << true << 1;
}

void TestPrintEngine::printerAvailable()
{
    QFETCH(QStringList, names);
    QFETCH(int, defaultIndex);
    QFETCH(bool, available);
    QFETCH(int, engineIndex);
    const TPrinterList list{names, defaultIndex};
    QCOMPARE(TPrinterEngine::PrinterAvailable(list), available);
    TPrinterEngine engine(list);
    QCOMPARE(engine.PrinterIndex(), engineIndex);
    QCOMPARE(engine.SetPrinterIndex(names.size()), false);
    if (engineIndex < 0) {
        // An engine without a printer refuses to start a job.
        QVERIFY_THROWS_EXCEPTION(EReportError, engine.Execute());
    }
}

void TestPrintEngine::systemListEndsWithPdf()
{
    const TPrinterList list = TPrinterList::System();
    QVERIFY(!list.Names.isEmpty());
    QCOMPARE(list.Names.last(), TPrinterEngine::PdfPrinterName());
    QVERIFY(TPrinterEngine::PrinterAvailable(list));
    TPrinterEngine engine;
    QCOMPARE(engine.Printers(), list.Names);
    QCOMPARE(engine.Title, QStringLiteral("Quillmark"));
}

void TestPrintEngine::setupDialogCancelled()
{
    TPrinterEngine engine;
    const int index = engine.PrinterIndex();
    engine.SelectPaper(PaperA5);
    QTimer::singleShot(0, [] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        QApplication::activeModalWidget()->close();
    });
    QVERIFY(!engine.PrinterSetupDialog());
    QCOMPARE(engine.PrinterIndex(), index);
    QVERIFY(qAbs(engine.PageSizeInches().width() - 5.83) < 0.01);
}

void TestPrintEngine::printToPdfFile()
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
    TPrinterEngine engine;
    QVERIFY(engine.SetPrinterIndex(int(engine.Printers().indexOf(TPrinterEngine::PdfPrinterName()))));
    QVERIFY(engine.PdfPrinterSelected());
    engine.SetOutputFileName(pdf);
    engine.SelectPaper(PaperA5);
    engine.OnPrint = [&] {
        QCOMPARE(engine.XDpi(), 1200.0);
        square(engine, 1, 2, 0.5);
        engine.NewPage();
        square(engine, 3, 1, 0.5);
    };
    engine.Execute();
    QVERIFY(!engine.Aborted());
    QVERIFY(QFile::exists(pdf));

    QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                                 pdf, dir.filePath(QStringLiteral("page"))});
    const QImage first(dir.filePath(QStringLiteral("page-1.png")));
    const QImage second(dir.filePath(QStringLiteral("page-2.png")));
    QVERIFY(!first.isNull());
    QVERIFY(!second.isNull());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("page-3.png"))));
    // A5 at 72 dpi: 420 x 595 points.
    QCOMPARE(first.size(), QSize(420, 595));
    // Measured from the sheet's corner: (1, 2) inches is (72, 144) points.
    QVERIFY(isDark(first, 72 + 2, 144 + 2));
    QVERIFY(isDark(first, 72 + 33, 144 + 33));
    QVERIFY(!isDark(first, 72 - 2, 144 + 10));
    QVERIFY(!isDark(first, 72 + 10, 144 - 2));
    QVERIFY(!isDark(first, 216 + 18, 72 + 18));
    QVERIFY(isDark(second, 216 + 18, 72 + 18));
    QVERIFY(!isDark(second, 72 + 18, 144 + 18));
}

// Pictures of 8 x 8 blocks of one colour each, so a page rendered at one
// pixel a block shows each block's colour whatever the sampling.
QImage blocks(QImage::Format format, int palette = 0)
{
    QImage rgb(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const int bx = x / 8, by = y / 8;
            rgb.setPixel(x, y, qRgb(bx * 36, by * 50, (bx ^ by) * 30));
        }
    switch (format) {
    case QImage::Format_Indexed8: {
        QImage indexed(rgb.size(), QImage::Format_Indexed8);
        indexed.setColorCount(palette);
        for (int i = 0; i < palette; ++i)
            indexed.setColor(i, qRgb(i * 7 % 256, 255 - i * 3 % 256, i * 13 % 256));
        for (int y = 0; y < rgb.height(); ++y)
            for (int x = 0; x < rgb.width(); ++x)
                indexed.setPixel(x, y, uint((x / 8 + y / 8 * 8) % palette));
        return indexed;
    }
    case QImage::Format_Grayscale8:
        return rgb.convertToFormat(QImage::Format_Grayscale8);
    case QImage::Format_Mono:
        return rgb.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    default:
        return rgb.convertToFormat(format);
    }
}

QImage greyBlocks()
{
    QImage grey = blocks(QImage::Format_RGB32);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            grey.setPixel(x, y, qRgb(qGray(grey.pixel(x, y)), qGray(grey.pixel(x, y)), qGray(grey.pixel(x, y))));
    return grey;
}

// The fields of each row `pdfimages -list` gives for `pdf`, one row an
// image use, headings left out.
QList<QList<QByteArray>> imageUses(const QString &pdfimages, const QString &pdf)
{
    QProcess list;
    list.start(pdfimages, {QStringLiteral("-list"), pdf});
    list.waitForFinished();
    const QList<QByteArray> rows = list.readAllStandardOutput().trimmed().split('\n');
    QList<QList<QByteArray>> uses;
    for (qsizetype i = 2; i < rows.size(); ++i)
        uses.append(rows[i].simplified().split(' '));
    return uses;
}

// The images of the first page of `pdf` as PNG files, `prefix`-000.png on.
bool extractFirstPage(const QString &pdfimages, const QString &pdf, const QString &prefix)
{
    return QProcess::execute(pdfimages, {QStringLiteral("-png"), QStringLiteral("-f"), QStringLiteral("1"),
                                         QStringLiteral("-l"), QStringLiteral("1"), pdf, prefix})
           == 0;
}

void TestPrintEngine::pdfKeepsPicturesLossless_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QByteArray>("colorSpace");   // as pdfimages -list names it
    QTest::newRow("rgb") << blocks(QImage::Format_RGB32) << QByteArray("rgb");
    QTest::newRow("rgb888") << blocks(QImage::Format_RGB888) << QByteArray("rgb");
    QTest::newRow("opaque argb") << blocks(QImage::Format_ARGB32) << QByteArray("rgb");
    QTest::newRow("opaque premultiplied") << blocks(QImage::Format_ARGB32_Premultiplied) << QByteArray("rgb");
    QTest::newRow("palette of 256") << blocks(QImage::Format_Indexed8, 256) << QByteArray("index");
    QTest::newRow("palette of 48") << blocks(QImage::Format_Indexed8, 48) << QByteArray("index");
    QTest::newRow("grey pixels in rgb") << greyBlocks() << QByteArray("gray");
    QTest::newRow("greyscale") << blocks(QImage::Format_Grayscale8) << QByteArray("gray");
    // Left to Qt's writer, in the form it chooses.
    QTest::newRow("1 bit") << blocks(QImage::Format_Mono) << QByteArray();
    QTest::newRow("16 bit") << blocks(QImage::Format_RGB16) << QByteArray();
}

// Every picture is stored once however often the job draws it, pixel for
// pixel, and shows where it was drawn on every page.
void TestPrintEngine::pdfKeepsPicturesLossless()
{
    QFETCH(QImage, picture);
    QFETCH(QByteArray, colorSpace);
    const QString pdfimages = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdfimages.isEmpty() || pdftoppm.isEmpty())
        QSKIP("pdfimages and pdftoppm (poppler-utils) are not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("picture.pdf"));
    TPrinterEngine engine(TPrinterList{{TPrinterEngine::PdfPrinterName()}, 0});
    engine.SetOutputFileName(pdf);
    engine.SelectPaper(PaperA5);
    // 64 x 48 pixels on 4 x 3 inches: a block is 8 pixels of a page
    // rendered at 16 dpi.
    engine.OnPrint = [&] {
        engine.StretchDraw(1, 1, 5, 4, picture);
        engine.NewPage();
        engine.StretchDraw(1, 1, 5, 4, picture);
        engine.StretchDraw(0, 0, 1, 0.75, picture);
    };
    engine.Execute();
    QVERIFY(!engine.Aborted());

    QSet<QByteArray> objects;
    int uses = 0;
    for (const QList<QByteArray> &f : imageUses(pdfimages, pdf)) {
        if (f.value(2) == "smask")
            continue;
        ++uses;
        QCOMPARE(f.value(3), QByteArray("64"));
        QCOMPARE(f.value(4), QByteArray("48"));
        if (!colorSpace.isEmpty())
            QCOMPARE(f.value(5), colorSpace);
        objects.insert(f.value(10));
    }
    QCOMPARE(uses, 3);
    QCOMPARE(objects.size(), 1);

    QVERIFY(extractFirstPage(pdfimages, pdf, dir.filePath(QStringLiteral("img"))));
    const QImage stored = QImage(dir.filePath(QStringLiteral("img-000.png"))).convertToFormat(QImage::Format_RGB32);
    const QImage expected = picture.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(stored.size(), expected.size());
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            QCOMPARE(stored.pixel(x, y), expected.pixel(x, y));

    QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("16"), QStringLiteral("-png"), pdf,
                                 dir.filePath(QStringLiteral("page"))});
    for (const char *name : {"page-1.png", "page-2.png"}) {
        const QImage page(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(!page.isNull());
        for (int by = 0; by < 6; ++by)
            for (int bx = 0; bx < 8; ++bx) {
                const QRgb want = picture.pixel(bx * 8 + 4, by * 8 + 4);
                const QRgb got = page.pixel(16 + bx * 8 + 4, 16 + by * 8 + 4);
                QVERIFY2(qAbs(qRed(got) - qRed(want)) + qAbs(qGreen(got) - qGreen(want))
                                 + qAbs(qBlue(got) - qBlue(want)) <= 6,
                         qPrintable(QStringLiteral("%1 block %2,%3").arg(QLatin1String(name)).arg(bx).arg(by)));
            }
    }
}

// Several pictures in one job, some drawn again later and one left to Qt's
// writer: each use shows its own picture, stored once.
void TestPrintEngine::pdfKeepsEachPictureApart()
{
    const QString pdfimages = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
    if (pdfimages.isEmpty())
        QSKIP("pdfimages (poppler-utils) is not installed");
    const QImage rgb = blocks(QImage::Format_RGB32), palette = blocks(QImage::Format_Indexed8, 48),
                 grey = blocks(QImage::Format_Grayscale8), mono = blocks(QImage::Format_Mono);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("pictures.pdf"));
    TPrinterEngine engine(TPrinterList{{TPrinterEngine::PdfPrinterName()}, 0});
    engine.SetOutputFileName(pdf);
    engine.OnPrint = [&] {
        const QImage firstPage[] = {rgb, palette, grey, mono, rgb};
        double x = 0;
        for (const QImage &picture : firstPage) {
            engine.StretchDraw(x, 0, x + 1, 0.75, picture);
            x += 1.25;
        }
        engine.NewPage();
        engine.StretchDraw(0, 0, 1, 0.75, palette);
        engine.StretchDraw(2, 0, 3, 0.75, rgb);
    };
    engine.Execute();
    QVERIFY(!engine.Aborted());

    QList<QByteArray> spaces, objects;
    for (const QList<QByteArray> &f : imageUses(pdfimages, pdf)) {
        spaces.append(f.value(5) + '/' + f.value(7));
        objects.append(f.value(10));
    }
    QCOMPARE(spaces.size(), 7);
    spaces[3] = "(Qt's choice)";
    QCOMPARE(spaces, (QList<QByteArray>{"rgb/8", "index/8", "gray/8", "(Qt's choice)", "rgb/8", "index/8", "rgb/8"}));
    QCOMPARE(objects[4], objects[0]);
    QCOMPARE(objects[6], objects[0]);
    QCOMPARE(objects[5], objects[1]);
    QCOMPARE(QSet<QByteArray>(objects.begin(), objects.end()).size(), 4);

    QVERIFY(extractFirstPage(pdfimages, pdf, dir.filePath(QStringLiteral("img"))));
    const std::pair<int, QImage> stored[] = {{0, rgb}, {1, palette}, {2, grey}, {4, rgb}};
    for (const auto &[index, picture] : stored) {
        const QImage got = QImage(dir.filePath(QStringLiteral("img-%1.png").arg(index, 3, 10, QLatin1Char('0'))))
                               .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(got, picture.convertToFormat(QImage::Format_RGB32));
    }
}

// What the job does with its file when that file is not what it wrote:
// the job fails, never a PDF missing its pictures.
void TestPrintEngine::pdfImagesRefuseForeignFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no cross-reference table") << QByteArray("%PDF-1.4\n1 0 obj\n<<>>\nendobj\n%%EOF\n");
    QTest::newRow("startxref past the end") << QByteArray("%PDF-1.4\nstartxref\n999999\n%%EOF\n");
    QTest::newRow("table past the end") << QByteArray("%PDF-1.4\nxref\n0 99999999\nstartxref\n9\n%%EOF\n");
    QTest::newRow("no trailer") << QByteArray("%PDF-1.4\nxref\n0 1\n0000000000 65535 f \nstartxref\n9\n%%EOF\n");
}

void TestPrintEngine::pdfImagesRefuseForeignFiles()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.pdf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    TPdfImages images;
    QImage picture = blocks(QImage::Format_RGB32);
    QVERIFY(images.StandIn(picture) != picture);
    QCOMPARE(images.StandIn(picture).cacheKey(), images.StandIn(picture).cacheKey());
    QString why;
    QVERIFY(!images.Finish(path, &why));
    QVERIFY(!why.isEmpty());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
}

void TestPrintEngine::pdfIntoMissingFolderFails()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("no/such/folder/labels.pdf"));
    TPrinterEngine engine(TPrinterList{{TPrinterEngine::PdfPrinterName()}, 0});
    engine.SetOutputFileName(pdf);
    engine.OnPrint = [&] { square(engine, 1, 1, 1); };
    try {
        engine.Execute();
        QFAIL("the job reported success");
    } catch (const EReportError &e) {
        QVERIFY(e.message().contains(QStringLiteral("labels.pdf")));
    }
    QVERIFY(engine.Aborted());
    QVERIFY(!QFile::exists(pdf));
}

// A PDF job takes its colour mode from the printer settings when they were
// made (the set-up dialog, or assigned from the engine the user set up), and
// a new printer's colour otherwise.
void TestPrintEngine::pdfFollowsSettings_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<bool>("grey");
    QTest::newRow("never made") << "" << false << false;
    QTest::newRow("never made, landscape") << "" << true << false;
    QTest::newRow("grey") << "grey" << false << true;
    QTest::newRow("grey, landscape") << "grey" << true << true;
    QTest::newRow("grey assigned") << "assigned grey" << false << true;
    QTest::newRow("grey, then assigned new") << "grey, assigned new" << false << false;
}

void TestPrintEngine::pdfFollowsSettings()
{
    QFETCH(QString, settings);
    QFETCH(bool, landscape);
    QFETCH(bool, grey);
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
    const TPrinterList pdfOnly{{TPrinterEngine::PdfPrinterName()}, 0};
    TPrinterEngine engine(pdfOnly), other(pdfOnly);
    if (settings.startsWith(u"grey"))
        engine.Settings().setColorMode(QPrinter::GrayScale);
    if (settings == u"assigned grey") {
        other.Settings().setColorMode(QPrinter::GrayScale);
        engine.AssignSettings(other);
    }
    if (settings.endsWith(u"assigned new"))
        engine.AssignSettings(other);
    engine.SetOutputFileName(pdf);
    engine.SelectPaper(PaperA5);
    engine.SetOrientation(landscape ? poLandscape : poPortrait);
    engine.OnPrint = [&] {
        QCOMPARE(engine.XDpi(), 1200.0);
        engine.Brush.Color = cl::Red;
        engine.Brush.Style = bsSolid;
        engine.Pen.Color = cl::Red;
        engine.Rectangle(1, 1, 2, 2);
    };
    engine.Execute();
    QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                                 QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("page"))});
    const QImage page(dir.filePath(QStringLiteral("page.png")));
    QCOMPARE(page.size(), landscape ? QSize(595, 420) : QSize(420, 595));
    const QRgb inside = page.pixel(108, 108);
    QVERIFY(qRed(inside) > 60);
    QCOMPARE(qAbs(qRed(inside) - qGreen(inside)) < 8, grey);
    QCOMPARE(qRgb(255, 255, 255), page.pixel(36, 36));
}

QTEST_MAIN(TestPrintEngine)
#include "tst_printengine.moc"
