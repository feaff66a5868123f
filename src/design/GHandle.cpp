#include "design/GHandle.h"

#include "design/Cursors.h"
#include "design/GGraphc.h"
#include "design/Gbasepnl.h"
#include "design/Ticks.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <climits>
#include <cmath>

TGHandle::TGHandle(TGBasePanel *panel)
    : QWidget(panel), mPanel(panel)
{
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(HandGrabCursor());
    setGeometry(0, 0, 24, 24);
    setEnabled(false);
    hide();
}

void TGHandle::SetGridX(int g)
{
    mGridX = qMax(1, g);
    mEffectiveGridX = mGridX;
}

void TGHandle::SetGridY(int g)
{
    mGridY = qMax(1, g);
    mEffectiveGridY = mGridY;
}

void TGHandle::SetSnapToGrid(bool snap)
{
    mEffectiveGridX = snap ? mGridX : 1;
    mEffectiveGridY = snap ? mGridY : 1;
}

void TGHandle::placeAround(bool grownByOne)
{
    if (mSelected.isEmpty())
        return;
    int l = INT_MAX, t = INT_MAX, r = INT_MIN, b = INT_MIN;
    for (const TGGraphicControl *o : mSelected) {
        l = qMin(l, o->Left());
        t = qMin(t, o->Top());
        r = qMax(r, o->Left() + o->Width());
        b = qMax(b, o->Top() + o->Height());
    }
    const int extra = grownByOne ? 1 : 0;
    setGeometry(l - 2, t - 2, r - l + 5 + extra, b - t + 5 + extra);
}

void TGHandle::AddToSelection(TGGraphicControl *object)
{
    if (object && object->Unselectable())
        return;
    mMouseDownTime = TickCount();
    if (!object || mSelected.contains(object))
        return;
    setCursor(HandGrabCursor());
    if (mSelected.isEmpty()) {
        mPreviewRect = QRect();
        setEnabled(true);
        show();
    }
    mSelected.append(object);
    placeAround(false);
    mHotZone = 0;
    mPanel->KeepFrameOnTop();
    grabMouse();
    if (isVisible() && isEnabled())
        setFocus();
    for (TGGraphicControl *o : mSelected)
        o->update();
    update();
}

void TGHandle::RemoveFromSelection(TGGraphicControl *object)
{
    if (!mSelected.removeOne(object))
        return;
    object->update();
    for (TGGraphicControl *o : mSelected)
        o->update();
    if (!mSelected.isEmpty()) {
        placeAround(false);
        update();
    } else {
        hideFrame();
    }
}

void TGHandle::hideFrame()
{
    // A hidden frame must not keep the mouse.
    if (mouseGrabber() == this)
        releaseMouse();
    hide();
    setEnabled(false);
    mPreviewRect = QRect();
    mDragging = false;
    mPanel->ShowDragRect(QRect());
}

void TGHandle::ClearSelection()
{
    const QList<TGGraphicControl *> old = mSelected;
    mSelected.clear();
    for (TGGraphicControl *o : old)
        o->update();
    hideFrame();
    resize(24, 24);
}

TGGraphicControl *TGHandle::SelectedObject(int index) const
{
    if (index < 0 || index >= mSelected.size())
        return nullptr;
    return mSelected.at(index);
}

void TGHandle::RefreshFrame()
{
    if (mSelected.isEmpty())
        return;
    mPanel->KeepFrameOnTop();
    placeAround(true);
    update();
}

void TGHandle::BringSelectionToFront()
{
    if (mSelected.isEmpty())
        return;
    for (TGGraphicControl *o : mSelected)
        o->raise();
    mPanel->KeepFrameOnTop();
    setFocus();
}

void TGHandle::SendSelectionToBack()
{
    if (mSelected.isEmpty())
        return;
    for (TGGraphicControl *o : mSelected)
        o->lower();
    mPanel->KeepFrameOnTop();
    setFocus();
}

TGGraphicControl *TGHandle::ObjectAt(QPoint p) const
{
    for (TGGraphicControl *o : mSelected)
        if (o->geometry().adjusted(-2, -2, 2, 2).contains(p))
            return o;
    return nullptr;
}

void TGHandle::SetBounds(int left, int top, int width, int height)
{
    const int dl = left - x(), dt = top - y(), dw = width - this->width(), dh = height - this->height();
    for (TGGraphicControl *o : mSelected)
        if (!o->Locked())
            o->SetBounds(o->Left() + dl, o->Top() + dt, o->Width() + dw, o->Height() + dh);
    setGeometry(left, top, width, height);
}

QRect TGHandle::DragRect(int x, int y) const
{
    const int dx = x - mDragStart.x(), dy = y - mDragStart.y();
    const int l = this->x(), t = this->y(), w = width(), h = height();
    int nl = l, nt = t, nw = w, nh = h;
    switch (mHotZone) {
    case 0: nl = snapX(l + dx); nt = snapY(t + dy); break;
    case 1: nl = snapX(l + dx); nt = snapY(t + dy); nw = w + l - nl; nh = h + t - nt; break;
    case 2: nt = snapY(t + dy); nw = snapX(w + dx) - 1; nh = h + t - nt; break;
    case 3: nl = snapX(l + dx); nw = w + l - nl; nh = snapY(h + dy) - 1; break;
    case 4: nw = snapX(w + dx) - 1; nh = snapY(h + dy) - 1; break;
    case 5: nt = snapY(t + dy); nh = h + t - nt; break;
    case 6: nl = snapX(l + dx); nw = w + l - nl; break;
    case 7: nh = snapY(h + dy) - 1; break;
    case 8: nw = snapX(w + dx) - 1; break;
    default: break;
    }
    return QRect(nl, nt, qMax(5, nw), qMax(5, nh));
}

void TGHandle::clampToPanel(int &x, int &y) const
{
    x = qBound(-this->x(), x, mPanel->width() - this->x());
    y = qBound(-this->y(), y, mPanel->height() - this->y());
}

void TGHandle::drawPreview(int x, int y)
{
    const QRect r = DragRect(x, y);
    // The outline of the objects' box: the frame less 2 on the left and
    // top and 3 on the right and bottom.
    mPreviewRect = QRect(QPoint(r.left() + 2, r.top() + 2), QPoint(r.right() - 3, r.bottom() - 3));
    mPanel->ShowDragRect(mPreviewRect);
}

void TGHandle::erasePreview()
{
    mPreviewRect = QRect();
    mPanel->ShowDragRect(QRect());
}

void TGHandle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.translate(-pos());
    for (const TGGraphicControl *o : mSelected)
        o->DrawSelectionMarks(painter);
}

void TGHandle::mousePressEvent(QMouseEvent *event)
{
    const QPoint local = event->position().toPoint();
    const QPoint p = local + pos();
    mMouseDownTime = TickCount();
    if (mPanel->Pointing() && event->button() == Qt::LeftButton) {
        mDragStart = local;
        mDragging = true;
        mPanel->SelectionMouseDown(event->button(), event->modifiers(), p.x(), p.y());
        return;
    }
    if (event->button() == Qt::RightButton) {
        TGGraphicControl *object = mSelected.size() == 1 ? ObjectAt(p) : nullptr;
        QMenu *menu = object ? object->ObjectMenu() : mPanelMenu;
        if (menu)
            menu->popup(event->globalPosition().toPoint());
        return;
    }
    passToPanel(event, true);
}

void TGHandle::passToPanel(QMouseEvent *event, bool press)
{
    const QPoint p = event->position().toPoint() + pos();
    if (press) {
        setCursor(mPanel->Pointing() ? HandGrabCursor() : DrawingToolCursor());
        // The panel takes the mouse so that it sees the band being dragged.
        if (event->button() == Qt::LeftButton)
            mPanel->grabMouse();
        mPanel->PanelMouseDown(event->button(), event->modifiers(), p.x(), p.y(),
                               event->globalPosition().toPoint());
    } else {
        mPanel->PanelMouseUp(event->button(), event->modifiers(), p.x(), p.y());
    }
}

int TGHandle::hotZoneAt(int x, int y)
{
    const int wf = width(), hf = height();
    int zone = 0;
    auto near = [](double a, double limit) { return std::abs(a) < limit; };
    if (near(x, 8) && near(y, 8)) zone = 1;
    if (near(x - wf, 8) && near(y - hf, 8)) zone = 4;
    if (near(x - wf, 8) && near(y, 8)) zone = 2;
    if (near(x, 8) && near(y - hf, 8)) zone = 3;
    if (near(x - wf / 2.0, 6) && near(y, 8)) zone = 5;
    if (near(x - wf / 2.0, 6) && near(y - hf, 8)) zone = 7;
    if (near(y - hf / 2.0, 6) && near(x, 8)) zone = 6;
    if (near(y - hf / 2.0, 6) && near(x - wf, 8)) zone = 8;
    return zone;
}

void TGHandle::mouseMoveEvent(QMouseEvent *event)
{
    int x = event->position().toPoint().x(), y = event->position().toPoint().y();
    if (mDoubleClicked) {
        mDragging = false;
        mDoubleClicked = false;
    }
    if (!mPanel->Pointing()) {
        setCursor(DrawingToolCursor());
        return;
    }
    const bool leftUp = !(event->buttons() & Qt::LeftButton);
    if (leftUp || mDragging) {
        if (leftUp && mouseGrabber() == this)
            releaseMouse();
        int zone = 0;
        if (!mDragging)
            setCursor(HandGrabCursor());
        if (mSelected.size() == 1) {
            zone = hotZoneAt(x, y);
            switch (zone) {
            case 1: case 4: setCursor(Qt::SizeFDiagCursor); break;
            case 2: case 3: setCursor(Qt::SizeBDiagCursor); break;
            case 5: case 7: setCursor(Qt::SizeVerCursor); break;
            case 6: case 8: setCursor(Qt::SizeHorCursor); break;
            default: break;
            }
        }
        if (mDragging) {
            clampToPanel(x, y);
            drawPreview(x, y);
        } else {
            mHotZone = zone;
        }
    } else if (mMouseDownTime > 0 && TickCount() - mMouseDownTime > 10) {
        mDragStart = QPoint(x, y);
        mDragging = true;
    }
}

void TGHandle::mouseReleaseEvent(QMouseEvent *event)
{
    int x = event->position().toPoint().x(), y = event->position().toPoint().y();
    // A quick click moves nothing, even when the mouse slipped a little.
    if (mDragging && TickCount() - mMouseDownTime < 150)
        mDragStart = QPoint(x, y);
    mMouseDownTime = 0;
    if (!mDragging || event->button() != Qt::LeftButton) {
        passToPanel(event, false);
    } else {
        clampToPanel(x, y);
        if (QPoint(x, y) != mDragStart) {
            update();
            SetBounds(DragRect(x, y));
        }
        erasePreview();
        setFocus();
        mDragging = false;
        setCursor(HandGrabCursor());
        if (mouseGrabber() == this)
            releaseMouse();
    }
    update();
}

void TGHandle::mouseDoubleClickEvent(QMouseEvent *event)
{
    mDoubleClicked = true;
    mPanel->PanelDblClick(this, event->position().toPoint() + pos(), event->globalPosition().toPoint());
}

void TGHandle::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool arrow = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up ||
                       key == Qt::Key_Down;
    if (arrow && !mKeyPreviewActive) {
        mKeyPreviewActive = true;
        mKeyRect.setCoords(x() + 2, y() + 2, x() + width() - 3, y() + height() - 3);
    }
    if (arrow) {
        // QRect's width() of the coordinates (L, T, R, B) is R - L + 1.
        const int w = mKeyRect.width(), h = mKeyRect.height();
        const bool resize = (event->modifiers() & Qt::ShiftModifier) && mSelected.size() == 1;
        const int panelW = mPanel->width(), panelH = mPanel->height();
        switch (key) {
        case Qt::Key_Left:
            if (resize) {
                if (w > 10) mKeyRect.setRight(mKeyRect.right() - 1);
            } else if (mKeyRect.left() > 0) {
                mKeyRect.translate(-1, 0);
            }
            break;
        case Qt::Key_Up:
            if (resize) {
                if (h > 10) mKeyRect.setBottom(mKeyRect.bottom() - 1);
            } else if (mKeyRect.top() > 0) {
                mKeyRect.translate(0, -1);
            }
            break;
        case Qt::Key_Right:
            if (panelW >= w + mKeyRect.left()) {
                if (resize) mKeyRect.setRight(mKeyRect.right() + 1);
                else mKeyRect.translate(1, 0);
            }
            break;
        case Qt::Key_Down:
            if (panelH >= h + mKeyRect.top()) {
                if (resize) mKeyRect.setBottom(mKeyRect.bottom() + 1);
                else mKeyRect.translate(0, 1);
            }
            break;
        default: break;
        }
    }
    mPanel->PanelKeyDown(key, event->modifiers());
    if (mKeyPreviewActive)
        mPanel->ShowDragRect(QRect(mKeyRect.topLeft(), mKeyRect.bottomRight() - QPoint(1, 1)));
}

void TGHandle::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat() || !mKeyPreviewActive)
        return;
    mPanel->ShowDragRect(QRect());
    mKeyPreviewActive = false;
    SetBounds(mKeyRect.left() - 2, mKeyRect.top() - 2, mKeyRect.width() - 1 + 5,
              mKeyRect.height() - 1 + 5);
    update();
    mPanel->update();
}

void TGHandle::leaveEvent(QEvent *)
{
    if (!mDragging)
        setCursor(mPanel->Pointing() ? HandGrabCursor() : DrawingToolCursor());
}

bool TGHandle::focusNextPrevChild(bool)
{
    return false;
}
