#pragma once
// TGImageBrowser: "Load Image File ", the picture file browser of the image
// object, with a preview of the chosen file and its "Stretch" and
// "AutoSize" boxes.

#include "controls/PictureBrowser.h"
#include "storage/Gdiobj.h"

#include <QWidget>

class QCheckBox;
class QScrollArea;

// The preview image: the picture stretched over the widget, or at its
// natural size from the top-left corner.
class TPicturePreview : public QWidget
{
    Q_OBJECT
public:
    explicit TPicturePreview(QWidget *parent = nullptr);
    void SetPicture(const TPicture *picture);
    void SetStretch(bool v);
    bool Stretch() const { return mStretch; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const TPicture *mPicture = nullptr;
    bool mStretch = false;
};

class TGImageBrowser : public TPictureBrowserBase
{
    Q_OBJECT
public:
    explicit TGImageBrowser(QWidget *parent = nullptr);

    // Setting a box runs its click rule: checking one unchecks the other.
    bool Stretch() const;
    void SetStretch(bool v);
    bool AutoSize() const;
    void SetAutoSize(bool v);

    // The picture of the selected file; empty when none is selected or the
    // file failed to load.
    const TPicture &PreviewPicture() const { return mPreview; }

    QCheckBox *StretchBox() const { return mStretchBox; }
    QCheckBox *AutoSizeBox() const { return mAutoSizeBox; }
    QScrollArea *ScrollBox() const { return mScrollBox; }
    TPicturePreview *Image() const { return mImage; }

protected:
    void FileSelected(const QString &path) override;

private:
    void boxesChanged();

    TPicture mPreview;
    QCheckBox *mStretchBox;
    QCheckBox *mAutoSizeBox;
    QScrollArea *mScrollBox;
    TPicturePreview *mImage;
};
