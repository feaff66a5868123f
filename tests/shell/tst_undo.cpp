// Undo and redo of the main window's design: every kind of command undone
// and redone, compared with the stored design byte for byte; the changed
// mark at the saved state; the history's bounds.
#include "../print/LabelFiles.h"

#include "controls/DialogSupport.h"
#include "design/GHandle.h"
#include "layout/Loadtpl.h"
#include "objects/Register.h"
#include "shell/Main.h"
#include "shell/UndoHistory.h"
#include "storage/AppPaths.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QAction *item(QWidget *w, const char *name)
{
    auto *a = w->findChild<QAction *>(QLatin1String(name));
    if (!a)
        qFatal("no menu item %s", name);
    return a;
}

// The item of a menu (or of one of its submenus) with this caption.
QAction *menuItem(QMenu *menu, const QString &caption)
{
    for (QAction *a : menu->actions()) {
        if (a->text() == caption)
            return a;
        if (a->menu())
            if (QAction *inner = menuItem(a->menu(), caption))
                return inner;
    }
    return nullptr;
}

}  // namespace

class TestUndo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void undoAndRedo_data();
    void undoAndRedo();
    void changedMarkAndHistoryStarts();
    void historyBounded();
    void undoAtAnotherZoom();

private:
    QByteArray design() const;
    // Records the step of the command just made, as the event loop does.
    void settle();
    TGGraphicControl *object(const char *className) const;

    std::unique_ptr<QTemporaryDir> mDir;
    std::unique_ptr<TQMMainScreen> mWindow;
    QString mFile;
};

void TestUndo::initTestCase()
{
    RegisterLabelClasses();
}

void TestUndo::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
    AppPaths::SetProgramDirOverride(mDir->path());
    SetDialogRunner([](QDialog &d) {
        if (auto *chooser = qobject_cast<TSelectTemplate *>(&d)) {
            TLabelLayout l = TLabelLayout::Default();
            l.Name = QStringLiteral("Small");
            l.LabelWidth = 1.5;
            l.LabelHeight = 0.5;
            l.LabelShape = QStringLiteral("EL");
            chooser->ChosenLayout = l;
            return int(QDialog::Accepted);
        }
        // The question of Cancel; every other box and dialog is declined.
        if (auto *box = qobject_cast<QMessageBox *>(&d))
            return int(box->text().startsWith(QLatin1String("Cancel")) ? QMessageBox::Yes : QMessageBox::No);
        return int(QDialog::Rejected);
    });
    SetFontPicker([](const QFont &, QWidget *, QFontDialog::FontDialogOptions) {
        return std::optional<QFont>(QFont(QStringLiteral("DejaVu Serif"), 20));
    });

    // A rectangle, a text and a counter, opened from a label file.
    mFile = mDir->filePath(QStringLiteral("design.qm"));
    {
        TGBasePanel panel;
        panel.resize(254, 96);
        AddRectangle(panel, QRect(10, 10, 40, 20));
        AddText(panel, QRect(60, 30, 80, 20), QStringLiteral("Hello"));
        AddCounter(panel, QRect(150, 50, 60, 20), 1000);
        TGLabelObjectFiler().WriteLabelFile(&panel, mFile, TLabelLayout::Default());
    }
    mWindow = std::make_unique<TQMMainScreen>();
    mWindow->show();
    QVERIFY(QTest::qWaitFor([this] { return !mWindow->Busy(); }, 5000));
    mWindow->OpenLabelFile(mFile);
    QCOMPARE(mWindow->Panel()->Objects().size(), 3);
    QVERIFY(!mWindow->ChangesMade());
}

void TestUndo::cleanup()
{
    mWindow.reset();
    SetDialogRunner(nullptr);
    SetFontPicker({});
    AppPaths::SetProgramDirOverride(QString());
    mDir.reset();
}

QByteArray TestUndo::design() const
{
    return TGLabelObjectFiler::LabelFileBytes(mWindow->Panel(), mWindow->CurrentLabelLayout());
}

void TestUndo::settle()
{
    QTRY_VERIFY(!mWindow->History()->Pending());
}

TGGraphicControl *TestUndo::object(const char *className) const
{
    for (TGGraphicControl *o : mWindow->Panel()->Objects())
        if (o->ClassName() == className)
            return o;
    return nullptr;
}

void TestUndo::undoAndRedo_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("selected");  // after undo; -1: not looked at

    QTest::newRow("draw") << "draw" << "Undo Add" << 0;
    QTest::newRow("arrow key") << "move" << "Undo Move" << 1;
    QTest::newRow("shift+arrow key") << "resize" << "Undo Resize" << 1;
    QTest::newRow("delete key") << "delete" << "Undo Delete" << 1;
    QTest::newRow("ctrl+x") << "cut" << "Undo Cut" << 1;
    QTest::newRow("ctrl+v") << "paste" << "Undo Paste" << 0;
    QTest::newRow("clone") << "Clone" << "Undo Clone" << 0;
    QTest::newRow("locked") << "Locked" << "Undo Locked" << 1;
    QTest::newRow("send to back") << "Send To Back" << "Undo Send To Back" << 0;
    QTest::newRow("font") << "Font" << "Undo Font" << 1;
    QTest::newRow("alignment submenu") << "Right" << "Undo Alignment" << 1;
    QTest::newRow("align left") << "panel:Align Left" << "Undo Align Left" << 2;
    QTest::newRow("lock all") << "panel:Lock All" << "Undo Lock All" << 3;
    QTest::newRow("layout") << "layout" << "Undo Label Layout" << -1;
}

void TestUndo::undoAndRedo()
{
    QFETCH(QString, command);
    QFETCH(QString, caption);
    QFETCH(int, selected);

    TGQuillmarkPanel32 *panel = mWindow->Panel();
    TGHandle *frame = panel->Selection();
    TGGraphicControl *rect = object("TGLabelShapes");
    TGGraphicControl *text = object("TGPLabel");
    QVERIFY(rect && text);
    const QByteArray before = design();
    const int steps = mWindow->History()->UndoCount();

    if (command == u"draw") {
        mWindow->SelectTool(psRectangle);
        QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(100, 60));
        QTest::mouseMove(panel, QPoint(140, 80));
        QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(140, 80));
    } else if (command == u"move" || command == u"resize") {
        frame->AddToSelection(rect);
        const Qt::KeyboardModifiers m = command == u"move" ? Qt::NoModifier : Qt::ShiftModifier;
        QTest::keyPress(frame, Qt::Key_Right, m);
        QTest::keyPress(frame, Qt::Key_Right, m);
        QTest::keyRelease(frame, Qt::Key_Right, m);
    } else if (command == u"delete" || command == u"cut") {
        frame->AddToSelection(rect);
        if (command == u"delete")
            QTest::keyClick(frame, Qt::Key_Delete);
        else
            QTest::keyClick(frame, Qt::Key_X, Qt::ControlModifier);
    } else if (command == u"paste") {
        frame->AddToSelection(rect);
        QVERIFY(panel->CopySelection());
        QTest::keyClick(frame, Qt::Key_V, Qt::ControlModifier);
    } else if (command == u"layout") {
        item(mWindow.get(), "mnuChangeFromTemplate")->trigger();
    } else if (command.startsWith(u"panel:")) {
        panel->SelectAll();
        QAction *a = menuItem(panel->PanelMenu(), command.mid(6));
        QVERIFY(a);
        a->trigger();
    } else {
        TGGraphicControl *target =
            command == u"Font" || command == u"Right" || command == u"Send To Back" ? text : rect;
        frame->AddToSelection(target);
        QAction *a = menuItem(target->ObjectMenu(), command);
        QVERIFY2(a, qPrintable(command));
        a->trigger();
    }
    settle();
    const QByteArray after = design();
    QVERIFY(after != before);
    QVERIFY(mWindow->ChangesMade());
    QCOMPARE(mWindow->History()->UndoCount(), steps + 1);
    QAction *undo = item(mWindow.get(), "mnuUndo");
    QAction *redo = item(mWindow.get(), "mnuRedo");
    QCOMPARE(undo->text().remove(u'&'), caption);

    undo->trigger();
    QCOMPARE(design(), before);
    QVERIFY(!mWindow->ChangesMade());
    QCOMPARE(redo->text().remove(u'&'), QStringLiteral("Redo ") + caption.mid(5));
    if (selected >= 0)
        QCOMPARE(frame->SelectedCount(), selected);

    redo->trigger();
    QCOMPARE(design(), after);
    QVERIFY(mWindow->ChangesMade());
    undo->trigger();
    QCOMPARE(design(), before);
}

void TestUndo::changedMarkAndHistoryStarts()
{
    TQMMainScreen *w = mWindow.get();
    QAction *undo = item(w, "mnuUndo");
    QAction *redo = item(w, "mnuRedo");
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    TGGraphicControl *rect = object("TGLabelShapes");
    const QByteArray opened = design();

    // The keys of the Edit menu, and the saved state reached by undoing.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    rect->SetLeft(30);
    settle();
    QVERIFY(w->ChangesMade());
    QTest::keySequence(w, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(design(), opened);
    QVERIFY(!w->ChangesMade());
    QTest::keySequence(w, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    QCOMPARE(object("TGLabelShapes")->Left(), 30);
    QVERIFY(w->ChangesMade());
    undo->trigger();
    QTest::keySequence(w, QKeySequence(Qt::CTRL | Qt::Key_Y));
    QCOMPARE(object("TGLabelShapes")->Left(), 30);

    // Saving keeps the history; the saved design is the one without changes.
    item(w, "mnuSave")->trigger();
    QVERIFY(!w->ChangesMade());
    undo->trigger();
    QCOMPARE(design(), opened);
    QVERIFY(w->ChangesMade());
    redo->trigger();
    QVERIFY(!w->ChangesMade());

    // A change undone and another made instead: the redo step is gone.
    undo->trigger();
    menuItem(object("TGPLabel")->ObjectMenu(), QStringLiteral("Locked"))->trigger();
    settle();
    QVERIFY(!w->History()->CanRedo());
    QVERIFY(w->ChangesMade());

    // Cancel and opening start the history again.
    w->findChild<QPushButton *>(QStringLiteral("CancelButton"))->click();
    QVERIFY(!w->History()->CanUndo() && !undo->isEnabled() && !redo->isEnabled());
    QVERIFY(!w->ChangesMade());
    menuItem(object("TGPLabel")->ObjectMenu(), QStringLiteral("Locked"))->trigger();
    settle();
    QVERIFY(w->History()->CanUndo());
    w->OpenLabelFile(mFile);
    QVERIFY(!w->History()->CanUndo());
}

void TestUndo::historyBounded()
{
    TGGraphicControl *rect = object("TGLabelShapes");
    const QByteArray start = design();
    for (int i = 1; i <= TUndoHistory::MaxSteps + 50; ++i) {
        rect->SetLeft(10 + i % 100);
        rect->SetTop(i % 50);
        mWindow->History()->Commit();
    }
    QCOMPARE(mWindow->History()->UndoCount(), TUndoHistory::MaxSteps);
    // Steps hold what changed: the unchanged objects are stored once.
    const qint64 rectBytes = TGLabelObjectFiler::ObjectFileBytes({rect}).size();
    QVERIFY(mWindow->History()->BytesHeld() < (TUndoHistory::MaxSteps + 2) * rectBytes + start.size());
    while (mWindow->History()->CanUndo())
        item(mWindow.get(), "mnuUndo")->trigger();
    QVERIFY(design() != start);
    QCOMPARE(object("TGLabelShapes")->Left(), 10 + 50);
}

void TestUndo::undoAtAnotherZoom()
{
    // Zooming is no step; a step made at one zoom is undone at another.
    // (Text fits its height to the zoomed font, so the rectangle alone is
    // compared across the zoom and back.)
    auto rectBytes = [this] { return TGLabelObjectFiler::ObjectFileBytes({object("TGLabelShapes")}); };
    const QByteArray before = rectBytes();
    menuItem(object("TGLabelShapes")->ObjectMenu(), QStringLiteral("Locked"))->trigger();
    settle();
    const QByteArray after = rectBytes();
    mWindow->ZoomIn();
    mWindow->ZoomIn();
    QCOMPARE(mWindow->History()->UndoCount(), 1);
    item(mWindow.get(), "mnuUndo")->trigger();
    QCOMPARE(object("TGLabelShapes")->Scale(), mWindow->Panel()->Zoom());
    QCOMPARE(object("TGLabelShapes")->Width(), RoundNearest(40 * double(mWindow->Panel()->Zoom())));
    QVERIFY(!mWindow->ChangesMade());
    mWindow->ZoomOut();
    mWindow->ZoomOut();
    QCOMPARE(rectBytes(), before);
    item(mWindow.get(), "mnuRedo")->trigger();
    QCOMPARE(rectBytes(), after);
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
