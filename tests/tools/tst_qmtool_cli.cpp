// qmtool run as a script runs it: exit statuses, the words of its messages,
// output formats, and the damaged or absurd inputs that once crashed it or
// ran away with time and memory. Every run has a memory and a time limit.

#include "layout/TemplateLibrary.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

namespace {

struct Run
{
    int exitCode = -1;  // -1: crashed or killed at the time limit
    QByteArray out, err;
};

// 3 GiB of address space and 60 s: far more than any of these inputs needs,
// far less than the runaways took.
constexpr rlim_t MemoryLimit = rlim_t(3) << 30;
constexpr int TimeLimitMs = 60000;

Run qmtool(const QStringList &args)
{
    QProcess p;
    p.setChildProcessModifier([] {
#if !defined(__SANITIZE_ADDRESS__)
        // AddressSanitizer reserves its shadow memory as address space far
        // beyond any such limit; there it catches runaway allocations itself.
        const rlimit memory{MemoryLimit, MemoryLimit};
        setrlimit(RLIMIT_AS, &memory);
#endif
        const rlimit cpu{60, 60};
        setrlimit(RLIMIT_CPU, &cpu);
    });
    p.start(QStringLiteral(QMTOOL_PATH), args);
    if (!p.waitForFinished(TimeLimitMs)) {
        p.kill();
        p.waitForFinished();
        return {-1, p.readAllStandardOutput(), "killed at the time limit"};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QString damaged(const QString &name)
{
    return QStringLiteral(DAMAGED_DIR "/") + name;
}

QByteArray fileStart(const QString &path, int n)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
}

QByteArray shortName(const QByteArray &name)
{
    return char(name.size()) + name;
}

}  // namespace

class TestQmtoolCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void damagedInputs_data();
    void damagedInputs();
    void hugeInputsRefusedQuickly_data();
    void hugeInputsRefusedQuickly();
    void statusesAndMessages_data();
    void statusesAndMessages();
    void renderFormats_data();
    void renderFormats();
    void buildForms();

private:
    QString write(const QString &name, const QByteArray &data)
    {
        const QString path = mDir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(data);
        return path;
    }
    QString build(const QString &json, const QString &name)
    {
        const QString out = mDir.filePath(name);
        const Run r = qmtool({QStringLiteral("build"), json, out});
        return r.exitCode == 0 ? out : QString();
    }
    QJsonObject dumpObject(const QString &file, int index)
    {
        const Run r = qmtool({QStringLiteral("dump"), file});
        return QJsonDocument::fromJson(r.out).object()[QStringLiteral("objects")].toArray()[index].toObject();
    }
    QTemporaryDir mDir;
    QString mGood;
};

void TestQmtoolCli::initTestCase()
{
    QVERIFY(mDir.isValid());
    mGood = build(write(QStringLiteral("good.json"),
                        R"({"objects": [{"class": "TGPLabel", "name": "Greeting",
                            "properties": {"Caption": "Hello", "Left": 10, "Top": 10}}]})"),
                  QStringLiteral("good.qm"));
    QVERIFY(!mGood.isEmpty());
}

void TestQmtoolCli::damagedInputs_data()
{
    QTest::addColumn<QString>("input");     // a file in the damaged folder
    QTest::addColumn<QString>("command");   // dump, render, print or build
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");   // stderr contains it; empty: stderr is empty

    // Absurd values that read correctly: the file opens and draws, bounded.
    for (const char *command : {"dump", "render", "print"}) {
        QTest::addRow("symbol font height -100000, %s", command)
            << "symbol-font-height-negative.qm" << command << 0 << "";
        QTest::addRow("symbol at top 2^31-1, %s", command) << "symbol-top-intmax.qm" << command << 0 << "";
        QTest::addRow("counter padded to 2^30 digits, %s", command)
            << "counter-leading-zeros-huge.qm" << command << 0 << "";
    }
    // The JSON forms are built first; the label file then draws.
    for (const char *command : {"build", "render", "print"}) {
        QTest::addRow("symbol at top 2^31-1 (JSON), %s", command) << "symbol-top-intmax.json" << command << 0 << "";
        QTest::addRow("line pen width -2^31, %s", command) << "line-pen-width-intmin.json" << command << 0 << "";
        QTest::addRow("counter padded to 2^30 digits (JSON), %s", command)
            << "counter-leading-zeros-huge.json" << command << 0 << "";
    }
    QTest::newRow("label 1e-30 inch wide, render")
        << "label-width-tiny.json" << "render" << 1 << "the label is too small to draw";
}

void TestQmtoolCli::damagedInputs()
{
    QFETCH(QString, input);
    QFETCH(QString, command);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    QString file = damaged(input);
    if (input.endsWith(QLatin1String(".json")) && command != QLatin1String("build")) {
        file = build(file, QStringLiteral("built.qm"));
        QVERIFY2(!file.isEmpty(), "the JSON form does not build");
    }
    QStringList args{command, file};
    if (command == QLatin1String("render"))
        args << QStringLiteral("-o") << mDir.filePath(QStringLiteral("out.png"));
    else if (command == QLatin1String("print"))
        args << QStringLiteral("-o") << mDir.filePath(QStringLiteral("out.pdf"));
    else if (command == QLatin1String("build"))
        args << mDir.filePath(QStringLiteral("out.qm"));

    const Run r = qmtool(args);
    QVERIFY2(r.exitCode == exitCode, r.err.constData());
    if (message.isEmpty())
        QVERIFY2(r.err.isEmpty(), r.err.constData());
    else
        QVERIFY2(r.err.contains(message.toUtf8()), r.err.constData());
    if (exitCode == 0 && command == QLatin1String("print"))
        QCOMPARE(fileStart(mDir.filePath(QStringLiteral("out.pdf")), 5), QByteArray("%PDF-"));
}

void TestQmtoolCli::hugeInputsRefusedQuickly_data()
{
    QTest::addColumn<QString>("command");
    for (const char *command : {"inspect", "dump", "build", "render"})
        QTest::newRow(command) << command;
}

void TestQmtoolCli::hugeInputsRefusedQuickly()
{
    QFETCH(QString, command);
    // 2 GB of holes: nothing is read before the size is checked.
    const QString huge = mDir.filePath(QStringLiteral("huge.bin"));
    {
        QFile f(huge);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(qint64(2) << 30));
    }
    QStringList args{command, huge};
    if (command == QLatin1String("build"))
        args << mDir.filePath(QStringLiteral("never.qm"));
    if (command == QLatin1String("render"))
        args << QStringLiteral("-o") << mDir.filePath(QStringLiteral("never.png"));
    QElapsedTimer clock;
    clock.start();
    const Run r = qmtool(args);
    QFile::remove(huge);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("the file is larger than"), r.err.constData());
    QVERIFY2(clock.elapsed() < 20000, "the whole file was read");
    QVERIFY(!QFile::exists(mDir.filePath(QStringLiteral("never.qm"))));
}

void TestQmtoolCli::statusesAndMessages_data()
{
    QTest::addColumn<QStringList>("args");    // GOOD, BADVALUE, BADCLASS, DIR, MISSING, OUT, IMAGE stand for paths
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");          // stdout starts with it
    QTest::addColumn<QString>("err");          // the whole of stderr matches this pattern

    QTest::newRow("no command") << QStringList{} << 2 << "" << "usage: qmtool COMMAND.*exit status: 0 done.*";
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "usage: qmtool COMMAND" << "";
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "qmtool " << "";
    QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << ""
                                     << "qmtool: unknown command frobnicate\nusage: qmtool COMMAND.*";
    QTest::newRow("dump a directory") << QStringList{"dump", "DIR"} << 1 << "" << "DIR: it is a directory\n";
    QTest::newRow("dump a missing file") << QStringList{"dump", "MISSING"} << 1 << ""
                                         << "MISSING: the file does not exist\n";
    QTest::newRow("inspect a directory") << QStringList{"inspect", "DIR"} << 1 << "" << "DIR: it is a directory\n";
    QTest::newRow("inspect a missing file") << QStringList{"inspect", "MISSING"} << 1 << ""
                                            << "MISSING: the file does not exist\n";
    QTest::newRow("build from a directory") << QStringList{"build", "DIR", "OUT"} << 1 << ""
                                            << "qmtool build: DIR: it is a directory\n";
    QTest::newRow("render a directory") << QStringList{"render", "DIR", "-o", "IMAGE"} << 1 << ""
                                        << "qmtool: Unable to open DIR\\. .*\n\\(it is a directory\\)\n";
    // The object and the property that would not read.
    QTest::newRow("dump a bad value") << QStringList{"dump", "BADVALUE"} << 1 << ""
                                      << "BADVALUE: Invalid property value \\(Greeting\\.Font\\.Height\\)\n";
    QTest::newRow("print a bad value") << QStringList{"print", "BADVALUE", "-o", "OUT"} << 1 << ""
                                       << "qmtool: Unable to open BADVALUE\\. .*\n"
                                          "\\(Invalid property value \\(Greeting\\.Font\\.Height\\)\\)\n";
    // Raw bytes and line breaks of a damaged class name never reach the terminal.
    QTest::newRow("dump an unknown class") << QStringList{"dump", "BADCLASS"} << 1 << ""
                                           << "BADCLASS: Class TG\\\\x0Abad\\\\xFF not found\n";
}

void TestQmtoolCli::statusesAndMessages()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    // The good file with Font.Height's value tag made one no stream has.
    QByteArray bytes = fileStart(mGood, 1 << 20);
    const qsizetype at = bytes.indexOf(shortName("Font.Height"));
    QVERIFY(at > 0);
    bytes[at + 12] = '\x0F';
    const QString badValue = write(QStringLiteral("badvalue.qm"), bytes);
    const QString badClass = write(QStringLiteral("badclass.qm"),
                                   "\x01TPF0" + shortName("TG\nbad\xFF") + shortName("A") + QByteArray(3, '\0'));
    QDir(mDir.path()).mkpath(QStringLiteral("folder"));
    const QHash<QString, QString> paths{{QStringLiteral("GOOD"), mGood},
                                        {QStringLiteral("BADVALUE"), badValue},
                                        {QStringLiteral("BADCLASS"), badClass},
                                        {QStringLiteral("DIR"), mDir.filePath(QStringLiteral("folder"))},
                                        {QStringLiteral("MISSING"), mDir.filePath(QStringLiteral("missing.qm"))},
                                        {QStringLiteral("OUT"), mDir.filePath(QStringLiteral("out.pdf"))},
                                        {QStringLiteral("IMAGE"), mDir.filePath(QStringLiteral("out.png"))}};
    for (QString &a : args)
        a = paths.value(a, a);
    for (auto it = paths.begin(); it != paths.end(); ++it)
        err.replace(it.key(), QRegularExpression::escape(it.value()));

    const Run r = qmtool(args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.out.startsWith(out.toUtf8()), r.out.left(200).constData());
    const QRegularExpression pattern(QStringLiteral("\\A") + err + QStringLiteral("\\z"),
                                     QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(pattern.match(QString::fromUtf8(r.err)).hasMatch(), r.err.constData());
}

void TestQmtoolCli::renderFormats_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("magic");  // the first bytes of what was written

    QTest::newRow("png") << "label.png" << 0 << QByteArray("\x89PNG");
    QTest::newRow("jpeg") << "label.jpg" << 0 << QByteArray("\xFF\xD8\xFF");
    QTest::newRow("upper-case JPEG") << "label.JPEG" << 0 << QByteArray("\xFF\xD8\xFF");
    QTest::newRow("bmp") << "label.bmp" << 0 << QByteArray("BM");
    QTest::newRow("unknown extension") << "label.xyz" << 2 << QByteArray();
    QTest::newRow("no extension") << "label" << 2 << QByteArray();
}

void TestQmtoolCli::renderFormats()
{
    QFETCH(QString, name);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, magic);
    const QString out = mDir.filePath(name);
    QFile::remove(out);
    const Run r = qmtool({QStringLiteral("render"), mGood, QStringLiteral("-o"), out});
    QVERIFY2(r.exitCode == exitCode, r.err.constData());
    if (exitCode == 0)
        QCOMPARE(fileStart(out, int(magic.size())), magic);
    else
        QVERIFY2(r.err.contains("unknown image format") && !QFile::exists(out), r.err.constData());
}

// The forms build takes beside the ones dump prints.
void TestQmtoolCli::buildForms()
{
    const QList<TLabelLayout> library = TemplateLibrary::read(QFileInfo(QStringLiteral(QMTOOL_PATH)).dir().filePath(
        QLatin1String(TemplateLibrary::FileName)));
    QVERIFY(library.size() > 10);
    const TLabelLayout &chosen = library.at(10);

    const QString json = write(QStringLiteral("forms.json"), QStringLiteral(R"({
        "layout": {"template": "%1"},
        "objects": [{"class": "TGPLabel", "properties": {"Caption": "x", "Font.Size": 14,
                      "Font.Color": "#ff0000", "BackColor": "clYellow", "Transparent": false}}]})")
                                                                 .arg(chosen.Name.toLower())
                                                                 .toUtf8());
    const QString built = build(json, QStringLiteral("forms.qm"));
    QVERIFY(!built.isEmpty());
    const Run dumped = qmtool({QStringLiteral("dump"), built});
    const QJsonObject doc = QJsonDocument::fromJson(dumped.out).object();
    QCOMPARE(doc[QStringLiteral("layout")][QStringLiteral("Name")].toString(), chosen.Name);
    QCOMPARE(doc[QStringLiteral("layout")][QStringLiteral("Across")].toInt(), chosen.Across);
    const QJsonObject properties = doc[QStringLiteral("objects")][0][QStringLiteral("properties")].toObject();
    QCOMPARE(properties[QStringLiteral("Font.Height")].toInt(), -19);  // 14 points at 96 ppi
    QCOMPARE(properties[QStringLiteral("Font.Color")].toInt(), 0x0000FF);  // 0x00BBGGRR
    QCOMPARE(properties[QStringLiteral("BackColor")].toInt(), 0x00FFFF);

    // Refused, and nothing written: an unknown template, a layout the print
    // run would refuse, a colour that is not one.
    const struct {
        const char *json;
        const char *message;
    } refused[] = {
        {R"({"layout": {"template": "No Such Sheet 0000"}})", "no template \"No Such Sheet 0000\""},
        {R"({"layout": {"Across": 0}})", "the label layout is not usable"},
        {R"({"objects": [{"class": "TGPLabel", "properties": {"Font.Color": "#ff00"}}]})", "Invalid property value"},
        {R"({"objects": [{"class": "TGPLabel", "properties": {"Font.Color": "#gg0000"}}]})", "Invalid property value"},
    };
    for (const auto &row : refused) {
        const QString out = mDir.filePath(QStringLiteral("refused.qm"));
        QFile::remove(out);
        const Run r = qmtool({QStringLiteral("build"), write(QStringLiteral("refused.json"), row.json), out});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(row.message), r.err.constData());
        QVERIFY(!QFile::exists(out));
    }
}

QTEST_MAIN(TestQmtoolCli)
#include "tst_qmtool_cli.moc"
