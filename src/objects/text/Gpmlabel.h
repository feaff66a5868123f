#pragma once
// TGMultiLineLabel: the text block of the multi-line text tool, with its
// "Text" editor and the "Word Wrap" switch.

#include "Gpmbasel.h"

class TGMultiLineLabel : public TGMultiLineBaseLabel
{
    Q_OBJECT
public:
    explicit TGMultiLineLabel(TComponent *owner = nullptr);

    QByteArray ClassName() const override { return "TGMultiLineLabel"; }

    void BuildObjectMenu(QMenu *menu) override;
    // The editor, then the frame fitted to the lines.
    bool EditNew() override;

    // The "Text" command: "Multi-line Text Editor" on the lines.
    void EditLines();

    QAction *WordWrapItem() const { return mWordWrapItem; }

private:
    QAction *mWordWrapItem = nullptr;
};
