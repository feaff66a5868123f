#include "MergeSource.h"

#include "Stream.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

constexpr qint64 ChunkSize = 64 * 1024;

QString fileLabel(const QString &fileName)
{
    return QFileInfo(fileName).fileName();
}

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

}  // namespace

// RFC 4180 records from a byte stream, one chunk in memory at a time: fields
// split at the delimiter, records at CR LF (or a lone LF or CR), quoted fields
// with doubled quotes and embedded delimiters and line breaks. Empty lines
// are skipped. Bytes are kept as read; decoding is the source's business.
class TMergeSource::Parser
{
public:
    Parser(QIODevice &device, char delimiter, const QString &file)
        : mDevice(device), mDelimiter(delimiter), mFile(file) {}

    // The line the record last returned began on, from 1.
    qint64 RecordLine() const { return mRecordLine; }

    bool Next(QList<QByteArray> &fields)
    {
        fields.clear();
        for (;;) {
            int c = get();
            if (c < 0)
                return false;
            if (c == '\r' || c == '\n') {
                endOfLine(c);
                continue;
            }
            unget();
            break;
        }
        mRecordLine = mLine;
        QByteArray field;
        bool inQuotes = false, fieldStart = true;
        for (;;) {
            const int c = get();
            if (inQuotes) {
                if (c < 0)
                    fail(QStringLiteral("a quoted field beginning on line %1 has no closing quote")
                             .arg(mQuoteLine));
                if (c == '"') {
                    if (peek() == '"') {
                        get();
                        append(field, '"');
                    } else {
                        inQuotes = false;
                    }
                    continue;
                }
                if (c == '\n' || (c == '\r' && peek() != '\n'))
                    ++mLine;
                append(field, char(c));
                continue;
            }
            if (c < 0 || c == '\r' || c == '\n' || c == mDelimiter) {
                addField(fields, field);
                if (c == mDelimiter) {
                    fieldStart = true;
                    continue;
                }
                if (c >= 0)
                    endOfLine(c);
                return true;
            }
            if (c == '"' && fieldStart) {
                inQuotes = true;
                mQuoteLine = mLine;
                fieldStart = false;
                continue;
            }
            // Text after a closing quote, or a quote inside an unquoted
            // field, is kept as it stands, as spreadsheets read it.
            fieldStart = false;
            append(field, char(c));
        }
    }

private:
    [[noreturn]] void fail(const QString &why) const
    {
        throw EMergeError(QStringLiteral("%1: %2.").arg(fileLabel(mFile), why));
    }

    void addField(QList<QByteArray> &fields, QByteArray &field)
    {
        if (fields.size() >= MaxFields)
            fail(QStringLiteral("the record on line %1 has more than %2 fields")
                     .arg(mRecordLine).arg(MaxFields));
        fields.append(field);
        field.clear();
    }

    void append(QByteArray &field, char c)
    {
        if (field.size() >= MaxFieldBytes)
            fail(QStringLiteral("a field of the record on line %1 is longer than %2 bytes")
                     .arg(mRecordLine).arg(MaxFieldBytes));
        field.append(c);
    }

    void endOfLine(int c)
    {
        if (c == '\r' && peek() == '\n')
            get();
        ++mLine;
    }

    bool fill()
    {
        if (mPos < mBuffer.size())
            return true;
        mBuffer = mDevice.read(ChunkSize);
        mPos = 0;
        if (mBuffer.isEmpty() && mDevice.bytesAvailable() <= 0 && !mDevice.atEnd())
            fail(QStringLiteral("cannot read the file: %1").arg(mDevice.errorString()));
        return !mBuffer.isEmpty();
    }

    int get()
    {
        if (!fill())
            return -1;
        const char c = mBuffer.at(mPos++);
        if (c == '\0')
            fail(QStringLiteral("line %1 holds a zero byte: this is not a text file").arg(mLine));
        return static_cast<unsigned char>(c);
    }
    int peek()
    {
        if (!fill())
            return -1;
        return static_cast<unsigned char>(mBuffer.at(mPos));
    }
    void unget() { --mPos; }

    QIODevice &mDevice;
    const char mDelimiter;
    const QString mFile;
    QByteArray mBuffer;
    qsizetype mPos = 0;
    qint64 mLine = 1, mRecordLine = 1, mQuoteLine = 1;
};

TMergeFields::TMergeFields(const QStringList &names) : mNames(names)
{
    // The first of equal names wins.
    for (int i = int(names.size()) - 1; i >= 0; --i) {
        mExact.insert(names.at(i), i);
        mFolded.insert(names.at(i).toCaseFolded(), i);
    }
}

int TMergeFields::IndexOf(const QString &name) const
{
    if (const auto it = mExact.constFind(name); it != mExact.constEnd())
        return it.value();
    if (const auto it = mFolded.constFind(name.toCaseFolded()); it != mFolded.constEnd())
        return it.value();
    bool ok = false;
    const int n = name.toInt(&ok);
    if (ok && n >= 1 && n <= mNames.size() && !name.startsWith(u'+') && !name.startsWith(u'0'))
        return n - 1;
    return -1;
}

bool TMergeRecord::Value(const QString &name, QString *value) const
{
    if (!Fields)
        return false;
    const int i = Fields->IndexOf(name);
    if (i < 0)
        return false;
    *value = i < Values.size() ? Values.at(i) : QString();
    return true;
}

bool HasFields(const QString &text)
{
    const qsizetype open = text.indexOf(QLatin1String("${"));
    return open >= 0 && text.indexOf(u'}', open + 2) >= 0;
}

QString ExpandFields(const QString &text, const TMergeRecord &record)
{
    if (record.IsEmpty() || !HasFields(text))
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(QLatin1String("${"), pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'}', open + 2);
        if (close < 0) {
            out.append(QStringView(text).mid(pos));
            break;
        }
        out.append(QStringView(text).mid(pos, open - pos));
        const QString inner = text.mid(open + 2, close - open - 2);
        const qsizetype mark = inner.indexOf(QLatin1String(":="));
        const QString name = mark < 0 ? inner : inner.left(mark);
        QString value;
        if (record.Value(name.trimmed(), &value)) {
            if (value.isEmpty() && mark >= 0)
                value = inner.mid(mark + 2);
            out.append(value);
        } else {
            out.append(QStringView(text).mid(open, close - open + 1));
        }
        pos = close + 1;
    }
    return out;
}

TMergeSource::TMergeSource(const QString &fileName, const TMergeOptions &options)
    : mFileName(fileName), mOptions(options)
{
}

TMergeSource::~TMergeSource() = default;

QString TMergeSource::decode(const QByteArray &bytes) const
{
    if (mEncoding == meWindows1252)
        return streamcodec::fromCp1252(bytes);
    return QString::fromUtf8(bytes);
}

QStringList TMergeSource::decodeAll(const QList<QByteArray> &fields) const
{
    QStringList out;
    out.reserve(fields.size());
    for (const QByteArray &f : fields)
        out.append(decode(f));
    return out;
}

void TMergeSource::check(const QList<QByteArray> &fields, qint64 line) const
{
    if (fields.size() == mFields->Names().size())
        return;
    throw EMergeError(QStringLiteral("%1: the record on line %2 has %3 fields where %4 has %5.")
                          .arg(fileLabel(mFileName))
                          .arg(line)
                          .arg(fields.size())
                          .arg(mOptions.Header ? QStringLiteral("the header")
                                               : QStringLiteral("the first record"))
                          .arg(mFields->Names().size()));
}

// Opens the file and places the parser behind the byte order mark.
void TMergeSource::startParser()
{
    mParser.reset();
    auto file = std::make_unique<QFile>(mFileName);
    if (!file->open(QIODevice::ReadOnly)) {
        throw EMergeError(QStringLiteral("Cannot open the data file %1: %2.")
                              .arg(mFileName, file->errorString()));
    }
    const QByteArray head = file->peek(4);
    if (head.startsWith("\xEF\xBB\xBF"))
        file->read(3);
    mFile = std::move(file);
    const char delimiter = mDelimiter == mdTab ? '\t' : mDelimiter == mdSemicolon ? ';' : ',';
    mParser = std::make_unique<Parser>(*mFile, delimiter, mFileName);
}

void TMergeSource::Open()
{
    const QString label = fileLabel(mFileName);
    if (!QFileInfo::exists(mFileName))
        throw EMergeError(QStringLiteral("The data file %1 does not exist.").arg(mFileName));
    QFile probe(mFileName);
    if (!probe.open(QIODevice::ReadOnly))
        throw EMergeError(QStringLiteral("Cannot open the data file %1: %2.")
                              .arg(mFileName, probe.errorString()));
    const QByteArray head = probe.read(ChunkSize);
    const bool bom = head.startsWith("\xEF\xBB\xBF");
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")
        || head.startsWith(QByteArray("\0\0\xFE\xFF", 4))) {
        throw EMergeError(QStringLiteral("%1 is UTF-16 or UTF-32 text; save it as UTF-8 or "
                                         "Windows-1252 text.").arg(label));
    }

    mDelimiter = mOptions.Delimiter;
    if (mDelimiter == mdAuto) {
        const QString suffix = QFileInfo(mFileName).suffix().toLower();
        if (suffix == u"tsv" || suffix == u"tab") {
            mDelimiter = mdTab;
        } else {
            // The first line, quoted text left out.
            int commas = 0, semicolons = 0, tabs = 0;
            bool quoted = false;
            for (qsizetype i = bom ? 3 : 0; i < head.size(); ++i) {
                const char c = head.at(i);
                if (c == '"')
                    quoted = !quoted;
                else if (!quoted && (c == '\n' || c == '\r'))
                    break;
                else if (!quoted)
                    commas += c == ',', semicolons += c == ';', tabs += c == '\t';
            }
            mDelimiter = mdComma;
            if (semicolons > commas && semicolons >= tabs)
                mDelimiter = mdSemicolon;
            else if (tabs > commas && tabs > semicolons)
                mDelimiter = mdTab;
        }
    }
    mEncoding = mOptions.Encoding == meAuto ? meUtf8 : mOptions.Encoding;
    const bool detect = mOptions.Encoding == meAuto && !bom;
    probe.close();

    // One pass over every record: the encoding is known only once every
    // byte has been seen, and a damaged record fails now rather than half
    // way through a print run.
    startParser();
    QList<QByteArray> fields;
    QList<QByteArray> first;
    bool haveFirst = false;
    qint64 count = 0;
    bool utf8 = true;
    std::shared_ptr<TMergeFields> names;
    while (mParser->Next(fields)) {
        if (utf8 && mEncoding != meWindows1252) {
            for (const QByteArray &f : fields) {
                if (!isUtf8(f)) {
                    if (!detect) {
                        throw EMergeError(QStringLiteral("%1: the record on line %2 is not UTF-8 "
                                                         "text.").arg(label).arg(mParser->RecordLine()));
                    }
                    utf8 = false;
                    break;
                }
            }
        }
        if (!haveFirst) {
            first = fields;
            haveFirst = true;
            QStringList n;
            for (int i = 0; i < fields.size(); ++i)
                n.append(QString::number(i + 1));
            mFields = std::make_shared<TMergeFields>(n);
            if (!mOptions.Header)
                ++count;
            continue;
        }
        check(fields, mParser->RecordLine());
        ++count;
    }
    if (!utf8)
        mEncoding = meWindows1252;
    if (!haveFirst)
        mFields = std::make_shared<TMergeFields>(QStringList());
    else if (mOptions.Header) {
        QStringList names = decodeAll(first);
        for (QString &n : names)
            n = n.trimmed();
        mFields = std::make_shared<TMergeFields>(names);
    }
    mRecordCount = count;
    Rewind();
}

void TMergeSource::Rewind()
{
    startParser();
    mNextNumber = 1;
    if (mOptions.Header) {
        QList<QByteArray> header;
        mParser->Next(header);
    }
}

bool TMergeSource::Next(TMergeRecord &record)
{
    if (!mParser || !mFields)
        return false;
    QList<QByteArray> fields;
    if (!mParser->Next(fields))
        return false;
    check(fields, mParser->RecordLine());
    record.Fields = mFields;
    record.Values = decodeAll(fields);
    record.Number = mNextNumber++;
    return true;
}

TMergeRecord TMergeSource::FirstRecord(const QString &fileName, const TMergeOptions &options)
{
    TMergeSource source(fileName, options);
    source.Open();
    TMergeRecord record;
    source.Next(record);
    return record;
}
