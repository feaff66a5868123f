#pragma once
// The template library and the template chooser's rules, free of widgets so
// that the chooser dialog and qmtool share them.

#include "storage/LabelLayout.h"

#include <QList>
#include <QString>
#include <QStringList>

// TemplateLibrary: reads QMTPL.dat, the list of ready-made layouts.
class TemplateLibrary
{
public:
    static constexpr const char *FileName = "QMTPL.dat";

    // QMTPL.dat beside the executable, else the one in the installed data
    // folder; the first candidate when neither exists.
    static QString defaultPath();

    // Every template of the file, in file order (entry i is element i - 1).
    // A missing or empty file gives an empty list, a damaged one the
    // templates read before the damage; `problem` then says what went wrong.
    static QList<TLabelLayout> read(const QString &fileName, QString *problem = nullptr);
};

// TemplateFilter: the three radio choices of the chooser ("Product Type",
// "Printer Type", "Region") and the test a template must pass to be listed.
struct TemplateFilter
{
    enum { ProductAll = 6, PrinterAll = 2, RegionAll = 2 };
    static const QStringList ProductItems;  // radio captions, in item order
    static const QStringList PrinterItems;
    static const QStringList RegionItems;

    int product = 0;
    int printer = 0;
    int region = 0;

    // The choices a change of layout starts from, taken from the current one.
    static TemplateFilter fromCurrent(const QString &productType, const QString &printerType,
                                      const QString &paperSize);
    bool passes(const TLabelLayout &layout) const;
    // The radio item a command-line word names: the item's number, or the
    // start of its caption or of one of the caption's words, ignoring case
    // ("address", "inkjet", "european"); -1 when it names none or several.
    static int itemNamed(const QStringList &items, const QString &word);
    bool operator==(const TemplateFilter &) const = default;
};

// TemplateItem: one line of the chooser's list and the entry it stands for.
struct TemplateItem
{
    QString text;
    int entry = 0;  // 1-based entry number in the library
};

namespace templatechooser {

// Whether the chooser presets its filters and type-ahead from the current
// layout: only when changing a layout that came from the library.
bool presetsFromCurrent(bool forNewLabel, const QString &currentName);
// The type-ahead text preset from the current layout's name.
QString typeAheadText(const QString &currentName);
// The list text of a template: its name without the six-character maker
// prefix ("Avery "), or the whole name when it does not start with one.
QString itemText(const TLabelLayout &layout);
// The list's order: alphabetical ignoring case, then by case, then by entry.
bool itemLess(const TemplateItem &a, const TemplateItem &b);
// Every named template of the library in list order; sorted once, so that
// each filter change is one pass over it.
QList<TemplateItem> sortedItems(const QList<TLabelLayout> &templates);
// The items of `sorted` (from sortedItems(templates)) that pass the filter.
QList<TemplateItem> filterItems(const QList<TLabelLayout> &templates,
                                const QList<TemplateItem> &sorted, const TemplateFilter &filter);
// The listed templates in list order.
QList<TemplateItem> filterTemplates(const QList<TLabelLayout> &templates,
                                    const TemplateFilter &filter);
// Every template whose name contains `text`, ignoring case, in library order.
QList<int> searchNames(const QList<TLabelLayout> &templates, const QString &text);
// Row the type-ahead selects: the first item starting with `typed`
// (ignoring case) from the second item on, the first item last; -1 for none.
int typeAheadRow(const QStringList &itemTexts, const QString &typed);
// The "Description" lines of a template.
QStringList description(const TLabelLayout &layout);
// The shortest decimal text that reads back as the same double.
QString shortestDecimal(double value);

}  // namespace templatechooser
