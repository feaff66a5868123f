#include "objects/graphic/Gimageb.h"

#include "controls/MessageBoxes.h"
#include "storage/Pictures.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>

namespace {

constexpr int HelpTopicImageBrowser = 40003;

// The extensions whose failure the browser reports; the others (JPEG,
// icons and the Qt-read formats) empty the preview without a word.
bool reportsFailure(const QString &path)
{
    const QString name = QFileInfo(path).fileName().toUpper();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot);
    return ext == QLatin1String(".BMP") || ext == QLatin1String(".WMF") || ext == QLatin1String(".EMF")
        || ext == QLatin1String(".SVG");
}

}  // namespace

TPicturePreview::TPicturePreview(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
}

void TPicturePreview::SetPicture(const TPicture *picture)
{
    mPicture = picture;
    update();
}

void TPicturePreview::SetStretch(bool v)
{
    mStretch = v;
    update();
}

void TPicturePreview::paintEvent(QPaintEvent *)
{
    if (!mPicture || mPicture->IsEmpty())
        return;
    const TGraphic *g = mPicture->Graphic();
    QPainter p(this);
    p.setClipRect(rect());
    if (mStretch)
        g->Draw(p, QRectF(rect()));
    else
        g->Draw(p, QRectF(QPointF(0, 0), QSizeF(g->Size())));
}

TGImageBrowser::TGImageBrowser(QWidget *parent)
    : TPictureBrowserBase(parent, QStringLiteral("Load Image File "),
                          PictureFilePatterns().join(QLatin1Char(';')), HelpTopicImageBrowser)
{
    mScrollBox = new QScrollArea(PreviewArea());
    mScrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    mScrollBox->setGeometry(0, 0, PreviewArea()->width(), PreviewArea()->height());
    mScrollBox->setFrameShape(QFrame::StyledPanel);
    mImage = new TPicturePreview;
    mImage->setObjectName(QStringLiteral("Image1"));
    mImage->setGeometry(2, 2, 218, 203);
    mImage->SetPicture(&mPreview);
    mScrollBox->setWidget(mImage);

    mStretchBox = new QCheckBox(QStringLiteral("Stretch"), BottomPanel());
    mStretchBox->setObjectName(QStringLiteral("StretchCheckBox"));
    mStretchBox->setGeometry(105, 10, 75, 17);
    mStretchBox->setToolTip(QStringLiteral("Stretch image to max display size"));
    mAutoSizeBox = new QCheckBox(QStringLiteral("AutoSize"), BottomPanel());
    mAutoSizeBox->setObjectName(QStringLiteral("AutoSizeCheckBox"));
    mAutoSizeBox->setGeometry(181, 10, 75, 17);
    mAutoSizeBox->setToolTip(QStringLiteral("AutoSize TImage"));
    setTabOrder(CancelButton(), mStretchBox);
    setTabOrder(mStretchBox, mAutoSizeBox);

    connect(mStretchBox, &QCheckBox::clicked, this, [this](bool checked) { SetStretch(checked); });
    connect(mAutoSizeBox, &QCheckBox::clicked, this, [this](bool checked) { SetAutoSize(checked); });
    boxesChanged();
}

bool TGImageBrowser::Stretch() const
{
    return mStretchBox->isChecked();
}

void TGImageBrowser::SetStretch(bool v)
{
    mStretchBox->setChecked(v);
    if (v)
        mAutoSizeBox->setChecked(false);
    boxesChanged();
}

bool TGImageBrowser::AutoSize() const
{
    return mAutoSizeBox->isChecked();
}

void TGImageBrowser::SetAutoSize(bool v)
{
    mAutoSizeBox->setChecked(v);
    if (v)
        mStretchBox->setChecked(false);
    boxesChanged();
}

void TGImageBrowser::boxesChanged()
{
    mImage->SetStretch(Stretch());
    // The image fills the scroll box unless it takes the picture's own
    // size, when the box scrolls over it.
    const bool natural = AutoSize();
    mScrollBox->setWidgetResizable(!natural);
    if (natural && !mPreview.IsEmpty())
        mImage->resize(mPreview.Graphic()->Size().expandedTo(QSize(1, 1)));
    else if (natural)
        mImage->resize(mScrollBox->viewport()->size());
}

void TGImageBrowser::FileSelected(const QString &path)
{
    mPreview.Clear();
    if (!path.isEmpty()) {
        LoadedPicture loaded = LoadPictureFile(path);
        if (loaded.graphic) {
            mPreview.SetGraphic(std::move(loaded.graphic));
        } else if (!loaded.error.isEmpty() && reportsFailure(path)) {
            ErrorBox(QStringLiteral("Error loading file!"), this);
        }
    }
    boxesChanged();
    mImage->update();
}
