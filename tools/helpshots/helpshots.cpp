// helpshots OUTDIR [LABELFILE]: shows the program's main window and
// dialogs and saves a picture of each into OUTDIR for the manual. Run by
// scripts/help-shots.sh under xvfb-run, not by the tests.
#include "controls/DialogSupport.h"
#include "controls/Fonts.h"
#include "objects/Register.h"
#include "objects/text/Ggetctr.h"
#include "objects/text/Ggettext.h"
#include "layout/Loadtpl.h"
#include "shell/ConfigInfo.h"
#include "shell/Helpwin.h"
#include "shell/Main.h"
#include "storage/AppPaths.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

QString gOut;

void settle()
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
}

void save(QWidget *w, const QString &name)
{
    settle();
    const QString path = gOut + QLatin1Char('/') + name;
    if (w->grab().save(path))
        std::printf("%s\n", qPrintable(path));
    else
        std::fprintf(stderr, "helpshots: cannot write %s\n", qPrintable(path));
}

void writeFile(const QString &path, const QByteArray &text)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    if (argc < 2) {
        std::fprintf(stderr, "usage: helpshots OUTDIR [LABELFILE]\n");
        return 2;
    }
    gOut = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(gOut);
    // A program folder of its own, so that no one's preferences show.
    QTemporaryDir programDir;
    AppPaths::SetProgramDirOverride(programDir.path());

    RegisterLabelClasses();
    InstallFontSubstitutions();

    QString next;
    SetDialogRunner([&next](QDialog &dialog) {
        if (!next.isEmpty()) {
            dialog.show();
            save(&dialog, next);
            next.clear();
        }
        return int(QDialog::Rejected);
    });

    TQMMainScreen window;
    window.show();
    settle();
    if (argc > 2)
        window.OpenFileFromDesktop(QString::fromLocal8Bit(argv[2]));
    save(&window, QStringLiteral("main-window.png"));

    next = QStringLiteral("select-template.png");
    if (QAction *a = window.findChild<QAction *>(QStringLiteral("mnuNewFromTemplate")))
        a->trigger();
    if (argc > 2)
        window.OpenFileFromDesktop(QString::fromLocal8Bit(argv[2]));

    next = QStringLiteral("labels-print.png");
    if (window.PrinterAvailable())
        window.mnuPrintClick();
    next.clear();

    {
        // A made-up computer, so that the picture shows no real machine.
        QTemporaryDir root;
        writeFile(root.filePath(QStringLiteral("etc/os-release")),
                  "NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\nVERSION_CODENAME=bookworm\n");
        writeFile(root.filePath(QStringLiteral("proc/sys/kernel/osrelease")), "6.1.0-28-amd64\n");
        writeFile(root.filePath(QStringLiteral("proc/sys/kernel/ostype")), "Linux\n");
        writeFile(root.filePath(QStringLiteral("proc/cpuinfo")),
                  "processor\t: 0\nmodel name\t: Example CPU 3.0GHz\nprocessor\t: 1\nmodel name\t: Example CPU 3.0GHz\n");
        writeFile(root.filePath(QStringLiteral("proc/meminfo")),
                  "MemTotal: 8000000 kB\nMemAvailable: 6000000 kB\nSwapTotal: 2000000 kB\nSwapFree: 2000000 kB\n");
        writeFile(root.filePath(QStringLiteral("etc/default/locale")), "LANG=en_US.UTF-8\n");
        writeFile(root.filePath(QStringLiteral("etc/default/keyboard")), "XKBMODEL=\"pc105\"\nXKBLAYOUT=\"us\"\n");
        QProcessEnvironment env;
        env.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
        TSystemProbe probe(root.path(), env);
        probe.Screen = TScreenFacts{1920, 1080, 24, 96};
        probe.VideoDriver = QStringLiteral("xcb");
        probe.PointerDevices = QStringList{QStringLiteral("USB Optical Mouse")};
        probe.Printers = QList<TPrinterDestination>{
            {QStringLiteral("Office_Laser"), QStringLiteral("Generic PCL Laser Printer"),
             QStringLiteral("socket://192.168.1.20:9100")}};
        probe.AddressSpaceLimit = -1;
        TReportSettings settings;
        settings.Version = QStringLiteral(QM_VERSION);
        settings.BuildDate = QStringLiteral("2026-12-09");
        settings.IniFileName = QStringLiteral("/home/user/.config/quillmark/QM.INI");
        settings.Date = QDate(2026, 12, 9);
        TConfigurationInfo info;
        info.BuildReport(settings, probe);
        info.show();
        save(&info, QStringLiteral("config-info.png"));
    }

    // The help window, on the template chooser's page; QM_HELPSHOTS_TOPICS
    // ("1048,40006,...") adds one picture per topic for checking pages.
    TQMHelpWindow *help = TQMHelpWindow::Instance();
    help->resize(800, 560);
    help->ShowTopic(TSelectTemplate::HelpTopic);
    save(help, QStringLiteral("help-window.png"));
    const QStringList topics = qEnvironmentVariable("QM_HELPSHOTS_TOPICS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &topic : topics) {
        help->ShowTopic(topic.toInt());
        save(help, QStringLiteral("help-%1.png").arg(topic));
    }
    help->hide();

    TGetLabelText text;
    text.show();
    save(&text, QStringLiteral("text-dialog.png"));
    TGetCounter counter;
    counter.show();
    save(&counter, QStringLiteral("counter-dialog.png"));
    return 0;
}
