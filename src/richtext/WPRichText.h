#pragma once
// TWPRichText: the rich text edit control. A QTextEdit showing a page of
// a given width in twips at a zoom in percent, whose document is kept at
// zoom 100 (Document), and which paints its page onto any painter.

#include "storage/Persist.h"

#include <QColor>
#include <QTextEdit>

#include <memory>

class TWPRichText : public QTextEdit, public TComponent
{
    Q_OBJECT
public:
    explicit TWPRichText(QWidget *parent = nullptr, TComponent *owner = nullptr);
    ~TWPRichText() override;

    QByteArray ClassName() const override { return "TWPRichText"; }
    const TPropertyTable &Properties() const override;

    // The document at zoom 100, whatever the zoom shown.
    const QTextDocument &Document() const;
    void SetDocument(const QTextDocument &document);

    QColor Color() const { return mColor; }
    void SetColor(const QColor &color);

    int Zoom() const { return mZoom; }
    void SetZoom(int percent);  // 10..500

    // The page in twips; margins in twips (left, top, right, bottom).
    int PageWidth() const { return mPageWidth; }
    int PageHeight() const { return mPageHeight; }
    void SetPageWidth(int twips);
    void SetPageHeight(int twips);
    void SetMargins(int left, int top, int right, int bottom);
    bool WordWrap() const { return mWordWrap; }
    void SetWordWrap(bool on);

    void ReFormat();
    void CaretToStart();

    // Paints the page's top-left `pixelSize` at `origin` on the painter, at
    // the control's zoom: the document is laid out on the page width at
    // zoom 100 and drawn scaled, so every zoom breaks lines alike.
    void PaintPage(QPainter &painter, QPoint origin, QSize pixelSize) const;

    // Character formatting of the selection (or the typing position), in
    // the document's own points at zoom 100.
    double CurrentFontSize() const;
    void SetSelectionFontSize(double points);
    void SetSelectionFontFamily(const QString &family);
    void SetSelectionColor(const QColor &color);
    void SetSelectionBold(bool on);
    void SetSelectionItalic(bool on);
    void SetSelectionUnderline(bool on);
    void SetParagraphAlignment(Qt::Alignment alignment);

    static constexpr int MinZoom = 10, MaxZoom = 500;

protected:
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void showEvent(QShowEvent *event) override;

private:
    void syncView();
    void pullPage() const;
    double pageTextWidthUnits() const;
    void mergeSelection(const QTextCharFormat &format);

    std::unique_ptr<QTextDocument> mPage;  // the document at zoom 100
    mutable bool mPageStale = false;       // the view was edited since
    bool mViewStale = false;               // the page changed while hidden
    bool mSyncing = false;
    QColor mColor = Qt::white;
    int mZoom = 100;
    int mPageWidth = 12240, mPageHeight = 15840;
    int mMarginLeft = 0, mMarginTop = 0, mMarginRight = 0, mMarginBottom = 0;
    bool mWordWrap = true;
};

namespace rtf {
// Multiplies font sizes, indents, spacing and fixed line heights of the
// characters from..to (all when to < 0) by factor.
void ScaleDocument(QTextDocument &document, double factor, int from = 0, int to = -1);
}
