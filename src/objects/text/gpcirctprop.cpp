#include "gpcirctprop.h"

#include "Gpcirct.h"
#include "TextFont.h"
#include "controls/DialogSupport.h"
#include "controls/MessageBoxes.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>
#include <QWidgetAction>

#include <cmath>

const TColor TColorPaletteButton::Palette[20] = {
    cl::Black, cl::Maroon, cl::Green, cl::Olive, cl::Navy,
    cl::Purple, cl::Teal, cl::Gray, cl::Silver, cl::Red,
    cl::Lime, cl::Yellow, cl::Blue, cl::Fuchsia, cl::Aqua,
    cl::White, 0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0,
};

namespace {

QIcon swatch(TColor color, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(ColorToQColor(color));
    QPainter p(&pixmap);
    p.setPen(Qt::darkGray);
    p.drawRect(0, 0, size.width() - 1, size.height() - 1);
    return QIcon(pixmap);
}

QLabel *addLabel(QWidget *parent, const char *name, const QString &text, int x, int y, int w = 120)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(x, y, w, 16);
    return label;
}

QSlider *addBar(QWidget *parent, const char *name, int x, int y)
{
    auto *bar = new QSlider(Qt::Horizontal, parent);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(1, 4);
    bar->setPageStep(1);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(1);
    bar->setGeometry(x, y, 136, 26);
    return bar;
}

QToolButton *addToolButton(QWidget *parent, const char *name, int x, int y)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(x, y, 24, 24);
    return b;
}

QString degreesText(int position)
{
    return QString::number(position * 90) + QStringLiteral(" degrees");
}

}  // namespace

TColorPaletteButton::TColorPaletteButton(QWidget *parent)
    : QToolButton(parent)
{
    setIconSize(QSize(24, 14));
    setIcon(swatch(mColor, iconSize()));
    connect(this, &QToolButton::clicked, this, &TColorPaletteButton::showPalette);
}

void TColorPaletteButton::setColor(TColor color)
{
    mColor = color;
    setIcon(swatch(mColor, iconSize()));
}

void TColorPaletteButton::choose(TColor color)
{
    setColor(color);
    Q_EMIT colorChanged(color);
}

void TColorPaletteButton::showPalette()
{
    QMenu menu(this);
    auto *panel = new QWidget(&menu);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(4, 4, 4, 4);
    auto *grid = new QGridLayout();
    grid->setSpacing(2);
    column->addLayout(grid);
    for (int i = 0; i < 20; ++i) {
        auto *b = new QToolButton(panel);
        b->setIconSize(QSize(16, 16));
        b->setIcon(swatch(Palette[i], b->iconSize()));
        b->setAutoRaise(true);
        const TColor c = Palette[i];
        connect(b, &QToolButton::clicked, &menu, [this, &menu, c] {
            menu.close();
            choose(c);
        });
        grid->addWidget(b, i / 5, i % 5);
    }
    auto *other = new QPushButton(QStringLiteral("&Other"), panel);
    connect(other, &QPushButton::clicked, &menu, [this, &menu] {
        menu.close();
        if (const std::optional<QColor> c = PickColor(ColorToQColor(mColor), window()))
            choose(QColorToColor(*c));
    });
    column->addWidget(other);
    auto *action = new QWidgetAction(&menu);
    action->setDefaultWidget(panel);
    menu.addAction(action);
    menu.exec(mapToGlobal(QPoint(0, height())));
}

TCircleTextProperties::TCircleTextProperties(QWidget *parent)
    : QDialog(parent)
{
    SetupFixedDialog(this, QStringLiteral("CircleText Properties"), 430, 416);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);

    Label2 = addLabel(this, "Label2", QStringLiteral("Text"), 8, 8);
    CaptionText = new QLineEdit(this);
    CaptionText->setObjectName(QStringLiteral("CaptionText"));
    CaptionText->setGeometry(8, 24, 414, 22);
    Label2->setBuddy(CaptionText);

    Panel1 = new QScrollArea(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 54, 414, 200);
    Panel1->setWidgetResizable(false);
    auto *area = new QWidget();
    area->setAutoFillBackground(true);
    QPalette pal = area->palette();
    pal.setColor(QPalette::Window, Qt::white);
    area->setPalette(pal);
    Panel1->setPalette(pal);
    Panel1->setWidget(area);
    Preview = new TGPCircleText();
    Preview->setParent(area);
    Preview->SetBounds(0, 0, 100, 100);
    Preview->show();

    Label3 = addLabel(this, "Label3", QStringLiteral("Degrees"), 8, 262);
    DegreesBar = addBar(this, "DegreesBar", 8, 278);
    // Each figure stands just right of its bar, inside the dialog's width.
    DegreesLabel = addLabel(this, "DegreesLabel", QStringLiteral("90 degrees"), 148, 283, 72);
    Label4 = addLabel(this, "Label4", QStringLiteral("Starting Angle"), 226, 262);
    StartingAngleBar = addBar(this, "StartingAngleBar", 226, 278);
    StartingAngleLabel = addLabel(this, "StartingAngleLabel", QStringLiteral("90 degrees"), 366, 283, 62);

    cbDrawLettersAngled = new QCheckBox(QStringLiteral("Angled Characters"), this);
    cbDrawLettersAngled->setObjectName(QStringLiteral("cbDrawLettersAngled"));
    cbDrawLettersAngled->setGeometry(8, 312, 140, 20);
    cbMirrored = new QCheckBox(QStringLiteral("Mirrored"), this);
    cbMirrored->setObjectName(QStringLiteral("cbMirrored"));
    cbMirrored->setGeometry(160, 312, 120, 20);

    Label1 = addLabel(this, "Label1", QStringLiteral("Font Color"), 8, 344, 60);
    FontColorButton = new TColorPaletteButton(this);
    FontColorButton->setAccessibleName(QStringLiteral("Font Color"));
    FontColorButton->setObjectName(QStringLiteral("FontColorButton"));
    FontColorButton->setGeometry(66, 340, 40, 24);
    Fontbutton = new QPushButton(QStringLiteral("Select Font"), this);
    Fontbutton->setObjectName(QStringLiteral("Fontbutton"));
    Fontbutton->setAutoDefault(false);
    Fontbutton->setGeometry(114, 340, 90, 24);
    FontSizeUp = addToolButton(this, "FontSizeUp", 210, 340);
    FontSizeUp->setAccessibleName(QStringLiteral("Larger preview font"));
    FontSizeUp->setArrowType(Qt::UpArrow);
    FontSizeDown = addToolButton(this, "FontSizeDown", 236, 340);
    FontSizeDown->setAccessibleName(QStringLiteral("Smaller preview font"));
    FontSizeDown->setArrowType(Qt::DownArrow);
    Label6 = addLabel(this, "Label6", QStringLiteral("Zoom"), 290, 344, 34);
    ZoomMinusButton = addToolButton(this, "ZoomMinusButton", 326, 340);
    ZoomMinusButton->setAccessibleName(QStringLiteral("Zoom out"));
    ZoomMinusButton->setText(QStringLiteral("-"));
    ZoomPlusButton = addToolButton(this, "ZoomPlusButton", 352, 340);
    ZoomPlusButton->setAccessibleName(QStringLiteral("Zoom in"));
    ZoomPlusButton->setText(QStringLiteral("+"));
    ZoomLabel = addLabel(this, "ZoomLabel", QStringLiteral("100%"), 384, 344, 40);

    Buttons = new TDialogButtonStrip(this, 40017);
    Buttons->setGeometry(0, 416 - 40, 430, 40);
    disconnect(Buttons->okButton(), nullptr, this, nullptr);
    connect(Buttons->okButton(), &QPushButton::clicked, this, &TCircleTextProperties::OKButtonClick);

    connect(CaptionText, &QLineEdit::textChanged, this, [this](const QString &s) { Preview->SetCaption(s); });
    connect(DegreesBar, &QSlider::valueChanged, this, [this](int position) {
        Preview->SetDegrees(TDegrees(position - 1));
        DegreesLabel->setText(degreesText(position));
    });
    connect(StartingAngleBar, &QSlider::valueChanged, this, [this](int position) {
        Preview->SetStartingVector(TDegrees(position - 1));
        StartingAngleLabel->setText(degreesText(position));
    });
    connect(cbDrawLettersAngled, &QCheckBox::toggled, this, [this](bool on) { Preview->SetDrawLettersAngled(on); });
    connect(cbMirrored, &QCheckBox::toggled, this, [this](bool on) { Preview->SetMirror(on); });
    connect(FontColorButton, &TColorPaletteButton::colorChanged, this,
            [this](TColor c) { Preview->Font()->SetColor(c); });
    connect(Fontbutton, &QPushButton::clicked, this, &TCircleTextProperties::FontbuttonClick);
    connect(FontSizeUp, &QToolButton::clicked, this, &TCircleTextProperties::FontSizeUpClick);
    connect(FontSizeDown, &QToolButton::clicked, this, &TCircleTextProperties::FontSizeDownClick);
    connect(ZoomPlusButton, &QToolButton::clicked, this, &TCircleTextProperties::ZoomPlusClick);
    connect(ZoomMinusButton, &QToolButton::clicked, this, &TCircleTextProperties::ZoomMinusClick);

    setTabOrder(CaptionText, DegreesBar);
    CaptionText->setFocus();
    PlaceDialog(this);
}

void TCircleTextProperties::LoadControls()
{
    // The bars' signals set the labels; a bar already at the position shows
    // its label here.
    DegreesBar->setValue(int(Preview->Degrees()) + 1);
    DegreesLabel->setText(degreesText(DegreesBar->value()));
    StartingAngleBar->setValue(int(Preview->StartingVector()) + 1);
    StartingAngleLabel->setText(degreesText(StartingAngleBar->value()));
    cbDrawLettersAngled->setChecked(Preview->DrawLettersAngled());
    cbMirrored->setChecked(Preview->Mirror());
    FontColorButton->setColor(Preview->Font()->Color());
    CaptionText->setText(Preview->Caption());
    CaptionText->setFocus();
    fitPreviewArea();
    showZoom();
}

void TCircleTextProperties::fitPreviewArea()
{
    QWidget *area = Panel1->widget();
    area->resize(qMax(Preview->Width(), Panel1->viewport()->width()),
                 qMax(Preview->Height(), Panel1->viewport()->height()));
}

void TCircleTextProperties::showZoom()
{
    ZoomLabel->setText(QString::number(int(std::nearbyint(double(Preview->Scale()) * 100.0))) + QLatin1Char('%'));
}

void TCircleTextProperties::FontSizeUpClick()
{
    TFont *font = Preview->Font();
    if (font->Size() < 150)
        font->SetSize(font->Size() + 5);
}

void TCircleTextProperties::FontSizeDownClick()
{
    TFont *font = Preview->Font();
    if (font->Size() > 10)
        font->SetSize(font->Size() - 5);
}

void TCircleTextProperties::ZoomPlusClick()
{
    const float scale = Preview->Scale();
    if (scale < 1.0f)
        Preview->SetScale(float(static_cast<long double>(scale) + 0.1L));
    fitPreviewArea();
    showZoom();
}

void TCircleTextProperties::ZoomMinusClick()
{
    const float scale = Preview->Scale();
    if (scale > 0.5f)
        Preview->SetScale(float(static_cast<long double>(scale) - 0.1L));
    fitPreviewArea();
    showZoom();
}

void TCircleTextProperties::FontbuttonClick()
{
    if (const std::optional<QFont> chosen = PickFont(DialogFont(*Preview->Font()), this, QFontDialog::ScalableFonts)) {
        TFont font;
        font.Assign(*Preview->Font());
        AssignDialogFont(font, *chosen);
        Preview->ApplyFont(font);
    }
}

void TCircleTextProperties::OKButtonClick()
{
    if (CaptionText->text().isEmpty()) {
        InformationBox(QStringLiteral("Please enter some text"), this);
        CaptionText->setFocus();
        return;
    }
    accept();
}
