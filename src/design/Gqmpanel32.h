#pragma once
// TGQuillmarkPanel32: the design panel with drawing tools.

#include "design/Gbasepnl.h"

enum TLPanelState {
    psPointing, psLabel, psSymbolLabel, psCounterLabel, psMultiLineLabel, psRectangle, psEllipse,
    psRoundRectangle, psLine, psImage, psSuperShape, psRichLabel, psSuperText, psCircleText,
    psBarcode
};

// The design panel of the main window: adds the current drawing tool and
// creates the tool's object (by class name, through TClassRegistry) from a
// dragged rectangle.
class TGQuillmarkPanel32 : public TGBasePanel
{
    Q_OBJECT
public:
    explicit TGQuillmarkPanel32(QWidget *parent = nullptr);

    TLPanelState PanelState() const { return mPanelState; }
    void SetPanelState(TLPanelState state);

    void CreateObjectFromRect(const QRect &rect) override;

    // Class name of the object a tool creates ("" for psPointing).
    static QByteArray ToolClassName(TLPanelState state);
    // First free "Special<n>" name, n = 1..1000; "" when all are taken.
    QString FreeObjectName() const;

private:
    TLPanelState mPanelState = psPointing;
};
