#pragma once
// TGetCounter: the "Counter" dialog that edits a counter label's settings.

#include <QDialog>

class QLineEdit;
class TDialogButtonStrip;
class TSpinEdit;

class TGetCounter : public QDialog
{
    Q_OBJECT
public:
    explicit TGetCounter(QWidget *parent = nullptr);

    QLineEdit *TextBefore = nullptr;
    TSpinEdit *StartingNumber = nullptr;
    TSpinEdit *RepeatFor = nullptr;
    QLineEdit *TextAfter = nullptr;
    TSpinEdit *LeadingZeros = nullptr;
    TDialogButtonStrip *Buttons = nullptr;
};
