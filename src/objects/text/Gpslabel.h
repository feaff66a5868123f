#pragma once
// TGSymbolLabel: one character of a symbol font shown as a picture; the
// frame always fits the character.

#include "Gpbasel.h"

class TGSymbolLabel : public TGBaseLabel
{
    Q_OBJECT
public:
    explicit TGSymbolLabel(TComponent *owner = nullptr);

    QByteArray ClassName() const override { return "TGSymbolLabel"; }

    void FinishLoading() override;
    void BuildObjectMenu(QMenu *menu) override;
    void CheckBoundsChanged() override;
    // The panel's font command leaves symbols as they are.
    void ApplyFont(const TFont &font) override;
    bool EditNew() override;

    // The "Symbol Selector" command.
    void EditSymbol();
};
