// The super shape: its rectangles and figures, setter rules, drawing and
// printing, its record, hostile values, and the texture library.

#include "graphics/Bmp.h"
#include "objects/Register.h"
#include "controls/DialogSupport.h"
#include "objects/graphic/Gsshape.h"
#include "objects/graphic/Gssprop.h"
#include "objects/graphic/Gbimageb.h"
#include "storage/AppPaths.h"
#include <QMessageBox>
#include "controls/SpinEdit.h"

#include <QComboBox>
#include <QGroupBox>
#include "print/engine/Report.h"
#include "storage/Stream.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray writeObject(const TComponent &c)
{
    PropertyWriter w;
    w.writeRootComponent(c);
    return w.data();
}

std::unique_ptr<TSuperShape> readObject(const QByteArray &data)
{
    PropertyReader r(data + '\0');
    std::unique_ptr<TSuperShape> result;
    r.readRootComponents(nullptr, nullptr,
                         [&](TComponent *c) { result.reset(dynamic_cast<TSuperShape *>(c)); });
    if (result)
        result->FinishLoading();
    return result;
}

QImage paintObject(TGGraphicControl &o)
{
    QImage image(o.Width(), o.Height(), QImage::Format_RGB32);
    image.fill(Qt::cyan);
    QPainter p(&image);
    o.PaintTo(p);
    return image;
}

// What the reader does with a stored integer or ordinal.
void readValue(TSuperShape &o, const char *name, qint64 v)
{
    o.Properties().find(name)->setOrd(o, v);
}

QImage checker(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, (x / 2 + y / 2) % 2 ? qRgb(0, 128, 0) : qRgb(255, 255, 0));
    return image;
}

int pdfImageObjects(const QString &pdf)
{
    QProcess images;
    images.start("pdfimages", {"-list", pdf});
    images.waitForFinished();
    QSet<QByteArray> objects;
    const QList<QByteArray> lines = images.readAllStandardOutput().trimmed().split('\n');
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].simplified().split(' ');
        if (fields.size() > 10)
            objects.insert(fields[10]);
    }
    return int(objects.size());
}

// Mean difference between line a and line a + 1 (wrapping) of `image`,
// lines being columns or rows.
double lineStep(const QImage &image, bool columns, int a)
{
    const int n = columns ? image.width() : image.height(), m = columns ? image.height() : image.width();
    const int a2 = (a + 1) % n;
    double sum = 0;
    for (int b = 0; b < m; ++b) {
        const QRgb p = columns ? image.pixel(a, b) : image.pixel(b, a);
        const QRgb q = columns ? image.pixel(a2, b) : image.pixel(b, a2);
        sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
    return sum / m;
}

bool nearColor(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3
        && std::abs(qBlue(a) - qBlue(b)) <= 3;
}

}  // namespace

Q_DECLARE_METATYPE(TSides)

class SuperShapeTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { RegisterLabelClasses(); }
    void rects_data();
    void rects();
    void star();
    void repaintFollowsChanges_data();
    void repaintFollowsChanges();
    void setterRules_data();
    void setterRules();
    void shadowDepthGuard();
    void drawnLayers_data();
    void drawnLayers();
    void recordRoundTrip();
    void hostileValues_data();
    void hostileValues();
    void pdfImages_data();
    void pdfImages();
    void textureLibrary();
    void dialogPanels_data();
    void dialogPanels();
    void dialogEdits();
    void textureBrowser();
};

void SuperShapeTest::rects_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("orient");
    QTest::addColumn<int>("outline");
    QTest::addColumn<TSides>("expectShape");
    QTest::addColumn<TSides>("expectShadow");
    // 100 x 60, shadow depth 5; an empty shadow means none.
    QTest::newRow("no shadow") << int(gstStar) << int(soNone) << 3 << TSides {1, 1, 98, 58} << TSides {};
    QTest::newRow("lower right") << int(gstStar) << int(soLowerRight) << 3 << TSides {1, 1, 93, 53}
                                 << TSides {6, 6, 98, 58};
    QTest::newRow("upper right") << int(gstRectangle) << int(soUpperRight) << 3 << TSides {1, 6, 93, 58}
                                 << TSides {6, 1, 98, 53};
    QTest::newRow("upper left") << int(gstEllipse) << int(soUpperLeft) << 1 << TSides {5, 5, 100, 60}
                                << TSides {0, 0, 95, 55};
    QTest::newRow("lower left") << int(gstTriangleUp) << int(soLowerLeft) << 2 << TSides {6, 1, 99, 54}
                                << TSides {1, 6, 94, 59};
    QTest::newRow("diamond lower right: beside") << int(gstDiamond) << int(soLowerRight) << 3
                                                 << TSides {1, 1, 93, 58} << TSides {6, 1, 98, 58};
    QTest::newRow("diamond upper right: beside") << int(gstDiamond) << int(soUpperRight) << 1
                                                 << TSides {0, 0, 95, 60} << TSides {5, 0, 100, 60};
    QTest::newRow("diamond upper left: left only") << int(gstDiamond) << int(soUpperLeft) << 1
                                                   << TSides {5, 0, 100, 60} << TSides {0, 0, 95, 60};
    QTest::newRow("diamond lower left: left only") << int(gstDiamond) << int(soLowerLeft) << 3
                                                   << TSides {6, 1, 98, 58} << TSides {1, 1, 93, 58};
}

void SuperShapeTest::rects()
{
    QFETCH(int, shape);
    QFETCH(int, orient);
    QFETCH(int, outline);
    QFETCH(TSides, expectShape);
    QFETCH(TSides, expectShadow);
    const auto r = TSuperShape::ShapeRects(TGPShapeType(shape), TShadowOrient(orient), 100, 60, outline, 5);
    QCOMPARE(r.shape, expectShape);
    QCOMPARE(r.shadow.value_or(TSides {}), expectShadow);
    // The object takes the same rectangles at zoom 1.
    TSuperShape o;
    o.SetBounds(0, 0, 100, 60);
    o.SetShape(TGPShapeType(shape));
    o.SetOutlineWidth(outline);
    o.SetShadowOrient(TShadowOrient(orient));
    QCOMPARE(o.CurrentRects().shape, expectShape);
    // At half zoom the depth is Trunc(5 * 0.5) = 2.
    o.SetScale(0.5f);
    const auto half = TSuperShape::ShapeRects(TGPShapeType(shape), TShadowOrient(orient), o.Width(),
                                              o.Height(), outline, 2);
    QCOMPARE(o.CurrentRects().shape, half.shape);
}

void SuperShapeTest::star()
{
    const QVector<QPoint> points = TSuperShape::StarPoints({0, 0, 100, 100}, 10, 50, 90);
    QCOMPARE(points.size(), 10);
    QCOMPARE(points[0], QPoint(50, 4));     // outer radius 46, straight up
    QCOMPARE(points[1], QPoint(64, 31));    // inner radius 23 at -54 degrees
    QCOMPARE(points[5], QPoint(50, 73));    // inner, straight down
    QCOMPARE(points[6], QPoint(23, 87));
    // Offset by the rectangle, and the outer radius from the smaller half.
    const QVector<QPoint> moved = TSuperShape::StarPoints({10, 20, 110, 80}, 10, 50, 90);
    QCOMPARE(moved[0], QPoint(10 + 50, 20 + 30 - 26));
    // A starting angle of 0 puts the first point to the right.
    QCOMPARE(TSuperShape::StarPoints({0, 0, 100, 100}, 10, 50, 0)[0], QPoint(96, 50));
    // Counts beyond the polygon's limits are kept to 3..60 points.
    QCOMPARE(TSuperShape::StarPoints({0, 0, 100, 100}, 10000, 50, 90).size(), 60);
    QCOMPARE(TSuperShape::StarPoints({0, 0, 100, 100}, -4, 50, 90).size(), 3);
}

void SuperShapeTest::setterRules_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<qint64>("expect");
    QTest::newRow("Vectors 2 ignored") << QByteArray("Vectors") << qint64(2) << qint64(10);
    QTest::newRow("Vectors 61 ignored") << QByteArray("Vectors") << qint64(61) << qint64(10);
    QTest::newRow("Vectors 60 taken") << QByteArray("Vectors") << qint64(60) << qint64(60);
    QTest::newRow("Vectors 3 taken") << QByteArray("Vectors") << qint64(3) << qint64(3);
    QTest::newRow("StartingAngle 360 ignored") << QByteArray("StartingAngle") << qint64(360) << qint64(90);
    QTest::newRow("StartingAngle 0 taken") << QByteArray("StartingAngle") << qint64(0) << qint64(0);
    QTest::newRow("InVectorPercent -5 ignored") << QByteArray("InVectorPercent") << qint64(-5) << qint64(50);
    QTest::newRow("InVectorPercent 100 taken") << QByteArray("InVectorPercent") << qint64(100) << qint64(100);
    QTest::newRow("InVectorPercent 101 ignored") << QByteArray("InVectorPercent") << qint64(101) << qint64(50);
    QTest::newRow("ShadowOrient 5 ignored") << QByteArray("ShadowOrient") << qint64(5) << qint64(soNone);
    QTest::newRow("ShadowOrient -1 ignored") << QByteArray("ShadowOrient") << qint64(-1) << qint64(soNone);
}

void SuperShapeTest::setterRules()
{
    QFETCH(QByteArray, property);
    QFETCH(qint64, value);
    QFETCH(qint64, expect);
    TSuperShape o;
    readValue(o, property, value);
    QCOMPARE(o.Properties().find(property)->getOrd(o), expect);

    // The star resets its pull, points and angle only when chosen anew.
    TSuperShape s;
    s.SetShape(gstDiamond);
    s.SetInVectorPercent(0);
    s.SetVectors(6);
    s.SetStartingAngle(30);
    s.SetShape(gstStar);
    QCOMPARE(s.InVectorPercent(), 50);
    QCOMPARE(s.Vectors(), 10);
    QCOMPARE(s.StartingAngle(), 90);
    s.SetShape(gstPolyGon);
    s.SetVectors(6);
    QCOMPARE(s.Vectors(), 6);

    // Leaving the texture surface discards the texture for good; the
    // transparent surface takes the shadow away and keeps an outline.
    TSuperShape t;
    TBitmap texture;
    texture.SetImage(checker(8, 8));
    t.SetSurfaceType(TSuperShape::stBrushImage);
    t.SetImage(&texture);
    t.SetSurfaceType(TSuperShape::stBrushPattern);
    t.SetSurfaceType(TSuperShape::stBrushImage);
    QVERIFY(t.Image()->IsEmpty());
    t.SetShadowOrient(soUpperLeft);
    t.SetPattern(bsCross);
    t.SetOutlineStyle(psClear);
    t.SetSurfaceType(TSuperShape::stBrushTransparent);
    QCOMPARE(t.ShadowOrient(), soNone);
    QCOMPARE(t.Pattern(), bsClear);
    QCOMPARE(t.OutlineStyle(), psSolid);
}

void SuperShapeTest::shadowDepthGuard()
{
    // The stored rule: a new depth is refused only while the depth held
    // exceeds half a side; the new value itself is not checked.
    TSuperShape o;  // 25 x 25, depth 5
    readValue(o, "ShadowDepth", 1000000);
    QCOMPARE(o.ShadowDepth(), 1000000);
    readValue(o, "ShadowDepth", 3);
    QCOMPARE(o.ShadowDepth(), 1000000);
    // Yet the figure keeps at least one pixel.
    o.SetShadowOrient(soLowerRight);
    QVERIFY(!o.CurrentRects().shape.IsEmpty());
    QVERIFY(!o.CurrentRects().shadow->IsEmpty());

    // The dialog's limited depth changes even then and keeps the figure.
    o.SetShadowDepthLimited(3);
    QCOMPARE(o.ShadowDepth(), 3);
    o.SetShadowDepthLimited(50);
    QCOMPARE(o.ShadowDepth(), TSuperShape::MaxDialogShadowDepth);
    o.SetShadowDepthLimited(-2);
    QCOMPARE(o.ShadowDepth(), 0);
    // 8 x 8 with a 1-pixel outline: R = 8, so a depth of 7 leaves one pixel.
    QCOMPARE(TSuperShape::MaxShadowDepthFor(8, 8, 1), 7);
    QCOMPARE(TSuperShape::MaxShadowDepthFor(100, 12, 4), 6);
    QCOMPARE(TSuperShape::MaxShadowDepthFor(3, 3, 3), 0);
    for (int w : {1, 2, 5, 9, 30})
        for (int ow : {0, 1, 3, 10}) {
            const int d = TSuperShape::MaxShadowDepthFor(w, w, ow);
            const auto r = TSuperShape::ShapeRects(gstRectangle, soLowerRight, w, w, ow, d);
            QVERIFY2(r.shape.IsEmpty() == (TSuperShape::ShapeRects(gstRectangle, soNone, w, w, ow, 0).shape.IsEmpty()),
                     qPrintable(QString("w %1 ow %2 depth %3").arg(w).arg(ow).arg(d)));
        }
}

void SuperShapeTest::drawnLayers_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("surface");
    QTest::addColumn<int>("orient");
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<QRgb>("expect");
    // 100 x 60, BackColor red, shadow black of depth 5, no outline; cyan
    // where nothing is drawn.
    const QRgb red = qRgb(255, 0, 0), black = qRgb(0, 0, 0), cyan = qRgb(0, 255, 255);
    QTest::newRow("rectangle filled") << int(gstRectangle) << 1 << int(soNone) << QPoint(1, 1) << red;
    QTest::newRow("rectangle shadow lower right") << int(gstRectangle) << 1 << int(soLowerRight)
                                                  << QPoint(97, 57) << black;
    QTest::newRow("rectangle shadow never upper left") << int(gstRectangle) << 1 << int(soLowerRight)
                                                       << QPoint(1, 58) << cyan;
    QTest::newRow("transparent: no fill") << int(gstRectangle) << 0 << int(soNone) << QPoint(50, 30) << cyan;
    QTest::newRow("star centre") << int(gstStar) << 1 << int(soNone) << QPoint(50, 30) << red;
    QTest::newRow("star outside its points") << int(gstStar) << 1 << int(soNone) << QPoint(3, 3) << cyan;
    QTest::newRow("diamond corner clear") << int(gstDiamond) << 1 << int(soNone) << QPoint(5, 5) << cyan;
    QTest::newRow("diamond shadow left") << int(gstDiamond) << 1 << int(soUpperLeft) << QPoint(1, 30) << black;
    QTest::newRow("diamond shadow not above") << int(gstDiamond) << 1 << int(soUpperLeft)
                                              << QPoint(52, 1) << red;
    QTest::newRow("triangle left tip") << int(gstTriangleLeft) << 1 << int(soNone) << QPoint(2, 30) << red;
    QTest::newRow("triangle left clear corner") << int(gstTriangleLeft) << 1 << int(soNone) << QPoint(2, 3) << cyan;
    QTest::newRow("ellipse corner clear") << int(gstEllipse) << 1 << int(soNone) << QPoint(2, 2) << cyan;
    QTest::newRow("gradient up: bottom row from") << int(gstRectangle) << 3 << int(soNone) << QPoint(50, 59) << red;
}

void SuperShapeTest::drawnLayers()
{
    QFETCH(int, shape);
    QFETCH(int, surface);
    QFETCH(int, orient);
    QFETCH(QPoint, probe);
    QFETCH(QRgb, expect);
    TSuperShape o;
    o.SetBounds(0, 0, 100, 60);
    o.SetShape(TGPShapeType(shape));
    o.SetSurfaceType(TSuperShape::TSurfaceType(surface));
    o.SetBackColor(cl::Red);
    o.SetOutlineStyle(psClear);
    o.SetShadowOrient(TShadowOrient(orient));
    const QImage image = paintObject(o);
    // Gradient bands may leave the last row one band short of the end colour.
    QVERIFY2(nearColor(image.pixel(probe), expect),
             qPrintable(QColor(image.pixel(probe)).name() + " for " + QColor(expect).name()));
}

void SuperShapeTest::recordRoundTrip()
{
    TSuperShape o;
    o.setObjectName("SuperShape1");
    o.FinishLoading();
    o.SetBounds(4, 6, 80, 70);
    o.SetShape(gstTriangleDown);
    o.SetSurfaceType(TSuperShape::stBrushImage);
    TBitmap texture;
    texture.SetImage(checker(6, 10));
    o.SetImage(&texture);
    o.SetShadowOrient(soUpperRight);
    o.SetOutlineWidth(3);
    o.SetLastBitmapFileNameandPath("/tmp/checker.bmp");
    const QByteArray record = writeObject(o);
    auto back = readObject(record);
    QVERIFY(back);
    QCOMPARE(back->Shape(), gstTriangleDown);
    QCOMPARE(back->Image()->Size(), QSize(6, 10));
    QCOMPARE(back->LastBitmapFileNameandPath(), QString("/tmp/checker.bmp"));
    QCOMPARE(writeObject(*back), record);
    QCOMPARE(paintObject(*back), paintObject(o));

    // ForeColor and Pattern are kept but draw nothing.
    back->SetForeColor(cl::Lime);
    back->SetPattern(bsDiagCross);
    auto again = readObject(writeObject(*back));
    QCOMPARE(again->ForeColor(), cl::Lime);
    QCOMPARE(again->Pattern(), bsDiagCross);
    QCOMPARE(paintObject(*again), paintObject(o));
}

void SuperShapeTest::hostileValues_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<qint64>("value");
    QTest::newRow("Vectors 10,000") << QByteArray("Vectors") << qint64(10000);
    QTest::newRow("InVectorPercent -5") << QByteArray("InVectorPercent") << qint64(-5);
    QTest::newRow("ShadowDepth 10^6") << QByteArray("ShadowDepth") << qint64(1000000);
    QTest::newRow("OutlineWidth 10^6") << QByteArray("OutlineWidth") << qint64(1000000);
    QTest::newRow("OutlineWidth -7") << QByteArray("OutlineWidth") << qint64(-7);
    QTest::newRow("RoundPerc 10^9") << QByteArray("RoundPerc") << qint64(1000000000);
}

void SuperShapeTest::hostileValues()
{
    QFETCH(QByteArray, property);
    QFETCH(qint64, value);
    TSuperShape o;
    o.SetBounds(0, 0, 120, 90);
    o.SetShadowOrient(soLowerLeft);
    o.SetShape(property == "RoundPerc" ? gstRoundRect : gstStar);
    readValue(o, property, value);
    auto back = readObject(writeObject(o));
    QVERIFY(back);
    QElapsedTimer timer;
    timer.start();
    paintObject(*back);
    QImage page(900, 900, QImage::Format_RGB32);
    QPainter p(&page);
    TReport report(&p, 600, 600);
    back->PrintOnReport(report, 0.1, 0.1);
    QVERIFY(timer.elapsed() < 2000);

    // A texture one pixel wide and very tall tiles without trouble.
    TBitmap tall;
    tall.SetImage(checker(1, 16000));
    back->SetSurfaceType(TSuperShape::stBrushImage);
    back->SetImage(&tall);
    timer.restart();
    paintObject(*back);
    back->PrintOnReport(report, 0.1, 0.1);
    QVERIFY(timer.elapsed() < 2000);
}

void SuperShapeTest::pdfImages_data()
{
    QTest::addColumn<int>("surface");
    QTest::addColumn<int>("images");
    QTest::newRow("solid") << int(TSuperShape::stBrushPattern) << 0;
    QTest::newRow("gradient") << int(TSuperShape::stGradientFill) << 0;
    QTest::newRow("texture: once for 30 stars") << int(TSuperShape::stBrushImage) << 1;
}

void SuperShapeTest::pdfImages()
{
    if (QStandardPaths::findExecutable("pdfimages").isEmpty())
        QSKIP("pdfimages (poppler-utils) is not installed");
    QFETCH(int, surface);
    QFETCH(int, images);
    QTemporaryDir dir;
    TSuperShape o;
    o.SetBounds(0, 0, 90, 90);
    o.SetShadowOrient(soLowerRight);
    o.SetSurfaceType(TSuperShape::TSurfaceType(surface));
    TBitmap texture;
    texture.SetImage(checker(16, 16));
    o.SetImage(&texture);
    const QString pdf = dir.filePath("stars.pdf");
    {
        QPdfWriter writer(pdf);
        writer.setResolution(300);
        QPainter p(&writer);
        TReport report(&p, 300, 300);
        for (int i = 0; i < 30; ++i)
            o.PrintOnReport(report, 0.3 + (i % 3) * 2.6, 0.5 + (i / 3) * 1.0);
    }
    QCOMPARE(pdfImageObjects(pdf), images);
}

void SuperShapeTest::textureLibrary()
{
    const QDir dir(QStringLiteral(QM_TEXTURE_DIR));
    const QStringList files = dir.entryList({"*.bmp"}, QDir::Files);
    QVERIFY2(files.size() >= 24, qPrintable(QString::number(files.size())));
    for (const QString &name : files) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const graphics::BitmapResult r = graphics::DecodeBmp(f.readAll());
        QVERIFY2(r.ok(), qPrintable(name + ": " + r.error));
        const QSize s = r.image.size();
        QVERIFY2(s.width() >= 64 && s.width() <= 256 && s.height() >= 64 && s.height() <= 256,
                 qPrintable(name));
        // Seamless: the step across the wrap is no larger than the largest
        // step between neighbouring lines inside the picture.
        for (bool columns : {true, false}) {
            const int n = columns ? s.width() : s.height();
            double inside = 0;
            for (int a = 0; a + 1 < n; ++a)
                inside = std::max(inside, lineStep(r.image, columns, a));
            const double wrap = lineStep(r.image, columns, n - 1);
            QVERIFY2(wrap <= 1.25 * inside + 2,
                     qPrintable(QString("%1 %2: wrap %3, inside %4")
                                    .arg(name, columns ? "columns" : "rows").arg(wrap).arg(inside)));
        }
    }
}

void SuperShapeTest::dialogPanels_data()
{
    QTest::addColumn<int>("shapeEntry");
    QTest::addColumn<int>("surfaceEntry");
    QTest::addColumn<QString>("visible");   // the panels shown, by first letter
    QTest::newRow("star, gradient") << 4 << 3 << "SG";
    QTest::newRow("round rectangle, solid") << 1 << 1 << "RO";
    QTest::newRow("diamond, texture") << 3 << 2 << "T";
    QTest::newRow("triangle, transparent") << 8 << 0 << "";
}

void SuperShapeTest::dialogPanels()
{
    QFETCH(int, shapeEntry);
    QFETCH(int, surfaceEntry);
    QFETCH(QString, visible);
    TSuperShapeProperties d;
    d.show();
    d.ShowSampleValues();
    d.ShapeBox->setCurrentIndex(shapeEntry);
    d.SurfaceBox->setCurrentIndex(surfaceEntry);
    QString shown;
    const std::pair<QGroupBox *, QChar> panels[] = {{d.StarPanel, 'S'}, {d.RoundPanel, 'R'},
                                                    {d.SolidPanel, 'O'}, {d.GradientPanel, 'G'},
                                                    {d.TexturePanel, 'T'}};
    for (const auto &[panel, letter] : panels)
        if (panel->isVisible())
            shown += letter;
    QCOMPARE(shown, visible);
}

void SuperShapeTest::dialogEdits()
{
    TSuperShape o;
    o.FinishLoading();
    o.SetBounds(0, 0, 60, 40);
    TBitmap texture;
    texture.SetImage(checker(8, 8));
    o.SetSurfaceType(TSuperShape::stBrushImage);
    o.SetImage(&texture);
    o.SetShadowOrient(soLowerRight);
    bool changed = false;
    SetDialogRunner([&](QDialog &dialog) {
        auto &d = static_cast<TSuperShapeProperties &>(dialog);
        // The dialog opens on the object's values, the sample at its size.
        if (d.ShapeBox->currentIndex() != 4 || d.SurfaceBox->currentIndex() != 2
            || d.Sample()->Width() != 60 || d.Sample()->Image()->IsEmpty())
            return int(QDialog::Rejected);
        // Away from "Texture" and back: the dialog's last texture returns.
        d.SurfaceBox->setCurrentIndex(1);
        d.SurfaceBox->setCurrentIndex(2);
        d.ShapeBox->setCurrentIndex(3);
        d.PointsEdit->setValue(7);
        d.ShadowDepthEdit->setValue(9);
        d.OutlineStyleBox->setCurrentIndex(1);
        changed = true;
        return int(QDialog::Accepted);
    });
    QVERIFY(o.EditProperties());
    SetDialogRunner(nullptr);
    QVERIFY(changed);
    QCOMPARE(o.Shape(), gstDiamond);
    QCOMPARE(o.SurfaceType(), TSuperShape::stBrushImage);
    QCOMPARE(o.Image()->Size(), QSize(8, 8));
    QCOMPARE(o.Vectors(), 14);
    QCOMPARE(o.ShadowDepth(), 9);
    QCOMPARE(o.OutlineStyle(), psDash);

    // Cancel keeps the object as it was.
    SetDialogRunner([](QDialog &dialog) {
        static_cast<TSuperShapeProperties &>(dialog).ShapeBox->setCurrentIndex(0);
        return int(QDialog::Rejected);
    });
    QVERIFY(!o.EditProperties());
    SetDialogRunner(nullptr);
    QCOMPARE(o.Shape(), gstDiamond);
}

void SuperShapeTest::textureBrowser()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("bmbrush"));
    const QString library = dir.filePath("bmbrush");
    auto put = [](const QString &path, const QByteArray &bytes) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    };
    put(library + "/good.bmp", graphics::EncodeBmp(checker(12, 6)));
    put(library + "/bad.BMP", QByteArray("BM not a bitmap"));
    put(library + "/notes.txt", QByteArray("text"));
    const QString elsewhere = dir.filePath("other.bmp");
    put(elsewhere, graphics::EncodeBmp(checker(4, 4)));
    AppPaths::SetProgramDirOverride(dir.path());

    // The last file when it still exists, else the library folder.
    QCOMPARE(TGBrushImageBrowser::StartPath(elsewhere), elsewhere);
    QCOMPARE(QFileInfo(TGBrushImageBrowser::StartPath(dir.filePath("gone.bmp"))).absoluteFilePath(),
             QFileInfo(library).absoluteFilePath());

    QStringList boxes;
    SetDialogRunner([&boxes](QDialog &d) {
        boxes << static_cast<QMessageBox &>(d).text();
        return int(QMessageBox::Ok);
    });
    {
        TGBrushImageBrowser browser;
        browser.Open(QString());
        QCOMPARE(browser.FileNames(), QStringList({"bad.BMP", "good.bmp"}));
        QVERIFY(browser.SelectFile("good.bmp"));
        QCOMPARE(browser.Texture().Size(), QSize(12, 6));
        QCOMPARE(browser.FileName(), QFileInfo(library + "/good.bmp").absoluteFilePath());
        QVERIFY(boxes.isEmpty());
        QVERIFY(browser.SelectFile("bad.BMP"));
        QVERIFY(browser.Texture().IsEmpty());
        QVERIFY(browser.FileName().isEmpty());
        QCOMPARE(boxes, QStringList({"Error loading file!"}));

        TGBrushImageBrowser again;
        again.Open(elsewhere);
        QCOMPARE(again.Texture().Size(), QSize(4, 4));
    }
    SetDialogRunner(nullptr);
    AppPaths::SetProgramDirOverride(QString());
}

void SuperShapeTest::repaintFollowsChanges_data()
{
    QTest::addColumn<int>("change");
    const char *const names[] = {"shape", "vectors", "back colour", "to colour", "direction",
                                 "outline", "shadow", "size", "texture"};
    for (int i = 0; i < int(std::size(names)); ++i)
        QTest::newRow(names[i]) << i;
}

// A repaint after a change shows what a shape made with the change from the
// start shows: nothing of the picture kept from the paint before.
void SuperShapeTest::repaintFollowsChanges()
{
    QFETCH(int, change);
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(QColor(0, 128, 0));
    TBitmap texture;
    texture.SetImage(tile);
    const auto make = [](TSuperShape &o) {
        o.SetBounds(0, 0, 100, 60);
        o.SetShape(gstPolyGon);
        o.SetSurfaceType(TSuperShape::stGradientFill);
        o.SetShadowOrient(soNone);
    };
    const auto apply = [&](TSuperShape &o) {
        switch (change) {
        case 0: o.SetShape(gstDiamond); break;
        case 1: o.SetVectors(7); break;
        case 2: o.SetBackColor(cl::Fuchsia); break;
        case 3: o.SetGradientToColor(cl::Lime); break;
        case 4: o.SetFillDirection(gdDown); break;
        case 5:
            o.SetOutlineColor(cl::Red);
            o.SetOutlineWidth(3);
            break;
        case 6: o.SetShadowOrient(soLowerRight);
            o.SetShadowDepth(5);
            break;
        case 7: o.SetBounds(0, 0, 90, 60); break;
        case 8:
            o.SetSurfaceType(TSuperShape::stBrushImage);
            o.SetImage(&texture);
            break;
        }
    };
    TSuperShape o, fresh;
    make(o);
    make(fresh);
    const QImage before = paintObject(o);
    apply(o);
    apply(fresh);
    const QImage after = paintObject(o);
    QVERIFY(after != before);
    QCOMPARE(after, paintObject(fresh));
}

QTEST_MAIN(SuperShapeTest)
#include "tst_supershape.moc"
