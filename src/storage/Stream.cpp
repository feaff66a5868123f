#include "Stream.h"

#include <QObject>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

const char *const InvalidStreamFormat = "Invalid stream format";
const char *const InvalidPropertyValue = "Invalid property value";
const char *const PropertyDoesNotExist = "Property does not exist";
const char *const PropertyIsReadOnly = "Property is read-only";
const char *const StreamReadError = "Stream read error";
// Longest string value read (tag 12 carries a 32-bit length); a longer one
// ends the read with "String too long" rather than take the memory.
constexpr qint64 MaxStringBytes = 16 * 1024 * 1024;

[[noreturn]] void fail(const char *message)
{
    throw EStreamError(QString::fromLatin1(message));
}

// Counts nesting of lists, collections and child records; a stream nested
// deeper than any real one is refused before it can exhaust the stack.
class DepthGuard
{
public:
    explicit DepthGuard(int &depth) : mDepth(depth)
    {
        if (mDepth >= MaxStreamDepth)
            fail(InvalidStreamFormat);
        ++mDepth;
    }
    ~DepthGuard() { --mDepth; }
    DepthGuard(const DepthGuard &) = delete;
    DepthGuard &operator=(const DepthGuard &) = delete;

private:
    int &mDepth;
};

bool sameName(const QByteArray &a, const QByteArray &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Bytes 0x80-0x9F of Windows-1252; the rest of the code page is Latin-1.
// The five unassigned bytes map to the C1 controls of the same value.
const char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct ColorName { quint32 value; const char *name; };
const ColorName ColorNames[] = {
    {0x000000, "clBlack"}, {0x000080, "clMaroon"}, {0x008000, "clGreen"},
    {0x008080, "clOlive"}, {0x800000, "clNavy"}, {0x800080, "clPurple"},
    {0x808000, "clTeal"}, {0x808080, "clGray"}, {0xC0C0C0, "clSilver"},
    {0x0000FF, "clRed"}, {0x00FF00, "clLime"}, {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"}, {0xFF00FF, "clFuchsia"}, {0xFFFF00, "clAqua"},
    {0xFFFFFF, "clWhite"},
    {0x80000000, "clScrollBar"}, {0x80000001, "clBackground"},
    {0x80000002, "clActiveCaption"}, {0x80000003, "clInactiveCaption"},
    {0x80000004, "clMenu"}, {0x80000005, "clWindow"}, {0x80000006, "clWindowFrame"},
    {0x80000007, "clMenuText"}, {0x80000008, "clWindowText"},
    {0x80000009, "clCaptionText"}, {0x8000000A, "clActiveBorder"},
    {0x8000000B, "clInactiveBorder"}, {0x8000000C, "clAppWorkSpace"},
    {0x8000000D, "clHighlight"}, {0x8000000E, "clHighlightText"},
    {0x8000000F, "clBtnFace"}, {0x80000010, "clBtnShadow"}, {0x80000011, "clGrayText"},
    {0x80000012, "clBtnText"}, {0x80000013, "clInactiveCaptionText"},
    {0x80000014, "clBtnHighlight"}, {0x80000015, "cl3DDkShadow"},
    {0x80000016, "cl3DLight"}, {0x80000017, "clInfoText"}, {0x80000018, "clInfoBk"},
    {0x1FFFFFFF, "clNone"}};

struct CursorName { qint32 value; const char *name; };
const CursorName CursorNames[] = {
    {0, "crDefault"}, {-2, "crArrow"}, {-3, "crCross"}, {-4, "crIBeam"},
    {-5, "crSize"}, {-6, "crSizeNESW"}, {-7, "crSizeNS"}, {-8, "crSizeNWSE"},
    {-9, "crSizeWE"}, {-10, "crUpArrow"}, {-11, "crHourGlass"}, {-12, "crDrag"},
    {-13, "crNoDrop"}, {-14, "crHSplit"}, {-15, "crVSplit"}, {-16, "crMultiDrag"},
    {-17, "crSQLWait"}, {-18, "crNo"}, {-19, "crAppStart"}, {-20, "crHelp"}};

bool isSubObjectKind(TPropKind kind)
{
    return kind == TPropKind::Object || kind == TPropKind::StringList
        || kind == TPropKind::Picture || kind == TPropKind::Bitmap;
}

bool isWritable(const TPropInfo &prop)
{
    if (prop.isOrdinal())
        return !prop.readOnly && prop.setOrd;
    switch (prop.kind) {
    case TPropKind::Float: return !prop.readOnly && prop.setFloat;
    case TPropKind::String: return !prop.readOnly && prop.setString;
    case TPropKind::Component: return !prop.readOnly && prop.setObject;
    case TPropKind::Event: return !prop.readOnly && prop.setMethod;
    default: return true;  // owned sub-objects are filled in place
    }
}

void appendLE(QByteArray &out, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

}  // namespace

namespace streamcodec {

QByteArray encodeExtended(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = bits >> 63;
    const int exponent = int((bits >> 52) & 0x7FF);
    const quint64 fraction = bits & ((quint64(1) << 52) - 1);

    // The extended format keeps the integer bit explicit (bit 63).
    quint64 mantissa = 0;
    int biased = 0;
    if (exponent == 0x7FF) {
        biased = 0x7FFF;
        mantissa = (quint64(1) << 63) | (fraction << 11);
    } else if (exponent == 0) {
        if (fraction != 0) {
            // A double denormal is fraction * 2^-1074; normalise it.
            const int top = 63 - std::countl_zero(fraction);
            mantissa = fraction << (63 - top);
            biased = 16383 - 1074 + top;
        }
    } else {
        biased = exponent - 1023 + 16383;
        mantissa = (quint64(1) << 63) | (fraction << 11);
    }

    QByteArray out;
    out.reserve(10);
    appendLE(out, mantissa, 8);
    appendLE(out, quint64(biased) | (negative ? 0x8000u : 0u), 2);
    return out;
}

double decodeExtended(const char *tenBytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(tenBytes);
    quint64 mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa |= quint64(b[i]) << (8 * i);
    const int signExp = b[8] | (b[9] << 8);
    const bool negative = signExp & 0x8000;
    const int biased = signExp & 0x7FFF;

    if (biased == 0x7FFF) {
        if ((mantissa << 1) == 0)
            return negative ? -std::numeric_limits<double>::infinity()
                            : std::numeric_limits<double>::infinity();
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (mantissa == 0)
        return negative ? -0.0 : 0.0;

    // value = mantissa * 2^e; this also gives denormals, unnormals and
    // pseudo-denormals their plain arithmetic value.
    const int e = (biased == 0 ? 1 : biased) - 16383 - 63;
    const int top = 63 - std::countl_zero(mantissa);
    const int x = e + top;  // value lies in [2^x, 2^(x+1))
    const quint64 m = mantissa << (63 - top);

    // Significant bits a double can keep at this magnitude.
    const int keep = x >= -1022 ? 53 : x + 1075;
    double result;
    if (keep < 0) {
        result = 0.0;
    } else if (keep == 0) {
        // Between 2^-1075 and 2^-1074: above half the smallest denormal rounds
        // up to it; exactly half is a tie and goes to the even neighbour, 0.
        result = m > (quint64(1) << 63) ? std::ldexp(1.0, -1074) : 0.0;
    } else {
        const int drop = 64 - keep;
        quint64 q = m >> drop;
        const quint64 rest = m & ((quint64(1) << drop) - 1);
        const quint64 half = quint64(1) << (drop - 1);
        if (rest > half || (rest == half && (q & 1)))
            ++q;
        result = std::ldexp(double(q), x + 1 - keep);  // overflows to infinity
    }
    return negative ? -result : result;
}

QByteArray toCp1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (char32_t c : text.toUcs4()) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.append(char(c));
            continue;
        }
        char byte = '?';
        for (int i = 0; i < 32; ++i)
            if (Cp1252High[i] == c) {
                byte = char(0x80 + i);
                break;
            }
        out.append(byte);
    }
    return out;
}

QString fromCp1252(const QByteArray &bytes)
{
    QString out;
    out.resize(bytes.size());
    QChar *d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = uchar(bytes[i]);
        d[i] = (c >= 0x80 && c < 0xA0) ? QChar(Cp1252High[c - 0x80]) : QChar(c);
    }
    return out;
}

}  // namespace streamcodec

bool ColorToIdent(qint64 color, QByteArray *ident)
{
    for (const ColorName &n : ColorNames)
        if (n.value == quint32(color)) {
            *ident = n.name;
            return true;
        }
    return false;
}

bool IdentToColor(const QByteArray &ident, qint64 *color)
{
    for (const ColorName &n : ColorNames)
        if (sameName(ident, n.name)) {
            *color = qint32(n.value);
            return true;
        }
    return false;
}

bool CursorToIdent(qint64 cursor, QByteArray *ident)
{
    for (const CursorName &n : CursorNames)
        if (n.value == qint32(cursor)) {
            *ident = n.name;
            return true;
        }
    return false;
}

bool IdentToCursor(const QByteArray &ident, qint64 *cursor)
{
    for (const CursorName &n : CursorNames)
        if (sameName(ident, n.name)) {
            *cursor = n.value;
            return true;
        }
    return false;
}

void PropertyWriter::writeRootComponent(const TComponent &component, const TComponent *root)
{
    const TComponent *previous = mRoot;
    mRoot = root ? root : &component;
    writeSignature();
    writeComponent(component);
    mRoot = previous;
}

void PropertyWriter::writeComponent(const TComponent &component, quint8 flags, int position)
{
    flags &= 0x0F;
    if (flags) {
        mData.append(char(0xF0 | flags));
        if (flags & 2)
            writeInteger(position);
    }
    writeShortName(component.ClassName());
    writeShortName(streamcodec::toCp1252(component.Name()));
    writeProperties(component);
    writeListEnd();
    writeListEnd();  // no child records
}

void PropertyWriter::writeProperties(const TPersistent &object, const QByteArray &path)
{
    for (const TPropInfo *prop : object.Properties().all())
        writeProperty(object, *prop, path);
    object.WriteDefinedProperties(*this, path);
}

void PropertyWriter::writeProperty(const TPersistent &object, const TPropInfo &prop,
                                   const QByteArray &path)
{
    if (prop.stored && !prop.stored(object))
        return;
    // A value the reader could not assign back would make the whole record
    // unreadable ("Property is read-only"), so it is not written.
    if (!isWritable(prop))
        return;
    const QByteArray name = path + prop.name;

    if (prop.isOrdinal()) {
        if (!prop.getOrd)
            return;
        const qint64 value = prop.getOrd(object);
        // Compare 32 bits: colours are signed in their getters but may be
        // declared as 0x8000000F.
        if (prop.defaultValue && quint32(value) == quint32(*prop.defaultValue))
            return;
        QByteArray ident;
        switch (prop.kind) {
        case TPropKind::Integer:
            writePropName(name);
            writeInteger(value);
            break;
        case TPropKind::Color:
        case TPropKind::Cursor:
            writePropName(name);
            if (prop.kind == TPropKind::Color ? ColorToIdent(value, &ident) : CursorToIdent(value, &ident))
                writeIdent(ident);
            else
                writeInteger(value);
            break;
        case TPropKind::Char:
            writePropName(name);
            writeStringBytes(QByteArray(1, char(value & 0xFF)));
            break;
        case TPropKind::Enum:
            // A value outside the type has no name to write.
            if (!prop.idents || value < 0 || value >= qint64(prop.idents->size()))
                return;
            writePropName(name);
            writeIdent(prop.idents->at(size_t(value)));
            break;
        case TPropKind::Set:
            writePropName(name);
            writeSet(quint32(value), prop.idents ? *prop.idents : TIdentList());
            break;
        default:
            break;
        }
        return;
    }

    switch (prop.kind) {
    case TPropKind::Float: {
        const double value = prop.getFloat ? prop.getFloat(object) : 0.0;
        if (value == 0.0)
            return;
        writePropName(name);
        writeFloat(value);
        break;
    }
    case TPropKind::String: {
        const QString value = prop.getString ? prop.getString(object) : QString();
        if (value.isEmpty())
            return;
        writePropName(name);
        writeString(value);
        break;
    }
    case TPropKind::Object:
    case TPropKind::StringList:
    case TPropKind::Picture:
    case TPropKind::Bitmap:
        if (const TPersistent *sub = prop.getObject ? prop.getObject(object) : nullptr)
            writeProperties(*sub, name + '.');
        break;
    case TPropKind::Collection: {
        const auto *items = dynamic_cast<const TCollection *>(prop.getObject ? prop.getObject(object) : nullptr);
        if (!items || items->Count() == 0)
            return;
        writePropName(name);
        mData.append(char(vaCollection));
        for (int i = 0; i < items->Count(); ++i) {
            writeListBegin();
            writeProperties(*items->Item(i));
            writeListEnd();
        }
        writeListEnd();
        break;
    }
    case TPropKind::Component: {
        const auto *ref = dynamic_cast<const TComponent *>(prop.getObject ? prop.getObject(object) : nullptr);
        if (!ref || ref->Name().isEmpty())
            return;
        writePropName(name);
        mData.append(char(vaIdent));
        writeShortName(referenceName(*ref));
        break;
    }
    case TPropKind::Event: {
        const QByteArray method = prop.getMethod ? prop.getMethod(object) : QByteArray();
        if (method.isEmpty() || !mRoot || !mRoot->HasPublishedMethod(method))
            return;
        writePropName(name);
        mData.append(char(vaIdent));
        writeShortName(method);
        break;
    }
    default:
        break;
    }
}

QByteArray PropertyWriter::referenceName(const TComponent &ref) const
{
    const QByteArray name = streamcodec::toCp1252(ref.Name());
    const TComponent *owner = ref.Owner();
    const TComponent *writingOwner = mRoot ? mRoot->Owner() : nullptr;
    if (!owner || owner == mRoot || owner == writingOwner || owner->Name().isEmpty())
        return name;
    return streamcodec::toCp1252(owner->Name()) + '.' + name;
}

void PropertyWriter::writeListBegin()
{
    mData.append(char(vaList));
}

void PropertyWriter::writeListEnd()
{
    mData.append(char(vaNull));
}

void PropertyWriter::writeInteger(qint64 value)
{
    const auto v = qint32(value);  // every integer kind is 32-bit
    if (v >= -128 && v <= 127) {
        mData.append(char(vaInt8));
        appendLE(mData, quint64(v), 1);
    } else if (v >= -32768 && v <= 32767) {
        mData.append(char(vaInt16));
        appendLE(mData, quint64(v), 2);
    } else {
        mData.append(char(vaInt32));
        appendLE(mData, quint64(v), 4);
    }
}

void PropertyWriter::writeFloat(double value)
{
    mData.append(char(vaExtended));
    mData.append(streamcodec::encodeExtended(value));
}

void PropertyWriter::writeString(const QString &value)
{
    writeStringBytes(streamcodec::toCp1252(value));
}

void PropertyWriter::writeStringBytes(const QByteArray &bytes)
{
    if (bytes.size() < 256) {
        mData.append(char(vaString));
        mData.append(char(bytes.size()));
    } else {
        mData.append(char(vaLString));
        appendLE(mData, quint64(bytes.size()), 4);
    }
    mData.append(bytes);
}

void PropertyWriter::writeIdent(const QByteArray &ident)
{
    if (sameName(ident, "False")) {
        mData.append(char(vaFalse));
    } else if (sameName(ident, "True")) {
        mData.append(char(vaTrue));
    } else if (sameName(ident, "nil")) {
        mData.append(char(vaNil));
    } else {
        mData.append(char(vaIdent));
        writeShortName(ident);
    }
}

void PropertyWriter::writeBoolean(bool value)
{
    mData.append(char(value ? vaTrue : vaFalse));
}

void PropertyWriter::writeBinary(const QByteArray &bytes)
{
    mData.append(char(vaBinary));
    appendLE(mData, quint64(bytes.size()), 4);
    mData.append(bytes);
}

void PropertyWriter::writeSet(quint32 members, const TIdentList &idents)
{
    mData.append(char(vaSet));
    for (size_t i = 0; i < 32 && i < idents.size(); ++i)
        if (members & (quint32(1) << i))
            writeShortName(idents[i]);
    writeShortName(QByteArray());
}

void PropertyWriter::writePropName(const QByteArray &name)
{
    writeShortName(name);
}

void PropertyWriter::writeShortName(const QByteArray &name)
{
    const QByteArray cut = name.left(255);
    mData.append(char(cut.size()));
    mData.append(cut);
}

void PropertyWriter::writeSignature()
{
    mData.append("TPF0", 4);
}

PropertyReader::PropertyReader(const QByteArray &data) : mData(data) {}

quint8 PropertyReader::readByte()
{
    if (mPos >= mData.size())
        fail(StreamReadError);
    return quint8(mData[mPos++]);
}

quint8 PropertyReader::peekByte()
{
    if (mPos >= mData.size())
        fail(StreamReadError);
    return quint8(mData[mPos]);
}

QByteArray PropertyReader::readBytes(qint64 count)
{
    // Lengths come from the stream: check them before allocating anything.
    if (count < 0 || count > remaining())
        fail(StreamReadError);
    QByteArray bytes = mData.mid(mPos, count);
    mPos += count;
    return bytes;
}

qint32 PropertyReader::readInt32Raw()
{
    if (remaining() < 4)
        fail(StreamReadError);
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= quint32(quint8(mData[mPos + i])) << (8 * i);
    mPos += 4;
    return qint32(v);
}

TValueType PropertyReader::readValueType()
{
    return TValueType(readByte());
}

TValueType PropertyReader::peekValueType()
{
    return TValueType(peekByte());
}

bool PropertyReader::endOfList()
{
    return peekValueType() == vaNull;
}

void PropertyReader::readListBegin()
{
    if (readValueType() != vaList)
        fail(InvalidPropertyValue);
}

void PropertyReader::readListEnd()
{
    if (readValueType() != vaNull)
        fail(InvalidPropertyValue);
}

qint32 PropertyReader::readInteger()
{
    switch (readValueType()) {
    case vaInt8:
        return qint8(readByte());
    case vaInt16: {
        const quint8 lo = readByte();
        return qint16(quint16(lo | (readByte() << 8)));
    }
    case vaInt32:
        return readInt32Raw();
    default:
        fail(InvalidPropertyValue);
    }
}

double PropertyReader::readFloat()
{
    if (peekValueType() == vaExtended) {
        readByte();
        const QByteArray bytes = readBytes(10);
        return streamcodec::decodeExtended(bytes.constData());
    }
    return readInteger();
}

QByteArray PropertyReader::readStringBytes()
{
    switch (readValueType()) {
    case vaString:
        return readBytes(readByte());
    case vaLString: {
        const qint32 length = readInt32Raw();
        if (length > MaxStringBytes)
            fail("String too long");
        return readBytes(length);
    }
    default:
        fail(InvalidPropertyValue);
    }
}

QString PropertyReader::readString()
{
    return streamcodec::fromCp1252(readStringBytes());
}

QByteArray PropertyReader::readIdent()
{
    switch (readValueType()) {
    case vaIdent:
        return readShortName();
    case vaFalse:
        return "False";
    case vaTrue:
        return "True";
    case vaNil:
        return "nil";
    default:
        fail(InvalidPropertyValue);
    }
}

bool PropertyReader::readBoolean()
{
    const QByteArray ident = readIdent();
    if (sameName(ident, "True"))
        return true;
    if (sameName(ident, "False"))
        return false;
    fail(InvalidPropertyValue);
}

QByteArray PropertyReader::readBinary()
{
    if (readValueType() != vaBinary)
        fail(InvalidPropertyValue);
    return readBytes(readInt32Raw());
}

quint32 PropertyReader::readSet(const TIdentList &idents)
{
    if (readValueType() != vaSet)
        fail(InvalidPropertyValue);
    quint32 members = 0;
    for (;;) {
        const QByteArray name = readShortName();
        if (name.isEmpty())
            break;
        for (size_t i = 0; i < idents.size() && i < 32; ++i)
            if (sameName(name, idents[i])) {
                members |= quint32(1) << i;
                break;
            }
    }
    return members;
}

QByteArray PropertyReader::readShortName()
{
    return readBytes(readByte());
}

void PropertyReader::readSignature()
{
    if (readBytes(4) != QByteArrayLiteral("TPF0"))
        fail(InvalidStreamFormat);
}

bool PropertyReader::nextIsSignature() const
{
    return remaining() >= 4 && std::memcmp(mData.constData() + mPos, "TPF0", 4) == 0;
}

void PropertyReader::skipValue()
{
    switch (readValueType()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
        break;
    case vaList: {
        DepthGuard guard(mDepth);
        while (!endOfList())
            skipValue();
        readListEnd();
        break;
    }
    case vaInt8:
        readBytes(1);
        break;
    case vaInt16:
        readBytes(2);
        break;
    case vaInt32:
        readBytes(4);
        break;
    case vaExtended:
        readBytes(10);
        break;
    case vaString:
    case vaIdent:
        readShortName();
        break;
    case vaBinary:
    case vaLString:
        readBytes(readInt32Raw());
        break;
    case vaSet:
        while (!readShortName().isEmpty()) {}
        break;
    case vaCollection: {
        DepthGuard guard(mDepth);
        while (!endOfList()) {
            const TValueType t = peekValueType();
            if (t == vaInt8 || t == vaInt16 || t == vaInt32)
                readInteger();
            readListBegin();
            while (!endOfList()) {
                readShortName();
                skipValue();
            }
            readListEnd();
        }
        readListEnd();
        break;
    }
    default:
        fail(InvalidPropertyValue);
    }
}

void PropertyReader::readRootComponents(TComponent *owner, QObject *parent,
                                        const std::function<void(TComponent *)> &callback)
{
    mOwner = owner;
    mRoot = owner;
    mFixups.clear();
    mReadNames.clear();
    try {
        while (!endOfList()) {
            readSignature();
            TComponent *component = readComponent(owner, parent);
            if (callback)
                callback(component);
        }
    } catch (...) {
        // The objects completed so far stay; give them their references.
        resolveFixups();
        throw;
    }
    resolveFixups();
}

TComponent *PropertyReader::readRootComponent(TComponent *owner, QObject *parent)
{
    mOwner = owner;
    mRoot = owner;
    mFixups.clear();
    mReadNames.clear();
    readSignature();
    TComponent *component = readComponent(owner, parent);
    resolveFixups();
    return component;
}

TComponent *PropertyReader::readComponent(TComponent *owner, QObject *parent)
{
    DepthGuard guard(mDepth);
    quint8 flags = 0;
    int position = 0;
    if (peekByte() >= 0xF0) {
        flags = readByte() & 0x0F;
        if (flags & 2)
            position = readInteger();
    }
    const QByteArray className = readShortName();
    const QByteArray storedName = readShortName();
    TComponent *component = TClassRegistry::instance().Create(className, owner);

    const bool topLevel = mDepth == 1;
    TComponent *const previousCurrent = mCurrent;
    if (topLevel)
        mCurrent = component;
    const size_t fixupMark = mFixups.size();
    try {
        component->SetLoading(true);
        component->SetParentComponent(parent);
        QString name = streamcodec::fromCp1252(storedName);
        if (OnSetName)
            OnSetName(*component, name);
        component->SetName(name);
        while (!endOfList())
            readProperty(*component);
        readListEnd();
        QObject *asParent = dynamic_cast<QObject *>(component);
        while (!endOfList())
            readComponent(owner, asParent);
        readListEnd();
        component->SetLoading(false);
        if (flags & 2)
            component->SetChildOrder(position);
    } catch (EStreamError &e) {
        mFixups.resize(fixupMark);
        mCurrent = previousCurrent;
        delete component;
        e.addOuterName(PrintableName(storedName));
        throw;
    } catch (...) {
        mFixups.resize(fixupMark);
        mCurrent = previousCurrent;
        delete component;
        throw;
    }
    mCurrent = previousCurrent;
    if (topLevel)
        mReadNames.emplace_back(storedName, component);
    return component;
}

TPropertyTarget ResolvePropertyPath(TPersistent &object, const QByteArray &path)
{
    const QList<QByteArray> parts = path.split('.');
    TPersistent *current = &object;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const TPropInfo *prop = current->Properties().find(parts[i]);
        if (!prop || !isSubObjectKind(prop->kind) || !prop->getObject)
            fail(PropertyDoesNotExist);
        current = prop->getObject(*current);
        if (!current)
            fail(PropertyDoesNotExist);
    }
    return {current, current->Properties().find(parts.last()), parts.last()};
}

void PropertyReader::readProperty(TPersistent &object)
{
    const QByteArray path = readShortName();
    try {
        const TPropertyTarget target = ResolvePropertyPath(object, path);
        if (target.prop)
            readPropValue(*target.object, *target.prop);
        else if (!target.object->ReadDefinedProperty(*this, target.name))
            fail(PropertyDoesNotExist);
    } catch (EStreamError &e) {
        e.addOuterName(PrintableName(path));
        throw;
    }
}

bool PropertyReader::readPropertyOrSkip(TPersistent &object)
{
    const QByteArray name = readShortName();
    const TPropInfo *prop = object.Properties().find(name);
    if (!prop) {
        skipValue();
        return false;
    }
    try {
        readPropValue(object, *prop);
    } catch (EStreamError &e) {
        e.addOuterName(PrintableName(name));
        throw;
    }
    return true;
}

void PropertyReader::readPropValue(TPersistent &object, const TPropInfo &prop)
{
    if (prop.isOrdinal() && (prop.readOnly || !prop.setOrd))
        fail(PropertyIsReadOnly);

    switch (prop.kind) {
    case TPropKind::Integer:
    case TPropKind::Color:
    case TPropKind::Cursor: {
        qint64 value = 0;
        if (peekValueType() == vaIdent) {
            const QByteArray ident = readIdent();
            bool known = false;
            if (prop.kind == TPropKind::Color)
                known = IdentToColor(ident, &value);
            else if (prop.kind == TPropKind::Cursor)
                known = IdentToCursor(ident, &value);
            else if (prop.identToInt)
                known = prop.identToInt(ident, &value);
            if (!known)
                fail(InvalidPropertyValue);
        } else {
            value = readInteger();
        }
        prop.setOrd(object, value);
        break;
    }
    case TPropKind::Char: {
        const QByteArray text = readStringBytes();
        if (text.size() != 1)
            fail(InvalidPropertyValue);
        prop.setOrd(object, quint8(text[0]));
        break;
    }
    case TPropKind::Enum: {
        const QByteArray ident = readIdent();
        if (!prop.idents)
            fail(InvalidPropertyValue);
        qint64 ordinal = -1;
        for (size_t i = 0; i < prop.idents->size(); ++i)
            if (sameName(ident, prop.idents->at(i))) {
                ordinal = qint64(i);
                break;
            }
        if (ordinal < 0)
            fail(InvalidPropertyValue);
        prop.setOrd(object, ordinal);
        break;
    }
    case TPropKind::Set:
        prop.setOrd(object, readSet(prop.idents ? *prop.idents : TIdentList()));
        break;
    case TPropKind::Float:
        if (prop.readOnly || !prop.setFloat)
            fail(PropertyIsReadOnly);
        prop.setFloat(object, readFloat());
        break;
    case TPropKind::String:
        if (prop.readOnly || !prop.setString)
            fail(PropertyIsReadOnly);
        prop.setString(object, readString());
        break;
    case TPropKind::Object:
    case TPropKind::StringList:
    case TPropKind::Picture:
    case TPropKind::Bitmap:
        // Owned sub-objects are filled through "Name." paths; the only value
        // they take directly is nil.
        if (readValueType() != vaNil)
            fail(InvalidPropertyValue);
        if (prop.setObject)
            prop.setObject(object, nullptr);
        break;
    case TPropKind::Collection: {
        auto *items = dynamic_cast<TCollection *>(prop.getObject ? prop.getObject(object) : nullptr);
        if (!items)
            fail(PropertyIsReadOnly);
        const TValueType t = peekValueType();
        if (t == vaNil) {
            readByte();
            items->Clear();
        } else if (t == vaCollection) {
            readCollection(*items);
        } else {
            fail(InvalidPropertyValue);
        }
        break;
    }
    case TPropKind::Component: {
        if (prop.readOnly || !prop.setObject)
            fail(PropertyIsReadOnly);
        const TValueType t = peekValueType();
        if (t == vaNil) {
            readByte();
            prop.setObject(object, nullptr);
        } else if (t == vaIdent) {
            mFixups.push_back({&object, &prop, readIdent()});
        } else {
            fail(InvalidPropertyValue);
        }
        break;
    }
    case TPropKind::Event: {
        if (prop.readOnly || !prop.setMethod)
            fail(PropertyIsReadOnly);
        const TValueType t = peekValueType();
        if (t == vaNil) {
            readByte();
            prop.setMethod(object, QByteArray());
        } else if (t == vaIdent) {
            const QByteArray method = readIdent();
            const TComponent *root = mRoot ? mRoot : mCurrent;
            if (root && root->HasPublishedMethod(method))
                prop.setMethod(object, method);
            else if (!OnFindMethod || !OnFindMethod(method))
                fail(InvalidPropertyValue);
        } else {
            fail(InvalidPropertyValue);
        }
        break;
    }
    }
}

void PropertyReader::readCollection(TCollection &collection)
{
    if (readValueType() != vaCollection)
        fail(InvalidPropertyValue);
    DepthGuard guard(mDepth);
    collection.Clear();
    while (!endOfList()) {
        // An item may carry its index first.
        const TValueType t = peekValueType();
        if (t == vaInt8 || t == vaInt16 || t == vaInt32)
            readInteger();
        readListBegin();
        TPersistent *item = collection.Add();
        while (!endOfList())
            readProperty(*item);
        readListEnd();
    }
    readListEnd();
}

TComponent *PropertyReader::findReference(const QByteArray &name) const
{
    const QString text = streamcodec::fromCp1252(name);
    const qsizetype dot = text.indexOf(u'.');
    if (dot < 0) {
        for (const auto &[stored, component] : mReadNames)
            if (sameName(stored, name))
                return component;
        if (!mOwner)
            return nullptr;
        if (TComponent *c = mOwner->FindComponent(text))
            return c;
        return mOwner->Name().compare(text, Qt::CaseInsensitive) == 0 ? mOwner : nullptr;
    }
    const QString ownerName = text.left(dot);
    TComponent *owner = nullptr;
    if (mOwner && mOwner->Name().compare(ownerName, Qt::CaseInsensitive) == 0)
        owner = mOwner;
    else if (mOwner)
        owner = mOwner->FindComponent(ownerName);
    return owner ? owner->FindComponent(text.mid(dot + 1)) : nullptr;
}

void PropertyReader::resolveFixups()
{
    // A name that matches nothing leaves the reference unassigned.
    for (const Fixup &f : mFixups)
        if (TComponent *target = findReference(f.name))
            f.prop->setObject(*f.object, target);
    mFixups.clear();
    mReadNames.clear();
}
