// The metafile player: WMF and EMF records drawn onto an image and probed
// where each record must (and must not) have painted.

#include "MetafileFiles.h"

#include "graphics/Metafile.h"

#include <QPainter>
#include <QtTest>

using namespace picturefiles;

namespace {

constexpr quint32 Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000;
const QRgb White = qRgb(255, 255, 255);

// The 2 x 2 bitmap: red, green on top; blue, yellow below.
QImage quadrants()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(0, 1, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(255, 255, 0));
    return image;
}

// Plays the metafile into a 200 x 200 white image.
QImage play(const QByteArray &bytes)
{
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(White);
    QPainter p(&image);
    graphics::PlayMetafile(bytes, p, QRectF(0, 0, 200, 200));
    return image;
}

// Where the picture must be all one colour, hold that colour somewhere, and
// stay untouched.
struct Probe
{
    QRect rect;
    QRgb color;
    enum Kind { All, Some, Untouched } kind;
};

QString check(const QImage &image, const QList<Probe> &probes)
{
    for (const Probe &pr : probes) {
        int hits = 0, total = 0;
        for (int y = pr.rect.top(); y <= pr.rect.bottom(); ++y)
            for (int x = pr.rect.left(); x <= pr.rect.right(); ++x, ++total)
                hits += image.pixel(x, y) == (pr.kind == Probe::Untouched ? White : pr.color);
        const bool ok = pr.kind == Probe::Some ? hits > 0 : hits == total;
        if (!ok)
            return QStringLiteral("probe %1,%2 %3x%4: %5 of %6 pixels")
                .arg(pr.rect.x()).arg(pr.rect.y()).arg(pr.rect.width()).arg(pr.rect.height())
                .arg(hits).arg(total);
    }
    return {};
}

QList<Probe> quadrantProbes()
{
    return {{QRect(10, 10, 80, 80), qRgb(255, 0, 0), Probe::All},
            {QRect(110, 10, 80, 80), qRgb(0, 255, 0), Probe::All},
            {QRect(10, 110, 80, 80), qRgb(0, 0, 255), Probe::All},
            {QRect(110, 110, 80, 80), qRgb(255, 255, 0), Probe::All}};
}

}  // namespace

Q_DECLARE_METATYPE(QList<Probe>)

class TestMetafile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void playback_data();
    void playback();
};

void TestMetafile::playback_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<Probe>>("probes");
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), green = qRgb(0, 255, 0);

    // WMF, a 1000-unit window onto the 200-pixel image.
    auto wmf = [] { WmfWriter w; w.window(1000); return w; };
    {
        WmfWriter w = wmf();
        w.nullPen().solidBrush(Red).rec(0x081A, {0, 500, 500, 1000, 1000, 1000, 0, 0});  // PIE east to north
        QTest::newRow("WMF pie: the quadrant counter-clockwise from east to north")
            << w.file() << QList<Probe>{{QRect(118, 58, 4, 4), red, Probe::All},
                                        {QRect(58, 118, 4, 4), red, Probe::Untouched},
                                        {QRect(118, 118, 4, 4), red, Probe::Untouched}};
    }
    {
        WmfWriter w = wmf();
        w.nullPen().solidBrush(Red).rec(0x0830, {0, 500, 500, 1000, 1000, 1000, 0, 0});  // CHORD
        QTest::newRow("WMF chord: only beyond the chord line")
            << w.file() << QList<Probe>{{QRect(150, 30, 4, 4), red, Probe::All},
                                        {QRect(118, 58, 4, 4), red, Probe::Untouched}};
    }
    {
        WmfWriter w = wmf();
        w.pen(Blue, 40).rec(0x0817, {0, 500, 500, 1000, 1000, 1000, 0, 0});  // ARC
        QTest::newRow("WMF arc: outline only, on the drawn side")
            << w.file() << QList<Probe>{{QRect(168, 28, 4, 4), blue, Probe::All},
                                        {QRect(28, 168, 4, 4), blue, Probe::Untouched},
                                        {QRect(130, 60, 4, 4), blue, Probe::Untouched}};
    }
    {
        WmfWriter w = wmf();
        // STRETCHDIB: rop, usage, source h, w, y, x, destination h, w, y, x, then the DIB.
        w.rec(0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 1000, 1000, 0, 0}, WmfWriter::dib(quadrants()));
        QTest::newRow("WMF StretchDIB: rows the right way up") << w.file() << quadrantProbes();
    }
    {
        WmfWriter w = wmf();
        w.nullPen().solidBrush(Red);
        w.rec(0x0416, {1000, 500, 0, 0});         // INTERSECTCLIPRECT 0, 0, 500, 1000
        w.rec(0x041B, {1000, 1000, 0, 0});        // RECTANGLE over everything
        QTest::newRow("WMF clipping to the left half")
            << w.file() << QList<Probe>{{QRect(5, 5, 90, 190), red, Probe::All},
                                        {QRect(105, 5, 90, 190), red, Probe::Untouched}};
    }
    {
        WmfWriter w = wmf();
        w.nullPen().solidBrush(Red);
        w.rec(0x001E, {});                        // SAVEDC
        w.solidBrush(Blue);
        w.rec(0x0416, {1000, 1000, 0, 500});      // clip to the right half
        w.rec(0x041B, {1000, 1000, 0, 0});
        w.rec(0x0127, {0xFFFF});                  // RESTOREDC -1: red brush, no clip
        w.rec(0x041B, {1000, 500, 0, 0});         // left half
        QTest::newRow("WMF SaveDC and RestoreDC bring back brush and clip")
            << w.file() << QList<Probe>{{QRect(5, 5, 90, 190), red, Probe::All},
                                        {QRect(105, 5, 90, 190), blue, Probe::All}};
    }

    // EMF: 1000 x 1000 device pixels onto the 200-pixel image.
    {
        EmfWriter e;
        e.nullPen().solidBrush(Red).rec(43, {100, 100, 500, 500});  // RECTANGLE
        e.pen(Green, 50).rec(27, {0, 800}).rec(54, {1000, 800});    // MOVETOEX, LINETO
        QTest::newRow("EMF rectangle and a wide line")
            << e.file() << QList<Probe>{{QRect(25, 25, 70, 70), red, Probe::All},
                                        {QRect(110, 30, 80, 60), red, Probe::Untouched},
                                        {QRect(5, 158, 190, 4), green, Probe::All},
                                        {QRect(5, 175, 190, 20), green, Probe::Untouched}};
    }
    {
        // Coordinates two billion pixels out: drawn cut to the target, the
        // same where it shows.
        EmfWriter e;
        const int far = 2000000000;
        e.nullPen().solidBrush(Red).rec(43, {-far, -far, far, 500});
        e.pen(Green, 50).rec(27, {-far, 800}).rec(54, {far, 800});
        QTest::newRow("EMF rectangle and wide line far beyond the picture")
            << e.file() << QList<Probe>{{QRect(5, 5, 190, 90), red, Probe::All},
                                        {QRect(5, 110, 190, 40), red, Probe::Untouched},
                                        {QRect(5, 158, 190, 4), green, Probe::All},
                                        {QRect(5, 175, 190, 20), green, Probe::Untouched}};
    }
    {
        EmfWriter e;
        // POLYGON16: bounds, count, points; POLYLINE16 the same.
        e.nullPen().solidBrush(Blue);
        e.rec(86, {0, 0, 1000, 1000, 3},
              le16(0) + le16(0) + le16(1000) + le16(0) + le16(0) + le16(1000));
        e.pen(Red, 40).rec(87, {0, 0, 1000, 1000, 2}, le16(600) + le16(1000) + le16(1000) + le16(600));
        QTest::newRow("EMF polygon and polyline")
            << e.file() << QList<Probe>{{QRect(10, 10, 60, 60), blue, Probe::All},
                                        {QRect(110, 110, 20, 20), blue, Probe::Untouched},
                                        {QRect(158, 158, 4, 4), red, Probe::All}};
    }
    {
        EmfWriter e;
        e.font(-400, QStringLiteral("Liberation Sans")).rec(18, {1});  // transparent background
        e.rec(24, {0}).text(100, 100, QStringLiteral("WW"));           // black text
        QTest::newRow("EMF text below and right of its reference point")
            << e.file() << QList<Probe>{{QRect(22, 22, 100, 70), qRgb(0, 0, 0), Probe::Some},
                                        {QRect(0, 0, 200, 18), qRgb(0, 0, 0), Probe::Untouched},
                                        {QRect(0, 110, 200, 90), qRgb(0, 0, 0), Probe::Untouched}};
    }
    {
        EmfWriter e;
        e.stretchDib(quadrants(), 0, 0, 1000, 1000);
        QTest::newRow("EMF StretchDIBits: rows the right way up") << e.file() << quadrantProbes();
    }
    {
        EmfWriter e;
        e.nullPen().solidBrush(Red);
        e.rec(33, {});                         // SAVEDC
        e.solidBrush(Blue);
        e.rec(30, {500, 0, 1000, 1000});       // INTERSECTCLIPRECT: the right half
        e.rec(43, {0, 0, 1000, 1000});
        e.rec(34, {-1});                       // RESTOREDC
        e.rec(43, {0, 0, 500, 1000});
        QTest::newRow("EMF SaveDC, clip and RestoreDC")
            << e.file() << QList<Probe>{{QRect(5, 5, 90, 190), red, Probe::All},
                                        {QRect(105, 5, 90, 190), blue, Probe::All}};
    }
}

void TestMetafile::playback()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<Probe>, probes);
    QVERIFY(graphics::ReadMetafile(file).ok());
    const QImage image = play(file);
    const QString failed = check(image, probes);
    if (!failed.isEmpty())
        image.save(QStringLiteral("%1.png").arg(QString::fromLatin1(QTest::currentDataTag()).left(20)));
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
}

QTEST_MAIN(TestMetafile)
#include "tst_metafile.moc"
