#pragma once
// Shared set-up of the text object tests: a design panel to place objects
// on, change counting, and painting objects into images.

#include "design/Gbasepnl.h"
#include "objects/text/Gpbasel.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <climits>

template <class T>
T *PlaceOn(TGBasePanel &panel, int left, int top, int width, int height)
{
    auto *o = new T();
    o->SetParentComponent(&panel);
    o->FinishLoading();
    o->SetBounds(left, top, width, height);
    return o;
}

// Runs the object's own paint (layout, drawing) on an image of its size.
inline QImage PaintObject(TGGraphicControl *o)
{
    QImage image(qMax(1, o->Width()), qMax(1, o->Height()), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    o->PaintTo(p);
    return image;
}

// Bounding box of the pixels that match a colour class.
template <class Pred>
QRect inkBox(const QImage &image, Pred pred)
{
    int l = INT_MAX, t = INT_MAX, r = -1, b = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pred(image.pixel(x, y))) {
                l = std::min(l, x); r = std::max(r, x);
                t = std::min(t, y); b = std::max(b, y);
            }
    return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

// Counts the panel's change notifications.
struct ChangeCounter
{
    explicit ChangeCounter(TGBasePanel &panel)
    {
        panel.LabelChangedEvent = [this](QObject *) { ++count; };
    }
    int count = 0;
};
