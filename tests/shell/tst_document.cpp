// The main window's document, preferences, recent files, start-up and
// layout commands, driven through the real window with a scripted answer
// for every dialog it opens and a program directory of its own.
#include "../graphics/MetafileFiles.h"

#include "design/GGraphc.h"
#include "design/Gbasepnl.h"
#include "layout/Edittpl.h"
#include "layout/Loadtpl.h"
#include "objects/Register.h"
#include "objects/graphic/Gimage.h"
#include "shell/IniFile.h"
#include "shell/MRUList.h"
#include "shell/Main.h"
#include "storage/AppPaths.h"
#include "storage/Filer.h"
#include "storage/Gdiobj.h"
#include "storage/Pictures.h"

#include "controls/DialogSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <deque>
#include <functional>
#include <limits>
#include <memory>

namespace {

// Answers the dialogs the window opens, in order. Every dialog is noted
// as "title: text" (boxes) or "title in folder, proposing name" (file
// dialogs); a dialog nobody expected is answered with Cancel/No and noted
// as unexpected.
//
// Scripts nest: the newest one answers, and when it ends the one before it
// answers again. Without any script every dialog is refused and counted in
// StrayDialogs(), so that no test can block on a modal dialog.
class DialogScript
{
public:
    using Answer = std::function<int(QDialog &)>;

    DialogScript()
        : mPrevious(current())
    {
        current() = this;
        install();
    }
    ~DialogScript()
    {
        current() = mPrevious;
        install();
    }

    static QStringList &StrayDialogs()
    {
        static QStringList stray;
        return stray;
    }

    DialogScript &then(Answer a)
    {
        mSteps.push_back(std::move(a));
        return *this;
    }
    DialogScript &reply(int code)
    {
        return then([code](QDialog &) { return code; });
    }
    // Yes, No and Ok answer message boxes only.
    DialogScript &answerBox(QMessageBox::StandardButton button)
    {
        return then([this, button](QDialog &d) {
            if (qobject_cast<QMessageBox *>(&d))
                return int(button);
            unexpected << QStringLiteral("not a message box: ") + describe(d);
            return int(QDialog::Rejected);
        });
    }
    DialogScript &yes() { return answerBox(QMessageBox::Yes); }
    DialogScript &no() { return answerBox(QMessageBox::No); }
    DialogScript &ok() { return answerBox(QMessageBox::Ok); }
    DialogScript &cancel() { return reply(QDialog::Rejected); }
    DialogScript &pick(const QString &path)
    {
        return then([this, path](QDialog &d) {
            auto *file = qobject_cast<QFileDialog *>(&d);
            if (!file) {
                unexpected << QStringLiteral("not a file dialog: ") + describe(d);
                return int(QMessageBox::No);
            }
            file->selectFile(path);
            return int(QDialog::Accepted);
        });
    }

    QStringList seen;
    QStringList unexpected;
    int pending() const { return int(mSteps.size()); }

private:
    static DialogScript *&current()
    {
        static DialogScript *script = nullptr;
        return script;
    }
    static void install()
    {
        SetDialogRunner([](QDialog &d) {
            if (current())
                return current()->run(d);
            StrayDialogs() << describe(d);
            return qobject_cast<QMessageBox *>(&d) ? int(QMessageBox::No) : int(QDialog::Rejected);
        });
    }

    int run(QDialog &d)
    {
        const QString what = describe(d);
        seen << what;
        if (mSteps.empty()) {
            unexpected << what;
            return qobject_cast<QMessageBox *>(&d) ? int(QMessageBox::No) : int(QDialog::Rejected);
        }
        Answer a = std::move(mSteps.front());
        mSteps.pop_front();
        return a(d);
    }

    static QString describe(QDialog &d)
    {
        if (auto *box = qobject_cast<QMessageBox *>(&d))
            return box->windowTitle() + QStringLiteral(": ") + box->text();
        if (auto *file = qobject_cast<QFileDialog *>(&d)) {
            const QString proposal = QFileInfo(file->selectedFiles().value(0)).fileName();
            return file->windowTitle() + QStringLiteral(" in ") + QDir(file->directory()).absolutePath()
                   + QStringLiteral(", proposing ") + proposal;
        }
        return QString::fromLatin1(d.metaObject()->className());
    }

    DialogScript *mPrevious;
    std::deque<Answer> mSteps;
};

#define VERIFY_SCRIPT_DONE(script)                                                              \
    do {                                                                                        \
        QVERIFY2((script).unexpected.isEmpty(), qPrintable((script).unexpected.join(" | ")));    \
        QCOMPARE((script).pending(), 0);                                                        \
    } while (false)

QAction *item(QWidget *w, const char *name)
{
    auto *a = w->findChild<QAction *>(QLatin1String(name));
    if (!a)
        qFatal("no menu item %s", name);
    return a;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void putFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The recent-file item of entry n (1-based).
QAction *recentAction(TQMMainScreen *w, int n)
{
    for (QAction *a : w->findChild<QMenu *>(QStringLiteral("mnuFile"))->actions())
        if (auto *m = qobject_cast<TMRUMenuItem *>(a); m && m->EntryNumber() == n)
            return a;
    qFatal("no recent file item %d", n);
    return nullptr;
}

// The recent-file entries of the File menu, as captions.
QStringList recentItems(TQMMainScreen *w)
{
    QStringList out;
    for (QAction *a : w->findChild<QMenu *>(QStringLiteral("mnuFile"))->actions())
        if (auto *m = qobject_cast<TMRUMenuItem *>(a); m && m->EntryNumber() > 0)
            out << a->text();
    return out;
}

TLabelLayout cdLayout()
{
    TLabelLayout l;
    l.Name = QStringLiteral("Avery 5824 CD Label");
    l.LabelHeight = 4.5;
    l.LabelWidth = 4.5;
    l.Across = 1;
    l.Down = 2;
    l.TopMargin = 0.5;
    l.LeftMargin = 2;
    l.HorizontalPitch = 4.5;
    l.VerticalPitch = 5.5;
    l.PageWidth = 8.5;
    l.PageHeight = 11;
    l.PrinterType = QStringLiteral("LJ");
    l.PaperSize = QStringLiteral("LTR");
    l.LabelShape = QStringLiteral("EL");
    l.ProductType = QStringLiteral("CD/DVD DISK LABELS");
    l.ArtName = QStringLiteral("AV5824");
    return l;
}

TLabelLayout smallLayout()
{
    TLabelLayout l = TLabelLayout::Default();
    l.Name = QStringLiteral("Avery 5167 Return Address");
    l.LabelHeight = 0.2;
    l.LabelWidth = 1.0;
    l.LabelShape = QStringLiteral("SR");
    return l;
}

}  // namespace

class TestDocument : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void saveAtZoomStoresUnzoomedGeometry_data();
    void saveAtZoomStoresUnzoomedGeometry();
    void saveAsProposals_data();
    void saveAsProposals();
    void cancelReadsFileAgain();
    void closing_data();
    void closing();
    void deleteFile_data();
    void deleteFile();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void questionDefaults_data();
    void questionDefaults();
    void damagedFileKeepsDesign_data();
    void damagedFileKeepsDesign();
    void recentFilesKeepFive();
    void recentFilesIgnoreCase();
    void recentFileDeleted();
    void openingFitsTextWithoutChange_data();
    void openingFitsTextWithoutChange();
    void lastFileReopened_data();
    void lastFileReopened();
    void defaultFontSavedAtOnce();
    void hintsAndPathsRoundTrip();
    void placement_data();
    void placement();
    void layoutCommands_data();
    void layoutCommands();
    void newAsksBeforeDiscarding();

private:
    TQMMainScreen *openWindow();
    TGGraphicControl *draw(TLPanelState tool, QPoint from, QPoint to);
    // Makes the current layout one of the given shape and size, and shows it.
    void useLayout(const QString &shape, double width, double height);
    QString path(const QString &name) const { return mDir->path() + QLatin1Char('/') + name; }
    // A rectangle and a line.
    void drawSample();
    // Saves the design through Save As; returns the full path.
    QString saveAs(const QString &name);

    std::unique_ptr<QTemporaryDir> mDir;
    std::unique_ptr<TQMMainScreen> mWindow;
};

void TestDocument::initTestCase()
{
    RegisterLabelClasses();
}

void TestDocument::init()
{
    DialogScript::StrayDialogs().clear();
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
    AppPaths::SetProgramDirOverride(mDir->path());
}

void TestDocument::cleanup()
{
    mWindow.reset();
    QVERIFY2(DialogScript::StrayDialogs().isEmpty(), qPrintable(DialogScript::StrayDialogs().join(" | ")));
    SetFontPicker({});
    AppPaths::SetProgramDirOverride(QString());
    mDir.reset();
}

TQMMainScreen *TestDocument::openWindow()
{
    mWindow.reset();
    mWindow = std::make_unique<TQMMainScreen>();
    mWindow->show();
    if (!QTest::qWaitForWindowExposed(mWindow.get()))
        qWarning("window not exposed");
    // First activation runs once the window is on the screen.
    if (!QTest::qWaitFor([this] { return !mWindow->Busy(); }, 5000))
        qWarning("first activation did not run");
    return mWindow.get();
}

TGGraphicControl *TestDocument::draw(TLPanelState tool, QPoint from, QPoint to)
{
    mWindow->SelectTool(tool);
    TGQuillmarkPanel32 *panel = mWindow->Panel();
    const auto before = panel->Objects();
    QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(panel, to);
    QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, to);
    for (TGGraphicControl *o : panel->Objects())
        if (!before.contains(o))
            return o;
    return nullptr;
}

void TestDocument::useLayout(const QString &shape, double width, double height)
{
    TLabelLayout l = mWindow->CurrentLabelLayout();
    l.LabelShape = shape;
    l.LabelWidth = width;
    l.LabelHeight = height;
    mWindow->SetCurrentLayout(l);
    mWindow->SetLabelSizeFromInches(shape, width, height);
}

void TestDocument::drawSample()
{
    draw(psRectangle, QPoint(10, 10), QPoint(70, 50));
    draw(psLine, QPoint(90, 12), QPoint(150, 70));
}

QString TestDocument::saveAs(const QString &name)
{
    const QString file = path(name);
    DialogScript script;
    script.pick(file);
    item(mWindow.get(), "mnuSaveAs")->trigger();
    if (!script.unexpected.isEmpty() || !QFileInfo::exists(file))
        qWarning("sample not saved: %s", qPrintable(script.seen.join(" | ")));
    return file;
}

void TestDocument::saveAtZoomStoresUnzoomedGeometry_data()
{
    QTest::addColumn<int>("steps");  // zoom steps, negative: out
    QTest::newRow("150 %") << 5;
    QTest::newRow("130 %") << 3;
    QTest::newRow("70 %") << -3;
    QTest::newRow("50 %") << -5;
}

void TestDocument::saveAtZoomStoresUnzoomedGeometry()
{
    QFETCH(int, steps);
    TQMMainScreen *w = openWindow();
    // Every zoom step rounds the objects' geometry, and rounding errors add
    // up over the steps (a pixel may drift on odd sizes). This design lies
    // on a 10-pixel grid, which every step from 50 % to 150 % scales exactly,
    // so that only the save itself can make a difference.
    draw(psRectangle, QPoint(10, 10), QPoint(70, 50));
    draw(psEllipse, QPoint(100, 30), QPoint(140, 90));
    draw(psLine, QPoint(150, 10), QPoint(230, 90));
    const QString atOne = saveAs(QStringLiteral("one.qm"));
    const QByteArray reference = fileBytes(atOne);

    for (int i = 0; i < qAbs(steps); ++i)
        steps > 0 ? w->ZoomIn() : w->ZoomOut();
    const QString caption = w->ZoomCaption();
    QVERIFY(caption != QLatin1String("100%"));
    QList<QRect> zoomed;
    for (TGGraphicControl *o : w->Panel()->Objects())
        zoomed << o->geometry();

    w->SetChangesMade(true);
    DialogScript script;
    item(w, "mnuSave")->trigger();
    VERIFY_SCRIPT_DONE(script);

    QCOMPARE(fileBytes(atOne), reference);
    QVERIFY(!w->ChangesMade());
    // The window goes on at the zoom it had.
    QCOMPARE(w->ZoomCaption(), caption);
    QList<QRect> after;
    for (TGGraphicControl *o : w->Panel()->Objects())
        after << o->geometry();
    QCOMPARE(after, zoomed);
}

void TestDocument::saveAsProposals_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("proposal");
    QTest::newRow("empty folder") << QStringList{} << "QM0001.QM";
    QTest::newRow("0001 taken") << QStringList{"QM0001.QM"} << "QM0002.QM";
    QTest::newRow("taken in other case") << QStringList{"qm0001.qm", "Qm0002.Qm"} << "QM0003.QM";
    QTest::newRow("gap is used") << QStringList{"QM0001.QM", "QM0003.QM"} << "QM0002.QM";
}

void TestDocument::saveAsProposals()
{
    QFETCH(QStringList, present);
    QFETCH(QString, proposal);
    for (const QString &name : present)
        putFile(path(name), "x");
    TQMMainScreen *w = openWindow();
    draw(psRectangle, QPoint(10, 10), QPoint(60, 40));

    // Proposed in the program's directory, where the dialog starts the
    // first time. Without a file the Save button runs Save As.
    const QString chosen = path(QStringLiteral("first.qm"));
    auto *saveButton = w->findChild<QPushButton *>(QStringLiteral("SaveButton"));
    QCOMPARE(saveButton->text(), QStringLiteral("&Save As"));
    QVERIFY(!item(w, "mnuSave")->isEnabled());
    DialogScript script;
    script.pick(chosen);
    QTest::mouseClick(saveButton, Qt::LeftButton);
    VERIFY_SCRIPT_DONE(script);
    QCOMPARE(script.seen, QStringList{"Save As in " + mDir->path() + ", proposing " + proposal});
    QCOMPARE(w->CurrentFileName(), chosen);
    QCOMPARE(w->windowTitle(), QStringLiteral("Quillmark - first.qm"));
    QVERIFY(!w->ChangesMade());
    QVERIFY(item(w, "mnuSave")->isEnabled());
    QVERIFY(saveButton->isHidden());
    QCOMPARE(w->RecentFiles()->Entries(), QStringList{chosen});
    QCOMPARE(TIniFile(path("QM.INI")).ReadString("MRU", "F0", QString()), chosen);

    // With a current file, its own name is proposed in the last save folder.
    QVERIFY(QDir(mDir->path()).mkdir("sub"));
    DialogScript again;
    again.pick(path("sub/second.qm"));
    item(w, "mnuSaveAs")->trigger();
    DialogScript third;
    third.cancel();
    item(w, "mnuSaveAs")->trigger();
    VERIFY_SCRIPT_DONE(third);
    QCOMPARE(third.seen, QStringList{"Save As in " + path("sub") + ", proposing second.qm"});
    QCOMPARE(w->CurrentFileName(), path("sub/second.qm"));
}

// Cancel on a design without a file is tested with the main window's
// other tests; here the design is bound to a file and is read again.
void TestDocument::cancelReadsFileAgain()
{
    TQMMainScreen *w = openWindow();
    useLayout(QStringLiteral("EL"), 2.0, 2.0);
    drawSample();
    const QString file = saveAs(QStringLiteral("bound.qm"));
    draw(psEllipse, QPoint(100, 100), QPoint(150, 150));
    w->ZoomIn();
    QVERIFY(w->ChangesMade());

    DialogScript script;
    script.yes();
    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("CancelButton")), Qt::LeftButton);
    VERIFY_SCRIPT_DONE(script);
    QCOMPARE(script.seen, QStringList{"CANCEL: Cancel all changes?"});
    QCOMPARE(w->Panel()->Objects().size(), 2);
    QVERIFY(!w->ChangesMade());
    QCOMPARE(w->CurrentFileName(), file);
    // Read at 100 %, shown again at the zoom the window had.
    QCOMPARE(w->ZoomCaption(), QStringLiteral("110%"));
    QCOMPARE(w->Panel()->size(), QSize(211, 211));
    QCOMPARE(w->Panel()->Objects().constFirst()->geometry(), QRect(11, 11, 66, 44));
    QCOMPARE(w->Panel()->Shape(), lsEllipse);
}

void TestDocument::closing_data()
{
    QTest::addColumn<bool>("changes");
    QTest::addColumn<bool>("viaExit");
    QTest::addColumn<QStringList>("answers");  // "yes", "no", "cancel", or a file to save
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");

    QTest::newRow("exit, nothing changed") << false << true << QStringList{} << true << false;
    QTest::newRow("exit, changes, no") << true << true << QStringList{"no"} << true << false;
    QTest::newRow("exit, changes, yes, saved") << true << true << QStringList{"yes", "exit.qm"} << true << true;
    // The user wanted the design saved and then cancelled the save: the
    // window stays, with the design and its unsaved state.
    QTest::newRow("exit, changes, yes, save cancelled")
        << true << true << QStringList{"yes", "cancel"} << false << false;
    QTest::newRow("close button does not ask") << true << false << QStringList{} << true << false;
}

void TestDocument::closing()
{
    QFETCH(bool, changes);
    QFETCH(bool, viaExit);
    QFETCH(QStringList, answers);
    QFETCH(bool, closed);
    QFETCH(bool, saved);

    TQMMainScreen *w = openWindow();
    if (changes)
        drawSample();
    const QString before = TIniFile(path("QM.INI")).ReadString("Default Font", "Name", "<none>");
    QCOMPARE(before, QStringLiteral("<none>"));

    DialogScript script;
    for (const QString &a : answers) {
        if (a == QLatin1String("yes"))
            script.yes();
        else if (a == QLatin1String("no"))
            script.no();
        else if (a == QLatin1String("cancel"))
            script.cancel();
        else
            script.pick(path(a));
    }
    if (viaExit)
        item(w, "mnuExit")->trigger();
    else
        w->close();
    VERIFY_SCRIPT_DONE(script);
    if (changes && viaExit)
        QCOMPARE(script.seen.value(0), QStringLiteral("Save: Save changes?"));

    QCOMPARE(w->isVisible(), !closed);
    QCOMPARE(w->ChangesMade(), changes && !saved);
    QCOMPARE(w->Panel()->Objects().size(), changes ? 2 : 0);
    QCOMPARE(QFileInfo::exists(path("exit.qm")), saved);
    QStringList labelFiles = QDir(mDir->path()).entryList({"*.qm"}, QDir::Files);
    QCOMPARE(labelFiles.size(), saved ? 1 : 0);
    // Closing by any means keeps the preferences and the placement.
    const TIniFile ini(path("QM.INI"));
    QCOMPARE(ini.ValueExists("Default Font", "Name"), closed);
    QCOMPARE(ini.ValueExists("TQMMainScreen_Placement", "Bottom"), closed);
}

void TestDocument::deleteFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("deleted");

    QTest::newRow("the open file, yes") << "open.qm" << true << QStringList{"CONFIRM: Delete %1?"} << true;
    QTest::newRow("the open file, no") << "open.qm" << false << QStringList{"CONFIRM: Delete %1?"} << false;
    QTest::newRow("upper-case extension") << "OTHER.QM" << true << QStringList{"CONFIRM: Delete %1?"} << true;
    QTest::newRow("wrong extension")
        << "notes.txt" << true << QStringList{"Information: Must be a QM (Quillmark) file"} << false;
}

void TestDocument::deleteFile()
{
    QFETCH(QString, name);
    QFETCH(bool, confirm);
    QFETCH(QStringList, messages);
    QFETCH(bool, deleted);

    TQMMainScreen *w = openWindow();
    drawSample();
    const QString open = saveAs(QStringLiteral("open.qm"));
    const QString target = path(name);
    if (target != open)
        putFile(target, fileBytes(open));

    DialogScript script;
    script.pick(target);
    if (messages.constFirst().startsWith(QLatin1String("CONFIRM")))
        confirm ? script.yes() : script.no();
    else
        script.ok();
    item(w, "mnuDelete")->trigger();
    VERIFY_SCRIPT_DONE(script);
    QCOMPARE(script.seen.value(0), "Delete Label File in " + mDir->path() + ", proposing ");
    QString message = messages.constFirst();
    if (message.contains(QLatin1String("%1")))
        message = message.arg(target);
    QCOMPARE(script.seen.mid(1), QStringList{message});
    QCOMPARE(QFileInfo::exists(target), !deleted);

    // The open design is left alone, bound to its file even when that is gone.
    QCOMPARE(w->CurrentFileName(), open);
    QCOMPARE(w->windowTitle(), QStringLiteral("Quillmark - open.qm"));
    QCOMPARE(w->Panel()->Objects().size(), 2);
    QVERIFY(!w->ChangesMade());
}

void TestDocument::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<bool>("saveAs");
    // A name of 250 characters leaves no room for the temporary file
    // beside it, so even root cannot write it.
    QTest::newRow("save over a file of a 250-character name") << false;
    QTest::newRow("save as below a regular file") << true;
}

void TestDocument::failedWriteKeepsOldFile()
{
    QFETCH(bool, saveAs);
    TQMMainScreen *w = openWindow();
    drawSample();
    const QString sample = this->saveAs(QStringLiteral("sample.qm"));
    const QByteArray old = fileBytes(sample);

    QString target;
    if (saveAs) {
        putFile(path("plain"), "not a folder");
        target = path("plain/label.qm");
    } else {
        target = path(QString(247, QLatin1Char('x')) + QStringLiteral(".qm"));
        QCOMPARE(QFileInfo(target).fileName().size(), 250);
        putFile(target, old);
        w->OpenLabelFile(target);
        QCOMPARE(w->CurrentFileName(), target);
    }
    draw(psEllipse, QPoint(160, 10), QPoint(200, 60));
    const QString boundBefore = w->CurrentFileName();
    const QStringList recentBefore = w->RecentFiles()->Entries();

    DialogScript script;
    if (saveAs)
        script.pick(target);
    script.ok();
    item(w, saveAs ? "mnuSaveAs" : "mnuSave")->trigger();
    VERIFY_SCRIPT_DONE(script);
    const QString error = script.seen.constLast();
    QVERIFY2(error.startsWith("Error: Cannot write " + target + ": "), qPrintable(error));
    QVERIFY2(error.size() > QString("Error: Cannot write " + target + ": ").size(), "no reason given");

    if (!saveAs)
        QCOMPARE(fileBytes(target), old);
    QVERIFY(!QFileInfo::exists(path("plain/label.qm")));
    // No temporary file is left behind.
    QCOMPARE(QDir(mDir->path()).entryList(QDir::Files | QDir::Hidden).filter(".qm.").size(), 0);
    QVERIFY(w->ChangesMade());
    QCOMPARE(w->CurrentFileName(), boundBefore);
    QCOMPARE(w->Panel()->Objects().size(), 3);
    QCOMPARE(w->RecentFiles()->Entries(), recentBefore);
}

void TestDocument::questionDefaults_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("defaultButton");  // what Enter answers

    // Yes throws work away: Enter must keep it.
    QTest::newRow("cancel") << "CancelButton" << "CANCEL: Cancel all changes?" << int(QMessageBox::No);
    QTest::newRow("escape") << "Escape" << "CANCEL: Cancel all changes?" << int(QMessageBox::No);
    QTest::newRow("delete") << "mnuDelete" << "CONFIRM: Delete %1?" << int(QMessageBox::No);
    // Yes saves: Enter keeps the work there too.
    QTest::newRow("save changes") << "mnuOpen" << "Save: Save changes?" << int(QMessageBox::Yes);
}

void TestDocument::questionDefaults()
{
    QFETCH(QString, command);
    QFETCH(QString, question);
    QFETCH(int, defaultButton);

    TQMMainScreen *w = openWindow();
    drawSample();
    const QString file = saveAs(QStringLiteral("kept.qm"));
    const QString other = path(QStringLiteral("other.qm"));
    putFile(other, fileBytes(file));
    draw(psEllipse, QPoint(100, 100), QPoint(150, 150));
    QVERIFY(w->ChangesMade());

    int seenDefault = -1, seenEscape = -1;
    DialogScript script;
    if (command == QLatin1String("mnuDelete"))
        script.pick(other);
    script.then([&](QDialog &d) {
        if (auto *box = qobject_cast<QMessageBox *>(&d)) {
            seenDefault = box->defaultButton() ? int(box->standardButton(box->defaultButton())) : 0;
            seenEscape = box->escapeButton() ? int(box->standardButton(box->escapeButton())) : 0;
        }
        return int(QMessageBox::No);
    });
    if (command == QLatin1String("mnuOpen"))
        script.cancel();
    if (command == QLatin1String("Escape"))
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w, Qt::Key_Escape);
    else if (command == QLatin1String("CancelButton"))
        QTest::mouseClick(w->findChild<QPushButton *>(command), Qt::LeftButton);
    else
        item(w, command.toLatin1().constData())->trigger();
    VERIFY_SCRIPT_DONE(script);
    QVERIFY(script.seen.contains(question.contains(QLatin1String("%1")) ? question.arg(other) : question));
    QCOMPARE(seenDefault, defaultButton);
    QCOMPARE(seenEscape, int(QMessageBox::No));
    // No was answered: nothing is lost.
    QVERIFY(w->ChangesMade());
    QCOMPARE(w->Panel()->Objects().size(), 3);
}

void TestDocument::damagedFileKeepsDesign_data()
{
    QTest::addColumn<QByteArray>("data");

    TLabelLayout big = TLabelLayout::Default();
    big.LabelWidth = 1e30;
    TLabelLayout nan = TLabelLayout::Default();
    nan.LabelHeight = std::numeric_limits<double>::quiet_NaN();
    TLabelLayout many = TLabelLayout::Default();
    many.Across = 100000;
    TLabelLayout negative = TLabelLayout::Default();
    negative.LabelHeight = -1;
    QObject emptyPanel;

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("text file") << QByteArray("Dear Sir,\r\nplease find attached...\r\n");
    QTest::newRow("random bytes") << QByteArray::fromHex("0e f7 01 54 50 46 30 ff ff ff 7f 00 13 88");
    QTest::newRow("huge label width") << TGLabelObjectFiler::LabelFileBytes(&emptyPanel, big);
    QTest::newRow("label height not a number") << TGLabelObjectFiler::LabelFileBytes(&emptyPanel, nan);
    QTest::newRow("negative label height") << TGLabelObjectFiler::LabelFileBytes(&emptyPanel, negative);
    QTest::newRow("100000 across") << TGLabelObjectFiler::LabelFileBytes(&emptyPanel, many);
    QTest::newRow("truncated after the objects") << QByteArray("cut");  // filled in below

    // A picture object whose metafile lost its placeable key.
    TGBasePanel pictured;
    auto *image = new TGImage;
    image->SetParentComponent(&pictured);
    image->FinishLoading();
    picturefiles::WmfWriter wmf;
    wmf.window(1000).solidBrush(0x0000FF).rec(0x041B, {800, 700, 100, 200});
    auto metafile = std::make_unique<TMetafile>();
    metafile->LoadFromBytes(wmf.file());
    TPicture picture;
    picture.SetGraphic(std::move(metafile));
    image->SetPicture(picture);
    QByteArray damagedPicture = TGLabelObjectFiler::LabelFileBytes(&pictured, TLabelLayout::Default());
    const qsizetype key = damagedPicture.indexOf(picturefiles::le32(graphics::PlaceableKey));
    QVERIFY(key > 0);
    damagedPicture.replace(key, 4, QByteArray(4, '\0'));
    QTest::newRow("damaged picture data") << damagedPicture;
}

void TestDocument::damagedFileKeepsDesign()
{
    QFETCH(QByteArray, data);
    TQMMainScreen *w = openWindow();
    drawSample();
    const QString good = saveAs(QStringLiteral("good.qm"));
    if (data == "cut") {
        // The objects read, then the layout list breaks off.
        data = fileBytes(good);
        data.chop(30);
    }
    const QString damaged = path("damaged.qm");
    putFile(damaged, data);
    // A layout of another size, not saved: the design differs from its file.
    useLayout(QStringLiteral("EL"), 3.0, 3.0);
    const TLabelLayout layoutBefore = w->CurrentLabelLayout();
    const QSize sizeBefore = w->Panel()->size();
    const bool changesBefore = w->ChangesMade();
    const QByteArray designBefore = TGLabelObjectFiler::LabelFileBytes(w->Panel(), layoutBefore);

    DialogScript script;
    script.no().pick(damaged).ok();
    item(w, "mnuOpen")->trigger();
    VERIFY_SCRIPT_DONE(script);
    QCOMPARE(script.seen.value(0), QStringLiteral("Save: Save changes?"));
    QCOMPARE(script.seen.value(2), "Information: Unable to open " + damaged
                                       + ". Possibly corrupted, posibly not a Quillmark file");
    // Another file's damage leaves the open design, its name and its
    // changes as they were.
    QCOMPARE(w->CurrentLabelLayout(), layoutBefore);
    QCOMPARE(w->Panel()->size(), sizeBefore);
    QCOMPARE(w->Panel()->Shape(), lsEllipse);
    QCOMPARE(w->Panel()->Objects().size(), 2);
    QCOMPARE(TGLabelObjectFiler::LabelFileBytes(w->Panel(), w->CurrentLabelLayout()), designBefore);
    QCOMPARE(w->CurrentFileName(), good);
    QCOMPARE(w->ChangesMade(), changesBefore);
    QCOMPARE(w->RecentFiles()->Entries(), QStringList{good});

    // The window goes on working: the good file opens.
    DialogScript again;
    again.no().pick(good);
    item(w, "mnuOpen")->trigger();
    VERIFY_SCRIPT_DONE(again);
    QCOMPARE(w->Panel()->Objects().size(), 2);
    QCOMPARE(w->CurrentFileName(), good);
    QCOMPARE(w->CurrentLabelLayout(), TLabelLayout::Default());
}

void TestDocument::recentFilesKeepFive()
{
    TQMMainScreen *w = openWindow();
    drawSample();
    QStringList files;
    for (int i = 1; i <= 6; ++i)
        files << saveAs(QStringLiteral("file%1.qm").arg(i));
    // Opening the oldest still listed moves it to the top.
    DialogScript script;
    script.pick(files[1]);
    item(w, "mnuOpen")->trigger();
    VERIFY_SCRIPT_DONE(script);

    const QStringList expected{files[1], files[5], files[4], files[3], files[2]};
    QCOMPARE(w->RecentFiles()->Entries(), expected);
    QStringList captions;
    for (int i = 0; i < expected.size(); ++i)
        captions << QStringLiteral("&%1 %2").arg(i + 1).arg(expected[i]);
    QCOMPARE(recentItems(w), captions);
    // The entries follow "E&xit" after a separator.
    const QList<QAction *> actions = w->findChild<QMenu *>("mnuFile")->actions();
    const qsizetype exit = actions.indexOf(item(w, "mnuExit"));
    QVERIFY(actions.at(exit + 1)->isSeparator());
    QCOMPARE(actions.size(), exit + 2 + 5);

    // Stored at once, newest first.
    const TIniFile ini(path("QM.INI"));
    QCOMPARE(ini.ReadSection("MRU"), (QStringList{"F0", "F1", "F2", "F3", "F4"}));
    QCOMPARE(ini.ReadString("MRU", "F0", QString()), files[1]);
    QCOMPARE(ini.ReadString("MRU", "F4", QString()), files[2]);
}

void TestDocument::recentFilesIgnoreCase()
{
    TQMMainScreen *w = openWindow();
    drawSample();
    const QString file = saveAs(QStringLiteral("Case.qm"));
    const QString other = saveAs(QStringLiteral("other.qm"));
    w = nullptr;
    mWindow.reset();
    // A list written where names ignore case may hold another spelling.
    TIniFile ini(path("QM.INI"));
    ini.EraseSection("MRU");
    ini.WriteString("MRU", "F0", other);
    ini.WriteString("MRU", "F1", file.toUpper());
    ini.UpdateFile();

    w = openWindow();
    QCOMPARE(w->CurrentFileName(), other);
    DialogScript script;
    script.pick(file);
    item(w, "mnuOpen")->trigger();
    VERIFY_SCRIPT_DONE(script);
    QCOMPARE(w->RecentFiles()->Entries(), (QStringList{file, other}));
}

void TestDocument::recentFileDeleted()
{
    TQMMainScreen *w = openWindow();
    drawSample();
    const QString kept = saveAs(QStringLiteral("kept.qm"));
    const QString gone = saveAs(QStringLiteral("gone.qm"));
    QVERIFY(QFile::remove(gone));
    QCOMPARE(recentItems(w), (QStringList{"&1 " + gone, "&2 " + kept}));

    DialogScript script;
    script.ok();
    recentAction(w, 1)->trigger();
    VERIFY_SCRIPT_DONE(script);
    QCOMPARE(script.seen, QStringList{"Information: " + gone + " no longer exists"});
    QCOMPARE(recentItems(w), QStringList{"&1 " + kept});
    // Nothing was opened.
    QCOMPARE(w->CurrentFileName(), gone);
    QCOMPARE(w->Panel()->Objects().size(), 2);
    // The list is stored only by the next open or Save As, so after a
    // restart the entry is back; the missing first file is skipped silently.
    QCOMPARE(TIniFile(path("QM.INI")).ReadString("MRU", "F0", QString()), gone);
    w->close();
    w = openWindow();
    QCOMPARE(script.seen.size(), 1);
    QCOMPARE(recentItems(w), (QStringList{"&1 " + gone, "&2 " + kept}));
    QCOMPARE(w->CurrentFileName(), QString());
}

void TestDocument::openingFitsTextWithoutChange_data()
{
    QTest::addColumn<float>("zoom");
    QTest::newRow("100 %") << 1.0f;
    QTest::newRow("150 %") << 1.5f;
}

// A text object whose frame does not fit its text yet (a file from another
// machine or from qmtool build) is fitted while the file opens; that is no
// change of the design.
void TestDocument::openingFitsTextWithoutChange()
{
    QFETCH(float, zoom);
    const QString file = mDir->filePath(QStringLiteral("unfitted.qm"));
    {
        QWidget holder;
        // A text and a counter whose stored caption is not yet the number.
        for (const char *cls : {"TGPLabel", "TGCounterLabel"}) {
            auto *label = dynamic_cast<TGGraphicControl *>(TClassRegistry::instance().Create(cls, nullptr));
            QVERIFY(label);
            label->setParent(&holder);
            label->SetBounds(10, 10, 300, 120);
        }
        TGLabelObjectFiler().WriteLabelFile(&holder, file, TLabelLayout::Default());
    }
    TQMMainScreen *w = openWindow();
    w->Panel()->SetZoom(zoom);
    // Hidden, the window paints nothing while the file opens: the fitting
    // must not wait for a paint.
    w->hide();
    w->OpenLabelFile(file);
    QCOMPARE(w->Panel()->Objects().size(), 2);
    for (TGGraphicControl *o : w->Panel()->Objects())
        QVERIFY(o->Height() < 120 * zoom);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QTest::qWait(50);
    QVERIFY(!w->ChangesMade());
    // Zooming in and out again refits the text without a change either.
    w->Panel()->SetZoom(zoom == 1.0f ? 1.5f : 1.0f);
    QTest::qWait(50);
    QVERIFY(!w->ChangesMade());
}

void TestDocument::lastFileReopened_data()
{
    QTest::addColumn<QString>("first");  // "good", "gone", "damaged"
    QTest::newRow("most recent file reopens") << "good";
    QTest::newRow("deleted file skipped silently") << "gone";
    QTest::newRow("damaged file: message, default layout") << "damaged";
}

void TestDocument::lastFileReopened()
{
    QFETCH(QString, first);
    TQMMainScreen *w = openWindow();
    useLayout(QStringLiteral("EL"), 2.0, 1.5);
    drawSample();
    const QString good = saveAs(QStringLiteral("good.qm"));
    w->close();
    mWindow.reset();

    QString top = good;
    if (first == QLatin1String("gone")) {
        top = path("gone.qm");
    } else if (first == QLatin1String("damaged")) {
        top = path("damaged.qm");
        putFile(top, "QM?");
    }
    TIniFile ini(path("QM.INI"));
    ini.WriteString("MRU", "F0", top);
    ini.WriteString("MRU", "F1", good);
    ini.UpdateFile();

    DialogScript script;
    if (first == QLatin1String("damaged"))
        script.ok();
    w = openWindow();
    VERIFY_SCRIPT_DONE(script);
    QVERIFY(!w->ChangesMade());
    QVERIFY(w->findChild<QPushButton *>("SaveButton")->isHidden());
    if (first == QLatin1String("good")) {
        QVERIFY(script.seen.isEmpty());
        QCOMPARE(w->CurrentFileName(), good);
        QCOMPARE(w->windowTitle(), QStringLiteral("Quillmark - good.qm"));
        QCOMPARE(w->Panel()->Objects().size(), 2);
        QCOMPARE(w->Panel()->size(), QSize(192, 144));
        QCOMPARE(w->Panel()->Shape(), lsEllipse);
    } else {
        QCOMPARE(script.seen.size(), first == QLatin1String("damaged") ? 1 : 0);
        QCOMPARE(w->CurrentFileName(), QString());
        QCOMPARE(w->Panel()->Objects().size(), 0);
        QCOMPARE(w->Panel()->size(), QSize(254, 96));
    }
}

void TestDocument::defaultFontSavedAtOnce()
{
    TQMMainScreen *w = openWindow();
    QFont offered;
    SetFontPicker([&](const QFont &initial, QWidget *, QFontDialog::FontDialogOptions) -> std::optional<QFont> {
        offered = initial;
        QFont f(QStringLiteral("Times New Roman"));
        f.setPointSize(14);
        f.setBold(true);
        return f;
    });
    const QString note = QStringLiteral(
        "Information: Note: the default font is used for NEW objects only.\n"
        "To change the font of an existing object, click it\n"
        "with the RIGHT MOUSE BUTTON and select FONT");
    DialogScript script;
    script.ok();
    item(w, "mnuDefaultFont")->trigger();
    VERIFY_SCRIPT_DONE(script);
    QCOMPARE(script.seen, QStringList{note});
    QCOMPARE(offered.family(), QStringLiteral("Arial"));
    QCOMPARE(offered.pointSize(), 10);

    // Written at once, not only at exit.
    const TIniFile ini(path("QM.INI"));
    QCOMPARE(ini.ReadString("Default Font", "Name", QString()), QStringLiteral("Times New Roman"));
    QCOMPARE(ini.ReadInteger("Default Font", "Size", 0), 14);
    QCOMPARE(ini.ReadString("Default Font", "Bold", QString()), QStringLiteral("1"));
    QCOMPARE(item(w, "mnuDefaultFont")->text(), QStringLiteral("Default Font: Times New Roman, 14 pt , bold"));

    // The font dialog cancelled: nothing changes, the note shows all the same.
    SetFontPicker([](const QFont &, QWidget *, QFontDialog::FontDialogOptions) { return std::optional<QFont>(); });
    script.ok();
    item(w, "mnuDefaultFont")->trigger();
    VERIFY_SCRIPT_DONE(script);
    QCOMPARE(script.seen.size(), 2);

    // A new window starts with it, and new text objects copy it.
    mWindow.reset();
    w = openWindow();
    QCOMPARE(w->Panel()->Font().Name(), QStringLiteral("Times New Roman"));
    QCOMPARE(w->Panel()->Font().Size(), 14);
    QCOMPARE(w->Panel()->Font().Style(), TFontStyles(1u << fsBold));
    QCOMPARE(item(w, "mnuDefaultFont")->text(), QStringLiteral("Default Font: Times New Roman, 14 pt , bold"));
}

void TestDocument::hintsAndPathsRoundTrip()
{
    TQMMainScreen *w = openWindow();
    // First start: both dialogs start in the program's directory.
    QCOMPARE(w->Preferences().FileOpenLastPath, mDir->path() + "/");
    QCOMPARE(w->Preferences().FileSaveLastPath, mDir->path() + "/");
    QVERIFY(w->HintsShown());

    item(w, "mnuShowHints")->trigger();
    QVERIFY(!w->HintsShown());
    QCOMPARE(TIniFile(path("QM.INI")).ReadString("Misc", "Show Hints", QString()), QStringLiteral("0"));

    QVERIFY(QDir(mDir->path()).mkpath("labels/out"));
    drawSample();
    saveAs(QStringLiteral("labels/out/a.qm"));
    DialogScript script;
    script.pick(path("labels/out/a.qm"));
    item(w, "mnuOpen")->trigger();
    VERIFY_SCRIPT_DONE(script);
    w->close();

    mWindow.reset();
    w = openWindow();
    QVERIFY(!w->HintsShown());
    QCOMPARE(w->Preferences().FileOpenLastPath, path("labels/out/"));
    QCOMPARE(w->Preferences().FileSaveLastPath, path("labels/out/"));
    // The dialogs start there.
    script.cancel().cancel();
    item(w, "mnuOpen")->trigger();
    item(w, "mnuSaveAs")->trigger();
    VERIFY_SCRIPT_DONE(script);
    QCOMPARE(script.seen.mid(1),
             (QStringList{"Open Label File in " + path("labels/out") + ", proposing ",
                          "Save As in " + path("labels/out") + ", proposing a.qm"}));
}

void TestDocument::placement_data()
{
    QTest::addColumn<QRect>("stored");  // left, top, right, bottom as a QRect's coordinates
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<QString>("expected");  // "centred", "maximized" or "x,y"

    QTest::newRow("nothing stored: centred") << QRect() << false << "centred";
    QTest::newRow("right of the screen: moved left") << QRect(QPoint(700, 30), QPoint(1300, 430)) << false
                                                      << "right";
    QTest::newRow("left of the screen: Left = 1") << QRect(QPoint(-50, 30), QPoint(550, 430)) << false << "1,30";
    QTest::newRow("maximized") << QRect(QPoint(40, 30), QPoint(640, 430)) << true << "maximized";
}

void TestDocument::placement()
{
    QFETCH(QRect, stored);
    QFETCH(bool, maximized);
    QFETCH(QString, expected);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    if (!stored.isNull()) {
        // Stored as Windows rectangles: Right and Bottom just outside.
        TIniFile ini(path("QM.INI"));
        ini.WriteInteger("TQMMainScreen_Placement", "Left", stored.left());
        ini.WriteInteger("TQMMainScreen_Placement", "Top", stored.top());
        ini.WriteInteger("TQMMainScreen_Placement", "Right", stored.right());
        ini.WriteInteger("TQMMainScreen_Placement", "Bottom", stored.bottom());
        ini.WriteBool("TQMMainScreen_Placement", "Maximized", maximized);
        ini.UpdateFile();
    }
    // The placement is given when the window is created; the platform may
    // still nudge a frame that would stick out once the window is shown.
    mWindow = std::make_unique<TQMMainScreen>();
    TQMMainScreen *w = mWindow.get();
    if (expected == QLatin1String("maximized")) {
        QVERIFY(w->isMaximized());
    } else {
        const QSize size = stored.isNull() ? w->size() : QSize(stored.right() - stored.left(),
                                                               stored.bottom() - stored.top());
        QCOMPARE(w->size(), size);
        QPoint at;
        if (expected == QLatin1String("centred"))
            at = QPoint(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
        else if (expected == QLatin1String("right"))
            at = QPoint(area.x() + area.width() - size.width(), stored.top());
        else
            at = QPoint(expected.section(',', 0, 0).toInt(), expected.section(',', 1, 1).toInt());
        QCOMPARE(w->geometry().topLeft(), at);
    }
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->isMaximized(), maximized);

    // Closing stores the normal rectangle and the maximized state.
    const QRect normal = w->normalGeometry().isValid() ? w->normalGeometry() : w->geometry();
    w->close();
    const TIniFile ini(path("QM.INI"));
    QCOMPARE(ini.ReadBool("TQMMainScreen_Placement", "Maximized", !maximized), maximized);
    if (!maximized) {
        QCOMPARE(ini.ReadInteger("TQMMainScreen_Placement", "Left", -1), normal.x());
        QCOMPARE(ini.ReadInteger("TQMMainScreen_Placement", "Bottom", -1), normal.y() + normal.height());
    }
}

void TestDocument::layoutCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("objects");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("artEnabled");
    QTest::addColumn<bool>("bound");

    const QString cd = QStringLiteral("Change Label Layout    (Avery 5824 CD Label)");
    const QString user = QStringLiteral("Change Label Layout    (User Defined)");
    const QString small = QStringLiteral("Change Label Layout    (Avery 5167 Return Address)");
    const QString old = QStringLiteral("Change Label Layout    (Avery 5160 Address)");
    // The design holds two objects and is bound to a file before each command.
    QTest::newRow("new from template") << "mnuNewFromTemplate" << true << QSize(432, 432) << 0 << cd << true
                                       << false;
    QTest::newRow("new from template, cancelled") << "mnuNewFromTemplate" << false << QSize(254, 96) << 2 << old
                                                  << false << true;
    QTest::newRow("new user defined") << "mnuNewUserDefined" << true << QSize(288, 120) << 0 << user << false
                                      << false;
    QTest::newRow("change from template: objects clamped")
        << "mnuChangeFromTemplate" << true << QSize(96, 19) << 2 << small << false << true;
    QTest::newRow("change from template to art") << "mnuChangeFromTemplate" << true << QSize(432, 432) << 2 << cd
                                                 << true << true;
    QTest::newRow("change to user defined") << "mnuChangeUserDefined" << true << QSize(288, 120) << 2 << user
                                            << false << true;
    QTest::newRow("change to user defined, cancelled")
        << "mnuChangeUserDefined" << false << QSize(254, 96) << 2 << old << false << true;
}

void TestDocument::layoutCommands()
{
    QFETCH(QString, command);
    QFETCH(bool, accept);
    QFETCH(QSize, size);
    QFETCH(int, objects);
    QFETCH(QString, caption);
    QFETCH(bool, artEnabled);
    QFETCH(bool, bound);

    TQMMainScreen *w = openWindow();
    drawSample();
    const QString file = saveAs(QStringLiteral("design.qm"));
    const bool cdChosen = caption.contains(QLatin1String("5824"));

    DialogScript script;
    TLabelLayout offered;
    bool forNew = false;
    bool unitsShown = true;
    script.then([&](QDialog &d) {
        if (auto *chooser = qobject_cast<TSelectTemplate *>(&d)) {
            offered.Name = chooser->CurrentName;
            offered.PrinterType = chooser->CurrentPrinterType;
            offered.ProductType = chooser->CurrentProductType;
            offered.PaperSize = chooser->CurrentPaperSize;
            forNew = chooser->ForNewLabel;
            chooser->ChosenLayout = cdChosen ? cdLayout() : smallLayout();
        } else if (auto *editor = qobject_cast<TUserEditLabelLayout *>(&d)) {
            offered.Name = editor->windowTitle();
            unitsShown = editor->UseMM();
            editor->SetUseMM(true);
            editor->LabelWidth = 3.0f;
            editor->LabelHeight = 1.25f;
            editor->LabelShape = QStringLiteral("SR");
            editor->PaperSize = QStringLiteral("A4");
        }
        return accept ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    item(w, command.toLatin1().constData())->trigger();
    VERIFY_SCRIPT_DONE(script);

    if (command.contains(QLatin1String("Template"))) {
        QCOMPARE(script.seen, QStringList{"TSelectTemplate"});
        QCOMPARE(offered.Name, QStringLiteral("Avery 5160 Address"));
        QCOMPARE(offered.PrinterType, QStringLiteral("LJ"));
        QCOMPARE(offered.ProductType, QStringLiteral("ADDRESS/SHIPPING LABELS"));
        QCOMPARE(offered.PaperSize, QStringLiteral("LTR"));
        QCOMPARE(forNew, command.startsWith(QLatin1String("mnuNew")));
    } else {
        QCOMPARE(script.seen, QStringList{"TUserEditLabelLayout"});
        QCOMPARE(offered.Name, QStringLiteral("User Defined Label Layout"));
        // Inches as stored; millimetres chosen are kept, on Ok and on Cancel.
        QVERIFY(!unitsShown);
        QVERIFY(w->UseMM());
        QVERIFY(TIniFile(path("QM.INI")).ReadBool("User", "UseMM", false));
    }

    QCOMPARE(w->Panel()->size(), size);
    QCOMPARE(w->Panel()->Objects().size(), objects);
    QCOMPARE(w->findChild<QMenu *>("mnuChangeLayout")->title(), caption);
    QToolButton *art = w->findChild<QToolButton *>("Showart");
    QCOMPARE(art->isEnabled(), artEnabled);
    QCOMPARE(art->isChecked(), artEnabled);
    QCOMPARE(w->Panel()->Picture().isNull(), !artEnabled);
    if (artEnabled)
        QCOMPARE(w->Panel()->Picture().size(), size);
    QCOMPARE(w->CurrentFileName(), bound ? file : QString());
    QCOMPARE(w->windowTitle(), bound ? QStringLiteral("Quillmark - design.qm") : QStringLiteral("Quillmark"));
    QCOMPARE(w->ChangesMade(), accept);
    // Objects beyond the new edges are pulled back inside.
    for (TGGraphicControl *o : w->Panel()->Objects()) {
        QVERIFY(o->Left() <= size.width() - 20);
        QVERIFY(o->Top() <= size.height() - 10);
    }
    if (caption.contains(QLatin1String("User"))) {
        const TLabelLayout l = w->CurrentLabelLayout();
        QCOMPARE(l.Name, QStringLiteral("USER DEFINED"));
        QCOMPARE(l.PaperSize, QStringLiteral("A4"));
        QCOMPARE(l.PrinterType, QString());
        QCOMPARE(l.ArtName, QString());
        QCOMPARE(w->Panel()->Shape(), lsRectangle);
    }

    // Art follows the button while the layout has any.
    if (artEnabled) {
        QTest::mouseClick(art, Qt::LeftButton);
        QVERIFY(w->Panel()->Picture().isNull());
        QTest::mouseClick(art, Qt::LeftButton);
        QCOMPARE(w->Panel()->Picture().size(), size);
    }
}

void TestDocument::newAsksBeforeDiscarding()
{
    TQMMainScreen *w = openWindow();
    drawSample();
    QVERIFY(w->ChangesMade());

    // Yes, then the Save As dialog cancelled: the chooser never opens and
    // the design stays.
    DialogScript script;
    script.yes().cancel();
    item(w, "mnuNewFromTemplate")->trigger();
    VERIFY_SCRIPT_DONE(script);
    QCOMPARE(script.seen.value(0), QStringLiteral("Save: Save changes?"));
    QCOMPARE(script.seen.size(), 2);
    QCOMPARE(w->Panel()->Objects().size(), 2);
    QVERIFY(w->ChangesMade());

    // No: discarded, the chooser opens; cancelling it keeps the design.
    script.no().cancel();
    item(w, "mnuNewUserDefined")->trigger();
    VERIFY_SCRIPT_DONE(script);
    QCOMPARE(script.seen.mid(2), (QStringList{"Save: Save changes?", "TUserEditLabelLayout"}));
    QCOMPARE(w->Panel()->Objects().size(), 2);

    // Yes and saved: the new design starts from the chosen layout.
    script.yes().pick(path("kept.qm")).then([](QDialog &d) {
        static_cast<TSelectTemplate &>(d).ChosenLayout = cdLayout();
        return int(QDialog::Accepted);
    });
    item(w, "mnuNewFromTemplate")->trigger();
    VERIFY_SCRIPT_DONE(script);
    QVERIFY(QFileInfo::exists(path("kept.qm")));
    QCOMPARE(w->Panel()->Objects().size(), 0);
    QCOMPARE(w->CurrentFileName(), QString());
    QVERIFY(w->ChangesMade());
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
