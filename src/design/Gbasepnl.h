#pragma once
// TGBasePanel: the design panel on which one label is composed.

#include "storage/Gdiobj.h"
#include "storage/MergeSource.h"

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QMenu;
class QPainter;
class QAction;
class TGGraphicControl;
class TGHandle;
class TReport;
class TBandOverlay;
class TDesignProperties;

enum TLabelShapeType { lsRectangle, lsRoundRect, lsEllipse };
enum TGridSize { gs4x4, gs8x8 };

// The white label area: parent of the label objects and of the selection
// frame; turns drags into rubber-band selections or new objects, and reports
// every change of the design. Knows label objects only as TGGraphicControl.
class TGBasePanel : public QWidget
{
    Q_OBJECT
public:
    explicit TGBasePanel(QWidget *parent = nullptr);
    ~TGBasePanel() override;

    bool Pointing() const { return mPointing; }
    void SetPointing(bool pointing);
    bool DrawOutline() const { return mDrawOutline; }
    void SetDrawOutline(bool draw);
    // Background pictures, stretched over the panel and clipped to the label shape.
    const QImage &Picture() const { return mPicture; }
    void SetPicture(const QImage &picture);
    const QImage &ColorPicture() const { return mColorPicture; }
    void SetColorPicture(const QImage &picture);
    bool Printing() const { return mPrinting; }
    void SetPrinting(bool printing) { mPrinting = printing; }
    TLabelShapeType Shape() const { return mShape; }
    void SetShape(TLabelShapeType shape);
    TGridSize GridSize() const { return mGridSize; }
    void SetGridSize(TGridSize size);
    bool ShowGrid() const { return mShowGrid; }
    void SetShowGrid(bool show);
    bool SnapToGrid() const { return mSnapToGrid; }
    void SetSnapToGrid(bool snap);
    bool Previewing() const { return mPreviewing; }
    void SetPreviewing(bool previewing) { mPreviewing = previewing; }

    // New text objects copy this font ("Arial", 10 pt until the main window sets it).
    TFont &Font() { return *mFont; }
    const TFont &Font() const { return *mFont; }

    // Fired with the dragged rectangle after a drawing tool created an
    // object: panel pixels, normalised, width = right - left of the drag.
    std::function<void(const QRect &rect)> DroppedObjectEvent;
    // Fired with the panel as sender whenever the design changed.
    std::function<void(QObject *sender)> LabelChangedEvent;

    float Zoom() const { return mZoom; }
    void SetZoom(float x);
    bool ZoomInProgress() const { return mZoomInProgress; }
    TGHandle *Selection() const { return mSelection; }
    QMenu *PanelMenu() const { return mPanelMenu; }
    // Components of new objects; objects are owned by it (nullptr: none).
    TComponent *ObjectOwner() const { return mObjectOwner; }
    void SetObjectOwner(TComponent *owner) { mObjectOwner = owner; }
    // The object clipboard and the scratch file, in the program's directory
    // (AppPaths::ProgramDir() unless set otherwise).
    QString ClipboardFileName() const { return mClipboardFileName; }
    QString TempFileName() const { return mTempFileName; }
    void SetProgramDirectory(const QString &directory);
    // Tick count of the last paste; 0 = never.
    qint64 LastPasteTime() const { return mLastPasteTime; }
    bool BandActive() const { return mBandActive; }
    // Start corner and current corner as left/top and right/bottom (not normalised).
    QRect BandRect() const { return mBandRect; }

    // The label objects, in child (paint) order, bottom first.
    QList<TGGraphicControl *> Objects() const;

    virtual void ObjectMouseDown(TGGraphicControl *sender, Qt::MouseButton button,
                                 Qt::KeyboardModifiers modifiers, int x, int y);
    virtual void AfterClone();
    virtual void PrintObjects(TReport &report, double left, double top);
    virtual void ClampObjectsToPanel();
    virtual void RemoveObjectsOutside();
    // rect: the dragged band, x = left, width = right - left (a click is 0 x 0).
    virtual void CreateObjectFromRect(const QRect &rect);

    void NotifyLabelChanged();
    // The name of the command changing the design now ("Move", "Font"), as
    // the undo history shows it: menu captions without their accelerator
    // and dots. The first name given holds until it is taken, so that Cut
    // stays Cut while it deletes.
    void NameCommand(const QString &caption);
    QString CommandName() const { return mCommandName; }
    QString TakeCommandName();
    void AttachObjects();
    // Every object's SettleLayout, first child to last.
    void SettleObjects();
    // Mouse handlers and scale for one object (part of AttachObjects).
    void AttachObject(TGGraphicControl *object);
    void ClearObjects();
    void RestartSequences();
    void AdvanceLabels();
    bool HasEffectObjects() const;
    void RefreshSelectionFrame();
    // Keeps the selection frame and the overlay above every object.
    void KeepFrameOnTop();
    // Posts RefreshSelectionFrame behind the current mouse or key event.
    void PostRefreshSelectionFrame();

    // The panel's mouse handling in panel coordinates; objects and the
    // selection frame forward to these.
    void PanelMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y,
                        QPoint globalPos);
    void PanelMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void PanelMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    // The selection frame's mouse-down handler (Shift+click deselects).
    void SelectionMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    // sender: the selection frame or an object; pos in panel coordinates.
    void PanelDblClick(QObject *sender, QPoint pos, QPoint globalPos);
    // Ctrl+C, Ctrl+V, Ctrl+X, Delete; returns true when the key was used.
    // The main window and the selection frame pass their keys here.
    bool PanelKeyDown(int key, Qt::KeyboardModifiers modifiers);

    // Commands of the panel menu.
    void BringSelectionToFront();
    void SendSelectionToBack();
    void DeleteSelection();
    // The selection when `object` is selected, else `object` alone.
    void DeleteObject(TGGraphicControl *object);

    // The object clipboard: a file of label objects, geometry at zoom 1.0
    // as in label files. Copy and cut return false (after telling the user)
    // when the file could not be written; a failed cut deletes nothing.
    bool CopySelection();
    bool CutSelection();
    // The selection when `object` is selected, else `object` alone.
    bool CopyObject(TGGraphicControl *object);
    bool CutObject(TGGraphicControl *object);
    // Adds the clipboard's objects 15 pixels (at zoom 1.0) right of and below
    // where they were copied. A second paste within a second is ignored; a
    // damaged file is reported and leaves the panel as it was.
    void Paste();
    void AlignLefts();
    void AlignRights();
    void AlignTops();
    void AlignBottoms();
    void CenterSelectionVertically();
    void CenterSelectionHorizontally();
    void LockAll();
    void UnlockAll();
    void MarkAllSelectable();
    void MarkAllUnselectable();
    void SelectAll();
    // Opens the font dialog; ApplyFont on every selected object.
    void ChooseFont();
    void ApplyFontToSelection(const TFont &font);

    // The label outline as a path (rectangle, 24 x 24 rounded corners, ellipse).
    QPainterPath ShapePath(int extra) const;
    // The panel's own surface without objects: white, pictures, outline, grid.
    QImage RenderBackground(qreal devicePixelRatio = 1.0) const;

    // The design's own properties (the mail merge data source), stored in
    // the label file with the objects.
    TDesignProperties &Design() const { return *mDesign; }
    // The mail merge record the objects draw their ${Name} fields from; an
    // empty record leaves the fields as written. Every object is told.
    const TMergeRecord &MergeRecord() const { return mMergeRecord; }
    void SetMergeRecord(const TMergeRecord &record);
    // Shows the first record of the design's data source (after a read set
    // the design properties): no source or a source that cannot be read
    // leaves the fields as written, and MergeError says why.
    void ShowFirstRecord();
    QString MergeError() const { return mMergeError; }

    // Overlay drawing (rubber band, drag and key previews): an exclusive-or
    // dotted outline of the pixels of `rect`, above everything; an empty
    // rect hides it.
    void ShowDragRect(const QRect &rect);
    QRect DragRectShown() const;
    // Cursors of the panel, its objects and the frame for the current tool.
    void UpdateCursors();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void childEvent(QChildEvent *event) override;

    void updatePanelMenu();
    bool writeClipboard(const QList<TGGraphicControl *> &objects);
    void invalidateSurface();
    void buildPanelMenu();

private:
    void alignSelection(Qt::Orientation orientation, bool farEdge);
    bool mPointing = true;
    bool mDrawOutline = false;
    QImage mPicture, mColorPicture;
    bool mPrinting = false;
    TLabelShapeType mShape = lsRoundRect;
    TGridSize mGridSize = gs4x4;
    bool mShowGrid = false;
    bool mSnapToGrid = false;
    bool mPreviewing = false;
    std::unique_ptr<TFont> mFont;
    float mZoom = 1.0f;
    bool mZoomInProgress = false;
    TGHandle *mSelection = nullptr;
    QMenu *mPanelMenu = nullptr;
    TComponent *mObjectOwner = nullptr;
    QString mClipboardFileName, mTempFileName;
    qint64 mLastPasteTime = 0;
    // Only a clipboard file this panel wrote is removed with it: the print
    // window's panel must not take the main window's clipboard along.
    QString mWrittenClipboard;
    // While a paste reads, the objects' own change notices are held back:
    // a paste that fails leaves the design unchanged.
    bool mHoldNotifications = false;
    QString mCommandName;
    bool mBandActive = false;
    QRect mBandRect;
    TBandOverlay *mOverlay = nullptr;
    QImage mOffscreen;
    bool mOffscreenDirty = true;
    bool mRefreshPending = false;
    bool mRaisePending = false;
    TDesignProperties *mDesign = nullptr;
    TMergeRecord mMergeRecord;
    QString mMergeError;

    struct MenuItems {
        QAction *bringToFront, *sendToBack, *cut, *copy, *paste, *del, *alignLeft, *alignRight,
            *alignTops, *alignBottoms, *centerV, *centerH, *lockAll, *unlockAll, *font;
    } mItems {};
};
