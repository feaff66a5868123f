#include "Gpclabel.h"

#include "Ggetctr.h"
#include "controls/DialogSupport.h"
#include "controls/SpinEdit.h"

#include <QLineEdit>
#include <QMenu>

#include <algorithm>

TGCounterLabel::TGCounterLabel(TComponent *owner)
    : TGBaseLabel(owner)
{
}

const TPropertyTable &TGCounterLabel::Properties() const
{
    using C = TGCounterLabel;
    static const TPropertyTable table(&TGBaseLabel::LabelProperties(), {
        props::string("TextBefore", &C::TextBefore, &C::SetTextBefore),
        props::string("TextAfter", &C::TextAfter, &C::SetTextAfter),
        props::integer("Startingnumber", &C::Startingnumber, &C::SetStartingnumber, std::nullopt),
        props::integer("RepeatEach", &C::RepeatEach, &C::SetRepeatEach, std::nullopt),
        props::integer("LeadingZeros", &C::LeadingZeros, &C::SetLeadingZeros, std::nullopt),
    });
    return table;
}

void TGCounterLabel::SetTextBefore(const QString &value)
{
    if (value == mTextBefore)
        return;
    mTextBefore = value;
    update();
}

void TGCounterLabel::SetTextAfter(const QString &value)
{
    if (value == mTextAfter)
        return;
    mTextAfter = value;
    update();
}

void TGCounterLabel::SetStartingnumber(int value)
{
    if (value == mStartingnumber)
        return;
    mStartingnumber = value;
    RestartSequence();
}

void TGCounterLabel::SetRepeatEach(int value)
{
    if (value == mRepeatEach)
        return;
    mRepeatEach = value;
    update();
}

void TGCounterLabel::SetLeadingZeros(int value)
{
    if (value == mLeadingZeros)
        return;
    mLeadingZeros = value;
    update();
}

void TGCounterLabel::BuildObjectMenu(QMenu *menu)
{
    TGBaseLabel::BuildObjectMenu(menu);
    {
        menu->addSeparator();
        menu->addAction(QStringLiteral("Counter Settings"), this, &TGCounterLabel::EditCounter);
        AddRotationMenu(menu);
    }
}

QString TGCounterLabel::NumberText(int value, int leadingZeros)
{
    if (leadingZeros <= 0)
        return QString::number(value);
    // printf "%N.Nd": at least N digits, zero-padded, the sign in front.
    // The padding is bounded where the text is made: a stored count of
    // millions would otherwise build a caption of that many zeros.
    leadingZeros = std::min(leadingZeros, MaxLeadingZeros);
    QString digits = QString::number(qAbs(qint64(value)));
    if (digits.size() < leadingZeros)
        digits.prepend(QString(leadingZeros - digits.size(), QLatin1Char('0')));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

void TGCounterLabel::BuildCaption()
{
    SetCaption(mTextBefore + NumberText(mCurrentValue, mLeadingZeros) + mTextAfter);
}

void TGCounterLabel::Paint()
{
    BuildCaption();
    TGBaseLabel::Paint();
    TGBaseLabel::CheckBoundsChanged();
}

void TGCounterLabel::SettleLayout()
{
    BuildCaption();
    TGBaseLabel::SettleLayout();
}

void TGCounterLabel::RestartSequence()
{
    mCurrentValue = mStartingnumber;
    mRepeatCount = 0;
    BuildCaption();
    update();
}

void TGCounterLabel::AdvanceLabel()
{
    ++mRepeatCount;
    if (mRepeatCount != mRepeatEach)
        return;
    // Wraps around past the largest 32-bit value.
    mCurrentValue = int(quint32(mCurrentValue) + 1u);
    mRepeatCount = 0;
    // Painted at once: the new caption is built and measured now, also when
    // the panel is not on screen (the print run's own copy).
    BuildCaption();
    SetLayoutDirty();
    repaint();
}

void TGCounterLabel::EditCounter()
{
    TGetCounter dialog(window());
    dialog.RepeatFor->setValue(mRepeatEach);
    dialog.StartingNumber->setValue(mStartingnumber);
    dialog.TextBefore->setText(mTextBefore);
    dialog.TextAfter->setText(mTextAfter);
    dialog.LeadingZeros->setValue(mLeadingZeros);
    if (ExecDialog(dialog) != QDialog::Accepted)
        return;
    SetStartingnumber(dialog.StartingNumber->value());
    SetRepeatEach(dialog.RepeatFor->value());
    SetTextBefore(dialog.TextBefore->text());
    SetTextAfter(dialog.TextAfter->text());
    SetLeadingZeros(dialog.LeadingZeros->value());
    BuildCaption();
    if (Angle() == 0) {
        SetWidth(10);
        FitToText();
    }
    update();
    NotifyChanged();
}

bool TGCounterLabel::EditNew()
{
    EditCounter();
    return true;
}
