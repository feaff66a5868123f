#pragma once
// TGBrushImageBrowser: "Load Texture Image", the texture file browser of the
// super shape, with an example shape that shows the chosen texture.

#include "controls/PictureBrowser.h"
#include "storage/Gdiobj.h"

class TSuperShape;

class TGBrushImageBrowser : public TPictureBrowserBase
{
    Q_OBJECT
public:
    explicit TGBrushImageBrowser(QWidget *parent = nullptr);

    // Where the browser opens: `lastFile` when it names an existing file,
    // otherwise the texture library folder "bmbrush".
    static QString StartPath(const QString &lastFile);
    void Open(const QString &lastFile);

    // The example's texture and its file, as chosen so far (empty when the
    // selected file failed to load).
    const TBitmap &Texture() const;
    QString FileName() const { return mFileName; }
    TSuperShape *Example() const { return mExample; }

protected:
    // Loads the file into the example's texture ("Error loading file!" for
    // a .BMP that cannot be read; any failure empties the texture).
    void FileSelected(const QString &path) override;

private:
    TSuperShape *mExample = nullptr;
    QString mFileName;
};
