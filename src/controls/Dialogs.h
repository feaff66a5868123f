#pragma once
// The program's common dialog helpers: where a new dialog window is placed,
// and the information and question boxes every command uses.

#include <QRect>
#include <QString>

class QWidget;

// The window dialogs are placed over and message boxes belong to. The main
// window registers itself when it is created; nullptr until then.
void SetDialogMainWindow(QWidget *mainWindow);
QWidget *DialogMainWindow();

// The placement rule on plain rectangles (frame rectangles in screen pixels):
// centred over the main window, or over the screen when the main window is
// maximised or when the result would not lie wholly on the screen or is
// smaller than 100 x 100.
QRect PlacedDialogRect(const QRect &dialog, const QRect &mainWindow, bool mainMaximized,
                       const QRect &screen);

// Every dialog window calls this when it is created, before it is shown:
// moves it by the rule above and gives a dialog with a maximise button the
// system menu.
void PlaceDialog(QWidget *dialog);

// Caption "Information", information icon, OK. A carriage return in the
// message breaks the line, as a line feed does.
void InformationBox(const QString &message, QWidget *parent = nullptr);

// The given caption, question icon, Yes and No; true when Yes was chosen.
bool QuestionBox(const QString &message, const QString &caption, QWidget *parent = nullptr);
