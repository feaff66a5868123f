// qmtool templates: the template chooser's list, without a display.

#include "Commands.h"

#include "layout/TemplateLibrary.h"

#include <climits>
#include <cstdio>

namespace {

QString choices(const QStringList &items)
{
    QStringList named;
    for (int i = 0; i < items.size(); ++i)
        named.append(QStringLiteral("%1 \"%2\"").arg(i).arg(items.at(i)));
    return named.join(QStringLiteral(", "));
}

void printUsage(std::FILE *to)
{
    const QString text = QStringLiteral(
        "usage: qmtool templates [--library FILE] [--product P] [--printer P] [--region R]\n"
        "                        [--find TEXT]\n"
        "       qmtool templates [--library FILE] [--product P] [--printer P] [--region R]\n"
        "                        --search TEXT\n"
        "       qmtool templates [--library FILE] --describe N\n"
        "Lists \"item text<TAB>entry\" as the template chooser shows them for the given\n"
        "radio items (default: the first of each). An item is given by its number or by\n"
        "the start of its name or of a word of it, without regard to case\n"
        "(--product address, --printer inkjet, --region european):\n"
        "  --product  %1\n"
        "  --printer  %2\n"
        "  --region   %3\n"
        "--find TEXT    the item the chooser's type-ahead selects for TEXT\n"
        "--search TEXT  \"name<TAB>entry\" of every template whose name contains TEXT\n"
        "               (without regard to case), in library order; only --product,\n"
        "               --printer and --region given narrow it\n"
        "--describe N   the description of entry N\n"
        "--library FILE another template library than the program's QMTPL.dat\n")
        .arg(choices(TemplateFilter::ProductItems), choices(TemplateFilter::PrinterItems),
             choices(TemplateFilter::RegionItems));
    std::fputs(text.toUtf8().constData(), to);
}

int templatesUsage()
{
    printUsage(stderr);
    return 2;
}

void print(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

bool readItem(const QString &text, int last, int *value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < 0 || v > last)
        return false;
    *value = v;
    return true;
}

bool readNamedItem(const QStringList &items, const QString &text, int *value)
{
    const int v = TemplateFilter::itemNamed(items, text);
    if (v < 0)
        return false;
    *value = v;
    return true;
}

}  // namespace

int runTemplates(const QStringList &args)
{
    QString library;
    TemplateFilter filter;
    QString find;
    bool finding = false;
    QString search;
    bool searching = false;
    // Filters --search honours: only the ones given.
    TemplateFilter searchFilter{TemplateFilter::ProductAll, TemplateFilter::PrinterAll,
                                TemplateFilter::RegionAll};
    int describe = -1;

    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &option = args.at(i);
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            printUsage(stdout);
            return 0;
        }
        if (i + 1 >= args.size())
            return templatesUsage();
        const QString value = args.at(++i);
        bool ok = true;
        if (option == QLatin1String("--library"))
            library = value;
        else if (option == QLatin1String("--product"))
            ok = readNamedItem(TemplateFilter::ProductItems, value, &filter.product)
                 && readNamedItem(TemplateFilter::ProductItems, value, &searchFilter.product);
        else if (option == QLatin1String("--printer"))
            ok = readNamedItem(TemplateFilter::PrinterItems, value, &filter.printer)
                 && readNamedItem(TemplateFilter::PrinterItems, value, &searchFilter.printer);
        else if (option == QLatin1String("--region"))
            ok = readNamedItem(TemplateFilter::RegionItems, value, &filter.region)
                 && readNamedItem(TemplateFilter::RegionItems, value, &searchFilter.region);
        else if (option == QLatin1String("--find")) {
            find = value;
            finding = true;
        } else if (option == QLatin1String("--search")) {
            search = value;
            searching = true;
        } else if (option == QLatin1String("--describe"))
            ok = readItem(value, INT_MAX, &describe) && describe >= 1;
        else
            return templatesUsage();
        if (!ok) {
            std::fprintf(stderr, "qmtool templates: bad value for %s: %s\n",
                         qPrintable(option), qPrintable(value));
            return 2;
        }
    }

    if (library.isEmpty())
        library = TemplateLibrary::defaultPath();
    QString problem;
    const QList<TLabelLayout> templates = TemplateLibrary::read(library, &problem);
    if (!problem.isEmpty())
        std::fprintf(stderr, "qmtool templates: %s\n", qPrintable(problem));
    const int status = problem.isEmpty() ? 0 : 1;

    if (describe >= 1) {
        if (describe > templates.size() || templates.at(describe - 1).Name.isEmpty()) {
            std::fprintf(stderr, "qmtool templates: no template %d in %s\n", describe,
                         qPrintable(library));
            return 1;
        }
        for (const QString &line : templatechooser::description(templates.at(describe - 1)))
            print(line);
        return status;
    }

    if (searching) {
        if (finding)
            return templatesUsage();
        for (int entry : templatechooser::searchNames(templates, search)) {
            const TLabelLayout &t = templates.at(entry - 1);
            if (searchFilter.passes(t))
                print(t.Name + QLatin1Char('\t') + QString::number(entry));
        }
        return status;
    }

    const QList<TemplateItem> items = templatechooser::filterTemplates(templates, filter);
    if (finding) {
        QStringList texts;
        for (const TemplateItem &item : items)
            texts.append(item.text);
        const int row = templatechooser::typeAheadRow(texts, find);
        if (row >= 0)
            print(items.at(row).text + QLatin1Char('\t') + QString::number(items.at(row).entry));
        return status;
    }
    for (const TemplateItem &item : items)
        print(item.text + QLatin1Char('\t') + QString::number(item.entry));
    return status;
}
