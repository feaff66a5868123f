#pragma once
// Font set-up shared by the program and its tests: the fixed substitution
// of the classic Windows faces by their metric-compatible Liberation
// fonts, and the integer font-size arithmetic of the label objects.

#include <QString>

// Pins Arial, Times New Roman, Courier New (and the old "MS Sans Serif"
// default) to the Liberation families, so text measures the same on every
// machine whatever the local font configuration prefers. Call once at
// start-up, after the application object exists.
void InstallFontSubstitutions();

// a * b / c in 64 bits, rounded to the nearest integer with halves away
// from zero; -1 when c is 0.
int MulDiv(int a, int b, int c);

// The (negative) character height in pixels of a font of `points` points
// at `pixelsPerInch`: -MulDiv(points, pixelsPerInch, 72).
int FontHeightFromPoints(int points, int pixelsPerInch);
