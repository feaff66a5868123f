#include "graphics/PrintForm.h"

#include <array>

namespace graphics {

namespace {

constexpr QRgb Black = 0xFF000000, White = 0xFFFFFFFF;

// For each palette index: 0 black, 1 white, -1 any other colour.
std::array<int, 256> paletteShades(const QImage &image)
{
    std::array<int, 256> shade;
    shade.fill(-1);
    const QList<QRgb> table = image.colorTable();
    for (qsizetype i = 0; i < table.size() && i < 256; ++i)
        shade[size_t(i)] = table[i] == Black ? 0 : table[i] == White ? 1 : -1;
    return shade;
}

// The 1-bit image of `source` with `shade(line, x)` (0 black, 1 white) for
// each pixel, or a null image as soon as a pixel is neither.
template <typename Shade>
QImage monoImage(const QImage &source, Shade shade)
{
    const int w = source.width(), h = source.height();
    QImage mono(w, h, QImage::Format_Mono);
    if (mono.isNull())
        return {};
    mono.setColorTable({Black, White});
    for (int y = 0; y < h; ++y) {
        const uchar *line = source.constScanLine(y);
        uchar *out = mono.scanLine(y);
        uchar bits = 0;
        for (int x = 0; x < w; ++x) {
            const int s = shade(line, x);
            if (s < 0)
                return {};
            bits = uchar(bits << 1 | s);
            if (x % 8 == 7)
                out[x / 8] = bits, bits = 0;
        }
        if (w % 8)
            out[w / 8] = uchar(bits << (8 - w % 8));
    }
    return mono;
}

}  // namespace

QImage PrintForm(const QImage &image)
{
    QImage mono;
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8: {
        const std::array<int, 256> shade = paletteShades(image);
        if (image.format() == QImage::Format_Mono && shade[0] == 0 && shade[1] == 1)
            return image;
        const bool msbFirst = image.format() == QImage::Format_Mono;
        if (image.format() == QImage::Format_Indexed8)
            mono = monoImage(image, [&](const uchar *line, int x) { return shade[line[x]]; });
        else
            mono = monoImage(image, [&](const uchar *line, int x) {
                return shade[(line[x / 8] >> (msbFirst ? 7 - x % 8 : x % 8)) & 1];
            });
        break;
    }
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        mono = monoImage(image, [](const uchar *line, int x) {
            const QRgb px = reinterpret_cast<const QRgb *>(line)[x];
            return px == Black ? 0 : px == White ? 1 : -1;
        });
        break;
    default:
        break;
    }
    return mono.isNull() ? image : mono;
}

}  // namespace graphics
