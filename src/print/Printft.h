#pragma once
// TPrintFineTune: the "Printer Fine-Tuning" dialog, which shifts where
// printing starts and stretches the spacing of labels in 1/32 inch steps.

#include "print/Sheet.h"

#include <QDialog>

#include <array>

class QLabel;
class QToolButton;

// "Decrease by 3/32"", "None", "Increase by 5/32"".
QString NudgeText(int value);

class TPrintFineTune : public QDialog
{
    Q_OBJECT
public:
    // The four panels, in the order they are shown.
    enum Panel { TopMarginPanel, LeftMarginPanel, VerticalSpacingPanel, HorizontalSpacingPanel };
    static constexpr int HelpTopic = 1092;

    explicit TPrintFineTune(const TPrinterNudges &nudges, QWidget *parent = nullptr);

    // The values as the dialog shows them; the caller keeps them on Ok.
    TPrinterNudges Values() const;
    void ShowValues();

    // Down arrow: one step more (at most 8); up arrow: one step less (at least -8).
    void DownArrowClick(Panel panel);
    void UpArrowClick(Panel panel);
    void DefaultClick();

    QToolButton *UpArrow(Panel panel) const { return mPanels[panel].up; }
    QToolButton *DownArrow(Panel panel) const { return mPanels[panel].down; }
    QLabel *ValueText(Panel panel) const { return mPanels[panel].value; }
    QLabel *TitleText(Panel panel) const { return mPanels[panel].title; }
    QLabel *HelpText(Panel panel) const { return mPanels[panel].help; }

private:
    struct PanelWidgets {
        int number = 0;
        QLabel *title = nullptr;
        QToolButton *up = nullptr;
        QToolButton *down = nullptr;
        QLabel *value = nullptr;
        QLabel *help = nullptr;
    };
    std::array<PanelWidgets, 4> mPanels;
};
