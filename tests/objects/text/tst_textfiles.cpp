#include "TextTestSupport.h"

#include "controls/Fonts.h"
#include "objects/Register.h"
#include "objects/text/Gpclabel.h"
#include "objects/text/Gplabel.h"
#include "objects/text/Gpslabel.h"
#include "print/engine/Report.h"
#include "storage/Stream.h"

#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray writeRoot(const TComponent &c)
{
    PropertyWriter w;
    w.writeRootComponent(c);
    return w.data();
}

// Reads one root record onto the panel and finishes it, as the label file code does.
TGBaseLabel *readOne(const QByteArray &record, TGBasePanel &panel)
{
    PropertyReader r(record + '\0');
    QList<TComponent *> read;
    r.readRootComponents(nullptr, &panel, [&](TComponent *c) { read.append(c); });
    if (read.size() != 1)
        return nullptr;
    auto *o = dynamic_cast<TGBaseLabel *>(read.first());
    if (o)
        o->FinishLoading();
    return o;
}

// Names of the property records written for an object, in order.
QList<QByteArray> writtenNames(const TPersistent &object)
{
    PropertyWriter w;
    w.writeProperties(object);
    PropertyReader r(w.data());
    QList<QByteArray> names;
    while (!r.atEnd()) {
        names << r.readShortName();
        r.skipValue();
    }
    return names;
}

// A rotated object is always left-aligned (the angle setter sees to it, also
// while reading), so only an upright one gets another alignment.
void setNonDefaults(TGBaseLabel &o, int angle, TAlignment alignment)
{
    o.SetDepthHighlight(2);
    o.SetDepthShadow(3);
    o.SetDirectionHighlight(hdUp);
    o.SetDirectionShadow(sdLeft);
    o.SetcolorHighlight(cl::Navy);
    o.SetcolorShadow(0x123456);
    o.SetAngle(angle);
    o.SetAlignment(alignment);
    o.Font()->SetName(QStringLiteral("Times New Roman"));
    o.Font()->SetSize(14);
    o.Font()->SetColor(cl::Maroon);
    o.Font()->SetStyle((1u << fsBold) | (1u << fsItalic));
    o.SetTransparent(false);
    o.SetBackColor(0x00ABCDEF);
    o.SetBorderStyle(bsSingle);
    o.SetLocked(true);
    o.RecalculateLayout();
}

bool isDark(QRgb c) { return qGray(c) < 100; }
bool isYellow(QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 80; }

}  // namespace

class TestTextFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void roundTrip_data();
    void roundTrip();
    void defaultsNotWritten_data();
    void defaultsNotWritten();
    void storedOrder();
    void readingRestartsTheCounter();
    void angleFromFileMustBeAQuarterTurn();

    void printGeometry_data();
    void printGeometry();
    void printRotated();
    void printKeepsTextInsideTheObject_data();
    void printKeepsTextInsideTheObject();
    void printNothingWhenEmpty();
    void printToPdf_data();
    void printToPdf();

private:
    TGBasePanel *mPanel = nullptr;
};

void TestTextFiles::initTestCase()
{
    InstallFontSubstitutions();
    RegisterLabelClasses();
}

void TestTextFiles::init()
{
    mPanel = new TGBasePanel();
    mPanel->resize(600, 400);
}

void TestTextFiles::cleanup()
{
    delete mPanel;
    mPanel = nullptr;
}

void TestTextFiles::roundTrip_data()
{
    QTest::addColumn<QByteArray>("className");
    QTest::newRow("text") << QByteArray("TGPLabel");
    QTest::newRow("counter") << QByteArray("TGCounterLabel");
    QTest::newRow("symbol") << QByteArray("TGSymbolLabel");
}

void TestTextFiles::roundTrip()
{
    QFETCH(QByteArray, className);
    auto *o = dynamic_cast<TGBaseLabel *>(TClassRegistry::instance().Create(className, nullptr));
    QVERIFY(o);
    o->SetParentComponent(mPanel);
    o->FinishLoading();
    o->SetName(QStringLiteral("Special3"));
    o->SetBounds(12, 34, 150, 40);
    const bool symbol = className == "TGSymbolLabel";
    const bool counter = className == "TGCounterLabel";
    const TAlignment alignment = className == "TGPLabel" ? taRightJustify : taLeftJustify;
    setNonDefaults(*o, counter ? 270 : 0, alignment);
    if (auto *c = dynamic_cast<TGCounterLabel *>(o)) {
        c->SetTextBefore(QStringLiteral("No. "));
        c->SetTextAfter(QStringLiteral(" €"));
        c->SetStartingnumber(-77);
        c->SetRepeatEach(3);
        c->SetLeadingZeros(4);
    } else if (symbol) {
        o->SetCaption(QStringLiteral("J"));
        o->Font()->SetName(QStringLiteral("Wingdings"));
        o->Font()->SetSize(30);
        o->RecalculateLayout();
        o->CheckBoundsChanged();
    } else {
        o->SetCaption(QStringLiteral("Grüße, Ünïcödé?"));
    }
    const QByteArray first = writeRoot(*o);

    TGBaseLabel *copy = readOne(first, *mPanel);
    QVERIFY(copy);
    QCOMPARE(copy->ClassName(), className);
    QCOMPARE(copy->Name(), QStringLiteral("Special3"));
    QCOMPARE(copy->geometry(), o->geometry());
    QCOMPARE(copy->Alignment(), alignment);
    QCOMPARE(copy->DepthHighlight(), 2);
    QCOMPARE(copy->DepthShadow(), 3);
    QCOMPARE(copy->DirectionHighlight(), hdUp);
    QCOMPARE(copy->DirectionShadow(), sdLeft);
    QCOMPARE(copy->ShadowOffset(), QPoint(-3, 0));  // recomputed by the setters
    QCOMPARE(copy->HighlightOffset(), QPoint(0, -2));
    QCOMPARE(copy->colorHighlight(), cl::Navy);
    QCOMPARE(copy->colorShadow(), TColor(0x123456));
    QCOMPARE(copy->Angle(), counter ? 270 : 0);
    QCOMPARE(copy->Caption(), o->Caption());
    QCOMPARE(copy->Font()->Name(), o->Font()->Name());
    QCOMPARE(copy->Font()->Height(), o->Font()->Height());
    QCOMPARE(copy->Font()->Color(), cl::Maroon);
    QCOMPARE(copy->Font()->Style(), o->Font()->Style());
    QVERIFY(!copy->Transparent());
    QCOMPARE(copy->BackColor(), TColor(0x00ABCDEF));
    QCOMPARE(copy->BorderStyle(), bsSingle);
    QVERIFY(copy->Locked());
    if (auto *c = dynamic_cast<TGCounterLabel *>(copy)) {
        QCOMPARE(c->TextBefore(), QStringLiteral("No. "));
        QCOMPARE(c->TextAfter(), QStringLiteral(" €"));
        QCOMPARE(c->Startingnumber(), -77);
        QCOMPARE(c->RepeatEach(), 3);
        QCOMPARE(c->LeadingZeros(), 4);
    }
    QCOMPARE(writeRoot(*copy).toHex(' '), first.toHex(' '));
}

void TestTextFiles::defaultsNotWritten_data()
{
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QList<QByteArray>>("written");
    const QList<QByteArray> base = {"Left", "Top", "Width", "Height", "Caption", "Font.Color", "Font.Height",
                                    "Font.Name", "Transparent", "BackColor", "BorderStyle"};
    QTest::newRow("text") << QByteArray("TGPLabel") << base;
    QTest::newRow("symbol") << QByteArray("TGSymbolLabel") << base;
    // The three integers have no default; empty texts are left out.
    QTest::newRow("counter") << QByteArray("TGCounterLabel")
                             << base + QList<QByteArray> {"Startingnumber", "RepeatEach", "LeadingZeros"};
}

void TestTextFiles::defaultsNotWritten()
{
    QFETCH(QByteArray, className);
    QFETCH(QList<QByteArray>, written);
    std::unique_ptr<TComponent> c(TClassRegistry::instance().Create(className, nullptr));
    auto *o = dynamic_cast<TGBaseLabel *>(c.get());
    QVERIFY(o);
    o->SetBounds(5, 6, 142, 33);
    QCOMPARE(writtenNames(*o), written);
}

void TestTextFiles::storedOrder()
{
    TGCounterLabel c;
    setNonDefaults(c, 90, taCenter);
    c.SetTextBefore(QStringLiteral("a"));
    c.SetTextAfter(QStringLiteral("b"));
    const QList<QByteArray> names = writtenNames(c);
    const QList<QByteArray> own = {"Alignment", "DepthHighlight", "DepthShadow", "DirectionHighlight",
                                   "DirectionShadow", "colorHighlight", "colorShadow", "Angle", "Caption",
                                   "Font.Color", "Font.Height", "Font.Name", "Font.Style", "Transparent",
                                   "BackColor", "BorderStyle", "TextBefore", "TextAfter", "Startingnumber",
                                   "RepeatEach", "LeadingZeros"};
    const qsizetype at = names.indexOf("Alignment");
    QVERIFY(at > 0);
    QCOMPARE(names.mid(at), own);
    QVERIFY(names.indexOf("Locked") < at);
}

void TestTextFiles::readingRestartsTheCounter()
{
    auto *c = PlaceOn<TGCounterLabel>(*mPanel, 0, 0, 142, 33);
    c->SetStartingnumber(41);
    c->AdvanceLabel();
    QCOMPARE(c->CurrentValue(), 42);
    auto *copy = dynamic_cast<TGCounterLabel *>(readOne(writeRoot(*c), *mPanel));
    QVERIFY(copy);
    QCOMPARE(copy->CurrentValue(), 41);
    PaintObject(copy);
    QCOMPARE(copy->Caption(), QStringLiteral("41"));
}

void TestTextFiles::angleFromFileMustBeAQuarterTurn()
{
    auto *l = PlaceOn<TGPLabel>(*mPanel, 0, 0, 142, 33);
    l->SetAngle(90);
    QByteArray record = writeRoot(*l);
    const QByteArray angle90 = QByteArray("\x05" "Angle", 6) + QByteArray::fromHex("025A");
    QVERIFY(record.contains(angle90));
    record.replace(angle90, QByteArray("\x05" "Angle", 6) + QByteArray::fromHex("022D"));
    TGBaseLabel *copy = readOne(record, *mPanel);
    QVERIFY(copy);
    QCOMPARE(copy->Angle(), 0);
}

void TestTextFiles::printGeometry_data()
{
    QTest::addColumn<double>("dpi");
    QTest::newRow("300 dpi") << 300.0;
    QTest::newRow("600 dpi") << 600.0;
}

void TestTextFiles::printGeometry()
{
    QFETCH(double, dpi);
    auto *l = PlaceOn<TGPLabel>(*mPanel, 48, 24, 142, 33);
    l->SetCaption(QStringLiteral("Hi"));
    l->SetTransparent(false);
    l->SetBackColor(cl::Yellow);
    l->SetBorderStyle(bsSingle);
    l->RecalculateLayout();
    QCOMPARE(l->size(), QSize(142, 20));

    const int side = int(4 * dpi);
    QImage page(side, side, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    TReport report(&painter, dpi, dpi);
    l->PrintOnReport(report, 1.0, 0.5);
    painter.end();

    // Inches: (1 + 48/96, 0.5 + 24/96) to (1 + 190/96, 0.5 + 44/96).
    const QRect target = report.RectToDevice(1.5, 0.75, 1.0 + 190.0 / 96, 0.5 + 44.0 / 96);
    QCOMPARE(target.topLeft(), QPoint(int(1.5 * dpi), int(0.75 * dpi)));
    const QRect painted = inkBox(page, [](QRgb c) { return c != qRgb(255, 255, 255); });
    QVERIFY(qAbs(painted.left() - target.left()) <= 1);
    QVERIFY(qAbs(painted.top() - target.top()) <= 1);
    QVERIFY(qAbs(painted.right() - target.right()) <= 1);
    QVERIFY(qAbs(painted.bottom() - target.bottom()) <= 1);
    // Frame, background, and the text at the left of the frame.
    QVERIFY(isDark(page.pixel(target.left() + 1, target.center().y())));
    QVERIFY(isYellow(page.pixel(target.right() - int(dpi / 20), target.center().y())));
    const QRect text = inkBox(page.copy(target.adjusted(int(dpi / 24), int(dpi / 24), -int(dpi / 24), -int(dpi / 24))),
                              isDark);
    QVERIFY(!text.isEmpty());
    QVERIFY(text.width() < target.width() / 3);
    // The text keeps its size relative to the frame whatever the resolution.
    QVERIFY(qAbs(text.height() - 9.0 / 96 * dpi) < dpi / 20);
}

void TestTextFiles::printRotated()
{
    auto *l = PlaceOn<TGPLabel>(*mPanel, 0, 0, 142, 33);
    l->SetCaption(QStringLiteral("Rotated"));
    l->SetAngle(90);
    l->RecalculateLayout();
    QImage page(600, 900, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    TReport report(&painter, 300, 300);
    l->PrintOnReport(report, 0.5, 0.5);
    painter.end();
    const QRect target = report.RectToDevice(0.5, 0.5, 0.5 + l->Width() / 96.0, 0.5 + l->Height() / 96.0);
    const QRect ink = inkBox(page, isDark);
    QVERIFY(!ink.isEmpty());
    QVERIFY(target.adjusted(-1, -1, 1, 1).contains(ink));
    QVERIFY(ink.height() > 3 * ink.width());
}

void TestTextFiles::printKeepsTextInsideTheObject_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("shadow");
    QTest::newRow("fits") << QStringLiteral("Short") << int(taLeftJustify) << 0;
    QTest::newRow("fits with shadow") << QStringLiteral("Short") << int(taLeftJustify) << 3;
    QTest::newRow("too long, left") << QStringLiteral("WWWWWWWWWWWWWWWW") << int(taLeftJustify) << 0;
    QTest::newRow("too long, right") << QStringLiteral("WWWWWWWWWWWWWWWW") << int(taRightJustify) << 0;
    QTest::newRow("too long, centred") << QStringLiteral("WWWWWWWWWWWWWWWW") << int(taCenter) << 0;
    QTest::newRow("too long, shadow") << QStringLiteral("WWWWWWWWWWWWWWWW") << int(taLeftJustify) << 4;
}

void TestTextFiles::printKeepsTextInsideTheObject()
{
    QFETCH(QString, caption);
    QFETCH(int, alignment);
    QFETCH(int, shadow);
    auto *l = PlaceOn<TGPLabel>(*mPanel, 0, 0, 60, 33);
    l->SetCaption(caption);
    l->SetAlignment(TAlignment(alignment));
    l->SetDepthShadow(shadow);
    l->SetDirectionShadow(shadow ? sdRight : sdNone);
    l->RecalculateLayout();
    QCOMPARE(l->Width(), 60);

    QImage page(900, 600, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    TReport report(&painter, 300, 300);
    l->PrintOnReport(report, 0.5, 0.5);
    painter.end();
    // A shadow's rectangle lies its depth to the right of the text's.
    const QRect target = report.RectToDevice(0.5, 0.5, 0.5 + (l->Width() + shadow) / 96.0,
                                             0.5 + l->Height() / 96.0);
    const QRect ink = inkBox(page, [](QRgb c) { return c != qRgb(255, 255, 255); });
    QVERIFY(!ink.isEmpty());
    QVERIFY2(target.adjusted(-1, -1, 1, 1).contains(ink),
             qPrintable(QStringLiteral("ink %1,%2 %3x%4 outside %5,%6 %7x%8")
                            .arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())
                            .arg(target.x()).arg(target.y()).arg(target.width()).arg(target.height())));
}

void TestTextFiles::printNothingWhenEmpty()
{
    auto *l = PlaceOn<TGPLabel>(*mPanel, 0, 0, 142, 33);
    l->SetTransparent(false);
    l->SetLoading(true);  // as a file could leave it
    l->SetBounds(0, 0, 0, 20);
    l->SetLoading(false);
    QCOMPARE(l->Width(), 0);
    QImage page(300, 300, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    TReport report(&painter, 300, 300);
    l->PrintOnReport(report, 0, 0);
    painter.end();
    QVERIFY(inkBox(page, [](QRgb c) { return c != qRgb(255, 255, 255); }).isEmpty());
}

void TestTextFiles::printToPdf_data()
{
    QTest::addColumn<int>("resolution");
    QTest::newRow("300 dpi") << 300;
    QTest::newRow("1200 dpi") << 1200;
}

void TestTextFiles::printToPdf()
{
    QFETCH(int, resolution);
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftotext.isEmpty() || pdftoppm.isEmpty())
        QSKIP("poppler-utils are not installed");
    auto *l = PlaceOn<TGPLabel>(*mPanel, 48, 24, 142, 33);
    l->SetCaption(QStringLiteral("Quillmark"));
    l->SetBorderStyle(bsSingle);
    l->RecalculateLayout();
    auto *c = PlaceOn<TGCounterLabel>(*mPanel, 48, 96, 142, 33);
    c->SetTextBefore(QStringLiteral("No. "));
    c->SetStartingnumber(7);
    c->SetLeadingZeros(3);
    c->RestartSequence();  // as every print run does first

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("label.pdf"));
    {
        QPdfWriter writer(file);
        writer.setResolution(resolution);
        writer.setPageSize(QPageSize(QPageSize::Letter));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        TReport report(&painter, resolution, resolution);
        l->PrintOnReport(report, 1.0, 0.5);
        c->PrintOnReport(report, 1.0, 0.5);
    }
    QProcess text;
    text.start(pdftotext, {file, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(words.contains(QStringLiteral("Quillmark")), qPrintable(words));
    QVERIFY2(words.contains(QStringLiteral("No. 007")), qPrintable(words));

    // Rendered back at 300 dpi the frame lies at the inches it was printed at.
    QProcess render;
    render.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                            QStringLiteral("-singlefile"), file, dir.filePath(QStringLiteral("page"))});
    QVERIFY(render.waitForFinished(30000));
    QImage page(dir.filePath(QStringLiteral("page.png")));
    QVERIFY(!page.isNull());
    page = page.convertToFormat(QImage::Format_RGB32);
    const QRect frame(QPoint(450, 225), QPoint(1.0 * 300 + 190 * 300 / 96 - 1, 0.5 * 300 + 44 * 300 / 96 - 1));
    const QRect box = inkBox(page.copy(0, 0, 1500, 400), isDark);
    QVERIFY2(qAbs(box.left() - frame.left()) <= 2 && qAbs(box.top() - frame.top()) <= 2
                 && qAbs(box.right() - frame.right()) <= 3 && qAbs(box.bottom() - frame.bottom()) <= 3,
             qPrintable(QStringLiteral("frame at %1,%2 %3x%4").arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height())));
}

QTEST_MAIN(TestTextFiles)
#include "tst_textfiles.moc"
