#include "richtext/RtfReader.h"

#include "richtext/RtfPicture.h"
#include "storage/Stream.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string_view>
#include <vector>

namespace rtf {

double DocumentUnitsPerInch()
{
    // The unit QTextDocument lays out in without a paint device of its own.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            return qRound(screen->logicalDotsPerInchY());
    return 96;
}

double TwipsToUnits(double twips)
{
    return twips * DocumentUnitsPerInch() / 1440.0;
}

int UnitsToTwips(double units)
{
    return int(std::lround(units * 1440.0 / DocumentUnitsPerInch()));
}

bool LooksLikeRtf(const QByteArray &bytes)
{
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

namespace {

// Shape, ShapeName and ShapeValue: a drawing shape (\shp), read only for
// the picture its "pib" property holds.
enum class Dest { Text, FontTable, ColorTable, Picture, Shape, ShapeName, ShapeValue, Skip };

struct CharState
{
    int font = -1;          // -1: the default font
    int halfPoints = 24;
    bool bold = false, italic = false, underline = false, strike = false;
    int vertical = 0;       // 0 normal, 1 subscript, 2 superscript
    int fg = 0, bg = 0;     // colour table indexes; 0 = automatic
    auto operator<=>(const CharState &) const = default;
};

struct ParaState
{
    Qt::Alignment align = Qt::AlignLeft;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0, sl = 0;
    bool slMult = false;
    auto operator<=>(const ParaState &) const = default;
};

struct State
{
    Dest dest = Dest::Text;
    CharState chr;
    ParaState para;
    int uc = 1;
};

struct FontEntry
{
    QString name;
    QFont::StyleHint hint = QFont::AnyStyle;
    int codePage = 0;  // 0: the document's
};

// A charset of the font table as a Windows code page.
int charsetCodePage(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0;
    }
}

// The control words the reader acts on, named as they are written. A word
// is looked up once, where it is read; what follows compares numbers.
enum class Word : quint8 {
    Unknown,
    Skipped,  // a destination whose text is not part of the document
    Special,  // a word that stands for one character
    ansi, ansicpg, b, bin, blue, cb, cf, chcbpat, colortbl, cpg, deff, dibitmap, dn, emfblip, f,
    fcharset, fdecor, fi, fmodern, fonttbl, froman, fs, fscript, fswiss, green, highlight, i,
    jpegblip, li, mac, macpict, nosupersub, page, par, pard, pc, pca, pich, pichgoal, picscalex,
    picscaley, pict, picw, picwgoal, plain, pmmetafile, pngblip, qc, qj, ql, qr, red, ri, row, sa,
    sb, sect, shp, shpbottom, shpinst, shpleft, shppict, shpright, shprslt, shptop, sl, slmult, sn,
    strike, striked, sub, super, sv, u, uc, ul, uld, uldash, uldb, ulnone, ulth, ulw, ulwave, up,
    wbitmap, wmetafile,
};

struct WordEntry
{
    std::string_view name;
    Word word;
    char16_t character = 0;  // of a Special
};

constexpr WordEntry Words[] = {
    {"ansi", Word::ansi}, {"ansicpg", Word::ansicpg}, {"b", Word::b}, {"bin", Word::bin},
    {"blue", Word::blue}, {"cb", Word::cb}, {"cf", Word::cf}, {"chcbpat", Word::chcbpat},
    {"colortbl", Word::colortbl}, {"cpg", Word::cpg}, {"deff", Word::deff}, {"dibitmap", Word::dibitmap},
    {"dn", Word::dn}, {"emfblip", Word::emfblip}, {"f", Word::f}, {"fcharset", Word::fcharset},
    {"fdecor", Word::fdecor}, {"fi", Word::fi}, {"fmodern", Word::fmodern}, {"fonttbl", Word::fonttbl},
    {"froman", Word::froman}, {"fs", Word::fs}, {"fscript", Word::fscript}, {"fswiss", Word::fswiss},
    {"green", Word::green}, {"highlight", Word::highlight}, {"i", Word::i}, {"jpegblip", Word::jpegblip},
    {"li", Word::li}, {"mac", Word::mac}, {"macpict", Word::macpict}, {"nosupersub", Word::nosupersub},
    {"page", Word::page}, {"par", Word::par}, {"pard", Word::pard}, {"pc", Word::pc}, {"pca", Word::pca},
    {"pich", Word::pich}, {"pichgoal", Word::pichgoal}, {"picscalex", Word::picscalex},
    {"picscaley", Word::picscaley}, {"pict", Word::pict}, {"picw", Word::picw}, {"picwgoal", Word::picwgoal},
    {"plain", Word::plain}, {"pmmetafile", Word::pmmetafile}, {"pngblip", Word::pngblip}, {"qc", Word::qc},
    {"qj", Word::qj}, {"ql", Word::ql}, {"qr", Word::qr}, {"red", Word::red}, {"ri", Word::ri},
    {"row", Word::row}, {"sa", Word::sa}, {"sb", Word::sb}, {"sect", Word::sect}, {"shp", Word::shp},
    {"shpbottom", Word::shpbottom}, {"shpinst", Word::shpinst}, {"shpleft", Word::shpleft},
    {"shppict", Word::shppict}, {"shpright", Word::shpright}, {"shprslt", Word::shprslt},
    {"shptop", Word::shptop}, {"sl", Word::sl}, {"slmult", Word::slmult}, {"sn", Word::sn},
    {"strike", Word::strike}, {"striked", Word::striked}, {"sub", Word::sub}, {"super", Word::super},
    {"sv", Word::sv}, {"u", Word::u}, {"uc", Word::uc}, {"ul", Word::ul}, {"uld", Word::uld},
    {"uldash", Word::uldash}, {"uldb", Word::uldb}, {"ulnone", Word::ulnone}, {"ulth", Word::ulth},
    {"ulw", Word::ulw}, {"ulwave", Word::ulwave}, {"up", Word::up}, {"wbitmap", Word::wbitmap},
    {"wmetafile", Word::wmetafile},
    {"tab", Word::Special, '\t'}, {"line", Word::Special, 0x2028}, {"emdash", Word::Special, 0x2014},
    {"endash", Word::Special, 0x2013}, {"emspace", Word::Special, 0x2003}, {"enspace", Word::Special, 0x2002},
    {"qmspace", Word::Special, 0x2005}, {"bullet", Word::Special, 0x2022}, {"lquote", Word::Special, 0x2018},
    {"rquote", Word::Special, 0x2019}, {"ldblquote", Word::Special, 0x201C}, {"rdblquote", Word::Special, 0x201D},
    {"zwj", Word::Special, 0x200D}, {"zwnj", Word::Special, 0x200C}, {"cell", Word::Special, '\t'},
    {"stylesheet", Word::Skipped}, {"info", Word::Skipped}, {"object", Word::Skipped}, {"header", Word::Skipped},
    {"headerl", Word::Skipped}, {"headerr", Word::Skipped}, {"headerf", Word::Skipped}, {"footer", Word::Skipped},
    {"footerl", Word::Skipped}, {"footerr", Word::Skipped}, {"footerf", Word::Skipped}, {"footnote", Word::Skipped},
    {"annotation", Word::Skipped}, {"fldinst", Word::Skipped}, {"listtable", Word::Skipped},
    {"listoverridetable", Word::Skipped}, {"revtbl", Word::Skipped}, {"rsidtbl", Word::Skipped},
    {"xmlnstbl", Word::Skipped}, {"themedata", Word::Skipped}, {"colorschememapping", Word::Skipped},
    {"latentstyles", Word::Skipped}, {"datastore", Word::Skipped}, {"generator", Word::Skipped},
    {"filetbl", Word::Skipped}, {"pn", Word::Skipped}, {"bkmkstart", Word::Skipped}, {"bkmkend", Word::Skipped},
    {"nonshppict", Word::Skipped}, {"template", Word::Skipped}, {"atnid", Word::Skipped},
    {"atnauthor", Word::Skipped}, {"xe", Word::Skipped}, {"tc", Word::Skipped}, {"txe", Word::Skipped},
    {"private", Word::Skipped}, {"userprops", Word::Skipped}, {"docvar", Word::Skipped}, {"mmathPr", Word::Skipped},
    {"pgdsctbl", Word::Skipped}, {"wgrffmtfilter", Word::Skipped}, {"background", Word::Skipped},
    {"fchars", Word::Skipped}, {"lchars", Word::Skipped}};

// Words by name: an open-addressed table over FNV-1a hashes, built once.
const WordEntry &findWord(QByteArrayView name)
{
    static constexpr size_t Slots = 512;  // a power of two, over twice the words
    static constexpr WordEntry unknown{"", Word::Unknown};
    auto hash = [](std::string_view w) {
        quint32 h = 2166136261u;
        for (const char c : w)
            h = (h ^ quint8(c)) * 16777619u;
        return h & (Slots - 1);
    };
    static const std::array<quint8, Slots> byHash = [&] {
        static_assert(std::size(Words) < 255);
        std::array<quint8, Slots> t{};  // 0: empty, else index + 1
        for (size_t i = 0; i < std::size(Words); ++i) {
            size_t at = hash(Words[i].name);
            while (t[at]) {
                Q_ASSERT(Words[t[at] - 1].name != Words[i].name);  // each word once
                at = (at + 1) & (Slots - 1);
            }
            t[at] = quint8(i + 1);
        }
        return t;
    }();
    const std::string_view w(name.constData(), size_t(name.size()));
    for (size_t at = hash(w); byHash[at]; at = (at + 1) & (Slots - 1))
        if (Words[byHash[at] - 1].name == w)
            return Words[byHash[at] - 1];
    return unknown;
}

class Reader
{
public:
    explicit Reader(const QByteArray &bytes) : mIn(bytes) {}
    ReadResult run();

private:
    bool atEnd() const { return mPos >= mIn.size(); }
    void controlWord();
    void controlSymbol(char c);
    void applyWord(const WordEntry &word, bool hasParam, int param);
    void text(QChar c);
    void byte(char b);
    void flushBytes();
    // Windows-1252 text straight into the paragraph, one table look-up a
    // byte; false, taking nothing, when the text is in another code page.
    bool takeCp1252(QByteArrayView bytes);
    void flushText();
    void writeParagraph(const QTextBlockFormat &bf, const QTextCharFormat &cf);
    // Ends the pending text when the character format changed since.
    void useCurrentFormat();
    void endParagraph();
    void fontTableText(char c);
    void colorTableWord(Word word, int param);
    // The formats of the document for a state, made once per state: a
    // format the document has seen is found again without being compared
    // property by property.
    const QTextCharFormat &charFormat(const CharState &s);
    const QTextBlockFormat &blockFormat(const ParaState &p);
    QTextCharFormat makeCharFormat(const CharState &s) const;
    QTextBlockFormat makeBlockFormat(const ParaState &p) const;
    QString decode(const QByteArray &bytes) const;
    int currentCodePage() const;
    void pictureWord(Word word, bool hasParam, int param);
    void shapeWord(Word word, bool hasParam, int param);
    void finishPicture();

    State &st() { return mStack.back(); }

    const QByteArray &mIn;
    qsizetype mPos = 0;
    std::vector<State> mStack;
    QString mError;

    int mCodePage = 1252;
    int mDefaultFont = 0;
    std::map<int, FontEntry> mFonts;
    int mFontNumber = -1;  // entry being read in the font table
    QByteArray mFontName;
    std::vector<QColor> mColors;  // invalid QColor = automatic
    int mRed = -1, mGreen = -1, mBlue = -1;

    std::map<CharState, QTextCharFormat> mCharFormats;  // emptied when a table changes
    std::map<ParaState, QTextBlockFormat> mBlockFormats;
    // The runs of the paragraph being read: a paragraph is written whole at
    // its end, when its own formats are known, which saves setting them
    // after its text. A run is the text from its start to the next run's.
    struct Run
    {
        qsizetype start;  // in mParagraph
        QTextCharFormat format;
    };
    std::vector<Run> mRuns;
    std::unique_ptr<QTextDocument> mDoc;
    QTextCursor mCursor;
    QByteArray mBytes;     // 8-bit text waiting for its code page
    QString mParagraph;    // the paragraph's text; its buffer serves every paragraph
    qsizetype mRunStart = 0;  // text from here on waits for its character format
    CharState mTextFormat;
    bool mHaveTextFormat = false;
    bool mFirstBlock = true;
    bool mEndedWithPar = false;
    int mSkipChars = 0;   // \uN fallback characters still to skip
    QChar mHighSurrogate;
    // \* was just read: the next control word names an optional
    // destination, skipped unless it is one we read.
    bool mStarred = false;
    Dest mStarredFrom = Dest::Text;

    QByteArray mShapeName;     // of the shape property being read
    QRect mShapeBox;           // the shape's \shpleft .. \shpbottom, in twips
    PictureData mPicture;      // the \pict being read
    size_t mPictureDepth = 0;  // stack size inside its group; 0: none open
    int mHexHigh = -1;         // first digit of a hex byte, -1 when none
    qint64 mPicturePixelBytes = 0;
};

ReadResult Reader::run()
{
    ReadResult result;
    if (mIn.size() > MaxRtfBytes) {
        result.error = QStringLiteral("The RTF document is larger than %1 MB").arg(MaxRtfBytes / (1024 * 1024));
        return result;
    }
    if (!LooksLikeRtf(mIn)) {
        result.error = QStringLiteral("Not an RTF document: it does not begin with {\\rtf");
        return result;
    }
    mDoc = std::make_unique<QTextDocument>();
    mDoc->setUndoRedoEnabled(false);
    mCursor = QTextCursor(mDoc.get());
    // One edit: the document tells of its changes once, at the end, rather
    // than at every run.
    mCursor.beginEditBlock();
    mStack.reserve(64);
    mStack.push_back(State());
    bool started = false;

    while (!atEnd() && mError.isEmpty()) {
        const char c = mIn[mPos];
        if (c == '{') {
            ++mPos;
            if (!started) {
                started = true;
                continue;
            }
            if (int(mStack.size()) >= MaxGroupDepth) {
                mError = QStringLiteral("The RTF groups are nested more than %1 deep").arg(MaxGroupDepth);
                break;
            }
            flushBytes();
            mSkipChars = 0;
            mStarred = false;
            mStack.push_back(mStack.back());
        } else if (c == '}') {
            ++mPos;
            flushBytes();
            mSkipChars = 0;
            mStarred = false;
            if (mStack.size() <= 1)
                break;  // the document's own group closed: the rest is not read
            if (st().dest == Dest::FontTable && mFontNumber >= 0 && !mFontName.isEmpty())
                fontTableText(';');
            mStack.pop_back();
            if (mPictureDepth > 0 && mStack.size() < mPictureDepth)
                finishPicture();
        } else if (c == '\\') {
            ++mPos;
            if (atEnd())
                break;
            const char n = mIn[mPos];
            if ((n >= 'a' && n <= 'z') || (n >= 'A' && n <= 'Z'))
                controlWord();
            else {
                ++mPos;
                controlSymbol(n);
            }
        } else if (c == '\r' || c == '\n') {
            ++mPos;
        } else if (mSkipChars == 0 && st().dest == Dest::Text) {
            // A stretch of plain text, taken at once.
            static constexpr auto endsText = [] {
                std::array<bool, 256> t{};
                for (const char c : {'\\', '{', '}', '\r', '\n'})
                    t[uchar(c)] = true;
                return t;
            }();
            qsizetype end = mPos + 1;
            while (end < mIn.size() && !endsText[uchar(mIn[end])])
                ++end;
            mStarred = false;
            // Bytes of a code page of more than one byte a character may
            // still wait for the rest of theirs.
            const QByteArrayView stretch = QByteArrayView(mIn).sliced(mPos, end - mPos);
            if (!mBytes.isEmpty() || !takeCp1252(stretch))
                mBytes.append(stretch);
            mPos = end;
        } else {
            ++mPos;
            if (mSkipChars > 0) {
                --mSkipChars;
                continue;
            }
            byte(c);
        }
    }
    if (!mError.isEmpty()) {
        mCursor.endEditBlock();
        result.error = mError;
        return result;
    }
    // A picture cut off by the end is shown when what came decodes.
    if (mPictureDepth > 0)
        finishPicture();
    flushBytes();
    flushText();
    // The last \par ended the last paragraph; one without takes the
    // formats in force at the end.
    if (!mEndedWithPar)
        writeParagraph(blockFormat(mStack.back().para), charFormat(mStack.back().chr));
    mCursor.endEditBlock();
    mDoc->setUndoRedoEnabled(true);
    result.document = std::move(mDoc);
    return result;
}

void Reader::controlWord()
{
    const qsizetype start = mPos;
    while (!atEnd() && ((mIn[mPos] >= 'a' && mIn[mPos] <= 'z') || (mIn[mPos] >= 'A' && mIn[mPos] <= 'Z')))
        ++mPos;
    // No control word is longer than this; a longer one is unknown.
    constexpr qsizetype MaxWordLength = 32;
    const WordEntry &word =
        findWord(mPos - start <= MaxWordLength ? QByteArrayView(mIn).sliced(start, mPos - start) : QByteArrayView());
    bool hasParam = false, negative = false;
    qint64 value = 0;
    if (!atEnd() && mIn[mPos] == '-' && mPos + 1 < mIn.size() && mIn[mPos + 1] >= '0' && mIn[mPos + 1] <= '9') {
        negative = true;
        ++mPos;
    }
    int digits = 0;
    while (!atEnd() && mIn[mPos] >= '0' && mIn[mPos] <= '9') {
        hasParam = true;
        // Saturate: the value is clamped where it is used.
        if (value < 100000000000LL)
            value = value * 10 + (mIn[mPos] - '0');
        ++mPos;
        ++digits;
    }
    if (!atEnd() && mIn[mPos] == ' ')
        ++mPos;
    if (negative)
        value = -value;
    const int param = int(std::clamp<qint64>(value, INT_MIN, INT_MAX));

    if (word.word == Word::bin) {
        // Raw bytes follow; a picture's data, or part of no text we read.
        if (!hasParam || value <= 0)
            return;
        if (value > MaxBinBytes || value > mIn.size() - mPos) {
            mError = QStringLiteral("The RTF \\bin data is larger than the rest of the document or than %1 MB")
                         .arg(MaxBinBytes / (1024 * 1024));
            return;
        }
        if (st().dest == Dest::Picture && !mPicture.damaged) {
            if (mPicture.bytes.size() + value > MaxPictureDataBytes)
                mPicture.damaged = true;
            else
                mPicture.bytes.append(mIn.constData() + mPos, qsizetype(value));
        }
        mPos += qsizetype(value);
        return;
    }
    if (mSkipChars > 0) {
        --mSkipChars;
        return;
    }
    applyWord(word, hasParam, param);
}

void Reader::controlSymbol(char c)
{
    if (c == '\'') {
        // \'hh: one byte in the current code page; anything that is not two
        // hex digits is dropped.
        auto hex = [](char h) {
            if (h >= '0' && h <= '9') return h - '0';
            if (h >= 'a' && h <= 'f') return h - 'a' + 10;
            if (h >= 'A' && h <= 'F') return h - 'A' + 10;
            return -1;
        };
        const int hi = mPos < mIn.size() ? hex(mIn[mPos]) : -1;
        const int lo = mPos + 1 < mIn.size() ? hex(mIn[mPos + 1]) : -1;
        if (hi < 0 || lo < 0)
            return;
        mPos += 2;
        if (mSkipChars > 0) {
            --mSkipChars;
            return;
        }
        byte(char(hi * 16 + lo));
        return;
    }
    mStarred = false;
    if (mSkipChars > 0) {
        --mSkipChars;
        return;
    }
    switch (c) {
    case '\\':
    case '{':
    case '}': byte(c); break;
    case '~': text(QChar(0x00A0)); break;
    case '-': text(QChar(0x00AD)); break;
    case '_': text(QChar(0x2011)); break;
    case '*':
        // An optional destination: skipped, unless the word that follows
        // names one we read. Text read before it stays, even where \* is
        // not the first thing in its group.
        flushBytes();
        mStarred = true;
        mStarredFrom = st().dest;
        st().dest = Dest::Skip;
        return;
    case '\r':
    case '\n': endParagraph(); break;
    case '\t': text(QChar('\t')); break;
    default: break;
    }
}

void Reader::applyWord(const WordEntry &entry, bool hasParam, int param)
{
    const Word w = entry.word;
    State &s = st();
    // {\*\shppict{\pict ...}} is how word processors give a picture;
    // \nonshppict, skipped below, holds the same picture for older readers.
    if (std::exchange(mStarred, false)) {
        if (w == Word::shppict && mStarredFrom == Dest::Text) {
            s.dest = Dest::Text;
            return;
        }
        if (w == Word::shpinst && mStarredFrom == Dest::Shape) {
            s.dest = Dest::Shape;
            return;
        }
    }
    if (s.dest == Dest::Skip)
        return;
    if (s.dest == Dest::Picture) {
        pictureWord(w, hasParam, param);
        return;
    }
    if (s.dest == Dest::Shape || s.dest == Dest::ShapeName || s.dest == Dest::ShapeValue) {
        shapeWord(w, hasParam, param);
        return;
    }
    const bool on = !hasParam || param != 0;

    // Destinations.
    if (w == Word::fonttbl) { flushBytes(); s.dest = Dest::FontTable; return; }
    if (w == Word::colortbl) {
        flushBytes();
        s.dest = Dest::ColorTable;
        mRed = mGreen = mBlue = -1;
        return;
    }
    if (w == Word::Skipped) { flushBytes(); s.dest = Dest::Skip; return; }
    if (w == Word::shp && s.dest == Dest::Text) {
        flushBytes();
        s.dest = Dest::Shape;
        mShapeBox = QRect();
        return;
    }
    if (w == Word::pict) {
        if (s.dest != Dest::Text || mPictureDepth > 0) {
            s.dest = Dest::Skip;
            return;
        }
        flushBytes();
        flushText();
        s.dest = Dest::Picture;
        mPicture = PictureData();
        mPictureDepth = mStack.size();
        mHexHigh = -1;
        return;
    }

    if (s.dest == Dest::FontTable) {
        if (w == Word::f && hasParam) {
            mFontNumber = param;
            mFontName.clear();
            mFonts[param];
        } else if (mFontNumber >= 0) {
            FontEntry &f = mFonts[mFontNumber];
            if (w == Word::froman) f.hint = QFont::Serif;
            else if (w == Word::fswiss) f.hint = QFont::SansSerif;
            else if (w == Word::fmodern) f.hint = QFont::TypeWriter;
            else if (w == Word::fscript) f.hint = QFont::Cursive;
            else if (w == Word::fdecor) f.hint = QFont::Decorative;
            else if (w == Word::fcharset && hasParam) f.codePage = charsetCodePage(param);
            else if (w == Word::cpg && hasParam) f.codePage = param;
        }
        return;
    }
    if (s.dest == Dest::ColorTable) {
        colorTableWord(w, param);
        return;
    }

    // Document settings. Text read before them keeps the code page it was
    // read in.
    if (w == Word::ansi || w == Word::ansicpg || w == Word::pc || w == Word::pca || w == Word::mac || w == Word::deff)
        flushBytes();
    if (w == Word::ansi) { mCodePage = 1252; return; }
    if (w == Word::ansicpg && hasParam) { mCodePage = param; return; }
    if (w == Word::pc) { mCodePage = 437; return; }
    if (w == Word::pca) { mCodePage = 850; return; }
    if (w == Word::mac) { mCodePage = 10000; return; }
    if (w == Word::deff && hasParam) { mDefaultFont = param; return; }
    if (w == Word::uc && hasParam) { s.uc = std::clamp(param, 0, 10); return; }

    if (w == Word::u && hasParam) {
        flushBytes();
        // A signed 16-bit unit; values past it are not Unicode.
        int code = param < 0 ? param + 65536 : param;
        if (code < 0 || code > 0xFFFF)
            code = 0xFFFD;
        text(QChar(char16_t(code)));
        mSkipChars = s.uc;
        return;
    }

    if (w == Word::Special) {
        text(QChar(entry.character));
        return;
    }
    if (w == Word::par || w == Word::sect || w == Word::page || w == Word::row) { endParagraph(); return; }

    // Character formatting.
    CharState &c = s.chr;
    if (w == Word::plain) { flushBytes(); c = CharState(); return; }
    if (w == Word::b) { flushBytes(); c.bold = on; return; }
    if (w == Word::i) { flushBytes(); c.italic = on; return; }
    if (w == Word::ul || w == Word::uld || w == Word::uldb || w == Word::ulw || w == Word::uldash || w == Word::ulth || w == Word::ulwave) {
        flushBytes();
        c.underline = on;
        return;
    }
    if (w == Word::ulnone) { flushBytes(); c.underline = false; return; }
    if (w == Word::strike || w == Word::striked) { flushBytes(); c.strike = on; return; }
    if (w == Word::sub || w == Word::dn) { flushBytes(); c.vertical = on ? 1 : 0; return; }
    if (w == Word::super || w == Word::up) { flushBytes(); c.vertical = on ? 2 : 0; return; }
    if (w == Word::nosupersub) { flushBytes(); c.vertical = 0; return; }
    if (w == Word::fs && hasParam) { flushBytes(); c.halfPoints = param; return; }
    if (w == Word::f && hasParam) { flushBytes(); c.font = param; return; }
    if (w == Word::cf && hasParam) { flushBytes(); c.fg = param; return; }
    if ((w == Word::cb || w == Word::highlight || w == Word::chcbpat) && hasParam) { flushBytes(); c.bg = param; return; }

    // Paragraph formatting.
    ParaState &p = s.para;
    if (w == Word::pard) { p = ParaState(); return; }
    if (w == Word::ql) { p.align = Qt::AlignLeft; return; }
    if (w == Word::qc) { p.align = Qt::AlignHCenter; return; }
    if (w == Word::qr) { p.align = Qt::AlignRight; return; }
    if (w == Word::qj) { p.align = Qt::AlignJustify; return; }
    if (!hasParam)
        return;
    const int twips = std::clamp(param, -MaxTwips, MaxTwips);
    if (w == Word::li) p.li = twips;
    else if (w == Word::ri) p.ri = twips;
    else if (w == Word::fi) p.fi = twips;
    else if (w == Word::sb) p.sb = twips;
    else if (w == Word::sa) p.sa = twips;
    else if (w == Word::sl) p.sl = twips;
    else if (w == Word::slmult) p.slMult = param != 0;
}

void Reader::pictureWord(Word w, bool hasParam, int param)
{
    PictureData &p = mPicture;
    if (w == Word::pict) st().dest = Dest::Skip;  // one picture at a time
    else if (w == Word::pngblip) p.kind = PictureKind::Png;
    else if (w == Word::jpegblip) p.kind = PictureKind::Jpeg;
    else if (w == Word::dibitmap) p.kind = PictureKind::Dib;
    else if (w == Word::wmetafile) p.kind = PictureKind::Wmf;
    else if (w == Word::emfblip) p.kind = PictureKind::Emf;
    else if (w == Word::wbitmap || w == Word::macpict || w == Word::pmmetafile) p.kind = PictureKind::Unsupported;
    else if (!hasParam) return;
    else if (w == Word::picw) p.picw = param;
    else if (w == Word::pich) p.pich = param;
    else if (w == Word::picwgoal) p.goalw = param;
    else if (w == Word::pichgoal) p.goalh = param;
    else if (w == Word::picscalex) p.scalex = param;
    else if (w == Word::picscaley) p.scaley = param;
}

void Reader::shapeWord(Word w, bool hasParam, int param)
{
    // {\sp{\sn pib}{\sv {\pict ...}}}: the shape's picture, shown where the
    // shape is anchored. Its other properties, and its result for readers
    // without shapes (\shprslt), are passed over.
    State &s = st();
    if (w == Word::sn && s.dest == Dest::Shape) {
        s.dest = Dest::ShapeName;
        mShapeName.clear();
    } else if (w == Word::sv && s.dest == Dest::Shape) {
        s.dest = mShapeName == "pib" ? Dest::ShapeValue : Dest::Skip;
    } else if (w == Word::pict && s.dest == Dest::ShapeValue && mPictureDepth == 0) {
        s.dest = Dest::Picture;
        mPicture = PictureData();
        // Shown at the shape's size unless the picture gives its own.
        mPicture.goalw = qint64(mShapeBox.right()) - mShapeBox.left();
        mPicture.goalh = qint64(mShapeBox.bottom()) - mShapeBox.top();
        mPictureDepth = mStack.size();
        mHexHigh = -1;
    } else if (w == Word::shprslt) {
        s.dest = Dest::Skip;
    } else if (hasParam && s.dest == Dest::Shape) {
        if (w == Word::shpleft) mShapeBox.setLeft(param);
        else if (w == Word::shptop) mShapeBox.setTop(param);
        else if (w == Word::shpright) mShapeBox.setRight(param);
        else if (w == Word::shpbottom) mShapeBox.setBottom(param);
    }
}

void Reader::finishPicture()
{
    mPictureDepth = 0;
    PictureData data = std::exchange(mPicture, PictureData());
    if (mHexHigh >= 0)
        data.damaged = true;  // an odd number of hex digits
    mHexHigh = -1;
    qint64 left = MaxDocumentPicturePixelBytes - mPicturePixelBytes;
    const DecodedPicture picture = DecodePicture(data, left);
    if (!picture.ok())
        return;  // left out; the text around it reads on
    mPicturePixelBytes = MaxDocumentPicturePixelBytes - left;
    flushText();
    mRuns.push_back({mParagraph.size(), PictureFormat(*mDoc, data, picture)});
    mParagraph.append(QChar::ObjectReplacementCharacter);
    mRunStart = mParagraph.size();
    mEndedWithPar = false;
}

void Reader::colorTableWord(Word w, int param)
{
    const int v = std::clamp(param, 0, 255);
    if (w == Word::red) mRed = v;
    else if (w == Word::green) mGreen = v;
    else if (w == Word::blue) mBlue = v;
}

void Reader::fontTableText(char c)
{
    if (c != ';') {
        mFontName.append(c);
        return;
    }
    if (mFontNumber >= 0) {
        FontEntry &f = mFonts[mFontNumber];
        f.name = decode(mFontName).trimmed().left(64);
        mCharFormats.clear();
    }
    mFontName.clear();
    mFontNumber = -1;
}

int Reader::currentCodePage() const
{
    const int font = mStack.back().chr.font >= 0 ? mStack.back().chr.font : mDefaultFont;
    const auto it = mFonts.find(font);
    if (it != mFonts.end() && it->second.codePage)
        return it->second.codePage;
    return mCodePage;
}

QString Reader::decode(const QByteArray &bytes) const
{
    const int page = currentCodePage();
    if (page != 1252 && page != 0) {
        // Other code pages through Qt's converters where it has them.
        QStringDecoder decoder(("windows-" + QByteArray::number(page)).constData());
        if (!decoder.isValid())
            decoder = QStringDecoder(("cp" + QByteArray::number(page)).constData());
        if (decoder.isValid()) {
            const QString s = decoder.decode(bytes);
            if (!decoder.hasError())
                return s;
        }
    }
    return streamcodec::fromCp1252(bytes);
}

void Reader::byte(char b)
{
    mStarred = false;
    switch (st().dest) {
    case Dest::Skip:
    case Dest::Shape:
    case Dest::ShapeValue: return;
    case Dest::ShapeName:
        if (mShapeName.size() < 32)
            mShapeName.append(b);
        return;
    case Dest::Picture: {
        if (mPicture.damaged || b == ' ' || b == '\t')
            return;
        int v = -1;
        if (b >= '0' && b <= '9') v = b - '0';
        else if (b >= 'a' && b <= 'f') v = b - 'a' + 10;
        else if (b >= 'A' && b <= 'F') v = b - 'A' + 10;
        if (v < 0) {
            mPicture.damaged = true;
            return;
        }
        if (mHexHigh < 0) {
            mHexHigh = v;
            return;
        }
        if (mPicture.bytes.size() >= MaxPictureDataBytes) {
            mPicture.damaged = true;
            return;
        }
        mPicture.bytes.append(char(mHexHigh * 16 + v));
        mHexHigh = -1;
        return;
    }
    case Dest::FontTable: fontTableText(b); return;
    case Dest::ColorTable:
        if (b == ';') {
            if (mRed < 0 && mGreen < 0 && mBlue < 0)
                mColors.push_back(QColor());
            else
                mColors.push_back(QColor(std::max(mRed, 0), std::max(mGreen, 0), std::max(mBlue, 0)));
            mRed = mGreen = mBlue = -1;
            mCharFormats.clear();
        }
        return;
    case Dest::Text:
        mBytes.append(b);
        return;
    }
}

bool Reader::takeCp1252(QByteArrayView bytes)
{
    if (!mHighSurrogate.isNull() || st().dest != Dest::Text)
        return false;
    const int page = currentCodePage();
    if (page != 1252 && page != 0)
        return false;
    static const std::array<char16_t, 256> cp1252 = [] {
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString s = streamcodec::fromCp1252(all);
        std::array<char16_t, 256> table;
        for (int i = 0; i < 256; ++i)
            table[size_t(i)] = s[i].unicode();
        return table;
    }();
    useCurrentFormat();
    const qsizetype start = mParagraph.size();
    mParagraph.resize(start + bytes.size());
    QChar *out = mParagraph.data() + start;
    for (const char b : bytes) {
        const char16_t c = cp1252[uchar(b)];
        // Control characters other than the tab carry nothing to show.
        if (c >= 0x20 || c == '\t')
            *out++ = QChar(c);
    }
    mParagraph.resize(out - mParagraph.constData());
    if (mParagraph.size() > start)
        mEndedWithPar = false;
    return true;
}

void Reader::flushBytes()
{
    if (mBytes.isEmpty())
        return;
    if (st().dest != Dest::Text) {
        mBytes.resize(0);
        return;
    }
    if (takeCp1252(mBytes)) {
        mBytes.resize(0);
        return;
    }
    const QString s = decode(mBytes);
    mBytes.resize(0);
    // Most text has no surrogates or control characters: taken whole.
    const bool plain = mHighSurrogate.isNull()
        && std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() >= 0x20 && !c.isSurrogate(); });
    if (plain && !s.isEmpty()) {
        useCurrentFormat();
        mParagraph.append(s);
        mEndedWithPar = false;
        return;
    }
    for (QChar c : s)
        text(c);
}

void Reader::useCurrentFormat()
{
    const CharState &cs = st().chr;
    if (mHaveTextFormat && cs == mTextFormat)
        return;
    flushText();
    mTextFormat = cs;
    mHaveTextFormat = true;
}

void Reader::text(QChar c)
{
    if (st().dest != Dest::Text)
        return;
    flushBytes();
    // Surrogates only in pairs; a lone one becomes the replacement character.
    if (c.isHighSurrogate()) {
        if (!mHighSurrogate.isNull())
            text(QChar(0xFFFD));
        mHighSurrogate = c;
        return;
    }
    QChar high = std::exchange(mHighSurrogate, QChar());
    if (c.isLowSurrogate() && high.isNull())
        c = QChar(0xFFFD);
    else if (!high.isNull() && !c.isLowSurrogate())
        text(QChar(0xFFFD));

    useCurrentFormat();
    if (!high.isNull() && c.isLowSurrogate())
        mParagraph.append(high);
    if (c.unicode() < 0x20 && c != QChar('\t'))
        return;  // other control characters carry nothing to show
    mParagraph.append(c);
    mEndedWithPar = false;
}

void Reader::flushText()
{
    if (mParagraph.size() == mRunStart)
        return;
    mRuns.push_back({mRunStart, charFormat(mTextFormat)});
    mRunStart = mParagraph.size();
}

void Reader::writeParagraph(const QTextBlockFormat &bf, const QTextCharFormat &cf)
{
    if (mFirstBlock) {
        mCursor.setBlockFormat(bf);
        mCursor.setBlockCharFormat(cf);
        mFirstBlock = false;
    } else {
        mCursor.insertBlock(bf, cf);
    }
    for (size_t i = 0; i < mRuns.size(); ++i) {
        const qsizetype start = mRuns[i].start;
        const qsizetype end = i + 1 < mRuns.size() ? mRuns[i + 1].start : mParagraph.size();
        // The document copies the text: a view of the paragraph will do.
        mCursor.insertText(QString::fromRawData(mParagraph.constData() + start, end - start), mRuns[i].format);
    }
    mRuns.clear();
    mParagraph.resize(0);
    mRunStart = 0;
}

void Reader::endParagraph()
{
    if (st().dest != Dest::Text)
        return;
    flushBytes();
    flushText();
    // The paragraph mark takes the character format in force at \par, so
    // an empty paragraph keeps its font size.
    writeParagraph(blockFormat(st().para), charFormat(st().chr));
    mEndedWithPar = true;
}

const QTextCharFormat &Reader::charFormat(const CharState &s)
{
    auto [it, added] = mCharFormats.try_emplace(s);
    if (added) {
        it->second = makeCharFormat(s);
        // A format keeps its hash once computed, and so does every copy
        // of it. The document copies a character format at each insertion
        // and looks the copy up by its hash: comparing the format once
        // here spares hashing all its properties at every run.
        static const QTextCharFormat other = [] {
            QTextCharFormat f;
            f.setFontFixedPitch(true);
            return f;
        }();
        (void)(it->second == other);
    }
    return it->second;
}

const QTextBlockFormat &Reader::blockFormat(const ParaState &p)
{
    auto [it, added] = mBlockFormats.try_emplace(p);
    if (added)
        it->second = makeBlockFormat(p);
    return it->second;
}

QTextCharFormat Reader::makeCharFormat(const CharState &s) const
{
    QTextCharFormat f;
    auto font = mFonts.find(s.font >= 0 ? s.font : mDefaultFont);
    if (font == mFonts.end())
        font = mFonts.find(mDefaultFont);
    if (font != mFonts.end() && !font->second.name.isEmpty()) {
        f.setFontFamilies({font->second.name});
        f.setFontStyleHint(font->second.hint);
    }
    f.setFontPointSize(std::clamp(s.halfPoints / 2.0, MinFontPoints, MaxFontPoints));
    f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(s.italic);
    f.setFontUnderline(s.underline);
    f.setFontStrikeOut(s.strike);
    if (s.vertical == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    else if (s.vertical == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    if (s.fg > 0 && size_t(s.fg) < mColors.size() && mColors[size_t(s.fg)].isValid())
        f.setForeground(mColors[size_t(s.fg)]);
    if (s.bg > 0 && size_t(s.bg) < mColors.size() && mColors[size_t(s.bg)].isValid())
        f.setBackground(mColors[size_t(s.bg)]);
    return f;
}

QTextBlockFormat Reader::makeBlockFormat(const ParaState &p) const
{
    QTextBlockFormat f;
    f.setAlignment(p.align);
    f.setLeftMargin(TwipsToUnits(std::max(p.li, 0)));
    f.setRightMargin(TwipsToUnits(std::max(p.ri, 0)));
    f.setTextIndent(TwipsToUnits(p.fi));
    f.setTopMargin(TwipsToUnits(std::max(p.sb, 0)));
    f.setBottomMargin(TwipsToUnits(std::max(p.sa, 0)));
    if (p.sl != 0) {
        if (p.slMult && p.sl > 0)
            f.setLineHeight(std::min(p.sl * 100.0 / 240.0, 1000.0), QTextBlockFormat::ProportionalHeight);
        else if (p.sl < 0)
            f.setLineHeight(TwipsToUnits(-p.sl), QTextBlockFormat::FixedHeight);
        else
            f.setLineHeight(TwipsToUnits(p.sl), QTextBlockFormat::MinimumHeight);
    }
    return f;
}

}  // namespace

ReadResult Read(const QByteArray &bytes)
{
    return Reader(bytes).run();
}

}  // namespace rtf
