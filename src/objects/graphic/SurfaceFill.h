#pragma once
// Surface fills shared by the decorative objects (SuperText, SuperShape):
// the 256-band two-colour gradient, texture tiling, and the three layers
// (shadow, fill clipped to a path, outline) drawn over a QPainterPath on the
// screen or on a print page. Print output stays vector: a gradient is one
// linear shading over the path, and only textures are images, drawn from
// one QImage so the PDF writer embeds each texture once.

#include "storage/Gdiobj.h"
#include "storage/Persist.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPen>
#include <QRect>
#include <QRectF>
#include <QRgb>

#include <functional>
#include <memory>

class QPainter;

enum TFillDirection { gdUp, gdDown, gdLeft, gdRight };
extern const TIdentList FillDirectionIdents;

namespace surfacefill {

// Bands of every gradient.
constexpr int Bands = 256;
// Largest side of a screen gradient strip, and most texture tiles drawn on a
// print page for one fill before the texture is repeated into a larger tile.
constexpr int MaxStripLength = 1 << 16;
constexpr int MaxPrintTiles = 4096;
// A texture side larger than this is drawn from a copy scaled down to it.
constexpr int MaxTextureSide = 4096;

// Columns (gdLeft, gdRight) or rows (gdUp, gdDown).
inline bool BandsAreColumns(TFillDirection d) { return d == gdLeft || d == gdRight; }

// The start and end colours of band 0 and band 255, system colours resolved:
// gdDown and gdRight run from `from` to `to`, gdUp and gdLeft the other way.
struct Ends
{
    QRgb start = 0, end = 0;
};
Ends GradientEnds(TFillDirection d, TColor from, TColor to);

// Band i covers [BandEdge(i, extent), BandEdge(i + 1, extent)) along the
// gradient: MulDiv(i, extent, 256).
int BandEdge(int i, int extent);
// Band i's colour: each channel start + MulDiv(i, end - start, 255), low 8 bits.
QRgb BandColor(int i, QRgb start, QRgb end);

// The screen gradient of an object of `size`: a strip one pixel across the
// bands (W x 1 for columns, 1 x H for rows) which, tiled from (0, 0), is the
// W x H gradient bitmap. A side of 0 gives a null image; the length is
// bounded by MaxStripLength.
QImage GradientStrip(QSize size, TFillDirection d, TColor from, TColor to);
// The whole W x H bitmap (each side bounded by MaxStripLength), for callers
// that want it; the strip draws the same.
QImage GradientBitmap(QSize size, TFillDirection d, TColor from, TColor to);

// Fills `area` band by band with vector rectangles, the bands exactly as
// the screen strip has them (print pages use PrintGradient).
// Neighbouring bands of the same colour become one rectangle; when
// `visible` is given, bands that lie wholly outside it are left out (the
// caller clips to it, so nothing visible changes).
void FillGradientBands(QPainter &p, const QRect &area, TFillDirection d, TColor from, TColor to,
                       const QRectF &visible = QRectF());

// The print form of the gradient: one linear gradient over `area` whose
// colour at the middle of every band is that band's colour, padded with the
// end colours beyond the middles of bands 0 and 255. On a PDF page it is
// one shading instead of a rectangle per band.
QLinearGradient PrintGradient(const QRect &area, TFillDirection d, TColor from, TColor to);

// `path` with every point moved to the nearest whole pixel. At print
// resolutions that is no visible change, and the PDF writer spells whole
// numbers in half the bytes.
QPainterPath WholePixelPath(const QPainterPath &path);

// Fills `path` with `image` tiled from `origin`, each tile `tile` pixels
// (the image scaled when tile differs from its size). Nothing when the image
// or the tile has a zero side.
void TileFill(QPainter &p, const QPainterPath &path, const QImage &image, QSizeF tile,
              QPointF origin = {});
// Print form: tiles drawn one by one as images over `area` from its top-left
// corner, every tile `tile` device pixels enlarged by `overlap` pixels to the
// right and bottom so neighbours leave no seams. The painter's clip is the
// caller's. Every tile is drawn from the same QImage (or one cached larger
// tile of it when the tiles would be too many), so the image is embedded once.
void PrintTiles(QPainter &p, const QRect &area, const QImage &image, QSize tile, int overlap);

// A texture as drawn: null when a side is 0, scaled down so no side exceeds
// MaxTextureSide. The same source gives the same cached image.
QImage DrawableTexture(const QImage &texture);

// The texture browsers' file mask.
QString TextureFileMask();  // "*.BMP;*.JPG;*.JIF;*.ICO"
// A texture file loaded as the texture browsers load it, by extension: .BMP
// as it is, .ICO as a bitmap of the icon's size, .JPG and .JIF decoded.
// nullptr on failure, with the reason in `error`; `error` is
// "Error loading file!" for a .BMP file, the one failure the browsers report.
std::unique_ptr<TBitmap> LoadTextureFile(const QString &path, QString *error = nullptr);

enum class TFillKind { None, Solid, Texture, Gradient };

// The three layers of one figure or caption.
struct TSurfaceLayers
{
    // 1. Shadow: `shadowPath` filled with `shadowColor`, stroked with
    // `shadowPen` (Qt::NoPen for none).
    bool shadow = false;
    QPainterPath shadowPath;
    TColor shadowColor = cl::Gray;
    QPen shadowPen = QPen(Qt::NoPen);

    // 2. Fill clipped to `path`.
    QPainterPath path;
    TFillKind fill = TFillKind::None;
    TColor solidColor = cl::Black;
    QImage texture;                 // Texture
    QSizeF tileSize;                // Texture: one tile, in target pixels
    TFillDirection direction = gdRight;
    TColor fromColor = cl::Blue, toColor = cl::Yellow;
    // The area the fill covers: tiles start at its top-left corner, the
    // gradient's bands divide it.
    QRect area;

    // 3. Outline along `path`.
    bool outline = false;
    QPen outlinePen;

    // Print pages: where the paths' and the area's (0, 0) goes. Paths given
    // once and moved there come out as the same bytes at every cell, which
    // the PDF writer's compression takes in long runs instead of short ones.
    QPoint origin;
};

// Screen: the gradient drawn from its strip over `area`, textures as a
// tiled brush.
void PaintScreen(QPainter &p, const TSurfaceLayers &layers);

// What an object last painted on the screen, kept as a picture for as long
// as what it was painted from stays the same.
struct TKeptPicture
{
    QByteArray key;
    QImage image;
};
// Everything of `layers` a screen paint depends on, as a key for PaintKept.
QByteArray LayersKey(const TSurfaceLayers &layers);
// Draws what `paint` paints inside `area` (clipped to it): from the kept
// picture when `key` and the painter's resolution are what it was made
// with, else painted into a new one first. Painters that scale or turn, and
// areas of more than four million pixels, are painted on directly.
void PaintKept(QPainter &painter, TKeptPicture &kept, const QByteArray &key, const QRect &area,
               const std::function<void(QPainter &)> &paint);
// Print page (device pixels): a solid or gradient fill (PrintGradient) as
// the path's brush, filled and outlined in one go when the path lies inside
// `area` (else filled inside `area` as a clip); a texture as tiles
// overlapping by `tileOverlap` pixels inside the path as a clip.
void PaintPrint(QPainter &p, const TSurfaceLayers &layers, int tileOverlap);

// The pen of an outline: colour, width (at least the thinnest line), style;
// round joins so glyph corners do not spike.
QPen OutlinePen(TColor color, TPenStyle style, double width);

}  // namespace surfacefill
