// The user-defined layout editor driven through its widgets: units, paper
// sizes, the pitch rules, Ok's rounding and the checks with their messages.

#include "layout/Edittpl.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <memory>

namespace {

const char *const MeasurementEdits[] = {"elblwidth", "elblHeight", "eHorizPitch", "eVertPitch",
                                        "eleftmarg", "etopmarg", "esheetwidth", "esheetdepth"};

TLabelLayout startLayout()
{
    TLabelLayout l = TLabelLayout::Default();
    l.LabelWidth = 2.625;
    l.HorizontalPitch = 2.75;
    return l;
}

// TEditorFixture: an editor shown on a layout, its messages collected.
struct TEditorFixture
{
    std::unique_ptr<TUserEditLabelLayout> dialog = std::make_unique<TUserEditLabelLayout>();
    QStringList messages;

    explicit TEditorFixture(const TLabelLayout &layout = startLayout(), bool useMM = false)
    {
        dialog->ShowMessage = [this](const QString &m) { messages.append(m); };
        dialog->SetFromLayout(layout);
        dialog->SetUseMM(useMM);
        dialog->show();
    }
    NumberEdit *edit(const char *name) const
    {
        return dialog->findChild<NumberEdit *>(QLatin1String(name));
    }
    QSpinBox *spin(const char *name) const
    {
        return dialog->findChild<QSpinBox *>(QLatin1String(name));
    }
    QComboBox *combo(const char *name) const
    {
        return dialog->findChild<QComboBox *>(QLatin1String(name));
    }
    void type(const char *name, const QString &text) const
    {
        NumberEdit *e = edit(name);
        e->clear();
        QTest::keyClicks(e, text);
    }
    void leave(const char *name) const
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit(name), &out);
    }
    void click(const char *name) const
    {
        dialog->findChild<QAbstractButton *>(QLatin1String(name))->click();
    }
    QStringList texts() const
    {
        QStringList t;
        for (const char *name : MeasurementEdits)
            t.append(edit(name)->text());
        return t;
    }
    bool accepted() const
    {
        return !dialog->isVisible() && dialog->result() == QDialog::Accepted;
    }
};

}  // namespace

// TestUserEdit: the "User Defined Label Layout" dialog.
class TestUserEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstActivation_data()
    {
        QTest::addColumn<QString>("paper");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("paperItem");
        QTest::addColumn<int>("shapeItem");
        QTest::newRow("LTR RR") << "LTR" << "RR" << 0 << 0;
        QTest::newRow("LTRL SR") << "LTRL" << "SR" << 1 << 1;
        QTest::newRow("A4 EL") << "A4" << "EL" << 2 << 2;
        QTest::newRow("A4L, unknown shape is round") << "A4L" << "XX" << 3 << 2;
        QTest::newRow("A5, lower-case shape is round") << "A5" << "rr" << 4 << 2;
        QTest::newRow("unknown paper is Letter") << "a4" << "" << 0 << 2;
    }

    void firstActivation()
    {
        QFETCH(QString, paper);
        QFETCH(QString, shape);
        QFETCH(int, paperItem);
        QFETCH(int, shapeItem);
        TLabelLayout l = startLayout();
        l.PaperSize = paper;
        l.LabelShape = shape;
        l.PageWidth = 9;  // not Letter: the list must not recompute the page size
        l.Across = 4;
        l.Down = 31;  // beyond the spin edit's range
        TEditorFixture f(l);
        QCOMPARE(f.combo("epapersize")->currentIndex(), paperItem);
        QCOMPARE(f.combo("eLabelShape")->currentIndex(), shapeItem);
        QCOMPARE(f.texts(), (QStringList{"2.625", "1.0", "2.75", "1.01", "0.188", "0.5", "9.0",
                                         "11.0"}));
        QCOMPARE(f.spin("enbracross")->value(), 4);
        QCOMPARE(f.spin("enbrdown")->value(), 30);
    }

    void startsInMillimetres()
    {
        TEditorFixture f(startLayout(), true);
        QCOMPARE(f.texts(), (QStringList{"66.67", "25.40", "69.85", "25.65", "4.78", "12.70",
                                         "215.90", "279.40"}));
        f.click("CancelButton");
        QVERIFY(f.dialog->UseMM());
    }

    void unitRoundTrip_data()
    {
        QTest::addColumn<QString>("inches");
        QTest::addColumn<QString>("mm");
        QTest::addColumn<QString>("back");
        QTest::newRow("2.625") << "2.625" << "66.67" << "2.625";
        QTest::newRow("0.188") << "0.188" << "4.78" << "0.188";
        QTest::newRow("whole") << "3" << "76.20" << "3.0";
        QTest::newRow("tiny") << "0.001" << "0.03" << "0.001";
        QTest::newRow("six digits") << "999.999" << "25399.97" << "999.999";
        QTest::newRow("negative") << "-0.5" << "-12.70" << "-0.5";
        QTest::newRow("empty") << "" << "0.00" << "0.0";
    }

    void unitRoundTrip()
    {
        QFETCH(QString, inches);
        QFETCH(QString, mm);
        QFETCH(QString, back);
        TEditorFixture f;
        for (const char *name : {"elblwidth", "elblHeight", "eHorizPitch", "eVertPitch",
                                 "eleftmarg", "etopmarg"})
            f.type(name, inches);
        f.click("MMButton");
        f.click("MMButton");  // no change, no second conversion
        QCOMPARE(f.texts().mid(0, 6), QStringList(6, mm));
        QCOMPARE(f.texts().mid(6), (QStringList{"215.90", "279.40"}));
        f.click("Inchesbutton");
        QCOMPARE(f.texts().mid(0, 6), QStringList(6, back));
        QCOMPARE(f.texts().mid(6), (QStringList{"8.5", "11.0"}));
    }

    void typingIsLimited_data()
    {
        QTest::addColumn<bool>("mm");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::newRow("six digits") << false << "1234567" << "123456";
        QTest::newRow("three decimals") << false << "1.23456" << "1.234";
        QTest::newRow("two decimals in mm") << true << "25.456" << "25.45";
        QTest::newRow("letters and a second point") << false << "1a.b2.3" << "1.23";
        QTest::newRow("minus") << false << "-1.5" << "-1.5";
    }

    void typingIsLimited()
    {
        QFETCH(bool, mm);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        TEditorFixture f(startLayout(), mm);
        f.type("eleftmarg", keys);
        QCOMPARE(f.edit("eleftmarg")->text(), text);
    }

    void paperSize_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("mm");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::newRow("Letter") << 0 << false << "8.5" << "11.0";
        QTest::newRow("Letter Landscape") << 1 << false << "11.0" << "8.5";
        QTest::newRow("A4") << 2 << false << "8.27" << "11.69";
        QTest::newRow("A4 Landscape") << 3 << false << "11.69" << "8.27";
        QTest::newRow("A5") << 4 << false << "5.82" << "8.27";
        QTest::newRow("Letter mm") << 0 << true << "215.90" << "279.40";
        QTest::newRow("A4 mm") << 2 << true << "210.06" << "296.93";
        QTest::newRow("A4 Landscape mm") << 3 << true << "296.93" << "210.06";
        QTest::newRow("A5 mm") << 4 << true << "147.83" << "210.06";
    }

    void paperSize()
    {
        QFETCH(int, item);
        QFETCH(bool, mm);
        QFETCH(QString, width);
        QFETCH(QString, height);
        TLabelLayout l = startLayout();
        l.PageWidth = 1;
        l.PageHeight = 2;
        TEditorFixture f(l, mm);
        QComboBox *paper = f.combo("epapersize");
        QTest::keyClick(paper, Qt::Key_Down);  // activated: the page size follows
        for (int i = paper->currentIndex(); i < item; ++i)
            QTest::keyClick(paper, Qt::Key_Down);
        for (int i = paper->currentIndex(); i > item; --i)
            QTest::keyClick(paper, Qt::Key_Up);
        QCOMPARE(paper->currentIndex(), item);
        QCOMPARE(f.edit("esheetwidth")->text(), width);
        QCOMPARE(f.edit("esheetdepth")->text(), height);
    }

    void leavingSizeRaisesPitch_data()
    {
        QTest::addColumn<bool>("mm");
        QTest::addColumn<bool>("width");  // else height
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pitchText");
        QTest::newRow("wider than pitch") << false << true << "3" << "3";
        QTest::newRow("narrower keeps pitch") << false << true << "2" << "2.75";
        QTest::newRow("equal keeps pitch") << false << true << "2.750" << "2.75";
        QTest::newRow("higher than pitch") << false << false << "1.5" << "1.5";
        QTest::newRow("lower keeps pitch") << false << false << "0.5" << "1.01";
        QTest::newRow("mm wider") << true << true << "70.1" << "70.1";
        QTest::newRow("mm narrower") << true << true << "69.8" << "69.85";
    }

    void leavingSizeRaisesPitch()
    {
        QFETCH(bool, mm);
        QFETCH(bool, width);
        QFETCH(QString, typed);
        QFETCH(QString, pitchText);
        const char *size = width ? "elblwidth" : "elblHeight";
        const char *pitch = width ? "eHorizPitch" : "eVertPitch";
        TEditorFixture f(startLayout(), mm);
        f.type(size, typed);
        f.leave(size);
        QCOMPARE(f.edit(pitch)->text(), pitchText);
    }

    void checks_data()
    {
        QTest::addColumn<QStringList>("typed");  // width, height, h pitch, v pitch, left, top
        QTest::addColumn<int>("across");
        QTest::addColumn<int>("down");
        QTest::addColumn<double>("pageWidth");
        QTest::addColumn<double>("pageHeight");
        QTest::addColumn<QString>("message");

        const QStringList fine = {"2", "1", "2", "1", "0.2", "0.5"};
        auto with = [&](int i, const QString &v) {
            QStringList t = fine;
            t[i] = v;
            return t;
        };
        QTest::newRow("fine") << fine << 3 << 10 << 8.5 << 11.0 << "";
        QTest::newRow("height 0.3 passes") << with(1, "0.3") << 1 << 1 << 8.5 << 11.0 << "";
        QTest::newRow("height 0.29 fails") << with(1, "0.29") << 1 << 1 << 8.5 << 11.0
                                           << "Label Height must be at least .3 inches (or 7mm)";
        QTest::newRow("empty height fails") << with(1, "") << 1 << 1 << 8.5 << 11.0
                                            << "Label Height must be at least .3 inches (or 7mm)";
        QTest::newRow("width 0.5 passes") << with(0, "0.5") << 1 << 1 << 8.5 << 11.0 << "";
        QTest::newRow("width 0.499 fails") << with(0, "0.499") << 1 << 1 << 8.5 << 11.0
                                           << "Label Width must be at least .5 inch (or 13mm)";
        QTest::newRow("one column, narrow pitch") << with(2, "1") << 1 << 10 << 8.5 << 11.0 << "";
        QTest::newRow("two columns, narrow pitch") << with(2, "1.999") << 2 << 10 << 8.5 << 11.0
                                                   << "Horizontal Pitch must be at least = Label Width";
        QTest::newRow("one row, short pitch") << with(3, "0.5") << 3 << 1 << 8.5 << 11.0 << "";
        QTest::newRow("two rows, short pitch") << with(3, "0.999") << 3 << 2 << 8.5 << 11.0
                                               << "Vertical Pitch must be at least = Label Height";
        QTest::newRow("page width 0.29") << fine << 3 << 10 << 0.29 << 11.0
                                         << "Page Width must be at least .3 inch";
        QTest::newRow("page height 0.29") << fine << 3 << 10 << 8.5 << 0.29
                                          << "Page Height must be at least .3 inches";
        QTest::newRow("runaway layout is accepted")
            << QStringList{"5", "3", "9", "4", "20", "-3"} << 10 << 30 << 8.5 << 11.0 << "";
        QTest::newRow("zero margins and pitches with one label")
            << QStringList{"2", "1", "0", "0", "0", "0"} << 1 << 1 << 0.3 << 0.3 << "";
    }

    void checks()
    {
        QFETCH(QStringList, typed);
        QFETCH(int, across);
        QFETCH(int, down);
        QFETCH(double, pageWidth);
        QFETCH(double, pageHeight);
        QFETCH(QString, message);
        TLabelLayout l = startLayout();
        l.PageWidth = pageWidth;
        l.PageHeight = pageHeight;
        TEditorFixture f(l);
        const char *names[] = {"elblwidth", "elblHeight", "eHorizPitch", "eVertPitch",
                               "eleftmarg", "etopmarg"};
        for (int i = 0; i < 6; ++i)
            f.type(names[i], typed[i]);
        f.spin("enbracross")->setValue(across);
        f.spin("enbrdown")->setValue(down);
        f.click("OkButton");
        if (message.isEmpty()) {
            QVERIFY(f.messages.isEmpty());
            QVERIFY(f.accepted());
        } else {
            QCOMPARE(f.messages, QStringList{message});
            QVERIFY(f.dialog->isVisible());
            QCOMPARE(f.edit(names[1])->text(), typed[1]);  // left as typed
        }
    }

    void messagesInOrder()
    {
        TLabelLayout l = startLayout();
        l.LabelHeight = 0.1;
        l.LabelWidth = 0.1;
        l.HorizontalPitch = 0.05;
        l.VerticalPitch = 0.05;
        l.Across = 2;
        l.Down = 2;
        l.PageWidth = 0.1;
        l.PageHeight = 0.1;
        TEditorFixture f(l);
        f.click("OkButton");
        f.type("elblHeight", "1");
        f.click("OkButton");
        f.type("elblwidth", "2");
        f.click("OkButton");
        f.type("eHorizPitch", "2");
        f.click("OkButton");
        f.type("eVertPitch", "1");
        f.click("OkButton");
        f.edit("esheetwidth")->setText("8.5");
        f.click("OkButton");
        QVERIFY(f.dialog->isVisible());
        f.edit("esheetdepth")->setText("11");
        f.click("OkButton");
        QCOMPARE(f.messages, (QStringList{"Label Height must be at least .3 inches (or 7mm)",
                                          "Label Width must be at least .5 inch (or 13mm)",
                                          "Horizontal Pitch must be at least = Label Width",
                                          "Vertical Pitch must be at least = Label Height",
                                          "Page Width must be at least .3 inch",
                                          "Page Height must be at least .3 inches"}));
        QVERIFY(f.accepted());
    }

    void millimetresOk_data()
    {
        QTest::addColumn<QString>("height");
        QTest::addColumn<float>("inches");
        QTest::addColumn<bool>("passes");
        QTest::newRow("25.4 mm") << "25.4" << 1.0f << true;
        QTest::newRow("10 mm") << "10" << 0.394f << true;
        QTest::newRow("7.62 mm") << "7.62" << 0.3f << true;
        QTest::newRow("7.6 mm rounds down to 0.299") << "7.6" << 0.299f << false;
        QTest::newRow("7 mm") << "7" << 0.276f << false;
        QTest::newRow("0.01 mm") << "0.01" << 0.0f << false;
    }

    void millimetresOk()
    {
        QFETCH(QString, height);
        QFETCH(float, inches);
        QFETCH(bool, passes);
        TEditorFixture f(startLayout(), true);
        f.type("elblHeight", height);
        f.type("eVertPitch", height);
        f.click("OkButton");
        QCOMPARE(f.dialog->LabelHeight, inches);
        QCOMPARE(f.dialog->VerticalPitch, inches);
        QCOMPARE(f.accepted(), passes);
        // The untouched values come back as rounded to three decimals.
        QCOMPARE(f.dialog->LabelWidth, 2.625f);
        QCOMPARE(f.dialog->LeftMargin, 0.188f);
        QCOMPARE(f.dialog->PageWidth, 8.5f);
    }

    void okReturnsUserDefinedLayout()
    {
        TLabelLayout l = startLayout();
        l.ArtName = QStringLiteral("AV5196");
        l.ColumnGap = 0.25;
        TEditorFixture f(l);
        QTest::keyClick(f.combo("epapersize"), Qt::Key_Down);  // Letter Landscape
        QTest::keyClick(f.combo("eLabelShape"), Qt::Key_Down);  // Rectangular
        f.spin("enbracross")->setValue(2);
        f.spin("enbrdown")->setValue(7);
        f.type("etopmarg", "0.3");
        f.click("OkButton");
        QVERIFY(f.accepted());
        TLabelLayout expected = l;
        expected.Name = QStringLiteral("USER DEFINED");
        expected.LabelWidth = 2.625;
        expected.LabelHeight = 1;
        expected.HorizontalPitch = 2.75;
        expected.VerticalPitch = double(1.01f);
        expected.LeftMargin = double(0.188f);
        expected.TopMargin = double(0.3f);
        expected.PageWidth = 11;
        expected.PageHeight = 8.5;
        expected.Across = 2;
        expected.Down = 7;
        expected.PaperSize = QStringLiteral("LTRL");
        expected.LabelShape = QStringLiteral("SR");
        expected.PrinterType.clear();
        expected.ProductType.clear();
        expected.ArtName.clear();
        expected.ColumnGap = 0;
        QCOMPARE(f.dialog->UserDefinedLayout(), expected);
        QVERIFY(!f.dialog->UseMM());
    }

    void cancelKeepsUnitChoice()
    {
        TEditorFixture f;
        f.click("MMButton");
        f.type("elblHeight", "0");
        f.click("CancelButton");
        QCOMPARE(f.dialog->result(), int(QDialog::Rejected));
        QVERIFY(f.messages.isEmpty());
        QVERIFY(f.dialog->UseMM());
        QCOMPARE(f.dialog->LabelHeight, 1.0f);
    }
};

QObject *newUserEditTest()
{
    return new TestUserEdit;
}

#include "tst_useredit.moc"
