#pragma once
// The commands of qmtool: each takes the arguments after its name and
// returns the exit status.

#include <QStringList>

int runTemplates(const QStringList &args);
