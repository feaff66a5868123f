#include "objects/graphic/Glshapes.h"

#include "print/engine/Canvas.h"
#include "print/engine/Report.h"

#include <QColorDialog>
#include <QMenu>

#include <algorithm>

const TIdentList ShapeTypeIdents = {"stRectangle", "stSquare", "stRoundRect", "stRoundSquare",
                                    "stEllipse", "stCircle"};

TGLabelShapes::TGLabelShapes(TComponent *owner)
    : TGGraphicControl(owner), mBrush(std::make_unique<TBrush>()), mPen(std::make_unique<TPen>())
{
    mBrush->OnChange = [this] { update(); };
    mPen->OnChange = [this] { update(); };
    resize(25, 25);
}

TGLabelShapes::~TGLabelShapes()
{
    mBrush->OnChange = nullptr;
    mPen->OnChange = nullptr;
}

const TPropertyTable &TGLabelShapes::Properties() const
{
    using C = TGLabelShapes;
    static const TPropertyTable table(&BaseProperties(), {
        props::boolean<C>("Transparent", &C::Transparent, &C::SetTransparent, std::nullopt),
        props::object<C, TBrush>("Brush", TPropKind::Object, &C::Brush),
        props::object<C, TPen>("Pen", TPropKind::Object, &C::Pen),
        props::integer<C>("RoundPerc", &C::RoundPerc, &C::SetRoundPerc, 25),
        props::enumeration<C, TShapeType>("Shape", ShapeTypeIdents, &C::Shape, &C::SetShape, stRectangle),
    });
    return table;
}

void TGLabelShapes::SetTransparent(bool transparent)
{
    if (transparent == mTransparent)
        return;
    mTransparent = transparent;
    mBrush->SetStyle(transparent ? bsClear : bsSolid);
    update();
}

void TGLabelShapes::SetBrush(const TBrush &brush)
{
    mBrush->Assign(brush);
}

void TGLabelShapes::SetPen(const TPen &pen)
{
    mPen->Assign(pen);
}

void TGLabelShapes::SetRoundPerc(int percent)
{
    if (percent == mRoundPerc)
        return;
    mRoundPerc = percent;
    update();
}

void TGLabelShapes::SetShape(TShapeType shape)
{
    if (shape == mShape)
        return;
    mShape = shape;
    update();
}

void TGLabelShapes::BuildObjectMenu(QMenu *m)
{
    TGGraphicControl::BuildObjectMenu(m);
    m->addSeparator();
    connect(m->addAction(QStringLiteral("Background Color")), &QAction::triggered, this,
            [this] { chooseBackgroundColor(); });
    connect(m->addAction(QStringLiteral("Line Color")), &QAction::triggered, this,
            [this] { chooseLineColor(); });
    QMenu *thickness = m->addMenu(QStringLiteral("Line Thickness"));
    for (int n = 1; n <= 10; ++n) {
        QAction *a = thickness->addAction(QStringLiteral("%1 Point").arg(n));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, n] {
            mPen->SetWidth(n);
            NotifyChanged();
        });
        mThicknessItems[n - 1] = a;
    }
    m->addSeparator();
    mTransparentItem = m->addAction(QStringLiteral("Transparent"));
    mTransparentItem->setCheckable(true);
    connect(mTransparentItem, &QAction::triggered, this, [this] {
        NotifyChanged();
        SetTransparent(!mTransparent);
        mTransparentItem->setChecked(mTransparent);
    });
    if (mShape == stRoundRect || mShape == stRoundSquare) {
        m->addSeparator();
        QMenu *rounding = m->addMenu(QStringLiteral("Degree of Rounding"));
        for (int percent = 20; percent <= 80; percent += 10)
            connect(rounding->addAction(QStringLiteral("%1 %").arg(percent)), &QAction::triggered,
                    this, [this, percent] {
                        SetRoundPerc(percent);
                        NotifyChanged();
                    });
    }
}

void TGLabelShapes::PrepareObjectMenu()
{
    if (mTransparentItem)
        mTransparentItem->setChecked(mTransparent);
    for (int n = 1; n <= 10; ++n)
        if (QAction *a = mThicknessItems[n - 1])
            a->setChecked(mPen->Width() == n);
}

void TGLabelShapes::chooseBackgroundColor()
{
    const QColor c = QColorDialog::getColor(CanvasColor(mBrush->Color()), this);
    if (!c.isValid())
        return;
    mBrush->SetColor(QColorToColor(c));
    NotifyChanged();
    SetTransparent(false);
    update();
}

void TGLabelShapes::chooseLineColor()
{
    const QColor c = QColorDialog::getColor(CanvasColor(mPen->Color()), this);
    if (!c.isValid())
        return;
    mPen->SetColor(QColorToColor(c));
    NotifyChanged();
    update();
}

int TGLabelShapes::ScreenPenWidth() const
{
    const int width = drawlimits::BoundedPenWidth(mPen->Width());
    if (Scale() == 1.0f)
        return width;
    int p = RoundNearest(width * double(Scale()));
    if (p <= 0 && width > 0)
        p = 1;
    return p;
}

int TGLabelShapes::CornerSize(int width, int height, int roundPerc)
{
    // Extended precision with 0.01 as its nearest extended value, just
    // below one hundredth: 20 % of 100 gives 19.
    const long double product = static_cast<long double>(std::max(width, height)) *
                                (static_cast<long double>(roundPerc) * 0.01L);
    // A corner wider than twice the figure draws as the widest corner does.
    return int(std::clamp(product, 0.0L, 2.0L * std::max(width, height)));
}

void TGLabelShapes::Paint()
{
    QPainter *painter = DrawCanvas();
    if (!painter)
        return;
    TCanvas c(*painter);
    const int p = ScreenPenWidth();
    c.Pen.Width = p;
    c.Pen.Color = mPen->Color();
    c.Pen.Mode = mPen->Mode();
    c.Brush.Assign(*mBrush);
    const int w = Width(), h = Height(), half = p / 2;
    const int x2 = w - p + 1 + half, y2 = h - p + 1 + half;
    switch (mShape) {
    case stRectangle:
    case stSquare: c.Rectangle(half, half, x2, y2); break;
    case stRoundRect:
    case stRoundSquare: {
        const int corner = CornerSize(w, h, mRoundPerc);
        c.RoundRect(half, half, x2, y2, corner, corner);
        break;
    }
    case stEllipse:
    case stCircle: c.Ellipse(half, half, x2, y2); break;
    }
    if (PaintingOwnCanvas()) {
        DrawSelectionMarks();
        CheckBoundsChanged();
    }
}

void TGLabelShapes::PrintOnReport(TReport &report, double left, double top)
{
    const int r = ScreenPixelsPerInch();
    report.Pen.Color = mPen->Color();
    report.Pen.Style = mPen->Style();
    report.Pen.Mode = mPen->Mode();
    report.Pen.Width = -int(static_cast<long double>(drawlimits::BoundedPenWidth(mPen->Width())) / r * 100);
    report.Brush.Color = mBrush->Color();
    report.Brush.Style = mBrush->Style();
    const double x1 = left + double(Left()) / r, y1 = top + double(Top()) / r;
    const double x2 = left + (double(Left()) + Width()) / r, y2 = top + (double(Top()) + Height()) / r;
    switch (mShape) {
    case stRectangle:
    case stSquare: report.Rectangle(x1, y1, x2, y2); break;
    case stRoundRect:
    case stRoundSquare: {
        const double l = Height() < Width() ? x2 - x1 : y2 - y1;
        const double d = mRoundPerc * 0.01 * l;
        report.RoundRect(x1, y1, x2, y2, d, d);
        break;
    }
    case stEllipse:
    case stCircle: report.Ellipse(x1, y1, x2, y2); break;
    }
}
