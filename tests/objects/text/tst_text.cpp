#include "TextTestSupport.h"

#include "controls/DialogSupport.h"
#include "controls/Fonts.h"
#include "objects/text/Gpclabel.h"
#include "objects/text/Gplabel.h"
#include "objects/text/Gpslabel.h"
#include "objects/text/TextFont.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QTest>

Q_DECLARE_METATYPE(TShadowDirection)
Q_DECLARE_METATYPE(THighlightDirection)
Q_DECLARE_METATYPE(TAlignment)
Q_DECLARE_METATYPE(TLayoutRect)

namespace {

TLayoutRect R(int l, int t, int r, int b) { return {l, t, r, b}; }

QStringList captions(const QMenu *menu)
{
    QStringList l;
    for (const QAction *a : menu->actions())
        l << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return l;
}

QAction *item(const QMenu *menu, const QString &caption)
{
    for (QAction *a : menu->actions()) {
        if (a->text() == caption)
            return a;
        if (a->menu())
            if (QAction *sub = item(a->menu(), caption))
                return sub;
    }
    return nullptr;
}

bool isBlack(QRgb c) { return qRed(c) < 90 && qGreen(c) < 90 && qBlue(c) < 90; }
bool isRed(QRgb c) { return qRed(c) > 170 && qGreen(c) < 90 && qBlue(c) < 90; }
bool isBlue(QRgb c) { return qBlue(c) > 170 && qRed(c) < 90 && qGreen(c) < 90; }

}  // namespace

class TestText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void effectOffsets_data();
    void effectOffsets();
    void layout_data();
    void layout();
    void angleSetter();
    void alignment_data();
    void alignment();
    void tinyObjectsReLayoutOnEveryPaint_data();
    void tinyObjectsReLayoutOnEveryPaint();
    void zeroSizeRaisedToOne();
    void fitToTextOnlyGrows();
    void zoomedFontTruncatesPoints();
    void menus_data();
    void menus();
    void checkMarks();
    void transparentAndBackground();

    void counterCaption_data();
    void counterCaption();
    void counterSequence_data();
    void counterSequence();
    void counterEdgeValues();

    void symbolRefit_data();
    void symbolRefit();
    void symbolIgnoresPanelFont();

    void copiesLandWhereTheyShould_data();
    void copiesLandWhereTheyShould();
    void emptyCaptionDrawsBackgroundAndBorder();

private:
    TGBasePanel *mPanel = nullptr;
    int mHt = 0;     // Arial 10 pt: cell height + internal + external leading
    int mW = 0;      // width of "Text "
};

void TestText::initTestCase()
{
    InstallFontSubstitutions();
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(13);
    f.setKerning(false);
    const QFontMetrics fm(f);
    mHt = 2 * (fm.ascent() + fm.descent()) - 13 + fm.leading();
    mW = fm.horizontalAdvance(QStringLiteral("Text "));
    // The tables below are worked out for these metrics.
    QCOMPARE(mHt, 17);
    QCOMPARE(mW, 29);
}

void TestText::init()
{
    mPanel = new TGBasePanel();
    mPanel->resize(600, 400);
}

void TestText::cleanup()
{
    delete mPanel;
    mPanel = nullptr;
}

void TestText::effectOffsets_data()
{
    QTest::addColumn<TShadowDirection>("shadow");
    QTest::addColumn<THighlightDirection>("highlight");
    QTest::addColumn<QPoint>("shadowOffset");
    QTest::addColumn<QPoint>("highlightOffset");
    QTest::addColumn<QPoint>("margin");

    // Shadow depth 2, highlight depth 3.
    QTest::newRow("none/none") << sdNone << hdNone << QPoint(0, 0) << QPoint(0, 0) << QPoint(0, 0);
    QTest::newRow("right/right") << sdRight << hdright << QPoint(2, 0) << QPoint(3, 0) << QPoint(0, 0);
    QTest::newRow("left/left") << sdLeft << hdLeft << QPoint(-2, 0) << QPoint(-3, 0) << QPoint(3, 0);
    QTest::newRow("down right/up right") << sdDownRight << hdUpRight << QPoint(2, 2) << QPoint(3, -3) << QPoint(0, 3);
    QTest::newRow("down left/up left") << sdDownLeft << hdUpLeft << QPoint(-2, 2) << QPoint(-3, -3) << QPoint(3, 3);
    QTest::newRow("down/up") << sdDown << hdUp << QPoint(0, 2) << QPoint(0, -3) << QPoint(0, 3);
    QTest::newRow("left shadow wider than highlight") << sdLeft << hdUpRight << QPoint(-2, 0) << QPoint(3, -3)
                                                      << QPoint(2, 3);
}

void TestText::effectOffsets()
{
    QFETCH(TShadowDirection, shadow);
    QFETCH(THighlightDirection, highlight);
    QFETCH(QPoint, shadowOffset);
    QFETCH(QPoint, highlightOffset);
    QFETCH(QPoint, margin);
    auto *l = PlaceOn<TGPLabel>(*mPanel, 0, 0, 142, 33);
    l->SetDepthShadow(2);
    l->SetDirectionShadow(shadow);
    l->SetDepthHighlight(3);
    l->SetDirectionHighlight(highlight);
    QCOMPARE(l->ShadowOffset(), shadowOffset);
    QCOMPARE(l->HighlightOffset(), highlightOffset);
    QVERIFY(l->LayoutDirty());
    l->RecalculateLayout();
    QCOMPARE(l->TextMargin(), margin);
    QVERIFY(!l->LayoutDirty());

    // A direction with depth 0 displaces nothing.
    l->SetDepthShadow(0);
    l->SetDepthHighlight(0);
    QCOMPARE(l->ShadowOffset(), QPoint(0, 0));
    QCOMPARE(l->HighlightOffset(), QPoint(0, 0));
}

void TestText::layout_data()
{
    QTest::addColumn<int>("angle");
    QTest::addColumn<int>("shadowDepth");     // towards sdDownRight
    QTest::addColumn<int>("highlightDepth");  // towards hdUpLeft
    QTest::addColumn<QSize>("size");
    QTest::addColumn<TLayoutRect>("textRect");
    QTest::addColumn<TLayoutRect>("shadowRect");
    QTest::addColumn<TLayoutRect>("highlightRect");
    QTest::addColumn<QPoint>("textOrigin");
    QTest::addColumn<QPoint>("shadowOrigin");
    QTest::addColumn<QPoint>("highlightOrigin");

    // Caption "Text", Arial 10 pt: Ht = 17, W = 29; every object starts at 142 x 33.
    QTest::newRow("0 plain") << 0 << 0 << 0 << QSize(142, 20) << R(0, 0, 142, 17) << R(0, 0, 142, 17)
                             << R(0, 0, 142, 17) << QPoint(0, 0) << QPoint(0, 0) << QPoint(0, 0);
    QTest::newRow("0 shadow 2") << 0 << 2 << 0 << QSize(142, 22) << R(0, 0, 142, 17) << R(2, 2, 144, 19)
                                << R(0, 0, 142, 17) << QPoint(0, 0) << QPoint(2, 2) << QPoint(0, 0);
    // L = 17 + 1 + 3 = 21, Trunc(1.2 x 21) = 25; the highlight copy starts at (0, 0).
    QTest::newRow("0 shadow 1 highlight 3") << 0 << 1 << 3 << QSize(142, 25) << R(3, 3, 142, 20)
                                            << R(4, 4, 143, 21) << R(0, 0, 139, 17) << QPoint(3, 3)
                                            << QPoint(4, 4) << QPoint(0, 0);
    // Turned to 33 x 142, then height Trunc(1.2 x 29) = 34, width Trunc(1.2 x 17) = 20;
    // the rectangle moves by Height - rh + hx = -1.
    QTest::newRow("90 plain") << 90 << 0 << 0 << QSize(20, 34) << R(0, -1, 17, 33) << R(0, -1, 17, 33)
                              << R(0, -1, 17, 33) << QPoint(0, 33) << QPoint(0, 33) << QPoint(0, 33);
    // L = 22: width 26; margins 3; move 34 - 29 + (-3) = 2; shadow turned to (2, -2),
    // highlight to (-3, 3).
    QTest::newRow("90 shadow 2 highlight 3") << 90 << 2 << 3 << QSize(26, 34) << R(3, 5, 20, 33)
                                             << R(5, 3, 22, 31) << R(0, 8, 17, 36) << QPoint(3, 33)
                                             << QPoint(5, 31) << QPoint(0, 36);
    // Narrowed to 2 x W = 58; moved by Width - rw - sy = -1.
    QTest::newRow("180 plain") << 180 << 0 << 0 << QSize(58, 20) << R(-1, 0, 57, 17) << R(-1, 0, 57, 17)
                               << R(-1, 0, 57, 17) << QPoint(57, 17) << QPoint(57, 17) << QPoint(57, 17);
    // Moved by -1 - sy = -3; shadow turned to (-2, -2).
    QTest::newRow("180 shadow 2") << 180 << 2 << 0 << QSize(58, 22) << R(-3, 0, 55, 17) << R(-5, -2, 53, 15)
                                  << R(-3, 0, 55, 17) << QPoint(55, 17) << QPoint(53, 15) << QPoint(55, 17);
    QTest::newRow("270 plain") << 270 << 0 << 0 << QSize(20, 34) << R(0, 0, 17, 34) << R(0, 0, 17, 34)
                               << R(0, 0, 17, 34) << QPoint(17, 0) << QPoint(17, 0) << QPoint(17, 0);
    // Shadow turned to (-2, 2).
    QTest::newRow("270 shadow 2") << 270 << 2 << 0 << QSize(22, 34) << R(0, 0, 17, 34) << R(-2, 2, 15, 36)
                                  << R(0, 0, 17, 34) << QPoint(17, 0) << QPoint(15, 2) << QPoint(17, 0);
}

void TestText::layout()
{
    QFETCH(int, angle);
    QFETCH(int, shadowDepth);
    QFETCH(int, highlightDepth);
    auto *l = PlaceOn<TGPLabel>(*mPanel, 10, 10, 142, 33);
    l->SetDepthShadow(shadowDepth);
    l->SetDepthHighlight(highlightDepth);
    l->SetAngle(angle);
    l->RecalculateLayout();
    QTEST(l->size(), "size");
    QTEST(l->TextRect(), "textRect");
    QTEST(l->ShadowRect(), "shadowRect");
    QTEST(l->HighlightRect(), "highlightRect");
    QTEST(l->TextOrigin(), "textOrigin");
    QTEST(l->ShadowOrigin(), "shadowOrigin");
    QTEST(l->HighlightOrigin(), "highlightOrigin");

    // The cached layout is reused until something invalidates it.
    QVERIFY(!l->LayoutDirty());
    PaintObject(l);
    QTEST(l->size(), "size");
}

void TestText::angleSetter()
{
    auto *l = PlaceOn<TGPLabel>(*mPanel, 10, 10, 142, 33);
    ChangeCounter changes(*mPanel);
    l->SetAngle(45);
    QCOMPARE(l->Angle(), 0);
    QCOMPARE(l->size(), QSize(142, 33));

    l->SetAlignment(taCenter);
    l->SetAngle(90);
    QCOMPARE(l->Angle(), 90);
    QCOMPARE(l->size(), QSize(33, 142));  // the frame turns with the text
    QCOMPARE(l->Alignment(), taLeftJustify);
    l->RecalculateLayout();
    QVERIFY(l->Height() <= int(1.2 * mW));
    QVERIFY(l->Width() >= mHt && l->Width() <= int(1.2 * mHt));

    // From 90 to 270 the frame is already upright.
    const QSize upright = l->size();
    l->SetAngle(270);
    QCOMPARE(l->size(), upright);
    l->SetAngle(0);
    QCOMPARE(l->size(), upright.transposed());

    // 180 keeps a wide frame in the setter; the next layout narrows it to 2 x W.
    l->SetBounds(10, 10, 200, 20);
    l->SetAngle(180);
    QCOMPARE(l->size(), QSize(200, 20));
    l->RecalculateLayout();
    QCOMPARE(l->Width(), 2 * mW);
    QVERIFY(changes.count > 0);

    // An angle read from a file that is not a quarter turn is ignored.
    TGPLabel fresh;
    fresh.SetAngle(91);
    QCOMPARE(fresh.Angle(), 0);
}

void TestText::alignment_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("highlightDepth");
    QTest::addColumn<TAlignment>("alignment");
    QTest::addColumn<int>("x");

    QTest::newRow("left") << "Text" << 142 << 0 << taLeftJustify << 0;
    QTest::newRow("right") << "Text" << 142 << 0 << taRightJustify << 142 - 29;
    QTest::newRow("center") << "Text" << 142 << 0 << taCenter << 71 - 14;
    // W("ABCD ") = 40 in a 100-pixel rectangle from 0: 50 - 20.
    QTest::newRow("center 100 wide, W 40") << "ABCD" << 100 << 0 << taCenter << 30;
    // The margin is not added: (142 - 3) div 2 - 14.
    QTest::newRow("center with margin") << "Text" << 142 << 3 << taCenter << 69 - 14;
    QTest::newRow("left with margin") << "Text" << 142 << 3 << taLeftJustify << 3;
}

void TestText::alignment()
{
    QFETCH(QString, caption);
    QFETCH(int, width);
    QFETCH(int, highlightDepth);
    QFETCH(TAlignment, alignment);
    QFETCH(int, x);
    auto *l = PlaceOn<TGPLabel>(*mPanel, 0, 0, width, 33);
    l->SetCaption(caption);
    l->SetDepthHighlight(highlightDepth);
    l->SetDepthShadow(2);
    l->SetAlignment(alignment);
    l->RecalculateLayout();
    QCOMPARE(l->TextOrigin().x(), x);
    QCOMPARE(l->HighlightOrigin().x(), x - highlightDepth);
    QCOMPARE(l->ShadowOrigin().x(), x + 2);
    // The rectangles stay where they are.
    QCOMPARE(l->TextRect().left, highlightDepth);

    // A rotated object stores the alignment but ignores it.
    l->SetAngle(270);
    QCOMPARE(l->Alignment(), taLeftJustify);
    l->SetAlignment(alignment);
    QCOMPARE(l->Alignment(), alignment);
    l->RecalculateLayout();
    QCOMPARE(l->TextOrigin(), QPoint(l->TextRect().right, l->TextRect().top));
}

void TestText::tinyObjectsReLayoutOnEveryPaint_data()
{
    QTest::addColumn<int>("angle");
    QTest::addColumn<QSize>("after");
    QTest::newRow("0") << 0 << QSize(29, 17);    // widened to W, raised to L
    QTest::newRow("90") << 90 << QSize(17, 29);  // raised to W, widened to L
}

void TestText::tinyObjectsReLayoutOnEveryPaint()
{
    QFETCH(int, angle);
    QFETCH(QSize, after);
    auto *l = PlaceOn<TGPLabel>(*mPanel, 0, 0, 142, 33);
    l->SetAngle(angle);
    l->RecalculateLayout();
    QVERIFY(!l->LayoutDirty());
    // The layout of a 4 x 4 object is not recomputed by the resize alone.
    QSignalBlocker block(l);
    l->SetBounds(0, 0, 4, 4);
    l->RecalculateLayout();
    PaintObject(l);
    QCOMPARE(l->size(), after);
}

void TestText::zeroSizeRaisedToOne()
{
    auto *l = PlaceOn<TGPLabel>(*mPanel, 0, 0, 142, 33);
    l->SetBounds(0, 0, 0, 0);
    QCOMPARE(l->size(), QSize(1, 1));
}

void TestText::fitToTextOnlyGrows()
{
    auto *l = PlaceOn<TGPLabel>(*mPanel, 0, 0, 20, 10);
    l->SetDepthShadow(2);
    l->RecalculateLayout();
    const QFontMetrics fm(MakeQFont(*l->Font()));
    l->SetCaption(QStringLiteral("A longer caption"));
    l->FitToText();
    // Largest left edge (the shadow's, 2) + caption and five blanks.
    QCOMPARE(l->Width(), 2 + fm.horizontalAdvance(QStringLiteral("A longer caption     ")));
    QVERIFY(l->Height() >= 2 + fm.ascent() + fm.descent());
    QVERIFY(l->LayoutDirty());

    const QSize grown = l->size();
    l->SetCaption(QStringLiteral("A"));
    l->FitToText();
    QCOMPARE(l->size(), grown);

    l->SetAngle(90);
    const QSize turned = l->size();
    l->SetCaption(QStringLiteral("A much much much longer caption"));
    l->FitToText();
    QCOMPARE(l->size(), turned);
}

void TestText::zoomedFontTruncatesPoints()
{
    TGPLabel l;  // 10 points; at 0.75, 7.5 points truncate to 7, i.e. 9 pixels
    l.SetScale(0.75f);
    QCOMPARE(l.CanvasFont().pixelSize(), 9);
    l.SetScale(1.5f);
    QCOMPARE(l.CanvasFont().pixelSize(), 20);
}

void TestText::menus_data()
{
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QStringList>("tail");
    const QStringList text = {QStringLiteral("-"), QStringLiteral("Font"), QStringLiteral("3D Effects"),
                              QStringLiteral("Alignment"), QStringLiteral("Transparent"),
                              QStringLiteral("Background Color"), QStringLiteral("Border")};
    QTest::newRow("text") << QByteArray("TGPLabel")
                          << text + QStringList {"-", "Text", "-", "Rotation"};
    QTest::newRow("counter") << QByteArray("TGCounterLabel")
                             << text + QStringList {"-", "Counter Settings", "-", "Rotation"};
    QTest::newRow("symbol") << QByteArray("TGSymbolLabel")
                            << QStringList {"-", "3D Effects", "Transparent", "Background Color", "Border", "-",
                                            "Symbol Selector"};
}

void TestText::menus()
{
    QFETCH(QByteArray, className);
    QFETCH(QStringList, tail);
    TGBaseLabel *l = nullptr;
    if (className == "TGPLabel")
        l = PlaceOn<TGPLabel>(*mPanel, 0, 0, 142, 33);
    else if (className == "TGCounterLabel")
        l = PlaceOn<TGCounterLabel>(*mPanel, 0, 0, 142, 33);
    else
        l = PlaceOn<TGSymbolLabel>(*mPanel, 0, 0, 142, 33);
    const QStringList all = captions(l->ObjectMenu());
    QVERIFY(all.size() > tail.size());
    QCOMPARE(all.mid(all.size() - tail.size()), tail);
    QCOMPARE(all.first(), QStringLiteral("Bring To Front"));
    if (QAction *rotation = item(l->ObjectMenu(), QStringLiteral("Rotation")))
        QCOMPARE(captions(rotation->menu()), (QStringList {"No Rotation", "90 Degrees", "180 Degrees", "270 Degrees"}));
    if (QAction *alignment = item(l->ObjectMenu(), QStringLiteral("Alignment")))
        QCOMPARE(captions(alignment->menu()), (QStringList {"Left", "Center", "Right"}));
    if (QAction *text = item(l->ObjectMenu(), QStringLiteral("Text")))
        QCOMPARE(text->data().toInt(), 1000);
}

void TestText::checkMarks()
{
    auto *l = PlaceOn<TGPLabel>(*mPanel, 0, 0, 142, 33);
    QMenu *menu = l->ObjectMenu();
    ChangeCounter changes(*mPanel);
    item(menu, QStringLiteral("Border"))->trigger();
    QCOMPARE(l->BorderStyle(), bsSingle);
    item(menu, QStringLiteral("Center"))->trigger();
    item(menu, QStringLiteral("180 Degrees"))->trigger();
    item(menu, QStringLiteral("Transparent"))->trigger();
    QVERIFY(!l->Transparent());
    QVERIFY(!item(menu, QStringLiteral("Transparent"))->isChecked());
    QVERIFY(changes.count >= 3);

    l->PrepareObjectMenu();
    QVERIFY(item(menu, QStringLiteral("Border"))->isChecked());
    // Choosing a rotation reset the alignment to left.
    QVERIFY(item(menu, QStringLiteral("Left"))->isChecked());
    QVERIFY(!item(menu, QStringLiteral("Center"))->isChecked());
    QVERIFY(item(menu, QStringLiteral("180 Degrees"))->isChecked());
    QVERIFY(!item(menu, QStringLiteral("No Rotation"))->isChecked());

    item(menu, QStringLiteral("Border"))->trigger();
    QCOMPARE(l->BorderStyle(), bsNone);
    l->PrepareObjectMenu();
    QVERIFY(!item(menu, QStringLiteral("Border"))->isChecked());
}

void TestText::transparentAndBackground()
{
    auto *l = PlaceOn<TGPLabel>(*mPanel, 0, 0, 142, 33);
    SetColorPicker([](const QColor &initial, QWidget *) -> std::optional<QColor> {
        if (initial != QColor(Qt::white))
            return std::nullopt;
        return QColor(255, 255, 0);
    });
    item(l->ObjectMenu(), QStringLiteral("Background Color"))->trigger();
    QCOMPARE(l->BackColor(), cl::Yellow);
    QVERIFY(!l->Transparent());
    QVERIFY(!item(l->ObjectMenu(), QStringLiteral("Transparent"))->isChecked());
    QCOMPARE(PaintObject(l).pixelColor(l->Width() - 2, l->Height() - 2), QColor(255, 255, 0));

    // Cancelling the colour dialog changes nothing.
    l->SetTransparent(true);
    item(l->ObjectMenu(), QStringLiteral("Background Color"))->trigger();
    SetColorPicker({});
    QVERIFY(l->Transparent());
    QCOMPARE(l->BackColor(), cl::Yellow);
    QCOMPARE(PaintObject(l).pixelColor(l->Width() - 2, l->Height() - 2), QColor(Qt::white));
}

void TestText::counterCaption_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("zeros");
    QTest::addColumn<QString>("caption");

    QTest::newRow("plain") << "" << "" << 12 << 0 << "12";
    QTest::newRow("four digits") << "" << "" << 12 << 4 << "0012";
    QTest::newRow("longer than the zeros") << "" << "" << 123456 << 4 << "123456";
    QTest::newRow("negative") << "" << "" << -7 << 0 << "-7";
    QTest::newRow("negative padded") << "" << "" << -7 << 3 << "-007";
    QTest::newRow("text before and after") << "No. " << "/A" << 5 << 0 << "No. 5/A";
    QTest::newRow("no blank inserted") << "A" << "B" << 1 << 2 << "A01B";
    QTest::newRow("negative zeros count") << "" << "" << 5 << -3 << "5";
    QTest::newRow("smallest value") << "" << "" << INT_MIN << 12 << "-002147483648";
}

void TestText::counterCaption()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, value);
    QFETCH(int, zeros);
    QFETCH(QString, caption);
    auto *c = PlaceOn<TGCounterLabel>(*mPanel, 0, 0, 142, 33);
    c->SetTextBefore(before);
    c->SetTextAfter(after);
    c->SetLeadingZeros(zeros);
    c->SetStartingnumber(value);
    c->RestartSequence();
    QCOMPARE(c->Caption(), caption);
    // The caption is rebuilt by every paint.
    c->SetCaption(QStringLiteral("stale"));
    PaintObject(c);
    QCOMPARE(c->Caption(), caption);
}

void TestText::counterSequence_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<QStringList>("printed");
    QTest::newRow("each") << 1 << 1 << QStringList {"1", "2", "3", "4", "5", "6", "7"};
    QTest::newRow("repeat 3") << 1 << 3 << QStringList {"1", "1", "1", "2", "2", "2", "3"};
    QTest::newRow("from 1000") << 1000 << 2 << QStringList {"1000", "1000", "1001", "1001", "1002", "1002", "1003"};
    QTest::newRow("repeat 0 never advances") << 4 << 0 << QStringList {"4", "4", "4", "4", "4", "4", "4"};
    QTest::newRow("through zero") << -2 << 1 << QStringList {"-2", "-1", "0", "1", "2", "3", "4"};
    QTest::newRow("wraps at the top") << INT_MAX << 1 << QStringList {"2147483647", "-2147483648", "-2147483647",
                                                                      "-2147483646", "-2147483645", "-2147483644",
                                                                      "-2147483643"};
}

void TestText::counterSequence()
{
    QFETCH(int, start);
    QFETCH(int, repeat);
    QFETCH(QStringList, printed);
    auto *c = PlaceOn<TGCounterLabel>(*mPanel, 0, 0, 142, 33);
    c->SetStartingnumber(start);
    c->SetRepeatEach(repeat);
    // Two runs: the second restarts where the first did.
    for (int run = 0; run < 2; ++run) {
        c->RestartSequence();
        QStringList seen;
        for (int i = 0; i < printed.size(); ++i) {
            seen << c->Caption();
            c->AdvanceLabel();
        }
        QCOMPARE(seen, printed);
    }
    // The value after the run stays until the next restart.
    QVERIFY(c->CurrentValue() != start || repeat != 1);
}

void TestText::counterEdgeValues()
{
    auto *c = PlaceOn<TGCounterLabel>(*mPanel, 0, 0, 142, 33);
    c->SetStartingnumber(9);
    c->RestartSequence();
    c->AdvanceLabel();
    QCOMPARE(c->Caption(), QStringLiteral("10"));
    // The longer caption is measured before anything prints it.
    QVERIFY(c->LayoutDirty());
    // Changing the starting number restarts at once.
    c->SetStartingnumber(50);
    QCOMPARE(c->CurrentValue(), 50);
    QCOMPARE(c->RepeatCount(), 0);
    QCOMPARE(c->Caption(), QStringLiteral("50"));
}

void TestText::symbolRefit_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("refits");
    QTest::newRow("9 points never refits") << 9 << false;
    QTest::newRow("10 points refits") << 10 << true;
    QTest::newRow("24 points refits") << 24 << true;
}

void TestText::symbolRefit()
{
    QFETCH(int, points);
    QFETCH(bool, refits);
    auto *s = new TGSymbolLabel();
    s->Font()->SetSize(points);
    s->SetParentComponent(mPanel);
    s->FinishLoading();
    s->SetBounds(10, 10, 200, 200);
    const QFont font = MakeQFont(*s->Font());
    const QFontMetrics fm(font);
    const QString glyph = s->DisplayCaption();
    const QSize fitted(int(1.1 * fm.horizontalAdvance(glyph)), int(1.1 * (fm.ascent() + fm.descent())));
    if (!refits) {
        QCOMPARE(s->size(), QSize(200, 200));
        ChangeCounter changes(*mPanel);
        s->SetBounds(20, 20, 200, 200);
        QCOMPARE(changes.count, 0);  // its moves are not reported either
        return;
    }
    QCOMPARE(s->size(), fitted);
    s->SetBounds(30, 40, 300, 5);
    QCOMPARE(s->pos(), QPoint(30, 40));
    QCOMPARE(s->size(), fitted);

    // A shadow of 3 towards the lower right adds 3 in both directions.
    s->SetDepthShadow(3);
    s->RecalculateLayout();
    s->SetBounds(30, 40, 1, 1);
    QCOMPARE(s->size(), fitted + QSize(3, 3));

    // Not on a design panel: no refit.
    TGSymbolLabel loose;
    loose.Font()->SetSize(points);
    loose.SetBounds(0, 0, 77, 77);
    QCOMPARE(loose.size(), QSize(77, 77));
}

void TestText::symbolIgnoresPanelFont()
{
    auto *s = PlaceOn<TGSymbolLabel>(*mPanel, 0, 0, 10, 10);
    auto *t = PlaceOn<TGPLabel>(*mPanel, 0, 50, 142, 33);
    TFont courier;
    courier.SetName(QStringLiteral("Courier New"));
    courier.SetSize(14);
    s->ApplyFont(courier);
    t->ApplyFont(courier);
    QCOMPARE(s->Font()->Name(), QStringLiteral("WingDings"));
    QCOMPARE(t->Font()->Name(), QStringLiteral("Courier New"));
    QCOMPARE(t->Font()->Size(), 14);
    QVERIFY(t->LayoutDirty());
}

void TestText::copiesLandWhereTheyShould_data()
{
    QTest::addColumn<int>("angle");
    for (int a : {0, 90, 180, 270})
        QTest::addRow("%d", a) << a;
}

void TestText::copiesLandWhereTheyShould()
{
    QFETCH(int, angle);
    const int d = 6;
    auto *l = PlaceOn<TGPLabel>(*mPanel, 0, 0, 142, 33);
    l->SetCaption(QStringLiteral("L"));
    l->Font()->SetSize(36);
    l->SetDepthShadow(d);
    l->SetcolorShadow(cl::Red);
    l->SetDepthHighlight(d);
    l->SetDirectionHighlight(hdUpLeft);
    l->SetcolorHighlight(cl::Blue);
    l->SetAngle(angle);
    l->RecalculateLayout();

    // Drawn without the object's own clipping, 100 pixels in.
    QImage image(400, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.translate(100, 100);
    l->DrawLabel(p);
    p.end();

    const QRect main = inkBox(image, isBlack);
    const QRect shadow = inkBox(image, isRed);
    const QRect highlight = inkBox(image, isBlue);
    QVERIFY(!main.isEmpty() && !shadow.isEmpty() && !highlight.isEmpty());

    // The main copy lies inside its clip rectangle.
    const QRect textRect = l->TextRect().toQRect().translated(100, 100);
    QVERIFY(textRect.contains(main));

    // Each copy is the main one moved by its offset turned with the text; the
    // copies underneath show their full extent on the side they stick out.
    const QPoint sv = l->ShadowOrigin() - l->TextOrigin();
    const QPoint hv = l->HighlightOrigin() - l->TextOrigin();
    const QPoint turnedShadow[] = {{d, d}, {d, -d}, {-d, -d}, {-d, d}};
    const QPoint turnedHighlight[] = {{-d, -d}, {-d, d}, {d, d}, {d, -d}};
    QCOMPARE(sv, turnedShadow[angle / 90]);
    QCOMPARE(hv, turnedHighlight[angle / 90]);
    QCOMPARE(sv.x() > 0 ? shadow.right() : shadow.left(), (sv.x() > 0 ? main.right() : main.left()) + sv.x());
    QCOMPARE(sv.y() > 0 ? shadow.bottom() : shadow.top(), (sv.y() > 0 ? main.bottom() : main.top()) + sv.y());
    QCOMPARE(hv.x() > 0 ? highlight.right() : highlight.left(), (hv.x() > 0 ? main.right() : main.left()) + hv.x());
    QCOMPARE(hv.y() > 0 ? highlight.bottom() : highlight.top(), (hv.y() > 0 ? main.bottom() : main.top()) + hv.y());

    // The turn is counter-clockwise: the L's stem (left at 0) lies along the
    // bottom at 90, the right at 180, the top at 270; its foot turns with it.
    const auto inkAt = [&](int x, int y) { return isBlack(image.pixel(x, y)); };
    const auto rowFull = [&](int y) {
        int n = 0;
        for (int x = main.left(); x <= main.right(); ++x) n += inkAt(x, y);
        return n;
    };
    const auto colFull = [&](int x) {
        int n = 0;
        for (int y = main.top(); y <= main.bottom(); ++y) n += inkAt(x, y);
        return n;
    };
    const int stemSide[] = {0, 1, 2, 3};  // left, bottom, right, top
    const int probe = 3;
    int stem = 0;
    switch (stemSide[angle / 90]) {
    case 0: stem = colFull(main.left() + probe); QVERIFY(colFull(main.right() - probe) < stem / 3); break;
    case 1: stem = rowFull(main.bottom() - probe); QVERIFY(rowFull(main.top() + probe) < stem / 3); break;
    case 2: stem = colFull(main.right() - probe); QVERIFY(colFull(main.left() + probe) < stem / 3); break;
    case 3: stem = rowFull(main.top() + probe); QVERIFY(rowFull(main.bottom() - probe) < stem / 3); break;
    }
    QVERIFY(stem > 0);
    const bool upright = angle == 0 || angle == 180;
    QCOMPARE(main.height() > main.width(), upright);
}

void TestText::emptyCaptionDrawsBackgroundAndBorder()
{
    auto *l = PlaceOn<TGPLabel>(*mPanel, 0, 0, 142, 33);
    l->SetCaption(QString());
    l->SetTransparent(false);
    l->SetBackColor(cl::Lime);
    l->SetBorderStyle(bsSingle);
    const QImage image = PaintObject(l);
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(image.pixelColor(l->Width() - 1, l->Height() - 1), QColor(Qt::black));
    QCOMPARE(image.pixelColor(l->Width() / 2, l->Height() / 2), QColor(0, 255, 0));
    QCOMPARE(image.pixelColor(1, 1), QColor(0, 255, 0));
}

QTEST_MAIN(TestText)
#include "tst_text.moc"
