// The commands of the design panel's context menu and keyboard.

#include "design/Gbasepnl.h"

#include "design/GGraphc.h"
#include "design/GHandle.h"

#include <QFile>
#include <QFontDialog>
#include <QMenu>

void TGBasePanel::buildPanelMenu()
{
    mPanelMenu = new QMenu(this);
    QMenu *m = mPanelMenu;
    auto item = [m, this](const char *caption, void (TGBasePanel::*command)()) {
        QAction *a = m->addAction(QString::fromLatin1(caption));
        if (command)
            connect(a, &QAction::triggered, this, [this, command] { (this->*command)(); });
        return a;
    };
    mItems.bringToFront = item("Bring To Front", &TGBasePanel::BringSelectionToFront);
    mItems.sendToBack = item("Send To Back", &TGBasePanel::SendSelectionToBack);
    m->addSeparator();
    mItems.cut = item("Cut", nullptr);
    connect(mItems.cut, &QAction::triggered, this, [this] { CutSelection(); });
    mItems.copy = item("Copy", nullptr);
    connect(mItems.copy, &QAction::triggered, this, [this] { CopySelection(); });
    mItems.paste = item("Paste", &TGBasePanel::Paste);
    // Shown in the menu; the panel's key handler carries out the keys.
    mItems.cut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    mItems.copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    mItems.paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    m->addSeparator();
    mItems.del = item("Delete", &TGBasePanel::DeleteSelection);
    m->addSeparator();
    mItems.alignLeft = item("Align Left", &TGBasePanel::AlignLefts);
    mItems.alignRight = item("Align Right", &TGBasePanel::AlignRights);
    mItems.alignTops = item("Align Tops", &TGBasePanel::AlignTops);
    mItems.alignBottoms = item("Align Bottoms", &TGBasePanel::AlignBottoms);
    m->addSeparator();
    mItems.centerV = item("Center Vertically", &TGBasePanel::CenterSelectionVertically);
    mItems.centerH = item("Center Horizontally", &TGBasePanel::CenterSelectionHorizontally);
    m->addSeparator();
    mItems.lockAll = item("Lock All", &TGBasePanel::LockAll);
    mItems.unlockAll = item("Unlock All", &TGBasePanel::UnlockAll);
    m->addSeparator();
    item("Mark All Selectable", &TGBasePanel::MarkAllSelectable);
    item("Mark All Unselectable", &TGBasePanel::MarkAllUnselectable);
    item("Select All", &TGBasePanel::SelectAll);
    m->addSeparator();
    mItems.font = item("Font", &TGBasePanel::ChooseFont);
    connect(m, &QMenu::aboutToShow, this, [this] { updatePanelMenu(); });
    // After its command ran, each item names the change it made.
    for (QAction *a : m->actions())
        if (!a->isSeparator())
            connect(a, &QAction::triggered, this, [this, a] { NameCommand(a->text()); });
}

void TGBasePanel::updatePanelMenu()
{
    const bool selected = mSelection->SelectedCount() > 0;
    const bool anyObject = !Objects().isEmpty();
    for (QAction *a : {mItems.bringToFront, mItems.sendToBack, mItems.cut, mItems.copy, mItems.del,
                       mItems.alignLeft, mItems.alignRight, mItems.alignTops, mItems.alignBottoms,
                       mItems.centerV, mItems.centerH, mItems.font})
        a->setEnabled(selected);
    mItems.paste->setEnabled(QFile::exists(mClipboardFileName));
    mItems.lockAll->setEnabled(anyObject);
    mItems.unlockAll->setEnabled(anyObject);
}

void TGBasePanel::BringSelectionToFront()
{
    mSelection->BringSelectionToFront();
    NotifyLabelChanged();
}

void TGBasePanel::SendSelectionToBack()
{
    mSelection->SendSelectionToBack();
    mSelection->ClearSelection();
    NotifyLabelChanged();
}

void TGBasePanel::DeleteSelection()
{
    NameCommand(QStringLiteral("Delete"));
    const QList<TGGraphicControl *> selected = mSelection->SelectedObjects();
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        mSelection->RemoveFromSelection(*it);
        try {
            delete *it;
        } catch (...) {
        }
        NotifyLabelChanged();
    }
}

void TGBasePanel::DeleteObject(TGGraphicControl *object)
{
    if (mSelection->IndexOfSelected(object) >= 0) {
        DeleteSelection();
        return;
    }
    NameCommand(QStringLiteral("Delete"));
    try {
        delete object;
    } catch (...) {
    }
    NotifyLabelChanged();
}

// Lines up one edge of every selected object (locked ones too) with the
// outermost such edge among them. The search for the near edges starts from
// the panel's size, for the far edges from 0.
void TGBasePanel::alignSelection(Qt::Orientation orientation, bool farEdge)
{
    const QList<TGGraphicControl *> &sel = mSelection->SelectedObjects();
    if (sel.isEmpty())
        return;
    NotifyLabelChanged();
    const bool across = orientation == Qt::Horizontal;
    auto pos = [across](const TGGraphicControl *o) { return across ? o->Left() : o->Top(); };
    auto size = [across](const TGGraphicControl *o) { return across ? o->Width() : o->Height(); };
    int edge = farEdge ? 0 : (across ? width() : height());
    for (const TGGraphicControl *o : sel)
        edge = farEdge ? qMax(edge, pos(o) + size(o)) : qMin(edge, pos(o));
    for (TGGraphicControl *o : sel) {
        const int v = farEdge ? edge - size(o) : edge;
        across ? o->SetLeft(v) : o->SetTop(v);
    }
    update();
}

void TGBasePanel::AlignLefts()
{
    alignSelection(Qt::Horizontal, false);
}

void TGBasePanel::AlignRights()
{
    alignSelection(Qt::Horizontal, true);
}

void TGBasePanel::AlignTops()
{
    alignSelection(Qt::Vertical, false);
}

void TGBasePanel::AlignBottoms()
{
    alignSelection(Qt::Vertical, true);
}

void TGBasePanel::CenterSelectionVertically()
{
    const QList<TGGraphicControl *> sel = mSelection->SelectedObjects();
    for (TGGraphicControl *o : sel)
        o->CenterVertically();
}

void TGBasePanel::CenterSelectionHorizontally()
{
    const QList<TGGraphicControl *> sel = mSelection->SelectedObjects();
    for (TGGraphicControl *o : sel)
        o->CenterHorizontally();
}

void TGBasePanel::LockAll()
{
    for (TGGraphicControl *o : Objects())
        if (!o->Locked())
            o->SetLocked(true);
}

void TGBasePanel::UnlockAll()
{
    for (TGGraphicControl *o : Objects())
        if (o->Locked())
            o->SetLocked(false);
}

void TGBasePanel::MarkAllSelectable()
{
    for (TGGraphicControl *o : Objects())
        o->SetUnselectable(false);
}

void TGBasePanel::MarkAllUnselectable()
{
    for (TGGraphicControl *o : Objects())
        o->SetUnselectable(true);
}

void TGBasePanel::SelectAll()
{
    mSelection->ClearSelection();
    for (TGGraphicControl *o : Objects())
        mSelection->AddToSelection(o);
}

void TGBasePanel::ChooseFont()
{
    if (mSelection->SelectedCount() == 0)
        return;
    QFont initial(mFont->Name());
    initial.setPointSize(qMax(1, mFont->Size()));
    const TFontStyles style = mFont->Style();
    initial.setBold(style & (1u << fsBold));
    initial.setItalic(style & (1u << fsItalic));
    initial.setUnderline(style & (1u << fsUnderline));
    initial.setStrikeOut(style & (1u << fsStrikeOut));
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, this);
    if (!ok)
        return;
    TFont font;
    font.Assign(*mFont);
    font.SetName(chosen.family());
    font.SetSize(chosen.pointSize() > 0 ? chosen.pointSize() : mFont->Size());
    TFontStyles s = 0;
    if (chosen.bold()) s |= 1u << fsBold;
    if (chosen.italic()) s |= 1u << fsItalic;
    if (chosen.underline()) s |= 1u << fsUnderline;
    if (chosen.strikeOut()) s |= 1u << fsStrikeOut;
    font.SetStyle(s);
    ApplyFontToSelection(font);
}

void TGBasePanel::ApplyFontToSelection(const TFont &font)
{
    const QList<TGGraphicControl *> sel = mSelection->SelectedObjects();
    for (TGGraphicControl *o : sel)
        o->ApplyFont(font);
    update();
}
