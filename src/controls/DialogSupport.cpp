#include "DialogSupport.h"

#include "Icons.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTextEdit>

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

bool isControl(const QWidget *w)
{
    if (qobject_cast<const QScrollBar *>(w))
        return false;
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QComboBox *>(w)
           || qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
           || qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QTextEdit *>(w)
           || qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QAbstractSlider *>(w)
           || (w->focusPolicy() & Qt::TabFocus);
}

// The caption of a sibling label standing just left of the control on its
// row, or just above it; dialogs laid out by coordinates have no buddies.
QString nearbyLabel(const QWidget *w)
{
    const QWidget *parent = w->parentWidget();
    if (!parent)
        return {};
    const QRect g = w->geometry();
    int best = 48;
    QString caption;
    for (QObject *o : parent->children()) {
        auto *label = qobject_cast<QLabel *>(o);
        if (!label || label->text().isEmpty() || label->textFormat() == Qt::RichText || !label->isVisibleTo(parent))
            continue;
        const QRect l = label->geometry();
        int distance = -1;
        if (l.right() < g.left() && qAbs(l.center().y() - g.center().y()) <= qMax(g.height(), l.height()) / 2)
            distance = g.left() - l.right();
        else if (l.bottom() <= g.top() + 2 && l.left() < g.right() && l.right() > g.left())
            distance = g.top() - l.bottom();
        if (distance >= 0 && distance < best) {
            best = distance;
            caption = label->text();
        }
    }
    return caption;
}

QString nameFor(QWidget *w, const QHash<QWidget *, QLabel *> &buddies)
{
    if (auto *b = qobject_cast<QAbstractButton *>(w)) {
        if (!PlainCaption(b->text()).isEmpty())
            return PlainCaption(b->text());
        // A picture button says what it does in its hint; the label beside
        // it (the zoom figure beside the zoom buttons) names something else.
        if (!w->toolTip().isEmpty())
            return PlainCaption(w->toolTip().section(QLatin1Char('\n'), 0, 0).trimmed());
    }
    if (QLabel *l = buddies.value(w))
        return PlainCaption(l->text());
    QString name = PlainCaption(nearbyLabel(w));
    if (!name.isEmpty())
        return name;
    if (!w->toolTip().isEmpty())
        return PlainCaption(w->toolTip().section(QLatin1Char('\n'), 0, 0).trimmed());
    for (QWidget *p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget()) {
        if (auto *g = qobject_cast<QGroupBox *>(p); g && !g->title().isEmpty())
            return PlainCaption(g->title());
    }
    if (auto *e = qobject_cast<QLineEdit *>(w); e && !e->placeholderText().isEmpty())
        return e->placeholderText();
    return {};
}

class TNamingFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            if (w->isWindow())
                NameControls(w);
        }
        return false;
    }
};

}  // namespace

QString PlainCaption(const QString &caption)
{
    QString s;
    s.reserve(caption.size());
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
        }
        s += caption[i];
    }
    s = s.simplified();
    while (s.endsWith(QLatin1Char(':')) || s.endsWith(QLatin1Char('.')) || s.endsWith(QChar(0x2026)))
        s.chop(1);
    return s.trimmed();
}

void NameControls(QWidget *window)
{
    const QList<QWidget *> widgets = window->findChildren<QWidget *>();
    QHash<QWidget *, QLabel *> buddies;
    for (QWidget *w : widgets) {
        if (auto *l = qobject_cast<QLabel *>(w); l && l->buddy())
            buddies.insert(l->buddy(), l);
    }
    const bool buttonIcons = window->style()->styleHint(QStyle::SH_DialogButtonBox_ButtonsHaveIcons, nullptr, window);
    for (QWidget *w : widgets) {
        if (buttonIcons) {
            if (auto *b = qobject_cast<QPushButton *>(w); b && b->icon().isNull()) {
                static const QHash<QString, QString> standard = {
                    {QStringLiteral("ok"), QStringLiteral("ok")},       {QStringLiteral("cancel"), QStringLiteral("cancel")},
                    {QStringLiteral("help"), QStringLiteral("help")},   {QStringLiteral("close"), QStringLiteral("cancel")},
                    {QStringLiteral("print"), QStringLiteral("print")}, {QStringLiteral("preview"), QStringLiteral("zoompage")},
                    {QStringLiteral("setup"), QStringLiteral("printersetup")}, {QStringLiteral("save as"), QStringLiteral("saveas")},
                    {QStringLiteral("copy to clipboard"), QStringLiteral("copy")}, {QStringLiteral("browse"), QStringLiteral("open")}};
                const QString icon = standard.value(PlainCaption(b->text()).toLower());
                if (!icon.isEmpty())
                    b->setIcon(ProgramIcon(icon));
            }
        }
        if (!w->accessibleName().isEmpty() || !isControl(w) || qobject_cast<QLabel *>(w))
            continue;
        // Parts of a compound control (a combo box's line edit, a spin
        // box's editor, a scroll area's bars) are read out with it.
        if (w->parentWidget() && w->parentWidget() != window
            && (qobject_cast<QComboBox *>(w->parentWidget()) || qobject_cast<QAbstractSpinBox *>(w->parentWidget())
                || qobject_cast<QAbstractScrollArea *>(w->parentWidget())))
            continue;
        const QString name = nameFor(w, buddies);
        if (!name.isEmpty())
            w->setAccessibleName(name);
    }
}

void FitCaption(QWidget *caption)
{
    const QRect g = caption->geometry();
    const QSize need = caption->sizeHint().expandedTo(g.size());
    caption->setGeometry(g.left(), g.center().y() - need.height() / 2, need.width(), need.height());
}

void InstallControlNaming()
{
    static TNamingFilter *filter = nullptr;
    if (!filter && qApp) {
        filter = new TNamingFilter(qApp);
        qApp->installEventFilter(filter);
    }
}

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
