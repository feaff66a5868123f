// The floor the print benchmark measures against: the pages qmtool print
// makes of the benchmark's address label (30-up Letter sheet; a rectangle
// and three lines of 10 pt Arial on each label, at the same places), written
// straight with QPdfWriter and QPainter and nothing of Quillmark.
//
//   bench_print_floor OUT.pdf SHEETS

#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("usage: bench_print_floor OUT.pdf SHEETS\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int sheets = std::max(1, atoi(argv[2]));

    // The sheet and the label as qmtool prints them, in inches; the design
    // is in pixels of 1/96 inch.
    const double topMargin = 0.5, leftMargin = 0.188, hPitch = 2.765, vPitch = 1.01;
    const int across = 3, down = 10;
    const double px = 1 / 96.0;
    const char *lines[] = {"Jane Q. Example", "1234 Any Street, Apt. 5", "Springfield, ST 12345-6789"};
    const int lineTops[] = {12, 36, 60};

    QPdfWriter writer(QString::fromLocal8Bit(argv[1]));
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
    writer.setCreator(QStringLiteral("floor"));
    QPainter p(&writer);
    const double dpi = writer.resolution();
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10);
    p.setFont(font);
    QPen pen(Qt::black);
    pen.setWidthF(0.01 * dpi);
    for (int s = 0; s < sheets; ++s) {
        if (s > 0)
            writer.newPage();
        for (int r = 0; r < down; ++r) {
            for (int c = 0; c < across; ++c) {
                const double left = (leftMargin + c * hPitch) * dpi;
                const double top = (topMargin + r * vPitch) * dpi;
                p.setPen(pen);
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRectF(left + 4 * px * dpi, top + 4 * px * dpi, 246 * px * dpi,
                                  88 * px * dpi));
                p.setPen(Qt::black);
                for (int i = 0; i < 3; ++i)
                    p.drawText(QRectF(left + 12 * px * dpi, top + lineTops[i] * px * dpi,
                                      220 * px * dpi, 20 * px * dpi),
                               Qt::AlignLeft | Qt::AlignTop, QString::fromLatin1(lines[i]));
            }
        }
    }
    return p.end() ? 0 : 1;
}
