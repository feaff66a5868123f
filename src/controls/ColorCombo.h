#pragma once
// TColorComboBox: a drop-down list of the sixteen standard named colours,
// each with a swatch, and a last entry "Custom..." that opens the colour
// dialog (PickColor). Works on TColor values (0x00BBGGRR).

#include "storage/Gdiobj.h"

#include <QColor>
#include <QComboBox>


class TColorComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TColorComboBox(QWidget *parent = nullptr);

    TColor color() const { return mColor; }
    // Selects the named entry the colour is drawn in, or shows the value on
    // the custom entry; color() keeps the value as given.
    void setColor(TColor color);
    // The named entry a colour is drawn in, -1 for none.
    static int entryFor(TColor color);

    int customIndex() const { return count() - 1; }

    struct NamedColor { TColor color; const char *name; };
    static const NamedColor StandardColors[16];

Q_SIGNALS:
    // Only for choices the user makes, not for setColor().
    void colorChanged(TColor color);

private:
    void entryActivated(int index);
    void setCustomColor(TColor color);
    static QIcon swatch(TColor color);

    TColor mColor = cl::Black;
};
