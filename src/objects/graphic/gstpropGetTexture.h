#pragma once
// TSuperTextBrushImageBrowser: "Load Texture Image", the SuperText texture
// browser: the picture browsers' drive, folder and file lists for BMP, JPEG
// and icon files, beside an example SuperText that shows the texture.

#include "controls/PictureBrowser.h"

#include <QString>

class TGSuperText;

class TSuperTextBrushImageBrowser : public TPictureBrowserBase
{
    Q_OBJECT
public:
    explicit TSuperTextBrushImageBrowser(QWidget *parent = nullptr);
    ~TSuperTextBrushImageBrowser() override;

    // Where the browser opens: the last texture file when it exists, else
    // the program's "bmbrush", else its "Textures", else the program folder.
    static QString StartPath(const QString &lastFile);
    void Open(const QString &lastFile);
    // Loads a file into the example's texture; a failure empties it (with
    // "Error loading file!" for BMP files). True when a texture was taken.
    bool LoadFile(const QString &path);
    QString FileName() const { return mFileName; }

    TGSuperText *Example = nullptr;

protected:
    void FileSelected(const QString &path) override;

private:
    QString mFileName;
};
