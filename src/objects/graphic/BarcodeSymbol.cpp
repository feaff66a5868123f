#include "objects/graphic/BarcodeSymbol.h"

#include <zint.h>

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>

namespace barcode {

namespace {

struct Entry
{
    int id;
    const char *caption;
    TGroup group;
};

// The dialog's order. Composite symbologies (a linear symbol with a 2-D
// part of its own data) are left out: the object holds one data text.
const Entry Entries[] = {
    {BARCODE_CODE128, "Code 128", TGroup::Linear},
    {BARCODE_CODE128B, "Code 128 (Subset B)", TGroup::Linear},
    {BARCODE_CODE39, "Code 39", TGroup::Linear},
    {BARCODE_EXCODE39, "Extended Code 39", TGroup::Linear},
    {BARCODE_CODE93, "Code 93", TGroup::Linear},
    {BARCODE_EANX, "EAN-13 / EAN-8", TGroup::Linear},
    {BARCODE_EANX_CHK, "EAN + Check Digit", TGroup::Linear},
    {BARCODE_UPCA, "UPC-A", TGroup::Linear},
    {BARCODE_UPCA_CHK, "UPC-A + Check Digit", TGroup::Linear},
    {BARCODE_UPCE, "UPC-E", TGroup::Linear},
    {BARCODE_UPCE_CHK, "UPC-E + Check Digit", TGroup::Linear},
    {BARCODE_ISBNX, "ISBN", TGroup::Linear},
    {BARCODE_CODABAR, "Codabar", TGroup::Linear},
    {BARCODE_C25INTER, "Interleaved 2 of 5", TGroup::Linear},
    {BARCODE_C25STANDARD, "2 of 5 Standard (Matrix)", TGroup::Linear},
    {BARCODE_C25IATA, "2 of 5 IATA", TGroup::Linear},
    {BARCODE_C25LOGIC, "2 of 5 Data Logic", TGroup::Linear},
    {BARCODE_C25IND, "2 of 5 Industrial", TGroup::Linear},
    {BARCODE_CODE11, "Code 11", TGroup::Linear},
    {BARCODE_MSI_PLESSEY, "MSI Plessey", TGroup::Linear},
    {BARCODE_PLESSEY, "UK Plessey", TGroup::Linear},
    {BARCODE_TELEPEN, "Telepen Alpha", TGroup::Linear},
    {BARCODE_TELEPEN_NUM, "Telepen Numeric", TGroup::Linear},
    {BARCODE_LOGMARS, "LOGMARS", TGroup::Linear},
    {BARCODE_CODE32, "Code 32 (Italian Pharmacode)", TGroup::Linear},
    {BARCODE_PZN, "Pharmazentralnummer (PZN)", TGroup::Linear},
    {BARCODE_PHARMA, "Pharmacode One-Track", TGroup::Linear},
    {BARCODE_PHARMA_TWO, "Pharmacode Two-Track", TGroup::Linear},
    {BARCODE_HIBC_128, "HIBC Code 128", TGroup::Linear},
    {BARCODE_HIBC_39, "HIBC Code 39", TGroup::Linear},
    {BARCODE_VIN, "Vehicle Identification Number", TGroup::Linear},
    {BARCODE_DPLEIT, "Deutsche Post Leitcode", TGroup::Linear},
    {BARCODE_DPIDENT, "Deutsche Post Identcode", TGroup::Linear},
    {BARCODE_CHANNEL, "Channel Code", TGroup::Linear},
    {BARCODE_BC412, "IBM BC412", TGroup::Linear},
    {BARCODE_FLAT, "Flattermarken", TGroup::Linear},
    {BARCODE_CODE16K, "Code 16K", TGroup::Linear},
    {BARCODE_CODE49, "Code 49", TGroup::Linear},
    {BARCODE_CODABLOCKF, "Codablock-F", TGroup::Linear},
    {BARCODE_HIBC_BLOCKF, "HIBC Codablock-F", TGroup::Linear},
    {BARCODE_QRCODE, "QR Code", TGroup::TwoD},
    {BARCODE_MICROQR, "Micro QR Code", TGroup::TwoD},
    {BARCODE_RMQR, "Rectangular Micro QR Code (rMQR)", TGroup::TwoD},
    {BARCODE_UPNQR, "UPNQR", TGroup::TwoD},
    {BARCODE_DATAMATRIX, "Data Matrix", TGroup::TwoD},
    {BARCODE_PDF417, "PDF417", TGroup::TwoD},
    {BARCODE_PDF417COMP, "Compact PDF417", TGroup::TwoD},
    {BARCODE_MICROPDF417, "MicroPDF417", TGroup::TwoD},
    {BARCODE_AZTEC, "Aztec Code", TGroup::TwoD},
    {BARCODE_AZRUNE, "Aztec Runes", TGroup::TwoD},
    {BARCODE_MAXICODE, "MaxiCode", TGroup::TwoD},
    {BARCODE_DOTCODE, "DotCode", TGroup::TwoD},
    {BARCODE_HANXIN, "Han Xin Code", TGroup::TwoD},
    {BARCODE_GRIDMATRIX, "Grid Matrix", TGroup::TwoD},
    {BARCODE_CODEONE, "Code One", TGroup::TwoD},
    {BARCODE_ULTRA, "Ultracode", TGroup::TwoD},
    {BARCODE_HIBC_QR, "HIBC QR Code", TGroup::TwoD},
    {BARCODE_HIBC_DM, "HIBC Data Matrix", TGroup::TwoD},
    {BARCODE_HIBC_PDF, "HIBC PDF417", TGroup::TwoD},
    {BARCODE_HIBC_MICPDF, "HIBC MicroPDF417", TGroup::TwoD},
    {BARCODE_HIBC_AZTEC, "HIBC Aztec Code", TGroup::TwoD},
    {BARCODE_POSTNET, "USPS POSTNET", TGroup::Postal},
    {BARCODE_PLANET, "USPS PLANET", TGroup::Postal},
    {BARCODE_USPS_IMAIL, "USPS Intelligent Mail", TGroup::Postal},
    {BARCODE_FIM, "USPS Facing Identification Mark", TGroup::Postal},
    {BARCODE_CEPNET, "Brazilian CEPNet", TGroup::Postal},
    {BARCODE_AUSPOST, "Australia Post Standard Customer", TGroup::Postal},
    {BARCODE_AUSREPLY, "Australia Post Reply Paid", TGroup::Postal},
    {BARCODE_AUSROUTE, "Australia Post Routing", TGroup::Postal},
    {BARCODE_AUSREDIRECT, "Australia Post Redirection", TGroup::Postal},
    {BARCODE_RM4SCC, "Royal Mail 4-State (RM4SCC)", TGroup::Postal},
    {BARCODE_MAILMARK, "Royal Mail Mailmark", TGroup::Postal},
    {BARCODE_KIX, "Dutch Post KIX Code", TGroup::Postal},
    {BARCODE_JAPANPOST, "Japanese Postal Code", TGroup::Postal},
    {BARCODE_KOREAPOST, "Korea Post", TGroup::Postal},
    {BARCODE_DAFT, "DAFT Code", TGroup::Postal},
    {BARCODE_DPD, "DPD Code", TGroup::Postal},
    {BARCODE_GS1_128, "GS1-128", TGroup::GS1},
    {BARCODE_EAN14, "EAN-14", TGroup::GS1},
    {BARCODE_NVE18, "NVE-18 (SSCC-18)", TGroup::GS1},
    {BARCODE_ITF14, "ITF-14", TGroup::GS1},
    {BARCODE_DBAR_OMN, "GS1 DataBar Omnidirectional", TGroup::GS1},
    {BARCODE_DBAR_LTD, "GS1 DataBar Limited", TGroup::GS1},
    {BARCODE_DBAR_EXP, "GS1 DataBar Expanded", TGroup::GS1},
    {BARCODE_DBAR_STK, "GS1 DataBar Stacked", TGroup::GS1},
    {BARCODE_DBAR_OMNSTK, "GS1 DataBar Stacked Omnidirectional", TGroup::GS1},
    {BARCODE_DBAR_EXPSTK, "GS1 DataBar Expanded Stacked", TGroup::GS1},
};

struct SymbolDeleter
{
    void operator()(zint_symbol *s) const { ZBarcode_Delete(s); }
};
using SymbolPtr = std::unique_ptr<zint_symbol, SymbolDeleter>;

// Ultracode's colours by Zint's number (1 cyan ... 8 white).
QColor moduleColor(int colour, const QColor &foreground)
{
    static const QColor colors[] = {Qt::cyan, Qt::blue, Qt::magenta, Qt::red,
                                    Qt::yellow, Qt::green, Qt::black, Qt::white};
    return colour >= 1 && colour <= 8 ? colors[colour - 1] : foreground;
}

QPainterPath hexagon(const zint_vector_hexagon &h)
{
    // Zint's hexagon: pointy top and bottom at rotation 0 and 180.
    const double r = h.diameter / 2.0;
    const bool flat = h.rotation == 90 || h.rotation == 270;
    QPolygonF p;
    for (int k = 0; k < 6; ++k) {
        const double a = (flat ? 0.0 : 30.0) + 60.0 * k;
        const double rad = a * M_PI / 180.0;
        p << QPointF(h.x + r * std::cos(rad), h.y + r * std::sin(rad));
    }
    QPainterPath path;
    path.addPolygon(p);
    path.closeSubpath();
    return path;
}

QPainterPath disc(double x, double y, double diameter)
{
    QPainterPath path;
    path.addEllipse(QPointF(x, y), diameter / 2.0, diameter / 2.0);
    return path;
}

// One pass through Zint: encode, then the vector output.
struct Pass
{
    SymbolPtr symbol;
    int result = 0;
};

Pass encodeOnce(const TOptions &o, float height, int angle)
{
    Pass pass;
    pass.symbol.reset(ZBarcode_Create());
    zint_symbol *s = pass.symbol.get();
    if (!s) {
        pass.result = ZINT_ERROR_MEMORY;
        return pass;
    }
    s->symbology = o.symbology;
    s->show_hrt = o.showText ? 1 : 0;
    s->output_options = o.quietZones ? BARCODE_QUIET_ZONES : BARCODE_NO_QUIET_ZONES;
    s->input_mode = UNICODE_MODE;
    if (o.gs1 && AcceptsGS1Mode(o.symbology) && !IsGS1Symbology(o.symbology))
        s->input_mode = GS1_MODE;
    if ((s->input_mode == GS1_MODE || IsGS1Symbology(o.symbology)) && o.data.startsWith(u'('))
        s->input_mode |= GS1PARENS_MODE;
    // Option 2 = 1 adds the (first) check digit; Code 11 adds two unless
    // told 1 (one) or 2 (none).
    if (o.checkDigit && HasCheckDigitOption(o.symbology))
        s->option_2 = 1;
    else if (o.symbology == BARCODE_CODE11)
        s->option_2 = 2;
    const TRange ec = ErrorCorrectionRange(o.symbology);
    if (!ec.isEmpty() && o.errorCorrection > ec.min && o.errorCorrection <= ec.max)
        s->option_1 = o.symbology == BARCODE_PDF417 || o.symbology == BARCODE_PDF417COMP
                          ? o.errorCorrection - 1   // levels 0 to 8
                          : o.errorCorrection;
    const TRange sz = SizeRange(o.symbology);
    if (!sz.isEmpty() && o.size > sz.min && o.size <= sz.max)
        s->option_2 = o.size;
    if (height > 0)
        s->height = height;
    const QByteArray utf8 = o.data.toUtf8();
    if (utf8.isEmpty()) {
        std::snprintf(s->errtxt, sizeof s->errtxt, "No data to encode");
        pass.result = ZINT_ERROR_INVALID_DATA;
        return pass;
    }
    if (utf8.size() > ZINT_MAX_DATA_LEN) {
        std::snprintf(s->errtxt, sizeof s->errtxt, "Input too long (%d characters at most)",
                      ZINT_MAX_DATA_LEN);
        pass.result = ZINT_ERROR_TOO_LONG;
        return pass;
    }
    pass.result = ZBarcode_Encode(s, reinterpret_cast<const unsigned char *>(utf8.constData()),
                                  int(utf8.size()));
    if (pass.result >= ZINT_ERROR)
        return pass;
    const int vectorResult = ZBarcode_Buffer_Vector(s, angle);
    if (vectorResult >= ZINT_ERROR || !s->vector)
        pass.result = vectorResult >= ZINT_ERROR ? vectorResult : ZINT_ERROR_MEMORY;
    return pass;
}

QString errorText(const Pass &pass)
{
    if (pass.symbol && pass.symbol->errtxt[0])
        return QString::fromUtf8(pass.symbol->errtxt);
    return QStringLiteral("Error %1: the symbol cannot be made").arg(pass.result);
}

}  // namespace

const QList<TSymbology> &Symbologies()
{
    static const QList<TSymbology> list = [] {
        QList<TSymbology> l;
        for (const Entry &e : Entries) {
            char name[32] = {};
            if (!ZBarcode_ValidID(e.id) || ZBarcode_BarcodeName(e.id, name) != 0)
                continue;
            QString n = QString::fromLatin1(name);
            if (n.startsWith(QLatin1String("BARCODE_")))
                n = n.mid(8);
            l.append({e.id, n, QString::fromUtf8(e.caption), e.group});
        }
        return l;
    }();
    return list;
}

const TSymbology *FindSymbology(int id)
{
    for (const TSymbology &s : Symbologies())
        if (s.id == id)
            return &s;
    return nullptr;
}

std::optional<int> SymbologyByName(const QString &name)
{
    QString n = name.trimmed().toUpper();
    if (n.startsWith(QLatin1String("BARCODE_")))
        n = n.mid(8);
    // Names Zint's own tools know besides BARCODE_ names.
    if (n == QLatin1String("AZTECCODE"))
        n = QStringLiteral("AZTEC");
    for (const TSymbology &s : Symbologies())
        if (s.name == n)
            return s.id;
    return std::nullopt;
}

QString GroupCaption(TGroup group)
{
    switch (group) {
    case TGroup::Linear: return QStringLiteral("Linear");
    case TGroup::TwoD: return QStringLiteral("2-D");
    case TGroup::Postal: return QStringLiteral("Postal");
    case TGroup::GS1: return QStringLiteral("GS1");
    }
    return QString();
}

bool HasCheckDigitOption(int id)
{
    switch (id) {
    case BARCODE_CODE39:
    case BARCODE_EXCODE39:
    case BARCODE_LOGMARS:
    case BARCODE_CODABAR:
    case BARCODE_CODE11:
    case BARCODE_MSI_PLESSEY:
    case BARCODE_C25STANDARD:
    case BARCODE_C25INTER:
    case BARCODE_C25IATA:
    case BARCODE_C25LOGIC:
    case BARCODE_C25IND:
        return true;
    default:
        return false;
    }
}

bool IsGS1Symbology(int id)
{
    switch (id) {
    case BARCODE_GS1_128:
    case BARCODE_EAN14:
    case BARCODE_NVE18:
    case BARCODE_DBAR_EXP:
    case BARCODE_DBAR_EXPSTK:
        return true;
    default:
        return false;
    }
}

bool AcceptsGS1Mode(int id)
{
    return ZBarcode_Cap(id, ZINT_CAP_GS1) != 0;
}

bool IsFixedRatio(int id)
{
    return ZBarcode_Cap(id, ZINT_CAP_FIXED_RATIO) != 0;
}

TRange ErrorCorrectionRange(int id)
{
    switch (id) {
    case BARCODE_QRCODE:
    case BARCODE_HIBC_QR:
    case BARCODE_AZTEC:
    case BARCODE_HIBC_AZTEC:
    case BARCODE_HANXIN:
        return {0, 4};
    case BARCODE_MICROQR: return {0, 3};
    case BARCODE_GRIDMATRIX: return {0, 5};
    case BARCODE_ULTRA: return {0, 6};
    case BARCODE_RMQR: return {0, 4};
    case BARCODE_PDF417:
    case BARCODE_PDF417COMP:
    case BARCODE_HIBC_PDF: return {0, 9};
    default: return {};
    }
}

TRange SizeRange(int id)
{
    switch (id) {
    case BARCODE_QRCODE:
    case BARCODE_HIBC_QR: return {0, 40};
    case BARCODE_MICROQR: return {0, 4};
    case BARCODE_RMQR: return {0, 38};
    case BARCODE_DATAMATRIX:
    case BARCODE_HIBC_DM: return {0, 48};
    case BARCODE_AZTEC:
    case BARCODE_HIBC_AZTEC: return {0, 36};
    case BARCODE_HANXIN: return {0, 84};
    case BARCODE_GRIDMATRIX: return {0, 13};
    case BARCODE_CODEONE: return {0, 10};
    default: return {};
    }
}

TSymbol Encode(const TOptions &o, QSizeF frameInches, double moduleInches)
{
    TSymbol out;
    const int angle = o.angle == 90 || o.angle == 180 || o.angle == 270 ? o.angle : 0;
    Pass pass = encodeOnce(o, 0, 0);
    if (pass.result >= ZINT_ERROR) {
        out.error = errorText(pass);
        return out;
    }
    // Zint's heights are in modules, two vector units each: a linear
    // symbol's bars are made as high as the frame asks for.
    const bool turned = angle == 90 || angle == 270;
    const double fw = turned ? frameInches.height() : frameInches.width();
    const double fh = turned ? frameInches.width() : frameInches.height();
    if (!IsFixedRatio(o.symbology) && fw > 0 && fh > 0) {
        const zint_symbol *s = pass.symbol.get();
        const double w0 = s->vector->width, h0 = s->vector->height;
        const double wanted = moduleInches > 0 ? fh / (moduleInches / 2.0) : w0 * fh / fw;
        const double height = std::clamp(double(s->height) + (wanted - h0) / 2.0, 1.0, 2000.0);
        pass = encodeOnce(o, float(height), angle);
    } else if (angle != 0) {
        pass = encodeOnce(o, 0, angle);
    }
    if (pass.result >= ZINT_ERROR) {
        out.error = errorText(pass);
        return out;
    }
    const zint_vector *v = pass.symbol->vector;
    out.size = QSizeF(v->width, v->height);
    out.foreground.setFillRule(Qt::WindingFill);
    for (const zint_vector_rect *r = v->rectangles; r; r = r->next) {
        if (r->colour > 0) {
            const QColor c = moduleColor(r->colour, Qt::black);
            auto it = std::find_if(out.colored.begin(), out.colored.end(),
                                   [&](const auto &pair) { return pair.first == c; });
            if (it == out.colored.end()) {
                out.colored.append({c, QPainterPath()});
                it = out.colored.end() - 1;
            }
            it->second.addRect(r->x, r->y, r->width, r->height);
        } else {
            out.foreground.addRect(r->x, r->y, r->width, r->height);
        }
    }
    for (const zint_vector_hexagon *h = v->hexagons; h; h = h->next)
        out.foreground.addPath(hexagon(*h));
    for (const zint_vector_circle *c = v->circles; c; c = c->next) {
        QPainterPath shape;
        if (c->width > 0) {
            // A ring: its outer edge minus its inner edge.
            shape = disc(c->x, c->y, c->diameter + c->width)
                        .subtracted(disc(c->x, c->y, std::max(0.0, double(c->diameter - c->width))));
        } else {
            shape = disc(c->x, c->y, c->diameter);
        }
        (c->colour ? out.background : out.foreground).addPath(shape);
    }
    for (const zint_vector_string *t = v->strings; t; t = t->next) {
        TSymbol::Text text;
        text.pos = QPointF(t->x, t->y);
        text.size = t->fsize;
        text.width = t->width;
        text.halign = t->halign;
        text.rotation = t->rotation;
        text.text = QString::fromUtf8(reinterpret_cast<const char *>(t->text), t->length);
        out.texts.append(text);
    }
    return out;
}

double DrawScale(const TSymbol &symbol, const QRectF &target, double pixelsPerInch, double moduleInches)
{
    if (moduleInches > 0)
        return moduleInches * pixelsPerInch / 2.0;
    if (symbol.size.width() <= 0 || symbol.size.height() <= 0)
        return 0;
    return std::min(target.width() / symbol.size.width(), target.height() / symbol.size.height());
}

void Draw(QPainter &painter, const TSymbol &symbol, const QRectF &target, double scale,
          const TStyle &style)
{
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    if (style.background.alpha() > 0)
        painter.fillRect(target, style.background);
    if (symbol.ok() && scale > 0) {
        const QPointF origin = target.center() - QPointF(symbol.size.width() * scale / 2.0,
                                                         symbol.size.height() * scale / 2.0);
        painter.translate(origin);
        painter.scale(scale, scale);
        painter.setPen(Qt::NoPen);
        painter.fillPath(symbol.foreground, style.foreground);
        for (const auto &pair : symbol.colored)
            painter.fillPath(pair.second, pair.first);
        if (!symbol.background.isEmpty()) {
            // Zint's background discs (MaxiCode's rings, dotty centres):
            // holes when there is no background colour.
            if (style.background.alpha() > 0)
                painter.fillPath(symbol.background, style.background);
        }
        painter.setPen(style.foreground);
        for (const TSymbol::Text &t : symbol.texts) {
            if (t.text.isEmpty() || t.size <= 0)
                continue;
            // Drawn at 100 units and scaled down, so that small sizes keep
            // their proportions (font sizes are whole pixels).
            QFont font = style.font;
            font.setPixelSize(100);
            const double k = t.size / 100.0;
            const QFontMetricsF metrics(font, painter.device());
            double advance = metrics.horizontalAdvance(t.text) * k;
            double squeeze = 1.0;
            if (t.width > 0 && advance > t.width) {
                squeeze = t.width / advance;
                advance = t.width;
            }
            double x = 0;
            if (t.halign == 0)
                x = -advance / 2.0;
            else if (t.halign == 2)
                x = -advance;
            painter.save();
            painter.translate(t.pos);
            painter.rotate(t.rotation);
            painter.translate(x, 0);
            painter.scale(k * squeeze, k);
            painter.setFont(font);
            painter.drawText(QPointF(0, 0), t.text);
            painter.restore();
        }
    }
    painter.restore();
}

void DrawInvalid(QPainter &painter, const QRectF &target, const QString &message, const QColor &color)
{
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.fillRect(target, Qt::white);
    QPen pen(color);
    pen.setWidthF(std::max(1.0, target.height() / 100.0));
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QRectF r = target.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.drawRect(r);
    painter.drawLine(r.topLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomLeft());
    // The message as large as fits, in 6 to 11 points' worth of pixels.
    QFont font(QStringLiteral("Liberation Sans"));
    const QRectF text = r.adjusted(2, 2, -2, -2);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    int pixels = std::clamp(int(target.height() / 4), 6, 14);
    for (; pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        const QRectF need = QFontMetricsF(font, painter.device()).boundingRect(text, flags, message);
        if (need.width() <= text.width() && need.height() <= text.height())
            break;
    }
    font.setPixelSize(pixels);
    painter.setFont(font);
    const QRectF need = QFontMetricsF(font, painter.device()).boundingRect(text, flags, message);
    painter.fillRect(need.intersected(text), QColor(255, 255, 255, 220));
    painter.setPen(Qt::black);
    painter.drawText(text, flags, message);
    painter.restore();
}

}  // namespace barcode
