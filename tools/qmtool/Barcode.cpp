// qmtool barcode --type NAME --data TEXT -o OUT.png|OUT.pdf|OUT.svg [--scale N]
// qmtool barcode --list
// One symbol drawn as the barcode object draws it, for scripts: NAME is
// Zint's symbology name without "BARCODE_" in any case; N is Zint's scale
// (2 N pixels to a module, a pixel being 1/96 inch in PDF and SVG). Data that
// does not fit the symbology gives Zint's message and exit status 1.

#include "Commands.h"
#include "Drawing.h"

#include "objects/graphic/BarcodeSymbol.h"
#include "storage/FileModes.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <cmath>
#include <cstdio>

namespace {

constexpr double PixelsPerInch = 96.0;
// 16 384 pixels a side: a 100-module symbol at scale 80.
constexpr double MaxSide = 16384;

int barcodeUsage(const QString &why = QString())
{
    if (!why.isEmpty())
        PrintError(why);
    std::fputs("usage: qmtool barcode --type NAME --data TEXT -o OUT.png|OUT.pdf|OUT.svg [--scale N]\n"
               "       qmtool barcode --list\n"
               "  NAME   a symbology as --list names it (code128, qrcode, datamatrix, ...)\n"
               "  N      2 N pixels to a module, from 0.5 to 50 (1 when not given)\n",
               stderr);
    return 2;
}

int list()
{
    for (const barcode::TSymbology &s : barcode::Symbologies())
        std::printf("%s\t%s\t%s\n", s.name.toLower().toUtf8().constData(),
                    barcode::GroupCaption(s.group).toUtf8().constData(), s.caption.toUtf8().constData());
    return 0;
}

void paint(QPainter &painter, const barcode::TSymbol &symbol, double scale)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    barcode::TStyle style;
    style.font = QFont(QStringLiteral("Arial"));
    const QRectF target(0, 0, symbol.size.width() * scale, symbol.size.height() * scale);
    barcode::Draw(painter, symbol, target, scale, style);
}

void write(const QString &output, const barcode::TSymbol &symbol, double scale)
{
    const QString suffix = QFileInfo(output).suffix().toLower();
    const QSize pixels(int(std::ceil(symbol.size.width() * scale)), int(std::ceil(symbol.size.height() * scale)));
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly))
        throw EToolError(QStringLiteral("cannot write %1: %2").arg(output, file.errorString()));
    if (suffix == u"pdf") {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("Quillmark"));
        pdf.setResolution(int(PixelsPerInch));
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(pixels) / PixelsPerInch, QPageSize::Inch),
                                      QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&pdf))
            throw EToolError(QStringLiteral("cannot write %1").arg(output));
        paint(painter, symbol, scale);
        painter.end();
    } else if (suffix == u"svg") {
        QBuffer buffer;
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(pixels);
        svg.setViewBox(QRect(QPoint(0, 0), pixels));
        svg.setResolution(int(PixelsPerInch));
        svg.setTitle(QStringLiteral("Barcode"));
        QPainter painter;
        if (!painter.begin(&svg))
            throw EToolError(QStringLiteral("cannot write %1").arg(output));
        paint(painter, symbol, scale);
        painter.end();
        file.write(buffer.data());
    } else {
        QImage image(pixels, QImage::Format_RGB32);
        if (image.isNull())
            throw EToolError(QStringLiteral("cannot write %1: not enough memory").arg(output));
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            paint(painter, symbol, scale);
        }
        QImageWriter writer(&file, suffix.toLatin1());
        if (!writer.write(image)) {
            file.cancelWriting();
            throw EToolError(QStringLiteral("cannot write %1: %2").arg(output, writer.errorString()));
        }
    }
    KeepUsualPermissions(file, output);
    if (!file.commit())
        throw EToolError(QStringLiteral("cannot write %1: %2").arg(output, file.errorString()));
}

}  // namespace

int runBarcode(const QStringList &args)
{
    QString type, output;
    std::optional<QString> data;
    double scale = 1.0;
    bool listing = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == u"--type" || a == u"--data" || a == u"-o" || a == u"--scale") {
            if (i + 1 >= args.size())
                return barcodeUsage(a + QStringLiteral(" needs a value"));
            const QString v = args.at(++i);
            if (a == u"--type") {
                type = v;
            } else if (a == u"--data") {
                data = v;
            } else if (a == u"-o") {
                output = v;
            } else {
                bool ok = false;
                scale = v.toDouble(&ok);
                if (!ok || !(scale >= 0.5 && scale <= 50))
                    return barcodeUsage(QStringLiteral("--scale takes a number from 0.5 to 50"));
            }
        } else if (a == u"--list") {
            listing = true;
        } else {
            return barcodeUsage(QStringLiteral("unknown argument ") + a);
        }
    }
    if (listing)
        return list();
    if (type.isEmpty() || !data || output.isEmpty())
        return barcodeUsage(QStringLiteral("give --type, --data and -o"));
    const std::optional<int> id = barcode::SymbologyByName(type);
    if (!id)
        return barcodeUsage(QStringLiteral("unknown symbology \"%1\" (qmtool barcode --list names them)").arg(type));
    const QString suffix = QFileInfo(output).suffix().toLower();
    if (suffix != u"pdf" && suffix != u"svg"
        && !QImageWriter::supportedImageFormats().contains(suffix.toLatin1()))
        return barcodeUsage(QStringLiteral("cannot write %1: give a .png, .pdf or .svg file").arg(output));

    barcode::TOptions options;
    options.symbology = *id;
    options.data = *data;
    const barcode::TSymbol symbol = barcode::Encode(options, QSizeF(), 0);
    if (!symbol.ok()) {
        PrintError(symbol.error);
        return 1;
    }
    if (symbol.size.width() * scale > MaxSide || symbol.size.height() * scale > MaxSide) {
        PrintError(QStringLiteral("the symbol is too large to draw at scale %1").arg(scale));
        return 1;
    }
    try {
        write(output, symbol, scale);
    } catch (const EToolError &e) {
        PrintError(e.message());
        return 1;
    }
    return 0;
}
