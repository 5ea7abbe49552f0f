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
