#pragma once
// TGGraphicControl: the base class of every object placed on a label.

#include "storage/MergeSource.h"
#include "storage/Persist.h"

#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>

class QAction;
class QMenu;
class QPainter;
class TFont;
class TGBasePanel;
class TReport;

// A windowless label object: a non-native child widget of the design panel,
// painted in the panel's child order. Geometry is in integer panel pixels.
class TGGraphicControl : public QWidget, public TComponent
{
    Q_OBJECT
public:
    static constexpr int crDefault = 0;
    // Largest coordinate and size an object takes, in panel pixels.
    static constexpr int MaxCoordinate = (1 << 24) - 1;
    // Rounds of bounds checking after one move or resize.
    static constexpr int MaxBoundsRounds = 8;

    explicit TGGraphicControl(TComponent *owner = nullptr);
    ~TGGraphicControl() override;

    QByteArray ClassName() const override { return "TGGraphicControl"; }
    const TPropertyTable &Properties() const override;
    // Tag, Left, Top, Width, Height, Cursor, Hint, Locked, Unselectable.
    static const TPropertyTable &BaseProperties();

    int Tag() const { return mTag; }
    void SetTag(int tag) { mTag = tag; }
    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    // The one way to move or resize an object (runs the bounds check).
    virtual void SetBounds(int left, int top, int width, int height);
    QRect BoundsRect() const { return geometry(); }
    int Cursor() const { return mCursor; }
    void SetCursor(int cursor) { mCursor = cursor; }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString &hint) { setToolTip(hint); }
    bool Locked() const { return mLocked; }
    void SetLocked(bool locked);
    bool Unselectable() const { return mUnselectable; }
    void SetUnselectable(bool unselectable);

    // The zoom the current geometry was computed for.
    float Scale() const { return mScale; }
    // Rescales the geometry from Scale to x.
    void SetScale(float x);
    // Takes x as the zoom the current geometry already has (no rescaling):
    // the panel adopting a new, pasted or loaded object.
    void AdoptScale(float x) { mScale = x; }

    // The painter Paint draws on, in object coordinates (0, 0 = top-left).
    QPainter *DrawCanvas() const { return mDrawCanvas; }
    // True while Paint runs for the object's own widget on the panel.
    bool PaintingOwnCanvas() const { return mPaintingOwn; }
    // Runs Paint on another painter (an image, a picture, a print page),
    // whose origin is taken as the object's top-left corner.
    void PaintTo(QPainter &painter);

    // The object's context menu, built the first time it is asked for:
    // hundreds of objects are read far more often than their menus shown.
    QMenu *ObjectMenu() const;
    QAction *LockedMenuItem() const { return ObjectMenu(), mLockedMenuItem; }
    QRect LastBounds() const { return mLastBounds; }
    bool InBoundsCheck() const { return mInBoundsCheck; }

    // Double-click on the selected object; when empty its menu is shown instead.
    std::function<void(QObject *sender)> EditHandler;

    // Mouse handlers the panel installs (AttachObjects); x, y in object coordinates.
    using MouseHandler = std::function<void(TGGraphicControl *sender, Qt::MouseButton button,
                                            Qt::KeyboardModifiers modifiers, int x, int y)>;
    MouseHandler OnMouseDown, OnMouseMove, OnMouseUp;
    std::function<void(TGGraphicControl *sender, QPoint panelPos)> OnDblClick;

    // The design panel this object lies on, or nullptr.
    TGBasePanel *Panel() const;
    void SetParentComponent(QObject *parent) override;

    void NotifyChanged();
    // Marks drawn by the selection frame, on a painter in panel coordinates.
    void DrawSelectionMarks(QPainter &panelPainter) const;
    // The same, on DrawCanvas while painting the own canvas (clipped to the object).
    void DrawSelectionMarks();
    void CenterVertically();
    void CenterHorizontally();
    // The "Clone" command: a copy 25 pixels lower, on top, selected in place
    // of this object when this one was selected. Returns the copy (nullptr
    // when there is no panel or the copy failed, which was reported).
    TGGraphicControl *Clone();

    static QString TrimLeadingSpaces(const QString &s);
    static QString TrimTrailingSpaces(const QString &s);
    static QString TrimSpaces(const QString &s);

    // Rebuilds ObjectMenu when it was already built (its items follow the
    // loaded state); otherwise it is left to be built when first asked for.
    void FinishLoading() override;
    virtual void Paint();
    virtual void CheckBoundsChanged();
    virtual void PrepareObjectMenu();
    // Fills the new ObjectMenu; subclasses call the base first, then append
    // their items.
    virtual void BuildObjectMenu(QMenu *menu);
    virtual void ApplyFont(const TFont &font);
    virtual void AdvanceLabel();
    virtual void RestartSequence();
    // What keeps the object from printing the current label, saying which
    // object it is (empty for nothing); a print run asks every object
    // before it starts.
    virtual QString PrintProblem() const;
    // left, top: inches of the label's top-left corner on the page.
    virtual void PrintOnReport(TReport &report, double left, double top);
    // First edit after a drawing tool created the object; false when the
    // user declined and the object should go again.
    virtual bool EditNew();
    // Brings a geometry the object adjusts by itself (text fitted to its
    // font) up to date outside painting, so the adjustment happens while
    // the window is busy loading or zooming rather than at the next paint,
    // where it would count as a change of the design.
    virtual void SettleLayout();

    // The text with the ${Name} fields of the panel's mail merge record
    // filled in: what an object draws of any text the user typed.
    QString MergedText(const QString &text) const;
    // The panel's mail merge record changed. Objects drawing fields redo
    // their layout; the base repaints.
    virtual void MergeRecordChanged();

    // Screen pixels per inch, the unit of the geometry at zoom 1.0.
    static int ScreenPixelsPerInch();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void bringToFrontClick();
    void sendToBackClick();
    void cutClick();
    void copyClick();
    void deleteClick();
    void lockedClick();
    void unselectableClick();

    int mTag = 0;
    int mCursor = crDefault;
    bool mLocked = false;
    bool mUnselectable = false;
    float mScale = 1.0f;
    QPainter *mDrawCanvas = nullptr;
    bool mPaintingOwn = false;
    mutable QMenu *mObjectMenu = nullptr;
    QAction *mLockedMenuItem = nullptr;
    QRect mLastBounds = QRect(0, 0, 0, 0);
    bool mInBoundsCheck = false;
    int mBoundsDepth = 0;
    bool mBoundsPending = false;
};

// nearest(v): the nearest integer, exact halves to the even neighbour.
int RoundNearest(double v);
