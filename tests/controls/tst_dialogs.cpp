// Dialog placement and the information and question boxes.
#include "controls/Dialogs.h"

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
    void placedRect_data();
    void placedRect();
    void placeDialogOverMainWindow();
    void maximiseButtonGetsSystemMenu();
    void boxes_data();
    void boxes();

private:
    // Runs check() on the message box once it is up, then presses button.
    void whenBoxShows(std::function<void(QMessageBox *)> check, QMessageBox::StandardButton button);
};

void TestDialogs::placedRect_data()
{
    QTest::addColumn<QRect>("dialog");
    QTest::addColumn<QRect>("main");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<QPoint>("expected");

    // Screen 1280 x 1024 for every row.
    QTest::newRow("centred over main") << QRect(0, 0, 300, 200) << QRect(100, 100, 602, 410) << false
                                       << QPoint(251, 205);
    QTest::newRow("odd difference truncates") << QRect(0, 0, 301, 201) << QRect(100, 100, 602, 410)
                                              << false << QPoint(250, 204);
    // (400 - 501) div 2 = -50 (toward zero), not -51.
    QTest::newRow("larger than main, toward zero") << QRect(0, 0, 501, 301) << QRect(300, 300, 400, 200)
                                                   << false << QPoint(250, 250);
    QTest::newRow("main maximised: screen centre") << QRect(0, 0, 300, 200) << QRect(100, 100, 602, 410)
                                                   << true << QPoint(490, 412);
    QTest::newRow("off the left edge: screen centre") << QRect(0, 0, 300, 200) << QRect(-200, 100, 300, 200)
                                                      << false << QPoint(490, 412);
    QTest::newRow("past the bottom: screen centre") << QRect(0, 0, 300, 200) << QRect(100, 900, 300, 300)
                                                    << false << QPoint(490, 412);
    QTest::newRow("touching right and bottom edges stays") << QRect(0, 0, 300, 200)
                                                           << QRect(980, 824, 300, 200) << false
                                                           << QPoint(980, 824);
    QTest::newRow("too small: screen centre") << QRect(0, 0, 99, 200) << QRect(100, 100, 602, 410) << false
                                              << QPoint(590, 412);
}

void TestDialogs::placedRect()
{
    QFETCH(QRect, dialog);
    QFETCH(QRect, main);
    QFETCH(bool, maximized);
    QFETCH(QPoint, expected);
    const QRect r = PlacedDialogRect(dialog, main, maximized, QRect(0, 0, 1280, 1024));
    QCOMPARE(r.topLeft(), expected);
    QCOMPARE(r.size(), dialog.size());
}

void TestDialogs::placeDialogOverMainWindow()
{
    QMainWindow main;
    main.setGeometry(200, 150, 602, 410);
    SetDialogMainWindow(&main);
    QDialog dialog;
    dialog.resize(300, 200);
    PlaceDialog(&dialog);
    const QRect screen = main.screen()->geometry();
    const QRect expected = PlacedDialogRect(QRect(QPoint(), dialog.size()), main.frameGeometry(), false, screen);
    QCOMPARE(dialog.pos(), expected.topLeft());
    SetDialogMainWindow(nullptr);
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
