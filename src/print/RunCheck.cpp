#include "print/RunCheck.h"

#include "design/GGraphc.h"
#include "design/Gbasepnl.h"

#include <algorithm>

QString RunProblem(TGBasePanel *panel, const TSheetMetrics &sheet, const QList<bool> &cells, int pageCount)
{
    if (!panel)
        return QString();
    QList<int> printed;
    const int cellCount = int(std::min<qsizetype>(sheet.CellCount(), cells.size()));
    for (int c = 0; c < cellCount; ++c)
        if (cells.at(c))
            printed.append(c);
    if (printed.isEmpty())
        return QString();

    // While the run's labels are counted the panel takes no changes.
    const bool wasPrinting = panel->Printing();
    panel->SetPrinting(true);
    panel->RestartSequences();
    const QList<TGGraphicControl *> objects = panel->Objects();
    QString problem;
    const qint64 total = qint64(printed.size()) * std::max(1, pageCount);
    for (qint64 k = 0; k < total && problem.isEmpty(); ++k) {
        for (const TGGraphicControl *o : objects) {
            const QString p = o->PrintProblem();
            if (p.isEmpty())
                continue;
            problem = QStringLiteral("Label %1 on page %2 cannot be printed:\n%3")
                          .arg(printed.at(int(k % printed.size())) + 1)
                          .arg(k / printed.size() + 1)
                          .arg(p);
            break;
        }
        panel->AdvanceLabels();
    }
    panel->RestartSequences();
    panel->SetPrinting(wasPrinting);
    return problem;
}
