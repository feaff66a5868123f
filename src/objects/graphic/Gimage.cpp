#include "objects/graphic/Gimage.h"

#include "controls/DialogSupport.h"
#include "controls/MessageBoxes.h"
#include "graphics/PrintForm.h"
#include "objects/graphic/Gimageb.h"
#include "print/engine/Report.h"
#include "storage/Pictures.h"

#include <QDir>
#include <QMenu>
#include <QPainter>

TGImage::TGImage(TComponent *owner)
    : TGGraphicControl(owner), mPicture(std::make_unique<TPicture>())
{
    mPicture->OnChange = [this] { pictureChanged(); };
    resize(105, 105);
}

TGImage::~TGImage()
{
    mPicture->OnChange = nullptr;
}

const TPropertyTable &TGImage::Properties() const
{
    using C = TGImage;
    static const TPropertyTable table(&BaseProperties(), {
        props::boolean<C>("AutoSize", &C::AutoSize, &C::SetAutoSize, false),
        props::enumeration<C, TBorderStyle>("BorderStyle", BorderStyleIdents, &C::BorderStyle,
                                            &C::SetBorderStyle, std::nullopt),
        props::object<C, TPicture>("Picture", TPropKind::Picture, &C::Picture),
        props::boolean<C>("Stretch", &C::Stretch, &C::SetStretch, true),
        props::boolean<C>("Reverse", &C::Reverse, &C::SetReverse, std::nullopt),
        props::boolean<C>("Flip", &C::Flip, &C::SetFlip, std::nullopt),
    });
    return table;
}

void TGImage::SetAutoSize(bool v)
{
    mAutoSize = v;
    mStretch = !v;
    pictureChanged();
    NotifyChanged();
}

void TGImage::SetStretch(bool v)
{
    mStretch = v;
    mAutoSize = !v;
    update();
}

void TGImage::SetBorderStyle(TBorderStyle v)
{
    if (v == mBorderStyle)
        return;
    mBorderStyle = v;
    update();
    NotifyChanged();
}

void TGImage::SetFlip(bool v)
{
    if (v == mFlip)
        return;
    mFlip = v;
    mPrintImageValid = false;
    update();
    NotifyChanged();
}

void TGImage::SetReverse(bool v)
{
    if (v == mReverse)
        return;
    mReverse = v;
    mPrintImageValid = false;
    update();
    NotifyChanged();
}

void TGImage::SetPicture(const TPicture &picture)
{
    mPicture->Assign(picture);
}

bool TGImage::PictureIsBitmap() const
{
    return dynamic_cast<const TBitmap *>(mPicture->Graphic()) != nullptr;
}

void TGImage::pictureChanged()
{
    mPrintImageValid = false;
    CheckBoundsChanged();
    const TGraphic *g = mPicture->Graphic();
    mOpaque = PictureIsBitmap() && g && g->Size() == size();
    update();
}

void TGImage::CheckBoundsChanged()
{
    TGGraphicControl::CheckBoundsChanged();
    if (!mAutoSize || mPicture->IsEmpty())
        return;
    const QSize s = mPicture->Graphic()->Size();
    if (s.width() > 0 && s.height() > 0)
        SetBounds(Left(), Top(), RoundNearest(s.width() * double(Scale())),
                  RoundNearest(s.height() * double(Scale())));
}

void TGImage::BuildObjectMenu(QMenu *m)
{
    TGGraphicControl::BuildObjectMenu(m);
    m->addSeparator();
    connect(m->addAction(QStringLiteral("Load Image From Disk")), &QAction::triggered, this,
            [this] { LoadImage(); });
    m->addSeparator();
    auto checkable = [m](const char *caption) {
        QAction *a = m->addAction(QString::fromLatin1(caption));
        a->setCheckable(true);
        return a;
    };
    mBorderItem = checkable("Border");
    mBorderItem->setChecked(mBorderStyle == bsSingle);
    connect(mBorderItem, &QAction::triggered, this,
            [this] { SetBorderStyle(mBorderStyle == bsSingle ? bsNone : bsSingle); });
    mStretchItem = checkable("Stretch to Fit");
    connect(mStretchItem, &QAction::triggered, this, [this] { SetStretch(!mStretch); update(); });
    mAutoSizeItem = checkable("AutoSize");
    connect(mAutoSizeItem, &QAction::triggered, this, [this] { SetAutoSize(!mAutoSize); update(); });
    mFlipItem = checkable("Flip");
    connect(mFlipItem, &QAction::triggered, this, [this] { SetFlip(!mFlip); });
    mReverseItem = checkable("Reverse");
    connect(mReverseItem, &QAction::triggered, this, [this] { SetReverse(!mReverse); });
}

void TGImage::PrepareObjectMenu()
{
    if (!mBorderItem)
        return;
    mBorderItem->setChecked(mBorderStyle == bsSingle);
    mStretchItem->setChecked(mStretch);
    mAutoSizeItem->setChecked(mAutoSize);
    mFlipItem->setChecked(mFlip);
    mReverseItem->setChecked(mReverse);
    mFlipItem->setEnabled(PictureIsBitmap());
    mReverseItem->setEnabled(PictureIsBitmap());
}

void TGImage::Paint()
{
    QPainter *painter = DrawCanvas();
    if (!painter)
        return;
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0)
        return;
    const QRectF bounds(0, 0, w, h);
    if (mPicture->IsEmpty()) {
        // The default pen and brush: a white box with a black frame.
        painter->fillRect(QRect(0, 0, w, h), Qt::white);
        painter->setPen(QPen(Qt::black, 0));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    } else {
        painter->save();
        painter->setClipRect(bounds, Qt::IntersectClip);
        if (PictureIsBitmap() && (mFlip || mReverse)) {
            // Mirrored: the destination runs from W - 1 to -1 (or H - 1 to -1).
            painter->translate(mReverse ? w : 0, mFlip ? h : 0);
            painter->scale(mReverse ? -1 : 1, mFlip ? -1 : 1);
        }
        mPicture->Graphic()->Draw(*painter, bounds);
        painter->restore();
    }
    if (mBorderStyle == bsSingle) {
        painter->setPen(QPen(Qt::black, 0));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    }
    if (PaintingOwnCanvas())
        DrawSelectionMarks();
}

const QImage &TGImage::printImage() const
{
    if (!mPrintImageValid) {
        const auto *bitmap = dynamic_cast<const TBitmap *>(mPicture->Graphic());
        mPrintImage = bitmap ? bitmap->Image() : QImage();
        if (!mPrintImage.isNull() && (mFlip || mReverse))
            mPrintImage = mPrintImage.mirrored(mReverse, mFlip);
        mPrintImage = graphics::PrintForm(mPrintImage);
        mPrintImageValid = true;
    }
    return mPrintImage;
}

void TGImage::PrintOnReport(TReport &report, double left, double top)
{
    const TGraphic *g = mPicture->Graphic();
    if (mPicture->IsEmpty() || !g)
        return;
    const double r = ScreenPixelsPerInch();
    const double x1 = left + Left() / r, y1 = top + Top() / r;
    const double x2 = left + (Left() + Width()) / r, y2 = top + (Top() + Height()) / r;
    if (PictureIsBitmap()) {
        const QImage &image = printImage();
        if (image.isNull())
            return;
        report.StretchDraw(x1, y1, x2, y2, image);
    } else if (g->IsVector() && report.Painter()) {
        const QRect target = report.RectToDevice(x1, y1, x2, y2);
        if (!target.isEmpty()) {
            QPainter &p = *report.Painter();
            p.save();
            p.setClipRect(target, Qt::IntersectClip);
            g->Draw(p, QRectF(target));
            p.restore();
        }
    }
    // An icon is shown, not printed: only its frame prints.
    if (mBorderStyle == bsSingle) {
        report.Pen.Color = cl::Black;
        report.Pen.Style = psSolid;
        report.Pen.Width = 1;
        report.Pen.Mode = pmCopy;
        report.Brush.Color = cl::White;
        report.Brush.Style = bsClear;
        report.Rectangle(x1, y1, x2, y2);
    }
}

bool TGImage::EditNew()
{
    return LoadImage();
}

bool TGImage::TakePictureFile(const QString &path, bool stretch, bool autoSize)
{
    LoadedPicture loaded = LoadPictureFile(path);
    if (!loaded.graphic) {
        if (!loaded.error.isEmpty())
            ErrorBox(QStringLiteral("Error loading file!"), this);
        return false;
    }
    TPicture chosen;
    chosen.SetGraphic(std::move(loaded.graphic));
    return TakePicture(chosen, stretch, autoSize);
}

bool TGImage::TakePicture(const TPicture &picture, bool stretch, bool autoSize)
{
    try {
        mPicture->Assign(picture);
        mStretch = stretch;
        mAutoSize = autoSize;
        pictureChanged();
        NotifyChanged();
    } catch (const EStreamError &) {
        ErrorBox(QStringLiteral("Error loading file!"), this);
        mPicture->Clear();
        return false;
    }
    return true;
}

bool TGImage::LoadImage()
{
    const QString current = QDir::currentPath();
    bool taken = false;
    {
        TGImageBrowser browser(this);
        browser.SetStretch(mStretch);
        browser.SetAutoSize(mAutoSize);
        // A file that failed to load leaves the preview empty; taking that
        // would throw away the picture the object already shows.
        if (ExecDialog(browser) == QDialog::Accepted && !browser.SelectedFile().isEmpty()
            && !browser.PreviewPicture().IsEmpty())
            taken = TakePicture(browser.PreviewPicture(), browser.Stretch(), browser.AutoSize());
    }
    QDir::setCurrent(current);
    return taken && !mPicture->IsEmpty();
}
