#include "IniFile.h"

#include "storage/AppPaths.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A value or name must stay on its own line, or it would break the file.
QString oneLine(QString s)
{
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

} // namespace

TIniFile::TIniFile(const QString &fileName)
{
    const QFileInfo given(fileName);
    mFileName = AppPaths::FindFileNoCase(given.absolutePath(), given.fileName());

    const QFileInfo info(mFileName);
    if (!info.exists())
        return;
    if (info.isDir()) {
        mLoadError = QStringLiteral("it is a folder, not a file");
        return;
    }
    if (!info.isFile()) {
        // A device or pipe could block or never end.
        mLoadError = QStringLiteral("it is not a regular file");
        return;
    }
    if (info.size() > MaxFileSize) {
        mLoadError = QStringLiteral("the file is too large (%1 bytes) to be a preferences file")
                         .arg(info.size());
        return;
    }
    QFile file(mFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        mLoadError = file.errorString();
        return;
    }
    // Read at most one byte past the limit: a file can grow after the check.
    const QByteArray data = file.read(MaxFileSize + 1);
    if (data.size() > MaxFileSize) {
        mLoadError = QStringLiteral("the file is too large to be a preferences file");
        return;
    }
    if (file.error() != QFileDevice::NoError) {
        mLoadError = file.errorString();
        return;
    }
    parse(data);
}

void TIniFile::parse(const QByteArray &raw)
{
    QByteArray data = raw;
    if (data.startsWith(kBom)) {
        mHadBom = true;
        data.remove(0, kBom.size());
    }
    // Files written by older versions or edited elsewhere may not be UTF-8;
    // Latin-1 keeps every byte of those.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(data);
    if (utf8.hasError())
        text = QString::fromLatin1(data);

    QStringList lines = text.split(QLatin1Char('\n'));
    // A final line end does not start another line.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    mLines.reserve(lines.size());
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        mLines.push_back(makeLine(line));
    }
}

TIniFile::Line TIniFile::makeLine(const QString &text)
{
    Line line;
    line.text = text;
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'))) {
        line.kind = LineKind::Comment;
    } else if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = LineKind::Section;
            line.name = t.mid(1, close - 1).trimmed();
        }
    } else {
        const qsizetype eq = text.indexOf(QLatin1Char('='));
        if (eq > 0 && !text.left(eq).trimmed().isEmpty()) {
            line.kind = LineKind::Key;
            line.name = text.left(eq).trimmed();
        }
    }
    return line;
}

QString TIniFile::valueOf(const Line &line)
{
    return line.text.mid(line.text.indexOf(QLatin1Char('=')) + 1).trimmed();
}

int TIniFile::findKey(const QString &section, const QString &key) const
{
    bool inSection = false;
    for (size_t i = 0; i < mLines.size(); ++i) {
        const Line &line = mLines[i];
        if (line.kind == LineKind::Section || line.kind == LineKind::ErasedSection)
            inSection = line.kind == LineKind::Section && sameName(line.name, section);
        else if (inSection && line.kind == LineKind::Key && sameName(line.name, key))
            return int(i);
    }
    return -1;
}

int TIniFile::findHeader(const QString &section, bool includeErased) const
{
    for (size_t i = 0; i < mLines.size(); ++i) {
        const Line &line = mLines[i];
        if ((line.kind == LineKind::Section
             || (includeErased && line.kind == LineKind::ErasedSection))
            && sameName(line.name, section))
            return int(i);
    }
    return -1;
}

std::vector<int> TIniFile::sectionKeys(const QString &section) const
{
    std::vector<int> result;
    QStringList seen;
    bool inSection = false;
    for (size_t i = 0; i < mLines.size(); ++i) {
        const Line &line = mLines[i];
        if (line.kind == LineKind::Section || line.kind == LineKind::ErasedSection) {
            inSection = line.kind == LineKind::Section && sameName(line.name, section);
        } else if (inSection && line.kind == LineKind::Key
                   && !seen.contains(line.name, Qt::CaseInsensitive)) {
            seen << line.name;
            result.push_back(int(i));
        }
    }
    return result;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const int i = findKey(section, key);
    return i < 0 ? def : valueOf(mLines[i]);
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    const int i = findKey(section, key);
    if (i < 0)
        return def;
    bool ok = false;
    const int value = valueOf(mLines[i]).toInt(&ok, 10);
    return ok ? value : def;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString sec = oneLine(section).trimmed();
    const QString k = oneLine(key).trimmed();
    const QString v = oneLine(value);

    const int i = findKey(sec, k);
    if (i >= 0) {
        Line &line = mLines[i];
        // Keep the key as the file spells it, blanks before "=" included.
        line.text = line.text.left(line.text.indexOf(QLatin1Char('='))) + QLatin1Char('=') + v;
        return;
    }
    Line keyLine = makeLine(k + QLatin1Char('=') + v);

    int header = findHeader(sec, false);
    if (header < 0) {
        header = findHeader(sec, true);
        if (header >= 0) {
            // Refill an erased section where it stood, so that rewriting a
            // section does not move it to the end of the file.
            mLines[size_t(header)].kind = LineKind::Section;
        }
    }
    if (header >= 0) {
        size_t at = size_t(header) + 1;
        for (size_t j = at; j < mLines.size(); ++j) {
            const LineKind kind = mLines[j].kind;
            if (kind == LineKind::Section || kind == LineKind::ErasedSection)
                break;
            if (kind == LineKind::Key)
                at = j + 1;
        }
        mLines.insert(mLines.begin() + qsizetype(at), keyLine);
        return;
    }
    if (!mLines.empty() && !isBlank(mLines.back().text))
        mLines.push_back(makeLine(QString()));
    mLines.push_back(makeLine(QLatin1Char('[') + sec + QLatin1Char(']')));
    mLines.push_back(keyLine);
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::DeleteKey(const QString &section, const QString &key)
{
    // A key written twice in a file is removed with every copy.
    for (int i = findKey(section, key); i >= 0; i = findKey(section, key))
        mLines.erase(mLines.begin() + i);
}

void TIniFile::EraseSection(const QString &section)
{
    std::vector<Line> kept;
    kept.reserve(mLines.size());
    bool placeholderLeft = std::any_of(mLines.begin(), mLines.end(), [&](const Line &line) {
        return line.kind == LineKind::ErasedSection && sameName(line.name, section);
    });
    size_t i = 0;
    while (i < mLines.size()) {
        const Line &line = mLines[i];
        if (line.kind != LineKind::Section || !sameName(line.name, section)) {
            kept.push_back(line);
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < mLines.size() && mLines[end].kind != LineKind::Section
               && mLines[end].kind != LineKind::ErasedSection)
            ++end;
        // The blank lines that end the block separate it from the next one.
        size_t blanksFrom = end;
        while (blanksFrom > i + 1 && isBlank(mLines[blanksFrom - 1].text)
               && mLines[blanksFrom - 1].kind == LineKind::Other)
            --blanksFrom;
        if (!placeholderLeft) {
            Line placeholder = line;
            placeholder.kind = LineKind::ErasedSection;
            kept.push_back(placeholder);
            placeholderLeft = true;
        }
        for (size_t j = blanksFrom; j < end; ++j)
            kept.push_back(mLines[j]);
        i = end;
    }
    mLines = std::move(kept);
}

bool TIniFile::SectionExists(const QString &section) const
{
    return findHeader(section, false) >= 0;
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    return findKey(section, key) >= 0;
}

QStringList TIniFile::ReadSections() const
{
    QStringList result;
    for (const Line &line : mLines) {
        if (line.kind == LineKind::Section && !result.contains(line.name, Qt::CaseInsensitive))
            result << line.name;
    }
    return result;
}

QStringList TIniFile::ReadSection(const QString &section) const
{
    QStringList result;
    for (int i : sectionKeys(section))
        result << mLines[size_t(i)].name;
    return result;
}

QStringList TIniFile::ReadSectionValues(const QString &section) const
{
    QStringList result;
    for (int i : sectionKeys(section)) {
        const Line &line = mLines[size_t(i)];
        result << line.name + QLatin1Char('=') + valueOf(line);
    }
    return result;
}

QByteArray TIniFile::ToBytes() const
{
    QByteArray out;
    if (mHadBom)
        out += kBom;
    bool lastBlank = true;       // at the start nothing needs separating
    bool afterErased = false;
    for (const Line &line : mLines) {
        if (line.kind == LineKind::ErasedSection) {
            afterErased = true;
            continue;
        }
        const bool blank = isBlank(line.text) && line.kind == LineKind::Other;
        // An erased section leaves its separating blank lines behind; drop
        // them where they would double a blank line already written.
        if (afterErased && blank && lastBlank)
            continue;
        afterErased = false;
        out += line.text.toUtf8();
        out += "\r\n";
        lastBlank = blank;
    }
    return out;
}

void TIniFile::UpdateFile()
{
    if (!mLoadError.isEmpty())
        throw EIniError(QStringLiteral("%1 was not saved, because it could not be read: %2")
                            .arg(mFileName, mLoadError));
    QSaveFile file(mFileName);
    const QByteArray data = ToBytes();
    // Unbuffered, so that a short write (disk full) shows in write()'s
    // result: commit() does not notice a failure of its final flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw EIniError(QStringLiteral("%1 could not be saved: %2").arg(mFileName, file.errorString()));
    const qint64 written = file.write(data);
    if (written != data.size()) {
        const QString reason = written < 0
            ? file.errorString()
            : QStringLiteral("only %1 of %2 bytes could be written; the disk may be full")
                  .arg(written).arg(data.size());
        throw EIniError(QStringLiteral("%1 could not be saved: %2").arg(mFileName, reason));
    }
    if (!file.commit())
        throw EIniError(QStringLiteral("%1 could not be saved: %2").arg(mFileName, file.errorString()));
}
