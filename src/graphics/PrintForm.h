#pragma once
// The form of a decoded picture handed to the page: the same pixels, in the
// format Qt's PDF writer stores most compactly.

#include <QImage>

namespace graphics {

// Qt's PDF writer keeps only one bitmap format below 8 bits a channel: 1 bit
// a pixel with the colour table black, white. Every other format is stored
// as 8-bit RGB after a conversion to ARGB32. So a picture whose pixels are
// all opaque black or white (line art saved at any depth) comes back as
// Format_Mono with that table; any other picture comes back as it is
// (shared, not copied).
QImage PrintForm(const QImage &image);

}  // namespace graphics
