#include "PictureBrowser.h"

#include "DialogSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>

namespace {

constexpr int ClientWidth = 592;
constexpr int ClientHeight = 300;
constexpr int BottomHeight = 40;

// The busy cursor for as long as it lives, restored however the scope ends.
struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

QString cleanFolder(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The drive a folder is on: the entry whose root is the longest leading
// part of the folder's path.
int driveOf(const QComboBox *drives, const QString &folder)
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < drives->count(); ++i) {
        const QString root = drives->itemData(i).toString();
        const bool inside = folder == root
            || folder.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
        if (inside && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

}  // namespace

TPictureBrowserBase::TPictureBrowserBase(QWidget *parent, const QString &caption, const QString &mask,
                                         int helpTopic)
    : QDialog(parent), mMask(mask), mHelpTopic(helpTopic), mStartDirectory(QDir::currentPath())
{
    SetupFixedDialog(this, caption, ClientWidth, ClientHeight);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);  // 8 point at 96 pixels an inch
    setFont(f);

    mDrives = new QComboBox(this);
    mDrives->setObjectName(QStringLiteral("DriveComboBox"));
    mDrives->setAccessibleName(QStringLiteral("Drive"));
    mDrives->setGeometry(5, 7, 145, 20);

    mFolderModel = new QFileSystemModel(this);
    mFolderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    mFolderModel->setRootPath(QDir::rootPath());
    mDirectories = new QTreeView(this);
    mDirectories->setObjectName(QStringLiteral("DirectoryListBox"));
    mDirectories->setAccessibleName(QStringLiteral("Folders"));
    mDirectories->setGeometry(5, 29, 145, 192);
    mDirectories->setModel(mFolderModel);
    for (int c = 1; c < mFolderModel->columnCount(); ++c)
        mDirectories->hideColumn(c);
    mDirectories->header()->hide();
    mDirectories->setAnimated(false);

    mFiles = new QListWidget(this);
    mFiles->setObjectName(QStringLiteral("FileListBox"));
    mFiles->setAccessibleName(QStringLiteral("Files"));
    mFiles->setGeometry(160, 7, 179, 215);
    mFiles->setSelectionMode(QAbstractItemView::SingleSelection);

    mPreviewArea = new QWidget(this);
    mPreviewArea->setObjectName(QStringLiteral("PreviewArea"));
    mPreviewArea->setGeometry(348, 9, 232, 214);

    mBottom = new QFrame(this);
    mBottom->setObjectName(QStringLiteral("BottomPanel"));
    mBottom->setGeometry(0, ClientHeight - BottomHeight, ClientWidth, BottomHeight);
    mBottom->setFrameShape(QFrame::StyledPanel);
    mBottom->setFrameShadow(QFrame::Raised);
    mHelp = new QPushButton(QStringLiteral("Help"), mBottom);
    mHelp->setObjectName(QStringLiteral("Helpbutton"));
    mHelp->setGeometry(8, 5, 72, 25);
    mHelp->setAutoDefault(false);
    mOk = new QPushButton(QStringLiteral("Ok"), mBottom);
    mOk->setObjectName(QStringLiteral("OKButton"));
    mOk->setGeometry(430, 5, 76, 25);
    mOk->setDefault(true);
    mCancel = new QPushButton(QStringLiteral("Cancel"), mBottom);
    mCancel->setObjectName(QStringLiteral("Cancelbutton"));
    mCancel->setGeometry(510, 5, 72, 25);
    mCancel->setAutoDefault(false);

    connect(mOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(mCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(mHelp, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, mHelpTopic); });
    connect(mDirectories, &QTreeView::clicked, this,
            [this](const QModelIndex &index) { SetFolder(mFolderModel->filePath(index)); });
    connect(mFiles, &QListWidget::itemSelectionChanged, this, [this] { selectionChanged(); });
    // The folder model reads and sorts folders in the background, moving
    // the rows after the tree was scrolled: for half a second after the
    // folder changes (or the dialog shows) it is brought into view again.
    mRevealTimer = new QTimer(this);
    mRevealTimer->setInterval(50);
    connect(mRevealTimer, &QTimer::timeout, this, [this] {
        revealFolder();
        if (++mRevealTries >= 10)
            mRevealTimer->stop();
    });

    fillDrives();
    SetFolder(mStartDirectory);
    connect(mDrives, &QComboBox::activated, this, [this](int index) { driveChosen(index); });

    setTabOrder(mDrives, mDirectories);
    setTabOrder(mDirectories, mFiles);
    setTabOrder(mFiles, mOk);
    setTabOrder(mOk, mCancel);
    setTabOrder(mCancel, mHelp);
    mFiles->setFocus();
    PlaceDialog(this);
}

TPictureBrowserBase::~TPictureBrowserBase()
{
    QDir::setCurrent(mStartDirectory);  // a failure leaves the directory as it is
}

bool TPictureBrowserBase::MatchesMask(const QString &mask, const QString &fileName)
{
    const QStringList patterns = mask.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &p : patterns) {
        const QRegularExpression re(
            QRegularExpression::wildcardToRegularExpression(p.trimmed(),
                                                            QRegularExpression::UnanchoredWildcardConversion),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = re.match(fileName);
        if (m.hasMatch() && m.capturedStart() == 0 && m.capturedLength() == fileName.size())
            return true;
    }
    return false;
}

void TPictureBrowserBase::fillDrives()
{
    // The root, the home folder and removable or network volumes mounted
    // where a desktop mounts them stand for the old drive letters.
    mDrives->addItem(QStringLiteral("/"), QDir::rootPath());
    const QString home = QDir::homePath();
    if (home != QDir::rootPath())
        mDrives->addItem(home, home);
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &v : volumes) {
        const QString root = v.rootPath();
        if (!v.isValid() || !v.isReady() || root == QDir::rootPath() || root == home)
            continue;
        if (root.startsWith(QLatin1String("/media/")) || root.startsWith(QLatin1String("/mnt/"))
            || root.startsWith(QLatin1String("/run/media/")))
            mDrives->addItem(v.displayName().isEmpty() ? root : v.displayName(), root);
    }
}

void TPictureBrowserBase::driveChosen(int index)
{
    const QString root = mDrives->itemData(index).toString();
    // The drive's own current directory: the folder shown when it is on
    // that drive, else the drive's root.
    if (driveOf(mDrives, mFolder) == index)
        return;
    SetFolder(root);
}

bool TPictureBrowserBase::OpenAt(const QString &fileOrFolder)
{
    if (fileOrFolder.isEmpty())
        return false;
    const QFileInfo info(fileOrFolder);
    if (info.isDir())
        return SetFolder(info.absoluteFilePath());
    if (!info.isFile() || !SetFolder(info.absolutePath()))
        return false;
    SelectFile(info.fileName());
    return true;
}

bool TPictureBrowserBase::SetFolder(const QString &folder)
{
    const QString clean = cleanFolder(folder);
    if (!QFileInfo(clean).isDir())
        return false;
    mFolder = clean;
    QDir::setCurrent(clean);
    const int drive = driveOf(mDrives, clean);
    if (drive >= 0)
        mDrives->setCurrentIndex(drive);
    showFolderInTree();
    revealAgain();
    RefreshFiles();
    return true;
}

void TPictureBrowserBase::showFolderInTree()
{
    const int drive = mDrives->currentIndex();
    const QString root = drive >= 0 ? mDrives->itemData(drive).toString() : QDir::rootPath();
    mDirectories->setRootIndex(mFolderModel->index(root));
    revealFolder();
}

void TPictureBrowserBase::revealFolder()
{
    const QModelIndex here = mFolderModel->index(mFolder);
    if (!here.isValid())
        return;
    for (QModelIndex up = here.parent(); up.isValid(); up = up.parent())
        mDirectories->expand(up);
    mDirectories->expand(here);
    mDirectories->setCurrentIndex(here);
    // Lay the rows out now, or the scroll range is still the old one.
    static_cast<QAbstractItemView *>(mDirectories)->doItemsLayout();
    mDirectories->scrollTo(here, QAbstractItemView::PositionAtCenter);
}

void TPictureBrowserBase::revealAgain()
{
    mRevealTries = 0;
    if (isVisible())
        mRevealTimer->start();
}

void TPictureBrowserBase::RefreshFiles()
{
    const QString kept = mFiles->currentItem() && mFiles->currentItem()->isSelected()
        ? mFiles->currentItem()->text()
        : QString();
    const QDir dir(mFolder);
    const QStringList names =
        dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    {
        const QSignalBlocker block(mFiles);
        mFiles->clear();
        for (const QString &name : names)
            if (MatchesMask(mMask, name))
                mFiles->addItem(name);
    }
    if (!kept.isEmpty() && SelectFile(kept))
        return;
    selectionChanged();
}

QStringList TPictureBrowserBase::FileNames() const
{
    QStringList names;
    for (int i = 0; i < mFiles->count(); ++i)
        names.append(mFiles->item(i)->text());
    return names;
}

bool TPictureBrowserBase::SelectFile(const QString &name)
{
    QList<QListWidgetItem *> found = mFiles->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty())
        found = mFiles->findItems(name, Qt::MatchFixedString);
    if (found.isEmpty())
        return false;
    mFiles->setCurrentItem(found.first());
    found.first()->setSelected(true);
    return true;
}

QString TPictureBrowserBase::SelectedFile() const
{
    const QList<QListWidgetItem *> selected = mFiles->selectedItems();
    if (selected.isEmpty())
        return {};
    return QDir(mFolder).filePath(selected.first()->text());
}

void TPictureBrowserBase::selectionChanged()
{
    if (mLoading)
        return;
    const QString path = SelectedFile();
    {
        struct Running
        {
            bool &flag;
            explicit Running(bool &f) : flag(f) { flag = true; }
            ~Running() { flag = false; }
        } running(mLoading);
        const BusyCursor busy;
        FileSelected(path);
    }
    Q_EMIT fileSelected(path);
}

void TPictureBrowserBase::FileSelected(const QString &) {}

void TPictureBrowserBase::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    revealAgain();
}
