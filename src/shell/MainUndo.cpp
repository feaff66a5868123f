// The main window's undo and redo: the history of the design and the two
// items of the Edit menu.
#include "Main.h"

#include "UndoHistory.h"

#include "controls/MessageBoxes.h"
#include "design/Gbasepnl.h"

#include <QAction>
#include <QApplication>
#include <QToolButton>

void TQMMainScreen::createHistory()
{
    mHistory = new TUndoHistory(mPanel, this, this);
    mHistory->CurrentLayout = [this] { return CurrentLabelLayout(); };
    mHistory->RestoreLayout = [this](const TLabelLayout &layout) { restoreLayout(layout); };
    mHistory->Changed = [this] { updateUndoItems(); };
    mHistory->Reset(true);
}

void TQMMainScreen::mnuUndoClick()
{
    undoRedo(true);
}

void TQMMainScreen::mnuRedoClick()
{
    undoRedo(false);
}

void TQMMainScreen::undoRedo(bool undo)
{
    if (mBusy)
        return;
    mBusy = true;
    bool done = false;
    try {
        done = undo ? mHistory->Undo() : mHistory->Redo();
    } catch (const std::exception &e) {
        ErrorBox(QString::fromUtf8(e.what()), this);
    }
    // The objects read again report their first bounds while still busy.
    QApplication::processEvents();
    mBusy = false;
    if (done)
        SetChangesMade(!mHistory->AtSavedState());
    SetButtons();
    updateUndoItems();
}

void TQMMainScreen::updateUndoItems()
{
    mnuUndo->setText(mHistory->CanUndo() ? QStringLiteral("&Undo ") + mHistory->UndoName()
                                         : QStringLiteral("&Undo"));
    mnuRedo->setText(mHistory->CanRedo() ? QStringLiteral("&Redo ") + mHistory->RedoName()
                                         : QStringLiteral("&Redo"));
    // A change still being made is undoable as soon as it is recorded.
    mnuUndo->setEnabled(mHistory->CanUndo() || mHistory->Pending());
    mnuRedo->setEnabled(mHistory->CanRedo());
}

void TQMMainScreen::restoreLayout(const TLabelLayout &layout)
{
    const bool artDown = mShowart->isChecked();
    SetCurrentLayout(layout);
    applyCurrentLayoutSize();
    SetArtButton();
    mShowart->setChecked(artDown && mShowart->isEnabled());
    DoDrawArt();
    SetTemplateCaption();
}
