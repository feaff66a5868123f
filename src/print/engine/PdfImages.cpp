#include "print/engine/PdfImages.h"

#include <QFile>
#include <QRandomGenerator>

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

namespace {

// The stand-in is one row of 1-bit pixels holding the tag: Qt's writer
// stores such an image as a stencil, without looking for an encoder for it.
constexpr int TagBytes = 24;
constexpr int StandInWidth = 8 * TagBytes;
// libdeflate's fastest level: on rows predicted from the row above it
// still makes a photograph smaller than Qt's writer does at its default,
// in a fraction of the time.
constexpr int DeflateLevel = 1;

bool allOpaque(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

// Whether the program stores `image` itself: 8 bits a channel and every
// pixel opaque. The rest goes to Qt's writer as before.
bool ownForm(const QImage &image)
{
    if (image.isNull())
        return false;
    switch (image.format()) {
    case QImage::Format_Indexed8: {
        const QList<QRgb> table = image.colorTable();
        if (table.isEmpty() || table.size() > 256)
            return false;
        for (QRgb c : table)
            if (qAlpha(c) != 255)
                return false;
        if (table.size() == 256)
            return true;
        // An index past the table has no colour of its own: Qt's writer
        // decides what it shows.
        const uchar count = uchar(table.size());
        for (int y = 0; y < image.height(); ++y) {
            const uchar *line = image.constScanLine(y);
            if (std::any_of(line, line + image.width(), [count](uchar i) { return i >= count; }))
                return false;
        }
        return true;
    }
    case QImage::Format_Grayscale8:
    case QImage::Format_RGB32:
    case QImage::Format_RGB888:
        return true;
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return allOpaque(image);
    default:
        return false;
    }
}

QByteArray deflate(const QByteArray &raw, bool *ok)
{
    *ok = false;
    const std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor *)> compressor(
        libdeflate_alloc_compressor(DeflateLevel), libdeflate_free_compressor);
    if (!compressor)
        return {};
    QByteArray out;
    try {
        out.resize(qsizetype(libdeflate_zlib_compress_bound(compressor.get(), size_t(raw.size()))));
    } catch (const std::bad_alloc &) {
        return {};
    }
    const size_t size = libdeflate_zlib_compress(compressor.get(), raw.constData(), size_t(raw.size()),
                                                 out.data(), size_t(out.size()));
    if (size == 0)
        return {};
    out.truncate(qsizetype(size));
    *ok = true;
    return out;
}

// `raw` as rows of `row` bytes, each after the PNG tag for "up" and holding
// its difference from the row above, which the reader adds back
// (/Predictor 12). Neighbouring rows of a picture are alike, so the
// differences are small numbers that deflate well.
QByteArray predictUp(const QByteArray &raw, qsizetype row)
{
    const qsizetype rows = row > 0 ? raw.size() / row : 0;
    QByteArray out(rows * (row + 1), Qt::Uninitialized);
    const auto *in = reinterpret_cast<const uchar *>(raw.constData());
    auto *o = reinterpret_cast<uchar *>(out.data());
    for (qsizetype y = 0; y < rows; ++y) {
        *o++ = 2;
        const uchar *line = in + y * row;
        if (y == 0) {
            std::copy_n(line, row, o);
        } else {
            const uchar *above = line - row;
            for (qsizetype x = 0; x < row; ++x)
                o[x] = uchar(line[x] - above[x]);
        }
        o += row;
    }
    return out;
}

// --- reading back what Qt's writer wrote --------------------------------

bool isSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }
bool isDelimiter(char c) { return isSpace(c) || c == '/' || c == '<' || c == '>' || c == '[' || c == ']' || c == '(' || c == ')'; }

struct Cursor
{
    QByteArrayView text;
    qsizetype at = 0;

    bool atEnd() const { return at >= text.size(); }
    void skipSpace()
    {
        while (!atEnd() && isSpace(text[at]))
            ++at;
    }
    std::optional<qint64> number()
    {
        skipSpace();
        const qsizetype start = at;
        while (!atEnd() && text[at] >= '0' && text[at] <= '9' && at - start < 18)
            ++at;
        if (at == start)
            return std::nullopt;
        return text.sliced(start, at - start).toLongLong();
    }
    bool word(QByteArrayView w)
    {
        skipSpace();
        if (!text.sliced(at).startsWith(w))
            return false;
        at += w.size();
        return true;
    }
};

// The value of `key` in a dictionary's text: a number, a reference
// ("12 0 R"), a name or an array, as written; empty when absent.
QByteArray dictValue(QByteArrayView dict, QByteArrayView key)
{
    for (qsizetype from = 0;;) {
        const qsizetype k = dict.indexOf(key, from);
        if (k < 0)
            return {};
        from = k + key.size();
        if (from < dict.size() && !isDelimiter(dict[from]))
            continue;   // "/Width" inside "/Widths"
        Cursor c{dict, from};
        c.skipSpace();
        const qsizetype start = c.at;
        if (c.atEnd())
            return {};
        if (dict[start] == '[') {
            const qsizetype end = dict.indexOf(']', start);
            return end < 0 ? QByteArray() : dict.sliced(start, end - start + 1).toByteArray();
        }
        if (dict[start] == '/') {
            qsizetype end = start + 1;
            while (end < dict.size() && !isDelimiter(dict[end]))
                ++end;
            return dict.sliced(start, end - start).toByteArray();
        }
        const auto first = c.number();
        if (!first)
            return {};
        const qsizetype afterFirst = c.at;
        const auto second = c.number();
        if (second && c.word("R"))
            return dict.sliced(start, c.at - start).toByteArray();
        return dict.sliced(start, afterFirst - start).toByteArray();
    }
}

struct PdfFile
{
    QByteArrayView bytes;
    std::map<qint64, qint64> offsets;   // object number -> offset, objects in use
    qint64 startXref = -1;
    QByteArray trailer;

    // Reads the cross-reference table and trailer Qt's writer ends its
    // files with.
    bool read()
    {
        const qsizetype s = bytes.lastIndexOf(QByteArrayView("startxref"));
        if (s < 0)
            return false;
        Cursor c{bytes, s + 9};
        const auto xref = c.number();
        if (!xref || *xref >= bytes.size())
            return false;
        startXref = *xref;
        c.at = startXref;
        if (!c.word("xref"))
            return false;
        for (;;) {
            c.skipSpace();
            if (c.word("trailer"))
                break;
            const auto first = c.number(), count = c.number();
            if (!first || !count || *count > bytes.size() / 20)
                return false;
            c.skipSpace();
            for (qint64 i = 0; i < *count; ++i, c.at += 20) {
                if (c.at + 20 > bytes.size())
                    return false;
                const QByteArrayView entry = bytes.sliced(c.at, 18);
                if (entry[17] == 'n')
                    offsets[*first + i] = entry.first(10).toLongLong();
            }
        }
        const qsizetype end = bytes.indexOf(QByteArrayView("startxref"), c.at);
        if (end < 0)
            return false;
        trailer = bytes.sliced(c.at, end - c.at).toByteArray();
        return true;
    }

    // The dictionary of object `number` when it is a stream, with where its
    // data starts.
    QByteArrayView streamDictionary(qint64 number, qsizetype *dataStart) const
    {
        const auto it = offsets.find(number);
        if (it == offsets.end() || it->second < 0 || it->second >= bytes.size())
            return {};
        const QByteArrayView head = bytes.sliced(it->second, std::min<qsizetype>(1024, bytes.size() - it->second));
        const qsizetype open = head.indexOf(QByteArrayView("<<"));
        const qsizetype stream = head.indexOf(QByteArrayView(">>\nstream"));
        const qsizetype end = head.indexOf(QByteArrayView("endobj"));
        // Not a stream: the next object's stream is no concern of this one.
        if (open < 0 || stream < open || (end >= 0 && end < stream))
            return {};
        qsizetype data = stream + 9;
        if (data < head.size() && head[data] == '\r')
            ++data;
        if (data >= head.size() || head[data] != '\n')
            return {};
        *dataStart = it->second + data + 1;
        return head.sliced(open + 2, stream - open - 2);
    }

    // The value of a number written directly or as a reference to an
    // object holding it.
    std::optional<qint64> resolveNumber(const QByteArray &value) const
    {
        Cursor c{value};
        const auto n = c.number();
        if (!n)
            return std::nullopt;
        const auto generation = c.number();
        if (!generation)
            return n;
        if (!c.word("R"))
            return std::nullopt;
        const auto it = offsets.find(*n);
        if (it == offsets.end() || it->second >= bytes.size())
            return std::nullopt;
        Cursor o{bytes, qsizetype(it->second)};
        if (o.number() != n || !o.number() || !o.word("obj"))
            return std::nullopt;
        return o.number();
    }
};

}  // namespace

TPdfImages::TPdfImages()
    : mNonce(QRandomGenerator::global()->generate64())
{
}

TPdfImages::~TPdfImages()
{
    stop();
}

void TPdfImages::stop()
{
    {
        std::lock_guard lock(mMutex);
        mStopping = true;
        mQueue.clear();
    }
    mWake.notify_all();
    if (mWorker.joinable())
        mWorker.join();
}

QImage TPdfImages::StandIn(const QImage &image)
{
    const auto known = mByKey.find(image.cacheKey());
    if (known != mByKey.end())
        return known->second->Stand;
    if (!ownForm(image))
        return image;

    auto entry = std::make_unique<Entry>();
    entry->Source = image;
    // The stand-in's bits: a mark, this job's random number and the
    // picture's index.
    QByteArray tag(TagBytes, '\0');
    tag[0] = 'Q';
    tag[1] = 'M';
    tag[2] = 'I';
    for (int i = 0; i < 8; ++i)
        tag[3 + i] = char(mNonce >> (8 * i));
    const quint32 index = quint32(mEntries.size());
    for (int i = 0; i < 4; ++i)
        tag[11 + i] = char(index >> (8 * i));
    QImage stand(StandInWidth, 1, QImage::Format_Mono);
    stand.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    std::copy_n(tag.constData(), TagBytes, stand.scanLine(0));
    entry->Tag = tag;
    entry->Stand = stand;

    Entry *e = entry.get();
    mEntries.push_back(std::move(entry));
    mByKey.emplace(image.cacheKey(), e);
    {
        std::lock_guard lock(mMutex);
        mQueue.push_back(e);
    }
    if (!mWorker.joinable())
        mWorker = std::thread([this] { work(); });
    mWake.notify_one();
    return stand;
}

void TPdfImages::work()
{
    for (;;) {
        Entry *e = nullptr;
        {
            std::unique_lock lock(mMutex);
            mWake.wait(lock, [this] { return mStopping || !mQueue.empty(); });
            if (mQueue.empty())
                return;
            e = mQueue.front();
            mQueue.pop_front();
        }
        Encoded result = Encode(e->Source);
        {
            std::lock_guard lock(mMutex);
            e->Result = std::move(result);
            e->Done = true;
        }
        mDone.notify_all();
    }
}

TPdfImages::Encoded TPdfImages::Encode(const QImage &image)
{
    Encoded e;
    const qsizetype w = image.width(), h = image.height();
    QByteArray raw, colorSpace;
    int colors = 0;   // channels of the row prediction; 0 for none (palette indices)
    try {
        switch (image.format()) {
        case QImage::Format_Indexed8:
        case QImage::Format_Grayscale8: {
            raw.resize(w * h);
            for (qsizetype y = 0; y < h; ++y)
                std::copy_n(image.constScanLine(int(y)), w, raw.data() + y * w);
            if (image.format() == QImage::Format_Grayscale8) {
                colorSpace = "/DeviceGray";
                colors = 1;
                break;
            }
            const QList<QRgb> table = image.colorTable();
            colorSpace = "[/Indexed /DeviceRGB " + QByteArray::number(table.size() - 1) + " <";
            for (QRgb c : table) {
                const char rgb[3] = {char(qRed(c)), char(qGreen(c)), char(qBlue(c))};
                colorSpace += QByteArray(rgb, 3).toHex();
            }
            colorSpace += ">]";
            break;
        }
        default: {
            const QImage rgb = image.format() == QImage::Format_RGB888 || image.format() == QImage::Format_RGB32
                                       || image.format() == QImage::Format_ARGB32
                                       || image.format() == QImage::Format_ARGB32_Premultiplied
                                   ? image
                                   : image.convertToFormat(QImage::Format_RGB888);
            if (rgb.isNull())
                return e;
            raw.resize(w * h * 3);
            char *out = raw.data();
            bool grey = true;
            for (qsizetype y = 0; y < h; ++y) {
                if (rgb.format() == QImage::Format_RGB888) {
                    const uchar *line = rgb.constScanLine(int(y));
                    for (qsizetype x = 0; x < w; ++x, out += 3, line += 3) {
                        out[0] = char(line[0]);
                        out[1] = char(line[1]);
                        out[2] = char(line[2]);
                        grey = grey && line[0] == line[1] && line[1] == line[2];
                    }
                    continue;
                }
                // Opaque: premultiplied and straight colours are the same.
                const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(int(y)));
                for (qsizetype x = 0; x < w; ++x, out += 3) {
                    const QRgb p = line[x];
                    out[0] = char(qRed(p));
                    out[1] = char(qGreen(p));
                    out[2] = char(qBlue(p));
                    grey = grey && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
                }
            }
            colorSpace = "/DeviceRGB";
            colors = 3;
            if (grey) {
                // As compact as Qt's writer keeps grey pictures.
                for (qsizetype i = 0; i < w * h; ++i)
                    raw[i] = raw[3 * i];
                raw.truncate(w * h);
                colorSpace = "/DeviceGray";
                colors = 1;
            }
        }
        }
        if (colors > 0)
            raw = predictUp(raw, w * colors);
    } catch (const std::bad_alloc &) {
        return e;
    }
    bool ok = false;
    e.Data = deflate(raw, &ok);
    if (!ok)
        return e;
    e.Dictionary = "/Width " + QByteArray::number(w) + "\n/Height " + QByteArray::number(h)
                   + "\n/BitsPerComponent 8\n/ColorSpace " + colorSpace + "\n/Length "
                   + QByteArray::number(e.Data.size()) + "\n/Filter /FlateDecode\n";
    if (colors > 0)
        e.Dictionary += "/DecodeParms << /Predictor 12 /Colors " + QByteArray::number(colors)
                        + " /BitsPerComponent 8 /Columns " + QByteArray::number(w) + " >>\n";
    e.Ok = true;
    return e;
}

bool TPdfImages::Finish(const QString &fileName, QString *error)
{
    if (mEntries.empty())
        return true;
    {
        std::unique_lock lock(mMutex);
        mDone.wait(lock, [this] {
            return mStopping
                   || std::all_of(mEntries.begin(), mEntries.end(), [](const auto &e) { return e->Done; });
        });
    }
    stop();

    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite))
        return fail(file.errorString());
    const qint64 size = file.size();
    const uchar *mapped = size > 0 ? file.map(0, size) : nullptr;
    QByteArray read;
    if (!mapped && size > 0) {
        read = file.readAll();
        mapped = reinterpret_cast<const uchar *>(read.constData());
    }
    PdfFile pdf;
    pdf.bytes = QByteArrayView(mapped, size);
    if (!pdf.read())
        return fail(QStringLiteral("the PDF writer's file has no cross-reference table"));

    std::map<QByteArray, Entry *> byTag;
    for (const auto &e : mEntries)
        byTag.emplace(e->Tag, e.get());
    std::map<qint64, Entry *> replaced;   // object number -> picture
    for (const auto &[number, offset] : pdf.offsets) {
        qsizetype data = 0;
        const QByteArrayView dict = pdf.streamDictionary(number, &data);
        if (dict.isEmpty() || dictValue(dict, "/Subtype") != "/Image" || dictValue(dict, "/Width") != QByteArray::number(StandInWidth)
            || dictValue(dict, "/Height") != "1" || dictValue(dict, "/Filter") != "/FlateDecode")
            continue;
        const auto length = pdf.resolveNumber(dictValue(dict, "/Length"));
        if (!length || *length <= 0 || *length > 4096 || data + *length > size)
            continue;
        uchar pixels[TagBytes + 1];
        uLongf got = sizeof pixels;
        if (uncompress(pixels, &got, mapped + data, uLong(*length)) != Z_OK || got != TagBytes)
            continue;
        const auto it = byTag.find(QByteArray(reinterpret_cast<const char *>(pixels), TagBytes));
        if (it != byTag.end())
            replaced.emplace(number, it->second);
    }
    if (replaced.empty())
        return true;

    // The update: the pictures under their stand-ins' object numbers, a
    // cross-reference section for them and a trailer pointing back at the
    // writer's own.
    QByteArray trailer = "trailer\n<<\n";
    for (const char *key : {"/Size", "/Root", "/Info", "/ID"}) {
        const QByteArray value = dictValue(pdf.trailer, key);
        if (!value.isEmpty())
            trailer += key + QByteArray(" ") + value + '\n';
        else if (qstrcmp(key, "/Size") == 0 || qstrcmp(key, "/Root") == 0)
            return fail(QStringLiteral("the PDF writer's file has no trailer"));
    }
    trailer += "/Prev " + QByteArray::number(pdf.startXref) + "\n>>\n";

    if (!file.seek(size))
        return fail(file.errorString());
    qint64 at = size;
    QByteArray xref = "xref\n";
    const auto put = [&](const QByteArray &bytes) {
        if (file.write(bytes) != bytes.size())
            return false;
        at += bytes.size();
        return true;
    };
    if (pdf.bytes.isEmpty() || pdf.bytes.back() != '\n') {
        if (!put("\n"))
            return fail(file.errorString());
    }
    for (const auto &[number, e] : replaced) {
        if (!e->Result.Ok)
            return fail(QStringLiteral("there is not enough memory for a picture"));
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", static_cast<long long>(at));
        xref += QByteArray::number(number) + " 1\n" + entry;
        if (!put(QByteArray::number(number) + " 0 obj\n<<\n/Type /XObject\n/Subtype /Image\n" + e->Result.Dictionary
                 + ">>\nstream\n")
            || !put(e->Result.Data) || !put("\nendstream\nendobj\n"))
            return fail(file.errorString());
    }
    const qint64 xrefAt = at;
    if (!put(xref + trailer + "startxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n") || !file.flush())
        return fail(file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    return true;
}
