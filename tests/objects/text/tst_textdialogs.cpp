#include "TextTestSupport.h"

#include "controls/ColorCombo.h"
#include "controls/DialogSupport.h"
#include "controls/Fonts.h"
#include "controls/SpinEdit.h"
#include "design/Gqmpanel32.h"
#include "objects/Register.h"
#include "objects/text/Gf3d.h"
#include "objects/text/Ggetctr.h"
#include "objects/text/Ggetsym.h"
#include "objects/text/Ggettext.h"
#include "objects/text/Gpclabel.h"
#include "objects/text/Gplabel.h"
#include "objects/text/Gpslabel.h"
#include "objects/text/SymbolFonts.h"
#include "objects/text/TextFont.h"

#include <QAbstractItemDelegate>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QTest>

#include <functional>

namespace {

// Runs `drive` on the dialog of the given class once it is shown, then
// returns its result; anything else fails the run.
template <class D>
void DriveNextDialog(std::function<void(D &)> drive, QString *problem)
{
    SetDialogRunner([drive, problem](QDialog &dialog) {
        auto *d = qobject_cast<D *>(&dialog);
        if (!d) {
            *problem = QStringLiteral("unexpected dialog ") + dialog.metaObject()->className();
            return int(QDialog::Rejected);
        }
        d->show();
        if (!QTest::qWaitForWindowExposed(d))
            *problem = QStringLiteral("dialog not shown");
        drive(*d);
        const int result = d->result();
        d->hide();
        return result;
    });
}

void typeInto(QWidget *w, const QString &text)
{
    w->setFocus();
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->selectAll();
    else
        w->findChild<QLineEdit *>()->selectAll();
    QTest::keyClick(w, Qt::Key_Backspace);
    QTest::keyClicks(w, text);
}

}  // namespace

class TestTextDialogs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void textDialog_data();
    void textDialog();
    void fontCommandGrowsOnly();

    void effectsDialogCopiesOnOk_data();
    void effectsDialogCopiesOnOk();
    void effectsDialogKeepsUnlistedDepth();
    void effectsSampleShowsObjectFont();
    void effectsDialogShowsListedColours_data();
    void effectsDialogShowsListedColours();

    void counterDialog_data();
    void counterDialog();
    void counterDialogEnterClampsRepeat();

    void symbolDialog();
    void symbolDialogFontButton();
    void symbolColumns_data();
    void symbolColumns();
    void symbolCellsHoldWholeGlyphs_data();
    void symbolCellsHoldWholeGlyphs();

    void toolsCreateTextObjects_data();
    void toolsCreateTextObjects();

private:
    TGBasePanel *mPanel = nullptr;
    QString mProblem;
};

void TestTextDialogs::initTestCase()
{
    InstallFontSubstitutions();
    RegisterLabelClasses();
}

void TestTextDialogs::init()
{
    mPanel = new TGBasePanel();
    mPanel->resize(600, 400);
    mProblem.clear();
}

void TestTextDialogs::cleanup()
{
    SetDialogRunner({});
    SetFontPicker({});
    SetColorPicker({});
    delete mPanel;
    mPanel = nullptr;
    QVERIFY2(mProblem.isEmpty(), qPrintable(mProblem));
}

void TestTextDialogs::effectsDialogShowsListedColours_data()
{
    QTest::addColumn<TColor>("fontColor");
    QTest::addColumn<TColor>("shadowColor");
    QTest::addColumn<QString>("fontEntry");
    QTest::addColumn<QString>("shadowEntry");

    QTest::newRow("black font") << cl::Black << cl::Gray << "Black" << "Gray";
    // A text object made with the tool takes the panel's font, whose
    // colour is the window text colour.
    QTest::newRow("window text font") << cl::WindowText << cl::Black << "Black" << "Black";
    QTest::newRow("navy font, white shadow") << cl::Navy << cl::White << "Navy" << "White";
    QTest::newRow("unlisted colours") << TColor(0x123456) << TColor(0x010101) << "Custom..." << "Custom...";
}

void TestTextDialogs::effectsDialogShowsListedColours()
{
    QFETCH(TColor, fontColor);
    QFETCH(TColor, shadowColor);
    QFETCH(QString, fontEntry);
    QFETCH(QString, shadowEntry);
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::Text, Qt::black);
    QGuiApplication::setPalette(palette);

    auto *l = PlaceOn<TGPLabel>(*mPanel, 10, 10, 142, 33);
    l->Font()->SetColor(fontColor);
    l->SetcolorShadow(shadowColor);
    QString shownFont, shownShadow;
    DriveNextDialog<TGFont3DEffects>([&](TGFont3DEffects &d) {
        shownFont = d.FontColorCombo->currentText();
        shownShadow = d.ShadowColorCombo->currentText();
        QTest::mouseClick(d.Buttons->okButton(), Qt::LeftButton);
    }, &mProblem);
    l->ShowEffectsDialog();
    QCOMPARE(shownFont, fontEntry);
    QCOMPARE(shownShadow, shadowEntry);
    // Confirmed untouched, the object keeps the values it had.
    QCOMPARE(l->Font()->Color(), fontColor);
    QCOMPARE(l->colorShadow(), shadowColor);
}

void TestTextDialogs::textDialog_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("notified");
    QTest::addColumn<bool>("grown");

    QTest::newRow("ok") << "A caption that is long" << true << 30 << "A caption that is long" << true << true;
    QTest::newRow("cancel") << "Something else" << false << 30 << "Text" << false << false;
    // The frame is wide enough already, so FitToText has nothing to report either.
    QTest::newRow("unchanged text") << "Text" << true << 300 << "Text" << false << false;
    QTest::newRow("unchanged text, frame grows") << "Text" << true << 30 << "Text" << true << true;
    QTest::newRow("empty is accepted") << "" << true << 300 << "" << true << false;
}

void TestTextDialogs::textDialog()
{
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    QFETCH(int, width);
    auto *l = PlaceOn<TGPLabel>(*mPanel, 10, 10, width, 20);
    ChangeCounter changes(*mPanel);
    QString shown;
    DriveNextDialog<TGetLabelText>([&](TGetLabelText &d) {
        shown = d.LabelText->text();
        if (d.windowTitle() != QStringLiteral("Text") || d.size() != QSize(356, 133))
            mProblem = QStringLiteral("dialog frame");
        typeInto(d.LabelText, typed);
        QTest::mouseClick(ok ? d.Buttons->okButton() : d.Buttons->cancelButton(), Qt::LeftButton);
    }, &mProblem);
    l->EditText();
    QCOMPARE(shown, QStringLiteral("Text"));
    QTEST(l->Caption(), "caption");
    QTEST(changes.count > 0, "notified");
    QFETCH(bool, grown);
    const QFontMetrics fm(MakeQFont(*l->Font()));
    if (grown)
        QCOMPARE(l->Width(), fm.horizontalAdvance(l->Caption() + QStringLiteral("     ")));
    else
        QCOMPARE(l->Width(), width);
}

void TestTextDialogs::fontCommandGrowsOnly()
{
    auto *l = PlaceOn<TGPLabel>(*mPanel, 10, 10, 30, 15);
    QFont asked;
    SetFontPicker([&](const QFont &initial, QWidget *, QFontDialog::FontDialogOptions) -> std::optional<QFont> {
        asked = initial;
        QFont f(QStringLiteral("Times New Roman"));
        f.setPointSize(20);
        f.setBold(true);
        return f;
    });
    l->ChooseFont();
    QCOMPARE(asked.family(), QStringLiteral("Arial"));
    QCOMPARE(asked.pointSize(), 10);
    QCOMPARE(l->Font()->Name(), QStringLiteral("Times New Roman"));
    QCOMPARE(l->Font()->Size(), 20);
    QCOMPARE(l->Font()->Style(), TFontStyles(1u << fsBold));
    QCOMPARE(l->Font()->Color(), cl::Black);
    const QSize grown = l->size();
    QVERIFY(grown.width() > 30 && grown.height() > 15);

    // A smaller font, or a cancelled dialog, leaves the frame as it was.
    SetFontPicker([](const QFont &, QWidget *, QFontDialog::FontDialogOptions) -> std::optional<QFont> {
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPointSize(8);
        return f;
    });
    l->ChooseFont();
    QCOMPARE(l->Font()->Size(), 8);
    // Liberation Serif stands for Times New Roman, and keeps that name.
    QCOMPARE(l->Font()->Name(), QStringLiteral("Times New Roman"));
    QCOMPARE(l->size(), grown);
    SetFontPicker([](const QFont &, QWidget *, QFontDialog::FontDialogOptions) { return std::optional<QFont>(); });
    l->ChooseFont();
    QCOMPARE(l->Font()->Size(), 8);
    QCOMPARE(l->size(), grown);
}

void TestTextDialogs::effectsDialogCopiesOnOk_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("ok") << true;
    QTest::newRow("cancel") << false;
}

void TestTextDialogs::effectsDialogCopiesOnOk()
{
    QFETCH(bool, ok);
    auto *l = PlaceOn<TGCounterLabel>(*mPanel, 10, 10, 142, 33);
    l->SetAlignment(taRightJustify);
    l->Font()->SetSize(14);
    const QSize size = l->size();
    ChangeCounter changes(*mPanel);
    bool sampleFollowed = false, objectUntouched = false;
    DriveNextDialog<TGFont3DEffects>([&](TGFont3DEffects &d) {
        // Lists start at the object's values.
        if (d.ShadowDirection->currentIndex() != sdDownRight || d.HighlightDirection->currentIndex() != hdUpLeft
            || d.ShadowDepth->currentIndex() != 0 || d.FontColorCombo->color() != cl::Black
            || d.ShadowColorCombo->color() != cl::Gray || d.HighLightColorCombo->color() != cl::Aqua)
            mProblem = QStringLiteral("initial selection");
        d.ShadowDepth->setFocus();
        QTest::keyClick(d.ShadowDepth, Qt::Key_Down);
        QTest::keyClick(d.ShadowDepth, Qt::Key_Down);          // depth 2
        d.ShadowDirection->setFocus();
        QTest::keyClick(d.ShadowDirection, Qt::Key_Down);      // Lower Left
        d.HighLightDepth->setFocus();
        QTest::keyClick(d.HighLightDepth, Qt::Key_Down);       // depth 1
        d.HighlightDirection->setFocus();
        QTest::keyClick(d.HighlightDirection, Qt::Key_Up);     // Upper Right
        d.FontColorCombo->setFocus();
        QTest::keyClick(d.FontColorCombo, Qt::Key_Down);       // Maroon
        d.ShadowColorCombo->setFocus();
        QTest::keyClick(d.ShadowColorCombo, Qt::Key_Down);     // Silver
        sampleFollowed = d.Sample->DepthShadow() == 2 && d.Sample->DirectionShadow() == sdDownLeft
            && d.Sample->DepthHighlight() == 1 && d.Sample->DirectionHighlight() == hdUpRight
            && d.Sample->Font()->Color() == cl::Maroon && d.Sample->colorShadow() == cl::Silver
            && d.Sample->Caption() == QStringLiteral("Text") && d.Sample->size().width() == 437;
        objectUntouched = l->DepthShadow() == 0 && l->Font()->Color() == cl::Black;
        QTest::mouseClick(ok ? d.Buttons->okButton() : d.Buttons->cancelButton(), Qt::LeftButton);
    }, &mProblem);
    l->ShowEffectsDialog();
    QVERIFY(sampleFollowed);
    QVERIFY(objectUntouched);
    if (ok) {
        QCOMPARE(l->DepthShadow(), 2);
        QCOMPARE(l->DirectionShadow(), sdDownLeft);
        QCOMPARE(l->DepthHighlight(), 1);
        QCOMPARE(l->DirectionHighlight(), hdUpRight);
        QCOMPARE(l->Font()->Color(), cl::Maroon);
        QCOMPARE(l->colorShadow(), cl::Silver);
        QCOMPARE(l->colorHighlight(), cl::Aqua);
        QCOMPARE(l->ShadowOffset(), QPoint(-2, 2));
        QVERIFY(changes.count > 0);
    } else {
        QCOMPARE(l->DepthShadow(), 0);
        QCOMPARE(l->DirectionShadow(), sdDownRight);
        QCOMPARE(l->Font()->Color(), cl::Black);
        QCOMPARE(l->colorShadow(), cl::Gray);
        QCOMPARE(changes.count, 0);
    }
    // Not among the copied properties.
    QCOMPARE(l->Alignment(), taRightJustify);
    QCOMPARE(l->Font()->Size(), 14);
    QCOMPARE(l->size(), size);
}

void TestTextDialogs::effectsDialogKeepsUnlistedDepth()
{
    auto *l = PlaceOn<TGPLabel>(*mPanel, 10, 10, 142, 33);
    l->SetDepthShadow(12);
    int shownDepth = 0;
    DriveNextDialog<TGFont3DEffects>([&](TGFont3DEffects &d) {
        shownDepth = d.ShadowDepth->currentIndex();
        QTest::mouseClick(d.Buttons->okButton(), Qt::LeftButton);
    }, &mProblem);
    l->ShowEffectsDialog();
    QCOMPARE(shownDepth, -1);
    QCOMPARE(l->DepthShadow(), 12);
}

void TestTextDialogs::effectsSampleShowsObjectFont()
{
    auto *s = PlaceOn<TGSymbolLabel>(*mPanel, 10, 10, 50, 50);
    QString sampleFont, sampleText;
    int sampleHeight = 0;
    DriveNextDialog<TGFont3DEffects>([&](TGFont3DEffects &d) {
        sampleFont = d.Sample->Font()->Name();
        sampleHeight = d.Sample->Font()->Height();
        sampleText = d.Sample->DisplayCaption();
        QTest::mouseClick(d.Buttons->cancelButton(), Qt::LeftButton);
    }, &mProblem);
    s->ShowEffectsDialog();
    QCOMPARE(sampleFont, QStringLiteral("WingDings"));
    QCOMPARE(sampleHeight, -32);
    // The word Text as Wingdings glyphs.
    QCOMPARE(sampleText, symbolfonts::DisplayText(QStringLiteral("Wingdings"), QStringLiteral("Text")));
    QVERIFY(sampleText != QStringLiteral("Text"));
}

void TestTextDialogs::counterDialog_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("angle");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("repeat");
    QTest::addColumn<QString>("zeros");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("startingnumber");
    QTest::addColumn<int>("repeatEach");

    QTest::newRow("ok") << true << 0 << "5" << "3" << "3" << "No. 005/A" << 5 << 3;
    QTest::newRow("out of range repeat is clamped") << true << 0 << "-12" << "5000" << "0" << "No. -12/A" << -12 << 999;
    QTest::newRow("garbage reads as the minimum") << true << 0 << "x" << "y" << "z" << "No. 0/A" << 0 << 1;
    QTest::newRow("rotated keeps its frame") << true << 90 << "7" << "1" << "2" << "No. 07/A" << 7 << 1;
    QTest::newRow("cancel") << false << 0 << "5" << "3" << "3" << "1001" << 1000 << 2;
}

void TestTextDialogs::counterDialog()
{
    QFETCH(bool, ok);
    QFETCH(int, angle);
    QFETCH(QString, start);
    QFETCH(QString, repeat);
    QFETCH(QString, zeros);
    auto *c = PlaceOn<TGCounterLabel>(*mPanel, 10, 10, 300, 40);
    c->SetStartingnumber(1000);
    c->SetRepeatEach(2);
    c->SetAngle(angle);
    c->RecalculateLayout();
    c->AdvanceLabel();
    c->AdvanceLabel();
    QCOMPARE(c->CurrentValue(), 1001);
    const QSize before = c->size();
    ChangeCounter changes(*mPanel);
    QStringList shown;
    DriveNextDialog<TGetCounter>([&](TGetCounter &d) {
        shown << d.StartingNumber->text() << d.RepeatFor->text() << d.LeadingZeros->text() << d.TextBefore->text();
        typeInto(d.TextBefore, QStringLiteral("No. "));
        typeInto(d.StartingNumber, start);
        typeInto(d.RepeatFor, repeat);
        typeInto(d.TextAfter, QStringLiteral("/A"));
        typeInto(d.LeadingZeros, zeros);
        QTest::mouseClick(ok ? d.Buttons->okButton() : d.Buttons->cancelButton(), Qt::LeftButton);
    }, &mProblem);
    c->EditCounter();
    QCOMPARE(shown, (QStringList {"1000", "2", "0", ""}));
    QTEST(c->Caption(), "caption");
    QTEST(c->Startingnumber(), "startingnumber");
    QTEST(c->RepeatEach(), "repeatEach");
    if (!ok) {
        QCOMPARE(c->CurrentValue(), 1001);  // the edited start did not restart anything
        QCOMPARE(c->size(), before);
        QCOMPARE(changes.count, 0);
        return;
    }
    QVERIFY(changes.count > 0);
    QCOMPARE(c->CurrentValue(), c->Startingnumber());
    QCOMPARE(c->TextBefore(), QStringLiteral("No. "));
    QCOMPARE(c->TextAfter(), QStringLiteral("/A"));
    if (angle == 0) {
        // Shrunk to 10, then grown to the text.
        const QFontMetrics fm(MakeQFont(*c->Font()));
        QCOMPARE(c->Width(), fm.horizontalAdvance(c->Caption() + QStringLiteral("     ")));
    } else {
        QCOMPARE(c->size(), before);
    }
}

void TestTextDialogs::counterDialogEnterClampsRepeat()
{
    auto *c = PlaceOn<TGCounterLabel>(*mPanel, 10, 10, 142, 33);
    DriveNextDialog<TGetCounter>([&](TGetCounter &d) {
        typeInto(d.RepeatFor, QStringLiteral("0"));
        // Enter confirms without the box losing the focus.
        QTest::keyClick(d.RepeatFor, Qt::Key_Return);
    }, &mProblem);
    c->EditCounter();
    QCOMPARE(c->RepeatEach(), 1);
}

void TestTextDialogs::symbolDialog()
{
    auto *s = PlaceOn<TGSymbolLabel>(*mPanel, 10, 10, 10, 10);
    const QSize fittedBracket = s->size();
    QString button;
    int selected = -1;
    QString title;
    DriveNextDialog<TGetSymbol>([&](TGetSymbol &d) {
        button = d.Fontbutton->text();
        selected = d.SymbolList->currentRow();
        title = d.windowTitle();
        if (d.SymbolList->count() != 224)
            mProblem = QStringLiteral("grid size");
        // Code 0x4A: the smiling face.
        d.SymbolList->setFocus();
        const QRect cell = d.SymbolList->visualItemRect(d.SymbolList->item(0x4A - 32));
        QTest::mouseClick(d.SymbolList->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseClick(d.Buttons->okButton(), Qt::LeftButton);
    }, &mProblem);
    s->EditSymbol();
    QCOMPARE(title, QStringLiteral("Symbol Selector"));
    QCOMPARE(button, QStringLiteral("WingDings, 20pt "));
    QCOMPARE(selected, '[' - 32);
    QCOMPARE(s->Caption(), QStringLiteral("J"));
    QCOMPARE(s->Font()->Name(), QStringLiteral("WingDings"));
    QCOMPARE(s->Font()->Size(), 24);
    // The frame was refitted to the new character.
    const QFontMetrics fm(MakeQFont(*s->Font()));
    QCOMPARE(s->size(), QSize(int(1.1 * fm.horizontalAdvance(s->DisplayCaption())),
                              int(1.1 * (fm.ascent() + fm.descent()))));
    QVERIFY(s->size() != fittedBracket);

    // Cancel changes nothing.
    DriveNextDialog<TGetSymbol>([&](TGetSymbol &d) {
        d.SymbolList->setCurrentRow(0);
        QTest::mouseClick(d.Buttons->cancelButton(), Qt::LeftButton);
    }, &mProblem);
    s->EditSymbol();
    QCOMPARE(s->Caption(), QStringLiteral("J"));

    // Nothing selected: the caption stays a single character.
    DriveNextDialog<TGetSymbol>([&](TGetSymbol &d) {
        d.SymbolList->clearSelection();
        QTest::mouseClick(d.Buttons->okButton(), Qt::LeftButton);
    }, &mProblem);
    s->EditSymbol();
    QCOMPARE(s->Caption(), QStringLiteral("J"));
}

void TestTextDialogs::symbolDialogFontButton()
{
    auto *s = PlaceOn<TGSymbolLabel>(*mPanel, 10, 10, 10, 10);
    QFont offered;
    QFontDialog::FontDialogOptions options;
    SetFontPicker([&](const QFont &initial, QWidget *, QFontDialog::FontDialogOptions o) -> std::optional<QFont> {
        offered = initial;
        options = o;
        QFont f(QStringLiteral("Webdings"));
        f.setPointSize(30);
        f.setBold(true);
        return f;
    });
    QString before, after;
    int gridHeight = 0;
    DriveNextDialog<TGetSymbol>([&](TGetSymbol &d) {
        before = d.Fontbutton->text();
        QTest::mouseClick(d.Fontbutton, Qt::LeftButton);
        after = d.Fontbutton->text();
        gridHeight = d.GridFont().Height();
        d.SymbolList->setCurrentRow('!' - 32);
        QTest::mouseClick(d.Buttons->okButton(), Qt::LeftButton);
    }, &mProblem);
    s->EditSymbol();
    QCOMPARE(offered.family(), QStringLiteral("WingDings"));
    QCOMPARE(offered.pointSize(), 24);
    QVERIFY(options.testFlag(QFontDialog::ScalableFonts));
    QCOMPARE(before, QStringLiteral("WingDings, 20pt "));
    // The grid takes name and style, keeps its own size.
    QCOMPARE(after, QStringLiteral("Webdings, 20pt Bold "));
    QCOMPARE(gridHeight, -27);
    // The object takes the whole font.
    QCOMPARE(s->Font()->Name(), QStringLiteral("Webdings"));
    QCOMPARE(s->Font()->Size(), 30);
    QCOMPARE(s->Font()->Style(), TFontStyles(1u << fsBold));
    QCOMPARE(s->Caption(), QStringLiteral("!"));
    const QFontMetrics fm(MakeQFont(*s->Font()));
    QCOMPARE(s->Width(), int(1.1 * fm.horizontalAdvance(s->DisplayCaption())));
}

void TestTextDialogs::symbolColumns_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("columns");
    QTest::newRow("5") << 5 << 1;
    QTest::newRow("10") << 10 << 14;
    QTest::newRow("20 (the grid's 27 px)") << 20 << 10;
    QTest::newRow("41") << 41 << 4;
    QTest::newRow("73") << 73 << 1;
}

void TestTextDialogs::symbolColumns()
{
    QFETCH(int, points);
    QFETCH(int, columns);
    QCOMPARE(TGetSymbol::ColumnsForPointSize(points), columns);
    if (points != 20)
        return;
    TGetSymbol d;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.SetSymbolListcolumns();
    // The font's glyphs fit the share of the width; rows are at least 30
    // pixels, and higher where the font's glyphs are.
    QCOMPARE(d.SymbolList->gridSize().width(), d.SymbolList->viewport()->width() / columns);
    QVERIFY(d.SymbolList->gridSize().height() >= 30);
    QCOMPARE(d.SymbolList->gridSize(), d.CellSize());
    // Ten cells across the visible part of the first row (the list scrolls sideways).
    const QRect visible = d.SymbolList->viewport()->rect();
    const int y = d.SymbolList->visualItemRect(d.SymbolList->item(0)).top();
    int across = 0;
    for (int i = 0; i < d.SymbolList->count(); ++i) {
        const QRect cell = d.SymbolList->visualItemRect(d.SymbolList->item(i));
        across += cell.top() == y && visible.contains(cell);
    }
    QCOMPARE(across, columns);
}

void TestTextDialogs::symbolCellsHoldWholeGlyphs_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("height");  // of the grid font, pixels

    const int bold = 1 << fsBold, italic = 1 << fsItalic;
    // The grid's own 27 pixels with the symbol fonts and ordinary ones the
    // font button offers; and a larger grid font, which must not overlap.
    for (const char *name : {"WingDings", "Wingdings 2", "Wingdings 3", "Webdings", "Symbol"}) {
        QTest::addRow("%s", name) << QString::fromLatin1(name) << 0 << 27;
        QTest::addRow("%s bold", name) << QString::fromLatin1(name) << bold << 27;
    }
    QTest::newRow("DejaVu Sans") << "DejaVu Sans" << 0 << 27;
    QTest::newRow("Liberation Serif bold italic") << "Liberation Serif" << (bold | italic) << 27;
    QTest::newRow("Arial italic") << "Arial" << italic << 27;
    QTest::newRow("WingDings at 48 px") << "WingDings" << 0 << 48;
}

void TestTextDialogs::symbolCellsHoldWholeGlyphs()
{
    QFETCH(QString, font);
    QFETCH(int, style);
    QFETCH(int, height);
    TGetSymbol d;
    d.GridFont().SetName(font);
    d.GridFont().SetStyle(TFontStyles(style));
    d.GridFont().SetHeight(-height);
    d.GridFontChanged();
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));

    // The cells the list lays out are the cell size and do not overlap.
    const QSize cell = d.CellSize();
    QRect previous;
    for (int i = 0; i < d.SymbolList->count(); ++i) {
        const QRect r = d.SymbolList->visualItemRect(d.SymbolList->item(i));
        QCOMPARE(r.size(), cell);
        if (i > 0)
            QVERIFY2(!r.intersects(previous), qPrintable(QStringLiteral("cells %1 and %2").arg(i - 1).arg(i)));
        previous = r;
    }

    // Each cell, painted with room around it, shows its whole glyph: the
    // ink stays inside the cell and is as large as the glyph drawn freely.
    constexpr int room = 40;
    QAbstractItemDelegate *delegate = d.SymbolList->itemDelegate();
    const QFont gridFont = MakeQFont(d.GridFont());
    const auto inkOf = [](const QImage &image) {
        QRect ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    ink |= QRect(x, y, 1, 1);
        return ink;
    };
    int inked = 0;
    for (int i = 0; i < d.SymbolList->count(); ++i) {
        QImage image(cell + QSize(2 * room, 2 * room), QImage::Format_RGB32);
        image.fill(Qt::white);
        QStyleOptionViewItem option;
        option.initFrom(d.SymbolList);
        option.rect = QRect(QPoint(room, room), cell);
        option.state = QStyle::State_Enabled;
        {
            QPainter p(&image);
            delegate->paint(&p, option, d.SymbolList->model()->index(i, 0));
        }
        const QRect shown = inkOf(image);
        QImage free(QSize(4, 3) * (gridFont.pixelSize() + room), QImage::Format_RGB32);
        free.fill(Qt::white);
        {
            QPainter p(&free);
            p.setFont(gridFont);
            p.setPen(Qt::black);
            p.drawText(QPoint(free.width() / 3, free.height() * 2 / 3), TGetSymbol::CellText(d.GridFont(), i + 32));
        }
        const QRect whole = inkOf(free);
        const QString what = QStringLiteral("code %1: glyph %2 x %3, shown %4 x %5 at %6, %7 in a cell at %8, %9")
                                 .arg(i + 32).arg(whole.width()).arg(whole.height())
                                 .arg(shown.width()).arg(shown.height()).arg(shown.x()).arg(shown.y())
                                 .arg(room).arg(room);
        QVERIFY2(shown.isNull() || option.rect.contains(shown), qPrintable(what));
        QVERIFY2(qAbs(shown.width() - whole.width()) <= 1 && qAbs(shown.height() - whole.height()) <= 1,
                 qPrintable(what));
        inked += !shown.isNull();
    }
    // The fonts draw something in most cells.
    QVERIFY2(inked > 150, qPrintable(QString::number(inked)));
}

void TestTextDialogs::toolsCreateTextObjects_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("fontName");
    QTest::newRow("text") << int(psLabel) << QByteArray("TGPLabel") << "<text>" << "Courier New";
    QTest::newRow("counter") << int(psCounterLabel) << QByteArray("TGCounterLabel") << "1000" << "Courier New";
    QTest::newRow("symbol") << int(psSymbolLabel) << QByteArray("TGSymbolLabel") << "[" << "WingDings";
}

void TestTextDialogs::toolsCreateTextObjects()
{
    QFETCH(int, tool);
    QFETCH(QByteArray, className);
    TGQuillmarkPanel32 panel;
    panel.resize(400, 300);
    panel.Font().SetName(QStringLiteral("Courier New"));
    panel.Font().SetSize(12);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QString dialogClass;
    SetDialogRunner([&](QDialog &d) {
        dialogClass = QString::fromLatin1(d.metaObject()->className());
        return int(QDialog::Rejected);
    });
    panel.SetPanelState(TLPanelState(tool));
    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(panel.PanelState(), psPointing);
    QCOMPARE(panel.Objects().size(), 1);
    auto *o = dynamic_cast<TGBaseLabel *>(panel.Objects().first());
    QVERIFY(o);
    QCOMPARE(o->ClassName(), className);
    QCOMPARE(o->pos(), QPoint(10, 10));
    const QStringList dialogs = {"TGetLabelText", "TGetCounter", "TGetSymbol"};
    QVERIFY2(dialogs.contains(dialogClass), qPrintable(dialogClass));
    PaintObject(o);
    QTEST(o->Caption(), "caption");
    QTEST(o->Font()->Name(), "fontName");
    if (className != "TGSymbolLabel")
        QCOMPARE(o->Font()->Size(), 12);
    if (auto *c = dynamic_cast<TGCounterLabel *>(o)) {
        QCOMPARE(c->Startingnumber(), 1000);
        QCOMPARE(c->CurrentValue(), 1000);
    }
}

QTEST_MAIN(TestTextDialogs)
#include "tst_textdialogs.moc"
