// The template library, the picture codecs, the RTF reader and qmtool's
// JSON reader: the targets that need no label objects.

#include "FuzzTargets.h"

#include "Json.h"

#include "layout/TemplateLibrary.h"
#include "richtext/RtfReader.h"
#include "storage/Pictures.h"

#include <QImage>
#include <QPainter>
#include <QTextDocument>


namespace qmfuzz {

void templates(const QByteArray &bytes)
{
    QString problem;
    const QList<TLabelLayout> all =
        TemplateLibrary::read(WriteScratchFile(bytes, QLatin1String(TemplateLibrary::FileName)), &problem);
    // What the chooser does with them: sort, filter and describe.
    const QList<TemplateItem> listed = templatechooser::filterTemplates(all, TemplateFilter());
    for (const TemplateItem &item : listed)
        if (item.entry >= 1 && item.entry <= all.size())
            templatechooser::description(all.at(item.entry - 1));
}

namespace {

// A loaded picture is drawn, as the image object draws it, into a small
// picture.
void loadPicture(const QByteArray &bytes, const char *extension)
{
    const LoadedPicture picture = LoadPictureBytes(bytes, QLatin1String(extension));
    if (!picture.graphic)
        return;
    QImage image(96, 96, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    picture.graphic->Draw(painter, QRectF(0, 0, 96, 96));
}

}  // namespace

void bmp(const QByteArray &bytes) { loadPicture(bytes, ".BMP"); }
void ico(const QByteArray &bytes) { loadPicture(bytes, ".ICO"); }
void jpeg(const QByteArray &bytes) { loadPicture(bytes, ".JPG"); }
void wmf(const QByteArray &bytes) { loadPicture(bytes, ".WMF"); }
void emf(const QByteArray &bytes) { loadPicture(bytes, ".EMF"); }

void rtf(const QByteArray &bytes)
{
    const rtf::ReadResult result = rtf::Read(bytes);
    if (result.document)
        result.document->size();  // lays the document out
}

void json(const QByteArray &bytes)
{
    try {
        writeJson(parseJson(bytes));
    } catch (const JsonError &) {
    }
}

}  // namespace qmfuzz
