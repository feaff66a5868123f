#include "objects/graphic/gstprop.h"

#include "controls/DialogSupport.h"
#include "controls/MessageBoxes.h"
#include "objects/graphic/gsstext.h"
#include "objects/graphic/gstpropGetSym.h"
#include "objects/graphic/gstpropGetTexture.h"
#include "objects/text/TextFont.h"
#include "objects/text/gpcirctprop.h"  // TColorPaletteButton

#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

namespace {

QLabel *addLabel(QWidget *parent, const QString &text, int x, int y, int w = 100)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, w, 16);
    return label;
}

QComboBox *addList(QWidget *parent, const char *name, const QStringList &items, int x, int y, int w)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->addItems(items);
    list->setGeometry(x, y, w, 22);
    return list;
}

TColorPaletteButton *addColor(QWidget *parent, const char *name, int x, int y)
{
    auto *b = new TColorPaletteButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(x, y, 40, 24);
    return b;
}

QSpinBox *addSpin(QWidget *parent, const char *name, int x, int y)
{
    auto *s = new QSpinBox(parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(0, 10);
    s->setGeometry(x, y, 50, 22);
    return s;
}

QWidget *addPanel(QWidget *parent, const char *name)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setGeometry(8, 318, 300, 52);
    return panel;
}

}  // namespace

TSuperTextProperties::TSuperTextProperties(QWidget *parent)
    : QDialog(parent), mLastTexture(std::make_unique<TBitmap>())
{
    SetupFixedDialog(this, QStringLiteral("SuperText Properties"), 470, 500);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);

    addLabel(this, QStringLiteral("Text"), 8, 8);
    CaptionText = new QLineEdit(this);
    CaptionText->setObjectName(QStringLiteral("CaptionText"));
    CaptionText->setGeometry(8, 24, 454, 30);

    PreviewPanel = new QScrollArea(this);
    PreviewPanel->setObjectName(QStringLiteral("PreviewPanel"));
    PreviewPanel->setGeometry(8, 60, 454, 200);
    PreviewPanel->setWidgetResizable(false);
    auto *area = new QWidget();
    area->setAutoFillBackground(true);
    QPalette pal = area->palette();
    pal.setColor(QPalette::Window, Qt::white);
    area->setPalette(pal);
    PreviewPanel->setWidget(area);
    Preview = new TGSuperText();
    Preview->setParent(area);
    Preview->SetBounds(0, 0, 100, 100);
    Preview->show();

    addLabel(this, QStringLiteral("Surface Type"), 8, 270);
    SurfaceTypeList = addList(this, "SurfaceTypeList",
                              {QStringLiteral("Normal"), QStringLiteral("Transparent"),
                               QStringLiteral("Texture"), QStringLiteral("Gradient Fill")},
                              8, 288, 130);

    // The fill, texture and font-colour panels lie over one another.
    GradientPanel = addPanel(this, "GradientPanel");
    addLabel(GradientPanel, QStringLiteral("Fill Direction"), 0, 0);
    FillDirectionList = addList(GradientPanel, "FillDirectionList",
                                {QStringLiteral("Up"), QStringLiteral("Down"), QStringLiteral("Left"),
                                 QStringLiteral("Right")},
                                0, 18, 90);
    addLabel(GradientPanel, QStringLiteral("From Color"), 100, 0, 70);
    FromColorButton = addColor(GradientPanel, "FromColorButton", 100, 18);
    addLabel(GradientPanel, QStringLiteral("To Color"), 180, 0, 70);
    ToColorButton = addColor(GradientPanel, "ToColorButton", 180, 18);

    TexturePanel = addPanel(this, "TexturePanel");
    LoadTextureButton = new QPushButton(QStringLiteral("Load Texture"), TexturePanel);
    LoadTextureButton->setObjectName(QStringLiteral("LoadTextureButton"));
    LoadTextureButton->setAutoDefault(false);
    LoadTextureButton->setGeometry(0, 16, 110, 26);

    FontColorPanel = addPanel(this, "FontColorPanel");
    addLabel(FontColorPanel, QStringLiteral("Font Color"), 0, 0);
    FontColorButton = addColor(FontColorPanel, "FontColorButton", 0, 18);

    addLabel(this, QStringLiteral("Shadow Color"), 320, 270);
    ShadowColorButton = addColor(this, "ShadowColorButton", 320, 288);
    addLabel(this, QStringLiteral("Shadow Orientation"), 320, 318, 140);
    ShadowOrientationList = addList(this, "ShadowOrientationList",
                                    {QStringLiteral("None"), QStringLiteral("Right"), QStringLiteral("Left"),
                                     QStringLiteral("Down and Right"), QStringLiteral("Down and Left"),
                                     QStringLiteral("Down")},
                                    320, 336, 140);
    addLabel(this, QStringLiteral("Shadow Depth"), 320, 366);
    ShadowDepthEdit = addSpin(this, "ShadowDepthEdit", 320, 384);

    addLabel(this, QStringLiteral("Outline Color"), 8, 376, 86);
    OutlineColorButton = addColor(this, "OutlineColorButton", 8, 394);
    addLabel(this, QStringLiteral("OutLine Style"), 96, 376, 110);
    OutlineStyleList = addList(this, "OutlineStyleList",
                               {QStringLiteral("Solid Line"), QStringLiteral("Dash Line"),
                                QStringLiteral("Dotted Line"), QStringLiteral("DashDot Line"),
                                QStringLiteral("DashDotDot Line"), QStringLiteral("Clear")},
                               96, 394, 116);
    addLabel(this, QStringLiteral("Outline Width"), 220, 376, 94);
    OutlineWidthEdit = addSpin(this, "OutlineWidthEdit", 220, 394);

    SelectFontButton = new QPushButton(QStringLiteral("Select Font"), this);
    SelectFontButton->setObjectName(QStringLiteral("SelectFontButton"));
    SelectFontButton->setAutoDefault(false);
    SelectFontButton->setGeometry(8, 426, 100, 26);
    SelectSymbolButton = new QPushButton(QStringLiteral("Select Symbol"), this);
    SelectSymbolButton->setObjectName(QStringLiteral("SelectSymbolButton"));
    SelectSymbolButton->setAutoDefault(false);
    SelectSymbolButton->setGeometry(114, 426, 100, 26);
    addLabel(this, QStringLiteral("Font Size"), 224, 432, 60);
    FontSizeUp = new QToolButton(this);
    FontSizeUp->setObjectName(QStringLiteral("FontSizeUp"));
    FontSizeUp->setArrowType(Qt::UpArrow);
    FontSizeUp->setGeometry(280, 428, 24, 24);
    FontSizeDown = new QToolButton(this);
    FontSizeDown->setObjectName(QStringLiteral("FontSizeDown"));
    FontSizeDown->setArrowType(Qt::DownArrow);
    FontSizeDown->setGeometry(306, 428, 24, 24);

    Buttons = new TDialogButtonStrip(this, 40014);
    Buttons->setGeometry(0, 500 - 40, 470, 40);
    disconnect(Buttons->okButton(), nullptr, this, nullptr);
    connect(Buttons->okButton(), &QPushButton::clicked, this, &TSuperTextProperties::OKButtonClick);

    RefitTimer = new QTimer(this);
    RefitTimer->setSingleShot(true);
    RefitTimer->setInterval(200);
    connect(RefitTimer, &QTimer::timeout, this, &TSuperTextProperties::Refit);

    connect(CaptionText, &QLineEdit::textChanged, this, [this](const QString &s) {
        if (mLoading)
            return;
        Preview->SetCaption(s);
        RefitTimer->start();
    });
    connect(SurfaceTypeList, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (mLoading || i < 0)
            return;
        Preview->SetSurfaceType(TSurfaceType(i));
        if (i == stBrushImage)
            Preview->SetImage(mLastTexture.get());
        showSurfacePanel();
        Refit();
    });
    connect(FillDirectionList, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!mLoading && i >= 0)
            Preview->SetFillDirection(TFillDirection(i));
    });
    connect(FromColorButton, &TColorPaletteButton::colorChanged, this,
            [this](TColor c) { Preview->SetGradientFromColor(c); });
    connect(ToColorButton, &TColorPaletteButton::colorChanged, this,
            [this](TColor c) { Preview->SetGradientToColor(c); });
    connect(FontColorButton, &TColorPaletteButton::colorChanged, this,
            [this](TColor c) { Preview->Font()->SetColor(c); });
    connect(ShadowColorButton, &TColorPaletteButton::colorChanged, this,
            [this](TColor c) { Preview->SetShadowcolor(c); });
    connect(ShadowOrientationList, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!mLoading && i >= 0)
            Preview->SetShadowOrientation(TShadowOrientation(i));
    });
    connect(ShadowDepthEdit, &QSpinBox::valueChanged, this, [this](int v) {
        if (!mLoading)
            Preview->SetShadowDepth(v);
    });
    connect(OutlineColorButton, &TColorPaletteButton::colorChanged, this,
            [this](TColor c) { Preview->SetOutlineColor(c); });
    connect(OutlineStyleList, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!mLoading && i >= 0)
            Preview->SetOutlineStyle(TPenStyle(i));
    });
    connect(OutlineWidthEdit, &QSpinBox::valueChanged, this, [this](int v) {
        if (!mLoading)
            Preview->SetOutlineWidth(v);
    });
    connect(SelectFontButton, &QPushButton::clicked, this, &TSuperTextProperties::SelectFontClick);
    connect(SelectSymbolButton, &QPushButton::clicked, this, &TSuperTextProperties::SelectSymbolClick);
    connect(LoadTextureButton, &QPushButton::clicked, this, &TSuperTextProperties::LoadTextureClick);
    connect(FontSizeUp, &QToolButton::clicked, this, &TSuperTextProperties::FontSizeUpClick);
    connect(FontSizeDown, &QToolButton::clicked, this, &TSuperTextProperties::FontSizeDownClick);

    showSurfacePanel();
    CaptionText->setFocus();
    PlaceDialog(this);
}

TSuperTextProperties::~TSuperTextProperties() = default;

void TSuperTextProperties::TakeObject(const TGSuperText &o)
{
    TGSuperText &p = *Preview;
    p.SetCaption(o.Caption());
    p.ApplyFont(*o.Font());
    p.SetControlTransparent(o.ControlTransparent());
    p.SetBGColor(o.BGColor());
    p.SetBorderStyle(o.BorderStyle());
    p.SetGradientFromColor(o.GradientFromColor());
    p.SetGradientToColor(o.GradientToColor());
    p.SetFillDirection(o.FillDirection());
    p.SetSurfaceType(o.SurfaceType());
    p.SetImage(o.Image());
    p.SetOutlineColor(o.OutlineColor());
    p.SetOutlineStyle(o.OutlineStyle());
    p.SetOutlineWidth(o.OutlineWidth());
    p.SetShadowcolor(o.Shadowcolor());
    p.SetShadowDepth(o.ShadowDepth());
    p.SetShadowOrientation(o.ShadowOrientation());
    p.SetBounds(0, 0, o.Width(), o.Height());
    LastBitmapFile = o.LastBitmapFileNameandPath();
    if (o.SurfaceType() == stBrushImage)
        mLastTexture->LoadData(o.Image()->SaveData());
    LoadControls();
}

void TSuperTextProperties::LoadControls()
{
    mLoading = true;
    const TGSuperText &p = *Preview;
    CaptionText->setText(p.Caption());
    captionFontChanged();
    SurfaceTypeList->setCurrentIndex(int(p.SurfaceType()));
    FillDirectionList->setCurrentIndex(int(p.FillDirection()));
    FromColorButton->setColor(p.GradientFromColor());
    ToColorButton->setColor(p.GradientToColor());
    FontColorButton->setColor(p.Font()->Color());
    ShadowColorButton->setColor(p.Shadowcolor());
    ShadowOrientationList->setCurrentIndex(int(p.ShadowOrientation()));
    ShadowDepthEdit->setValue(std::clamp(p.ShadowDepth(), 0, 10));
    OutlineColorButton->setColor(p.OutlineColor());
    OutlineStyleList->setCurrentIndex(std::clamp(int(p.OutlineStyle()), 0, 5));
    OutlineWidthEdit->setValue(std::clamp(p.OutlineWidth(), 0, 10));
    mLoading = false;
    showSurfacePanel();
    Refit();
}

void TSuperTextProperties::showSurfacePanel()
{
    const int i = SurfaceTypeList->currentIndex();
    GradientPanel->setVisible(i == stGradientFill);
    TexturePanel->setVisible(i == stBrushImage);
    FontColorPanel->setVisible(i == stNormal);
}

void TSuperTextProperties::captionFontChanged()
{
    // The text field shows the caption in the preview's font, at a size it holds.
    QFont font = BoundedQFont(*Preview->Font());
    font.setPixelSize(18);
    CaptionText->setFont(font);
}

void TSuperTextProperties::Refit()
{
    RefitTimer->stop();
    Preview->FitToText();
    Preview->update();
    QWidget *area = PreviewPanel->widget();
    area->resize(qMax(Preview->Width(), PreviewPanel->viewport()->width()),
                 qMax(Preview->Height(), PreviewPanel->viewport()->height()));
}

void TSuperTextProperties::FontSizeUpClick()
{
    TFont *font = Preview->Font();
    if (font->Size() < 150) {
        font->SetSize(font->Size() + 5);
        Refit();
    }
}

void TSuperTextProperties::FontSizeDownClick()
{
    TFont *font = Preview->Font();
    if (font->Size() > 10) {
        font->SetSize(font->Size() - 5);
        Refit();
    }
}

void TSuperTextProperties::SelectFontClick()
{
    const std::optional<QFont> chosen =
        PickFont(DialogFont(*Preview->Font()), this, QFontDialog::ScalableFonts);
    // Glyph outlines need an outline font; a bitmap face is not taken.
    if (!chosen || !QFontDatabase::isScalable(chosen->family(), QFontDatabase::styleString(*chosen)))
        return;
    TFont font;
    font.Assign(*Preview->Font());
    AssignDialogFont(font, *chosen);
    Preview->ApplyFont(font);
    captionFontChanged();
    Refit();
}

void TSuperTextProperties::SelectSymbolClick()
{
    TSuperTextGetSymbol selector(this);
    if (!selector.HasFonts()) {
        InformationBox(QStringLiteral("No Symbol fonts installed"), this);
        return;
    }
    if (ExecDialog(selector) != QDialog::Accepted)
        return;
    TFont font;
    font.Assign(*Preview->Font());
    font.SetName(selector.ChosenFont());
    Preview->ApplyFont(font);
    mLoading = true;
    CaptionText->setText(selector.ChosenCaption());
    mLoading = false;
    Preview->SetCaption(selector.ChosenCaption());
    captionFontChanged();
    Refit();
}

void TSuperTextProperties::LoadTextureClick()
{
    TSuperTextBrushImageBrowser browser(this);
    browser.Open(LastBitmapFile);
    if (ExecDialog(browser) != QDialog::Accepted)
        return;
    mLastTexture->Clear();
    if (!browser.Example->Image()->IsEmpty())
        mLastTexture->LoadData(browser.Example->Image()->SaveData());
    Preview->SetImage(mLastTexture.get());
    if (!browser.FileName().isEmpty())
        LastBitmapFile = browser.FileName();
    Refit();
}

void TSuperTextProperties::OKButtonClick()
{
    if (CaptionText->text().isEmpty()) {
        InformationBox(QStringLiteral("Please enter some text"), this);
        CaptionText->setFocus();
        return;
    }
    accept();
}
