// Super shapes on the panel and on paper: the repaint of a panel holding 50
// textured stars (and 50 gradient stars, and 50 textured stars beside 50
// gradient SuperText captions), in ms; and qmtool print of 10 sheets of a
// 30-up address label with one textured star added (and with a gradient
// SuperText caption as well), beside the plain address label, in seconds
// and as a ratio.
//
//   bench_supershapes [RUNS]   (default 3 print runs of each; the median)
//   bench_supershapes --write DIR  (writes the three label files for
//                                   profiling, nothing else)

#include "design/Gbasepnl.h"
#include "design/Gqmpanel32.h"
#include "objects/Register.h"
#include "objects/graphic/Glshapes.h"
#include "objects/graphic/Gsshape.h"
#include "objects/graphic/gsstext.h"
#include "objects/text/Gplabel.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

TBitmap texture()
{
    TBitmap b;
    QFile f(QStringLiteral(QM_TEXTURE_DIR "/wood.bmp"));
    if (f.open(QIODevice::ReadOnly)) {
        b.LoadFromFileImage(f.readAll());
    } else {
        QImage image(128, 128, QImage::Format_RGB32);
        image.fill(Qt::darkYellow);
        b.SetImage(image);
    }
    return b;
}

TGSuperText *addSuperText(TGBasePanel &panel, const QRect &bounds)
{
    auto *o = new TGSuperText;
    o->SetParentComponent(&panel);
    o->FinishLoading();
    TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetSize(14);
    font.SetStyle(1u << fsBold);
    o->ApplyFont(font);
    o->SetCaption(QStringLiteral("Sale"));
    o->SetBorderStyle(bsSingle);  // keeps the height
    o->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    o->SetSurfaceType(stGradientFill);
    o->SetShadowOrientation(sdDownRight);
    o->SetShadowDepth(2);
    return o;
}

double repaintMs(TSuperShape::TSurfaceType surface, bool withText = false)
{
    TGQuillmarkPanel32 panel;
    panel.resize(640, 400);
    panel.SetDrawOutline(true);
    const TBitmap wood = texture();
    for (int i = 0; i < 50; ++i) {
        auto *o = new TSuperShape;
        o->FinishLoading();
        o->SetParentComponent(&panel);
        o->SetBounds(10 + (i % 10) * 62, 10 + (i / 10) * 76, 60, 70);
        o->SetShadowOrient(soLowerRight);
        o->SetSurfaceType(surface);
        if (surface == TSuperShape::stBrushImage)
            o->SetImage(&wood);
        panel.AttachObject(o);
        if (withText)
            panel.AttachObject(addSuperText(panel, QRect(10 + (i % 10) * 62, 420 + (i / 10) * 40, 60, 36)));
    }
    if (withText)
        panel.resize(640, 620);
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
    return double(timer.nsecsElapsed()) / 1e6 / repaints;
}

void addLine(TGBasePanel &panel, int top, const QString &text)
{
    auto *label = new TGPLabel;
    label->SetParentComponent(&panel);
    label->FinishLoading();
    label->SetBounds(12, top, 160, 20);
    label->SetCaption(text);
}

QString writeLabel(const QString &dir, bool withShape, bool withText = false)
{
    TGBasePanel panel;
    panel.resize(254, 96);
    auto *frame = new TGLabelShapes;
    frame->SetParentComponent(&panel);
    frame->FinishLoading();
    frame->SetBounds(4, 4, 246, 88);
    frame->SetTransparent(true);
    addLine(panel, 12, QStringLiteral("Jane Q. Example"));
    addLine(panel, 36, QStringLiteral("1234 Any Street, Apt. 5"));
    addLine(panel, 60, QStringLiteral("Springfield, ST 12345-6789"));
    const TBitmap wood = texture();
    if (withShape) {
        auto *star = new TSuperShape;
        star->SetParentComponent(&panel);
        star->FinishLoading();
        star->SetBounds(180, 14, 64, 64);
        star->SetShadowOrient(soLowerRight);
        star->SetSurfaceType(TSuperShape::stBrushImage);
        star->SetImage(&wood);
    }
    if (withText)
        addSuperText(panel, QRect(176, 70, 70, 20));
    const QString file = dir + (withText ? QStringLiteral("/both.qm")
                                : withShape ? QStringLiteral("/star.qm") : QStringLiteral("/address.qm"));
    TGLabelObjectFiler().WriteLabelFile(&panel, file, TLabelLayout::Default());
    return file;
}

double printSeconds(const QString &qmtool, const QString &label, const QString &pdf, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QFile::remove(pdf);
        QElapsedTimer timer;
        timer.start();
        QProcess p;
        p.start(qmtool, {QStringLiteral("print"), label, QStringLiteral("-o"), pdf,
                         QStringLiteral("--sheets"), QStringLiteral("10")});
        if (!p.waitForFinished(600000) || p.exitCode() != 0) {
            std::fprintf(stderr, "qmtool print failed: %s\n", p.readAllStandardError().constData());
            return -1;
        }
        times.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    QApplication app(argc, argv);
    RegisterLabelClasses();
    if (argc > 2 && QByteArray(argv[1]) == "--write") {
        const QString out = QString::fromLocal8Bit(argv[2]);
        if (!QDir().mkpath(out)) {
            std::fprintf(stderr, "bench_supershapes: cannot create %s\n", argv[2]);
            return 1;
        }
        try {
            for (const QString &file : {writeLabel(out, false), writeLabel(out, true), writeLabel(out, true, true)})
                std::printf("%s\n", qPrintable(file));
        } catch (const std::exception &e) {
            std::fprintf(stderr, "bench_supershapes: %s\n", e.what());
            return 1;
        }
        return 0;
    }
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;

    std::printf("%-28s %12s %10s\n", "panel, 50 stars", "repaint ms", "target");
    std::printf("%-28s %12.2f %10s\n", "textured", repaintMs(TSuperShape::stBrushImage), "< 16");
    std::printf("%-28s %12.2f %10s\n", "gradient", repaintMs(TSuperShape::stGradientFill), "< 16");
    std::printf("%-28s %12.2f %10s\n", "textured + 50 SuperText", repaintMs(TSuperShape::stBrushImage, true),
                "< 16");

    QTemporaryDir dir;
    const QString qmtool = QCoreApplication::applicationDirPath() + QStringLiteral("/qmtool");
    const double plain = printSeconds(qmtool, writeLabel(dir.path(), false), dir.filePath("a.pdf"), runs);
    const double star = printSeconds(qmtool, writeLabel(dir.path(), true), dir.filePath("s.pdf"), runs);
    std::printf("\n%-28s %12s %10s %10s\n", "print 10 sheets, 30-up", "seconds", "ratio", "target");
    std::printf("%-28s %12.3f %10s %10s\n", "address label", plain, "1.00", "");
    std::printf("%-28s %12.3f %10.2f %10s\n", "with a textured star", star, plain > 0 ? star / plain : 0.0,
                "< 3");
    const double both = printSeconds(qmtool, writeLabel(dir.path(), true, true), dir.filePath("b.pdf"), runs);
    std::printf("%-28s %12.3f %10.2f %10s\n", "with star and SuperText", both, plain > 0 ? both / plain : 0.0,
                "< 3");
    return 0;
}
