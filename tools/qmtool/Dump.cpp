// qmtool dump FILE: a label file read as the program reads it, printed as
// JSON: every object with all its published properties, then the layout.

#include "Commands.h"
#include "InputFile.h"
#include "Json.h"
#include "LabelDesign.h"
#include "PropertyPaths.h"

#include "design/GGraphc.h"
#include "design/Gqmpanel32.h"
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

    JsonValue objects = JsonValue::array();
    for (TComponent *c : TGLabelObjectFiler::PanelObjects(&design.panel())) {
        JsonValue object = JsonValue::object();
        object.insert(QStringLiteral("class"), JsonValue::string(QString::fromLatin1(c->ClassName())));
        object.insert(QStringLiteral("name"), JsonValue::string(c->Name()));
        object.insert(QStringLiteral("properties"), propertypaths::Values(*c));
        objects.append(object);
    }
    JsonValue out = JsonValue::object();
    out.insert(QStringLiteral("objects"), objects);
    out.insert(QStringLiteral("layout"), LayoutToJson(layout));
    const QByteArray json = writeJson(out);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}
