#pragma once
// TGetSymbol: the "Symbol Selector" dialog: a grid of the 224 characters
// (codes 32 to 255) of a font, and the font button that picks the font.

#include "storage/Gdiobj.h"

#include <QDialog>
#include <QFont>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class QLabel;
class QListWidget;
class QPushButton;
class TDialogButtonStrip;

class TGetSymbol : public QDialog
{
    Q_OBJECT
public:
    explicit TGetSymbol(QWidget *parent = nullptr);
    ~TGetSymbol() override;

    QLabel *Label1 = nullptr;
    QPushButton *Fontbutton = nullptr;
    QListWidget *SymbolList = nullptr;
    TDialogButtonStrip *Buttons = nullptr;

    // The font chosen for the object (the hidden "SelectedChar" label's font).
    TFont &SelectedFont() { return *mSelectedFont; }
    // The grid's font: its own size (27 pixels) and colour, the chosen name and style.
    TFont &GridFont() { return *mGridFont; }
    // Call after changing GridFont from outside.
    void GridFontChanged();

    void SetSymbolListcolumns();
    void UpdateFontbutton();
    void FontbuttonClick();

    // Grid columns for a grid font size in points.
    static int ColumnsForPointSize(int points);

    // Every cell of the grid has this size (set by SetSymbolListcolumns).
    QSize CellSize() const { return mCellSize; }
    // The text a cell draws for a character code in the font.
    static QString CellText(const TFont &font, int code);
    // The pixels a code's glyph inks in the grid font, around the point it
    // is drawn at.
    QRect GlyphInk(int code) const;
    // Space kept free around the largest glyph of the font, in pixels.
    static constexpr int CellPadding = 3;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void measureGlyphs();

    std::unique_ptr<TFont> mSelectedFont;
    std::unique_ptr<TFont> mGridFont;
    QSize mCellSize{20, 30};
    QList<QRect> mInk;        // per code from 32
    QString mMeasuredFont;    // the font mInk was measured for
};
