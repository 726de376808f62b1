// The plain-bitmap reader, on any bytes and at any small size: it never reads out of bounds,
// and a picture it gives has the size asked for.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <cstdlib>

#include "runtime/picture_decode_p.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const QSize shown(1 + data[0] % 16, 1 + data[1] % 16);
  QByteArray bytes(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2));
  QBuffer file(&bytes);
  file.open(QIODevice::ReadOnly);
  const std::optional<QImage> picture = rt::detail::decodePlainBitmap(file, shown);
  if (picture && !picture->isNull() && picture->size() != shown) std::abort();
  return 0;
}
