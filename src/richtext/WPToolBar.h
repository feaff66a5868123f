#pragma once
// TWPToolBar: the formatting tool bar of a TWPRichText: font name, size
// and colour, bold, italic, underline, the four alignments, cut, copy and
// paste, each with its hint. Further buttons can be added after them.

#include <QToolBar>

class QActionGroup;
class QComboBox;
class QFontComboBox;
class QToolButton;
class TWPRichText;

class TWPToolBar : public QToolBar
{
    Q_OBJECT
public:
    explicit TWPToolBar(QWidget *parent = nullptr);

    TWPRichText *Editor() const { return mEditor; }
    void SetEditor(TWPRichText *editor);
    // Places a button (or any control) at the end of the bar.
    void AddButton(QWidget *button);

    QFontComboBox *FontName() const { return mFontName; }
    QComboBox *FontSize() const { return mFontSize; }
    QToolButton *FontColor() const { return mFontColor; }
    QAction *BoldAction() const { return mBold; }
    QAction *ItalicAction() const { return mItalic; }
    QAction *UnderlineAction() const { return mUnderline; }
    QAction *AlignAction(Qt::Alignment alignment) const;
    QAction *CutAction() const { return mCut; }
    QAction *CopyAction() const { return mCopy; }
    QAction *PasteAction() const { return mPaste; }

    // Shows the formatting at the editor's caret.
    void UpdateFromEditor();

private:
    void chooseColor();
    void applySize();

    TWPRichText *mEditor = nullptr;
    QFontComboBox *mFontName = nullptr;
    QComboBox *mFontSize = nullptr;
    QToolButton *mFontColor = nullptr;
    QAction *mBold = nullptr, *mItalic = nullptr, *mUnderline = nullptr;
    QAction *mLeft = nullptr, *mCenter = nullptr, *mRight = nullptr, *mJustify = nullptr;
    QAction *mCut = nullptr, *mCopy = nullptr, *mPaste = nullptr;
    QActionGroup *mAlignGroup = nullptr;
    bool mUpdating = false;
    QList<QMetaObject::Connection> mEditorConnections;
};
