#pragma once
// Metafile: Windows metafiles (WMF, with or without the 22-byte placeable
// header) and enhanced metafiles (EMF): checking their structure, and a
// player that draws their records onto a QPainter as vector drawing.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <map>

class QPainter;

namespace graphics {

struct MetafileInfo
{
    QString error;          // empty when the records are sound
    bool enhanced = false;
    bool placeable = false; // a WMF that came with its placeable header
    QRect bounds;           // WMF: the placeable bounding box, in its units;
                            // EMF: the frame, in 0.01 mm
    int unitsPerInch = 0;   // WMF only
    qsizetype records = 0;
    bool ok() const { return error.isEmpty(); }
    // The picture's size at `ppi` screen pixels per inch.
    QSize pixelSize(int ppi) const;
};

// The placeable key, and the units per inch given to a WMF that has none.
constexpr quint32 PlaceableKey = 0x9AC6CDD7;
constexpr int DefaultUnitsPerInch = 2540;

MetafileInfo ReadMetafile(QByteArrayView bytes);

// A WMF in placeable form: kept as it is when it has the header, else given
// one whose box is the window the records set (units per inch 2540).
// Empty when the bytes are not a WMF.
QByteArray MakePlaceable(QByteArrayView wmf);

// Plays the records scaled into `target` (painter coordinates). Stops at the
// first record whose sizes do not fit the bytes; returns false then.
// `cache` keeps the decoded bitmaps of the records between plays.
using MetafileImageCache = std::map<qsizetype, QImage>;
bool PlayMetafile(QByteArrayView bytes, QPainter &painter, const QRectF &target,
                  MetafileImageCache *cache = nullptr);

}  // namespace graphics
