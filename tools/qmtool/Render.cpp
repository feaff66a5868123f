// qmtool render FILE.qm -o OUT.png [--zoom Z]: the label as the main
// window's design panel shows it (label shape and outline, no label art, no
// grid, nothing selected) at zoom Z, as an image in the format the output
// name's extension asks for (PNG, JPEG, BMP, ...), for visual checks.

#include "Commands.h"
#include "Drawing.h"

#include "storage/FileModes.h"

#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

#include <cstdio>

namespace {

// 64 megapixels: a 4 x 4 inch label at zoom 8 on a 250 dpi screen.
constexpr qint64 MaxRenderPixels = 64ll * 1024 * 1024;

int renderUsage(const QString &why = QString())
{
    if (!why.isEmpty())
        PrintError(why);
    std::fputs("usage: qmtool render FILE.qm -o OUT.png|OUT.jpg|OUT.bmp [--zoom Z]   (Z from 0.1 to 8, 1 = 100%)\n",
               stderr);
    return 2;
}

}  // namespace

int runRender(const QStringList &args)
{
    QString file, output;
    double zoom = 1.0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == u"-o" || a == u"--zoom") {
            if (i + 1 >= args.size())
                return renderUsage(a + QStringLiteral(" needs a value"));
            const QString v = args.at(++i);
            if (a == u"-o") {
                output = v;
            } else {
                bool ok = false;
                zoom = v.toDouble(&ok);
                if (!ok || !(zoom >= 0.1 && zoom <= 8))
                    return renderUsage(QStringLiteral("--zoom takes a number from 0.1 to 8"));
            }
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return renderUsage(QStringLiteral("unknown option ") + a);
        } else if (file.isEmpty()) {
            file = a;
        } else {
            return renderUsage(QStringLiteral("one label file only"));
        }
    }
    if (file.isEmpty() || output.isEmpty())
        return renderUsage();
    // The image format is the one the output name asks for.
    const QByteArray format = QFileInfo(output).suffix().toLower().toLatin1();
    if (format.isEmpty() || !QImageWriter::supportedImageFormats().contains(format))
        return renderUsage(QStringLiteral("cannot write %1: unknown image format \"%2\" (png, jpg, bmp and the other"
                                          " formats Qt writes)")
                               .arg(output, QString::fromLatin1(format)));

    PrepareLabelObjects();
    try {
        TLabelDocument document;
        document.Open(file);
        TGQuillmarkPanel32 *panel = document.Panel();
        panel->SetZoom(float(zoom));
        const QSize size = panel->size();
        if (size.width() < 1 || size.height() < 1)
            throw EToolError(QStringLiteral("cannot draw %1: the label is too small to draw (%2 x %3 pixels at zoom %4)")
                                 .arg(file)
                                 .arg(size.width())
                                 .arg(size.height())
                                 .arg(zoom));
        if (qint64(size.width()) * size.height() > MaxRenderPixels)
            throw EToolError(QStringLiteral("cannot draw %1: the label is too large to draw (%2 x %3 pixels at zoom %4)")
                                 .arg(file)
                                 .arg(size.width())
                                 .arg(size.height())
                                 .arg(zoom));
        QImage image(size, QImage::Format_RGB32);
        if (image.isNull())
            throw EToolError(QStringLiteral("cannot draw %1: not enough memory for %2 x %3 pixels")
                                 .arg(file)
                                 .arg(size.width())
                                 .arg(size.height()));
        image.fill(Qt::white);
        panel->render(&image);

        QSaveFile out(output);
        if (!out.open(QIODevice::WriteOnly))
            throw EToolError(QStringLiteral("cannot write %1: %2").arg(output, out.errorString()));
        QImageWriter writer(&out, format);
        if (!writer.write(image)) {
            out.cancelWriting();
            throw EToolError(QStringLiteral("cannot write %1: %2").arg(output, writer.errorString()));
        }
        KeepUsualPermissions(out, output);
        if (!out.commit())
            throw EToolError(QStringLiteral("cannot write %1: %2").arg(output, out.errorString()));
    } catch (const EToolError &e) {
        PrintError(e.message());
        return 1;
    } catch (const std::exception &e) {
        PrintError(QString::fromUtf8(e.what()));
        return 1;
    }
    return 0;
}
