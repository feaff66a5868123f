// The picture browsers' shared dialog: the file list against its mask, the
// folder it opens in and the current directory it gives back.

#include "controls/PictureBrowser.h"

#include <QDir>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString ImageMask = QStringLiteral("*.BMP;*.JPG;*.JIF;*.JPEG;*.WMF;*.ICO");
const QString TextureMask = QStringLiteral("*.BMP;*.JPG;*.JIF;*.ICO");

void touch(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("x");
}

// Counts the files handed to the hook, as a browser's preview would.
class CountingBrowser : public TPictureBrowserBase
{
public:
    CountingBrowser(const QString &mask) : TPictureBrowserBase(nullptr, QStringLiteral("Browse"), mask, 1) {}
    QStringList seen;

protected:
    void FileSelected(const QString &path) override { seen.append(QFileInfo(path).fileName()); }
};

}  // namespace

class TestPictureBrowser : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fileList_data();
    void fileList();
    void opensAtAndRestoresDirectory();
};

void TestPictureBrowser::fileList_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("listed");

    const QStringList mixed{"photo.jpg", "PHOTO.JPG", "Art.Bmp", "clip.wmf", "Icon.ICO", "scan.jpeg",
                            "old.JiF", "readme.txt", "noext", "photo.jpg.bak", "bmp", "x.bmpx"};
    QTest::newRow("image mask ignores case")
        << ImageMask << mixed
        << QStringList{"Art.Bmp", "clip.wmf", "Icon.ICO", "old.JiF", "photo.jpg", "PHOTO.JPG", "scan.jpeg"};
    QTest::newRow("texture mask leaves out metafiles and .jpeg")
        << TextureMask << mixed << QStringList{"Art.Bmp", "Icon.ICO", "old.JiF", "photo.jpg", "PHOTO.JPG"};
    QTest::newRow("a pattern with blanks around it") << QStringLiteral(" *.png ; *.GIF") << mixed + QStringList{"a.PNG", "b.gif"}
                                                     << QStringList{"a.PNG", "b.gif"};
    QTest::newRow("nothing matches") << TextureMask << QStringList{"a.txt", "b.doc"} << QStringList{};
}

void TestPictureBrowser::fileList()
{
    QFETCH(QString, mask);
    QFETCH(QStringList, files);
    QFETCH(QStringList, listed);
    QTemporaryDir dir;
    for (const QString &name : files)
        touch(dir.filePath(name));
    QDir(dir.path()).mkdir(QStringLiteral("folder.bmp"));  // folders are never files
    CountingBrowser browser(mask);
    QVERIFY(browser.SetFolder(dir.path()));
    QCOMPARE(browser.FileNames(), listed);
    for (const QString &name : files)
        QCOMPARE(TPictureBrowserBase::MatchesMask(mask, name), listed.contains(name));
}

void TestPictureBrowser::opensAtAndRestoresDirectory()
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    touch(dir.filePath("sub/one.bmp"));
    touch(dir.filePath("sub/Two.JPG"));
    touch(dir.filePath("top.ico"));
    const QString before = QDir::currentPath();
    {
        CountingBrowser browser(ImageMask);
        QCOMPARE(browser.Folder(), QDir::cleanPath(before));
        QSignalSpy selected(&browser, &TPictureBrowserBase::fileSelected);
        QVERIFY(browser.OpenAt(dir.filePath("sub/Two.JPG")));
        QCOMPARE(browser.Folder(), QDir::cleanPath(dir.filePath("sub")));
        QCOMPARE(QDir::currentPath(), browser.Folder());
        QCOMPARE(browser.SelectedFile(), QDir::cleanPath(dir.filePath("sub/Two.JPG")));
        QCOMPARE(browser.seen.last(), QStringLiteral("Two.JPG"));
        QCOMPARE(selected.last().first().toString(), browser.SelectedFile());
        // Selecting by name ignores case when the exact name is not there.
        QVERIFY(browser.SelectFile(QStringLiteral("ONE.bmp")));
        QCOMPARE(browser.seen.last(), QStringLiteral("one.bmp"));
        // A folder that does not exist changes nothing.
        QVERIFY(!browser.OpenAt(dir.filePath("missing")));
        QCOMPARE(browser.Folder(), QDir::cleanPath(dir.filePath("sub")));
        QVERIFY(browser.OpenAt(dir.path()));
        QCOMPARE(browser.FileNames(), QStringList{"top.ico"});
        QVERIFY(browser.SelectedFile().isEmpty());
        QVERIFY(browser.seen.last().isEmpty());
    }
    QCOMPARE(QDir::currentPath(), before);
}

QTEST_MAIN(TestPictureBrowser)
#include "tst_picturebrowser.moc"
