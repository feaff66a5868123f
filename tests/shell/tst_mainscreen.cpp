// The main window driven through real mouse and key events.
#include "design/GGraphc.h"
#include "design/GHandle.h"
#include "objects/Register.h"
#include "print/engine/PrinterEngine.h"
#include "shell/Main.h"
#include "storage/AppPaths.h"
#include "storage/Gdiobj.h"
#include "storage/AppPaths.h"
#include "storage/Persist.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <memory>

class TestMainScreen : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startupState();
    void toolButtons_data();
    void toolButtons();
    void dropReturnsToSelectionTool_data();
    void dropReturnsToSelectionTool();
    void unregisteredToolClassIsHarmless();
    void zoomSteps_data();
    void zoomSteps();
    void zoomKeepsDesignUnchanged();
    void changesMade_data();
    void changesMade();
    void labelSizeFromInches_data();
    void labelSizeFromInches();
    void labelSizeAtZoom();
    void captions_data();
    void captions();
    void menus_data();
    void menus();
    void shortcuts_data();
    void shortcuts();
    void zoomButtonHints();
    void scrollKeys_data();
    void scrollKeys();
    void panelKeys_data();
    void panelKeys();
    void arrowKeysMoveSelection();
    void aboutBox();
    void cancelChanges_data();
    void cancelChanges();
    void hints_data();
    void hints();

private:
    TGGraphicControl *drawWith(TLPanelState tool, QPoint from, QPoint to);
    QToolButton *button(const char *name) const;
    // Where the system would deliver a key now.
    QWidget *keyTarget() const;

    // Each window starts with a program directory of its own: no settings,
    // no recent files.
    std::unique_ptr<QTemporaryDir> mProgramDir;
    std::unique_ptr<TQMMainScreen> mWindow;
};

namespace {

// One menu as a list of "caption [shortcut] {off} {checked}", "-" for a
// separator and "caption >" for a submenu followed by its items indented.
QStringList describe(const QMenu *menu, const QString &indent = QString())
{
    QStringList out;
    for (QAction *a : menu->actions()) {
        if (a->isSeparator()) {
            out << indent + QStringLiteral("-");
            continue;
        }
        QString s = indent + a->text();
        if (a->menu())
            s += QStringLiteral(" >");
        if (!a->shortcut().isEmpty())
            s += QStringLiteral(" [") + a->shortcut().toString() + QLatin1Char(']');
        if (!a->isEnabled())
            s += QStringLiteral(" {off}");
        if (a->isChecked())
            s += QStringLiteral(" {checked}");
        out << s;
        if (a->menu())
            out << describe(a->menu(), indent + QStringLiteral("  "));
    }
    return out;
}

QMenu *topMenu(QMainWindow *w, const QString &title)
{
    for (QAction *a : w->menuBar()->actions())
        if (a->menu() && a->text() == title)
            return a->menu();
    return nullptr;
}

}  // namespace

void TestMainScreen::initTestCase()
{
    RegisterLabelClasses();
    // These tests see a machine without printers; the print commands are
    // tested on their own.
    TQMMainScreen::PrinterListSource = [] { return TPrinterList{}; };
}

void TestMainScreen::init()
{
    mProgramDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mProgramDir->isValid());
    AppPaths::SetProgramDirOverride(mProgramDir->path());
    mWindow = std::make_unique<TQMMainScreen>();
    mWindow->show();
    QVERIFY(QTest::qWaitForWindowActive(mWindow.get()));
    // The first activation runs once the window is on the screen.
    QTRY_VERIFY(!mWindow->Busy());
}

void TestMainScreen::cleanup()
{
    mWindow.reset();
    AppPaths::SetProgramDirOverride(QString());
    mProgramDir.reset();
}

QToolButton *TestMainScreen::button(const char *name) const
{
    return mWindow->findChild<QToolButton *>(QLatin1String(name));
}

QWidget *TestMainScreen::keyTarget() const
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus : mWindow.get();
}

TGGraphicControl *TestMainScreen::drawWith(TLPanelState tool, QPoint from, QPoint to)
{
    QTest::mouseClick(mWindow->ToolButton(tool), Qt::LeftButton);
    TGQuillmarkPanel32 *panel = mWindow->Panel();
    const auto before = panel->Objects();
    QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(panel, to);
    QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, to);
    const auto after = panel->Objects();
    for (TGGraphicControl *o : after)
        if (!before.contains(o))
            return o;
    return nullptr;
}

void TestMainScreen::startupState()
{
    TQMMainScreen &w = *mWindow;
    QCOMPARE(w.windowTitle(), QStringLiteral("Quillmark"));
    QVERIFY(!w.Busy());
    QVERIFY(!w.ChangesMade());
    QVERIFY(w.findChild<QPushButton *>(QStringLiteral("SaveButton"))->isHidden());
    QVERIFY(w.findChild<QPushButton *>(QStringLiteral("CancelButton"))->isHidden());
    QCOMPARE(w.Panel()->pos(), QPoint(21, 20));
    QCOMPARE(w.Panel()->size(), QSize(254, 96));
    QCOMPARE(w.Panel()->Shape(), lsRoundRect);
    QCOMPARE(w.LastShapeCode(), QStringLiteral("RR"));
    QVERIFY(w.Panel()->DrawOutline());
    QCOMPARE(w.ZoomCaption(), QStringLiteral("100%"));
    QVERIFY(w.ToolButton(psPointing)->isChecked());
    // Every tool-bar control fits the window: none is pushed into the
    // tool bar's overflow menu.
    for (QToolButton *b : w.findChildren<QToolButton *>())
        if (!b->objectName().isEmpty() && !b->objectName().startsWith(QLatin1String("qt_")))
            QVERIFY2(b->isVisible(), qPrintable(b->objectName()));
    QVERIFY(w.findChild<QLabel *>(QStringLiteral("ZoomCaption"))->isVisible());
    // The default layout has no label art.
    QVERIFY(!button("Showart")->isEnabled());
    // 602 x 410 below the menu bar.
    QCOMPARE(w.width(), 602);
    QCOMPARE(w.height() - w.menuBar()->height(), 410);
    // The ten measurements are kept in single precision.
    QCOMPARE(w.CurrentLabelLayout().LabelWidth, double(2.65f));
    QCOMPARE(w.CurrentLabelLayout(), TLabelLayout::Default());
}

void TestMainScreen::toolButtons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("hint");
    const struct { const char *name; TLPanelState state; const char *hint; } rows[] = {
        {"Pointerbutton", psPointing, "Selection tool"},
        {"DrawLabelButton", psLabel, "Text tool"},
        {"DrawMLTextButton", psMultiLineLabel, "Multi-line text tool"},
        {"DrawCounterbutton", psCounterLabel, "Counter tool"},
        {"DrawSymbolButton", psSymbolLabel, "Symbol tool"},
        {"DrawRectanglebutton", psRectangle, "Rectangle tool"},
        {"DrawEllipseButton", psEllipse, "Ellipse tool"},
        {"DrawRoundrectbutton", psRoundRectangle, "Round Rectangle tool"},
        {"DrawLinebutton", psLine, "Line Tool"},
        {"DrawImageButton", psImage, "Clip Art Tool"},
        {"DrawSupershape", psSuperShape, "Supershape tool \nMulti-purpose shapes and surfaces"},
        {"DrawRichText", psRichLabel, "Rich Text tool \nMixed fonts, colors and styles"},
        {"DrawSuperTextButton", psSuperText,
         "SuperText tool \nSpecial Effects Text - fill with gradients or bitmaps"},
        {"DrawCircleTextbutton", psCircleText, "CircleText Tool \nCircular or semi-circular text using any font"},
        {"DrawBarcodeButton", psBarcode, "Barcode tool \nBarcodes and QR codes, numbered from the counter"},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << QString::fromLatin1(r.name) << int(r.state) << QString::fromLatin1(r.hint);
}

void TestMainScreen::toolButtons()
{
    QFETCH(QString, name);
    QFETCH(int, state);
    QFETCH(QString, hint);

    // Start from another tool so that every row switches something.
    QTest::mouseClick(mWindow->ToolButton(state == psLine ? psEllipse : psLine), Qt::LeftButton);
    QToolButton *b = mWindow->findChild<QToolButton *>(name);
    QVERIFY(b);
    QCOMPARE(b->toolTip(), hint);
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(int(mWindow->Panel()->PanelState()), state);
    QCOMPARE(mWindow->Panel()->Pointing(), state == psPointing);
    int down = 0;
    for (int s = psPointing; s <= psBarcode; ++s)
        down += mWindow->ToolButton(TLPanelState(s))->isChecked() ? 1 : 0;
    QCOMPARE(down, 1);
    QVERIFY(b->isChecked());
    // A second click on the down button keeps it down.
    QTest::mouseClick(b, Qt::LeftButton);
    QVERIFY(b->isChecked());
}

void TestMainScreen::dropReturnsToSelectionTool_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<QByteArray>("className");
    QTest::newRow("rectangle") << int(psRectangle) << QByteArray("TGLabelShapes");
    QTest::newRow("ellipse") << int(psEllipse) << QByteArray("TGLabelShapes");
    QTest::newRow("round rectangle") << int(psRoundRectangle) << QByteArray("TGLabelShapes");
    QTest::newRow("line") << int(psLine) << QByteArray("TGLineShape");
}

void TestMainScreen::dropReturnsToSelectionTool()
{
    QFETCH(int, tool);
    QFETCH(QByteArray, className);

    TGGraphicControl *o = drawWith(TLPanelState(tool), QPoint(20, 20), QPoint(80, 60));
    QVERIFY(o);
    QCOMPARE(o->ClassName(), className);
    QCOMPARE(mWindow->Panel()->PanelState(), psPointing);
    QVERIFY(mWindow->ToolButton(psPointing)->isChecked());
    QVERIFY(!mWindow->ToolButton(TLPanelState(tool))->isChecked());
    QVERIFY(mWindow->ChangesMade());
    QVERIFY(mWindow->findChild<QPushButton *>(QStringLiteral("CancelButton"))->isVisible());
}

void TestMainScreen::unregisteredToolClassIsHarmless()
{
    if (TClassRegistry::instance().Contains(TGQuillmarkPanel32::ToolClassName(psCounterLabel)))
        QSKIP("the counter class is registered; its dialog would open");
    const int before = int(mWindow->Panel()->Objects().size());
    drawWith(psCounterLabel, QPoint(10, 10), QPoint(10, 10));
    QCOMPARE(int(mWindow->Panel()->Objects().size()), before);
    QCOMPARE(mWindow->Panel()->PanelState(), psPointing);
    QVERIFY(mWindow->ToolButton(psPointing)->isChecked());
}

void TestMainScreen::zoomSteps_data()
{
    QTest::addColumn<QString>("presses");  // '+' zoom in, '-' zoom out
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<bool>("keypad");
    const QStringList down = {"90%", "80%", "70%", "60%", "50%", "50%"};
    const QStringList up = {"110%", "120%", "130%", "140%", "150%", "150%"};
    QTest::newRow("out stops at 50") << "------" << down << false;
    QTest::newRow("in stops at 150") << "++++++" << up << false;
    QTest::newRow("keypad out") << "------" << down << true;
    QTest::newRow("keypad in") << "++++++" << up << true;
    QTest::newRow("out and back") << "--++" << QStringList{"90%", "80%", "90%", "100%"} << false;
    QTest::newRow("top then down") << "++++++-"
                                   << QStringList{"110%", "120%", "130%", "140%", "150%", "150%", "140%"}
                                   << false;
}

void TestMainScreen::zoomSteps()
{
    QFETCH(QString, presses);
    QFETCH(QStringList, captions);
    QFETCH(bool, keypad);

    TGQuillmarkPanel32 *panel = mWindow->Panel();
    const QSize base = panel->size();
    for (int i = 0; i < presses.size(); ++i) {
        const bool in = presses[i] == QLatin1Char('+');
        if (keypad)
            QTest::keyRelease(keyTarget(), in ? Qt::Key_Plus : Qt::Key_Minus, Qt::KeypadModifier);
        else
            QTest::mouseClick(button(in ? "FontSizeUp" : "FontSizeDown"), Qt::LeftButton);
        QCOMPARE(mWindow->ZoomCaption(), captions[i]);
        // The panel rescales step by step, so rounding may drift a pixel per step.
        const double zoom = panel->Zoom();
        QVERIFY(qAbs(panel->width() - base.width() * zoom) <= i + 1);
    }
    QVERIFY(!mWindow->Busy());
}

void TestMainScreen::zoomKeepsDesignUnchanged()
{
    QVERIFY(drawWith(psRectangle, QPoint(30, 30), QPoint(90, 70)));
    mWindow->SetChangesMade(false);
    QTest::mouseClick(button("FontSizeUp"), Qt::LeftButton);
    QTest::mouseClick(button("FontSizeUp"), Qt::LeftButton);
    QTest::mouseClick(button("FontSizeDown"), Qt::LeftButton);
    QVERIFY(!mWindow->ChangesMade());
    QVERIFY(mWindow->findChild<QPushButton *>(QStringLiteral("SaveButton"))->isHidden());
    QCOMPARE(mWindow->Panel()->Selection()->SelectedCount(), 0);
}

void TestMainScreen::changesMade_data()
{
    QTest::addColumn<bool>("flag");
    QTest::newRow("changed") << true;
    QTest::newRow("unchanged") << false;
}

void TestMainScreen::changesMade()
{
    QFETCH(bool, flag);
    mWindow->SetChangesMade(!flag);
    mWindow->SetChangesMade(flag);
    auto *save = mWindow->findChild<QPushButton *>(QStringLiteral("SaveButton"));
    auto *cancel = mWindow->findChild<QPushButton *>(QStringLiteral("CancelButton"));
    QCOMPARE(mWindow->ChangesMade(), flag);
    QCOMPARE(save->isVisible(), flag);
    QCOMPARE(cancel->isVisible(), flag);
    // Without a current file Save means Save As, and the menu's Save is off.
    QCOMPARE(save->text(), QStringLiteral("&Save As"));
    QAction *mnuSave = mWindow->findChild<QAction *>(QStringLiteral("mnuSave"));
    QVERIFY(!mnuSave->isEnabled());
}

void TestMainScreen::labelSizeFromInches_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("panelShape");

    // The default layout as the window keeps it (singles widened).
    QTest::newRow("default") << "RR" << double(2.65f) << double(1.0f) << QSize(254, 96) << int(lsRoundRect);
    QTest::newRow("square corners") << "SR" << 4.0 << 2.0 << QSize(384, 192) << int(lsRectangle);
    QTest::newRow("ellipse") << "EL" << 2.5 << 2.5 << QSize(240, 240) << int(lsEllipse);
    // 33/64 in = 49.5 px and 35/64 in = 52.5 px: halves go to the even neighbour.
    QTest::newRow("half up to even") << "SR" << 33.0 / 64 << 35.0 / 64 << QSize(50, 52) << int(lsRectangle);
    QTest::newRow("unknown code keeps shape") << "XX" << 1.0 << 1.0 << QSize(96, 96) << int(lsRoundRect);
}

void TestMainScreen::labelSizeFromInches()
{
    QFETCH(QString, shape);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QSize, size);
    QFETCH(int, panelShape);

    mWindow->SetLabelSizeFromInches(shape, width, height);
    QCOMPARE(mWindow->Panel()->size(), size);
    QCOMPARE(int(mWindow->Panel()->Shape()), panelShape);
    QCOMPARE(mWindow->LastShapeCode(), shape);
    // A size or shape change after start-up is a change of the design;
    // applying the same again is not.
    const bool changed = size != QSize(254, 96) || shape != QLatin1String("RR");
    QCOMPARE(mWindow->ChangesMade(), changed);
    mWindow->SetChangesMade(false);
    mWindow->SetLabelSizeFromInches(shape, width, height);
    QVERIFY(!mWindow->ChangesMade());
}

void TestMainScreen::labelSizeAtZoom()
{
    QTest::mouseClick(button("FontSizeUp"), Qt::LeftButton);
    QTest::mouseClick(button("FontSizeUp"), Qt::LeftButton);
    mWindow->SetLabelSizeFromInches(QStringLiteral("SR"), 2.0, 1.0);
    // Sized at 100 %, then zoomed back to 120 %.
    QCOMPARE(mWindow->Panel()->size(), QSize(RoundNearest(192 * double(mWindow->Panel()->Zoom())),
                                             RoundNearest(96 * double(mWindow->Panel()->Zoom()))));
    QCOMPARE(mWindow->ZoomCaption(), QStringLiteral("120%"));
}

void TestMainScreen::captions_data()
{
    QTest::addColumn<QString>("fontName");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("layoutName");
    QTest::addColumn<QString>("fontCaption");
    QTest::addColumn<QString>("layoutCaption");

    const int bold = 1 << fsBold, italic = 1 << fsItalic, underline = 1 << fsUnderline;
    QTest::newRow("plain") << "Arial" << 10 << 0 << "Avery 5160 Address" << "Default Font: Arial, 10 pt "
                           << "Change Label Layout    (Avery 5160 Address)";
    // Bold leaves the blank after "pt" before its comma.
    QTest::newRow("bold") << "Times New Roman" << 14 << bold << "USER DEFINED"
                          << "Default Font: Times New Roman, 14 pt , bold" << "Change Label Layout    (User Defined)";
    QTest::newRow("bold italic, underline not shown")
        << "Courier New" << 9 << (bold | italic | underline) << "user defined"
        << "Default Font: Courier New, 9 pt , bold, italic" << "Change Label Layout    (user defined)";
    QTest::newRow("italic") << "Arial" << 12 << italic << "" << "Default Font: Arial, 12 pt , italic"
                            << "Change Label Layout    ()";
}

void TestMainScreen::captions()
{
    QFETCH(QString, fontName);
    QFETCH(int, size);
    QFETCH(int, style);
    QFETCH(QString, layoutName);
    QFETCH(QString, fontCaption);
    QFETCH(QString, layoutCaption);

    TFont &font = mWindow->Panel()->Font();
    font.SetName(fontName);
    font.SetSize(size);
    font.SetStyle(TFontStyles(style));
    mWindow->SetDefaultFontCaption();
    TLabelLayout layout = mWindow->CurrentLabelLayout();
    layout.Name = layoutName;
    mWindow->SetCurrentLayout(layout);
    mWindow->SetTemplateCaption();

    QCOMPARE(mWindow->findChild<QAction *>(QStringLiteral("mnuDefaultFont"))->text(), fontCaption);
    QCOMPARE(mWindow->findChild<QMenu *>(QStringLiteral("mnuChangeLayout"))->title(), layoutCaption);
}

void TestMainScreen::menus_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("File") << "&File"
                          << QStringList{"&New >", "  From Template [Ctrl+N]", "  User Defined Layout",
                                         "&Open [Ctrl+O]", "&Delete", "-", "Save [Ctrl+S] {off}",
                                         "Save &As... [Ctrl+Shift+S]", "-",
                                         "&Print or Preview [Ctrl+P] {off}",
                                         "Printer Fine &Tuning {off}", "Printer &Setup {off}", "Mail &Merge Data...", "-",
                                         "E&xit [Ctrl+Q]"};
    QTest::newRow("Edit") << "&Edit"
                          << QStringList{"&Undo [Ctrl+Z] {off}", "&Redo [Ctrl+Shift+Z] {off}", "-",
                                         "Default Font: Arial, 10 pt ",
                                         "Change Label Layout    (Avery 5160 Address) >",
                                         "  From Template", "  User Defined Layout"};
    QTest::newRow("Help") << "&Help"
                          << QStringList{"&Contents [F1]", "&About", "Frequently Asked Questions", "-",
                                         "Show Hints {checked}", "Configuration Information",
                                         "Technical Support", "-",
                                         // An item without its address is hidden, which disables it.
                                         QStringLiteral("Visit Our Internet Website")
                                             + (*QM_WEBSITE_URL ? "" : " {off}"),
                                         QStringLiteral("Visit the Bonus Artwork Web Page")
                                             + (*QM_BONUS_ART_URL ? "" : " {off}")};
}

void TestMainScreen::menus()
{
    QFETCH(QString, title);
    QFETCH(QStringList, items);
    QMenu *menu = topMenu(mWindow.get(), title);
    QVERIFY(menu);
    QCOMPARE(describe(menu), items);
}

void TestMainScreen::shortcuts_data()
{
    QTest::addColumn<QString>("menu");  // "window", or the panel's or an object's menu
    QTest::addColumn<QString>("item");  // object name in the window, caption in the others
    QTest::addColumn<QKeySequence>("keys");

    QTest::newRow("new from template") << "window" << "mnuNewFromTemplate" << QKeySequence(QStringLiteral("Ctrl+N"));
    QTest::newRow("open") << "window" << "mnuOpen" << QKeySequence(QStringLiteral("Ctrl+O"));
    QTest::newRow("save") << "window" << "mnuSave" << QKeySequence(QStringLiteral("Ctrl+S"));
    QTest::newRow("save as") << "window" << "mnuSaveAs" << QKeySequence(QStringLiteral("Ctrl+Shift+S"));
    QTest::newRow("print or preview") << "window" << "mnuPrint" << QKeySequence(QStringLiteral("Ctrl+P"));
    QTest::newRow("exit") << "window" << "mnuExit" << QKeySequence(QStringLiteral("Ctrl+Q"));
    QTest::newRow("undo") << "window" << "mnuUndo" << QKeySequence(QStringLiteral("Ctrl+Z"));
    QTest::newRow("redo") << "window" << "mnuRedo" << QKeySequence(QStringLiteral("Ctrl+Shift+Z"));
    QTest::newRow("panel cut") << "panel" << "Cut" << QKeySequence(QStringLiteral("Ctrl+X"));
    QTest::newRow("panel copy") << "panel" << "Copy" << QKeySequence(QStringLiteral("Ctrl+C"));
    QTest::newRow("panel paste") << "panel" << "Paste" << QKeySequence(QStringLiteral("Ctrl+V"));
    QTest::newRow("object cut") << "object" << "Cut" << QKeySequence(QStringLiteral("Ctrl+X"));
    QTest::newRow("object copy") << "object" << "Copy" << QKeySequence(QStringLiteral("Ctrl+C"));
}

void TestMainScreen::shortcuts()
{
    QFETCH(QString, menu);
    QFETCH(QString, item);
    QFETCH(QKeySequence, keys);

    const auto byCaption = [&](const QMenu *m) -> QAction * {
        for (QAction *a : m->actions())
            if (a->text() == item)
                return a;
        return nullptr;
    };
    if (menu == QLatin1String("window")) {
        QAction *action = mWindow->findChild<QAction *>(item);
        QVERIFY(action);
        QCOMPARE(action->shortcut(), keys);
        // The keys reach the command: with the command itself held back
        // (it would open dialogs or close the window), the item fires once.
        action->disconnect(mWindow.get());
        action->setEnabled(true);
        QSignalSpy fired(action, &QAction::triggered);
        QTest::keySequence(keyTarget(), keys);
        QCOMPARE(fired.count(), 1);
        return;
    }
    TGQuillmarkPanel32 *panel = mWindow->Panel();
    const QMenu *m = nullptr;
    if (menu == QLatin1String("panel")) {
        m = panel->findChild<QMenu *>(QString(), Qt::FindDirectChildrenOnly);
    } else {
        TGGraphicControl *o = drawWith(psRectangle, QPoint(10, 10), QPoint(60, 40));
        QVERIFY(o);
        m = o->ObjectMenu();
    }
    QVERIFY(m);
    QAction *action = byCaption(m);
    QVERIFY(action);
    QCOMPARE(action->shortcut(), keys);
}

void TestMainScreen::zoomButtonHints()
{
    QCOMPARE(button("FontSizeUp")->toolTip(), QStringLiteral("Zoom in"));
    QCOMPARE(button("FontSizeDown")->toolTip(), QStringLiteral("Zoom out"));
}

void TestMainScreen::scrollKeys_data()
{
    QTest::addColumn<int>("start");  // -1 bottom
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");  // -1 bottom, -2 start - one line, -3 start + one line

    QTest::newRow("page down: one line down") << 0 << int(Qt::Key_PageDown) << -3;
    QTest::newRow("page up: one line up") << -1 << int(Qt::Key_PageUp) << -2;
    QTest::newRow("home: top") << -1 << int(Qt::Key_Home) << 0;
    QTest::newRow("end: bottom") << 0 << int(Qt::Key_End) << -1;
}

void TestMainScreen::scrollKeys()
{
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, expected);

    mWindow->SetLabelSizeFromInches(QStringLiteral("SR"), 4.0, 8.0);
    QScrollBar *bar = mWindow->DesignArea()->verticalScrollBar();
    QVERIFY(bar->maximum() > bar->singleStep());
    const int from = start == -1 ? bar->maximum() : start;
    bar->setValue(from);
    QTest::keyClick(keyTarget(), Qt::Key(key));
    const int want = expected == -1   ? bar->maximum()
                     : expected == -2 ? from - bar->singleStep()
                     : expected == -3 ? from + bar->singleStep()
                                      : expected;
    QCOMPARE(bar->value(), want);
}

void TestMainScreen::panelKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("focusOnSelection");  // else the Cancel button has the focus
    QTest::addColumn<int>("objectsAfter");       // of the two drawn, the second selected
    QTest::addColumn<bool>("clipboardWritten");

    QTest::newRow("delete on frame") << int(Qt::Key_Delete) << 0 << true << 1 << false;
    QTest::newRow("delete elsewhere") << int(Qt::Key_Delete) << 0 << false << 1 << false;
    QTest::newRow("ctrl+c") << int(Qt::Key_C) << int(Qt::ControlModifier) << false << 2 << true;
    QTest::newRow("ctrl+x") << int(Qt::Key_X) << int(Qt::ControlModifier) << true << 1 << true;
    QTest::newRow("plain c does nothing") << int(Qt::Key_C) << 0 << false << 2 << false;
}

void TestMainScreen::panelKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, focusOnSelection);
    QFETCH(int, objectsAfter);
    QFETCH(bool, clipboardWritten);

    TGQuillmarkPanel32 *panel = mWindow->Panel();
    QFile::remove(panel->ClipboardFileName());
    QVERIFY(drawWith(psRectangle, QPoint(10, 10), QPoint(60, 40)));
    TGGraphicControl *second = drawWith(psEllipse, QPoint(100, 20), QPoint(160, 60));
    QVERIFY(second);
    panel->Selection()->ClearSelection();
    QTest::mouseClick(second, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(panel->Selection()->SelectedCount(), 1);

    QWidget *target = panel->Selection();
    if (!focusOnSelection) {
        auto *cancel = mWindow->findChild<QPushButton *>(QStringLiteral("CancelButton"));
        cancel->setFocus();
        target = cancel;
    }
    QTRY_COMPARE(QApplication::focusWidget(), target);
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(int(panel->Objects().size()), objectsAfter);
    QCOMPARE(QFile::exists(panel->ClipboardFileName()), clipboardWritten);
    if (clipboardWritten) {
        // The clipboard holds the selected object, the ellipse.
        QFile clip(panel->ClipboardFileName());
        QVERIFY(clip.open(QIODevice::ReadOnly));
        const QByteArray bytes = clip.readAll();
        QVERIFY(bytes.contains("stEllipse"));
        QCOMPARE(bytes.count("TPF0"), 1);
    }
    QFile::remove(panel->ClipboardFileName());
}

void TestMainScreen::arrowKeysMoveSelection()
{
    TGGraphicControl *o = drawWith(psRectangle, QPoint(40, 30), QPoint(90, 60));
    QVERIFY(o);
    QTest::mouseClick(o, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    TGHandle *frame = mWindow->Panel()->Selection();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(frame));
    const QPoint before = o->pos();
    // The objects jump once the key is released.
    QTest::keyClick(frame, Qt::Key_Right);
    QTest::keyClick(frame, Qt::Key_Down);
    QTest::keyClick(frame, Qt::Key_Down);
    QCOMPARE(o->pos(), before + QPoint(1, 2));
}

void TestMainScreen::aboutBox()
{
    QString name, version, build, licence;
    bool modal = false;
    QTimer::singleShot(0, this, [&] {
        QWidget *box = QApplication::activeModalWidget();
        QVERIFY(box);
        modal = box->isModal();
        name = box->findChild<QLabel *>(QStringLiteral("ProductName"))->text();
        version = box->findChild<QLabel *>(QStringLiteral("Version"))->text();
        build = box->findChild<QLabel *>(QStringLiteral("BuildInfo"))->text();
        licence = box->findChild<QLabel *>(QStringLiteral("Licence"))->text();
        box->close();
    });
    mWindow->findChild<QAction *>(QStringLiteral("mnuAbout"))->trigger();
    QVERIFY(modal);
    QCOMPARE(name, QStringLiteral("Quillmark"));
    QCOMPARE(version, QStringLiteral("Version " QM_VERSION));
    // "Built on YYYY-MM-DD with Qt X, running on Qt Y"
    QVERIFY2(QRegularExpression(QStringLiteral("^Built on \\d{4}-\\d{2}-\\d{2} with Qt " QT_VERSION_STR
                                               ", running on Qt "))
                 .match(build)
                 .hasMatch(),
             qPrintable(build));
    QVERIFY(build.endsWith(QString::fromLatin1(qVersion())));
    QVERIFY(licence.startsWith(QLatin1String("Licence: ")));
}

void TestMainScreen::cancelChanges_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("escapeKey");
    QTest::newRow("button, yes") << true << false;
    QTest::newRow("button, no") << false << false;
    QTest::newRow("escape, yes") << true << true;
}

void TestMainScreen::cancelChanges()
{
    QFETCH(bool, yes);
    QFETCH(bool, escapeKey);

    mWindow->SetLabelSizeFromInches(QStringLiteral("EL"), 2.0, 2.0);
    QVERIFY(drawWith(psRectangle, QPoint(10, 10), QPoint(60, 40)));
    QVERIFY(drawWith(psLine, QPoint(80, 10), QPoint(90, 60)));
    QVERIFY(mWindow->ChangesMade());

    QString caption, text;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        caption = box->windowTitle();
        text = box->text();
        box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    auto *cancel = mWindow->findChild<QPushButton *>(QStringLiteral("CancelButton"));
    if (escapeKey)
        QTest::keyClick(keyTarget(), Qt::Key_Escape);
    else
        QTest::mouseClick(cancel, Qt::LeftButton);
    QCOMPARE(caption, QStringLiteral("CANCEL"));
    QCOMPARE(text, QStringLiteral("Cancel all changes?"));
    QCOMPARE(int(mWindow->Panel()->Objects().size()), yes ? 0 : 2);
    QCOMPARE(mWindow->ChangesMade(), !yes);
    QCOMPARE(cancel->isVisible(), !yes);
    // The label keeps its layout.
    QCOMPARE(mWindow->Panel()->size(), QSize(192, 192));
    QCOMPARE(mWindow->Panel()->Shape(), lsEllipse);
}

void TestMainScreen::hints_data()
{
    QTest::addColumn<bool>("on");
    QTest::newRow("hints shown") << true;
    QTest::newRow("hints hidden") << false;
}

void TestMainScreen::hints()
{
    QFETCH(bool, on);
    QAction *item = mWindow->findChild<QAction *>(QStringLiteral("mnuShowHints"));
    if (item->isChecked() != on)
        item->trigger();
    QCOMPARE(mWindow->HintsShown(), on);
    QToolTip::hideText();
    QToolButton *b = button("DrawEllipseButton");
    const QPoint at(b->width() / 2, b->height() / 2);
    QHelpEvent help(QEvent::ToolTip, at, b->mapToGlobal(at));
    QApplication::sendEvent(b, &help);
    QCOMPARE(QToolTip::isVisible(), on);
    if (on)
        QCOMPARE(QToolTip::text(), QStringLiteral("Ellipse tool"));
    QToolTip::hideText();
}

QTEST_MAIN(TestMainScreen)
#include "tst_mainscreen.moc"
