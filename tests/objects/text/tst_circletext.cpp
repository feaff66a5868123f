// Circle text: letter places and turns over sweeps, starting vectors and
// letter counts, drawing and printing, stored bytes, the properties dialog.

#include "TextTestSupport.h"

#include "controls/DialogSupport.h"
#include "controls/Fonts.h"
#include "controls/MessageBoxes.h"
#include "design/Gqmpanel32.h"
#include "objects/Register.h"
#include "objects/text/Gpcirct.h"
#include "objects/text/Gpmlabel.h"
#include "objects/text/TextFont.h"
#include "objects/text/gpcirctprop.h"
#include "print/engine/Report.h"
#include "storage/Stream.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace {

bool isInk(QRgb c) { return qGray(c) < 160; }

QByteArray writeRoot(const TComponent &c)
{
    PropertyWriter w;
    w.writeRootComponent(c);
    return w.data();
}

TGPCircleText *readOne(const QByteArray &record, TGBasePanel &panel)
{
    PropertyReader r(record + '\0');
    QList<TComponent *> read;
    r.readRootComponents(nullptr, &panel, [&](TComponent *c) { read.append(c); });
    auto *o = read.size() == 1 ? dynamic_cast<TGPCircleText *>(read.first()) : nullptr;
    if (o)
        o->FinishLoading();
    return o;
}

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

// x, y, rotation (tenths) and whether the letter is drawn.
using Place = QList<int>;

}  // namespace

class TestCircleText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void letterPlaces_data();
    void letterPlaces();
    void mirrorNeedsAngledLetters();
    void drawsLettersAtTheirPlaces();
    void printsWhereThePanelDraws();
    void storedBytes();
    void badFileValues_data();
    void badFileValues();
    void menuCommands();
    void cloneKeepsEverything_data();
    void cloneKeepsEverything();

    void dialogLoadsAndEditsThePreview();
    void dialogFontSizeAndZoomBounds();
    void dialogRefusesEmptyText();
    void dialogOkAndCancel();

private:
    TGBasePanel *mPanel = nullptr;
};

void TestCircleText::initTestCase()
{
    InstallFontSubstitutions();
    RegisterLabelClasses();
}

void TestCircleText::init()
{
    mPanel = new TGBasePanel();
    mPanel->resize(600, 400);
}

void TestCircleText::cleanup()
{
    SetDialogRunner({});
    SetFontPicker({});
    SetColorPicker({});
    delete mPanel;
    mPanel = nullptr;
}

void TestCircleText::letterPlaces_data()
{
    QTest::addColumn<int>("degrees");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("mirror");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("H");          // cell height; the average width is 10
    QTest::addColumn<QString>("letters");  // in drawing order
    QTest::addColumn<QList<Place>>("places");  // of the letters listed, by index
    QTest::addColumn<QList<int>>("indexes");

    // 200 x 200, H 20: centre (100, 100), r = 100 - 4 - 20 = 76.
    QTest::newRow("one letter, half circle from the top: at the end")
        << int(dg180) << int(dg90) << "A" << false << QSize(200, 200) << 20 << "A"
        << QList<Place>{{10, 176, 1800, 1}} << QList<int>{0};
    QTest::newRow("five letters, full circle from the left: steps of 72")
        << int(dg360) << int(dg180) << "ABCDE" << false << QSize(200, 200) << 20 << "ABCDE"
        << QList<Place>{{24, 100, 900, 1}, {77, 28, 180, 1}, {77, 172, 1620, 1}} << QList<int>{0, 1, 4};
    QTest::newRow("six letters, full circle: 355 degrees")
        << int(dg360) << int(dg180) << "ABCDEF" << false << QSize(200, 200) << 20 << "ABCDEF"
        << QList<Place>{{24, 100, 900, 1}, {67, 168, 1542, 1}} << QList<int>{0, 5};
    QTest::newRow("quarter circle from the right, last letter at the bottom")
        << int(dg90) << int(dg360) << "ABC" << false << QSize(200, 100) << 20 << "ABC"
        << QList<Place>{{66, 20, 2700, 1}, {50, 60, 2250, 1}, {10, 76, 1800, 1}} << QList<int>{0, 1, 2};
    QTest::newRow("mirrored full circle from the top: reversed and turned")
        << int(dg360) << int(dg90) << "ABCD" << true << QSize(200, 200) << 20 << "DCBA"
        << QList<Place>{{100, 4, 1800, 1}, {196, 100, 900, 1}} << QList<int>{0, 1};
    QTest::newRow("three-quarter circle from the bottom")
        << int(dg270) << int(dg270) << "AB" << false << QSize(200, 200) << 20 << "AB"
        << QList<Place>{{100, 176, 1800, 1}, {176, 100, 2700, 1}} << QList<int>{0, 1};
    // 142 x 33, H 40: r = 16 - 4 - 40 = -28, every point opposite its angle.
    QTest::newRow("negative radius: opposite points, outside ones skipped")
        << int(dg360) << int(dg180) << "ABCDE" << false << QSize(142, 33) << 40 << "ABCDE"
        << QList<Place>{{99, 16, 900, 1}, {80, 43, 180, 0}} << QList<int>{0, 1};
    QTest::newRow("twenty letters: tenths rounded half to even")
        << int(dg360) << int(dg180) << "ABCDEFGHIJKLMNOPQRST" << false << QSize(200, 200) << 20
        << "ABCDEFGHIJKLMNOPQRST" << QList<Place>{{28, 77, 722, 1}, {55, 39, 368, 1}, {30, 129, 1128, 1}}
        << QList<int>{1, 3, 19};
    QTest::newRow("forty letters from the right")
        << int(dg360) << int(dg360) << QString(40, QLatin1Char('x')) << false << QSize(200, 200) << 20
        << QString(40, QLatin1Char('x')) << QList<Place>{{176, 100, 2700, 1}, {174, 82, 2839, 1}}
        << QList<int>{0, 39};
}

void TestCircleText::letterPlaces()
{
    QFETCH(int, degrees);
    QFETCH(int, start);
    QFETCH(QString, caption);
    QFETCH(bool, mirror);
    QFETCH(QSize, size);
    QFETCH(int, H);
    QFETCH(QString, letters);
    QFETCH(QList<Place>, places);
    QFETCH(QList<int>, indexes);
    auto *o = PlaceOn<TGPCircleText>(*mPanel, 0, 0, size.width(), size.height());
    o->SetDegrees(TDegrees(degrees));
    o->SetStartingVector(TDegrees(start));
    o->SetCaption(caption);
    o->SetMirror(mirror);
    const std::vector<TCircleLetter> got = o->Letters(H, 10);
    QCOMPARE(int(got.size()), int(caption.size()));
    QString order;
    for (const TCircleLetter &l : got)
        order += l.letter;
    QCOMPARE(order, letters);
    for (int k = 0; k < indexes.size(); ++k) {
        const TCircleLetter &l = got.at(size_t(indexes.at(k)));
        const Place place{l.x, l.y, l.rotation, int(l.inside)};
        QCOMPARE(place, places.at(k));
    }
}

void TestCircleText::mirrorNeedsAngledLetters()
{
    auto *o = PlaceOn<TGPCircleText>(*mPanel, 0, 0, 200, 200);
    o->SetCaption(QStringLiteral("ABCD"));
    o->SetDrawLettersAngled(false);
    const std::vector<TCircleLetter> plain = o->Letters(20, 10);
    o->SetMirror(true);
    const std::vector<TCircleLetter> mirrored = o->Letters(20, 10);
    for (size_t i = 0; i < plain.size(); ++i) {
        QCOMPARE(mirrored[i].letter, plain[i].letter);
        QCOMPARE(QPoint(mirrored[i].x, mirrored[i].y), QPoint(plain[i].x, plain[i].y));
    }
    QCOMPARE(o->Geometry(20, 10).r, 76);
    o->SetDrawLettersAngled(true);
    QCOMPARE(o->Geometry(20, 10).r, 96);  // inward letters need no room for their height
    o->SetCaption(QString());
    QVERIFY(o->Letters(20, 10).empty());
}

void TestCircleText::drawsLettersAtTheirPlaces()
{
    auto *o = PlaceOn<TGPCircleText>(*mPanel, 0, 0, 200, 200);
    o->Font()->SetSize(20);
    o->SetCaption(QStringLiteral("I"));
    o->SetDegrees(dg180);
    o->SetStartingVector(dg90);
    const QFontMetrics fm(o->CanvasFont());
    for (const bool angled : {false, true}) {
        o->SetDrawLettersAngled(angled);
        const std::vector<TCircleLetter> letters = o->Letters();
        QCOMPARE(int(letters.size()), 1);
        const TCircleLetter l = letters.front();
        QVERIFY(l.inside);
        QCOMPARE(l.rotation, 1800);
        const QRect ink = inkBox(PaintObject(o), isInk);
        QVERIFY(!ink.isEmpty());
        QVERIFY2(qAbs(ink.center().x() - l.x) <= 2, qPrintable(QString::number(ink.center().x())));
        if (angled)  // upside down: the letter hangs below its point
            QVERIFY2(qAbs(ink.top() - (l.y + fm.descent())) <= 2, qPrintable(QString::number(ink.top())));
        else
            QVERIFY2(qAbs(ink.bottom() + 1 - (l.y - fm.descent())) <= 2, qPrintable(QString::number(ink.bottom())));
    }
    // A letter whose point lies outside the object is not drawn at all.
    o->SetBounds(0, 0, 50, 30);
    o->SetDegrees(dg90);
    QVERIFY(!o->Letters().front().inside);
    QVERIFY(inkBox(PaintObject(o), isInk).isEmpty());
}

void TestCircleText::printsWhereThePanelDraws()
{
    auto *o = PlaceOn<TGPCircleText>(*mPanel, 24, 48, 142, 120);
    o->SetBorderStyle(bsSingle);
    const QImage screen = PaintObject(o);
    const QRect letters = inkBox(screen.copy(2, 2, 138, 116), isInk).translated(2, 2);
    QVERIFY(!letters.isEmpty());

    QImage page(1200, 1200, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        TReport report(&painter, 288, 288);
        o->PrintOnReport(report, 1.0, 0.5);
    }
    const QPoint origin(288 + 24 * 3, 144 + 48 * 3);
    const QRect frame = inkBox(page, isInk);
    QVERIFY2(qAbs(frame.left() - origin.x()) <= 2 && qAbs(frame.top() - origin.y()) <= 2
                 && qAbs(frame.width() - 142 * 3) <= 3 && qAbs(frame.height() - 120 * 3) <= 3,
             qPrintable(QStringLiteral("frame %1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
    const QRect printed = inkBox(page.copy(QRect(origin, QSize(142 * 3, 120 * 3)).adjusted(6, 6, -6, -6)), isInk)
                              .translated(origin + QPoint(6, 6));
    const QRect expected(origin + letters.topLeft() * 3, letters.size() * 3);
    QVERIFY2(qAbs(printed.left() - expected.left()) <= 5 && qAbs(printed.right() - expected.right()) <= 5
                 && qAbs(printed.top() - expected.top()) <= 5 && qAbs(printed.bottom() - expected.bottom()) <= 5,
             qPrintable(QStringLiteral("printed %1,%2 %3x%4, panel %5,%6 %7x%8")
                            .arg(printed.x()).arg(printed.y()).arg(printed.width()).arg(printed.height())
                            .arg(expected.x()).arg(expected.y()).arg(expected.width()).arg(expected.height())));
}

void TestCircleText::storedBytes()
{
    auto *o = PlaceOn<TGPCircleText>(*mPanel, 12, 34, 142, 33);
    const QList<QByteArray> all = {"Left", "Top", "Width", "Height", "StartingVector", "Degrees", "Font.Color",
                                   "Font.Height", "Font.Name", "Font.Style", "Mirror", "DrawLettersAngled",
                                   "BorderStyle", "ControlTransparent", "BGColor", "Caption"};
    QCOMPARE(writtenNames(*o), all);
    o->SetCaption(QString());
    QCOMPARE(writtenNames(*o), all.mid(0, all.size() - 1));

    o->SetName(QStringLiteral("Special4"));
    o->SetCaption(QStringLiteral("Grüße rund herum"));
    o->SetStartingVector(dg270);
    o->SetDegrees(dg90);
    o->Font()->SetName(QStringLiteral("Times New Roman"));
    o->Font()->SetSize(18);
    o->Font()->SetColor(cl::Navy);
    o->SetMirror(true);
    o->SetDrawLettersAngled(false);
    o->SetBorderStyle(bsSingle);
    o->SetControlTransparent(false);
    o->SetBGColor(0x123456);
    const QByteArray first = writeRoot(*o);
    TGPCircleText *copy = readOne(first, *mPanel);
    QVERIFY(copy);
    QCOMPARE(copy->geometry(), o->geometry());
    QCOMPARE(copy->Caption(), o->Caption());
    QCOMPARE(copy->StartingVector(), dg270);
    QCOMPARE(copy->Degrees(), dg90);
    QCOMPARE(copy->Font()->Name(), o->Font()->Name());
    QCOMPARE(copy->Font()->Height(), o->Font()->Height());
    QCOMPARE(copy->Font()->Color(), cl::Navy);
    QVERIFY(copy->Mirror());
    QVERIFY(!copy->DrawLettersAngled());
    QCOMPARE(copy->BorderStyle(), bsSingle);
    QVERIFY(!copy->ControlTransparent());
    QCOMPARE(copy->BGColor(), TColor(0x123456));
    QVERIFY(!copy->PopupMenu());
    QCOMPARE(writeRoot(*copy).toHex(' '), first.toHex(' '));
}

void TestCircleText::badFileValues_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QByteArray>("value");   // stream bytes replacing the stored value
    QTest::addColumn<QString>("failure");    // empty: reads and draws
    QTest::newRow("Degrees ordinal 9") << QByteArray("Degrees") << QByteArray::fromHex("0209")
                                       << "Invalid property value";
    QTest::newRow("unknown Degrees name") << QByteArray("Degrees") << QByteArray("\x07\x03" "dg9", 5)
                                          << "Invalid property value";
    QTest::newRow("enormous font") << QByteArray("Font.Height") << QByteArray::fromHex("0400000080") << "";
    QTest::newRow("negative font size") << QByteArray("Font.Height") << QByteArray::fromHex("04ffffff7f") << "";
    QTest::newRow("width 30000") << QByteArray("Width") << QByteArray::fromHex("033075") << "";
    QTest::newRow("height 30000") << QByteArray("Height") << QByteArray::fromHex("033075") << "";
    QTest::newRow("width 0") << QByteArray("Width") << QByteArray::fromHex("0200") << "";
    QTest::newRow("caption of 1 MB") << QByteArray("Caption")
                                     << QByteArray("\x0c\x00\x00\x10\x00", 5) + QByteArray(0x100000, 'W') << "";
}

void TestCircleText::badFileValues()
{
    QFETCH(QByteArray, property);
    QFETCH(QByteArray, value);
    QFETCH(QString, failure);
    TGPCircleText source;
    source.SetBounds(0, 0, 142, 33);
    QByteArray record = writeRoot(source);
    // Find the property's record and swap its value for the one given.
    const QByteArray name = char(property.size()) + property;
    const qsizetype at = record.indexOf(name);
    QVERIFY(at > 0);
    PropertyReader skip(record.mid(at + name.size()));
    skip.skipValue();
    const qsizetype valueSize = record.size() - (at + name.size()) - skip.remaining();
    record.replace(at + name.size(), valueSize, value);

    QElapsedTimer timer;
    timer.start();
    TGPCircleText *o = nullptr;
    try {
        o = readOne(record, *mPanel);
        QVERIFY2(failure.isEmpty(), "read without failing");
    } catch (const EStreamError &e) {
        QCOMPARE(e.message(), failure);
        return;
    }
    QVERIFY(o);
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        o->PaintTo(p);
        TReport report(&p, 300, 300);
        o->PrintOnReport(report, 0, 0);
    }
    QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
    if (property == "Caption")
        QCOMPARE(o->Caption().size(), qsizetype(0x100000));  // kept whole
    if (property == "Font.Height")
        QVERIFY(QFontMetrics(o->CanvasFont()).height() <= 2 * MaxDrawnFontPixels);
}

void TestCircleText::menuCommands()
{
    auto *o = PlaceOn<TGPCircleText>(*mPanel, 0, 0, 142, 33);
    ChangeCounter changes(*mPanel);
    QMenu *menu = o->ObjectMenu();
    QStringList captions;
    for (QAction *a : menu->actions())
        captions << a->text();
    QCOMPARE(captions.mid(captions.size() - 6),
             (QStringList{QString(), QStringLiteral("Font"), QStringLiteral("Transparent"),
                          QStringLiteral("Background Color"), QStringLiteral("Border"), QStringLiteral("Properties")}));
    const auto item = [&](const char *caption) { return menu->actions().at(captions.indexOf(QLatin1String(caption))); };
    item("Transparent")->trigger();
    QVERIFY(!o->ControlTransparent());
    QCOMPARE(changes.count, 1);  // the design changed
    item("Border")->trigger();
    QCOMPARE(o->BorderStyle(), bsSingle);
    o->PrepareObjectMenu();
    QVERIFY(item("Border")->isChecked());
    QVERIFY(!item("Transparent")->isChecked());
    item("Transparent")->trigger();
    SetColorPicker([](const QColor &, QWidget *) { return std::optional<QColor>(QColor(255, 255, 0)); });
    item("Background Color")->trigger();
    QCOMPARE(o->BGColor(), cl::Yellow);
    QVERIFY(!o->ControlTransparent());
    SetFontPicker([](const QFont &, QWidget *, QFontDialog::FontDialogOptions options) {
        QFont f(QStringLiteral("Courier New"));
        f.setPointSize(options.testFlag(QFontDialog::ScalableFonts) ? 16 : 8);
        return std::optional<QFont>(f);
    });
    item("Font")->trigger();
    QCOMPARE(o->Font()->Size(), 16);
    QCOMPARE(o->Font()->Name(), QStringLiteral("Courier New"));
}

void TestCircleText::cloneKeepsEverything_data()
{
    QTest::addColumn<QByteArray>("className");
    QTest::newRow("text block") << QByteArray("TGMultiLineLabel");
    QTest::newRow("circle text") << QByteArray("TGPCircleText");
}

// "Clone" (and with it the clipboard, which writes the same object file)
// gives an equal object 25 pixels lower.
void TestCircleText::cloneKeepsEverything()
{
    QFETCH(QByteArray, className);
    auto *o = dynamic_cast<TGGraphicControl *>(TClassRegistry::instance().Create(className, nullptr));
    QVERIFY(o);
    o->SetParentComponent(mPanel);
    o->FinishLoading();
    o->SetBounds(30, 40, 150, 90);
    if (auto *block = dynamic_cast<TGMultiLineLabel *>(o)) {
        block->SetItems({QStringLiteral("cloned"), QStringLiteral("lines")});
        block->SetWordWrap(true);
        block->SetAlignment(taRightJustify);
    } else if (auto *circle = dynamic_cast<TGPCircleText *>(o)) {
        circle->SetCaption(QStringLiteral("cloned"));
        circle->SetDegrees(dg270);
        circle->SetMirror(true);
    }
    TGGraphicControl *clone = o->Clone();
    QVERIFY(clone);
    QVERIFY(clone != o);
    QCOMPARE(clone->ClassName(), className);
    QCOMPARE(clone->geometry(), o->geometry().translated(0, 25));
    clone->SetTop(o->Top());
    PropertyWriter a, b;
    a.writeProperties(*o);
    b.writeProperties(*clone);
    QCOMPARE(b.data().toHex(' '), a.data().toHex(' '));
}

void TestCircleText::dialogLoadsAndEditsThePreview()
{
    auto *o = PlaceOn<TGPCircleText>(*mPanel, 0, 0, 160, 120);
    o->SetDegrees(dg270);
    o->SetStartingVector(dg90);
    o->SetDrawLettersAngled(false);
    o->SetMirror(true);
    o->Font()->SetColor(cl::Red);
    o->SetCaption(QStringLiteral("Round"));
    TCircleTextProperties d;
    QCOMPARE(d.windowTitle(), QStringLiteral("CircleText Properties"));
    d.Preview->CopyCircleText(*o);
    d.LoadControls();
    QCOMPARE(d.Preview->size(), QSize(160, 120));
    QCOMPARE(d.DegreesBar->value(), 3);
    QCOMPARE(d.DegreesLabel->text(), QStringLiteral("270 degrees"));
    QCOMPARE(d.StartingAngleBar->value(), 1);
    QCOMPARE(d.StartingAngleLabel->text(), QStringLiteral("90 degrees"));
    QVERIFY(!d.cbDrawLettersAngled->isChecked());
    QVERIFY(d.cbMirrored->isChecked());
    QCOMPARE(d.FontColorButton->color(), cl::Red);
    QCOMPARE(d.CaptionText->text(), QStringLiteral("Round"));

    d.DegreesBar->setValue(1);
    QCOMPARE(d.Preview->Degrees(), dg90);
    QCOMPARE(d.DegreesLabel->text(), QStringLiteral("90 degrees"));
    d.StartingAngleBar->setValue(4);
    QCOMPARE(d.Preview->StartingVector(), dg360);
    QCOMPARE(d.StartingAngleLabel->text(), QStringLiteral("360 degrees"));
    d.cbDrawLettersAngled->setChecked(true);
    d.cbMirrored->setChecked(false);
    QVERIFY(d.Preview->DrawLettersAngled());
    QVERIFY(!d.Preview->Mirror());
    d.FontColorButton->choose(cl::Blue);
    QCOMPARE(d.Preview->Font()->Color(), cl::Blue);
    QTest::keyClicks(d.CaptionText, QStringLiteral("!"));
    QCOMPARE(d.Preview->Caption(), d.CaptionText->text());
    // The edited object itself waits for Ok.
    QCOMPARE(o->Degrees(), dg270);
    QCOMPARE(o->Caption(), QStringLiteral("Round"));
}

void TestCircleText::dialogFontSizeAndZoomBounds()
{
    TCircleTextProperties d;
    d.Preview->SetBounds(0, 0, 142, 100);
    d.Preview->Font()->SetSize(148);
    d.FontSizeUpClick();
    QCOMPARE(d.Preview->Font()->Size(), 153);
    d.FontSizeUpClick();
    QCOMPARE(d.Preview->Font()->Size(), 153);
    d.Preview->Font()->SetSize(12);
    d.FontSizeDownClick();
    QCOMPARE(d.Preview->Font()->Size(), 7);
    d.FontSizeDownClick();
    QCOMPARE(d.Preview->Font()->Size(), 7);

    QStringList shown;
    for (int i = 0; i < 8; ++i) {
        d.ZoomMinusClick();
        shown << d.ZoomLabel->text();
    }
    QCOMPARE(shown.first(), QStringLiteral("90%"));
    QCOMPARE(shown.last(), QStringLiteral("50%"));
    QVERIFY(d.Preview->Scale() >= 0.45f);
    QVERIFY(qAbs(d.Preview->Width() - 71) <= 1);
    for (int i = 0; i < 8; ++i)
        d.ZoomPlusClick();
    QCOMPARE(d.ZoomLabel->text(), QStringLiteral("100%"));
    QVERIFY(d.Preview->Scale() <= 1.0f);
    QVERIFY(qAbs(d.Preview->Width() - 142) <= 1);
}

void TestCircleText::dialogRefusesEmptyText()
{
    auto *o = PlaceOn<TGPCircleText>(*mPanel, 0, 0, 142, 33);
    QStringList messages;
    bool stayedOpen = false;
    SetDialogRunner([&](QDialog &dialog) {
        if (auto *box = qobject_cast<QMessageBox *>(&dialog)) {
            messages << box->windowTitle() + QLatin1Char(':') + box->text();
            return int(QMessageBox::Ok);
        }
        auto *d = qobject_cast<TCircleTextProperties *>(&dialog);
        if (!d)
            return int(QDialog::Rejected);
        d->CaptionText->clear();
        d->Buttons->okButton()->click();
        stayedOpen = d->result() != QDialog::Accepted;
        QTest::keyClicks(d->CaptionText, QStringLiteral("New"));
        d->Buttons->okButton()->click();
        return d->result();
    });
    QVERIFY(o->EditCircleText());
    QCOMPARE(messages, QStringList{QStringLiteral("Information:Please enter some text")});
    QVERIFY(stayedOpen);
    QCOMPARE(o->Caption(), QStringLiteral("New"));
}

void TestCircleText::dialogOkAndCancel()
{
    TGQuillmarkPanel32 panel;
    panel.resize(400, 300);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    ChangeCounter changes(panel);
    // The tool opens the dialog; zoomed out there, Ok brings back the size at 100 %.
    SetDialogRunner([](QDialog &dialog) {
        auto *d = qobject_cast<TCircleTextProperties *>(&dialog);
        if (!d)
            return int(QDialog::Rejected);
        d->DegreesBar->setValue(2);
        d->CaptionText->setText(QStringLiteral("Half"));
        d->ZoomMinusClick();
        d->ZoomMinusClick();
        return int(QDialog::Accepted);
    });
    panel.SetPanelState(psCircleText);
    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(panel.Objects().size(), 1);
    auto *o = dynamic_cast<TGPCircleText *>(panel.Objects().first());
    QVERIFY(o);
    QCOMPARE(o->Caption(), QStringLiteral("Half"));
    QCOMPARE(o->Degrees(), dg180);
    QVERIFY(qAbs(o->Width() - 50) <= 1);
    QCOMPARE(o->Scale(), 1.0f);
    const int before = changes.count;
    QVERIFY(before > 0);

    SetDialogRunner([](QDialog &dialog) {
        if (auto *d = qobject_cast<TCircleTextProperties *>(&dialog))
            d->CaptionText->setText(QStringLiteral("discarded"));
        return int(QDialog::Rejected);
    });
    QVERIFY(!o->EditCircleText());
    QCOMPARE(o->Caption(), QStringLiteral("Half"));
    QCOMPARE(changes.count, before);
}

QTEST_MAIN(TestCircleText)
#include "tst_circletext.moc"
