#pragma once
// TSuperShapeProperties: the "Super Shape Properties" dialog, which edits a
// sample copy of a super shape and shows only the fields that belong to its
// figure and surface.

#include "storage/Gdiobj.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QPushButton;
class QScrollArea;
class TColorComboBox;
class TDialogButtonStrip;
class TSpinEdit;
class TSuperShape;

class TSuperShapeProperties : public QDialog
{
    Q_OBJECT
public:
    explicit TSuperShapeProperties(QWidget *parent = nullptr);
    ~TSuperShapeProperties() override;

    TSuperShape *Sample() const { return mSample; }
    // Sets every field from the sample (after the object was copied into it).
    void ShowSampleValues();
    QString LastBitmapFile() const { return mLastBitmapFile; }
    void SetLastBitmapFile(const QString &path) { mLastBitmapFile = path; }
    // The texture the dialog gives the sample when "Texture" is chosen.
    const TBitmap &LastTexture() const { return *mLastTexture; }

    // "Load Texture": the texture browser, then the sample takes its choice.
    void LoadTextureClick();
    // The texture chosen in the browser (or a test) taken as the last one.
    void TakeTexture(const TBitmap &texture, const QString &path);

    QComboBox *ShapeBox = nullptr;
    QGroupBox *StarPanel = nullptr;
    TSpinEdit *PointsEdit = nullptr;
    TSpinEdit *InVectorEdit = nullptr;
    QGroupBox *RoundPanel = nullptr;
    TSpinEdit *RoundEdit = nullptr;
    QComboBox *SurfaceBox = nullptr;
    QGroupBox *SolidPanel = nullptr;
    TColorComboBox *BackColorBox = nullptr;
    QGroupBox *GradientPanel = nullptr;
    QComboBox *DirectionBox = nullptr;
    TColorComboBox *FromColorBox = nullptr;
    TColorComboBox *ToColorBox = nullptr;
    QGroupBox *TexturePanel = nullptr;
    QPushButton *LoadTextureButton = nullptr;
    TColorComboBox *ShadowColorBox = nullptr;
    QComboBox *ShadowOrientBox = nullptr;
    TSpinEdit *ShadowDepthEdit = nullptr;
    TColorComboBox *OutlineColorBox = nullptr;
    QComboBox *OutlineStyleBox = nullptr;
    TSpinEdit *OutlineWidthEdit = nullptr;
    QScrollArea *SampleArea = nullptr;
    TDialogButtonStrip *Buttons = nullptr;

private:
    void showPanels();
    void limitShadowDepth();
    void fitSampleArea();

    TSuperShape *mSample = nullptr;
    std::unique_ptr<TBitmap> mLastTexture;
    QString mLastBitmapFile;
    bool mLoading = false;
};
