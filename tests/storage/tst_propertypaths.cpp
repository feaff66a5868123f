// Properties by stream path as JSON (qmtool dump and build), on a component
// with a property of every kind.

#include "TestClasses.h"

#include "Json.h"
#include "PropertyPaths.h"

#include <QtTest>

namespace {

JsonValue json(const char *text)
{
    return parseJson(QByteArray(text));
}

// The form a value has in a document, for messages and comparisons.
QByteArray compact(const JsonValue &v)
{
    return writeJson(v).simplified();
}

struct Owner : TTestForm
{
};

}  // namespace

class TestPropertyPaths : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void valueForms_data();
    void valueForms();
    void everyKindRoundTrips();
    void referencesNameComponentsOfTheOwner();
    void refused_data();
    void refused();
    void jsonDocuments_data();
    void jsonDocuments();
};

void TestPropertyPaths::valueForms_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("assigned");  // JSON, or empty: the object as constructed
    QTest::addColumn<QByteArray>("listed");

    QTest::newRow("integer default") << "Number" << QByteArray() << QByteArray("0");
    QTest::newRow("negative integer") << "Total" << QByteArray("-70000") << QByteArray("-70000");
    QTest::newRow("colour") << "Colour" << QByteArray("255") << QByteArray("255");
    QTest::newRow("system colour unsigned") << "Colour" << QByteArray("2147483663") << QByteArray("2147483663");
    QTest::newRow("colour by name") << "Colour" << QByteArray("\"clTeal\"") << QByteArray("8421376");
    QTest::newRow("cursor by name") << "Cursor" << QByteArray("\"crHelp\"") << QByteArray("-20");
    QTest::newRow("character") << "Letter" << QByteArray("\"\u00e9\"") << QByteArray("\"\u00e9\"");
    QTest::newRow("enumeration") << "Shade" << QByteArray("\"shDark\"") << QByteArray("\"shDark\"");
    QTest::newRow("enumeration any case") << "Shade" << QByteArray("\"SHNONE\"") << QByteArray("\"shNone\"");
    QTest::newRow("Boolean") << "Flag" << QByteArray("true") << QByteArray("true");
    QTest::newRow("set in ordinal order") << "Marks" << QByteArray("[\"mkD\", \"mkB\"]")
                                          << QByteArray("[ \"mkB\", \"mkD\" ]");
    QTest::newRow("empty set") << "Marks" << QByteArray("[]") << QByteArray("[]");
    QTest::newRow("float") << "Ratio" << QByteArray("0.1") << QByteArray("0.1");
    QTest::newRow("float infinity") << "Ratio" << QByteArray("\"-Infinity\"") << QByteArray("\"-Infinity\"");
    QTest::newRow("string") << "Caption" << QByteArray("\"a \\\"b\\\"\\n\"") << QByteArray("\"a \\\"b\\\"\\n\"");
    QTest::newRow("font name") << "Font.Name" << QByteArray("\"Courier New\"") << QByteArray("\"Courier New\"");
    QTest::newRow("font style") << "Font.Style" << QByteArray("[\"fsItalic\"]") << QByteArray("[ \"fsItalic\" ]");
    QTest::newRow("charset by name") << "Font.Charset" << QByteArray("\"SYMBOL_CHARSET\"") << QByteArray("2");
    QTest::newRow("pen width") << "Pen.Width" << QByteArray("4") << QByteArray("4");
    QTest::newRow("lines") << "Lines.Strings" << QByteArray("[\"one\", \"\", \"three\"]")
                           << QByteArray("[ \"one\", \"\", \"three\" ]");
    QTest::newRow("no lines") << "Lines.Strings" << QByteArray() << QByteArray("[]");
    QTest::newRow("picture") << "Picture.Data" << QByteArray("{\"class\": \"TBitmap\", \"width\": 7, \"height\": 3}")
                             << QByteArray("{ \"class\": \"TBitmap\", \"width\": 7, \"height\": 3 }");
    QTest::newRow("empty picture") << "Picture.Data" << QByteArray() << QByteArray("null");
    QTest::newRow("bitmap") << "Glyph.Data" << QByteArray("{\"class\": \"TBitmap\", \"width\": 2, \"height\": 5}")
                            << QByteArray("{ \"class\": \"TBitmap\", \"width\": 2, \"height\": 5 }");
    QTest::newRow("collection") << "Items" << QByteArray("[{\"Caption\": \"x\", \"Value\": 3}]")
                                << QByteArray("[ { \"Caption\": \"x\", \"Value\": 3 } ]");
    QTest::newRow("no reference") << "Buddy" << QByteArray() << QByteArray("null");
    QTest::newRow("read-only") << "Serial" << QByteArray() << QByteArray("7");
}

void TestPropertyPaths::valueForms()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, assigned);
    QFETCH(QByteArray, listed);

    TTestObject object;
    if (!assigned.isEmpty())
        propertypaths::Assign(object, path, parseJson(assigned));
    const JsonValue values = propertypaths::Values(object);
    const JsonValue *value = values.member(path);
    QVERIFY2(value, qPrintable(path));
    // A picture lists its stored form after its class and size.
    const QByteArray shown = compact(*value);
    if (listed.startsWith("{ \"class\"") && shown.contains("\"bytes\""))
        QCOMPARE(shown.left(listed.size() - 2), listed.left(listed.size() - 2));
    else
        QCOMPARE(shown, listed);
}

void TestPropertyPaths::everyKindRoundTrips()
{
    TTestObject a;
    const JsonValue given = json(R"({
            "Number": 12, "Total": -3, "Colour": 2147483663, "Cursor": -4, "Letter": "z",
            "Shade": "shNone", "Flag": true, "Visible": false, "Marks": ["mkA", "mkC"],
            "Ratio": 2.5, "Caption": "text", "Font.Name": "Times New Roman", "Font.Height": -20,
            "Font.Style": ["fsBold", "fsStrikeOut"], "Pen.Style": "psDot", "Brush.Color": 65535,
            "Lines.Strings": ["a", "b"], "Picture.Data": {"class": "TBitmap", "width": 4, "height": 4},
            "Items": [{"Caption": "i1", "Value": 1}, {"Caption": "i2", "Value": 2}]})");
    for (const auto &[path, value] : given.members())
        propertypaths::Assign(a, path, value);

    const JsonValue listed = propertypaths::Values(a);
    for (const auto &[path, value] : given.members()) {
        QVERIFY2(listed.member(path), qPrintable(path));
        const QByteArray shown = compact(*listed.member(path)), expected = compact(value);
        if (path == QLatin1String("Picture.Data"))  // then the stored form
            QCOMPARE(shown.left(expected.size() - 2), expected.left(expected.size() - 2));
        else
            QCOMPARE(shown, expected);
    }
    // What is listed assigns back to the same values, read-only ones included.
    TTestObject b;
    for (const auto &[path, value] : listed.members())
        propertypaths::Assign(b, path, value);
    QCOMPARE(compact(propertypaths::Values(b)), compact(listed));
    QCOMPARE(b.Items()->Count(), 2);
    QCOMPARE(b.Picture()->Graphic()->ToImage().pixelColor(1, 1), QColor(Qt::white));

    // Clearing a picture and lines.
    propertypaths::Assign(b, QStringLiteral("Picture.Data"), JsonValue());
    propertypaths::Assign(b, QStringLiteral("Lines.Strings"), JsonValue::array());
    QVERIFY(b.Picture()->IsEmpty());
    QVERIFY(b.Lines()->Lines().isEmpty());
}

void TestPropertyPaths::referencesNameComponentsOfTheOwner()
{
    Owner owner;
    auto *a = new TTestObject(&owner);
    a->SetName(QStringLiteral("First"));
    auto *b = new TTestObject(&owner);
    propertypaths::Assign(*b, QStringLiteral("Buddy"), JsonValue::string(QStringLiteral("first")));
    QCOMPARE(b->Buddy(), a);
    QCOMPARE(compact(*propertypaths::Values(*b).member(QStringLiteral("Buddy"))), QByteArray("\"First\""));
    propertypaths::Assign(*b, QStringLiteral("Buddy"), JsonValue());
    QCOMPARE(b->Buddy(), nullptr);
    QVERIFY_THROWS_EXCEPTION(EStreamError, propertypaths::Assign(*b, QStringLiteral("Buddy"),
                                                                 JsonValue::string(QStringLiteral("Nobody"))));
}

void TestPropertyPaths::refused_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("message");

    const QString missing = QStringLiteral("Property does not exist");
    const QString invalid = QStringLiteral("Invalid property value");
    QTest::newRow("unknown") << "Colour2" << QByteArray("1") << missing;
    QTest::newRow("unknown in a sub-object") << "Font.Colour" << QByteArray("1") << missing;
    QTest::newRow("unknown sub-object") << "Fnt.Name" << QByteArray("\"x\"") << missing;
    QTest::newRow("a string is no sub-object") << "Caption.Length" << QByteArray("1") << missing;
    QTest::newRow("defined name on the wrong object") << "Font.Strings" << QByteArray("[]") << missing;
    QTest::newRow("empty path") << "" << QByteArray("1") << missing;
    QTest::newRow("unknown identifier") << "Shade" << QByteArray("\"shPurple\"") << invalid;
    QTest::newRow("unknown colour name") << "Colour" << QByteArray("\"clRainbow\"") << invalid;
    QTest::newRow("fraction for an integer") << "Number" << QByteArray("1.5") << invalid;
    QTest::newRow("integer out of range") << "Number" << QByteArray("3000000000") << invalid;
    QTest::newRow("colour out of range") << "Colour" << QByteArray("4294967296") << invalid;
    QTest::newRow("string for an integer") << "Number" << QByteArray("\"12\"") << invalid;
    QTest::newRow("number for a string") << "Caption" << QByteArray("12") << invalid;
    QTest::newRow("two characters") << "Letter" << QByteArray("\"ab\"") << invalid;
    QTest::newRow("unknown set member") << "Marks" << QByteArray("[\"mkA\", \"mkZ\"]") << invalid;
    QTest::newRow("number for a Boolean") << "Flag" << QByteArray("1") << invalid;
    QTest::newRow("null for an integer") << "Number" << QByteArray("null") << invalid;
    QTest::newRow("value for a sub-object") << "Font" << QByteArray("{}") << invalid;
    QTest::newRow("line not a string") << "Lines.Strings" << QByteArray("[1]") << invalid;
    QTest::newRow("picture of another class") << "Picture.Data"
                                              << QByteArray("{\"class\": \"TIcon\", \"width\": 1, \"height\": 1}")
                                              << invalid;
    QTest::newRow("picture without size") << "Picture.Data" << QByteArray("{\"class\": \"TBitmap\"}") << invalid;
    QTest::newRow("picture absurdly large") << "Glyph.Data"
                                            << QByteArray("{\"class\": \"TBitmap\", \"width\": 100000, \"height\": 100000}")
                                            << invalid;
    QTest::newRow("event") << "OnClick" << QByteArray("\"ButtonClick\"") << invalid;
    QTest::newRow("read-only, other value") << "Serial" << QByteArray("8") << QStringLiteral("Property is read-only");
}

void TestPropertyPaths::refused()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, value);
    QFETCH(QString, message);

    TTestObject object;
    object.SetNumber(5);
    const QByteArray before = compact(propertypaths::Values(object));
    try {
        propertypaths::Assign(object, path, parseJson(value));
        QFAIL("no error");
    } catch (const EStreamError &e) {
        QCOMPARE(e.message(), message);
    }
    QCOMPARE(compact(propertypaths::Values(object)), before);
}

void TestPropertyPaths::jsonDocuments_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");  // empty: valid, and written back the same

    QTest::newRow("members keep their order") << QByteArray(R"({"b": 1, "a": [true, null, "x"]})") << QString();
    QTest::newRow("escapes") << QByteArray(R"(["\u00e9\ud83d\ude00\t\"\\"])") << QString();
    QTest::newRow("numbers") << QByteArray("[-0.5, 1e3, 4294967295]") << QString();
    QTest::newRow("trailing comma") << QByteArray("[1,]") << QStringLiteral("line 1, column 4: unexpected character");
    QTest::newRow("second line") << QByteArray("{\n  \"a\" 1}") << QStringLiteral("line 2, column 7: expected ':'");
    QTest::newRow("two values") << QByteArray("1 2") << QStringLiteral("line 1, column 3: unexpected text after the value");
    QTest::newRow("unterminated") << QByteArray("\"abc") << QStringLiteral("line 1, column 5: unterminated string");
    QTest::newRow("lone surrogate") << QByteArray(R"(["\udc00"])") << QStringLiteral("line 1, column 9: unpaired surrogate in a \\u escape");
    QTest::newRow("huge number") << QByteArray("1e999") << QStringLiteral("line 1, column 6: number out of range");
    QTest::newRow("not UTF-8") << QByteArray("\"\xff\"") << QStringLiteral("the text is not UTF-8");
    QTest::newRow("nested too deeply") << QByteArray(300, '[') << QStringLiteral("line 1, column 257: nested too deeply");
    QTest::newRow("empty") << QByteArray("  ") << QStringLiteral("line 1, column 3: unexpected end of the document");
}

void TestPropertyPaths::jsonDocuments()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    try {
        const JsonValue v = parseJson(text);
        QVERIFY2(error.isEmpty(), "accepted");
        QVERIFY(parseJson(writeJson(v)) == v);
        if (text.startsWith('{'))
            QCOMPARE(v.members().first().first, QStringLiteral("b"));
    } catch (const JsonError &e) {
        QCOMPARE(e.message(), error);
    }
}

QTEST_MAIN(TestPropertyPaths)
#include "tst_propertypaths.moc"
