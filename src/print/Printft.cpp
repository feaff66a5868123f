#include "print/Printft.h"

#include "controls/DialogSupport.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdlib>

QString NudgeText(int value)
{
    if (value == 0)
        return QStringLiteral("None");
    const QString verb = value < 0 ? QStringLiteral("Decrease by ") : QStringLiteral("Increase by ");
    return verb + QString::number(std::abs(value)) + QStringLiteral("/32\"");
}

namespace {

struct PanelText {
    const char *title;
    const char *help;
};

const PanelText Texts[4] = {
    {"Top Margin nudge", "Increase or decrease to adjust where vertical printing starts. "},
    {"Left Margin nudge", "Increase or decrease to adjust where horizontal printing starts. "},
    {"Vertical Spacing",
     "Increase or decrease to adjust vertical spacing between labels.( You may need to adjust "
     "this if printing \"creeps\" between the top and bottom labels.)"},
    {"Horizontal Spacing", "Increase or decrease to adjust horizontal spacing between labels "},
};

}  // namespace

TPrintFineTune::TPrintFineTune(const TPrinterNudges &nudges, QWidget *parent) : QDialog(parent)
{
    SetupFixedDialog(this, QStringLiteral("Printer Fine-Tuning"), 480, 347);

    // Values from a hand-edited preferences file may lie outside the range.
    const TPrinterNudges n = nudges.Clamped();
    mPanels[TopMarginPanel].number = n.TopMargin;
    mPanels[LeftMarginPanel].number = n.LeftMargin;
    mPanels[VerticalSpacingPanel].number = n.VerticalSpacing;
    mPanels[HorizontalSpacingPanel].number = n.HorizontalSpacing;

    auto *grid = new QGridLayout;
    grid->setSpacing(8);
    for (int i = 0; i < 4; ++i) {
        PanelWidgets &w = mPanels[i];
        auto *frame = new QFrame;
        frame->setFrameShape(QFrame::Panel);
        frame->setFrameShadow(QFrame::Raised);
        auto *box = new QVBoxLayout(frame);
        box->setContentsMargins(2, 2, 2, 6);
        box->setSpacing(4);

        w.title = new QLabel(QString::fromLatin1(Texts[i].title));
        w.title->setAutoFillBackground(true);
        QPalette captionColours = w.title->palette();
        captionColours.setColor(QPalette::Window, captionColours.color(QPalette::Highlight));
        captionColours.setColor(QPalette::WindowText,
                                captionColours.color(QPalette::HighlightedText));
        w.title->setPalette(captionColours);
        QFont bold = w.title->font();
        bold.setBold(true);
        w.title->setFont(bold);
        w.title->setContentsMargins(4, 2, 4, 2);
        box->addWidget(w.title);

        auto *row = new QHBoxLayout;
        auto *arrows = new QVBoxLayout;
        arrows->setSpacing(0);
        w.up = new QToolButton;
        w.up->setArrowType(Qt::UpArrow);
        w.up->setFixedSize(24, 16);
        w.down = new QToolButton;
        w.down->setArrowType(Qt::DownArrow);
        w.down->setFixedSize(24, 16);
        arrows->addWidget(w.up);
        arrows->addWidget(w.down);
        row->addLayout(arrows);
        w.value = new QLabel;
        w.value->setMinimumWidth(130);
        row->addWidget(w.value, 1);
        box->addLayout(row);

        w.help = new QLabel(QString::fromLatin1(Texts[i].help));
        w.help->setWordWrap(true);
        w.help->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        box->addWidget(w.help, 1);

        const auto panel = Panel(i);
        connect(w.up, &QToolButton::clicked, this, [this, panel] { UpArrowClick(panel); });
        connect(w.down, &QToolButton::clicked, this, [this, panel] { DownArrowClick(panel); });
        grid->addWidget(frame, i / 2, i % 2);
    }

    auto *help = new QPushButton(QStringLiteral("Help"));
    auto *defaults = new QPushButton(QStringLiteral("Default"));
    auto *ok = new QPushButton(QStringLiteral("Ok"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    ok->setDefault(true);
    for (QPushButton *b : {help, defaults, ok, cancel})
        b->setAutoDefault(false);
    ok->setDefault(true);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });
    connect(defaults, &QPushButton::clicked, this, &TPrintFineTune::DefaultClick);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch(1);
    buttons->addWidget(defaults);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    // The dialog's size is fixed; at a large interface font the four panels
    // scroll rather than lose the end of their texts.
    auto *panels = new QWidget;
    panels->setLayout(grid);
    grid->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(panels);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);

    ShowValues();
    PlaceDialog(this);
}

TPrinterNudges TPrintFineTune::Values() const
{
    TPrinterNudges n;
    n.TopMargin = mPanels[TopMarginPanel].number;
    n.LeftMargin = mPanels[LeftMarginPanel].number;
    n.VerticalSpacing = mPanels[VerticalSpacingPanel].number;
    n.HorizontalSpacing = mPanels[HorizontalSpacingPanel].number;
    return n;
}

void TPrintFineTune::ShowValues()
{
    for (PanelWidgets &w : mPanels)
        w.value->setText(NudgeText(w.number));
}

void TPrintFineTune::DownArrowClick(Panel panel)
{
    int &v = mPanels[panel].number;
    if (v < TPrinterNudges::Max)
        ++v;
    ShowValues();
}

void TPrintFineTune::UpArrowClick(Panel panel)
{
    int &v = mPanels[panel].number;
    if (v > TPrinterNudges::Min)
        --v;
    ShowValues();
}

void TPrintFineTune::DefaultClick()
{
    for (PanelWidgets &w : mPanels)
        w.number = 0;
    ShowValues();
}
