#include "hosts/qt/qt_convert.h"

#include <algorithm>
#include <cstring>

void ScaleInto(const CImage& image, int zoom, QImage* target) {
    zoom = std::max(zoom, 1);
    const QSize size(image.width * zoom, image.height * zoom);
    if (target->size() != size || target->format() != QImage::Format_RGB32)
        *target = QImage(size, QImage::Format_RGB32);
    if (size.isEmpty()) return;
    const size_t lineBytes = static_cast<size_t>(size.width()) * sizeof(QRgb);
    for (int y = 0; y < image.height; ++y) {
        const uint32_t* source = &image.pixels[static_cast<size_t>(y) * image.width];
        auto* line = reinterpret_cast<QRgb*>(target->scanLine(y * zoom));
        // Our pixels leave the top byte 0; Qt wants it opaque.
        for (int x = 0; x < image.width; ++x)
            std::fill_n(line + x * zoom, zoom, source[x] | 0xFF000000u);
        for (int copy = 1; copy < zoom; ++copy)
            std::memcpy(target->scanLine(y * zoom + copy), line, lineBytes);
    }
}

QImage ToQImage(const CImage& image, int zoom) {
    QImage result;
    ScaleInto(image, zoom, &result);
    return result;
}

void ScaleInto(const CImage& image, int zoom, const QRect& part, QPoint offset, QImage* target) {
    zoom = std::max(zoom, 1);
    const size_t lineBytes = static_cast<size_t>(part.width()) * sizeof(QRgb);
    for (int y = part.top(); y <= part.bottom(); ++y) {
        // constScanLine: the target may be a painter's device, which must
        // not be detached from under it.
        auto* line =
            reinterpret_cast<QRgb*>(const_cast<uchar*>(target->constScanLine(y + offset.y()))) +
            part.left() + offset.x();
        if (y > part.top() && y % zoom != 0) {  // the same view row as the line above
            std::memcpy(line, reinterpret_cast<const uchar*>(line) - target->bytesPerLine(),
                        lineBytes);
            continue;
        }
        const uint32_t* source = image.Row(y / zoom);
        int x = part.left() / zoom, phase = part.left() % zoom;
        for (int i = 0; i < part.width(); ++i) {
            line[i] = source[x] | 0xFF000000u;
            if (++phase == zoom) {
                phase = 0;
                ++x;
            }
        }
    }
}
