#pragma once
// TMultiLineTextEditor: the "Multi-line Text Editor" dialog in which the
// lines of a text block are typed, at most MaxLength characters in all.

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class TDialogButtonStrip;

class TMultiLineTextEditor : public QDialog
{
    Q_OBJECT
public:
    // Every character counts, a line break as one.
    static constexpr int MaxLength = 254;

    explicit TMultiLineTextEditor(QWidget *parent = nullptr);

    // One entry per line of the memo; a final line break adds no empty line.
    QStringList Lines() const;
    void SetLines(const QStringList &lines);

    QPlainTextEdit *Memo = nullptr;
    TDialogButtonStrip *Buttons = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void limitLength(int position, int added);

    bool mLimiting = false;
};
