#pragma once
// Every dialog and window of the program, each made with its usual
// contents, for the look tests and the screenshot tool alike.

#include <QList>
#include <QPalette>
#include <QString>
#include <QWidget>

#include <functional>

class TQMMainScreen;

struct TWindowCase
{
    QString name;
    std::function<QWidget *()> make;
};

// Set once before the first window is made: a scratch program directory
// (preferences, clipboard and help cache land there) and the template
// library the template chooser reads.
void PrepareLookEnvironment(const QString &programDir, const QString &templateLibrary);

// The dialogs, in menu order.
QList<TWindowCase> EveryDialog();

// States of the main window worth looking at, applied one after another to
// the same window: each returns after its state is on screen.
struct TMainWindowState
{
    QString name;
    std::function<void(TQMMainScreen &)> apply;
};
QList<TMainWindowState> MainWindowStates();

// A dark palette such as a dark desktop theme gives.
QPalette DarkPalette();
