#pragma once
// TGSuperText: one line of large decorative text whose glyph outlines are
// filled with a colour, a tiled texture or a gradient, outlined and shadowed.

#include "design/GGraphc.h"
#include "objects/graphic/SurfaceFill.h"
#include "objects/text/Gpbasel.h"  // TBorderStyle
#include "storage/Gdiobj.h"

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QRect>

#include <memory>

class QAction;

enum TSurfaceType { stNormal, stBrushTransparent, stBrushImage, stGradientFill };
extern const TIdentList SurfaceTypeIdents;

// The same six directions as the text labels' shadows (sdNone ... sdDown).
using TShadowOrientation = TShadowDirection;
extern const TIdentList ShadowOrientationIdents;

// The shadow offset (dx, dy) of a direction for depth `depth`.
QPoint ShadowOffset(TShadowOrientation orientation, int depth);

class TGSuperText : public TGGraphicControl
{
    Q_OBJECT
public:
    // Characters drawn at most (the stored caption stays whole), and the
    // largest shadow offset drawn, in pixels.
    static constexpr int MaxDrawnCharacters = 1000;
    static constexpr int MaxDrawnShadow = 1000;

    explicit TGSuperText(TComponent *owner = nullptr);
    ~TGSuperText() override;

    QByteArray ClassName() const override { return "TGSuperText"; }
    const TPropertyTable &Properties() const override;

    int ShadowDepth() const { return mShadowDepth; }
    void SetShadowDepth(int v);
    TShadowOrientation ShadowOrientation() const { return mShadowOrientation; }
    void SetShadowOrientation(TShadowOrientation v);
    TColor Shadowcolor() const { return mShadowColor; }
    void SetShadowcolor(TColor v);
    TBorderStyle BorderStyle() const { return mBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    bool ControlTransparent() const { return mControlTransparent; }
    void SetControlTransparent(bool v);
    TColor BGColor() const { return mBGColor; }
    void SetBGColor(TColor v);
    QString Caption() const { return mCaption; }
    void SetCaption(const QString &v);
    TFont *Font() const { return mFont.get(); }
    TFillDirection FillDirection() const { return mFillDirection; }
    void SetFillDirection(TFillDirection v);
    TColor GradientToColor() const { return mGradientToColor; }
    void SetGradientToColor(TColor v);
    TColor GradientFromColor() const { return mGradientFromColor; }
    void SetGradientFromColor(TColor v);
    TBitmap *Image() const { return mImage.get(); }
    // Copies the texture; nullptr empties it.
    void SetImage(const TBitmap *bitmap);
    TColor OutlineColor() const { return mOutlineColor; }
    void SetOutlineColor(TColor v);
    TPenStyle OutlineStyle() const { return mOutlineStyle; }
    void SetOutlineStyle(TPenStyle v);
    int OutlineWidth() const { return mOutlineWidth; }
    void SetOutlineWidth(int v);
    TSurfaceType SurfaceType() const { return mSurfaceType; }
    void SetSurfaceType(TSurfaceType v);
    QString LastBitmapFileNameandPath() const { return mLastBitmapFile; }
    void SetLastBitmapFileNameandPath(const QString &v) { mLastBitmapFile = v; }

    // Layout results, in object pixels.
    QPoint TextOrigin() const { return mTextOrigin; }
    QPoint TextPosition() const { return mTextRect.topLeft(); }
    QPoint ShadowPosition() const { return mShadowPosition; }
    QRect TextRect() const { return mTextRect; }
    QRect ShadowRect() const { return mShadowRect; }
    bool LayoutNeeded() const { return mLayoutNeeded; }
    void MarkLayoutNeeded() { mLayoutNeeded = true; }
    // Runs the layout when it is marked as needed.
    void Layout();
    // Fits the bounds to the caption (the properties dialog's preview).
    void FitToText();
    // The caption as drawn: bounded, cut from its end until it fits.
    QString ShortenedCaption() const;
    // The screen gradient (a strip, tiled over the object), rebuilt when
    // the size or colours change.
    const QImage &GradientImage();
    void RebuildGradient();

    // The font measuring and drawing use at the object's Scale, bounded.
    QFont CanvasFont() const;
    // The caption's glyph outlines with the top-left of its text cell at `at`.
    static QPainterPath GlyphPath(const QFont &font, const QString &text, QPointF at);

    void FinishLoading() override;
    void PrepareObjectMenu() override;
    void CheckBoundsChanged() override;
    void ApplyFont(const TFont &font) override;
    void Paint() override;
    void PrintOnReport(TReport &report, double left, double top) override;
    bool EditNew() override;
    void SettleLayout() override;
    void MergeRecordChanged() override;

    // The "Font" command.
    virtual void ChooseSuperTextFont();
    // The "Properties" command; true when it closed with Ok.
    bool EditSuperText();
    void ChooseBGColor();

private:
    void shadowChanged();
    void fontChanged();
    QString displayText(const QString &caption) const;

    int mShadowDepth = 0;
    TShadowOrientation mShadowOrientation = sdDownRight;
    TColor mShadowColor = cl::Gray;
    TBorderStyle mBorderStyle = bsNone;
    bool mControlTransparent = true;
    TColor mBGColor = cl::White;
    QString mCaption = QStringLiteral("Text");
    std::unique_ptr<TFont> mFont;
    TFillDirection mFillDirection = gdRight;
    TColor mGradientToColor = cl::Yellow;
    TColor mGradientFromColor = cl::Blue;
    std::unique_ptr<TBitmap> mImage;
    TColor mOutlineColor = cl::Black;
    TPenStyle mOutlineStyle = psSolid;
    int mOutlineWidth = 1;
    TSurfaceType mSurfaceType = stGradientFill;
    QString mLastBitmapFile;

    QImage mGradient;
    // The glyph paths of the last paint, kept while text, font and places stay.
    QString mPathKey;
    QPainterPath mTextPath, mShadowPath;
    // The caption's glyph path at the page's resolution, at x = 0 on its
    // baseline: the same at every cell of a print run, moved to its place;
    // on whole pixels when the page is fine enough.
    QFont mPrintFont;
    QString mPrintText;
    double mPrintBaseline = 0;
    bool mPrintWholePixels = false;
    QPainterPath mPrintPath;
    surfacefill::TKeptPicture mScreenPicture;
    QPoint mShadowOffset;
    QPoint mTextOrigin, mShadowPosition;
    QRect mTextRect, mShadowRect;
    bool mLayoutNeeded = true;
    bool mInLayout = false;
    bool mInPaint = false;
    QAction *mBorderItem = nullptr;
    QAction *mTransparentItem = nullptr;
};
