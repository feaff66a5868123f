#include "Ggetctr.h"

#include "controls/DialogSupport.h"
#include "controls/SpinEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TGetCounter::TGetCounter(QWidget *parent)
    : QDialog(parent)
{
    SetupFixedDialog(this, QStringLiteral("Counter"), 295, 247);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);

    auto *beforeLabel = new QLabel(QStringLiteral("Text  before"), this);
    beforeLabel->setGeometry(16, 10, 264, 14);
    TextBefore = new QLineEdit(this);
    TextBefore->setObjectName(QStringLiteral("TextBefore"));
    TextBefore->setGeometry(16, 26, 264, 22);
    beforeLabel->setBuddy(TextBefore);

    auto *startLabel = new QLabel(QStringLiteral("Starting Number"), this);
    startLabel->setGeometry(16, 56, 120, 14);
    StartingNumber = new TSpinEdit(this);
    StartingNumber->setObjectName(QStringLiteral("StartingNumber"));
    StartingNumber->setGeometry(16, 72, 92, 22);
    StartingNumber->setRange(0, 0);
    StartingNumber->setValue(1);
    startLabel->setBuddy(StartingNumber);

    auto *repeatLabel = new QLabel(QStringLiteral("Repeat number for #of  labels?"), this);
    repeatLabel->setGeometry(150, 48, 130, 28);
    repeatLabel->setWordWrap(true);
    RepeatFor = new TSpinEdit(this);
    RepeatFor->setObjectName(QStringLiteral("RepeatFor"));
    RepeatFor->setGeometry(150, 78, 62, 22);
    RepeatFor->setRange(1, 999);
    RepeatFor->setValue(1);
    repeatLabel->setBuddy(RepeatFor);

    auto *afterLabel = new QLabel(QStringLiteral("Text after"), this);
    afterLabel->setGeometry(16, 106, 260, 14);
    TextAfter = new QLineEdit(this);
    TextAfter->setObjectName(QStringLiteral("TextAfter"));
    TextAfter->setGeometry(16, 122, 260, 22);
    afterLabel->setBuddy(TextAfter);

    auto *zerosLabel = new QLabel(QStringLiteral("Leading zeros to "), this);
    zerosLabel->setGeometry(16, 162, 90, 14);
    LeadingZeros = new TSpinEdit(this);
    LeadingZeros->setObjectName(QStringLiteral("LeadingZeros"));
    LeadingZeros->setGeometry(108, 158, 52, 22);
    LeadingZeros->setRange(0, 9);
    LeadingZeros->setMaxLength(1);
    LeadingZeros->setValue(0);
    zerosLabel->setBuddy(LeadingZeros);
    auto *digitsLabel = new QLabel(QStringLiteral("digits"), this);
    digitsLabel->setGeometry(166, 162, 60, 14);

    Buttons = new TDialogButtonStrip(this, 40006);
    Buttons->setGeometry(0, 247 - 40, 295, 40);

    setTabOrder(TextBefore, StartingNumber);
    setTabOrder(StartingNumber, RepeatFor);
    setTabOrder(RepeatFor, TextAfter);
    setTabOrder(TextAfter, Buttons->okButton());
    setTabOrder(Buttons->okButton(), Buttons->helpButton());
    setTabOrder(Buttons->helpButton(), Buttons->cancelButton());
    setTabOrder(Buttons->cancelButton(), LeadingZeros);
    TextBefore->setFocus();
    PlaceDialog(this);
}
