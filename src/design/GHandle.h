#pragma once
// TGHandle: the selection frame of the design panel.

#include "storage/Gdiobj.h"

#include <QList>
#include <QRect>
#include <QWidget>

class QMenu;
class TGBasePanel;
class TGGraphicControl;

// The selection made visible and movable: a transparent child of the panel
// covering the selected objects plus a margin. Dragging it moves the
// selection, its eight hot zones resize a single object, arrow keys nudge.
class TGHandle : public QWidget
{
    Q_OBJECT
public:
    explicit TGHandle(TGBasePanel *panel);

    TColor Color() const { return mColor; }
    void SetColor(TColor c) { mColor = c; update(); }
    TColor SecondaryColor() const { return mSecondaryColor; }
    void SetSecondaryColor(TColor c) { mSecondaryColor = c; update(); }
    int GridX() const { return mGridX; }
    int GridY() const { return mGridY; }
    void SetGridX(int g);          // sets the stored and the effective value
    void SetGridY(int g);
    int EffectiveGridX() const { return mEffectiveGridX; }
    int EffectiveGridY() const { return mEffectiveGridY; }
    bool SnapToGrid() const { return mEffectiveGridX > 1 || mEffectiveGridY > 1; }
    // On: the effective grid becomes GridX, GridY; off: 1 and 1.
    void SetSnapToGrid(bool snap);

    const QList<TGGraphicControl *> &SelectedObjects() const { return mSelected; }
    void AddToSelection(TGGraphicControl *object);
    void RemoveFromSelection(TGGraphicControl *object);
    void ClearSelection();
    int IndexOfSelected(TGGraphicControl *object) const { return int(mSelected.indexOf(object)); }
    int SelectedCount() const { return int(mSelected.size()); }
    TGGraphicControl *SelectedObject(int index) const;
    void RefreshFrame();
    void BringSelectionToFront();
    void SendSelectionToBack();
    // First selected object whose bounds grown by 2 contain the panel point.
    TGGraphicControl *ObjectAt(QPoint panelPos) const;
    bool PointInSelection(QPoint panelPos) const { return ObjectAt(panelPos) != nullptr; }
    // Moves the frame; unlocked selected objects follow the change.
    void SetBounds(int left, int top, int width, int height);
    void SetBounds(const QRect &r) { SetBounds(r.x(), r.y(), r.width(), r.height()); }

    QMenu *PanelMenu() const { return mPanelMenu; }
    void SetPanelMenu(QMenu *menu) { mPanelMenu = menu; }
    // Told by the panel after a double click: the next mouse move drops a pending drag.
    void SetDoubleClicked() { mDoubleClicked = true; }

    bool Dragging() const { return mDragging; }
    int HotZone() const { return mHotZone; }
    qint64 MouseDownTime() const { return mMouseDownTime; }
    QRect PreviewRect() const { return mPreviewRect; }
    bool KeyPreviewActive() const { return mKeyPreviewActive; }
    // The nudge rectangle: its left(), top(), right(), bottom() are the frame's
    // Left + 2, Top + 2, Left + Width - 3, Top + Height - 3 as moved by the keys.
    QRect KeyRect() const { return mKeyRect; }

    // The frame rectangle a drag to (x, y) in frame coordinates would give.
    QRect DragRect(int x, int y) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    int snapX(int v) const { return mEffectiveGridX * (v / mEffectiveGridX); }
    int snapY(int v) const { return mEffectiveGridY * (v / mEffectiveGridY); }
    void placeAround(bool grownByOne);
    void hideFrame();
    void clampToPanel(int &x, int &y) const;
    void drawPreview(int x, int y);
    void erasePreview();
    void passToPanel(QMouseEvent *event, bool press);
    int hotZoneAt(int x, int y);

    TGBasePanel *mPanel;
    TColor mColor = cl::Black;
    TColor mSecondaryColor = cl::Gray;
    int mGridX = 8, mGridY = 8;
    int mEffectiveGridX = 1, mEffectiveGridY = 1;
    QList<TGGraphicControl *> mSelected;
    qint64 mMouseDownTime = 0;
    bool mDragging = false;
    QPoint mDragStart;
    int mHotZone = 0;
    QRect mPreviewRect;
    bool mKeyPreviewActive = false;
    QRect mKeyRect;
    bool mDoubleClicked = false;
    QMenu *mPanelMenu = nullptr;
};
