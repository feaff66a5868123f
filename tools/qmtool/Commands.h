#pragma once
// The commands of qmtool; each takes its own arguments and returns the exit status.

#include <QStringList>

int runInspect(const QStringList &args);
int runTemplates(const QStringList &args);
int runPrint(const QStringList &args);
int runRender(const QStringList &args);

// For the drawing commands, once the widget application exists: label
// classes registered, fonts pinned as the program pins them.
void SetUpDrawing();
