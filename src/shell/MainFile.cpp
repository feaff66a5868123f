// The main window's document commands: open, save, save as, cancel,
// delete, exit, and reopening recent files.
#include "Main.h"

#include "IniFile.h"
#include "MRUList.h"

#include "controls/DialogSupport.h"
#include "controls/MessageBoxes.h"
#include "design/GHandle.h"
#include "storage/AppPaths.h"
#include "storage/Filer.h"
#include "shell/UndoHistory.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace {

// Throws EStreamError when a layout read from a file cannot be applied.
void checkLayout(const TLabelLayout &l)
{
    if (!l.IsUsable())
        throw EStreamError(QStringLiteral("Invalid label layout"));
}

bool hasLabelFileExtension(const QString &fileName)
{
    return QFileInfo(fileName).suffix().toUpper() == QLatin1String("QM");
}

// The open dialog of Open and Delete; empty when cancelled.
QString chooseLabelFile(QWidget *parent, const QString &title, const QString &directory)
{
    QFileDialog dialog(parent, title, directory, QStringLiteral("Quillmark File (*.qm)"));
    dialog.setObjectName(QStringLiteral("OpenDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString withSlash(const QString &dir)
{
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

}  // namespace

void TQMMainScreen::OpenLabelFile(const QString &fileName)
{
    const QString openFailed = QStringLiteral("Unable to open ") + fileName
                               + QStringLiteral(". Possibly corrupted, posibly not a Quillmark file");
    // The file is read and checked whole, into a scratch panel, before
    // anything of the open design goes: a file that cannot be read leaves
    // the design, its file name and its changes as they were.
    QByteArray data;
    try {
        data = TGLabelObjectFiler::ReadFileBytes(fileName);
        QWidget scratch;
        TLabelLayout probe = CurrentLabelLayout();
        TGLabelObjectFiler filer;
        filer.ReadLabelBytes(nullptr, &scratch, probe, data);
        checkLayout(probe);
    } catch (...) {
        InformationBox(openFailed, this);
        return;
    }

    const bool wasBusy = mBusy;
    mBusy = true;
    mPanel->ClearObjects();
    const float zoom = mPanel->Zoom();
    if (zoom != 1.0f)
        mPanel->SetZoom(1.0f);
    TGHandle *frame = mPanel->Selection();
    frame->move(mPanel->width() + 1, frame->y());

    bool opened = false;
    try {
        TLabelLayout layout = CurrentLabelLayout();
        TGLabelObjectFiler filer;
        filer.ReadLabelBytes(this, mPanel, layout, data);
        checkLayout(layout);
        SetCurrentLayout(layout);
        SetLabelSizeFromInches(mLayout.LabelShape, mLayout.LabelWidth, mLayout.LabelHeight);
        mPanel->AttachObjects();
        mCurrentFileName = fileName;
        opened = true;
    } catch (...) {
        // Whatever the file held, the design starts again from the default
        // layout, and the panel shows that layout.
        mPanel->ClearObjects();
        LoadDefaultTemplateValues();
        SetLabelSizeFromInches(mLayout.LabelShape, mLayout.LabelWidth, mLayout.LabelHeight);
        mCurrentFileName.clear();
        InformationBox(openFailed, this);
    }
    // Outside the guarded part: a preferences file that cannot be written
    // does not make the label file unreadable.
    if (opened)
        rememberRecentFile(fileName);

    mPanel->SettleObjects();
    SetChangesMade(false);
    QApplication::processEvents();
    mBusy = wasBusy;
    SetButtons();
    if (zoom != 1.0f)
        mPanel->SetZoom(zoom);
    mPanel->update();
    SetTemplateCaption();
    SetArtButton();
    mShowart->setChecked(mShowart->isEnabled());
    DoDrawArt();
    mHistory->Reset(!mChangesMade);
}

void TQMMainScreen::SaveLabelFile(const QString &fileName)
{
    // Zooming notifies changes; a save must not mark the design changed.
    const bool wasBusy = mBusy;
    mBusy = true;
    const float zoom = mPanel->Zoom();
    if (zoom != 1.0f)
        mPanel->SetZoom(1.0f);
    {
        const auto restore = qScopeGuard([&] {
            if (zoom != 1.0f)
                mPanel->SetZoom(zoom);
            mBusy = wasBusy;
        });
        mPanel->RemoveObjectsOutside();
        TGLabelObjectFiler filer;
        filer.WriteLabelFile(mPanel, fileName, CurrentLabelLayout());
    }
    QApplication::processEvents();
}

bool TQMMainScreen::trySave(const QString &fileName)
{
    // Qt shows no box for an exception that leaves a command, so the
    // reason is shown here; the previous file is still intact.
    mHistory->Commit();
    try {
        SaveLabelFile(fileName);
        mHistory->MarkSaved();
        return true;
    } catch (const EStreamError &e) {
        ErrorBox(e.message(), this);
    } catch (const std::exception &e) {
        ErrorBox(QStringLiteral("Cannot write %1: %2").arg(fileName, QString::fromLocal8Bit(e.what())), this);
    }
    return false;
}

bool TQMMainScreen::CheckSaveNeeded()
{
    if (!mChangesMade)
        return true;
    if (!QuestionBox(QStringLiteral("Save changes?"), QStringLiteral("Save"), this))
        return true;
    if (mCurrentFileName.isEmpty()) {
        if (!mnuSaveAsClick())
            return false;
    } else if (!trySave(mCurrentFileName)) {
        return false;
    }
    SetChangesMade(false);
    return true;
}

QString TQMMainScreen::ProposedFileName()
{
    QSet<QString> taken;
    const QStringList names = QDir(AppPaths::ProgramDir())
                                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                             | QDir::NoDotAndDotDot);
    for (const QString &name : names)
        taken.insert(name.toUpper());
    // The numbers 10001 .. 99999 without their first digit: 0001 .. 9999,
    // then 0000, after which they repeat.
    for (int n = 10001; n <= 20000; ++n) {
        const QString name = QStringLiteral("QM") + QString::number(n).mid(1) + QStringLiteral(".QM");
        if (!taken.contains(name))
            return name;
    }
    return QString();
}

void TQMMainScreen::mnuOpenClick()
{
    if (!CheckSaveNeeded())
        return;
    const QString fileName = chooseLabelFile(this, QStringLiteral("Open Label File"), mPrefs.FileOpenLastPath);
    if (fileName.isEmpty())
        return;
    mPrefs.FileOpenLastPath = withSlash(QFileInfo(fileName).absolutePath());
    if (!hasLabelFileExtension(fileName)) {
        InformationBox(QStringLiteral("Must be a QM (Quillmark) file"), this);
        return;
    }
    OpenLabelFile(fileName);
}

void TQMMainScreen::OpenFileFromDesktop(const QString &fileName)
{
    // The design must not change beneath an open dialog (printing, a
    // layout): the file waits until the dialog is closed.
    if (QApplication::activeModalWidget() || mBusy) {
        QTimer::singleShot(500, this, [this, fileName] { OpenFileFromDesktop(fileName); });
        return;
    }
    if (!CheckSaveNeeded())
        return;
    if (!QFileInfo::exists(fileName)) {
        InformationBox(fileName + QStringLiteral(" no longer exists"), this);
        return;
    }
    if (!hasLabelFileExtension(fileName)) {
        InformationBox(QStringLiteral("Must be a QM (Quillmark) file"), this);
        return;
    }
    OpenLabelFile(QFileInfo(fileName).absoluteFilePath());
}

void TQMMainScreen::OpenRecentFile(TMRUMenuItem *, const QString &fileName)
{
    if (!CheckSaveNeeded())
        return;
    if (QFileInfo::exists(fileName))
        OpenLabelFile(fileName);
    else
        InformationBox(fileName + QStringLiteral(" no longer exists"), this);
}

void TQMMainScreen::mnuSaveClick()
{
    mPanel->RemoveObjectsOutside();
    if (mCurrentFileName.isEmpty()) {
        QApplication::beep();
        return;
    }
    if (trySave(mCurrentFileName))
        SetChangesMade(false);
}

bool TQMMainScreen::mnuSaveAsClick()
{
    mPanel->RemoveObjectsOutside();
    QFileDialog dialog(this, QStringLiteral("Save As"), mPrefs.FileSaveLastPath, QStringLiteral("QM File (*.QM)"));
    dialog.setObjectName(QStringLiteral("SaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("QM"));
    const QString proposal = mCurrentFileName.isEmpty() ? ProposedFileName()
                                                        : QFileInfo(mCurrentFileName).fileName();
    if (!proposal.isEmpty())
        dialog.selectFile(proposal);

    bool saved = false;
    if (ExecDialog(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString fileName = dialog.selectedFiles().constFirst();
        mPrefs.FileSaveLastPath = withSlash(QFileInfo(fileName).absolutePath());
        // The design is bound to the new name only once it is written there.
        if (trySave(fileName)) {
            mCurrentFileName = fileName;
            SetChangesMade(false);
            rememberRecentFile(fileName);
            saved = true;
        }
    }
    SetButtons();
    return saved;
}

void TQMMainScreen::SaveButtonClick()
{
    if (mCurrentFileName.isEmpty())
        mnuSaveAsClick();
    else
        mnuSaveClick();
}

void TQMMainScreen::CancelButtonClick()
{
    if (!QuestionBox(QStringLiteral("Cancel all changes?"), QStringLiteral("CANCEL"), this, TQuestionDefault::No))
        return;
    // Without a current file the label is left empty with its layout.
    mPanel->ClearObjects();
    if (!mCurrentFileName.isEmpty())
        OpenLabelFile(mCurrentFileName);
    SetChangesMade(false);
    mHistory->Reset(true);
    mPanel->update();
}

void TQMMainScreen::mnuDeleteClick()
{
    const QString fileName = chooseLabelFile(this, QStringLiteral("Delete Label File"), AppPaths::ProgramDir());
    if (fileName.isEmpty())
        return;
    if (!hasLabelFileExtension(fileName)) {
        InformationBox(QStringLiteral("Must be a QM (Quillmark) file"), this);
        return;
    }
    if (!QuestionBox(QStringLiteral("Delete ") + fileName + QLatin1Char('?'), QStringLiteral("CONFIRM"), this,
                     TQuestionDefault::No))
        return;
    // The open design stays as it is, even when it was read from this file.
    QFile file(fileName);
    if (!file.remove())
        ErrorBox(QStringLiteral("Cannot delete %1: %2").arg(fileName, file.errorString()), this);
}

void TQMMainScreen::mnuExitClick()
{
    if (CheckSaveNeeded())
        close();
}

// However the window closes, the settings and its placement are kept; the
// close button does not ask about unsaved changes.
void TQMMainScreen::closeEvent(QCloseEvent *event)
{
    SavePreferences();
    try {
        TIniFile ini(PreferencesFileName());
        SaveWindowPlacement(this, QStringLiteral("TQMMainScreen"), ini);
        ini.UpdateFile();
    } catch (const EIniError &e) {
        ErrorBox(e.message(), this);
    }
    event->accept();
}
