// Font, pen, brush, string list, bitmap and picture: their stored form and
// what they turn into for Qt.

#include "TestClasses.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPalette>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray le32(qint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le16(qint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// A 2 x 2 bitmap file image with a 12-byte OS/2 core header, 24 bits per
// pixel, bottom-up: bottom row blue, white; top row red, green.
QByteArray os2Bitmap()
{
    const QByteArray pixels = QByteArray::fromHex("FF0000 FFFFFF 0000" "0000FF 00FF00 0000");
    QByteArray bmp = "BM" + le32(14 + 12 + pixels.size()) + le32(0) + le32(14 + 12);
    bmp += le32(12) + le16(2) + le16(2) + le16(1) + le16(24);
    return bmp + pixels;
}

// A 2 x 2 bitmap with a 40-byte header, 8 bits per pixel with a two-entry
// colour table, stored top-down (negative height): the kind of file Qt
// itself would never write, so keeping its bytes is seen.
QByteArray paletteBitmap()
{
    const QByteArray table = QByteArray::fromHex("0000FF00" "00FF0000");  // red, green (BGRX)
    const QByteArray pixels = QByteArray::fromHex("0001 0000" "0100 0000");
    const int offset = 14 + 40 + table.size();
    QByteArray bmp = "BM" + le32(offset + pixels.size()) + le32(0) + le32(offset);
    bmp += le32(40) + le32(2) + le32(-2) + le16(1) + le16(8) + le32(0) + le32(pixels.size())
        + le32(2835) + le32(2835) + le32(2) + le32(0);
    return bmp + table + pixels;
}

QByteArray writeRoot(const TComponent &c)
{
    PropertyWriter w;
    w.writeRootComponent(c);
    return w.data();
}

TTestObject *readBack(const QByteArray &data, TComponent *owner)
{
    PropertyReader r(data);
    return dynamic_cast<TTestObject *>(r.readRootComponent(owner, nullptr));
}

QByteArray shortName(const QByteArray &name)
{
    return char(name.size()) + name;
}

// A picture class of a later subsystem, registered with TPicture.
class TTestGraphic : public TGraphic
{
public:
    QByteArray ClassName() const override { return "TTestGraphic"; }
    bool IsEmpty() const override { return mData.isEmpty(); }
    QImage ToImage() const override { return {}; }
    QSize Size() const override { return {}; }
    QByteArray SaveData() const override { return mData; }
    void LoadData(QByteArray data) override { mData = data; }
    QByteArray mData;
};

}  // namespace

class TestGdiobj : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void fontSize_data();
    void fontSize();
    void fontToQFont();
    void colours();
    void penAndBrush();
    void assignNotifiesOnce();
    void stringListText();
    void bitmapForms_data();
    void bitmapForms();
    void bitmapKeepsOriginalBytes();
    void bitmapOwnData();
    void pictureClasses();
};

void TestGdiobj::initTestCase()
{
    RegisterTestClasses();
    TPicture::RegisterGraphicClass("TTestGraphic", [] { return std::make_unique<TTestGraphic>(); });
    QCOMPARE(TFont::PixelsPerInch(), 96);
}

void TestGdiobj::fontSize_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("height");
    QTest::newRow("8") << 8 << -11;    // 10.67 rounds to 11
    QTest::newRow("10") << 10 << -13;  // 13.33
    QTest::newRow("12") << 12 << -16;
    QTest::newRow("9") << 9 << -12;
    QTest::newRow("negative size") << -10 << 13;
}

void TestGdiobj::fontSize()
{
    QFETCH(int, points);
    QFETCH(int, height);
    TFont f;
    f.SetSize(points);
    QCOMPARE(f.Height(), height);
    QCOMPARE(f.Size(), points);
}

void TestGdiobj::fontToQFont()
{
    TFont f;
    f.SetName(QStringLiteral("DejaVu Sans"));
    f.SetHeight(-20);
    f.SetStyle((1u << fsBold) | (1u << fsStrikeOut));
    const QFont q = f.ToQFont();
    QCOMPARE(q.family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(q.pixelSize(), 20);
    QVERIFY(q.bold());
    QVERIFY(!q.italic());
    QVERIFY(q.strikeOut());
    // Only the four style bits exist.
    f.SetStyle(0xFF);
    QCOMPARE(f.Style(), TFontStyles(0x0F));
}

void TestGdiobj::colours()
{
    QCOMPARE(ColorToQColor(0x0000FF), QColor(255, 0, 0));
    QCOMPARE(ColorToQColor(0x123456), QColor(0x56, 0x34, 0x12));
    QCOMPARE(ColorToQColor(cl::None).alpha(), 0);
    // System colours are the classic light scheme whatever the desktop's
    // palette: on a dark desktop a label's text still prints black.
    const QPalette saved = QGuiApplication::palette();
    QPalette dark(QColor(40, 40, 40));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    for (const QPalette &pal : {saved, dark}) {
        QGuiApplication::setPalette(pal);
        QCOMPARE(ColorToQColor(cl::WindowText), QColor(0, 0, 0));
        QCOMPARE(ColorToQColor(cl::Window), QColor(255, 255, 255));
        QCOMPARE(ColorToQColor(TColor(0x80000002)), QColor(10, 36, 106));
        QCOMPARE(ColorToQColor(TColor(0x80000018)), QColor(255, 255, 225));
    }
    QGuiApplication::setPalette(saved);
    QCOMPARE(QColorToColor(QColor(0x56, 0x34, 0x12)), TColor(0x123456));
    QCOMPARE(QColorToColor(ColorToQColor(cl::Teal)), cl::Teal);
}

void TestGdiobj::penAndBrush()
{
    // Every default equals its declared default: nothing is written.
    TPen pen;
    TBrush brush;
    PropertyWriter w;
    w.writeProperties(pen, "Pen.");
    w.writeProperties(brush, "Brush.");
    QVERIFY(w.data().isEmpty());

    pen.SetStyle(psClear);
    QCOMPARE(pen.ToQPen().style(), Qt::NoPen);
    pen.SetStyle(psDashDot);
    pen.SetWidth(4);
    pen.SetColor(cl::Blue);
    const QPen qp = pen.ToQPen();
    QCOMPARE(qp.style(), Qt::DashDotLine);
    QCOMPARE(qp.width(), 4);
    QCOMPARE(qp.color(), QColor(0, 0, 255));
    brush.SetStyle(bsClear);
    QCOMPARE(brush.ToQBrush().style(), Qt::NoBrush);
    brush.SetStyle(bsDiagCross);
    QCOMPARE(brush.ToQBrush().style(), Qt::DiagCrossPattern);
}

void TestGdiobj::assignNotifiesOnce()
{
    TFont a, b;
    b.SetName(QStringLiteral("Courier New"));
    b.SetCharset(SYMBOL_CHARSET);
    b.SetColor(cl::Red);
    int changes = 0;
    a.OnChange = [&] { ++changes; };
    a.Assign(b);
    QCOMPARE(changes, 1);
    QCOMPARE(a.Name(), QStringLiteral("Courier New"));
    QCOMPARE(a.Charset(), int(SYMBOL_CHARSET));
    QCOMPARE(a.Color(), cl::Red);
    a.SetColor(cl::Red);  // unchanged: no notification
    QCOMPARE(changes, 1);

    QByteArray name;
    QVERIFY(CharsetToIdent(HEBREW_CHARSET, &name));
    QCOMPARE(name, QByteArray("HEBREW_CHARSET"));
    qint64 value = 0;
    QVERIFY(IdentToCharset("easteurope_charset", &value));
    QCOMPARE(value, qint64(238));
    QVERIFY(!IdentToCharset("KLINGON_CHARSET", &value));
}

void TestGdiobj::stringListText()
{
    TStrings s;
    s.SetText(QStringLiteral("a\r\nb\nc\r"));
    QCOMPARE(s.Lines(), QStringList({"a", "b", "c"}));
    QCOMPARE(s.Text(), QStringLiteral("a\r\nb\r\nc\r\n"));
    s.SetText(QStringLiteral("x\n\ny"));
    QCOMPARE(s.Lines(), QStringList({"x", "", "y"}));

    // An emptied list is not written, and reading leaves it empty.
    TTestObject o;
    o.Lines()->SetText(QString());
    QVERIFY(!writeRoot(o).contains("Lines"));
}

void TestGdiobj::bitmapForms_data()
{
    QTest::addColumn<QByteArray>("bmp");
    QTest::addColumn<QRgb>("topLeft");
    QTest::addColumn<QRgb>("bottomLeft");
    QTest::newRow("OS/2 core header") << os2Bitmap() << qRgb(255, 0, 0) << qRgb(0, 0, 255);
    QTest::newRow("palette, top-down") << paletteBitmap() << qRgb(255, 0, 0) << qRgb(0, 255, 0);
}

void TestGdiobj::bitmapForms()
{
    QFETCH(QByteArray, bmp);
    QFETCH(QRgb, topLeft);
    QFETCH(QRgb, bottomLeft);
    TBitmap b;
    b.LoadFromFileImage(bmp);
    QCOMPARE(b.Size(), QSize(2, 2));
    QCOMPARE(b.Image().pixel(0, 0) | 0xFF000000, topLeft | 0xFF000000);
    QCOMPARE(b.Image().pixel(0, 1) | 0xFF000000, bottomLeft | 0xFF000000);
    QCOMPARE(b.FileImage(), bmp);
}

void TestGdiobj::bitmapKeepsOriginalBytes()
{
    const QByteArray bmp = paletteBitmap();
    const QByteArray data = "TPF0" + shortName("TTestObject") + shortName("B")
        + shortName("Glyph.Data") + char(vaBinary) + le32(4 + bmp.size()) + le32(bmp.size()) + bmp
        + shortName("Picture.Data") + char(vaBinary) + le32(8 + 4 + bmp.size()) + shortName("TBitmap")
        + le32(bmp.size()) + bmp + QByteArray(2, '\0');
    TTestForm owner;
    TTestObject *o = readBack(data, &owner);
    QVERIFY(o);
    QCOMPARE(o->Glyph()->FileImage(), bmp);
    QVERIFY(!o->Picture()->IsEmpty());
    QCOMPARE(o->Picture()->Graphic()->ClassName(), QByteArray("TBitmap"));
    QCOMPARE(o->Picture()->Graphic()->Size(), QSize(2, 2));

    // The written record carries the same bitmap bytes in both places.
    const QByteArray written = writeRoot(*o);
    QVERIFY(written.contains(char(vaBinary) + le32(4 + bmp.size()) + le32(bmp.size()) + bmp));
    QVERIFY(written.contains(char(vaBinary) + le32(12 + bmp.size()) + shortName("TBitmap") + le32(bmp.size()) + bmp));
    QCOMPARE(writeRoot(*readBack(written, &owner)), written);
}

void TestGdiobj::bitmapOwnData()
{
    TBitmap b;
    b.SetImage(QImage(5, 3, QImage::Format_RGB32));
    PropertyWriter w;
    b.WriteData(w);
    QCOMPARE(w.data().left(4), le32(b.FileImage().size()));
    QCOMPARE(w.data().mid(4, 2), QByteArray("BM"));

    TBitmap c;
    PropertyReader r(w.data());
    c.ReadData(r);
    QVERIFY(r.atEnd());
    QCOMPARE(c.FileImage(), b.FileImage());
    QCOMPARE(c.Size(), QSize(5, 3));

    // Size 0: an empty bitmap.
    PropertyReader zero(le32(0));
    c.ReadData(zero);
    QVERIFY(c.IsEmpty());
    QVERIFY(c.Image().isNull());
}

void TestGdiobj::pictureClasses()
{
    TTestForm owner;
    // An unknown picture class leaves the picture empty and reading goes on.
    const QByteArray unknown = "TPF0" + shortName("TTestObject") + shortName("P")
        + shortName("Picture.Data") + char(vaBinary) + le32(9) + shortName("TIcon") + "\1\2\3"
        + shortName("Number") + QByteArray::fromHex("0205") + QByteArray(2, '\0');
    TTestObject *o = readBack(unknown, &owner);
    QVERIFY(o);
    QVERIFY(o->Picture()->IsEmpty());
    QCOMPARE(o->Number(), 5);
    QVERIFY(!writeRoot(*o).contains("Picture"));

    // A registered class is created by its name and given its own data.
    auto g = std::make_unique<TTestGraphic>();
    g->mData = "payload";
    o->Picture()->SetGraphic(std::move(g));
    const QByteArray written = writeRoot(*o);
    QVERIFY(written.contains(char(vaBinary) + le32(20) + shortName("TTestGraphic") + "payload"));
    TTestObject *back = readBack(written, &owner);
    QVERIFY(back);
    auto *graphic = dynamic_cast<TTestGraphic *>(back->Picture()->Graphic());
    QVERIFY(graphic);
    QCOMPARE(graphic->mData, QByteArray("payload"));

    TPicture copy;
    copy.Assign(*back->Picture());
    QCOMPARE(copy.SaveData(), back->Picture()->SaveData());
}

QTEST_MAIN(TestGdiobj)
#include "tst_gdiobj.moc"
