#pragma once
// TSuperTextBrushImageBrowser: "Load Texture Image", the SuperText texture
// browser: a file list of BMP, JPEG and icon files beside an example
// SuperText that shows the selected texture.

#include <QDialog>
#include <QString>

class QFileDialog;
class TDialogButtonStrip;
class TGSuperText;

class TSuperTextBrushImageBrowser : public QDialog
{
    Q_OBJECT
public:
    explicit TSuperTextBrushImageBrowser(QWidget *parent = nullptr);
    ~TSuperTextBrushImageBrowser() override;

    // Where the browser opens: the last texture file when it exists, else
    // the program folder's "bmbrush", else its "Textures", else the folder.
    static QString StartPath(const QString &lastFile);
    void Open(const QString &lastFile);
    // Loads a file into the example's texture; a failure empties it (with
    // "Error loading file!" for BMP files). True when a texture was taken.
    bool SelectFile(const QString &path);
    QString FileName() const { return mFileName; }

    QFileDialog *Files = nullptr;
    TGSuperText *Example = nullptr;
    TDialogButtonStrip *Buttons = nullptr;

private:
    QString mFileName;
    QString mCurrentDir;
};
