#pragma once
// TMergeSource: the address list of a mail merge, read record by record from
// a CSV, TSV or semicolon-separated text file; TMergeRecord, one record, and
// ExpandFields, which puts a record's values into a text's ${Name} fields.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>

class QIODevice;

enum TMergeDelimiter { mdAuto, mdComma, mdTab, mdSemicolon };
enum TMergeEncoding { meAuto, meUtf8, meWindows1252 };

// How a data file is read. Auto delimiter: tab for .tsv and .tab files,
// otherwise the most frequent of comma, semicolon and tab on the first line.
// Auto encoding: UTF-8 when the bytes are UTF-8 (with or without a byte
// order mark), Windows-1252 otherwise.
struct TMergeOptions
{
    TMergeDelimiter Delimiter = mdAuto;
    TMergeEncoding Encoding = meAuto;
    // The first record names the fields; without it they are 1, 2, 3 ...
    bool Header = true;
};

// A data file that cannot be used; the message says which file, where and why.
class EMergeError : public std::runtime_error
{
public:
    explicit EMergeError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The field names of a data source, shared by all its records.
class TMergeFields
{
public:
    explicit TMergeFields(const QStringList &names);
    const QStringList &Names() const { return mNames; }
    // The field's index: its name (exactly, else ignoring case), or its
    // number from 1; -1 when there is none.
    int IndexOf(const QString &name) const;

private:
    QStringList mNames;
    QHash<QString, int> mExact, mFolded;
};

// One record of a data source; an empty record (no fields) expands nothing.
struct TMergeRecord
{
    std::shared_ptr<const TMergeFields> Fields;
    QStringList Values;
    // The record's number in the source, from 1 (the header is not counted).
    qint64 Number = 0;

    bool IsEmpty() const { return !Fields; }
    // The named field's value; false when the record has no such field.
    bool Value(const QString &name, QString *value) const;
};

// The text with every ${Name} replaced by the record's value and every
// ${Name:=default} by the value, or the default when the value is empty.
// A field the record does not have stays as written, so that a misspelt
// name shows on the label; an empty record leaves the text as it is.
QString ExpandFields(const QString &text, const TMergeRecord &record);
// True when the text holds at least one ${...} field.
bool HasFields(const QString &text);

class TMergeSource
{
public:
    // Longest field and most fields of one record; a data file beyond them
    // is refused as damaged rather than read into memory.
    static constexpr qint64 MaxFieldBytes = 64 * 1024;
    static constexpr int MaxFields = 1000;

    // fileName: the data file. `Open` must succeed before records are read.
    TMergeSource(const QString &fileName, const TMergeOptions &options = {});
    ~TMergeSource();
    TMergeSource(const TMergeSource &) = delete;
    TMergeSource &operator=(const TMergeSource &) = delete;

    // Reads the whole file once, record by record (memory stays bounded by
    // the longest record): settles delimiter and encoding, reads the field
    // names and counts the records, and checks every record, so a damaged
    // file fails here, before anything is printed. Throws EMergeError.
    void Open();

    QString FileName() const { return mFileName; }
    TMergeDelimiter Delimiter() const { return mDelimiter; }
    TMergeEncoding Encoding() const { return mEncoding; }
    const std::shared_ptr<const TMergeFields> &Fields() const { return mFields; }
    qint64 RecordCount() const { return mRecordCount; }

    // Back to the first record.
    void Rewind();
    // The next record; false after the last. Throws EMergeError when the
    // file changed since Open and no longer reads.
    bool Next(TMergeRecord &record);
    // The first record alone (an empty record when there is none); opens
    // the source. Throws EMergeError.
    static TMergeRecord FirstRecord(const QString &fileName, const TMergeOptions &options);

private:
    class Parser;
    QString decode(const QByteArray &bytes) const;
    QStringList decodeAll(const QList<QByteArray> &fields) const;
    void check(const QList<QByteArray> &fields, qint64 line) const;
    void startParser();

    QString mFileName;
    TMergeOptions mOptions;
    TMergeDelimiter mDelimiter = mdComma;
    TMergeEncoding mEncoding = meUtf8;
    std::shared_ptr<const TMergeFields> mFields;
    qint64 mRecordCount = 0;
    qint64 mNextNumber = 1;
    std::unique_ptr<QIODevice> mFile;
    std::unique_ptr<Parser> mParser;
};
