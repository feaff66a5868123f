#include "objects/text/Gprichl.h"

#include "controls/DialogSupport.h"
#include "design/Gbasepnl.h"
#include "objects/text/Gprichle.h"
#include "print/engine/Canvas.h"
#include "print/engine/Report.h"
#include "richtext/WPRichText.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

TGPRichBaseLabel::TGPRichBaseLabel(TComponent *owner)
    : TGGraphicControl(owner), mStorage(std::make_unique<TWPRtfStorage>()),
      mRTFText(std::make_unique<TWPRTFTextIo>(mStorage.get()))
{
    mStorage->OnChange = [this] {
        dropKept();
        update();
    };
    resize(190, 33);
}

TGPRichBaseLabel::~TGPRichBaseLabel()
{
    mStorage->OnChange = nullptr;
}

const TPropertyTable &TGPRichBaseLabel::Properties() const
{
    using C = TGPRichBaseLabel;
    static const TPropertyTable table(&BaseProperties(), {
        props::object<C, TWPRTFTextIo>("RTFText", TPropKind::Object, &C::RTFText),
        props::enumeration<C, TBorderStyle>("BorderStyle", BorderStyleIdents, &C::BorderStyle, &C::SetBorderStyle,
                                            std::nullopt),
        props::boolean<C>("Transparent", &C::Transparent, &C::SetTransparent, std::nullopt),
        props::color<C, TColor>("BGColor", &C::BGColor, &C::SetBGColor, std::nullopt),
    });
    return table;
}

void TGPRichBaseLabel::SetRTFText(const TWPRTFTextIo &text)
{
    mRTFText->Assign(text);
    update();
    NotifyChanged();
}

void TGPRichBaseLabel::SetDocument(const QTextDocument &document)
{
    mStorage->SetDocument(document);
    update();
    NotifyChanged();
}

void TGPRichBaseLabel::SetBorderStyle(TBorderStyle style)
{
    if (style == mBorderStyle)
        return;
    mBorderStyle = style;
    dropKept();
    update();
    NotifyChanged();
}

void TGPRichBaseLabel::SetTransparent(bool transparent)
{
    if (transparent == mTransparent)
        return;
    mTransparent = transparent;
    dropKept();
    update();
}

void TGPRichBaseLabel::SetBGColor(TColor color)
{
    if (color == mBGColor)
        return;
    mBGColor = color;
    dropKept();
    update();
    NotifyChanged();
}

TWPRichText *TGPRichBaseLabel::FindMasterEditor(const TComponent *owner)
{
    const TComponent *c = owner;
    for (int depth = 0; c && depth < 64; ++depth) {
        for (TComponent *k : c->Components())
            if (auto *editor = dynamic_cast<TWPRichText *>(k))
                if (editor->Name().toUpper() == QLatin1String(MasterRichTextName))
                    return editor;
        const TComponent *next = c->Owner();
        // A window of its own (the print preparation) lies on the main window.
        if (!next)
            if (const auto *w = dynamic_cast<const QWidget *>(c))
                for (QWidget *p = w->parentWidget(); p && !next; p = p->parentWidget())
                    next = dynamic_cast<const TComponent *>(p);
        c = next;
    }
    return nullptr;
}

void TGPRichBaseLabel::FinishLoading()
{
    TGGraphicControl::FinishLoading();
    if (IsLoading())
        return;
    TWPRichText *master = FindMasterEditor(Owner());
    if (!master)
        throw ENoMasterWPRich(QStringLiteral("No master rich text object found"));
    mMasterEditor = master;
    EditHandler = [this](QObject *) { EditRichText(); };
}

void TGPRichBaseLabel::MergeRecordChanged()
{
    dropKept();
    TGGraphicControl::MergeRecordChanged();
}

void TGPRichBaseLabel::BuildObjectMenu(QMenu *m)
{
    TGGraphicControl::BuildObjectMenu(m);
    m->addSeparator();
    mTransparentItem = m->addAction(QStringLiteral("Transparent"));
    mTransparentItem->setCheckable(true);
    connect(mTransparentItem, &QAction::triggered, this, [this] {
        SetTransparent(!mTransparent);
        NotifyChanged();
    });
    connect(m->addAction(QStringLiteral("Background Color")), &QAction::triggered, this,
            [this] { chooseBackgroundColor(); });
    mBorderItem = m->addAction(QStringLiteral("Border"));
    mBorderItem->setCheckable(true);
    mBorderItem->setChecked(mBorderStyle == bsSingle);
    connect(mBorderItem, &QAction::triggered, this,
            [this] { SetBorderStyle(mBorderStyle == bsSingle ? bsNone : bsSingle); });
    connect(m->addAction(QStringLiteral("Edit")), &QAction::triggered, this, [this] { EditRichText(); });
}

void TGPRichBaseLabel::PrepareObjectMenu()
{
    if (mTransparentItem)
        mTransparentItem->setChecked(mTransparent);
    if (mBorderItem)
        mBorderItem->setChecked(mBorderStyle == bsSingle);
}

void TGPRichBaseLabel::chooseBackgroundColor()
{
    const std::optional<QColor> c = PickColor(CanvasColor(mBGColor), this);
    if (!c || !c->isValid())
        return;
    SetBGColor(QColorToColor(*c));
    NotifyChanged();
    SetTransparent(false);
    update();
}

QSize TGPRichBaseLabel::PageSizeTwips(int width, int height, double scale)
{
    const double p = ScreenPixelsPerInch();
    if (!(scale > 0))
        scale = 1;
    // Bounded to what a label can be: 100 inches.
    auto twips = [&](int pixels) { return int(std::clamp(std::trunc(pixels / scale / p * 1440), 0.0, 144000.0)); };
    return QSize(twips(width), twips(height));
}

std::unique_ptr<QTextDocument> TGPRichBaseLabel::MergedDocument() const
{
    const QTextDocument &document = mStorage->Document();
    const TGBasePanel *panel = Panel();
    if (!panel || panel->MergeRecord().IsEmpty() || !HasFields(document.toPlainText()))
        return nullptr;
    std::unique_ptr<QTextDocument> merged(document.clone());
    static const QRegularExpression field(QStringLiteral(R"(\$\{[^}]*\})"));
    // Each field takes the format of its first character, as typed.
    QTextCursor cursor(merged.get());
    for (;;) {
        cursor = merged->find(field, cursor);
        if (cursor.isNull())
            break;
        const QString text = cursor.selectedText();
        const QString value = MergedText(text);
        if (value != text)
            cursor.insertText(value);
    }
    return merged;
}

void TGPRichBaseLabel::DrawRichText(QPainter &painter)
{
    TWPRichText *master = mMasterEditor;
    const int w = Width(), h = Height();
    if (!master || w < 1 || h < 1)
        return;
    const QColor background = mTransparent ? QColor(Qt::white) : CanvasColor(mBGColor);
    master->SetColor(background);
    if (!mTransparent)
        painter.fillRect(QRect(0, 0, w, h), background);

    const std::unique_ptr<QTextDocument> merged = MergedDocument();
    master->SetDocument(merged ? *merged : mStorage->Document());
    master->SetZoom(int(std::trunc(double(Scale()) * 100)));
    const QSize page = PageSizeTwips(w, h, Scale());
    master->SetPageWidth(page.width());
    master->SetPageHeight(page.height());
    master->SetMargins(0, 0, 0, 0);
    master->SetWordWrap(true);
    master->PaintPage(painter, QPoint(0, 0), QSize(w, h));

    if (mBorderStyle == bsSingle) {
        // The outermost pixels, as four strips, so the frame stays inside
        // the object when a print stretches it.
        painter.fillRect(QRect(0, 0, w, 1), Qt::black);
        painter.fillRect(QRect(0, h - 1, w, 1), Qt::black);
        painter.fillRect(QRect(0, 0, 1, h), Qt::black);
        painter.fillRect(QRect(w - 1, 0, 1, h), Qt::black);
    }
}

void TGPRichBaseLabel::Paint()
{
    if (QPainter *p = DrawCanvas()) {
        if (PaintingOwnCanvas() && p->transform().type() <= QTransform::TxTranslate)
            paintKept(*p);
        else
            DrawRichText(*p);
    }
    DrawSelectionMarks();
}

void TGPRichBaseLabel::paintKept(QPainter &painter)
{
    const int w = Width(), h = Height();
    if (!mMasterEditor || w < 1 || h < 1)
        return;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1;
    const QSize pixels = (QSizeF(w, h) * ratio).toSize();
    // A huge object is painted directly rather than held as a picture.
    if (qint64(pixels.width()) * pixels.height() > 4'000'000) {
        dropKept();
        DrawRichText(painter);
        return;
    }
    if (mKept.isNull() || mKept.size() != pixels || mKept.devicePixelRatio() != ratio || mKeptScale != Scale()) {
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter p(&image);
        DrawRichText(p);
        p.end();
        mKept = image;
        mKeptScale = Scale();
    }
    painter.drawImage(QPoint(0, 0), mKept);
}

void TGPRichBaseLabel::PrintOnReport(TReport &report, double left, double top)
{
    if (Width() < 1 || Height() < 1)
        return;
    // Drawn straight onto the page, so the text reaches it as text and a
    // picture in the document as the one image every label shares (a
    // recorded picture would carry a copy of it per label).
    const QRect bounds = BoundsRect();
    const double p = ScreenPixelsPerInch();
    report.StretchPaint(left + bounds.left() / p, top + bounds.top() / p, left + (bounds.left() + bounds.width()) / p,
                        top + (bounds.top() + bounds.height()) / p, QSizeF(Width(), Height()),
                        [this](QPainter &painter) { DrawRichText(painter); });
}

bool TGPRichBaseLabel::EditNew()
{
    EditRichText();
    return true;
}

void TGPRichBaseLabel::EditRichText()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TRichTextLabelEditor dialog(window());
    dialog.WPRichText1->SetDocument(mStorage->Document());
    if (!mTransparent)
        dialog.SetPanelColor(CanvasColor(mBGColor));
    dialog.WPPanel->resize(Width() + 1, Height() + 1);
    const double scale = Scale() > 0 ? double(Scale()) : 1.0;
    const QSize page = PageSizeTwips(RoundNearest(Width() / scale), RoundNearest(Height() / scale), 1.0);
    dialog.WPRichText1->SetPageWidth(page.width());
    dialog.WPRichText1->SetPageHeight(page.height());
    dialog.WPRichText1->SetMargins(0, 0, 0, 0);
    dialog.WPRichText1->SetWordWrap(true);
    dialog.WPRichText1->SetZoom(RoundNearest(scale * 100));
    QApplication::restoreOverrideCursor();
    if (ExecDialog(dialog) == QDialog::Accepted) {
        SetDocument(dialog.WPRichText1->Document());
        update();
        NotifyChanged();
    }
}
