#pragma once
// TSpinEdit: an integer edit box with up/down buttons whose bounds are
// loose: a minimum equal to the maximum means "no bounds", any text may be
// typed, and the value is only pulled into range when read, stepped, or
// when the box loses the focus.

#include <QAbstractSpinBox>

class TSpinEdit : public QAbstractSpinBox
{
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget *parent = nullptr);

    int minValue() const { return mMinValue; }
    void setMinValue(int value) { mMinValue = value; }
    int maxValue() const { return mMaxValue; }
    void setMaxValue(int value) { mMaxValue = value; }
    void setRange(int minimum, int maximum);
    bool isBounded() const { return mMinValue != mMaxValue; }

    // The integer in the box, or the minimum when the text is not an
    // integer; clamped to the bounds (if any), so a value typed out of range
    // and confirmed with Enter cannot escape them.
    int value() const;
    void setValue(int value);  // clamped
    void setMaxLength(int length);

    // Steps by whole units from the current value; the result is clamped.
    void stepBy(int steps) override;

    int checkValue(qint64 value) const;

Q_SIGNALS:
    void valueChanged(int value);

protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool readText(qint64 *value) const;

    int mMinValue = 0;
    int mMaxValue = 0;
};
