#pragma once
// TCircleTextProperties: the "CircleText Properties" dialog, which edits a
// private preview copy of a circle text object; TColorPaletteButton: its
// font colour button with a 4 x 5 palette and "&Other".

#include "storage/Gdiobj.h"

#include <QDialog>
#include <QToolButton>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSlider;
class TDialogButtonStrip;
class TGPCircleText;

class TColorPaletteButton : public QToolButton
{
    Q_OBJECT
public:
    explicit TColorPaletteButton(QWidget *parent = nullptr);

    TColor color() const { return mColor; }
    void setColor(TColor color);
    // The palette's colours, row by row.
    static const TColor Palette[20];
    // What a click on a swatch, or a colour taken in "&Other", does.
    void choose(TColor color);

Q_SIGNALS:
    void colorChanged(TColor color);

private:
    void showPalette();

    TColor mColor = cl::Black;
};

class TCircleTextProperties : public QDialog
{
    Q_OBJECT
public:
    explicit TCircleTextProperties(QWidget *parent = nullptr);

    // Sets the controls from the preview (after the object was copied into it).
    void LoadControls();

    QLabel *Label2 = nullptr;
    QLineEdit *CaptionText = nullptr;
    QScrollArea *Panel1 = nullptr;
    TGPCircleText *Preview = nullptr;
    QLabel *Label3 = nullptr;
    QSlider *DegreesBar = nullptr;
    QLabel *DegreesLabel = nullptr;
    QLabel *Label4 = nullptr;
    QSlider *StartingAngleBar = nullptr;
    QLabel *StartingAngleLabel = nullptr;
    QCheckBox *cbDrawLettersAngled = nullptr;
    QCheckBox *cbMirrored = nullptr;
    QLabel *Label1 = nullptr;
    TColorPaletteButton *FontColorButton = nullptr;
    QPushButton *Fontbutton = nullptr;
    QToolButton *FontSizeUp = nullptr;
    QToolButton *FontSizeDown = nullptr;
    QLabel *Label6 = nullptr;
    QToolButton *ZoomMinusButton = nullptr;
    QToolButton *ZoomPlusButton = nullptr;
    QLabel *ZoomLabel = nullptr;
    TDialogButtonStrip *Buttons = nullptr;

    void FontSizeUpClick();
    void FontSizeDownClick();
    void ZoomPlusClick();
    void ZoomMinusClick();
    void FontbuttonClick();
    void OKButtonClick();

private:
    void fitPreviewArea();
    void showZoom();
};
