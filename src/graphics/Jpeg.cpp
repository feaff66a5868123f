#include "graphics/Jpeg.h"

#include "graphics/Limits.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

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

// CMYK and YCCK files (Adobe's inverted form) as RGB: libjpeg cannot
// quantise them, so they are quantised here through Qt after conversion.
QImage cmykToRgb(const std::vector<JSAMPLE> &pixels, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        const JSAMPLE *p = pixels.data() + size_t(y) * w * 4;
        for (int x = 0; x < w; ++x, p += 4) {
            const int k = p[3];
            out[x] = qRgb(p[0] * k / 255, p[1] * k / 255, p[2] * k / 255);
        }
    }
    return image;
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
    std::vector<JSAMPLE> cmyk;
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
    if (fourChannel) {
        cinfo.out_color_space = JCS_CMYK;
    } else {
        cinfo.out_color_space = JCS_RGB;
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = 256;
        cinfo.two_pass_quantize = TRUE;
        cinfo.dither_mode = JDITHER_FS;
    }
    jpeg_start_decompress(&cinfo);
    const int w = int(cinfo.output_width), h = int(cinfo.output_height);
    if (fourChannel) {
        cmyk.resize(size_t(w) * h * 4);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = cmyk.data() + size_t(cinfo.output_scanline) * w * 4;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
    } else {
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
        QList<QRgb> colors;
        for (int i = 0; i < cinfo.actual_number_of_colors; ++i)
            colors.append(qRgb(cinfo.colormap[0][i], cinfo.colormap[1][i], cinfo.colormap[2][i]));
        image.setColorTable(colors);
    }
    const bool adobeInverted = cinfo.saw_Adobe_marker;
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (err.warned) {
        result.error = QStringLiteral("There are warnings");
        return result;
    }
    if (fourChannel) {
        if (!adobeInverted)
            for (JSAMPLE &v : cmyk)
                v = JSAMPLE(255 - v);
        image = cmykToRgb(cmyk, w, h).convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
    }
    result.image = image;
    return result;
}

}  // namespace graphics
