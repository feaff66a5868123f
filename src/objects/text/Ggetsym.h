#pragma once
// TGetSymbol: the "Symbol Selector" dialog: a grid of the 224 characters
// (codes 32 to 255) of a font, and the font button that picks the font.

#include "storage/Gdiobj.h"

#include <QDialog>
#include <QFont>

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

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    std::unique_ptr<TFont> mSelectedFont;
    std::unique_ptr<TFont> mGridFont;
};
