#include "LabelDesign.h"

#include "controls/Fonts.h"
#include "design/Gqmpanel32.h"
#include "layout/TemplateLibrary.h"
#include "objects/Register.h"
#include "objects/text/Gprichl.h"
#include "richtext/WPRichText.h"
#include "storage/LabelLayout.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>

void PrepareLabelObjects()
{
    RegisterLabelClasses();
    TClassRegistry::instance().Register("TGPRichBaseLabel", [](TComponent *owner) {
        if (auto *window = dynamic_cast<TToolWindow *>(owner))
            window->MasterRichText();
        return new TGPRichBaseLabel(owner);
    });
    InstallFontSubstitutions();
}

const TPropertyTable &TToolWindow::Properties() const
{
    static const TPropertyTable table(nullptr, {});
    return table;
}

TWPRichText *TToolWindow::MasterRichText()
{
    if (!mMasterRichText) {
        mMasterRichText = new TWPRichText(this, this);
        mMasterRichText->SetName(QLatin1String(MasterRichTextName));
        mMasterRichText->hide();
    }
    return mMasterRichText;
}

LabelDesign::LabelDesign() : mWindow(std::make_unique<TToolWindow>())
{
    mPanel = new TGQuillmarkPanel32(mWindow.get());
    mPanel->SetObjectOwner(mWindow.get());
    if (mScratch.isValid())
        mPanel->SetProgramDirectory(mScratch.path());
}

LabelDesign::~LabelDesign()
{
    // The tool runs no event loop, so what the objects posted is still
    // queued: dropped in one go here, rather than looked up by every
    // object as it goes (which grows with the square of their number).
    QCoreApplication::removePostedEvents(nullptr);
    // The objects go with the panel, before their owner.
    delete mPanel;
}

namespace {

struct Field
{
    const char *name;
    enum Kind { Text, Float, Integer } kind;
    QString TLabelLayout::*text;
    double TLabelLayout::*number;
    qint32 TLabelLayout::*integer;
    int length;
};

const Field Fields[] = {
    {"Name", Field::Text, &TLabelLayout::Name, nullptr, nullptr, TLabelLayout::NameLength},
    {"LabelHeight", Field::Float, nullptr, &TLabelLayout::LabelHeight, nullptr, 0},
    {"LabelWidth", Field::Float, nullptr, &TLabelLayout::LabelWidth, nullptr, 0},
    {"Across", Field::Integer, nullptr, nullptr, &TLabelLayout::Across, 0},
    {"Down", Field::Integer, nullptr, nullptr, &TLabelLayout::Down, 0},
    {"TopMargin", Field::Float, nullptr, &TLabelLayout::TopMargin, nullptr, 0},
    {"LeftMargin", Field::Float, nullptr, &TLabelLayout::LeftMargin, nullptr, 0},
    {"HorizontalPitch", Field::Float, nullptr, &TLabelLayout::HorizontalPitch, nullptr, 0},
    {"VerticalPitch", Field::Float, nullptr, &TLabelLayout::VerticalPitch, nullptr, 0},
    {"PageWidth", Field::Float, nullptr, &TLabelLayout::PageWidth, nullptr, 0},
    {"PageHeight", Field::Float, nullptr, &TLabelLayout::PageHeight, nullptr, 0},
    {"ColumnGap", Field::Float, nullptr, &TLabelLayout::ColumnGap, nullptr, 0},
    {"RowGap", Field::Float, nullptr, &TLabelLayout::RowGap, nullptr, 0},
    {"PrinterType", Field::Text, &TLabelLayout::PrinterType, nullptr, nullptr, TLabelLayout::PrinterTypeLength},
    {"PaperSize", Field::Text, &TLabelLayout::PaperSize, nullptr, nullptr, TLabelLayout::PaperSizeLength},
    {"LabelShape", Field::Text, &TLabelLayout::LabelShape, nullptr, nullptr, TLabelLayout::LabelShapeLength},
    {"ProductType", Field::Text, &TLabelLayout::ProductType, nullptr, nullptr, TLabelLayout::ProductTypeLength},
    {"ArtName", Field::Text, &TLabelLayout::ArtName, nullptr, nullptr, TLabelLayout::ArtNameLength},
};

}  // namespace

JsonValue LayoutToJson(const TLabelLayout &layout)
{
    JsonValue out = JsonValue::object();
    for (const Field &f : Fields) {
        const QString name = QLatin1String(f.name);
        switch (f.kind) {
        case Field::Text: out.insert(name, JsonValue::string(layout.*f.text)); break;
        case Field::Float: out.insert(name, JsonValue::number(layout.*f.number)); break;
        case Field::Integer: out.insert(name, JsonValue::number(layout.*f.integer)); break;
        }
    }
    return out;
}

void LayoutFromJson(const JsonValue &json, TLabelLayout &layout)
{
    if (json.type() != JsonValue::Object)
        throw InputError(QStringLiteral("\"layout\" must be an object"));
    // "template": a layout of the template library by its name, the other
    // fields changing it afterwards.
    if (const JsonValue *name = json.member(QStringLiteral("template"))) {
        if (name->type() != JsonValue::String)
            throw InputError(QStringLiteral("layout field template must be a string"));
        const QString library = TemplateLibrary::defaultPath();
        const QList<TLabelLayout> templates = TemplateLibrary::read(library);
        const auto found = std::find_if(templates.begin(), templates.end(), [&](const TLabelLayout &t) {
            return !t.Name.isEmpty() && t.Name.compare(name->toString(), Qt::CaseInsensitive) == 0;
        });
        if (found == templates.end())
            throw InputError(QStringLiteral("layout: no template \"%1\" in %2").arg(name->toString(), library));
        layout = *found;
    }
    for (const auto &[key, value] : json.members()) {
        if (key == QLatin1String("template"))
            continue;
        const Field *field = nullptr;
        for (const Field &f : Fields)
            if (key == QLatin1String(f.name))
                field = &f;
        if (!field)
            throw InputError(QStringLiteral("layout: unknown field \"%1\"").arg(key));
        const QString where = QStringLiteral("layout field %1").arg(key);
        switch (field->kind) {
        case Field::Text:
            if (value.type() != JsonValue::String)
                throw InputError(where + QStringLiteral(" must be a string"));
            if (value.toString().size() > field->length)
                throw InputError(where + QStringLiteral(" holds at most %1 characters").arg(field->length));
            layout.*field->text = value.toString();
            break;
        case Field::Float:
            if (value.type() != JsonValue::Number)
                throw InputError(where + QStringLiteral(" must be a number"));
            layout.*field->number = value.toNumber();
            break;
        case Field::Integer: {
            const double n = value.type() == JsonValue::Number ? value.toNumber() : 0.5;
            if (n != std::floor(n) || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
                throw InputError(where + QStringLiteral(" must be a whole number"));
            layout.*field->integer = qint32(n);
            break;
        }
        }
    }
}
