// qmtool inspect, run as a program on streams written here.

#include "storage/Stream.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out, err;
};

Run inspect(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral(QMTOOL_PATH), {QStringLiteral("inspect"), path});
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QByteArray shortName(const QByteArray &name)
{
    return char(name.size()) + name;
}

}  // namespace

class TestQmtool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(mDir.isValid()); }
    void everyTag();
    void damaged_data();
    void damaged();
    void missingFile();

private:
    QString file(const QString &name, const QByteArray &data)
    {
        const QString path = mDir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(data);
        return path;
    }
    QTemporaryDir mDir;
};

void TestQmtool::everyTag()
{
    PropertyWriter w;
    // A label-file-like list holding one component with a prefix and a child.
    w.writeListBegin();
    w.writeSignature();
    w.writeRaw(QByteArray::fromHex("F2 03 01 00"));  // flags 2, position 1 as int16
    w.writeShortName("TGPLabel");
    w.writeShortName("Label\xE9");
    w.writePropName("Left");
    w.writeInteger(12);
    w.writePropName("Font.Style");
    w.writeSet(0b11, {"fsBold", "fsItalic"});
    w.writePropName("Items");
    w.writeRaw(QByteArray(1, char(vaCollection)));
    w.writeListBegin();
    w.writePropName("Value");
    w.writeInteger(70000);
    w.writeListEnd();
    w.writeListEnd();
    w.writeListEnd();
    w.writeShortName("TChild");
    w.writeShortName("Kid");
    w.writeListEnd();
    w.writeListEnd();
    w.writeListEnd();
    w.writeListEnd();
    // Then every plain value kind at the top level.
    w.writeInteger(-200);
    w.writeFloat(0.188);
    w.writeString(QStringLiteral("a \"quoted\" \u20AC"));
    w.writeIdent("clGray");
    w.writeBoolean(false);
    w.writeBoolean(true);
    w.writeBinary(QByteArray("\0\xFF", 2));
    w.writeString(QString(300, u'L'));
    w.writeIdent("nil");
    w.writeFloat(std::numeric_limits<double>::infinity());

    const Run run = inspect(file(QStringLiteral("all.bin"), w.data()));
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(run.out, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonArray top = doc.array();
    QCOMPARE(top.size(), 11);

    QCOMPARE(top[0]["type"].toString(), QStringLiteral("list"));
    const QJsonObject comp = top[0]["value"][0].toObject();
    QCOMPARE(comp["type"].toString(), QStringLiteral("component"));
    const QJsonObject c = comp["value"].toObject();
    QCOMPARE(c["class"].toString(), QStringLiteral("TGPLabel"));
    QCOMPARE(c["name"].toString(), QStringLiteral("Label\u00E9"));
    QCOMPARE(c["flags"].toInt(), 2);
    QCOMPARE(c["position"].toInt(), 1);
    const QJsonArray props = c["properties"].toArray();
    QCOMPARE(props.size(), 3);
    QCOMPARE(props[0]["name"].toString(), QStringLiteral("Left"));
    QCOMPARE(props[0]["value"].toObject(), QJsonObject({{"type", "int8"}, {"value", 12}}));
    QCOMPARE(props[1]["value"]["type"].toString(), QStringLiteral("set"));
    QCOMPARE(props[1]["value"]["value"].toArray(), QJsonArray({"fsBold", "fsItalic"}));
    QCOMPARE(props[2]["value"]["type"].toString(), QStringLiteral("collection"));
    const QJsonArray item = props[2]["value"]["value"][0].toArray();
    QCOMPARE(item[0]["name"].toString(), QStringLiteral("Value"));
    QCOMPARE(item[0]["value"].toObject(), QJsonObject({{"type", "int32"}, {"value", 70000}}));
    const QJsonArray children = c["children"].toArray();
    QCOMPARE(children.size(), 1);
    QCOMPARE(children[0]["class"].toString(), QStringLiteral("TChild"));
    QVERIFY(children[0]["position"].isNull());
    QCOMPARE(children[0]["flags"].toInt(), 0);

    QCOMPARE(top[1].toObject(), QJsonObject({{"type", "int16"}, {"value", -200}}));
    QCOMPARE(top[2]["type"].toString(), QStringLiteral("extended"));
    QCOMPARE(top[2]["value"].toDouble(), 0.188);
    QVERIFY(run.out.contains("\"value\":0.188}"));  // shortest form, not 0.18799999...
    QCOMPARE(top[3].toObject(), QJsonObject({{"type", "string"}, {"value", "a \"quoted\" \u20AC"}}));
    QCOMPARE(top[4].toObject(), QJsonObject({{"type", "ident"}, {"value", "clGray"}}));
    QCOMPARE(top[5].toObject(), QJsonObject({{"type", "false"}, {"value", QJsonValue::Null}}));
    QCOMPARE(top[6].toObject(), QJsonObject({{"type", "true"}, {"value", QJsonValue::Null}}));
    QCOMPARE(top[7]["value"].toObject(), QJsonObject({{"length", 2}, {"base64", "AP8="}}));
    QCOMPARE(top[8]["type"].toString(), QStringLiteral("lstring"));
    QCOMPARE(top[8]["value"].toString().size(), 300);
    QCOMPARE(top[9].toObject(), QJsonObject({{"type", "nil"}, {"value", QJsonValue::Null}}));
    QCOMPARE(top[10]["value"].toString(), QStringLiteral("Infinity"));
}

void TestQmtool::damaged_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("truncated list") << QByteArray::fromHex("01 02") << QByteArray("Stream read error");
    QTest::newRow("huge string") << QByteArray::fromHex("0C FF FF FF 7F 41") << QByteArray("String too long");
    QTest::newRow("bad tag") << QByteArray::fromHex("01 63 00") << QByteArray("Invalid property value");
    QTest::newRow("stray end of list") << QByteArray::fromHex("00") << QByteArray("Invalid property value");
    QTest::newRow("deep lists") << QByteArray(5000, '\x01') + QByteArray(5000, '\0') << QByteArray("Invalid stream format");
    QTest::newRow("truncated component")
        << QByteArray("TPF0" + shortName("TGPLabel") + shortName("L") + shortName("Left")) << QByteArray("Stream read error");
}

void TestQmtool::damaged()
{
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, message);
    const QString path = file(QStringLiteral("bad.bin"), data);
    const Run run = inspect(path);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err.trimmed(), QFile::encodeName(path) + ": " + message);
    QVERIFY(run.out.isEmpty());
}

void TestQmtool::missingFile()
{
    const Run run = inspect(mDir.filePath(QStringLiteral("no-such-file.qm")));
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("no-such-file.qm"));
}

QTEST_MAIN(TestQmtool)
#include "tst_qmtool.moc"
