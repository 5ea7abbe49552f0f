// Texts and pixels between the program's own types and Qt's.
#pragma once

#include <QImage>
#include <QString>

#include "platform/graphics.h"
#include "platform/strings.h"

inline QString ToQString(const CString& text) {
    return QString::fromStdU16String(text);
}
inline CString FromQString(const QString& text) {
    return text.toStdU16String();
}

// The image at the given whole-number zoom, each pixel a zoom x zoom block.
QImage ToQImage(const CImage& image, int zoom = 1);
// The same into an image that is reused from paint to paint.
void ScaleInto(const CImage& image, int zoom, QImage* target);
// Writes part (in zoomed pixels) of the zoomed image into a 32-bit target,
// moved by offset; the part must lie within both.
void ScaleInto(const CImage& image, int zoom, const QRect& part, QPoint offset, QImage* target);
