#include "Ggetsym.h"

#include "SymbolFonts.h"
#include "TextFont.h"
#include "controls/ColorCombo.h"
#include "controls/DialogSupport.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

namespace {

// Draws each grid cell's character in the grid font, through the symbol
// table where the font is not installed.
class TSymbolDelegate : public QStyledItemDelegate
{
public:
    TSymbolDelegate(TGetSymbol *dialog) : QStyledItemDelegate(dialog), mDialog(dialog) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(option.rect, option.palette.color(QPalette::Highlight));
        const TFont &font = mDialog->GridFont();
        const int code = index.row() + 32;
        // The glyph's ink, not its advance, is centred in the cell.
        const QRect ink = mDialog->GlyphInk(code);
        const QPoint centre = option.rect.center();
        painter->setFont(MakeQFont(font));
        painter->setPen(selected ? option.palette.color(QPalette::HighlightedText) : ColorToQColor(font.Color()));
        painter->drawText(centre - ink.center(), TGetSymbol::CellText(font, code));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return mDialog->CellSize();
    }

private:
    TGetSymbol *mDialog;
};

}  // namespace

TGetSymbol::TGetSymbol(QWidget *parent)
    : QDialog(parent)
    , mSelectedFont(std::make_unique<TFont>())
    , mGridFont(std::make_unique<TFont>())
{
    SetupFixedDialog(this, QStringLiteral("Symbol Selector"), 474, 327);
    QApplication::restoreOverrideCursor();

    mSelectedFont->SetName(QStringLiteral("Wingdings"));
    mSelectedFont->SetHeight(-24);
    mSelectedFont->SetStyle(1u << fsBold);
    mGridFont->SetName(QStringLiteral("Wingdings"));
    mGridFont->SetHeight(-27);
    mGridFont->SetColor(cl::Black);

    auto *top = new QFrame(this);
    top->setObjectName(QStringLiteral("TopPanel"));
    top->setFrameStyle(QFrame::Box | QFrame::Plain);
    top->setGeometry(0, 0, 474, 37);
    Label1 = new QLabel(QStringLiteral("&Font"), top);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(12, 11, 40, 16);
    FitCaption(Label1);
    Fontbutton = new QPushButton(top);
    Fontbutton->setObjectName(QStringLiteral("Fontbutton"));
    Fontbutton->setGeometry(56, 4, 217, 29);
    Fontbutton->setAutoDefault(false);
    Label1->setBuddy(Fontbutton);
    connect(Fontbutton, &QPushButton::clicked, this, &TGetSymbol::FontbuttonClick);

    SymbolList = new QListWidget(this);
    SymbolList->setAccessibleName(QStringLiteral("Symbols"));
    SymbolList->setObjectName(QStringLiteral("SymbolList"));
    SymbolList->setGeometry(0, 37, 474, 327 - 37 - 40);
    SymbolList->setViewMode(QListView::ListMode);
    SymbolList->setFlow(QListView::TopToBottom);
    SymbolList->setWrapping(true);
    SymbolList->setUniformItemSizes(true);
    SymbolList->setResizeMode(QListView::Adjust);
    SymbolList->setSelectionMode(QAbstractItemView::SingleSelection);
    SymbolList->setItemDelegate(new TSymbolDelegate(this));
    for (int code = 32; code <= 255; ++code)
        SymbolList->addItem(new QListWidgetItem());

    Buttons = new TDialogButtonStrip(this, 40005);
    Buttons->setGeometry(0, 327 - 40, 474, 40);

    PlaceDialog(this);
    GridFontChanged();
}

TGetSymbol::~TGetSymbol() = default;

int TGetSymbol::ColumnsForPointSize(int points)
{
    if (points >= 6 && points <= 10)
        return 14;
    if (points >= 11 && points <= 20)
        return 10;
    if (points >= 21 && points <= 30)
        return 8;
    if (points >= 31 && points <= 40)
        return 6;
    if (points >= 41 && points <= 50)
        return 4;
    if (points >= 51 && points <= 60)
        return 3;
    if (points >= 61 && points <= 72)
        return 2;
    return 1;
}

QString TGetSymbol::CellText(const TFont &font, int code)
{
    return symbolfonts::DisplayText(font.Name(), QString(symbolfonts::CharOf(code)));
}

// Where each glyph puts its ink around its origin, found by drawing it:
// font metrics miss the glyphs that come from a fallback font.
void TGetSymbol::measureGlyphs()
{
    const QFont font = MakeQFont(*mGridFont);
    // The symbol fonts all draw through one fallback font, each with its
    // own characters: the name is part of the key.
    const QString key = mGridFont->Name() + QLatin1Char('/') + font.key();
    if (key == mMeasuredFont)
        return;
    mMeasuredFont = key;
    const int em = qMax(1, QFontMetrics(font).height());
    const QPoint origin(em * 2, em * 2);
    QImage scratch(QSize(em * 5, em * 4), QImage::Format_ARGB32_Premultiplied);
    mInk.clear();
    for (int code = 32; code <= 255; ++code) {
        scratch.fill(Qt::transparent);
        {
            QPainter p(&scratch);
            p.setFont(font);
            p.setPen(Qt::black);
            p.drawText(origin, CellText(*mGridFont, code));
        }
        int left = scratch.width(), right = -1, top = scratch.height(), bottom = -1;
        for (int y = 0; y < scratch.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(scratch.constScanLine(y));
            for (int x = 0; x < scratch.width(); ++x)
                if (qAlpha(line[x])) {
                    left = qMin(left, x);
                    right = qMax(right, x);
                    top = qMin(top, y);
                    bottom = qMax(bottom, y);
                }
        }
        // A blank glyph is placed as a space would be.
        mInk.append(right < 0 ? QRect(0, -em / 2, 1, 1)
                              : QRect(QPoint(left, top) - origin, QPoint(right, bottom) - origin));
    }
}

QRect TGetSymbol::GlyphInk(int code) const
{
    const int i = code - 32;
    return i >= 0 && i < mInk.size() ? mInk.at(i) : QRect();
}

// The grid's width shared out among the columns its font size asks for,
// but never narrower or lower than the largest glyph of the font: a cell
// shows its whole glyph, and fewer columns fit when the glyphs are wide.
void TGetSymbol::SetSymbolListcolumns()
{
    measureGlyphs();
    const int columns = ColumnsForPointSize(mGridFont->Size());
    // The viewport's width before the list is first laid out.
    const int width = SymbolList->width() - 2 * SymbolList->frameWidth();
    QSize ink;
    for (const QRect &r : std::as_const(mInk))
        ink = ink.expandedTo(r.size());
    mCellSize = QSize(qMax(qMax(1, width / columns), ink.width() + 2 * CellPadding),
                      qMax(30, ink.height() + 2 * CellPadding));
    SymbolList->setGridSize(mCellSize);
    SymbolList->doItemsLayout();
}

void TGetSymbol::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    SetSymbolListcolumns();
}

void TGetSymbol::GridFontChanged()
{
    for (int i = 0; i < SymbolList->count(); ++i) {
        const int code = i + 32;
        QString tip = QStringLiteral("%1").arg(code);
        const QString name = symbolfonts::CharacterName(mGridFont->Name(), code);
        if (!name.isEmpty())
            tip += QStringLiteral(": ") + name.toLower();
        SymbolList->item(i)->setToolTip(tip);
    }
    SetSymbolListcolumns();
    UpdateFontbutton();
    SymbolList->viewport()->update();
}

void TGetSymbol::UpdateFontbutton()
{
    QString style;
    if (mGridFont->Style() & (1u << fsItalic))
        style = QStringLiteral("Italic ");
    else if (mGridFont->Style() & (1u << fsBold))
        style = QStringLiteral("Bold ");
    Fontbutton->setText(mGridFont->Name() + QStringLiteral(", ") + QString::number(mGridFont->Size())
                        + QStringLiteral("pt ") + style);
}

void TGetSymbol::FontbuttonClick()
{
    const std::optional<QFont> chosen =
        PickFont(DialogFont(*mSelectedFont), this, QFontDialog::ScalableFonts);
    if (chosen) {
        AssignDialogFont(*mSelectedFont, *chosen);
        mGridFont->SetName(mSelectedFont->Name());
        mGridFont->SetColor(mSelectedFont->Color());
        mGridFont->SetStyle(mSelectedFont->Style());
    }
    GridFontChanged();
}
