#include "objects/graphic/Gbarprop.h"

#include "controls/ColorCombo.h"
#include "controls/DialogSupport.h"
#include "controls/Icons.h"
#include "objects/graphic/BarcodeSymbol.h"
#include "objects/graphic/Gbarcode.h"
#include "objects/text/TextFont.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int Angles[] = {0, 90, 180, 270};
constexpr double MilsPerInch = 1000.0;

// The sample drawn fitted into the preview box (at most 4 times its size):
// the label white as it prints, the box around it in the window's colours.
class TBarcodePreview : public QWidget
{
public:
    TBarcodePreview(TGBarcode *sample, QWidget *parent) : QWidget(parent), mSample(sample) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Mid));
        const int w = mSample->Width(), h = mSample->Height();
        if (w <= 0 || h <= 0)
            return;
        const double k = std::min({4.0, (width() - 8.0) / w, (height() - 8.0) / h});
        p.translate((width() - w * k) / 2.0, (height() - h * k) / 2.0);
        p.scale(k, k);
        p.fillRect(QRectF(0, 0, w, h), Qt::white);
        mSample->PaintTo(p);
    }

private:
    TGBarcode *mSample;
};

QCheckBox *check(QWidget *parent, const char *name, const QString &caption)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

}  // namespace

TBarcodeProperties::TBarcodeProperties(QWidget *parent)
    : QDialog(parent)
{
    SetupFixedDialog(this, QStringLiteral("Barcode Properties"), 640, 500);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);

    mSample = new TGBarcode(nullptr);
    mSample->setParent(this);
    mSample->hide();

    auto *fields = new QWidget(this);
    fields->setGeometry(8, 8, 300, 500 - 48);
    auto *form = new QFormLayout(fields);
    form->setContentsMargins(0, 0, 0, 0);

    SymbologyBox = new QComboBox(fields);
    SymbologyBox->setObjectName(QStringLiteral("SymbologyBox"));
    SymbologyBox->setMaxVisibleItems(24);
    auto *model = new QStandardItemModel(SymbologyBox);
    for (barcode::TGroup group : {barcode::TGroup::Linear, barcode::TGroup::TwoD, barcode::TGroup::Postal,
                                  barcode::TGroup::GS1}) {
        auto *header = new QStandardItem(barcode::GroupCaption(group));
        QFont bold = f;
        bold.setBold(true);
        header->setFont(bold);
        header->setFlags(Qt::NoItemFlags);
        model->appendRow(header);
        for (const barcode::TSymbology &s : barcode::Symbologies()) {
            if (s.group != group)
                continue;
            auto *item = new QStandardItem(QStringLiteral("    ") + s.caption);
            item->setData(s.id, Qt::UserRole);
            model->appendRow(item);
        }
    }
    SymbologyBox->setModel(model);
    form->addRow(QStringLiteral("Symbology"), SymbologyBox);

    DataEdit = new QLineEdit(fields);
    DataEdit->setObjectName(QStringLiteral("DataEdit"));
    form->addRow(QStringLiteral("Data"), DataEdit);
    UseCounterBox = check(fields, "UseCounterBox", QStringLiteral("Take the number from the label's counter"));
    form->addRow(QString(), UseCounterBox);
    GS1Box = check(fields, "GS1Box", QStringLiteral("GS1 data ([AI] or (AI) element strings)"));
    form->addRow(QString(), GS1Box);

    ShowTextBox = check(fields, "ShowTextBox", QStringLiteral("Show the human-readable text"));
    FontButton = new QPushButton(QStringLiteral("Font..."), fields);
    FontButton->setObjectName(QStringLiteral("FontButton"));
    FontButton->setAutoDefault(false);
    form->addRow(QString(), ShowTextBox);
    form->addRow(QStringLiteral("Text font"), FontButton);

    ForeColorBox = new TColorComboBox(fields);
    ForeColorBox->setObjectName(QStringLiteral("ForeColorBox"));
    form->addRow(QStringLiteral("Bar color"), ForeColorBox);
    BackColorBox = new TColorComboBox(fields);
    BackColorBox->setObjectName(QStringLiteral("BackColorBox"));
    form->addRow(QStringLiteral("Background"), BackColorBox);
    TransparentBox = check(fields, "TransparentBox", QStringLiteral("Transparent background"));
    form->addRow(QString(), TransparentBox);

    FitBox = check(fields, "FitBox", QStringLiteral("Fit to the frame"));
    form->addRow(QString(), FitBox);
    ModuleEdit = new QDoubleSpinBox(fields);
    ModuleEdit->setObjectName(QStringLiteral("ModuleEdit"));
    ModuleEdit->setRange(TGBarcode::MinModuleWidth * MilsPerInch, 100);
    ModuleEdit->setDecimals(1);
    ModuleEdit->setSingleStep(1);
    ModuleEdit->setSuffix(QStringLiteral(" mil"));
    form->addRow(QStringLiteral("Module width"), ModuleEdit);

    AngleBox = new QComboBox(fields);
    AngleBox->setObjectName(QStringLiteral("AngleBox"));
    AngleBox->addItems({QStringLiteral("No Rotation"), QStringLiteral("90 Degrees"),
                        QStringLiteral("180 Degrees"), QStringLiteral("270 Degrees")});
    form->addRow(QStringLiteral("Rotation"), AngleBox);
    QuietZonesBox = check(fields, "QuietZonesBox", QStringLiteral("Quiet zones"));
    form->addRow(QString(), QuietZonesBox);
    CheckDigitBox = check(fields, "CheckDigitBox", QStringLiteral("Add a check digit"));
    form->addRow(QString(), CheckDigitBox);
    ErrorCorrectionEdit = new QSpinBox(fields);
    ErrorCorrectionEdit->setObjectName(QStringLiteral("ErrorCorrectionEdit"));
    ErrorCorrectionEdit->setSpecialValueText(QStringLiteral("Automatic"));
    form->addRow(QStringLiteral("Error correction"), ErrorCorrectionEdit);
    SizeEdit = new QSpinBox(fields);
    SizeEdit->setObjectName(QStringLiteral("SizeEdit"));
    SizeEdit->setSpecialValueText(QStringLiteral("Automatic"));
    form->addRow(QStringLiteral("Size (version)"), SizeEdit);

    auto *previewBox = new QGroupBox(QStringLiteral("Preview"), this);
    previewBox->setGeometry(316, 8, 316, 340);
    auto *previewLayout = new QVBoxLayout(previewBox);
    Preview = new TBarcodePreview(mSample, previewBox);
    Preview->setObjectName(QStringLiteral("Preview"));
    previewLayout->addWidget(Preview);

    MessageLabel = new QLabel(this);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    MessageLabel->setGeometry(316, 352, 316, 100);
    MessageLabel->setWordWrap(true);
    MessageLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Buttons = new TDialogButtonStrip(this, HelpTopic);
    Buttons->setGeometry(0, 500 - 40, 640, 40);

    auto fieldChanged = [this] {
        if (!mLoading)
            takeFields();
    };
    connect(SymbologyBox, &QComboBox::currentIndexChanged, this, fieldChanged);
    connect(DataEdit, &QLineEdit::textChanged, this, fieldChanged);
    for (QCheckBox *box : {UseCounterBox, GS1Box, ShowTextBox, TransparentBox, FitBox, QuietZonesBox,
                           CheckDigitBox})
        connect(box, &QCheckBox::toggled, this, fieldChanged);
    connect(ForeColorBox, &TColorComboBox::colorChanged, this, fieldChanged);
    connect(BackColorBox, &TColorComboBox::colorChanged, this, fieldChanged);
    connect(ModuleEdit, &QDoubleSpinBox::valueChanged, this, fieldChanged);
    connect(AngleBox, &QComboBox::currentIndexChanged, this, fieldChanged);
    connect(ErrorCorrectionEdit, &QSpinBox::valueChanged, this, fieldChanged);
    connect(SizeEdit, &QSpinBox::valueChanged, this, fieldChanged);
    connect(FontButton, &QPushButton::clicked, this, [this] {
        if (const std::optional<QFont> chosen =
                PickFont(DialogFont(*mSample->Font()), this, QFontDialog::ScalableFonts)) {
            AssignDialogFont(*mSample->Font(), *chosen);
            refresh();
        }
    });
}

TBarcodeProperties::~TBarcodeProperties() = default;

void TBarcodeProperties::ShowSampleValues()
{
    mLoading = true;
    const int index = SymbologyBox->findData(mSample->Symbology(), Qt::UserRole);
    SymbologyBox->setCurrentIndex(index);
    DataEdit->setText(mSample->Data());
    UseCounterBox->setChecked(mSample->UseCounter());
    GS1Box->setChecked(mSample->GS1Data());
    ShowTextBox->setChecked(mSample->ShowText());
    ForeColorBox->setColor(mSample->ForeColor());
    BackColorBox->setColor(mSample->BackColor());
    TransparentBox->setChecked(mSample->Transparent());
    FitBox->setChecked(!(mSample->ModuleWidth() > 0));
    ModuleEdit->setValue(mSample->ModuleWidth() > 0 ? mSample->ModuleWidth() * MilsPerInch : 13.0);
    const int a = ((mSample->Angle() % 360) + 360) % 360;
    AngleBox->setCurrentIndex(a % 90 == 0 ? a / 90 : 0);
    QuietZonesBox->setChecked(mSample->QuietZones());
    CheckDigitBox->setChecked(mSample->CheckDigit());
    showOptions();
    ErrorCorrectionEdit->setValue(mSample->ErrorCorrection());
    SizeEdit->setValue(mSample->SymbolSize());
    mLoading = false;
    refresh();
}

void TBarcodeProperties::takeFields()
{
    const QVariant id = SymbologyBox->currentData(Qt::UserRole);
    if (id.isValid())
        mSample->SetSymbology(id.toInt());
    mSample->SetData(DataEdit->text());
    mSample->SetUseCounter(UseCounterBox->isChecked());
    mSample->SetGS1Data(GS1Box->isChecked());
    mSample->SetShowText(ShowTextBox->isChecked());
    mSample->SetForeColor(ForeColorBox->color());
    mSample->SetBackColor(BackColorBox->color());
    mSample->SetTransparent(TransparentBox->isChecked());
    mSample->SetModuleWidth(FitBox->isChecked() ? 0.0 : ModuleEdit->value() / MilsPerInch);
    mSample->SetAngle(Angles[std::clamp(AngleBox->currentIndex(), 0, 3)]);
    mSample->SetQuietZones(QuietZonesBox->isChecked());
    mSample->SetCheckDigit(CheckDigitBox->isChecked());
    mLoading = true;
    showOptions();
    mLoading = false;
    mSample->SetErrorCorrection(ErrorCorrectionEdit->isEnabled() ? ErrorCorrectionEdit->value() : 0);
    mSample->SetSymbolSize(SizeEdit->isEnabled() ? SizeEdit->value() : 0);
    refresh();
}

void TBarcodeProperties::showOptions()
{
    const int id = mSample->Symbology();
    DataEdit->setEnabled(!UseCounterBox->isChecked());
    GS1Box->setEnabled(barcode::AcceptsGS1Mode(id) && !barcode::IsGS1Symbology(id));
    CheckDigitBox->setEnabled(barcode::HasCheckDigitOption(id));
    FontButton->setEnabled(ShowTextBox->isChecked());
    BackColorBox->setEnabled(!TransparentBox->isChecked());
    ModuleEdit->setEnabled(!FitBox->isChecked());
    const barcode::TRange ec = barcode::ErrorCorrectionRange(id);
    ErrorCorrectionEdit->setEnabled(!ec.isEmpty());
    ErrorCorrectionEdit->setRange(ec.min, std::max(ec.min, ec.max));
    const barcode::TRange size = barcode::SizeRange(id);
    SizeEdit->setEnabled(!size.isEmpty());
    SizeEdit->setRange(size.min, std::max(size.min, size.max));
}

QString TBarcodeProperties::Message() const
{
    return mSample->Symbol().error;
}

void TBarcodeProperties::refresh()
{
    const QString message = Message();
    if (message.isEmpty()) {
        MessageLabel->setStyleSheet(QString());
        MessageLabel->setText(QStringLiteral("Encodes: ") + mSample->DrawnData().toHtmlEscaped());
    } else {
        // A red that reads on the window's ground, light or dark.
        MessageLabel->setStyleSheet(IsDarkPalette(MessageLabel->palette()) ? QStringLiteral("color: #ff8a80")
                                                                           : QStringLiteral("color: #b00000"));
        MessageLabel->setText(message.toHtmlEscaped());
    }
    Preview->update();
}
