// qmtool picture FILE [-o OUT]: loads a picture file as the image browser
// does and prints what the label would hold, as one JSON object; -o writes
// the stored form (the bytes after the 4-byte size inside Picture.Data).

#include "Commands.h"
#include "Json.h"

#include "storage/Pictures.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return 1;
}

// The picture's own data without the leading size (an icon has none).
QByteArray storedForm(const TGraphic &g)
{
    const QByteArray data = g.SaveData();
    return dynamic_cast<const TIcon *>(&g) ? data : data.mid(4);
}

}  // namespace

int runPicture(const QStringList &args)
{
    QString file, out;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("-o") && i + 1 < args.size())
            out = args[++i];
        else if (file.isEmpty())
            file = args[i];
        else
            return fail(QStringLiteral("usage: qmtool picture FILE [-o OUT]"));
    }
    if (file.isEmpty())
        return fail(QStringLiteral("usage: qmtool picture FILE [-o OUT]"));
    RegisterPictureClasses();
    const LoadedPicture loaded = LoadPictureFile(file);
    if (!loaded.graphic)
        return fail(loaded.error.isEmpty() ? QStringLiteral("Not a picture file") : loaded.error);
    const TGraphic &g = *loaded.graphic;
    const QByteArray stored = storedForm(g);
    JsonValue v = JsonValue::object();
    v.insert(QStringLiteral("class"), JsonValue::string(QString::fromLatin1(g.ClassName())));
    v.insert(QStringLiteral("width"), JsonValue::number(g.Size().width()));
    v.insert(QStringLiteral("height"), JsonValue::number(g.Size().height()));
    if (const auto *b = dynamic_cast<const TBitmap *>(&g)) {
        v.insert(QStringLiteral("bitsPerPixel"), JsonValue::number(b->BitsPerPixel()));
        v.insert(QStringLiteral("colors"), JsonValue::number(b->Colors()));
    } else if (const auto *m = dynamic_cast<const TMetafile *>(&g); m && !m->Enhanced()) {
        v.insert(QStringLiteral("placeable"), JsonValue::boolean(m->Info().placeable));
        v.insert(QStringLiteral("unitsPerInch"), JsonValue::number(m->Info().unitsPerInch));
    }
    v.insert(QStringLiteral("bytes"), JsonValue::number(double(stored.size())));
    if (!out.isEmpty()) {
        QSaveFile f(out);
        if (!f.open(QIODevice::WriteOnly) || f.write(stored) != stored.size() || !f.commit())
            return fail(QStringLiteral("Cannot write %1").arg(out));
    }
    const QByteArray json = writeJson(v);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}
