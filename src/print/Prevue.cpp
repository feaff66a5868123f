#include "print/Prevue.h"

#include "controls/DialogSupport.h"
#include "controls/Icons.h"
#include "design/GGraphc.h"
#include "print/Printlbl.h"
#include "print/engine/Previewer.h"
#include "print/engine/ReportEngine.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QToolButton>
#include <QVBoxLayout>

std::function<void(QWidget *)> TPreviewForm::RestorePlacementHook;
std::function<void(QWidget *)> TPreviewForm::SavePlacementHook;

namespace {

// Drawn at the screen's device pixel ratio, so that the cursor stays sharp
// on a scaled screen.
QPixmap renderSvg(const char *svg, QSize size, qreal dpr)
{
    QSvgRenderer renderer{QByteArray(svg)};
    QPixmap pixmap(size * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    renderer.render(&p, QRectF(QPointF(), QSizeF(size)));
    return pixmap;
}

// A magnifying glass; the hot spot is the middle of the lens.
const char MagnifySvg[] =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">)"
    R"(<circle cx="12" cy="12" r="9" fill="#ffffff" fill-opacity="0.35" stroke="#ffffff" stroke-width="5"/>)"
    R"(<line x1="18.5" y1="18.5" x2="29" y2="29" stroke="#ffffff" stroke-width="7" stroke-linecap="round"/>)"
    R"(<circle cx="12" cy="12" r="9" fill="none" stroke="#000000" stroke-width="2.5"/>)"
    R"(<line x1="18.5" y1="18.5" x2="29" y2="29" stroke="#000000" stroke-width="4" stroke-linecap="round"/>)"
    R"(</svg>)";

// Button icons of the program's set, in button order; the "100%" button
// has a caption instead.
const char *const Glyphs[] = {"zoomin", "zoomout", "zoomwidth", "zoompage", nullptr,
                              "first", "previous", "next", "last"};

const char *const Hints[] = {"Zoom In", "Zoom Out", "Zoom to Page Width", "Zoom to Whole Page",
                             "Zoom to 100%", "First Page", "Previous Page", "Next Page",
                             "Last Page"};

}  // namespace

TPreviewForm::TPreviewForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Label Preview"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    resize(608, 424);

    mScrollBox = new QScrollArea;
    mScrollBox->setFrameShape(QFrame::NoFrame);
    mScrollBox->setBackgroundRole(QPalette::Dark);
    mScrollBox->setCursor(QCursor(renderSvg(MagnifySvg, QSize(32, 32), devicePixelRatio()), 12, 12));
    mScrollBox->viewport()->installEventFilter(this);
    mPreviewer = new TPagePreviewer(mScrollBox, this);
    mPreviewer->ZoomInc = 10;
    mPreviewer->MarginPercent = 2.5;
    mPreviewer->SetZoomFactor(100);

    auto *bar = new QWidget;
    bar->setFixedHeight(41);
    auto *barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(6, 4, 6, 4);
    barLayout->setSpacing(2);
    auto *help = new QPushButton(QStringLiteral("Help"));
    help->setAutoDefault(false);
    barLayout->addWidget(help);
    barLayout->addSpacing(12);
    // The zoom shown, beside the buttons that change it (the "100%" button
    // only sets it).
    mZoomFigure = new QLabel;
    mZoomFigure->setObjectName(QStringLiteral("ZoomFigure"));
    mZoomFigure->setToolTip(QStringLiteral("Zoom"));
    mZoomFigure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    mZoomFigure->setFixedWidth(mZoomFigure->fontMetrics().horizontalAdvance(QStringLiteral("200%")) + 8);
    barLayout->addWidget(mZoomFigure);
    barLayout->addSpacing(4);
    for (int i = 0; i < 9; ++i) {
        auto *b = new QToolButton;
        b->setAutoRaise(true);
        b->setToolTip(QString::fromLatin1(Hints[i]));
        // The "100%" caption keeps its room at a large interface font.
        b->setFixedSize(i == Zoom100Button ? qMax(44, b->fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 16) : 28,
                        28);
        if (Glyphs[i]) {
            b->setIcon(ProgramIcon(QLatin1String(Glyphs[i])));
            b->setIconSize(QSize(16, 16));
        } else {
            b->setText(QStringLiteral("100%"));
        }
        mButtons[i] = b;
        barLayout->addWidget(b);
        if (i == Zoom100Button)
            barLayout->addSpacing(12);
    }
    barLayout->addStretch(1);
    auto *ok = new QPushButton(QStringLiteral("Ok"));
    ok->setDefault(true);
    barLayout->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mScrollBox, 1);
    layout->addWidget(bar);

    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(mButtons[ZoomInButton], &QToolButton::clicked, mPreviewer, &TPagePreviewer::ZoomIn);
    connect(mButtons[ZoomOutButton], &QToolButton::clicked, mPreviewer, &TPagePreviewer::ZoomOut);
    connect(mButtons[PageWidthButton], &QToolButton::clicked, mPreviewer,
            &TPagePreviewer::ZoomPageWidth);
    connect(mButtons[WholePageButton], &QToolButton::clicked, mPreviewer,
            &TPagePreviewer::ZoomPage);
    connect(mButtons[Zoom100Button], &QToolButton::clicked, mPreviewer,
            [this] { mPreviewer->SetZoomFactor(100); });
    connect(mButtons[FirstPageButton], &QToolButton::clicked, mPreviewer,
            &TPagePreviewer::GotoFirstPage);
    connect(mButtons[PrevPageButton], &QToolButton::clicked, mPreviewer,
            &TPagePreviewer::PrevPage);
    connect(mButtons[NextPageButton], &QToolButton::clicked, mPreviewer,
            &TPagePreviewer::NextPage);
    connect(mButtons[LastPageButton], &QToolButton::clicked, mPreviewer,
            &TPagePreviewer::GotoLastPage);
    connect(mPreviewer, &TPagePreviewer::ZoomChanged, this, &TPreviewForm::UpdateCaption);
    connect(mPreviewer, &TPagePreviewer::PageChanged, this, &TPreviewForm::UpdateCaption);
    UpdateCaption();
    ZoomMode = 1;
}

TPreviewForm::~TPreviewForm() = default;

QString TPreviewForm::PageCaption() const
{
    return QStringLiteral("Preview Page %1 of %2 ( %3% )")
        .arg(mPreviewer->CurrentPage() - mPreviewer->FirstPage() + 1)
        .arg(mPreviewer->PageCount())
        .arg(RoundNearest(mPreviewer->ZoomFactor()));
}

void TPreviewForm::UpdateCaption()
{
    mZoomFigure->setText(QString::number(RoundNearest(mPreviewer->ZoomFactor())) + QLatin1Char('%'));
    if (mPreviewer->Active())
        setWindowTitle(PageCaption());
}

void TPreviewForm::PageMouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        mPreviewer->ZoomIn();
    else
        mPreviewer->ZoomOut();
}

void TPreviewForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!mActivated) {
        mActivated = true;
        firstActivation();
    }
}

void TPreviewForm::firstActivation()
{
    if (RestorePlacementHook)
        RestorePlacementHook(this);
    else
        PlaceDialog(this);

    try {
        if (!mStream)
            throw EReportError(QStringLiteral("There are no pages to preview."));
        mStream->seek(0);
        mPreviewer->Start(*mStream);
    } catch (const EReportError &e) {
        ShowErrorBox(this, e.message());
        return;
    }

    if (ZoomMode == 1)
        mPreviewer->ZoomPage();
    else if (ZoomMode == 2)
        mPreviewer->ZoomPageWidth();
    else
        mPreviewer->SetZoomFactor(ZoomMode);

    connect(mPreviewer->PageView(), &TPageView::Pressed, this, &TPreviewForm::PageMouseDown,
            Qt::UniqueConnection);

    const bool severalPages = mPreviewer->PageCount() >= 2;
    for (Button b : {FirstPageButton, PrevPageButton, NextPageButton, LastPageButton})
        mButtons[b]->setVisible(severalPages);
    UpdateCaption();
}

bool TPreviewForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mScrollBox->viewport() && event->type() == QEvent::MouseButtonPress) {
        PageMouseDown(static_cast<QMouseEvent *>(event)->button());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TPreviewForm::keyPressEvent(QKeyEvent *event)
{
    QScrollBar *bar = mScrollBox->verticalScrollBar();
    if (event->key() == Qt::Key_Up) {
        bar->setValue(std::max(bar->value() - bar->singleStep(), 0));
        return;
    }
    if (event->key() == Qt::Key_Down) {
        bar->setValue(std::min(bar->value() + bar->singleStep(), bar->maximum()));
        return;
    }
    QDialog::keyPressEvent(event);
}

void TPreviewForm::done(int result)
{
    if (SavePlacementHook)
        SavePlacementHook(this);
    if (mPreviewer->Active())
        mPreviewer->Finish();
    QDialog::done(result);
}
