// The design panel's painting, zoom, menu commands and object bookkeeping.

#include "DesignFixture.h"

#include "objects/graphic/Glshapes.h"
#include "print/engine/Report.h"
#include "storage/Gdiobj.h"

namespace {

// A label object that records what the panel asks of it.
class TProbe : public TGGraphicControl
{
public:
    using TGGraphicControl::TGGraphicControl;
    QByteArray ClassName() const override { return "TProbe"; }
    void ApplyFont(const TFont &font) override { fonts << font.Name(); }
    void PrintOnReport(TReport &, double left, double top) override
    {
        log->append(QStringLiteral("%1@%2,%3").arg(Name()).arg(left).arg(top));
    }
    void AdvanceLabel() override { log->append(Name() + QStringLiteral(" advance")); }
    void RestartSequence() override { log->append(Name() + QStringLiteral(" restart")); }
    QStringList fonts;
    QStringList *log = nullptr;
};

QColor at(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y);
}

}  // namespace

class PanelTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void setScaleRoundsHalfToEven_data();
    void setScaleRoundsHalfToEven();
    void zoomRescalesPanelAndObjects();
    void removeObjectsOutside_data();
    void removeObjectsOutside();
    void clampObjectsToPanel();
    void gridAndOutlinePixels_data();
    void gridAndOutlinePixels();
    void selectionMarks();
    void paintOrderFollowsChildOrder();
    void alignAndCenter_data();
    void alignAndCenter();
    void lockAllAndLockedCheckMark();
    void boundsCheckPostsFrameRefresh();
    void fontPrintAndSequencesReachObjects();
};

void PanelTest::setScaleRoundsHalfToEven_data()
{
    QTest::addColumn<QRect>("start");
    QTest::addColumn<float>("zoom");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("halves to even at 0.5") << QRect(5, 7, 9, 11) << 0.5f << QRect(2, 4, 4, 6);
    QTest::newRow("1.5") << QRect(5, 3, 40, 21) << 1.5f << QRect(8, 4, 60, 32);
    QTest::newRow("single precision 0.9") << QRect(5, 15, 100, 25) << 0.9f << QRect(4, 13, 90, 22);
}

void PanelTest::setScaleRoundsHalfToEven()
{
    QFETCH(QRect, start);
    QFETCH(float, zoom);
    QFETCH(QRect, expected);
    DesignFixture f;
    TGGraphicControl *o = f.addShape(start);
    o->SetScale(zoom);
    QCOMPARE(o->geometry(), expected);
    QCOMPARE(o->Scale(), zoom);
}

void PanelTest::zoomRescalesPanelAndObjects()
{
    DesignFixture f;
    TGGraphicControl *a = f.addShape(QRect(10, 30, 40, 20));
    TGGraphicControl *b = f.addShape(QRect(100, 15, 15, 60));
    f.changes = 0;
    f.panel->SetZoom(1.5f);
    QCOMPARE(f.panel->size(), QSize(507, 282));
    QCOMPARE(a->geometry(), QRect(15, 45, 60, 30));
    QCOMPARE(a->Scale(), 1.5f);
    f.panel->SetZoom(1.0f);
    QCOMPARE(f.panel->size(), QSize(338, 188));
    QCOMPARE(a->geometry(), QRect(10, 30, 40, 20));
    // 15 * 0.9 rounds to 13; back at 1.0 it becomes 14: errors stay.
    f.panel->SetZoom(0.9f);
    f.panel->SetZoom(1.0f);
    QCOMPARE(b->geometry(), QRect(100, 14, 14, 60));
    QCOMPARE(f.changes, 0);
    QCOMPARE(f.panel->Zoom(), 1.0f);
    // New objects take the panel's zoom without being rescaled.
    f.panel->SetZoom(1.2f);
    f.panel->SetPanelState(psRectangle);
    f.click(QPoint(40, 150));
    TGGraphicControl *c = f.panel->Objects().last();
    QCOMPARE(c->geometry(), QRect(40, 150, 50, 15));
    QCOMPARE(c->Scale(), 1.2f);
}

void PanelTest::removeObjectsOutside_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<bool>("removed");
    // The panel is 338 x 188.
    QTest::newRow("inside") << QRect(10, 10, 30, 30) << false;
    QTest::newRow("top at height - 10") << QRect(10, 178, 30, 30) << false;
    QTest::newRow("top below height - 10") << QRect(10, 179, 30, 30) << true;
    QTest::newRow("left at width - 10") << QRect(328, 10, 30, 30) << false;
    QTest::newRow("left at width - 5") << QRect(333, 10, 30, 30) << true;
    QTest::newRow("no width") << QRect(10, 10, 0, 30) << true;
    QTest::newRow("no height") << QRect(10, 10, 30, 0) << true;
    QTest::newRow("far left and above") << QRect(-100, -100, 30, 30) << false;
}

void PanelTest::removeObjectsOutside()
{
    QFETCH(QRect, rect);
    QFETCH(bool, removed);
    DesignFixture f;
    TGGraphicControl *keep = f.addShape(QRect(50, 50, 20, 20));
    f.addShape(rect);
    f.panel->SelectAll();
    f.panel->RemoveObjectsOutside();
    QCOMPARE(f.frame()->SelectedCount(), 0);
    QCOMPARE(f.panel->Objects().size(), removed ? 1 : 2);
    QCOMPARE(f.panel->Objects().first(), keep);
}

void PanelTest::clampObjectsToPanel()
{
    DesignFixture f;
    TGGraphicControl *a = f.addShape(QRect(333, 50, 30, 30));
    TGGraphicControl *b = f.addShape(QRect(10, 185, 30, 30));
    TGGraphicControl *c = f.addShape(QRect(318, 178, 30, 30));
    f.panel->ClampObjectsToPanel();
    QCOMPARE(a->pos(), QPoint(318, 50));
    QCOMPARE(b->pos(), QPoint(10, 178));
    QCOMPARE(c->pos(), QPoint(318, 178));
    // Clamped objects survive the removal that precedes saving.
    f.panel->RemoveObjectsOutside();
    QCOMPARE(f.panel->Objects().size(), 3);
}

void PanelTest::gridAndOutlinePixels_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("grid");   // 0 none, 4, 8
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<QColor>("expected");
    const QColor white(Qt::white), black(Qt::black), green(0, 128, 0);
    // Panel 338 x 188.
    QTest::newRow("rect outline left") << int(lsRectangle) << 0 << QPoint(0, 50) << black;
    QTest::newRow("rect outline right") << int(lsRectangle) << 0 << QPoint(337, 50) << black;
    QTest::newRow("rect outline bottom") << int(lsRectangle) << 0 << QPoint(50, 187) << black;
    QTest::newRow("rect inside outline") << int(lsRectangle) << 0 << QPoint(336, 186) << white;
    QTest::newRow("no grid") << int(lsRectangle) << 0 << QPoint(6, 6) << white;
    QTest::newRow("4x4 dot") << int(lsRectangle) << 4 << QPoint(6, 6) << green;
    QTest::newRow("4x4 first dot") << int(lsRectangle) << 4 << QPoint(2, 2) << green;
    QTest::newRow("4x4 between") << int(lsRectangle) << 4 << QPoint(7, 6) << white;
    QTest::newRow("4x4 row between") << int(lsRectangle) << 4 << QPoint(6, 8) << white;
    QTest::newRow("4x4 far dot") << int(lsRectangle) << 4 << QPoint(334, 186) << green;
    QTest::newRow("8x8 dot") << int(lsRectangle) << 8 << QPoint(10, 18) << green;
    QTest::newRow("8x8 no 4x4 dot") << int(lsRectangle) << 8 << QPoint(6, 6) << white;
    QTest::newRow("round corner cut") << int(lsRoundRect) << 0 << QPoint(0, 0) << white;
    QTest::newRow("round corner no dot") << int(lsRoundRect) << 4 << QPoint(2, 2) << white;
    QTest::newRow("round side") << int(lsRoundRect) << 0 << QPoint(0, 94) << black;
    QTest::newRow("round dot inside") << int(lsRoundRect) << 4 << QPoint(10, 10) << green;
    QTest::newRow("ellipse left") << int(lsEllipse) << 0 << QPoint(0, 94) << black;
    QTest::newRow("ellipse corner no dot") << int(lsEllipse) << 4 << QPoint(22, 22) << white;
    QTest::newRow("ellipse centre dot") << int(lsEllipse) << 4 << QPoint(166, 94) << green;
}

void PanelTest::gridAndOutlinePixels()
{
    QFETCH(int, shape);
    QFETCH(int, grid);
    QFETCH(QPoint, probe);
    QFETCH(QColor, expected);
    DesignFixture f;
    f.panel->SetShape(TLabelShapeType(shape));
    f.panel->SetShowGrid(grid != 0);
    f.panel->SetGridSize(grid == 8 ? gs8x8 : gs4x4);
    const QImage image = f.grab();
    QCOMPARE(at(image, probe.x(), probe.y()), expected);
}

void PanelTest::selectionMarks()
{
    DesignFixture f;
    f.panel->SetDrawOutline(false);
    TGGraphicControl *a = f.addShape(QRect(40, 40, 41, 21));
    TGGraphicControl *b = f.addShape(QRect(150, 100, 30, 30));
    f.frame()->AddToSelection(a);
    QImage image = f.grab();
    const QColor black(Qt::black), grey(128, 128, 128), white(Qt::white);
    // R = (38, 38, 83, 63): 5 x 5 squares in the corners and mid-sides.
    QCOMPARE(at(image, 38, 38), black);
    QCOMPARE(at(image, 42, 42), black);
    QCOMPARE(at(image, 43, 37), white);
    QCOMPARE(at(image, 82, 62), black);
    QCOMPARE(at(image, 78, 58), black);
    QCOMPARE(at(image, 77, 38), white);
    const int mx = 38 + 22;
    QCOMPARE(at(image, mx - 2, 38), black);
    QCOMPARE(at(image, mx + 2, 38), black);
    QCOMPARE(at(image, mx + 3, 38), white);
    QCOMPARE(at(image, mx - 3, 38), white);
    QCOMPARE(at(image, 38, 38 + 12 - 2), black);   // left middle, my = 50
    QCOMPARE(at(image, 82, 52), black);
    // Two selected: grey corners only.
    f.frame()->AddToSelection(b);
    image = f.grab();
    QCOMPARE(at(image, 38, 38), grey);
    QCOMPARE(at(image, 148, 98), grey);
    QCOMPARE(at(image, 181, 131), grey);
    QCOMPARE(at(image, mx, 38), white);
    // Marks stay with the objects after the selection is cleared: gone.
    f.frame()->ClearSelection();
    image = f.grab();
    QCOMPARE(at(image, 38, 38), white);
    // An object at Left 0 has its marks start at -2 (cut by the panel).
    TGGraphicControl *c = f.addShape(QRect(0, 150, 20, 20));
    f.frame()->AddToSelection(c);
    image = f.grab();
    QCOMPARE(at(image, 0, 148), black);
    QCOMPARE(at(image, 2, 148), black);
    QCOMPARE(at(image, 3, 148), white);
}

void PanelTest::paintOrderFollowsChildOrder()
{
    DesignFixture f;
    auto *red = static_cast<TGLabelShapes *>(f.addShape(QRect(20, 20, 40, 40)));
    auto *blue = static_cast<TGLabelShapes *>(f.addShape(QRect(40, 40, 40, 40)));
    red->Brush()->SetColor(cl::Red);
    blue->Brush()->SetColor(cl::Blue);
    QCOMPARE(at(f.grab(), 50, 50), QColor(Qt::blue));
    // "Send To Back" on the top object clears the selection.
    f.frame()->AddToSelection(blue);
    f.changes = 0;
    f.panel->SendSelectionToBack();
    QCOMPARE(f.changes, 1);
    QCOMPARE(f.frame()->SelectedCount(), 0);
    QCOMPARE(f.panel->Objects(), QList<TGGraphicControl *>({blue, red}));
    QCOMPARE(at(f.grab(), 50, 50), QColor(Qt::red));
    // "Bring To Front" from the object's menu; the frame stays above it.
    for (QAction *act : blue->ObjectMenu()->actions())
        if (act->text() == QLatin1String("Bring To Front"))
            act->trigger();
    QCOMPARE(f.panel->Objects(), QList<TGGraphicControl *>({red, blue}));
    const QObjectList children = f.panel->children();
    QVERIFY(children.indexOf(f.frame()) > children.indexOf(blue));
    QCOMPARE(at(f.grab(), 50, 50), QColor(Qt::blue));
}

void PanelTest::alignAndCenter_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("selected");   // how many of the three objects
    QTest::addColumn<QList<QRect>>("expected");
    const QRect a(30, 20, 40, 20), b(100, 50, 20, 30), c(60, 120, 50, 10);
    QTest::newRow("left") << "Align Left" << 3
                          << QList<QRect>{a, QRect(30, 50, 20, 30), QRect(30, 120, 50, 10)};
    QTest::newRow("right") << "Align Right" << 3
                           << QList<QRect>{QRect(80, 20, 40, 20), b, QRect(70, 120, 50, 10)};
    QTest::newRow("tops") << "Align Tops" << 2 << QList<QRect>{a, QRect(100, 20, 20, 30), c};
    QTest::newRow("bottoms") << "Align Bottoms" << 3
                             << QList<QRect>{QRect(30, 110, 40, 20), QRect(100, 100, 20, 30), c};
    QTest::newRow("right of one keeps its edge") << "Align Right" << 1 << QList<QRect>{a, b, c};
    QTest::newRow("center vertically") << "Center Vertically" << 2
                                        << QList<QRect>{QRect(30, 84, 40, 20), QRect(100, 79, 20, 30), c};
    QTest::newRow("center horizontally") << "Center Horizontally" << 1
                                          << QList<QRect>{QRect(149, 20, 40, 20), b, c};
}

void PanelTest::alignAndCenter()
{
    QFETCH(QString, command);
    QFETCH(int, selected);
    QFETCH(QList<QRect>, expected);
    DesignFixture f;
    QList<TGGraphicControl *> objects;
    for (const QRect &r : {QRect(30, 20, 40, 20), QRect(100, 50, 20, 30), QRect(60, 120, 50, 10)})
        objects << f.addShape(r);
    objects[2]->SetLocked(true);   // aligning moves locked objects too
    for (int i = 0; i < selected; ++i)
        f.frame()->AddToSelection(objects[i]);
    f.changes = 0;
    QAction *action = nullptr;
    for (QAction *a : f.panel->PanelMenu()->actions())
        if (a->text() == command)
            action = a;
    QVERIFY(action);
    action->trigger();
    for (int i = 0; i < 3; ++i)
        QCOMPARE(objects[i]->geometry(), expected[i]);
    QVERIFY(f.changes > 0);
}

void PanelTest::lockAllAndLockedCheckMark()
{
    DesignFixture f;
    TGGraphicControl *a = f.addShape(QRect(30, 20, 40, 20));
    TGGraphicControl *b = f.addShape(QRect(100, 50, 20, 30));
    QAction *locked = a->LockedMenuItem();
    QVERIFY(locked && locked->isCheckable() && !locked->isChecked());
    f.changes = 0;
    locked->trigger();
    QVERIFY(a->Locked() && locked->isChecked());
    QCOMPARE(f.changes, 1);
    f.panel->LockAll();
    QVERIFY(b->Locked());
    QCOMPARE(f.changes, 2);
    f.panel->UnlockAll();
    QVERIFY(!a->Locked() && !b->Locked() && !locked->isChecked());
    // The check mark reflects Locked when the menu is built.
    b->SetLocked(true);
    b->FinishLoading();
    QVERIFY(b->LockedMenuItem()->isChecked());
    QStringList captions;
    for (QAction *act : a->ObjectMenu()->actions())
        captions << (act->isSeparator() ? QStringLiteral("-") : act->text());
    QCOMPARE(captions.mid(0, 12), QStringList({"Bring To Front", "Send To Back", "Cut", "Copy", "Delete",
                                               "Clone", "-", "Locked", "Unselectable", "-",
                                               "Center Vertically", "Center Horizontally"}));
}

void PanelTest::boundsCheckPostsFrameRefresh()
{
    DesignFixture f;
    // A zero-sized object at (0, 0) keeps LastBounds empty, silently.
    TProbe *zero = new TProbe;
    zero->SetParentComponent(f.panel);
    f.panel->AttachObject(zero);
    f.changes = 0;
    zero->CheckBoundsChanged();
    QCOMPARE(zero->LastBounds(), QRect(0, 0, 0, 0));
    QCOMPARE(f.changes, 0);

    TGGraphicControl *a = f.addShape(QRect(30, 20, 40, 20));
    f.frame()->AddToSelection(a);
    QCOMPARE(a->LastBounds(), QRect(30, 20, 40, 20));
    f.changes = 0;
    a->SetLeft(60);
    QCOMPARE(f.changes, 1);
    QCOMPARE(a->LastBounds(), QRect(60, 20, 40, 20));
    // The frame is refreshed only once the current event is done.
    QCOMPARE(f.frame()->geometry(), QRect(28, 18, 45, 25));
    QCoreApplication::processEvents();
    QCOMPARE(f.frame()->geometry(), QRect(58, 18, 46, 26));
    // While printing, objects do not report changes.
    f.panel->SetPrinting(true);
    a->SetLeft(70);
    QCOMPARE(f.changes, 1);
}

void PanelTest::fontPrintAndSequencesReachObjects()
{
    DesignFixture f;
    QStringList log;
    QList<TProbe *> probes;
    for (const char *name : {"P1", "P2", "P3"}) {
        TProbe *p = new TProbe;
        p->SetName(QString::fromLatin1(name));
        p->log = &log;
        p->SetParentComponent(f.panel);
        p->SetBounds(10, 10, 20, 20);
        f.panel->AttachObject(p);
        probes << p;
    }
    f.frame()->AddToSelection(probes[0]);
    f.frame()->AddToSelection(probes[2]);
    TFont font;
    font.SetName(QStringLiteral("Courier New"));
    f.panel->ApplyFontToSelection(font);
    QCOMPARE(probes[0]->fonts, QStringList({"Courier New"}));
    QVERIFY(probes[1]->fonts.isEmpty());
    QCOMPARE(probes[2]->fonts, QStringList({"Courier New"}));

    probes[0]->raise();
    TReport report;
    f.panel->RestartSequences();
    f.panel->PrintObjects(report, 0.25, 1.5);
    f.panel->AdvanceLabels();
    QCOMPARE(log, QStringList({"P2 restart", "P3 restart", "P1 restart", "P2@0.25,1.5", "P3@0.25,1.5",
                               "P1@0.25,1.5", "P2 advance", "P3 advance", "P1 advance"}));
    QVERIFY(!f.panel->HasEffectObjects());
    QCOMPARE(f.panel->Font().Name(), QStringLiteral("Arial"));
    QCOMPARE(f.panel->Font().Size(), 10);
}

QTEST_MAIN(PanelTest)
#include "tst_panel.moc"
