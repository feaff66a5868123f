#pragma once
// The recent files list shown at the end of the File menu.

#include <QAction>
#include <QPointer>
#include <QStringList>

#include <functional>

#include <QMenu>

// TMRUMenuItem: a menu item made by the recent files list, carrying its
// entry number (1-based; 0 for the separator and the submenu item), so that
// a rebuild removes exactly the items the list made.
class TMRUMenuItem : public QAction
{
    Q_OBJECT
public:
    TMRUMenuItem(int entryNumber, QObject *parent);
    int EntryNumber() const { return mEntryNumber; }

private:
    int mEntryNumber;
};

// TMRUFileList: the label files most recently opened or saved, newest
// first, shown as numbered items in a menu and kept in a section of an INI file.
class TMRUFileList : public QObject
{
    Q_OBJECT
public:
    explicit TMRUFileList(QObject *parent = nullptr);
    // With AutoSave on (and a storage name and key set) the list is stored;
    // a failure to store it then is only logged.
    ~TMRUFileList() override;

    int Maximum() const { return mMaximum; }
    // 0 to 255; entries beyond the maximum are dropped from the end.
    void SetMaximum(int maximum);

    bool RemoveOnClick = true;

    bool UseSubmenu() const { return mUseSubmenu; }
    void SetUseSubmenu(bool use);
    QString SubmenuName() const { return mSubmenuName; }
    void SetSubmenuName(const QString &name);

    QMenu *FileMenu() const { return mFileMenu; }
    // Moves the entries' items from the previous menu to menu (may be null).
    void SetFileMenu(QMenu *menu);

    // Called when an entry is clicked, after RemoveOnClick took effect.
    std::function<void(TMRUMenuItem *item, const QString &fileName)> OnMRUItemClick;

    bool AutoSave = true;
    QString AutoSaveName;                                  // the INI file
    QString AutoSaveKey = QStringLiteral("MRU Items");     // its section

    const QStringList &Entries() const { return mEntries; }

    // Puts path at the top; a path already listed (compared without regard
    // to case) moves there, spelled as given now.
    void AddFile(const QString &path);

    // Reads the entries from section AutoSaveKey of file AutoSaveName: the
    // text after the first "=" of each line, in file order. False when the
    // name or key is empty.
    bool LoadFromStorage();
    // Replaces that section by F0=..., F1=...; false when the name or key is
    // empty. Throws EIniError when the file cannot be written.
    bool SaveToStorage();

    // Between these the menu is not rebuilt; EndUpdate() rebuilds it.
    void BeginUpdate();
    void EndUpdate();

private:
    void rebuildMenu();
    void removeItems();
    void itemClicked(TMRUMenuItem *item);
    void trim();

    QStringList mEntries;
    int mMaximum = 5;
    bool mUseSubmenu = false;
    QString mSubmenuName = QStringLiteral("Reopen");
    QPointer<QMenu> mFileMenu;
    int mUpdating = 0;
};
