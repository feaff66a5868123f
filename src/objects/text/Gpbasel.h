#pragma once
// TGBaseLabel: the base of the single-line text objects (plain text,
// counter, symbol): one line of text, optionally rotated by a quarter turn,
// with shadow and highlight copies, background and frame.

#include "design/GGraphc.h"
#include "storage/Gdiobj.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>

class QFont;
class QPicture;

enum TShadowDirection { sdNone, sdRight, sdLeft, sdDownRight, sdDownLeft, sdDown };
enum THighlightDirection { hdNone, hdright, hdLeft, hdUpRight, hdUpLeft, hdUp };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBorderStyle { bsNone, bsSingle };

extern const TIdentList ShadowDirectionIdents, HighlightDirectionIdents, AlignmentIdents,
    BorderStyleIdents;

// A rectangle as left, top, right, bottom, right and bottom exclusive, so
// the layout arithmetic reads as the object's own geometry does.
struct TLayoutRect
{
    int left = 0, top = 0, right = 0, bottom = 0;
    void Offset(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    QRect toQRect() const { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }
    bool operator==(const TLayoutRect &) const = default;
};

class TGBaseLabel : public TGGraphicControl
{
    Q_OBJECT
public:
    explicit TGBaseLabel(TComponent *owner = nullptr);
    ~TGBaseLabel() override;

    QByteArray ClassName() const override { return "TGBaseLabel"; }
    const TPropertyTable &Properties() const override { return LabelProperties(); }
    static const TPropertyTable &LabelProperties();

    TAlignment Alignment() const { return mAlignment; }
    void SetAlignment(TAlignment value);
    int DepthHighlight() const { return mDepthHighlight; }
    void SetDepthHighlight(int value);
    int DepthShadow() const { return mDepthShadow; }
    void SetDepthShadow(int value);
    THighlightDirection DirectionHighlight() const { return mDirectionHighlight; }
    void SetDirectionHighlight(THighlightDirection value);
    TShadowDirection DirectionShadow() const { return mDirectionShadow; }
    void SetDirectionShadow(TShadowDirection value);
    TColor colorHighlight() const { return mColorHighlight; }
    void SetcolorHighlight(TColor value);
    TColor colorShadow() const { return mColorShadow; }
    void SetcolorShadow(TColor value);
    int Angle() const { return mAngle; }
    void SetAngle(int value);
    QString Caption() const { return mCaption; }
    void SetCaption(const QString &value);
    TFont *Font() const { return mFont.get(); }
    bool Transparent() const { return mTransparent; }
    void SetTransparent(bool value);
    TColor BackColor() const { return mBackColor; }
    void SetBackColor(TColor value);
    TBorderStyle BorderStyle() const { return mBorderStyle; }
    void SetBorderStyle(TBorderStyle value);

    // Cached layout, in pixels relative to the object's top-left corner.
    bool LayoutDirty() const { return mLayoutDirty; }
    void SetLayoutDirty() { mLayoutDirty = true; }
    QPoint ShadowOffset() const { return mShadowOffset; }
    QPoint HighlightOffset() const { return mHighlightOffset; }
    QPoint TextMargin() const { return mTextMargin; }
    TLayoutRect TextRect() const { return mTextRect; }
    TLayoutRect ShadowRect() const { return mShadowRect; }
    TLayoutRect HighlightRect() const { return mHighlightRect; }
    QPoint TextOrigin() const { return mTextOrigin; }
    QPoint ShadowOrigin() const { return mShadowOrigin; }
    QPoint HighlightOrigin() const { return mHighlightOrigin; }
    bool HasRotationMenu() const { return ObjectMenu(), mHasRotationMenu; }

    void BuildObjectMenu(QMenu *menu) override;
    void Paint() override;
    void CheckBoundsChanged() override;
    void SettleLayout() override;
    void PrepareObjectMenu() override;
    void ApplyFont(const TFont &font) override;
    void PrintOnReport(TReport &report, double left, double top) override;
    void MergeRecordChanged() override;

    // The "Font" command.
    virtual void ChooseFont();

    void AddRotationMenu(QMenu *menu);
    void FitToText();
    void ShowEffectsDialog();
    void ChooseBackColor();
    void ToggleTransparent();
    void DrawLabel(QPainter &painter);
    void RecalculateLayout();
    // The label as a picture of Width x Height pixels.
    void RenderToMetafile(QPicture &picture);

    // The font measurements and drawing use: Font at the object's Scale.
    QFont CanvasFont() const;
    // What is drawn for Caption: the mail merge fields filled in, symbol
    // codes as their glyphs.
    QString DisplayCaption() const;

protected:
    // Menu items kept for their check marks.
    QAction *mBorderItem = nullptr;
    QAction *mAlignmentItem = nullptr;
    QAction *mLeftItem = nullptr;
    QAction *mCenterItem = nullptr;
    QAction *mRightItem = nullptr;
    QAction *mTransparentItem = nullptr;
    QAction *mBackColorItem = nullptr;
    QAction *mEffectsItem = nullptr;
    QAction *mFontItem = nullptr;
    QAction *mRotationItem = nullptr;
    QAction *mNoRotationItem = nullptr;
    QAction *m90Item = nullptr;
    QAction *m180Item = nullptr;
    QAction *m270Item = nullptr;

private:
    void fontChanged();
    static QPoint shadowOffsetFor(TShadowDirection direction, int depth);
    static QPoint highlightOffsetFor(THighlightDirection direction, int depth);
    // Copy 0 is the shadow, 1 the highlight, 2 the text itself.
    void drawCopy(QPainter &painter, int copy, const QFont &font, const QString &text,
                  const QPoint &origin, const TLayoutRect &clip, TColor color) const;
    bool inkInside(int copy, const QFont &font, const QString &text, const QPoint &origin,
                   const TLayoutRect &clip) const;

    TAlignment mAlignment = taLeftJustify;
    int mDepthHighlight = 0;
    int mDepthShadow = 0;
    THighlightDirection mDirectionHighlight = hdUpLeft;
    TShadowDirection mDirectionShadow = sdDownRight;
    TColor mColorHighlight = cl::Aqua;
    TColor mColorShadow = cl::Gray;
    int mAngle = 0;
    QString mCaption = QStringLiteral("Text");
    std::unique_ptr<TFont> mFont;
    bool mTransparent = true;
    TColor mBackColor = cl::White;
    TBorderStyle mBorderStyle = bsNone;

    // Whether a copy's glyphs lie inside its rectangle, for the text, font
    // and place it was last drawn with.
    struct TInkFit
    {
        bool known = false;
        QPoint origin;
        TLayoutRect clip;
        QString text;
        QFont font;
        bool inside = false;
    };
    mutable TInkFit mInkFit[3];

    bool mLayoutDirty = true;
    QPoint mShadowOffset, mHighlightOffset, mTextMargin;
    TLayoutRect mTextRect, mShadowRect, mHighlightRect;
    QPoint mTextOrigin, mShadowOrigin, mHighlightOrigin;
    bool mHasRotationMenu = false;
};
