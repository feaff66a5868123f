#pragma once
// TGetLabelText: the "Text" dialog in which a text label's caption is typed.

#include <QDialog>

class QLabel;
class QLineEdit;
class TDialogButtonStrip;

class TGetLabelText : public QDialog
{
    Q_OBJECT
public:
    explicit TGetLabelText(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLineEdit *LabelText = nullptr;
    TDialogButtonStrip *Buttons = nullptr;
};
