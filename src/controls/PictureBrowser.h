#pragma once
// TPictureBrowserBase: the dialog behind the program's picture file
// browsers: a drive list, a folder tree and a file list filtered by a mask,
// a preview area that each browser fills with its own widget, and Help, Ok
// and Cancel. A browser says what to do with a chosen file by overriding
// FileSelected(). Clicking a folder makes it the program's current
// directory, as the old directory lists did; the directory in force when
// the browser was made is restored when it is destroyed.

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QFileSystemModel;
class QFrame;
class QListWidget;
class QPushButton;
class QTimer;
class QTreeView;

class TPictureBrowserBase : public QDialog
{
    Q_OBJECT
public:
    // `mask` is a list of wildcard patterns separated by ';', such as
    // "*.BMP;*.JPG"; it matches file names without regard to case. The
    // dialog has the picture browsers' common frame: client size 592 x 300,
    // Arial 8 point, the lists at the left, the preview area at the right
    // and a bottom strip with Help, Ok and Cancel. It opens in the program's
    // current directory; OpenAt() chooses another place.
    TPictureBrowserBase(QWidget *parent, const QString &caption, const QString &mask, int helpTopic);
    ~TPictureBrowserBase() override;

    // True when `fileName` matches one of the mask's patterns, ignoring case.
    static bool MatchesMask(const QString &mask, const QString &fileName);

    QString Mask() const { return mMask; }
    int HelpTopic() const { return mHelpTopic; }

    // Opens at a folder, or at a file's folder with that file selected.
    // False (and nothing changes) when the path is neither.
    bool OpenAt(const QString &fileOrFolder);
    // The folder shown; setting it makes it the program's current
    // directory and refills the file list. False when it does not exist.
    QString Folder() const { return mFolder; }
    bool SetFolder(const QString &folder);
    // Refills the file list from the folder shown, keeping the selection
    // when the file is still there.
    void RefreshFiles();

    // The names in the file list, in the order shown.
    QStringList FileNames() const;
    // Selects a file of the list by name (exact, then ignoring case);
    // false when it is not there.
    bool SelectFile(const QString &name);
    // The selected file's full path; empty when none is selected.
    QString SelectedFile() const;

    QComboBox *DriveList() const { return mDrives; }
    QTreeView *DirectoryList() const { return mDirectories; }
    QListWidget *FileList() const { return mFiles; }
    // The area at the right (348, 9, 232, 214) that a browser fills with
    // its preview; empty in the base.
    QWidget *PreviewArea() const { return mPreviewArea; }
    // The 40-pixel strip along the bottom holding the buttons; a browser
    // may add its own controls to it.
    QFrame *BottomPanel() const { return mBottom; }
    QPushButton *HelpButton() const { return mHelp; }
    QPushButton *OkButton() const { return mOk; }
    QPushButton *CancelButton() const { return mCancel; }

Q_SIGNALS:
    // After FileSelected() has run; `path` is empty when nothing is selected.
    void fileSelected(const QString &path);

protected:
    // A change of the file list's selection: `path` is the full path, or
    // empty when nothing is selected. Runs under the busy cursor and is not
    // entered again while it runs (a message box it shows cannot start a
    // second load).
    virtual void FileSelected(const QString &path);
    void showEvent(QShowEvent *event) override;

private:
    void fillDrives();
    void driveChosen(int index);
    void showFolderInTree();
    void revealFolder();
    void revealAgain();
    void selectionChanged();

    QString mMask;
    int mHelpTopic;
    QString mStartDirectory;
    QString mFolder;
    bool mLoading = false;
    QTimer *mRevealTimer = nullptr;
    int mRevealTries = 0;
    QComboBox *mDrives;
    QTreeView *mDirectories;
    QFileSystemModel *mFolderModel;
    QListWidget *mFiles;
    QWidget *mPreviewArea;
    QFrame *mBottom;
    QPushButton *mHelp;
    QPushButton *mOk;
    QPushButton *mCancel;
};
