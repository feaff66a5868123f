// The template library as built from data/templates.csv, the generator's
// checks, and qmtool's view of the chooser.

#include "CsvTable.h"
#include "LibraryFixture.h"

#include "layout/TemplateLibrary.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct RunResult
{
    int status = -1;
    QString out;
    QString err;
};

RunResult run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    RunResult r;
    if (!p.waitForFinished(30000))
        return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

const QString Header = QStringLiteral(
    "Name,LabelHeight,LabelWidth,Across,Down,TopMargin,LeftMargin,HorizontalPitch,"
    "VerticalPitch,PageWidth,PageHeight,ColumnGap,RowGap,PrinterType,PaperSize,LabelShape,"
    "ProductType,ArtName\n");
const QString GoodRow = QStringLiteral(
    "Avery 5160 Address,1,2.65,3,10,0.5,0.188,2.765,1.01,8.5,11,0,0,LJ,LTR,RR,ADDRESS,\n");

}  // namespace

// TestTemplateLibrary: QMTPL.dat, its generator and qmtool templates.
class TestTemplateLibrary : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    QString mFixture;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        mFixture = mDir.filePath(QStringLiteral("fixture.dat"));
        QVERIFY(writeFile(mFixture, libraryBytes(fixtureLibrary())));
    }

    void builtLibraryEqualsTable()
    {
        QString problem;
        const QList<TLabelLayout> library =
            TemplateLibrary::read(QStringLiteral(QM_TEMPLATE_LIBRARY), &problem);
        QCOMPARE(problem, QString());
        const QList<QStringList> rows = templateTableRows();
        QCOMPARE(library.size(), rows.size());
        QCOMPARE(rows.size(), 2667);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QStringList &c = rows.at(i);
            const TLabelLayout &t = library.at(i);
            const QByteArray where = QByteArray::number(i + 1) + ' ' + t.Name.toUtf8();
            QVERIFY2(c.size() == 18, where);
            // The table's decimal values are stored as doubles, not singles.
            const double numbers[] = {t.LabelHeight, t.LabelWidth, double(t.Across),
                                      double(t.Down), t.TopMargin, t.LeftMargin,
                                      t.HorizontalPitch, t.VerticalPitch, t.PageWidth,
                                      t.PageHeight, t.ColumnGap, t.RowGap};
            for (int f = 1; f <= 12; ++f)
                QVERIFY2(numbers[f - 1] == c.at(f).toDouble(), where + " field " + QByteArray::number(f));
            const QStringList strings = {t.Name, t.PrinterType, t.PaperSize, t.LabelShape,
                                         t.ProductType, t.ArtName};
            QCOMPARE(strings, (QStringList{c.at(0), c.at(13), c.at(14), c.at(15), c.at(16), c.at(17)}));
        }
    }

    // Label art belongs to the first maker's sheets it was drawn for; the
    // other makers' sheets carry none.
    void labelArtRows()
    {
        const QList<QStringList> rows = templateTableRows();
        QStringList named;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (rows.at(i).at(17).isEmpty())
                continue;
            QVERIFY2(i < 262, qPrintable(rows.at(i).at(0)));
            named.append(rows.at(i).at(17));
        }
        QCOMPARE(named.size(), 15);
        QVERIFY(named.contains(QStringLiteral("AV5196")));
    }

    // The first template is the program's default layout.
    void firstTemplateIsDefault()
    {
        const QList<TLabelLayout> library = TemplateLibrary::read(QStringLiteral(QM_TEMPLATE_LIBRARY));
        QVERIFY(!library.isEmpty());
        TLabelLayout first = library.first();
        for (double *v : {&first.LabelHeight, &first.LabelWidth, &first.TopMargin,
                          &first.LeftMargin, &first.HorizontalPitch, &first.VerticalPitch,
                          &first.PageWidth, &first.PageHeight})
            *v = double(float(*v));
        QCOMPARE(first, TLabelLayout::Default());
    }

    void generatorRejectsBadRows_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("message");
        QTest::newRow("field missing")
            << Header + GoodRow + "Avery 1 Short,1,2,3,10,0.5,0.2,2.7,1,8.5,11,0,0,LJ,LTR,RR,ADDRESS\n"
            << ":3: 17 fields, expected 18";
        QTest::newRow("not a number")
            << Header + "Avery 1 X,1,2.6x,3,10,0.5,0.2,2.7,1,8.5,11,0,0,LJ,LTR,RR,ADDRESS,\n"
            << ":2: LabelWidth is not a number: \"2.6x\"";
        QTest::newRow("not whole")
            << Header + GoodRow + GoodRow + "Avery 1 X,1,2,2.5,10,0.5,0.2,2.7,1,8.5,11,0,0,LJ,LTR,RR,A,\n"
            << ":4: Across is not a whole number: \"2.5\"";
        QTest::newRow("empty number")
            << Header + "Avery 1 X,1,2,3,10,,0.2,2.7,1,8.5,11,0,0,LJ,LTR,RR,A,\n"
            << ":2: TopMargin is not a number: \"\"";
        QTest::newRow("infinite")
            << Header + "Avery 1 X,1,2,3,10,0.5,0.2,inf,1,8.5,11,0,0,LJ,LTR,RR,A,\n"
            << ":2: HorizontalPitch is not a number: \"inf\"";
        QTest::newRow("name too long")
            << Header + QString(61, 'N') + ",1,2,3,10,0.5,0.2,2.7,1,8.5,11,0,0,LJ,LTR,RR,A,\n"
            << ":2: Name is longer than 60 characters";
        QTest::newRow("art name too long")
            << Header + "Avery 1 X,1,2,3,10,0.5,0.2,2.7,1,8.5,11,0,0,LJ,LTR,RR,A,AV5196.bitmap\n"
            << ":2: ArtName is longer than 12 characters";
        QTest::newRow("no label size")
            << Header + "Avery 1 X,0,2,3,10,0.5,0.2,2.7,1,8.5,11,0,0,LJ,LTR,RR,A,\n"
            << ":2: label and page sizes must be greater than 0";
        QTest::newRow("no columns")
            << Header + "Avery 1 X,1,2,0,10,0.5,0.2,2.7,1,8.5,11,0,0,LJ,LTR,RR,A,\n"
            << ":2: Across and Down must be at least 1";
        QTest::newRow("open quote")
            << Header + "\"Avery 1 X,1,2,3,10,0.5,0.2,2.7,1,8.5,11,0,0,LJ,LTR,RR,A,\n"
            << ":2: unterminated quoted field";
        QTest::newRow("wrong header") << "Name,Height\n" + GoodRow << ":1: the header row must be";
        QTest::newRow("no templates") << Header << ": no templates";
    }

    void generatorRejectsBadRows()
    {
        QFETCH(QString, table);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("t.csv"));
        const QString out = dir.filePath(QStringLiteral("QMTPL.dat"));
        QVERIFY(writeFile(csv, table.toUtf8()));
        const RunResult r = run(QStringLiteral(QMTPLGEN), {csv, out});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.startsWith(QLatin1String("qmtplgen: ") + csv + message), qPrintable(r.err));
        QVERIFY(!QFile::exists(out));
    }

    void generatorReadsQuotedFields()
    {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("t.csv"));
        const QString out = dir.filePath(QStringLiteral("QMTPL.dat"));
        QVERIFY(writeFile(csv, (Header + GoodRow
                                + "\"Avery 1, \"\"Quoted\"\"\",1,2,3,10,0.5,0.2,2.7,1,8.5,11,0,0,"
                                  "IJ,A4,EL,\"CARDS, MISC\",AV5824\r\n").toUtf8()));
        const RunResult r = run(QStringLiteral(QMTPLGEN), {csv, out});
        QCOMPARE(r.status, 0);
        const QList<TLabelLayout> library = TemplateLibrary::read(out);
        QCOMPARE(library.size(), 2);
        QCOMPARE(library.at(1).Name, QStringLiteral("Avery 1, \"Quoted\""));
        QCOMPARE(library.at(1).ProductType, QStringLiteral("CARDS, MISC"));
        QCOMPARE(library.at(1).ArtName, QStringLiteral("AV5824"));
    }

    void qmtoolLists_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out");
        QTest::newRow("defaults")
            << QStringList{}
            << "4360 Lowercase\t8\n4360 Lowercase Wide\t9\n5160 Address\t1\n5163 Shipping\t2\n";
        QTest::newRow("file folder, any printer, any region")
            << QStringList{"--product", "3", "--printer", "2", "--region", "2"}
            << "5066 File Folder\t6\nL7171 Lever Arch\t7\n";
        QTest::newRow("European inkjet address")
            << QStringList{"--printer", "1", "--region", "1"} << "J8160 Inkjet A5\t11\n";
        QTest::newRow("find prefers a later item")
            << QStringList{"--find", "4360"} << "4360 Lowercase Wide\t9\n";
        QTest::newRow("find ignores case")
            << QStringList{"--product", "6", "--printer", "2", "--region", "2", "--find", "BADGE"}
            << "badge Holder\t12\n";
        QTest::newRow("find nothing") << QStringList{"--find", "L7"} << "";
        QTest::newRow("items by name")
            << QStringList{"--product", "file", "--printer", "All", "--region", "all"}
            << "5066 File Folder\t6\nL7171 Lever Arch\t7\n";
        QTest::newRow("items by a word and a prefix")
            << QStringList{"--printer", "deskjet", "--region", "EURO"} << "J8160 Inkjet A5\t11\n";
        QTest::newRow("items by caption")
            << QStringList{"--product", "Card Products"}
            << "5371 Business Card\t10\n";
        QTest::newRow("search: whole library, names, library order")
            << QStringList{"--search", "LOWERcase"}
            << "Herma 4360 Lowercase\t8\nHerma 4360 Lowercase Wide\t9\n";
        QTest::newRow("search: inside the name, every filter")
            << QStringList{"--search", "60 "}
            << "Avery 5160 Address\t1\nAvery 8160 Inkjet Address\t3\nAvery L7160 Address\t4\n"
               "Herma 4360 Lowercase\t8\nHerma 4360 Lowercase Wide\t9\n"
               "Avery J8160 Inkjet A5\t11\n";
        QTest::newRow("search: narrowed by the filters given")
            << QStringList{"--search", "160", "--region", "european"}
            << "Avery L7160 Address\t4\nAvery J8160 Inkjet A5\t11\n";
        QTest::newRow("search: no match") << QStringList{"--search", "Zweckform"} << "";
        QTest::newRow("describe")
            << QStringList{"--describe", "2"}
            << "Label Height: 2\nLabel Width: 4\n# Across: 3\n# Down: 10\nTop Margin: 0.5\n"
               "Left Margin: 0.1875\nHorizontal Pitch: 2.75\nVertical Pitch: 1\n"
               "Page Width: 8.5\nPage Height: 11\nPaper Size: Letter\n";
    }

    void qmtoolLists()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        const RunResult r = run(QStringLiteral(QMTOOL),
                                QStringList{"templates", "--library", mFixture} + args);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, out);
    }

    void qmtoolOnBuiltLibrary()
    {
        // Beside the executables, qmtool finds the library by itself.
        RunResult r = run(QStringLiteral(QMTOOL), {"templates", "--describe", "1"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral(
            "Label Height: 1\nLabel Width: 2.65\n# Across: 3\n# Down: 10\nTop Margin: 0.5\n"
            "Left Margin: 0.188\nHorizontal Pitch: 2.765\nVertical Pitch: 1.01\n"
            "Page Width: 8.5\nPage Height: 11\nPaper Size: Letter\n"));

        r = run(QStringLiteral(QMTOOL), {"templates", "--product", "2"});
        QCOMPARE(r.status, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        const QList<QStringList> rows = templateTableRows();
        int expected = 0;
        for (const QStringList &row : rows) {
            if (row.at(16).contains("DISK") && row.at(13) == "LJ" && !row.at(14).contains("A4")
                && !row.at(14).contains("A5"))
                ++expected;
        }
        QCOMPARE(lines.size(), expected);
        for (const QString &line : lines) {
            const int entry = line.section('\t', 1).toInt();
            QVERIFY(entry >= 1 && entry <= rows.size());
            // A name shows without its maker when that is five letters and a space.
            const QString name = rows.at(entry - 1).at(0);
            QCOMPARE(line.section('\t', 0, 0), name.at(5) == ' ' ? name.mid(6) : name);
        }
        int diskette = 0;
        while (diskette < rows.size() && rows.at(diskette).at(0) != "Avery 5196 3.5in Diskette")
            ++diskette;
        QVERIFY(lines.contains(QStringLiteral("5196 3.5in Diskette\t%1").arg(diskette + 1)));
    }

    void qmtoolFailures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        QTest::newRow("product out of range")
            << QStringList{"--library", mFixture, "--product", "7"} << 2
            << "qmtool templates: bad value for --product: 7\n";
        QTest::newRow("describe out of range")
            << QStringList{"--library", mFixture, "--describe", "13"} << 1
            << QString("qmtool templates: no template 13 in %1\n").arg(mFixture);
        QTest::newRow("missing library")
            << QStringList{"--library", mDir.filePath("none.dat")} << 1
            << QString("qmtool templates: %1 does not exist\n").arg(mDir.filePath("none.dat"));
        QTest::newRow("option without value") << QStringList{"--find"} << 2 << "usage";
        QTest::newRow("ambiguous item")
            << QStringList{"--library", mFixture, "--product", "labels"} << 2
            << "qmtool templates: bad value for --product: labels\n";
        QTest::newRow("unknown item")
            << QStringList{"--library", mFixture, "--region", "asia"} << 2
            << "qmtool templates: bad value for --region: asia\n";
        QTest::newRow("search and find") << QStringList{"--search", "a", "--find", "b"} << 2 << "usage";
        const QString garbage = QStringLiteral(QM_DAMAGED_DIR "/templates-list-then-garbage.dat");
        QTest::newRow("data after the list")
            << QStringList{"--library", garbage} << 1
            << QString("qmtool templates: %1 is damaged after 0 templates: data follows the end of "
                       "the list\n").arg(garbage);
        const QString empty = mDir.filePath("empty.dat");
        writeFile(empty, QByteArray());
        QTest::newRow("no list")
            << QStringList{"--library", empty} << 1
            << QString("qmtool templates: %1 holds no template list\n").arg(empty);
        const QString text = mDir.filePath("text.dat");
        writeFile(text, "hello, world");
        QTest::newRow("not a list")
            << QStringList{"--library", text, "--search", "a"} << 1
            << QString("qmtool templates: %1 is damaged after 0 templates: ").arg(text);
        QTest::newRow("unknown option") << QStringList{"--sort", "x"} << 2 << "usage";
    }

    void qmtoolFailures()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, err);
        const RunResult r = run(QStringLiteral(QMTOOL), QStringList{"templates"} + args);
        QCOMPARE(r.status, status);
        QCOMPARE(r.out, QString());
        QVERIFY2(r.err.startsWith(err), qPrintable(r.err));
    }

    void qmtoolHelp()
    {
        const RunResult r = run(QStringLiteral(QMTOOL), {"templates", "--help"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        for (const QStringList *items : {&TemplateFilter::ProductItems,
                                         &TemplateFilter::PrinterItems, &TemplateFilter::RegionItems})
            for (const QString &item : *items)
                QVERIFY2(r.out.contains('"' + item + '"'), qPrintable(item));
        QVERIFY(r.out.contains(QLatin1String("--search TEXT")));
    }

    void itemNames_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("item");
        QTest::newRow("number") << "4" << 4;
        QTest::newRow("number out of range") << "7" << -1;
        QTest::newRow("first word") << "address" << 0;
        QTest::newRow("prefix") << "DISK" << 2;
        QTest::newRow("later word") << "folder" << 3;
        QTest::newRow("whole caption") << "miscellaneous" << 5;
        QTest::newRow("caption with its space") << "index pro" << 4;
        QTest::newRow("several") << "labels" << -1;
        QTest::newRow("none") << "badges" << -1;
        QTest::newRow("empty") << "" << -1;
    }

    void itemNames()
    {
        QFETCH(QString, word);
        QFETCH(int, item);
        QCOMPARE(TemplateFilter::itemNamed(TemplateFilter::ProductItems, word), item);
    }
};

QObject *newTemplateLibraryTest()
{
    return new TestTemplateLibrary;
}

#include "tst_templatelibrary.moc"
