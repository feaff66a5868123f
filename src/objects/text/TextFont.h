#pragma once
// How text objects turn their TFont into the Qt font they draw and measure
// with: sizes by whole pixels, zoomed sizes truncated to whole points, and
// symbol fonts drawn through their Unicode equivalents.

#include "storage/Gdiobj.h"

#include <QFont>
#include <QString>

// Trunc(points x scale) for a zoomed object; the font's own size at 1.0.
int ScaledPointSize(const TFont &font, float scale);

// The Windows-style height (negative = character height in pixels) the
// object draws with at `scale`: the font's own Height at 1.0, else
// -MulDiv(ScaledPointSize, ppi, 72).
int ScaledFontHeight(const TFont &font, float scale);

// A pixel-sized QFont for a TFont name, Windows height and style. A
// negative height is the character (em) height; a positive one the cell
// height; 0 the default size of 10 points. Symbol fonts that are not
// installed become the family that draws their Unicode equivalents.
QFont MakeQFont(const QString &name, int height, TFontStyles style);
QFont MakeQFont(const TFont &font, float scale = 1.0f);

// A point-sized QFont for presetting the font dialog.
QFont DialogFont(const TFont &font);
// Copies what the font dialog chose (name, size, style) into a TFont; the
// colour stays. The substitute of the old face (Liberation Sans for Arial)
// keeps the old name.
void AssignDialogFont(TFont &target, const QFont &chosen);

// Integer metrics of a font as the text objects use them.
struct TTextMetrics
{
    int ascent = 0;
    int descent = 0;
    int cellHeight = 0;        // ascent + descent
    int internalLeading = 0;   // cell height - character height
    int externalLeading = 0;
};
TTextMetrics TextMetrics(const QFont &font);
int TextWidth(const QFont &font, const QString &text);

// The largest character or cell height, in pixels, a text object draws
// with: a label file may hold any size, the drawing stays bounded.
constexpr int MaxDrawnFontPixels = 1500;
// MakeQFont(font, scale) with the height bounded by MaxDrawnFontPixels.
QFont BoundedQFont(const TFont &font, float scale = 1.0f);
