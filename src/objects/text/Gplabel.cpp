#include "Gplabel.h"

#include "Ggettext.h"
#include "controls/DialogSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>

TGPLabel::TGPLabel(TComponent *owner)
    : TGBaseLabel(owner)
{
}

void TGPLabel::BuildObjectMenu(QMenu *menu)
{
    TGBaseLabel::BuildObjectMenu(menu);
    {
        menu->addSeparator();
        mTextItem = menu->addAction(QStringLiteral("Text"), this, &TGPLabel::EditText);
        mTextItem->setData(1000);
        AddRotationMenu(menu);
    }
}

void TGPLabel::PrepareObjectMenu()
{
    TGBaseLabel::PrepareObjectMenu();
}

void TGPLabel::ChooseFont()
{
    TGBaseLabel::ChooseFont();
    FitToText();
}

void TGPLabel::EditText()
{
    TGetLabelText dialog(window());
    dialog.LabelText->setText(Caption());
    if (ExecDialog(dialog) != QDialog::Accepted)
        return;
    SetCaption(dialog.LabelText->text());
    FitToText();
    update();
}

void TGPLabel::FirstEdit()
{
    EditText();
}

bool TGPLabel::EditNew()
{
    FirstEdit();
    return true;
}
