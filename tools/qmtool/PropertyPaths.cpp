#include "PropertyPaths.h"

#include "objects/graphic/SurfaceFill.h"
#include "richtext/RtfReader.h"
#include "richtext/WPStorage.h"
#include "storage/Gdiobj.h"
#include "storage/Persist.h"
#include "storage/Pictures.h"
#include "objects/graphic/SurfaceFill.h"
#include "storage/Stream.h"

#include <QFile>

#include <cmath>
#include <algorithm>
#include <cctype>
#include <limits>
#include <memory>

namespace propertypaths {

namespace {

// Pictures built from their JSON form are limited to what a label could use.
constexpr int MaxPictureSide = 4096;

[[noreturn]] void invalidValue()
{
    throw EStreamError(QStringLiteral("Invalid property value"));
}

[[noreturn]] void noSuchProperty()
{
    throw EStreamError(QStringLiteral("Property does not exist"));
}

QString text(const QByteArray &cp1252)
{
    return streamcodec::fromCp1252(cp1252);
}

JsonValue pictureValue(const TGraphic *graphic)
{
    if (!graphic || graphic->IsEmpty())
        return {};
    JsonValue v = JsonValue::object();
    v.insert(QStringLiteral("class"), JsonValue::string(text(graphic->ClassName())));
    v.insert(QStringLiteral("width"), JsonValue::number(graphic->Size().width()));
    v.insert(QStringLiteral("height"), JsonValue::number(graphic->Size().height()));
    // The stored form: the picture's own data after its 4-byte size (an
    // icon's data has no size before it).
    const QByteArray own = graphic->SaveData();
    const QByteArray stored = graphic->ClassName() == "TIcon" ? own : own.mid(4);
    v.insert(QStringLiteral("bytes"), JsonValue::number(double(stored.size())));
    v.insert(QStringLiteral("data"), JsonValue::string(QString::fromLatin1(stored.toBase64())));
    return v;
}

void collect(const TPersistent &object, const QByteArray &prefix, JsonValue &out);

JsonValue propertyValue(const TPersistent &object, const TPropInfo &p)
{
    if (p.isOrdinal()) {
        if (!p.getOrd)
            return {};
        const qint64 v = p.getOrd(object);
        switch (p.kind) {
        case TPropKind::Color:
            return JsonValue::number(quint32(v));
        case TPropKind::Char:
            return JsonValue::string(text(QByteArray(1, char(v & 0xFF))));
        case TPropKind::Enum:
            if (p.idents == &BooleanIdents)
                return JsonValue::boolean(v != 0);
            if (p.idents && v >= 0 && v < qint64(p.idents->size()))
                return JsonValue::string(text(p.idents->at(size_t(v))));
            return JsonValue::number(double(v));
        case TPropKind::Set: {
            JsonValue members = JsonValue::array();
            for (size_t i = 0; p.idents && i < p.idents->size() && i < 32; ++i)
                if (quint32(v) & (1u << i))
                    members.append(JsonValue::string(text(p.idents->at(i))));
            return members;
        }
        default:
            return JsonValue::number(double(qint32(v)));
        }
    }
    switch (p.kind) {
    case TPropKind::Float:
        return p.getFloat ? JsonValue::number(p.getFloat(object)) : JsonValue();
    case TPropKind::String:
        return p.getString ? JsonValue::string(p.getString(object)) : JsonValue();
    case TPropKind::Collection: {
        JsonValue items = JsonValue::array();
        if (const auto *c = dynamic_cast<const TCollection *>(p.getObject ? p.getObject(object) : nullptr))
            for (int i = 0; i < c->Count(); ++i)
                items.append(Values(*c->Item(i)));
        return items;
    }
    case TPropKind::Component: {
        const auto *ref = dynamic_cast<const TComponent *>(p.getObject ? p.getObject(object) : nullptr);
        return ref ? JsonValue::string(ref->Name()) : JsonValue();
    }
    case TPropKind::Event: {
        const QByteArray method = p.getMethod ? p.getMethod(object) : QByteArray();
        return method.isEmpty() ? JsonValue() : JsonValue::string(text(method));
    }
    default:
        return {};
    }
}

void collect(const TPersistent &object, const QByteArray &prefix, JsonValue &out)
{
    for (const TPropInfo *p : object.Properties().all()) {
        const QByteArray path = prefix + p->name;
        const bool subObject = p->kind == TPropKind::Object || p->kind == TPropKind::StringList
            || p->kind == TPropKind::Picture || p->kind == TPropKind::Bitmap;
        if (subObject) {
            const TPersistent *sub = p->getObject ? p->getObject(object) : nullptr;
            // A rich text document shows as its RTF text.
            if (const auto *io = dynamic_cast<const TWPRTFTextIo *>(sub)) {
                JsonValue v = JsonValue::object();
                v.insert(QStringLiteral("rtf"), JsonValue::string(text(io->Storage()->Rtf())));
                out.insert(text(path), v);
                continue;
            }
            if (sub)
                collect(*sub, path + '.', out);
            else
                out.insert(text(path), JsonValue());
            continue;
        }
        out.insert(text(path), propertyValue(object, *p));
    }
    if (const auto *strings = dynamic_cast<const TStrings *>(&object)) {
        JsonValue lines = JsonValue::array();
        for (const QString &line : strings->Lines())
            lines.append(JsonValue::string(line));
        out.insert(text(prefix + "Strings"), lines);
    } else if (const auto *picture = dynamic_cast<const TPicture *>(&object)) {
        out.insert(text(prefix + "Data"), pictureValue(picture->Graphic()));
    } else if (const auto *bitmap = dynamic_cast<const TBitmap *>(&object)) {
        out.insert(text(prefix + "Data"), pictureValue(bitmap));
    }
}

bool writable(const TPropInfo &p)
{
    if (p.readOnly)
        return false;
    if (p.isOrdinal())
        return bool(p.setOrd);
    switch (p.kind) {
    case TPropKind::Float: return bool(p.setFloat);
    case TPropKind::String: return bool(p.setString);
    case TPropKind::Component: return bool(p.setObject);
    case TPropKind::Event: return bool(p.setMethod);
    default: return true;  // owned sub-objects are filled in place
    }
}

// A whole number within [low, high].
qint64 wholeNumber(const JsonValue &v, double low, double high)
{
    if (v.type() != JsonValue::Number)
        invalidValue();
    const double n = v.toNumber();
    if (n != std::floor(n) || n < low || n > high)
        invalidValue();
    return qint64(n);
}

std::unique_ptr<TBitmap> blankBitmap(const JsonValue &v)
{
    if (v.type() != JsonValue::Object)
        invalidValue();
    const JsonValue *cls = v.member(QStringLiteral("class"));
    const JsonValue *w = v.member(QStringLiteral("width"));
    const JsonValue *h = v.member(QStringLiteral("height"));
    if (!cls || !w || !h || cls->type() != JsonValue::String
        || cls->toString().compare(QLatin1String("TBitmap"), Qt::CaseInsensitive) != 0)
        invalidValue();
    QImage image(int(wholeNumber(*w, 1, MaxPictureSide)), int(wholeNumber(*h, 1, MaxPictureSide)),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetImage(image);
    return bitmap;
}

// A bitmap's "Data" payload: {"file": PATH} loaded as the texture browsers
// load it, {"class": "TBitmap", "data": BASE64} taken as a BMP file image,
// or {"class": "TBitmap", "width", "height"} for a blank bitmap.
QByteArray bitmapPayload(const JsonValue &v)
{
    if (v.type() != JsonValue::Object)
        invalidValue();
    if (const JsonValue *file = v.member(QStringLiteral("file"))) {
        if (file->type() != JsonValue::String)
            invalidValue();
        QString error;
        std::unique_ptr<TBitmap> texture = surfacefill::LoadTextureFile(file->toString(), &error);
        if (!texture)
            throw EStreamError(QStringLiteral("%1: %2").arg(file->toString(), error));
        return texture->SaveData();
    }
    const JsonValue *data = v.member(QStringLiteral("data"));
    if (data && data->type() == JsonValue::String) {
        const auto decoded = QByteArray::fromBase64Encoding(data->toString().toLatin1(),
                                                            QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            invalidValue();
        TBitmap bitmap;
        bitmap.LoadFromFileImage(decoded.decoded);
        return bitmap.SaveData();
    }
    return blankBitmap(v)->SaveData();
}

// A rich text document given as {"rtf": "RTF text"} or {"file": "PATH.rtf"}
// (a path relative to the working folder).
QByteArray rtfBytes(const JsonValue &v)
{
    if (v.type() != JsonValue::Object || v.members().size() != 1)
        invalidValue();
    QByteArray bytes;
    if (const JsonValue *t = v.member(QStringLiteral("rtf"))) {
        if (t->type() != JsonValue::String)
            invalidValue();
        bytes = streamcodec::toCp1252(t->toString());
        if (streamcodec::fromCp1252(bytes) != t->toString())
            throw EStreamError(QStringLiteral("RTF text holds characters outside Windows-1252; write them as \\u escapes"));
    } else if (const JsonValue *f = v.member(QStringLiteral("file"))) {
        if (f->type() != JsonValue::String)
            invalidValue();
        QFile file(f->toString());
        if (!file.open(QIODevice::ReadOnly))
            throw EStreamError(QStringLiteral("Cannot read %1: %2").arg(f->toString(), file.errorString()));
        if (file.size() > rtf::MaxRtfBytes)
            throw EStreamError(QStringLiteral("%1 is larger than %2 MB").arg(f->toString()).arg(rtf::MaxRtfBytes >> 20));
        bytes = file.readAll();
    } else {
        invalidValue();
    }
    if (!rtf::LooksLikeRtf(bytes))
        throw EStreamError(QStringLiteral("Not an RTF document: it does not begin with {\\rtf"));
    return bytes;
}

// A picture's "Data" payload from its JSON form: {"class", "data"} taken
// byte for byte, {"file": PATH} loaded as the image browser does, or
// {"class": "TBitmap", "width", "height"} for a blank bitmap.
QByteArray picturePayload(const JsonValue &v)
{
    if (v.type() != JsonValue::Object)
        invalidValue();
    if (const JsonValue *file = v.member(QStringLiteral("file"))) {
        if (file->type() != JsonValue::String)
            invalidValue();
        LoadedPicture loaded = LoadPictureFile(file->toString());
        if (!loaded.graphic)
            throw EStreamError(loaded.error.isEmpty() ? QStringLiteral("Not a picture file") : loaded.error);
        TPicture built;
        built.SetGraphic(std::move(loaded.graphic));
        return built.SaveData();
    }
    const JsonValue *cls = v.member(QStringLiteral("class"));
    const JsonValue *data = v.member(QStringLiteral("data"));
    if (cls && data && cls->type() == JsonValue::String && data->type() == JsonValue::String) {
        const QByteArray name = cls->toString().toLatin1();
        const auto decoded = QByteArray::fromBase64Encoding(data->toString().toLatin1(),
                                                            QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded || name.isEmpty() || name.size() > 63)
            invalidValue();
        QByteArray payload = char(name.size()) + name;
        if (name != "TIcon") {
            const auto n = quint32(decoded.decoded.size());
            for (int i = 0; i < 4; ++i)
                payload.append(char((n >> (8 * i)) & 0xFF));
        }
        return payload + decoded.decoded;
    }
    TPicture built;
    built.SetGraphic(blankBitmap(v));
    return built.SaveData();
}

// The value of a published property, as the stream would hold it.
void encodeValue(PropertyWriter &w, const TPropInfo &p, const JsonValue &v)
{
    if (v.isNull()) {
        w.writeIdent("nil");  // the reader decides where nil is allowed
        return;
    }
    switch (p.kind) {
    case TPropKind::Integer:
    case TPropKind::Cursor:
    case TPropKind::Color:
        // Names go through the reader's tables (colours, cursors, character
        // sets); a colour may also be written as on the web, "#rrggbb".
        if (p.kind == TPropKind::Color && v.type() == JsonValue::String && v.toString().startsWith(u'#')) {
            const QString hex = v.toString().mid(1);
            bool ok = hex.size() == 6
                && std::all_of(hex.begin(), hex.end(), [](QChar c) { return std::isxdigit(c.unicode()) && c.unicode() < 128; });
            const uint rgb = ok ? hex.toUInt(&ok, 16) : 0;
            if (!ok)
                invalidValue();
            // Stored as 0x00BBGGRR.
            w.writeInteger(qint32(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF)));
        } else if (v.type() == JsonValue::String) {
            w.writeIdent(streamcodec::toCp1252(v.toString()));
        } else if (p.kind == TPropKind::Color) {
            w.writeInteger(qint32(quint32(wholeNumber(v, std::numeric_limits<qint32>::min(),
                                                      std::numeric_limits<quint32>::max()))));
        } else {
            w.writeInteger(wholeNumber(v, std::numeric_limits<qint32>::min(),
                                       std::numeric_limits<qint32>::max()));
        }
        break;
    case TPropKind::Char:
        if (v.type() != JsonValue::String)
            invalidValue();
        w.writeString(v.toString());
        break;
    case TPropKind::Enum:
        if (v.type() == JsonValue::Bool)
            w.writeBoolean(v.toBool());
        else if (v.type() == JsonValue::String)
            w.writeIdent(streamcodec::toCp1252(v.toString()));
        else
            invalidValue();
        break;
    case TPropKind::Set: {
        // Unlike a stored set, a member name that does not exist is refused:
        // here it can only be a typing error.
        if (v.type() != JsonValue::Array || !p.idents)
            invalidValue();
        quint32 members = 0;
        for (const JsonValue &item : v.items()) {
            if (item.type() != JsonValue::String)
                invalidValue();
            size_t i = 0;
            while (i < p.idents->size() && i < 32
                   && text(p.idents->at(i)).compare(item.toString(), Qt::CaseInsensitive) != 0)
                ++i;
            if (i >= p.idents->size() || i >= 32)
                invalidValue();
            members |= 1u << i;
        }
        w.writeSet(members, *p.idents);
        break;
    }
    case TPropKind::Float:
        if (v.type() == JsonValue::Number) {
            w.writeFloat(v.toNumber());
        } else if (v.type() == JsonValue::String) {
            const QString &s = v.toString();
            if (s == QLatin1String("NaN"))
                w.writeFloat(std::numeric_limits<double>::quiet_NaN());
            else if (s == QLatin1String("Infinity"))
                w.writeFloat(std::numeric_limits<double>::infinity());
            else if (s == QLatin1String("-Infinity"))
                w.writeFloat(-std::numeric_limits<double>::infinity());
            else
                invalidValue();
        } else {
            invalidValue();
        }
        break;
    case TPropKind::String:
        if (v.type() != JsonValue::String)
            invalidValue();
        w.writeString(v.toString());
        break;
    case TPropKind::Event:
        if (v.type() != JsonValue::String)
            invalidValue();
        w.writeIdent(streamcodec::toCp1252(v.toString()));
        break;
    default:
        invalidValue();
    }
}

}  // namespace

JsonValue Values(const TPersistent &object)
{
    JsonValue out = JsonValue::object();
    collect(object, QByteArray(), out);
    return out;
}

void Assign(TPersistent &object, const QString &path, const JsonValue &value)
{
    const QByteArray name = streamcodec::toCp1252(path);
    if (name.isEmpty() || name.size() > 255 || streamcodec::fromCp1252(name) != path)
        noSuchProperty();
    const TPropertyTarget target = ResolvePropertyPath(object, name);

    // A read-only property listed with the value it has (as dump lists
    // it) is no assignment: dump output builds again.
    if (target.prop && !writable(*target.prop) && propertyValue(*target.object, *target.prop) == value)
        return;

    if (target.prop && target.prop->kind == TPropKind::Object && target.prop->getObject)
        if (dynamic_cast<TWPRTFTextIo *>(target.prop->getObject(*target.object))) {
            PropertyWriter rw;
            rw.writePropName(name + ".Data");
            rw.writeBinary(rtfBytes(value));
            PropertyReader reader(rw.data());
            reader.readProperty(object);
            return;
        }

    if (target.prop) {
        switch (target.prop->kind) {
        case TPropKind::Collection: {
            // Each item's own properties go through this same function.
            auto *items = dynamic_cast<TCollection *>(target.prop->getObject ? target.prop->getObject(*target.object)
                                                                             : nullptr);
            if (!items || (value.type() != JsonValue::Array && !value.isNull()))
                invalidValue();
            items->Clear();
            for (const JsonValue &item : value.items()) {
                if (item.type() != JsonValue::Object)
                    invalidValue();
                TPersistent *added = items->Add();
                for (const auto &[key, v] : item.members())
                    Assign(*added, key, v);
            }
            return;
        }
        case TPropKind::Component: {
            // References name components of the same owner, which the
            // reader would resolve after a whole sequence.
            if (value.isNull())
                break;
            const auto *self = dynamic_cast<const TComponent *>(&object);
            TComponent *ref = value.type() == JsonValue::String && self && self->Owner()
                ? self->Owner()->FindComponent(value.toString()) : nullptr;
            if (!ref || !target.prop->setObject || target.prop->readOnly)
                invalidValue();
            target.prop->setObject(*target.object, ref);
            return;
        }
        default:
            break;
        }
    }

    PropertyWriter w;
    w.writePropName(name);
    if (target.prop) {
        encodeValue(w, *target.prop, value);
    } else if (auto *strings = dynamic_cast<TStrings *>(target.object);
               strings && target.name.compare("Strings", Qt::CaseInsensitive) == 0) {
        if (value.type() != JsonValue::Array && !value.isNull())
            invalidValue();
        w.writeListBegin();
        for (const JsonValue &line : value.items()) {
            if (line.type() != JsonValue::String)
                invalidValue();
            w.writeString(line.toString());
        }
        w.writeListEnd();
    } else if (auto *picture = dynamic_cast<TPicture *>(target.object);
               picture && target.name.compare("Data", Qt::CaseInsensitive) == 0) {
        // An empty picture has no stream form; clearing is direct.
        if (value.isNull()) {
            picture->Clear();
            return;
        }
        w.writeBinary(picturePayload(value));
    } else if (auto *bitmap = dynamic_cast<TBitmap *>(target.object);
               bitmap && target.name.compare("Data", Qt::CaseInsensitive) == 0) {
        if (value.isNull()) {
            bitmap->Clear();
            return;
        }
        w.writeBinary(bitmapPayload(value));
    } else {
        noSuchProperty();
    }

    PropertyReader reader(w.data());
    reader.readProperty(object);
    if (!reader.atEnd())
        invalidValue();
}

}  // namespace propertypaths
