#pragma once
// TSuperTextGetSymbol: the SuperText "Symbol Selector": a list of the symbol
// fonts the program can draw and a grid of the chosen font's characters.

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QTableWidget;
class TDialogButtonStrip;

class TSuperTextGetSymbol : public QDialog
{
    Q_OBJECT
public:
    explicit TSuperTextGetSymbol(QWidget *parent = nullptr);

    // The symbol fonts drawn here: installed, or drawn through their code
    // tables when the font that holds the equivalents is installed.
    static QStringList SymbolFontNames();
    // The first name whose upper-cased form contains "WINGDING", else the first.
    static int PreferredFont(const QStringList &names);

    bool HasFonts() const;
    // The grid's point size and its column count (the symbol grid's table).
    int GridPointSize() const { return mGridPointSize; }
    void SetGridPointSize(int points);

    QComboBox *FontList = nullptr;
    QTableWidget *SymbolGrid = nullptr;
    TDialogButtonStrip *Buttons = nullptr;

    QString ChosenFont() const;
    // The chosen character as a caption (its byte code's character).
    QString ChosenCaption() const;
    void OkClick();

private:
    void fillGrid();

    int mGridPointSize = 20;
};
