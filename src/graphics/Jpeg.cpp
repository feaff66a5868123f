#include "graphics/Jpeg.h"

#include "graphics/Limits.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace graphics {

namespace {

// libjpeg reports through this manager: an error jumps back to DecodeJpeg,
// a warning is remembered, nothing is printed and nothing exits.
struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf escape;
    bool warned = false;
    char message[JMSG_LENGTH_MAX] = {};
};

void errorExit(j_common_ptr info)
{
    auto *err = reinterpret_cast<ErrorManager *>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->escape, 1);
}

void emitMessage(j_common_ptr info, int level)
{
    auto *err = reinterpret_cast<ErrorManager *>(info->err);
    if (level < 0) {
        // A warning fails the load anyway: stop at the first one rather than
        // decode the rest of a damaged file (a truncated scan of a large
        // picture would otherwise be decoded, quantised and dithered whole).
        err->warned = true;
        ++info->err->num_warnings;
        std::longjmp(err->escape, 1);
    }
}

void outputMessage(j_common_ptr) {}

// A CMYK palette entry as RGB, rounded as libjpeg's own CMYK output is
// turned into RGB: the samples are in Adobe's inverted form (255 is no
// ink), so each colour is the product of its sample and the black one.
QRgb cmykColor(int c, int m, int y, int k)
{
    auto mul = [k](int v) { return int(double(v) * k / 255.0 + 0.5); };
    return qRgb(mul(c), mul(m), mul(y));
}

}  // namespace

JpegResult DecodeJpeg(QByteArrayView file)
{
    JpegResult result;
    if (file.isEmpty()) {
        result.error = QStringLiteral("Empty input file");
        return result;
    }
    jpeg_decompress_struct cinfo {};
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = errorExit;
    err.base.emit_message = emitMessage;
    err.base.output_message = outputMessage;
    // Everything that must outlive a jump back here is declared above it.
    QImage image;
    if (setjmp(err.escape)) {
        jpeg_destroy_decompress(&cinfo);
        result.error = err.warned ? QStringLiteral("There are warnings") : QString::fromLocal8Bit(err.message);
        return result;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(file.data()),
                 static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (!PictureSizeAllowed(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        result.error = QStringLiteral("Picture too large");
        return result;
    }
    const bool fourChannel = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = TRUE;
    cinfo.quantize_colors = TRUE;
    cinfo.desired_number_of_colors = 256;
    cinfo.dither_mode = JDITHER_FS;
    if (fourChannel) {
        // libjpeg turns CMYK into nothing but CMYK, and its two-pass
        // quantiser takes three components only: its one-pass quantiser
        // dithers the four inks, and the palette is turned into RGB.
        cinfo.out_color_space = JCS_CMYK;
        cinfo.two_pass_quantize = FALSE;
    } else {
        cinfo.out_color_space = JCS_RGB;
        cinfo.two_pass_quantize = TRUE;
    }
    jpeg_start_decompress(&cinfo);
    const int w = int(cinfo.output_width), h = int(cinfo.output_height);
    image = QImage(w, h, QImage::Format_Indexed8);
    if (image.isNull()) {
        jpeg_destroy_decompress(&cinfo);
        result.error = QStringLiteral("Insufficient memory");
        return result;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image.scanLine(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    // Without Adobe's marker the CMYK samples are ink amounts, the
    // opposite of the inverted form.
    const bool inverted = !fourChannel || cinfo.saw_Adobe_marker;
    QList<QRgb> colors;
    for (int i = 0; i < cinfo.actual_number_of_colors; ++i) {
        if (!fourChannel) {
            colors.append(qRgb(cinfo.colormap[0][i], cinfo.colormap[1][i], cinfo.colormap[2][i]));
            continue;
        }
        int v[4];
        for (int c = 0; c < 4; ++c)
            v[c] = inverted ? cinfo.colormap[c][i] : 255 - cinfo.colormap[c][i];
        colors.append(cmykColor(v[0], v[1], v[2], v[3]));
    }
    image.setColorTable(colors);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (err.warned) {
        result.error = QStringLiteral("There are warnings");
        return result;
    }
    result.image = image;
    return result;
}

}  // namespace graphics
