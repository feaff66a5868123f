#pragma once
// TSuperTextProperties: the "SuperText Properties" dialog, which edits a
// private preview copy of a SuperText object.

#include "storage/Gdiobj.h"

#include <QDialog>
#include <QString>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTimer;
class QToolButton;
class QWidget;
class TColorPaletteButton;
class TDialogButtonStrip;
class TGSuperText;

class TSuperTextProperties : public QDialog
{
    Q_OBJECT
public:
    explicit TSuperTextProperties(QWidget *parent = nullptr);
    ~TSuperTextProperties() override;

    // Copies the object into the preview and shows its values.
    void TakeObject(const TGSuperText &object);
    void LoadControls();

    QLineEdit *CaptionText = nullptr;
    QScrollArea *PreviewPanel = nullptr;
    TGSuperText *Preview = nullptr;
    QComboBox *SurfaceTypeList = nullptr;
    QWidget *GradientPanel = nullptr;
    QComboBox *FillDirectionList = nullptr;
    TColorPaletteButton *FromColorButton = nullptr;
    TColorPaletteButton *ToColorButton = nullptr;
    QWidget *TexturePanel = nullptr;
    QPushButton *LoadTextureButton = nullptr;
    QWidget *FontColorPanel = nullptr;
    TColorPaletteButton *FontColorButton = nullptr;
    TColorPaletteButton *ShadowColorButton = nullptr;
    QComboBox *ShadowOrientationList = nullptr;
    QSpinBox *ShadowDepthEdit = nullptr;
    TColorPaletteButton *OutlineColorButton = nullptr;
    QComboBox *OutlineStyleList = nullptr;
    QSpinBox *OutlineWidthEdit = nullptr;
    QPushButton *SelectFontButton = nullptr;
    QPushButton *SelectSymbolButton = nullptr;
    QToolButton *FontSizeUp = nullptr;
    QToolButton *FontSizeDown = nullptr;
    TDialogButtonStrip *Buttons = nullptr;
    // Refits the preview 200 ms after the text last changed.
    QTimer *RefitTimer = nullptr;

    // The texture file last chosen, and the texture "Texture" gives the preview.
    QString LastBitmapFile;
    TBitmap &LastTexture() { return *mLastTexture; }

    void FontSizeUpClick();
    void FontSizeDownClick();
    void SelectFontClick();
    void SelectSymbolClick();
    void LoadTextureClick();
    void OKButtonClick();
    // Fits the preview to its text and the preview area to the preview.
    void Refit();

private:
    void showSurfacePanel();
    void captionFontChanged();

    std::unique_ptr<TBitmap> mLastTexture;
    bool mLoading = false;
};
