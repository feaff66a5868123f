// qmtool picture, and a picture object through build and dump: what the
// tool reports of each kind of picture file, the stored form it writes,
// and that the stored bytes survive build, dump and build again.

#include "graphics/Bmp.h"

#include <QBuffer>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out, err;
};

Run qmtool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(QMTOOL_PATH), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QByteArray le(quint32 v, int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
    return b;
}

// A picture with a transparent corner when `alpha`.
QImage sample(int w, int h, bool alpha)
{
    QImage image(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(qRgb(30, 120, 200));
    QPainter p(&image);
    p.fillRect(0, 0, w / 2, h / 2, qRgb(250, 40, 40));
    if (alpha) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::transparent);
    }
    return image;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    return writer.write(image) ? bytes : QByteArray();
}

// A WMF without the placeable header: a window of 2540 x 1270 units and a
// rectangle.
QByteArray plainWmf()
{
    QByteArray records;
    records += le(5, 4) + le(0x020B, 2) + le(0, 2) + le(0, 2);        // SETWINDOWORG
    records += le(5, 4) + le(0x020C, 2) + le(1270, 2) + le(2540, 2);  // SETWINDOWEXT
    records += le(7, 4) + le(0x041B, 2) + le(1000, 2) + le(2000, 2) + le(100, 2) + le(100, 2);
    records += le(3, 4) + le(0, 2);
    return le(1, 2) + le(9, 2) + le(0x300, 2) + le(quint32(9 + records.size() / 2), 4) + le(0, 2)
        + le(7, 4) + le(0, 2) + records;
}

}  // namespace

class TestQmtoolPictures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void picture_data();
    void picture();

private:
    QString write(const QString &name, const QByteArray &data)
    {
        const QString path = mDir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(data);
        return path;
    }
    QTemporaryDir mDir;
};

void TestQmtoolPictures::picture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QJsonObject>("report");  // the fields qmtool picture must print
    QTest::addColumn<QString>("error");       // stderr of a file that fails

    const QByteArray bmp = graphics::EncodeBmp(sample(37, 21, false));
    QTest::newRow("BMP kept byte for byte")
        << "a.BMP" << bmp
        << QJsonObject{{"class", "TBitmap"}, {"width", 37}, {"height", 21}, {"bitsPerPixel", 24},
                       {"colors", 0}, {"bytes", int(bmp.size())}}
        << QString();
    QTest::newRow("JPEG to 8 bits")
        << "b.jpeg" << encoded(sample(40, 30, false), "jpeg")
        << QJsonObject{{"class", "TBitmap"}, {"width", 40}, {"height", 30}, {"bitsPerPixel", 8}} << QString();
    QTest::newRow("WMF given its placeable header")
        << "c.wmf" << plainWmf()
        << QJsonObject{{"class", "TMetafile"}, {"width", 96}, {"height", 48}, {"placeable", true},
                       {"unitsPerInch", 2540}, {"bytes", int(plainWmf().size()) + 22}}
        << QString();
    QTest::newRow("PNG with alpha: 32 bits")
        << "d.png" << encoded(sample(20, 10, true), "png")
        << QJsonObject{{"class", "TBitmap"}, {"width", 20}, {"height", 10}, {"bitsPerPixel", 32}} << QString();
    // Qt reads GIF but does not write it: a 1 x 1 GIF with a transparent pixel.
    const QByteArray gif = QByteArray::fromHex("47494638396101000100800000ffffff00000021f904010000"
                                               "00002c00000000010001000002024401003b");
    QTest::newRow("GIF") << "e.GIF" << gif << QJsonObject{{"class", "TBitmap"}, {"width", 1}, {"height", 1}}
                         << QString();
    QTest::newRow("TIFF") << "f.tif" << encoded(sample(18, 9, false), "tiff")
                          << QJsonObject{{"class", "TBitmap"}, {"width", 18}, {"height", 9}} << QString();
    QTest::newRow("WebP") << "g.webp" << encoded(sample(22, 14, false), "webp")
                          << QJsonObject{{"class", "TBitmap"}, {"width", 22}, {"height", 14}} << QString();
    QTest::newRow("damaged BMP") << "h.bmp" << QByteArray("BM\x10\0\0\0garbage", 13) << QJsonObject{}
                                 << "Error loading file!\n";
    QTest::newRow("damaged JPEG: the decoder's reason")
        << "i.jpg" << QByteArray("\xFF\xD8\xFF\xE0 broken", 11) << QJsonObject{} << "";
}

void TestQmtoolPictures::picture()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(QJsonObject, report);
    QFETCH(QString, error);
    if (file.isEmpty())
        QSKIP("this Qt cannot write the format");
    const QString path = write(name, file);
    const QString stored = mDir.filePath(name + QStringLiteral(".stored"));
    const Run r = qmtool({QStringLiteral("picture"), path, QStringLiteral("-o"), stored});
    if (report.isEmpty()) {
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.isEmpty());
        if (!error.isEmpty())
            QCOMPARE(QString::fromUtf8(r.err), error);
        else
            QVERIFY(!r.err.isEmpty() && !r.err.contains("Error loading file!"));
        QVERIFY(!QFile::exists(stored));
        return;
    }
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const QJsonObject printed = QJsonDocument::fromJson(r.out).object();
    for (auto it = report.begin(); it != report.end(); ++it)
        QVERIFY2(printed.value(it.key()) == it.value(), qPrintable(it.key()));
    QFile f(stored);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray form = f.readAll();
    QCOMPARE(qsizetype(printed.value("bytes").toInt()), form.size());
    if (name.endsWith(QLatin1String(".BMP")))
        QCOMPARE(form, file);
    if (printed.value("class") == QLatin1String("TMetafile"))
        QCOMPARE(qFromLittleEndian<quint32>(form.constData()), 0x9AC6CDD7u);

    // The same file in a picture object: dump shows the stored form, and
    // building from that dump keeps it byte for byte.
    const QString json = write(QStringLiteral("in.json"),
                               QJsonDocument(QJsonObject{{"objects", QJsonArray{QJsonObject{
                                   {"class", "TGImage"},
                                   {"properties", QJsonObject{{"Picture.Data", QJsonObject{{"file", path}}}}}}}}})
                                   .toJson());
    const QString first = mDir.filePath(QStringLiteral("first.qm"));
    const Run built = qmtool({QStringLiteral("build"), json, first});
    QVERIFY2(built.exitCode == 0, built.err.constData());
    const Run dumped = qmtool({QStringLiteral("dump"), first});
    QVERIFY2(dumped.exitCode == 0, dumped.err.constData());
    const QJsonObject picture = QJsonDocument::fromJson(dumped.out)["objects"][0]["properties"]["Picture.Data"].toObject();
    QCOMPARE(picture.value("class"), printed.value("class"));
    QCOMPARE(picture.value("width"), printed.value("width"));
    QCOMPARE(picture.value("bytes"), printed.value("bytes"));
    QCOMPARE(QByteArray::fromBase64(picture.value("data").toString().toLatin1()), form);
    const QString second = mDir.filePath(QStringLiteral("second.qm"));
    QCOMPARE(qmtool({QStringLiteral("build"), write(QStringLiteral("dump.json"), dumped.out), second}).exitCode, 0);
    QCOMPARE(qmtool({QStringLiteral("dump"), second}).out, dumped.out);
}

QTEST_MAIN(TestQmtoolPictures)
#include "tst_qmtool_pictures.moc"
