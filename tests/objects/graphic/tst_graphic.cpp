// Line and shape objects: screen pixels, printed geometry, context menus
// and their records in the property stream.

#include "design/Gbasepnl.h"
#include "objects/Register.h"
#include "objects/graphic/Glines.h"
#include "objects/graphic/Glshapes.h"
#include "print/engine/Report.h"
#include "storage/Stream.h"

#include <QMenu>
#include <QtTest>

#include <cmath>

namespace {

using Probes = QList<QPair<QPoint, QColor>>;

// Paints the object through its own Paint routine onto an image.
QImage paintObject(TGGraphicControl &o, QColor background = Qt::cyan)
{
    QImage image(o.Width(), o.Height(), QImage::Format_RGB32);
    image.fill(background);
    QPainter p(&image);
    o.PaintTo(p);
    return image;
}

QImage printPage(TGGraphicControl &o, double x, double y, int width = 1200, int height = 900)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(std::lround(300 / 0.0254));
    image.setDotsPerMeterY(std::lround(300 / 0.0254));
    image.fill(Qt::white);
    QPainter p(&image);
    TReport report(&p, 300, 300);
    o.PrintOnReport(report, x, y);
    return image;
}

QStringList captions(const QMenu *menu)
{
    QStringList list;
    for (QAction *a : menu->actions()) {
        if (a->isSeparator())
            list << QStringLiteral("-");
        else if (a->menu())
            list << a->text() + QStringLiteral(" >");
        else
            list << a->text();
    }
    return list;
}

QAction *findAction(const QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions()) {
        if (a->text() == text)
            return a;
        if (a->menu())
            if (QAction *inner = findAction(a->menu(), text))
                return inner;
    }
    return nullptr;
}

QByteArray writeObject(const TComponent &c)
{
    PropertyWriter w;
    w.writeRootComponent(c);
    return w.data();
}

template <class T>
std::unique_ptr<T> readObject(const QByteArray &data)
{
    PropertyReader r(data + '\0');
    std::unique_ptr<T> result;
    r.readRootComponents(nullptr, nullptr, [&](TComponent *c) { result.reset(dynamic_cast<T *>(c)); });
    if (result)
        result->FinishLoading();
    return result;
}

QByteArray shortName(const QByteArray &name)
{
    return char(name.size()) + name;
}

}  // namespace

class GraphicTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { RegisterLabelClasses(); }
    void linePixels_data();
    void linePixels();
    void shapePixels_data();
    void shapePixels();
    void cornerSize_data();
    void cornerSize();
    void printedLine();
    void printedShapes();
    void printedPenWidths();
    void lineMenu();
    void stretchToEdges();
    void shapeMenu();
    void streamRoundTrip();
    void streamDefaults();
};

void GraphicTest::linePixels_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("penWidth");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<float>("zoom");
    QTest::addColumn<QList<QPoint>>("painted");
    QTest::addColumn<QList<QPoint>>("clear");

    QTest::newRow("horizontal 4") << int(stHorizontal) << 4 << QSize(50, 15) << 1.0f
                                  << QList<QPoint>{{2, 0}, {2, 3}, {48, 2}, {48, 0}}
                                  << QList<QPoint>{{1, 2}, {49, 2}, {2, 4}};
    QTest::newRow("horizontal 1") << int(stHorizontal) << 1 << QSize(50, 15) << 1.0f
                                  << QList<QPoint>{{0, 0}, {49, 0}} << QList<QPoint>{{0, 1}, {25, 1}};
    QTest::newRow("vertical 3") << int(stVertical) << 3 << QSize(20, 40) << 1.0f
                                << QList<QPoint>{{0, 1}, {2, 1}, {1, 38}}
                                << QList<QPoint>{{1, 0}, {1, 39}, {3, 10}};
    QTest::newRow("zoom 0.5: thinnest pen") << int(stHorizontal) << 1 << QSize(50, 15) << 0.5f
                                            << QList<QPoint>{{0, 0}, {49, 0}}
                                            << QList<QPoint>{{0, 1}};
    QTest::newRow("zoom 2: twice as wide") << int(stHorizontal) << 2 << QSize(50, 15) << 2.0f
                                           << QList<QPoint>{{2, 0}, {2, 3}, {48, 2}}
                                           << QList<QPoint>{{1, 2}, {49, 2}, {2, 4}};
    QTest::newRow("sloping down") << int(stAngleSlopingDown) << 1 << QSize(30, 30) << 1.0f
                                  << QList<QPoint>{{0, 0}, {15, 15}, {29, 29}}
                                  << QList<QPoint>{{29, 0}, {0, 29}};
    QTest::newRow("sloping up") << int(stAngleSlopingUp) << 1 << QSize(30, 20) << 1.0f
                                << QList<QPoint>{{15, 10}, {1, 19}}
                                << QList<QPoint>{{0, 0}, {29, 19}};
}

void GraphicTest::linePixels()
{
    QFETCH(int, style);
    QFETCH(int, penWidth);
    QFETCH(QSize, size);
    QFETCH(float, zoom);
    QFETCH(QList<QPoint>, painted);
    QFETCH(QList<QPoint>, clear);
    TGLineShape line;
    line.SetLineStyle(TLineStyle(style));
    line.Pen()->SetWidth(penWidth);
    line.Pen()->SetColor(cl::Red);
    line.SetBounds(0, 0, size.width(), size.height());
    line.AdoptScale(zoom);
    const QImage image = paintObject(line, Qt::white);
    for (const QPoint &p : painted)
        QVERIFY2(image.pixelColor(p) == QColor(Qt::red), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    for (const QPoint &p : clear)
        QVERIFY2(image.pixelColor(p) == QColor(Qt::white), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
}

void GraphicTest::shapePixels_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("penWidth");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<float>("zoom");
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<Probes>("probes");
    const QColor k(Qt::black), w(Qt::white), bg(Qt::cyan);

    QTest::newRow("rectangle pen 3") << int(stRectangle) << 3 << QSize(40, 30) << 1.0f << false
        << Probes{{{0, 0}, k}, {{2, 2}, k}, {{3, 3}, w}, {{39, 29}, k}, {{37, 27}, k}, {{36, 26}, w}};
    QTest::newRow("rectangle pen 1") << int(stRectangle) << 1 << QSize(40, 30) << 1.0f << false
        << Probes{{{0, 0}, k}, {{39, 29}, k}, {{1, 1}, w}, {{38, 28}, w}};
    QTest::newRow("square fills its bounds") << int(stSquare) << 2 << QSize(60, 20) << 1.0f << false
        << Probes{{{0, 0}, k}, {{1, 1}, k}, {{2, 2}, w}, {{59, 19}, k}, {{57, 17}, w}};
    QTest::newRow("pen 0 at zoom 1") << int(stRectangle) << 0 << QSize(40, 30) << 1.0f << false
        << Probes{{{0, 0}, k}, {{0, 29}, k}, {{39, 15}, w}, {{20, 29}, w}};
    QTest::newRow("zoom 0.25 keeps one pixel") << int(stRectangle) << 1 << QSize(40, 30) << 0.25f << false
        << Probes{{{0, 0}, k}, {{39, 29}, k}, {{1, 1}, w}};
    QTest::newRow("zoom 0.25 pen 0 stays 0") << int(stRectangle) << 0 << QSize(40, 30) << 0.25f << false
        << Probes{{{0, 0}, k}, {{39, 15}, w}};
    QTest::newRow("zoom 2 doubles") << int(stRectangle) << 2 << QSize(40, 30) << 2.0f << false
        << Probes{{{0, 0}, k}, {{3, 3}, k}, {{4, 4}, w}, {{39, 29}, k}, {{35, 25}, w}};
    QTest::newRow("transparent") << int(stRectangle) << 1 << QSize(40, 30) << 1.0f << true
        << Probes{{{0, 0}, k}, {{10, 10}, bg}, {{39, 29}, k}};
    QTest::newRow("round rectangle") << int(stRoundRect) << 1 << QSize(100, 40) << 1.0f << false
        << Probes{{{0, 0}, bg}, {{2, 2}, bg}, {{50, 0}, k}, {{0, 20}, k}, {{99, 20}, k}, {{50, 20}, w}};
    QTest::newRow("circle is an 80 x 40 ellipse") << int(stCircle) << 1 << QSize(80, 40) << 1.0f << false
        << Probes{{{0, 20}, k}, {{79, 20}, k}, {{40, 0}, k}, {{40, 39}, k}, {{40, 20}, w}, {{3, 3}, bg}};
}

void GraphicTest::shapePixels()
{
    QFETCH(int, shape);
    QFETCH(int, penWidth);
    QFETCH(QSize, size);
    QFETCH(float, zoom);
    QFETCH(bool, transparent);
    QFETCH(Probes, probes);
    TGLabelShapes s;
    s.SetShape(TShapeType(shape));
    s.Pen()->SetWidth(penWidth);
    s.SetTransparent(transparent);
    s.SetBounds(0, 0, size.width(), size.height());
    s.AdoptScale(zoom);
    const QImage image = paintObject(s);
    for (const auto &probe : probes)
        QVERIFY2(image.pixelColor(probe.first) == probe.second,
                 qPrintable(QStringLiteral("%1,%2 is %3").arg(probe.first.x()).arg(probe.first.y())
                                .arg(image.pixelColor(probe.first).name())));
}

void GraphicTest::cornerSize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("expected");
    QTest::newRow("25 % of 100") << QSize(100, 40) << 25 << 25;
    QTest::newRow("20 % of 100 is 19") << QSize(100, 40) << 20 << 19;
    QTest::newRow("longer side") << QSize(40, 100) << 25 << 25;
    QTest::newRow("none") << QSize(100, 40) << 0 << 0;
    QTest::newRow("truncated") << QSize(33, 10) << 25 << 8;
}

void GraphicTest::cornerSize()
{
    QFETCH(QSize, size);
    QFETCH(int, percent);
    QFETCH(int, expected);
    QCOMPARE(TGLabelShapes::CornerSize(size.width(), size.height(), percent), expected);
}

void GraphicTest::printedLine()
{
    TGLineShape line;
    line.Pen()->SetWidth(5);
    line.SetBounds(0, 48, 96, 10);
    // Top 48 + half the pen (2): 0.5208 inch below the label's top.
    const QImage image = printPage(line, 1.0, 1.0);
    const int y = int(std::nearbyint((1.0 + 50.0 / 96) * 300));   // 456
    QCOMPARE(y, 456);
    QVERIFY(qGray(image.pixel(450, y - 7)) < 100);
    QVERIFY(qGray(image.pixel(450, y + 7)) < 100);
    QVERIFY(qGray(image.pixel(450, y - 8)) > 200);
    QVERIFY(qGray(image.pixel(450, y + 8)) > 200);
    QVERIFY(qGray(image.pixel(300, y)) < 100);
    QVERIFY(qGray(image.pixel(599, y)) < 100);
    QVERIFY(qGray(image.pixel(600, y)) > 200);
    QCOMPARE(image.size(), QSize(1200, 900));

    line.SetLineStyle(stVertical);
    const QImage vertical = printPage(line, 0.5, 0.0);
    // From y = (48 + 2) / 96 to (48 + 2 + 10) / 96 inch, 15 pixels wide at x = 150.
    QVERIFY(qGray(vertical.pixel(150, 157)) < 100);
    QVERIFY(qGray(vertical.pixel(143, 180)) < 100 && qGray(vertical.pixel(157, 180)) < 100);
    QVERIFY(qGray(vertical.pixel(142, 180)) > 200 && qGray(vertical.pixel(158, 180)) > 200);
    QVERIFY(qGray(vertical.pixel(150, 155)) > 200);
    QVERIFY(qGray(vertical.pixel(150, 188)) > 200);
}

void GraphicTest::printedShapes()
{
    TGLabelShapes s;
    s.SetBounds(0, 0, 100, 40);
    s.Brush()->SetColor(cl::Red);
    // 100 x 40 pixels: 1.0417 x 0.4167 inch, from (1, 1) inch: 300 .. 612 by 300 .. 425.
    QImage image = printPage(s, 1, 1);
    QCOMPARE(image.pixelColor(305, 305), QColor(Qt::red));
    QVERIFY(qGray(image.pixel(611, 350)) < 100);
    QCOMPARE(image.pixelColor(614, 350), QColor(Qt::white));
    s.SetShape(stRoundRect);
    image = printPage(s, 1, 1);
    // Corner ellipse 25 % of 1.0417 inch = 0.2604 inch = 78 pixels.
    QCOMPARE(image.pixelColor(305, 305), QColor(Qt::white));
    QCOMPARE(image.pixelColor(312, 320), QColor(Qt::red));
    QCOMPARE(image.pixelColor(345, 303), QColor(Qt::red));
    QCOMPARE(image.pixelColor(318, 303), QColor(Qt::white));
    s.SetShape(stEllipse);
    image = printPage(s, 1, 1);
    QCOMPARE(image.pixelColor(312, 310), QColor(Qt::white));
    QCOMPARE(image.pixelColor(456, 362), QColor(Qt::red));
    s.SetTransparent(true);
    image = printPage(s, 1, 1);
    QCOMPARE(image.pixelColor(456, 362), QColor(Qt::white));
}

void GraphicTest::printedPenWidths()
{
    // At 96 pixels per inch widths 1 to 10 print as 1 to 10 hundredths, 24 as 25.
    TGLabelShapes s;
    TGLineShape l;
    TReport report;
    for (int width : {1, 2, 5, 9, 10, 24}) {
        s.Pen()->SetWidth(width);
        s.PrintOnReport(report, 0, 0);
        QCOMPARE(report.Pen.Width, width == 24 ? -25 : -width);
        l.Pen()->SetWidth(width);
        l.PrintOnReport(report, 0, 0);
        QCOMPARE(report.Pen.Width, -width);
    }
    l.Pen()->SetMode(pmXor);
    l.PrintOnReport(report, 0, 0);
    QCOMPARE(report.Pen.Mode, pmCopy);
}

void GraphicTest::lineMenu()
{
    TGBasePanel panel;
    int changes = 0;
    panel.LabelChangedEvent = [&](QObject *) { ++changes; };
    TGLineShape *line = new TGLineShape;
    line->SetParentComponent(&panel);
    line->FinishLoading();
    QMenu *menu = line->ObjectMenu();
    QCOMPARE(captions(menu).mid(12), QStringList({"-", "Style >", "Color", "Line Thickness >", "-",
                                                  "Stretch To Edges"}));
    QCOMPARE(captions(findAction(menu, "Style")->menu()),
             QStringList({"Horizontal", "Vertical", "Angled Sloping Up", "Angled Sloping Down"}));
    QStringList points;
    for (int n = 1; n <= 10; ++n)
        points << QStringLiteral("%1 Point").arg(n);
    QCOMPARE(captions(findAction(menu, "Line Thickness")->menu()), points);

    line->Pen()->SetWidth(3);
    line->SetLineStyle(stVertical);
    Q_EMIT menu->aboutToShow();
    for (int n = 1; n <= 10; ++n)
        QCOMPARE(findAction(menu, points[n - 1])->isChecked(), n == 3);
    QVERIFY(findAction(menu, "Vertical")->isChecked());
    QVERIFY(!findAction(menu, "Horizontal")->isChecked());

    findAction(menu, "Angled Sloping Up")->trigger();
    QCOMPARE(line->LineStyle(), stAngleSlopingUp);
    QCOMPARE(changes, 1);
    findAction(menu, "7 Point")->trigger();
    QCOMPARE(line->Pen()->Width(), 7);
    QCOMPARE(changes, 2);
}

void GraphicTest::stretchToEdges()
{
    TGBasePanel panel;
    panel.resize(338, 188);
    TGLineShape *line = new TGLineShape;
    line->SetParentComponent(&panel);
    line->SetBounds(50, 60, 100, 10);
    line->StretchToEdges();
    QCOMPARE(line->geometry(), QRect(0, 60, 338, 10));
    line->SetLineStyle(stVertical);
    line->SetBounds(50, 60, 10, 100);
    line->StretchToEdges();
    QCOMPARE(line->geometry(), QRect(50, 0, 10, 188));
    line->SetLineStyle(stAngleSlopingDown);
    line->SetBounds(50, 60, 30, 30);
    line->StretchToEdges();
    QCOMPARE(line->geometry(), QRect(50, 60, 30, 30));
}

void GraphicTest::shapeMenu()
{
    TGBasePanel panel;
    int changes = 0;
    panel.LabelChangedEvent = [&](QObject *) { ++changes; };
    TGLabelShapes *s = new TGLabelShapes;
    s->SetParentComponent(&panel);
    s->FinishLoading();
    QCOMPARE(captions(s->ObjectMenu()).mid(12), QStringList({"-", "Background Color", "Line Color",
                                                             "Line Thickness >", "-", "Transparent"}));
    s->SetShape(stRoundSquare);
    s->FinishLoading();
    QMenu *menu = s->ObjectMenu();
    QCOMPARE(captions(menu).mid(18), QStringList({"-", "Degree of Rounding >"}));
    QCOMPARE(captions(findAction(menu, "Degree of Rounding")->menu()),
             QStringList({"20 %", "30 %", "40 %", "50 %", "60 %", "70 %", "80 %"}));
    findAction(menu, "60 %")->trigger();
    QCOMPARE(s->RoundPerc(), 60);
    QCOMPARE(changes, 1);

    s->Pen()->SetWidth(10);
    Q_EMIT menu->aboutToShow();
    QVERIFY(findAction(menu, "10 Point")->isChecked());
    QVERIFY(!findAction(menu, "1 Point")->isChecked());
    QVERIFY(!findAction(menu, "Transparent")->isChecked());
    findAction(menu, "Transparent")->trigger();
    QVERIFY(s->Transparent());
    QCOMPARE(s->Brush()->Style(), bsClear);
    QVERIFY(findAction(menu, "Transparent")->isChecked());
    QCOMPARE(changes, 2);
    findAction(menu, "Transparent")->trigger();
    QCOMPARE(s->Brush()->Style(), bsSolid);
    findAction(menu, "2 Point")->trigger();
    QCOMPARE(s->Pen()->Width(), 2);
}

void GraphicTest::streamRoundTrip()
{
    TGLabelShapes s;
    s.SetName(QStringLiteral("Special4"));
    s.SetBounds(12, 34, 56, 78);
    s.SetLocked(true);
    s.SetShape(stRoundRect);
    s.SetRoundPerc(40);
    s.SetTransparent(true);
    // Brush is stored after Transparent, so a stored brush style wins.
    s.Brush()->SetStyle(bsCross);
    s.Brush()->SetColor(cl::Yellow);
    s.Pen()->SetWidth(4);
    s.Pen()->SetColor(cl::Navy);
    const QByteArray bytes = writeObject(s);
    auto copy = readObject<TGLabelShapes>(bytes);
    QVERIFY(copy);
    QCOMPARE(copy->Name(), QStringLiteral("Special4"));
    QCOMPARE(copy->geometry(), QRect(12, 34, 56, 78));
    QVERIFY(copy->Locked());
    QCOMPARE(copy->Shape(), stRoundRect);
    QCOMPARE(copy->RoundPerc(), 40);
    QVERIFY(copy->Transparent());
    QCOMPARE(copy->Brush()->Style(), bsCross);
    QCOMPARE(copy->Brush()->Color(), cl::Yellow);
    QCOMPARE(copy->Pen()->Width(), 4);
    QCOMPARE(copy->Pen()->Color(), cl::Navy);
    QVERIFY(findAction(copy->ObjectMenu(), "Degree of Rounding"));
    QCOMPARE(copy->LastBounds(), QRect(0, 0, 0, 0));
    QCOMPARE(writeObject(*copy), bytes);

    TGLineShape l;
    l.SetName(QStringLiteral("Special5"));
    l.SetBounds(1, 2, 300, 4);
    l.SetLineStyle(stAngleSlopingDown);
    l.Pen()->SetWidth(6);
    l.SetUnselectable(true);
    const QByteArray lineBytes = writeObject(l);
    auto lineCopy = readObject<TGLineShape>(lineBytes);
    QVERIFY(lineCopy);
    QCOMPARE(lineCopy->LineStyle(), stAngleSlopingDown);
    QCOMPARE(lineCopy->Pen()->Width(), 6);
    QVERIFY(lineCopy->Unselectable());
    QCOMPARE(writeObject(*lineCopy), lineBytes);
}

void GraphicTest::streamDefaults()
{
    // Defaults are not written; Transparent and the geometry always are.
    TGLabelShapes s;
    s.SetBounds(0, 0, 25, 25);
    const QByteArray bytes = writeObject(s);
    QVERIFY(bytes.contains(shortName("Transparent")));
    QVERIFY(bytes.contains(shortName("Left")) && bytes.contains(shortName("Height")));
    for (const char *absent : {"RoundPerc", "Shape", "Brush.Color", "Pen.Width", "Tag", "Locked"})
        QVERIFY2(!bytes.contains(shortName(absent)), absent);

    // Records without them read as the declared defaults.
    const QByteArray shape = "TPF0" + shortName("TGLabelShapes") + shortName("S1") +
                             shortName("Left") + "\x02\x05" + shortName("Transparent") + "\x08" +
                             "\0\0"_qba;
    auto copy = readObject<TGLabelShapes>(shape);
    QVERIFY(copy);
    QCOMPARE(copy->RoundPerc(), 25);
    QCOMPARE(copy->Shape(), stRectangle);
    QCOMPARE(copy->Left(), 5);
    const QByteArray line = "TPF0" + shortName("TGLineShape") + shortName("L1") + "\0\0"_qba;
    auto lineCopy = readObject<TGLineShape>(line);
    QVERIFY(lineCopy);
    QCOMPARE(lineCopy->LineStyle(), stHorizontal);
    QCOMPARE(lineCopy->Pen()->Width(), 1);
}

QTEST_MAIN(GraphicTest)
#include "tst_graphic.moc"
