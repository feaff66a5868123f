// Dialog placement rules and the information and question boxes.
#include "controls/DialogSupport.h"
#include "controls/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <functional>

class TestDialogs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void placement_data();
    void placement();
    void maximiseButtonGetsSystemMenu();
    void boxes_data();
    void boxes();

private:
    // Runs check() on the message box once it is up, then presses button.
    void whenBoxShows(std::function<void(QMessageBox *)> check, QMessageBox::StandardButton button);
};

enum Expected { OverMain, ScreenCentre };
enum Anchor { FromTopLeft, FromBottomRight };

void TestDialogs::placement_data()
{
    // The main window is put at `offset` from the screen's top-left corner,
    // or with its bottom-right corner at `offset` from the screen's.
    QTest::addColumn<int>("anchor");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QSize>("mainSize");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<QSize>("dialog");
    QTest::addColumn<int>("expected");

    QTest::newRow("centred over main") << int(FromTopLeft) << QPoint(100, 100) << QSize(602, 410) << false
                                       << QSize(300, 200) << int(OverMain);
    QTest::newRow("odd difference") << int(FromTopLeft) << QPoint(100, 100) << QSize(602, 410) << false
                                    << QSize(301, 201) << int(OverMain);
    // (400 - 501) div 2 truncates toward zero: -50, not -51.
    QTest::newRow("larger than main") << int(FromTopLeft) << QPoint(300, 300) << QSize(400, 200) << false
                                      << QSize(501, 301) << int(OverMain);
    QTest::newRow("main maximised") << int(FromTopLeft) << QPoint(100, 100) << QSize(602, 410) << true
                                    << QSize(300, 200) << int(ScreenCentre);
    QTest::newRow("off the left edge") << int(FromTopLeft) << QPoint(-250, 100) << QSize(300, 200) << false
                                       << QSize(300, 200) << int(ScreenCentre);
    QTest::newRow("past the bottom") << int(FromBottomRight) << QPoint(-100, 150) << QSize(300, 300) << false
                                     << QSize(300, 200) << int(ScreenCentre);
    QTest::newRow("touching right and bottom") << int(FromBottomRight) << QPoint(0, 0) << QSize(300, 200)
                                               << false << QSize(300, 200) << int(OverMain);
    QTest::newRow("narrower than 100") << int(FromTopLeft) << QPoint(100, 100) << QSize(602, 410) << false
                                       << QSize(99, 200) << int(ScreenCentre);
}

void TestDialogs::placement()
{
    QFETCH(int, anchor);
    QFETCH(QPoint, offset);
    QFETCH(QSize, mainSize);
    QFETCH(bool, maximized);
    QFETCH(QSize, dialog);
    QFETCH(int, expected);

    QMainWindow window;
    const QRect screen = window.screen()->geometry();
    QRect m(QPoint(), mainSize);
    if (anchor == FromTopLeft)
        m.moveTopLeft(screen.topLeft() + offset);
    else
        m.moveBottomRight(screen.bottomRight() + offset);
    window.setGeometry(m);
    if (maximized)
        window.setWindowState(Qt::WindowMaximized);
    QWidget *previous = DialogMainWindow();
    SetDialogMainWindow(&window);

    QDialog d;
    d.resize(dialog);
    PlaceDialog(&d);
    SetDialogMainWindow(previous);

    const QRect f = window.frameGeometry();
    const QPoint overMain(f.left() + (f.width() - dialog.width()) / 2, f.top() + (f.height() - dialog.height()) / 2);
    const QPoint centre(screen.left() + (screen.width() - dialog.width()) / 2,
                        screen.top() + (screen.height() - dialog.height()) / 2);
    QCOMPARE(d.pos(), expected == OverMain ? overMain : centre);
    QVERIFY(overMain != centre);
}

void TestDialogs::maximiseButtonGetsSystemMenu()
{
    QDialog plain;
    plain.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    PlaceDialog(&plain);
    QVERIFY(!(plain.windowFlags() & Qt::WindowSystemMenuHint));

    QDialog sizable;
    sizable.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowMaximizeButtonHint);
    PlaceDialog(&sizable);
    QVERIFY(sizable.windowFlags() & Qt::WindowSystemMenuHint);
}

void TestDialogs::whenBoxShows(std::function<void(QMessageBox *)> check, QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, this, [check, button] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        check(box);
        box->button(button)->click();
    });
}

void TestDialogs::boxes_data()
{
    QTest::addColumn<bool>("question");
    QTest::addColumn<int>("press");
    QTest::addColumn<bool>("expected");
    QTest::newRow("information") << false << int(QMessageBox::Ok) << false;
    QTest::newRow("question yes") << true << int(QMessageBox::Yes) << true;
    QTest::newRow("question no") << true << int(QMessageBox::No) << false;
}

void TestDialogs::boxes()
{
    QFETCH(bool, question);
    QFETCH(int, press);
    QFETCH(bool, expected);

    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    whenBoxShows([&](QMessageBox *box) {
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
    }, QMessageBox::StandardButton(press));

    const QString message = QStringLiteral("First line\rsecond line");
    if (question) {
        QCOMPARE(QuestionBox(message, QStringLiteral("CONFIRM")), expected);
        QCOMPARE(caption, QStringLiteral("CONFIRM"));
        QCOMPARE(icon, QMessageBox::Question);
        QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
    } else {
        InformationBox(message);
        QCOMPARE(caption, QStringLiteral("Information"));
        QCOMPARE(icon, QMessageBox::Information);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    QCOMPARE(text, QStringLiteral("First line\nsecond line"));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
