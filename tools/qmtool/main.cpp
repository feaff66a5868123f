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
    {"barcode", runBarcode, true},
    {"build", runBuild, true},
    {"dump", runDump, true},
    {"inspect", runInspect, false},
    {"picture", runPicture, true},
    {"print", runPrint, true},
    {"render", runRender, true},
    {"rtf", runRtf, true},
    {"templates", runTemplates, false},
};

constexpr const char *UsageText =
               "usage: qmtool COMMAND [ARGS]\n"
               "commands:\n"
               "  barcode --type NAME --data TEXT -o OUT.png|OUT.pdf|OUT.svg [--scale N]\n"
               "                        draw one barcode symbol; --list names the symbologies\n"
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
               "        [--outlines] [--crop-marks]\n"
               "        [--merge DATA.csv|-] [--records A-B] [--copies N] [--start-cell N]\n"
               "                        print a label file as the program prints it\n"
               "  render FILE.qm -o OUT.png [--zoom Z]\n"
               "                        draw the label as the design panel shows it\n"
               "  rtf IN.rtf [-o OUT.rtf]\n"
               "                        print an RTF document's paragraphs and runs as JSON\n"
               "                        (a picture is a run {\"picture\": {\"format\": \"png\",\n"
               "                        \"width\": PT, \"height\": PT}}); -o writes it back as RTF\n"
               "  templates             list the template library as the template chooser does\n"
               "options:\n"
               "  --help                this text\n"
               "  --version             the version of qmtool\n"
               "exit status: 0 done, 1 a failure (with a message on stderr), 2 a usage error\n";

int usage()
{
    std::fputs(UsageText, stderr);
    return 2;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (argc < 2)
        return usage();
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "help") == 0) {
        std::fputs(UsageText, stdout);
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("qmtool %s\n", QM_VERSION);
        return 0;
    }
    const Command *command = nullptr;
    for (const Command &c : Commands)
        if (std::strcmp(argv[1], c.name) == 0)
            command = &c;
    if (!command) {
        std::fprintf(stderr, "qmtool: unknown command %s\n", argv[1]);
        return usage();
    }

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
