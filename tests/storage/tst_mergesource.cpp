// The mail merge data reader (RFC 4180 records, delimiters, encodings,
// damaged files), field expansion, and the design properties in label files.

#include "storage/DesignProperties.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"
#include "storage/MergeSource.h"
#include "storage/Stream.h"

#include <QTemporaryDir>
#include <QtTest>

using Records = QList<QStringList>;

class TestMergeSource : public QObject
{
    Q_OBJECT
    QTemporaryDir mDir;

    QString write(const QByteArray &bytes, const QString &name = QStringLiteral("data.csv"))
    {
        const QString path = mDir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }

private Q_SLOTS:
    void records_data();
    void records();
    void damaged_data();
    void damaged();
    void expand_data();
    void expand();
    void designProperties();
};

void TestMergeSource::records_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<Records>("records");
    QTest::addColumn<int>("encoding");

    const QStringList ab{"a", "b"};
    QTest::newRow("CRLF records") << QByteArray("a,b\r\n1,2\r\n3,4\r\n") << "d.csv" << true << ab
                                  << Records{{"1", "2"}, {"3", "4"}} << int(meUtf8);
    QTest::newRow("last record without line break")
        << QByteArray("a,b\r\n1,2") << "d.csv" << true << ab << Records{{"1", "2"}} << int(meUtf8);
    QTest::newRow("quoted delimiter, quotes, line break")
        << QByteArray("a,b\r\n\"x,y\",\"he said \"\"hi\"\"\"\r\n\"one\r\ntwo\",z\r\n") << "d.csv" << true
        << ab << Records{{"x,y", "he said \"hi\""}, {"one\r\ntwo", "z"}} << int(meUtf8);
    QTest::newRow("empty fields and quoted empty")
        << QByteArray("a,b,c\n,,\n\"\",x,\n") << "d.csv" << true << QStringList{"a", "b", "c"}
        << Records{{"", "", ""}, {"", "x", ""}} << int(meUtf8);
    QTest::newRow("LF, blank lines skipped")
        << QByteArray("a,b\n\n1,2\n\n\n3,4\n") << "d.csv" << true << ab
        << Records{{"1", "2"}, {"3", "4"}} << int(meUtf8);
    QTest::newRow("quote inside unquoted field kept")
        << QByteArray("a,b\n5\" disk,x\n") << "d.csv" << true << ab << Records{{"5\" disk", "x"}}
        << int(meUtf8);
    QTest::newRow("tab by suffix") << QByteArray("a\tb\n1,5\t2\n") << "d.tsv" << true << ab
                                   << Records{{"1,5", "2"}} << int(meUtf8);
    QTest::newRow("tab by first line") << QByteArray("a\tb\n1\t2\n") << "d.txt" << true << ab
                                       << Records{{"1", "2"}} << int(meUtf8);
    QTest::newRow("semicolon by first line")
        << QByteArray("a;b\n1,5;\"x;y\"\n") << "d.csv" << true << ab << Records{{"1,5", "x;y"}}
        << int(meUtf8);
    QTest::newRow("no header: numbered fields")
        << QByteArray("Ann,Oslo\nBo,Rome\n") << "d.csv" << false << QStringList{"1", "2"}
        << Records{{"Ann", "Oslo"}, {"Bo", "Rome"}} << int(meUtf8);
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBFName\nJos\xC3\xA9\n") << "d.csv" << true
                                    << QStringList{"Name"} << Records{{"José"}} << int(meUtf8);
    QTest::newRow("UTF-8 without BOM") << QByteArray("Name\n\xE2\x82\xAC 5\n") << "d.csv" << true
                                       << QStringList{"Name"} << Records{{"€ 5"}} << int(meUtf8);
    QTest::newRow("Windows-1252") << QByteArray("Name\nJos\xE9\n\x80 5\n") << "d.csv" << true
                                  << QStringList{"Name"} << Records{{"José"}, {"€ 5"}}
                                  << int(meWindows1252);
    // A quoted field across the reader's 64 KiB chunks, and a long run of
    // records before a Windows-1252 byte far down the file.
    QByteArray longer("a\n");
    for (int i = 0; i < 2000; ++i)
        longer += "record " + QByteArray::number(i) + "\n";
    const QByteArray big(30000, 'y');
    longer += "\"" + big + "\r\n" + big + "\"\nend\xE9\n";
    Records many;
    for (int i = 0; i < 2000; ++i)
        many << QStringList{QStringLiteral("record %1").arg(i)};
    many << QStringList{QString::fromLatin1(big + "\r\n" + big)} << QStringList{"endé"};
    QTest::newRow("long quoted field across chunks, late Windows-1252")
        << longer << "d.csv" << true << QStringList{"a"} << many << int(meWindows1252);
}

void TestMergeSource::records()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(bool, header);
    QFETCH(QStringList, fields);
    QFETCH(Records, records);
    QFETCH(int, encoding);

    TMergeOptions options;
    options.Header = header;
    TMergeSource source(write(bytes, name), options);
    source.Open();
    QCOMPARE(source.Fields()->Names(), fields);
    QCOMPARE(int(source.Encoding()), encoding);
    QCOMPARE(source.RecordCount(), qint64(records.size()));
    // Twice: Rewind starts again at the first record.
    for (int pass = 0; pass < 2; ++pass) {
        TMergeRecord r;
        for (qsizetype i = 0; i < records.size(); ++i) {
            QVERIFY(source.Next(r));
            QCOMPARE(r.Number, qint64(i + 1));
            QCOMPARE(r.Values, records.at(i));
        }
        QVERIFY(!source.Next(r));
        source.Rewind();
    }
}

void TestMergeSource::damaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("message");
    QTest::newRow("unclosed quote") << QByteArray("a\n1\n\"abc\n") << int(meAuto)
                                    << "a quoted field beginning on line 3 has no closing quote";
    QTest::newRow("too many fields") << QByteArray("a,b\n1,2\n1,2,3\n") << int(meAuto)
                                     << "the record on line 3 has 3 fields where the header has 2";
    QTest::newRow("too few fields") << QByteArray("a,b\n1\n") << int(meAuto)
                                    << "the record on line 2 has 1 fields where the header has 2";
    QTest::newRow("field of 1 MB") << QByteArray("a\n") + QByteArray(1 << 20, 'x') << int(meAuto)
                                   << "a field of the record on line 2 is longer than 65536 bytes";
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFEN\0a\0", 6) << int(meAuto) << "UTF-16 or UTF-32";
    QTest::newRow("zero byte") << QByteArray("a\nx\0y\n", 6) << int(meAuto) << "not a text file";
    QTest::newRow("not UTF-8 as told") << QByteArray("a\nJos\xE9\n") << int(meUtf8)
                                       << "the record on line 2 is not UTF-8 text";
}

void TestMergeSource::damaged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QString, message);
    TMergeOptions options;
    options.Encoding = TMergeEncoding(encoding);
    TMergeSource source(write(bytes), options);
    try {
        source.Open();
        QFAIL("no error");
    } catch (const EMergeError &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        QVERIFY(e.message().contains(QStringLiteral("data.csv")));
    }
    TMergeSource missing(mDir.filePath(QStringLiteral("none.csv")));
    QVERIFY_THROWS_EXCEPTION(EMergeError, missing.Open());
}

void TestMergeSource::expand_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("field") << "Dear ${Name}!" << "Dear Ann Lee!";
    QTest::newRow("two fields, default for empty") << "${Name}, ${City:=no city}" << "Ann Lee, no city";
    QTest::newRow("default unused") << "${Name:=nobody}" << "Ann Lee";
    QTest::newRow("empty value") << "[${City}]" << "[]";
    QTest::newRow("name ignoring case") << "${name}" << "Ann Lee";
    QTest::newRow("by number") << "${3}/${1}" << "0150/Ann Lee";
    QTest::newRow("unknown stays") << "${Nmae} ${Nmae:=x} ${4}" << "${Nmae} ${Nmae:=x} ${4}";
    QTest::newRow("not closed") << "${Name" << "${Name";
    QTest::newRow("dollars and braces around") << "$${Name}}" << "$Ann Lee}";
    QTest::newRow("value holding a field") << "${Zip}${Name}" << "0150Ann Lee";
}

void TestMergeSource::expand()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    TMergeRecord record;
    record.Fields = std::make_shared<TMergeFields>(QStringList{"Name", "City", "Zip"});
    record.Values = {"Ann Lee", "", "0150"};
    QCOMPARE(ExpandFields(text, record), expected);
    QCOMPARE(ExpandFields(text, TMergeRecord()), text);
}

void TestMergeSource::designProperties()
{
    const TLabelLayout layout = TLabelLayout::Default();
    QObject plain;
    QObject panel;
    auto *design = new TDesignProperties(&panel);
    // At their defaults nothing is added: the file is what it always was.
    const QByteArray old = TGLabelObjectFiler::LabelFileBytes(&plain, layout);
    QCOMPARE(TGLabelObjectFiler::LabelFileBytes(&panel, layout), old);

    design->SetMergeSource(QStringLiteral("/data/addresses.csv"));
    design->SetMergeHeader(false);
    design->SetMergeDelimiter(mdSemicolon);
    const QByteArray stored = TGLabelObjectFiler::LabelFileBytes(&panel, layout);
    QVERIFY(stored.startsWith(old));

    // A reader without design properties (as every older one) reads the
    // objects and the layout and stops there.
    TLabelLayout read;
    TGLabelObjectFiler filer;
    filer.ReadLabelBytes(nullptr, &plain, read, stored);
    QCOMPARE(read.LabelWidth, layout.LabelWidth);

    QObject other;
    auto *copy = new TDesignProperties(&other);
    int loaded = 0;
    copy->OnLoaded = [&] { ++loaded; };
    filer.ReadLabelBytes(nullptr, &other, read, stored);
    QCOMPARE(copy->MergeSource(), QStringLiteral("/data/addresses.csv"));
    QCOMPARE(copy->MergeHeader(), false);
    QCOMPARE(copy->MergeDelimiter(), mdSemicolon);
    QCOMPARE(copy->MergeEncoding(), meAuto);
    QCOMPARE(loaded, 1);
    QCOMPARE(TGLabelObjectFiler::LabelFileBytes(&other, layout), stored);

    // A property of a newer program is passed over; the known ones stay.
    PropertyWriter extra;
    extra.writeListBegin();
    extra.writePropName("MergeSource");
    extra.writeString(QStringLiteral("b.csv"));
    extra.writePropName("MergeFuture");
    extra.writeInteger(7);
    extra.writeListEnd();
    filer.ReadLabelBytes(nullptr, &other, read, old + extra.data());
    QCOMPARE(copy->MergeSource(), QStringLiteral("b.csv"));
    QCOMPARE(copy->MergeHeader(), true);

    // A file without them resets what an earlier file set.
    filer.ReadLabelBytes(nullptr, &other, read, old);
    QVERIFY(copy->IsDefault());
}

QTEST_GUILESS_MAIN(TestMergeSource)
#include "tst_mergesource.moc"
