// Whole-process times of qmtool print --merge for 10, 100, 1,000 and 10,000
// records of an address list onto the 30-up default sheet (three merged text
// lines and a rectangle on each label) into a PDF file: seconds, sheets,
// peak memory of the process, size of the file, what each further record
// costs, and the same run with the records typed in (no fields, --sheets)
// as the floor a merge is measured against.
//
//   bench_merge [RUNS]      (default 3 runs of each; the median is shown)

#include "design/Gbasepnl.h"
#include "objects/Register.h"
#include "objects/graphic/Glshapes.h"
#include "objects/text/Gplabel.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"

#include <QApplication>
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

QString writeLabel(const QString &file, const QStringList &lines)
{
    TGBasePanel panel;
    panel.resize(254, 96);
    auto *frame = new TGLabelShapes;
    frame->SetParentComponent(&panel);
    frame->FinishLoading();
    frame->SetBounds(4, 4, 246, 88);
    frame->SetTransparent(true);
    for (int i = 0; i < lines.size(); ++i) {
        auto *label = new TGPLabel;
        label->SetParentComponent(&panel);
        label->FinishLoading();
        label->SetBounds(12, 12 + 24 * i, 220, 20);
        label->SetCaption(lines.at(i));
    }
    TGLabelObjectFiler().WriteLabelFile(&panel, file, TLabelLayout::Default());
    return file;
}

void writeRecords(const QString &file, int records)
{
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write("Name,Street,City\r\n");
    for (int i = 1; i <= records; ++i) {
        f.write(QStringLiteral("Jane Example %1,\"%1 Any Street, Apt. 5\",Springfield ST %2\r\n")
                    .arg(i)
                    .arg(10000 + i % 90000)
                    .toUtf8());
    }
}

struct Run
{
    double seconds = 0;
    long peakKiB = 0;
    qint64 pdfBytes = 0;
    int status = -1;
};

Run runProgram(const QByteArray &tool, const std::vector<QByteArray> &args, const QByteArray &pdf)
{
    std::vector<const char *> argv = {tool.constData()};
    for (const QByteArray &a : args)
        argv.push_back(a.constData());
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
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.pdfBytes = QFileInfo(QString::fromLocal8Bit(pdf)).size();
    return r;
}

template <class F>
bool measure(int runs, F run, Run *result)
{
    std::vector<Run> all;
    for (int i = 0; i < runs; ++i) {
        all.push_back(run());
        if (all.back().status != 0)
            return false;
    }
    std::sort(all.begin(), all.end(), [](const Run &a, const Run &b) { return a.seconds < b.seconds; });
    *result = all[all.size() / 2];
    for (const Run &r : all)
        result->peakKiB = std::max(result->peakKiB, r.peakKiB);
    return true;
}

}  // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterLabelClasses();
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    QTemporaryDir dir;
    const QByteArray merged = QFile::encodeName(writeLabel(
        dir.filePath(QStringLiteral("merge.qm")),
        {QStringLiteral("${Name}"), QStringLiteral("${Street}"), QStringLiteral("${City}")}));
    const QByteArray typed = QFile::encodeName(writeLabel(
        dir.filePath(QStringLiteral("typed.qm")),
        {QStringLiteral("Jane Example 1"), QStringLiteral("1 Any Street, Apt. 5"),
         QStringLiteral("Springfield ST 10001")}));
    const QByteArray pdf = QFile::encodeName(dir.filePath(QStringLiteral("out.pdf")));
    const QByteArray tool = QFile::encodeName(QCoreApplication::applicationDirPath() + QStringLiteral("/qmtool"));

    std::printf("qmtool print --merge, 30-up address labels (3 merged lines + rectangle), "
                "median of %d runs; floor: the same sheets with the text typed in\n", runs);
    std::printf("%8s %7s %9s %9s %7s %11s %10s %10s %10s\n", "records", "sheets", "merge s", "floor s",
                "ratio", "ms/1000rec", "merge KiB", "floor KiB", "merge PDF");
    Run last;
    int lastRecords = 0;
    for (int records : {10, 100, 1000, 10000}) {
        const QByteArray data = QFile::encodeName(dir.filePath(QStringLiteral("list%1.csv").arg(records)));
        writeRecords(QFile::decodeName(data), records);
        const int sheets = (records + 29) / 30;
        Run m, f;
        if (!measure(runs, [&] { return runProgram(tool, {"print", merged, "--merge", data, "-o", pdf}, pdf); }, &m)) {
            std::fprintf(stderr, "qmtool print --merge failed\n");
            return 1;
        }
        if (!measure(runs, [&] {
                return runProgram(tool, {"print", typed, "--sheets", QByteArray::number(sheets), "-o", pdf}, pdf);
            }, &f)) {
            std::fprintf(stderr, "qmtool print failed\n");
            return 1;
        }
        const double perThousand =
            lastRecords ? (m.seconds - last.seconds) * 1e6 / (records - lastRecords) : 0.0;
        std::printf("%8d %7d %9.3f %9.3f %7.2f %11.1f %10ld %10ld %10lld\n", records, sheets, m.seconds,
                    f.seconds, m.seconds / f.seconds, perThousand, m.peakKiB, f.peakKiB,
                    static_cast<long long>(m.pdfBytes));
        last = m;
        lastRecords = records;
    }
    return 0;
}
