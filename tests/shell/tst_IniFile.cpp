#include "TestFiles.h"

#include "shell/IniFile.h"

#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Applies a small script to ini: "w|Section|Key|Value", "e|Section", "d|Section|Key".
void applyOps(TIniFile &ini, const QStringList &ops)
{
    for (const QString &op : ops) {
        const QStringList p = op.split(QLatin1Char('|'));
        if (p[0] == QLatin1String("w"))
            ini.WriteString(p[1], p[2], p[3]);
        else if (p[0] == QLatin1String("e"))
            ini.EraseSection(p[1]);
        else if (p[0] == QLatin1String("d"))
            ini.DeleteKey(p[1], p[2]);
    }
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private:
    QString mDir;
    std::unique_ptr<QTemporaryDir> mTemp;

    QString path(const QString &name = QStringLiteral("QM.INI")) const { return mDir + QLatin1Char('/') + name; }

private Q_SLOTS:
    void init()
    {
        mTemp = std::make_unique<QTemporaryDir>();
        mDir = mTemp->path();
    }

    void rewriteKeepsFile_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("output");
        const QByteArray text = "; Quillmark settings\n"
                                "# hand-written note\n"
                                "stray line before any section\n"
                                "\n"
                                "[Paths]\n"
                                "FileOpenLastPath=C:\\Labels\\Work\\\n"
                                "  Spaced Key  =  value with  inner  blanks  \n"
                                "no equals sign here\n"
                                "\n"
                                "[Someone Else's Section]\n"
                                "Opaque=%20%41;x\n";
        QTest::newRow("LF") << text << crlf(text);
        QTest::newRow("CRLF") << crlf(text) << crlf(text);
        QTest::newRow("no final line end") << text.chopped(1) << crlf(text);
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[A]\nk=1\n") << QByteArray("\xEF\xBB\xBF[A]\r\nk=1\r\n");
        QTest::newRow("UTF-8 path") << QByteArray("[MRU]\nF0=/home/zoë/étiquettes.qm\n")
                                    << crlf("[MRU]\nF0=/home/zoë/étiquettes.qm\n");
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }

    void rewriteKeepsFile()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, output);
        writeFile(path(), input);
        TIniFile ini(path());
        ini.UpdateFile();
        QCOMPARE(readFile(path()), output);
    }

    void edits_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("ops");
        QTest::addColumn<QByteArray>("output");
        const QByteArray base = "; top comment\n"
                                "[Printer]\n"
                                "TopMarginNudge = 1\n"
                                "; about spacing\n"
                                "VerticalSpacing=0\n"
                                "\n"
                                "[MRU]\n"
                                "F0=/a.qm\n"
                                "F1=/b.qm\n"
                                "\n"
                                "[Misc]\n"
                                "Show Hints=1\n";
        QTest::newRow("existing key keeps its spelling and place")
            << base << QStringList{"w|printer|TOPMARGINNUDGE|-3"}
            << crlf(QByteArray(base).replace("TopMarginNudge = 1", "TopMarginNudge =-3"));
        QTest::newRow("new key after the section's last key")
            << base << QStringList{"w|Printer|LeftMarginNudge|2"}
            << crlf(QByteArray(base).replace("VerticalSpacing=0\n", "VerticalSpacing=0\nLeftMarginNudge=2\n"));
        QTest::newRow("new section at the end after a blank line")
            << base << QStringList{"w|Default Font|Name|Times New Roman"}
            << crlf(base + "\n[Default Font]\nName=Times New Roman\n");
        QTest::newRow("rewritten section stays in place")
            << base << QStringList{"e|mru", "w|MRU|F0|/c.qm"}
            << crlf(QByteArray(base).replace("F0=/a.qm\nF1=/b.qm\n", "F0=/c.qm\n"));
        QTest::newRow("erased section leaves no double blank line")
            << base << QStringList{"e|MRU"}
            << crlf(QByteArray(base).replace("[MRU]\nF0=/a.qm\nF1=/b.qm\n\n", ""));
        QTest::newRow("erasing the last section")
            << base << QStringList{"e|Misc"}
            << crlf(QByteArray(base).replace("[Misc]\nShow Hints=1\n", ""));
        QTest::newRow("erase covers a section written twice")
            << QByteArray("[MRU]\nF0=/a\n[X]\nk=v\n[mru]\nF1=/b\n") << QStringList{"e|MRU", "w|MRU|F0|/z"}
            << crlf("[MRU]\nF0=/z\n[X]\nk=v\n");
        QTest::newRow("delete key")
            << base << QStringList{"d|Printer|topmarginnudge"}
            << crlf(QByteArray(base).replace("TopMarginNudge = 1\n", ""));
        QTest::newRow("backslashes and spaces written as they are")
            << QByteArray() << QStringList{"w|Paths|FileSaveLastPath|C:\\My Labels\\", "w|Misc|Show Hints|0"}
            << crlf("[Paths]\nFileSaveLastPath=C:\\My Labels\\\n\n[Misc]\nShow Hints=0\n");
        QTest::newRow("a line break in a value cannot split the line")
            << QByteArray("[A]\nk=1\n") << QStringList{"w|A|k|one\ntwo\r\n[B]"}
            << crlf("[A]\nk=one two  [B]\n");
    }

    void edits()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, ops);
        QFETCH(QByteArray, output);
        writeFile(path(), input);
        TIniFile ini(path());
        applyOps(ini, ops);
        ini.UpdateFile();
        QCOMPARE(readFile(path()), output);
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("asString");
        QTest::addColumn<int>("asInteger");   // default 77
        QTest::addColumn<int>("asBool");      // default true; 1 or 0

        QTest::newRow("backslashes kept") << QByteArray("[Paths]\nFileOpenLastPath=C:\\Labels\\\n")
                                          << "Paths" << "FileOpenLastPath" << "C:\\Labels\\" << 77 << 1;
        QTest::newRow("key with a space") << QByteArray("[Misc]\nShow Hints=0\n")
                                          << "Misc" << "Show Hints" << "0" << 0 << 0;
        QTest::newRow("case of section and key") << QByteArray("[default FONT]\nsIzE=14\n")
                                                 << "Default Font" << "Size" << "14" << 14 << 1;
        QTest::newRow("text after the first =") << QByteArray("[MRU]\nF0=/x/a=b.qm\n")
                                                << "MRU" << "F0" << "/x/a=b.qm" << 77 << 1;
        QTest::newRow("blanks around value removed") << QByteArray("[A]\n  k  =   -12  \n")
                                                     << "A" << "k" << "-12" << -12 << 1;
        QTest::newRow("escapes not decoded") << QByteArray("[A]\nk=%20\\t\\\\\n")
                                             << "A" << "k" << "%20\\t\\\\" << 77 << 1;
        QTest::newRow("any non-zero number is true") << QByteArray("[A]\nk=2\n")
                                                     << "A" << "k" << "2" << 2 << 1;
        QTest::newRow("not a number") << QByteArray("[A]\nk=12abc\n")
                                      << "A" << "k" << "12abc" << 77 << 1;
        QTest::newRow("words are not Booleans") << QByteArray("[A]\nk=false\n")
                                                << "A" << "k" << "false" << 77 << 1;
        QTest::newRow("overflowing number") << QByteArray("[A]\nk=99999999999\n")
                                            << "A" << "k" << "99999999999" << 77 << 1;
        QTest::newRow("empty value") << QByteArray("[A]\nk=\n") << "A" << "k" << "" << 77 << 1;
        QTest::newRow("missing key") << QByteArray("[A]\nother=1\n") << "A" << "k" << "dflt" << 77 << 1;
        QTest::newRow("key of another section") << QByteArray("[A]\nx=1\n[B]\nk=5\n")
                                                << "A" << "k" << "dflt" << 77 << 1;
        QTest::newRow("key before any section") << QByteArray("k=5\n[A]\n")
                                                << "A" << "k" << "dflt" << 77 << 1;
        QTest::newRow("commented-out key") << QByteArray("[A]\n;k=5\n#k=6\n")
                                           << "A" << "k" << "dflt" << 77 << 1;
        QTest::newRow("section written twice") << QByteArray("[A]\nx=1\n[B]\n[a]\nk=3\n")
                                               << "A" << "k" << "3" << 3 << 1;
        QTest::newRow("first of a key written twice") << QByteArray("[A]\nk=1\nK=0\n")
                                                      << "A" << "k" << "1" << 1 << 1;
        QTest::newRow("header with blanks") << QByteArray("  [ Misc ]  \nk=0\n")
                                            << "misc" << "k" << "0" << 0 << 0;
    }

    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, asString);
        QFETCH(int, asInteger);
        QFETCH(int, asBool);
        writeFile(path(), file);
        const TIniFile ini(path());
        QCOMPARE(ini.ReadString(section, key, QStringLiteral("dflt")), asString);
        QCOMPARE(ini.ReadInteger(section, key, 77), asInteger);
        QCOMPARE(int(ini.ReadBool(section, key, true)), asBool);
    }

    void sectionListings()
    {
        writeFile(path(), "[MRU]\nF0=/z.qm\nf2=/x.qm\n; gone\nF1=/y.qm\nF0=/dup.qm\n[Other]\nF9=/no.qm\n[mru]\nF3=/w.qm\n");
        const TIniFile ini(path());
        QCOMPARE(ini.ReadSection(QStringLiteral("Mru")), (QStringList{"F0", "f2", "F1", "F3"}));
        QCOMPARE(ini.ReadSectionValues(QStringLiteral("MRU")),
                 (QStringList{"F0=/z.qm", "f2=/x.qm", "F1=/y.qm", "F3=/w.qm"}));
        QCOMPARE(ini.ReadSections(), (QStringList{"MRU", "Other"}));
        QVERIFY(ini.ReadSectionValues(QStringLiteral("Missing")).isEmpty());
    }

    void fileNameWithoutCase_data()
    {
        QTest::addColumn<QString>("onDisk");
        QTest::newRow("lower") << "qm.ini";
        QTest::newRow("mixed") << "Qm.Ini";
        QTest::newRow("upper") << "QM.INI";
        QTest::newRow("none") << "";
    }

    void fileNameWithoutCase()
    {
        QFETCH(QString, onDisk);
        if (!onDisk.isEmpty())
            writeFile(path(onDisk), "[Misc]\nShow Hints=0\n");
        TIniFile ini(path(QStringLiteral("QM.INI")));
        QCOMPARE(ini.ReadBool(QStringLiteral("Misc"), QStringLiteral("Show Hints"), true), onDisk.isEmpty());
        ini.WriteInteger(QStringLiteral("Default Font"), QStringLiteral("Size"), 14);
        ini.UpdateFile();
        const QString expected = onDisk.isEmpty() ? QStringLiteral("QM.INI") : onDisk;
        QCOMPARE(dirEntries(mDir), QStringList{expected});
        QCOMPARE(TIniFile(path(QStringLiteral("qM.iNi"))).ReadInteger(QStringLiteral("default font"),
                                                                      QStringLiteral("size"), 0), 14);
    }

    // Damaged content is read as far as it makes sense and never crashes;
    // writing afterwards works and keeps what could be read.
    void damagedContent_data()
    {
        QTest::addColumn<QByteArray>("content");
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk += char((i * 7919 + 13) % 256);
        QTest::newRow("binary junk") << junk;
        QTest::newRow("NUL bytes in a value") << QByteArray("[A]\nk=a\0b\n", 10);
        QTest::newRow("one huge line") << QByteArray(2 * 1024 * 1024, 'x');
        QTest::newRow("huge value") << "[Misc]\nHuge=" + QByteArray(1024 * 1024, 'y') + "\n";
        QTest::newRow("unclosed header") << QByteArray("[Misc\nShow Hints=0\n[\n]\n=\n==\n");
        QTest::newRow("lone CRs") << QByteArray("[A]\rk=1\r\r\n");
    }

    void damagedContent()
    {
        QFETCH(QByteArray, content);
        writeFile(path(), content);
        TIniFile ini(path());
        QVERIFY(ini.LoadError().isEmpty());
        QCOMPARE(ini.ReadInteger(QStringLiteral("Misc"), QStringLiteral("Show Hints"), 7), 7);
        ini.WriteString(QStringLiteral("Paths"), QStringLiteral("FileOpenLastPath"), QStringLiteral("/labels/"));
        ini.UpdateFile();
        const TIniFile again(path());
        QCOMPARE(again.ReadString(QStringLiteral("Paths"), QStringLiteral("FileOpenLastPath"), QString()),
                 QStringLiteral("/labels/"));
        QVERIFY(QFileInfo(path()).size() >= content.size() / 2);
    }

    // A file that cannot be read is never overwritten with a file that
    // would lose its content.
    void unreadableFileIsNotReplaced_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder in place of the file") << "folder";
        QTest::newRow("too large") << "large";
    }

    void unreadableFileIsNotReplaced()
    {
        QFETCH(QString, kind);
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir(mDir).mkdir(QStringLiteral("qm.ini")));
        else
            writeFile(path(QStringLiteral("qm.ini")), "[A]\nk=1\n" + QByteArray(TIniFile::MaxFileSize, ';'));
        const qint64 sizeBefore = QFileInfo(path(QStringLiteral("qm.ini"))).size();

        TIniFile ini(path());
        QVERIFY(!ini.LoadError().isEmpty());
        QCOMPARE(ini.ReadString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("dflt")),
                 QStringLiteral("dflt"));
        ini.WriteBool(QStringLiteral("Misc"), QStringLiteral("Show Hints"), false);
        try {
            ini.UpdateFile();
            QFAIL("UpdateFile() reported success");
        } catch (const EIniError &e) {
            QVERIFY2(e.message().contains(ini.FileName()), qPrintable(e.message()));
        }
        QCOMPARE(QFileInfo(path(QStringLiteral("qm.ini"))).size(), sizeBefore);
        QCOMPARE(QFileInfo(path(QStringLiteral("qm.ini"))).isDir(), kind == QLatin1String("folder"));
    }

    // A failed write reports the reason and leaves the old file as it was.
    void writeFailureKeepsOldFile_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("read-only folder") << "readonly";
        QTest::newRow("disk full") << "full";
        QTest::newRow("folder missing") << "missing";
    }

    void writeFailureKeepsOldFile()
    {
        QFETCH(QString, cause);
        const QByteArray old = crlf("; keep me\n[Misc]\nShow Hints=0\n");
        QString file = path();
        if (cause == QLatin1String("missing"))
            file = mDir + QStringLiteral("/gone/QM.INI");
        else
            writeFile(file, old);

        TIniFile ini(file);
        ini.WriteString(QStringLiteral("Paths"), QStringLiteral("FileOpenLastPath"),
                        QString(4096, QLatin1Char('p')));

        bool threw = false;
        QString message;
        if (cause == QLatin1String("readonly")) {
            QFile::setPermissions(mDir, QFile::ReadOwner | QFile::ExeOwner);
            const bool writable = ::access(QFile::encodeName(mDir).constData(), W_OK) == 0;
            if (!writable) {
                try { ini.UpdateFile(); } catch (const EIniError &e) { threw = true; message = e.message(); }
            }
            QFile::setPermissions(mDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            if (writable)
                QSKIP("this user may write into read-only folders");
        } else if (cause == QLatin1String("full")) {
            // A file size limit fails the write the way a full disk does, for any user.
            struct rlimit saved;
            ::getrlimit(RLIMIT_FSIZE, &saved);
            struct rlimit small = saved;
            small.rlim_cur = 1024;
            auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            ::setrlimit(RLIMIT_FSIZE, &small);
            try { ini.UpdateFile(); } catch (const EIniError &e) { threw = true; message = e.message(); }
            ::setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, oldHandler);
        } else {
            try { ini.UpdateFile(); } catch (const EIniError &e) { threw = true; message = e.message(); }
        }
        QVERIFY(threw);
        QVERIFY2(message.contains(file), qPrintable(message));
        if (cause != QLatin1String("missing")) {
            QCOMPARE(readFile(file), old);
            QCOMPARE(dirEntries(mDir), QStringList{"QM.INI"});
        }
    }
};

std::unique_ptr<QObject> makeIniFileTest()
{
    return std::make_unique<TestIniFile>();
}

#include "tst_IniFile.moc"
