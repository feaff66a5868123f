// Repaint time of a design panel holding SuperText objects: 10, 50 and 200
// gradient-filled, outlined and shadowed captions, and 50 textured ones,
// beside the same panel with plain text labels, in ms a repaint.

#include "design/GGraphc.h"
#include "design/Gqmpanel32.h"
#include "objects/Register.h"
#include "objects/graphic/gsstext.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

double measure(int count, TSurfaceType surface, const char *className = "TGSuperText")
{
    TGQuillmarkPanel32 panel;
    panel.resize(800, 600);
    QImage wood(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            wood.setPixel(x, y, qRgb(120 + (x * 7 + y * 3) % 60, 80 + (y * 5) % 40, 40));
    TBitmap texture;
    texture.SetImage(wood);
    for (int i = 0; i < count; ++i) {
        auto *o = dynamic_cast<TGGraphicControl *>(TClassRegistry::instance().Create(className, nullptr));
        if (auto *s = dynamic_cast<TGSuperText *>(o)) {
            s->SetCaption(QStringLiteral("Label %1").arg(i));
            s->Font()->SetSize(20 + i % 20);
            s->SetSurfaceType(surface);
            if (surface == stBrushImage)
                s->SetImage(&texture);
            s->SetShadowDepth(3);
            s->SetFillDirection(TFillDirection(i % 4));
        }
        o->FinishLoading();
        o->SetParentComponent(&panel);
        o->SetBounds((i * 37) % 640, (i * 53) % 540, 160, 60);
        panel.AttachObject(o);
        o->SettleLayout();
    }
    panel.show();
    QCoreApplication::processEvents();
    QImage image(panel.size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&image);
        panel.render(&p);  // first paint builds the gradients
    }
    const int repaints = 20;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < repaints; ++i) {
        QPainter p(&image);
        panel.render(&p);
    }
    return double(timer.nsecsElapsed()) / 1e6 / repaints;
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    RegisterLabelClasses();
    std::printf("%-34s %8s %12s\n", "panel", "objects", "ms/repaint");
    for (int n : {10, 50, 200})
        std::printf("%-34s %8d %12.2f\n", "SuperText, gradient", n, measure(n, stGradientFill));
    std::printf("%-34s %8d %12.2f\n", "SuperText, texture", 50, measure(50, stBrushImage));
    std::printf("%-34s %8d %12.2f\n", "SuperText, solid", 50, measure(50, stNormal));
    std::printf("%-34s %8d %12.2f\n", "plain text labels (floor)", 50, measure(50, stNormal, "TGPLabel"));
    return 0;
}
