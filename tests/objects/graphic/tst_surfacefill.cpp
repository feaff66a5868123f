// Surface fills: gradient bands and colours per direction, the screen strip
// against the print bands, the printed gradient at the band middles,
// texture tiling and the PDF's images.

#include "objects/graphic/SurfaceFill.h"

#include <QBuffer>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QtTest>

using namespace surfacefill;

namespace {

// A paint device that only counts the rectangles drawn on it.
struct RectCounter : QPaintDevice, QPaintEngine
{
    int rects = 0;
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawRects(const QRect *, int count) override { rects += count; }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    Type type() const override { return User; }
    QPaintEngine *paintEngine() const override { return const_cast<RectCounter *>(this); }
    int metric(PaintDeviceMetric m) const override
    {
        return m == PdmWidth || m == PdmHeight ? 4000 : m == PdmDpiX || m == PdmDpiY ? 96 : m == PdmDepth ? 32 : 1;
    }
};

}  // namespace

class TestSurfaceFill : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void bandEdges_data();
    void bandEdges();
    void endRows_data();
    void endRows();
    void stripMatchesPrintBands_data();
    void stripMatchesPrintBands();
    void printBandsSkippedAndMerged_data();
    void printBandsSkippedAndMerged();
    void printedGradient_data();
    void printedGradient();
    void tiles_data();
    void tiles();
    void degenerateInputs();
    void printedTexturesAreOneImage();
};

void TestSurfaceFill::bandEdges_data()
{
    QTest::addColumn<int>("band");
    QTest::addColumn<int>("extent");
    QTest::addColumn<int>("edge");
    // MulDiv(i, W, 256), rounded: halves away from zero.
    QTest::newRow("0 of 100") << 0 << 100 << 0;
    QTest::newRow("1 of 100 (0.39)") << 1 << 100 << 0;
    QTest::newRow("2 of 100 (0.78)") << 2 << 100 << 1;
    QTest::newRow("128 of 100 (50)") << 128 << 100 << 50;
    QTest::newRow("32 of 4 (0.5 up)") << 32 << 4 << 1;
    QTest::newRow("96 of 4 (1.5 up)") << 96 << 4 << 2;
    QTest::newRow("256 of 37") << 256 << 37 << 37;
    QTest::newRow("255 of 1000 (996.09)") << 255 << 1000 << 996;
}

void TestSurfaceFill::bandEdges()
{
    QFETCH(int, band);
    QFETCH(int, extent);
    QFETCH(int, edge);
    QCOMPARE(BandEdge(band, extent), edge);
}

void TestSurfaceFill::endRows_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("first");   // a pixel in band 0
    QTest::addColumn<QPoint>("last");    // a pixel in band 255
    QTest::addColumn<QRgb>("firstColor");
    QTest::addColumn<QRgb>("lastColor");
    // From black to white.
    QTest::newRow("down: black on top") << int(gdDown) << QSize(30, 300) << QPoint(10, 0) << QPoint(10, 299)
                                        << qRgb(0, 0, 0) << qRgb(255, 255, 255);
    QTest::newRow("up: white on top") << int(gdUp) << QSize(30, 300) << QPoint(10, 0) << QPoint(10, 299)
                                      << qRgb(255, 255, 255) << qRgb(0, 0, 0);
    QTest::newRow("right: black at left") << int(gdRight) << QSize(300, 20) << QPoint(0, 5) << QPoint(299, 5)
                                          << qRgb(0, 0, 0) << qRgb(255, 255, 255);
    QTest::newRow("left: white at left") << int(gdLeft) << QSize(300, 20) << QPoint(0, 5) << QPoint(299, 5)
                                         << qRgb(255, 255, 255) << qRgb(0, 0, 0);
}

void TestSurfaceFill::endRows()
{
    QFETCH(int, direction);
    QFETCH(QSize, size);
    QFETCH(QPoint, first);
    QFETCH(QPoint, last);
    QFETCH(QRgb, firstColor);
    QFETCH(QRgb, lastColor);
    const auto d = TFillDirection(direction);
    const QImage bitmap = GradientBitmap(size, d, cl::Black, cl::White);
    QCOMPARE(bitmap.size(), size);
    QCOMPARE(bitmap.pixel(first), firstColor);
    QCOMPARE(bitmap.pixel(last), lastColor);
    // Band 128 of black to white: 0 + MulDiv(128, 255, 255) = 128.
    const QPoint middle = BandsAreColumns(d) ? QPoint(BandEdge(128, size.width()), 5)
                                             : QPoint(5, BandEdge(128, size.height()));
    QCOMPARE(qRed(bitmap.pixel(middle)), d == gdDown || d == gdRight ? 128 : 255 - 128);
}

void TestSurfaceFill::stripMatchesPrintBands_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QSize>("size");
    QTest::newRow("down, fewer rows than bands") << int(gdDown) << QSize(7, 100);
    QTest::newRow("right, more columns than bands") << int(gdRight) << QSize(700, 9);
    QTest::newRow("left, odd width") << int(gdLeft) << QSize(333, 4);
    QTest::newRow("up, one row") << int(gdUp) << QSize(5, 1);
}

void TestSurfaceFill::stripMatchesPrintBands()
{
    QFETCH(int, direction);
    QFETCH(QSize, size);
    const auto d = TFillDirection(direction);
    // A colour with every channel moving, some downwards.
    const TColor from = 0x10F020, to = 0xE00AFF;
    const QImage screen = GradientBitmap(size, d, from, to);
    QImage printed(size, QImage::Format_RGB32);
    printed.fill(Qt::magenta);
    QPainter p(&printed);
    FillGradientBands(p, printed.rect(), d, from, to);
    p.end();
    QCOMPARE(printed, screen.convertToFormat(QImage::Format_RGB32));
}

void TestSurfaceFill::printBandsSkippedAndMerged_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<uint>("from");
    QTest::addColumn<uint>("to");
    QTest::addColumn<QRectF>("visible");   // null: the whole area
    QTest::addColumn<int>("rects");
    const QRectF all;
    QTest::newRow("every band its own colour") << int(gdRight) << QSize(700, 9) << 0x000000u << 0xFFFFFFu << all << 256;
    QTest::newRow("four shades") << int(gdUp) << QSize(9, 700) << 0x000000u << 0x030303u << all << 4;
    // Bands 2 pixels wide: bands 49 (98-100) to 75 (150-152) touch 100-150.
    QTest::newRow("columns, a strip") << int(gdRight) << QSize(512, 9) << 0x10F020u << 0xE00AFFu
                                      << QRectF(100, 0, 50, 9) << 27;
    QTest::newRow("rows, a strip") << int(gdDown) << QSize(9, 512) << 0x10F020u << 0xE00AFFu
                                   << QRectF(0, 100, 9, 50) << 27;
    QTest::newRow("nothing visible") << int(gdLeft) << QSize(512, 9) << 0x10F020u << 0xE00AFFu
                                     << QRectF(-60, 0, 10, 9) << 0;
}

void TestSurfaceFill::printBandsSkippedAndMerged()
{
    QFETCH(int, direction);
    QFETCH(QSize, size);
    QFETCH(uint, from);
    QFETCH(uint, to);
    QFETCH(QRectF, visible);
    QFETCH(int, rects);
    const auto d = TFillDirection(direction);
    RectCounter counter;
    {
        QPainter p(&counter);
        FillGradientBands(p, QRect(QPoint(0, 0), size), d, from, to, visible);
    }
    QCOMPARE(counter.rects, rects);
    // What can show is what every band drawn one by one shows.
    QImage printed(size, QImage::Format_RGB32), expected(size, QImage::Format_RGB32);
    printed.fill(Qt::magenta);
    expected.fill(Qt::magenta);
    const QRectF clip = visible.isNull() ? QRectF(printed.rect()) : visible;
    QPainter p(&printed), q(&expected);
    p.setClipRect(clip);
    q.setClipRect(clip);
    FillGradientBands(p, printed.rect(), d, from, to, visible);
    q.drawImage(0, 0, GradientBitmap(size, d, from, to));
    p.end();
    q.end();
    QCOMPARE(printed, expected);
}

void TestSurfaceFill::printedGradient_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("origin");
    QTest::addColumn<int>("overhang");  // of the path beyond the area, which stays unfilled
    QTest::newRow("right") << int(gdRight) << QSize(768, 20) << QPoint(0, 0) << 0;
    QTest::newRow("left, moved") << int(gdLeft) << QSize(1000, 20) << QPoint(30, 7) << 0;
    QTest::newRow("down, moved, path beyond") << int(gdDown) << QSize(20, 900) << QPoint(9, 40) << 6;
    QTest::newRow("up, path beyond") << int(gdUp) << QSize(20, 600) << QPoint(8, 8) << 6;
}

void TestSurfaceFill::printedGradient()
{
    QFETCH(int, direction);
    QFETCH(QSize, size);
    QFETCH(QPoint, origin);
    QFETCH(int, overhang);
    const auto d = TFillDirection(direction);
    TSurfaceLayers l;
    l.fill = TFillKind::Gradient;
    l.direction = d;
    l.fromColor = 0x10F020;
    l.toColor = 0xE00AFF;
    l.area = QRect(QPoint(0, 0), size);
    l.path.addRect(QRectF(l.area).adjusted(-overhang, -overhang, overhang, overhang));
    l.origin = origin;
    QImage page(size + QSize(origin.x() + 10, origin.y() + 10), QImage::Format_RGB32);
    page.fill(Qt::magenta);
    {
        QPainter p(&page);
        PaintPrint(p, l, 0);
    }
    // Every band's middle shows the band's colour.
    const Ends ends = GradientEnds(d, l.fromColor, l.toColor);
    const bool columns = BandsAreColumns(d);
    const int extent = columns ? size.width() : size.height();
    for (int i : {0, 1, 64, 127, 128, 200, 254, 255}) {
        const int middle = (BandEdge(i, extent) + BandEdge(i + 1, extent)) / 2;
        const QPoint at = origin + (columns ? QPoint(middle, size.height() / 2) : QPoint(size.width() / 2, middle));
        const QRgb want = BandColor(i, ends.start, ends.end), got = page.pixel(at);
        QVERIFY2(std::abs(qRed(got) - qRed(want)) <= 2 && std::abs(qGreen(got) - qGreen(want)) <= 2
                     && std::abs(qBlue(got) - qBlue(want)) <= 2,
                 qPrintable(QStringLiteral("band %1: %2, not %3").arg(i).arg(got, 0, 16).arg(want, 0, 16)));
    }
    QCOMPARE(page.pixel(origin + QPoint(size.width() + 3, size.height() + 3)), QColor(Qt::magenta).rgb());
    if (overhang)
        QCOMPARE(page.pixel(origin - QPoint(3, 3)), QColor(Qt::magenta).rgb());
}

void TestSurfaceFill::tiles_data()
{
    QTest::addColumn<QSizeF>("tile");
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<QRgb>("expected");
    // A 4 x 2 texture: left half red, right half blue.
    QTest::newRow("first tile") << QSizeF(4, 2) << QPoint(1, 1) << qRgb(255, 0, 0);
    QTest::newRow("first tile right") << QSizeF(4, 2) << QPoint(3, 0) << qRgb(0, 0, 255);
    QTest::newRow("repeats from origin") << QSizeF(4, 2) << QPoint(9, 5) << qRgb(255, 0, 0);
    QTest::newRow("scaled by 2") << QSizeF(8, 4) << QPoint(5, 1) << qRgb(0, 0, 255);
    QTest::newRow("scaled by 2, next tile") << QSizeF(8, 4) << QPoint(9, 6) << qRgb(255, 0, 0);
}

void TestSurfaceFill::tiles()
{
    QFETCH(QSizeF, tile);
    QFETCH(QPoint, probe);
    QFETCH(QRgb, expected);
    QImage texture(4, 2, QImage::Format_RGB32);
    texture.fill(Qt::red);
    for (int y = 0; y < 2; ++y)
        for (int x = 2; x < 4; ++x)
            texture.setPixel(x, y, qRgb(0, 0, 255));
    QImage target(20, 20, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter p(&target);
    QPainterPath path;
    path.addRect(0, 0, 20, 20);
    TileFill(p, path, texture, tile);
    p.end();
    QCOMPARE(target.pixel(probe), expected);
}

void TestSurfaceFill::degenerateInputs()
{
    QVERIFY(GradientStrip(QSize(0, 10), gdDown, cl::Black, cl::White).isNull());
    QVERIFY(GradientStrip(QSize(10, -1), gdRight, cl::Black, cl::White).isNull());
    // An absurd size gives a bounded strip, not a huge allocation.
    const QImage strip = GradientStrip(QSize(1 << 24, 3), gdRight, cl::Black, cl::White);
    QCOMPARE(strip.width(), MaxStripLength);
    QCOMPARE(strip.height(), 1);
    QVERIFY(DrawableTexture(QImage()).isNull());
    QImage tall(1, 20000, QImage::Format_RGB32);
    tall.fill(Qt::green);
    QVERIFY(DrawableTexture(tall).height() <= MaxTextureSide);

    // Tiles of a 1 x 1 texture over a whole page finish with a bounded number of draws.
    QImage page(2000, 2000, QImage::Format_RGB32);
    page.fill(Qt::white);
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(Qt::red);
    QPainter p(&page);
    QElapsedTimer timer;
    timer.start();
    PrintTiles(p, page.rect(), dot, QSize(1, 1), 0);
    p.end();
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(page.pixel(1999, 1999), qRgb(255, 0, 0));
}

void TestSurfaceFill::printedTexturesAreOneImage()
{
    QImage texture(16, 16, QImage::Format_RGB32);
    texture.fill(Qt::darkYellow);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(300);
        QPainter p(&writer);
        for (int label = 0; label < 5; ++label) {
            TSurfaceLayers l;
            l.path.addEllipse(QRectF(100 + label * 300, 100, 250, 250));
            l.fill = TFillKind::Texture;
            l.texture = texture;
            l.tileSize = QSizeF(50, 50);
            l.area = QRect(100 + label * 300, 100, 250, 250);
            l.outline = true;
            l.outlinePen = OutlinePen(cl::Black, psSolid, 3);
            PaintPrint(p, l, 3);
        }
    }
    const QByteArray bytes = pdf.data();
    QCOMPARE(bytes.count("/Subtype /Image"), 1);
}

QTEST_MAIN(TestSurfaceFill)
#include "tst_surfacefill.moc"
