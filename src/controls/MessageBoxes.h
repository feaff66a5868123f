#pragma once
// The information and question boxes every command uses. Both run through
// ExecDialog, so a test's dialog runner receives them like any dialog.

#include <QString>

class QWidget;

// Caption "Information", information icon, OK. A carriage return in the
// message breaks the line, as a line feed does. Without a parent the box
// belongs to the active modal dialog, else to the main window.
void InformationBox(const QString &message, QWidget *parent = nullptr);

// The given caption, question icon, Yes and No; true when Yes was chosen.
bool QuestionBox(const QString &message, const QString &caption, QWidget *parent = nullptr);
