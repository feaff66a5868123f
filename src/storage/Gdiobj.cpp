#include "Gdiobj.h"

#include "graphics/Bmp.h"

#include "Stream.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

#include <cstdlib>

const TIdentList PenStyleIdents = {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot",
                                   "psClear", "psInsideFrame"};
const TIdentList PenModeIdents = {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy",
                                  "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen",
                                  "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor"};
const TIdentList BrushStyleIdents = {"bsSolid", "bsClear", "bsHorizontal", "bsVertical",
                                     "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"};
const TIdentList FontPitchIdents = {"fpDefault", "fpVariable", "fpFixed"};
const TIdentList FontStyleIdents = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

namespace {

const char *const BitmapNotValid = "Bitmap image is not valid";
const char *const StreamReadError = "Stream read error";

[[noreturn]] void fail(const char *message)
{
    throw EStreamError(QString::fromLatin1(message));
}

struct CharsetName { int value; const char *name; };
const CharsetName CharsetNames[] = {
    {ANSI_CHARSET, "ANSI_CHARSET"}, {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, "SYMBOL_CHARSET"}, {MAC_CHARSET, "MAC_CHARSET"},
    {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"}, {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
    {JOHAB_CHARSET, "JOHAB_CHARSET"}, {GB2312_CHARSET, "GB2312_CHARSET"},
    {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"}, {GREEK_CHARSET, "GREEK_CHARSET"},
    {TURKISH_CHARSET, "TURKISH_CHARSET"}, {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
    {HEBREW_CHARSET, "HEBREW_CHARSET"}, {ARABIC_CHARSET, "ARABIC_CHARSET"},
    {BALTIC_CHARSET, "BALTIC_CHARSET"}, {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
    {THAI_CHARSET, "THAI_CHARSET"}, {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
    {OEM_CHARSET, "OEM_CHARSET"}};

// System colours in label objects (a new text's clWindowText, a
// clWindow background) resolve to the classic light scheme, never to the
// desktop's palette: a label prints as it was designed, and on a dark
// desktop its text would otherwise turn light grey on the page.
const QRgb ClassicSystemColors[25] = {
    qRgb(212, 208, 200), qRgb(58, 110, 165), qRgb(10, 36, 106), qRgb(128, 128, 128),
    qRgb(212, 208, 200), qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(0, 0, 0),
    qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(212, 208, 200), qRgb(212, 208, 200),
    qRgb(128, 128, 128), qRgb(10, 36, 106), qRgb(255, 255, 255), qRgb(212, 208, 200),
    qRgb(128, 128, 128), qRgb(128, 128, 128), qRgb(0, 0, 0), qRgb(212, 208, 200),
    qRgb(255, 255, 255), qRgb(64, 64, 64), qRgb(212, 208, 200), qRgb(0, 0, 0),
    qRgb(255, 255, 225)};

QColor systemColor(int index)
{
    if (index < 0 || index >= 25)
        return QColor(Qt::black);
    return QColor(ClassicSystemColors[index]);
}

// Windows' MulDiv: a * b / c rounded half away from zero.
int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    qint64 product = qint64(a) * b;
    qint64 divisor = c;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const qint64 half = divisor / 2;
    return int(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

quint32 readLE(const QByteArray &bytes, qsizetype offset, int size)
{
    quint32 v = 0;
    for (int i = 0; i < size; ++i)
        v |= quint32(quint8(bytes[offset + i])) << (8 * i);
    return v;
}

std::vector<std::pair<QByteArray, TPicture::GraphicFactory>> &graphicClasses()
{
    static std::vector<std::pair<QByteArray, TPicture::GraphicFactory>> classes = {
        {"TBitmap", [] { return std::make_unique<TBitmap>(); }}};
    return classes;
}

const TPropertyTable &emptyTable()
{
    static const TPropertyTable table(nullptr, {});
    return table;
}

}  // namespace

bool CharsetToIdent(int charset, QByteArray *ident)
{
    for (const CharsetName &n : CharsetNames)
        if (n.value == charset) {
            *ident = n.name;
            return true;
        }
    return false;
}

bool IdentToCharset(const QByteArray &ident, qint64 *charset)
{
    for (const CharsetName &n : CharsetNames)
        if (ident.compare(n.name, Qt::CaseInsensitive) == 0) {
            *charset = n.value;
            return true;
        }
    return false;
}

QColor ColorToQColor(TColor c)
{
    const auto v = quint32(c);
    if (v == quint32(cl::None))
        return QColor(Qt::transparent);
    if (v & 0x80000000u)
        return systemColor(int(v & 0xFF));
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

TColor QColorToColor(const QColor &c)
{
    return TColor(c.red() | (c.green() << 8) | (c.blue() << 16));
}

const TPropertyTable &TFont::Properties() const
{
    static const TPropertyTable table(nullptr, [] {
        std::vector<TPropInfo> p;
        TPropInfo charset = props::integer("Charset", &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET);
        charset.identToInt = IdentToCharset;
        p.push_back(std::move(charset));
        p.push_back(props::color("Color", &TFont::Color, &TFont::SetColor, std::nullopt));
        p.push_back(props::integer("Height", &TFont::Height, &TFont::SetHeight, std::nullopt));
        p.push_back(props::string("Name", &TFont::Name, &TFont::SetName));
        p.push_back(props::enumeration("Pitch", FontPitchIdents, &TFont::Pitch, &TFont::SetPitch, fpDefault));
        // Size follows from Height; it is read when present but never written.
        TPropInfo size = props::integer("Size", &TFont::Size, &TFont::SetSize, std::nullopt);
        size.stored = [](const TPersistent &) { return false; };
        p.push_back(std::move(size));
        p.push_back(props::set("Style", FontStyleIdents, &TFont::Style, &TFont::SetStyle, 0));
        return p;
    }());
    return table;
}

void TFont::Assign(const TFont &other)
{
    mCharset = other.mCharset;
    mColor = other.mColor;
    mHeight = other.mHeight;
    mName = other.mName;
    mPitch = other.mPitch;
    mStyle = other.mStyle;
    Changed();
}

void TFont::SetCharset(int v)
{
    if (v == mCharset)
        return;
    mCharset = v;
    Changed();
}

void TFont::SetColor(TColor v)
{
    if (v == mColor)
        return;
    mColor = v;
    Changed();
}

void TFont::SetHeight(int v)
{
    if (v == mHeight)
        return;
    mHeight = v;
    Changed();
}

void TFont::SetName(const QString &v)
{
    if (v == mName)
        return;
    mName = v;
    Changed();
}

void TFont::SetPitch(TFontPitch v)
{
    if (v == mPitch)
        return;
    mPitch = v;
    Changed();
}

void TFont::SetStyle(TFontStyles v)
{
    v &= 0x0F;
    if (v == mStyle)
        return;
    mStyle = v;
    Changed();
}

int TFont::Size() const
{
    return -mulDiv(mHeight, 72, PixelsPerInch());
}

void TFont::SetSize(int points)
{
    SetHeight(-mulDiv(points, PixelsPerInch(), 72));
}

int TFont::PixelsPerInch()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            return qRound(screen->logicalDotsPerInch());
    return 96;
}

QFont TFont::ToQFont() const
{
    QFont font(mName);
    // A negative height is the character height, which is what Qt's pixel
    // size means; a positive one is the cell height, taken as it is.
    if (mHeight != 0)
        font.setPixelSize(std::abs(mHeight));
    font.setBold(mStyle & (1u << fsBold));
    font.setItalic(mStyle & (1u << fsItalic));
    font.setUnderline(mStyle & (1u << fsUnderline));
    font.setStrikeOut(mStyle & (1u << fsStrikeOut));
    if (mPitch == fpFixed)
        font.setFixedPitch(true);
    return font;
}

const TPropertyTable &TPen::Properties() const
{
    static const TPropertyTable table(nullptr, {
        props::color("Color", &TPen::Color, &TPen::SetColor, cl::Black),
        props::enumeration("Mode", PenModeIdents, &TPen::Mode, &TPen::SetMode, pmCopy),
        props::enumeration("Style", PenStyleIdents, &TPen::Style, &TPen::SetStyle, psSolid),
        props::integer("Width", &TPen::Width, &TPen::SetWidth, 1),
    });
    return table;
}

void TPen::Assign(const TPen &other)
{
    mColor = other.mColor;
    mMode = other.mMode;
    mStyle = other.mStyle;
    mWidth = other.mWidth;
    Changed();
}

void TPen::SetColor(TColor v)
{
    if (v == mColor)
        return;
    mColor = v;
    Changed();
}

void TPen::SetMode(TPenMode v)
{
    if (v == mMode)
        return;
    mMode = v;
    Changed();
}

void TPen::SetStyle(TPenStyle v)
{
    if (v == mStyle)
        return;
    mStyle = v;
    Changed();
}

void TPen::SetWidth(int v)
{
    if (v == mWidth)
        return;
    mWidth = v;
    Changed();
}

QPen TPen::ToQPen() const
{
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine, Qt::NoPen, Qt::SolidLine};
    QPen pen(ColorToQColor(mColor));
    pen.setWidth(qMax(mWidth, 0));
    pen.setStyle(mStyle >= psSolid && mStyle <= psInsideFrame ? styles[mStyle] : Qt::SolidLine);
    return pen;
}

const TPropertyTable &TBrush::Properties() const
{
    static const TPropertyTable table(nullptr, {
        props::color("Color", &TBrush::Color, &TBrush::SetColor, cl::White),
        props::enumeration("Style", BrushStyleIdents, &TBrush::Style, &TBrush::SetStyle, bsSolid),
    });
    return table;
}

void TBrush::Assign(const TBrush &other)
{
    mColor = other.mColor;
    mStyle = other.mStyle;
    Changed();
}

void TBrush::SetColor(TColor v)
{
    if (v == mColor)
        return;
    mColor = v;
    Changed();
}

void TBrush::SetStyle(TBrushStyle v)
{
    if (v == mStyle)
        return;
    mStyle = v;
    Changed();
}

QBrush TBrush::ToQBrush() const
{
    static const Qt::BrushStyle styles[] = {Qt::SolidPattern, Qt::NoBrush, Qt::HorPattern,
                                            Qt::VerPattern, Qt::FDiagPattern, Qt::BDiagPattern,
                                            Qt::CrossPattern, Qt::DiagCrossPattern};
    const Qt::BrushStyle style = mStyle >= bsSolid && mStyle <= bsDiagCross ? styles[mStyle] : Qt::SolidPattern;
    return QBrush(ColorToQColor(mColor), style);
}

const TPropertyTable &TStrings::Properties() const
{
    return emptyTable();
}

void TStrings::WriteDefinedProperties(PropertyWriter &writer, const QByteArray &path) const
{
    if (mLines.isEmpty())
        return;
    writer.writePropName(path + "Strings");
    writer.writeListBegin();
    for (const QString &line : mLines)
        writer.writeString(line);
    writer.writeListEnd();
}

bool TStrings::ReadDefinedProperty(PropertyReader &reader, const QByteArray &name)
{
    if (name.compare("Strings", Qt::CaseInsensitive) != 0)
        return false;
    QStringList lines;
    reader.readListBegin();
    while (!reader.endOfList())
        lines.append(reader.readString());
    reader.readListEnd();
    SetLines(lines);
    return true;
}

void TStrings::SetLines(const QStringList &lines)
{
    if (lines == mLines)
        return;
    mLines = lines;
    Changed();
}

QString TStrings::Text() const
{
    QString text;
    for (const QString &line : mLines)
        text += line + QStringLiteral("\r\n");
    return text;
}

void TStrings::SetText(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(breaks);
    // A final line break ends the last line rather than starting an empty one.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    SetLines(lines);
}

const TPropertyTable &TGraphic::Properties() const
{
    return emptyTable();
}

void TGraphic::Draw(QPainter &painter, const QRectF &target) const
{
    const QImage image = ToImage();
    if (!image.isNull())
        painter.drawImage(target, image, QRectF(image.rect()));
}

const TPropertyTable &TBitmap::Properties() const
{
    return emptyTable();
}

void TBitmap::WriteDefinedProperties(PropertyWriter &writer, const QByteArray &path) const
{
    if (IsEmpty())
        return;
    writer.writePropName(path + "Data");
    writer.writeBinary(SaveData());
}

bool TBitmap::ReadDefinedProperty(PropertyReader &reader, const QByteArray &name)
{
    if (name.compare("Data", Qt::CaseInsensitive) != 0)
        return false;
    LoadData(reader.readBinary());
    return true;
}

QByteArray TBitmap::SaveData() const
{
    QByteArray data;
    const auto size = quint32(mFileImage.size());
    for (int i = 0; i < 4; ++i)
        data.append(char((size >> (8 * i)) & 0xFF));
    data.append(mFileImage);
    return data;
}

void TBitmap::LoadData(QByteArray data)
{
    if (data.size() < 4)
        fail(StreamReadError);
    const auto size = qint32(readLE(data, 0, 4));
    if (size < 0 || size > data.size() - 4)
        fail(StreamReadError);
    if (size == 0) {
        Clear();
        return;
    }
    // Dropping the front of bytes nobody else holds moves no data.
    data.remove(0, 4);
    data.truncate(size);
    LoadFromFileImage(data);
}

void TBitmap::WriteData(PropertyWriter &writer) const
{
    writer.writeRaw(SaveData());
}

void TBitmap::ReadData(PropertyReader &reader)
{
    const qint32 size = reader.readInt32Raw();
    const QByteArray image = reader.readBytes(size);
    if (size == 0)
        Clear();
    else
        LoadFromFileImage(image);
}

void TBitmap::LoadFromFileImage(const QByteArray &bmp)
{
    graphics::BitmapResult decoded = graphics::DecodeBmp(bmp);
    if (!decoded.ok())
        fail(BitmapNotValid);
    mFileImage = bmp;
    mImage = decoded.image;
    mBitsPerPixel = decoded.bitsPerPixel;
    mColors = decoded.colors;
    Changed();
}

void TBitmap::SetImage(const QImage &image)
{
    if (image.isNull()) {
        Clear();
        return;
    }
    LoadFromFileImage(graphics::EncodeBmp(image));
}

void TBitmap::Clear()
{
    if (mFileImage.isEmpty() && mImage.isNull())
        return;
    mFileImage.clear();
    mImage = QImage();
    mBitsPerPixel = mColors = 0;
    Changed();
}

void TPicture::RegisterGraphicClass(const QByteArray &className, GraphicFactory factory)
{
    auto &classes = graphicClasses();
    for (auto &entry : classes)
        if (entry.first == className) {
            entry.second = std::move(factory);
            return;
        }
    classes.emplace_back(className, std::move(factory));
}

const TPropertyTable &TPicture::Properties() const
{
    return emptyTable();
}

QByteArray TPicture::SaveData() const
{
    if (IsEmpty())
        return {};
    const QByteArray name = mGraphic->ClassName().left(63);
    QByteArray payload;
    payload.append(char(name.size()));
    payload.append(name);
    payload.append(mGraphic->SaveData());
    return payload;
}

void TPicture::LoadData(QByteArray payload)
{
    if (payload.isEmpty())
        fail(StreamReadError);
    const int nameLength = quint8(payload[0]);
    if (nameLength > payload.size() - 1)
        fail(StreamReadError);
    const QByteArray name = payload.mid(1, nameLength);
    for (const auto &entry : graphicClasses())
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0) {
            std::unique_ptr<TGraphic> graphic = entry.second();
            payload.remove(0, 1 + nameLength);
            graphic->LoadData(std::move(payload));
            SetGraphic(std::move(graphic));
            return;
        }
    Clear();  // a picture class this program does not know
}

void TPicture::WriteDefinedProperties(PropertyWriter &writer, const QByteArray &path) const
{
    if (IsEmpty())
        return;
    writer.writePropName(path + "Data");
    writer.writeBinary(SaveData());
}

bool TPicture::ReadDefinedProperty(PropertyReader &reader, const QByteArray &name)
{
    if (name.compare("Data", Qt::CaseInsensitive) != 0)
        return false;
    LoadData(reader.readBinary());
    return true;
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic)
{
    mGraphic = std::move(graphic);
    if (mGraphic)
        mGraphic->OnChange = [this] { Changed(); };
    Changed();
}

void TPicture::Assign(const TPicture &other)
{
    if (&other == this)
        return;
    if (other.IsEmpty())
        Clear();
    else
        LoadData(other.SaveData());
}

void TPicture::Clear()
{
    if (!mGraphic)
        return;
    mGraphic.reset();
    Changed();
}
