#pragma once
// Published properties, components and the class registry: what the
// property stream needs to know about any object it writes or reads.

#include <QByteArray>
#include <QMultiHash>
#include <QList>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

class QObject;
class TPersistent;
class TComponent;
class PropertyReader;
class PropertyWriter;

// The error every stream failure ends in; what() is one of the fixed
// messages ("Invalid stream format", "Class X not found", ...).
// A name read from a stream, fit for a message: printable ASCII as it is,
// every other byte (line breaks, controls, bytes above 126) and the
// backslash as \xHH, so a damaged name cannot break or garble the message.
QString PrintableName(const QByteArray &name);

class EStreamError : public std::runtime_error
{
public:
    explicit EStreamError(const QString &message)
        : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
    // Where in the stream it happened, when the reader knows: the object's
    // stored name and the property path ("Component3.Font.Height").
    QString where() const { return mWhere; }
    // Puts an outer name in front of what is known already.
    void addOuterName(const QString &name) { mWhere = mWhere.isEmpty() ? name : name + QLatin1Char('.') + mWhere; }
    // The message followed by the place in brackets, when there is one.
    QString describe() const { return mWhere.isEmpty() ? message() : message() + QStringLiteral(" (") + mWhere + QLatin1Char(')'); }

private:
    QString mWhere;
};

enum class TPropKind {
    Integer,     // 32-bit signed
    Color,       // integer with the colour name table
    Cursor,      // integer with the cursor name table
    Char,        // one 8-bit character, stored as a string of length 1
    Enum,        // enumeration (Boolean too), stored as an identifier
    Set,         // set of enumeration members, ordinals 0..31
    Float,       // stored as an 80-bit extended
    String,
    Object,      // sub-object (font, pen, brush) stored under "Name." paths
    StringList,  // TStrings: defined property "Strings"
    Picture,     // TPicture: defined property "Data"
    Bitmap,      // TBitmap: defined property "Data"
    Component,   // reference to another component, stored by name
    Event,       // method reference, stored by method name
    Collection   // TCollection: items stored as a collection value (tag 14)
};

// Identifiers of an enumeration or of a set's members, by ordinal.
using TIdentList = std::vector<QByteArray>;

// One published property of a class.
struct TPropInfo
{
    QByteArray name;
    TPropKind kind = TPropKind::Integer;
    const TIdentList *idents = nullptr;   // Enum and Set
    std::optional<qint64> defaultValue;   // ordinal kinds; none = always written
    std::function<bool(const TPersistent &)> stored;  // empty = always stored
    bool readOnly = false;
    // Integer kind only: extra names the reader accepts in place of a number
    // (character sets by name); the writer still writes the number.
    std::function<bool(const QByteArray &ident, qint64 *value)> identToInt;

    // Accessors; only those of the property's kind are set.
    std::function<qint64(const TPersistent &)> getOrd;   // Integer..Set (Set as bit mask)
    std::function<void(TPersistent &, qint64)> setOrd;
    std::function<double(const TPersistent &)> getFloat;
    std::function<void(TPersistent &, double)> setFloat;
    std::function<QString(const TPersistent &)> getString;
    std::function<void(TPersistent &, const QString &)> setString;
    std::function<TPersistent *(const TPersistent &)> getObject;  // Object..Component, Collection
    std::function<void(TPersistent &, TPersistent *)> setObject;  // Component only
    std::function<QByteArray(const TPersistent &)> getMethod;     // Event
    std::function<void(TPersistent &, const QByteArray &)> setMethod;

    bool isOrdinal() const { return kind <= TPropKind::Set; }
};

// A class's published properties, chained to its base class's table.
// all() lists the ancestors' properties first, in declaration order.
class TPropertyTable
{
public:
    TPropertyTable(const TPropertyTable *parent, std::vector<TPropInfo> own);
    const std::vector<const TPropInfo *> &all() const { return mAll; }
    const TPropInfo *find(const QByteArray &name) const;  // case-insensitive
    const TPropertyTable *parent() const { return mParent; }

private:
    const TPropertyTable *mParent;
    std::vector<TPropInfo> mOwn;
    std::vector<const TPropInfo *> mAll;
};

// Anything with published properties: label objects and their sub-objects.
class TPersistent
{
public:
    virtual ~TPersistent() = default;
    virtual QByteArray ClassName() const = 0;
    virtual const TPropertyTable &Properties() const = 0;

    // Defined properties follow the published ones under the same path
    // ("Lines.Strings", "Picture.Data").
    virtual void WriteDefinedProperties(PropertyWriter &writer, const QByteArray &path) const;
    // Returns false when the name is not one of this object's defined properties.
    virtual bool ReadDefinedProperty(PropertyReader &reader, const QByteArray &name);
};

// An owned list of like items (each with its own published properties),
// stored as a collection value: one list of properties per item.
class TCollection : public TPersistent
{
public:
    using ItemFactory = std::function<std::unique_ptr<TPersistent>()>;
    explicit TCollection(ItemFactory factory) : mFactory(std::move(factory)) {}
    QByteArray ClassName() const override { return "TCollection"; }
    const TPropertyTable &Properties() const override;

    int Count() const { return int(mItems.size()); }
    TPersistent *Item(int index) const { return mItems.at(size_t(index)).get(); }
    TPersistent *Add();
    void Clear() { mItems.clear(); }

private:
    ItemFactory mFactory;
    std::vector<std::unique_ptr<TPersistent>> mItems;
};

// A named object with an owner, as the stream creates and names it.
// The owner does not free its components; parents in the Qt object tree do.
class TComponent : public TPersistent
{
public:
    explicit TComponent(TComponent *owner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent &) = delete;
    TComponent &operator=(const TComponent &) = delete;

    QString Name() const { return mName; }
    virtual void SetName(const QString &name);
    TComponent *Owner() const { return mOwner; }
    const std::deque<TComponent *> &Components() const { return mComponents; }
    TComponent *FindComponent(const QString &name) const;  // case-insensitive
    // The first of prefix + first .. prefix + last that no component is
    // named (ignoring case); an empty text when all are taken.
    QString FirstFreeName(const QString &prefix, int first, int last);

    // Set while the stream assigns the recorded properties.
    bool IsLoading() const { return mLoading; }
    void SetLoading(bool loading) { mLoading = loading; }

    // The stream hands a new object its parent control before assigning properties.
    virtual void SetParentComponent(QObject *parent);
    // Called once all objects of a sequence were read (and after a tool creates one).
    virtual void FinishLoading();
    // Child position given by a record prefix with flag 2.
    virtual void SetChildOrder(int position);
    // Published methods, for event properties.
    virtual bool HasPublishedMethod(const QByteArray &name) const;

private:
    void insertComponent(TComponent *c);
    void removeComponent(TComponent *c);
    void indexName(TComponent *c);
    void unindexName(TComponent *c);

    QString mName;
    TComponent *mOwner = nullptr;
    std::deque<TComponent *> mComponents;
    // The components' names, case-folded, so that finding a name and the
    // first free numbered name cost no scan of all components.
    QMultiHash<QString, TComponent *> mNameIndex;
    // FirstFreeName's hints: for a case-folded prefix and a first number,
    // every number from `first` up to `next` - 1 is taken.
    struct FreeHint
    {
        QString prefix;
        int first = 0;
        int next = 0;
    };
    std::vector<FreeHint> mFreeHints;
    bool mLoading = false;
};

// Creates objects by class name. Every creatable class is registered by one
// function of the subsystem that knows them all.
class TClassRegistry
{
public:
    using Factory = std::function<TComponent *(TComponent *owner)>;
    static TClassRegistry &instance();

    void Register(const QByteArray &className, Factory factory);
    bool Contains(const QByteArray &className) const;
    // Throws EStreamError("Class <name> not found").
    TComponent *Create(const QByteArray &className, TComponent *owner) const;
    QList<QByteArray> ClassNames() const;

private:
    std::vector<std::pair<QByteArray, Factory>> mFactories;
};

extern const TIdentList BooleanIdents;  // False, True

// Helpers to build property tables from member functions.
namespace props {

template <class C, class T>
TPropInfo ordinal(const char *name, TPropKind kind, T (C::*get)() const, void (C::*set)(T),
                  std::optional<qint64> def, const TIdentList *idents = nullptr)
{
    TPropInfo p;
    p.name = name;
    p.kind = kind;
    p.idents = idents;
    p.defaultValue = def;
    p.getOrd = [get](const TPersistent &o) { return qint64((static_cast<const C &>(o).*get)()); };
    if (set)
        p.setOrd = [set](TPersistent &o, qint64 v) { (static_cast<C &>(o).*set)(T(v)); };
    else
        p.readOnly = true;
    return p;
}

template <class C>
TPropInfo integer(const char *name, int (C::*get)() const, void (C::*set)(int), std::optional<qint64> def)
{ return ordinal(name, TPropKind::Integer, get, set, def); }

template <class C, class T>
TPropInfo color(const char *name, T (C::*get)() const, void (C::*set)(T), std::optional<qint64> def)
{ return ordinal(name, TPropKind::Color, get, set, def); }

template <class C, class T>
TPropInfo enumeration(const char *name, const TIdentList &idents, T (C::*get)() const, void (C::*set)(T),
                      std::optional<qint64> def)
{ return ordinal(name, TPropKind::Enum, get, set, def, &idents); }

template <class C>
TPropInfo boolean(const char *name, bool (C::*get)() const, void (C::*set)(bool), std::optional<bool> def)
{
    std::optional<qint64> d;
    if (def) d = *def ? 1 : 0;
    return ordinal(name, TPropKind::Enum, get, set, d, &BooleanIdents);
}

template <class C>
TPropInfo cursor(const char *name, int (C::*get)() const, void (C::*set)(int), std::optional<qint64> def)
{ return ordinal(name, TPropKind::Cursor, get, set, def); }

// One 8-bit character (its code in the stream's code page).
template <class C, class T>
TPropInfo character(const char *name, T (C::*get)() const, void (C::*set)(T), std::optional<qint64> def)
{ return ordinal(name, TPropKind::Char, get, set, def); }

// A set as a bit mask (bit n = member with ordinal n); the default is a mask too.
template <class C, class T>
TPropInfo set(const char *name, const TIdentList &idents, T (C::*get)() const, void (C::*set)(T),
              std::optional<qint64> def)
{ return ordinal(name, TPropKind::Set, get, set, def, &idents); }

template <class C>
TPropInfo floating(const char *name, double (C::*get)() const, void (C::*set)(double))
{
    TPropInfo p;
    p.name = name;
    p.kind = TPropKind::Float;
    p.getFloat = [get](const TPersistent &o) { return (static_cast<const C &>(o).*get)(); };
    p.setFloat = [set](TPersistent &o, double v) { (static_cast<C &>(o).*set)(v); };
    return p;
}

template <class C>
TPropInfo string(const char *name, QString (C::*get)() const, void (C::*set)(const QString &))
{
    TPropInfo p;
    p.name = name;
    p.kind = TPropKind::String;
    p.getString = [get](const TPersistent &o) { return (static_cast<const C &>(o).*get)(); };
    p.setString = [set](TPersistent &o, const QString &v) { (static_cast<C &>(o).*set)(v); };
    return p;
}

// A sub-object owned by the object (font, pen, brush, string list, picture,
// bitmap); the reader steps into it and assigns its own properties.
template <class C, class S>
TPropInfo object(const char *name, TPropKind kind, S *(C::*get)() const)
{
    TPropInfo p;
    p.name = name;
    p.kind = kind;
    p.getObject = [get](const TPersistent &o) -> TPersistent * { return (static_cast<const C &>(o).*get)(); };
    return p;
}

// A reference to another component, written by name and resolved after a
// whole sequence of components was read.
template <class C, class R>
TPropInfo component(const char *name, R *(C::*get)() const, void (C::*set)(R *))
{
    TPropInfo p;
    p.name = name;
    p.kind = TPropKind::Component;
    p.getObject = [get](const TPersistent &o) -> TPersistent * { return (static_cast<const C &>(o).*get)(); };
    p.setObject = [set](TPersistent &o, TPersistent *v) { (static_cast<C &>(o).*set)(dynamic_cast<R *>(v)); };
    return p;
}

// An event: the name of the root's published method it calls (empty = none).
template <class C>
TPropInfo event(const char *name, QByteArray (C::*get)() const, void (C::*set)(const QByteArray &))
{
    TPropInfo p;
    p.name = name;
    p.kind = TPropKind::Event;
    p.getMethod = [get](const TPersistent &o) { return (static_cast<const C &>(o).*get)(); };
    p.setMethod = [set](TPersistent &o, const QByteArray &v) { (static_cast<C &>(o).*set)(v); };
    return p;
}

}  // namespace props
