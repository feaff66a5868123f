// The main window's tool bar: drawing tools, grid, label art and zoom.
#include "Main.h"

#include "controls/Icons.h"
#include "design/GGraphc.h"
#include "design/GHandle.h"
#include "shell/UndoHistory.h"

#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>

namespace {

struct ToolInfo
{
    TLPanelState state;
    const char *name;
    const char *icon;
    const char *hint;
};

// Tool bar order; the line break splits a hint into title and description.
const ToolInfo Tools[] = {
    {psPointing, "Pointerbutton", "pointer", "Selection tool"},
    {psLabel, "DrawLabelButton", "text", "Text tool"},
    {psMultiLineLabel, "DrawMLTextButton", "mltext", "Multi-line text tool"},
    {psCounterLabel, "DrawCounterbutton", "counter", "Counter tool"},
    {psSymbolLabel, "DrawSymbolButton", "symbol", "Symbol tool"},
    {psRectangle, "DrawRectanglebutton", "rectangle", "Rectangle tool"},
    {psEllipse, "DrawEllipseButton", "ellipse", "Ellipse tool"},
    {psRoundRectangle, "DrawRoundrectbutton", "roundrect", "Round Rectangle tool"},
    {psLine, "DrawLinebutton", "line", "Line Tool"},
    {psImage, "DrawImageButton", "image", "Clip Art Tool"},
    {psSuperShape, "DrawSupershape", "supershape", "Supershape tool \nMulti-purpose shapes and surfaces"},
    {psRichLabel, "DrawRichText", "richtext", "Rich Text tool \nMixed fonts, colors and styles"},
    {psSuperText, "DrawSuperTextButton", "supertext",
     "SuperText tool \nSpecial Effects Text - fill with gradients or bitmaps"},
    {psCircleText, "DrawCircleTextbutton", "circletext",
     "CircleText Tool \nCircular or semi-circular text using any font"},
    {psBarcode, "DrawBarcodeButton", "barcode", "Barcode tool \nBarcodes and QR codes, numbered from the counter"},
};

QToolButton *flatButton(QToolBar *bar, const char *name, const char *icon, const QString &hint)
{
    auto *b = new QToolButton(bar);
    b->setObjectName(QLatin1String(name));
    b->setIcon(ProgramIcon(QLatin1String(icon)));
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setFixedSize(24, 24);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMouseTracking(true);
    return b;
}

}  // namespace

void TQMMainScreen::buildToolBar()
{
    mToolBar = new QToolBar(QStringLiteral("Tools"), this);
    mToolBar->setObjectName(QStringLiteral("ToolBar"));
    mToolBar->setMovable(false);
    mToolBar->setFloatable(false);
    // Nineteen buttons, the zoom caption and their groups must fit the
    // window's 602 pixels without an overflow menu.
    mToolBar->setIconSize(QSize(18, 18));
    static const QString barSheet = QStringLiteral("QToolBar { spacing: 0px; padding: 1px; }");
    mToolBar->setStyleSheet(barSheet);
    // A style sheet keeps the palette it was polished with; a new desktop
    // palette (light to dark) polishes the bar again.
    connect(qApp, &QGuiApplication::paletteChanged, mToolBar, [bar = mToolBar] {
        bar->setStyleSheet(QString());
        bar->setStyleSheet(barSheet);
    });
    mToolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    mToolBar->setMouseTracking(true);
    addToolBar(Qt::TopToolBarArea, mToolBar);

    mToolGroup = new QButtonGroup(this);
    mToolGroup->setExclusive(true);
    for (const ToolInfo &t : Tools) {
        QToolButton *b = flatButton(mToolBar, t.name, t.icon, QLatin1String(t.hint));
        b->setCheckable(true);
        mToolGroup->addButton(b, int(t.state));
        mToolButtons[size_t(t.state)] = b;
        mToolBar->addWidget(b);
        if (t.state == psPointing || t.state == psImage)
            mToolBar->addSeparator();
    }
    mToolButtons[psPointing]->setChecked(true);
    connect(mToolGroup, &QButtonGroup::idClicked, this, &TQMMainScreen::ToolButtonClick);

    mToolBar->addSeparator();
    auto *zoomLabel = new QLabel(QStringLiteral("Zoom:"), mToolBar);
    zoomLabel->setObjectName(QStringLiteral("ZoomLabel"));
    zoomLabel->setContentsMargins(4, 0, 3, 0);
    mToolBar->addWidget(zoomLabel);
    mZoomCaption = new QLabel(QStringLiteral("100%"), mToolBar);
    mZoomCaption->setObjectName(QStringLiteral("ZoomCaption"));
    mZoomCaption->setFixedWidth(mZoomCaption->fontMetrics().horizontalAdvance(QStringLiteral("150%")) + 4);
    mZoomCaption->setAlignment(Qt::AlignCenter);
    mToolBar->addWidget(mZoomCaption);
    mFontSizeUp = flatButton(mToolBar, "FontSizeUp", "zoomin", QStringLiteral("Zoom in"));
    mFontSizeDown = flatButton(mToolBar, "FontSizeDown", "zoomout", QStringLiteral("Zoom out"));
    mToolBar->addWidget(mFontSizeUp);
    mToolBar->addWidget(mFontSizeDown);
    connect(mFontSizeUp, &QToolButton::clicked, this, &TQMMainScreen::ZoomIn);
    connect(mFontSizeDown, &QToolButton::clicked, this, &TQMMainScreen::ZoomOut);

    mToolBar->addSeparator();
    mShowGrid = flatButton(mToolBar, "ShowGrid", "grid", QStringLiteral("Show grid"));
    mSnapToGrid = flatButton(mToolBar, "SnapToGrid", "snap", QStringLiteral("Snap to Grid"));
    mShowart = flatButton(mToolBar, "Showart", "art", QStringLiteral("Show or hide label art"));
    for (QToolButton *b : {mShowGrid, mSnapToGrid, mShowart}) {
        b->setCheckable(true);
        mToolBar->addWidget(b);
    }
    connect(mShowGrid, &QToolButton::toggled, this, &TQMMainScreen::ShowGridClick);
    connect(mSnapToGrid, &QToolButton::toggled, this, &TQMMainScreen::SnapToGridClick);
    connect(mShowart, &QToolButton::clicked, this, &TQMMainScreen::DoDrawArt);
}

QToolButton *TQMMainScreen::ToolButton(TLPanelState state) const
{
    return mToolButtons[size_t(state)];
}

void TQMMainScreen::ToolButtonClick(int id)
{
    mPanel->SetPanelState(TLPanelState(id));
}

void TQMMainScreen::SelectTool(TLPanelState state)
{
    mToolButtons[size_t(state)]->setChecked(true);
    mPanel->SetPanelState(state);
}

void TQMMainScreen::DroppedObjectEvent(const QRect &)
{
    SelectTool(psPointing);
}

void TQMMainScreen::LabelChangedEvent()
{
    if (mBusy)
        return;
    SetChangesMade(true);
    mHistory->NoteChange();
}

void TQMMainScreen::ShowGridClick(bool down)
{
    mPanel->SetShowGrid(down);
}

void TQMMainScreen::SnapToGridClick(bool down)
{
    mPanel->SetSnapToGrid(down);
}

void TQMMainScreen::SetArtButton()
{
    mShowart->setEnabled(!mLayout.ArtName.isEmpty());
}

void TQMMainScreen::ZoomIn()
{
    Zoom(true);
}

void TQMMainScreen::ZoomOut()
{
    Zoom(false);
}

void TQMMainScreen::Zoom(bool in)
{
    // A change not yet recorded is recorded at the zoom it was made at.
    mHistory->Commit();
    const bool wasBusy = mBusy;
    mBusy = true;
    mPanel->Selection()->ClearSelection();
    // Stepping in extended precision and storing in single precision walks
    // 1.0 down to 0.4999999 and up to 1.5000001, so both ends stop there.
    const float zoom = mPanel->Zoom();
    float next = zoom;
    if (!in && zoom >= 0.5f)
        next = float(static_cast<long double>(zoom) - 0.1L);
    else if (in && zoom <= 1.5f)
        next = float(static_cast<long double>(zoom) + 0.1L);
    mPanel->SetZoom(next);
    mZoomCaption->setText(QString::number(RoundNearest(double(mPanel->Zoom()) * 100.0))
                          + QLatin1Char('%'));
    QApplication::processEvents();
    mBusy = wasBusy;
    mHistory->Rebase();
}

QString TQMMainScreen::ZoomCaption() const
{
    return mZoomCaption->text();
}
