#include "Gpmlabel.h"

#include "Gmlted.h"
#include "TextFont.h"
#include "controls/DialogSupport.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>

TGMultiLineLabel::TGMultiLineLabel(TComponent *owner)
    : TGMultiLineBaseLabel(owner)
{
}

void TGMultiLineLabel::BuildObjectMenu(QMenu *menu)
{
    TGMultiLineBaseLabel::BuildObjectMenu(menu);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Text"), this, &TGMultiLineLabel::EditLines);
    mWordWrapItem = menu->addAction(QStringLiteral("Word Wrap"), this, [this] {
        SetWordWrap(!WordWrap());
        mWordWrapItem->setChecked(WordWrap());
    });
    mWordWrapItem->setCheckable(true);
    mWordWrapItem->setChecked(WordWrap());
}

void TGMultiLineLabel::EditLines()
{
    TMultiLineTextEditor dialog(window());
    dialog.Memo->setFont(BoundedQFont(*Font()));
    dialog.SetLines(Items()->Lines());
    if (ExecDialog(dialog) != QDialog::Accepted)
        return;
    SetItems(dialog.Lines());
    WrapLines();
    NotifyChanged();
}

bool TGMultiLineLabel::EditNew()
{
    EditLines();
    FitToLines();
    return true;
}
