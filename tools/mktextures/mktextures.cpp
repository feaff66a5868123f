// mktextures: writes the texture library (folder bmbrush) as BMP files.
//
// Every texture is drawn from periodic noise, periodic cell patterns and
// patterns whose period divides the tile, so each one tiles without a seam.
// Usage: mktextures OUTPUT_DIR

#include "graphics/Bmp.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;

struct Rgb
{
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb a, double f)
{
    return {a.r * f, a.g * f, a.b * f};
}

// Colour from a list of stops spread evenly over 0..1.
Rgb ramp(const std::vector<Rgb> &stops, double t)
{
    t = std::clamp(t, 0.0, 1.0) * double(stops.size() - 1);
    const int i = std::min(int(t), int(stops.size()) - 2);
    return mix(stops[i], stops[i + 1], t - i);
}

uint32_t hash(int x, int y, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B9u ^ uint32_t(x) * 0x85EBCA6Bu ^ uint32_t(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double hash01(int x, int y, uint32_t seed)
{
    return (hash(x, y, seed) & 0xFFFFFF) / double(0x1000000);
}

int wrap(int v, int period)
{
    const int m = v % period;
    return m < 0 ? m + period : m;
}

double smooth(double t)
{
    return t * t * t * (t * (t * 6 - 15) + 10);
}

// Value noise on a lattice of px by py cells over the unit square, which
// wraps at both edges. u, v in [0, 1).
double noise(double u, double v, int px, int py, uint32_t seed)
{
    const double x = u * px, y = v * py;
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = smooth(x - x0), fy = smooth(y - y0);
    auto at = [&](int i, int j) { return hash01(wrap(i, px), wrap(j, py), seed); };
    const double a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * fx;
    const double b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * fx;
    return a + (b - a) * fy;
}

// Fractal sum of periodic noise, 0..1; the periods double each octave.
double fbm(double u, double v, int px, int py, int octaves, uint32_t seed, double gain = 0.5)
{
    double sum = 0, amp = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * noise(u, v, px << o, py << o, seed + o * 101);
        total += amp;
        amp *= gain;
    }
    return sum / total;
}

// Periodic cell noise over n by n cells: the distances (in cells) to the
// nearest and second nearest feature points, and the nearest cell's id.
struct Cells
{
    double f1, f2;
    uint32_t id;
};

Cells cells(double u, double v, int n, uint32_t seed)
{
    const double x = u * n, y = v * n;
    const int cx = int(std::floor(x)), cy = int(std::floor(y));
    Cells c {9, 9, 0};
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const int gx = cx + i, gy = cy + j;
            const int wx = wrap(gx, n), wy = wrap(gy, n);
            const double fx = gx + hash01(wx, wy, seed), fy = gy + hash01(wx, wy, seed + 7);
            const double d = std::hypot(fx - x, fy - y);
            if (d < c.f1) {
                c.f2 = c.f1;
                c.f1 = d;
                c.id = hash(wx, wy, seed + 13);
            } else if (d < c.f2) {
                c.f2 = d;
            }
        }
    return c;
}

using Shader = std::function<Rgb(double u, double v, int x, int y)>;

struct Texture
{
    const char *name;
    int size;
    Shader shader;
};

Rgb rgb(int r, int g, int b)
{
    return {double(r), double(g), double(b)};
}

QImage render(const Texture &t)
{
    QImage image(t.size, t.size, QImage::Format_RGB32);
    for (int y = 0; y < t.size; ++y)
        for (int x = 0; x < t.size; ++x) {
            const Rgb c = t.shader(double(x) / t.size, double(y) / t.size, x, y);
            auto ch = [](double v) { return int(std::clamp(std::lround(v), 0L, 255L)); };
            image.setPixel(x, y, qRgb(ch(c.r), ch(c.g), ch(c.b)));
        }
    return image;
}

// Threads of a weave: brightness of the thread under (x, y) for threads
// `pitch` pixels apart, with each thread's own shade.
double thread(int pos, int pitch, uint32_t seed)
{
    const int index = pos / pitch;
    const double across = (pos % pitch + 0.5) / pitch;
    return (0.75 + 0.25 * std::sin(across * Pi)) * (0.85 + 0.15 * hash01(index, 0, seed));
}

std::vector<Texture> library()
{
    std::vector<Texture> t;
    t.push_back({"wood", 128, [](double u, double v, int, int) {
        const double grain = fbm(u, v, 2, 8, 4, 11);
        const double rings = 0.5 + 0.5 * std::sin(2 * Pi * (6 * u + 3.0 * grain));
        const double fine = fbm(u, v, 32, 4, 2, 12);
        return mix(ramp({rgb(112, 64, 30), rgb(160, 100, 50), rgb(196, 140, 80)}, rings),
                   rgb(90, 50, 22), 0.35 * fine);
    }});
    t.push_back({"oak", 128, [](double u, double v, int, int) {
        const double grain = fbm(u, v, 3, 2, 4, 21);
        const double rings = std::pow(0.5 + 0.5 * std::sin(2 * Pi * (4 * v + 4.0 * grain)), 3);
        const double fine = fbm(u, v, 4, 64, 2, 22);
        return mix(ramp({rgb(210, 170, 110), rgb(180, 130, 75)}, rings), rgb(140, 95, 50),
                   0.4 * fine);
    }});
    t.push_back({"marble", 128, [](double u, double v, int, int) {
        const double turb = fbm(u, v, 4, 4, 5, 31);
        const double vein = std::abs(std::sin(2 * Pi * (2 * u + v + 2.5 * turb)));
        return ramp({rgb(90, 90, 100), rgb(200, 200, 205), rgb(240, 240, 238), rgb(250, 250, 248)},
                    std::pow(vein, 0.4));
    }});
    t.push_back({"green_marble", 128, [](double u, double v, int, int) {
        const double turb = fbm(u, v, 4, 4, 5, 35);
        const double vein = std::abs(std::sin(2 * Pi * (u - 2 * v + 3 * turb)));
        return ramp({rgb(200, 230, 210), rgb(40, 110, 70), rgb(15, 60, 35)}, std::pow(vein, 0.5));
    }});
    t.push_back({"granite", 128, [](double u, double v, int, int) {
        const double n = fbm(u, v, 32, 32, 3, 41);
        const double speck = hash01(int(u * 128), int(v * 128), 42);
        Rgb c = ramp({rgb(120, 110, 110), rgb(175, 165, 160), rgb(205, 195, 190)}, n);
        if (speck > 0.93)
            c = rgb(35, 30, 30);
        else if (speck < 0.06)
            c = rgb(190, 140, 130);
        return c;
    }});
    t.push_back({"paper", 128, [](double u, double v, int, int) {
        const double n = fbm(u, v, 16, 16, 4, 51) - 0.5;
        const double fibre = fbm(u, v, 64, 8, 2, 52) - 0.5;
        return scale(rgb(246, 243, 234), 1 + 0.05 * n + 0.03 * fibre);
    }});
    t.push_back({"parchment", 256, [](double u, double v, int, int) {
        const double blot = fbm(u, v, 3, 3, 5, 61);
        const double stain = std::pow(std::clamp(fbm(u, v, 5, 5, 3, 62) * 1.6 - 0.55, 0.0, 1.0), 2);
        const Rgb base = ramp({rgb(205, 170, 115), rgb(232, 208, 160), rgb(242, 225, 185)}, blot);
        return mix(base, rgb(160, 115, 60), stain);
    }});
    t.push_back({"linen", 128, [](double u, double v, int x, int y) {
        const double warp = thread(x, 4, 71), weft = thread(y, 4, 72);
        const bool over = ((x / 4) + (y / 4)) % 2 == 0;
        const double n = fbm(u, v, 16, 16, 2, 73);
        return scale(rgb(225, 215, 195), (over ? warp : weft) * (0.92 + 0.12 * n));
    }});
    t.push_back({"canvas", 128, [](double u, double v, int x, int y) {
        const double warp = thread(x, 8, 81), weft = thread(y, 8, 82);
        const bool over = ((x / 8) + (y / 8)) % 2 == 0;
        const double n = fbm(u, v, 8, 8, 3, 83);
        return scale(rgb(200, 185, 150), (over ? warp : weft) * (0.85 + 0.2 * n));
    }});
    t.push_back({"brushed_metal", 128, [](double u, double v, int, int) {
        const double streak = fbm(u, v, 1, 64, 3, 91);
        const double glow = 0.5 + 0.5 * std::cos(2 * Pi * v);
        return scale(rgb(170, 172, 178), 0.85 + 0.25 * streak + 0.08 * glow);
    }});
    t.push_back({"gold", 128, [](double u, double v, int, int) {
        const double streak = fbm(u, v, 1, 64, 3, 101);
        const double sheen = 0.5 + 0.5 * std::sin(2 * Pi * (u + 2 * v));
        return ramp({rgb(140, 95, 20), rgb(212, 165, 50), rgb(250, 225, 130)},
                    0.55 * sheen + 0.45 * streak);
    }});
    t.push_back({"leather", 128, [](double u, double v, int, int) {
        const Cells c = cells(u, v, 12, 111);
        const double crease = std::clamp((c.f2 - c.f1) * 4, 0.0, 1.0);
        const double n = fbm(u, v, 8, 8, 3, 112);
        return scale(rgb(120, 70, 35), 0.6 + 0.35 * std::sqrt(crease) + 0.15 * n);
    }});
    t.push_back({"cork", 128, [](double u, double v, int, int) {
        const Cells c = cells(u, v, 24, 121);
        const double shade = (c.id & 0xFF) / 255.0;
        const double edge = std::clamp((c.f2 - c.f1) * 3, 0.0, 1.0);
        const double pore = hash01(int(u * 128), int(v * 128), 122) > 0.96 ? 0.6 : 1.0;
        return scale(ramp({rgb(140, 90, 45), rgb(190, 135, 75), rgb(215, 165, 105)}, shade),
                     (0.75 + 0.25 * edge) * pore);
    }});
    t.push_back({"sand", 128, [](double u, double v, int, int) {
        const double ripple = 0.5 + 0.5 * std::sin(2 * Pi * (5 * v + u + 1.5 * fbm(u, v, 4, 4, 3, 131)));
        const double grain = hash01(int(u * 128), int(v * 128), 132);
        return scale(rgb(222, 196, 145), 0.88 + 0.08 * ripple + 0.1 * grain);
    }});
    t.push_back({"water", 128, [](double u, double v, int, int) {
        const double a = fbm(u, v, 4, 4, 4, 141), b = fbm(u, v, 6, 6, 3, 142);
        const double ridge = std::pow(1 - std::abs(std::sin(2 * Pi * (2 * a + b))), 6);
        return mix(ramp({rgb(10, 60, 120), rgb(30, 110, 170)}, a), rgb(190, 230, 250), ridge);
    }});
    t.push_back({"sky", 256, [](double u, double v, int, int) {
        const double cloud = std::clamp((fbm(u, v, 4, 4, 6, 151) - 0.45) * 3, 0.0, 1.0);
        return mix(rgb(80, 140, 220), rgb(250, 250, 255), cloud);
    }});
    t.push_back({"grass", 128, [](double u, double v, int, int) {
        const double blade = fbm(u, v, 64, 4, 2, 161);
        const double patch = fbm(u, v, 4, 4, 3, 162);
        return ramp({rgb(30, 80, 20), rgb(70, 140, 40), rgb(140, 190, 70)},
                    0.65 * blade + 0.35 * patch);
    }});
    t.push_back({"moss", 64, [](double u, double v, int, int) {
        const double n = fbm(u, v, 8, 8, 4, 171);
        const double tuft = hash01(int(u * 64), int(v * 64), 172);
        return scale(ramp({rgb(40, 60, 20), rgb(90, 120, 40), rgb(140, 160, 60)}, n), 0.85 + 0.2 * tuft);
    }});
    t.push_back({"brick", 128, [](double u, double v, int x, int y) {
        const int row = y / 16, shift = row % 2 ? 16 : 0;
        const int bx = (x + shift) % 128, col = bx / 32;
        const bool mortar = y % 16 < 2 || bx % 32 < 2;
        const double n = fbm(u, v, 16, 16, 3, 181);
        if (mortar)
            return scale(rgb(200, 195, 185), 0.85 + 0.2 * n);
        const double shade = hash01(col, row, 182);
        return scale(ramp({rgb(130, 45, 30), rgb(170, 70, 45), rgb(150, 85, 60)}, shade),
                     0.8 + 0.3 * n);
    }});
    t.push_back({"stone", 128, [](double u, double v, int, int) {
        const Cells c = cells(u, v, 6, 191);
        const double gap = c.f2 - c.f1;
        const double n = fbm(u, v, 16, 16, 4, 192);
        const double shade = (c.id & 0xFF) / 255.0;
        if (gap < 0.08)
            return scale(rgb(70, 68, 65), 0.8 + 0.3 * n);
        return scale(ramp({rgb(120, 115, 105), rgb(165, 160, 150), rgb(150, 140, 125)}, shade),
                     0.75 + 0.35 * n) ;
    }});
    t.push_back({"cobbles", 128, [](double u, double v, int, int) {
        const Cells c = cells(u, v, 8, 195);
        const double dome = std::clamp((c.f2 - c.f1) * 2.5, 0.0, 1.0);
        const double n = fbm(u, v, 16, 16, 3, 196);
        return scale(rgb(135, 125, 115), 0.35 + 0.65 * std::sqrt(dome) + 0.15 * (n - 0.5));
    }});
    t.push_back({"denim", 128, [](double u, double v, int x, int y) {
        const bool twill = ((x + y) / 2) % 4 < 3;
        const double n = fbm(u, v, 32, 8, 2, 201);
        const double fade = fbm(u, v, 4, 4, 3, 202);
        const Rgb blue = mix(rgb(30, 50, 100), rgb(80, 110, 160), 0.6 * fade);
        return scale(twill ? blue : rgb(180, 185, 200), 0.85 + 0.25 * n);
    }});
    t.push_back({"slate", 128, [](double u, double v, int, int) {
        const double layers = fbm(u, v, 2, 16, 4, 211);
        const double n = fbm(u, v, 16, 16, 2, 212);
        return scale(ramp({rgb(50, 55, 65), rgb(85, 92, 105)}, layers), 0.9 + 0.2 * n);
    }});
    t.push_back({"concrete", 128, [](double u, double v, int, int) {
        const double n = fbm(u, v, 8, 8, 5, 221);
        const double pit = hash01(int(u * 128), int(v * 128), 222) > 0.985 ? 0.7 : 1.0;
        return scale(rgb(165, 165, 160), (0.85 + 0.25 * n) * pit);
    }});
    t.push_back({"rust", 128, [](double u, double v, int, int) {
        const double n = fbm(u, v, 6, 6, 5, 231);
        const double spot = std::clamp((fbm(u, v, 3, 3, 4, 232) - 0.4) * 3, 0.0, 1.0);
        return mix(ramp({rgb(90, 40, 20), rgb(160, 75, 30), rgb(200, 110, 50)}, n), rgb(110, 100, 95),
                   1 - spot);
    }});
    t.push_back({"lava", 128, [](double u, double v, int, int) {
        const Cells c = cells(u, v, 5, 241);
        const double crack = std::clamp(1 - (c.f2 - c.f1) * 6, 0.0, 1.0);
        const double n = fbm(u, v, 8, 8, 3, 242);
        return mix(scale(rgb(45, 35, 35), 0.8 + 0.4 * n), rgb(255, 140, 20), std::pow(crack, 3));
    }});
    t.push_back({"ice", 128, [](double u, double v, int, int) {
        const Cells c = cells(u, v, 5, 251);
        const double crack = std::clamp(1 - (c.f2 - c.f1) * 10, 0.0, 1.0);
        const double n = fbm(u, v, 4, 4, 4, 252);
        return mix(ramp({rgb(170, 210, 235), rgb(225, 245, 255)}, n), rgb(255, 255, 255), crack);
    }});
    t.push_back({"camouflage", 128, [](double u, double v, int, int) {
        const double a = fbm(u, v, 4, 4, 4, 261), b = fbm(u, v, 4, 4, 4, 262);
        if (a > 0.58)
            return rgb(60, 50, 35);
        if (b > 0.55)
            return rgb(110, 120, 70);
        return a > 0.45 ? rgb(70, 90, 45) : rgb(150, 140, 100);
    }});
    t.push_back({"velvet", 64, [](double u, double v, int, int) {
        const double n = fbm(u, v, 4, 4, 4, 271);
        const double pile = fbm(u, v, 32, 32, 1, 272);
        return scale(rgb(140, 20, 40), 0.7 + 0.4 * n + 0.08 * pile);
    }});
    t.push_back({"carbon_fibre", 64, [](double, double, int x, int y) {
        const int cx = x / 8, cy = y / 8;
        const bool along = (cx + cy) % 2 == 0;
        const int pos = along ? y % 8 : x % 8;
        const double shade = 0.5 + 0.5 * std::sin((pos + 0.5) / 8 * Pi);
        return scale(rgb(70, 70, 75), 0.45 + 0.55 * shade * (along ? 1.0 : 0.8));
    }});
    t.push_back({"bark", 128, [](double u, double v, int, int) {
        const double ridges = fbm(u, v, 12, 2, 4, 281);
        const double furrow = std::pow(std::abs(std::sin(2 * Pi * (8 * u + 2 * ridges))), 0.5);
        return scale(rgb(95, 70, 50), 0.45 + 0.55 * furrow + 0.15 * fbm(u, v, 16, 16, 2, 282));
    }});
    t.push_back({"terrazzo", 128, [](double u, double v, int, int) {
        const Cells c = cells(u, v, 14, 291);
        const double n = fbm(u, v, 16, 16, 2, 292);
        if (c.f1 < 0.3) {
            const uint32_t k = c.id % 4;
            const Rgb chip[] = {rgb(170, 60, 50), rgb(60, 70, 80), rgb(210, 170, 90), rgb(120, 150, 130)};
            return chip[k];
        }
        return scale(rgb(235, 230, 220), 0.95 + 0.08 * n);
    }});
    return t;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mktextures OUTPUT_DIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "mktextures: cannot create %s\n", argv[1]);
        return 1;
    }
    for (const Texture &t : library()) {
        const QString path = dir + QLatin1Char('/') + QLatin1String(t.name) + QStringLiteral(".bmp");
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(graphics::EncodeBmp(render(t))) < 0) {
            std::fprintf(stderr, "mktextures: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
