// Repaint and zoom times of a design panel holding 500 and 5,000 shapes and
// lines: a whole repaint, and a zoom step with its repaint, in ms.

#include "design/GGraphc.h"
#include "design/GHandle.h"
#include "design/Gqmpanel32.h"
#include "objects/Register.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

struct Figures
{
    int objects = 0;
    double repaintMs = 0;
    double zoomMs = 0;
};

Figures measure(int count)
{
    TGQuillmarkPanel32 panel;
    panel.resize(640, 400);
    panel.SetDrawOutline(true);
    panel.SetShowGrid(true);
    const char *classes[] = {"TGLabelShapes", "TGLineShape"};
    for (int i = 0; i < count; ++i) {
        auto *o = dynamic_cast<TGGraphicControl *>(
            TClassRegistry::instance().Create(classes[i % 5 == 0 ? 1 : 0], nullptr));
        if (const TPropInfo *shape = o->Properties().find("Shape"))
            shape->setOrd(*o, (i / 2) % 6);
        o->FinishLoading();
        o->SetParentComponent(&panel);
        o->SetBounds((i * 37) % 600, (i * 53) % 370, 20 + i % 40, 15 + i % 25);
        panel.AttachObject(o);
    }
    panel.Selection()->AddToSelection(panel.Objects().at(10));
    panel.show();
    QCoreApplication::processEvents();

    QImage image(panel.size(), QImage::Format_ARGB32_Premultiplied);
    const int repaints = 40;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < repaints; ++i) {
        QPainter p(&image);
        panel.render(&p);
    }
    const double repaintMs = double(timer.nsecsElapsed()) / 1e6 / repaints;

    // The main window's zoom steps: 100 % down to 50 % and up to 150 %.
    const float steps[] = {0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1.0f,
                           1.1f, 1.2f, 1.3f, 1.4f, 1.5f, 1.0f};
    timer.restart();
    for (float z : steps) {
        panel.SetZoom(z);
        QPainter p(&image);
        panel.render(&p);
    }
    const double zoomMs = double(timer.nsecsElapsed()) / 1e6 / (sizeof steps / sizeof *steps);

    return {int(panel.Objects().size()), repaintMs, zoomMs};
}

}  // namespace

int main(int argc, char *argv[])
{
    // Runs headless unless a display is at hand; 96 ppi like the tests.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    // As quillmark runs its panel: without Qt's search for opaque siblings
    // above every widget to repaint.
    if (qEnvironmentVariableIsEmpty("QT_NO_SUBTRACTOPAQUESIBLINGS"))
        qputenv("QT_NO_SUBTRACTOPAQUESIBLINGS", "1");
    QApplication app(argc, argv);
    RegisterLabelClasses();
    std::printf("%8s %12s %14s %22s\n", "objects", "repaint ms", "zoom step ms", "targets (repaint/zoom)");
    for (int count : {500, 5000}) {
        const Figures f = measure(count);
        std::printf("%8d %12.2f %14.2f %22s\n", f.objects, f.repaintMs, f.zoomMs,
                    count == 500 ? "< 8 / < 30" : "< 80 / -");
    }
    return 0;
}
