// fuzz_replay FOLDER...: runs every file of FOLDER/<target>/ through that
// target, as the fuzzer would; ctest runs it over the regression inputs.
// Exit status 0 when every input was handled (a fault crashes instead).

#include "FuzzTargets.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fputs("usage: fuzz_replay FOLDER...\n", stderr);
        return 2;
    }
    qmfuzz::Prepare();
    int inputs = 0;
    for (int a = 1; a < argc; ++a) {
        const QDir top(QString::fromLocal8Bit(argv[a]));
        if (!top.exists()) {
            std::fprintf(stderr, "fuzz_replay: no folder %s\n", argv[a]);
            return 1;
        }
        for (const QString &sub : top.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const qmfuzz::Target *target = nullptr;
            for (const qmfuzz::Target &t : qmfuzz::Targets)
                if (sub == QLatin1String(t.name))
                    target = &t;
            if (!target) {
                std::fprintf(stderr, "fuzz_replay: no target named %s\n", qPrintable(sub));
                return 1;
            }
            QDirIterator files(top.filePath(sub), QDir::Files, QDirIterator::Subdirectories);
            while (files.hasNext()) {
                const QString path = files.next();
                QFile file(path);
                if (!file.open(QIODevice::ReadOnly)) {
                    std::fprintf(stderr, "fuzz_replay: cannot read %s\n", qPrintable(path));
                    return 1;
                }
                QElapsedTimer timer;
                timer.start();
                target->run(file.readAll());
                ++inputs;
                if (timer.elapsed() > 2000)
                    std::fprintf(stderr, "fuzz_replay: %s took %lld ms\n", qPrintable(path),
                                 static_cast<long long>(timer.elapsed()));
            }
        }
    }
    std::printf("fuzz_replay: %d inputs\n", inputs);
    return 0;
}
