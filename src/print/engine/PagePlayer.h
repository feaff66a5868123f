#pragma once
// Plays a recorded page shrunk onto the screen without losing its thin
// outlines.
//
// Pages are recorded in the device pixels of a fine resolution with
// antialiasing off, and every outline is a filled band (a ring, or four
// rectangles) a few of those pixels wide. Shrunk to a screen's scale such a
// band is narrower than a pixel, and an aliased fill paints only the pixels
// whose centres it covers: outlines vanish or fall apart into dashes,
// depending on where they happen to lie. This player hands every drawing
// call of the page on to the target painter unchanged, except that a band
// thinner than a pixel on the target also gets its edges drawn one pixel
// wide in its own colour, as the design panel shows a one-pixel pen.

#include "print/engine/PageStream.h"

#include <QRectF>

class QPainter;

void PlayRecordedPageKeepingOutlines(QPainter &painter, const TRecordedPage &page, int resolution,
                                     const QRectF &target);
