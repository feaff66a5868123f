// Print windows: the sheet picture's cells, fine tuning, the placement loop
// of the print status window, and the preview window.

#include "controls/DialogSupport.h"
#include "design/GGraphc.h"
#include "design/Gbasepnl.h"
#include "print/Printft.h"
#include "print/Printlbl.h"
#include "print/Prevue.h"
#include "print/Sheet.h"
#include "print/engine/PageRecorder.h"
#include "print/engine/Previewer.h"
#include "print/engine/PrinterEngine.h"
#include "storage/LabelLayout.h"
#include "storage/MergeSource.h"

#include <QBuffer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <functional>

namespace {

// One print of a test object: the label's offsets, the page and the
// drawing state the print run handed over.
struct PrintCall
{
    int page;
    double left, top;
    int penWidth;
    TBrushStyle brushStyle;
    QString fontName;
    double fontSize;
    int advancedBefore;  // what a counter would print: its start + this
};

// A label object that records what the print run asks of it, then spoils
// the drawing state so that the next label shows whether it was reset.
class TRecordingObject : public TGGraphicControl
{
public:
    QByteArray ClassName() const override { return mClassName; }
    void PrintOnReport(TReport &report, double left, double top) override
    {
        auto &engine = static_cast<TReportEngine &>(report);
        Calls.append({engine.CurrentPage(), left, top, report.Pen.Width, report.Brush.Style,
                      report.Font.Name, report.Font.Size, Advanced});
        report.Pen.Width = 7;
        report.Brush.Style = bsSolid;
        report.Font.Name = QStringLiteral("Courier");
        report.Font.Size = 30;
        if (OnPrint)
            OnPrint();
    }
    void AdvanceLabel() override { ++Advanced; }

    QByteArray mClassName = "TRecordingObject";
    QList<PrintCall> Calls;
    int Advanced = 0;
    std::function<void()> OnPrint;
};

// Simple sheet: margins 0.25 / 0.5, pitches 2 / 1 inch.
TSheetMetrics testSheet(int across, int down)
{
    TSheetMetrics s;
    s.LabelWidth = 1.75f;
    s.LabelHeight = 0.75f;
    s.LeftMargin = 0.25f;
    s.TopMargin = 0.5f;
    s.HorizontalPitch = 2.0f;
    s.VerticalPitch = 1.0f;
    s.PageWidth = 8.5f;
    s.PageHeight = 11.0f;
    s.Across = across;
    s.Down = down;
    s.PaperSize = QStringLiteral("LTR");
    return s;
}

QList<bool> cellsSelected(const QList<int> &cells, int count)
{
    QList<bool> selected(count, false);
    for (int c : cells)
        selected[c] = true;
    return selected;
}

// Message boxes shown while it lives are answered with `answer`; their
// icon and text are kept.
struct TBoxAnswerer
{
    explicit TBoxAnswerer(int answer)
    {
        SetDialogRunner([this, answer](QDialog &dialog) {
            if (auto *box = qobject_cast<QMessageBox *>(&dialog))
                Shown.append({box->icon(), box->text()});
            return answer;
        });
    }
    ~TBoxAnswerer() { SetDialogRunner(nullptr); }
    QList<QPair<QMessageBox::Icon, QString>> Shown;
};

using Positions = QList<QList<double>>;  // page, left, top

}  // namespace

class TestPrint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void defaultLayoutCells();
    void cellGaps_data();
    void cellGaps();
    void cellAt_data();
    void cellAt();
    void paperOfLayout_data();
    void paperOfLayout();
    void fineTuned_data();
    void fineTuned();
    void nudgeText_data();
    void nudgeText();
    void fineTuneArrows();
    void fineTuneDefaultAndRange();
    void placement_data();
    void placement();
    void mergePlacement_data();
    void mergePlacement();
    void drawingStateResetPerLabel();
    void beforePrintStatus();
    void finalStatus_data();
    void finalStatus();
    void stopPreview();
    void cancelPrint_data();
    void cancelPrint();
    void failedJobShowsError();
    void okClosesWindow();
    void previewWindow();
    void previewPlacementHooks();
};

void TestPrint::defaultLayoutCells()
{
    const TSheetMetrics sheet = TSheetMetrics::FromLayout(TLabelLayout::Default());
    const QList<TCellRect> cells = DetermineRectangles(sheet, 96);
    QCOMPARE(cells.size(), 30);
    QCOMPARE(cells.at(0), (TCellRect{13, 19, 63, 38}));
    QCOMPARE(cells.at(1).Left, 13 + 53);
    QCOMPARE(cells.at(1).Right - cells.at(1).Left, 50);
    // Row 1 starts one truncated pitch lower; cell 3 is its first cell.
    QCOMPARE(cells.at(3).Top, 19 + int(0.2 * sheet.VerticalPitch * 96));
    QCOMPARE(cells.at(3).Left, 13);
    const TCellRect page = SheetPageRect(sheet, 96);
    QCOMPARE(page, (TCellRect{10, 10, 10 + 163, 10 + 211}));
}

void TestPrint::cellGaps_data()
{
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<double>("columnGap");
    QTest::addColumn<double>("rowGap");
    QTest::addColumn<QList<int>>("shiftedColumns");
    QTest::addColumn<QList<int>>("shiftedRows");
    QTest::newRow("row gap lower half") << 2 << 10 << 0.0 << 0.25 << QList<int>{}
                                        << QList<int>{5, 6, 7, 8, 9};
    QTest::newRow("single row counts as lower half") << 2 << 1 << 0.0 << 0.25 << QList<int>{}
                                                     << QList<int>{0};
    QTest::newRow("column gap right half") << 4 << 2 << 0.5 << 0.0 << QList<int>{2, 3}
                                           << QList<int>{};
    QTest::newRow("odd columns: the middle one moves") << 3 << 2 << 0.5 << 0.0 << QList<int>{1, 2}
                                                       << QList<int>{};
    QTest::newRow("single column moves") << 1 << 2 << 0.5 << 0.0 << QList<int>{0} << QList<int>{};
    QTest::newRow("negative gaps are ignored") << 4 << 4 << -0.5 << -0.5 << QList<int>{}
                                               << QList<int>{};
}

void TestPrint::cellGaps()
{
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(double, columnGap);
    QFETCH(double, rowGap);
    QFETCH(QList<int>, shiftedColumns);
    QFETCH(QList<int>, shiftedRows);
    TSheetMetrics sheet = testSheet(across, down);
    const QList<TCellRect> plain = DetermineRectangles(sheet, 96);
    sheet.ColumnGap = columnGap;
    sheet.RowGap = rowGap;
    const QList<TCellRect> gapped = DetermineRectangles(sheet, 96);
    const int dx = int(0.2 * columnGap * 96), dy = int(0.2 * rowGap * 96);
    for (int r = 0; r < down; ++r) {
        for (int c = 0; c < across; ++c) {
            const TCellRect a = plain.at(r * across + c), b = gapped.at(r * across + c);
            QCOMPARE(b.Left - a.Left, shiftedColumns.contains(c) ? dx : 0);
            QCOMPARE(b.Top - a.Top, shiftedRows.contains(r) ? dy : 0);
            QCOMPARE(b.Right - b.Left, a.Right - a.Left);
        }
    }
}

void TestPrint::cellAt_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("cell");
    QTest::newRow("inside cell 0") << QPoint(20, 25) << 0;
    QTest::newRow("top-left corner belongs to the cell") << QPoint(13, 19) << 0;
    QTest::newRow("right edge is outside") << QPoint(63, 25) << -1;
    QTest::newRow("gap between cells") << QPoint(64, 25) << -1;
    QTest::newRow("cell 1") << QPoint(70, 25) << 1;
    QTest::newRow("outside the sheet") << QPoint(2, 2) << -1;
}

void TestPrint::cellAt()
{
    QFETCH(QPoint, point);
    QFETCH(int, cell);
    const QList<TCellRect> cells =
        DetermineRectangles(TSheetMetrics::FromLayout(TLabelLayout::Default()), 96);
    QCOMPARE(CellAt(cells, point), cell);
}

void TestPrint::paperOfLayout_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("landscape");
    QTest::newRow("LTR") << "LTR" << 1 << false;
    QTest::newRow("LTRL") << "LTRL" << 1 << true;
    QTest::newRow("A4") << "A4" << 9 << false;
    QTest::newRow("A4L") << "A4L" << 9 << true;
    QTest::newRow("A5") << "A5" << 11 << false;
    QTest::newRow("other") << "LGL" << 0 << false;
}

void TestPrint::paperOfLayout()
{
    QFETCH(QString, paper);
    QFETCH(int, code);
    QFETCH(bool, landscape);
    QCOMPARE(PaperCodeOf(paper), code);
    QCOMPARE(IsLandscapePaper(paper), landscape);

    TLabelPrinter printer;
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    TPageRecorder *recorder = printer.ReportRecorder();
    recorder->SelectPaper(PaperA5);
    printer.SetUpRun(false, paper, &buffer);
    QCOMPARE(printer.ActiveReport, recorder);
    QCOMPARE(recorder->Orientation(), landscape ? poLandscape : poPortrait);
    const QSizeF size = recorder->PaperSize().size(QPageSize::Inch);
    const double width = code == 1 ? 8.5 : code == 9 ? 8.27 : 5.83;  // others keep A5
    QVERIFY(qAbs(size.width() - width) < 0.01);
}

void TestPrint::fineTuned_data()
{
    QTest::addColumn<TPrinterNudges>("nudges");
    QTest::addColumn<QList<double>>("expected");  // top, left, hpitch, vpitch
    QTest::newRow("none") << TPrinterNudges{} << QList<double>{0.5, 0.25, 2.0, 1.0};
    QTest::newRow("each nudge on its own field")
        << TPrinterNudges{1, -2, 3, -4} << QList<double>{0.5 + 1 / 32.0, 0.25 - 2 / 32.0,
                                                         2.0 - 4 / 32.0, 1.0 + 3 / 32.0};
    QTest::newRow("out of range values are held to 8")
        << TPrinterNudges{100, -100, 0, 0} << QList<double>{0.75, 0.0, 2.0, 1.0};
}

void TestPrint::fineTuned()
{
    QFETCH(TPrinterNudges, nudges);
    QFETCH(QList<double>, expected);
    const TSheetMetrics sheet = testSheet(3, 10);
    const TRunGeometry g = FineTuned(sheet, nudges);
    QCOMPARE(g.TopMargin, expected[0]);
    QCOMPARE(g.LeftMargin, expected[1]);
    QCOMPARE(g.HorizontalPitch, expected[2]);
    QCOMPARE(g.VerticalPitch, expected[3]);
    // The sheet values themselves stay as they were.
    QCOMPARE(sheet.TopMargin, 0.5f);
}

void TestPrint::nudgeText_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("-8") << -8 << "Decrease by 8/32\"";
    QTest::newRow("-1") << -1 << "Decrease by 1/32\"";
    QTest::newRow("0") << 0 << "None";
    QTest::newRow("1") << 1 << "Increase by 1/32\"";
    QTest::newRow("8") << 8 << "Increase by 8/32\"";
}

void TestPrint::nudgeText()
{
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(NudgeText(value), text);
}

void TestPrint::fineTuneArrows()
{
    TPrintFineTune dialog(TPrinterNudges{});
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Printer Fine-Tuning"));
    QCOMPARE(dialog.TitleText(TPrintFineTune::VerticalSpacingPanel)->text(),
             QStringLiteral("Vertical Spacing"));
    QVERIFY(dialog.HelpText(TPrintFineTune::VerticalSpacingPanel)->text().contains(u"\"creeps\""));

    for (int i = 0; i < 8; ++i)
        QTest::mouseClick(dialog.DownArrow(TPrintFineTune::TopMarginPanel), Qt::LeftButton);
    QCOMPARE(dialog.ValueText(TPrintFineTune::TopMarginPanel)->text(),
             QStringLiteral("Increase by 8/32\""));
    QTest::mouseClick(dialog.DownArrow(TPrintFineTune::TopMarginPanel), Qt::LeftButton);
    QCOMPARE(dialog.Values().TopMargin, 8);

    for (int i = 0; i < 9; ++i)
        QTest::mouseClick(dialog.UpArrow(TPrintFineTune::HorizontalSpacingPanel), Qt::LeftButton);
    QCOMPARE(dialog.Values().HorizontalSpacing, -8);
    QCOMPARE(dialog.ValueText(TPrintFineTune::HorizontalSpacingPanel)->text(),
             QStringLiteral("Decrease by 8/32\""));
    // The other panels did not move.
    QCOMPARE(dialog.Values().LeftMargin, 0);
    QCOMPARE(dialog.Values().VerticalSpacing, 0);
    QCOMPARE(dialog.ValueText(TPrintFineTune::LeftMarginPanel)->text(), QStringLiteral("None"));
}

void TestPrint::fineTuneDefaultAndRange()
{
    TPrintFineTune dialog(TPrinterNudges{3, -20, 5, 1});
    QCOMPARE(dialog.Values(), (TPrinterNudges{3, -8, 5, 1}));
    QCOMPARE(dialog.ValueText(TPrintFineTune::LeftMarginPanel)->text(),
             QStringLiteral("Decrease by 8/32\""));
    dialog.DefaultClick();
    QCOMPARE(dialog.Values(), TPrinterNudges{});
    for (int p = 0; p < 4; ++p)
        QCOMPARE(dialog.ValueText(TPrintFineTune::Panel(p))->text(), QStringLiteral("None"));
}

void TestPrint::placement_data()
{
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<int>("pages");
    QTest::addColumn<bool>("printing");
    QTest::addColumn<QList<int>>("cells");
    QTest::addColumn<double>("columnGap");
    QTest::addColumn<double>("rowGap");
    QTest::addColumn<TPrinterNudges>("nudges");
    QTest::addColumn<Positions>("expected");
    QTest::addColumn<QString>("lastStatus");

    QTest::newRow("cell 0 only on 2 sheets")
        << 3 << 10 << 2 << true << QList<int>{0} << 0.0 << 0.0 << TPrinterNudges{}
        << Positions{{1, 0.25, 0.5}, {2, 0.25, 0.5}} << "Printed label 1 on page 2";
    QTest::newRow("row by row, left to right")
        << 2 << 2 << 1 << true << QList<int>{0, 1, 2, 3} << 0.0 << 0.0 << TPrinterNudges{}
        << Positions{{1, 0.25, 0.5}, {1, 2.25, 0.5}, {1, 0.25, 1.5}, {1, 2.25, 1.5}}
        << "Printed label 4 on page 1";
    QTest::newRow("unselected cells skipped on every sheet")
        << 2 << 2 << 2 << true << QList<int>{1, 2} << 0.0 << 0.0 << TPrinterNudges{}
        << Positions{{1, 2.25, 0.5}, {1, 0.25, 1.5}, {2, 2.25, 0.5}, {2, 0.25, 1.5}}
        << "Printed label 3 on page 2";
    QTest::newRow("a preview records one sheet")
        << 1 << 2 << 5 << false << QList<int>{0, 1} << 0.0 << 0.0 << TPrinterNudges{}
        << Positions{{1, 0.25, 0.5}, {1, 0.25, 1.5}} << "Printed label 2 on page 1";
    QTest::newRow("column gap for the right half")
        << 4 << 1 << 1 << true << QList<int>{0, 1, 2, 3} << 0.5 << 0.0 << TPrinterNudges{}
        << Positions{{1, 0.25, 0.5}, {1, 2.25, 0.5}, {1, 4.75, 0.5}, {1, 6.75, 0.5}}
        << "Printed label 4 on page 1";
    QTest::newRow("row gap for the lower half")
        << 1 << 4 << 1 << true << QList<int>{0, 1, 2, 3} << 0.0 << 0.25 << TPrinterNudges{}
        << Positions{{1, 0.25, 0.5}, {1, 0.25, 1.5}, {1, 0.25, 2.75}, {1, 0.25, 3.75}}
        << "Printed label 4 on page 1";
    QTest::newRow("Across 1: the column gap moves every label")
        << 1 << 2 << 1 << true << QList<int>{0, 1} << 0.125 << 0.0 << TPrinterNudges{}
        << Positions{{1, 0.375, 0.5}, {1, 0.375, 1.5}} << "Printed label 2 on page 1";
    QTest::newRow("Down 1: the row gap moves the row")
        << 2 << 1 << 1 << true << QList<int>{0, 1} << 0.0 << 0.25 << TPrinterNudges{}
        << Positions{{1, 0.25, 0.75}, {1, 2.25, 0.75}} << "Printed label 2 on page 1";
    QTest::newRow("vertical spacing +2/32 moves row r by r x 2/32")
        << 1 << 4 << 1 << true << QList<int>{0, 1, 2, 3} << 0.0 << 0.0 << TPrinterNudges{0, 0, 2, 0}
        << Positions{{1, 0.25, 0.5}, {1, 0.25, 1.5 + 2 / 32.0}, {1, 0.25, 2.5 + 4 / 32.0},
                     {1, 0.25, 3.5 + 6 / 32.0}}
        << "Printed label 4 on page 1";
    QTest::newRow("margin nudges move the whole sheet")
        << 2 << 1 << 1 << true << QList<int>{0, 1} << 0.0 << 0.0 << TPrinterNudges{-3, 4, 0, 0}
        << Positions{{1, 0.25 + 4 / 32.0, 0.5 - 3 / 32.0}, {1, 2.25 + 4 / 32.0, 0.5 - 3 / 32.0}}
        << "Printed label 2 on page 1";
    QTest::newRow("no cell selected prints nothing")
        << 2 << 2 << 3 << true << QList<int>{} << 0.0 << 0.0 << TPrinterNudges{} << Positions{}
        << "Printing Page 3\n\n";
}

void TestPrint::placement()
{
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(int, pages);
    QFETCH(bool, printing);
    QFETCH(QList<int>, cells);
    QFETCH(double, columnGap);
    QFETCH(double, rowGap);
    QFETCH(TPrinterNudges, nudges);
    QFETCH(Positions, expected);
    QFETCH(QString, lastStatus);

    TGBasePanel panel;
    auto *object = new TRecordingObject;
    object->setParent(&panel);

    TSheetMetrics sheet = testSheet(across, down);
    sheet.ColumnGap = columnGap;
    sheet.RowGap = rowGap;
    TLabelPrinter printer;
    printer.LabelPanel = &panel;
    printer.SetSheet(sheet, nudges);
    printer.PageCount = pages;
    printer.CellSelected = cellsSelected(cells, across * down);
    // Both runs record, so that the test needs no printer.
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    printer.SetUpRun(false, sheet.PaperSize, &buffer);
    printer.IsPrinting = printing;
    printer.RunJob();

    QVERIFY(printer.JobFinished());
    QVERIFY(printer.JobError().isEmpty());
    QCOMPARE(object->Calls.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(object->Calls.at(i).page, int(expected[i][0]));
        QVERIFY2(qAbs(object->Calls.at(i).left - expected[i][1]) < 1e-9,
                 qPrintable(QString::number(object->Calls.at(i).left)));
        QVERIFY2(qAbs(object->Calls.at(i).top - expected[i][2]) < 1e-9,
                 qPrintable(QString::number(object->Calls.at(i).top)));
        // Every label is printed before the counters advance for it.
        QCOMPARE(object->Calls.at(i).advancedBefore, i);
    }
    // Counters advance once for every printed label, across sheets.
    QCOMPARE(object->Advanced, int(expected.size()));
    QCOMPARE(printer.ActiveReport->StatusString(), lastStatus);
    QCOMPARE(printer.ReportRecorder()->PagesRecorded(), printing ? pages : 1);
}

// Each printed label as "page/cell/record value".
void TestPrint::mergePlacement_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<QList<int>>("cells");
    QTest::addColumn<int>("copies");
    QTest::addColumn<int>("startCell");
    QTest::addColumn<QString>("range");
    QTest::addColumn<bool>("printing");
    QTest::addColumn<QStringList>("expected");
    const QList<int> all{0, 1, 2, 3, 4, 5};
    QTest::newRow("records fill the cells, sheet after sheet")
        << 7 << all << 1 << 0 << "" << true
        << QStringList{"1/0/r1", "1/1/r2", "1/2/r3", "1/3/r4", "1/4/r5", "1/5/r6", "2/0/r7"};
    QTest::newRow("copies from a start cell")
        << 4 << all << 2 << 4 << "" << true
        << QStringList{"1/4/r1", "1/5/r1", "2/0/r2", "2/1/r2", "2/2/r3", "2/3/r3", "2/4/r4", "2/5/r4"};
    QTest::newRow("only the chosen cells, on every sheet")
        << 3 << QList<int>{1, 3} << 1 << 0 << "" << true << QStringList{"1/1/r1", "1/3/r2", "2/1/r3"};
    QTest::newRow("start cell past the chosen ones of the first sheet")
        << 2 << QList<int>{1, 3} << 1 << 2 << "" << true << QStringList{"1/3/r1", "2/1/r2"};
    QTest::newRow("record range") << 9 << all << 1 << 0 << "3-4" << true << QStringList{"1/0/r3", "1/1/r4"};
    QTest::newRow("range to the end, three copies")
        << 3 << QList<int>{5} << 3 << 0 << "3-" << true << QStringList{"1/5/r3", "2/5/r3", "3/5/r3"};
    QTest::newRow("a preview shows every merged sheet")
        << 7 << all << 1 << 0 << "" << false
        << QStringList{"1/0/r1", "1/1/r2", "1/2/r3", "1/3/r4", "1/4/r5", "1/5/r6", "2/0/r7"};
    QTest::newRow("range past the records") << 3 << all << 1 << 0 << "5-9" << true << QStringList{};
}

void TestPrint::mergePlacement()
{
    QFETCH(int, records);
    QFETCH(QList<int>, cells);
    QFETCH(int, copies);
    QFETCH(int, startCell);
    QFETCH(QString, range);
    QFETCH(bool, printing);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("list.csv"));
    QFile file(data);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Name\r\n");
    for (int i = 1; i <= records; ++i)
        file.write("r" + QByteArray::number(i) + "\r\n");
    file.close();
    TMergeSource source(data);
    source.Open();

    TGBasePanel panel;
    auto *object = new TRecordingObject;
    object->setParent(&panel);
    QStringList printed;
    object->OnPrint = [&] {
        const PrintCall &c = object->Calls.last();
        const int cell = qRound((c.top - 0.5) / 1.0) * 3 + qRound((c.left - 0.25) / 2.0);
        QString value;
        panel.MergeRecord().Value(QStringLiteral("Name"), &value);
        printed << QStringLiteral("%1/%2/%3").arg(c.page).arg(cell).arg(value);
    };

    const TSheetMetrics sheet = testSheet(3, 2);
    TLabelPrinter printer;
    printer.LabelPanel = &panel;
    printer.SetSheet(sheet, TPrinterNudges{});
    printer.PageCount = 1;
    printer.CellSelected = cellsSelected(cells, 6);
    printer.StartCell = startCell;
    const QStringList bounds = range.split(u'-');
    printer.SetMerge(&source, range.isEmpty() ? 1 : bounds.at(0).toInt(),
                     bounds.size() > 1 ? bounds.at(1).toInt() : 0, copies);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    printer.SetUpRun(false, sheet.PaperSize, &buffer);
    printer.IsPrinting = printing;
    printer.RunJob();

    QVERIFY(printer.JobError().isEmpty());
    QCOMPARE(printed, expected);
    // The counters count every label, copies too, across records and sheets.
    QCOMPARE(object->Advanced, int(expected.size()));
    // Afterwards the panel shows what it showed before.
    QVERIFY(panel.MergeRecord().IsEmpty());
}

void TestPrint::drawingStateResetPerLabel()
{
    TGBasePanel panel;
    auto *object = new TRecordingObject;
    object->setParent(&panel);
    TLabelPrinter printer;
    printer.LabelPanel = &panel;
    printer.SetSheet(testSheet(3, 1), {});
    printer.CellSelected = cellsSelected({0, 1, 2}, 3);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    printer.SetUpRun(false, QStringLiteral("LTR"), &buffer);
    printer.RunJob();
    QCOMPARE(object->Calls.size(), 3);
    for (const PrintCall &call : object->Calls) {
        QCOMPARE(call.penWidth, -1);
        QCOMPARE(call.brushStyle, bsClear);
        QCOMPARE(call.fontName, QStringLiteral("Arial"));
        QCOMPARE(call.fontSize, 8.0);
    }
}

void TestPrint::beforePrintStatus()
{
    TLabelPrinter printer;
    TPageRecorder *recorder = printer.ReportRecorder();
    printer.ActiveReport = recorder;
    printer.IsPrinting = true;
    printer.BeforePrintLabels();
    QCOMPARE(recorder->StatusText, (QStringList{QString(), QString()}));
    QCOMPARE(recorder->StatusFormat, QStringLiteral("Printing Page %p\n%0\n%1"));
    printer.IsPrinting = false;
    printer.BeforePrintLabels();
    QCOMPARE(recorder->StatusFormat, QStringLiteral("Preparing Preview Page %p\n%0\n%1"));
}

void TestPrint::finalStatus_data()
{
    QTest::addColumn<bool>("printing");
    QTest::addColumn<QByteArray>("objectClass");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("caption");
    QTest::newRow("print") << true << QByteArray("TGLabelShapes") << "Label Print Completed!"
                           << "Print Status ";
    QTest::newRow("preview") << false << QByteArray("TGLabelShapes") << "\nLabel Preview Ready!"
                             << "Preview Status";
    QTest::newRow("print with SuperText")
        << true << QByteArray("TGSuperText")
        << "Print job completed and sent to printer!\n\nNote: this label contains complex shapes "
           "or text.\nPlease be patient while the printer produces its\noutput..."
        << "Print Status ";
    QTest::newRow("preview with SuperShape")
        << false << QByteArray("TSuperShape")
        << "Label preview ready to view!\n\nNote: This label contains complex shapes or "
           "text.\nPlease be patient while the label previewer\nprepares the viewing page"
        << "Preview Status";
}

void TestPrint::finalStatus()
{
    QFETCH(bool, printing);
    QFETCH(QByteArray, objectClass);
    QFETCH(QString, status);
    QFETCH(QString, caption);
    QTemporaryDir dir;
    TGBasePanel panel;
    auto *object = new TRecordingObject;
    object->mClassName = objectClass;
    object->setParent(&panel);
    TLabelPrinter printer;
    printer.LabelPanel = &panel;
    printer.SetSheet(testSheet(2, 2), {});
    printer.CellSelected = cellsSelected({0, 3}, 4);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    if (printing)
        printer.ReportPrinter()->SetOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
    printer.SetUpRun(printing, QStringLiteral("LTR"), &buffer);
    if (printing) {
        printer.ReportPrinter()->SetPrinterIndex(
            int(printer.ReportPrinter()->Printers().indexOf(TPrinterEngine::PdfPrinterName())));
    }
    QCOMPARE(printer.CancelButton()->text(), printing ? QStringLiteral("Cancel")
                                                      : QStringLiteral("Stop"));
    printer.show();
    QTRY_VERIFY(printer.JobFinished());
    QCOMPARE(printer.windowTitle(), caption);
    QCOMPARE(printer.StatusText()->text(), status);
    QCOMPARE(printer.CancelButton()->text(), QStringLiteral("OK"));
    QVERIFY(!printer.JobAborted());
    if (printing)
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("out.pdf"))));
}

void TestPrint::stopPreview()
{
    TGBasePanel panel;
    auto *object = new TRecordingObject;
    object->setParent(&panel);
    TLabelPrinter printer;
    printer.LabelPanel = &panel;
    printer.SetSheet(testSheet(3, 10), {});
    printer.CellSelected = cellsSelected({0, 1, 2, 3, 4, 5}, 30);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    printer.SetUpRun(false, QStringLiteral("LTR"), &buffer);
    // Stop is pressed while the first label is drawn; the loop serves it
    // right after that label.
    object->OnPrint = [&] {
        if (object->Calls.size() == 1)
            QMetaObject::invokeMethod(printer.CancelButton(), &QPushButton::click,
                                      Qt::QueuedConnection);
    };
    printer.show();
    QTRY_VERIFY(printer.JobFinished());
    QVERIFY(printer.Stopped);
    QVERIFY(printer.JobAborted());
    QCOMPARE(object->Calls.size(), 1);
    QCOMPARE(printer.StatusText()->text(), QStringLiteral("\nLabel Preview Canceled!"));
    QCOMPARE(printer.CancelButton()->text(), QStringLiteral("OK"));
    buffer.seek(0);
    QCOMPARE(TPageStream::Read(buffer).Pages.size(), 0);
}

void TestPrint::cancelPrint_data()
{
    QTest::addColumn<bool>("answerYes");
    QTest::newRow("Yes cancels") << true;
    QTest::newRow("No goes on") << false;
}

void TestPrint::cancelPrint()
{
    QFETCH(bool, answerYes);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    TGBasePanel panel;
    auto *object = new TRecordingObject;
    object->setParent(&panel);
    TLabelPrinter printer;
    printer.LabelPanel = &panel;
    printer.SetSheet(testSheet(2, 3), {});
    printer.CellSelected = cellsSelected({0, 1, 2, 3, 4, 5}, 6);
    printer.PageCount = 2;
    printer.ReportPrinter()->SetPrinterIndex(
        int(printer.ReportPrinter()->Printers().indexOf(TPrinterEngine::PdfPrinterName())));
    printer.ReportPrinter()->SetOutputFileName(pdf);
    printer.SetUpRun(true, QStringLiteral("LTR"));
    object->OnPrint = [&] {
        if (object->Calls.size() == 2)
            QMetaObject::invokeMethod(printer.CancelButton(), &QPushButton::click,
                                      Qt::QueuedConnection);
    };
    TBoxAnswerer answerer(answerYes ? QMessageBox::Yes : QMessageBox::No);
    printer.show();
    QTRY_VERIFY_WITH_TIMEOUT(printer.JobFinished(), 10000);
    QCOMPARE(answerer.Shown.size(), 1);
    QCOMPARE(answerer.Shown.at(0).first, QMessageBox::Information);
    QCOMPARE(answerer.Shown.at(0).second, QStringLiteral("Cancel Label Printing?"));
    if (answerYes) {
        QCOMPARE(object->Calls.size(), 2);
        QVERIFY(printer.JobAborted());
        QCOMPARE(printer.StatusText()->text(), QStringLiteral("\nLabel Print Canceled!"));
        // Nothing of the cancelled document is left behind.
        QVERIFY(!QFile::exists(pdf));
    } else {
        QCOMPARE(object->Calls.size(), 12);
        QVERIFY(!printer.JobAborted());
        QCOMPARE(printer.StatusText()->text(), QStringLiteral("Label Print Completed!"));
        QVERIFY(QFile::exists(pdf));
    }
}

void TestPrint::failedJobShowsError()
{
    QTemporaryDir dir;
    TGBasePanel panel;
    (new TRecordingObject)->setParent(&panel);
    TLabelPrinter printer;
    printer.LabelPanel = &panel;
    printer.SetSheet(testSheet(1, 1), {});
    printer.CellSelected = cellsSelected({0}, 1);
    printer.ReportPrinter()->SetPrinterIndex(
        int(printer.ReportPrinter()->Printers().indexOf(TPrinterEngine::PdfPrinterName())));
    printer.ReportPrinter()->SetOutputFileName(dir.filePath(QStringLiteral("missing/out.pdf")));
    printer.SetUpRun(true, QStringLiteral("LTR"));
    TBoxAnswerer answerer(QMessageBox::Ok);
    printer.show();
    QTRY_VERIFY(printer.JobFinished());
    QCOMPARE(answerer.Shown.size(), 1);
    QCOMPARE(answerer.Shown.at(0).first, QMessageBox::Critical);
    QVERIFY(answerer.Shown.at(0).second.contains(QStringLiteral("out.pdf")));
    QCOMPARE(printer.JobError(), answerer.Shown.at(0).second);
    // A failed job is not reported as completed.
    QCOMPARE(printer.StatusText()->text(), QStringLiteral("\nLabel Print Canceled!"));
    QCOMPARE(printer.CancelButton()->text(), QStringLiteral("OK"));
}

void TestPrint::okClosesWindow()
{
    TLabelPrinter printer;
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    printer.SetSheet(testSheet(1, 1), {});
    printer.SetUpRun(false, QStringLiteral("LTR"), &buffer);
    printer.show();
    QTRY_VERIFY(printer.JobFinished());
    QVERIFY(printer.isVisible());
    // The cancel key presses the button, which now closes the window.
    QTest::keyClick(&printer, Qt::Key_Escape);
    QVERIFY(!printer.isVisible());
    QCOMPARE(printer.result(), int(QDialog::Accepted));
}

void TestPrint::previewWindow()
{
    // One sheet recorded by a preview run.
    TGBasePanel panel;
    (new TRecordingObject)->setParent(&panel);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    {
        TLabelPrinter printer;
        printer.LabelPanel = &panel;
        printer.SetSheet(testSheet(1, 1), {});
        printer.CellSelected = cellsSelected({0}, 1);
        printer.SetUpRun(false, QStringLiteral("LTR"), &buffer);
        printer.RunJob();
        QVERIFY(!printer.JobAborted());
    }

    TPreviewForm form;
    form.SetStream(&buffer);
    form.ZoomMode = 100;
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("Preview Page 1 of 1 ( 100% )"));
    QCOMPARE(form.ZoomFigure()->text(), QStringLiteral("100%"));
    QVERIFY(form.ToolButton(TPreviewForm::NextPageButton)->isHidden());
    QVERIFY(form.ToolButton(TPreviewForm::FirstPageButton)->isHidden());
    QVERIFY(!form.ToolButton(TPreviewForm::ZoomInButton)->isHidden());

    TPageView *page = form.Previewer()->PageView();
    QTest::mouseClick(page, Qt::RightButton, {}, QPoint(20, 20));
    QCOMPARE(form.windowTitle(), QStringLiteral("Preview Page 1 of 1 ( 90% )"));
    QCOMPARE(form.ZoomFigure()->text(), QStringLiteral("90%"));
    QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(form.windowTitle(), QStringLiteral("Preview Page 1 of 1 ( 110% )"));
    for (int i = 0; i < 12; ++i)
        QTest::mouseClick(form.ToolButton(TPreviewForm::ZoomInButton), Qt::LeftButton);
    QCOMPARE(form.windowTitle(), QStringLiteral("Preview Page 1 of 1 ( 200% )"));
    QCOMPARE(form.ZoomFigure()->text(), QStringLiteral("200%"));
    // The whole page: the figure follows whatever zoom fits.
    QTest::mouseClick(form.ToolButton(TPreviewForm::WholePageButton), Qt::LeftButton);
    QCOMPARE(form.ZoomFigure()->text(),
             QString::number(RoundNearest(form.Previewer()->ZoomFactor())) + QLatin1Char('%'));
    QVERIFY(form.ZoomFigure()->text() != QStringLiteral("100%"));
    QTest::mouseClick(form.ToolButton(TPreviewForm::Zoom100Button), Qt::LeftButton);
    QCOMPARE(form.windowTitle(), QStringLiteral("Preview Page 1 of 1 ( 100% )"));

    // Up and Down scroll by the scroll bar's step, within its range.
    QScrollBar *bar = form.ScrollBox()->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QTest::keyClick(&form, Qt::Key_Up);
    QCOMPARE(bar->value(), 0);
    QTest::keyClick(&form, Qt::Key_Down);
    QCOMPARE(bar->value(), bar->singleStep());
    bar->setValue(bar->maximum());
    QTest::keyClick(&form, Qt::Key_Down);
    QCOMPARE(bar->value(), bar->maximum());

    form.accept();
    QVERIFY(!form.Previewer()->Active());
}

void TestPrint::previewPlacementHooks()
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    TPageRecorder recorder;
    recorder.SetStream(&buffer);
    recorder.SelectPaper(PaperA5);
    recorder.Execute();

    QStringList calls;
    TPreviewForm::RestorePlacementHook = [&](QWidget *w) {
        calls << QStringLiteral("restore");
        w->setGeometry(40, 50, 700, 500);
    };
    TPreviewForm::SavePlacementHook = [&](QWidget *w) {
        calls << QStringLiteral("save %1").arg(w->width());
    };
    {
        TPreviewForm form;
        form.SetStream(&buffer);
        form.show();
        form.hide();
        form.show();
        QCOMPARE(calls, QStringList{QStringLiteral("restore")});
        QCOMPARE(form.width(), 700);
        // Whole page (the form's own zoom mode) fits the smaller window.
        QVERIFY(form.Previewer()->ZoomFactor() < 100);
        form.reject();
    }
    TPreviewForm::RestorePlacementHook = nullptr;
    TPreviewForm::SavePlacementHook = nullptr;
    QCOMPARE(calls, (QStringList{QStringLiteral("restore"), QStringLiteral("save 700")}));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
