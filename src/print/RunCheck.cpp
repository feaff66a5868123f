#include "print/RunCheck.h"

#include "design/GGraphc.h"
#include "design/Gbasepnl.h"
#include "storage/MergeSource.h"

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

QString MergeRunProblem(TGBasePanel *panel, TMergeSource &source, qint64 first, qint64 last, int copies)
{
    if (!panel)
        return QString();
    const bool wasPrinting = panel->Printing();
    const TMergeRecord shown = panel->MergeRecord();
    panel->SetPrinting(true);
    panel->RestartSequences();
    const QList<TGGraphicControl *> objects = panel->Objects();
    QString problem;
    // Put back whatever happens, a source that no longer reads included.
    struct Restore
    {
        TGBasePanel *panel;
        TMergeSource &source;
        const TMergeRecord &shown;
        bool wasPrinting;
        ~Restore()
        {
            source.Rewind();
            panel->RestartSequences();
            panel->SetMergeRecord(shown);
            panel->SetPrinting(wasPrinting);
        }
    } restore{panel, source, shown, wasPrinting};
    source.Rewind();
    TMergeRecord record;
    while (problem.isEmpty() && source.Next(record)) {
        if (record.Number < first)
            continue;
        if (last >= 1 && record.Number > last)
            break;
        panel->SetMergeRecord(record);
        for (int c = 0; c < std::max(1, copies) && problem.isEmpty(); ++c) {
            for (const TGGraphicControl *o : objects) {
                const QString p = o->PrintProblem();
                if (!p.isEmpty()) {
                    problem = QStringLiteral("Record %1 cannot be printed:\n%2").arg(record.Number).arg(p);
                    break;
                }
            }
            panel->AdvanceLabels();
        }
    }
    return problem;
}
