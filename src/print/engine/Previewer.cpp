#include "print/engine/Previewer.h"

#include "print/engine/PagePlayer.h"
#include "print/engine/ReportEngine.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

TPageView::TPageView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TPageView::SetPage(const TRecordedPage *page, int resolution, QSize pageSize, int margin)
{
    if (page != mPage || pageSize != mPageSize || resolution != mResolution)
        mCache = QPixmap();
    mPage = page;
    mResolution = resolution;
    mPageSize = pageSize;
    mMargin = margin;
    resize(pageSize.width() + 2 * margin, pageSize.height() + 2 * margin);
    update();
}

QRect TPageView::PageRect() const
{
    return QRect(QPoint(mMargin, mMargin), mPageSize);
}

void TPageView::paintEvent(QPaintEvent *)
{
    if (!mPage || mPageSize.isEmpty())
        return;
    // The page is kept at the screen's device pixels, so that a scaled
    // screen shows it as sharp as the rest of the window.
    const qreal ratio = devicePixelRatioF();
    if (mCache.deviceIndependentSize() != QSizeF(mPageSize) || mCache.devicePixelRatio() != ratio) {
        mCache = QPixmap((QSizeF(mPageSize) * ratio).toSize());
        mCache.setDevicePixelRatio(ratio);
        mCache.fill(Qt::white);
        QPainter p(&mCache);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setRenderHint(QPainter::TextAntialiasing);
        PlayRecordedPageKeepingOutlines(p, *mPage, mResolution,
                                        QRectF(QPointF(0, 0), QSizeF(mPageSize)));
    }
    QPainter p(this);
    const QRect page = PageRect();
    p.drawPixmap(page.topLeft(), mCache);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(page.adjusted(-1, -1, 0, 0));
}

void TPageView::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT Pressed(event->button());
    event->accept();
}

TPagePreviewer::TPagePreviewer(QScrollArea *scrollBox, QObject *parent)
    : QObject(parent), mScrollBox(scrollBox)
{
}

TPagePreviewer::~TPagePreviewer() = default;

void TPagePreviewer::Start(QIODevice &stream)
{
    Start(TPageStream::Read(stream));
}

void TPagePreviewer::Start(const TPageStream &pages)
{
    if (pages.Pages.isEmpty())
        throw EReportError(QStringLiteral("There are no pages to preview."));
    mPages = pages;
    if (!mView) {
        mView = new TPageView;
        mScrollBox->setWidget(mView);
        mScrollBox->setAlignment(Qt::AlignCenter);
    }
    mActive = true;
    mCurrentPage = 1;
    RedrawPage();
    Q_EMIT PageChanged();
}

void TPagePreviewer::Finish()
{
    if (!mActive)
        return;
    mActive = false;
    if (mView)
        mView->SetPage(nullptr, mPages.Resolution, QSize(), 0);
    mPages = TPageStream();
    mCurrentPage = 0;
}

double TPagePreviewer::screenDpi() const
{
    return mScrollBox ? mScrollBox->logicalDpiX() : 96;
}

QSizeF TPagePreviewer::pageInches() const
{
    if (mCurrentPage >= 1 && mCurrentPage <= PageCount())
        return mPages.Pages.at(mCurrentPage - 1).SizeInches;
    return QSizeF(8.5, 11);
}

void TPagePreviewer::SetZoomFactor(double percent)
{
    mZoom = std::clamp(percent, MinZoom, MaxZoom);
    RedrawPage();
    Q_EMIT ZoomChanged();
}

double TPagePreviewer::ZoomPageFactor() const
{
    if (!mScrollBox)
        return mZoom;
    const QSize area = mScrollBox->maximumViewportSize();
    const double m = MarginPercent / 100;
    const double w = pageInches().width() * screenDpi();
    const double h = pageInches().height() * screenDpi();
    // Rounding of page and margins may add a pixel or two.
    const double z = std::min((area.width() - 4) / (w * (1 + 2 * m)),
                              (area.height() - 4) / (h + 2 * m * w));
    return std::clamp(z * 100, MinZoom, MaxZoom);
}

double TPagePreviewer::ZoomPageWidthFactor() const
{
    if (!mScrollBox)
        return mZoom;
    const QSize area = mScrollBox->maximumViewportSize();
    const double m = MarginPercent / 100;
    const double w = pageInches().width() * screenDpi();
    const double h = pageInches().height() * screenDpi();
    double z = (area.width() - 4) / (w * (1 + 2 * m));
    if (z * (h + 2 * m * w) > area.height())
        z = (area.width() - 4 - mScrollBox->verticalScrollBar()->sizeHint().width())
            / (w * (1 + 2 * m));
    return std::clamp(z * 100, MinZoom, MaxZoom);
}

void TPagePreviewer::GotoPage(int page)
{
    if (!mActive)
        return;
    mCurrentPage = std::clamp(page, FirstPage(), LastPage());
    RedrawPage();
    Q_EMIT PageChanged();
}

void TPagePreviewer::RedrawPage()
{
    if (!mActive || !mView)
        return;
    const QSizeF inches = pageInches();
    const double scale = screenDpi() * mZoom / 100;
    const QSize size(int(std::lround(inches.width() * scale)),
                     int(std::lround(inches.height() * scale)));
    const int margin = int(std::lround(size.width() * MarginPercent / 100));
    mView->SetPage(&mPages.Pages.at(mCurrentPage - 1), mPages.Resolution, size, margin);
}
