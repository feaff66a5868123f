#pragma once
// TGPCircleText: a caption drawn letter by letter along a quarter, half,
// three-quarter or full circle, letters upright or turned to the arc.

#include "Gpbasel.h"
#include "design/GGraphc.h"
#include "storage/Gdiobj.h"

#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class QAction;
class QFont;
class QPicture;

// The sweep of the arc, and the starting vector (90 = top ... 360 = right).
enum TDegrees { dg90, dg180, dg270, dg360 };
extern const TIdentList DegreesIdents;

// Where one letter of the caption stands.
struct TCircleLetter
{
    QChar letter;
    int x = 0, y = 0;     // reference point: middle of the bottom of the cell
    int rotation = 0;     // tenths of a degree, counter-clockwise
    bool inside = false;  // the point lies in the object; else it is skipped
};

// The centre, the half extents and the radius the letters run on.
struct TCircleGeometry
{
    int cx = 0, cy = 0, rx = 0, ry = 0, r = 0;
};

class TGPCircleText : public TGGraphicControl
{
    Q_OBJECT
public:
    // Letters drawn at most: a caption longer than this is drawn as if cut
    // there (the stored caption stays whole).
    static constexpr int MaxDrawnLetters = 2000;

    explicit TGPCircleText(TComponent *owner = nullptr);
    ~TGPCircleText() override;

    QByteArray ClassName() const override { return "TGPCircleText"; }
    const TPropertyTable &Properties() const override;

    TDegrees StartingVector() const { return mStartingVector; }
    void SetStartingVector(TDegrees value);
    TDegrees Degrees() const { return mDegrees; }
    void SetDegrees(TDegrees value);
    TComponent *PopupMenu() const;
    void SetPopupMenu(TComponent *menu);
    TFont *Font() const { return mFont.get(); }
    bool Mirror() const { return mMirror; }
    void SetMirror(bool value);
    bool DrawLettersAngled() const { return mDrawLettersAngled; }
    void SetDrawLettersAngled(bool value);
    TBorderStyle BorderStyle() const { return mBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    bool ControlTransparent() const { return mControlTransparent; }
    void SetControlTransparent(bool value);
    TColor BGColor() const { return mBGColor; }
    void SetBGColor(TColor value);
    QString Caption() const { return mCaption; }
    void SetCaption(const QString &value);

    bool InPaint() const { return mInPaint; }

    void BuildObjectMenu(QMenu *menu) override;
    void Paint() override;
    void CheckBoundsChanged() override;
    void PrepareObjectMenu() override;
    void ApplyFont(const TFont &font) override;
    void PrintOnReport(TReport &report, double left, double top) override;
    bool EditNew() override;
    // The "Font" command.
    virtual void ChooseCircleFont();
    void StyleChanged() { update(); }

    void CopyCircleText(const TGPCircleText &source);
    // The "Properties" command; true when it closed with Ok.
    bool EditCircleText();
    void ChooseBGColor();

    void DrawCircleText(QPainter &painter);
    void RenderToMetafile(QPicture &picture);

    // Font at the object's Scale, as measuring and drawing use it.
    QFont CanvasFont() const;
    // The geometry for character cell height H and average width A.
    TCircleGeometry Geometry(int H, int A) const;
    // Every drawn letter with its place, for the canvas font.
    std::vector<TCircleLetter> Letters() const;
    std::vector<TCircleLetter> Letters(int H, int A) const;

private:
    void fontChanged();

    TDegrees mStartingVector = dg180;
    TDegrees mDegrees = dg360;
    QPointer<QObject> mPopupMenuObject;
    TComponent *mPopupMenu = nullptr;
    std::unique_ptr<TFont> mFont;
    bool mMirror = false;
    bool mDrawLettersAngled = true;
    TBorderStyle mBorderStyle = bsNone;
    bool mControlTransparent = true;
    TColor mBGColor = cl::White;
    QString mCaption = QStringLiteral("ABC DEF GHI JKL");

    bool mInPaint = false;
    QAction *mBorderItem = nullptr;
    QAction *mTransparentItem = nullptr;
};
