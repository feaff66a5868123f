#pragma once
// The check a print run makes before it starts: every label of the run is
// asked of every object (a barcode whose data does not fit its symbology,
// perhaps only from some counter value on), so that nothing is printed when
// any label would come out wrong.

#include "print/Sheet.h"

#include <QList>
#include <QString>

class TGBasePanel;

// The first problem of the run that prints the selected cells of `sheet`
// on `pageCount` sheets, as a message naming the label, the page and what
// the object reports; empty when every label can be printed. The counters are
// restarted afterwards.
QString RunProblem(TGBasePanel *panel, const TSheetMetrics &sheet, const QList<bool> &cells, int pageCount);
