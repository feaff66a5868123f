#include "About.h"

#include "controls/DialogSupport.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Quillmark"));

    auto *icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/shell/quillmark.svg")).pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    auto *name = new QLabel(QStringLiteral("Quillmark"), this);
    name->setObjectName(QStringLiteral("ProductName"));
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    name->setFont(big);

    auto *version = new QLabel(QStringLiteral("Version ") + QStringLiteral(QM_VERSION), this);
    version->setObjectName(QStringLiteral("Version"));
    auto *about = new QLabel(QStringLiteral("Designs labels and prints them on sheets of label stock."), this);

    auto *text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(about);
    text->addStretch();

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    adjustSize();
    PlaceDialog(this);
}
