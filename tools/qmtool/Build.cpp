// qmtool build IN.json OUT.qm: a label file made from a JSON description,
// with the objects created and set up as the program creates them.

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

#include <QFile>

#include <cstdio>

namespace {

void printError(const QString &message)
{
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
}

// Every member of `object` must be one of `known`.
void checkMembers(const JsonValue &object, std::initializer_list<const char *> known, const QString &where)
{
    for (const auto &[key, value] : object.members()) {
        bool found = false;
        for (const char *k : known)
            found = found || key == QLatin1String(k);
        if (!found)
            throw InputError(QStringLiteral("%1: unknown member \"%2\"").arg(where, key));
    }
}

// Creates one object from its description; `where` is updated to name the
// step being taken, for the message when it fails.
void buildObject(LabelDesign &design, const JsonValue &description, QString &where)
{
    if (description.type() != JsonValue::Object)
        throw InputError(where + QStringLiteral(" must be an object"));
    checkMembers(description, {"class", "name", "properties"}, where);
    const JsonValue *cls = description.member(QStringLiteral("class"));
    if (!cls || cls->type() != JsonValue::String)
        throw InputError(where + QStringLiteral(": \"class\" must be a string"));
    const JsonValue *name = description.member(QStringLiteral("name"));
    if (name && name->type() != JsonValue::String)
        throw InputError(where + QStringLiteral(": \"name\" must be a string"));
    const JsonValue *properties = description.member(QStringLiteral("properties"));
    if (properties && properties->type() != JsonValue::Object)
        throw InputError(where + QStringLiteral(": \"properties\" must be an object"));

    TComponent *c = TClassRegistry::instance().Create(cls->toString().toLatin1(), &design.window());
    c->SetParentComponent(&design.panel());
    if (!dynamic_cast<TGGraphicControl *>(c)) {
        delete c;
        throw InputError(where + QStringLiteral(": %1 is not a label object").arg(cls->toString()));
    }
    c->SetName(name ? name->toString() : design.panel().FreeObjectName());
    c->FinishLoading();
    if (!properties)
        return;
    const QString objectWhere = where;
    for (const auto &[path, value] : properties->members()) {
        where = QStringLiteral("%1.properties[%2]").arg(objectWhere, QString::fromUtf8(jsonString(path)));
        propertypaths::Assign(*c, path, value);
    }
}

}  // namespace

int runBuild(const QStringList &args)
{
    if (args.size() != 2) {
        std::fputs("usage: qmtool build IN.json OUT.qm\n", stderr);
        return 2;
    }
    const QString inName = args.at(0), outName = args.at(1);
    JsonValue input;
    try {
        input = parseJson(inputfile::Read(inName, inputfile::MaxJsonBytes));
    } catch (const inputfile::EInputFile &e) {
        printError(QStringLiteral("qmtool build: ") + e.message());
        return 1;
    } catch (const JsonError &e) {
        printError(QStringLiteral("qmtool build: %1 is not valid JSON: %2").arg(inName, e.message()));
        return 1;
    }

    PrepareLabelObjects();
    LabelDesign design;
    TLabelLayout layout = TLabelLayout::Default();
    QString where;
    try {
        if (input.type() != JsonValue::Object)
            throw InputError(QStringLiteral("the document must be an object"));
        checkMembers(input, {"layout", "objects", "design"}, QStringLiteral("the document"));
        if (const JsonValue *l = input.member(QStringLiteral("layout")))
            LayoutFromJson(*l, layout);
        if (const JsonValue *d = input.member(QStringLiteral("design"))) {
            if (d->type() != JsonValue::Object)
                throw InputError(QStringLiteral("\"design\" must be an object"));
            for (const auto &[path, value] : d->members()) {
                where = QStringLiteral("design[%1]").arg(QString::fromUtf8(jsonString(path)));
                propertypaths::Assign(design.panel().Design(), path, value);
            }
            where.clear();
        }
        if (const JsonValue *objects = input.member(QStringLiteral("objects"))) {
            if (objects->type() != JsonValue::Array)
                throw InputError(QStringLiteral("\"objects\" must be an array"));
            for (qsizetype i = 0; i < objects->items().size(); ++i) {
                where = QStringLiteral("objects[%1]").arg(i);
                buildObject(design, objects->items().at(i), where);
            }
        }
        // A layout the print run would refuse is not written.
        if (!layout.IsUsable())
            throw InputError(QStringLiteral("the label layout is not usable"));
        design.panel().AttachObjects();
        where.clear();
        // Geometry is stored at zoom 1.0, the panel's zoom here.
        TGLabelObjectFiler filer;
        filer.WriteLabelFile(&design.panel(), outName, layout);
    } catch (const InputError &e) {
        printError(QStringLiteral("qmtool build: %1: %2").arg(inName, e.message()));
        return 1;
    } catch (const EStreamError &e) {
        // The stream's own message first, as the reader gives it.
        printError(e.message());
        if (!where.isEmpty())
            printError(QStringLiteral("qmtool build: at %1").arg(where));
        return 1;
    }
    return 0;
}
