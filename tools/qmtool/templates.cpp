// qmtool templates: the template chooser's list, without a display.

#include "Commands.h"

#include "layout/TemplateLibrary.h"

#include <climits>
#include <cstdio>

namespace {

int templatesUsage()
{
    std::fputs("usage: qmtool templates [--library FILE] [--product N] [--printer N]"
               " [--region N] [--find TEXT]\n"
               "       qmtool templates [--library FILE] --describe N\n"
               "Lists \"item text<TAB>entry\" as the template chooser shows them for the\n"
               "given radio items (product 0-6, printer 0-2, region 0-2; default 0).\n",
               stderr);
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

}  // namespace

int runTemplates(const QStringList &args)
{
    QString library;
    TemplateFilter filter;
    QString find;
    bool finding = false;
    int describe = -1;

    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &option = args.at(i);
        if (i + 1 >= args.size())
            return templatesUsage();
        const QString value = args.at(++i);
        bool ok = true;
        if (option == QLatin1String("--library"))
            library = value;
        else if (option == QLatin1String("--product"))
            ok = readItem(value, TemplateFilter::ProductAll, &filter.product);
        else if (option == QLatin1String("--printer"))
            ok = readItem(value, TemplateFilter::PrinterAll, &filter.printer);
        else if (option == QLatin1String("--region"))
            ok = readItem(value, TemplateFilter::RegionAll, &filter.region);
        else if (option == QLatin1String("--find")) {
            find = value;
            finding = true;
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
