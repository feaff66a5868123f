// qmtool: Quillmark's command-line tool. Each command is a function taking
// its arguments; output goes to stdout, errors to stderr with exit status 1.

#include "Commands.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct Command
{
    const char *name;
    int (*run)(const QStringList &args);
    bool widgets;  // creates label objects, which are widgets
};

const Command Commands[] = {
    {"build", runBuild, true},
    {"dump", runDump, true},
    {"inspect", runInspect, false},
    {"picture", runPicture, true},
    {"print", runPrint, true},
    {"render", runRender, true},
    {"templates", runTemplates, false},
};

int usage()
{
    std::fputs("usage: qmtool COMMAND [ARGS]\n"
               "commands:\n"
               "  build IN.json OUT.qm  write a label file described by JSON (the form dump\n"
               "                        prints)\n"
               "  dump FILE             print a label file's objects with all their\n"
               "                        properties, and its layout, as JSON\n"
               "  inspect FILE          print the raw structure of a label file, object file or\n"
               "                        template library as JSON\n"
               "  picture FILE [-o OUT] load a picture file as the image browser does and\n"
               "                        print what the label holds; -o writes its stored form\n"
               "  print FILE.qm (-o OUT.pdf | --printer NAME) [--sheets N] [--cells all|LIST]\n"
               "        [--nudge TOP,LEFT,VERT,HORZ] [--preview]\n"
               "                        print a label file as the program prints it\n"
               "  render FILE.qm -o OUT.png [--zoom Z]\n"
               "                        draw the label as the design panel shows it\n"
               "  templates             list the template library as the template chooser does\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char *argv[])
{
    const Command *command = nullptr;
    if (argc >= 2)
        for (const Command &c : Commands)
            if (std::strcmp(argv[1], c.name) == 0)
                command = &c;
    if (!command)
        return usage();

    std::unique_ptr<QCoreApplication> app;
    if (command->widgets) {
        // The tool prints its own messages; Qt's platform notes (no runtime
        // folder, window features the offscreen platform lacks) would only
        // confuse scripts that read stderr.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        });
        // Scripts run without a display: label objects need none.
        if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
            && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    return command->run(app->arguments().mid(2));
}
