#pragma once
// MetafilePlayer: the device context both metafile players draw through:
// mapping modes, pens, brushes, fonts, text, clipping, save and restore,
// ROP2, and a path bracket for enhanced metafiles. Coordinates come in as
// logical units and reach the painter through one transform.

#include "graphics/Metafile.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <map>
#include <vector>

namespace graphics::detail {

// Bounds the players keep to.
constexpr int MaxSavedStates = 256;
constexpr int MaxObjects = 65536;
constexpr qsizetype MaxRecords = 4 * 1024 * 1024;
constexpr double MaxFontPixels = 4096;

struct GdiPen
{
    int style = 0;       // PS_SOLID .. PS_INSIDEFRAME in the low bits
    double width = 0;    // logical units; 0 = one device pixel
    QColor color = Qt::black;
};

struct GdiBrush
{
    int style = 0;       // BS_SOLID 0, BS_NULL 1, BS_HATCHED 2, pattern otherwise
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern;
};

struct GdiFont
{
    double height = 0;   // logical; < 0 character height, > 0 cell height, 0 default
    int escapement = 0;  // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    QString face = QStringLiteral("Arial");
};

struct GdiObject
{
    enum Kind { None, Pen, Brush, Font, Region, Other } kind = None;
    GdiPen pen;
    GdiBrush brush;
    GdiFont font;
    QPainterPath region;  // logical (WMF) or page (EMF) units
};

struct DcState
{
    GdiPen pen;
    GdiBrush brush;
    GdiFont font;
    QColor textColor = Qt::black, bkColor = Qt::white;
    int bkMode = 2;      // TRANSPARENT 1, OPAQUE 2
    int rop2 = 13;       // R2_COPYPEN
    int polyFill = 1;    // ALTERNATE 1, WINDING 2
    int textAlign = 0;
    int mapMode = 1;
    QPointF winOrg, vpOrg;
    QSizeF winExt = {1, 1}, vpExt = {1, 1};
    QTransform world;
    QPointF pos;
    bool clipping = false;
    QPainterPath clip;   // page units
};

// Decoded bitmaps by record offset, so a metafile played many times (once
// a label) hands the painter the same image each time.
using ImageCache = MetafileImageCache;

class Player
{
public:
    // `pageToTarget` maps page units (what the mapping mode produces) to the
    // painter's coordinates; `pagePerMm` is the page's resolution.
    Player(QPainter &painter, const QTransform &pageToTarget, double pagePerMmX, double pagePerMmY,
           ImageCache *cache);
    ~Player();

    DcState dc;
    std::vector<GdiObject> objects;
    ImageCache *cache;

    // Object table: WMF puts a new object in the lowest free slot.
    void addObject(const GdiObject &o);
    void setObject(quint32 index, const GdiObject &o);
    void selectObject(quint32 index);
    void selectStock(int n);  // WHITE_BRUSH 0 .. NULL_PEN 8; fonts default
    void deleteObject(quint32 index);

    void setMapMode(int mode);
    void setWindowOrg(QPointF p) { dc.winOrg = p; }
    void setWindowExt(QSizeF s);
    void setViewportOrg(QPointF p) { dc.vpOrg = p; }
    void setViewportExt(QSizeF s);
    QTransform logicalToPage() const;
    QTransform logicalToTarget() const;

    void save();
    void restore(int which);

    void moveTo(QPointF p) { dc.pos = p; }
    void lineTo(QPointF p);
    void polyline(const QPolygonF &points);
    void polygon(const QPolygonF &points);
    void polyPolygon(const std::vector<QPolygonF> &polygons);
    void polyPolyline(const std::vector<QPolygonF> &lines);
    void polyBezier(const QPolygonF &points, bool fromCurrent);
    void rectangle(const QRectF &r);
    void roundRect(const QRectF &r, QSizeF corner);
    void ellipse(const QRectF &r);
    enum ArcKind { Arc, Chord, Pie };
    void arc(const QRectF &box, QPointF start, QPointF end, ArcKind kind);
    void setPixel(QPointF p, const QColor &c);
    void patBlt(const QRectF &r, quint32 rop);
    void fillPath(const QPainterPath &logical, bool fill, bool stroke);
    // Text at `p` (or the current position with TA_UPDATECP); `dx` are the
    // logical advances of the characters when the record has them.
    void text(QPointF p, const QString &s, const std::vector<double> &dx, const QRectF *opaque);
    // Draws `src` of `image` into the logical rectangle (negative sizes mirror).
    void image(const QRectF &dst, const QImage &image, QRectF src, quint32 rop);

    // Clipping, in logical units unless said otherwise.
    void intersectClip(const QRectF &r);
    void excludeClip(const QRectF &r);
    void setClipPage(const QPainterPath *pagePath, int mode);  // nullptr resets
    void offsetClip(QPointF d);

    // The path bracket of enhanced metafiles.
    bool inPath = false;
    QPainterPath path;
    void beginPath() { inPath = true; path = QPainterPath(); path.moveTo(dc.pos); }
    void endPath() { inPath = false; }

private:
    void applyClip();
    bool preparePen(QPen *pen) const;
    bool prepareBrush(QBrush *brush) const;
    bool begin();   // sets transform and mode; false for R2_NOP
    void draw(const QPainterPath &p, bool fill, bool stroke);
    // Half the side of the square a recording may draw in, in device pixels.
    static constexpr double ReachPixels = 1 << 20;
    QRectF reach() const;
    bool farBeyondTarget(const QPainterPath &p, const QPen *pen) const;
    void drawCut(const QPainterPath &p, const QBrush *brush, const QPen *pen);

    QPainter &mPainter;
    QTransform mBase, mPageToTarget;
    double mPxPerMmX, mPxPerMmY;
    std::vector<DcState> mSaved;
    bool mRasterOps;
};

// Windows-1252 text, as metafiles record it.
QString FromCp1252(QByteArrayView bytes);
QColor ColorRef(quint32 v);

// The two record players, over bytes ReadMetafile accepted.
bool PlayWmf(QByteArrayView bytes, QPainter &painter, const QRectF &target, ImageCache *cache);
bool PlayEmf(QByteArrayView bytes, QPainter &painter, const QRectF &target, ImageCache *cache);

}  // namespace graphics::detail
