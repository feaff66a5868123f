// qmtool render FILE.qm -o OUT.png [--zoom Z]: the label as the main
// window's design panel shows it (label shape and outline, no label art, no
// grid, nothing selected) at zoom Z, as a PNG image, for visual checks.

#include "Commands.h"
#include "Drawing.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>

#include <cstdio>

namespace {

int renderUsage(const QString &why = QString())
{
    if (!why.isEmpty())
        PrintError(why);
    std::fputs("usage: qmtool render FILE.qm -o OUT.png [--zoom Z]   (Z from 0.1 to 8, 1 = 100%)\n",
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

    PrepareLabelObjects();
    try {
        TLabelDocument document;
        document.Open(file);
        TGQuillmarkPanel32 *panel = document.Panel();
        panel->SetZoom(float(zoom));
        QImage image(panel->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        panel->render(&image);

        QSaveFile out(output);
        if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "PNG") || !out.commit())
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
