// Label files, object files, the clipboard file, the property stream and
// qmtool build: the targets that make label objects.

#include "FuzzTargets.h"

#include "Commands.h"
#include "LabelDesign.h"

#include "design/Gqmpanel32.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"
#include "storage/Stream.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <exception>

namespace qmfuzz {

namespace {

// The label classes registered and the fonts pinned, as at start-up; once.
void prepareLabelObjects()
{
    static const bool prepared = [] {
        PrepareLabelObjects();
        return true;
    }();
    Q_UNUSED(prepared);
}

// What the window shows of an opened design: the panel drawn, clipped to a
// small picture so that each input stays quick.
void drawPanel(LabelDesign &design)
{
    design.panel().AttachObjects();
    design.panel().SettleObjects();
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    design.panel().render(&image);
}

}  // namespace

void label(const QByteArray &bytes)
{
    prepareLabelObjects();
    // As the window opens a file: first read whole into a scratch panel,
    // then, when that succeeded, into the design's panel.
    try {
        QWidget scratch;
        TLabelLayout probe = TLabelLayout::Default();
        TGLabelObjectFiler filer;
        filer.ReadLabelBytes(nullptr, &scratch, probe, bytes);
    } catch (const std::exception &) {
        return;
    }
    LabelDesign design;
    TLabelLayout layout = TLabelLayout::Default();
    try {
        TGLabelObjectFiler filer;
        filer.ReadLabelBytes(&design.window(), &design.panel(), layout, bytes);
    } catch (const std::exception &) {
        return;
    }
    drawPanel(design);
}

void object(const QByteArray &bytes)
{
    prepareLabelObjects();
    LabelDesign design;
    try {
        TGLabelObjectFiler filer;
        filer.ReadObjectBytes(&design.window(), &design.panel(), bytes);
    } catch (const std::exception &) {
    }
    drawPanel(design);
}

void clipboard(const QByteArray &bytes)
{
    prepareLabelObjects();
    LabelDesign design;
    const QString path = WriteScratchFile(bytes, QStringLiteral("Clipbrd.tmp"));
    try {
        TGLabelObjectFiler filer;
        filer.ReadObjects(&design.window(), &design.panel(), path);
    } catch (const std::exception &) {
    }
    drawPanel(design);
}

void stream(const QByteArray &bytes)
{
    prepareLabelObjects();
    LabelDesign design;
    try {
        PropertyReader reader(bytes);
        TComponent *c = reader.readRootComponent(&design.window(), &design.panel());
        if (c)
            c->FinishLoading();
    } catch (const std::exception &) {
    }
    drawPanel(design);
}

void build(const QByteArray &bytes)
{
    prepareLabelObjects();
    const QString in = WriteScratchFile(bytes, QStringLiteral("in.json"));
    const QString out = WriteScratchFile(QByteArray(), QStringLiteral("out.qm"));
    runBuild({in, out});
}

}  // namespace qmfuzz
