#pragma once
// The drawing sub-objects that label objects publish: font, pen, brush,
// string list, picture and bitmap. Each is a TPersistent with its own
// property table, so the stream writes them as "Font.Name", "Pen.Width" ...

#include "Persist.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QStringList>

#include <functional>
#include <memory>

// 0x00BBGGRR, or a system colour index with the top bit set.
using TColor = qint32;

namespace cl {
constexpr TColor Black = 0x000000, Maroon = 0x000080, Green = 0x008000, Olive = 0x008080,
                 Navy = 0x800000, Purple = 0x800080, Teal = 0x808000, Gray = 0x808080,
                 Silver = 0xC0C0C0, Red = 0x0000FF, Lime = 0x00FF00, Yellow = 0x00FFFF,
                 Blue = 0xFF0000, Fuchsia = 0xFF00FF, Aqua = 0xFFFF00, White = 0xFFFFFF;
constexpr TColor None = 0x1FFFFFFF;
constexpr TColor BtnFace = TColor(0x8000000F), WindowText = TColor(0x80000008),
                 Window = TColor(0x80000005);
}

// Plain colours map directly; system colours through the application palette.
QColor ColorToQColor(TColor c);
TColor QColorToColor(const QColor &c);

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
                pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
                   bsDiagCross };
enum TFontPitch { fpDefault, fpVariable, fpFixed };
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = quint32;  // bit (1 << TFontStyle)
enum : int { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, MAC_CHARSET = 77,
             SHIFTJIS_CHARSET = 128, HANGEUL_CHARSET = 129, JOHAB_CHARSET = 130,
             GB2312_CHARSET = 134, CHINESEBIG5_CHARSET = 136, GREEK_CHARSET = 161,
             TURKISH_CHARSET = 162, VIETNAMESE_CHARSET = 163, HEBREW_CHARSET = 177,
             ARABIC_CHARSET = 178, BALTIC_CHARSET = 186, RUSSIAN_CHARSET = 204,
             THAI_CHARSET = 222, EASTEUROPE_CHARSET = 238, OEM_CHARSET = 255 };

// Character sets by name ("ANSI_CHARSET"); the stream stores them as numbers.
bool CharsetToIdent(int charset, QByteArray *ident);
bool IdentToCharset(const QByteArray &ident, qint64 *charset);

extern const TIdentList PenStyleIdents, PenModeIdents, BrushStyleIdents, FontPitchIdents,
    FontStyleIdents;

// Common base: a change callback the owning object uses to repaint.
class TGraphicsObject : public TPersistent
{
public:
    std::function<void()> OnChange;
protected:
    void Changed() { if (OnChange) OnChange(); }
};

class TFont : public TGraphicsObject
{
public:
    QByteArray ClassName() const override { return "TFont"; }
    const TPropertyTable &Properties() const override;
    void Assign(const TFont &other);  // copies every attribute, then Changed()

    int Charset() const { return mCharset; }
    void SetCharset(int v);
    TColor Color() const { return mColor; }
    void SetColor(TColor v);
    int Height() const { return mHeight; }  // pixels; negative = character height
    void SetHeight(int v);
    QString Name() const { return mName; }
    void SetName(const QString &v);
    TFontPitch Pitch() const { return mPitch; }
    void SetPitch(TFontPitch v);
    TFontStyles Style() const { return mStyle; }
    void SetStyle(TFontStyles v);
    // Points at the screen's logical resolution (96 ppi in tests):
    // Size = -MulDiv(Height, 72, ppi); SetSize sets Height = -MulDiv(size, ppi, 72).
    int Size() const;
    void SetSize(int points);
    static int PixelsPerInch();  // logical screen resolution, 96 without a screen

    // The font as Qt draws it; the height becomes a pixel size.
    QFont ToQFont() const;

private:
    int mCharset = DEFAULT_CHARSET;
    TColor mColor = cl::WindowText;
    int mHeight = -13;  // 10 points at 96 ppi
    QString mName = QStringLiteral("MS Sans Serif");
    TFontPitch mPitch = fpDefault;
    TFontStyles mStyle = 0;
};

class TPen : public TGraphicsObject
{
public:
    QByteArray ClassName() const override { return "TPen"; }
    const TPropertyTable &Properties() const override;
    void Assign(const TPen &other);

    TColor Color() const { return mColor; }
    void SetColor(TColor v);
    TPenMode Mode() const { return mMode; }
    void SetMode(TPenMode v);
    TPenStyle Style() const { return mStyle; }
    void SetStyle(TPenStyle v);
    int Width() const { return mWidth; }
    void SetWidth(int v);

    // Colour, dash style and width as a QPen (the mode is the painter's business).
    QPen ToQPen() const;

private:
    TColor mColor = cl::Black;
    TPenMode mMode = pmCopy;
    TPenStyle mStyle = psSolid;
    int mWidth = 1;
};

class TBrush : public TGraphicsObject
{
public:
    QByteArray ClassName() const override { return "TBrush"; }
    const TPropertyTable &Properties() const override;
    void Assign(const TBrush &other);

    TColor Color() const { return mColor; }
    void SetColor(TColor v);
    TBrushStyle Style() const { return mStyle; }
    void SetStyle(TBrushStyle v);

    QBrush ToQBrush() const;

private:
    TColor mColor = cl::White;
    TBrushStyle mStyle = bsSolid;
};

// A list of lines; stored as the defined property "Strings".
class TStrings : public TGraphicsObject
{
public:
    QByteArray ClassName() const override { return "TStringList"; }
    const TPropertyTable &Properties() const override;
    void WriteDefinedProperties(PropertyWriter &writer, const QByteArray &path) const override;
    bool ReadDefinedProperty(PropertyReader &reader, const QByteArray &name) override;

    const QStringList &Lines() const { return mLines; }
    void SetLines(const QStringList &lines);
    QString Text() const;  // lines joined with "\r\n"
    void SetText(const QString &text);  // split at "\r\n", "\n" or "\r"

private:
    QStringList mLines;
};

// Any picture class that can live inside a TPicture ("TBitmap", and the
// classes that later subsystems register).
class TGraphic : public TGraphicsObject
{
public:
    virtual bool IsEmpty() const = 0;
    virtual QImage ToImage() const = 0;
    virtual QSize Size() const = 0;
    virtual QByteArray SaveData() const = 0;               // the picture's own data
    // Throws EStreamError. Takes the bytes by value: a graphic keeps what it
    // is handed without copying it when the caller lets it go.
    virtual void LoadData(QByteArray data) = 0;
    // Draws the picture scaled into `target`: a bitmap pixel for pixel, a
    // vector picture as vectors.
    virtual void Draw(QPainter &painter, const QRectF &target) const;
    virtual bool IsVector() const { return false; }
    const TPropertyTable &Properties() const override;
};

// A bitmap held as the file image it was read from (so it is written back
// byte for byte) plus the decoded picture.
class TBitmap : public TGraphic
{
public:
    QByteArray ClassName() const override { return "TBitmap"; }
    const TPropertyTable &Properties() const override;
    void WriteDefinedProperties(PropertyWriter &writer, const QByteArray &path) const override;
    bool ReadDefinedProperty(PropertyReader &reader, const QByteArray &name) override;

    bool IsEmpty() const override { return mFileImage.isEmpty(); }
    QImage ToImage() const override { return mImage; }
    QSize Size() const override { return mImage.size(); }
    QByteArray SaveData() const override;               // 4-byte size + file image
    void LoadData(QByteArray data) override;
    const QImage &Image() const { return mImage; }
    const QByteArray &FileImage() const { return mFileImage; }
    // Throws EStreamError("Bitmap image is not valid") on a bad header.
    void LoadFromFileImage(const QByteArray &bmp);
    void SetImage(const QImage &image);  // encodes a BMP file image
    void Clear();
    int BitsPerPixel() const { return mBitsPerPixel; }
    int Colors() const { return mColors; }  // palette entries of the file image

    // Own data: 4-byte size S, then S bytes of a BMP file image (0 = empty).
    void WriteData(PropertyWriter &writer) const;
    void ReadData(PropertyReader &reader);

private:
    QByteArray mFileImage;
    QImage mImage;
    int mBitsPerPixel = 0;
    int mColors = 0;
};

// A picture holding any registered graphic; stored as the defined property
// "Data": short class name, then that graphic's own data.
class TPicture : public TGraphicsObject
{
public:
    using GraphicFactory = std::function<std::unique_ptr<TGraphic>()>;
    static void RegisterGraphicClass(const QByteArray &className, GraphicFactory factory);

    QByteArray ClassName() const override { return "TPicture"; }
    const TPropertyTable &Properties() const override;
    void WriteDefinedProperties(PropertyWriter &writer, const QByteArray &path) const override;
    bool ReadDefinedProperty(PropertyReader &reader, const QByteArray &name) override;

    // Writes or reads the "Data" payload: short class name + the graphic's own data.
    QByteArray SaveData() const;
    void LoadData(QByteArray payload);

    TGraphic *Graphic() const { return mGraphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    void Assign(const TPicture &other);  // a copy of the other's graphic
    bool IsEmpty() const { return !mGraphic || mGraphic->IsEmpty(); }
    void Clear();

private:
    std::unique_ptr<TGraphic> mGraphic;
};
