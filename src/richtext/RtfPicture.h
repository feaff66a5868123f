#pragma once
// Pictures in rich text: the data of an RTF \pict group decoded through
// the program's picture codecs into an image of the document, and such an
// image written back as RTF. Metafiles keep their records on the image's
// format, so they can be drawn as vectors where the drawing supports it.

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QTextFormat>

class QPainter;
class QTextDocument;

namespace rtf {

enum class PictureKind { None, Png, Jpeg, Dib, Wmf, Emf, Unsupported };

// What a \pict group held.
struct PictureData
{
    PictureKind kind = PictureKind::None;
    QByteArray bytes;
    qint64 picw = 0, pich = 0;          // pixels; 0.01 mm for metafiles
    qint64 goalw = 0, goalh = 0;        // twips
    qint64 scalex = 100, scaley = 100;  // percent
    bool damaged = false;               // bad hex digits, or more data than allowed
};

// Most data one picture may carry (hex digits count half).
constexpr qsizetype MaxPictureDataBytes = 16 * 1024 * 1024;
// Most pixel memory the pictures of one document may take together.
constexpr qint64 MaxDocumentPicturePixelBytes = qint64(256) * 1024 * 1024;

// Properties on a picture's QTextImageFormat: its kind, and the data it
// was read from (PNG, JPEG and metafiles; a DIB is kept as the image).
constexpr int PictureKindProperty = QTextFormat::UserProperty + 0x5201;
constexpr int PictureBytesProperty = QTextFormat::UserProperty + 0x5202;

struct DecodedPicture
{
    QImage image;   // what the document shows; a metafile drawn at its size
    QSizeF size;    // in document units
    QByteArray bytes;  // kept on the format: PNG, JPEG, the metafile (WMF placeable)
    QString error;  // why the picture is left out
    bool ok() const { return error.isEmpty(); }
};

// Decodes a \pict group's data. `pixelBytesLeft` is what the document's
// pictures may still take; the picture's pixels are taken from it.
DecodedPicture DecodePicture(const PictureData &data, qint64 &pixelBytesLeft);

// The format of a decoded picture in `document`, which gets its image as a
// resource named after the picture's content.
QTextImageFormat PictureFormat(QTextDocument &document, const PictureData &data, const DecodedPicture &picture);

// "png", "jpeg", "dib", "wmf", "emf", or "image" for a picture that came
// from elsewhere (HTML pasted into the editor).
QString PictureFormatName(const QTextFormat &format);

// The picture of `format` in document units: its width and height, or the
// size of its image when the format gives none.
QSizeF PictureSize(const QTextDocument &document, const QTextFormat &format);

// One \pict group for the picture of `format`: PNG, JPEG and metafiles as
// they were read, anything else as PNG. Empty when the document has no
// image for it.
QByteArray WritePicture(const QTextDocument &document, const QTextFormat &format);

// Draws a metafile picture's records into `target`; false for a picture
// that is not a metafile (drawn from its image instead).
bool DrawVectorPicture(QPainter &painter, const QRectF &target, const QTextFormat &format);

// Adds to `dst` the image resources of the pictures of `src`, so a copy of
// src's content shows them.
void CopyPictureResources(const QTextDocument &src, QTextDocument &dst);

}  // namespace rtf
