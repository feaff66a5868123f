#include "Gpcirct.h"

#include "TextFont.h"
#include "controls/DialogSupport.h"
#include "gpcirctprop.h"
#include "print/engine/Report.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QPicture>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

const TIdentList DegreesIdents = {"dg90", "dg180", "dg270", "dg360"};

namespace {

int roundEven(double v)
{
    return int(std::nearbyint(v));
}

}  // namespace

TGPCircleText::TGPCircleText(TComponent *owner)
    : TGGraphicControl(owner)
    , mFont(std::make_unique<TFont>())
{
    mFont->SetName(QStringLiteral("Arial"));
    mFont->SetSize(10);
    mFont->SetStyle(1u << fsBold);
    mFont->SetColor(cl::Black);
    mFont->OnChange = [this] { fontChanged(); };
    resize(142, 33);
}

TGPCircleText::~TGPCircleText()
{
    mFont->OnChange = nullptr;
}

const TPropertyTable &TGPCircleText::Properties() const
{
    using C = TGPCircleText;
    static const TPropertyTable table(&TGGraphicControl::BaseProperties(), {
        props::enumeration("StartingVector", DegreesIdents, &C::StartingVector, &C::SetStartingVector, std::nullopt),
        props::enumeration("Degrees", DegreesIdents, &C::Degrees, &C::SetDegrees, std::nullopt),
        props::component("PopupMenu", &C::PopupMenu, &C::SetPopupMenu),
        props::object("Font", TPropKind::Object, &C::Font),
        props::boolean("Mirror", &C::Mirror, &C::SetMirror, std::nullopt),
        props::boolean("DrawLettersAngled", &C::DrawLettersAngled, &C::SetDrawLettersAngled, std::nullopt),
        props::enumeration("BorderStyle", BorderStyleIdents, &C::BorderStyle, &C::SetBorderStyle, std::nullopt),
        props::boolean("ControlTransparent", &C::ControlTransparent, &C::SetControlTransparent, std::nullopt),
        props::color("BGColor", &C::BGColor, &C::SetBGColor, std::nullopt),
        props::string("Caption", &C::Caption, &C::SetCaption),
    });
    return table;
}

void TGPCircleText::SetStartingVector(TDegrees value)
{
    if (value == mStartingVector || value < dg90 || value > dg360)
        return;
    mStartingVector = value;
    update();
}

void TGPCircleText::SetDegrees(TDegrees value)
{
    if (value == mDegrees || value < dg90 || value > dg360)
        return;
    mDegrees = value;
    update();
}

TComponent *TGPCircleText::PopupMenu() const
{
    // A reference read from a file may name an object that is gone since.
    return mPopupMenuObject ? mPopupMenu : nullptr;
}

void TGPCircleText::SetPopupMenu(TComponent *menu)
{
    QObject *object = dynamic_cast<QObject *>(menu);
    mPopupMenu = object ? menu : nullptr;
    mPopupMenuObject = object;
}

void TGPCircleText::SetMirror(bool value)
{
    if (value == mMirror)
        return;
    mMirror = value;
    update();
}

void TGPCircleText::SetDrawLettersAngled(bool value)
{
    if (value == mDrawLettersAngled)
        return;
    mDrawLettersAngled = value;
    update();
    NotifyChanged();
}

void TGPCircleText::SetBorderStyle(TBorderStyle value)
{
    if (value == mBorderStyle || value < bsNone || value > bsSingle)
        return;
    mBorderStyle = value;
    update();
    NotifyChanged();
}

void TGPCircleText::SetControlTransparent(bool value)
{
    if (value == mControlTransparent)
        return;
    mControlTransparent = value;
    update();
}

void TGPCircleText::SetBGColor(TColor value)
{
    if (value == mBGColor)
        return;
    mBGColor = value;
    update();
    NotifyChanged();
}

void TGPCircleText::SetCaption(const QString &value)
{
    if (value == mCaption)
        return;
    mCaption = value;
    update();
    NotifyChanged();
}

void TGPCircleText::fontChanged()
{
    update();
    if (!IsLoading())
        NotifyChanged();
}

void TGPCircleText::BuildObjectMenu(QMenu *menu)
{
    TGGraphicControl::BuildObjectMenu(menu);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Font"), this, [this] { ChooseCircleFont(); });
    mTransparentItem = menu->addAction(QStringLiteral("Transparent"), this, [this] {
        SetControlTransparent(!mControlTransparent);
        // The setter alone leaves the design unchanged; the command must not.
        NotifyChanged();
    });
    mTransparentItem->setCheckable(true);
    menu->addAction(QStringLiteral("Background Color"), this, &TGPCircleText::ChooseBGColor);
    mBorderItem = menu->addAction(QStringLiteral("Border"), this, [this] {
        SetBorderStyle(mBorderStyle == bsSingle ? bsNone : bsSingle);
    });
    mBorderItem->setCheckable(true);
    mBorderItem->setChecked(mBorderStyle == bsSingle);
    menu->addAction(QStringLiteral("Properties"), this, [this] { EditCircleText(); });
}

void TGPCircleText::PrepareObjectMenu()
{
    TGGraphicControl::PrepareObjectMenu();
    if (mBorderItem)
        mBorderItem->setChecked(mBorderStyle == bsSingle);
    if (mTransparentItem)
        mTransparentItem->setChecked(mControlTransparent);
}

void TGPCircleText::ChooseBGColor()
{
    const std::optional<QColor> chosen = PickColor(ColorToQColor(mBGColor), window());
    if (!chosen)
        return;
    SetBGColor(QColorToColor(*chosen));
    NotifyChanged();
    SetControlTransparent(false);
    update();
}

void TGPCircleText::ChooseCircleFont()
{
    if (const std::optional<QFont> chosen = PickFont(DialogFont(*mFont), window(), QFontDialog::ScalableFonts))
        AssignDialogFont(*mFont, *chosen);
}

void TGPCircleText::ApplyFont(const TFont &font)
{
    mFont->Assign(font);
}

void TGPCircleText::CheckBoundsChanged()
{
    TGGraphicControl::CheckBoundsChanged();
    if (Width() <= 0)
        SetWidth(1);
    if (Height() <= 0)
        SetHeight(1);
}

void TGPCircleText::CopyCircleText(const TGPCircleText &source)
{
    const bool wasInPaint = mInPaint;
    mInPaint = true;
    SetCaption(source.Caption());
    mFont->Assign(*source.Font());
    SetControlTransparent(source.ControlTransparent());
    SetBGColor(source.BGColor());
    SetBorderStyle(source.BorderStyle());
    SetWidth(source.Width());
    SetHeight(source.Height());
    SetStartingVector(source.StartingVector());
    SetDegrees(source.Degrees());
    SetDrawLettersAngled(source.DrawLettersAngled());
    SetMirror(source.Mirror());
    mInPaint = wasInPaint;
    update();
}

bool TGPCircleText::EditCircleText()
{
    TCircleTextProperties dialog(window());
    dialog.Preview->CopyCircleText(*this);
    dialog.LoadControls();
    if (ExecDialog(dialog) != QDialog::Accepted)
        return false;
    dialog.Preview->SetScale(1.0f);
    CopyCircleText(*dialog.Preview);
    update();
    NotifyChanged();
    return true;
}

bool TGPCircleText::EditNew()
{
    EditCircleText();
    return true;
}

QFont TGPCircleText::CanvasFont() const
{
    return BoundedQFont(*mFont, Scale());
}

TCircleGeometry TGPCircleText::Geometry(int H, int A) const
{
    const int w = Width(), h = Height();
    TCircleGeometry g;
    g.cx = g.rx = w / 2;
    g.cy = g.ry = h / 2;
    if (mDegrees == dg90) {
        switch (mStartingVector) {
        case dg90: g.cy = g.ry = h - H; g.cx = A; g.rx = w - A; break;
        case dg180: g.cy = g.ry = h - H; g.cx = g.rx = w - A; break;
        case dg270: g.cy = H; g.ry = h - H; g.cx = g.rx = w - A; break;
        case dg360: g.cy = H; g.ry = h - H; g.cx = A; g.rx = w - A; break;
        }
    } else if (mDegrees == dg180) {
        switch (mStartingVector) {
        case dg90: g.cx = A; g.rx = w - A; break;
        case dg180: g.cy = g.ry = h - H; break;
        case dg270: g.cx = g.rx = w - A; break;
        case dg360: g.cy = H; g.ry = h - H; break;
        }
    }
    g.r = std::min(g.rx, g.ry) - 4;
    if (!(mMirror && mDrawLettersAngled))
        g.r -= std::abs(H);
    return g;
}

std::vector<TCircleLetter> TGPCircleText::Letters(int H, int A) const
{
    const QString text = MergedText(mCaption).left(MaxDrawnLetters);
    const int n = int(text.size());
    std::vector<TCircleLetter> letters;
    if (n == 0)
        return letters;
    const bool mirror = mMirror && mDrawLettersAngled;
    const int S = (int(mStartingVector) + 1) * 90;
    int D = (int(mDegrees) + 1) * 90;
    if (mDegrees == dg360 && n > 5)
        D = 355;
    const TCircleGeometry g = Geometry(H, A);
    // The step is a single-precision value, as the angles were always formed.
    float step;
    if (n == 1)
        step = float(D);
    else if (mDegrees == dg360)
        step = float(D) / float(n);
    else
        step = float(D) / float(n - 1);
    const int B = (S - 90) * 10;
    constexpr double toRadians = std::numbers::pi / 180.0;
    letters.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        TCircleLetter l;
        l.letter = mirror ? text.at(n - 1 - i) : text.at(i);
        // The last letter of an open arc stands exactly at its end.
        const bool atEnd = i == n - 1 && mDegrees != dg360;
        int e = atEnd ? roundEven(double(B) - D * 10.0) : roundEven(double(B) - double(i) * double(step) * 10.0);
        if (e < 0)
            e += 3600;
        if (mirror)
            e = e + 1800 > 3600 ? e - 1800 : e + 1800;
        l.rotation = e;
        const double theta = atEnd ? (D - S) * toRadians : (double(i) * double(step) - S) * toRadians;
        l.x = roundEven(std::cos(theta) * g.r) + g.cx;
        l.y = roundEven(std::sin(theta) * g.r) + g.cy;
        l.inside = l.x >= 0 && l.x < Width() && l.y >= 0 && l.y < Height();
        letters.push_back(l);
    }
    return letters;
}

std::vector<TCircleLetter> TGPCircleText::Letters() const
{
    const QFont font = CanvasFont();
    const QFontMetrics fm(font);
    return Letters(TextMetrics(font).cellHeight, fm.averageCharWidth());
}

void TGPCircleText::DrawCircleText(QPainter &painter)
{
    const int w = Width(), h = Height();
    painter.save();
    painter.setClipRect(QRect(0, 0, w, h), Qt::IntersectClip);
    if (!mControlTransparent)
        painter.fillRect(QRect(0, 0, w, h), ColorToQColor(mBGColor));
    if (mBorderStyle == bsSingle) {
        // Four strips, so the frame stays inside the object when a print stretches it.
        painter.fillRect(QRect(0, 0, w, 1), Qt::black);
        painter.fillRect(QRect(0, h - 1, w, 1), Qt::black);
        painter.fillRect(QRect(0, 0, 1, h), Qt::black);
        painter.fillRect(QRect(w - 1, 0, 1, h), Qt::black);
    }
    const QFont font = CanvasFont();
    const QFontMetrics fm(font);
    const int descent = fm.descent();
    painter.setFont(font);
    painter.setPen(ColorToQColor(mFont->Color()));
    painter.setBrush(Qt::NoBrush);
    for (const TCircleLetter &l : Letters(TextMetrics(font).cellHeight, fm.averageCharWidth())) {
        if (!l.inside)
            continue;
        const QString s(l.letter);
        painter.save();
        painter.translate(l.x, l.y);
        if (mDrawLettersAngled && l.rotation != 0)
            painter.rotate(-l.rotation / 10.0);  // counter-clockwise on the y-down canvas
        // The point is the middle of the bottom edge of the letter's cell.
        painter.drawText(QPoint(-(fm.horizontalAdvance(s) / 2), -descent), s);
        painter.restore();
    }
    painter.restore();
}

void TGPCircleText::Paint()
{
    if (mInPaint)
        return;
    mInPaint = true;
    try {
        if (QPainter *p = DrawCanvas())
            DrawCircleText(*p);
    } catch (...) {
    }
    DrawSelectionMarks();
    mInPaint = false;
}

void TGPCircleText::RenderToMetafile(QPicture &picture)
{
    const QRect frame(0, 0, Width(), Height());
    QPainter painter(&picture);
    DrawCircleText(painter);
    painter.end();
    picture.setBoundingRect(frame);
}

void TGPCircleText::PrintOnReport(TReport &report, double left, double top)
{
    if (Width() < 1 || Height() < 1)
        return;
    const double p = ScreenPixelsPerInch();
    const QRect b = BoundsRect();
    report.StretchPaint(left + b.left() / p, top + b.top() / p, left + (b.left() + b.width()) / p,
                        top + (b.top() + b.height()) / p, QSizeF(b.size()),
                        [this](QPainter &painter) { DrawCircleText(painter); });
}
