#pragma once
// TQMMainScreen: Quillmark's main window: tool bar, menus, the design panel
// in its scrolling area, the bottom bar, and the document it owns. As a
// component it is the owner (the name space) of every label object.

#include "design/Gqmpanel32.h"
#include "storage/LabelLayout.h"
#include "storage/Persist.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QToolBar;
class QToolButton;
class QButtonGroup;
class QWidget;
class TPrinterEngine;
struct TPrinterList;

class TQMMainScreen : public QMainWindow, public TComponent
{
    Q_OBJECT
public:
    explicit TQMMainScreen(QWidget *parent = nullptr);
    ~TQMMainScreen() override;

    QByteArray ClassName() const override { return "TQMMainScreen"; }
    const TPropertyTable &Properties() const override;

    // The current layout as the window keeps it: the ten measurements
    // LabelHeight .. PageHeight in single precision, the gaps in double.
    struct Layout
    {
        QString Name;
        float LabelHeight = 0, LabelWidth = 0;
        qint32 Across = 0, Down = 0;
        float TopMargin = 0, LeftMargin = 0, HorizontalPitch = 0, VerticalPitch = 0,
              PageWidth = 0, PageHeight = 0;
        double ColumnGap = 0, RowGap = 0;
        QString PrinterType, PaperSize, LabelShape, ProductType, ArtName;
    };

    TGQuillmarkPanel32 *Panel() const { return mPanel; }
    QScrollArea *DesignArea() const { return mScrollArea; }

    const Layout &CurrentLayout() const { return mLayout; }
    // Widened copy for files and dialogs; strings cut to their field lengths.
    TLabelLayout CurrentLabelLayout() const;
    // Narrows the ten measurements to single precision.
    void SetCurrentLayout(const TLabelLayout &layout);

    QString CurrentFileName() const { return mCurrentFileName; }
    bool ChangesMade() const { return mChangesMade; }
    bool Busy() const { return mBusy; }
    bool PrinterAvailable() const { return mPrinterAvailable; }
    int StartupPixelsPerInch() const { return mStartupPixelsPerInch; }
    QString LastShapeCode() const { return mLastShapeCode; }

    void SetChangesMade(bool flag);
    void SetButtons();
    void SetLabelSizeFromInches(const QString &shapeCode, double width, double height);
    void LoadDefaultTemplateValues();
    void SetDefaultFontCaption();
    void SetTemplateCaption();
    void SetArtButton();

    // Tool bar.
    void SelectTool(TLPanelState state);
    QToolButton *ToolButton(TLPanelState state) const;
    void ZoomIn();
    void ZoomOut();
    QString ZoomCaption() const;

    bool HintsShown() const;
    void SetHintsShown(bool on);

    // Print commands (MainPrint.cpp).
    TPrinterEngine *ReportPrinter() const { return mReportPrinter.get(); }
    void mnuPrintClick();
    void mnuFineTuningClick();
    void mnuPrinterSetupClick();
    // The printers the check at first activation looks at: the system's
    // unless a test puts another list here.
    static std::function<TPrinterList()> PrinterListSource;
    // dir + "QM" + n + ".TMP" for the first n of 0 .. 99999 whose file does
    // not exist; n = 100000 when they all do.
    static QString PrintFileName(const QString &dir);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormActivate();
    void buildDesignArea();
    void buildToolBar();
    void buildBottomBar();
    void buildMenus();
    void updateDesignAreaSize();

    // Tool bar and zoom (MainTools.cpp).
    void ToolButtonClick(int id);
    void ShowGridClick(bool down);
    void SnapToGridClick(bool down);
    void DroppedObjectEvent(const QRect &band);
    void LabelChangedEvent();
    void Zoom(bool in);

    // Keyboard preview (Main.cpp).
    bool previewKeyPress(QKeyEvent *event);
    bool previewKeyRelease(QKeyEvent *event);

    // Printer check of the first activation (MainPrint.cpp).
    void CheckPrinters();

    void CancelButtonClick();
    void mnuAboutClick();
    void mnuShowHintsClick(bool checked);

    TGQuillmarkPanel32 *mPanel = nullptr;
    QScrollArea *mScrollArea = nullptr;
    QWidget *mDesignHost = nullptr;

    QToolBar *mToolBar = nullptr;
    QButtonGroup *mToolGroup = nullptr;
    std::array<QToolButton *, 14> mToolButtons{};
    QToolButton *mFontSizeUp = nullptr;
    QToolButton *mFontSizeDown = nullptr;
    QLabel *mZoomCaption = nullptr;
    QToolButton *mShowGrid = nullptr;
    QToolButton *mSnapToGrid = nullptr;
    QToolButton *mShowart = nullptr;

    QWidget *mBottomBar = nullptr;
    QPushButton *mHelpButton = nullptr;
    QPushButton *mSaveButton = nullptr;
    QPushButton *mCancelButton = nullptr;

    QMenu *mFileMenu = nullptr;
    QAction *mnuSave = nullptr;
    QAction *mnuPrint = nullptr;
    QAction *mnuFineTuning = nullptr;
    QAction *mnuPrinterSetup = nullptr;
    QAction *mnuDefaultFont = nullptr;
    QMenu *mnuChangeLayout = nullptr;
    QAction *mnuShowHints = nullptr;

    Layout mLayout;
    QString mCurrentFileName;
    QString mLastShapeCode;
    bool mChangesMade = false;
    bool mBusy = true;
    bool mPrinterAvailable = false;
    std::unique_ptr<TPrinterEngine> mReportPrinter;
    bool mActivated = false;
    int mStartupPixelsPerInch = 96;
};
