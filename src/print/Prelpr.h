#pragma once
// TLabelPrintPrep: the "Labels Print" window, where the user picks the
// printer, the number of sheets and the label positions to fill on a small
// picture of the sheet, then prints or previews. It works on its own copy
// of the design, so the counting of a run never touches the main window's.

#include "print/Sheet.h"
#include "print/engine/PrinterEngine.h"
#include "storage/Persist.h"

#include <QDialog>
#include <QList>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QWidget;
class TGQuillmarkPanel32;
class TMergeDataSection;
class TSheetPicture;
class TSpinEdit;

class TLabelPrintPrep : public QDialog, public TComponent
{
    Q_OBJECT
public:
    static constexpr int HelpTopic = 1019;
    // The sheet picture keeps at least this many cells; larger sheets get
    // as many as they have.
    static constexpr int MinCells = 501;

    // printers: the list the printer choice offers (the system's by default).
    explicit TLabelPrintPrep(QWidget *parent = nullptr,
                             const TPrinterList &printers = TPrinterList::System());
    ~TLabelPrintPrep() override;

    QByteArray ClassName() const override { return "TLabelPrintPrep"; }
    const TPropertyTable &Properties() const override;

    // The layout values of the sheet (from the main window's current layout).
    const TSheetMetrics &Sheet() const { return mSheet; }
    void SetSheet(const TSheetMetrics &sheet);
    // Fine tuning applied to every run of this window.
    TPrinterNudges Nudges;

    int ScreenPPI = 96;
    // Cell k = row x Across + column, in sheet-picture pixels.
    QList<TCellRect> CellRects;
    // True: the position is printed. All true when the window is made.
    QList<bool> CellSelected;

    // The window's copy of the label objects (hidden; owner: this window).
    TGQuillmarkPanel32 *LabelPanel() const { return mLabelPanel; }
    // Printer choice and set-up; its Title is "Quillmark".
    TPrinterEngine *ReportPrinter1() const { return mReportPrinter1.get(); }
    // Takes printer, paper and options from the engine the user set up in
    // the main window, and shows its printer in the list.
    void AssignPrinterSettings(const TPrinterEngine &engine);

    // Activation: sheet picture size, cell rectangles, page count 1.
    void FormActivate();
    void DetermineRectangles();
    // Presses in the paint box flip the cell under the point, if any.
    void PaintBoxMouseDown(QPoint pos);
    void AllClick();
    void NoneClick();
    bool AnyChecked() const;
    void PrinterListChange(int index);
    void SetupClick();
    // One print (true) or preview (false) run.
    void DoPrint(bool print);
    void PrintClick() { DoPrint(true); }
    void PreviewClick() { DoPrint(false); }

    // The mail merge data of the design, shown when it names a source.
    TMergeDataSection *DataSection() const { return mDataSection; }
    // Reads the design's data source into the "Data" section and sizes the
    // window to hold it (the window reads the design first).
    void ShowMergeData();

    // Whether the last run ended aborted (cancelled, stopped or failed).
    bool LastRunAborted() const { return mLastRunAborted; }

    QComboBox *PrinterList() const { return mPrinterList; }
    // "Print label outlines" and "Print crop marks", off when the window opens.
    QCheckBox *OutlinesCheck() const { return mOutlines; }
    QCheckBox *CropMarksCheck() const { return mCropMarks; }
    TSpinEdit *PageCountEdit() const { return mPageCount; }
    QLabel *LabelsPerPageCaption() const { return mLabelsPerPageCaption; }
    QWidget *SheetPanel() const { return mSheetPanel; }
    QWidget *PaintBox() const;
    QLabel *TitleStrip() const { return mTitleStrip; }
    enum Button { AllButton, NoneButton, HelpButton, PrintButton, PreviewButton, SetupButton,
                  CancelButton };
    QPushButton *PushButton(Button button) const { return mButtons[button]; }

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    friend class TSheetPicture;

    TSheetMetrics mSheet;
    TGQuillmarkPanel32 *mLabelPanel = nullptr;
    std::unique_ptr<TPrinterEngine> mReportPrinter1;
    bool mLastRunAborted = false;
    bool mRunning = false;

    QComboBox *mPrinterList = nullptr;
    QCheckBox *mOutlines = nullptr;
    QCheckBox *mCropMarks = nullptr;
    TSpinEdit *mPageCount = nullptr;
    QLabel *mLabelsPerPageCaption = nullptr;
    QWidget *mSheetPanel = nullptr;
    QLabel *mTitleStrip = nullptr;
    TSheetPicture *mPaintBox = nullptr;
    QWidget *mSheetButtons = nullptr;
    QPushButton *mButtons[7] = {};
    TMergeDataSection *mDataSection = nullptr;
    bool mMergeDataShown = false;
};
