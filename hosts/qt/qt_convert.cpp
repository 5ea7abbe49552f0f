#include "hosts/qt/qt_convert.h"

#include <algorithm>
#include <cstring>

void ScaleInto(const CImage& image, int zoom, QImage* target) {
    zoom = std::max(zoom, 1);
    const QSize size(image.width * zoom, image.height * zoom);
    if (target->size() != size || target->format() != QImage::Format_RGB32)
        *target = QImage(size, QImage::Format_RGB32);
    ScaleInto(image, zoom, QRect(0, 0, image.width, image.height), target);
}

void ScaleInto(const CImage& image, int zoom, const QRect& part, QImage* target) {
    zoom = std::max(zoom, 1);
    const QRect cut = part & QRect(0, 0, image.width, image.height);
    if (cut.isEmpty() || target->size() != QSize(image.width * zoom, image.height * zoom)) return;
    const size_t lineBytes = static_cast<size_t>(cut.width() * zoom) * sizeof(QRgb);
    for (int y = cut.top(); y <= cut.bottom(); ++y) {
        const uint32_t* source = image.Row(y) + cut.left();
        auto* line = reinterpret_cast<QRgb*>(target->scanLine(y * zoom)) + cut.left() * zoom;
        // Our pixels leave the top byte 0; Qt wants it opaque.
        for (int x = 0; x < cut.width(); ++x)
            std::fill_n(line + x * zoom, zoom, source[x] | 0xFF000000u);
        for (int copy = 1; copy < zoom; ++copy)
            std::memcpy(
                reinterpret_cast<QRgb*>(target->scanLine(y * zoom + copy)) + cut.left() * zoom,
                line, lineBytes);
    }
}

QImage ToQImage(const CImage& image, int zoom) {
    QImage result;
    ScaleInto(image, zoom, &result);
    return result;
}
