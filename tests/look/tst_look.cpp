// The look of the program: one icon set drawn from SVG at every size,
// dialogs whose text fits at a large interface font, every control reached
// by Tab and named for screen readers, and windows that follow a dark
// palette where the picture of the label does not.

#include "LookWindows.h"

#include "controls/DialogSupport.h"
#include "controls/Icons.h"
#include "design/Gqmpanel32.h"
#include "objects/Register.h"
#include "shell/Helpwin.h"
#include "shell/Main.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <cmath>
#include <memory>

namespace {

bool hasInk(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128)
                return true;
    return false;
}

bool isShown(const QWidget *w, const QWidget *window)
{
    return w->isVisibleTo(window) && !w->visibleRegion().isEmpty();
}

// Inside a scroll area, contents larger than the view scroll rather than clip.
bool scrolls(const QWidget *w, const QWidget *window)
{
    for (const QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QAbstractScrollArea *>(p))
            return true;
    return false;
}

// What a keyboard user works with: widgets taking input or commands.
bool isControl(const QWidget *w)
{
    if (qobject_cast<const QLabel *>(w) || !w->isEnabled())
        return false;
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QComboBox *>(w)
           || w->inherits("QLineEdit") || w->inherits("QAbstractSpinBox") || w->inherits("QAbstractItemView")
           || w->inherits("QTextEdit") || w->inherits("QPlainTextEdit") || w->inherits("QSlider");
}

bool isPartOfCompound(const QWidget *w, const QWidget *window)
{
    const QWidget *p = w->parentWidget();
    return p && p != window
           && (qobject_cast<const QComboBox *>(p) || p->inherits("QAbstractSpinBox") || p->inherits("QTabBar"));
}

// Tab stops a keyboard user does not need: a read-only display field, the
// unchecked buttons of a radio group (arrow keys move within the group, Tab
// stops at its checked button), and tool bar buttons, whose commands have
// keys of their own.
bool needsNoTabStop(const QWidget *w)
{
    if (auto *e = qobject_cast<const QLineEdit *>(w); e && e->isReadOnly())
        return true;
    if (qobject_cast<const QToolBar *>(w->parentWidget()))
        return true;
    auto *radio = qobject_cast<const QRadioButton *>(w);
    if (!radio || radio->isChecked() || !radio->autoExclusive())
        return false;
    for (const QObject *o : w->parentWidget()->children())
        if (auto *r = qobject_cast<const QRadioButton *>(o); r && r != w && r->isChecked())
            return true;
    return false;
}

// The room a caption needs: its text (and picture, and check mark) in the
// font the widget uses; a style's minimum button size is not text.
QSize textNeed(const QWidget *w)
{
    if (auto *label = qobject_cast<const QLabel *>(w)) {
        if (label->wordWrap())
            return QSize(w->width(), label->heightForWidth(w->width()));
        return label->sizeHint();
    }
    auto *b = qobject_cast<const QAbstractButton *>(w);
    auto *tool = qobject_cast<const QToolButton *>(w);
    if (tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly && !tool->icon().isNull())
        return QSize();  // its text is a hint, not shown
    const QFontMetrics fm(b->font());
    QString text = b->text();
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    int width = fm.horizontalAdvance(text);
    if (!b->icon().isNull())
        width += b->iconSize().width() + 4;
    QStyle *style = b->style();
    if (qobject_cast<const QCheckBox *>(b) || qobject_cast<const QRadioButton *>(b))
        width += style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, b)
                 + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, b);
    else
        width += 8;
    return QSize(width, fm.height());
}

QString describe(const QWidget *w)
{
    return QStringLiteral("%1 \"%2\"").arg(QLatin1String(w->metaObject()->className()), w->objectName());
}

}  // namespace

class TestLook : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mProgramDir;
    std::unique_ptr<TQMMainScreen> mWindow;
    void dialogRows();
    std::unique_ptr<QWidget> showDialog();

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_CACHE_HOME", mProgramDir.filePath(QStringLiteral("cache")).toLocal8Bit());
        PrepareLookEnvironment(mProgramDir.path(), QStringLiteral(QM_TEMPLATE_LIBRARY));
        RegisterLabelClasses();
        InstallControlNaming();
        mWindow = std::make_unique<TQMMainScreen>();
        mWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(mWindow.get()));
    }
    void cleanupTestCase()
    {
        mWindow.reset();
        TQMHelpWindow::DestroyInstance();
    }

    void iconSet_data();
    void iconSet();
    void iconsFollowDarkPalette();
    void mainWindowPictures();
    void noTextClipped_data() { dialogRows(); }
    void noTextClipped();
    void tabReachesEveryControl_data() { dialogRows(); }
    void tabReachesEveryControl();
    void everyControlNamed_data() { dialogRows(); }
    void everyControlNamed();
    void darkPaletteKeepsTheLabelWhite();
    void panelSurfaceAtDeviceResolution_data();
    void panelSurfaceAtDeviceResolution();
};

void TestLook::dialogRows()
{
    QTest::addColumn<int>("index");
    const QList<TWindowCase> all = EveryDialog();
    for (int i = 0; i < all.size(); ++i)
        QTest::newRow(qPrintable(all[i].name)) << i;
}

std::unique_ptr<QWidget> TestLook::showDialog()
{
    QFETCH(int, index);
    std::unique_ptr<QWidget> w(EveryDialog().at(index).make());
    if (w.get() == TQMHelpWindow::Instance())
        w.release();  // the help window belongs to the program
    return w;
}

void TestLook::iconSet_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : ProgramIconNames())
        QTest::newRow(qPrintable(name)) << name;
}

void TestLook::iconSet()
{
    QFETCH(QString, name);
    const QIcon icon = ProgramSvgIcon(name);
    QVERIFY(!icon.isNull());
    for (int side : {16, 24, 32}) {
        for (qreal dpr : {1.0, 1.5, 2.0}) {
            const QPixmap pm = icon.pixmap(QSize(side, side), dpr);
            // Drawn at the device's pixels, not a small picture scaled up.
            QCOMPARE(pm.size(), QSize(qRound(side * dpr), qRound(side * dpr)));
            QVERIFY2(hasInk(pm.toImage()), qPrintable(QStringLiteral("%1 px at %2").arg(side).arg(dpr)));
        }
    }
    // Disabled pictures are the same picture, fainter.
    const QImage normal = icon.pixmap(24).toImage();
    const QImage disabled = icon.pixmap(QSize(24, 24), QIcon::Disabled).toImage();
    QVERIFY(normal != disabled);
}

void TestLook::iconsFollowDarkPalette()
{
    const QPalette light = QApplication::palette();
    const QImage before = ProgramSvgIcon(QStringLiteral("text")).pixmap(24).toImage();
    QApplication::setPalette(DarkPalette());
    const QImage dark = ProgramSvgIcon(QStringLiteral("text")).pixmap(24).toImage();
    QApplication::setPalette(light);
    QVERIFY(before != dark);
    // The letter's ink turns light on the dark palette.
    int inkLight = 0, inkDark = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            if (qAlpha(dark.pixel(x, y)) == 255 && qGray(dark.pixel(x, y)) > 180)
                ++inkDark;
            if (qAlpha(before.pixel(x, y)) == 255 && qGray(before.pixel(x, y)) < 80)
                ++inkLight;
        }
    QVERIFY(inkLight > 10);
    QVERIFY(inkDark > 10);
}

void TestLook::mainWindowPictures()
{
    // Every tool bar button carries a picture; every picture of a button or
    // menu item renders at the three usual sizes.
    const auto bar = mWindow->findChild<QToolBar *>(QStringLiteral("ToolBar"));
    QVERIFY(bar);
    int pictures = 0;
    QSet<QString> names;
    for (QToolButton *b : bar->findChildren<QToolButton *>()) {
        if (b->objectName().isEmpty())
            continue;  // the tool bar's own extension button
        QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName()));
        // A screen reader tells every tool apart (the zoom buttons once
        // both took the zoom figure's "100%").
        QVERIFY2(!names.contains(b->accessibleName()), qPrintable(b->accessibleName()));
        names.insert(b->accessibleName());
    }
    QList<QIcon> icons;
    for (QAbstractButton *b : mWindow->findChildren<QAbstractButton *>())
        if (!b->icon().isNull())
            icons << b->icon();
    for (QAction *a : mWindow->findChildren<QAction *>())
        if (!a->icon().isNull())
            icons << a->icon();
    for (const QIcon &icon : icons) {
        for (int side : {16, 24, 32}) {
            const QPixmap pm = icon.pixmap(side);
            QVERIFY(!pm.isNull());
            QVERIFY(hasInk(pm.toImage()));
        }
        ++pictures;
    }
    // Tools, zoom, grid, snap, art; Help, Save, Cancel; the usual menu commands.
    QVERIFY2(pictures >= 40, qPrintable(QString::number(pictures)));
    for (const char *item : {"mnuOpen", "mnuSave", "mnuSaveAs", "mnuPrint", "mnuExit", "mnuUndo", "mnuRedo",
                             "mnuContents", "mnuAbout"})
        QVERIFY2(!mWindow->findChild<QAction *>(QLatin1String(item))->icon().isNull(), item);
}

void TestLook::noTextClipped()
{
    const QFont original = QApplication::font();
    QFont large = original;
    large.setPointSize(14);
    QApplication::setFont(large);
    std::unique_ptr<QWidget> owned = showDialog();
    QWidget *dialog = owned ? owned.get() : TQMHelpWindow::Instance();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QStringList clipped;
    for (QWidget *w : dialog->findChildren<QWidget *>()) {
        if (!isShown(w, dialog) || scrolls(w, dialog))
            continue;
        auto *label = qobject_cast<QLabel *>(w);
        auto *button = qobject_cast<QAbstractButton *>(w);
        if ((!label || label->text().isEmpty()) && (!button || button->text().isEmpty()))
            continue;
        if (label && !label->pixmap().isNull())
            continue;
        const QSize need = textNeed(w);
        // Captions shown in a frame shorter than their text are cut off, and
        // so are the parts that lie outside their parents.
        const QSize shown = w->visibleRegion().boundingRect().size().boundedTo(w->size());
        if (need.width() > shown.width() + 1 || need.height() > shown.height() + 1)
            clipped << QStringLiteral("%1 needs %2x%3, has %4x%5")
                           .arg(describe(w))
                           .arg(need.width())
                           .arg(need.height())
                           .arg(shown.width())
                           .arg(shown.height());
    }
    dialog->hide();
    QApplication::setFont(original);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
}

void TestLook::tabReachesEveryControl()
{
    std::unique_ptr<QWidget> owned = showDialog();
    QWidget *dialog = owned ? owned.get() : TQMHelpWindow::Instance();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    // The order Tab walks: the focus chain, skipping what does not take
    // focus by Tab (as QWidget::focusNextPrevChild does).
    QSet<QWidget *> reached;
    QWidget *w = dialog;
    do {
        w = w->nextInFocusChain();
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(dialog) && w->isEnabled())
            reached.insert(w);
    } while (w != dialog);
    QStringList missed;
    for (QWidget *c : dialog->findChildren<QWidget *>()) {
        if (!isControl(c) || !isShown(c, dialog) || isPartOfCompound(c, dialog) || needsNoTabStop(c))
            continue;
        QWidget *target = c->focusProxy() ? c->focusProxy() : c;
        if (!reached.contains(target))
            missed << describe(c);
    }
    dialog->hide();
    QVERIFY2(missed.isEmpty(), qPrintable(missed.join(QLatin1Char('\n'))));
}

void TestLook::everyControlNamed()
{
    std::unique_ptr<QWidget> owned = showDialog();
    QWidget *dialog = owned ? owned.get() : TQMHelpWindow::Instance();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QStringList unnamed;
    for (QWidget *c : dialog->findChildren<QWidget *>()) {
        if (!isControl(c) || !c->isVisibleTo(dialog) || isPartOfCompound(c, dialog))
            continue;
        if (c->accessibleName().isEmpty())
            unnamed << describe(c);
    }
    dialog->hide();
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
}

void TestLook::darkPaletteKeepsTheLabelWhite()
{
    const QPalette light = QApplication::palette();
    QApplication::setPalette(DarkPalette());
    QTest::qWait(20);
    const QImage shot = mWindow->grab().toImage();
    QApplication::setPalette(light);
    // The label is drawn as it will print: white.
    TGQuillmarkPanel32 *panel = mWindow->Panel();
    const QPoint inPanel = panel->mapTo(mWindow.get(), panel->rect().center());
    QCOMPARE(QColor(shot.pixel(inPanel)), QColor(Qt::white));
    // The bars around it follow the palette.
    const auto bar = mWindow->findChild<QToolBar *>(QStringLiteral("ToolBar"));
    const QPoint inBar = bar->mapTo(mWindow.get(), QPoint(bar->width() - 3, bar->height() / 2));
    QVERIFY2(qGray(shot.pixel(inBar)) < 100, qPrintable(QColor(shot.pixel(inBar)).name()));
}

void TestLook::panelSurfaceAtDeviceResolution_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1x") << 1.0;
    QTest::newRow("1.5x") << 1.5;
    QTest::newRow("2x") << 2.0;
}

void TestLook::panelSurfaceAtDeviceResolution()
{
    // The label's outline and grid are drawn at the screen's device pixels
    // (not drawn at 1x and scaled up), with the label's size unchanged.
    QFETCH(qreal, ratio);
    TGQuillmarkPanel32 panel;
    panel.SetShape(lsRectangle);
    panel.setGeometry(0, 0, 96, 48);
    panel.SetDrawOutline(true);
    panel.SetShowGrid(true);
    const QImage surface = panel.RenderBackground(ratio);
    QCOMPARE(surface.size(), QSize(qRound(96 * ratio), qRound(48 * ratio)));
    QCOMPARE(surface.deviceIndependentSize(), QSizeF(96, 48));
    // The outline: black along the left edge, white just inside it.
    const int inside = int(std::ceil(ratio)) + 1;
    QCOMPARE(QColor(surface.pixel(0, surface.height() / 2)), QColor(Qt::black));
    QCOMPARE(QColor(surface.pixel(inside, surface.height() / 2 + 1)), QColor(Qt::white));
    // A grid dot at panel pixel (10, 10) fills its device pixels, and only those.
    const int left = int(std::floor(10 * ratio)), right = int(std::floor(11 * ratio)) - 1;
    QCOMPARE(QColor(surface.pixel(left, left)), QColor(0, 128, 0));
    QCOMPARE(QColor(surface.pixel(right, right)), QColor(0, 128, 0));
    QCOMPARE(QColor(surface.pixel(right + 1, right + 1)), QColor(Qt::white));
}

QTEST_MAIN(TestLook)
#include "tst_look.moc"
