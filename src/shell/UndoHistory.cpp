#include "shell/UndoHistory.h"

#include "design/GGraphc.h"
#include "design/GHandle.h"
#include "design/Gbasepnl.h"
#include "storage/Filer.h"

#include <QApplication>
#include <QHash>
#include <QScopeGuard>
#include <QSet>
#include <QTimer>
#include <QWidget>

namespace {

// A dialog still open keeps the step pending this long between looks, so
// that a command and the dialog it opened make one step.
constexpr int ModalRetryMs = 100;

QRect boundsOf(const TComponent *c)
{
    const auto *w = dynamic_cast<const QWidget *>(c);
    return w ? w->geometry() : QRect();
}

}  // namespace

TUndoHistory::TUndoHistory(TGBasePanel *panel, TComponent *owner, QObject *parent)
    : QObject(parent), mPanel(panel), mOwner(owner)
{
}

TUndoHistory::~TUndoHistory() = default;

TUndoHistory::State TUndoHistory::capture(const State &previous) const
{
    State s;
    if (CurrentLayout)
        s.Layout = CurrentLayout();
    s.Zoom = mPanel->Zoom();
    QHash<QString, QByteArray> before;
    for (const Blob &b : previous.Objects)
        before.insert(b.Name, b.Bytes);
    for (const TComponent *c : TGLabelObjectFiler::PanelObjects(mPanel)) {
        QByteArray bytes = TGLabelObjectFiler::ObjectFileBytes({c});
        // Unchanged objects keep sharing the bytes of the previous snapshot.
        const auto it = before.constFind(c->Name());
        if (it != before.cend() && *it == bytes)
            bytes = *it;
        s.Objects.append({c->Name(), bytes, boundsOf(c)});
    }
    return s;
}

bool TUndoHistory::sameDesign(const State &a, const State &b)
{
    if (!(a.Layout == b.Layout) || a.Zoom != b.Zoom || a.Objects.size() != b.Objects.size())
        return false;
    for (qsizetype i = 0; i < a.Objects.size(); ++i)
        if (a.Objects[i].Name != b.Objects[i].Name || a.Objects[i].Bytes != b.Objects[i].Bytes)
            return false;
    return true;
}

// A name for a step no command named: what happened to the objects.
QString TUndoHistory::describe(const State &before, const State &after)
{
    if (after.Objects.size() > before.Objects.size())
        return QStringLiteral("Add");
    if (after.Objects.size() < before.Objects.size())
        return QStringLiteral("Delete");
    if (!(after.Layout == before.Layout))
        return QStringLiteral("Label Layout");
    QHash<QString, const Blob *> old;
    for (const Blob &b : before.Objects)
        old.insert(b.Name, &b);
    bool moved = false, resized = false, other = false;
    for (const Blob &b : after.Objects) {
        const Blob *o = old.value(b.Name);
        if (!o) {
            other = true;
        } else if (o->Bytes != b.Bytes) {
            if (o->Bounds == b.Bounds)
                other = true;
            else if (o->Bounds.size() == b.Bounds.size())
                moved = true;
            else
                resized = true;
        }
    }
    if (other)
        return QStringLiteral("Change");
    if (resized)
        return QStringLiteral("Resize");
    return moved ? QStringLiteral("Move") : QStringLiteral("Order");
}

void TUndoHistory::Reset(bool saved)
{
    mUndo.clear();
    mRedo.clear();
    mPending = false;
    mCurrent = capture(State());
    mCurrent.Id = mNextId++;
    mSavedId = saved ? mCurrent.Id : -1;
    mPanel->TakeCommandName();
    changed();
}

void TUndoHistory::MarkSaved()
{
    Commit();
    Rebase();
    mSavedId = mCurrent.Id;
    changed();
}

void TUndoHistory::Rebase()
{
    Commit();
    const qint64 id = mCurrent.Id;
    mCurrent = capture(mCurrent);
    mCurrent.Id = id;
}

void TUndoHistory::NoteChange()
{
    if (mRestoring)
        return;
    const bool was = mPending;
    mPending = true;
    scheduleCommit();
    if (!was)
        changed();
}

void TUndoHistory::scheduleCommit()
{
    if (mScheduled)
        return;
    mScheduled = true;
    QTimer::singleShot(0, this, [this] {
        mScheduled = false;
        if (!mPending)
            return;
        if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
            mScheduled = true;
            QTimer::singleShot(ModalRetryMs, this, [this] {
                mScheduled = false;
                scheduleCommit();
            });
            return;
        }
        Commit();
    });
}

void TUndoHistory::Commit()
{
    if (!mPending)
        return;
    mPending = false;
    // Geometry an object fits to its new content (text to its font) is
    // part of this step, not a later one of its own.
    mRestoring = true;
    mPanel->SettleObjects();
    mRestoring = false;
    State now = capture(mCurrent);
    if (sameDesign(now, mCurrent)) {
        // A command that announced a change and then made none (or only
        // later, after this look) keeps its name for the change to come.
        changed();
        return;
    }
    QString name = mPanel->TakeCommandName();
    if (name.isEmpty())
        name = describe(mCurrent, now);
    now.Id = mNextId++;
    mUndo.push_back({std::move(mCurrent), name});
    mRedo.clear();
    mCurrent = std::move(now);
    trim();
    changed();
}

QString TUndoHistory::UndoName() const
{
    return mUndo.empty() ? QString() : mUndo.back().Name;
}

QString TUndoHistory::RedoName() const
{
    return mRedo.empty() ? QString() : mRedo.back().Name;
}

bool TUndoHistory::Undo()
{
    Commit();
    if (mUndo.empty())
        return false;
    Step step = std::move(mUndo.back());
    mUndo.pop_back();
    mRedo.push_back({mCurrent, step.Name});
    restore(step.Design);
    changed();
    return true;
}

bool TUndoHistory::Redo()
{
    Commit();
    if (mRedo.empty())
        return false;
    Step step = std::move(mRedo.back());
    mRedo.pop_back();
    mUndo.push_back({mCurrent, step.Name});
    restore(step.Design);
    changed();
    return true;
}

void TUndoHistory::restore(const State &target)
{
    mRestoring = true;
    const auto done = qScopeGuard([this] { mRestoring = false; });
    TGHandle *frame = mPanel->Selection();
    frame->ClearSelection();
    if (CurrentLayout && RestoreLayout && !(CurrentLayout() == target.Layout))
        RestoreLayout(target.Layout);

    // Objects whose bytes are the same in both states stay as they are;
    // the others are read again from the target's bytes. Without unique
    // names to match them by, every object is read again.
    const QList<TComponent *> live = TGLabelObjectFiler::PanelObjects(mPanel);
    bool matchable = live.size() == mCurrent.Objects.size();
    QHash<QString, QByteArray> wanted;
    for (const Blob &b : target.Objects) {
        const QString key = b.Name.toCaseFolded();
        matchable = matchable && !b.Name.isEmpty() && !wanted.contains(key);
        wanted.insert(key, b.Bytes);
    }
    QHash<QString, TComponent *> kept;
    QSet<QString> seen;
    for (qsizetype i = 0; matchable && i < live.size(); ++i) {
        const QString key = live[i]->Name().toCaseFolded();
        matchable = !key.isEmpty() && !seen.contains(key) && live[i]->Name() == mCurrent.Objects[i].Name;
        seen.insert(key);
        const auto it = wanted.constFind(key);
        if (matchable && it != wanted.cend() && *it == mCurrent.Objects[i].Bytes)
            kept.insert(key, live[i]);
    }
    if (!matchable)
        kept.clear();
    for (TComponent *c : live)
        if (!kept.contains(c->Name().toCaseFolded()) || kept.value(c->Name().toCaseFolded()) != c)
            delete c;

    QList<TComponent *> order;
    QList<TGGraphicControl *> fresh;
    for (const Blob &b : target.Objects) {
        if (TComponent *c = kept.value(b.Name.toCaseFolded())) {
            order.append(c);
            continue;
        }
        TGLabelObjectFiler filer;
        const QList<TComponent *> read = filer.ReadObjectBytes(mOwner, mPanel, b.Bytes);
        for (TComponent *c : read) {
            c->SetName(b.Name);
            order.append(c);
            if (auto *o = dynamic_cast<TGGraphicControl *>(c)) {
                // Snapshots keep the geometry of the zoom they were taken at.
                o->AdoptScale(target.Zoom);
                if (target.Zoom != mPanel->Zoom())
                    o->SetScale(mPanel->Zoom());
                fresh.append(o);
            }
        }
    }
    for (TComponent *c : order)
        if (auto *w = dynamic_cast<QWidget *>(c))
            w->raise();
    mPanel->AttachObjects();
    mPanel->SettleObjects();
    mPanel->KeepFrameOnTop();
    for (TGGraphicControl *o : fresh) {
        // The bounds the next move is measured from, as after a paint.
        o->CheckBoundsChanged();
        frame->AddToSelection(o);
    }
    mPanel->update();

    const qint64 id = target.Id;
    mCurrent = capture(target);
    mCurrent.Id = id;
}

void TUndoHistory::trim()
{
    while (int(mUndo.size()) > MaxSteps)
        mUndo.pop_front();
    while (mUndo.size() > 1 && BytesHeld() > MaxBytes)
        mUndo.pop_front();
}

qint64 TUndoHistory::BytesHeld() const
{
    QSet<const char *> counted;
    qint64 total = 0;
    auto add = [&](const State &s) {
        for (const Blob &b : s.Objects)
            if (!counted.contains(b.Bytes.constData())) {
                counted.insert(b.Bytes.constData());
                total += b.Bytes.size();
            }
    };
    add(mCurrent);
    for (const Step &s : mUndo)
        add(s.Design);
    for (const Step &s : mRedo)
        add(s.Design);
    return total;
}

void TUndoHistory::changed()
{
    if (Changed)
        Changed();
}
