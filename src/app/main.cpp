#include "SelfCheck.h"
#include "objects/Register.h"
#include "controls/DialogSupport.h"
#include "controls/Fonts.h"
#include "shell/Main.h"
#include "shell/Prefs.h"
#include "shell/SingleInstance.h"
#include "storage/AppPaths.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QElapsedTimer startup;
    startup.start();
    // Before the first paint, every label object that was drawn on is on
    // Qt's list of widgets to repaint, and for each of them Qt looks through
    // all the widgets above it for opaque ones to leave out: with thousands
    // of objects that is seconds of work, for nothing, since label objects
    // are never opaque (the panel paints below them). Qt's own switch turns
    // the search off; everything is still painted in order.
    if (qEnvironmentVariableIsEmpty("QT_NO_SUBTRACTOPAQUESIBLINGS"))
        qputenv("QT_NO_SUBTRACTOPAQUESIBLINGS", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setApplicationVersion(QStringLiteral(QM_VERSION));

    // The one argument the program takes is a label file to open (the
    // desktop's "Open With"); --self-check is for the install test.
    const QStringList args = QApplication::arguments().mid(1);
    if (args.value(0) == QLatin1String("--self-check"))
        return SelfCheck();
    QString fileToOpen;
    if (!args.isEmpty() && !args.constFirst().startsWith(QLatin1Char('-')))
        fileToOpen = QFileInfo(args.constFirst()).absoluteFilePath();

    // One copy per user: a second start brings the first to the front
    // and hands it the file to open.
    TSingleInstance instance;
    const bool first = instance.Start();
    // Before anything reads the preferences.
    MigrateOldPreferencesFile(AppPaths::ProgramDir());
    if (!first) {
        if (fileToOpen.isEmpty())
            instance.ActivateRunning();
        else
            instance.OpenInRunning(fileToOpen);
        return 0;
    }

    // Label files and the drawing tools create objects by class name.
    RegisterLabelClasses();
    InstallFontSubstitutions();
    // Screen readers get a name for every control of every window.
    InstallControlNaming();
    TQMMainScreen window;
    instance.OnActivate = [&window] {
        if (window.isMinimized())
            window.showNormal();
        window.raise();
        window.activateWindow();
    };
    instance.OnOpenFile = [&window](const QString &fileName) { window.OpenFileFromDesktop(fileName); };
    if (!fileToOpen.isEmpty()) {
        // After the first activation, which may have reopened the last design.
        QObject::connect(&window, &TQMMainScreen::Activated, &window,
                         [&window, fileToOpen] { window.OpenFileFromDesktop(fileToOpen); },
                         Qt::QueuedConnection);
    }
    // For measuring start-up: QM_REPORT_STARTUP=1 prints the time from here
    // to the first paint of the activated window, and quits without saving.
    if (qEnvironmentVariableIsSet("QM_REPORT_STARTUP")) {
        window.OnActivated = [&window, &startup] {
            window.repaint();
            std::printf("quillmark: painted after %.1f ms\n", double(startup.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            std::_Exit(0);
        };
    }
    window.show();
    return app.exec();
}
