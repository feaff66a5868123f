#pragma once
// TGCounterLabel: a single-line text object showing a number that counts up
// from label to label while a sheet is printed.

#include "Gpbasel.h"

class TGCounterLabel : public TGBaseLabel
{
    Q_OBJECT
public:
    explicit TGCounterLabel(TComponent *owner = nullptr);

    QByteArray ClassName() const override { return "TGCounterLabel"; }
    const TPropertyTable &Properties() const override;

    QString TextBefore() const { return mTextBefore; }
    void SetTextBefore(const QString &value);
    QString TextAfter() const { return mTextAfter; }
    void SetTextAfter(const QString &value);
    int Startingnumber() const { return mStartingnumber; }
    void SetStartingnumber(int value);
    int RepeatEach() const { return mRepeatEach; }
    void SetRepeatEach(int value);
    // Most digits a number is padded to when drawn (the stored value is kept).
    static constexpr int MaxLeadingZeros = 255;
    int LeadingZeros() const { return mLeadingZeros; }
    void SetLeadingZeros(int value);

    int CurrentValue() const { return mCurrentValue; }
    int RepeatCount() const { return mRepeatCount; }

    void BuildObjectMenu(QMenu *menu) override;
    void Paint() override;
    // The caption is rebuilt before every drawing; settling builds it too.
    void SettleLayout() override;
    void AdvanceLabel() override;
    void RestartSequence() override;
    bool EditNew() override;

    void BuildCaption();
    // The "Counter Settings" command.
    void EditCounter();

    // The number text for a value: plain, or zero-padded to `leadingZeros` digits.
    static QString NumberText(int value, int leadingZeros);

private:
    QString mTextBefore;
    QString mTextAfter;
    int mStartingnumber = 1;
    int mRepeatEach = 1;
    int mLeadingZeros = 0;
    int mCurrentValue = 1;
    int mRepeatCount = 0;
};
