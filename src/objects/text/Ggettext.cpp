#include "Ggettext.h"

#include "controls/DialogSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TGetLabelText::TGetLabelText(QWidget *parent)
    : QDialog(parent)
{
    SetupFixedDialog(this, QStringLiteral("Text"), 356, 133);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);

    Label1 = new QLabel(QStringLiteral("Enter Text"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 16, 321, 16);
    LabelText = new QLineEdit(this);
    LabelText->setObjectName(QStringLiteral("LabelText"));
    LabelText->setGeometry(16, 40, 321, 24);
    Label1->setBuddy(LabelText);

    Buttons = new TDialogButtonStrip(this, 40004);
    Buttons->setGeometry(0, 133 - 40, 356, 40);
    setTabOrder(LabelText, Buttons->okButton());
    setTabOrder(Buttons->okButton(), Buttons->cancelButton());
    setTabOrder(Buttons->cancelButton(), Buttons->helpButton());
    LabelText->setFocus();
    PlaceDialog(this);
}
