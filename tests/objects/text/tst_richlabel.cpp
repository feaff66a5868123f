// The rich text label: its shared editor, drawing, zoom, editor dialog,
// storage in label files and printing.

#include "TextTestSupport.h"

#include "controls/DialogSupport.h"
#include "design/Gqmpanel32.h"
#include "objects/Register.h"
#include "objects/text/Gprichl.h"
#include "objects/text/Gprichle.h"
#include "print/engine/Report.h"
#include "richtext/RtfReader.h"
#include "richtext/WPRichText.h"
#include "richtext/WPToolBar.h"
#include "storage/MergeSource.h"
#include "storage/Stream.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// The main window's part: owner of the objects and of the shared editor.
class Host : public QWidget, public TComponent
{
public:
    explicit Host(bool withMaster = true)
    {
        if (withMaster) {
            auto *m = new TWPRichText(this, this);
            m->SetName(QStringLiteral("MasterWPRichText"));  // found in any case
            m->hide();
        }
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

const QByteArray Sample = "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red0\\green0\\blue128;\\red255\\green0\\blue0;}"
                          "\\fs28\\b\\cf1 Name Surname\\par\\pard\\fs20\\b0\\cf0 12 Long Street\\par\\qc\\cf2 Centred}";

TGPRichBaseLabel *place(Host &host, int left, int top, int width, int height)
{
    auto *o = new TGPRichBaseLabel(&host);
    o->SetParentComponent(host.panel);
    o->FinishLoading();
    o->SetBounds(left, top, width, height);
    o->Storage()->SetRtf(Sample);
    return o;
}

bool isDark(QRgb c) { return qGray(c) < 100; }

QList<QByteArray> writtenNames(const TPersistent &object)
{
    PropertyWriter w;
    w.writeProperties(object);
    PropertyReader r(w.data());
    QList<QByteArray> names;
    while (!r.atEnd()) {
        names << r.readShortName();
        r.skipValue();
    }
    return names;
}

}  // namespace

class TestRichLabel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { RegisterLabelClasses(); }
    void cleanup() { SetDialogRunner({}); SetColorPicker({}); }
    void toolCreatesFramedObjectAndOpensEditor();
    void noMasterEditor();
    void masterFoundThroughOwnerlessWindow();
    void transparency_data();
    void transparency();
    void zoomLaysOutOnUnzoomedPage();
    void editorZoomStops();
    void storedAsRtfAndSavedByteIdentical();
    void damagedRtfDrawsEmpty();
    void printsTextToPdf();
    void picturePrintsOnce();
    void keptPictureFollowsChanges_data();
    void keptPictureFollowsChanges();
};

void TestRichLabel::toolCreatesFramedObjectAndOpensEditor()
{
    Host host;
    host.resize(400, 300);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QString problem;
    SetDialogRunner([&](QDialog &d) {
        auto *editor = qobject_cast<TRichTextLabelEditor *>(&d);
        if (!editor) {
            problem = QStringLiteral("unexpected dialog");
            return int(QDialog::Rejected);
        }
        if (editor->windowTitle() != QLatin1String("Rich Text Editor"))
            problem = editor->windowTitle();
        d.show();
        editor->WPRichText1->setFocus();
        QTest::keyClicks(editor->WPRichText1, "Hello");
        editor->WPToolBar1->BoldAction()->trigger();
        QTest::keyClicks(editor->WPRichText1, "!");
        return int(QDialog::Accepted);
    });
    ChangeCounter changes(*host.panel);
    host.panel->SetPanelState(psRichLabel);
    QTest::mousePress(host.panel, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(host.panel, QPoint(200, 80));
    QTest::mouseRelease(host.panel, Qt::LeftButton, {}, QPoint(200, 80));
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(host.panel->Objects().size(), 1);
    auto *o = dynamic_cast<TGPRichBaseLabel *>(host.panel->Objects().first());
    QVERIFY(o);
    QCOMPARE(o->BorderStyle(), bsSingle);
    QVERIFY(o->Transparent());
    QCOMPARE(o->Storage()->Document().toPlainText(), QStringLiteral("Hello!"));
    QTextBlock b = o->Storage()->Document().begin();
    auto it = b.begin();
    QCOMPARE(it.fragment().text(), QStringLiteral("Hello"));
    QVERIFY(it.fragment().charFormat().fontWeight() < QFont::DemiBold);
    ++it;
    QCOMPARE(it.fragment().text(), QStringLiteral("!"));
    QVERIFY(it.fragment().charFormat().fontWeight() >= QFont::DemiBold);
    QVERIFY(changes.count > 0);
    QVERIFY(o->EditHandler);

    // Cancel changes nothing.
    SetDialogRunner([](QDialog &d) {
        auto *editor = qobject_cast<TRichTextLabelEditor *>(&d);
        d.show();
        QTest::keyClicks(editor->WPRichText1, "more");
        return int(QDialog::Rejected);
    });
    const QByteArray before = o->Storage()->Rtf();
    o->EditHandler(host.panel);
    QCOMPARE(o->Storage()->Rtf(), before);
}

void TestRichLabel::noMasterEditor()
{
    Host host(false);
    TGPRichBaseLabel o(&host);
    try {
        o.FinishLoading();
        QFAIL("no error");
    } catch (const ENoMasterWPRich &e) {
        QCOMPARE(e.message(), QStringLiteral("No master rich text object found"));
    }
    // While the stream reads it, nothing is looked for.
    TGPRichBaseLabel loading(&host);
    loading.SetLoading(true);
    loading.FinishLoading();
    QVERIFY(!loading.MasterEditor());
}

void TestRichLabel::masterFoundThroughOwnerlessWindow()
{
    // The print preparation window owns its own copy of the design and lies
    // on the main window, which owns the shared editor.
    Host main;
    Host prep(false);
    prep.setParent(&main);
    auto *o = new TGPRichBaseLabel(&prep);
    o->SetParentComponent(prep.panel);
    o->FinishLoading();
    QVERIFY(o->MasterEditor());
    QCOMPARE(o->MasterEditor()->Name(), QStringLiteral("MasterWPRichText"));
}

void TestRichLabel::transparency_data()
{
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<QRgb>("inside");
    QTest::newRow("transparent shows the panel") << true << qRgb(255, 255, 0);
    QTest::newRow("filled with BGColor") << false << qRgb(0x80, 0xC0, 0xFF);
}

void TestRichLabel::transparency()
{
    QFETCH(bool, transparent);
    QFETCH(QRgb, inside);
    Host host;
    auto *o = place(host, 0, 0, 190, 60);
    o->SetBGColor(0xFFC080);  // 0x00BBGGRR
    o->SetTransparent(transparent);
    QImage image(190, 60, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 0));
    QPainter p(&image);
    o->PaintTo(p);
    p.end();
    QCOMPARE(image.pixel(185, 55), inside);
    QVERIFY(isDark(image.pixel(0, 0)) && isDark(image.pixel(189, 59)));  // the frame
    o->SetBorderStyle(bsNone);
    image.fill(qRgb(255, 255, 0));
    p.begin(&image);
    o->PaintTo(p);
    p.end();
    QCOMPARE(image.pixel(189, 59), inside);
    QVERIFY(!inkBox(image.copy(2, 2, 180, 20), isDark).isEmpty());  // the text
}

void TestRichLabel::zoomLaysOutOnUnzoomedPage()
{
    QCOMPARE(TGPRichBaseLabel::PageSizeTwips(96, 48, 1.0), QSize(1440, 720));
    QCOMPARE(TGPRichBaseLabel::PageSizeTwips(144, 72, 1.5), QSize(1440, 720));
    QCOMPARE(TGPRichBaseLabel::PageSizeTwips(95, 1, 1.0), QSize(1425, 15));

    Host host;
    auto *o = place(host, 0, 0, 120, 90);
    o->SetBorderStyle(bsNone);
    const QRect at1 = inkBox(PaintObject(o), isDark);
    o->SetScale(1.5f);
    QCOMPARE(o->size(), QSize(180, 135));
    const QRect at15 = inkBox(PaintObject(o), isDark);
    QCOMPARE(o->MasterEditor()->Zoom(), 150);
    QCOMPARE(o->MasterEditor()->PageWidth(), 1800);
    // The same lines, drawn half as large again.
    QVERIFY2(std::abs(at15.right() - at1.right() * 1.5) <= 4 && std::abs(at15.bottom() - at1.bottom() * 1.5) <= 4,
             qPrintable(QStringLiteral("%1,%2 vs %3,%4").arg(at1.right()).arg(at1.bottom()).arg(at15.right()).arg(at15.bottom())));
}

void TestRichLabel::editorZoomStops()
{
    Host host;
    auto *o = place(host, 0, 0, 190, 33);
    o->SetScale(1.5f);
    QList<int> zooms;
    QList<QSize> sizes;
    int pageWidth = 0;
    SetDialogRunner([&](QDialog &d) -> int {
        auto *e = qobject_cast<TRichTextLabelEditor *>(&d);
        d.show();
        zooms << e->WPRichText1->Zoom();
        sizes << e->WPPanel->size();
        pageWidth = e->WPRichText1->PageWidth();
        e->ZoomPlusButtonClick();  // above 100: stays
        zooms << e->WPRichText1->Zoom();
        for (int i = 0; i < 11; ++i)
            e->ZoomMinusButtonClick();
        zooms << e->WPRichText1->Zoom();
        sizes << e->WPPanel->size();
        for (int i = 0; i < 8; ++i)
            e->ZoomPlusButtonClick();
        zooms << e->WPRichText1->Zoom();
        sizes << e->WPPanel->size();
        return int(QDialog::Rejected);
    });
    o->EditRichText();
    QCOMPARE(pageWidth, 2850);  // 190 pixels at zoom 1
    QCOMPARE(zooms, QList<int>({150, 150, 50, 100}));
    QCOMPARE(sizes, QList<QSize>({QSize(286, 51), QSize(95, 17), QSize(191, 34)}));
}

void TestRichLabel::storedAsRtfAndSavedByteIdentical()
{
    Host host;
    auto *o = place(host, 10, 20, 190, 60);
    o->SetBGColor(cl::Navy);
    QCOMPARE(writtenNames(*o).mid(writtenNames(*o).size() - 4),
             QList<QByteArray>({"RTFText.Data", "BorderStyle", "Transparent", "BGColor"}));

    PropertyWriter w;
    w.writeRootComponent(*o);
    const QByteArray record = w.data();
    QVERIFY(record.contains(Sample));
    PropertyReader r(record + '\0');
    QList<TComponent *> read;
    r.readRootComponents(&host, host.panel, [&](TComponent *c) { read.append(c); });
    QCOMPARE(read.size(), 1);
    auto *copy = dynamic_cast<TGPRichBaseLabel *>(read.first());
    QVERIFY(copy);
    copy->FinishLoading();
    QCOMPARE(copy->Storage()->Rtf(), Sample);
    QCOMPARE(copy->BGColor(), TColor(cl::Navy));
    PropertyWriter again;
    again.writeRootComponent(*copy);
    QCOMPARE(again.data(), record);
}

void TestRichLabel::damagedRtfDrawsEmpty()
{
    Host host;
    auto *o = place(host, 0, 0, 100, 40);
    o->Storage()->SetRtf(QByteArray("{\\rtf1 ") + QByteArray(5000, '{'));
    o->SetBorderStyle(bsNone);
    QVERIFY(inkBox(PaintObject(o), isDark).isEmpty());
    QVERIFY(!o->Storage()->ReadError().isEmpty());
}

void TestRichLabel::printsTextToPdf()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("poppler-utils are not installed");
    Host host;
    auto *o = place(host, 48, 24, 190, 80);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("label.pdf"));
    {
        QPdfWriter writer(file);
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(QPageSize::Letter));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        TReport report(&painter, 1200, 1200);
        o->PrintOnReport(report, 1.0, 0.5);
    }
    QProcess text;
    text.start(pdftotext, {QStringLiteral("-layout"), file, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    for (const char *w : {"Name Surname", "12 Long Street", "Centred"})
        QVERIFY2(words.contains(QLatin1String(w)), qPrintable(words));
}

void TestRichLabel::picturePrintsOnce()
{
    // A picture in the document goes into the PDF once, however many
    // labels show it.
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png, pdf;
    QBuffer pngBuffer(&png), pdfBuffer(&pdf);
    pngBuffer.open(QIODevice::WriteOnly);
    image.save(&pngBuffer, "PNG");
    Host host;
    auto *o = place(host, 0, 0, 190, 60);
    o->Storage()->SetRtf("{\\rtf1 a{\\pict\\pngblip\\picwgoal600\\pichgoal300 " + png.toHex() + "}}");
    pdfBuffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdfBuffer);
        writer.setResolution(600);
        QPainter painter(&writer);
        TReport report(&painter, 600, 600);
        for (int label = 0; label < 3; ++label)
            o->PrintOnReport(report, 0.5, 0.5 + label);
    }
    QCOMPARE(pdf.count("/Subtype /Image"), qsizetype(1));
}

void TestRichLabel::keptPictureFollowsChanges_data()
{
    QTest::addColumn<QString>("change");
    for (const char *change : {"rtf", "document", "background", "border", "zoom", "merge record"})
        QTest::newRow(change) << QString::fromLatin1(change);
}

void TestRichLabel::keptPictureFollowsChanges()
{
    // The panel paints from a kept picture; every change that shows must
    // paint anew.
    QFETCH(QString, change);
    Host host;
    host.resize(400, 300);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    auto *o = place(host, 10, 10, 190, 60);
    if (change == u"merge record")
        o->Storage()->SetRtf("{\\rtf1 Dear $\\{Name\\}}");
    const QImage before = o->grab().toImage();
    QCOMPARE(o->grab().toImage(), before);
    const QByteArray green = "{\\rtf1{\\colortbl;\\red0\\green200\\blue0;}\\fs40\\cf1 Green}";
    auto hasGreen = [](const QImage &image) {
        return !inkBox(image, [](QRgb c) { return qGreen(c) > 150 && qRed(c) < 80 && qBlue(c) < 80; }).isEmpty();
    };
    QVERIFY(!hasGreen(before));
    if (change == u"rtf") {
        o->Storage()->SetRtf(green);
        QVERIFY(hasGreen(o->grab().toImage()));
    } else if (change == u"document") {
        o->SetDocument(*rtf::Read(green).document);
        QVERIFY(hasGreen(o->grab().toImage()));
    } else if (change == u"background") {
        o->SetBGColor(0xFFC080);
        o->SetTransparent(false);
        QCOMPARE(o->grab().toImage().pixel(185, 55), qRgb(0x80, 0xC0, 0xFF));
    } else if (change == u"border") {
        QVERIFY(isDark(before.pixel(0, 0)));
        o->SetBorderStyle(bsNone);
        QVERIFY(!isDark(o->grab().toImage().pixel(0, 0)));
    } else if (change == u"zoom") {
        o->SetScale(1.5f);
        const QImage after = o->grab().toImage();
        QCOMPARE(after.size(), QSize(285, 90));
        QVERIFY(isDark(after.pixel(284, 89)));
    } else {
        host.panel->SetMergeRecord([] {
            TMergeRecord r;
            r.Fields = std::make_shared<TMergeFields>(QStringList{"Name"});
            r.Values = {QStringLiteral("Ann Lee Wolverhampton")};
            return r;
        }());
        QVERIFY(o->grab().toImage() != before);
    }
}

QTEST_MAIN(TestRichLabel)
#include "tst_richlabel.moc"
