// The design panel and its selection frame driven by mouse and keyboard.

#include "DesignFixture.h"

#include "objects/graphic/Glines.h"
#include "objects/graphic/Glshapes.h"
#include "storage/Gdiobj.h"

namespace {

// Stand-ins for the text and picture objects, created by their class names.
class TFakeText : public TGGraphicControl
{
public:
    using TGGraphicControl::TGGraphicControl;
    QByteArray ClassName() const override { return "TGPLabel"; }
    const TPropertyTable &Properties() const override
    {
        using C = TFakeText;
        static const TPropertyTable table(&BaseProperties(), {
            props::string<C>("Caption", &C::Caption, &C::SetCaption),
            props::object<C, TFont>("Font", TPropKind::Object, &C::Font),
        });
        return table;
    }
    QString Caption() const { return caption; }
    void SetCaption(const QString &c) { caption = c; }
    TFont *Font() const { return font.get(); }
    bool EditNew() override
    {
        ++edits;
        pointingDuringEdit = Panel() && Panel()->Pointing();
        return accept;
    }
    QString caption;
    std::unique_ptr<TFont> font = std::make_unique<TFont>();
    int edits = 0;
    bool pointingDuringEdit = false;
    bool accept = true;
};

}  // namespace

class DesignTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void toolCreatesObject_data();
    void toolCreatesObject();
    void toolNamesAreUnique();
    void dragMovesSelection_data();
    void dragMovesSelection();
    void pressAndDragUnselectedObject();
    void resizeZones_data();
    void resizeZones();
    void quickClickNeverMoves();
    void arrowKeys_data();
    void arrowKeys();
    void arrowKeyPreviewUntilRelease();
    void shiftClickTogglesSelection();
    void shiftRubberBandToggles();
    void lockedObjectStaysInMovingSelection();
    void rightClickMenus();
    void panelMenuEnableRules();
    void unselectableActsAsEmptyPanel();
    void deleteKeyAndMenuDelete();
    void doubleClickEditsSelectedObject();
    void textToolFirstEdit();
};

void DesignTest::toolCreatesObject_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QRect>("expected");
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("value");

    QTest::newRow("click gives 50x15") << int(psRectangle) << QPoint(10, 10) << QPoint(10, 10)
                                       << QRect(10, 10, 50, 15) << QByteArray("TGLabelShapes")
                                       << QByteArray("Shape") << int(stRectangle);
    QTest::newRow("flat drag keeps width") << int(psRectangle) << QPoint(20, 30) << QPoint(50, 35)
                                           << QRect(20, 30, 30, 15) << QByteArray("TGLabelShapes")
                                           << QByteArray("Shape") << int(stRectangle);
    QTest::newRow("narrow drag becomes 50 wide") << int(psEllipse) << QPoint(20, 30) << QPoint(40, 70)
                                                 << QRect(20, 30, 50, 40) << QByteArray("TGLabelShapes")
                                                 << QByteArray("Shape") << int(stEllipse);
    QTest::newRow("drag up and left") << int(psRoundRectangle) << QPoint(150, 120) << QPoint(90, 60)
                                      << QRect(90, 60, 60, 60) << QByteArray("TGLabelShapes")
                                      << QByteArray("Shape") << int(stRoundRect);
    QTest::newRow("line tool is vertical") << int(psLine) << QPoint(100, 20) << QPoint(130, 120)
                                           << QRect(100, 20, 30, 100) << QByteArray("TGLineShape")
                                           << QByteArray("LineStyle") << int(stVertical);
}

void DesignTest::toolCreatesObject()
{
    QFETCH(int, tool);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QRect, expected);
    QFETCH(QByteArray, className);
    QFETCH(QByteArray, property);
    QFETCH(int, value);

    DesignFixture f;
    QRect dropped;
    f.panel->DroppedObjectEvent = [&](const QRect &r) { dropped = r; };
    f.panel->SetPanelState(TLPanelState(tool));
    QVERIFY(!f.panel->Pointing());
    if (from == to)
        f.click(from);
    else
        f.drag(from, to);

    const QList<TGGraphicControl *> objects = f.panel->Objects();
    QCOMPARE(objects.size(), 1);
    TGGraphicControl *o = objects.first();
    QCOMPARE(o->ClassName(), className);
    QCOMPARE(o->geometry(), expected);
    QCOMPARE(o->Name(), QStringLiteral("Special1"));
    QCOMPARE(o->Properties().find(property)->getOrd(*o), qint64(value));
    QVERIFY(o->ObjectMenu());
    QVERIFY(f.changes > 0);
    QCOMPARE(dropped, QRect(qMin(from.x(), to.x()), qMin(from.y(), to.y()), qAbs(to.x() - from.x()),
                            qAbs(to.y() - from.y())));
    // Shape and line tools leave resetting the tool to the main window.
    QCOMPARE(f.panel->PanelState(), TLPanelState(tool));
}

void DesignTest::toolNamesAreUnique()
{
    DesignFixture f;
    TGGraphicControl *taken = f.addShape(QRect(200, 100, 30, 30));
    taken->SetName(QStringLiteral("Special1"));
    f.panel->SetPanelState(psRectangle);
    f.click(QPoint(10, 10));
    f.click(QPoint(10, 60));
    QStringList names;
    for (TGGraphicControl *o : f.panel->Objects())
        names << o->Name();
    QCOMPARE(names, QStringList({"Special1", "Special2", "Special3"}));
}

void DesignTest::dragMovesSelection_data()
{
    QTest::addColumn<int>("grid");   // 0: snapping off
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QPoint>("expected");

    QTest::newRow("free") << 0 << QPoint(17, -5) << QPoint(27, 25);
    QTest::newRow("free to the left") << 0 << QPoint(-8, 0) << QPoint(2, 30);
    QTest::newRow("4x4 three right stays") << 4 << QPoint(3, 0) << QPoint(10, 30);
    QTest::newRow("4x4 six right") << 4 << QPoint(6, 3) << QPoint(14, 30);
    QTest::newRow("8x8") << 8 << QPoint(15, 15) << QPoint(18, 42);
}

void DesignTest::dragMovesSelection()
{
    QFETCH(int, grid);
    QFETCH(QPoint, delta);
    QFETCH(QPoint, expected);

    DesignFixture f;
    if (grid) {
        f.panel->SetGridSize(grid == 8 ? gs8x8 : gs4x4);
        f.panel->SetSnapToGrid(true);
    }
    TGGraphicControl *o = f.addShape(QRect(10, 30, 40, 20));
    f.click(QPoint(30, 40));
    QCOMPARE(f.frame()->SelectedCount(), 1);
    f.changes = 0;
    f.drag(QPoint(30, 40), QPoint(30, 40) + delta);
    QCOMPARE(o->pos(), expected);
    QCOMPARE(o->size(), QSize(40, 20));
    QCOMPARE(f.changes > 0, expected != QPoint(10, 30));
    QCOMPARE(f.panel->DragRectShown(), QRect());
    // The frame follows (posted refresh: one pixel wider than on selection).
    const QSize frameSize = expected == QPoint(10, 30) ? QSize(45, 25) : QSize(46, 26);
    QCOMPARE(f.frame()->geometry(), QRect(o->pos() - QPoint(2, 2), frameSize));
}

void DesignTest::pressAndDragUnselectedObject()
{
    // One gesture selects and moves; the drag counts from the first move
    // made more than 10 ms after the press.
    DesignFixture f;
    TGGraphicControl *o = f.addShape(QRect(100, 100, 30, 30));
    f.press(QPoint(110, 110));
    QCOMPARE(f.frame()->SelectedCount(), 1);
    f.advance(20);
    f.move(QPoint(111, 110));
    QVERIFY(f.frame()->Dragging());
    f.move(QPoint(131, 120));
    QVERIFY(f.panel->DragRectShown().isValid());
    QCOMPARE(f.panel->DragRectShown(), QRect(120, 110, 30, 30));
    f.advance(200);
    f.release(QPoint(131, 120));
    QCOMPARE(o->geometry(), QRect(120, 110, 30, 30));
}

void DesignTest::resizeZones_data()
{
    QTest::addColumn<int>("zone");
    QTest::addColumn<QPoint>("grip");     // in frame coordinates, frame 45 x 25
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QRect>("expected");

    // Object (50, 50, 40, 20): right and bottom edges change by d - 1,
    // left and top edges by d.
    QTest::newRow("move") << 0 << QPoint(22, 12) << QPoint(10, 10) << QRect(60, 60, 40, 20);
    QTest::newRow("top-left") << 1 << QPoint(1, 1) << QPoint(10, 10) << QRect(60, 60, 30, 10);
    QTest::newRow("top-right") << 2 << QPoint(44, 1) << QPoint(10, 10) << QRect(50, 60, 49, 10);
    QTest::newRow("bottom-left") << 3 << QPoint(1, 24) << QPoint(10, 10) << QRect(60, 50, 30, 29);
    QTest::newRow("bottom-right") << 4 << QPoint(44, 24) << QPoint(10, 10) << QRect(50, 50, 49, 29);
    QTest::newRow("top") << 5 << QPoint(22, 1) << QPoint(10, 10) << QRect(50, 60, 40, 10);
    QTest::newRow("left") << 6 << QPoint(1, 12) << QPoint(-10, 10) << QRect(40, 50, 50, 20);
    QTest::newRow("bottom") << 7 << QPoint(22, 24) << QPoint(10, -5) << QRect(50, 50, 40, 14);
    QTest::newRow("right") << 8 << QPoint(44, 12) << QPoint(-10, 10) << QRect(50, 50, 29, 20);
    QTest::newRow("right, clamped at the panel edge")
        << 8 << QPoint(44, 12) << QPoint(300, 0) << QRect(50, 50, 285, 20);
}

void DesignTest::resizeZones()
{
    QFETCH(int, zone);
    QFETCH(QPoint, grip);
    QFETCH(QPoint, delta);
    QFETCH(QRect, expected);

    DesignFixture f;
    TGGraphicControl *o = f.addShape(QRect(50, 50, 40, 20));
    f.click(QPoint(70, 60));
    QCOMPARE(f.frame()->geometry(), QRect(48, 48, 45, 25));
    const QPoint p = f.frame()->pos() + grip;
    f.move(p);
    QCOMPARE(f.frame()->HotZone(), zone);
    QTest::mousePress(f.panel, Qt::LeftButton, {}, p);
    f.advance(20);
    f.move(p + delta / 2);
    f.move(p + delta);
    f.advance(200);
    f.release(p + delta);
    QCOMPARE(o->geometry(), expected);
}

void DesignTest::quickClickNeverMoves()
{
    DesignFixture f;
    TGGraphicControl *o = f.addShape(QRect(50, 50, 40, 20));
    f.click(QPoint(60, 60));
    // Press, slip 4 pixels while dragging, release within 150 ms.
    f.press(QPoint(60, 60));
    f.advance(20);
    f.move(QPoint(62, 60));
    f.move(QPoint(64, 61));
    QVERIFY(f.frame()->Dragging());
    f.advance(100);
    f.release(QPoint(64, 61));
    QCOMPARE(o->geometry(), QRect(50, 50, 40, 20));
    QVERIFY(!f.frame()->Dragging());
    QCOMPARE(f.panel->DragRectShown(), QRect());
    // The same slip held past 150 ms moves.
    f.press(QPoint(60, 60));
    f.advance(20);
    f.move(QPoint(62, 60));
    f.move(QPoint(64, 61));
    f.advance(200);
    f.release(QPoint(64, 61));
    QCOMPARE(o->geometry(), QRect(54, 51, 40, 20));
}

void DesignTest::arrowKeys_data()
{
    QTest::addColumn<QRect>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("left") << QRect(50, 50, 40, 20) << int(Qt::Key_Left) << false << 3 << QRect(47, 50, 40, 20);
    QTest::newRow("right") << QRect(50, 50, 40, 20) << int(Qt::Key_Right) << false << 2 << QRect(52, 50, 40, 20);
    QTest::newRow("up") << QRect(50, 50, 40, 20) << int(Qt::Key_Up) << false << 1 << QRect(50, 49, 40, 20);
    QTest::newRow("down") << QRect(50, 50, 40, 20) << int(Qt::Key_Down) << false << 4 << QRect(50, 54, 40, 20);
    QTest::newRow("left stops at the edge") << QRect(1, 50, 40, 20) << int(Qt::Key_Left) << false << 3 << QRect(0, 50, 40, 20);
    QTest::newRow("up stops at the edge") << QRect(50, 0, 40, 20) << int(Qt::Key_Up) << false << 2 << QRect(50, 0, 40, 20);
    QTest::newRow("right stops at the edge") << QRect(297, 50, 40, 20) << int(Qt::Key_Right) << false << 3 << QRect(298, 50, 40, 20);
    QTest::newRow("down stops at the edge") << QRect(50, 166, 40, 20) << int(Qt::Key_Down) << false << 5 << QRect(50, 168, 40, 20);
    QTest::newRow("shift left shrinks") << QRect(50, 50, 12, 20) << int(Qt::Key_Left) << true << 1 << QRect(50, 50, 11, 20);
    QTest::newRow("shift left stops at 9") << QRect(50, 50, 12, 20) << int(Qt::Key_Left) << true << 5 << QRect(50, 50, 9, 20);
    QTest::newRow("shift left on width 9") << QRect(50, 50, 9, 20) << int(Qt::Key_Left) << true << 1 << QRect(50, 50, 9, 20);
    QTest::newRow("shift up shrinks") << QRect(50, 50, 40, 12) << int(Qt::Key_Up) << true << 4 << QRect(50, 50, 40, 9);
    QTest::newRow("shift right grows") << QRect(50, 50, 40, 20) << int(Qt::Key_Right) << true << 2 << QRect(50, 50, 42, 20);
    QTest::newRow("shift right to the edge") << QRect(290, 50, 46, 20) << int(Qt::Key_Right) << true << 4 << QRect(290, 50, 48, 20);
    QTest::newRow("shift down grows") << QRect(50, 50, 40, 20) << int(Qt::Key_Down) << true << 3 << QRect(50, 50, 40, 23);
}

void DesignTest::arrowKeys()
{
    QFETCH(QRect, start);
    QFETCH(int, key);
    QFETCH(bool, shift);
    QFETCH(int, presses);
    QFETCH(QRect, expected);

    DesignFixture f;
    TGGraphicControl *o = f.addShape(start);
    f.panel->Selection()->AddToSelection(o);
    const Qt::KeyboardModifiers m = shift ? Qt::ShiftModifier : Qt::NoModifier;
    for (int i = 0; i < presses; ++i)
        QTest::keyPress(f.frame(), Qt::Key(key), m);
    QTest::keyRelease(f.frame(), Qt::Key(key), m);
    QCOMPARE(o->geometry(), expected);
}

void DesignTest::arrowKeyPreviewUntilRelease()
{
    DesignFixture f;
    TGGraphicControl *a = f.addShape(QRect(50, 50, 40, 20));
    TGGraphicControl *b = f.addShape(QRect(100, 80, 20, 20));
    f.frame()->AddToSelection(a);
    f.frame()->AddToSelection(b);
    QTest::keyPress(f.frame(), Qt::Key_Right);
    QTest::keyPress(f.frame(), Qt::Key_Right);
    QCOMPARE(a->pos(), QPoint(50, 50));
    // The preview outlines the objects' box, two pixels further right.
    QCOMPARE(f.panel->DragRectShown(), QRect(52, 50, 70, 50));
    // Shift does not resize a multiple selection.
    QTest::keyPress(f.frame(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyRelease(f.frame(), Qt::Key_Right);
    QCOMPARE(a->geometry(), QRect(53, 50, 40, 20));
    QCOMPARE(b->geometry(), QRect(103, 80, 20, 20));
    QCOMPARE(f.panel->DragRectShown(), QRect());
}

void DesignTest::shiftClickTogglesSelection()
{
    DesignFixture f;
    TGGraphicControl *a = f.addShape(QRect(20, 20, 30, 30));
    TGGraphicControl *b = f.addShape(QRect(80, 20, 30, 30));
    TGGraphicControl *c = f.addShape(QRect(200, 100, 30, 30));
    f.click(QPoint(30, 30));
    f.click(QPoint(90, 30), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(f.frame()->SelectedObjects(), QList<TGGraphicControl *>({a, b}));
    QCOMPARE(f.frame()->geometry(), QRect(18, 18, 95, 35));
    // Shift+click inside the frame on a selected object deselects it.
    f.click(QPoint(30, 30), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(f.frame()->SelectedObjects(), QList<TGGraphicControl *>({b}));
    QCOMPARE(a->geometry(), QRect(20, 20, 30, 30));
    QCOMPARE(b->geometry(), QRect(80, 20, 30, 30));
    // A plain click on another object selects it alone.
    f.click(QPoint(210, 110));
    QCOMPARE(f.frame()->SelectedObjects(), QList<TGGraphicControl *>({c}));
    // A click on the empty panel clears the selection.
    f.click(QPoint(300, 170));
    QCOMPARE(f.frame()->SelectedCount(), 0);
    QVERIFY(!f.frame()->isVisible());
}

void DesignTest::shiftRubberBandToggles()
{
    DesignFixture f;
    TGGraphicControl *a = f.addShape(QRect(20, 20, 30, 30));
    TGGraphicControl *b = f.addShape(QRect(80, 20, 30, 30));
    TGGraphicControl *c = f.addShape(QRect(20, 100, 30, 30));
    f.drag(QPoint(10, 10), QPoint(120, 60));
    QCOMPARE(f.frame()->SelectedCount(), 2);
    QVERIFY(f.frame()->IndexOfSelected(a) >= 0 && f.frame()->IndexOfSelected(b) >= 0);
    // Shift+band over a (selected) and c (not): a leaves, c joins.
    f.drag(QPoint(10, 15), QPoint(60, 140), Qt::ShiftModifier);
    QCOMPARE(f.frame()->SelectedCount(), 2);
    QCOMPARE(f.frame()->IndexOfSelected(a), -1);
    QVERIFY(f.frame()->IndexOfSelected(b) >= 0 && f.frame()->IndexOfSelected(c) >= 0);
    // A band without Shift starts afresh.
    f.drag(QPoint(70, 10), QPoint(130, 70));
    QCOMPARE(f.frame()->SelectedObjects(), QList<TGGraphicControl *>({b}));
}

void DesignTest::lockedObjectStaysInMovingSelection()
{
    DesignFixture f;
    TGGraphicControl *a = f.addShape(QRect(20, 20, 30, 30));
    TGGraphicControl *b = f.addShape(QRect(80, 20, 30, 30));
    a->SetLocked(true);
    f.drag(QPoint(10, 10), QPoint(120, 60));
    QCOMPARE(f.frame()->SelectedCount(), 2);
    f.drag(QPoint(90, 30), QPoint(100, 70));
    QCOMPARE(a->geometry(), QRect(20, 20, 30, 30));
    QCOMPARE(b->geometry(), QRect(90, 60, 30, 30));
    // The posted refresh puts the frame around both again.
    QCOMPARE(f.frame()->geometry(), QRect(18, 18, 106, 76));
    // Arrow keys leave it too.
    QTest::keyClick(f.frame(), Qt::Key_Down);
    QCOMPARE(a->geometry(), QRect(20, 20, 30, 30));
    QCOMPARE(b->geometry(), QRect(90, 61, 30, 30));
}

void DesignTest::rightClickMenus()
{
    DesignFixture f;
    TGGraphicControl *a = f.addShape(QRect(20, 20, 30, 30));
    TGGraphicControl *b = f.addShape(QRect(80, 20, 30, 30));
    auto rightClick = [&](QPoint p, QMenu *expected) {
        f.press(p, Qt::RightButton);
        const bool shown = expected->isVisible();
        const bool others = a->ObjectMenu()->isVisible() + b->ObjectMenu()->isVisible() +
                            f.panel->PanelMenu()->isVisible();
        expected->hide();
        f.release(p, Qt::RightButton);
        f.advance(400);
        return shown && others == 1;
    };
    // An unselected object: selected, then its own menu.
    QVERIFY(rightClick(QPoint(30, 30), a->ObjectMenu()));
    QCOMPARE(f.frame()->SelectedObjects(), QList<TGGraphicControl *>({a}));
    // Inside a single selection: the object's menu.
    QVERIFY(rightClick(QPoint(35, 35), a->ObjectMenu()));
    // Inside a multiple selection: the panel's menu.
    f.click(QPoint(90, 30), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(f.frame()->SelectedCount(), 2);
    QVERIFY(rightClick(QPoint(35, 35), f.panel->PanelMenu()));
    QCOMPARE(f.frame()->SelectedCount(), 2);
    // On the empty panel: the panel's menu.
    f.frame()->ClearSelection();
    QVERIFY(rightClick(QPoint(250, 150), f.panel->PanelMenu()));
}

void DesignTest::panelMenuEnableRules()
{
    DesignFixture f;
    QMenu *menu = f.panel->PanelMenu();
    QStringList captions;
    for (QAction *a : menu->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(captions, QStringList({"Bring To Front", "Send To Back", "-", "Cut", "Copy", "Paste", "-",
                                    "Delete", "-", "Align Left", "Align Right", "Align Tops",
                                    "Align Bottoms", "-", "Center Vertically", "Center Horizontally",
                                    "-", "Lock All", "Unlock All", "-", "Mark All Selectable",
                                    "Mark All Unselectable", "Select All", "-", "Font"}));
    auto enabled = [menu](const QString &caption) {
        for (QAction *a : menu->actions())
            if (a->text() == caption)
                return a->isEnabled();
        return false;
    };
    Q_EMIT menu->aboutToShow();
    QVERIFY(!enabled("Delete") && !enabled("Align Left") && !enabled("Font"));
    QVERIFY(!enabled("Lock All") && !enabled("Unlock All"));
    QVERIFY(enabled("Select All") && enabled("Mark All Selectable"));
    TGGraphicControl *a = f.addShape(QRect(20, 20, 30, 30));
    Q_EMIT menu->aboutToShow();
    QVERIFY(enabled("Lock All") && !enabled("Delete"));
    f.frame()->AddToSelection(a);
    Q_EMIT menu->aboutToShow();
    QVERIFY(enabled("Delete") && enabled("Align Bottoms") && enabled("Font") && enabled("Bring To Front"));
}

void DesignTest::unselectableActsAsEmptyPanel()
{
    DesignFixture f;
    TGGraphicControl *a = f.addShape(QRect(20, 20, 60, 60));
    TGGraphicControl *b = f.addShape(QRect(40, 40, 10, 10));
    a->SetUnselectable(true);
    // A drag starting on the unselectable object draws a band.
    f.drag(QPoint(30, 30), QPoint(60, 60));
    QCOMPARE(f.frame()->SelectedObjects(), QList<TGGraphicControl *>({b}));
    QCOMPARE(a->geometry(), QRect(20, 20, 60, 60));
    // "Unselectable" from the menu takes the object out of the selection.
    f.frame()->ClearSelection();
    a->SetUnselectable(false);
    f.click(QPoint(25, 25));
    QCOMPARE(f.frame()->SelectedObjects(), QList<TGGraphicControl *>({a}));
    for (QAction *act : a->ObjectMenu()->actions())
        if (act->text() == QLatin1String("Unselectable"))
            act->trigger();
    QVERIFY(a->Unselectable());
    QCOMPARE(f.frame()->SelectedCount(), 0);
    f.panel->SelectAll();
    QCOMPARE(f.frame()->SelectedObjects(), QList<TGGraphicControl *>({b}));
}

void DesignTest::deleteKeyAndMenuDelete()
{
    DesignFixture f;
    f.addShape(QRect(20, 20, 30, 30));
    TGGraphicControl *b = f.addShape(QRect(80, 20, 30, 30));
    TGGraphicControl *c = f.addShape(QRect(140, 20, 30, 30));
    f.panel->SelectAll();
    f.frame()->RemoveFromSelection(c);
    f.changes = 0;
    QTest::keyClick(f.frame(), Qt::Key_Delete);
    QCOMPARE(f.panel->Objects(), QList<TGGraphicControl *>({c}));
    QCOMPARE(f.changes, 2);
    QVERIFY(!f.frame()->isVisible());
    Q_UNUSED(b);
    // The object's own "Delete" works once its menu has closed.
    for (QAction *act : c->ObjectMenu()->actions())
        if (act->text() == QLatin1String("Delete"))
            act->trigger();
    QCoreApplication::processEvents();
    QVERIFY(f.panel->Objects().isEmpty());
}

void DesignTest::doubleClickEditsSelectedObject()
{
    DesignFixture f;
    TGGraphicControl *a = f.addShape(QRect(20, 20, 30, 30));
    TGGraphicControl *b = f.addShape(QRect(80, 20, 30, 30));
    int edits = 0;
    QObject *sender = nullptr;
    a->EditHandler = [&](QObject *s) { ++edits; sender = s; };
    f.click(QPoint(30, 30));
    QTest::mouseDClick(f.panel, Qt::LeftButton, {}, QPoint(30, 30));
    QCOMPARE(edits, 1);
    QCOMPARE(sender, f.panel);
    QCOMPARE(a->geometry(), QRect(20, 20, 30, 30));
    // Without an edit handler the object's menu opens.
    f.advance(400);
    f.click(QPoint(90, 30));
    QTest::mouseDClick(f.panel, Qt::LeftButton, {}, QPoint(90, 30));
    QVERIFY(b->ObjectMenu()->isVisible());
    b->ObjectMenu()->hide();
    // Two selected: a double click edits nothing.
    f.advance(400);
    f.click(QPoint(30, 30), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(f.frame()->SelectedCount(), 2);
    QTest::mouseDClick(f.panel, Qt::LeftButton, {}, QPoint(30, 30));
    QCOMPARE(edits, 1);
}

void DesignTest::textToolFirstEdit()
{
    DesignFixture f;
    static int declined = 0;
    TClassRegistry::instance().Register("TGPLabel", [](TComponent *owner) { return new TFakeText(owner); });
    TClassRegistry::instance().Register("TGImage", [](TComponent *owner) {
        auto *image = new TFakeText(owner);
        image->accept = false;
        QObject::connect(image, &QObject::destroyed, [] { ++declined; });
        return image;
    });
    f.panel->Font().SetName(QStringLiteral("Courier New"));
    f.panel->Font().SetSize(14);
    int drops = 0;
    f.panel->DroppedObjectEvent = [&](const QRect &) { ++drops; };

    f.panel->SetPanelState(psLabel);
    f.click(QPoint(10, 10));
    QCOMPARE(f.panel->Objects().size(), 1);
    auto *text = static_cast<TFakeText *>(f.panel->Objects().first());
    QCOMPARE(text->geometry(), QRect(10, 10, 50, 15));
    QCOMPARE(text->Name(), QStringLiteral("Special1"));
    QCOMPARE(text->caption, QStringLiteral("<text>"));
    QCOMPARE(text->font->Name(), QStringLiteral("Courier New"));
    QCOMPARE(text->font->Size(), 14);
    // The tool is reset before the first edit opens.
    QCOMPARE(text->edits, 1);
    QVERIFY(text->pointingDuringEdit);
    QCOMPARE(f.panel->PanelState(), psPointing);
    QCOMPARE(drops, 1);

    // A picture object whose first edit is declined goes again.
    f.panel->SetPanelState(psImage);
    f.click(QPoint(100, 100));
    QCOMPARE(declined, 1);
    QCOMPARE(f.panel->Objects().size(), 1);
    QCOMPARE(f.frame()->SelectedCount(), 0);
    QCOMPARE(drops, 2);
}

QTEST_MAIN(DesignTest)
#include "tst_design.moc"
