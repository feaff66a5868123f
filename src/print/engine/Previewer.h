#pragma once
// TPagePreviewer: shows recorded pages (TPageStream) one at a time in a
// scroll area, with zoom and page navigation.

#include "print/engine/PageStream.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QScrollArea>
#include <QWidget>

class QIODevice;

// The page as the previewer places it in the scroll area: a white sheet
// with a thin outline on the margin around it.
class TPageView : public QWidget
{
    Q_OBJECT
public:
    explicit TPageView(QWidget *parent = nullptr);
    void SetPage(const TRecordedPage *page, int resolution, QSize pageSize, int margin);
    QRect PageRect() const;

Q_SIGNALS:
    void Pressed(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    const TRecordedPage *mPage = nullptr;
    int mResolution = 600;
    QSize mPageSize;
    int mMargin = 0;
    QPixmap mCache;
};

class TPagePreviewer : public QObject
{
    Q_OBJECT
public:
    static constexpr double MinZoom = 10, MaxZoom = 200;

    explicit TPagePreviewer(QScrollArea *scrollBox, QObject *parent = nullptr);
    ~TPagePreviewer() override;

    // Step of ZoomIn and ZoomOut, in percent.
    double ZoomInc = 10;
    // Space around the page, in percent of the page's width.
    double MarginPercent = 2.5;

    // Reads the recorded pages from the stream and shows the first one.
    // Throws EReportError when the stream holds no sound pages.
    void Start(QIODevice &stream);
    void Start(const TPageStream &pages);
    void Finish();
    bool Active() const { return mActive; }

    double ZoomFactor() const { return mZoom; }
    // Percent, held to 10 ... 200.
    void SetZoomFactor(double percent);
    void ZoomIn() { SetZoomFactor(mZoom + ZoomInc); }
    void ZoomOut() { SetZoomFactor(mZoom - ZoomInc); }
    // The zoom at which the whole page, or the page's width, fits the
    // scroll area (held to 10 ... 200 as well).
    double ZoomPageFactor() const;
    double ZoomPageWidthFactor() const;
    void ZoomPage() { SetZoomFactor(ZoomPageFactor()); }
    void ZoomPageWidth() { SetZoomFactor(ZoomPageWidthFactor()); }

    int PageCount() const { return int(mPages.Pages.size()); }
    int FirstPage() const { return 1; }
    int LastPage() const { return PageCount(); }
    // 1-based; 0 while nothing is shown.
    int CurrentPage() const { return mCurrentPage; }
    void GotoPage(int page);
    void NextPage() { GotoPage(mCurrentPage + 1); }
    void PrevPage() { GotoPage(mCurrentPage - 1); }
    void GotoFirstPage() { GotoPage(FirstPage()); }
    void GotoLastPage() { GotoPage(LastPage()); }
    void RedrawPage();

    // The page picture placed in the scroll area.
    TPageView *PageView() const { return mView; }
    QScrollArea *ScrollBox() const { return mScrollBox; }

Q_SIGNALS:
    void PageChanged();
    void ZoomChanged();

private:
    QSizeF pageInches() const;
    double screenDpi() const;

    QPointer<QScrollArea> mScrollBox;
    QPointer<TPageView> mView;
    TPageStream mPages;
    bool mActive = false;
    double mZoom = 100;
    int mCurrentPage = 0;
};
