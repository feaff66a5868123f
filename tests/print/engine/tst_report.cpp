// The print engine's drawing: inches to device pixels, pens, figures,
// pictures and text on images of a known resolution.

#include "print/engine/Canvas.h"
#include "print/engine/Report.h"

#include <QPicture>
#include <QtTest>

#include <cmath>

namespace {

QImage page(int width, int height, double dpi = 300)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(std::lround(dpi / 0.0254));
    image.setDotsPerMeterY(std::lround(dpi / 0.0254));
    image.fill(Qt::white);
    return image;
}

bool dark(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 100;
}

}  // namespace

class ReportTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void inchesToDevice_data();
    void inchesToDevice();
    void penWidth_data();
    void penWidth();
    void rectangleAndLinePixels();
    void lineLeavesEndPoint();
    void stretchPicture_data();
    void stretchPicture();
    void stretchImage();
    void textOut();
    void exclusiveOrTwiceRestores();
};

void ReportTest::inchesToDevice_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<double>("unprintable");
    QTest::addColumn<double>("origin");
    QTest::addColumn<int>("expected");
    QTest::newRow("one inch at 300") << 1.0 << 300.0 << 0.0 << 0.0 << 300;
    QTest::newRow("half down to even") << 0.25 << 2.0 << 0.0 << 0.0 << 0;
    QTest::newRow("half up to even") << 0.75 << 2.0 << 0.0 << 0.0 << 2;
    QTest::newRow("2.5 to 2") << 1.25 << 2.0 << 0.0 << 0.0 << 2;
    QTest::newRow("unprintable margin") << 1.0 << 300.0 << 0.25 << 0.0 << 225;
    QTest::newRow("origin") << 1.0 << 300.0 << 0.0 << 0.5 << 450;
    QTest::newRow("left of the margin") << 0.1 << 600.0 << 0.25 << 0.0 << -90;
}

void ReportTest::inchesToDevice()
{
    QFETCH(double, x);
    QFETCH(double, dpi);
    QFETCH(double, unprintable);
    QFETCH(double, origin);
    QFETCH(int, expected);
    TReport report(nullptr, dpi, dpi * 2, QPointF(unprintable, unprintable * 2));
    report.SetOrigin(QPointF(origin, origin));
    QCOMPARE(report.XToDevice(x), expected);
    // The vertical axis uses its own resolution and margin.
    QCOMPARE(report.YToDevice(x), int(std::nearbyint((x + origin - unprintable * 2) * dpi * 2)));
}

void ReportTest::penWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("expected");
    QTest::newRow("5 hundredths at 300") << -5 << 300.0 << 15;
    QTest::newRow("5 hundredths at 96") << -5 << 96.0 << 5;
    QTest::newRow("24 hundredths at 96") << -24 << 96.0 << 23;
    QTest::newRow("never below one pixel") << -1 << 50.0 << 1;
    QTest::newRow("device pixels") << 3 << 300.0 << 3;
}

void ReportTest::penWidth()
{
    QFETCH(int, width);
    QFETCH(double, dpi);
    QFETCH(int, expected);
    TReport report(nullptr, dpi, dpi);
    report.Pen.Width = width;
    QCOMPARE(report.PenWidthToDevice(), expected);
}

void ReportTest::rectangleAndLinePixels()
{
    QImage image = page(1000, 700);
    {
        QPainter p(&image);
        TReport report(&p, 300, 300);
        report.Pen.Width = -1;   // 3 device pixels
        report.Brush.Color = cl::Red;
        report.Rectangle(1, 1, 2, 1.5);
        report.Pen.Width = -5;   // 15 device pixels
        report.MoveTo(0.5, 2);
        report.LineTo(2.5, 2);
    }
    // The stroke lies centred on the one-pixel outline (300 .. 599).
    QVERIFY(!dark(image, 298, 375));
    QVERIFY(dark(image, 299, 375));
    QVERIFY(dark(image, 301, 375));
    QCOMPARE(image.pixelColor(302, 375), QColor(Qt::red));
    QCOMPARE(image.pixelColor(597, 447), QColor(Qt::red));
    QVERIFY(dark(image, 597, 448));
    QVERIFY(dark(image, 600, 375));
    QVERIFY(!dark(image, 601, 375));
    QVERIFY(dark(image, 450, 299) && dark(image, 450, 450) && !dark(image, 450, 451));
    // The line: rows 593 .. 607, columns 150 .. 749.
    QVERIFY(dark(image, 150, 593) && dark(image, 150, 607) && dark(image, 749, 600));
    QVERIFY(!dark(image, 150, 592) && !dark(image, 150, 608));
    QVERIFY(!dark(image, 149, 600) && !dark(image, 750, 600));
}

void ReportTest::lineLeavesEndPoint()
{
    QImage image = page(40, 40, 96);
    {
        QPainter p(&image);
        TCanvas c(p);
        c.MoveTo(2, 2);
        c.LineTo(12, 7);
        c.MoveTo(30, 30);
        c.LineTo(30, 20);
    }
    QVERIFY(dark(image, 2, 2));
    QVERIFY(dark(image, 11, 7) || dark(image, 11, 6));
    QVERIFY(!dark(image, 12, 7));
    QVERIFY(dark(image, 30, 30) && dark(image, 30, 21));
    QVERIFY(!dark(image, 30, 20));
}

void ReportTest::stretchPicture_data()
{
    QTest::addColumn<double>("imageDpi");
    QTest::newRow("image at 300 dpi") << 300.0;
    QTest::newRow("image at 96 dpi") << 96.0;
}

void ReportTest::stretchPicture()
{
    QFETCH(double, imageDpi);
    // A 96 x 48 screen-pixel drawing: black, with a white left half.
    QPicture picture;
    {
        QPainter p(&picture);
        p.fillRect(QRect(0, 0, 96, 48), Qt::black);
        p.fillRect(QRect(0, 0, 48, 48), Qt::white);
    }
    QImage image = page(1000, 700, imageDpi);
    {
        QPainter p(&image);
        TReport report(&p, 300, 300);
        report.StretchDraw(1, 1, 3, 2, picture, QSizeF(96, 48));
    }
    // (1, 1)-(3, 2) inches: device pixels 300 .. 899 by 300 .. 599.
    QVERIFY(!dark(image, 590, 450));
    QVERIFY(dark(image, 610, 450));
    QVERIFY(dark(image, 897, 597));
    QVERIFY(!dark(image, 903, 450));
    QVERIFY(!dark(image, 610, 603));
    QVERIFY(dark(image, 610, 303));
    QVERIFY(!dark(image, 610, 296));
}

void ReportTest::stretchImage()
{
    QImage source(2, 2, QImage::Format_RGB32);
    source.setPixelColor(0, 0, Qt::red);
    source.setPixelColor(1, 0, Qt::green);
    source.setPixelColor(0, 1, Qt::blue);
    source.setPixelColor(1, 1, Qt::black);
    QImage image = page(400, 400);
    {
        QPainter p(&image);
        TReport report(&p, 300, 300);
        report.StretchDraw(0.1, 0.1, 1.1, 1.1, source);
    }
    QCOMPARE(image.pixelColor(29, 29), QColor(Qt::white));
    QCOMPARE(image.pixelColor(30, 30), QColor(Qt::red));
    QCOMPARE(image.pixelColor(179, 179), QColor(Qt::red));
    QCOMPARE(image.pixelColor(180, 30), QColor(Qt::green));
    QCOMPARE(image.pixelColor(30, 180), QColor(Qt::blue));
    QCOMPARE(image.pixelColor(329, 329), QColor(Qt::black));
    QCOMPARE(image.pixelColor(330, 330), QColor(Qt::white));
}

void ReportTest::textOut()
{
    QImage image = page(900, 400);
    double lineHeight = 0;
    {
        QPainter p(&image);
        TReport report(&p, 300, 300);
        report.Font.Name = QStringLiteral("Arial");
        report.Font.Size = 12;
        report.Brush.Style = bsClear;
        QCOMPARE(report.FontPixelHeight(), 50);
        report.TextOut(1, 0.5, QStringLiteral("HHHH"));
        lineHeight = report.LineHeight();
    }
    // Text hangs below its top-left corner (300, 150).
    int top = 400, left = 900, bottom = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (dark(image, x, y)) {
                top = qMin(top, y);
                bottom = qMax(bottom, y);
                left = qMin(left, x);
            }
    QVERIFY(top > 150 && top < 175);
    QVERIFY(left >= 300 && left < 315);
    QVERIFY(bottom - top > 25 && bottom - top < 50);   // a capital H of 12 points
    QVERIFY(lineHeight > 0.15 && lineHeight < 0.25);
}

void ReportTest::exclusiveOrTwiceRestores()
{
    QImage image = page(60, 60, 96);
    image.setPixelColor(20, 5, Qt::blue);
    const QImage before = image.copy();
    {
        QPainter p(&image);
        TCanvas c(p);
        c.Pen.Mode = pmXor;
        c.Pen.Color = cl::White;
        c.Pen.Width = 3;
        c.Brush.Style = bsClear;
        c.Rectangle(5, 5, 50, 40);
        QVERIFY(image != before);
    }
    QCOMPARE(image.pixelColor(5, 20), QColor(Qt::black));   // white xor white
    QCOMPARE(image.pixelColor(20, 5), QColor(Qt::yellow));  // white xor blue
    {
        QPainter p(&image);
        TCanvas c(p);
        c.Pen.Mode = pmXor;
        c.Pen.Color = cl::White;
        c.Pen.Width = 3;
        c.Brush.Style = bsClear;
        c.Rectangle(5, 5, 50, 40);
    }
    QCOMPARE(image, before);
}

QTEST_MAIN(ReportTest)
#include "tst_report.moc"
