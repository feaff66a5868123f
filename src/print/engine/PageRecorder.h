#pragma once
// TPageRecorder: the print engine kind that records pages into a stream for
// the previewer instead of printing them.

#include "print/engine/PageStream.h"
#include "print/engine/ReportEngine.h"

#include <QPainter>
#include <QPointer>

#include <memory>

class QIODevice;

class TPageRecorder : public TReportEngine
{
public:
    // Pixels per inch of the recorded pages: fine enough for the previewer's
    // largest zoom on any screen.
    static constexpr int RecordResolution = 600;

    TPageRecorder();
    ~TPageRecorder() override;

    // The stream the pages go to; it belongs to the caller, must be open for
    // writing and seekable (a QBuffer), and must outlive the job.
    QIODevice *Stream() const { return mStream; }
    void SetStream(QIODevice *stream) { mStream = stream; }
    int PagesRecorded() const { return mPagesRecorded; }

protected:
    bool StartDocument() override;
    void StartNextPage() override;
    void FinishDocument(bool keep) override;

private:
    void beginPage();
    void endPage();

    QPointer<QIODevice> mStream;
    std::unique_ptr<TPagePicture> mPicture;
    QPainter mPainter;
    qint64 mHeaderPos = 0;
    qint64 mStartPos = 0;
    int mPagesRecorded = 0;
};
