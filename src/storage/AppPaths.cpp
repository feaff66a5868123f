#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef QM_DATA_DIR
#define QM_DATA_DIR "/usr/local/share/quillmark"
#endif

namespace AppPaths {

namespace {

QString gOverride;

QString withSlash(const QString &dir)
{
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

QString overrideDir()
{
    if (!gOverride.isEmpty())
        return gOverride;
    return qEnvironmentVariable("QM_PROGRAM_DIR");
}

QString userConfigDir()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // The XDG rules ignore a relative value.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return withSlash(base) + QStringLiteral("quillmark/");
}

} // namespace

QString ExecutableDir()
{
    QString dir;
    if (QCoreApplication::instance())
        dir = QCoreApplication::applicationDirPath();
    else
        dir = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
    return withSlash(dir);
}

QString ProgramDir()
{
    QString dir = overrideDir();
    if (dir.isEmpty()) {
        dir = ExecutableDir();
        if (!QFileInfo(dir).isWritable())
            dir = userConfigDir();
    }
    dir = withSlash(QDir::cleanPath(QDir(dir).absolutePath()));
    QDir().mkpath(dir);
    return dir;
}

QString ProgramFilePath(const QString &name)
{
    return ProgramDir() + name;
}

QStringList DataDirs()
{
    QStringList dirs;
    const QString over = overrideDir();
    if (!over.isEmpty())
        dirs << withSlash(over);
    // An installed tree moved elsewhere as a whole still finds its data.
    dirs << ExecutableDir()
         << withSlash(QDir::cleanPath(ExecutableDir() + QStringLiteral("../share/quillmark")))
         << withSlash(QStringLiteral(QM_DATA_DIR));
    dirs.removeDuplicates();
    return dirs;
}

QString DataFolderPath(const QString &name)
{
    const QStringList dirs = DataDirs();
    for (const QString &dir : dirs) {
        const QString path = FindFileNoCase(dir, name);
        if (QFileInfo(path).isDir())
            return withSlash(path);
    }
    return QString();
}

QString DataFilePath(const QString &name)
{
    const QStringList dirs = DataDirs();
    for (const QString &dir : dirs) {
        const QString path = FindFileNoCase(dir, name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return ExecutableDir() + name;
}

QString DataDirPath(const QString &name)
{
    QString path = DataFolderPath(name);
    if (path.isEmpty())
        return ExecutableDir() + name;
    path.chop(1);
    return path;
}

void SetProgramDirOverride(const QString &dir)
{
    gOverride = dir;
}

QString FindFileNoCase(const QString &dir, const QString &name)
{
    const QDir d(dir);
    const QString exact = d.filePath(name);
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries = d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                | QDir::NoDotAndDotDot,
                                            QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return d.filePath(entry);
    }
    return exact;
}

} // namespace AppPaths
