#include "objects/graphic/Gbimageb.h"

#include "controls/MessageBoxes.h"
#include "objects/graphic/Gsshape.h"
#include "objects/graphic/SurfaceFill.h"
#include "storage/AppPaths.h"

#include <QFileInfo>

TGBrushImageBrowser::TGBrushImageBrowser(QWidget *parent)
    : TPictureBrowserBase(parent, QStringLiteral("Load Texture Image"), surfacefill::TextureFileMask(), 40012)
{
    QWidget *area = PreviewArea();
    area->setAutoFillBackground(true);
    QPalette pal = area->palette();
    pal.setColor(QPalette::Window, Qt::white);
    area->setPalette(pal);
    mExample = new TSuperShape();
    mExample->setParent(area);
    const int side = std::min(area->width(), area->height()) - 8;
    mExample->SetBounds((area->width() - side) / 2, 4, side, side);
    mExample->SetSurfaceType(TSuperShape::stBrushImage);
    mExample->show();
}

QString TGBrushImageBrowser::StartPath(const QString &lastFile)
{
    if (!lastFile.isEmpty() && QFileInfo(lastFile).isFile())
        return lastFile;
    return AppPaths::DataDirPath(QStringLiteral("bmbrush"));
}

void TGBrushImageBrowser::Open(const QString &lastFile)
{
    OpenAt(StartPath(lastFile));
}

void TGBrushImageBrowser::FileSelected(const QString &path)
{
    mFileName.clear();
    if (path.isEmpty()) {
        mExample->SetImage(nullptr);
        return;
    }
    QString error;
    if (mExample->LoadTextureFile(path, &error)) {
        mFileName = QFileInfo(path).absoluteFilePath();
        return;
    }
    // Only a damaged bitmap is reported; other failures just empty the example.
    if (error == QLatin1String("Error loading file!"))
        ErrorBox(error, this);
}

const TBitmap &TGBrushImageBrowser::Texture() const
{
    return *mExample->Image();
}
