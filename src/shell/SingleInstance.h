#pragma once
// Keeps the program to one running copy per user.

#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

// TSingleInstance: decides whether this process is the first running copy
// for the user. The first copy holds a lock file and listens on a local
// socket; a later copy finds the lock held, asks the first one over the
// socket to come to the front, and ends.
//
//     TSingleInstance instance;
//     if (!instance.Start()) { instance.ActivateRunning(); return 0; }
//     instance.OnActivate = [&window] { ...bring window to the front... };
class TSingleInstance : public QObject
{
    Q_OBJECT
public:
    // name tells programs (and tests) apart; the lock and socket live in
    // RuntimeDir() as name + ".lock" and name + ".socket".
    explicit TSingleInstance(const QString &name = QStringLiteral("quillmark"),
                             QObject *parent = nullptr);
    ~TSingleInstance() override;

    // True when this is the first copy: the lock is taken (a lock left by a
    // copy that crashed is cleared first) and the socket is listening. Also
    // true when no private folder for the lock can be had, so that the
    // program still starts.
    bool Start();

    // For a later copy: tells the first one to come to the front. False
    // when it could not be reached within timeoutMs.
    bool ActivateRunning(int timeoutMs = 3000);
    // For a later copy: asks the first one to open the label file (an
    // absolute path) and come to the front.
    bool OpenInRunning(const QString &fileName, int timeoutMs = 3000);

    // Called in the first copy when a later copy asks it to come to the front.
    std::function<void()> OnActivate;
    // Called in the first copy with the file a later copy was asked to open.
    std::function<void(const QString &fileName)> OnOpenFile;

    // $XDG_RUNTIME_DIR, or /tmp/quillmark-<uid> made private to the user.
    // Empty when neither is usable.
    static QString RuntimeDir();

    QString LockFileName() const { return mDir + mName + QStringLiteral(".lock"); }
    QString SocketName() const { return mDir + mName + QStringLiteral(".socket"); }

private:
    void newConnection();
    void readRequest(QLocalSocket *socket);
    bool send(const QByteArray &request, int timeoutMs);

    QString mName;
    QString mDir;
    std::unique_ptr<QLockFile> mLock;
    QLocalServer *mServer = nullptr;
};
