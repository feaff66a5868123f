// The print preparation window: its sheet picture and cell choice, the set-up
// of every run, and counters numbering the labels of whole runs, read back
// from the PDF files the runs print.

#include "LabelFiles.h"

#include "controls/DialogSupport.h"
#include "controls/SpinEdit.h"
#include "design/Gqmpanel32.h"
#include "objects/Register.h"
#include "print/Prelpr.h"
#include "print/Printlbl.h"
#include "print/Prevue.h"
#include "print/engine/PrinterEngine.h"
#include "print/engine/Report.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

TPrinterList pdfOnly()
{
    return {{TPrinterEngine::PdfPrinterName()}, 0};
}

// Stands in for the user while runs take place: message boxes are
// answered with OK, status windows run their job, preview windows are
// shown and closed. What each window looked like is kept.
struct TRunDriver
{
    TRunDriver()
    {
        SetDialogRunner([this](QDialog &dialog) { return run(dialog); });
    }
    ~TRunDriver() { SetDialogRunner(nullptr); }

    int run(QDialog &dialog)
    {
        if (auto *box = qobject_cast<QMessageBox *>(&dialog)) {
            Messages.append(box->text());
            return QMessageBox::Ok;
        }
        if (auto *status = qobject_cast<TLabelPrinter *>(&dialog)) {
            ++StatusWindows;
            PageCount = status->PageCount;
            CellSelected = status->CellSelected;
            Paper = status->ActiveReport->PaperSize().id();
            Orientation = status->ActiveReport->Orientation();
            PanelPrinting = status->LabelPanel->Printing();
            Outlines = status->PrintOutlines;
            CropMarks = status->PrintCropMarks;
            if (StopPreview)
                QTimer::singleShot(0, status, &TLabelPrinter::CancelButtonClick);
            status->RunJob();
            FinalStatus = status->StatusText()->text();
            return QDialog::Accepted;
        }
        if (auto *preview = qobject_cast<TPreviewForm *>(&dialog)) {
            ++Previews;
            PreviewTitle = preview->windowTitle();
            PreviewZoom = preview->ZoomMode;
            preview->show();
            PreviewCaption = preview->windowTitle();
            preview->close();
            return QDialog::Accepted;
        }
        return QDialog::Rejected;
    }

    bool StopPreview = false;
    QStringList Messages;
    int StatusWindows = 0;
    int PageCount = 0;
    QList<bool> CellSelected;
    QPageSize::PageSizeId Paper = QPageSize::Custom;
    TOrientation Orientation = poPortrait;
    bool PanelPrinting = false;
    bool Outlines = false, CropMarks = false;
    QString FinalStatus;
    int Previews = 0;
    QString PreviewTitle, PreviewCaption;
    int PreviewZoom = 0;
};

QList<int> selectedCells(const TLabelPrintPrep &prep)
{
    QList<int> cells;
    for (int i = 0; i < prep.Sheet().CellCount(); ++i)
        if (prep.CellSelected.at(i))
            cells.append(i);
    return cells;
}

}  // namespace

class TestPrintPrep : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void sheetPicture_data();
    void sheetPicture();
    void clickingCells_data();
    void clickingCells();
    void allAndNone();
    void selectionSurvivesRuns();
    void stoppedPreviewOpensNothing();
    void paperOfRun_data();
    void paperOfRun();
    void largeSheet();
    void countersAcrossCellsAndSheets_data();
    void countersAcrossCellsAndSheets();
    void printPictureFollowsChanges_data();
    void printPictureFollowsChanges();
    void outlinesAndCropMarks();

private:
    QTemporaryDir mDir;
};

void TestPrintPrep::initTestCase()
{
    QVERIFY(mDir.isValid());
    RegisterLabelClasses();
}

void TestPrintPrep::sheetPicture_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<float>("pageWidth");
    QTest::addColumn<float>("pageHeight");
    QTest::addColumn<QSize>("pictureBox");  // the paint box: page / 5 + 20
    QTest::addColumn<int>("panelWidth");

    QTest::newRow("Letter") << "LTR" << 8.5f << 11.0f << QSize(183, 231) << 183;
    QTest::newRow("Letter landscape") << "LTRL" << 11.0f << 8.5f << QSize(231, 183) << 231;
    // A narrow sheet keeps room for the All and None buttons.
    QTest::newRow("A5") << "A5" << 5.83f << 8.27f << QSize(131, 178) << 174;
}

void TestPrintPrep::sheetPicture()
{
    QFETCH(QString, paper);
    QFETCH(float, pageWidth);
    QFETCH(float, pageHeight);
    QFETCH(QSize, pictureBox);
    QFETCH(int, panelWidth);

    TLabelPrintPrep prep(nullptr, pdfOnly());
    TSheetMetrics sheet = TSheetMetrics::FromLayout(TLabelLayout::Default());
    sheet.PaperSize = paper;
    sheet.PageWidth = pageWidth;
    sheet.PageHeight = pageHeight;
    prep.SetSheet(sheet);
    prep.show();

    QCOMPARE(prep.ScreenPPI, 96);
    QCOMPARE(prep.size(), QSize(542, 393));
    QCOMPARE(prep.LabelsPerPageCaption()->text(), QStringLiteral("(30 labels per page)"));
    QCOMPARE(prep.SheetPanel()->width(), panelWidth);
    QCOMPARE(prep.PaintBox()->height(), pictureBox.height());
    QVERIFY(prep.PaintBox()->width() >= pictureBox.width() - 2);
    QCOMPARE(prep.TitleStrip()->text(), QStringLiteral(" Select Labels To Print"));

    // The default label positions at 96 pixels per inch.
    QCOMPARE(prep.CellRects.size(), 30);
    QCOMPARE(prep.CellRects.at(0), (TCellRect{13, 19, 63, 38}));
    QCOMPARE(prep.CellRects.at(1), (TCellRect{66, 19, 116, 38}));
    QCOMPARE(prep.CellRects.at(29), (TCellRect{119, 190, 169, 209}));

    // Pink cells on a white page with a black outline.
    const QImage picture = prep.PaintBox()->grab().toImage();
    QCOMPARE(picture.pixelColor(30, 28), QColor(255, 128, 128));
    QCOMPARE(picture.pixelColor(13, 19), QColor(Qt::black));
    QCOMPARE(picture.pixelColor(10, 10), QColor(Qt::black));
    QCOMPARE(picture.pixelColor(64, 28), QColor(Qt::white));
}

void TestPrintPrep::clickingCells_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("cell");  // -1: none changes

    QTest::newRow("inside cell 0") << QPoint(20, 25) << 0;
    QTest::newRow("top-left pixel of cell 0") << QPoint(13, 19) << 0;
    QTest::newRow("gap after cell 0") << QPoint(64, 25) << -1;
    QTest::newRow("just right of cell 0") << QPoint(63, 25) << -1;
    QTest::newRow("cell 1") << QPoint(70, 25) << 1;
    QTest::newRow("cell 4") << QPoint(70, 40) << 4;
    QTest::newRow("page margin") << QPoint(11, 11) << -1;
    QTest::newRow("beside the page") << QPoint(3, 100) << -1;
}

void TestPrintPrep::clickingCells()
{
    QFETCH(QPoint, point);
    QFETCH(int, cell);

    TLabelPrintPrep prep(nullptr, pdfOnly());
    prep.SetSheet(TSheetMetrics::FromLayout(TLabelLayout::Default()));
    prep.show();
    QList<int> expected;
    for (int i = 0; i < 30; ++i)
        if (i != cell)
            expected.append(i);

    QTest::mouseClick(prep.PaintBox(), Qt::LeftButton, {}, point);
    QCOMPARE(selectedCells(prep), expected);
    const QImage picture = prep.PaintBox()->grab().toImage();
    if (cell >= 0) {
        const TCellRect r = prep.CellRects.at(cell);
        QCOMPARE(picture.pixelColor(r.Left + 5, r.Top + 5), QColor(Qt::white));
    }
    // A second click on the same spot undoes the first.
    QTest::mouseClick(prep.PaintBox(), Qt::LeftButton, {}, point);
    QCOMPARE(selectedCells(prep).size(), 30);
    // Presses outside the picture choose nothing.
    QTest::mouseClick(prep.TitleStrip(), Qt::LeftButton, {}, QPoint(20, 5));
    QCOMPARE(selectedCells(prep).size(), 30);
}

void TestPrintPrep::allAndNone()
{
    TRunDriver driver;
    TLabelPrintPrep prep(nullptr, pdfOnly());
    prep.SetSheet(TSheetMetrics::FromLayout(TLabelLayout::Default()));
    prep.show();
    prep.PushButton(TLabelPrintPrep::NoneButton)->click();
    QVERIFY(selectedCells(prep).isEmpty());
    for (TLabelPrintPrep::Button b : {TLabelPrintPrep::PrintButton, TLabelPrintPrep::PreviewButton})
        prep.PushButton(b)->click();
    QCOMPARE(driver.Messages, (QStringList{QStringLiteral("Need at least one label selected"),
                                           QStringLiteral("Need at least one label selected")}));
    QCOMPARE(driver.StatusWindows, 0);
    QVERIFY(!prep.LabelPanel()->Printing());

    prep.PushButton(TLabelPrintPrep::AllButton)->click();
    QCOMPARE(selectedCells(prep).size(), 30);
    QCOMPARE(prep.PaintBox()->grab().toImage().pixelColor(20, 25), QColor(255, 128, 128));
}

void TestPrintPrep::selectionSurvivesRuns()
{
    TRunDriver driver;
    TLabelPrintPrep prep(nullptr, pdfOnly());
    prep.SetSheet(TSheetMetrics::FromLayout(TLabelLayout::Default()));
    prep.show();
    QTest::mouseClick(prep.PaintBox(), Qt::LeftButton, {}, QPoint(20, 25));
    QTest::mouseClick(prep.PaintBox(), Qt::LeftButton, {}, QPoint(70, 40));
    const QList<int> chosen = selectedCells(prep);
    QCOMPARE(chosen.size(), 28);
    prep.PageCountEdit()->setValue(3);

    prep.PushButton(TLabelPrintPrep::PreviewButton)->click();

    QCOMPARE(driver.StatusWindows, 1);
    QCOMPARE(driver.PageCount, 3);
    QVERIFY(driver.PanelPrinting);
    QCOMPARE(driver.CellSelected.mid(0, 5), (QList<bool>{false, true, true, true, false}));
    QCOMPARE(driver.FinalStatus, QStringLiteral("\nLabel Preview Ready!"));
    QVERIFY(!prep.LastRunAborted());
    QCOMPARE(driver.Previews, 1);
    QCOMPARE(driver.PreviewTitle, QStringLiteral("Preview Labels"));
    QCOMPARE(driver.PreviewZoom, 100);
    QCOMPARE(driver.PreviewCaption, QStringLiteral("Preview Page 1 of 1 ( 100% )"));

    // Back in the window: the same cells, one sheet, the copy no longer printing.
    QCOMPARE(selectedCells(prep), chosen);
    QCOMPARE(prep.PageCountEdit()->value(), 1);
    QVERIFY(!prep.LabelPanel()->Printing());
    QVERIFY(prep.LabelPanel()->Previewing());

    prep.PageCountEdit()->setValue(2);
    prep.PushButton(TLabelPrintPrep::PreviewButton)->click();
    QCOMPARE(driver.StatusWindows, 2);
    QCOMPARE(driver.Previews, 2);
    QCOMPARE(selectedCells(prep), chosen);
    QCOMPARE(prep.PageCountEdit()->value(), 1);
}

void TestPrintPrep::stoppedPreviewOpensNothing()
{
    TRunDriver driver;
    driver.StopPreview = true;
    TLabelPrintPrep prep(nullptr, pdfOnly());
    prep.SetSheet(TSheetMetrics::FromLayout(TLabelLayout::Default()));
    prep.PreviewClick();
    QCOMPARE(driver.StatusWindows, 1);
    QCOMPARE(driver.FinalStatus, QStringLiteral("\nLabel Preview Canceled!"));
    QVERIFY(prep.LastRunAborted());
    QCOMPARE(driver.Previews, 0);
    QVERIFY(!prep.LabelPanel()->Printing());
}

void TestPrintPrep::paperOfRun_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<bool>("print");
    QTest::addColumn<int>("pageSize");  // QPageSize::PageSizeId
    QTest::addColumn<bool>("landscape");

    QTest::newRow("LTR print") << "LTR" << true << int(QPageSize::Letter) << false;
    QTest::newRow("LTRL print") << "LTRL" << true << int(QPageSize::Letter) << true;
    QTest::newRow("A4 preview") << "A4" << false << int(QPageSize::A4) << false;
    QTest::newRow("A4L preview") << "A4L" << false << int(QPageSize::A4) << true;
    QTest::newRow("A5 print") << "A5" << true << int(QPageSize::A5) << false;
    // Other sizes leave the engine's paper as it is.
    QTest::newRow("unknown size") << "B5" << false << int(QPageSize::Letter) << false;
}

void TestPrintPrep::paperOfRun()
{
    QFETCH(QString, paper);
    QFETCH(bool, print);
    QFETCH(int, pageSize);
    QFETCH(bool, landscape);

    TRunDriver driver;
    TLabelPrintPrep prep(nullptr, pdfOnly());
    prep.ReportPrinter1()->SetOutputFileName(mDir.filePath(QStringLiteral("paper.pdf")));
    TSheetMetrics sheet = TSheetMetrics::FromLayout(TLabelLayout::Default());
    sheet.PaperSize = paper;
    prep.SetSheet(sheet);
    prep.DoPrint(print);
    QCOMPARE(driver.StatusWindows, 1);
    QCOMPARE(int(driver.Paper), pageSize);
    QCOMPARE(driver.Orientation, landscape ? poLandscape : poPortrait);
    QVERIFY(!prep.LastRunAborted());
}

void TestPrintPrep::largeSheet()
{
    // 30 x 20 cells: more than the 501 the sheet picture had room for.
    TRunDriver driver;
    TLabelPrintPrep prep(nullptr, pdfOnly());
    TSheetMetrics sheet = TSheetMetrics::FromLayout(TLabelLayout::Default());
    sheet.Across = 30;
    sheet.Down = 20;
    sheet.LabelWidth = 0.25f;
    sheet.LabelHeight = 0.5f;
    sheet.HorizontalPitch = 0.27f;
    sheet.VerticalPitch = 0.52f;
    sheet.LeftMargin = 0.2f;
    sheet.TopMargin = 0.2f;
    prep.SetSheet(sheet);
    prep.show();
    QCOMPARE(prep.CellRects.size(), 600);
    QCOMPARE(prep.CellSelected.size(), 600);
    prep.PushButton(TLabelPrintPrep::NoneButton)->click();
    const TCellRect last = prep.CellRects.at(599);
    QTest::mouseClick(prep.PaintBox(), Qt::LeftButton, {}, QPoint(last.Left + 1, last.Top + 1));
    QCOMPARE(selectedCells(prep), QList<int>{599});
    prep.PreviewClick();
    QCOMPARE(driver.Messages, QStringList());
    QCOMPARE(driver.StatusWindows, 1);
    QCOMPARE(driver.CellSelected.indexOf(true), 599);
}

void TestPrintPrep::countersAcrossCellsAndSheets_data()
{
    QTest::addColumn<QList<int>>("cells");  // empty: all
    QTest::addColumn<int>("sheets");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<QStringList>("expected");  // page:text, in print order

    QStringList everyCell;
    for (int i = 0; i < 60; ++i)
        everyCell << QStringLiteral("%1:%2").arg(i / 30 + 1).arg(1000 + i);
    QTest::newRow("every cell, two sheets") << QList<int>{} << 2 << 1 << everyCell;
    QTest::newRow("first cell, two sheets")
        << QList<int>{0} << 2 << 1 << QStringList{"1:1000", "2:1001"};
    QTest::newRow("each number three times")
        << QList<int>{0, 4, 29} << 2 << 3
        << QStringList{"1:1000", "1:1000", "1:1000", "2:1001", "2:1001", "2:1001"};
}

void TestPrintPrep::countersAcrossCellsAndSheets()
{
    QFETCH(QList<int>, cells);
    QFETCH(int, sheets);
    QFETCH(int, repeat);
    QFETCH(QStringList, expected);
    QVERIFY(!Tool("pdftotext").isEmpty());

    // The design goes through a label file into the window's own panel,
    // as the print command hands it over.
    const QString file = mDir.filePath(QStringLiteral("counters.qm"));
    {
        TGBasePanel design;
        design.resize(254, 96);
        AddCounter(design, QRect(10, 10, 100, 30), 1000)->SetRepeatEach(repeat);
        AddRectangle(design, QRect(150, 10, 40, 40));
        TGLabelObjectFiler().WriteLabelFile(&design, file, TLabelLayout::Default());
    }

    TRunDriver driver;
    TLabelPrintPrep prep(nullptr, pdfOnly());
    prep.SetSheet(TSheetMetrics::FromLayout(TLabelLayout::Default()));
    TLabelLayout layout;
    TGLabelObjectFiler().ReadLabelFile(&prep, prep.LabelPanel(), layout, file);
    auto *counter = prep.LabelPanel()->findChild<TGCounterLabel *>();
    QVERIFY(counter);
    if (!cells.isEmpty()) {
        prep.NoneClick();
        for (int c : cells)
            prep.CellSelected[c] = true;
    }

    // Two runs: each one starts again at the starting number.
    for (int run = 1; run <= 2; ++run) {
        const QString pdf = mDir.filePath(QStringLiteral("counters%1.pdf").arg(run));
        prep.ReportPrinter1()->SetOutputFileName(pdf);
        prep.PageCountEdit()->setValue(sheets);
        prep.PrintClick();
        QCOMPARE(driver.FinalStatus, QStringLiteral("Label Print Completed!"));
        QVERIFY(!prep.LastRunAborted());
        QCOMPARE(PdfPageCount(pdf), sheets);
        QStringList printed;
        for (const TPdfWord &w : PdfWords(pdf))
            printed << QStringLiteral("%1:%2").arg(w.page).arg(w.text);
        QCOMPARE(printed, expected);
        // The window's copy now shows the number after the last one printed.
        const int labels = int(expected.size());
        QCOMPARE(counter->CurrentValue(), 1000 + labels / repeat);
    }
}

using LabelChange = std::function<void(TGPLabel &)>;

void TestPrintPrep::printPictureFollowsChanges_data()
{
    QTest::addColumn<LabelChange>("change");
    QTest::addColumn<LabelChange>("setUp");  // before the first print
    const LabelChange none = [](TGPLabel &) {};
    QTest::newRow("caption") << LabelChange([](TGPLabel &l) { l.SetCaption(QStringLiteral("Other")); }) << none;
    QTest::newRow("font colour") << LabelChange([](TGPLabel &l) { l.Font()->SetColor(cl::Red); }) << none;
    QTest::newRow("font size") << LabelChange([](TGPLabel &l) { l.Font()->SetSize(14); }) << none;
    QTest::newRow("bold") << LabelChange([](TGPLabel &l) { l.Font()->SetStyle(1u << fsBold); }) << none;
    QTest::newRow("rotation") << LabelChange([](TGPLabel &l) { l.SetAngle(90); }) << none;
    QTest::newRow("alignment") << LabelChange([](TGPLabel &l) { l.SetAlignment(taCenter); }) << none;
    QTest::newRow("background") << LabelChange([](TGPLabel &l) {
        l.SetTransparent(false);
        l.SetBackColor(cl::Yellow);
    }) << none;
    QTest::newRow("border") << LabelChange([](TGPLabel &l) { l.SetBorderStyle(bsSingle); }) << none;
    QTest::newRow("shadow") << LabelChange([](TGPLabel &l) {
        l.SetDepthShadow(3);
        l.SetDirectionShadow(sdDownRight);
    }) << none;
    QTest::newRow("size") << LabelChange([](TGPLabel &l) { l.SetBounds(10, 10, 60, 40); })
                          << LabelChange([](TGPLabel &l) { l.SetBorderStyle(bsSingle); });
}

// A text label prints a picture it keeps between prints; after any change
// it prints what a fresh label with the same settings prints.
void TestPrintPrep::printPictureFollowsChanges()
{
    QFETCH(LabelChange, change);
    QFETCH(LabelChange, setUp);
    auto print = [](TGPLabel &label) {
        QImage image(300, 150, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        TReport report(&painter, 96, 96);
        label.PrintOnReport(report, 0.1, 0.1);
        return image;
    };
    TGBasePanel panel;
    panel.resize(300, 150);
    auto *kept = AddText(panel, QRect(10, 10, 150, 40), QStringLiteral("Label"));
    setUp(*kept);
    const QImage before = print(*kept);
    QCOMPARE(print(*kept), before);
    change(*kept);
    const QImage after = print(*kept);
    QVERIFY(after != before);

    auto *fresh = AddText(panel, QRect(10, 10, 150, 40), QStringLiteral("Label"));
    setUp(*fresh);
    change(*fresh);
    QCOMPARE(after, print(*fresh));
}

void TestPrintPrep::outlinesAndCropMarks()
{
    // The check boxes reach the run (the drawing is probed in the qmtool test).
    TRunDriver driver;
    TLabelPrintPrep prep(nullptr, pdfOnly());
    prep.SetSheet(TSheetMetrics::FromLayout(TLabelLayout::Default()));
    QCOMPARE(prep.OutlinesCheck()->text(), QStringLiteral("Print label outlines"));
    QCOMPARE(prep.CropMarksCheck()->text(), QStringLiteral("Print crop marks"));
    QVERIFY(!prep.OutlinesCheck()->isChecked() && !prep.CropMarksCheck()->isChecked());
    prep.OutlinesCheck()->click();
    prep.PreviewClick();
    QVERIFY(driver.Outlines && !driver.CropMarks);
    prep.CropMarksCheck()->click();
    prep.PreviewClick();
    QVERIFY(driver.Outlines && driver.CropMarks);
}

QTEST_MAIN(TestPrintPrep)
#include "tst_printprep.moc"
