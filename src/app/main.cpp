#include "objects/Register.h"
#include "shell/Main.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setApplicationVersion(QStringLiteral(QM_VERSION));
    // Label files and the drawing tools create objects by class name.
    RegisterLabelClasses();
    TQMMainScreen window;
    window.show();
    return app.exec();
}
