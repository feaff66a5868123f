// The barcode object: what its label file record holds, the counter link,
// the crossed box of data that does not fit, the print run's check, and
// the properties dialog.

#include "controls/ColorCombo.h"
#include "controls/DialogSupport.h"
#include "design/Gbasepnl.h"
#include "objects/Register.h"
#include "objects/graphic/Gbarcode.h"
#include "objects/graphic/Gbarprop.h"
#include "objects/text/Gpclabel.h"
#include "print/RunCheck.h"
#include "storage/Stream.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>
#include <QtTest>

#include <memory>

namespace {

QByteArray writeObject(const TComponent &c)
{
    PropertyWriter w;
    w.writeRootComponent(c);
    return w.data();
}

std::unique_ptr<TGBarcode> readObject(const QByteArray &data)
{
    PropertyReader r(data + '\0');
    std::unique_ptr<TGBarcode> result;
    r.readRootComponents(nullptr, nullptr, [&](TComponent *c) { result.reset(dynamic_cast<TGBarcode *>(c)); });
    return result;
}

QImage paintObject(TGGraphicControl &o)
{
    QImage image(o.Width(), o.Height(), QImage::Format_RGB32);
    image.fill(Qt::cyan);
    QPainter p(&image);
    o.PaintTo(p);
    return image;
}

template <class T>
T *add(TGBasePanel &panel, QRect bounds)
{
    auto *o = new T();
    o->SetParentComponent(&panel);
    o->FinishLoading();
    o->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    return o;
}

}  // namespace

class BarcodeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { RegisterLabelClasses(); }
    void stream();
    void counterLink();
    void drawing();
    void runCheck_data();
    void runCheck();
    void dialog();
};

void BarcodeTest::stream()
{
    TGBarcode plain;
    plain.SetName(QStringLiteral("Plain"));
    const QByteArray defaults = writeObject(plain);
    for (const char *name : {"Symbology", "UseCounter", "ShowText", "ForeColor", "BackColor", "ModuleWidth",
                             "Angle", "QuietZones", "ErrorCorrection", "GS1Data", "Data"})
        QVERIFY2(!defaults.contains(name), name);

    TGBarcode b;
    b.SetName(QStringLiteral("Tag"));
    b.SetSymbology(58);
    b.SetData(QStringLiteral("https://quillmark.example/ü"));
    b.SetUseCounter(true);
    b.SetShowText(false);
    b.Font()->SetName(QStringLiteral("Liberation Serif"));
    b.SetForeColor(cl::Navy);
    b.SetTransparent(true);
    b.SetModuleWidth(0.02);
    b.SetAngle(270);
    b.SetQuietZones(false);
    b.SetErrorCorrection(4);
    b.SetSymbolSize(7);
    b.SetGS1Data(true);
    const QByteArray bytes = writeObject(b);
    const std::unique_ptr<TGBarcode> copy = readObject(bytes);
    QVERIFY(copy);
    QCOMPARE(writeObject(*copy), bytes);
    QCOMPARE(copy->Data(), b.Data());
    QCOMPARE(copy->ModuleWidth(), 0.02);
    QCOMPARE(copy->Angle(), 270);
    QVERIFY(copy->UseCounter() && copy->Transparent() && !copy->QuietZones() && copy->GS1Data());
}

void BarcodeTest::counterLink()
{
    TGBasePanel panel;
    panel.resize(300, 200);
    auto *b = add<TGBarcode>(panel, QRect(0, 0, 200, 80));
    b->SetUseCounter(true);
    QCOMPARE(b->DrawnData(), QString());
    QVERIFY(b->PrintProblem().contains(QLatin1String("no counter")));

    auto *counter = add<TGCounterLabel>(panel, QRect(0, 100, 80, 20));
    counter->SetStartingnumber(98);
    counter->SetLeadingZeros(4);
    counter->SetRepeatEach(2);
    counter->SetTextBefore(QStringLiteral("No. "));
    panel.RestartSequences();
    QStringList seen;
    for (int k = 0; k < 5; ++k) {
        seen << b->DrawnData();
        QVERIFY(b->PrintProblem().isEmpty());
        panel.AdvanceLabels();
    }
    QCOMPARE(seen, (QStringList{"0098", "0098", "0099", "0099", "0100"}));
    b->SetUseCounter(false);
    b->SetData(QStringLiteral("typed"));
    QCOMPARE(b->DrawnData(), QStringLiteral("typed"));
}

void BarcodeTest::drawing()
{
    TGBarcode b;
    b.SetBounds(0, 0, 240, 100);
    b.SetData(QStringLiteral("QM1000"));
    QImage image = paintObject(b);
    // Bars in black on the white ground, edge to edge in the quiet zones.
    int dark = 0;
    for (int x = 0; x < image.width(); ++x)
        dark += qGray(image.pixel(x, 30)) < 64 ? 1 : 0;
    QVERIFY(dark > 40);
    QCOMPARE(image.pixel(1, 30), qRgb(255, 255, 255));

    b.SetTransparent(true);
    image = paintObject(b);
    QCOMPARE(image.pixel(1, 30), QColor(Qt::cyan).rgb());

    // Data outside the symbology: the crossed box with Zint's message.
    b.SetSymbology(13);
    b.SetData(QStringLiteral("5012345678901"));
    QVERIFY(b.Symbol().error.contains(QLatin1String("Invalid check digit")));
    image = paintObject(b);
    const QColor diagonal = image.pixel(24, 10);
    QVERIFY(diagonal.red() > 200 && diagonal.green() < 80);
}

void BarcodeTest::runCheck_data()
{
    QTest::addColumn<int>("symbology");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("problem");   // empty: none

    // Pharmacode takes 3 to 131070; cells 0 and 2 are printed.
    QTest::newRow("second label, cell 2") << 51 << 131070 << 1 << "Label 3 on page 1 cannot be printed:\nthe Pharmacode One-Track barcode with the data \"131071\": Error";
    QTest::newRow("on the next sheet") << 51 << 131069 << 2 << "Label 1 on page 2 cannot be printed:\nthe Pharmacode One-Track barcode with the data \"131071\": Error";
    QTest::newRow("every label fits") << 51 << 1000 << 5 << "";
}

void BarcodeTest::runCheck()
{
    QFETCH(int, symbology);
    QFETCH(int, start);
    QFETCH(int, pages);
    QFETCH(QString, problem);

    TGBasePanel panel;
    panel.resize(254, 96);
    auto *counter = add<TGCounterLabel>(panel, QRect(0, 60, 80, 20));
    counter->SetStartingnumber(start);
    auto *b = add<TGBarcode>(panel, QRect(0, 0, 200, 60));
    b->SetSymbology(symbology);
    b->SetUseCounter(true);
    TSheetMetrics sheet;
    sheet.Across = 3;
    sheet.Down = 1;
    QList<bool> cells{true, false, true};
    const QString found = RunProblem(&panel, sheet, cells, pages);
    if (problem.isEmpty())
        QVERIFY2(found.isEmpty(), qPrintable(found));
    else
        QVERIFY2(found.startsWith(problem), qPrintable(found));
    // The run starts from the counter's first number again.
    QCOMPARE(counter->CurrentValue(), start);
    QVERIFY(!panel.Printing());
}

void BarcodeTest::dialog()
{
    TGBasePanel panel;
    panel.resize(300, 200);
    auto *counter = add<TGCounterLabel>(panel, QRect(0, 100, 80, 20));
    counter->SetStartingnumber(77);
    auto *b = add<TGBarcode>(panel, QRect(0, 0, 200, 80));
    b->SetData(QStringLiteral("12345"));
    QString eanMessage, counterMessage;
    QString title;
    bool checkDigitForQr = true, checkDigitForCode39 = false, errorCorrectionForQr = false;
    SetDialogRunner([&](QDialog &d) {
        auto &dialog = static_cast<TBarcodeProperties &>(d);
        title = dialog.windowTitle();
        dialog.SymbologyBox->setCurrentIndex(dialog.SymbologyBox->findData(58, Qt::UserRole));
        checkDigitForQr = dialog.CheckDigitBox->isEnabled();
        errorCorrectionForQr = dialog.ErrorCorrectionEdit->isEnabled();
        dialog.SymbologyBox->setCurrentIndex(dialog.SymbologyBox->findData(8, Qt::UserRole));
        checkDigitForCode39 = dialog.CheckDigitBox->isEnabled();
        dialog.SymbologyBox->setCurrentIndex(dialog.SymbologyBox->findData(13, Qt::UserRole));
        dialog.DataEdit->setText(QStringLiteral("5012345678901"));
        eanMessage = dialog.MessageLabel->text();
        dialog.UseCounterBox->setChecked(true);
        counterMessage = dialog.MessageLabel->text();
        dialog.CheckDigitBox->setChecked(false);
        dialog.AngleBox->setCurrentIndex(1);
        return int(QDialog::Accepted);
    });
    QVERIFY(b->EditProperties());
    SetDialogRunner(nullptr);
    QCOMPARE(title, QStringLiteral("Barcode Properties"));
    QVERIFY(!checkDigitForQr && errorCorrectionForQr);
    QVERIFY(checkDigitForCode39);
    QVERIFY2(eanMessage.contains(QLatin1String("Invalid check digit &#x27;1&#x27;, expecting &#x27;0&#x27;"))
                 || eanMessage.contains(QLatin1String("Invalid check digit '1', expecting '0'")),
             qPrintable(eanMessage));
    QVERIFY2(counterMessage.contains(QLatin1String("77")), qPrintable(counterMessage));
    QCOMPARE(b->Symbology(), 13);
    QVERIFY(b->UseCounter());
    QCOMPARE(b->Angle(), 90);
    QCOMPARE(b->DrawnData(), QStringLiteral("77"));
}

QTEST_MAIN(BarcodeTest)
#include "tst_barcode.moc"
