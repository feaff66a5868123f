// Label files, object files and clones: byte layout, naming, paste offset,
// cut lengths and what a failed read or write leaves behind.

#include "storage/FileModes.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"
#include "storage/Stream.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// A placed object: a QObject child of the panel and a named component.
class TPlaced : public QObject, public TComponent
{
public:
    explicit TPlaced(TComponent *owner = nullptr) : TComponent(owner) {}
    QByteArray ClassName() const override { return "TPlaced"; }
    const TPropertyTable &Properties() const override
    {
        static const TPropertyTable table(nullptr, {
            props::integer("Left", &TPlaced::Left, &TPlaced::SetLeft, std::nullopt),
            props::integer("Top", &TPlaced::Top, &TPlaced::SetTop, std::nullopt),
            props::string("Caption", &TPlaced::Caption, &TPlaced::SetCaption),
        });
        return table;
    }
    void SetParentComponent(QObject *parent) override { setParent(parent); }
    void FinishLoading() override { ++finished; }

    int Left() const { return mLeft; }
    void SetLeft(int v) { mLeft = v; }
    int Top() const { return mTop; }
    void SetTop(int v) { mTop = v; }
    QString Caption() const { return mCaption; }
    void SetCaption(const QString &v) { mCaption = v; }
    int finished = 0;

private:
    int mLeft = 0, mTop = 0;
    QString mCaption;
};

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

TPlaced *place(TComponent *owner, QObject *panel, int left, int top, const QString &caption)
{
    auto *p = new TPlaced(owner);
    p->setParent(panel);
    p->SetLeft(left);
    p->SetTop(top);
    p->SetCaption(caption);
    return p;
}

QList<TPlaced *> placed(QObject *panel)
{
    QList<TPlaced *> list;
    for (TComponent *c : TGLabelObjectFiler::PanelObjects(panel))
        list.append(static_cast<TPlaced *>(c));
    return list;
}

QByteArray layoutBytes(const TLabelLayout &layout)
{
    PropertyWriter w;
    w.writeListBegin();
    layout.Write(w);
    w.writeListEnd();
    return w.takeData();
}

}  // namespace

class TestFiler : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        TClassRegistry::instance().Register("TPlaced", [](TComponent *owner) { return new TPlaced(owner); });
    }

    // A file holds a bounded number of objects: one more ends the read with
    // its message, and the objects read before stay on the panel.
    void objectCountLimit_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("message");
        QTest::newRow("at the limit") << 50000 << QString();
        QTest::newRow("one more") << 50001 << QStringLiteral("Too many objects");
        QTest::newRow("many more") << 60000 << QStringLiteral("Too many objects");
    }

    void objectCountLimit()
    {
        QFETCH(int, count);
        QFETCH(QString, message);
        QObject source;
        TPlaced *p = place(nullptr, &source, 3, 4, QStringLiteral("x"));
        p->SetName(QStringLiteral("P"));
        PropertyWriter record;
        record.writeRootComponent(*p, p);
        const QByteArray data = QByteArray(1, '\x01') + record.takeData().repeated(count) + QByteArray(1, '\0');

        QObject panel;
        TGLabelObjectFiler filer;
        QString error;
        try {
            filer.ReadObjectBytes(nullptr, &panel, data);
        } catch (const EStreamError &e) {
            error = e.message();
        }
        QCOMPARE(error, message);
        QCOMPARE(placed(&panel).size(), qMin(count, 50001));
    }

    // Label files and copied PDF files get the modes files of any other
    // program get: 0666 less the umask when new, their own when replaced.
    void fileModes_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("existingMode");  // -1: a new file
        QTest::addColumn<int>("expected");
        QTest::newRow("new, umask 022") << 0022 << -1 << 0644;
        QTest::newRow("new, umask 077") << 0077 << -1 << 0600;
        QTest::newRow("new, umask 002") << 0002 << -1 << 0664;
        QTest::newRow("existing 0640, umask 022") << 0022 << 0640 << 0640;
        QTest::newRow("existing 0666, umask 077") << 0077 << 0666 << 0666;
    }

    void fileModes()
    {
        QFETCH(int, mask);
        QFETCH(int, existingMode);
        QFETCH(int, expected);
        QTemporaryDir dir;
        const QString label = dir.filePath(QStringLiteral("design.qm"));
        const QString copy = dir.filePath(QStringLiteral("labels.pdf"));
        const QString source = dir.filePath(QStringLiteral("source.bin"));
        {
            QFile f(source);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("%PDF-1.4 stand-in");
        }
        if (existingMode >= 0) {
            for (const QString &target : {label, copy}) {
                QFile f(target);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write("old");
                f.close();
                QVERIFY(::chmod(QFile::encodeName(target).constData(), mode_t(existingMode)) == 0);
            }
        }
        const mode_t old = ::umask(mode_t(mask));
        QObject panel;
        TGLabelObjectFiler filer;
        filer.WriteLabelFile(&panel, label, TLabelLayout::Default());
        QString error;
        const bool copied = CopyForUser(source, copy, &error);
        ::umask(old);
        QVERIFY2(copied, qPrintable(error));
        for (const QString &target : {label, copy}) {
            struct stat st;
            QVERIFY(::stat(QFile::encodeName(target).constData(), &st) == 0);
            QCOMPARE(int(st.st_mode & 07777), expected);
        }
        QFile f(copy);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("%PDF-1.4 stand-in"));
    }

    void emptyPanelWritesEmptyListThenLayout()
    {
        QObject panel;
        const TLabelLayout layout = TLabelLayout::Default();
        const QByteArray bytes = TGLabelObjectFiler::LabelFileBytes(&panel, layout);
        QCOMPARE(bytes.left(2), QByteArray("\x01\x00", 2));
        QCOMPARE(bytes.mid(2), layoutBytes(layout));
    }

    void singlePrecisionMeasurementsStoredWidened()
    {
        // 2.65 kept as a float is 2.6500000953674316 in the file.
        QObject panel;
        const QByteArray bytes = TGLabelObjectFiler::LabelFileBytes(&panel, TLabelLayout::Default());
        const QByteArray width = QByteArray::fromHex("05 00 00 00 00 00 9A 99 A9 00 40");
        const QByteArray name = QByteArray("\x06\x12") + "Avery 5160 Address";
        // list, list end, list, name, height 1.0, width
        QCOMPARE(bytes.mid(3, name.size()), name);
        QCOMPARE(bytes.mid(3 + name.size() + 11, 11), width);
    }

    void writeReadWriteIsByteIdentical()
    {
        TOwner owner;
        QObject panel;
        // Named as reading names them, so the second write must equal the first.
        place(&owner, &panel, 10, 20, QStringLiteral("first"))->SetName(QStringLiteral("Component0"));
        place(&owner, &panel, 300, -4, QStringLiteral("second \u00e9"))->SetName(QStringLiteral("Component1"));
        TLabelLayout layout = TLabelLayout::Default();
        layout.ArtName = QStringLiteral("AV5824");
        const QByteArray first = TGLabelObjectFiler::LabelFileBytes(&panel, layout);

        TOwner owner2;
        QObject panel2;
        TLabelLayout read;
        TGLabelObjectFiler filer;
        filer.ReadLabelBytes(&owner2, &panel2, read, first);
        QCOMPARE(read, layout);
        QCOMPARE(placed(&panel2).size(), 2);
        QCOMPARE(TGLabelObjectFiler::LabelFileBytes(&panel2, read), first);
    }

    void namesAreUniqueComponentNumbers()
    {
        TOwner owner;
        QObject panel;
        // Both stored under the same name; the owner already holds Component0.
        TPlaced existing(&owner);
        existing.SetName(QStringLiteral("Component0"));
        TPlaced a, b;
        a.SetName(QStringLiteral("Same"));
        b.SetName(QStringLiteral("Same"));
        const QByteArray data = TGLabelObjectFiler::ObjectFileBytes({&a, &b});
        TGLabelObjectFiler filer;
        const QList<TComponent *> read = filer.ReadObjectBytes(&owner, &panel, data);
        QCOMPARE(read.size(), 2);
        QCOMPARE(read[0]->Name(), QStringLiteral("Component1"));
        QCOMPARE(read[1]->Name(), QStringLiteral("Component2"));
        QCOMPARE(filer.NameOwner, &owner);
    }

    // Steps: "have:NAME" gives the owner a component of that name, "read:N"
    // reads N objects stored as "Stored" (from a label file), "paste:N" the
    // same from an object file, "clone:N" clones one object N times,
    // "drop:NAME" deletes the component of that name, "rename:OLD>NEW"
    // renames one. `names` are the names every read gave, in order.
    void namesGivenOnReading_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("empty owner") << QStringList{"read:3"}
                                     << QStringList{"Component0", "Component1", "Component2"};
        QTest::newRow("gaps are filled first")
            << QStringList{"have:Component0", "have:Component2", "have:Component5", "read:4"}
            << QStringList{"Component1", "Component3", "Component4", "Component6"};
        QTest::newRow("names differing only in case are taken")
            << QStringList{"have:component1", "have:COMPONENT0", "read:2"}
            << QStringList{"Component2", "Component3"};
        QTest::newRow("other spellings of a number are not")
            << QStringList{"have:Component01", "have:Component", "have:Component-1", "read:2"}
            << QStringList{"Component0", "Component1"};
        QTest::newRow("a freed name is found again")
            << QStringList{"read:3", "drop:Component1", "read:2", "drop:Component0", "paste:1"}
            << QStringList{"Component0", "Component1", "Component2", "Component1", "Component3",
                           "Component0"};
        QTest::newRow("a renamed name comes free")
            << QStringList{"read:2", "rename:component0>Other", "clone:2"}
            << QStringList{"Component0", "Component1", "Component0", "Component2"};
        QTest::newRow("a name taken after reading is skipped")
            << QStringList{"read:1", "have:COMPONENT1", "read:1"}
            << QStringList{"Component0", "Component2"};
        QStringList all;
        for (int n = 0; n <= 999; ++n)
            all.append(QStringLiteral("have:Component%1").arg(n));
        QTest::newRow("the last number")
            << (all + QStringList{"read:2"}) << QStringList{"Component1000", "Stored"};
        QTest::newRow("all taken: the stored name stays")
            << (all + QStringList{"have:Component1000", "read:2", "drop:Component7", "paste:2"})
            << QStringList{"Stored", "Stored", "Component7", "Stored"};
    }

    void namesGivenOnReading()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, names);
        TOwner owner;
        QObject panel;
        TPlaced stored;
        stored.SetName(QStringLiteral("Stored"));
        QStringList given;
        auto read = [&](int count, const QString &how) {
            TGLabelObjectFiler filer;
            QList<TComponent *> objects;
            if (how == QLatin1String("clone")) {
                for (int i = 0; i < count; ++i)
                    objects.append(filer.CloneObject(&stored, &owner, &panel));
            } else {
                QList<const TComponent *> source(count, &stored);
                const QByteArray objectBytes = TGLabelObjectFiler::ObjectFileBytes(source);
                if (how == QLatin1String("read")) {
                    // A label file: the same object list, then the layout.
                    PropertyWriter w;
                    w.writeListBegin();
                    TLabelLayout::Default().Write(w);
                    w.writeListEnd();
                    TLabelLayout layout;
                    objects = filer.ReadLabelBytes(&owner, &panel, layout, objectBytes + w.data());
                } else {
                    objects = filer.ReadObjectBytes(&owner, &panel, objectBytes);
                }
            }
            for (TComponent *c : objects)
                given.append(c->Name());
        };
        for (const QString &step : steps) {
            const QString what = step.section(':', 0, 0), arg = step.section(':', 1);
            if (what == QLatin1String("have")) {
                (new TPlaced(&owner))->SetName(arg);
            } else if (what == QLatin1String("drop")) {
                TComponent *c = owner.FindComponent(arg);
                QVERIFY2(c, qPrintable(arg));
                delete c;
            } else if (what == QLatin1String("rename")) {
                TComponent *c = owner.FindComponent(arg.section('>', 0, 0));
                QVERIFY(c);
                c->SetName(arg.section('>', 1));
            } else {
                read(arg.toInt(), what);
            }
        }
        QCOMPARE(given, names);
        while (!owner.Components().empty())
            delete owner.Components().back();
    }

    void findComponentIgnoresCaseAndTakesTheFirst()
    {
        TOwner owner;
        auto *a = new TPlaced(&owner);
        a->SetName(QStringLiteral("Box"));
        auto *b = new TPlaced(&owner);
        b->SetName(QStringLiteral("BOX"));
        auto *c = new TPlaced(&owner);
        c->SetName(QStringLiteral("Other"));
        QCOMPARE(owner.FindComponent(QStringLiteral("box")), a);
        QCOMPARE(owner.FindComponent(QStringLiteral("oTHER")), c);
        QCOMPARE(owner.FindComponent(QString()), nullptr);
        delete a;
        QCOMPARE(owner.FindComponent(QStringLiteral("Box")), b);
        b->SetName(QStringLiteral("Renamed"));
        QCOMPARE(owner.FindComponent(QStringLiteral("box")), nullptr);
        QCOMPARE(owner.FindComponent(QStringLiteral("renamed")), b);
        delete b;
        delete c;
        QVERIFY(owner.Components().empty());
    }

    void finishLoadingRunsOnceAfterTheWholeList()
    {
        TOwner owner;
        QObject panel;
        TPlaced a, b;
        TGLabelObjectFiler filer;
        const QList<TComponent *> read =
            filer.ReadObjectBytes(&owner, &panel, TGLabelObjectFiler::ObjectFileBytes({&a, &b}));
        for (TComponent *c : read)
            QCOMPARE(static_cast<TPlaced *>(c)->finished, 1);
    }

    void pastingTwiceOffsetsFromTheStoredPosition()
    {
        QTemporaryDir dir;
        const QString clip = dir.filePath(QStringLiteral("Clipbrd.tmp"));
        TPlaced source;
        source.SetLeft(40);
        source.SetTop(7);
        TGLabelObjectFiler().WriteObject(&source, clip);

        TOwner owner;
        QObject panel;
        for (int paste = 0; paste < 2; ++paste) {
            TGLabelObjectFiler filer;
            const QList<TComponent *> read = filer.ReadObjects(&owner, &panel, clip);
            QVERIFY(!filer.PasteOffset);
            QCOMPARE(read.size(), 1);
            auto *p = static_cast<TPlaced *>(read[0]);
            QCOMPARE(p->Left(), 55);
            QCOMPARE(p->Top(), 22);
        }
        // A clone is not offset.
        TPlaced *copy = static_cast<TPlaced *>(TGLabelObjectFiler().CloneObject(&source, &owner, &panel));
        QCOMPARE(copy->Left(), 40);
        QCOMPARE(copy->Top(), 7);
        QCOMPARE(copy->parent(), &panel);
    }

    void readCutsStringsToTheirFields_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("length");
        QTest::newRow("Name") << 0 << 60;
        QTest::newRow("PrinterType") << 1 << 2;
        QTest::newRow("PaperSize") << 2 << 5;
        QTest::newRow("LabelShape") << 3 << 2;
        QTest::newRow("ProductType") << 4 << 25;
        QTest::newRow("ArtName") << 5 << 12;
    }
    void readCutsStringsToTheirFields()
    {
        QFETCH(int, field);
        QFETCH(int, length);
        TLabelLayout layout = TLabelLayout::Default();
        const QString longText(300, QLatin1Char('x'));
        QString *fields[] = {&layout.Name, &layout.PrinterType, &layout.PaperSize,
                             &layout.LabelShape, &layout.ProductType, &layout.ArtName};
        *fields[field] = longText;  // 300 bytes: written as a long string
        QObject panel;
        const QByteArray data = TGLabelObjectFiler::LabelFileBytes(&panel, layout);
        TLabelLayout read;
        TGLabelObjectFiler().ReadLabelBytes(nullptr, &panel, read, data);
        QString *readFields[] = {&read.Name, &read.PrinterType, &read.PaperSize,
                                 &read.LabelShape, &read.ProductType, &read.ArtName};
        QCOMPARE(readFields[field]->size(), length);
    }

    void floatsStoredAsIntegersReadAsFloats()
    {
        // A hand-made file with whole numbers for the measurements.
        PropertyWriter w;
        w.writeListBegin();
        w.writeListEnd();
        w.writeListBegin();
        w.writeString(QStringLiteral("Hand made"));
        w.writeInteger(2);      // height
        w.writeInteger(3);      // width
        w.writeInteger(1);
        w.writeInteger(1);
        for (int i = 0; i < 8; ++i)
            w.writeInteger(i == 4 ? 9 : 0);  // PageWidth 9
        for (const char *s : {"LJ", "LTR", "SR", "MISC", ""})
            w.writeString(QString::fromLatin1(s));
        w.writeListEnd();
        TLabelLayout read;
        QObject panel;
        TGLabelObjectFiler().ReadLabelBytes(nullptr, &panel, read, w.data());
        QCOMPARE(read.LabelHeight, 2.0);
        QCOMPARE(read.LabelWidth, 3.0);
        QCOMPARE(read.PageWidth, 9.0);
        QCOMPARE(read.LabelShape, QStringLiteral("SR"));
    }

    void missingFilesAreSilent()
    {
        QTemporaryDir dir;
        TLabelLayout layout = TLabelLayout::Default();
        layout.Name = QStringLiteral("untouched");
        QObject panel;
        TGLabelObjectFiler filer;
        filer.ReadLabelFile(nullptr, &panel, layout, dir.filePath(QStringLiteral("none.qm")));
        QCOMPARE(layout.Name, QStringLiteral("untouched"));
        QVERIFY(filer.ReadObjects(nullptr, &panel, dir.filePath(QStringLiteral("none.tmp"))).isEmpty());
    }

    void emptySelectionLeavesTheClipboardFile()
    {
        QTemporaryDir dir;
        const QString clip = dir.filePath(QStringLiteral("Clipbrd.tmp"));
        QFile f(clip);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep");
        f.close();
        TGLabelObjectFiler().WriteSelection({}, clip);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("keep"));
    }

    void damagedFileKeepsCompletedObjects_data()
    {
        QTest::addColumn<int>("cut");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("completed");
        TPlaced a, b;
        a.SetCaption(QStringLiteral("a"));
        b.SetCaption(QStringLiteral("b"));
        const QByteArray full = TGLabelObjectFiler::ObjectFileBytes({&a, &b});
        const int second = full.indexOf("TPF0", 5);
        QTest::newRow("inside the second object") << second + 8 << "Stream read error" << 1;
        QTest::newRow("inside the first object") << 9 << "Stream read error" << 0;
        QTest::newRow("layout missing") << int(full.size()) << "Stream read error" << 2;
    }
    void damagedFileKeepsCompletedObjects()
    {
        QFETCH(int, cut);
        QFETCH(QString, message);
        QFETCH(int, completed);
        TPlaced a, b;
        a.SetCaption(QStringLiteral("a"));
        b.SetCaption(QStringLiteral("b"));
        // Read as a label file: it must go on with the layout list.
        const QByteArray data = TGLabelObjectFiler::ObjectFileBytes({&a, &b}).left(cut);
        TOwner owner;
        QObject panel;
        TLabelLayout layout = TLabelLayout::Default();
        layout.Name = QStringLiteral("untouched");
        try {
            TGLabelObjectFiler().ReadLabelBytes(&owner, &panel, layout, data);
            QFAIL("no error");
        } catch (const EStreamError &e) {
            QCOMPARE(e.message(), message);
        }
        const QList<TPlaced *> left = placed(&panel);
        QCOMPARE(left.size(), completed);
        for (TPlaced *p : left)
            QCOMPARE(p->finished, 1);
        QCOMPARE(layout.Name, QStringLiteral("untouched"));
    }

    void failedSaveKeepsThePreviousFile()
    {
        // The temporary file beside a 250-character name cannot be created
        // (names are limited to 255 bytes), whoever runs the test.
        QTemporaryDir dir;
        const QString target = dir.filePath(QString(250, QLatin1Char('q')));
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old design");
        f.close();
        QObject panel;
        try {
            TGLabelObjectFiler().WriteLabelFile(&panel, target, TLabelLayout::Default());
            QFAIL("no error");
        } catch (const EFileWriteError &e) {
            QVERIFY(e.message().startsWith(QStringLiteral("Cannot write ")));
        }
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old design"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestFiler)
#include "tst_filer.moc"
