// qmtool: Quillmark's command-line tool. Each command is a function taking
// its arguments; output goes to stdout, errors to stderr with exit status 1.

#include "Commands.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

struct Command
{
    const char *name;
    int (*run)(const QStringList &args);
};

const Command Commands[] = {
    {"inspect", runInspect},
    {"templates", runTemplates},
};

int usage()
{
    std::fputs("usage: qmtool COMMAND [ARGS]\n"
               "commands:\n"
               "  inspect FILE   print the raw structure of a label file, object file or\n"
               "                 template library as JSON\n"
               "  templates      list the template library as the template chooser does\n",
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
    for (const Command &command : Commands)
        if (args.first() == QLatin1String(command.name))
            return command.run(args.mid(1));
    return usage();
}
