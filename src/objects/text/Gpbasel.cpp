#include "Gpbasel.h"

#include "Gf3d.h"
#include "SymbolFonts.h"
#include "TextFont.h"
#include "controls/ColorCombo.h"
#include "controls/DialogSupport.h"
#include "print/engine/Report.h"

#include <QAction>
#include <QMenu>
#include <QFontMetrics>
#include <QPainter>
#include <QPicture>

#include <algorithm>
#include <cstdlib>

const TIdentList ShadowDirectionIdents = {"sdNone", "sdRight", "sdLeft", "sdDownRight", "sdDownLeft", "sdDown"};
const TIdentList HighlightDirectionIdents = {"hdNone", "hdright", "hdLeft", "hdUpRight", "hdUpLeft", "hdUp"};
const TIdentList AlignmentIdents = {"taLeftJustify", "taRightJustify", "taCenter"};
const TIdentList BorderStyleIdents = {"bsNone", "bsSingle"};

TGBaseLabel::TGBaseLabel(TComponent *owner)
    : TGGraphicControl(owner)
    , mFont(std::make_unique<TFont>())
{
    mFont->SetName(QStringLiteral("Arial"));
    mFont->SetSize(10);
    mFont->SetColor(cl::Black);
    mFont->OnChange = [this] { fontChanged(); };
    resize(142, 33);
}

TGBaseLabel::~TGBaseLabel()
{
    mFont->OnChange = nullptr;
}

const TPropertyTable &TGBaseLabel::LabelProperties()
{
    using C = TGBaseLabel;
    static const TPropertyTable table(&TGGraphicControl::BaseProperties(), {
        props::enumeration("Alignment", AlignmentIdents, &C::Alignment, &C::SetAlignment, taLeftJustify),
        props::integer("DepthHighlight", &C::DepthHighlight, &C::SetDepthHighlight, 0),
        props::integer("DepthShadow", &C::DepthShadow, &C::SetDepthShadow, 0),
        props::enumeration("DirectionHighlight", HighlightDirectionIdents, &C::DirectionHighlight,
                           &C::SetDirectionHighlight, hdUpLeft),
        props::enumeration("DirectionShadow", ShadowDirectionIdents, &C::DirectionShadow,
                           &C::SetDirectionShadow, sdDownRight),
        props::color("colorHighlight", &C::colorHighlight, &C::SetcolorHighlight, cl::Aqua),
        props::color("colorShadow", &C::colorShadow, &C::SetcolorShadow, cl::Gray),
        props::integer("Angle", &C::Angle, &C::SetAngle, 0),
        props::string("Caption", &C::Caption, &C::SetCaption),
        props::object("Font", TPropKind::Object, &C::Font),
        props::boolean("Transparent", &C::Transparent, &C::SetTransparent, std::nullopt),
        props::color("BackColor", &C::BackColor, &C::SetBackColor, std::nullopt),
        props::enumeration("BorderStyle", BorderStyleIdents, &C::BorderStyle, &C::SetBorderStyle, std::nullopt),
    });
    return table;
}

QPoint TGBaseLabel::shadowOffsetFor(TShadowDirection direction, int d)
{
    switch (direction) {
    case sdNone: return {0, 0};
    case sdRight: return {d, 0};
    case sdLeft: return {-d, 0};
    case sdDownRight: return {d, d};
    case sdDownLeft: return {-d, d};
    case sdDown: return {0, d};
    }
    return {0, 0};
}

QPoint TGBaseLabel::highlightOffsetFor(THighlightDirection direction, int d)
{
    switch (direction) {
    case hdNone: return {0, 0};
    case hdright: return {d, 0};
    case hdLeft: return {-d, 0};
    case hdUpRight: return {d, -d};
    case hdUpLeft: return {-d, -d};
    case hdUp: return {0, -d};
    }
    return {0, 0};
}

void TGBaseLabel::SetAlignment(TAlignment value)
{
    if (value == mAlignment)
        return;
    mAlignment = value;
    mLayoutDirty = true;
    update();
    NotifyChanged();
}

void TGBaseLabel::SetDepthShadow(int value)
{
    if (value == mDepthShadow)
        return;
    mDepthShadow = value;
    mShadowOffset = shadowOffsetFor(mDirectionShadow, mDepthShadow);
    mLayoutDirty = true;
    update();
}

void TGBaseLabel::SetDirectionShadow(TShadowDirection value)
{
    if (value == mDirectionShadow || value < sdNone || value > sdDown)
        return;
    mDirectionShadow = value;
    mShadowOffset = shadowOffsetFor(mDirectionShadow, mDepthShadow);
    mLayoutDirty = true;
    update();
}

void TGBaseLabel::SetDepthHighlight(int value)
{
    if (value == mDepthHighlight)
        return;
    mDepthHighlight = value;
    mHighlightOffset = highlightOffsetFor(mDirectionHighlight, mDepthHighlight);
    mLayoutDirty = true;
    update();
}

void TGBaseLabel::SetDirectionHighlight(THighlightDirection value)
{
    if (value == mDirectionHighlight || value < hdNone || value > hdUp)
        return;
    mDirectionHighlight = value;
    mHighlightOffset = highlightOffsetFor(mDirectionHighlight, mDepthHighlight);
    mLayoutDirty = true;
    update();
}

void TGBaseLabel::SetcolorShadow(TColor value)
{
    if (value == mColorShadow)
        return;
    mColorShadow = value;
    update();
}

void TGBaseLabel::SetcolorHighlight(TColor value)
{
    if (value == mColorHighlight)
        return;
    mColorHighlight = value;
    update();
}

void TGBaseLabel::SetAngle(int a)
{
    if (a != 0 && a != 90 && a != 180 && a != 270)
        return;
    if (a == mAngle)
        return;
    const int oldWidth = Width();
    const int oldHeight = Height();
    mAngle = a;
    mLayoutDirty = true;
    if (a != 0)
        SetAlignment(taLeftJustify);
    const bool upright = a == 0 || a == 180;
    if ((upright && Width() < Height()) || (!upright && Height() < Width())) {
        SetHeight(oldWidth);
        SetWidth(oldHeight);
    }
    update();
}

void TGBaseLabel::SetCaption(const QString &value)
{
    if (value == mCaption)
        return;
    mCaption = value;
    update();
    NotifyChanged();
}

void TGBaseLabel::SetTransparent(bool value)
{
    if (value == mTransparent)
        return;
    mTransparent = value;
    NotifyChanged();
    repaint();
}

void TGBaseLabel::SetBackColor(TColor value)
{
    if (value == mBackColor)
        return;
    mBackColor = value;
    NotifyChanged();
    update();
}

void TGBaseLabel::SetBorderStyle(TBorderStyle value)
{
    if (value == mBorderStyle)
        return;
    mBorderStyle = value;
    update();
    NotifyChanged();
}

void TGBaseLabel::fontChanged()
{
    // Any change of the font needs a new measurement (the stream assigns
    // Font.Height and Font.Name one by one).
    mLayoutDirty = true;
    update();
    if (!IsLoading())
        NotifyChanged();
}

void TGBaseLabel::BuildObjectMenu(QMenu *menu)
{
    TGGraphicControl::BuildObjectMenu(menu);
    menu->addSeparator();
    mFontItem = menu->addAction(QStringLiteral("Font"), this, [this] { ChooseFont(); });
    mEffectsItem = menu->addAction(QStringLiteral("3D Effects"), this, &TGBaseLabel::ShowEffectsDialog);
    QMenu *alignment = menu->addMenu(QStringLiteral("Alignment"));
    mAlignmentItem = alignment->menuAction();
    mLeftItem = alignment->addAction(QStringLiteral("Left"), this, [this] {
        SetAlignment(taLeftJustify);
        NotifyChanged();
    });
    mCenterItem = alignment->addAction(QStringLiteral("Center"), this, [this] {
        SetAlignment(taCenter);
        NotifyChanged();
    });
    mRightItem = alignment->addAction(QStringLiteral("Right"), this, [this] {
        SetAlignment(taRightJustify);
        NotifyChanged();
    });
    for (QAction *a : {mLeftItem, mCenterItem, mRightItem})
        a->setCheckable(true);
    mTransparentItem = menu->addAction(QStringLiteral("Transparent"), this, &TGBaseLabel::ToggleTransparent);
    mTransparentItem->setCheckable(true);
    mBackColorItem = menu->addAction(QStringLiteral("Background Color"), this, &TGBaseLabel::ChooseBackColor);
    mBorderItem = menu->addAction(QStringLiteral("Border"), this, [this] {
        SetBorderStyle(mBorderStyle == bsSingle ? bsNone : bsSingle);
    });
    mBorderItem->setCheckable(true);
    mBorderItem->setChecked(mBorderStyle == bsSingle);
    mTransparentItem->setChecked(mTransparent);
}

void TGBaseLabel::AddRotationMenu(QMenu *menu)
{
    if (!menu)
        return;
    menu->addSeparator();
    QMenu *rotation = menu->addMenu(QStringLiteral("Rotation"));
    mRotationItem = rotation->menuAction();
    mNoRotationItem = rotation->addAction(QStringLiteral("No Rotation"), this, [this] { SetAngle(0); });
    m90Item = rotation->addAction(QStringLiteral("90 Degrees"), this, [this] { SetAngle(90); });
    m180Item = rotation->addAction(QStringLiteral("180 Degrees"), this, [this] { SetAngle(180); });
    m270Item = rotation->addAction(QStringLiteral("270 Degrees"), this, [this] { SetAngle(270); });
    for (QAction *a : {mNoRotationItem, m90Item, m180Item, m270Item})
        a->setCheckable(true);
    mHasRotationMenu = true;
}

void TGBaseLabel::PrepareObjectMenu()
{
    TGGraphicControl::PrepareObjectMenu();
    if (mBorderItem)
        mBorderItem->setChecked(mBorderStyle == bsSingle);
    if (mLeftItem) {
        mLeftItem->setChecked(mAlignment == taLeftJustify);
        mRightItem->setChecked(mAlignment == taRightJustify);
        mCenterItem->setChecked(mAlignment == taCenter);
    }
    if (mTransparentItem)
        mTransparentItem->setChecked(mTransparent);
    if (mHasRotationMenu) {
        mNoRotationItem->setChecked(mAngle == 0);
        m90Item->setChecked(mAngle == 90);
        m180Item->setChecked(mAngle == 180);
        m270Item->setChecked(mAngle == 270);
    }
}

void TGBaseLabel::Paint()
{
    if (Width() < 5 || Height() < 5)
        mLayoutDirty = true;
    if (QPainter *p = DrawCanvas())
        DrawLabel(*p);
    DrawSelectionMarks();
}

void TGBaseLabel::CheckBoundsChanged()
{
    TGGraphicControl::CheckBoundsChanged();
    mLayoutDirty = true;
    if (Width() <= 0)
        SetWidth(1);
    if (Height() <= 0)
        SetHeight(1);
}

void TGBaseLabel::ApplyFont(const TFont &font)
{
    mFont->Assign(font);
    mLayoutDirty = true;
}

void TGBaseLabel::ChooseFont()
{
    const std::optional<QFont> chosen = PickFont(DialogFont(*mFont), window());
    if (!chosen)
        return;
    AssignDialogFont(*mFont, *chosen);
    mLayoutDirty = true;
}

void TGBaseLabel::ShowEffectsDialog()
{
    TGFont3DEffects dialog(this, window());
    if (ExecDialog(dialog) == QDialog::Accepted)
        NotifyChanged();
}

void TGBaseLabel::ChooseBackColor()
{
    const std::optional<QColor> chosen = PickColor(ColorToQColor(mBackColor), window());
    if (!chosen)
        return;
    SetBackColor(QColorToColor(*chosen));
    SetTransparent(false);
    if (mTransparentItem)
        mTransparentItem->setChecked(mTransparent);
    update();
}

void TGBaseLabel::ToggleTransparent()
{
    SetTransparent(!mTransparent);
    if (mTransparentItem)
        mTransparentItem->setChecked(mTransparent);
}

QFont TGBaseLabel::CanvasFont() const
{
    return MakeQFont(*mFont, Scale());
}

QString TGBaseLabel::DisplayCaption() const
{
    return symbolfonts::DisplayText(mFont->Name(), MergedText(mCaption));
}

void TGBaseLabel::MergeRecordChanged()
{
    if (HasFields(mCaption)) {
        mLayoutDirty = true;
        RecalculateLayout();
    }
    update();
}

void TGBaseLabel::SettleLayout()
{
    RecalculateLayout();
}

void TGBaseLabel::RecalculateLayout()
{
    if (!mLayoutDirty)
        return;
    const QFont font = CanvasFont();
    const TTextMetrics tm = TextMetrics(font);
    // The internal leading is counted twice: the cell height holds it already.
    const int ht = tm.cellHeight + tm.internalLeading + tm.externalLeading;
    const int w = TextWidth(font, DisplayCaption() + QLatin1Char(' '));

    const int sx = mShadowOffset.x(), sy = mShadowOffset.y();
    const int hx = mHighlightOffset.x(), hy = mHighlightOffset.y();
    int mx = 0, my = 0;
    if (sx < 0)
        mx = std::abs(sx);
    if (hx < 0)
        mx = std::max(std::abs(hx), mx);
    if (sy < 0)
        my = std::abs(sy);
    if (hy < 0)
        my = std::max(std::abs(hy), my);
    mTextMargin = QPoint(mx, my);

    const int l = ht + sy - hy;
    // 1.2 x n is compared and truncated in extended precision.
    const auto grown = [](int n) { return 1.2L * static_cast<long double>(n); };
    if (mAngle == 0 || mAngle == 180) {
        if (mAngle == 180 && 2 * w < Width())
            SetWidth(2 * w);
        if (Width() <= 5)
            SetWidth(w);
        if (grown(l) < Height())
            SetHeight(int(grown(l)));
        if (Height() < l)
            SetHeight(l);
    } else {
        if (grown(w) < Height())
            SetHeight(int(grown(w)));
        if (Height() < 5)
            SetHeight(w);
        if (grown(l) < Width())
            SetWidth(int(grown(l)));
        if (Width() < l)
            SetWidth(l);
    }

    if (mAngle == 0 || mAngle == 180)
        mTextRect = {mx, my, Width(), ht + my};
    else
        mTextRect = {my, mx, my + ht, Height() - my};
    const int rw = mTextRect.right - mTextRect.left + 1;
    const int rh = mTextRect.bottom - mTextRect.top + 1;
    if (mAngle == 90)
        mTextRect.Offset(0, Height() - rh + hx);
    else if (mAngle == 180)
        mTextRect.Offset(Width() - rw - sy, 0);

    const auto turned = [this](int dx, int dy) {
        switch (mAngle) {
        case 90: return QPoint(dy, -dx);
        case 180: return QPoint(-dx, -dy);
        case 270: return QPoint(-dy, dx);
        default: return QPoint(dx, dy);
        }
    };
    const QPoint ts = turned(sx, sy);
    const QPoint th = turned(hx, hy);
    mShadowRect = mTextRect;
    mShadowRect.Offset(ts.x(), ts.y());
    mHighlightRect = mTextRect;
    mHighlightRect.Offset(th.x(), th.y());

    const auto origin = [this](const TLayoutRect &r) {
        switch (mAngle) {
        case 90: return QPoint(r.left, r.bottom);
        case 180: return QPoint(r.right, r.bottom);
        case 270: return QPoint(r.right, r.top);
        default: return QPoint(r.left, r.top);
        }
    };
    mTextOrigin = origin(mTextRect);
    mShadowOrigin = origin(mShadowRect);
    mHighlightOrigin = origin(mHighlightRect);

    if (mAngle == 0) {
        int x = mTextRect.left;
        if (mAlignment == taRightJustify)
            x = mTextRect.right - w;
        else if (mAlignment == taCenter)
            x = (mTextRect.right - mTextRect.left) / 2 - w / 2;
        mTextOrigin.setX(x);
        mHighlightOrigin.setX(x + hx);
        mShadowOrigin.setX(x + sx);
    }
    mLayoutDirty = false;
}

bool TGBaseLabel::inkInside(int copy, const QFont &font, const QString &text, const QPoint &origin,
                            const TLayoutRect &clip) const
{
    TInkFit &fit = mInkFit[copy];
    if (fit.known && fit.origin == origin && fit.clip == clip && fit.text == text && fit.font == font)
        return fit.inside;
    // A pixel to spare at the end of the line: devices other than the
    // screen may advance the glyphs a fraction further.
    const QRect ink = QFontMetrics(font).boundingRect(text).translated(origin.x(),
                                                                       origin.y() + TextMetrics(font).ascent);
    fit = {true, origin, clip, text, font,
           ink.left() >= clip.left && ink.top() >= clip.top && ink.right() + 1 < clip.right
               && ink.bottom() < clip.bottom};
    return fit.inside;
}

void TGBaseLabel::drawCopy(QPainter &painter, int copy, const QFont &font, const QString &text,
                           const QPoint &origin, const TLayoutRect &clip, TColor color) const
{
    // Text that lies inside its rectangle needs no clip, and no state of
    // its own to set and restore on the page.
    if (mAngle == 0 && inkInside(copy, font, text, origin, clip)) {
        painter.setFont(font);
        painter.setPen(ColorToQColor(color));
        painter.drawText(QPoint(origin.x(), origin.y() + TextMetrics(font).ascent), text);
        return;
    }
    painter.save();
    painter.setClipRect(QRect(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top),
                        Qt::IntersectClip);
    painter.translate(origin);
    if (mAngle != 0)
        painter.rotate(-mAngle);  // counter-clockwise on the y-down canvas
    painter.setFont(font);
    painter.setPen(ColorToQColor(color));
    // The origin is the top-left of the text cell; the baseline lies one ascent below.
    painter.drawText(QPoint(0, TextMetrics(font).ascent), text);
    painter.restore();
}

void TGBaseLabel::DrawLabel(QPainter &painter)
{
    RecalculateLayout();
    if (!mTransparent)
        painter.fillRect(QRect(0, 0, Width(), Height()), ColorToQColor(mBackColor));
    const QFont font = CanvasFont();
    const QString text = DisplayCaption();
    if (mDepthShadow > 0 && mDirectionShadow != sdNone)
        drawCopy(painter, 0, font, text, mShadowOrigin, mShadowRect, mColorShadow);
    if (mDepthHighlight > 0 && mDirectionHighlight != hdNone)
        drawCopy(painter, 1, font, text, mHighlightOrigin, mHighlightRect, mColorHighlight);
    drawCopy(painter, 2, font, text, mTextOrigin, mTextRect, mFont->Color());
    if (mBorderStyle == bsSingle) {
        // The frame covers the outermost pixels; drawn as four strips so that
        // it stays inside the object when a print stretches it.
        const int w = Width(), h = Height();
        painter.fillRect(QRect(0, 0, w, 1), Qt::black);
        painter.fillRect(QRect(0, h - 1, w, 1), Qt::black);
        painter.fillRect(QRect(0, 0, 1, h), Qt::black);
        painter.fillRect(QRect(w - 1, 0, 1, h), Qt::black);
    }
}

void TGBaseLabel::FitToText()
{
    if (mAngle != 0)
        return;
    const int lx = std::max({mTextRect.left, mShadowRect.left, mHighlightRect.left});
    const int ty = std::max({mTextRect.top, mShadowRect.top, mHighlightRect.top});
    const QFont font = CanvasFont();
    const QString text = DisplayCaption();
    const int w = lx + TextWidth(font, text + QStringLiteral("     "));
    if (w > Width())
        SetWidth(w);
    const int h = ty + TextMetrics(font).cellHeight;
    if (h > Height())
        SetHeight(h);
    mLayoutDirty = true;
    update();
}

void TGBaseLabel::RenderToMetafile(QPicture &picture)
{
    // Text does not count towards a picture's own bounds; the label's frame does.
    const QRect frame(0, 0, Width(), Height());
    QPainter painter(&picture);
    DrawLabel(painter);
    painter.end();
    picture.setBoundingRect(frame);
}

void TGBaseLabel::PrintOnReport(TReport &report, double left, double top)
{
    if (Width() < 1 || Height() < 1)
        return;
    // A layout still to be made may resize the object: first, so that the
    // picture and the place it is printed at agree.
    RecalculateLayout();
    const double p = ScreenPixelsPerInch();
    const QRect bounds = BoundsRect();
    // Straight onto the page: a recording replayed at every cell costs
    // more than drawing the label again.
    report.StretchPaint(left + bounds.left() / p, top + bounds.top() / p,
                        left + (bounds.left() + bounds.width()) / p,
                        top + (bounds.top() + bounds.height()) / p, QSizeF(Width(), Height()),
                        [this](QPainter &painter) { DrawLabel(painter); });
}
