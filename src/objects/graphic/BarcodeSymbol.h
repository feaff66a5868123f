#pragma once
// Barcode symbols on libzint: the symbologies Zint offers, grouped for the
// properties dialog, and one symbol encoded into Zint's vector output and
// drawn with a painter (bars stay vectors on the screen, in PDF and SVG).
// No widgets; the barcode object, its dialog and qmtool share it.

#include <QColor>
#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

namespace barcode {

enum class TGroup { Linear, TwoD, Postal, GS1 };

struct TSymbology
{
    int id = 0;          // Zint's BARCODE_ number
    QString name;        // Zint's name without "BARCODE_", e.g. "CODE128"
    QString caption;     // e.g. "Code 128"
    TGroup group = TGroup::Linear;
};

// Every symbology this Zint offers, group by group (linear, 2-D, postal, GS1).
const QList<TSymbology> &Symbologies();
const TSymbology *FindSymbology(int id);
// "code128", "BARCODE_CODE128", "Code128" ... (any case), and "azteccode"
// for Aztec Code; nullopt for none.
std::optional<int> SymbologyByName(const QString &name);
QString GroupCaption(TGroup group);

// What a symbology lets the user choose beyond its data.
bool HasCheckDigitOption(int id);
bool IsGS1Symbology(int id);     // always GS1 data (GS1-128, DataBar, ...)
bool AcceptsGS1Mode(int id);     // GS1 data may be chosen
bool IsFixedRatio(int id);       // 2-D symbols drawn at their own aspect
// The range of the error correction level (0 = Zint's choice); {0, 0} for none.
struct TRange { int min = 0, max = 0; bool isEmpty() const { return max <= min; } };
TRange ErrorCorrectionRange(int id);
// The range of the symbol size or version (0 = the smallest that holds the data).
TRange SizeRange(int id);

struct TOptions
{
    int symbology = 20;    // BARCODE_CODE128
    QString data;
    bool showText = true;
    bool quietZones = true;
    bool checkDigit = false;
    int errorCorrection = 0;
    int size = 0;
    bool gs1 = false;
    int angle = 0;         // 0, 90, 180, 270 clockwise
    bool operator==(const TOptions &) const = default;
};

// One encoded symbol in Zint's vector units (two to a module), already
// rotated; error is Zint's message when the data does not fit.
struct TSymbol
{
    struct Text
    {
        QPointF pos;          // baseline point, aligned by halign
        double size = 0;      // em size
        double width = 0;     // room Zint leaves for it (0 = any)
        int halign = 0;       // 0 centre, 1 left, 2 right
        int rotation = 0;
        QString text;
    };
    QString error;
    QSizeF size;
    QPainterPath foreground;
    QPainterPath background;   // drawn over the foreground in the background colour
    QList<QPair<QColor, QPainterPath>> colored;   // Ultracode's coloured modules
    QList<Text> texts;
    bool ok() const { return error.isEmpty(); }
};

// Encodes `o`. With moduleInches = 0 the bars of a linear symbol are made as
// high as a symbol filling a frame of frameInches takes; otherwise as high
// as the frame at that module width. 2-D symbols keep their own shape.
TSymbol Encode(const TOptions &o, QSizeF frameInches, double moduleInches);

// Px per vector unit when `symbol` is drawn into `target` (device pixels at
// pixelsPerInch): fitted, or at the given module width.
double DrawScale(const TSymbol &symbol, const QRectF &target, double pixelsPerInch, double moduleInches);

struct TStyle
{
    QColor foreground = Qt::black;
    QColor background = Qt::white;   // transparent for none
    QFont font;                      // family and style of the text; its size follows the symbol
};

// Fills target with the background, then the symbol centred in it, clipped
// to it.
void Draw(QPainter &painter, const TSymbol &symbol, const QRectF &target, double scale,
          const TStyle &style);

// The crossed box an invalid symbol is drawn as, with the message inside.
void DrawInvalid(QPainter &painter, const QRectF &target, const QString &message, const QColor &color);

}  // namespace barcode
