#include "objects/graphic/Gsshape.h"

#include "controls/DialogSupport.h"
#include "objects/graphic/Glshapes.h"
#include "objects/graphic/Gssprop.h"
#include "print/engine/Canvas.h"
#include "print/engine/Report.h"

#include <QDataStream>
#include <QFileInfo>
#include <QMenu>
#include <QTransform>

#include <algorithm>
#include <cmath>

const TIdentList GPShapeTypeIdents = {"gstRectangle", "gstRoundRect", "gstEllipse", "gstDiamond",
                                      "gstStar", "gstTriangleLeft", "gstTriangleRight",
                                      "gstTriangleUp", "gstTriangleDown", "gstPolyGon"};
const TIdentList ShadowOrientIdents = {"soNone", "soLowerRight", "soUpperRight", "soUpperLeft",
                                       "soLowerLeft"};
const TIdentList ShapeSurfaceTypeIdents = {"stBrushTransparent", "stBrushPattern", "stBrushImage",
                                           "stGradientFill"};

namespace {

// An outline wider than this draws as this wide: wider than any label.
constexpr int MaxDrawnOutline = 1000;

void strokeOutline(QPainter &p, const QPainterPath &outline, const QPen &pen)
{
    if (outline.isEmpty())
        return;
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(pen);
    p.drawPath(outline);
    p.restore();
}

}  // namespace

TSuperShape::TSuperShape(TComponent *owner)
    : TGGraphicControl(owner), mImage(std::make_unique<TBitmap>())
{
    mImage->OnChange = [this] { update(); };
    resize(25, 25);
}

TSuperShape::~TSuperShape()
{
    mImage->OnChange = nullptr;
}

const TPropertyTable &TSuperShape::Properties() const
{
    using C = TSuperShape;
    static const TPropertyTable table(&BaseProperties(), {
        props::color<C>("BackColor", &C::BackColor, &C::SetBackColor, std::nullopt),
        props::enumeration<C, TFillDirection>("FillDirection", FillDirectionIdents, &C::FillDirection,
                                              &C::SetFillDirection, std::nullopt),
        props::color<C>("ForeColor", &C::ForeColor, &C::SetForeColor, std::nullopt),
        props::color<C>("GradientToColor", &C::GradientToColor, &C::SetGradientToColor, std::nullopt),
        props::object<C, TBitmap>("Image", TPropKind::Bitmap, &C::Image),
        props::integer<C>("InVectorPercent", &C::InVectorPercent, &C::SetInVectorPercent, std::nullopt),
        props::color<C>("OutlineColor", &C::OutlineColor, &C::SetOutlineColor, std::nullopt),
        props::enumeration<C, TPenStyle>("OutlineStyle", PenStyleIdents, &C::OutlineStyle,
                                         &C::SetOutlineStyle, std::nullopt),
        props::integer<C>("OutlineWidth", &C::OutlineWidth, &C::SetOutlineWidth, std::nullopt),
        props::enumeration<C, TBrushStyle>("Pattern", BrushStyleIdents, &C::Pattern, &C::SetPattern,
                                           std::nullopt),
        props::integer<C>("RoundPerc", &C::RoundPerc, &C::SetRoundPerc, std::nullopt),
        props::color<C>("ShadowColor", &C::ShadowColor, &C::SetShadowColor, std::nullopt),
        props::integer<C>("ShadowDepth", &C::ShadowDepth, &C::SetShadowDepth, std::nullopt),
        props::enumeration<C, TShadowOrient>("ShadowOrient", ShadowOrientIdents, &C::ShadowOrient,
                                             &C::SetShadowOrient, std::nullopt),
        props::enumeration<C, TGPShapeType>("Shape", GPShapeTypeIdents, &C::Shape, &C::SetShape,
                                            std::nullopt),
        props::integer<C>("StartingAngle", &C::StartingAngle, &C::SetStartingAngle, std::nullopt),
        props::enumeration<C, TSurfaceType>("SurfaceType", ShapeSurfaceTypeIdents, &C::SurfaceType,
                                            &C::SetSurfaceType, std::nullopt),
        props::integer<C>("Vectors", &C::Vectors, &C::SetVectors, std::nullopt),
        props::string<C>("LastBitmapFileNameandPath", &C::LastBitmapFileNameandPath,
                         &C::SetLastBitmapFileNameandPath),
    });
    return table;
}

// The gradient and the solid fill are drawn from the current colours at
// every paint, so the setters that would rebuild them only repaint.
void TSuperShape::SetBackColor(TColor c)
{
    if (c == mBackColor)
        return;
    mBackColor = c;
    update();
}

void TSuperShape::SetFillDirection(TFillDirection d)
{
    if (d == mFillDirection)
        return;
    mFillDirection = d;
    update();
}

void TSuperShape::SetForeColor(TColor c)
{
    if (c == mForeColor)
        return;
    mForeColor = c;
    update();
}

void TSuperShape::SetGradientToColor(TColor c)
{
    if (c == mGradientToColor)
        return;
    mGradientToColor = c;
    update();
}

void TSuperShape::SetImage(const TBitmap *bitmap)
{
    if (bitmap == mImage.get())
        return;
    if (!bitmap || bitmap->IsEmpty())
        mImage->Clear();
    else
        mImage->LoadFromFileImage(bitmap->FileImage());
    update();
}

void TSuperShape::SetInVectorPercent(int v)
{
    if (v == mInVectorPercent || v < 0 || v > 100)
        return;
    mInVectorPercent = v;
    update();
}

void TSuperShape::SetOutlineColor(TColor c)
{
    if (c == mOutlineColor)
        return;
    mOutlineColor = c;
    update();
}

void TSuperShape::SetOutlineStyle(TPenStyle s)
{
    if (s == mOutlineStyle)
        return;
    mOutlineStyle = s;
    update();
}

void TSuperShape::SetOutlineWidth(int w)
{
    if (w == mOutlineWidth)
        return;
    mOutlineWidth = w;
    update();
}

void TSuperShape::SetPattern(TBrushStyle s)
{
    if (s == mPattern)
        return;
    mPattern = s;
    update();
}

void TSuperShape::SetRoundPerc(int v)
{
    if (v == mRoundPerc)
        return;
    mRoundPerc = v;
    update();
}

void TSuperShape::SetShadowColor(TColor c)
{
    if (c == mShadowColor)
        return;
    mShadowColor = c;
    update();
}

void TSuperShape::SetShadowDepth(int v)
{
    if (v == mShadowDepth)
        return;
    if (mShadowDepth > Width() / 2 || mShadowDepth > Height() / 2)
        return;
    mShadowDepth = v;
    update();
}

int TSuperShape::MaxShadowDepthFor(int width, int height, int outlineWidth)
{
    // The shape rectangle spans R - s - k (and B - s - k) pixels; keep one.
    const int ow = std::clamp(outlineWidth, 0, MaxDrawnOutline);
    const int k = ow / 2;
    const int room = std::min(width, height) - ow + 1 - k - 1;
    return std::clamp(room, 0, MaxDialogShadowDepth);
}

void TSuperShape::SetShadowDepthLimited(int v)
{
    v = std::clamp(v, 0, MaxShadowDepthFor(Width(), Height(), mOutlineWidth));
    if (v == mShadowDepth)
        return;
    mShadowDepth = v;
    update();
}

void TSuperShape::SetShadowOrient(TShadowOrient o)
{
    if (o == mShadowOrient || o < soNone || o > soLowerLeft)
        return;
    mShadowOrient = o;
    update();
}

void TSuperShape::SetShape(TGPShapeType s)
{
    if (s == mShape)
        return;
    mShape = s;
    if (s == gstStar) {
        if (mInVectorPercent == 0)
            mInVectorPercent = 50;
        if (mVectors < 10)
            mVectors = 10;
        mStartingAngle = 90;
    }
    update();
}

void TSuperShape::SetStartingAngle(int v)
{
    if (v == mStartingAngle || v < 0 || v > 359)
        return;
    mStartingAngle = v;
    update();
}

void TSuperShape::SetSurfaceType(TSurfaceType t)
{
    if (t == mSurfaceType)
        return;
    mSurfaceType = t;
    if (t != stBrushImage)
        mImage->Clear();
    if (t == stBrushTransparent) {
        mShadowOrient = soNone;
        mPattern = bsClear;
        if (mOutlineStyle == psClear)
            mOutlineStyle = psSolid;
    }
    update();
}

void TSuperShape::SetVectors(int v)
{
    if (v == mVectors || v < MinVectors || v > MaxVectors)
        return;
    mVectors = v;
    update();
}

TSuperShape::Rects TSuperShape::ShapeRects(TGPShapeType shape, TShadowOrient orient, int width,
                                           int height, int outlineWidth, int depth)
{
    const int ow = outlineWidth, k = ow / 2;
    const int R = width - ow + 1, B = height - ow + 1, s = depth, c = s + k;
    Rects r;
    if (shape == gstDiamond && orient != soNone) {
        // The diamond's shadow lies beside it, never above or below.
        const bool right = orient == soLowerRight || orient == soUpperRight;
        r.shape = right ? TSides {k, k, R - s, B} : TSides {c, k, R, B};
        r.shadow = right ? TSides {c, k, R, B} : TSides {k, k, R - s, B};
        return r;
    }
    switch (orient) {
    case soNone: r.shape = {k, k, R, B}; break;
    case soLowerRight: r.shape = {k, k, R - s, B - s}; r.shadow = TSides {c, c, R, B}; break;
    case soUpperRight: r.shape = {k, c, R - s, B}; r.shadow = TSides {c, k, R, B - s}; break;
    case soUpperLeft: r.shape = {c, c, R, B}; r.shadow = TSides {k, k, R - s, B - s}; break;
    case soLowerLeft: r.shape = {c, k, R, B - s}; r.shadow = TSides {k, c, R - s, B}; break;
    }
    return r;
}

TSuperShape::Rects TSuperShape::CurrentRects() const
{
    const int ow = std::clamp(mOutlineWidth, 0, MaxDrawnOutline);
    int s = mShadowDepth;
    if (Scale() != 1.0f)
        s = int(std::trunc(double(s) * double(Scale())));
    // A depth beyond what leaves one pixel of figure draws as that depth.
    const int k = ow / 2;
    const int room = std::min(Width(), Height()) - ow + 1 - k - 1;
    s = std::clamp(s, 0, std::max(room, 0));
    return ShapeRects(mShape, mShadowOrient, Width(), Height(), ow, s);
}

QVector<QPoint> TSuperShape::StarPoints(const TSides &r, int vectors, int inVectorPercent,
                                        int startingAngle)
{
    const int n = std::clamp(vectors, MinVectors, MaxVectors);
    const int p = std::clamp(inVectorPercent, 0, 100);
    const int hx = r.Width() / 2, hy = r.Height() / 2;
    const double outer = std::min(hx, hy) - 4;
    const double inner = outer * (100 - p) * 0.01;
    constexpr double DegToRad = 3.14159265358979323846 / 180.0;
    QVector<QPoint> points;
    points.reserve(n);
    for (int m = 0; m < n; ++m) {
        const double radius = m % 2 == 0 ? outer : inner;
        const double t = (360.0 / n * m - startingAngle) * DegToRad;
        points.append(QPoint(r.Left + hx + RoundNearest(std::cos(t) * radius),
                             r.Top + hy + RoundNearest(std::sin(t) * radius)));
    }
    return points;
}

QVector<QPoint> TSuperShape::PolygonPoints(const TSides &r) const
{
    const int x = r.Left, y = r.Top, w = r.Width(), h = r.Height();
    switch (mShape) {
    case gstDiamond:
        return {{x + w / 2, y}, {x + w - 1, y + h / 2}, {x + w / 2, y + h - 1}, {x, y + h / 2}};
    case gstTriangleLeft: return {{x + w - 1, y}, {x + w - 1, y + h - 1}, {x, y + h / 2}};
    case gstTriangleRight: return {{x, y}, {x + w - 1, y + h / 2}, {x, y + h - 1}};
    case gstTriangleUp: return {{x + w / 2, y}, {x, y + h - 1}, {x + w - 1, y + h - 1}};
    case gstTriangleDown: return {{x, y}, {x + w / 2, y + h - 1}, {x + w - 1, y}};
    case gstStar:
    case gstPolyGon: return StarPoints(r, mVectors, mInVectorPercent, mStartingAngle);
    default: return {};
    }
}

QPainterPath TSuperShape::FigurePath(const TSides &r, bool outline) const
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (r.IsEmpty())
        return path;
    const double shift = outline ? 0.5 : 0.0, less = outline ? 1.0 : 0.0;
    const QRectF box(r.Left + shift, r.Top + shift, r.Width() - less, r.Height() - less);
    switch (mShape) {
    case gstRectangle: path.addRect(box); break;
    case gstRoundRect: {
        const int corner = TGLabelShapes::CornerSize(Width(), Height(), mRoundPerc);
        path.addRoundedRect(box, corner / 2.0, corner / 2.0);
        break;
    }
    case gstEllipse: path.addEllipse(box); break;
    default: {
        // The polygon's corners are pixel positions; a fill covers the
        // pixels up to and including them, so the region reaches the far
        // edges of those pixels just as the outline's line runs through them.
        QPolygonF polygon;
        for (const QPoint &pt : PolygonPoints(r))
            polygon.append(QPointF(pt.x() + 0.5, pt.y() + 0.5));
        if (polygon.size() >= 3) {
            path.addPolygon(polygon);
            path.closeSubpath();
        }
        break;
    }
    }
    return path;
}

surfacefill::TSurfaceLayers TSuperShape::layers(const QTransform &toTarget, double penScale,
                                                double shadowPenWidth, QPainterPath *outline,
                                                QPen *outlinePen) const
{
    using namespace surfacefill;
    const Rects rects = CurrentRects();
    TSurfaceLayers l;
    if (mShadowOrient != soNone && rects.shadow && !rects.shadow->IsEmpty()) {
        l.shadow = true;
        l.shadowPath = toTarget.map(FigurePath(*rects.shadow, true));
        l.shadowColor = mShadowColor;
        l.shadowPen = QPen(Qt::black, shadowPenWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    }
    l.path = toTarget.map(FigurePath(rects.shape, false));
    l.area = toTarget.mapRect(QRectF(0, 0, Width(), Height())).toAlignedRect();
    l.direction = mFillDirection;
    l.fromColor = mBackColor;
    l.toColor = mGradientToColor;
    l.solidColor = mBackColor;
    switch (mSurfaceType) {
    case stBrushTransparent: l.fill = TFillKind::None; break;
    case stBrushPattern: l.fill = TFillKind::Solid; break;
    case stBrushImage:
        l.fill = mImage->Image().isNull() ? TFillKind::None : TFillKind::Texture;
        l.texture = mImage->Image();
        break;
    case stGradientFill: l.fill = TFillKind::Gradient; break;
    }
    const int ow = std::clamp(mOutlineWidth, 0, MaxDrawnOutline);
    if (mOutlineStyle != psClear && !rects.shape.IsEmpty()) {
        // The outline runs through the figure's outermost pixels, half a
        // pixel inside the region the fill covers; the object strokes it.
        l.outline = false;
        if (outline) {
            *outlinePen = OutlinePen(mOutlineColor, mOutlineStyle, ow * penScale);
            *outline = toTarget.map(FigurePath(rects.shape, true));
        }
    }
    return l;
}

void TSuperShape::FinishLoading()
{
    TGGraphicControl::FinishLoading();
    QMenu *m = ObjectMenu();
    m->addSeparator();
    connect(m->addAction(QStringLiteral("Properties")), &QAction::triggered, this,
            [this] { EditProperties(); });
}

void TSuperShape::Paint()
{
    QPainter *painter = DrawCanvas();
    if (!painter)
        return;
    if (Width() > 0 && Height() > 0) {
        QPainterPath outline;
        QPen pen;
        surfacefill::TSurfaceLayers l = layers(QTransform(), 1.0, 1.0, &outline, &pen);
        if (l.fill == surfacefill::TFillKind::Texture && Scale() != 1.0f)
            l.tileSize = QSizeF(std::trunc(l.texture.width() * double(Scale())),
                                std::trunc(l.texture.height() * double(Scale())));
        else
            l.tileSize = QSizeF(l.texture.size());
        // Textures and gradients cost more to paint than a picture of them:
        // kept while nothing the figure shows changes.
        QByteArray key;
        {
            QDataStream out(&key, QIODevice::WriteOnly);
            out << outline << pen;
        }
        key += surfacefill::LayersKey(l);
        surfacefill::PaintKept(*painter, mScreenPicture, key, QRect(0, 0, Width(), Height()),
                               [&](QPainter &p) {
                                   surfacefill::PaintScreen(p, l);
                                   strokeOutline(p, outline, pen);
                               });
    }
    if (PaintingOwnCanvas()) {
        DrawSelectionMarks();
        CheckBoundsChanged();
    }
}

void TSuperShape::PrintOnReport(TReport &report, double left, double top)
{
    QPainter *painter = report.Painter();
    if (!painter || Width() <= 0 || Height() <= 0)
        return;
    const double r = ScreenPixelsPerInch();
    const double sx = report.XDpi() / r, sy = report.YDpi() / r;
    // Object pixels to device pixels: the object's corner where the report
    // puts it, then the device-to-screen ratio.
    const double ox = report.XToDevice(left + Left() / r), oy = report.YToDevice(top + Top() / r);
    const QTransform toDevice(sx, 0, 0, sy, ox, oy);
    QPainterPath outline;
    QPen pen;
    surfacefill::TSurfaceLayers l = layers(toDevice, sx, 1.0, &outline, &pen);
    if (l.fill == surfacefill::TFillKind::Texture)
        l.tileSize = QSizeF(std::round(l.texture.width() * sx), std::round(l.texture.height() * sy));
    const int overlap = std::max(1, int(std::lround(report.XDpi() * 0.01)));
    surfacefill::PaintPrint(*painter, l, overlap);
    strokeOutline(*painter, outline, pen);
}

bool TSuperShape::EditNew()
{
    EditProperties();
    return true;
}

bool TSuperShape::EditProperties()
{
    TSuperShapeProperties dialog(this);
    dialog.Sample()->CopyDrawingFrom(*this);
    dialog.Sample()->SetBounds(dialog.Sample()->Left(), dialog.Sample()->Top(), Width(), Height());
    dialog.SetLastBitmapFile(mLastBitmapFile);
    dialog.ShowSampleValues();
    if (ExecDialog(dialog) != QDialog::Accepted)
        return false;
    CopyDrawingFrom(*dialog.Sample());
    mLastBitmapFile = dialog.LastBitmapFile();
    NotifyChanged();
    update();
    return true;
}

void TSuperShape::CopyDrawingFrom(const TSuperShape &o)
{
    SetBackColor(o.mBackColor);
    SetFillDirection(o.mFillDirection);
    SetForeColor(o.mForeColor);
    SetGradientToColor(o.mGradientToColor);
    SetImage(o.mImage.get());
    SetInVectorPercent(o.mInVectorPercent);
    SetOutlineColor(o.mOutlineColor);
    SetOutlineStyle(o.mOutlineStyle);
    SetOutlineWidth(o.mOutlineWidth);
    SetPattern(o.mPattern);
    SetRoundPerc(o.mRoundPerc);
    SetShadowColor(o.mShadowColor);
    SetShadowDepthLimited(o.mShadowDepth);
    SetShadowOrient(o.mShadowOrient);
    SetShape(o.mShape);
    SetStartingAngle(o.mStartingAngle);
    SetSurfaceType(o.mSurfaceType);
    SetVectors(o.mVectors);
}

bool TSuperShape::LoadTextureFile(const QString &path, QString *error)
{
    const std::unique_ptr<TBitmap> texture = surfacefill::LoadTextureFile(path, error);
    SetImage(texture.get());
    return bool(texture);
}
