// qmtplgen: turns the template table (CSV, one layout per row after a
// header row) into the template library file the program reads.
//
// usage: qmtplgen TEMPLATES.csv QMTPL.dat
//
// Any bad row stops it with "file:line: what is wrong" and no output file.

#include "storage/LabelLayout.h"
#include "storage/Stream.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace {

const QStringList Columns = {
    QStringLiteral("Name"), QStringLiteral("LabelHeight"), QStringLiteral("LabelWidth"),
    QStringLiteral("Across"), QStringLiteral("Down"), QStringLiteral("TopMargin"),
    QStringLiteral("LeftMargin"), QStringLiteral("HorizontalPitch"),
    QStringLiteral("VerticalPitch"), QStringLiteral("PageWidth"), QStringLiteral("PageHeight"),
    QStringLiteral("ColumnGap"), QStringLiteral("RowGap"), QStringLiteral("PrinterType"),
    QStringLiteral("PaperSize"), QStringLiteral("LabelShape"), QStringLiteral("ProductType"),
    QStringLiteral("ArtName")};

// BadRow: what is wrong with one line of the table.
struct BadRow : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

[[noreturn]] void bad(const QString &what)
{
    throw BadRow(what.toStdString());
}

// One CSV line; fields may be quoted, with "" for a quote inside.
QStringList splitCsv(const QString &line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"')) {
                    field.append(c);
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field.append(c);
            }
        } else if (c == QLatin1Char('"') && field.isEmpty()) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields.append(field);
            field.clear();
        } else {
            field.append(c);
        }
    }
    if (quoted)
        bad(QStringLiteral("unterminated quoted field"));
    fields.append(field);
    return fields;
}

double number(const QStringList &fields, int column)
{
    bool ok = false;
    const double v = fields.at(column).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        bad(QStringLiteral("%1 is not a number: \"%2\"")
                .arg(Columns.at(column), fields.at(column)));
    return v;
}

qint32 integer(const QStringList &fields, int column)
{
    bool ok = false;
    const int v = fields.at(column).trimmed().toInt(&ok);
    if (!ok)
        bad(QStringLiteral("%1 is not a whole number: \"%2\"")
                .arg(Columns.at(column), fields.at(column)));
    return v;
}

QString text(const QStringList &fields, int column, int maxLength)
{
    const QString s = fields.at(column);
    if (s.size() > maxLength)
        bad(QStringLiteral("%1 is longer than %2 characters: \"%3\"")
                .arg(Columns.at(column)).arg(maxLength).arg(s));
    if (streamcodec::fromCp1252(streamcodec::toCp1252(s)) != s)
        bad(QStringLiteral("%1 holds characters the library cannot store: \"%2\"")
                .arg(Columns.at(column), s));
    return s;
}

TLabelLayout parseRow(const QStringList &f)
{
    if (f.size() != Columns.size())
        bad(QStringLiteral("%1 fields, expected %2").arg(f.size()).arg(Columns.size()));
    TLabelLayout l;
    l.Name = text(f, 0, TLabelLayout::NameLength);
    if (l.Name.trimmed().isEmpty())
        bad(QStringLiteral("Name is empty"));
    // Measurements are stored as the double the table gives.
    l.LabelHeight = number(f, 1);
    l.LabelWidth = number(f, 2);
    l.Across = integer(f, 3);
    l.Down = integer(f, 4);
    if (l.Across < 1 || l.Down < 1)
        bad(QStringLiteral("Across and Down must be at least 1"));
    l.TopMargin = number(f, 5);
    l.LeftMargin = number(f, 6);
    l.HorizontalPitch = number(f, 7);
    l.VerticalPitch = number(f, 8);
    l.PageWidth = number(f, 9);
    l.PageHeight = number(f, 10);
    l.ColumnGap = number(f, 11);
    l.RowGap = number(f, 12);
    if (l.LabelHeight <= 0 || l.LabelWidth <= 0 || l.PageWidth <= 0 || l.PageHeight <= 0)
        bad(QStringLiteral("label and page sizes must be greater than 0"));
    l.PrinterType = text(f, 13, TLabelLayout::PrinterTypeLength);
    l.PaperSize = text(f, 14, TLabelLayout::PaperSizeLength);
    l.LabelShape = text(f, 15, TLabelLayout::LabelShapeLength);
    l.ProductType = text(f, 16, TLabelLayout::ProductTypeLength);
    l.ArtName = text(f, 17, TLabelLayout::ArtNameLength);
    return l;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "qmtplgen: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fputs("usage: qmtplgen TEMPLATES.csv QMTPL.dat\n", stderr);
        return 2;
    }
    const QString csvName = args.at(1);
    const QString outName = args.at(2);

    QFile csv(csvName);
    if (!csv.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("%1: %2").arg(csvName, csv.errorString()));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'));

    QList<TLabelLayout> templates;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        try {
            const QStringList fields = splitCsv(line);
            if (i == 0) {
                if (fields != Columns)
                    bad(QStringLiteral("the header row must be: ")
                        + Columns.join(QLatin1Char(',')));
                continue;
            }
            templates.append(parseRow(fields));
        } catch (const BadRow &e) {
            return fail(QStringLiteral("%1:%2: %3")
                            .arg(csvName)
                            .arg(i + 1)
                            .arg(QString::fromStdString(e.what())));
        }
    }
    if (templates.isEmpty())
        return fail(QStringLiteral("%1: no templates").arg(csvName));

    PropertyWriter writer;
    writer.writeListBegin();
    for (const TLabelLayout &t : templates)
        t.Write(writer);
    writer.writeListEnd();

    QSaveFile out(outName);
    if (!out.open(QIODevice::WriteOnly) || out.write(writer.data()) != writer.data().size()
        || !out.commit())
        return fail(QStringLiteral("%1: %2").arg(outName, out.errorString()));
    return 0;
}
