#pragma once
// The bounds every picture reader keeps to, whatever a file declares.

#include <QtGlobal>

namespace graphics {

// Longest side of a decoded picture, in pixels.
constexpr qint64 MaxPictureSide = 16384;
// Most memory the pixels of one decoded picture may take at 4 bytes a
// pixel (64 megapixels, 8192 x 8192).
constexpr qint64 MaxPixelBytes = qint64(256) * 1024 * 1024;

// True when a picture of w x h pixels at 4 bytes a pixel stays within both.
inline bool PictureSizeAllowed(qint64 w, qint64 h)
{
    return w > 0 && h > 0 && w <= MaxPictureSide && h <= MaxPictureSide
        && w * h * 4 <= MaxPixelBytes;
}

}  // namespace graphics
