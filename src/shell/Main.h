#pragma once
// TQMMainScreen: Quillmark's main window: tool bar, menus, the design panel
// in its scrolling area, the bottom bar, and the document it owns. As a
// component it is the owner (the name space) of every label object.

#include "design/Gqmpanel32.h"
#include "shell/Prefs.h"
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
class TMRUFileList;
class TMRUMenuItem;
class TUndoHistory;

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
    // Called once the first activation has finished (the last design is
    // open and the panel shown).
    std::function<void()> OnActivated;
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
    // The label art of the current layout behind the design while Showart
    // is down; none otherwise.
    void DoDrawArt();

    // The document (MainFile.cpp).
    // Reads the label file into the panel; a file that cannot be read
    // leaves the default layout, no objects and no current file, and says so.
    void OpenLabelFile(const QString &fileName);
    // Writes the design at zoom 1.0 after dropping objects outside the
    // label. Throws EFileWriteError; the previous file then stays intact
    // and the design, zoom and ChangesMade are as before.
    void SaveLabelFile(const QString &fileName);
    // Offers to save unsaved changes. False when the user wanted them saved
    // and they were not (Save As cancelled, the write failed): the caller
    // must then stop, or the design would be lost.
    bool CheckSaveNeeded();
    // "QM" + four digits + ".QM": the first such name not present in the
    // program's directory, counting 0001 .. 9999, then 0000. Empty when all
    // are taken.
    static QString ProposedFileName();

    // Layouts (MainLayout.cpp). True when a layout was chosen.
    bool GetLayoutFromTemplate(bool forNewLabel);
    bool GetUserDefinedLayout();

    // Preferences (MainPrefs.cpp). A preferences file that cannot be
    // written is reported in an error box.
    void LoadPreferences();
    void SavePreferences();
    TPreferences &Preferences() { return mPrefs; }
    bool UseMM() const { return mPrefs.UseMM; }
    TMRUFileList *RecentFiles() const { return mRecentFiles; }

    // Tool bar.
    void SelectTool(TLPanelState state);
    QToolButton *ToolButton(TLPanelState state) const;
    void ZoomIn();
    void ZoomOut();
    QString ZoomCaption() const;

    // The main window's Help button opens this topic.
    static constexpr int HelpTopic = 1073;
    static constexpr int FaqTopic = 911;
    static constexpr int SupportTopic = 1015;

    // A label file given on the command line or passed on by a later copy
    // (the file manager's "Open"): asks to save changes first, then opens it.
    void OpenFileFromDesktop(const QString &fileName);

    // The report of "Configuration Information" for the current settings.
    void mnuConfigInfoClick();

    bool HintsShown() const;
    void SetHintsShown(bool on);

    // Undo and redo of the design (MainUndo.cpp), "&Undo" and "&Redo" in
    // the Edit menu.
    TUndoHistory *History() const { return mHistory; }
    void mnuUndoClick();
    void mnuRedoClick();

    // Print commands (MainPrint.cpp).
    TPrinterEngine *ReportPrinter() const { return mReportPrinter.get(); }
    void mnuPrintClick();
    void mnuFineTuningClick();
    void mnuPrinterSetupClick();
    // "Mail Merge Data..." (MainMerge.cpp).
    void mnuMergeDataClick();
    // The printers the check at first activation looks at: the system's
    // unless a test puts another list here.
    static std::function<TPrinterList()> PrinterListSource;
    // dir + "QM" + n + ".TMP" for the first n of 0 .. 99999 whose file does
    // not exist; n = 100000 when they all do.
    static QString PrintFileName(const QString &dir);

Q_SIGNALS:
    // The first activation has finished.
    void Activated();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

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

    // Document commands (MainFile.cpp).
    void mnuOpenClick();
    void mnuSaveClick();
    bool mnuSaveAsClick();
    void SaveButtonClick();
    void CancelButtonClick();
    void mnuDeleteClick();
    void mnuExitClick();
    void OpenRecentFile(TMRUMenuItem *item, const QString &fileName);
    // Saves and shows an error box when the write fails; true when saved.
    bool trySave(const QString &fileName);
    // Adds the file to the recent files list and stores the list.
    void rememberRecentFile(const QString &fileName);

    // Undo and redo (MainUndo.cpp).
    void createHistory();
    void undoRedo(bool undo);
    void updateUndoItems();
    // A layout the history takes back: panel size, captions, label art.
    void restoreLayout(const TLabelLayout &layout);

    // Layout commands (MainLayout.cpp).
    void mnuNewFromTemplateClick();
    void mnuNewUserDefinedClick();
    void mnuChangeFromTemplateClick();
    void mnuChangeUserDefinedClick();
    void newDesign(bool fromTemplate);
    void changeLayout(bool fromTemplate);
    void applyCurrentLayoutSize();

    // Preferences and recent files (MainPrefs.cpp).
    void mnuDefaultFontClick();
    void mnuShowHintsClick(bool checked);
    void createRecentFiles();
    void mnuAboutClick();

    TGQuillmarkPanel32 *mPanel = nullptr;
    QScrollArea *mScrollArea = nullptr;
    QWidget *mDesignHost = nullptr;

    QToolBar *mToolBar = nullptr;
    QButtonGroup *mToolGroup = nullptr;
    std::array<QToolButton *, 15> mToolButtons{};
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
    QAction *mnuNewFromTemplate = nullptr;
    QAction *mnuNewUserDefined = nullptr;
    QAction *mnuOpen = nullptr;
    QAction *mnuDelete = nullptr;
    QAction *mnuSaveAs = nullptr;
    QAction *mnuExit = nullptr;
    QAction *mnuChangeFromTemplate = nullptr;
    QAction *mnuChangeUserDefined = nullptr;
    QAction *mnuSave = nullptr;
    QAction *mnuPrint = nullptr;
    QAction *mnuFineTuning = nullptr;
    QAction *mnuPrinterSetup = nullptr;
    QAction *mnuMergeData = nullptr;
    QAction *mnuDefaultFont = nullptr;
    QMenu *mnuChangeLayout = nullptr;
    QAction *mnuShowHints = nullptr;
    QAction *mnuUndo = nullptr;
    QAction *mnuRedo = nullptr;
    TUndoHistory *mHistory = nullptr;

    TPreferences mPrefs;
    TMRUFileList *mRecentFiles = nullptr;

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
