#include "Loadtpl.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int IndexRole = Qt::UserRole;

// TemplateListItem: a template list line; its tooltip is the whole name.
class TemplateListItem : public QListWidgetItem
{
public:
    TemplateListItem(const QString &text, int entry, const QString &name)
        : QListWidgetItem(text)
    {
        setData(IndexRole, QVariant::fromValue(TTemplateIndex{entry}));
        setToolTip(name);
    }
    int entry() const { return data(IndexRole).value<TTemplateIndex>().Index; }
};

// A titled group of radio buttons laid out column by column, as many
// buttons per column as needed to fill `columns` columns.
QGroupBox *radioGroup(const QString &title, const QString &objectName,
                      const QStringList &items, int columns, QButtonGroup *group,
                      QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(objectName);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(4, 0, 4, 2);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(0);
    const int perColumn = int((items.size() + columns - 1) / columns);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), box);
        group->addButton(button, i);
        grid->addWidget(button, i % perColumn, i / perColumn);
    }
    group->button(0)->setChecked(true);
    return box;
}

}  // namespace

TSelectTemplate::TSelectTemplate(QWidget *parent, const QString &libraryPath)
    : QDialog(parent)
    , mLibraryPath(libraryPath)
    , mProductType(new QButtonGroup(this))
    , mPrinterType(new QButtonGroup(this))
    , mRegion(new QButtonGroup(this))
{
    setWindowTitle(QStringLiteral("Select Template"));

    auto *productBox = radioGroup(QStringLiteral("Product Type"), QStringLiteral("ProductType"),
                                  TemplateFilter::ProductItems, 2, mProductType, this);
    auto *printerBox = radioGroup(QStringLiteral("Printer Type"), QStringLiteral("PrinterType"),
                                  TemplateFilter::PrinterItems, 1, mPrinterType, this);
    auto *regionBox = radioGroup(QStringLiteral("Region"), QStringLiteral("Region"),
                                 TemplateFilter::RegionItems, 1, mRegion, this);

    mTypeAhead = new QLineEdit(this);
    mTypeAhead->setObjectName(QStringLiteral("TypeAhead"));
    mTypeAhead->setAccessibleName(QStringLiteral("Find template"));
    mTemplateList = new QListWidget(this);
    mTemplateList->setObjectName(QStringLiteral("TemplateList"));
    mTemplateList->setAccessibleName(QStringLiteral("Templates"));
    mTemplateList->setSelectionMode(QAbstractItemView::SingleSelection);
    // Items arrive in list order (see FilterTemplates); one line each.
    mTemplateList->setSortingEnabled(false);
    mTemplateList->setUniformItemSizes(true);
    // Long names stay whole: the list scrolls sideways instead of cutting them.
    mTemplateList->setTextElideMode(Qt::ElideNone);
    mTemplateList->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    mTemplateList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto *descriptionBox = new QGroupBox(QStringLiteral("Description"), this);
    mDescription = new QPlainTextEdit(descriptionBox);
    mDescription->setObjectName(QStringLiteral("Description"));
    mDescription->setReadOnly(true);
    mDescription->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *descriptionLayout = new QVBoxLayout(descriptionBox);
    descriptionLayout->setContentsMargins(4, 2, 4, 4);
    descriptionLayout->addWidget(mDescription);

    mOkButton = new QPushButton(QStringLiteral("Ok"), this);
    mOkButton->setObjectName(QStringLiteral("OkButton"));
    mOkButton->setDefault(true);
    auto *cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto *helpButton = new QPushButton(QStringLiteral("Help"), this);
    helpButton->setObjectName(QStringLiteral("HelpButton"));

    auto *groups = new QHBoxLayout;
    groups->setSpacing(4);
    groups->addWidget(productBox, 2);
    groups->addWidget(printerBox, 1);
    groups->addWidget(regionBox, 1);

    auto *listColumn = new QVBoxLayout;
    listColumn->addWidget(mTypeAhead);
    listColumn->addWidget(mTemplateList, 1);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(mOkButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(helpButton);
    buttons->addStretch(1);

    auto *lower = new QHBoxLayout;
    lower->addLayout(listColumn, 5);
    lower->addWidget(descriptionBox, 4);
    lower->addLayout(buttons);

    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(6, 4, 6, 6);
    top->setSpacing(4);
    top->addLayout(groups);
    top->addLayout(lower, 1);
    resize(506, 330);

    for (QButtonGroup *group : {mProductType, mPrinterType, mRegion})
        connect(group, &QButtonGroup::idClicked, this, [this] {
            if (mActivated)
                FilterTemplates();
        });
    connect(mTypeAhead, &QLineEdit::textChanged, this, &TSelectTemplate::TypeAheadChange);
    connect(mTemplateList, &QListWidget::itemSelectionChanged, this,
            &TSelectTemplate::ShowDescript);
    connect(mTemplateList, &QListWidget::itemClicked, this, &TSelectTemplate::ShowDescript);
    connect(mTemplateList, &QListWidget::itemDoubleClicked, this,
            &TSelectTemplate::OkButtonClick);
    connect(mOkButton, &QPushButton::clicked, this, &TSelectTemplate::OkButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(HelpTopic); });
}

void TSelectTemplate::SetCurrentLayout(const TLabelLayout &layout, bool forNewLabel)
{
    CurrentName = layout.Name;
    CurrentPrinterType = layout.PrinterType;
    CurrentProductType = layout.ProductType;
    CurrentPaperSize = layout.PaperSize;
    ForNewLabel = forNewLabel;
}

TemplateFilter TSelectTemplate::currentFilter() const
{
    return {mProductType->checkedId(), mPrinterType->checkedId(), mRegion->checkedId()};
}

int TSelectTemplate::selectedEntry() const
{
    const QList<QListWidgetItem *> selected = mTemplateList->selectedItems();
    if (selected.isEmpty())
        return 0;
    return static_cast<TemplateListItem *>(selected.first())->entry();
}

void TSelectTemplate::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (mActivated)
        return;
    FillArray();
    widenForNames();
    const bool preset = templatechooser::presetsFromCurrent(ForNewLabel, CurrentName);
    if (preset) {
        const TemplateFilter f =
            TemplateFilter::fromCurrent(CurrentProductType, CurrentPrinterType, CurrentPaperSize);
        mProductType->button(f.product)->setChecked(true);
        mPrinterType->button(f.printer)->setChecked(true);
        mRegion->button(f.region)->setChecked(true);
    }
    FilterTemplates();
    if (preset)
        mTypeAhead->setText(templatechooser::typeAheadText(CurrentName));
    mActivated = true;
}

void TSelectTemplate::FillArray()
{
    const QString path = mLibraryPath.isEmpty() ? TemplateLibrary::defaultPath() : mLibraryPath;
    TemplateList = TemplateLibrary::read(path);
    mSortedItems = templatechooser::sortedItems(TemplateList);
}

void TSelectTemplate::widenForNames()
{
    // Wide enough for the longest list line, as far as the screen allows.
    const QFontMetrics metrics(mTemplateList->font());
    int widest = 0;
    for (const TemplateItem &item : std::as_const(mSortedItems))
        widest = std::max(widest, metrics.horizontalAdvance(item.text));
    const int needed = widest + 2 * mTemplateList->frameWidth()
                       + mTemplateList->verticalScrollBar()->sizeHint().width() + 12;
    const int missing = needed - mTemplateList->width();
    if (missing <= 0)
        return;
    int limit = width() + missing;
    if (const QScreen *s = screen())
        limit = std::min(limit, s->availableGeometry().width());
    if (limit > width())
        resize(limit, height());
}

void TSelectTemplate::FilterTemplates()
{
    const QSignalBlocker block(mTemplateList);
    mTemplateList->clear();
    mItemTexts.clear();
    const QList<TemplateItem> items =
        templatechooser::filterItems(TemplateList, mSortedItems, currentFilter());
    mItemTexts.reserve(items.size());
    for (const TemplateItem &item : items) {
        mTemplateList->addItem(
            new TemplateListItem(item.text, item.entry, TemplateList.at(item.entry - 1).Name));
        mItemTexts.append(item.text);
    }
    if (mTemplateList->count() > 0)
        mTemplateList->setCurrentRow(0);
    ShowDescript();
}

void TSelectTemplate::ShowDescript()
{
    const int entry = selectedEntry();
    if (entry < 1 || entry > TemplateList.size())
        return;
    mDescription->setPlainText(
        templatechooser::description(TemplateList.at(entry - 1)).join(QLatin1Char('\n')));
}

void TSelectTemplate::TypeAheadChange(const QString &text)
{
    const int row = templatechooser::typeAheadRow(mItemTexts, text);
    if (row < 0) {
        mTemplateList->clearSelection();
        mTemplateList->setCurrentRow(-1);
        return;
    }
    mTemplateList->setCurrentRow(row);
    mTemplateList->scrollToItem(mTemplateList->item(row));
}

void TSelectTemplate::OkButtonClick()
{
    const int entry = selectedEntry();
    if (entry < 1 || entry > TemplateList.size())
        return;
    ChosenLayout = TemplateList.at(entry - 1);
    accept();
}
