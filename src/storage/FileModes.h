#pragma once
// The permissions of files written for the user through a temporary file.

#include <QString>

class QSaveFile;

// A save file writes into a private temporary file (mode 0600) that takes
// the target's place on commit. Before the commit this gives it the mode a
// file written for the user should have: an existing target keeps its own
// mode, a new one gets 0666 less the umask, as any other program's would.
// Failures are ignored: the file is written all the same.
void KeepUsualPermissions(QSaveFile &file, const QString &target);

// Copies `source` to `target` through a save file with those permissions:
// the old target stays whole until the copy is complete. Returns false,
// with `error` set, when it could not be written.
bool CopyForUser(const QString &source, const QString &target, QString *error = nullptr);
