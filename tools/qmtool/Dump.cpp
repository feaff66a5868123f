// qmtool dump FILE: a label file read as the program reads it, printed as
// JSON: every object with all its published properties, then the layout,
// then the design's own properties when it has any.

#include "Commands.h"
#include "InputFile.h"
#include "Json.h"
#include "LabelDesign.h"
#include "PropertyPaths.h"

#include "design/GGraphc.h"
#include "design/Gqmpanel32.h"
#include "storage/DesignProperties.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"

#include <QFileInfo>

#include <cstdio>

int runDump(const QStringList &args)
{
    if (args.size() != 1) {
        std::fputs("usage: qmtool dump FILE\n", stderr);
        return 2;
    }
    const QString fileName = args.first();
    // The filer passes over a missing file in silence; the tool must not.
    const QString problem = inputfile::Problem(fileName, inputfile::MaxStreamBytes);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(fileName), qPrintable(problem));
        return 1;
    }

    PrepareLabelObjects();
    LabelDesign design;
    TLabelLayout layout = TLabelLayout::Default();
    try {
        TGLabelObjectFiler filer;
        filer.ReadLabelFile(&design.window(), &design.panel(), layout, fileName);
    } catch (const EStreamError &e) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(fileName), e.describe().toUtf8().constData());
        return 1;
    }
    design.panel().AttachObjects();

    // Written an object at a time, as writeJson writes the whole document:
    // the objects' JSON need not all be held at once.
    QByteArray out = "{\n  \"objects\": ";
    const auto flush = [&out] {
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        out.clear();
    };
    const QList<TComponent *> objects = TGLabelObjectFiler::PanelObjects(&design.panel());
    if (objects.isEmpty()) {
        out += "[]";
    } else {
        out += "[\n";
        for (qsizetype i = 0; i < objects.size(); ++i) {
            const TComponent *c = objects.at(i);
            JsonValue object = JsonValue::object();
            object.insert(QStringLiteral("class"), JsonValue::string(QString::fromLatin1(c->ClassName())));
            object.insert(QStringLiteral("name"), JsonValue::string(c->Name()));
            object.insert(QStringLiteral("properties"), propertypaths::Values(*c));
            out += "    ";
            appendJson(out, object, 2);
            out += i + 1 < objects.size() ? ",\n" : "\n";
            if (out.size() > 1 << 16)
                flush();
        }
        out += "  ]";
    }
    out += ",\n  \"layout\": ";
    appendJson(out, LayoutToJson(layout), 1);
    // The design's own properties (its mail merge source), when it has any.
    const TDesignProperties &designProperties = design.panel().Design();
    if (!designProperties.IsDefault()) {
        out += ",\n  \"design\": ";
        appendJson(out, propertypaths::Values(designProperties), 1);
    }
    out += "\n}\n";
    flush();
    return 0;
}
