#pragma once
// TGImage: the clip-art image object, showing a bitmap or a metafile (or an
// SVG picture) scaled to its bounds, optionally mirrored and framed.

#include "design/GGraphc.h"
#include "objects/text/Gpbasel.h"  // TBorderStyle
#include "storage/Gdiobj.h"

#include <QImage>

#include <memory>

class TGImage : public TGGraphicControl
{
    Q_OBJECT
public:
    explicit TGImage(TComponent *owner = nullptr);
    ~TGImage() override;

    QByteArray ClassName() const override { return "TGImage"; }
    const TPropertyTable &Properties() const override;

    bool AutoSize() const { return mAutoSize; }
    void SetAutoSize(bool v);
    TBorderStyle BorderStyle() const { return mBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    TPicture *Picture() const { return mPicture.get(); }
    void SetPicture(const TPicture &picture);
    bool Stretch() const { return mStretch; }
    void SetStretch(bool v);
    bool Reverse() const { return mReverse; }
    void SetReverse(bool v);
    bool Flip() const { return mFlip; }
    void SetFlip(bool v);

    // The panel need not paint behind the object.
    bool Opaque() const { return mOpaque; }
    bool PictureIsBitmap() const;

    void BuildObjectMenu(QMenu *menu) override;
    void PrepareObjectMenu() override;
    void CheckBoundsChanged() override;
    void Paint() override;
    void PrintOnReport(TReport &report, double left, double top) override;
    bool EditNew() override;

    // "Load Image From Disk": the "Load Image File " browser, opened with
    // the object's Stretch and AutoSize; true when a picture was taken. The
    // program's current directory is the same afterwards.
    bool LoadImage();
    // The chosen file taken as the load operation does; false (after
    // "Error loading file!") when it fails.
    bool TakePictureFile(const QString &path, bool stretch, bool autoSize);
    // A copy of the chosen picture taken with the browser's two boxes;
    // false (after "Error loading file!", with the picture emptied) when
    // the copy fails.
    bool TakePicture(const TPicture &picture, bool stretch, bool autoSize);

private:
    void pictureChanged();
    // The bitmap mirrored as Flip and Reverse say, in its print form (1 bit
    // a pixel for black-and-white art), kept for the whole print run so
    // every label hands the painter the same image.
    const QImage &printImage() const;

    std::unique_ptr<TPicture> mPicture;
    bool mAutoSize = false;
    bool mStretch = true;
    TBorderStyle mBorderStyle = bsNone;
    bool mFlip = false;
    bool mReverse = false;
    bool mOpaque = false;
    QAction *mBorderItem = nullptr, *mStretchItem = nullptr, *mAutoSizeItem = nullptr,
            *mFlipItem = nullptr, *mReverseItem = nullptr;
    mutable QImage mPrintImage;
    mutable bool mPrintImageValid = false;
};
