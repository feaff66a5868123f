#include "Pictures.h"

#include "graphics/Bmp.h"
#include "graphics/Ico.h"
#include "graphics/Jpeg.h"
#include "graphics/Limits.h"
#include "graphics/Raster.h"
#include "graphics/Svg.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

namespace {

const char *const MetafileNotValid = "Metafile is not valid";
const QString ErrorLoadingFile = QStringLiteral("Error loading file!");
// Largest picture file read (bytes): far above any picture within the pixel limits.
constexpr qint64 MaxPictureFileBytes = 512ll * 1024 * 1024;

QByteArray sized(const QByteArray &bytes)
{
    QByteArray out(4, '\0');
    const auto n = quint32(bytes.size());
    for (int i = 0; i < 4; ++i)
        out[i] = char((n >> (8 * i)) & 0xFF);
    return out + bytes;
}

// The bytes after a 4-byte size, checked against what is there.
QByteArray unsized(const QByteArray &data)
{
    if (data.size() < 4)
        throw EStreamError(QStringLiteral("Stream read error"));
    const quint32 n = quint32(quint8(data[0])) | quint32(quint8(data[1])) << 8
        | quint32(quint8(data[2])) << 16 | quint32(quint8(data[3])) << 24;
    if (n > quint32(data.size() - 4))
        throw EStreamError(QStringLiteral("Stream read error"));
    return data.mid(4, qsizetype(n));
}

QImage rasterise(const TGraphic &g)
{
    const QSize size = g.Size();
    if (size.isEmpty() || !graphics::PictureSizeAllowed(size.width(), size.height()))
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    g.Draw(p, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

std::unique_ptr<TBitmap> bitmapOf(const QImage &image)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetImage(image);
    return bitmap;
}

}  // namespace

QImage TMetafile::ToImage() const
{
    return rasterise(*this);
}

QSize TMetafile::Size() const
{
    return mInfo.pixelSize(TFont::PixelsPerInch());
}

QByteArray TMetafile::SaveData() const
{
    return sized(mBytes);
}

void TMetafile::LoadData(QByteArray data)
{
    const QByteArray bytes = unsized(data);
    if (bytes.isEmpty()) {
        mBytes.clear();
        mInfo = {};
        mImages.clear();
        Changed();
        return;
    }
    LoadFromBytes(bytes);
}

void TMetafile::Draw(QPainter &painter, const QRectF &target) const
{
    graphics::PlayMetafile(mBytes, painter, target, &mImages);
}

void TMetafile::LoadFromBytes(const QByteArray &bytes)
{
    graphics::MetafileInfo info = graphics::ReadMetafile(bytes);
    if (!info.ok())
        throw EStreamError(QString::fromLatin1(MetafileNotValid));
    QByteArray kept = bytes;
    if (!info.enhanced && !info.placeable) {
        kept = graphics::MakePlaceable(bytes);
        info = graphics::ReadMetafile(kept);
        if (!info.ok() || kept.isEmpty())
            throw EStreamError(QString::fromLatin1(MetafileNotValid));
    }
    mBytes = kept;
    mInfo = info;
    mImages.clear();
    Changed();
}

void TIcon::LoadData(QByteArray data)
{
    const graphics::IconResult r = graphics::DecodeIco(data);
    if (!r.ok())
        throw EStreamError(QStringLiteral("Icon image is not valid"));
    mBytes = data;
    mImage = r.image;
    Changed();
}

QImage TSvgPicture::ToImage() const
{
    return rasterise(*this);
}

QByteArray TSvgPicture::SaveData() const
{
    return sized(mBytes);
}

void TSvgPicture::LoadData(QByteArray data)
{
    LoadFromBytes(unsized(data));
}

void TSvgPicture::Draw(QPainter &painter, const QRectF &target) const
{
    graphics::DrawSvg(mBytes, painter, target);
}

void TSvgPicture::LoadFromBytes(const QByteArray &bytes)
{
    const graphics::SvgInfo info = graphics::ReadSvg(bytes);
    if (!info.ok())
        throw EStreamError(info.error);
    mBytes = bytes;
    mSize = info.size;
    Changed();
}

void RegisterPictureClasses()
{
    TPicture::RegisterGraphicClass("TMetafile", [] { return std::make_unique<TMetafile>(); });
    TPicture::RegisterGraphicClass("TIcon", [] { return std::make_unique<TIcon>(); });
    TPicture::RegisterGraphicClass("TSvgPicture", [] { return std::make_unique<TSvgPicture>(); });
}

QStringList PictureFilePatterns()
{
    return {"*.BMP", "*.JPG", "*.JIF", "*.JPEG", "*.WMF", "*.ICO",
            "*.EMF", "*.PNG", "*.GIF", "*.TIF", "*.TIFF", "*.WEBP", "*.SVG"};
}

LoadedPicture LoadPictureBytes(const QByteArray &bytes, const QString &extension)
{
    const QString ext = extension.toUpper();
    LoadedPicture r;
    try {
        if (ext == QLatin1String(".BMP")) {
            auto bitmap = std::make_unique<TBitmap>();
            bitmap->LoadFromFileImage(bytes);
            r.graphic = std::move(bitmap);
        } else if (ext == QLatin1String(".WMF") || ext == QLatin1String(".EMF")) {
            auto metafile = std::make_unique<TMetafile>();
            metafile->LoadFromBytes(bytes);
            r.graphic = std::move(metafile);
        } else if (ext == QLatin1String(".ICO")) {
            const graphics::IconResult icon = graphics::DecodeIco(bytes);
            if (!icon.ok())
                return {nullptr, icon.error};
            r.graphic = bitmapOf(icon.image);
        } else if (ext == QLatin1String(".JPG") || ext == QLatin1String(".JIF")
                   || ext == QLatin1String(".JPEG")) {
            const graphics::JpegResult jpeg = graphics::DecodeJpeg(bytes);
            if (!jpeg.ok())
                return {nullptr, jpeg.error};
            r.graphic = bitmapOf(jpeg.image);  // through an 8-bit BMP file image
        } else if (ext == QLatin1String(".PNG") || ext == QLatin1String(".GIF")
                   || ext == QLatin1String(".TIF") || ext == QLatin1String(".TIFF")
                   || ext == QLatin1String(".WEBP")) {
            const QByteArray format = ext == QLatin1String(".TIF") ? QByteArray("tiff")
                                                                   : ext.mid(1).toLower().toLatin1();
            const graphics::RasterResult raster = graphics::DecodeRaster(bytes, format);
            if (!raster.ok())
                return {nullptr, raster.error};
            r.graphic = bitmapOf(raster.image);
        } else if (ext == QLatin1String(".SVG")) {
            auto svg = std::make_unique<TSvgPicture>();
            svg->LoadFromBytes(bytes);
            r.graphic = std::move(svg);
        }
    } catch (const EStreamError &) {
        return {nullptr, ErrorLoadingFile};
    }
    return r;
}

LoadedPicture LoadPictureFile(const QString &path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot);
    const QString upper = ext.toUpper();
    const bool known = PictureFilePatterns().contains(QLatin1Char('*') + upper);
    if (!known)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPictureFileBytes) {
        const bool plain = upper == QLatin1String(".BMP") || upper == QLatin1String(".WMF")
            || upper == QLatin1String(".EMF") || upper == QLatin1String(".SVG");
        return {nullptr, plain ? ErrorLoadingFile : QStringLiteral("Cannot open the file")};
    }
    return LoadPictureBytes(file.readAll(), ext);
}
