#include "richtext/RtfWriter.h"

#include "richtext/RtfPicture.h"
#include "richtext/RtfReader.h"
#include "storage/Stream.h"

#include <QTextBlock>
#include <QTextDocument>

#include <QHash>

#include <charconv>
#include <cmath>

namespace rtf {

namespace {

QString familyOf(const QTextCharFormat &f, const QTextDocument &doc)
{
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return doc.defaultFont().family();
}

QByteArray familyWord(QFont::StyleHint hint)
{
    switch (hint) {
    case QFont::Serif: return "\\froman";
    case QFont::SansSerif: return "\\fswiss";
    case QFont::TypeWriter: return "\\fmodern";
    case QFont::Cursive: return "\\fscript";
    case QFont::Decorative: return "\\fdecor";
    default: return "\\fnil";
    }
}

void appendNumber(QByteArray &out, qint64 n)
{
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, n);
    out.append(buffer, end - buffer);
}

// The Windows-1252 byte of a character above 0x7F, or 0 when it has none.
uchar cp1252Byte(char16_t u)
{
    static const QHash<char16_t, uchar> bytes = [] {
        QHash<char16_t, uchar> h;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QString s = streamcodec::fromCp1252(QByteArray(1, char(b)));
            if (s.size() == 1 && s[0] != QChar(0xFFFD) && streamcodec::toCp1252(s) == QByteArray(1, char(b)))
                h.insert(s[0].unicode(), uchar(b));
        }
        return h;
    }();
    return bytes.value(u, 0);
}

// Text escaped for RTF: Windows-1252 where it maps, \uN? beyond.
void appendText(QByteArray &out, const QString &text)
{
    static const char hexDigits[] = "0123456789abcdef";
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u >= 0x20 && u < 0x7F && u != '\\' && u != '{' && u != '}') {
            out.append(char(u));
            continue;
        }
        switch (u) {
        case '\\': out.append("\\\\"); continue;
        case '{': out.append("\\{"); continue;
        case '}': out.append("\\}"); continue;
        case '\t': out.append("\\tab "); continue;
        case 0x2028: out.append("\\line "); continue;
        case 0x00A0: out.append("\\~"); continue;
        case 0x00AD: out.append("\\-"); continue;
        case 0x2011: out.append("\\_"); continue;
        default: break;
        }
        if (u < 0x20 || u == QChar::ParagraphSeparator || u == QChar::ObjectReplacementCharacter)
            continue;
        if (const uchar b = u >= 0x80 ? cp1252Byte(u) : 0) {
            const char escaped[] = {'\\', '\'', hexDigits[b >> 4], hexDigits[b & 15]};
            out.append(escaped, 4);
        } else {
            out.append("\\u");
            appendNumber(out, qint16(u));
            out.append('?');
        }
    }
}

int fontSizeHalfPoints(const QTextCharFormat &f, const QTextDocument &doc)
{
    double pt = f.fontPointSize();
    if (pt <= 0)
        pt = doc.defaultFont().pointSizeF();
    if (pt <= 0)
        pt = 12;
    return int(std::lround(pt * 2));
}

}  // namespace

QByteArray Write(const QTextDocument &doc)
{
    // The tables first: every font and colour the document uses.
    QStringList fonts;
    QList<QFont::StyleHint> hints;
    QList<QRgb> colors;
    auto fontIndex = [&](const QTextCharFormat &f) {
        const QString family = familyOf(f, doc);
        qsizetype i = fonts.indexOf(family);
        if (i < 0) {
            fonts.append(family);
            hints.append(f.fontStyleHint());
            i = fonts.size() - 1;
        }
        return int(i);
    };
    auto colorIndex = [&](const QColor &c) {
        const QRgb rgb = c.rgb() & 0xFFFFFF;
        qsizetype i = colors.indexOf(rgb);
        if (i < 0) {
            colors.append(rgb);
            i = colors.size() - 1;
        }
        return int(i) + 1;  // entry 0 is the automatic colour
    };

    // What a format writes, made once per format of the document (by its
    // index in the document's format table).
    QHash<int, QByteArray> paragraphWords, markWords, runWords;
    auto paragraph = [&](const QTextBlock &block) -> const QByteArray & {
        auto it = paragraphWords.find(block.blockFormatIndex());
        if (it != paragraphWords.end())
            return *it;
        const QTextBlockFormat bf = block.blockFormat();
        QByteArray words = "\\pard";
        const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignHCenter) words.append("\\qc");
        else if (a & Qt::AlignJustify) words.append("\\qj");
        else if (a & Qt::AlignRight) words.append("\\qr");
        else words.append("\\ql");
        auto twips = [&words](const char *word, double units) {
            const int t = UnitsToTwips(units);
            if (t != 0) {
                words.append('\\').append(word);
                appendNumber(words, t);
            }
        };
        twips("li", bf.leftMargin());
        twips("ri", bf.rightMargin());
        twips("fi", bf.textIndent());
        twips("sb", bf.topMargin());
        twips("sa", bf.bottomMargin());
        switch (bf.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            if (bf.lineHeight() != 100) {
                words.append("\\sl");
                appendNumber(words, std::lround(bf.lineHeight() * 2.4));
                words.append("\\slmult1");
            }
            break;
        case QTextBlockFormat::FixedHeight:
            words.append("\\sl-");
            appendNumber(words, UnitsToTwips(bf.lineHeight()));
            words.append("\\slmult0");
            break;
        case QTextBlockFormat::MinimumHeight:
            words.append("\\sl");
            appendNumber(words, UnitsToTwips(bf.lineHeight()));
            words.append("\\slmult0");
            break;
        default: break;
        }
        return *paragraphWords.insert(block.blockFormatIndex(), words);
    };
    auto mark = [&](int index, const QTextCharFormat &f) -> const QByteArray & {
        auto it = markWords.find(index);
        if (it != markWords.end())
            return *it;
        QByteArray words = "\\plain\\f";
        appendNumber(words, fontIndex(f));
        words.append("\\fs");
        appendNumber(words, fontSizeHalfPoints(f, doc));
        words.append(' ');
        return *markWords.insert(index, words);
    };
    // Empty for a picture.
    auto run = [&](const QTextFragment &frag) -> const QByteArray & {
        const int index = frag.charFormatIndex();
        auto it = runWords.find(index);
        if (it != runWords.end())
            return *it;
        const QTextCharFormat f = frag.charFormat();
        QByteArray words;
        if (!f.isImageFormat()) {
            words = "{\\f";
            appendNumber(words, fontIndex(f));
            words.append("\\fs");
            appendNumber(words, fontSizeHalfPoints(f, doc));
            if (f.fontWeight() >= QFont::DemiBold) words.append("\\b");
            if (f.fontItalic()) words.append("\\i");
            if (f.fontUnderline()) words.append("\\ul");
            if (f.fontStrikeOut()) words.append("\\strike");
            if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) words.append("\\sub");
            else if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) words.append("\\super");
            if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush) {
                words.append("\\cf");
                appendNumber(words, colorIndex(f.foreground().color()));
            }
            if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush) {
                words.append("\\highlight");
                appendNumber(words, colorIndex(f.background().color()));
            }
            words.append(' ');
        }
        return *runWords.insert(index, words);
    };

    QByteArray body;
    body.reserve(qsizetype(doc.characterCount()) * 3 / 2 + 256);
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        body.append(paragraph(block));
        // The paragraph mark carries the block's own character format, so
        // an empty paragraph keeps its height.
        const QTextCharFormat blockMark = block.charFormat();
        if (blockMark.hasProperty(QTextFormat::FontPointSize)) {
            body.append(mark(block.charFormatIndex(), blockMark));
        } else {
            auto it = block.begin();
            while (!it.atEnd() && it.fragment().charFormat().isImageFormat())
                ++it;
            if (it.atEnd())
                body.append(mark(block.charFormatIndex(), blockMark));
            else
                body.append(mark(it.fragment().charFormatIndex(), it.fragment().charFormat()));
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid())
                continue;
            const QByteArray &words = run(frag);
            if (words.isEmpty()) {
                const QByteArray picture = WritePicture(doc, frag.charFormat());
                for (QChar c : frag.text())
                    if (c == QChar::ObjectReplacementCharacter)
                        body.append(picture);
                continue;
            }
            body.append(words);
            appendText(body, frag.text());
            body.append('}');
        }
        body.append("\\par\r\n");
    }

    if (fonts.isEmpty())
        fontIndex(QTextCharFormat());
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
    for (qsizetype i = 0; i < fonts.size(); ++i) {
        out.append("{\\f");
        appendNumber(out, i);
        out.append(familyWord(hints.at(i)) + "\\fcharset0 ");
        appendText(out, fonts.at(i));
        out.append(";}");
    }
    out.append("}\r\n{\\colortbl ;");
    for (QRgb c : colors)
        out.append("\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue"
                   + QByteArray::number(qBlue(c)) + ';');
    out.append("}\r\n");
    out.reserve(out.size() + body.size() + 8);
    out.append(body);
    out.append("}\r\n");
    return out;
}

}  // namespace rtf
