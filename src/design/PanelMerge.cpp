// TGBasePanel: the mail merge record its objects draw their fields from.

#include "design/GGraphc.h"
#include "design/Gbasepnl.h"
#include "storage/DesignProperties.h"

void TGBasePanel::SetMergeRecord(const TMergeRecord &record)
{
    mMergeRecord = record;
    // Objects fit their geometry to the values now, not at the next paint;
    // showing a record is no change of the design.
    const bool held = mHoldNotifications;
    mHoldNotifications = true;
    try {
        for (TGGraphicControl *o : Objects())
            o->MergeRecordChanged();
    } catch (...) {
        mHoldNotifications = held;
        throw;
    }
    mHoldNotifications = held;
}

void TGBasePanel::ShowFirstRecord()
{
    mMergeError.clear();
    TMergeRecord record;
    if (!mDesign->MergeSource().isEmpty()) {
        try {
            record = TMergeSource::FirstRecord(mDesign->MergeSource(), mDesign->MergeOptions());
        } catch (const EMergeError &e) {
            mMergeError = e.message();
        }
    }
    SetMergeRecord(record);
}
