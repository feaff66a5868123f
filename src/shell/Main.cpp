#include "Main.h"

TQMMainScreen::TQMMainScreen(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Quillmark"));
    resize(602, 410);
}
