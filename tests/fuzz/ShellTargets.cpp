// QM.INI with the preferences and window placement read from it, and the
// recent-files list.

#include "FuzzTargets.h"

#include "shell/IniFile.h"
#include "shell/MRUList.h"
#include "shell/Prefs.h"

#include <QMenu>
#include <QWidget>

#include <exception>

namespace qmfuzz {

void ini(const QByteArray &bytes)
{
    TIniFile file(WriteScratchFile(bytes, QStringLiteral("QM.INI")));
    TPreferences preferences;
    preferences.LoadPreferences(file);
    QWidget window;
    RestoreWindowPlacement(&window, QStringLiteral("TQMMainScreen"), file);
    file.WriteString(QStringLiteral("Paths"), QStringLiteral("FileOpenLastPath"), QStringLiteral("/tmp/"));
    try {
        file.UpdateFile();
    } catch (const std::exception &) {
    }
}

void mru(const QByteArray &bytes)
{
    QMenu menu;
    TMRUFileList list;
    list.AutoSave = false;
    list.AutoSaveName = WriteScratchFile(bytes, QStringLiteral("QM.INI"));
    list.SetFileMenu(&menu);
    list.LoadFromStorage();
    list.AddFile(QStringLiteral("/tmp/a.qm"));
}

}  // namespace qmfuzz
