#pragma once
// The label-art pictures: outlines of a label stock's features, shown
// behind the design so the user sees where the label sits on the product.

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// The names of the built-in pictures (upper case, such as "AV5196").
QStringList LabelArtNames();

// The picture a layout's ArtName names: the part before the first ".",
// upper-cased. Empty when that names no built-in picture.
QString LabelArtPicture(const QString &artName);

// The picture rendered at `size`, reduced to black and white and shown
// silver on white, clipped to the label shape ("RR", "SR", "EL"; any
// other code clips to the rectangle), transparent outside it. A null image
// when artName names no picture or size is empty.
QImage RenderLabelArt(const QString &artName, QSize size, const QString &labelShape);
