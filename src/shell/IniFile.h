#pragma once
// TIniFile: a plain Windows-style INI file ([Section] and key=value lines)
// read and written by our own code.
//
// QSettings is no use for the preferences file: it percent-encodes keys with
// spaces ("Show Hints") and treats backslashes as escapes. Here sections and
// keys are matched without regard to case, a value is the text after the
// first "=" with surrounding blanks removed and nothing unescaped, and
// everything a person wrote into the file (comments after ";" or "#", blank
// lines, order, unknown sections and keys) survives a rewrite.
//
// The constructor reads the file once; Write..., DeleteKey and EraseSection
// change the copy in memory, and UpdateFile() writes it back atomically.
// Make one object per load or save so that it holds the file's current
// content.

#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

// Saving the file failed; the message names the file and the reason.
class EIniError : public std::runtime_error
{
public:
    explicit EIniError(const QString &message)
        : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

class TIniFile
{
public:
    // Files larger than this are not read (and so never overwritten).
    static constexpr qint64 MaxFileSize = 4 * 1024 * 1024;

    // fileName's directory is searched for a file of that name without
    // regard to case (QM.INI, qm.ini and Qm.Ini are the same file); when
    // there is none, the file is created under the given name on UpdateFile().
    explicit TIniFile(const QString &fileName);

    // The file actually used, after the case-insensitive lookup.
    QString FileName() const { return mFileName; }

    // Why an existing file could not be read; empty when it was read or
    // does not exist. A file that could not be read is not overwritten.
    QString LoadError() const { return mLoadError; }

    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // A value that is not a whole decimal number gives def.
    int ReadInteger(const QString &section, const QString &key, int def) const;
    // Any number other than 0 is true; a value that is not a number gives def.
    bool ReadBool(const QString &section, const QString &key, bool def) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    // Written as 1 or 0.
    void WriteBool(const QString &section, const QString &key, bool value);

    void DeleteKey(const QString &section, const QString &key);
    // Removes the section with every line in it.
    void EraseSection(const QString &section);

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    QStringList ReadSections() const;
    // The keys of section, in file order.
    QStringList ReadSection(const QString &section) const;
    // "key=value" for every key of section, in file order.
    QStringList ReadSectionValues(const QString &section) const;

    // The file's text as UpdateFile() writes it: CRLF line ends.
    QByteArray ToBytes() const;

    // Writes the file through a temporary file that replaces it only when
    // complete. Throws EIniError, leaving the old file untouched, when the
    // file cannot be written or when it existed but could not be read.
    void UpdateFile();

private:
    enum class LineKind { Other, Comment, Section, Key, ErasedSection };
    struct Line
    {
        QString text;
        LineKind kind = LineKind::Other;
        QString name;   // section or key name, blanks removed
    };

    void parse(const QByteArray &data);
    static Line makeLine(const QString &text);
    // Index of the key's line, or -1.
    int findKey(const QString &section, const QString &key) const;
    // Index of the first header of section (live or erased), or -1.
    int findHeader(const QString &section, bool includeErased) const;
    // Indexes of the key lines of section, first occurrence of each key.
    std::vector<int> sectionKeys(const QString &section) const;
    static QString valueOf(const Line &line);

    QString mFileName;
    QString mLoadError;
    bool mHadBom = false;
    std::vector<Line> mLines;
};
