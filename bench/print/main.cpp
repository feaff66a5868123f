// Whole-process times of qmtool print for 1, 10, 100 and 1,000 full sheets
// of a 30-up address label (three text lines and a rectangle on each label)
// into a PDF file, beside the floor program writing the same pages with Qt
// alone: seconds, peak memory of the process, size of the file, the ratio
// to the floor, and what each further sheet costs; the same in processor
// time (user + system), which a loaded machine disturbs less.
//
//   bench_print [RUNS]      (default 3 runs of each, taking turns; the median is shown)
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
#include <string>
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
    double cpuSeconds = 0;
    long peakKiB = 0;
    qint64 pdfBytes = 0;
    int status = -1;
};

Run runProgram(const QByteArray &tool, const std::vector<const char *> &args, const QByteArray &pdf)
{
    std::vector<const char *> argv = {tool.constData()};
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back(nullptr);
    QFile::remove(QString::fromLocal8Bit(pdf));
    Run r;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, tool.constData(), nullptr, nullptr, const_cast<char **>(argv.data()), environ) != 0)
        return r;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    r.seconds = double(timer.nsecsElapsed()) / 1e9;
    r.peakKiB = usage.ru_maxrss;
    r.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                   + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.pdfBytes = QFileInfo(QString::fromLocal8Bit(pdf)).size();
    return r;
}

Run runTool(const QByteArray &tool, const QByteArray &file, const QByteArray &pdf, int sheets)
{
    const QByteArray count = QByteArray::number(sheets);
    return runProgram(tool, {"print", file.constData(), "-o", pdf.constData(), "--sheets", count.constData()}, pdf);
}

Run runFloor(const QByteArray &floor, const QByteArray &pdf, int sheets)
{
    const QByteArray count = QByteArray::number(sheets);
    return runProgram(floor, {pdf.constData(), count.constData()}, pdf);
}

// The median run by time, with the largest peak memory of all runs.
Run median(std::vector<Run> all)
{
    std::sort(all.begin(), all.end(), [](const Run &a, const Run &b) { return a.seconds < b.seconds; });
    Run result = all[all.size() / 2];
    for (const Run &r : all)
        result.peakKiB = std::max(result.peakKiB, r.peakKiB);
    return result;
}

// The tool and the floor take turns, so that a change of the machine's
// load during the runs weighs on both alike.
template <class T, class F>
bool measure(int runs, T tool, F floor, Run *toolResult, Run *floorResult)
{
    std::vector<Run> tools, floors;
    for (int i = 0; i < runs; ++i) {
        tools.push_back(tool());
        if (tools.back().status != 0) {
            std::fprintf(stderr, "qmtool failed\n");
            return false;
        }
        floors.push_back(floor());
        if (floors.back().status != 0) {
            std::fprintf(stderr, "the floor program failed\n");
            return false;
        }
    }
    *toolResult = median(tools);
    *floorResult = median(floors);
    return true;
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
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    QTemporaryDir dir;
    const QByteArray file = QFile::encodeName(writeAddressLabel(dir.path()));
    const QByteArray pdf = QFile::encodeName(dir.filePath(QStringLiteral("out.pdf")));
    const QString bin = QCoreApplication::applicationDirPath();
    const QByteArray tool = QFile::encodeName(bin + QStringLiteral("/qmtool"));
    const QByteArray floor = QFile::encodeName(bin + QStringLiteral("/bench_print_floor"));

    std::printf("qmtool print beside the floor (QPdfWriter alone), 30-up address labels "
                "(3 text lines + rectangle), median of %d runs\n", runs);
    std::printf("%7s %9s %9s %7s %11s %11s %11s %11s %9s %9s\n", "sheets", "qmtool s", "floor s",
                "ratio", "qm ms/sh", "fl ms/sh", "qm KiB", "fl KiB", "qm PDF", "fl PDF");
    std::vector<std::string> cpuRows;
    Run lastTool, lastFloor;
    int lastSheets = 0;
    for (int sheets : {1, 10, 100, 1000}) {
        Run t, f;
        if (!measure(runs, [&] { return runTool(tool, file, pdf, sheets); },
                     [&] { return runFloor(floor, pdf, sheets); }, &t, &f))
            return 1;
        // Cost of each sheet beyond the previous row's count.
        auto perSheet = [&](const Run &now, const Run &before) {
            return lastSheets ? (now.seconds - before.seconds) * 1000 / (sheets - lastSheets) : 0.0;
        };
        std::printf("%7d %9.3f %9.3f %7.2f %11.2f %11.2f %11ld %11ld %9lld %9lld\n", sheets,
                    t.seconds, f.seconds, t.seconds / f.seconds, perSheet(t, lastTool),
                    perSheet(f, lastFloor), t.peakKiB, f.peakKiB,
                    static_cast<long long>(t.pdfBytes), static_cast<long long>(f.pdfBytes));
        auto perSheetCpu = [&](const Run &now, const Run &before) {
            return lastSheets ? (now.cpuSeconds - before.cpuSeconds) * 1000 / (sheets - lastSheets) : 0.0;
        };
        char row[200];
        const double cpuTool = perSheetCpu(t, lastTool), cpuFloor = perSheetCpu(f, lastFloor);
        std::snprintf(row, sizeof row, "%7d %9.3f %9.3f %7.2f %11.2f %11.2f %11.2f\n", sheets, t.cpuSeconds,
                      f.cpuSeconds, f.cpuSeconds > 0 ? t.cpuSeconds / f.cpuSeconds : 0.0, cpuTool, cpuFloor,
                      cpuFloor > 0 ? cpuTool / cpuFloor : 0.0);
        cpuRows.push_back(row);
        lastTool = t;
        lastFloor = f;
        lastSheets = sheets;
    }
    std::printf("\nprocessor time (user + system) of the same runs\n");
    std::printf("%7s %9s %9s %7s %11s %11s %11s\n", "sheets", "qm cpu s", "fl cpu s", "ratio",
                "qm ms/sh", "fl ms/sh", "ratio/sh");
    for (const std::string &row : cpuRows)
        std::fputs(row.c_str(), stdout);
    return 0;
}
