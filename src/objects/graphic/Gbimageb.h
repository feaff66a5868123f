#pragma once
// TGBrushImageBrowser: "Load Texture Image", the texture file browser of the
// super shape, with an example shape that shows the chosen texture.

#include "storage/Gdiobj.h"

#include <QDialog>

#include <memory>

class QFileDialog;
class TDialogButtonStrip;
class TSuperShape;

class TGBrushImageBrowser : public QDialog
{
    Q_OBJECT
public:
    explicit TGBrushImageBrowser(QWidget *parent = nullptr);
    ~TGBrushImageBrowser() override;

    // The browser's file mask.
    static const QString FileMask;
    // Where the browser opens: `lastFile` when it names an existing file,
    // otherwise the texture library folder "bmbrush".
    static QString StartPath(const QString &lastFile);
    void Open(const QString &lastFile);

    // Loads the file into the example's texture ("Error loading file!" for
    // a .BMP that cannot be read; any failure empties the texture).
    void SelectFile(const QString &path);

    // The example's texture and its file, as chosen so far.
    const TBitmap &Texture() const;
    QString FileName() const { return mFileName; }
    TSuperShape *Example() const { return mExample; }

private:
    QFileDialog *mFiles = nullptr;
    TSuperShape *mExample = nullptr;
    TDialogButtonStrip *mButtons = nullptr;
    QString mFileName;
    QString mCurrentDir;
};
