#pragma once
// TGLineShape: the straight line label object.

#include "design/GGraphc.h"
#include "storage/Gdiobj.h"

#include <array>
#include <memory>

enum TLineStyle { stHorizontal, stVertical, stAngleSlopingUp, stAngleSlopingDown };
extern const TIdentList LineStyleIdents;

// One line inside the object's bounds: along the top edge, down the left
// edge, or along either diagonal.
class TGLineShape : public TGGraphicControl
{
    Q_OBJECT
public:
    explicit TGLineShape(TComponent *owner = nullptr);
    ~TGLineShape() override;

    QByteArray ClassName() const override { return "TGLineShape"; }
    const TPropertyTable &Properties() const override;

    TLineStyle LineStyle() const { return mLineStyle; }
    void SetLineStyle(TLineStyle style);
    TPen *Pen() const { return mPen.get(); }
    void SetPen(const TPen &pen);

    void BuildObjectMenu(QMenu *menu) override;
    void PrepareObjectMenu() override;
    void Paint() override;
    void PrintOnReport(TReport &report, double left, double top) override;

    // Pen width on the screen at the object's Scale.
    int ScreenPenWidth() const;
    void StretchToEdges();

private:
    void chooseColor();

    TLineStyle mLineStyle = stHorizontal;
    std::unique_ptr<TPen> mPen;
    std::array<QAction *, 10> mThicknessItems {};
    std::array<QAction *, 4> mStyleItems {};
};
