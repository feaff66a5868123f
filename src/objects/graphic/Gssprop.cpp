#include "objects/graphic/Gssprop.h"

#include "controls/ColorCombo.h"
#include "controls/DialogSupport.h"
#include "controls/SpinEdit.h"
#include "objects/graphic/Gbimageb.h"
#include "objects/graphic/Gsshape.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// Entries of "Shape", in list order; gstPolyGon is not offered.
const TGPShapeType ShapeEntries[] = {gstRectangle, gstRoundRect, gstEllipse, gstDiamond, gstStar,
                                     gstTriangleLeft, gstTriangleRight, gstTriangleUp, gstTriangleDown};
// Entries of "Surface Type", in list order.
const TSuperShape::TSurfaceType SurfaceEntries[] = {
    TSuperShape::stBrushTransparent, TSuperShape::stBrushPattern, TSuperShape::stBrushImage,
    TSuperShape::stGradientFill};
// Entries of "OutLine Style", in list order.
const TPenStyle StyleEntries[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear};

template <class T, size_t N>
int indexOf(const T (&entries)[N], T value)
{
    for (size_t i = 0; i < N; ++i)
        if (entries[i] == value)
            return int(i);
    return -1;
}

QComboBox *list(QWidget *parent, const char *name, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    return box;
}

TSpinEdit *spin(QWidget *parent, const char *name, int minimum, int maximum)
{
    auto *edit = new TSpinEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setRange(minimum, maximum);
    return edit;
}

TColorComboBox *colors(QWidget *parent, const char *name)
{
    auto *box = new TColorComboBox(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QGroupBox *panel(QWidget *parent, const char *name, const QString &title)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

}  // namespace

TSuperShapeProperties::TSuperShapeProperties(QWidget *parent)
    : QDialog(parent), mLastTexture(std::make_unique<TBitmap>())
{
    SetupFixedDialog(this, QStringLiteral("Super Shape Properties"), 560, 520);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);

    SampleArea = new QScrollArea(this);
    SampleArea->setObjectName(QStringLiteral("SampleArea"));
    SampleArea->setGeometry(8, 8, 260, 464);
    SampleArea->setWidgetResizable(false);
    auto *area = new QWidget();
    area->setAutoFillBackground(true);
    QPalette pal = area->palette();
    pal.setColor(QPalette::Window, Qt::white);
    area->setPalette(pal);
    SampleArea->setPalette(pal);
    SampleArea->setWidget(area);
    mSample = new TSuperShape();
    mSample->setParent(area);
    mSample->SetBounds(10, 10, 25, 25);
    mSample->show();

    // The column of settings scrolls when it needs more room than the
    // fixed dialog has (a large interface font).
    auto *fieldsBox = new QScrollArea(this);
    fieldsBox->setObjectName(QStringLiteral("SettingsArea"));
    fieldsBox->setFrameShape(QFrame::NoFrame);
    fieldsBox->setWidgetResizable(true);
    fieldsBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fieldsBox->setGeometry(276, 4, 278, 474);
    auto *fields = new QWidget;
    fieldsBox->setWidget(fields);
    auto *column = new QVBoxLayout(fields);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    auto *top = new QFormLayout();
    ShapeBox = list(fields, "ShapeBox",
                    {QStringLiteral("Rectangle"), QStringLiteral("Round Rectangle"),
                     QStringLiteral("Ellipse                  "), QStringLiteral("Diamond"),
                     QStringLiteral("Star"), QStringLiteral("Triangle Left"),
                     QStringLiteral("Triangle Right"), QStringLiteral("Triangle Up"),
                     QStringLiteral("Triangle Down")});
    top->addRow(QStringLiteral("Shape"), ShapeBox);
    SurfaceBox = list(fields, "SurfaceBox",
                      {QStringLiteral("Transparent"), QStringLiteral("Solid"), QStringLiteral("Texture"),
                       QStringLiteral("Gradient Fill")});
    top->addRow(QStringLiteral("Surface Type"), SurfaceBox);
    column->addLayout(top);

    StarPanel = panel(fields, "StarPanel", QStringLiteral("Star"));
    auto *star = new QFormLayout(StarPanel);
    PointsEdit = spin(StarPanel, "PointsEdit", 5, 20);
    InVectorEdit = spin(StarPanel, "InVectorEdit", 0, 90);
    star->addRow(QStringLiteral("Points On Star"), PointsEdit);
    star->addRow(QStringLiteral("% of Inward Vector"), InVectorEdit);
    column->addWidget(StarPanel);

    RoundPanel = panel(fields, "RoundPanel", QStringLiteral("Round Rectangle"));
    auto *round = new QFormLayout(RoundPanel);
    RoundEdit = spin(RoundPanel, "RoundEdit", 0, 90);
    round->addRow(QStringLiteral("Round Percentage"), RoundEdit);
    column->addWidget(RoundPanel);

    SolidPanel = panel(fields, "SolidPanel", QStringLiteral("Solid"));
    auto *solid = new QFormLayout(SolidPanel);
    BackColorBox = colors(SolidPanel, "BackColorBox");
    solid->addRow(QStringLiteral("Background Color"), BackColorBox);
    column->addWidget(SolidPanel);

    GradientPanel = panel(fields, "GradientPanel", QStringLiteral("Gradient Fill"));
    auto *gradient = new QFormLayout(GradientPanel);
    DirectionBox = list(GradientPanel, "DirectionBox",
                        {QStringLiteral("Up"), QStringLiteral("Down"), QStringLiteral("Left"),
                         QStringLiteral("Right")});
    FromColorBox = colors(GradientPanel, "FromColorBox");
    ToColorBox = colors(GradientPanel, "ToColorBox");
    gradient->addRow(QStringLiteral("Fill Direction"), DirectionBox);
    gradient->addRow(QStringLiteral("From Color"), FromColorBox);
    gradient->addRow(QStringLiteral("To Color"), ToColorBox);
    column->addWidget(GradientPanel);

    TexturePanel = panel(fields, "TexturePanel", QStringLiteral("Texture"));
    auto *texture = new QHBoxLayout(TexturePanel);
    LoadTextureButton = new QPushButton(QStringLiteral("Load Texture"), TexturePanel);
    LoadTextureButton->setObjectName(QStringLiteral("LoadTextureButton"));
    LoadTextureButton->setAutoDefault(false);
    texture->addWidget(LoadTextureButton);
    texture->addStretch();
    column->addWidget(TexturePanel);

    auto *shadowPanel = panel(fields, "ShadowPanel", QStringLiteral("Shadow"));
    auto *shadow = new QFormLayout(shadowPanel);
    ShadowColorBox = colors(shadowPanel, "ShadowColorBox");
    ShadowOrientBox = list(shadowPanel, "ShadowOrientBox",
                           {QStringLiteral("None"), QStringLiteral("Lower Right"),
                            QStringLiteral("Upper Right"), QStringLiteral("Upper Left"),
                            QStringLiteral("Lower Left")});
    ShadowDepthEdit = spin(shadowPanel, "ShadowDepthEdit", 0, TSuperShape::MaxDialogShadowDepth);
    shadow->addRow(QStringLiteral("Shadow Color"), ShadowColorBox);
    shadow->addRow(QStringLiteral("Shadow Orientation"), ShadowOrientBox);
    shadow->addRow(QStringLiteral("Shadow Depth"), ShadowDepthEdit);
    column->addWidget(shadowPanel);

    auto *outlinePanel = panel(fields, "OutlinePanel", QStringLiteral("Outline"));
    auto *outline = new QFormLayout(outlinePanel);
    OutlineColorBox = colors(outlinePanel, "OutlineColorBox");
    OutlineStyleBox = list(outlinePanel, "OutlineStyleBox",
                           {QStringLiteral("Solid Line"), QStringLiteral("Dash Line"),
                            QStringLiteral("Dotted Line"), QStringLiteral("DashDot Line"),
                            QStringLiteral("DashDotDot Line"), QStringLiteral("Clear")});
    OutlineWidthEdit = spin(outlinePanel, "OutlineWidthEdit", 0, 10);
    outline->addRow(QStringLiteral("Outline Color"), OutlineColorBox);
    outline->addRow(QStringLiteral("OutLine Style"), OutlineStyleBox);
    outline->addRow(QStringLiteral("Outline Width"), OutlineWidthEdit);
    column->addWidget(outlinePanel);
    column->addStretch();

    Buttons = new TDialogButtonStrip(this, 40011);
    Buttons->setGeometry(0, 520 - 40, 560, 40);

    connect(ShapeBox, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (mLoading || i < 0)
            return;
        mSample->SetShape(ShapeEntries[i]);
        // Choosing the star may have reset its points, pull and angle.
        mLoading = true;
        PointsEdit->setValue(mSample->Vectors() / 2);
        InVectorEdit->setValue(mSample->InVectorPercent());
        mLoading = false;
        showPanels();
    });
    connect(PointsEdit, &TSpinEdit::valueChanged, this, [this](int) {
        if (!mLoading)
            mSample->SetVectors(2 * PointsEdit->value());
    });
    connect(InVectorEdit, &TSpinEdit::valueChanged, this, [this](int) {
        if (!mLoading)
            mSample->SetInVectorPercent(InVectorEdit->value());
    });
    connect(RoundEdit, &TSpinEdit::valueChanged, this, [this](int) {
        if (!mLoading)
            mSample->SetRoundPerc(RoundEdit->value());
    });
    connect(SurfaceBox, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (mLoading || i < 0)
            return;
        const TSuperShape::TSurfaceType t = SurfaceEntries[i];
        mSample->SetSurfaceType(t);
        if (t == TSuperShape::stBrushImage)
            mSample->SetImage(mLastTexture.get());
        if (t == TSuperShape::stBrushPattern || t == TSuperShape::stGradientFill)
            mSample->SetBackColor(BackColorBox->color());
        // The transparent surface may have changed the shadow and the outline.
        mLoading = true;
        ShadowOrientBox->setCurrentIndex(int(mSample->ShadowOrient()));
        OutlineStyleBox->setCurrentIndex(indexOf(StyleEntries, mSample->OutlineStyle()));
        mLoading = false;
        showPanels();
    });
    // "Background Color" and "From Color" are the one BackColor.
    auto backColor = [this](TColor c) {
        BackColorBox->setColor(c);
        FromColorBox->setColor(c);
        mSample->SetBackColor(c);
    };
    connect(BackColorBox, &TColorComboBox::colorChanged, this, backColor);
    connect(FromColorBox, &TColorComboBox::colorChanged, this, backColor);
    connect(ToColorBox, &TColorComboBox::colorChanged, this,
            [this](TColor c) { mSample->SetGradientToColor(c); });
    connect(DirectionBox, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!mLoading && i >= 0)
            mSample->SetFillDirection(TFillDirection(i));
    });
    connect(LoadTextureButton, &QPushButton::clicked, this, &TSuperShapeProperties::LoadTextureClick);
    connect(ShadowColorBox, &TColorComboBox::colorChanged, this,
            [this](TColor c) { mSample->SetShadowColor(c); });
    connect(ShadowOrientBox, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!mLoading && i >= 0)
            mSample->SetShadowOrient(TShadowOrient(i));
    });
    connect(ShadowDepthEdit, &TSpinEdit::valueChanged, this, [this](int) {
        if (!mLoading)
            mSample->SetShadowDepthLimited(ShadowDepthEdit->value());
    });
    connect(OutlineColorBox, &TColorComboBox::colorChanged, this,
            [this](TColor c) { mSample->SetOutlineColor(c); });
    connect(OutlineStyleBox, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!mLoading && i >= 0)
            mSample->SetOutlineStyle(StyleEntries[i]);
    });
    connect(OutlineWidthEdit, &TSpinEdit::valueChanged, this, [this](int) {
        if (mLoading)
            return;
        mSample->SetOutlineWidth(OutlineWidthEdit->value());
        limitShadowDepth();
    });
    PlaceDialog(this);
}

TSuperShapeProperties::~TSuperShapeProperties() = default;

void TSuperShapeProperties::ShowSampleValues()
{
    mLoading = true;
    ShapeBox->setCurrentIndex(std::max(0, indexOf(ShapeEntries, mSample->Shape() == gstPolyGon
                                                                    ? gstStar
                                                                    : mSample->Shape())));
    PointsEdit->setValue(mSample->Vectors() / 2);
    InVectorEdit->setValue(mSample->InVectorPercent());
    RoundEdit->setValue(mSample->RoundPerc());
    SurfaceBox->setCurrentIndex(int(mSample->SurfaceType()));
    BackColorBox->setColor(mSample->BackColor());
    FromColorBox->setColor(mSample->BackColor());
    ToColorBox->setColor(mSample->GradientToColor());
    DirectionBox->setCurrentIndex(int(mSample->FillDirection()));
    ShadowColorBox->setColor(mSample->ShadowColor());
    ShadowOrientBox->setCurrentIndex(int(mSample->ShadowOrient()));
    OutlineColorBox->setColor(mSample->OutlineColor());
    OutlineStyleBox->setCurrentIndex(std::max(0, indexOf(StyleEntries, mSample->OutlineStyle())));
    OutlineWidthEdit->setValue(mSample->OutlineWidth());
    if (mSample->SurfaceType() == TSuperShape::stBrushImage && !mSample->Image()->IsEmpty())
        mLastTexture->LoadFromFileImage(mSample->Image()->FileImage());
    mLoading = false;
    limitShadowDepth();
    fitSampleArea();
    showPanels();
}

void TSuperShapeProperties::showPanels()
{
    const TGPShapeType shape = mSample->Shape();
    StarPanel->setVisible(shape == gstStar || shape == gstPolyGon);
    RoundPanel->setVisible(shape == gstRoundRect);
    const TSuperShape::TSurfaceType t = mSample->SurfaceType();
    SolidPanel->setVisible(t == TSuperShape::stBrushPattern);
    GradientPanel->setVisible(t == TSuperShape::stGradientFill);
    TexturePanel->setVisible(t == TSuperShape::stBrushImage);
}

void TSuperShapeProperties::limitShadowDepth()
{
    // The new depth never leaves the sample without a figure.
    const int limit = TSuperShape::MaxShadowDepthFor(mSample->Width(), mSample->Height(),
                                                     mSample->OutlineWidth());
    mLoading = true;
    ShadowDepthEdit->setRange(0, limit);
    // A limit of 0 leaves the edit unbounded; the sample's setter still
    // keeps the depth at 0 then.
    ShadowDepthEdit->setValue(std::min(mSample->ShadowDepth(), limit));
    mLoading = false;
    if (mSample->ShadowDepth() > limit)
        mSample->SetShadowDepthLimited(limit);
}

void TSuperShapeProperties::fitSampleArea()
{
    QWidget *area = SampleArea->widget();
    area->resize(std::max(mSample->Left() + mSample->Width() + 10, SampleArea->viewport()->width()),
                 std::max(mSample->Top() + mSample->Height() + 10, SampleArea->viewport()->height()));
}

void TSuperShapeProperties::LoadTextureClick()
{
    TGBrushImageBrowser browser(this);
    browser.Open(mLastBitmapFile);
    if (ExecDialog(browser) != QDialog::Accepted || browser.Texture().IsEmpty())
        return;
    TakeTexture(browser.Texture(), browser.FileName());
}

void TSuperShapeProperties::TakeTexture(const TBitmap &texture, const QString &path)
{
    if (texture.IsEmpty())
        mLastTexture->Clear();
    else
        mLastTexture->LoadFromFileImage(texture.FileImage());
    mLastBitmapFile = path;
    mSample->SetImage(mLastTexture.get());
}
