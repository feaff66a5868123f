// RTF reading and writing over document sizes, against Qt's own HTML
// import and export of the same document as the floor; and repainting a
// design panel holding 20 rich text objects.

#include "design/Gqmpanel32.h"
#include "objects/Register.h"
#include "objects/text/Gprichl.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "richtext/WPRichText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTextDocument>

#include <cstdio>
#include <ctime>

namespace {

// About `bytes` of RTF: paragraphs of mixed fonts, sizes, colours and styles.
QByteArray sampleRtf(qsizetype bytes)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
                     "{\\colortbl;\\red0\\green0\\blue128;\\red255\\green0\\blue0;}\r\n";
    int n = 0;
    while (out.size() < bytes) {
        out += "\\pard" + QByteArray(n % 3 == 0 ? "\\qc" : n % 3 == 1 ? "\\ql" : "\\qj") + "\\f" + QByteArray::number(n % 2)
            + "\\fs" + QByteArray::number(20 + n % 10) + " Paragraph " + QByteArray::number(n)
            + " with {\\b bold}, {\\i italic}, {\\cf2 red} and caf\\'e9 \\u8364? text.\\par\r\n";
        ++n;
    }
    return out + "}";
}

double ms(QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

// This thread's processor time: what the work took when other programs
// share the machine's cores.
double cpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    QApplication app(argc, argv);

    std::printf("%10s %10s %10s %10s %10s %12s %12s\n", "RTF bytes", "read ms", "(cpu)", "write ms", "(cpu)",
                "HTML in ms", "HTML out ms");
    for (qsizetype size : {qsizetype(1000), qsizetype(10000), qsizetype(100000), qsizetype(1000000)}) {
        const QByteArray rtfText = sampleRtf(size);
        QElapsedTimer t;
        t.start();
        double cpu = cpuMs();
        rtf::ReadResult r = rtf::Read(rtfText);
        const double readMs = ms(t), readCpu = cpuMs() - cpu;
        if (!r.document) {
            std::printf("read failed: %s\n", qPrintable(r.error));
            return 1;
        }
        t.restart();
        cpu = cpuMs();
        const QByteArray written = rtf::Write(*r.document);
        const double writeMs = ms(t), writeCpu = cpuMs() - cpu;
        t.restart();
        const QString html = r.document->toHtml();
        const double htmlOutMs = ms(t);
        t.restart();
        QTextDocument fromHtml;
        fromHtml.setHtml(html);
        const double htmlInMs = ms(t);
        std::printf("%10lld %10.2f %10.2f %10.2f %10.2f %12.2f %12.2f\n", qlonglong(rtfText.size()), readMs, readCpu,
                    writeMs, writeCpu, htmlInMs, htmlOutMs);
        Q_UNUSED(written);
    }
    std::printf("targets: reading and writing 1 MB each under 100 ms\n\n");

    // 20 rich text objects on a panel owned by a window with the shared editor.
    RegisterLabelClasses();
    struct Host : QWidget, TComponent
    {
        QByteArray ClassName() const override { return "Host"; }
        const TPropertyTable &Properties() const override
        {
            static const TPropertyTable table(nullptr, {});
            return table;
        }
    } host;
    auto *master = new TWPRichText(&host, &host);
    master->SetName(QLatin1String(MasterRichTextName));
    auto *panel = new TGQuillmarkPanel32(&host);
    panel->SetObjectOwner(&host);
    panel->resize(640, 400);
    const QByteArray small = sampleRtf(400);
    QList<TGPRichBaseLabel *> objects;
    for (int i = 0; i < 20; ++i) {
        auto *o = new TGPRichBaseLabel(&host);
        o->SetParentComponent(panel);
        o->FinishLoading();
        o->SetBounds((i % 4) * 155, (i / 4) * 78, 150, 75);
        o->Storage()->SetRtf(small);
        panel->AttachObject(o);
        objects.append(o);
    }
    panel->show();
    QCoreApplication::processEvents();
    QImage image(panel->size(), QImage::Format_ARGB32_Premultiplied);
    std::printf("%28s %12s %20s\n", "repaint of 20 rich text", "ms", "(target < 16 ms)");
    for (float zoom : {1.0f, 1.5f}) {
        panel->SetZoom(zoom);
        image = QImage(panel->size(), QImage::Format_ARGB32_Premultiplied);
        const int repaints = 20;
        // Every document changed before each repaint: all laid out again.
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < repaints; ++i) {
            for (TGPRichBaseLabel *o : objects)
                o->Storage()->SetRtf(small);
            QPainter p(&image);
            panel->render(&p);
        }
        std::printf("%22s %.1f %12.2f\n", "all changed, zoom", double(zoom), ms(t) / repaints);
        // Nothing changed: the panel repaints over objects left as they were.
        t.restart();
        for (int i = 0; i < repaints; ++i) {
            QPainter p(&image);
            panel->render(&p);
        }
        std::printf("%22s %.1f %12.2f\n", "unchanged, zoom", double(zoom), ms(t) / repaints);
    }
    delete panel;
    return 0;
}
