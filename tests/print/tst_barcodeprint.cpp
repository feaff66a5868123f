// Barcodes as scanners see them: symbols drawn by qmtool barcode, label
// files with barcode objects drawn by qmtool render and printed by qmtool
// print (rasterised with pdftoppm), all read back by independent readers
// (zbarimg, dmtxread); counter-numbered sheets; and the messages of data
// that does not fit.

#include "LabelFiles.h"

#include "objects/Register.h"
#include "objects/graphic/Gbarcode.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Result
{
    int exitCode = -1;
    QByteArray out, err;
};

Result run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return {-1, {}, "killed at the time limit"};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

Result qmtool(const QStringList &args)
{
    return run(QStringLiteral(QMTOOL_PATH), args);
}

// What the reader finds in the images, one entry per symbol, file by file.
QStringList decode(const QString &reader, const QStringList &images)
{
    Result r;
    if (reader == u"dmtx")
        r = run(Tool("dmtxread"), QStringList{QStringLiteral("-n"), QStringLiteral("-N1"),
                                              QStringLiteral("-m"), QStringLiteral("20000")} + images);
    else
        r = run(Tool("zbarimg"), QStringList{QStringLiteral("--raw"), QStringLiteral("-q")} + images);
    QStringList found = QString::fromUtf8(r.out).split(u'\n', Qt::SkipEmptyParts);
    for (QString &s : found)
        s = s.trimmed();
    return found;
}

constexpr int Dpi = 300;
const QRect LinearBounds(6, 6, 242, 84);
const QRect SquareBounds(80, 4, 88, 88);

}  // namespace

class TestBarcodePrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void decode_data();
    void decode();
    void counterSheets();
    void invalid_data();
    void invalid();

private:
    QString design(const QString &name, const std::function<void(TGBasePanel &)> &fill);
    QTemporaryDir mDir;
};

void TestBarcodePrint::initTestCase()
{
    QVERIFY(mDir.isValid());
    RegisterLabelClasses();
    QVERIFY(!Tool("pdftoppm").isEmpty());
}

QString TestBarcodePrint::design(const QString &name, const std::function<void(TGBasePanel &)> &fill)
{
    TGBasePanel panel;
    panel.resize(254, 96);
    fill(panel);
    const QString file = mDir.filePath(name);
    TGLabelObjectFiler().WriteLabelFile(&panel, file, TLabelLayout::Default());
    return file;
}

void TestBarcodePrint::decode_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("reader");   // zbar, dmtx, or "" for none here
    QTest::addColumn<QString>("expected");

    QTest::newRow("Code 128") << "code128" << "QM-2026-0417" << "zbar" << "QM-2026-0417";
    QTest::newRow("GS1-128") << "gs1_128" << "[01]09501101530003[10]AB12" << "zbar"
                             << "0109501101530003" "10AB12";
    QTest::newRow("Code 39") << "code39" << "ASSET 42" << "zbar" << "ASSET 42";
    QTest::newRow("EAN-13") << "eanx" << "501234567890" << "zbar" << "5012345678900";
    QTest::newRow("EAN-8") << "eanx" << "9638507" << "zbar" << "96385074";
    // zbarimg gives UPC-A and UPC-E as the EAN-13 numbers they stand for.
    QTest::newRow("UPC-A") << "upca" << "03600029145" << "zbar" << "0036000291452";
    QTest::newRow("UPC-E") << "upce" << "0123456" << "zbar" << "0012345000065";
    QTest::newRow("ITF-14") << "itf14" << "1540014128876" << "zbar" << "15400141288763";
    QTest::newRow("Codabar") << "codabar" << "A40156B" << "zbar" << "A40156B";
    QTest::newRow("QR Code") << "qrcode" << "https://quillmark.example/tag/1000" << "zbar"
                             << "https://quillmark.example/tag/1000";
    QTest::newRow("Data Matrix") << "datamatrix" << "QM 1000" << "dmtx" << "QM 1000";
    QTest::newRow("PDF417") << "pdf417" << "Quillmark PDF417" << "" << "";
    QTest::newRow("Aztec") << "azteccode" << "Quillmark Aztec" << "" << "";
}

void TestBarcodePrint::decode()
{
    QFETCH(QString, type);
    QFETCH(QString, data);
    QFETCH(QString, reader);
    QFETCH(QString, expected);

    // Every symbology of the table is drawn, valid, by all three routes.
    const std::optional<int> id = barcode::SymbologyByName(type);
    QVERIFY(id);
    const QString file = design(QStringLiteral("decode.qm"), [&](TGBasePanel &panel) {
        auto *b = AddObject<TGBarcode>(panel, barcode::IsFixedRatio(*id) ? SquareBounds : LinearBounds);
        b->SetSymbology(*id);
        b->SetData(data);
        QVERIFY2(b->PrintProblem().isEmpty(), qPrintable(b->PrintProblem()));
    });
    const QString symbolPng = mDir.filePath(QStringLiteral("symbol.png"));
    const QString symbolPdf = mDir.filePath(QStringLiteral("symbol.pdf"));
    const QString symbolSvg = mDir.filePath(QStringLiteral("symbol.svg"));
    for (const QString &out : {symbolPng, symbolPdf, symbolSvg}) {
        const Result r = qmtool({QStringLiteral("barcode"), QStringLiteral("--type"), type, QStringLiteral("--data"),
                                 data, QStringLiteral("-o"), out, QStringLiteral("--scale"), QStringLiteral("2")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(QFileInfo(out).size() > 0);
    }
    const QString rendered = mDir.filePath(QStringLiteral("rendered.png"));
    Result r = qmtool({QStringLiteral("render"), file, QStringLiteral("-o"), rendered, QStringLiteral("--zoom"),
                       QStringLiteral("3")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QString pdf = mDir.filePath(QStringLiteral("printed.pdf"));
    r = qmtool({QStringLiteral("print"), file, QStringLiteral("-o"), pdf, QStringLiteral("--cells"),
                QStringLiteral("0")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    // The bars reach the PDF as vectors: no image in the file.
    const Result images = run(Tool("pdfimages"), {QStringLiteral("-list"), pdf});
    if (images.exitCode == 0)
        QCOMPARE(images.out.count('\n'), 2);   // the two header lines only
    const QImage page = PdfPage(pdf, 1, Dpi, mDir.filePath(QStringLiteral("page")));
    QVERIFY(!page.isNull());
    const QString cell = mDir.filePath(QStringLiteral("cell.png"));
    QVERIFY(page.copy(QRect(qRound(0.188 * Dpi), qRound(0.5 * Dpi), qRound(2.65 * Dpi), Dpi)).save(cell));
    const QString symbolPage = mDir.filePath(QStringLiteral("symbolpage"));
    QVERIFY(!PdfPage(symbolPdf, 1, 200, symbolPage).isNull());

    if (reader.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no independent reader for %1 on this system").arg(type)));
    const char *program = reader == u"dmtx" ? "dmtxread" : "zbarimg";
    if (Tool(program).isEmpty())
        QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(program))));
    for (const QString &image : {symbolPng, symbolPage + QStringLiteral(".png"), rendered, cell})
        QCOMPARE(::decode(reader, {image}), QStringList{expected});
}

void TestBarcodePrint::counterSheets()
{
    if (Tool("zbarimg").isEmpty())
        QSKIP("zbarimg is not installed");
    const QString file = design(QStringLiteral("sheets.qm"), [](TGBasePanel &panel) {
        AddCounter(panel, QRect(180, 70, 60, 20), 1000);
        auto *b = AddObject<TGBarcode>(panel, QRect(6, 6, 170, 84));
        b->SetSymbology(20);
        b->SetUseCounter(true);
    });
    const QString pdf = mDir.filePath(QStringLiteral("sheets.pdf"));
    const Result r = qmtool({QStringLiteral("print"), file, QStringLiteral("-o"), pdf, QStringLiteral("--sheets"),
                             QStringLiteral("2")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(PdfPageCount(pdf), 2);
    // Each cell read on its own, in cell order, sheet after sheet.
    constexpr int dpi = 200;
    QStringList cells, expected;
    for (int page = 1; page <= 2; ++page) {
        const QImage image = PdfPage(pdf, page, dpi, mDir.filePath(QStringLiteral("sheet")));
        QVERIFY(!image.isNull());
        for (int k = 0; k < 30; ++k) {
            const int row = k / 3, column = k % 3;
            const QRect at(qRound((0.188 + column * 2.765) * dpi), qRound((0.5 + row * 1.01) * dpi),
                           qRound(2.65 * dpi), dpi);
            const QString name = mDir.filePath(QStringLiteral("cell-%1-%2.png").arg(page).arg(k, 2, 10, QLatin1Char('0')));
            QVERIFY(image.copy(at).save(name));
            cells << name;
            expected << QString::number(1000 + (page - 1) * 30 + k);
        }
    }
    QCOMPARE(::decode(QStringLiteral("zbar"), cells), expected);
}

void TestBarcodePrint::invalid_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("message");

    QTest::newRow("wrong check digit") << "eanx" << "5012345678901" << "Invalid check digit '1', expecting '0'";
    QTest::newRow("too long") << "eanx" << "50123456789012" << "Input too long";
    QTest::newRow("outside the set") << "code39" << "lower~case" << "Invalid character in data";
    QTest::newRow("letters in UPC-A") << "upca" << "0360002914A" << "Invalid character in data";
}

void TestBarcodePrint::invalid()
{
    QFETCH(QString, type);
    QFETCH(QString, data);
    QFETCH(QString, message);

    const QString out = mDir.filePath(QStringLiteral("invalid.png"));
    QFile::remove(out);
    Result r = qmtool({QStringLiteral("barcode"), QStringLiteral("--type"), type, QStringLiteral("--data"), data,
                       QStringLiteral("-o"), out});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(message.toUtf8()), r.err.constData());
    QVERIFY(!QFile::exists(out));

    // The print run names the label and the object and prints nothing.
    const QString file = design(QStringLiteral("invalid.qm"), [&](TGBasePanel &panel) {
        auto *b = AddObject<TGBarcode>(panel, LinearBounds);
        b->SetSymbology(*barcode::SymbologyByName(type));
        b->SetData(data);
    });
    const QString pdf = mDir.filePath(QStringLiteral("invalid.pdf"));
    QFile::remove(pdf);
    r = qmtool({QStringLiteral("print"), file, QStringLiteral("-o"), pdf});
    QCOMPARE(r.exitCode, 1);
    const QString kind = barcode::FindSymbology(*barcode::SymbologyByName(type))->caption;
    QVERIFY2(r.err.contains(QStringLiteral("Label 1 on page 1 cannot be printed:\nthe %1 barcode with the data \"%2\": ")
                                .arg(kind, data).toUtf8()),
             r.err.constData());
    QVERIFY(r.err.contains(message.toUtf8()));
    QVERIFY(!QFile::exists(pdf));

    // Merged, the same data in the third record: the run names the record
    // and prints nothing, not even the records before it.
    const QString merged = design(QStringLiteral("merged.qm"), [&](TGBasePanel &panel) {
        auto *b = AddObject<TGBarcode>(panel, LinearBounds);
        b->SetSymbology(*barcode::SymbologyByName(type));
        b->SetData(QStringLiteral("${Code}"));
    });
    const QString list = mDir.filePath(QStringLiteral("codes.csv"));
    QFile csv(list);
    QVERIFY(csv.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const QString good = type == u"code39" ? QStringLiteral("ABC") : type == u"upca" ? QStringLiteral("036000291452")
                                                                                    : QStringLiteral("5012345678900");
    csv.write(QStringLiteral("Code\n%1\n%1\n%2\n").arg(good, data).toUtf8());
    csv.close();
    r = qmtool({QStringLiteral("print"), merged, QStringLiteral("--merge"), list, QStringLiteral("-o"), pdf});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("Record 3 cannot be printed:\nthe %1 barcode with the data \"%2\": ")
                                .arg(kind, data).toUtf8()),
             r.err.constData());
    QVERIFY(!QFile::exists(pdf));
    r = qmtool({QStringLiteral("print"), merged, QStringLiteral("--merge"), list, QStringLiteral("--records"),
                QStringLiteral("1-2"), QStringLiteral("-o"), pdf});
    QVERIFY2(r.exitCode == 0, r.err.constData());
}

QTEST_MAIN(TestBarcodePrint)
#include "tst_barcodeprint.moc"
