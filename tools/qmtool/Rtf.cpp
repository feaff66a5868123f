// qmtool rtf IN.rtf [-o OUT.rtf]: an RTF file read by the rich text engine,
// printed as JSON: the paragraphs with their alignment and runs (text runs,
// and picture runs {"picture": {"format", "width", "height"}} with the size
// in points). -o writes the document back as RTF through the engine's writer.

#include "Commands.h"
#include "Json.h"

#include "richtext/RtfPicture.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QFile>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>

#include <cmath>
#include <cstdio>

namespace {

int rtfUsage(const QString &why = QString())
{
    if (!why.isEmpty())
        std::fprintf(stderr, "qmtool rtf: %s\n", why.toUtf8().constData());
    std::fputs("usage: qmtool rtf IN.rtf [-o OUT.rtf]\n", stderr);
    return 2;
}

const char *alignName(Qt::Alignment a)
{
    if (a & Qt::AlignHCenter) return "center";
    if (a & Qt::AlignJustify) return "justify";
    if (a & Qt::AlignRight) return "right";
    return "left";
}

JsonValue documentJson(const QTextDocument &doc)
{
    JsonValue paragraphs = JsonValue::array();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        JsonValue runs = JsonValue::array();
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QTextCharFormat f = frag.charFormat();
            if (f.isImageFormat()) {
                // One run per picture: its kind and its size in points.
                const QSizeF size = rtf::PictureSize(doc, f) * 72.0 / rtf::DocumentUnitsPerInch();
                for (QChar c : frag.text()) {
                    if (c != QChar::ObjectReplacementCharacter)
                        continue;
                    JsonValue picture = JsonValue::object();
                    picture.insert(QStringLiteral("format"), JsonValue::string(rtf::PictureFormatName(f)));
                    picture.insert(QStringLiteral("width"), JsonValue::number(std::round(size.width() * 100) / 100));
                    picture.insert(QStringLiteral("height"), JsonValue::number(std::round(size.height() * 100) / 100));
                    JsonValue run = JsonValue::object();
                    run.insert(QStringLiteral("picture"), picture);
                    runs.append(run);
                }
                continue;
            }
            const QStringList families = f.fontFamilies().toStringList();
            double size = f.fontPointSize();
            if (size <= 0)
                size = doc.defaultFont().pointSizeF();
            const QColor color = f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush
                ? f.foreground().color() : QColor(Qt::black);
            JsonValue run = JsonValue::object();
            run.insert(QStringLiteral("text"), JsonValue::string(frag.text()));
            run.insert(QStringLiteral("font"),
                       JsonValue::string(families.isEmpty() ? doc.defaultFont().family() : families.first()));
            run.insert(QStringLiteral("size"), JsonValue::number(size));
            run.insert(QStringLiteral("bold"), JsonValue::boolean(f.fontWeight() >= QFont::DemiBold));
            run.insert(QStringLiteral("italic"), JsonValue::boolean(f.fontItalic()));
            run.insert(QStringLiteral("underline"), JsonValue::boolean(f.fontUnderline()));
            run.insert(QStringLiteral("strike"), JsonValue::boolean(f.fontStrikeOut()));
            run.insert(QStringLiteral("color"), JsonValue::string(color.name()));
            runs.append(run);
        }
        JsonValue paragraph = JsonValue::object();
        paragraph.insert(QStringLiteral("align"), JsonValue::string(QLatin1String(alignName(b.blockFormat().alignment()))));
        paragraph.insert(QStringLiteral("runs"), runs);
        paragraphs.append(paragraph);
    }
    return paragraphs;
}

}  // namespace

int runRtf(const QStringList &args)
{
    QString input, output;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == u"-o") {
            if (i + 1 >= args.size())
                return rtfUsage(QStringLiteral("-o needs a file name"));
            output = args.at(++i);
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return rtfUsage(QStringLiteral("unknown option ") + a);
        } else if (input.isEmpty()) {
            input = a;
        } else {
            return rtfUsage(QStringLiteral("one RTF file only"));
        }
    }
    if (input.isEmpty())
        return rtfUsage();

    QFile in(input);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "qmtool rtf: cannot open %s: %s\n", qPrintable(input), qPrintable(in.errorString()));
        return 1;
    }
    if (in.size() > rtf::MaxRtfBytes) {
        std::fprintf(stderr, "qmtool rtf: %s is larger than %d MB\n", qPrintable(input),
                     int(rtf::MaxRtfBytes / (1024 * 1024)));
        return 1;
    }
    const rtf::ReadResult r = rtf::Read(in.readAll());
    if (!r.document) {
        std::fprintf(stderr, "qmtool rtf: %s: %s\n", qPrintable(input), r.error.toUtf8().constData());
        return 1;
    }
    if (!output.isEmpty()) {
        QSaveFile out(output);
        if (!out.open(QIODevice::WriteOnly) || out.write(rtf::Write(*r.document)) < 0 || !out.commit()) {
            std::fprintf(stderr, "qmtool rtf: cannot write %s: %s\n", qPrintable(output),
                         qPrintable(out.errorString()));
            return 1;
        }
    }
    const QByteArray json = writeJson(documentJson(*r.document));
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}
