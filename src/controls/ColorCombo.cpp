#include "ColorCombo.h"
#include "DialogSupport.h"

#include <QPainter>
#include <QPixmap>

const TColorComboBox::NamedColor TColorComboBox::StandardColors[16] = {
    {cl::Black, "Black"},   {cl::Maroon, "Maroon"}, {cl::Green, "Green"},   {cl::Olive, "Olive"},
    {cl::Navy, "Navy"},     {cl::Purple, "Purple"}, {cl::Teal, "Teal"},     {cl::Gray, "Gray"},
    {cl::Silver, "Silver"}, {cl::Red, "Red"},       {cl::Lime, "Lime"},     {cl::Yellow, "Yellow"},
    {cl::Blue, "Blue"},     {cl::Fuchsia, "Fuchsia"}, {cl::Aqua, "Aqua"},   {cl::White, "White"},
};

TColorComboBox::TColorComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setMaxVisibleItems(18);
    for (const NamedColor &c : StandardColors)
        addItem(swatch(c.color), QString::fromLatin1(c.name));
    addItem(swatch(cl::White), QStringLiteral("Custom..."));
    setCurrentIndex(0);
    connect(this, &QComboBox::activated, this, &TColorComboBox::entryActivated);
}

QIcon TColorComboBox::swatch(TColor color)
{
    QPixmap pm(16, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(ColorToQColor(color));
    p.drawRect(0, 0, 15, 11);
    return QIcon(pm);
}

void TColorComboBox::setCustomColor(TColor color)
{
    setItemIcon(customIndex(), swatch(color));
    setItemData(customIndex(), QVariant::fromValue(qint32(color)));
}

int TColorComboBox::entryFor(TColor color)
{
    for (int i = 0; i < 16; ++i)
        if (StandardColors[i].color == color)
            return i;
    // A system colour (the window text of a font, say) or a value with
    // flag bits above the colour shows as the named entry it is drawn in.
    const QRgb drawn = ColorToQColor(color).rgba();
    for (int i = 0; i < 16; ++i)
        if (ColorToQColor(StandardColors[i].color).rgba() == drawn)
            return i;
    return -1;
}

void TColorComboBox::setColor(TColor color)
{
    mColor = color;
    if (const int i = entryFor(color); i >= 0) {
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
    const std::optional<QColor> chosen = PickColor(ColorToQColor(mColor), this);
    if (!chosen) {
        setColor(mColor);  // back to the entry that was shown before
        return;
    }
    const TColor previous = mColor;
    setColor(QColorToColor(*chosen));
    if (mColor != previous)
        Q_EMIT colorChanged(mColor);
}
