#include "MRUList.h"

#include "IniFile.h"

#include <QMenu>

TMRUMenuItem::TMRUMenuItem(int entryNumber, QObject *parent)
    : QAction(parent)
    , mEntryNumber(entryNumber)
{
}

TMRUFileList::TMRUFileList(QObject *parent)
    : QObject(parent)
{
}

TMRUFileList::~TMRUFileList()
{
    if (!AutoSave)
        return;
    try {
        SaveToStorage();
    } catch (const EIniError &e) {
        qWarning("%s", e.what());
    }
}

void TMRUFileList::SetMaximum(int maximum)
{
    mMaximum = qBound(0, maximum, 255);
    if (mEntries.size() > mMaximum) {
        trim();
        rebuildMenu();
    }
}

void TMRUFileList::SetUseSubmenu(bool use)
{
    if (mUseSubmenu == use)
        return;
    mUseSubmenu = use;
    rebuildMenu();
}

void TMRUFileList::SetSubmenuName(const QString &name)
{
    if (mSubmenuName == name)
        return;
    mSubmenuName = name;
    rebuildMenu();
}

void TMRUFileList::SetFileMenu(QMenu *menu)
{
    if (mFileMenu == menu)
        return;
    removeItems();
    mFileMenu = menu;
    rebuildMenu();
}

void TMRUFileList::AddFile(const QString &path)
{
    if (path.isEmpty())
        return;
    // The path as given replaces a listed spelling that differs only in
    // case: it is the one that was just opened or saved.
    for (qsizetype i = 0; i < mEntries.size(); ++i) {
        if (mEntries[i].compare(path, Qt::CaseInsensitive) == 0) {
            mEntries.removeAt(i);
            break;
        }
    }
    mEntries.prepend(path);
    trim();
    rebuildMenu();
}

bool TMRUFileList::LoadFromStorage()
{
    if (AutoSaveName.isEmpty() || AutoSaveKey.isEmpty())
        return false;
    const TIniFile ini(AutoSaveName);
    mEntries.clear();
    const QStringList lines = ini.ReadSectionValues(AutoSaveKey);
    for (const QString &line : lines) {
        const QString path = line.mid(line.indexOf(QLatin1Char('=')) + 1);
        // A hand-edited file may hold empty values or a path twice.
        if (!path.isEmpty() && !mEntries.contains(path, Qt::CaseInsensitive))
            mEntries << path;
    }
    trim();
    rebuildMenu();
    return true;
}

bool TMRUFileList::SaveToStorage()
{
    if (AutoSaveName.isEmpty() || AutoSaveKey.isEmpty())
        return false;
    TIniFile ini(AutoSaveName);
    ini.EraseSection(AutoSaveKey);
    for (qsizetype i = 0; i < mEntries.size(); ++i)
        ini.WriteString(AutoSaveKey, QStringLiteral("F%1").arg(i), mEntries[i]);
    ini.UpdateFile();
    return true;
}

void TMRUFileList::BeginUpdate()
{
    ++mUpdating;
}

void TMRUFileList::EndUpdate()
{
    if (mUpdating > 0 && --mUpdating == 0)
        rebuildMenu();
}

void TMRUFileList::trim()
{
    while (mEntries.size() > mMaximum)
        mEntries.removeLast();
}

void TMRUFileList::removeItems()
{
    if (!mFileMenu)
        return;
    const QList<QAction *> actions = mFileMenu->actions();
    for (QAction *action : actions) {
        if (!qobject_cast<TMRUMenuItem *>(action))
            continue;
        mFileMenu->removeAction(action);
        // The item may be the one whose click is being handled right now.
        if (QMenu *submenu = action->menu())
            submenu->deleteLater();
        action->deleteLater();
    }
}

void TMRUFileList::rebuildMenu()
{
    if (mUpdating > 0 || !mFileMenu)
        return;
    removeItems();
    if (mEntries.isEmpty())
        return;

    auto *separator = new TMRUMenuItem(0, mFileMenu);
    separator->setSeparator(true);
    mFileMenu->addAction(separator);

    QMenu *target = mFileMenu;
    if (mUseSubmenu) {
        target = new QMenu(mFileMenu);
        auto *submenuItem = new TMRUMenuItem(0, mFileMenu);
        submenuItem->setText(mSubmenuName);
        submenuItem->setMenu(target);
        mFileMenu->addAction(submenuItem);
    }
    for (qsizetype i = 0; i < mEntries.size(); ++i) {
        auto *item = new TMRUMenuItem(int(i + 1), target);
        // "&" in a path would otherwise mark an access key.
        QString path = mEntries[i];
        path.replace(QLatin1Char('&'), QStringLiteral("&&"));
        item->setText(QLatin1Char('&') + QString::number(i + 1) + QLatin1Char(' ') + path);
        connect(item, &QAction::triggered, this, [this, item] { itemClicked(item); });
        target->addAction(item);
    }
}

void TMRUFileList::itemClicked(TMRUMenuItem *item)
{
    const int n = item->EntryNumber();
    if (n < 1 || n > mEntries.size())
        return;
    const QString fileName = mEntries[n - 1];
    if (RemoveOnClick) {
        mEntries.removeAt(n - 1);
        rebuildMenu();
    }
    if (OnMRUItemClick)
        OnMRUItemClick(item, fileName);
}
