#include "SpinEdit.h"

#include <QLineEdit>

#include <limits>

TSpinEdit::TSpinEdit(QWidget *parent)
    : QAbstractSpinBox(parent)
{
    setButtonSymbols(UpDownArrows);
    setAccelerated(false);
    lineEdit()->setText(QStringLiteral("0"));
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { Q_EMIT valueChanged(value()); });
}

void TSpinEdit::setRange(int minimum, int maximum)
{
    mMinValue = minimum;
    mMaxValue = maximum;
}

bool TSpinEdit::readText(qint64 *value) const
{
    bool ok = false;
    const qint64 v = text().trimmed().toLongLong(&ok);
    if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    *value = v;
    return true;
}

int TSpinEdit::checkValue(qint64 value) const
{
    if (isBounded()) {
        if (value < mMinValue)
            return mMinValue;
        if (value > mMaxValue)
            return mMaxValue;
    }
    // Unbounded steps stop at the ends of the integer range instead of wrapping.
    return int(qBound(qint64(std::numeric_limits<int>::min()), value, qint64(std::numeric_limits<int>::max())));
}

int TSpinEdit::value() const
{
    qint64 v = 0;
    if (!readText(&v))
        return mMinValue;
    return checkValue(v);
}

void TSpinEdit::setValue(int value)
{
    const QString t = QString::number(checkValue(value));
    if (t != text()) {
        lineEdit()->setText(t);
        Q_EMIT valueChanged(this->value());
    }
}

void TSpinEdit::setMaxLength(int length)
{
    lineEdit()->setMaxLength(length);
}

void TSpinEdit::stepBy(int steps)
{
    setValue(checkValue(qint64(value()) + steps));
    selectAll();
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    return StepUpEnabled | StepDownEnabled;
}

QValidator::State TSpinEdit::validate(QString &, int &) const
{
    return QValidator::Acceptable;
}

void TSpinEdit::fixup(QString &) const {}

void TSpinEdit::focusOutEvent(QFocusEvent *event)
{
    QAbstractSpinBox::focusOutEvent(event);
    qint64 v = 0;
    if (readText(&v) && checkValue(v) != v)
        setValue(int(v));
}
