#include "TestFiles.h"

#include "shell/SingleInstance.h"

#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <memory>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> mRuntime;
    QByteArray mSavedRuntime;
    QString mName;

private Q_SLOTS:
    void init()
    {
        // A private runtime folder of the test's own, like a login session's.
        mSavedRuntime = qgetenv("XDG_RUNTIME_DIR");
        mRuntime = std::make_unique<QTemporaryDir>();
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(mRuntime->path()));
        mName = QStringLiteral("qm-test-") + QUuid::createUuid().toString(QUuid::Id128);
    }

    void cleanup()
    {
        if (mSavedRuntime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", mSavedRuntime);
    }

    void secondCopyActivatesFirst()
    {
        TSingleInstance first(mName);
        int activations = 0;
        first.OnActivate = [&] { ++activations; };
        QVERIFY(first.Start());
        QVERIFY(first.LockFileName().startsWith(mRuntime->path()));

        TSingleInstance second(mName);
        QVERIFY(!second.Start());
        QVERIFY(second.ActivateRunning());
        QTRY_COMPARE(activations, 1);

        // A third copy started later is turned away the same way.
        TSingleInstance third(mName);
        QVERIFY(!third.Start());
        QVERIFY(third.ActivateRunning());
        QTRY_COMPARE(activations, 2);
    }

    void otherRequestsIgnored_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("unknown word") << QByteArray("hello\n");
        QTest::newRow("no line end") << QByteArray("activate");
        QTest::newRow("flood") << QByteArray(64 * 1024, 'a');
        QTest::newRow("open without a name") << QByteArray("open \n");
        QTest::newRow("open of an overlong name") << "open /" + QByteArray(5000, 'a') + "\nactivate\n";
    }

    void otherRequestsIgnored()
    {
        QFETCH(QByteArray, request);
        TSingleInstance first(mName);
        int activations = 0;
        first.OnActivate = [&] { ++activations; };
        first.OnOpenFile = [&](const QString &) { activations += 100; };
        QVERIFY(first.Start());
        {
            QLocalSocket socket;
            socket.connectToServer(first.SocketName());
            QVERIFY(socket.waitForConnected(2000));
            socket.write(request);
            socket.waitForBytesWritten(2000);
            QTest::qWait(50);
        }
        QTest::qWait(50);
        QCOMPARE(activations, 0);
        // The first copy still answers a proper request afterwards.
        TSingleInstance second(mName);
        QVERIFY(!second.Start());
        QVERIFY(second.ActivateRunning());
        QTRY_COMPARE(activations, 1);
    }

    void secondCopyPassesItsFile_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("plain") << QStringLiteral("/home/u/labels/address.qm");
        QTest::newRow("blanks and accents") << QStringLiteral("/home/u/Étiquettes de Noël/carte 1.qm");
        QTest::newRow("longest that fits") << QLatin1Char('/') + QString(4090, QLatin1Char('x'));
    }

    void secondCopyPassesItsFile()
    {
        QFETCH(QString, fileName);
        TSingleInstance first(mName);
        QStringList opened;
        int activations = 0;
        first.OnActivate = [&] { ++activations; };
        first.OnOpenFile = [&](const QString &name) { opened << name; };
        QVERIFY(first.Start());
        TSingleInstance second(mName);
        QVERIFY(!second.Start());
        QVERIFY(second.OpenInRunning(fileName));
        QTRY_COMPARE(opened, QStringList{fileName});
        QCOMPARE(activations, 1);
    }

    void leftoversOfACrashDoNotBlock()
    {
        TSingleInstance probe(mName);
        // A lock whose process no longer exists, and the socket file it left.
        writeFile(probe.LockFileName(), "999999999\nquillmark\n\n");
        writeFile(probe.SocketName(), "");

        TSingleInstance first(mName);
        int activations = 0;
        first.OnActivate = [&] { ++activations; };
        QVERIFY(first.Start());
        TSingleInstance second(mName);
        QVERIFY(!second.Start());
        QVERIFY(second.ActivateRunning());
        QTRY_COMPARE(activations, 1);
    }

    void lockReleasedOnExit()
    {
        {
            TSingleInstance first(mName);
            QVERIFY(first.Start());
        }
        QVERIFY(dirEntries(mRuntime->path()).isEmpty());
        TSingleInstance next(mName);
        QVERIFY(next.Start());
    }

    void nobodyToActivate()
    {
        TSingleInstance lone(mName);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!lone.ActivateRunning(300));
        QVERIFY(timer.elapsed() < 2000);
    }

    void unsafeRuntimeFolderNotUsed()
    {
        QTemporaryDir open;
        QFile::setPermissions(open.path(), QFileDevice::Permissions(0x7777));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(open.path()));
        const QString dir = TSingleInstance::RuntimeDir();
        QVERIFY2(!dir.startsWith(open.path()), qPrintable(dir));
    }
};

std::unique_ptr<QObject> makeSingleInstanceTest()
{
    return std::make_unique<TestSingleInstance>();
}

#include "tst_SingleInstance.moc"
