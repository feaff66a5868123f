// The design panel's object clipboard and the objects' Clone command,
// driven through keys and menus of a real panel.

#include "DesignFixture.h"

#include "../graphics/MetafileFiles.h"

#include "controls/DialogSupport.h"
#include "objects/graphic/Gimage.h"
#include "storage/AppPaths.h"
#include "storage/Filer.h"
#include "storage/Stream.h"

#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>

#include <memory>

namespace {

// Stands in for the main window as the owner that names pasted objects.
class TOwner : public TComponent
{
public:
    QByteArray ClassName() const override { return "TOwner"; }
    const TPropertyTable &Properties() const override
    {
        static const TPropertyTable table(nullptr, {});
        return table;
    }
};

QAction *menuItem(const QMenu *menu, const QString &caption)
{
    for (QAction *a : menu->actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}

QList<QRect> geometries(const QList<TGGraphicControl *> &objects)
{
    QList<QRect> list;
    for (const TGGraphicControl *o : objects)
        list << o->geometry();
    return list;
}

// The objects of the clipboard file as stored (read without the paste offset).
QList<QRect> clipboardContents(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QWidget scratch;
    TGLabelObjectFiler filer;
    QList<QRect> list;
    for (TComponent *c : filer.ReadObjectBytes(nullptr, &scratch, file.readAll()))
        list << dynamic_cast<TGGraphicControl *>(c)->geometry();
    return list;
}

QByteArray objectFile(const QList<QRect> &rects, const QByteArray &className = "TGLabelShapes")
{
    PropertyWriter w;
    w.writeListBegin();
    for (const QRect &r : rects) {
        w.writeSignature();
        w.writeShortName(className);
        w.writeShortName("Shape1");
        for (const auto &[name, value] : {std::pair("Left", r.x()), std::pair("Top", r.y()),
                                          std::pair("Width", r.width()), std::pair("Height", r.height())}) {
            w.writePropName(name);
            w.writeInteger(value);
        }
        w.writeListEnd();
        w.writeListEnd();
    }
    w.writeListEnd();
    return w.takeData();
}

}  // namespace

class ClipboardTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void copyThenPaste_data();
    void copyThenPaste();
    void pasteOncePerSecond();
    void cutRemovesAndPasteRestores();
    void panelMenuStates_data();
    void panelMenuStates();
    void objectMenuActsOnSelectionOrObject_data();
    void objectMenuActsOnSelectionOrObject();
    void clone_data();
    void clone();
    void damagedClipboard_data();
    void damagedClipboard();
    void unwritableClipboard();
    void panelRemovesOnlyItsOwnClipboard_data();
    void panelRemovesOnlyItsOwnClipboard();
    void pictureCopiedAndPasted_data();
    void pictureCopiedAndPasted();

private:
    QString clipboard() const { return QDir(mDir.path()).filePath(QStringLiteral("Clipbrd.tmp")); }
    void writeClipboard(const QByteArray &bytes)
    {
        QFile f(clipboard());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir mDir;
    QStringList mMessages;
};

void ClipboardTest::initTestCase()
{
    QVERIFY(mDir.isValid());
    AppPaths::SetProgramDirOverride(mDir.path());
    // Message boxes are recorded instead of shown.
    SetDialogRunner([this](QDialog &dialog) {
        if (auto *box = qobject_cast<QMessageBox *>(&dialog))
            mMessages << box->windowTitle() + QLatin1Char('|') + box->text();
        return int(QMessageBox::Ok);
    });
}

void ClipboardTest::init()
{
    mMessages.clear();
    QFile::remove(clipboard());
}

void ClipboardTest::cleanup()
{
    QFile::remove(clipboard());
}

void ClipboardTest::copyThenPaste_data()
{
    QTest::addColumn<QList<QRect>>("objects");  // placed at zoom 1.0, selected in this order
    QTest::addColumn<float>("copyZoom");
    QTest::addColumn<float>("pasteZoom");
    QTest::addColumn<QList<QRect>>("pasted");   // in the order of the selection

    const QRect a(10, 20, 40, 30), b(100, 60, 50, 20);
    QTest::newRow("one object") << QList<QRect>{a} << 1.0f << 1.0f << QList<QRect>{QRect(25, 35, 40, 30)};
    QTest::newRow("selection order, not paint order")
        << QList<QRect>{b, a} << 1.0f << 1.0f << QList<QRect>{QRect(115, 75, 50, 20), QRect(25, 35, 40, 30)};
    // The clipboard keeps zoom 1.0 geometry: the size on the label survives a zoom change.
    QTest::newRow("copied and pasted at 200%") << QList<QRect>{a} << 2.0f << 2.0f
                                               << QList<QRect>{QRect(50, 70, 80, 60)};
    QTest::newRow("copied at 200%, pasted at 100%") << QList<QRect>{a} << 2.0f << 1.0f
                                                    << QList<QRect>{QRect(25, 35, 40, 30)};
    QTest::newRow("copied at 100%, pasted at 200%") << QList<QRect>{a} << 1.0f << 2.0f
                                                    << QList<QRect>{QRect(50, 70, 80, 60)};
}

void ClipboardTest::copyThenPaste()
{
    QFETCH(QList<QRect>, objects);
    QFETCH(float, copyZoom);
    QFETCH(float, pasteZoom);
    QFETCH(QList<QRect>, pasted);

    TOwner owner;
    DesignFixture f;
    f.panel->SetObjectOwner(&owner);
    QCOMPARE(f.panel->ClipboardFileName(), clipboard());
    // Paint order is the reverse of the selection order.
    QList<TGGraphicControl *> placed;
    for (auto it = objects.crbegin(); it != objects.crend(); ++it)
        placed.prepend(f.addShape(*it));
    f.panel->SetZoom(copyZoom);
    for (TGGraphicControl *o : placed)
        f.frame()->AddToSelection(o);
    const QList<QRect> before = geometries(f.panel->Objects());

    QTest::keyClick(f.frame(), Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QFile::exists(clipboard()));
    QCOMPARE(geometries(f.panel->Objects()), before);  // copying leaves the objects alone
    f.panel->SetZoom(pasteZoom);
    f.changes = 0;
    QTest::keyClick(f.panel, Qt::Key_V, Qt::ControlModifier);

    const QList<TGGraphicControl *> all = f.panel->Objects();
    QCOMPARE(all.size(), objects.size() * 2);
    const QList<TGGraphicControl *> added = all.mid(objects.size());
    QCOMPARE(geometries(added), pasted);
    for (TGGraphicControl *o : added) {
        QCOMPARE(o->Scale(), pasteZoom);
        QVERIFY(o->Name().startsWith(QLatin1String("Component")));
        QVERIFY(o->OnMouseDown);  // the panel's handlers are attached
    }
    QVERIFY(f.changes > 0);
    QVERIFY(f.panel->LastPasteTime() != 0);
}

void ClipboardTest::pasteOncePerSecond()
{
    DesignFixture f;
    f.frame()->AddToSelection(f.addShape(QRect(10, 10, 30, 30)));
    f.panel->CopySelection();

    struct Step { int advanceMs; int objectsAfter; };
    // The clock starts far from 0; the first paste always goes through.
    const Step steps[] = {{0, 2}, {999, 2}, {1, 3}, {400, 3}, {700, 4}};
    for (const Step &s : steps) {
        f.advance(s.advanceMs);
        QTest::keyClick(f.panel, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(int(f.panel->Objects().size()), s.objectsAfter);
    }
    // Every paste lands 15 pixels from the stored position, not from the previous paste.
    for (TGGraphicControl *o : f.panel->Objects().mid(1))
        QCOMPARE(o->geometry(), QRect(25, 25, 30, 30));
}

void ClipboardTest::cutRemovesAndPasteRestores()
{
    DesignFixture f;
    TGGraphicControl *keep = f.addShape(QRect(200, 10, 20, 20));
    f.frame()->AddToSelection(f.addShape(QRect(10, 10, 30, 30)));
    f.frame()->AddToSelection(f.addShape(QRect(60, 40, 30, 20)));
    f.changes = 0;

    QTest::keyClick(f.frame(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(f.panel->Objects(), QList<TGGraphicControl *>{keep});
    QCOMPARE(f.frame()->SelectedCount(), 0);
    QVERIFY(f.changes > 0);
    QCOMPARE(clipboardContents(clipboard()), (QList<QRect>{QRect(10, 10, 30, 30), QRect(60, 40, 30, 20)}));

    // An empty selection leaves the clipboard as it was.
    QTest::keyClick(f.panel, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(f.panel, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboardContents(clipboard()).size(), 2);

    QTest::keyClick(f.panel, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(geometries(f.panel->Objects()),
             (QList<QRect>{QRect(200, 10, 20, 20), QRect(25, 25, 30, 30), QRect(75, 55, 30, 20)}));
}

void ClipboardTest::panelMenuStates_data()
{
    QTest::addColumn<bool>("clipboardExists");
    QTest::addColumn<bool>("selected");
    QTest::newRow("nothing") << false << false;
    QTest::newRow("clipboard only") << true << false;
    QTest::newRow("selection only") << false << true;
    QTest::newRow("both") << true << true;
}

void ClipboardTest::panelMenuStates()
{
    QFETCH(bool, clipboardExists);
    QFETCH(bool, selected);
    DesignFixture f;
    TGGraphicControl *o = f.addShape(QRect(10, 10, 30, 30));
    if (clipboardExists)
        writeClipboard(objectFile({QRect(1, 2, 3, 4)}));
    if (selected)
        f.frame()->AddToSelection(o);
    QMenu *menu = f.panel->PanelMenu();
    Q_EMIT menu->aboutToShow();
    QCOMPARE(menuItem(menu, QStringLiteral("Cut"))->isEnabled(), selected);
    QCOMPARE(menuItem(menu, QStringLiteral("Copy"))->isEnabled(), selected);
    QCOMPARE(menuItem(menu, QStringLiteral("Paste"))->isEnabled(), clipboardExists);

    // The items do what the keys do.
    if (selected) {
        menuItem(menu, QStringLiteral("Copy"))->trigger();
        QCOMPARE(clipboardContents(clipboard()), QList<QRect>{QRect(10, 10, 30, 30)});
    }
    if (clipboardExists || selected) {
        Q_EMIT menu->aboutToShow();
        menuItem(menu, QStringLiteral("Paste"))->trigger();
        QCOMPARE(f.panel->Objects().size(), 2);
    }
}

void ClipboardTest::objectMenuActsOnSelectionOrObject_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("targetSelected");
    QTest::addColumn<QList<QRect>>("clipboard");
    QTest::addColumn<QList<QRect>>("remaining");

    const QRect a(10, 10, 30, 30), b(60, 10, 30, 30), target(120, 50, 40, 20);
    QTest::newRow("copy unselected: only it") << "Copy" << false << QList<QRect>{target}
                                             << QList<QRect>{a, b, target};
    QTest::newRow("copy selected: whole selection") << "Copy" << true << QList<QRect>{a, target}
                                                   << QList<QRect>{a, b, target};
    QTest::newRow("cut unselected: only it") << "Cut" << false << QList<QRect>{target}
                                            << QList<QRect>{a, b};
    QTest::newRow("cut selected: whole selection") << "Cut" << true << QList<QRect>{a, target}
                                                  << QList<QRect>{b};
}

void ClipboardTest::objectMenuActsOnSelectionOrObject()
{
    QFETCH(QString, command);
    QFETCH(bool, targetSelected);
    QFETCH(QList<QRect>, clipboard);
    QFETCH(QList<QRect>, remaining);

    DesignFixture f;
    TGGraphicControl *a = f.addShape(QRect(10, 10, 30, 30));
    f.addShape(QRect(60, 10, 30, 30));
    TGGraphicControl *target = f.addShape(QRect(120, 50, 40, 20));
    f.frame()->AddToSelection(a);
    if (targetSelected)
        f.frame()->AddToSelection(target);

    QAction *item = menuItem(target->ObjectMenu(), command);
    QVERIFY(item);
    QVERIFY(item->isEnabled());
    item->trigger();
    QCoreApplication::processEvents();  // cut deletes once the menu is done
    QCOMPARE(clipboardContents(this->clipboard()), clipboard);
    QCOMPARE(geometries(f.panel->Objects()), remaining);
}

void ClipboardTest::clone_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<float>("zoom");
    QTest::newRow("selected") << true << 1.0f;
    QTest::newRow("unselected") << false << 1.0f;
    QTest::newRow("selected at 150%") << true << 1.5f;
}

void ClipboardTest::clone()
{
    QFETCH(bool, selected);
    QFETCH(float, zoom);

    TOwner owner;
    DesignFixture f;
    f.panel->SetObjectOwner(&owner);
    f.panel->resize(338, 210);
    f.panel->SetZoom(zoom);
    // Created with the owner, as every label object of the main window is.
    auto *o = dynamic_cast<TGGraphicControl *>(TClassRegistry::instance().Create("TGLabelShapes", &owner));
    o->FinishLoading();
    o->SetParentComponent(f.panel);
    o->SetBounds(30, 200, 40, 20);
    f.panel->AttachObject(o);
    TGGraphicControl *other = f.addShape(QRect(0, 0, 100, 100));  // above the original
    if (selected)
        f.frame()->AddToSelection(o);
    f.changes = 0;

    QAction *item = menuItem(o->ObjectMenu(), QStringLiteral("Clone"));
    QVERIFY(item && item->isEnabled());
    item->trigger();

    const QList<TGGraphicControl *> objects = f.panel->Objects();
    QCOMPARE(objects.size(), 3);
    TGGraphicControl *clone = objects.last();  // brought to the front
    QVERIFY(clone != o && clone != other);
    QCOMPARE(clone->ClassName(), o->ClassName());
    QCOMPARE(clone->Owner(), &owner);
    QVERIFY(clone->Name() != o->Name());
    // Outside the 210-pixel label; it stays there until moved.
    QCOMPARE(clone->geometry(), QRect(30, 225, 40, 20));
    QCOMPARE(o->geometry(), QRect(30, 200, 40, 20));
    QCOMPARE(clone->Scale(), zoom);
    QCOMPARE(f.frame()->SelectedObjects(),
             selected ? QList<TGGraphicControl *>{clone} : QList<TGGraphicControl *>{});
    QVERIFY(f.changes > 0);
}

void ClipboardTest::damagedClipboard_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    const QByteArray two = objectFile({QRect(1, 2, 30, 30), QRect(50, 60, 30, 30)});
    QTest::newRow("not an object file") << QByteArray("hello, world") << "Invalid property value";
    QTest::newRow("bad signature") << QByteArray("\x01TPF1", 5) << "Invalid stream format";
    // The first object is complete when the damage is found.
    QTest::newRow("cut short in the second object") << two.left(two.size() - 12) << "Stream read error";
    QTest::newRow("unknown class") << objectFile({QRect(1, 2, 3, 4)}, "TNoSuchThing")
                                   << "Class TNoSuchThing not found";
    QTest::newRow("list end missing") << two.left(two.size() - 1) << "Stream read error";
}

void ClipboardTest::damagedClipboard()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);

    TOwner owner;
    DesignFixture f;
    f.panel->SetObjectOwner(&owner);
    TGGraphicControl *a = f.addShape(QRect(10, 10, 30, 30));
    f.frame()->AddToSelection(a);
    writeClipboard(bytes);
    f.changes = 0;

    QTest::keyClick(f.panel, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(mMessages, QStringList{QStringLiteral("Information|") + message});
    QCOMPARE(f.panel->Objects(), QList<TGGraphicControl *>{a});
    QCOMPARE(f.frame()->SelectedObjects(), QList<TGGraphicControl *>{a});
    QVERIFY(owner.Components().empty());
    QCOMPARE(f.changes, 0);
}

void ClipboardTest::unwritableClipboard()
{
    DesignFixture f;
    TGGraphicControl *a = f.addShape(QRect(10, 10, 30, 30));
    f.frame()->AddToSelection(a);
    // A directory where the file should be: nothing can replace it.
    QVERIFY(QDir(mDir.path()).mkdir(QStringLiteral("Clipbrd.tmp")));

    QTest::keyClick(f.frame(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(mMessages.size(), 1);
    QVERIFY(mMessages.first().startsWith(QLatin1String("Information|Cannot write ")));
    // What could not be put on the clipboard is not deleted.
    QCOMPARE(f.panel->Objects(), QList<TGGraphicControl *>{a});
    menuItem(a->ObjectMenu(), QStringLiteral("Copy"))->trigger();
    QCOMPARE(mMessages.size(), 2);
    QVERIFY(QDir(mDir.path()).rmdir(QStringLiteral("Clipbrd.tmp")));
}

void ClipboardTest::panelRemovesOnlyItsOwnClipboard_data()
{
    QTest::addColumn<bool>("copied");
    QTest::newRow("written by this panel") << true;
    QTest::newRow("left by another panel") << false;
}

void ClipboardTest::panelRemovesOnlyItsOwnClipboard()
{
    QFETCH(bool, copied);
    writeClipboard(objectFile({QRect(1, 2, 30, 30)}));
    {
        // A second panel, as the print window has, pastes but never copies.
        DesignFixture f;
        f.panel->Paste();
        QCOMPARE(f.panel->Objects().size(), 1);
        if (copied)
            QVERIFY(f.panel->CopyObject(f.panel->Objects().first()));
    }
    QCOMPARE(QFile::exists(clipboard()), !copied);
}

void ClipboardTest::pictureCopiedAndPasted_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file");
    QImage image(33, 17, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 90));
    image.setPixel(3, 4, qRgb(255, 0, 0));
    QTest::newRow("bitmap") << "p.bmp" << graphics::EncodeBmp(image);
    picturefiles::WmfWriter wmf;
    wmf.window(1000).solidBrush(0x0000FF).rec(0x041B, {800, 700, 100, 200});
    QTest::newRow("metafile") << "p.wmf" << wmf.file();
    picturefiles::EmfWriter emf;
    emf.stretchDib(image, 0, 0, 500, 500);
    QTest::newRow("enhanced metafile with a bitmap") << "p.emf" << emf.file();
}

// The clipboard file carries the picture itself: the pasted object holds the
// same bytes, and the picture file is no longer needed.
void ClipboardTest::pictureCopiedAndPasted()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    const QString path = QDir(mDir.path()).filePath(name);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    TOwner owner;
    DesignFixture f;
    f.panel->SetObjectOwner(&owner);
    auto *image = dynamic_cast<TGImage *>(f.addShape(QRect(10, 10, 60, 40), "TGImage"));
    QVERIFY(image->TakePictureFile(path, true, false));
    const QByteArray picture = image->Picture()->SaveData();
    QVERIFY(picture.contains(name.endsWith(QLatin1String(".bmp")) ? file : file.right(file.size() / 2)));
    QFile::remove(path);
    f.frame()->AddToSelection(image);
    QTest::keyClick(f.frame(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(f.panel, Qt::Key_V, Qt::ControlModifier);
    const QList<TGGraphicControl *> all = f.panel->Objects();
    QCOMPARE(all.size(), 2);
    auto *pasted = dynamic_cast<TGImage *>(all.last());
    QVERIFY(pasted && pasted != image);
    QCOMPARE(pasted->Picture()->SaveData(), picture);
    QCOMPARE(pasted->size(), image->size());
    QVERIFY(mMessages.isEmpty());
}

QTEST_MAIN(ClipboardTest)
#include "tst_clipboard.moc"
