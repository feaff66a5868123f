#include "Gpslabel.h"

#include "Ggetsym.h"
#include "SymbolFonts.h"
#include "TextFont.h"
#include "controls/DialogSupport.h"
#include "design/Gbasepnl.h"

#include <QListWidget>
#include <QMenu>

#include <algorithm>

TGSymbolLabel::TGSymbolLabel(TComponent *owner)
    : TGBaseLabel(owner)
{
    Font()->SetName(QStringLiteral("WingDings"));
    Font()->SetSize(24);
    SetCaption(QStringLiteral("["));
}

void TGSymbolLabel::BuildObjectMenu(QMenu *menu)
{
    TGBaseLabel::BuildObjectMenu(menu);
    {
        const QList<QAction *> items = menu->actions();
        for (QAction *a : items) {
            const QString caption = a->text();
            if (a->data().toInt() == 1000 || caption == QLatin1String("Font") || caption == QLatin1String("Alignment")
                || caption == QLatin1String("Angle")) {
                menu->removeAction(a);
                if (a == mFontItem)
                    mFontItem = nullptr;
                if (a == mAlignmentItem) {
                    mAlignmentItem = nullptr;
                    mLeftItem = mCenterItem = mRightItem = nullptr;
                }
                if (QMenu *sub = a->menu())
                    sub->deleteLater();
                else
                    a->deleteLater();
            }
        }
        menu->addSeparator();
        menu->addAction(QStringLiteral("Symbol Selector"), this, &TGSymbolLabel::EditSymbol);
    }
}

void TGSymbolLabel::FinishLoading()
{
    TGBaseLabel::FinishLoading();
    try {
        RecalculateLayout();
        CheckBoundsChanged();
    } catch (...) {
    }
}

void TGSymbolLabel::CheckBoundsChanged()
{
    if (Font()->Size() < 10 || IsLoading() || !Panel())
        return;
    TGBaseLabel::CheckBoundsChanged();
    const QFont font = CanvasFont();
    const QString text = DisplayCaption();
    const int w = int(1.1L * TextWidth(font, text))
        + std::max({TextOrigin().x(), ShadowOrigin().x(), HighlightOrigin().x()});
    const int h = int(1.1L * TextMetrics(font).cellHeight)
        + std::max({TextOrigin().y(), ShadowOrigin().y(), HighlightOrigin().y()});
    if (w != Width())
        SetWidth(w);
    if (h != Height())
        SetHeight(h);
    if (TGBasePanel *panel = Panel())
        panel->PostRefreshSelectionFrame();
}

void TGSymbolLabel::ApplyFont(const TFont &)
{
}

void TGSymbolLabel::EditSymbol()
{
    TGetSymbol dialog(window());
    dialog.SelectedFont().Assign(*Font());
    dialog.GridFont().SetName(Font()->Name());
    dialog.GridFont().SetStyle(Font()->Style());
    dialog.GridFontChanged();
    const int index = Caption().isEmpty() ? -1 : symbolfonts::CodeOf(Caption().at(0)) - 32;
    if (index >= 0 && index < dialog.SymbolList->count())
        dialog.SymbolList->setCurrentRow(index);
    if (ExecDialog(dialog) != QDialog::Accepted)
        return;
    Font()->Assign(dialog.SelectedFont());
    const int chosen = dialog.SymbolList->currentRow();
    // Without a selected cell the caption stays the one character it was.
    if (chosen >= 0 && dialog.SymbolList->currentItem() && dialog.SymbolList->currentItem()->isSelected())
        SetCaption(QString(symbolfonts::CharOf(chosen + 32)));
    CheckBoundsChanged();
    update();
}

bool TGSymbolLabel::EditNew()
{
    EditSymbol();
    return true;
}
