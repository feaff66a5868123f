#include "Main.h"

#include "Helpwin.h"

#include "IniFile.h"
#include "MRUList.h"
#include "UndoHistory.h"

#include "controls/DialogSupport.h"
#include "controls/Icons.h"
#include "design/GGraphc.h"
#include "objects/text/Gprichl.h"
#include "print/engine/PrinterEngine.h"
#include "richtext/WPRichText.h"
#include "storage/AppPaths.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>


namespace {

// Where the panel sits inside the scrolling area, and the white margin kept
// to its right and below it so the outline never touches the scroll bars.
constexpr int PanelLeft = 21;
constexpr int PanelTop = 20;
constexpr int DesignMargin = 20;

// The white design area. Its scrolling keys come from the window's key
// preview only, so keys the panel leaves unused must not scroll it again.
class TDesignScrollBox : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;

protected:
    void keyPressEvent(QKeyEvent *event) override { event->ignore(); }
};

}  // namespace

static void initShellResources()
{
    Q_INIT_RESOURCE(shell);
}

TQMMainScreen::TQMMainScreen(QWidget *parent)
    : QMainWindow(parent)
{
    initShellResources();
    setObjectName(QStringLiteral("QMMainScreen"));
    setWindowTitle(QStringLiteral("Quillmark"));
    setWindowIcon(QIcon(QStringLiteral(":/shell/quillmark.svg")));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    setFont(font);
    SetDialogMainWindow(this);
    // Every Help button of the program opens the manual's page for its topic.
    SetHelpHandler(&TQMHelpWindow::ShowHelp);

    mBusy = true;
    mPrinterAvailable = false;
    mStartupPixelsPerInch = TGGraphicControl::ScreenPixelsPerInch();

    buildDesignArea();
    buildToolBar();
    buildBottomBar();
    buildMenus();
    createHistory();

    // Key preview: the window sees every key before the focused control.
    qApp->installEventFilter(this);

    // 602 x 410 below the menu bar, unless a stored placement says otherwise.
    resize(602, 410 + menuBar()->sizeHint().height());
    {
        const TIniFile ini(PreferencesFileName());
        RestoreWindowPlacement(this, QStringLiteral("TQMMainScreen"), ini);
    }

    LoadPreferences();
    mLastShapeCode.clear();
    SetDefaultFontCaption();
    LoadDefaultTemplateValues();
    createRecentFiles();
    SetTemplateCaption();
    SetArtButton();
    SetButtons();
}

const TPropertyTable &TQMMainScreen::Properties() const
{
    static const TPropertyTable table(nullptr, {});
    return table;
}

TQMMainScreen::~TQMMainScreen()
{
    // The panel and its objects outlive this part of the window; their
    // last notifications must not reach it.
    qApp->removeEventFilter(this);
    mPanel->LabelChangedEvent = nullptr;
    mPanel->DroppedObjectEvent = nullptr;
    if (DialogMainWindow() == this)
        SetDialogMainWindow(nullptr);
    TQMHelpWindow::DestroyInstance();
}

void TQMMainScreen::buildDesignArea()
{
    mScrollArea = new TDesignScrollBox(this);
    mScrollArea->setObjectName(QStringLiteral("ScrollBox"));
    mScrollArea->setFrameShape(QFrame::NoFrame);
    mScrollArea->setFocusPolicy(Qt::NoFocus);
    mScrollArea->setWidgetResizable(false);
    QPalette white = mScrollArea->palette();
    white.setColor(QPalette::Window, Qt::white);
    mScrollArea->setPalette(white);
    mScrollArea->setBackgroundRole(QPalette::Window);
    mScrollArea->setAutoFillBackground(true);

    mDesignHost = new QWidget;
    mDesignHost->setObjectName(QStringLiteral("DesignHost"));
    mDesignHost->setPalette(white);
    mDesignHost->setAutoFillBackground(true);

    mPanel = new TGQuillmarkPanel32(mDesignHost);
    mPanel->setObjectName(QStringLiteral("QMPanel"));
    mPanel->SetObjectOwner(this);
    mPanel->SetProgramDirectory(AppPaths::ProgramDir());
    mPanel->SetPointing(true);
    mPanel->SetDrawOutline(true);
    mPanel->SetPrinting(false);
    mPanel->SetGridSize(gs4x4);
    mPanel->SetShowGrid(false);
    mPanel->SetSnapToGrid(false);
    mPanel->setGeometry(PanelLeft, PanelTop, 338, 188);

    // The hidden editor every rich text object draws through.
    auto *masterRichText = new TWPRichText(this, this);
    masterRichText->SetName(QLatin1String(MasterRichTextName));
    masterRichText->hide();
    mPanel->DroppedObjectEvent = [this](const QRect &band) { DroppedObjectEvent(band); };

    mScrollArea->setWidget(mDesignHost);
    updateDesignAreaSize();
}

void TQMMainScreen::buildBottomBar()
{
    mBottomBar = new QWidget(this);
    mBottomBar->setObjectName(QStringLiteral("BottomBar"));
    mBottomBar->setMouseTracking(true);

    mHelpButton = new QPushButton(ProgramIcon(QStringLiteral("help")), QStringLiteral("&Help"), mBottomBar);
    mHelpButton->setObjectName(QStringLiteral("HelpButton"));
    connect(mHelpButton, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });

    mSaveButton = new QPushButton(ProgramIcon(QStringLiteral("save")), QStringLiteral("&Save"), mBottomBar);
    mSaveButton->setObjectName(QStringLiteral("SaveButton"));
    mSaveButton->setDefault(true);
    mSaveButton->setToolTip(QStringLiteral("Click to save changes"));
    mSaveButton->hide();
    connect(mSaveButton, &QPushButton::clicked, this, &TQMMainScreen::SaveButtonClick);

    mCancelButton = new QPushButton(ProgramIcon(QStringLiteral("cancel")), QStringLiteral("&Cancel"), mBottomBar);
    mCancelButton->setObjectName(QStringLiteral("CancelButton"));
    mCancelButton->setToolTip(QStringLiteral("Click to cancel changes"));
    mCancelButton->hide();
    connect(mCancelButton, &QPushButton::clicked, this, &TQMMainScreen::CancelButtonClick);

    for (QPushButton *b : {mHelpButton, mSaveButton, mCancelButton}) {
        b->setMouseTracking(true);
    }

    auto *row = new QHBoxLayout(mBottomBar);
    row->setContentsMargins(8, 6, 8, 6);
    row->addWidget(mHelpButton);
    row->addStretch();
    row->addWidget(mSaveButton);
    row->addWidget(mCancelButton);

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(mScrollArea, 1);
    column->addWidget(mBottomBar);
    setCentralWidget(central);
}

void TQMMainScreen::updateDesignAreaSize()
{
    mDesignHost->resize(PanelLeft + mPanel->width() + DesignMargin,
                        PanelTop + mPanel->height() + DesignMargin);
}

void TQMMainScreen::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!mActivated) {
        mActivated = true;
        // After the window is on the screen, so that a message about the
        // reopened file stands in front of it.
        QMetaObject::invokeMethod(this, &TQMMainScreen::FormActivate, Qt::QueuedConnection);
    }
}

// First activation: reopen the most recent design, size the panel from the
// layout, look for printers and start tracking changes.
void TQMMainScreen::FormActivate()
{
    QApplication::processEvents();
    mPanel->hide();
    SetChangesMade(false);
    mPanel->LabelChangedEvent = [this](QObject *) { LabelChangedEvent(); };
    mSaveButton->hide();

    // A most recent file that is gone is skipped without a message.
    const QStringList &recent = mRecentFiles->Entries();
    if (!recent.isEmpty() && QFileInfo::exists(recent.constFirst()))
        OpenLabelFile(recent.constFirst());

    SetLabelSizeFromInches(mLayout.LabelShape, mLayout.LabelWidth, mLayout.LabelHeight);
    SetTemplateCaption();
    SetArtButton();
    mShowart->setChecked(mShowart->isEnabled());
    DoDrawArt();

    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    mPanel->show();
    mPanel->SettleObjects();
    QApplication::processEvents();

    CheckPrinters();

    SetChangesMade(false);
    SetButtons();
    mBusy = false;
    mHistory->Reset(true);
    Q_EMIT Activated();
    if (OnActivated)
        OnActivated();
}

TLabelLayout TQMMainScreen::CurrentLabelLayout() const
{
    TLabelLayout l;
    l.Name = mLayout.Name.left(TLabelLayout::NameLength);
    l.LabelHeight = mLayout.LabelHeight;
    l.LabelWidth = mLayout.LabelWidth;
    l.Across = mLayout.Across;
    l.Down = mLayout.Down;
    l.TopMargin = mLayout.TopMargin;
    l.LeftMargin = mLayout.LeftMargin;
    l.HorizontalPitch = mLayout.HorizontalPitch;
    l.VerticalPitch = mLayout.VerticalPitch;
    l.PageWidth = mLayout.PageWidth;
    l.PageHeight = mLayout.PageHeight;
    l.ColumnGap = mLayout.ColumnGap;
    l.RowGap = mLayout.RowGap;
    l.PrinterType = mLayout.PrinterType.left(TLabelLayout::PrinterTypeLength);
    l.PaperSize = mLayout.PaperSize.left(TLabelLayout::PaperSizeLength);
    l.LabelShape = mLayout.LabelShape.left(TLabelLayout::LabelShapeLength);
    l.ProductType = mLayout.ProductType.left(TLabelLayout::ProductTypeLength);
    l.ArtName = mLayout.ArtName.left(TLabelLayout::ArtNameLength);
    return l;
}

void TQMMainScreen::SetCurrentLayout(const TLabelLayout &l)
{
    mLayout.Name = l.Name;
    mLayout.LabelHeight = float(l.LabelHeight);
    mLayout.LabelWidth = float(l.LabelWidth);
    mLayout.Across = l.Across;
    mLayout.Down = l.Down;
    mLayout.TopMargin = float(l.TopMargin);
    mLayout.LeftMargin = float(l.LeftMargin);
    mLayout.HorizontalPitch = float(l.HorizontalPitch);
    mLayout.VerticalPitch = float(l.VerticalPitch);
    mLayout.PageWidth = float(l.PageWidth);
    mLayout.PageHeight = float(l.PageHeight);
    mLayout.ColumnGap = l.ColumnGap;
    mLayout.RowGap = l.RowGap;
    mLayout.PrinterType = l.PrinterType;
    mLayout.PaperSize = l.PaperSize;
    mLayout.LabelShape = l.LabelShape;
    mLayout.ProductType = l.ProductType;
    mLayout.ArtName = l.ArtName;
}

void TQMMainScreen::LoadDefaultTemplateValues()
{
    SetCurrentLayout(TLabelLayout::Default());
}

void TQMMainScreen::SetChangesMade(bool flag)
{
    mChangesMade = flag;
    mCancelButton->setVisible(flag);
    mSaveButton->setText(mCurrentFileName.isEmpty() ? QStringLiteral("&Save As") : QStringLiteral("&Save"));
    mnuSave->setEnabled(!mCurrentFileName.isEmpty());
    mSaveButton->setVisible(flag);
}

void TQMMainScreen::SetButtons()
{
    mnuSave->setEnabled(!mCurrentFileName.isEmpty());
    if (mCurrentFileName.isEmpty())
        setWindowTitle(QStringLiteral("Quillmark"));
    else
        setWindowTitle(QStringLiteral("Quillmark - ") + QFileInfo(mCurrentFileName).fileName());
    mnuPrint->setEnabled(mPrinterAvailable);
    mnuFineTuning->setEnabled(mPrinterAvailable);
    mnuPrinterSetup->setEnabled(mPrinterAvailable);
}

void TQMMainScreen::SetLabelSizeFromInches(const QString &shapeCode, double width, double height)
{
    const float zoom = mPanel->Zoom();
    if (zoom != 1.0f)
        mPanel->SetZoom(1.0f);

    const int ppi = TGGraphicControl::ScreenPixelsPerInch();
    const int h = RoundNearest(ppi * height);
    const int w = RoundNearest(ppi * width);
    if (h != mPanel->height() || w != mPanel->width() || shapeCode != mLastShapeCode) {
        if (shapeCode == QLatin1String("RR"))
            mPanel->SetShape(lsRoundRect);
        else if (shapeCode == QLatin1String("SR"))
            mPanel->SetShape(lsRectangle);
        else if (shapeCode == QLatin1String("EL"))
            mPanel->SetShape(lsEllipse);
        mPanel->resize(w, h);
        mPanel->NotifyLabelChanged();
    }

    mLastShapeCode = shapeCode;
    if (zoom != 1.0f)
        mPanel->SetZoom(zoom);
    updateDesignAreaSize();
    mPanel->update();
}

bool TQMMainScreen::eventFilter(QObject *watched, QEvent *event)
{
    // A menu item that named its command and changed nothing leaves the
    // name behind; the next press in this window starts a new command.
    if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress)
        && !mHistory->Pending() && !QApplication::activeModalWidget() && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this)
        mPanel->TakeCommandName();
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // A key travels from the focus widget up through its parents (or
        // goes to the window when nothing has focus); preview it once, at
        // its first stop.
        QWidget *focus = QApplication::focusWidget();
        if (watched != (focus ? static_cast<QObject *>(focus) : this) || (focus && focus->window() != this))
            break;
        if (event->type() == QEvent::KeyPress)
            return previewKeyPress(static_cast<QKeyEvent *>(event));
        if (event->type() == QEvent::KeyRelease)
            return previewKeyRelease(static_cast<QKeyEvent *>(event));
        break;
    }
    case QEvent::ToolTip:
        if (!HintsShown()) {
            auto *w = qobject_cast<QWidget *>(watched);
            if (w && w->window() == this)
                return true;
        }
        break;
    case QEvent::MouseMove:
        if (watched == mToolBar || watched == mBottomBar || (watched->isWidgetType()
                && (static_cast<QWidget *>(watched)->parentWidget() == mToolBar
                    || static_cast<QWidget *>(watched)->parentWidget() == mBottomBar))) {
            while (QApplication::overrideCursor())
                QApplication::restoreOverrideCursor();
        }
        break;
    case QEvent::Resize:
        if (watched == mPanel)
            updateDesignAreaSize();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TQMMainScreen::previewKeyPress(QKeyEvent *event)
{
    QScrollBar *bar = mScrollArea->verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_PageUp:
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return false;
    case Qt::Key_PageDown:
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return false;
    case Qt::Key_Home:
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        return false;
    case Qt::Key_End:
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        return false;
    case Qt::Key_Escape:
        if (mCancelButton->isVisible() && mCancelButton->isEnabled()) {
            mCancelButton->click();
            return true;
        }
        break;
    default:
        break;
    }
    // The panel and the selection frame hand their own keys to the panel's
    // handler; keys that land anywhere else are passed on from here.
    QWidget *focus = QApplication::focusWidget();
    if (!focus || (focus != mPanel && !mPanel->isAncestorOf(focus)))
        mPanel->PanelKeyDown(event->key(), event->modifiers());
    return false;
}

bool TQMMainScreen::previewKeyRelease(QKeyEvent *event)
{
    if (event->isAutoRepeat() || !(event->modifiers() & Qt::KeypadModifier))
        return false;
    if (event->key() == Qt::Key_Plus) {
        ZoomIn();
        return true;
    }
    if (event->key() == Qt::Key_Minus) {
        ZoomOut();
        return true;
    }
    return false;
}
