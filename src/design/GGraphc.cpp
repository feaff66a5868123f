#include "design/GGraphc.h"

#include "controls/MessageBoxes.h"
#include "design/GHandle.h"
#include "design/Gbasepnl.h"
#include "print/engine/Canvas.h"
#include "storage/Filer.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>

int RoundNearest(double v)
{
    // The default rounding mode rounds exact halves to the even neighbour.
    return int(std::nearbyint(v));
}

TGGraphicControl::TGGraphicControl(TComponent *owner)
    : QWidget(nullptr), TComponent(owner)
{
    setGeometry(0, 0, 0, 0);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

TGGraphicControl::~TGGraphicControl()
{
    if (TGBasePanel *panel = Panel())
        if (panel->Selection())
            panel->Selection()->RemoveFromSelection(this);
}

const TPropertyTable &TGGraphicControl::BaseProperties()
{
    using C = TGGraphicControl;
    static const TPropertyTable table(nullptr, {
        props::integer<C>("Tag", &C::Tag, &C::SetTag, 0),
        props::integer<C>("Left", &C::Left, &C::SetLeft, std::nullopt),
        props::integer<C>("Top", &C::Top, &C::SetTop, std::nullopt),
        props::integer<C>("Width", &C::Width, &C::SetWidth, std::nullopt),
        props::integer<C>("Height", &C::Height, &C::SetHeight, std::nullopt),
        props::ordinal<C, int>("Cursor", TPropKind::Cursor, &C::Cursor, &C::SetCursor, crDefault),
        props::string<C>("Hint", &C::Hint, &C::SetHint),
        props::boolean<C>("Locked", &C::Locked, &C::SetLocked, false),
        props::boolean<C>("Unselectable", &C::Unselectable, &C::SetUnselectable, false),
    });
    return table;
}

const TPropertyTable &TGGraphicControl::Properties() const
{
    return BaseProperties();
}

void TGGraphicControl::SetBounds(int left, int top, int width, int height)
{
    // A geometry Qt can hold without overflow: no label reaches these sizes,
    // and an absurd stored value must not wrap QRect's right and bottom edges.
    left = std::clamp(left, -MaxCoordinate, MaxCoordinate);
    top = std::clamp(top, -MaxCoordinate, MaxCoordinate);
    width = std::clamp(width, 0, MaxCoordinate);
    height = std::clamp(height, 0, MaxCoordinate);
    const QRect r(left, top, width, height);
    if (r == geometry())
        return;
    setGeometry(r);
    if (IsLoading())
        return;
    // A bounds check may move or resize the object again. Inside a check the
    // new geometry is only taken; the outermost call runs the check again
    // until the object settles, a few rounds at most, so two checks that
    // disagree (one shrinking, one growing) cannot recurse without end.
    if (mBoundsDepth > 0) {
        mBoundsPending = true;
        return;
    }
    ++mBoundsDepth;
    try {
        int rounds = 0;
        do {
            mBoundsPending = false;
            CheckBoundsChanged();
        } while (mBoundsPending && ++rounds < MaxBoundsRounds);
    } catch (...) {
        --mBoundsDepth;
        mBoundsPending = false;
        throw;
    }
    --mBoundsDepth;
    mBoundsPending = false;
}

void TGGraphicControl::SetLocked(bool locked)
{
    if (locked == mLocked)
        return;
    mLocked = locked;
    if (IsLoading())
        return;
    try {
        if (mLockedMenuItem)
            mLockedMenuItem->setChecked(mLocked);
        NotifyChanged();
    } catch (...) {
    }
}

void TGGraphicControl::SetUnselectable(bool unselectable)
{
    if (unselectable == mUnselectable)
        return;
    mUnselectable = unselectable;
    if (IsLoading())
        return;
    try {
        NotifyChanged();
        if (mUnselectable)
            if (TGBasePanel *panel = Panel())
                panel->Selection()->RemoveFromSelection(this);
    } catch (...) {
    }
}

void TGGraphicControl::SetScale(float x)
{
    if (x == mScale)
        return;
    const float r = x / mScale;
    // Left * r etc. are formed in double: exact for any integer geometry.
    SetBounds(RoundNearest(Left() * double(r)), RoundNearest(Top() * double(r)),
              RoundNearest(Width() * double(r)), RoundNearest(Height() * double(r)));
    mScale = x;
    CheckBoundsChanged();
}

void TGGraphicControl::PaintTo(QPainter &painter)
{
    QPainter *const oldCanvas = mDrawCanvas;
    const bool oldOwn = mPaintingOwn;
    mDrawCanvas = &painter;
    mPaintingOwn = false;
    Paint();
    mDrawCanvas = oldCanvas;
    mPaintingOwn = oldOwn;
}

TGBasePanel *TGGraphicControl::Panel() const
{
    return qobject_cast<TGBasePanel *>(parentWidget());
}

QString TGGraphicControl::MergedText(const QString &text) const
{
    const TGBasePanel *panel = Panel();
    return panel ? ExpandFields(text, panel->MergeRecord()) : text;
}

void TGGraphicControl::MergeRecordChanged()
{
    update();
}

void TGGraphicControl::SetParentComponent(QObject *parent)
{
    setParent(qobject_cast<QWidget *>(parent));
    if (parentWidget())
        show();
}

void TGGraphicControl::NotifyChanged()
{
    TGBasePanel *panel = Panel();
    if (panel && !panel->Printing())
        panel->NotifyLabelChanged();
}

void TGGraphicControl::DrawSelectionMarks(QPainter &painter) const
{
    TGBasePanel *panel = Panel();
    if (!panel || !panel->Selection())
        return;
    const TGHandle *selection = panel->Selection();
    if (selection->IndexOfSelected(const_cast<TGGraphicControl *>(this)) < 0)
        return;
    const bool single = selection->SelectedCount() == 1;
    const QColor color = CanvasColor(single ? selection->Color() : selection->SecondaryColor());
    const int l = Left() - 2, t = Top() - 2, r = Left() + Width() + 2, b = Top() + Height() + 2;
    auto square = [&](int x1, int y1, int x2, int y2) {
        painter.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), color);
    };
    square(l, t, l + 5, t + 5);
    square(r - 5, t, r, t + 5);
    square(r - 5, b - 5, r, b);
    square(l, b - 5, l + 5, b);
    if (!single)
        return;
    const int mx = l + int((r - l) * 0.5), my = t + int((b - t) * 0.5);
    square(mx - 2, t, mx + 3, t + 5);
    square(mx - 2, b - 5, mx + 3, b);
    square(l, my - 2, l + 5, my + 3);
    square(r - 5, my - 2, r, my + 3);
}

void TGGraphicControl::DrawSelectionMarks()
{
    if (!mDrawCanvas || !mPaintingOwn)
        return;
    mDrawCanvas->save();
    mDrawCanvas->translate(-Left(), -Top());
    DrawSelectionMarks(*mDrawCanvas);
    mDrawCanvas->restore();
}

void TGGraphicControl::CenterVertically()
{
    TGBasePanel *panel = Panel();
    if (!panel)
        return;
    SetTop(panel->height() / 2 - Height() / 2);
    NotifyChanged();
    QCoreApplication::processEvents();
    panel->update();
}

void TGGraphicControl::CenterHorizontally()
{
    TGBasePanel *panel = Panel();
    if (!panel)
        return;
    SetLeft(panel->width() / 2 - Width() / 2);
    NotifyChanged();
    QCoreApplication::processEvents();
    panel->update();
}

QString TGGraphicControl::TrimLeadingSpaces(const QString &s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == QLatin1Char(' '))
        ++i;
    return s.mid(i);
}

QString TGGraphicControl::TrimTrailingSpaces(const QString &s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' '))
        --n;
    return s.left(n);
}

QString TGGraphicControl::TrimSpaces(const QString &s)
{
    return TrimTrailingSpaces(TrimLeadingSpaces(s));
}

namespace {

// Items of a submenu take the submenu's caption ("Alignment", "Rotation").
void nameCommands(QMenu *menu, TGGraphicControl *object, const QString &submenu)
{
    for (QAction *a : menu->actions()) {
        if (a->menu()) {
            nameCommands(a->menu(), object, submenu.isEmpty() ? a->text() : submenu);
        } else if (!a->isSeparator()) {
            QObject::connect(a, &QAction::triggered, object, [object, a, submenu] {
                if (TGBasePanel *panel = object->Panel())
                    panel->NameCommand(submenu.isEmpty() ? a->text() : submenu);
            });
        }
    }
}

}  // namespace

QMenu *TGGraphicControl::ObjectMenu() const
{
    if (!mObjectMenu) {
        auto *self = const_cast<TGGraphicControl *>(this);
        mObjectMenu = new QMenu(self);
        self->BuildObjectMenu(mObjectMenu);
        // Every item, the subclasses' too, names the change it makes.
        nameCommands(mObjectMenu, self, QString());
    }
    return mObjectMenu;
}

void TGGraphicControl::FinishLoading()
{
    if (!mObjectMenu)
        return;
    delete mObjectMenu;
    mObjectMenu = nullptr;
    ObjectMenu();
}

void TGGraphicControl::BuildObjectMenu(QMenu *m)
{
    connect(m, &QMenu::aboutToShow, this, [this] { PrepareObjectMenu(); });
    connect(m->addAction(QStringLiteral("Bring To Front")), &QAction::triggered, this,
            [this] { bringToFrontClick(); });
    connect(m->addAction(QStringLiteral("Send To Back")), &QAction::triggered, this,
            [this] { sendToBackClick(); });
    // The keys are shown here and carried out by the panel's key handler.
    QAction *cut = m->addAction(QStringLiteral("Cut"));
    cut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    connect(cut, &QAction::triggered, this, [this] { cutClick(); });
    QAction *copy = m->addAction(QStringLiteral("Copy"));
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    connect(copy, &QAction::triggered, this, [this] { copyClick(); });
    connect(m->addAction(QStringLiteral("Delete")), &QAction::triggered, this,
            [this] { deleteClick(); });
    connect(m->addAction(QStringLiteral("Clone")), &QAction::triggered, this, [this] { Clone(); });
    m->addSeparator();
    mLockedMenuItem = m->addAction(QStringLiteral("Locked"));
    mLockedMenuItem->setCheckable(true);
    mLockedMenuItem->setChecked(mLocked);
    connect(mLockedMenuItem, &QAction::triggered, this, [this] { lockedClick(); });
    connect(m->addAction(QStringLiteral("Unselectable")), &QAction::triggered, this,
            [this] { unselectableClick(); });
    m->addSeparator();
    connect(m->addAction(QStringLiteral("Center Vertically")), &QAction::triggered, this,
            [this] { CenterVertically(); });
    connect(m->addAction(QStringLiteral("Center Horizontally")), &QAction::triggered, this,
            [this] { CenterHorizontally(); });
}

void TGGraphicControl::bringToFrontClick()
{
    NotifyChanged();
    raise();
    if (TGBasePanel *panel = Panel())
        panel->KeepFrameOnTop();
}

void TGGraphicControl::sendToBackClick()
{
    NotifyChanged();
    lower();
    if (TGBasePanel *panel = Panel())
        panel->Selection()->ClearSelection();
}

void TGGraphicControl::deleteClick()
{
    NotifyChanged();
    // The menu that runs this belongs to the object: delete after it closed.
    QMetaObject::invokeMethod(this, [this] {
        if (TGBasePanel *panel = Panel())
            panel->DeleteObject(this);
        else
            delete this;
    }, Qt::QueuedConnection);
}

void TGGraphicControl::cutClick()
{
    NotifyChanged();
    // As with Delete, the object (and the menu running this) may go.
    QMetaObject::invokeMethod(this, [this] {
        if (TGBasePanel *panel = Panel())
            panel->CutObject(this);
    }, Qt::QueuedConnection);
}

void TGGraphicControl::copyClick()
{
    if (TGBasePanel *panel = Panel())
        panel->CopyObject(this);
}

TGGraphicControl *TGGraphicControl::Clone()
{
    TGBasePanel *panel = Panel();
    if (!panel)
        return nullptr;
    try {
        TGLabelObjectFiler filer;
        filer.CloneObject(this, Owner(), panel);
    } catch (const std::exception &e) {
        InformationBox(QString::fromStdString(e.what()), panel);
        return nullptr;
    }
    QCoreApplication::processEvents();

    TGGraphicControl *clone = nullptr;
    const QList<TGGraphicControl *> objects = panel->Objects();
    for (auto it = objects.rbegin(); it != objects.rend() && !clone; ++it)
        if ((*it)->ClassName() == ClassName())
            clone = *it;
    if (!clone || clone == this)
        return nullptr;
    clone->SetTop(Top() + 25);
    clone->raise();
    TGHandle *selection = panel->Selection();
    if (selection->IndexOfSelected(this) >= 0) {
        selection->RemoveFromSelection(this);
        selection->AddToSelection(clone);
    }
    panel->AttachObjects();
    panel->AfterClone();
    NotifyChanged();
    return clone;
}

void TGGraphicControl::lockedClick()
{
    SetLocked(!mLocked);
    if (mLockedMenuItem)
        mLockedMenuItem->setChecked(mLocked);
}

void TGGraphicControl::unselectableClick()
{
    SetUnselectable(true);
}

void TGGraphicControl::Paint()
{
    DrawSelectionMarks();
}

void TGGraphicControl::CheckBoundsChanged()
{
    if (mInBoundsCheck)
        return;
    mInBoundsCheck = true;
    const QRect bounds = geometry();
    if (mLastBounds == QRect(0, 0, 0, 0))
        mLastBounds = bounds;
    if (bounds != mLastBounds) {
        NotifyChanged();
        mLastBounds = bounds;
        if (TGBasePanel *panel = Panel())
            panel->PostRefreshSelectionFrame();
    }
    mInBoundsCheck = false;
}

void TGGraphicControl::PrepareObjectMenu() {}
void TGGraphicControl::ApplyFont(const TFont &) {}
void TGGraphicControl::AdvanceLabel() {}
void TGGraphicControl::RestartSequence() {}
QString TGGraphicControl::PrintProblem() const { return QString(); }
void TGGraphicControl::PrintOnReport(TReport &, double, double) {}

void TGGraphicControl::SettleLayout() {}

bool TGGraphicControl::EditNew()
{
    return true;
}

int TGGraphicControl::ScreenPixelsPerInch()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return qRound(screen->logicalDotsPerInchY());
    return 96;
}

void TGGraphicControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    mDrawCanvas = &painter;
    mPaintingOwn = true;
    Paint();
    mPaintingOwn = false;
    mDrawCanvas = nullptr;
}

void TGGraphicControl::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
}

void TGGraphicControl::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(this, Qt::NoButton, event->modifiers(), p.x(), p.y());
}

void TGGraphicControl::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), p.x(), p.y());
}

void TGGraphicControl::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (OnDblClick)
        OnDblClick(this, event->position().toPoint() + pos());
}
