#include "MessageBoxes.h"

#include "DialogSupport.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QString withLineBreaks(QString s)
{
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QWidget *boxParent(QWidget *parent)
{
    if (parent)
        return parent;
    if (QWidget *active = QApplication::activeModalWidget())
        return active;
    return DialogMainWindow();
}

}  // namespace

void InformationBox(const QString &message, QWidget *parent)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), withLineBreaks(message),
                    QMessageBox::Ok, boxParent(parent));
    ExecDialog(box);
}

bool QuestionBox(const QString &message, const QString &caption, QWidget *parent,
                 TQuestionDefault defaultButton)
{
    QMessageBox box(QMessageBox::Question, caption, withLineBreaks(message),
                    QMessageBox::Yes | QMessageBox::No, boxParent(parent));
    box.setDefaultButton(defaultButton == TQuestionDefault::No ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return ExecDialog(box) == QMessageBox::Yes;
}

void ErrorBox(const QString &message, QWidget *parent)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), withLineBreaks(message),
                    QMessageBox::Ok, boxParent(parent));
    ExecDialog(box);
}
