#pragma once
// TSuperShape: the decorative figure object (rectangle, rounded rectangle,
// ellipse, diamond, star, four triangles) with a solid drop shadow, a fill
// (solid, tiled texture or gradient) clipped to the figure, and an outline.

#include "design/GGraphc.h"
#include "objects/graphic/SurfaceFill.h"
#include "storage/Gdiobj.h"

#include <QPainterPath>
#include <QPoint>
#include <QVector>

#include <memory>
#include <optional>

enum TGPShapeType { gstRectangle, gstRoundRect, gstEllipse, gstDiamond, gstStar, gstTriangleLeft,
                    gstTriangleRight, gstTriangleUp, gstTriangleDown, gstPolyGon };
enum TShadowOrient { soNone, soLowerRight, soUpperRight, soUpperLeft, soLowerLeft };
extern const TIdentList GPShapeTypeIdents, ShadowOrientIdents, ShapeSurfaceTypeIdents;

// A rectangle by its four sides, right and bottom exclusive, as the figure
// arithmetic works with them.
struct TSides
{
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TSides &) const = default;
};

class TSuperShape : public TGGraphicControl
{
    Q_OBJECT
public:
    // Named apart from SuperText's surface kinds, which differ.
    enum TSurfaceType { stBrushTransparent, stBrushPattern, stBrushImage, stGradientFill };

    static constexpr int MinVectors = 3, MaxVectors = 60;
    // The dialog's range of the shadow depth.
    static constexpr int MaxDialogShadowDepth = 10;

    explicit TSuperShape(TComponent *owner = nullptr);
    ~TSuperShape() override;

    QByteArray ClassName() const override { return "TSuperShape"; }
    const TPropertyTable &Properties() const override;

    TColor BackColor() const { return mBackColor; }
    void SetBackColor(TColor c);
    TFillDirection FillDirection() const { return mFillDirection; }
    void SetFillDirection(TFillDirection d);
    TColor ForeColor() const { return mForeColor; }
    void SetForeColor(TColor c);
    TColor GradientToColor() const { return mGradientToColor; }
    void SetGradientToColor(TColor c);
    TBitmap *Image() const { return mImage.get(); }
    // Copies the bitmap; nullptr or an empty one empties the texture.
    void SetImage(const TBitmap *bitmap);
    int InVectorPercent() const { return mInVectorPercent; }
    void SetInVectorPercent(int v);
    TColor OutlineColor() const { return mOutlineColor; }
    void SetOutlineColor(TColor c);
    TPenStyle OutlineStyle() const { return mOutlineStyle; }
    void SetOutlineStyle(TPenStyle s);
    int OutlineWidth() const { return mOutlineWidth; }
    void SetOutlineWidth(int w);
    TBrushStyle Pattern() const { return mPattern; }
    void SetPattern(TBrushStyle s);
    int RoundPerc() const { return mRoundPerc; }
    void SetRoundPerc(int v);
    TColor ShadowColor() const { return mShadowColor; }
    void SetShadowColor(TColor c);
    int ShadowDepth() const { return mShadowDepth; }
    // Refused while the depth already held exceeds half the width or half
    // the height; the new value is taken as it is (label files keep theirs).
    void SetShadowDepth(int v);
    // The dialog's way: the new value brought into 0..MaxShadowDepthFor()
    // and taken whatever depth was held before.
    void SetShadowDepthLimited(int v);
    // The largest depth (at most MaxDialogShadowDepth) that leaves the
    // shape rectangle of this size and outline non-empty.
    static int MaxShadowDepthFor(int width, int height, int outlineWidth);
    TShadowOrient ShadowOrient() const { return mShadowOrient; }
    void SetShadowOrient(TShadowOrient o);
    TGPShapeType Shape() const { return mShape; }
    void SetShape(TGPShapeType s);
    int StartingAngle() const { return mStartingAngle; }
    void SetStartingAngle(int v);
    TSurfaceType SurfaceType() const { return mSurfaceType; }
    void SetSurfaceType(TSurfaceType t);
    int Vectors() const { return mVectors; }
    void SetVectors(int v);
    QString LastBitmapFileNameandPath() const { return mLastBitmapFile; }
    void SetLastBitmapFileNameandPath(const QString &path) { mLastBitmapFile = path; }

    // The shape and shadow rectangles for a figure of width by height
    // pixels; `depth` is the shadow depth already scaled.
    struct Rects
    {
        TSides shape;
        std::optional<TSides> shadow;
    };
    static Rects ShapeRects(TGPShapeType shape, TShadowOrient orient, int width, int height,
                            int outlineWidth, int depth);
    // This object's rectangles at its Scale, with the stored values brought
    // into what can be drawn.
    Rects CurrentRects() const;

    // The star's corners in rectangle r: the first `vectors` points.
    static QVector<QPoint> StarPoints(const TSides &r, int vectors, int inVectorPercent,
                                      int startingAngle);
    // The figure's corners for the polygon figures (diamond, triangles, star).
    QVector<QPoint> PolygonPoints(const TSides &r) const;
    // The figure as a closed path in rectangle r (winding fill): the region
    // the fill is clipped to. `outline` shifts it to the centres of the
    // outermost pixels, the line a pen draws along.
    QPainterPath FigurePath(const TSides &r, bool outline) const;

    void FinishLoading() override;
    void Paint() override;
    void PrintOnReport(TReport &report, double left, double top) override;
    bool EditNew() override;

    // The properties command; true when the dialog was accepted.
    bool EditProperties();
    // Copies every drawing property, in the dialog's order, through the
    // setters (the shadow depth through its limited form).
    void CopyDrawingFrom(const TSuperShape &other);
    // Loads a texture file into Image as the texture browser does (BMP,
    // JPEG, icon); false with the reason in *error when it cannot be read.
    bool LoadTextureFile(const QString &path, QString *error = nullptr);

private:
    // The shadow and fill layers in target coordinates; the outline's path
    // and pen go to *outline and *outlinePen (an empty path for none).
    surfacefill::TSurfaceLayers layers(const QTransform &toTarget, double penScale,
                                       double shadowPenWidth, QPainterPath *outline,
                                       QPen *outlinePen) const;

    TColor mBackColor = cl::Red;
    TFillDirection mFillDirection = gdUp;
    TColor mForeColor = cl::Black;
    TColor mGradientToColor = cl::Blue;
    std::unique_ptr<TBitmap> mImage;
    surfacefill::TKeptPicture mScreenPicture;
    int mInVectorPercent = 50;
    TColor mOutlineColor = cl::Black;
    TPenStyle mOutlineStyle = psSolid;
    int mOutlineWidth = 1;
    TBrushStyle mPattern = bsClear;
    int mRoundPerc = 25;
    TColor mShadowColor = cl::Black;
    int mShadowDepth = 5;
    TShadowOrient mShadowOrient = soNone;
    TGPShapeType mShape = gstStar;
    int mStartingAngle = 90;
    TSurfaceType mSurfaceType = stGradientFill;
    int mVectors = 10;
    QString mLastBitmapFile;
};
