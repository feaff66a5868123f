// Saves a picture of every main window state, menu and dialog as PNG.
//   look_shots OUTDIR [--dark] [--font POINTS]
// The screen scale comes from QT_SCALE_FACTOR, as for the program.

#include "LookWindows.h"

#include "controls/DialogSupport.h"
#include "controls/Fonts.h"
#include "objects/Register.h"
#include "shell/Helpwin.h"
#include "shell/Main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

QString fileName(QString name)
{
    name = name.toLower();
    name.replace(QLatin1Char(' '), QLatin1Char('-'));
    return name + QStringLiteral(".png");
}

bool save(QWidget *w, const QDir &out, const QString &name)
{
    QApplication::processEvents();
    const QString path = out.filePath(fileName(name));
    if (!w->grab().save(path)) {
        std::fprintf(stderr, "look_shots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The accessible name of every named control, to read over.
void listNames(QWidget *w, const QString &window, QTextStream &out)
{
    for (QWidget *c : w->findChildren<QWidget *>())
        if (!c->accessibleName().isEmpty())
            out << window << '\t' << c->metaObject()->className() << ' ' << c->objectName() << '\t'
                << c->accessibleName() << '\n';
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: look_shots OUTDIR [--dark] [--font POINTS]\n");
        return 2;
    }
    QDir out(args.first());
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "look_shots: cannot make %s\n", qPrintable(args.first()));
        return 1;
    }
    if (args.contains(QLatin1String("--dark")))
        QApplication::setPalette(DarkPalette());
    const int fontAt = int(args.indexOf(QLatin1String("--font")));
    if (fontAt > 0 && fontAt + 1 < args.size()) {
        QFont f = QApplication::font();
        f.setPointSize(args.at(fontAt + 1).toInt());
        QApplication::setFont(f);
    }

    QTemporaryDir programDir;
    qputenv("XDG_CACHE_HOME", programDir.filePath(QStringLiteral("cache")).toLocal8Bit());
    PrepareLookEnvironment(programDir.path(), QStringLiteral(QM_TEMPLATE_LIBRARY));
    RegisterLabelClasses();
    InstallFontSubstitutions();
    InstallControlNaming();

    bool ok = true;
    QFile namesFile(out.filePath(QStringLiteral("accessible-names.txt")));
    namesFile.open(QIODevice::WriteOnly | QIODevice::Text);
    QTextStream names(&namesFile);
    {
        TQMMainScreen window;
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 1;
        for (const TMainWindowState &state : MainWindowStates()) {
            state.apply(window);
            ok &= save(&window, out, state.name);
        }
        listNames(&window, QStringLiteral("Main window"), names);
        for (QMenu *menu : window.menuBar()->findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (menu->objectName().isEmpty())
                continue;
            menu->popup(window.mapToGlobal(QPoint(0, 0)));
            QTest::qWait(50);
            ok &= save(menu, out, QStringLiteral("menu-") + menu->objectName().mid(3));
            menu->hide();
        }
        for (const TWindowCase &c : EveryDialog()) {
            QWidget *w = c.make();
            w->show();
            QTest::qWaitForWindowExposed(w);
            QTest::qWait(50);
            ok &= save(w, out, QStringLiteral("dialog-") + c.name);
            listNames(w, c.name, names);
            w->hide();
            if (w != TQMHelpWindow::Instance())
                delete w;
        }
    }
    TQMHelpWindow::DestroyInstance();
    return ok ? 0 : 1;
}
