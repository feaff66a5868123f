// The text block (multi-line text): line placement, word wrap, fitting,
// its editor and tool, stored bytes and absurd values from files.

#include "TextTestSupport.h"

#include "controls/DialogSupport.h"
#include "controls/Fonts.h"
#include "design/Gqmpanel32.h"
#include "objects/Register.h"
#include "objects/text/Gmlted.h"
#include "objects/text/Gpmlabel.h"
#include "objects/text/TextFont.h"
#include "print/engine/Report.h"
#include "storage/Stream.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

bool isInk(QRgb c) { return qGray(c) < 160; }

QByteArray writeRoot(const TComponent &c)
{
    PropertyWriter w;
    w.writeRootComponent(c);
    return w.data();
}

TGMultiLineLabel *readOne(const QByteArray &record, TGBasePanel &panel)
{
    PropertyReader r(record + '\0');
    QList<TComponent *> read;
    r.readRootComponents(nullptr, &panel, [&](TComponent *c) { read.append(c); });
    auto *o = read.size() == 1 ? dynamic_cast<TGMultiLineLabel *>(read.first()) : nullptr;
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

// The object drawn on an image taller than itself, so that anything drawn
// below its bottom edge would show.
QImage paintTall(TGGraphicControl *o, int height)
{
    QImage image(o->Width(), height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    o->PaintTo(p);
    return image;
}

QRect bandInk(const QImage &image, int top, int height)
{
    return inkBox(image.copy(0, top, image.width(), height), isInk).translated(0, top);
}

}  // namespace

class TestTextBlocks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void alignmentOffsets_data();
    void alignmentOffsets();
    void placeholder_data();
    void placeholder();
    void linesCutAtBottom();
    void wordWrap_data();
    void wordWrap();
    void rewrapOnResizeFontAndZoom();
    void fitToLines_data();
    void fitToLines();

    void storedBytes_data();
    void storedBytes();
    void absurdValuesStayBounded_data();
    void absurdValuesStayBounded();
    void printsWhereThePanelDraws();

    void editorLimitAndResult();
    void toolCreatesAndFits();
    void wordWrapMenuItem();

private:
    TGBasePanel *mPanel = nullptr;
};

void TestTextBlocks::initTestCase()
{
    InstallFontSubstitutions();
    RegisterLabelClasses();
}

void TestTextBlocks::init()
{
    mPanel = new TGBasePanel();
    mPanel->resize(600, 400);
}

void TestTextBlocks::cleanup()
{
    SetDialogRunner({});
    SetFontPicker({});
    delete mPanel;
    mPanel = nullptr;
}

void TestTextBlocks::alignmentOffsets_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("width");
    QTest::newRow("right, even width") << int(taRightJustify) << 190;
    QTest::newRow("right, odd width") << int(taRightJustify) << 171;
    QTest::newRow("centre, even width") << int(taCenter) << 190;
    QTest::newRow("centre, odd width") << int(taCenter) << 171;
}

// Every line's ink lies where the left-aligned ink would, moved by the
// line's offset: Width - w - 1 at the right, Width div 2 - w div 2 + 1 centred.
void TestTextBlocks::alignmentOffsets()
{
    QFETCH(int, alignment);
    QFETCH(int, width);
    const QStringList lines = {QStringLiteral("Hill"), QStringLiteral("HH HHH HHHH"), QStringLiteral("I")};
    auto *left = PlaceOn<TGMultiLineLabel>(*mPanel, 0, 0, width, 80);
    auto *aligned = PlaceOn<TGMultiLineLabel>(*mPanel, 0, 100, width, 80);
    left->SetItems(lines);
    aligned->SetItems(lines);
    aligned->SetAlignment(TAlignment(alignment));
    const QImage a = PaintObject(left), b = PaintObject(aligned);
    const int lh = left->LineHeight();
    const QFont font = left->CanvasFont();
    for (int i = 0; i < lines.size(); ++i) {
        const int w = TextWidth(font, lines.at(i));
        const int dx = alignment == taRightJustify ? width - w - 1 : width / 2 - w / 2 + 1;
        const QRect inkLeft = bandInk(a, i * lh, lh), inkAligned = bandInk(b, i * lh, lh);
        QVERIFY(!inkLeft.isEmpty());
        QCOMPARE(inkAligned, inkLeft.translated(dx, 0));
    }
}

void TestTextBlocks::placeholder_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QList<bool>>("inkInBand");  // lines 0, 1, 2
    QTest::newRow("no lines") << QStringList() << QList<bool>{true, false, false};
    QTest::newRow("one blank line") << QStringList{QStringLiteral("   ")} << QList<bool>{false, true, false};
    QTest::newRow("one empty line") << QStringList{QString()} << QList<bool>{false, true, false};
    QTest::newRow("two blank lines") << QStringList{QStringLiteral(" "), QString()} << QList<bool>{false, false, false};
    QTest::newRow("one word") << QStringList{QStringLiteral("Word")} << QList<bool>{true, false, false};
}

void TestTextBlocks::placeholder()
{
    QFETCH(QStringList, items);
    QFETCH(QList<bool>, inkInBand);
    auto *o = PlaceOn<TGMultiLineLabel>(*mPanel, 0, 0, 190, 100);
    o->SetItems(items);
    auto *reference = PlaceOn<TGMultiLineLabel>(*mPanel, 0, 0, 190, 100);
    reference->SetItems({QStringLiteral("<blank>")});
    const QImage image = PaintObject(o);
    const int lh = o->LineHeight();
    for (int i = 0; i < inkInBand.size(); ++i)
        QCOMPARE(!bandInk(image, i * lh, lh).isEmpty(), inkInBand.at(i));
    // The placeholder is drawn like a real line of that text.
    const int placeholderLine = int(inkInBand.indexOf(true));
    if (items.size() <= 1 && placeholderLine >= 0 && (items.isEmpty() || items.first().trimmed().isEmpty()))
        QCOMPARE(bandInk(image, placeholderLine * lh, lh),
                 bandInk(PaintObject(reference), 0, lh).translated(0, placeholderLine * lh));
}

void TestTextBlocks::linesCutAtBottom()
{
    auto *o = PlaceOn<TGMultiLineLabel>(*mPanel, 0, 0, 190, 40);
    o->SetItems({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three"), QStringLiteral("Four")});
    const int lh = o->LineHeight();
    o->SetHeight(lh + lh / 2);
    const QImage image = paintTall(o, 5 * lh);
    const QRect ink = inkBox(image, isInk);
    QVERIFY(ink.bottom() < o->Height());
    QVERIFY(!bandInk(image, lh, lh / 2).isEmpty());  // the top of the second line shows
    QCOMPARE(o->Height(), lh + lh / 2);  // nothing resized the frame
}

void TestTextBlocks::wordWrap_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("minLines");
    const QString paragraph = QStringLiteral("The quick brown fox jumps over the lazy dog and keeps on running");
    QTest::newRow("long paragraph in 100 pixels") << QStringList{paragraph} << 100 << 4;
    QTest::newRow("two paragraphs stay apart") << QStringList{QStringLiteral("one two three four"), QStringLiteral("five")}
                                              << 60 << 3;
    QTest::newRow("over-long word broken") << QStringList{QStringLiteral("Supercalifragilisticexpialidocious")} << 50
                                           << 3;
    QTest::newRow("word and over-long word") << QStringList{QStringLiteral("a Honorificabilitudinitatibus b")} << 40 << 4;
    QTest::newRow("empty paragraph kept") << QStringList{QStringLiteral("x"), QString(), QStringLiteral("y")} << 100
                                          << 3;
}

// The lines fit the usable width, break at blanks where there are any, and
// together hold the text of each paragraph in order.
void TestTextBlocks::wordWrap()
{
    QFETCH(QStringList, items);
    QFETCH(int, width);
    QFETCH(int, minLines);
    auto *o = PlaceOn<TGMultiLineLabel>(*mPanel, 0, 0, width, 200);
    o->SetItems(items);
    o->SetWordWrap(true);
    const QStringList wrapped = o->WrappedLines();
    QVERIFY2(wrapped.size() >= minLines, qPrintable(wrapped.join(QLatin1Char('|'))));
    const QFont font = o->CanvasFont();
    for (const QString &line : wrapped)
        QVERIFY2(TextWidth(font, line) <= width, qPrintable(line));
    const auto squeeze = [](const QString &s) { return QString(s).remove(QLatin1Char(' ')); };
    QCOMPARE(squeeze(wrapped.join(QString())), squeeze(items.join(QString())));
    // No word that fits was broken: each line ends at a blank or a line end.
    for (const QString &item : items)
        for (const QString &word : item.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            if (TextWidth(font, word) <= width - 4)
                QVERIFY2(wrapped.contains(word) || std::any_of(wrapped.begin(), wrapped.end(), [&](const QString &l) {
                             return l.split(QLatin1Char(' ')).contains(word);
                         }),
                         qPrintable(word));
    // Drawing shows the wrapped lines, not the paragraphs.
    QCOMPARE(o->DisplayLines(), wrapped.isEmpty() ? QStringList{QStringLiteral("<blank>")} : wrapped);
}

void TestTextBlocks::rewrapOnResizeFontAndZoom()
{
    auto *o = PlaceOn<TGMultiLineLabel>(*mPanel, 0, 0, 100, 200);
    o->SetItems({QStringLiteral("The quick brown fox jumps over the lazy dog")});
    o->SetWordWrap(true);
    const qsizetype narrow = o->WrappedLines().size();
    QVERIFY(narrow > 2);
    o->SetWidth(400);  // no paint in between
    QCOMPARE(o->WrappedLines().size(), qsizetype(1));
    o->SetWidth(100);
    QCOMPARE(o->WrappedLines().size(), narrow);
    o->Font()->SetSize(20);
    QVERIFY(o->WrappedLines().size() > narrow);
    o->Font()->SetSize(10);
    o->SetScale(0.5f);  // the zoom halves the width and the font
    QCOMPARE(o->Width(), 50);
    QVERIFY(qAbs(o->WrappedLines().size() - narrow) <= 1);
    o->SetWordWrap(false);
    QCOMPARE(o->DisplayLines(), o->Items()->Lines());
}

void TestTextBlocks::fitToLines_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<int>("lines");     // line heights of the new height
    QTest::addColumn<bool>("widened");  // width grew to the widest line
    const QString wide = QStringLiteral("A line much wider than the frame it is in");
    QTest::newRow("shrinks to two lines") << QStringList{QStringLiteral("a"), QStringLiteral("b")} << 190 << false << 2
                                          << false;
    QTest::newRow("grows to the widest line") << QStringList{wide, QStringLiteral("b")} << 60 << false << 2 << true;
    QTest::newRow("never narrower") << QStringList{QStringLiteral("x")} << 300 << false << 1 << false;
    QTest::newRow("wrapped lines count") << QStringList{wide} << 100 << true << -1 << false;
    QTest::newRow("no lines: one line high") << QStringList() << 190 << false << 1 << false;
}

void TestTextBlocks::fitToLines()
{
    QFETCH(QStringList, items);
    QFETCH(int, width);
    QFETCH(bool, wrap);
    QFETCH(int, lines);
    QFETCH(bool, widened);
    auto *o = PlaceOn<TGMultiLineLabel>(*mPanel, 20, 30, width, 300);
    o->SetItems(items);
    o->SetWordWrap(wrap);
    o->FitToLines();
    if (lines < 0)
        lines = int(o->WrappedLines().size());
    QVERIFY(!wrap || lines > 1);
    QCOMPARE(o->pos(), QPoint(20, 30));
    QCOMPARE(o->Height(), lines * o->LineHeight());
    int widest = 0;
    for (const QString &s : items)
        widest = qMax(widest, TextWidth(o->CanvasFont(), s));
    QCOMPARE(o->Width(), widened ? widest : width);
}

void TestTextBlocks::storedBytes_data()
{
    QTest::addColumn<bool>("defaults");
    QTest::newRow("defaults") << true;
    QTest::newRow("every value set") << false;
}

void TestTextBlocks::storedBytes()
{
    QFETCH(bool, defaults);
    auto *o = PlaceOn<TGMultiLineLabel>(*mPanel, 12, 34, 150, 60);
    o->SetName(QStringLiteral("Special2"));
    if (!defaults) {
        o->SetItems({QStringLiteral("Grüße"), QString(), QStringLiteral("third line, long enough to wrap")});
        o->SetAutoSize(true);
        o->SetAlignment(taCenter);
        o->Font()->SetName(QStringLiteral("Times New Roman"));
        o->Font()->SetSize(14);
        o->Font()->SetColor(cl::Maroon);
        o->SetWordWrap(true);
    }
    QList<QByteArray> expected = {"Left", "Top", "Width", "Height"};
    if (!defaults)
        expected << "Items.Strings";
    expected << "AutoSize";
    if (!defaults)
        expected << "Alignment";
    expected << "Font.Color" << "Font.Height" << "Font.Name";  // an empty style is not written
    if (!defaults)
        expected << "WordWrap";
    QList<QByteArray> names = writtenNames(*o);
    QCOMPARE(names, expected);

    const QByteArray first = writeRoot(*o);
    TGMultiLineLabel *copy = readOne(first, *mPanel);
    QVERIFY(copy);
    QCOMPARE(copy->geometry(), o->geometry());
    QCOMPARE(copy->Items()->Lines(), o->Items()->Lines());
    QCOMPARE(copy->AutoSize(), o->AutoSize());
    QCOMPARE(copy->Alignment(), o->Alignment());
    QCOMPARE(copy->Font()->Name(), o->Font()->Name());
    QCOMPARE(copy->Font()->Height(), o->Font()->Height());
    QCOMPARE(copy->WordWrap(), o->WordWrap());
    // A file read with word wrap on comes with its wrapped lines.
    QCOMPARE(copy->WrappedLines(), o->WrappedLines());
    QCOMPARE(writeRoot(*copy).toHex(' '), first.toHex(' '));
}

void TestTextBlocks::absurdValuesStayBounded_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("lineLength");
    QTest::addColumn<int>("fontHeight");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("wrap");
    QTest::newRow("100,000 lines, 30,000 square") << 100000 << 8 << -13 << 30000 << 30000 << false;
    QTest::newRow("100,000 lines wrapped") << 100000 << 30 << -13 << 60 << 30000 << true;
    QTest::newRow("1 MB paragraph wrapped") << 1 << 1000000 << -13 << 30000 << 30000 << true;
    QTest::newRow("enormous font") << 3 << 10 << -2000000000 << 300 << 300 << true;
    QTest::newRow("negative font size") << 3 << 10 << 2000000000 << 300 << 300 << false;
    QTest::newRow("zero size") << 3 << 10 << -13 << 0 << 0 << true;
}

// A file may hold any of these; it reads, draws and prints in bounded time
// and keeps what it holds.
void TestTextBlocks::absurdValuesStayBounded()
{
    QFETCH(int, lines);
    QFETCH(int, lineLength);
    QFETCH(int, fontHeight);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, wrap);
    TGMultiLineLabel source;
    QStringList items;
    const QString word = QStringLiteral("word ");
    QString line = word.repeated(lineLength / word.size() + 1).left(lineLength);
    for (int i = 0; i < lines; ++i)
        items << line;
    source.SetItems(items);
    source.Font()->SetHeight(fontHeight);
    source.SetLoading(true);  // as a file gives them, unchecked
    source.SetBounds(5, 5, width, height);
    source.SetLoading(false);
    source.SetWordWrap(wrap);
    const QByteArray record = writeRoot(source);

    QElapsedTimer timer;
    timer.start();
    TGMultiLineLabel *o = readOne(record, *mPanel);
    QVERIFY(o);
    QCOMPARE(o->Items()->Lines().size(), qsizetype(lines));
    QCOMPARE(o->Font()->Height(), fontHeight);
    QCOMPARE(o->size(), QSize(width, height));
    QVERIFY(o->WrappedLines().size() <= TGMultiLineBaseLabel::MaxWrappedLines);
    QVERIFY(o->LineHeight() <= 2 * MaxDrawnFontPixels);
    QImage image(400, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        o->PaintTo(p);
        TReport report(&p, 300, 300);
        o->PrintOnReport(report, 0, 0);
    }
    QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
}

void TestTextBlocks::printsWhereThePanelDraws()
{
    auto *o = PlaceOn<TGMultiLineLabel>(*mPanel, 24, 48, 120, 80);
    o->SetItems({QStringLiteral("Several words that wrap"), QStringLiteral("Right")});
    o->SetAlignment(taRightJustify);
    o->SetWordWrap(true);
    const QImage screen = PaintObject(o);
    const QRect onScreen = inkBox(screen, isInk);
    QVERIFY(!onScreen.isEmpty());

    // At 288 dpi every screen pixel is three page pixels.
    QImage page(1200, 1200, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        TReport report(&painter, 288, 288);
        o->PrintOnReport(report, 1.0, 0.5);
    }
    const QRect printed = inkBox(page, isInk);
    const QPoint origin(288 + 24 * 3, 144 + 48 * 3);
    const QRect expected(origin + onScreen.topLeft() * 3, onScreen.size() * 3);
    QVERIFY2(qAbs(printed.left() - expected.left()) <= 4 && qAbs(printed.right() - expected.right()) <= 4
                 && qAbs(printed.top() - expected.top()) <= 4 && qAbs(printed.bottom() - expected.bottom()) <= 4,
             qPrintable(QStringLiteral("printed %1,%2 %3x%4, panel %5,%6 %7x%8")
                            .arg(printed.x()).arg(printed.y()).arg(printed.width()).arg(printed.height())
                            .arg(expected.x()).arg(expected.y()).arg(expected.width()).arg(expected.height())));

    o->SetLoading(true);
    o->SetBounds(24, 48, 0, 80);
    o->SetLoading(false);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        TReport report(&painter, 288, 288);
        o->PrintOnReport(report, 1.0, 0.5);
    }
    QVERIFY(inkBox(page, isInk).isEmpty());
}

void TestTextBlocks::editorLimitAndResult()
{
    TMultiLineTextEditor editor;
    QCOMPARE(editor.windowTitle(), QStringLiteral("Multi-line Text Editor"));
    editor.SetLines({QStringLiteral("first"), QStringLiteral("second")});
    QCOMPARE(editor.Lines(), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.Memo->moveCursor(QTextCursor::End);
    QTest::keyClick(editor.Memo, Qt::Key_Return);
    QTest::keyClicks(editor.Memo, QString(300, QLatin1Char('x')));
    const QString text = editor.Memo->toPlainText();
    QCOMPARE(text.size(), qsizetype(TMultiLineTextEditor::MaxLength));
    QVERIFY(text.startsWith(QStringLiteral("first\nsecond\nxxx")));
    // A paste is cut to what still fits.
    editor.Memo->selectAll();
    editor.Memo->insertPlainText(QString(1000, QLatin1Char('y')));
    QCOMPARE(editor.Memo->toPlainText(), QString(TMultiLineTextEditor::MaxLength, QLatin1Char('y')));
    editor.Memo->setPlainText(QStringLiteral("a\n\nb\n"));
    QCOMPARE(editor.Lines(), (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    editor.Memo->clear();
    QCOMPARE(editor.Lines(), QStringList());
}

void TestTextBlocks::toolCreatesAndFits()
{
    TGQuillmarkPanel32 panel;
    panel.resize(400, 300);
    panel.Font().SetName(QStringLiteral("Courier New"));
    panel.Font().SetSize(12);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QString dialogClass;
    QFont memoFont;
    SetDialogRunner([&](QDialog &d) {
        dialogClass = QString::fromLatin1(d.metaObject()->className());
        auto *editor = qobject_cast<TMultiLineTextEditor *>(&d);
        if (!editor)
            return int(QDialog::Rejected);
        memoFont = editor->Memo->font();
        editor->Memo->setPlainText(QStringLiteral("One\nTwo\nA rather longer third line"));
        return int(QDialog::Accepted);
    });
    panel.SetPanelState(psMultiLineLabel);
    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(dialogClass, QStringLiteral("TMultiLineTextEditor"));
    QCOMPARE(panel.PanelState(), psPointing);
    QCOMPARE(panel.Objects().size(), 1);
    auto *o = dynamic_cast<TGMultiLineLabel *>(panel.Objects().first());
    QVERIFY(o);
    QCOMPARE(o->Font()->Name(), QStringLiteral("Courier New"));
    QCOMPARE(o->Items()->Lines().size(), qsizetype(3));
    QCOMPARE(o->pos(), QPoint(10, 10));
    QCOMPARE(o->Height(), 3 * o->LineHeight());
    QCOMPARE(o->Width(), qMax(50, TextWidth(o->CanvasFont(), QStringLiteral("A rather longer third line"))));
    QCOMPARE(memoFont.family(), o->CanvasFont().family());

    // Cancel in the "Text" command changes nothing.
    SetDialogRunner([](QDialog &d) {
        if (auto *editor = qobject_cast<TMultiLineTextEditor *>(&d))
            editor->Memo->setPlainText(QStringLiteral("discarded"));
        return int(QDialog::Rejected);
    });
    o->EditLines();
    QCOMPARE(o->Items()->Lines().first(), QStringLiteral("One"));
}

void TestTextBlocks::wordWrapMenuItem()
{
    auto *o = PlaceOn<TGMultiLineLabel>(*mPanel, 0, 0, 80, 100);
    o->SetItems({QStringLiteral("words enough to need a wrap")});
    ChangeCounter changes(*mPanel);
    QMenu *menu = o->ObjectMenu();
    QStringList captions;
    for (QAction *a : menu->actions())
        captions << a->text();
    const QStringList tail = captions.mid(captions.size() - 6);
    QCOMPARE(tail, (QStringList{QString(), QStringLiteral("Font"), QStringLiteral("Alignment"), QString(),
                                QStringLiteral("Text"), QStringLiteral("Word Wrap")}));
    QAction *wrap = o->WordWrapItem();
    QVERIFY(!wrap->isChecked());
    wrap->trigger();
    QVERIFY(o->WordWrap());
    QVERIFY(wrap->isChecked());
    QVERIFY(o->WrappedLines().size() > 1);
    QVERIFY(changes.count > 0);
    // "Alignment" > "Center" sets it and shows the check mark on the next opening.
    QMenu *alignment = menu->actions().at(captions.indexOf(QStringLiteral("Alignment")))->menu();
    alignment->actions().at(1)->trigger();
    QCOMPARE(o->Alignment(), taCenter);
    o->PrepareObjectMenu();
    QVERIFY(alignment->actions().at(1)->isChecked());
    QVERIFY(!alignment->actions().at(0)->isChecked());
}

QTEST_MAIN(TestTextBlocks)
#include "tst_textblocks.moc"
