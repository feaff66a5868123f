#include "objects/graphic/Gbarcode.h"

#include "controls/DialogSupport.h"
#include "design/Gbasepnl.h"
#include "objects/graphic/Gbarprop.h"
#include "objects/text/Gpclabel.h"
#include "objects/text/TextFont.h"
#include "print/engine/Canvas.h"
#include "print/engine/Report.h"

#include <QEvent>
#include <QMenu>
#include <QPainter>

#include <algorithm>
#include <cmath>

TGBarcode::TGBarcode(TComponent *owner)
    : TGGraphicControl(owner), mFont(std::make_unique<TFont>())
{
    mFont->SetName(QStringLiteral("Arial"));
    mFont->SetColor(cl::Black);
    mFont->OnChange = [this] { update(); };
    resize(150, 75);
}

TGBarcode::~TGBarcode()
{
    mFont->OnChange = nullptr;
}

const TPropertyTable &TGBarcode::Properties() const
{
    using C = TGBarcode;
    static const TPropertyTable table(&BaseProperties(), {
        props::integer<C>("Symbology", &C::Symbology, &C::SetSymbology, DefaultSymbology),
        props::string<C>("Data", &C::Data, &C::SetData),
        props::boolean<C>("UseCounter", &C::UseCounter, &C::SetUseCounter, false),
        props::boolean<C>("ShowText", &C::ShowText, &C::SetShowText, true),
        props::object<C, TFont>("Font", TPropKind::Object, &C::Font),
        props::color<C>("ForeColor", &C::ForeColor, &C::SetForeColor, cl::Black),
        props::color<C>("BackColor", &C::BackColor, &C::SetBackColor, cl::White),
        props::boolean<C>("Transparent", &C::Transparent, &C::SetTransparent, false),
        props::floating<C>("ModuleWidth", &C::ModuleWidth, &C::SetModuleWidth),
        props::integer<C>("Angle", &C::Angle, &C::SetAngle, 0),
        props::boolean<C>("QuietZones", &C::QuietZones, &C::SetQuietZones, true),
        props::boolean<C>("CheckDigit", &C::CheckDigit, &C::SetCheckDigit, false),
        props::integer<C>("ErrorCorrection", &C::ErrorCorrection, &C::SetErrorCorrection, 0),
        props::integer<C>("SymbolSize", &C::SymbolSize, &C::SetSymbolSize, 0),
        props::boolean<C>("GS1Data", &C::GS1Data, &C::SetGS1Data, false),
    });
    return table;
}

void TGBarcode::changed()
{
    update();
}

void TGBarcode::SetSymbology(int id)
{
    if (id == mOptions.symbology)
        return;
    mOptions.symbology = id;
    changed();
}

void TGBarcode::SetData(const QString &data)
{
    if (data == mOptions.data)
        return;
    mOptions.data = data;
    changed();
}

void TGBarcode::SetUseCounter(bool use)
{
    if (use == mUseCounter)
        return;
    mUseCounter = use;
    changed();
}

void TGBarcode::SetShowText(bool show)
{
    if (show == mOptions.showText)
        return;
    mOptions.showText = show;
    changed();
}

void TGBarcode::SetForeColor(TColor c)
{
    if (c == mForeColor)
        return;
    mForeColor = c;
    changed();
}

void TGBarcode::SetBackColor(TColor c)
{
    if (c == mBackColor)
        return;
    mBackColor = c;
    changed();
}

void TGBarcode::SetTransparent(bool transparent)
{
    if (transparent == mTransparent)
        return;
    mTransparent = transparent;
    changed();
}

void TGBarcode::SetModuleWidth(double inches)
{
    if (inches == mModuleWidth)
        return;
    mModuleWidth = inches;
    changed();
}

void TGBarcode::SetAngle(int degrees)
{
    if (degrees == mOptions.angle)
        return;
    mOptions.angle = degrees;
    changed();
}

void TGBarcode::SetQuietZones(bool on)
{
    if (on == mOptions.quietZones)
        return;
    mOptions.quietZones = on;
    changed();
}

void TGBarcode::SetCheckDigit(bool on)
{
    if (on == mOptions.checkDigit)
        return;
    mOptions.checkDigit = on;
    changed();
}

void TGBarcode::SetErrorCorrection(int level)
{
    if (level == mOptions.errorCorrection)
        return;
    mOptions.errorCorrection = level;
    changed();
}

void TGBarcode::SetSymbolSize(int size)
{
    if (size == mOptions.size)
        return;
    mOptions.size = size;
    changed();
}

void TGBarcode::SetGS1Data(bool on)
{
    if (on == mOptions.gs1)
        return;
    mOptions.gs1 = on;
    changed();
}

TGCounterLabel *TGBarcode::LinkedCounter() const
{
    const TGGraphicControl *context = mDataContext ? mDataContext.data() : this;
    const TGBasePanel *panel = context->Panel();
    if (!panel)
        return nullptr;
    for (TGGraphicControl *o : panel->Objects())
        if (auto *counter = qobject_cast<TGCounterLabel *>(o)) {
            if (counter != mWatchedCounter) {
                if (mWatchedCounter)
                    mWatchedCounter->removeEventFilter(const_cast<TGBarcode *>(this));
                mWatchedCounter = counter;
                counter->installEventFilter(const_cast<TGBarcode *>(this));
            }
            return counter;
        }
    return nullptr;
}

bool TGBarcode::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched == mWatchedCounter && mUseCounter && mCache.valid
        && DrawnData() != mCache.options.data)
        update();
    return TGGraphicControl::eventFilter(watched, event);
}

QString TGBarcode::DrawnData() const
{
    // Typed data may hold mail merge fields.
    if (!mUseCounter)
        return MergedText(mOptions.data);
    const TGCounterLabel *counter = LinkedCounter();
    if (!counter)
        return QString();
    return TGCounterLabel::NumberText(counter->CurrentValue(), counter->LeadingZeros());
}

double TGBarcode::drawnModuleWidth() const
{
    if (!(mModuleWidth > 0))   // also NaN
        return 0;
    return std::clamp(mModuleWidth, MinModuleWidth, MaxModuleWidth);
}

const barcode::TSymbol &TGBarcode::Symbol() const
{
    barcode::TOptions options = mOptions;
    options.data = DrawnData();
    const int a = ((mOptions.angle % 360) + 360) % 360;
    options.angle = a % 90 == 0 ? a : 0;
    const double ppi = double(ScreenPixelsPerInch()) * double(Scale() > 0 ? Scale() : 1.0f);
    const QSizeF frame(Width() / ppi, Height() / ppi);
    const double module = drawnModuleWidth();
    QString context;
    if (mUseCounter && !LinkedCounter())
        context = QStringLiteral("The label has no counter to take the number from");
    if (mCache.valid && mCache.options == options && mCache.frame == frame && mCache.module == module
        && mCache.context == context)
        return mCache.symbol;
    mCache.valid = true;
    mCache.options = options;
    mCache.frame = frame;
    mCache.module = module;
    mCache.context = context;
    if (!context.isEmpty()) {
        mCache.symbol = barcode::TSymbol();
        mCache.symbol.error = context;
    } else {
        mCache.symbol = barcode::Encode(options, frame, module);
    }
    return mCache.symbol;
}

QString TGBarcode::PrintProblem() const
{
    const QString error = Symbol().error;
    if (error.isEmpty())
        return error;
    const barcode::TSymbology *s = barcode::FindSymbology(mOptions.symbology);
    const QString kind = s ? s->caption : QStringLiteral("symbology %1").arg(mOptions.symbology);
    return QStringLiteral("the %1 barcode with the data \"%2\": %3").arg(kind, DrawnData(), error);
}

void TGBarcode::CopyBarcodeFrom(const TGBarcode &other)
{
    SetSymbology(other.Symbology());
    SetData(other.Data());
    SetUseCounter(other.UseCounter());
    SetShowText(other.ShowText());
    mFont->Assign(*other.Font());
    SetForeColor(other.ForeColor());
    SetBackColor(other.BackColor());
    SetTransparent(other.Transparent());
    SetModuleWidth(other.ModuleWidth());
    SetAngle(other.Angle());
    SetQuietZones(other.QuietZones());
    SetCheckDigit(other.CheckDigit());
    SetErrorCorrection(other.ErrorCorrection());
    SetSymbolSize(other.SymbolSize());
    SetGS1Data(other.GS1Data());
}

void TGBarcode::BuildObjectMenu(QMenu *menu)
{
    TGGraphicControl::BuildObjectMenu(menu);
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("Properties")), &QAction::triggered, this,
            [this] { EditProperties(); });
}

void TGBarcode::ApplyFont(const TFont &font)
{
    mFont->Assign(font);
}

void TGBarcode::draw(QPainter &painter, const QRectF &target, double pixelsPerInch) const
{
    if (target.width() <= 0 || target.height() <= 0)
        return;
    const barcode::TSymbol &symbol = Symbol();
    if (!symbol.ok()) {
        barcode::DrawInvalid(painter, target, symbol.error, Qt::red);
        return;
    }
    barcode::TStyle style;
    style.foreground = CanvasColor(mForeColor);
    style.background = mTransparent ? QColor(Qt::transparent) : CanvasColor(mBackColor);
    style.font = MakeQFont(mFont->Name(), -100, mFont->Style());
    const double scale = barcode::DrawScale(symbol, target, pixelsPerInch, drawnModuleWidth());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    barcode::Draw(painter, symbol, target, scale, style);
    painter.restore();
}

void TGBarcode::Paint()
{
    QPainter *painter = DrawCanvas();
    if (!painter)
        return;
    const double ppi = double(ScreenPixelsPerInch()) * double(Scale() > 0 ? Scale() : 1.0f);
    draw(*painter, QRectF(0, 0, Width(), Height()), ppi);
    if (PaintingOwnCanvas()) {
        DrawSelectionMarks();
        CheckBoundsChanged();
    }
}

void TGBarcode::PrintOnReport(TReport &report, double left, double top)
{
    QPainter *painter = report.Painter();
    if (!painter || Width() <= 0 || Height() <= 0)
        return;
    const double r = ScreenPixelsPerInch();
    const int x1 = report.XToDevice(left + Left() / r), y1 = report.YToDevice(top + Top() / r);
    const int x2 = report.XToDevice(left + (Left() + Width()) / r);
    const int y2 = report.YToDevice(top + (Top() + Height()) / r);
    draw(*painter, QRectF(x1, y1, x2 - x1, y2 - y1), report.XDpi());
}

bool TGBarcode::EditNew()
{
    EditProperties();
    return true;
}

bool TGBarcode::EditProperties()
{
    TBarcodeProperties dialog(this);
    dialog.Sample()->CopyBarcodeFrom(*this);
    dialog.Sample()->SetDataContext(this);
    // The sample is at zoom 1.0, as the label is printed.
    const double zoom = Scale() > 0 ? double(Scale()) : 1.0;
    dialog.Sample()->SetBounds(0, 0, RoundNearest(Width() / zoom), RoundNearest(Height() / zoom));
    dialog.ShowSampleValues();
    if (ExecDialog(dialog) != QDialog::Accepted)
        return false;
    NotifyChanged();
    CopyBarcodeFrom(*dialog.Sample());
    update();
    return true;
}
