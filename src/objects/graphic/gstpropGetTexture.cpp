#include "objects/graphic/gstpropGetTexture.h"

#include "controls/MessageBoxes.h"
#include "objects/graphic/SurfaceFill.h"
#include "objects/graphic/gsstext.h"
#include "storage/AppPaths.h"

#include <QDir>
#include <QFileInfo>

TSuperTextBrushImageBrowser::TSuperTextBrushImageBrowser(QWidget *parent)
    : TPictureBrowserBase(parent, QStringLiteral("Load Texture Image"), surfacefill::TextureFileMask(), 40012)
{
    Example = new TGSuperText();
    Example->setParent(PreviewArea());
    Example->SetSurfaceType(stBrushImage);
    Example->SetCaption(QStringLiteral("Text"));
    Example->SetBounds(0, 0, PreviewArea()->width(), PreviewArea()->height());
    Example->show();
}

TSuperTextBrushImageBrowser::~TSuperTextBrushImageBrowser() = default;

QString TSuperTextBrushImageBrowser::StartPath(const QString &lastFile)
{
    if (!lastFile.isEmpty() && QFileInfo(lastFile).isFile())
        return lastFile;
    // The texture library is read-only data: the program folder (or the one
    // a run was pointed at) first, then beside the executable and the
    // installed data folder; in each, "bmbrush" before "Textures".
    QStringList bases{AppPaths::ProgramDir()};
    bases += AppPaths::DataDirs();
    for (const QString &base : std::as_const(bases))
        for (const char *sub : {"bmbrush", "Textures"}) {
            const QString path = QDir(base).filePath(QLatin1String(sub));
            if (QFileInfo(path).isDir())
                return path;
        }
    return AppPaths::ExecutableDir();
}

void TSuperTextBrushImageBrowser::Open(const QString &lastFile)
{
    OpenAt(StartPath(lastFile));
}

void TSuperTextBrushImageBrowser::FileSelected(const QString &path)
{
    if (!path.isEmpty())
        LoadFile(path);
}

bool TSuperTextBrushImageBrowser::LoadFile(const QString &path)
{
    QString error;
    std::unique_ptr<TBitmap> texture = surfacefill::LoadTextureFile(path, &error);
    Example->SetImage(texture.get());
    if (!texture) {
        mFileName.clear();
        if (QFileInfo(path).suffix().compare(QLatin1String("BMP"), Qt::CaseInsensitive) == 0)
            ErrorBox(QStringLiteral("Error loading file!"), this);
        return false;
    }
    mFileName = QFileInfo(path).absoluteFilePath();
    return true;
}
