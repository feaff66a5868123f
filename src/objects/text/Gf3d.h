#pragma once
// TGFont3DEffects: the "Text 3D Effects" dialog that edits the shadow,
// highlight and font colour of a single-line text object on a live sample.

#include <QDialog>

class QComboBox;
class QFrame;
class TColorComboBox;
class TDialogButtonStrip;
class TGBaseLabel;
class TGPLabel;

class TGFont3DEffects : public QDialog
{
    Q_OBJECT
public:
    TGFont3DEffects(TGBaseLabel *object, QWidget *parent = nullptr);

    QComboBox *ShadowDirection = nullptr;
    TColorComboBox *ShadowColorCombo = nullptr;
    QComboBox *ShadowDepth = nullptr;
    QComboBox *HighlightDirection = nullptr;
    TColorComboBox *HighLightColorCombo = nullptr;
    QComboBox *HighLightDepth = nullptr;
    TColorComboBox *FontColorCombo = nullptr;
    QFrame *Panel4 = nullptr;
    TGPLabel *Sample = nullptr;
    TDialogButtonStrip *Buttons = nullptr;

    TGBaseLabel *Object() const { return mObject; }

private:
    void FormActivate();
    void OkButtonClick();

    TGBaseLabel *mObject;
};
