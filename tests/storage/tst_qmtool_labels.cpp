// qmtool build and dump, run as a program: label files made from JSON, read
// back by the tool and by the program's own filer.

#include "design/Gqmpanel32.h"
#include "objects/Register.h"
#include "objects/graphic/Glshapes.h"
#include "objects/text/Gplabel.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"

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

Run qmtool(const QStringList &args)
{
    QProcess p;
    // The tool must find its own way without a display.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QMTOOL_PATH), args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QJsonObject parse(const QByteArray &text)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning("not JSON: %s", qPrintable(error.errorString()));
    return doc.object();
}

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

}  // namespace

class TestQmtoolLabels : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void buildThenDump_data();
    void buildThenDump();
    void dumpOutputBuildsTheSameDesign();
    void programReadsBuiltFile();
    void buildRefuses_data();
    void buildRefuses();
    void dumpFailures_data();
    void dumpFailures();

private:
    QString write(const QString &name, const QByteArray &data)
    {
        const QString path = mDir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(data);
        return path;
    }
    QTemporaryDir mDir;
};

void TestQmtoolLabels::initTestCase()
{
    QVERIFY(mDir.isValid());
    RegisterLabelClasses();
}

void TestQmtoolLabels::buildThenDump_data()
{
    QTest::addColumn<QByteArray>("object");  // class and properties

    QTest::newRow("text") << QByteArray(R"({"class": "TGPLabel", "properties": {
        "Left": 10, "Top": 12, "Caption": "Grüße", "Font.Name": "Times New Roman", "Font.Size": 14,
        "Font.Style": ["fsBold", "fsUnderline"], "Font.Color": 255, "Alignment": "taCenter",
        "Transparent": false, "BackColor": 2147483663, "DepthShadow": 3}})");
    QTest::newRow("shape") << QByteArray(R"({"class": "TGLabelShapes", "properties": {
        "Left": 40, "Top": 50, "Width": 60, "Height": 30, "Shape": "stRoundRect", "RoundPerc": 40,
        "Pen.Width": 3, "Pen.Style": "psDash", "Brush.Color": 65280, "Brush.Style": "bsCross",
        "Locked": true, "Unselectable": true, "Hint": "box"}})");
    QTest::newRow("line") << QByteArray(R"({"class": "TGLineShape", "properties": {
        "Left": 5, "Top": 6, "Width": 100, "Height": 2, "LineStyle": "stVertical", "Pen.Color": 8421504}})");
    QTest::newRow("counter") << QByteArray(R"({"class": "TGCounterLabel", "properties": {
        "Left": 1, "Top": 2, "TextBefore": "No. ", "TextAfter": "!", "Startingnumber": 1000,
        "RepeatEach": 3, "LeadingZeros": 6}})");
    QTest::newRow("symbol") << QByteArray(R"({"class": "TGSymbolLabel", "properties": {
        "Left": 7, "Top": 8, "Caption": "J", "Font.Name": "Wingdings", "Font.Size": 30, "Angle": 270}})");
    QTest::newRow("text block") << QByteArray(R"({"class": "TGMultiLineLabel", "properties": {
        "Left": 3, "Top": 4, "Width": 120, "Height": 60, "Items.Strings": ["first line", "", "Grüße"],
        "AutoSize": true, "Alignment": "taRightJustify", "WordWrap": true, "Font.Size": 12}})");
    QTest::newRow("circle text") << QByteArray(R"({"class": "TGPCircleText", "properties": {
        "Left": 9, "Top": 10, "Width": 150, "Height": 150, "StartingVector": "dg270", "Degrees": "dg180",
        "PopupMenu": null, "Mirror": true, "DrawLettersAngled": true, "BorderStyle": "bsSingle",
        "ControlTransparent": false, "BGColor": 65535, "Caption": "around", "Font.Style": ["fsBold"]}})");
    QTest::newRow("super text") << QByteArray(R"({"class": "TGSuperText", "properties": {
        "Left": 11, "Top": 12, "Width": 240, "Height": 80, "ShadowDepth": 4, "ShadowOrientation": "sdLeft",
        "Shadowcolor": 255, "BorderStyle": "bsSingle", "Caption": "Gold", "Font.Size": 36,
        "FillDirection": "gdDown", "GradientFromColor": 0, "GradientToColor": 16777215,
        "OutlineStyle": "psDash", "OutlineWidth": 2, "SurfaceType": "stGradientFill",
        "LastBitmapFileNameandPath": "/textures/wood.bmp", "Image.Data": null}})");
    QTest::newRow("barcode") << QByteArray(R"({"class": "TGBarcode", "properties": {
        "Left": 4, "Top": 5, "Width": 200, "Height": 90, "Symbology": 58, "Data": "Grüße 1000",
        "UseCounter": true, "ShowText": false, "Font.Name": "Liberation Serif", "ForeColor": 1193046,
        "Transparent": true, "ModuleWidth": 0.015, "Angle": 90, "QuietZones": false, "CheckDigit": true,
        "ErrorCorrection": 3, "SymbolSize": 5, "GS1Data": true}})");
    QTest::newRow("defaults only") << QByteArray(R"({"class": "TGLineShape"})");
}

void TestQmtoolLabels::buildThenDump()
{
    QFETCH(QByteArray, object);
    const QString in = write(QStringLiteral("in.json"),
                             R"({"layout": {"Name": "Test", "LabelWidth": 3.5, "Across": 2, "LabelShape": "EL"},
                                 "objects": [)" + object + "]}");
    const QString out = mDir.filePath(QStringLiteral("out.qm"));
    QFile::remove(out);
    const Run built = qmtool({QStringLiteral("build"), in, out});
    QVERIFY2(built.exitCode == 0, built.err.constData());
    const Run dumped = qmtool({QStringLiteral("dump"), out});
    QVERIFY2(dumped.exitCode == 0, dumped.err.constData());
    QVERIFY2(dumped.err.isEmpty(), dumped.err.constData());

    const QJsonObject doc = parse(dumped.out);
    const QJsonArray objects = doc.value(QLatin1String("objects")).toArray();
    QCOMPARE(objects.size(), 1);
    const QJsonObject given = QJsonDocument::fromJson(object).object();
    const QJsonObject read = objects.at(0).toObject();
    QCOMPARE(read.value(QLatin1String("class")), given.value(QLatin1String("class")));
    QCOMPARE(read.value(QLatin1String("name")).toString(), QStringLiteral("Component0"));
    const QJsonObject props = read.value(QLatin1String("properties")).toObject();
    const QJsonObject wanted = given.value(QLatin1String("properties")).toObject();
    for (auto it = wanted.begin(); it != wanted.end(); ++it)
        QVERIFY2(props.value(it.key()) == it.value(),
                 qPrintable(it.key() + QStringLiteral(": ")
                            + QJsonDocument(QJsonArray{props.value(it.key())}).toJson(QJsonDocument::Compact)));
    // Every published property is listed, defaults included.
    for (const char *path : {"Tag", "Left", "Top", "Width", "Height", "Cursor", "Hint", "Locked", "Unselectable"})
        QVERIFY2(props.contains(QLatin1String(path)), path);

    // The layout: the given fields, the rest from the default layout.
    const QJsonObject layout = doc.value(QLatin1String("layout")).toObject();
    QCOMPARE(layout.size(), 18);
    QCOMPARE(layout.value(QLatin1String("Name")).toString(), QStringLiteral("Test"));
    QCOMPARE(layout.value(QLatin1String("LabelWidth")).toDouble(), 3.5);
    QCOMPARE(layout.value(QLatin1String("Across")).toInt(), 2);
    QCOMPARE(layout.value(QLatin1String("LabelShape")).toString(), QStringLiteral("EL"));
    const TLabelLayout def = TLabelLayout::Default();
    QCOMPARE(layout.value(QLatin1String("Down")).toInt(), def.Down);
    QCOMPARE(layout.value(QLatin1String("LeftMargin")).toDouble(), def.LeftMargin);
    QCOMPARE(layout.value(QLatin1String("ProductType")).toString(), def.ProductType);
}

void TestQmtoolLabels::dumpOutputBuildsTheSameDesign()
{
    const QString in = write(QStringLiteral("two.json"), R"({"objects": [
        {"class": "TGLabelShapes", "properties": {"Left": 1, "Top": 2, "Width": 30, "Height": 40}},
        {"class": "TGPLabel", "properties": {"Left": 50, "Top": 60, "Caption": "on top"}}],
        "design": {"MergeSource": "addresses.csv", "MergeHeader": false}})");
    const QString first = mDir.filePath(QStringLiteral("first.qm"));
    const QString second = mDir.filePath(QStringLiteral("second.qm"));
    QCOMPARE(qmtool({QStringLiteral("build"), in, first}).exitCode, 0);
    const Run dump1 = qmtool({QStringLiteral("dump"), first});
    QCOMPARE(dump1.exitCode, 0);
    // The objects keep their order (the paint order) and every value.
    const QJsonArray objects = parse(dump1.out).value(QLatin1String("objects")).toArray();
    QCOMPARE(objects.at(0).toObject().value(QLatin1String("class")).toString(), QStringLiteral("TGLabelShapes"));
    QCOMPARE(objects.at(1).toObject().value(QLatin1String("class")).toString(), QStringLiteral("TGPLabel"));
    // The design's mail merge source goes with it.
    const QJsonObject designProperties = parse(dump1.out).value(QLatin1String("design")).toObject();
    QCOMPARE(designProperties.value(QLatin1String("MergeSource")).toString(), QStringLiteral("addresses.csv"));
    QCOMPARE(designProperties.value(QLatin1String("MergeHeader")).toBool(true), false);

    QCOMPARE(qmtool({QStringLiteral("build"), write(QStringLiteral("dump1.json"), dump1.out), second}).exitCode, 0);
    const Run dump2 = qmtool({QStringLiteral("dump"), second});
    QCOMPARE(dump2.exitCode, 0);
    QCOMPARE(dump2.out, dump1.out);
}

void TestQmtoolLabels::programReadsBuiltFile()
{
    const QString in = write(QStringLiteral("read.json"), R"({"layout": {"Name": "Round", "LabelHeight": 1.25},
        "objects": [
        {"class": "TGLabelShapes", "properties": {"Left": 40, "Top": 50, "Width": 60, "Height": 30,
                                                  "Shape": "stEllipse", "Pen.Width": 3}},
        {"class": "TGPLabel", "properties": {"Left": 5, "Top": 6, "Caption": "Hello", "Font.Name": "Arial"}}]})");
    const QString out = mDir.filePath(QStringLiteral("read.qm"));
    const Run built = qmtool({QStringLiteral("build"), in, out});
    QVERIFY2(built.exitCode == 0, built.err.constData());

    TOwner owner;
    QWidget host;
    auto *panel = new TGQuillmarkPanel32(&host);
    panel->SetObjectOwner(&owner);
    TLabelLayout layout;
    TGLabelObjectFiler filer;
    filer.ReadLabelFile(&owner, panel, layout, out);
    QCOMPARE(layout.Name, QStringLiteral("Round"));
    QCOMPARE(layout.LabelHeight, 1.25);
    QCOMPARE(layout.PageWidth, TLabelLayout::Default().PageWidth);
    const QList<TGGraphicControl *> objects = panel->Objects();
    QCOMPARE(objects.size(), 2);
    auto *shape = dynamic_cast<TGLabelShapes *>(objects.at(0));
    QVERIFY(shape);
    QCOMPARE(shape->geometry(), QRect(40, 50, 60, 30));
    QCOMPARE(shape->Shape(), stEllipse);
    QCOMPARE(shape->Pen()->Width(), 3);
    auto *label = dynamic_cast<TGPLabel *>(objects.at(1));
    QVERIFY(label);
    QCOMPARE(label->Caption(), QStringLiteral("Hello"));
    QCOMPARE(label->pos(), QPoint(5, 6));
    delete panel;
}

void TestQmtoolLabels::buildRefuses_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("message");  // the first line of stderr starts with it

    QTest::newRow("unknown class") << QByteArray(R"({"objects": [{"class": "TGNoSuch"}]})")
                                   << "Class TGNoSuch not found";
    QTest::newRow("unknown property") << QByteArray(R"({"objects": [{"class": "TGPLabel", "properties": {"Colour": 1}}]})")
                                      << "Property does not exist";
    QTest::newRow("unknown sub-property")
        << QByteArray(R"({"objects": [{"class": "TGPLabel", "properties": {"Font.Weight": 700}}]})")
        << "Property does not exist";
    QTest::newRow("unknown identifier")
        << QByteArray(R"({"objects": [{"class": "TGLineShape", "properties": {"LineStyle": "stDiagonal"}}]})")
        << "Invalid property value";
    QTest::newRow("second object bad, first fine")
        << QByteArray(R"({"objects": [{"class": "TGLineShape"}, {"class": "TGPLabel", "properties": {"Left": "x"}}]})")
        << "Invalid property value";
    QTest::newRow("bad JSON") << QByteArray(R"({"objects": [{"class": "TGPLabel"}})")
                              << "qmtool build: " ;
    QTest::newRow("unknown layout field") << QByteArray(R"({"layout": {"Width": 2}})") << "qmtool build: ";
    QTest::newRow("layout string too long")
        << QByteArray(R"({"layout": {"PrinterType": "LJX"}})") << "qmtool build: ";
    QTest::newRow("objects not a list") << QByteArray(R"({"objects": {"class": "TGPLabel"}})") << "qmtool build: ";
}

void TestQmtoolLabels::buildRefuses()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, message);
    const QString in = write(QStringLiteral("bad.json"), input);
    // An existing file stays as it was; a new one is not made.
    const QString existing = write(QStringLiteral("existing.qm"), "old contents");
    const QString fresh = mDir.filePath(QStringLiteral("fresh.qm"));
    QFile::remove(fresh);

    for (const QString &out : {existing, fresh}) {
        const Run run = qmtool({QStringLiteral("build"), in, out});
        QCOMPARE(run.exitCode, 1);
        const QString firstLine = QString::fromUtf8(run.err).section(QLatin1Char('\n'), 0, 0);
        QVERIFY2(firstLine.startsWith(message), qPrintable(firstLine));
        QVERIFY(run.out.isEmpty());
    }
    QFile f(existing);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("old contents"));
    QVERIFY(!QFile::exists(fresh));
}

void TestQmtoolLabels::dumpFailures_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");

    // A valid file to cut short.
    TOwner owner;
    QWidget host;
    auto *panel = new TGQuillmarkPanel32(&host);
    TComponent *o = TClassRegistry::instance().Create("TGLabelShapes", &owner);
    o->SetParentComponent(panel);
    const QByteArray whole = TGLabelObjectFiler::LabelFileBytes(panel, TLabelLayout::Default());
    delete panel;

    QTest::newRow("cut in the layout") << whole.left(whole.size() - 20) << "Stream read error";
    QTest::newRow("not a label file") << QByteArray("plain text") << "Invalid property value";
    QTest::newRow("unknown class") << QByteArray("\x01TPF0\x05TGXyz\x01" "A\x00\x00\x00", 16)
                                   << "Class TGXyz not found";
    QTest::newRow("missing") << QByteArray() << "the file does not exist";
}

void TestQmtoolLabels::dumpFailures()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    const QString path = data.isEmpty() ? mDir.filePath(QStringLiteral("nothing.qm"))
                                        : write(QStringLiteral("damaged.qm"), data);
    const Run run = qmtool({QStringLiteral("dump"), path});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.isEmpty());
    // The file's name first, then what went wrong.
    QVERIFY2(QString::fromUtf8(run.err).startsWith(path + QStringLiteral(": ") + message), run.err.constData());
}

QTEST_MAIN(TestQmtoolLabels)
#include "tst_qmtool_labels.moc"
