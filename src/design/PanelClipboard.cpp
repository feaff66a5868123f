// The design panel's object clipboard: cut, copy and paste through the
// clipboard file, written and read by the label object filer.

#include "design/Gbasepnl.h"

#include "controls/MessageBoxes.h"
#include "design/GGraphc.h"
#include "design/GHandle.h"
#include "design/Ticks.h"
#include "storage/Filer.h"

#include <QCoreApplication>

#include <exception>
#include <memory>

namespace {

QString errorText(const std::exception &e)
{
    return QString::fromStdString(e.what());
}

}  // namespace

bool TGBasePanel::writeClipboard(const QList<TGGraphicControl *> &objects)
{
    if (objects.isEmpty())
        return true;
    try {
        TGLabelObjectFiler filer;
        QList<TComponent *> stored(objects.begin(), objects.end());
        // The clipboard holds geometry at zoom 1.0, as label files do, so a
        // paste at another zoom keeps the objects' real size. Zoomed objects
        // are copied and the copies scaled back; the originals keep their
        // pixels (a zoom round trip would cost them rounding).
        std::unique_ptr<QWidget> scratch;
        bool zoomed = false;
        for (const TGGraphicControl *o : objects)
            zoomed = zoomed || o->Scale() != 1.0f;
        if (zoomed) {
            scratch = std::make_unique<QWidget>();
            const QList<const TComponent *> originals(objects.begin(), objects.end());
            stored = filer.ReadObjectBytes(nullptr, scratch.get(), TGLabelObjectFiler::ObjectFileBytes(originals));
            for (qsizetype i = 0; i < stored.size() && i < objects.size(); ++i)
                if (auto *copy = dynamic_cast<TGGraphicControl *>(stored.at(i))) {
                    copy->AdoptScale(objects.at(i)->Scale());
                    copy->SetScale(1.0f);
                }
        }
        if (stored.size() == 1 && mSelection->IndexOfSelected(objects.first()) < 0)
            filer.WriteObject(stored.first(), mClipboardFileName);
        else
            filer.WriteSelection(stored, mClipboardFileName);
    } catch (const std::exception &e) {
        InformationBox(errorText(e), this);
        return false;
    }
    mWrittenClipboard = mClipboardFileName;
    return true;
}

bool TGBasePanel::CopySelection()
{
    return writeClipboard(mSelection->SelectedObjects());
}

bool TGBasePanel::CutSelection()
{
    if (mSelection->SelectedCount() == 0)
        return true;
    // Nothing is deleted unless it is safely on the clipboard.
    if (!CopySelection())
        return false;
    NameCommand(QStringLiteral("Cut"));
    DeleteSelection();
    return true;
}

bool TGBasePanel::CopyObject(TGGraphicControl *object)
{
    if (mSelection->IndexOfSelected(object) >= 0)
        return CopySelection();
    return writeClipboard({object});
}

bool TGBasePanel::CutObject(TGGraphicControl *object)
{
    if (mSelection->IndexOfSelected(object) >= 0)
        return CutSelection();
    if (!writeClipboard({object}))
        return false;
    NameCommand(QStringLiteral("Cut"));
    DeleteObject(object);
    return true;
}

void TGBasePanel::Paste()
{
    // Guards against a held or doubled key: one paste per second.
    const qint64 now = TickCount();
    if (mLastPasteTime != 0 && now - mLastPasteTime < 1000)
        return;
    if (mLastPasteTime == 0)
        mLastPasteTime = now;

    const QList<TComponent *> before = TGLabelObjectFiler::PanelObjects(this);
    QList<TComponent *> pasted;
    mHoldNotifications = true;
    try {
        TGLabelObjectFiler filer;
        pasted = filer.ReadObjects(mObjectOwner, this, mClipboardFileName);
        mHoldNotifications = false;
    } catch (const std::exception &e) {
        mHoldNotifications = false;
        // The objects a damaged file gave before the damage go again: a
        // paste is all or nothing.
        for (TComponent *c : TGLabelObjectFiler::PanelObjects(this)) {
            if (before.contains(c))
                continue;
            if (auto *o = dynamic_cast<TGGraphicControl *>(c))
                mSelection->RemoveFromSelection(o);
            delete c;
        }
        InformationBox(errorText(e), this);
        return;
    }
    if (pasted.isEmpty()) {
        // No clipboard file (or an empty one): the design stays unchanged.
        mLastPasteTime = TickCount();
        return;
    }
    // Read at zoom 1.0; shown at the panel's zoom.
    for (TComponent *c : pasted)
        if (auto *o = dynamic_cast<TGGraphicControl *>(c))
            o->SetScale(mZoom);
    AttachObjects();
    NameCommand(QStringLiteral("Paste"));
    NotifyLabelChanged();
    QCoreApplication::processEvents();
    mLastPasteTime = TickCount();
}
