// TQMMainScreen: the mail merge data source of the design.

#include "shell/Main.h"

#include "controls/DialogSupport.h"
#include "controls/MessageBoxes.h"
#include "design/Gqmpanel32.h"
#include "print/MergeSourceDialog.h"
#include "storage/DesignProperties.h"

void TQMMainScreen::mnuMergeDataClick()
{
    TMergeSourceDialog dialog(this);
    TDesignProperties &design = mPanel->Design();
    dialog.SetValues(design);
    if (ExecDialog(dialog) != QDialog::Accepted)
        return;
    if (!dialog.ApplyTo(design))
        return;
    mPanel->NotifyLabelChanged();
    mPanel->ShowFirstRecord();
    if (!mPanel->MergeError().isEmpty())
        InformationBox(mPanel->MergeError(), this);
}
