#pragma once
// TRichTextLabelEditor: the "Rich Text Editor" dialog of the rich text
// label: the formatting tool bar, the object's page at its zoom, zoom
// buttons that stop at 50 and 100 percent.

#include <QDialog>

class QFrame;
class QLabel;
class QScrollArea;
class QToolButton;
class TDialogButtonStrip;
class TWPRichText;
class TWPToolBar;

class TRichTextLabelEditor : public QDialog
{
    Q_OBJECT
public:
    explicit TRichTextLabelEditor(QWidget *parent = nullptr);

    TWPToolBar *WPToolBar1 = nullptr;
    QScrollArea *ScrollBox1 = nullptr;
    QFrame *WPPanel = nullptr;
    TWPRichText *WPRichText1 = nullptr;
    QToolButton *ZoomPlusButton = nullptr;
    QToolButton *ZoomMinusButton = nullptr;
    QLabel *ZoomCaption = nullptr;
    TDialogButtonStrip *Buttons = nullptr;

    void SetPanelColor(const QColor &color);
    // What the first activation does: reformat, caret to the start, and
    // remember the panel's size and the zoom the zoom buttons scale from.
    void FormActivate();
    void ZoomPlusButtonClick();
    void ZoomMinusButtonClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void zoomTo(int zoom);

    bool mActivated = false;
    int mW0 = 0, mH0 = 0, mZ0 = 100;
};
