#include "print/Prelpr.h"

#include "controls/DialogSupport.h"
#include "controls/MessageBoxes.h"
#include "controls/SpinEdit.h"
#include "design/GGraphc.h"
#include "design/Gqmpanel32.h"
#include "storage/DesignProperties.h"
#include "print/LabelRun.h"
#include "print/RunCheck.h"
#include "storage/MergeSource.h"
#include "print/MergeData.h"
#include "print/Printlbl.h"
#include "print/Prevue.h"
#include "print/engine/Canvas.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

// The paint box of the sheet picture: the page at one fifth of its size
// with every cell, selected ones in pink.
class TSheetPicture : public QWidget
{
public:
    TSheetPicture(TLabelPrintPrep *owner, QWidget *parent) : QWidget(parent), mOwner(owner) {}

    void paintCell(TCanvas &c, int cell) const
    {
        const TCellRect &r = mOwner->CellRects.at(cell);
        c.Brush.Style = bsSolid;
        c.Brush.Color = mOwner->CellSelected.value(cell) ? TColor(0x8080FF) : cl::White;
        c.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        TCanvas c(p);
        const TCellRect page = SheetPageRect(mOwner->Sheet(), mOwner->ScreenPPI);
        c.Pen.Color = cl::Black;
        c.Brush.Style = bsSolid;
        c.Brush.Color = cl::White;
        c.Rectangle(page.Left, page.Top, page.Right, page.Bottom);
        for (int i = 0; i < mOwner->CellRects.size(); ++i)
            paintCell(c, i);
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        mOwner->PaintBoxMouseDown(event->position().toPoint());
        event->accept();
    }

private:
    TLabelPrintPrep *mOwner;
};

namespace {

// Heights of the title strip and of the strip holding All and None, and
// the widths of the two button holders the picture is at least as wide as.
constexpr int TitleHeight = 20;
constexpr int ButtonStripHeight = 36;
constexpr int AllHolderWidth = 82;
constexpr int NoneHolderWidth = 92;

// Pixels of a length in inches at zoom 1.0, as the main window sizes its panel.
int panelPixels(double inches, int ppi)
{
    return RoundNearest(inches * ppi);
}

}  // namespace

TLabelPrintPrep::TLabelPrintPrep(QWidget *parent, const TPrinterList &printers)
    : QDialog(parent), mReportPrinter1(std::make_unique<TPrinterEngine>(printers))
{
    SetupFixedDialog(this, QStringLiteral("Labels Print"), 542, 393);
    SetName(QStringLiteral("LabelPrintPrep"));
    ScreenPPI = TGGraphicControl::ScreenPixelsPerInch();
    CellSelected = QList<bool>(MinCells, true);
    mReportPrinter1->Title = QStringLiteral("Quillmark");

    // The window's copy of the design: a hidden panel on a hidden parent.
    auto *labelHost = new QWidget(this);
    labelHost->hide();
    mLabelPanel = new TGQuillmarkPanel32(labelHost);
    mLabelPanel->setObjectName(QStringLiteral("LabelPanel"));
    mLabelPanel->SetObjectOwner(this);
    mLabelPanel->SetShowGrid(false);
    mLabelPanel->SetDrawOutline(false);
    DetachScratchFiles(mLabelPanel);

    // Printer and sheets.
    auto *printerLabel = new QLabel(QStringLiteral("P&rinter"));
    mPrinterList = new QComboBox;
    mPrinterList->setObjectName(QStringLiteral("PrinterList"));
    mPrinterList->setMinimumWidth(230);
    printerLabel->setBuddy(mPrinterList);
    auto *pagesLabel = new QLabel(QStringLiteral("# of &Pages to print"));
    mPageCount = new TSpinEdit;
    mPageCount->setObjectName(QStringLiteral("PageCount"));
    mPageCount->setRange(1, 9999);
    mPageCount->setValue(1);
    mPageCount->setFixedWidth(80);
    pagesLabel->setBuddy(mPageCount);
    mLabelsPerPageCaption = new QLabel;
    mLabelsPerPageCaption->setObjectName(QStringLiteral("LabelsPerPageCaption"));

    auto *left = new QVBoxLayout;
    left->setContentsMargins(4, 4, 4, 4);
    left->addWidget(printerLabel);
    left->addWidget(mPrinterList);
    left->addSpacing(18);
    left->addWidget(pagesLabel);
    left->addWidget(mPageCount);
    left->addSpacing(12);
    left->addWidget(mLabelsPerPageCaption);
    left->addStretch(1);
    mOutlines = new QCheckBox(QStringLiteral("Print label outlines"));
    mOutlines->setObjectName(QStringLiteral("PrintOutlines"));
    mCropMarks = new QCheckBox(QStringLiteral("Print crop marks"));
    mCropMarks->setObjectName(QStringLiteral("PrintCropMarks"));
    left->addWidget(mOutlines);
    left->addWidget(mCropMarks);
    mDataSection = new TMergeDataSection;

    // The sheet picture: title strip, paint box, All and None. Placed by
    // hand: its size follows the sheet on every activation.
    mSheetPanel = new QFrame;
    auto *sheetFrame = static_cast<QFrame *>(mSheetPanel);
    sheetFrame->setObjectName(QStringLiteral("SheetPanel"));
    sheetFrame->setFrameShape(QFrame::Box);
    sheetFrame->setLineWidth(1);
    mTitleStrip = new QLabel(QStringLiteral(" Select Labels To Print"), mSheetPanel);
    mTitleStrip->setAutoFillBackground(true);
    QPalette captionColours = mTitleStrip->palette();
    captionColours.setColor(QPalette::Window, captionColours.color(QPalette::Highlight));
    captionColours.setColor(QPalette::WindowText, captionColours.color(QPalette::HighlightedText));
    mTitleStrip->setPalette(captionColours);
    QFont bold = mTitleStrip->font();
    bold.setBold(true);
    mTitleStrip->setFont(bold);
    mPaintBox = new TSheetPicture(this, mSheetPanel);
    mPaintBox->setObjectName(QStringLiteral("PaintBox"));
    mSheetButtons = new QWidget(mSheetPanel);
    auto *sheetButtons = new QHBoxLayout(mSheetButtons);
    sheetButtons->setContentsMargins(6, 4, 6, 4);
    mButtons[AllButton] = new QPushButton(QStringLiteral("&All"));
    mButtons[NoneButton] = new QPushButton(QStringLiteral("&None"));
    mButtons[AllButton]->setFixedWidth(AllHolderWidth - 12);
    mButtons[NoneButton]->setFixedWidth(NoneHolderWidth - 12);
    sheetButtons->addWidget(mButtons[AllButton]);
    sheetButtons->addStretch(1);
    sheetButtons->addWidget(mButtons[NoneButton]);

    // Large user-defined sheets scroll rather than grow the window.
    auto *sheetArea = new QScrollArea;
    sheetArea->setFrameShape(QFrame::NoFrame);
    sheetArea->setWidgetResizable(false);
    sheetArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    sheetArea->setWidget(mSheetPanel);

    auto *middle = new QHBoxLayout;
    middle->addLayout(left);
    middle->addWidget(sheetArea, 1);

    // The bottom bar.
    mButtons[HelpButton] = new QPushButton(QStringLiteral("Help"));
    mButtons[PrintButton] = new QPushButton(QStringLiteral("&Print"));
    mButtons[PreviewButton] = new QPushButton(QStringLiteral("Pre&view"));
    mButtons[SetupButton] = new QPushButton(QStringLiteral("&Setup"));
    mButtons[CancelButton] = new QPushButton(QStringLiteral("&Cancel"));
    for (QPushButton *b : mButtons)
        b->setAutoDefault(false);
    mButtons[CancelButton]->setDefault(true);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(mButtons[HelpButton]);
    bottom->addStretch(1);
    for (Button b : {PrintButton, PreviewButton, SetupButton, CancelButton})
        bottom->addWidget(mButtons[b]);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(middle, 1);
    layout->addWidget(mDataSection);
    auto *line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    layout->addLayout(bottom);

    connect(mButtons[AllButton], &QPushButton::clicked, this, &TLabelPrintPrep::AllClick);
    connect(mButtons[NoneButton], &QPushButton::clicked, this, &TLabelPrintPrep::NoneClick);
    connect(mButtons[HelpButton], &QPushButton::clicked, this,
            [this] { ShowHelpTopic(this, HelpTopic); });
    connect(mButtons[PrintButton], &QPushButton::clicked, this, &TLabelPrintPrep::PrintClick);
    connect(mButtons[PreviewButton], &QPushButton::clicked, this, &TLabelPrintPrep::PreviewClick);
    connect(mButtons[SetupButton], &QPushButton::clicked, this, &TLabelPrintPrep::SetupClick);
    connect(mButtons[CancelButton], &QPushButton::clicked, this, &QDialog::reject);

    AssignPrinterSettings(*mReportPrinter1);
    connect(mPrinterList, &QComboBox::activated, this, &TLabelPrintPrep::PrinterListChange);
    FormActivate();
    PlaceDialog(this);
}

TLabelPrintPrep::~TLabelPrintPrep() = default;

const TPropertyTable &TLabelPrintPrep::Properties() const
{
    static const TPropertyTable table(nullptr, {});
    return table;
}

QWidget *TLabelPrintPrep::PaintBox() const
{
    return mPaintBox;
}

void TLabelPrintPrep::SetSheet(const TSheetMetrics &sheet)
{
    mSheet = sheet;
    // Cells beyond the first 501 start selected as well.
    const int count = sheet.CellCount();
    if (CellSelected.size() < count)
        CellSelected.resize(count, true);
    mLabelPanel->resize(std::max(panelPixels(sheet.LabelWidth, ScreenPPI), 1),
                        std::max(panelPixels(sheet.LabelHeight, ScreenPPI), 1));
    mLabelsPerPageCaption->setText(QStringLiteral("(%1 labels per page)").arg(qint64(sheet.Across) * sheet.Down));
    FormActivate();
}

void TLabelPrintPrep::AssignPrinterSettings(const TPrinterEngine &engine)
{
    if (&engine != mReportPrinter1.get())
        mReportPrinter1->AssignSettings(engine);
    const QSignalBlocker block(mPrinterList);
    mPrinterList->clear();
    mPrinterList->addItems(mReportPrinter1->Printers());
    if (mReportPrinter1->PrinterIndex() >= 0)
        mPrinterList->setCurrentIndex(mReportPrinter1->PrinterIndex());
}

bool TLabelPrintPrep::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(event);
}

void TLabelPrintPrep::ShowMergeData()
{
    mMergeDataShown = true;
    mDataSection->SetCellCount(mSheet.CellCount());
    if (mDataSection->ShowSource(*mLabelPanel))
        setFixedSize(542, 393 + mDataSection->sizeHint().height());
    else
        setFixedSize(542, 393);
}

void TLabelPrintPrep::showEvent(QShowEvent *event)
{
    if (!mMergeDataShown)
        ShowMergeData();
    QDialog::showEvent(event);
    FormActivate();
}

void TLabelPrintPrep::FormActivate()
{
    const TCellRect page = SheetPageRect(mSheet, ScreenPPI);
    const int boxWidth = page.Right + 10;
    const int boxHeight = page.Bottom + 10;
    const int width = std::max(boxWidth, AllHolderWidth + NoneHolderWidth);
    const int height = boxHeight + TitleHeight + ButtonStripHeight;
    mSheetPanel->resize(width, height);
    mTitleStrip->setGeometry(1, 1, width - 2, TitleHeight - 1);
    mPaintBox->setGeometry(1, TitleHeight, width - 2, boxHeight);
    mSheetButtons->setGeometry(1, TitleHeight + boxHeight, width - 2, ButtonStripHeight - 1);
    DetermineRectangles();
    mPageCount->setValue(1);
    mPaintBox->update();
}

void TLabelPrintPrep::DetermineRectangles()
{
    CellRects = ::DetermineRectangles(mSheet, ScreenPPI);
}

void TLabelPrintPrep::PaintBoxMouseDown(QPoint pos)
{
    const int cell = CellAt(CellRects, pos);
    if (cell < 0 || cell >= CellSelected.size())
        return;
    CellSelected[cell] = !CellSelected[cell];
    mPaintBox->repaint(QRect(QPoint(CellRects[cell].Left, CellRects[cell].Top),
                             QPoint(CellRects[cell].Right - 1, CellRects[cell].Bottom - 1)));
}

void TLabelPrintPrep::AllClick()
{
    std::fill(CellSelected.begin(), CellSelected.end(), true);
    mPaintBox->repaint();
}

void TLabelPrintPrep::NoneClick()
{
    std::fill(CellSelected.begin(), CellSelected.end(), false);
    mPaintBox->repaint();
}

bool TLabelPrintPrep::AnyChecked() const
{
    return ::AnyChecked(CellSelected, mSheet);
}

void TLabelPrintPrep::PrinterListChange(int index)
{
    mReportPrinter1->SetPrinterIndex(index);
}

void TLabelPrintPrep::SetupClick()
{
    mReportPrinter1->PrinterSetupDialog(this);
    AssignPrinterSettings(*mReportPrinter1);
}

void TLabelPrintPrep::DoPrint(bool print)
{
    if (mRunning)
        return;
    if (!AnyChecked()) {
        InformationBox(QStringLiteral("Need at least one label selected"), this);
        return;
    }
    if (!mMergeDataShown)
        ShowMergeData();
    TMergeSource *source = mDataSection->Source();
    const bool merged = !mLabelPanel->Design().MergeSource().isEmpty();
    if (merged) {
        if (!source) {
            InformationBox(mDataSection->Error(), this);
            return;
        }
        if (source->RecordCount() == 0) {
            InformationBox(QStringLiteral("The data source holds no records."), this);
            return;
        }
    }
    // Every label of the run is checked before anything is printed: a merge
    // record by record.
    QString problem;
    try {
        problem = merged ? MergeRunProblem(mLabelPanel, *source, mDataSection->FirstRecord(),
                                           mDataSection->LastRecord(), mDataSection->Copies())
                         : RunProblem(mLabelPanel, mSheet, CellSelected, print ? mPageCount->value() : 1);
    } catch (const EMergeError &e) {
        problem = e.message();
    }
    if (!problem.isEmpty()) {
        InformationBox(problem, this);
        return;
    }

    mRunning = true;
    QBuffer previewStream;
    previewStream.open(QIODevice::ReadWrite);
    bool aborted = true;
    try {
        TLabelPrinter status(this);
        PrepareLabelRun(status, mLabelPanel, mSheet, Nudges, CellSelected,
                        mPageCount->value(), print);
        status.PrintOutlines = mOutlines->isChecked();
        status.PrintCropMarks = mCropMarks->isChecked();
        if (source) {
            status.StartCell = mDataSection->StartCell();
            status.SetMerge(source, mDataSection->FirstRecord(), mDataSection->LastRecord(),
                            mDataSection->Copies());
        }
        if (print)
            status.ReportPrinter()->AssignSettings(*mReportPrinter1);
        status.SetUpRun(print, mSheet.PaperSize, print ? nullptr : &previewStream);
        ExecDialog(status);
        aborted = !status.JobFinished() || status.JobAborted();
    } catch (const EReportError &e) {
        ShowErrorBox(this, e.message());
    } catch (const std::exception &e) {
        ShowErrorBox(this, QString::fromUtf8(e.what()));
    }
    mLastRunAborted = aborted;

    if (!print && !aborted) {
        TPreviewForm preview(this);
        preview.setWindowTitle(QStringLiteral("Preview Labels"));
        preview.SetStream(&previewStream);
        preview.ZoomMode = 100;
        ExecDialog(preview);
    }

    mLabelPanel->SetPrinting(false);
    mRunning = false;
    // The window is active again once the run's windows have closed.
    FormActivate();
}
