#include "controls/ColorCombo.h"
#include "controls/DialogSupport.h"
#include "controls/Fonts.h"
#include "controls/SpinEdit.h"

#include <QDialog>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestControls : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { InstallFontSubstitutions(); }

    void spinValue_data();
    void spinValue();
    void spinStep_data();
    void spinStep();
    void spinFocusOutClamps();
    void spinMaxLength();

    void colorComboNamedAndCustom();
    void colorComboShowsListedEntry_data();
    void colorComboShowsListedEntry();
    void colorComboCustomEntry_data();
    void colorComboCustomEntry();

    void mulDiv_data();
    void mulDiv();
    void substitutions_data();
    void substitutions();

    void placeDialogOverMainWindow();
    void buttonStrip();
};

void TestControls::spinValue_data()
{
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");

    QTest::newRow("integer") << 1 << 999 << "42" << 42;
    QTest::newRow("not a number reads as minimum") << 1 << 999 << "abc" << 1;
    QTest::newRow("empty reads as minimum") << 0 << 9 << "" << 0;
    QTest::newRow("lone minus reads as minimum") << 0 << 9 << "-" << 0;
    QTest::newRow("above maximum") << 1 << 999 << "5000" << 999;
    QTest::newRow("below minimum") << 1 << 999 << "0" << 1;
    QTest::newRow("unbounded keeps negative") << 0 << 0 << "-17" << -17;
    QTest::newRow("unbounded garbage is zero") << 0 << 0 << "12x" << 0;
    QTest::newRow("beyond 32 bits is not an integer") << 0 << 0 << "99999999999" << 0;
    QTest::newRow("equal non-zero bounds are unbounded") << 5 << 5 << "77" << 77;
}

void TestControls::spinValue()
{
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(QString, text);
    QFETCH(int, value);
    TSpinEdit spin;
    spin.setRange(minimum, maximum);
    spin.findChild<QLineEdit *>()->setText(text);
    QCOMPARE(spin.value(), value);
}

void TestControls::spinStep_data()
{
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("after");

    QTest::newRow("up") << 1 << 999 << "5" << 1 << "6";
    QTest::newRow("down") << 1 << 999 << "5" << -1 << "4";
    QTest::newRow("down stops at minimum") << 1 << 999 << "1" << -1 << "1";
    QTest::newRow("up stops at maximum") << 0 << 9 << "9" << 1 << "9";
    QTest::newRow("out of range text is clamped by a step") << 0 << 9 << "50" << -1 << "8";
    QTest::newRow("garbage steps from minimum") << 1 << 999 << "x" << 1 << "2";
    QTest::newRow("unbounded goes negative") << 0 << 0 << "0" << -1 << "-1";
    QTest::newRow("unbounded stops at the top") << 0 << 0 << "2147483647" << 1 << "2147483647";
}

void TestControls::spinStep()
{
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(QString, text);
    QFETCH(int, steps);
    QFETCH(QString, after);
    TSpinEdit spin;
    spin.setRange(minimum, maximum);
    spin.findChild<QLineEdit *>()->setText(text);
    spin.stepBy(steps);
    QCOMPARE(spin.text(), after);
}

void TestControls::spinFocusOutClamps()
{
    QWidget w;
    auto *spin = new TSpinEdit(&w);
    spin->setRange(1, 999);
    auto *other = new QLineEdit(&w);
    other->move(0, 40);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    spin->setFocus();
    spin->findChild<QLineEdit *>()->setText(QString());
    QTest::keyClicks(spin, "1500");
    QCOMPARE(spin->text(), QStringLiteral("1500"));
    other->setFocus();
    QTRY_COMPARE(spin->text(), QStringLiteral("999"));

    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Up);  // keyboard step uses the same rule
    QCOMPARE(spin->text(), QStringLiteral("999"));
    QTest::keyClick(spin, Qt::Key_Down);
    QCOMPARE(spin->text(), QStringLiteral("998"));
}

void TestControls::spinMaxLength()
{
    TSpinEdit spin;
    spin.setRange(0, 9);
    spin.setMaxLength(1);
    spin.findChild<QLineEdit *>()->setText(QString());
    QTest::keyClicks(&spin, "42");
    QCOMPARE(spin.text(), QStringLiteral("4"));
}

void TestControls::colorComboNamedAndCustom()
{
    TColorComboBox box;
    QCOMPARE(box.count(), 17);
    QCOMPARE(box.itemText(box.customIndex()), QStringLiteral("Custom..."));
    QCOMPARE(box.maxVisibleItems(), 18);

    box.setColor(cl::Gray);
    QCOMPARE(box.currentText(), QStringLiteral("Gray"));
    QCOMPARE(box.color(), cl::Gray);

    box.setColor(0x123456);
    QCOMPARE(box.currentIndex(), box.customIndex());
    QCOMPARE(box.color(), TColor(0x123456));

    QSignalSpy spy(&box, &TColorComboBox::colorChanged);
    box.setColor(cl::Aqua);
    QCOMPARE(spy.count(), 0);  // only user choices are reported
    Q_EMIT box.activated(box.findText(QStringLiteral("Red")));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<TColor>(), cl::Red);
    QCOMPARE(box.color(), cl::Red);
}

void TestControls::colorComboShowsListedEntry_data()
{
    QTest::addColumn<TColor>("color");
    QTest::addColumn<QString>("entry");

    QTest::newRow("black") << cl::Black << "Black";
    QTest::newRow("white") << cl::White << "White";
    QTest::newRow("navy") << cl::Navy << "Navy";
    QTest::newRow("silver") << cl::Silver << "Silver";
    // The colour of a default font, drawn black.
    QTest::newRow("window text") << cl::WindowText << "Black";
    // Flag bits above the colour leave the colour drawn.
    QTest::newRow("maroon with a palette flag") << TColor(0x02000080) << "Maroon";
    QTest::newRow("off the list") << TColor(0x123456) << "Custom...";
    QTest::newRow("one step off black") << TColor(0x000001) << "Custom...";
    QTest::newRow("no colour") << cl::None << "Custom...";
}

void TestControls::colorComboShowsListedEntry()
{
    QFETCH(TColor, color);
    QFETCH(QString, entry);
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::Text, Qt::black);
    QGuiApplication::setPalette(palette);

    TColorComboBox box;
    box.setColor(cl::Teal);
    box.setColor(color);
    QCOMPARE(box.currentText(), entry);
    // The value stays as given, so a dialog that is confirmed untouched
    // writes back what it was shown.
    QCOMPARE(box.color(), color);
}

void TestControls::colorComboCustomEntry_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QColor>("chosen");
    QTest::addColumn<TColor>("result");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("signals");

    QTest::newRow("custom colour") << true << QColor(0x12, 0x34, 0x56) << TColor(0x563412) << "Custom..." << 1;
    QTest::newRow("a named colour from the dialog") << true << QColor(0, 0, 128) << cl::Navy << "Navy" << 1;
    QTest::newRow("cancel restores") << false << QColor() << cl::Teal << "Teal" << 0;
}

void TestControls::colorComboCustomEntry()
{
    QFETCH(bool, accept);
    QFETCH(QColor, chosen);
    QFETCH(TColor, result);
    QFETCH(QString, shown);
    QFETCH(int, signals);

    TColorComboBox box;
    box.setColor(cl::Teal);
    QColor initial;
    SetColorPicker([&](const QColor &init, QWidget *) -> std::optional<QColor> {
        initial = init;
        if (!accept)
            return std::nullopt;
        return chosen;
    });
    QSignalSpy spy(&box, &TColorComboBox::colorChanged);
    box.setCurrentIndex(box.customIndex());
    Q_EMIT box.activated(box.customIndex());
    SetColorPicker({});
    QCOMPARE(initial, QColor(0, 128, 128));
    QCOMPARE(box.color(), result);
    QCOMPARE(box.currentText(), shown);
    QCOMPARE(spy.count(), signals);
}

void TestControls::mulDiv_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("result");
    QTest::newRow("10 pt at 96") << 10 << 96 << 72 << 13;
    QTest::newRow("9 pt at 96 (12 exact)") << 9 << 96 << 72 << 12;
    QTest::newRow("half rounds away from zero") << 3 << 1 << 2 << 2;
    QTest::newRow("negative half") << -3 << 1 << 2 << -2;
    QTest::newRow("64-bit product") << 100000000 << 96 << 72 << 133333333;
    QTest::newRow("divide by zero") << 5 << 5 << 0 << -1;
}

void TestControls::mulDiv()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, c);
    QFETCH(int, result);
    QCOMPARE(MulDiv(a, b, c), result);
    if (c == 72 && a > 0)
        QCOMPARE(FontHeightFromPoints(a, b), -result);
}

void TestControls::substitutions_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("family");
    QTest::newRow("Arial") << "Arial" << "Liberation Sans";
    QTest::newRow("Times New Roman") << "Times New Roman" << "Liberation Serif";
    QTest::newRow("Courier New") << "Courier New" << "Liberation Mono";
}

void TestControls::substitutions()
{
    QFETCH(QString, face);
    QFETCH(QString, family);
    QFont f(face);
    f.setPixelSize(13);
    QCOMPARE(QFontInfo(f).family(), family);
}

void TestControls::placeDialogOverMainWindow()
{
    QWidget main;
    main.setGeometry(100, 80, 600, 400);
    SetDialogMainWindow(&main);
    QDialog d;
    SetupFixedDialog(&d, QStringLiteral("Test"), 300, 200);
    PlaceDialog(&d);
    const QRect m = main.frameGeometry();
    QCOMPARE(d.pos(), QPoint(m.left() + (m.width() - 300) / 2, m.top() + (m.height() - 200) / 2));

    // A dialog that would hang off the screen is centred on it instead.
    main.setGeometry(-2000, -2000, 600, 400);
    PlaceDialog(&d);
    QVERIFY(d.pos().x() >= 0 && d.pos().y() >= 0);
    SetDialogMainWindow(nullptr);
}

void TestControls::buttonStrip()
{
    QDialog d;
    auto *strip = new TDialogButtonStrip(&d, 40004);
    QVERIFY(strip->okButton()->isDefault());
    int topic = 0;
    SetHelpHandler([&](QWidget *, int t) { topic = t; });
    strip->helpButton()->click();
    SetHelpHandler({});
    QCOMPARE(topic, 40004);
    QVERIFY(!d.result());

    int code = -1;
    SetDialogRunner([&](QDialog &dlg) {
        strip->cancelButton()->click();
        return dlg.result();
    });
    code = ExecDialog(d);
    QCOMPARE(code, int(QDialog::Rejected));
    SetDialogRunner([&](QDialog &dlg) {
        strip->okButton()->click();
        return dlg.result();
    });
    code = ExecDialog(d);
    SetDialogRunner({});
    QCOMPARE(code, int(QDialog::Accepted));
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
