#pragma once
// TGMultiLineBaseLabel: several lines of plain text, one below the other,
// each aligned in the object's width, optionally word-wrapped to it.

#include "Gpbasel.h"
#include "design/GGraphc.h"
#include "storage/Gdiobj.h"

#include <QStringList>

#include <memory>

class QAction;
class QFont;
class QPicture;

class TGMultiLineBaseLabel : public TGGraphicControl
{
    Q_OBJECT
public:
    // The most lines a word wrap produces: a file may hold any amount of
    // text, and lines this far down lie below any label's bottom edge.
    static constexpr int MaxWrappedLines = 10000;

    explicit TGMultiLineBaseLabel(TComponent *owner = nullptr);
    ~TGMultiLineBaseLabel() override;

    QByteArray ClassName() const override { return "TGMultiLineBaseLabel"; }
    const TPropertyTable &Properties() const override { return MultiLineProperties(); }
    static const TPropertyTable &MultiLineProperties();

    TStrings *Items() const { return mItems.get(); }
    void SetItems(const QStringList &lines);
    bool AutoSize() const { return mAutoSize; }
    void SetAutoSize(bool value) { mAutoSize = value; }
    TAlignment Alignment() const { return mAlignment; }
    void SetAlignment(TAlignment value);
    TFont *Font() const { return mFont.get(); }
    bool WordWrap() const { return mWordWrap; }
    void SetWordWrap(bool value);

    const QStringList &WrappedLines() const { return mWrappedLines; }

    void SetBounds(int left, int top, int width, int height) override;
    void BuildObjectMenu(QMenu *menu) override;
    void Paint() override;
    void CheckBoundsChanged() override;
    void PrepareObjectMenu() override;
    void ApplyFont(const TFont &font) override;
    void PrintOnReport(TReport &report, double left, double top) override;
    virtual void WrapLines();
    void MergeRecordChanged() override;

    // The "Font" command.
    void ChooseLinesFont();
    void DrawLines(QPainter &painter);
    // Height to the lines (one at least), width grown to the widest line
    // (after tool creation).
    void FitToLines();
    // The object as a picture of Width x Height pixels.
    void RenderToMetafile(QPicture &picture);

    // Font at the object's Scale, as measuring and drawing use it.
    QFont CanvasFont() const;
    // Height of "XXX" in the canvas font: the height of every line.
    int LineHeight() const;
    // The lines with the mail merge fields filled in, before wrapping.
    QStringList MergedLines() const;
    // What DrawLines draws, the "<blank>" placeholder included.
    QStringList DisplayLines() const;
    // Where DrawLines puts the left end of a line of width w.
    int LineX(int w) const;

protected:
    QAction *mLeftItem = nullptr;
    QAction *mCenterItem = nullptr;
    QAction *mRightItem = nullptr;

private:
    void fontChanged();
    void wrapTo(int width);

    std::unique_ptr<TStrings> mItems;
    bool mAutoSize = false;
    TAlignment mAlignment = taLeftJustify;
    std::unique_ptr<TFont> mFont;
    bool mWordWrap = false;
    QStringList mWrappedLines;
    float mWrapScale = 1.0f;
};
