#include "TestFiles.h"

#include "shell/IniFile.h"
#include "shell/MRUList.h"

#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The menu as captions, "-" for a separator, a submenu's items after "name>".
QStringList captions(const QMenu *menu)
{
    QStringList result;
    for (const QAction *action : menu->actions()) {
        if (action->isSeparator()) {
            result << QStringLiteral("-");
        } else if (action->menu()) {
            result << action->text() + QLatin1Char('>');
            result += captions(action->menu());
        } else {
            result << action->text();
        }
    }
    return result;
}

// A File menu like the main window's, ending with "E&xit".
void fillFileMenu(QMenu &menu)
{
    menu.addAction(QStringLiteral("&Open"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("E&xit"));
}

const QStringList kFileMenu{"&Open", "-", "E&xit"};

} // namespace

class TestMRUList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addFile_data()
    {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("newest first") << QStringList{"/a.qm", "/b.qm"} << QStringList{"/b.qm", "/a.qm"};
        QTest::newRow("sixth file drops the oldest")
            << QStringList{"/1.qm", "/2.qm", "/3.qm", "/4.qm", "/5.qm", "/6.qm"}
            << QStringList{"/6.qm", "/5.qm", "/4.qm", "/3.qm", "/2.qm"};
        QTest::newRow("listed file moves to the top")
            << QStringList{"/1.qm", "/2.qm", "/3.qm", "/1.qm"} << QStringList{"/1.qm", "/3.qm", "/2.qm"};
        QTest::newRow("differs only in case: moved, spelled as opened")
            << QStringList{"/L/One.qm", "/two.qm", "/l/ONE.QM"} << QStringList{"/l/ONE.QM", "/two.qm"};
        QTest::newRow("re-adding a file does not push out the oldest")
            << QStringList{"/1.qm", "/2.qm", "/3.qm", "/4.qm", "/5.qm", "/3.qm"}
            << QStringList{"/3.qm", "/5.qm", "/4.qm", "/2.qm", "/1.qm"};
        QTest::newRow("empty path ignored") << QStringList{"/a.qm", ""} << QStringList{"/a.qm"};
    }

    void addFile()
    {
        QFETCH(QStringList, added);
        QFETCH(QStringList, entries);
        QMenu menu;
        TMRUFileList list;
        list.AutoSave = false;
        list.SetFileMenu(&menu);
        for (const QString &path : added)
            list.AddFile(path);
        QCOMPARE(list.Entries(), entries);
        QCOMPARE(menu.actions().size(), entries.size() + 1);
    }

    void menu_data()
    {
        QTest::addColumn<QStringList>("entries");   // added oldest first
        QTest::addColumn<bool>("submenu");
        QTest::addColumn<QStringList>("items");     // appended after the File menu's own items

        QTest::newRow("empty: no separator") << QStringList() << false << QStringList();
        QTest::newRow("numbered with access keys")
            << QStringList{"/home/u/old.qm", "/home/u/new.qm"} << false
            << QStringList{"-", "&1 /home/u/new.qm", "&2 /home/u/old.qm"};
        QTest::newRow("ampersand in a path is not an access key")
            << QStringList{"/home/u/Tom & Jerry.qm"} << false << QStringList{"-", "&1 /home/u/Tom && Jerry.qm"};
        QTest::newRow("submenu") << QStringList{"/b.qm", "/a.qm"} << true
                                 << QStringList{"-", "Reopen>", "&1 /a.qm", "&2 /b.qm"};
    }

    void menu()
    {
        QFETCH(QStringList, entries);
        QFETCH(bool, submenu);
        QFETCH(QStringList, items);
        QMenu menu;
        fillFileMenu(menu);
        TMRUFileList list;
        list.AutoSave = false;
        list.SetUseSubmenu(submenu);
        list.SetFileMenu(&menu);
        for (const QString &path : entries)
            list.AddFile(path);
        QCOMPARE(captions(&menu), kFileMenu + items);

        // Each rebuild removes only the items it made, also when someone
        // else added an item after them.
        menu.addAction(QStringLiteral("Added later"));
        list.AddFile(QStringLiteral("/z.qm"));
        list.AddFile(QStringLiteral("/z.qm"));
        const QStringList after = captions(&menu);
        QCOMPARE(after.mid(0, 4), kFileMenu + QStringList{"Added later"});
        QCOMPARE(after.count(QStringLiteral("-")), 2);
        QCOMPARE(after.last(), QStringLiteral("&%1 %2").arg(entries.size() + 1)
                                   .arg(entries.isEmpty() ? QStringLiteral("/z.qm") : QString(entries.first()).replace("&", "&&")));

        list.SetFileMenu(nullptr);
        QCOMPARE(captions(&menu), kFileMenu + QStringList{"Added later"});
    }

    void click_data()
    {
        QTest::addColumn<bool>("removeOnClick");
        QTest::addColumn<int>("clicked");   // 1-based
        QTest::addColumn<QStringList>("entriesAfter");
        const QStringList all{"/c.qm", "/b.qm", "/a.qm"};
        QTest::newRow("removed, then reported") << true << 2 << QStringList{"/c.qm", "/a.qm"};
        QTest::newRow("last one removed") << true << 3 << QStringList{"/c.qm", "/b.qm"};
        QTest::newRow("kept") << false << 1 << all;
    }

    void click()
    {
        QFETCH(bool, removeOnClick);
        QFETCH(int, clicked);
        QFETCH(QStringList, entriesAfter);
        QMenu menu;
        fillFileMenu(menu);
        TMRUFileList list;
        list.AutoSave = false;
        list.RemoveOnClick = removeOnClick;
        list.SetFileMenu(&menu);
        for (const char *path : {"/a.qm", "/b.qm", "/c.qm"})
            list.AddFile(QString::fromLatin1(path));

        QStringList reported;
        QStringList entriesWhenReported;
        list.OnMRUItemClick = [&](TMRUMenuItem *item, const QString &fileName) {
            reported << QStringLiteral("%1:%2").arg(item->EntryNumber()).arg(fileName);
            entriesWhenReported = list.Entries();
        };
        auto *item = qobject_cast<TMRUMenuItem *>(menu.actions().at(kFileMenu.size() + clicked));
        QVERIFY(item);
        const QString fileName = QStringList{"/c.qm", "/b.qm", "/a.qm"}.at(clicked - 1);
        item->trigger();
        QCOMPARE(reported, QStringList{QStringLiteral("%1:%2").arg(clicked).arg(fileName)});
        QCOMPARE(entriesWhenReported, entriesAfter);
        QCOMPARE(menu.actions().size(), kFileMenu.size() + 1 + entriesAfter.size());
        // The clicked item is deleted only once control is back in the event loop.
        QPointer<TMRUMenuItem> guard(item);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(guard.isNull(), removeOnClick);
    }

    void storage()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("QM.INI"));
        writeFile(file, "[Misc]\nShow Hints=0\n\n[mru]\nF0=/home/u/a=b.qm\nF2=/two.qm\nF1=\n"
                        "F5=C:\\Labels\\Old.qm\nF7=/HOME/U/A=B.QM\nF3=/3.qm\nF4=/4.qm\nF6=/6.qm\n\n"
                        "[Paths]\nFileOpenLastPath=/x/\n");
        QMenu menu;
        TMRUFileList list;
        list.AutoSave = false;
        QVERIFY(!list.LoadFromStorage());
        list.AutoSaveName = dir.filePath(QStringLiteral("qm.ini"));
        list.AutoSaveKey = QStringLiteral("MRU");
        list.SetFileMenu(&menu);
        QVERIFY(list.LoadFromStorage());
        QCOMPARE(list.Entries(), (QStringList{"/home/u/a=b.qm", "/two.qm", "C:\\Labels\\Old.qm", "/3.qm", "/4.qm"}));
        QCOMPARE(menu.actions().size(), 6);

        list.AddFile(QStringLiteral("/new.qm"));
        QVERIFY(list.SaveToStorage());
        QCOMPARE(readFile(file),
                 crlf("[Misc]\nShow Hints=0\n\n[mru]\nF0=/new.qm\nF1=/home/u/a=b.qm\nF2=/two.qm\n"
                      "F3=C:\\Labels\\Old.qm\nF4=/3.qm\n\n[Paths]\nFileOpenLastPath=/x/\n"));

        TMRUFileList reloaded;
        reloaded.AutoSave = false;
        reloaded.AutoSaveName = file;
        reloaded.AutoSaveKey = QStringLiteral("MRU");
        QVERIFY(reloaded.LoadFromStorage());
        QCOMPARE(reloaded.Entries(), list.Entries());
    }

    void autoSaveOnDestruction()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("QM.INI"));
        {
            TMRUFileList list;
            list.AutoSaveName = file;
            list.AutoSaveKey = QStringLiteral("MRU");
            list.AddFile(QStringLiteral("/a.qm"));
        }
        QCOMPARE(readFile(file), crlf("[MRU]\nF0=/a.qm\n"));
        {
            TMRUFileList list;
            list.AutoSave = false;
            list.AutoSaveName = file;
            list.AutoSaveKey = QStringLiteral("MRU");
            list.AddFile(QStringLiteral("/b.qm"));
        }
        QCOMPARE(readFile(file), crlf("[MRU]\nF0=/a.qm\n"));
    }
};

std::unique_ptr<QObject> makeMRUListTest()
{
    return std::make_unique<TestMRUList>();
}

#include "tst_MRUList.moc"
