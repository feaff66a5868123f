#pragma once
// TGPRichBaseLabel: the rich text label object, a formatted document
// word-wrapped to the object's rectangle, drawn through the main window's
// shared rich text editor.

#include "design/GGraphc.h"
#include "objects/text/Gpbasel.h"
#include "richtext/WPRichText.h"
#include "richtext/WPStorage.h"
#include "storage/Gdiobj.h"

#include <QImage>
#include <QPointer>

#include <memory>
#include <stdexcept>



// The owning form has no shared rich text editor.
class ENoMasterWPRich : public std::runtime_error
{
public:
    explicit ENoMasterWPRich(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The component name of the shared editor on the main window.
inline constexpr char MasterRichTextName[] = "MASTERWPRICHTEXT";

class TGPRichBaseLabel : public TGGraphicControl
{
    Q_OBJECT
public:
    explicit TGPRichBaseLabel(TComponent *owner = nullptr);
    ~TGPRichBaseLabel() override;

    QByteArray ClassName() const override { return "TGPRichBaseLabel"; }
    const TPropertyTable &Properties() const override;

    TWPRTFTextIo *RTFText() const { return mRTFText.get(); }
    void SetRTFText(const TWPRTFTextIo &text);
    // Replaces the document (the editor's OK).
    void SetDocument(const QTextDocument &document);
    TWPRtfStorage *Storage() const { return mStorage.get(); }
    TBorderStyle BorderStyle() const { return mBorderStyle; }
    void SetBorderStyle(TBorderStyle style);
    bool Transparent() const { return mTransparent; }
    void SetTransparent(bool transparent);
    TColor BGColor() const { return mBGColor; }
    void SetBGColor(TColor color);

    TWPRichText *MasterEditor() const { return mMasterEditor; }
    // The shared editor for an object owned by `owner`: the first one
    // found walking up the owners (and, past a window without an owner, the
    // windows it lies on), or nullptr.
    static TWPRichText *FindMasterEditor(const TComponent *owner);

    void FinishLoading() override;
    void MergeRecordChanged() override;
    void BuildObjectMenu(QMenu *menu) override;
    void Paint() override;
    void PrepareObjectMenu() override;
    void PrintOnReport(TReport &report, double left, double top) override;
    bool EditNew() override;

    // The "Edit" command and the double-click: the "Rich Text Editor".
    void EditRichText();
    // Draws background, document and frame on a painter whose origin is the
    // object's top-left corner.
    void DrawRichText(QPainter &painter);
    // A copy of the document with the mail merge fields filled in; nullptr
    // when there is nothing to fill (the document is drawn as it is).
    std::unique_ptr<QTextDocument> MergedDocument() const;

    // The page, in twips, of w x h pixels at zoom scale: Trunc(w / scale /
    // p * 1440) by Trunc(h / scale / p * 1440), p = screen pixels per inch.
    static QSize PageSizeTwips(int width, int height, double scale);

private:
    void chooseBackgroundColor();
    // Draws on the panel from the kept picture, painting it first when it
    // is missing or was made for another size, zoom or screen.
    void paintKept(QPainter &painter);
    void dropKept() { mKept = QImage(); }

    std::unique_ptr<TWPRtfStorage> mStorage;
    std::unique_ptr<TWPRTFTextIo> mRTFText;
    TBorderStyle mBorderStyle = bsSingle;
    bool mTransparent = true;
    TColor mBGColor = cl::White;
    QPointer<TWPRichText> mMasterEditor;
    QAction *mTransparentItem = nullptr;
    QAction *mBorderItem = nullptr;
    // The last screen paint of background, document and frame: laying a
    // document out costs far more than drawing its picture, and the panel
    // repaints objects whose document has not changed.
    QImage mKept;
    float mKeptScale = 0;
};
