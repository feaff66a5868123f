#include "objects/Register.h"
#include "controls/Fonts.h"
#include "shell/Main.h"
#include "shell/Prefs.h"
#include "shell/SingleInstance.h"
#include "storage/AppPaths.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setApplicationVersion(QStringLiteral(QM_VERSION));

    // One copy per user: a second start brings the first to the front.
    TSingleInstance instance;
    const bool first = instance.Start();
    // Before anything reads the preferences.
    MigrateOldPreferencesFile(AppPaths::ProgramDir());
    if (!first) {
        instance.ActivateRunning();
        return 0;
    }

    // Label files and the drawing tools create objects by class name.
    RegisterLabelClasses();
    InstallFontSubstitutions();
    TQMMainScreen window;
    instance.OnActivate = [&window] {
        if (window.isMinimized())
            window.showNormal();
        window.raise();
        window.activateWindow();
    };
    window.show();
    return app.exec();
}
