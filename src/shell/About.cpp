#include "About.h"

#include "controls/DialogSupport.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

QString TAboutBox::LicenceText()
{
    // The licence is chosen when the program is built (QM_LICENSE, an SPDX
    // identifier); "LicenseRef-proprietary" means no licence is granted.
    const QString id = QStringLiteral(QM_LICENSE);
    if (id.isEmpty() || id == QLatin1String("LicenseRef-proprietary"))
        return QStringLiteral("Licence: proprietary, all rights reserved.");
    return QStringLiteral("Licence: ") + id;
}

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
    auto *build = new QLabel(QStringLiteral("Built on ") + QStringLiteral(QM_BUILD_DATE)
                                 + QStringLiteral(" with Qt ") + QStringLiteral(QT_VERSION_STR)
                                 + QStringLiteral(", running on Qt ") + QString::fromLatin1(qVersion()),
                             this);
    build->setObjectName(QStringLiteral("BuildInfo"));
    auto *licence = new QLabel(LicenceText(), this);
    licence->setObjectName(QStringLiteral("Licence"));
    licence->setWordWrap(true);

    auto *text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(about);
    text->addWidget(build);
    text->addWidget(licence);
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
