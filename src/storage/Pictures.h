#pragma once
// The picture classes beyond TBitmap that a TPicture may hold (TMetafile,
// TIcon, TSvgPicture), and picture files loaded by their extension.

#include "Gdiobj.h"

#include "graphics/Metafile.h"

#include <memory>

// A Windows metafile kept in placeable form, or an enhanced metafile; its
// own data is a 4-byte size and those bytes. Drawn as vectors.
class TMetafile : public TGraphic
{
public:
    QByteArray ClassName() const override { return "TMetafile"; }
    bool IsEmpty() const override { return mBytes.isEmpty(); }
    QImage ToImage() const override;
    QSize Size() const override;
    QByteArray SaveData() const override;
    void LoadData(QByteArray data) override;
    void Draw(QPainter &painter, const QRectF &target) const override;
    bool IsVector() const override { return true; }

    // A .WMF or .EMF file image; throws EStreamError("Metafile is not valid").
    void LoadFromBytes(const QByteArray &bytes);
    const QByteArray &Bytes() const { return mBytes; }
    const graphics::MetafileInfo &Info() const { return mInfo; }
    bool Enhanced() const { return mInfo.enhanced; }

private:
    QByteArray mBytes;
    graphics::MetafileInfo mInfo;
    // The bitmaps of the records, decoded once and handed to the painter
    // as the same images at every play, so a print run embeds each once.
    mutable graphics::MetafileImageCache mImages;
};

// An icon as its .ICO file image (its own data, with no size before it).
// Shown, never printed.
class TIcon : public TGraphic
{
public:
    QByteArray ClassName() const override { return "TIcon"; }
    bool IsEmpty() const override { return mBytes.isEmpty(); }
    QImage ToImage() const override { return mImage; }
    QSize Size() const override { return mImage.size(); }
    QByteArray SaveData() const override { return mBytes; }
    void LoadData(QByteArray data) override;

private:
    QByteArray mBytes;
    QImage mImage;
};

// An SVG document; its own data is a 4-byte size and the document. Drawn
// as vectors through QtSvg.
class TSvgPicture : public TGraphic
{
public:
    QByteArray ClassName() const override { return "TSvgPicture"; }
    bool IsEmpty() const override { return mBytes.isEmpty(); }
    QImage ToImage() const override;
    QSize Size() const override { return mSize; }
    QByteArray SaveData() const override;
    void LoadData(QByteArray data) override;
    void Draw(QPainter &painter, const QRectF &target) const override;
    bool IsVector() const override { return true; }

    void LoadFromBytes(const QByteArray &bytes);  // throws EStreamError
    const QByteArray &Bytes() const { return mBytes; }

private:
    QByteArray mBytes;
    QSize mSize;
};

// TMetafile, TIcon and TSvgPicture made known to TPicture.
void RegisterPictureClasses();

struct LoadedPicture
{
    std::unique_ptr<TGraphic> graphic;  // nullptr on failure
    QString error;                      // the message for the user
};

// Loads a picture file as the image browser does, by its extension (without
// regard to case): .BMP and .WMF / .EMF as they are ("Error loading file!"
// when they fail), .JPG / .JIF / .JPEG and .ICO converted to bitmaps (the
// decoder's reason when they fail), .PNG / .GIF / .TIF / .TIFF / .WEBP as
// bitmaps, .SVG as an SVG picture. An unknown extension gives no picture
// and an empty error.
LoadedPicture LoadPictureFile(const QString &path);
LoadedPicture LoadPictureBytes(const QByteArray &bytes, const QString &extension);

// The browser's file mask, one pattern a format: "*.BMP", "*.JPG", ...
QStringList PictureFilePatterns();
