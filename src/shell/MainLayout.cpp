// The main window's layout commands: a new design or a new layout for the
// current one, from the template library or typed by hand, and the label
// art behind the design.
#include "Main.h"

#include "controls/DialogSupport.h"
#include "layout/Edittpl.h"
#include "layout/LabelArt.h"
#include "layout/Loadtpl.h"
#include "shell/UndoHistory.h"

#include <QToolButton>

void TQMMainScreen::applyCurrentLayoutSize()
{
    SetLabelSizeFromInches(mLayout.LabelShape, mLayout.LabelWidth, mLayout.LabelHeight);
}

bool TQMMainScreen::GetLayoutFromTemplate(bool forNewLabel)
{
    TSelectTemplate dialog(this);
    dialog.SetCurrentLayout(CurrentLabelLayout(), forNewLabel);
    connect(&dialog, &TSelectTemplate::helpRequested, &dialog,
            [&dialog](int topic) { ShowHelpTopic(&dialog, topic); });
    PlaceDialog(&dialog);
    if (ExecDialog(dialog) != QDialog::Accepted)
        return false;

    SetCurrentLayout(dialog.ChosenLayout);
    applyCurrentLayoutSize();
    mShowart->setEnabled(!mLayout.ArtName.isEmpty());
    mShowart->setChecked(mShowart->isEnabled());
    DoDrawArt();
    if (!forNewLabel)
        SetChangesMade(true);
    return true;
}

bool TQMMainScreen::GetUserDefinedLayout()
{
    LoadPreferences();
    TUserEditLabelLayout editor(this);
    editor.setWindowTitle(QStringLiteral("User Defined Label Layout"));
    editor.SetUseMM(mPrefs.UseMM);
    editor.SetFromLayout(CurrentLabelLayout());
    connect(&editor, &TUserEditLabelLayout::helpRequested, &editor,
            [&editor](int topic) { ShowHelpTopic(&editor, topic); });
    PlaceDialog(&editor);
    const bool ok = ExecDialog(editor) == QDialog::Accepted;
    if (ok) {
        SetCurrentLayout(editor.UserDefinedLayout());
        applyCurrentLayoutSize();
        mShowart->setChecked(false);
        mShowart->setEnabled(false);
        DoDrawArt();
        SetChangesMade(true);
    }
    mPrefs.UseMM = editor.UseMM();
    SavePreferences();
    return ok;
}

void TQMMainScreen::newDesign(bool fromTemplate)
{
    // The current design is offered for saving before it is replaced;
    // nothing of it is touched while the user may still cancel.
    if (!CheckSaveNeeded())
        return;
    const bool artWasDown = mShowart->isChecked();
    if (!(fromTemplate ? GetLayoutFromTemplate(true) : GetUserDefinedLayout()))
        return;
    mPanel->ClearObjects();
    mCurrentFileName.clear();
    SetArtButton();
    if (artWasDown && mShowart->isEnabled()) {
        mShowart->setChecked(true);
        DoDrawArt();
    }
    SetTemplateCaption();
    SetChangesMade(true);
    SetButtons();
    // A new design starts a history of its own; nothing of it is saved.
    mHistory->Reset(false);
}

void TQMMainScreen::changeLayout(bool fromTemplate)
{
    const bool artWasDown = mShowart->isChecked();
    if (!(fromTemplate ? GetLayoutFromTemplate(false) : GetUserDefinedLayout()))
        return;
    mPanel->NameCommand(QStringLiteral("Label Layout"));
    mHistory->NoteChange();
    // The objects stay; those beyond the new edges are pulled back in.
    mPanel->ClampObjectsToPanel();
    SetArtButton();
    if (artWasDown && mShowart->isEnabled()) {
        mShowart->setChecked(true);
        DoDrawArt();
    }
    SetTemplateCaption();
    SetButtons();
}

void TQMMainScreen::mnuNewFromTemplateClick()
{
    newDesign(true);
}

void TQMMainScreen::mnuNewUserDefinedClick()
{
    newDesign(false);
}

void TQMMainScreen::mnuChangeFromTemplateClick()
{
    changeLayout(true);
}

void TQMMainScreen::mnuChangeUserDefinedClick()
{
    changeLayout(false);
}

void TQMMainScreen::DoDrawArt()
{
    QImage art;
    if (mShowart->isChecked() && !mLayout.ArtName.isEmpty()) {
        // The picture is made at the label's unzoomed size; the panel
        // stretches it over the label at any zoom.
        const float zoom = mPanel->Zoom();
        const QSize size(int(mPanel->width() / zoom), int(mPanel->height() / zoom));
        art = RenderLabelArt(mLayout.ArtName, size, mLayout.LabelShape);
    }
    mPanel->SetPicture(art);
    mPanel->update();
}
