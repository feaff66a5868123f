#include "objects/graphic/gstpropGetSym.h"

#include "controls/DialogSupport.h"
#include "objects/text/Ggetsym.h"
#include "objects/text/SymbolFonts.h"
#include "objects/text/TextFont.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>

namespace {
constexpr int FirstCode = 32, LastCode = 255;
}

TSuperTextGetSymbol::TSuperTextGetSymbol(QWidget *parent)
    : QDialog(parent)
{
    SetupFixedDialog(this, QStringLiteral("Symbol Selector"), 440, 420);
    auto *label = new QLabel(QStringLiteral("&Font"), this);
    label->setGeometry(8, 10, 40, 16);
    FitCaption(label);
    FontList = new QComboBox(this);
    FontList->setObjectName(QStringLiteral("FontList"));
    FontList->setToolTip(QStringLiteral("Select a symbol font set"));
    FontList->setGeometry(50, 6, 200, 24);
    label->setBuddy(FontList);
    const QStringList names = SymbolFontNames();
    FontList->addItems(names);

    SymbolGrid = new QTableWidget(this);
    SymbolGrid->setObjectName(QStringLiteral("SymbolGrid"));
    SymbolGrid->setGeometry(8, 38, 424, 334);
    SymbolGrid->horizontalHeader()->hide();
    SymbolGrid->verticalHeader()->hide();
    SymbolGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SymbolGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    SymbolGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SymbolGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Buttons = new TDialogButtonStrip(this, 0);
    Buttons->setGeometry(0, 420 - 40, 440, 40);
    Buttons->okButton()->setText(QStringLiteral("Ok"));
    Buttons->okButton()->setToolTip(QStringLiteral("Copy the selected symbol to the label"));
    Buttons->cancelButton()->setText(QStringLiteral("Cancel"));
    if (auto *help = Buttons->findChild<QPushButton *>(QStringLiteral("Helpbutton")))
        help->hide();
    disconnect(Buttons->okButton(), nullptr, this, nullptr);
    connect(Buttons->okButton(), &QPushButton::clicked, this, &TSuperTextGetSymbol::OkClick);
    connect(SymbolGrid, &QTableWidget::cellDoubleClicked, this, [this] { OkClick(); });
    connect(FontList, &QComboBox::currentIndexChanged, this, [this] { fillGrid(); });

    if (!names.isEmpty())
        FontList->setCurrentIndex(PreferredFont(names));
    fillGrid();
    PlaceDialog(this);
}

QStringList TSuperTextGetSymbol::SymbolFontNames()
{
    static const QStringList all = {QStringLiteral("Symbol"), QStringLiteral("Webdings"),
                                    QStringLiteral("Wingdings"), QStringLiteral("Wingdings 2"),
                                    QStringLiteral("Wingdings 3")};
    const bool equivalents = symbolfonts::IsInstalled(symbolfonts::FallbackFamily());
    QStringList names;
    for (const QString &name : all)
        if (symbolfonts::IsInstalled(name) || equivalents)
            names << name;
    return names;
}

int TSuperTextGetSymbol::PreferredFont(const QStringList &names)
{
    for (int i = 0; i < names.size(); ++i)
        if (names.at(i).toUpper().contains(QLatin1String("WINGDING")))
            return i;
    return 0;
}

bool TSuperTextGetSymbol::HasFonts() const
{
    return FontList->count() > 0;
}

void TSuperTextGetSymbol::SetGridPointSize(int points)
{
    mGridPointSize = points;
    fillGrid();
}

void TSuperTextGetSymbol::fillGrid()
{
    const int columns = TGetSymbol::ColumnsForPointSize(mGridPointSize);
    const int count = LastCode - FirstCode + 1;
    SymbolGrid->clear();
    SymbolGrid->setColumnCount(columns);
    SymbolGrid->setRowCount((count + columns - 1) / columns);
    if (!HasFonts())
        return;
    TFont font;
    font.SetName(ChosenFont());
    font.SetSize(mGridPointSize);
    const QFont qfont = MakeQFont(font);
    SymbolGrid->setFont(qfont);
    for (int code = FirstCode; code <= LastCode; ++code) {
        auto *item = new QTableWidgetItem(TGetSymbol::CellText(font, code));
        item->setTextAlignment(Qt::AlignCenter);
        item->setData(Qt::UserRole, code);
        SymbolGrid->setItem((code - FirstCode) / columns, (code - FirstCode) % columns, item);
    }
    // The rows always outgrow the grid, so the vertical scroll bar is always
    // there: share out the width left beside it, before the grid is shown.
    const int inner = SymbolGrid->width() - 2 * SymbolGrid->frameWidth()
                      - SymbolGrid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, SymbolGrid);
    const int cell = qMax(1, inner / columns);
    for (int c = 0; c < columns; ++c)
        SymbolGrid->setColumnWidth(c, cell);
    SymbolGrid->verticalHeader()->setDefaultSectionSize(QFontMetrics(qfont).height() + 6);
}

QString TSuperTextGetSymbol::ChosenFont() const
{
    return FontList->currentText();
}

QString TSuperTextGetSymbol::ChosenCaption() const
{
    const QTableWidgetItem *item = SymbolGrid->currentItem();
    if (!item)
        return QString();
    return QString(symbolfonts::CharOf(item->data(Qt::UserRole).toInt()));
}

void TSuperTextGetSymbol::OkClick()
{
    if (HasFonts() && !ChosenCaption().isEmpty())
        accept();
}
