#include "Gf3d.h"

#include "Gplabel.h"
#include "controls/ColorCombo.h"
#include "controls/DialogSupport.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

QComboBox *addList(QWidget *parent, const char *name, const QString &caption, int x, int y,
                   const QStringList &items)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(x, y, 137, 14);
    auto *list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(x, y + 16, 137, 22);
    list->addItems(items);
    list->setMaxVisibleItems(12);
    label->setBuddy(list);
    return list;
}

TColorComboBox *addColors(QWidget *parent, const char *name, const QString &caption, int x, int y)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(x, y, 137, 14);
    auto *combo = new TColorComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setGeometry(x, y + 16, 137, 22);
    label->setBuddy(combo);
    return combo;
}

QStringList depths()
{
    QStringList l;
    for (int i = 0; i <= 10; ++i)
        l << QString::number(i);
    return l;
}

}  // namespace

TGFont3DEffects::TGFont3DEffects(TGBaseLabel *object, QWidget *parent)
    : QDialog(parent)
    , mObject(object)
{
    SetupFixedDialog(this, QStringLiteral("Text 3D Effects"), 467, 338);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);

    const int left = 15, middle = 165, right = 315;
    ShadowDirection = addList(this, "ShadowDirection", QStringLiteral("Shadow Direction"), left, 12,
                              {QStringLiteral("None"), QStringLiteral("Right"), QStringLiteral("Left"),
                               QStringLiteral("Lower Right"), QStringLiteral("Lower Left"), QStringLiteral("Down")});
    ShadowColorCombo = addColors(this, "ShadowColorCombo", QStringLiteral("Shadow Color"), left, 62);
    ShadowDepth = addList(this, "ShadowDepth", QStringLiteral("Shadow Depth"), left, 112, depths());
    HighlightDirection = addList(this, "HighlightDirection", QStringLiteral("Highlight Direction"), middle, 12,
                                 {QStringLiteral("None"), QStringLiteral("Right"), QStringLiteral("Left"),
                                  QStringLiteral("Upper Right"), QStringLiteral("Upper Left"), QStringLiteral("Up")});
    HighLightColorCombo = addColors(this, "HighLightColorCombo", QStringLiteral("Highlight Color"), middle, 62);
    HighLightDepth = addList(this, "HighLightDepth", QStringLiteral("Highlight Depth"), middle, 112, depths());
    FontColorCombo = addColors(this, "FontColorCombo", QStringLiteral("Font Color"), right, 12);

    Panel4 = new QFrame(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel4->setGeometry(15, 174, 437, 85);
    Panel4->setAutoFillBackground(true);
    QPalette pal = Panel4->palette();
    pal.setColor(QPalette::Window, Qt::white);
    Panel4->setPalette(pal);

    Sample = new TGPLabel();
    Sample->setParent(Panel4);
    Sample->SetCaption(QStringLiteral("Text"));
    Sample->SetTransparent(true);
    Sample->SetBackColor(cl::White);
    Sample->SetBorderStyle(bsNone);

    Buttons = new TDialogButtonStrip(this, 40008);
    Buttons->setGeometry(0, 338 - 40, 467, 40);
    disconnect(Buttons->okButton(), nullptr, this, nullptr);
    connect(Buttons->okButton(), &QPushButton::clicked, this, &TGFont3DEffects::OkButtonClick);

    connect(ShadowDirection, &QComboBox::activated, this,
            [this](int i) { Sample->SetDirectionShadow(TShadowDirection(i)); });
    connect(ShadowDepth, &QComboBox::activated, this, [this](int i) { Sample->SetDepthShadow(i); });
    connect(HighlightDirection, &QComboBox::activated, this,
            [this](int i) { Sample->SetDirectionHighlight(THighlightDirection(i)); });
    connect(HighLightDepth, &QComboBox::activated, this, [this](int i) { Sample->SetDepthHighlight(i); });
    connect(ShadowColorCombo, &TColorComboBox::colorChanged, this, [this](TColor c) { Sample->SetcolorShadow(c); });
    connect(HighLightColorCombo, &TColorComboBox::colorChanged, this,
            [this](TColor c) { Sample->SetcolorHighlight(c); });
    connect(FontColorCombo, &TColorComboBox::colorChanged, this, [this](TColor c) { Sample->Font()->SetColor(c); });

    PlaceDialog(this);
    FormActivate();
}

// Runs once when the dialog is built: a second activation (after the help
// box, say) must not throw away what was chosen meanwhile.
void TGFont3DEffects::FormActivate()
{
    Sample->Font()->Assign(*mObject->Font());
    Sample->SetDepthHighlight(mObject->DepthHighlight());
    Sample->SetDepthShadow(mObject->DepthShadow());
    Sample->SetDirectionHighlight(mObject->DirectionHighlight());
    Sample->SetDirectionShadow(mObject->DirectionShadow());
    Sample->SetcolorHighlight(mObject->colorHighlight());
    Sample->SetcolorShadow(mObject->colorShadow());
    Sample->SetBounds(0, 0, Panel4->width(), Panel4->height());

    HighLightColorCombo->setColor(mObject->colorHighlight());
    ShadowColorCombo->setColor(mObject->colorShadow());
    FontColorCombo->setColor(mObject->Font()->Color());
    const auto select = [](QComboBox *list, int index) {
        list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    };
    select(ShadowDirection, mObject->DirectionShadow());
    select(ShadowDepth, mObject->DepthShadow());
    select(HighlightDirection, mObject->DirectionHighlight());
    select(HighLightDepth, mObject->DepthHighlight());
}

void TGFont3DEffects::OkButtonClick()
{
    mObject->Font()->Assign(*Sample->Font());
    mObject->SetDepthHighlight(Sample->DepthHighlight());
    mObject->SetDepthShadow(Sample->DepthShadow());
    mObject->SetDirectionHighlight(Sample->DirectionHighlight());
    mObject->SetDirectionShadow(Sample->DirectionShadow());
    mObject->SetcolorHighlight(Sample->colorHighlight());
    mObject->SetcolorShadow(Sample->colorShadow());
    accept();
}
