// The RTF reader and writer, the document storage and the edit control.

#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "richtext/WPRichText.h"
#include "richtext/WPStorage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// One line per paragraph: alignment, then each run as
// [text|font|size|flags|colour], flags from b i u s ^ (super) _ (sub).
QString describe(const QTextDocument &doc)
{
    QStringList lines;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const Qt::Alignment a = b.blockFormat().alignment();
        QString line = (a & Qt::AlignHCenter) ? QStringLiteral("C:") : (a & Qt::AlignJustify) ? QStringLiteral("J:")
            : (a & Qt::AlignRight) ? QStringLiteral("R:") : QStringLiteral("L:");
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            QString flags;
            if (f.fontWeight() >= QFont::DemiBold) flags += u'b';
            if (f.fontItalic()) flags += u'i';
            if (f.fontUnderline()) flags += u'u';
            if (f.fontStrikeOut()) flags += u's';
            if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) flags += u'^';
            if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) flags += u'_';
            const QStringList fam = f.fontFamilies().toStringList();
            const QString color = f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : QString();
            line += QStringLiteral("[%1|%2|%3|%4|%5]")
                        .arg(it.fragment().text(), fam.value(0), QString::number(f.fontPointSize()), flags, color);
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
        << doc("{\\*\\generator x;}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}{\\*\\unknown zzz}{\\pict\\pngblip 89504e47}ok")
        << "L:[ok|Arial|12||]";
    QTest::newRow("field result kept") << doc("{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}") << "L:[link|Arial|12||]";
    QTest::newRow("bin skipped") << doc("a{\\*\\blob\\bin3 }}}b}c") << "L:[ac|Arial|12||]";
    QTest::newRow("highlight") << doc("\\highlight1 h") << "L:[h|Arial|12||]";
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
        + "\\pard\\qc\\li720\\sl-300\\slmult0\\f1\\fs28\\b\\cf1 T\\'e9st\\u8364?{\\i x\\bin2 ab}\\par\\uc2\\u233\\'e9\\'e9 end}";
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
}

void TestRichText::libreOffice()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed: the checks against LibreOffice Writer were not run");
    QTemporaryDir dir;
    const rtf::ReadResult r = rtf::Read("{\\rtf1" + Fonts + Colors
                                        + "\\fs28\\b\\cf3 Name\\par\\pard\\qc\\fs20\\b0\\cf1 Centred red\\par}");
    QFile out(dir.filePath(QStringLiteral("ours.rtf")));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(rtf::Write(*r.document));
    out.close();
    auto convert = [&](const QString &file, const QString &to) {
        QProcess p;
        p.start(soffice, {QStringLiteral("--headless"), QStringLiteral("--convert-to"), to, QStringLiteral("--outdir"),
                          dir.path(), file});
        QVERIFY(p.waitForFinished(120000));
    };
    convert(out.fileName(), QStringLiteral("txt:Text (encoded):UTF8"));
    QFile txt(dir.filePath(QStringLiteral("ours.txt")));
    QVERIFY(txt.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(txt.readAll()).remove(QChar(0xFEFF)).trimmed().split(QRegularExpression("\\r?\\n")),
             QStringList({"Name", "Centred red"}));
    convert(out.fileName(), QStringLiteral("html"));
    QFile html(dir.filePath(QStringLiteral("ours.html")));
    QVERIFY(html.open(QIODevice::ReadOnly));
    QTextDocument fromHtml;
    fromHtml.setHtml(QString::fromUtf8(html.readAll()));
    QVERIFY(fromHtml.toHtml().contains(QLatin1String("Arial")));
    QVERIFY(fromHtml.toHtml().contains(QLatin1String("#000080")));

    // And LibreOffice's own RTF reads with the same runs.
    convert(dir.filePath(QStringLiteral("ours.html")), QStringLiteral("rtf"));
    QFile theirs(dir.filePath(QStringLiteral("ours.rtf")));
    QVERIFY(theirs.open(QIODevice::ReadOnly));
    const rtf::ReadResult back = rtf::Read(theirs.readAll());
    QVERIFY(back.document);
    QCOMPARE(back.document->toPlainText().trimmed(), QStringLiteral("Name\nCentred red"));
}

QTEST_MAIN(TestRichText)
#include "tst_richtext.moc"
