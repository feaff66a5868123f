// qmtool inspect FILE: the raw structure of any property stream as JSON,
// read value by value without creating objects.

#include "Commands.h"
#include "Json.h"

#include "storage/Stream.h"

#include "InputFile.h"

#include <QFile>

#include <cstdio>

namespace {

QByteArray jsonText(const QByteArray &cp1252)
{
    return jsonString(streamcodec::fromCp1252(cp1252));
}

QByteArray typed(const char *type, const QByteArray &value)
{
    return QByteArray("{\"type\":\"") + type + "\",\"value\":" + value + '}';
}

QByteArray array(const QByteArrayList &items)
{
    return '[' + items.join(',') + ']';
}

// Walks the stream; every damaged spot ends in the reader's EStreamError.
class Inspector
{
public:
    explicit Inspector(const QByteArray &data) : mReader(data) {}

    QByteArray topLevel()
    {
        QByteArrayList values;
        while (!mReader.atEnd())
            values << value();
        return "[\n" + values.join(",\n") + "\n]\n";
    }

private:
    class Nesting
    {
    public:
        explicit Nesting(int &depth) : mDepth(depth)
        {
            if (mDepth >= MaxStreamDepth)
                throw EStreamError(QStringLiteral("Invalid stream format"));
            ++mDepth;
        }
        ~Nesting() { --mDepth; }
        Nesting(const Nesting &) = delete;
        Nesting &operator=(const Nesting &) = delete;

    private:
        int &mDepth;
    };

    QByteArray value()
    {
        // 'T' (0x54) is no tag, so a signature here starts a component.
        if (mReader.nextIsSignature()) {
            mReader.readSignature();
            return typed("component", component());
        }
        const TValueType type = mReader.peekValueType();
        switch (type) {
        case vaList: {
            Nesting nesting(mDepth);
            mReader.readListBegin();
            QByteArrayList items;
            while (!mReader.endOfList())
                items << value();
            mReader.readListEnd();
            return typed("list", array(items));
        }
        case vaInt8:
        case vaInt16:
        case vaInt32: {
            const char *name = type == vaInt8 ? "int8" : type == vaInt16 ? "int16" : "int32";
            return typed(name, QByteArray::number(mReader.readInteger()));
        }
        case vaExtended:
            return typed("extended", jsonNumber(mReader.readFloat()));
        case vaString:
            return typed("string", jsonString(mReader.readString()));
        case vaLString:
            return typed("lstring", jsonString(mReader.readString()));
        case vaIdent:
            return typed("ident", jsonText(mReader.readIdent()));
        case vaFalse:
        case vaTrue:
        case vaNil:
            mReader.readValueType();
            return typed(type == vaFalse ? "false" : type == vaTrue ? "true" : "nil", "null");
        case vaBinary: {
            const QByteArray bytes = mReader.readBinary();
            return typed("binary", "{\"length\":" + QByteArray::number(bytes.size()) + ",\"base64\":\""
                                       + bytes.toBase64() + "\"}");
        }
        case vaSet: {
            mReader.readValueType();
            QByteArrayList names;
            for (QByteArray name = mReader.readShortName(); !name.isEmpty(); name = mReader.readShortName())
                names << jsonText(name);
            return typed("set", array(names));
        }
        case vaCollection: {
            Nesting nesting(mDepth);
            mReader.readValueType();
            QByteArrayList items;
            while (!mReader.endOfList()) {
                const TValueType t = mReader.peekValueType();
                if (t == vaInt8 || t == vaInt16 || t == vaInt32)
                    mReader.readInteger();  // an item index; the order says the same
                mReader.readListBegin();
                items << properties();
            }
            mReader.readListEnd();
            return typed("collection", array(items));
        }
        default:
            // An end-of-list tag where a value belongs, or no tag at all.
            throw EStreamError(QStringLiteral("Invalid property value"));
        }
    }

    // Property records up to and including the end-of-list tag.
    QByteArray properties()
    {
        QByteArrayList props;
        while (!mReader.endOfList()) {
            const QByteArray name = mReader.readShortName();
            props << "{\"name\":" + jsonText(name) + ",\"value\":" + value() + '}';
        }
        mReader.readListEnd();
        return array(props);
    }

    QByteArray component()
    {
        Nesting nesting(mDepth);
        int flags = 0;
        QByteArray position = "null";
        if (mReader.peekByte() >= 0xF0) {
            flags = mReader.readByte() & 0x0F;
            if (flags & 2)
                position = QByteArray::number(mReader.readInteger());
        }
        const QByteArray className = mReader.readShortName();
        const QByteArray name = mReader.readShortName();
        const QByteArray props = properties();
        QByteArrayList children;
        while (!mReader.endOfList())
            children << component();
        mReader.readListEnd();
        return "{\"class\":" + jsonText(className) + ",\"name\":" + jsonText(name)
            + ",\"flags\":" + QByteArray::number(flags) + ",\"position\":" + position
            + ",\"properties\":" + props + ",\"children\":" + array(children) + '}';
    }

    PropertyReader mReader;
    int mDepth = 0;
};

}  // namespace

int runInspect(const QStringList &args)
{
    if (args.size() != 1) {
        std::fputs("usage: qmtool inspect FILE\n", stderr);
        return 2;
    }
    QByteArray data;
    try {
        data = inputfile::Read(args.first(), inputfile::MaxStreamBytes);
    } catch (const inputfile::EInputFile &e) {
        std::fprintf(stderr, "%s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
    try {
        const QByteArray json = Inspector(data).topLevel();
        std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    } catch (const EStreamError &e) {
        std::fprintf(stderr, "%s: %s\n", args.first().toLocal8Bit().constData(),
                     e.describe().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
