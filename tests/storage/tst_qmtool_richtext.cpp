// Rich text through qmtool: the rtf command, RTFText in build and dump,
// and a built label file read and saved again by the program's filer.

#include "design/Gqmpanel32.h"
#include "objects/Register.h"
#include "objects/text/Gprichl.h"
#include "richtext/WPRichText.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out, err;
};

Run qmtool(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QMTOOL_PATH), args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile f(name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class Host : public QWidget, public TComponent
{
public:
    Host()
    {
        auto *m = new TWPRichText(this, this);
        m->SetName(QLatin1String(MasterRichTextName));
        panel = new TGQuillmarkPanel32(this);
        panel->SetObjectOwner(this);
    }
    ~Host() override { delete panel; }
    QByteArray ClassName() const override { return "Host"; }
    const TPropertyTable &Properties() const override
    {
        static const TPropertyTable table(nullptr, {});
        return table;
    }
    TGQuillmarkPanel32 *panel;
};

const QByteArray Sample = "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red0\\green0\\blue128;}"
                          "\\fs28\\b\\cf1 Name\\par\\pard\\qc\\fs20\\b0\\cf0\\ul caf\\'e9\\par}";

}  // namespace

class TestQmtoolRichText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { RegisterLabelClasses(); }
    void rtfCommand();
    void rtfCommandRefuses_data();
    void rtfCommandRefuses();
    void buildDumpAndSaveAgain();
};

void TestQmtoolRichText::rtfCommand()
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.rtf")), out = dir.filePath(QStringLiteral("out.rtf"));
    writeFile(in, Sample);
    const Run r = qmtool({QStringLiteral("rtf"), in, QStringLiteral("-o"), out});
    QCOMPARE(r.exitCode, 0);
    const QJsonArray paragraphs = QJsonDocument::fromJson(r.out).array();
    QCOMPARE(paragraphs.size(), 2);
    QCOMPARE(paragraphs[0].toObject()["align"].toString(), QStringLiteral("left"));
    QCOMPARE(paragraphs[1].toObject()["align"].toString(), QStringLiteral("center"));
    const QJsonObject name = paragraphs[0].toObject()["runs"].toArray()[0].toObject();
    QCOMPARE(name["text"].toString(), QStringLiteral("Name"));
    QCOMPARE(name["font"].toString(), QStringLiteral("Arial"));
    QCOMPARE(name["size"].toDouble(), 14.0);
    QCOMPARE(name["bold"].toBool(), true);
    QCOMPARE(name["color"].toString(), QStringLiteral("#000080"));
    const QJsonObject cafe = paragraphs[1].toObject()["runs"].toArray()[0].toObject();
    QCOMPARE(cafe["text"].toString(), QString::fromUtf8("café"));
    QCOMPARE(cafe["underline"].toBool(), true);
    QCOMPARE(cafe["color"].toString(), QStringLiteral("#000000"));
    // What -o wrote reads to the same JSON.
    const Run again = qmtool({QStringLiteral("rtf"), out});
    QCOMPARE(again.exitCode, 0);
    QCOMPARE(again.out, r.out);

    // A picture is a run of its own, sized in points.
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    writeFile(in, "{\\rtf1 a{\\pict\\pngblip\\picwgoal1440\\pichgoal720 " + png.toHex() + "}}");
    const Run withPicture = qmtool({QStringLiteral("rtf"), in});
    QCOMPARE(withPicture.exitCode, 0);
    const QJsonObject picture =
        QJsonDocument::fromJson(withPicture.out).array()[0].toObject()["runs"].toArray()[1].toObject()["picture"].toObject();
    QCOMPARE(picture, (QJsonObject{{"format", "png"}, {"width", 72}, {"height", 36}}));
}

void TestQmtoolRichText::rtfCommandRefuses_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("not rtf") << QByteArray("hello") << "Not an RTF document";
    QTest::newRow("nesting") << QByteArray("{\\rtf1") + QByteArray(300, '{') << "nested more than";
}

void TestQmtoolRichText::rtfCommandRefuses()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.rtf"));
    writeFile(in, content);
    const Run r = qmtool({QStringLiteral("rtf"), in});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
    QVERIFY(r.out.isEmpty());
}

void TestQmtoolRichText::buildDumpAndSaveAgain()
{
    QTemporaryDir dir;
    const QString rtfFile = dir.filePath(QStringLiteral("doc.rtf"));
    writeFile(rtfFile, Sample);
    // Named as reading names them, so the saved copy can match byte for byte.
    int number = 0;
    auto objectJson = [&number](const QJsonValue &rtfText) {
        return QJsonObject{{"class", "TGPRichBaseLabel"}, {"name", QStringLiteral("Component%1").arg(number++)},
                           {"properties", QJsonObject{{"Left", 10}, {"Top", 10}, {"Width", 190}, {"Height", 60},
                                                      {"RTFText", rtfText}}}};
    };
    const QJsonObject design{{"objects", QJsonArray{objectJson(QJsonObject{{"file", rtfFile}}),
                                                    objectJson(QJsonObject{{"rtf", "{\\rtf1 second}"}})}}};
    const QString json = dir.filePath(QStringLiteral("in.json")), qm = dir.filePath(QStringLiteral("out.qm"));
    writeFile(json, QJsonDocument(design).toJson());
    Run r = qmtool({QStringLiteral("build"), json, qm});
    QVERIFY2(r.exitCode == 0, r.err.constData());

    r = qmtool({QStringLiteral("dump"), qm});
    QCOMPARE(r.exitCode, 0);
    const QJsonArray objects = QJsonDocument::fromJson(r.out).object()["objects"].toArray();
    QCOMPARE(objects.size(), 2);
    const QJsonObject props = objects[0].toObject()["properties"].toObject();
    QCOMPARE(props["RTFText"].toObject()["rtf"].toString().toLatin1(), Sample);
    QCOMPARE(props["BorderStyle"].toString(), QStringLiteral("bsSingle"));
    QCOMPARE(objects[1].toObject()["properties"].toObject()["RTFText"].toObject()["rtf"].toString(),
             QStringLiteral("{\\rtf1 second}"));

    // The program opens it and saves it back byte for byte.
    QFile built(qm);
    QVERIFY(built.open(QIODevice::ReadOnly));
    const QByteArray original = built.readAll();
    Host host;
    TLabelLayout layout = TLabelLayout::Default();
    TGLabelObjectFiler filer;
    filer.ReadLabelFile(&host, host.panel, layout, qm);
    QCOMPARE(host.panel->Objects().size(), 2);
    const QString saved = dir.filePath(QStringLiteral("saved.qm"));
    filer.WriteLabelFile(host.panel, saved, layout);
    QFile again(saved);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), original);

    // Bad forms end in a message.
    const QJsonObject bad{{"objects", QJsonArray{objectJson(QJsonObject{{"rtf", "plain text"}})}}};
    writeFile(json, QJsonDocument(bad).toJson());
    r = qmtool({QStringLiteral("build"), json, qm});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("Not an RTF document"), r.err.constData());

    // Printed, the text is text.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("poppler-utils are not installed");
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    r = qmtool({QStringLiteral("print"), saved, QStringLiteral("-o"), pdf, QStringLiteral("--cells"), QStringLiteral("1")});
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QProcess text;
    text.start(pdftotext, {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(words.contains(QStringLiteral("Name")) && words.contains(QString::fromUtf8("café")), qPrintable(words));
}

QTEST_MAIN(TestQmtoolRichText)
#include "tst_qmtool_richtext.moc"
