#include "objects/graphic/gstpropGetTexture.h"

#include "controls/DialogSupport.h"
#include "controls/MessageBoxes.h"
#include "objects/graphic/SurfaceFill.h"
#include "objects/graphic/gsstext.h"
#include "storage/AppPaths.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>

TSuperTextBrushImageBrowser::TSuperTextBrushImageBrowser(QWidget *parent)
    : QDialog(parent), mCurrentDir(QDir::currentPath())
{
    SetupFixedDialog(this, QStringLiteral("Load Texture Image"), 640, 420);
    Files = new QFileDialog(this, QString(), QString(),
                            QStringLiteral("Textures (%1)")
                                .arg(surfacefill::TextureFileMask().replace(QLatin1Char(';'), QLatin1Char(' '))
                                     + QLatin1Char(' ') + surfacefill::TextureFileMask().toLower().replace(QLatin1Char(';'), QLatin1Char(' '))));
    Files->setObjectName(QStringLiteral("Files"));
    Files->setOption(QFileDialog::DontUseNativeDialog, true);
    Files->setFileMode(QFileDialog::ExistingFile);
    Files->setWindowFlags(Qt::Widget);
    Files->setSizeGripEnabled(false);
    Files->setGeometry(0, 0, 440, 380);
    // The embedded list's own buttons stay hidden: the strip below answers.
    for (QPushButton *b : Files->findChildren<QPushButton *>())
        b->hide();

    Example = new TGSuperText();
    Example->setParent(this);
    Example->SetSurfaceType(stBrushImage);
    Example->SetCaption(QStringLiteral("Text"));
    Example->SetBounds(450, 40, 180, 100);
    Example->show();

    Buttons = new TDialogButtonStrip(this, 40012);
    Buttons->setGeometry(0, 420 - 40, 640, 40);
    connect(Files, &QFileDialog::currentChanged, this, [this](const QString &path) {
        if (QFileInfo(path).isFile())
            SelectFile(path);
    });
    connect(Files, &QFileDialog::fileSelected, this, [this](const QString &path) {
        if (SelectFile(path))
            accept();
    });
    PlaceDialog(this);
}

TSuperTextBrushImageBrowser::~TSuperTextBrushImageBrowser()
{
    QDir::setCurrent(mCurrentDir);
}

QString TSuperTextBrushImageBrowser::StartPath(const QString &lastFile)
{
    if (!lastFile.isEmpty() && QFileInfo(lastFile).isFile())
        return lastFile;
    // The texture library is read-only data: beside the program, or in the
    // installed data folder.
    for (const char *sub : {"bmbrush", "Textures"}) {
        const QString dir = AppPaths::DataFilePath(QLatin1String(sub));
        if (QFileInfo(dir).isDir())
            return dir;
    }
    return AppPaths::ExecutableDir();
}

void TSuperTextBrushImageBrowser::Open(const QString &lastFile)
{
    const QString start = StartPath(lastFile);
    const QFileInfo info(start);
    if (info.isFile()) {
        Files->setDirectory(info.absolutePath());
        Files->selectFile(info.fileName());
        SelectFile(info.absoluteFilePath());
    } else {
        Files->setDirectory(start);
    }
}

bool TSuperTextBrushImageBrowser::SelectFile(const QString &path)
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
