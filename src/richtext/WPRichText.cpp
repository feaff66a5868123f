#include "richtext/WPRichText.h"

#include "richtext/RtfPicture.h"
#include "richtext/RtfReader.h"
#include "richtext/WPStorage.h"

#include <QAbstractTextDocumentLayout>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>

#include <algorithm>

namespace rtf {

void ScaleDocument(QTextDocument &doc, double factor, int from, int to)
{
    if (factor == 1.0)
        return;
    if (to < 0)
        to = doc.characterCount();
    auto scaleChar = [factor, &doc](QTextCharFormat f) {
        if (f.isImageFormat()) {
            // Pictures take their size from the format; one without gets it.
            QTextImageFormat image = f.toImageFormat();
            const QSizeF size = PictureSize(doc, image);
            if (size.isValid()) {
                image.setWidth(size.width() * factor);
                image.setHeight(size.height() * factor);
            }
            return QTextCharFormat(image);
        }
        if (f.fontPointSize() > 0)
            f.setFontPointSize(std::clamp(f.fontPointSize() * factor, 0.25, MaxFontPoints * 5));
        return f;
    };
    QTextCursor c(&doc);
    c.beginEditBlock();
    for (QTextBlock b = doc.findBlock(from); b.isValid() && b.position() <= to; b = b.next()) {
        c.setPosition(b.position());
        QTextBlockFormat bf = b.blockFormat();
        bf.setLeftMargin(bf.leftMargin() * factor);
        bf.setRightMargin(bf.rightMargin() * factor);
        bf.setTopMargin(bf.topMargin() * factor);
        bf.setBottomMargin(bf.bottomMargin() * factor);
        bf.setTextIndent(bf.textIndent() * factor);
        if (bf.lineHeightType() == QTextBlockFormat::FixedHeight
            || bf.lineHeightType() == QTextBlockFormat::MinimumHeight)
            bf.setLineHeight(bf.lineHeight() * factor, bf.lineHeightType());
        c.setBlockFormat(bf);
        c.setBlockCharFormat(scaleChar(b.charFormat()));
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int start = std::max(frag.position(), from);
            const int end = std::min(frag.position() + frag.length(), to);
            if (end <= start)
                continue;
            c.setPosition(start);
            c.setPosition(end, QTextCursor::KeepAnchor);
            c.setCharFormat(scaleChar(frag.charFormat()));
        }
    }
    c.endEditBlock();
}

}  // namespace rtf

namespace {

// Draws metafile pictures from their records, so they stay vectors on
// the printed page and sharp at every zoom; other pictures go to the
// layout's own image drawing.
class TPictureHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    TPictureHandler(QTextObjectInterface *images, QObject *parent) : QObject(parent), mImages(images) {}

    QSizeF intrinsicSize(QTextDocument *doc, int position, const QTextFormat &format) override
    {
        if (mImages)
            return mImages->intrinsicSize(doc, position, format);
        return rtf::PictureSize(*doc, format);
    }

    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc, int position,
                    const QTextFormat &format) override
    {
        if (!rtf::DrawVectorPicture(*painter, rect, format) && mImages)
            mImages->drawObject(painter, rect, doc, position, format);
    }

private:
    QTextObjectInterface *mImages;  // owned by the layout, as this is
};

void drawPicturesAsVectors(QTextDocument *doc)
{
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    if (layout->findChild<TPictureHandler *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    layout->registerHandler(QTextFormat::ImageObject,
                            new TPictureHandler(layout->handlerForObject(QTextFormat::ImageObject), layout));
}

}  // namespace

TWPRichText::TWPRichText(QWidget *parent, TComponent *owner)
    : QTextEdit(parent), TComponent(owner), mPage(std::make_unique<QTextDocument>())
{
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Lines wrap at the page width; there is nothing to scroll to sideways.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(0);
    mPage->setDocumentMargin(0);
    drawPicturesAsVectors(document());
    drawPicturesAsVectors(mPage.get());
    SetColor(Qt::white);
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!mSyncing)
            mPageStale = true;
    });
    syncView();
}

TWPRichText::~TWPRichText() = default;

const TPropertyTable &TWPRichText::Properties() const
{
    static const TPropertyTable table(nullptr, {});
    return table;
}

void TWPRichText::pullPage() const
{
    if (!mPageStale)
        return;
    rtf::CopyDocument(*document(), *mPage);
    rtf::ScaleDocument(*mPage, 100.0 / mZoom);
    mPageStale = false;
}

const QTextDocument &TWPRichText::Document() const
{
    pullPage();
    return *mPage;
}

void TWPRichText::SetDocument(const QTextDocument &source)
{
    rtf::CopyDocument(source, *mPage);
    mPageStale = false;
    if (isVisible())
        syncView();
    else
        mViewStale = true;
}

void TWPRichText::syncView()
{
    mSyncing = true;
    rtf::CopyDocument(*mPage, *document());
    rtf::ScaleDocument(*document(), mZoom / 100.0);
    document()->setUndoRedoEnabled(false);
    document()->setUndoRedoEnabled(true);
    if (mWordWrap) {
        setLineWrapMode(QTextEdit::FixedPixelWidth);
        setLineWrapColumnOrWidth(std::max(1, int(pageTextWidthUnits() * mZoom / 100.0)));
    } else {
        setLineWrapMode(QTextEdit::NoWrap);
    }
    setViewportMargins(int(rtf::TwipsToUnits(mMarginLeft) * mZoom / 100.0),
                       int(rtf::TwipsToUnits(mMarginTop) * mZoom / 100.0), 0, 0);
    // Typing into an empty document starts in 12-point Arial, the size an
    // RTF document starts with.
    if (document()->isEmpty()) {
        QTextCharFormat f;
        f.setFontFamilies({QStringLiteral("Arial")});
        f.setFontPointSize(12.0 * mZoom / 100.0);
        QTextCursor c(document());
        c.setBlockCharFormat(f);
        setCurrentCharFormat(f);
    }
    mSyncing = false;
    mViewStale = false;
}

void TWPRichText::showEvent(QShowEvent *event)
{
    if (mViewStale)
        syncView();
    QTextEdit::showEvent(event);
}

void TWPRichText::SetColor(const QColor &color)
{
    mColor = color;
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    p.setColor(QPalette::Text, Qt::black);
    setPalette(p);
}

void TWPRichText::SetZoom(int percent)
{
    percent = std::clamp(percent, MinZoom, MaxZoom);
    if (percent == mZoom)
        return;
    pullPage();
    mZoom = percent;
    if (isVisible())
        syncView();
    else
        mViewStale = true;
}

void TWPRichText::SetPageWidth(int twips)
{
    mPageWidth = std::clamp(twips, 1, 20 * 1440 * 10);
    mViewStale = true;
    if (isVisible())
        syncView();
}

void TWPRichText::SetPageHeight(int twips)
{
    mPageHeight = std::clamp(twips, 1, 20 * 1440 * 10);
}

void TWPRichText::SetMargins(int left, int top, int right, int bottom)
{
    auto bound = [](int t) { return std::clamp(t, 0, 1440 * 20); };
    mMarginLeft = bound(left);
    mMarginTop = bound(top);
    mMarginRight = bound(right);
    mMarginBottom = bound(bottom);
    mViewStale = true;
    if (isVisible())
        syncView();
}

void TWPRichText::SetWordWrap(bool on)
{
    mWordWrap = on;
    mViewStale = true;
    if (isVisible())
        syncView();
}

void TWPRichText::ReFormat()
{
    pullPage();
    syncView();
}

void TWPRichText::CaretToStart()
{
    moveCursor(QTextCursor::Start);
}

double TWPRichText::pageTextWidthUnits() const
{
    return std::max(1.0, rtf::TwipsToUnits(mPageWidth - mMarginLeft - mMarginRight));
}

void TWPRichText::PaintPage(QPainter &painter, QPoint origin, QSize pixelSize) const
{
    if (pixelSize.width() < 1 || pixelSize.height() < 1)
        return;
    pullPage();
    QTextDocument &doc = *mPage;
    doc.setTextWidth(mWordWrap ? pageTextWidthUnits() : -1);
    const double scale = mZoom / 100.0;
    painter.save();
    painter.translate(origin);
    painter.setClipRect(QRect(QPoint(0, 0), pixelSize), Qt::IntersectClip);
    painter.scale(scale, scale);
    painter.translate(rtf::TwipsToUnits(mMarginLeft), rtf::TwipsToUnits(mMarginTop));
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    context.clip = QRectF(0, 0, pixelSize.width() / scale, pixelSize.height() / scale);
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
}

double TWPRichText::CurrentFontSize() const
{
    const double pt = currentCharFormat().fontPointSize();
    return pt > 0 ? pt * 100.0 / mZoom : 0;
}

void TWPRichText::mergeSelection(const QTextCharFormat &format)
{
    QTextCursor c = textCursor();
    c.mergeCharFormat(format);
    mergeCurrentCharFormat(format);
    setFocus();
}

void TWPRichText::SetSelectionFontSize(double points)
{
    if (!(points > 0))
        return;
    QTextCharFormat f;
    f.setFontPointSize(std::clamp(points, rtf::MinFontPoints, rtf::MaxFontPoints) * mZoom / 100.0);
    mergeSelection(f);
}

void TWPRichText::SetSelectionFontFamily(const QString &family)
{
    QTextCharFormat f;
    f.setFontFamilies({family});
    mergeSelection(f);
}

void TWPRichText::SetSelectionColor(const QColor &color)
{
    QTextCharFormat f;
    f.setForeground(color);
    mergeSelection(f);
}

void TWPRichText::SetSelectionBold(bool on)
{
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeSelection(f);
}

void TWPRichText::SetSelectionItalic(bool on)
{
    QTextCharFormat f;
    f.setFontItalic(on);
    mergeSelection(f);
}

void TWPRichText::SetSelectionUnderline(bool on)
{
    QTextCharFormat f;
    f.setFontUnderline(on);
    mergeSelection(f);
}

void TWPRichText::SetParagraphAlignment(Qt::Alignment alignment)
{
    setAlignment(alignment);
    setFocus();
}

bool TWPRichText::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasFormat(QStringLiteral("text/rtf")) || source->hasFormat(QStringLiteral("application/rtf"))
        || QTextEdit::canInsertFromMimeData(source);
}

void TWPRichText::insertFromMimeData(const QMimeData *source)
{
    const int start = textCursor().selectionStart();
    // RTF first: it carries what HTML from word processors loses.
    QByteArray rtfData;
    for (const char *type : {"text/rtf", "application/rtf", "text/richtext"})
        if (source->hasFormat(QLatin1String(type))) {
            rtfData = source->data(QLatin1String(type));
            break;
        }
    bool inserted = false;
    if (!rtfData.isEmpty()) {
        const rtf::ReadResult r = rtf::Read(rtfData);
        if (r.document) {
            rtf::CopyPictureResources(*r.document, *document());
            textCursor().insertFragment(QTextDocumentFragment(r.document.get()));
            inserted = true;
        }
    }
    if (!inserted)
        QTextEdit::insertFromMimeData(source);
    // What came in is at zoom 100; the view shows the zoom.
    const int end = textCursor().position();
    if (end > start)
        rtf::ScaleDocument(*document(), mZoom / 100.0, start, end);
}

#include "WPRichText.moc"
