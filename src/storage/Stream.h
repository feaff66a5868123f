#pragma once
// The tagged property stream: value tags 0-14, the "TPF0" component record,
// and the writer and reader of label objects' published properties.

#include "Persist.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QObject;

enum TValueType : quint8 {
    vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5,
    vaString = 6, vaIdent = 7, vaFalse = 8, vaTrue = 9, vaBinary = 10, vaSet = 11,
    vaLString = 12, vaNil = 13, vaCollection = 14
};

// 80-bit extended floats and Windows-1252 text, portable.
namespace streamcodec {
QByteArray encodeExtended(double value);           // 10 bytes, little-endian
double decodeExtended(const char *tenBytes);       // nearest double; tiny -> 0, huge -> inf
QByteArray toCp1252(const QString &text);          // unmappable characters -> '?'
QString fromCp1252(const QByteArray &bytes);       // every byte decodes
}

// Name tables of the integer kinds (names compare case-insensitively).
bool ColorToIdent(qint64 color, QByteArray *ident);
bool IdentToColor(const QByteArray &ident, qint64 *color);
bool CursorToIdent(qint64 cursor, QByteArray *ident);
bool IdentToCursor(const QByteArray &ident, qint64 *cursor);

// Nested lists, collections and child components deeper than this are
// treated as a damaged stream.
constexpr int MaxStreamDepth = 64;

// Writes values, component records and published properties into a byte array.
class PropertyWriter
{
public:
    PropertyWriter() = default;
    const QByteArray &data() const { return mData; }
    QByteArray takeData() { return std::move(mData); }

    // Signature, then the component record (no prefix for label objects).
    // `root` (default: the component) is the object whose published methods
    // events may name; references to components of its owner are written
    // by plain name, others as "Owner.Name".
    void writeRootComponent(const TComponent &component, const TComponent *root = nullptr);
    void writeComponent(const TComponent &component, quint8 flags = 0, int position = 0);
    // The published properties of any persistent under a path prefix ("Font.").
    void writeProperties(const TPersistent &object, const QByteArray &path = QByteArray());

    void writeListBegin();
    void writeListEnd();
    void writeInteger(qint64 value);         // as 32 bits: smallest of int8/16/32
    void writeFloat(double value);           // tag 5
    void writeString(const QString &value);  // tag 6, or tag 12 from 256 bytes on
    void writeIdent(const QByteArray &ident);  // False/True/nil become tags 8/9/13
    void writeBoolean(bool value);
    void writeBinary(const QByteArray &bytes);
    void writeSet(quint32 members, const TIdentList &idents);
    void writePropName(const QByteArray &name);  // short name
    void writeShortName(const QByteArray &name);  // cut to 255 bytes
    void writeSignature();
    void writeRaw(const QByteArray &bytes) { mData.append(bytes); }

private:
    void writeProperty(const TPersistent &object, const TPropInfo &prop, const QByteArray &path);
    void writeStringBytes(const QByteArray &bytes);
    QByteArray referenceName(const TComponent &ref) const;
    QByteArray mData;
    const TComponent *mRoot = nullptr;
};

// What a dotted property path ("Font.Name", "Lines.Strings") names: every
// part but the last steps into an owned sub-object (font, pen, brush, string
// list, picture, bitmap); `prop` is the last part's published property, or
// nullptr when the last part is not published and may be one of the
// object's defined properties ("Strings", "Data").
struct TPropertyTarget
{
    TPersistent *object = nullptr;
    const TPropInfo *prop = nullptr;
    QByteArray name;  // the last part
};
// The stepping the reader does; a part that names no sub-object fails with
// "Property does not exist".
TPropertyTarget ResolvePropertyPath(TPersistent &object, const QByteArray &path);

// Reads values and component records back; every failure is an EStreamError.
class PropertyReader
{
public:
    explicit PropertyReader(const QByteArray &data);

    // Hooks set by the label object filer.
    std::function<void(TComponent &component, QString &name)> OnSetName;
    // Return true to declare a missing method harmless.
    std::function<bool(const QByteArray &methodName)> OnFindMethod;

    // Reads root components until the end-of-list tag (left unread), creating
    // each with `owner` and `parent`, handing each to `callback`; then resolves
    // references between them. On failure the half-made object is destroyed,
    // completed ones stay, and EStreamError is thrown.
    // The objects' FinishLoading is left to the caller. Events are looked up
    // on `owner` (the root), or on each object itself when there is no owner.
    void readRootComponents(TComponent *owner, QObject *parent,
                            const std::function<void(TComponent *)> &callback);
    // Signature and one component record, references resolved.
    TComponent *readRootComponent(TComponent *owner, QObject *parent);
    // One property record (path, then value) assigned to `object`, as inside
    // a component record. References to components are not resolved here.
    void readProperty(TPersistent &object);
    // The same for a flat object whose records a newer writer may extend: a
    // name the object does not publish is skipped with its value (false).
    bool readPropertyOrSkip(TPersistent &object);

    void readListBegin();   // "Invalid property value" unless the tag is 1
    void readListEnd();     // ... unless it is 0
    bool endOfList();       // peeks: next tag is 0
    qint32 readInteger();
    double readFloat();     // extended, or an integer kind converted
    QString readString();   // tags 6 and 12
    QByteArray readIdent(); // tag 7; False/True/nil for 8/9/13
    bool readBoolean();
    QByteArray readBinary();
    quint32 readSet(const TIdentList &idents);  // unknown members ignored
    QByteArray readShortName();
    void readSignature();   // "Invalid stream format" unless "TPF0"
    bool nextIsSignature() const;  // the next four bytes are "TPF0"
    TValueType readValueType();    // the raw tag byte; callers reject what they cannot use
    TValueType peekValueType();
    void skipValue();
    QByteArray readBytes(qint64 count);  // "Stream read error" past the end
    qint32 readInt32Raw();               // 4 bytes, no tag
    quint8 readByte();
    quint8 peekByte();
    bool atEnd() const { return mPos >= mData.size(); }
    qint64 position() const { return mPos; }
    qint64 remaining() const { return mData.size() - mPos; }

private:
    TComponent *readComponent(TComponent *owner, QObject *parent);
    void readPropValue(TPersistent &object, const TPropInfo &prop);
    void readCollection(TCollection &collection);
    QByteArray readStringBytes();
    void resolveFixups();
    TComponent *findReference(const QByteArray &name) const;

    QByteArray mData;
    qint64 mPos = 0;
    int mDepth = 0;
    struct Fixup { TPersistent *object; const TPropInfo *prop; QByteArray name; };
    std::vector<Fixup> mFixups;
    // The objects of the current sequence by the names they were stored
    // under, so references between them survive the name hook's renaming.
    std::vector<std::pair<QByteArray, TComponent *>> mReadNames;
    TComponent *mRoot = nullptr;
    TComponent *mOwner = nullptr;
    TComponent *mCurrent = nullptr;  // the root-level object being read
};
