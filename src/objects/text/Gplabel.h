#pragma once
// TGPLabel: the plain single-line text object of the text tool.

#include "Gpbasel.h"

class TGPLabel : public TGBaseLabel
{
    Q_OBJECT
public:
    explicit TGPLabel(TComponent *owner = nullptr);

    QByteArray ClassName() const override { return "TGPLabel"; }

    void BuildObjectMenu(QMenu *menu) override;
    void PrepareObjectMenu() override;
    // The font dialog, then the frame grows to the text either way.
    void ChooseFont() override;
    bool EditNew() override;

    virtual void EditText();
    virtual void FirstEdit();

    QAction *TextItem() const { return mTextItem; }

private:
    QAction *mTextItem = nullptr;
};
