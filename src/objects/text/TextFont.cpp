#include "TextFont.h"

#include "SymbolFonts.h"
#include "controls/Fonts.h"
#include "print/engine/Canvas.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

int ScaledPointSize(const TFont &font, float scale)
{
    if (scale == 1.0f)
        return font.Size();
    return int(static_cast<long double>(font.Size()) * static_cast<long double>(scale));
}

int ScaledFontHeight(const TFont &font, float scale)
{
    if (scale == 1.0f)
        return font.Height();
    return FontHeightFromPoints(ScaledPointSize(font, scale), TFont::PixelsPerInch());
}

QFont MakeQFont(const QString &name, int height, TFontStyles style)
{
    const bool mapped = symbolfonts::IsMapped(name);
    QFont f(mapped ? symbolfonts::FallbackFamily() : name);
    f.setBold(style & (1u << fsBold));
    f.setItalic(style & (1u << fsItalic));
    f.setUnderline(style & (1u << fsUnderline));
    f.setStrikeOut(style & (1u << fsStrikeOut));
    f.setKerning(false);
    if (mapped)
        f.setStyleStrategy(QFont::NoFontMerging);
    if (height == 0)
        height = FontHeightFromPoints(10, TFont::PixelsPerInch());
    // Sizes beyond any label are drawn at the largest size the canvas draws.
    if (height < 0) {
        f.setPixelSize(drawlimits::ClampFontPixels(-static_cast<long long>(height)));
    } else {
        // A cell height: scale a probe so that ascent + descent come out right.
        f.setPixelSize(100);
        const QFontMetrics probe(f);
        const int cell = qMax(1, probe.ascent() + probe.descent());
        f.setPixelSize(drawlimits::ClampFontPixels(MulDiv(drawlimits::ClampFontPixels(height), 100, cell)));
    }
    return f;
}

QFont MakeQFont(const TFont &font, float scale)
{
    return MakeQFont(font.Name(), ScaledFontHeight(font, scale), font.Style());
}

QFont DialogFont(const TFont &font)
{
    QFont f(font.Name());
    f.setPointSize(qMax(1, font.Size()));
    const TFontStyles s = font.Style();
    f.setBold(s & (1u << fsBold));
    f.setItalic(s & (1u << fsItalic));
    f.setUnderline(s & (1u << fsUnderline));
    f.setStrikeOut(s & (1u << fsStrikeOut));
    return f;
}

void AssignDialogFont(TFont &target, const QFont &chosen)
{
    QString name = chosen.family();
    if (name.compare(target.Name(), Qt::CaseInsensitive) != 0
        && name.compare(QFont::substitute(target.Name()), Qt::CaseInsensitive) == 0)
        name = target.Name();
    int points = chosen.pointSize();
    if (points <= 0 && chosen.pixelSize() > 0)
        points = MulDiv(chosen.pixelSize(), 72, TFont::PixelsPerInch());
    TFontStyles style = 0;
    if (chosen.bold())
        style |= 1u << fsBold;
    if (chosen.italic())
        style |= 1u << fsItalic;
    if (chosen.underline())
        style |= 1u << fsUnderline;
    if (chosen.strikeOut())
        style |= 1u << fsStrikeOut;
    target.SetName(name);
    if (points > 0)
        target.SetSize(points);
    target.SetStyle(style);
}

TTextMetrics TextMetrics(const QFont &font)
{
    const QFontMetrics fm(font);
    TTextMetrics m;
    m.ascent = fm.ascent();
    m.descent = fm.descent();
    m.cellHeight = m.ascent + m.descent;
    m.internalLeading = m.cellHeight - font.pixelSize();
    m.externalLeading = fm.leading();
    return m;
}

int TextWidth(const QFont &font, const QString &text)
{
    return QFontMetrics(font).horizontalAdvance(text);
}

QFont BoundedQFont(const TFont &font, float scale)
{
    // The zoomed size is formed here in long double: a stored size near the
    // integer limit must not overflow on its way to the bound.
    long double height = font.Height();
    if (scale != 1.0f) {
        const long double points = std::trunc(static_cast<long double>(font.Size()) * scale);
        height = -points * TFont::PixelsPerInch() / 72.0L;
    }
    const int bounded = int(std::clamp(height, -static_cast<long double>(MaxDrawnFontPixels),
                                       static_cast<long double>(MaxDrawnFontPixels)));
    if (scale != 1.0f && std::fabs(height) < MaxDrawnFontPixels)
        return MakeQFont(font, scale);
    return MakeQFont(font.Name(), bounded, font.Style());
}
