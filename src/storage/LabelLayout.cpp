#include "LabelLayout.h"

#include "Stream.h"

#include <cmath>

namespace {

double single(double v)
{
    return double(float(v));
}

QString cut(const QString &s, int length)
{
    return s.left(255).left(length);
}

}  // namespace

bool TLabelLayout::IsUsable() const
{
    const auto labelSide = [](double v) { return std::isfinite(v) && v > 0 && v <= MaxLabelInches; };
    const auto length = [](double v) { return std::isfinite(v) && std::fabs(v) <= MaxLengthInches; };
    return labelSide(LabelHeight) && labelSide(LabelWidth)
           && Across >= 1 && Across <= MaxLabelsPerLine && Down >= 1 && Down <= MaxLabelsPerLine
           && length(TopMargin) && length(LeftMargin) && length(HorizontalPitch)
           && length(VerticalPitch) && length(PageWidth) && length(PageHeight)
           && length(ColumnGap) && length(RowGap);
}

TLabelLayout TLabelLayout::Default()
{
    TLabelLayout l;
    l.Name = QStringLiteral("Avery 5160 Address");
    l.LabelHeight = single(1.0);
    l.LabelWidth = single(2.65);
    l.Across = 3;
    l.Down = 10;
    l.TopMargin = single(0.5);
    l.LeftMargin = single(0.188);
    l.HorizontalPitch = single(2.765);
    l.VerticalPitch = single(1.01);
    l.PageWidth = single(8.5);
    l.PageHeight = single(11.0);
    l.ColumnGap = 0;
    l.RowGap = 0;
    l.PrinterType = QStringLiteral("LJ");
    l.PaperSize = QStringLiteral("LTR");
    l.LabelShape = QStringLiteral("RR");
    l.ProductType = QStringLiteral("ADDRESS/SHIPPING LABELS");
    l.ArtName = QString();
    return l;
}

void TLabelLayout::Write(PropertyWriter &w) const
{
    w.writeString(Name);
    w.writeFloat(LabelHeight);
    w.writeFloat(LabelWidth);
    w.writeInteger(Across);
    w.writeInteger(Down);
    w.writeFloat(TopMargin);
    w.writeFloat(LeftMargin);
    w.writeFloat(HorizontalPitch);
    w.writeFloat(VerticalPitch);
    w.writeFloat(PageWidth);
    w.writeFloat(PageHeight);
    w.writeFloat(ColumnGap);
    w.writeFloat(RowGap);
    w.writeString(PrinterType);
    w.writeString(PaperSize);
    w.writeString(LabelShape);
    w.writeString(ProductType);
    w.writeString(ArtName);
}

void TLabelLayout::Read(PropertyReader &r)
{
    Name = cut(r.readString(), NameLength);
    LabelHeight = r.readFloat();
    LabelWidth = r.readFloat();
    Across = r.readInteger();
    Down = r.readInteger();
    TopMargin = r.readFloat();
    LeftMargin = r.readFloat();
    HorizontalPitch = r.readFloat();
    VerticalPitch = r.readFloat();
    PageWidth = r.readFloat();
    PageHeight = r.readFloat();
    ColumnGap = r.readFloat();
    RowGap = r.readFloat();
    PrinterType = cut(r.readString(), PrinterTypeLength);
    PaperSize = cut(r.readString(), PaperSizeLength);
    LabelShape = cut(r.readString(), LabelShapeLength);
    ProductType = cut(r.readString(), ProductTypeLength);
    ArtName = cut(r.readString(), ArtNameLength);
}
