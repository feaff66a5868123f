#include "Gpmbasel.h"

#include "TextFont.h"
#include "controls/DialogSupport.h"
#include "print/engine/Report.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPicture>
#include <QTextLayout>

#include <algorithm>

namespace {

// The wrap leaves two pixels free at either side, as an edit box's border
// and formatting margins do, so that a full line also fits after the
// one-pixel shifts of right and centred alignment.
constexpr int WrapMargin = 2;

// Breaks each paragraph into the lines a box `width` pixels wide shows:
// at blanks, or inside a word that is wider than the box. A line broken
// at blanks loses them at its end. Stops after `maxLines` lines.
QStringList wrapParagraphs(const QStringList &paragraphs, const QFont &font, int width, int maxLines)
{
    QStringList out;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(false);
    const qreal lineWidth = qMax(1, width);
    for (const QString &paragraph : paragraphs) {
        if (out.size() >= maxLines)
            break;
        if (paragraph.isEmpty()) {
            out << QString();
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(lineWidth);
            if (line.textLength() <= 0)
                break;
            const int start = line.textStart(), length = line.textLength();
            QString text = paragraph.mid(start, length);
            if (start + length < paragraph.size())
                text = TGGraphicControl::TrimTrailingSpaces(text);
            out << text;
            if (out.size() >= maxLines)
                break;
        }
        layout.endLayout();
    }
    return out;
}

}  // namespace

TGMultiLineBaseLabel::TGMultiLineBaseLabel(TComponent *owner)
    : TGGraphicControl(owner)
    , mItems(std::make_unique<TStrings>())
    , mFont(std::make_unique<TFont>())
{
    mFont->SetName(QStringLiteral("Arial"));
    mFont->SetSize(10);
    mFont->OnChange = [this] { fontChanged(); };
    mItems->OnChange = [this] { update(); };
    resize(190, 33);
}

TGMultiLineBaseLabel::~TGMultiLineBaseLabel()
{
    mFont->OnChange = nullptr;
    mItems->OnChange = nullptr;
}

const TPropertyTable &TGMultiLineBaseLabel::MultiLineProperties()
{
    using C = TGMultiLineBaseLabel;
    static const TPropertyTable table(&TGGraphicControl::BaseProperties(), {
        props::object("Items", TPropKind::StringList, &C::Items),
        props::boolean("AutoSize", &C::AutoSize, &C::SetAutoSize, std::nullopt),
        props::enumeration("Alignment", AlignmentIdents, &C::Alignment, &C::SetAlignment, taLeftJustify),
        props::object("Font", TPropKind::Object, &C::Font),
        props::boolean("WordWrap", &C::WordWrap, &C::SetWordWrap, false),
    });
    return table;
}

void TGMultiLineBaseLabel::SetItems(const QStringList &lines)
{
    mItems->SetLines(lines);
    update();
}

void TGMultiLineBaseLabel::SetAlignment(TAlignment value)
{
    if (value == mAlignment || value < taLeftJustify || value > taCenter)
        return;
    mAlignment = value;
    update();
}

void TGMultiLineBaseLabel::SetWordWrap(bool value)
{
    if (value == mWordWrap)
        return;
    mWordWrap = value;
    if (mWordWrap)
        WrapLines();
    update();
    NotifyChanged();
}

void TGMultiLineBaseLabel::fontChanged()
{
    if (mWordWrap)
        WrapLines();
    update();
    if (!IsLoading())
        NotifyChanged();
}

void TGMultiLineBaseLabel::SetBounds(int left, int top, int width, int height)
{
    // The lines follow a new width before the base's bounds handling
    // (change notification, selection frame) sees the object.
    if (mWordWrap && qMax(0, width) != Width())
        wrapTo(qMax(0, width));
    TGGraphicControl::SetBounds(left, top, width, height);
}

void TGMultiLineBaseLabel::CheckBoundsChanged()
{
    TGGraphicControl::CheckBoundsChanged();
    // A zoom step sets the new scale after the new bounds: the font of the
    // last wrap is then out of date.
    if (mWordWrap && mWrapScale != Scale())
        WrapLines();
}

void TGMultiLineBaseLabel::BuildObjectMenu(QMenu *menu)
{
    TGGraphicControl::BuildObjectMenu(menu);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Font"), this, &TGMultiLineBaseLabel::ChooseLinesFont);
    QMenu *alignment = menu->addMenu(QStringLiteral("Alignment"));
    const auto align = [this](TAlignment a) {
        SetAlignment(a);
        NotifyChanged();
    };
    mLeftItem = alignment->addAction(QStringLiteral("Left"), this, [align] { align(taLeftJustify); });
    mCenterItem = alignment->addAction(QStringLiteral("Center"), this, [align] { align(taCenter); });
    mRightItem = alignment->addAction(QStringLiteral("Right"), this, [align] { align(taRightJustify); });
    for (QAction *a : {mLeftItem, mCenterItem, mRightItem})
        a->setCheckable(true);
}

void TGMultiLineBaseLabel::PrepareObjectMenu()
{
    TGGraphicControl::PrepareObjectMenu();
    if (!mLeftItem)
        return;
    mLeftItem->setChecked(mAlignment == taLeftJustify);
    mRightItem->setChecked(mAlignment == taRightJustify);
    mCenterItem->setChecked(mAlignment == taCenter);
}

void TGMultiLineBaseLabel::ApplyFont(const TFont &font)
{
    mFont->Assign(font);  // re-wraps through the font's change
}

void TGMultiLineBaseLabel::ChooseLinesFont()
{
    if (const std::optional<QFont> chosen = PickFont(DialogFont(*mFont), window()))
        AssignDialogFont(*mFont, *chosen);
    if (mWordWrap)
        WrapLines();
}

QFont TGMultiLineBaseLabel::CanvasFont() const
{
    return BoundedQFont(*mFont, Scale());
}

int TGMultiLineBaseLabel::LineHeight() const
{
    return qMax(1, TextMetrics(CanvasFont()).cellHeight);
}

void TGMultiLineBaseLabel::WrapLines()
{
    if (mWordWrap)
        wrapTo(Width());
}

void TGMultiLineBaseLabel::wrapTo(int width)
{
    mWrappedLines = wrapParagraphs(MergedLines(), CanvasFont(), width - 2 * WrapMargin, MaxWrappedLines);
    mWrapScale = Scale();
    update();
}

QStringList TGMultiLineBaseLabel::DisplayLines() const
{
    QStringList lines = mWordWrap ? mWrappedLines : MergedLines();
    if (lines.isEmpty())
        lines << QStringLiteral("<blank>");
    else if (lines.size() == 1 && TrimSpaces(lines.first()).isEmpty())
        lines << QStringLiteral("<blank>");
    return lines;
}

QStringList TGMultiLineBaseLabel::MergedLines() const
{
    const QStringList &lines = mItems->Lines();
    if (!HasFields(lines.join(u'\n')))
        return lines;
    // A value's own line breaks (an address field) begin new lines.
    QString merged = MergedText(lines.join(u'\n'));
    merged.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    return merged.split(u'\n');
}

void TGMultiLineBaseLabel::MergeRecordChanged()
{
    if (mWordWrap && HasFields(mItems->Lines().join(u'\n')))
        WrapLines();
    update();
}

int TGMultiLineBaseLabel::LineX(int w) const
{
    switch (mAlignment) {
    case taRightJustify: return Width() - w - 1;
    case taCenter: return Width() / 2 - w / 2 + 1;
    case taLeftJustify: break;
    }
    return 0;
}

void TGMultiLineBaseLabel::DrawLines(QPainter &painter)
{
    const QStringList lines = DisplayLines();
    const QFont font = CanvasFont();
    const int ascent = TextMetrics(font).ascent;
    const int lineHeight = LineHeight();
    const QRect client(0, 0, Width(), Height());
    painter.save();
    painter.setFont(font);
    painter.setPen(ColorToQColor(mFont->Color()));
    painter.setBrush(Qt::NoBrush);
    int y = 0;
    for (const QString &s : lines) {
        if (y >= client.height())
            break;  // the rest lies below the bottom edge
        const QRect band = QRect(0, y, Width(), lineHeight) & client;
        painter.setClipRect(band);
        painter.drawText(QPoint(LineX(TextWidth(font, s)), y + ascent), s);
        y += lineHeight;
    }
    painter.restore();
}

void TGMultiLineBaseLabel::Paint()
{
    if (QPainter *p = DrawCanvas())
        DrawLines(*p);
    DrawSelectionMarks();
}

void TGMultiLineBaseLabel::FitToLines()
{
    const QFont font = CanvasFont();
    int w = Width();
    if (mWordWrap)
        WrapLines();
    const QStringList &lines = mWordWrap ? mWrappedLines : mItems->Lines();
    // At least one line high: an editor closed without text must not leave
    // an object too flat to see or click.
    const qint64 h = qint64(LineHeight()) * std::max<qsizetype>(1, lines.size());
    for (const QString &s : lines)
        w = std::max(w, TextWidth(font, s));
    SetBounds(Left(), Top(), w, int(std::min<qint64>(h, QWIDGETSIZE_MAX)));
    update();
}

void TGMultiLineBaseLabel::RenderToMetafile(QPicture &picture)
{
    const QRect frame(0, 0, Width(), Height());
    QPainter painter(&picture);
    DrawLines(painter);
    painter.end();
    // Text does not count towards a picture's own bounds; the object's frame does.
    picture.setBoundingRect(frame);
}

void TGMultiLineBaseLabel::PrintOnReport(TReport &report, double left, double top)
{
    if (Width() < 1 || Height() < 1)
        return;
    const double p = ScreenPixelsPerInch();
    const QRect b = BoundsRect();
    report.StretchPaint(left + b.left() / p, top + b.top() / p, left + (b.left() + b.width()) / p,
                        top + (b.top() + b.height()) / p, QSizeF(b.size()),
                        [this](QPainter &painter) { DrawLines(painter); });
}
