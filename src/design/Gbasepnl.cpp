#include "design/Gbasepnl.h"

#include "design/Cursors.h"
#include "design/GGraphc.h"
#include "storage/DesignProperties.h"
#include "design/GHandle.h"
#include "print/engine/Canvas.h"
#include "storage/AppPaths.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

// The transient dotted rectangle of rubber bands and drag previews, drawn
// exclusive-or over whatever lies below it.
class TBandOverlay : public QWidget
{
public:
    explicit TBandOverlay(QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QPen pen(Qt::white, 0);
        pen.setDashPattern({1, 1});
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, width() - 1, height() - 1);
    }
};

TGBasePanel::TGBasePanel(QWidget *parent)
    : QWidget(parent), mFont(std::make_unique<TFont>())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    mFont->SetName(QStringLiteral("Arial"));
    mFont->SetSize(10);
    mSelection = new TGHandle(this);
    mOverlay = new TBandOverlay(this);
    SetProgramDirectory(AppPaths::ProgramDir());
    buildPanelMenu();
    mSelection->SetPanelMenu(mPanelMenu);
    UpdateCursors();
    mDesign = new TDesignProperties(this);
    mDesign->OnLoaded = [this] { ShowFirstRecord(); };
}

TGBasePanel::~TGBasePanel()
{
    mSelection->ClearSelection();
    for (const QString &name : {mWrittenClipboard, mTempFileName})
        if (!name.isEmpty() && QFile::exists(name))
            QFile::remove(name);
}

void TGBasePanel::SetProgramDirectory(const QString &directory)
{
    const QString dir = QDir(directory).absolutePath() + QLatin1Char('/');
    mClipboardFileName = dir + QStringLiteral("Clipbrd.tmp");
    mTempFileName = dir + QStringLiteral("TempFile.tmp");
}

void TGBasePanel::SetPointing(bool pointing)
{
    mPointing = pointing;
    UpdateCursors();
}

void TGBasePanel::UpdateCursors()
{
    setCursor(mPointing ? QCursor(Qt::ArrowCursor) : DrawingToolCursor());
    for (TGGraphicControl *o : Objects())
        o->setCursor(mPointing ? HandPointCursor() : DrawingToolCursor());
    mSelection->setCursor(mPointing ? HandGrabCursor() : DrawingToolCursor());
}

void TGBasePanel::SetDrawOutline(bool draw)
{
    if (draw != mDrawOutline) {
        mDrawOutline = draw;
        invalidateSurface();
    }
}

void TGBasePanel::SetPicture(const QImage &picture)
{
    mPicture = picture;
    invalidateSurface();
}

void TGBasePanel::SetColorPicture(const QImage &picture)
{
    mColorPicture = picture;
    invalidateSurface();
}

void TGBasePanel::SetShape(TLabelShapeType shape)
{
    if (shape != mShape) {
        mShape = shape;
        invalidateSurface();
    }
}

void TGBasePanel::SetGridSize(TGridSize size)
{
    mGridSize = size;
    const int g = size == gs8x8 ? 8 : 4;
    const bool snapping = mSelection->SnapToGrid();
    mSelection->SetGridX(g);
    mSelection->SetGridY(g);
    // Setting the grid sets the effective grid too; keep snapping as it was.
    mSelection->SetSnapToGrid(snapping);
    invalidateSurface();
}

void TGBasePanel::SetShowGrid(bool show)
{
    if (show != mShowGrid) {
        mShowGrid = show;
        invalidateSurface();
    }
}

void TGBasePanel::SetSnapToGrid(bool snap)
{
    mSnapToGrid = snap;
    if (snap) {
        const int g = mGridSize == gs8x8 ? 8 : 4;
        mSelection->SetGridX(g);
        mSelection->SetGridY(g);
    }
    mSelection->SetSnapToGrid(snap);
}

QList<TGGraphicControl *> TGBasePanel::Objects() const
{
    QList<TGGraphicControl *> list;
    for (QObject *child : children())
        if (auto *o = qobject_cast<TGGraphicControl *>(child))
            list.append(o);
    return list;
}

void TGBasePanel::SetZoom(float x)
{
    if (x == mZoom)
        return;
    mZoomInProgress = true;
    if (mZoom * 10 == 0)
        mZoom = 1;
    const float r = x / mZoom;
    resize(RoundNearest(width() * double(r)), RoundNearest(height() * double(r)));
    mZoom = x;
    for (TGGraphicControl *o : Objects())
        o->SetScale(x);
    SettleObjects();
    QCoreApplication::processEvents();
    mZoomInProgress = false;
}

void TGBasePanel::SettleObjects()
{
    for (TGGraphicControl *o : Objects())
        o->SettleLayout();
}

void TGBasePanel::NotifyLabelChanged()
{
    if (!mZoomInProgress && !mHoldNotifications && LabelChangedEvent)
        LabelChangedEvent(this);
}

void TGBasePanel::NameCommand(const QString &caption)
{
    if (!mCommandName.isEmpty())
        return;
    QString name;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        name += caption.at(i);
    }
    while (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    mCommandName = name.trimmed();
}

QString TGBasePanel::TakeCommandName()
{
    return std::exchange(mCommandName, QString());
}

void TGBasePanel::AttachObject(TGGraphicControl *o)
{
    o->OnMouseDown = [this](TGGraphicControl *sender, Qt::MouseButton button,
                            Qt::KeyboardModifiers modifiers, int x, int y) {
        ObjectMouseDown(sender, button, modifiers, x, y);
    };
    o->OnMouseMove = [this](TGGraphicControl *sender, Qt::MouseButton,
                            Qt::KeyboardModifiers modifiers, int x, int y) {
        PanelMouseMove(Qt::NoButton, modifiers, sender->Left() + x, sender->Top() + y);
    };
    o->OnMouseUp = [this](TGGraphicControl *sender, Qt::MouseButton button,
                          Qt::KeyboardModifiers modifiers, int x, int y) {
        PanelMouseUp(button, modifiers, sender->Left() + x, sender->Top() + y);
    };
    o->OnDblClick = [this](TGGraphicControl *sender, QPoint pos) {
        PanelDblClick(sender, pos, sender->mapToGlobal(pos - sender->pos()));
    };
    o->AdoptScale(mZoom);
    o->setCursor(mPointing ? HandPointCursor() : DrawingToolCursor());
}

void TGBasePanel::AttachObjects()
{
    for (TGGraphicControl *o : Objects())
        AttachObject(o);
    KeepFrameOnTop();
}

void TGBasePanel::ClearObjects()
{
    // The design goes as a whole: its data source with its objects.
    mDesign->Reset();
    mMergeRecord = TMergeRecord();
    mMergeError.clear();
    mSelection->ClearSelection();
    const QList<TGGraphicControl *> objects = Objects();
    for (auto it = objects.rbegin(); it != objects.rend(); ++it)
        delete *it;
}

void TGBasePanel::RestartSequences()
{
    for (TGGraphicControl *o : Objects())
        o->RestartSequence();
}

void TGBasePanel::AdvanceLabels()
{
    for (TGGraphicControl *o : Objects())
        o->AdvanceLabel();
}

bool TGBasePanel::HasEffectObjects() const
{
    for (TGGraphicControl *o : Objects())
        if (o->ClassName() == "TSuperShape" || o->ClassName() == "TGSuperText")
            return true;
    return false;
}

void TGBasePanel::RefreshSelectionFrame()
{
    mRefreshPending = false;
    mSelection->RefreshFrame();
}

void TGBasePanel::PostRefreshSelectionFrame()
{
    if (mRefreshPending)
        return;
    mRefreshPending = true;
    QMetaObject::invokeMethod(this, [this] { RefreshSelectionFrame(); }, Qt::QueuedConnection);
}

void TGBasePanel::KeepFrameOnTop()
{
    mSelection->raise();
    mOverlay->raise();
}

void TGBasePanel::childEvent(QChildEvent *event)
{
    QWidget::childEvent(event);
    // A new child lands on top; the frame and the overlay must stay above it.
    if (event->added() && mSelection && mOverlay && event->child() != mSelection &&
        event->child() != mOverlay && event->child()->isWidgetType() && !mRaisePending) {
        // One raise after a burst of new children (a file read, a paste).
        mRaisePending = true;
        QMetaObject::invokeMethod(this, [this] {
            mRaisePending = false;
            KeepFrameOnTop();
        }, Qt::QueuedConnection);
    }
}

void TGBasePanel::ObjectMouseDown(TGGraphicControl *sender, Qt::MouseButton button,
                                  Qt::KeyboardModifiers modifiers, int x, int y)
{
    if (!mPointing || sender->Unselectable()) {
        PanelMouseDown(button, modifiers, sender->Left() + x, sender->Top() + y,
                       sender->mapToGlobal(QPoint(x, y)));
        return;
    }
    if (!(modifiers & Qt::ShiftModifier))
        mSelection->ClearSelection();
    mSelection->AddToSelection(sender);
    mSelection->update();
    if (mSelection->SelectedCount() == 1 && button == Qt::RightButton && sender->ObjectMenu())
        sender->ObjectMenu()->popup(sender->mapToGlobal(QPoint(x, y)));
}

void TGBasePanel::AfterClone() {}

void TGBasePanel::PrintObjects(TReport &report, double left, double top)
{
    for (TGGraphicControl *o : Objects())
        o->PrintOnReport(report, left, top);
}

void TGBasePanel::ClampObjectsToPanel()
{
    mSelection->ClearSelection();
    for (TGGraphicControl *o : Objects()) {
        if (o->Top() > height() - 10)
            o->SetTop(height() - 10);
        if (o->Left() > width() - 20)
            o->SetLeft(width() - 20);
    }
}

void TGBasePanel::RemoveObjectsOutside()
{
    mSelection->ClearSelection();
    const QList<TGGraphicControl *> objects = Objects();
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        TGGraphicControl *o = *it;
        if (o->Top() > height() - 10 || o->Left() > width() - 10 || o->Width() < 1 || o->Height() < 1) {
            try {
                delete o;
            } catch (...) {
            }
        }
    }
}

void TGBasePanel::CreateObjectFromRect(const QRect &) {}

void TGBasePanel::PanelMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y,
                                 QPoint globalPos)
{
    if (button == Qt::LeftButton) {
        mBandRect.setCoords(x, y, x, y);
        mBandActive = true;
        setCursor(HandPointCursor());
    } else {
        mPanelMenu->popup(globalPos);
    }
}

void TGBasePanel::PanelMouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y)
{
    if (!mBandActive)
        return;
    mBandRect.setRight(x);
    mBandRect.setBottom(y);
    const QRect n = QRect(QPoint(mBandRect.left(), mBandRect.top()),
                          QPoint(mBandRect.right(), mBandRect.bottom())).normalized();
    // The band (L, T, R, B) outlines the pixels L .. R - 1.
    ShowDragRect(QRect(n.left(), n.top(), n.width() - 1, n.height() - 1));
}

void TGBasePanel::PanelMouseUp(Qt::MouseButton, Qt::KeyboardModifiers modifiers, int, int)
{
    if (mouseGrabber() == this)
        releaseMouse();
    if (!mBandActive)
        return;
    const int l = qMin(mBandRect.left(), mBandRect.right()), r = qMax(mBandRect.left(), mBandRect.right());
    const int t = qMin(mBandRect.top(), mBandRect.bottom()), b = qMax(mBandRect.top(), mBandRect.bottom());
    const QRect band(l, t, r - l, b - t);
    mBandRect.setCoords(l, t, r, b);
    mBandActive = false;
    ShowDragRect(QRect());
    update(band.adjusted(0, 0, 1, 1));
    if (mPointing) {
        const bool shift = modifiers & Qt::ShiftModifier;
        QList<TGGraphicControl *> list;
        if (shift)
            list = mSelection->SelectedObjects();
        mSelection->ClearSelection();
        const QList<TGGraphicControl *> objects = Objects();
        for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
            TGGraphicControl *o = *it;
            if (!band.intersects(o->geometry()))
                continue;
            if (shift && list.contains(o))
                list.removeOne(o);
            else if (!list.contains(o))
                list.append(o);
        }
        for (TGGraphicControl *o : list)
            mSelection->AddToSelection(o);
        mSelection->update();
        setCursor(Qt::ArrowCursor);
    } else {
        setCursor(DrawingToolCursor());
        CreateObjectFromRect(band);
        if (DroppedObjectEvent)
            DroppedObjectEvent(band);
    }
}

void TGBasePanel::SelectionMouseDown(Qt::MouseButton, Qt::KeyboardModifiers modifiers, int x, int y)
{
    if (!mPointing || !(modifiers & Qt::ShiftModifier))
        return;
    QList<TGGraphicControl *> list = mSelection->SelectedObjects();
    mSelection->ClearSelection();
    QCoreApplication::processEvents();
    list.removeIf([x, y](TGGraphicControl *o) { return o->geometry().contains(QPoint(x, y)); });
    for (TGGraphicControl *o : list)
        mSelection->AddToSelection(o);
}

void TGBasePanel::PanelDblClick(QObject *sender, QPoint pos, QPoint globalPos)
{
    if (sender == mSelection) {
        if (mSelection->SelectedCount() < 2) {
            for (TGGraphicControl *o : mSelection->SelectedObjects()) {
                if (!o->geometry().adjusted(-2, -2, 2, 2).contains(pos))
                    continue;
                if (o->EditHandler)
                    o->EditHandler(this);
                else if (o->ObjectMenu())
                    o->ObjectMenu()->popup(globalPos);
                break;
            }
        }
    } else if (auto *o = qobject_cast<TGGraphicControl *>(sender)) {
        if (o->ObjectMenu())
            o->ObjectMenu()->popup(globalPos);
    }
    mSelection->SetDoubleClicked();
}

bool TGBasePanel::PanelKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Delete && !(modifiers & Qt::ControlModifier)) {
        DeleteSelection();
        return true;
    }
    if (!(modifiers & Qt::ControlModifier) || (modifiers & Qt::AltModifier))
        return false;
    switch (key) {
    case Qt::Key_C: CopySelection(); return true;
    case Qt::Key_V: Paste(); return true;
    case Qt::Key_X: CutSelection(); return true;
    default: return false;
    }
}

QPainterPath TGBasePanel::ShapePath(int extra) const
{
    QPainterPath path;
    const QRectF r(0, 0, width() + extra, height() + extra);
    switch (mShape) {
    case lsRectangle: path.addRect(r); break;
    case lsRoundRect: path.addRoundedRect(r, 12, 12); break;
    case lsEllipse: path.addEllipse(r); break;
    }
    return path;
}

QImage TGBasePanel::RenderBackground(qreal ratio) const
{
    // On a scaled screen the surface has the device's pixels, so that the
    // outline, the grid and the label art are as sharp as the objects.
    QImage image((QSizeF(size()) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    if (image.isNull())
        return image;
    const QPainterPath clip = ShapePath(1);
    {
        QPainter p(&image);
        const QRect all(0, 0, width(), height());
        for (const QImage *picture : {&mPicture, &mColorPicture}) {
            if (picture->isNull())
                continue;
            p.save();
            p.setClipPath(clip);
            p.drawImage(all, *picture);
            p.restore();
        }
        if (mDrawOutline) {
            TCanvas c(p);
            c.Pen.Color = cl::Black;
            c.Pen.Width = 1;
            c.Brush.Style = mPicture.isNull() && mColorPicture.isNull() ? bsSolid : bsClear;
            c.Brush.Color = cl::White;
            switch (mShape) {
            case lsRectangle: c.Rectangle(0, 0, width(), height()); break;
            case lsRoundRect: c.RoundRect(0, 0, width(), height(), 24, 24); break;
            case lsEllipse: c.Ellipse(0, 0, width(), height()); break;
            }
        }
    }
    if (mShowGrid) {
        // Pattern AND destination: dots at x = 2 and y = 2 modulo the grid
        // step turn white pixels green (0, 128, 0) inside the label shape.
        const int step = mGridSize == gs8x8 ? 8 : 4;
        // A dot covers the device pixels of its panel pixel.
        QImage mask(size(), QImage::Format_Grayscale8);
        mask.fill(0);
        {
            QPainter m(&mask);
            m.fillPath(clip, Qt::white);
        }
        for (int y = 2; y < height(); y += step) {
            const uchar *inside = mask.constScanLine(y);
            const int top = int(std::floor(y * ratio)), bottom = std::max(top + 1, int(std::floor((y + 1) * ratio)));
            for (int x = 2; x < width(); x += step) {
                if (!inside[x])
                    continue;
                const int left = int(std::floor(x * ratio)), right = std::max(left + 1, int(std::floor((x + 1) * ratio)));
                for (int dy = top; dy < bottom && dy < image.height(); ++dy) {
                    auto *line = reinterpret_cast<QRgb *>(image.scanLine(dy));
                    for (int dx = left; dx < right && dx < image.width(); ++dx)
                        line[dx] &= 0xFF008000u;
                }
            }
        }
    }
    return image;
}

void TGBasePanel::paintEvent(QPaintEvent *event)
{
    // The surface is rebuilt only after something it shows has changed.
    const qreal ratio = devicePixelRatioF();
    if (mOffscreenDirty || mOffscreen.deviceIndependentSize() != QSizeF(size())
        || mOffscreen.devicePixelRatio() != ratio) {
        mOffscreen = RenderBackground(ratio);
        mOffscreenDirty = false;
    }
    QPainter p(this);
    const QRect r = event->rect();
    p.drawImage(r, mOffscreen,
                QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
}

void TGBasePanel::invalidateSurface()
{
    mOffscreenDirty = true;
    update();
}

void TGBasePanel::ShowDragRect(const QRect &rect)
{
    if (rect.width() <= 0 || rect.height() <= 0) {
        mOverlay->hide();
        return;
    }
    mOverlay->setGeometry(rect);
    mOverlay->raise();
    mOverlay->show();
    mOverlay->update();
}

QRect TGBasePanel::DragRectShown() const
{
    return mOverlay->isVisible() ? mOverlay->geometry() : QRect();
}

void TGBasePanel::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    PanelMouseDown(event->button(), event->modifiers(), p.x(), p.y(), event->globalPosition().toPoint());
}

void TGBasePanel::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    PanelMouseMove(event->buttons(), event->modifiers(), p.x(), p.y());
}

void TGBasePanel::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    PanelMouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

void TGBasePanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The empty panel has nothing to edit; a second press starts a band.
    mousePressEvent(event);
}

void TGBasePanel::keyPressEvent(QKeyEvent *event)
{
    if (!PanelKeyDown(event->key(), event->modifiers()))
        QWidget::keyPressEvent(event);
}

bool TGBasePanel::focusNextPrevChild(bool)
{
    return false;
}
