#include "Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace {

QPointer<QWidget> gMainWindow;

QRect centredOn(const QRect &r, const QRect &area)
{
    return QRect(area.left() + (area.width() - r.width()) / 2,
                 area.top() + (area.height() - r.height()) / 2, r.width(), r.height());
}

QString withLineBreaks(QString s)
{
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QWidget *boxParent(QWidget *parent)
{
    if (parent)
        return parent;
    if (QWidget *active = QApplication::activeModalWidget())
        return active;
    return gMainWindow;
}

}  // namespace

void SetDialogMainWindow(QWidget *mainWindow)
{
    gMainWindow = mainWindow;
}

QWidget *DialogMainWindow()
{
    return gMainWindow;
}

QRect PlacedDialogRect(const QRect &dialog, const QRect &mainWindow, bool mainMaximized,
                       const QRect &screen)
{
    // Integer division truncates toward zero, as the placement rule wants
    // when the dialog is larger than the main window.
    QRect r = mainMaximized ? centredOn(dialog, screen) : centredOn(dialog, mainWindow);
    const bool onScreen = r.left() >= screen.left() && r.top() >= screen.top()
                          && r.left() + r.width() <= screen.left() + screen.width()
                          && r.top() + r.height() <= screen.top() + screen.height();
    if (!onScreen || r.width() < 100 || r.height() < 100)
        r = centredOn(dialog, screen);
    return r;
}

void PlaceDialog(QWidget *dialog)
{
    if (!dialog)
        return;
    QWidget *main = gMainWindow;
    QScreen *screen = main ? main->screen() : dialog->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen ? screen->geometry() : QRect(0, 0, 1024, 768);

    // Before a window is shown its frame is unknown; the frame rectangle then
    // equals the client rectangle, which is what the rule is applied to.
    // Changing the flags re-creates the window, so that comes before the move.
    const Qt::WindowFlags flags = dialog->windowFlags();
    if ((flags & Qt::WindowMaximizeButtonHint) && !(flags & Qt::WindowSystemMenuHint))
        dialog->setWindowFlags(flags | Qt::WindowSystemMenuHint);

    const QRect dialogRect = dialog->frameGeometry();
    const QRect mainRect = main ? main->frameGeometry() : screenRect;
    const bool maximized = main && main->isMaximized();
    dialog->move(PlacedDialogRect(dialogRect, mainRect, maximized, screenRect).topLeft());
}

void InformationBox(const QString &message, QWidget *parent)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"),
                    withLineBreaks(message), QMessageBox::Ok, boxParent(parent));
    box.exec();
}

bool QuestionBox(const QString &message, const QString &caption, QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, caption, withLineBreaks(message),
                    QMessageBox::Yes | QMessageBox::No, boxParent(parent));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}
