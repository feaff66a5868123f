#pragma once
// TGLabelShapes: the rectangle, rounded rectangle and ellipse label object.

#include "design/GGraphc.h"
#include "storage/Gdiobj.h"

#include <array>
#include <memory>

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
extern const TIdentList ShapeTypeIdents;

// An outline drawn with a pen around an interior filled with a brush (or
// left open when transparent), filling the object's bounds.
class TGLabelShapes : public TGGraphicControl
{
    Q_OBJECT
public:
    explicit TGLabelShapes(TComponent *owner = nullptr);
    ~TGLabelShapes() override;

    QByteArray ClassName() const override { return "TGLabelShapes"; }
    const TPropertyTable &Properties() const override;

    bool Transparent() const { return mTransparent; }
    void SetTransparent(bool transparent);
    TBrush *Brush() const { return mBrush.get(); }
    void SetBrush(const TBrush &brush);
    TPen *Pen() const { return mPen.get(); }
    void SetPen(const TPen &pen);
    int RoundPerc() const { return mRoundPerc; }
    void SetRoundPerc(int percent);
    TShapeType Shape() const { return mShape; }
    void SetShape(TShapeType shape);

    void BuildObjectMenu(QMenu *menu) override;
    void PrepareObjectMenu() override;
    void Paint() override;
    void PrintOnReport(TReport &report, double left, double top) override;

    // Pen width on the screen at the object's Scale.
    int ScreenPenWidth() const;
    // Corner ellipse size on the screen: Trunc(max(W, H) * (RoundPerc * 0.01)),
    // in extended precision.
    static int CornerSize(int width, int height, int roundPerc);

private:
    void chooseBackgroundColor();
    void chooseLineColor();

    bool mTransparent = false;
    std::unique_ptr<TBrush> mBrush;
    std::unique_ptr<TPen> mPen;
    int mRoundPerc = 25;
    TShapeType mShape = stRectangle;
    QAction *mTransparentItem = nullptr;
    std::array<QAction *, 10> mThicknessItems {};
};
