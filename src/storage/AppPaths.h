#pragma once
// Where the program's own files live: the one place that decides it.
//
// Files the program owns (preferences, object clipboard, scratch and print
// files) live beside the executable when that directory is writable, as in
// a build tree or a portable install. An installed program cannot write
// there, so its writable files go to a per-user folder instead:
// $XDG_CONFIG_HOME/quillmark/ (~/.config/quillmark/ when unset).
// Read-only data (template library, label art, help) is looked for beside
// the executable first, then in the installed data folder.

#include <QString>

namespace AppPaths {

// The directory of the running executable, with a trailing "/".
QString ExecutableDir();

// The directory for the program's writable files, with a trailing "/";
// created when it does not exist yet.
QString ProgramDir();

// ProgramDir() + name.
QString ProgramFilePath(const QString &name);

// Full path of the read-only data file name: the first existing copy in
// the override directory (when set), beside the executable, then in the
// installed data folder. The file name is matched without regard to case.
// When no copy exists, the path beside the executable, so that a message
// about the missing file names a sensible place.
QString DataFilePath(const QString &name);

// The folders DataFilePath() looks in, in that order, each with a
// trailing "/": the override, the executable's directory,
// ../share/quillmark beside it, the configured data folder.
QStringList DataDirs();

// The first of DataDirs() that holds a folder called name (matched without
// regard to case), with a trailing "/"; empty when none does.
QString DataFolderPath(const QString &name);

// Full path of the read-only data folder name, looked for in the same
// places as DataFilePath(); the path beside the executable when none exists.
QString DataDirPath(const QString &name);

// Redirects ProgramDir() (and the first place DataFilePath() looks) to dir;
// an empty dir ends the override. The environment variable QM_PROGRAM_DIR
// does the same for a whole run and is used when no override is set here.
void SetProgramDirOverride(const QString &dir);

// The file of dir whose name equals name without regard to case: an exact
// match first, otherwise the first such entry in sorted order. Returns
// dir + "/" + name when there is none (the name to create).
QString FindFileNoCase(const QString &dir, const QString &name);

} // namespace AppPaths
