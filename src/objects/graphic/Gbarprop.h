#pragma once
// TBarcodeProperties: the "Barcode Properties" dialog: the symbology list in
// groups, the data or the counter link, text, colours, size, rotation and
// the symbology's own options, with a live preview and Zint's message.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TColorComboBox;
class TDialogButtonStrip;
class TGBarcode;

class TBarcodeProperties : public QDialog
{
    Q_OBJECT
public:
    static constexpr int HelpTopic = 40020;

    explicit TBarcodeProperties(QWidget *parent = nullptr);
    ~TBarcodeProperties() override;

    // The copy the dialog edits; the object takes it over on Ok.
    TGBarcode *Sample() const { return mSample; }
    // Sets every field from the sample.
    void ShowSampleValues();
    // Zint's message for the sample as it stands, empty when it is valid.
    QString Message() const;

    QComboBox *SymbologyBox = nullptr;
    QLineEdit *DataEdit = nullptr;
    QCheckBox *UseCounterBox = nullptr;
    QCheckBox *ShowTextBox = nullptr;
    QPushButton *FontButton = nullptr;
    TColorComboBox *ForeColorBox = nullptr;
    TColorComboBox *BackColorBox = nullptr;
    QCheckBox *TransparentBox = nullptr;
    QCheckBox *FitBox = nullptr;
    QDoubleSpinBox *ModuleEdit = nullptr;
    QComboBox *AngleBox = nullptr;
    QCheckBox *QuietZonesBox = nullptr;
    QCheckBox *CheckDigitBox = nullptr;
    QSpinBox *ErrorCorrectionEdit = nullptr;
    QSpinBox *SizeEdit = nullptr;
    QCheckBox *GS1Box = nullptr;
    QWidget *Preview = nullptr;
    QLabel *MessageLabel = nullptr;
    TDialogButtonStrip *Buttons = nullptr;

private:
    void takeFields();
    void showOptions();
    void refresh();

    TGBarcode *mSample = nullptr;
    bool mLoading = false;
};
