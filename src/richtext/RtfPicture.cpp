#include "richtext/RtfPicture.h"

#include "graphics/Bmp.h"
#include "graphics/Jpeg.h"
#include "graphics/Limits.h"
#include "graphics/Metafile.h"
#include "graphics/Raster.h"
#include "richtext/RtfReader.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QPainter>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace rtf {

namespace {

constexpr int PlaceableHeaderBytes = 22;

bool isMetafile(PictureKind kind)
{
    return kind == PictureKind::Wmf || kind == PictureKind::Emf;
}

PictureKind kindOf(const QTextFormat &format)
{
    const int k = format.intProperty(PictureKindProperty);
    return k > int(PictureKind::None) && k < int(PictureKind::Unsupported) ? PictureKind(k) : PictureKind::None;
}

// The image a document holds for a picture format, whatever form the
// resource takes (our pictures add QImage; HTML brings file data).
QImage imageOf(const QTextDocument &doc, const QTextFormat &format)
{
    const QString name = format.toImageFormat().name();
    if (name.isEmpty())
        return {};
    const QVariant v = doc.resource(QTextDocument::ImageResource, QUrl(name));
    if (v.typeId() == QMetaType::QImage)
        return v.value<QImage>();
    if (v.typeId() == QMetaType::QPixmap)
        return v.value<QPixmap>().toImage();
    if (v.typeId() == QMetaType::QByteArray)
        return QImage::fromData(v.toByteArray());
    return {};
}

void appendHex(QByteArray &out, const QByteArray &bytes)
{
    // 64 bytes a line, as word processors write them.
    for (qsizetype i = 0; i < bytes.size(); i += 64) {
        out.append("\r\n");
        out.append(bytes.mid(i, 64).toHex());
    }
}

}  // namespace

DecodedPicture DecodePicture(const PictureData &d, qint64 &pixelBytesLeft)
{
    DecodedPicture r;
    auto fail = [&r](const QString &why) {
        r.error = why;
        r.image = QImage();
        return r;
    };
    if (d.damaged)
        return fail(QStringLiteral("The picture's data is damaged or larger than %1 MB")
                        .arg(MaxPictureDataBytes / (1024 * 1024)));
    if (d.bytes.isEmpty())
        return fail(QStringLiteral("The picture has no data"));

    QSizeF twips;  // the picture's own size
    graphics::MetafileInfo meta;
    switch (d.kind) {
    case PictureKind::Png:
    case PictureKind::Jpeg:
    case PictureKind::Dib: {
        if (d.kind == PictureKind::Png) {
            graphics::RasterResult png = graphics::DecodeRaster(d.bytes, "png");
            if (!png.ok())
                return fail(png.error);
            r.image = png.image;
        } else if (d.kind == PictureKind::Jpeg) {
            graphics::JpegResult jpeg = graphics::DecodeJpeg(d.bytes);
            if (!jpeg.ok())
                return fail(jpeg.error);
            r.image = jpeg.image;
        } else {
            graphics::BitmapResult dib = graphics::DecodeDib(d.bytes);
            if (!dib.ok())
                return fail(dib.error.isEmpty() ? QStringLiteral("The bitmap cannot be read") : dib.error);
            r.image = dib.image;
        }
        // A bitmap's own size is its pixels at 96 to the inch.
        twips = QSizeF(r.image.width() * 15.0, r.image.height() * 15.0);
        break;
    }
    case PictureKind::Wmf:
    case PictureKind::Emf: {
        const QByteArray bytes = d.kind == PictureKind::Wmf ? graphics::MakePlaceable(d.bytes) : d.bytes;
        meta = graphics::ReadMetafile(bytes);
        if (bytes.isEmpty() || !meta.ok() || meta.enhanced != (d.kind == PictureKind::Emf))
            return fail(meta.error.isEmpty() ? QStringLiteral("The metafile cannot be read") : meta.error);
        r.bytes = bytes;
        // \picw and \pich of a metafile are in 0.01 mm.
        if (d.picw > 0 && d.pich > 0)
            twips = QSizeF(std::min<qint64>(d.picw, 1 << 30) * 1440.0 / 2540,
                           std::min<qint64>(d.pich, 1 << 30) * 1440.0 / 2540);
        else
            twips = QSizeF(meta.pixelSize(1440));
        break;
    }
    case PictureKind::None: return fail(QStringLiteral("The picture's type is not given"));
    case PictureKind::Unsupported: return fail(QStringLiteral("The picture's type is not one the program reads"));
    }
    if (d.kind == PictureKind::Png || d.kind == PictureKind::Jpeg)
        r.bytes = d.bytes;

    // The size shown: the goal size when given, scaled, then kept within a
    // label's reach with the shape kept.
    auto bounded = [](qint64 v) { return double(std::clamp<qint64>(v, 0, qint64(1) << 30)); };
    double w = d.goalw > 0 ? bounded(d.goalw) : twips.width();
    double h = d.goalh > 0 ? bounded(d.goalh) : twips.height();
    w *= std::clamp<qint64>(d.scalex, 1, 10000) / 100.0;
    h *= std::clamp<qint64>(d.scaley, 1, 10000) / 100.0;
    if (!(w >= 1)) w = 1;
    if (!(h >= 1)) h = 1;
    const double longest = std::max(w, h);
    if (longest > MaxTwips) {
        w = std::max(1.0, w * MaxTwips / longest);
        h = std::max(1.0, h * MaxTwips / longest);
    }
    r.size = QSizeF(TwipsToUnits(w), TwipsToUnits(h));

    if (isMetafile(d.kind)) {
        // Drawn once at the size shown, for wherever the records are not
        // played (the records stay on the format for drawing as vectors).
        const int pw = std::max(1, int(std::ceil(r.size.width())));
        const int ph = std::max(1, int(std::ceil(r.size.height())));
        if (!graphics::PictureSizeAllowed(pw, ph))
            return fail(QStringLiteral("Picture too large"));
        r.image = QImage(pw, ph, QImage::Format_ARGB32_Premultiplied);
        r.image.fill(Qt::transparent);
        QPainter p(&r.image);
        p.setRenderHint(QPainter::Antialiasing);
        graphics::PlayMetafile(r.bytes, p, QRectF(0, 0, pw, ph));
    }
    const qint64 pixelBytes = r.image.sizeInBytes();
    if (pixelBytes > pixelBytesLeft)
        return fail(QStringLiteral("The document's pictures take more than %1 MB")
                        .arg(MaxDocumentPicturePixelBytes / (1024 * 1024)));
    pixelBytesLeft -= pixelBytes;
    return r;
}

QTextImageFormat PictureFormat(QTextDocument &doc, const PictureData &data, const DecodedPicture &picture)
{
    // Named after what it shows, so equal pictures share one image and a
    // picture pasted from another document cannot take another's name.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(QByteArray::number(int(data.kind)) + ':' + QByteArray::number(picture.image.width()) + 'x'
                 + QByteArray::number(picture.image.height()) + ':');
    hash.addData(data.bytes);
    const QString name = QStringLiteral("rtfpict:") + QString::fromLatin1(hash.result().toHex());
    doc.addResource(QTextDocument::ImageResource, QUrl(name), picture.image);
    QTextImageFormat f;
    f.setName(name);
    f.setWidth(picture.size.width());
    f.setHeight(picture.size.height());
    f.setProperty(PictureKindProperty, int(data.kind));
    if (!picture.bytes.isEmpty())
        f.setProperty(PictureBytesProperty, picture.bytes);
    return f;
}

QString PictureFormatName(const QTextFormat &format)
{
    switch (kindOf(format)) {
    case PictureKind::Png: return QStringLiteral("png");
    case PictureKind::Jpeg: return QStringLiteral("jpeg");
    case PictureKind::Dib: return QStringLiteral("dib");
    case PictureKind::Wmf: return QStringLiteral("wmf");
    case PictureKind::Emf: return QStringLiteral("emf");
    default: return QStringLiteral("image");
    }
}

QSizeF PictureSize(const QTextDocument &doc, const QTextFormat &format)
{
    const QTextImageFormat f = format.toImageFormat();
    double w = f.width(), h = f.height();
    if (w > 0 && h > 0)
        return {w, h};
    const QImage image = imageOf(doc, f);
    if (image.isNull())
        return {};
    const QSizeF natural = image.deviceIndependentSize();
    if (w > 0)
        return {w, natural.height() * w / std::max(1.0, natural.width())};
    if (h > 0)
        return {natural.width() * h / std::max(1.0, natural.height()), h};
    return natural;
}

QByteArray WritePicture(const QTextDocument &doc, const QTextFormat &format)
{
    const QSizeF size = PictureSize(doc, format);
    if (!(size.width() > 0 && size.height() > 0))
        return {};
    const int goalw = std::max(1, UnitsToTwips(size.width()));
    const int goalh = std::max(1, UnitsToTwips(size.height()));
    const PictureKind kind = kindOf(format);
    QByteArray bytes = format.property(PictureBytesProperty).toByteArray();
    QByteArray out = "{\\pict";
    if (isMetafile(kind) && !bytes.isEmpty()) {
        out += "\\picw" + QByteArray::number(std::lround(goalw * 2540.0 / 1440)) + "\\pich"
            + QByteArray::number(std::lround(goalh * 2540.0 / 1440));
        out += "\\picwgoal" + QByteArray::number(goalw) + "\\pichgoal" + QByteArray::number(goalh);
        if (kind == PictureKind::Emf) {
            out += "\\emfblip";
        } else {
            // \wmetafile carries the records without the placeable header.
            if (bytes.size() > PlaceableHeaderBytes && quint8(bytes[0]) == 0xD7 && quint8(bytes[1]) == 0xCD)
                bytes = bytes.mid(PlaceableHeaderBytes);
            out += "\\wmetafile8";
        }
    } else {
        const QImage image = imageOf(doc, format);
        if (image.isNull())
            return {};
        if ((kind != PictureKind::Png && kind != PictureKind::Jpeg) || bytes.isEmpty()) {
            bytes.clear();
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            if (!image.save(&buffer, "PNG"))
                return {};
        }
        out += "\\picw" + QByteArray::number(image.width()) + "\\pich" + QByteArray::number(image.height());
        out += "\\picwgoal" + QByteArray::number(goalw) + "\\pichgoal" + QByteArray::number(goalh);
        out += kind == PictureKind::Jpeg && !format.property(PictureBytesProperty).toByteArray().isEmpty()
            ? "\\jpegblip" : "\\pngblip";
    }
    appendHex(out, bytes);
    out += '}';
    return out;
}

bool DrawVectorPicture(QPainter &painter, const QRectF &target, const QTextFormat &format)
{
    if (!isMetafile(kindOf(format)))
        return false;
    const QByteArray bytes = format.property(PictureBytesProperty).toByteArray();
    if (bytes.isEmpty())
        return false;
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    graphics::PlayMetafile(bytes, painter, target);
    painter.restore();
    return true;
}

void CopyPictureResources(const QTextDocument &src, QTextDocument &dst)
{
    for (QTextBlock b = src.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            const QString name = f.toImageFormat().name();
            if (name.isEmpty())
                continue;
            const QVariant v = src.resource(QTextDocument::ImageResource, QUrl(name));
            if (v.isValid())
                dst.addResource(QTextDocument::ImageResource, QUrl(name), v);
        }
}

}  // namespace rtf
