// The clip-art image object: sizes, menus, drawing and printing, its record
// with the picture in it, and the metafile player behind it.

#include "../../graphics/MetafileFiles.h"

#include "graphics/Bmp.h"
#include "objects/Register.h"
#include "controls/DialogSupport.h"
#include "objects/graphic/Gimage.h"
#include "objects/graphic/Gimageb.h"
#include "print/engine/Report.h"
#include "storage/Pictures.h"
#include "storage/Stream.h"

#include <QCheckBox>
#include <QMenu>
#include <QMessageBox>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace picturefiles;

namespace {

QByteArray writeObject(const TComponent &c)
{
    PropertyWriter w;
    w.writeRootComponent(c);
    return w.data();
}

std::unique_ptr<TGImage> readObject(const QByteArray &data)
{
    PropertyReader r(data + '\0');
    std::unique_ptr<TGImage> result;
    r.readRootComponents(nullptr, nullptr, [&](TComponent *c) { result.reset(dynamic_cast<TGImage *>(c)); });
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

QAction *findAction(QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

// A w x h 24-bit bitmap, red on the left half, blue on the right, green top row.
QByteArray halvesBitmap(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, y == 0 ? qRgb(0, 255, 0) : x < w / 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    return graphics::EncodeBmp(image);
}

// A placeable WMF, 1000 x 1000 units at 1000 a inch: a black-framed red
// rectangle over the left half and the text "Quill".
QByteArray sampleWmf(bool placeable = true, bool damaged = false)
{
    QByteArray records;
    auto rec = [&records](int function, const QList<int> &params, const QByteArray &extra = {}) {
        const int words = 3 + int(params.size()) + int(extra.size() + 1) / 2;
        records += le32(quint32(words)) + le16(quint16(function));
        for (int p : params)
            records += le16(quint16(p));
        QByteArray e = extra;
        if (e.size() % 2)
            e += '\0';
        records += e;
    };
    rec(0x020B, {0, 0});             // SETWINDOWORG 0, 0
    rec(0x020C, {1000, 1000});       // SETWINDOWEXT
    rec(0x02FC, {0, 0x00FF, 0x0000, 0});  // CREATEBRUSHINDIRECT solid red (0x000000FF)
    rec(0x012D, {0});                // SELECTOBJECT 0
    rec(0x041B, {1000, 500, 0, 0});  // RECTANGLE left 0 top 0 right 500 bottom 1000
    QByteArray font = le16(quint16(-150)) + le16(0) + le16(0) + le16(0) + le16(400)
        + QByteArray(8, '\0') + QByteArray("Liberation Sans").leftJustified(32, '\0');
    rec(0x02FB, {}, font);           // CREATEFONTINDIRECT
    rec(0x012D, {1});
    rec(0x0102, {1});                // SETBKMODE transparent
    rec(0x0521, {5}, QByteArray("Quill") + '\0' + le16(600) + le16(550));  // TEXTOUT at 550, 600
    if (damaged)
        records += le32(100000) + le16(0x041B);
    rec(0x0000, {});
    const QByteArray header = le16(1) + le16(9) + le16(0x300) + le32(quint32(9 + records.size() / 2))
        + le16(2) + le32(20) + le16(0);
    const QByteArray wmf = header + records;
    if (!placeable)
        return wmf;
    QByteArray ph = le32(graphics::PlaceableKey) + le16(0) + le16(0) + le16(0) + le16(1000)
        + le16(1000) + le16(1000) + le32(0);
    quint16 sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= quint16(quint8(ph[i]) | quint8(ph[i + 1]) << 8);
    return ph + le16(sum) + wmf;
}

QByteArray jpegFile(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(200, 40, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

// Prints the object on 30 labels of a sheet into a PDF file.
QString printSheet(const QTemporaryDir &dir, const QString &name, TGImage &o)
{
    const QString pdf = dir.filePath(name);
    QPdfWriter writer(pdf);
    writer.setResolution(300);
    QPainter p(&writer);
    p.setRenderHint(QPainter::LosslessImageRendering, true);
    TReport report(&p, 300, 300);
    for (int i = 0; i < 30; ++i)
        o.PrintOnReport(report, 0.3 + (i % 3) * 2.6, 0.5 + (i / 3) * 1.0);
    return pdf;
}

// The image objects the pages of a PDF file use (pdfimages lists one line
// a use; column 11 is the object).
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

}  // namespace

class ImageTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { RegisterLabelClasses(); }
    void autoSize_data();
    void autoSize();
    void stretchAutoSizeCoupling();
    void mirroring_data();
    void mirroring();
    void metafileNeverMirrored();
    void emptyObject();
    void recordRoundTrip_data();
    void recordRoundTrip();
    void loadFailures_data();
    void loadFailures();
    void metafileForms();
    void pdfOneImageAndVectors();
    void pdfImageForm_data();
    void pdfImageForm();
    void metafileBitmapEmbeddedOnce_data();
    void metafileBitmapEmbeddedOnce();
    void iconShownNotPrinted();
    void browserLoad_data();
    void browserLoad();
    void cleanup() { SetDialogRunner({}); }
};

void ImageTest::autoSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<float>("scale");
    QTest::addColumn<QSize>("expected");
    QImage icon(32, 32, QImage::Format_RGB32);
    icon.fill(Qt::red);
    QTest::newRow("32 x 32 icon at zoom 1") << "a.ico" << icoFile({iconDib(icon, 24)}) << 1.0f << QSize(32, 32);
    QTest::newRow("101 x 60 at 1.5: halves to even") << "b.bmp" << halvesBitmap(101, 60) << 1.5f << QSize(152, 90);
    QTest::newRow("placeable WMF, 1 inch at 96 ppi") << "c.WMF" << sampleWmf() << 1.0f << QSize(96, 96);
}

void ImageTest::autoSize()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(float, scale);
    QFETCH(QSize, expected);
    QTemporaryDir dir;
    TGImage o;
    o.FinishLoading();
    o.AdoptScale(scale);
    QVERIFY(o.TakePictureFile(writeFile(dir, name, file), false, true));
    QCOMPARE(o.size(), expected);
    QCOMPARE(o.Opaque(), o.PictureIsBitmap() && scale == 1.0f);
}

void ImageTest::stretchAutoSizeCoupling()
{
    QTemporaryDir dir;
    TGImage o;
    o.FinishLoading();
    QVERIFY(o.TakePictureFile(writeFile(dir, "p.bmp", halvesBitmap(40, 20)), true, false));
    QCOMPARE(o.size(), QSize(105, 105));
    // Unticking "Stretch to Fit" turns AutoSize on without resizing yet.
    findAction(o.ObjectMenu(), "Stretch to Fit")->trigger();
    QVERIFY(o.AutoSize());
    QVERIFY(!o.Stretch());
    QCOMPARE(o.size(), QSize(105, 105));
    o.SetLeft(10);  // the next bounds change applies it
    QCOMPARE(o.size(), QSize(40, 20));
    o.SetAutoSize(false);
    QVERIFY(o.Stretch());
}

void ImageTest::mirroring_data()
{
    QTest::addColumn<bool>("flip");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<QRgb>("topLeft");
    QTest::addColumn<QRgb>("bottomRight");
    QTest::newRow("as is") << false << false << qRgb(0, 255, 0) << qRgb(0, 0, 255);
    QTest::newRow("flip") << true << false << qRgb(255, 0, 0) << qRgb(0, 255, 0);
    QTest::newRow("reverse") << false << true << qRgb(0, 255, 0) << qRgb(255, 0, 0);
    QTest::newRow("both") << true << true << qRgb(0, 0, 255) << qRgb(0, 255, 0);
}

void ImageTest::mirroring()
{
    QFETCH(bool, flip);
    QFETCH(bool, reverse);
    QFETCH(QRgb, topLeft);
    QFETCH(QRgb, bottomRight);
    QTemporaryDir dir;
    TGImage o;
    o.FinishLoading();
    QVERIFY(o.TakePictureFile(writeFile(dir, "m.bmp", halvesBitmap(20, 10)), false, true));
    o.SetFlip(flip);
    o.SetReverse(reverse);
    const QImage screen = paintObject(o);
    QCOMPARE(screen.pixel(0, 0), topLeft);
    QCOMPARE(screen.pixel(19, 9), bottomRight);
    // The printed page shows the same mirror image.
    QImage page(200, 200, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    TReport report(&p, 96, 96);
    o.PrintOnReport(report, 0, 0);
    p.end();
    QCOMPARE(page.pixel(0, 0), topLeft);
    QCOMPARE(page.pixel(19, 9), bottomRight);
}

void ImageTest::metafileNeverMirrored()
{
    QTemporaryDir dir;
    TGImage o;
    o.FinishLoading();
    QVERIFY(o.TakePictureFile(writeFile(dir, "m.wmf", sampleWmf()), false, true));
    o.SetFlip(true);
    o.SetReverse(true);
    // As when the menu is about to show: built on first use, then prepared.
    Q_EMIT o.ObjectMenu()->aboutToShow();
    QVERIFY(!findAction(o.ObjectMenu(), "Flip")->isEnabled());
    QVERIFY(!findAction(o.ObjectMenu(), "Reverse")->isEnabled());
    const QImage screen = paintObject(o);
    QCOMPARE(screen.pixel(10, 48), qRgb(255, 0, 0));     // the rectangle stays on the left
    QVERIFY(screen.pixel(85, 20) != qRgb(255, 0, 0));
}

void ImageTest::emptyObject()
{
    TGImage o;
    o.FinishLoading();
    const QImage screen = paintObject(o);
    QCOMPARE(screen.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(screen.pixel(50, 50), qRgb(255, 255, 255));
    QImage page(300, 300, QImage::Format_RGB32);
    page.fill(Qt::cyan);
    QPainter p(&page);
    TReport report(&p, 96, 96);
    o.SetBorderStyle(bsSingle);
    o.PrintOnReport(report, 0, 0);
    p.end();
    for (int y = 0; y < 300; y += 7)
        for (int x = 0; x < 300; x += 7)
            QCOMPARE(page.pixel(x, y), qRgb(0, 255, 255));
}

void ImageTest::recordRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("className");
    QTest::newRow("bitmap") << "a.bmp" << halvesBitmap(7, 5) << QByteArray("TBitmap");
    QTest::newRow("placeable WMF") << "a.wmf" << sampleWmf() << QByteArray("TMetafile");
    QTest::newRow("WMF given its placeable header") << "b.wmf" << sampleWmf(false) << QByteArray("TMetafile");
    QTest::newRow("SVG") << "a.svg"
                         << QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='40' height='30'>"
                                       "<rect width='20' height='30' fill='red'/></svg>")
                         << QByteArray("TSvgPicture");
}

void ImageTest::recordRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, className);
    QTemporaryDir dir;
    const QString path = writeFile(dir, name, file);
    TGImage o;
    o.setObjectName("GImage1");
    o.FinishLoading();
    QVERIFY(o.TakePictureFile(path, true, false));
    o.SetBorderStyle(bsSingle);
    const QByteArray record = writeObject(o);
    QFile::remove(path);  // the label keeps its picture without the file
    auto back = readObject(record);
    QVERIFY(back);
    QCOMPARE(back->Picture()->Graphic()->ClassName(), className);
    QCOMPARE(back->BorderStyle(), bsSingle);
    QCOMPARE(writeObject(*back), record);
    QCOMPARE(paintObject(*back), paintObject(o));
}

void ImageTest::loadFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error");
    QTest::newRow("damaged BMP") << "x.bmp" << QByteArray("BM garbage") << "Error loading file!";
    QTest::newRow("WMF record past the end") << "x.wmf" << sampleWmf(true, true) << "Error loading file!";
    QTest::newRow("damaged JPEG: the decoder's reason") << "x.JPG" << QByteArray("no jpeg")
                                                         << "Not a JPEG file: starts with 0x6e 0x6f";
    QTest::newRow("unknown extension: nothing") << "x.txt" << QByteArray("text") << QString();
}

void ImageTest::loadFailures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const LoadedPicture r = LoadPictureFile(writeFile(dir, name, file));
    QVERIFY(!r.graphic);
    QCOMPARE(r.error, error);
}

void ImageTest::metafileForms()
{
    const QByteArray given = graphics::MakePlaceable(sampleWmf(false));
    const graphics::MetafileInfo info = graphics::ReadMetafile(given);
    QVERIFY(info.ok());
    QVERIFY(info.placeable);
    QCOMPARE(info.unitsPerInch, 2540);
    QCOMPARE(info.bounds, QRect(0, 0, 1000, 1000));
    // The checksum is the XOR of the ten words before it.
    quint16 sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= quint16(quint8(given[i]) | quint8(given[i + 1]) << 8);
    QCOMPARE(quint16(quint8(given[20]) | quint8(given[21]) << 8), sum);
    QVERIFY(!graphics::ReadMetafile(sampleWmf(true, true)).ok());
    QVERIFY(!graphics::ReadMetafile(QByteArray(30, '\x01')).ok());
}

// A sheet of 30 labels showing the same bitmap embeds it once; a WMF stays
// vector drawing with its text.
void ImageTest::pdfOneImageAndVectors()
{
    if (QStandardPaths::findExecutable("pdfimages").isEmpty())
        QSKIP("pdfimages (poppler-utils) is not installed");
    QTemporaryDir dir;
    TGImage bitmap, wmf;
    bitmap.FinishLoading();
    wmf.FinishLoading();
    QVERIFY(bitmap.TakePictureFile(writeFile(dir, "p.bmp", halvesBitmap(64, 64)), true, false));
    QVERIFY(wmf.TakePictureFile(writeFile(dir, "p.wmf", sampleWmf()), true, false));
    const QString bitmapPdf = printSheet(dir, "bitmap.pdf", bitmap);
    const QString wmfPdf = printSheet(dir, "wmf.pdf", wmf);
    QCOMPARE(pdfImageObjects(bitmapPdf), 1);
    QCOMPARE(pdfImageObjects(wmfPdf), 0);
    QProcess text;
    text.start("pdftotext", {wmfPdf, "-"});
    QVERIFY(text.waitForFinished());
    QVERIFY(text.readAllStandardOutput().contains("Quill"));
}

void ImageTest::pdfImageForm_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("form");  // pdfimages' colour and bits a component

    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    QByteArray rows;
    for (int y = 0; y < 16; ++y)
        rows += QByteArray::fromHex(y % 2 ? "F0F00000" : "0F0F0000");
    QImage art(16, 16, QImage::Format_Indexed8);
    art.setColorTable({white, black});
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            art.setPixel(x, y, (x + y) % 3 == 0);
    QTest::newRow("1-bit black and white") << bmpFile({40, 16, 16, 1, 0, {black, white}, 0, {}, rows})
                                           << QByteArray("gray 1");
    QTest::newRow("8-bit art in black and white") << graphics::EncodeBmp(art) << QByteArray("gray 1");
    QTest::newRow("24-bit colour") << halvesBitmap(16, 16) << QByteArray("rgb 8");
}

// A black-and-white bitmap reaches the PDF at 1 bit a pixel whatever depth
// its file has (Qt's writer stores every other format as 8-bit RGB); a
// colour one stays RGB. Either is embedded once for the sheet.
void ImageTest::pdfImageForm()
{
    if (QStandardPaths::findExecutable("pdfimages").isEmpty())
        QSKIP("pdfimages (poppler-utils) is not installed");
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, form);
    QTemporaryDir dir;
    TGImage o;
    o.FinishLoading();
    QVERIFY(o.TakePictureFile(writeFile(dir, "p.bmp", file), true, false));
    const QString pdf = printSheet(dir, "p.pdf", o);
    QCOMPARE(pdfImageObjects(pdf), 1);
    QProcess images;
    images.start("pdfimages", {"-list", pdf});
    QVERIFY(images.waitForFinished());
    const QList<QByteArray> f = images.readAllStandardOutput().trimmed().split('\n').value(2).simplified().split(' ');
    QVERIFY(f.size() > 7);
    QCOMPARE(f[2], QByteArray("image"));
    QCOMPARE(f[5] + ' ' + f[7], form);
}

enum BrowserAction { PickAndOk, PickAndCancel, OkWithoutFile };

void ImageTest::browserLoad_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("autoSizeBox");   // ticked in the browser
    QTest::addColumn<QByteArray>("picture"); // the class the object ends with, empty for none
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("message");

    QImage icon(32, 32, QImage::Format_RGB32);
    icon.fill(Qt::blue);
    const QSize unchanged(105, 105);
    QTest::newRow("BMP, auto-sized") << "Art.BMP" << halvesBitmap(40, 20) << int(PickAndOk) << true
                                     << QByteArray("TBitmap") << QSize(40, 20) << QString();
    QTest::newRow("lower-case .jpg, stretched") << "photo.jpg" << jpegFile(30, 10) << int(PickAndOk) << false
                                                << QByteArray("TBitmap") << unchanged << QString();
    QTest::newRow("WMF at its natural size") << "clip.Wmf" << sampleWmf() << int(PickAndOk) << true
                                             << QByteArray("TMetafile") << QSize(96, 96) << QString();
    QTest::newRow("icon becomes a bitmap") << "i.ico" << icoFile({iconDib(icon, 24)}) << int(PickAndOk)
                                           << true << QByteArray("TBitmap") << QSize(32, 32) << QString();
    QTest::newRow("damaged BMP: message, nothing taken")
        << "bad.bmp" << QByteArray("BM garbage") << int(PickAndOk) << true << QByteArray() << unchanged
        << "Error loading file!";
    QTest::newRow("damaged JPEG: silent, nothing taken")
        << "bad.JPG" << QByteArray("not a jpeg") << int(PickAndOk) << true << QByteArray() << unchanged
        << QString();
    QTest::newRow("Cancel") << "Art.bmp" << halvesBitmap(40, 20) << int(PickAndCancel) << true << QByteArray()
                            << unchanged << QString();
    QTest::newRow("Ok without a file") << "Art.bmp" << halvesBitmap(40, 20) << int(OkWithoutFile) << true
                                       << QByteArray() << unchanged << QString();
}

// The load operation through the browser, its two boxes and its preview,
// answered by a dialog runner as a user would.
void ImageTest::browserLoad()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(int, action);
    QFETCH(bool, autoSizeBox);
    QFETCH(QByteArray, picture);
    QFETCH(QSize, size);
    QFETCH(QString, message);
    QTemporaryDir dir;
    writeFile(dir, name, file);
    writeFile(dir, "notes.txt", "text");
    const QString before = QDir::currentPath();
    QStringList messages;
    QString chosen;
    SetDialogRunner([&](QDialog &dialog) {
        if (auto *box = qobject_cast<QMessageBox *>(&dialog)) {
            messages.append(box->text());
            return int(QMessageBox::Ok);
        }
        auto *browser = qobject_cast<TGImageBrowser *>(&dialog);
        if (!browser)
            return int(QDialog::Rejected);
        // The boxes start from the object's Stretch and AutoSize.
        if (browser->StretchBox()->isChecked() != true || browser->AutoSizeBox()->isChecked())
            return int(QDialog::Rejected);
        if (!browser->SetFolder(dir.path()) || browser->FileNames() != QStringList{name})
            return int(QDialog::Rejected);
        if (action == OkWithoutFile)
            return int(QDialog::Accepted);
        browser->SelectFile(name);
        chosen = browser->SelectedFile();
        if (autoSizeBox)
            browser->AutoSizeBox()->click();
        return int(action == PickAndOk ? QDialog::Accepted : QDialog::Rejected);
    });
    TGImage o;
    o.FinishLoading();
    const bool taken = o.LoadImage();
    QCOMPARE(taken, !picture.isEmpty());
    QCOMPARE(QDir::currentPath(), before);
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
    if (action != OkWithoutFile)
        QCOMPARE(chosen, QDir(dir.path()).filePath(name));
    QCOMPARE(o.Picture()->IsEmpty() ? QByteArray() : o.Picture()->Graphic()->ClassName(), picture);
    QCOMPARE(o.size(), size);
    if (taken) {
        // Both boxes come across as they were left: a ticked AutoSize
        // clears Stretch.
        QCOMPARE(o.AutoSize(), autoSizeBox);
        QCOMPARE(o.Stretch(), !autoSizeBox);
    }
}

void ImageTest::metafileBitmapEmbeddedOnce_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file");
    QImage image(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, qRgb(x * 32, y * 32, 128));
    const QByteArray dib = WmfWriter::dib(image);
    WmfWriter whole, part;
    whole.window(1000).rec(0x0F43, {0x0020, 0x00CC, 0, 8, 8, 0, 0, 1000, 1000, 0, 0}, dib);
    // One quarter of the bitmap (source rows count from its bottom).
    part.window(1000).rec(0x0F43, {0x0020, 0x00CC, 0, 4, 4, 4, 0, 500, 500, 0, 0}, dib);
    EmfWriter emf;
    emf.stretchDib(image, 100, 100, 800, 800);
    QTest::newRow("WMF StretchDIB") << "a.wmf" << whole.file();
    QTest::newRow("WMF StretchDIB of a quarter") << "b.wmf" << part.file();
    QTest::newRow("EMF StretchDIBits") << "c.emf" << emf.file();
}

// A metafile carrying a bitmap, printed on 30 labels, puts the bitmap into
// the PDF once.
void ImageTest::metafileBitmapEmbeddedOnce()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    if (QStandardPaths::findExecutable("pdfimages").isEmpty())
        QSKIP("pdfimages (poppler-utils) is not installed");
    QTemporaryDir dir;
    TGImage o;
    o.FinishLoading();
    QVERIFY(o.TakePictureFile(writeFile(dir, name, file), true, false));
    QCOMPARE(pdfImageObjects(printSheet(dir, name + ".pdf", o)), 1);
}

void ImageTest::iconShownNotPrinted()
{
    QImage icon(32, 32, QImage::Format_RGB32);
    icon.fill(Qt::red);
    auto graphic = std::make_unique<TIcon>();
    graphic->LoadData(icoFile({iconDib(icon, 24)}));
    TPicture picture;
    picture.SetGraphic(std::move(graphic));
    TGImage o;
    o.FinishLoading();
    o.SetPicture(picture);
    o.SetBorderStyle(bsSingle);
    o.SetBounds(0, 0, 32, 32);
    QCOMPARE(paintObject(o).pixel(16, 16), qRgb(255, 0, 0));
    // On the page: the frame alone.
    QImage page(96, 96, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        TReport report(&p, 96, 96);
        o.PrintOnReport(report, 0.25, 0.25);
    }
    QCOMPARE(page.pixel(24 + 16, 24 + 16), qRgb(255, 255, 255));
    QCOMPARE(page.pixel(24, 24 + 16), qRgb(0, 0, 0));
}

QTEST_MAIN(ImageTest)
#include "tst_image.moc"
