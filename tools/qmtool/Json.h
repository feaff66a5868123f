#pragma once
// JSON for qmtool: a document tree that keeps the order of object members
// (qmtool build assigns properties in the order given), a strict parser and
// an indented writer.

#include <QByteArray>
#include <QList>
#include <QString>

#include <stdexcept>
#include <utility>

// A value of a JSON document.
class JsonValue
{
public:
    enum Type { Null, Bool, Number, String, Array, Object };

    JsonValue() = default;
    static JsonValue boolean(bool b);
    static JsonValue number(double n);
    static JsonValue string(const QString &s);
    static JsonValue array(QList<JsonValue> items = {});
    static JsonValue object();

    Type type() const { return mType; }
    bool isNull() const { return mType == Null; }
    bool toBool() const { return mBool; }
    double toNumber() const { return mNumber; }
    const QString &toString() const { return mString; }
    const QList<JsonValue> &items() const { return mItems; }
    const QList<std::pair<QString, JsonValue>> &members() const { return mMembers; }
    // The first member of that name, or nullptr.
    const JsonValue *member(const QString &name) const;

    void append(JsonValue item) { mItems.append(std::move(item)); }
    void insert(const QString &name, JsonValue value) { mMembers.append({name, std::move(value)}); }

    // Same type and value; object members compared in order.
    bool operator==(const JsonValue &other) const;

    // "null", "a Boolean", "a number", ... for messages.
    static const char *typeName(Type type);

private:
    Type mType = Null;
    bool mBool = false;
    double mNumber = 0;
    QString mString;
    QList<JsonValue> mItems;
    QList<std::pair<QString, JsonValue>> mMembers;
};

// A document that is not JSON; the message names the line and column.
class JsonError : public std::runtime_error
{
public:
    explicit JsonError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// UTF-8 text; exactly one value, surrounded by white space only.
JsonValue parseJson(const QByteArray &text);
// Two-space indentation, members in their order, a final line feed.
QByteArray writeJson(const JsonValue &value);
// Appends `value` as writeJson writes it at `indent` levels deep (no line
// feed before or after), for documents written a piece at a time.
void appendJson(QByteArray &out, const JsonValue &value, int indent);

// A JSON string literal; a JSON number (non-finite values become the
// strings "NaN", "Infinity" and "-Infinity").
QByteArray jsonString(const QString &text);
QByteArray jsonNumber(double value);
