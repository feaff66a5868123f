// The template chooser with libraries of 10 to 10,000 templates (the shipped
// library's entries, repeated as needed, and the shipped library itself):
// the first fill, a filter change (a click in a radio group) and one
// type-ahead keystroke, in milliseconds.
//
//   bench_layout [ROUNDS]   (default 3 rounds over all 63 radio combinations)

#include "layout/Loadtpl.h"
#include "layout/TemplateLibrary.h"
#include "storage/LabelLayout.h"
#include "storage/Stream.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QRadioButton *radio(TSelectTemplate &dialog, const char *group, int item)
{
    return dialog.findChild<QGroupBox *>(QLatin1String(group))
        ->findChildren<QRadioButton *>().at(item);
}

bool writeLibrary(const QString &fileName, const QList<TLabelLayout> &source, int count)
{
    PropertyWriter w;
    w.writeListBegin();
    for (int i = 0; i < count; ++i)
        source.at(i % source.size()).Write(w);
    w.writeListEnd();
    QFile f(fileName);
    return f.open(QIODevice::WriteOnly) && f.write(w.data()) == w.data().size();
}

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

struct Figures
{
    double fill = 0;
    double filterMedian = 0, filterMax = 0;
    double keyMedian = 0, keyMax = 0;
    int largestList = 0;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

Figures measure(const QString &library, int rounds)
{
    Figures f;
    QElapsedTimer t;
    t.start();
    TSelectTemplate dialog(nullptr, library);
    dialog.show();
    QCoreApplication::processEvents();
    f.fill = msSince(t);

    auto *list = dialog.findChild<QListWidget *>(QStringLiteral("TemplateList"));
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("TypeAhead"));
    std::vector<double> filters, keys;
    for (int round = 0; round < rounds; ++round) {
        for (int product = 0; product < 7; ++product)
            for (int printer = 0; printer < 3; ++printer)
                for (int region = 0; region < 3; ++region) {
                    // One click changes one group: time the click and the repaint it causes.
                    QRadioButton *buttons[] = {radio(dialog, "ProductType", product),
                                               radio(dialog, "PrinterType", printer),
                                               radio(dialog, "Region", region)};
                    for (QRadioButton *b : buttons) {
                        if (b->isChecked())
                            continue;
                        t.restart();
                        b->click();
                        list->repaint();
                        filters.push_back(msSince(t));
                    }
                    f.largestList = std::max(f.largestList, list->count());
                }
        radio(dialog, "ProductType", 6)->click();
        radio(dialog, "PrinterType", 2)->click();
        radio(dialog, "Region", 2)->click();
        edit->clear();
        for (QChar c : QStringLiteral("5160 Addr")) {
            t.restart();
            edit->setText(edit->text() + c);
            list->repaint();
            keys.push_back(msSince(t));
        }
    }
    f.filterMedian = median(filters);
    f.filterMax = filters.empty() ? 0 : *std::max_element(filters.begin(), filters.end());
    f.keyMedian = median(keys);
    f.keyMax = keys.empty() ? 0 : *std::max_element(keys.begin(), keys.end());
    return f;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;

    QString problem;
    const QString shipped = TemplateLibrary::defaultPath();
    const QList<TLabelLayout> source = TemplateLibrary::read(shipped, &problem);
    if (source.isEmpty()) {
        std::fprintf(stderr, "bench_layout: %s\n", qPrintable(problem));
        return 1;
    }
    QTemporaryDir dir;
    std::printf("template chooser, %d rounds over the 63 radio combinations; ms\n", rounds);
    std::printf("%10s %9s %9s %12s %12s %10s %10s\n", "templates", "listed", "fill",
                "filter med", "filter max", "key med", "key max");
    for (int count : {10, 100, 1000, int(source.size()), 10000}) {
        QString file = shipped;
        if (count != source.size()) {
            file = dir.filePath(QStringLiteral("lib%1.dat").arg(count));
            if (!writeLibrary(file, source, count))
                return 1;
        }
        const Figures f = measure(file, rounds);
        std::printf("%10d %9d %9.2f %12.2f %12.2f %10.2f %10.2f%s\n", count, f.largestList, f.fill,
                    f.filterMedian, f.filterMax, f.keyMedian, f.keyMax,
                    count == source.size() ? "  (shipped)" : "");
    }
    return 0;
}
