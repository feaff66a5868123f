#include "InputFile.h"

#include <QFile>
#include <QFileInfo>

namespace inputfile {

namespace {

QString tooLarge(qint64 maxBytes)
{
    return QStringLiteral("the file is larger than %1 MiB").arg(maxBytes / (1024 * 1024));
}

QString openProblem(const QFile &file)
{
    if (file.error() == QFileDevice::PermissionsError)
        return QStringLiteral("permission denied");
    return QStringLiteral("it cannot be read (%1)").arg(file.errorString());
}

}  // namespace

QString Problem(const QString &fileName, qint64 maxBytes)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return QStringLiteral("the file does not exist");
    if (info.isDir())
        return QStringLiteral("it is a directory");
    if (!info.isFile())
        return QStringLiteral("it is not a regular file");
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return openProblem(file);
    if (file.size() > maxBytes)
        return tooLarge(maxBytes);
    return QString();
}

QByteArray Read(const QString &fileName, qint64 maxBytes)
{
    const QString problem = Problem(fileName, maxBytes);
    if (!problem.isEmpty())
        throw EInputFile(fileName + QStringLiteral(": ") + problem);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EInputFile(fileName + QStringLiteral(": ") + openProblem(file));
    // Read one byte past the cap: the file may have grown since the check.
    QByteArray data = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw EInputFile(fileName + QStringLiteral(": it cannot be read (%1)").arg(file.errorString()));
    if (data.size() > maxBytes)
        throw EInputFile(fileName + QStringLiteral(": ") + tooLarge(maxBytes));
    return data;
}

}  // namespace inputfile
