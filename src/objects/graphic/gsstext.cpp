#include "objects/graphic/gsstext.h"

#include "controls/DialogSupport.h"
#include "objects/graphic/gstprop.h"
#include "objects/text/SymbolFonts.h"
#include "objects/text/TextFont.h"
#include "print/engine/Canvas.h"
#include "print/engine/Report.h"

#include <QAction>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QMenu>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

const TIdentList SurfaceTypeIdents = {"stNormal", "stBrushTransparent", "stBrushImage", "stGradientFill"};
const TIdentList ShadowOrientationIdents = {"sdNone", "sdRight", "sdLeft", "sdDownRight", "sdDownLeft", "sdDown"};

QPoint ShadowOffset(TShadowOrientation orientation, int depth)
{
    switch (orientation) {
    case sdNone: break;
    case sdRight: return {depth, 0};
    case sdLeft: return {-depth, 0};
    case sdDownRight: return {depth, depth};
    case sdDownLeft: return {-depth, depth};
    case sdDown: return {0, depth};
    }
    return {0, 0};
}

TGSuperText::TGSuperText(TComponent *owner)
    : TGGraphicControl(owner), mFont(std::make_unique<TFont>()), mImage(std::make_unique<TBitmap>())
{
    mFont->SetName(QStringLiteral("Arial"));
    mFont->SetSize(48);
    mFont->SetStyle(1u << fsBold);
    mFont->SetColor(cl::Black);
    mFont->OnChange = [this] { fontChanged(); };
    resize(142, 33);
}

TGSuperText::~TGSuperText()
{
    mFont->OnChange = nullptr;
}

const TPropertyTable &TGSuperText::Properties() const
{
    using C = TGSuperText;
    static const TPropertyTable table(&BaseProperties(), {
        props::integer<C>("ShadowDepth", &C::ShadowDepth, &C::SetShadowDepth, 0),
        props::enumeration<C, TShadowOrientation>("ShadowOrientation", ShadowOrientationIdents,
                                                  &C::ShadowOrientation, &C::SetShadowOrientation, sdDownRight),
        props::color<C, TColor>("Shadowcolor", &C::Shadowcolor, &C::SetShadowcolor, cl::Gray),
        props::enumeration<C, TBorderStyle>("BorderStyle", BorderStyleIdents, &C::BorderStyle,
                                            &C::SetBorderStyle, std::nullopt),
        props::boolean<C>("ControlTransparent", &C::ControlTransparent, &C::SetControlTransparent, std::nullopt),
        props::color<C, TColor>("BGColor", &C::BGColor, &C::SetBGColor, std::nullopt),
        props::string<C>("Caption", &C::Caption, &C::SetCaption),
        props::object<C, TFont>("Font", TPropKind::Object, &C::Font),
        props::enumeration<C, TFillDirection>("FillDirection", FillDirectionIdents, &C::FillDirection,
                                              &C::SetFillDirection, std::nullopt),
        props::color<C, TColor>("GradientToColor", &C::GradientToColor, &C::SetGradientToColor, std::nullopt),
        props::color<C, TColor>("GradientFromColor", &C::GradientFromColor, &C::SetGradientFromColor, std::nullopt),
        props::object<C, TBitmap>("Image", TPropKind::Bitmap, &C::Image),
        props::color<C, TColor>("OutlineColor", &C::OutlineColor, &C::SetOutlineColor, std::nullopt),
        props::enumeration<C, TPenStyle>("OutlineStyle", PenStyleIdents, &C::OutlineStyle, &C::SetOutlineStyle,
                                         std::nullopt),
        props::integer<C>("OutlineWidth", &C::OutlineWidth, &C::SetOutlineWidth, std::nullopt),
        props::enumeration<C, TSurfaceType>("SurfaceType", SurfaceTypeIdents, &C::SurfaceType,
                                            &C::SetSurfaceType, std::nullopt),
        props::string<C>("LastBitmapFileNameandPath", &C::LastBitmapFileNameandPath,
                         &C::SetLastBitmapFileNameandPath),
    });
    return table;
}

void TGSuperText::shadowChanged()
{
    mShadowOffset = ShadowOffset(mShadowOrientation, std::clamp(mShadowDepth, -MaxDrawnShadow, MaxDrawnShadow));
    mLayoutNeeded = true;
    update();
}

void TGSuperText::SetShadowDepth(int v)
{
    if (v == mShadowDepth)
        return;
    mShadowDepth = v;
    shadowChanged();
}

void TGSuperText::SetShadowOrientation(TShadowOrientation v)
{
    if (v == mShadowOrientation || v < sdNone || v > sdDown)
        return;
    mShadowOrientation = v;
    shadowChanged();
}

void TGSuperText::SetShadowcolor(TColor v)
{
    if (v == mShadowColor)
        return;
    mShadowColor = v;
    update();
}

void TGSuperText::SetBorderStyle(TBorderStyle v)
{
    if (v == mBorderStyle || v < bsNone || v > bsSingle)
        return;
    mBorderStyle = v;
    update();
    NotifyChanged();
}

void TGSuperText::SetControlTransparent(bool v)
{
    if (v == mControlTransparent)
        return;
    mControlTransparent = v;
    update();
}

void TGSuperText::SetBGColor(TColor v)
{
    if (v == mBGColor)
        return;
    mBGColor = v;
    update();
    NotifyChanged();
}

void TGSuperText::SetCaption(const QString &v)
{
    if (v == mCaption)
        return;
    mCaption = v;
    update();
    NotifyChanged();
}

void TGSuperText::SetFillDirection(TFillDirection v)
{
    if (v == mFillDirection || v < gdUp || v > gdRight)
        return;
    mFillDirection = v;
    if (mSurfaceType == stGradientFill)
        RebuildGradient();
    update();
}

void TGSuperText::SetGradientToColor(TColor v)
{
    if (v == mGradientToColor)
        return;
    mGradientToColor = v;
    if (mSurfaceType == stGradientFill)
        RebuildGradient();
    update();
}

void TGSuperText::SetGradientFromColor(TColor v)
{
    if (v == mGradientFromColor)
        return;
    mGradientFromColor = v;
    NotifyChanged();
    if (mSurfaceType == stGradientFill)
        RebuildGradient();
    update();
}

void TGSuperText::SetImage(const TBitmap *bitmap)
{
    mImage->Clear();
    if (bitmap && !bitmap->IsEmpty()) {
        try {
            mImage->LoadData(bitmap->SaveData());
        } catch (const EStreamError &) {
            mImage->Clear();  // a bitmap beyond the picture limits is no texture
        }
    }
    update();
}

void TGSuperText::SetOutlineColor(TColor v)
{
    if (v == mOutlineColor)
        return;
    mOutlineColor = v;
    update();
}

void TGSuperText::SetOutlineStyle(TPenStyle v)
{
    if (v == mOutlineStyle || v < psSolid || v > psInsideFrame)
        return;
    mOutlineStyle = v;
    update();
}

void TGSuperText::SetOutlineWidth(int v)
{
    if (v == mOutlineWidth)
        return;
    mOutlineWidth = v;
    update();
}

void TGSuperText::SetSurfaceType(TSurfaceType v)
{
    if (v == mSurfaceType || v < stNormal || v > stGradientFill)
        return;
    mSurfaceType = v;
    if (v != stBrushImage)
        mImage->Clear();
    if (v == stGradientFill)
        RebuildGradient();
    if (v == stBrushTransparent && mOutlineStyle == psClear)
        mOutlineStyle = psSolid;
    update();
}

void TGSuperText::fontChanged()
{
    mLayoutNeeded = true;
    update();
}

void TGSuperText::RebuildGradient()
{
    mGradient = surfacefill::GradientStrip(size(), mFillDirection, mGradientFromColor, mGradientToColor);
}

const QImage &TGSuperText::GradientImage()
{
    const bool columns = surfacefill::BandsAreColumns(mFillDirection);
    const int length = std::min(columns ? Width() : Height(), surfacefill::MaxStripLength);
    const QSize expected = columns ? QSize(length, 1) : QSize(1, length);
    if (mGradient.size() != expected)
        RebuildGradient();
    return mGradient;
}

QFont TGSuperText::CanvasFont() const
{
    return BoundedQFont(*mFont, Scale());
}

QString TGSuperText::displayText(const QString &caption) const
{
    return symbolfonts::DisplayText(mFont->Name(), caption);
}

QPainterPath TGSuperText::GlyphPath(const QFont &font, const QString &text, QPointF at)
{
    QPainterPath path;
    if (text.isEmpty())
        return path;
    path.addText(at.x(), at.y() + QFontMetricsF(font).ascent(), font, text);
    return path;
}

void TGSuperText::Layout()
{
    if (!mLayoutNeeded || mInLayout)
        return;
    mInLayout = true;
    const float z = Scale();
    QPoint s = mShadowOffset;
    if (z != 1.0f)
        s = QPoint(int(double(z) * s.x()), int(double(z) * s.y()));
    const QFont font = CanvasFont();
    const int h = TextMetrics(font).cellHeight;
    const int w = TextWidth(font, displayText(MergedText(mCaption).left(MaxDrawnCharacters) + QLatin1Char(' ')));
    mTextOrigin = QPoint(s.x() < 0 ? -s.x() : 0, s.y() < 0 ? -s.y() : 0);
    if (Width() <= 5)
        SetWidth(std::min(w, MaxCoordinate));
    const int f = std::abs(s.y()) + h;
    if (1.2 * f < Height() && mControlTransparent && mBorderStyle == bsNone)
        SetHeight(int(1.2 * f));
    if (Height() < f)
        SetHeight(f);
    const int ox = mTextOrigin.x(), oy = mTextOrigin.y();
    // Right and bottom edges exclusive, as the layout's rectangles are kept.
    mTextRect = QRect(QPoint(ox + 5, oy), QPoint(Width() - 1, oy + h - 1));
    mShadowRect = mTextRect.translated(s);
    mShadowPosition = QPoint(ox + 5 + s.x(), oy + s.y());
    mLayoutNeeded = false;
    mInLayout = false;
}

void TGSuperText::SettleLayout()
{
    Layout();
}

void TGSuperText::MergeRecordChanged()
{
    if (HasFields(mCaption)) {
        mLayoutNeeded = true;
        Layout();
    }
    update();
}

QString TGSuperText::ShortenedCaption() const
{
    QString text = MergedText(mCaption).left(MaxDrawnCharacters);
    const int e = std::max(mTextRect.left(), mShadowRect.left());
    const int limit = Width() - e;
    const QFont font = CanvasFont();
    auto width = [&](qsizetype n) { return TextWidth(font, displayText(text.left(n))); };
    if (width(text.size()) <= limit)
        return text;
    // Cut from the end: the longest prefix that fits, found by halving and
    // then stepped back where kerning makes widths uneven.
    qsizetype lo = 0, hi = text.size();
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (width(mid) <= limit)
            lo = mid;
        else
            hi = mid - 1;
    }
    while (lo > 0 && width(lo) > limit)
        --lo;
    return text.left(lo);
}

void TGSuperText::FitToText()
{
    const QFont font = BoundedQFont(*mFont, 1.0f);
    const QString shown = displayText(mCaption.left(MaxDrawnCharacters));
    const int a = TextWidth(font, shown);
    const int b = TextMetrics(font).cellHeight;
    mLayoutNeeded = true;
    Layout();
    const int c = std::max(mTextRect.left(), mShadowRect.left());
    const int d = std::max(mTextRect.top(), mShadowRect.top());
    SetBounds(Left(), Top(), int(c + 1.2 * a), int(1.2 * (d + b)));
    if (Height() < b)
        SetHeight(int(1.5 * b));
    if (Width() < a)
        SetWidth(int(1.5 * a));
}

void TGSuperText::FinishLoading()
{
    TGGraphicControl::FinishLoading();
    if (QMenu *menu = ObjectMenu()) {
        menu->addSeparator();
        menu->addAction(QStringLiteral("Font"), this, [this] { ChooseSuperTextFont(); });
        mTransparentItem = menu->addAction(QStringLiteral("Transparent"), this, [this] {
            SetControlTransparent(!mControlTransparent);
            NotifyChanged();
        });
        mTransparentItem->setCheckable(true);
        menu->addAction(QStringLiteral("Background Color"), this, &TGSuperText::ChooseBGColor);
        mBorderItem = menu->addAction(QStringLiteral("Border"), this,
                                      [this] { SetBorderStyle(mBorderStyle == bsSingle ? bsNone : bsSingle); });
        mBorderItem->setCheckable(true);
        mBorderItem->setChecked(mBorderStyle == bsSingle);
        menu->addAction(QStringLiteral("Properties"), this, [this] { EditSuperText(); });
    }
    if (mSurfaceType == stGradientFill)
        RebuildGradient();
}

void TGSuperText::PrepareObjectMenu()
{
    TGGraphicControl::PrepareObjectMenu();
    if (mBorderItem)
        mBorderItem->setChecked(mBorderStyle == bsSingle);
    if (mTransparentItem)
        mTransparentItem->setChecked(mControlTransparent);
}

void TGSuperText::CheckBoundsChanged()
{
    TGGraphicControl::CheckBoundsChanged();
    mLayoutNeeded = true;
    if (Width() < 1)
        SetWidth(1);
    if (Height() < 1)
        SetHeight(1);
    if (mSurfaceType == stGradientFill)
        RebuildGradient();
}

void TGSuperText::ApplyFont(const TFont &font)
{
    mFont->Assign(font);
    mLayoutNeeded = true;
}

void TGSuperText::ChooseSuperTextFont()
{
    if (const std::optional<QFont> chosen = PickFont(DialogFont(*mFont), window(), QFontDialog::ScalableFonts)) {
        AssignDialogFont(*mFont, *chosen);
        mLayoutNeeded = true;
        NotifyChanged();
    }
}

void TGSuperText::ChooseBGColor()
{
    const std::optional<QColor> chosen = PickColor(ColorToQColor(mBGColor), window());
    if (!chosen)
        return;
    SetBGColor(QColorToColor(*chosen));
    NotifyChanged();
    SetControlTransparent(false);
    update();
}

bool TGSuperText::EditSuperText()
{
    TSuperTextProperties dialog(window());
    dialog.TakeObject(*this);
    if (ExecDialog(dialog) != QDialog::Accepted)
        return false;
    const TGSuperText &p = *dialog.Preview;
    SetGradientFromColor(p.GradientFromColor());
    SetFillDirection(p.FillDirection());
    SetGradientToColor(p.GradientToColor());
    SetImage(p.Image());
    SetOutlineColor(p.OutlineColor());
    SetOutlineStyle(p.OutlineStyle());
    SetOutlineWidth(p.OutlineWidth());
    SetShadowcolor(p.Shadowcolor());
    SetShadowDepth(p.ShadowDepth());
    SetShadowOrientation(p.ShadowOrientation());
    SetSurfaceType(p.SurfaceType());
    SetLastBitmapFileNameandPath(dialog.LastBitmapFile);
    mFont->SetColor(p.Font()->Color());
    ApplyFont(*p.Font());
    SetCaption(p.Caption());
    if (mSurfaceType == stGradientFill)
        RebuildGradient();
    mLayoutNeeded = true;
    Layout();
    update();
    NotifyChanged();
    return true;
}

bool TGSuperText::EditNew()
{
    EditSuperText();
    return true;
}

void TGSuperText::Paint()
{
    if (mInPaint)
        return;
    QPainter *painter = DrawCanvas();
    if (!painter)
        return;
    mInPaint = true;
    if (Width() < 5 || Height() < 5)
        mLayoutNeeded = true;
    Layout();
    const int w = Width(), h = Height();
    const float z = Scale();
    TCanvas c(*painter);
    if (!mControlTransparent || mBorderStyle == bsSingle) {
        c.Brush.Color = mBGColor;
        c.Brush.Style = mControlTransparent ? bsClear : bsSolid;
        c.Pen.Color = cl::Black;
        c.Pen.Width = 1;
        c.Pen.Style = mBorderStyle == bsSingle ? psSolid : psClear;
        c.Rectangle(0, 0, w, h);
    }
    const QString text = ShortenedCaption();
    if (text.isEmpty()) {
        c.Brush.Style = bsClear;
        c.Pen.Color = cl::Black;
        c.Pen.Style = psSolid;
        c.Pen.Width = 1;
        c.Rectangle(0, 0, w, h);
        c.MoveTo(0, 0);
        c.LineTo(w, h);
        c.MoveTo(w, 0);
        c.LineTo(0, h);
    } else {
        const QFont font = CanvasFont();
        const QString shown = displayText(text);
        const QString key = shown + QLatin1Char('\n') + font.key() + QStringLiteral("\n%1,%2,%3,%4")
                                .arg(mTextRect.left()).arg(mTextRect.top())
                                .arg(mShadowPosition.x()).arg(mShadowPosition.y());
        if (key != mPathKey) {
            mTextPath = GlyphPath(font, shown, mTextRect.topLeft());
            mShadowPath = GlyphPath(font, shown, mShadowPosition);
            mPathKey = key;
        }
        surfacefill::TSurfaceLayers l;
        l.shadow = mShadowDepth >= 1 && mShadowOrientation != sdNone;
        if (l.shadow)
            l.shadowPath = mShadowPath;
        l.shadowColor = mShadowColor;
        l.area = QRect(0, 0, w, h);
        switch (mSurfaceType) {
        case stNormal:
            l.fill = surfacefill::TFillKind::Solid;
            l.solidColor = mFont->Color();
            break;
        case stBrushTransparent: break;
        case stBrushImage:
            l.fill = surfacefill::TFillKind::Texture;
            l.texture = mImage->Image();
            l.tileSize = z == 1.0f ? QSizeF(l.texture.size())
                                   : QSizeF(int(l.texture.width() * double(z)), int(l.texture.height() * double(z)));
            break;
        case stGradientFill:
            l.fill = surfacefill::TFillKind::Texture;
            l.texture = GradientImage();
            l.tileSize = QSizeF(l.texture.size());
            break;
        }
        if (l.fill != surfacefill::TFillKind::None || (mOutlineStyle != psClear && mOutlineWidth >= 1))
            l.path = mTextPath;
        l.outline = mOutlineStyle != psClear && mOutlineWidth >= 1;
        l.outlinePen = surfacefill::OutlinePen(mOutlineColor, mOutlineStyle, std::min(mOutlineWidth, 100));
        // Glyphs filled with a gradient or a texture cost more to paint
        // than a picture of them: kept while nothing they show changes.
        surfacefill::PaintKept(*painter, mScreenPicture, mPathKey.toUtf8() + surfacefill::LayersKey(l),
                               l.area, [&l](QPainter &p) {
                                   p.setRenderHint(QPainter::Antialiasing, true);
                                   surfacefill::PaintScreen(p, l);
                               });
    }
    if (PaintingOwnCanvas())
        DrawSelectionMarks();
    mInPaint = false;
}

void TGSuperText::PrintOnReport(TReport &report, double left, double top)
{
    QPainter *painter = report.Painter();
    if (!painter)
        return;
    const double r = ScreenPixelsPerInch();
    const double kx = report.XDpi() / r, ky = report.YDpi() / r;
    mLayoutNeeded = true;
    Layout();
    const double x1 = left + Left() / r, y1 = top + Top() / r;
    const double x2 = left + (double(Left()) + Width()) / r, y2 = top + (double(Top()) + Height()) / r;

    report.Brush.Color = mControlTransparent ? cl::White : mBGColor;
    report.Brush.Style = mControlTransparent ? bsClear : bsSolid;
    report.Pen.Color = cl::Black;
    report.Pen.Mode = pmCopy;
    report.Pen.Width = 1;
    report.Pen.Style = mBorderStyle == bsSingle ? psSolid : psClear;
    if (!mControlTransparent || mBorderStyle == bsSingle)
        report.Rectangle(x1, y1, x2, y2);

    const QString text = ShortenedCaption();
    if (text.isEmpty())
        return;
    const QString shown = displayText(text);
    // The screen font at the page's resolution, bounded as the screen's is.
    QFont font = CanvasFont();
    font.setPixelSize(std::clamp(int(std::lround(font.pixelSize() * ky)), 1, drawlimits::MaxFontPixels));
    const QFontMetricsF metrics(font);
    const double baseline = 0.88 * metrics.lineSpacing() - metrics.ascent();
    // Shaped once per font and caption; the cells' device positions are
    // whole pixels, so moving the path puts every glyph where shaping at
    // that place would.
    // A whole pixel is below what shows from 600 pixels per inch up.
    const bool wholePixels = report.XDpi() >= 600 && report.YDpi() >= 600;
    if (mPrintPath.isEmpty() || mPrintFont != font || mPrintText != shown || mPrintBaseline != baseline
        || mPrintWholePixels != wholePixels) {
        mPrintPath = GlyphPath(font, shown, QPointF(0, baseline));
        if (wholePixels)
            mPrintPath = surfacefill::WholePixelPath(mPrintPath);
        mPrintFont = font;
        mPrintText = shown;
        mPrintBaseline = baseline;
        mPrintWholePixels = wholePixels;
    }
    auto device = [&](QPoint at) {
        return QPoint(report.XToDevice(left + (Left() + at.x()) / r), report.YToDevice(top + (Top() + at.y()) / r));
    };

    surfacefill::TSurfaceLayers l;
    // Everything drawn from the text's place: the glyphs are the same path at every cell.
    l.origin = device(mTextRect.topLeft());
    const QRect bounds = report.RectToDevice(x1, y1, x2, y2);
    const int out = int(std::lround(0.03 * report.XDpi()));
    l.area = bounds.adjusted(-out, -int(std::lround(0.03 * report.YDpi())), 0, 0);
    switch (mSurfaceType) {
    case stNormal:
        l.fill = surfacefill::TFillKind::Solid;
        l.solidColor = mFont->Color();
        break;
    case stBrushTransparent: break;
    case stBrushImage:
        l.fill = surfacefill::TFillKind::Texture;
        l.texture = mImage->Image();
        l.tileSize = QSizeF(std::lround(l.texture.width() * kx), std::lround(l.texture.height() * ky));
        break;
    case stGradientFill:
        l.fill = surfacefill::TFillKind::Gradient;
        l.direction = mFillDirection;
        l.fromColor = mGradientFromColor;
        l.toColor = mGradientToColor;
        l.area.setWidth(int(report.XDpi() * 0.25) + l.area.width() + 1);
        l.area.setHeight(int(report.YDpi() * 0.25) + l.area.height() + 1);
        break;
    }
    l.outline = mOutlineStyle != psClear && mOutlineWidth >= 1;
    if (l.fill != surfacefill::TFillKind::None || l.outline)
        l.path = mPrintPath;
    l.area.translate(-l.origin);
    // Outline widths are hundredths of an inch on the page, at least one pixel.
    const double penWidth = std::max(1.0, std::min(mOutlineWidth, 100) / 100.0 * report.XDpi());
    l.outlinePen = surfacefill::OutlinePen(mOutlineColor, mOutlineStyle, penWidth);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    if (mShadowDepth >= 1 && mShadowOrientation != sdNone) {
        // The shadow is the caption written in the shadow colour: the glyph
        // outlines of the path, kept once in the PDF's embedded font. As a
        // filled path it would be spelled out again at every cell, in page
        // coordinates that differ from cell to cell.
        painter->setFont(font);
        painter->setPen(CanvasColor(mShadowColor));
        painter->drawText(QPointF(device(mShadowPosition)) + QPointF(0, baseline + metrics.ascent()), shown);
    }
    surfacefill::PaintPrint(*painter, l, int(std::lround(0.01 * report.XDpi())));
    painter->restore();
}
