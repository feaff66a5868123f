#pragma once
// The editor of user-defined layouts: sheet geometry typed by hand.

#include "storage/LabelLayout.h"

#include <QDialog>
#include <QLineEdit>

#include <functional>
#include <stdexcept>

class QComboBox;
class QRadioButton;
class QSpinBox;

// EValid: a value the user typed fails a check; carries the message shown.
class EValid : public std::runtime_error
{
public:
    explicit EValid(const QString &message)
        : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// NumberEdit: a one-line edit for a decimal number with a fixed number of
// decimals; tells when the user leaves it.
class NumberEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit NumberEdit(QWidget *parent = nullptr);

    // At most `digits` digits in all, `decimals` of them after the point;
    // values are shown with at least `minDecimals` decimals.
    void setFormat(int digits, int decimals, int minDecimals);
    // The text as a number; 0 when it holds none.
    double value() const;
    void setValue(double value);

Q_SIGNALS:
    void left();

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    int mDigits = 6;
    int mDecimals = 3;
    int mMinDecimals = 1;
};

// TUserEditLabelLayout: the "User Defined Label Layout" dialog. Values held
// and returned are in inches, whatever units are shown.
class TUserEditLabelLayout : public QDialog
{
    Q_OBJECT
public:
    static constexpr int HelpTopic = 1050;

    explicit TUserEditLabelLayout(QWidget *parent = nullptr);

    // The edited values, single precision as the main window keeps them.
    float LabelHeight = 0;
    float LabelWidth = 0;
    qint32 Across = 1;
    qint32 Down = 1;
    float TopMargin = 0;
    float LeftMargin = 0;
    float HorizontalPitch = 0;
    float VerticalPitch = 0;
    float PageWidth = 0;
    float PageHeight = 0;
    QString PaperSize;
    QString LabelShape;

    // Takes the values above from a layout.
    void SetFromLayout(const TLabelLayout &layout);
    // The edited values as a layout named "USER DEFINED", without printer
    // type, product type, art and gaps.
    TLabelLayout UserDefinedLayout() const;

    // Whether millimetres are shown; set before showing, read after closing
    // (whether Ok or Cancel) to remember the choice.
    bool UseMM() const;
    void SetUseMM(bool useMM);

    // Throws EValid with the first failed check of the values above.
    void ValidLabel() const;

    // Shows a validation message; an information box unless replaced.
    std::function<void(const QString &message)> ShowMessage;

Q_SIGNALS:
    void helpRequested(int topic);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FillEdits();
    void ShowUnits(bool millimetres);
    void PaperSizeChange(int item);
    void LabelWidthExit();
    void LabelHeightExit();
    void OkButtonClick();
    QList<NumberEdit *> measurementEdits() const;

    bool mActivated = false;
    bool mShowingMM = false;
    QRadioButton *mInches;
    QRadioButton *mMM;
    NumberEdit *mLabelWidth;
    NumberEdit *mLabelHeight;
    NumberEdit *mHorizPitch;
    NumberEdit *mVertPitch;
    QSpinBox *mAcross;
    QSpinBox *mDown;
    NumberEdit *mLeftMargin;
    NumberEdit *mTopMargin;
    QComboBox *mPaperSize;
    NumberEdit *mSheetWidth;
    NumberEdit *mSheetDepth;
    QComboBox *mLabelShape;
};
