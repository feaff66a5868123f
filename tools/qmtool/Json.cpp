#include "Json.h"

#include <QLocale>
#include <QStringDecoder>

#include <cmath>

JsonValue JsonValue::boolean(bool b)
{
    JsonValue v;
    v.mType = Bool;
    v.mBool = b;
    return v;
}

JsonValue JsonValue::number(double n)
{
    JsonValue v;
    v.mType = Number;
    v.mNumber = n;
    return v;
}

JsonValue JsonValue::string(const QString &s)
{
    JsonValue v;
    v.mType = String;
    v.mString = s;
    return v;
}

JsonValue JsonValue::array(QList<JsonValue> items)
{
    JsonValue v;
    v.mType = Array;
    v.mItems = std::move(items);
    return v;
}

JsonValue JsonValue::object()
{
    JsonValue v;
    v.mType = Object;
    return v;
}

const JsonValue *JsonValue::member(const QString &name) const
{
    for (const auto &[key, value] : mMembers)
        if (key == name)
            return &value;
    return nullptr;
}

bool JsonValue::operator==(const JsonValue &other) const
{
    if (mType != other.mType)
        return false;
    switch (mType) {
    case Null: return true;
    case Bool: return mBool == other.mBool;
    case Number: return mNumber == other.mNumber;
    case String: return mString == other.mString;
    case Array: return mItems == other.mItems;
    case Object: return mMembers == other.mMembers;
    }
    return false;
}

const char *JsonValue::typeName(Type type)
{
    switch (type) {
    case Null: return "null";
    case Bool: return "a Boolean";
    case Number: return "a number";
    case String: return "a string";
    case Array: return "an array";
    case Object: return "an object";
    }
    return "?";
}

namespace {

constexpr int MaxDepth = 256;

class Parser
{
public:
    explicit Parser(const QByteArray &text) : mText(text) {}

    JsonValue document()
    {
        skipSpace();
        JsonValue v = value();
        skipSpace();
        if (mPos < mText.size())
            fail("unexpected text after the value");
        return v;
    }

private:
    [[noreturn]] void fail(const char *what) const
    {
        int line = 1, column = 1;
        for (qsizetype i = 0; i < mPos && i < mText.size(); ++i) {
            if (mText[i] == '\n') {
                ++line;
                column = 1;
            } else if ((uchar(mText[i]) & 0xC0) != 0x80) {
                ++column;
            }
        }
        throw JsonError(QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(QLatin1String(what)));
    }

    char peek() const { return mPos < mText.size() ? mText[mPos] : '\0'; }
    bool atEnd() const { return mPos >= mText.size(); }

    void skipSpace()
    {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++mPos;
    }

    void expectWord(const char *word)
    {
        const QByteArray w(word);
        if (mText.mid(mPos, w.size()) != w)
            fail("unexpected character");
        mPos += w.size();
    }

    JsonValue value()
    {
        if (atEnd())
            fail("unexpected end of the document");
        switch (peek()) {
        case '{': return object();
        case '[': return array();
        case '"': return JsonValue::string(string());
        case 't': expectWord("true"); return JsonValue::boolean(true);
        case 'f': expectWord("false"); return JsonValue::boolean(false);
        case 'n': expectWord("null"); return JsonValue();
        default:
            if (peek() == '-' || (peek() >= '0' && peek() <= '9'))
                return number();
            fail("unexpected character");
        }
    }

    JsonValue object()
    {
        if (++mDepth > MaxDepth)
            fail("nested too deeply");
        ++mPos;
        JsonValue v = JsonValue::object();
        skipSpace();
        if (peek() == '}') {
            ++mPos;
            --mDepth;
            return v;
        }
        for (;;) {
            skipSpace();
            if (peek() != '"')
                fail("expected a member name in double quotes");
            const QString name = string();
            skipSpace();
            if (peek() != ':')
                fail("expected ':'");
            ++mPos;
            skipSpace();
            v.insert(name, value());
            skipSpace();
            if (peek() == ',') {
                ++mPos;
                continue;
            }
            if (peek() == '}') {
                ++mPos;
                break;
            }
            fail("expected ',' or '}'");
        }
        --mDepth;
        return v;
    }

    JsonValue array()
    {
        if (++mDepth > MaxDepth)
            fail("nested too deeply");
        ++mPos;
        JsonValue v = JsonValue::array();
        skipSpace();
        if (peek() == ']') {
            ++mPos;
            --mDepth;
            return v;
        }
        for (;;) {
            skipSpace();
            v.append(value());
            skipSpace();
            if (peek() == ',') {
                ++mPos;
                continue;
            }
            if (peek() == ']') {
                ++mPos;
                break;
            }
            fail("expected ',' or ']'");
        }
        --mDepth;
        return v;
    }

    int hex4()
    {
        if (mPos + 4 > mText.size())
            fail("bad \\u escape");
        bool ok = false;
        const int code = mText.mid(mPos, 4).toInt(&ok, 16);
        for (qsizetype i = mPos; i < mPos + 4; ++i)
            if (!std::isxdigit(uchar(mText[i])))
                ok = false;
        if (!ok)
            fail("bad \\u escape");
        mPos += 4;
        return code;
    }

    QString string()
    {
        ++mPos;  // the opening quote
        QString out;
        qsizetype runStart = mPos;
        auto flush = [&] { out += QString::fromUtf8(mText.mid(runStart, mPos - runStart)); };
        for (;;) {
            if (atEnd())
                fail("unterminated string");
            const char c = peek();
            if (c == '"') {
                flush();
                ++mPos;
                return out;
            }
            if (uchar(c) < 0x20)
                fail("control character in a string");
            if (c != '\\') {
                ++mPos;
                continue;
            }
            flush();
            ++mPos;
            const char e = peek();
            ++mPos;
            switch (e) {
            case '"': out += QLatin1Char('"'); break;
            case '\\': out += QLatin1Char('\\'); break;
            case '/': out += QLatin1Char('/'); break;
            case 'b': out += QChar(8); break;
            case 'f': out += QChar(12); break;
            case 'n': out += QLatin1Char('\n'); break;
            case 'r': out += QLatin1Char('\r'); break;
            case 't': out += QLatin1Char('\t'); break;
            case 'u': {
                const int code = hex4();
                if (code >= 0xD800 && code < 0xDC00) {
                    if (mText.mid(mPos, 2) != "\\u")
                        fail("unpaired surrogate in a \\u escape");
                    mPos += 2;
                    const int low = hex4();
                    if (low < 0xDC00 || low >= 0xE000)
                        fail("unpaired surrogate in a \\u escape");
                    out += QChar(code);
                    out += QChar(low);
                } else if (code >= 0xDC00 && code < 0xE000) {
                    fail("unpaired surrogate in a \\u escape");
                } else {
                    out += QChar(code);
                }
                break;
            }
            default:
                fail("bad escape in a string");
            }
            runStart = mPos;
        }
    }

    JsonValue number()
    {
        const qsizetype start = mPos;
        auto digits = [this] {
            const qsizetype from = mPos;
            while (!atEnd() && peek() >= '0' && peek() <= '9')
                ++mPos;
            return mPos > from;
        };
        if (peek() == '-')
            ++mPos;
        if (peek() == '0')
            ++mPos;
        else if (!digits())
            fail("bad number");
        if (peek() == '.') {
            ++mPos;
            if (!digits())
                fail("bad number");
        }
        if (peek() == 'e' || peek() == 'E') {
            ++mPos;
            if (peek() == '+' || peek() == '-')
                ++mPos;
            if (!digits())
                fail("bad number");
        }
        bool ok = false;
        const double v = mText.mid(start, mPos - start).toDouble(&ok);
        if (!ok || !std::isfinite(v))
            fail("number out of range");
        return JsonValue::number(v);
    }

    const QByteArray &mText;
    qsizetype mPos = 0;
    int mDepth = 0;
};

// Appends the quoted, escaped form of `text`: the characters of the Basic
// Multilingual Plane as UTF-8, controls and surrogates as \u escapes.
void appendString(QByteArray &out, const QString &text)
{
    out += '"';
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20 || (u >= 0x7F && u < 0xA0) || c.isSurrogate()) {
                static const char hex[] = "0123456789abcdef";
                const char escape[6] = {'\\', 'u', hex[u >> 12], hex[(u >> 8) & 15], hex[(u >> 4) & 15],
                                        hex[u & 15]};
                out.append(escape, 6);
            } else if (u < 0x80) {
                out += char(u);
            } else if (u < 0x800) {
                out += char(0xC0 | (u >> 6));
                out += char(0x80 | (u & 0x3F));
            } else {
                out += char(0xE0 | (u >> 12));
                out += char(0x80 | ((u >> 6) & 0x3F));
                out += char(0x80 | (u & 0x3F));
            }
        }
    }
    out += '"';
}

void write(QByteArray &out, const JsonValue &v, int indent)
{
    const qsizetype pad = 2 * (indent + 1), closePad = 2 * indent;
    switch (v.type()) {
    case JsonValue::Null: out += "null"; break;
    case JsonValue::Bool: out += v.toBool() ? "true" : "false"; break;
    case JsonValue::Number: out += jsonNumber(v.toNumber()); break;
    case JsonValue::String: appendString(out, v.toString()); break;
    case JsonValue::Array:
        if (v.items().isEmpty()) {
            out += "[]";
            break;
        }
        out += "[\n";
        for (qsizetype i = 0; i < v.items().size(); ++i) {
            out.append(pad, ' ');
            write(out, v.items().at(i), indent + 1);
            out += i + 1 < v.items().size() ? ",\n" : "\n";
        }
        out.append(closePad, ' ');
        out += ']';
        break;
    case JsonValue::Object:
        if (v.members().isEmpty()) {
            out += "{}";
            break;
        }
        out += "{\n";
        for (qsizetype i = 0; i < v.members().size(); ++i) {
            out.append(pad, ' ');
            appendString(out, v.members().at(i).first);
            out += ": ";
            write(out, v.members().at(i).second, indent + 1);
            out += i + 1 < v.members().size() ? ",\n" : "\n";
        }
        out.append(closePad, ' ');
        out += '}';
        break;
    }
}

}  // namespace

JsonValue parseJson(const QByteArray &text)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder.decode(text);
    if (decoder.hasError())
        throw JsonError(QStringLiteral("the text is not UTF-8"));
    return Parser(text).document();
}

void appendJson(QByteArray &out, const JsonValue &value, int indent)
{
    write(out, value, indent);
}

QByteArray writeJson(const JsonValue &value)
{
    QByteArray out;
    write(out, value, 0);
    out += '\n';
    return out;
}

QByteArray jsonString(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    appendString(out, text);
    return out;
}

QByteArray jsonNumber(double value)
{
    if (std::isnan(value))
        return "\"NaN\"";
    if (std::isinf(value))
        return value < 0 ? "\"-Infinity\"" : "\"Infinity\"";
    // Whole numbers print as integers ("100000", not "1e+05"), so integer
    // properties read as integers in any JSON reader.
    if (value == std::trunc(value) && std::fabs(value) < 9007199254740992.0)
        return QByteArray::number(qint64(value));
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}
