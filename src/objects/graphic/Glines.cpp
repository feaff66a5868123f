#include "objects/graphic/Glines.h"

#include "design/Gbasepnl.h"
#include "print/engine/Canvas.h"
#include "print/engine/Report.h"

#include <QColorDialog>
#include <QMenu>

const TIdentList LineStyleIdents = {"stHorizontal", "stVertical", "stAngleSlopingUp",
                                    "stAngleSlopingDown"};

TGLineShape::TGLineShape(TComponent *owner)
    : TGGraphicControl(owner), mPen(std::make_unique<TPen>())
{
    mPen->OnChange = [this] { update(); };
    resize(10, 10);
}

TGLineShape::~TGLineShape()
{
    mPen->OnChange = nullptr;
}

const TPropertyTable &TGLineShape::Properties() const
{
    using C = TGLineShape;
    static const TPropertyTable table(&BaseProperties(), {
        props::enumeration<C, TLineStyle>("LineStyle", LineStyleIdents, &C::LineStyle,
                                          &C::SetLineStyle, stHorizontal),
        props::object<C, TPen>("Pen", TPropKind::Object, &C::Pen),
    });
    return table;
}

void TGLineShape::SetLineStyle(TLineStyle style)
{
    if (style == mLineStyle)
        return;
    mLineStyle = style;
    update();
}

void TGLineShape::SetPen(const TPen &pen)
{
    mPen->Assign(pen);
}

void TGLineShape::BuildObjectMenu(QMenu *m)
{
    TGGraphicControl::BuildObjectMenu(m);
    m->addSeparator();
    QMenu *styles = m->addMenu(QStringLiteral("Style"));
    const char *styleCaptions[] = {"Horizontal", "Vertical", "Angled Sloping Up", "Angled Sloping Down"};
    for (int i = 0; i < 4; ++i) {
        QAction *a = styles->addAction(QString::fromLatin1(styleCaptions[i]));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] {
            NotifyChanged();
            SetLineStyle(TLineStyle(i));
        });
        mStyleItems[i] = a;
    }
    connect(m->addAction(QStringLiteral("Color")), &QAction::triggered, this, [this] { chooseColor(); });
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
    connect(m->addAction(QStringLiteral("Stretch To Edges")), &QAction::triggered, this,
            [this] { StretchToEdges(); });
}

void TGLineShape::PrepareObjectMenu()
{
    for (int n = 1; n <= 10; ++n)
        if (QAction *a = mThicknessItems[n - 1])
            a->setChecked(mPen->Width() == n);
    for (int i = 0; i < 4; ++i)
        if (QAction *a = mStyleItems[i])
            a->setChecked(mLineStyle == i);
}

void TGLineShape::chooseColor()
{
    const QColor c = QColorDialog::getColor(CanvasColor(mPen->Color()), this);
    if (!c.isValid())
        return;
    NotifyChanged();
    mPen->SetColor(QColorToColor(c));
    update();
}

void TGLineShape::StretchToEdges()
{
    TGBasePanel *panel = Panel();
    if (!panel)
        return;
    if (mLineStyle == stHorizontal)
        SetBounds(0, Top(), panel->width(), Height());
    else if (mLineStyle == stVertical)
        SetBounds(Left(), 0, Width(), panel->height());
    update();
}

int TGLineShape::ScreenPenWidth() const
{
    const int width = drawlimits::BoundedPenWidth(mPen->Width());
    if (Scale() == 1.0f)
        return width;
    return RoundNearest(width * double(Scale()));
}

void TGLineShape::Paint()
{
    QPainter *painter = DrawCanvas();
    if (!painter)
        return;
    TCanvas c(*painter);
    c.Pen.Assign(*mPen);
    const int p = ScreenPenWidth();
    c.Pen.Width = p;
    const int h = p / 2, w = Width(), ht = Height();
    c.MoveTo(h, h);
    // The straight lines are inset by half the pen so the stroke stays
    // inside the bounds; the end point itself is not painted.
    switch (mLineStyle) {
    case stHorizontal: c.LineTo(w - p + 1 + h, h); break;
    case stVertical: c.LineTo(h, ht - p + 1 + h); break;
    case stAngleSlopingUp: c.MoveTo(w, 0); c.LineTo(0, ht); break;
    case stAngleSlopingDown: c.MoveTo(0, 0); c.LineTo(w, ht); break;
    }
    if (PaintingOwnCanvas()) {
        CheckBoundsChanged();
        DrawSelectionMarks();
    }
}

void TGLineShape::PrintOnReport(TReport &report, double left, double top)
{
    const double r = ScreenPixelsPerInch();
    const int penWidth = drawlimits::BoundedPenWidth(mPen->Width());
    const int h = penWidth / 2;
    report.Pen.Color = mPen->Color();
    report.Pen.Style = mPen->Style();
    report.Pen.Mode = pmCopy;
    // Negative: hundredths of an inch, the screen pixels taken as they are.
    report.Pen.Width = -penWidth;
    const double xl = left + Left() / r, xr = left + (double(Left()) + Width()) / r;
    const double yt = top + (double(Top()) + h) / r, yb = top + (double(Top()) + h + Height()) / r;
    switch (mLineStyle) {
    case stHorizontal: report.MoveTo(xl, yt); report.LineTo(xr, yt); break;
    case stVertical: report.MoveTo(xl, yt); report.LineTo(xl, yb); break;
    case stAngleSlopingUp: report.MoveTo(xl, yb); report.LineTo(xr, yt); break;
    case stAngleSlopingDown: report.MoveTo(xl, yt); report.LineTo(xr, yb); break;
    }
}
