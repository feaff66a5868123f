#include "richtext/RtfWriter.h"

#include "richtext/RtfPicture.h"
#include "richtext/RtfReader.h"
#include "storage/Stream.h"

#include <QTextBlock>
#include <QTextDocument>

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

// Text escaped for RTF: Windows-1252 where it maps, \uN? beyond.
void appendText(QByteArray &out, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
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
        if (u >= 0x20 && u < 0x7F) {
            out.append(char(u));
            continue;
        }
        if (u < 0x20 || u == QChar::ParagraphSeparator || u == QChar::ObjectReplacementCharacter)
            continue;
        const QByteArray b = streamcodec::toCp1252(QString(c));
        if (b.size() == 1 && b[0] != '?') {
            out.append("\\'");
            out.append(QByteArray(1, b[0]).toHex());
        } else {
            out.append("\\u" + QByteArray::number(qint16(u)) + '?');
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

    QByteArray body;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat bf = block.blockFormat();
        body.append("\\pard");
        const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignHCenter) body.append("\\qc");
        else if (a & Qt::AlignJustify) body.append("\\qj");
        else if (a & Qt::AlignRight) body.append("\\qr");
        else body.append("\\ql");
        auto twips = [&body](const char *word, double units) {
            const int t = UnitsToTwips(units);
            if (t != 0)
                body.append(QByteArray("\\") + word + QByteArray::number(t));
        };
        twips("li", bf.leftMargin());
        twips("ri", bf.rightMargin());
        twips("fi", bf.textIndent());
        twips("sb", bf.topMargin());
        twips("sa", bf.bottomMargin());
        switch (bf.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            if (bf.lineHeight() != 100)
                body.append("\\sl" + QByteArray::number(std::lround(bf.lineHeight() * 2.4)) + "\\slmult1");
            break;
        case QTextBlockFormat::FixedHeight:
            body.append("\\sl-" + QByteArray::number(UnitsToTwips(bf.lineHeight())) + "\\slmult0");
            break;
        case QTextBlockFormat::MinimumHeight:
            body.append("\\sl" + QByteArray::number(UnitsToTwips(bf.lineHeight())) + "\\slmult0");
            break;
        default: break;
        }
        // The paragraph mark carries the block's own character format, so
        // an empty paragraph keeps its height.
        QTextCharFormat mark = block.charFormat();
        if (!mark.hasProperty(QTextFormat::FontPointSize))
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (!it.fragment().charFormat().isImageFormat()) {
                    mark = it.fragment().charFormat();
                    break;
                }
        body.append("\\plain\\f" + QByteArray::number(fontIndex(mark)) + "\\fs"
                    + QByteArray::number(fontSizeHalfPoints(mark, doc)) + ' ');
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid())
                continue;
            const QTextCharFormat f = frag.charFormat();
            if (f.isImageFormat()) {
                const QByteArray picture = WritePicture(doc, f);
                for (QChar c : frag.text())
                    if (c == QChar::ObjectReplacementCharacter)
                        body.append(picture);
                continue;
            }
            QByteArray run = "{\\f" + QByteArray::number(fontIndex(f)) + "\\fs"
                + QByteArray::number(fontSizeHalfPoints(f, doc));
            if (f.fontWeight() >= QFont::DemiBold) run.append("\\b");
            if (f.fontItalic()) run.append("\\i");
            if (f.fontUnderline()) run.append("\\ul");
            if (f.fontStrikeOut()) run.append("\\strike");
            if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) run.append("\\sub");
            else if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) run.append("\\super");
            if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
                run.append("\\cf" + QByteArray::number(colorIndex(f.foreground().color())));
            if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
                run.append("\\highlight" + QByteArray::number(colorIndex(f.background().color())));
            run.append(' ');
            appendText(run, frag.text());
            run.append('}');
            body.append(run);
        }
        body.append("\\par\r\n");
    }

    if (fonts.isEmpty())
        fontIndex(QTextCharFormat());
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
    for (qsizetype i = 0; i < fonts.size(); ++i) {
        out.append("{\\f" + QByteArray::number(i) + familyWord(hints.at(i)) + "\\fcharset0 ");
        QByteArray name;
        appendText(name, fonts.at(i));
        out.append(name + ";}");
    }
    out.append("}\r\n{\\colortbl ;");
    for (QRgb c : colors)
        out.append("\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue"
                   + QByteArray::number(qBlue(c)) + ';');
    out.append("}\r\n");
    out.append(body);
    out.append("}\r\n");
    return out;
}

}  // namespace rtf
