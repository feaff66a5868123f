// Whole-process times of qmtool print for 10 and 100 full sheets of a 30-up
// address label (three text lines and a rectangle on each label) into a PDF
// file: seconds, peak memory of the process and size of the file.
//
//   bench_print [RUNS]      (default 5 runs of each; the median is shown)
//   bench_print --write DIR (writes DIR/address.qm for profiling, nothing else)

#include "design/Gbasepnl.h"
#include "objects/Register.h"
#include "objects/graphic/Glshapes.h"
#include "objects/text/Gplabel.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

void addLine(TGBasePanel &panel, int top, const QString &text)
{
    auto *label = new TGPLabel;
    label->SetParentComponent(&panel);
    label->FinishLoading();
    label->SetBounds(12, top, 220, 20);
    label->SetCaption(text);
}

QString writeAddressLabel(const QString &dir)
{
    TGBasePanel panel;
    panel.resize(254, 96);
    auto *frame = new TGLabelShapes;
    frame->SetParentComponent(&panel);
    frame->FinishLoading();
    frame->SetBounds(4, 4, 246, 88);
    frame->SetTransparent(true);
    addLine(panel, 12, QStringLiteral("Jane Q. Example"));
    addLine(panel, 36, QStringLiteral("1234 Any Street, Apt. 5"));
    addLine(panel, 60, QStringLiteral("Springfield, ST 12345-6789"));
    const QString file = dir + QStringLiteral("/address.qm");
    TGLabelObjectFiler().WriteLabelFile(&panel, file, TLabelLayout::Default());
    return file;
}

struct Run
{
    double seconds = 0;
    long peakKiB = 0;
    qint64 pdfBytes = 0;
    int status = -1;
};

Run runTool(const QByteArray &tool, const QByteArray &file, const QByteArray &pdf, int sheets)
{
    const QByteArray count = QByteArray::number(sheets);
    const char *argv[] = {tool.constData(), "print", file.constData(), "-o", pdf.constData(),
                          "--sheets", count.constData(), nullptr};
    Run r;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, tool.constData(), nullptr, nullptr, const_cast<char **>(argv), environ) != 0)
        return r;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    r.seconds = double(timer.nsecsElapsed()) / 1e9;
    r.peakKiB = usage.ru_maxrss;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.pdfBytes = QFileInfo(QString::fromLocal8Bit(pdf)).size();
    return r;
}

}  // namespace

int main(int argc, char *argv[])
{
    // Headless, as in a script; the tool is timed the same way.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterLabelClasses();
    if (argc > 2 && QByteArray(argv[1]) == "--write") {
        const QString dir = QString::fromLocal8Bit(argv[2]);
        if (!QDir().mkpath(dir)) {
            std::fprintf(stderr, "bench_print: cannot create %s\n", argv[2]);
            return 1;
        }
        try {
            std::printf("%s\n", qPrintable(writeAddressLabel(dir)));
        } catch (const std::exception &e) {
            std::fprintf(stderr, "bench_print: %s\n", e.what());
            return 1;
        }
        return 0;
    }
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const QByteArray file = QFile::encodeName(writeAddressLabel(dir.path()));
    const QByteArray pdf = QFile::encodeName(dir.filePath(QStringLiteral("out.pdf")));
    const QByteArray tool = QFile::encodeName(QCoreApplication::applicationDirPath() + QStringLiteral("/qmtool"));

    std::printf("qmtool print, 30-up address labels (3 text lines + rectangle), %d runs each\n", runs);
    std::printf("%8s %8s %10s %10s %12s %14s\n", "sheets", "labels", "median s", "min s",
                "peak KiB", "PDF bytes");
    for (int sheets : {1, 10, 100}) {
        std::vector<Run> all;
        for (int i = 0; i < runs; ++i) {
            all.push_back(runTool(tool, file, pdf, sheets));
            if (all.back().status != 0) {
                std::fprintf(stderr, "qmtool failed (status %d)\n", all.back().status);
                return 1;
            }
        }
        std::sort(all.begin(), all.end(), [](const Run &a, const Run &b) { return a.seconds < b.seconds; });
        const Run &median = all[all.size() / 2];
        long peak = 0;
        for (const Run &r : all)
            peak = std::max(peak, r.peakKiB);
        std::printf("%8d %8d %10.3f %10.3f %12ld %14lld\n", sheets, sheets * 30, median.seconds,
                    all.front().seconds, peak, static_cast<long long>(median.pdfBytes));
    }
    return 0;
}
