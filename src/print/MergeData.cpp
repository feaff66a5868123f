#include "print/MergeData.h"

#include "controls/SpinEdit.h"
#include "design/Gbasepnl.h"
#include "storage/DesignProperties.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>

namespace {

TSpinEdit *spin(int minimum, int maximum, int value, const char *name)
{
    auto *edit = new TSpinEdit;
    edit->setObjectName(QString::fromLatin1(name));
    // Equal bounds would mean none at all.
    edit->setRange(minimum, std::max(maximum, minimum + 1));
    edit->setValue(value);
    edit->setFixedWidth(70);
    return edit;
}

}  // namespace

TMergeDataSection::TMergeDataSection(QWidget *parent) : QGroupBox(QStringLiteral("Data"), parent)
{
    setObjectName(QStringLiteral("DataSection"));
    mSourceCaption = new QLabel;
    mSourceCaption->setObjectName(QStringLiteral("DataSource"));
    mCountCaption = new QLabel;
    mCountCaption->setObjectName(QStringLiteral("RecordCount"));
    mCountCaption->setWordWrap(true);
    mFieldsCaption = new QLabel;
    mFieldsCaption->setObjectName(QStringLiteral("FirstRecord"));
    mFieldsCaption->setTextFormat(Qt::PlainText);
    mFrom = spin(1, 1, 1, "RecordFrom");
    mTo = spin(1, 1, 1, "RecordTo");
    mCopies = spin(1, 9999, 1, "Copies");
    mStartCell = spin(1, 501, 1, "StartCell");

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->addWidget(mSourceCaption, 0, 0, 1, 4);
    grid->addWidget(mCountCaption, 1, 0, 1, 4);
    grid->addWidget(mFieldsCaption, 2, 0, 1, 4);
    const auto caption = [](const QString &text, QWidget *buddy) {
        auto *label = new QLabel(text);
        label->setBuddy(buddy);
        return label;
    };
    grid->addWidget(caption(QStringLiteral("Records &from"), mFrom), 3, 0);
    grid->addWidget(mFrom, 3, 1);
    grid->addWidget(caption(QStringLiteral("&to"), mTo), 3, 2);
    grid->addWidget(mTo, 3, 3);
    grid->addWidget(caption(QStringLiteral("Cop&ies per record"), mCopies), 4, 0);
    grid->addWidget(mCopies, 4, 1);
    grid->addWidget(caption(QStringLiteral("Start at c&ell"), mStartCell), 4, 2);
    grid->addWidget(mStartCell, 4, 3);
    hide();
}

TMergeDataSection::~TMergeDataSection() = default;

bool TMergeDataSection::ShowSource(const TGBasePanel &panel)
{
    const TDesignProperties &design = panel.Design();
    mSource.reset();
    mError.clear();
    if (design.MergeSource().isEmpty()) {
        hide();
        return false;
    }
    mSourceCaption->setText(QStringLiteral("Source: ") + QFileInfo(design.MergeSource()).fileName());
    mSourceCaption->setToolTip(design.MergeSource());
    auto source = std::make_unique<TMergeSource>(design.MergeSource(), design.MergeOptions());
    try {
        source->Open();
        mSource = std::move(source);
    } catch (const EMergeError &e) {
        mError = e.message();
    }
    QStringList fields;
    if (mSource) {
        const qint64 count = mSource->RecordCount();
        mCountCaption->setText(QStringLiteral("Records: %1").arg(count));
        TMergeRecord first;
        mSource->Next(first);
        mSource->Rewind();
        const QStringList &names = mSource->Fields()->Names();
        for (int i = 0; i < names.size() && i < ShownFields; ++i) {
            QString value = first.Values.value(i);
            value.replace(u'\n', u' ').replace(u'\r', u' ');
            if (value.size() > 40)
                value = value.left(39) + QChar(0x2026);
            fields << names.at(i) + QStringLiteral(": ") + value;
        }
        if (names.size() > ShownFields)
            fields << QStringLiteral("(%1 more fields)").arg(names.size() - ShownFields);
        const int top = int(std::min<qint64>(std::max<qint64>(count, 1), 1 << 30));
        mFrom->setRange(1, std::max(top, 2));
        mTo->setRange(1, std::max(top, 2));
        mFrom->setValue(1);
        mTo->setValue(top);
    } else {
        mCountCaption->setText(mError);
    }
    mFieldsCaption->setText(fields.join(u'\n'));
    mFieldsCaption->setVisible(!fields.isEmpty());
    show();
    return true;
}

void TMergeDataSection::SetCellCount(int cells)
{
    mStartCell->setRange(1, std::max(cells, 2));
    mStartCell->setValue(std::min(mStartCell->value(), std::max(cells, 1)));
}

qint64 TMergeDataSection::FirstRecord() const
{
    return mFrom->value();
}

qint64 TMergeDataSection::LastRecord() const
{
    return mTo->value();
}

int TMergeDataSection::Copies() const
{
    return mCopies->value();
}

int TMergeDataSection::StartCell() const
{
    return mStartCell->value() - 1;
}
