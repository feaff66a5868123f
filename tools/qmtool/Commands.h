#pragma once
// The commands of qmtool; each takes its own arguments and returns the exit status.

#include <QStringList>

int runBarcode(const QStringList &args);
int runBuild(const QStringList &args);
int runDump(const QStringList &args);
int runInspect(const QStringList &args);
int runTemplates(const QStringList &args);
int runPicture(const QStringList &args);
int runPrint(const QStringList &args);
int runRender(const QStringList &args);
int runRtf(const QStringList &args);
