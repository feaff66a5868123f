// The template chooser driven through its widgets: presetting, filtering,
// type-ahead, description, Ok and Cancel.

#include "CsvTable.h"
#include "LibraryFixture.h"

#include "layout/Loadtpl.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

QStringList listed(TSelectTemplate &dialog)
{
    auto *list = dialog.findChild<QListWidget *>(QStringLiteral("TemplateList"));
    QStringList lines;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem *item = list->item(row);
        lines.append(item->text() + QLatin1Char('\t')
                     + QString::number(item->data(Qt::UserRole).value<TTemplateIndex>().Index));
    }
    return lines;
}

QString selectedText(TSelectTemplate &dialog)
{
    const QList<QListWidgetItem *> items =
        dialog.findChild<QListWidget *>(QStringLiteral("TemplateList"))->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

QRadioButton *radio(TSelectTemplate &dialog, const char *group, int item)
{
    return dialog.findChild<QGroupBox *>(QLatin1String(group))
        ->findChildren<QRadioButton *>().at(item);
}

QString descriptionText(TSelectTemplate &dialog)
{
    return dialog.findChild<QPlainTextEdit *>(QStringLiteral("Description"))->toPlainText();
}

void typeAhead(TSelectTemplate &dialog, const QString &text)
{
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("TypeAhead"));
    edit->setText(QStringLiteral("?"));
    edit->clear();
    QTest::keyClicks(edit, text);
}

}  // namespace

// TestSelectTemplate: the "Select Template" dialog.
class TestSelectTemplate : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    QString mLibrary;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        mLibrary = mDir.filePath(QStringLiteral("QMTPL.dat"));
        QVERIFY(writeFile(mLibrary, libraryBytes(fixtureLibrary())));
    }

    void presetting_data()
    {
        QTest::addColumn<bool>("forNew");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("paper");
        QTest::addColumn<QList<int>>("radios");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("selected");

        const QList<int> start = {0, 0, 0};
        QTest::newRow("new label keeps the defaults")
            << true << "Avery J8160 Inkjet A5" << "ADDRESS LABELS" << "IJ" << "A5"
            << start << "" << "4360 Lowercase";
        QTest::newRow("change from a library layout")
            << false << "Avery 5160 Address" << "ADDRESS/SHIPPING LABELS" << "LJ" << "LTR"
            << start << "5160 Address" << "5160 Address";
        QTest::newRow("USER DEFINED presets nothing")
            << false << "USER DEFINED" << "DISKETTE LABELS" << "IJ" << "A4"
            << start << "" << "4360 Lowercase";
        QTest::newRow("any name with user presets nothing")
            << false << "my User sheet" << "DISKETTE LABELS" << "IJ" << "A4"
            << start << "" << "4360 Lowercase";
        QTest::newRow("FOLDER presets File Folder Labels")
            << false << "Avery 5066 File Folder" << "FILE FOLDER LABELS" << "LJ" << "LTR"
            << QList<int>{3, 0, 0} << "5066 File Folder" << "5066 File Folder";
        QTest::newRow("FILE without FOLDER presets All")
            << false << "Avery L7171 Lever Arch" << "LEVER ARCH FILE LABELS" << "LJ" << "A4"
            << QList<int>{6, 0, 1} << "L7171 Lever Arch" << "L7171 Lever Arch";
        QTest::newRow("inkjet A5")
            << false << "Avery J8160 Inkjet A5" << "ADDRESS LABELS" << "IJ" << "A5"
            << QList<int>{0, 1, 1} << "J8160 Inkjet A5" << "J8160 Inkjet A5";
        QTest::newRow("lower-case codes")
            << false << "Avery 5371 Business Card" << "business cards" << "lj" << ""
            << QList<int>{1, 2, 2} << "5371 Business Card" << "5371 Business Card";
        QTest::newRow("a4 presets European but lists as United States")
            << false << "Herma 4360 Lowercase" << "ADDRESS LABELS" << "LJ" << "a4"
            << QList<int>{0, 0, 1} << "Herma 4360 Lowercase" << "";
        QTest::newRow("avery in lower case")
            << false << "avery 5163 Shipping" << "ADDRESS/SHIPPING LABELS" << "LJ" << "LTRL"
            << start << "5163 Shipping" << "5163 Shipping";
        QTest::newRow("Avery name cut to 60 characters")
            << false << "Avery " + QString(70, QLatin1Char('x')) << "" << "" << "LTR"
            << QList<int>{6, 2, 0} << QString(60, QLatin1Char('x')) << "";
    }

    void presetting()
    {
        QFETCH(bool, forNew);
        QFETCH(QString, name);
        QFETCH(QString, product);
        QFETCH(QString, printer);
        QFETCH(QString, paper);
        QFETCH(QList<int>, radios);
        QFETCH(QString, typed);
        QFETCH(QString, selected);

        TSelectTemplate dialog(nullptr, mLibrary);
        dialog.CurrentName = name;
        dialog.CurrentProductType = product;
        dialog.CurrentPrinterType = printer;
        dialog.CurrentPaperSize = paper;
        dialog.ForNewLabel = forNew;
        dialog.show();

        const TemplateFilter f = dialog.currentFilter();
        QCOMPARE((QList<int>{f.product, f.printer, f.region}), radios);
        QVERIFY(radio(dialog, "ProductType", radios[0])->isChecked());
        QVERIFY(radio(dialog, "PrinterType", radios[1])->isChecked());
        QVERIFY(radio(dialog, "Region", radios[2])->isChecked());
        QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("TypeAhead"))->text(), typed);
        QCOMPARE(selectedText(dialog), selected);
        // Filtering selected and described the first item before the type-ahead.
        QVERIFY(descriptionText(dialog).startsWith(QLatin1String("Label Height: ")));
    }

    void filtering_data()
    {
        QTest::addColumn<QList<int>>("radios");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("address, laser, United States (a4 counts)")
            << QList<int>{0, 0, 0}
            << QStringList{"4360 Lowercase\t8", "4360 Lowercase Wide\t9", "5160 Address\t1",
                           "5163 Shipping\t2"};
        QTest::newRow("address, laser, European")
            << QList<int>{0, 0, 1} << QStringList{"L7160 Address\t4"};
        QTest::newRow("address, inkjet, all regions")
            << QList<int>{0, 1, 2}
            << QStringList{"8160 Inkjet Address\t3", "J8160 Inkjet A5\t11"};
        QTest::newRow("File Folder Labels filters on FILE")
            << QList<int>{3, 2, 2} << QStringList{"5066 File Folder\t6", "L7171 Lever Arch\t7"};
        QTest::newRow("card products")
            << QList<int>{1, 2, 2} << QStringList{"5371 Business Card\t10"};
        QTest::newRow("miscellaneous") << QList<int>{5, 0, 0} << QStringList{"badge Holder\t12"};
        QTest::newRow("nothing passes") << QList<int>{2, 1, 1} << QStringList{};
        QTest::newRow("all, sorted ignoring case")
            << QList<int>{6, 2, 2}
            << QStringList{"4360 Lowercase\t8", "4360 Lowercase Wide\t9", "5066 File Folder\t6",
                           "5160 Address\t1", "5163 Shipping\t2", "5196 Diskette\t5",
                           "5371 Business Card\t10", "8160 Inkjet Address\t3",
                           "badge Holder\t12", "J8160 Inkjet A5\t11", "L7160 Address\t4",
                           "L7171 Lever Arch\t7"};
    }

    void filtering()
    {
        QFETCH(QList<int>, radios);
        QFETCH(QStringList, lines);

        TSelectTemplate dialog(nullptr, mLibrary);
        dialog.show();
        // Click in an order that passes through other filters first.
        radio(dialog, "Region", radios[2])->click();
        radio(dialog, "PrinterType", radios[1])->click();
        radio(dialog, "ProductType", radios[0])->click();
        QCOMPARE(listed(dialog), lines);
        QCOMPARE(selectedText(dialog), lines.isEmpty() ? QString() : lines.first().section('\t', 0, 0));
    }

    void radiosDoNotFilterBeforeShowing()
    {
        TSelectTemplate dialog(nullptr, mLibrary);
        radio(dialog, "ProductType", 6)->click();
        QVERIFY(listed(dialog).isEmpty());
        QVERIFY(dialog.TemplateList.isEmpty());
        dialog.show();
        QCOMPARE(listed(dialog).size(), 8);  // every product, laser, United States
    }

    void typeAheadSelects_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("selected");
        QTest::newRow("first and later item match: the later wins") << "4360" << "4360 Lowercase Wide";
        QTest::newRow("ignores case") << "4360 LOWERCASE" << "4360 Lowercase Wide";
        QTest::newRow("prefix of one") << "516" << "5160 Address";
        QTest::newRow("last item") << "5163" << "5163 Shipping";
        QTest::newRow("only the first item matches") << "4360 Lowercase" << "4360 Lowercase Wide";
        QTest::newRow("no match") << "9" << "";
        QTest::newRow("inside the text is no match") << "Address" << "";
    }

    void typeAheadSelects()
    {
        QFETCH(QString, typed);
        QFETCH(QString, selected);
        TSelectTemplate dialog(nullptr, mLibrary);
        dialog.show();
        typeAhead(dialog, typed);
        QCOMPARE(selectedText(dialog), selected);
    }

    void typeAheadOnlyFirstItemMatches()
    {
        QTemporaryDir dir;
        const QString library = dir.filePath(QStringLiteral("QMTPL.dat"));
        QVERIFY(writeFile(library, libraryBytes({
            fixtureTemplate(QStringLiteral("Avery 1000 Alpha"), "LJ", "LTR", "ADDRESS"),
            fixtureTemplate(QStringLiteral("Avery 2000 Beta"), "LJ", "LTR", "ADDRESS"),
            fixtureTemplate(QStringLiteral("Avery 3000 Gamma"), "LJ", "LTR", "ADDRESS")})));
        TSelectTemplate dialog(nullptr, library);
        dialog.show();
        typeAhead(dialog, QStringLiteral("3"));
        QCOMPARE(selectedText(dialog), QStringLiteral("3000 Gamma"));
        typeAhead(dialog, QStringLiteral("1"));  // searched last
        QCOMPARE(selectedText(dialog), QStringLiteral("1000 Alpha"));
    }

    void noMatchKeepsDescription()
    {
        TSelectTemplate dialog(nullptr, mLibrary);
        dialog.show();
        typeAhead(dialog, QStringLiteral("5163"));
        const QString shown = descriptionText(dialog);
        QVERIFY(shown.startsWith(QLatin1String("Label Height: 2\nLabel Width: 4\n")));
        typeAhead(dialog, QStringLiteral("5163x"));
        QCOMPARE(selectedText(dialog), QString());
        QCOMPARE(descriptionText(dialog), shown);
    }

    void description_data()
    {
        QTest::addColumn<QString>("paper");
        QTest::addColumn<QString>("paperLine");
        QTest::newRow("LTR") << "LTR" << "Paper Size: Letter";
        QTest::newRow("LTRL") << "LTRL" << "Paper Size: Letter Landscape";
        QTest::newRow("A4") << "A4" << "Paper Size: A4";
        QTest::newRow("A4L") << "A4L" << "Paper Size: A4 Landscape";
        QTest::newRow("A5") << "A5" << "Paper Size: A5";
        QTest::newRow("lower case: no line") << "a4" << "";
        QTest::newRow("unknown: no line") << "B5" << "";
    }

    void description()
    {
        QFETCH(QString, paper);
        QFETCH(QString, paperLine);
        TLabelLayout t = fixtureTemplate(QStringLiteral("Avery 9999 Odd"), "LJ", paper, "MISC");
        t.LabelHeight = double(float(2.65));  // a widened single keeps its digits
        t.LabelWidth = 2.65;
        t.Across = 12;
        t.Down = 300;
        t.TopMargin = 0.1 + 0.2;
        t.LeftMargin = 0;
        t.HorizontalPitch = 1e-7;
        t.VerticalPitch = 123456789012.5;
        t.PageWidth = -0.5;
        t.PageHeight = 11;
        QTemporaryDir dir;
        const QString library = dir.filePath(QStringLiteral("QMTPL.dat"));
        QVERIFY(writeFile(library, libraryBytes({t})));

        TSelectTemplate dialog(nullptr, library);
        radio(dialog, "ProductType", 6)->setChecked(true);
        radio(dialog, "Region", 2)->setChecked(true);
        dialog.show();
        QStringList expected = {"Label Height: 2.6500000953674316", "Label Width: 2.65",
                                "# Across: 12", "# Down: 300",
                                "Top Margin: 0.30000000000000004", "Left Margin: 0",
                                "Horizontal Pitch: 1e-07", "Vertical Pitch: 123456789012.5",
                                "Page Width: -0.5", "Page Height: 11"};
        if (!paperLine.isEmpty())
            expected.append(paperLine);
        QCOMPARE(descriptionText(dialog), expected.join('\n'));
    }

    void okTakesTheSelectedTemplate()
    {
        TSelectTemplate dialog(nullptr, mLibrary);
        dialog.show();
        typeAhead(dialog, QStringLiteral("9"));
        auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("OkButton"));
        ok->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.ChosenLayout, TLabelLayout());

        typeAhead(dialog, QStringLiteral("5163"));
        ok->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ChosenLayout, fixtureLibrary().at(1));
    }

    void doubleClickIsOk()
    {
        TSelectTemplate dialog(nullptr, mLibrary);
        dialog.show();
        auto *list = dialog.findChild<QListWidget *>(QStringLiteral("TemplateList"));
        const QRect r = list->visualItemRect(list->item(2));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ChosenLayout.Name, QStringLiteral("Avery 5160 Address"));
    }

    void cancel()
    {
        TSelectTemplate dialog(nullptr, mLibrary);
        dialog.show();
        dialog.findChild<QPushButton *>(QStringLiteral("CancelButton"))->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.ChosenLayout, TLabelLayout());
    }

    void unusableLibrary_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        const QByteArray three = libraryBytes(fixtureLibrary().mid(0, 3));
        QTest::newRow("missing") << false << QByteArray() << 0;
        QTest::newRow("empty") << true << QByteArray() << 0;
        QTest::newRow("empty list") << true << QByteArray("\x01\x00", 2) << 0;
        QTest::newRow("not a library") << true << QByteArray("hello, world") << 0;
        QTest::newRow("cut inside the third template") << true << three.left(three.size() - 8) << 2;
        QTest::newRow("list end missing") << true << three.left(three.size() - 1) << 3;
        QTest::newRow("a name where a number belongs")
            << true << QByteArray("\x01\x06\x05" "Avery\x06\x02no", 12) << 0;
    }

    void unusableLibrary()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        QTemporaryDir dir;
        const QString library = dir.filePath(QStringLiteral("QMTPL.dat"));
        if (exists)
            QVERIFY(writeFile(library, bytes));
        TSelectTemplate dialog(nullptr, library);
        radio(dialog, "PrinterType", 2)->setChecked(true);
        radio(dialog, "Region", 2)->setChecked(true);
        dialog.show();
        QCOMPARE(dialog.TemplateList.size(), count);
        QCOMPARE(listed(dialog).size(), count);
        if (count == 0) {
            dialog.findChild<QPushButton *>(QStringLiteral("OkButton"))->click();
            QVERIFY(dialog.isVisible());
            QCOMPARE(descriptionText(dialog), QString());
        }
    }

    // Every radio combination over the shipped library lists exactly the
    // rows a plain reading of the table picks, in alphabetical order.
    void builtLibraryFilters()
    {
        const QList<QStringList> rows = templateTableRows();
        QCOMPARE(rows.size(), 2667);
        const char *productWords[] = {"ADDRESS", "CARD", "DISK", "FILE", "INDEX", "MISC", ""};
        const char *printerWords[] = {"LJ", "IJ", ""};
        auto european = [](const QString &paper) {
            return paper.contains(QLatin1String("A4")) || paper.contains(QLatin1String("A5"));
        };

        TSelectTemplate dialog(nullptr, QStringLiteral(QM_TEMPLATE_LIBRARY));
        dialog.show();
        QCOMPARE(dialog.TemplateList.size(), rows.size());
        auto *list = dialog.findChild<QListWidget *>(QStringLiteral("TemplateList"));
        int perProduct[7] = {}, perPrinter[3] = {}, perRegion[3] = {};
        for (int product = 0; product < 7; ++product) {
            for (int printer = 0; printer < 3; ++printer) {
                for (int region = 0; region < 3; ++region) {
                    radio(dialog, "ProductType", product)->click();
                    radio(dialog, "PrinterType", printer)->click();
                    radio(dialog, "Region", region)->click();
                    QList<int> expected;
                    for (qsizetype i = 0; i < rows.size(); ++i) {
                        const QStringList &r = rows.at(i);
                        if (r.at(16).contains(QLatin1String(productWords[product]))
                            && r.at(13).contains(QLatin1String(printerWords[printer]))
                            && (region == 2 || european(r.at(14)) == (region == 1)))
                            expected.append(int(i + 1));
                    }
                    QList<int> shown;
                    for (int row = 0; row < list->count(); ++row) {
                        shown.append(list->item(row)->data(Qt::UserRole).value<TTemplateIndex>().Index);
                        if (row > 0)
                            QVERIFY(list->item(row - 1)->text().compare(list->item(row)->text(),
                                                                         Qt::CaseInsensitive) <= 0);
                    }
                    std::sort(shown.begin(), shown.end());
                    QVERIFY2(shown == expected, qPrintable(QStringLiteral("%1 %2 %3: %4 listed, %5 expected")
                                                               .arg(product).arg(printer).arg(region)
                                                               .arg(shown.size()).arg(expected.size())));
                    if (printer == 2 && region == 2)
                        perProduct[product] = int(shown.size());
                    if (product == 6 && region == 2)
                        perPrinter[printer] = int(shown.size());
                    if (product == 6 && printer == 2)
                        perRegion[region] = int(shown.size());
                }
            }
        }
        // The counts a separate count of the table's columns gave.
        QCOMPARE((QList<int>(perProduct, perProduct + 7)),
                 (QList<int>{314, 283, 238, 171, 75, 1646, 2667}));
        QCOMPARE((QList<int>(perPrinter, perPrinter + 3)), (QList<int>{2347, 320, 2667}));
        QCOMPARE((QList<int>(perRegion, perRegion + 3)), (QList<int>{739, 1928, 2667}));
    }

    void itemText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("six-character prefix") << "Avery 5160 Address" << "5160 Address";
        QTest::newRow("another maker of five letters") << "Herma 4360 Label" << "4360 Label";
        QTest::newRow("longer maker") << "Zweckform 4760 File Folder" << "Zweckform 4760 File Folder";
        QTest::newRow("six letters") << "Hisago ELM001 Full Sheet" << "Hisago ELM001 Full Sheet";
        QTest::newRow("two words") << "Online Labels OL28 Media" << "Online Labels OL28 Media";
        QTest::newRow("two spaces") << "Avery  5160" << "Avery  5160";
        QTest::newRow("prefix only") << "Avery " << "Avery ";
    }

    void itemText()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        TLabelLayout t;
        t.Name = name;
        QCOMPARE(templatechooser::itemText(t), text);
    }

    // A long name is readable: the list is wide enough for it, and its
    // tooltip holds the whole name.
    void longNamesShowWhole()
    {
        TSelectTemplate dialog(nullptr, QStringLiteral(QM_TEMPLATE_LIBRARY));
        dialog.show();
        QTest::qWait(0);
        auto *list = dialog.findChild<QListWidget *>(QStringLiteral("TemplateList"));
        auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("TypeAhead"));
        edit->setText(QStringLiteral("15160 Easy Peel"));
        QListWidgetItem *item = list->currentItem();
        QVERIFY(item);
        QCOMPARE(item->text(), QStringLiteral("15160 Easy Peel Address"));
        QCOMPARE(item->toolTip(), QStringLiteral("Avery 15160 Easy Peel Address"));
        const int needed = list->fontMetrics().horizontalAdvance(item->text());
        QVERIFY2(list->viewport()->width() > needed,
                 qPrintable(QStringLiteral("%1 <= %2").arg(list->viewport()->width()).arg(needed)));
    }

    void moreThanThreeHundredTemplates()
    {
        QList<TLabelLayout> many;
        for (int i = 1; i <= 305; ++i)
            many.append(fixtureTemplate(QStringLiteral("Avery %1 Sheet").arg(1000 + i), "LJ",
                                        "LTR", "ADDRESS"));
        QTemporaryDir dir;
        const QString library = dir.filePath(QStringLiteral("QMTPL.dat"));
        QVERIFY(writeFile(library, libraryBytes(many)));
        TSelectTemplate dialog(nullptr, library);
        dialog.show();
        const QStringList lines = listed(dialog);
        QCOMPARE(lines.size(), 305);
        QCOMPARE(lines.last(), QStringLiteral("1305 Sheet\t305"));
        typeAhead(dialog, QStringLiteral("1305"));
        dialog.findChild<QPushButton *>(QStringLiteral("OkButton"))->click();
        QCOMPARE(dialog.ChosenLayout.Name, QStringLiteral("Avery 1305 Sheet"));
    }
};

QObject *newSelectTemplateTest()
{
    return new TestSelectTemplate;
}

#include "tst_selecttemplate.moc"
