#pragma once
// TUndoHistory: undo and redo of the main window's design, kept as
// snapshots of the objects (each in the property stream of an object file)
// and of the layout. An object unchanged between two snapshots shares its
// bytes, so a step costs about the objects it changed.

#include "storage/LabelLayout.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

#include <deque>
#include <functional>

class TComponent;
class TGBasePanel;

class TUndoHistory : public QObject
{
    Q_OBJECT
public:
    // At most this many steps back, and about this many bytes over all
    // snapshots kept; the oldest steps go first.
    static constexpr int MaxSteps = 200;
    static constexpr qint64 MaxBytes = 64 * 1024 * 1024;

    // owner: the component the design's objects belong to.
    TUndoHistory(TGBasePanel *panel, TComponent *owner, QObject *parent = nullptr);
    ~TUndoHistory() override;

    // The window's layout, and how it takes one back (panel size, captions).
    std::function<TLabelLayout()> CurrentLayout;
    std::function<void(const TLabelLayout &)> RestoreLayout;
    // After every change of what Undo and Redo offer.
    std::function<void()> Changed;

    // Forgets every step: the design as it is now is where history starts.
    // saved: it is what the file holds (no changes made).
    void Reset(bool saved);
    // The design as it is now is what the file holds. Geometry a save
    // rescaled or objects it dropped are taken in without a step.
    void MarkSaved();
    // Takes in a new geometry that is not a change of the design (zoom).
    void Rebase();
    // The design changed or is changing: a step is recorded once the
    // current command (and any dialog it opened) has finished.
    void NoteChange();
    // Records the pending step now; nothing when the design is unchanged.
    void Commit();
    bool Pending() const { return mPending; }

    bool CanUndo() const { return !mUndo.empty(); }
    bool CanRedo() const { return !mRedo.empty(); }
    // What Undo and Redo would reverse or repeat ("Move", "Font").
    QString UndoName() const;
    QString RedoName() const;
    int UndoCount() const { return int(mUndo.size()); }
    int RedoCount() const { return int(mRedo.size()); }
    // False when there was nothing to undo or redo. The objects the step
    // changed are selected afterwards.
    bool Undo();
    bool Redo();
    // The design is in the state last saved or opened.
    bool AtSavedState() const { return mSavedId >= 0 && mCurrent.Id == mSavedId; }
    // Bytes the snapshots hold (shared bytes counted once).
    qint64 BytesHeld() const;

private:
    struct Blob
    {
        QString Name;
        QByteArray Bytes;
        QRect Bounds;
    };
    struct State
    {
        QList<Blob> Objects;
        TLabelLayout Layout;
        float Zoom = 1.0f;
        qint64 Id = -1;
    };
    struct Step
    {
        State Design;
        QString Name;
    };

    State capture(const State &previous) const;
    static bool sameDesign(const State &a, const State &b);
    static QString describe(const State &before, const State &after);
    void restore(const State &target);
    void trim();
    void changed();
    void scheduleCommit();

    TGBasePanel *mPanel;
    TComponent *mOwner;
    State mCurrent;
    std::deque<Step> mUndo, mRedo;
    qint64 mNextId = 0;
    qint64 mSavedId = -1;
    bool mPending = false;
    bool mScheduled = false;
    bool mRestoring = false;
};
