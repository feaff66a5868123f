#include "Edittpl.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include <iterator>

namespace {

constexpr double MMPerInch = 25.4;
constexpr double InchPerMM = 0.039370078740157480314;

// Number formats of the measurement edits.
constexpr int Digits = 6;
constexpr int InchDecimals = 3;
constexpr int MMDecimals = 2;

const char *const PaperCodes[] = {"LTR", "LTRL", "A4", "A4L", "A5"};
const char *const ShapeCodes[] = {"RR", "SR", "EL"};

struct PaperDimensions
{
    double widthInches, heightInches, widthMM, heightMM;
};
const PaperDimensions Papers[] = {
    {8.5, 11, 215.9, 279.4},
    {11, 8.5, 279.4, 215.9},
    {8.27, 11.69, 210.058, 296.926},
    {11.69, 8.27, 296.926, 210.058},
    {5.82, 8.27, 147.828, 210.058},
};

void informationBox(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

// NumberValidator: an optional minus, digits and one point, with at most
// `digits` digits in all and `decimals` after the point.
class NumberValidator : public QValidator
{
public:
    NumberValidator(int digits, int decimals, QObject *parent)
        : QValidator(parent), mDigits(digits), mDecimals(decimals) {}

    State validate(QString &input, int &) const override
    {
        int digits = 0, decimals = 0;
        bool point = false;
        for (qsizetype i = 0; i < input.size(); ++i) {
            const QChar c = input.at(i);
            if (c == QLatin1Char('-') && i == 0)
                continue;
            if (c == QLatin1Char('.') && !point) {
                point = true;
                continue;
            }
            if (!c.isDigit() || c.unicode() > '9')
                return Invalid;
            if (++digits > mDigits || (point && ++decimals > mDecimals))
                return Invalid;
        }
        return digits > 0 ? Acceptable : Intermediate;
    }

private:
    int mDigits;
    int mDecimals;
};

// Millimetres typed become inches rounded to three decimals, as the
// fixed-point text of the value read back.
double inchesFromMM(double mm)
{
    return QString::number(mm * InchPerMM, 'f', 3).toDouble();
}

}  // namespace

NumberEdit::NumberEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setFormat(Digits, InchDecimals, 1);
}

void NumberEdit::setFormat(int digits, int decimals, int minDecimals)
{
    mDigits = digits;
    mDecimals = decimals;
    mMinDecimals = minDecimals;
    delete validator();
    setValidator(new NumberValidator(digits, decimals, this));
}

double NumberEdit::value() const
{
    bool ok = false;
    const double v = text().toDouble(&ok);
    return ok ? v : 0.0;
}

void NumberEdit::setValue(double value)
{
    QString s = QString::number(value, 'f', mDecimals);
    const int point = int(s.indexOf(QLatin1Char('.')));
    if (point >= 0) {
        int keep = int(s.size());
        while (keep - point - 1 > mMinDecimals && s.at(keep - 1) == QLatin1Char('0'))
            --keep;
        if (keep == point + 1)
            --keep;  // no decimals wanted: drop the point too
        s.truncate(keep);
    }
    if (s.startsWith(QLatin1Char('-')) && s.toDouble() == 0)
        s.remove(0, 1);
    setText(s);
}

void NumberEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    Q_EMIT left();
}

TUserEditLabelLayout::TUserEditLabelLayout(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("User Defined Label Layout"));
    ShowMessage = [this](const QString &message) { informationBox(this, message); };

    mInches = new QRadioButton(QStringLiteral("Use &Inches"), this);
    mInches->setObjectName(QStringLiteral("Inchesbutton"));
    mInches->setChecked(true);
    mMM = new QRadioButton(QStringLiteral("Use &Millimeters"), this);
    mMM->setObjectName(QStringLiteral("MMButton"));

    auto numberEdit = [this](const char *name) {
        auto *e = new NumberEdit(this);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    mLabelWidth = numberEdit("elblwidth");
    mLabelHeight = numberEdit("elblHeight");
    mHorizPitch = numberEdit("eHorizPitch");
    mVertPitch = numberEdit("eVertPitch");
    mLeftMargin = numberEdit("eleftmarg");
    mTopMargin = numberEdit("etopmarg");
    mSheetWidth = numberEdit("esheetwidth");
    mSheetDepth = numberEdit("esheetdepth");
    for (NumberEdit *e : {mSheetWidth, mSheetDepth}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    }

    mAcross = new QSpinBox(this);
    mAcross->setObjectName(QStringLiteral("enbracross"));
    mAcross->setRange(1, 10);
    mAcross->setValue(1);
    mDown = new QSpinBox(this);
    mDown->setObjectName(QStringLiteral("enbrdown"));
    mDown->setRange(1, 30);
    mDown->setValue(1);

    mPaperSize = new QComboBox(this);
    mPaperSize->setObjectName(QStringLiteral("epapersize"));
    mPaperSize->addItems({QStringLiteral("Letter (8.5 x 11\")"),
                          QStringLiteral("Letter Landscape (11 x 8.5\")"),
                          QStringLiteral("A4 (210 x 297mm)"),
                          QStringLiteral("A4 Landscape ( 297 x 210mm)"),
                          QStringLiteral("A5 (148 x 210mm)")});
    mLabelShape = new QComboBox(this);
    mLabelShape->setObjectName(QStringLiteral("eLabelShape"));
    mLabelShape->addItems({QStringLiteral("Rectangular with Rounded Edges"),
                           QStringLiteral("Rectangular"), QStringLiteral("Round")});

    auto *okButton = new QPushButton(QStringLiteral("Ok"), this);
    okButton->setObjectName(QStringLiteral("OkButton"));
    okButton->setDefault(true);
    auto *cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto *helpButton = new QPushButton(QStringLiteral("Help"), this);
    helpButton->setObjectName(QStringLiteral("HelpButton"));

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    auto field = [&](int row, int column, const char *caption, QWidget *w, int span = 1) {
        auto *label = new QLabel(QLatin1String(caption), this);
        label->setBuddy(w);
        grid->addWidget(label, row, column * 2);
        grid->addWidget(w, row, column * 2 + 1, 1, span);
    };
    field(0, 0, "Label Width", mLabelWidth);
    field(0, 1, "Label Height", mLabelHeight);
    field(1, 0, "Horizontal Pitch", mHorizPitch);
    field(1, 1, "Vertical Pitch", mVertPitch);
    field(2, 0, "# across", mAcross);
    field(2, 1, "# down", mDown);
    field(3, 0, "Left Margin", mLeftMargin);
    field(3, 1, "Top Margin", mTopMargin);
    field(4, 0, "Paper size", mPaperSize, 3);
    field(5, 0, "Paper Width", mSheetWidth);
    field(5, 1, "Paper Height", mSheetDepth);
    field(6, 0, "Label Shape", mLabelShape, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto *units = new QHBoxLayout;
    units->addWidget(mInches);
    units->addWidget(mMM);
    units->addStretch(1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(helpButton);
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto *top = new QVBoxLayout(this);
    top->addLayout(units);
    top->addSpacing(6);
    top->addLayout(grid);
    top->addStretch(1);
    top->addLayout(buttons);
    resize(416, 321);

    QWidget *const tabOrder[] = {mInches, mMM, mLabelWidth, mLabelHeight, mHorizPitch,
                                 mVertPitch, mAcross, mDown, mLeftMargin, mTopMargin,
                                 mPaperSize, mLabelShape, okButton, cancelButton, helpButton};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(mMM, &QRadioButton::toggled, this, [this](bool checked) {
        if (mActivated && checked != mShowingMM)
            ShowUnits(checked);
    });
    connect(mPaperSize, &QComboBox::activated, this, &TUserEditLabelLayout::PaperSizeChange);
    connect(mLabelWidth, &NumberEdit::left, this, &TUserEditLabelLayout::LabelWidthExit);
    connect(mLabelHeight, &NumberEdit::left, this, &TUserEditLabelLayout::LabelHeightExit);
    connect(okButton, &QPushButton::clicked, this, &TUserEditLabelLayout::OkButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(HelpTopic); });
}

void TUserEditLabelLayout::SetFromLayout(const TLabelLayout &l)
{
    LabelHeight = float(l.LabelHeight);
    LabelWidth = float(l.LabelWidth);
    Across = l.Across;
    Down = l.Down;
    TopMargin = float(l.TopMargin);
    LeftMargin = float(l.LeftMargin);
    HorizontalPitch = float(l.HorizontalPitch);
    VerticalPitch = float(l.VerticalPitch);
    PageWidth = float(l.PageWidth);
    PageHeight = float(l.PageHeight);
    PaperSize = l.PaperSize;
    LabelShape = l.LabelShape;
}

TLabelLayout TUserEditLabelLayout::UserDefinedLayout() const
{
    TLabelLayout l;
    l.Name = QStringLiteral("USER DEFINED");
    l.LabelHeight = LabelHeight;
    l.LabelWidth = LabelWidth;
    l.Across = Across;
    l.Down = Down;
    l.TopMargin = TopMargin;
    l.LeftMargin = LeftMargin;
    l.HorizontalPitch = HorizontalPitch;
    l.VerticalPitch = VerticalPitch;
    l.PageWidth = PageWidth;
    l.PageHeight = PageHeight;
    l.ColumnGap = 0;
    l.RowGap = 0;
    l.PaperSize = PaperSize;
    l.LabelShape = LabelShape;
    return l;
}

bool TUserEditLabelLayout::UseMM() const
{
    return mMM->isChecked();
}

void TUserEditLabelLayout::SetUseMM(bool useMM)
{
    (useMM ? mMM : mInches)->setChecked(true);
}

QList<NumberEdit *> TUserEditLabelLayout::measurementEdits() const
{
    return {mLabelWidth, mLabelHeight, mHorizPitch, mVertPitch,
            mLeftMargin, mTopMargin, mSheetWidth, mSheetDepth};
}

void TUserEditLabelLayout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (mActivated)
        return;
    FillEdits();
    mActivated = true;
    if (mMM->isChecked())
        ShowUnits(true);
}

void TUserEditLabelLayout::FillEdits()
{
    mLabelWidth->setValue(LabelWidth);
    mLabelHeight->setValue(LabelHeight);
    mHorizPitch->setValue(HorizontalPitch);
    mVertPitch->setValue(VerticalPitch);
    mLeftMargin->setValue(LeftMargin);
    mTopMargin->setValue(TopMargin);
    mSheetWidth->setValue(PageWidth);
    mSheetDepth->setValue(PageHeight);
    mAcross->setValue(Across);
    mDown->setValue(Down);

    if (LabelShape == QLatin1String("RR"))
        mLabelShape->setCurrentIndex(0);
    else if (LabelShape == QLatin1String("SR"))
        mLabelShape->setCurrentIndex(1);
    else
        mLabelShape->setCurrentIndex(2);

    int paper = 0;
    for (int i = 0; i < int(std::size(PaperCodes)); ++i) {
        if (PaperSize == QLatin1String(PaperCodes[i]))
            paper = i;
    }
    mPaperSize->setCurrentIndex(paper);
}

void TUserEditLabelLayout::ShowUnits(bool millimetres)
{
    const double factor = millimetres ? MMPerInch : InchPerMM;
    for (NumberEdit *e : measurementEdits()) {
        const double v = e->value() * factor;
        if (millimetres)
            e->setFormat(Digits, MMDecimals, MMDecimals);
        else
            e->setFormat(Digits, InchDecimals, 1);
        e->setValue(v);
    }
    mShowingMM = millimetres;
}

void TUserEditLabelLayout::PaperSizeChange(int item)
{
    if (item < 0 || item >= int(std::size(Papers)))
        return;
    const PaperDimensions &p = Papers[item];
    mSheetWidth->setValue(mShowingMM ? p.widthMM : p.widthInches);
    mSheetDepth->setValue(mShowingMM ? p.heightMM : p.heightInches);
}

void TUserEditLabelLayout::LabelWidthExit()
{
    if (mLabelWidth->value() > mHorizPitch->value())
        mHorizPitch->setText(mLabelWidth->text());
}

void TUserEditLabelLayout::LabelHeightExit()
{
    if (mLabelHeight->value() > mVertPitch->value())
        mVertPitch->setText(mLabelHeight->text());
}

void TUserEditLabelLayout::ValidLabel() const
{
    if (LabelHeight < 0.3)
        throw EValid(QStringLiteral("Label Height must be at least .3 inches (or 7mm)"));
    if (LabelWidth < 0.5)
        throw EValid(QStringLiteral("Label Width must be at least .5 inch (or 13mm)"));
    if (Across >= 2 && LabelWidth > HorizontalPitch)
        throw EValid(QStringLiteral("Horizontal Pitch must be at least = Label Width"));
    if (Down >= 2 && LabelHeight > VerticalPitch)
        throw EValid(QStringLiteral("Vertical Pitch must be at least = Label Height"));
    if (PageWidth < 0.3)
        throw EValid(QStringLiteral("Page Width must be at least .3 inch"));
    if (PageHeight < 0.3)
        throw EValid(QStringLiteral("Page Height must be at least .3 inches"));
}

void TUserEditLabelLayout::OkButtonClick()
{
    Down = mDown->value();
    Across = mAcross->value();
    const bool mm = mShowingMM;
    auto inches = [mm](const NumberEdit *e) {
        return float(mm ? inchesFromMM(e->value()) : e->value());
    };
    LabelWidth = inches(mLabelWidth);
    LabelHeight = inches(mLabelHeight);
    HorizontalPitch = inches(mHorizPitch);
    VerticalPitch = inches(mVertPitch);
    LeftMargin = inches(mLeftMargin);
    TopMargin = inches(mTopMargin);
    PageWidth = inches(mSheetWidth);
    PageHeight = inches(mSheetDepth);
    const int paper = mPaperSize->currentIndex();
    if (paper >= 0 && paper < int(std::size(PaperCodes)))
        PaperSize = QLatin1String(PaperCodes[paper]);
    const int shape = mLabelShape->currentIndex();
    if (shape >= 0 && shape < int(std::size(ShapeCodes)))
        LabelShape = QLatin1String(ShapeCodes[shape]);

    try {
        ValidLabel();
    } catch (const EValid &e) {
        ShowMessage(e.message());
        return;
    }
    accept();
}
