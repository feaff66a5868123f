// The RTF reader and writer, the document storage and the edit control.

#include "../graphics/MetafileFiles.h"

#include "richtext/RtfPicture.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "richtext/WPRichText.h"
#include "richtext/WPStorage.h"

#include <QApplication>
#include <QBuffer>
#include <QPdfWriter>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// A run's format as font|size|flags|colour, flags from b i u s ^ (super)
// _ (sub).
QString describe(const QTextCharFormat &f)
{
    QString flags;
    if (f.fontWeight() >= QFont::DemiBold) flags += u'b';
    if (f.fontItalic()) flags += u'i';
    if (f.fontUnderline()) flags += u'u';
    if (f.fontStrikeOut()) flags += u's';
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) flags += u'^';
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) flags += u'_';
    const QStringList fam = f.fontFamilies().toStringList();
    const QString color = f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : QString();
    return QStringLiteral("%1|%2|%3|%4").arg(fam.value(0), QString::number(f.fontPointSize()), flags, color);
}

// One line per paragraph: alignment, then each run as [text|format], or
// [pict:kind WxH] for a picture (document units).
QString describe(const QTextDocument &doc)
{
    QStringList lines;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const Qt::Alignment a = b.blockFormat().alignment();
        QString line = (a & Qt::AlignHCenter) ? QStringLiteral("C:") : (a & Qt::AlignJustify) ? QStringLiteral("J:")
            : (a & Qt::AlignRight) ? QStringLiteral("R:") : QStringLiteral("L:");
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isImageFormat()) {
                const QSizeF size = rtf::PictureSize(doc, f);
                line += QStringLiteral("[pict:%1 %2x%3]")
                            .arg(rtf::PictureFormatName(f))
                            .arg(qRound(size.width()))
                            .arg(qRound(size.height()))
                            .repeated(it.fragment().length());
                continue;
            }
            line += QStringLiteral("[%1|%2]").arg(it.fragment().text(), describe(f));
        }
        lines << line;
    }
    return lines.join(u'\n');
}

QString read(const QByteArray &rtf)
{
    const rtf::ReadResult r = rtf::Read(rtf);
    if (!r.document)
        return QStringLiteral("error: ") + r.error;
    return describe(*r.document);
}

QImage quadrants()
{
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(3, 1, qRgb(0, 0, 255));
    return image;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 100);
    return bytes;
}

QByteArray pngData() { return encoded(quadrants(), "PNG"); }
QByteArray pngHex() { return pngData().toHex(); }

// A WMF without its placeable header, as \wmetafile carries it: a red
// rectangle over the window 0,0 .. 1000,1000.
QByteArray wmfData()
{
    picturefiles::WmfWriter w;
    w.window(1000).solidBrush(0x0000FF).nullPen().rec(0x041B, {1000, 1000, 0, 0});
    return w.file(false);
}

QByteArray emfData()
{
    picturefiles::EmfWriter e;
    e.solidBrush(0xFF0000).nullPen().rec(43, {0, 0, 999, 999});
    return e.file();
}

const QByteArray Fonts = "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fmodern Courier New;}}";
const QByteArray Colors = "{\\colortbl;\\red255\\green0\\blue0;;\\red0\\green0\\blue128;}";

}  // namespace

class TestRichText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void reader_data();
    void reader();
    void badInput_data();
    void badInput();
    void truncatedAtEveryByte();
    void roundTrip_data();
    void roundTrip();
    void storageKeepsBytes();
    void editorZoomKeepsDocument();
    void paintPageLaysOutOnZoomOnePage();
    void pasteRtf();
    void pictures_data();
    void pictures();
    void pictureRoundTrip_data();
    void pictureRoundTrip();
    void metafilesPrintAsVectors();
    void libreOffice();
};

void TestRichText::reader_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    auto doc = [](const QByteArray &body) { return "{\\rtf1\\ansi\\deff0" + Fonts + Colors + body + "}"; };

    QTest::newRow("plain") << doc("\\f0\\fs24 Hello\\par") << "L:[Hello|Arial|12||]";
    QTest::newRow("bold toggles") << doc("\\fs20 a\\b b\\b0 c") << "L:[a|Arial|10||][b|Arial|10|b|][c|Arial|10||]";
    QTest::newRow("group restores") << doc("\\f1\\b x{\\i\\fs40 y}z") << "L:[x|Courier New|12|b|][y|Courier New|20|bi|][z|Courier New|12|b|]";
    QTest::newRow("plain resets") << doc("\\f1\\b\\i\\ul\\cf1\\fs30 x\\plain y") << "L:[x|Courier New|15|biu|#ff0000][y|Arial|12||]";
    QTest::newRow("styles") << doc("\\ul u\\ulnone n\\strike s\\strike0\\super p\\nosupersub\\sub d")
                            << "L:[u|Arial|12|u|][n|Arial|12||][s|Arial|12|s|][p|Arial|12|^|][d|Arial|12|_|]";
    QTest::newRow("raised and lowered") << doc("\\up6 u\\up0 n\\dn6 d")
                                        << "L:[u|Arial|12|^|][n|Arial|12||][d|Arial|12|_|]";
    QTest::newRow("colour gaps") << doc("\\cf1 r\\cf2 a\\cf3 n\\cf9 q")
                                 << "L:[r|Arial|12||#ff0000][a|Arial|12||][n|Arial|12||#000080][q|Arial|12||]";
    QTest::newRow("font not in table") << doc("\\f7 x") << "L:[x|Arial|12||]";
    QTest::newRow("font table without groups")
        << QByteArray("{\\rtf1{\\fonttbl\\f0\\fswiss Helvetica;\\f1\\froman Times;}\\f1 t}") << "L:[t|Times|12||]";
    QTest::newRow("font alt name skipped")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fnil{\\*\\panose 020b0604}Verdana{\\*\\falt Arial};}}x}") << "L:[x|Verdana|12||]";
    QTest::newRow("cp1252") << doc("\\'e9\\'80\\'93\\'9f") << QString::fromUtf8("L:[é€“Ÿ|Arial|12||]");
    QTest::newRow("raw 8-bit") << doc("caf\xe9") << QString::fromUtf8("L:[café|Arial|12||]");
    QTest::newRow("uc1") << doc("\\uc1\\u8364?x") << QString::fromUtf8("L:[€x|Arial|12||]");
    QTest::newRow("uc2 hex fallback") << doc("\\uc2\\u8364\\'80\\'80x") << QString::fromUtf8("L:[€x|Arial|12||]");
    QTest::newRow("uc0") << doc("\\uc0\\u233 x") << QString::fromUtf8("L:[éx|Arial|12||]");
    QTest::newRow("uc in group only") << doc("{\\uc0 a}\\u233?b") << QString::fromUtf8("L:[aéb|Arial|12||]");
    QTest::newRow("negative and pairs") << doc("\\u-4064?\\u-10179?\\u-8704?")
                                        << QString::fromUtf8("L:[\xef\x80\xa0\xf0\x9f\x98\x80|Arial|12||]");
    QTest::newRow("lone surrogate") << doc("\\u-10179?x") << QString::fromUtf8("L:[\xef\xbf\xbdx|Arial|12||]");
    QTest::newRow("specials") << doc("a\\~\\-\\_\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\tab b\\line c")
                              << QString::fromUtf8("L:[a\xc2\xa0\xc2\xad\xe2\x80\x91—–‘’“”•\tb\xe2\x80\xa8" "c|Arial|12||]");
    QTest::newRow("escapes") << doc("\\\\\\{\\}") << "L:[\\{}|Arial|12||]";
    QTest::newRow("alignment") << doc("\\qc a\\par\\pard\\qr b\\par\\qj c\\par\\pard d")
                               << "C:[a|Arial|12||]\nR:[b|Arial|12||]\nJ:[c|Arial|12||]\nL:[d|Arial|12||]";
    QTest::newRow("last par ends") << doc("a\\par b\\par") << "L:[a|Arial|12||]\nL:[b|Arial|12||]";
    QTest::newRow("empty paragraph kept") << doc("a\\par\\par") << "L:[a|Arial|12||]\nL:";
    QTest::newRow("skipped destinations")
        << doc("{\\*\\generator x;}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}{\\*\\unknown zzz}{\\*\\pict\\pngblip 89504e47}ok")
        << "L:[ok|Arial|12||]";
    QTest::newRow("field result kept") << doc("{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}") << "L:[link|Arial|12||]";
    QTest::newRow("bin skipped") << doc("a{\\*\\blob\\bin3 }}}b}c") << "L:[ac|Arial|12||]";
    QTest::newRow("highlight") << doc("\\highlight1 h") << "L:[h|Arial|12||]";
    QTest::newRow("raw control characters") << doc("a\x01\x1f" "b\tc") << "L:[ab\tc|Arial|12||]";
    QTest::newRow("text before a stray star") << doc("a{b\\*\\foo c}d") << "L:[abd|Arial|12||]";
    // Text keeps the code page it was read in (where Qt has Windows-1251).
    QStringDecoder cp1251("windows-1251");
    const QString cyrillicA = cp1251.isValid() ? cp1251.decode(QByteArray("\xc0")) : QString::fromUtf8("\xc3\x80");
    QTest::newRow("code page changed after text")
        << doc("\\ansicpg1251\\'c0\\ansicpg1252\\'c0") << QString::fromUtf8("L:[%1\xc3\x80|Arial|12||]").arg(cyrillicA);
}

void TestRichText::reader()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(read(rtf), expected);
}

void TestRichText::badInput_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");  // a description, or the start of "error: ..."
    QTest::newRow("not rtf") << QByteArray("hello") << "error: Not an RTF document";
    QTest::newRow("empty") << QByteArray() << "error: Not an RTF document";
    QTest::newRow("nesting") << QByteArray("{\\rtf1 ") + QByteArray(100000, '{') + "x" << "error: The RTF groups are nested";
    QTest::newRow("bin 2 GB") << QByteArray("{\\rtf1 a\\bin2000000000 xyz}") << "error: The RTF \\bin data";
    QTest::newRow("bin past end") << QByteArray("{\\rtf1 a\\bin10 xyz}") << "error: The RTF \\bin data";
    QTest::newRow("huge fs") << QByteArray("{\\rtf1 \\fs1000000000 x}") << "L:[x||1638||]";
    QTest::newRow("negative fs") << QByteArray("{\\rtf1 \\fs-5 x}") << "L:[x||1||]";
    QTest::newRow("open braces") << QByteArray("{\\rtf1 abc{\\b d") << "L:[abc||12||][d||12|b|]";
    QTest::newRow("extra closing") << QByteArray("{\\rtf1 a}}}}b") << "L:[a||12||]";
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zzb\\'4}") << "L:[azzb4||12||]";
    QTest::newRow("u outside") << QByteArray("{\\rtf1 \\u99999999 x}") << QString::fromUtf8("L:[\xef\xbf\xbd||12||]");
    QTest::newRow("long word") << QByteArray("{\\rtf1 \\") + QByteArray(5000, 'a') + " x}" << "L:[x||12||]";
    QTest::newRow("long number") << QByteArray("{\\rtf1 \\fs") + QByteArray(5000, '9') + " x}" << "L:[x||1638||]";
    QTest::newRow("lone backslash") << QByteArray("{\\rtf1 x\\") << "L:[x||12||]";
}

void TestRichText::badInput()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    const QString got = read(rtf);
    if (expected.startsWith(QLatin1String("error: ")))
        QVERIFY2(got.startsWith(expected), qPrintable(got));
    else
        QCOMPARE(got, expected);
}

void TestRichText::truncatedAtEveryByte()
{
    const QByteArray full = "{\\rtf1\\ansi\\ansicpg1252\\deff0" + Fonts + Colors
        + "\\pard\\qc\\li720\\sl-300\\slmult0\\f1\\fs28\\b\\cf1 T\\'e9st\\u8364?{\\i x\\bin2 ab}\\par\\uc2\\u233\\'e9\\'e9 end"
        + "{\\pict\\pngblip\\picwgoal300\\pichgoal150 " + pngHex() + "}{\\pict\\wmetafile8 " + wmfData().toHex() + "}}";
    QElapsedTimer timer;
    timer.start();
    for (int n = 0; n <= full.size(); ++n) {
        const rtf::ReadResult r = rtf::Read(full.left(n));
        QVERIFY(r.document || !r.error.isEmpty());
        if (r.document)
            QVERIFY(r.document->characterCount() <= n + 1);
    }
    QVERIFY(timer.elapsed() < 5000);
}

void TestRichText::roundTrip_data()
{
    QTest::addColumn<QByteArray>("rtf");
    auto doc = [](const QByteArray &body) { return "{\\rtf1\\ansi\\deff0" + Fonts + Colors + body + "}"; };
    QTest::newRow("styles and colours")
        << doc("\\fs28\\b\\cf3 Name\\par\\pard\\fs20\\plain Street 1\\par\\qc\\cf1 red\\par\\qr\\ul\\i r\\strike s\\super t");
    QTest::newRow("characters") << doc(QByteArray("\\'e9\\'80 {}\\\\ \\u1046?\\u-10179?\\u-8704?\\tab\\line\\~\\-\\_ end"));
    QTest::newRow("paragraph spacing") << doc("\\li1440\\ri720\\fi-360\\sb120\\sa240\\sl360\\slmult1 a\\par\\pard\\sl-480 b");
    QTest::newRow("empty paragraphs") << doc("\\par\\par x\\par\\par");
    QTest::newRow("empty document") << QByteArray("{\\rtf1}");
}

void TestRichText::roundTrip()
{
    QFETCH(QByteArray, rtf);
    const rtf::ReadResult first = rtf::Read(rtf);
    QVERIFY(first.document);
    const QByteArray written = rtf::Write(*first.document);
    const rtf::ReadResult second = rtf::Read(written);
    QVERIFY2(second.document, qPrintable(second.error));
    QCOMPARE(describe(*second.document), describe(*first.document));
    // Paragraph formats survive too.
    for (QTextBlock a = first.document->begin(), b = second.document->begin(); a.isValid(); a = a.next(), b = b.next()) {
        QVERIFY(b.isValid());
        QCOMPARE(qRound(b.blockFormat().leftMargin()), qRound(a.blockFormat().leftMargin()));
        QCOMPARE(qRound(b.blockFormat().textIndent()), qRound(a.blockFormat().textIndent()));
        QCOMPARE(qRound(b.blockFormat().bottomMargin()), qRound(a.blockFormat().bottomMargin()));
        QCOMPARE(b.blockFormat().lineHeightType(), a.blockFormat().lineHeightType());
        QCOMPARE(qRound(b.blockFormat().lineHeight()), qRound(a.blockFormat().lineHeight()));
    }
    // Writing what was read back gives the same bytes.
    QCOMPARE(rtf::Write(*second.document), written);
}

void TestRichText::storageKeepsBytes()
{
    // Bytes as read are kept until the document is replaced.
    const QByteArray odd = "{\\rtf1 {\\*\\mine kept}\\b x}";
    TWPRtfStorage storage;
    int changes = 0;
    storage.OnChange = [&changes] { ++changes; };
    storage.SetRtf(odd);
    QCOMPARE(storage.Rtf(), odd);
    QCOMPARE(describe(storage.Document()), QStringLiteral("L:[x||12|b|]"));
    QCOMPARE(storage.Rtf(), odd);
    storage.SetDocument(storage.Document());
    QVERIFY(storage.Rtf() != odd);
    QCOMPARE(describe(storage.Document()), QStringLiteral("L:[x||12|b|]"));
    QCOMPARE(changes, 2);

    storage.SetRtf("garbage");
    QVERIFY(storage.Document().isEmpty());
    QVERIFY(!storage.ReadError().isEmpty());
    QCOMPARE(storage.Rtf(), QByteArray("garbage"));
}

void TestRichText::editorZoomKeepsDocument()
{
    const rtf::ReadResult r = rtf::Read("{\\rtf1" + Fonts + "\\fs28\\b Name\\par\\fs20\\b0 Street}");
    TWPRichText editor;
    editor.resize(400, 200);
    editor.SetPageWidth(2880);
    editor.SetDocument(*r.document);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.SetZoom(150);
    QCOMPARE(editor.document()->begin().charFormat().fontPointSize(), 21.0);  // the view is zoomed
    QCOMPARE(describe(editor.Document()), describe(*r.document));

    // Typing at zoom 150 adds text in the document's own size.
    editor.moveCursor(QTextCursor::End);
    QTest::keyClicks(&editor, "X");
    editor.SetZoom(50);
    QCOMPARE(describe(editor.Document()), QStringLiteral("L:[Name|Arial|14|b|]\nL:[StreetX|Arial|10||]"));
    QCOMPARE(editor.CurrentFontSize(), 10.0);
    editor.SetSelectionFontSize(16);
    QTest::keyClicks(&editor, "Y");
    QCOMPARE(describe(editor.Document()), QStringLiteral("L:[Name|Arial|14|b|]\nL:[StreetX|Arial|10||][Y|Arial|16||]"));
    QCOMPARE(editor.lineWrapColumnOrWidth(), 96);  // two inches at 50 %
}

void TestRichText::paintPageLaysOutOnZoomOnePage()
{
    // Long enough to wrap on a one-inch page.
    const rtf::ReadResult r = rtf::Read("{\\rtf1" + Fonts + "\\fs24 alpha beta gamma delta epsilon}");
    TWPRichText editor;
    editor.SetDocument(*r.document);
    editor.SetPageWidth(1440);
    auto ink = [&](int zoom, QSize size) {
        editor.SetZoom(zoom);
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        editor.PaintPage(p, QPoint(0, 0), size);
        p.end();
        int lastInkRow = -1, rightmost = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128) {
                    lastInkRow = y;
                    rightmost = std::max(rightmost, x);
                }
        return QPoint(rightmost, lastInkRow);
    };
    const QPoint at100 = ink(100, QSize(200, 400));
    const QPoint at150 = ink(150, QSize(300, 600));
    QVERIFY(at100.x() > 0 && at100.x() < 96);          // wrapped to one inch
    QVERIFY(at100.y() > 40);                           // on several lines
    QVERIFY(std::abs(at150.x() - at100.x() * 1.5) < 6);  // the same lines, larger
    QVERIFY(std::abs(at150.y() - at100.y() * 1.5) < 6);
    // Clipped to the size given.
    const QPoint clipped = ink(100, QSize(200, 20));
    QVERIFY(clipped.y() < 20);
}

void TestRichText::pasteRtf()
{
    // insertFromMimeData is what paste and drop call.
    struct PasteTarget : TWPRichText { using TWPRichText::canInsertFromMimeData; using TWPRichText::insertFromMimeData; };
    PasteTarget editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.SetZoom(200);
    QMimeData mime;
    mime.setData(QStringLiteral("text/rtf"), "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\fs20\\b pasted}");
    mime.setText(QStringLiteral("plain"));
    QVERIFY(editor.canInsertFromMimeData(&mime));
    editor.insertFromMimeData(&mime);
    QCOMPARE(describe(editor.Document()), QStringLiteral("L:[pasted|Arial|10|b|]"));
    QCOMPARE(editor.document()->begin().begin().fragment().charFormat().fontPointSize(), 20.0);

    // A picture comes with its image, shown at the zoom, kept at its size.
    mime.setData(QStringLiteral("text/rtf"), "{\\rtf1{\\pict\\pngblip\\picwgoal600\\pichgoal300 " + pngHex() + "}}");
    editor.insertFromMimeData(&mime);
    QCOMPARE(describe(editor.Document()), QStringLiteral("L:[pasted|Arial|10|b|][pict:png 40x20]"));
    QCOMPARE(describe(*editor.document()).section(u']', 1), QStringLiteral("[pict:png 80x40]"));
    editor.SetZoom(100);
    const QTextFragment picture = (--editor.document()->begin().end()).fragment();
    QVERIFY(!editor.document()->resource(QTextDocument::ImageResource, QUrl(picture.charFormat().toImageFormat().name()))
                 .value<QImage>().isNull());
}

void TestRichText::pictures_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    auto doc = [](const QByteArray &body) { return "{\\rtf1\\ansi\\deff0" + Fonts + body + "}"; };
    const QByteArray png = pngHex();
    const QByteArray raw = pngData();
    const QByteArray dib = graphics::EncodeBmp(quadrants()).mid(14).toHex();
    const QByteArray jpeg = encoded(quadrants(), "JPG").toHex();
    const QByteArray wmf = wmfData().toHex();
    const QByteArray emf = emfData().toHex();
    auto pict = [](const QByteArray &words, const QByteArray &data) { return "{\\pict" + words + "\r\n" + data + "}"; };

    // Sizes in document units, 96 to the inch: 15 twips each.
    QTest::newRow("png at its goal size") << doc("a" + pict("\\pngblip\\picw4\\pich2\\picwgoal600\\pichgoal300", png) + "b")
                                          << "L:[a|Arial|12||][pict:png 40x20][b|Arial|12||]";
    QTest::newRow("png at its own size") << doc(pict("\\pngblip", png)) << "L:[pict:png 4x2]";
    QTest::newRow("scaled") << doc(pict("\\picscalex50\\picscaley200\\picwgoal600\\pichgoal300\\pngblip", png))
                            << "L:[pict:png 20x40]";
    QTest::newRow("jpeg") << doc(pict("\\jpegblip\\picwgoal300\\pichgoal150", jpeg)) << "L:[pict:jpeg 20x10]";
    QTest::newRow("dib") << doc(pict("\\dibitmap0\\picw4\\pich2", dib)) << "L:[pict:dib 4x2]";
    QTest::newRow("wmf sized by picw in 0.01 mm") << doc(pict("\\wmetafile8\\picw2540\\pich1270", wmf))
                                                  << "L:[pict:wmf 96x48]";
    QTest::newRow("wmf goal wins") << doc(pict("\\wmetafile8\\picw2540\\pich1270\\picwgoal720\\pichgoal720", wmf))
                                   << "L:[pict:wmf 48x48]";
    QTest::newRow("emf at its frame") << doc(pict("\\emfblip", emf)) << "L:[pict:emf 378x378]";
    QTest::newRow("bin data") << doc("{\\pict\\pngblip\\picwgoal150\\pichgoal150\\bin" + QByteArray::number(raw.size()) + " "
                                     + raw + "}")
                              << "L:[pict:png 10x10]";
    QTest::newRow("hex in upper case, spaced") << doc(pict("\\pngblip", png.toUpper().replace("00", "0 0")))
                                               << "L:[pict:png 4x2]";
    QTest::newRow("shppict once, nonshppict skipped")
        << doc("{\\*\\shppict" + pict("\\pngblip", png) + "}{\\nonshppict" + pict("\\wmetafile8", wmf) + "}")
        << "L:[pict:png 4x2]";
    QTest::newRow("picture properties skipped")
        << doc(pict("{\\*\\picprop{\\sp{\\sn wzName}{\\sv x}}}\\pngblip{\\*\\blipuid 0123}", png)) << "L:[pict:png 4x2]";
    QTest::newRow("shape picture, its other pictures skipped")
        << doc("a{\\shp{\\*\\shpinst\\shpleft0\\shptop-300\\shpright600\\shpbottom0{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn pib}{\\sv " + pict("\\pngblip", png)
               + "}}{\\sp{\\sn fillBlip}{\\sv " + pict("\\wmetafile8", wmf) + "}}}{\\shprslt " + pict("\\wmetafile8", wmf)
               + " text}}b")
        << "L:[a|Arial|12||][pict:png 40x20][b|Arial|12||]";
    QTest::newRow("pict inside pict skipped") << doc(pict("\\pngblip{\\pict\\jpegblip ffd8}", png)) << "L:[pict:png 4x2]";

    // Damaged pictures are left out; the text around them stays.
    QTest::newRow("huge picw") << doc(pict("\\wmetafile8\\picw1000000000\\pich500000000", wmf)) << "L:[pict:wmf 2112x1056]";
    QTest::newRow("huge goal") << doc(pict("\\pngblip\\picwgoal2000000000\\pichgoal-5", png)) << "L:[pict:png 2112x0]";
    QTest::newRow("huge scale") << doc(pict("\\pngblip\\picscalex2000000000\\picscaley1", png)) << "L:[pict:png 400x0]";
    QTest::newRow("bad hex") << doc("a" + pict("\\pngblip", png.left(40) + "zz" + png.mid(40)) + "b") << "L:[ab|Arial|12||]";
    QTest::newRow("odd hex digits") << doc("a" + pict("\\pngblip", png + "0") + "b") << "L:[ab|Arial|12||]";
    QTest::newRow("not what it says") << doc("a" + pict("\\pngblip", jpeg) + "b") << "L:[ab|Arial|12||]";
    QTest::newRow("truncated png") << doc("a" + pict("\\pngblip", png.left(png.size() / 2)) + "b") << "L:[ab|Arial|12||]";
    QTest::newRow("no type") << doc("a" + pict("", png) + "b") << "L:[ab|Arial|12||]";
    QTest::newRow("unsupported type") << doc("a" + pict("\\wbitmap0", png) + "b") << "L:[ab|Arial|12||]";
    QTest::newRow("bin past end") << doc("{\\pict\\pngblip\\bin999 " + raw + "}") << "error: The RTF \\bin data";
    QTest::newRow("document ends inside") << QByteArray("{\\rtf1 a{\\pict\\pngblip " + png) << "L:[a||12||][pict:png 4x2]";
}

void TestRichText::pictures()
{
    badInput();  // the same rows: what is read, or the start of the error
}

void TestRichText::pictureRoundTrip_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("written");  // the blip word our writer gives it
    const QByteArray head = "{\\rtf1" + Fonts + "x{\\pict\\picwgoal600\\pichgoal300";
    QTest::newRow("png") << head + "\\pngblip " + pngHex() + "}y}" << QByteArray("\\pngblip");
    QTest::newRow("jpeg") << head + "\\jpegblip " + encoded(quadrants(), "JPG").toHex() + "}y}" << QByteArray("\\jpegblip");
    QTest::newRow("dib as png") << head + "\\dibitmap0 " + graphics::EncodeBmp(quadrants()).mid(14).toHex() + "}}"
                                << QByteArray("\\pngblip");
    QTest::newRow("wmf") << head + "\\wmetafile8 " + wmfData().toHex() + "}}" << QByteArray("\\wmetafile8");
    QTest::newRow("emf") << head + "\\emfblip " + emfData().toHex() + "}}" << QByteArray("\\emfblip");
}

void TestRichText::pictureRoundTrip()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, written);
    const rtf::ReadResult first = rtf::Read(rtf);
    QVERIFY(first.document);
    QVERIFY(describe(*first.document).contains(QLatin1String("[pict:")));
    const QByteArray out = rtf::Write(*first.document);
    QVERIFY(out.contains(written));
    const rtf::ReadResult second = rtf::Read(out);
    QVERIFY2(second.document, qPrintable(second.error));
    QString expected = describe(*first.document);
    if (written == "\\pngblip")
        expected.replace(QLatin1String("pict:dib"), QLatin1String("pict:png"));
    QCOMPARE(describe(*second.document), expected);
    QCOMPARE(rtf::Write(*second.document), out);

    // The image shown is the same, pixel for pixel.
    auto image = [](const QTextDocument &doc) {
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat())
                    return doc.resource(QTextDocument::ImageResource, QUrl(it.fragment().charFormat().toImageFormat().name()))
                        .value<QImage>().convertToFormat(QImage::Format_ARGB32);
        return QImage();
    };
    QVERIFY(!image(*first.document).isNull());
    QCOMPARE(image(*second.document), image(*first.document));

}

void TestRichText::metafilesPrintAsVectors()
{
    // A PDF holds an image for a bitmap picture, and none for a metafile.
    auto imagesInPdf = [](const QByteArray &blip) {
        const rtf::ReadResult r = rtf::Read("{\\rtf1 a{\\pict\\picwgoal1440\\pichgoal1440" + blip + "}}");
        TWPRichText editor;
        editor.SetDocument(*r.document);
        editor.SetPageWidth(2880);
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setPdfVersion(QPagedPaintDevice::PdfVersion_1_6);
            writer.setResolution(96);
            QPainter p(&writer);
            editor.PaintPage(p, QPoint(0, 0), QSize(192, 192));
        }
        return pdf.count("/Subtype /Image");
    };
    QCOMPARE(imagesInPdf("\\pngblip " + pngHex()), qsizetype(1));
    QCOMPARE(imagesInPdf("\\wmetafile8 " + wmfData().toHex()), qsizetype(0));
    QCOMPARE(imagesInPdf("\\emfblip " + emfData().toHex()), qsizetype(0));
}

// The runs of data/libreoffice.fodt, a small Writer document of
// LibreOffice's own, with a 20 x 10 picture shown 40 x 20 pixels.
const QString LibreOfficeRuns = QString::fromUtf8(
    "L:[Name Surname|Arial|14|b|#000080]\n"
    "C:[Centred red|Arial|10||#ff0000][ café |Arial|10||][slanted|Arial|10|iu|]\n"
    "R:[struck|Courier New|9|s|][ and |Courier New|9||][pict:png 40x20]");

void TestRichText::libreOffice()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed: the checks against LibreOffice Writer were not run");
    QTemporaryDir dir;
    // A profile of its own, so a LibreOffice the user has open is not asked.
    const QString profile = QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString();
    auto convert = [&](const QString &file, const QString &to, const QString &outDir) {
        QProcess p;
        p.start(soffice, {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                          QStringLiteral("--convert-to"), to, QStringLiteral("--outdir"), dir.filePath(outDir), file});
        const bool finished = p.waitForFinished(180000);
        const QString base = QFileInfo(file).completeBaseName() + u'.' + to.section(u':', 0, 0);
        const QString made = dir.filePath(outDir + u'/' + base);
        if (!finished || !QFile::exists(made))
            qWarning("soffice did not convert %s: %s", qPrintable(file), p.readAllStandardError().constData());
        return made;
    };
    auto readFile = [](const QString &name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    // LibreOffice's RTF of its own document reads with the runs it holds.
    // (Converted from a copy, so LibreOffice leaves no lock file in the sources.)
    const QString fodt = dir.filePath(QStringLiteral("libreoffice.fodt"));
    QVERIFY(QFile::copy(QStringLiteral(RICHTEXT_DATA "/libreoffice.fodt"), fodt));
    const QByteArray theirs = readFile(convert(fodt, QStringLiteral("rtf"), QStringLiteral("lo")));
    QVERIFY(!theirs.isEmpty());
    QCOMPARE(read(theirs), LibreOfficeRuns);

    // Our RTF of the same runs, opened by LibreOffice: the same text ...
    const rtf::ReadResult ours = rtf::Read(theirs);
    QFile out(dir.filePath(QStringLiteral("ours.rtf")));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(rtf::Write(*ours.document));
    out.close();
    const QString txt = QString::fromUtf8(readFile(convert(out.fileName(), QStringLiteral("txt:Text (encoded):UTF8"),
                                                           QStringLiteral("txt"))));
    QCOMPARE(txt.trimmed().remove(QChar(0xFEFF)).split(QRegularExpression(QStringLiteral("\\r?\\n"))),
             QStringList({QStringLiteral("Name Surname"), QString::fromUtf8("Centred red café slanted"),
                          QStringLiteral("struck and")}));
    // ... the same fonts, sizes, styles, colours and alignment in its HTML ...
    // (Qt's HTML import knows <s> but not the <strike> LibreOffice writes.)
    QTextDocument html;
    html.setHtml(QString::fromUtf8(readFile(convert(out.fileName(), QStringLiteral("html"), QStringLiteral("html"))))
                     .replace(QLatin1String("<strike>"), QLatin1String("<s>"))
                     .replace(QLatin1String("</strike>"), QLatin1String("</s>")));
    for (QTextBlock b = ours.document->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment run = it.fragment();
            if (run.charFormat().isImageFormat())
                continue;
            const QTextCursor found = html.find(run.text().trimmed());
            QVERIFY2(!found.isNull(), qPrintable(run.text()));
            QCOMPARE(describe(found.charFormat()), describe(run.charFormat()));
            const Qt::Alignment side = Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter | Qt::AlignJustify;
            QCOMPARE(found.blockFormat().alignment() & side, b.blockFormat().alignment() & side);
        }
    QVERIFY2(describe(html).contains(QLatin1String("[pict:image 40x20]")), qPrintable(describe(html)));
    // ... and the same runs, picture included, in the RTF it writes of it.
    QCOMPARE(read(readFile(convert(out.fileName(), QStringLiteral("rtf"), QStringLiteral("back")))), LibreOfficeRuns);
}

QTEST_MAIN(TestRichText)
#include "tst_richtext.moc"
