// qmtool: Quillmark's command-line tool. Each command is a function taking
// its arguments; output goes to stdout, errors to stderr with exit status 1.

#include "Commands.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct Command
{
    const char *name;
    int (*run)(const QStringList &args);
    // Draws with widgets and fonts: runs in a widget application.
    bool gui = false;
};

const Command Commands[] = {
    {"inspect", runInspect},
    {"templates", runTemplates},
    {"print", runPrint, true},
    {"render", runRender, true},
};

int usage()
{
    std::fputs("usage: qmtool COMMAND [ARGS]\n"
               "commands:\n"
               "  inspect FILE   print the raw structure of a label file, object file or\n"
               "                 template library as JSON\n"
               "  templates      list the template library as the template chooser does\n"
               "  print FILE.qm (-o OUT.pdf | --printer NAME) [--sheets N] [--cells all|LIST]\n"
               "        [--nudge TOP,LEFT,VERT,HORZ] [--preview]\n"
               "                 print a label file as the program prints it\n"
               "  render FILE.qm -o OUT.png [--zoom Z]\n"
               "                 draw the label as the design panel shows it\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char *argv[])
{
    const Command *chosen = nullptr;
    for (const Command &command : Commands)
        if (argc > 1 && std::strcmp(argv[1], command.name) == 0)
            chosen = &command;

    std::unique_ptr<QCoreApplication> app;
    if (chosen && chosen->gui) {
        // Without a display the commands draw off screen.
        if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
            && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
        SetUpDrawing();
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    if (!chosen)
        return usage();
    return chosen->run(app->arguments().mid(2));
}
