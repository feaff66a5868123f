#pragma once
// The template table in data/, read plainly (it holds no quoted fields).

#include <QFile>
#include <QList>
#include <QStringList>

inline QList<QStringList> templateTableRows()
{
    QFile f(QStringLiteral(QM_TEMPLATE_TABLE));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QList<QStringList> rows;
    const QStringList lines =
        QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i)
        rows.append(lines.at(i).split(QLatin1Char(',')));
    return rows;
}
