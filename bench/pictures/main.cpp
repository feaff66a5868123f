// Pictures: decoding and quantising a 12-megapixel JPEG with our decoder
// beside djpeg -colors 256 -dither fs -bmp on the same file, and qmtool
// print of 10 sheets of a 30-up label with and without a 1-megapixel
// picture on every label: seconds, the ratio, PDF sizes and the size of
// the embedded picture as pdfimages lists it.
//
//   bench_pictures [RUNS]   (default 3 runs of each; the median is shown)
//   bench_pictures --write DIR  (writes the picture and both label files
//                                for profiling, nothing else)

#include "graphics/Bmp.h"
#include "graphics/Jpeg.h"
#include "design/Gbasepnl.h"
#include "objects/Register.h"
#include "objects/graphic/Gimage.h"
#include "objects/graphic/Glshapes.h"
#include "objects/text/Gplabel.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// A photograph-like picture: smooth gradients, a few shapes and some
// noise, so the quantiser has real work to do.
QImage photo(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(12345);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = int(rng.bounded(24u));
            line[x] = qRgb((x * 255 / w + n) & 0xFF, (y * 255 / h + n) & 0xFF, ((x + y) * 128 / (w + h) + 64 + n) & 0xFF);
        }
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 40; ++i) {
        p.setBrush(QColor::fromHsv(int(rng.bounded(360u)), 200, 220));
        p.setPen(Qt::NoPen);
        const int s = int(rng.bounded(quint32(w / 6))) + w / 40;
        p.drawEllipse(int(rng.bounded(quint32(w))), int(rng.bounded(quint32(h))), s, s);
    }
    return image;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeIt(int runs, const std::function<bool()> &run)
{
    std::vector<double> all;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        if (!run())
            return -1;
        all.push_back(double(t.nsecsElapsed()) / 1e9);
    }
    return median(all);
}

bool runQuiet(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void addLine(TGBasePanel &panel, int left, int top, const QString &text)
{
    auto *label = new TGPLabel;
    label->SetParentComponent(&panel);
    label->FinishLoading();
    label->SetBounds(left, top, 150, 20);
    label->SetCaption(text);
}

// The address label of the print benchmark, its text moved right of a
// picture when `picture` names one.
QString writeLabel(const QString &dir, const QString &name, const QString &picture)
{
    TGBasePanel panel;
    panel.resize(254, 96);
    auto *frame = new TGLabelShapes;
    frame->SetParentComponent(&panel);
    frame->FinishLoading();
    frame->SetBounds(4, 4, 246, 88);
    frame->SetTransparent(true);
    if (!picture.isEmpty()) {
        auto *image = new TGImage;
        image->SetParentComponent(&panel);
        image->FinishLoading();
        image->SetBounds(8, 8, 80, 80);
        if (!image->TakePictureFile(picture, true, false))
            return {};
    }
    addLine(panel, 96, 12, QStringLiteral("Jane Q. Example"));
    addLine(panel, 96, 36, QStringLiteral("1234 Any Street, Apt. 5"));
    addLine(panel, 96, 60, QStringLiteral("Springfield, ST 12345"));
    const QString file = dir + QLatin1Char('/') + name;
    TGLabelObjectFiler().WriteLabelFile(&panel, file, TLabelLayout::Default());
    return file;
}

// The sizes pdfimages lists ("1234K", "2.5M"), in bytes, and how many
// distinct image objects the pages use.
qint64 listedImageBytes(const QString &pdf, int *objects)
{
    QProcess p;
    p.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    if (!p.waitForFinished(120000))
        return -1;
    const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
    QSet<QByteArray> seen;
    qint64 bytes = 0;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].simplified().split(' ');
        if (f.size() < 15 || seen.contains(f[10]))
            continue;
        seen.insert(f[10]);
        QByteArray size = f[14];
        double unit = 1;
        if (size.endsWith('K'))
            unit = 1024;
        else if (size.endsWith('M'))
            unit = 1024.0 * 1024;
        if (unit > 1)
            size.chop(1);
        else if (size.endsWith('B'))
            size.chop(1);
        bytes += qint64(size.toDouble() * unit);
    }
    *objects = int(seen.size());
    return bytes;
}

}  // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterLabelClasses();
    if (argc > 2 && QByteArray(argv[1]) == "--write") {
        const QString out = QString::fromLocal8Bit(argv[2]);
        const QString bmp = out + QStringLiteral("/picture.bmp");
        QFile file(bmp);
        if (!QDir().mkpath(out) || !file.open(QIODevice::WriteOnly)
            || file.write(graphics::EncodeBmp(photo(1000, 1000))) < 0) {
            std::fprintf(stderr, "bench_pictures: cannot write to %s\n", argv[2]);
            return 1;
        }
        file.close();
        for (const QString &label : {writeLabel(out, QStringLiteral("with.qm"), bmp),
                                     writeLabel(out, QStringLiteral("without.qm"), QString())}) {
            if (label.isEmpty()) {
                std::fprintf(stderr, "bench_pictures: cannot write the labels\n");
                return 1;
            }
            std::printf("%s\n", qPrintable(label));
        }
        return 0;
    }
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    QTemporaryDir dir;

    // 1. A 12-megapixel JPEG.
    const QString jpegPath = dir.filePath(QStringLiteral("photo.jpg"));
    {
        QImageWriter writer(jpegPath, "jpeg");
        writer.setQuality(90);
        if (!writer.write(photo(4000, 3000))) {
            std::fprintf(stderr, "bench_pictures: cannot write the JPEG\n");
            return 1;
        }
    }
    QFile f(jpegPath);
    f.open(QIODevice::ReadOnly);
    const QByteArray jpeg = f.readAll();
    const double ours = timeIt(runs, [&] { return graphics::DecodeJpeg(jpeg).ok(); });
    const QString djpeg = QStandardPaths::findExecutable(QStringLiteral("djpeg"));
    const double theirs = djpeg.isEmpty() ? -1
        : timeIt(runs, [&] {
              return runQuiet(djpeg, {"-colors", "256", "-dither", "fs", "-bmp", "-outfile",
                                      dir.filePath(QStringLiteral("djpeg.bmp")), jpegPath});
          });
    std::printf("12-megapixel JPEG (4000 x 3000, %lld bytes) to 256 colours, two-pass, "
                "Floyd-Steinberg; median of %d runs\n",
                static_cast<long long>(jpeg.size()), runs);
    std::printf("%-28s %9s\n", "decoder", "seconds");
    std::printf("%-28s %9.3f\n", "DecodeJpeg (in process)", ours);
    if (theirs >= 0) {
        std::printf("%-28s %9.3f\n", "djpeg -bmp (whole process)", theirs);
        std::printf("%-28s %9.2f\n", "ratio ours / djpeg", ours / theirs);
    } else {
        std::printf("djpeg not found\n");
    }

    // 2. Ten sheets of 30 labels, with and without a 1-megapixel picture.
    const QString bmp = dir.filePath(QStringLiteral("picture.bmp"));
    {
        QFile out(bmp);
        out.open(QIODevice::WriteOnly);
        out.write(graphics::EncodeBmp(photo(1000, 1000)));
    }
    const QString with = writeLabel(dir.path(), QStringLiteral("with.qm"), bmp);
    const QString without = writeLabel(dir.path(), QStringLiteral("without.qm"), QString());
    if (with.isEmpty() || without.isEmpty()) {
        std::fprintf(stderr, "bench_pictures: cannot write the labels\n");
        return 1;
    }
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/qmtool");
    auto print = [&](const QString &file, const QString &pdf) {
        return timeIt(runs, [&] { return runQuiet(tool, {"print", file, "-o", pdf, "--sheets", "10"}); });
    };
    const QString pdfWith = dir.filePath(QStringLiteral("with.pdf"));
    const QString pdfWithout = dir.filePath(QStringLiteral("without.pdf"));
    const double tWith = print(with, pdfWith), tWithout = print(without, pdfWithout);
    if (tWith < 0 || tWithout < 0) {
        std::fprintf(stderr, "bench_pictures: qmtool print failed\n");
        return 1;
    }
    const qint64 sizeWith = QFileInfo(pdfWith).size(), sizeWithout = QFileInfo(pdfWithout).size();
    int objects = 0;
    const qint64 imageBytes = listedImageBytes(pdfWith, &objects);
    std::printf("\nqmtool print, 10 sheets of a 30-up label, median of %d runs\n", runs);
    std::printf("%-22s %9s %12s\n", "label", "seconds", "PDF bytes");
    std::printf("%-22s %9.3f %12lld\n", "without the picture", tWithout, static_cast<long long>(sizeWithout));
    std::printf("%-22s %9.3f %12lld\n", "with 1000 x 1000 BMP", tWith, static_cast<long long>(sizeWith));
    std::printf("time ratio with / without: %.2f\n", tWith / tWithout);
    if (imageBytes > 0)
        std::printf("image objects in the PDF: %d, listed size %lld bytes; "
                    "PDF with / (one copy + PDF without): %.3f\n",
                    objects, static_cast<long long>(imageBytes),
                    double(sizeWith) / double(imageBytes + sizeWithout));
    return 0;
}
