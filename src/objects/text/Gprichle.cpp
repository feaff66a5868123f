#include "objects/text/Gprichle.h"

#include "controls/DialogSupport.h"
#include "controls/Icons.h"
#include "objects/text/Gprichl.h"
#include "richtext/WPRichText.h"
#include "richtext/WPToolBar.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

TRichTextLabelEditor::TRichTextLabelEditor(QWidget *parent) : QDialog(parent)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SetupFixedDialog(this, QStringLiteral("Rich Text Editor"), 601, 343);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);

    WPToolBar1 = new TWPToolBar(this);
    WPToolBar1->setGeometry(0, 0, 601, 32);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setGeometry(0, 32, 601, 343 - 32 - 40);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    WPPanel = new QFrame;
    WPPanel->setObjectName(QStringLiteral("WPPanel"));
    WPPanel->setFrameStyle(QFrame::Box | QFrame::Plain);
    WPPanel->setLineWidth(1);
    WPPanel->setAutoFillBackground(true);
    SetPanelColor(Qt::white);
    auto *layout = new QVBoxLayout(WPPanel);
    layout->setContentsMargins(1, 1, 1, 1);
    WPRichText1 = new TWPRichText(WPPanel);
    WPRichText1->setAccessibleName(QStringLiteral("Rich text"));
    WPRichText1->setObjectName(QStringLiteral("WPRichText1"));
    WPRichText1->setFrameStyle(QFrame::NoFrame);
    layout->addWidget(WPRichText1);
    WPPanel->resize(191, 34);
    ScrollBox1->setWidget(WPPanel);
    WPPanel->setVisible(false);
    WPToolBar1->SetEditor(WPRichText1);

    ZoomPlusButton = new QToolButton(this);
    ZoomPlusButton->setObjectName(QStringLiteral("ZoomPlusButton"));
    ZoomPlusButton->setIcon(ProgramIcon(QStringLiteral("zoomin")));
    ZoomPlusButton->setToolTip(QStringLiteral("Zoom In"));
    ZoomMinusButton = new QToolButton(this);
    ZoomMinusButton->setObjectName(QStringLiteral("ZoomMinusButton"));
    ZoomMinusButton->setIcon(ProgramIcon(QStringLiteral("zoomout")));
    ZoomMinusButton->setToolTip(QStringLiteral("Zoom Out"));
    ZoomCaption = new QLabel(this);
    ZoomCaption->setObjectName(QStringLiteral("ZoomCaption"));
    ZoomCaption->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ZoomCaption->setMinimumWidth(40);
    ZoomCaption->setAlignment(Qt::AlignCenter);
    // The zoom buttons go onto the tool bar, after its own buttons.
    WPToolBar1->AddButton(ZoomPlusButton);
    WPToolBar1->AddButton(ZoomMinusButton);
    WPToolBar1->AddButton(ZoomCaption);
    connect(ZoomPlusButton, &QToolButton::clicked, this, [this] { ZoomPlusButtonClick(); });
    connect(ZoomMinusButton, &QToolButton::clicked, this, [this] { ZoomMinusButtonClick(); });

    Buttons = new TDialogButtonStrip(this, 40013);
    Buttons->setGeometry(0, 343 - 40, 601, 40);
    PlaceDialog(this);
    QApplication::restoreOverrideCursor();
}

void TRichTextLabelEditor::SetPanelColor(const QColor &color)
{
    QPalette p = WPPanel->palette();
    p.setColor(QPalette::Window, color);
    WPPanel->setPalette(p);
    if (WPRichText1)
        WPRichText1->SetColor(color);
}

void TRichTextLabelEditor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!mActivated)
        FormActivate();
}

void TRichTextLabelEditor::FormActivate()
{
    mActivated = true;
    WPPanel->setVisible(true);
    QCoreApplication::processEvents();
    WPRichText1->ReFormat();
    WPRichText1->CaretToStart();
    WPToolBar1->UpdateFromEditor();
    mW0 = WPPanel->width();
    mH0 = WPPanel->height();
    mZ0 = WPRichText1->Zoom();
    ZoomCaption->setText(QStringLiteral("%1%").arg(mZ0));
    WPRichText1->setFocus();
}

void TRichTextLabelEditor::zoomTo(int zoom)
{
    WPRichText1->SetZoom(zoom);
    if (mZ0 > 0)
        WPPanel->resize(int(std::lround(double(zoom) * mW0 / mZ0)), int(std::lround(double(zoom) * mH0 / mZ0)));
    ZoomCaption->setText(QStringLiteral("%1%").arg(WPRichText1->Zoom()));
}

void TRichTextLabelEditor::ZoomPlusButtonClick()
{
    if (WPRichText1->Zoom() < 100)
        zoomTo(WPRichText1->Zoom() + 10);
}

void TRichTextLabelEditor::ZoomMinusButtonClick()
{
    if (WPRichText1->Zoom() > 50)
        zoomTo(WPRichText1->Zoom() - 10);
}
