// qmtool: Quillmark's command-line tool. Each command is a function taking
// its arguments; output goes to stdout, errors to stderr with exit status 1.

#include "Commands.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: qmtool COMMAND [ARGS]\n"
               "commands:\n"
               "  templates   list the template library as the template chooser does\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    if (command == QLatin1String("templates"))
        return runTemplates(args.mid(1));
    return usage();
}
