#pragma once
// The information, question and error boxes every command uses. They run
// through ExecDialog(), so a test's dialog runner answers them (with the
// QMessageBox::StandardButton it chooses).

#include <QString>

class QWidget;

// Caption "Information", information icon, OK. A carriage return in the
// message breaks the line, as a line feed does. Without a parent the box
// belongs to the active modal dialog, else to the main window.
void InformationBox(const QString &message, QWidget *parent = nullptr);

// The given caption, question icon, Yes and No; true when Yes was chosen.
bool QuestionBox(const QString &message, const QString &caption, QWidget *parent = nullptr);

// Caption "Error", critical icon, OK: a command failed for a reason the
// user should read (a file that could not be written).
void ErrorBox(const QString &message, QWidget *parent = nullptr);
