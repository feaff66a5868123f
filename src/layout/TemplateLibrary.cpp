#include "TemplateLibrary.h"

#include "storage/AppPaths.h"
#include "storage/Stream.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <charconv>

namespace {

// Far beyond any real library; a bigger file is not one.
constexpr qint64 MaxLibraryBytes = 64 * 1024 * 1024;

}  // namespace

QString TemplateLibrary::defaultPath()
{
    return AppPaths::DataFilePath(QLatin1String(FileName));
}

QList<TLabelLayout> TemplateLibrary::read(const QString &fileName, QString *problem)
{
    QList<TLabelLayout> templates;
    auto report = [&](const QString &text) {
        if (problem)
            *problem = text;
    };
    report(QString());

    QFile file(fileName);
    if (!file.exists()) {
        report(QStringLiteral("%1 does not exist").arg(fileName));
        return templates;
    }
    if (file.size() > MaxLibraryBytes) {
        report(QStringLiteral("%1 is too large to be a template library").arg(fileName));
        return templates;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        report(QStringLiteral("%1 cannot be read: %2").arg(fileName, file.errorString()));
        return templates;
    }
    const QByteArray data = file.readAll();
    if (data.isEmpty()) {
        report(QStringLiteral("%1 holds no template list").arg(fileName));
        return templates;
    }

    PropertyReader reader(data);
    try {
        reader.readListBegin();
        while (!reader.atEnd() && !reader.endOfList()) {
            TLabelLayout layout;
            layout.Read(reader);
            templates.append(layout);
        }
        reader.readListEnd();
        if (!reader.atEnd()) {
            report(QStringLiteral("%1 is damaged after %2 templates: data follows the end of the list")
                       .arg(fileName)
                       .arg(templates.size()));
        }
    } catch (const EStreamError &e) {
        report(QStringLiteral("%1 is damaged after %2 templates: %3")
                   .arg(fileName)
                   .arg(templates.size())
                   .arg(e.message()));
    }
    return templates;
}

const QStringList TemplateFilter::ProductItems = {
    QStringLiteral("Address Labels"), QStringLiteral("Card Products"),
    QStringLiteral("Diskette Labels"), QStringLiteral("File Folder Labels"),
    QStringLiteral("Index Products"), QStringLiteral("Miscellaneous"), QStringLiteral("All")};
const QStringList TemplateFilter::PrinterItems = {
    QStringLiteral("Laserjet"), QStringLiteral("Inkjet/Deskjet"), QStringLiteral("All")};
const QStringList TemplateFilter::RegionItems = {
    QStringLiteral("United States"), QStringLiteral("European"), QStringLiteral("All")};

namespace {

// The words the product items filter on. Presetting looks for "FOLDER" where
// filtering looks for "FILE", so a "LEVER ARCH FILE" layout presets nothing
// but is listed under "File Folder Labels".
const char *const ProductFilterWords[] = {"ADDRESS", "CARD", "DISK", "FILE", "INDEX", "MISC"};
const char *const ProductPresetWords[] = {"ADDRESS", "CARD", "DISK", "FOLDER", "INDEX", "MISC"};
const char *const PrinterWords[] = {"LJ", "IJ"};

bool isEuropean(const QString &paperSize)
{
    return paperSize.contains(QLatin1String("A4")) || paperSize.contains(QLatin1String("A5"));
}

}  // namespace

TemplateFilter TemplateFilter::fromCurrent(const QString &productType,
                                           const QString &printerType,
                                           const QString &paperSize)
{
    TemplateFilter f;
    const QString product = productType.toUpper();
    f.product = ProductAll;
    for (int i = 0; i < ProductAll; ++i) {
        if (product.contains(QLatin1String(ProductPresetWords[i]))) {
            f.product = i;
            break;
        }
    }

    if (printerType == QLatin1String("LJ"))
        f.printer = 0;
    else if (printerType == QLatin1String("IJ"))
        f.printer = 1;
    else
        f.printer = PrinterAll;

    const QString paper = paperSize.toUpper();
    if (isEuropean(paper))
        f.region = 1;
    else if (paper.contains(QLatin1String("LTR")))
        f.region = 0;
    else
        f.region = RegionAll;
    return f;
}

bool TemplateFilter::passes(const TLabelLayout &layout) const
{
    // The region test is case-sensitive: "a4" counts as United States.
    if (region == 0 && isEuropean(layout.PaperSize))
        return false;
    if (region == 1 && !isEuropean(layout.PaperSize))
        return false;
    if (product >= 0 && product < ProductAll
        && !layout.ProductType.toUpper().contains(QLatin1String(ProductFilterWords[product])))
        return false;
    if (printer >= 0 && printer < PrinterAll
        && !layout.PrinterType.toUpper().contains(QLatin1String(PrinterWords[printer])))
        return false;
    return true;
}

int TemplateFilter::itemNamed(const QStringList &items, const QString &word)
{
    bool isNumber = false;
    const int number = word.toInt(&isNumber);
    if (isNumber)
        return number >= 0 && number < items.size() ? number : -1;
    if (word.isEmpty())
        return -1;
    int found = -1;
    for (int i = 0; i < items.size(); ++i) {
        QStringList starts = items.at(i).split(QRegularExpression(QStringLiteral("[ /]")),
                                               Qt::SkipEmptyParts);
        starts.prepend(items.at(i));
        const bool named = std::any_of(starts.begin(), starts.end(), [&word](const QString &s) {
            return s.startsWith(word, Qt::CaseInsensitive);
        });
        if (named) {
            if (found >= 0)
                return -1;
            found = i;
        }
    }
    return found;
}

namespace templatechooser {

bool presetsFromCurrent(bool forNewLabel, const QString &currentName)
{
    return !forNewLabel && !currentName.toUpper().contains(QLatin1String("USER"));
}

QString typeAheadText(const QString &currentName)
{
    if (currentName.toUpper().contains(QLatin1String("AVERY")))
        return currentName.mid(6, 60);
    return currentName;
}

QString itemText(const TLabelLayout &layout)
{
    // Names of makers that do not fit the six-character prefix ("Zweckform
    // 3475", "Online Labels OL28") are shown whole rather than cut mid-word.
    const QString &name = layout.Name;
    if (name.size() > 6 && name.at(5) == QLatin1Char(' ') && name.at(6) != QLatin1Char(' '))
        return name.mid(6);
    return name;
}

bool itemLess(const TemplateItem &a, const TemplateItem &b)
{
    if (const int c = a.text.compare(b.text, Qt::CaseInsensitive))
        return c < 0;
    if (const int c = a.text.compare(b.text, Qt::CaseSensitive))
        return c < 0;
    return a.entry < b.entry;
}

QList<TemplateItem> sortedItems(const QList<TLabelLayout> &templates)
{
    QList<TemplateItem> items;
    items.reserve(templates.size());
    for (qsizetype i = 0; i < templates.size(); ++i) {
        const TLabelLayout &t = templates.at(i);
        if (!t.Name.isEmpty())
            items.append({itemText(t), int(i + 1)});
    }
    std::sort(items.begin(), items.end(), itemLess);
    return items;
}

QList<TemplateItem> filterItems(const QList<TLabelLayout> &templates,
                                const QList<TemplateItem> &sorted, const TemplateFilter &filter)
{
    QList<TemplateItem> items;
    for (const TemplateItem &item : sorted) {
        if (filter.passes(templates.at(item.entry - 1)))
            items.append(item);
    }
    return items;
}

QList<TemplateItem> filterTemplates(const QList<TLabelLayout> &templates,
                                    const TemplateFilter &filter)
{
    return filterItems(templates, sortedItems(templates), filter);
}

QList<int> searchNames(const QList<TLabelLayout> &templates, const QString &text)
{
    QList<int> entries;
    for (qsizetype i = 0; i < templates.size(); ++i) {
        const QString &name = templates.at(i).Name;
        if (!name.isEmpty() && name.contains(text, Qt::CaseInsensitive))
            entries.append(int(i + 1));
    }
    return entries;
}

int typeAheadRow(const QStringList &itemTexts, const QString &typed)
{
    const int count = int(itemTexts.size());
    for (int step = 1; step <= count; ++step) {
        const int row = step % count;  // 1, 2, ..., count - 1, then 0
        if (itemTexts.at(row).startsWith(typed, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

QStringList description(const TLabelLayout &t)
{
    QStringList lines = {
        QStringLiteral("Label Height: ") + shortestDecimal(t.LabelHeight),
        QStringLiteral("Label Width: ") + shortestDecimal(t.LabelWidth),
        QStringLiteral("# Across: ") + QString::number(t.Across),
        QStringLiteral("# Down: ") + QString::number(t.Down),
        QStringLiteral("Top Margin: ") + shortestDecimal(t.TopMargin),
        QStringLiteral("Left Margin: ") + shortestDecimal(t.LeftMargin),
        QStringLiteral("Horizontal Pitch: ") + shortestDecimal(t.HorizontalPitch),
        QStringLiteral("Vertical Pitch: ") + shortestDecimal(t.VerticalPitch),
        QStringLiteral("Page Width: ") + shortestDecimal(t.PageWidth),
        QStringLiteral("Page Height: ") + shortestDecimal(t.PageHeight),
    };
    static const struct { const char *code; const char *text; } papers[] = {
        {"LTR", "Letter"}, {"LTRL", "Letter Landscape"}, {"A4", "A4"},
        {"A4L", "A4 Landscape"}, {"A5", "A5"}};
    for (const auto &p : papers) {
        if (t.PaperSize == QLatin1String(p.code)) {
            lines.append(QStringLiteral("Paper Size: ") + QLatin1String(p.text));
            break;
        }
    }
    return lines;
}

QString shortestDecimal(double value)
{
    if (value == 0)
        return QStringLiteral("0");  // also for -0
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

}  // namespace templatechooser
