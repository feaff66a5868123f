#pragma once
// The check a print run makes before it starts: every label of the run is
// asked of every object (a barcode whose data does not fit its symbology,
// perhaps only from some counter value on), so that nothing is printed when
// any label would come out wrong.

#include "print/Sheet.h"

#include <QList>
#include <QString>

class TGBasePanel;
class TMergeSource;

// The first problem of the run that prints the selected cells of `sheet`
// on `pageCount` sheets, as a message naming the label, the page and what
// the object reports; empty when every label can be printed. The counters are
// restarted afterwards.
QString RunProblem(TGBasePanel *panel, const TSheetMetrics &sheet, const QList<bool> &cells, int pageCount);

// The same check of a mail merge run: every record of the range (numbered
// from 1; last < 1: to the end), each `copies` times, in the order the run
// places them. The message names the record at fault. The source is
// rewound, the counters restarted and the panel's record put back
// afterwards. Throws EMergeError when the source no longer reads.
QString MergeRunProblem(TGBasePanel *panel, TMergeSource &source, qint64 first, qint64 last, int copies);
