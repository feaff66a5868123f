#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Requests are lines: "activate", or "open " + a file name in UTF-8.
const QByteArray kActivate("activate");
const QByteArray kOpen("open ");

// Longest request a client may send (a path of PATH_MAX bytes and the
// word); anything longer is junk.
constexpr qint64 kMaxRequest = 4096 + 16;

// A folder of ours only: another user must not be able to plant a lock or socket.
bool isPrivateDir(const QByteArray &path)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 0022) == 0;
}

} // namespace

TSingleInstance::TSingleInstance(const QString &name, QObject *parent)
    : QObject(parent)
    , mName(name)
    , mDir(RuntimeDir())
{
}

TSingleInstance::~TSingleInstance()
{
    if (mServer)
        mServer->close();
}

QString TSingleInstance::RuntimeDir()
{
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg) && isPrivateDir(QFile::encodeName(xdg)))
        return QDir::cleanPath(xdg) + QLatin1Char('/');

    const QString dir = QDir::tempPath() + QStringLiteral("/quillmark-%1").arg(::getuid());
    const QByteArray native = QFile::encodeName(dir);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return QString();
    return isPrivateDir(native) ? dir + QLatin1Char('/') : QString();
}

bool TSingleInstance::Start()
{
    if (mServer || (mLock && mLock->isLocked()))
        return true;
    // Without a private folder there is nothing safe to coordinate through;
    // starting a second copy is better than not starting at all.
    if (mDir.isEmpty())
        return true;

    mLock = std::make_unique<QLockFile>(LockFileName());
    // The first copy holds the lock for as long as it runs: only a lock
    // whose process is gone counts as stale, never one that is merely old.
    mLock->setStaleLockTime(0);
    if (!mLock->tryLock(0))
        return mLock->error() != QLockFile::LockFailedError;

    // A socket file left by a copy that crashed would block listen().
    QLocalServer::removeServer(SocketName());
    mServer = new QLocalServer(this);
    mServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(mServer, &QLocalServer::newConnection, this, &TSingleInstance::newConnection);
    if (!mServer->listen(SocketName()))
        qWarning("Cannot listen on %s: %s", qPrintable(SocketName()),
                 qPrintable(mServer->errorString()));
    return true;
}

bool TSingleInstance::ActivateRunning(int timeoutMs)
{
    return send(kActivate, timeoutMs);
}

bool TSingleInstance::OpenInRunning(const QString &fileName, int timeoutMs)
{
    const QByteArray name = fileName.toUtf8();
    // A line feed would end the request early; such a name cannot be passed.
    if (name.contains('\n') || name.size() + kOpen.size() + 1 > kMaxRequest)
        return send(kActivate, timeoutMs);
    return send(kOpen + name, timeoutMs);
}

bool TSingleInstance::send(const QByteArray &request, int timeoutMs)
{
    if (mDir.isEmpty())
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    // The first copy takes the lock before it listens; give it that moment.
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(SocketName());
        if (socket.waitForConnected(int(qMax<qint64>(deadline.remainingTime(), 0)))) {
            socket.write(request + '\n');
            const bool sent = socket.waitForBytesWritten(int(qMax<qint64>(deadline.remainingTime(), 100)));
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(100);
            return sent;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(qMin<qint64>(100, qMax<qint64>(deadline.remainingTime(), 1)));
    }
}

void TSingleInstance::newConnection()
{
    while (QLocalSocket *socket = mServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        readRequest(socket);
    }
}

void TSingleInstance::readRequest(QLocalSocket *socket)
{
    while (socket->canReadLine()) {
        QByteArray line = socket->readLine(kMaxRequest + 2);
        if (!line.endsWith('\n')) {
            // Longer than any request: the rest must not pass for one.
            socket->abort();
            return;
        }
        line.chop(1);
        if (line == kActivate) {
            if (OnActivate)
                OnActivate();
        } else if (line.startsWith(kOpen) && line.size() > kOpen.size()) {
            if (OnActivate)
                OnActivate();
            if (OnOpenFile)
                OnOpenFile(QString::fromUtf8(line.mid(kOpen.size())));
        }
    }
    if (socket->bytesAvailable() > kMaxRequest)
        socket->abort();
}
