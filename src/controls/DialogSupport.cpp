#include "DialogSupport.h"

#include <QColorDialog>
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

namespace {

QPointer<QWidget> &mainWindow()
{
    static QPointer<QWidget> w;
    return w;
}

HelpHandler &helpHandler()
{
    static HelpHandler h;
    return h;
}

DialogRunner &dialogRunner()
{
    static DialogRunner r;
    return r;
}

FontPicker &fontPicker()
{
    static FontPicker p;
    return p;
}

ColorPicker &colorPicker()
{
    static ColorPicker p;
    return p;
}

}  // namespace

void SetupFixedDialog(QDialog *dialog, const QString &caption, int clientWidth, int clientHeight)
{
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog->setFixedSize(clientWidth, clientHeight);
}

void SetDialogMainWindow(QWidget *w)
{
    mainWindow() = w;
}

QWidget *DialogMainWindow()
{
    return mainWindow();
}

void PlaceDialog(QWidget *dialog)
{
    // A sizable dialog also gets the system menu; changing the flags
    // re-creates the window, so this comes before the move.
    const Qt::WindowFlags flags = dialog->windowFlags();
    if ((flags & Qt::WindowMaximizeButtonHint) && !(flags & Qt::WindowSystemMenuHint))
        dialog->setWindowFlags(flags | Qt::WindowSystemMenuHint);

    QWidget *main = mainWindow();
    if (!main && dialog->parentWidget())
        main = dialog->parentWidget()->window();
    QScreen *screen = main ? main->screen() : dialog->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect scr = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QSize size = dialog->size();
    const QPoint screenCentred(scr.left() + (scr.width() - size.width()) / 2,
                               scr.top() + (scr.height() - size.height()) / 2);
    QPoint pos = screenCentred;
    if (main && !main->isMaximized()) {
        const QRect m = main->frameGeometry();
        pos = QPoint(m.left() + (m.width() - size.width()) / 2, m.top() + (m.height() - size.height()) / 2);
    }
    const QRect r(pos, size);
    if (r.left() < scr.left() || r.top() < scr.top() || r.right() + 1 > scr.right() + 1
        || r.bottom() + 1 > scr.bottom() + 1 || size.width() < 100 || size.height() < 100)
        pos = screenCentred;
    dialog->move(pos);
}

void SetHelpHandler(HelpHandler handler)
{
    helpHandler() = std::move(handler);
}

void ShowHelpTopic(QWidget *parent, int topic)
{
    if (helpHandler()) {
        helpHandler()(parent, topic);
        return;
    }
    QMessageBox::information(parent, QStringLiteral("Information"),
                             QStringLiteral("Help is not available (topic %1).").arg(topic));
}

void SetDialogRunner(DialogRunner runner)
{
    dialogRunner() = std::move(runner);
}

int ExecDialog(QDialog &dialog)
{
    if (dialogRunner())
        return dialogRunner()(dialog);
    return dialog.exec();
}

void SetFontPicker(FontPicker picker)
{
    fontPicker() = std::move(picker);
}

std::optional<QFont> PickFont(const QFont &initial, QWidget *parent, QFontDialog::FontDialogOptions options)
{
    if (fontPicker())
        return fontPicker()(initial, parent, options);
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, parent, QString(), options);
    if (!ok)
        return std::nullopt;
    return f;
}

void SetColorPicker(ColorPicker picker)
{
    colorPicker() = std::move(picker);
}

std::optional<QColor> PickColor(const QColor &initial, QWidget *parent)
{
    if (colorPicker())
        return colorPicker()(initial, parent);
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

TDialogButtonStrip::TDialogButtonStrip(QDialog *dialog, int helpTopic)
    : QFrame(dialog)
{
    setFixedHeight(40);
    mHelp = new QPushButton(QStringLiteral("Help"), this);
    mHelp->setObjectName(QStringLiteral("Helpbutton"));
    mHelp->setAutoDefault(false);
    mOk = new QPushButton(QStringLiteral("Ok"), this);
    mOk->setObjectName(QStringLiteral("OKButton"));
    mOk->setDefault(true);
    mCancel = new QPushButton(QStringLiteral("Cancel"), this);
    mCancel->setObjectName(QStringLiteral("Cancelbutton"));
    mCancel->setAutoDefault(false);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 8, 8, 6);
    row->addWidget(mHelp);
    row->addStretch(1);
    row->addWidget(mOk);
    row->addWidget(mCancel);
    connect(mOk, &QPushButton::clicked, dialog, &QDialog::accept);
    connect(mCancel, &QPushButton::clicked, dialog, &QDialog::reject);
    connect(mHelp, &QPushButton::clicked, this, [this, helpTopic] { ShowHelpTopic(window(), helpTopic); });
}

void TDialogButtonStrip::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(0, 0, width(), 0);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, 1, width(), 1);
}
