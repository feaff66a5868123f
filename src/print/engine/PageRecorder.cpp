#include "print/engine/PageRecorder.h"

#include <QIODevice>

TPageRecorder::TPageRecorder() = default;

TPageRecorder::~TPageRecorder()
{
    if (mPainter.isActive())
        mPainter.end();
}

bool TPageRecorder::StartDocument()
{
    if (!mStream)
        throw EReportError(QStringLiteral("The page recorder has no stream to write to."));
    mPagesRecorded = 0;
    mStartPos = mStream->pos();
    TPageStream::BeginWrite(*mStream, RecordResolution, &mHeaderPos);
    beginPage();
    return true;
}

void TPageRecorder::beginPage()
{
    mPicture = std::make_unique<TPagePicture>(RecordResolution, PageSizeInches());
    if (!mPainter.begin(mPicture.get()))
        throw EReportError(QStringLiteral("The page recorder could not start a page."));
    mPainter.setRenderHint(QPainter::Antialiasing, false);
    SetDevice(&mPainter, RecordResolution, RecordResolution);
}

void TPageRecorder::endPage()
{
    mPainter.end();
    if (!mStream)
        throw EReportError(QStringLiteral("The page recorder lost its stream."));
    TPageStream::WritePage(*mStream, PageSizeInches(), *mPicture);
    ++mPagesRecorded;
    mPicture.reset();
}

void TPageRecorder::StartNextPage()
{
    endPage();
    beginPage();
}

void TPageRecorder::FinishDocument(bool keep)
{
    if (!keep) {
        // The header still counts 0 pages, so a cancelled recording reads
        // back as empty.
        if (mPainter.isActive())
            mPainter.end();
        mPicture.reset();
        return;
    }
    if (!mStream)
        throw EReportError(QStringLiteral("The page recorder lost its stream."));
    endPage();
    TPageStream::FinishWrite(*mStream, mHeaderPos, quint32(mPagesRecorded));
}
