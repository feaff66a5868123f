#pragma once
// The stream the page recorder writes and the previewer reads: recorded
// pages, each a QPicture drawn in the device pixels of a fixed resolution.
//
// Layout (QDataStream, big-endian):
//   "QMPG"            4 bytes
//   quint16           format version (1)
//   qint32            resolution, pixels per inch
//   quint32           number of pages
//   then per page:    double width, double height (inches),
//                     quint32 byte count, the QPicture data

#include <QList>
#include <QPicture>
#include <QRectF>
#include <QSizeF>

class QIODevice;
class QPainter;

// A QPicture that reports the resolution its pages are drawn at, so that
// fonts given in points come out at their size in those pixels.
class TPagePicture : public QPicture
{
public:
    TPagePicture(int dpi, QSizeF pageInches) : mDpi(dpi), mPageInches(pageInches) {}

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    int mDpi;
    QSizeF mPageInches;
};

// One recorded page: the sheet's size and what was drawn on it.
struct TRecordedPage
{
    QSizeF SizeInches;
    QPicture Picture;
};

// Reading and writing the stream. Read throws EReportError with a message
// for the user when the data is not a complete, sound page stream.
class TPageStream
{
public:
    static constexpr quint16 Version = 1;
    static constexpr int MaxPages = 100000;

    int Resolution = 600;
    QList<TRecordedPage> Pages;

    // Writes the header with a page count of 0; FinishWrite patches it.
    static void BeginWrite(QIODevice &device, int resolution, qint64 *headerPos);
    static void WritePage(QIODevice &device, QSizeF sizeInches, const QPicture &picture);
    static void FinishWrite(QIODevice &device, qint64 headerPos, quint32 pageCount);

    static TPageStream Read(QIODevice &device);
};

// Plays a page recorded at `resolution` pixels per inch onto the painter so
// that the sheet fills `target` (the painter's own coordinates), on any
// device: screen pixmap, image or PDF file.
void DrawRecordedPage(QPainter &painter, const TRecordedPage &page, int resolution,
                      const QRectF &target);
