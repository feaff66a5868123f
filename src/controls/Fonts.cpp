#include "Fonts.h"

#include <QFont>

#include <cstdlib>

void InstallFontSubstitutions()
{
    static const struct { const char *face; const char *substitute; } table[] = {
        {"Arial", "Liberation Sans"},
        {"Helvetica", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
    };
    for (const auto &s : table) {
        const QString face = QString::fromLatin1(s.face);
        QFont::removeSubstitutions(face);
        QFont::insertSubstitution(face, QString::fromLatin1(s.substitute));
    }
}

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const qint64 n = qint64(a) * b;
    qint64 q = (std::llabs(n) + std::llabs(qint64(c)) / 2) / std::llabs(qint64(c));
    if ((n < 0) != (c < 0))
        q = -q;
    return int(q);
}

int FontHeightFromPoints(int points, int pixelsPerInch)
{
    return -MulDiv(points, pixelsPerInch, 72);
}
