#include "Gmlted.h"

#include "controls/DialogSupport.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

TMultiLineTextEditor::TMultiLineTextEditor(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Multi-line Text Editor"));
    // Sizeable, but without the title bar's buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(334, 209);
    setMinimumSize(160, 100);

    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setAccessibleName(QStringLiteral("Lines of text"));
    Memo->setTabChangesFocus(true);
    Buttons = new TDialogButtonStrip(this, 40001);
    connect(Memo->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { limitLength(position, added); });
    setTabOrder(Memo, Buttons->okButton());
    setTabOrder(Buttons->okButton(), Buttons->cancelButton());
    setTabOrder(Buttons->cancelButton(), Buttons->helpButton());
    Memo->setFocus();
    PlaceDialog(this);
}

void TMultiLineTextEditor::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Memo->setGeometry(0, 0, width(), height() - 40);
    Buttons->setGeometry(0, height() - 40, width(), 40);
}

void TMultiLineTextEditor::limitLength(int position, int added)
{
    if (mLimiting || added <= 0)
        return;
    // The document counts one character more than the text it holds.
    const int excess = Memo->document()->characterCount() - 1 - MaxLength;
    if (excess <= 0)
        return;
    // What cannot be typed is taken back from the end of what was just added.
    mLimiting = true;
    QTextCursor cursor(Memo->document());
    const int end = position + added;
    cursor.setPosition(end - std::min(excess, added));
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    mLimiting = false;
}

QStringList TMultiLineTextEditor::Lines() const
{
    const QString text = Memo->toPlainText();
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

void TMultiLineTextEditor::SetLines(const QStringList &lines)
{
    // Lines from a file are shown whole; the limit applies to typing.
    mLimiting = true;
    Memo->setPlainText(lines.join(QLatin1Char('\n')));
    mLimiting = false;
}
