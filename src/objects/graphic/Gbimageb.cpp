#include "objects/graphic/Gbimageb.h"

#include "controls/DialogSupport.h"
#include "controls/MessageBoxes.h"
#include "objects/graphic/Gsshape.h"
#include "storage/AppPaths.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QPushButton>

const QString TGBrushImageBrowser::FileMask = surfacefill::TextureFileMask();

TGBrushImageBrowser::TGBrushImageBrowser(QWidget *parent)
    : QDialog(parent), mCurrentDir(QDir::currentPath())
{
    SetupFixedDialog(this, QStringLiteral("Load Texture Image"), 720, 440);

    // The file chooser lives inside the browser, beside the example.
    mFiles = new QFileDialog(this, QString(), QString());
    mFiles->setObjectName(QStringLiteral("Files"));
    mFiles->setWindowFlags(Qt::Widget);
    mFiles->setOption(QFileDialog::DontUseNativeDialog);
    mFiles->setFileMode(QFileDialog::ExistingFile);
    QStringList patterns;
    for (const QString &p : FileMask.split(QLatin1Char(';')))
        patterns << p << p.toLower();
    mFiles->setNameFilter(QStringLiteral("Textures (%1)").arg(patterns.join(QLatin1Char(' '))));
    mFiles->setGeometry(4, 4, 520, 392);
    // The browser's own buttons accept; the chooser's are hidden.
    for (QPushButton *b : mFiles->findChildren<QPushButton *>())
        b->hide();
    connect(mFiles, &QFileDialog::currentChanged, this, [this](const QString &path) {
        if (QFileInfo(path).isFile())
            SelectFile(path);
    });
    connect(mFiles, &QFileDialog::fileSelected, this, [this](const QString &path) {
        SelectFile(path);
        accept();
    });

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("ExampleFrame"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setGeometry(532, 8, 180, 180);
    frame->setAutoFillBackground(true);
    QPalette pal = frame->palette();
    pal.setColor(QPalette::Window, Qt::white);
    frame->setPalette(pal);
    mExample = new TSuperShape();
    mExample->setParent(frame);
    mExample->SetBounds(10, 10, 160, 160);
    mExample->SetSurfaceType(TSuperShape::stBrushImage);
    mExample->show();

    mButtons = new TDialogButtonStrip(this, 40012);
    mButtons->setGeometry(0, 400, 720, 40);
    PlaceDialog(this);
}

TGBrushImageBrowser::~TGBrushImageBrowser()
{
    QDir::setCurrent(mCurrentDir);
}

QString TGBrushImageBrowser::StartPath(const QString &lastFile)
{
    if (!lastFile.isEmpty() && QFileInfo(lastFile).isFile())
        return lastFile;
    return AppPaths::DataDirPath(QStringLiteral("bmbrush"));
}

void TGBrushImageBrowser::Open(const QString &lastFile)
{
    const QString start = StartPath(lastFile);
    const QFileInfo info(start);
    if (info.isFile()) {
        mFiles->setDirectory(info.absolutePath());
        mFiles->selectFile(info.fileName());
        SelectFile(info.absoluteFilePath());
    } else {
        mFiles->setDirectory(start);
    }
}

void TGBrushImageBrowser::SelectFile(const QString &path)
{
    QString error;
    if (mExample->LoadTextureFile(path, &error)) {
        mFileName = QFileInfo(path).absoluteFilePath();
        return;
    }
    mFileName.clear();
    // Only a damaged bitmap is reported; other failures just empty the example.
    if (error == QLatin1String("Error loading file!"))
        ErrorBox(error, this);
}

const TBitmap &TGBrushImageBrowser::Texture() const
{
    return *mExample->Image();
}
