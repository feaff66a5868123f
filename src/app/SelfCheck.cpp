#include "SelfCheck.h"

#include "layout/Loadtpl.h"
#include "layout/TemplateLibrary.h"
#include "shell/Helpwin.h"
#include "storage/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QHelpEngine>

#include <cstdio>

namespace {

void line(const QString &text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

}  // namespace

int SelfCheck()
{
    bool ok = true;

    TSelectTemplate chooser;
    chooser.show();
    QCoreApplication::processEvents();
    const int templates = int(chooser.TemplateList.size());
    line(QStringLiteral("templates: %1, %2 templates").arg(TemplateLibrary::defaultPath()).arg(templates));
    chooser.hide();
    ok = ok && templates > 0;

    TQMHelpWindow *help = TQMHelpWindow::Instance();
    help->ShowTopic(TSelectTemplate::HelpTopic);
    QCoreApplication::processEvents();
    const QString ns = QHelpEngineCore::namespaceName(TQMHelpWindow::DefaultHelpFile());
    const qsizetype pages = help->Engine()->files(ns, QString(), QStringLiteral("html")).size();
    line(QStringLiteral("help: %1, %2 pages, \"%3\"")
             .arg(TQMHelpWindow::DefaultHelpFile())
             .arg(pages)
             .arg(help->CurrentTitle()));
    ok = ok && help->IsValid() && pages > 0 && !help->CurrentTitle().isEmpty();
    TQMHelpWindow::DestroyInstance();

    const QString textures = AppPaths::DataFolderPath(QStringLiteral("bmbrush"));
    if (textures.isEmpty())
        line(QStringLiteral("textures: missing"));
    else
        line(QStringLiteral("textures: %1, %2 files")
                 .arg(textures)
                 .arg(QDir(textures).entryList(QDir::Files).size()));
    return ok ? 0 : 1;
}
