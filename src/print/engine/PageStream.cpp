#include "print/engine/PageStream.h"

#include "print/engine/ReportEngine.h"

#include <QDataStream>
#include <QIODevice>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr char Magic[4] = {'Q', 'M', 'P', 'G'};
// The count sits after magic, version and resolution.
constexpr qint64 CountOffset = 4 + 2 + 4;

void setUp(QDataStream &s)
{
    s.setVersion(QDataStream::Qt_6_0);
    s.setByteOrder(QDataStream::BigEndian);
    s.setFloatingPointPrecision(QDataStream::DoublePrecision);
}

[[noreturn]] void damaged()
{
    throw EReportError(QStringLiteral("The recorded pages are damaged or incomplete."));
}

bool soundPageSize(double w, double h)
{
    // Paper of up to 100 inches in either direction.
    return std::isfinite(w) && std::isfinite(h) && w > 0 && h > 0 && w <= 100 && h <= 100;
}

}  // namespace

int TPagePicture::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return mDpi;
    case PdmWidth:
        return int(std::lround(mPageInches.width() * mDpi));
    case PdmHeight:
        return int(std::lround(mPageInches.height() * mDpi));
    case PdmWidthMM:
        return int(std::lround(mPageInches.width() * 25.4));
    case PdmHeightMM:
        return int(std::lround(mPageInches.height() * 25.4));
    default:
        return QPicture::metric(metric);
    }
}

void TPageStream::BeginWrite(QIODevice &device, int resolution, qint64 *headerPos)
{
    if (!device.isWritable() || device.isSequential())
        throw EReportError(QStringLiteral("The page recorder has no stream to write to."));
    *headerPos = device.pos();
    QDataStream s(&device);
    setUp(s);
    s.writeRawData(Magic, 4);
    s << Version << qint32(resolution) << quint32(0);
    if (s.status() != QDataStream::Ok)
        throw EReportError(QStringLiteral("The recorded pages could not be written."));
}

void TPageStream::WritePage(QIODevice &device, QSizeF sizeInches, const QPicture &picture)
{
    QDataStream s(&device);
    setUp(s);
    s << sizeInches.width() << sizeInches.height() << quint32(picture.size());
    s.writeRawData(picture.data(), int(picture.size()));
    if (s.status() != QDataStream::Ok)
        throw EReportError(QStringLiteral("The recorded pages could not be written."));
}

void TPageStream::FinishWrite(QIODevice &device, qint64 headerPos, quint32 pageCount)
{
    const qint64 end = device.pos();
    if (!device.seek(headerPos + CountOffset))
        throw EReportError(QStringLiteral("The recorded pages could not be written."));
    QDataStream s(&device);
    setUp(s);
    s << pageCount;
    device.seek(end);
    if (s.status() != QDataStream::Ok)
        throw EReportError(QStringLiteral("The recorded pages could not be written."));
}

TPageStream TPageStream::Read(QIODevice &device)
{
    if (!device.isReadable())
        damaged();
    QDataStream s(&device);
    setUp(s);
    char magic[4];
    if (s.readRawData(magic, 4) != 4 || memcmp(magic, Magic, 4) != 0)
        throw EReportError(QStringLiteral("The data are not recorded pages."));
    quint16 version = 0;
    qint32 resolution = 0;
    quint32 count = 0;
    s >> version >> resolution >> count;
    if (s.status() != QDataStream::Ok)
        damaged();
    if (version != Version)
        throw EReportError(QStringLiteral("The recorded pages are of an unknown version."));
    if (resolution < 72 || resolution > 4800 || count > quint32(MaxPages))
        damaged();

    TPageStream result;
    result.Resolution = resolution;
    result.Pages.reserve(int(count));
    for (quint32 i = 0; i < count; ++i) {
        double w = 0, h = 0;
        quint32 bytes = 0;
        s >> w >> h >> bytes;
        if (s.status() != QDataStream::Ok || !soundPageSize(w, h))
            damaged();
        if (bytes > quint32(std::numeric_limits<int>::max())
            || (!device.isSequential() && qint64(bytes) > device.bytesAvailable()))
            damaged();
        QByteArray data(qsizetype(bytes), Qt::Uninitialized);
        if (s.readRawData(data.data(), int(bytes)) != int(bytes))
            damaged();
        // Every QPicture starts with its own signature; QPicture itself
        // checks the checksum behind it before playing.
        if (!data.startsWith("QPIC"))
            damaged();
        TRecordedPage page;
        page.SizeInches = QSizeF(w, h);
        page.Picture.setData(data.constData(), uint(data.size()));
        result.Pages.append(page);
    }
    return result;
}

void DrawRecordedPage(QPainter &painter, const TRecordedPage &page, int resolution,
                      const QRectF &target)
{
    const QSizeF recorded = page.SizeInches * resolution;
    if (recorded.isEmpty() || !painter.device())
        return;
    // Playing a picture scales it by the device's resolution over the
    // default one; that is taken out again here.
    const QPicture plain;
    const double kx = double(painter.device()->logicalDpiX()) / plain.logicalDpiX();
    const double ky = double(painter.device()->logicalDpiY()) / plain.logicalDpiY();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / (recorded.width() * kx),
                  target.height() / (recorded.height() * ky));
    painter.drawPicture(0, 0, page.Picture);
    painter.restore();
}
