// Pictures: decoding and quantising a 12-megapixel JPEG with our decoder
// beside djpeg -colors 256 -dither fs -bmp on the same file, and qmtool
// print of 10 sheets of a 30-up label with and without a 1-megapixel
// picture on every label: seconds, the ratio, PDF sizes and the size of
// the embedded picture as pdfimages lists it; then Qt's floor for that
// picture: a page drawing the same decoded image once with QPdfWriter, and
// qCompress (what that writer deflates image data with) on its RGB bytes.
//
//   bench_pictures [RUNS]   (default 3 runs of each; the median is shown)
//   bench_pictures --write DIR  (writes both pictures and the three label
//                                files for profiling, nothing else)

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
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPdfWriter>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <sys/resource.h>
#include <time.h>

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

// The same picture as line art: black strokes on white, every pixel one
// or the other.
QImage lineArt(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 3));
    QRandomGenerator rng(777);
    for (int i = 0; i < 300; ++i)
        p.drawLine(int(rng.bounded(quint32(w))), int(rng.bounded(quint32(h))),
                   int(rng.bounded(quint32(w))), int(rng.bounded(quint32(h))));
    p.end();
    return image.convertToFormat(QImage::Format_Indexed8, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
}

// Processor seconds of this thread so far.
double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Seconds
{
    double wall = 0, cpu = 0;
};

// Seconds to run `work` once, by the clock and by processor time.
Seconds measure(const std::function<void()> &work)
{
    const double cpu = threadSeconds();
    QElapsedTimer t;
    t.start();
    work();
    return {double(t.nsecsElapsed()) / 1e9, threadSeconds() - cpu};
}

// Writes a one-page PDF into memory, drawing `image` once unless it is
// null, as the print run draws: lossless.
void onePage(const QImage &image)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(300);
    QPainter p(&writer);
    p.setRenderHint(QPainter::LosslessImageRendering, true);
    p.drawLine(0, 0, 10, 10);
    if (!image.isNull())
        p.drawImage(QRect(100, 100, 250, 250), image, image.rect());
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

// Processor seconds of the children waited for so far.
double childSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
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
        const QString bmp = out + QStringLiteral("/picture.bmp"), art = out + QStringLiteral("/art.bmp");
        for (const auto &[path, image] : {std::pair{bmp, photo(1000, 1000)}, std::pair{art, lineArt(1000, 1000)}}) {
            QFile file(path);
            if (!QDir().mkpath(out) || !file.open(QIODevice::WriteOnly)
                || file.write(graphics::EncodeBmp(image)) < 0) {
                std::fprintf(stderr, "bench_pictures: cannot write to %s\n", argv[2]);
                return 1;
            }
        }
        for (const QString &label : {writeLabel(out, QStringLiteral("with.qm"), bmp),
                                     writeLabel(out, QStringLiteral("art.qm"), art),
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

    // 2. Ten sheets of 30 labels, without a picture, with a 1-megapixel
    // photograph (24-bit BMP) and with 1-megapixel line art (8-bit BMP of
    // black and white), run in turn so the load of the machine falls on
    // all three alike.
    const QString bmp = dir.filePath(QStringLiteral("picture.bmp"));
    const QString artBmp = dir.filePath(QStringLiteral("art.bmp"));
    for (const auto &[path, image] : {std::pair{bmp, photo(1000, 1000)}, std::pair{artBmp, lineArt(1000, 1000)}}) {
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(graphics::EncodeBmp(image));
    }
    const QStringList labels = {writeLabel(dir.path(), QStringLiteral("without.qm"), QString()),
                                writeLabel(dir.path(), QStringLiteral("with.qm"), bmp),
                                writeLabel(dir.path(), QStringLiteral("art.qm"), artBmp)};
    if (labels.contains(QString())) {
        std::fprintf(stderr, "bench_pictures: cannot write the labels\n");
        return 1;
    }
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/qmtool");
    std::vector<double> wall[3], cpu[3];
    QString pdfs[3];
    for (int run = 0; run < runs; ++run)
        for (int k = 0; k < 3; ++k) {
            pdfs[k] = dir.filePath(QStringLiteral("label%1.pdf").arg(k));
            const double before = childSeconds();
            QElapsedTimer t;
            t.start();
            if (!runQuiet(tool, {"print", labels[k], "-o", pdfs[k], "--sheets", "10"})) {
                std::fprintf(stderr, "bench_pictures: qmtool print failed\n");
                return 1;
            }
            wall[k].push_back(double(t.nsecsElapsed()) / 1e9);
            cpu[k].push_back(childSeconds() - before);
        }
    const char *names[3] = {"without the picture", "with 1000 x 1000 photo", "with 1000 x 1000 art"};
    std::printf("\nqmtool print, 10 sheets of a 30-up label, median of %d runs\n", runs);
    std::printf("%-24s %9s %9s %8s %8s %12s\n", "label", "seconds", "CPU s", "ratio", "CPU rt", "PDF bytes");
    for (int k = 0; k < 3; ++k)
        std::printf("%-24s %9.3f %9.3f %8.2f %8.2f %12lld\n", names[k], median(wall[k]), median(cpu[k]),
                    median(wall[k]) / median(wall[0]), median(cpu[k]) / median(cpu[0]),
                    static_cast<long long>(QFileInfo(pdfs[k]).size()));
    const qint64 sizeWithout = QFileInfo(pdfs[0]).size();
    for (int k = 1; k < 3; ++k) {
        int objects = 0;
        const qint64 imageBytes = listedImageBytes(pdfs[k], &objects);
        if (imageBytes > 0)
            std::printf("%s: image objects in the PDF %d, listed size %lld bytes; "
                        "PDF / (one copy + PDF without) %.3f\n",
                        names[k], objects, static_cast<long long>(imageBytes),
                        double(QFileInfo(pdfs[k]).size()) / double(imageBytes + sizeWithout));
    }

    // 3. Qt's floor for the photograph: what its PDF writer takes to embed
    // that decoded image once, whatever draws it.
    QFile photoFile(bmp);
    photoFile.open(QIODevice::ReadOnly);
    const QImage decoded = graphics::DecodeBmp(photoFile.readAll()).image;
    QByteArray rgb;
    rgb.reserve(qsizetype(decoded.width()) * decoded.height() * 3);
    for (int y = 0; y < decoded.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(decoded.constScanLine(y));
        for (int x = 0; x < decoded.width(); ++x)
            rgb.append(char(qRed(line[x]))).append(char(qGreen(line[x]))).append(char(qBlue(line[x])));
    }
    // Qt loads its image writers when the first image reaches a PDF.
    const Seconds first = measure([&] { onePage(decoded); });
    std::vector<double> empty[2], drawn[2], deflate[2];
    for (int run = 0; run < std::max(runs, 5); ++run) {
        const Seconds e = measure([] { onePage(QImage()); });
        const Seconds d = measure([&] { onePage(decoded); });
        const Seconds z = measure([&] { qCompress(rgb); });
        empty[0].push_back(e.wall), empty[1].push_back(e.cpu);
        drawn[0].push_back(d.wall), drawn[1].push_back(d.cpu);
        deflate[0].push_back(z.wall), deflate[1].push_back(z.cpu);
    }
    const double share[2] = {median(drawn[0]) - median(empty[0]), median(drawn[1]) - median(empty[1])};
    std::printf("\nQt's floor for the photograph (in process, QPdfWriter to memory, median of %d)\n",
                int(empty[0].size()));
    std::printf("%-44s %9s %9s\n", "", "seconds", "CPU s");
    std::printf("%-44s %9.4f %9.4f\n", "one page, no picture", median(empty[0]), median(empty[1]));
    std::printf("%-44s %9.4f %9.4f\n", "one page, the decoded picture drawn once", median(drawn[0]),
                median(drawn[1]));
    std::printf("%-44s %9.4f %9.4f\n", "  the picture's share", share[0], share[1]);
    std::printf("%-44s %9.4f %9.4f\n", "  of it qCompress of its RGB bytes alone", median(deflate[0]),
                median(deflate[1]));
    std::printf("%-44s %9.4f %9.4f\n", "the first such page in this process", first.wall, first.cpu);
    // A print run is a fresh process: it pays the first page, not the warm one.
    const double firstShare[2] = {first.wall - median(empty[0]), first.cpu - median(empty[1])};
    std::printf("lowest ratio any print through Qt's PDF writer can reach here, (without + share) / without:\n"
                "  %.2f by the clock, %.2f by processor time (the picture's share on a warm page);\n"
                "  %.2f by the clock, %.2f by processor time (on the first page of a process)\n",
                (median(wall[0]) + share[0]) / median(wall[0]), (median(cpu[0]) + share[1]) / median(cpu[0]),
                (median(wall[0]) + firstShare[0]) / median(wall[0]),
                (median(cpu[0]) + firstShare[1]) / median(cpu[0]));
    return 0;
}
