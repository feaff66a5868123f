#include "print/engine/ReportEngine.h"

#include <QLabel>

TReportEngine::TReportEngine() = default;

TReportEngine::~TReportEngine() = default;

bool TReportEngine::SelectPaper(int paperCode, double width, double height)
{
    QPageSize::PageSizeId id;
    switch (paperCode) {
    case PaperLetter: id = QPageSize::Letter; break;
    case PaperA4: id = QPageSize::A4; break;
    case PaperA5: id = QPageSize::A5; break;
    default: return false;
    }
    if (width > 0 && height > 0)
        mPaperSize = QPageSize(QSizeF(width, height), QPageSize::Inch);
    else
        mPaperSize = QPageSize(id);
    PaperChanged();
    return true;
}

void TReportEngine::SetPaperSize(const QPageSize &size)
{
    if (!size.isValid())
        return;
    mPaperSize = size;
    PaperChanged();
}

void TReportEngine::SetOrientation(TOrientation orientation)
{
    mOrientation = orientation;
    PaperChanged();
}

QSizeF TReportEngine::PageSizeInches() const
{
    const QSizeF size = mPaperSize.size(QPageSize::Inch);
    return mOrientation == poLandscape ? size.transposed() : size;
}

void TReportEngine::SetStatusLabel(QLabel *label)
{
    mStatusLabel = label;
}

QString TReportEngine::StatusString() const
{
    QString result;
    result.reserve(StatusFormat.size() + 16);
    for (qsizetype i = 0; i < StatusFormat.size(); ++i) {
        const QChar c = StatusFormat.at(i);
        if (c == u'%' && i + 1 < StatusFormat.size()) {
            const QChar next = StatusFormat.at(i + 1);
            if (next == u'p') {
                result += QString::number(mCurrentPage);
                ++i;
                continue;
            }
            if (next >= u'0' && next <= u'9') {
                result += StatusText.value(next.unicode() - u'0');
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

void TReportEngine::UpdateStatus()
{
    if (!mStatusLabel)
        return;
    mStatusLabel->setText(StatusString());
    mStatusLabel->repaint();
}

void TReportEngine::Execute()
{
    if (mPrinting)
        throw EReportError(QStringLiteral("A print job is already running."));
    mAborted = false;
    mCurrentPage = 1;
    mPrinting = true;
    bool started = false;
    try {
        started = StartDocument();
    } catch (...) {
        mPrinting = false;
        mAborted = true;
        bindSink();
        throw;
    }
    if (!started) {
        mPrinting = false;
        mAborted = true;
        bindSink();
        return;
    }
    mDocumentOpen = true;
    try {
        if (OnBeforePrint)
            OnBeforePrint();
        UpdateStatus();
        if (!mAborted && OnPrint)
            OnPrint();
    } catch (...) {
        mAborted = true;
        try {
            finish(false);
        } catch (...) {
            // The job's own error is the one worth reporting.
        }
        throw;
    }
    finish(!mAborted);
}

void TReportEngine::finish(bool keep)
{
    const bool open = mDocumentOpen;
    mDocumentOpen = false;
    bindSink();
    try {
        if (open)
            FinishDocument(keep);
    } catch (...) {
        mPrinting = false;
        mAborted = true;
        throw;
    }
    mPrinting = false;
}

void TReportEngine::NewPage()
{
    if (!mDocumentOpen || mAborted)
        return;
    ++mCurrentPage;
    StartNextPage();
    UpdateStatus();
}

void TReportEngine::Abort()
{
    if (mAborted)
        return;
    mAborted = true;
    if (!mDocumentOpen)
        return;
    mDocumentOpen = false;
    bindSink();
    try {
        FinishDocument(false);
    } catch (...) {
        // Throwing away a document has nothing left to report.
    }
}

void TReportEngine::bindSink()
{
    SetDevice(nullptr, XDpi(), YDpi());
}
