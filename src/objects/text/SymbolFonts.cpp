#include "SymbolFonts.h"

#include "storage/Stream.h"

#include <QFile>
#include <QFontDatabase>
#include <QHash>
#include <QStringList>

#include <array>
#include <iterator>
#include <mutex>

namespace symbolfonts {

namespace {

struct Table
{
    std::array<char32_t, 256> unicode {};
    std::array<QString, 256> names;
};

const char *const TableFiles[][2] = {
    {"wingdings", "wingdings.tsv"},
    {"wingdings 2", "wingdings2.tsv"},
    {"wingdings 3", "wingdings3.tsv"},
    {"webdings", "webdings.tsv"},
    {"symbol", "symbol.tsv"},
};

// Rows: code, hex, unicode ("U+XXXX" or empty), name, source.
Table loadTable(const QString &fileName)
{
    Table t;
    QFile f(QStringLiteral(":/symbol-fonts/") + fileName);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("symbol font table %s is missing from the resources", qPrintable(fileName));
    f.readLine();
    while (!f.atEnd()) {
        const QStringList cols = QString::fromUtf8(f.readLine()).trimmed().split(QLatin1Char('\t'));
        if (cols.size() < 4)
            continue;
        bool ok = false;
        const int code = cols[0].toInt(&ok);
        if (!ok || code < 0 || code > 255)
            continue;
        if (cols[2].startsWith(QLatin1String("U+")))
            t.unicode[size_t(code)] = char32_t(cols[2].mid(2).toUInt(&ok, 16));
        t.names[size_t(code)] = cols[3];
    }
    return t;
}

// Each table is read the first time its font is drawn: telling a symbol
// font by its name needs none, and most labels use no symbol font at all.
const Table *tableFor(const QString &fontName)
{
    constexpr size_t Count = std::size(TableFiles);
    static std::array<std::once_flag, Count> read;
    static std::array<Table, Count> tables;
    const QString key = fontName.trimmed();
    for (size_t i = 0; i < Count; ++i) {
        if (key.compare(QLatin1String(TableFiles[i][0]), Qt::CaseInsensitive) != 0)
            continue;
        std::call_once(read[i], [i] { tables[i] = loadTable(QString::fromLatin1(TableFiles[i][1])); });
        return &tables[i];
    }
    return nullptr;
}

// Blocks whose characters have, or may gain, an emoji presentation; a
// text-presentation selector after them keeps colour fonts away.
bool mayBeEmoji(char32_t u)
{
    return (u >= 0x2190 && u <= 0x21FF) || (u >= 0x2300 && u <= 0x23FF) || (u >= 0x2460 && u <= 0x27BF)
        || (u >= 0x2900 && u <= 0x297F) || (u >= 0x2B00 && u <= 0x2BFF) || u == 0x3030 || u == 0x303D
        || u == 0x3297 || u == 0x3299 || u == 0x00A9 || u == 0x00AE || u == 0x2122 || u == 0x2139
        || u >= 0x1F000;
}

}  // namespace

QString FallbackFamily()
{
    return QStringLiteral("Symbola");
}

bool IsSymbolFont(const QString &fontName)
{
    return tableFor(fontName) != nullptr;
}

bool IsInstalled(const QString &fontName)
{
    static QHash<QString, bool> cache;
    const QString key = fontName.trimmed().toLower();
    const auto it = cache.constFind(key);
    if (it != cache.cend())
        return *it;
    bool found = false;
    for (const QString &family : QFontDatabase::families())
        if (family.compare(key, Qt::CaseInsensitive) == 0) {
            found = true;
            break;
        }
    cache.insert(key, found);
    return found;
}

bool IsMapped(const QString &fontName)
{
    return IsSymbolFont(fontName) && !IsInstalled(fontName);
}

char32_t ToUnicode(const QString &fontName, int code)
{
    const Table *t = tableFor(fontName);
    if (!t || code < 0 || code > 255)
        return 0;
    return t->unicode[size_t(code)];
}

QString CharacterName(const QString &fontName, int code)
{
    const Table *t = tableFor(fontName);
    if (!t || code < 0 || code > 255)
        return QString();
    return t->names[size_t(code)];
}

int CodeOf(QChar c)
{
    return uchar(streamcodec::toCp1252(QString(c)).at(0));
}

QChar CharOf(int code)
{
    return streamcodec::fromCp1252(QByteArray(1, char(code))).at(0);
}

QString DisplayText(const QString &fontName, const QString &text)
{
    if (!IsSymbolFont(fontName))
        return text;
    if (IsInstalled(fontName)) {
        // The font itself addresses its glyphs by byte; Qt reaches them
        // through the code as a Latin-1 character.
        QString out(text.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            out[i] = QChar(CodeOf(text.at(i)));
        return out;
    }
    QString out;
    out.reserve(text.size() * 3);
    for (QChar c : text) {
        const int code = CodeOf(c);
        if (code < 32) {
            out.append(c);
            continue;
        }
        const char32_t u = ToUnicode(fontName, code);
        if (u == 0) {
            out.append(QLatin1Char(' '));
            continue;
        }
        out.append(QString::fromUcs4(&u, 1));
        if (mayBeEmoji(u))
            out.append(QChar(0xFE0E));
    }
    return out;
}

}  // namespace symbolfonts
