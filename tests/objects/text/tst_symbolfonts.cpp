#include "controls/Fonts.h"
#include "objects/text/SymbolFonts.h"
#include "objects/text/TextFont.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>

using namespace symbolfonts;

class TestSymbolFonts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { InstallFontSubstitutions(); }
    void table_data();
    void table();
    void codesRoundTrip();
    void displayText();
    void ordinaryFontsUnchanged();
    void everyGlyphDrawsInBlackAndWhite_data();
    void everyGlyphDrawsInBlackAndWhite();
};

void TestSymbolFonts::table_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("code");
    QTest::addColumn<uint>("unicode");
    QTest::newRow("Wingdings [") << "WingDings" << 0x5B << 0x262Fu;
    QTest::newRow("Wingdings FF has none") << "Wingdings" << 0xFF << 0u;
    QTest::newRow("Wingdings 2 A") << " Wingdings 2" << 0x41 << 0x1F59Bu;
    QTest::newRow("Wingdings 3 A") << "wingdings 3" << 0x41 << 0x2B91u;
    QTest::newRow("Webdings !") << "Webdings" << 0x21 << 0x1F577u;
    QTest::newRow("Symbol A") << "Symbol" << 0x41 << 0x0391u;
    QTest::newRow("not a symbol font") << "Arial" << 0x41 << 0u;
    QTest::newRow("out of range") << "Wingdings" << 300 << 0u;
}

void TestSymbolFonts::table()
{
    QFETCH(QString, font);
    QFETCH(int, code);
    QFETCH(uint, unicode);
    QCOMPARE(uint(ToUnicode(font, code)), unicode);
}

void TestSymbolFonts::codesRoundTrip()
{
    // Every byte code has its own caption character and comes back unchanged.
    QSet<QChar> seen;
    for (int code = 32; code <= 255; ++code) {
        const QChar c = CharOf(code);
        QCOMPARE(CodeOf(c), code);
        QVERIFY(!seen.contains(c));
        seen.insert(c);
    }
    QCOMPARE(CharOf(0x80), QChar(0x20AC));  // the code page's euro sign
}

void TestSymbolFonts::displayText()
{
    QVERIFY(IsSymbolFont(QStringLiteral("WINGDINGS")));
    QVERIFY(!IsInstalled(QStringLiteral("Wingdings")));
    QVERIFY(IsMapped(QStringLiteral("Wingdings")));
    // Yin yang gets the text-presentation selector; an arrow of Wingdings 3 too.
    QCOMPARE(DisplayText(QStringLiteral("Wingdings"), QStringLiteral("[")), QString(QChar(0x262F)) + QChar(0xFE0E));
    // Greek alpha has no emoji form.
    QCOMPARE(DisplayText(QStringLiteral("Symbol"), QStringLiteral("AB")), QString(QChar(0x0391)) + QChar(0x0392));
    // A code without an equivalent keeps its place as a blank.
    QCOMPARE(DisplayText(QStringLiteral("Symbol"), QString(CharOf(0x80))), QStringLiteral(" "));
    const char32_t pencil = 0x1F589;
    QCOMPARE(DisplayText(QStringLiteral("Wingdings"), QStringLiteral("!")),
             QString::fromUcs4(&pencil, 1) + QChar(0xFE0E));
}

void TestSymbolFonts::ordinaryFontsUnchanged()
{
    QCOMPARE(DisplayText(QStringLiteral("Arial"), QStringLiteral("[Text]")), QStringLiteral("[Text]"));
    const QFont f = MakeQFont(QStringLiteral("Arial"), -13, 0);
    QCOMPARE(f.pixelSize(), 13);
    QCOMPARE(QFontInfo(f).family(), QStringLiteral("Liberation Sans"));
    const QFont w = MakeQFont(QStringLiteral("Wingdings"), -32, 1u << fsBold);
    QCOMPARE(QFontInfo(w).family(), FallbackFamily());
    QVERIFY(w.bold());
}

void TestSymbolFonts::everyGlyphDrawsInBlackAndWhite_data()
{
    QTest::addColumn<QString>("font");
    for (const char *f : {"Wingdings", "Wingdings 2", "Wingdings 3", "Webdings", "Symbol"})
        QTest::newRow(f) << QString::fromLatin1(f);
}

void TestSymbolFonts::everyGlyphDrawsInBlackAndWhite()
{
    QFETCH(QString, font);
    const QFont qf = MakeQFont(font, -24, 0);
    const QFontMetrics fm(qf);
    QImage image(48, 48, QImage::Format_RGB32);
    for (int code = 33; code <= 255; ++code) {
        const char32_t u = ToUnicode(font, code);
        if (u == 0 || u == 0x20 || u == 0xA0 || u == 0x2002 || u == 0x2003)
            continue;
        QVERIFY2(fm.inFontUcs4(u), qPrintable(QStringLiteral("code %1 U+%2").arg(code).arg(uint(u), 4, 16)));
        image.fill(Qt::white);
        QPainter p(&image);
        p.setFont(qf);
        p.setPen(Qt::black);
        p.drawText(QPoint(8, 34), DisplayText(font, QString(CharOf(code))));
        p.end();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb px = image.pixel(x, y);
                QVERIFY2(qRed(px) == qGreen(px) && qGreen(px) == qBlue(px),
                         qPrintable(QStringLiteral("colour in code %1").arg(code)));
                dark += qGray(px) < 128;
            }
        QVERIFY2(dark > 0, qPrintable(QStringLiteral("nothing drawn for code %1").arg(code)));
    }
}

QTEST_MAIN(TestSymbolFonts)
#include "tst_symbolfonts.moc"
