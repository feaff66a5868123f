// Mail merge fields in every object kind that draws text: with a record on
// the panel an object draws exactly what it draws for the values typed in,
// and without one the fields as written.

#include "TextTestSupport.h"

#include "design/Gqmpanel32.h"
#include "objects/graphic/Gbarcode.h"
#include "objects/graphic/gsstext.h"
#include "objects/text/Gpclabel.h"
#include "objects/text/Gpcirct.h"
#include "objects/text/Gplabel.h"
#include "objects/text/Gpmlabel.h"
#include "objects/text/Gprichl.h"
#include "richtext/WPRichText.h"

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <functional>

namespace {

// Owner of the objects and of the shared rich text editor, as the main window.
class Host : public QWidget, public TComponent
{
public:
    Host()
    {
        auto *m = new TWPRichText(this, this);
        m->SetName(QStringLiteral("MasterWPRichText"));
        m->hide();
        panel = new TGQuillmarkPanel32(this);
        panel->SetObjectOwner(this);
        panel->resize(400, 300);
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

template <class T>
T *place(Host &host)
{
    auto *o = new T(&host);
    o->SetParentComponent(host.panel);
    o->FinishLoading();
    return o;
}

// Makes the object kind with `text` in it, at a fixed size.
using Maker = std::function<TGGraphicControl *(Host &, const QString &text)>;

TMergeRecord record()
{
    TMergeRecord r;
    r.Fields = std::make_shared<TMergeFields>(QStringList{"Name", "City"});
    r.Values = {QStringLiteral("Ann Lee"), QStringLiteral("Oslo")};
    return r;
}

// The object drawn after its layout settled, as the program settles it.
QImage settled(TGGraphicControl *o)
{
    o->SettleLayout();
    return PaintObject(o);
}

}  // namespace

Q_DECLARE_METATYPE(Maker)

class TestMergeFields : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyKind_data();
    void everyKind();
};

void TestMergeFields::everyKind_data()
{
    QTest::addColumn<Maker>("make");
    QTest::newRow("plain text") << Maker([](Host &h, const QString &t) -> TGGraphicControl * {
        auto *o = place<TGPLabel>(h);
        o->SetCaption(t);
        o->SetBounds(0, 0, 220, 40);
        return o;
    });
    QTest::newRow("counter") << Maker([](Host &h, const QString &t) -> TGGraphicControl * {
        auto *o = place<TGCounterLabel>(h);
        o->SetTextBefore(t + QStringLiteral(" #"));
        o->SetBounds(0, 0, 260, 40);
        return o;
    });
    QTest::newRow("rotated text") << Maker([](Host &h, const QString &t) -> TGGraphicControl * {
        auto *o = place<TGPLabel>(h);
        o->SetCaption(t);
        o->SetAngle(90);
        o->SetBounds(0, 0, 40, 220);
        return o;
    });
    QTest::newRow("multi-line, value with a line break")
        << Maker([](Host &h, const QString &t) -> TGGraphicControl * {
               auto *o = place<TGMultiLineLabel>(h);
               o->SetItems({QStringLiteral("To:"), t, t == u"${Name}" ? QStringLiteral("${City}")
                                                                      : QStringLiteral("Oslo")});
               o->SetBounds(0, 0, 220, 90);
               return o;
           });
    QTest::newRow("multi-line, word wrap") << Maker([](Host &h, const QString &t) -> TGGraphicControl * {
        auto *o = place<TGMultiLineLabel>(h);
        o->SetWordWrap(true);
        o->SetItems({QStringLiteral("Dear ") + t + QStringLiteral(", welcome to the club")});
        o->SetBounds(0, 0, 120, 90);
        return o;
    });
    QTest::newRow("rich text") << Maker([](Host &h, const QString &t) -> TGGraphicControl * {
        auto *o = place<TGPRichBaseLabel>(h);
        QTextDocument doc;
        QTextCursor c(&doc);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        c.insertText(QStringLiteral("Dear "));
        c.insertText(t, bold);
        c.insertText(QStringLiteral(" of ${City}"));
        if (t != u"${Name}") {
            doc.setPlainText(QString());
            QTextCursor d(&doc);
            d.insertText(QStringLiteral("Dear "));
            d.insertText(t, bold);
            d.insertText(QStringLiteral(" of Oslo"));
        }
        o->SetDocument(doc);
        o->SetBounds(0, 0, 220, 60);
        return o;
    });
    QTest::newRow("circle text") << Maker([](Host &h, const QString &t) -> TGGraphicControl * {
        auto *o = place<TGPCircleText>(h);
        o->SetCaption(t);
        o->SetBounds(0, 0, 150, 150);
        return o;
    });
    QTest::newRow("SuperText") << Maker([](Host &h, const QString &t) -> TGGraphicControl * {
        auto *o = place<TGSuperText>(h);
        o->SetCaption(t);
        o->SetBounds(0, 0, 260, 60);
        return o;
    });
    QTest::newRow("barcode") << Maker([](Host &h, const QString &t) -> TGGraphicControl * {
        auto *o = place<TGBarcode>(h);
        o->SetData(t);
        o->SetBounds(0, 0, 260, 60);
        return o;
    });
}

void TestMergeFields::everyKind()
{
    QFETCH(Maker, make);
    Host typed;
    const QImage expected = settled(make(typed, QStringLiteral("Ann Lee")));

    Host merged;
    TGGraphicControl *o = make(merged, QStringLiteral("${Name}"));
    const QImage raw = settled(o);
    ChangeCounter changes(*merged.panel);
    merged.panel->SetMergeRecord(record());
    const QImage filled = settled(o);
    QCOMPARE(filled.size(), expected.size());
    QVERIFY(filled == expected);
    QVERIFY(raw != expected);
    // Showing a record is no change of the design.
    QCOMPARE(changes.count, 0);
    // Without a record the fields show as written again.
    merged.panel->SetMergeRecord(TMergeRecord());
    QVERIFY(settled(o) != expected);
}

QTEST_MAIN(TestMergeFields)
#include "tst_mergefields.moc"
