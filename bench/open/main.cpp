// Opening label files of 10 to 10,000 mixed objects (text, counters,
// rectangles, ellipses, lines), whole process: `qmtool dump FILE` and the
// main window reopening the file as its last design and painting it; and the
// main window's start-up with no design. Seconds (median of the runs); the
// program's own figure is what QM_REPORT_STARTUP makes it print, from main()
// to the first paint of the window.
//
//   bench_open [RUNS [MAX]]   (default 3 runs, files of up to 10,000 objects)
//   bench_open --write DIR N  (writes DIR/objectsN.qm for profiling, nothing else)

#include "design/Gbasepnl.h"
#include "objects/Register.h"
#include "objects/graphic/Glines.h"
#include "objects/graphic/Glshapes.h"
#include "objects/text/Gpclabel.h"
#include "objects/text/Gplabel.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

QString writeDesign(const QString &dir, int count)
{
    TGBasePanel panel;
    panel.resize(254, 96);
    for (int i = 0; i < count; ++i) {
        const int x = (i * 37) % 200, y = (i * 53) % 70;
        TGGraphicControl *o = nullptr;
        switch (i % 5) {
        case 0: {
            auto *t = new TGPLabel;
            t->SetParentComponent(&panel);
            t->FinishLoading();
            t->SetCaption(QStringLiteral("Text %1").arg(i));
            o = t;
            break;
        }
        case 1: {
            auto *c = new TGCounterLabel;
            c->SetParentComponent(&panel);
            c->FinishLoading();
            c->SetStartingnumber(i);
            c->BuildCaption();
            o = c;
            break;
        }
        case 2:
        case 3: {
            auto *s = new TGLabelShapes;
            s->SetParentComponent(&panel);
            s->FinishLoading();
            if (i % 5 == 3)
                s->SetShape(stEllipse);
            o = s;
            break;
        }
        default: {
            auto *l = new TGLineShape;
            l->SetParentComponent(&panel);
            l->FinishLoading();
            o = l;
            break;
        }
        }
        o->SetBounds(x, y, 40 + i % 17, 16 + i % 9);
    }
    const QString file = dir + QStringLiteral("/objects%1.qm").arg(count);
    TGLabelObjectFiler().WriteLabelFile(&panel, file, TLabelLayout::Default());
    return file;
}

struct Run
{
    double seconds = -1;
    QByteArray out;
};

// Runs a program with its standard output in `outFile`.
Run spawn(const std::vector<QByteArray> &args, const QByteArray &outFile, char **env)
{
    std::vector<char *> argv;
    for (const QByteArray &a : args)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Run r;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return r;
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return r;
    r.seconds = double(timer.nsecsElapsed()) / 1e9;
    QFile f(QString::fromLocal8Bit(outFile));
    if (f.open(QIODevice::ReadOnly))
        r.out = f.readAll();
    return r;
}

struct Figure
{
    double seconds = -1;  // whole process, median
    double reported = -1; // the program's own figure, ms, median
};

template <class F>
Figure median(int runs, F run)
{
    std::vector<double> whole, own;
    for (int i = 0; i < runs; ++i) {
        const Run r = run();
        if (r.seconds < 0)
            return {};
        whole.push_back(r.seconds);
        const int at = int(r.out.indexOf("painted after "));
        if (at >= 0)
            own.push_back(r.out.mid(at + 14).split(' ').first().toDouble());
    }
    std::sort(whole.begin(), whole.end());
    std::sort(own.begin(), own.end());
    return {whole[whole.size() / 2], own.empty() ? -1 : own[own.size() / 2]};
}

}  // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_FONT_DPI", "96");
    QApplication app(argc, argv);
    RegisterLabelClasses();
    if (argc == 4 && qstrcmp(argv[1], "--write") == 0) {
        std::printf("%s\n", qPrintable(writeDesign(QString::fromLocal8Bit(argv[2]), atoi(argv[3]))));
        return 0;
    }
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const int most = argc > 2 ? atoi(argv[2]) : 10000;
    QTemporaryDir dir;
    const QString bin = QCoreApplication::applicationDirPath();
    const QByteArray qmtool = QFile::encodeName(bin + QStringLiteral("/qmtool"));
    const QByteArray quillmark = QFile::encodeName(bin + QStringLiteral("/quillmark"));
    const QByteArray out = QFile::encodeName(dir.filePath(QStringLiteral("out.txt")));

    // The main window runs in its own program folder, with the design as
    // its most recent file.
    const QString programDir = dir.filePath(QStringLiteral("program"));
    QDir().mkpath(programDir);
    // A runtime folder of its own, so that a copy of the program someone
    // else runs does not count as this one's first copy.
    const QString runtimeDir = dir.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtimeDir);
    QFile::setPermissions(runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    std::vector<std::string> envStrings;
    for (char **e = environ; *e; ++e) {
        const std::string s = *e;
        if (s.rfind("QM_PROGRAM_DIR=", 0) != 0 && s.rfind("QM_REPORT_STARTUP=", 0) != 0
            && s.rfind("XDG_RUNTIME_DIR=", 0) != 0)
            envStrings.push_back(s);
    }
    envStrings.push_back("XDG_RUNTIME_DIR=" + runtimeDir.toStdString());
    envStrings.push_back("QM_PROGRAM_DIR=" + programDir.toStdString());
    envStrings.push_back("QM_REPORT_STARTUP=1");
    std::vector<char *> env;
    for (std::string &s : envStrings)
        env.push_back(s.data());
    env.push_back(nullptr);
    auto setRecent = [&](const QString &file) {
        QFile ini(programDir + QStringLiteral("/QM.INI"));
        if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        if (!file.isEmpty())
            ini.write("[MRU]\nF0=" + file.toLocal8Bit() + "\n");
        return true;
    };
    auto startWindow = [&] { return spawn({quillmark}, out, env.data()); };

    setRecent(QString());
    const Figure empty = median(runs, startWindow);
    std::printf("quillmark start-up, no design: %.3f s whole process, %.1f ms to the first paint\n\n",
                empty.seconds, empty.reported);

    std::printf("opening label files of mixed objects, median of %d runs\n", runs);
    std::printf("%8s %12s %14s %14s %16s\n", "objects", "file bytes", "qmtool dump s",
                "quillmark s", "to painted ms");
    for (int count : {10, 100, 1000, 10000}) {
        if (count > most)
            break;
        const QString file = writeDesign(dir.path(), count);
        const QByteArray name = QFile::encodeName(file);
        const Figure dump = median(runs, [&] { return spawn({qmtool, "dump", name}, out, environ); });
        setRecent(file);
        const Figure window = median(runs, startWindow);
        std::printf("%8d %12lld %14.3f %14.3f %16.1f\n", count,
                    static_cast<long long>(QFileInfo(file).size()), dump.seconds, window.seconds,
                    window.reported);
    }
    return 0;
}
