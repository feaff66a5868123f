// SuperText: layout and shadow origins, the height rule, the setter rules,
// its record, drawing probes, absurd stored values and the printed page.

#include "controls/DialogSupport.h"
#include "objects/Register.h"
#include "objects/graphic/gsstext.h"
#include "objects/graphic/gstprop.h"
#include "objects/graphic/gstpropGetSym.h"
#include "objects/graphic/gstpropGetTexture.h"
#include "storage/AppPaths.h"
#include "objects/text/TextFont.h"
#include "print/engine/Report.h"
#include "storage/Stream.h"

#include <QLineEdit>
#include <QPdfWriter>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray writeObject(const TComponent &c)
{
    PropertyWriter w;
    w.writeRootComponent(c);
    return w.data();
}

std::unique_ptr<TGSuperText> readObject(const QByteArray &data)
{
    PropertyReader r(data + '\0');
    std::unique_ptr<TGSuperText> result;
    r.readRootComponents(nullptr, nullptr,
                         [&](TComponent *c) { result.reset(dynamic_cast<TGSuperText *>(c)); });
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

TBitmap solidBitmap(QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    TBitmap b;
    b.SetImage(image);
    return b;
}

int imageObjects(const QString &pdf)
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

class SuperTextTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { RegisterLabelClasses(); }
    void shadowOrigins_data();
    void shadowOrigins();
    void heightRule_data();
    void heightRule();
    void automaticWidth();
    void setterRules();
    void recordRoundTrip();
    void paintLayers_data();
    void paintLayers();
    void repaintFollowsChanges_data();
    void repaintFollowsChanges();
    void captionShortened();
    void absurdValues_data();
    void absurdValues();
    void dialogRefusesEmptyText();
    void symbolColumns_data();
    void symbolColumns();
    void pdfImages_data();
    void pdfImages();
    void printedShadowFollowsGlyphs_data();
    void printedShadowFollowsGlyphs();
    void textureBrowserStart_data();
    void textureBrowserStart();
    void textureBrowserLoads();
};

void SuperTextTest::shadowOrigins_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("depth");
    QTest::addColumn<QPoint>("text");
    QTest::addColumn<QPoint>("shadow");
    QTest::newRow("left 4") << int(sdLeft) << 4 << QPoint(9, 0) << QPoint(5, 0);
    QTest::newRow("right 4") << int(sdRight) << 4 << QPoint(5, 0) << QPoint(9, 0);
    QTest::newRow("down right 3") << int(sdDownRight) << 3 << QPoint(5, 0) << QPoint(8, 3);
    QTest::newRow("down left 2") << int(sdDownLeft) << 2 << QPoint(7, 0) << QPoint(5, 2);
    QTest::newRow("down 6") << int(sdDown) << 6 << QPoint(5, 0) << QPoint(5, 6);
    QTest::newRow("none 4") << int(sdNone) << 4 << QPoint(5, 0) << QPoint(5, 0);
}

void SuperTextTest::shadowOrigins()
{
    QFETCH(int, orientation);
    QFETCH(int, depth);
    QFETCH(QPoint, text);
    QFETCH(QPoint, shadow);
    TGSuperText o;
    o.SetBounds(0, 0, 300, 100);
    o.SetShadowOrientation(TShadowOrientation(orientation));
    o.SetShadowDepth(depth);
    o.Layout();
    QCOMPARE(o.TextPosition(), text);
    QCOMPARE(o.ShadowPosition(), shadow);
    QCOMPARE(o.ShadowRect().topLeft(), shadow);
}

void SuperTextTest::heightRule_data()
{
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<int>("border");
    QTest::addColumn<bool>("shrinks");
    QTest::newRow("transparent, no border") << true << int(bsNone) << true;
    QTest::newRow("transparent, border") << true << int(bsSingle) << false;
    QTest::newRow("opaque, no border") << false << int(bsNone) << false;
}

void SuperTextTest::heightRule()
{
    QFETCH(bool, transparent);
    QFETCH(int, border);
    QFETCH(bool, shrinks);
    TGSuperText o;
    o.SetBounds(0, 0, 400, 200);
    o.SetControlTransparent(transparent);
    o.SetBorderStyle(TBorderStyle(border));
    o.SetShadowOrientation(sdDownRight);
    o.SetShadowDepth(4);
    o.Layout();
    const int h = o.TextRect().height();
    QVERIFY(h > 20 && h < 160);
    QCOMPARE(o.Height(), shrinks ? int(1.2 * (4 + h)) : 200);
    // Too low for the text and its shadow: raised to both, whatever the frame.
    o.SetHeight(10);
    o.Layout();
    QCOMPARE(o.Height(), 4 + h);
}

void SuperTextTest::automaticWidth()
{
    TGSuperText o;
    o.SetBounds(0, 0, 5, 60);
    o.Layout();
    QCOMPARE(o.Width(), TextWidth(o.CanvasFont(), QStringLiteral("Text ")));
    o.SetWidth(6);
    o.Layout();
    QCOMPARE(o.Width(), 6);
}

void SuperTextTest::setterRules()
{
    TGSuperText o;
    const TBitmap wood = solidBitmap(QSize(8, 8), Qt::darkYellow);
    o.SetSurfaceType(stBrushImage);
    o.SetImage(&wood);
    QCOMPARE(o.Image()->Size(), QSize(8, 8));
    o.SetSurfaceType(stNormal);
    QVERIFY(o.Image()->IsEmpty());
    o.SetSurfaceType(stBrushImage);
    QVERIFY(o.Image()->IsEmpty());

    // A transparent surface never goes without its outline.
    o.SetOutlineStyle(psClear);
    o.SetSurfaceType(stBrushTransparent);
    QCOMPARE(o.OutlineStyle(), psSolid);
    o.SetOutlineStyle(psClear);
    QCOMPARE(o.OutlineStyle(), psClear);  // the rule runs only when the surface changes
    o.SetOutlineStyle(psDash);
    o.SetSurfaceType(stGradientFill);
    o.SetSurfaceType(stBrushTransparent);
    QCOMPARE(o.OutlineStyle(), psDash);

    // Out-of-range enumeration values are ignored.
    o.SetShadowOrientation(TShadowOrientation(17));
    QCOMPARE(o.ShadowOrientation(), sdDownRight);
    o.SetSurfaceType(TSurfaceType(9));
    QCOMPARE(o.SurfaceType(), stBrushTransparent);
}

void SuperTextTest::recordRoundTrip()
{
    TGSuperText o;
    o.FinishLoading();
    o.SetBounds(10, 20, 300, 90);
    o.SetShadowDepth(1000000);  // kept as stored, bounded where drawn
    o.SetShadowOrientation(sdDownLeft);
    o.SetCaption(QStringLiteral("Wood"));
    o.SetSurfaceType(stBrushImage);
    const TBitmap wood = solidBitmap(QSize(3, 5), Qt::darkYellow);
    o.SetImage(&wood);
    o.SetFillDirection(gdDown);
    o.SetOutlineWidth(3);
    o.SetLastBitmapFileNameandPath(QStringLiteral("/tmp/wood.bmp"));
    const QByteArray bytes = writeObject(o);
    std::unique_ptr<TGSuperText> back = readObject(bytes);
    QVERIFY(back);
    QCOMPARE(back->ShadowDepth(), 1000000);
    QCOMPARE(back->ShadowOrientation(), sdDownLeft);
    QCOMPARE(back->Caption(), QStringLiteral("Wood"));
    QCOMPARE(back->SurfaceType(), stBrushImage);
    QCOMPARE(back->Image()->Size(), QSize(3, 5));
    QCOMPARE(back->FillDirection(), gdDown);
    QCOMPARE(back->OutlineWidth(), 3);
    QCOMPARE(back->LastBitmapFileNameandPath(), QStringLiteral("/tmp/wood.bmp"));
    QCOMPARE(writeObject(*back), bytes);

    // Declared defaults are left out; the others are always stored.
    TGSuperText plain;
    const QByteArray initial = writeObject(plain);
    QVERIFY(!initial.contains("ShadowDepth"));
    QVERIFY(!initial.contains("ShadowOrientation"));
    QVERIFY(!initial.contains("Shadowcolor"));
    for (const char *name : {"BorderStyle", "ControlTransparent", "BGColor", "Caption", "FillDirection",
                             "GradientToColor", "GradientFromColor", "OutlineColor", "OutlineStyle",
                             "OutlineWidth", "SurfaceType"})
        QVERIFY2(initial.contains(name), name);
    QVERIFY(initial.indexOf("GradientToColor") < initial.indexOf("GradientFromColor"));
    QVERIFY(bytes.indexOf("SurfaceType") < bytes.indexOf("LastBitmapFileNameandPath"));

    // A texture beyond the picture limits is refused, never kept half-read.
    TGSuperText huge;
    QImage tall(1, 20000, QImage::Format_RGB32);
    tall.fill(Qt::green);
    QVERIFY_THROWS_EXCEPTION(EStreamError, huge.Image()->SetImage(tall));
    QVERIFY(huge.Image()->IsEmpty());
}

void SuperTextTest::paintLayers_data()
{
    QTest::addColumn<int>("surface");
    QTest::addColumn<QRgb>("inside");    // a pixel inside the stem of the "I"
    QTest::newRow("normal, red") << int(stNormal) << qRgb(255, 0, 0);
    QTest::newRow("texture, green") << int(stBrushImage) << qRgb(0, 128, 0);
    QTest::newRow("transparent") << int(stBrushTransparent) << qRgb(0, 255, 255);
    QTest::newRow("gradient, blue to blue") << int(stGradientFill) << qRgb(0, 0, 255);
}

void SuperTextTest::repaintFollowsChanges_data()
{
    QTest::addColumn<int>("change");
    const char *const names[] = {"caption", "from colour", "to colour", "direction", "outline colour",
                                 "outline width", "shadow colour", "shadow depth", "surface", "size",
                                 "texture"};
    for (int i = 0; i < int(std::size(names)); ++i)
        QTest::newRow(names[i]) << i;
}

// A repaint after a change shows what an object made with the change from
// the start shows: nothing of the picture kept from the paint before.
void SuperTextTest::repaintFollowsChanges()
{
    QFETCH(int, change);
    const TBitmap green = solidBitmap(QSize(4, 4), QColor(0, 128, 0));
    const auto make = [](TGSuperText &o) {
        TFont font;
        font.SetName(QStringLiteral("Arial"));
        font.SetSize(36);
        o.ApplyFont(font);
        o.SetCaption(QStringLiteral("Abc"));
        o.SetBorderStyle(bsSingle);
        o.SetBounds(0, 0, 160, 70);
        o.SetSurfaceType(stGradientFill);
        o.SetShadowOrientation(sdRight);
        o.SetShadowDepth(3);
    };
    const auto apply = [&](TGSuperText &o) {
        switch (change) {
        case 0: o.SetCaption(QStringLiteral("Abd")); break;
        case 1: o.SetGradientFromColor(cl::Red); break;
        case 2: o.SetGradientToColor(cl::Lime); break;
        case 3: o.SetFillDirection(gdDown); break;
        case 4: o.SetOutlineColor(cl::Red); break;
        case 5: o.SetOutlineWidth(3); break;
        case 6: o.SetShadowcolor(cl::Red); break;
        case 7: o.SetShadowDepth(6); break;
        case 8: o.SetSurfaceType(stNormal); break;
        case 9: o.SetBounds(0, 0, 161, 70); break;
        case 10:
            o.SetSurfaceType(stBrushImage);
            o.SetImage(&green);
            break;
        }
    };
    TGSuperText o, fresh;
    make(o);
    make(fresh);
    const QImage before = paintObject(o);
    apply(o);
    apply(fresh);
    const QImage after = paintObject(o);
    QVERIFY(after != before);
    QCOMPARE(after, paintObject(fresh));
}

void SuperTextTest::paintLayers()
{
    QFETCH(int, surface);
    QFETCH(QRgb, inside);
    TGSuperText o;
    TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetSize(72);
    font.SetStyle(1u << fsBold);
    font.SetColor(cl::Red);
    o.ApplyFont(font);
    o.SetCaption(QStringLiteral("I"));
    o.SetBorderStyle(bsSingle);  // keeps the height
    o.SetBounds(0, 0, 200, 150);
    o.SetSurfaceType(TSurfaceType(surface));
    const TBitmap green = solidBitmap(QSize(4, 4), QColor(0, 128, 0));
    o.SetImage(&green);
    o.SetFillDirection(gdRight);
    o.SetGradientFromColor(cl::Blue);
    o.SetGradientToColor(cl::Blue);
    o.SetOutlineStyle(psClear);
    o.SetShadowOrientation(sdRight);
    o.SetShadowDepth(40);
    o.SetShadowcolor(cl::Black);
    const QImage image = paintObject(o);
    // The stem of the "I": its ink around the middle of its advance.
    const QFontMetrics fm(o.CanvasFont());
    const QRect ink = fm.boundingRect(QLatin1Char('I'));
    const int x = o.TextPosition().x() + ink.center().x();
    const int y = o.TextPosition().y() + fm.ascent() + ink.center().y();
    QCOMPARE(image.pixel(x, y), inside);
    // The shadow lies 40 pixels to the right, under nothing but itself.
    QCOMPARE(image.pixel(x + 40, y), qRgb(0, 0, 0));
    // Outside the glyphs the background stays.
    QCOMPARE(image.pixel(150, y), qRgb(0, 255, 255));
    // The frame.
    QCOMPARE(image.pixel(0, 75), qRgb(0, 0, 0));
}

void SuperTextTest::captionShortened()
{
    TGSuperText o;
    o.SetBorderStyle(bsSingle);
    o.SetBounds(0, 0, 120, 80);
    o.SetCaption(QStringLiteral("ABCDEFGHIJKLMNOP"));
    o.Layout();
    const QString shown = o.ShortenedCaption();
    QVERIFY(!shown.isEmpty());
    QVERIFY(QStringLiteral("ABCDEFGHIJKLMNOP").startsWith(shown));
    QVERIFY(shown.size() < 16);
    const int limit = o.Width() - std::max(o.TextRect().left(), o.ShadowRect().left());
    QVERIFY(TextWidth(o.CanvasFont(), shown) <= limit);
    QVERIFY(TextWidth(o.CanvasFont(), shown + QStringLiteral("ABCDEFGHIJKLMNOP").at(shown.size())) > limit);

    // Nothing fits: the crossed box.
    o.SetBounds(0, 0, 8, 80);
    o.SetCaption(QStringLiteral("W"));
    const QImage image = paintObject(o);
    QCOMPARE(o.ShortenedCaption(), QString());
    QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(4, 20), qRgb(0, 255, 255));  // between the diagonals
    QCOMPARE(image.pixel(2, 20), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(0, 40), qRgb(0, 0, 0));
}

void SuperTextTest::absurdValues_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("captionLength");
    QTest::addColumn<int>("points");
    QTest::addColumn<QSize>("texture");
    QTest::newRow("depth 10^6") << 1000000 << 4 << 48 << QSize();
    QTest::newRow("negative depth") << -1000000 << 4 << 48 << QSize();
    QTest::newRow("empty caption") << 3 << 0 << 48 << QSize();
    QTest::newRow("1 MB caption") << 3 << (1 << 20) << 48 << QSize();
    QTest::newRow("size 0") << 3 << 10 << 0 << QSize();
    QTest::newRow("size 5000") << 3 << 10 << 5000 << QSize();
    QTest::newRow("texture 1 x 16000") << 3 << 10 << 48 << QSize(1, 16000);
    QTest::newRow("texture 1 x 1") << 3 << 10 << 48 << QSize(1, 1);
}

void SuperTextTest::absurdValues()
{
    QFETCH(int, depth);
    QFETCH(int, captionLength);
    QFETCH(int, points);
    QFETCH(QSize, texture);
    TGSuperText o;
    o.FinishLoading();
    o.SetBounds(0, 0, 400, 120);
    o.SetShadowDepth(depth);
    o.SetCaption(QString(captionLength, QLatin1Char('M')));
    o.Font()->SetSize(points);
    if (texture.isValid()) {
        o.SetSurfaceType(stBrushImage);
        const TBitmap tall = solidBitmap(texture, Qt::darkGreen);
        o.SetImage(&tall);
    }
    QElapsedTimer timer;
    timer.start();
    const QImage image = paintObject(o);
    QVERIFY(!image.isNull());
    QVERIFY(o.Width() <= TGGraphicControl::MaxCoordinate && o.Height() <= TGGraphicControl::MaxCoordinate);
    QImage page(2550, 3300, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    TReport report(&p, 300, 300);
    o.PrintOnReport(report, 0.5, 0.5);
    p.end();
    QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(o.ShadowDepth(), depth);  // stored as given
}

void SuperTextTest::dialogRefusesEmptyText()
{
    int boxes = 0;
    SetDialogRunner([&boxes](QDialog &d) {
        if (d.windowTitle() == QStringLiteral("Information"))
            ++boxes;
        return int(QDialog::Accepted);
    });
    TSuperTextProperties dialog;
    TGSuperText o;
    dialog.TakeObject(o);
    dialog.CaptionText->setText(QString());
    dialog.OKButtonClick();
    QCOMPARE(boxes, 1);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    dialog.CaptionText->setText(QStringLiteral("Gold"));
    QCOMPARE(dialog.Preview->Caption(), QStringLiteral("Gold"));
    dialog.OKButtonClick();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    SetDialogRunner(nullptr);

    // Font size buttons: steps of 5 between 10 and 150.
    dialog.Preview->Font()->SetSize(12);
    dialog.FontSizeDownClick();
    QCOMPARE(dialog.Preview->Font()->Size(), 7);
    dialog.FontSizeDownClick();
    QCOMPARE(dialog.Preview->Font()->Size(), 7);
    dialog.Preview->Font()->SetSize(148);
    dialog.FontSizeUpClick();
    QCOMPARE(dialog.Preview->Font()->Size(), 153);
    dialog.FontSizeUpClick();
    QCOMPARE(dialog.Preview->Font()->Size(), 153);
}

void SuperTextTest::symbolColumns_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("columns");
    QTest::newRow("10") << 10 << 14;
    QTest::newRow("11") << 11 << 10;
    QTest::newRow("30") << 30 << 8;
    QTest::newRow("31") << 31 << 6;
    QTest::newRow("50") << 50 << 4;
    QTest::newRow("60") << 60 << 3;
    QTest::newRow("72") << 72 << 2;
}

void SuperTextTest::symbolColumns()
{
    QFETCH(int, points);
    QFETCH(int, columns);
    TSuperTextGetSymbol selector;
    selector.SetGridPointSize(points);
    QCOMPARE(selector.SymbolGrid->columnCount(), columns);
    QCOMPARE(TSuperTextGetSymbol::PreferredFont({"Symbol", "Webdings", "Wingdings 2"}), 2);
    QCOMPARE(TSuperTextGetSymbol::PreferredFont({"Symbol"}), 0);
}

void SuperTextTest::pdfImages_data()
{
    QTest::addColumn<int>("surface");
    QTest::addColumn<int>("images");
    QTest::newRow("normal") << int(stNormal) << 0;
    QTest::newRow("gradient") << int(stGradientFill) << 0;
    QTest::newRow("transparent") << int(stBrushTransparent) << 0;
    QTest::newRow("texture") << int(stBrushImage) << 1;
}

void SuperTextTest::pdfImages()
{
    if (QStandardPaths::findExecutable("pdfimages").isEmpty())
        QSKIP("pdfimages (poppler-utils) is not installed");
    QFETCH(int, surface);
    QFETCH(int, images);
    QTemporaryDir dir;
    TGSuperText o;
    o.SetBounds(0, 0, 200, 60);
    o.SetSurfaceType(TSurfaceType(surface));
    const TBitmap wood = solidBitmap(QSize(16, 16), Qt::darkYellow);
    o.SetImage(&wood);
    o.SetShadowDepth(3);
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(300);
        QPainter p(&writer);
        TReport report(&p, 300, 300);
        for (int i = 0; i < 30; ++i)
            o.PrintOnReport(report, 0.3 + (i % 3) * 2.6, 0.5 + (i / 3) * 1.0);
    }
    QCOMPARE(imageObjects(pdf), images);
}

void SuperTextTest::printedShadowFollowsGlyphs_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("depth");
    QTest::newRow("down right 3") << int(sdDownRight) << 3;
    QTest::newRow("down left 4") << int(sdDownLeft) << 4;
    QTest::newRow("right 6") << int(sdRight) << 6;
}

void SuperTextTest::printedShadowFollowsGlyphs()
{
    QFETCH(int, orientation);
    QFETCH(int, depth);
    // At three page pixels a screen pixel: the printed shadow alone against
    // the printed glyphs alone, moved by the shadow's offset.
    auto print = [](TGSuperText &o) {
        QImage page(1000, 360, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        TReport report(&p, 288, 288);
        o.PrintOnReport(report, 0, 0);
        return page;
    };
    TGSuperText shadow, glyphs;
    for (TGSuperText *o : {&shadow, &glyphs}) {
        o->SetBounds(0, 0, 300, 100);
        o->SetCaption(QStringLiteral("Shadow"));
        o->Font()->SetColor(cl::Black);
    }
    shadow.SetSurfaceType(stBrushTransparent);
    shadow.SetOutlineStyle(psClear);
    shadow.SetShadowcolor(cl::Black);
    shadow.SetShadowOrientation(TShadowOrientation(orientation));
    shadow.SetShadowDepth(depth);
    glyphs.SetSurfaceType(stNormal);
    glyphs.SetOutlineStyle(psClear);
    glyphs.SetShadowOrientation(sdNone);
    const QImage a = print(shadow), b = print(glyphs);
    const QPoint shift = (shadow.ShadowPosition() - glyphs.TextPosition()) * 3;
    auto dark = [](const QImage &image, int x, int y) {
        return image.rect().contains(x, y) && qGray(image.pixel(x, y)) < 128;
    };
    int inked = 0, mismatched = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            inked += dark(a, x, y);
            mismatched += dark(a, x, y) != dark(b, x - shift.x(), y - shift.y());
        }
    QVERIFY(inked > 5000);
    QVERIFY2(mismatched < inked / 50, qPrintable(QStringLiteral("%1 of %2").arg(mismatched).arg(inked)));
}

void SuperTextTest::textureBrowserStart_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<bool>("lastExists");
    QTest::addColumn<QString>("expected");  // relative to the program folder
    QTest::newRow("last file") << QStringList{"bmbrush"} << true << "last/wood.bmp";
    QTest::newRow("last file gone: bmbrush") << QStringList{"bmbrush", "Textures"} << false << "bmbrush";
    QTest::newRow("no bmbrush: Textures") << QStringList{"Textures"} << false << "Textures";
}

void SuperTextTest::textureBrowserStart()
{
    QFETCH(QStringList, folders);
    QFETCH(bool, lastExists);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QDir root(dir.path());
    for (const QString &f : folders)
        root.mkpath(f);
    const QString last = root.filePath(QStringLiteral("last/wood.bmp"));
    if (lastExists) {
        root.mkpath(QStringLiteral("last"));
        QFile f(last);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    AppPaths::SetProgramDirOverride(dir.path());
    const QString start = TSuperTextBrushImageBrowser::StartPath(last);
    AppPaths::SetProgramDirOverride(QString());
    QCOMPARE(QDir::cleanPath(start), QDir::cleanPath(root.filePath(expected)));
}

void SuperTextTest::textureBrowserLoads()
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("wood.bmp"));
    QImage image(12, 7, QImage::Format_RGB32);
    image.fill(Qt::darkYellow);
    QVERIFY(image.save(good, "BMP"));
    const QString bad = dir.filePath(QStringLiteral("broken.bmp"));
    {
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("BM not a bitmap");
    }
    int errors = 0;
    SetDialogRunner([&errors](QDialog &) {
        ++errors;
        return int(QDialog::Accepted);
    });
    TSuperTextBrushImageBrowser browser;
    QVERIFY(browser.LoadFile(good));
    QCOMPARE(browser.Example->Image()->Size(), QSize(12, 7));
    QCOMPARE(errors, 0);
    QVERIFY(!browser.LoadFile(bad));
    QVERIFY(browser.Example->Image()->IsEmpty());
    QCOMPARE(browser.FileName(), QString());
    QCOMPARE(errors, 1);
    SetDialogRunner(nullptr);
}

QTEST_MAIN(SuperTextTest)
#include "tst_supertext.moc"
