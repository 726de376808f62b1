#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

class QIODevice;

namespace rt::detail {

// The picture file at `path` decoded at `size`, scaled smoothly; at its own size when `size`
// is invalid. A null image when the file can't be read.
QImage decodePictureFile(const QString& path, QSize size);

// A plain bitmap (24 bits a pixel, uncompressed) read from `d` a row at a time and scaled to
// `size` as it comes; none when `d` holds another kind of file, a null image when the bitmap
// is cut short.
std::optional<QImage> decodePlainBitmap(QIODevice& d, QSize size);

}  // namespace rt::detail
