// Decoding a picture file straight to the size it is shown at. A JPEG is decoded scaled by
// its reader; an uncompressed 24-bit bitmap is read a row at a time and scaled as it comes,
// so that neither the full-size picture nor the whole file is ever held.

#include <zlib.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QResource>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "picture_decode_p.h"

namespace rt::detail {
namespace {

// A zlib-compressed resource, inflated as it is read.
class InflatingDevice : public QIODevice {
 public:
  explicit InflatingDevice(const QResource& r) : data_(r.data()), size_(r.size()) {
    // The resource compiler puts the inflated size, four bytes, before the stream.
    if (size_ < 4 || inflateInit(&z_) != Z_OK) return;
    z_.next_in = reinterpret_cast<Bytef*>(const_cast<uchar*>(data_ + 4));
    z_.avail_in = static_cast<uInt>(size_ - 4);
    ready_ = true;
  }
  ~InflatingDevice() override {
    if (ready_) inflateEnd(&z_);
  }
  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char* to, qint64 max) override {
    if (!ready_ || ended_) return ended_ ? 0 : -1;
    z_.next_out = reinterpret_cast<Bytef*>(to);
    z_.avail_out = static_cast<uInt>(std::min<qint64>(max, 1 << 30));
    const int rc = inflate(&z_, Z_NO_FLUSH);
    if (rc == Z_STREAM_END)
      ended_ = true;
    else if (rc != Z_OK && rc != Z_BUF_ERROR)
      return -1;
    return max - z_.avail_out;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  const uchar* data_;
  qint64 size_;
  z_stream z_{};
  bool ready_ = false;
  bool ended_ = false;
};

// The file's bytes, as a stream: a compressed resource is inflated piece by piece rather
// than whole, as opening it as a file would.
std::unique_ptr<QIODevice> openPicture(const QString& path) {
  if (path.startsWith(QLatin1String(":/"))) {
    const QResource r(path);
    if (r.isValid() && r.compressionAlgorithm() == QResource::ZlibCompression) {
      auto d = std::make_unique<InflatingDevice>(r);
      if (d->open(QIODevice::ReadOnly)) return d;
    }
  }
  auto f = std::make_unique<QFile>(path);
  if (!f->open(QIODevice::ReadOnly)) return nullptr;
  return f;
}

bool readFully(QIODevice& d, char* to, qint64 n) {
  while (n > 0) {
    const qint64 got = d.read(to, n);
    if (got <= 0) return false;
    to += got;
    n -= got;
  }
  return true;
}

// For each shown pixel along one axis, the file's pixels it is made of and their weights:
// an average of the pixels it covers when shrinking, between the two nearest when growing.
using Weights = std::vector<std::vector<std::pair<int, float>>>;
Weights axisWeights(int from, int to) {
  Weights w(static_cast<std::size_t>(to));
  const double r = static_cast<double>(from) / to;
  for (int t = 0; t < to; ++t) {
    auto& out = w[static_cast<std::size_t>(t)];
    if (to < from) {
      const double lo = t * r, hi = (t + 1) * r;
      for (int s = static_cast<int>(lo); s < from && s < hi; ++s) {
        const double part = std::min(hi, s + 1.0) - std::max(lo, static_cast<double>(s));
        if (part > 0) out.emplace_back(s, static_cast<float>(part / r));
      }
    } else {
      const double c = std::clamp((t + 0.5) * r - 0.5, 0.0, from - 1.0);
      const int s = static_cast<int>(c);
      const float f = static_cast<float>(c - s);
      out.emplace_back(s, 1 - f);
      if (s + 1 < from && f > 0) out.emplace_back(s + 1, f);
    }
  }
  return w;
}

struct BitmapHeader {
  int width = 0, height = 0;  // height < 0: rows stored top first
  quint32 offset = 0;
};

// Only the plain kind: 24 bits a pixel, no compression. Anything else is left to the reader.
bool readBitmapHeader(QIODevice& d, BitmapHeader& h) {
  uchar head[54];
  if (!readFully(d, reinterpret_cast<char*>(head), sizeof head)) return false;
  if (head[0] != 'B' || head[1] != 'M') return false;
  h.offset = qFromLittleEndian<quint32>(head + 10);
  const quint32 infoSize = qFromLittleEndian<quint32>(head + 14);
  h.width = qFromLittleEndian<qint32>(head + 18);
  h.height = qFromLittleEndian<qint32>(head + 22);
  const quint16 bits = qFromLittleEndian<quint16>(head + 28);
  const quint32 compression = qFromLittleEndian<quint32>(head + 30);
  return infoSize >= 40 && bits == 24 && compression == 0 && h.width > 0 && h.width <= 32768 && h.height != 0 &&
         h.height >= -32768 && h.height <= 32768 && h.offset >= 54;
}

QImage scaledBitmap(QIODevice& d, const BitmapHeader& h, QSize size) {
  const int sw = h.width, sh = std::abs(h.height);
  const bool topFirst = h.height < 0;
  // Up to the pixels, a piece at a time: the header's offset is the file's word, not ours.
  for (qint64 left = h.offset - 54; left > 0;) {
    char skip[4096];
    const qint64 n = std::min<qint64>(left, sizeof skip);
    if (!readFully(d, skip, n)) return {};
    left -= n;
  }
  const Weights cols = axisWeights(sw, size.width());
  const Weights rows = axisWeights(sh, size.height());
  // How many file rows each shown row still waits for.
  std::vector<std::size_t> waiting(rows.size());
  for (std::size_t t = 0; t < rows.size(); ++t) waiting[t] = rows[t].size();

  QImage out(size, QImage::Format_RGB32);
  if (out.isNull()) return {};
  const qint64 stride = (static_cast<qint64>(sw) * 3 + 3) / 4 * 4;
  std::vector<uchar> line(static_cast<std::size_t>(stride));
  std::vector<float> across(static_cast<std::size_t>(size.width()) * 3);
  std::map<int, std::vector<float>> open;  // shown rows still being summed
  for (int i = 0; i < sh; ++i) {
    if (!readFully(d, reinterpret_cast<char*>(line.data()), stride)) return {};
    const int s = topFirst ? i : sh - 1 - i;
    for (int x = 0; x < size.width(); ++x) {
      float b = 0, g = 0, r = 0;
      for (const auto& [c, w] : cols[static_cast<std::size_t>(x)]) {
        const uchar* px = line.data() + static_cast<std::size_t>(c) * 3;
        b += w * px[0];
        g += w * px[1];
        r += w * px[2];
      }
      across[static_cast<std::size_t>(x) * 3] = r;
      across[static_cast<std::size_t>(x) * 3 + 1] = g;
      across[static_cast<std::size_t>(x) * 3 + 2] = b;
    }
    // The shown rows this file row adds to lie together: both run in the same order.
    const auto first =
        std::partition_point(rows.begin(), rows.end(), [s](const auto& r) { return r.back().first < s; });
    const auto last = std::partition_point(first, rows.end(), [s](const auto& r) { return r.front().first <= s; });
    for (auto at = first; at != last; ++at) {
      const int t = static_cast<int>(at - rows.begin());
      const float w = (*at)[static_cast<std::size_t>(s - at->front().first)].second;  // its rows run on, one by one
      auto& sum = open[t];
      if (sum.empty()) sum.assign(across.size(), 0.0f);
      for (std::size_t k = 0; k < across.size(); ++k) sum[k] += w * across[k];
      if (--waiting[static_cast<std::size_t>(t)] > 0) continue;
      auto* dst = reinterpret_cast<QRgb*>(out.scanLine(t));
      const auto channel = [](float v) { return static_cast<int>(std::clamp(v + 0.5f, 0.0f, 255.0f)); };
      for (int x = 0; x < size.width(); ++x)
        dst[x] = qRgb(channel(sum[static_cast<std::size_t>(x) * 3]), channel(sum[static_cast<std::size_t>(x) * 3 + 1]),
                      channel(sum[static_cast<std::size_t>(x) * 3 + 2]));
      open.erase(t);
    }
  }
  return out;
}

}  // namespace

std::optional<QImage> decodePlainBitmap(QIODevice& d, QSize size) {
  BitmapHeader h;
  if (d.peek(2) != "BM" || !readBitmapHeader(d, h)) return std::nullopt;
  return scaledBitmap(d, h, size);
}

QImage decodePictureFile(const QString& path, QSize size) {
  if (size.isValid() && !size.isEmpty()) {
    if (std::unique_ptr<QIODevice> d = openPicture(path))
      if (std::optional<QImage> bitmap = decodePlainBitmap(*d, size)) return *bitmap;
  }
  // Any other file, or a bitmap of another kind, is read by the reader, which may seek.
  QImageReader reader(path);
  // A JPEG shrunk to half or less is decoded scaled, which skips most of the work. Nearer
  // its own size the reader's scaled decode is slower than a whole decode and one smooth
  // scale, so that is done instead.
  if (size.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
    const QSize own = reader.size();
    if (own.isValid() && size.width() * 2 <= own.width() && size.height() * 2 <= own.height()) {
      reader.setScaledSize(size);
      reader.setQuality(100);  // decoded accurately and smoothed to the exact size
      return reader.read();
    }
  }
  QImage image = reader.read();
  if (image.isNull() || !size.isValid() || image.size() == size) return image;
  return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace rt::detail
