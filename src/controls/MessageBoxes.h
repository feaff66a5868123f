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

// Which button Enter presses in a question box. A question whose Yes
// throws work away ("Cancel all changes?", "Delete ...?") defaults to No,
// so that a stray Enter keeps the work.
enum class TQuestionDefault { Yes, No };

// The given caption, question icon, Yes and No; true when Yes was chosen.
bool QuestionBox(const QString &message, const QString &caption, QWidget *parent = nullptr,
                 TQuestionDefault defaultButton = TQuestionDefault::Yes);

// Caption "Error", critical icon, OK: a command failed for a reason the
// user should read (a file that could not be written).
void ErrorBox(const QString &message, QWidget *parent = nullptr);
