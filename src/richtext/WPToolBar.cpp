#include "richtext/WPToolBar.h"

#include "richtext/WPRichText.h"

#include <QActionGroup>
#include <QColorDialog>
#include <QComboBox>
#include <QFontComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

namespace {

// Glyphs drawn here, so the bar needs no image files.
QIcon letterIcon(const QString &letter, bool bold, bool italic, bool underline)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QFont f(QStringLiteral("Liberation Serif"), 11);
    f.setPixelSize(15);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, letter);
    return QIcon(pm);
}

QIcon alignIcon(Qt::Alignment a)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const int widths[] = {14, 10, 14, 8, 14};
    for (int i = 0; i < 5; ++i) {
        int w = a == Qt::AlignJustify ? 14 : widths[i];
        int x = 3;
        if (a == Qt::AlignHCenter) x = 3 + (14 - w) / 2;
        else if (a == Qt::AlignRight) x = 17 - w;
        p.fillRect(x, 3 + i * 3, w, 2, Qt::black);
    }
    return QIcon(pm);
}

QIcon colorIcon(const QColor &c)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, 20, 15), Qt::AlignCenter, QStringLiteral("A"));
    p.fillRect(3, 15, 14, 4, c);
    return QIcon(pm);
}

}  // namespace

TWPToolBar::TWPToolBar(QWidget *parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("WPToolBar1"));
    setMovable(false);
    setIconSize(QSize(20, 20));

    mFontName = new QFontComboBox(this);
    mFontName->setToolTip(QStringLiteral("Font"));
    mFontName->setMaximumWidth(110);
    addWidget(mFontName);
    connect(mFontName, &QFontComboBox::currentFontChanged, this, [this](const QFont &f) {
        if (!mUpdating && mEditor)
            mEditor->SetSelectionFontFamily(f.family());
    });

    mFontSize = new QComboBox(this);
    mFontSize->setEditable(true);
    mFontSize->setToolTip(QStringLiteral("Font Size"));
    for (int s : {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        mFontSize->addItem(QString::number(s));
    mFontSize->setMinimumContentsLength(2);
    mFontSize->setMaximumWidth(50);
    addWidget(mFontSize);
    connect(mFontSize, &QComboBox::textActivated, this, [this] { applySize(); });
    connect(mFontSize->lineEdit(), &QLineEdit::editingFinished, this, [this] { applySize(); });

    mFontColor = new QToolButton(this);
    mFontColor->setToolTip(QStringLiteral("Font Color"));
    mFontColor->setIcon(colorIcon(Qt::black));
    addWidget(mFontColor);
    connect(mFontColor, &QToolButton::clicked, this, [this] { chooseColor(); });

    addSeparator();
    mBold = addAction(letterIcon(QStringLiteral("B"), true, false, false), QStringLiteral("Bold"));
    mItalic = addAction(letterIcon(QStringLiteral("I"), false, true, false), QStringLiteral("Italic"));
    mUnderline = addAction(letterIcon(QStringLiteral("U"), false, false, true), QStringLiteral("Underline"));
    for (QAction *a : {mBold, mItalic, mUnderline})
        a->setCheckable(true);
    connect(mBold, &QAction::triggered, this, [this](bool on) { if (mEditor) mEditor->SetSelectionBold(on); });
    connect(mItalic, &QAction::triggered, this, [this](bool on) { if (mEditor) mEditor->SetSelectionItalic(on); });
    connect(mUnderline, &QAction::triggered, this,
            [this](bool on) { if (mEditor) mEditor->SetSelectionUnderline(on); });

    addSeparator();
    mAlignGroup = new QActionGroup(this);
    auto align = [this](Qt::Alignment a, const char *hint) {
        QAction *act = addAction(alignIcon(a), QLatin1String(hint));
        act->setCheckable(true);
        mAlignGroup->addAction(act);
        connect(act, &QAction::triggered, this, [this, a] { if (mEditor) mEditor->SetParagraphAlignment(a); });
        return act;
    };
    mLeft = align(Qt::AlignLeft, "Align Left");
    mCenter = align(Qt::AlignHCenter, "Center");
    mRight = align(Qt::AlignRight, "Align Right");
    mJustify = align(Qt::AlignJustify, "Justify");

    addSeparator();
    mCut = addAction(QIcon::fromTheme(QStringLiteral("edit-cut")), QStringLiteral("Cut"));
    mCopy = addAction(QIcon::fromTheme(QStringLiteral("edit-copy")), QStringLiteral("Copy"));
    mPaste = addAction(QIcon::fromTheme(QStringLiteral("edit-paste")), QStringLiteral("Paste"));
    connect(mCut, &QAction::triggered, this, [this] { if (mEditor) mEditor->cut(); });
    connect(mCopy, &QAction::triggered, this, [this] { if (mEditor) mEditor->copy(); });
    connect(mPaste, &QAction::triggered, this, [this] { if (mEditor) mEditor->paste(); });
    addSeparator();
}

QAction *TWPToolBar::AlignAction(Qt::Alignment a) const
{
    if (a & Qt::AlignHCenter) return mCenter;
    if (a & Qt::AlignJustify) return mJustify;
    if (a & Qt::AlignRight) return mRight;
    return mLeft;
}

void TWPToolBar::SetEditor(TWPRichText *editor)
{
    for (const auto &c : mEditorConnections)
        disconnect(c);
    mEditorConnections.clear();
    mEditor = editor;
    if (!editor)
        return;
    mEditorConnections << connect(editor, &QTextEdit::cursorPositionChanged, this, [this] { UpdateFromEditor(); })
                       << connect(editor, &QTextEdit::currentCharFormatChanged, this,
                                  [this] { UpdateFromEditor(); })
                       << connect(editor, &QObject::destroyed, this, [this] { mEditor = nullptr; });
    UpdateFromEditor();
}

void TWPToolBar::AddButton(QWidget *button)
{
    addWidget(button);
}

void TWPToolBar::UpdateFromEditor()
{
    if (!mEditor)
        return;
    mUpdating = true;
    const QTextCharFormat f = mEditor->currentCharFormat();
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty())
        mFontName->setCurrentFont(QFont(families.first()));
    const double size = mEditor->CurrentFontSize();
    if (size > 0)
        mFontSize->setEditText(QString::number(size, 'g', 4));
    mBold->setChecked(f.fontWeight() >= QFont::DemiBold);
    mItalic->setChecked(f.fontItalic());
    mUnderline->setChecked(f.fontUnderline());
    const QColor color = f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor(Qt::black);
    mFontColor->setIcon(colorIcon(color));
    AlignAction(mEditor->alignment())->setChecked(true);
    mUpdating = false;
}

void TWPToolBar::applySize()
{
    if (mUpdating || !mEditor)
        return;
    bool ok = false;
    const double size = mFontSize->currentText().toDouble(&ok);
    if (ok && size > 0 && std::abs(size - mEditor->CurrentFontSize()) > 0.01)
        mEditor->SetSelectionFontSize(size);
}

void TWPToolBar::chooseColor()
{
    if (!mEditor)
        return;
    const QTextCharFormat f = mEditor->currentCharFormat();
    const QColor start = f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor(Qt::black);
    const QColor c = QColorDialog::getColor(start, this, QStringLiteral("Font Color"));
    if (!c.isValid())
        return;
    mEditor->SetSelectionColor(c);
    mFontColor->setIcon(colorIcon(c));
}
