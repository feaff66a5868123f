#pragma once
// A design panel on a shown window, driven through real mouse events routed
// by the window (so grabs and stacking decide who gets them), with a
// hand-wound clock for the frame's timing rules.

#define QTEST_QPA_MOUSE_HANDLING
#include <QtTest>

#include "design/GGraphc.h"
#include "design/GHandle.h"
#include "design/Gqmpanel32.h"
#include "design/Ticks.h"
#include "objects/Register.h"

#include <QMenu>

class DesignFixture
{
public:
    DesignFixture()
    {
        // The headless platform cannot grab the mouse for the whole window;
        // the routing between widgets inside it still honours grabs.
        static const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
                if (!message.startsWith(QLatin1String("This plugin does not support")))
                    previous(type, context, message);
            });
        RegisterLabelClasses();
        SetTickCountSource([this] { return now; });
        host = new QWidget;
        host->resize(520, 260);
        panel = new TGQuillmarkPanel32(host);
        panel->setGeometry(21, 20, 338, 188);
        panel->SetDrawOutline(true);
        panel->LabelChangedEvent = [this](QObject *) { ++changes; };
        host->show();
        exposed = QTest::qWaitForWindowExposed(host);
    }
    ~DesignFixture()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *m = qobject_cast<QMenu *>(w))
                m->hide();
        delete host;
        SetTickCountSource(nullptr);
    }

    // A rectangle object placed as a loaded object would be.
    TGGraphicControl *addShape(const QRect &r, const char *cls = "TGLabelShapes")
    {
        auto *o = dynamic_cast<TGGraphicControl *>(TClassRegistry::instance().Create(cls, nullptr));
        o->FinishLoading();
        o->SetParentComponent(panel);
        o->SetBounds(r.x(), r.y(), r.width(), r.height());
        panel->AttachObject(o);
        QCoreApplication::processEvents();
        return o;
    }

    void move(QPoint p) { QTest::mouseMove(panel, p); }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        move(p);
        QTest::mousePress(panel, b, m, p);
    }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        QTest::mouseRelease(panel, b, m, p);
    }
    void click(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
    {
        press(p, b, m);
        advance(20);
        release(p, b, m);
        advance(400);
    }
    // Press, hold past the drag delay, move in two steps, hold, release.
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers m = {}, int holdMs = 200)
    {
        press(from, Qt::LeftButton, m);
        advance(20);
        move((from + to) / 2);
        move(to);
        advance(holdMs);
        release(to, Qt::LeftButton, m);
        advance(400);
    }
    void advance(int ms) { now += ms; }
    TGHandle *frame() const { return panel->Selection(); }
    QImage grab() const { return panel->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QWidget *host = nullptr;
    TGQuillmarkPanel32 *panel = nullptr;
    qint64 now = 100000;
    int changes = 0;
    bool exposed = false;
};
