// Byte-exact encoding, reading and damaged input of the property stream.

#include "TestClasses.h"

#include <QBuffer>
#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray shortName(const QByteArray &name)
{
    return char(name.size()) + name;
}

// The property records of an object, as (name, raw value bytes).
QList<QPair<QByteArray, QByteArray>> records(const TPersistent &object)
{
    PropertyWriter w;
    w.writeProperties(object);
    PropertyReader r(w.data());
    QList<QPair<QByteArray, QByteArray>> out;
    while (!r.atEnd()) {
        const QByteArray name = r.readShortName();
        const qint64 start = r.position();
        r.skipValue();
        out.append({name, w.data().mid(start, r.position() - start)});
    }
    return out;
}

QByteArray record(const TPersistent &object, const QByteArray &name)
{
    for (const auto &rec : records(object))
        if (rec.first == name)
            return rec.second;
    return QByteArray("absent");
}

// A root record of TTestObject holding only the given property records.
QByteArray objectStream(const QByteArray &props, const QByteArray &name = "Obj")
{
    return "TPF0" + shortName("TTestObject") + shortName(name) + props + '\0' + '\0';
}

QByteArray prop(const QByteArray &name, const QByteArray &value)
{
    return shortName(name) + value;
}

// Reads a sequence of root components ended by tag 0 into `owner`.
QList<TComponent *> readAll(const QByteArray &data, TComponent *owner, QObject *parent = nullptr)
{
    PropertyReader r(data);
    QList<TComponent *> read;
    r.readRootComponents(owner, parent, [&](TComponent *c) { read.append(c); });
    r.readListEnd();
    return read;
}

TTestObject *readOne(const QByteArray &stream, TComponent *owner)
{
    const QList<TComponent *> read = readAll(stream + '\0', owner);
    return read.size() == 1 ? dynamic_cast<TTestObject *>(read.first()) : nullptr;
}

QByteArray writeRoot(const TComponent &c)
{
    PropertyWriter w;
    w.writeRootComponent(c);
    return w.data();
}

QImage sampleImage()
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(2, 1, qRgb(0, 0, 255));
    return image;
}

}  // namespace

class TestStream : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { RegisterTestClasses(); }

    void defaultRecordBytes();
    void integerSizes_data();
    void integerSizes();
    void namedIntegers_data();
    void namedIntegers();
    void ordinalDefaults_data();
    void ordinalDefaults();
    void stringLengths();
    void componentNameCut();
    void floats();
    void floatFromIntegerTag();
    void setWithUnknownMember();
    void subObjectPaths();
    void referencesAndEvents();
    void eventsOnRead();
    void collection();
    void fullRoundTrip();
    void valueRoundTrip();
    void prefixAndChildren();
    void nameHookAndReferencesAfterRename();
    void unknownClassKeepsEarlierObjects();
    void failedReadDeletesQObject();
    void damagedStreams_data();
    void damagedStreams();
    void truncatedEverywhere();
    void mutatedBytes();

    void extendedReference_data();
    void extendedReference();
    void extendedDecodeEdges_data();
    void extendedDecodeEdges();
    void extendedRoundTrip();
    void cp1252AllBytes();
    void cp1252Encode_data();
    void cp1252Encode();
};

void TestStream::defaultRecordBytes()
{
    TTestObject o;
    o.SetName(QStringLiteral("Obj1"));
    const QByteArray expected = "TPF0" + shortName("TTestObject") + shortName("Obj1")
        + prop("Total", hex("02 00"))
        + prop("Visible", hex("09"))
        + prop("Ratio", hex("05 00000000000000C0FF3F"))
        + prop("Font.Color", hex("07") + shortName("clBlack"))
        + prop("Font.Height", hex("02 F3"))
        + prop("Font.Name", hex("06") + shortName("Arial"))
        + hex("00 00");
    QCOMPARE(writeRoot(o).toHex(' '), expected.toHex(' '));
}

void TestStream::integerSizes_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("127") << 127 << hex("02 7F");
    QTest::newRow("128") << 128 << hex("03 80 00");
    QTest::newRow("-128") << -128 << hex("02 80");
    QTest::newRow("-129") << -129 << hex("03 7F FF");
    QTest::newRow("32767") << 32767 << hex("03 FF 7F");
    QTest::newRow("32768") << 32768 << hex("04 00 80 00 00");
    QTest::newRow("-32769") << -32769 << hex("04 FF 7F FF FF");
    QTest::newRow("min") << std::numeric_limits<int>::min() << hex("04 00 00 00 80");
}

void TestStream::integerSizes()
{
    QFETCH(int, value);
    QFETCH(QByteArray, bytes);
    TTestObject o;
    o.SetNumber(value);
    QCOMPARE(record(o, "Number").toHex(' '), bytes.toHex(' '));

    TTestForm owner;
    TTestObject *back = readOne(objectStream(prop("Number", bytes)), &owner);
    QVERIFY(back);
    QCOMPARE(back->Number(), value);
}

void TestStream::namedIntegers_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("clGray") << QByteArray("Colour") << int(0x808080) << QByteArray(hex("07") + shortName("clGray"));
    QTest::newRow("0x808081") << QByteArray("Colour") << int(0x808081) << hex("04 81 80 80 00");
    QTest::newRow("clBtnFace") << QByteArray("Colour") << int(0x8000000F) << QByteArray(hex("07") + shortName("clBtnFace"));
    QTest::newRow("unnamed system") << QByteArray("Colour") << int(0x80000040) << hex("04 40 00 00 80");
    QTest::newRow("clNone") << QByteArray("Colour") << int(0x1FFFFFFF) << QByteArray(hex("07") + shortName("clNone"));
    QTest::newRow("crHourGlass") << QByteArray("Cursor") << -11 << QByteArray(hex("07") + shortName("crHourGlass"));
    QTest::newRow("crHelp") << QByteArray("Cursor") << -20 << QByteArray(hex("07") + shortName("crHelp"));
    QTest::newRow("cursor 5") << QByteArray("Cursor") << 5 << hex("02 05");
}

void TestStream::namedIntegers()
{
    QFETCH(QByteArray, property);
    QFETCH(int, value);
    QFETCH(QByteArray, bytes);
    TTestObject o;
    if (property == "Colour")
        o.SetColour(value);
    else
        o.SetCursor(value);
    QCOMPARE(record(o, property).toHex(' '), bytes.toHex(' '));

    TTestForm owner;
    TTestObject *back = readOne(objectStream(prop(property, bytes)), &owner);
    QVERIFY(back);
    QCOMPARE(property == "Colour" ? back->Colour() : back->Cursor(), value);
}

void TestStream::ordinalDefaults_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("bytes");  // "absent" when not written
    QTest::newRow("Boolean = default") << QByteArray("Flag") << 0 << QByteArray("absent");
    QTest::newRow("Boolean != default") << QByteArray("Flag") << 1 << hex("09");
    QTest::newRow("Boolean no default, true") << QByteArray("Visible") << 1 << hex("09");
    QTest::newRow("Boolean no default, false") << QByteArray("Visible") << 0 << hex("08");
    QTest::newRow("enum default") << QByteArray("Shade") << int(shLight) << QByteArray("absent");
    QTest::newRow("enum") << QByteArray("Shade") << int(shDark) << QByteArray(hex("07") + shortName("shDark"));
    QTest::newRow("char default") << QByteArray("Letter") << int('A') << QByteArray("absent");
    QTest::newRow("char") << QByteArray("Letter") << int('B') << hex("06 01 42");
    QTest::newRow("char high") << QByteArray("Letter") << 0xE9 << hex("06 01 E9");
    QTest::newRow("set empty = default") << QByteArray("Marks") << 0 << QByteArray("absent");
    QTest::newRow("set") << QByteArray("Marks") << 0b1101
                         << QByteArray(hex("0B") + shortName("mkA") + shortName("mkC") + shortName("mkD") + '\0');
    QTest::newRow("integer no default, 0") << QByteArray("Total") << 0 << hex("02 00");
}

void TestStream::ordinalDefaults()
{
    QFETCH(QByteArray, property);
    QFETCH(int, value);
    QFETCH(QByteArray, bytes);
    TTestObject o;
    const TPropInfo *p = o.Properties().find(property);
    QVERIFY(p);
    p->setOrd(o, value);
    QCOMPARE(record(o, property).toHex(' '), bytes.toHex(' '));

    if (bytes != "absent") {
        TTestForm owner;
        TTestObject *back = readOne(objectStream(prop(property, bytes)), &owner);
        QVERIFY(back);
        QCOMPARE(p->getOrd(*back), qint64(value));
    }
}

void TestStream::stringLengths()
{
    TTestObject o;
    o.SetCaption(QString(255, u'x'));
    QCOMPARE(record(o, "Caption"), hex("06 FF") + QByteArray(255, 'x'));
    o.SetCaption(QString(256, u'x'));
    QCOMPARE(record(o, "Caption"), hex("0C 00 01 00 00") + QByteArray(256, 'x'));
    o.SetCaption(QString());
    QCOMPARE(record(o, "Caption"), QByteArray("absent"));

    // Both kinds read back; text goes through Windows-1252.
    TTestForm owner;
    TTestObject *a = readOne(objectStream(prop("Caption", hex("0C 03 00 00 00") + "\x80\xE9z")), &owner);
    QVERIFY(a);
    QCOMPARE(a->Caption(), QStringLiteral("\u20AC\u00E9z"));
    o.SetCaption(QString(300, u'\u00E9'));
    TTestObject *b = readOne(writeRoot(o), &owner);
    QVERIFY(b);
    QCOMPARE(b->Caption(), o.Caption());
}

void TestStream::componentNameCut()
{
    TTestObject o;
    o.SetName(QString(300, u'n'));
    const QByteArray data = writeRoot(o);
    QCOMPARE(data.mid(4 + 12, 256), hex("FF") + QByteArray(255, 'n'));
    TTestForm owner;
    TTestObject *back = readOne(data, &owner);
    QVERIFY(back);
    QCOMPARE(back->Name(), QString(255, u'n'));
}

void TestStream::floats()
{
    TTestObject o;
    o.SetRatio(0.0);
    QCOMPARE(record(o, "Ratio"), QByteArray("absent"));
    // A stored 0 is lost: the reader leaves the object's initial value.
    TTestForm owner;
    TTestObject *back = readOne(writeRoot(o), &owner);
    QVERIFY(back);
    QCOMPARE(back->Ratio(), 1.5);

    o.SetRatio(double(2.65f));
    QCOMPARE(record(o, "Ratio").toHex(' '), hex("05 00 00 00 00 00 9A 99 A9 00 40").toHex(' '));
    back = readOne(writeRoot(o), &owner);
    QVERIFY(back);
    QCOMPARE(back->Ratio(), double(2.65f));
}

void TestStream::floatFromIntegerTag()
{
    TTestForm owner;
    TTestObject *a = readOne(objectStream(prop("Ratio", hex("02 03"))), &owner);
    QVERIFY(a);
    QCOMPARE(a->Ratio(), 3.0);
    TTestObject *b = readOne(objectStream(prop("Ratio", hex("04 00 00 01 80"))), &owner);
    QVERIFY(b);
    QCOMPARE(b->Ratio(), double(qint32(0x80010000)));
}

void TestStream::setWithUnknownMember()
{
    TTestForm owner;
    const QByteArray set = hex("0B") + shortName("mkB") + shortName("mkZ") + shortName("MKD") + '\0';
    TTestObject *o = readOne(objectStream(prop("Marks", set)), &owner);
    QVERIFY(o);
    QCOMPARE(o->Marks(), quint32(0b1010));
}

void TestStream::subObjectPaths()
{
    TTestObject o;
    o.Font()->SetCharset(ANSI_CHARSET);
    o.Font()->SetPitch(fpFixed);
    o.Font()->SetStyle((1u << fsBold) | (1u << fsUnderline));
    o.Pen()->SetWidth(3);
    o.Pen()->SetColor(cl::Red);
    o.Brush()->SetStyle(bsClear);
    o.Lines()->SetLines({QStringLiteral("one"), QString(), QStringLiteral("three")});

    QStringList names;
    for (const auto &rec : records(o))
        names << QString::fromLatin1(rec.first);
    QCOMPARE(names, QStringList({"Total", "Visible", "Ratio", "Font.Charset", "Font.Color",
                                 "Font.Height", "Font.Name", "Font.Pitch", "Font.Style",
                                 "Pen.Color", "Pen.Width", "Brush.Style", "Lines.Strings"}));
    QCOMPARE(record(o, "Font.Charset"), hex("02 00"));
    QCOMPARE(record(o, "Font.Style"), hex("0B") + shortName("fsBold") + shortName("fsUnderline") + '\0');
    QCOMPARE(record(o, "Pen.Color"), hex("07") + shortName("clRed"));
    QCOMPARE(record(o, "Lines.Strings"), hex("01 06 03") + "one" + hex("06 00 06 05") + "three" + '\0');

    TTestForm owner;
    TTestObject *back = readOne(writeRoot(o), &owner);
    QVERIFY(back);
    QCOMPARE(back->Font()->Charset(), int(ANSI_CHARSET));
    QCOMPARE(back->Font()->Pitch(), fpFixed);
    QCOMPARE(back->Font()->Style(), TFontStyles((1u << fsBold) | (1u << fsUnderline)));
    QCOMPARE(back->Pen()->Width(), 3);
    QCOMPARE(back->Brush()->Style(), bsClear);
    QCOMPARE(back->Lines()->Lines(), o.Lines()->Lines());

    // Character sets are also accepted by name, and Size sets the height.
    TTestObject *named = readOne(objectStream(prop("Font.Charset", hex("07") + shortName("SYMBOL_CHARSET"))
                                              + prop("FONT.SIZE", hex("02 0C"))), &owner);
    QVERIFY(named);
    QCOMPARE(named->Font()->Charset(), int(SYMBOL_CHARSET));
    QCOMPARE(named->Font()->Height(), -16);
}

void TestStream::referencesAndEvents()
{
    TTestForm form;
    form.SetName(QStringLiteral("Form1"));
    TTestForm other;
    other.SetName(QStringLiteral("Other"));
    auto *a = new TTestObject(&form);
    a->SetName(QStringLiteral("A"));
    auto *b = new TTestObject(&form);
    b->SetName(QStringLiteral("B"));
    auto *c = new TTestObject(&other);
    c->SetName(QStringLiteral("C"));

    a->SetBuddy(b);
    a->SetOnClick("ButtonClick");
    PropertyWriter w;
    w.writeRootComponent(*a, a);
    PropertyReader r(w.data());
    r.readSignature();
    r.readShortName();
    r.readShortName();
    QByteArray buddy, click;
    while (!r.endOfList()) {
        const QByteArray name = r.readShortName();
        if (name == "Buddy")
            buddy = r.readIdent();
        else if (name == "OnClick")
            click = r.readIdent();
        else
            r.skipValue();
    }
    QCOMPARE(buddy, QByteArray("B"));            // same owner: plain name
    QCOMPARE(click, QByteArray("ButtonClick"));  // a published method of the root

    a->SetBuddy(c);
    a->SetOnClick("SomethingElse");
    PropertyWriter w2;
    w2.writeRootComponent(*a, a);
    QVERIFY(w2.data().contains(hex("05") + "Buddy" + hex("07 07") + "Other.C"));
    QVERIFY(!w2.data().contains("OnClick"));
}

void TestStream::eventsOnRead()
{
    TTestForm form;
    // The owner is the root: its published methods are found.
    TTestObject *o = readOne(objectStream(prop("OnClick", hex("07") + shortName("FormClick"))), &form);
    QVERIFY(o);
    QCOMPARE(o->OnClick(), QByteArray("FormClick"));

    const QByteArray missing = objectStream(prop("OnClick", hex("07") + shortName("Gone")));
    try {
        readOne(missing, &form);
        QFAIL("no error");
    } catch (const EStreamError &e) {
        QCOMPARE(e.message(), QStringLiteral("Invalid property value"));
    }

    // The find-method hook may declare the miss harmless.
    PropertyReader r(missing + '\0');
    QByteArray asked;
    r.OnFindMethod = [&](const QByteArray &name) { asked = name; return true; };
    QList<TComponent *> read;
    r.readRootComponents(&form, nullptr, [&](TComponent *c) { read.append(c); });
    QCOMPARE(asked, QByteArray("Gone"));
    QCOMPARE(read.size(), 1);
    QCOMPARE(static_cast<TTestObject *>(read[0])->OnClick(), QByteArray());
}

void TestStream::collection()
{
    TTestObject o;
    auto *first = static_cast<TTestItem *>(o.Items()->Add());
    first->SetCaption(QStringLiteral("a"));
    auto *second = static_cast<TTestItem *>(o.Items()->Add());
    second->SetValue(300);
    QCOMPARE(record(o, "Items").toHex(' '),
             (hex("0E 01") + prop("Caption", hex("06 01") + "a") + hex("00 01")
              + prop("Value", hex("03 2C 01")) + hex("00 00")).toHex(' '));

    TTestForm owner;
    TTestObject *back = readOne(writeRoot(o), &owner);
    QVERIFY(back);
    QCOMPARE(back->Items()->Count(), 2);
    QCOMPARE(static_cast<TTestItem *>(back->Items()->Item(0))->Caption(), QStringLiteral("a"));
    QCOMPARE(static_cast<TTestItem *>(back->Items()->Item(1))->Value(), 300);

    // Items may carry an index, and nil empties the collection.
    TTestObject *indexed = readOne(objectStream(prop("Items", hex("0E 02 05 01") + prop("Value", hex("02 09")) + hex("00 00"))), &owner);
    QVERIFY(indexed);
    QCOMPARE(indexed->Items()->Count(), 1);
    QCOMPARE(static_cast<TTestItem *>(indexed->Items()->Item(0))->Value(), 9);
}

void TestStream::fullRoundTrip()
{
    TTestForm form;
    form.SetName(QStringLiteral("Form1"));
    auto *o = new TTestObject(&form);
    o->SetName(QStringLiteral("Everything"));
    o->SetNumber(-70000);
    o->SetTotal(5);
    o->SetColour(0x123456);
    o->SetCursor(-3);
    o->SetLetter('z');
    o->SetShade(shNone);
    o->SetFlag(true);
    o->SetVisible(false);
    o->SetMarks(0b0110);
    o->SetRatio(-0.188);
    o->SetCaption(QString(400, u'\u00FC'));
    o->Font()->SetStyle(1u << fsItalic);
    o->Pen()->SetMode(pmXor);
    o->Pen()->SetStyle(psDot);
    o->Brush()->SetColor(cl::BtnFace);
    o->Lines()->SetLines({QStringLiteral("x")});
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetImage(sampleImage());
    o->Picture()->SetGraphic(std::move(bitmap));
    o->Glyph()->SetImage(sampleImage().mirrored());
    static_cast<TTestItem *>(o->Items()->Add())->SetCaption(QStringLiteral("item"));
    o->SetBuddy(o);

    const QByteArray first = writeRoot(*o);
    TTestForm owner2;
    TTestObject *back = readOne(first, &owner2);
    QVERIFY(back);
    QCOMPARE(back->Buddy(), back);
    QCOMPARE(back->Picture()->Graphic()->ToImage().pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(writeRoot(*back).toHex(), first.toHex());
}

void TestStream::valueRoundTrip()
{
    PropertyWriter w;
    w.writeListBegin();
    w.writeInteger(-5);
    w.writeInteger(1000);
    w.writeInteger(-100000);
    w.writeFloat(0.1);
    w.writeString(QStringLiteral("short"));
    w.writeIdent("someName");
    w.writeBoolean(false);
    w.writeBoolean(true);
    w.writeBinary(QByteArray("\0\1\2", 3));
    w.writeSet(0b101, MarkIdents);
    w.writeString(QString(256, u'q'));
    w.writeIdent("nil");
    w.writeListEnd();

    PropertyReader r(w.data());
    r.readListBegin();
    QCOMPARE(r.readInteger(), -5);
    QCOMPARE(r.readInteger(), 1000);
    QCOMPARE(r.readInteger(), -100000);
    QCOMPARE(r.readFloat(), 0.1);
    QCOMPARE(r.readString(), QStringLiteral("short"));
    QCOMPARE(r.readIdent(), QByteArray("someName"));
    QCOMPARE(r.readBoolean(), false);
    QCOMPARE(r.readIdent(), QByteArray("True"));
    QCOMPARE(r.readBinary(), QByteArray("\0\1\2", 3));
    QCOMPARE(r.readSet(MarkIdents), 0b101u);
    QCOMPARE(r.readString(), QString(256, u'q'));
    QCOMPARE(r.readIdent(), QByteArray("nil"));
    QVERIFY(r.endOfList());
    r.readListEnd();
    QVERIFY(r.atEnd());

    // Writing what was read gives the same bytes.
    PropertyReader again(w.data());
    PropertyWriter copy;
    again.readListBegin();
    copy.writeListBegin();
    copy.writeInteger(again.readInteger());
    copy.writeInteger(again.readInteger());
    copy.writeInteger(again.readInteger());
    copy.writeFloat(again.readFloat());
    copy.writeString(again.readString());
    copy.writeIdent(again.readIdent());
    copy.writeIdent(again.readIdent());
    copy.writeIdent(again.readIdent());
    copy.writeBinary(again.readBinary());
    copy.writeSet(again.readSet(MarkIdents), MarkIdents);
    copy.writeString(again.readString());
    copy.writeIdent(again.readIdent());
    again.readListEnd();
    copy.writeListEnd();
    QCOMPARE(copy.data().toHex(), w.data().toHex());
}

void TestStream::prefixAndChildren()
{
    TTestForm owner;
    QObject panel;
    // Prefix 0xF2: child position 3 follows; then one child record.
    const QByteArray child = shortName("TTestWidgetLike") + shortName("Kid") + prop("Left", hex("02 07")) + hex("00 00");
    const QByteArray data = "TPF0" + hex("F2 02 03") + shortName("TTestWidgetLike") + shortName("W")
        + prop("Left", hex("03 00 01")) + hex("00") + child + hex("00") + hex("00");
    const QList<TComponent *> read = readAll(data, &owner, &panel);
    QCOMPARE(read.size(), 1);
    auto *w = dynamic_cast<TTestWidgetLike *>(read[0]);
    QVERIFY(w);
    QCOMPARE(w->Left(), 256);
    QCOMPARE(w->childOrder, 3);
    QCOMPARE(w->parent(), &panel);
    QCOMPARE(w->children().size(), 1);
    auto *kid = dynamic_cast<TTestWidgetLike *>(w->children().first());
    QVERIFY(kid);
    QCOMPARE(kid->Left(), 7);
    QCOMPARE(kid->Owner(), &owner);
    QCOMPARE(kid->childOrder, -1);
    delete w;  // its child goes with it
}

void TestStream::nameHookAndReferencesAfterRename()
{
    TTestForm owner;
    owner.SetName(QStringLiteral("Form"));
    auto *existing = new TTestObject(&owner);
    existing->SetName(QStringLiteral("B"));

    // A refers forward to B; both are renamed, and A must still find the
    // B of this stream, not the one the owner already had.
    const QByteArray data = objectStream(prop("Buddy", hex("07") + shortName("B")), "A")
        + objectStream(prop("Buddy", hex("07") + shortName("Form.B")), "B")
        + objectStream(prop("Buddy", hex("07") + shortName("Nobody")), "C") + '\0';
    PropertyReader r(data);
    int n = 0;
    r.OnSetName = [&](TComponent &, QString &name) { name = QStringLiteral("Component%1").arg(n++); };
    QList<TComponent *> read;
    r.readRootComponents(&owner, nullptr, [&](TComponent *c) { read.append(c); });
    QCOMPARE(read.size(), 3);
    auto *a = static_cast<TTestObject *>(read[0]);
    auto *b = static_cast<TTestObject *>(read[1]);
    auto *c = static_cast<TTestObject *>(read[2]);
    QCOMPARE(a->Name(), QStringLiteral("Component0"));
    QCOMPARE(a->Buddy(), b);
    QCOMPARE(b->Buddy(), existing);  // "Form.B" names the owner's component
    QCOMPARE(c->Buddy(), nullptr);   // unresolved names stay unassigned
    QCOMPARE(a->finishCount, 0);     // finishing is the caller's business
    QVERIFY(!a->IsLoading());
}

void TestStream::unknownClassKeepsEarlierObjects()
{
    TTestForm owner;
    const QByteArray data = objectStream(prop("Number", hex("02 01")), "First")
        + "TPF0" + shortName("TNoSuchClass") + shortName("X") + hex("00 00")
        + objectStream(QByteArray(), "Third") + '\0';
    QList<TComponent *> read;
    try {
        PropertyReader r(data);
        r.readRootComponents(&owner, nullptr, [&](TComponent *c) { read.append(c); });
        QFAIL("no error");
    } catch (const EStreamError &e) {
        QCOMPARE(e.message(), QStringLiteral("Class TNoSuchClass not found"));
    }
    QCOMPARE(read.size(), 1);
    QCOMPARE(owner.Components().size(), size_t(1));
    QCOMPARE(owner.Components()[0]->Name(), QStringLiteral("First"));
}

void TestStream::failedReadDeletesQObject()
{
    TTestForm owner;
    QObject panel;
    const QByteArray good = "TPF0" + shortName("TTestWidgetLike") + shortName("Good") + hex("00 00");
    const QByteArray bad = "TPF0" + shortName("TTestWidgetLike") + shortName("Bad")
        + prop("Left", hex("06 01") + "x") + hex("00 00");
    try {
        readAll(good + bad + '\0', &owner, &panel);
        QFAIL("no error");
    } catch (const EStreamError &e) {
        QCOMPARE(e.message(), QStringLiteral("Invalid property value"));
    }
    QCOMPARE(panel.children().size(), 1);
    QCOMPARE(owner.Components().size(), size_t(1));
    QCOMPARE(owner.Components()[0]->Name(), QStringLiteral("Good"));
}

void TestStream::damagedStreams_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");

    const QString readError = QStringLiteral("Stream read error");
    const QString badValue = QStringLiteral("Invalid property value");
    const QString badFormat = QStringLiteral("Invalid stream format");
    const QString noProperty = QStringLiteral("Property does not exist");
    const QString bitmap = QStringLiteral("Bitmap image is not valid");

    auto obj = [](const QByteArray &props) { return objectStream(props) + '\0'; };

    QTest::newRow("empty") << QByteArray() << readError;
    QTest::newRow("short signature") << QByteArray("TPF") << readError;
    QTest::newRow("wrong signature") << QByteArray("TPF1" + shortName("TTestObject") + shortName("O") + hex("00 00 00")) << badFormat;
    QTest::newRow("list where a record starts") << QByteArray(hex("01") + "TPF") << badFormat;
    QTest::newRow("no end of sequence") << objectStream(QByteArray()) << readError;
    QTest::newRow("unknown class") << QByteArray("TPF0" + shortName("TGhost") + shortName("O") + hex("00 00 00")) << QStringLiteral("Class TGhost not found");
    QTest::newRow("class name past end") << QByteArray("TPF0" + hex("40") + "TTest") << readError;

    // Lengths that point past the end.
    QTest::newRow("long string huge") << obj(prop("Caption", hex("0C FF FF FF 7F") + "abc")) << QStringLiteral("String too long");
    QTest::newRow("long string 16 MiB + 1") << obj(prop("Caption", hex("0C 01 00 00 01") + "abc")) << QStringLiteral("String too long");
    QTest::newRow("long string 16 MiB, past end") << obj(prop("Caption", hex("0C 00 00 00 01") + "abc")) << readError;
    QTest::newRow("long string negative") << obj(prop("Caption", hex("0C FF FF FF FF") + "abc")) << readError;
    QTest::newRow("short string past end") << QByteArray(objectStream(QByteArray()).left(20) + prop("Caption", hex("06 40") + "ab")) << readError;
    QTest::newRow("binary huge") << obj(prop("Glyph.Data", hex("0A 00 00 00 40") + "BM")) << readError;
    QTest::newRow("bitmap size past binary") << obj(prop("Glyph.Data", hex("0A 06 00 00 00 10 00 00 00") + "BM")) << readError;
    QTest::newRow("picture name past binary") << obj(prop("Picture.Data", hex("0A 03 00 00 00 3F") + "TB")) << readError;
    QTest::newRow("empty picture payload") << obj(prop("Picture.Data", hex("0A 00 00 00 00"))) << readError;

    // Wrong tags.
    QTest::newRow("integer as string") << obj(prop("Number", hex("06 01") + "1")) << badValue;
    QTest::newRow("integer as extended") << obj(prop("Number", hex("05 00000000000000 80 FF 3F"))) << badValue;
    QTest::newRow("tag out of range") << obj(prop("Number", hex("63 00"))) << badValue;
    QTest::newRow("integer by unknown name") << obj(prop("Number", hex("07") + shortName("clRed"))) << badValue;
    QTest::newRow("unknown colour name") << obj(prop("Colour", hex("07") + shortName("clPlaid"))) << badValue;
    QTest::newRow("unknown enum name") << obj(prop("Shade", hex("07") + shortName("shPurple"))) << badValue;
    QTest::newRow("enum as integer") << obj(prop("Shade", hex("02 01"))) << badValue;
    QTest::newRow("Boolean as integer") << obj(prop("Flag", hex("02 01"))) << badValue;
    QTest::newRow("string as integer") << obj(prop("Caption", hex("02 01"))) << badValue;
    QTest::newRow("float as string") << obj(prop("Ratio", hex("06 01") + "1")) << badValue;
    QTest::newRow("char of two bytes") << obj(prop("Letter", hex("06 02") + "ab")) << badValue;
    QTest::newRow("set as list") << obj(prop("Marks", hex("01 00"))) << badValue;
    QTest::newRow("string list not a list") << obj(prop("Lines.Strings", hex("06 01") + "a")) << badValue;
    QTest::newRow("string list of integers") << obj(prop("Lines.Strings", hex("01 02 05 00"))) << badValue;
    QTest::newRow("sub-object given a value") << obj(prop("Font", hex("02 01"))) << badValue;
    QTest::newRow("reference as integer") << obj(prop("Buddy", hex("02 01"))) << badValue;
    QTest::newRow("collection item not a list") << obj(prop("Items", hex("0E 06 00 00"))) << badValue;
    QTest::newRow("unpublished event") << obj(prop("OnClick", hex("07") + shortName("Nope"))) << badValue;

    // Names the object does not have.
    QTest::newRow("unknown property") << obj(prop("Nonsense", hex("02 01"))) << noProperty;
    QTest::newRow("unknown sub-property") << obj(prop("Font.Nonsense", hex("02 01"))) << noProperty;
    QTest::newRow("unknown path head") << obj(prop("Nonsense.Name", hex("02 01"))) << noProperty;
    QTest::newRow("path through an integer") << obj(prop("Number.Low", hex("02 01"))) << noProperty;
    QTest::newRow("path through a reference") << obj(prop("Buddy.Number", hex("02 01"))) << noProperty;
    QTest::newRow("defined property elsewhere") << obj(prop("Font.Strings", hex("01 00"))) << noProperty;
    QTest::newRow("read-only") << obj(prop("Serial", hex("02 01"))) << QStringLiteral("Property is read-only");

    // Nesting deeper than any real stream.
    QByteArray nested;
    for (int i = 0; i < 100; ++i)
        nested += shortName("TTestObject") + shortName("N") + '\0';
    QTest::newRow("deep children") << QByteArray("TPF0" + nested + QByteArray(101, '\0')) << badFormat;

    // Bitmap images.
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    sampleImage().save(&buf, "BMP");
    const QByteArray bmp = buf.data();
    auto glyph = [&](const QByteArray &image) {
        PropertyWriter w;
        QByteArray size(4, '\0');
        qToLittleEndian(qint32(image.size()), size.data());
        w.writeBinary(size + image);
        return obj(prop("Glyph.Data", w.data()));
    };
    QByteArray noBM = bmp;
    noBM[0] = 'X';
    QByteArray header20 = bmp;
    header20[14] = 20;
    QByteArray header108 = bmp;
    header108[14] = char(108);
    QByteArray zeroWidth = bmp;
    qToLittleEndian(qint32(0), zeroWidth.data() + 18);
    QByteArray hugeWidth = bmp;
    qToLittleEndian(qint32(0x40000000), hugeWidth.data() + 18);
    QByteArray badDepth = bmp;
    badDepth[28] = 7;
    QByteArray jpegInside = bmp;
    jpegInside[30] = 4;
    QByteArray hugeRunLength = bmp;
    hugeRunLength[30] = 1;
    hugeRunLength[28] = 8;
    qToLittleEndian(qint32(20000), hugeRunLength.data() + 18);
    qToLittleEndian(qint32(20000), hugeRunLength.data() + 22);
    QTest::newRow("bitmap without BM") << glyph(noBM) << bitmap;
    QTest::newRow("bitmap header 20") << glyph(header20) << bitmap;
    QTest::newRow("bitmap header 108") << glyph(header108) << bitmap;
    QTest::newRow("bitmap header cut") << glyph(bmp.left(30)) << bitmap;
    QTest::newRow("bitmap pixels cut") << glyph(bmp.left(bmp.size() - 4)) << bitmap;
    QTest::newRow("bitmap zero width") << glyph(zeroWidth) << bitmap;
    QTest::newRow("bitmap huge width") << glyph(hugeWidth) << bitmap;
    QTest::newRow("bitmap bad depth") << glyph(badDepth) << bitmap;
    QTest::newRow("bitmap only BM") << glyph("BM") << bitmap;
    QTest::newRow("bitmap compression unknown") << glyph(jpegInside) << bitmap;
    QTest::newRow("bitmap run-length too large") << glyph(hugeRunLength) << bitmap;
    QTest::newRow("picture with bad bitmap")
        << obj(prop("Picture.Data", hex("0A 0E 00 00 00 07") + "TBitmap" + hex("02 00 00 00") + "XY")) << bitmap;
}

void TestStream::damagedStreams()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    TTestForm owner;
    try {
        readAll(data, &owner);
        QFAIL("no error");
    } catch (const EStreamError &e) {
        QCOMPARE(e.message(), message);
    }
    // Only a record that was complete before the damage survives.
    QCOMPARE(owner.Components().size(), size_t(QTest::currentDataTag() == QByteArray("no end of sequence")));
}

void TestStream::truncatedEverywhere()
{
    TTestObject o;
    o.SetName(QStringLiteral("Cut"));
    o.SetCaption(QString(300, u'c'));
    o.SetMarks(0b11);
    o.SetNumber(40000);
    o.Lines()->SetLines({QStringLiteral("a"), QStringLiteral("b")});
    o.Glyph()->SetImage(sampleImage());
    static_cast<TTestItem *>(o.Items()->Add())->SetValue(2);
    const QByteArray data = writeRoot(o) + '\0';
    for (qsizetype n = 0; n < data.size(); ++n) {
        TTestForm owner;
        try {
            readAll(data.left(n), &owner);
            QFAIL(qPrintable(QStringLiteral("no error at %1").arg(n)));
        } catch (const EStreamError &e) {
            QCOMPARE(e.message(), QStringLiteral("Stream read error"));
        }
        // Cut only before the final end-of-list tag, the object is complete.
        QCOMPARE(owner.Components().size(), size_t(n == data.size() - 1));
    }
    TTestForm owner;
    QCOMPARE(readAll(data, &owner).size(), 1);
}

void TestStream::mutatedBytes()
{
    // Any single damaged byte ends in a stream error or a clean read.
    TTestObject o;
    o.SetName(QStringLiteral("M"));
    o.SetCaption(QStringLiteral("mutate"));
    o.SetMarks(0b101);
    o.SetColour(0x808081);
    o.Lines()->SetLines({QStringLiteral("l")});
    o.Glyph()->SetImage(sampleImage());
    static_cast<TTestItem *>(o.Items()->Add())->SetValue(1);
    const QByteArray data = writeRoot(o) + '\0';
    const char replacements[] = {'\0', '\x01', '\x07', '\x0E', '\x7F', '\xF2', '\xFF'};
    int errors = 0;
    for (qsizetype i = 0; i < data.size(); ++i)
        for (char c : replacements) {
            QByteArray bad = data;
            bad[i] = c;
            TTestForm owner;
            try {
                readAll(bad, &owner);
            } catch (const EStreamError &) {
                ++errors;
            }
        }
    QVERIFY(errors > 0);
}

void TestStream::extendedReference_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("2.65f") << 2.6500000953674316 << hex("00 00 00 00 00 9A 99 A9 00 40");
    QTest::newRow("0.188") << 0.188 << hex("00 50 8D 97 6E 12 83 C0 FC 3F");
    QTest::newRow("11") << 11.0 << hex("00 00 00 00 00 00 00 B0 02 40");
    QTest::newRow("1") << 1.0 << hex("00 00 00 00 00 00 00 80 FF 3F");
    QTest::newRow("-3.5") << -3.5 << hex("00 00 00 00 00 00 00 E0 00 C0");
    QTest::newRow("0") << 0.0 << QByteArray(10, '\0');
    QTest::newRow("smallest denormal") << std::numeric_limits<double>::denorm_min()
                                       << hex("00 00 00 00 00 00 00 80 CD 3B");
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << hex("00 00 00 00 00 00 00 80 FF 7F");
    QTest::newRow("max") << std::numeric_limits<double>::max() << hex("00 F8 FF FF FF FF FF FF FE 43");
}

void TestStream::extendedReference()
{
    QFETCH(double, value);
    QFETCH(QByteArray, bytes);
    QCOMPARE(streamcodec::encodeExtended(value).toHex(' '), bytes.toHex(' '));
    QCOMPARE(streamcodec::decodeExtended(bytes.constData()), value);
}

void TestStream::extendedDecodeEdges_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<double>("value");
    const double inf = std::numeric_limits<double>::infinity();
    const double tiny = std::numeric_limits<double>::denorm_min();
    // mantissa (little-endian, 8 bytes), then sign and exponent
    QTest::newRow("half ulp above 1: tie to even") << hex("00 04 00 00 00 00 00 80 FF 3F") << 1.0;
    QTest::newRow("just above half ulp") << hex("01 04 00 00 00 00 00 80 FF 3F") << std::nextafter(1.0, 2.0);
    QTest::newRow("tie rounds up to even") << hex("00 0C 00 00 00 00 00 80 FF 3F") << 1.0 + std::ldexp(1.0, -51);
    QTest::newRow("rounds up to infinity") << hex("FF FF FF FF FF FF FF FF FE 43") << inf;
    QTest::newRow("largest extended") << hex("FF FF FF FF FF FF FF FF FE 7F") << inf;
    QTest::newRow("negative huge") << hex("00 00 00 00 00 00 00 80 00 C8") << -inf;
    QTest::newRow("2^-1075 tie to 0") << hex("00 00 00 00 00 00 00 80 CC 3B") << 0.0;
    QTest::newRow("above 2^-1075") << hex("01 00 00 00 00 00 00 80 CC 3B") << tiny;
    QTest::newRow("2^-1076") << hex("00 00 00 00 00 00 00 80 CB 3B") << 0.0;
    QTest::newRow("1.5 x 2^-1074 tie to even") << hex("00 00 00 00 00 00 00 C0 CD 3B") << 2 * tiny;
    QTest::newRow("extended denormal") << hex("01 00 00 00 00 00 00 00 00 00") << 0.0;
    QTest::newRow("pseudo-denormal") << hex("00 00 00 00 00 00 00 80 00 00") << 0.0;
    QTest::newRow("unnormal") << hex("00 00 00 00 00 00 00 40 FF 3F") << 0.5;
    QTest::newRow("unnormal zero") << hex("00 00 00 00 00 00 00 00 FF 3F") << 0.0;
    QTest::newRow("pseudo-infinity") << hex("00 00 00 00 00 00 00 00 FF 7F") << inf;
    QTest::newRow("negative zero") << hex("00 00 00 00 00 00 00 00 00 80") << -0.0;
    QTest::newRow("integer 3") << hex("00 00 00 00 00 00 00 C0 00 40") << 3.0;
}

void TestStream::extendedDecodeEdges()
{
    QFETCH(QByteArray, bytes);
    QFETCH(double, value);
    const double got = streamcodec::decodeExtended(bytes.constData());
    QCOMPARE(got, value);
    QCOMPARE(std::signbit(got), std::signbit(value));
}

void TestStream::extendedRoundTrip()
{
    const QByteArray nanBytes = hex("00 00 00 00 00 00 00 C0 FF 7F");
    QVERIFY(std::isnan(streamcodec::decodeExtended(nanBytes.constData())));
    QVERIFY(std::isnan(streamcodec::decodeExtended(streamcodec::encodeExtended(std::nan("")).constData())));

    const double values[] = {0.1, -0.188, 1e-300, 3e-310, 1e300, 123456789.125, -2.5e-320,
                             std::numeric_limits<double>::min(), 4.0 / 3.0, 96.0 / 25.4};
    for (double v : values) {
        const QByteArray bytes = streamcodec::encodeExtended(v);
        QCOMPARE(bytes.size(), 10);
        QCOMPARE(streamcodec::decodeExtended(bytes.constData()), v);
    }
}

void TestStream::cp1252AllBytes()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = streamcodec::fromCp1252(all);
    QCOMPARE(text.size(), 256);
    const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    for (int b = 0; b < 256; ++b) {
        const char16_t expected = (b >= 0x80 && b < 0xA0) ? high[b - 0x80] : char16_t(b);
        QCOMPARE(text[b].unicode(), expected);
    }
    QCOMPARE(streamcodec::toCp1252(text), all);
}

void TestStream::cp1252Encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QStringLiteral("Avery 5160") << QByteArray("Avery 5160");
    QTest::newRow("euro and quotes") << QStringLiteral("\u20AC\u201Cx\u201D") << hex("80 93 78 94");
    QTest::newRow("latin-1") << QStringLiteral("\u00E9\u00FF\u00A0") << hex("E9 FF A0");
    QTest::newRow("outside the code page") << QStringLiteral("a\u03A9b") << QByteArray("a?b");
    QTest::newRow("surrogate pair is one character") << QString::fromUcs4(U"\U0001F600x") << QByteArray("?x");
    QTest::newRow("C1 control without a glyph") << QStringLiteral("\u0080") << QByteArray("?");
}

void TestStream::cp1252Encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(streamcodec::toCp1252(text).toHex(' '), bytes.toHex(' '));
}

QTEST_MAIN(TestStream)
#include "tst_stream.moc"
