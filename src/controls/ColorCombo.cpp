#include "ColorCombo.h"
#include "DialogSupport.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

const TColorComboBox::NamedColor TColorComboBox::StandardColors[16] = {
    {cl::Black, "Black"},   {cl::Maroon, "Maroon"}, {cl::Green, "Green"},   {cl::Olive, "Olive"},
    {cl::Navy, "Navy"},     {cl::Purple, "Purple"}, {cl::Teal, "Teal"},     {cl::Gray, "Gray"},
    {cl::Silver, "Silver"}, {cl::Red, "Red"},       {cl::Lime, "Lime"},     {cl::Yellow, "Yellow"},
    {cl::Blue, "Blue"},     {cl::Fuchsia, "Fuchsia"}, {cl::Aqua, "Aqua"},   {cl::White, "White"},
};

namespace {

QColor systemColor(int index)
{
    const QPalette pal = QApplication::palette();
    switch (index) {
    case 5: return pal.color(QPalette::Base);             // clWindow
    case 8: return pal.color(QPalette::Text);             // clWindowText
    case 13: return pal.color(QPalette::Highlight);       // clHighlight
    case 14: return pal.color(QPalette::HighlightedText); // clHighlightText
    case 15: return pal.color(QPalette::Button);          // clBtnFace
    case 16: return pal.color(QPalette::Dark);            // clBtnShadow
    case 17: return pal.color(QPalette::PlaceholderText); // clGrayText
    case 18: return pal.color(QPalette::ButtonText);      // clBtnText
    case 20: return pal.color(QPalette::Light);           // clBtnHighlight
    case 24: return pal.color(QPalette::ToolTipBase);     // clInfoBk
    case 23: return pal.color(QPalette::ToolTipText);     // clInfoText
    default: return pal.color(QPalette::WindowText);
    }
}

}  // namespace

QColor QColorFromTColor(TColor color)
{
    if (color < 0)
        return systemColor(color & 0xFF);
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor TColorFromQColor(const QColor &color)
{
    const QColor c = color.toRgb();
    return TColor(c.red() | (c.green() << 8) | (c.blue() << 16));
}

TColorComboBox::TColorComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setMaxVisibleItems(18);
    for (const NamedColor &c : StandardColors)
        addItem(swatch(c.color), QString::fromLatin1(c.name));
    addItem(swatch(cl::White), tr("Custom..."));
    setCurrentIndex(0);
    connect(this, &QComboBox::activated, this, &TColorComboBox::entryActivated);
}

QIcon TColorComboBox::swatch(TColor color)
{
    QPixmap pm(16, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(QColorFromTColor(color));
    p.drawRect(0, 0, 15, 11);
    return QIcon(pm);
}

void TColorComboBox::setCustomColor(TColor color)
{
    setItemIcon(customIndex(), swatch(color));
    setItemData(customIndex(), QVariant::fromValue(qint32(color)));
}

void TColorComboBox::setColor(TColor color)
{
    mColor = color;
    for (int i = 0; i < 16; ++i)
        if (StandardColors[i].color == color) {
            setCurrentIndex(i);
            return;
        }
    setCustomColor(color);
    setCurrentIndex(customIndex());
}

void TColorComboBox::entryActivated(int index)
{
    if (index >= 0 && index < 16) {
        if (StandardColors[index].color != mColor) {
            mColor = StandardColors[index].color;
            Q_EMIT colorChanged(mColor);
        }
        return;
    }
    const std::optional<QColor> chosen = PickColor(QColorFromTColor(mColor), this);
    if (!chosen) {
        setColor(mColor);  // back to the entry that was shown before
        return;
    }
    const TColor previous = mColor;
    setColor(TColorFromQColor(*chosen));
    if (mColor != previous)
        Q_EMIT colorChanged(mColor);
}
