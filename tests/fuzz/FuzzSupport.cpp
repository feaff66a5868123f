#include "FuzzTargets.h"

#include "storage/Pictures.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace qmfuzz {

namespace {

QTemporaryDir *scratchDir()
{
    static QTemporaryDir dir;
    return &dir;
}

}  // namespace

void Prepare()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    // Headless, at the suite's resolution, whatever the caller's session.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_FONT_DPI", "96");
    static int argc = 1;
    static char name[] = "qmfuzz";
    static char *argv[] = {name, nullptr};
    // Made once and never destroyed: libFuzzer leaves through exit(), and
    // a static application torn down after Qt's own globals crashes.
    new QApplication(argc, argv);
    RegisterPictureClasses();
}

QString WriteScratchFile(const QByteArray &bytes, const QString &name)
{
    const QString path = scratchDir()->filePath(name);
    QFile::remove(path);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

}  // namespace qmfuzz
