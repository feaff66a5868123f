// The picture codecs: bitmaps of every header form and depth, icons, JPEG
// against libjpeg's own djpeg, and damaged files of each kind.

#include "PictureFiles.h"

#include "graphics/Bmp.h"
#include "graphics/Ico.h"
#include "graphics/Jpeg.h"
#include "graphics/PrintForm.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

using namespace picturefiles;
using graphics::DecodeBmp;

namespace {

const QRgb Black = qRgb(0, 0, 0), White = qRgb(255, 255, 255), Red = qRgb(255, 0, 0),
           Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255);

// A picture with smooth and sharp parts, odd-sized so edge blocks count.
QImage testPicture(int w = 61, int h = 47)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, ((x / 8 + y / 8) % 2) ? 220 : 30));
    return image;
}

QByteArray run(const QString &program, const QStringList &args, const QByteArray &input)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted())
        return {};
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? p.readAllStandardOutput()
                                                                      : QByteArray();
}

QByteArray ppm(const QImage &image)
{
    QByteArray out = QStringLiteral("P6\n%1 %2\n255\n").arg(image.width()).arg(image.height()).toLatin1();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            out += char(qRed(c));
            out += char(qGreen(c));
            out += char(qBlue(c));
        }
    return out;
}

// Ink bands 16 pixels wide, 32 high: cyan, magenta with yellow, half
// black, none. `adobe` files store 255 - ink with Adobe's marker, as
// Photoshop writes them; the others store the ink with no marker.
const QList<QList<int>> InkBands{{255, 0, 0, 0}, {0, 255, 255, 0}, {0, 0, 0, 128}, {0, 0, 0, 0}};
const QList<QRgb> BandColors{qRgb(0, 255, 255), qRgb(255, 0, 0), qRgb(127, 127, 127), qRgb(255, 255, 255)};

QByteArray cmykJpeg(bool ycck, bool adobe)
{
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = 64;
    c.image_height = 32;
    c.input_components = 4;
    c.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_colorspace(&c, ycck ? JCS_YCCK : JCS_CMYK);
    jpeg_set_quality(&c, 95, TRUE);
    c.write_Adobe_marker = adobe ? TRUE : FALSE;
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(64 * 4);
    for (int x = 0; x < 64; ++x)
        for (int k = 0; k < 4; ++k)
            row[size_t(x * 4 + k)] = JSAMPLE(adobe ? 255 - InkBands[x / 16][k] : InkBands[x / 16][k]);
    while (c.next_scanline < c.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    QByteArray out(reinterpret_cast<const char *>(buffer), qsizetype(size));
    free(buffer);
    return out;
}

// The mean colour of a square of the picture.
QRgb meanColor(const QImage &image, const QRect &r)
{
    qint64 sum[3] = {};
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            sum[0] += qRed(c), sum[1] += qGreen(c), sum[2] += qBlue(c);
        }
    const qint64 n = qint64(r.width()) * r.height();
    return qRgb(int(sum[0] / n), int(sum[1] / n), int(sum[2] / n));
}

int colorDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

}  // namespace

class TestCodecs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void bmpVariants_data();
    void bmpVariants();
    void bmpDamaged_data();
    void bmpDamaged();
    void bmpWriteRead_data();
    void bmpWriteRead();
    void icoChoice_data();
    void icoChoice();
    void icoMask();
    void icoDamaged_data();
    void icoDamaged();
    void jpegMatchesDjpeg_data();
    void jpegMatchesDjpeg();
    void jpegFailures_data();
    void jpegFailures();
    void jpegCmyk_data();
    void jpegCmyk();
    void printForm_data();
    void printForm();
};

void TestCodecs::bmpVariants_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("colors");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<QPoint>>("points");
    QTest::addColumn<QList<QRgb>>("expected");

    auto add = [](const char *name, const Dib &d, int colors, QList<QPoint> points, QList<QRgb> expected) {
        QTest::newRow(name) << bmpFile(d) << d.bits << colors << QSize(d.width, std::abs(d.height))
                            << points << expected;
    };
    const QList<QPoint> corners = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    Dib d;
    // Bottom-up unless the height is negative: the first row in the file is
    // the bottom one.
    d = {40, 2, 2, 1, 0, {Black, White}, 0, {}, rows({"80", "40"})};
    add("1 bit", d, 2, corners, {Black, White, White, Black});
    d = {40, 2, 2, 4, 0, {Red, Green, Blue}, 3, {}, rows({"01", "25"})};
    add("4 bits, short palette", d, 3, corners, {Blue, Black, Red, Green});
    d = {40, 2, -2, 8, 0, {Red, Green}, 2, {}, rows({"0001", "0100"})};
    add("8 bits, top-down", d, 2, corners, {Red, Green, Green, Red});
    d = {40, 2, 2, 16, 0, {}, 0, {}, rows({"007CE003", "1F00FF7F"})};
    add("16 bits 5-5-5", d, 0, corners, {Blue, White, Red, Green});
    d = {40, 2, 2, 16, 3, {}, 0, {0xF800, 0x07E0, 0x001F}, rows({"00F8E007", "1F00FFFF"})};
    add("16 bits 5-6-5 bit fields", d, 0, corners, {Blue, White, Red, Green});
    d = {40, 2, 2, 24, 0, {}, 0, {}, rows({"0000FFFFFFFF", "FF000000FF00"})};
    add("24 bits", d, 0, corners, {Blue, Green, Red, White});
    d = {40, 2, 2, 32, 0, {}, 0, {}, rows({"0000FF0000FF0000", "FF00000080808000"})};
    add("32 bits, fourth byte ignored", d, 0, corners, {Blue, qRgb(128, 128, 128), Red, Green});
    d = {124, 2, 2, 32, 3, {}, 0, {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
         rows({"0000FF8000FF00FF", "FF0000FF00000000"})};
    add("32 bits V5 with alpha", d, 0, corners, {Blue, qRgba(0, 0, 0, 0), qRgba(255, 0, 0, 128), Green});
    d = {108, 2, 2, 24, 0, {}, 0, {}, rows({"0000FFFFFFFF", "FF000000FF00"})};
    add("24 bits V4", d, 0, corners, {Blue, Green, Red, White});
    d = {40, 2, 2, 32, 3, {}, 0, {0xFF0000, 0xFF00, 0xFF}, rows({"0000FF0000FF0000", "FF00000000000000"})};
    add("32 bits bit fields after a 40-byte header", d, 0, corners, {Blue, Black, Red, Green});
    d = {12, 2, 2, 8, 0, {Red, Green}, 0, {}, rows({"0001", "0100"})};
    add("OS/2 core, palette cut short by the pixel offset", d, 2, corners, {Green, Red, Red, Green});
    // RLE8: a run, a literal group running past the row (clipped), end of
    // line, a delta, one pixel, end of bitmap.
    d = {40, 4, 2, 8, 1, {Black, Red, Green}, 3, {},
         QByteArray::fromHex("0201" "000302020100" "0000" "00020100" "0102" "0001")};
    add("RLE8", d, 3, {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {0, 0}, {1, 0}},
        {Red, Red, Green, Green, Black, Green});
    // RLE4: a run of 6 alternating pixels on a 4-pixel row, clipped.
    d = {40, 4, 1, 4, 2, {Black, Red, Green}, 3, {}, QByteArray::fromHex("0612" "0001")};
    add("RLE4, run past the row", d, 3, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, {Red, Green, Red, Green});
    d = {40, 4, 1, 4, 2, {Black, Red, Green}, 3, {}, QByteArray::fromHex("0003120000")};
    add("RLE4 literal group, data ends early", d, 3, {{0, 0}, {1, 0}, {2, 0}, {3, 0}},
        {Red, Green, Black, Black});
}

void TestCodecs::bmpVariants()
{
    QFETCH(QByteArray, file);
    QFETCH(int, bits);
    QFETCH(int, colors);
    QFETCH(QSize, size);
    QFETCH(QList<QPoint>, points);
    QFETCH(QList<QRgb>, expected);
    const graphics::BitmapResult r = DecodeBmp(file);
    QVERIFY2(r.ok(), qPrintable(r.error));
    QCOMPARE(r.bitsPerPixel, bits);
    QCOMPARE(r.colors, colors);
    QCOMPARE(r.image.size(), size);
    QCOMPARE(r.image.format() == QImage::Format_Indexed8, bits <= 8);
    for (int i = 0; i < points.size(); ++i) {
        const QRgb got = r.image.pixel(points[i]);
        const QRgb want = expected[i];
        if (got != want && !(qAlpha(got) == 0 && qAlpha(want) == 0))
            QFAIL(qPrintable(QStringLiteral("pixel (%1, %2): %3, expected %4")
                                 .arg(points[i].x()).arg(points[i].y())
                                 .arg(got, 8, 16, QLatin1Char('0')).arg(want, 8, 16, QLatin1Char('0'))));
    }
}

void TestCodecs::bmpDamaged_data()
{
    QTest::addColumn<QByteArray>("file");
    const QByteArray good = bmpFile({40, 2, 2, 24, 0, {}, 0, {}, rows({"0000FFFFFFFF", "FF000000FF00"})});
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not BM") << QByteArray("BX") + good.mid(2);
    QTest::newRow("header only") << good.left(30);
    QTest::newRow("last row missing") << good.left(good.size() - 4);
    QByteArray odd = good;
    odd[14] = 20;
    QTest::newRow("unknown header size") << odd;
    QTest::newRow("7 bits") << bmpFile({40, 2, 2, 7, 0, {}, 0, {}, rows({"00", "00"})});
    QTest::newRow("zero width") << bmpFile({40, 0, 2, 24, 0, {}, 0, {}, {}});
    QTest::newRow("palette past the end")
        << bmpFile({40, 2, 2, 8, 0, {Red, Green}, 200, {}, {}}).left(14 + 40 + 8);
    QTest::newRow("16385 pixels wide") << bmpFile({40, 16385, 1, 8, 1, {Red}, 1, {}, QByteArray::fromHex("0001")});
    QTest::newRow("100000 x 100000 run-length")
        << bmpFile({40, 100000, 100000, 8, 1, {Red}, 1, {}, QByteArray::fromHex("0001")});
    QTest::newRow("16384 x 16384, 1 GiB at 4 bytes")
        << bmpFile({40, 16384, 16384, 8, 1, {Red}, 1, {}, QByteArray::fromHex("0001")});
    QTest::newRow("huge uncompressed, few bytes")
        << bmpFile({40, 10000, 10000, 24, 0, {}, 0, {}, QByteArray(64, '\0')});
    QTest::newRow("RLE8 with 4 bits") << bmpFile({40, 2, 2, 4, 1, {Red}, 1, {}, QByteArray::fromHex("0001")});
    QTest::newRow("PNG compression") << bmpFile({40, 2, 2, 24, 5, {}, 0, {}, QByteArray(16, '\0')});
}

void TestCodecs::bmpDamaged()
{
    QFETCH(QByteArray, file);
    const graphics::BitmapResult r = DecodeBmp(file);
    QVERIFY(!r.ok());
    QCOMPARE(r.error, QStringLiteral("Bitmap image is not valid"));
}

void TestCodecs::bmpWriteRead_data()
{
    QTest::addColumn<QImage>("image");
    QImage indexed = testPicture(13, 7).convertToFormat(QImage::Format_Indexed8);
    QImage alpha = testPicture(9, 5).convertToFormat(QImage::Format_ARGB32);
    alpha.setPixel(3, 2, qRgba(10, 20, 30, 40));
    QTest::newRow("8 bits with palette") << indexed;
    QTest::newRow("24 bits") << testPicture(11, 3);
    QTest::newRow("32 bits with alpha") << alpha;
}

void TestCodecs::bmpWriteRead()
{
    QFETCH(QImage, image);
    const graphics::BitmapResult r = DecodeBmp(graphics::EncodeBmp(image));
    QVERIFY2(r.ok(), qPrintable(r.error));
    QCOMPARE(r.image.size(), image.size());
    QCOMPARE(r.image.hasAlphaChannel(), image.hasAlphaChannel());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(r.image.pixel(x, y), image.pixel(x, y));
}

void TestCodecs::icoChoice_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRgb>("color");
    auto plain = [](int w, int h, QRgb c) {
        QImage i(w, h, QImage::Format_ARGB32);
        i.fill(c);
        return i;
    };
    QTest::newRow("32 x 32 preferred, highest depth")
        << icoFile({iconDib(plain(16, 16, Red), 24), iconDib(plain(32, 32, Green), 24),
                    iconDib(plain(32, 32, Blue), 32), iconDib(plain(48, 48, Red), 32)})
        << QSize(32, 32) << Blue;
    QTest::newRow("no 32 x 32: the largest")
        << icoFile({iconDib(plain(16, 16, Red), 32), iconDib(plain(48, 48, Green), 24)})
        << QSize(48, 48) << Green;
    QTest::newRow("PNG entry")
        << icoFile({iconDib(plain(16, 16, Red), 24), iconPng(plain(64, 64, Blue))}) << QSize(64, 64) << Blue;
    QTest::newRow("transparent PNG over the white fill")
        << icoFile({iconPng(plain(24, 24, qRgba(0, 0, 0, 0)))}) << QSize(24, 24) << White;
    // A 32-bit entry whose alpha is all 0 relies on its mask instead.
    QImage clear = plain(32, 32, qRgba(255, 0, 0, 0));
    QTest::newRow("32-bit, alpha 0 everywhere: the mask")
        << icoFile({iconDib(clear, 32)}) << QSize(32, 32) << Red;
    clear.setPixel(0, 0, qRgba(255, 0, 0, 255));
    QTest::newRow("32-bit alpha over the white fill")
        << icoFile({iconDib(clear, 32)}) << QSize(32, 32) << White;
}

void TestCodecs::icoChoice()
{
    QFETCH(QByteArray, file);
    QFETCH(QSize, size);
    QFETCH(QRgb, color);
    const graphics::IconResult r = graphics::DecodeIco(file);
    QVERIFY2(r.ok(), qPrintable(r.error));
    QCOMPARE(r.image.size(), size);
    QCOMPARE(r.image.pixel(size.width() / 2, size.height() / 2), color);
}

void TestCodecs::icoMask()
{
    // 32 x 32 at 24 bits: black everywhere, the mask set for the top-left
    // pixel only (the last mask row is the top one). A masked black pixel
    // shows the white fill; a masked red one its inverse.
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(Black);
    image.setPixel(31, 0, Red);
    QByteArray mask(4 * 32, '\0');
    mask[31 * 4] = char(0x80);
    mask[31 * 4 + 3] = char(0x01);
    const graphics::IconResult r = graphics::DecodeIco(icoFile({iconDib(image, 24, mask)}));
    QVERIFY2(r.ok(), qPrintable(r.error));
    QCOMPARE(r.image.pixel(0, 0), White);
    QCOMPARE(r.image.pixel(1, 0), Black);
    QCOMPARE(r.image.pixel(31, 0), qRgb(0, 255, 255));
    QCOMPARE(r.image.pixel(0, 31), Black);
}

void TestCodecs::icoDamaged_data()
{
    QTest::addColumn<QByteArray>("file");
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Red);
    const QByteArray good = icoFile({iconDib(img, 24)});
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no entries") << (le16(0) + le16(1) + le16(0));
    QTest::newRow("type 3") << (le16(0) + le16(3) + good.mid(4));
    QByteArray far = good;
    far.replace(18, 4, le32(1u << 30));
    QTest::newRow("entry offset past the end") << far;
    QTest::newRow("entry data cut") << good.left(6 + 16 + 40 + 100);
    QTest::newRow("directory cut") << good.left(10);
}

void TestCodecs::icoDamaged()
{
    QFETCH(QByteArray, file);
    QVERIFY(!graphics::DecodeIco(file).ok());
}

void TestCodecs::jpegMatchesDjpeg_data()
{
    QTest::addColumn<QStringList>("cjpegArgs");
    QTest::addColumn<QStringList>("djpegArgs");
    const QStringList djpeg = {"-colors", "256", "-dither", "fs", "-bmp"};
    QTest::newRow("baseline 4:2:0") << QStringList{"-quality", "80"} << djpeg;
    QTest::newRow("4:4:4") << QStringList{"-sample", "1x1"} << djpeg;
    QTest::newRow("4:2:2 progressive") << QStringList{"-sample", "2x1", "-progressive"} << djpeg;
    QTest::newRow("optimised, restart markers") << QStringList{"-optimize", "-restart", "2"} << djpeg;
    // A greyscale file gives colour output here; djpeg does the same with -rgb.
    QTest::newRow("greyscale") << QStringList{"-grayscale"} << (QStringList{"-rgb"} + djpeg);
}

void TestCodecs::jpegMatchesDjpeg()
{
    QFETCH(QStringList, cjpegArgs);
    QFETCH(QStringList, djpegArgs);
    if (QStandardPaths::findExecutable("djpeg").isEmpty())
        QFAIL("djpeg (libjpeg-turbo-progs) is needed to check the JPEG decoder");
    const QByteArray jpeg = run("cjpeg", cjpegArgs, ppm(testPicture(203, 97)));
    QVERIFY(!jpeg.isEmpty());
    const graphics::JpegResult ours = graphics::DecodeJpeg(jpeg);
    QVERIFY2(ours.ok(), qPrintable(ours.error));
    QCOMPARE(ours.image.format(), QImage::Format_Indexed8);
    QVERIFY(ours.image.colorCount() <= 256);
    const graphics::BitmapResult theirs = DecodeBmp(run("djpeg", djpegArgs, jpeg));
    QVERIFY2(theirs.ok(), qPrintable(theirs.error));
    QCOMPARE(theirs.bitsPerPixel, 8);
    QCOMPARE(ours.image.size(), theirs.image.size());
    for (int y = 0; y < ours.image.height(); ++y)
        for (int x = 0; x < ours.image.width(); ++x)
            if (ours.image.pixel(x, y) != theirs.image.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("first difference at (%1, %2)").arg(x).arg(y)));
}

void TestCodecs::jpegFailures_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error");
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        testPicture(203, 97).save(&buffer, "JPG");
    }
    QVERIFY(!jpeg.isEmpty());
    QTest::newRow("scan data cut short") << jpeg.left(jpeg.size() - 400) << QStringLiteral("There are warnings");
    QTest::newRow("not a JPEG") << QByteArray("BM this is no JPEG at all") << QString();
    QTest::newRow("empty") << QByteArray() << QString();
    QByteArray huge = jpeg;
    const qsizetype sof = huge.indexOf(QByteArray::fromHex("FFC0"));
    QVERIFY(sof > 0);
    huge[sof + 5] = char(0xFF);  // height 65000-odd
    huge[sof + 7] = char(0xFF);  // width
    QTest::newRow("65000 pixels a side") << huge << QStringLiteral("Picture too large");
}

void TestCodecs::jpegFailures()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    const graphics::JpegResult r = graphics::DecodeJpeg(file);
    QVERIFY(!r.ok());
    QVERIFY(!r.error.isEmpty());
    if (!error.isEmpty())
        QCOMPARE(r.error, error);
}

void TestCodecs::jpegCmyk_data()
{
    QTest::addColumn<bool>("ycck");
    QTest::addColumn<bool>("adobe");
    QTest::newRow("CMYK, Adobe's inverted form") << false << true;
    QTest::newRow("YCCK, Adobe's inverted form") << true << true;
    QTest::newRow("CMYK ink amounts, no Adobe marker") << false << false;
}

// Four-ink files come out as 256-colour pictures whose colours average to
// the inks' colours, and (for Adobe's form) to what djpeg makes of them.
void TestCodecs::jpegCmyk()
{
    QFETCH(bool, ycck);
    QFETCH(bool, adobe);
    const QByteArray jpeg = cmykJpeg(ycck, adobe);
    const graphics::JpegResult ours = graphics::DecodeJpeg(jpeg);
    QVERIFY2(ours.ok(), qPrintable(ours.error));
    QCOMPARE(ours.image.format(), QImage::Format_Indexed8);
    QVERIFY(ours.image.colorCount() <= 256);
    QCOMPARE(ours.image.size(), QSize(64, 32));
    for (int band = 0; band < 4; ++band) {
        const QRgb mean = meanColor(ours.image, QRect(band * 16 + 4, 4, 8, 24));
        QVERIFY2(colorDistance(mean, BandColors[band]) <= 16,
                 qPrintable(QStringLiteral("band %1: %2").arg(band).arg(mean, 8, 16)));
    }
    if (!adobe)
        return;  // djpeg reads every four-ink file as inverted
    if (QStandardPaths::findExecutable("djpeg").isEmpty())
        QFAIL("djpeg (libjpeg-turbo-progs) is needed to check the JPEG decoder");
    QImage theirs;
    QVERIFY(theirs.loadFromData(run("djpeg", {"-pnm"}, jpeg), "PPM"));
    QCOMPARE(theirs.size(), ours.image.size());
    for (int y = 0; y < 32; y += 8)
        for (int x = 0; x < 64; x += 8) {
            const QRect block(x, y, 8, 8);
            QVERIFY2(colorDistance(meanColor(ours.image, block), meanColor(theirs, block)) <= 16,
                     qPrintable(QStringLiteral("block at %1, %2").arg(x).arg(y)));
        }
}

void TestCodecs::printForm_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<bool>("mono");  // comes back 1 bit a pixel

    // 13 pixels a row: the last byte of a 1-bit row is partly used.
    QImage art(13, 5, QImage::Format_RGB32);
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x)
            art.setPixel(x, y, (x * 3 + y) % 5 < 2 ? Black : White);
    QImage indexed = art.convertToFormat(QImage::Format_Indexed8, {White, Black});
    QImage swapped = art.convertToFormat(QImage::Format_Mono, {White, Black});
    QImage lsb = art.convertToFormat(QImage::Format_MonoLSB, {Black, White});
    QImage grey = indexed;
    grey.setColorTable({White, Black, qRgb(128, 128, 128)});
    grey.setPixel(12, 4, 2);
    QImage unusedColour = indexed;
    unusedColour.setColorTable({White, Black, Red});
    QImage pastTable = indexed;
    pastTable.scanLine(1)[5] = 7;
    QImage clear = art.convertToFormat(QImage::Format_ARGB32);
    clear.setPixel(12, 4, qRgba(0, 0, 0, 0));
    QImage lastRed = art;
    lastRed.setPixel(12, 4, Red);
    QTest::newRow("RGB32 black and white") << art << true;
    QTest::newRow("8 bits, white first") << indexed << true;
    QTest::newRow("1 bit, white first") << swapped << true;
    QTest::newRow("1 bit, least significant first") << lsb << true;
    QTest::newRow("8 bits, a table colour no pixel uses") << unusedColour << true;
    QTest::newRow("8 bits, one grey pixel") << grey << false;
    QTest::newRow("8 bits, an index past the table") << pastTable << false;
    QTest::newRow("a transparent pixel") << clear << false;
    QTest::newRow("the last pixel red") << lastRed << false;
    QTest::newRow("photograph") << testPicture(11, 3) << false;
}

// The print form keeps every pixel; an image it cannot make smaller is the
// same image (same cache key, so the PDF still embeds it once).
void TestCodecs::printForm()
{
    QFETCH(QImage, image);
    QFETCH(bool, mono);
    const QImage form = graphics::PrintForm(image);
    QCOMPARE(form.size(), image.size());
    if (!mono) {
        QCOMPARE(form.cacheKey(), image.cacheKey());
        return;
    }
    QCOMPARE(form.format(), QImage::Format_Mono);
    QCOMPARE(form.colorTable(), (QList<QRgb>{Black, White}));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(form.pixel(x, y), image.pixel(x, y));
}

QTEST_GUILESS_MAIN(TestCodecs)
#include "tst_codecs.moc"
