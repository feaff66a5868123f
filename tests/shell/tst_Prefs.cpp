#include "TestFiles.h"

#include "storage/AppPaths.h"
#include "shell/IniFile.h"
#include "shell/Prefs.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

#include <unistd.h>

namespace {

// Every field as "Name=value", in declaration order.
QStringList describe(const TPreferences &p)
{
    auto b = [](bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); };
    return {
        QStringLiteral("TopMarginNudge=%1").arg(p.TopMarginNudge),
        QStringLiteral("LeftMarginNudge=%1").arg(p.LeftMarginNudge),
        QStringLiteral("VerticalSpacing=%1").arg(p.VerticalSpacing),
        QStringLiteral("HorizontalSpacing=%1").arg(p.HorizontalSpacing),
        QStringLiteral("UseMM=") + b(p.UseMM),
        QStringLiteral("FileOpenLastPath=") + p.FileOpenLastPath,
        QStringLiteral("FileSaveLastPath=") + p.FileSaveLastPath,
        QStringLiteral("FontName=") + p.FontName,
        QStringLiteral("FontSize=%1").arg(p.FontSize),
        QStringLiteral("FontBold=") + b(p.FontBold),
        QStringLiteral("FontItalic=") + b(p.FontItalic),
        QStringLiteral("FontUnderline=") + b(p.FontUnderline),
        QStringLiteral("ShowHints=") + b(p.ShowHints),
    };
}

// describe() of a first start with the given fields changed.
QStringList expectFields(const QString &programDir, const QStringList &changes)
{
    TPreferences defaults;
    defaults.FileOpenLastPath = programDir;
    defaults.FileSaveLastPath = programDir;
    QStringList fields = describe(defaults);
    for (const QString &change : changes) {
        const QString name = change.section(QLatin1Char('='), 0, 0);
        for (QString &field : fields) {
            if (field.section(QLatin1Char('='), 0, 0) == name)
                field = change;
        }
    }
    return fields;
}

} // namespace

class TestPrefs : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> mTemp;
    QString mDir;   // with a trailing "/"

private Q_SLOTS:
    void init()
    {
        mTemp = std::make_unique<QTemporaryDir>();
        mDir = mTemp->path() + QLatin1Char('/');
        AppPaths::SetProgramDirOverride(mTemp->path());
    }

    void cleanup()
    {
        AppPaths::SetProgramDirOverride(QString());
    }

    void programFiles()
    {
        QCOMPARE(AppPaths::ProgramDir(), mDir);
        QCOMPARE(PreferencesFileName(), mDir + QStringLiteral("QM.INI"));
        writeFile(mDir + QStringLiteral("Qm.ini"), "");
        QCOMPARE(PreferencesFileName(), mDir + QStringLiteral("Qm.ini"));
        // Read-only data: the override folder first, with the name matched without case.
        writeFile(mDir + QStringLiteral("qmtpl.DAT"), "x");
        QCOMPARE(AppPaths::DataFilePath(QStringLiteral("QMTPL.dat")), mDir + QStringLiteral("qmtpl.DAT"));
        QCOMPARE(AppPaths::DataFilePath(QStringLiteral("NoSuch.dat")),
                 AppPaths::ExecutableDir() + QStringLiteral("NoSuch.dat"));

        // Without an override: beside the executable when that folder is
        // writable, else the per-user configuration folder.
        AppPaths::SetProgramDirOverride(QString());
        QTemporaryDir config;
        const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const bool exeWritable = ::access(QFile::encodeName(AppPaths::ExecutableDir()).constData(), W_OK) == 0;
        const QString programDir = AppPaths::ProgramDir();
        qputenv("XDG_CONFIG_HOME", savedConfig);
        QCOMPARE(programDir, exeWritable ? AppPaths::ExecutableDir() : config.path() + QStringLiteral("/quillmark/"));
        QVERIFY(QFileInfo(programDir).isDir());
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("changes");

        QTest::newRow("first start") << QByteArray("<none>") << QStringList();
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("all keys")
            << QByteArray("[Printer]\nTopMarginNudge=-2\nLeftMarginNudge=3\nVerticalSpacing=8\n"
                          "HorizontalSpacing=-8\n[User]\nUseMM=1\n[Paths]\n"
                          "FileOpenLastPath=C:\\Labels\\\nFileSaveLastPath=/home/u/my labels/\n"
                          "[Default Font]\nName=Times New Roman\nSize=14\nBold=1\nItalic=1\n"
                          "Underline=1\n[Misc]\nShow Hints=0\n")
            << QStringList{"TopMarginNudge=-2", "LeftMarginNudge=3", "VerticalSpacing=8",
                           "HorizontalSpacing=-8", "UseMM=1", "FileOpenLastPath=C:\\Labels\\",
                           "FileSaveLastPath=/home/u/my labels/", "FontName=Times New Roman",
                           "FontSize=14", "FontBold=1", "FontItalic=1", "FontUnderline=1",
                           "ShowHints=0"};
        QTest::newRow("names without case")
            << QByteArray("[default font]\nNAME=Courier New\n[MISC]\nshow hints=0\n")
            << QStringList{"FontName=Courier New", "ShowHints=0"};
        QTest::newRow("any non-zero number is true")
            << QByteArray("[User]\nUseMM=-1\n[Default Font]\nBold=7\n")
            << QStringList{"UseMM=1", "FontBold=1"};
        QTest::newRow("unusable values give defaults")
            << QByteArray("[Printer]\nTopMarginNudge=9\nLeftMarginNudge=-9\nVerticalSpacing=x\n"
                          "[Default Font]\nName=\nSize=0\nBold=yes\n[Misc]\nShow Hints=off\n"
                          "[Paths]\nFileOpenLastPath=\n")
            << QStringList();
        QTest::newRow("absurd font size") << QByteArray("[Default Font]\nSize=100000\n") << QStringList();
    }

    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, changes);
        if (file != "<none>")
            writeFile(mDir + QStringLiteral("qm.ini"), file);
        TPreferences prefs;
        prefs.LoadPreferences(TIniFile(PreferencesFileName()));
        QCOMPARE(describe(prefs), expectFields(mDir, changes));
    }

    void saveWritesEveryKey()
    {
        const QByteArray before = "; my notes\n[MRU]\nF0=/a.qm\n\n[TQMMainScreen_Placement]\nLeft=5\n";
        writeFile(mDir + QStringLiteral("QM.INI"), before);
        TPreferences prefs;
        prefs.TopMarginNudge = -2;
        prefs.LeftMarginNudge = 3;
        prefs.VerticalSpacing = 8;
        prefs.HorizontalSpacing = -8;
        prefs.UseMM = true;
        prefs.FileOpenLastPath = QStringLiteral("C:\\Labels\\");
        prefs.FileSaveLastPath = QStringLiteral("/home/u/my labels/");
        prefs.FontName = QStringLiteral("Times New Roman");
        prefs.FontSize = 14;
        prefs.FontBold = true;
        prefs.ShowHints = false;
        TIniFile ini(PreferencesFileName());
        prefs.SavePreferences(ini);
        ini.UpdateFile();

        QCOMPARE(readFile(mDir + QStringLiteral("QM.INI")),
                 crlf(before + "\n[Printer]\nTopMarginNudge=-2\nLeftMarginNudge=3\nVerticalSpacing=8\n"
                               "HorizontalSpacing=-8\n\n[User]\nUseMM=1\n\n[Paths]\n"
                               "FileOpenLastPath=C:\\Labels\\\nFileSaveLastPath=/home/u/my labels/\n\n"
                               "[Default Font]\nName=Times New Roman\nSize=14\nBold=1\nItalic=0\n"
                               "Underline=0\n\n[Misc]\nShow Hints=0\n"));
        TPreferences again;
        again.LoadPreferences(TIniFile(PreferencesFileName()));
        QCOMPARE(describe(again), describe(prefs));
    }

    void migration_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("renamed") << QStringList{"qm2.ini"} << QStringList{"qm.ini"};
        QTest::newRow("any case") << QStringList{"QM2.INI"} << QStringList{"qm.ini"};
        QTest::newRow("preferences file already there") << QStringList{"QM.INI", "qm2.ini"}
                                                        << QStringList{"QM.INI", "qm2.ini"};
        QTest::newRow("nothing to do") << QStringList{"QM.INI"} << QStringList{"QM.INI"};
        QTest::newRow("old name is a folder") << QStringList{"qm2.ini/"} << QStringList{"qm2.ini"};
    }

    void migration()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        for (const QString &name : before) {
            if (name.endsWith(QLatin1Char('/')))
                QDir(mDir).mkdir(name.chopped(1));
            else
                writeFile(mDir + name, name.toUtf8());
        }
        MigrateOldPreferencesFile(mDir);
        QCOMPARE(dirEntries(mDir), after);
        if (before == QStringList{"qm2.ini"})
            QCOMPARE(readFile(mDir + QStringLiteral("qm.ini")), QByteArray("qm2.ini"));
    }

    void restorePlacement_data()
    {
        QTest::addColumn<QByteArray>("stored");   // keys of [TQMMainScreen_Placement]
        QTest::addColumn<int>("ppi");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRect>("expected");      // null: not checked
        QTest::addColumn<bool>("maximized");

        const QRect screen(0, 0, 1280, 1024);
        const QRect centred(339, 307, 602, 410);   // (1280 - 602) / 2, (1024 - 410) / 2
        auto rect = [](int l, int t, int r, int b) {
            return QByteArray("Left=%1\nTop=%2\nRight=%3\nBottom=%4\n")
                .replace("%1", QByteArray::number(l)).replace("%2", QByteArray::number(t))
                .replace("%3", QByteArray::number(r)).replace("%4", QByteArray::number(b));
        };
        QTest::newRow("nothing stored: centred") << QByteArray() << 96 << screen << centred << false;
        QTest::newRow("fits") << rect(100, 50, 700, 450) << 96 << screen << QRect(100, 50, 600, 400) << false;
        QTest::newRow("partly right of the screen")
            << rect(1000, 100, 1400, 500) << 96 << screen << QRect(880, 100, 400, 400) << false;
        QTest::newRow("Left -50") << rect(-50, 100, 550, 500) << 96 << screen << QRect(1, 100, 600, 400) << false;
        QTest::newRow("partly below the screen")
            << rect(10, 900, 610, 1100) << 96 << screen << QRect(10, 824, 600, 200) << false;
        QTest::newRow("Top -20") << rect(10, -20, 610, 380) << 96 << screen << QRect(10, 1, 600, 400) << false;
        QTest::newRow("wider than the screen")
            << rect(100, 10, 1500, 410) << 96 << screen << QRect(1, 10, 1400, 400) << false;
        QTest::newRow("right edge exactly on the screen edge")
            << rect(680, 0, 1280, 1024) << 96 << screen << QRect(680, 0, 600, 1024) << false;
        QTest::newRow("maximized") << rect(100, 50, 700, 450) + "Maximized=1\n" << 96 << screen << QRect() << true;
        QTest::newRow("Maximized=0") << QByteArray("Maximized=0\n") << 96 << screen << centred << false;
        QTest::newRow("other resolution starts fresh") << rect(100, 50, 700, 450) << 120 << screen << centred << false;
        QTest::newRow("inside-out rectangle") << rect(500, 100, 100, 500) << 96 << screen << centred << false;
        QTest::newRow("not numbers") << QByteArray("Left=a\nTop=b\nRight=c\nBottom=d\n") << 96 << screen << centred << false;
        QTest::newRow("absurd numbers") << rect(-2147483647, -2147483647, 2147483647, 2147483647)
                                        << 96 << screen << centred << false;
        const QRect belowPanel(0, 30, 1280, 994);
        QTest::newRow("screen area below a panel: centred")
            << QByteArray() << 96 << belowPanel << QRect(339, 322, 602, 410) << false;
        QTest::newRow("screen area below a panel: pulled down")
            << rect(10, 10, 610, 410) << 96 << belowPanel << QRect(10, 31, 600, 400) << false;
    }

    void restorePlacement()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, ppi);
        QFETCH(QRect, area);
        QFETCH(QRect, expected);
        QFETCH(bool, maximized);
        writeFile(mDir + QStringLiteral("QM.INI"),
                  "[TQMMainScreen_Placement]\n" + stored + "[TQMMainScreen_Placement144]\nLeft=3\nTop=3\nRight=9\nBottom=9\n");
        QWidget window;
        window.resize(602, 410);
        RestoreWindowPlacement(&window, QStringLiteral("TQMMainScreen"), TIniFile(PreferencesFileName()),
                               TScreenInfo{area, ppi});
        QCOMPARE(window.isMaximized(), maximized);
        if (!expected.isNull())
            QCOMPARE(window.geometry(), expected);
    }

    void placementRoundTrip()
    {
        const TScreenInfo screen{QRect(0, 0, 1280, 1024), 120};
        QWidget window;
        window.setGeometry(100, 120, 500, 300);
        TIniFile ini(PreferencesFileName());
        SaveWindowPlacement(&window, QStringLiteral("TQMPreview"), ini, screen);
        ini.UpdateFile();
        QCOMPARE(readFile(PreferencesFileName()),
                 crlf("[TQMPreview_Placement120]\nLeft=100\nTop=120\nRight=600\nBottom=420\nMaximized=0\n"));

        QWidget restored;
        RestoreWindowPlacement(&restored, QStringLiteral("TQMPreview"), TIniFile(PreferencesFileName()), screen);
        QCOMPARE(restored.geometry(), QRect(100, 120, 500, 300));

        // A maximized window keeps its normal rectangle for the next start.
        window.showMaximized();
        QTRY_VERIFY(window.isMaximized());
        TIniFile ini2(PreferencesFileName());
        SaveWindowPlacement(&window, QStringLiteral("TQMPreview"), ini2, screen);
        const QString section = QStringLiteral("TQMPreview_Placement120");
        QCOMPARE(ini2.ReadBool(section, QStringLiteral("Maximized"), false), true);
        QCOMPARE(ini2.ReadInteger(section, QStringLiteral("Right"), 0), 600);
        QCOMPARE(ini2.ReadInteger(section, QStringLiteral("Bottom"), 0), 420);
    }
};

std::unique_ptr<QObject> makePrefsTest()
{
    return std::make_unique<TestPrefs>();
}

#include "tst_Prefs.moc"
