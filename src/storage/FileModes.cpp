#include "storage/FileModes.h"

#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>

namespace {

mode_t currentUmask()
{
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

}  // namespace

void KeepUsualPermissions(QSaveFile &file, const QString &target)
{
    const int fd = file.handle();
    if (fd < 0)
        return;
    struct stat st;
    const QByteArray path = QFile::encodeName(target);
    const mode_t mode = ::stat(path.constData(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~currentUmask());
    ::fchmod(fd, mode);
}

bool CopyForUser(const QString &source, const QString &target, QString *error)
{
    const auto failed = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return failed(in.errorString());
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return failed(out.errorString());
    char buffer[1 << 16];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0)
            return failed(in.errorString());
        if (n == 0)
            break;
        if (out.write(buffer, n) != n)
            return failed(out.errorString());
    }
    KeepUsualPermissions(out, target);
    if (!out.commit())
        return failed(out.errorString());
    return true;
}
