#include "print/MergeSourceDialog.h"

#include "storage/DesignProperties.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TMergeSourceDialog::TMergeSourceDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Mail Merge Data"));
    setObjectName(QStringLiteral("MergeSourceDialog"));
    mFile = new QLineEdit;
    mFile->setObjectName(QStringLiteral("DataFile"));
    mFile->setMinimumWidth(320);
    auto *browseButton = new QPushButton(QStringLiteral("&Browse..."));
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(mFile, 1);
    fileRow->addWidget(browseButton);
    mHeader = new QCheckBox(QStringLiteral("&First row holds the field names"));
    mHeader->setChecked(true);
    mDelimiter = new QComboBox;
    mDelimiter->addItems({QStringLiteral("Detect"), QStringLiteral("Comma"), QStringLiteral("Tab"),
                          QStringLiteral("Semicolon")});
    mEncoding = new QComboBox;
    mEncoding->addItems({QStringLiteral("Detect"), QStringLiteral("UTF-8"),
                         QStringLiteral("Windows-1252")});
    mStatus = new QLabel;
    mStatus->setObjectName(QStringLiteral("DataStatus"));
    mStatus->setWordWrap(true);
    mStatus->setTextFormat(Qt::PlainText);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Data &file"), fileRow);
    form->addRow(QString(), mHeader);
    form->addRow(QStringLiteral("&Separator"), mDelimiter);
    form->addRow(QStringLiteral("&Encoding"), mEncoding);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Place fields such as ${Name} or ${City:=unknown} in "
                                                "any text; without a header row they are ${1}, ${2} ...")));
    layout->addWidget(mStatus);
    layout->addWidget(buttons);

    connect(browseButton, &QPushButton::clicked, this, &TMergeSourceDialog::browse);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(mFile, &QLineEdit::editingFinished, this, &TMergeSourceDialog::UpdateStatus);
    connect(mHeader, &QCheckBox::toggled, this, &TMergeSourceDialog::UpdateStatus);
    connect(mDelimiter, &QComboBox::activated, this, &TMergeSourceDialog::UpdateStatus);
    connect(mEncoding, &QComboBox::activated, this, &TMergeSourceDialog::UpdateStatus);
}

void TMergeSourceDialog::SetValues(const TDesignProperties &design)
{
    mFile->setText(design.MergeSource());
    mHeader->setChecked(design.MergeHeader());
    mDelimiter->setCurrentIndex(design.MergeDelimiter());
    mEncoding->setCurrentIndex(design.MergeEncoding());
    UpdateStatus();
}

bool TMergeSourceDialog::ApplyTo(TDesignProperties &design) const
{
    TDesignProperties wanted;
    wanted.SetMergeSource(mFile->text().trimmed());
    wanted.SetMergeHeader(mHeader->isChecked());
    wanted.SetMergeDelimiter(TMergeDelimiter(mDelimiter->currentIndex()));
    wanted.SetMergeEncoding(TMergeEncoding(mEncoding->currentIndex()));
    if (wanted.MergeSource() == design.MergeSource() && wanted.MergeHeader() == design.MergeHeader()
        && wanted.MergeDelimiter() == design.MergeDelimiter()
        && wanted.MergeEncoding() == design.MergeEncoding())
        return false;
    design.SetMergeSource(wanted.MergeSource());
    design.SetMergeHeader(wanted.MergeHeader());
    design.SetMergeDelimiter(wanted.MergeDelimiter());
    design.SetMergeEncoding(wanted.MergeEncoding());
    return true;
}

void TMergeSourceDialog::UpdateStatus()
{
    const QString file = mFile->text().trimmed();
    if (file.isEmpty()) {
        mStatus->setText(QStringLiteral("No data file: the fields are printed as written."));
        return;
    }
    TMergeOptions options;
    options.Header = mHeader->isChecked();
    options.Delimiter = TMergeDelimiter(mDelimiter->currentIndex());
    options.Encoding = TMergeEncoding(mEncoding->currentIndex());
    TMergeSource source(file, options);
    try {
        source.Open();
        mStatus->setText(QStringLiteral("%1 records; fields: %2")
                             .arg(source.RecordCount())
                             .arg(source.Fields()->Names().mid(0, 12).join(QStringLiteral(", "))));
    } catch (const EMergeError &e) {
        mStatus->setText(e.message());
    }
}

void TMergeSourceDialog::browse()
{
    const QString start = mFile->text().isEmpty() ? QString() : QFileInfo(mFile->text()).absolutePath();
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("Mail Merge Data"), start,
        QStringLiteral("Data files (*.csv *.tsv *.tab *.txt);;All files (*)"));
    if (file.isEmpty())
        return;
    mFile->setText(QFileInfo(file).absoluteFilePath());
    UpdateStatus();
}
