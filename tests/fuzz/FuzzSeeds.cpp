// fuzz_seeds OUTDIR [QMTPL.dat]: writes a seed corpus, OUTDIR/<target>/*,
// made the way the program and the test suite make these files: every
// label object class written by the filer, the preferences and recent
// files as the program saves them, pictures from the tests' picture
// helpers, RTF from the RTF writer, JSON as qmtool dump prints it.

#include "FuzzTargets.h"

#include "LabelDesign.h"
#include "PictureFiles.h"
#include "PropertyPaths.h"

#include "design/GGraphc.h"
#include "design/Gqmpanel32.h"
#include "graphics/Bmp.h"
#include "graphics/Metafile.h"
#include "layout/TemplateLibrary.h"
#include "richtext/RtfWriter.h"
#include "shell/IniFile.h"
#include "shell/MRUList.h"
#include "shell/Prefs.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"
#include "storage/Stream.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>

#include <cstdio>

using picturefiles::le16;
using picturefiles::le32;

namespace {

QDir out;

void put(const char *target, const QString &name, const QByteArray &bytes)
{
    out.mkpath(QLatin1String(target));
    QFile file(out.filePath(QLatin1String(target) + QLatin1Char('/') + name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QImage sampleImage(QImage::Format format)
{
    QImage image(12, 7, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 20, y * 35, 128, x < 6 ? 255 : 90));
    return image.convertToFormat(format);
}

QByteArray jpegOf(const QImage &image, bool progressive)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(60);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

// A WMF drawing a red rectangle and a line of text, with and without its
// placeable header.
QByteArray sampleWmf(bool placeable)
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
    rec(0x020B, {0, 0});                  // SETWINDOWORG
    rec(0x020C, {1000, 1000});            // SETWINDOWEXT
    rec(0x02FC, {0, 0x00FF, 0x0000, 0});  // CREATEBRUSHINDIRECT
    rec(0x012D, {0});                     // SELECTOBJECT
    rec(0x02FA, {0, 3, 0, 0, 0});         // CREATEPENINDIRECT
    rec(0x012D, {1});
    rec(0x041B, {1000, 500, 0, 0});       // RECTANGLE
    rec(0x0418, {900, 900, 100, 600});    // ELLIPSE
    rec(0x0214, {10, 10});                // MOVETO
    rec(0x0213, {990, 990});              // LINETO
    rec(0x0324, {3, 0, 0, 500, 0, 250, 400});  // POLYGON
    QByteArray font = le16(quint16(-150)) + le16(0) + le16(0) + le16(0) + le16(400)
        + QByteArray(8, '\0') + QByteArray("Liberation Sans").leftJustified(32, '\0');
    rec(0x02FB, {}, font);                // CREATEFONTINDIRECT
    rec(0x012D, {2});
    rec(0x0102, {1});                     // SETBKMODE
    rec(0x0521, {5}, QByteArray("Quill") + '\0' + le16(600) + le16(550));  // TEXTOUT
    rec(0x001E, {});                      // SAVEDC
    rec(0x0127, {quint16(-1)});           // RESTOREDC
    rec(0x01F0, {0});                     // DELETEOBJECT
    rec(0x0000, {});
    const QByteArray header = le16(1) + le16(9) + le16(0x300) + le32(quint32(9 + records.size() / 2))
        + le16(3) + le32(20) + le16(0);
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

// An EMF: header, a brush and a pen, rectangle, ellipse, lines, a
// polygon, saved and restored state, end of file.
QByteArray sampleEmf()
{
    QByteArray records;
    int count = 0;
    auto rec = [&](quint32 type, const QList<qint32> &params) {
        records += le32(type) + le32(quint32(8 + 4 * params.size()));
        for (qint32 p : params)
            records += le32(quint32(p));
        ++count;
    };
    rec(39, {1, 0, 0x0000FF, 0});         // CREATEBRUSHINDIRECT
    rec(37, {1});                         // SELECTOBJECT
    rec(38, {2, 0, 30, 0, 0x00FF00});     // CREATEPEN
    rec(37, {2});
    rec(43, {10, 10, 200, 100});          // RECTANGLE
    rec(42, {50, 50, 250, 150});          // ELLIPSE
    rec(27, {0, 0});                      // MOVETOEX
    rec(54, {300, 200});                  // LINETO
    rec(33, {});                          // SAVEDC
    rec(9, {400, 300});                   // SETWINDOWEXTEX
    rec(34, {-1});                        // RESTOREDC
    records += le32(86) + le32(8 + 16 + 4 + 12) + le32(0) + le32(0) + le32(300) + le32(300) + le32(3)
        + le16(0) + le16(0) + le16(300) + le16(0) + le16(150) + le16(300);  // POLYGON16
    ++count;
    rec(40, {1});                         // DELETEOBJECT
    rec(14, {0, 16, 20});                 // EOF
    const quint32 headerSize = 88;
    QByteArray header = le32(1) + le32(headerSize) + le32(0) + le32(0) + le32(300) + le32(300)
        + le32(0) + le32(0) + le32(8000) + le32(8000) + le32(0x464D4520) + le32(0x10000)
        + le32(quint32(headerSize + records.size())) + le32(quint32(count + 1)) + le16(3) + le16(0)
        + le32(0) + le32(0) + le32(0) + le32(1024) + le32(768) + le32(320) + le32(240);
    return header + records;
}

QByteArray sampleRtf()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(14);
    cursor.insertText(QStringLiteral("Quill "), bold);
    QTextCharFormat red;
    red.setForeground(Qt::red);
    red.setFontItalic(true);
    red.setFontFamilies({QStringLiteral("Liberation Serif")});
    cursor.insertText(QStringLiteral("mark \u00e9t\u00e9"), red);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setLeftMargin(20);
    cursor.insertBlock(centred);
    cursor.insertText(QStringLiteral("second line"));
    return rtf::Write(document);
}

void labelSeeds()
{
    LabelDesign design;
    TLabelLayout layout = TLabelLayout::Default();
    int n = 0;
    JsonValue objects = JsonValue::array();
    for (const QByteArray &cls : TClassRegistry::instance().ClassNames()) {
        TComponent *c = TClassRegistry::instance().Create(cls, &design.window());
        c->SetParentComponent(&design.panel());
        if (!dynamic_cast<TGGraphicControl *>(c)) {
            delete c;
            continue;
        }
        c->SetName(design.panel().FreeObjectName());
        c->FinishLoading();
        const QString name = QString::fromLatin1(cls);
        const QByteArray objectFile = TGLabelObjectFiler::ObjectFileBytes({c});
        put("object", name, objectFile);
        put("clipboard", name, objectFile);
        PropertyWriter writer;
        writer.writeRootComponent(*c, &design.window());
        put("stream", name, writer.takeData());

        JsonValue object = JsonValue::object();
        object.insert(QStringLiteral("class"), JsonValue::string(name));
        object.insert(QStringLiteral("name"), JsonValue::string(c->Name()));
        object.insert(QStringLiteral("properties"), propertypaths::Values(*c));
        objects.append(object);
        JsonValue one = JsonValue::object();
        one.insert(QStringLiteral("objects"), JsonValue::array({object}));
        put("build", name + QStringLiteral(".json"), writeJson(one));
        ++n;
    }
    design.panel().AttachObjects();
    put("label", QStringLiteral("all.qm"), TGLabelObjectFiler::LabelFileBytes(&design.panel(), layout));
    JsonValue all = JsonValue::object();
    all.insert(QStringLiteral("objects"), objects);
    all.insert(QStringLiteral("layout"), LayoutToJson(layout));
    put("build", QStringLiteral("all.json"), writeJson(all));
    put("json", QStringLiteral("all.json"), writeJson(all));
    QWidget empty;
    put("label", QStringLiteral("empty.qm"), TGLabelObjectFiler::LabelFileBytes(&empty, layout));
    std::printf("fuzz_seeds: %d label object classes\n", n);
}

void settingsSeeds()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QM.INI"));
    {
        TIniFile ini(path);
        TPreferences preferences;
        preferences.FileOpenLastPath = QStringLiteral("/home/user/labels/");
        preferences.SavePreferences(ini);
        QWidget window;
        window.setGeometry(40, 50, 640, 480);
        SaveWindowPlacement(&window, QStringLiteral("TQMMainScreen"), ini);
        ini.UpdateFile();
    }
    {
        TMRUFileList list;
        list.AutoSave = false;
        list.AutoSaveName = path;
        for (const char *file : {"/home/user/a.qm", "/home/user/Address Labels.qm", "/tmp/x.qm"})
            list.AddFile(QString::fromLatin1(file));
        list.SaveToStorage();
    }
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    put("ini", QStringLiteral("QM.INI"), bytes);
    put("mru", QStringLiteral("QM.INI"), bytes);
}

void templateSeeds(const QString &library)
{
    const QList<TLabelLayout> all = TemplateLibrary::read(library);
    // A few templates of the library, written as the library generator does.
    PropertyWriter writer;
    writer.writeListBegin();
    for (qsizetype i = 0; i < all.size() && i < 6; ++i)
        all.at(i * (all.size() / 6)).Write(writer);
    writer.writeListEnd();
    put("templates", QStringLiteral("six.dat"), writer.takeData());
    PropertyWriter one;
    one.writeListBegin();
    TLabelLayout::Default().Write(one);
    one.writeListEnd();
    put("templates", QStringLiteral("default.dat"), one.takeData());
}

void pictureSeeds()
{
    for (auto [format, name] : {std::pair{QImage::Format_Indexed8, "indexed"},
                                std::pair{QImage::Format_RGB32, "rgb"},
                                std::pair{QImage::Format_ARGB32, "argb"},
                                std::pair{QImage::Format_Mono, "mono"}}) {
        const QImage image = format == QImage::Format_Indexed8
            ? sampleImage(QImage::Format_RGB32).convertToFormat(format, Qt::ThresholdDither)
            : sampleImage(format);
        put("bmp", QLatin1String(name) + QStringLiteral(".bmp"), graphics::EncodeBmp(image));
    }
    picturefiles::Dib core;
    core.headerSize = 12;
    core.width = 3;
    core.height = 2;
    core.bits = 4;
    core.palette = {qRgb(0, 0, 0), qRgb(255, 0, 0)};
    core.pixels = picturefiles::rows({"011000", "100100"});
    put("bmp", QStringLiteral("core4.bmp"), picturefiles::bmpFile(core));
    picturefiles::Dib rle;
    rle.width = 4;
    rle.height = 2;
    rle.bits = 8;
    rle.compression = 1;
    rle.palette = {qRgb(0, 0, 0), qRgb(0, 0, 255)};
    rle.colorsUsed = 2;
    rle.pixels = QByteArray::fromHex("0401000004010001");
    put("bmp", QStringLiteral("rle8.bmp"), picturefiles::bmpFile(rle));
    picturefiles::Dib fields;
    fields.width = 2;
    fields.height = -2;
    fields.bits = 16;
    fields.compression = 3;
    fields.masks = {0xF800, 0x07E0, 0x001F};
    fields.pixels = picturefiles::rows({"00f8e007", "1f00ffff"});
    put("bmp", QStringLiteral("bitfields16.bmp"), picturefiles::bmpFile(fields));

    const QImage icon = sampleImage(QImage::Format_ARGB32).scaled(16, 16);
    put("ico", QStringLiteral("two.ico"),
        picturefiles::icoFile({picturefiles::iconDib(icon, 32), picturefiles::iconDib(icon, 24, "ff00")}));
    put("ico", QStringLiteral("png.ico"), picturefiles::icoFile({picturefiles::iconPng(icon)}));

    const QImage photo = sampleImage(QImage::Format_RGB32).scaled(33, 17);
    put("jpeg", QStringLiteral("baseline.jpg"), jpegOf(photo, false));
    put("jpeg", QStringLiteral("progressive.jpg"), jpegOf(photo, true));
    put("jpeg", QStringLiteral("grey.jpg"), jpegOf(photo.convertToFormat(QImage::Format_Grayscale8), false));

    put("wmf", QStringLiteral("placeable.wmf"), sampleWmf(true));
    put("wmf", QStringLiteral("plain.wmf"), sampleWmf(false));
    put("emf", QStringLiteral("shapes.emf"), sampleEmf());
    put("rtf", QStringLiteral("written.rtf"), sampleRtf());
    put("rtf", QStringLiteral("plain.rtf"),
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1 Symbol;}}{\\colortbl;\\red255\\green0\\blue0;}"
        "\\pard\\qc\\fs24 Hello {\\b\\cf1 bold} {\\f1 a}\\par\\pard\\li720\\sb120 \\u233? next\\tab x"
        "{\\*\\unknown skipped}{\\pict\\wmetafile8 0102}\\line\\bin3 abc}");
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        sampleImage(QImage::Format_RGB32).scaled(6, 4).save(&buffer, "PNG");
    }
    put("rtf", QStringLiteral("pictures.rtf"),
        "{\\rtf1 a{\\*\\shppict{\\pict\\picscalex50\\picwgoal600\\pichgoal300\\pngblip " + png.toHex()
            + "}}{\\nonshppict{\\pict\\wmetafile8 00}}{\\pict\\picw2540\\pich2540\\wmetafile8 " + sampleWmf(false).toHex()
            + "}{\\pict\\emfblip " + sampleEmf().toHex() + "}{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " "
            + png + "}b}");
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fputs("usage: fuzz_seeds OUTDIR [QMTPL.dat]\n", stderr);
        return 2;
    }
    qmfuzz::Prepare();
    PrepareLabelObjects();
    out = QDir(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("."));
    labelSeeds();
    settingsSeeds();
    templateSeeds(argc > 2 ? QString::fromLocal8Bit(argv[2]) : TemplateLibrary::defaultPath());
    pictureSeeds();
    return 0;
}
